// Every registered editor page, driven the same way: shown on a target it
// writes nothing; each control changed as a user does changes the target
// and repaints the chart; a value set in code shows after Refresh(); every
// mnemonic has a buddy, Tab reaches every enabled control; opened where
// the program shows it, at the size its window opens, every control of
// every tab is in reach; embedded in a window, Escape in it is the
// window's; deleted while shown with the focus in any of its fields, it
// writes nothing; and a screenshot of each page alone and in its window.

#include "chart/editors/EditorPage.h"
#include "chart/editors/EditorPageRegistry.h"

#include "DialogTestUtil.h"
#include "EditorTestSupport.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/frame/ChartEditForm.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotTitles.h"
#include "chart/engine/PlotTools.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/extensions/circular/PlotBar3DDonut.h"
#include "chart/extensions/circular/PlotGaugeSeries.h"
#include "chart/extensions/circular/PlotPolarSeries.h"
#include "chart/extensions/circular/PlotRoseSeries.h"
#include "chart/extensions/circular/PlotSmithSeries.h"
#include "chart/extensions/grid3d/PlotContourSeries.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"
#include "chart/extensions/grid3d/PlotTriSurfaceSeries.h"
#include "chart/extensions/points3d/PlotPoint3DSeries.h"
#include "platform/core/ClassRegistry.h"

