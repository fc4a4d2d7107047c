// Polar, radar and polar bar series: positions by angle and radius, the
// frame of rings, spokes, labels and radial axes, sectors, clicks, gallery
// and registration.

#include "chart/extensions/circular/PlotPolarSeries.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisLabelBoxes.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/circular/PlotCircular_p.h"
#include "platform/core/ClassRegistry.h"

#include <array>
#include <climits>
#include <cmath>

namespace lp {

using circular::DegToRad;

const QString PolarDegreeSign = QString(QChar(0xB0));

namespace {

// Spokes and rings stop after this many: a tiny increment must not stall a
// paint.
constexpr int MaxFrameSteps = 10000;

bool IsBrushClear(const TChartBrush& Brush)
{
    return Brush.Style() == TBrush::bsClear;
}

} // namespace

// --- TCustomPolarSeries -------------------------------------------------------------------------

TCustomPolarSeries::TCustomPolarSeries(TComponent* AOwner) : TCircledSeries(AOwner)
{
    FPointer = std::make_unique<TSeriesPointer>(this);
    YValues()->SetName(PlotMsg_ValuesRadius);
    UseClearBrush();
    FCircleLabelsFont = std::make_unique<TPlotFont>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); });
    FCirclePen = CreateChartPen();
}

TCustomPolarSeries::~TCustomPolarSeries()
{
    // The font and the pen call back into the series on change.
    FCirclePen.reset();
    FCircleLabelsFont.reset();
}

void TCustomPolarSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TCustomPolarSeries*>(Source)) {
        FCircleLabels = S->FCircleLabels;
        FCircleLabelsFont->Assign(S->FCircleLabelsFont.get());
        FCircleLabelsInside = S->FCircleLabelsInside;
        FCircleLabelsRotated = S->FCircleLabelsRotated;
        FCirclePen->Assign(S->FCirclePen.get());
        FLabelsMargin = S->FLabelsMargin;
        FClockWiseLabels = S->FClockWiseLabels;
        FCloseCircle = S->FCloseCircle;
        FPointer->Assign(S->FPointer.get());
        FTransparency = S->FTransparency;
    }
    TCircledSeries::Assign(Source);
}

void TCustomPolarSeries::SetParentChart(TCustomAxisPanel* Value)
{
    TCircledSeries::SetParentChart(Value);
    FPointer->SetParentChart(Value);
    if (Value && IsDesigning())
        Value->SetView3D(false);
}

void TCustomPolarSeries::SetTransparency(int Value)
{
    SetIntegerProperty(FTransparency, std::clamp(Value, 0, 100));
}

double TCustomPolarSeries::AngleIncrement() const
{
    const TChartAxis* Axis = ParentChart() ? GetHorizAxis() : nullptr;
    if (!Axis || Axis->Increment() == 0)
        return 10;
    return Axis->Increment();
}

void TCustomPolarSeries::SetAngleIncrement(double Value)
{
    if (TChartAxis* Axis = ParentChart() ? GetHorizAxis() : nullptr)
        Axis->SetIncrement(Value);
}

double TCustomPolarSeries::RadiusIncrement() const
{
    const TChartAxis* Axis = ParentChart() ? GetVertAxis() : nullptr;
    return Axis ? Axis->Increment() : 0;
}

void TCustomPolarSeries::SetRadiusIncrement(double Value)
{
    if (TChartAxis* Axis = ParentChart() ? GetVertAxis() : nullptr)
        Axis->SetIncrement(Value);
}

bool TCustomPolarSeries::IsRadiusValuesStored() const
{
    const TChartValueList& R = *YValues();
    return R.Name() != PlotMsg_ValuesRadius || R.DateTime() || R.Order() != loNone || !R.ValueSource().isEmpty();
}

QString TCustomPolarSeries::GetCircleLabel(int Index, double Angle) const
{
    (void)Index;
    if (FClockWiseLabels)
        Angle = 360 - Angle;
    if (Angle >= 360)
        Angle = 0;
    return circular::ShortestText(Angle) + PolarDegreeSign;
}

