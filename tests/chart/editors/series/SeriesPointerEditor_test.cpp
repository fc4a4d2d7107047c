// The pointer page's rules the page walk cannot see: the 3-D boxes by
// style and chart, a hidden pointer, the automatic colour both ways, the
// drawn style list, fixed sizes and the modal "Pointer" dialog.

#include "chart/editors/series/SeriesPointerEditor.h"

#include "../EditorTestSupport.h"
#include "../axis/AxisDialogTestSupport.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotSeries.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSpinBox>

#include <gtest/gtest.h>

#include <algorithm>

namespace lp {
namespace {

constexpr TColor PointerNoColor = static_cast<TColor>(0x20000000);

class SeriesPointerEditorTest : public ::testing::Test {
protected:
    SeriesPointerEditorTest()
    {
        Chart.SetView3D(true);
        Series = new TPointSeries(&Chart);
        Chart.AddSeries(Series);
        Series->FillSampleValues(5);
        Page.SetTarget(Series);
        Page.show();
    }
    void ChooseStyle(TSeriesPointerStyle Style)
    {
        Page.CBStyle->setFocus();
        while (Page.CBStyle->currentIndex() != Style)
            QTest::keyClick(Page.CBStyle, Page.CBStyle->currentIndex() < Style ? Qt::Key_Down : Qt::Key_Up);
    }
    test::TEditorChart Chart;
    TPointSeries* Series;
    TSeriesPointerEditor Page;
};

TEST_F(SeriesPointerEditorTest, TheThreeDBoxesFollowTheStyleAndTheChart)
{
    EXPECT_TRUE(Page.CB3dPoint->isEnabled());
    EXPECT_EQ(Page.CBPoDark->isEnabled(), Series->Pointer()->Draw3D());
    ChooseStyle(psCross);
    EXPECT_EQ(Series->Pointer()->Style(), psCross);
    EXPECT_FALSE(Page.CB3dPoint->isEnabled());
    EXPECT_FALSE(Page.CBPoDark->isEnabled());
    ChooseStyle(psDownTriangle);
    EXPECT_TRUE(Page.CB3dPoint->isEnabled());
    // "Dark 3D" only with "3D" ticked.
    test::ClickNearLeftEdge(Page.CB3dPoint);
    EXPECT_FALSE(Series->Pointer()->Draw3D());
    EXPECT_FALSE(Page.CBPoDark->isEnabled());
    // A flat chart has no 3-D look at all.
    Chart.SetView3D(false);
    Page.Refresh();
    EXPECT_FALSE(Page.CB3dPoint->isEnabled());
}

TEST_F(SeriesPointerEditorTest, AHiddenPointerDisablesEverythingButVisible)
{
    test::ClickNearLeftEdge(Page.CBDrawPoint);
    EXPECT_FALSE(Series->Pointer()->Visible());
    EXPECT_TRUE(Page.CBDrawPoint->isEnabled());
    for (QWidget* control : std::initializer_list<QWidget*>{Page.CB3dPoint, Page.CBPoDark, Page.CBInflate,
                                                            Page.UDPointHorizSize, Page.UDPointVertSize,
                                                            Page.BPointFillColor, Page.CBStyle, Page.BPoinPenCol,
                                                            Page.CBDefBrushColor})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    test::ClickNearLeftEdge(Page.CBDrawPoint);
    EXPECT_TRUE(Page.CBStyle->isEnabled());
}

TEST_F(SeriesPointerEditorTest, DefaultColourBothWays)
{
    TSeriesPointer* pointer = Series->Pointer();
    pointer->SetColor(clRed);
    pointer->Pen()->SetColor(PointerNoColor);
    Page.Refresh();
    EXPECT_FALSE(Page.CBDefBrushColor->isChecked());
    test::ClickNearLeftEdge(Page.CBDefBrushColor);
    EXPECT_EQ(pointer->Color(), PointerNoColor);
    EXPECT_EQ(pointer->Pen()->Color(), PointerNoColor);
    // Unticking keeps the brush automatic and gives the border black.
    test::ClickNearLeftEdge(Page.CBDefBrushColor);
    EXPECT_EQ(pointer->Color(), PointerNoColor);
    EXPECT_EQ(pointer->Pen()->Color(), clBlack);
    EXPECT_FALSE(Page.CBDefBrushColor->isChecked());
}

TEST_F(SeriesPointerEditorTest, StyleItemsAreDrawnInTheSeriesColour)
{
    Series->SetSeriesColor(clBlue);
    Series->Pointer()->SetColor(PointerNoColor);
    EXPECT_EQ(Page.StyleItemColor(), clBlue);
    const QImage item = DrawItemImage(
        [this](TCanvas& Canvas, const TRect& Rect, int Index, TColor Background) {
            Page.DrawStyleItem(Canvas, Rect, Index, Background);
        },
        120, 18, psRectangle, false);
    // The square sits at the item's left, filled in blue.
    EXPECT_EQ(item.pixelColor(8, 9), QColor(0, 0, 255));
    Series->Pointer()->SetColor(clRed);
    EXPECT_EQ(Page.StyleItemColor(), clRed);
}

TEST_F(SeriesPointerEditorTest, StyleItemsShowTheSymbolBesideAReadableText)
{
    // Guards against "Square" written in black on a block of the points'
    // colour (a black block for a callout's black pointer).
    const struct {
        const char* Name;
        TColor Color;
        bool Selected;
    } Rows[] = {{"red", clRed, false}, {"red selected", clRed, true}, {"black", clBlack, false},
                {"black selected", clBlack, true}};
    for (const auto& row : Rows) {
        Series->Pointer()->SetColor(row.Color);
        const QImage item = DrawItemImage(
            [this](TCanvas& Canvas, const TRect& Rect, int Index, TColor Background) {
                Page.DrawStyleItem(Canvas, Rect, Index, Background);
            },
            120, 18, psRectangle, row.Selected);
        const QColor background = ToQColor(row.Selected ? clHighlight : clWindow);
        // The symbol in the points' colour at the left.
        EXPECT_EQ(item.pixelColor(8, 9), ToQColor(row.Color)) << row.Name;
        // Beside it the text on the item's own background, readable.
        int plain = 0;
        int area = 0;
        double best = 1;
        for (int y = 0; y < item.height(); ++y)
            for (int x = 18; x < item.width(); ++x) {
                ++area;
                plain += item.pixelColor(x, y) == background;
                best = std::max(best, ContrastRatio(FromQColor(background), FromQColor(item.pixelColor(x, y))));
            }
        EXPECT_GT(plain, area * 3 / 4) << row.Name;
        EXPECT_GE(best, 4.5) << row.Name;
    }
    // The closed box shows the current style the same way: the red symbol
    // at the left, no red behind the text.
    Series->Pointer()->SetColor(clRed);
    Page.CBStyle->setCurrentIndex(psRectangle);
    const QImage face = Page.CBStyle->grab().toImage();
    int symbol = 0;
    int behindText = 0;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            (x < 20 ? symbol : behindText) += face.pixelColor(x, y) == QColor(Qt::red);
    EXPECT_GT(symbol, 20);
    EXPECT_EQ(behindText, 0);
}

TEST_F(SeriesPointerEditorTest, SizesHideWhenThePointerFixesThem)
{
    EXPECT_TRUE(Page.UDPointHorizSize->isVisible());
    Series->Pointer()->SetAllowChangeSize(false);
    Page.Refresh();
    for (QWidget* control : std::initializer_list<QWidget*>{Page.LPointHorizSize, Page.UDPointHorizSize,
                                                            Page.LPointVertSize, Page.UDPointVertSize})
        EXPECT_FALSE(control->isVisible());
    // Typing a size past the range stores nothing beyond it.
    Series->Pointer()->SetAllowChangeSize(true);
    TSeriesPointerEditor other;
    other.SetTarget(Series);
    other.show();
    other.HideSizeControls();
    EXPECT_FALSE(other.UDPointVertSize->isVisible());
}

TEST_F(SeriesPointerEditorTest, ThePointerDialogOnACalloutClosesWithClose)
{
    TMarksCallout* callout = Series->Marks()->Callout();
    callout->SetVisible(true);
    const QStringList before = test::DumpProperties(callout);
    bool checked = false;
    test::OnModal<TSeriesPointerEditor>([&checked](TSeriesPointerEditor& Dialog) {
        EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("Pointer"));
        EXPECT_FALSE(Dialog.CBInflate->isVisible());
        EXPECT_FALSE(Dialog.CBColorEach->isVisible());
        EXPECT_TRUE(Dialog.Button1->isVisible());
        EXPECT_EQ(Dialog.Button1->text(), QStringLiteral("Close"));
        // A cancelled pattern dialog changes nothing.
        test::OnModal<TBrushDialog>([](TBrushDialog& Brush) {
            Brush.StyleClick(3);
            Brush.Button3->click();
        });
        ASSERT_TRUE(Dialog.BPointFillColor->isEnabled());
        Dialog.BPointFillColor->click();
        // So does a cancelled border dialog.
        test::OnModal<TPenDialog>([](TPenDialog& Pen) {
            Pen.UDWidth->setValue(Pen.UDWidth->value() + 3);
            Pen.BCancel->click();
        });
        Dialog.BPoinPenCol->click();
        checked = true;
        Dialog.Button1->click();
    });
    EditSeriesPointer(&Page, callout);
    EXPECT_TRUE(checked);
    EXPECT_EQ(test::DumpProperties(callout), before);
}

} // namespace
} // namespace lp