#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QAbstractSpinBox>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialog>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QStackedWidget>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QVBoxLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace lp {
namespace {

using test::TEditorChart;

// A series of class TSeries on Chart, with sample points.
template <class TSeries>
QObject* WalkSeries(TEditorChart& Chart)
{
    auto* series = new TSeries(&Chart);
    Chart.AddSeries(series);
    series->FillSampleValues();
    return series;
}

// Pages edited through chart elements, and the target each gets.
const std::map<QString, std::function<QObject*(TEditorChart&)>>& ChartPages()
{
    static const std::map<QString, std::function<QObject*(TEditorChart&)>> pages = {
        {QStringLiteral("TPlotShadowEditor"), [](TEditorChart& Chart) { return Chart.Title()->Shadow(); }},
        {QStringLiteral("TPlotFontEditor"), [](TEditorChart& Chart) { return Chart.Title()->Font(); }},
        {QStringLiteral("TPlotGradientEditor"), [](TEditorChart& Chart) { return Chart.Title()->Gradient(); }},
        {QStringLiteral("TFormPlot3D"), [](TEditorChart& Chart) { return &Chart; }},
        // The axis stores a depth of 0 as 0.01, so the walk starts it at a
        // depth that reads back exactly.
        {QStringLiteral("TFormPlotAxis"),
         [](TEditorChart& Chart) {
             Chart.LeftAxis()->SetZPosition(50);
             return Chart.LeftAxis();
         }},
        {QStringLiteral("TFormPlotShape"), [](TEditorChart& Chart) { return Chart.Title(); }},
        {QStringLiteral("TSymbolEditor"), [](TEditorChart& Chart) { return Chart.Legend()->Symbol(); }},
        {QStringLiteral("TFormPlotLegend"), [](TEditorChart& Chart) { return Chart.Legend(); }},
        {QStringLiteral("TFormPlotTitle"), [](TEditorChart& Chart) { return Chart.Title(); }},
        {QStringLiteral("TFormPlotPanel"), [](TEditorChart& Chart) { return &Chart; }},
        {QStringLiteral("TFormPlotWall"), [](TEditorChart& Chart) { return Chart.LeftWall(); }},
        // The function page edits a series that has another to take as
        // its source.
        {QStringLiteral("TPlotFuncEditor"),
         [](TEditorChart& Chart) {
             auto* source = new TLineSeries(&Chart);
             source->SetName(QStringLiteral("Source1"));
             Chart.AddSeries(source);
             source->FillSampleValues(8);
             auto* edited = new TLineSeries(&Chart);
             edited->SetName(QStringLiteral("Edited1"));
             Chart.AddSeries(edited);
             edited->SetDataSource(source);
             return edited;
         }},
        // The grid page of every palette series, shown on a surface.
        {QStringLiteral("TGrid3DSeriesEditor"),
         [](TEditorChart& Chart) {
             auto* surface = new TSurfaceSeries(&Chart);
             Chart.AddSeries(surface);
             surface->FillSampleValues();
             return surface;
         }},
        // The contour page edits levels: a contour whose automatic levels
        // are made, as the chart's first paint makes them.
        {QStringLiteral("TContourSeriesEditor"),
         [](TEditorChart& Chart) {
             auto* contour = new TContourSeries(&Chart);
             Chart.AddSeries(contour);
             contour->FillSampleValues();
             contour->CreateAutoLevels();
             return contour;
         }},
        // The bar page's "Stack" tab and the pie page's "Circled" tab.
        {QStringLiteral("TStackBarSeriesEditor"),
         [](TEditorChart& Chart) {
             auto* bar = new TBarSeries(&Chart);
             Chart.AddSeries(bar);
             bar->FillSampleValues();
             return bar;
         }},
        {QStringLiteral("TCircledSeriesEditor"),
         [](TEditorChart& Chart) {
             auto* pie = new TPieSeries(&Chart);
             Chart.AddSeries(pie);
             pie->FillSampleValues();
             return pie;
         }},
        // The round series' pages, the triangulated surface's and the 3-D
        // points': each on the series type that shows all its controls
        // (the polar series its angle increment, the 3-D points their
        // colour button).
        {QStringLiteral("TPolarSeriesEditor"), [](TEditorChart& Chart) { return WalkSeries<TPolarSeries>(Chart); }},
        {QStringLiteral("TClockEditor"), [](TEditorChart& Chart) { return WalkSeries<TClockSeries>(Chart); }},
        {QStringLiteral("TWindRoseEditor"), [](TEditorChart& Chart) { return WalkSeries<TWindRoseSeries>(Chart); }},
        {QStringLiteral("TGaugeSeriesEditor"), [](TEditorChart& Chart) { return WalkSeries<TGaugeSeries>(Chart); }},
        {QStringLiteral("TSmithSeriesEdit"), [](TEditorChart& Chart) { return WalkSeries<TSmithSeries>(Chart); }},
        {QStringLiteral("TDonutSeriesEditor"), [](TEditorChart& Chart) { return WalkSeries<TDonutSeries>(Chart); }},
        {QStringLiteral("TTriSurfaceSeriesEditor"),
         [](TEditorChart& Chart) { return WalkSeries<TTriSurfaceSeries>(Chart); }},
        {QStringLiteral("TPoint3DSeriesEditor"), [](TEditorChart& Chart) { return WalkSeries<TPoint3DSeries>(Chart); }},
        // The series page edits one series, with sample points.
        {QStringLiteral("TFormPlotSeries"),
         [](TEditorChart& Chart) {
             auto* series = new TLineSeries(&Chart);
             Chart.AddSeries(series);
             series->FillSampleValues();
             return series;
         }},
        {QStringLiteral("TFormPlotGeneral"), [](TEditorChart& Chart) { return &Chart; }},
        {QStringLiteral("TFormPlotPage"), [](TEditorChart& Chart) { return &Chart; }},
        {QStringLiteral("TFormPlotTools"), [](TEditorChart& Chart) { return &Chart; }},
    };
    return pages;
}

// The registered series, function and tool classes, by plain class name.
QStringList ElementClassNames()
{
    QStringList names;
    auto add = [&names](const QMetaObject* Class) {
        if (Class)
            names.append(QString::fromLatin1(Class->className()).section(QStringLiteral("::"), -1));
    };
    for (int i = 0; i < PlotSeriesTypes()->Count(); ++i) {
        add(PlotSeriesTypes()->Items(i)->SeriesClass);
        add(PlotSeriesTypes()->Items(i)->FunctionClass);
    }
    for (int i = 0; i < PlotToolTypes()->Count(); ++i)
        add(PlotToolTypes()->Items(i));
    names.removeDuplicates();
    return names;
}

QString EditorClassNameOf(const TComponent* Made)
{
    if (auto* element = qobject_cast<const TCustomChartElement*>(Made))
        return element->GetEditorClassName();
    if (auto* function = qobject_cast<const TPlotFunction*>(Made))
        return function->GetEditorClassName();
    return {};
}

// The editor class names the registered types report.
QStringList ReportedEditorClassNames()
{
    QStringList names;
    TEditorChart chart;
    for (const QString& className : ElementClassNames()) {
        std::unique_ptr<TComponent> made(CreateComponent(className, &chart));
        names.append(EditorClassNameOf(made.get()));
    }
    names.removeAll(QString());
    names.removeDuplicates();
    names.sort();
    return names;
}

// A series with sample points on Chart that Function takes as its source:
// a line series when it does, else one of the first registered series type
// it takes; nullptr when it takes none.
TChartSeries* SourceAcceptedBy(TPlotFunction& Function, TEditorChart& Chart)
{
    std::vector<const QMetaObject*> classes{&TLineSeries::staticMetaObject};
    for (int i = 0; i < PlotSeriesTypes()->Count(); ++i)
        if (const QMetaObject* each = PlotSeriesTypes()->Items(i)->SeriesClass)
            classes.push_back(each);
    for (const QMetaObject* each : classes) {
        auto* source = qobject_cast<TChartSeries*>(
            CreateComponent(QString::fromLatin1(each->className()).section(QStringLiteral("::"), -1), &Chart));
        if (!source)
            continue;
        if (!Function.IsValidSource(source)) {
            delete source;
            continue;
        }
        Chart.AddSeries(source);
        source->FillSampleValues(12);
        return source;
    }
    return nullptr;
}

// The object a page edits in the walk: a chart element from the table, or
// the first series (with sample points), function (on a line series) or
// tool on Chart whose type reports the page; nullptr when none does.
QObject* TargetFor(const QString& PageName, TEditorChart& Chart)
{
    if (ChartPages().count(PageName))
        return ChartPages().at(PageName)(Chart);
    for (const QString& className : ElementClassNames()) {
        TComponent* made = CreateComponent(className, &Chart);
        if (EditorClassNameOf(made) != PageName) {
            delete made;
            continue;
        }
        if (auto* series = qobject_cast<TChartSeries*>(made)) {
            Chart.AddSeries(series);
            series->FillSampleValues();
        } else if (auto* tool = qobject_cast<TPlotCustomTool*>(made)) {
            tool->SetParentChart(&Chart);
            // An axis tool works on an axis of its chart.
            if (auto* axisTool = qobject_cast<TPlotCustomToolAxis*>(tool))
                axisTool->SetAxis(Chart.LeftAxis());
        } else if (qobject_cast<TPlotFunction*>(made)) {
            const QMetaObject* functionClass = made->metaObject();
            delete made;
            auto* host = new TLineSeries(&Chart);
            Chart.AddSeries(host);
            TPlotFunction* function = CreateNewPlotFunction(host, functionClass);
            // A period of some points, which "All points" would not keep.
            function->InternalSetPeriod(5);
            // Points to compute from, so that a changed setting shows: a
            // line series, else the first series type the function takes
            // (price series for the price indicators).
            TChartSeries* source = SourceAcceptedBy(*function, Chart);
            if (source && !function->NoSourceRequired())
                host->SetDataSource(source);
            return function;
        }
        return made;
    }
    return nullptr;
}

// Every series, function and tool type opens a page of its own.
TEST(EditorPages, EveryReportedEditorIsRegistered)
{
    QStringList missing;
    for (const QString& name : ReportedEditorClassNames())
        if (!IsEditorPageRegistered(name))
            missing.append(name);
    EXPECT_EQ(missing.join(QLatin1Char(' ')).toStdString(), "");
    // The walk reaches every registered type: none got lost from the registry.
    EXPECT_GE(ReportedEditorClassNames().size(), 80);
}

// Every page a type reports finds an object of that type to edit, so each
// page the later families register runs through the walk unchanged.
TEST(EditorPages, EveryReportedEditorFindsATargetOfItsType)
{
    for (const QString& name : ReportedEditorClassNames()) {
        TEditorChart chart;
        QObject* target = TargetFor(name, chart);
        ASSERT_NE(target, nullptr) << name.toStdString();
        if (auto* series = qobject_cast<TChartSeries*>(target)) {
            EXPECT_EQ(series->ParentChart(), &chart);
            EXPECT_EQ(series->GetEditorClassName(), name);
        }
    }
}

// The target's properties; a series adds its marks and value lists, which
// it streams without publishing them.
QStringList DumpTarget(QObject* Target)
{
    QStringList lines = test::DumpProperties(Target);
    if (auto* series = qobject_cast<TChartSeries*>(Target))
        for (QObject* part : std::initializer_list<QObject*>{series->Marks(), series->XValues(), series->YValues()})
            lines += test::DumpProperties(part);
    // A map's shapes and their point series.
    if (auto* map = qobject_cast<TMapSeries*>(Target))
        for (int i = 0; i < map->Shapes()->Count(); ++i) {
            lines += test::DumpProperties(map->Shapes()->GetPolygon(i));
            lines += test::DumpProperties(map->Shapes()->GetPolygon(i)->Points());
        }
    return lines;
}

// A number typed in place of Shown, of its magnitude: a fraction stays a
// fraction (weights and constants between 0 and 1).
QString AnotherNumber(const QString& Shown)
{
    bool ok = false;
    const double value = Shown.toDouble(&ok);
    if (ok && value > 0 && value < 1)
        return value == 0.5 ? QStringLiteral("0.25") : QStringLiteral("0.5");
    return Shown == QStringLiteral("7") ? QStringLiteral("8") : QStringLiteral("7");
}

// Changes Control as a user would; false for controls this walk does not
// drive (buttons opening dialogs are tested with their pages).
bool DriveControl(QObject* Control)
{
    if (auto* spin = qobject_cast<QSpinBox*>(Control)) {
        spin->setFocus();
        QTest::keyClick(spin, spin->value() < spin->maximum() ? Qt::Key_Up : Qt::Key_Down);
        return true;
    }
    if (auto* check = qobject_cast<QCheckBox*>(Control)) {
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
        return true;
    }
    if (auto* combo = qobject_cast<QComboBox*>(Control)) {
        combo->setFocus();
        QTest::keyClick(combo, combo->currentIndex() + 1 < combo->count() ? Qt::Key_Down : Qt::Key_Up);
        return true;
    }
    if (auto* slider = qobject_cast<QSlider*>(Control)) {
        slider->setFocus();
        QTest::keyClick(slider, slider->value() < slider->maximum() ? Qt::Key_Right : Qt::Key_Left);
        return true;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(Control)) {
        // An edit for numbers gets another number; a text a digit.
        if (edit->validator()) {
            edit->selectAll();
            QTest::keyClicks(edit, AnotherNumber(edit->text()));
            // Return ends the typing: a field that writes when typing is
            // done writes now.
            QTest::keyClick(edit, Qt::Key_Return);
        } else {
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_End);
            QTest::keyClicks(edit, QStringLiteral("1"));
        }
        return true;
    }
    if (qobject_cast<TButtonColor*>(Control) || qobject_cast<TColorSwatch*>(Control)) {
        test::TColorDialogAnswer answer;
        answer.Answer = 0x3366CC;
        if (auto* button = qobject_cast<QAbstractButton*>(Control))
            QTest::mouseClick(button, Qt::LeftButton);
        else
            QTest::mouseClick(static_cast<QWidget*>(Control), Qt::LeftButton);
        return true;
    }
    return false;
}