double TCustomPolarSeries::RadiusFraction(double Value) const
{
    const TChartAxis* Axis = GetVertAxis();
    if (!Axis)
        return 0;
    const double Min = Axis->Minimum();
    const double Max = Axis->Maximum();
    const double Range = Max - Min;
    if (Range == 0)
        return 0;
    if (!Axis->Logarithmic()) {
        const double V = Axis->Inverted() ? Max - Value : Value - Min;
        return V < 0 ? 0 : V / Range;
    }
    // Logarithmic: the radius itself on the scale from the minimum (taken
    // as 1 when it is not positive) to the maximum.
    if (!(Value > 0))
        return 0;
    const double LogMin = Min > 0 ? std::log(Min) : 0;
    const double LogMax = std::log(Max);
    // A maximum of 1 with no positive minimum has no logarithmic span:
    // the point goes to the centre instead of dividing by zero.
    if (!(LogMax != LogMin) || !std::isfinite(LogMax))
        return 0;
    const double Num = Axis->Inverted() ? LogMax - std::log(Value) : std::log(Value) - LogMin;
    return Num < 0 ? 0 : Num / (LogMax - LogMin);
}

TPoint TCustomPolarSeries::PointPosition(int Index) const
{
    const double F = RadiusFraction(YValues()->Value(Index));
    const double Angle = GetXValue(Index) * DegToRad;
    TPoint P;
    AngleToPos(Angle, RoundPixel(F * FXRadius), RoundPixel(F * FYRadius), P.X, P.Y);
    if (F == 0)
        P = {FCircleXCenter, FCircleYCenter};
    return P;
}

// --- Frame --------------------------------------------------------------------------------------

bool TCustomPolarSeries::IsFirstOfClass() const
{
    return circular::IsEndOfClass(*this, false);
}

bool TCustomPolarSeries::IsLastOfClass() const
{
    return circular::IsEndOfClass(*this, true);
}

bool TCustomPolarSeries::AxesBehind() const
{
    const TCustomAxisPanel* Chart = ParentChart();
    bool Result = Chart->AxisBehind();
    if (Chart->View3D() && !Chart->View3DOptions()->Orthogonal() && Chart->IsBackFacing(0))
        Result = !Result;
    return Result;
}

void TCustomPolarSeries::DoBeforeDrawValues()
{
    TCircledSeries::DoBeforeDrawValues();
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || !IsFirstOfClass())
        return;
    if (FCircleLabels && !FCircleLabelsInside) {
        TPlotCanvas3D& Canvas = Chart->Canvas();
        Canvas.AssignFont(*FCircleLabelsFont);
        CalcCircleRect(circular::ShrinkChartRectangle(*Chart, Canvas.TextWidth(QStringLiteral("360")),
                                                      Canvas.FontHeight() + 2));
    }
    DrawBackground();
    if (AxesBehind())
        DrawFrameLines();
}

void TCustomPolarSeries::DoAfterDrawValues()
{
    TCircledSeries::DoAfterDrawValues();
    if (ParentChart() && !AxesBehind() && IsLastOfClass())
        DrawFrameLines();
}

void TCustomPolarSeries::DrawBackground()
{
    TCustomAxisPanel& Chart = *ParentChart();
    TPlotCanvas3D& Canvas = Chart.Canvas();
    circular::PrepareCircleBackground(Canvas, CircleBackColor(), *FCirclePen);
    if (Chart.HasBackImage() && Chart.BackImageInside()) {
        // The chart's inside picture shows within the circle only.
        TRect R = FCircleRect;
        if (Chart.View3D())
            R = Canvas.CalculateRect3D(R, FrameZ());
        Canvas.ClipEllipse(R, false);
        Chart.DrawBackImage(FCircleRect, FrameZ());
        Canvas.UnClipRectangle();
        Canvas.Brush()->SetStyle(TBrush::bsClear);
    }
    if (FPolygonSides > 0)
        DrawRing(FXRadius, FYRadius);
    else
        Canvas.EllipseWithZ(FCircleRect.Left, FCircleRect.Top, FCircleRect.Right, FCircleRect.Bottom, FrameZ());
    if (Gradient()->Visible())
        DrawCircleGradient();
}

