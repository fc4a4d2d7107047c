#pragma once
// What the chart editor tests share: a chart that counts its repaints, a
// recursive dump of an object's Qt properties, a page registration that
// restores the registry, and settings kept in a temporary folder.

#include "../engine/EngineTestUtil.h"
#include "chart/editors/EditorPageRegistry.h"
#include "chart/engine/PlotChart.h"
#include "chart/export/PlotChartFile.h"

#include <QtCore/QBuffer>
#include <QtCore/QLocale>
#include <QtCore/QMetaProperty>
#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>
#include <QtGui/QCloseEvent>
#include <QtGui/QWindow>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QDialog>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QTreeWidget>

#include <set>
#include <utility>
#include <vector>

namespace lp::test {

using TEditorChart = TCountingChart<TChart>;

// "Path=value" lines of every readable property of Object and, through
// properties holding objects, of the objects below it (each object once).
inline void DumpProperties(const QObject* Object, const QString& Prefix, QStringList& Lines,
                           std::set<const QObject*>& Seen)
{
    if (!Object || !Seen.insert(Object).second)
        return;
    const QMetaObject* meta = Object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!property.isReadable())
            continue;
        const QString path = Prefix + QString::fromLatin1(property.name());
        const QVariant value = property.read(Object);
        if (value.metaType().flags() & QMetaType::PointerToQObject)
            DumpProperties(*static_cast<QObject* const*>(value.constData()), path + QLatin1Char('.'), Lines, Seen);
        else if (value.canConvert<QString>())
            Lines.append(path + QLatin1Char('=') + value.toString());
        else
            Lines.append(path + QLatin1Char(':') + QString::fromLatin1(value.typeName()));
    }
}

inline QStringList DumpProperties(const QObject* Object)
{
    QStringList lines;
    std::set<const QObject*> seen;
    DumpProperties(Object, {}, lines, seen);
    return lines;
}

// The user's locale (what QLocale() gives) set to Locale while alive; the
// one before comes back at the end.
class TDefaultLocale {
public:
    explicit TDefaultLocale(const QLocale& Locale) { QLocale::setDefault(Locale); }
    ~TDefaultLocale() { QLocale::setDefault(FBefore); }
    TDefaultLocale(const TDefaultLocale&) = delete;
    TDefaultLocale& operator=(const TDefaultLocale&) = delete;

private:
    QLocale FBefore;
};

// The locales the typed-number tests read and show numbers in: three with
// a decimal comma and a grouping that is no point (French, Russian) or is
// one (German, Dutch), and English.
inline const QLocale& GermanLocale()
{
    static const QLocale Locale(QLocale::German, QLocale::Germany);
    return Locale;
}
inline const QLocale& FrenchLocale()
{
    static const QLocale Locale(QLocale::French, QLocale::France);
    return Locale;
}
inline const QLocale& DutchLocale()
{
    static const QLocale Locale(QLocale::Dutch, QLocale::Netherlands);
    return Locale;
}
inline const QLocale& RussianLocale()
{
    static const QLocale Locale(QLocale::Russian, QLocale::Russia);
    return Locale;
}
inline const QLocale& EnglishLocale()
{
    static const QLocale Locale(QLocale::English, QLocale::UnitedStates);
    return Locale;
}

// A counting chart owned (and destroyed) by Owner, as a form owns its chart.
inline TEditorChart* OwnedChart(TComponent& Owner)
{
    auto* chart = new TEditorChart;
    Owner.InsertComponent(chart);
    return chart;
}

// Registers Factory under ClassName while alive (an empty factory: no page
// under that name) and puts back what was registered there before, so the
// tests after it see the editors' own registry.
class TEditorPageRegistration {
public:
    TEditorPageRegistration(const QString& ClassName, TEditorPageFactory Factory)
        : FClassName(ClassName), FBefore(EditorPageFactory(ClassName))
    {
        if (Factory)
            RegisterEditorPage(ClassName, std::move(Factory));
        else
            UnregisterEditorPage(ClassName);
    }
    ~TEditorPageRegistration()
    {
        if (FBefore)
            RegisterEditorPage(FClassName, FBefore);
        else
            UnregisterEditorPage(FClassName);
    }
    TEditorPageRegistration(const TEditorPageRegistration&) = delete;
    TEditorPageRegistration& operator=(const TEditorPageRegistration&) = delete;

private:
    QString FClassName;
    TEditorPageFactory FBefore;
};

// Editor options (window place and size and the like) in a fresh folder.
class TEditorSettingsFolder {
public:
    TEditorSettingsFolder() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, FFolder.path()); }

private:
    QTemporaryDir FFolder;
};