// What a page that waits for "&Apply" may change: the target's
// properties and, for a series, its function and sources, which are not
// properties.
QStringList DeferredState(QObject* Target)
{
    QStringList state = test::DumpProperties(Target);
    if (auto* series = qobject_cast<TChartSeries*>(Target)) {
        if (TPlotFunction* function = series->SeriesFunction()) {
            state.append(QString::fromLatin1(function->metaObject()->className()));
            state.append(test::DumpProperties(function));
        }
        for (int i = 0; i < series->DataSources().Count(); ++i)
            state.append(QStringLiteral("source=") + series->DataSources()[i]->Name());
    }
    return state;
}

// The value controls of a page in reading order (not the editors inside
// combo and spin boxes).
std::vector<QWidget*> ValueControls(QWidget& Page)
{
    std::vector<QWidget*> controls;
    for (QWidget* w = Page.nextInFocusChain(); w && w != &Page; w = w->nextInFocusChain()) {
        const bool value = qobject_cast<QComboBox*>(w) || qobject_cast<QCheckBox*>(w) ||
                           qobject_cast<QSpinBox*>(w) ||
                           (qobject_cast<QLineEdit*>(w) && !qobject_cast<QAbstractSpinBox*>(w->parentWidget()) &&
                            !qobject_cast<QComboBox*>(w->parentWidget()));
        if (value && Page.isAncestorOf(w) && std::find(controls.begin(), controls.end(), w) == controls.end())
            controls.push_back(w);
        if (controls.size() > 200)
            break;
    }
    return controls;
}

