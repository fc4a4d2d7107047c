#include "chart/extensions/tools/PlotGridBandTool.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotTitles.h"
#include "chart/extensions/tools/PlotToolSupport.h"

#include <utility>

namespace lp {

// --- TGridBandBrush ------------------------------------------------------------------------------

TGridBandBrush::TGridBandBrush(TGraphicsChangeEvent OnChange)
    : TChartBrush(std::move(OnChange)),
      FGradient(std::make_unique<TPlotGradient>([this](TPersistent*) { Changed(); }))
{
}

TGridBandBrush::~TGridBandBrush()
{
    FGradient->OnChange = nullptr;
}

void TGridBandBrush::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TGridBandBrush*>(Source)) {
        FGradient->Assign(Other->FGradient.get());
        FBackColor = Other->FBackColor;
        FTransparency = Other->FTransparency;
    }
    TChartBrush::Assign(Source);
}

void TGridBandBrush::SetBackColor(TColor Value)
{
    if (FBackColor == Value)
        return;
    FBackColor = Value;
    Changed();
}

void TGridBandBrush::SetGradient(const TPlotGradient* Value)
{
    FGradient->Assign(Value);
}

void TGridBandBrush::SetTransparency(int Value)
{
    CheckTransparency(Value);
    if (FTransparency == Value)
        return;
    FTransparency = Value;
    Changed();
}

// --- TGridBandTool -------------------------------------------------------------------------------

TGridBandTool::TGridBandTool(TComponent* AOwner)
    : TPlotCustomToolAxis(AOwner),
      FBand1(std::make_unique<TGridBandBrush>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); })),
      FBand2(std::make_unique<TGridBandBrush>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); }))
{
}

TGridBandTool::~TGridBandTool()
{
    if (TChartAxis* A = Axis())
        A->OnDrawGrid = nullptr;
    FBand1->OnChange = nullptr;
    FBand2->OnChange = nullptr;
}

QString TGridBandTool::Description() const
{
    return PlotMsg_GridBand;
}

void TGridBandTool::SetAxis(TChartAxis* Value)
{
    if (TChartAxis* Old = Axis())
        Old->OnDrawGrid = nullptr;
    TPlotCustomToolAxis::SetAxis(Value);
    if (Value)
        Value->OnDrawGrid = [this](TChartAxis* Sender) { DrawGrid(Sender); };
}

TColor TGridBandTool::BandBackColor(const TGridBandBrush& Band) const
{
    if (Band.BackColor() != TGridBandBrush::BackWallColor)
        return Band.BackColor();
    if (const auto* Chart = dynamic_cast<const TCustomChart*>(ParentChart()))
        return Chart->BackWall()->Color();
    return ParentChart()->Color();
}

void TGridBandTool::DrawStripe(TCanvas3D& Canvas, const TGridBandBrush& Band, int P1, int P2)
{
    if (Band.Style() == bsClear)
        return;
    if (P1 > P2)
        std::swap(P1, P2);
    const TCustomAxisPanel* Chart = ParentChart();
    const TRect R = Chart->ChartRectangle();
    const TRect Stripe = Axis()->Horizontal() ? TRect{P1, R.Top + 1, P2, R.Bottom}
                                              : TRect{R.Left + 1, P1, R.Right, P2 + 1};
    const bool Is3D = Chart->View3D();
    const int Depth = Chart->Depth3D();
    const TRect Projected = Is3D ? Canvas.CalculateRect3D(Stripe, Depth) : Stripe;
    std::unique_ptr<TPlotBlend> Blend;
    if (Band.Transparency() > 0)
        Blend = Canvas.BeginBlending(Projected, Band.Transparency());
    if (Band.Gradient()->Visible()) {
        Band.Gradient()->Draw(Canvas, Projected);
    } else {
        Canvas.AssignBrushColor(Band, Band.Color(), BandBackColor(Band));
        if (Is3D)
            Canvas.RectangleWithZ(Stripe, Depth);
        else
            Canvas.RectangleRect(Stripe);
    }
    if (Blend)
        Canvas.EndBlending(std::move(Blend));
}

void TGridBandTool::DrawGrid(TChartAxis* Sender)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Active() || !Sender || !Chart || Sender != Axis())
        return;
    const std::vector<int>& Ticks = Sender->TickPositions();
    if (Ticks.size() < 2 || (FBand1->Style() == bsClear && FBand2->Style() == bsClear))
        return;
    TCanvas3D& Canvas = Chart->Canvas();
    Canvas.Pen()->SetStyle(psClear);
    const TGridBandBrush* Current = FBand1.get();
    const auto Alternate = [&] { Current = Current == FBand1.get() ? FBand2.get() : FBand1.get(); };
    const bool Horizontal = Sender->Horizontal();
    const int Start = Sender->StartPixel();
    const int End = Sender->EndPixel();
    // Between the axis' high end and the first tick.
    if (Horizontal ? Ticks.front() < End : Start < Ticks.front()) {
        if (Horizontal)
            DrawStripe(Canvas, *Current, Ticks.front(), End - 1);
        else
            DrawStripe(Canvas, *Current, Start + 1, Ticks.front());
    }
    Alternate();
    // Between the ticks, then between the last tick and the low end; two
    // ticks fill their stripes too, as any other number does.
    for (size_t I = 1; I < Ticks.size(); ++I) {
        DrawStripe(Canvas, *Current, Ticks[I - 1], Ticks[I]);
        Alternate();
    }
    if (Horizontal ? Start < Ticks.back() : Ticks.back() < End)
        DrawStripe(Canvas, *Current, Horizontal ? Start : Ticks.back(), Horizontal ? Ticks.back() : End);
}

} // namespace lp
