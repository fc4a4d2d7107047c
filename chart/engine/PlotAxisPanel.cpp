#include "chart/engine/PlotAxisPanel.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotTools.h"
#include "platform/base/Numeric.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/NumberFormat.h"
#include "platform/ui/Printer.h"

#include <QtCore/QPointer>

#include <algorithm>
#include <cmath>
#include <vector>

namespace lp {

TCustomAxisPanel::TCustomAxisPanel(TComponent* AOwner) : TCustomPlotPanelExtended(AOwner)
{
    SetRepaintEnabled(false);
    FSeriesList = std::make_unique<TChartSeriesList>(this);
    FAxes = std::make_unique<TChartAxes>(this);
    FCustomAxes = std::make_unique<TChartCustomAxes>(this);
    FTools = std::make_unique<TChartTools>(this);
    FBottomAxis = new TChartAxis(this);
    FBottomAxis->SetHorizontal(true);
    FTopAxis = new TChartAxis(this);
    FTopAxis->SetHorizontal(true);
    FTopAxis->SetOtherSide(true);
    FTopAxis->SetZPosition(100);
    FTopAxis->Grid()->SetDefaultZPosition(100);
    FLeftAxis = new TChartAxis(this);
    FLeftAxis->Title()->SetDefaultAngle(90);
    FRightAxis = new TChartAxis(this);
    FRightAxis->Title()->SetDefaultAngle(270);
    FRightAxis->SetOtherSide(true);
    FRightAxis->SetZPosition(100);
    FRightAxis->Grid()->SetDefaultZPosition(100);
    FDepthAxis = new TChartDepthAxis(this);
    FDepthAxis->SetOtherSide(true);
    FDepthTopAxis = new TChartDepthAxis(this);
    SetRepaintEnabled(true);
}

TCustomAxisPanel::~TCustomAxisPanel()
{
    Destroying();
    SetRepaintEnabled(false);
    FreeAllSeries();
    // Axes leave the axes list as they go: free them while it exists. Axis
    // tools lose their axis with it; then the tools go.
    FCustomAxes->Clear();
    FAxes->Clear();
    FTools->Clear();
}

void TCustomAxisPanel::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TCustomAxisPanel*>(Source)) {
        FChart3DPercent = Other->FChart3DPercent;
        FAxisBehind = Other->FAxisBehind;
        FAxisVisible = Other->FAxisVisible;
        FBottomAxis->Assign(Other->FBottomAxis);
        FClipPoints = Other->FClipPoints;
        FColorPalette = Other->FColorPalette;
        FCustomAxes->Assign(Other->FCustomAxes.get());
        FLeftAxis->Assign(Other->FLeftAxis);
        FDepthAxis->Assign(Other->FDepthAxis);
        FDepthTopAxis->Assign(Other->FDepthTopAxis);
        FMaxPointsPerPage = Other->FMaxPointsPerPage;
        FPage = Other->FPage;
        FRightAxis->Assign(Other->FRightAxis);
        FScaleLastPage = Other->FScaleLastPage;
        FTopAxis->Assign(Other->FTopAxis);
        FView3DWalls = Other->FView3DWalls;
    }
    TCustomPlotPanelExtended::Assign(Source);
}

void TCustomAxisPanel::SetChart3DPercent(int Value)
{
    if (Value < 1 || Value > 100)
        throw ChartException(Format(PlotMsg_Chart3DPercent, {1, 100}));
    SetIntegerProperty(FChart3DPercent, Value);
}

// --- Series -------------------------------------------------------------------------------------

TChartSeries* TCustomAxisPanel::AddSeries(TChartSeries* Series)
{
    Series->SetParentChart(this);
    return Series;
}

TChartSeries* TCustomAxisPanel::AddSeriesOfClass(const QMetaObject& SeriesClass)
{
    TComponent* Component = CreateComponent(TPersistent::ClassNameOf(SeriesClass), Owner());
    auto* Series = qobject_cast<TChartSeries*>(Component);
    if (!Series) {
        delete Component;
        throw ChartException(QStringLiteral("%1 is not a series class").arg(TPersistent::ClassNameOf(SeriesClass)));
    }
    return AddSeries(Series);
}

void TCustomAxisPanel::InternalAddSeries(TChartSeries* Series)
{
    if (FSeriesList->IndexOf(Series) >= 0)
        return;
    Series->AttachedToChart();
    FSeriesList->Add(Series);
    BroadcastSeriesEvent(Series, seAdd);
    Invalidate();
}