// A page whose edits wait for "&Apply": each control changed as a user
// does writes nothing until the apply, which writes and repaints; the
// page filled again shows what was applied.
void WalkDeferredPage(TEditorPage& Page, TEditorChart& Chart, QObject* Target)
{
    for (QWidget* control : ValueControls(Page)) {
        test::RevealInTabs(control);
        if (!control->isVisible() || !control->isEnabled())
            continue;
        const std::string controlName = control->objectName().toStdString();
        const QStringList was = DeferredState(Target);
        const QVariant before = TPropertyBinder::ControlValue(control);
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->selectAll();
            QTest::keyClicks(edit, AnotherNumber(edit->text()));
        } else if (!DriveControl(control)) {
            continue;
        }
        const QVariant shown = TPropertyBinder::ControlValue(control);
        if (shown == before)
            continue;
        EXPECT_EQ(DeferredState(Target), was) << controlName << " wrote before Apply";
        const int paints = Chart.Invalidations;
        Page.ApplyEdits();
        EXPECT_NE(DeferredState(Target), was) << controlName << " wrote nothing on Apply";
        EXPECT_GT(Chart.Invalidations, paints) << controlName << " did not repaint";
        Page.Refresh();
        EXPECT_EQ(TPropertyBinder::ControlValue(control), shown) << controlName << " not kept after Apply";
    }
}

