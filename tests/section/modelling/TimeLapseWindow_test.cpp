// Modelling > Time-lapse... as a user meets it: the surveys of a growing
// conductive plume added, ordered and dated in the list, Invert all run in
// the background, the steps stepped through (the baseline's resistivity,
// then the change on one diverging scale), a cell clicked and plotted
// against time, the images saved and laid under the section, a run stopped
// keeping the steps it finished, the keys and the window's fit on a small
// screen.

#include "section/modelling/TimeLapseWindow.h"

#include "section/inversion/TimeLapseReport.h"

#include "DialogTestUtil.h"
#include "tests/section/modelling/ModellingWindowDriving.h"
#include "tests/section/inversion/PlumeSeries.h"
#include "tests/section/main/MainWindowFixture.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotExport.h"
#include "chart/export/PlotExportForm.h"
#include "platform/core/SafeSave.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Registry.h"
#include "section/modelling/BackgroundThreads.h"
#include "section/views/Section2D.h"

#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtWidgets/QDoubleSpinBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QTableWidget>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTableWidget>

#include <cmath>
#include <future>

namespace lp::test {
namespace {

struct TimeLapseWindowTest : MainWindow {
    TTimeLapseWindow* Lapse = nullptr;
    QStringList Files; // the series' files, survey K in Files[K]

    void TearDown() override
    {
        MainWindow::TearDown();
        TBackgroundThreads::Program().JoinAll();
    }

