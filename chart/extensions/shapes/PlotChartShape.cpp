// The shape series.

#include "chart/extensions/shapes/PlotChartShape.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/DeviceContext.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lp {

namespace {

// A stored pixel value as an int: truncated toward zero, kept far inside
// the int range (corners are user values and may be anything).
int TruncPixel(double Value)
{
    if (!std::isfinite(Value))
        return 0;
    return static_cast<int>(std::clamp(Value, -1e8, 1e8));
}

bool RectsMeet(const TRect& A, const TRect& B)
{
    return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

} // namespace

TChartShape::TChartShape(TComponent* AOwner) : TChartSeries(AOwner)
{
    SetVisibleRangeSearch(false);
    Brush()->SetColor(clWhite);
    TChartSeries::SetSeriesColor(clWhite);
    KeepStartAsDefault(*this, {"SeriesColor"});
    KeepStartAsDefault(*Brush(), {"Color"});
    FFont = std::make_unique<TPlotFont>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); });
    FGradient = std::make_unique<TPlotGradient>([this](TPersistent* Sender) { CanvasChanged(Sender); });
    FText = std::make_unique<TStringList>();
    FText->OnChange = [this](TStringList*) { Repaint(); };
    AddDefaultPoints();
}

TChartShape::~TChartShape() = default;

void TChartShape::AddDefaultPoints()
{
    AddXY(0, 0, {}, clPlotColor);
    AddXY(100, 100, {}, clPlotColor);
}

void TChartShape::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TChartShape*>(Source)) {
        FAlignment = Other->FAlignment;
        FFont->Assign(Other->FFont.get());
        FGradient->Assign(Other->FGradient.get());
        FRoundRectangle = Other->FRoundRectangle;
        FStyle = Other->FStyle;
        FText->Assign(Other->FText.get());
        FTransparent = Other->FTransparent;
        FVertAlign = Other->FVertAlign;
        FXYStyle = Other->FXYStyle;
    }
    TChartSeries::Assign(Source);
}

void TChartShape::SetAlignment(TAlignment Value)
{
    if (FAlignment != Value) {
        FAlignment = Value;
        Repaint();
    }
}

void TChartShape::SetStyle(TChartShapeStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        Repaint();
    }
}

void TChartShape::SetText(const TStringList* Value)
{
    FText->Assign(Value);
    Repaint();
}

void TChartShape::SetVertAlign(TPlotVertAlign Value)
{
    if (FVertAlign != Value) {
        FVertAlign = Value;
        Repaint();
    }
}

void TChartShape::SetXYStyle(TChartShapeXYStyle Value)
{
    if (FXYStyle != Value) {
        FXYStyle = Value;
        Repaint();
    }
}

double TChartShape::CornerValue(int Index, bool IsX) const
{
    if (Count() < 2)
        return 0;
    return IsX ? XValues()->Value(Index) : YValues()->Value(Index);
}

void TChartShape::SetCornerValue(int Index, bool IsX, double Value)
{
    if (Count() < 2)
        return;
    TChartValueList* List = IsX ? XValues() : YValues();
    List->SetValue(Index, Value);
    List->SetModified(true);
    Repaint();
}

void TChartShape::SetSeriesColor(TColor Color)
{
    TChartSeries::SetSeriesColor(Color);
    Brush()->SetColor(Color);
}

TRect TChartShape::GetShapeRect() const
{
    switch (FXYStyle) {
    case xysPixels: return {TruncPixel(X0()), TruncPixel(Y0()), TruncPixel(X1()), TruncPixel(Y1())};
    case xysAxisOrigin: {
        const int Left = CalcXPos(0);
        const int Top = CalcYPos(0);
        return {Left, Top, TruncPixel(Left + std::trunc(X1())), TruncPixel(Top + std::trunc(Y1()))};
    }
    case xysAxis: break;
    }
    return {CalcXPos(0), CalcYPos(0), CalcXPos(1), CalcYPos(1)};
}

TRect TChartShape::DrawingRect() const
{
    TRect R = NormalizeRect(GetShapeRect());
    if (R.Right == R.Left)
        ++R.Right;
    if (R.Bottom == R.Top)
        ++R.Bottom;
    return R;
}

void TChartShape::CalcZOrder()
{
    if (UseAxis())
        TChartSeries::CalcZOrder();
}

bool TChartShape::Is3D() const
{
    return FXYStyle != xysPixels && ParentChart() && ParentChart()->View3D();
}