void TCustomAxisPanel::InternalRemoveSeries(TChartSeries* Series)
{
    const int Index = FSeriesList->IndexOf(Series);
    if (Index < 0)
        return;
    BroadcastSeriesEvent(Series, seRemove);
    Series->DetachedFromChart();
    FSeriesList->Remove(Series);
    TSeriesGroups& Groups = FSeriesList->Groups();
    for (int G = 0; G < Groups.Count(); ++G)
        Groups.Items(G)->Series().Remove(Series);
    Invalidate();
}

void TCustomAxisPanel::RemoveSeries(TChartSeries* Series)
{
    if (Series && Series->ParentChart() == this)
        Series->SetParentChart(nullptr);
}

void TCustomAxisPanel::RemoveSeries(int Index)
{
    if (Index >= 0)
        RemoveSeries(Series(Index));
}

void TCustomAxisPanel::FreeAllSeries(const QMetaObject* SeriesClass)
{
    // A series can free others with it (a function's own lines), so the list
    // shrinks by more than one: walk a guarded copy, last first.
    const std::vector<QPointer<TChartSeries>> Doomed(FSeriesList->begin(), FSeriesList->end());
    for (auto It = Doomed.rbegin(); It != Doomed.rend(); ++It) {
        TChartSeries* S = It->data();
        if (S && (!SeriesClass || S->metaObject()->inherits(SeriesClass))) {
            S->SetParentChart(nullptr);
            delete S;
        }
    }
}

void TCustomAxisPanel::ExchangeSeries(int A, int B)
{
    TChartSeries* SeriesA = Series(A);
    TChartSeries* SeriesB = Series(B);
    FSeriesList->Exchange(A, B);
    TSeriesGroups& Groups = FSeriesList->Groups();
    const int G = Groups.IndexOfSeries(SeriesA);
    if (G >= 0) {
        TCustomSeriesList& Members = Groups.Items(G)->Series();
        const int InA = Members.IndexOf(SeriesA);
        const int InB = Members.IndexOf(SeriesB);
        if (InB >= 0)
            Members.Exchange(InA, InB);
    }
    BroadcastSeriesEvent(nullptr, seSwap);
    Invalidate();
}

void TCustomAxisPanel::ExchangeSeriesObjects(TChartSeries* A, TChartSeries* B)
{
    ExchangeSeries(FSeriesList->IndexOf(A), FSeriesList->IndexOf(B));
}

int TCustomAxisPanel::CountActiveSeries() const
{
    return static_cast<int>(std::count_if(FSeriesList->begin(), FSeriesList->end(),
                                          [](const TChartSeries* S) { return S->Active(); }));
}

int TCustomAxisPanel::GetMaxValuesCount() const
{
    int Result = 0;
    for (const TChartSeries* S : *FSeriesList)
        if (S->Active())
            Result = std::max(Result, S->Count());
    return Result;
}

QString TCustomAxisPanel::SeriesTitleLegend(int Index, bool OnlyActive) const
{
    int Counted = -1;
    for (TChartSeries* S : *FSeriesList) {
        if (!S->ShowInLegend())
            continue;
        bool Counts = false;
        switch (FLegendCheckMode) {
        case 0:
            Counts = !OnlyActive || S->Active();
            break;
        case 1:
            Counts = !(OnlyActive && S->HorizontalExcluded());
            break;
        case 2:
            Counts = !(OnlyActive && S->VerticalExcluded());
            break;
        default:
            break;
        }
        if (Counts && ++Counted == Index)
            return SeriesTitleOrName(S);
    }
    return {};
}

int TCustomAxisPanel::MaxLabelsWidth() const
{
    int Widest = 0;
    int Lines = 0;
    for (const TChartSeries* S : *FSeriesList)
        for (int I = 0; I < S->Labels().Count(); ++I)
            Widest = std::max(Widest, MultiLineTextWidth(S->Labels().GetLabel(I), Lines));
    return Widest;
}

int TCustomAxisPanel::MaxMarkWidth() const
{
    int Widest = 0;
    int Lines = 0;
    for (TChartSeries* S : *FSeriesList) {
        if (!S->Active())
            continue;
        for (int I = 0; I < S->Count(); ++I)
            if (S->Marks()->ItemVisible(I))
                Widest = std::max(Widest, MultiLineTextWidth(S->GetMarkText(I), Lines));
    }
    return Widest;
}

// --- Axes ---------------------------------------------------------------------------------------

TChartAxis* TCustomAxisPanel::DepthAxis() const
{
    return FDepthAxis;
}

TChartAxis* TCustomAxisPanel::DepthTopAxis() const
{
    return FDepthTopAxis;
}

void TCustomAxisPanel::SetBottomAxis(const TChartAxis* Value)
{
    FBottomAxis->Assign(Value);
}

