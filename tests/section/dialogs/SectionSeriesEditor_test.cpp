// The graphic editor as a new user meets it on the example section: Shift
// + right-click on a line, "Options", the line's format changed, the
// section repainted at once and the look kept through save and reload; an
// editor opened and closed without a change leaves the line as it was.

#include "chart/editors/ChartEditors.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/frame/ChartEditForm.h"
#include "chart/editors/series/CustomSeriesEditor.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSettings.h"
#include "section/editor/PolygonChart.h"

#include "DialogTestUtil.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

#include <functional>

namespace lp {
namespace {

// The editors started as the section editor's start-up starts them, on a
// copy of the example section.
struct SectionSeriesEditor : ::testing::Test {
    void SetUp() override
    {
        InitializeChartEditors();
        Section = Folder.filePath(QStringLiteral("example.sec"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), Section));
        Chart.SetBounds(0, 0, 900, 600);
        ASSERT_TRUE(Chart.ReadModelBlock(Section));
        ASSERT_GE(Chart.Lines.Length(), 1);
        Line = Chart.Lines[0].series;
        ASSERT_NE(Line, nullptr);
        Window = Chart.Widget();
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window));
        Window->repaint();
    }
    void TearDown() override { FinalizeChartEditors(); }

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
        QTest::mouseClick(Window, Qt::RightButton, Qt::ShiftModifier, OnLine());
        TPopupMenu& menu = Chart.PopupMenu();
        ASSERT_GE(menu.Count(), 1);
        ASSERT_EQ(menu.Item(0).Caption, "Options");
        ASSERT_TRUE(menu.Item(0).Enabled);
        ASSERT_EQ(Chart.PopupSeries(), Line);
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
    static QStringList ShownTabs(const TFormPlotSeries& Page)
    {
        QStringList captions;
        for (int i = 0; i < Page.PageSeries->count(); ++i)
            if (Page.PageSeries->isTabVisible(i))
                captions.append(Page.PageSeries->tabText(i));
        return captions;
    }

    QTemporaryDir Folder;
    QString Section;
    TPolygonChart Chart;
    TLineSeries* Line = nullptr;
    QWidget* Window = nullptr;
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
        QTimer::singleShot(0, [] {
            auto* pen = qobject_cast<TPenDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(pen, nullptr);
            pen->UDWidth->setFocus();
            QTest::keyClick(pen->UDWidth, Qt::Key_Up);
            QTest::keyClick(pen->UDWidth, Qt::Key_Up);
            QTest::mouseClick(pen->BOk, Qt::LeftButton);
        });
        QTest::mouseClick(format->BLineBorder, Qt::LeftButton);
        // A new colour through the colour button.
        test::TColorDialogAnswer answer;
        answer.Answer = 0x00C000;
        QTest::mouseClick(format->BLineColor, Qt::LeftButton);
        EXPECT_EQ(Line->LinePen()->Width(), width + 2);
        EXPECT_EQ(Line->SeriesColor(), 0x00C000);
        // The section shows it before the editor closes.
        Window->repaint();
        EXPECT_NE(Window->grab().toImage(), before);
        test::SaveScreenshot(Form, QStringLiteral("graphic-editor-section-line"));
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
    const QString second = Folder.filePath(QStringLiteral("second.sec"));
    Chart.WriteSection(second, {});
    QFile a(first);
    QFile b(second);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    Window->repaint();
    EXPECT_EQ(Window->grab().toImage(), before);
}

} // namespace
} // namespace lp
