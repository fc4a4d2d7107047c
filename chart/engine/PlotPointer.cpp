#include "chart/engine/PlotPointer.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotCanvas.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotEngine.h"
#include "platform/base/Numeric.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DrawingLimits.h"

#include <QtCore/QHash>

#include <algorithm>
#include <array>

namespace lp {

namespace {

// Checked pixel arithmetic: a result outside 32 bits raises ERangeError.
int Add(int A, int B)
{
    return CheckedInt32(static_cast<int64_t>(A) + B);
}

int Sub(int A, int B)
{
    return CheckedInt32(static_cast<int64_t>(A) - B);
}

// Styles whose symbol has an inside a gradient can fill.
bool HasInside(TSeriesPointerStyle Style)
{
    switch (Style) {
    case psRectangle:
    case psCircle:
    case psTriangle:
    case psDownTriangle:
    case psDiamond:
    case psLeftTriangle:
    case psRightTriangle:
        return true;
    default:
        return false;
    }
}

// The outline polygon of the polygon styles around (X, Y); empty for the
// others. The triangles take the half height as given (negated for the
// down triangle by the caller).
std::vector<TPoint> PolygonOf(TSeriesPointerStyle Style, int X, int Y, int L, int T, int R, int B, int HalfHeight)
{
    switch (Style) {
    case psTriangle:
    case psDownTriangle:
        return {TPoint{L, Add(Y, HalfHeight)}, TPoint{R, Add(Y, HalfHeight)}, TPoint{X, Sub(Y, HalfHeight)}};
    case psLeftTriangle:
        return {TPoint{L, Y}, TPoint{R, T}, TPoint{R, B}};
    case psRightTriangle:
        return {TPoint{R, Y}, TPoint{L, T}, TPoint{L, B}};
    case psDiamond:
        return {TPoint{L, Y}, TPoint{X, T}, TPoint{R, Y}, TPoint{X, B}};
    default:
        return {};
    }
}

} // namespace

// --- TSeriesPointer -----------------------------------------------------------------------------

TSeriesPointer::TSeriesPointer(TChartSeries* AOwner)
    : FSeries(AOwner), FGradient(std::make_unique<TPlotGradient>([this](TPersistent*) { Repaint(); }))
{
    if (AOwner)
        SetParentChart(AOwner->ParentChart());
}

TSeriesPointer::~TSeriesPointer() = default;

void TSeriesPointer::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TSeriesPointer*>(Source)) {
        FDark3D = Other->FDark3D;
        FDraw3D = Other->FDraw3D;
        FGradient->Assign(Other->FGradient.get());
        FHorizSize = Other->FHorizSize;
        FInflateMargins = Other->FInflateMargins;
        FStyle = Other->FStyle;
        FTransparency = Other->FTransparency;
        FVertSize = Other->FVertSize;
    }
    TPlotCustomShapeBrushPen::Assign(Source);
}

void TSeriesPointer::SetDark3D(bool Value)
{
    if (FDark3D != Value) {
        FDark3D = Value;
        Repaint();
    }
}

void TSeriesPointer::SetDraw3D(bool Value)
{
    if (FDraw3D != Value) {
        FDraw3D = Value;
        Repaint();
    }
}

void TSeriesPointer::SetGradient(const TPlotGradient* Value)
{
    if (Value) {
        FGradient->Assign(Value);
        Repaint();
    }
}

int TSeriesPointer::CheckedSize(int Value)
{
    if (Value < 1)
        throw ChartException(PlotMsg_PointerSize);
    return std::min(Value, MaxPixelLength);
}

void TSeriesPointer::SetHorizSize(int Value)
{
    Value = CheckedSize(Value);
    if (FHorizSize != Value) {
        FHorizSize = Value;
        Repaint();
    }
}

void TSeriesPointer::SetVertSize(int Value)
{
    Value = CheckedSize(Value);
    if (FVertSize != Value) {
        FVertSize = Value;
        Repaint();
    }
}

void TSeriesPointer::SetInflateMargins(bool Value)
{
    if (FInflateMargins != Value) {
        FInflateMargins = Value;
        Repaint();
    }
}

