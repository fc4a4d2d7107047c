#include "components/Splitter.h"

#include "platform/base/Numeric.h"
#include "platform/core/ClassRegistry.h"

#include <QtCore/QMetaObject>
#include <QtGui/QPainter>
#include <QtGui/QPixmap>
#include <QtWidgets/QWidget>

#include <algorithm>
#include <array>
#include <optional>

namespace lp {

namespace {

// Shows the tracking bands over the panes: painted with the difference of
// the pattern and what lies beneath, the inversion of the bands.
class TTrackingOverlay : public QWidget {
public:
    explicit TTrackingOverlay(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(parent->rect());
        raise();
        show();
    }
    std::vector<QRect> Bands;
    QBrush Pattern;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        for (const QRect& band : Bands)
            painter.fillRect(band, Pattern);
    }
};

// The pattern of a move style: black alternating with a lighter grey (a
// solid white for amsBlack, which inverts the whole band).
QBrush PatternOf(TuiSplitMoveStyle Style)
{
    QRgb Light = qRgb(255, 255, 255);
    switch (Style) {
    case TuiCustomMultiSplit::amsDark: Light = qRgb(255, 255, 255); break;
    case TuiCustomMultiSplit::amsMedium: Light = qRgb(0xC0, 0xC0, 0xC0); break;
    case TuiCustomMultiSplit::amsMediumLight: Light = qRgb(0x80, 0x80, 0x80); break;
    case TuiCustomMultiSplit::amsLight: Light = qRgb(0x40, 0x40, 0x40); break;
    default: return QBrush(Qt::white);
    }
    QImage Checker(2, 2, QImage::Format_RGB32);
    Checker.setPixel(0, 0, qRgb(0, 0, 0));
    Checker.setPixel(1, 1, qRgb(0, 0, 0));
    Checker.setPixel(1, 0, Light);
    Checker.setPixel(0, 1, Light);
    return QBrush(Checker);
}

// A rectangle with its far edges not before its near ones.
TRect Normalized(int Left, int Top, int Right, int Bottom)
{
    return {Left, Top, std::max(Left, Right), std::max(Top, Bottom)};
}

int PercentOf(int Position, int Size)
{
    return Size > 0 ? RoundToInt32(static_cast<double>(Position) / Size * 100.0) : 0;
}

// Bar spans of a position: first and last pixel.
std::pair<int, int> SpanOf(int Position, int Thickness)
{
    return {Position - 1 - Thickness / 2, Position + (Thickness + 1) / 2};
}

} // namespace

// --- Pane links -------------------------------------------------------------------------------

TuiSplitPaneLink::~TuiSplitPaneLink() = default;

int TuiSplitPaneLink::PaneIndex() const
{
    if (!FSplit)
        return -1;
    for (int i = 0; i < FSplit->PaneCount(); ++i)
        if (dynamic_cast<TuiSplitPaneLink*>(FSplit->Panes(i)) == this)
            return i;
    return -1;
}

void TuiSplitPaneLink::SetPaneIndex(int Value)
{
    if (!FSplit)
        return;
    for (int i = 0; i < FSplit->PaneCount(); ++i)
        if (dynamic_cast<TuiSplitPaneLink*>(FSplit->Panes(i)) == this) {
            FSplit->MovePane(FSplit->Panes(i), Value);
            return;
        }
}

void TuiSplitPaneLink::AttachTo(TControl* Self, TControl* AParent)
{
    auto* Split = dynamic_cast<TuiCustomSplit*>(AParent);
    if (AParent && !Split)
        throw EAbort();
    if (Split == FSplit)
        return;
    if (FSplit)
        FSplit->RemovePane(Self);
    if (Split)
        Split->InsertPane(Self);
}

void TuiSplitPaneLink::Detach(TControl* Self)
{
    if (FSplit)
        FSplit->RemovePane(Self);
}

// --- TuiCustomSplit ---------------------------------------------------------------------------

TuiCustomSplit::TuiCustomSplit(TComponent* AOwner) : TuiCustomEdgePanel(AOwner) {}

