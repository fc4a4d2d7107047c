// The graphic editor as a new user meets it on the example section: Shift
// + right-click on a line or a body, "Options", the format changed, the
// section repainted at once and the look kept through a node move, save
// and reload; an editor opened and closed without a change leaves the
// section and its file as they were.

#include "chart/editors/ChartEditors.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/frame/ChartEditForm.h"
#include "chart/editors/series/CustomSeriesEditor.h"
#include "chart/editors/series/SeriesMarksTab.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/editors/seriestypes/AreaSeriesEditor.h"
#include "chart/editors/seriestypes/MapSeriesEditor.h"
#include "chart/editors/data/ChartGrid.h"
#include "chart/editors/frame/ChartListBox.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSettings.h"
#include "section/dialogs/SectionGraphicEditor.h"
#include "section/editor/PolygonChart.h"

#include "DialogTestUtil.h"
#include "SectionEditorWindowTestUtil.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QStackedWidget>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace lp {
namespace {

// The brush colour the body test chooses.
constexpr TColor BodyBrushColor = 0x2080F0;

// The example section, with its first line at hand.
struct SectionSeriesEditor : test::SectionEditorWindow {
    void SetUp() override
    {
        OpenExample(900, 600);
        if (HasFatalFailure())
            return;
        ASSERT_GE(Chart.Lines.Length(), 1);
        Line = Chart.Lines[0].series;
        ASSERT_NE(Line, nullptr);
    }

    // A pixel on the line: the middle of its first segment.
    QPoint OnLine() const
    {
        const int x = (Line->CalcXPos(0) + Line->CalcXPos(1)) / 2;
        const int y = (Line->CalcYPos(0) + Line->CalcYPos(1)) / 2;
        return {x, y};
    }
    // Shift + right-click on the line, then "Options"; Edit runs on the
    // graphic editor while it is up.
    void OpenGraphicEditor(const std::function<void(TChartEditForm&)>& Edit)
    {
        OpenGraphicEditorAt(OnLine(), Line, Edit);
    }
    // A pixel inside the body of map polygon MapIndex that no line passes.
    QPoint InBody(int MapIndex) const
    {
        TMapSeries* map = Chart.MapSeries();
        const TRect bounds = map->Shapes()->GetPolygon(MapIndex)->GetBounds();
        for (int y = bounds.Top + 3; y < bounds.Bottom - 3; y += 2)
            for (int x = bounds.Left + 3; x < bounds.Right - 3; x += 2) {
                if (map->Clicked(x, y) != MapIndex)
                    continue;
                bool onLine = false;
                for (int i = 0; i < Chart.Lines.Length(); ++i)
                    onLine = onLine || (Chart.Lines[i].series && Chart.Lines[i].series->Clicked(x, y) >= 0);
                if (!onLine)
                    return {x, y};
            }
        return {-1, -1};
    }
    // Shift + right-click at At on Series, then "Options".
    void OpenGraphicEditorAt(QPoint At, TChartSeries* Series, const std::function<void(TChartEditForm&)>& Edit)
    {
        QTest::mouseClick(Window, Qt::RightButton, Qt::ShiftModifier, At);
        TPopupMenu& menu = Chart.PopupMenu();
        ASSERT_GE(menu.Count(), 1);
        ASSERT_EQ(menu.Item(0).Caption, "Options");
        ASSERT_TRUE(menu.Item(0).Enabled);
        ASSERT_EQ(Chart.PopupSeries(), Series);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<TChartEditForm*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            seen = true;
            Edit(*form);
            QTest::mouseClick(form->BClose, Qt::LeftButton);
        });
        menu.Click(0);
        EXPECT_TRUE(seen);
    }
    // Saves the section as Name in the folder and expects the bytes of the
    // file saved as First.
    void ExpectSavedAs(const QString& First, const QString& Name)
    {
        const QString second = Folder.filePath(Name);
        Chart.WriteSection(second, {});
        QFile a(First);
        QFile b(second);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly));
        ASSERT_TRUE(b.open(QIODevice::ReadOnly));
        EXPECT_EQ(a.readAll(), b.readAll());
    }
    // Clicks Button, a pen button, and widens the pen by two in the pen
    // dialog it opens.
    static void WidenWithPenDialog(QWidget* Button)
    {
        QTimer::singleShot(0, [] {
            auto* pen = qobject_cast<TPenDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(pen, nullptr);
            pen->UDWidth->setFocus();
            QTest::keyClick(pen->UDWidth, Qt::Key_Up);
            QTest::keyClick(pen->UDWidth, Qt::Key_Up);
            QTest::mouseClick(pen->BOk, Qt::LeftButton);
        });
        QTest::mouseClick(Button, Qt::LeftButton);
    }
    static QStringList ShownTabs(const TFormPlotSeries& Page)
    {
        QStringList captions;
        for (int i = 0; i < Page.PageSeries->count(); ++i)
            if (Page.PageSeries->isTabVisible(i))
                captions.append(Page.PageSeries->tabText(i));
        return captions;
    }

    TLineSeries* Line = nullptr;
};

