#include "chart/engine/PlotMarks.h"

#include "chart/canvas/PlotPanel.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotEngine.h"
#include "platform/base/Numeric.h"
#include "platform/core/Filer.h"
#include "platform/core/StringList.h"

#include <algorithm>

namespace lp {

namespace {

// The info-tip background colour marks start with.
constexpr TColor MarksDefaultColor = static_cast<TColor>(-16777192);

// Marks and their items start with a gray shadow of size 1, which is then
// also what is not stored.
void MakeGrayShadow(TPlotCustomShape& Shape)
{
    if (TPlotShadow* Shadow = Shape.Shadow()) {
        Shadow->SetColor(clGray);
        Shadow->SetSize(1);
        Shadow->SetDefaultColor(clGray);
        Shadow->SetDefaultSize(1);
    }
}

// The gradient of a mark or of the marks, repainting the shape's chart.
std::unique_ptr<TPlotGradient> MarksGradientOf(const TPlotCustomShape& Shape)
{
    auto* Self = const_cast<TPlotCustomShape*>(&Shape);
    return std::make_unique<TSeriesMarksGradient>([Self](TPersistent*) { Self->Repaint(); });
}

} // namespace

// --- Positions ----------------------------------------------------------------------------------

TRect TSeriesMarkPosition::Bounds() const
{
    return TRect{TopLeft.X, TopLeft.Y, CheckedInt32(static_cast<int64_t>(TopLeft.X) + MarkWidth),
                 CheckedInt32(static_cast<int64_t>(TopLeft.Y) + MarkHeight)};
}

TSeriesMarkPosition* TSeriesMarksPositions::GetPosition(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FItems[static_cast<size_t>(Index)].get();
}

TSeriesMarkPosition& TSeriesMarksPositions::Ensure(int Index)
{
    if (Index < 0)
        RaiseIndexError(Index, Count());
    if (Index >= Count())
        FItems.resize(static_cast<size_t>(Index) + 1);
    auto& Slot = FItems[static_cast<size_t>(Index)];
    if (!Slot)
        Slot = std::make_unique<TSeriesMarkPosition>();
    return *Slot;
}

void TSeriesMarksPositions::SetPosition(int Index, const TSeriesMarkPosition& Position)
{
    TSeriesMarkPosition& Target = Ensure(Index);
    Target.Assign(Position);
    Target.UserMoved = true;
}

void TSeriesMarksPositions::Append(const TSeriesMarkPosition* Position)
{
    FItems.push_back(Position ? std::make_unique<TSeriesMarkPosition>(*Position) : nullptr);
}

void TSeriesMarksPositions::Delete(int Index)
{
    if (Index >= 0 && Index < Count())
        FItems.erase(FItems.begin() + Index);
}

void TSeriesMarksPositions::DeleteRange(int Start, int Quantity)
{
    if (Start < 0 || Quantity <= 0 || Start >= Count())
        return;
    const int End = static_cast<int>(std::min<int64_t>(Count(), static_cast<int64_t>(Start) + Quantity));
    FItems.erase(FItems.begin() + Start, FItems.begin() + End);
}

void TSeriesMarksPositions::Exchange(int A, int B)
{
    if (A < 0 || B < 0)
        RaiseIndexError(std::min(A, B), Count());
    if (FItems.empty())
        return;
    const int Needed = std::max(A, B) + 1;
    if (Count() < Needed)
        FItems.resize(static_cast<size_t>(Needed));
    std::swap(FItems[static_cast<size_t>(A)], FItems[static_cast<size_t>(B)]);
}

bool TSeriesMarksPositions::ExistCustom() const
{
    for (const auto& Item : FItems)
        if (Item && Item->UserMoved)
            return true;
    return false;
}

// --- Gradient -----------------------------------------------------------------------------------

TSeriesMarksGradient::TSeriesMarksGradient(std::function<void(TPersistent*)> OnChange)
    : TPlotGradient(std::move(OnChange))
{
    // Assign sets the values without signalling a change.
    TCustomPlotGradient Defaults;
    Defaults.SetDirection(gdRightLeft);
    Defaults.SetStartColor(clSilver);
    Defaults.SetEndColor(clWhite);
    Assign(&Defaults);
}

// --- Items --------------------------------------------------------------------------------------

TMarksItem::TMarksItem(TCustomPlotPanel* AChart) : TPlotShape(AChart)
{
    SetColor(MarksDefaultColor);
    MakeGrayShadow(*this);
}

TMarksItem::~TMarksItem() = default;

std::unique_ptr<TPlotGradient> TMarksItem::CreateGradient() const
{
    return MarksGradientOf(*this);
}

void TMarksItem::Assign(const TPersistent* Source)
{
    TPlotCustomShape::Assign(Source);
    if (const auto* Other = qobject_cast<const TMarksItem*>(Source)) {
        if (Other->FText)
            Text().Assign(Other->FText.get());
        else
            FText.reset();
    }
}

TStringList& TMarksItem::Text()
{
    if (!FText) {
        FText = std::make_unique<TStringList>();
        FText->OnChange = [this](TStringList*) { Repaint(); };
    }
    return *FText;
}

void TMarksItem::SetTextList(const TStringList* Value)
{
    if (Value)
        Text().Assign(Value);
    else if (FText)
        FText->Clear();
}

bool TMarksItem::HasText() const
{
    return FText && FText->Count() > 0;
}

TMarksItems::~TMarksItems() = default;

TMarksItem& TMarksItems::Item(int Index)
{
    if (Index < 0)
        RaiseIndexError(Index, Count());
    if (Index >= Count())
        FItems.resize(static_cast<size_t>(Index) + 1);
    auto& Slot = FItems[static_cast<size_t>(Index)];
    if (!Slot)
        Slot = std::make_unique<TMarksItem>(FOwner ? FOwner->ParentChart() : nullptr);
    return *Slot;
}

TMarksItem* TMarksItems::Find(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FItems[static_cast<size_t>(Index)].get();
}

void TMarksItems::Delete(int Index)
{
    if (Index >= 0 && Index < Count())
        FItems.erase(FItems.begin() + Index);
}

void TMarksItems::Clear()
{
    FItems.clear();
    FLoaded = false;
    if (FOwner)
        FOwner->Repaint();
}

void TMarksItems::Replace(std::vector<std::unique_ptr<TMarksItem>> Items)
{
    FItems = std::move(Items);
    if (FOwner)
        SetParentChart(FOwner->ParentChart());
}

void TMarksItems::SetParentChart(TCustomPlotPanel* Chart)
{
    for (const auto& Item : FItems)
        if (Item)
            Item->SetParentChart(Chart);
}

// --- Symbol -------------------------------------------------------------------------------------

TSeriesMarksSymbol::TSeriesMarksSymbol(TCustomPlotPanel* AChart) : TPlotShape(AChart)
{
    SetVisible(false);
    SetTransparent(false);
    if (TPlotShadow* Shadow = this->Shadow()) {
        Shadow->SetSize(1);
        Shadow->SetDefaultSize(1);
    }
}

// --- TSeriesMarks -------------------------------------------------------------------------------

TSeriesMarks::TSeriesMarks(TChartSeries* AOwner)
    : FParentSeries(AOwner), FPositions(std::make_unique<TSeriesMarksPositions>()),
      FItems(std::make_unique<TMarksItems>(this))
{
    SetVisible(false);
    SetColor(MarksDefaultColor);
    MakeGrayShadow(*this);
}

TSeriesMarks::~TSeriesMarks() = default;

std::unique_ptr<TPlotGradient> TSeriesMarks::CreateGradient() const
{
    return MarksGradientOf(*this);
}

void TSeriesMarks::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TSeriesMarks*>(Source); Other && Other != this) {
        FAngle = Other->FAngle;
        if (Other->FCallout)
            Callout()->Assign(Other->FCallout.get());
        FClip = Other->FClip;
        FDrawEvery = Other->FDrawEvery;
        FStyle = Other->FStyle;
        FMultiLine = Other->FMultiLine;
        if (Other->FSymbol)
            Symbol()->Assign(Other->FSymbol.get());
        std::vector<std::unique_ptr<TMarksItem>> Copies(static_cast<size_t>(Other->FItems->Count()));
        for (int I = 0; I < Other->FItems->Count(); ++I)
            if (const TMarksItem* Item = Other->FItems->Find(I)) {
                auto Copy = std::make_unique<TMarksItem>();
                Copy->Assign(Item);
                Copies[static_cast<size_t>(I)] = std::move(Copy);
            }
        FItems->Replace(std::move(Copies));
    }
    TPlotCustomShape::Assign(Source);
}