    // The example open, the series written as data files, Modelling >
    // Time-lapse... chosen from the menu bar.
    void Open()
    {
        Start({Section});
        const std::vector<TMeasuredData>& surveys = PlumeSeries().Surveys;
        for (size_t t = 0; t < surveys.size(); ++t) {
            const QString file = Folder.filePath(QStringLiteral("plume-%1.dat").arg(t));
            QString error;
            ASSERT_TRUE(SaveBytesAtomically(file, QByteArray::fromStdString(FormatMeasuredData(surveys[t], 0.02)), error))
                << error.toStdString();
            Files.append(file);
        }
        ChooseFromMenuBar(Window->Timelapse1);
        QTRY_VERIFY_WITH_TIMEOUT(Window->TimeLapseWindow && Window->TimeLapseWindow->isVisible(), 5000);
        Lapse = Window->TimeLapseWindow;
        // The window the menu command opened has the keyboard.
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Lapse, 5000);
    }
    // Alt+Key in the window, pressed and released as the keyboard does.
    void AltKey(Qt::Key Key) { PressAltKey(*Lapse, Key); }
    // Add... (Alt+A) with File chosen in the open dialog.
    void AddByKey(const QString& File)
    {
        CommonDialogService().ExecuteOpen = [File](TOpenDialogRequest& Request) {
            Request.FileName = File;
            return true;
        };
        AltKey(Qt::Key_A);
        ResetCommonDialogService();
    }
    // The series listed in time order and its iterations typed.
    void AddSeries(int Iterations)
    {
        for (const QString& file : Files)
            ASSERT_NO_FATAL_FAILURE(AddByKey(file));
        ASSERT_EQ(Lapse->SurveyFiles().join(QLatin1Char('|')).toStdString(), Files.join(QLatin1Char('|')).toStdString());
        Lapse->IterationsBox->setFocus();
        QTest::keyClick(Lapse->IterationsBox, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(Lapse->IterationsBox, QString::number(Iterations));
        ASSERT_EQ(Lapse->IterationsBox->value(), Iterations);
    }
    // A click on the list's row Row, as the user picks a survey.
    void ClickRow(int Row)
    {
        const QRect cell = Lapse->SurveyTable->visualItemRect(Lapse->SurveyTable->item(Row, 0));
        QTest::mouseClick(Lapse->SurveyTable->viewport(), Qt::LeftButton, {}, cell.center());
        ASSERT_EQ(Lapse->SurveyTable->currentRow(), Row);
    }
    void InvertAll()
    {
        AltKey(Qt::Key_I);
        ASSERT_TRUE(Lapse->Busy()) << Lapse->ErrorText().toStdString();
    }
    void WaitForEnd() { QTRY_VERIFY_WITH_TIMEOUT(!Lapse->Busy(), 300000); }
    // Alt+G to the change error, its text replaced by Text as typed.
    void TypeChangeError(const QString& Text)
    {
        AltKey(Qt::Key_G);
        QDoubleSpinBox* box = Lapse->ChangeErrorBox;
        ASSERT_EQ(QApplication::focusWidget(), box);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, Text);
    }
};

// The cell (mesh order) whose centre lies inside the first plume (and so
// inside every later one), nearest its middle.
int PlumeCell(const TInversionMesh& Mesh)
{
    const TRectangle& plume = PlumeSeries().Plumes.at(1);
    const double x = 0.5 * (plume.X1 + plume.X2), depth = 0.5 * (plume.Top + plume.Bottom);
    int best = -1;
    double nearest = 1e9;
    for (int cell = 0; cell < Mesh.Cells(); ++cell) {
        const TGeometryPoint centre = CellCentre(Mesh, cell);
        const double distance = std::hypot(centre.x - x, -centre.y - depth);
        if (plume.Inside(centre.x, -centre.y) && distance < nearest) {
            nearest = distance;
            best = cell;
        }
    }
    return best;
}

// The control pixel of the centre of cell (C, R) as the chart draws it.
QPoint ImageCellPixel(TTModelSection2d& Chart, int C, int R)
{
    const double x = 0.5 * (Chart.ColBounds[C] + Chart.ColBounds[C + 1]);
    const double z = 0.5 * (Chart.RowBounds[R] + Chart.RowBounds[R + 1]) + Chart.ReliefShiftAt(C, x);
    const TRect area = Chart.CellArea();
    return {area.Left + Chart.XToCellPixel(x), area.Top + Chart.ZToCellPixel(z)};
}

// The list as the user edits it: surveys added out of order and put in
// time order with Up and Down, an unreadable file refused by name, a
// survey removed, a date typed; then Invert all: a misfit row per survey,
// the steps stepped through with Next, Previous and the slider, the
// change drawn on one scale centred on 0 for every step, the plume's cell
// growing more conductive step by step; a click on that cell plots one
// point per survey.
TEST_F(TimeLapseWindowTest, TheSeriesIsListedInvertedAndSteppedThrough)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_FALSE(Lapse->InvertButton->isEnabled());
    // Added as 0, 2, 1, 3, and 0 once more.
    for (int k : {0, 2, 1, 3, 0})
        ASSERT_NO_FATAL_FAILURE(AddByKey(Files[k]));
    // A file that is no data: refused, named, not listed.
    const QString junk = Folder.filePath(QStringLiteral("junk.dat"));
    QString error;
    ASSERT_TRUE(SaveBytesAtomically(junk, "no data here\n", error));
    Messages.clear();
    ASSERT_NO_FATAL_FAILURE(AddByKey(junk));
    EXPECT_EQ(Lapse->SurveyCount(), 5);
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages.front().contains(QStringLiteral("junk.dat"))) << Messages.front().toStdString();
    // The repeated baseline removed (Alt+R on the last row, selected).
    ASSERT_EQ(Lapse->SurveyTable->currentRow(), 4);
    AltKey(Qt::Key_R);
    // Survey 2 (row 1, clicked) moved down with Alt+W: 0, 1, 2, 3.
    ClickRow(1);
    AltKey(Qt::Key_W);
    EXPECT_EQ(Lapse->SurveyFiles().join(QLatin1Char('|')).toStdString(), Files.join(QLatin1Char('|')).toStdString());
    EXPECT_EQ(Lapse->SurveyTable->currentRow(), 2);
    EXPECT_FALSE(Lapse->UpButton->isEnabled() && Lapse->SurveyTable->currentRow() == 0);
    // Up (Alt+P) and back down: the same order.
    AltKey(Qt::Key_P);
    EXPECT_EQ(Lapse->SurveyTable->currentRow(), 1);
    EXPECT_EQ(QFileInfo(Lapse->SurveyFiles().at(1)).fileName(), QStringLiteral("plume-2.dat"));
    AltKey(Qt::Key_W);
    EXPECT_EQ(Lapse->SurveyFiles().join(QLatin1Char('|')).toStdString(), Files.join(QLatin1Char('|')).toStdString());
    // The first row cannot go up, the last not down.
    ClickRow(0);
    EXPECT_FALSE(Lapse->UpButton->isEnabled());
    ClickRow(3);
    EXPECT_FALSE(Lapse->DownButton->isEnabled());
    // A date typed into the last survey's row: F2 opens its field, Return
    // puts the text in.
    const QRect date = Lapse->SurveyTable->visualItemRect(Lapse->SurveyTable->item(3, 1));
    QTest::mouseClick(Lapse->SurveyTable->viewport(), Qt::LeftButton, {}, date.center());
    QTest::keyClick(Lapse->SurveyTable, Qt::Key_F2);
    QLineEdit* field = nullptr;
    for (QLineEdit* open : Lapse->SurveyTable->viewport()->findChildren<QLineEdit*>())
        field = open->isVisible() ? open : field;
    ASSERT_NE(field, nullptr);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, QStringLiteral("2026-05-04"));
    // The view may delete the field when it closes it.
    const QPointer<QLineEdit> open(field);
    QTest::keyClick(field, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!open || !open->isVisible(), 2000);
    EXPECT_EQ(Lapse->SurveyTable->item(3, 1)->text(), QStringLiteral("2026-05-04"));
    EXPECT_EQ(Lapse->SurveyTable->item(3, 0)->text(), QStringLiteral("plume-3.dat"));

    Lapse->IterationsBox->setFocus();
    QTest::keyClick(Lapse->IterationsBox, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Lapse->IterationsBox, QStringLiteral("4"));
    ASSERT_NO_FATAL_FAILURE(InvertAll());
    EXPECT_FALSE(Lapse->AddButton->isEnabled());
    WaitForEnd();
    ASSERT_TRUE(Lapse->ErrorText().isEmpty()) << Lapse->ErrorText().toStdString();
    ASSERT_EQ(Lapse->StepsDone(), 4);
    EXPECT_FALSE(Lapse->Stopped());
    // A misfit row per survey: χ² (a later survey's of its change), rrms
    // and the share of the well-covered cells changed.
    ASSERT_EQ(Lapse->MisfitTable->rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        const TTimeLapseStep* step = row == 0 ? nullptr : &Lapse->Result()->Steps.at(static_cast<size_t>(row - 1));
        const TSurveyInversion& inversion = step ? step->Inversion : Lapse->Result()->Baseline;
        EXPECT_EQ(Lapse->MisfitTable->item(row, 1)->text(),
                  ShortNumber(step ? step->ChangeChiSquare : inversion.Steps.back().ChiSquare));
        EXPECT_EQ(Lapse->MisfitTable->item(row, 2)->text(), ShortNumber(inversion.Steps.back().Rrms));
        EXPECT_EQ(Lapse->MisfitTable->item(row, 3)->text(), step ? ShortNumber(step->ChangedShare) : QStringLiteral("–"));
    }
    // The series' own steps in place of those formed as each ended (they
    // alone tell the data each step used, and the change's uncertainty).
    for (const TTimeLapseStep& step : Lapse->Result()->Steps)
        EXPECT_EQ(step.Used.size(), PlumeSeries().Surveys.front().Size());
    // The plume grows: more of the well-covered cells change step by step.
    EXPECT_GT(Lapse->Result()->Steps.at(0).ChangedShare, 0.0);
    EXPECT_GT(Lapse->Result()->Steps.at(2).ChangedShare, Lapse->Result()->Steps.at(0).ChangedShare);

    // The baseline first, on the resistivities' logarithmic scale.
    EXPECT_EQ(Lapse->StepShown(), 0);
    TTModelSection2d& chart = *Lapse->ImageChart;
    EXPECT_EQ(chart.ScaleMode, 1);
    EXPECT_LT(chart.ScaleMin, 100.0);
    EXPECT_GT(chart.ScaleMax, 100.0);
    EXPECT_FALSE(Lapse->PreviousButton->isEnabled());
    // Alt+N to survey 1, 2, 3: the change, one scale centred on 0 for all.
    const int cell = PlumeCell(Lapse->Mesh());
    ASSERT_GE(cell, 0);
    const int columns = Lapse->Mesh().Columns();
    for (int step = 1; step <= 3; ++step) {
        AltKey(Qt::Key_N);
        ASSERT_EQ(Lapse->StepShown(), step);
        EXPECT_EQ(Lapse->StepSlider->value(), step);
        EXPECT_EQ(chart.ScaleMode, 0);
        EXPECT_DOUBLE_EQ(chart.ScaleMin, -Lapse->ChangeLimit());
        EXPECT_DOUBLE_EQ(chart.ScaleMax, Lapse->ChangeLimit());
        // The cell drawn holds the step's change: the plume (50, 30, 20
        // ohm-m in 100) more conductive than the baseline.
        const double change = chart.CellValue(cell % columns, cell / columns);
        EXPECT_DOUBLE_EQ(change, Lapse->Result()->Steps.at(static_cast<size_t>(step - 1)).ChangePercent.at(static_cast<size_t>(cell)));
        EXPECT_LT(change, -20.0) << "step " << step;
        // A fall is drawn bluer than a rise, 0 white.
        EXPECT_EQ(chart.ValueToColor(0.0), static_cast<TColor>(0xFFFFFF));
        // Under the image, the step's χ² of the change and changed share.
        const TTimeLapseStep& shown = Lapse->Result()->Steps.at(static_cast<size_t>(step - 1));
        EXPECT_EQ(Lapse->ChangeLabel->text(),
                  QStringLiteral("Survey %1: χ² of the change %2; %3 % of the well-covered cells changed beyond ±5 %.")
                      .arg(step)
                      .arg(ShortNumber(shown.ChangeChiSquare), ShortNumber(shown.ChangedShare)));
    }
    EXPECT_GT(Lapse->ChangeLimit(), 20.0);
    EXPECT_LT(Lapse->ChangeLimit(), 150.0);
    EXPECT_TRUE(Lapse->StepLabel->text().contains(QStringLiteral("2026-05-04")));
    EXPECT_FALSE(Lapse->NextButton->isEnabled());
    // Alt+V back to survey 2; the slider (a key on it) to survey 1.
    AltKey(Qt::Key_V);
    EXPECT_EQ(Lapse->StepShown(), 2);
    Lapse->StepSlider->setFocus();
    QTest::keyClick(Lapse->StepSlider, Qt::Key_Left);
    EXPECT_EQ(Lapse->StepShown(), 1);

    // A click on the plume's cell: its change against time, a point per
    // survey (0 on the baseline), each the step's change there.
    QWidget* host = chart.Widget();
    const QPoint at = ImageCellPixel(chart, cell % columns, cell / columns);
    QTest::mousePress(host, Qt::LeftButton, {}, at);
    QTest::mouseRelease(host, Qt::LeftButton, {}, at);
    ASSERT_EQ(Lapse->CellPlotted(), cell);
    TLineSeries& series = *Lapse->TimeSeries;
    ASSERT_EQ(series.Count(), 4);
    EXPECT_EQ(series.YValues()->Value(0), 0.0);
    for (int k = 1; k < 4; ++k) {
        EXPECT_EQ(series.XValues()->Value(k), k);
        EXPECT_DOUBLE_EQ(series.YValues()->Value(k),
                         Lapse->Result()->Steps.at(static_cast<size_t>(k - 1)).ChangePercent.at(static_cast<size_t>(cell)));
    }
    // Bars where the method gives the change's uncertainty, else said so.
    const bool uncertain = !Lapse->Result()->Steps.front().ChangeUncertainty.empty();
    EXPECT_EQ(Lapse->UncertaintySeries->Count() > 0, uncertain);
    EXPECT_EQ(Lapse->UncertaintyLabel->text().startsWith(QStringLiteral("No uncertainty from this method")), !uncertain)
        << Lapse->UncertaintyLabel->text().toStdString();
    // On the baseline a click plots the resistivity: near 100 ohm-m first,
    // then falling.
    Lapse->StepSlider->setValue(0);
    EXPECT_EQ(Lapse->StepShown(), 0);
    QTest::mousePress(host, Qt::LeftButton, {}, at);
    QTest::mouseRelease(host, Qt::LeftButton, {}, at);
    ASSERT_EQ(series.Count(), 4);
    EXPECT_NEAR(series.YValues()->Value(0), 100.0, 15.0);
    EXPECT_LT(series.YValues()->Value(3), series.YValues()->Value(0) * 0.8);
}

