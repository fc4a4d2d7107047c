// Modelling > Invert... as a user meets it: measured data opened, the
// inversion run in the background, its image in the mesh model chart, the
// iteration table, the image laid under the section and taken back.

#include "section/modelling/InversionWindow.h"

#include "DialogTestUtil.h"
#include "tests/section/main/MainWindowFixture.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotPreview.h"
#include "platform/core/SafeSave.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "section/forward/ForwardResponse.h"
#include "section/inversion/InversionExport.h"
#include "section/modelling/BackgroundThreads.h"
#include "section/modelling/ForwardResponseWindow.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/inversion/InversionSetup.h"
#include "section/dialogs/ModelSetupDialog.h"
#include "section/dialogs/RegionsTable.h"
#include "section/editor/BodyParameters.h"
#include "section/views/PseudoSection2D.h"
#include "section/views/Section2D.h"

#include <QtCore/QFile>
#include <QtCore/QPointer>
#include <QtWidgets/QScrollArea>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialog>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtCore/QRegularExpression>
#include <QtWidgets/QTableView>
#include <QtWidgets/QTableWidget>

#include <array>
#include <chrono>
#include <cmath>
#include <future>
#include <set>

namespace lp::test {
namespace {

struct InversionWindowTest : MainWindow {
    TInversionWindow* Inversion = nullptr;

    void TearDown() override
    {
        MainWindow::TearDown();
        TBackgroundThreads::Program().JoinAll();
    }

    // "Measured" data over the example: 10 electrodes, 3 levels of
    // dipole-dipole over a host of 130 ohm-m (quick under the sanitizers).
    // With Ip, every datum also has an apparent chargeability of Eta mV/V.
    QString WriteMeasuredFile(bool Ip = false, double Eta = 12.0, const QString& Name = QStringLiteral("measured.dat"),
                              int Electrodes = 10, int Levels = 3)
    {
        const TForwardResult field = FieldResponseOver(130.0, Electrodes, Levels);
        QString text = QStringLiteral("%1\n# x z\n").arg(field.Survey.Electrodes.size());
        for (const TElectrode& electrode : field.Survey.Electrodes)
            text += QStringLiteral("%1 %2\n").arg(electrode.x, 0, 'g', 17).arg(electrode.z, 0, 'g', 17);
        text += QStringLiteral("%1\n# a b m n rhoa%2\n").arg(field.Resistivities.size()).arg(Ip ? " ip" : "");
        for (size_t d = 0; d < field.Resistivities.size(); ++d) {
            const TConfiguration& c = field.Survey.Configurations[d];
            text += QStringLiteral("%1 %2 %3 %4 %5%6\n")
                        .arg(c.a + 1)
                        .arg(c.b + 1)
                        .arg(c.m + 1)
                        .arg(c.n + 1)
                        .arg(field.Resistivities[d], 0, 'g', 17)
                        .arg(Ip ? QStringLiteral(" %1").arg(Eta) : QString());
        }
        const QString file = Folder.filePath(Name);
        QString error;
        EXPECT_TRUE(SaveBytesAtomically(file, text.toUtf8(), error)) << error.toStdString();
        return file;
    }

    // Command chosen from the menu bar, File picked in the open dialog it shows.
    void ChooseWithFile(QAction* Command, const QString& File)
    {
        CommonDialogService().ExecuteOpen = [File](TOpenDialogRequest& Request) {
            Request.FileName = File;
            return true;
        };
        ChooseFromMenuBar(Command);
        ResetCommonDialogService();
    }
    // Modelling > Invert... with File chosen in the open dialog (no data
    // open yet): the window shown with the file's data.
    void InvertFile(const QString& File)
    {
        ChooseWithFile(Window->Invert1, File);
        QTRY_VERIFY_WITH_TIMEOUT(Window->InversionWindow && Window->InversionWindow->isVisible(), 5000);
        Inversion = Window->InversionWindow;
        ASSERT_NE(Inversion->MeasuredData(), nullptr);
    }

    // The example open; Modelling > Invert... asks for the data file (none
    // is open yet) and shows the window; the iterations typed as a user does.
    void Open(int Iterations, bool Ip = false, double Eta = 12.0)
    {
        Start({Section});
        ASSERT_NO_FATAL_FAILURE(InvertFile(WriteMeasuredFile(Ip, Eta)));
        // The window the menu command opened has the keyboard.
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Inversion, 5000);
        Inversion->IterationsBox->setFocus();
        QTest::keyClick(Inversion->IterationsBox, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(Inversion->IterationsBox, QString::number(Iterations));
        ASSERT_EQ(Inversion->IterationsBox->value(), Iterations);
    }
    // Alt+D pressed and released as the keyboard sends it, to the window
    // that has the keyboard.
    void PressAltD()
    {
        QWidget* active = QApplication::activeWindow();
        ASSERT_NE(active, nullptr);
        QTest::keyPress(active, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyPress(active, Qt::Key_D, Qt::AltModifier);
        QTest::keyRelease(active, Qt::Key_D, Qt::AltModifier);
        QTest::keyRelease(active, Qt::Key_Alt);
    }
    // The example, Modelling > Invert... with a 16-electrode dipole-dipole
    // file of 2 levels chosen in the dialog; Iterations typed.
    void OpenSixteenElectrodes(int Iterations)
    {
        Start({Section});
        ASSERT_NO_FATAL_FAILURE(InvertFile(WriteMeasuredFile(false, 12.0, QStringLiteral("dd16.dat"), 16, 2)));
        TypeInto(Inversion->IterationsBox, QString::number(Iterations));
        ASSERT_EQ(Inversion->IterationsBox->value(), Iterations);
    }
    // The DOI run that follows a finished inversion (started as the
    // inversion's end is handled) has ended, or none began.
    void WaitForDoiOrNone()
    {
        WaitForEnd();
        QTRY_VERIFY_WITH_TIMEOUT(!Inversion->ComputingDepthOfInvestigation(), 300000);
    }
    void ExpectDepthOfInvestigationShown(const char* When)
    {
        const QString state = Inversion->StateLabel->text();
        ASSERT_TRUE(Inversion->Result().has_value()) << When << ": " << state.toStdString();
        EXPECT_EQ(Inversion->Result()->DepthOfInvestigation.size(), static_cast<size_t>(Inversion->Picture()->Mesh.Cells()))
            << When << ": " << state.toStdString();
        EXPECT_TRUE(state.contains(QStringLiteral("beyond the depth of investigation"))) << When << ": " << state.toStdString();
        EXPECT_FALSE(Inversion->DoiContour().empty()) << When;
    }
    void ClickInvert()
    {
        QTest::mouseClick(Inversion->InvertButton, Qt::LeftButton);
        ASSERT_TRUE(Inversion->Busy()) << Inversion->ErrorText().toStdString();
    }
    void WaitForEnd() { QTRY_VERIFY_WITH_TIMEOUT(!Inversion->Busy(), 300000); }
    // The run waits at the start of iteration Iteration until Release is set.
    void HoldRunAtIteration(std::promise<void>& Release, int Iteration)
    {
        std::shared_future<void> released = Release.get_future().share();
        Inversion->OnRunIteration = [released, Iteration](int At) {
            if (At == Iteration)
                released.wait();
        };
    }
    // The inversion's end, then its depth of investigation's.
    void WaitForDoi()
    {
        WaitForEnd();
        QTRY_VERIFY_WITH_TIMEOUT(!Inversion->ComputingDepthOfInvestigation(), 300000);
    }

    // The picture under the section: its file, corners and pixels (a null
    // image when none is shown).
    struct TShownPicture {
        QString Path;
        std::array<double, 4> Corners{};
        QImage Image;
        bool operator==(const TShownPicture&) const = default;
    };
    TShownPicture Shown()
    {
        const TGraphic* graphic = Window->ChartTool1->Picture()->Graphic();
        const double* corners = Window->PictureCorners;
        return {Window->PicturePath, {corners[0], corners[1], corners[2], corners[3]},
                graphic ? graphic->ToImage() : QImage()};
    }
    // A one-iteration inversion laid under the section by its button; the
    // main window has the keyboard again.
    void LayUnderlay()
    {
        ASSERT_NO_FATAL_FAILURE(ClickInvert());
        WaitForEnd();
        ASSERT_TRUE(Inversion->Picture().has_value()) << Inversion->ErrorText().toStdString();
        QTest::mouseClick(Inversion->UnderlayButton, Qt::LeftButton);
        // Laid; its file comes with the next save.
        ASSERT_EQ(Window->PicturePath, QString());
        Activate();
    }
    // A section edit as the user makes it: Move node, the node at From
    // dragged to To and dropped.
    void MoveNode(QPointF From, QPointF To)
    {
        Window->ModeButtons.at(pmMoveNode)->click();
        const Tnodes before = CopyNodes(Chart().Nodes);
        DragNode(From, To);
        ASSERT_NE(Chart().Nodes, before) << "the node at " << From.x() << ", " << From.y() << " did not move";
    }

    // The chart's cells hold the picture's resistivities (mesh order: row
    // by row from the surface).
    void ExpectChartShows(const TInversionPicture& Picture)
    {
        const TTModelSection2d& chart = *Inversion->ModelChart;
        const TInversionMesh& mesh = Picture.Mesh;
        ASSERT_EQ(chart.ColBounds.Length(), mesh.Columns() + 1);
        ASSERT_EQ(chart.RowBounds.Length(), mesh.Rows() + 1);
        for (int r = 0; r < mesh.Rows(); ++r)
            for (int c = 0; c < mesh.Columns(); ++c) {
                const double value = Picture.Resistivities[static_cast<size_t>(r * mesh.Columns() + c)];
                EXPECT_NEAR(chart.CellValue(c, r), value, 1e-9 * value) << "cell " << c << ", " << r;
            }
    }
    // Modelling > Invert... chosen again in the main window (which has the
    // keyboard: Activate() first).
    void InvertAgain()
    {
        ChooseFromMenuBar(Window->Invert1);
        ASSERT_TRUE(Inversion->isVisible());
    }
    // File opened with Modelling > Measured data..., then Modelling >
    // Invert... again, which must ask nothing.
    void OpenInForwardWindowAndInvertAgain(const QString& File)
    {
        Activate();
        ChooseWithFile(Window->Measureddata1, File);
        Activate();
        ExpectNoQuestion([this] { InvertAgain(); });
    }
    // Runs Action and fails when a modal window comes up (it is closed).
    void ExpectNoQuestion(const std::function<void()>& Action)
    {
        bool asked = false;
        QTimer::singleShot(0, [&asked] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                asked = true;
                modal->close();
            }
        });
        Action();
        QCoreApplication::processEvents();
        EXPECT_FALSE(asked) << "a question came up";
    }
    // Another survey (8 electrodes 50 m apart from x 100, dipole-dipole,
    // uniform 40 ohm-m, its Configurations) opened by File > New from
    // data... (Discard), then Modelling > Invert... again.
    void InvertOtherData(std::vector<TConfiguration>& Configurations)
    {
        std::vector<TElectrode> electrodes;
        for (int e = 0; e < 8; ++e)
            electrodes.push_back({100.0 + 50.0 * e, 0.0});
        Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, 8, 2);
        const QString other = WriteRhoaFile(QStringLiteral("other.dat"), electrodes, Configurations,
                                            std::vector<double>(Configurations.size(), 40.0));
        CommonDialogService().ExecuteOpen = [other](TOpenDialogRequest& Request) {
            Request.FileName = other;
            return true;
        };
        Activate();
        if (Window->Modified())
            AnswerModal<QMessageBox>([this] { ChooseFromMenuBar(Window->Newfromdata1); },
                                     [](QMessageBox& Box) {
                                         for (QAbstractButton* button : Box.buttons())
                                             if (button->text().remove(QLatin1Char('&')) == QStringLiteral("Discard"))
                                                 QTest::mouseClick(button, Qt::LeftButton);
                                     });
        else
            ChooseFromMenuBar(Window->Newfromdata1);
        ResetCommonDialogService();
        ASSERT_NE(Window->SourceData(), nullptr);
        ASSERT_EQ(Window->SourceData()->Size(), Configurations.size());
        Activate();
        InvertAgain();
    }
    // "Model setup..." with the right border typed in and Apply clicked.
    void SetModelAreaRight(double Right)
    {
        AnswerModal<Tboxsetup>([&] { ChooseFromMenuBar(Window->Boxconstrctor1); },
                               [&](Tboxsetup& Dialog) {
                                   Dialog.Edit2->setText(QString::number(Right, 'g', 17));
                                   QTest::mouseClick(Dialog.ApplyWidget(), Qt::LeftButton);
                               });
        ASSERT_EQ(Chart().ModelArea.right, Right);
    }
};

// The pseudo-sections of the inversion window had no colour bar of their
// own: no value could be read off their colours. Each now has one right of
// its plot, as the forward window's: the lowest band at the bottom, the
// highest at the top, the levels written beside it and the unit over it,
// all within the chart at the window's opening size.
TEST_F(InversionWindowTest, EachPseudoSectionHasItsColourBar)
{
    ASSERT_NO_FATAL_FAILURE(Open(1));
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    SettleLayouts();
    for (TPseudoSection2d* chart : {Inversion->MeasuredChart, Inversion->CalculatedChart, Inversion->MisfitChart}) {
        const std::string title = chart->Title()->Text()->Strings(0).toStdString();
        ASSERT_TRUE(chart->Widget()->isVisible()) << title;
        chart->Widget()->repaint();
        const QImage picture = chart->Widget()->grab().toImage();
        ASSERT_EQ(picture.devicePixelRatio(), 1.0);
        const TRect plot = chart->ChartRectangle();
        const DynArray<TColor>& bands = chart->BandColors;
        ASSERT_GE(bands.Length(), 2) << title;
        const auto colourAt = [&](int X, int Y) {
            const QRgb rgb = picture.pixel(X, Y);
            return static_cast<TColor>(qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16);
        };
        EXPECT_EQ(colourAt(plot.Right + 17, plot.Bottom - 1), bands[0]) << title;
        EXPECT_EQ(colourAt(plot.Right + 17, plot.Top + 1), bands[bands.High()]) << title;
        // The levels and the unit: dark ink right of the bar and over it,
        // every bit of it inside the chart.
        const auto inkIn = [&](QRect Area) {
            int ink = 0;
            Area = Area.intersected(picture.rect());
            for (int x = Area.left(); x <= Area.right(); ++x)
                for (int y = Area.top(); y <= Area.bottom(); ++y)
                    ink += qGray(picture.pixel(x, y)) < 100;
            return ink;
        };
        EXPECT_GT(inkIn(QRect(QPoint(plot.Right + 27, plot.Top), QPoint(picture.width() - 1, plot.Bottom))), 0)
            << title;
        EXPECT_GT(inkIn(QRect(QPoint(plot.Right + 10, 0), QPoint(picture.width() - 1, plot.Top - 1))), 0) << title;
        EXPECT_EQ(inkIn(QRect(picture.width() - 2, 0, 2, picture.height())), 0) << title << ": clipped on the right";
    }
    SaveScreenshot(*Inversion, QStringLiteral("inversion-pseudo-section-colour-bars"));
}

// A model area narrower than the survey is not used for the mesh, and the
// window says so: the cells cover the electrodes, beyond the area.
TEST_F(InversionWindowTest, AModelAreaNarrowerThanTheSurveyIsReported)
{
    Start({Section});
    // Ten electrodes from 700 to 1240 m: the example's area ends at 1000 m.
    std::vector<TElectrode> electrodes;
    for (int e = 0; e < 10; ++e)
        electrodes.push_back({700.0 + 60.0 * e, 0.0});
    const std::vector<TConfiguration> configurations = ArrayConfigurations(TArrayKind::DipoleDipole, 10, 3);
    ASSERT_NO_FATAL_FAILURE(InvertFile(WriteRhoaFile(QStringLiteral("beyond.dat"), electrodes, configurations,
                                                     std::vector<double>(configurations.size(), 100.0))));
    EXPECT_TRUE(Inversion->ErrorText().contains(QStringLiteral("reach beyond the section's model area")))
        << Inversion->ErrorText().toStdString();
    EXPECT_TRUE(Inversion->ErrorText().contains(QStringLiteral("The cells cover the survey's own frame")));
    EXPECT_EQ(Inversion->StateLabel->text(), Inversion->ErrorText());
    EXPECT_GT(Inversion->MeshChart->ColBounds.Last(), 1240.0);
}