void TCustomPolarSeries::DrawCircleGradient()
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || FPolygonSides <= 0) {
        TCircledSeries::DrawCircleGradient();
        return;
    }
    TPlotCanvas3D& Canvas = Chart->Canvas();
    const double Step = AngleIncrement() * DegToRad;
    std::vector<TPoint> Points(static_cast<size_t>(FPolygonSides));
    for (int K = 0; K < FPolygonSides; ++K) {
        TPoint& P = Points[static_cast<size_t>(K)];
        AngleToPos(K * Step, FXRadius, FYRadius, P.X, P.Y);
        if (Chart->View3D())
            P = Canvas.Calculate3DPosition(P.X, P.Y, FrameZ());
    }
    Canvas.ClipPolygon(Points, FPolygonSides);
    Gradient()->Draw(Canvas, PolygonBounds(Points, FPolygonSides));
    Canvas.UnClipRectangle();
}

void TCustomPolarSeries::DrawRing(int RX, int RY)
{
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    if (FPolygonSides <= 0) {
        Canvas.EllipseWithZ(FCircleXCenter - RX, FCircleYCenter - RY, FCircleXCenter + RX, FCircleYCenter + RY,
                            FrameZ());
        return;
    }
    const double Step = AngleIncrement() * DegToRad;
    std::vector<TPoint> Points(static_cast<size_t>(FPolygonSides) + 1);
    for (int K = 0; K <= FPolygonSides; ++K) {
        TPoint& P = Points[static_cast<size_t>(K)];
        AngleToPos(K * Step, RX, RY, P.X, P.Y);
    }
    if (Canvas.Brush()->Style() == TBrush::bsClear)
        Canvas.PolylineWithZ(Points, FrameZ());
    else
        Canvas.PolygonWithZ(std::span<const TPoint>(Points).first(static_cast<size_t>(FPolygonSides)), FrameZ());
}

void TCustomPolarSeries::DrawFrameLines()
{
    TCustomAxisPanel& Chart = *ParentChart();
    circular::RunBeforeDrawAxes(Chart);
    DrawSpokesAndLabels();
    DrawRings();
    if (Chart.AxisVisible())
        DrawRadialAxes();
}

void TCustomPolarSeries::DrawSpokesAndLabels()
{
    TChartAxis* AngleAxis = GetHorizAxis();
    if (!AngleAxis)
        return;
    const bool Grid = AngleAxis->Grid()->Visible();
    if (!Grid && !FCircleLabels)
        return;
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    Canvas.SetBackMode(TRANSPARENT);
    const double Step = AngleAxis->Increment() > 0 ? AngleAxis->Increment() : 10.0;
    double A = 0;
    for (int K = 0; A < 360 - 1e-12 && K < MaxFrameSteps; ++K, A = K * Step) {
        if (FCircleLabels)
            DrawCircleLabel(K, A);
        if (Grid) {
            const TAxisGridPen& Pen = *AngleAxis->Grid();
            Canvas.AssignVisiblePenColor(Pen, Pen.Color() == clPlotColor ? clGray : Pen.Color());
            Canvas.Brush()->SetStyle(TBrush::bsClear);
            int X = 0;
            int Y = 0;
            AngleToPos(A * DegToRad, FXRadius, FYRadius, X, Y);
            Canvas.LineWithZ(FCircleXCenter, FCircleYCenter, X, Y, FrameZ());
        }
    }
}

