#include "chart/engine/PlotMapSeries.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeriesSource.h"
#include "platform/core/NumberFormat.h"
#include "platform/base/Exception.h"
#include "platform/core/ClassRegistry.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace lp {

namespace {

// Calls EndBlending when drawing ends, also by an exception.
class TBlendScope {
public:
    TBlendScope(TPlotCanvas3D& Canvas, std::unique_ptr<TPlotBlend> Blend) : FCanvas(Canvas), FBlend(std::move(Blend)) {}
    TBlendScope(const TBlendScope&) = delete;
    TBlendScope& operator=(const TBlendScope&) = delete;
    ~TBlendScope()
    {
        if (FBlend)
            FCanvas.EndBlending(std::move(FBlend));
    }

private:
    TPlotCanvas3D& FCanvas;
    std::unique_ptr<TPlotBlend> FBlend;
};

// Whether two normalised rectangles overlap; touching edges count.
bool Touches(const TRect& A, const TRect& B)
{
    return A.Left <= B.Right && A.Right >= B.Left && A.Top <= B.Bottom && A.Bottom >= B.Top;
}

// The twelve sample outlines (integer points), labelled "A" to "L".
struct TSampleOutline {
    const char* Text;
    std::vector<TPoint> Points;
};

const std::vector<TSampleOutline>& SampleOutlines()
{
    static const std::vector<TSampleOutline> Outlines = {
        {"A", {{1, 1}, {3, 0}, {6, 0}, {8, 1}, {9, 3}, {9, 5}, {8, 7}, {6, 8}, {4, 8}, {2, 7}, {1, 6}, {0, 4}, {0, 2}}},
        {"B", {{10, 0}, {14, 0}, {16, 2}, {16, 5}, {14, 7}, {11, 7}, {10, 5}, {10, 2}}},
        {"C", {{17, 0}, {19, 0}, {21, 1}, {23, 0}, {25, 1}, {25, 3}, {24, 5}, {25, 7}, {23, 8}, {21, 7}, {19, 8}, {17, 7},
               {16, 6}, {17, 4}, {16, 2}}},
        {"D", {{0, 9}, {4, 9}, {6, 11}, {5, 14}, {2, 15}, {0, 13}, {1, 11}}},
        {"E", {{7, 9}, {10, 8}, {13, 9}, {14, 11}, {13, 13}, {11, 14}, {9, 15}, {7, 14}, {6, 12}, {7, 11}}},
        {"F", {{15, 9}, {18, 9}, {20, 10}, {22, 9}, {25, 10}, {25, 13}, {23, 15}, {20, 15}, {18, 14}, {16, 15}, {15, 12}}},
        {"G", {{0, 16}, {3, 16}, {5, 17}, {7, 16}, {9, 17}, {9, 20}, {7, 22}, {4, 22}, {2, 21}, {0, 22}, {1, 19}}},
        {"H", {{10, 16}, {13, 16}, {16, 17}, {17, 19}, {16, 22}, {13, 23}, {11, 22}, {10, 20}, {11, 18}}},
        {"I", {{18, 16}, {20, 16}, {22, 17}, {24, 16}, {25, 18}, {25, 20}, {24, 22}, {22, 23}, {20, 22}, {18, 23},
               {17, 21}, {18, 20}, {17, 18}, {18, 17}}},
        {"J", {{0, 24}, {3, 24}, {6, 25}, {8, 24}, {10, 26}, {9, 29}, {6, 30}, {3, 30}, {1, 29}, {0, 27}, {1, 26}}},
        {"K", {{11, 24}, {15, 24}, {18, 25}, {19, 28}, {17, 30}, {14, 31}, {12, 30}, {11, 28}, {12, 26}}},
        {"L", {{20, 24}, {25, 24}, {25, 31}, {22, 31}, {20, 29}, {21, 26}}},
    };
    return Outlines;
}

} // namespace

// --- TPolygonSeries ---------------------------------------------------------------------------------

TPolygonSeries::TPolygonSeries(TPlotPolygon* APolygon) : TChartSeries(nullptr), FPolygon(APolygon)
{
    XValues()->InitOrder(loNone);
    SetShowInLegend(false);
}

void TPolygonSeries::SetActive(bool Value)
{
    TChartSeries::SetActive(Value);
    FPolygon->SeriesRepaint();
}

void TPolygonSeries::CanvasChanged(QObject* Sender)
{
    TChartSeries::CanvasChanged(Sender);
    FPolygon->SeriesRepaint();
}