// Open data, Invert, see the image: the iteration table fills, the chart's
// cells are the inverted resistivities on a logarithmic blue-to-red scale,
// the pseudo-sections show the data and the response; the image goes under
// the section as its picture, Ctrl+Z gives the example's picture back.
TEST_F(InversionWindowTest, InvertShowsTheImageAndItBecomesTheUnderlayUntilUndone)
{
    ASSERT_NO_FATAL_FAILURE(Open(3));
    EXPECT_FALSE(Inversion->UnderlayButton->isEnabled());
    EXPECT_TRUE(UnreachableControls(*Inversion).isEmpty()) << UnreachableControls(*Inversion).join('\n').toStdString();
    EXPECT_TRUE(RepeatedMnemonics(*Inversion).isEmpty()) << RepeatedMnemonics(*Inversion).join('\n').toStdString();
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    const TSurveyInversion& result = *Inversion->Result();
    ASSERT_TRUE(Inversion->Picture().has_value());
    const TInversionPicture& picture = *Inversion->Picture();

    // One row per iteration, the starting model's first.
    ASSERT_EQ(Inversion->IterationTable->rowCount(), static_cast<int>(result.Steps.size()));
    EXPECT_GE(result.Steps.size(), 2u);
    EXPECT_LE(result.Steps.back().Iteration, 3);
    for (int row = 0; row < Inversion->IterationTable->rowCount(); ++row) {
        EXPECT_EQ(Inversion->IterationTable->item(row, 0)->text().toInt(), result.Steps[static_cast<size_t>(row)].Iteration);
        EXPECT_NEAR(Inversion->IterationTable->item(row, 1)->text().toDouble(), result.Steps[static_cast<size_t>(row)].ChiSquare,
                    0.01 * result.Steps[static_cast<size_t>(row)].ChiSquare);
        // λ in the narrow column: no power of ten below a million.
        const QString lambda = Inversion->IterationTable->item(row, 3)->text();
        EXPECT_NEAR(lambda.toDouble(), result.Steps[static_cast<size_t>(row)].Lambda,
                    0.01 * result.Steps[static_cast<size_t>(row)].Lambda);
        if (result.Steps[static_cast<size_t>(row)].Lambda < 1e6) {
            EXPECT_FALSE(lambda.contains('e')) << lambda.toStdString();
        }
    }
    // The chart: the resistivities, low blue, high red.
    ASSERT_NO_FATAL_FAILURE(ExpectChartShows(picture));
    EXPECT_EQ(picture.Resistivities, result.Resistivities);
    TTModelSection2d& chart = *Inversion->ModelChart;
    EXPECT_EQ(chart.ScaleMode, 1);
    const auto [low, high] = std::minmax_element(result.Resistivities.begin(), result.Resistivities.end());
    EXPECT_EQ(chart.ValueToColor(*low), clBlue);
    EXPECT_EQ(chart.ValueToColor(*high), clRed);
    // The pseudo-sections: every datum.
    const int data = static_cast<int>(Inversion->MeasuredData()->Size());
    for (TPseudoSection2d* pseudo : {Inversion->MeasuredChart, Inversion->CalculatedChart, Inversion->MisfitChart})
        EXPECT_EQ(pseudo->VertexCount, data);
    for (int v = 1; v <= data; ++v)
        EXPECT_NEAR(Inversion->CalculatedChart->Vertices[v].Value, result.Response[static_cast<size_t>(v - 1)],
                    1e-6 * result.Response[static_cast<size_t>(v - 1)]);
    SaveScreenshot(*Inversion, QStringLiteral("inversion-window"));

    // The cell table: the command line's CSV.
    const QString table = Folder.filePath(QStringLiteral("cells.csv"));
    QString error;
    ASSERT_TRUE(Inversion->SaveTable(table, error)) << error.toStdString();
    EXPECT_EQ(FileBytes(table).toStdString(), FormatInversionTable(picture.Mesh, result));
    EXPECT_FALSE(Inversion->SaveTable(Section, error));
    EXPECT_FALSE(FileBytes(Section).isEmpty());
    // Through the button and the save dialog.
    const QString chosen = Folder.filePath(QStringLiteral("chosen.csv"));
    CommonDialogService().ExecuteSave = [&](TSaveDialogRequest& Request) {
        Request.FileName = chosen;
        return true;
    };
    QTest::mouseClick(Inversion->SaveButton, Qt::LeftButton);
    ResetCommonDialogService();
    EXPECT_EQ(FileBytes(chosen), FileBytes(table));

    // Use as underlay: the image under the section, its corners on the
    // cells' frame (here the model area's width: the survey spans it),
    // written beside the section by the next save, its pixels the chart's
    // colours.
    const QString before = Window->PicturePath;
    const QImage beforeImage = Window->ChartTool1->Picture()->Graphic()->ToImage();
    QTest::mouseClick(Inversion->UnderlayButton, Qt::LeftButton);
    EXPECT_EQ(Window->PicturePath, QString());
    EXPECT_FALSE(QFileInfo::exists(Folder.filePath(QStringLiteral("example-inversion.png"))));
    const TInversionMesh& cells = picture.Mesh;
    const TModelArea area{cells.ColumnEdges.front(), -*std::max_element(cells.Elevations.begin(), cells.Elevations.end()),
                          cells.ColumnEdges.back(), -cells.Bottom};
    EXPECT_EQ(area.left, Chart().ModelArea.left);
    EXPECT_EQ(area.right, Chart().ModelArea.right);
    EXPECT_EQ(Window->PictureCorners[0], area.left);
    EXPECT_EQ(Window->PictureCorners[1], area.top);
    EXPECT_EQ(Window->PictureCorners[2], area.right);
    EXPECT_EQ(Window->PictureCorners[3], area.bottom);
    EXPECT_TRUE(Window->Modified());
    SaveScreenshot(*Window, QStringLiteral("inversion-underlay"));
    // The section file keeps the picture's path and corners.
    const QString copy = Folder.filePath(QStringLiteral("traced.sec"));
    Window->SaveFile(copy);
    const QString png = Folder.filePath(QStringLiteral("traced-inversion.png"));
    EXPECT_EQ(Window->PicturePath, png);
    const QList<QByteArray> lines = FileBytes(copy).split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(QString::fromLocal8Bit(lines[0]).trimmed(), png);
    QImage saved(png);
    ASSERT_FALSE(saved.isNull());
    // A pixel in the middle of the image: the colour of the cell there.
    const TInversionMesh& mesh = picture.Mesh;
    const int i = saved.width() / 2, j = saved.height() / 4;
    const double x = area.left + (i + 0.5) * (area.right - area.left) / saved.width();
    const double elevation = -(area.top + (j + 0.5) * (area.bottom - area.top) / saved.height());
    int column = 0;
    while (column + 1 < mesh.Columns() && mesh.ColumnEdges[static_cast<size_t>(column + 1)] <= x)
        ++column;
    const double share = (x - mesh.ColumnEdges[static_cast<size_t>(column)]) /
                         (mesh.ColumnEdges[static_cast<size_t>(column + 1)] - mesh.ColumnEdges[static_cast<size_t>(column)]);
    const double surface = mesh.Elevations[static_cast<size_t>(column)] +
                           share * (mesh.Elevations[static_cast<size_t>(column + 1)] - mesh.Elevations[static_cast<size_t>(column)]);
    const double depth = surface - elevation;
    ASSERT_GT(depth, 0.0);
    int row = 0;
    while (row + 1 < mesh.Rows() && mesh.RowDepths[static_cast<size_t>(row + 1)] <= depth)
        ++row;
    const TColor expected = chart.ValueToColor(picture.Resistivities[static_cast<size_t>(row * mesh.Columns() + column)]);
    const QRgb pixel = saved.pixel(i, j);
    EXPECT_EQ(static_cast<TColor>(qRed(pixel) | qGreen(pixel) << 8 | qBlue(pixel) << 16), expected);

    // Ctrl+Z in the main window: the example's picture back.
    Activate();
    PressCtrlZ();
    EXPECT_EQ(Window->PicturePath, before);
    ASSERT_NE(Window->ChartTool1->Picture()->Graphic(), nullptr);
    EXPECT_EQ(Window->ChartTool1->Picture()->Graphic()->ToImage(), beforeImage);
    // The next Ctrl+Z is the section's own undo again: the picture stays.
    PressCtrlZ();
    EXPECT_EQ(Window->PicturePath, before);
}

// Guards the picture an underlay replaced lost once the section was edited
// after it: Ctrl+Z gave the edits back, never the earlier picture.
// A field survey of 38 electrodes over 70 m across a hill inside a 1000 m
// model area: the pseudo-sections and the mesh charts frame the electrodes
// with two spacings each side, the data hang from the ground on an
// elevation axis and the mesh charts are labelled in elevation.
TEST_F(InversionWindowTest, AFieldSurveyOverAHillIsFramedAndShownInElevation)
{
    WriteHillSection();
    Start({Section});
    ASSERT_NO_FATAL_FAILURE(InvertFile(WriteHillSurveyFile(HillSurveyResponse())));
    ASSERT_TRUE(Inversion->MeasuredData()->HasElevations);
    Inversion->IterationsBox->setValue(2);
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Picture().has_value()) << Inversion->ErrorText().toStdString();
    Inversion->resize(1200, 900);
    SettleLayouts();

    const double spacing = 70.0 / 37.0, left = 465.0 - 2.0 * spacing, right = 535.0 + 2.0 * spacing;
    const std::vector<TPseudoPoint> points = PseudoSectionPoints(Inversion->MeasuredData()->Survey());
    for (TPseudoSection2d* chart : {Inversion->MeasuredChart, Inversion->CalculatedChart, Inversion->MisfitChart}) {
        EXPECT_NEAR(chart->BottomAxis()->Minimum(), left, 1e-9);
        EXPECT_NEAR(chart->BottomAxis()->Maximum(), right, 1e-9);
        EXPECT_FALSE(chart->LeftAxis()->Inverted());
        EXPECT_EQ(chart->LeftAxis()->Title()->Caption(), QStringLiteral("Elevation (m)"));
        ASSERT_EQ(chart->VertexCount, static_cast<int>(points.size()));
        for (size_t p = 0; p < points.size(); ++p) {
            const double x = points[p].X;
            const double ground = x <= 500.0 ? -19.0 + 9.0 * (x - 440.0) / 60.0 : -10.0 - 9.0 * (x - 500.0) / 60.0;
            // The mesh's surface runs straight between its column edges:
            // within a few centimetres of the hill's.
            EXPECT_NEAR(chart->Vertices[static_cast<int>(p) + 1].AxisY, ground - points[p].Depth, 0.05) << p;
        }
        EXPECT_TRUE(chart->SurfaceSeries->Active());
    }
    // The mesh charts follow the mesh, framed as the survey, not the area.
    for (TTModelSection2d* chart : {Inversion->MeshChart, Inversion->ModelChart}) {
        chart->Widget()->grab();
        EXPECT_NEAR(chart->ModelLeft, left, 1e-9);
        EXPECT_NEAR(chart->ModelRight, right, 1e-9);
        EXPECT_GE(chart->BottomAxis()->Minimum(), left - spacing);
        EXPECT_LE(chart->BottomAxis()->Maximum(), right + spacing);
        EXPECT_EQ(chart->LeftAxis()->Title()->Caption(), QStringLiteral("Elevation (m)"));
    }
    // Its labels are round elevations at their places: a label value is
    // the depth below the crest of a multiple of the step, its text that
    // elevation.
    TTModelSection2d& model = *Inversion->ModelChart;
    Inversion->ChartTabs->setCurrentIndex(Inversion->ChartTabs->indexOf(model.Widget()));
    SettleLayouts();
    model.Widget()->grab();
    TChartAxis& vertical = *model.LeftAxis();
    const double highest = *std::max_element(model.ReliefZ.begin(), model.ReliefZ.end());
    EXPECT_NEAR(highest, -10.0, 0.05);
    const double step = vertical.CalcLabelsIncrement();
    ASSERT_GT(step, 0.0);
    ASSERT_TRUE(model.OnGetNextAxisLabel);
    QStringList labels;
    double value = 0.0;
    bool stop = false;
    for (int index = 0; index < 100; ++index) {
        model.OnGetNextAxisLabel(&vertical, index, value, stop);
        if (stop)
            break;
        EXPECT_GE(value, vertical.Minimum() - 1e-9);
        EXPECT_LE(value, vertical.Maximum() + 1e-9);
        const double elevation = highest - value;
        EXPECT_NEAR(elevation / step, std::round(elevation / step), 1e-6) << elevation;
        labels << vertical.LabelValue(value);
        EXPECT_EQ(labels.back(), QString::number(std::round(elevation / step) * step, 'g', 6));
    }
    EXPECT_GE(labels.size(), 2) << labels.join(QLatin1Char(' ')).toStdString();
    // The bottom axis keeps its own labels.
    model.OnGetNextAxisLabel(model.BottomAxis(), 0, value, stop);
    EXPECT_TRUE(stop);
    SaveScreenshot(*Inversion, QStringLiteral("inversion-field-survey"));
}

// The depth of investigation over relief, as the manual shows it: the
// field survey across the hill inverted with Depth of investigation
// ticked. The dashed 0.2 line hangs under the ground (below the top row,
// above the mesh's bottom) and the cells under the ground the data see
// keep their colours, the bottom row under the electrodes fades.
TEST_F(InversionWindowTest, OverAHillTheDepthOfInvestigationLineHangsUnderTheGround)
{
    WriteHillSection();
    Start({Section});
    ASSERT_NO_FATAL_FAILURE(InvertFile(WriteHillSurveyFile(HillSurveyResponse())));
    if (Inversion->FadeBox->isChecked())
        QTest::mouseClick(Inversion->FadeBox, Qt::LeftButton);
    if (!Inversion->DoiBox->isChecked())
        QTest::mouseClick(Inversion->DoiBox, Qt::LeftButton);
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForDoi();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    ASSERT_TRUE(Inversion->Picture().has_value());
    const TSurveyInversion& result = *Inversion->Result();
    const TInversionMesh& mesh = Inversion->Picture()->Mesh;
    ASSERT_EQ(result.DepthOfInvestigation.size(), static_cast<size_t>(mesh.Cells()));
    const std::vector<TOutline>& line = Inversion->DoiContour();
    ASSERT_FALSE(line.empty());
    const auto ground = [&](double x) {
        const auto& edges = mesh.ColumnEdges;
        const size_t i = static_cast<size_t>(std::upper_bound(edges.begin(), edges.end() - 1, x) - edges.begin()) - 1;
        const double t = (x - edges.at(i)) / (edges.at(i + 1) - edges.at(i));
        return mesh.Elevations.at(i) + t * (mesh.Elevations.at(i + 1) - mesh.Elevations.at(i));
    };
    // Beside the outermost electrodes (465 and 535) the line may rise to
    // the ground: no datum sees beyond them.
    for (const auto& [a, b] : line)
        for (const TGeometryPoint& p : {a, b}) {
            if (p.x > 466.0 && p.x < 534.0) {
                EXPECT_LT(p.y, ground(p.x) - mesh.RowDepths.at(1) / 2) << p.x;
            }
            EXPECT_GT(p.y, mesh.Bottom) << p.x;
        }
    // Under the line's middle (the electrodes from x 465 to 535): the top
    // row within 0.2, the bottom row beyond it.
    int under = 0, seen = 0, beyond = 0;
    for (int column = 0; column < mesh.Columns(); ++column) {
        const double x = (mesh.ColumnEdges.at(static_cast<size_t>(column)) +
                          mesh.ColumnEdges.at(static_cast<size_t>(column) + 1)) / 2;
        if (x < 475.0 || x > 525.0)
            continue;
        ++under;
        seen += result.DepthOfInvestigation.at(static_cast<size_t>(column)) < 0.2;
        beyond += result.DepthOfInvestigation.at(static_cast<size_t>((mesh.Rows() - 1) * mesh.Columns() + column)) > 0.2;
    }
    ASSERT_GT(under, 10);
    EXPECT_EQ(seen, under);
    EXPECT_EQ(beyond, under);
    Inversion->resize(1200, 900);
    Inversion->ChartTabs->setCurrentIndex(Inversion->ChartTabs->indexOf(Inversion->ModelChart->Widget()));
    SettleLayouts();
    SaveScreenshot(*Inversion, QStringLiteral("inversion-doi-relief"));
}

TEST_F(InversionWindowTest, CtrlZGivesTheEditsAfterAnUnderlayBackThenThePictureBeforeIt)
{
    ASSERT_NO_FATAL_FAILURE(Open(1));
    const TShownPicture example = Shown();
    ASSERT_FALSE(example.Image.isNull());
    ASSERT_NO_FATAL_FAILURE(LayUnderlay());
    const TShownPicture underlay = Shown();
    ASSERT_FALSE(underlay.Image.isNull());
    ASSERT_NE(underlay.Image, example.Image);
    const Tnodes laid = CopyNodes(Chart().Nodes);
    ASSERT_NO_FATAL_FAILURE(MoveNode({300, 140}, {330, 150}));
    const Tnodes once = CopyNodes(Chart().Nodes);
    ASSERT_NO_FATAL_FAILURE(MoveNode({330, 150}, {350, 160}));

    PressCtrlZ();
    EXPECT_EQ(Chart().Nodes, once);
    EXPECT_TRUE(Shown() == underlay);
    PressCtrlZ();
    EXPECT_EQ(Chart().Nodes, laid);
    EXPECT_TRUE(Shown() == underlay);
    PressCtrlZ();
    EXPECT_EQ(Chart().Nodes, laid);
    EXPECT_EQ(Shown().Path.toStdString(), example.Path.toStdString());
    EXPECT_EQ(Shown().Corners, example.Corners);
    EXPECT_EQ(Shown().Image, example.Image);
    // Back at the section as it was opened: nothing to save.
    EXPECT_FALSE(Window->Modified());
}

// Remove picture hides the picture without changing the section (a save
// keeps its name and corners), outside the undo history: undoing an edit
// made after it leaves the picture hidden; undoing the underlay before it
// gives the picture before the underlay.
TEST_F(InversionWindowTest, UndoingAnEditLeavesARemovedPictureRemoved)
{
    ASSERT_NO_FATAL_FAILURE(Open(1));
    const TShownPicture example = Shown();
    ASSERT_NO_FATAL_FAILURE(LayUnderlay());
    ChooseFromMenuBar(Window->Removepicture1);
    ASSERT_EQ(Window->ChartTool1->Picture()->Graphic(), nullptr);
    const TShownPicture removed = Shown();
    const Tnodes laid = CopyNodes(Chart().Nodes);
    ASSERT_NO_FATAL_FAILURE(MoveNode({300, 140}, {330, 150}));

    PressCtrlZ();
    EXPECT_EQ(Chart().Nodes, laid);
    EXPECT_TRUE(Shown() == removed);
    PressCtrlZ();
    EXPECT_TRUE(Shown() == example);
}