TuiCustomSplit::~TuiCustomSplit()
{
    // The panes belong to their owner; they only lose their splitter.
    for (TControl* Pane : FPanes)
        if (auto* Link = dynamic_cast<TuiSplitPaneLink*>(Pane))
            Link->FSplit = nullptr;
    FPanes.clear();
}

TControl* TuiCustomSplit::Panes(int Index) const
{
    if (Index < 0 || Index >= PaneCount())
        RaiseIndexError(Index, PaneCount());
    return FPanes[static_cast<size_t>(Index)];
}

int TuiCustomSplit::IndexOfPane(const TControl* Pane) const
{
    const auto Found = std::find(FPanes.begin(), FPanes.end(), Pane);
    return Found == FPanes.end() ? -1 : static_cast<int>(Found - FPanes.begin());
}

void TuiCustomSplit::InsertPane(TControl* Pane)
{
    auto* Link = dynamic_cast<TuiSplitPaneLink*>(Pane);
    if (!Link || IndexOfPane(Pane) >= 0)
        return;
    FPanes.push_back(Pane);
    Link->FSplit = this;
    ParentPaneWindows();
    if (!IsLoading() && !IsDestroying())
        LayoutPanes();
}

void TuiCustomSplit::RemovePane(TControl* Pane)
{
    const int Index = IndexOfPane(Pane);
    if (Index < 0)
        return;
    FPanes.erase(FPanes.begin() + Index);
    if (auto* Link = dynamic_cast<TuiSplitPaneLink*>(Pane))
        Link->FSplit = nullptr;
    if (Pane->HandleAllocated() && !Pane->IsDestroying())
        Pane->Widget()->setParent(nullptr);
    if (!IsLoading() && !IsDestroying())
        LayoutPanes();
}

void TuiCustomSplit::MovePane(TControl* Pane, int NewIndex)
{
    const int Index = IndexOfPane(Pane);
    if (Index < 0)
        return;
    const int Last = PaneCount() - 1;
    if (NewIndex < 0 || NewIndex > Last)
        throw EListError(FormatText("%d is an invalid PaneIndex value.  PaneIndex must be between 0 and %d",
                                    {std::to_string(NewIndex), std::to_string(Last)}));
    FPanes.erase(FPanes.begin() + Index);
    FPanes.insert(FPanes.begin() + NewIndex, Pane);
    if (!IsLoading() && !IsDestroying())
        LayoutPanes();
}

void TuiCustomSplit::CreateWnd()
{
    ParentPaneWindows();
}

void TuiCustomSplit::ParentPaneWindows()
{
    if (!HandleAllocated())
        return;
    QWidget* Window = Widget();
    for (TControl* Pane : FPanes) {
        QWidget* PaneWindow = Pane->Widget(Window);
        PaneWindow->setVisible(Pane->Visible());
    }
}

// --- TuiCustomMultiSplit ----------------------------------------------------------------------

TuiCustomMultiSplit::TuiCustomMultiSplit(TComponent* AOwner) : TuiCustomSplit(AOwner)
{
    FInitialized = true;
    UpdateInset();
    SetBounds(0, 0, 100, 100);
}

TuiCustomMultiSplit::~TuiCustomMultiSplit()
{
    delete FOverlay.data();
}

void TuiCustomMultiSplit::UpdateInset()
{
    FInset = BorderWidth();
    if (BevelOuter() != bvNone)
        FInset += BevelWidth();
    if (BevelInner() != bvNone)
        FInset += BevelWidth();
}

void TuiCustomMultiSplit::BordersChanged()
{
    UpdateInset();
    TuiCustomSplit::BordersChanged();
    if (!IsLoading() && FInitialized) {
        ApplyHPos(FSplitHPos, true);
        ApplyVPos(FSplitVPos, true);
        LayoutPanes();
    }
}