void TPolygonSeries::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    if (FParentChart && FPolygon->HasGradient() && FPolygon->Gradient()->Visible()) {
        FPolygon->Gradient()->Draw(FParentChart->Canvas(), Rect);
        return;
    }
    if (FParentChart)
        FParentChart->Canvas().Brush()->SetColor(FPolygon->Color());
    TChartSeries::DrawLegendShape(ValueIndex, Rect);
}

void TPolygonSeries::NotifyValue(int Event, int ValueIndex)
{
    TChartSeries::NotifyValue(Event, ValueIndex);
    if (!IsLoading())
        FPolygon->SeriesRepaint();
}

void TPolygonSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrush::TBrushStyle& BrushStyle)
{
    TChartSeries::PrepareLegendCanvas(ValueIndex, BackColor, BrushStyle);
    if (FParentChart)
        FParentChart->Canvas().Brush()->SetColor(FPolygon->Color());
}

void TPolygonSeries::SetSeriesColor(TColor Color)
{
    TChartSeries::SetSeriesColor(Color);
    TMapSeries* Map = FPolygon->ParentSeries();
    if (!FParentChart && Map && FPolygon->Collection())
        Map->SetValueColor(FPolygon->ValueIndex(), Color);
}

// --- TPlotPolygon -----------------------------------------------------------------------------------

TPlotPolygon::TPlotPolygon(TCollection* Collection) : TCollectionItem(Collection)
{
    FPoints = std::make_unique<TPolygonSeries>(this);
    // One value per polygon, unless the polygon is made for a value that
    // exists already.
    TMapSeries* Series = ParentSeries();
    if (Series && !Series->FAddingForValues) {
        // Not the Z an earlier AddXYZ left pending.
        Series->ZValues()->SetTempValue(0);
        Series->AddXY(0, 0, QString(), clPlotColor);
    }
}

TPlotPolygon::~TPlotPolygon() = default;

TMapSeries* TPlotPolygon::ParentSeries() const
{
    const auto* List = qobject_cast<const TPlotPolygonList*>(Collection());
    return List ? List->Series() : nullptr;
}

void TPlotPolygon::SeriesRepaint() const
{
    if (TMapSeries* Series = ParentSeries())
        Series->Repaint();
}

int TPlotPolygon::ValueIndex() const
{
    const int Index = this->Index();
    if (Index < 0)
        RaiseIndexError(Index, 0);
    return Index;
}

int TPlotPolygon::AddXY(double X, double Y)
{
    return FPoints->AddXY(X, Y, QString(), clPlotColor);
}

const TPointArray& TPlotPolygon::GetScreenPoints() const
{
    const int N = FPoints->Count();
    const TMapSeries* Series = ParentSeries();
    if (!Series || !Series->ParentChart()) {
        FScreenPoints.Clear();
        return FScreenPoints;
    }
    FScreenPoints.SetLength(N);
    const double* X = FPoints->XValues()->Data();
    const double* Y = FPoints->YValues()->Data();
    for (int I = 0; I < N; ++I)
        FScreenPoints[I] = TPoint{Series->CalcXPosValue(X[I]), Series->CalcYPosValue(Y[I])};
    return FScreenPoints;
}

TRect TPlotPolygon::GetBounds() const
{
    const TPointArray& Points = GetScreenPoints();
    if (Points.Empty())
        return TRect{};
    return PolygonBounds(AsSpan(Points), Points.Length());
}

void TPlotPolygon::AssignShape(const TPlotPolygon& Source)
{
    if (&Source == this)
        return;
    // The whole outline: positions, and the points' labels and colours.
    FPoints->AssignValues(Source.FPoints.get());
    FPoints->SetActive(Source.FPoints->Active());
    FPoints->SetPen(Source.Pen());
    FPoints->SetBrush(Source.Brush());
    FClosed = Source.FClosed;
    FParentBrush = Source.FParentBrush;
    FParentPen = Source.FParentPen;
    FTransparency = Source.FTransparency;
    if (Source.FGradient)
        Gradient()->Assign(Source.FGradient.get());
    else
        FGradient.reset();
    SeriesRepaint();
}