TEST_F(SectionSeriesEditor, TheLinesFormatChangesShowAtOnceAndAreSaved)
{
    const QImage before = Window->grab().toImage();
    const int width = Line->LinePen()->Width();
    OpenGraphicEditor([&](TChartEditForm& Form) {
        EXPECT_EQ(Form.windowTitle(), QStringLiteral("Graphic editor"));
        auto* page = qobject_cast<TFormPlotSeries*>(Form.SeriesPage());
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(page->isVisible());
        EXPECT_FALSE(page->PanelTop->isVisible());
        const QStringList tabs = ShownTabs(*page);
        EXPECT_TRUE(tabs.contains(QStringLiteral("Format")));
        EXPECT_TRUE(tabs.contains(QStringLiteral("Marks")));
        EXPECT_FALSE(tabs.contains(QStringLiteral("General")));
        EXPECT_FALSE(tabs.contains(QStringLiteral("Data Source")));
        auto* format = qobject_cast<TCustomSeriesEditor*>(page->SeriesEditor());
        ASSERT_NE(format, nullptr);
        EXPECT_TRUE(format->isVisible());
        for (QWidget* control : std::initializer_list<QWidget*>{format->CBStack, format->CBDark3D,
                                                                format->CBColorEach, format->CBClick,
                                                                format->CheckBox1, format->UDHeight})
            EXPECT_FALSE(control->isVisible()) << control->objectName().toStdString();

        // A wider line through the border dialog.
        WidenWithPenDialog(format->BLineBorder);
        // A new colour through the colour button.
        test::TColorDialogAnswer answer;
        answer.Answer = 0x00C000;
        QTest::mouseClick(format->BLineColor, Qt::LeftButton);
        EXPECT_EQ(Line->LinePen()->Width(), width + 2);
        EXPECT_EQ(Line->SeriesColor(), 0x00C000);
        // The section shows it before the editor closes.
        Window->repaint();
        EXPECT_NE(Window->grab().toImage(), before);
        test::SaveScreenshot(Form, QStringLiteral("graphic-editor"));
    });
    EXPECT_EQ(Line->LinePen()->Width(), width + 2);

    const QString saved = Folder.filePath(QStringLiteral("saved.sec"));
    Chart.WriteSection(saved, {"example.jpg", " 0.0 0.0 1000.0 200.0", ""});
    TPolygonChart reloaded;
    ASSERT_TRUE(reloaded.ReadModelBlock(saved));
    ASSERT_GE(reloaded.Lines.Length(), 1);
    TLineSeries* again = reloaded.Lines[0].series;
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->LinePen()->Width(), width + 2);
    EXPECT_EQ(again->SeriesColor(), 0x00C000);
}

