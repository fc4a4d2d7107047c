// 3-D point and 3-D bubble series.

#include "chart/extensions/points3d/PlotPoint3DSeries.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/DeviceContext.h"

#include <QtCore/QScopeGuard>

#include <algorithm>
#include <cmath>

namespace lp {

// --- TPoint3DSeries -----------------------------------------------------------------------------

TPoint3DSeries::TPoint3DSeries(TComponent* AOwner) : TCustom3DSeries(AOwner)
{
    FPointer = std::make_unique<TSeriesPointer>(this);
    FBaseLine = std::make_unique<TChartHiddenPen>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); });
}

TPoint3DSeries::~TPoint3DSeries() = default;

void TPoint3DSeries::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TPoint3DSeries*>(Source)) {
        FPointer->Assign(Other->FPointer.get());
        FDepthSize = Other->FDepthSize;
        FBaseLine->Assign(Other->FBaseLine.get());
    }
    TCustom3DSeries::Assign(Source);
}

void TPoint3DSeries::SetParentChart(TCustomAxisPanel* Value)
{
    TCustom3DSeries::SetParentChart(Value);
    FPointer->SetParentChart(Value);
}

void TPoint3DSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    for (int I = 0; I < NumValues; ++I) {
        const double X = RandomValue(100);
        const double Y = RandomValue(100);
        AddXYZ(X, Y, RandomValue(100));
    }
}

void TPoint3DSeries::PrepareForGallery(bool IsEnabled)
{
    TCustom3DSeries::PrepareForGallery(IsEnabled);
    LinePen()->SetColor(0x800000);
    if (TCustomAxisPanel* Chart = ParentChart())
        Chart->View3DOptions()->SetZoom(60);
}

void TPoint3DSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCustom3DSeries::CreateSubGallery(AddSubChart);
    for (const QString* Caption :
         {&PlotMsg_StyleNoPoint, &PlotMsg_StyleLines, &PlotMsg_StyleNoLine, &PlotMsg_StyleColors, &PlotMsg_StyleMarks,
          &PlotMsg_StyleHollow, &PlotMsg_StyleNoBorder})
        AddSubChart(*Caption);
    if (!HasPointerStyleGallery())
        return;
    for (const QString* Caption : {&PlotMsg_StylePoint2D, &PlotMsg_StyleTriangle, &PlotMsg_StyleStar,
                                   &PlotMsg_StyleCircle, &PlotMsg_StyleDownTriangle, &PlotMsg_StyleCross,
                                   &PlotMsg_StyleDiamond})
        AddSubChart(*Caption);
}

void TPoint3DSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1: FPointer->SetVisible(false); break;
    case 2: FBaseLine->SetVisible(true); break;
    case 3: LinePen()->SetVisible(false); break;
    case 4: SetColorEachPoint(true); break;
    case 5: Marks()->SetVisible(true); break;
    case 6: FPointer->Brush()->SetStyle(TBrush::bsClear); break;
    case 7: FPointer->Pen()->SetVisible(false); break;
    case 8: FPointer->SetDraw3D(false); break;
    case 9: FPointer->SetStyle(psTriangle); break;
    case 10: FPointer->SetStyle(psStar); break;
    case 11: FPointer->SetStyle(psCircle); break;
    case 12: FPointer->SetStyle(psDownTriangle); break;
    case 13: FPointer->SetStyle(psCross); break;
    case 14: FPointer->SetStyle(psDiamond); break;
    default: TCustom3DSeries::SetSubGallery(Index); break;
    }
}

void TPoint3DSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    TCustom3DSeries::CalcHorizMargins(LeftMargin, RightMargin);
    FPointer->CalcHorizMargins(LeftMargin, RightMargin);
}

void TPoint3DSeries::CalcVertMargins(int& TopMargin, int& BottomMargin)
{
    TCustom3DSeries::CalcVertMargins(TopMargin, BottomMargin);
    FPointer->CalcVertMargins(TopMargin, BottomMargin);
}

int TPoint3DSeries::CalcDepthSize(int ValueIndex) const
{
    (void)ValueIndex;
    const TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || !Chart->DepthAxis())
        return 0;
    return Chart->DepthAxis()->CalcSizeValue(FDepthSize) / 2;
}

TPoint3DSeries::TZPositions TPoint3DSeries::CalcZPositions(int ValueIndex) const
{
    const int Middle = CalcZPos(ValueIndex);
    const int Half = std::max(1, CalcDepthSize(ValueIndex));
    return {Middle - Half, Middle, Middle + Half};
}