TPoint TuiCustomMultiSplit::ClampPoint(TPoint P) const
{
    auto ClampAxis = [&](int V, int Size, int Min, int Max) {
        V = std::min(V, Size - FInset);
        if (Max != 0 && V > Max)
            V = Max;
        else if (V < Min)
            V = Min;
        const int M = FThickness / 2 + 1 + FInset;
        V = std::max(V, M);
        const int Far = BorderStyle() == bsSingle ? M + 2 : M;
        V = std::min(V, Size - Far - (FThickness % 2 == 1 ? 1 : 0));
        // A window smaller than its bars leaves the bar at the start, never
        // before it.
        return std::max(V, 0);
    };
    return {ClampAxis(P.X, Width(), FSplitHMin, FSplitHMax), ClampAxis(P.Y, Height(), FSplitVMin, FSplitVMax)};
}

void TuiCustomMultiSplit::UpdateSpans()
{
    std::tie(FVL, FVR) = SpanOf(FSplitHPos, FThickness);
    std::tie(FHT, FHB) = SpanOf(FSplitVPos, FThickness);
}

void TuiCustomMultiSplit::ApplyHPos(int Value, bool Notify)
{
    const int Old = FSplitHPos;
    FSplitHPos = ClampPoint({Value, FSplitVPos}).X;
    FSplitHPercent = PercentOf(FSplitHPos, Width());
    UpdateSpans();
    if (Notify && FSplitHPos != Old && OnSplitMoveH)
        OnSplitMoveH(this);
}

void TuiCustomMultiSplit::ApplyVPos(int Value, bool Notify)
{
    const int Old = FSplitVPos;
    FSplitVPos = ClampPoint({FSplitHPos, Value}).Y;
    FSplitVPercent = PercentOf(FSplitVPos, Height());
    UpdateSpans();
    if (Notify && FSplitVPos != Old && OnSplitMoveV)
        OnSplitMoveV(this);
}

void TuiCustomMultiSplit::SetSplitHPos(int Value)
{
    Value = std::max(Value, 0);
    if (IsLoading() || Width() <= 0 || Height() <= 0) {
        FSplitHPos = Value;
        UpdateSpans();
        return;
    }
    const int Old = FSplitHPos;
    ApplyHPos(Value, false);
    if (FInitialized)
        LayoutPanes();
    if (FSplitHPos != Old && OnSplitMoveH)
        OnSplitMoveH(this);
}

void TuiCustomMultiSplit::SetSplitVPos(int Value)
{
    Value = std::max(Value, 0);
    if (IsLoading() || Width() <= 0 || Height() <= 0) {
        FSplitVPos = Value;
        UpdateSpans();
        return;
    }
    const int Old = FSplitVPos;
    ApplyVPos(Value, false);
    if (FInitialized)
        LayoutPanes();
    if (FSplitVPos != Old && OnSplitMoveV)
        OnSplitMoveV(this);
}

void TuiCustomMultiSplit::SetSplitHPercent(int Value)
{
    Value = std::max(Value, 0);
    SetSplitHPos(Value >= 100 ? Width() : RoundToInt32(Value / 100.0 * Width()));
}

void TuiCustomMultiSplit::SetSplitVPercent(int Value)
{
    Value = std::max(Value, 0);
    SetSplitVPos(Value >= 100 ? Height() : RoundToInt32(Value / 100.0 * Height()));
}

void TuiCustomMultiSplit::SetSplitHMin(int Value)
{
    Value = std::max(Value, 0);
    if (Value != 0 && !IsLoading() && ((FSplitHMax != 0 && Value > FSplitHMax) || Value > Width()))
        return;
    FSplitHMin = Value;
    if (FSplitHPos < Value)
        SetSplitHPos(Value);
}

void TuiCustomMultiSplit::SetSplitHMax(int Value)
{
    Value = std::max(Value, 0);
    if (Value != 0 && !IsLoading()) {
        if (Value < FSplitHMin)
            return;
        Value = std::min(Value, Width());
    }
    FSplitHMax = Value;
    if (Value != 0 && FSplitHPos > Value)
        SetSplitHPos(Value);
}

void TuiCustomMultiSplit::SetSplitVMin(int Value)
{
    Value = std::max(Value, 0);
    if (Value != 0 && !IsLoading() && ((FSplitVMax != 0 && Value > FSplitVMax) || Value > Height()))
        return;
    FSplitVMin = Value;
    if (FSplitVPos < Value)
        SetSplitVPos(Value);
}

