#include "chart/editors/frame/ChartListBox.h"

#include "../EditorTestSupport.h"
#include "../ReopenedChart.h"
#include "DialogTestUtil.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotPaletteSeries.h"
#include "chart/engine/PlotSeries.h"
#include "platform/ui/Dialogs.h"

#include <QtGui/QHelpEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QToolTip>

#include <gtest/gtest.h>

#include <algorithm>

namespace lp {
namespace {

using test::TColorDialogAnswer;
using test::TEditorChart;

// A chart with three line series, listed in a shown list box.
struct TListedChart {
    TEditorChart Chart;
    TChartListBox List;
    TChartSeries* S[3];
    std::vector<TMessageRequest> Questions;
    int Answer = mrYes;

    TListedChart()
    {
        for (int i = 0; i < 3; ++i) {
            S[i] = new TLineSeries(&Chart);
            S[i]->SetName(QStringLiteral("Series%1").arg(i + 1));
            S[i]->SetTitle(QStringLiteral("Title %1").arg(i + 1));
            Chart.AddSeries(S[i]);
        }
        MessageService() = [this](const TMessageRequest& Request) {
            Questions.push_back(Request);
            return Answer;
        };
        List.resize(320, 120);
        List.SetChart(&Chart);
        List.show();
    }
    ~TListedChart() { ResetMessageService(); }