// Parameter: the page's class name.
class EditorPageWalk : public ::testing::TestWithParam<std::string> {};

TEST_P(EditorPageWalk, ShowsWithoutWritingAndEveryControlWrites)
{
    const QString name = QString::fromStdString(GetParam());
    TEditorChart chart;
    QObject* target = TargetFor(name, chart);
    ASSERT_NE(target, nullptr);
    const QStringList before = test::DumpProperties(&chart);
    const int paintsBefore = chart.Invalidations;
    std::unique_ptr<TEditorPage> page(CreateEditorPage(name, nullptr));
    ASSERT_NE(page, nullptr);
    page->SetTarget(target);
    page->show();
    EXPECT_EQ(test::DumpProperties(&chart), before) << "showing wrote";
    EXPECT_EQ(chart.Invalidations, paintsBefore);
    // The page as it opens as a dialog of its own.
    test::SaveScreenshot(*page, QStringLiteral("page-") + name);

    // Mnemonics have buddies; nothing is clipped.
    for (QLabel* label : page->findChildren<QLabel*>())
        if (label->text().contains(QLatin1Char('&'))) {
            EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
        }
    for (QWidget* control : page->findChildren<QWidget*>())
        if (control->isVisible() && control->parentWidget() == page.get()) {
            EXPECT_TRUE(page->rect().contains(control->geometry())) << control->objectName().toStdString();
        }
    // A colour swatch is named by a label: bare, it reads as a blot.
    const QList<QLabel*> labels = page->findChildren<QLabel*>();
    for (TColorSwatch* swatch : page->findChildren<TColorSwatch*>())
        EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [swatch](QLabel* L) { return L->buddy() == swatch; }))
            << swatch->objectName().toStdString() << " has no label";

    // Tab reaches every enabled, focusable control.
    std::set<QWidget*> reached;
    QWidget* first = page->nextInFocusChain();
    QWidget* w = first;
    for (int i = 0; i < 5000 && w; ++i) {
        reached.insert(w);
        w = w->nextInFocusChain();
        if (w == first)
            break;
    }
    for (QWidget* control : page->findChildren<QWidget*>())
        if (control->isVisible() && control->isEnabled() && (control->focusPolicy() & Qt::TabFocus) &&
            !control->focusProxy()) {
            EXPECT_TRUE(reached.count(control)) << control->objectName().toStdString();
        }

    if (page->DefersEdits()) {
        WalkDeferredPage(*page, chart, target);
        return;
    }

    // Each bound control changes the target and repaints the chart; the
    // old value put back in code shows after Refresh().
    TPropertyBinder& binder = page->Binder();
    for (QObject* control : binder.Controls()) {
        auto* widget = qobject_cast<QWidget*>(control);
        if (widget)
            test::RevealInTabs(widget);
        if (widget && (!widget->isVisible() || !widget->isEnabled()))
            continue;
        const QString controlName = control->objectName();
        // The whole chart: a page may edit settings beside its target
        // (the walls page the chart's wall visibility).
        const QStringList was = test::DumpProperties(&chart);
        const QStringList targetWas = DumpTarget(target);
        const QVariant old = binder.TargetValue(control);
        const int paints = chart.Invalidations;
        if (!DriveControl(control))
            continue;
        // A setting that is no Qt property (a tool's axis) shows through
        // the binding's own reading.
        EXPECT_TRUE(test::DumpProperties(&chart) != was || DumpTarget(target) != targetWas ||
                    binder.TargetValue(control) != old)
            << controlName.toStdString() << " wrote nothing";
        // A field is stored for the target's next action, without a repaint.
        if (binder.IsField(control))
            EXPECT_EQ(chart.Invalidations, paints) << controlName.toStdString() << " (a field) repainted";
        else
            EXPECT_GT(chart.Invalidations, paints) << controlName.toStdString() << " did not repaint";
        EXPECT_NE(TPropertyBinder::ControlValue(control), old) << controlName.toStdString();
        binder.SetTargetValue(control, old);
        // What the user's change did beside the bound value (a handler
        // unticking a related box) stays; the refresh itself writes nothing.
        const QStringList restored = test::DumpProperties(&chart);
        const QStringList targetRestored = DumpTarget(target);
        page->Refresh();
        EXPECT_EQ(TPropertyBinder::ControlValue(control), old) << controlName.toStdString() << " kept its value";
        EXPECT_EQ(test::DumpProperties(&chart), restored) << controlName.toStdString() << " refresh wrote";
        EXPECT_EQ(DumpTarget(target), targetRestored) << controlName.toStdString() << " refresh wrote";
    }
}