void TuiCustomMultiSplit::SetSplitVMax(int Value)
{
    Value = std::max(Value, 0);
    if (Value != 0 && !IsLoading()) {
        if (Value < FSplitVMin)
            return;
        Value = std::min(Value, Height());
    }
    FSplitVMax = Value;
    if (Value != 0 && FSplitVPos > Value)
        SetSplitVPos(Value);
}

void TuiCustomMultiSplit::SetThickness(int Value)
{
    Value = std::clamp(Value, 0, 255);
    if (FThickness == Value)
        return;
    FThickness = Value;
    SetSplitHPos(FSplitHPos);
    SetSplitVPos(FSplitVPos);
    UpdateSpans();
    Invalidate();
}

void TuiCustomMultiSplit::SetLayout(TuiMultiSplitLayout Value)
{
    if (FLayout == Value)
        return;
    FLayout = Value;
    LayoutPanes();
}

void TuiCustomMultiSplit::SetSplitColor(TColor Value)
{
    if (FSplitColor == Value)
        return;
    FSplitColor = Value;
    Invalidate();
}

void TuiCustomMultiSplit::SetSplitBevel(TPanelBevel Value)
{
    if (FSplitBevel == Value)
        return;
    FSplitBevel = Value;
    Invalidate();
}

void TuiCustomMultiSplit::SetMoveImmediate(bool Value)
{
    if (Value)
        FSplitMoveStyle = amsImmediate;
    else if (FSplitMoveStyle == amsImmediate)
        FSplitMoveStyle = amsMedium;
}

// --- Layout -----------------------------------------------------------------------------------

std::optional<TRect> TuiCustomMultiSplit::PaneRect(int Index) const
{
    const int L = FInset, T = FInset, R = Width() - FInset, B = Height() - FInset;
    const TRect Whole = Normalized(L, T, R, B);
    // The parts beside the bars.
    const int LeftR = FVL, RightL = FVR + 1, TopB = FHT, BottomT = FHB + 1;
    const TRect Left = Normalized(L, T, LeftR, B), Right = Normalized(RightL, T, R, B);
    const TRect Top = Normalized(L, T, R, TopB), Bottom = Normalized(L, BottomT, R, B);
    const TRect LeftTop = Normalized(L, T, LeftR, TopB), RightTop = Normalized(RightL, T, R, TopB);
    const TRect LeftBottom = Normalized(L, BottomT, LeftR, B), RightBottom = Normalized(RightL, BottomT, R, B);
    std::array<std::optional<TRect>, 4> Panes;
    switch (FLayout) {
    case mslSingle: Panes = {Whole, {}, {}, {}}; break;
    case mslVert: Panes = {Left, Right, {}, {}}; break;
    case mslHorz: Panes = {Top, Bottom, {}, {}}; break;
    case mslLeftTopBottom: Panes = {Left, RightTop, RightBottom, {}}; break;
    case mslRightTopBottom: Panes = {LeftTop, Right, LeftBottom, {}}; break;
    case mslLeftRightBottom: Panes = {LeftTop, RightTop, Bottom, {}}; break;
    case mslTopLeftRight: Panes = {Top, RightBottom, LeftBottom, {}}; break;
    case mslFourWay: Panes = {LeftTop, RightTop, RightBottom, LeftBottom}; break;
    }
    if (Index < 0 || Index > 3)
        return std::nullopt;
    return Panes[static_cast<size_t>(Index)];
}

void TuiCustomMultiSplit::SetCursor(TCursor Value)
{
    TuiCustomSplit::SetCursor(Value);
    for (int i = 0; i < PaneCount(); ++i)
        Panes(i)->SetCursor(Value);
}

void TuiCustomMultiSplit::LayoutPanes()
{
    if (IsLoading() || IsDestroying())
        return;
    for (int i = 0; i < PaneCount(); ++i)
        Panes(i)->SetCursor(Cursor());
    for (int i = 0; i < std::min(PaneCount(), 4); ++i) {
        TControl* Pane = Panes(i);
        const std::optional<TRect> R = PaneRect(i);
        if (R)
            Pane->SetBounds(R->Left, R->Top, R->Right - R->Left, R->Bottom - R->Top);
        Pane->SetVisible(R.has_value());
    }
    Invalidate();
}