void TPlotPolygon::Assign(const TPersistent* Source)
{
    const auto* S = qobject_cast<const TPlotPolygon*>(Source);
    if (!S) {
        TCollectionItem::Assign(Source);
        return;
    }
    AssignShape(*S);
    // The value's parts, when both polygons stand for a value.
    TMapSeries* Series = ParentSeries();
    const TMapSeries* From = S->ParentSeries();
    if (S != this && Series && From) {
        const int I = S->ValueIndex();
        const int J = ValueIndex();
        if (I < From->Count() && J < Series->Count()) {
            Series->ZValues()->SetValue(J, From->ZValues()->Value(I));
            Series->Labels().SetLabel(J, From->Labels().GetLabel(I));
            Series->SetValueColor(J, From->GetStoredValueColor(I));
        }
    }
}

void TPlotPolygon::DefineProperties(TFiler& Filer)
{
    TCollectionItem::DefineProperties(Filer);
    Filer.DefineBinaryProperty(QStringLiteral("Data"), [this](QIODevice& Stream) { ReadOutline(Stream); },
                               [this](QIODevice& Stream) { FPoints->WriteData(Stream); },
                               ParentSeries() && ParentSeries()->ShouldWriteData());
}

void TPlotPolygon::ReadOutline(QIODevice& Stream)
{
    FPoints->ReadData(Stream);
    // Stored outlines are points of the map's own, as a plain series' stored
    // points are: they are kept when the chart fills sample values and
    // stored again when the map is saved.
    if (TMapSeries* Series = ParentSeries())
        Series->SetManualData(true);
}

void TPlotPolygon::SetClosed(bool Value)
{
    if (FClosed != Value) {
        FClosed = Value;
        SeriesRepaint();
    }
}

TColor TPlotPolygon::Color() const
{
    if (const TMapSeries* Series = ParentSeries())
        return Series->GetValueColor(ValueIndex());
    return FPoints->SeriesColor();
}

bool TPlotPolygon::IsColorStored() const
{
    const TMapSeries* Series = ParentSeries();
    if (!Series)
        return true;
    const int Index = this->Index();
    return Index >= 0 && Index < Series->Count() && Series->GetStoredValueColor(Index) != clPlotColor;
}

void TPlotPolygon::SetColor(TColor Value)
{
    FPoints->SetSeriesColor(Value);
}

TPlotGradient* TPlotPolygon::Gradient()
{
    if (!FGradient)
        FGradient = std::make_unique<TPlotGradient>([this](TPersistent*) { SeriesRepaint(); });
    return FGradient.get();
}

void TPlotPolygon::SetGradient(const TPlotGradient* Value)
{
    if (!Value) {
        FGradient.reset();
        SeriesRepaint();
    } else if (Value != FGradient.get()) {
        Gradient()->Assign(Value);
        SeriesRepaint();
    }
}

void TPlotPolygon::SetParentBrush(bool Value)
{
    if (FParentBrush != Value) {
        FParentBrush = Value;
        SeriesRepaint();
    }
}

void TPlotPolygon::SetParentPen(bool Value)
{
    if (FParentPen != Value) {
        FParentPen = Value;
        SeriesRepaint();
    }
}

QString TPlotPolygon::Text() const
{
    const TMapSeries* Series = ParentSeries();
    return Series ? Series->Labels().GetLabel(ValueIndex()) : QString();
}

void TPlotPolygon::SetText(const QString& Value)
{
    TMapSeries* Series = ParentSeries();
    if (!Series)
        return;
    const int Index = ValueIndex();
    if (Index >= Series->Count())
        RaiseIndexError(Index, Series->Count());
    Series->Labels().SetLabel(Index, Value);
    SeriesRepaint();
}

void TPlotPolygon::SetTransparency(int Value)
{
    if (Value < 0 || Value > 100)
        RaiseRangeError("Transparency %d is outside 0 .. 100", {ArgText(Value)});
    if (FTransparency != Value) {
        FTransparency = Value;
        SeriesRepaint();
    }
}

double TPlotPolygon::Z() const
{
    const TMapSeries* Series = ParentSeries();
    return Series ? Series->ZValues()->Value(ValueIndex()) : 0;
}

void TPlotPolygon::SetZ(double Value)
{
    if (TMapSeries* Series = ParentSeries()) {
        Series->ZValues()->SetValue(ValueIndex(), Value);
        SeriesRepaint();
    }
}

// --- TPlotPolygonList -------------------------------------------------------------------------------

TPlotPolygonList::TPlotPolygonList(TMapSeries* AOwner)
    : TOwnedCollection(AOwner, CollectionItemFactory<TPlotPolygon>()), FSeries(AOwner)
{
}

TPlotPolygon* TPlotPolygonList::Add()
{
    auto* Polygon = static_cast<TPlotPolygon*>(TCollection::Add());
    Polygon->Points()->SetDesigning(false);
    return Polygon;
}