// Save images (Alt+M) writes one cell table per survey as --timelapse
// does, through the save dialog; Use as underlay (Alt+U) lays the step
// shown under the section on the cells' frame.
TEST_F(TimeLapseWindowTest, TheImagesAreSavedAndLaidUnderTheSection)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(AddSeries(2));
    EXPECT_FALSE(Lapse->SaveImagesButton->isEnabled());
    // The series run with a change error of 4 % typed in.
    ASSERT_NO_FATAL_FAILURE(TypeChangeError(QStringLiteral("4")));
    ASSERT_NO_FATAL_FAILURE(InvertAll());
    // Invert all keeps it, its editing not ended.
    EXPECT_EQ(TTimeLapseWindow(nullptr).ChangeErrorBox->value(), 4.0);
    WaitForEnd();
    ASSERT_EQ(Lapse->StepsDone(), 4);
    const QString chosen = Folder.filePath(QStringLiteral("series.csv"));
    CommonDialogService().ExecuteSave = [&](TSaveDialogRequest& Request) {
        Request.FileName = chosen;
        return true;
    };
    AltKey(Qt::Key_M);
    ResetCommonDialogService();
    const TTimeLapseInversion& result = *Lapse->Result();
    EXPECT_EQ(FileBytes(Folder.filePath(QStringLiteral("series-0.csv"))).toStdString(),
              FormatBaselineTable(Lapse->Mesh(), result.Baseline));
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(FileBytes(Folder.filePath(QStringLiteral("series-%1.csv").arg(k))).toStdString(),
                  FormatStepTable(Lapse->Mesh(), result.Steps.at(static_cast<size_t>(k - 1))));
    EXPECT_FALSE(QFileInfo::exists(chosen));

    // The last step laid under the section: its corners on the cells' frame.
    Lapse->StepSlider->setValue(3);
    AltKey(Qt::Key_U);
    const TGraphic* graphic = Window->ChartTool1->Picture()->Graphic();
    ASSERT_NE(graphic, nullptr);
    const TInversionMesh& mesh = Lapse->Mesh();
    EXPECT_DOUBLE_EQ(Window->PictureCorners[0], mesh.ColumnEdges.front());
    EXPECT_DOUBLE_EQ(Window->PictureCorners[2], mesh.ColumnEdges.back());
    EXPECT_DOUBLE_EQ(Window->PictureCorners[3], -mesh.Bottom);

    // Save chart... (Alt+H) after a click on a cell: the program's picture
    // export, of the cell's chart.
    EXPECT_FALSE(Lapse->SaveChartButton->isEnabled());
    ASSERT_TRUE(Lapse->PlotCell(PlumeCell(mesh)));
    // The mnemonic clicks a moment later.
    EXPECT_EQ(ExportedChart([this] { QTest::keyClick(Lapse, Qt::Key_H, Qt::AltModifier); }), Lapse->TimeChart);
}

