#include "section/forward/Sensitivity.h"

#include "section/model/ModelGeometryText.h"

#include <Eigen/Sparse>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <map>
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

// What one thread holds while it computes a wavenumber, kept from one
// wavenumber to its next.
struct TSensitivityProblem::TWorkspace {
    TNodeMatrix U;              // the potentials of every electrode's current, node x electrode
    Eigen::MatrixXd Potentials; // between electrodes, symmetric
    Eigen::MatrixXd Columns;    // data x ColumnBatch: finished parameters' columns not yet in the sum
    std::vector<int> Finished;  // their parameters
    std::vector<int> Seen;      // per parameter, its regions done in this wavenumber
    std::map<int, Eigen::VectorXd> Open; // the columns of parameters of several regions, while some are left
    Eigen::VectorXd Values;     // per datum, for one region
    std::vector<double> Factors; // per datum part, its cos(k Δy)
    Eigen::VectorXd Buffer;     // a region's KU and a few nodes' dipole columns (aligned as Eigen's own)
    TNodeMatrix RegionU;        // a region's rows of U
    Eigen::MatrixXd Poles;      // a region's U_rᵀ K_r U_r, source x source
};

namespace {

int LocalNode(const std::vector<int>& nodes, int node)
{
    return static_cast<int>(std::lower_bound(nodes.begin(), nodes.end(), node) - nodes.begin());
}

// A dipole's value of one node's row (one value per electrode): the first
// electrode's less the second's, an absent one (-1) counting 0.
double Dipole(const double* Row, const std::array<int, 2>& Electrodes)
{
    return (Electrodes[0] >= 0 ? Row[Electrodes[0]] : 0.0) - (Electrodes[1] >= 0 ? Row[Electrodes[1]] : 0.0);
}

// Whether a region's products are cheaper source by source (one matrix
// product of its nodes' potentials, Uᵀ K U, then four of its entries per
// datum part) than dipole by dipole (each dipole's column over the nodes,
// then a dot product per part). Per node the matrix product takes 2 S²
// operations but runs about four times as fast as the gathered ones; the
// dipoles take two per dipole and two per part. Surveys of many distinct
// dipoles (Wenner and Schlumberger lines, every level) go source by source.
// NodesPerRegion: the regions' mean count of nodes.
bool PoleProductsCheaper(double NodesPerRegion, size_t Sources, size_t Currents, size_t Voltages, size_t Parts)
{
    if (!(NodesPerRegion > 0.0))
        return false;
    const double sources = static_cast<double>(Sources);
    const double dipoles = 2.0 * static_cast<double>(Currents + Voltages) + 2.0 * static_cast<double>(Parts);
    const double poles = 2.0 * sources * sources / 4.0 + 4.0 * static_cast<double>(Parts) / NodesPerRegion;
    return poles < dipoles;
}

// (u_A − u_B)ᵀ K (u_M − u_N) from the sources' products P = Uᵀ K U.
double DipoleProduct(const Eigen::MatrixXd& P, const std::array<int, 2>& Current, const std::array<int, 2>& Potential)
{
    double sum = 0.0;
    for (int i = 0; i < 2; ++i) {
        if (Current[static_cast<size_t>(i)] < 0)
            continue;
        for (int j = 0; j < 2; ++j)
            if (Potential[static_cast<size_t>(j)] >= 0)
                sum += (i == j ? 1.0 : -1.0) * P(Current[static_cast<size_t>(i)], Potential[static_cast<size_t>(j)]);
    }
    return sum;
}

} // namespace