// Guards pictures out of step with a full history: an edit, the underlay,
// then edits until the oldest state falls out of the 25 kept; Ctrl+Z back
// to the oldest kept gives each state the picture it had, and the section
// saved then and opened again shows the picture that was shown.
TEST_F(InversionWindowTest, AFullHistoryGivesEachStateItsPictureAndSavesTheOneShown)
{
    ASSERT_NO_FATAL_FAILURE(Open(1));
    const TShownPicture example = Shown();
    Activate();
    ASSERT_NO_FATAL_FAILURE(MoveNode({300, 140}, {310, 145}));
    const Tnodes first = CopyNodes(Chart().Nodes);
    ASSERT_NO_FATAL_FAILURE(LayUnderlay());
    const TShownPicture underlay = Shown();
    // The state opened, the first edit's, the underlay's and 23 more: one
    // more than the history keeps.
    std::vector<Tnodes> states{first};
    const QPointF places[] = {{310, 145}, {320, 150}};
    for (int edit = 0; edit < 23; ++edit) {
        ASSERT_NO_FATAL_FAILURE(MoveNode(places[edit % 2], places[(edit + 1) % 2]));
        states.push_back(CopyNodes(Chart().Nodes));
    }
    for (int edit = 22; edit >= 0; --edit) {
        PressCtrlZ();
        ASSERT_EQ(Chart().Nodes, states[static_cast<size_t>(edit)]) << "undo of edit " << edit;
        ASSERT_TRUE(Shown() == underlay) << "undo of edit " << edit;
    }
    PressCtrlZ(); // the underlay
    EXPECT_EQ(Chart().Nodes, first);
    EXPECT_TRUE(Shown() == example);
    PressCtrlZ(); // the state opened is gone: nothing changes
    EXPECT_EQ(Chart().Nodes, first);
    EXPECT_TRUE(Shown() == example);

    const QString copy = Folder.filePath(QStringLiteral("undone.sec"));
    Window->SaveFile(copy);
    EXPECT_EQ(QString::fromLocal8Bit(FileBytes(copy).split('\n').value(0)).trimmed().toStdString(),
              example.Path.toStdString());
    ASSERT_TRUE(Window->OpenSection(copy));
    ASSERT_EQ(Chart().Nodes.Length(), first.Length());
    for (int node = 0; node < first.Length(); ++node) { // as the file's digits keep them
        EXPECT_NEAR(Chart().Nodes[node].x, first[node].x, 1e-9) << "node " << node;
        EXPECT_NEAR(Chart().Nodes[node].y, first[node].y, 1e-9) << "node " << node;
    }
    EXPECT_TRUE(Shown() == example);
}

// Cancel during the run: the image keeps the last finished iteration's
// model, nothing counts as finished, and saving a table is refused.
// "Sharp boundaries" ticked from the keyboard (Tab from the DOI limit, then
// Space), "Robust to bad data" by a click: the run uses both, the state
// gives chi-square also over the data not down-weighted, and the ticks are
// kept for the next window.
TEST_F(InversionWindowTest, SharpBoundariesAndRobustToBadDataAreUsedShownAndKept)
{
    ASSERT_NO_FATAL_FAILURE(OpenSixteenElectrodes(4));
    ASSERT_FALSE(Inversion->SharpBox->isChecked());
    ASSERT_FALSE(Inversion->RobustBox->isChecked());
    Inversion->DoiLimitEdit->setFocus();
    QTest::keyClick(Inversion->DoiLimitEdit, Qt::Key_Tab);
    QTRY_VERIFY(Inversion->SharpBox->hasFocus());
    QTest::keyPress(Inversion->SharpBox, Qt::Key_Space);
    QTest::keyRelease(Inversion->SharpBox, Qt::Key_Space);
    EXPECT_TRUE(Inversion->SharpBox->isChecked());
    QTest::mouseClick(Inversion->RobustBox, Qt::LeftButton);
    EXPECT_TRUE(Inversion->RobustBox->isChecked());
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForDoiOrNone();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    const TInversionStep& last = Inversion->Result()->Steps.back();
    EXPECT_GT(last.FullWeightData, 0);
    const QString state = Inversion->StateLabel->text();
    EXPECT_TRUE(state.contains(QStringLiteral("data not down-weighted"))) << state.toStdString();
    const TInversionWindowSettings kept = TInversionWindowSettings::Load();
    EXPECT_TRUE(kept.SharpBoundaries);
    EXPECT_TRUE(kept.RobustToBadData);
    // Unticked again for the tests that follow.
    QTest::mouseClick(Inversion->SharpBox, Qt::LeftButton);
    QTest::mouseClick(Inversion->RobustBox, Qt::LeftButton);
    EXPECT_FALSE(TInversionWindowSettings::Load().SharpBoundaries);
}

TEST_F(InversionWindowTest, CancelKeepsTheLastFinishedIterationsModel)
{
    ASSERT_NO_FATAL_FAILURE(Open(20));
    std::promise<void> release;
    HoldRunAtIteration(release, 1);
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    QTRY_VERIFY_WITH_TIMEOUT(Inversion->IterationTable->rowCount() == 2, 300000);
    // Escape cancels a run under way (it does not close the window).
    QTest::keyClick(Inversion, Qt::Key_Escape);
    release.set_value();
    WaitForEnd();
    EXPECT_TRUE(Inversion->isVisible());
    EXPECT_FALSE(Inversion->Result().has_value());
    ASSERT_TRUE(Inversion->Picture().has_value());
    EXPECT_EQ(Inversion->IterationTable->rowCount(), 2);
    EXPECT_TRUE(Inversion->StateLabel->text().startsWith(QStringLiteral("Cancelled"))) << Inversion->StateLabel->text().toStdString();
    ASSERT_NO_FATAL_FAILURE(ExpectChartShows(*Inversion->Picture()));
    EXPECT_TRUE(Inversion->UnderlayButton->isEnabled());
    EXPECT_FALSE(Inversion->SaveButton->isEnabled());
    QString error;
    EXPECT_FALSE(Inversion->SaveTable(Folder.filePath(QStringLiteral("cells.csv")), error));
    EXPECT_FALSE(QFileInfo::exists(Folder.filePath(QStringLiteral("cells.csv"))));
    // Escape with nothing running closes the window.
    QTest::keyClick(Inversion, Qt::Key_Escape);
    EXPECT_FALSE(Inversion->isVisible());
}

// Print preview... shows the chart the user picks: with the pseudo-sections
// of a finished run drawn, from a menu of the four charts' titles.
TEST_F(InversionWindowTest, PrintsTheChosenChart)
{
    ASSERT_NO_FATAL_FAILURE(Open(1));
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    QStringList titles;
    QTimer::singleShot(0, [&titles] {
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr, 5000);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        for (QAction* action : menu->actions()) {
            titles.append(action->text());
            if (action->text() == QStringLiteral("Misfit (%)"))
                menu->setActiveAction(action);
        }
        QTest::keyClick(menu, Qt::Key_Return);
    });
    TCustomPlotPanel* previewed = nullptr;
    ChartPreviewShowService() = [&previewed](TChartPreview& Form) {
        previewed = Form.PlotPreviewPanel1->Panel();
        return 0;
    };
    QTest::mouseClick(Inversion->PrintButton, Qt::LeftButton);
    ResetChartPreviewShowService();
    EXPECT_EQ(titles.size(), 4) << titles.join(QStringLiteral(", ")).toStdString();
    EXPECT_EQ(previewed, Inversion->MisfitChart);
}

// Closing the inversion window, then the main window, while a run is held
// neither waits for it nor crashes when it ends afterwards.
TEST_F(InversionWindowTest, ClosingDuringARunNeitherWaitsNorCrashes)
{
    ASSERT_NO_FATAL_FAILURE(Open(2));
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    Inversion->OnRunStart = [released] { released.wait(); };
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    Inversion->close();
    EXPECT_FALSE(Inversion->isVisible());
    Window->hide();
    Window.reset(); // returns at once although the run is held
    release.set_value();
    TBackgroundThreads::Program().JoinAll();
    SUCCEED();
}

// Options kept in the user's settings; fields that are not numbers refuse
// the run with a word in the window.
TEST_F(InversionWindowTest, OptionsAreKeptAndBadFieldsRefuseTheRun)
{
    ASSERT_NO_FATAL_FAILURE(Open(4));
    TypeInto(Inversion->LambdaEdit, QStringLiteral("abc"));
    QTest::mouseClick(Inversion->InvertButton, Qt::LeftButton);
    EXPECT_FALSE(Inversion->Busy());
    EXPECT_TRUE(Inversion->StateLabel->text().contains(QStringLiteral("λ"))) << Inversion->StateLabel->text().toStdString();
    // A vanishing or huge λ is refused as the command line refuses it, in
    // the window before any run, naming the range.
    for (const QString& typed : {QStringLiteral("1e-20"), QStringLiteral("2e6")}) {
        TypeInto(Inversion->LambdaEdit, typed);
        QTest::mouseClick(Inversion->InvertButton, Qt::LeftButton);
        EXPECT_FALSE(Inversion->Busy()) << typed.toStdString();
        EXPECT_TRUE(Inversion->StateLabel->text().contains(QStringLiteral("from 0.0001 to ") + QLocale().toString(1e6, 'f', 0)))
            << Inversion->StateLabel->text().toStdString();
    }
    TypeInto(Inversion->LambdaEdit, QStringLiteral("35"));
    QTest::keyClick(Inversion->LambdaEdit, Qt::Key_Return);
    QTest::mouseClick(Inversion->ConstrainBox, Qt::LeftButton);
    const TInversionWindowSettings kept = TInversionWindowSettings::Load();
    EXPECT_EQ(kept.Lambda, QStringLiteral("35"));
    EXPECT_EQ(kept.Iterations, 4);
    EXPECT_TRUE(kept.Constrain);
    // Alt+I is the Invert button's mnemonic.
    Inversion->OnRunStart = [] {};
    // The fields by their mnemonics, then on by Tab.
    QTest::keyClick(Inversion, Qt::Key_Z, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Inversion->ZWeightEdit);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Inversion->IterationsBox);
    QTest::keyClick(Inversion, Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Inversion->LambdaEdit);
    EXPECT_EQ(QApplication::activeWindow(), Inversion);
    const bool fade = Inversion->FadeBox->isChecked();
    QTest::keyClick(Inversion, Qt::Key_F, Qt::AltModifier);
    // A button's mnemonic clicks it as the mouse would, a moment later.
    QTRY_VERIFY_WITH_TIMEOUT(Inversion->FadeBox->isChecked() != fade, 2000);
    QTest::keyClick(Inversion, Qt::Key_I, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(Inversion->Busy(), 2000);
    // Constrained by the section's boundaries, it runs to its end.
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    EXPECT_TRUE(Inversion->ErrorText().isEmpty());
}

// Guards the options read in C notation only: with a decimal comma, the
// error the forward window hands over ("2,5") and a typed λ ("0,5")
// refused the run.
TEST_F(InversionWindowTest, OptionsAreReadInTheUsersNotation)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_NO_FATAL_FAILURE(Open(1));
    TypeInto(Inversion->ErrorEdit, QStringLiteral("2,5"));
    TypeInto(Inversion->LambdaEdit, QStringLiteral("0,5"));
    // The Known geology page's fields too.
    TypeInto(Inversion->Constraints->LogErrorEdit, QStringLiteral("12,5"));
    TypeInto(Inversion->Constraints->LogReachEdit, QStringLiteral("2,5"));
    EXPECT_EQ(Inversion->Constraints->LogErrorPercent(), std::optional<double>(12.5));
    EXPECT_EQ(Inversion->Constraints->LogReach(), std::optional<double>(2.5));
    // The limits dialog reads the same notation.
    Inversion->MeshChart->Selected[0][0] = true;
    AnswerModal<QDialog>([&] { QTest::mouseClick(Inversion->LimitsButton, Qt::LeftButton); },
                         [&](QDialog& Dialog) {
                             TypeInto(Dialog.findChild<QLineEdit*>(QStringLiteral("LowestEdit")), QStringLiteral("12,5"));
                             TypeInto(Dialog.findChild<QLineEdit*>(QStringLiteral("HighestEdit")), QStringLiteral("40,5"));
                             QTest::keyClick(&Dialog, Qt::Key_Return);
                         });
    EXPECT_EQ(Inversion->MeshChart->Limits[0][0], (complexM{12.5, 40.5}));
    QTest::mouseClick(Inversion->InvertButton, Qt::LeftButton);
    const bool started = Inversion->Busy();
    const QString state = Inversion->StateLabel->text();
    WaitForEnd();
    // The table's numbers in the same notation: rrms has two decimals.
    const QString rrms = Inversion->IterationTable->rowCount() > 0 ? Inversion->IterationTable->item(0, 2)->text() : QString();
    QLocale::setDefault(before);
    EXPECT_TRUE(started) << state.toStdString();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    EXPECT_TRUE(rrms.contains(QLatin1Char(','))) << rrms.toStdString();
}

// The mesh chart's control pixel of the world point (X, drawn depth Z).
QPoint MeshPixel(TTModelSection2d& Chart, double X, double Z)
{
    const TRect area = Chart.CellArea();
    return {area.Left + Chart.XToCellPixel(X), area.Top + Chart.ZToCellPixel(Z)};
}

// The pointer moved over the chart's window to At, as the mouse moves it.
void MoveOver(QWidget* Host, QPoint At, Qt::MouseButtons Buttons = Qt::NoButton)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(At), Host->mapToGlobal(QPointF(At)), Qt::NoButton, Buttons,
                     Qt::NoModifier);
    QApplication::sendEvent(Host, &move);
}

// The centre of cell (C, R) as the chart draws it.
QPoint CellPixel(TTModelSection2d& Chart, int C, int R)
{
    const double x = 0.5 * (Chart.ColBounds[C] + Chart.ColBounds[C + 1]);
    const double z = 0.5 * (Chart.RowBounds[R] + Chart.RowBounds[R + 1]) + Chart.ReliefShiftAt(C, x);
    return MeshPixel(Chart, x, z);
}