// The change error as the user sets it: Alt+G to its field, "derived"
// (0) until a number is typed; the number typed, stepped by the arrow
// keys or typed back to 0 is what Invert all runs with.
TEST_F(TimeLapseWindowTest, TheChangeErrorTypedIsTheRunsOption)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    QDoubleSpinBox* box = Lapse->ChangeErrorBox;
    EXPECT_EQ(box->text(), QStringLiteral("derived"));
    ASSERT_TRUE(Lapse->RunOptions().has_value());
    EXPECT_EQ(Lapse->RunOptions()->ChangeErrorPercent, 0.0);
    ASSERT_NO_FATAL_FAILURE(TypeChangeError(QLocale().toString(2.5, 'f', 1)));
    EXPECT_EQ(Lapse->RunOptions()->ChangeErrorPercent, 2.5);
    // Letters are not taken; the number stays.
    QTest::keyClicks(box, QStringLiteral("x%"));
    EXPECT_EQ(Lapse->RunOptions()->ChangeErrorPercent, 2.5);
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(Lapse->RunOptions()->ChangeErrorPercent, 3.0);
    // Back to 0: derived again.
    ASSERT_NO_FATAL_FAILURE(TypeChangeError(QStringLiteral("0")));
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(box->text(), QStringLiteral("derived"));
    EXPECT_EQ(Lapse->RunOptions()->ChangeErrorPercent, 0.0);
    // Kept when its editing ends: a window opened later starts with it.
    ASSERT_NO_FATAL_FAILURE(TypeChangeError(QLocale().toString(1.5, 'f', 1)));
    QTest::keyClick(box, Qt::Key_Tab);
    {
        TTimeLapseWindow later(nullptr);
        EXPECT_EQ(later.ChangeErrorBox->value(), 1.5);
        EXPECT_EQ(later.RunOptions()->ChangeErrorPercent, 1.5);
    }
    // Beyond its range: the largest it takes.
    ASSERT_NO_FATAL_FAILURE(TypeChangeError(QStringLiteral("75")));
    EXPECT_LE(Lapse->RunOptions()->ChangeErrorPercent, 50.0);
    EXPECT_GT(Lapse->RunOptions()->ChangeErrorPercent, 0.0);
    // Derived kept as derived; a kept text that is no number in range
    // (a settings file edited by hand) starts derived too.
    ASSERT_NO_FATAL_FAILURE(TypeChangeError(QStringLiteral("0")));
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(TTimeLapseWindow(nullptr).ChangeErrorBox->text(), QStringLiteral("derived"));
    for (const QString kept : {QStringLiteral("abc"), QStringLiteral("nan"), QStringLiteral("-3"), QStringLiteral("500")}) {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(QStringLiteral("Software\\Lithoprism\\TimeLapse"), true));
        registry.WriteString(QStringLiteral("ChangeError"), kept);
        registry.CloseKey();
        EXPECT_EQ(TTimeLapseWindow(nullptr).ChangeErrorBox->value(), 0.0) << kept.toStdString();
    }
    // The other options read with it.
    EXPECT_EQ(Lapse->RunOptions()->Settings.Iterations, Lapse->IterationsBox->value());
    Lapse->ErrorEdit->setText(QStringLiteral("0"));
    EXPECT_FALSE(Lapse->RunOptions().has_value());
    EXPECT_TRUE(Lapse->StateLabel->text().startsWith(QStringLiteral("The error must be"))) << Lapse->StateLabel->text().toStdString();
}