// Clicks a button near its left edge, where a check box or radio button has
// its box whatever the width of its caption.
inline void ClickNearLeftEdge(QAbstractButton* Button)
{
    QTest::mouseClick(Button, Qt::LeftButton, {}, QPoint(6, Button->height() / 2));
}

// A page of class TPage shown alone on Target, as a dialog.
template <class TPage>
struct TShownPage {
    explicit TShownPage(QObject* Target)
    {
        Page.SetTarget(Target);
        Page.show();
    }
    TPage Page;
};

// Replaces a line edit's text by Text typed as a user does, without Enter,
// so each keystroke reaches the page as it would from the keyboard.
inline void RetypeText(QLineEdit* Edit, const QString& Text)
{
    Edit->setFocus();
    Edit->selectAll();
    QTest::keyClick(Edit, Qt::Key_Delete);
    QTest::keyClicks(Edit, Text);
}

// Clicks the tab of Tabs that shows Tab, as a user does.
inline void ClickTab(QTabWidget* Tabs, QWidget* Tab)
{
    QTabBar* bar = Tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(Tabs->indexOf(Tab)).center());
}

// The close box of a shown window: the close request its window gets from
// the window manager.
inline void ClickCloseBox(QWidget& Window)
{
    QCloseEvent event;
    QCoreApplication::sendEvent(Window.windowHandle(), &event);
}

// The dialogs Page is made of, as its window shows them: Page and every
// dialog embedded in it (the pages of its tabs, an embedded pen editor),
// not the dialogs it opens as windows of their own.
inline std::vector<QDialog*> EmbeddedDialogs(QDialog& Page)
{
    std::vector<QDialog*> dialogs{&Page};
    for (QDialog* dialog : Page.findChildren<QDialog*>())
        if (!dialog->isWindow())
            dialogs.push_back(dialog);
    return dialogs;
}

// The first control of Dialog that Tab reaches and the user can type into
// (shown, enabled, taking focus), not one of a dialog embedded in it;
// nullptr when there is none.
inline QWidget* FirstFieldOf(QDialog& Dialog)
{
    QWidget* w = Dialog.nextInFocusChain();
    for (int i = 0; i < 2000 && w && w != &Dialog; ++i, w = w->nextInFocusChain()) {
        QWidget* owner = w->parentWidget();
        while (owner && !qobject_cast<QDialog*>(owner))
            owner = owner->parentWidget();
        if (owner == &Dialog && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            !w->focusProxy())
            return w;
    }
    return nullptr;
}

// Types Text into a spin box's field as a user does, replacing what it
// shows, and ends with Enter.
inline void TypeIntoSpinBox(QSpinBox* Spin, const QString& Text)
{
    QLineEdit* field = Spin->findChild<QLineEdit*>();
    Spin->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, Text);
    QTest::keyClick(field, Qt::Key_Return);
}

// A caption as Qt shows it where "&" marks the key letter: "&x" shows x,
// "&&" one ampersand.
inline QString WithoutMnemonic(const QString& Caption)
{
    QString shown;
    for (qsizetype i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == QLatin1Char('&') && ++i >= Caption.size())
            break;
        shown += Caption[i];
    }
    return shown;
}

// Every text shown under Root as the user reads it: the window title,
// labels (a label reads "&" as a key letter only with a buddy), buttons,
// group boxes, tabs and tree items of the visible widgets.
inline QStringList ShownTexts(const QWidget& Root)
{
    QStringList texts{Root.windowTitle()};
    for (const QWidget* widget : Root.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&Root))
            continue;
        if (const auto* label = qobject_cast<const QLabel*>(widget))
            texts << (label->buddy() ? WithoutMnemonic(label->text()) : label->text());
        else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            texts << WithoutMnemonic(button->text());
        else if (const auto* box = qobject_cast<const QGroupBox*>(widget))
            texts << WithoutMnemonic(box->title());
        else if (const auto* tabs = qobject_cast<const QTabBar*>(widget))
            for (int i = 0; i < tabs->count(); ++i)
                texts << WithoutMnemonic(tabs->tabText(i));
        else if (const auto* tree = qobject_cast<const QTreeWidget*>(widget))
            for (QTreeWidgetItemIterator item(const_cast<QTreeWidget*>(tree)); *item; ++item)
                texts << (*item)->text(0);
    }
    return texts;
}

// Chart saved through the chart file (binary or text, with or without its
// points) and read into Fresh, as a user saves a chart and opens it again.
inline void ReopenThroughChartFile(TCustomChart& Chart, TCustomChart& Fresh, bool IncludeData, bool Text)
{
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    SaveChartToStream(&Chart, file, IncludeData, Text);
    file.close();
    file.open(QIODevice::ReadOnly);
    TCustomChart* target = &Fresh;
    LoadChartFromStream(target, file);
}

} // namespace lp::test
