// The line, point and area series: settings, stacking, value ranges,
// margins, clicks, legend symbols and sub-galleries. The drawing of points
// and segments is in PlotSeriesDraw.cpp.

#include "chart/engine/PlotSeries.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "platform/base/Numeric.h"
#include "platform/core/PropertyInfo.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace lp {

TBrush::TBrushStyle BrushPatternOfIndex(int Index)
{
    if (Index < 0)
        throw ERangeError("Pattern index below 0");
    return static_cast<TBrush::TBrushStyle>(TBrush::bsHorizontal + Index % 6);
}

// --- TCustomSeries ------------------------------------------------------------------------------

TCustomSeries::TCustomSeries(TComponent* AOwner) : TCustomLineSeries(AOwner)
{
    FPointer = std::make_unique<TSeriesPointer>(this);
    FAreaLinesPen = CreateChartPen();
    FOutLine = std::make_unique<TChartHiddenPen>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); });
    FShadow = std::make_unique<TPlotShadow>([this](TPersistent* Sender) { CanvasChanged(Sender); });
    FAreaBrush = std::make_unique<TChartBrush>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); });
    FGradient = std::make_unique<TPlotGradient>([this](TPersistent* Sender) { CanvasChanged(Sender); });
    SetKeepPointBeyondEdge(true);
}

TCustomSeries::~TCustomSeries()
{
    // The owned objects go in reverse order of their creation, before the
    // series base (which the pointer observes) is torn down.
    FGradient.reset();
    FAreaBrush.reset();
    FAreaLinesPen.reset();
    FShadow.reset();
    FOutLine.reset();
    FPointer.reset();
}

void TCustomSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TCustomSeries*>(Source)) {
        FClickableLine = S->FClickableLine;
        FAreaBrush->Assign(S->FAreaBrush.get());
        FAreaColor = S->FAreaColor;
        FAreaLinesPen->Assign(S->FAreaLinesPen.get());
        FColorEachLine = S->FColorEachLine;
        FDark3D = S->FDark3D;
        FDrawArea = S->FDrawArea;
        FLineDrawn = S->FLineDrawn;
        FInvertedStairs = S->FInvertedStairs;
        FLineHeight = S->FLineHeight;
        FPointer->Assign(S->FPointer.get());
        FStacked = S->FStacked;
        FStairs = S->FStairs;
        FOutLine->Assign(S->FOutLine.get());
        FShadow->Assign(S->FShadow.get());
        SetTransparency(S->GetTransparency());
        FGradient->Assign(S->FGradient.get());
    }
    TChartSeries::Assign(Source);
    TakeChartStacking();
}

void TCustomSeries::SetParentChart(TCustomAxisPanel* Value)
{
    TChartSeries::SetParentChart(Value);
    FPointer->SetParentChart(Value);
}

void TCustomSeries::AttachedToChart()
{
    TCustomLineSeries::AttachedToChart();
    if (!IsLoading() && !FParentChart->IsLoading())
        TakeChartStacking();
}

void TCustomSeries::TakeChartStacking()
{
    if (!FParentChart)
        return;
    const TCustomSeries* Nearest = nullptr;
    for (TChartSeries* S : FParentChart->SeriesList()) {
        const auto* Other = qobject_cast<const TCustomSeries*>(S);
        if (!Other || Other == this || !metaObject()->inherits(Other->metaObject()))
            continue;
        if (!Nearest || (Other->metaObject() != Nearest->metaObject() &&
                         Other->metaObject()->inherits(Nearest->metaObject())))
            Nearest = Other;
    }
    if (Nearest)
        FStacked = Nearest->FStacked;
}

void TCustomSeries::SetAreaChartBrush(const TChartBrush* Value)
{
    FAreaBrush->Assign(Value);
}

void TCustomSeries::SetShadow(const TPlotShadow* Value)
{
    FShadow->Assign(Value);
}

void TCustomSeries::SetGradient(const TPlotGradient* Value)
{
    FGradient->Assign(Value);
}