void TSeriesPointer::SetStyle(TSeriesPointerStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        Repaint();
    }
}

void TSeriesPointer::SetTransparency(int Value)
{
    if (Value < 0 || Value > 100)
        throw ERangeError(FormatText("Transparency %d is outside 0 .. 100", {std::to_string(Value)}));
    if (FTransparency != Value) {
        FTransparency = Value;
        Repaint();
    }
}

void TSeriesPointer::CalcHorizMargins(int& LeftMargin, int& RightMargin) const
{
    if (Visible() && FInflateMargins) {
        const int Size = Add(FHorizSize, 1);
        LeftMargin = std::max(LeftMargin, Size);
        RightMargin = std::max(RightMargin, Size);
    }
}

void TSeriesPointer::CalcVertMargins(int& TopMargin, int& BottomMargin) const
{
    if (Visible() && FInflateMargins) {
        const int Size = Add(FVertSize, 1);
        TopMargin = std::max(TopMargin, Size);
        BottomMargin = std::max(BottomMargin, Size);
    }
}

void TSeriesPointer::PrepareCanvas(TCanvas3D& Canvas, TColor AColor) const
{
    const TChartPen& P = *Pen();
    if (!P.Visible())
        Canvas.Pen()->SetStyle(psClear);
    else if (P.Color() == clPlotColor)
        Canvas.AssignVisiblePenColor(P, AColor);
    else
        Canvas.AssignVisiblePen(P);
    TColor Fill = Brush()->Color();
    if (Fill == clPlotColor)
        Fill = Brush()->Style() == bsSolid ? AColor : clBlack;
    Canvas.AssignBrushColor(*Brush(), Fill, AColor);
}

void TSeriesPointer::PrepareCanvas() const
{
    if (TCustomPlotPanel* Chart = ParentChart())
        PrepareCanvas(Chart->Canvas(), Color());
}