TPlotPolygon* TPlotPolygonList::GetPolygon(int Index) const
{
    return static_cast<TPlotPolygon*>(Items(Index));
}

void TPlotPolygonList::Update(TCollectionItem* Item)
{
    (void)Item;
    if (FSeries)
        FSeries->Repaint();
}

// --- TMapSeries -------------------------------------------------------------------------------------

TMapSeries::TMapSeries(TComponent* AOwner) : TCustom3DPaletteSeries(AOwner)
{
    FShapes = std::make_unique<TPlotPolygonList>(this);
    SetMandatoryValueList(ZValues());
}

TMapSeries::~TMapSeries()
{
    // The polygons go first: their outlines may still ask for the series.
    FShapes.reset();
}

int TMapSeries::PolygonCount() const
{
    return std::min(Count(), FShapes ? FShapes->Count() : 0);
}

void TMapSeries::SetShapes(const TPlotPolygonList* Value)
{
    if (Value == FShapes.get())
        return;
    BeginUpdate();
    try {
        Clear();
        if (Value)
            FShapes->Assign(Value);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TMapSeries::Assign(const TPersistent* Source)
{
    // Copying the values clears this series first: from itself that would
    // leave neither values nor polygons.
    if (Source == this)
        return;
    TCustom3DPaletteSeries::Assign(Source);
    const auto* S = dynamic_cast<const TMapSeries*>(Source);
    if (!S)
        return;
    FShapes->BeginUpdate();
    FAddingForValues = true;
    try {
        FShapes->Clear();
        for (int I = 0; I < Count(); ++I) {
            TPlotPolygon* Polygon = FShapes->Add();
            if (I < S->FShapes->Count())
                Polygon->AssignShape(*S->FShapes->GetPolygon(I));
        }
    } catch (...) {
        FAddingForValues = false;
        FShapes->EndUpdate();
        throw;
    }
    FAddingForValues = false;
    FShapes->EndUpdate();
}

// --- Margins and gallery ---

void TMapSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    TCustom3DPaletteSeries::CalcHorizMargins(LeftMargin, RightMargin);
    if (Pen()->Visible()) {
        LeftMargin += Pen()->Width();
        RightMargin += Pen()->Width();
    }
}

void TMapSeries::CalcVertMargins(int& TopMargin, int& BottomMargin)
{
    TCustom3DPaletteSeries::CalcVertMargins(TopMargin, BottomMargin);
    ++BottomMargin;
    if (Pen()->Visible()) {
        TopMargin += Pen()->Width();
        BottomMargin += Pen()->Width();
    }
}

void TMapSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCustom3DPaletteSeries::CreateSubGallery(AddSubChart);
    AddSubChart(PlotMsg_StyleColors);
}

void TMapSeries::SetSubGallery(int Index)
{
    if (Index == 2)
        SetColorEachPoint(true);
    else
        TCustom3DPaletteSeries::SetSubGallery(Index);
}

void TMapSeries::GalleryChanged3D(bool Is3D)
{
    if (Is3D)
        TCustom3DPaletteSeries::GalleryChanged3D(Is3D);
    else if (ParentChart())
        ParentChart()->SetView3D(false);
}

void TMapSeries::PrepareForGallery(bool IsEnabled)
{
    TCustom3DPaletteSeries::PrepareForGallery(IsEnabled);
    if (!IsEnabled)
        for (int I = 0; I < FShapes->Count(); ++I)
            FShapes->GetPolygon(I)->SetColor(clSilver);
}

// --- Drawing ---

int TMapSeries::PolygonZ(int Index) const
{
    return FParentChart && FParentChart->View3D() ? CalcZPos(Index) : 0;
}

TRect TMapSeries::ExtentRect(const TPlotPolygon& Polygon, int Z, bool Project) const
{
    TChartValueList* X = Polygon.Points()->XValues();
    TChartValueList* Y = Polygon.Points()->YValues();
    TRect R{CalcXPosValue(X->MinValue()), CalcYPosValue(Y->MaxValue()), CalcXPosValue(X->MaxValue()),
            CalcYPosValue(Y->MinValue())};
    if (Project && FParentChart && FParentChart->View3D())
        R = FParentChart->Canvas().CalculateRect3D(R, Z);
    return NormalizeRect(R);
}