void TCustomSeries::SetTransparency(int Value)
{
    if (Value < 0 || Value > 100)
        throw ERangeError("Transparency out of range");
    SetIntegerProperty(FTransparency, Value);
}

void TCustomSeries::SetStacked(TCustomSeriesStack Value)
{
    // Also when unchanged: series of the class added since take it over.
    FStacked = Value;
    if (FParentChart)
        for (TChartSeries* S : FParentChart->SeriesList())
            if (S != this && S->metaObject()->inherits(metaObject()))
                static_cast<TCustomSeries*>(S)->FStacked = Value;
    Repaint();
}

// --- Stacking -----------------------------------------------------------------------------------

double TCustomSeries::StackBase(int ValueIndex, bool SumAll) const
{
    double Result = 0;
    if (!FParentChart)
        return SumAll && ValueIndex < Count() ? GetStackValue(ValueIndex) : 0;
    const bool Positive = GetStackValue(ValueIndex) >= 0;
    for (TChartSeries* S : FParentChart->SeriesList()) {
        if (!SumAll && S == this)
            break;
        if (!S->Active() || !SameClass(S) || S->Count() <= ValueIndex)
            continue;
        const double V = S->GetStackValue(ValueIndex);
        if (Positive ? V >= 0 : V < 0)
            Result += V;
    }
    return Result;
}

int TCustomSeries::CalcStackedPos(int ValueIndex, double Value) const
{
    const TChartAxis* Axis = MandatoryAxis();
    if (!Axis)
        return 0;
    const double Base = StackBase(ValueIndex, false);
    if (FStacked == cssStack100) {
        const double Total = StackBase(ValueIndex, true);
        if (Total == 0)
            return Axis->EndPixel();
        return Axis->CalcPosValue((Base + Value) * 100.0 / Total);
    }
    return std::min(Axis->CalcPosValue(Base + Value), Axis->EndPixel());
}

int TCustomSeries::CalcXPos(int Index) const
{
    if (!MandatoryIsY() && IsStacking())
        return CalcStackedPos(Index, MandatoryValues()->Value(Index));
    return TChartSeries::CalcXPos(Index);
}

int TCustomSeries::CalcYPos(int Index) const
{
    if (MandatoryIsY() && IsStacking())
        return CalcStackedPos(Index, MandatoryValues()->Value(Index));
    return TChartSeries::CalcYPos(Index);
}

int TCustomSeries::GetOriginPos(int ValueIndex) const
{
    if (IsStacking())
        return CalcStackedPos(ValueIndex, 0);
    if (MandatoryIsY()) {
        const TChartAxis* Axis = GetVertAxis();
        return !Axis ? 0 : Axis->Inverted() ? Axis->StartPixel() : Axis->EndPixel();
    }
    const TChartAxis* Axis = GetHorizAxis();
    return !Axis ? 0 : Axis->Inverted() ? Axis->EndPixel() : Axis->StartPixel();
}

double TCustomSeries::StackedExtreme(bool IsMax)
{
    double Result = 0;
    bool First = true;
    for (int I = 0; I < Count(); ++I) {
        const double V = StackBase(I, false) + MandatoryValues()->Value(I);
        if (First || (IsMax ? V > Result : V < Result))
            Result = V;
        First = false;
    }
    return Result;
}

double TCustomSeries::MaxYValue()
{
    const double Base = TChartSeries::MaxYValue();
    if (!MandatoryIsY())
        return Base;
    if (FStacked == cssStack100)
        return 100;
    if (FStacked == cssStack && Count() > 0)
        return std::max(Base, StackedExtreme(true));
    return Base;
}

double TCustomSeries::MinYValue()
{
    const double Base = TChartSeries::MinYValue();
    if (MandatoryIsY() && FStacked == cssStack100)
        return 0;
    if (FStacked == cssStack && Count() > 0) {
        if (MandatoryIsY())
            return std::min(Base, StackedExtreme(false));
        double Result = Base;
        for (int I = 0; I < Count(); ++I)
            Result = std::min(Result, StackBase(I, false) + YValues()->Value(I));
        return Result;
    }
    return Base;
}