void TPoint3DSeries::DrawValue(int ValueIndex)
{
    const TColor Color = GetValueColor(ValueIndex);
    TCustomAxisPanel* Chart = ParentChart();
    if (Color == clNone || !Chart)
        return;
    const TZPositions Z = CalcZPositions(ValueIndex);
    SetDepthPositions(Z.Start, Z.Middle, Z.End);
    const int X = CalcXPos(ValueIndex);
    const int Y = CalcYPos(ValueIndex);
    TPlotCanvas3D& Canvas = Chart->Canvas();
    if (FPointer->Visible()) {
        FPointer->PrepareCanvas(Canvas, Color);
        const TSeriesPointerStyle Style = OnGetPointerStyle ? OnGetPointerStyle(this, ValueIndex) : FPointer->Style();
        FPointer->DrawWithStyle(X, Y, Style, Color);
    }
    const int BaseTop = Y + PointerHalfSize(ValueIndex).Y;
    if (FBaseLine->Visible() && GetVertAxis() && BaseTop < GetVertAxis()->EndPixel()) {
        Canvas.AssignVisiblePen(*FBaseLine);
        Canvas.SetBackMode(TRANSPARENT);
        Canvas.VertLine3D(X, BaseTop, GetVertAxis()->EndPixel(), CalcZPos(ValueIndex));
    }
    DrawConnection(X, Y, Z.Middle, ValueIndex == FirstDisplayedIndex());
}

// The 3-D line from the previous point to this one; remembers this point.
void TPoint3DSeries::DrawConnection(int X, int Y, int Z, bool IsFirst)
{
    if (!IsFirst && LinePen()->Visible()) {
        TPlotCanvas3D& Canvas = ParentChart()->Canvas();
        Canvas.AssignVisiblePen(*LinePen());
        Canvas.SetBackMode(TRANSPARENT);
        Canvas.MoveTo3D(FOldX, FOldY, FOldZ);
        Canvas.LineTo3D(X, Y, Z);
    }
    FOldX = X;
    FOldY = Y;
    FOldZ = Z;
}

void TPoint3DSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    const TZPositions Z = CalcZPositions(ValueIndex);
    Marks()->SetZPosition(FPointer->Visible() ? Z.Middle : Z.Start);
    // The 3-D base would place the mark at the point's Z again.
    TChartSeries::DrawMark(ValueIndex, St, APosition);
}

void TPoint3DSeries::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || !FPointer->Visible()) {
        TCustom3DSeries::DrawLegendShape(ValueIndex, Rect);
        return;
    }
    const TColor Color = ValueIndex == -1 ? GetSeriesColor() : LegendItemColor(ValueIndex);
    TPlotCanvas3D& Canvas = Chart->Canvas();
    const bool LineDrawn = LinePen()->Visible();
    if (LineDrawn) {
        Canvas.AssignVisiblePen(*LinePen());
        Canvas.SetBackMode(TRANSPARENT);
        const int MidY = (Rect.Top + Rect.Bottom) / 2;
        Canvas.Line(Rect.Left, MidY, Rect.Right, MidY);
    }
    FPointer->DrawLegendShape(Canvas, Color, Rect, LineDrawn);
}

double TPoint3DSeries::MaxZValue()
{
    return ZValues()->MaxValue() + FDepthSize;
}

int TPoint3DSeries::Clicked(int X, int Y)
{
    if (const int Base = TCustom3DSeries::Clicked(X, Y); Base != -1)
        return Base;
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || !FPointer->Visible())
        return -1;
    for (int I = 0; I < Count(); ++I) {
        int PX = X;
        int PY = Y;
        if (Chart->View3D())
            Chart->Canvas().Calculate2DPosition(PX, PY, CalcZPos(I));
        const TPoint Half = PointerHalfSize(I);
        if (std::abs(CalcXPos(I) - PX) < Half.X && std::abs(CalcYPos(I) - PY) < Half.Y) {
            if (OnClickPointer)
                OnClickPointer(this, I, X, Y);
            return I;
        }
    }
    return -1;
}

TPoint TPoint3DSeries::PointerHalfSize(int ValueIndex) const
{
    (void)ValueIndex;
    return {FPointer->HorizSize(), FPointer->VertSize()};
}

// --- TBubble3DSeries ----------------------------------------------------------------------------

TBubble3DSeries::TBubble3DSeries(TComponent* AOwner) : TPoint3DSeries(AOwner)
{
    FRadiusValues = new TChartValueList(this, PlotMsg_ValuesRadius);
    Pointer()->SetStyle(psCircle);
    SetColorEachPoint(true);
    LinePen()->SetVisible(false);
    LinePen()->SetDefaultVisible(false);
    KeepStartAsDefault(*Pointer(), {"Style"});
}