void TChartShape::PrepareShapeCanvas()
{
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    Canvas.AssignVisiblePen(*Pen());
    if (FTransparent)
        Canvas.Brush()->SetStyle(TBrush::bsClear);
    else
        Canvas.AssignBrush(*Brush(), GetSeriesColor());
    Canvas.SetBackMode(Brush()->Color() == clNone ? TRANSPARENT : OPAQUE);
}

void TChartShape::DrawValue(int ValueIndex)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (ValueIndex != 0 || Count() != 2 || !Chart)
        return;
    const TRect Rect = DrawingRect();
    if (!RectsMeet(Rect, Chart->ChartRectangle()))
        return;
    PrepareShapeCanvas();
    DrawFigure(Rect, GetShapeRect(), Is3D());
    DrawText(Rect);
}

void TChartShape::DrawShapeGradient(const TRect& Rect, bool Is3D)
{
    if (FTransparent || !FGradient->Visible())
        return;
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    FGradient->Draw(Canvas, Is3D ? Canvas.CalculateRect3D(Rect, DepthMiddle()) : Rect);
    // The gradient leaves its own brush behind.
    PrepareShapeCanvas();
    Canvas.Brush()->SetStyle(TBrush::bsClear);
}

void TChartShape::DrawFigure(const TRect& Rect, const TRect& LineRect, bool Is3D)
{
    if (Is3D) {
        DrawFigure3D(Rect, LineRect);
        return;
    }
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    const int CX = (Rect.Left + Rect.Right) / 2;
    const int CY = (Rect.Top + Rect.Bottom) / 2;
    const auto Cross = [&] {
        Canvas.VertLine(CX, Rect.Top, Rect.Bottom + 1);
        Canvas.HorizLine(Rect.Left, Rect.Right, CY);
    };
    const auto DiagCross = [&] {
        Canvas.Line(Rect.Left, Rect.Top, Rect.Right + 1, Rect.Bottom + 1);
        Canvas.Line(Rect.Left, Rect.Bottom, Rect.Right, Rect.Top - 1);
    };
    switch (FStyle) {
    case chasRectangle:
        if (FRoundRectangle) {
            Canvas.RoundRectRect(Rect, 12, 12);
        } else {
            DrawShapeGradient(Rect, false);
            Canvas.Rectangle(Rect.Left, Rect.Top, Rect.Right + 1, Rect.Bottom + 1);
        }
        break;
    case chasCircle:
        if (!FTransparent && FGradient->Visible()) {
            Canvas.ClipEllipse(Rect, false);
            DrawShapeGradient(Rect, false);
            Canvas.UnClipRectangle();
        }
        Canvas.EllipseRect(Rect);
        break;
    case chasVertLine: Canvas.VertLine(CX, Rect.Top, Rect.Bottom); break;
    case chasHorizLine: Canvas.HorizLine(Rect.Left, Rect.Right, CY); break;
    case chasTriangle:
    case chasPyramid: {
        const std::array<TPoint, 3> P{TPoint{Rect.Left, Rect.Bottom}, TPoint{CX, Rect.Top},
                                      TPoint{Rect.Right, Rect.Bottom}};
        Canvas.Polygon(P, 2);
        break;
    }
    case chasInvertTriangle:
    case chasInvertPyramid: {
        const std::array<TPoint, 3> P{TPoint{Rect.Left, Rect.Top}, TPoint{CX, Rect.Bottom},
                                      TPoint{Rect.Right, Rect.Top}};
        Canvas.Polygon(P, 2);
        break;
    }
    case chasLine: Canvas.Line(LineRect.Left, LineRect.Top, LineRect.Right, LineRect.Bottom); break;
    case chasDiamond: {
        const std::array<TPoint, 4> P{TPoint{Rect.Left, CY}, TPoint{CX, Rect.Top}, TPoint{Rect.Right, CY},
                                      TPoint{CX, Rect.Bottom}};
        Canvas.Polygon(P, 3);
        break;
    }
    case chasCube: Canvas.RectangleRect(Rect); break;
    case chasCross: Cross(); break;
    case chasDiagCross: DiagCross(); break;
    case chasStar:
        Cross();
        DiagCross();
        break;
    }
}