void TSeriesPointer::DrawPointer(TCanvas3D& Canvas, bool Is3D, int X, int Y, int HalfWidth, int HalfHeight,
                                 TColor AColor, TSeriesPointerStyle AStyle)
{
    if (AStyle == psNothing)
        return;
    const int L = Sub(X, HalfWidth);
    const int R = Add(X, HalfWidth);
    const int T = Sub(Y, HalfHeight);
    const int B = Add(Y, HalfHeight);
    const TChartSeries* Series = FSeries.data();
    const int StartZ = Series ? Series->DepthStart() : 0;
    const int MiddleZ = Series ? Series->DepthMiddle() : 0;
    const int EndZ = Series ? Series->DepthEnd() : 0;

    std::unique_ptr<TPlotBlend> Blend;
    if (FTransparency > 0) {
        TRect Area{L, T, Add(R, 1), Add(B, 1)};
        if (Is3D && AStyle == psRectangle && FDraw3D && Canvas.IsOrthogonal()) {
            // The cube's depth reaches up and to the right of its front.
            const int Depth = Sub(EndZ, StartZ);
            Area.Right = Add(Area.Right, Depth);
            Area.Top = Sub(Area.Top, Depth);
        }
        if (Is3D)
            Area = Canvas.CalculateRect3D(Area, StartZ);
        Blend = Canvas.BeginBlending(NormalizeRect(Area), FTransparency);
    }
    // The blend must end even when drawing fails, or the captured pixels
    // would never be put back.
    try {
        const auto Lines = [&](bool Straight, bool Diagonal) {
            if (Straight) {
                if (Is3D) {
                    Canvas.VertLine3D(X, T, Add(B, 1), StartZ);
                    Canvas.HorizLine3D(L, Add(R, 1), Y, StartZ);
                } else {
                    Canvas.VertLine(X, T, Add(B, 1));
                    Canvas.HorizLine(L, Add(R, 1), Y);
                }
            }
            if (Diagonal) {
                if (Is3D) {
                    Canvas.LineWithZ(L, T, Add(R, 1), Add(B, 1), StartZ);
                    Canvas.LineWithZ(R, T, Sub(L, 1), Add(B, 1), StartZ);
                } else {
                    Canvas.Line(L, T, Add(R, 1), Add(B, 1));
                    Canvas.Line(R, T, Sub(L, 1), Add(B, 1));
                }
            }
        };
        switch (AStyle) {
        case psRectangle:
            if (!Is3D)
                Canvas.Rectangle(L, T, Add(R, 1), Add(B, 1));
            else if (FDraw3D)
                Canvas.Cube(L, R, T, B, StartZ, EndZ, FDark3D);
            else
                Canvas.RectangleWithZ(TRect{L, T, Add(R, 1), Add(B, 1)}, StartZ);
            break;
        case psCircle:
            if (!Is3D)
                Canvas.Ellipse(L, T, R, B);
            else if (FDraw3D && Canvas.SupportsFullRotation())
                Canvas.CircleWithZ(X, Y, HalfWidth, MiddleZ);
            else
                Canvas.EllipseWithZ(L, T, R, B, StartZ);
            break;
        case psTriangle:
        case psDownTriangle: {
            const int Half = AStyle == psTriangle ? HalfHeight : -HalfHeight;
            if (Is3D && FDraw3D) {
                // Base at the bottom (Y + Half), apex at Y - Half.
                Canvas.Pyramid(true, L, Sub(Y, Half), R, Add(Y, Half), StartZ, EndZ, FDark3D);
                break;
            }
            const std::vector<TPoint> P = PolygonOf(AStyle, X, Y, L, T, R, B, Half);
            if (Is3D)
                Canvas.PolygonWithZ(P, StartZ);
            else
                Canvas.Polygon(P, static_cast<int>(P.size()) - 1);
            break;
        }
        case psLeftTriangle:
        case psRightTriangle:
        case psDiamond: {
            const std::vector<TPoint> P = PolygonOf(AStyle, X, Y, L, T, R, B, HalfHeight);
            if (Is3D)
                Canvas.PolygonWithZ(P, StartZ);
            else
                Canvas.Polygon(P, static_cast<int>(P.size()) - 1);
            break;
        }
        case psCross:
            Lines(true, false);
            break;
        case psDiagCross:
            Lines(false, true);
            break;
        case psStar:
            Lines(true, true);
            break;
        case psSmallDot:
            if (Is3D)
                Canvas.SetPixel3D(X, Y, MiddleZ, Canvas.Brush()->Color());
            else
                Canvas.SetPixel(X, Y, Canvas.Brush()->Color());
            break;
        case psNothing:
            break;
        }
        if (FGradient->Visible() && HasInside(AStyle))
            FillGradient(Canvas, Is3D, X, Y, L, T, R, B, AColor, AStyle);
    } catch (...) {
        if (Blend)
            Canvas.EndBlending(std::move(Blend));
        throw;
    }
    if (Blend)
        Canvas.EndBlending(std::move(Blend));
}

void TSeriesPointer::FillGradient(TCanvas3D& Canvas, bool Is3D, int X, int Y, int L, int T, int R, int B,
                                  TColor AColor, TSeriesPointerStyle AStyle)
{
    const int StartZ = FSeries ? FSeries->DepthStart() : 0;
    // The gradient ends in the point's colour unless it has an end colour of
    // its own; the point's colour is drawn with, never stored in the
    // gradient, so the setting a file holds is the one it reads back.
    TPlotGradient* Drawn = FGradient.get();
    TPlotGradient PointColoured;
    if (!FUseGradientEndColor) {
        PointColoured.Assign(FGradient.get());
        PointColoured.SetEndColor(AColor);
        Drawn = &PointColoured;
    }
    // Inside the pen, so the outline stays visible.
    const int PenWidth = Pen()->Visible() ? Pen()->Width() : 0;
    const TRect Flat{Add(L, PenWidth), Add(T, PenWidth), Sub(Add(R, 1), PenWidth), Sub(Add(B, 1), PenWidth)};
    const TRect Inside = NormalizeRect(Is3D ? Canvas.CalculateRect3D(Flat, StartZ) : Flat);
    switch (AStyle) {
    case psRectangle:
        Canvas.ClipRectangle(Inside);
        break;
    case psCircle:
        // In 3-D the ellipse the circle was drawn as: a rotated view turns
        // it, and the ellipse of the projected corners would stick out.
        if (Is3D)
            Canvas.ClipEllipseWithZ({Add(L, PenWidth), Add(T, PenWidth), Sub(R, PenWidth), Sub(B, PenWidth)}, StartZ);
        else
            Canvas.ClipEllipse(Inside, false);
        break;
    default: {
        const int Half = AStyle == psDownTriangle ? -(B - Y) : B - Y;
        std::vector<TPoint> P = PolygonOf(AStyle, X, Y, L, T, R, B, Half);
        if (Is3D)
            for (TPoint& Point : P)
                Point = Canvas.Calculate3DPoint(Point, StartZ);
        Canvas.ClipPolygon(P, static_cast<int>(P.size()));
        break;
    }
    }
    try {
        Drawn->Draw(Canvas, Inside);
    } catch (...) {
        Canvas.UnClipRectangle();
        throw;
    }
    Canvas.UnClipRectangle();
}