int TBubble3DSeries::AddBubble(double X, double Y, double Z, double ARadius, const QString& ALabel, TColor AColor)
{
    FRadiusValues->SetTempValue(ARadius);
    return AddXYZLabel(X, Y, Z, ALabel, AColor);
}

void TBubble3DSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    const TRandomBounds Bounds = CalcRandomBounds(NumValues);
    const double Range = Bounds.DifY;
    double X = Bounds.StartX;
    for (int I = 0; I < NumValues; ++I) {
        const double Y = RandomValue(static_cast<int>(std::round(Range)));
        const double Z = RandomValue(200);
        const double Radius = std::round(Range / (RandomValue(15) + 10)) + Range / 15;
        AddBubble(X, Y, Z, Radius);
        X += Bounds.StepX;
    }
}

void TBubble3DSeries::PrepareForGallery(bool IsEnabled)
{
    TPoint3DSeries::PrepareForGallery(IsEnabled);
    Pointer()->Gradient()->SetVisible(true);
}

void TBubble3DSeries::DrawValue(int ValueIndex)
{
    TSeriesPointer& P = *Pointer();
    const TPoint Stored{P.HorizSize(), P.VertSize()};
    // A radius that maps to no pixel draws the smallest pointer.
    const TPoint Half = PointerHalfSize(ValueIndex);
    P.ChangeHorizSize(std::max(Half.X, 1));
    P.ChangeVertSize(std::max(Half.Y, 1));
    const auto Restore = qScopeGuard([&] {
        P.ChangeHorizSize(Stored.X);
        P.ChangeVertSize(Stored.Y);
    });
    TPoint3DSeries::DrawValue(ValueIndex);
}

TPoint TBubble3DSeries::PointerHalfSize(int ValueIndex) const
{
    const int Size = GetVertAxis() ? GetVertAxis()->CalcSizeValue(FRadiusValues->Value(ValueIndex)) : 0;
    return {Size, Size};
}

int TBubble3DSeries::CalcDepthSize(int ValueIndex) const
{
    const TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || !Chart->DepthAxis())
        return 0;
    return Chart->DepthAxis()->CalcSizeValue(FRadiusValues->Value(ValueIndex));
}

TPoint3DSeries::TZPositions TBubble3DSeries::CalcZPositions(int ValueIndex) const
{
    const TCustomAxisPanel* Chart = ParentChart();
    if (Pointer()->Draw3D() && Chart && Chart->Canvas().SupportsFullRotation())
        return TPoint3DSeries::CalcZPositions(ValueIndex);
    const int Half = std::max(1, CalcDepthSize(ValueIndex));
    const int Start = CalcZPos(ValueIndex);
    return {Start, Start + Half, Start + 2 * Half};
}

double TBubble3DSeries::ExtremeWithRadius(const TChartValueList& Values, double Inherited, double Sign) const
{
    double Result = Inherited;
    for (int I = 0; I < Count(); ++I) {
        const double Reach = Values.Value(I) + Sign * FRadiusValues->Value(I);
        Result = Sign > 0 ? std::max(Result, Reach) : std::min(Result, Reach);
    }
    return Result;
}

double TBubble3DSeries::MaxYValue()
{
    return ExtremeWithRadius(*YValues(), TPoint3DSeries::MaxYValue(), 1);
}

double TBubble3DSeries::MinYValue()
{
    return ExtremeWithRadius(*YValues(), TPoint3DSeries::MinYValue(), -1);
}

double TBubble3DSeries::MaxZValue()
{
    return ExtremeWithRadius(*ZValues(), TPoint3DSeries::MaxZValue(), 1);
}

double TBubble3DSeries::MinZValue()
{
    return ExtremeWithRadius(*ZValues(), TPoint3DSeries::MinZValue(), -1);
}

bool TBubble3DSeries::IsValidSourceOf(TChartSeries* Source)
{
    return qobject_cast<TBubble3DSeries*>(Source) != nullptr;
}

// --- Registration -------------------------------------------------------------------------------

void RegisterPoint3DSeries()
{
    RegisterPlotSeries<TPoint3DSeries>(&PlotMsg_GalleryPoint3D, &PlotMsg_Gallery3D, 1);
    RegisterPlotSeries<TBubble3DSeries>(&PlotMsg_GalleryBubble3D, &PlotMsg_Gallery3D, 1);
}

void UnregisterPoint3DSeries()
{
    const std::initializer_list<const QMetaObject*> Classes = {&TPoint3DSeries::staticMetaObject,
                                                               &TBubble3DSeries::staticMetaObject};
    UnRegisterPlotSeries(Classes);
    for (const QMetaObject* Meta : Classes)
        UnRegisterClass(TPersistent::ClassNameOf(*Meta));
}

} // namespace lp
