#include "section/forward/ForwardResponse.h"

#include "section/forward/ForwardSolver.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <exception>
#include <mutex>
#include <numbers>
#include <system_error>
#include <thread>

namespace lp {

namespace {

using TClock = std::chrono::steady_clock;

double Seconds(TClock::time_point since)
{
    return std::chrono::duration<double>(TClock::now() - since).count();
}

double ElectrodeDistance(const TSurvey& survey, int a, int b)
{
    const TElectrode& p = survey.Electrodes[static_cast<size_t>(a)];
    const TElectrode& q = survey.Electrodes[static_cast<size_t>(b)];
    return std::hypot(p.x - q.x, p.z - q.z);
}

// One conductivity per region for each run of the computation.
struct TRun {
    std::vector<double> conductivity;
    std::vector<Eigen::MatrixXd> potentials; // per wavenumber: source x electrode
    Eigen::MatrixXd total;
};

// The share of the progress the mesh stands for.
constexpr double MeshShare = 0.1;

// Reports progress one call at a time, in order, and remembers a cancel.
class TProgressGate {
public:
    TProgressGate(const TForwardProgress& progress, size_t tasks) : FProgress(progress), FTasks(tasks) {}
    // False (and from then on always) once the caller asked to stop.
    bool Report(double fraction)
    {
        std::lock_guard<std::mutex> hold(FLock);
        return Call(fraction);
    }
    // One more task done.
    bool Advance()
    {
        std::lock_guard<std::mutex> hold(FLock);
        ++FDone;
        return Call(MeshShare + (1.0 - MeshShare) * static_cast<double>(FDone) / static_cast<double>(std::max<size_t>(FTasks, 1)));
    }
    void SetTasks(size_t tasks)
    {
        std::lock_guard<std::mutex> hold(FLock);
        FTasks = tasks;
    }
    bool Stopped()
    {
        std::lock_guard<std::mutex> hold(FLock);
        return FStopped;
    }

private:
    bool Call(double fraction)
    {
        if (FStopped)
            return false;
        if (FProgress && !FProgress(std::clamp(fraction, 0.0, 1.0)))
            FStopped = true;
        return !FStopped;
    }

    const TForwardProgress& FProgress;
    std::mutex FLock;
    size_t FTasks = 1, FDone = 0;
    bool FStopped = false;
};

void Stop(TProgressGate& gate, double fraction)
{
    if (!gate.Report(fraction))
        throw EForwardCancelled("The forward computation was cancelled.");
}

} // namespace

void SurveyDistances(const TSurvey& Survey, double& Smallest, double& Largest)
{
    Smallest = std::numeric_limits<double>::infinity();
    Largest = 0.0;
    for (const TConfiguration& c : Survey.Configurations)
        for (int current : {c.a, c.b})
            for (int potential : {c.m, c.n})
                if (current >= 0 && potential >= 0) {
                    const double r = ElectrodeDistance(Survey, current, potential);
                    Smallest = std::min(Smallest, r);
                    Largest = std::max(Largest, r);
                }
}

double FlatGeometricFactor(const TSurvey& Survey, const TConfiguration& Configuration)
{
    const auto inverse = [&](int current, int potential) {
        return current < 0 || potential < 0 ? 0.0 : 1.0 / ElectrodeDistance(Survey, current, potential);
    };
    const TConfiguration& c = Configuration;
    const double sum = inverse(c.a, c.m) - inverse(c.a, c.n) - inverse(c.b, c.m) + inverse(c.b, c.n);
    const double scale = inverse(c.a, c.m) + inverse(c.a, c.n) + inverse(c.b, c.m) + inverse(c.b, c.n);
    if (std::fabs(sum) <= 1e-9 * scale)
        return std::numeric_limits<double>::infinity();
    return 2.0 * std::numbers::pi / sum;
}

TForwardResult ComputeForwardResponse(const TForwardModel& Ground, TSurvey Survey, const TForwardOptions& Options,
                                      const TForwardProgress& Progress)
{
    const TClock::time_point start = TClock::now();
    TProgressGate gate(Progress, 1);
    PlaceSurvey(Survey, Ground);
    TForwardResult result;

    // Wavenumbers for the distances of the survey.
    double smallest = 0.0, largest = 0.0;
    SurveyDistances(Survey, smallest, largest);
    result.Wavenumbers = ChooseWavenumbers(smallest, largest, Options.QuadratureTolerance);
    result.QuadratureError = PointSourceError(result.Wavenumbers, smallest, largest);

    // The mesh.
    TClock::time_point stage = TClock::now();
    const TForwardMesh mesh = MeshGeometry(PadGeometry(Ground, Survey, Options.Mesh));
    result.MeshNodes = static_cast<int>(mesh.Nodes.size());
    result.MeshTriangles = static_cast<int>(mesh.Triangles.size());
    result.Times.Mesh = Seconds(stage);
    Stop(gate, MeshShare);
    const TElementMatrices elements = ElementMatrices(mesh);
    const TSystemPattern pattern = SystemPattern(mesh);

    // The current electrodes: every A and B; the potentials at every electrode.
    std::vector<int> sourceOf(Survey.Electrodes.size(), -1);
    std::vector<int> sourceNodes, sourceElectrodes;
    for (const TConfiguration& c : Survey.Configurations)
        for (int e : {c.a, c.b})
            if (e >= 0 && sourceOf[static_cast<size_t>(e)] < 0) {
                sourceOf[static_cast<size_t>(e)] = static_cast<int>(sourceNodes.size());
                sourceNodes.push_back(mesh.ElectrodeNodes[static_cast<size_t>(e)]);
                sourceElectrodes.push_back(e);
            }
    const auto ends = std::minmax_element(Survey.Electrodes.begin(), Survey.Electrodes.end(),
                                          [](const TElectrode& a, const TElectrode& b) { return a.x < b.x; });
    const double middle = (ends.first->x + ends.second->x) / 2;
    const TGeometryPoint centre{middle, SurfaceElevation(Ground, std::clamp(middle, Ground.Left, Ground.Right))};

    // The runs: the ground, the charged ground, the reference ground.
    std::vector<TRun> runs(1);
    for (const TForwardRegion& region : Ground.Regions)
        runs[0].conductivity.push_back(1.0 / region.resistivity);
    int charged = -1, reference = -1;
    if (Ground.HasPolarizability) {
        charged = static_cast<int>(runs.size());
        runs.emplace_back();
        for (const TForwardRegion& region : Ground.Regions)
            runs.back().conductivity.push_back((1.0 - region.polarizability) / region.resistivity);
    }
    if (Ground.HasRelief) {
        reference = static_cast<int>(runs.size());
        runs.emplace_back();
        runs.back().conductivity.assign(Ground.Regions.size(), 1.0);
    }
    const size_t wavenumbers = result.Wavenumbers.k.size();
    for (TRun& run : runs)
        run.potentials.resize(wavenumbers);
    const Eigen::MatrixXd sources = SourceTerms(static_cast<int>(mesh.Nodes.size()), sourceNodes);

    // Every (run, wavenumber) on its own: in parallel.
    const size_t tasks = runs.size() * wavenumbers;
    gate.SetTasks(tasks);
    std::atomic<size_t> next{0};
    std::mutex lock;
    std::exception_ptr failure;
    TForwardTimes times;
    const auto work = [&]() {
        TSystemFactor factor;
        TForwardTimes own;
        try {
            for (size_t task = next++; task < tasks; task = next++) {
                if (gate.Stopped())
                    break;
                {
                    std::lock_guard<std::mutex> hold(lock);
                    if (failure)
                        break;
                }
                TRun& run = runs[task / wavenumbers];
                const size_t i = task % wavenumbers;
                const double k = result.Wavenumbers.k[i];
                TClock::time_point at = TClock::now();
                const Eigen::SparseMatrix<double> A = AssembleSystem(mesh, elements, pattern, run.conductivity, k, centre);
                own.Assemble += Seconds(at);
                at = TClock::now();
                factor.Factorise(A);
                own.Factorise += Seconds(at);
                at = TClock::now();
                run.potentials[i] = PotentialsAt(factor.Solve(sources), mesh.ElectrodeNodes);
                own.Solve += Seconds(at);
                gate.Advance();
            }
        } catch (...) {
            std::lock_guard<std::mutex> hold(lock);
            if (!failure)
                failure = std::current_exception();
        }
        std::lock_guard<std::mutex> hold(lock);
        times.Assemble += own.Assemble;
        times.Factorise += own.Factorise;
        times.Solve += own.Solve;
    };
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int threads = std::clamp(Options.Threads > 0 ? Options.Threads : cores, 1, static_cast<int>(tasks));
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) {
        try {
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            break; // no more threads to be had: those started do the work
        }
    }
    work();
    for (std::thread& thread : pool)
        thread.join();
    if (failure)
        std::rethrow_exception(failure);
    if (gate.Stopped())
        throw EForwardCancelled("The forward computation was cancelled.");
    result.Times.Assemble = times.Assemble;
    result.Times.Factorise = times.Factorise;
    result.Times.Solve = times.Solve;