// --- Bars -------------------------------------------------------------------------------------

namespace {

// The extent [first, end) of a bar across the other axis, given the other
// bar's span; nullopt when the layout has no such bar.
struct TBarExtents {
    std::optional<std::pair<int, int>> Vertical;   // y range of the vertical bar
    std::optional<std::pair<int, int>> Horizontal; // x range of the horizontal bar
};

TBarExtents ExtentsOf(TuiMultiSplitLayout Layout, int L, int T, int R, int B, std::pair<int, int> VSpan,
                      std::pair<int, int> HSpan)
{
    using S = TuiCustomMultiSplit;
    const std::pair<int, int> FullV{T, B}, TopV{T, HSpan.first}, BottomV{HSpan.second + 1, B};
    const std::pair<int, int> FullH{L, R}, LeftH{L, VSpan.first}, RightH{VSpan.second + 1, R};
    switch (Layout) {
    case S::mslSingle: return {};
    case S::mslVert: return {FullV, {}};
    case S::mslHorz: return {{}, FullH};
    case S::mslLeftTopBottom: return {FullV, RightH};
    case S::mslRightTopBottom: return {FullV, LeftH};
    case S::mslLeftRightBottom: return {TopV, FullH};
    case S::mslTopLeftRight: return {BottomV, FullH};
    case S::mslFourWay: return {FullV, FullH};
    }
    return {};
}

bool Inside(const std::optional<std::pair<int, int>>& Extent, int V)
{
    return Extent && V >= Extent->first && V < Extent->second;
}

} // namespace

bool TuiCustomMultiSplit::ShowsVerticalBar(int Y) const
{
    const TBarExtents E =
        ExtentsOf(FLayout, FInset, FInset, Width() - FInset, Height() - FInset, {FVL, FVR}, {FHT, FHB});
    return Inside(E.Vertical, Y);
}

bool TuiCustomMultiSplit::ShowsHorizontalBar(int X) const
{
    const TBarExtents E =
        ExtentsOf(FLayout, FInset, FInset, Width() - FInset, Height() - FInset, {FVL, FVR}, {FHT, FHB});
    return Inside(E.Horizontal, X);
}

TCursor TuiCustomMultiSplit::CursorAt(int X, int Y) const
{
    const bool OnVertical = X >= FVL && X <= FVR && ShowsVerticalBar(Y);
    const bool OnHorizontal = Y >= FHT && Y <= FHB && ShowsHorizontalBar(X);
    if (OnVertical && OnHorizontal) {
        if (FSplitHLock && FSplitVLock)
            return Cursor();
        if (FSplitHLock)
            return crVSplit;
        if (FSplitVLock)
            return crHSplit;
        return crSizeFourWay;
    }
    if (OnVertical)
        return FSplitHLock ? Cursor() : crHSplit;
    if (OnHorizontal)
        return FSplitVLock ? Cursor() : crVSplit;
    return Cursor();
}

