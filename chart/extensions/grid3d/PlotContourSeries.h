#pragma once
// A grid series drawn as contour lines: for each level the lines where the
// grid's values equal the level's value, traced cell by cell (four
// triangles around the cell centre, CONREC's case table), joined into
// polylines and drawn flat (X across, Z up) or, in 3-D, in a horizontal
// plane at YPosition (or at each level's own value).
//
//   TCustom3DGridSeries
//     └─ TContourSeries ─owns─> TContourLevels ─> TContourLevel ×N
//                      └owns─> TSmoothPoints (spline smoothing, 2-D)
//
// Automatic levels (NumLevels equal steps from the smallest value) are
// rebuilt before every paint. Giving a level a value or colour from
// outside, or adding or removing one, turns AutomaticLevels off: the levels
// then stay and are stored with the series.
//
// A cell is traced at every level between its smallest and largest corner
// value; user levels need not be sorted.

#include "chart/extensions/grid3d/PlotGridSeries.h"

#include "platform/core/Collections.h"

#include <memory>
#include <vector>

namespace lp {

class TChartPen;
class TContourSeries;

// A traced point in data units (X, Z).
struct TContourPoint {
    double X = 0;
    double Z = 0;
    friend bool operator==(const TContourPoint&, const TContourPoint&) = default;
};
using TContourLine = std::vector<TContourPoint>;

class TContourLevel : public TCollectionItem {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_CLASSINFO("stored:Pen", "HasPen")
    Q_PROPERTY(double UpToValue READ UpToValue WRITE SetUpToValue)

public:
    // Joining turns the series' AutomaticLevels off unless the series
    // makes the level itself.
    explicit TContourLevel(TCollection* Collection);
    ~TContourLevel() override;

    // Color, UpToValue and the pen (or none).
    void Assign(const TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // Created on first read, in the level's colour.
    TChartPen* Pen();
    // nullptr frees the level's own pen (the series pen draws it then).
    void SetPen(const TChartPen* Value);
    Q_INVOKABLE bool HasPen() const { return FPen != nullptr; }
    TChartPen* OwnPen() const { return FPen.get(); }
    double UpToValue() const { return FUpToValue; }
    void SetUpToValue(double Value);

    // The lines of the last tracing.
    const std::vector<TContourLine>& Lines() const { return FLines; }
    std::vector<TContourLine>& MutableLines() { return FLines; }
    TContourSeries* ParentSeries() const;

private:
    // A change from outside: repaint and stop rebuilding the levels.
    void ChangedFromOutside();

    TColor FColor = clBlack;
    std::unique_ptr<TChartPen> FPen;
    double FUpToValue = 0;
    std::vector<TContourLine> FLines;
};

class TContourLevels : public TOwnedCollection {
    Q_OBJECT
public:
    explicit TContourLevels(TContourSeries* AOwner);
    ~TContourLevels() override;
    TContourLevel* Add() { return static_cast<TContourLevel*>(TCollection::Add()); }
    // ERangeError outside 0 .. Count - 1.
    TContourLevel* Items(int Index) const { return static_cast<TContourLevel*>(TCollection::Items(Index)); }
    TContourSeries* Series() const { return FSeries; }

private:
    TContourSeries* FSeries;
};

// Spline smoothing of a series' 2-D lines.
class TSmoothPoints : public TPersistent {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_CLASSINFO("default:Active", "false")
    Q_PROPERTY(bool Interpolate READ Interpolate WRITE SetInterpolate)
    Q_CLASSINFO("default:Interpolate", "false")

public:
    explicit TSmoothPoints(TChartSeries* AOwner) : FOwner(AOwner) {}
    // Active only.
    void Assign(const TPersistent* Source) override;
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    bool Interpolate() const { return FInterpolate; }
    void SetInterpolate(bool Value);
    // Curve points per line point.
    int Factor() const { return FFactor; }
    void SetFactor(int Value);

    // Points smoothed by a B-spline of Factor × n fragments, rounded to
    // pixels; fewer than two points come back unchanged.
    std::vector<TPoint> Smooth(const std::vector<TPoint>& Points) const;

private:
    TChartSeries* FOwner;
    bool FActive = false;
    bool FInterpolate = false;
    int FFactor = 4;
};

class TContourSeries : public TCustom3DGridSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(bool IrregularGrid READ IrregularGrid WRITE SetIrregularGrid)
    Q_CLASSINFO("default:IrregularGrid", "false")
    Q_PROPERTY(bool AutomaticLevels READ AutomaticLevels WRITE SetAutomaticLevels)
    Q_CLASSINFO("default:AutomaticLevels", "true")
    Q_PROPERTY(bool ColorEachPoint READ ColorEachPoint WRITE SetColorEachPoint)
    Q_CLASSINFO("default:ColorEachPoint", "true")
    Q_PROPERTY(lp::TContourLevels* Levels READ Levels WRITE SetLevels)
    Q_CLASSINFO("stored:Levels", "IsLevelsStored")
    Q_PROPERTY(int NumLevels READ NumLevels WRITE SetNumLevels)
    Q_CLASSINFO("default:NumLevels", "10")
    Q_PROPERTY(int NumXValues READ NumXValues WRITE SetNumXValues)
    Q_CLASSINFO("default:NumXValues", "10")
    Q_PROPERTY(int NumZValues READ NumZValues WRITE SetNumZValues)
    Q_CLASSINFO("default:NumZValues", "10")
    Q_PROPERTY(lp::TSmoothPoints* Smoothing READ Smoothing WRITE SetSmoothing)
    Q_PROPERTY(double YPosition READ YPosition WRITE SetYPosition)
    Q_CLASSINFO("default:YPosition", "0")
    Q_PROPERTY(bool YPositionLevel READ YPositionLevel WRITE SetYPositionLevel)
    Q_CLASSINFO("default:YPositionLevel", "false")

public:
    // Two segment ends closer than this (Manhattan) are one point.
    static constexpr double JoinTolerance = 0.001;

