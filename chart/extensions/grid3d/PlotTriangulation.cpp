#include "chart/extensions/grid3d/PlotTriangulation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <utility>

namespace lp {
namespace {

// Relative tolerance of the collinearity and visibility tests.
constexpr double Ratio = 1e-6;
constexpr int MaxImprovementRounds = 100;

using TEdge = std::pair<int, int>;

class TTriangulator {
public:
    TTriangulator(const std::vector<double>& X, const std::vector<double>& Z)
        : FX(&X)
        , FZ(&Z)
        , FCount(static_cast<int>(std::min(X.size(), Z.size())))
    {
    }

    TTriangulation Run();

private:
    double X(int P) const { return (*FX)[static_cast<size_t>(P)]; }
    double Z(int P) const { return (*FZ)[static_cast<size_t>(P)]; }
    double DistanceSquared(int A, int B) const
    {
        const double DX = X(A) - X(B);
        const double DZ = Z(A) - Z(B);
        return DX * DX + DZ * DZ;
    }
    // Point 0 comes last, so that ties resolve as in point order 1..N-1, 0.
    int Rank(int P) const { return P == 0 ? FCount : P; }

    std::vector<int> DistinctPoints() const;
    TEdge ClosestPair(const std::vector<int>& Points) const;
    std::vector<int> InsertionOrder(const std::vector<int>& Points) const;
    void BringNonCollinearThird(std::vector<int>& Order) const;
    void StartWith(int P1, int P2, int P3);
    void AddPoint(int P);
    std::pair<size_t, size_t> VisibleBorder(int P) const;
    void Improve();
    bool ShouldExchange(int P1, int P2, int P3, int P4) const;
    void SetTriangle(int Index, int A, int B, int C);
    int AppendTriangle(int A, int B, int C);
    int TriangleOf(int A, int B) const;
    int OffVertex(int Triangle, int A, int B) const;

    void LinkEdge(int From, int To, int Triangle);
    void UnlinkEdge(int From, int To, int Triangle);