void TuiCustomMultiSplit::PaintBars(TCanvas& Canvas) const
{
    const TColor First = FSplitBevel == bvRaised ? clBtnHighlight : FSplitBevel == bvLowered ? clBtnShadow : Color();
    const TColor Second = FSplitBevel == bvRaised ? clBtnShadow : FSplitBevel == bvLowered ? clBtnHighlight : Color();
    const TBarExtents E =
        ExtentsOf(FLayout, FInset, FInset, Width() - FInset, Height() - FInset, {FVL, FVR}, {FHT, FHB});
    Canvas.Brush().SetStyle(bsSolid);
    auto Fill = [&](const TRect& R, TColor C) {
        if (R.Right > R.Left && R.Bottom > R.Top) {
            Canvas.Brush().SetColor(C);
            Canvas.FillRect(R);
        }
    };
    // A bar's edge lines stop where the other bar crosses it.
    auto Pieces = [](std::pair<int, int> Extent, bool Crossed, int CrossFirst, int CrossLast) {
        std::vector<std::pair<int, int>> Result;
        if (!Crossed || CrossLast < Extent.first || CrossFirst >= Extent.second)
            Result.push_back(Extent);
        else {
            Result.push_back({Extent.first, CrossFirst});
            Result.push_back({CrossLast + 1, Extent.second});
        }
        return Result;
    };
    const bool Custom = FSplitColor != Color();
    if (E.Vertical) {
        const bool Crossed = E.Horizontal && Inside(E.Horizontal, FVL) && Inside(E.Horizontal, FVR);
        if (Custom)
            Fill({FVL + 1, E.Vertical->first, FVR, E.Vertical->second}, FSplitColor);
        for (const auto& [Y0, Y1] : Pieces(*E.Vertical, Crossed, FHT, FHB)) {
            Fill({FVL, Y0, FVL + 1, Y1}, First);
            Fill({FVR, Y0, FVR + 1, Y1}, Second);
        }
    }
    if (E.Horizontal) {
        const bool Crossed = E.Vertical && Inside(E.Vertical, FHT) && Inside(E.Vertical, FHB);
        if (Custom)
            Fill({E.Horizontal->first, FHT + 1, E.Horizontal->second, FHB}, FSplitColor);
        for (const auto& [X0, X1] : Pieces(*E.Horizontal, Crossed, FVL, FVR)) {
            Fill({X0, FHT, X1, FHT + 1}, First);
            Fill({X0, FHB, X1, FHB + 1}, Second);
        }
    }
}

void TuiCustomMultiSplit::Paint(TCanvas& Canvas)
{
    Canvas.Pen().SetWidth(1);
    Canvas.Pen().SetColor(clBlack);
    TuiCustomSplit::Paint(Canvas);
    PaintBars(Canvas);
}

// --- Dragging ---------------------------------------------------------------------------------

std::vector<TRect> TuiCustomMultiSplit::BandsAt(TPoint P) const
{
    // The area the bands may cover: inside the bevels (and a single border).
    const int Edge = FInset + (BorderStyle() == bsSingle ? 1 : 0);
    const int L = Edge, T = Edge, R = Width() - Edge, B = Height() - Edge;
    const auto VSpan = SpanOf(P.X, FThickness), HSpan = SpanOf(P.Y, FThickness);
    const TBarExtents E = ExtentsOf(FLayout, L, T, R, B, VSpan, HSpan);
    const bool MovesX = FDragCursor == crHSplit || FDragCursor == crSizeFourWay;
    const bool MovesY = FDragCursor == crVSplit || FDragCursor == crSizeFourWay;
    std::vector<TRect> Bands;
    const int X0 = P.X - FThickness / 2, Y0 = P.Y - FThickness / 2;
    if (MovesX && E.Vertical)
        Bands.push_back(Normalized(std::max(X0, L), E.Vertical->first, std::min(X0 + FThickness, R),
                                   E.Vertical->second));
    if (MovesY && E.Horizontal)
        Bands.push_back(Normalized(E.Horizontal->first, std::max(Y0, T), E.Horizontal->second,
                                   std::min(Y0 + FThickness, B)));
    return Bands;
}

void TuiCustomMultiSplit::ShowBands(const std::vector<TRect>& Bands)
{
    FBands = Bands;
    if (!HandleAllocated())
        return;
    if (!FOverlay && !FBands.empty()) {
        auto* Overlay = new TTrackingOverlay(Widget());
        Overlay->Pattern = PatternOf(FSplitMoveStyle);
        FOverlay = Overlay;
    }
    if (auto* Overlay = static_cast<TTrackingOverlay*>(FOverlay.data())) {
        Overlay->Bands.clear();
        for (const TRect& Band : FBands)
            Overlay->Bands.push_back(ToQRect(Band));
        Overlay->setGeometry(Widget()->rect());
        Overlay->raise();
        Overlay->update();
    }
}