void TCustomAxisPanel::SetTopAxis(const TChartAxis* Value)
{
    FTopAxis->Assign(Value);
}

void TCustomAxisPanel::SetLeftAxis(const TChartAxis* Value)
{
    FLeftAxis->Assign(Value);
}

void TCustomAxisPanel::SetRightAxis(const TChartAxis* Value)
{
    FRightAxis->Assign(Value);
}

void TCustomAxisPanel::SetDepthAxis(const TChartAxis* Value)
{
    FDepthAxis->Assign(Value);
}

void TCustomAxisPanel::SetDepthTopAxis(const TChartAxis* Value)
{
    FDepthTopAxis->Assign(Value);
}

void TCustomAxisPanel::SetCustomAxes(const TChartCustomAxes* Value)
{
    FCustomAxes->Assign(Value);
}

void TCustomAxisPanel::Loaded()
{
    TCustomPlotPanelExtended::Loaded();
    FSeriesList->Groups().ResolveSeriesNames(*FSeriesList);
}

namespace {

TAxisLabelStyle EffectiveLabelStyle(const TChartAxis& Axis)
{
    return Axis.LabelStyle() == talAuto ? Axis.CalcLabelStyle() : Axis.LabelStyle();
}

// Whether Series shows its values on Axis for the direction IsX.
bool SeriesOnAxis(const TChartSeries& Series, const TChartAxis* Axis, bool IsX)
{
    if (IsX)
        return Series.GetHorizAxis() == Axis || Series.HorizAxis() == aBothHorizAxis;
    return Series.GetVertAxis() == Axis || Series.VertAxis() == aBothVertAxis;
}

} // namespace

bool TCustomAxisPanel::AxisIsPositionAxis(const TChartAxis* Axis) const
{
    for (const TChartSeries* S : *FSeriesList)
        if (S->AssociatedToAxis(Axis))
            return Axis->Horizontal() == S->MandatoryIsY();
    return false;
}

double TCustomAxisPanel::PagedMinMax(const TChartAxis* Axis, bool IsMin) const
{
    TChartSeries* Widest = nullptr;
    for (TChartSeries* S : *FSeriesList)
        if (S->Active() && S->AssociatedToAxis(Axis) && (!Widest || S->Count() > Widest->Count()))
            Widest = S;
    if (!Widest || Widest->Count() == 0)
        return 0;
    int First = 0;
    int Last = 0;
    Widest->CalcFirstLastPage(First, Last);
    const TChartValueList& Positions = *Widest->OtherValues();
    const double Low = Positions.Value(First);
    const double High = Positions.Value(Last);
    if (IsMin)
        return Low;
    const int OnPage = Last - First + 1;
    if (!FScaleLastPage && OnPage < FMaxPointsPerPage) {
        // A short last page keeps the scale of a full one.
        if (High == Low)
            return Low + static_cast<double>(FMaxPointsPerPage) / OnPage;
        return Low + (High - Low) * FMaxPointsPerPage / OnPage;
    }
    return High;
}

double TCustomAxisPanel::InternalMinMax(const TChartAxis* Axis, bool IsMin, bool IsX) const
{
    if (!Axis)
        return 0;
    if (Axis->IsDepthAxis()) {
        if (EffectiveLabelStyle(*Axis) != talValue)
            return IsMin ? -0.5 : FMaxZOrder + 0.5;
        bool First = true;
        double Result = 0;
        for (TChartSeries* S : *FSeriesList) {
            if (!S->Active())
                continue;
            const double V = IsMin ? S->MinZValue() : S->MaxZValue();
            if (First || (IsMin ? V < Result : V > Result))
                Result = V;
            First = false;
        }
        return Result;
    }
    if (FMaxPointsPerPage > 0 && AxisIsPositionAxis(Axis))
        return PagedMinMax(Axis, IsMin);
    const bool AnyActive = std::any_of(FSeriesList->begin(), FSeriesList->end(), [&](const TChartSeries* S) {
        return S->Active() && SeriesOnAxis(*S, Axis, IsX);
    });
    bool First = true;
    double Result = 0;
    for (TChartSeries* S : *FSeriesList) {
        if ((AnyActive && !S->Active()) || S->Count() == 0)
            continue;
        if (IsX ? S->HorizontalExcluded() : S->VerticalExcluded())
            continue;
        if (!SeriesOnAxis(*S, Axis, IsX))
            continue;
        const double V = IsMin ? (IsX ? S->MinXValue() : S->MinYValue()) : (IsX ? S->MaxXValue() : S->MaxYValue());
        // A value beyond the doubles has no place on a scale: it would make
        // the range (and every step along it) infinite or NaN.
        if (!std::isfinite(V))
            continue;
        if (First || (IsMin ? V < Result : V > Result))
            Result = V;
        First = false;
    }
    return Result;
}