void TMapSeries::DrawAllValues()
{
    if (!FParentChart || !FParentChart->View3D()) {
        // Always by index, also with an inverted horizontal axis or a chart
        // drawn backwards: the last polygon ends on top, as Clicked expects.
        if (FirstVisibleIndex() < 0)
            return;
        for (int I = FirstVisibleIndex(); I <= LastVisibleIndex(); ++I)
            DrawValue(I);
        return;
    }
    // Highest Z first: the lowest Z ends on top.
    std::vector<int> Order(static_cast<size_t>(PolygonCount()));
    std::iota(Order.begin(), Order.end(), 0);
    const TChartValueList* Z = ZValues();
    // A Z that is not a number sorts before all others (a plain ">" would
    // leave the order undefined).
    std::stable_sort(Order.begin(), Order.end(), [Z](int A, int B) {
        const double ZA = Z->Value(A);
        const double ZB = Z->Value(B);
        if (std::isnan(ZA) || std::isnan(ZB))
            return std::isnan(ZA) && !std::isnan(ZB);
        return ZA > ZB;
    });
    for (int Index : Order)
        DrawValue(Index);
}

void TMapSeries::DrawValue(int ValueIndex)
{
    if (!FParentChart || ValueIndex < 0 || ValueIndex >= PolygonCount())
        return;
    TPlotPolygon& Polygon = *FShapes->GetPolygon(ValueIndex);
    TPolygonSeries& Points = *Polygon.Points();
    if (!Points.Active() || Points.Count() == 0)
        return;
    const bool Is3D = FParentChart->View3D();
    const int Z = PolygonZ(ValueIndex);
    if (!Touches(ExtentRect(Polygon, Z, true), NormalizeRect(FParentChart->ChartRectangle())))
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.AssignVisiblePen(Polygon.ParentPen() ? *Pen() : *Polygon.Pen());
    const TChartBrush& Brush = Polygon.ParentBrush() ? *this->Brush() : *Polygon.Brush();
    FParentChart->SetBrushCanvas(GetValueColor(ValueIndex), Brush, FParentChart->GetBackColor());
    const TPointArray& Screen = Polygon.GetScreenPoints();
    std::unique_ptr<TPlotBlend> Blend;
    if (Polygon.Transparency() > 0) {
        TRect Bounds = PolygonBounds(AsSpan(Screen), Screen.Length());
        if (Is3D)
            Bounds = Canvas.RectFromRectZ(Bounds, Z);
        Blend = Canvas.BeginBlending(Bounds, Polygon.Transparency());
    }
    TBlendScope BlendEnd(Canvas, std::move(Blend));
    if (Polygon.HasGradient() && Polygon.Gradient()->Visible() && FParentChart->CanClip()) {
        Polygon.Gradient()->DrawPolygon(Canvas, Screen, Z, Is3D);
        Canvas.Brush()->SetStyle(TBrush::bsClear);
    }
    if (Polygon.Closed()) {
        if (Is3D)
            Canvas.PolygonWithZ(AsSpan(Screen), Z);
        else
            Canvas.Polygon(AsSpan(Screen), Screen.High());
    } else {
        if (Is3D)
            Canvas.PolylineWithZ(AsSpan(Screen), Z);
        else
            Canvas.Polyline(AsSpan(Screen), Screen.High());
    }
}

void TMapSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    // A hidden polygon shows no mark either.
    if (ValueIndex >= 0 && ValueIndex < PolygonCount() && !FShapes->GetPolygon(ValueIndex)->Points()->Active())
        return;
    if (ValueIndex >= 0 && ValueIndex < PolygonCount() && FShapes->GetPolygon(ValueIndex)->Points()->Count() > 0) {
        const TRect R = FShapes->GetPolygon(ValueIndex)->GetBounds();
        APosition.TopLeft.X = (R.Left + R.Right) / 2 - APosition.MarkWidth / 2;
        APosition.TopLeft.Y = (R.Top + R.Bottom) / 2 - APosition.MarkHeight / 2;
    }
    TCustom3DPaletteSeries::DrawMark(ValueIndex, St, APosition);
}

// --- Lists ---

void TMapSeries::Clear()
{
    TCustom3DPaletteSeries::Clear();
    if (FShapes)
        FShapes->Clear();
}

void TMapSeries::Delete(int ValueIndex)
{
    if (ValueIndex < 0 || ValueIndex >= Count())
        throw ChartException(Format(PlotMsg_SeriesDeleteOutOfBounds, {ValueIndex, Count() - 1}));
    const bool HasPolygon = ValueIndex < FShapes->Count();
    TCustom3DPaletteSeries::Delete(ValueIndex);
    if (HasPolygon)
        FShapes->Delete(ValueIndex);
}