void TuiCustomMultiSplit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TuiCustomSplit::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || FDragging)
        return;
    const TCursor Over = CursorAt(X, Y);
    if (Over == Cursor())
        return;
    FDragging = true;
    FDragCursor = Over;
    FDragPoint = {FSplitHPos, FSplitVPos};
    MouseMove(Shift, X, Y);
}

void TuiCustomMultiSplit::MouseMove(TShiftState Shift, int X, int Y)
{
    TuiCustomSplit::MouseMove(Shift, X, Y);
    if (!FDragging) {
        if (HandleAllocated())
            Widget()->setCursor(Application().CursorOf(CursorAt(X, Y)));
        return;
    }
    TPoint P = ClampPoint({X, Y});
    // A locked direction keeps its position.
    if (FDragCursor == crVSplit)
        P.X = FSplitHPos;
    if (FDragCursor == crHSplit)
        P.Y = FSplitVPos;
    const bool Changed = P.X != FDragPoint.X || P.Y != FDragPoint.Y;
    FDragPoint = P;
    switch (FSplitMoveStyle) {
    case amsNoLine: break;
    case amsImmediate:
        if (Changed) {
            SetSplitHPos(P.X);
            SetSplitVPos(P.Y);
        }
        break;
    default: ShowBands(BandsAt(P)); break;
    }
}

void TuiCustomMultiSplit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (FDragging && Button == mbLeft) {
        FDragging = false;
        ShowBands({});
        delete FOverlay.data();
        SetSplitHPos(FDragPoint.X);
        SetSplitVPos(FDragPoint.Y);
        FDragCursor = crDefault;
        if (HandleAllocated())
            Widget()->setCursor(Application().CursorOf(CursorAt(X, Y)));
    }
    TuiCustomSplit::MouseUp(Button, Shift, X, Y);
}

// --- Keys, resizing, start-up -----------------------------------------------------------------

bool TuiCustomMultiSplit::WantsKey(int Key) const
{
    if (FLayout == mslSingle)
        return false;
    if (Key == VK_LEFT || Key == VK_RIGHT)
        return !FSplitHLock && FLayout != mslHorz;
    if (Key == VK_UP || Key == VK_DOWN)
        return !FSplitVLock && FLayout != mslVert;
    return false;
}

void TuiCustomMultiSplit::KeyDown(int& Key, TShiftState Shift)
{
    TuiCustomSplit::KeyDown(Key, Shift);
    if (!WantsKey(Key))
        return;
    const bool ToEdge = Shift.testFlag(ssShift);
    switch (Key) {
    case VK_LEFT: SetSplitHPos(ToEdge ? 0 : FSplitHPos - FKeyIncrement); break;
    case VK_RIGHT: SetSplitHPos(ToEdge ? Width() : FSplitHPos + FKeyIncrement); break;
    case VK_UP: SetSplitVPos(ToEdge ? 0 : FSplitVPos - FKeyIncrement); break;
    case VK_DOWN: SetSplitVPos(ToEdge ? Height() : FSplitVPos + FKeyIncrement); break;
    default: break;
    }
    Key = 0;
}

void TuiCustomMultiSplit::Resize()
{
    TuiCustomSplit::Resize();
    if (IsLoading() || Width() <= 0 || Height() <= 0)
        return;
    const int H = FSplitHScaled ? RoundToInt32(Width() / 100.0 * FSplitHPercent) : FSplitHPos;
    const int V = FSplitVScaled ? RoundToInt32(Height() / 100.0 * FSplitVPercent) : FSplitVPos;
    ApplyHPos(H, true);
    ApplyVPos(V, true);
    if (FInitialized)
        LayoutPanes();
    if (FOverlay && HandleAllocated())
        FOverlay->setGeometry(Widget()->rect());
}

void TuiCustomMultiSplit::Loaded()
{
    TuiCustomSplit::Loaded();
    FInitialized = false;
    PostStartup();
}

void TuiCustomMultiSplit::CreateWnd()
{
    TuiCustomSplit::CreateWnd();
    if (!IsLoading())
        PostStartup();
}