    // Back to the potentials.
    for (TRun& run : runs)
        run.total = BackTransform(run.potentials, result.Wavenumbers.w);

    // The data.
    const auto voltage = [&](const TRun& run, const TConfiguration& c) {
        const auto u = [&](int current, int potential) {
            return current < 0 || potential < 0
                       ? 0.0
                       : run.total(sourceOf[static_cast<size_t>(current)], static_cast<Eigen::Index>(potential));
        };
        return u(c.a, c.m) - u(c.a, c.n) - u(c.b, c.m) + u(c.b, c.n);
    };
    for (size_t d = 0; d < Survey.Configurations.size(); ++d) {
        const TConfiguration& c = Survey.Configurations[d];
        double k = 0.0;
        if (reference >= 0) {
            const double homogeneous = voltage(runs[static_cast<size_t>(reference)], c);
            k = homogeneous != 0.0 ? 1.0 / homogeneous : std::numeric_limits<double>::infinity();
        } else {
            k = FlatGeometricFactor(Survey, c);
        }
        if (!std::isfinite(k) || std::fabs(k) > 1e12 * std::max(1.0, largest))
            throw EForwardError("Datum " + std::to_string(d + 1) +
                                " measures no potential difference over a homogeneous ground: its geometric factor "
                                "is infinite.");
        const double u = voltage(runs[0], c);
        const double resistivity = k * u;
        // A number that is not finite never leaves the computation: the
        // datum is named instead.
        const auto refuseUnless = [&](bool finite) {
            if (!finite)
                throw EForwardError("Datum " + std::to_string(d + 1) +
                                    " has no finite value: the computation cannot resolve it.");
        };
        refuseUnless(std::isfinite(resistivity));
        result.Voltages.push_back(u);
        result.GeometricFactors.push_back(k);
        result.Resistivities.push_back(resistivity);
        if (charged >= 0) {
            const double chargedResistivity = k * voltage(runs[static_cast<size_t>(charged)], c);
            const double chargeability = 100.0 * (1.0 - resistivity / chargedResistivity);
            refuseUnless(chargedResistivity != 0.0 && std::isfinite(chargeability));
            result.Chargeabilities.push_back(chargeability);
        }
    }
    result.Survey = std::move(Survey);
    result.Times.Total = Seconds(start);
    gate.Report(1.0); // done: a cancel now comes too late to matter
    return result;
}

} // namespace lp
