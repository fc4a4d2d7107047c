#include "chart/engine/PlotImageTool.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotCanvas.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "platform/base/Exception.h"

#include <algorithm>
#include <string>

namespace lp {

namespace {

TRect NormalisedRect(const TRect& R)
{
    return TRect{std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
                 std::max(R.Top, R.Bottom)};
}

// The graphic's pixels mirrored; a transparent graphic keeps leaving out
// the colour it left out before (its bottom-left pixel's, or a bitmap's
// fixed colour), wherever that corner lands.
std::unique_ptr<TBitmap> MirroredCopy(const TGraphic& Graphic, bool MirrorX, bool MirrorY)
{
    auto Result = std::make_unique<TBitmap>();
    Result->SetImage(Graphic.ToImage().mirrored(MirrorX, MirrorY));
    if (Graphic.Transparent() && !Result->Empty()) {
        TColor Key;
        if (const auto* Bitmap = dynamic_cast<const TBitmap*>(&Graphic))
            Key = Bitmap->TransparentColor();
        else
            Key = Result->Canvas().Pixel(MirrorX ? Result->Width() - 1 : 0, MirrorY ? 0 : Result->Height() - 1);
        Result->SetTransparentMode(TBitmap::tmFixed);
        Result->SetTransparentColor(Key);
        Result->SetTransparent(true);
    }
    return Result;
}

} // namespace

TChartImageTool::TChartImageTool(TComponent* AOwner)
    : TPlotCustomToolSeries(AOwner), FPicture(std::make_unique<TPicture>())
{
    FPicture->OnChange = [this](TPicture* Sender) { CanvasChanged(Sender); };
}

TChartImageTool::~TChartImageTool()
{
    // No repaint requests from a picture that goes away with the tool.
    FPicture->OnChange = nullptr;
}

QString TChartImageTool::Description() const
{
    return PlotMsg_GalleryImage;
}

void TChartImageTool::SetPicture(const TPicture* Value)
{
    if (Value == FPicture.get())
        return;
    FPicture->Assign(Value);
}

void TChartImageTool::SetTransparency(int Value)
{
    if (Value < 0 || Value > 100)
        throw ERangeError(FormatText("Transparency %d is outside 0 .. 100", {std::to_string(Value)}));
    SetIntegerProperty(FTransparency, Value);
}

void TChartImageTool::SetSeries(TChartSeries* Value)
{
    TPlotCustomToolSeries::SetSeries(Value);
    Repaint();
}

TRect TChartImageTool::CalcImageRect() const
{
    TRect R{};
    if (TChartSeries* S = Series()) {
        if (!S->GetHorizAxis() || !S->GetVertAxis())
            return R;
        R.Left = S->CalcXPosValue(S->MinXValue());
        R.Right = S->CalcXPosValue(S->MaxXValue());
        if (FReverseHorizontal)
            std::swap(R.Left, R.Right);
        R.Top = S->CalcYPosValue(S->MaxYValue());
        R.Bottom = S->CalcYPosValue(S->MinYValue());
        if (FReverseVertical)
            std::swap(R.Top, R.Bottom);
        return R;
    }
    const TChartAxis* H = GetHorizAxis();
    const TChartAxis* V = GetVertAxis();
    if (!H || !V)
        return R;
    R.Left = H->CalcPosValue(H->Minimum());
    R.Right = H->CalcPosValue(H->Maximum());
    R.Top = V->CalcPosValue(V->Maximum());
    R.Bottom = V->CalcPosValue(V->Minimum());
    return R;
}

void TChartImageTool::ChartEvent(int Event)
{
    TPlotCustomToolSeries::ChartEvent(Event);
    const int DrawAt = DrawInFront() ? cteAfterDrawSeries : cteBeforeDrawSeries;
    if (Event == DrawAt && ParentChart())
        DrawImage();
}

void TChartImageTool::DrawImage()
{
    TCustomAxisPanel* Chart = ParentChart();
    FImageRect = CalcImageRect();
    if (OnBeforeDrawImage)
        OnBeforeDrawImage(this);

    TCanvas3D& Canvas = Chart->Canvas();
    std::unique_ptr<TPlotBlend> Blend;
    if (FTransparency > 0)
        Blend = Canvas.BeginBlending(FImageRect, FTransparency);
    if (Chart->CanClip())
        Canvas.ClipCube(Chart->ChartRectangle(), 0, Chart->Depth3D());
    // The clip and the blend end even when drawing fails.
    try {
        // Devices stretch into the normalised rectangle, so a reversed
        // rectangle draws a mirrored copy of the picture instead.
        const bool MirrorX = FImageRect.Left > FImageRect.Right;
        const bool MirrorY = FImageRect.Top > FImageRect.Bottom;
        const TGraphic* Graphic = FPicture->Graphic();
        std::unique_ptr<TBitmap> Mirrored;
        if (Graphic && !Graphic->Empty() && (MirrorX || MirrorY)) {
            Mirrored = MirroredCopy(*Graphic, MirrorX, MirrorY);
            Graphic = Mirrored.get();
        }
        const TRect R = NormalisedRect(FImageRect);
        const TView3DOptions* Options = Chart->View3DOptions();
        if (Chart->View3D() && Options && !Options->Orthogonal())
            Canvas.StretchDrawWithZ(R, Graphic, Chart->Depth3D());
        else
            Canvas.StretchDraw(Canvas.CalculateRect3D(R, Chart->Depth3D()), Graphic);
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

void TChartImageTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomToolSeries::ChartMouseEvent(Kind, Button, Shift, X, Y);
    if (Kind != cmeDown || !OnImageClick)
        return;
    const TRect& R = FImageRect;
    if (std::min(R.Left, R.Right) < X && X < std::max(R.Left, R.Right) && std::min(R.Top, R.Bottom) < Y &&
        Y < std::max(R.Top, R.Bottom))
        OnImageClick(this, Button, Shift, X, Y);
}

} // namespace lp