void TSeriesMarks::DefineProperties(TFiler& Filer)
{
    TPlotShape::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        QStringLiteral("Items"), [this](QIODevice& Stream) { ReadItems(Stream); },
        [this](QIODevice& Stream) { WriteItems(Stream); }, FItems->Count() > 0);
}

void TSeriesMarks::SetParentChart(TCustomPlotPanel* Value)
{
    TPlotShape::SetParentChart(Value);
    if (FCallout)
        FCallout->SetParentChart(Value);
    if (FSymbol)
        FSymbol->SetParentChart(Value);
    FItems->SetParentChart(Value);
}

void TSeriesMarks::RepaintSeries()
{
    if (FParentSeries)
        FParentSeries->Repaint();
    else
        Repaint();
}

void TSeriesMarks::SetAngle(int Value)
{
    if (FAngle != Value) {
        FAngle = Value;
        RepaintSeries();
    }
}

TMarksCallout* TSeriesMarks::Callout()
{
    if (!FCallout) {
        FCallout = std::make_unique<TMarksCallout>(FParentSeries);
        FCallout->SetParentChart(ParentChart());
    }
    return FCallout.get();
}

void TSeriesMarks::SetCallout(const TMarksCallout* Value)
{
    if (Value)
        Callout()->Assign(Value);
}