// The Marks tab's inner tabs did not fit the Graphic editor: "Shadow"
// started 18 pixels before the window's right edge without scroll
// buttons, and the Marks > Gradient page was cut at its right and bottom.
TEST_F(SectionSeriesEditor, EveryTabOfTheGraphicEditorShowsAllItsControlsAtTheSizeItOpens)
{
    QStringList problems;
    OpenGraphicEditor([&problems](TChartEditForm& Form) {
        auto* page = qobject_cast<TFormPlotSeries*>(Form.SeriesPage());
        ASSERT_NE(page, nullptr);
        page->SetActiveTab(QStringLiteral("Marks"));
        test::SaveScreenshot(Form, QStringLiteral("graphic-editor-marks"));
        problems += test::UnreachableControlsOnEveryTab(Form, *page);
    });
    const QPoint inBody = InBody(0);
    ASSERT_GE(inBody.x(), 0);
    OpenGraphicEditorAt(inBody, Chart.MapSeries(), [&problems](TChartEditForm& Form) {
        ASSERT_NE(Form.SeriesPage(), nullptr);
        problems += test::UnreachableControlsOnEveryTab(Form, *Form.SeriesPage());
    });
    EXPECT_EQ(problems.join(QLatin1Char('\n')).toStdString(), "");
}

TEST_F(SectionSeriesEditor, OpeningAndClosingWithoutAChangeLeavesTheLine)
{
    const QString look = SeriesSettingsToText(Line);
    const QString first = Folder.filePath(QStringLiteral("first.sec"));
    Chart.WriteSection(first, {});
    const QImage before = Window->grab().toImage();
    OpenGraphicEditor([](TChartEditForm& Form) {
        auto* page = qobject_cast<TFormPlotSeries*>(Form.SeriesPage());
        ASSERT_NE(page, nullptr);
        // Every tab looked at, nothing changed.
        for (int i = 0; i < page->PageSeries->count(); ++i)
            if (page->PageSeries->isTabVisible(i))
                page->PageSeries->setCurrentIndex(i);
    });
    EXPECT_EQ(SeriesSettingsToText(Line), look);
    ExpectSavedAs(first, QStringLiteral("second.sec"));
    Window->repaint();
    EXPECT_EQ(Window->grab().toImage(), before);
}

// The ring (body, sub) whose map polygon is MapIndex.
std::pair<int, int> RingOfMapPolygon(const TPolygonChart& Chart, int MapIndex)
{
    for (int body = 0; body < Chart.Model.Length(); ++body)
        for (int sub = 0; sub < Chart.Model[body].Length(); ++sub)
            if (Chart.FindMapPolygon(body, sub) == MapIndex)
                return {body, sub};
    return {-1, -1};
}