// A page with a shown "Cancel" button (not one of an embedded editor's
// hidden button bar): whatever the controls changed, Cancel
// leaves the chart as it was.
TEST_P(EditorPageWalk, CancelLeavesTheChartUntouched)
{
    const QString name = QString::fromStdString(GetParam());
    TEditorChart chart;
    QObject* target = TargetFor(name, chart);
    ASSERT_NE(target, nullptr);
    const QStringList before = test::DumpProperties(&chart);
    std::unique_ptr<TEditorPage> page(CreateEditorPage(name, nullptr));
    ASSERT_NE(page, nullptr) << "not registered";
    page->SetTarget(target);
    page->show();
    QAbstractButton* cancel = nullptr;
    for (QAbstractButton* button : page->findChildren<QAbstractButton*>())
        if (button->isVisible() && button->text().remove(QLatin1Char('&')) == QStringLiteral("Cancel"))
            cancel = button;
    if (!cancel)
        GTEST_SKIP() << "no Cancel on this page";
    for (QObject* control : page->Binder().Controls())
        DriveControl(control);
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_EQ(test::DumpProperties(&chart), before);
}

// Escape in an embedded page hid it and left its tab empty. Embedded in a
// tab of a window as the chart editor embeds it, Escape in the first field
// of the page and of every page embedded in it (in the page itself when no
// field takes the focus) closes the window and hides no part of the page.
TEST_P(EditorPageWalk, EscapeInsideTheEmbeddedPageIsTheWindowsEscape)
{
    const QString name = QString::fromStdString(GetParam());
    TEditorChart chart;
    QObject* target = TargetFor(name, chart);
    ASSERT_NE(target, nullptr);
    QDialog window;
    auto* tabs = new QTabWidget(&window);
    (new QVBoxLayout(&window))->addWidget(tabs);
    auto* tab = new QWidget;
    (new QVBoxLayout(tab))->setContentsMargins(0, 0, 0, 0);
    tabs->addTab(tab, name);
    TEditorPage* page = CreateEditorPage(name, tab);
    ASSERT_NE(page, nullptr);
    page->setWindowFlags(Qt::Widget);
    tab->layout()->addWidget(page);
    page->SetTarget(target);
    page->show();
    window.resize(640, 560);
    window.show();
    int closed = 0;
    QObject::connect(&window, &QDialog::rejected, [&closed] { ++closed; });

    int pressed = 0;
    for (QDialog* dialog : test::EmbeddedDialogs(*page)) {
        test::RevealInTabs(dialog);
        if (!dialog->isVisible())
            continue;
        // A page without a field to type into (all disabled) gets the key
        // itself.
        QWidget* field = test::FirstFieldOf(*dialog);
        if (!field)
            field = dialog;
        std::vector<QDialog*> shown;
        for (QDialog* each : test::EmbeddedDialogs(*page))
            if (each->isVisible())
                shown.push_back(each);
        const std::string where = dialog->metaObject()->className() + std::string(" ") +
                                  field->metaObject()->className() + " " + field->objectName().toStdString();
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Escape);
        ++pressed;
        EXPECT_EQ(closed, pressed) << where << ": the window did not close";
        EXPECT_FALSE(window.isVisible()) << where;
        for (QDialog* each : shown)
            EXPECT_TRUE(each->isVisibleTo(&window))
                << where << ": hid " << each->metaObject()->className() << " " << each->objectName().toStdString();
        window.show();
    }
    EXPECT_GT(pressed, 0);
}