double TCustomSeries::MaxXValue()
{
    const double Base = TChartSeries::MaxXValue();
    if (MandatoryIsY())
        return Base;
    if (FStacked == cssStack100)
        return 100;
    if (FStacked == cssStack && Count() > 0)
        return std::max(Base, StackedExtreme(true));
    return Base;
}

double TCustomSeries::MinXValue()
{
    if (!MandatoryIsY() && FStacked == cssStack100)
        return 0;
    return TChartSeries::MinXValue();
}

void TCustomSeries::CalcZOrder()
{
    if (FStacked == cssNone || !FParentChart) {
        TChartSeries::CalcZOrder();
        return;
    }
    SetComputedZOrder(FParentChart->MaxZOrder());
}

// --- Margins ------------------------------------------------------------------------------------

int TCustomSeries::CalcMarksMargin()
{
    TMarksCallout* Callout = Marks()->Callout();
    return Callout->Length() + Callout->Distance();
}

void TCustomSeries::WidenForLines(int& First, int& Second) const
{
    // Stair ends and the outline stand out by their pen widths.
    if (!FLineDrawn)
        return;
    const auto Widen = [&](int Width) {
        First = std::max(First, Width);
        Second = std::max(Second, Width);
    };
    if (FStairs)
        Widen(Pen()->Width());
    if (FOutLine->Visible())
        Widen(FOutLine->Width());
}

void TCustomSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    TChartSeries::CalcHorizMargins(LeftMargin, RightMargin);
    FPointer->CalcHorizMargins(LeftMargin, RightMargin);
    WidenForLines(LeftMargin, RightMargin);
    if (Marks()->Visible() && !MandatoryIsY())
        RightMargin = std::max(RightMargin, CalcMarksMargin());
}

void TCustomSeries::CalcVertMargins(int& TopMargin, int& BottomMargin)
{
    TChartSeries::CalcVertMargins(TopMargin, BottomMargin);
    FPointer->CalcVertMargins(TopMargin, BottomMargin);
    WidenForLines(TopMargin, BottomMargin);
    if (Marks()->Visible() && MandatoryIsY())
        TopMargin = std::max(TopMargin, CalcMarksMargin());
    if (FLineHeight > 0 && !FDrawArea && FParentChart && FParentChart->View3D())
        BottomMargin = std::max(BottomMargin, FLineHeight);
}

// --- Clicks -------------------------------------------------------------------------------------

bool TCustomSeries::ClickedPointer(int ValueIndex, int PX, int PY, int X, int Y)
{
    PreparePointer(ValueIndex);
    if (FPointer->Style() == psNothing)
        return false;
    return std::abs(X - PX) < FPointer->HorizSize() && std::abs(Y - PY) < FPointer->VertSize();
}

