#pragma once
// Answers for the common-dialog service, screenshots of dialogs and a check
// that every control of a shown window is in reach.

#include "platform/ui/Dialogs.h"

#include "ReferenceImage.h"

#include <QtCore/QDir>
#include <QtCore/QEvent>
#include <QtCore/QMap>
#include <QtCore/QTimer>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QAbstractSpinBox>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLayout>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QScrollArea>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QStackedWidget>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QWidget>

#include <memory>
#include <vector>

namespace lp::test {

// Selects a field's text and types Text over it, key by key (an empty Text
// deletes it).
inline void TypeInto(QWidget* Field, const QString& Text)
{
    Field->setFocus();
    QTest::keyClick(Field, Qt::Key_A, Qt::ControlModifier);
    if (Text.isEmpty())
        QTest::keyClick(Field, Qt::Key_Delete);
    else
        QTest::keyClicks(Field, Text);
}

// Replaces the colour dialog while alive: each call is recorded and answered
// with Answer (nullopt = Cancel); a chosen custom colour may be given.
class TColorDialogAnswer {
public:
    std::vector<TColorDialogRequest> Requests;
    std::optional<TColor> Answer;
    std::optional<TColor> CustomB;

    TColorDialogAnswer()
    {
        CommonDialogService().ExecuteColor = [this](TColorDialogRequest& Request) {
            Requests.push_back(Request);
            if (!Answer)
                return false;
            Request.Color = *Answer;
            if (CustomB)
                SetCustomColor(Request.CustomColors, QLatin1Char('B'), *CustomB);
            return true;
        };
    }
    ~TColorDialogAnswer() { ResetCommonDialogService(); }
};

// Answers the modal file dialogs that show from now on as a user would:
// types each name in turn into the next showing and presses Return; an
// empty name cancels that showing.
inline void AnswerFileDialogs(std::vector<QString> Names)
{
    auto* timer = new QTimer;
    auto shown = std::make_shared<bool>(false);
    QObject::connect(timer, &QTimer::timeout, [timer, shown, Names]() mutable {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            *shown = false;
            return;
        }
        if (*shown || Names.empty())
            return;
        *shown = true;
        const QString name = Names.front();
        Names.erase(Names.begin());
        if (Names.empty())
            timer->deleteLater();
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name.isEmpty() || !edit) {
            dialog->reject();
            return;
        }
        edit->setText(name);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    timer->start(0);
}

// Lays the windows out as the event loop would before the user sees them
// (a layout's change reaches the one around it by a new request).
inline void SettleLayouts()
{
    for (int round = 0; round < 16; ++round)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// Grabs a shown widget, laid out as the user sees it, into
// <artifacts>/screens/<Name>.png and returns it.
inline QImage SaveScreenshot(QWidget& Widget, const QString& Name)
{
    SettleLayouts();
    const QImage image = Widget.grab().toImage();
    const QString folder = ArtifactFolder() + QStringLiteral("/screens");
    QDir().mkpath(folder);
    image.save(folder + QLatin1Char('/') + Name + QStringLiteral(".png"));
    return image;
}

// A control's name for a report: its object name, else its class, with
// the names of the controls holding it up to Window.
inline QString ControlPath(const QWidget* Control, const QWidget* Window)
{
    QStringList parts;
    for (const QWidget* w = Control; w && w != Window; w = w->parentWidget())
        if (!w->objectName().isEmpty() || w == Control)
            parts.prepend(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                    : w->objectName());
    return parts.join(QLatin1Char('/'));
}

// The size below which a layout never puts Control: its minimum size
// where set, else its minimum size hint; 0 along a direction its size
// policy ignores.
inline QSize LayoutMinimumOf(const QWidget& Control)
{
    const QSize hint = Control.minimumSizeHint();
    const QSizePolicy policy = Control.sizePolicy();
    const auto along = [](int Set, int Hint, QSizePolicy::Policy Policy) {
        if (Set > 0)
            return Set;
        return Policy == QSizePolicy::Ignored || Hint < 0 ? 0 : Hint;
    };
    return QSize(along(Control.minimumWidth(), hint.width(), policy.horizontalPolicy()),
                 along(Control.minimumHeight(), hint.height(), policy.verticalPolicy()))
        .boundedTo(Control.maximumSize());
}

// Whether Layout, or a layout nested in it, places Control.
inline bool LayoutPlaces(const QLayout& Layout, const QWidget* Control)
{
    for (int i = 0; i < Layout.count(); ++i) {
        QLayoutItem* item = Layout.itemAt(i);
        if (item->widget() == Control || (item->layout() && LayoutPlaces(*item->layout(), Control)))
            return true;
    }
    return false;
}

// The parts Qt builds inside its own controls (the field of a spin box,
// the scroll buttons of a tab row, a scroll bar's container) are theirs
// to place.
inline bool IsPartOfAComplexControl(const QWidget& Control)
{
    const QWidget* parent = Control.parentWidget();
    return qobject_cast<const QAbstractSpinBox*>(parent) || qobject_cast<const QComboBox*>(parent) ||
           qobject_cast<const QTabBar*>(parent) || qobject_cast<const QScrollBar*>(&Control) ||
           Control.objectName() == QLatin1String("qt_scrollarea_hcontainer") ||
           Control.objectName() == QLatin1String("qt_scrollarea_vcontainer");
}

// What keeps a user from a control of the shown Window, one line each: a
// shown control reaching outside its parent (the content of a scroll
// area, which scrolls, aside), a control squeezed below its minimum size
// (a label cut short, a group box shown as an empty frame), a tab beyond
// its row's end while the row shows no scroll buttons, and a window
// larger than the screen. Empty when everything is in reach.
inline QStringList UnreachableControls(QWidget& Window)
{
    SettleLayouts();
    QStringList problems;
    if (const QScreen* screen = Window.screen() ? Window.screen() : QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableGeometry().size();
        if (Window.width() > room.width() || Window.height() > room.height())
            problems.append(QStringLiteral("the window (%1x%2) is larger than the screen")
                                .arg(Window.width())
                                .arg(Window.height()));
    }
    for (QWidget* control : Window.findChildren<QWidget*>()) {
        if (!control->isVisible() || control->isWindow() || IsPartOfAComplexControl(*control))
            continue;
        const QString name = ControlPath(control, &Window);
        QWidget* parent = control->parentWidget();
        const bool scrolled = parent && qobject_cast<QScrollArea*>(parent->parentWidget()) &&
                              static_cast<QScrollArea*>(parent->parentWidget())->viewport() == parent;
        if (!scrolled && !parent->rect().contains(control->geometry()))
            problems.append(QStringLiteral("%1 at (%2,%3 %4x%5) reaches outside its parent (%6x%7)")
                                .arg(name)
                                .arg(control->x())
                                .arg(control->y())
                                .arg(control->width())
                                .arg(control->height())
                                .arg(parent->width())
                                .arg(parent->height()));
        // A layout never gives a control less than its minimum unless the
        // room runs out (a control placed by hand has the size its owner
        // gives it; a tab row shorter than a scrolling row's minimum has
        // all its tabs).
        const QSize minimum = LayoutMinimumOf(*control);
        const bool laidOut = parent->layout() && LayoutPlaces(*parent->layout(), control);
        if (laidOut && !qobject_cast<QTabBar*>(control) &&
            (control->width() < minimum.width() || control->height() < minimum.height()))
            problems.append(QStringLiteral("%1 squeezed to %2x%3, below its minimum %4x%5")
                                .arg(name)
                                .arg(control->width())
                                .arg(control->height())
                                .arg(minimum.width())
                                .arg(minimum.height()));
        if (auto* bar = qobject_cast<QTabBar*>(control)) {
            bool scrollButtons = false;
            for (QToolButton* button : bar->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly))
                scrollButtons = scrollButtons || button->isVisible();
            for (int i = 0; i < bar->count(); ++i)
                if (bar->isTabVisible(i) && !bar->rect().contains(bar->tabRect(i)) && !scrollButtons)
                    problems.append(QStringLiteral("%1: tab \"%2\" beyond the row's end, no scroll buttons")
                                        .arg(name, bar->tabText(i)));
        }
    }
    return problems;
}

// Makes the tabs holding Control current, so a control on a tab sheet
// that is not showing shows.
inline void RevealInTabs(QWidget* Control)
{
    for (QWidget* child = Control; child && child->parentWidget(); child = child->parentWidget())
        if (auto* stack = qobject_cast<QStackedWidget*>(child->parentWidget()))
            if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget()))
                tabs->setCurrentWidget(child);
}

