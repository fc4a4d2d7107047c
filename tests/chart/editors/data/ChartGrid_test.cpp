#include "chart/editors/data/ChartGrid.h"

#include "../EditorTestSupport.h"
#include "chart/editors/TypedNumberEdit.h"
#include "DialogTestUtil.h"
#include "chart/engine/PlotPaletteSeries.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"
#include "platform/ui/Dialogs.h"

#include <QtTest/QTest>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLineEdit>
#include <gtest/gtest.h>

#include <limits>

namespace lp {
namespace {

class DataGrid : public ::testing::Test {
protected:
    DataGrid()
    {
        Grid.resize(520, 300);
        Grid.show();
    }

    TLineSeries* AddLine(const QString& Title, std::initializer_list<double> Ys)
    {
        auto* Series = new TLineSeries(&Chart);
        Series->SetTitle(Title);
        Chart.AddSeries(Series);
        for (double Y : Ys)
            Series->Add(Y);
        return Series;
    }

    QString HeaderText(int Column) const
    {
        return Grid.model()->headerData(Column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    QString Cell(int Row, int Column) const { return Grid.model()->index(Row, Column).data().toString(); }

    // Clicks the cell, types Text into its editor and presses Key.
    void TypeInto(int Row, int Column, const QString& Text, Qt::Key Key = Qt::Key_Return)
    {
        const QRect Rect = Grid.visualRect(Grid.model()->index(Row, Column));
        QTest::mouseClick(Grid.viewport(), Qt::LeftButton, {}, Rect.center());
        QTest::keyClick(&Grid, Qt::Key_F2);
        QLineEdit* Editor = OpenEditor();
        ASSERT_NE(Editor, nullptr);
        Editor->selectAll();
        QTest::keyClick(Editor, Qt::Key_Backspace);
        QTest::keyClicks(Editor, Text);
        QTest::keyClick(Editor, Key);
        QCoreApplication::processEvents(); // the view commits and closes queued
    }
    QLineEdit* OpenEditor() const
    {
        for (QLineEdit* Editor : Grid.viewport()->findChildren<QLineEdit*>())
            if (Editor->isVisible())
                return Editor;
        return nullptr;
    }
    bool EditorShowing() const
    {
        QLineEdit* Editor = OpenEditor();
        return Editor && Editor->isVisible();
    }

    test::TEditorChart Chart;
    TChartGrid Grid;
};

TEST_F(DataGrid, AnEmptyGridHasOneDataRow)
{
    EXPECT_EQ(Grid.model()->rowCount(), 1);
    EXPECT_EQ(Grid.model()->columnCount(), 1); // "Text"
    EXPECT_EQ(HeaderText(0), QStringLiteral("Text"));
    Grid.SetChart(&Chart);
    EXPECT_EQ(Grid.model()->rowCount(), 1);
    Grid.setCurrentIndex(Grid.model()->index(0, 0));
    QTest::keyClick(&Grid, Qt::Key_F2); // no series: nothing to edit
    EXPECT_FALSE(EditorShowing());
}

TEST_F(DataGrid, XColumnsShowOnlyForOwnXValues)
{
    TLineSeries* Sequence = AddLine(QStringLiteral("Plain"), {3, 4, 5});
    auto* Own = new TLineSeries(&Chart);
    Chart.AddSeries(Own);
    Own->AddXY(10, 1);
    Own->AddXY(20, 2);
    Grid.SetChart(&Chart);
    // Text | Plain: Y | Own: X, Y
    ASSERT_EQ(Grid.model()->columnCount(), 4);
    EXPECT_FALSE(Grid.ShowsXColumn(0));
    EXPECT_TRUE(Grid.ShowsXColumn(1));
    EXPECT_EQ(HeaderText(1), Sequence->YValues()->Name());
    EXPECT_EQ(HeaderText(2), Own->XValues()->Name());
    EXPECT_EQ(Grid.model()->rowCount(), 3);
    EXPECT_EQ(Cell(1, 3), QStringLiteral("2"));
    EXPECT_EQ(Cell(2, 3), QString()); // beyond the series' points
    Grid.SetShowXValues(cgsYes);
    EXPECT_EQ(Grid.model()->columnCount(), 5);
    Grid.SetShowXValues(cgsNo);
    EXPECT_EQ(Grid.model()->columnCount(), 3);
}

TEST_F(DataGrid, ManySeriesKeepTheirOwnXFlags)
{
    for (int i = 0; i < 1003; ++i) {
        auto* Series = new TPointSeries(&Chart);
        Chart.AddSeries(Series);
        if (i == 1002)
            Series->AddXY(5, 1);
    }
    Grid.SetChart(&Chart);
    EXPECT_FALSE(Grid.ShowsXColumn(1001));
    EXPECT_TRUE(Grid.ShowsXColumn(1002));
}

TEST_F(DataGrid, ColorsThenTextColumns)
{
    TLineSeries* Series = AddLine(QStringLiteral("A"), {1, 2});
    Series->SetValueColor(1, clRed);
    Grid.SetShowColors(true);
    Grid.SetChart(&Chart);
    EXPECT_EQ(HeaderText(0), QStringLiteral("Colors"));
    EXPECT_EQ(HeaderText(1), QStringLiteral("Text"));
    EXPECT_GE(Grid.columnWidth(0), 40);
    EXPECT_EQ(Grid.verticalHeader()->width(), 30);
    EXPECT_EQ(Grid.model()->index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::red));
    // Enter on a colour cell opens the colour dialog.
    int Asked = 0;
    CommonDialogService().ExecuteColor = [&](TColorDialogRequest& Request) {
        ++Asked;
        Request.Color = clBlue;
        return true;
    };
    Grid.setCurrentIndex(Grid.model()->index(0, 0));
    int Changes = 0;
    Grid.OnChangeColor = [&] { ++Changes; };
    QTest::keyClick(&Grid, Qt::Key_Return);
    ResetCommonDialogService();
    EXPECT_EQ(Asked, 1);
    EXPECT_EQ(Series->GetValueColor(0), clBlue);
    EXPECT_EQ(Changes, 1);
}

TEST_F(DataGrid, TypedValuesReachTheChartAndStay)
{
    TLineSeries* Long = AddLine(QStringLiteral("Long"), {1, 2, 3, 4, 5, 6});
    TLineSeries* Short = AddLine(QStringLiteral("Short"), {7, 8});
    Grid.SetChart(&Chart);
    int SetTexts = 0;
    Grid.OnSetEditText = [&](int, int) { ++SetTexts; };
    const int Before = Chart.Invalidations;
    TypeInto(4, 2, QStringLiteral("42.5")); // three rows past Short's end
    ASSERT_EQ(Short->Count(), 5);
    EXPECT_TRUE(Short->IsNull(2));
    EXPECT_TRUE(Short->IsNull(3));
    EXPECT_FALSE(Short->IsNull(4));
    EXPECT_DOUBLE_EQ(Short->YValues()->Value(4), 42.5);
    EXPECT_GT(Chart.Invalidations, Before);
    EXPECT_TRUE(Short->ManualData());
    EXPECT_EQ(SetTexts, 1);
    TypeInto(0, 1, QStringLiteral("-3"));
    EXPECT_DOUBLE_EQ(Long->YValues()->Value(0), -3);
    // A label goes to every shown series.
    TypeInto(5, 0, QStringLiteral("last"));
    EXPECT_EQ(Long->Labels().GetLabel(5), QStringLiteral("last"));
    EXPECT_EQ(Short->Count(), 6);
    EXPECT_EQ(Short->Labels().GetLabel(5), QStringLiteral("last"));
    Grid.Relayout();
    EXPECT_EQ(Cell(4, 2), QStringLiteral("42.5"));
    EXPECT_EQ(Cell(0, 1), QStringLiteral("-3"));
    EXPECT_EQ(Cell(5, 0), QStringLiteral("last"));
}

TEST_F(DataGrid, EscapeAndBadTextStoreNothing)
{
    TLineSeries* Series = AddLine(QStringLiteral("A"), {1, 2});
    Grid.SetChart(&Chart);
    TypeInto(0, 1, QStringLiteral("99"), Qt::Key_Escape);
    EXPECT_DOUBLE_EQ(Series->YValues()->Value(0), 1);
    EXPECT_FALSE(EditorShowing());
    for (const QString& Bad : {QStringLiteral("abc"), QStringLiteral("-")}) {
        TypeInto(1, 1, Bad);
        EXPECT_TRUE(EditorShowing()) << Bad.toStdString(); // refused, still open
        EXPECT_DOUBLE_EQ(Series->YValues()->Value(1), 2);
        QTest::keyClick(OpenEditor(), Qt::Key_Escape);
    }
    TypeInto(1, 1, QString());
    EXPECT_FALSE(EditorShowing());
    EXPECT_DOUBLE_EQ(Series->YValues()->Value(1), 2);
    EXPECT_EQ(Series->Count(), 2);
}

TEST_F(DataGrid, EditingCellCanRefuseAndSourcedSeriesStayUntouched)
{
    TLineSeries* Series = AddLine(QStringLiteral("A"), {1, 2});
    Grid.SetChart(&Chart);
    QList<QPoint> Asked;
    Grid.OnEditingCell = [&](int Column, int Row, bool& Allow) {
        Asked.append({Column, Row});
        Allow = Row != 1;
    };
    Grid.setCurrentIndex(Grid.model()->index(1, 1));
    QTest::keyClick(&Grid, Qt::Key_F2);
    EXPECT_FALSE(EditorShowing());
    EXPECT_EQ(Asked, (QList<QPoint>{{1, 1}}));
    TypeInto(0, 1, QStringLiteral("5"));
    EXPECT_DOUBLE_EQ(Series->YValues()->Value(0), 5);

    Grid.OnEditingCell = nullptr;
    TLineSeries* Source = AddLine(QStringLiteral("Source"), {4});
    Series->SetDataSource(Source);
    Grid.setCurrentIndex(Grid.model()->index(0, 1));
    Grid.EditCurrent(); // the navigator's Edit: not on a series fed by a source
    EXPECT_FALSE(EditorShowing());
    Grid.SetEditSourcedSeries(true);
    Grid.EditCurrent();
    EXPECT_TRUE(EditorShowing());
}

TEST_F(DataGrid, DateTimeCellsShowAndReadDates)
{
    TLineSeries* Series = AddLine(QStringLiteral("Days"), {});
    Series->XValues()->SetDateTime(true);
    Series->AddXY(45000.5, 1); // 15 March 2023, noon
    Series->AddXY(45001, 2);
    Grid.SetChart(&Chart);
    ASSERT_TRUE(Grid.ShowsXColumn(0));
    EXPECT_TRUE(Cell(0, 1).contains(QStringLiteral("2023"))) << Cell(0, 1).toStdString();
    TypeInto(1, 1, QStringLiteral("2023-03-20 06:00"));
    EXPECT_DOUBLE_EQ(Series->XValues()->Value(1), 45005.25);
    // Before day 0 the fraction is still the time of the typed day.
    TypeInto(1, 1, QStringLiteral("1899-12-29 06:00"));
    EXPECT_DOUBLE_EQ(Series->XValues()->Value(1), -1.25);
}

// Return on an unchanged value cell stored the shown text: 12.5 shown with
// "0" became 13, and in German 1.125 shown as "1.125" became 1125.
TEST_F(DataGrid, AnUnchangedEditStoresNothingAndAChangedOneIsReadInTheShownLocale)
{
    test::TDefaultLocale German(test::GermanLocale());
    TLineSeries* Series = AddLine(QStringLiteral("A"), {12.5, 1.125, 1234.5});
    Series->SetValueFormat(QStringLiteral("0"));
    Grid.SetChart(&Chart);
    int Stored = 0;
    Grid.OnSetEditText = [&Stored](int, int) { ++Stored; };
    EXPECT_EQ(Cell(0, 1), QStringLiteral("13"));
    Series->SetValueFormat(QStringLiteral("#,##0.###"));
    EXPECT_EQ(Cell(1, 1), QStringLiteral("1,125"));
    EXPECT_EQ(Cell(2, 1), QStringLiteral("1.234,5"));
    Series->SetValueFormat(QStringLiteral("0"));
    for (int Row : {0, 1, 2}) {
        Grid.setFocus();
        Grid.setCurrentIndex(Grid.model()->index(Row, 1));
        QTest::keyClick(&Grid, Qt::Key_F2);
        ASSERT_TRUE(EditorShowing());
        QTest::keyClick(OpenEditor(), Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_FALSE(EditorShowing());
    }
    EXPECT_EQ(Series->YValues()->Value(0), 12.5);
    EXPECT_EQ(Series->YValues()->Value(1), 1.125);
    EXPECT_EQ(Series->YValues()->Value(2), 1234.5);
    EXPECT_EQ(Stored, 0);
    TypeInto(0, 1, QStringLiteral("0,125"));
    EXPECT_EQ(Series->YValues()->Value(0), 0.125); // full precision, not the shown "0"
    TypeInto(1, 1, QStringLiteral("-0,001"));
    EXPECT_EQ(Series->YValues()->Value(1), -0.001);
    TypeInto(2, 1, QStringLiteral("1.250,75"));
    EXPECT_EQ(Series->YValues()->Value(2), 1250.75);
    EXPECT_EQ(Stored, 3);
}

// Every text a value cell shows reads back, in each locale: formatted
// numbers with their grouping, dates with their seconds, dates before
// 30/12/1899 with their date, values no date can show as numbers.
TEST_F(DataGrid, EveryShownTextReadsBack)
{
    TLineSeries* Numbers = AddLine(QStringLiteral("Numbers"), {0, 1.125, -0.001, 1234567.5, -98765.25});
    TLineSeries* Dates = AddLine(QStringLiteral("Dates"), {});
    Dates->XValues()->SetDateTime(true);
    const double Days[] = {-1.25, -0.25, 0.5 + 0.25 / 86400, 45000.5 + 1.0 / 86400, 3e6}; // X in order
    for (double Day : Days)
        Dates->AddXY(Day, 1);
    Grid.SetChart(&Chart);
    // Text | Numbers: Y | Dates: X, Y
    ASSERT_TRUE(Grid.ShowsXColumn(1));
    TChartGridModel& Model = Grid.GridModel();
    for (const QLocale* Locale : {&test::GermanLocale(), &test::FrenchLocale(), &test::DutchLocale(),
                                  &test::RussianLocale(), &test::EnglishLocale()}) {
        test::TDefaultLocale User(*Locale);
        for (int Row = 0; Row < Numbers->Count(); ++Row) {
            const double Value = Numbers->YValues()->Value(Row);
            const QString Shown = Model.CellText(Row, 1);
            ASSERT_TRUE(Model.StoreText(Row, 1, Shown)) << Locale->name().toStdString() << " " << Shown.toStdString();
            EXPECT_EQ(Numbers->YValues()->Value(Row), Value) << Locale->name().toStdString() << " " << Shown.toStdString();
        }
    }
    EXPECT_EQ(Model.CellText(0, 2), QStringLiteral("29/12/1899 06:00:00"));
    EXPECT_EQ(Model.CellText(1, 2), QStringLiteral("-0.25")); // 30/12/1899 06:00 is 0.25
    EXPECT_EQ(Model.CellText(2, 2), QStringLiteral("12:00:00.250"));
    EXPECT_EQ(Model.CellText(3, 2), QStringLiteral("15/03/2023 12:00:01"));
    EXPECT_EQ(Model.CellText(4, 2), QStringLiteral("3000000"));
    for (int Row = 0; Row < Dates->Count(); ++Row) {
        ASSERT_TRUE(Model.StoreText(Row, 2, Model.CellText(Row, 2))) << Row;
        EXPECT_NEAR(Dates->XValues()->Value(Row), Days[Row], 1e-9) << Row;
    }
    // Return on an unchanged date cell closes it and keeps the value.
    Grid.setFocus();
    Grid.setCurrentIndex(Grid.model()->index(0, 2));
    QTest::keyClick(&Grid, Qt::Key_F2);
    ASSERT_TRUE(EditorShowing());
    QTest::keyClick(OpenEditor(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_FALSE(EditorShowing());
    EXPECT_EQ(Dates->XValues()->Value(0), -1.25);
    TypeInto(0, 2, QStringLiteral("28/12/1899 18:30:15"));
    EXPECT_DOUBLE_EQ(Dates->XValues()->Value(0), -2 - (18 * 3600 + 30 * 60 + 15) / 86400.0);
}

// A format whose text the cell could not read back (words, or a value
// rounded past the largest number) showed a text Return refused.
TEST_F(DataGrid, AFormattedTextThatReadsAsNoNumberShowsThePlainNumber)
{
    TLineSeries* Series = AddLine(QStringLiteral("A"), {12.5, std::numeric_limits<double>::max()});
    Grid.SetChart(&Chart);
    Series->SetValueFormat(QStringLiteral("0.0 m"));
    EXPECT_EQ(Cell(0, 1), QStringLiteral("12.5"));
    Series->SetValueFormat(QStringLiteral("0.00E+00"));
    EXPECT_EQ(Cell(0, 1), QStringLiteral("1.25E+01"));
    EXPECT_EQ(Cell(1, 1), NumberText(std::numeric_limits<double>::max())); // not "1.80E+308"
    TChartGridModel& Model = Grid.GridModel();
    ASSERT_TRUE(Model.StoreText(1, 1, Cell(1, 1)));
    EXPECT_EQ(Series->YValues()->Value(1), std::numeric_limits<double>::max());
}

TEST_F(DataGrid, DownOnTheLastRowAppendsAndUpTakesItBack)
{
    TLineSeries* Series = AddLine(QStringLiteral("A"), {1, 2});
    Grid.SetChart(&Chart);
    Grid.setFocus();
    Grid.setCurrentIndex(Grid.model()->index(1, 1));
    QTest::keyClick(&Grid, Qt::Key_Down);
    EXPECT_EQ(Series->Count(), 3);
    EXPECT_TRUE(Series->IsNull(2));
    EXPECT_EQ(Grid.model()->rowCount(), 3);
    EXPECT_EQ(Grid.currentIndex().row(), 2);
    QTest::keyClick(&Grid, Qt::Key_Up);
    EXPECT_EQ(Series->Count(), 2);
    EXPECT_EQ(Grid.model()->rowCount(), 2);
    EXPECT_EQ(Grid.currentIndex().row(), 1);
    // Up on a last row with a real point just moves up.
    QTest::keyClick(&Grid, Qt::Key_Up);
    EXPECT_EQ(Series->Count(), 2);
    EXPECT_EQ(Grid.currentIndex().row(), 0);
}

TEST_F(DataGrid, InsertAndDeleteActOnEveryShownSeries)
{
    TLineSeries* A = AddLine(QStringLiteral("A"), {1, 2});
    TLineSeries* B = AddLine(QStringLiteral("B"), {3});
    Grid.SetChart(&Chart);
    Grid.setFocus();
    QTest::keyClick(&Grid, Qt::Key_Insert);
    EXPECT_EQ(A->Count(), 3);
    EXPECT_EQ(B->Count(), 2);
    EXPECT_EQ(Grid.model()->rowCount(), 3);
    Grid.setCurrentIndex(Grid.model()->index(0, 1));
    QTest::keyClick(&Grid, Qt::Key_Delete);
    EXPECT_EQ(A->Count(), 2);
    EXPECT_EQ(B->Count(), 1);
    EXPECT_DOUBLE_EQ(A->YValues()->Value(0), 2);
    EXPECT_EQ(Grid.model()->rowCount(), 2);
}

TEST_F(DataGrid, SeriesEventsRelayTheGrid)
{
    TLineSeries* A = AddLine(QStringLiteral("A"), {1});
    Grid.SetSeries(A);
    EXPECT_EQ(Grid.model()->columnCount(), 2);
    AddLine(QStringLiteral("B"), {1, 2, 3}); // another series: not shown
    EXPECT_EQ(Grid.model()->columnCount(), 2);
    Grid.SetChart(&Chart);
    EXPECT_EQ(Grid.model()->columnCount(), 3);
    AddLine(QStringLiteral("C"), {1});
    EXPECT_EQ(Grid.model()->columnCount(), 4); // the add event re-laid it
    delete A; // the remove event re-lays the grid
    EXPECT_EQ(Grid.model()->columnCount(), 3);
    EXPECT_EQ(HeaderText(1), QStringLiteral("Y"));
}

TEST_F(DataGrid, ThreeDModeShowsYAtEachXAndZ)
{
    auto* Surface = new TSurfaceSeries(&Chart);
    Chart.AddSeries(Surface);
    for (int z = 0; z < 3; ++z)
        for (int x = 0; x < 4; ++x)
            if (!(x == 3 && z == 2))
                Surface->AddXYZ(x, x * 10 + z, z + 1);
    Grid.SetChart(&Chart);
    Grid.SetGrid3DMode(true);
    EXPECT_FALSE(Grid.ShowLabels());
    EXPECT_EQ(Grid.model()->columnCount(), 4);
    EXPECT_EQ(Grid.model()->rowCount(), 3);
    EXPECT_EQ(Grid.model()->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("1"));
    EXPECT_EQ(Cell(1, 2), QStringLiteral("21"));
    EXPECT_EQ(Cell(2, 3), QString()); // no point at (3, 3)
    TypeInto(1, 2, QStringLiteral("7"));
    EXPECT_DOUBLE_EQ(Surface->YValues()->Value(Grid.GridModel().PointAt3D(1, 2)), 7);
    EXPECT_EQ(Grid.model()->rowCount(), 3);
    EXPECT_EQ(HeaderText(3), QStringLiteral("3")); // the columns' X values
    const int Count = Surface->Count();
    Grid.setCurrentIndex(Grid.model()->index(2, 0));
    QTest::keyClick(&Grid, Qt::Key_Down); // no appending in 3-D mode
    EXPECT_EQ(Surface->Count(), Count);
    test::SaveScreenshot(Grid, QStringLiteral("grid-3d"));
}

TEST_F(DataGrid, NavigatorStepsAndEnables)
{
    AddLine(QStringLiteral("A"), {1, 2, 3});
    Grid.SetChart(&Chart);
    TChartGridNavigator Bar;
    Bar.SetGrid(&Grid);
    Bar.show();
    Grid.setCurrentIndex(Grid.model()->index(0, 1));
    EXPECT_FALSE(Bar.Button(nbFirst)->isEnabled());
    EXPECT_TRUE(Bar.Button(nbNext)->isEnabled());
    EXPECT_TRUE(Bar.Button(nbInsert)->isEnabled());
    EXPECT_TRUE(Bar.Button(nbDelete)->isEnabled());
    EXPECT_FALSE(Bar.Button(nbPost)->isEnabled());
    QTest::mouseClick(Bar.Button(nbLast), Qt::LeftButton);
    EXPECT_EQ(Grid.currentIndex().row(), 2);
    EXPECT_FALSE(Bar.Button(nbNext)->isEnabled());
    QTest::mouseClick(Bar.Button(nbPrior), Qt::LeftButton);
    EXPECT_EQ(Grid.currentIndex().row(), 1);
    QTest::mouseClick(Bar.Button(nbEdit), Qt::LeftButton);
    ASSERT_TRUE(EditorShowing());
    EXPECT_TRUE(Bar.Button(nbPost)->isEnabled());
    OpenEditor()->setText(QStringLiteral("8"));
    QTest::mouseClick(Bar.Button(nbPost), Qt::LeftButton);
    EXPECT_FALSE(EditorShowing());
    EXPECT_EQ(Cell(1, 1), QStringLiteral("8"));
    QTest::mouseClick(Bar.Button(nbFirst), Qt::LeftButton);
    EXPECT_EQ(Grid.currentIndex().row(), 0);
    TChartGrid Alone;
    Bar.SetGrid(&Alone);
    EXPECT_FALSE(Bar.Button(nbInsert)->isEnabled());
}

TEST_F(DataGrid, Screenshot)
{
    AddLine(QStringLiteral("Depth"), {12, 15.5, 14, 18});
    TLineSeries* B = AddLine(QStringLiteral("Velocity"), {2.1, 2.4});
    B->Labels().SetLabel(0, QStringLiteral("top"));
    Grid.SetShowColors(true);
    Grid.SetChart(&Chart);
    const QImage Shot = test::SaveScreenshot(Grid, QStringLiteral("grid"));
    EXPECT_FALSE(Shot.isNull());
}

} // namespace
} // namespace lp