void TCustomPolarSeries::DrawCircleLabel(int Index, double Angle)
{
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    const QString Text = GetCircleLabel(Index, Angle);
    Canvas.AssignFont(*FCircleLabelsFont);
    Canvas.SetBackMode(TRANSPARENT);
    const int H = Canvas.FontHeight();
    double RX = FXRadius;
    double RY = FYRadius;
    double Factor = FLabelsMargin / 100.0;
    if (FCircleLabelsInside) {
        RX -= Canvas.TextWidth(QStringLiteral("   "));
        RY -= H;
        Factor = -Factor;
    }
    RX += RoundPixel(RX * Factor);
    RY += RoundPixel(RY * Factor);
    int X = 0;
    int Y = 0;
    AngleToPos(Angle * DegToRad, RX, RY, X, Y);
    double A = Angle + RotationAngle();
    if (A >= 360)
        A -= 360;
    if (FCircleLabelsRotated) {
        const int DX = RoundPixel(std::sin(A * DegToRad) * H / 2.0);
        const int DY = RoundPixel(std::cos(A * DegToRad) * H / 2.0);
        const bool LeftHalf = A > 90 && A < 270;
        X += LeftHalf ? DX : -DX;
        Y += LeftHalf ? DY : -DY;
        Canvas.SetTextAlign((LeftHalf ? TA_RIGHT : TA_LEFT) | TA_TOP);
        Canvas.RotateLabel3D(X, Y, FrameZ(), Text, LeftHalf ? A + 180 : A);
        return;
    }
    if (A > 0 && A < 180)
        Y -= H;
    else if (A == 0 || A == 180)
        Y -= H / 2;
    unsigned Align = TA_LEFT;
    if (A == 90 || A == 270)
        Align = TA_CENTER;
    else if ((A > 90 && A < 270) != FCircleLabelsInside)
        Align = TA_RIGHT;
    if (A == 0)
        X += Canvas.TextWidth(QStringLiteral("0")) / 2;
    else if (A == 180)
        X -= Canvas.TextWidth(QStringLiteral("0")) / 2;
    Canvas.SetTextAlign(Align | TA_TOP);
    Canvas.TextOut3D(X, Y, FrameZ(), Text);
}

void TCustomPolarSeries::DrawRings()
{
    TChartAxis* Axis = GetVertAxis();
    if (!Axis || !Axis->Grid()->Visible())
        return;
    const double Step = Axis->Increment() > 0 ? Axis->Increment() : Axis->CalcLabelsIncrement();
    const double Max = Axis->Maximum();
    const double Min = Axis->Minimum();
    if (!(Step > 0) || !(Max > Min))
        return;
    if (std::fabs(Max / Step) > INT_MAX || !(std::fabs((Max - Min) / Step) < MaxFrameSteps))
        return;
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    const TAxisGridPen& Pen = *Axis->Grid();
    Canvas.AssignVisiblePenColor(Pen, Pen.Color() == clPlotColor ? clGray : Pen.Color());
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    Canvas.SetBackMode(TRANSPARENT);
    double V = Axis->RoundFirstLabel() ? std::trunc(Max / Step) * Step : Max;
    const bool OnAxis = Axis->LabelsOnAxis();
    while (OnAxis ? V > Max : V >= Max)
        V -= Step;
    for (int K = 0; (OnAxis ? V >= Min : V > Min) && K <= MaxFrameSteps; ++K, V -= Step) {
        const double F = (V - Min) / (Max - Min);
        DrawRing(RoundPixel(FXRadius * F), RoundPixel(FYRadius * F));
    }
}

void TCustomPolarSeries::DrawRadialAxes()
{
    TCustomAxisPanel& Chart = *ParentChart();
    const TChartAxis* Radius = GetVertAxis();
    if (!Radius)
        return;
    // Each axis along a radius in its own direction, over the radius axis'
    // range: the right one upwards (for a radar it takes the radius axis'
    // Inverted), the left one downwards and the top one leftwards, these
    // two inverted so that their minimum lies at the centre, and the
    // bottom one rightwards. Inverted is put back after each.
    // The axes meet at the centre: a label that would overlap one of
    // another axis is left out.
    std::vector<TRect> LabelBoxes;
    const auto Draw = [&](TChartAxis* Axis, int Start, int End, int Line, int Outward, bool Inverted) {
        if (!Axis->Visible())
            return;
        const bool Was = Axis->Inverted();
        Axis->SetInverted(Inverted);
        const int Labels = Line + Outward * Axis->CalcTicksSize();
        const int Title = Labels + Outward * Axis->CalcLabelsSize();
        SetSharedLabelBoxes(*Axis, &LabelBoxes);
        try {
            Axis->CustomDrawMinMax(Labels, Title, Line, false, Radius->Minimum(), Radius->Maximum(),
                                   Radius->Increment(), Start, End);
        } catch (...) {
            SetSharedLabelBoxes(*Axis, nullptr);
            Axis->SetInverted(Was);
            throw;
        }
        SetSharedLabelBoxes(*Axis, nullptr);
        Axis->SetInverted(Was);
    };
    const int CX = FCircleXCenter;
    const int CY = FCircleYCenter;
    TChartAxis* Right = Chart.RightAxis();
    Draw(Right, CY - FYRadius, CY, CX, 1, FPolygonSides > 0 ? Radius->Inverted() : Right->Inverted());
    if (FPolygonSides > 0)
        return;
    Draw(Chart.LeftAxis(), CY, CY + FYRadius, CX, -1, true);
    Draw(Chart.TopAxis(), CX - FXRadius, CX, CY, -1, true);
    Draw(Chart.BottomAxis(), CX, CX + FXRadius, CY, 1, false);
}