bool TCustomAxisPanel::AxisHasActiveSeries(const TChartAxis* Axis, bool Default) const
{
    bool Result = Default;
    for (const TChartSeries* S : *FSeriesList) {
        if (!S->Active())
            continue;
        if (!S->UseAxis())
            return false;
        Result = S->AssociatedToAxis(Axis);
        if (Result)
            break;
    }
    return Result;
}

bool TCustomAxisPanel::IsAxisVisible(const TChartAxis* Axis) const
{
    if (!FAxisVisible || !Axis->Visible())
        return false;
    if (Axis->IsDepthAxis())
        return View3D();
    return AxisHasActiveSeries(Axis, true);
}

void TCustomAxisPanel::AxisChanged(TChartAxis*)
{
    Invalidate();
}

void TCustomAxisPanel::AxisDestroyed(const TChartAxis* Axis)
{
    // Series must not keep a custom axis that is gone.
    for (TChartSeries* Series : *FSeriesList)
        Series->AxisRemoved(Axis);
}

// --- Paging -------------------------------------------------------------------------------------

int TCustomAxisPanel::PageCountOn(const TChartAxis* Axis) const
{
    int Largest = 0;
    for (const TChartSeries* S : *FSeriesList)
        if (S->Active() && S->AssociatedToAxis(Axis))
            Largest = std::max(Largest, S->Count());
    const int Pages = (Largest + FMaxPointsPerPage - 1) / FMaxPointsPerPage;
    return std::max(1, Pages);
}

int TCustomAxisPanel::NumPages() const
{
    if (FMaxPointsPerPage < 1 || SeriesCount() == 0)
        return 1;
    const bool Vertical = Series(0)->MandatoryIsY();
    const TChartAxis* First = Vertical ? FTopAxis : FLeftAxis;
    const TChartAxis* Second = Vertical ? FBottomAxis : FRightAxis;
    return std::max(PageCountOn(First), PageCountOn(Second));
}

void TCustomAxisPanel::SetPage(int Value)
{
    // While the chart is read its series are not in yet, so the page read
    // is kept as it stands; the chart file clamps it once they are.
    Value = IsLoading() ? std::max(1, Value) : std::clamp(Value, 1, NumPages());
    SetIntegerProperty(FPage, Value);
    TChartChangePage Event;
    Event.Sender = this;
    BroadcastPlotEvent(Event);
    if (OnPageChange)
        OnPageChange(this);
}

void TCustomAxisPanel::SetMaxPointsPerPage(int Value)
{
    if (Value < 0)
        throw ChartException(PlotMsg_MaxPointsPerPage);
    SetIntegerProperty(FMaxPointsPerPage, Value);
    if (FPage > NumPages() && !IsLoading())
        SetPage(NumPages());
    TChartChangePage Event;
    Event.Sender = this;
    BroadcastPlotEvent(Event);
}

void TCustomAxisPanel::PrintPages(int FromPage, int ToPage)
{
    TPrinter& P = Printer();
    if (!Name().isEmpty())
        P.SetTitle(Name());
    const int Last = ToPage == 0 ? NumPages() : ToPage;
    const int First = FromPage == 0 ? 1 : FromPage;
    const int OldPage = FPage;
    P.BeginDoc();
    try {
        for (int Number = First; Number <= Last; ++Number) {
            SetPage(Number);
            PrintPartial(CalcPrintRect());
            if (Number < Last)
                P.NewPage();
        }
    } catch (...) {
        P.Abort();
        SetPage(OldPage);
        throw;
    }
    SetPage(OldPage);
    P.EndDoc();
}

// --- Colours ------------------------------------------------------------------------------------

TColor TCustomAxisPanel::GetDefaultColor(int Index) const
{
    if (FColorPalette.empty())
        return GetPaletteColor(Index);
    const int N = static_cast<int>(FColorPalette.size());
    return FColorPalette[static_cast<size_t>(((Index % N) + N) % N)];
}

void TCustomAxisPanel::SetColorPalette(const std::vector<TColor>& Value)
{
    FColorPalette = Value;
    Invalidate();
}

TColor TCustomAxisPanel::GetFreeSeriesColor(bool CheckBackground, const TChartSeries* Series) const
{
    const int N = FColorPalette.empty() ? lp::ColorPalette().Length() : static_cast<int>(FColorPalette.size());
    for (int I = 0; I < N - 1; ++I) {
        const TColor Color = GetDefaultColor(I);
        if (IsFreeSeriesColor(Color, CheckBackground, Series))
            return Color;
    }
    return GetDefaultColor(std::max(0, N - 1));
}

