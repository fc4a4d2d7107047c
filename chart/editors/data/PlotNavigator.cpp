#include "chart/editors/data/PlotNavigator.h"

#include "chart/canvas/PlotConst.h"
#include "platform/base/Exception.h"
#include "platform/ui/Application.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>
#include <QtGui/QPixmap>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOptionFocusRect>

namespace lp {

namespace {

constexpr std::array<const char*, PlotNavButtonCount> NavButtonNames = {
    "First", "Prior", "Next", "Last", "Insert", "Delete", "Edit", "Post", "Cancel"};

// The message texts the buttons show as hints unless the user set others.
QStringList DefaultNavigatorHints()
{
    return {PlotMsg_NavigatorFirst, PlotMsg_NavigatorPrior,  PlotMsg_NavigatorNext,
            PlotMsg_NavigatorLast,  PlotMsg_NavigatorInsert, PlotMsg_NavigatorDelete,
            PlotMsg_NavigatorEdit,  PlotMsg_NavigatorPost,   PlotMsg_NavigatorCancel};
}

// The glyph resource holds two pictures side by side: enabled, disabled.
QIcon NavigatorGlyph(TPlotNavigateBtn Kind)
{
    const QPixmap Both(QStringLiteral(":/plotnavigator/PlotNav_%1.png").arg(PlotNavButtonName(Kind)));
    const int Half = Both.width() / 2;
    QIcon Icon;
    Icon.addPixmap(Both.copy(0, 0, Half, Both.height()), QIcon::Normal);
    Icon.addPixmap(Both.copy(Half, 0, Half, Both.height()), QIcon::Disabled);
    return Icon;
}

} // namespace

QString PlotNavButtonName(TPlotNavigateBtn Kind)
{
    return QString::fromLatin1(NavButtonNames.at(static_cast<size_t>(Kind)));
}

// --- TPlotNavButton ----------------------------------------------------------------------

TPlotNavButton::TPlotNavButton(TPlotNavigateBtn Kind, QWidget* Parent)
    : QToolButton(Parent), FIndex(Kind)
{
    setObjectName(PlotNavButtonName(Kind));
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setAutoRepeat(true);
    setAutoRepeatDelay(400);
    setAutoRepeatInterval(100);
    setIcon(NavigatorGlyph(Kind));
    setIconSize(QSize(16, 16));
}

void TPlotNavButton::paintEvent(QPaintEvent* Event)
{
    QToolButton::paintEvent(Event);
    const auto* Bar = qobject_cast<const TCustomPlotNavigator*>(parentWidget());
    if (!Bar || !Bar->hasFocus() || Bar->FocusedButton() != FIndex)
        return;
    QRect R = rect().adjusted(3, 3, -3, -3);
    if (isDown())
        R.translate(1, 1);
    QStyleOptionFocusRect Option;
    Option.initFrom(this);
    Option.rect = R;
    QPainter Painter(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &Option, &Painter, this);
}

// --- TCustomPlotNavigator ----------------------------------------------------------------

TCustomPlotNavigator::TCustomPlotNavigator(QWidget* Parent)
    : QFrame(Parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    CreateButtons();
    ApplyHints();
    resize(241, 25);
    ArrangeButtons();
}

TCustomPlotNavigator::~TCustomPlotNavigator()
{
    if (FPanel)
        FPanel->RemoveListener(this);
}

TPlotNavButton* TCustomPlotNavigator::Button(int Kind) const
{
    if (Kind < 0 || Kind >= PlotNavButtonCount)
        throw ERangeError("Navigator button " + std::to_string(Kind) + " out of range");
    return FButtons[static_cast<size_t>(Kind)];
}

void TCustomPlotNavigator::CreateButtons()
{
    int X = 0;
    for (int Kind = 0; Kind < PlotNavButtonCount; ++Kind) {
        auto* Btn = new TPlotNavButton(static_cast<TPlotNavigateBtn>(Kind), this);
        Btn->setEnabled(false);
        Btn->setGeometry(X, 0, MinButtonWidth, MinButtonHeight);
        Btn->installEventFilter(this);
        connect(Btn, &QAbstractButton::clicked, this, [this, Btn] {
            try {
                BtnClick(Btn->Index());
            } catch (const std::exception& Error) {
                Btn->setDown(false); // stops the repeat
                TApplication::Instance().HandleException(Error);
            }
        });
        FButtons[static_cast<size_t>(Kind)] = Btn;
        X += MinButtonWidth;
    }
    for (int Kind = nbInsert; Kind <= nbCancel; ++Kind)
        FButtons[static_cast<size_t>(Kind)]->setVisible(false);
}

void TCustomPlotNavigator::ApplyHints()
{
    const QStringList Defaults = DefaultNavigatorHints();
    for (int Kind = 0; Kind < PlotNavButtonCount; ++Kind) {
        const bool Own = Kind < FHints.size() && !FHints[Kind].isEmpty();
        FButtons[static_cast<size_t>(Kind)]->setToolTip(Own ? FHints[Kind] : Defaults[Kind]);
    }
}

void TCustomPlotNavigator::SetHints(const QStringList& Value)
{
    FHints = Value;
    ApplyHints();
}

void TCustomPlotNavigator::SetAligned(bool Value)
{
    FAligned = Value;
    ArrangeButtons();
}

void TCustomPlotNavigator::SetPanel(TCustomPlotPanel* Value)
{
    if (Value == FPanel.data())
        return;
    if (FPanel) {
        disconnect(FPanel.data(), &QObject::destroyed, this, nullptr);
        FPanel->RemoveListener(this);
    }
    FPanel = Value;
    if (Value) {
        // A destroyed chart leaves the bar without one (the QPointer clears).
        connect(Value, &QObject::destroyed, this, [this] { EnableButtons(); });
        Value->Listeners().Add(this);
    }
    EnableButtons();
}

void TCustomPlotNavigator::PlotEvent(TPlotEvent&) {}

void TCustomPlotNavigator::BtnClick(TPlotNavigateBtn Kind)
{
    EnableButtons();
    if (OnButtonClicked)
        OnButtonClicked(Kind);
}

void TCustomPlotNavigator::ArrangeButtons()
{
    if (FArranging || !FButtons[0])
        return;
    FArranging = true;
    int Count = 0;
    for (auto* Btn : FButtons)
        Count += Btn->isVisibleTo(this) ? 1 : 0;
    Count = std::max(Count, 1);
    const int Width = std::max(width(), Count * MinButtonWidth);
    const int Height = std::max(height(), MinButtonHeight);
    FButtonWidth = Width / Count;
    const int BarWidth = FAligned ? Width : Count * FButtonWidth;
    if (BarWidth != width() || Height != height())
        resize(BarWidth, Height);
    const int ButtonHeight = frameShape() == QFrame::NoFrame ? Height : Height - 4;
    // The remainder goes one pixel at a time to the buttons at which the
    // running count turns negative, spreading it across the bar.
    const int Remainder = BarWidth - Count * FButtonWidth;
    int Running = Count / 2;
    int X = 0;
    for (auto* Btn : FButtons) {
        if (!Btn->isVisibleTo(this)) {
            Btn->setGeometry(BarWidth + 1, 0, FButtonWidth, ButtonHeight);
            continue;
        }
        int Extra = 0;
        if (Remainder != 0) {
            Running -= Remainder;
            if (Running < 0) {
                Running += Count;
                Extra = 1;
            }
        }
        Btn->setGeometry(X, 0, FButtonWidth + Extra, ButtonHeight);
        X += FButtonWidth + Extra;
    }
    FArranging = false;
}

QSize TCustomPlotNavigator::sizeHint() const
{
    int count = 0;
    for (auto* Btn : FButtons)
        count += Btn && Btn->isVisibleTo(this) ? 1 : 0;
    const int frame = frameShape() == QFrame::NoFrame ? 0 : 4;
    return {std::max(count, 1) * MinButtonWidth, MinButtonHeight + frame};
}

void TCustomPlotNavigator::resizeEvent(QResizeEvent* Event)
{
    QFrame::resizeEvent(Event);
    ArrangeButtons();
}

void TCustomPlotNavigator::showEvent(QShowEvent* Event)
{
    QFrame::showEvent(Event);
    ArrangeButtons();
}

bool TCustomPlotNavigator::eventFilter(QObject* Watched, QEvent* Event)
{
    if (auto* Btn = qobject_cast<TPlotNavButton*>(Watched)) {
        if (Event->type() == QEvent::MouseButtonPress)
            SetFocusedButton(Btn->Index());
        else if (Event->type() == QEvent::ShowToParent || Event->type() == QEvent::HideToParent)
            ArrangeButtons();
    }
    return QFrame::eventFilter(Watched, Event);
}

void TCustomPlotNavigator::SetFocusedButton(TPlotNavigateBtn Kind)
{
    const TPlotNavigateBtn Old = FFocusedButton;
    FFocusedButton = Kind;
    if (focusPolicy() != Qt::NoFocus && !hasFocus())
        setFocus(Qt::MouseFocusReason);
    else if (Old != Kind) {
        Button(Old)->update();
        Button(Kind)->update();
    }
}

void TCustomPlotNavigator::MoveFocus(int Step)
{
    for (int Kind = FFocusedButton + Step; Kind >= 0 && Kind < PlotNavButtonCount; Kind += Step) {
        if (!Button(Kind)->isVisibleTo(this))
            continue;
        const TPlotNavigateBtn Old = FFocusedButton;
        FFocusedButton = static_cast<TPlotNavigateBtn>(Kind);
        Button(Old)->update();
        Button(Kind)->update();
        return;
    }
}

void TCustomPlotNavigator::keyPressEvent(QKeyEvent* Event)
{
    switch (Event->key()) {
    case Qt::Key_Space:
        if (Button(FFocusedButton)->isEnabled())
            Button(FFocusedButton)->click();
        break;
    case Qt::Key_Right:
        MoveFocus(1);
        break;
    case Qt::Key_Left:
        MoveFocus(-1);
        break;
    default:
        QFrame::keyPressEvent(Event);
    }
}

void TCustomPlotNavigator::focusInEvent(QFocusEvent* Event)
{
    QFrame::focusInEvent(Event);
    Button(FFocusedButton)->update();
}

void TCustomPlotNavigator::focusOutEvent(QFocusEvent* Event)
{
    QFrame::focusOutEvent(Event);
    Button(FFocusedButton)->update();
}

void TCustomPlotNavigator::changeEvent(QEvent* Event)
{
    QFrame::changeEvent(Event);
    if (Event->type() == QEvent::EnabledChange)
        EnableButtons();
}

} // namespace lp
