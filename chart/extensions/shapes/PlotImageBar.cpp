// The image bar series.

#include "chart/extensions/shapes/PlotImageBar.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/extensions/shapes/PlotImages.h"
#include "platform/core/ClassRegistry.h"

#include <algorithm>

namespace lp {

TImageBarSeries::TImageBarSeries(TComponent* AOwner) : TBarSeries(AOwner), FImage(std::make_unique<TPicture>())
{
    LoadPlotImage(QStringLiteral("PlotMoney"), *FImage);
    FImage->OnChange = [this](TPicture* Sender) { CanvasChanged(Sender); };
}

TImageBarSeries::~TImageBarSeries()
{
    FImage->OnChange = nullptr;
}

void TImageBarSeries::DrawBar(int BarIndex, int StartPos, int EndPos)
{
    TBarSeries::DrawBar(BarIndex, StartPos, EndPos);
    const TGraphic* Graphic = FImage->Graphic();
    TCustomAxisPanel* Chart = ParentChart();
    if (!Graphic || Graphic->Width() <= 0 || !Chart)
        return;
    TRect R = BarBounds();
    // A bar below its origin: its rows of pictures hang down from the top.
    const bool Downwards = CalcYPos(BarIndex) > GetOriginPos(BarIndex);
    if (BarPen()->Visible()) {
        int W = BarPen()->Width();
        if (W > 1 && W % 2 == 0)
            --W;
        R.Left += W;
        R.Top += W;
        if (!Chart->View3D()) {
            --R.Right;
            --R.Bottom;
        }
    }
    TPlotCanvas3D& Canvas = Chart->Canvas();
    if (Chart->View3D() && !Chart->View3DOptions()->Orthogonal()) {
        Canvas.StretchDrawWithZ(R, Graphic, DepthStart());
        return;
    }
    R = Canvas.CalculateRect3D(R, DepthStart());
    if (R.IsEmpty())
        return;
    if (FImageTiled)
        DrawTiled(R, Downwards);
    else
        Canvas.StretchDraw(R, Graphic);
}

void TImageBarSeries::DrawTiled(const TRect& R, bool Downwards)
{
    const TGraphic* Graphic = FImage->Graphic();
    const int RowHeight = Graphic->Height();
    if (RowHeight <= 0)
        return;
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    // Rows beyond what the canvas shows are skipped, so a bar reaching far
    // off the chart costs no more than one that fits.
    const TRect Shown = Canvas.Bounds();
    const int First = std::max(R.Top, Shown.Top - RowHeight);
    const int Last = std::min(R.Bottom, Shown.Bottom + RowHeight);
    if (First >= Last)
        return;
    Canvas.ClipRectangle(R);
    if (Downwards) {
        const int Top = R.Top + (First - R.Top) / RowHeight * RowHeight;
        for (int Y = Top; Y < Last; Y += RowHeight)
            Canvas.StretchDraw({R.Left, Y, R.Right, Y + RowHeight}, Graphic);
    } else {
        const int Bottom = R.Bottom - (R.Bottom - Last) / RowHeight * RowHeight;
        for (int Y = Bottom; Y > First; Y -= RowHeight)
            Canvas.StretchDraw({R.Left, Y - RowHeight, R.Right, Y}, Graphic);
    }
    Canvas.UnClipRectangle();
}

void TImageBarSeries::PrepareForGallery(bool IsEnabled)
{
    TBarSeries::PrepareForGallery(IsEnabled);
    FillSampleValues(2);
    if (ParentChart())
        ParentChart()->View3DOptions()->SetOrthogonal(true);
}

void RegisterImageBarSeries()
{
    RegisterPlotSeries<TImageBarSeries>(&PlotMsg_GalleryImageBar, &PlotMsg_GalleryOther, 1);
}

void UnregisterImageBarSeries()
{
    UnRegisterPlotSeries({&TImageBarSeries::staticMetaObject});
    UnRegisterClass(TPersistent::ClassNameOf(TImageBarSeries::staticMetaObject));
}

} // namespace lp