void TCustomAxisPanel::AssignFreeSeriesColors()
{
    for (TChartSeries* S : *FSeriesList)
        if (S->SeriesColor() == clPlotColor)
            S->SetEffectiveColor(GetFreeSeriesColor(true, S));
}

void TCustomAxisPanel::DrawLegendShapeRect(const TRect& Rect)
{
    TPlotCanvas3D& C = Canvas();
    C.RectangleRect(Rect);
    if (C.Brush()->Color() != FLegendColor)
        return;
    // A symbol in the legend's own colour would vanish: outline it.
    const TColor OldPen = C.Pen()->Color();
    if (C.Brush()->Color() == clBlack)
        C.Pen()->SetColor(clWhite);
    C.Brush()->SetStyle(TBrush::bsClear);
    C.RectangleRect(Rect);
    C.Pen()->SetColor(OldPen);
}

// --- Data sources -------------------------------------------------------------------------------

void TCustomAxisPanel::CheckDataSource(TChartSeries* Series)
{
    if (!Series || Series->IsLoading())
        return;
    TComponent* Source = Series->DataSource();
    if (!Source) {
        TPlotFunction* Function = Series->SeriesFunction();
        if (Function && Function->RecalculateOnRefill()) {
            Series->BeginUpdate();
            try {
                Series->Clear();
                Function->AddPoints(nullptr);
            } catch (...) {
                Series->EndUpdate();
                throw;
            }
            Series->EndUpdate();
        } else if (!Function && !Series->ManualData() && (IsDesigning() || FillSampleValuesAtRunTime)) {
            Series->FillSampleValues(Series->NumSampleValues());
        }
    } else if (auto* SourceSeries = qobject_cast<TChartSeries*>(Source)) {
        Series->AddValues(SourceSeries);
    } else if (auto* SeriesSource = qobject_cast<TPlotSeriesSource*>(Source)) {
        SeriesSource->Refresh();
    }
}

bool TCustomAxisPanel::IsValidDataSource(TChartSeries* Series, TComponent* Component) const
{
    if (auto* S = qobject_cast<TChartSeries*>(Component))
        return S != Series && Series->IsValidSourceOf(S) && Series->AcceptsSourceSeries(S);
    if (auto* Source = qobject_cast<TPlotSeriesSource*>(Component))
        return Source->Available(const_cast<TCustomAxisPanel*>(this));
    return false;
}

void TCustomAxisPanel::CheckOtherSeries(TChartSeries* Dest, TChartSeries* Source) const
{
    Dest->CheckOtherSeries(Source);
}

void TCustomAxisPanel::RemovedDataSource(TChartSeries* Series, TComponent* Source)
{
    auto* SeriesSource = qobject_cast<TPlotSeriesSource*>(Source);
    if (SeriesSource && Series->DataSource() == Source && SeriesSource->Series() == Series)
        SeriesSource->BindSeries(nullptr);
}

// --- Events -------------------------------------------------------------------------------------

void TCustomAxisPanel::BroadcastSeriesEvent(TCustomChartSeries* Series, int Event)
{
    if (FNoSeriesEvents)
        return;
    TPlotSeriesEvent E;
    E.Sender = this;
    E.Event = Event;
    E.Series = Series;
    BroadcastPlotEvent(E);
}

bool TCustomAxisPanel::CheckMouseSeries(int X, int Y)
{
    bool Result = false;
    for (int I = SeriesCount() - 1; I >= 0; --I) {
        TChartSeries* S = Series(I);
        if (S->Active() && S->CheckMouse(X, Y))
            Result = true;
    }
    return Result;
}

// --- Paint state --------------------------------------------------------------------------------

void TCustomAxisPanel::SetSeriesSizes3D(int Width, int Height)
{
    FSeriesWidth3D = Width;
    FSeriesHeight3D = Height;
}

int WidestLineWidth(const QString& Text, int& Lines, const std::function<int(const QString&)>& Measure)
{
    Lines = 0;
    if (Text.isEmpty())
        return 0;
    int Width = 0;
    for (const QString& Line : Text.split(PlotLineSeparator)) {
        ++Lines;
        Width = std::max(Width, Measure(Line));
    }
    return Width;
}

int TCustomAxisPanel::MultiLineTextWidth(const QString& Text, int& Lines) const
{
    return WidestLineWidth(Text, Lines, [this](const QString& Line) { return Canvas().TextWidth(Line); });
}

} // namespace lp

