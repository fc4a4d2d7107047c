// Boundary editing of the mesh chart: moving, inserting and removing column
// and row boundaries, and making the mesh twice or half as fine. Every
// per-cell table follows each change so the cells keep their values.
#include "section/views/Section2D.h"

#include <cmath>

namespace lp {

namespace {

// Calls Visit on every per-cell table: the layers, the selection, the fixed
// flags, the limits and, when the chart keeps them, the extra tables.
template <typename Visit>
void ForEachCellTable(TTModelSection2d& Chart, Visit&& visit)
{
    for (ararofdoubleM& layer : Chart.Layers)
        visit(layer);
    visit(Chart.Selected);
    visit(Chart.Fixed);
    visit(Chart.Limits);
    if (Chart.HasExtraTables && Chart.ExtraValues.Length() > 0) {
        visit(Chart.ExtraValues);
        visit(Chart.ExtraPairs);
    }
}

// The index i with Bounds[i] < X < Bounds[i + 1]; -1 when X lies outside the
// mesh, on a boundary (a zero-width cell would follow) or is no number.
int SplitIndex(const arofdoubleM& Bounds, double X)
{
    if (!std::isfinite(X))
        return -1;
    for (int i = 0; i + 1 < Bounds.Length(); ++i)
        if (Bounds[i] < X && X < Bounds[i + 1])
            return i;
    return -1;
}

// Boundary I may move to X without reaching either neighbour.
bool MayMoveTo(const arofdoubleM& Bounds, int I, double X)
{
    if (!std::isfinite(X) || I < 0 || I > Bounds.High())
        return false;
    return (I == 0 || X > Bounds[I - 1]) && (I == Bounds.High() || X < Bounds[I + 1]);
}

template <typename T>
void DuplicateColumn(DynArray<DynArray<T>>& Table, int I)
{
    const DynArray<T> copy = Table[I];
    Table.Insert(I + 1, copy);
}

template <typename T>
void DuplicateRow(DynArray<DynArray<T>>& Table, int I)
{
    for (DynArray<T>& column : Table) {
        const T copy = column[I];
        column.Insert(I + 1, copy);
    }
}

template <typename T>
void DeleteRow(DynArray<DynArray<T>>& Table, int K)
{
    for (DynArray<T>& column : Table)
        column.Delete(K);
}

} // namespace

double TTModelSection2d::PointerStoredDepth(double Z) const
{
    if (CurCol < 0 || CurCol > LastCol || CurCol + 1 >= ReliefShift.Length())
        return Z;
    return StoredDepthAt(CurCol, PointerX, Z);
}

// --- Moving ---------------------------------------------------------------------

void TTModelSection2d::FinishBoundaryMove()
{
    Fire(OnChangingGrid);
    CellCount = (LastCol + 1) * (LastRow + 1);
}

bool TTModelSection2d::MoveColBound(int I, double X)
{
    if (!MayMoveTo(ColBounds, I, X))
        return false;
    ColBounds[I] = X;
    RowShifts.clear(); // an edited layout's rows are straight again
    if (HasRelief)
        UpdateReliefShift();
    if (I > 0 && I < LastCol + 1) {
        RedrawColumnsAround(I);
    } else {
        const arofdoubleM bounds = ColBounds;
        SetColBounds(0, &bounds);
        PaintCells();
    }
    FinishBoundaryMove();
    return true;
}

bool TTModelSection2d::MoveRowBound(int J, double Z)
{
    const double depth = PointerStoredDepth(Z);
    if (!MayMoveTo(RowBounds, J, depth))
        return false;
    RowBounds[J] = depth;
    RowShifts.clear(); // an edited layout's rows are straight again
    if (J > 0 && J < LastRow + 1) {
        RedrawRowsAround(J);
    } else {
        const arofdoubleM bounds = RowBounds;
        SetRowBounds(0, &bounds);
        PaintCells();
    }
    FinishBoundaryMove();
    return true;
}

// --- Inserting ------------------------------------------------------------------

void TTModelSection2d::InsertColBound(bool Redraw, double X)
{
    const int i = SplitIndex(ColBounds, X);
    if (i < 0)
        return;
    arofdoubleM bounds = ColBounds;
    bounds.Insert(i + 1, X);
    // A new boundary is never anchored.
    if (i + 1 <= ColAnchored.Length())
        ColAnchored.Insert(i + 1, ByteBool{0});
    ForEachCellTable(*this, [i](auto& table) { DuplicateColumn(table, i); });
    CommitColBounds(bounds, Redraw);
}

void TTModelSection2d::InsertRowBound(bool Redraw, double Z)
{
    const int i = SplitIndex(RowBounds, Z);
    if (i < 0)
        return;
    arofdoubleM bounds = RowBounds;
    bounds.Insert(i + 1, Z);
    ForEachCellTable(*this, [i](auto& table) { DuplicateRow(table, i); });
    CommitRowBounds(bounds, Redraw);
}

void TTModelSection2d::InsertRowBoundAtPointer(bool Redraw, double Z)
{
    // Searching with the stored depth keeps the boundaries strictly ascending
    // after the shift is taken off.
    InsertRowBound(Redraw, PointerStoredDepth(Z));
}

void TTModelSection2d::CommitColBounds(const arofdoubleM& Bounds, bool Redraw)
{
    RowShifts.clear(); // an edited layout's rows are straight again
    SetColBounds(0, &Bounds);
    UpdateReliefShift();
    if (Redraw)
        PaintCells();
    Fire(OnAfterChangingParameter);
}

void TTModelSection2d::CommitRowBounds(const arofdoubleM& Bounds, bool Redraw)
{
    RowShifts.clear(); // an edited layout's rows are straight again
    SetRowBounds(0, &Bounds);
    if (Redraw)
        PaintCells();
    Fire(OnAfterChangingParameter);
}

// --- Removing -------------------------------------------------------------------

void TTModelSection2d::RemoveColBound(int K, bool Redraw)
{
    if (K < 1 || K >= LastCol + 1 || LastCol < 2)
        return;
    for (ararofdoubleM& layer : Layers)
        for (int r = 0; r <= LastRow; ++r)
            layer[K - 1][r] = (layer[K - 1][r] + layer[K][r]) / 2;
    arofdoubleM bounds = ColBounds;
    bounds.Delete(K);
    if (K < ColAnchored.Length())
        ColAnchored.Delete(K);
    ForEachCellTable(*this, [K](auto& table) { table.Delete(K); });
    CommitColBounds(bounds, Redraw);
}

void TTModelSection2d::RemoveRowBound(int K, bool Redraw)
{
    if (K < 1 || K >= LastRow + 1 || LastRow < 2)
        return;
    arofdoubleM bounds = RowBounds;
    bounds.Delete(K);
    for (ararofdoubleM& layer : Layers)
        for (arofdoubleM& column : layer)
            column[K - 1] = (column[K - 1] + column[K]) / 2;
    ForEachCellTable(*this, [K](auto& table) { DeleteRow(table, K); });
    CommitRowBounds(bounds, Redraw);
}

// --- Finer and coarser ----------------------------------------------------------

void TTModelSection2d::ThinColumns()
{
    const arofdoubleM old = ColBounds;
    for (int i = 0; i + 1 < old.Length(); ++i)
        InsertColBound(false, (old[i] + old[i + 1]) / 2);
    UpdateReliefShift();
    PaintCells();
    Fire(OnAfterChangingParameter);
}

void TTModelSection2d::ThinRows()
{
    const arofdoubleM old = RowBounds;
    for (int i = 0; i + 1 < old.Length(); ++i)
        InsertRowBound(false, (old[i] + old[i + 1]) / 2);
    if (HasRelief)
        UpdateReliefShift();
    PaintCells();
    Fire(OnAfterChangingParameter);
}

void TTModelSection2d::ThickenColumns()
{
    // Each removal shifts the later boundaries down one index, so every
    // second boundary of the original mesh goes; an anchored one is passed
    // over and the one after it goes instead.
    for (int i = 0; i <= ColBounds.High(); ++i) {
        if (i < ColAnchored.High() && ColAnchored[i])
            continue;
        RemoveColBound(i, false);
        if (i >= ColBounds.High())
            break;
    }
    UpdateReliefShift();
    PaintCells();
    Fire(OnAfterChangingParameter);
}

void TTModelSection2d::ThickenRows()
{
    for (int i = 1; i <= RowBounds.High(); ++i) {
        RemoveRowBound(i, false);
        if (i >= RowBounds.High())
            break;
    }
    UpdateReliefShift();
    PaintCells();
    Fire(OnAfterChangingParameter);
}

} // namespace lp