// A series of six cells by hand: the baseline at 100 ohm-m, survey 1 at
// 90 without the change's uncertainty, survey 2 at 70 with ± 4 % per cell.
struct THandSeries {
    TInversionMesh Mesh;
    TTimeLapseInversion Result;
    THandSeries()
    {
        Mesh.ColumnEdges = {0.0, 2.0, 4.0, 6.0};
        Mesh.Elevations = {0.0, 0.0, 0.0, 0.0};
        Mesh.RowDepths = {0.0, 1.0, 2.0};
        Mesh.Bottom = -4.0;
        const auto image = [](double Resistivity, double ChiSquare, double Rrms) {
            TSurveyInversion inversion;
            inversion.Resistivities.assign(6, Resistivity);
            inversion.Coverage = {1.0, 0.9, 0.8, 0.4, 0.3, 0.2};
            inversion.Steps = {{0, 9.0, 12.0, 20.0, 0.0}, {1, ChiSquare, Rrms, 20.0, 0.0}};
            return inversion;
        };
        Result.Baseline = image(100.0, 1.125, 2.5);
        for (const auto& [resistivity, chiSquare, share] : {std::tuple{90.0, 1.25, 37.5}, {70.0, 0.875, 62.5}}) {
            TTimeLapseStep step;
            step.Inversion = image(resistivity, chiSquare, 3.0);
            step.ChangePercent.assign(6, resistivity - 100.0);
            step.ChangeChiSquare = chiSquare;
            step.ChangedShare = share;
            Result.Steps.push_back(step);
        }
        Result.Steps[1].ChangeUncertainty.assign(6, 4.0);
    }
};