void TChartShape::DrawFigure3D(const TRect& Rect, const TRect& LineRect)
{
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    const int Z = DepthMiddle();
    const int CX = (Rect.Left + Rect.Right) / 2;
    const int CY = (Rect.Top + Rect.Bottom) / 2;
    const auto Cross = [&] {
        Canvas.VertLine3D(CX, Rect.Top, Rect.Bottom + 1, Z);
        Canvas.HorizLine3D(Rect.Left, Rect.Right, CY, Z);
    };
    const auto DiagCross = [&] {
        Canvas.LineWithZ(Rect.Left, Rect.Top, Rect.Right + 1, Rect.Bottom + 1, Z);
        Canvas.LineWithZ(Rect.Left, Rect.Bottom, Rect.Right, Rect.Top - 1, Z);
    };
    switch (FStyle) {
    case chasRectangle:
        DrawShapeGradient(Rect, true);
        Canvas.RectangleWithZ(Rect, Z);
        break;
    case chasCircle:
        DrawShapeGradient(Rect, true);
        Canvas.EllipseWithZ(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom, Z);
        break;
    case chasVertLine: Canvas.VertLine3D(CX, Rect.Top, Rect.Bottom, Z); break;
    case chasHorizLine: Canvas.HorizLine3D(Rect.Left, Rect.Right, CY, Z); break;
    case chasTriangle: Canvas.TriangleWithZ({Rect.Left, Rect.Bottom}, {CX, Rect.Top}, {Rect.Right, Rect.Bottom}, Z); break;
    case chasInvertTriangle:
        Canvas.TriangleWithZ({Rect.Left, Rect.Top}, {CX, Rect.Bottom}, {Rect.Right, Rect.Top}, Z);
        break;
    case chasPyramid:
    case chasInvertPyramid: {
        const bool Up = FStyle == chasPyramid;
        Canvas.Pyramid(true, Rect.Left, Up ? Rect.Top : Rect.Bottom, Rect.Right, Up ? Rect.Bottom : Rect.Top,
                       DepthStart(), DepthEnd(), !FTransparent);
        break;
    }
    case chasLine: Canvas.LineWithZ(LineRect.Left, LineRect.Top, LineRect.Right, LineRect.Bottom, Z); break;
    case chasDiamond:
        Canvas.PlaneWithZ({Rect.Left, CY}, {CX, Rect.Top}, {Rect.Right, CY}, {CX, Rect.Bottom}, Z);
        break;
    case chasCube: Canvas.Cube(Rect.Left, Rect.Right, Rect.Top, Rect.Bottom, DepthStart(), DepthEnd(), !FTransparent); break;
    case chasCross: Cross(); break;
    case chasDiagCross: DiagCross(); break;
    case chasStar:
        Cross();
        DiagCross();
        break;
    }
}

void TChartShape::DrawText(const TRect& Rect)
{
    if (FText->Count() == 0)
        return;
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    Canvas.AssignFont(*FFont);
    Canvas.SetBackMode(TRANSPARENT);
    const int LineHeight = Canvas.FontHeight();
    const int BlockHeight = LineHeight * FText->Count();
    int Y = Rect.Top;
    if (FVertAlign == vaCenter)
        Y = (Rect.Top + Rect.Bottom) / 2 - static_cast<int>(std::lround(BlockHeight / 2.0));
    else if (FVertAlign == vaBottom)
        Y = Rect.Bottom - BlockHeight;
    const int PenWidth = Pen()->Visible() ? Pen()->Width() : 0;
    int X = (Rect.Left + Rect.Right) / 2;
    unsigned Align = TA_CENTER;
    if (FAlignment == TChartTitle::taLeftJustify) {
        X = Rect.Left + PenWidth;
        Align = TA_LEFT;
    } else if (FAlignment == TChartTitle::taRightJustify) {
        X = Rect.Right - PenWidth;
        Align = TA_RIGHT;
    }
    Canvas.SetTextAlign(Align);
    for (int I = 0; I < FText->Count(); ++I, Y += LineHeight) {
        if (FXYStyle == xysPixels)
            Canvas.TextOut(X, Y, FText->Strings(I));
        else
            Canvas.TextOut3D(X, Y, DepthStart(), FText->Strings(I));
    }
    Canvas.SetTextAlign(TA_LEFT);
}

void TChartShape::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    (void)ValueIndex;
    if (!ParentChart())
        return;
    PrepareShapeCanvas();
    DrawFigure(Rect, Rect, false);
}