int TCustomSeries::Clicked(int X, int Y)
{
    if (FParentChart)
        FParentChart->Canvas().Calculate2DPosition(X, Y, DepthStart());
    if (const int Base = TChartSeries::Clicked(X, Y); Base != -1)
        return Base;
    if (FirstVisibleIndex() < 0 || LastVisibleIndex() < 0)
        return -1;
    const TPoint Click{X, Y};
    const bool Is3D = FParentChart && FParentChart->View3D();
    const int OffX = FParentChart ? FParentChart->SeriesWidth3D() : 0;
    const int OffY = FParentChart ? -FParentChart->SeriesHeight3D() : 0;
    const int Start = FClickableLine ? std::max(0, FirstVisibleIndex() - 1) : FirstVisibleIndex();
    const int Last = std::min(LastVisibleIndex(), Count() - 1);
    TPoint P{};
    bool HasPrev = false;
    for (int I = Start; I <= Last; ++I) {
        // A null point answers nothing and breaks the line.
        if (IsNull(I)) {
            HasPrev = false;
            continue;
        }
        const TPoint T{CalcXPos(I), CalcYPos(I)};
        if (FPointer->Visible() && ClickedPointer(I, T.X, T.Y, X, Y)) {
            if (OnClickPointer)
                OnClickPointer(this, I, X, Y);
            return I;
        }
        if (T == Click)
            return I;
        if (HasPrev && FClickableLine) {
            bool Hit = false;
            bool NearFirst = true;
            if (Is3D) {
                const std::array<TPoint, 4> Poly{T, TPoint{T.X + OffX, T.Y + OffY}, TPoint{P.X + OffX, P.Y + OffY},
                                                 P};
                Hit = PointInPolygon(Click, Poly);
                // The nearer end decides in 3-D too.
                NearFirst = std::hypot(double(X - T.X), double(Y - T.Y)) <= std::hypot(double(X - P.X), double(Y - P.Y));
            } else if (FStairs) {
                if (FInvertedStairs) {
                    Hit = PointInLine(Click, P.X, P.Y, P.X, T.Y);
                    if (Hit)
                        NearFirst = PointInLineNearestFirst();
                    else if ((Hit = PointInLine(Click, P.X, T.Y, T.X, T.Y)))
                        NearFirst = PointInLineNearestFirst();
                } else {
                    Hit = PointInLine(Click, P.X, P.Y, T.X, P.Y);
                    if (Hit)
                        NearFirst = PointInLineNearestFirst();
                    else if ((Hit = PointInLine(Click, T.X, P.Y, T.X, T.Y)))
                        NearFirst = PointInLineNearestFirst();
                }
            } else {
                Hit = PointInLine(Click, T.X, T.Y, P.X, P.Y);
                if (Hit)
                    NearFirst = PointInLineNearestFirst();
            }
            if (Hit)
                return FDrawArea ? I - 1 : (NearFirst ? I : I - 1);
        }
        if (HasPrev && FDrawArea) {
            const std::array<TPoint, 4> Band{P, T, TPoint{T.X, GetOriginPos(I)}, TPoint{P.X, GetOriginPos(I - 1)}};
            std::array<TPoint, 4> Quad = Band;
            if (!MandatoryIsY()) {
                Quad[2] = TPoint{GetOriginPos(I), T.Y};
                Quad[3] = TPoint{GetOriginPos(I - 1), P.Y};
            }
            if (PointInPolygon(Click, Quad))
                return I - 1;
        }
        P = T;
        HasPrev = true;
    }
    return -1;
}

// --- Marks --------------------------------------------------------------------------------------

void TCustomSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    Marks()->SetZPosition(DepthStart());
    if (MandatoryIsY())
        Marks()->ApplyArrowLength(APosition);
    TChartSeries::DrawMark(ValueIndex, St, APosition);
}

// Places the mark of a horizontal series beside its point along the
// horizontal axis.
static void PlaceMarkBeside(TCustomSeries& Series, int ValueIndex, TSeriesMarkPosition& APosition, bool AllowLeft)
{
    TMarksCallout* Callout = Series.Marks()->Callout();
    const bool Left = AllowLeft && Series.CalcXPos(ValueIndex) < Series.GetOriginPos(ValueIndex);
    const int Length = Callout->Length() + Callout->Distance();
    const int Sign = Left ? -1 : 1;
    APosition.ArrowStart.X += Sign * Callout->Distance();
    APosition.ArrowEnd = APosition.ArrowStart;
    APosition.ArrowEnd.X = APosition.ArrowStart.X + Sign * Length;
    APosition.TopLeft.X = Left ? APosition.ArrowEnd.X - APosition.MarkWidth : APosition.ArrowEnd.X;
    APosition.TopLeft.Y = APosition.ArrowStart.Y - APosition.MarkHeight / 2;
}

// --- Legend -------------------------------------------------------------------------------------

void DrawLegendPointer(TCustomSeries& Series, TColor AColor, const TRect& Rect, bool PenDrawn)
{
    if (!Series.ParentChart())
        return;
    Series.Pointer()->DrawLegendShape(Series.ParentChart()->Canvas(), AColor, Rect, PenDrawn);
}

