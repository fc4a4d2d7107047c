#include "section/forward/Sensitivity.h"

#include <Eigen/Sparse>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>
#include <numbers>
#include <string>

namespace lp {

// One region's share of the system for σ = 1, on the nodes it touches:
// stiffness and mass of its triangles, and its outer edges for the mixed
// condition (which depends on the wavenumber).
struct TSensitivityProblem::TRegionMatrices {
    std::vector<int> Nodes; // global node of each local one, ascending
    Eigen::SparseMatrix<double> Stiffness, Mass;
    std::vector<size_t> Edges;                 // into the mesh's outer edges
    std::vector<std::array<int, 2>> EdgeNodes; // local nodes of each edge
};

namespace {

int LocalNode(const std::vector<int>& nodes, int node)
{
    return static_cast<int>(std::lower_bound(nodes.begin(), nodes.end(), node) - nodes.begin());
}

// Visit(i) for i = 0 .. Count - 1 on Threads threads, each taking the next
// index; the first failure stops the rest and is raised again.
template <typename TVisit>
void InParallel(size_t Count, int Threads, const TVisit& Visit)
{
    std::atomic<size_t> next{0};
    RunOnThreads(std::min<int>(Threads, static_cast<int>(Count)), [&](const std::atomic<bool>& failed) {
        for (size_t i = next++; i < Count && !failed; i = next++)
            Visit(i);
    });
}

} // namespace

TSensitivityProblem::TSensitivityProblem(const TForwardModel& Ground, TSurvey Survey, const TForwardOptions& Options)
    : FOptions(Options), FSurvey(std::move(Survey)), FRegionCount(static_cast<int>(Ground.Regions.size()))
{
    PlaceSurvey(FSurvey, Ground);
    double smallest = 0.0, largest = 0.0;
    SurveyDistances(FSurvey, smallest, largest);
    FWavenumbers = ChooseWavenumbers(smallest, largest, Options.QuadratureTolerance);
    FMesh = MeshGeometry(PadGeometry(Ground, FSurvey, Options.Mesh));
    FElements = ElementMatrices(FMesh);
    FPattern = SystemPattern(FMesh);
    FAnalysis = std::make_unique<TSystemAnalysis>(FPattern.Matrix);
    const auto ends = std::minmax_element(FSurvey.Electrodes.begin(), FSurvey.Electrodes.end(),
                                          [](const TElectrode& a, const TElectrode& b) { return a.x < b.x; });
    const double middle = (ends.first->x + ends.second->x) / 2;
    FCentre = {middle, SurfaceElevation(Ground, std::clamp(middle, Ground.Left, Ground.Right))};

    // Each region's matrices on its own nodes.
    FRegionMatrices.resize(static_cast<size_t>(FRegionCount));
    for (size_t t = 0; t < FMesh.Triangles.size(); ++t)
        for (int node : FMesh.Triangles[t])
            FRegionMatrices.at(static_cast<size_t>(FMesh.TriangleRegion[t])).Nodes.push_back(node);
    for (size_t e = 0; e < FMesh.OuterEdges.size(); ++e) {
        TRegionMatrices& region = FRegionMatrices.at(static_cast<size_t>(FMesh.OuterEdgeRegion[e]));
        region.Edges.push_back(e);
        region.Nodes.insert(region.Nodes.end(), FMesh.OuterEdges[e].begin(), FMesh.OuterEdges[e].end());
    }
    std::vector<std::vector<Eigen::Triplet<double>>> stiffness(FRegionMatrices.size()), mass(FRegionMatrices.size());
    for (TRegionMatrices& region : FRegionMatrices) {
        std::sort(region.Nodes.begin(), region.Nodes.end());
        region.Nodes.erase(std::unique(region.Nodes.begin(), region.Nodes.end()), region.Nodes.end());
    }
    for (size_t t = 0; t < FMesh.Triangles.size(); ++t) {
        const size_t r = static_cast<size_t>(FMesh.TriangleRegion[t]);
        const TRegionMatrices& region = FRegionMatrices[r];
        std::array<int, 3> local{};
        for (size_t v = 0; v < 3; ++v)
            local[v] = LocalNode(region.Nodes, FMesh.Triangles[t][v]);
        for (int q = 0; q < 6; ++q) {
            const int i = local[static_cast<size_t>(LocalRow[q])], j = local[static_cast<size_t>(LocalColumn[q])];
            const double s = FElements.Stiffness[t][static_cast<size_t>(q)];
            const double m = FElements.Area[t] * (LocalRow[q] == LocalColumn[q] ? 2.0 : 1.0) / 12.0;
            stiffness[r].emplace_back(i, j, s);
            mass[r].emplace_back(i, j, m);
            if (LocalRow[q] != LocalColumn[q]) {
                stiffness[r].emplace_back(j, i, s);
                mass[r].emplace_back(j, i, m);
            }
        }
    }
    for (size_t r = 0; r < FRegionMatrices.size(); ++r) {
        TRegionMatrices& region = FRegionMatrices[r];
        const auto n = static_cast<Eigen::Index>(region.Nodes.size());
        region.Stiffness.resize(n, n);
        region.Stiffness.setFromTriplets(stiffness[r].begin(), stiffness[r].end());
        region.Mass.resize(n, n);
        region.Mass.setFromTriplets(mass[r].begin(), mass[r].end());
        for (size_t e : region.Edges)
            region.EdgeNodes.push_back(
                {LocalNode(region.Nodes, FMesh.OuterEdges[e][0]), LocalNode(region.Nodes, FMesh.OuterEdges[e][1])});
    }

    // The geometric factors: analytic on a flat surface, else from a
    // homogeneous ground of 1 ohm-m on this mesh.
    std::vector<double> homogeneous;
    if (Ground.HasRelief) {
        const std::vector<TWavenumberPart> parts = Wavenumbers(std::vector<double>(FRegionMatrices.size(), 1.0), {}, {});
        std::vector<Eigen::MatrixXd> potentials;
        for (const TWavenumberPart& part : parts)
            potentials.push_back(part.Potentials);
        const Eigen::MatrixXd total = BackTransform(potentials, FWavenumbers.w);
        for (const TConfiguration& c : FSurvey.Configurations)
            homogeneous.push_back(Voltage(total, c));
    }
    for (size_t d = 0; d < FSurvey.Configurations.size(); ++d) {
        const double k = Ground.HasRelief ? (homogeneous[d] != 0.0 ? 1.0 / homogeneous[d]
                                                                   : std::numeric_limits<double>::infinity())
                                          : FlatGeometricFactor(FSurvey, FSurvey.Configurations[d]);
        if (!std::isfinite(k) || std::fabs(k) > 1e12 * std::max(1.0, largest))
            throw EForwardError("Datum " + std::to_string(d + 1) +
                                " measures no potential difference over a homogeneous ground: its geometric factor "
                                "is infinite.");
        FGeometricFactors.push_back(k);
    }
}

TSensitivityProblem::~TSensitivityProblem() = default;

double TSensitivityProblem::Voltage(const Eigen::MatrixXd& Potentials, const TConfiguration& c) const
{
    const auto u = [&](int current, int potential) {
        return current < 0 || potential < 0 ? 0.0 : Potentials(current, potential);
    };
    return u(c.a, c.m) - u(c.a, c.n) - u(c.b, c.m) + u(c.b, c.n);
}

TSensitivityProblem::TWavenumberPart TSensitivityProblem::Wavenumber(TSystemFactor& Factor, size_t Index,
                                                                     const std::vector<double>& Conductivity,
                                                                     const std::vector<TRegionSet>& Parameters) const
{
    const double k = FWavenumbers.k[Index];
    Factor.Factorise(AssembleSystem(FMesh, FElements, FPattern, Conductivity, k, FCentre));
    // A unit current at every electrode: the right-hand side 1/2 at its node.
    const auto electrodes = static_cast<Eigen::Index>(FMesh.ElectrodeNodes.size());
    Eigen::MatrixXd sources = Eigen::MatrixXd::Zero(MeshNodes(), electrodes);
    for (Eigen::Index e = 0; e < electrodes; ++e)
        sources(FMesh.ElectrodeNodes[static_cast<size_t>(e)], e) = 0.5;
    const Eigen::MatrixXd U = Factor.Solve(sources);
    TWavenumberPart part;
    part.Potentials.resize(electrodes, electrodes);
    for (Eigen::Index e = 0; e < electrodes; ++e)
        part.Potentials.col(e) = U.row(FMesh.ElectrodeNodes[static_cast<size_t>(e)]).transpose();
    // The symmetric part: the factor's rounding leaves reciprocity exact to
    // a few ulps only.
    part.Potentials = 0.5 * (part.Potentials + part.Potentials.transpose()).eval();

    // Uᵀ K_r U for every region a parameter covers, on the region's nodes.
    std::vector<Eigen::MatrixXd> regionProducts(FRegionMatrices.size());
    const auto product = [&](size_t r) -> const Eigen::MatrixXd& {
        Eigen::MatrixXd& G = regionProducts[r];
        if (G.size() != 0)
            return G;
        const TRegionMatrices& region = FRegionMatrices[r];
        Eigen::MatrixXd local(static_cast<Eigen::Index>(region.Nodes.size()), electrodes);
        for (size_t i = 0; i < region.Nodes.size(); ++i)
            local.row(static_cast<Eigen::Index>(i)) = U.row(region.Nodes[i]);
        Eigen::MatrixXd KU = region.Stiffness * local + (k * k) * (region.Mass * local);
        for (size_t q = 0; q < region.Edges.size(); ++q) {
            const double f = MixedCoefficient(FElements, region.Edges[q], k, FCentre) *
                             FElements.EdgeLength[region.Edges[q]] / 6.0;
            const auto [a, b] = region.EdgeNodes[q];
            const Eigen::RowVectorXd ua = local.row(a), ub = local.row(b);
            KU.row(a) += f * (2.0 * ua + ub);
            KU.row(b) += f * (ua + 2.0 * ub);
        }
        G.noalias() = local.transpose() * KU;
        return G;
    };
    const auto data = static_cast<Eigen::Index>(FSurvey.Configurations.size());
    part.Differences.resize(data, static_cast<Eigen::Index>(Parameters.size()));
    Eigen::MatrixXd H(electrodes, electrodes);
    for (size_t j = 0; j < Parameters.size(); ++j) {
        H.setZero();
        for (int r : Parameters[j])
            H += Conductivity[static_cast<size_t>(r)] * product(static_cast<size_t>(r));
        for (Eigen::Index d = 0; d < data; ++d)
            part.Differences(d, static_cast<Eigen::Index>(j)) = Voltage(H, FSurvey.Configurations[static_cast<size_t>(d)]);
    }
    return part;
}

std::vector<TSensitivityProblem::TWavenumberPart>
TSensitivityProblem::Wavenumbers(const std::vector<double>& Conductivity, const std::vector<TRegionSet>& Parameters,
                                 const TForwardProgress& Progress) const
{
    const size_t count = FWavenumbers.k.size();
    std::vector<TWavenumberPart> parts(count);
    std::mutex progressLock;
    size_t done = 0;
    bool stopped = false;
    // Each thread holds a factor and the potentials of every electrode at
    // every node (with their right-hand sides): fewer threads where fewer
    // fit, a refusal where not even one does.
    const double electrodes = static_cast<double>(FMesh.ElectrodeNodes.size());
    const double perThread = FAnalysis->FactorBytes() + 3.0 * 8.0 * MeshNodes() * electrodes;
    const double limit = FOptions.MemoryLimit > 0.0 ? FOptions.MemoryLimit : AvailableMemory();
    if (perThread > limit)
        throw EForwardError("Not enough memory for the sensitivities of " + std::to_string(FMesh.ElectrodeNodes.size()) +
                            " electrodes (about " + std::to_string(static_cast<long long>(perThread / 1e6)) + " MB; " +
                            std::to_string(static_cast<long long>(limit / 1e6)) + " MB available).");
    const int asked = FOptions.Threads > 0 ? FOptions.Threads : UsableCores();
    const int threads = std::max(1, std::min(asked, static_cast<int>(limit / perThread)));
    InParallel(count, threads, [&](size_t i) {
        {
            std::lock_guard<std::mutex> hold(progressLock);
            if (stopped)
                return;
        }
        TSystemFactor factor(*FAnalysis);
        parts[i] = Wavenumber(factor, i, Conductivity, Parameters);
        std::lock_guard<std::mutex> hold(progressLock);
        ++done;
        if (Progress && !stopped && !Progress(static_cast<double>(done) / static_cast<double>(count)))
            stopped = true;
    });
    if (stopped)
        throw EForwardCancelled("The forward computation was cancelled.");
    return parts;
}

TSensitivityResult TSensitivityProblem::Compute(const std::vector<double>& Resistivities,
                                                const std::vector<TRegionSet>& Parameters,
                                                const TForwardProgress& Progress) const
{
    if (Resistivities.size() != FRegionMatrices.size())
        throw EForwardError("The sensitivities need " + std::to_string(FRegionMatrices.size()) +
                            " resistivities, one per region, not " + std::to_string(Resistivities.size()) + ".");
    std::vector<double> conductivity;
    for (double rho : Resistivities) {
        if (!(std::isfinite(rho) && rho > 0.0))
            throw EForwardError("A region's resistivity must be a finite number above 0.");
        conductivity.push_back(1.0 / rho);
    }
    for (const TRegionSet& parameter : Parameters)
        for (int r : parameter)
            if (r < 0 || r >= FRegionCount)
                throw EForwardError("A parameter names region " + std::to_string(r) + ", which the ground does not have.");

    const std::vector<TWavenumberPart> parts = Wavenumbers(conductivity, Parameters, Progress);
    std::vector<Eigen::MatrixXd> potentials;
    for (const TWavenumberPart& part : parts)
        potentials.push_back(part.Potentials);
    const Eigen::MatrixXd total = BackTransform(potentials, FWavenumbers.w);

    TSensitivityResult result;
    const auto data = static_cast<Eigen::Index>(FSurvey.Configurations.size());
    result.Jacobian.resize(data, static_cast<Eigen::Index>(Parameters.size()));
    for (size_t d = 0; d < FSurvey.Configurations.size(); ++d) {
        const double u = Voltage(total, FSurvey.Configurations[d]);
        const double rho = FGeometricFactors[d] * u;
        if (!std::isfinite(rho) || u == 0.0)
            throw EForwardError("Datum " + std::to_string(d + 1) +
                                " has no finite value: the computation cannot resolve it.");
        result.Voltages.push_back(u);
        result.Resistivities.push_back(rho);
    }
    std::vector<Eigen::MatrixXd> differences;
    for (const TWavenumberPart& part : parts)
        differences.push_back(part.Differences);
    const Eigen::MatrixXd D = BackTransform(differences, FWavenumbers.w);
    for (size_t j = 0; j < Parameters.size(); ++j) {
        for (size_t d = 0; d < FSurvey.Configurations.size(); ++d) {
            const double value =
                2.0 * D(static_cast<Eigen::Index>(d), static_cast<Eigen::Index>(j)) / result.Voltages[d];
            if (!std::isfinite(value))
                throw EForwardError("Datum " + std::to_string(d + 1) +
                                    " has no finite sensitivity: the computation cannot resolve it.");
            result.Jacobian(static_cast<Eigen::Index>(d), static_cast<Eigen::Index>(j)) = value;
        }
    }
    return result;
}

} // namespace lp