int TChartShape::Clicked(int X, int Y)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || Count() != 2)
        return -1;
    if (Is3D())
        Chart->Canvas().Calculate2DPosition(X, Y, DepthStart());
    const TPoint P{X, Y};
    const TRect R = NormalizeRect(GetShapeRect());
    const int CX = (R.Left + R.Right) / 2;
    const int CY = (R.Top + R.Bottom) / 2;
    bool Hit = false;
    switch (FStyle) {
    case chasCircle: Hit = PointInEllipseRect(P, R); break;
    case chasVertLine: Hit = PointInLine(P, CX, R.Top, CX, R.Bottom); break;
    case chasHorizLine: Hit = PointInLine(P, R.Left, CY, R.Right, CY); break;
    case chasTriangle:
    case chasPyramid: Hit = PointInVertTriangle(P, R.Left, R.Top, R.Right, R.Bottom); break;
    case chasInvertTriangle:
    case chasInvertPyramid: Hit = PointInVertTriangle(P, R.Left, R.Bottom, R.Right, R.Top); break;
    case chasLine: {
        const TRect L = GetShapeRect();
        Hit = PointInLine(P, L.Left, L.Top, L.Right, L.Bottom);
        break;
    }
    case chasDiamond: {
        const std::array<TPoint, 4> Poly{TPoint{R.Left, CY}, TPoint{CX, R.Top}, TPoint{R.Right, CY},
                                         TPoint{CX, R.Bottom}};
        Hit = PointInPolygon(P, Poly);
        break;
    }
    default: Hit = PointInRect(R, X, Y); break;
    }
    return Hit ? 0 : -1;
}

void TChartShape::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TChartSeries::CreateSubGallery(AddSubChart);
    for (const QString* Caption :
         {&PlotMsg_Rectangle, &PlotMsg_VertLine, &PlotMsg_HorizLine, &PlotMsg_StyleEllipse,
          &PlotMsg_StyleDownTriangle, &PlotMsg_Line, &PlotMsg_StyleDiamond, &PlotMsg_Cube, &PlotMsg_StyleCross,
          &PlotMsg_DiagCross, &PlotMsg_StyleStar, &PlotMsg_StylePyramid, &PlotMsg_StyleInvPyramid,
          &PlotMsg_StyleHollow})
        AddSubChart(*Caption);
}

void TChartShape::SetSubGallery(int Index)
{
    static constexpr std::array<TChartShapeStyle, 13> Styles{
        chasRectangle, chasVertLine, chasHorizLine, chasCircle, chasInvertTriangle, chasLine, chasDiamond,
        chasCube,      chasCross,    chasDiagCross, chasStar,   chasPyramid,        chasInvertPyramid};
    if (Index >= 1 && Index <= 13)
        SetStyle(Styles.at(static_cast<size_t>(Index - 1)));
    else if (Index == 14)
        SetTransparent(!FTransparent);
    else
        TChartSeries::SetSubGallery(Index);
}

void TChartShape::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    const TRandomBounds Bounds = CalcRandomBounds(NumValues);
    if (Bounds.StepX == 0) {
        AddDefaultPoints();
        return;
    }
    const double Step = Bounds.StepX;
    AddXY(Bounds.StartX + Step / 8, Bounds.MinY + RandomValue(std::max(1, static_cast<int>(Bounds.DifY))));
    AddXY(Bounds.StartX + Step - Step / 8,
          Bounds.MinY + RandomValue(std::max(1, static_cast<int>(Bounds.DifY))));
}

void TChartShape::PrepareForGallery(bool IsEnabled)
{
    TChartSeries::PrepareForGallery(IsEnabled);
    FFont->SetColor(IsEnabled ? 0x00FFFF : 0x808080);
    FFont->SetStyle(TFont::TFontStyles(TFont::fsBold));
    FFont->SetSize(12);
    FText->Clear();
    const TCustomAxisPanel* Chart = ParentChart();
    const bool IsSecond = Chart && Chart->SeriesCount() > 1 && Chart->Series(1) == this;
    if (IsSecond) {
        SetStyle(chasCircle);
        SetSeriesColor(IsEnabled ? 0xFF0000 : 0xC0C0C0);
        FText->Add(QStringLiteral("abc"));
    } else {
        SetStyle(chasTriangle);
        SetSeriesColor(IsEnabled ? 0x0000FF : 0xC0C0C0);
        FText->Add(QStringLiteral("123"));
    }
}

bool TChartShape::IsValidSourceOf(TChartSeries* Source)
{
    return qobject_cast<TChartShape*>(Source) != nullptr;
}

void RegisterChartShape()
{
    RegisterPlotSeries<TChartShape>(&PlotMsg_GalleryShape, &PlotMsg_GalleryStandard, 2);
}

void UnregisterChartShape()
{
    UnRegisterPlotSeries({&TChartShape::staticMetaObject});
    UnRegisterClass(TPersistent::ClassNameOf(TChartShape::staticMetaObject));
}

} // namespace lp
