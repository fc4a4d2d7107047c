#pragma once
// One 3-D arrow per point, from (X, Y, Z) to (EndX, EndY, EndZ), in the
// palette colour of the point. Heads are drawn on the screen at either tip
// (StartArrow hidden from the start), ArrowWidth pixels back along the
// vector and ArrowHeight pixels to each side.
//
//   TCustom3DPaletteSeries
//     └─ TVector3DSeries      EndXValues "EndX", EndYValues "EndY",
//                             EndZValues "EndZ"
//
// The extents take in the ends, so every arrow fits the axes.

#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotPaletteSeries.h"

#include <memory>
#include <utility>

namespace lp {

class TVector3DSeries : public TCustom3DPaletteSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(int ArrowHeight READ ArrowHeight WRITE SetArrowHeight)
    Q_CLASSINFO("default:ArrowHeight", "4")
    Q_PROPERTY(int ArrowWidth READ ArrowWidth WRITE SetArrowWidth)
    Q_CLASSINFO("default:ArrowWidth", "4")
    Q_PROPERTY(lp::TChartPen* EndArrow READ EndArrow WRITE SetEndArrow)
    Q_PROPERTY(lp::TChartValueList* EndXValues READ EndXValues WRITE SetEndXValues)
    Q_PROPERTY(lp::TChartValueList* EndYValues READ EndYValues WRITE SetEndYValues)
    Q_PROPERTY(lp::TChartValueList* EndZValues READ EndZValues WRITE SetEndZValues)
    Q_PROPERTY(lp::TChartPen* StartArrow READ StartArrow WRITE SetStartArrow)

public:
    explicit TVector3DSeries(TComponent* AOwner = nullptr);
    ~TVector3DSeries() override;

    // From another vector series: the head sizes and pens; then the palette
    // base's copy.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TVectorSeriesEditor"); }

    // Stores the end as the pending values of the end lists, then adds the
    // start through the Z-value base: all six values at one index.
    int AddVector(double X, double Y, double Z, double EndX, double EndY, double EndZ, const QString& Label = {},
                  TColor Color = clPlotColor);

    void DrawValue(int ValueIndex) override;
    double MaxXValue() override;
    double MinXValue() override;
    double MaxYValue() override;
    double MinYValue() override;
    double MaxZValue() override;
    double MinZValue() override;
    // N vectors along a spiral.
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    int NumSampleValues() const override { return 250; }
    // Only another vector series.
    bool IsValidSourceOf(TChartSeries* Source) override;

    // The two side points of a head whose tip is Tip, the vector running at
    // Angle (radians, screen Y up) towards the tip.
    static std::pair<TPoint, TPoint> HeadSides(const TPoint& Tip, double Angle, int Width, int Height);

    int ArrowHeight() const { return FArrowHeight; }
    void SetArrowHeight(int Value) { SetIntegerProperty(FArrowHeight, Value); }
    int ArrowWidth() const { return FArrowWidth; }
    void SetArrowWidth(int Value) { SetIntegerProperty(FArrowWidth, Value); }
    TChartPen* StartArrow() const { return FStartArrow.get(); }
    void SetStartArrow(const TChartPen* Value) { FStartArrow->Assign(Value); }
    TChartPen* EndArrow() const { return FEndArrow.get(); }
    void SetEndArrow(const TChartPen* Value) { FEndArrow->Assign(Value); }
    TChartValueList* EndXValues() const { return FEndXValues; }
    void SetEndXValues(TChartValueList* Value) { SetValueList(FEndXValues, Value); }
    TChartValueList* EndYValues() const { return FEndYValues; }
    void SetEndYValues(TChartValueList* Value) { SetValueList(FEndYValues, Value); }
    TChartValueList* EndZValues() const { return FEndZValues; }
    void SetEndZValues(TChartValueList* Value) { SetValueList(FEndZValues, Value); }

private:
    void DrawHead(const TChartPen& HeadPen, TColor Color, const TPoint& Tip, int TipZ, double Angle);

    int FArrowHeight = 4;
    int FArrowWidth = 4;
    std::unique_ptr<TChartHiddenPen> FStartArrow;
    std::unique_ptr<TChartPen> FEndArrow;
    TChartValueList* FEndXValues = nullptr; // owned by the value lists
    TChartValueList* FEndYValues = nullptr;
    TChartValueList* FEndZValues = nullptr;
};

} // namespace lp