    explicit TContourSeries(TComponent* AOwner = nullptr);
    ~TContourSeries() override;

    // From another contour series: AutomaticLevels, Levels, NumLevels,
    // YPosition, YPositionLevel; then the grid base's copy.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TContourSeriesEditor"); }
    // The grid base's hook, then the automatic levels.
    void DoBeforeDrawChart() override;
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    void DrawAllValues() override;
    // One row per level, the highest first.
    int CountLegendItems() override { return FLevels->Count(); }
    // A row outside the levels has the series colour and no text.
    TColor LegendItemColor(int LegendIndex) const override;
    void GetLegendText(int LegendIndex, TLegendTextStyle TextStyle, QString& Text) override;
    // The row of the level the point's value lies in: the highest level at
    // or below the value; -1 (no legend text) below every level.
    int ValueToLegendIndex(int ValueIndex) const override;
    // In a 2-D chart the vertical axis spans the Z values.
    double MaxYValue() override;
    double MinYValue() override;
    // The first level (in level order) with a line through the pixel; -1
    // when none.
    int Clicked(int X, int Y) override;
    // The grid base's samples, then YPosition in the middle of the values.
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    void PrepareForGallery(bool IsEnabled) override;

    // Levels from the smallest value up in NumLevels equal steps.
    void CreateAutoLevels();
    // Traces every level's lines from the grid (the index must be current).
    void CreateLines();
    // Adds segment (A, B) to Lines: onto the end of a line it meets, else
    // as a new line; lines that then meet are merged.
    static void AddSegment(std::vector<TContourLine>& Lines, TContourPoint A, TContourPoint B);

    // The level legend row LegendIndex shows, -1 outside the levels.
    int LegendToLevelIndex(int LegendIndex) const;
    // The highest level at or below Value, -1 when none (or Value is NaN).
    int LevelOfValue(double Value) const;

    bool AutomaticLevels() const { return FAutomaticLevels; }
    void SetAutomaticLevels(bool Value);
    TContourLevels* Levels() const { return FLevels.get(); }
    void SetLevels(const TContourLevels* Value) { FLevels->Assign(Value); }
    Q_INVOKABLE bool IsLevelsStored() const { return !FAutomaticLevels; }
    // The NumLevels setting while automatic, else the number of levels.
    int NumLevels() const { return FAutomaticLevels ? FNumLevels : FLevels->Count(); }
    void SetNumLevels(int Value);
    TSmoothPoints* Smoothing() const { return FSmoothing.get(); }
    void SetSmoothing(const TSmoothPoints* Value) { FSmoothing->Assign(Value); }
    double YPosition() const { return FYPosition; }
    void SetYPosition(double Value) { SetDoubleProperty(FYPosition, Value); }
    bool YPositionLevel() const { return FYPositionLevel; }
    void SetYPositionLevel(bool Value) { SetBooleanProperty(FYPositionLevel, Value); }
    bool CreatingLevels() const { return FCreatingLevels; }

    std::function<void(TContourSeries* Sender, int LevelIndex)> OnBeforeDrawLevel;
    std::function<void(TContourSeries* Sender, int LevelIndex, double& Value, TColor& Color)> OnGetLevel;

private:
    friend class TContourLevel;
    // Clears the levels as the series' own change.
    void ClearLevels();
    // CONREC over one cell at Value, segments into Lines.
    void TraceCell(double Value, std::vector<TContourLine>& Lines) const;
    // The pixel of a traced point: Z on the vertical axis in 2-D, on the
    // depth axis in 3-D (Height the vertical pixel).
    TPoint LinePixel(const TContourPoint& P) const;
    void DrawLevelLines(const TContourLevel& Level, int Height);
    bool Is3D() const;

    bool FAutomaticLevels = true;
    std::unique_ptr<TContourLevels> FLevels;
    int FNumLevels = 10;
    std::unique_ptr<TSmoothPoints> FSmoothing;
    double FYPosition = 0;
    bool FYPositionLevel = false;
    bool FCreatingLevels = false;
};

} // namespace lp
