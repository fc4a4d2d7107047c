#include "section/forward/ForwardResponse.h"

#include "section/forward/ForwardCache.h"
#include "section/forward/ForwardSolver.h"
#include "section/forward/VectorState.h"
#include "section/forward/WorkerPool.h"
#include "section/model/ModelGeometryText.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <limits>
#include <mutex>
#include <numbers>
#include <system_error>
#include <string>
#include <thread>
#include <unordered_map>

#ifdef __linux__
#include <sched.h>
#include <sys/resource.h>
#endif

namespace lp {

namespace {

using TClock = std::chrono::steady_clock;

double Seconds(TClock::time_point since)
{
    return std::chrono::duration<double>(TClock::now() - since).count();
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
// The solve stage counts in units of work: a factorisation or a block of
// right-hand sides.
class TProgressGate {
public:
    explicit TProgressGate(const TForwardProgress& progress) : FProgress(progress) {}
    // False (and from then on always) once the caller asked to stop.
    bool Report(double fraction)
    {
        std::lock_guard<std::mutex> hold(FLock);
        return Call(fraction);
    }
    // Asks the caller whether to go on, at the fraction done so far.
    bool Check()
    {
        std::lock_guard<std::mutex> hold(FLock);
        return Call(Fraction());
    }
    // One more unit done.
    bool Advance()
    {
        std::lock_guard<std::mutex> hold(FLock);
        ++FDone;
        return Call(Fraction());
    }
    void SetUnits(size_t units)
    {
        std::lock_guard<std::mutex> hold(FLock);
        FUnits = units;
    }
    bool Stopped()
    {
        std::lock_guard<std::mutex> hold(FLock);
        return FStopped;
    }

private:
    double Fraction() const
    {
        return MeshShare + (1.0 - MeshShare) * static_cast<double>(FDone) / static_cast<double>(std::max<size_t>(FUnits, 1));
    }
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
    size_t FUnits = 1, FDone = 0;
    bool FStopped = false;
};

void Stop(TProgressGate& gate, double fraction)
{
    if (!gate.Report(fraction))
        throw EForwardCancelled("The forward computation was cancelled.");
}

// Electrodes whose path vectors are computed between two looks at the
// progress callback: a few milliseconds on a mesh of 100,000 nodes, so a
// cancel waits at most for one factorisation (a tenth of a second there).
constexpr int DefaultBlockElectrodes = 64;

// The bytes of a copy of the system's matrix (values and indices).
double MatrixBytes(const Eigen::SparseMatrix<double>& matrix)
{
    return 12.0 * static_cast<double>(matrix.nonZeros()) + 4.0 * static_cast<double>(matrix.outerSize() + 1);
}

// The memory of the solve stage: each thread's own, and the potentials at
// the electrodes kept for every run and wavenumber.
struct TSolveMemory {
    double PerThread = 0.0;
    double Shared = 0.0;
    double Total(int threads) const { return threads * PerThread + Shared; }
};

std::string Gigabytes(double bytes)
{
    char text[32];
    const double gb = bytes / 1e9;
    std::snprintf(text, sizeof text, gb >= 1.0 ? "%.1f" : "%.2g", gb);
    return text;
}

// The threads to compute on: as asked (every usable core for 0), no more
// than there are tasks, fewer where the memory holds fewer; refused when
// not even one fits.
int ThreadsThatFit(const TSolveMemory& memory, const TForwardOptions& options, size_t tasks, size_t electrodes)
{
    const int asked = options.Threads > 0 ? options.Threads : UsableCores();
    int threads = static_cast<int>(std::clamp<size_t>(static_cast<size_t>(asked), 1, std::max<size_t>(tasks, 1)));
    const double limit = options.MemoryLimit > 0.0 ? options.MemoryLimit : AvailableMemory();
    const double reserved = options.MemoryLimit > 0.0 ? 0.0 : ThreadAddressSpace();
    while (threads > 1 && memory.Total(threads) + (threads - 1) * reserved > limit)
        --threads;
    if (memory.Total(threads) > limit)
        throw EForwardError("Not enough memory for " + std::to_string(electrodes) + " electrodes (about " +
                            Gigabytes(memory.Total(1)) + " GB; " + Gigabytes(limit) + " GB available).");
    return threads;
}

// --- The machine ---------------------------------------------------------------------

// The cgroup (v2) folders of this process, its own first, then its parents.
std::vector<std::string> CgroupFolders()
{
    std::vector<std::string> folders;
    std::ifstream file("/proc/self/cgroup");
    std::string line;
    while (std::getline(file, line))
        if (line.rfind("0::", 0) == 0) {
            std::string path = line.substr(3);
            while (!path.empty() && path.front() == '/' && path != "/") {
                folders.push_back("/sys/fs/cgroup" + path);
                path.erase(path.find_last_of('/'));
            }
        }
    folders.push_back("/sys/fs/cgroup");
    return folders;
}

// The first line of a small system file, empty when unreadable.
std::string FirstLine(const std::string& name)
{
    std::ifstream file(name);
    std::string line;
    std::getline(file, line);
    return line;
}

// The value of "Key: number" (or "key number") in a system file; negative when absent.
double KeyedNumber(const std::string& name, const std::string& key)
{
    std::ifstream file(name);
    std::string line;
    while (std::getline(file, line))
        if (line.rfind(key, 0) == 0)
            return std::strtod(line.c_str() + key.size(), nullptr);
    return -1.0;
}

// What is left of the process's address-space limit (RLIMIT_AS, "ulimit
// -v", "prlimit --as") beyond what it has mapped (VmSize); infinite without
// a limit. Such a limit ends an allocation past it whatever memory is free.
double UnmappedAddressSpace()
{
#ifdef __linux__
    rlimit bound{};
    if (getrlimit(RLIMIT_AS, &bound) != 0 || bound.rlim_cur == RLIM_INFINITY)
        return std::numeric_limits<double>::infinity();
    const double mapped = KeyedNumber("/proc/self/status", "VmSize:"); // kB
    return static_cast<double>(bound.rlim_cur) - std::max(mapped, 0.0) * 1024.0;
#else
    return std::numeric_limits<double>::infinity();
#endif
}

// --- Electrodes off the line ------------------------------------------------------------

// The pairs of a current and a potential electrode of one configuration
// apart across the line: per distinct offset, the nearest such pair in the
// section's plane (its electrodes kept for a refusal's message).
struct TOffsetPair {
    TLineOffset offset;
    int current = -1, potential = -1;
};

std::vector<TOffsetPair> OffsetPairs(const TSurvey& survey)
{
    std::vector<TOffsetPair> found;
    for (const TConfiguration& c : survey.Configurations)
        for (int current : {c.a, c.b})
            for (int potential : {c.m, c.n}) {
                if (current < 0 || potential < 0)
                    continue;
                const double across = std::fabs(survey.Electrodes.at(static_cast<size_t>(current)).y -
                                                survey.Electrodes.at(static_cast<size_t>(potential)).y);
                if (across == 0.0)
                    continue;
                const double r = SectionDistance(survey, current, potential);
                const auto same = std::find_if(found.begin(), found.end(),
                                               [&](const TOffsetPair& p) { return p.offset.Across == across; });
                if (same == found.end())
                    found.push_back({{across, r}, current, potential});
                else if (r < same->offset.Nearest)
                    *same = {{across, r}, current, potential};
            }
    return found;
}

} // namespace

double ThreadAddressSpace()
{
#ifdef __linux__
    if (!std::isfinite(UnmappedAddressSpace()))
        return 0.0;
    // The C library's default thread stack is the stack limit (8 MB where
    // it is none); its heap arena for a thread reserves 64 MB.
    rlimit stack{};
    const double stackBytes = getrlimit(RLIMIT_STACK, &stack) == 0 && stack.rlim_cur != RLIM_INFINITY
                                  ? static_cast<double>(stack.rlim_cur)
                                  : 8.0 * 1024 * 1024;
    return stackBytes + 64.0 * 1024 * 1024;
#else
    return 0.0;
#endif
}

TSourceNodes DistinctNodes(const std::vector<int>& ElectrodeNodes)
{
    TSourceNodes sources;
    std::unordered_map<int, int> slot;
    for (int node : ElectrodeNodes) {
        const auto [at, added] = slot.try_emplace(node, static_cast<int>(sources.Nodes.size()));
        if (added)
            sources.Nodes.push_back(node);
        sources.Of.push_back(at->second);
    }
    return sources;
}

double AcrossFactor(const TSurvey& Survey, int Current, int Potential, double K)
{
    const double across = Survey.Electrodes.at(static_cast<size_t>(Current)).y -
                          Survey.Electrodes.at(static_cast<size_t>(Potential)).y;
    return across == 0.0 ? 1.0 : std::cos(K * across);
}

TWavenumbers SurveyWavenumbers(const TSurvey& Survey, double Smallest, double Largest, double Tolerance, double Reach)
{
    const std::vector<TOffsetPair> pairs = OffsetPairs(Survey);
    if (pairs.empty())
        return ChooseWavenumbers(Smallest, Largest, Tolerance, Reach);
    std::vector<TLineOffset> offsets;
    for (const TOffsetPair& pair : pairs)
        offsets.push_back(pair.offset);
    try {
        return ChooseWavenumbers(Smallest, Largest, Tolerance, Reach, offsets);
    } catch (const EForwardError&) {
        // Named: the pair nearest along the line for its offset across it.
        const TOffsetPair& worst = *std::max_element(pairs.begin(), pairs.end(), [](const TOffsetPair& p, const TOffsetPair& q) {
            return p.offset.Across / p.offset.Nearest < q.offset.Across / q.offset.Nearest;
        });
        throw EForwardError("Electrodes " + std::to_string(worst.current + 1) + " and " +
                            std::to_string(worst.potential + 1) + " stand " + FormatExactReal(worst.offset.Across) +
                            " m apart across the line and " + FormatExactReal(worst.offset.Nearest) +
                            " m along it: no wavenumber rule of the 2.5-D computation reaches the accuracy asked "
                            "for this pair (a coarser quadrature tolerance, or the electrode placed further along "
                            "the line, lets it be computed).");
    }
}

void RunOnThreads(int Threads, const std::function<void(const std::atomic<bool>& Failed)>& Work)
{
    std::atomic<bool> failed{false};
    RunShared(Threads, [&]() {
        ClearUpperVectorState();
        try {
            Work(failed);
        } catch (...) {
            failed = true;
            throw;
        }
    });
}

int UsableCores()
{
    int cores = 0;
#ifdef __linux__
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        cores = CPU_COUNT(&set);
#endif
    if (cores <= 0)
        cores = static_cast<int>(std::thread::hardware_concurrency());
    // A processor-time quota ("200000 100000": two cores' worth) caps it too.
    for (const std::string& folder : CgroupFolders()) {
        double quota = 0.0, period = 0.0;
        if (std::sscanf(FirstLine(folder + "/cpu.max").c_str(), "%lf %lf", &quota, &period) == 2 && quota > 0 && period > 0)
            cores = std::min(cores, static_cast<int>(std::ceil(quota / period)));
    }
    return std::max(cores, 1);
}

double AvailableMemory()
{
    double available = std::numeric_limits<double>::infinity();
    const double machine = KeyedNumber("/proc/meminfo", "MemAvailable:");
    if (machine >= 0.0)
        available = machine * 1024.0; // kB
    // A memory limit of the process's cgroup, or of a parent's: what is left
    // of it, counting the page cache it could reclaim as free.
    for (const std::string& folder : CgroupFolders()) {
        const std::string limit = FirstLine(folder + "/memory.max");
        const std::string used = FirstLine(folder + "/memory.current");
        if (limit.empty() || limit == "max" || used.empty())
            continue;
        const double reclaimable = std::max(0.0, KeyedNumber(folder + "/memory.stat", "inactive_file "));
        available = std::min(available, std::strtod(limit.c_str(), nullptr) - std::strtod(used.c_str(), nullptr) + reclaimable);
    }
    const std::string limitV1 = FirstLine("/sys/fs/cgroup/memory/memory.limit_in_bytes");
    const std::string usedV1 = FirstLine("/sys/fs/cgroup/memory/memory.usage_in_bytes");
    if (!limitV1.empty() && !usedV1.empty())
        available = std::min(available, std::strtod(limitV1.c_str(), nullptr) - std::strtod(usedV1.c_str(), nullptr));
    available = std::min(available, UnmappedAddressSpace());
    return std::max(available, 0.0);
}

TForwardResult ComputeForwardResponse(const TForwardModel& Ground, TSurvey Survey, const TForwardOptions& Options,
                                      const TForwardProgress& Progress)
{
    ClearUpperVectorState(); // the caller's thread may have inherited the slow state
    const TClock::time_point start = TClock::now();
    TProgressGate gate(Progress);
    PlaceSurvey(Survey, Ground);
    TForwardResult result;

    // Wavenumbers for the distances of the survey, as far as the mesh reaches.
    TClock::time_point stage = TClock::now();
    TPaddedGeometry geometry = PadGeometry(Ground, Survey, Options.Mesh);
    double smallest = 0.0, largest = 0.0;
    SurveyDistances(Survey, smallest, largest);
    result.Wavenumbers = SurveyWavenumbers(Survey, smallest, largest, Options.QuadratureTolerance, geometry.Extent);
    result.QuadratureError = PointSourceError(result.Wavenumbers, smallest, largest);

    // The mesh and its analysis: the cache's when the geometry is the same.
    std::shared_ptr<const TMeshSetup> setup = Options.Cache ? Options.Cache->Find(geometry) : nullptr;
    result.MeshReused = setup != nullptr;
    if (!setup) {
        setup = std::make_shared<const TMeshSetup>(std::move(geometry), [&gate] { return gate.Report(0.0); });
        // Kept even when this computation is cancelled now: the next may use it.
        if (Options.Cache)
            Options.Cache->Keep(setup);
    }
    const TForwardMesh& mesh = setup->Mesh;
    const TElementMatrices& elements = setup->Elements;
    const TSystemPattern& pattern = setup->Pattern;
    const TSystemAnalysis& analysis = setup->Analysis;
    result.MeshNodes = static_cast<int>(mesh.Nodes.size());
    result.MeshTriangles = static_cast<int>(mesh.Triangles.size());
    result.Times.Mesh = Seconds(stage);
    Stop(gate, MeshShare);

    // The current electrodes: every A and B; the pairs of a current and a
    // potential electrode the data need.
    std::vector<int> sourceOf(Survey.Electrodes.size(), -1);
    int sourceCount = 0;
    std::vector<std::pair<int, int>> pairs; // (current, potential electrode)
    for (const TConfiguration& c : Survey.Configurations)
        for (int current : {c.a, c.b})
            if (current >= 0) {
                if (sourceOf[static_cast<size_t>(current)] < 0)
                    sourceOf[static_cast<size_t>(current)] = sourceCount++;
                for (int potential : {c.m, c.n})
                    if (potential >= 0)
                        pairs.emplace_back(current, potential);
            }
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    const auto ends = std::minmax_element(Survey.Electrodes.begin(), Survey.Electrodes.end(),
                                          [](const TElectrode& a, const TElectrode& b) { return a.x < b.x; });
    const double middle = (ends.first->x + ends.second->x) / 2;
    const TGeometryPoint centre{middle, SurfaceElevation(Ground, std::clamp(middle, Ground.Left, Ground.Right))};

    // The runs: the ground, the charged ground, the reference ground.
    std::vector<TRun> runs(1);
    for (const TForwardRegion& region : Ground.Regions)
        runs[0].conductivity.push_back(1.0 / region.resistivity);
    int charged = -1, reference = -1, phased = -1;
    if (Ground.HasPolarizability) {
        charged = static_cast<int>(runs.size());
        runs.emplace_back();
        for (const TForwardRegion& region : Ground.Regions)
            runs.back().conductivity.push_back((1.0 - region.polarizability) / region.resistivity);
    }
    if (Ground.HasPhase) {
        phased = static_cast<int>(runs.size());
        runs.emplace_back();
        for (const TForwardRegion& region : Ground.Regions)
            runs.back().conductivity.push_back(std::exp(-PhaseStep * region.phase / 1000.0) / region.resistivity);
    }
    if (Ground.HasRelief) {
        reference = static_cast<int>(runs.size());
        runs.emplace_back();
        runs.back().conductivity.assign(Ground.Regions.size(), 1.0);
    }
    const size_t wavenumbers = result.Wavenumbers.k.size();
    for (TRun& run : runs)
        run.potentials.resize(wavenumbers);
    const int electrodes = static_cast<int>(Survey.Electrodes.size());
    // The nodes solved for: electrodes at one x (apart across the line)
    // share theirs, one source of the section's plane, solved once.
    const TSourceNodes solved = DistinctNodes(mesh.ElectrodeNodes);
    const int nodes = static_cast<int>(solved.Nodes.size());

    // One analysis for every factor; the threads and the memory they need:
    // per thread a factor, a matrix and the path vectors of every electrode;
    // the potentials of the pairs for every run and wavenumber.
    const size_t tasks = runs.size() * wavenumbers;
    double pathEntries = 0.0;
    for (int node : solved.Nodes)
        pathEntries += analysis.PathLength(node);
    const TSolveMemory memory{analysis.FactorBytes() + MatrixBytes(pattern.Matrix) + 12.0 * pathEntries +
                                  8.0 * analysis.Nodes(),
                              8.0 * sourceCount * static_cast<double>(electrodes) *
                                  static_cast<double>(runs.size() * (wavenumbers + 1))};
    const int threads = ThreadsThatFit(memory, Options, tasks, Survey.Electrodes.size());
    const int block = std::clamp(Options.BlockElectrodes > 0 ? Options.BlockElectrodes : DefaultBlockElectrodes, 1,
                                 std::max(electrodes, 1));
    result.Threads = threads;
    result.BlockElectrodes = block;
    result.MemoryEstimate = memory.Total(threads);

    // Every (run, wavenumber) on its own: in parallel, each thread with its
    // factor. A task's result does not depend on the thread that computes it.
    const size_t blocks = (static_cast<size_t>(nodes) + static_cast<size_t>(block) - 1) / static_cast<size_t>(block);
    gate.SetUnits(tasks * (blocks + 1));
    std::atomic<size_t> next{0};
    std::mutex lock;
    TForwardTimes times;
    RunOnThreads(threads, [&](const std::atomic<bool>& failed) {
        TForwardTimes own;
        // False when the computation is to end: cancelled, or failed elsewhere.
        const auto goOn = [&](bool reported) { return reported && !failed; };
        {
            TSystemFactor factor(analysis);
            std::vector<TPathVector> paths(static_cast<size_t>(nodes));
            for (size_t task = next++; task < tasks; task = next++) {
                if (!goOn(gate.Check()))
                    break;
                TRun& run = runs[task / wavenumbers];
                const size_t i = task % wavenumbers;
                const double k = result.Wavenumbers.k[i];
                TClock::time_point at = TClock::now();
                const Eigen::SparseMatrix<double> A = AssembleSystem(mesh, elements, pattern, run.conductivity, k, centre);
                own.Assemble += Seconds(at);
                at = TClock::now();
                factor.Factorise(A);
                own.Factorise += Seconds(at);
                if (!goOn(gate.Advance()))
                    break;
                bool complete = true;
                for (int first = 0; first < nodes && complete; first += block) {
                    at = TClock::now();
                    for (int n = first; n < std::min(first + block, nodes); ++n)
                        paths[static_cast<size_t>(n)] = factor.PathSolve(solved.Nodes[static_cast<size_t>(n)]);
                    own.Solve += Seconds(at);
                    complete = goOn(gate.Advance());
                }
                if (!complete)
                    break;
                // A current of I at the source's node: the right-hand side I/2;
                // a pair apart across the line sees it through cos(k Δy).
                Eigen::MatrixXd potentials = Eigen::MatrixXd::Zero(sourceCount, electrodes);
                const auto path = [&](int e) -> const TPathVector& {
                    return paths[static_cast<size_t>(solved.Of[static_cast<size_t>(e)])];
                };
                for (const auto& [current, potential] : pairs)
                    potentials(sourceOf[static_cast<size_t>(current)], potential) =
                        0.5 * AcrossFactor(Survey, current, potential, k) * PathProduct(path(potential), path(current));
                run.potentials[i] = std::move(potentials);
            }
        }
        std::lock_guard<std::mutex> hold(lock);
        times.Assemble += own.Assemble;
        times.Factorise += own.Factorise;
        times.Solve += own.Solve;
    });
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
        if (phased >= 0) {
            const double phasedResistivity = k * voltage(runs[static_cast<size_t>(phased)], c);
            const double phase = 1000.0 * std::log(phasedResistivity / resistivity) / PhaseStep;
            refuseUnless(std::isfinite(phase));
            result.Phases.push_back(phase);
        }
    }
    result.Survey = std::move(Survey);
    result.Surface = Ground.Surface;
    result.Times.Total = Seconds(start);
    gate.Report(1.0); // done: a cancel now comes too late to matter
    return result;
}

} // namespace lp
