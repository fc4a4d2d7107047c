#pragma once
// Pyramid series of the "Extended" gallery page: the values stacked as the
// slices of one pyramid.
//
//   TChartSeries
//     └─ TPyramidSeries
//
// Slice i runs from the running total below it to the total including it;
// its half-width at a height shrinks linearly from W (SizePercent per cent
// of the horizontal axis, halved) at the base to 0 at the grand total.
// Every pyramid series stands at X = its index in the chart. A series whose
// values sum to 0 has no slices. A value beyond the doubles or NaN draws no
// slice and counts 0; shares that values near the limit of the doubles make
// far larger than the pyramid are drawn held at the axes' pixel limit.

#include "chart/engine/PlotEngine.h"

namespace lp {

class TPyramidSeries : public TChartSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(bool ColorEachPoint READ ColorEachPoint WRITE SetColorEachPoint)
    Q_CLASSINFO("default:ColorEachPoint", "true")
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(int SizePercent READ SizePercent WRITE SetSizePercent)
    Q_CLASSINFO("default:SizePercent", "50")
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)

public:
    explicit TPyramidSeries(TComponent* AOwner = nullptr);

    QString GetEditorClassName() const override { return QStringLiteral("TPyramidSeriesEditor"); }

    int SizePercent() const { return FSizePercent; }
    void SetSizePercent(int Value) { SetIntegerProperty(FSizePercent, Value); }

    // The geometry of slice ValueIndex (see the header); Valid is false
    // without a parent chart or when the values sum to 0.
    struct TSlice {
        bool Valid = false;
        double BelowPercent = 0; // Pb: share of the total above the bottom
        double AbovePercent = 0; // Pa: share of the total above the top
        TRect Rect;              // bottom half-width either side of the centre
        int BottomInset = 0;
        int TopHalfDepth = 0;
        int TopHalfWidth = 0;
    };
    TSlice CalcSlice(int ValueIndex) const;

    // --- Series protocol ---

    // Every slice: the slices do not stand at their X values.
    void CalcFirstLastVisibleIndex() override;
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void DrawValue(int ValueIndex) override;
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    int Clicked(int X, int Y) override;
    bool DrawValuesForward() const override;
    // Both the series' index in the chart.
    double MaxXValue() override { return ChartIndex(); }
    double MinXValue() override { return ChartIndex(); }
    // The sum of the absolute values (held at the largest double).
    double MaxYValue() override;
    double MinYValue() override { return 0; }

private:
    int ChartIndex() const;
    // Y[0] + .. + Y[ValueIndex].
    double RunningTotal(int ValueIndex) const;
    // The shares of the total above the bottom and the top of slice
    // ValueIndex, in per cent; not Valid when the values sum to 0.
    struct TShares {
        bool Valid = false;
        double BelowPercent = 0;
        double AbovePercent = 0;
    };
    TShares CalcShares(int ValueIndex) const;

    int FSizePercent = 50;
};

// "Pyramid" on the "Extended" page.
void RegisterPyramidSeries();
void UnregisterPyramidSeries();

} // namespace lp