TEST_F(SectionSeriesEditor, ABodysLookChangedInTheMapPageStaysWithTheBody)
{
    TMapSeries* map = Chart.MapSeries();
    ASSERT_GE(map->Shapes()->Count(), 1);
    const int mapIndex = map->Shapes()->Count() - 1;
    const QPoint inBody = InBody(mapIndex);
    ASSERT_GE(inBody.x(), 0);
    const auto [body, sub] = RingOfMapPolygon(Chart, mapIndex);
    ASSERT_GE(body, 0);
    const int width = map->Shapes()->GetPolygon(mapIndex)->Pen()->Width();
    const QImage before = Window->grab().toImage();
    OpenGraphicEditorAt(inBody, map, [&](TChartEditForm& Form) {
        auto* page = qobject_cast<TFormPlotSeries*>(Form.SeriesPage());
        ASSERT_NE(page, nullptr);
        auto* format = qobject_cast<TMapSeriesEditor*>(page->SeriesEditor());
        ASSERT_NE(format, nullptr);
        EXPECT_TRUE(format->isVisible());
        EXPECT_TRUE(ShownTabs(*page).contains(QStringLiteral("Grid 3D")));
        format->PageControl2->setCurrentWidget(format->TabShapes);
        EXPECT_EQ(format->ChartListBox1->Count(), map->Shapes()->Count());
        // The section's bodies are its model's: no shape comes or goes here,
        // and their points are shown read-only.
        EXPECT_FALSE(format->SBAdd->isEnabled());
        EXPECT_FALSE(format->SBDelete->isEnabled());
        EXPECT_EQ(format->ChartGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
        format->ChartListBox1->SetItemIndex(mapIndex);
        format->PageControl1->setCurrentWidget(format->TabFormat);

        // A new brush colour through the brush dialog.
        QTimer::singleShot(0, [] {
            auto* brush = qobject_cast<TBrushDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(brush, nullptr);
            test::TColorDialogAnswer answer;
            answer.Answer = BodyBrushColor;
            QTest::mouseClick(brush->BColor, Qt::LeftButton);
            QTest::mouseClick(brush->Button2, Qt::LeftButton);
        });
        QTest::mouseClick(format->BBrush, Qt::LeftButton);
        // A wider border through the pen dialog.
        WidenWithPenDialog(format->ButtonPen2);
        EXPECT_EQ(map->Shapes()->GetPolygon(mapIndex)->Brush()->Color(), BodyBrushColor);
        EXPECT_EQ(map->Shapes()->GetPolygon(mapIndex)->Pen()->Width(), width + 2);
        // The section shows it before the editor closes.
        Window->repaint();
        EXPECT_NE(Window->grab().toImage(), before);
        test::SaveScreenshot(Form, QStringLiteral("graphic-editor-section-body"));
    });
    // Closed: the ring keeps the look and the map is made from it again.
    const auto lookOf = [](TPolygonChart& In, int Body, int Sub) {
        const int index = In.FindMapPolygon(Body, Sub);
        EXPECT_GE(index, 0);
        TPlotPolygon* polygon = In.MapSeries()->Shapes()->GetPolygon(std::max(index, 0));
        return std::pair<TColor, int>{polygon->Brush()->Color(), polygon->Pen()->Width()};
    };
    EXPECT_EQ(lookOf(Chart, body, sub), (std::pair<TColor, int>{BodyBrushColor, width + 2}));

    // A node of the body moved a little: the map is made anew from the
    // model, the look with it.
    const int node = Chart.Model[body][sub].ring[0];
    const double x = Chart.Nodes[node].x;
    const double y = Chart.Nodes[node].y;
    Chart.EditMode = pmMoveNode;
    Chart.ResetEditMode();
    Chart.EditStep(pmMoveNode, 1, x, y, false);
    Chart.EditStep(pmMoveNode, 0, x, y, false);
    Chart.EditStep(pmMoveNode, 1, x + 0.5, y, false);
    Chart.EditStep(pmMoveNode, 0, x + 0.5, y, true);
    Chart.RebuildMapSeries();
    EXPECT_EQ(lookOf(Chart, body, sub), (std::pair<TColor, int>{BodyBrushColor, width + 2}));

    const QString saved = Folder.filePath(QStringLiteral("saved-body.sec"));
    Chart.WriteSection(saved, {"example.jpg", " 0.0 0.0 1000.0 200.0", ""});
    TPolygonChart reloaded;
    ASSERT_TRUE(reloaded.ReadModelBlock(saved));
    ASSERT_GT(reloaded.Model.Length(), body);
    EXPECT_EQ(lookOf(reloaded, body, sub), (std::pair<TColor, int>{BodyBrushColor, width + 2}));
}

TEST_F(SectionSeriesEditor, TheSurfaceOpensTheAreaPage)
{
    // A pixel of the surface area that no body or line takes.
    QPoint onSurface(-1, -1);
    for (int y = 2; y < Window->height() - 2 && onSurface.x() < 0; y += 2)
        for (int x = 2; x < Window->width() - 2 && onSurface.x() < 0; x += 4)
            if (Chart.SurfaceSeries->Clicked(x, y) >= 0 && Chart.MapSeries()->Clicked(x, y) < 0) {
                bool onLine = false;
                for (int i = 0; i < Chart.Lines.Length(); ++i)
                    onLine = onLine || (Chart.Lines[i].series && Chart.Lines[i].series->Clicked(x, y) >= 0);
                if (!onLine)
                    onSurface = QPoint(x, y);
            }
    ASSERT_GE(onSurface.x(), 0);
    OpenGraphicEditorAt(onSurface, Chart.SurfaceSeries, [](TChartEditForm& Form) {
        auto* page = qobject_cast<TFormPlotSeries*>(Form.SeriesPage());
        ASSERT_NE(page, nullptr);
        EXPECT_NE(qobject_cast<TAreaSeriesEditor*>(page->SeriesEditor()), nullptr);
        const QStringList tabs = ShownTabs(*page);
        EXPECT_TRUE(tabs.contains(QStringLiteral("Point")));
        EXPECT_TRUE(tabs.contains(QStringLiteral("Gradient")));
        // The section file keeps nothing of the surface: every tab shows
        // its settings disabled, and can still be chosen.
        for (int i = 0; i < page->PageSeries->count(); ++i) {
            page->PageSeries->setCurrentIndex(i);
            EXPECT_EQ(page->PageSeries->currentIndex(), i);
            EXPECT_FALSE(page->PageSeries->widget(i)->isEnabled()) << page->PageSeries->tabText(i).toStdString();
            EXPECT_EQ(page->PageSeries->widget(i)->toolTip(), SectionUnkeptReason);
        }
        page->PageSeries->setCurrentIndex(0);
        test::SaveScreenshot(Form, QStringLiteral("graphic-editor-section-surface"));
    });
}

TEST_F(SectionSeriesEditor, ABodysEditorClosedWithoutAKeptChangeLeavesTheSection)
{
    TMapSeries* map = Chart.MapSeries();
    ASSERT_GE(map->Shapes()->Count(), 1);
    const QPoint inBody = InBody(0);
    ASSERT_GE(inBody.x(), 0);
    const QString first = Folder.filePath(QStringLiteral("body-first.sec"));
    Chart.WriteSection(first, {});
    bool notified = false;
    Chart.onchangemodel = [&notified](TPolygonChart*) { notified = true; };
    OpenGraphicEditorAt(inBody, map, [](TChartEditForm& Form) {
        auto* page = qobject_cast<TFormPlotSeries*>(Form.SeriesPage());
        ASSERT_NE(page, nullptr);
        auto* format = qobject_cast<TMapSeriesEditor*>(page->SeriesEditor());
        ASSERT_NE(format, nullptr);
        // Every tab and every shape looked at, nothing changed.
        for (int i = 0; i < page->PageSeries->count(); ++i)
            if (page->PageSeries->isTabVisible(i))
                page->PageSeries->setCurrentIndex(i);
        page->PageSeries->setCurrentIndex(0);
        format->PageControl2->setCurrentWidget(format->TabShapes);
        for (int row = 0; row < format->ChartListBox1->Count(); ++row) {
            format->ChartListBox1->SetItemIndex(row);
            for (int tab = 0; tab < format->PageControl1->count(); ++tab)
                format->PageControl1->setCurrentIndex(tab);
        }
        // A transparency, which a body's parameters do not keep, cannot be
        // typed.
        format->ChartListBox1->SetItemIndex(0);
        format->PageControl1->setCurrentWidget(format->TabFormat);
        EXPECT_FALSE(format->UDTransp->isEnabled());
        QTest::keyClicks(format->UDTransp, QStringLiteral("40"));
        EXPECT_EQ(format->SelectedShape()->Transparency(), 0);
    });
    EXPECT_FALSE(notified);
    EXPECT_EQ(map->Shapes()->GetPolygon(0)->Transparency(), 0);
    ExpectSavedAs(first, QStringLiteral("body-second.sec"));
}

// Every control the section's editor names as unkept: made by visiting each
// tab, found, disabled and saying why.
void ExpectUnkeptLocked(TFormPlotSeries& Page)
{
    for (int i = 0; i < Page.PageSeries->count(); ++i)
        if (Page.PageSeries->isTabVisible(i))
            Page.PageSeries->setCurrentIndex(i);
    const TUnkeptSettings unkept = SectionUnkeptSettings(*Page.EditedSeries());
    ASSERT_FALSE(unkept.Controls.isEmpty());
    const QList<QWidget*> all = Page.findChildren<QWidget*>();
    for (const QString& name : unkept.Controls) {
        // The brush dialog's controls live in that dialog, checked there.
        if (name.startsWith(QStringLiteral("TBrushDialog.")))
            continue;
        EXPECT_GE(test::ExpectLockedWithTheReason(all, name), 1) << name.toStdString() << " names no control";
    }
}

TEST_F(SectionSeriesEditor, ALinesControlsForWhatItsTextCannotKeepAreDisabled)
{
    OpenGraphicEditor([](TChartEditForm& Form) {
        auto* page = qobject_cast<TFormPlotSeries*>(Form.SeriesPage());
        ASSERT_NE(page, nullptr);
        ExpectUnkeptLocked(*page);
        auto* format = qobject_cast<TCustomSeriesEditor*>(page->SeriesEditor());
        ASSERT_NE(format, nullptr);
        EXPECT_FALSE(format->CBStairs->isEnabled());
        EXPECT_FALSE(format->Button1->isEnabled());
    });
}

TEST_F(SectionSeriesEditor, TheBrushDialogOfALineOffersNoPictureTheFileCannotKeep)
{
    // Regression: the line's "Pattern..." dialog took a picture for its
    // brush, which the section file dropped on save.
    OpenGraphicEditor([](TChartEditForm& Form) {
        auto* page = qobject_cast<TFormPlotSeries*>(Form.SeriesPage());
        ASSERT_NE(page, nullptr);
        auto* format = qobject_cast<TCustomSeriesEditor*>(page->SeriesEditor());
        ASSERT_NE(format, nullptr);
        test::ExpectBrushDialogOffersNoPicture([format] { QTest::mouseClick(format->BBrush, Qt::LeftButton); });
    });
}

// The other way round: every control left enabled for a line sets
// something its settings text keeps (the text changes with it), on every
// page of the editor.
TEST_F(SectionSeriesEditor, EveryControlOfferedForALineSetsWhatItsTextKeeps)
{
    // Points, a marks gradient and a marks style of two texts: the controls
    // that follow them are offered too.
    Line->Pointer()->SetVisible(true);
    Line->Marks()->Gradient()->SetVisible(true);
    Line->Marks()->SetStyle(TSeriesMarks::smsLabelValue);
    OpenGraphicEditor([&](TChartEditForm& Form) {
        auto* page = qobject_cast<TFormPlotSeries*>(Form.SeriesPage());
        ASSERT_NE(page, nullptr);
        for (int i = 0; i < page->PageSeries->count(); ++i)
            if (page->PageSeries->isTabVisible(i))
                page->PageSeries->setCurrentIndex(i);
        QList<TEditorPage*> pages = page->findChildren<TEditorPage*>();
        pages.prepend(page);
        int probed = 0;
        for (TEditorPage* editor : pages)
            for (QObject* control : editor->Binder().Controls()) {
                if (!test::OfferedControl(control))
                    continue;
                const QString name = editor->metaObject()->className() + QStringLiteral(".") + control->objectName();
                const QVariant was = editor->Binder().TargetValue(control);
                if (!was.isValid())
                    continue;
                const QString before = SeriesSettingsToText(Line);
                editor->Binder().SetTargetValue(control, test::OtherValue(was, control));
                EXPECT_TRUE(SeriesSettingsToText(Line) != before) << name.toStdString() << " sets what the text leaves out";
                editor->Binder().SetTargetValue(control, was);
                ++probed;
            }
        // The format, point, marks, arrows, text, gradient and shadow pages.
        EXPECT_GE(probed, 35);
        // And the disabled ones set nothing the text keeps ("All Series
        // Visible" sets the line's marks too, but every other series' as
        // well).
        int locked = 0;
        for (TEditorPage* editor : pages)
            for (QObject* control : editor->Binder().Controls()) {
                auto* widget = qobject_cast<QWidget*>(control);
                if (!widget || widget->isEnabled() || control == page->MarksTab->CBAllVisible)
                    continue;
                bool lockedHere = false;
                for (QWidget* w = widget; w && !lockedHere; w = w->parentWidget())
                    lockedHere = IsLockedUnkept(*w);
                const QVariant was = editor->Binder().TargetValue(control);
                if (!lockedHere || !was.isValid())
                    continue;
                const QString before = SeriesSettingsToText(Line);
                editor->Binder().SetTargetValue(control, test::OtherValue(was, control));
                EXPECT_TRUE(SeriesSettingsToText(Line) == before) << control->objectName().toStdString();
                editor->Binder().SetTargetValue(control, was);
                ++locked;
            }
        EXPECT_GE(locked, 6);
    });
}

TEST_F(SectionSeriesEditor, TheLocksHoldWhatThePagesOwnRulesWouldEnable)
{
    OpenGraphicEditor([](TChartEditForm& Form) {
        auto* page = qobject_cast<TFormPlotSeries*>(Form.SeriesPage());
        ASSERT_NE(page, nullptr);
        page->SetActiveTab(QStringLiteral("Point"));
        auto* points = page->findChild<TSeriesPointerEditor*>();
        ASSERT_NE(points, nullptr);
        // Showing the points enables their controls.
        const auto clickVisible = [&] {
            QTest::mouseClick(points->CBDrawPoint, Qt::LeftButton, {}, QPoint(4, points->CBDrawPoint->height() / 2));
        };
        clickVisible();
        if (!points->CBDrawPoint->isChecked())
            clickVisible();
        ASSERT_TRUE(points->CBDrawPoint->isChecked());
        EXPECT_TRUE(points->CBStyle->isEnabled());
        EXPECT_FALSE(points->CBInflate->isEnabled());
        EXPECT_EQ(points->CBInflate->toolTip(), SectionUnkeptReason);
    });
}

TEST_F(SectionSeriesEditor, ABodysControlsForWhatItsParametersCannotKeepAreDisabled)
{
    TMapSeries* map = Chart.MapSeries();
    const QPoint inBody = InBody(0);
    ASSERT_GE(inBody.x(), 0);
    OpenGraphicEditorAt(inBody, map, [&](TChartEditForm& Form) {
        auto* page = qobject_cast<TFormPlotSeries*>(Form.SeriesPage());
        ASSERT_NE(page, nullptr);
        ExpectUnkeptLocked(*page);
        auto* format = qobject_cast<TMapSeriesEditor*>(page->SeriesEditor());
        ASSERT_NE(format, nullptr);
        page->PageSeries->setCurrentIndex(0);
        format->PageControl2->setCurrentWidget(format->TabShapes);
        // Another body chosen: the page enables its controls anew, the
        // locks stay.
        format->ChartListBox1->SetItemIndex(1);
        EXPECT_TRUE(format->ButtonColor1->isEnabled());
        EXPECT_FALSE(format->CBVisible->isEnabled());
        // The tick in the body's row is its visibility: it stays as
        // "Visible" does.
        EXPECT_FALSE(format->ChartListBox1->ActiveCheckEnabled());
        const QRect row = format->ChartListBox1->visualRect(format->ChartListBox1->Model().index(1));
        const int tickX = format->ChartListBox1->ColumnOffset(TChartListBox::colActive) + 5;
        QTest::mouseClick(format->ChartListBox1->viewport(), Qt::LeftButton, {}, QPoint(tickX, row.center().y()));
        EXPECT_TRUE(map->Shapes()->GetPolygon(1)->Points()->Active());

        // What is offered for a body changes what its ring keeps; what is
        // disabled does not.
        const auto [body, sub] = RingOfMapPolygon(Chart, 1);
        ASSERT_GE(body, 0);
        int offered = 0;
        int locked = 0;
        for (QObject* control : format->Binder().Controls()) {
            const QVariant was = format->Binder().TargetValue(control);
            auto* widget = qobject_cast<QWidget*>(control);
            if (!widget || !was.isValid() || control == format->CBDefaultColor)
                continue;
            format->Binder().SetTargetValue(control, test::OtherValue(was, control));
            const bool kept = Chart.PolygonLookChanged(body, sub, 1);
            format->Binder().SetTargetValue(control, was);
            if (IsLockedUnkept(*widget)) {
                EXPECT_FALSE(kept) << control->objectName().toStdString();
                ++locked;
            } else {
                EXPECT_TRUE(kept) << control->objectName().toStdString();
                ++offered;
            }
        }
        EXPECT_GE(offered, 2);
        EXPECT_GE(locked, 5);
    });
}

} // namespace
} // namespace lp