// Whether the time chart, drawn, holds the bars' orange near (X, Y) (chart values).
bool BarNear(TChart& Chart, TLineSeries& Bars, double X, double Y)
{
    Chart.Widget()->repaint();
    const QImage picture = Chart.Widget()->grab().toImage();
    const int px = Bars.CalcXPosValue(X), py = Bars.CalcYPosValue(Y);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            const QRgb rgb = picture.pixel(px + dx, py + dy);
            if (std::abs(qRed(rgb) - 0xE0) < 32 && std::abs(qGreen(rgb) - 0x90) < 32 && std::abs(qBlue(rgb) - 0x30) < 32)
                return true;
        }
    return false;
}

// A result shown as a run would show it: each survey's χ² (of the change)
// and changed share in the misfit table and under the image; a clicked
// cell's change against time with bars of ± one standard deviation where
// the step gives one, and plain words where it gives none.
TEST_F(TimeLapseWindowTest, EachStepsNumbersAndTheChangesUncertaintyAreShown)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    const THandSeries hand;
    Lapse->ShowResult(hand.Mesh, nullptr, hand.Result);
    ASSERT_EQ(Lapse->StepsDone(), 3);
    ASSERT_EQ(Lapse->MisfitTable->rowCount(), 3);
    const QStringList rows[] = {{"0", ShortNumber(1.125), ShortNumber(2.5), "–"},
                                {"1", ShortNumber(1.25), ShortNumber(3.0), ShortNumber(37.5)},
                                {"2", ShortNumber(0.875), ShortNumber(3.0), ShortNumber(62.5)}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(Lapse->MisfitTable->item(row, column)->text(), rows[row][column]) << row << ", " << column;
    EXPECT_EQ(Lapse->ChangeLabel->text(), QStringLiteral("The baseline: χ² %1, rrms %2 %.").arg(ShortNumber(1.125), ShortNumber(2.5)));
    AltKey(Qt::Key_N);
    ASSERT_EQ(Lapse->StepShown(), 1);
    EXPECT_EQ(Lapse->ChangeLabel->text(),
              QStringLiteral("Survey 1: χ² of the change %1; %2 % of the well-covered cells changed beyond ±5 %.")
                  .arg(ShortNumber(1.25), ShortNumber(37.5)));
    AltKey(Qt::Key_N);
    EXPECT_TRUE(Lapse->ChangeLabel->text().startsWith(QStringLiteral("Survey 2: χ² of the change %1; %2 %")
                                                          .arg(ShortNumber(0.875), ShortNumber(62.5))));

    // A click on the middle cell of the top row: -10 % then -30 %, the
    // second ± 4.
    TTModelSection2d& chart = *Lapse->ImageChart;
    QWidget* host = chart.Widget();
    const QPoint at = ImageCellPixel(chart, 1, 0);
    QTest::mousePress(host, Qt::LeftButton, {}, at);
    QTest::mouseRelease(host, Qt::LeftButton, {}, at);
    ASSERT_EQ(Lapse->CellPlotted(), 1);
    ASSERT_EQ(Lapse->TimeSeries->Count(), 3);
    EXPECT_DOUBLE_EQ(Lapse->TimeSeries->YValues()->Value(2), -30.0);
    // Survey 2's bar: the lower cap, the bar, the upper cap, each ended by a null point.
    TLineSeries& bars = *Lapse->UncertaintySeries;
    ASSERT_EQ(bars.Count(), 9);
    const double drawn[][2] = {{1.88, -34.0}, {2.12, -34.0}, {2.0, -34.0}, {2.0, -26.0}, {1.88, -26.0}, {2.12, -26.0}};
    for (int k = 0, point = 0; k < 9; ++k) {
        if (k % 3 == 2) {
            EXPECT_TRUE(bars.IsNull(k)) << k;
            continue;
        }
        EXPECT_FALSE(bars.IsNull(k)) << k;
        EXPECT_NEAR(bars.XValues()->Value(k), drawn[point][0], 1e-12) << k;
        EXPECT_DOUBLE_EQ(bars.YValues()->Value(k), drawn[point][1]) << k;
        ++point;
    }
    EXPECT_EQ(Lapse->UncertaintyLabel->text(),
              QStringLiteral("Bars: the change ± one standard deviation; no uncertainty from this method for survey 1."));
    SettleLayouts();
    EXPECT_TRUE(BarNear(*Lapse->TimeChart, bars, 2.0, -28.0));
    EXPECT_FALSE(BarNear(*Lapse->TimeChart, bars, 1.0, -8.0)); // survey 1: no bar
    // Back on the baseline the cell's resistivity: no bars, no words.
    Lapse->StepSlider->setValue(0);
    ASSERT_TRUE(Lapse->PlotCell(1));
    EXPECT_EQ(bars.Count(), 0);
    EXPECT_TRUE(Lapse->UncertaintyLabel->text().isEmpty());

    // No step with an uncertainty: said in plain words, nothing drawn.
    THandSeries none;
    none.Result.Steps[1].ChangeUncertainty.clear();
    Lapse->ShowResult(none.Mesh, nullptr, none.Result);
    ASSERT_TRUE(Lapse->ShowStep(2));
    ASSERT_TRUE(Lapse->PlotCell(1));
    EXPECT_EQ(bars.Count(), 0);
    EXPECT_EQ(Lapse->UncertaintyLabel->text(),
              QStringLiteral("No uncertainty from this method: the change is shown without bars."));
    EXPECT_FALSE(BarNear(*Lapse->TimeChart, bars, 2.0, -28.0));
    // Every step with one: bars at both.
    THandSeries both;
    both.Result.Steps[0].ChangeUncertainty.assign(6, 2.0);
    Lapse->ShowResult(both.Mesh, nullptr, both.Result);
    ASSERT_TRUE(Lapse->ShowStep(1));
    ASSERT_TRUE(Lapse->PlotCell(1));
    EXPECT_EQ(bars.Count(), 18);
    EXPECT_EQ(Lapse->UncertaintyLabel->text(), QStringLiteral("Bars: the change ± one standard deviation."));
    EXPECT_TRUE(BarNear(*Lapse->TimeChart, bars, 1.0, -9.0));
}