void TSeriesPointer::Draw(int X, int Y)
{
    DrawWithStyle(X, Y, FStyle, Color());
}

void TSeriesPointer::DrawWithStyle(int X, int Y, TSeriesPointerStyle AStyle, TColor AColor)
{
    TCustomPlotPanel* Chart = ParentChart();
    if (!Chart)
        return;
    DrawPointer(Chart->Canvas(), Chart->View3D(), X, Y, FHorizSize, FVertSize, AColor, AStyle);
}

void TSeriesPointer::DrawLegendShape(TCanvas3D& Canvas, TColor AColor, const TRect& Rect, bool PenDrawn)
{
    int CX = 0;
    int CY = 0;
    RectCenter(Rect, CX, CY);
    int Width = 0;
    int Height = 0;
    RectSize(NormalizeRect(Rect), Width, Height);
    int HalfWidth;
    int HalfHeight;
    if (PenDrawn) {
        HalfWidth = std::min(FHorizSize, Width / 3);
        HalfHeight = std::min(FVertSize, Height / 3);
    } else {
        HalfWidth = Width / 2 + 1;
        HalfHeight = Height / 2 + 1;
    }
    PrepareCanvas(Canvas, AColor);
    DrawPointer(Canvas, false, CX, CY, HalfWidth, HalfHeight, AColor, FStyle);
}

// --- TCallout -----------------------------------------------------------------------------------

TCallout::TCallout(TChartSeries* AOwner)
    : TSeriesPointer(AOwner), FArrow(std::make_unique<TWhitePen>([this](TGraphicsObject*) { Repaint(); }))
{
    SetInflateMargins(true);
    SetStyle(psRectangle);
    SetVisible(true);
    SetDraw3D(false);
    SetColor(clBlack);
    KeepStartAsDefault(*Brush(), {"Color"});
}

TCallout::~TCallout() = default;

void TCallout::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TCallout*>(Source)) {
        FDistance = Other->FDistance;
        FArrow->Assign(Other->FArrow.get());
        FArrowHead = Other->FArrowHead;
        FArrowHeadSize = Other->FArrowHeadSize;
    }
    TSeriesPointer::Assign(Source);
}

void TCallout::SetArrowHead(TArrowHeadStyle Value)
{
    if (FArrowHead != Value) {
        FArrowHead = Value;
        Repaint();
    }
}

void TCallout::SetArrowHeadSize(int Value)
{
    Value = ClampPixelLength(Value);
    if (FArrowHeadSize != Value) {
        FArrowHeadSize = Value;
        Repaint();
    }
}

void TCallout::SetDistance(int Value)
{
    Value = ClampPixelLength(Value);
    if (FDistance != Value) {
        FDistance = Value;
        Repaint();
    }
}