// The user edits the parameter mesh before inverting: removes a column
// boundary with the chart's tool, fixes a block of cells selected with the
// rectangle, takes the fix back with Ctrl+Z on the mesh tab and fixes it
// again, limits another block through the Limits dialog. The inversion
// takes that mesh: one column fewer, the fixed cells at their values, the
// limited ones within their limits.
TEST_F(InversionWindowTest, TheMeshIsEditedInItsChartBeforeInverting)
{
    ASSERT_NO_FATAL_FAILURE(Open(2));
    TTModelSection2d& mesh = *Inversion->MeshChart;
    EXPECT_EQ(Inversion->ChartTabs->currentIndex(), 0);
    ASSERT_GE(mesh.LastCol, 5);
    ASSERT_GE(mesh.LastRow, 1);
    // The default mesh, every cell at the data's median apparent resistivity.
    const double median = MedianResistivity(*Inversion->MeasuredData());
    for (int c = 0; c <= mesh.LastCol; ++c)
        for (int r = 0; r <= mesh.LastRow; ++r)
            ASSERT_DOUBLE_EQ(mesh.CellValue(c, r), median);
    QWidget* host = mesh.Widget();
    host->repaint();
    const int columns = mesh.LastCol + 1;

    // Mesh options > Remove column/row, then a click on a column boundary.
    mesh.MeshOptionsMenuClick(1);
    const int bound = columns / 2;
    const QPoint onBound = MeshPixel(mesh, mesh.ColBounds[bound], 0.5 * (mesh.RowBounds[1] + mesh.RowBounds[2]) +
                                                                      mesh.ReliefShiftAt(bound, mesh.ColBounds[bound]));
    MoveOver(host, onBound);
    QTest::mouseClick(host, Qt::LeftButton, {}, onBound);
    ASSERT_EQ(mesh.LastCol + 1, columns - 1);

    // Selection > Rectangular selection, dragged over cells (1, 0) .. (2, 1).
    mesh.SelectionMenuClick(1);
    MoveOver(host, CellPixel(mesh, 1, 0));
    QTest::mousePress(host, Qt::LeftButton, {}, CellPixel(mesh, 1, 0));
    MoveOver(host, CellPixel(mesh, 2, 1), Qt::LeftButton);
    QTest::mouseRelease(host, Qt::LeftButton, {}, CellPixel(mesh, 2, 1));
    ASSERT_TRUE(mesh.Selected[1][0] && mesh.Selected[2][1]);
    QTest::mouseClick(Inversion->FixButton, Qt::LeftButton);
    EXPECT_TRUE(mesh.Fixed[1][0] && mesh.Fixed[2][1]);
    // Ctrl+Z on the mesh tab takes the fix back, not a section edit.
    const QString picture = Window->PicturePath;
    QTest::keyClick(Inversion->InvertButton, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(mesh.Fixed[1][0] || mesh.Fixed[2][1]);
    EXPECT_EQ(mesh.LastCol + 1, columns - 1);
    EXPECT_EQ(Window->PicturePath, picture);
    // The selection came back with the undo step; fix it again.
    for (int c = 1; c <= 2; ++c)
        for (int r = 0; r <= 1; ++r)
            mesh.Selected[c][r] = true;
    QTest::mouseClick(Inversion->FixButton, Qt::LeftButton);
    ASSERT_TRUE(mesh.Fixed[1][0] && mesh.Fixed[2][1]);
    SaveScreenshot(*Inversion, QStringLiteral("inversion-mesh"));

    // Another block, limited through the dialog, typed as a user does.
    mesh.ClearSelection();
    const int right = mesh.LastCol - 2;
    for (int r = 0; r <= 1; ++r)
        mesh.Selected[right][r] = true;
    AnswerModal<QDialog>([&] { QTest::mouseClick(Inversion->LimitsButton, Qt::LeftButton); },
                         [&](QDialog& Dialog) {
                             TypeInto(Dialog.findChild<QLineEdit*>(QStringLiteral("LowestEdit")), QStringLiteral("100"));
                             TypeInto(Dialog.findChild<QLineEdit*>(QStringLiteral("HighestEdit")), QStringLiteral("110"));
                             QTest::keyClick(&Dialog, Qt::Key_Return);
                         });
    EXPECT_EQ(mesh.Limits[right][0], (complexM{100.0, 110.0}));
    EXPECT_FALSE(mesh.Fixed[right][0]);
    // Escape in the dialog changes nothing.
    AnswerModal<QDialog>([&] { QTest::mouseClick(Inversion->LimitsButton, Qt::LeftButton); },
                         [&](QDialog& Dialog) {
                             TypeInto(Dialog.findChild<QLineEdit*>(QStringLiteral("LowestEdit")), QStringLiteral("1"));
                             QTest::keyClick(&Dialog, Qt::Key_Escape);
                         });
    EXPECT_EQ(mesh.Limits[right][0], (complexM{100.0, 110.0}));
    // Limits the wrong way round are refused with a word; nothing changes.
    EXPECT_FALSE(Inversion->LimitSelectedCells(200.0, 150.0));
    EXPECT_EQ(mesh.Limits[right][0], (complexM{100.0, 110.0}));
    mesh.ClearSelection();
    EXPECT_FALSE(Inversion->FixSelectedCells(true));
    EXPECT_TRUE(Inversion->StateLabel->text().contains(QStringLiteral("Select cells"))) << Inversion->StateLabel->text().toStdString();

    const TInversionChartData edited = ChartCells(mesh);
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    const TInversionPicture& result = *Inversion->Picture();
    const TInversionMesh expected = ChartInversionMesh(edited);
    EXPECT_EQ(result.Mesh.ColumnEdges, expected.ColumnEdges);
    EXPECT_EQ(result.Mesh.RowDepths, expected.RowDepths);
    EXPECT_EQ(result.Mesh.Columns(), columns - 1);
    const auto cell = [&](int C, int R) { return result.Resistivities.at(static_cast<size_t>(R * result.Mesh.Columns() + C)); };
    EXPECT_EQ(cell(1, 0), median);
    EXPECT_EQ(cell(2, 1), median);
    for (int r = 0; r <= 1; ++r) {
        EXPECT_GE(cell(right, r), 100.0);
        EXPECT_LE(cell(right, r), 110.0);
    }
    // The result shows on its own tab; the mesh chart keeps the user's edits.
    EXPECT_EQ(Inversion->ChartTabs->currentIndex(), 1);
    EXPECT_TRUE(mesh.Fixed[1][0]);
    // The tabs by their mnemonics; the chargeability tab stays shut without
    // IP data.
    Inversion->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Inversion, 5000);
    QTest::keyClick(Inversion, Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(Inversion->ChartTabs->currentIndex(), 0);
    QTest::keyClick(Inversion, Qt::Key_Y, Qt::AltModifier);
    EXPECT_EQ(Inversion->ChartTabs->currentIndex(), 1);
    QTest::keyClick(Inversion, Qt::Key_H, Qt::AltModifier);
    EXPECT_EQ(Inversion->ChartTabs->currentIndex(), 1);
}

// Selection > Rectangular selection dragged over cells (C1, R1) .. (C2, R2)
// of the mesh chart, then Fix.
void FixBlock(TInversionWindow& Inversion, int C1, int R1, int C2, int R2)
{
    TTModelSection2d& mesh = *Inversion.MeshChart;
    QWidget* host = mesh.Widget();
    host->repaint();
    mesh.ClearSelection();
    mesh.SelectionMenuClick(1);
    MoveOver(host, CellPixel(mesh, C1, R1));
    QTest::mousePress(host, Qt::LeftButton, {}, CellPixel(mesh, C1, R1));
    MoveOver(host, CellPixel(mesh, C2, R2), Qt::LeftButton);
    QTest::mouseRelease(host, Qt::LeftButton, {}, CellPixel(mesh, C2, R2));
    ASSERT_TRUE(mesh.Selected[C1][R1] && mesh.Selected[C2][R2]);
    QTest::mouseClick(Inversion.FixButton, Qt::LeftButton);
    ASSERT_TRUE(mesh.Fixed[C1][R1] && mesh.Fixed[C2][R2]);
}

bool AnyCellFixed(const TTModelSection2d& Mesh)
{
    for (int c = 0; c <= Mesh.LastCol; ++c)
        for (int r = 0; r <= Mesh.LastRow; ++r)
            if (Mesh.Fixed[c][r])
                return true;
    return false;
}

// Guards a crash: chargeability data whose inversion holds every cell at a
// bound (negative apparent chargeabilities), Start from the section, a band
// of cells fixed on the mesh tab, Invert: the bounded solve was handed an
// empty system and the program died.
TEST_F(InversionWindowTest, ChargeabilitiesHeldAtTheirBoundsWithFixedCellsInvert)
{
    ASSERT_NO_FATAL_FAILURE(Open(1, true, -5.0));
    if (!Inversion->StartFromSectionBox->isChecked())
        QTest::mouseClick(Inversion->StartFromSectionBox, Qt::LeftButton);
    TTModelSection2d& mesh = *Inversion->MeshChart;
    ASSERT_NO_FATAL_FAILURE(FixBlock(*Inversion, 0, 1, mesh.LastCol, 1));
    const double fixedValue = mesh.CellValue(2, 1);
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    QTest::mouseClick(Inversion->StartFromSectionBox, Qt::LeftButton);
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    const TSurveyInversion& result = *Inversion->Result();
    ASSERT_EQ(result.Chargeabilities.size(), result.Resistivities.size());
    // Negative apparent chargeabilities: most cells held at 0, the rest
    // where the sensitivity is negative; none outside 0 .. < 100 %.
    for (double eta : result.Chargeabilities) {
        EXPECT_GE(eta, 0.0);
        EXPECT_LT(eta, 100.0);
    }
    EXPECT_EQ(result.Resistivities.at(static_cast<size_t>(mesh.LastCol + 1 + 2)), fixedValue);
    EXPECT_TRUE(Inversion->ChartTabs->isTabEnabled(2));
    // One iteration asked for, one named in the singular.
    ASSERT_EQ(result.Steps.back().Iteration, 1);
    EXPECT_TRUE(Inversion->StateLabel->text().contains(QStringLiteral(" cells, 1 iteration: "))) << Inversion->StateLabel->text().toStdString();
    // No phases inverted: neither their χ² nor its column.
    EXPECT_FALSE(Inversion->StateLabel->text().contains(QStringLiteral("phases")));
    EXPECT_TRUE(Inversion->IterationTable->isColumnHidden(4));
}

// Data cleaned in the forward window reach the inversion window on the
// same electrodes: an edited mesh stays, the data are the kept ones; a mesh
// not edited is laid anew.
TEST_F(InversionWindowTest, CleanedDataKeepAnEditedMesh)
{
    ASSERT_NO_FATAL_FAILURE(Open(1));
    TForwardResponseWindow& forward = *Window->ForwardWindow;
    const size_t count = Inversion->MeasuredData()->Size();
    forward.SelectData({0});
    ASSERT_EQ(forward.RemoveSelected(), 1u);
    ASSERT_EQ(Inversion->MeasuredData(), forward.MeasuredData());
    EXPECT_EQ(Inversion->MeasuredData()->Size(), count - 1);
    const TInversionChartData laid = ChartCells(*Inversion->MeshChart);

    Inversion->ErrorEdit->setText(QStringLiteral("7"));
    ASSERT_NO_FATAL_FAILURE(FixBlock(*Inversion, 1, 0, 2, 1));
    const TInversionChartData edited = ChartCells(*Inversion->MeshChart);
    ASSERT_FALSE(edited == laid);
    forward.SelectData({1, 2});
    ASSERT_EQ(forward.RemoveSelected(), 2u);
    ASSERT_EQ(Inversion->MeasuredData(), forward.MeasuredData());
    EXPECT_EQ(Inversion->MeasuredData()->Size(), count - 3);
    EXPECT_TRUE(ChartCells(*Inversion->MeshChart) == edited);
    EXPECT_EQ(Inversion->ErrorEdit->text(), QStringLiteral("7"));
    EXPECT_TRUE(Inversion->DataLabel->text().contains(DatumCount(static_cast<long long>(count - 3))));
}

// Guards the mesh laid anew at every Modelling > Invert...: the window
// compared its copy of the data with the forward window's, which never
// matched, and lost the fixed cells, the limits and the mesh tab's undo.
TEST_F(InversionWindowTest, InvertAgainWithTheSameDataKeepsTheEditedMesh)
{
    ASSERT_NO_FATAL_FAILURE(Open(1));
    TTModelSection2d& mesh = *Inversion->MeshChart;
    ASSERT_NO_FATAL_FAILURE(FixBlock(*Inversion, 1, 0, 2, 1));
    mesh.ClearSelection();
    mesh.Selected[4][0] = true;
    ASSERT_TRUE(Inversion->LimitSelectedCells(100.0, 110.0));
    const TInversionChartData edited = ChartCells(mesh);
    Activate();
    ExpectNoQuestion([this] { InvertAgain(); });
    EXPECT_TRUE(ChartCells(mesh) == edited);
    // The undo steps are there still: Ctrl+Z on the mesh tab takes the
    // limits back, the fixed cells stay.
    Inversion->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Inversion, 5000);
    QTest::keyClick(Inversion->InvertButton, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(mesh.Limits[4][0], complexM{});
    EXPECT_TRUE(mesh.Fixed[1][0] && mesh.Fixed[2][1]);

    // The same measurements read again (the file opened anew, under another
    // name too) are the same data: the edited mesh stays.
    const TInversionChartData fixed = ChartCells(mesh);
    const QString copy = Folder.filePath(QStringLiteral("copy.dat"));
    ASSERT_TRUE(QFile::copy(Folder.filePath(QStringLiteral("measured.dat")), copy));
    OpenInForwardWindowAndInvertAgain(copy);
    EXPECT_TRUE(ChartCells(mesh) == fixed);
    EXPECT_TRUE(Inversion->DataLabel->text().startsWith(QStringLiteral("Data of copy.dat"))) << Inversion->DataLabel->text().toStdString();
}

// The model area changed under an edited mesh: Modelling > Invert... asks
// whether to keep it (kept, and not asked again) or lay a new one over the
// new area; a mesh not edited is laid anew without a word, and so is a
// mesh for new data.
TEST_F(InversionWindowTest, AChangedModelAreaAsksBeforeTheEditedMeshGoes)
{
    ASSERT_NO_FATAL_FAILURE(Open(1));
    TTModelSection2d& mesh = *Inversion->MeshChart;
    ASSERT_NO_FATAL_FAILURE(FixBlock(*Inversion, 1, 0, 2, 1));
    const TInversionChartData edited = ChartCells(mesh);
    const double right = Chart().ModelArea.right;

    ASSERT_NO_FATAL_FAILURE(SetModelAreaRight(right + 50.0));
    QString question;
    Activate();
    AnswerModal<QMessageBox>([this] { InvertAgain(); },
                             [&](QMessageBox& Box) {
                                 question = Box.text();
                                 SaveScreenshot(Box, QStringLiteral("inversion-area-question"));
                                 QTest::mouseClick(Box.findChild<QPushButton*>(QStringLiteral("KeepMeshButton")),
                                                   Qt::LeftButton);
                             });
    EXPECT_TRUE(question.contains(QStringLiteral("model area has changed"))) << question.toStdString();
    EXPECT_TRUE(ChartCells(mesh) == edited);
    Activate();
    ExpectNoQuestion([this] { InvertAgain(); });
    EXPECT_TRUE(ChartCells(mesh) == edited);

    // Changed again, and a new mesh asked for: the default mesh over the
    // new area, what New mesh lays.
    ASSERT_NO_FATAL_FAILURE(SetModelAreaRight(right + 100.0));
    Activate();
    AnswerModal<QMessageBox>([this] { InvertAgain(); },
                             [](QMessageBox& Box) {
                                 QTest::mouseClick(Box.findChild<QPushButton*>(QStringLiteral("NewMeshButton")),
                                                   Qt::LeftButton);
                             });
    EXPECT_FALSE(AnyCellFixed(mesh));
    const TInversionChartData relaid = ChartCells(mesh);
    EXPECT_FALSE(relaid == edited);
    QTest::mouseClick(Inversion->NewMeshButton, Qt::LeftButton);
    EXPECT_TRUE(ChartCells(mesh) == relaid);

    // Not edited since: a changed area lays the new mesh without asking.
    ASSERT_NO_FATAL_FAILURE(SetModelAreaRight(right));
    Activate();
    ExpectNoQuestion([this] { InvertAgain(); });
    const TInversionChartData overArea = ChartCells(mesh);
    EXPECT_FALSE(overArea == relaid);
    QTest::mouseClick(Inversion->NewMeshButton, Qt::LeftButton);
    EXPECT_TRUE(ChartCells(mesh) == overArea);

    // New data (another file opened in the forward window, with
    // chargeabilities) lay a new mesh over an edited one without asking.
    ASSERT_NO_FATAL_FAILURE(FixBlock(*Inversion, 1, 0, 2, 1));
    const QString again = WriteMeasuredFile(true, 12.0, QStringLiteral("again.dat"));
    OpenInForwardWindowAndInvertAgain(again);
    EXPECT_FALSE(AnyCellFixed(mesh));
    EXPECT_TRUE(Inversion->DataLabel->text().startsWith(QStringLiteral("Data of again.dat"))) << Inversion->DataLabel->text().toStdString();
}

// New mesh lays the default mesh again; Start from the section fills the
// free cells with the section's resistivities, and the inversion starts
// there (its first row in the table is that model's misfit).
TEST_F(InversionWindowTest, NewMeshAndStartingValuesFromTheSection)
{
    ASSERT_NO_FATAL_FAILURE(Open(1));
    TTModelSection2d& mesh = *Inversion->MeshChart;
    const int columns = mesh.LastCol + 1;
    mesh.RemoveColBound(2, true);
    ASSERT_EQ(mesh.LastCol + 1, columns - 1);
    QTest::mouseClick(Inversion->NewMeshButton, Qt::LeftButton);
    EXPECT_EQ(mesh.LastCol + 1, columns);
    if (Inversion->StartFromSectionBox->isChecked())
        QTest::mouseClick(Inversion->StartFromSectionBox, Qt::LeftButton);
    mesh.Selected[0][0] = true;
    QTest::mouseClick(Inversion->FixButton, Qt::LeftButton);
    double fixedValue = 333.0;
    mesh.SetCellValue(0, 0, fixedValue);
    QTest::mouseClick(Inversion->StartFromSectionBox, Qt::LeftButton);
    ASSERT_TRUE(Inversion->StartFromSectionBox->isChecked());
    // The section's values where the cells lie: more than one value, the
    // fixed cell unchanged.
    EXPECT_EQ(mesh.CellValue(0, 0), 333.0);
    std::set<double> values;
    for (int c = 0; c <= mesh.LastCol; ++c)
        for (int r = 0; r <= mesh.LastRow; ++r)
            values.insert(mesh.CellValue(c, r));
    EXPECT_GE(values.size(), 3u);
    const TInversionChartData start = ChartCells(mesh);
    // Unchecked: the data's median again, the fixed cell still unchanged.
    QTest::mouseClick(Inversion->StartFromSectionBox, Qt::LeftButton);
    EXPECT_EQ(mesh.CellValue(mesh.LastCol, mesh.LastRow), MedianResistivity(*Inversion->MeasuredData()));
    EXPECT_EQ(mesh.CellValue(0, 0), 333.0);
    // Ctrl+Z on the mesh tab: the section's values again.
    QTest::keyClick(Inversion->InvertButton, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ChartCells(mesh).Values, start.Values);
    QTest::mouseClick(Inversion->StartFromSectionBox, Qt::LeftButton);
    ASSERT_TRUE(Inversion->StartFromSectionBox->isChecked());
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    EXPECT_EQ(Inversion->Result()->Resistivities.front(), 333.0);
    QTest::mouseClick(Inversion->StartFromSectionBox, Qt::LeftButton);
}

// A body marked as water: the mesh laid with the section fixes the cells
// whose centres lie in it at the measured water resistivity, and the
// inversion keeps them there.
TEST_F(InversionWindowTest, WaterIsHeldInTheLaidMeshAndTheInversion)
{
    ASSERT_NO_FATAL_FAILURE(Open(1));
    const TRingRef water{1, 0};
    ASSERT_TRUE(SetRingsParameter(Chart(), psWater, {{water, ParamValue(1.0)}}));
    ASSERT_TRUE(SetRingsParameter(Chart(), psWaterResistivity, {{water, ParamValue(42.0)}}));
    QTest::mouseClick(Inversion->NewMeshButton, Qt::LeftButton);
    TTModelSection2d& chart = *Inversion->MeshChart;
    const TInversionMesh mesh = ChartInversionMesh(ChartCells(chart));
    const arofintM& ring = Chart().Model[water.Body][water.Ring].ring;
    int held = 0, inside = 0;
    for (int cell = 0; cell < mesh.Cells(); ++cell) {
        const int c = cell % mesh.Columns(), r = cell / mesh.Columns();
        const TGeometryPoint centre = CellCentre(mesh, cell);
        const bool in = PointInRing(complexM{centre.x, -centre.y}, ring, Chart().Nodes);
        inside += in ? 1 : 0;
        EXPECT_EQ(bool(chart.Fixed[c][r]), in) << "cell " << c << ", " << r;
        if (chart.Fixed[c][r]) {
            ++held;
            EXPECT_EQ(chart.CellValue(c, r), 42.0);
        }
    }
    EXPECT_GT(held, 0);
    EXPECT_EQ(held, inside);
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    for (int cell = 0; cell < mesh.Cells(); ++cell)
        if (chart.Fixed[cell % mesh.Columns()][cell / mesh.Columns()]) {
            EXPECT_EQ(Inversion->Result()->Resistivities.at(static_cast<size_t>(cell)), 42.0);
        }
}

// Water marked in the table of regions after the mesh was laid was not
// held (its cells came out free), a water resistivity typed later was not
// followed, and the image inverted before stood as current. Invert holds
// the water as the table marks it when it is pressed; an image of other
// water than the section's now is said not to be current.
TEST_F(InversionWindowTest, WaterMarkedAfterTheMeshIsLaidIsHeldAndAnImageWithoutItIsNotCurrent)
{
    ASSERT_NO_FATAL_FAILURE(OpenSixteenElectrodes(1));
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    EXPECT_EQ(Inversion->WaterCellsHeld(), 0);
    Activate();
    ChooseFromMenuBar(Window->Regions1);
    ASSERT_NE(Window->RegionsWindow, nullptr);
    QTableView& table = *Window->RegionsWindow->Table;
    const double body = Chart().Model[1][0].params[psResistivity].AsReal();
    struct TStep {
        int Column;
        const char* Typed;
        std::optional<double> Held; // the water's cells after Invert; none: free
    };
    for (const TStep& step : {TStep{rcWater, "yes", body}, TStep{rcWaterResistivity, "60", 60.0},
                              TStep{rcWater, "no", std::nullopt}}) {
        TypeIntoTableCell(table, 1, step.Column, QString::fromLatin1(step.Typed));
        EXPECT_TRUE(Inversion->WaterStale()) << step.Typed;
        EXPECT_TRUE(Inversion->StateLabel->text().startsWith(QStringLiteral("Not current"))) << step.Typed;
        Inversion->activateWindow();
        ASSERT_NO_FATAL_FAILURE(ClickInvert());
        WaitForEnd();
        ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
        EXPECT_FALSE(Inversion->WaterStale());
        const TInversionMesh& mesh = Inversion->Picture()->Mesh;
        const arofintM& ring = Chart().Model[1][0].ring;
        int inside = 0;
        for (int cell = 0; cell < mesh.Cells(); ++cell) {
            const TGeometryPoint centre = CellCentre(mesh, cell);
            if (!PointInRing(complexM{centre.x, -centre.y}, ring, Chart().Nodes))
                continue;
            ++inside;
            const double value = Inversion->Result()->Resistivities.at(static_cast<size_t>(cell));
            if (step.Held)
                EXPECT_EQ(value, *step.Held) << step.Typed << ", cell " << cell;
            else
                EXPECT_NE(value, body) << step.Typed << ", cell " << cell;
        }
        EXPECT_GT(inside, 0);
        EXPECT_EQ(Inversion->WaterCellsHeld(), step.Held ? inside : 0) << step.Typed;
        EXPECT_EQ(Inversion->StateLabel->text().contains(QStringLiteral("water held")), step.Held.has_value());
        Activate();
    }
}

// A well log at x, depths 2 .. 60 m of 130 ohm-m (one of them Bad when
// given), as Options > Carotage data... reads it.
void LoadWellLog(MainWindow& Test, double X, const QString& Caption, std::optional<double> Bad = std::nullopt)
{
    QString samples;
    for (int depth = 2; depth <= 60; depth += 2)
        samples += QStringLiteral("%1 %2\n").arg(depth).arg(Bad && depth == 30 ? *Bad : 130.0);
    const QString log = Test.Folder.filePath(QStringLiteral("well.log")), list = Test.Folder.filePath(QStringLiteral("wells.crt"));
    QString error;
    ASSERT_TRUE(SaveBytesAtomically(log, samples.toUtf8(), error)) << error.toStdString();
    ASSERT_TRUE(SaveBytesAtomically(list, QStringLiteral("well.log\n%1\n%2 5 0 0 0 0 0\n").arg(Caption).arg(X).toUtf8(), error));
    CommonDialogService().ExecuteOpen = [list](TOpenDialogRequest& Request) {
        Request.FileName = list;
        return true;
    };
    Test.Activate();
    Test.ChooseFromMenuBar(Test.Window->Carotagedata1);
    ResetCommonDialogService();
}

// The Known geology page by the keyboard: the section's line and its
// bodies' boundaries ticked and weighted, the mesh chart's cut edges, a
// well log ticked as resistivity (refused while it holds a negative value,
// naming it), the choices kept in the user's settings.
TEST_F(InversionWindowTest, LinesBoundariesAndWellLogsAreChosenByKeysAndKept)
{
    ASSERT_NO_FATAL_FAILURE(Open(2));
    QTableWidget& table = *Inversion->Constraints->BoundaryTable;
    ASSERT_EQ(table.rowCount(), 4); // the line, the sandstone, the clay, the lens
    EXPECT_EQ(table.item(0, 0)->text(), QStringLiteral("Line 1"));
    EXPECT_EQ(table.item(2, 0)->text(), QStringLiteral("Boundary of Clay"));
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(table.item(row, 0)->checkState(), Qt::Checked); // new: ticked at 0
        EXPECT_EQ(table.item(row, 1)->text(), QStringLiteral("0"));
    }
    if (!Inversion->ConstrainBox->isChecked())
        QTest::keyClick(Inversion, Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(Inversion->ConstrainBox->isChecked(), 2000);
    const size_t allCut = Inversion->CutEdgesShown().size();
    EXPECT_GT(allCut, 0u);

    // Alt+K: the page, the keyboard in its first list. Down to the clay: Space unticks it.
    QTest::keyClick(Inversion, Qt::Key_K, Qt::AltModifier);
    ASSERT_EQ(Inversion->PanelTabs->currentIndex(), 1);
    ASSERT_EQ(QApplication::focusWidget(), &table);
    QTest::keyClick(&table, Qt::Key_Down);
    QTest::keyClick(&table, Qt::Key_Down);
    QTest::keyClick(&table, Qt::Key_Space);
    EXPECT_EQ(table.item(2, 0)->checkState(), Qt::Unchecked);
    EXPECT_LT(Inversion->CutEdgesShown().size(), allCut);
    // The sandstone's weight typed: half the smoothing kept across it.
    // F2 opens the weight's field, its text selected; Return puts it in.
    const auto typeWeight = [&table](const QString& Weight) {
        QTest::keyClick(&table, Qt::Key_F2);
        QLineEdit* field = nullptr;
        for (QLineEdit* open : table.viewport()->findChildren<QLineEdit*>())
            field = open->isVisible() ? open : field;
        ASSERT_NE(field, nullptr);
        QTest::keyClicks(field, Weight);
        const QPointer<QLineEdit> open(field);
        QTest::keyClick(field, Qt::Key_Return);
        // The view takes the field's text a moment later, and may delete
        // the field when it closes it.
        QTRY_VERIFY_WITH_TIMEOUT(!open || !open->isVisible(), 2000);
    };
    QTest::keyClick(&table, Qt::Key_Up);
    QTest::keyClick(&table, Qt::Key_Right);
    ASSERT_NO_FATAL_FAILURE(typeWeight(QStringLiteral("0.5")));
    EXPECT_EQ(table.item(1, 1)->text(), QStringLiteral("0.5"));
    // A weight beyond 1 refuses the run, naming the boundary.
    QTest::keyClick(&table, Qt::Key_Down);
    QTest::keyClick(&table, Qt::Key_Down);
    ASSERT_NO_FATAL_FAILURE(typeWeight(QStringLiteral("2")));
    EXPECT_EQ(table.item(3, 1)->text(), QStringLiteral("2"));
    QTest::mouseClick(Inversion->InvertButton, Qt::LeftButton);
    EXPECT_FALSE(Inversion->Busy());
    EXPECT_TRUE(Inversion->StateLabel->text().contains(QStringLiteral("Boundary of Lens")))
        << Inversion->StateLabel->text().toStdString();
    table.item(3, 1)->setText(QStringLiteral("1"));

    // A log: listed unticked; Alt+J and Space tick it as resistivity.
    const std::vector<TElectrode>& electrodes = Inversion->MeasuredData()->Electrodes;
    const double well = (electrodes.front().x + electrodes.back().x) / 2 + 3.0;
    ASSERT_NO_FATAL_FAILURE(LoadWellLog(*this, well, QStringLiteral("B1 resistivity"), -4.0));
    QTableWidget& logs = *Inversion->Constraints->LogTable;
    ASSERT_EQ(logs.rowCount(), 1);
    EXPECT_EQ(logs.item(0, 0)->checkState(), Qt::Unchecked);
    Inversion->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Inversion, 5000);
    QTest::keyClick(Inversion, Qt::Key_J, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), &logs);
    QTest::keyClick(&logs, Qt::Key_Space);
    EXPECT_EQ(logs.item(0, 0)->checkState(), Qt::Checked);
    // Its negative value: refused by its name, no run.
    QTest::mouseClick(Inversion->InvertButton, Qt::LeftButton);
    EXPECT_FALSE(Inversion->Busy());
    EXPECT_TRUE(Inversion->StateLabel->text().contains(QStringLiteral("\"B1 resistivity\"")))
        << Inversion->StateLabel->text().toStdString();

    // The log's reach typed: Alt+J to the list, Tab to the error, Tab to the reach.
    QTest::keyClick(Inversion, Qt::Key_J, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), &logs);
    QTest::keyClick(&logs, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), Inversion->Constraints->LogErrorEdit);
    QTest::keyClick(Inversion->Constraints->LogErrorEdit, Qt::Key_Tab);
    QLineEdit* reach = Inversion->Constraints->LogReachEdit;
    ASSERT_EQ(QApplication::focusWidget(), reach);
    EXPECT_EQ(reach->text(), QStringLiteral("6")); // the default: six electrode spacings
    reach->selectAll();
    QTest::keyClicks(reach, QStringLiteral("3"));
    QTest::keyClick(reach, Qt::Key_Return);

    // The choices come back from the settings: the lists laid anew, and a new page.
    Inversion->ShowConstraints();
    TInversionConstraints fresh(nullptr);
    const TForwardModel ground = PrepareForwardModel(Chart().Model, Chart().Nodes, Chart().ModelArea, 100.0);
    fresh.ShowSection(&ground, Chart().Model, Chart().Lines);
    fresh.ShowLogs(&Window->Carotage->Logs);
    for (QTableWidget* shown : {&table, fresh.BoundaryTable}) {
        EXPECT_EQ(shown->item(0, 0)->checkState(), Qt::Checked);
        EXPECT_EQ(shown->item(1, 1)->text(), QStringLiteral("0.5"));
        EXPECT_EQ(shown->item(2, 0)->checkState(), Qt::Unchecked);
    }
    EXPECT_EQ(fresh.LogTable->item(0, 0)->checkState(), Qt::Checked);
    EXPECT_EQ(fresh.LogReachEdit->text(), QStringLiteral("3"));
    const TStructuralConstraint choice = fresh.Choice();
    ASSERT_EQ(choice.Lines.size(), 1u);
    EXPECT_EQ(choice.Lines[0].Weight, 0.0);
    ASSERT_EQ(choice.ZoneWeights.size(), 4u);
    EXPECT_EQ(choice.ZoneWeights, (std::vector<double>{1.0, 0.5, 1.0, 1.0}));

    // The log mended (read again, still ticked by its name): the run uses it and says its χ².
    ASSERT_NO_FATAL_FAILURE(LoadWellLog(*this, well, QStringLiteral("B1 resistivity")));
    EXPECT_EQ(logs.item(0, 0)->checkState(), Qt::Checked);
    // A reach below 0 refuses the run, saying so.
    reach->setText(QStringLiteral("-1"));
    QTest::mouseClick(Inversion->InvertButton, Qt::LeftButton);
    EXPECT_FALSE(Inversion->Busy());
    EXPECT_TRUE(Inversion->StateLabel->text().contains(QStringLiteral("reach"))) << Inversion->StateLabel->text().toStdString();
    reach->setText(QStringLiteral("3"));
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    EXPECT_FALSE(Inversion->Result()->Prior.Cells.empty());
    // The typed reach is the run's: the log's data reach beside the well, less than three spacings from it.
    std::vector<double> electrodeX;
    for (const TElectrode& electrode : electrodes)
        electrodeX.push_back(electrode.x);
    const std::vector<double>& distances = Inversion->Result()->Prior.Distances;
    ASSERT_FALSE(distances.empty());
    EXPECT_GT(*std::max_element(distances.begin(), distances.end()), 0.0);
    EXPECT_LT(*std::max_element(distances.begin(), distances.end()), 3.0 * MedianGap(electrodeX));
    EXPECT_TRUE(Inversion->StateLabel->text().contains(QStringLiteral("well logs"))) << Inversion->StateLabel->text().toStdString();
    // The cells meet along the ticked line: its rows bent onto it, and the
    // image chart shows the mesh the run used.
    ASSERT_TRUE(Inversion->Picture().has_value());
    const TInversionMesh& used = Inversion->Picture()->Mesh;
    EXPECT_FALSE(used.Shifts.empty());
    EXPECT_EQ(ChartInversionMesh(ChartCells(*Inversion->ModelChart)).Shifts.size(), used.Shifts.size());
    const TConstraintLine line = choice.Lines[0];
    int onBoundary = 0, crossed = 0;
    for (int edge = 0; edge <= used.Columns(); ++edge) {
        const double x = used.ColumnEdges[static_cast<size_t>(edge)];
        for (size_t i = 0; i + 1 < line.Points.size(); ++i) {
            const TGeometryPoint p = line.Points[i], q = line.Points[i + 1];
            if (std::min(p.x, q.x) >= x || std::max(p.x, q.x) <= x || std::fabs(q.y - p.y) > std::fabs(q.x - p.x))
                continue;
            const double y = p.y + (q.y - p.y) * (x - p.x) / (q.x - p.x);
            ++crossed;
            for (int k = 1; k < used.Rows(); ++k)
                if (std::fabs(RowBoundaryY(used, edge, k) - y) < 1e-6) {
                    ++onBoundary;
                    break;
                }
        }
    }
    EXPECT_GT(crossed, 0);
    // Where the line runs close to a boundary or a log's contact, the rows cannot take both (growth within 2).
    EXPECT_GT(onBoundary, crossed / 2) << onBoundary << " of " << crossed;
    // At the window's opening size the page shows its last fields (the
    // log's error and reach) without scrolling: they had been cut off.
    const auto* page = Inversion->findChild<QScrollArea*>(QStringLiteral("ConstraintsScroll"));
    ASSERT_NE(page, nullptr);
    SettleLayouts();
    EXPECT_LE(Inversion->Constraints->minimumSizeHint().height(), page->viewport()->height())
        << Inversion->width() << "x" << Inversion->height();
    SaveScreenshot(*Inversion, QStringLiteral("inversion-constrained"));

    // Without the constraint and the log: straight rows, the image of the data alone (the manual's other screen).
    QTest::mouseClick(Inversion->ConstrainBox, Qt::LeftButton);
    ASSERT_FALSE(Inversion->ConstrainBox->isChecked());
    logs.item(0, 0)->setCheckState(Qt::Unchecked);
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Picture().has_value()) << Inversion->ErrorText().toStdString();
    EXPECT_TRUE(Inversion->Picture()->Mesh.Shifts.empty());
    SaveScreenshot(*Inversion, QStringLiteral("inversion-unconstrained"));
}