// A page as the program shows it: in the chart editor (its own tab for a
// chart page; the series page for a series' or a function's page; the
// Tools tab for a tool's page), else (the format pages that buttons open)
// as a dialog of its own.
struct TPageInItsWindow {
    std::unique_ptr<TChartEditForm> Editor;
    std::unique_ptr<TEditorPage> Dialog;
    QWidget* Window = nullptr;
    TEditorPage* Page = nullptr;
};

// The chart editor's tab showing a chart page, nullptr for other pages.
QWidget* ChartTabOf(const QString& PageName, TChartEditForm& Form)
{
    const std::map<QString, QWidget*> tabs = {
        {QStringLiteral("TFormPlotGeneral"), Form.TabGeneral}, {QStringLiteral("TFormPlotAxis"), Form.TabAxis},
        {QStringLiteral("TFormPlotTitle"), Form.TabTitle},     {QStringLiteral("TFormPlotLegend"), Form.TabLegend},
        {QStringLiteral("TFormPlotPanel"), Form.TabPanel},     {QStringLiteral("TFormPlotPage"), Form.TabPaging},
        {QStringLiteral("TFormPlotWall"), Form.TabWalls},      {QStringLiteral("TFormPlot3D"), Form.Tab3D},
        {QStringLiteral("TFormPlotTools"), Form.TabTools}};
    const auto found = tabs.find(PageName);
    return found == tabs.end() ? nullptr : found->second;
}

// The shown page of Class editing Target inside Window, nullptr when none.
TEditorPage* FindShownPage(QWidget& Window, const QMetaObject* Class, const QObject* Target)
{
    for (TEditorPage* page : Window.findChildren<TEditorPage*>())
        if (page->metaObject() == Class && page->Target() == Target)
            return page;
    return nullptr;
}

// Opens the page of class Name on Target where the program shows it, at
// the size its window opens.
TPageInItsWindow OpenInItsWindow(const QString& Name, TEditorChart& Chart, QObject* Target)
{
    TPageInItsWindow shown;
    std::unique_ptr<TEditorPage> made(CreateEditorPage(Name, nullptr));
    if (!made)
        return shown;
    auto* series = qobject_cast<TChartSeries*>(Target);
    auto* function = qobject_cast<TPlotFunction*>(Target);
    auto* tool = qobject_cast<TPlotCustomTool*>(Target);
    auto form = std::make_unique<TChartEditForm>();
    QWidget* chartTab = ChartTabOf(Name, *form);
    if (!chartTab && !series && !function && !tool) {
        made->SetTarget(Target);
        made->show();
        shown.Page = made.get();
        shown.Window = made.get();
        shown.Dialog = std::move(made);
        return shown;
    }
    form->SetChart(&Chart);
    if (tool)
        form->EditTool = tool;
    else if (series || function)
        form->EditSeries = series ? series : function->ParentSeries();
    form->show();
    if (chartTab == form->TabTools) {
        form->MainPage->setCurrentWidget(chartTab);
    } else if (chartTab) {
        form->MainPage->setCurrentWidget(form->TabChart);
        form->SubPage->setCurrentWidget(chartTab);
    }
    // A function's page and its options are on the series' data source.
    if ((function || Name == QStringLiteral("TPlotFuncEditor")) && form->SeriesPage())
        form->SeriesPage()->setProperty("ActiveTab", QStringLiteral("Data Source"));
    shown.Page = FindShownPage(*form, made->metaObject(), Target);
    if (shown.Page)
        test::RevealInTabs(shown.Page);
    shown.Window = form.get();
    shown.Editor = std::move(form);
    return shown;
}

// At the size its window opens, no control of any tab of a page is cut
// off by its parent or the window, squeezed below its minimum, and no tab
// lies beyond its row without scroll buttons.
TEST_P(EditorPageWalk, EveryControlIsInReachInItsWindow)
{
    const QString name = QString::fromStdString(GetParam());
    test::TEditorSettingsFolder settings;
    TEditorChart chart;
    QObject* target = TargetFor(name, chart);
    ASSERT_NE(target, nullptr);
    TPageInItsWindow shown = OpenInItsWindow(name, chart, target);
    ASSERT_NE(shown.Page, nullptr) << "not shown in its window";
    EXPECT_TRUE(shown.Page->isVisible());
    test::SaveScreenshot(*shown.Window, QStringLiteral("window-") + name);
    const QStringList problems = test::UnreachableControlsOnEveryTab(*shown.Window, *shown.Page);
    EXPECT_EQ(problems.join(QLatin1Char('\n')).toStdString(), "");
}