void TCustomSeries::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    if (!FParentChart)
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const TColor Color = ValueIndex == -1 ? GetSeriesColor() : LegendItemColor(ValueIndex);
    const bool DefaultPen = FParentChart->LegendPen() == nullptr;
    const int MidY = (Rect.Top + Rect.Bottom) / 2;
    const auto DrawLine = [&] {
        if (DefaultPen) {
            Canvas.Brush()->SetStyle(TBrush::bsClear);
            Canvas.AssignVisiblePenColor(*Pen(), Canvas.GetMonochrome() ? clWhite : Color);
        }
        Canvas.Line(Rect.Left, MidY, Rect.Right, MidY);
    };
    if (FPointer->Visible()) {
        if (FLineDrawn && !FDrawArea)
            DrawLine();
        const bool PenDrawn = FLineDrawn && (DefaultPen ? Pen()->Visible() : true);
        DrawLegendPointer(*this, Color, Rect, PenDrawn);
        return;
    }
    if (!FLineDrawn || FDrawArea) {
        TChartSeries::DrawLegendShape(ValueIndex, Rect);
        return;
    }
    if (FParentChart->View3D()) {
        if (DefaultPen) {
            Canvas.Brush()->SetStyle(LineBrush());
            Canvas.Brush()->SetColor(Canvas.GetMonochrome() ? clWhite : Color);
            Canvas.AssignVisiblePen(*Pen());
        }
        TChartSeries::DrawLegendShape(ValueIndex, Rect);
    } else {
        DrawLine();
    }
}

// --- TLineSeries --------------------------------------------------------------------------------

TLineSeries::TLineSeries(TComponent* AOwner) : TCustomSeries(AOwner)
{
    SetLineDrawn(true);
    Pointer()->SetVisible(false);
    SetFunctionResultCentered(false);
}

void TLineSeries::Assign(const TPersistent* Source)
{
    TCustomSeries::Assign(Source);
    if (Source && !Source->metaObject()->inherits(metaObject()))
        Pointer()->SetVisible(false);
    SetDrawArea(false);
    SetLineDrawn(true);
}

void TLineSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCustomSeries::CreateSubGallery(AddSubChart);
    for (const QString* Caption : {&PlotMsg_StyleStairs, &PlotMsg_StylePoints, &PlotMsg_StyleHeight,
                                   &PlotMsg_StyleHollow, &PlotMsg_StyleColors, &PlotMsg_StyleMarks,
                                   &PlotMsg_StyleNoBorder, &PlotMsg_StyleOutline})
        AddSubChart(*Caption);
}

void TLineSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1: SetStairs(true); break;
    case 2: Pointer()->SetVisible(true); break;
    case 3: SetLineHeight(5); break;
    case 4: SetLineBrush(TBrush::bsClear); break;
    case 5: SetColorEachPoint(true); break;
    case 6: Marks()->SetVisible(true); break;
    case 7: LinePen()->SetVisible(false); break;
    case 8: OutLine()->SetVisible(true); break;
    default: TCustomSeries::SetSubGallery(Index); break;
    }
}

void TLineSeries::PrepareLegendCanvas(int, TColor&, TBrush::TBrushStyle& BrushStyle)
{
    if (ParentChart())
        ParentChart()->Canvas().AssignVisiblePen(*LinePen());
    BrushStyle = LineBrush();
}

THorizLineSeries::THorizLineSeries(TComponent* AOwner) : TLineSeries(AOwner)
{
    SetHorizontal();
    SetVisibleRangeSearch(false);
    XValues()->InitOrder(loNone);
    YValues()->InitOrder(loAscending);
}

void THorizLineSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    PlaceMarkBeside(*this, ValueIndex, APosition, true);
    TCustomSeries::DrawMark(ValueIndex, St, APosition);
}

int THorizLineSeries::CalcMarksMargin()
{
    return ParentChart() ? ParentChart()->MaxMarkWidth() : 0;
}

// --- TPointSeries -------------------------------------------------------------------------------