// A survey of another electrode layout (the line moved half a spacing):
// Invert all refuses the series naming that file, and nothing is shown.
TEST_F(TimeLapseWindowTest, ASurveyOfAnotherLayoutIsRefusedByName)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    TMeasuredData moved = PlumeSeries().Surveys.at(1);
    for (TElectrode& electrode : moved.Electrodes)
        electrode.x += 0.5;
    const QString file = Folder.filePath(QStringLiteral("moved.dat"));
    QString error;
    ASSERT_TRUE(SaveBytesAtomically(file, QByteArray::fromStdString(FormatMeasuredData(moved, 0.02)), error));
    ASSERT_NO_FATAL_FAILURE(AddByKey(Files[0]));
    ASSERT_NO_FATAL_FAILURE(AddByKey(file));
    // The refusal comes as soon as the run starts.
    AltKey(Qt::Key_I);
    WaitForEnd();
    EXPECT_TRUE(Lapse->ErrorText().contains(QStringLiteral("moved.dat"))) << Lapse->ErrorText().toStdString();
    EXPECT_EQ(Lapse->StateLabel->text(), Lapse->ErrorText());
    EXPECT_EQ(Lapse->StepsDone(), 0);
    EXPECT_FALSE(Lapse->SaveImagesButton->isEnabled());
    EXPECT_FALSE(Lapse->UnderlayButton->isEnabled());
}

// A file the readers refuse, at 800 x 600: its message (many lines of
// reasons) comes in a message box naming the file; the state line and the
// survey list's rows stay as they were, the list at least three rows high.
TEST_F(TimeLapseWindowTest, ARefusedFilesMessageGoesToAMessageBoxNotOverTheList)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(AddByKey(Files[0]));
    Lapse->resize(800, 600);
    SettleLayouts();
    const QString state = Lapse->StateLabel->text();
    const QString file = Folder.filePath(QStringLiteral("refused.dat"));
    QFile bad(file);
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    for (int line = 0; line < 200; ++line)
        bad.write("this line of words is no datum of any format the program reads\n");
    bad.close();
    Messages.clear();
    ASSERT_NO_FATAL_FAILURE(AddByKey(file));
    SettleLayouts();
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages.front().startsWith(QStringLiteral("refused.dat cannot be read"))) << Messages.front().toStdString();
    EXPECT_EQ(Lapse->StateLabel->text(), state);
    EXPECT_EQ(Lapse->SurveyCount(), 1);
    const QTableWidget& list = *Lapse->SurveyTable;
    EXPECT_GE(list.height(), list.horizontalHeader()->height() + 3 * list.verticalHeader()->defaultSectionSize());
    EXPECT_LE(Lapse->minimumSizeHint().height(), 600);
}