void TMapSeries::DeleteRange(int Start, int Quantity, bool RemoveGap)
{
    TCustom3DPaletteSeries::DeleteRange(Start, Quantity, RemoveGap);
    // The base has checked Start and Quantity against the values.
    FShapes->BeginUpdate();
    try {
        for (int I = std::min(Start + Quantity, FShapes->Count()) - 1; I >= Start; --I)
            FShapes->Delete(I);
    } catch (...) {
        FShapes->EndUpdate();
        throw;
    }
    FShapes->EndUpdate();
}

void TMapSeries::SwapValueIndex(int A, int B)
{
    // Both indexes must name a value and a polygon before anything moves.
    const int N = std::min(Count(), FShapes->Count());
    if (A < 0 || A >= N)
        RaiseIndexError(A, N);
    if (B < 0 || B >= N)
        RaiseIndexError(B, N);
    TCustom3DPaletteSeries::SwapValueIndex(A, B);
    FShapes->Exchange(A, B);
    Repaint();
}

// --- Extremes ---

double TMapSeries::OutlineExtreme(bool IsX, bool Max) const
{
    bool Found = false;
    double Result = 0;
    for (int I = 0; I < FShapes->Count(); ++I) {
        TPolygonSeries* Points = FShapes->GetPolygon(I)->Points();
        if (Points->Count() == 0)
            continue;
        TChartValueList* List = IsX ? Points->XValues() : Points->YValues();
        const double V = Max ? List->MaxValue() : List->MinValue();
        if (!Found)
            Result = V;
        else
            Result = Max ? std::max(Result, V) : std::min(Result, V);
        Found = true;
    }
    return Result;
}

double TMapSeries::MaxXValue()
{
    return OutlineExtreme(true, true);
}

double TMapSeries::MaxYValue()
{
    return OutlineExtreme(false, true);
}

double TMapSeries::MinXValue()
{
    return OutlineExtreme(true, false);
}

double TMapSeries::MinYValue()
{
    return OutlineExtreme(false, false);
}

// --- Mouse ---

int TMapSeries::Clicked(int X, int Y)
{
    if (!FParentChart)
        return -1;
    const TRect ChartRect = NormalizeRect(FParentChart->ChartRectangle());
    const bool Is3D = FParentChart->View3D();
    for (int I = PolygonCount() - 1; I >= 0; --I) {
        const TPlotPolygon& Polygon = *FShapes->GetPolygon(I);
        if (Polygon.Points()->Count() == 0)
            continue;
        // The pixel extent of the outline (the axes map values to pixels
        // monotonically, so every screen point lies within it).
        const TRect Extent = ExtentRect(Polygon, 0, false);
        if (!Touches(Extent, ChartRect))
            continue;
        TPoint P{X, Y};
        if (Is3D)
            FParentChart->Canvas().Calculate2DPosition(P.X, P.Y, CalcZPos(I));
        // Outside the extent no point is inside the polygon.
        if (!PointInRect(Extent, P.X, P.Y))
            continue;
        const TPointArray& Screen = Polygon.GetScreenPoints();
        if (PointInPolygon(P, AsSpan(Screen)))
            return I;
    }
    return -1;
}

// --- Sample values ---

void TMapSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)OnlyMandatory;
    const std::vector<TSampleOutline>& Outlines = SampleOutlines();
    for (int I = 0; I < NumValues; ++I) {
        const TSampleOutline& Outline = Outlines[static_cast<size_t>(I) % Outlines.size()];
        int DX = 0;
        int DY = 0;
        if (Count() >= 12) {
            DX = RandomValue(12);
            DY = RandomValue(12);
        }
        TPlotPolygon* Polygon = FShapes->Add();
        for (const TPoint& P : Outline.Points)
            Polygon->AddXY(P.X + DX, P.Y + DY);
        Polygon->SetText(QString::fromLatin1(Outline.Text));
        Polygon->SetZ(RandomValue(1000) / 1000.0);
    }
}

// --- Registration -----------------------------------------------------------------------------------

void RegisterMapSeries()
{
    RegisterPlotSeries<TMapSeries>(&PlotMsg_GalleryMap, &PlotMsg_GalleryExtended, 1);
}

void UnRegisterMapSeries()
{
    UnRegisterPlotSeries({&TMapSeries::staticMetaObject});
    UnRegisterClass(TPersistent::ClassNameOf(TMapSeries::staticMetaObject));
}

} // namespace lp