namespace lp {

// --- Tools ---------------------------------------------------------------------------------------

void TCustomAxisPanel::BroadcastToolEvent(int Code)
{
    // A tool may leave the list while handling the event; walk a copy.
    const std::vector<TPlotCustomTool*> Tools(FTools->begin(), FTools->end());
    for (TPlotCustomTool* Tool : Tools)
        if (FTools->IndexOf(Tool) >= 0 && Tool->Active())
            Tool->ChartEvent(Code);
}

void TCustomAxisPanel::BroadcastToolMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const std::vector<TPlotCustomTool*> Tools(FTools->begin(), FTools->end());
    for (TPlotCustomTool* Tool : Tools)
        if (FTools->IndexOf(Tool) >= 0 && Tool->Active())
            Tool->ChartMouseEvent(Kind, Button, Shift, X, Y);
}

void TCustomAxisPanel::MouseLeave()
{
    TCustomPlotPanelExtended::MouseLeave();
    BroadcastToolEvent(cteMouseLeave);
}

// --- The paint sequence --------------------------------------------------------------------------

void TCustomAxisPanel::DoAfterDraw()
{
    if (OnAfterDraw)
        OnAfterDraw(this);
}

void TCustomAxisPanel::DoBeforeDrawAxes()
{
    if (OnBeforeDrawAxes)
        OnBeforeDrawAxes(this);
}

void TCustomAxisPanel::DoBeforeDrawChart()
{
    if (OnBeforeDrawChart)
        OnBeforeDrawChart(this);
}

void TCustomAxisPanel::DoBeforeDrawSeries()
{
    if (OnBeforeDrawSeries)
        OnBeforeDrawSeries(this);
}

bool TCustomAxisPanel::IsBackFacing(int Z) const
{
    const TPlotCanvas3D& C = Canvas();
    if (C.SupportsFullRotation())
        return false;
    const TRect R = ChartRectangle();
    const TPoint P0 = C.Calculate3DPosition(R.Left, R.Top, Z);
    const TPoint P1 = C.Calculate3DPosition(R.Right, R.Top, Z);
    const TPoint P2 = C.Calculate3DPosition(R.Right, R.Bottom, Z);
    // The signed area of the projected corners (Y grows downwards): a
    // clockwise quadrilateral on screen has a positive cross product.
    const long long Cross = static_cast<long long>(P1.X - P0.X) * (P2.Y - P1.Y) -
                            static_cast<long long>(P1.Y - P0.Y) * (P2.X - P1.X);
    return Cross < 0;
}

void TCustomAxisPanel::CalcZOrders()
{
    FMaxZOrder = 0;
    const bool Interleave = InterleaveSameZOrder() && View3D();
    if (Interleave) {
        FMaxZOrder = -1;
        for (TChartSeries* S : *FSeriesList)
            if (S->Active())
                S->CalcZOrder();
    }
    if (DepthAxis()->Inverted())
        return;
    for (TChartSeries* S : *FSeriesList)
        if (S->Active())
            S->SetComputedZOrder(Interleave ? FMaxZOrder - S->ZOrder() : 0);
}

void TCustomAxisPanel::Calc3DSizes()
{
    if (!View3D()) {
        SetSeriesSizes3D(0, 0);
        SetDepth3D(0);
        FHeight3D = 0;
        return;
    }
    const TView3DOptions& View = *View3DOptions();
    double Factor = FChart3DPercent * 0.001;
    if (!View.Orthogonal())
        Factor *= 2;
    int Width = RoundToInt32(ChartRectWidth() * Factor);
    const double ZoomFactor = View.Zoom() * 0.01;
    if (ZoomFactor > 1)
        Width = RoundToInt32(Width / ZoomFactor);
    const int Height = RoundToInt32(Width * ZoomFactor);
    SetSeriesSizes3D(Width, Height);
    const int Layers = InterleaveSameZOrder() ? std::max(1, FMaxZOrder + 1) : 1;
    SetDepth3D(Width * Layers);
    FHeight3D = Height * Layers;
}

void TCustomAxisPanel::PrepareAxes()
{
    for (TChartAxis* Axis : *FAxes) {
        Axis->SetPaintVisible(IsAxisVisible(Axis));
        Axis->InternalCalcPositions();
        Axis->AdjustMaxMin();
    }
}