// Stop (Escape during the run) keeps the steps finished: held after the
// first later survey, the run stopped there ends with the baseline and
// that survey, both shown and saved; Escape then closes the window.
TEST_F(TimeLapseWindowTest, StopKeepsTheFinishedSteps)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(AddSeries(2));
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    Lapse->OnStepFinished = [released](int Step) {
        if (Step == 1)
            released.wait();
    };
    ASSERT_NO_FATAL_FAILURE(InvertAll());
    QTRY_VERIFY_WITH_TIMEOUT(Lapse->StepsDone() == 2, 300000);
    EXPECT_TRUE(Lapse->Busy());
    QTest::keyPress(Lapse, Qt::Key_Escape);
    QTest::keyRelease(Lapse, Qt::Key_Escape);
    release.set_value();
    WaitForEnd();
    EXPECT_TRUE(Lapse->isVisible());
    EXPECT_TRUE(Lapse->Stopped());
    EXPECT_EQ(Lapse->StepsDone(), 2);
    EXPECT_EQ(Lapse->MisfitTable->rowCount(), 2);
    EXPECT_EQ(Lapse->StepSlider->maximum(), 1);
    EXPECT_TRUE(Lapse->StateLabel->text().startsWith(QStringLiteral("Stopped"))) << Lapse->StateLabel->text().toStdString();
    EXPECT_TRUE(Lapse->ShowStep(1));
    EXPECT_FALSE(Lapse->ShowStep(2));
    QString error;
    ASSERT_TRUE(Lapse->SaveImages(Folder.filePath(QStringLiteral("kept")), error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo::exists(Folder.filePath(QStringLiteral("kept-1.csv"))));
    EXPECT_FALSE(QFileInfo::exists(Folder.filePath(QStringLiteral("kept-2.csv"))));
    // Idle, Escape closes.
    QTest::keyPress(Lapse, Qt::Key_Escape);
    QTest::keyRelease(Lapse, Qt::Key_Escape);
    EXPECT_FALSE(Lapse->isVisible());
}

// The window at its opening size (the manual's screen), and on a screen
// of 800 x 600: every control within the window, none squeezed below its
// smallest size; Tab walks the list, its buttons, the options and Invert
// all in that order.
TEST_F(TimeLapseWindowTest, ItFitsASmallScreenAndTabWalksItsControls)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(AddSeries(2));
    ASSERT_NO_FATAL_FAILURE(InvertAll());
    WaitForEnd();
    Lapse->StepSlider->setValue(3);
    const TInversionMesh& mesh = Lapse->Mesh();
    const int cell = PlumeCell(mesh);
    ASSERT_TRUE(Lapse->PlotCell(cell));
    SaveScreenshot(*Lapse, QStringLiteral("time-lapse"));

    Lapse->resize(800, 600);
    SettleLayouts();
    EXPECT_LE(Lapse->minimumSizeHint().width(), 800);
    EXPECT_LE(Lapse->minimumSizeHint().height(), 600);
    for (QWidget* control : Lapse->findChildren<QWidget*>()) {
        if (!control->isVisible() || control->isWindow())
            continue;
        const QRect shown(control->mapTo(Lapse, QPoint(0, 0)), control->size());
        EXPECT_TRUE(Lapse->rect().contains(shown)) << ControlPath(control, Lapse).toStdString();
        if (qobject_cast<QPushButton*>(control) || qobject_cast<QLabel*>(control)) {
            EXPECT_GE(control->width(), control->minimumSizeHint().width()) << ControlPath(control, Lapse).toStdString();
        }
    }

    Lapse->SurveyTable->setFocus();
    const std::vector<QWidget*> order{Lapse->AddButton,     Lapse->RemoveButton,  Lapse->UpButton,
                                      Lapse->DownButton,    Lapse->ErrorEdit,     Lapse->LambdaEdit,
                                      Lapse->IterationsBox, Lapse->ChangeErrorBox, Lapse->InvertButton};
    Lapse->SurveyTable->selectRow(1); // every list button enabled
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << ControlPath(next, Lapse).toStdString();
    }
}

} // namespace
} // namespace lp::test