// --- Points -------------------------------------------------------------------------------------

int TCustomPolarSeries::FirstDrawnIndex() const
{
    for (int I = std::max(0, FirstVisibleIndex()); I <= LastVisibleIndex() && I < Count(); ++I)
        if (!IsNull(I))
            return I;
    return -1;
}

int TCustomPolarSeries::LastDrawnIndex() const
{
    for (int I = std::min(LastVisibleIndex(), Count() - 1); I >= 0 && I >= FirstVisibleIndex(); --I)
        if (!IsNull(I))
            return I;
    return -1;
}

void TCustomPolarSeries::PreparePen(int ValueIndex)
{
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    if (Pen()->Visible())
        Canvas.AssignVisiblePenColor(*Pen(), Pen()->Color() == clPlotColor ? GetValueColor(ValueIndex)
                                                                           : Pen()->Color());
    else
        Canvas.Pen()->SetStyle(TPen::psClear);
}

void TCustomPolarSeries::DrawValue(int ValueIndex)
{
    if (!ParentChart() || IsNull(ValueIndex))
        return;
    const TPoint P = PointPosition(ValueIndex);
    PreparePen(ValueIndex);
    ParentChart()->Canvas().SetBackMode(TRANSPARENT);
    DrawValueLine(ValueIndex, P.X, P.Y);
    SetLastPoint(P);
}

void TCustomPolarSeries::FillSector(int ValueIndex, const TPoint& A, const TPoint& B)
{
    if (IsBrushClear(*Brush()))
        return;
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    const TPoint Centre{FCircleXCenter, FCircleYCenter};
    Canvas.AssignBrush(*Brush(), GetValueColor(ValueIndex));
    Canvas.Pen()->SetStyle(TPen::psClear);
    std::unique_ptr<TPlotBlend> Blend;
    if (FTransparency > 0) {
        const std::array<TPoint, 3> Corners{Canvas.Calculate3DPoint(Centre, FrameZ()),
                                            Canvas.Calculate3DPoint(A, FrameZ()),
                                            Canvas.Calculate3DPoint(B, FrameZ())};
        Blend = Canvas.BeginBlending(PolygonBounds(Corners, 3), FTransparency);
    }
    Canvas.TriangleWithZ(Centre, A, B, FrameZ());
    Canvas.EndBlending(std::move(Blend));
    PreparePen(ValueIndex);
}

void TCustomPolarSeries::DrawValueLine(int ValueIndex, int X, int Y)
{
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    const TPoint P{X, Y};
    if (ValueIndex == FirstDrawnIndex()) {
        Canvas.MoveTo3D(X, Y, FrameZ());
    } else if (P != LastPoint()) {
        FillSector(ValueIndex, LastPoint(), P);
        Canvas.LineWithZ(FOldX, FOldY, X, Y, FrameZ());
    }
    if (ValueIndex != LastDrawnIndex() || !FCloseCircle)
        return;
    const int First = FirstDrawnIndex();
    if (First == ValueIndex)
        return;
    const TPoint Start = PointPosition(First);
    FillSector(ValueIndex, P, Start);
    // The closing line takes the first point's colour when each point has
    // its own.
    if (ColorEachPoint() && !IsBrushClear(*Brush()) && Pen()->Visible())
        Canvas.AssignVisiblePenColor(*Pen(), GetValueColor(First));
    Canvas.LineWithZ(X, Y, Start.X, Start.Y, FrameZ());
}