    QPoint At(TChartListBox::TColumn Column, int Row) const
    {
        const QRect row = List.visualRect(List.Model().index(Row));
        return {List.ColumnOffset(Column) + List.ColumnWidth(Column) / 2, row.center().y()};
    }
    void Click(TChartListBox::TColumn Column, int Row)
    {
        QTest::mouseClick(List.viewport(), Qt::LeftButton, {}, At(Column, Row));
    }
};

TEST(ChartListBox, ColumnsAndTheirHitsExcludeBothEnds)
{
    TChartListBox list;
    EXPECT_EQ(list.ColumnOffset(TChartListBox::colTitle), 68);
    EXPECT_FALSE(list.PointInColumn(TChartListBox::colActive, 26));
    EXPECT_TRUE(list.PointInColumn(TChartListBox::colActive, 27));
    EXPECT_FALSE(list.PointInColumn(TChartListBox::colActive, 42));
    list.SetShowSeriesIcon(false);
    EXPECT_EQ(list.ColumnOffset(TChartListBox::colActive), 0);
    EXPECT_FALSE(list.PointInColumn(TChartListBox::colIcon, 10));
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(list.CurrentSeries(), nullptr);
    EXPECT_FALSE(list.DeleteSelected()); // empty: nothing
}

TEST(ChartListBox, ClickOnTheBoxTogglesAndRadioStyleKeepsOneActive)
{
    TListedChart c;
    c.Click(TChartListBox::colActive, 1);
    EXPECT_FALSE(c.S[1]->Active());
    c.Click(TChartListBox::colActive, 1);
    EXPECT_TRUE(c.S[1]->Active());

    c.List.SetCheckStyle(cbsRadio);
    EXPECT_TRUE(c.S[0]->Active());
    EXPECT_FALSE(c.S[1]->Active());
    EXPECT_FALSE(c.S[2]->Active());
    TChartSeries* changed = nullptr;
    c.List.OnChangeActive = [&changed](TChartListBox*, TChartSeries* Series) { changed = Series; };
    c.Click(TChartListBox::colActive, 2);
    EXPECT_FALSE(c.S[0]->Active());
    EXPECT_FALSE(c.S[1]->Active());
    EXPECT_TRUE(c.S[2]->Active());
    EXPECT_EQ(changed, c.S[2]);
}

TEST(ChartListBox, DisabledBoxesShowGreyedKeepTheirStateAndSayWhy)
{
    TListedChart c;
    const QImage enabled = c.List.RowImage(1);
    c.List.SetActiveCheckEnabled(false, QStringLiteral("Not kept"));
    EXPECT_NE(c.List.RowImage(1), enabled);
    TChartSeries* changed = nullptr;
    c.List.OnChangeActive = [&changed](TChartListBox*, TChartSeries* Series) { changed = Series; };
    c.Click(TChartListBox::colActive, 1);
    EXPECT_TRUE(c.S[1]->Active());
    EXPECT_EQ(changed, nullptr);
    // The row is still chosen by the click.
    EXPECT_EQ(c.List.ItemIndex(), 1);
    QHelpEvent tip(QEvent::ToolTip, c.At(TChartListBox::colActive, 1),
                   c.List.viewport()->mapToGlobal(c.At(TChartListBox::colActive, 1)));
    QApplication::sendEvent(c.List.viewport(), &tip);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Not kept"));
    QToolTip::hideText();

    c.List.SetActiveCheckEnabled(true);
    c.Click(TChartListBox::colActive, 1);
    EXPECT_FALSE(c.S[1]->Active());
}

TEST(ChartListBox, DragOntoAnotherRowExchangesAndOntoItselfNothing)
{
    TListedChart c;
    auto drag = [&c](int From, QPoint To) {
        const QPoint start = c.At(TChartListBox::colTitle, From);
        QTest::mousePress(c.List.viewport(), Qt::LeftButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, QPointF(To), c.List.viewport()->mapToGlobal(QPointF(To)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c.List.viewport(), &move);
        QTest::mouseRelease(c.List.viewport(), Qt::LeftButton, {}, To);
    };
    drag(0, c.At(TChartListBox::colTitle, 0) + QPoint(30, 0));
    EXPECT_EQ(c.Chart.Series(0), c.S[0]);
    drag(0, QPoint(100, c.List.viewport()->height() - 2)); // below the rows
    EXPECT_EQ(c.Chart.Series(0), c.S[0]);
    TChartSeries* first = nullptr;
    c.List.OnChangeOrder = [&first](TChartListBox*, TChartSeries* A, TChartSeries*) { first = A; };
    drag(0, c.At(TChartListBox::colTitle, 2));
    EXPECT_EQ(c.Chart.Series(0), c.S[2]);
    EXPECT_EQ(c.Chart.Series(2), c.S[0]);
    EXPECT_EQ(c.List.RowText(0), QStringLiteral("Title 3"));
    EXPECT_EQ(c.List.CurrentSeries(), c.S[0]);
    EXPECT_EQ(first, c.S[0]);
}

TEST(ChartListBox, DeleteAsksAndNoChangesNothing)
{
    TListedChart c;
    c.List.SetItemIndex(1);
    c.List.selectionModel()->select(c.List.Model().index(2), QItemSelectionModel::Select);
    ASSERT_EQ(c.List.SelectedCount(), 2);
    c.Answer = mrNo;
    QTest::keyClick(&c.List, Qt::Key_Delete);
    ASSERT_EQ(c.Questions.size(), 1u);
    EXPECT_EQ(c.Questions[0].Text, QStringLiteral("Delete (Selected Series) ?"));
    EXPECT_EQ(c.Chart.SeriesCount(), 3);
    EXPECT_EQ(c.List.Count(), 3);

    c.Answer = mrYes;
    c.List.SetItemIndex(0);
    c.List.ClearSelection();
    c.List.SelectSeriesRow(c.S[0]);
    EXPECT_TRUE(c.List.DeleteSelected());
    EXPECT_EQ(c.Questions.back().Text, QStringLiteral("Delete Title 1 ?"));
    EXPECT_EQ(c.Chart.SeriesCount(), 2);
    EXPECT_EQ(c.List.Count(), 2);
    EXPECT_EQ(c.List.ItemIndex(), 0);
}

TEST(ChartListBox, RenamingToTheComponentNameClearsTheTitle)
{
    TListedChart c;
    c.List.SetItemIndex(1);
    std::optional<TInputRequest> asked;
    InputService() = [&asked](const TInputRequest& Request) -> std::optional<QString> {
        asked = Request;
        return QStringLiteral("Series2");
    };
    EXPECT_TRUE(c.List.RenameWithDialog());
    ResetInputService();
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->Caption, QStringLiteral("Change Series Title"));
    EXPECT_EQ(asked->Prompt, QStringLiteral("New Series Title:"));
    EXPECT_EQ(asked->Default, QStringLiteral("Title 2"));
    EXPECT_TRUE(c.S[1]->Title().isEmpty());
    EXPECT_EQ(c.List.RowText(1), QStringLiteral("Series2"));
}

TEST(ChartListBox, WithNamesShownRenamingChangesTheNameAndRefusesABadOne)
{
    TListedChart c;
    c.List.SetShowSeriesNames(true);
    c.List.SetItemIndex(0);
    EXPECT_EQ(c.List.RowText(0), QStringLiteral("Series1"));
    QString answer = QStringLiteral("Wells");
    InputService() = [&answer](const TInputRequest&) -> std::optional<QString> { return answer; };
    EXPECT_TRUE(c.List.RenameWithDialog());
    EXPECT_EQ(c.S[0]->Name(), QStringLiteral("Wells"));
    EXPECT_EQ(c.List.RowText(0), QStringLiteral("Wells"));
    answer = QStringLiteral("Series2"); // another series' name
    EXPECT_FALSE(c.List.RenameWithDialog());
    answer = QStringLiteral("two words");
    EXPECT_FALSE(c.List.RenameWithDialog());
    ResetInputService();
    EXPECT_EQ(c.S[0]->Name(), QStringLiteral("Wells"));
    EXPECT_EQ(c.Questions.size(), 2u); // each refusal said so
}

TEST(ChartListBox, F2RenamesInPlaceAndEscapeKeepsTheTitle)
{
    TListedChart c;
    c.List.setFocus();
    c.List.SetItemIndex(2);
    QTest::keyClick(&c.List, Qt::Key_F2);
    QLineEdit* edit = c.List.InPlaceEdit();
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->text(), QStringLiteral("Title 3"));
    QTest::keyClicks(edit, QStringLiteral("Deep"));
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(c.S[2]->Title(), QStringLiteral("Title 3"));
    QTest::keyClick(&c.List, Qt::Key_F2);
    QTest::keyClicks(edit, QStringLiteral("Deep"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(c.S[2]->Title(), QStringLiteral("Deep"));
    EXPECT_EQ(c.List.RowText(2), QStringLiteral("Deep"));
}

TEST(ChartListBox, ColourOpensOnlyOnDoubleClickAndACancelKeepsIt)
{
    TListedChart c;
    c.S[0]->SetColorEachPoint(true);
    c.S[0]->SetSeriesColor(0x808080);
    ASSERT_TRUE(c.S[0]->ColorEachPoint());
    TColorDialogAnswer answer;
    c.Click(TChartListBox::colColor, 0);
    EXPECT_TRUE(answer.Requests.empty());
    QTest::mouseDClick(c.List.viewport(), Qt::LeftButton, {}, c.At(TChartListBox::colColor, 0));
    ASSERT_EQ(answer.Requests.size(), 1u);
    EXPECT_EQ(c.S[0]->SeriesColor(), 0x808080);
    EXPECT_TRUE(c.S[0]->ColorEachPoint());
    answer.Answer = 0x00FF00;
    TChartSeries* recoloured = nullptr;
    c.List.OnChangeColor = [&recoloured](TChartListBox*, TChartSeries* Series) { recoloured = Series; };
    QTest::mouseDClick(c.List.viewport(), Qt::LeftButton, {}, c.At(TChartListBox::colColor, 0));
    EXPECT_EQ(c.S[0]->SeriesColor(), 0x00FF00);
    EXPECT_FALSE(c.S[0]->ColorEachPoint());
    EXPECT_EQ(recoloured, c.S[0]);
}

TEST(ChartListBox, SeriesWithoutOneColourOfferNoColourDialog)
{
    TEditorChart chart;
    auto* map = new TCustom3DPaletteSeries(&chart);
    chart.AddSeries(map);
    ASSERT_FALSE(map->SeriesColorEditable());
    TChartListBox list;
    list.SetChart(&chart);
    list.show();
    TColorDialogAnswer answer;
    answer.Answer = 0x00FF00;
    const QRect row = list.visualRect(list.Model().index(0));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, QPoint(list.ColumnOffset(TChartListBox::colColor) + 10, row.center().y()));
    EXPECT_TRUE(answer.Requests.empty());
}

TEST(ChartListBox, FollowsSeriesAddedRemovedAndRetitledInCode)
{
    TListedChart c;
    QComboBox combo; // the series page shows the same rows
    combo.setModel(&c.List.Model());
    TChartSeries* removed = nullptr;
    c.List.OnRemovedSeries = [&removed](TChartListBox*, TChartSeries* Series) { removed = Series; };
    auto* added = new TLineSeries(&c.Chart);
    added->SetTitle(QStringLiteral("Fourth"));
    c.Chart.AddSeries(added);
    EXPECT_EQ(c.List.Count(), 4);
    EXPECT_EQ(combo.count(), 4);
    EXPECT_EQ(c.List.RowText(3), QStringLiteral("Fourth"));
    c.S[1]->SetTitle(QStringLiteral("Renamed"));
    EXPECT_EQ(combo.itemText(1), QStringLiteral("Renamed"));
    delete c.S[0];
    EXPECT_EQ(removed, c.S[0]);
    EXPECT_EQ(c.List.Count(), 3);
    EXPECT_EQ(combo.itemText(0), QStringLiteral("Renamed"));
    c.Chart.ExchangeSeries(0, 1);
    EXPECT_EQ(c.List.RowText(0), QStringLiteral("Title 3"));
}

// Stack set on the line series; a line added later and put at the top of
// the list, then cloned from the list: both stack with the others in the
// open chart and in the reopened one (where the first stacked line read
// spreads its setting to the lines read before it).
TEST(ChartListBox, AddedAndClonedLinesStackWithTheChartsLines)
{
    TListedChart listed;
    static_cast<TLineSeries*>(listed.S[0])->SetStacked(cssStack);
    TChartSeries* added = CreateNewSeries(&listed.Chart, &listed.Chart, &TLineSeries::staticMetaObject);
    listed.Chart.ExchangeSeriesObjects(added, listed.S[0]);
    for (int i = 0; i < listed.Chart.SeriesCount(); ++i)
        listed.Chart.Series(i)->FillSampleValues(4);
    listed.List.SetItemIndex(0);
    ASSERT_EQ(listed.List.CurrentSeries(), added);
    listed.List.CloneSelected();
    ASSERT_EQ(listed.Chart.SeriesCount(), 5);
    const auto stacking = [](TCustomChart& Chart) {
        std::vector<TCustomSeriesStack> Result;
        for (int i = 0; i < Chart.SeriesCount(); ++i)
            Result.push_back(static_cast<TCustomSeries*>(Chart.Series(i))->Stacked());
        return Result;
    };
    const std::vector<TCustomSeriesStack> stacked(5, cssStack);
    EXPECT_EQ(stacking(listed.Chart), stacked);
    for (const bool Text : {false, true})
        EXPECT_EQ(stacking(*test::ReopenedChart(listed.Chart, Text)), stacked) << "text form " << Text;
}

TEST(ChartListBox, ChartDestroyedEmptiesTheList)
{
    TChartListBox list;
    {
        TEditorChart chart;
        chart.AddSeries(new TLineSeries(&chart));
        list.SetChart(&chart);
        EXPECT_EQ(list.Count(), 1);
    }
    EXPECT_EQ(list.Chart(), nullptr);
    EXPECT_EQ(list.Count(), 0);
}

TEST(ChartListBox, GalleryKeysDoNothingWhileTheHooksAreEmpty)
{
    TListedChart c;
    // The gallery may have filled the hooks; they are emptied for the test.
    const TAddFromGalleryHook savedAdd = AddFromGalleryHook();
    const TChangeTypeHook savedChange = ChangeTypeHook();
    AddFromGalleryHook() = nullptr;
    ChangeTypeHook() = nullptr;
    QTest::keyClick(&c.List, Qt::Key_Insert);
    QTest::mouseDClick(c.List.viewport(), Qt::LeftButton, {}, c.At(TChartListBox::colIcon, 0));
    EXPECT_EQ(c.Chart.SeriesCount(), 3);
    EXPECT_EQ(c.Chart.Series(0), c.S[0]);
    // A filled hook is reached by Insert.
    int calls = 0;
    AddFromGalleryHook() = [&calls](QWidget*, TCustomAxisPanel*, TChartSeries*) -> TChartSeries* {
        ++calls;
        return nullptr;
    };
    QTest::keyClick(&c.List, Qt::Key_Insert);
    AddFromGalleryHook() = savedAdd;
    ChangeTypeHook() = savedChange;
    EXPECT_EQ(calls, 1);
}

TEST(ChartListBox, RowsShowTheSeriesColourBoxAndTitle)
{
    TListedChart c;
    c.S[1]->SetSeriesColor(0x0000FF);
    c.S[1]->SetActive(false);
    c.List.SetItemIndex(0);
    c.List.setFocus();
    const QImage row = c.List.RowImage(1);
    // The colour column holds the series colour (red in Qt's terms).
    bool red = false;
    for (int x = c.List.ColumnOffset(TChartListBox::colColor); x < c.List.ColumnOffset(TChartListBox::colTitle); ++x)
        red = red || row.pixelColor(x, row.height() / 2) == QColor(255, 0, 0);
    EXPECT_TRUE(red);
    test::SaveScreenshot(c.List, QStringLiteral("series-list"));
}

TEST(ChartListBox, TheCurrentRowIsMarkedWholeAndReadsWithAndWithoutFocus)
{
    // Guards against the current row of a list without focus reading white
    // on pale blue (1.6:1) with only its title marked, and against its title
    // in a white box when the row shows neither check box nor colour.
    const struct {
        const char* Name;
        bool Focused;
        QColor InactiveMark; // invalid: the application's palette
        bool CheckAndColour;
    } Rows[] = {{"focused", true, {}, true},
                {"without focus", false, {}, true},
                {"pale mark", false, QColor(0xBF, 0xCD, 0xDB), true},
                {"icon and title only", false, {}, false}};
    for (const auto& row : Rows) {
        TListedChart c;
        c.List.SetColumnVisible(TChartListBox::colActive, row.CheckAndColour);
        c.List.SetColumnVisible(TChartListBox::colColor, row.CheckAndColour);
        if (row.InactiveMark.isValid()) {
            QPalette palette = c.List.palette();
            palette.setColor(QPalette::Inactive, QPalette::Highlight, row.InactiveMark);
            palette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::white);
            c.List.setPalette(palette);
        }
        c.List.SetItemIndex(1);
        if (row.Focused) {
            c.List.activateWindow();
            c.List.setFocus();
            ASSERT_TRUE(QTest::qWaitFor([&] { return c.List.hasFocus(); })) << row.Name;
        } else {
            c.List.clearFocus();
        }
        const QImage image = c.List.RowImage(1);
        const QColor mark =
            c.List.palette().color(row.Focused ? QPalette::Active : QPalette::Inactive, QPalette::Highlight);
        // Beside the icon, and at the end of the row.
        EXPECT_EQ(image.pixelColor(c.List.ColumnOffset(TChartListBox::colIcon) + 24, 1), mark) << row.Name;
        EXPECT_EQ(image.pixelColor(image.width() - 2, image.height() - 2), mark) << row.Name;
        // The title's darkest ink reads on the mark; none of it is white
        // (the marks here take dark text).
        double best = 1;
        int white = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = c.List.ColumnOffset(TChartListBox::colTitle); x < image.width(); ++x) {
                best = std::max(best, ContrastRatio(FromQColor(mark), FromQColor(image.pixelColor(x, y))));
                white += image.pixelColor(x, y) == QColor(Qt::white);
            }
        EXPECT_GE(best, 4.5) << row.Name;
        EXPECT_EQ(white, 0) << row.Name;
    }
}

} // namespace
} // namespace lp