void TCustomAxisPanel::CalcAxesSpace()
{
    PrepareAxes();
    const TRect Original = ChartRectangle();
    TRect Result = Original;
    int Index = 0;
    for (TChartAxis* Axis : *FAxes) {
        if (Axis->PaintVisible()) {
            TRect Space = Original;
            Axis->CalcAxisSpace(Space, Index < 5);
            Result.Left = std::max(Result.Left, Space.Left);
            Result.Top = std::max(Result.Top, Space.Top);
            Result.Right = std::min(Result.Right, Space.Right);
            Result.Bottom = std::min(Result.Bottom, Space.Bottom);
        }
        ++Index;
    }
    if (!FixedChartRectangle())
        SetChartRectangle(Result);
    RecalcWidthHeight();
    PrepareAxes();
}

void TCustomAxisPanel::ApplyAxisMargins(TChartAxis& Axis)
{
    int First = 0;
    int Second = 0;
    for (TChartSeries* S : *FSeriesList) {
        if (!S->Active() || !S->AssociatedToAxis(&Axis))
            continue;
        int A = 0;
        int B = 0;
        if (Axis.Horizontal()) {
            S->CalcHorizMargins(A, B);
            if (Axis.AutomaticMinimum())
                First = std::max(First, A);
            if (Axis.AutomaticMaximum())
                Second = std::max(Second, B);
        } else {
            S->CalcVertMargins(A, B);
            if (Axis.AutomaticMaximum())
                First = std::max(First, A);
            if (Axis.AutomaticMinimum())
                Second = std::max(Second, B);
        }
    }
    // The minimum lies left on a horizontal axis and at the bottom of a
    // vertical one.
    if (Axis.Horizontal()) {
        First += Axis.MinimumOffset();
        Second += Axis.MaximumOffset();
    } else {
        First += Axis.MaximumOffset();
        Second += Axis.MinimumOffset();
    }
    if (First != 0 || Second != 0)
        Axis.ApplyMargins(First, Second);
}

void TCustomAxisPanel::InternalDraw(const TRect& UserRectangle)
{
    const bool OldRepaint = RepaintEnabled();
    SetRepaintEnabled(false);
    try {
        TPlotCanvas3D& C = Canvas();
        const TView3DOptions& View = *View3DOptions();
        if (!View3D())
            FDrawBackwards = false;
        else if (View.Orthogonal())
            FDrawBackwards = View.OrthoAngle() >= 91;
        else
            FDrawBackwards = View.Rotation() < 180;

        // Series whose sources changed recalculate once, before anything
        // is measured or drawn (a copy: a function may add its own lines).
        const std::vector<TChartSeries*> Waiting(FSeriesList->begin(), FSeriesList->end());
        for (TChartSeries* S : Waiting)
            S->CheckRefresh();
        if (!C.SupportsFullRotation())
            PaintPanelBackground(UserRectangle);
        BroadcastToolEvent(cteBeforeDraw);
        DoBeforeDrawChart();
        for (TChartSeries* S : *FSeriesList)
            if (S->Active())
                S->DoBeforeDrawChart();
        if (!C.SupportsFullRotation())
            DrawTitlesAndLegend(true);

        CalcZOrders();
        Calc3DSizes();
        CalcWallsRect();
        const TRect WallsRect = ChartRectangle();
        CalcAxesSpace();
        for (TChartSeries* S : *FSeriesList)
            if (S->Active())
                S->CalcDepthPositions();
        for (TChartAxis* Axis : *FAxes)
            ApplyAxisMargins(*Axis);
        // Point labels on the axes name the visible points: find them now,
        // as the axes may be drawn before the series.
        for (TChartSeries* S : *FSeriesList)
            if (S->Active())
                S->CalcFirstLastVisibleIndex();

        C.SetProjection(Depth3D(), ChartRectangle());
        if (C.SupportsFullRotation()) {
            const TRect Current = ChartRectangle();
            SetChartRectangle(WallsRect);
            PaintPanelBackground(UserRectangle);
            DrawTitlesAndLegend(true);
            SetChartRectangle(Current);
        }
        DrawWalls();
        if (FAxisBehind) {
            BroadcastToolEvent(cteBeforeDrawAxes);
            DrawAxes();
        }
        BroadcastToolEvent(cteBeforeDrawSeries);
        DoBeforeDrawSeries();
        DrawAllSeries();
        BroadcastToolEvent(cteAfterDrawSeries);
        if (!FAxisBehind) {
            BroadcastToolEvent(cteBeforeDrawAxes);
            DrawAxes();
        }
        DrawTitlesAndLegend(false);
        if (Zoom()->Active)
            DrawZoomRectangle();
        BroadcastToolEvent(cteAfterDraw);
        C.ResetState();
        DoAfterDraw();
        if (InternalAfterDraw)
            InternalAfterDraw(this);
    } catch (...) {
        SetRepaintEnabled(OldRepaint);
        throw;
    }
    SetRepaintEnabled(OldRepaint);
}