void TCustomPolarSeries::DrawAllValues()
{
    TCircledSeries::DrawAllValues();
    if (!ParentChart() || !FPointer->Visible())
        return;
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    for (int I = std::max(0, FirstVisibleIndex()); I <= LastVisibleIndex() && I < Count(); ++I) {
        if (IsNull(I))
            continue;
        const TColor Color = GetValueColor(I);
        const TPoint P = PointPosition(I);
        FPointer->PrepareCanvas(Canvas, Color);
        FPointer->DrawWithStyle(P.X, P.Y, OnGetPointerStyle ? OnGetPointerStyle(this, I) : FPointer->Style(), Color);
    }
}

void TCustomPolarSeries::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || (!Pen()->Visible() && !FPointer->Visible())) {
        TCircledSeries::DrawLegendShape(ValueIndex, Rect);
        return;
    }
    TPlotCanvas3D& Canvas = Chart->Canvas();
    if (Pen()->Visible()) {
        Canvas.AssignVisiblePen(*Pen());
        Canvas.SetBackMode(TRANSPARENT);
        const int MidY = (Rect.Top + Rect.Bottom) / 2;
        Canvas.Line(Rect.Left, MidY, Rect.Right, MidY);
    }
    if (FPointer->Visible()) {
        const TColor Color = ValueIndex == -1 ? GetSeriesColor() : LegendItemColor(ValueIndex);
        FPointer->DrawLegendShape(Canvas, Color, Rect, Pen()->Visible());
    }
}

void TCustomPolarSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    Marks()->ApplyArrowLength(APosition);
    TCircledSeries::DrawMark(ValueIndex, St, APosition);
}

void TCustomPolarSeries::SetSeriesColor(TColor Color)
{
    TCircledSeries::SetSeriesColor(Color);
    if (IsBrushClear(*Brush()))
        Pen()->SetColor(Color);
}

// --- Clicks -------------------------------------------------------------------------------------

bool TCustomPolarSeries::SectorOrSegmentHolds(const TPoint& P, const TPoint& A, const TPoint& B) const
{
    const TPoint Centre{FCircleXCenter, FCircleYCenter};
    if (!IsBrushClear(*Brush()) && PointInTriangle(P, Centre, A, B))
        return true;
    return Pen()->Visible() && PointInLinePts(P, A, B);
}

int TCustomPolarSeries::Clicked(int X, int Y)
{
    if (const int Base = TCircledSeries::Clicked(X, Y); Base != -1)
        return Base;
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return -1;
    if (Chart->View3D())
        Chart->Canvas().Calculate2DPosition(X, Y, FrameZ());
    const TPoint P{X, Y};
    int Previous = -1;
    int Visible = 0;
    for (int I = 0; I < Count(); ++I) {
        if (IsNull(I))
            continue;
        const TPoint Pos = PointPosition(I);
        if (Pos == P)
            return I;
        if (FPointer->Visible()) {
            const TSeriesPointerStyle Style = OnGetPointerStyle ? OnGetPointerStyle(this, I) : FPointer->Style();
            if (Style != psNothing && std::abs(Pos.X - X) < FPointer->HorizSize() &&
                std::abs(Pos.Y - Y) < FPointer->VertSize())
                return I;
        }
        if (Previous != -1 && SectorOrSegmentHolds(P, PointPosition(Previous), Pos))
            return Previous;
        Previous = I;
        ++Visible;
    }
    if (FCloseCircle && Visible > 1) {
        const int First = FirstDrawnIndex() == -1 ? 0 : FirstDrawnIndex();
        if (SectorOrSegmentHolds(P, PointPosition(Previous), PointPosition(First)))
            return Previous;
    }
    return -1;
}

// --- Samples and gallery ------------------------------------------------------------------------

void TCustomPolarSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    for (int I = 1; I <= NumValues; ++I)
        AddXY(I * 360.0 / NumValues, RandomValue(1000) + 1);
}

