#include "chart/engine/PlotMarks.h"

#include "chart/canvas/PlotPanel.h"
#include "chart/engine/PlotEngine.h"
#include "platform/core/StringList.h"

namespace lp {

namespace {

// The info-tip background colour marks start with.
constexpr TColor MarksDefaultColor = static_cast<TColor>(-16777192);

void MakeGrayShadow(TPlotCustomShape& Shape)
{
    if (TPlotShadow* Shadow = Shape.Shadow()) {
        Shadow->SetColor(0x808080);
        Shadow->SetSize(1);
    }
}

} // namespace

// --- Positions ----------------------------------------------------------------------------------

TRect TSeriesMarkPosition::Bounds() const
{
    return TRect{TopLeft.X, TopLeft.Y, TopLeft.X + MarkWidth, TopLeft.Y + MarkHeight};
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
    const int End = std::min(Count(), Start + Quantity);
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

// --- Items --------------------------------------------------------------------------------------

TMarksItem::TMarksItem()
{
    SetColor(MarksDefaultColor);
    MakeGrayShadow(*this);
}

TMarksItem::~TMarksItem() = default;

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
    if (!FText)
        FText = std::make_unique<TStringList>();
    return *FText;
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
    if (!Slot) {
        Slot = std::make_unique<TMarksItem>();
        if (FOwner && FOwner->ParentChart())
            Slot->SetParentChart(FOwner->ParentChart());
    }
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
    if (FOwner)
        FOwner->Repaint();
}

// --- Symbol -------------------------------------------------------------------------------------

TSeriesMarksSymbol::TSeriesMarksSymbol()
{
    SetVisible(false);
    SetTransparent(false);
    if (TPlotShadow* Shadow = this->Shadow())
        Shadow->SetSize(1);
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

void TSeriesMarks::Assign(const TPersistent* Source)
{
    const auto* Other = qobject_cast<const TSeriesMarks*>(Source);
    if (Other) {
        FAngle = Other->FAngle;
        FArrowLength = Other->FArrowLength;
        FClip = Other->FClip;
        FDrawEvery = Other->FDrawEvery;
        FMultiLine = Other->FMultiLine;
        FStyle = Other->FStyle;
        if (Other->FSymbol)
            Symbol().Assign(Other->FSymbol.get());
    }
    TPlotCustomShape::Assign(Source);
}

void TSeriesMarks::SetAngle(int Value)
{
    if (FAngle != Value) {
        FAngle = Value;
        Repaint();
    }
}

void TSeriesMarks::SetArrowLength(int Value)
{
    if (FArrowLength != Value) {
        FArrowLength = Value;
        Repaint();
    }
}

void TSeriesMarks::SetClip(bool Value)
{
    if (FClip != Value) {
        FClip = Value;
        Repaint();
    }
}

void TSeriesMarks::SetDrawEvery(int Value)
{
    // Zero or negative would divide by zero when choosing the marks.
    Value = std::max(Value, 1);
    if (FDrawEvery != Value) {
        FDrawEvery = Value;
        Repaint();
    }
}

void TSeriesMarks::SetMultiLine(bool Value)
{
    if (FMultiLine != Value) {
        FMultiLine = Value;
        Repaint();
    }
}

void TSeriesMarks::SetStyle(TSeriesMarksStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        Repaint();
    }
}

TSeriesMarksSymbol& TSeriesMarks::Symbol()
{
    if (!FSymbol) {
        FSymbol = std::make_unique<TSeriesMarksSymbol>();
        FSymbol->SetParentChart(ParentChart());
    }
    return *FSymbol;
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
    FItems->Clear();
}

void TSeriesMarks::ResetPositions()
{
    for (int I = 0; I < FPositions->Count(); ++I)
        if (TSeriesMarkPosition* Position = FPositions->GetPosition(I))
            Position->UserMoved = false;
    Repaint();
}

void TSeriesMarks::DrawItem(int ValueIndex, TColor AColor, const QString& St, const TSeriesMarkPosition& Position)
{
    TCustomPlotPanel* Chart = ParentChart();
    if (!Chart)
        return;
    TPlotCustomShape& Shape = FItems->Find(ValueIndex) ? static_cast<TPlotCustomShape&>(*FItems->Find(ValueIndex))
                                                        : static_cast<TPlotCustomShape&>(*this);
    const TRect Bounds = Position.Bounds();
    Shape.DrawRectRotated(Bounds, FAngle % 360, FZPosition);
    TCanvas3D& Canvas = Chart->Canvas();
    Canvas.AssignFont(*Shape.Font());
    Canvas.SetBackMode(TRANSPARENT);
    const int LineHeight = Canvas.FontHeight();
    int TextLeft = Bounds.Left;
    if (SymbolShown()) {
        // The square in the point's colour, font-height wide, 2 pixels in.
        const int Left = Position.TopLeft.X + 2;
        const int Top = Position.TopLeft.Y + 2;
        Canvas.AssignBrush(*FSymbol->Brush(), AColor);
        Canvas.AssignVisiblePen(*FSymbol->Pen());
        Canvas.RectangleWithZ(TRect{Left, Top, Left + LineHeight, Top + LineHeight}, FZPosition);
        TextLeft += LineHeight - 4;
        Canvas.AssignFont(*Shape.Font());
    }
    int Y = Bounds.Top + 1;
    for (const QString& Line : St.split(PlotLineSeparator)) {
        const int X = (TextLeft + Bounds.Right - Canvas.TextWidth(Line)) / 2;
        Canvas.TextOut3D(X, Y, FZPosition, Line);
        Y += LineHeight;
    }
}

} // namespace lp
