#pragma once
// Two small series: points with lines dropped to both axes (TMyPointSeries,
// "Line Point") and bars whose tops are joined by a line (TBarJoinSeries,
// "Bar Join").
//
// A bar join runs from the previous bar to this one: between the bars'
// centres for pyramid, ellipse, arrow and cone bars, between their facing
// edges otherwise. The first bar of each paint draws none.

#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotSeries.h"

#include <memory>

namespace lp {

class TMyPointSeries : public TPointSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartPen* LinesPen READ LinesPen WRITE SetLinesPen)

public:
    explicit TMyPointSeries(TComponent* AOwner = nullptr);
    ~TMyPointSeries() override;

    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TLinePointEditor"); }
    // The lines from the vertical axis to the point and down to the
    // horizontal axis, then the pointer.
    void DrawValue(int ValueIndex) override;

    TChartPen* LinesPen() const { return FLinesPen.get(); }
    void SetLinesPen(const TChartPen* Value) { FLinesPen->Assign(Value); }

private:
    std::unique_ptr<TChartPen> FLinesPen;
};

class TBarJoinSeries : public TBarSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartPen* JoinPen READ JoinPen WRITE SetJoinPen)

public:
    explicit TBarJoinSeries(TComponent* AOwner = nullptr);
    ~TBarJoinSeries() override;

    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TBarJoinEditor"); }
    void DoBeforeDrawChart() override;
    void DrawBar(int BarIndex, int StartPos, int EndPos) override;
    int NumSampleValues() const override { return 3; }
    void PrepareForGallery(bool IsEnabled) override;

    TChartPen* JoinPen() const { return FJoinPen.get(); }
    void SetJoinPen(const TChartPen* Value) { FJoinPen->Assign(Value); }

private:
    void DrawJoin(TBarStyle Style);

    std::unique_ptr<TChartPen> FJoinPen;
    TRect FPreviousBar{};
    bool FFirstBar = true;
};

// "Line Point" and "Bar Join" on the "Other" gallery page; the
// unregistering undoes it.
void RegisterLinePointSeries();
void UnregisterLinePointSeries();

} // namespace lp