void TuiCustomMultiSplit::PostStartup()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            // Runs from the event loop: handlers' errors end here.
            try {
                ApplyStartupPositions();
            } catch (const std::exception& Error) {
                Application().HandleException(Error);
            }
        },
        Qt::QueuedConnection);
}

void TuiCustomMultiSplit::ApplyStartupPositions()
{
    if (IsDestroying())
        return;
    FInitialized = true;
    SetSplitHPos(FSplitHPos);
    SetSplitVPos(FSplitVPos);
    LayoutPanes();
}

void TuiCustomMultiSplit::PaneScrolled(TControl* Pane, bool Horizontal, int ScrollCode, int Position)
{
    if (FSyncing || !(Horizontal ? FSyncHScroll : FSyncVScroll))
        return;
    FSyncing = true;
    try {
        for (int i = 0; i < PaneCount(); ++i)
            if (Panes(i) != Pane)
                if (auto* Box = dynamic_cast<TuiCustomScrollBox*>(Panes(i)))
                    Box->Scroll(Horizontal, ScrollCode, Position);
    } catch (...) {
        FSyncing = false;
        throw;
    }
    FSyncing = false;
}

// --- Panes ------------------------------------------------------------------------------------

TuiSplitPane::TuiSplitPane(TComponent* AOwner) : TuiCustomEdgePanel(AOwner)
{
    SetBevelOuter(bvNone);
    SetColor(clWindow);
}

TuiSplitPane::~TuiSplitPane()
{
    Detach(this);
}

TuiScrollingSplitPane::TuiScrollingSplitPane(TComponent* AOwner) : TuiCustomScrollBox(AOwner)
{
    SetBorderStyle(TuiCustomEdgePanel::bsNone);
    SetColor(clWindow);
}

TuiScrollingSplitPane::~TuiScrollingSplitPane()
{
    Detach(this);
}

void TuiScrollingSplitPane::Scroll(bool Horizontal, int ScrollCode, int ScrollPos)
{
    auto& Handler = Horizontal ? OnScrollH : OnScrollV;
    if (Handler)
        Handler(this, ScrollCode, ScrollPos);
    TuiCustomScrollBox::Scroll(Horizontal, ScrollCode, ScrollPos);
    if (auto* Split = dynamic_cast<TuiCustomMultiSplit*>(Splitter()))
        Split->PaneScrolled(this, Horizontal, ScrollCode, ScrollPos);
}

// --- Start-up ---------------------------------------------------------------------------------

QCursor FourWayCursor()
{
    QPixmap Picture(32, 32);
    Picture.fill(Qt::transparent);
    QPainter Painter(&Picture);
    Painter.setRenderHint(QPainter::Antialiasing, false);
    // A cross of double-headed arrows, black with a white outline.
    const QPolygon Arrow({QPoint(16, 2), QPoint(21, 7), QPoint(18, 7), QPoint(18, 14), QPoint(25, 14),
                          QPoint(25, 11), QPoint(30, 16), QPoint(25, 21), QPoint(25, 18), QPoint(18, 18),
                          QPoint(18, 25), QPoint(21, 25), QPoint(16, 30), QPoint(11, 25), QPoint(14, 25),
                          QPoint(14, 18), QPoint(7, 18), QPoint(7, 21), QPoint(2, 16), QPoint(7, 11),
                          QPoint(7, 14), QPoint(14, 14), QPoint(14, 7), QPoint(11, 7)});
    Painter.setPen(QPen(Qt::white, 1));
    Painter.setBrush(Qt::black);
    Painter.drawPolygon(Arrow);
    Painter.end();
    return QCursor(Picture, 16, 16);
}

void InitializeMultiSplit()
{
    RegisterClass<TuiSplitPane>();
    RegisterClass<TuiScrollingSplitPane>();
    Application().RegisterCursor(crSizeFourWay, FourWayCursor());
}

void FinalizeMultiSplit()
{
    Application().UnregisterCursor(crSizeFourWay);
    UnRegisterClass(QStringLiteral("TuiScrollingSplitPane"));
    UnRegisterClass(QStringLiteral("TuiSplitPane"));
}

} // namespace lp
