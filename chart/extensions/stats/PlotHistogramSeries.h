#pragma once
// Histograms: bars that touch their neighbours, of the "Stats" gallery page.
//
//   TCustomLineSeries
//     └─ THistogramSeries         vertical bars from the axis' base
//          └─ THorizHistogramSeries  the same lying on its side
//
// Each bar starts where the previous one ended: CalcBarBounds stores the
// far edge of every bar it computes and the next bar starts there, so
// adjacent bars share their edge exactly whatever the rounding of the half
// width. CalcBarBounds must therefore be called in drawing order from the
// first displayed index on (drawing and hit tests do). The outline follows
// the stepped top of the whole run; LinesPen optionally separates the bars.

#include "chart/engine/PlotSeries.h"

#include <memory>

namespace lp {

class THistogramSeries : public TCustomLineSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(lp::TChartPen* LinePen READ LinePen WRITE SetLinePen)
    Q_PROPERTY(lp::TChartPen* LinesPen READ LinesPen WRITE SetLinesPen)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)

public:
    explicit THistogramSeries(TComponent* AOwner = nullptr);
    ~THistogramSeries() override;

    // From another histogram: LinesPen, Brush and Transparency; then the
    // series' copy.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("THistogramSeriesEditor"); }

    // Lines between adjacent bars (hidden at first).
    TChartHiddenPen* LinesPen() const { return FLinesPen.get(); }
    void SetLinesPen(const TChartPen* Value) { FLinesPen->Assign(Value); }
    // Per-cent transparency of the fill; ERangeError outside 0 .. 100.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);

    // The bar of point ValueIndex (see the header); empty without bars.
    virtual TRect CalcBarBounds(int ValueIndex);

    // --- Series protocol ---

    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVertMargins(int& TopMargin, int& BottomMargin) override;
    // One more point each way, so the neighbours of the range are drawn.
    void CalcFirstLastVisibleIndex() override;
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    void DrawValue(int ValueIndex) override;
    // The first bar (in drawing order) holding (X, Y), edges included; -1
    // when none.
    int Clicked(int X, int Y) override;

protected:
    // The chart's points per page, else the point count.
    int BarCount() const;
    // Half a bar in pixels along Axis.
    int HalfBar(const TChartAxis* Axis) const;
    int LastDisplayedIndex() const;
    void DrawOutline(int ValueIndex, const TRect& R);
    void DrawSeparator(int ValueIndex, const TRect& R);
    void OutlineLine(int X0, int Y0, int X1, int Y1);

    int FPreviousEdge = 0;

private:
    void FillBar(int ValueIndex, TRect R);

    std::unique_ptr<TChartHiddenPen> FLinesPen;
    int FTransparency = 0;
};

class THorizHistogramSeries : public THistogramSeries {
    Q_OBJECT
public:
    explicit THorizHistogramSeries(TComponent* AOwner = nullptr);
    TRect CalcBarBounds(int ValueIndex) override;
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVertMargins(int& TopMargin, int& BottomMargin) override;
};

} // namespace lp
