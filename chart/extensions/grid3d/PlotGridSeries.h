#pragma once
// The base of the series whose points lie on a grid of columns (X) and rows
// (Z) with one value (Y) per node.
//
//   TCustom3DPaletteSeries
//     └─ TCustom3DGridSeries   grid index (column, row) → point, generation
//                              of a whole grid from OnGetYValue or the
//                              sample surface; only grid series as sources
//
// A regular grid takes the nearest whole numbers of X and Z as column and
// row (halves to even); the smallest lands in column (row) 1. An irregular
// grid makes each distinct value one column (row), in ascending order.
// Columns and rows count from 1; index entries without a point are -1.
//
// The index is rebuilt before each paint and after a copy from another grid
// series; a grid far larger than its points gets a sparse index. It is
// refused (ChartException, the points kept) when it would hold more than
// MaxGridNodes entries.

#include "chart/engine/PlotPaletteSeries.h"

#include <functional>
#include <unordered_map>
#include <vector>

namespace lp {

class TCustom3DGridSeries : public TCustom3DPaletteSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)
public:
    // Supplies the value of node (X, Z) when values are created.
    using TChartSurfaceGetY = std::function<double(TChartSeries* Sender, int X, int Z)>;

    // The largest grid index (columns + 1 by rows + 1 entries).
    static constexpr qint64 MaxGridNodes = 100'000'000;

    explicit TCustom3DGridSeries(TComponent* AOwner = nullptr);

    // From another grid series: NumXValues, NumZValues and IrregularGrid;
    // then the palette series' copy.
    void Assign(const TPersistent* Source) override;
    // The palette hook, then the index from the points.
    void DoBeforeDrawChart() override;
    // The grid size of a grid source first, then the copy, then the index.
    void AddValues(TChartSeries* Source) override;
    // Also leaves the X list unordered and the index all -1 at the current
    // size.
    void Clear() override;
    int NumSampleValues() const override { return FNumXValues; }
    // A NumValues by NumValues grid of the sample surface.
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    // Only another grid series.
    bool IsValidSourceOf(TChartSeries* Source) override;
    // The index at the sizes read (empty when they are beyond the cap).
    void Loaded() override;

    // Replaces the points by a NumX by NumZ grid, row after row, columns
    // ascending within a row; nothing unless CanCreateValues.
    virtual void CreateValues(int NumX, int NumZ);
    // The event's value, else the sample surface while designing or making
    // samples, else 0.
    virtual double GetYValue(int X, int Z);
    using TCustom3DPaletteSeries::GetYValue;
    void RecreateValues() { CreateValues(FNumXValues, FNumZValues); }
    bool CanCreateValues() const;

    // Up to this many nodes, and up to this many per point, the index is an
    // array of every node; beyond, it keeps only the nodes that hold points,
    // so that a sparse grid (date-time X values, scattered points) costs
    // what its points do.
    static constexpr qint64 DenseIndexNodes = 65'536;
    static constexpr qint64 DenseNodesPerPoint = 16;

    // Resizes the index to NumX + 1 by NumZ + 1 entries of -1 (nothing for
    // a negative NumX).
    void InitGridIndex(int NumX, int NumZ);
    // Rebuilds the index from points FirstIndex .. Count - 1 and stores the
    // grid size found (without the setters).
    void FillGridIndex(int FirstIndex = 0);
    // The point at (Column, Row), -1 when none; ERangeError outside the
    // index.
    int GridIndex(int Column, int Row) const;
    int GridColumns() const { return FGridColumns; }
    int GridRows() const { return FGridRows; }

    // Looks up the cell whose near corner is node (X, Z), its far corners
    // XStep and ZStep away: Corner0 .. Corner3 in order, false at the first
    // missing one.
    bool GetCellCorners(int X, int Z);
    int Corner(int Index) const { return FCorners.at(static_cast<size_t>(Index)); }
    int XStep() const { return FXStep; }
    int ZStep() const { return FZStep; }
    void SetSteps(int AXStep, int AZStep)
    {
        FXStep = AXStep;
        FZStep = AZStep;
    }

    bool IrregularGrid() const { return FIrregularGrid; }
    void SetIrregularGrid(bool Value) { SetBooleanProperty(FIrregularGrid, Value); }
    int NumXValues() const { return FNumXValues; }
    // A new size clears the points, then recreates them when it can; a
    // size whose index would be beyond MaxGridNodes is refused
    // (ChartException, nothing changed). While the series is read from a
    // file the size is only kept: the index follows from the points read.
    void SetNumXValues(int Value);
    int NumZValues() const { return FNumZValues; }
    void SetNumZValues(int Value);
    bool CreatingSamples() const { return FCreatingSamples; }
    void SetCreatingSamples(bool Value) { FCreatingSamples = Value; }

    TChartSurfaceGetY OnGetYValue;

private:
    void SetGridSize(int NumX, int NumZ);
    void FillRegularGridIndex(int FirstIndex);
    void FillIrregularGridIndex(int FirstIndex);
    void SetGridEntry(int Column, int Row, int PointIndex);

    bool FIrregularGrid = false;
    int FNumXValues = 10;
    int FNumZValues = 10;
    int FXStep = 1;
    int FZStep = 1;
    std::vector<int> FCorners = {-1, -1, -1, -1};
    bool FCreatingSamples = false;
    // Column-major: entry [column][row] at column * FGridRows + row; a
    // sparse index keeps only the nodes that hold a point, by that entry.
    std::vector<int> FGridIndex;
    std::unordered_map<size_t, int> FHeldNodes;
    bool FSparseIndex = false;
    int FGridColumns = 0;
    int FGridRows = 0;
};

// The sample surface at node (X, Z) of a NumX by NumZ grid.
double GridSampleValue(int X, int Z, int NumX, int NumZ);

} // namespace lp