// With chargeability data the chargeability tab shows the inverted
// chargeabilities; Fade by coverage whitens the cells the data see little
// in both charts, and the resistivities stay what they are.
TEST_F(InversionWindowTest, ChargeabilityChartAndFadingByCoverage)
{
    ASSERT_NO_FATAL_FAILURE(Open(1, true));
    EXPECT_FALSE(Inversion->ChartTabs->isTabEnabled(2));
    if (Inversion->FadeBox->isChecked())
        QTest::mouseClick(Inversion->FadeBox, Qt::LeftButton);
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    const TSurveyInversion& result = *Inversion->Result();
    ASSERT_EQ(result.Chargeabilities.size(), result.Resistivities.size());
    EXPECT_TRUE(Inversion->ChartTabs->isTabEnabled(2));
    TTModelSection2d& eta = *Inversion->ChargeabilityChart;
    const TInversionMesh& mesh = Inversion->Picture()->Mesh;
    for (int r = 0; r < mesh.Rows(); ++r)
        for (int c = 0; c < mesh.Columns(); ++c) {
            const double value = result.Chargeabilities[static_cast<size_t>(r * mesh.Columns() + c)];
            EXPECT_NEAR(eta.CellValue(c, r), std::max(value, MinCellValue), 1e-9 * std::max(value, 1.0));
        }
    EXPECT_EQ(eta.ScaleMode, 0);
    EXPECT_EQ(eta.ScaleMin, 0.0);
    EXPECT_TRUE(eta.CellFade.Length() == 0);
    // The least covered cell and the best covered one.
    const auto least = std::min_element(result.Coverage.begin(), result.Coverage.end()) - result.Coverage.begin();
    const int c = static_cast<int>(least) % mesh.Columns(), r = static_cast<int>(least) / mesh.Columns();
    TTModelSection2d& rho = *Inversion->ModelChart;
    const TColor plain = rho.ShownCellColor(c, r);
    QTest::mouseClick(Inversion->FadeBox, Qt::LeftButton);
    ASSERT_EQ(rho.CellFade.Length(), mesh.Columns());
    const double fade = FadeOfCoverage(result.Coverage[static_cast<size_t>(least)]);
    ASSERT_GT(fade, 0.2);
    EXPECT_EQ(rho.ShownCellColor(c, r), FadedColor(plain, fade));
    EXPECT_EQ(eta.CellFade.Length(), mesh.Columns());
    EXPECT_EQ(rho.CellValue(c, r), result.Resistivities[static_cast<size_t>(least)]);
    // The picture drawn: the faded cell's pixel is lighter than before.
    rho.Widget()->repaint();
    const QImage faded = rho.Widget()->grab().toImage();
    QTest::mouseClick(Inversion->FadeBox, Qt::LeftButton);
    EXPECT_EQ(rho.CellFade.Length(), 0);
    EXPECT_EQ(rho.ShownCellColor(c, r), plain);
    (void)faded;
    // The chargeability chart is offered for printing and export.
    Inversion->ChartTabs->setCurrentIndex(2);
    SaveScreenshot(*Inversion, QStringLiteral("inversion-chargeability"));
}

