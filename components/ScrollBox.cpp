#include "components/ScrollBox.h"

#include "platform/graphics/DrawingLimits.h"
#include "platform/ui/Edges.h"

#include <QtCore/QEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QStyle>
#include <QtWidgets/QWidget>

#include <algorithm>

namespace lp {

namespace {

constexpr int kLine = 8;
// The sunken edge of a single border.
constexpr int kSingleBorder = 2;

// Child changes after which the content may reach elsewhere.
bool ChangesExtent(QEvent::Type Type)
{
    switch (Type) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        return true;
    default:
        return false;
    }
}

} // namespace

TuiCustomScrollBox::TuiCustomScrollBox(TComponent* AOwner) : TControl(AOwner)
{
    SetBounds(0, 0, 185, 41);
}

TuiCustomScrollBox::~TuiCustomScrollBox()
{
    // The window goes with the control; its children stop reporting here.
    if (HandleAllocated()) {
        Widget()->removeEventFilter(this);
        for (QObject* Child : Widget()->children())
            Child->removeEventFilter(this);
    }
}

void TuiCustomScrollBox::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    UpdateScrollBars();
    Invalidate();
}

void TuiCustomScrollBox::SetAutoScroll(bool Value)
{
    if (FAutoScroll == Value)
        return;
    FAutoScroll = Value;
    UpdateScrollBars();
}

void TuiCustomScrollBox::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    Invalidate();
}

void TuiCustomScrollBox::SetHorzRange(int Value)
{
    FHorzRange = std::max(Value, 0);
    UpdateScrollBars();
}

void TuiCustomScrollBox::SetVertRange(int Value)
{
    FVertRange = std::max(Value, 0);
    UpdateScrollBars();
}

int TuiCustomScrollBox::ScrollBarSize()
{
    const QStyle* Style = QApplication::style();
    return Style ? std::max(Style->pixelMetric(QStyle::PM_ScrollBarExtent), 1) : 16;
}

int TuiCustomScrollBox::BorderWidth() const
{
    return FBorderStyle == TuiCustomEdgePanel::bsSingle ? kSingleBorder : 0;
}

bool TuiCustomScrollBox::IsBar(const QObject* Object) const
{
    return Object != nullptr && (Object == FHorzBar.data() || Object == FVertBar.data());
}

int TuiCustomScrollBox::ContentExtent(bool Horizontal) const
{
    if (!HandleAllocated())
        return 0;
    const QWidget* Window = const_cast<TuiCustomScrollBox*>(this)->Widget();
    const int Position = Horizontal ? FHorzPosition : FVertPosition;
    long long Extent = 0;
    for (const QObject* Object : Window->children()) {
        const auto* Child = qobject_cast<const QWidget*>(Object);
        if (!Child || IsBar(Child) || Child->isWindow() || Child->isHidden())
            continue;
        const QRect R = Child->geometry();
        // Content pixels: where the child lies with the box scrolled home.
        Extent = std::max(Extent, static_cast<long long>(Horizontal ? R.x() + R.width() : R.y() + R.height()) +
                                      Position);
    }
    return static_cast<int>(std::clamp<long long>(Extent, 0, MaxControlExtent));
}

int TuiCustomScrollBox::HorzScrollRange() const
{
    return FAutoScroll ? std::max(FHorzRange, ContentExtent(true)) : FHorzRange;
}

int TuiCustomScrollBox::VertScrollRange() const
{
    return FAutoScroll ? std::max(FVertRange, ContentExtent(false)) : FVertRange;
}

TuiCustomScrollBox::TBars TuiCustomScrollBox::BarsShown() const
{
    const int Inner = 2 * BorderWidth();
    const int Width = std::max(this->Width() - Inner, 0);
    const int Height = std::max(this->Height() - Inner, 0);
    const int HorzRange = HorzScrollRange();
    const int VertRange = VertScrollRange();
    const int Bar = ScrollBarSize();
    TBars Shown;
    Shown.Horizontal = HorzRange > Width;
    Shown.Vertical = VertRange > Height - (Shown.Horizontal ? Bar : 0);
    // The vertical bar narrows the page and may call for the other bar.
    if (!Shown.Horizontal && Shown.Vertical)
        Shown.Horizontal = HorzRange > Width - Bar;
    return Shown;
}

