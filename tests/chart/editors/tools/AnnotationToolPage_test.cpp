// The annotation page: the memo's lines reach the text separated by one
// carriage return; an automatic position turns the custom place off;
// percent units pull a place beyond 100 back; the size and the callout
// position edits.

#include "chart/editors/tools/AnnotationToolPage.h"

#include "ToolPageTestSupport.h"
#include "chart/extensions/tools/PlotAnnotationTool.h"
#include "chart/extensions/tools/PlotRectangleTool.h"

#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

struct AnnotationPageTest : ::testing::Test {
    TEditorChart Chart;
    TAnnotationTool* Tool = test::AddChartTool<TAnnotationTool>(Chart);
    std::unique_ptr<TAnnotationToolEdit> Page;

    void Open() { Page = test::ShowToolPage<TAnnotationToolEdit>(Tool); }
};

TEST_F(AnnotationPageTest, ATwoLineMemoStoresOneCarriageReturnAndNoLineFeed)
{
    Open();
    Page->MemoText->setFocus();
    QTest::keyClicks(Page->MemoText, QStringLiteral("first"));
    QTest::keyClick(Page->MemoText, Qt::Key_Return);
    QTest::keyClicks(Page->MemoText, QStringLiteral("second"));
    EXPECT_EQ(Tool->Text(), QStringLiteral("first\rsecond"));
    EXPECT_FALSE(Tool->Text().contains(QLatin1Char('\n')));
    // The stored text shows one line per line.
    Tool->SetText(QStringLiteral("a\r\nb\rc"));
    Page->Refresh();
    EXPECT_EQ(Page->MemoText->toPlainText(), QStringLiteral("a\nb\nc"));
}

TEST_F(AnnotationPageTest, TheMemoSitsBetweenItsLabelAndTheAlignment)
{
    // Regression: the memo was put back on a row past its own and the
    // "Text alignment" line floated over its middle.
    Open();
    // Taller than it needs, as the Tools tab shows it.
    Page->resize(Page->sizeHint() + QSize(0, 200));
    QApplication::processEvents();
    const QWidget* tab = Page->MemoText->parentWidget();
    QWidget* label = tab->findChild<QLabel*>(QStringLiteral("Label1"), Qt::FindDirectChildrenOnly);
    ASSERT_NE(label, nullptr);
    const auto top = [tab](const QWidget* W) { return W->mapTo(tab, QPoint(0, 0)).y(); };
    EXPECT_LE(top(label) + label->height(), top(Page->MemoText));
    EXPECT_LE(top(Page->MemoText) + Page->MemoText->height(), top(Page->CBTextAlign));
    EXPECT_LE(top(Page->CBTextAlign) + Page->CBTextAlign->height(), top(Page->CBCursor));
}

TEST_F(AnnotationPageTest, AnAutomaticPositionTurnsTheCustomPlaceOff)
{
    Tool->Shape()->SetCustomPosition(true);
    Open();
    Page->PageControl1->setCurrentIndex(1);
    EXPECT_TRUE(Page->UDLeft->isEnabled());
    EXPECT_TRUE(Page->CBCustPos->isChecked());
    test::PickEntry(Page->CBPos, 3);
    EXPECT_EQ(Tool->Position(), TAnnotationTool::ppRightBottom);
    EXPECT_FALSE(Tool->Shape()->CustomPosition());
    EXPECT_FALSE(Page->CBCustPos->isChecked());
    EXPECT_FALSE(Page->UDLeft->isEnabled());
    EXPECT_FALSE(Page->UDTop->isEnabled());
    EXPECT_FALSE(Page->CBUnits->isEnabled());
}

TEST_F(AnnotationPageTest, PercentPullsLeftAndTopAbove100DownTo100)
{
    Tool->Shape()->SetCustomPosition(true);
    Tool->SetPositionUnits(TCustomPlotPanel::muPixels);
    Tool->Shape()->SetLeft(300);
    Tool->Shape()->SetTop(60);
    Open();
    Page->PageControl1->setCurrentIndex(1);
    EXPECT_EQ(Page->UDLeft->value(), 300);
    test::PickEntry(Page->CBUnits, 0);
    EXPECT_EQ(Tool->PositionUnits(), TCustomPlotPanel::muPercent);
    EXPECT_EQ(Tool->Shape()->Left(), 100);
    EXPECT_EQ(Tool->Shape()->Top(), 60);
    EXPECT_EQ(Page->UDLeft->value(), 100);
}

TEST_F(AnnotationPageTest, AutomaticSizeDisablesWidthAndHeight)
{
    Tool->SetAutoSize(false);
    Open();
    Page->PageControl1->setCurrentIndex(2);
    EXPECT_TRUE(Page->UDWidth->isEnabled());
    test::ClickNearLeftEdge(Page->CBAutoSize);
    EXPECT_TRUE(Tool->AutoSize());
    EXPECT_FALSE(Page->UDWidth->isEnabled());
    EXPECT_FALSE(Page->UDHeight->isEnabled());
}

TEST_F(AnnotationPageTest, CalloutPositionsKeepTheOldValueOnBadText)
{
    Tool->Callout()->SetXPosition(40);
    Open();
    Page->PageControl1->setCurrentIndex(3);
    Page->EX->setFocus();
    Page->EX->selectAll();
    QTest::keyClicks(Page->EX, QStringLiteral("x4"));
    EXPECT_EQ(Tool->Callout()->XPosition(), 40);
    Page->EY->setFocus();
    Page->EY->selectAll();
    QTest::keyClicks(Page->EY, QStringLiteral("-25"));
    EXPECT_EQ(Tool->Callout()->YPosition(), -25);
}

TEST_F(AnnotationPageTest, PointerOpensThePointerDialogOnTheCallout)
{
    Open();
    Page->PageControl1->setCurrentIndex(3);
    QObject* edited = nullptr;
    QString title;
    QTimer::singleShot(0, [&edited, &title] {
        if (auto* dialog = qobject_cast<TEditorPage*>(QApplication::activeModalWidget())) {
            edited = dialog->Target();
            title = dialog->windowTitle();
            dialog->reject();
        }
    });
    QTest::mouseClick(Page->BCalloutPointer, Qt::LeftButton);
    EXPECT_EQ(edited, Tool->Callout());
    EXPECT_EQ(title, QStringLiteral("Pointer"));
}

TEST(AnnotationToolPageShapes, TheRectangleToolUsesThePageWithTheShapeTabs)
{
    TEditorChart chart;
    auto* tool = test::AddChartTool<TRectangleTool>(chart);
    EXPECT_EQ(tool->GetEditorClassName(), QStringLiteral("TAnnotationToolEdit"));
    auto page = test::ShowToolPage<TAnnotationToolEdit>(tool);
    EXPECT_GT(page->PageControl1->count(), 4);
    EXPECT_EQ(page->PageControl1->tabText(3), QStringLiteral("Callout"));
}

} // namespace
} // namespace lp