// The fields a user types into on Page and on the pages inside it, in the
// order their binders bound them: bound line edits and spin boxes.
std::vector<QWidget*> TypedFields(TEditorPage& Page)
{
    std::vector<TEditorPage*> pages{&Page};
    for (TEditorPage* inner : Page.findChildren<TEditorPage*>())
        pages.push_back(inner);
    std::vector<QWidget*> fields;
    for (TEditorPage* page : pages)
        for (QObject* control : page->Binder().Controls())
            if (qobject_cast<QLineEdit*>(control) || qobject_cast<QSpinBox*>(control))
                fields.push_back(static_cast<QWidget*>(control));
    return fields;
}

// Puts the focus in Field, shown on its tab, and types into it as a user
// does, without Enter and without leaving it: a number field gets another
// number, a spin box another digit, a text field one more letter. False
// when Field cannot take the focus (hidden or disabled where it is shown).
bool FocusAndTypeInto(QWidget* Field)
{
    test::RevealInTabs(Field);
    if (!Field->isVisible() || !Field->isEnabled())
        return false;
    Field->setFocus();
    if (QApplication::focusWidget() != Field)
        return false;
    if (auto* spin = qobject_cast<QSpinBox*>(Field)) {
        QLineEdit* edit = spin->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, spin->value() == 7 ? QStringLiteral("8") : QStringLiteral("7"));
    } else if (auto* edit = qobject_cast<QLineEdit*>(Field)) {
        if (edit->validator()) {
            edit->selectAll();
            QTest::keyClicks(edit, AnotherNumber(edit->text()));
        } else {
            QTest::keyClick(edit, Qt::Key_End);
            QTest::keyClicks(edit, QStringLiteral("x"));
        }
    }
    return true;
}

// A shown page deleted with the focus in one of its fields crashed: the
// dialog teardown took the focus out of the field and its editing-finished
// handler reached the page's binder, already destroyed. Each field of the
// page and of the pages inside it in turn, the page shown alone and where
// the program shows it: typed into, the page deleted while shown; the
// deletion writes nothing (what was not written yet is dropped).
TEST_P(EditorPageWalk, DeletedWhileAFieldHasTheFocusWritesNothing)
{
    const QString name = QString::fromStdString(GetParam());
    test::TEditorSettingsFolder settings;
    TEditorChart chart;
    QObject* target = TargetFor(name, chart);
    ASSERT_NE(target, nullptr);
    for (const bool inItsWindow : {false, true}) {
        for (size_t index = 0;; ++index) {
            TPageInItsWindow shown;
            if (inItsWindow) {
                shown = OpenInItsWindow(name, chart, target);
                // Shown as a dialog of its own: done above.
                if (!shown.Editor)
                    break;
                ASSERT_NE(shown.Page, nullptr);
            } else {
                shown.Dialog.reset(CreateEditorPage(name, nullptr));
                ASSERT_NE(shown.Dialog, nullptr);
                shown.Page = shown.Dialog.get();
                shown.Window = shown.Page;
                shown.Page->SetTarget(target);
                shown.Page->show();
            }
            shown.Window->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(shown.Window));
            const std::vector<QWidget*> fields = TypedFields(*shown.Page);
            // A field that cannot take the focus is passed over in the same
            // window: nothing was typed, and opening another costs the most.
            while (index < fields.size() && !FocusAndTypeInto(fields[index]))
                ++index;
            if (index >= fields.size())
                break;
            QWidget* field = fields[index];
            const std::string where =
                (inItsWindow ? "in its window, " : "alone, ") + field->objectName().toStdString();
            const QStringList chartTyped = test::DumpProperties(&chart);
            const QStringList targetTyped = DumpTarget(target);
            if (shown.Dialog)
                shown.Dialog.reset();
            else
                delete shown.Page;
            EXPECT_EQ(test::DumpProperties(&chart), chartTyped) << where;
            EXPECT_EQ(DumpTarget(target), targetTyped) << where;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Registered, EditorPageWalk, ::testing::ValuesIn([] {
                             std::vector<std::string> names;
                             for (const QString& name : RegisteredEditorPages())
                                 names.push_back(name.toStdString());
                             return names;
                         }()),
                         [](const ::testing::TestParamInfo<std::string>& Info) { return Info.param; });

TEST(EditorPages, EveryRegisteredPageHasATargetInTheWalk)
{
    for (const QString& name : RegisteredEditorPages())
    {
        TEditorChart chart;
        EXPECT_NE(TargetFor(name, chart), nullptr) << name.toStdString();
    }
}

} // namespace
} // namespace lp