void TCallout::Draw(TColor AColor, const TPoint& From, int Z, const TPoint& To)
{
    TCustomPlotPanel* Chart = ParentChart();
    if (!Chart)
        return;
    TCanvas3D& Canvas = Chart->Canvas();
    const bool Is3D = Chart->View3D();
    if (FArrow->Visible()) {
        const TColor LineColor = FArrow->Color() == clPlotColor ? AColor : FArrow->Color();
        Canvas.AssignVisiblePenColor(*FArrow, LineColor);
        if (FArrowHead == ahSolid) {
            // The head is filled in the line's colour.
            Canvas.Brush()->SetStyle(bsSolid);
            Canvas.Brush()->SetColor(LineColor);
        } else {
            Canvas.Brush()->SetStyle(bsClear);
        }
        switch (FArrowHead) {
        case ahLine:
            Canvas.Arrow(false, From, To, FArrowHeadSize, FArrowHeadSize, Z, 50.0);
            break;
        case ahSolid:
            Canvas.Arrow(true, From, To, FArrowHeadSize, FArrowHeadSize, Z, 50.0);
            break;
        case ahNone:
            if (Is3D)
                Canvas.LineWithZ(From.X, From.Y, To.X, To.Y, Z);
            else
                Canvas.Line(From.X, From.Y, To.X, To.Y);
            break;
        }
    }
    if (FArrowHead == ahNone && Visible()) {
        const TPoint At = Is3D ? Canvas.Calculate3DPoint(From, Z) : From;
        const TColor Own = Color() == clPlotColor ? AColor : Color();
        PrepareCanvas(Canvas, AColor);
        DrawPointer(Canvas, false, At.X, At.Y, HorizSize(), VertSize(), Own, Style());
    }
}

// --- TMarksCallout ------------------------------------------------------------------------------

TMarksCallout::TMarksCallout(TChartSeries* AOwner) : TCallout(AOwner)
{
    SetVisible(false);
    Arrow()->SetColor(clWhite);
}

void TMarksCallout::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TMarksCallout*>(Source))
        FLength = Other->FLength;
    TCallout::Assign(Source);
}

void TMarksCallout::SetLength(int Value)
{
    Value = ClampPixelLength(Value);
    if (FLength != Value) {
        FLength = Value;
        Repaint();
    }
}

// --- Class icons --------------------------------------------------------------------------------

namespace {

using TIconPainter = void (*)(TCanvas& C);

void Solid(TCanvas& C, TColor Pen, TColor Fill)
{
    C.Pen().SetStyle(TPen::psSolid);
    C.Pen().SetWidth(1);
    C.Pen().SetColor(Pen);
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Fill);
}

// Two axes in the lower-left corner, the frame of most chart icons.
void Axes(TCanvas& C)
{
    Solid(C, clGray, clGray);
    C.MoveTo(1, 1);
    C.LineTo(1, 14);
    C.LineTo(15, 14);
}

void PaintLine(TCanvas& C)
{
    Axes(C);
    Solid(C, clRed, clRed);
    C.Pen().SetWidth(2);
    C.Polyline({TPoint{3, 11}, TPoint{6, 6}, TPoint{9, 9}, TPoint{13, 3}});
}

void PaintHorizLine(TCanvas& C)
{
    Axes(C);
    Solid(C, clRed, clRed);
    C.Pen().SetWidth(2);
    C.Polyline({TPoint{4, 12}, TPoint{10, 9}, TPoint{6, 6}, TPoint{12, 3}});
}

void PaintPoints(TCanvas& C)
{
    Axes(C);
    Solid(C, clNavy, clBlue);
    for (const TPoint& P : {TPoint{4, 10}, TPoint{7, 5}, TPoint{10, 8}, TPoint{12, 3}})
        C.Rectangle(P.X - 1, P.Y - 1, P.X + 2, P.Y + 2);
}

void PaintArea(TCanvas& C)
{
    Axes(C);
    Solid(C, clGreen, clLime);
    C.Polygon({TPoint{2, 13}, TPoint{2, 9}, TPoint{6, 5}, TPoint{10, 8}, TPoint{14, 3}, TPoint{14, 13}});
}

void PaintBars(TCanvas& C)
{
    Axes(C);
    Solid(C, clMaroon, clRed);
    C.Rectangle(3, 8, 6, 14);
    Solid(C, clNavy, clBlue);
    C.Rectangle(7, 3, 10, 14);
    Solid(C, clGreen, clLime);
    C.Rectangle(11, 6, 14, 14);
}