TSensitivityProblem::TSensitivityProblem(const TForwardModel& Ground, TSurvey Survey, const TForwardOptions& Options)
    : FOptions(Options), FSurvey(std::move(Survey)), FRegionCount(static_cast<int>(Ground.Regions.size()))
{
    PlaceSurvey(FSurvey, Ground);
    double smallest = 0.0, largest = 0.0;
    SurveyDistances(FSurvey, smallest, largest);
    TPaddedGeometry geometry = PadGeometry(Ground, FSurvey, Options.Mesh);
    FWavenumbers = SurveyWavenumbers(FSurvey, smallest, largest, Options.QuadratureTolerance, geometry.Extent);
    FOffLine = HasOffLineElectrodes(FSurvey);
    FMesh = MeshGeometry(geometry);
    FSources = DistinctNodes(FMesh.ElectrodeNodes);
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

    // Stiffness and mass share their pattern (made from the same entries):
    // K_r(k) is one set of values on it.
    for (const TRegionMatrices& region : FRegionMatrices) {
        const Eigen::Index entries = region.Stiffness.nonZeros();
        if (region.Mass.nonZeros() != entries ||
            !std::equal(region.Stiffness.innerIndexPtr(), region.Stiffness.innerIndexPtr() + entries,
                        region.Mass.innerIndexPtr()) ||
            !std::equal(region.Stiffness.outerIndexPtr(), region.Stiffness.outerIndexPtr() + region.Stiffness.cols() + 1,
                        region.Mass.outerIndexPtr()))
            throw EForwardError("A region's matrices of the sensitivities do not share their pattern.");
        FLargestRegion = std::max(FLargestRegion, static_cast<double>(region.Nodes.size()));
    }

    // The distinct current dipoles (A, B) and potential dipoles (M, N) of
    // the data, and each datum's parts: one pair of dipoles on the line;
    // where a current and a potential electrode stand apart across the line
    // (each such pair seen through its own cos(k Δy)), each current
    // electrode alone with the potential electrodes at one offset from it.
    std::map<std::array<int, 2>, int> currents, voltages;
    const auto index = [&](std::map<std::array<int, 2>, int>& known, std::vector<std::array<int, 2>>& dipoles,
                           std::array<int, 2> dipole) {
        for (int& e : dipole)
            if (e >= 0)
                e = FSources.Of.at(static_cast<size_t>(e));
        const auto [at, added] = known.try_emplace(dipole, static_cast<int>(dipoles.size()));
        if (added)
            dipoles.push_back(dipole);
        return at->second;
    };
    const auto across = [&](int current, int potential) {
        return current < 0 || potential < 0 ? 0.0
                                            : std::fabs(FSurvey.Electrodes.at(static_cast<size_t>(current)).y -
                                                        FSurvey.Electrodes.at(static_cast<size_t>(potential)).y);
    };
    for (size_t d = 0; d < FSurvey.Configurations.size(); ++d) {
        const TConfiguration& c = FSurvey.Configurations[d];
        const int datum = static_cast<int>(d);
        if (across(c.a, c.m) == 0.0 && across(c.a, c.n) == 0.0 && across(c.b, c.m) == 0.0 && across(c.b, c.n) == 0.0) {
            FDatumParts.push_back({datum, index(currents, FCurrentDipoles, {c.a, c.b}),
                                   index(voltages, FPotentialDipoles, {c.m, c.n}), 0.0});
            continue;
        }
        // A as (A, absent), B as (absent, B): the dipole's signs kept.
        for (const std::array<int, 2> pole : {std::array<int, 2>{c.a, -1}, std::array<int, 2>{-1, c.b}}) {
            const int current = std::max(pole[0], pole[1]);
            if (current < 0)
                continue;
            const int source = index(currents, FCurrentDipoles, pole);
            const double toM = across(current, c.m), toN = across(current, c.n);
            if (c.m < 0 || c.n < 0 || toM == toN) {
                FDatumParts.push_back({datum, source, index(voltages, FPotentialDipoles, {c.m, c.n}),
                                       c.m >= 0 ? toM : toN});
                continue;
            }
            FDatumParts.push_back({datum, source, index(voltages, FPotentialDipoles, {c.m, -1}), toM});
            FDatumParts.push_back({datum, source, index(voltages, FPotentialDipoles, {-1, c.n}), toN});
        }
    }
    double regionNodes = 0.0;
    for (const TRegionMatrices& region : FRegionMatrices)
        regionNodes += static_cast<double>(region.Nodes.size());
    FPoleProducts = PoleProductsCheaper(regionNodes / std::max<double>(1.0, static_cast<double>(FRegionMatrices.size())),
                                        FSources.Nodes.size(), FCurrentDipoles.size(),
                                        FPotentialDipoles.size(), FDatumParts.size());

    // The geometric factors: analytic on a flat surface, else from a
    // homogeneous ground of 1 ohm-m on this mesh.
    std::vector<double> homogeneous;
    if (Ground.HasRelief) {
        const TTransformed total = Wavenumbers(std::vector<double>(FRegionMatrices.size(), 1.0), {}, {});
        for (const TConfiguration& c : FSurvey.Configurations)
            homogeneous.push_back(Voltage(total.Potentials, c));
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

double TSensitivityProblem::MemoryNeed(int Parameters, int Threads) const
{
    const double electrodes = static_cast<double>(FMesh.ElectrodeNodes.size());
    const double sources = static_cast<double>(FSources.Nodes.size());
    const double nodes = MeshNodes();
    const double data = static_cast<double>(FSurvey.Configurations.size());
    const double parameters = std::max(Parameters, 0);
    // Shared: the back-transformed sums (data x parameters, the electrodes'
    // potentials), which become the result.
    const double shared = 8.0 * (data * parameters + electrodes * electrodes);
    // One thread: its system and factor, the potentials of every electrode
    // at every node and the block of sources solved together, its
    // wavenumber's data x parameters and potentials (and their transpose),
    // and the largest region's products (only where there are parameters:
    // its rows of the potentials and the sources' products, or a few
    // nodes' dipole columns).
    const double system = 12.0 * static_cast<double>(FPattern.Matrix.nonZeros()) + 4.0 * (nodes + 1.0);
    double thread = system + FAnalysis->FactorBytes() + 8.0 * nodes * sources +
                    8.0 * TSystemFactor::SourceBlock * nodes +
                    8.0 * (data * std::min<double>(parameters, ColumnBatch) + 2.0 * electrodes * electrodes);
    if (parameters > 0)
        thread += 8.0 * (FLargestRegion * sources + data +
                         (FPoleProducts ? FLargestRegion * sources + sources * sources
                                        : DipoleRows * static_cast<double>(FCurrentDipoles.size() +
                                                                            FPotentialDipoles.size())));
    return shared + std::max(Threads, 1) * thread;
}

bool TSensitivityProblem::Wavenumber(TSystemFactor& Factor, size_t Index, const std::vector<double>& Conductivity,
                                     const std::vector<std::vector<int>>& RegionParameters,
                                     const std::vector<int>& Visits, TWorkspace& Work, const TAddColumns& Add) const
{
    const double k = FWavenumbers.k[Index];
    Factor.Factorise(AssembleSystem(FMesh, FElements, FPattern, Conductivity, k, FCentre));
    // A unit current at every source node: the right-hand side 1/2 there.
    const auto electrodes = static_cast<Eigen::Index>(FMesh.ElectrodeNodes.size());
    const auto sources = static_cast<Eigen::Index>(FSources.Nodes.size());
    TNodeMatrix& U = Work.U;
    Factor.SolveSources(FSources.Nodes, 0.5, U);
    Work.Potentials.resize(electrodes, electrodes);
    for (Eigen::Index e = 0; e < electrodes; ++e) {
        const auto row = U.row(FMesh.ElectrodeNodes[static_cast<size_t>(e)]);
        for (Eigen::Index s = 0; s < electrodes; ++s)
            Work.Potentials(s, e) = row(FSources.Of[static_cast<size_t>(s)]);
    }
    // The symmetric part: the factor's rounding leaves reciprocity exact to
    // a few ulps only.
    Work.Potentials = 0.5 * (Work.Potentials + Work.Potentials.transpose()).eval();
    // A pair apart across the line sees its transformed potential through cos(k Δy).
    if (FOffLine)
        for (Eigen::Index s = 0; s < electrodes; ++s)
            for (Eigen::Index e = 0; e < electrodes; ++e)
                Work.Potentials(s, e) *= AcrossFactor(FSurvey, static_cast<int>(s), static_cast<int>(e), k);
    Work.Factors.clear();
    for (const TDatumPart& part : FDatumParts)
        Work.Factors.push_back(part.Across == 0.0 ? 1.0 : std::cos(k * part.Across));

    // Per region a parameter covers: KU = K_r U on its nodes, then each
    // datum's (u_A − u_B)ᵀ K_r (u_M − u_N) as the dot product of its
    // current dipole's potentials and its potential dipole's KU, formed
    // once per dipole for a few of the region's nodes at a time.
    const auto data = static_cast<Eigen::Index>(FSurvey.Configurations.size());
    const auto currents = static_cast<Eigen::Index>(FCurrentDipoles.size());
    const auto voltages = static_cast<Eigen::Index>(FPotentialDipoles.size());
    Work.Finished.clear();
    Work.Seen.assign(Visits.size(), 0);
    Work.Open.clear();
    Work.Values.resize(data);
    const double k2 = k * k;
    for (size_t r = 0; r < FRegionMatrices.size(); ++r) {
        if (RegionParameters[r].empty())
            continue;
        const TRegionMatrices& region = FRegionMatrices[r];
        const auto n = static_cast<Eigen::Index>(region.Nodes.size());
        const Eigen::Index size = n * sources + DipoleRows * (currents + voltages);
        if (Work.Buffer.size() < size)
            Work.Buffer.resize(size);
        double* at = Work.Buffer.data();
        Eigen::Map<TNodeMatrix> KU(at, n, sources);
        // K_r(k) = S + k² M on the pattern the two share, times the
        // potentials of the region's nodes, column by column of K_r.
        const int* outer = region.Stiffness.outerIndexPtr();
        const int* inner = region.Stiffness.innerIndexPtr();
        const double* stiffness = region.Stiffness.valuePtr();
        const double* mass = region.Mass.valuePtr();
        KU.setZero();
        for (Eigen::Index j = 0; j < n; ++j) {
            const auto uj = U.row(region.Nodes[static_cast<size_t>(j)]);
            for (int q = outer[j]; q < outer[j + 1]; ++q)
                KU.row(inner[q]) += (stiffness[q] + k2 * mass[q]) * uj;
        }
        for (size_t q = 0; q < region.Edges.size(); ++q) {
            const double f = MixedCoefficient(FElements, region.Edges[q], k, FCentre) *
                             FElements.EdgeLength[region.Edges[q]] / 6.0;
            const auto [a, b] = region.EdgeNodes[q];
            const auto ua = U.row(region.Nodes[static_cast<size_t>(a)]), ub = U.row(region.Nodes[static_cast<size_t>(b)]);
            KU.row(a) += f * (2.0 * ua + ub);
            KU.row(b) += f * (ua + 2.0 * ub);
        }
        Work.Values.setZero();
        if (FPoleProducts) {
            // Every source with every source at once (a matrix product),
            // then each datum part from four of the products.
            Work.RegionU.resize(n, sources);
            for (Eigen::Index j = 0; j < n; ++j)
                Work.RegionU.row(j) = U.row(region.Nodes[static_cast<size_t>(j)]);
            Work.Poles.noalias() = Work.RegionU.transpose() * KU;
            for (size_t p = 0; p < FDatumParts.size(); ++p) {
                const TDatumPart& part = FDatumParts[p];
                const double product = DipoleProduct(Work.Poles, FCurrentDipoles[static_cast<size_t>(part.Current)],
                                                     FPotentialDipoles[static_cast<size_t>(part.Potential)]);
                Work.Values[part.Datum] += part.Across == 0.0 ? product : Work.Factors[p] * product;
            }
        }
        for (Eigen::Index first = 0; !FPoleProducts && first < n; first += DipoleRows) {
            const Eigen::Index rows = std::min<Eigen::Index>(DipoleRows, n - first);
            Eigen::Map<Eigen::MatrixXd> Ud(at + n * sources, rows, currents),
                KUd(at + n * sources + rows * currents, rows, voltages);
            // Column by column: a dipole's values lie together for the dot products.
            const double* u[DipoleRows];
            for (Eigen::Index i = 0; i < rows; ++i)
                u[i] = &U(region.Nodes[static_cast<size_t>(first + i)], 0);
            for (Eigen::Index c = 0; c < currents; ++c) {
                double* column = &Ud(0, c);
                for (Eigen::Index i = 0; i < rows; ++i)
                    column[i] = Dipole(u[i], FCurrentDipoles[static_cast<size_t>(c)]);
            }
            for (Eigen::Index v = 0; v < voltages; ++v) {
                double* column = &KUd(0, v);
                const double* ku = &KU(first, 0);
                for (Eigen::Index i = 0; i < rows; ++i)
                    column[i] = Dipole(ku + i * sources, FPotentialDipoles[static_cast<size_t>(v)]);
            }
            for (size_t p = 0; p < FDatumParts.size(); ++p) {
                const TDatumPart& part = FDatumParts[p];
                const double product = Ud.col(part.Current).dot(KUd.col(part.Potential));
                Work.Values[part.Datum] += part.Across == 0.0 ? product : Work.Factors[p] * product;
            }
        }
        for (int j : RegionParameters[r]) {
            const size_t parameter = static_cast<size_t>(j);
            const bool last = ++Work.Seen[parameter] == Visits[parameter];
            if (last && Visits[parameter] == 1) {
                Work.Columns.col(static_cast<Eigen::Index>(Work.Finished.size())) = Conductivity[r] * Work.Values;
            } else {
                auto open = Work.Open.try_emplace(j, Eigen::VectorXd::Zero(data)).first;
                open->second += Conductivity[r] * Work.Values;
                if (!last)
                    continue;
                Work.Columns.col(static_cast<Eigen::Index>(Work.Finished.size())) = open->second;
                Work.Open.erase(open);
            }
            Work.Finished.push_back(j);
            if (Work.Finished.size() == ColumnBatch) {
                if (!Add(Work.Columns, Work.Finished))
                    return false;
                Work.Finished.clear();
            }
        }
    }
    if (!Work.Finished.empty() && !Add(Work.Columns, Work.Finished))
        return false;
    return true;
}

TSensitivityProblem::TTransformed TSensitivityProblem::Wavenumbers(const std::vector<double>& Conductivity,
                                                                   const std::vector<TRegionSet>& Parameters,
                                                                   const TForwardProgress& Progress,
                                                                   int* Threads) const
{
    const size_t count = FWavenumbers.k.size();
    const auto parameters = static_cast<int>(Parameters.size());
    const auto electrodes = static_cast<Eigen::Index>(FMesh.ElectrodeNodes.size());
    const auto data = static_cast<Eigen::Index>(FSurvey.Configurations.size());
    // Fewer threads where fewer fit, a refusal where not even one does.
    const double limit = FOptions.MemoryLimit > 0.0 ? FOptions.MemoryLimit : AvailableMemory();
    const double one = MemoryNeed(parameters, 1);
    if (one > limit)
        throw EForwardError("Not enough memory for the sensitivities of " + std::to_string(electrodes) +
                            " electrodes" + (parameters > 0 ? " and " + std::to_string(parameters) + " parameters" : "") +
                            " (about " + std::to_string(static_cast<long long>(one / 1e6)) + " MB; " +
                            std::to_string(static_cast<long long>(limit / 1e6)) + " MB available).");
    const int asked = FOptions.Threads > 0 ? FOptions.Threads : UsableCores();
    int threads = std::max(1, std::min(asked, static_cast<int>(count)));
    const double reserved = FOptions.MemoryLimit > 0.0 ? 0.0 : ThreadAddressSpace();
    while (threads > 1 && MemoryNeed(parameters, threads) + (threads - 1) * reserved > limit)
        --threads;
    if (Threads)
        *Threads = threads;

    // The parameters of each region (a region twice in a parameter counts
    // twice), and the regions of each.
    std::vector<std::vector<int>> regionParameters(FRegionMatrices.size());
    std::vector<int> visits(Parameters.size(), 0);
    for (size_t j = 0; j < Parameters.size(); ++j)
        for (int r : Parameters[j]) {
            regionParameters[static_cast<size_t>(r)].push_back(static_cast<int>(j));
            ++visits[j];
        }
    const size_t seen = static_cast<size_t>(std::count_if(visits.begin(), visits.end(), [](int v) { return v > 0; }));
    // Per batch of columns, the wavenumbers added to the sum: a wavenumber's
    // batch waits for its predecessor's. The batches hold the same
    // parameters at every wavenumber (the regions come in one order).
    std::vector<size_t> batchesAdded((seen + ColumnBatch - 1) / ColumnBatch, 0);

    // Each wavenumber's part is added to the sums in the order of the
    // wavenumbers (whichever thread computed it), as BackTransform sums:
    // the result does not depend on the threads. The data x parameters sum
    // is added to a batch of finished columns at a time, straight from the
    // thread's work: no thread holds a data x parameters block of its own.
    TTransformed sum;
    sum.Potentials = Eigen::MatrixXd::Zero(electrodes, electrodes);
    sum.Differences = Eigen::MatrixXd::Zero(data, parameters);
    std::mutex lock;
    std::condition_variable turn;
    std::atomic<size_t> next{0};
    size_t added = 0;
    bool stopped = false, abandoned = false;
    RunOnThreads(threads, [&](const std::atomic<bool>& failed) {
        try {
            TSystemFactor factor(*FAnalysis);
            TWorkspace work;
            work.Columns.resize(data, static_cast<Eigen::Index>(std::min(seen, ColumnBatch)));
            for (size_t i = next++; i < count && !failed; i = next++) {
                {
                    std::lock_guard<std::mutex> hold(lock);
                    if (stopped || abandoned)
                        return;
                }
                size_t batch = 0;
                const auto addColumns = [&](const Eigen::MatrixXd& columns, const std::vector<int>& finished) {
                    std::unique_lock<std::mutex> hold(lock);
                    turn.wait(hold, [&] { return batchesAdded[batch] == i || stopped || abandoned; });
                    if (stopped || abandoned)
                        return false;
                    for (size_t c = 0; c < finished.size(); ++c)
                        sum.Differences.col(finished[c]) += FWavenumbers.w[i] * columns.col(static_cast<Eigen::Index>(c));
                    ++batchesAdded[batch++];
                    turn.notify_all();
                    return true;
                };
                if (!Wavenumber(factor, i, Conductivity, regionParameters, visits, work, addColumns))
                    return;
                std::unique_lock<std::mutex> hold(lock);
                turn.wait(hold, [&] { return added == i || stopped || abandoned; });
                if (stopped || abandoned)
                    return;
                sum.Potentials += FWavenumbers.w[i] * work.Potentials;
                ++added;
                turn.notify_all();
                if (Progress && !Progress(static_cast<double>(added) / static_cast<double>(count))) {
                    stopped = true;
                    turn.notify_all();
                }
            }
        } catch (...) {
            {
                std::lock_guard<std::mutex> hold(lock);
                abandoned = true;
            }
            turn.notify_all();
            throw;
        }
    });
    if (stopped)
        throw EForwardCancelled("The forward computation was cancelled.");
    sum.Potentials *= 2.0 / std::numbers::pi;
    sum.Differences *= 2.0 / std::numbers::pi;
    return sum;
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

    TSensitivityResult result;
    TTransformed total = Wavenumbers(conductivity, Parameters, Progress, &result.Threads);
    for (size_t d = 0; d < FSurvey.Configurations.size(); ++d) {
        const double u = Voltage(total.Potentials, FSurvey.Configurations[d]);
        const double rho = FGeometricFactors[d] * u;
        if (!std::isfinite(rho) || u == 0.0)
            throw EForwardError("Datum " + std::to_string(d + 1) +
                                " has no finite value: the computation cannot resolve it.");
        result.Voltages.push_back(u);
        result.Resistivities.push_back(rho);
    }
    // J = 2 D / ΔU, in the back-transformed sums' place.
    result.Jacobian = std::move(total.Differences);
    for (size_t j = 0; j < Parameters.size(); ++j) {
        for (size_t d = 0; d < FSurvey.Configurations.size(); ++d) {
            double& entry = result.Jacobian(static_cast<Eigen::Index>(d), static_cast<Eigen::Index>(j));
            entry = 2.0 * entry / result.Voltages[d];
            if (!std::isfinite(entry))
                throw EForwardError("Datum " + std::to_string(d + 1) +
                                    " has no finite sensitivity: the computation cannot resolve it.");
        }
    }
    return result;
}

} // namespace lp