TPointSeries::TPointSeries(TComponent* AOwner) : TCustomSeries(AOwner)
{
    Pointer()->SetVisible(true);
    SetClickableLine(false);
    Marks()->Callout()->SetLength(0);
    Marks()->Callout()->SetDefaultLength(0);
}

void TPointSeries::Assign(const TPersistent* Source)
{
    TCustomSeries::Assign(Source);
    SetDrawArea(false);
    SetLineDrawn(false);
    SetClickableLine(false);
}

int TPointSeries::GetTransparency() const
{
    return Pointer()->Transparency();
}

void TPointSeries::SetTransparency(int Value)
{
    Pointer()->SetTransparency(Value);
}

void TPointSeries::SetColorEachPoint(bool Value)
{
    TCustomSeries::SetColorEachPoint(Value);
    // A series being read takes its pointer's colour from the file.
    if (Value && !IsLoading())
        Pointer()->SetColor(clPlotColor);
}

void TPointSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCustomSeries::CreateSubGallery(AddSubChart);
    for (const QString* Caption : {&PlotMsg_StyleColors, &PlotMsg_StyleMarks, &PlotMsg_StyleHollow,
                                   &PlotMsg_StyleNoBorder, &PlotMsg_StyleGradient})
        AddSubChart(*Caption);
    if (SubGalleryPointerStyles())
        for (const QString* Caption : {&PlotMsg_StylePoint2D, &PlotMsg_StyleTriangle, &PlotMsg_StyleStar,
                                       &PlotMsg_StyleCircle, &PlotMsg_StyleDownTriangle, &PlotMsg_StyleCross,
                                       &PlotMsg_StyleDiamond})
            AddSubChart(*Caption);
}

void TPointSeries::SetSubGallery(int Index)
{
    TSeriesPointer& P = *Pointer();
    switch (Index) {
    case 1: SetColorEachPoint(true); return;
    case 2: Marks()->SetVisible(true); return;
    case 3: P.Brush()->SetStyle(TBrush::bsClear); return;
    case 4: P.Pen()->SetVisible(false); return;
    case 5: P.Gradient()->SetVisible(true); return;
    default: break;
    }
    if (!SubGalleryPointerStyles()) {
        TCustomSeries::SetSubGallery(Index);
        return;
    }
    switch (Index) {
    case 6: P.SetDraw3D(false); break;
    case 7: P.SetStyle(psTriangle); break;
    case 8: P.SetStyle(psStar); break;
    case 9:
        P.SetStyle(psCircle);
        P.SetHorizSize(8);
        P.SetVertSize(8);
        break;
    case 10: P.SetStyle(psDownTriangle); break;
    case 11: P.SetStyle(psCross); break;
    case 12: P.SetStyle(psDiamond); break;
    default: TCustomSeries::SetSubGallery(Index); break;
    }
}

void TPointSeries::PrepareForGallery(bool IsEnabled)
{
    TCustomSeries::PrepareForGallery(IsEnabled);
    if (!ParentChart())
        return;
    const int Size = ParentChart()->Width() < 50 ? 4 : 6;
    Pointer()->SetHorizSize(Size);
    Pointer()->SetVertSize(Size);
    if (ParentChart()->SeriesCount() > 1 && ParentChart()->Series(1) == this)
        Pointer()->SetStyle(psTriangle);
}

// --- TAreaSeries --------------------------------------------------------------------------------

TAreaSeries::TAreaSeries(TComponent* AOwner) : TCustomSeries(AOwner)
{
    SetDrawArea(true);
    SetFunctionResultCentered(false);
    Pointer()->SetVisible(false);
}

void TAreaSeries::Assign(const TPersistent* Source)
{
    TCustomSeries::Assign(Source);
    SetDrawArea(true);
    SetLineDrawn(true);
    if (const auto* S = qobject_cast<const TAreaSeries*>(Source);
        S && (S->metaObject()->inherits(metaObject()) || metaObject()->inherits(S->metaObject()))) {
        FUseYOrigin = S->FUseYOrigin;
        FYOrigin = S->FYOrigin;
    } else if (Source) {
        Pointer()->SetVisible(false);
    }
}

