#include "chart/extensions/tools/PlotLightTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotRegistry.h"
#include "platform/base/Numeric.h"

#include <QtCore/QScopeGuard>

#include <algorithm>
#include <cmath>
#include <memory>

namespace lp {

namespace {

std::unique_ptr<QImage> SharedOutput;

// The darkening curve: distances count in per cent of the picture's
// diagonal, so a small and a large chart darken alike.
struct TLightCurve {
    double Diag = 0;
    double F = 0;
    TLightStyle Style = lsLinear;

    TLightCurve(int Width, int Height, int Factor, TLightStyle AStyle)
        : Diag(100.0 / std::sqrt(double(Width) * Width + double(Height) * Height)), F(Factor * 0.01), Style(AStyle)
    {
    }
    double Darkening(double D) const
    {
        if (Style == lsSpotLight) {
            const double S = (D + 1) * Diag;
            return RoundHalfEven(S * S * F);
        }
        return RoundHalfEven(20 * F * Diag * D);
    }
};

void DarkenRow(const uchar* Source, uchar* Target, int Width, int X, double DY2, const TLightCurve& Curve)
{
    for (int C = 0; C < Width; ++C, Source += 3, Target += 3) {
        const double DX = C - X;
        const double V = Curve.Darkening(std::sqrt(DX * DX + DY2));
        if (V < 1) {
            Target[0] = Source[0];
            Target[1] = Source[1];
            Target[2] = Source[2];
        } else if (V >= 255) {
            Target[0] = Target[1] = Target[2] = 0;
        } else {
            const int Sub = static_cast<int>(V);
            for (int B = 0; B < 3; ++B)
                Target[B] = static_cast<uchar>(Source[B] > Sub ? Source[B] - Sub : 0);
        }
    }
}

// The chart's pixels of this pass: the canvas's buffer or the bitmap it
// draws into; null on a device without pixels.
const QImage* DrawnPixels(TPlotCanvas3D& Canvas)
{
    if (const TBitmap* Buffer = Canvas.OffscreenBitmap())
        return &Buffer->Image();
    return Canvas.GetHandle().Image();
}

} // namespace

int LightDarkening(int Width, int Height, int X, int Y, int C, int R, int Factor, TLightStyle Style)
{
    const double DX = C - X;
    const double DY = R - Y;
    return static_cast<int>(
        std::min(TLightCurve(Width, Height, Factor, Style).Darkening(std::sqrt(DX * DX + DY * DY)), 255.0));
}

void LightPicture(const QImage& Picture, QImage& Output, int X, int Y, int Factor, TLightStyle Style)
{
    const QImage Source = Picture.format() == QImage::Format_RGB888 ? Picture
                                                                     : Picture.convertToFormat(QImage::Format_RGB888);
    const int W = Source.width();
    const int H = Source.height();
    if (Output.size() != Source.size() || Output.format() != QImage::Format_RGB888)
        Output = QImage(W, H, QImage::Format_RGB888);
    if (W == 0 || H == 0)
        return;
    const TLightCurve Curve(W, H, Factor, Style);
    for (int R = 0; R < H; ++R) {
        const double DY = R - Y;
        DarkenRow(Source.constScanLine(R), Output.scanLine(R), W, X, DY * DY, Curve);
    }
}

const QImage& LightOutput()
{
    if (!SharedOutput)
        SharedOutput = std::make_unique<QImage>();
    return *SharedOutput;
}

void FreeLightOutput()
{
    SharedOutput.reset();
}

// --- TLightTool ---------------------------------------------------------------------------------

TLightTool::TLightTool(TComponent* AOwner) : TPlotCustomTool(AOwner) {}

TLightTool::~TLightTool() = default;

QString TLightTool::Description() const
{
    return PlotMsg_Lighting2D;
}

void TLightTool::SetStyle(TLightStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        Repaint();
    }
}

void TLightTool::SetParentChart(TCustomAxisPanel* Value)
{
    TPlotCustomTool::SetParentChart(Value);
    if (Value)
        Repaint();
}

void TLightTool::ChartEvent(int Event)
{
    TPlotCustomTool::ChartEvent(Event);
    if (Event == cteAfterDraw && Active()) {
        FPicture = QImage();
        LightPass();
    }
}

void TLightTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomTool::ChartMouseEvent(Kind, Button, Shift, X, Y);
    if (Kind == cmeMove && Active() && FFollowMouse && ParentChart()) {
        FLeft = X;
        FTop = Y;
        Repaint();
    }
}

void TLightTool::LightPass()
{
    TCustomAxisPanel* Chart = ParentChart();
    // Printed pages stay unlit.
    if (!Chart || FBusy || Chart->Printing())
        return;
    TPlotCanvas3D& Canvas = Chart->Canvas();
    // The light works on drawn pixels: a metafile stays unlit, a bitmap
    // export is lit as the window is.
    if (!Canvas.HoldsPixels())
        return;
    const QImage* Pixels = DrawnPixels(Canvas);
    if (!Pixels || Pixels->isNull())
        return;
    // The pixels of this pass's panel rectangle, which need not start at
    // the picture's corner.
    const TRect Bounds = Chart->PanelBounds();
    const TPoint TopLeft = Canvas.GetHandle().LPtoDP(TPoint{Bounds.Left, Bounds.Top});
    const QRect Area = QRect(TopLeft.X, TopLeft.Y, Bounds.Width(), Bounds.Height()).intersected(Pixels->rect());
    if (Area.isEmpty())
        return;
    FBusy = true;
    const auto NotBusy = qScopeGuard([this] { FBusy = false; });
    FPicture = Pixels->copy(Area).convertToFormat(QImage::Format_RGB888);
    // The light in the copy's pixels: chart pixels count from the panel's
    // corner, which a clipped copy may lie beyond.
    const int X = (FLeft == -1 ? Bounds.Width() / 2 : FLeft) + (TopLeft.X - Area.left());
    const int Y = (FTop == -1 ? Bounds.Height() / 2 : FTop) + (TopLeft.Y - Area.top());
    LightOutput();
    LightPicture(FPicture, *SharedOutput, X, Y, FFactor, FStyle);
    const int Left = Bounds.Left + (Area.left() - TopLeft.X);
    const int Top = Bounds.Top + (Area.top() - TopLeft.Y);
    Canvas.GetHandle().DrawImage(TRect{Left, Top, Left + Area.width(), Top + Area.height()}, *SharedOutput);
}

void RegisterLightTool()
{
    RegisterPlotTools({PlotClass<TLightTool>()});
}

void UnregisterLightTool()
{
    UnRegisterPlotTools({&TLightTool::staticMetaObject});
    FreeLightOutput();
}

} // namespace lp
