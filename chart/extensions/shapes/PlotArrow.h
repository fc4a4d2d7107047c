#pragma once
// Arrows: each point is an arrow from (X, Y) to (EndX, EndY), its head
// ArrowWidth x ArrowHeight pixels (the pointer's sizes), ArrowPercent the
// head's share of the arrow.

#include "chart/engine/PlotSeries.h"

namespace lp {

class TArrowSeries : public TPointSeries {
    Q_OBJECT
    Q_CLASSINFO("unpublished:XValues", "StartXValues")
    Q_CLASSINFO("unpublished:YValues", "StartYValues")
    Q_PROPERTY(int ArrowPercent READ ArrowPercent WRITE SetArrowPercent)
    Q_CLASSINFO("default:ArrowPercent", "50")
    Q_PROPERTY(lp::TChartValueList* EndXValues READ EndXValues WRITE SetEndXValues)
    Q_PROPERTY(lp::TChartValueList* EndYValues READ EndYValues WRITE SetEndYValues)
    Q_PROPERTY(lp::TChartValueList* StartXValues READ StartXValues WRITE SetStartXValues)
    Q_PROPERTY(lp::TChartValueList* StartYValues READ StartYValues WRITE SetStartYValues)

public:
    explicit TArrowSeries(TComponent* AOwner = nullptr);

    QString GetEditorClassName() const override { return QStringLiteral("TArrowSeriesEditor"); }

    // The arrow from (X0, Y0) to (X1, Y1); the new index.
    int AddArrow(double X0, double Y0, double X1, double Y1, const QString& ALabel = {},
                 TColor AColor = clPlotColor);

    bool SubGalleryPointerStyles() const override { return false; }
    void DrawValue(int ValueIndex) override;
    double MaxXValue() override;
    double MinXValue() override;
    double MaxYValue() override;
    double MinYValue() override;
    // The first arrow passing within the series pen's width of the pixel.
    int Clicked(int X, int Y) override;
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    void PrepareForGallery(bool IsEnabled) override;
    bool IsValidSourceOf(TChartSeries* Source) override;

    // The pointer's sizes: not stored by themselves (the pointer keeps them).
    int ArrowWidth() const;
    void SetArrowWidth(int Value);
    int ArrowHeight() const;
    void SetArrowHeight(int Value);
    int ArrowPercent() const { return FArrowPercent; }
    void SetArrowPercent(int Value) { SetIntegerProperty(FArrowPercent, Value); }
    TChartValueList* StartXValues() const { return XValues(); }
    void SetStartXValues(const TChartValueList* Value) { SetValueList(XValues(), Value); }
    TChartValueList* StartYValues() const { return YValues(); }
    void SetStartYValues(const TChartValueList* Value) { SetValueList(YValues(), Value); }
    TChartValueList* EndXValues() const { return FEndXValues; }
    void SetEndXValues(const TChartValueList* Value) { SetValueList(FEndXValues, Value); }
    TChartValueList* EndYValues() const { return FEndYValues; }
    void SetEndYValues(const TChartValueList* Value) { SetValueList(FEndYValues, Value); }

private:
    TPoint StartPoint(int ValueIndex) const { return {CalcXPos(ValueIndex), CalcYPos(ValueIndex)}; }
    TPoint EndPoint(int ValueIndex) const;

    TChartValueList* FEndXValues = nullptr; // owned by the value lists
    TChartValueList* FEndYValues = nullptr; // owned by the value lists
    int FArrowPercent = 50;
};

// "Arrow" on the "Extended" gallery page; the unregistering undoes it.
void RegisterArrowSeries();
void UnregisterArrowSeries();

} // namespace lp