void TSeriesMarks::SetClip(bool Value)
{
    if (FClip != Value) {
        FClip = Value;
        RepaintSeries();
    }
}

void TSeriesMarks::SetDrawEvery(int Value)
{
    // Zero or negative would divide by zero when choosing the marks.
    Value = std::max(Value, 1);
    if (FDrawEvery != Value) {
        FDrawEvery = Value;
        RepaintSeries();
    }
}

void TSeriesMarks::SetMultiLine(bool Value)
{
    if (FMultiLine != Value) {
        FMultiLine = Value;
        RepaintSeries();
    }
}

void TSeriesMarks::SetStyle(TSeriesMarksStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        RepaintSeries();
    }
}

TSeriesMarksSymbol* TSeriesMarks::Symbol()
{
    if (!FSymbol)
        FSymbol = std::make_unique<TSeriesMarksSymbol>(ParentChart());
    return FSymbol.get();
}

void TSeriesMarks::SetSymbol(const TSeriesMarksSymbol* Value)
{
    if (Value)
        Symbol()->Assign(Value);
}

TPlotCustomShape& TSeriesMarks::Appearance(int ValueIndex)
{
    if (TMarksItem* Item = FItems->Find(ValueIndex))
        return *Item;
    return *this;
}

bool TSeriesMarks::ItemVisible(int ValueIndex) const
{
    const TMarksItem* Item = FItems->Find(ValueIndex);
    return Item ? Item->Visible() : true;
}

TPlotFont& TSeriesMarks::ItemFont(int ValueIndex) const
{
    const TMarksItem* Item = FItems->Find(ValueIndex);
    return Item ? *Item->Font() : *Font();
}

const TChartPen& TSeriesMarks::ItemPen(int ValueIndex) const
{
    const TMarksItem* Item = FItems->Find(ValueIndex);
    return Item ? *Item->Pen() : *Pen();
}

void TSeriesMarks::Clear()
{
    FPositions->Clear();
    const bool Loading = FParentSeries && (FParentSeries->IsLoading() || FParentSeries->ComponentState().testFlag(
                                                                               TComponent::csReading));
    if (!(FItems->LoadedFromStream() && Loading))
        FItems->Clear();
}

void TSeriesMarks::ResetPositions()
{
    for (int I = 0; I < FPositions->Count(); ++I)
        if (TSeriesMarkPosition* Position = FPositions->GetPosition(I))
            Position->UserMoved = false;
    RepaintSeries();
}

void TSeriesMarks::ApplyArrowLength(TSeriesMarkPosition& Position)
{
    const TMarksCallout& C = *Callout();
    const int Lift = CheckedInt32(static_cast<int64_t>(C.Length()) + C.Distance());
    Position.TopLeft.Y = CheckedInt32(static_cast<int64_t>(Position.TopLeft.Y) - Lift);
    Position.ArrowEnd.Y = CheckedInt32(static_cast<int64_t>(Position.ArrowEnd.Y) - Lift);
    Position.ArrowStart.Y = CheckedInt32(static_cast<int64_t>(Position.ArrowStart.Y) - C.Distance());
}

} // namespace lp