void TCustomPolarSeries::PrepareForGallery(bool IsEnabled)
{
    TCircledSeries::PrepareForGallery(IsEnabled);
    SetCircled(true);
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return;
    if (GetHorizAxis())
        GetHorizAxis()->SetIncrement(90);
    circular::PrepareRoundGalleryView(*Chart);
}

void TCustomPolarSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCircledSeries::CreateSubGallery(AddSubChart);
    for (const QString* Caption : {&PlotMsg_StyleNoPoint, &PlotMsg_StyleNoLine, &PlotMsg_Filled, &PlotMsg_StyleLabels,
                                   &PlotMsg_StyleNoBorder, &PlotMsg_StyleNoCircle})
        AddSubChart(*Caption);
}

void TCustomPolarSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1: FPointer->SetVisible(false); break;
    case 2: Pen()->SetVisible(false); break;
    case 3: Brush()->SetStyle(TBrush::bsSolid); break;
    case 4: SetCircleLabels(true); break;
    case 5: FPointer->Pen()->SetVisible(false); break;
    case 6: FCirclePen->SetVisible(false); break;
    default: TCircledSeries::SetSubGallery(Index); break;
    }
}

// --- TRadarSeries -------------------------------------------------------------------------------

void TRadarSeries::DoBeforeDrawChart()
{
    TCustomPolarSeries::DoBeforeDrawChart();
    SetRotationAngle(90);
    const int Sides = ParentChart() ? ParentChart()->GetMaxValuesCount() : 0;
    SetPolygonSides(Sides);
    if (Sides > 0)
        SetAngleIncrement(360.0 / Sides);
}

int TRadarSeries::SideCount() const
{
    return PolygonSides() > 0 ? PolygonSides() : Count();
}

double TRadarSeries::GetXValue(int Index) const
{
    const int N = SideCount();
    if (N < 1)
        return 0;
    const int I = ClockWiseLabels() ? N - 1 - Index : Index;
    return 360.0 / N * I;
}

QString TRadarSeries::GetCircleLabel(int Index, double Angle) const
{
    (void)Angle;
    if (ClockWiseLabels())
        Index = Count() - 1 - Index;
    const QString Label = Index >= 0 && Index < Count() ? Labels().GetLabel(Index) : QString();
    return Label.isEmpty() ? QString::number(Index) : Label;
}

void TRadarSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    static const std::array<const char*, 5> Names{"Cars", "Phones", "Tables", "Monitors", "Lamps"};
    for (int I = 0; I < NumValues; ++I)
        Add(RandomValue(1000), QString::fromLatin1(Names[static_cast<size_t>(I) % Names.size()]));
}

// --- TPolarBarSeries ----------------------------------------------------------------------------

void TPolarBarSeries::DrawValueLine(int ValueIndex, int X, int Y)
{
    if (IsNull(ValueIndex))
        return;
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    if (Pen()->Visible())
        Canvas.AssignVisiblePenColor(*Pen(), GetValueColor(ValueIndex));
    Canvas.LineWithZ(CircleXCenter(), CircleYCenter(), X, Y, FrameZ());
}

// --- Registration -------------------------------------------------------------------------------

void RegisterPolarSeries()
{
    RegisterPlotSeries<TPolarSeries>(&PlotMsg_GalleryPolar, &PlotMsg_GalleryExtended, 2);
    RegisterPlotSeries<TRadarSeries>(&PlotMsg_GalleryRadar, &PlotMsg_GalleryExtended, 2);
    RegisterPlotSeries<TPolarBarSeries>(&PlotMsg_GalleryPolarBar, &PlotMsg_GalleryExtended, 2);
}

void UnregisterPolarSeries()
{
    const std::initializer_list<const QMetaObject*> Classes = {
        &TPolarSeries::staticMetaObject, &TRadarSeries::staticMetaObject, &TPolarBarSeries::staticMetaObject};
    UnRegisterPlotSeries(Classes);
    for (const QMetaObject* Meta : Classes)
        UnRegisterClass(TPersistent::ClassNameOf(*Meta));
}

} // namespace lp
