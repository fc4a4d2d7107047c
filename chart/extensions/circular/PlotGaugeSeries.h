#pragma once
// A dial instrument: a circular scale with major and minor ticks and value
// labels, a hand pointing at Value, a centre knob and an optional knob at
// the hand's tip. The series holds one point whose Y value is Value.
//
// The scale's pens, fonts, increment and tick lengths are those of the
// series' vertical axis (the gauge axis), so the axis editor edits them.
// Angles run clockwise from the left: a value's direction a (degrees) is the
// pixel (cx - cos a × rx, cy - sin a × ry), and with the defaults the scale
// runs from the upper left (Minimum) over the top to the upper right
// (Maximum).

#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotPointer.h"

#include <memory>

namespace lp {

class TChartAxis;

class TGaugeSeries : public TCircledSeries {
    Q_OBJECT
public:
    enum THandStyle { hsLine, hsTriangle };
    Q_ENUM(THandStyle)

private:
    Q_PROPERTY(lp::TSeriesPointer* Center READ Center WRITE SetCenter)
    Q_CLASSINFO("default:Circled", "true")
    Q_PROPERTY(lp::TPlotGradient* CircleGradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(lp::TSeriesPointer* EndPoint READ EndPoint WRITE SetEndPoint)
    Q_PROPERTY(bool FullRepaint READ FullRepaint WRITE SetFullRepaint)
    Q_CLASSINFO("default:FullRepaint", "false")
    Q_PROPERTY(int HandDistance READ HandDistance WRITE SetHandDistance)
    Q_CLASSINFO("default:HandDistance", "30")
    Q_PROPERTY(lp::TGaugeSeries::THandStyle HandStyle READ HandStyle WRITE SetHandStyle)
    Q_CLASSINFO("default:HandStyle", "hsLine")
    Q_PROPERTY(bool LabelsInside READ LabelsInside WRITE SetLabelsInside)
    Q_CLASSINFO("default:LabelsInside", "true")
    Q_PROPERTY(double Maximum READ Maximum WRITE SetMaximum)
    Q_CLASSINFO("default:Maximum", "100")
    Q_PROPERTY(double Minimum READ Minimum WRITE SetMinimum)
    Q_CLASSINFO("default:Minimum", "0")
    Q_PROPERTY(int MinorTickDistance READ MinorTickDistance WRITE SetMinorTickDistance)
    Q_CLASSINFO("default:MinorTickDistance", "0")
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(int RotationAngle READ RotationAngle WRITE SetRotationAngle)
    Q_CLASSINFO("default:RotationAngle", "135")
    Q_CLASSINFO("default:ShowInLegend", "false")
    Q_PROPERTY(double TotalAngle READ TotalAngle WRITE SetTotalAngle)
    Q_CLASSINFO("default:TotalAngle", "90")
    Q_PROPERTY(double Value READ Value WRITE SetValue)
    Q_CLASSINFO("default:Value", "0")

public:
    // The hand's two ends in pixels.
    struct THand {
        TPoint Start;
        TPoint End;
    };

    explicit TGaugeSeries(TComponent* AOwner = nullptr);
    ~TGaugeSeries() override;

    QString GetEditorClassName() const override { return QStringLiteral("TGaugeSeriesEditor"); }
    // Gives the knobs the chart; on a chart: ticks 14 and minor ticks 6
    // pixels long, and unless the chart is being read no 3-D, no walls, no
    // frame.
    void SetParentChart(TCustomAxisPanel* Value) override;

    // --- Settings ---

    TSeriesPointer* Center() const { return FCenter.get(); }
    void SetCenter(const TSeriesPointer* Value) { FCenter->Assign(Value); }
    TSeriesPointer* EndPoint() const { return FEndPoint.get(); }
    void SetEndPoint(const TSeriesPointer* Value) { FEndPoint->Assign(Value); }
    // False: the hand is drawn with an inverting (not-xor) pen.
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { SetBooleanProperty(FFullRepaint, Value); }
    int HandDistance() const { return FHandDistance; }
    void SetHandDistance(int Value) { SetIntegerProperty(FHandDistance, Value); }
    THandStyle HandStyle() const { return FHandStyle; }
    void SetHandStyle(THandStyle Value);
    bool LabelsInside() const { return FLabelsInside; }
    void SetLabelsInside(bool Value) { SetBooleanProperty(FLabelsInside, Value); }
    double Maximum() const { return FMaximum; }
    // Stores Value, then pulls Value down to it.
    void SetMaximum(double Value);
    double Minimum() const { return FMinimum; }
    // Stores Value, then lifts Value up to it.
    void SetMinimum(double Value);
    int MinorTickDistance() const { return FMinorTickDistance; }
    void SetMinorTickDistance(int Value) { SetIntegerProperty(FMinorTickDistance, Value); }
    double TotalAngle() const { return FTotalAngle; }
    void SetTotalAngle(double Value) { SetDoubleProperty(FTotalAngle, Value); }
    // The Y value of point 0 (reading an empty series adds a point of 0,
    // except while the series is written: saving changes nothing).
    double Value();
    // Stores a different value as point 0's Y, repaints and fires OnChange.
    void SetValue(double AValue);

    // --- Geometry ---

    // The direction (degrees) of scale value V.
    double ValueAngle(double V) const;
    // The pixel at direction Angle (degrees) on radii (RX, RY).
    TPoint PositionAt(double Angle, double RX, double RY) const;
    // The hand as the last layout of the circle places it.
    THand HandGeometry();
    // 0 when (X, Y) lies within 2 pixels of the hand, else -1.
    int Clicked(int X, int Y) override;

    // --- Series protocol ---

    void DrawAllValues() override;
    // An edited point value becomes Value.
    void NotifyValue(int Event, int ValueIndex) override;
    double MaxYValue() override { return FMaximum; }
    double MinYValue() override { return FMinimum; }
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    int NumSampleValues() const override { return 1; }
    void PrepareForGallery(bool IsEnabled) override;
    void GalleryChanged3D(bool Is3D) override;

    TNotifyEvent OnChange;

private:
    // The step between major ticks: the gauge axis' Increment (its size:
    // a negative one counts the same), 10 when it is 0.
    double MajorStep() const;
    void DrawTicksAndLabels(TChartAxis& Axis, double Step);
    void DrawMinorTicks(TChartAxis& Axis, double Step);
    void DrawScaleArc(TChartAxis& Axis);
    void DrawHand();
    void DrawTickLabel(double V, const TPoint& Inner, double Angle, int FontHeight);

    std::unique_ptr<TSeriesPointer> FCenter;
    std::unique_ptr<TSeriesPointer> FEndPoint;
    bool FFullRepaint = false;
    int FHandDistance = 30;
    THandStyle FHandStyle = hsLine;
    bool FLabelsInside = true;
    double FMaximum = 100;
    double FMinimum = 0;
    int FMinorTickDistance = 0;
    double FTotalAngle = 90;
};

using THandStyle = TGaugeSeries::THandStyle;
inline constexpr THandStyle hsLine = TGaugeSeries::hsLine;
inline constexpr THandStyle hsTriangle = TGaugeSeries::hsTriangle;

// Registers "Gauge" on the "Extended" gallery page; the unregistering undoes
// it.
void RegisterGaugeSeries();
void UnregisterGaugeSeries();

} // namespace lp