void TCustomAxisPanel::DrawAxes()
{
    if (!FAxisVisible)
        return;
    DoBeforeDrawAxes();
    const bool SkipBottom = IsBackFacing(0);
    for (TChartAxis* Axis : *FAxes) {
        if (!Axis->PaintVisible() || (SkipBottom && Axis == FBottomAxis))
            continue;
        Axis->DrawAxis(true);
    }
}

void TCustomAxisPanel::DrawAllSeries()
{
    const bool Forward = !(IsBackFacing(Depth3D()) != DepthAxis()->Inverted());
    const int N = SeriesCount();
    for (int K = 0; K < N; ++K) {
        const int I = Forward ? K : N - 1 - K;
        if (I >= SeriesCount())
            continue;
        TChartSeries* S = Series(I);
        if (S->Active())
            DrawSeries(S);
    }
}

void TCustomAxisPanel::ClipSeries(bool Clip)
{
    if (!Clip)
        return;
    TRect R = ChartRectangle();
    R.Bottom += 1;
    Canvas().ClipCube(R, 0, Depth3D());
}

void TCustomAxisPanel::DrawMarksOf(TChartSeries& Series)
{
    if (Series.Count() == 0 || !Series.Marks()->Visible())
        return;
    const bool Clip = Series.Marks()->Clip() && CanClip();
    ClipSeries(Clip);
    Series.DrawMarks();
    if (Clip)
        Canvas().UnClipRectangle();
}

void TCustomAxisPanel::DrawSeries(TChartSeries* Series)
{
    if (View3D() && Series->HasSameZOrderSeries()) {
        DrawSeriesGroup(Series);
        return;
    }
    Series->CalcFirstLastVisibleIndex();
    if (Series->FirstVisibleIndex() == -1)
        return;
    Series->DoBeforeDrawValues();
    const bool Clip = Series->UseAxis() && FClipPoints && CanClip();
    ClipSeries(Clip);
    Series->DrawAllValues();
    if (Clip)
        Canvas().UnClipRectangle();
    DrawMarksOf(*Series);
    Series->DoAfterDrawValues();
}

void TCustomAxisPanel::DrawSeriesGroup(TChartSeries* Series)
{
    if (!Series->FirstInZOrder())
        return;
    // The group: this series and every later active one of its Z order.
    std::vector<TChartSeries*> Group;
    const int Start = FSeriesList->IndexOf(Series);
    for (int I = Start; I < SeriesCount(); ++I) {
        TChartSeries* S = this->Series(I);
        if (S->Active() && S->ZOrder() == Series->ZOrder())
            Group.push_back(S);
    }
    int First = -1;
    int Last = -1;
    for (TChartSeries* S : Group) {
        S->CalcFirstLastVisibleIndex();
        if (S->FirstVisibleIndex() != -1) {
            First = std::max(First, S->FirstVisibleIndex());
            Last = std::max(Last, S->LastVisibleIndex());
        }
        S->DoBeforeDrawValues();
    }
    const bool Clip = FClipPoints && CanClip();
    ClipSeries(Clip);
    if (First != -1) {
        const bool Ascending = Series->DrawValuesForward();
        const bool SeriesForward = Series->DrawSeriesForward();
        for (int K = First; K <= Last; ++K) {
            const int Index = Ascending ? K : Last - (K - First);
            // When the first series runs out of points the group is walked
            // forward.
            const bool Forward = SeriesForward || Series->Count() <= Index;
            const int N = static_cast<int>(Group.size());
            for (int G = 0; G < N; ++G) {
                TChartSeries* S = Group[static_cast<size_t>(Forward ? G : N - 1 - G)];
                if (S->Active() && S->ZOrder() == Series->ZOrder() && S->Count() > Index)
                    S->DrawValue(Index);
            }
        }
    }
    if (Clip)
        Canvas().UnClipRectangle();
    for (TChartSeries* S : Group) {
        if (S->FirstVisibleIndex() == -1)
            continue;
        DrawMarksOf(*S);
        S->DoAfterDrawValues();
    }
}

void TCustomAxisPanel::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root)
{
    // Internal series (the lines a function fills) are made by their owner.
    for (int I = 0; I < SeriesCount(); ++I)
        if (!Series(I)->Internal())
            Proc(Series(I));
    for (TPlotCustomTool* Tool : std::vector<TPlotCustomTool*>(FTools->begin(), FTools->end()))
        Proc(Tool);
    TCustomPlotPanelExtended::GetChildren(Proc, Root);
}

} // namespace lp