// UnreachableControls(Window) with every tab sheet under Root shown in
// turn, nested sheets too; each problem once, after the captions of the
// tabs that showed it.
inline QStringList UnreachableControlsOnEveryTab(QWidget& Window, QWidget& Root)
{
    QStringList problems;
    QStringList seen;
    const auto check = [&](const QString& Where) {
        for (const QString& problem : UnreachableControls(Window))
            if (!seen.contains(problem)) {
                seen.append(problem);
                problems.append(Where + QStringLiteral(": ") + problem);
            }
    };
    check(QStringLiteral("as opened"));
    for (QTabWidget* tabs : Root.findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (!tabs->isTabVisible(i))
                continue;
            RevealInTabs(tabs->widget(i));
            if (!tabs->isVisible())
                continue;
            QStringList where;
            for (QWidget* w = tabs->widget(i); w && w != &Root; w = w->parentWidget())
                if (auto* holder = qobject_cast<QTabWidget*>(w->parentWidget() ? w->parentWidget()->parentWidget()
                                                                               : nullptr))
                    if (holder->indexOf(w) >= 0)
                        where.prepend(holder->tabText(holder->indexOf(w)).remove(QLatin1Char('&')));
            check(where.join(QStringLiteral(" > ")));
        }
    }
    return problems;
}

// The mnemonic letters (Alt+letter) that more than one control of Window
// carries: labels, buttons, check boxes and tab captions; each repeated
// letter with the texts that carry it.
inline QStringList RepeatedMnemonics(QWidget& Window)
{
    QMap<QChar, QStringList> holders;
    const auto take = [&](const QString& Text) {
        for (int i = 0; i + 1 < Text.size(); ++i) {
            if (Text[i] != QLatin1Char('&'))
                continue;
            if (Text[i + 1] == QLatin1Char('&')) {
                ++i; // a drawn ampersand
                continue;
            }
            holders[Text[i + 1].toLower()].append(Text);
            return;
        }
    };
    for (QWidget* control : Window.findChildren<QWidget*>()) {
        if (control->window() != &Window)
            continue;
        if (auto* label = qobject_cast<QLabel*>(control); label && label->buddy())
            take(label->text());
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            take(button->text());
        else if (auto* tabs = qobject_cast<QTabWidget*>(control))
            for (int i = 0; i < tabs->count(); ++i)
                take(tabs->tabText(i));
    }
    QStringList repeated;
    for (auto it = holders.begin(); it != holders.end(); ++it)
        if (it.value().size() > 1)
            repeated.append(QString(it.key()) + QStringLiteral(": ") + it.value().join(QStringLiteral(", ")));
    return repeated;
}

} // namespace lp::test