TMultiArea TAreaSeries::MultiArea() const
{
    switch (Stacked()) {
    case cssStack: return maStacked;
    case cssStack100: return maStacked100;
    default: return maNone;
    }
}

void TAreaSeries::SetMultiArea(TMultiArea Value)
{
    const TCustomSeriesStack Mapped = Value == maStacked ? cssStack : Value == maStacked100 ? cssStack100 : cssNone;
    if (Mapped != Stacked())
        SetStacked(Mapped);
}

bool TAreaSeries::DrawSeriesForward() const
{
    if (MultiArea() == maNone)
        return TCustomSeries::DrawSeriesForward();
    const TChartAxis* Axis = MandatoryAxis();
    return !(Axis && Axis->Inverted());
}

int TAreaSeries::GetOriginPos(int ValueIndex) const
{
    if (FUseYOrigin)
        return CalcPosValue(FYOrigin);
    return TCustomSeries::GetOriginPos(ValueIndex);
}

void TAreaSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCustomSeries::CreateSubGallery(AddSubChart);
    for (const QString* Caption : {&PlotMsg_StyleStairs, &PlotMsg_StyleMarks, &PlotMsg_StyleColors,
                                   &PlotMsg_StyleHollow, &PlotMsg_StyleNoLines, &PlotMsg_StyleStack,
                                   &PlotMsg_StyleStack100, &PlotMsg_StylePoints, &PlotMsg_StyleGradient})
        AddSubChart(*Caption);
}

void TAreaSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1: SetStairs(true); break;
    case 2: Marks()->SetVisible(true); break;
    case 3: SetColorEachPoint(true); break;
    case 4: SetAreaBrush(TBrush::bsClear); break;
    case 5: AreaLinesPen()->SetVisible(false); break;
    case 6: SetMultiArea(maStacked); break;
    case 7: SetMultiArea(maStacked100); break;
    case 8: Pointer()->SetVisible(true); break;
    case 9: GetFillGradient()->SetVisible(true); break;
    default: TCustomSeries::SetSubGallery(Index); break;
    }
}

void TAreaSeries::PrepareForGallery(bool IsEnabled)
{
    TCustomSeries::PrepareForGallery(IsEnabled);
    Gradient()->SetVisible(true);
    Gradient()->SetEndColor(GetSeriesColor());
}

void TAreaSeries::PrepareLegendCanvas(int, TColor& BackColor, TBrush::TBrushStyle& BrushStyle)
{
    (void)BackColor;
    if (!ParentChart())
        return;
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    if (AreaColor() != clPlotColor)
        Canvas.Brush()->SetColor(AreaColor());
    Canvas.AssignVisiblePen(*AreaLinesPen());
    BrushStyle = AreaBrush();
}

void TAreaSeries::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    if (!ParentChart())
        return;
    if (Gradient()->Visible()) {
        Gradient()->Draw(ParentChart()->Canvas(), Rect);
        return;
    }
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    const TColor Item = ValueIndex == -1 ? GetSeriesColor() : LegendItemColor(ValueIndex);
    TColor Fill = AreaColor() == clPlotColor ? Item : AreaColor();
    if (Brush()->HasImage() && Fill == Item)
        Fill = clWhite;
    Canvas.Brush()->SetColor(Fill);
    TCustomSeries::DrawLegendShape(ValueIndex, Rect);
}

THorizAreaSeries::THorizAreaSeries(TComponent* AOwner) : TAreaSeries(AOwner)
{
    SetHorizontal();
    XValues()->InitOrder(loNone);
    YValues()->InitOrder(loAscending);
    // The band's gradient runs across it, right to left; that start is what
    // a file that leaves the direction out reads back as.
    Gradient()->SetDirection(gdRightLeft);
    KeepStartAsDefault(*Gradient(), {"Direction"});
}

void THorizAreaSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    PlaceMarkBeside(*this, ValueIndex, APosition, false);
    TCustomSeries::DrawMark(ValueIndex, St, APosition);
}

} // namespace lp