// Guards an old inversion kept after the data change and laid under the
// wrong section: a survey inverted, File > New from data with another file
// (Discard), Modelling > Invert...: the header named the new data while
// the image, the table and the three charts were the first survey's, and
// Use as underlay laid the old image under the new section. The result
// goes with its data: none shown after the change, nor after closing and
// reopening the window, nor after the next run is cancelled.
TEST_F(InversionWindowTest, AnInversionGoesWhenTheDataChangeAndIsNeverLaidUnderAnotherSection)
{
    ASSERT_NO_FATAL_FAILURE(Open(1));
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    ASSERT_TRUE(Inversion->UnderlayButton->isEnabled());
    ASSERT_TRUE(Inversion->CalculatedChart->Widget()->isVisible());

    std::vector<TConfiguration> configurations;
    ASSERT_NO_FATAL_FAILURE(InvertOtherData(configurations));

    const auto expectNoResult = [this](const char* When) {
        SCOPED_TRACE(When);
        EXPECT_TRUE(Inversion->DataLabel->text().startsWith(QStringLiteral("Data of other.dat: 8 electrodes")))
            << Inversion->DataLabel->text().toStdString();
        EXPECT_FALSE(Inversion->Result().has_value());
        EXPECT_FALSE(Inversion->Picture().has_value());
        EXPECT_TRUE(Inversion->ModelImage().isNull());
        EXPECT_EQ(Inversion->IterationTable->rowCount(), 0);
        EXPECT_FALSE(Inversion->UnderlayButton->isEnabled());
        EXPECT_FALSE(Inversion->SaveButton->isEnabled());
        EXPECT_FALSE(Inversion->RemoveMisfitButton->isEnabled());
        EXPECT_FALSE(Inversion->ChartTabs->isTabEnabled(1));
        EXPECT_EQ(Inversion->ChartTabs->currentIndex(), 0);
        // The measured chart shows the new data; no response is shown.
        EXPECT_EQ(Inversion->MeasuredChart->VertexCount, static_cast<int>(Inversion->MeasuredData()->Size()));
        EXPECT_FALSE(Inversion->CalculatedChart->Widget()->isVisible());
        EXPECT_FALSE(Inversion->MisfitChart->Widget()->isVisible());
    };
    ASSERT_EQ(Inversion->MeasuredData()->Size(), configurations.size());
    expectNoResult("after New from data");
    // Use as underlay (as the main window offers it) lays nothing.
    EXPECT_FALSE(Window->UseInversionAsUnderlay());
    EXPECT_EQ(Window->ChartTool1->Picture()->Graphic(), nullptr);
    EXPECT_FALSE(Window->Modified());

    // Closed and opened again.
    Inversion->close();
    Activate();
    InvertAgain();
    expectNoResult("after closing and opening again");

    // The next run, cancelled after its first iteration: its model shows,
    // not the first survey's response.
    std::promise<void> release;
    HoldRunAtIteration(release, 0);
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    QTRY_VERIFY_WITH_TIMEOUT(Inversion->IterationTable->rowCount() == 1, 300000);
    Inversion->CancelInversion();
    release.set_value();
    WaitForEnd();
    EXPECT_FALSE(Inversion->Result().has_value());
    ASSERT_TRUE(Inversion->Picture().has_value());
    EXPECT_EQ(Inversion->Picture()->Mesh.ColumnEdges.front(), Chart().ModelArea.left);
    EXPECT_FALSE(Inversion->CalculatedChart->Widget()->isVisible());
    EXPECT_FALSE(Inversion->MisfitChart->Widget()->isVisible());
    // The cancelled run's image is of these data: laid under their section.
    EXPECT_TRUE(Window->UseInversionAsUnderlay());
    EXPECT_EQ(Window->PictureCorners[0], Inversion->ModelImageFrame().Left);
}

// The Phase tab: there only while the data hold phases, open once an
// inversion gave them, its cells the phases' magnitude in mrad; opened by a
// click on its tab.
// The chart tab named Phase.
int PhaseTabOf(const QTabWidget& Tabs)
{
    for (int t = 0; t < Tabs.count(); ++t)
        if (Tabs.tabText(t) == QStringLiteral("Phase"))
            return t;
    return -1;
}

TEST_F(InversionWindowTest, ResistivityDataShowNoPhaseTab)
{
    Start({Section});
    ASSERT_NO_FATAL_FAILURE(InvertFile(WriteMeasuredFile()));
    const int phaseTab = PhaseTabOf(*Inversion->ChartTabs);
    ASSERT_GE(phaseTab, 0);
    EXPECT_FALSE(Inversion->ChartTabs->isTabVisible(phaseTab));
    EXPECT_FALSE(Inversion->PhaseErrorEdit->isVisible()); // no phases to weigh
}

// The fixture's measured data with a phi column, -5 .. -7 mrad.
QString WritePhasedFile(const QString& Plain, const QString& Folder)
{
    QFile plain(Plain);
    if (!plain.open(QIODevice::ReadOnly))
        return QString();
    QStringList lines = QString::fromUtf8(plain.readAll()).split(QLatin1Char('\n'));
    bool rows = false;
    int datum = 0;
    for (QString& line : lines) {
        if (line.startsWith(QStringLiteral("# a b m n rhoa"))) {
            line += QStringLiteral(" phi");
            rows = true;
        } else if (rows && line.count(QLatin1Char(' ')) == 4) {
            line += QStringLiteral(" %1").arg(-5.0 - datum++ % 3);
        }
    }
    const QString phased = Folder + QStringLiteral("/phased.dat");
    QString error;
    return SaveBytesAtomically(phased, lines.join(QLatin1Char('\n')).toUtf8(), error) ? phased : QString();
}

// The phase error, reached with Tab from the DOI limit and typed by keys:
// 0 is refused with a sentence, 1.5 reaches the run's options and is kept
// for the next window.
TEST_F(InversionWindowTest, PhaseErrorTypedReachesTheRunAndIsKept)
{
    Start({Section});
    const QString phased = WritePhasedFile(WriteMeasuredFile(), Folder.path());
    ASSERT_FALSE(phased.isEmpty());
    ASSERT_NO_FATAL_FAILURE(InvertFile(phased));
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Inversion, 5000);
    ASSERT_TRUE(Inversion->PhaseErrorEdit->isVisible());
    EXPECT_EQ(Inversion->PhaseErrorEdit->text(), QStringLiteral("0.5"));
    // At the opening size the field and its label are whole, and the
    // window still fits a screen of 800 x 600 (a title bar's room left).
    SettleLayouts();
    for (QWidget* part : {static_cast<QWidget*>(Inversion->PhaseErrorEdit), static_cast<QWidget*>(Inversion->PhaseErrorLabel)})
        EXPECT_EQ(part->visibleRegion().boundingRect(), part->rect()) << part->metaObject()->className();
    EXPECT_LE(Inversion->minimumSizeHint().expandedTo(Inversion->minimumSize()).height(), 560);
    SaveScreenshot(*Inversion, QStringLiteral("inversion-phase-error"));
    TypeInto(Inversion->IterationsBox, QStringLiteral("1"));
    const auto typePhaseError = [this](const QString& Text) {
        Inversion->DoiLimitEdit->setFocus();
        QTest::keyClick(Inversion->DoiLimitEdit, Qt::Key_Tab);
        QTRY_VERIFY_WITH_TIMEOUT(Inversion->PhaseErrorEdit->hasFocus(), 2000);
        ASSERT_TRUE(Inversion->PhaseErrorEdit->hasFocus());
        QTest::keyClick(Inversion->PhaseErrorEdit, Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : Text) {
            QTest::keyPress(Inversion->PhaseErrorEdit, c.toLatin1());
            QTest::keyRelease(Inversion->PhaseErrorEdit, c.toLatin1());
        }
        QTest::keyClick(Inversion->PhaseErrorEdit, Qt::Key_Tab); // on to Sharp boundaries
        EXPECT_TRUE(Inversion->SharpBox->hasFocus());
    };
    // Beyond its range too (1e-300 weighed the phases beyond what a double holds).
    for (const QString& wrong : {QStringLiteral("0"), QStringLiteral("-1"), QStringLiteral("inf"),
                                 QStringLiteral("1e-300"), QStringLiteral("2000")}) {
        ASSERT_NO_FATAL_FAILURE(typePhaseError(wrong));
        QTest::mouseClick(Inversion->InvertButton, Qt::LeftButton);
        EXPECT_FALSE(Inversion->Busy()) << wrong.toStdString();
        EXPECT_EQ(Inversion->ErrorText().toStdString(),
                  "The phase error must be a number of mrad from 0.001 to 1000 (it serves the data whose file gives none).");
    }
    ASSERT_NO_FATAL_FAILURE(typePhaseError(QStringLiteral("1.5")));
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->RunOptions().has_value());
    EXPECT_EQ(Inversion->RunOptions()->PhaseErrorMrad, 1.5);
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    EXPECT_EQ(TInversionWindowSettings::Load().PhaseErrorMrad, QStringLiteral("1.5"));
    // The default again for the tests that follow.
    ASSERT_NO_FATAL_FAILURE(typePhaseError(QStringLiteral("0.5")));
    EXPECT_EQ(TInversionWindowSettings::Load().PhaseErrorMrad, QStringLiteral("0.5"));
}

TEST_F(InversionWindowTest, PhaseDataShowThePhaseTabWithTheMagnitudeInMrad)
{
    Start({Section});
    const QString phased = WritePhasedFile(WriteMeasuredFile(), Folder.path());
    ASSERT_FALSE(phased.isEmpty());
    ASSERT_NO_FATAL_FAILURE(InvertFile(phased));
    ASSERT_TRUE(HasPhases(*Inversion->MeasuredData()));
    QTabWidget& tabs = *Inversion->ChartTabs;
    const int phaseTab = PhaseTabOf(tabs);
    ASSERT_GE(phaseTab, 0);
    EXPECT_TRUE(tabs.isTabVisible(phaseTab));
    EXPECT_FALSE(tabs.isTabEnabled(phaseTab)); // until an inversion gives the phases
    TypeInto(Inversion->IterationsBox, QStringLiteral("2"));
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    const TSurveyInversion& result = *Inversion->Result();
    ASSERT_EQ(result.Phases.size(), result.Resistivities.size());
    ASSERT_EQ(result.PhaseResponse.size(), Inversion->MeasuredData()->Size());
    EXPECT_TRUE(tabs.isTabEnabled(phaseTab));
    ASSERT_TRUE(Inversion->Picture().has_value());
    const std::vector<double>& shown = Inversion->Picture()->Phases;
    ASSERT_EQ(shown.size(), result.Phases.size());
    for (size_t cell = 0; cell < shown.size(); ++cell) {
        EXPECT_LE(result.Phases[cell], 0.0);
        EXPECT_EQ(shown[cell], -result.Phases[cell]);
    }
    // The data's phases of 5 to 7 mrad give cells of about that size.
    EXPECT_GT(*std::max_element(shown.begin(), shown.end()), 4.0);
    // The phases' χ² beside the resistivity's: in the summary and in the
    // iteration table's last row, its column there only now.
    const QString state = Inversion->StateLabel->text();
    const QRegularExpression summary(QStringLiteral("χ² [0-9.]+, rrms [0-9.]+ %; phases: χ² ([0-9.]+)\\. "));
    const QRegularExpressionMatch said = summary.match(state);
    ASSERT_TRUE(said.hasMatch()) << state.toStdString();
    EXPECT_NEAR(said.captured(1).toDouble(), result.PhaseChiSquare, 0.01 * result.PhaseChiSquare + 0.01);
    QTableWidget& table = *Inversion->IterationTable;
    EXPECT_FALSE(table.isColumnHidden(4));
    EXPECT_EQ(table.horizontalHeaderItem(4)->text(), QStringLiteral("χ² phases"));
    ASSERT_NE(table.item(table.rowCount() - 1, 4), nullptr);
    EXPECT_NEAR(table.item(table.rowCount() - 1, 4)->text().toDouble(), result.PhaseChiSquare,
                0.01 * result.PhaseChiSquare + 0.01);
    EXPECT_EQ(table.item(0, 4), nullptr); // the earlier iterations inverted no phases
    // The column and the longer state line take no room the window did not
    // need without them: it fits a screen of 800 x 600 as it did.
    const auto smallest = [this] {
        SettleLayouts();
        return Inversion->minimumSizeHint().expandedTo(Inversion->minimumSize());
    };
    const QSize withPhases = smallest();
    table.setColumnHidden(4, true);
    Inversion->StateLabel->setText(state.section(QStringLiteral("; phases"), 0, 0) + QStringLiteral(". ") +
                                   state.section(QStringLiteral(". "), 1));
    const QSize plain = smallest();
    Inversion->StateLabel->setText(state);
    table.setColumnHidden(4, false);
    EXPECT_LE(withPhases.height(), plain.height());
    EXPECT_LE(withPhases.height(), 600);
    EXPECT_LE(withPhases.width(), 800);
    // A click on the tab opens it.
    QTabBar& bar = *tabs.tabBar();
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.tabRect(phaseTab).center());
    EXPECT_EQ(tabs.currentIndex(), phaseTab);
    EXPECT_EQ(Inversion->PhaseChart->LastCol, Inversion->ModelChart->LastCol);
    // The pseudo-sections' quantity offers the phases (no chargeability in
    // these data): the measured and calculated magnitudes and their difference.
    auto* quantity = Inversion->findChild<QComboBox*>(QStringLiteral("QuantityBox"));
    ASSERT_NE(quantity, nullptr);
    EXPECT_TRUE(quantity->isVisible());
    ASSERT_EQ(quantity->count(), 2);
    EXPECT_EQ(quantity->itemText(1), QStringLiteral("Phase"));
    Inversion->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Inversion, 5000);
    QTest::keyClick(Inversion, Qt::Key_Q, Qt::AltModifier);
    ASSERT_TRUE(quantity->hasFocus());
    QTest::keyClick(quantity, Qt::Key_Down);
    ASSERT_EQ(quantity->currentText(), QStringLiteral("Phase"));
    const TMeasuredData& data = *Inversion->MeasuredData();
    TPseudoSection2d& measured = *Inversion->MeasuredChart;
    TPseudoSection2d& misfit = *Inversion->MisfitChart;
    ASSERT_EQ(measured.VertexCount, static_cast<int>(data.Size()));
    ASSERT_EQ(misfit.VertexCount, static_cast<int>(data.Size()));
    for (int v = 1; v <= measured.VertexCount; ++v) {
        const auto d = static_cast<size_t>(v - 1);
        // The charts keep the values but for a hundred-thousandth (their shift off the levels).
        EXPECT_NEAR(measured.Vertices[v].Value, -data.Phases[d], 2e-5 * 7.0);
        EXPECT_NEAR(misfit.Vertices[v].Value, std::fabs(result.PhaseResponse[d]) + data.Phases[d], 2e-5 * 7.0);
    }
    EXPECT_EQ(measured.Title()->Text()->Text().trimmed(), QStringLiteral("Measured apparent phase, magnitude (mrad)"));
    EXPECT_EQ(misfit.Title()->Text()->Text().trimmed(), QStringLiteral("Difference, calculated - measured (mrad)"));
    SaveScreenshot(*Inversion, QStringLiteral("inversion-phase"));
}

// With chargeability data the inversion window shows the chargeabilities
// too: the pseudo-sections' quantity switch shows the measured ones before
// an inversion, and after it the measured, calculated and their difference.
TEST_F(InversionWindowTest, ChargeabilityDataShowTheirMeasuredCalculatedAndMisfitCharts)
{
    ASSERT_NO_FATAL_FAILURE(Open(1, true, 9.5));
    auto* quantity = Inversion->findChild<QComboBox*>(QStringLiteral("QuantityBox"));
    ASSERT_NE(quantity, nullptr);
    EXPECT_TRUE(quantity->isVisible());
    EXPECT_EQ(quantity->currentText(), QStringLiteral("Resistivity"));
    const TMeasuredData& data = *Inversion->MeasuredData();
    const int count = static_cast<int>(data.Size());
    // Chosen by its label's key letter and the arrow key, as a user does.
    Inversion->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Inversion, 5000);
    QTest::keyClick(Inversion, Qt::Key_Q, Qt::AltModifier);
    ASSERT_TRUE(quantity->hasFocus());
    QTest::keyClick(quantity, Qt::Key_Down);
    ASSERT_EQ(quantity->currentText(), QStringLiteral("Chargeability"));
    // The file's 9.5 mV/V are 0.95 %.
    TPseudoSection2d& measured = *Inversion->MeasuredChart;
    ASSERT_EQ(measured.VertexCount, count);
    for (int v = 1; v <= count; ++v)
        EXPECT_DOUBLE_EQ(measured.Vertices[v].Value, 0.95);
    EXPECT_EQ(measured.Title()->Text()->Text().trimmed(), QStringLiteral("Measured apparent chargeability (%)"));

    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    const TSurveyInversion& result = *Inversion->Result();
    ASSERT_EQ(result.ChargeabilityResponse.size(), data.Size());
    TPseudoSection2d& calculated = *Inversion->CalculatedChart;
    TPseudoSection2d& misfit = *Inversion->MisfitChart;
    ASSERT_EQ(calculated.VertexCount, count);
    ASSERT_EQ(misfit.VertexCount, count);
    for (int v = 1; v <= count; ++v) {
        const double response = result.ChargeabilityResponse[static_cast<size_t>(v - 1)];
        EXPECT_DOUBLE_EQ(measured.Vertices[v].Value, 0.95);
        EXPECT_NEAR(calculated.Vertices[v].Value, response, 1e-9);
        EXPECT_NEAR(misfit.Vertices[v].Value, response - 0.95, 1e-9);
    }
    EXPECT_EQ(calculated.Title()->Text()->Text().trimmed(), QStringLiteral("Calculated apparent chargeability (%)"));
    EXPECT_EQ(misfit.Title()->Text()->Text().trimmed(), QStringLiteral("Difference, calculated - measured (%)"));
    SaveScreenshot(*Inversion, QStringLiteral("inversion-chargeability-data"));

    // Back to the resistivities: the response and its misfit in per cent.
    QTest::keyClick(quantity, Qt::Key_Up);
    const std::vector<double> misfits = Inversion->InvertedMisfits();
    for (int v = 1; v <= count; ++v) {
        EXPECT_NEAR(calculated.Vertices[v].Value, result.Response[static_cast<size_t>(v - 1)],
                    1e-9 * result.Response[static_cast<size_t>(v - 1)]);
        EXPECT_NEAR(misfit.Vertices[v].Value, misfits[static_cast<size_t>(v - 1)], 1e-9);
    }
    EXPECT_EQ(misfit.Title()->Text()->Text().trimmed(), QStringLiteral("Misfit (%)"));
}