int TuiCustomScrollBox::HorzPage() const
{
    const int Bar = BarsShown().Vertical ? ScrollBarSize() : 0;
    return std::max(Width() - 2 * BorderWidth() - Bar, 0);
}

int TuiCustomScrollBox::VertPage() const
{
    const int Bar = BarsShown().Horizontal ? ScrollBarSize() : 0;
    return std::max(Height() - 2 * BorderWidth() - Bar, 0);
}

void TuiCustomScrollBox::ScrollTo(bool Horizontal, int Position)
{
    const int Range = Horizontal ? HorzScrollRange() : VertScrollRange();
    const int Page = Horizontal ? HorzPage() : VertPage();
    Position = std::clamp(Position, 0, std::max(Range - Page, 0));
    int& Current = Horizontal ? FHorzPosition : FVertPosition;
    const int Delta = Position - Current;
    if (Delta != 0) {
        Current = Position;
        if (HandleAllocated()) {
            // The content moves under the bars, which stay where they are.
            FArranging = true;
            for (QObject* Object : Widget()->children())
                if (auto* Child = qobject_cast<QWidget*>(Object); Child && !IsBar(Child) && !Child->isWindow())
                    Child->move(Child->pos() - (Horizontal ? QPoint(Delta, 0) : QPoint(0, Delta)));
            FArranging = false;
            Widget()->update();
        }
    }
    QScrollBar* Bar = Horizontal ? FHorzBar.data() : FVertBar.data();
    if (Bar && Bar->value() != Current) {
        const QSignalBlocker Quiet(Bar);
        Bar->setValue(Current);
    }
}

void TuiCustomScrollBox::UpdateScrollBars()
{
    if (FArranging)
        return;
    FArranging = true;
    const TBars Shown = BarsShown();
    const int Border = BorderWidth();
    const int Bar = ScrollBarSize();
    const int HorzPageSize = HorzPage();
    const int VertPageSize = VertPage();
    const auto Place = [&](QScrollBar* Widget, bool Visible, int Range, int Page, int Position, const QRect& Where) {
        if (!Widget)
            return;
        const QSignalBlocker Quiet(Widget);
        Widget->setRange(0, std::max(Range - Page, 0));
        Widget->setPageStep(std::max(Page, 1));
        Widget->setSingleStep(kLine);
        Widget->setValue(Position);
        Widget->setGeometry(Where);
        Widget->setVisible(Visible);
        Widget->raise();
    };
    FArranging = false;
    // A range that shrank, or a page that grew, pulls the content back.
    ScrollTo(true, FHorzPosition);
    ScrollTo(false, FVertPosition);
    FArranging = true;
    Place(FHorzBar.data(), Shown.Horizontal, HorzScrollRange(), HorzPageSize, FHorzPosition,
          QRect(Border, Height() - Border - Bar, HorzPageSize, Bar));
    Place(FVertBar.data(), Shown.Vertical, VertScrollRange(), VertPageSize, FVertPosition,
          QRect(Width() - Border - Bar, Border, Bar, VertPageSize));
    FArranging = false;
    if (HandleAllocated())
        Widget()->update();
}

void TuiCustomScrollBox::Resize()
{
    UpdateScrollBars();
    TControl::Resize();
}