void PaintHorizBars(TCanvas& C)
{
    Axes(C);
    Solid(C, clMaroon, clRed);
    C.Rectangle(2, 2, 9, 5);
    Solid(C, clNavy, clBlue);
    C.Rectangle(2, 6, 14, 9);
    Solid(C, clGreen, clLime);
    C.Rectangle(2, 10, 11, 13);
}

void PaintPie(TCanvas& C)
{
    Solid(C, clBlack, clYellow);
    C.Ellipse(1, 1, 15, 15);
    Solid(C, clBlack, clRed);
    C.Polygon({TPoint{8, 8}, TPoint{8, 1}, TPoint{12, 2}, TPoint{14, 5}, TPoint{14, 8}});
}

void PaintSeries(TCanvas& C)
{
    Axes(C);
    Solid(C, clBlue, clBlue);
    C.Polyline({TPoint{3, 12}, TPoint{7, 8}, TPoint{10, 10}, TPoint{14, 4}});
}

void PaintFunction(TCanvas& C)
{
    Axes(C);
    Solid(C, clTeal, clTeal);
    C.Pen().SetWidth(2);
    C.Polyline({TPoint{3, 4}, TPoint{5, 9}, TPoint{7, 12}, TPoint{10, 11}, TPoint{14, 5}});
}

void PaintTool(TCanvas& C)
{
    Solid(C, clNavy, clSilver);
    C.Ellipse(3, 3, 13, 13);
    C.MoveTo(8, 0);
    C.LineTo(8, 16);
    C.MoveTo(0, 8);
    C.LineTo(16, 8);
}

void PaintGeneric(TCanvas& C)
{
    Solid(C, clGray, clWhite);
    C.Rectangle(1, 1, 15, 15);
    Solid(C, clGray, clSilver);
    C.Rectangle(3, 3, 13, 6);
    C.Rectangle(3, 8, 13, 11);
}

const QHash<QString, TIconPainter>& IconPainters()
{
    static const QHash<QString, TIconPainter> Painters{
        {QStringLiteral("TLineSeries"), PaintLine},
        {QStringLiteral("TFastLineSeries"), PaintLine},
        {QStringLiteral("THorizLineSeries"), PaintHorizLine},
        {QStringLiteral("TPointSeries"), PaintPoints},
        {QStringLiteral("TAreaSeries"), PaintArea},
        {QStringLiteral("THorizAreaSeries"), PaintArea},
        {QStringLiteral("TBarSeries"), PaintBars},
        {QStringLiteral("THorizBarSeries"), PaintHorizBars},
        {QStringLiteral("TPieSeries"), PaintPie},
        {QStringLiteral("TChartSeries"), PaintSeries},
        {QStringLiteral("TPlotFunction"), PaintFunction},
        {QStringLiteral("TPlotCustomTool"), PaintTool},
    };
    return Painters;
}

} // namespace

bool LoadClassIcon(TBitmap& Bitmap, const QObject& Object)
{
    if (LoadClassBitmap(Bitmap, Object)) {
        Bitmap.SetTransparentMode(TBitmap::tmAuto);
        Bitmap.SetTransparent(true);
        return true;
    }
    Bitmap.SetSize(16, 16);
    TCanvas& C = Bitmap.Canvas();
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(ClassIconBackground);
    C.FillRect(TRect{0, 0, 16, 16});
    TIconPainter Painter = nullptr;
    for (const QMetaObject* Meta = Object.metaObject(); Meta && !Painter; Meta = Meta->superClass()) {
        const QString Name = QString::fromLatin1(Meta->className()).section(QStringLiteral("::"), -1);
        Painter = IconPainters().value(Name, nullptr);
    }
    (Painter ? Painter : PaintGeneric)(C);
    Bitmap.SetTransparentColor(ClassIconBackground);
    Bitmap.SetTransparent(true);
    return Painter != nullptr;
}

void DrawClassBitmap(TCanvas& Canvas, const QObject& Object, int X, int Y)
{
    TBitmap Icon;
    LoadClassIcon(Icon, Object);
    Canvas.Draw(X, Y, &Icon);
}

} // namespace lp
