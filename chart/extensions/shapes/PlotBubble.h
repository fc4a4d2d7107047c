#pragma once
// Bubbles: each point's pointer is sized by its radius ("Radius", in
// vertical-axis units; horizontal-axis units across when not Squared).
// The vertical range reaches every bubble's edge.
//
// The pointer is sized per point only while a point is drawn or
// hit-tested; its stored sizes stay as they were.

#include "chart/engine/PlotSeries.h"

namespace lp {

class TBubbleSeries : public TPointSeries {
    Q_OBJECT
    Q_CLASSINFO("default:ColorEachPoint", "true")
    Q_PROPERTY(lp::TChartValueList* RadiusValues READ RadiusValues WRITE SetRadiusValues)
    Q_PROPERTY(bool Squared READ Squared WRITE SetSquared)
    Q_CLASSINFO("default:Squared", "true")

public:
    explicit TBubbleSeries(TComponent* AOwner = nullptr);

    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TBubbleSeriesEditor"); }

    // The bubble of ARadius at (AX, AY); the new index.
    int AddBubble(double AX, double AY, double ARadius, const QString& ALabel = {}, TColor AColor = clPlotColor);

    void DrawValue(int ValueIndex) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    int Clicked(int X, int Y) override;
    double MaxYValue() override;
    double MinYValue() override;
    // With a 3-D pointer: the largest radius and its negative.
    double MaxZValue() override;
    double MinZValue() override;
    // Within the bubble's shape (its pointer style) around the point.
    bool ClickedPointer(int ValueIndex, int PX, int PY, int X, int Y) override;
    // The pointer sized to the point's radius.
    void PreparePointer(int ValueIndex) override;
    TPlotGradient* GetFillGradient() const override;
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    void PrepareForGallery(bool IsEnabled) override;
    int NumSampleValues() const override { return 8; }
    bool IsValidSourceOf(TChartSeries* Source) override;

    TChartValueList* RadiusValues() const { return FRadiusValues; }
    void SetRadiusValues(const TChartValueList* Value) { SetValueList(FRadiusValues, Value); }
    bool Squared() const { return FSquared; }
    void SetSquared(bool Value) { SetBooleanProperty(FSquared, Value); }

private:
    TChartValueList* FRadiusValues = nullptr; // owned by the value lists
    bool FSquared = true;
};

// "Bubble" on the "Standard" gallery page; the unregistering undoes it.
void RegisterBubbleSeries();
void UnregisterBubbleSeries();

} // namespace lp