    // The caller's values while ordering, then copies in insertion order, so
    // that the mesh numbers points by insertion and neighbours lie close in
    // memory.
    const std::vector<double>* FX;
    const std::vector<double>* FZ;
    std::vector<double> FOrderedX;
    std::vector<double> FOrderedZ;
    const int FCount;
    std::vector<std::array<int, 3>> FTriangles;
    // Directed border edges, the triangulation on their left.
    std::vector<TEdge> FBorder;
    // Directed edge -> the triangle that has it, kept per starting point as
    // (end, triangle): a point has few edges, so a short scan beats hashing.
    std::vector<std::vector<std::pair<int, int>>> FEdgesFrom;
    // Edges whose two triangles are to be checked for an exchange.
    std::vector<TEdge> FWork;
};

double Side(double U1, double V1, double U2, double V2, double U3, double V3)
{
    return (U1 - U3) * (V2 - V3) - (V1 - V3) * (U2 - U3);
}

std::vector<int> TTriangulator::DistinctPoints() const
{
    std::vector<int> Points;
    Points.reserve(static_cast<size_t>(FCount));
    for (int P = 0; P < FCount; ++P)
        if (std::isfinite(X(P)) && std::isfinite(Z(P)))
            Points.push_back(P);
    std::sort(Points.begin(), Points.end(), [this](int A, int B) {
        if (X(A) != X(B))
            return X(A) < X(B);
        if (Z(A) != Z(B))
            return Z(A) < Z(B);
        return Rank(A) < Rank(B);
    });
    const auto Same = [this](int A, int B) { return X(A) == X(B) && Z(A) == Z(B); };
    Points.erase(std::unique(Points.begin(), Points.end(), Same), Points.end());
    std::sort(Points.begin(), Points.end(), [this](int A, int B) { return Rank(A) < Rank(B); });
    return Points;
}

// The pair at the smallest distance, ties going to the pair earliest in
// point order; a sweep along X keeps the points within reach ordered by Z.
TEdge TTriangulator::ClosestPair(const std::vector<int>& Points) const
{
    std::vector<int> ByX = Points;
    std::sort(ByX.begin(), ByX.end(), [this](int A, int B) { return X(A) < X(B); });
    std::set<std::pair<double, int>> Reach;
    double Best = std::numeric_limits<double>::infinity();
    TEdge Pair { Points[0], Points[1] };
    size_t Oldest = 0;
    for (const int P : ByX) {
        while (Oldest < ByX.size() && ByX[Oldest] != P) {
            const double DX = X(P) - X(ByX[Oldest]);
            if (DX * DX <= Best)
                break;
            Reach.erase({ Z(ByX[Oldest]), ByX[Oldest] });
            ++Oldest;
        }
        const double Half = std::isinf(Best) ? Best : std::sqrt(Best) * (1 + 1e-9);
        for (auto It = Reach.lower_bound({ Z(P) - Half, -1 }); It != Reach.end() && It->first <= Z(P) + Half; ++It) {
            const int Q = It->second;
            const double D = DistanceSquared(P, Q);
            const TEdge Candidate = Rank(P) < Rank(Q) ? TEdge { P, Q } : TEdge { Q, P };
            const bool Earlier = Rank(Candidate.first) < Rank(Pair.first)
                || (Rank(Candidate.first) == Rank(Pair.first) && Rank(Candidate.second) < Rank(Pair.second));
            if (D < Best || (D == Best && Earlier)) {
                Best = D;
                Pair = Candidate;
            }
        }
        Reach.insert({ Z(P), P });
    }
    return Pair;
}

// The closest pair first, then the others by distance from its midpoint
// (ties in point order).
std::vector<int> TTriangulator::InsertionOrder(const std::vector<int>& Points) const
{
    const TEdge Pair = ClosestPair(Points);
    const double MidX = (X(Pair.first) + X(Pair.second)) / 2;
    const double MidZ = (Z(Pair.first) + Z(Pair.second)) / 2;
    std::vector<std::pair<double, int>> Others;
    Others.reserve(Points.size());
    for (const int P : Points)
        if (P != Pair.first && P != Pair.second) {
            const double DX = X(P) - MidX;
            const double DZ = Z(P) - MidZ;
            Others.emplace_back(DX * DX + DZ * DZ, P);
        }
    std::sort(Others.begin(), Others.end(), [this](const auto& A, const auto& B) {
        return A.first != B.first ? A.first < B.first : Rank(A.second) < Rank(B.second);
    });
    std::vector<int> Order { Pair.first, Pair.second };
    Order.reserve(Points.size());
    for (const auto& Other : Others)
        Order.push_back(Other.second);
    return Order;
}

// The first point off the pair's line moves to third place; when all are on
// it, the last point does.
void TTriangulator::BringNonCollinearThird(std::vector<int>& Order) const
{
    const int P1 = Order[0];
    const int P2 = Order[1];
    const double Tolerance = DistanceSquared(P1, P2) * Ratio;
    size_t Third = Order.size() - 1;
    for (size_t I = 2; I < Order.size(); ++I) {
        const int P = Order[I];
        if (std::abs((Z(P) - Z(P1)) * (X(P2) - X(P1)) - (X(P) - X(P1)) * (Z(P2) - Z(P1))) > Tolerance) {
            Third = I;
            break;
        }
    }
    std::rotate(Order.begin() + 2, Order.begin() + static_cast<std::ptrdiff_t>(Third),
        Order.begin() + static_cast<std::ptrdiff_t>(Third) + 1);
}

void TTriangulator::LinkEdge(int From, int To, int Triangle)
{
    auto& Edges = FEdgesFrom.at(static_cast<size_t>(From));
    for (auto& Edge : Edges)
        if (Edge.first == To) {
            Edge.second = Triangle;
            return;
        }
    Edges.emplace_back(To, Triangle);
}

// Only while the edge still names that triangle (degenerate input can give
// one directed edge to two triangles; the later one keeps it).
void TTriangulator::UnlinkEdge(int From, int To, int Triangle)
{
    auto& Edges = FEdgesFrom.at(static_cast<size_t>(From));
    for (auto& Edge : Edges)
        if (Edge.first == To && Edge.second == Triangle) {
            Edge = Edges.back();
            Edges.pop_back();
            return;
        }
}

void TTriangulator::SetTriangle(int Index, int A, int B, int C)
{
    auto& T = FTriangles.at(static_cast<size_t>(Index));
    if (T[0] >= 0)
        for (size_t I = 0; I < 3; ++I)
            UnlinkEdge(T[I], T[(I + 1) % 3], Index);
    T = { A, B, C };
    LinkEdge(A, B, Index);
    LinkEdge(B, C, Index);
    LinkEdge(C, A, Index);
}

int TTriangulator::AppendTriangle(int A, int B, int C)
{
    FTriangles.push_back({ -1, -1, -1 });
    const int Index = static_cast<int>(FTriangles.size()) - 1;
    SetTriangle(Index, A, B, C);
    return Index;
}

// The triangle with the directed edge A -> B, or -1.
int TTriangulator::TriangleOf(int A, int B) const
{
    for (const auto& [To, Triangle] : FEdgesFrom.at(static_cast<size_t>(A)))
        if (To == B)
            return Triangle;
    return -1;
}

int TTriangulator::OffVertex(int Triangle, int A, int B) const
{
    for (const int V : FTriangles.at(static_cast<size_t>(Triangle)))
        if (V != A && V != B)
            return V;
    return -1;
}

void TTriangulator::StartWith(int P1, int P2, int P3)
{
    if (Side(X(P1), Z(P1), X(P2), Z(P2), X(P3), Z(P3)) < 0)
        std::swap(P1, P2);
    AppendTriangle(P1, P2, P3);
    FBorder = { { P1, P2 }, { P2, P3 }, { P3, P1 } };
}

// Rotates the border so that the visible edges run from the returned first
// index to its end; the second value is the border's size.
std::pair<size_t, size_t> TTriangulator::VisibleBorder(int P) const
{
    const size_t Count = FBorder.size();
    double DXMin = X(FBorder[0].first) - X(P);
    double DZMin = Z(FBorder[0].first) - Z(P);
    double DXMax = DXMin;
    double DZMax = DZMin;
    double DsqMin = DXMin * DXMin + DZMin * DZMin;
    double DsqMax = DsqMin;
    double ArMin = DsqMin * Ratio;
    double ArMax = ArMin;
    size_t JMin = 0;
    size_t JMax = 0;
    for (size_t J = 1; J < Count; ++J) {
        const double DX = X(FBorder[J].first) - X(P);
        const double DZ = Z(FBorder[J].first) - Z(P);
        const double Dsq = DX * DX + DZ * DZ;
        const double ArToMin = DZ * DXMin - DX * DZMin;
        if (ArToMin <= ArMin && !(ArToMin >= -ArMin && Dsq >= DsqMin)) {
            JMin = J;
            DXMin = DX;
            DZMin = DZ;
            DsqMin = Dsq;
            ArMin = Dsq * Ratio;
        }
        const double ArToMax = DZ * DXMax - DX * DZMax;
        if (ArToMax >= -ArMax && !(ArToMax <= ArMax && Dsq >= DsqMax)) {
            JMax = J;
            DXMax = DX;
            DZMax = DZ;
            DsqMax = Dsq;
            ArMax = Dsq * Ratio;
        }
    }
    if (JMax < JMin)
        JMax += Count;
    return { JMin, JMax - JMin };
}

void TTriangulator::AddPoint(int P)
{
    const auto [Start, FirstVisible] = VisibleBorder(P);
    std::rotate(FBorder.begin(), FBorder.begin() + static_cast<std::ptrdiff_t>(Start), FBorder.end());
    const std::vector<TEdge> Visible(FBorder.begin() + static_cast<std::ptrdiff_t>(FirstVisible), FBorder.end());
    FWork.clear();
    for (const auto& [A, B] : Visible) {
        const int Old = TriangleOf(A, B);
        const int Added = AppendTriangle(B, A, P);
        if (Old < 0)
            continue;
        const int T = OffVertex(Old, A, B);
        if (T >= 0 && ShouldExchange(P, T, B, A)) {
            SetTriangle(Old, T, A, P);
            SetTriangle(Added, B, T, P);
            FWork.push_back({ A, T });
            FWork.push_back({ T, B });
        }
    }
    FBorder.resize(FirstVisible);
    FBorder.push_back({ Visible.front().first, P });
    FBorder.push_back({ P, Visible.back().second });
    Improve();
}

// Exchange rounds over the work list until no edge changes, at most
// MaxImprovementRounds of them.
void TTriangulator::Improve()
{
    std::vector<TEdge> Next;
    for (int Round = 0; Round < MaxImprovementRounds && !FWork.empty(); ++Round) {
        Next.clear();
        for (const auto& [E1, E2] : FWork) {
            const int Left = TriangleOf(E1, E2);
            const int Right = TriangleOf(E2, E1);
            if (Left < 0 || Right < 0 || Left == Right)
                continue;
            // F1 -> F2 has the later triangle on its right, so that both
            // new triangles come out counter-clockwise.
            const bool LaterOnRight = Right > Left;
            const int Later = std::max(Left, Right);
            const int Earlier = std::min(Left, Right);
            const int F1 = LaterOnRight ? E1 : E2;
            const int F2 = LaterOnRight ? E2 : E1;
            const int T1 = OffVertex(Later, F1, F2);
            const int T2 = OffVertex(Earlier, F1, F2);
            if (T1 < 0 || T2 < 0 || !ShouldExchange(T1, T2, F2, F1))
                continue;
            SetTriangle(Later, T1, T2, F1);
            SetTriangle(Earlier, T2, T1, F2);
            Next.insert(Next.end(), { { F1, T1 }, { T1, F2 }, { F2, T2 }, { T2, F1 } });
        }
        FWork.swap(Next);
    }
}

// Whether the quadrilateral P1, P2, P3, P4 with diagonal P3-P4 gets the
// diagonal P1-P2 instead: when that makes the smallest angle larger.
bool TTriangulator::ShouldExchange(int P1, int P2, int P3, int P4) const
{
    const double X1 = X(P1), Z1 = Z(P1), X2 = X(P2), Z2 = Z(P2);
    const double X3 = X(P3), Z3 = Z(P3), X4 = X(P4), Z4 = Z(P4);
    const double U3 = (Z2 - Z3) * (X1 - X3) - (X2 - X3) * (Z1 - Z3);
    const double U4 = (Z1 - Z4) * (X2 - X4) - (X1 - X4) * (Z2 - Z4);
    if (U3 * U4 <= 0)
        return false;
    const double U1 = (Z3 - Z1) * (X4 - X1) - (X3 - X1) * (Z4 - Z1);
    const double U2 = (Z4 - Z2) * (X3 - X2) - (X4 - X2) * (Z3 - Z2);
    const double A1 = DistanceSquared(P1, P3);
    const double B1 = DistanceSquared(P4, P1);
    const double C1 = DistanceSquared(P3, P4);
    const double A2 = DistanceSquared(P2, P4);
    const double B2 = DistanceSquared(P3, P2);
    const double C3 = DistanceSquared(P2, P1);
    const double S1 = U1 * U1 / (C1 * std::max(A1, B1));
    const double S2 = U2 * U2 / (C1 * std::max(A2, B2));
    const double S3 = U3 * U3 / (C3 * std::max(B2, A1));
    const double S4 = U4 * U4 / (C3 * std::max(B1, A2));
    return std::min(S1, S2) < std::min(S3, S4);
}

TTriangulation TTriangulator::Run()
{
    const std::vector<int> Points = DistinctPoints();
    if (Points.size() < 3)
        return {};
    std::vector<int> Order = InsertionOrder(Points);
    BringNonCollinearThird(Order);
    for (const int P : Order) {
        FOrderedX.push_back(X(P));
        FOrderedZ.push_back(Z(P));
    }
    FX = &FOrderedX;
    FZ = &FOrderedZ;
    const int Count = static_cast<int>(Order.size());
    FTriangles.reserve(2 * Order.size());
    FEdgesFrom.resize(Order.size());
    StartWith(0, 1, 2);
    for (int P = 3; P < Count; ++P)
        AddPoint(P);
    const auto Original = [&Order](int P) { return Order.at(static_cast<size_t>(P)); };
    TTriangulation Result;
    Result.Triangles.reserve(FTriangles.size());
    for (const auto& T : FTriangles)
        Result.Triangles.push_back({ Original(T[0]), Original(T[1]), Original(T[2]) });
    Result.Border.reserve(FBorder.size());
    for (const auto& [A, B] : FBorder)
        Result.Border.push_back({ Original(A), Original(B), TriangleOf(A, B) });
    return Result;
}

} // namespace

TTriangulation Triangulate(const std::vector<double>& X, const std::vector<double>& Z)
{
    return TTriangulator(X, Z).Run();
}

} // namespace lp
