#pragma once
// Points given by an angle (degrees) and a radius on a circled frame of
// rings, spokes and angle labels, joined into a closed line whose sectors
// may be filled.
//
//   TCircledSeries
//     └─ TCustomPolarSeries      everything: frame, points, sectors, clicks
//          ├─ TPolarSeries       publishes it
//          │    └─ TPolarBarSeries   one line from the centre to each point
//          └─ TRadarSeries       one spoke per point, polygonal rings
//
// The series' horizontal axis is the angle axis (its Increment and grid
// pen give the spokes) and its vertical axis the radius axis (range,
// increment, grid pen, Inverted, Logarithmic give positions and rings).
//
// Paint order: the frame (background, spokes, labels, rings, radial axes)
// is drawn once per chart for all series of one class: the background by
// the first active series of the class before its points, the lines before
// the points when the chart's axes are behind, else by the last active
// series of the class after its points.

#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotPointer.h"

#include <functional>
#include <memory>

namespace lp {

class TChartAxis;

// The degree sign appended to angle labels.
extern const QString PolarDegreeSign;

class TCustomPolarSeries : public TCircledSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(int CircleBackColor READ CircleBackColor WRITE SetCircleBackColor)
    Q_CLASSINFO("default:CircleBackColor", "0x20000000")
    Q_PROPERTY(lp::TPlotGradient* CircleGradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(bool CircleLabels READ CircleLabels WRITE SetCircleLabels)
    Q_CLASSINFO("default:CircleLabels", "false")
    Q_PROPERTY(lp::TPlotFont* CircleLabelsFont READ CircleLabelsFont WRITE SetCircleLabelsFont)
    Q_PROPERTY(bool CircleLabelsRotated READ CircleLabelsRotated WRITE SetCircleLabelsRotated)
    Q_CLASSINFO("default:CircleLabelsRotated", "false")
    Q_PROPERTY(lp::TChartPen* CirclePen READ CirclePen WRITE SetCirclePen)

public:
    explicit TCustomPolarSeries(TComponent* AOwner = nullptr);
    ~TCustomPolarSeries() override;

    // From another polar series: the circle labels and their settings, the
    // circle pen, the margin, the label direction, CloseCircle, the pointer
    // and the transparency; then the circled base's copy.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TPolarSeriesEditor"); }
    // Gives the pointer its chart too.
    void SetParentChart(TCustomAxisPanel* Value) override;

    // --- Settings ---

    bool CircleLabels() const { return FCircleLabels; }
    void SetCircleLabels(bool Value) { SetBooleanProperty(FCircleLabels, Value); }
    TPlotFont* CircleLabelsFont() const { return FCircleLabelsFont.get(); }
    void SetCircleLabelsFont(const TPlotFont* Value) { FCircleLabelsFont->Assign(Value); }
    bool CircleLabelsInside() const { return FCircleLabelsInside; }
    void SetCircleLabelsInside(bool Value) { SetBooleanProperty(FCircleLabelsInside, Value); }
    bool CircleLabelsRotated() const { return FCircleLabelsRotated; }
    void SetCircleLabelsRotated(bool Value) { SetBooleanProperty(FCircleLabelsRotated, Value); }
    TChartPen* CirclePen() const { return FCirclePen.get(); }
    void SetCirclePen(const TChartPen* Value) { FCirclePen->Assign(Value); }
    bool ClockWiseLabels() const { return FClockWiseLabels; }
    void SetClockWiseLabels(bool Value) { SetBooleanProperty(FClockWiseLabels, Value); }
    bool CloseCircle() const { return FCloseCircle; }
    void SetCloseCircle(bool Value) { SetBooleanProperty(FCloseCircle, Value); }
    // Per cent of the radius between the circle and its labels.
    int LabelsMargin() const { return FLabelsMargin; }
    void SetLabelsMargin(int Value) { SetIntegerProperty(FLabelsMargin, Value); }
    TSeriesPointer* Pointer() const { return FPointer.get(); }
    void SetPointer(const TSeriesPointer* Value) { FPointer->Assign(Value); }
    // Per cent, 0 .. 100 (clamped): the filled sectors blend over what lies
    // beneath.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);
    // Sides of the polygonal rings; 0 draws them as ellipses (set by the
    // radar only).
    int PolygonSides() const { return FPolygonSides; }

    // The Increment of the angle axis, 10 when it is 0 or without chart;
    // writing sets that Increment (nothing without chart).
    double AngleIncrement() const;
    void SetAngleIncrement(double Value);
    // The Increment of the radius axis (0 without chart); writing sets it.
    double RadiusIncrement() const;
    void SetRadiusIncrement(double Value);
    TChartValueList* AngleValues() const { return XValues(); }
    void SetAngleValues(const TChartValueList* Value) { SetValueList(XValues(), Value); }
    TChartValueList* RadiusValues() const { return YValues(); }
    void SetRadiusValues(const TChartValueList* Value) { SetValueList(YValues(), Value); }
    // Stored only when it differs from the list the constructor made.
    Q_INVOKABLE bool IsRadiusValuesStored() const;

    // --- Geometry ---

    // The text of the label at spoke Index, angle Angle (degrees).
    virtual QString GetCircleLabel(int Index, double Angle) const;
    // The pixel of point Index (the centre for a radius outside the axis
    // range or an empty range).
    TPoint PointPosition(int Index) const;
    int CalcXPos(int Index) const override { return PointPosition(Index).X; }
    int CalcYPos(int Index) const override { return PointPosition(Index).Y; }
    // The point under (X, Y): its position, its pointer, the sector or the
    // segment joining it to the next point; -1 for none.
    int Clicked(int X, int Y) override;

    // --- Drawing ---

    void DoBeforeDrawValues() override;
    void DoAfterDrawValues() override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    bool DrawValuesForward() const override { return true; }
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    // Also the pen's colour when the brush is clear.
    void SetSeriesColor(TColor Color) override;
    // The gradient fills the polygon of the rings when they are polygonal.
    void DrawCircleGradient() override;
    // The line (and sector) from the last drawn point to (X, Y).
    virtual void DrawValueLine(int ValueIndex, int X, int Y);

    // --- Samples and gallery ---

    // Angles i × 360 / N, random radii 1 .. 1000.
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    void PrepareForGallery(bool IsEnabled) override;
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;

    std::function<TSeriesPointerStyle(TChartSeries* Sender, int ValueIndex)> OnGetPointerStyle;

protected:
    // The share of the circle's radius at which radius Value lies on the
    // radius axis (linear or logarithmic, Inverted honoured); 0, the centre,
    // below the range or for a range without span.
    double RadiusFraction(double Value) const;
    void SetPolygonSides(int Value) { FPolygonSides = Value; }
    // The depth the frame and the points are drawn at.
    int FrameZ() const { return DepthEnd(); }
    // The frame's lines (spokes, labels, rings, radial axes) once per chart.
    void DrawFrameLines();
    void DrawCircleLabel(int Index, double Angle);
    // A ring of radii (RX, RY): an ellipse, or the polygon of the radar.
    void DrawRing(int RX, int RY);
    // The pen for point ValueIndex (the point colour when the pen has none).
    void PreparePen(int ValueIndex);
    // Fills the triangle centre, A, B in the point's colour (nothing with a
    // clear brush), blending with Transparency.
    void FillSector(int ValueIndex, const TPoint& A, const TPoint& B);
    TPoint LastPoint() const { return {FOldX, FOldY}; }
    void SetLastPoint(const TPoint& P)
    {
        FOldX = P.X;
        FOldY = P.Y;
    }
    // The first and the last point drawn (not null) of the visible range;
    // -1 when none.
    int FirstDrawnIndex() const;
    int LastDrawnIndex() const;

private:
    bool IsFirstOfClass() const;
    bool IsLastOfClass() const;
    bool AxesBehind() const;
    void DrawBackground();
    void DrawSpokesAndLabels();
    void DrawRings();
    void DrawRadialAxes();
    bool SectorOrSegmentHolds(const TPoint& P, const TPoint& A, const TPoint& B) const;

    bool FCircleLabels = false;
    std::unique_ptr<TPlotFont> FCircleLabelsFont;
    bool FCircleLabelsInside = false;
    bool FCircleLabelsRotated = false;
    std::unique_ptr<TChartPen> FCirclePen;
    bool FClockWiseLabels = false;
    bool FCloseCircle = true;
    int FLabelsMargin = 3;
    std::unique_ptr<TSeriesPointer> FPointer;
    int FTransparency = 0;
    int FPolygonSides = 0;
    int FOldX = 0;
    int FOldY = 0;
};

class TPolarSeries : public TCustomPolarSeries {
    Q_OBJECT
    Q_PROPERTY(double AngleIncrement READ AngleIncrement WRITE SetAngleIncrement STORED false)
    Q_PROPERTY(lp::TChartValueList* AngleValues READ AngleValues WRITE SetAngleValues)
    Q_PROPERTY(bool CircleLabelsInside READ CircleLabelsInside WRITE SetCircleLabelsInside)
    Q_CLASSINFO("default:CircleLabelsInside", "false")
    Q_PROPERTY(bool ClockWiseLabels READ ClockWiseLabels WRITE SetClockWiseLabels)
    Q_CLASSINFO("default:ClockWiseLabels", "false")
    Q_PROPERTY(bool CloseCircle READ CloseCircle WRITE SetCloseCircle)
    Q_CLASSINFO("default:CloseCircle", "true")
    Q_PROPERTY(int LabelsMargin READ LabelsMargin WRITE SetLabelsMargin)
    Q_CLASSINFO("default:LabelsMargin", "3")
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(lp::TSeriesPointer* Pointer READ Pointer WRITE SetPointer)
    Q_PROPERTY(double RadiusIncrement READ RadiusIncrement WRITE SetRadiusIncrement STORED false)
    Q_PROPERTY(lp::TChartValueList* RadiusValues READ RadiusValues WRITE SetRadiusValues)
    Q_CLASSINFO("stored:RadiusValues", "IsRadiusValuesStored")
    Q_PROPERTY(int RotationAngle READ RotationAngle WRITE SetRotationAngle)
    Q_CLASSINFO("default:RotationAngle", "0")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")

public:
    explicit TPolarSeries(TComponent* AOwner = nullptr) : TCustomPolarSeries(AOwner) {}
};

class TRadarSeries : public TCustomPolarSeries {
    Q_OBJECT
    // The X list: the General tab's Sort sets its order (the spokes follow
    // the points in it) and a data source may fill it, so it is kept with
    // the chart.
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(bool CircleLabelsInside READ CircleLabelsInside WRITE SetCircleLabelsInside)
    Q_CLASSINFO("default:CircleLabelsInside", "false")
    Q_PROPERTY(bool ClockWiseLabels READ ClockWiseLabels WRITE SetClockWiseLabels)
    Q_CLASSINFO("default:ClockWiseLabels", "false")
    Q_PROPERTY(bool CloseCircle READ CloseCircle WRITE SetCloseCircle)
    Q_CLASSINFO("default:CloseCircle", "true")
    Q_PROPERTY(int LabelsMargin READ LabelsMargin WRITE SetLabelsMargin)
    Q_CLASSINFO("default:LabelsMargin", "3")
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(lp::TSeriesPointer* Pointer READ Pointer WRITE SetPointer)
    Q_PROPERTY(double RadiusIncrement READ RadiusIncrement WRITE SetRadiusIncrement STORED false)
    Q_PROPERTY(lp::TChartValueList* RadiusValues READ RadiusValues WRITE SetRadiusValues)
    Q_CLASSINFO("stored:RadiusValues", "IsRadiusValuesStored")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")

public:
    explicit TRadarSeries(TComponent* AOwner = nullptr) : TCustomPolarSeries(AOwner) {}

    // Rotation 90, one ring side per point of the fullest active series of
    // the chart and the spokes 360 / that count apart.
    void DoBeforeDrawChart() override;
    // 360 / the side count × the index (mirrored with ClockWiseLabels); 0
    // without sides.
    double GetXValue(int Index) const override;
    // The point's label, or its index as text.
    QString GetCircleLabel(int Index, double Angle) const override;
    // N random radii 0 .. 999 labelled with five sample names in turn.
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    int NumSampleValues() const override { return 5; }

private:
    // The side count used by the angles: the polygon's, else the own count.
    int SideCount() const;
};

class TPolarBarSeries : public TPolarSeries {
    Q_OBJECT
public:
    explicit TPolarBarSeries(TComponent* AOwner = nullptr) : TPolarSeries(AOwner) {}
    // A line from the centre to (X, Y) in the point's colour; null points
    // are skipped.
    void DrawValueLine(int ValueIndex, int X, int Y) override;
};

// Registers the three on the "Extended" gallery page; the unregistering
// undoes it.
void RegisterPolarSeries();
void UnregisterPolarSeries();

} // namespace lp