void TuiCustomScrollBox::CreateWnd()
{
    QWidget* Window = Widget();
    const auto MakeBar = [&](Qt::Orientation Orientation, bool Horizontal) {
        auto* Bar = new QScrollBar(Orientation, Window);
        Bar->hide();
        // Dragging or clicking a bar sends the scroll messages the wheel
        // sends, so handlers and synchronised panes see every move.
        QObject::connect(Bar, &QScrollBar::actionTriggered, this, [this, Bar, Horizontal](int Action) {
            int Code = SB_THUMBTRACK;
            switch (Action) {
            case QAbstractSlider::SliderSingleStepAdd: Code = SB_LINEDOWN; break;
            case QAbstractSlider::SliderSingleStepSub: Code = SB_LINEUP; break;
            case QAbstractSlider::SliderPageStepAdd: Code = SB_PAGEDOWN; break;
            case QAbstractSlider::SliderPageStepSub: Code = SB_PAGEUP; break;
            case QAbstractSlider::SliderToMinimum: Code = SB_TOP; break;
            case QAbstractSlider::SliderToMaximum: Code = SB_BOTTOM; break;
            default: break;
            }
            // The slider has not moved yet: the box moves, and the bar after it.
            const int Target = Bar->sliderPosition();
            Bar->setSliderPosition(Horizontal ? FHorzPosition : FVertPosition);
            Scroll(Horizontal, Code, Target);
        });
        return Bar;
    };
    FHorzBar = MakeBar(Qt::Horizontal, true);
    FVertBar = MakeBar(Qt::Vertical, false);
    Window->installEventFilter(this);
    for (QObject* Child : Window->children())
        if (!IsBar(Child))
            Child->installEventFilter(this);
    UpdateScrollBars();
}

bool TuiCustomScrollBox::eventFilter(QObject* Watched, QEvent* Event)
{
    if (HandleAllocated() && Watched == Widget()) {
        if (Event->type() == QEvent::ChildAdded || Event->type() == QEvent::ChildRemoved) {
            QObject* Child = static_cast<QChildEvent*>(Event)->child();
            if (Event->type() == QEvent::ChildAdded && Child->isWidgetType() && !IsBar(Child))
                Child->installEventFilter(this);
            UpdateScrollBars();
        }
    } else if (!IsBar(Watched) && ChangesExtent(Event->type())) {
        UpdateScrollBars();
    }
    return TControl::eventFilter(Watched, Event);
}

void TuiCustomScrollBox::Scroll(bool Horizontal, int ScrollCode, int ScrollPos)
{
    const int Current = Horizontal ? FHorzPosition : FVertPosition;
    const int Page = std::max(Horizontal ? HorzPage() : VertPage(), 1);
    const int Range = Horizontal ? HorzScrollRange() : VertScrollRange();
    switch (ScrollCode) {
    case SB_LINEUP: ScrollTo(Horizontal, Current - kLine); break;
    case SB_LINEDOWN: ScrollTo(Horizontal, Current + kLine); break;
    case SB_PAGEUP: ScrollTo(Horizontal, Current - Page); break;
    case SB_PAGEDOWN: ScrollTo(Horizontal, Current + Page); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: ScrollTo(Horizontal, ScrollPos); break;
    case SB_TOP: ScrollTo(Horizontal, 0); break;
    case SB_BOTTOM: ScrollTo(Horizontal, Range); break;
    default: break;
    }
}

bool TuiCustomScrollBox::DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos)
{
    if (TControl::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    const bool Horizontal = Shift.testFlag(ssShift);
    const int Code = WheelDelta > 0 ? SB_LINEUP : SB_LINEDOWN;
    for (int Line = 0; Line < 3; ++Line)
        Scroll(Horizontal, Code, 0);
    return true;
}

void TuiCustomScrollBox::Paint(TCanvas& Canvas)
{
    TRect R = ClientRect();
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(FColor);
    Canvas.FillRect(R);
    if (FBorderStyle == TuiCustomEdgePanel::bsSingle)
        DrawEdge(Canvas, R, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    // The corner where both bars meet.
    const TBars Shown = BarsShown();
    if (Shown.Horizontal && Shown.Vertical) {
        const int Border = BorderWidth();
        const int Bar = ScrollBarSize();
        Canvas.Brush().SetColor(clBtnFace);
        Canvas.FillRect({Width() - Border - Bar, Height() - Border - Bar, Width() - Border, Height() - Border});
    }
    TControl::Paint(Canvas);
}

} // namespace lp
