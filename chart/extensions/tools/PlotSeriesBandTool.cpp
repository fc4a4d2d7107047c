#include "chart/extensions/tools/PlotSeriesBandTool.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/engine/PlotRegistry.h"
#include "platform/core/PropertyInfo.h"

#include <algorithm>

namespace lp {

TSeriesBandTool::TSeriesBandTool(TComponent* AOwner)
    : TPlotCustomToolSeries(AOwner),
      FGradient(std::make_unique<TPlotGradient>([this](TPersistent* Sender) { CanvasChanged(Sender); }))
{
    Brush()->SetColor(clWhite);
    Pen()->SetVisible(false);
    Pen()->SetDefaultVisible(false);
    KeepStartAsDefault(*Brush(), {"Color"});
}

TSeriesBandTool::~TSeriesBandTool()
{
    ClearHooks(Series());
    ClearHooks(FSeries2);
}

QString TSeriesBandTool::Description() const
{
    return PlotMsg_SeriesBand;
}

void TSeriesBandTool::SetGradient(const TPlotGradient* Value)
{
    FGradient->Assign(Value);
}

void TSeriesBandTool::SetTransparency(int Value)
{
    SetIntegerProperty(FTransparency, std::clamp(Value, 0, 100));
}

void TSeriesBandTool::SetSeries(TChartSeries* Value)
{
    if (Value == Series())
        return;
    TChartSeries* Old = Series();
    if (Old != FGoing)
        ClearHooks(Old);
    TPlotCustomToolSeries::SetSeries(Value);
    // The old series may also be Series2, whose hooks must stay.
    InstallHooks(FSeries2);
    InstallHooks(Value);
    Repaint();
}

void TSeriesBandTool::SetSeries2(TChartSeries* Value)
{
    if (Value == FSeries2)
        return;
    if (FSeries2 != FGoing)
        ClearHooks(FSeries2);
    SetObserved(FSeries2, Value);
    InstallHooks(Series());
    InstallHooks(Value);
    Repaint();
}

void TSeriesBandTool::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent && (AComponent == Series() || AComponent == FSeries2)) {
        FGoing = AComponent;
        TPlotCustomToolSeries::Notification(AComponent, Operation);
        if (AComponent == FSeries2)
            SetSeries2(nullptr);
        FGoing = nullptr;
        return;
    }
    TPlotCustomToolSeries::Notification(AComponent, Operation);
}

void TSeriesBandTool::InstallHooks(TChartSeries* Target)
{
    if (!Target || Target == FGoing)
        return;
    Target->BeforeDrawValues = [this](QObject* Sender) { SeriesDrawing(Sender, false); };
    Target->AfterDrawValues = [this](QObject* Sender) { SeriesDrawing(Sender, true); };
}

void TSeriesBandTool::ClearHooks(TChartSeries* Target)
{
    if (!Target)
        return;
    Target->BeforeDrawValues = nullptr;
    Target->AfterDrawValues = nullptr;
}

void TSeriesBandTool::ChartEvent(int Event)
{
    TPlotCustomToolSeries::ChartEvent(Event);
    if (Event == cteBeforeDrawSeries) {
        FDrawn1 = false;
        FDrawn2 = false;
    }
}

void TSeriesBandTool::SeriesDrawing(QObject* Sender, bool After)
{
    if (After == FDrawBehindSeries)
        return;
    const bool WasOne = FDrawn1 != FDrawn2;
    if (Sender == Series())
        FDrawn1 = true;
    if (Sender == FSeries2)
        FDrawn2 = true;
    if (After ? (FDrawn1 && FDrawn2) : (FDrawn1 != FDrawn2 && !WasOne))
        DrawBand();
}

TPointArray TSeriesBandTool::BandPoints() const
{
    TChartSeries* First = Series();
    TChartSeries* Second = FSeries2;
    if (!First || !Second)
        return {};
    First->CalcFirstLastVisibleIndex();
    Second->CalcFirstLastVisibleIndex();
    const int F1 = First->FirstVisibleIndex();
    const int L1 = std::min(First->LastVisibleIndex(), First->Count() - 1);
    const int F2 = Second->FirstVisibleIndex();
    const int L2 = std::min(Second->LastVisibleIndex(), Second->Count() - 1);
    if (F1 < 0 || F2 < 0 || L1 < F1 || L2 < F2)
        return {};
    TPointArray Points((L1 - F1 + 1) + (L2 - F2 + 1));
    int K = 0;
    for (int I = F1; I <= L1; ++I)
        Points[K++] = TPoint{First->CalcXPos(I), First->CalcYPos(I)};
    for (int I = L2; I >= F2; --I)
        Points[K++] = TPoint{Second->CalcXPos(I), Second->CalcYPos(I)};
    return Points;
}

void TSeriesBandTool::DrawBand()
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Active() || !Chart || !Series() || !FSeries2)
        return;
    const TPointArray Points = BandPoints();
    if (Points.Length() == 0)
        return;
    TPlotCanvas3D& Canvas = Chart->Canvas();
    const bool Is3D = Chart->View3D();
    const int Z = std::max(Series()->DepthStart(), FSeries2->DepthStart());
    std::unique_ptr<TPlotBlend> Blend;
    if (FTransparency > 0) {
        const TRect Bounds = PolygonBounds(AsSpan(Points), Points.Length());
        Blend = Canvas.BeginBlending(Is3D ? Canvas.RectFromRectZ(Bounds, Z) : Bounds, FTransparency);
    }
    const TRect Plot = Chart->ChartRectangle();
    Canvas.ClipRectangle(Is3D ? Canvas.RectFromRectZ(Plot, Z) : Plot);
    try {
        if (FGradient->Visible() && Chart->CanClip()) {
            FGradient->DrawPolygon(Canvas, Points, Z, Is3D);
            Canvas.Brush()->SetStyle(TBrush::bsClear);
        } else {
            Chart->SetBrushCanvas(Brush()->Color(), *Brush(), clBlack);
        }
        Canvas.AssignVisiblePen(*Pen());
        if (Is3D)
            Canvas.PolygonWithZ(AsSpan(Points), Z);
        else
            Canvas.Polygon(AsSpan(Points), Points.High());
    } catch (...) {
        Canvas.UnClipRectangle();
        if (Blend)
            Canvas.EndBlending(std::move(Blend));
        throw;
    }
    Canvas.UnClipRectangle();
    if (Blend)
        Canvas.EndBlending(std::move(Blend));
}

void RegisterSeriesBandTool()
{
    RegisterPlotTools({PlotClass<TSeriesBandTool>()});
}

void UnregisterSeriesBandTool()
{
    UnRegisterPlotTools({&TSeriesBandTool::staticMetaObject});
}

} // namespace lp