// Guards the mesh question in the middle of cleaning: with an edited mesh
// and a changed model area, a data step that left the kept data as they
// were (Remove ρa ≤ 0, its Ctrl+Z, Delete on data removed already) asked
// "Keep the edited mesh / Lay a new mesh". Such steps ask nothing; the
// question comes when the user opens Modelling > Invert... again.
TEST_F(InversionWindowTest, ADataStepThatChangesNoKeptDatumAsksNothing)
{
    Start({Section});
    TForwardResult field = FieldResponseOver(130.0, 10, 3);
    field.Resistivities.at(4) = -3.0; // one datum no inversion can take
    ASSERT_NO_FATAL_FAILURE(InvertFile(WriteRhoaFile(QStringLiteral("negative.dat"), field.Survey.Electrodes,
                                                     field.Survey.Configurations, field.Resistivities)));
    ASSERT_EQ(Inversion->MeasuredData()->Size(), field.Resistivities.size() - 1);
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Inversion, 5000);
    ASSERT_NO_FATAL_FAILURE(FixBlock(*Inversion, 1, 0, 2, 1));
    const TInversionChartData edited = ChartCells(*Inversion->MeshChart);
    ASSERT_NO_FATAL_FAILURE(SetModelAreaRight(Chart().ModelArea.right + 50.0));

    TForwardResponseWindow& forward = *Window->ForwardWindow;
    forward.show();
    forward.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == &forward, 5000);
    QAction* removeNonPositive = nullptr;
    for (QAction* action : forward.CleanMenu->actions())
        if (action->text().remove(QLatin1Char('&')) == QStringLiteral("Remove ρa ≤ 0"))
            removeNonPositive = action;
    ASSERT_NE(removeNonPositive, nullptr);
    ExpectNoQuestion([&] { removeNonPositive->trigger(); });
    ASSERT_TRUE(forward.Removals().IsRemoved(4));
    ExpectNoQuestion([&] { QTest::keyClick(forward.ComputeButton, Qt::Key_Z, Qt::ControlModifier); });
    ASSERT_FALSE(forward.Removals().IsRemoved(4));
    // A datum removed, then Delete again on it.
    forward.SelectData({0});
    ExpectNoQuestion([&] { QTest::keyClick(forward.ComputeButton, Qt::Key_Delete); });
    ASSERT_TRUE(forward.Removals().IsRemoved(0));
    forward.SelectData({0});
    ExpectNoQuestion([&] { QTest::keyClick(forward.ComputeButton, Qt::Key_Delete); });
    EXPECT_TRUE(ChartCells(*Inversion->MeshChart) == edited);
    EXPECT_EQ(Inversion->MeasuredData(), forward.MeasuredData());

    // Modelling > Invert...: the question, where it belongs.
    bool asked = false;
    Activate();
    AnswerModal<QMessageBox>([this] { InvertAgain(); },
                             [&](QMessageBox& Box) {
                                 asked = Box.text().contains(QStringLiteral("model area has changed"));
                                 QTest::mouseClick(Box.findChild<QPushButton*>(QStringLiteral("KeepMeshButton")),
                                                   Qt::LeftButton);
                             });
    EXPECT_TRUE(asked);
    EXPECT_TRUE(ChartCells(*Inversion->MeshChart) == edited);
}

// Guards a colour bar stretched by cells no datum sees: the scale ran over
// every cell, so one unsampled corner cell washed the image out. The scale
// opens on the 2nd to 98th percentile of the cells the data see (coverage
// above 0.01), the rest drawn in the end colours; the user sets it on the
// colour bar's menu, and Automatic gives that scale back.
TEST_F(InversionWindowTest, TheColourScaleSpansTheCellsTheDataSee)
{
    ASSERT_NO_FATAL_FAILURE(Open(2));
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    const TSurveyInversion& result = *Inversion->Result();
    std::vector<double> seen;
    for (size_t j = 0; j < result.Resistivities.size(); ++j)
        if (result.Coverage.at(j) > 0.01)
            seen.push_back(result.Resistivities[j]);
    ASSERT_GE(seen.size(), 20u);
    std::sort(seen.begin(), seen.end());
    // Nearest rank: the 2nd and 98th percentile of the n cells seen.
    const double n = static_cast<double>(seen.size() - 1);
    const double low = seen[static_cast<size_t>(std::lround(0.02 * n))];
    const double high = seen[static_cast<size_t>(std::lround(0.98 * n))];
    TTModelSection2d& chart = *Inversion->ModelChart;
    EXPECT_EQ(chart.ScaleMin, low);
    EXPECT_EQ(chart.ScaleMax, high);
    // Every cell beyond it in an end colour, in the chart as in the image.
    const auto [lowest, highest] = std::minmax_element(result.Resistivities.begin(), result.Resistivities.end());
    EXPECT_EQ(chart.ValueToColor(*lowest), chart.ValueToColor(low));
    EXPECT_EQ(chart.ValueToColor(*highest), chart.ValueToColor(high));

    // The user's minimum through the colour bar's menu, then Automatic.
    InputService() = [](const TInputRequest&) { return std::optional<QString>(QStringLiteral("1")); };
    chart.ColorBarMenu.Click(0);
    ResetInputService();
    EXPECT_EQ(chart.ScaleMin, 1.0);
    EXPECT_EQ(chart.ScaleMax, high);
    int automatic = -1;
    for (int i = 0; i < chart.ColorBarMenu.Count(); ++i)
        if (chart.ColorBarMenu.Item(i).Caption == QStringLiteral("Automatic"))
            automatic = i;
    ASSERT_GE(automatic, 0);
    chart.ColorBarMenu.Click(automatic);
    EXPECT_EQ(chart.ScaleMin, low);
    EXPECT_EQ(chart.ScaleMax, high);
}

// The cell table saved through Save table... and its save dialog.
std::vector<TInversionTableRow> SaveTableByButton(TInversionWindow& Inversion, const QString& File)
{
    CommonDialogService().ExecuteSave = [&](TSaveDialogRequest& Request) {
        Request.FileName = File;
        return true;
    };
    QTest::mouseClick(Inversion.SaveButton, Qt::LeftButton);
    ResetCommonDialogService();
    return ReadInversionTable(FileBytes(File).toStdString());
}

// Save table... wrote the cell table whatever the name's extension:
// "image.vtk" held CSV no mesh viewer reads, and the dialog offered CSV
// only. The dialog lists the three formats; the extension chooses, a name
// without one takes the chosen filter's.
TEST_F(InversionWindowTest, SaveTableWritesTheVtkGridOrTheXyzGridToldByTheExtension)
{
    ASSERT_NO_FATAL_FAILURE(Open(2, true));
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    const TSurveyInversion& result = *Inversion->Result();
    const TInversionMesh& mesh = Inversion->Picture()->Mesh;
    ASSERT_EQ(result.Chargeabilities.size(), static_cast<size_t>(mesh.Cells()));
    struct TCase {
        QString Typed;
        int Filter;
        QString Written;
        std::string Expected;
    };
    const std::vector<TCase> cases = {
        {QStringLiteral("image.vtk"), 1, QStringLiteral("image.vtk"), FormatInversionVtk(mesh, result)},
        {QStringLiteral("image"), 2, QStringLiteral("image.vtk"), FormatInversionVtk(mesh, result)},
        {QStringLiteral("grid"), 3, QStringLiteral("grid.xyz"), FormatInversionXyz(mesh, result)},
        {QStringLiteral("GRID.XYZ"), 2, QStringLiteral("GRID.XYZ"), FormatInversionXyz(mesh, result)},
        {QStringLiteral("cells"), 1, QStringLiteral("cells.csv"), FormatInversionTable(mesh, result)},
        {QStringLiteral("cells.txt"), 2, QStringLiteral("cells.txt"), FormatInversionTable(mesh, result)}};
    for (const TCase& c : cases) {
        const QString written = Folder.filePath(c.Written);
        QString error;
        ASSERT_TRUE(SaveBytesAtomically(written, "old file\n", error)) << error.toStdString();
        QString filter;
        CommonDialogService().ExecuteSave = [&](TSaveDialogRequest& Request) {
            filter = Request.Filter;
            // The dialog asks about replacing the file that will be written.
            if (Request.WrittenName) {
                EXPECT_EQ(Request.WrittenName(Folder.filePath(c.Typed), c.Filter), written);
            } else {
                ADD_FAILURE() << "the dialog is not told the file written";
            }
            Request.FileName = Folder.filePath(c.Typed);
            Request.FilterIndex = c.Filter;
            return true;
        };
        QTest::mouseClick(Inversion->SaveButton, Qt::LeftButton);
        ResetCommonDialogService();
        EXPECT_EQ(filter.count(QStringLiteral("|*.")), 3) << filter.toStdString();
        for (const char* pattern : {"(*.csv)|*.csv|", "(*.vtk)|*.vtk|", "(*.xyz)|*.xyz"})
            EXPECT_TRUE(filter.contains(QLatin1String(pattern))) << filter.toStdString();
        EXPECT_EQ(FileBytes(written).toStdString(), c.Expected) << c.Typed.toStdString();
    }
    // With the chargeabilities as cell data.
    EXPECT_NE(FileBytes(Folder.filePath("image.vtk")).indexOf("SCALARS chargeability double 1"), -1);
}

// The depth of investigation as the user asks for it: Depth of
// investigation ticked by a click, Invert. The result shows first (its
// line saying it has no DOI yet) while the DOI is computed in the
// background; then the cells beyond 0.2 fade in the chart and in the
// underlay, the dashed 0.2 line is drawn over the cells, and Save table...
// writes the doi column. Unticked, the image is the plain result again.
TEST_F(InversionWindowTest, TheDepthOfInvestigationFadesTheCellsBeyondItAndDrawsItsLine)
{
    ASSERT_NO_FATAL_FAILURE(Open(3));
    if (Inversion->FadeBox->isChecked())
        QTest::mouseClick(Inversion->FadeBox, Qt::LeftButton);
    ASSERT_FALSE(Inversion->DoiBox->isChecked());
    QTest::mouseClick(Inversion->DoiBox, Qt::LeftButton);
    ASSERT_TRUE(Inversion->DoiBox->isChecked());
    EXPECT_TRUE(TInversionWindowSettings::Load().DepthOfInvestigation);
    EXPECT_EQ(Inversion->DoiLimitEdit->text(), QStringLiteral("0.2"));
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    Inversion->OnDoiRunStart = [released] { released.wait(); };
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    QTRY_VERIFY_WITH_TIMEOUT(Inversion->ComputingDepthOfInvestigation(), 300000);
    // The main result is shown meanwhile.
    ASSERT_TRUE(Inversion->Result().has_value());
    EXPECT_TRUE(Inversion->Result()->DepthOfInvestigation.empty());
    EXPECT_TRUE(Inversion->StateLabel->text().contains(QStringLiteral("Computing the depth of investigation")))
        << Inversion->StateLabel->text().toStdString();
    EXPECT_EQ(Inversion->ChartTabs->currentIndex(), 1);
    release.set_value();
    WaitForDoi();
    ASSERT_TRUE(Inversion->Result().has_value());
    const TSurveyInversion& result = *Inversion->Result();
    const TInversionMesh& mesh = Inversion->Picture()->Mesh;
    ASSERT_EQ(result.DepthOfInvestigation.size(), static_cast<size_t>(mesh.Cells())) << Inversion->ErrorText().toStdString();
    EXPECT_TRUE(Inversion->StateLabel->text().contains(QStringLiteral("beyond the depth of investigation")))
        << Inversion->StateLabel->text().toStdString();
    // The cells the data see are within 0.2, the deepest beyond.
    const auto within = std::count_if(result.DepthOfInvestigation.begin(), result.DepthOfInvestigation.end(),
                                      [](double Doi) { return Doi <= 0.2; });
    ASSERT_GT(within, 0);
    ASSERT_LT(within, mesh.Cells());
    TTModelSection2d& rho = *Inversion->ModelChart;
    ASSERT_EQ(rho.CellFade.Length(), mesh.Columns());
    int faded = 0;
    for (int r = 0; r < mesh.Rows(); ++r)
        for (int c = 0; c < mesh.Columns(); ++c) {
            const size_t cell = static_cast<size_t>(r * mesh.Columns() + c);
            const TColor plain = rho.ValueToColor(result.Resistivities[cell]);
            const bool beyond = result.DepthOfInvestigation[cell] > 0.2;
            faded += beyond;
            EXPECT_EQ(rho.ShownCellColor(c, r), beyond ? FadedColor(plain, 0.7) : plain) << c << ", " << r;
        }
    EXPECT_GT(faded, 0);
    // The 0.2 line: between the centres of cells on either side of 0.2,
    // drawn as dark pixels over the cells.
    const std::vector<TOutline>& line = Inversion->DoiContour();
    ASSERT_FALSE(line.empty());
    double highest = mesh.Elevations.front();
    for (double elevation : mesh.Elevations)
        highest = std::max(highest, elevation);
    Inversion->ChartTabs->setCurrentIndex(1);
    rho.Widget()->repaint();
    const QImage drawn = rho.Widget()->grab().toImage();
    const qreal ratio = drawn.devicePixelRatio();
    int dark = 0, samples = 0;
    for (const auto& [a, b] : line)
        for (double t : {0.25, 0.5, 0.75}) {
            const double x = a.x + t * (b.x - a.x), y = a.y + t * (b.y - a.y);
            const int px = static_cast<int>(std::lround(rho.BottomAxis()->CalcPosValue(x) * ratio));
            const int py = static_cast<int>(std::lround(rho.LeftAxis()->CalcPosValue(highest - y) * ratio));
            ++samples;
            bool found = false;
            for (int dx = -1; dx <= 1 && !found; ++dx)
                for (int dy = -1; dy <= 1 && !found; ++dy)
                    if (drawn.valid(px + dx, py + dy)) {
                        const QColor colour = drawn.pixelColor(px + dx, py + dy);
                        found = colour.red() < 60 && colour.green() < 60 && colour.blue() < 60;
                    }
            dark += found;
        }
    // Dashed: most of the points lie on a dash.
    EXPECT_GT(dark, samples / 3) << dark << " of " << samples;
    // Save table... writes each cell's DOI.
    const std::vector<TInversionTableRow> rows = SaveTableByButton(*Inversion, Folder.filePath(QStringLiteral("doi.csv")));
    ASSERT_EQ(rows.size(), result.DepthOfInvestigation.size());
    for (size_t cell = 0; cell < rows.size(); ++cell)
        EXPECT_DOUBLE_EQ(rows[cell].Doi, result.DepthOfInvestigation[cell]);
    // Use as underlay lays the image as shown: the cells beyond faded.
    const QImage image = Inversion->ModelImage(600);
    const TInversionWindow::TImageFrame frame = Inversion->ModelImageFrame();
    const auto deepest = std::max_element(result.DepthOfInvestigation.begin(), result.DepthOfInvestigation.end()) -
                         result.DepthOfInvestigation.begin();
    const TGeometryPoint centre = CellCentre(mesh, static_cast<int>(deepest));
    const int i = static_cast<int>((centre.x - frame.Left) / (frame.Right - frame.Left) * image.width());
    const int j = static_cast<int>((-frame.Top - centre.y) / (frame.Bottom - frame.Top) * image.height());
    const TColor expected = FadedColor(rho.ValueToColor(result.Resistivities[static_cast<size_t>(deepest)]), 0.7);
    EXPECT_EQ(image.pixel(i, j) & 0xFFFFFF,
              static_cast<unsigned>(qRgb(expected & 0xFF, (expected >> 8) & 0xFF, (expected >> 16) & 0xFF)) & 0xFFFFFF);
    SaveScreenshot(*Inversion, QStringLiteral("inversion-doi"));
    // Unticked: the plain result, no line; the table keeps the DOI computed.
    QTest::mouseClick(Inversion->DoiBox, Qt::LeftButton);
    EXPECT_FALSE(Inversion->Busy());
    EXPECT_TRUE(Inversion->DoiContour().empty());
    EXPECT_EQ(rho.CellFade.Length(), 0);
    EXPECT_TRUE(Inversion->StateLabel->text().contains(QStringLiteral("Shown without the depth of investigation")));
}

// Depth of investigation ticked with Alt+D: every finished inversion (one
// iteration, then two) is followed by its DOI run, faded cells and line.
TEST_F(InversionWindowTest, ATickedDepthOfInvestigationFollowsEveryFinishedInversion)
{
    ASSERT_NO_FATAL_FAILURE(OpenSixteenElectrodes(1));
    Inversion->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Inversion, 5000);
    ASSERT_FALSE(Inversion->DoiBox->isChecked());
    ASSERT_NO_FATAL_FAILURE(PressAltD());
    QTRY_VERIFY_WITH_TIMEOUT(Inversion->DoiBox->isChecked(), 2000);
    TypeInto(Inversion->DoiLimitEdit, QStringLiteral("0.2"));
    for (int iterations : {1, 2}) {
        TypeInto(Inversion->IterationsBox, QString::number(iterations));
        ASSERT_NO_FATAL_FAILURE(ClickInvert());
        WaitForDoiOrNone();
        ASSERT_NO_FATAL_FAILURE(ExpectDepthOfInvestigationShown(iterations == 1 ? "one iteration" : "two iterations"));
    }
}

// Modelling > Invert... and its file dialog closing handed the keyboard
// back to the main window: Alt+D typed next never reached the inversion
// window's box, and the finished inversion said only "Shown without the
// depth of investigation." The window just opened now has the keyboard, so
// Alt+D ticks the box and the DOI follows; a result shown without it says
// why and what computes it.
TEST_F(InversionWindowTest, AltDRightAfterInvertReachesTheNewWindowAndItsDepthOfInvestigationFollows)
{
    ASSERT_NO_FATAL_FAILURE(OpenSixteenElectrodes(1));
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Inversion, 2000);
    TypeInto(Inversion->DoiLimitEdit, QStringLiteral("0.2"));
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForDoiOrNone();
    ASSERT_TRUE(Inversion->Result().has_value());
    const QString state = Inversion->StateLabel->text();
    EXPECT_TRUE(state.contains(QStringLiteral("Shown without the DOI (tick it to compute it).")))
        << state.toStdString();
    ASSERT_NO_FATAL_FAILURE(PressAltD());
    QTRY_VERIFY_WITH_TIMEOUT(Inversion->DoiBox->isChecked(), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(!Inversion->Result()->DepthOfInvestigation.empty(), 300000);
    ASSERT_NO_FATAL_FAILURE(ExpectDepthOfInvestigationShown("ticked over the result"));
}

// An electrode no datum uses (a spare left in the file, far along the
// line) widened the section File > New from data made, and with it the
// pseudo-sections of the forward and inversion windows, over ground no
// datum sees. The section, the charts and the inversion now span the
// electrodes the data use; the spare is no hindrance to computing.
TEST_F(InversionWindowTest, AnElectrodeNoDatumUsesWidensNeitherTheSectionNorThePseudoSections)
{
    // 16 electrodes from 0 m every 5 m, dipole-dipole of 2 levels; electrode
    // 17 at 200 m in no datum.
    QString text = QStringLiteral("17\n# x z\n");
    for (int e = 0; e < 16; ++e)
        text += QStringLiteral("%1 0\n").arg(5 * e);
    text += QStringLiteral("200 0\n");
    QStringList rows;
    for (int n = 1; n <= 2; ++n)
        for (int a = 1; a + n + 2 <= 16; ++a)
            rows << QStringLiteral("%1 %2 %3 %4 %5").arg(a + 1).arg(a).arg(a + n + 1).arg(a + n + 2).arg(100 + rows.size());
    text += QStringLiteral("%1\n# a b m n rhoa\n%2\n").arg(rows.size()).arg(rows.join(QLatin1Char('\n')));
    const QString file = Folder.filePath(QStringLiteral("spare.dat"));
    QString error;
    ASSERT_TRUE(SaveBytesAtomically(file, text.toUtf8(), error)) << error.toStdString();
    Start({Section});
    Activate();
    ChooseWithFile(Window->Newfromdata1, file);
    // Two median spacings (10 m) beyond the electrodes the data use.
    const TModelArea& area = Chart().ModelArea;
    EXPECT_DOUBLE_EQ(area.left, -10.0);
    EXPECT_DOUBLE_EQ(area.right, 85.0);
    // The forward window computes the file over that section.
    TForwardResponseWindow* forward = Window->ForwardWindow;
    ASSERT_NE(forward, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!forward->Busy() && forward->Result().has_value(), 60000);
    EXPECT_EQ(forward->ErrorText(), QString());
    // On the section, the 16 electrodes the data use are marked.
    ASSERT_TRUE(forward->ElectrodeMarks);
    EXPECT_EQ(forward->ElectrodeMarks->Count(), 16);
    for (TPseudoSection2d* chart : {forward->MeasuredChart, forward->ResistivityChart}) {
        EXPECT_DOUBLE_EQ(chart->BottomAxis()->Minimum(), -10.0);
        EXPECT_DOUBLE_EQ(chart->BottomAxis()->Maximum(), 85.0);
    }
    // Modelling > Invert...: the measured pseudo-section on the same frame,
    // and the inversion runs.
    Activate();
    ChooseFromMenuBar(Window->Invert1);
    QTRY_VERIFY_WITH_TIMEOUT(Window->InversionWindow && Window->InversionWindow->isVisible(), 5000);
    Inversion = Window->InversionWindow;
    EXPECT_DOUBLE_EQ(Inversion->MeasuredChart->BottomAxis()->Minimum(), -10.0);
    EXPECT_DOUBLE_EQ(Inversion->MeasuredChart->BottomAxis()->Maximum(), 85.0);
    // The electrodes marked on the mesh: the 16 the data use.
    EXPECT_EQ(Inversion->MeshChart->MarkerPoints.Length(), 16);
    TypeInto(Inversion->IterationsBox, QStringLiteral("1"));
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->StateLabel->text().toStdString();
    const TInversionMesh& mesh = Inversion->Picture()->Mesh;
    EXPECT_LE(mesh.ColumnEdges.back(), 85.0);
    for (TPseudoSection2d* chart : {Inversion->MeasuredChart, Inversion->CalculatedChart, Inversion->MisfitChart}) {
        EXPECT_DOUBLE_EQ(chart->BottomAxis()->Minimum(), -10.0);
        EXPECT_DOUBLE_EQ(chart->BottomAxis()->Maximum(), 85.0);
    }
}

// Cancel during the DOI run keeps the main result, which says it is shown
// without a DOI (and its table has no doi column); ticking again computes
// the DOI on the kept forward problem. An impossible DOI limit or reference
// weight is refused before any run.
TEST_F(InversionWindowTest, CancellingTheDepthOfInvestigationKeepsTheResult)
{
    ASSERT_NO_FATAL_FAILURE(Open(2));
    // Alt+D ticks it, as the mouse would.
    Inversion->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Inversion, 5000);
    QTest::keyClick(Inversion, Qt::Key_D, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(Inversion->DoiBox->isChecked(), 2000);
    // Bad fields refuse the run with a word in the window.
    for (const QString& typed : {QStringLiteral("-1"), QStringLiteral("abc"), QString()}) {
        TypeInto(Inversion->ReferenceWeightEdit, typed);
        QTest::mouseClick(Inversion->InvertButton, Qt::LeftButton);
        EXPECT_FALSE(Inversion->Busy()) << typed.toStdString();
        EXPECT_TRUE(Inversion->StateLabel->text().contains(QStringLiteral("reference weight must be a number, 0 or above")))
            << Inversion->StateLabel->text().toStdString();
    }
    TypeInto(Inversion->ReferenceWeightEdit, QStringLiteral("0.5"));
    for (const QString& typed : {QStringLiteral("0"), QStringLiteral("x")}) {
        TypeInto(Inversion->DoiLimitEdit, typed);
        QTest::mouseClick(Inversion->InvertButton, Qt::LeftButton);
        EXPECT_FALSE(Inversion->Busy()) << typed.toStdString();
        EXPECT_TRUE(Inversion->StateLabel->text().contains(QStringLiteral("depth of investigation beyond which")))
            << Inversion->StateLabel->text().toStdString();
    }
    TypeInto(Inversion->DoiLimitEdit, QStringLiteral("0.2"));
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    Inversion->OnDoiRunStart = [released] { released.wait(); };
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    EXPECT_EQ(TInversionWindowSettings::Load().ReferenceWeight, QStringLiteral("0.5"));
    QTRY_VERIFY_WITH_TIMEOUT(Inversion->ComputingDepthOfInvestigation(), 300000);
    QTRY_VERIFY_WITH_TIMEOUT(Inversion->CancelButton->isVisible(), 5000);
    QTest::mouseClick(Inversion->CancelButton, Qt::LeftButton);
    release.set_value();
    WaitForDoi();
    ASSERT_TRUE(Inversion->Result().has_value());
    EXPECT_TRUE(Inversion->Result()->DepthOfInvestigation.empty());
    EXPECT_TRUE(Inversion->StateLabel->text().contains(
        QStringLiteral("Shown without the depth of investigation: its computation was cancelled")))
        << Inversion->StateLabel->text().toStdString();
    EXPECT_TRUE(Inversion->DoiContour().empty());
    const std::vector<TInversionTableRow> plain = SaveTableByButton(*Inversion, Folder.filePath(QStringLiteral("plain.csv")));
    ASSERT_FALSE(plain.empty());
    EXPECT_TRUE(std::isnan(plain.front().Doi));
    // Ticked again over the result: the DOI comes without a new inversion.
    Inversion->OnDoiRunStart = {};
    const int iterations = Inversion->IterationTable->rowCount();
    QTest::mouseClick(Inversion->DoiBox, Qt::LeftButton);
    QTest::mouseClick(Inversion->DoiBox, Qt::LeftButton);
    ASSERT_TRUE(Inversion->ComputingDepthOfInvestigation());
    WaitForDoi();
    EXPECT_EQ(Inversion->IterationTable->rowCount(), iterations);
    ASSERT_EQ(Inversion->Result()->DepthOfInvestigation.size(), Inversion->Result()->Resistivities.size());
    EXPECT_FALSE(Inversion->DoiContour().empty());
}

// Data of another file while the DOI of the data before is computed: the
// DOI run goes with their result (none shown, nothing running), and what
// it would still deliver reaches nothing.
TEST_F(InversionWindowTest, OtherDataTakeTheDepthOfInvestigationWithTheResult)
{
    ASSERT_NO_FATAL_FAILURE(Open(1));
    QTest::mouseClick(Inversion->DoiBox, Qt::LeftButton);
    ASSERT_TRUE(Inversion->DoiBox->isChecked());
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    Inversion->OnDoiRunStart = [released] { released.wait(); };
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    QTRY_VERIFY_WITH_TIMEOUT(Inversion->ComputingDepthOfInvestigation(), 300000);
    ASSERT_TRUE(Inversion->Result().has_value());
    std::vector<TConfiguration> configurations;
    ASSERT_NO_FATAL_FAILURE(InvertOtherData(configurations));
    ASSERT_EQ(Inversion->MeasuredData()->Size(), configurations.size());
    EXPECT_FALSE(Inversion->ComputingDepthOfInvestigation());
    EXPECT_FALSE(Inversion->Progress->isVisible());
    EXPECT_FALSE(Inversion->Result().has_value());
    EXPECT_FALSE(Inversion->Picture().has_value());
    EXPECT_TRUE(Inversion->DoiContour().empty());
    release.set_value();
    TBackgroundThreads::Program().JoinAll();
    QCoreApplication::processEvents();
    EXPECT_FALSE(Inversion->Result().has_value());
    EXPECT_FALSE(Inversion->SaveButton->isEnabled());
}

// The window opens and works on a screen of 800 x 600 (the forward window
// fits): with IP data inverted, the quantity switch shown, and during a
// run with its progress and Cancel, every control in reach.
TEST_F(InversionWindowTest, TheWindowFitsAScreenOf800By600)
{
    ASSERT_NO_FATAL_FAILURE(Open(1, true));
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    WaitForEnd();
    ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
    SettleLayouts();
    // A title bar's room left above it.
    const QSize least = Inversion->minimumSizeHint().expandedTo(Inversion->minimumSize());
    EXPECT_LE(least.width(), 800);
    EXPECT_LE(least.height(), 560);
    Inversion->resize(800, 560);
    EXPECT_EQ(Inversion->size(), QSize(800, 560));
    EXPECT_TRUE(UnreachableControls(*Inversion).isEmpty()) << UnreachableControls(*Inversion).join('\n').toStdString();
    // During a run.
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    Inversion->OnRunStart = [released] { released.wait(); };
    ASSERT_NO_FATAL_FAILURE(ClickInvert());
    QTRY_VERIFY_WITH_TIMEOUT(Inversion->CancelButton->isVisible(), 5000);
    EXPECT_LE(Inversion->minimumSizeHint().height(), 560);
    EXPECT_TRUE(UnreachableControls(*Inversion).isEmpty()) << UnreachableControls(*Inversion).join('\n').toStdString();
    QTest::mouseClick(Inversion->CancelButton, Qt::LeftButton);
    release.set_value();
    WaitForEnd();
}

// Guards "Elevation (m)" drawn over the numbers of the inversion charts'
// vertical axis: the axis gave its labels the room of its own values'
// texts (the depths), narrower than the elevations drawn. By pixels: the
// title's ink and the labels' ink (each found by drawing it white) lie
// apart.
TEST_F(InversionWindowTest, TheElevationTitleStandsClearOfTheNumbers)
{
    WriteHillSection();
    Start({Section});
    // Ten electrodes over the hill's west flank, on the ground.
    std::vector<TElectrode> electrodes;
    for (int e = 0; e < 10; ++e) {
        const double x = 445.0 + 6.0 * e;
        electrodes.push_back({x, -(19.0 - 9.0 * (x - 440.0) / 60.0)});
    }
    const std::vector<TConfiguration> configurations = ArrayConfigurations(TArrayKind::DipoleDipole, 10, 3);
    ASSERT_NO_FATAL_FAILURE(InvertFile(WriteRhoaFile(QStringLiteral("flank.dat"), electrodes, configurations,
                                                     std::vector<double>(configurations.size(), 100.0))));
    TTModelSection2d& chart = *Inversion->MeshChart;
    TChartAxis& axis = *chart.LeftAxis();
    ASSERT_EQ(axis.Title()->Caption(), QStringLiteral("Elevation (m)"));
    Inversion->resize(1000, 700);
    SettleLayouts();
    const auto drawn = [&] {
        chart.Widget()->repaint();
        return chart.Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QImage plain = drawn();
    const TColor titleColour = axis.Title()->Font()->Color();
    axis.Title()->Font()->SetColor(clWhite);
    const QImage noTitle = drawn();
    axis.Title()->Font()->SetColor(titleColour);
    const TColor labelColour = axis.LabelsFont()->Color();
    axis.LabelsFont()->SetColor(clWhite);
    const QImage noLabels = drawn();
    axis.LabelsFont()->SetColor(labelColour);
    ASSERT_EQ(plain.size(), noTitle.size());
    // The columns holding each's ink left of the chart's rectangle.
    const int left = chart.ChartRectangle().Left;
    const auto inkColumns = [&](const QImage& Without) {
        int first = plain.width(), last = -1;
        for (int x = 0; x < left; ++x)
            for (int y = 0; y < plain.height(); ++y)
                if (plain.pixel(x, y) != Without.pixel(x, y)) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        return std::pair{first, last};
    };
    const auto [titleFirst, titleLast] = inkColumns(noTitle);
    const auto [labelsFirst, labelsLast] = inkColumns(noLabels);
    ASSERT_GE(titleLast, 0);
    ASSERT_GE(labelsLast, 0);
    EXPECT_LT(titleLast, labelsFirst) << "title " << titleFirst << ".." << titleLast << ", labels " << labelsFirst
                                      << ".." << labelsLast;
}

// The inverted image: each pixel the colour of the cell under it, white
// above the ground; fading by coverage whitens what the data do not see
// and keeps what they see fully.
TEST(InversionImage, CellsInTheirColoursAndFadedByCoverage)
{
    TInversionPicture picture;
    picture.Mesh.ColumnEdges = {0.0, 10.0, 20.0};
    picture.Mesh.Elevations = {0.0, 0.0, 0.0};
    picture.Mesh.RowDepths = {0.0, 10.0};
    picture.Mesh.Bottom = -10.0;
    picture.Resistivities = {10.0, 1000.0};
    picture.Coverage = {1.0, 1e-4};
    const auto colour = [](double Value) { return Value < 100.0 ? 0x0000FFu : 0xFF0000u; }; // red, blue
    // 20 m wide from elevation 5 down to -10: the top third is air.
    const QImage plain = PaintInversionImage(picture, colour, 0.0, 20.0, 5.0, -10.0, 20, 15, false);
    const QImage faded = PaintInversionImage(picture, colour, 0.0, 20.0, 5.0, -10.0, 20, 15, true);
    ASSERT_EQ(plain.size(), QSize(20, 15));
    EXPECT_EQ(plain.pixel(5, 2), qRgb(255, 255, 255));
    EXPECT_EQ(plain.pixel(5, 10), qRgb(255, 0, 0));
    EXPECT_EQ(plain.pixel(15, 10), qRgb(0, 0, 255));
    EXPECT_EQ(faded.pixel(5, 10), qRgb(255, 0, 0));
    EXPECT_EQ(faded.pixel(15, 10), qRgb(255, 255, 255));
    // Values that do not match the mesh: a blank image, no crash.
    picture.Resistivities.pop_back();
    const QImage blank = PaintInversionImage(picture, colour, 0.0, 20.0, 5.0, -10.0, 20, 15, true);
    EXPECT_EQ(blank.pixel(15, 10), qRgb(255, 255, 255));
}

} // namespace
} // namespace lp::test
