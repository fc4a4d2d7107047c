// File > New from data... as a user meets it: a section framing a field
// survey, its surface the file's topography, its host medium the data's
// median; the data open in the forward window at once; a file that cannot
// be read, or a cancelled question, leaves the section as it was; the
// inversion window's New section from data, and the image of each finished
// inversion of a section's own data, laid under the section at the cells'
// frame and written beside the section at its first save.

#include "MainWindowFixture.h"

#include "DialogTestUtil.h"
#include "chart/engine/PlotImageTool.h"
#include "platform/core/SafeSave.h"
#include "platform/graphics/Picture.h"
#include "section/forward/ForwardModel.h"
#include "section/forward/ForwardResponse.h"
#include "section/inversion/InversionMesh.h"
#include "section/inversion/StructuralConstraint.h"
#include "section/editor/BodyParameters.h"
#include "section/main/CommandLine.h"
#include "section/main/ElectrodeHoleOverlay.h"
#include "section/survey/DataFile.h"
#include "section/survey/HoleSurvey.h"
#include "section/views/PseudoSection2D.h"
#include "chart/engine/PlotAxis.h"
#include "section/modelling/BackgroundThreads.h"
#include "section/modelling/ForwardResponseWindow.h"
#include "section/modelling/InversionWindow.h"

#include <QtCore/QFile>
#include <QtCore/QTimer>
#include <QtCore/QFileInfo>
#include <QtWidgets/QDialog>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QTableWidget>

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <memory>

namespace lp {
namespace {

using test::FileBytes;
using test::MainWindow;

struct NewFromData : MainWindow {
    // The file's ground: a gentle hill about Base, 3 m high.
    static double Ground(double X, double Base) { return Base + 3.0 * std::sin(X / 8.0); }
    // The electrodes' ground of a file without topography: the hill on a
    // rise, so that no stretch lies below its sides at one level (which
    // New from data asks about as a lake).
    static double LineGround(double X, double Base) { return Ground(X, Base) + 0.4 * X; }
    // The file's ρa, datum by datum (all above 0, no two alike).
    static double Resistivity(int Datum) { return 60.0 + 7.0 * ((Datum * 5) % 11) + 0.25 * Datum; }
    static constexpr int Data = 18; // Wenner, a = 1, 2 and 3 spacings over 12 electrodes

    // A well "BH1" at X (90, 40 and 95 ohm-m from 1, 6 and 12 m deep) read
    // through Options > Carotage data.
    void ReadWellLog(double X)
    {
        QFile log(Folder.filePath(QStringLiteral("resistivity.dat")));
        ASSERT_TRUE(log.open(QIODevice::WriteOnly));
        log.write("1 90\r\n6 40\r\n12 95\r\n");
        log.close();
        QFile list(Folder.filePath(QStringLiteral("wells.crt")));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(QStringLiteral("resistivity.dat\r\nBH1\r\n%1 5 0 0 1 255 0\r\n").arg(X).toUtf8());
        list.close();
        CommonDialogService().ExecuteOpen = [&](TOpenDialogRequest& Request) {
            Request.FileName = list.fileName();
            return true;
        };
        ChooseFromMenuBar(Window->Carotagedata1);
        ResetCommonDialogService();
    }

    // A unified data file: 12 electrodes from 10 m every 5 m on the ground
    // about Base; with Topography, a topography block of the electrodes'
    // places and points between and beyond them (from -10 to 80 m).
    QString WriteSurvey(const QString& Name, double Base, bool Topography)
    {
        QString text = QStringLiteral("# a field survey\n12\n# x z\n");
        for (int e = 0; e < 12; ++e)
            text += QStringLiteral("%1 %2\n")
                        .arg(10.0 + 5.0 * e)
                        .arg(Topography ? Ground(10.0 + 5.0 * e, Base) : LineGround(10.0 + 5.0 * e, Base), 0, 'g', 17);
        text += QStringLiteral("%1\n# a b m n rhoa\n").arg(Data);
        int datum = 0;
        for (int a = 1; a <= 3; ++a)
            for (int first = 1; first + 3 * a <= 12; ++first)
                text += QStringLiteral("%1 %2 %3 %4 %5\n")
                            .arg(first)
                            .arg(first + 3 * a)
                            .arg(first + a)
                            .arg(first + 2 * a)
                            .arg(Resistivity(datum++), 0, 'g', 17);
        EXPECT_EQ(datum, Data);
        if (Topography) {
            const std::vector<double> points = TopographyX();
            text += QStringLiteral("%1\n# x z\n").arg(points.size());
            for (double x : points)
                text += QStringLiteral("%1 %2\n").arg(x).arg(Ground(x, Base), 0, 'g', 17);
        }
        const QString file = Folder.filePath(Name);
        QString error;
        EXPECT_TRUE(SaveBytesAtomically(file, text.toUtf8(), error)) << error.toStdString();
        return file;
    }
    static std::vector<double> TopographyX()
    {
        std::vector<double> x = {80.0, -10.0, 2.5, 12.5, 37.5, 72.0};
        for (int e = 0; e < 12; ++e)
            x.push_back(10.0 + 5.0 * e);
        return x;
    }

    // File > New from data... with File chosen in its dialog; the
    // dialog's start and filter noted.
    QString DialogStart, DialogFilter;
    void ChooseNewFromData(const QString& File, bool Activating = true)
    {
        CommonDialogService().ExecuteOpen = [this, File](TOpenDialogRequest& Request) {
            DialogStart = Request.FileName;
            DialogFilter = Request.Filter;
            Request.FileName = File;
            return true;
        };
        if (Activating)
            Activate();
        ChooseFromMenuBar(Window->Newfromdata1);
        ResetCommonDialogService();
        QCoreApplication::processEvents();
    }
    // Runs Action and answers "Save changes to NAME?" with Button.
    // (Action runs no event loop before the question: the answer waits on
    // the first.)
    void AnswerSaveQuestion(const std::function<void()>& Action, const QString& Button,
                            const QString& Name = QStringLiteral("example.sec"))
    {
        Activate();
        AnswerModal<QMessageBox>(Action, [&](QMessageBox& Box) {
            EXPECT_EQ(Box.text(), QStringLiteral("Save changes to %1?").arg(Name));
            for (QAbstractButton* button : Box.buttons())
                if (button->text() == Button) {
                    QTest::mouseClick(button, Qt::LeftButton);
                    return;
                }
            ADD_FAILURE() << "no " << Button.toStdString() << " button";
        });
    }

    // File > Save section... with File chosen in its dialog.
    void SaveThroughMenu(const QString& File)
    {
        CommonDialogService().ExecuteSave = [File](TSaveDialogRequest& Request) {
            Request.FileName = File;
            Request.FilterIndex = 1;
            return true;
        };
        Activate();
        ChooseFromMenuBar(Window->Savefile1);
        ResetCommonDialogService();
        QCoreApplication::processEvents();
        TakeKeyboard();
    }
    // The main window active again after a menu or another window: keys
    // and shortcuts reach it. (A menu closed offscreen may stay the
    // application's active window.)
    void TakeKeyboard()
    {
        Window->activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Window.get(), 5000);
    }
    // Ctrl+O with File chosen in the open dialog.
    void OpenByKey(const QString& File)
    {
        CommonDialogService().ExecuteOpen = [File](TOpenDialogRequest& Request) {
            Request.FileName = File;
            return true;
        };
        TakeKeyboard();
        QTest::keyClick(Window.get(), Qt::Key_O, Qt::ControlModifier);
        ResetCommonDialogService();
        QCoreApplication::processEvents();
    }
    // A section file's first line: the picture it names.
    static QString PictureLine(const QString& File)
    {
        return QString::fromLocal8Bit(FileBytes(File).split('\n').value(0)).trimmed();
    }
    // A triangle drawn in Add polygon mode: three left clicks inside the
    // section made from data (x 0 .. 75, below its ground), closed by a
    // right click.
    void DrawATriangle()
    {
        Window->ChooseMode(pmAddPolygon);
        const TModelArea& area = Chart().ModelArea;
        const auto depth = [&](double Share) { return area.top + Share * (area.bottom - area.top); };
        const std::vector<QPointF> points = {{20.0, depth(0.5)}, {40.0, depth(0.5)}, {30.0, depth(0.7)}};
        const int bodies = Chart().Model.Length();
        LeftClicks(points);
        Click(Qt::RightButton, Pixel(points.back().x(), points.back().y()));
        ASSERT_EQ(Chart().Model.Length(), bodies + 1) << "no triangle drawn";
    }
    static QImage Rgb(const QImage& Image) { return Image.convertToFormat(QImage::Format_RGB32); }

    // The section as the editor holds it, to compare before and after.
    struct TSectionState {
        TModelArea Area;
        Tnodes Nodes;
        AllSpolygon Model;
        QString Document, Title, PicturePath;
        bool Modified = false;
    };
    TSectionState State()
    {
        return {Chart().ModelArea,       CopyNodes(Chart().Nodes),  CopyAllSpolygon(Chart().Model),
                Window->DocumentName(), Window->windowTitle(),     Window->PicturePath,
                Window->Modified()};
    }
    static bool SameRings(const AllSpolygon& A, const AllSpolygon& B)
    {
        if (A.Length() != B.Length())
            return false;
        for (int body = 0; body < A.Length(); ++body) {
            if (A[body].Length() != B[body].Length())
                return false;
            for (int ring = 0; ring < A[body].Length(); ++ring)
                if (!(A[body][ring].ring == B[body][ring].ring) || !(A[body][ring].params == B[body][ring].params))
                    return false;
        }
        return true;
    }
    void ExpectUnchanged(const TSectionState& Before)
    {
        const TSectionState now = State();
        EXPECT_EQ(now.Area.left, Before.Area.left);
        EXPECT_EQ(now.Area.right, Before.Area.right);
        EXPECT_EQ(now.Area.top, Before.Area.top);
        EXPECT_EQ(now.Area.bottom, Before.Area.bottom);
        EXPECT_TRUE(now.Nodes == Before.Nodes);
        EXPECT_TRUE(SameRings(now.Model, Before.Model));
        EXPECT_EQ(now.Document, Before.Document);
        EXPECT_EQ(now.Title, Before.Title);
        EXPECT_EQ(now.PicturePath, Before.PicturePath);
        EXPECT_EQ(now.Modified, Before.Modified);
        EXPECT_EQ(Window->SourceData(), nullptr);
    }
    // An edit as the table of regions makes one: the lens' resistivity.
    void EditTheExample()
    {
        Chart().ChangeFromOutside([this] {
            Chart().Model[1][0].params[psResistivity] = ParamValue(77.0);
            return true;
        });
        ASSERT_TRUE(Window->Modified());
    }

    TInversionWindow* Inversion = nullptr;
    // Modelling > Invert... (the forward window's data), one iteration.
    void OpenInversion()
    {
        Activate();
        ChooseFromMenuBar(Window->Invert1);
        QTRY_VERIFY_WITH_TIMEOUT(Window->InversionWindow && Window->InversionWindow->isVisible(), 5000);
        Inversion = Window->InversionWindow;
        ASSERT_NE(Inversion->MeasuredData(), nullptr);
        Inversion->IterationsBox->setValue(1);
    }
    void InvertToTheEnd()
    {
        QTest::mouseClick(Inversion->InvertButton, Qt::LeftButton);
        ASSERT_TRUE(Inversion->Busy()) << Inversion->ErrorText().toStdString();
        QTRY_VERIFY_WITH_TIMEOUT(!Inversion->Busy(), 300000);
        ASSERT_TRUE(Inversion->Result().has_value()) << Inversion->ErrorText().toStdString();
        QCoreApplication::processEvents();
    }
    // The picture under the section lies at Frame's corners (within the
    // section file's 15 digits, Tolerance, once written and read).
    void ExpectUnderlayAt(const TInversionWindow::TImageFrame& Frame, double Tolerance = 0.0)
    {
        EXPECT_NEAR(Window->PictureCorners[0], Frame.Left, Tolerance);
        EXPECT_NEAR(Window->PictureCorners[1], Frame.Top, Tolerance);
        EXPECT_NEAR(Window->PictureCorners[2], Frame.Right, Tolerance);
        EXPECT_NEAR(Window->PictureCorners[3], Frame.Bottom, Tolerance);
        EXPECT_NE(Window->ChartTool1->Picture()->Graphic(), nullptr);
    }
    QImage ShownImage()
    {
        const TGraphic* graphic = Window->ChartTool1->Picture()->Graphic();
        return graphic ? graphic->ToImage() : QImage();
    }

    void TearDown() override
    {
        MainWindow::TearDown();
        TBackgroundThreads::Program().JoinAll();
    }
};

// New from data over the open example: the area frames the electrodes two
// spacings out, the surface is the file's topography within it, the host
// the median ρa; the forward window shows the file's data over the new
// section, its electrodes standing where the file puts them.
TEST_F(NewFromData, FramesTheSurveyFollowsItsTopographyAndOpensItsDataInTheForwardWindow)
{
    Start({Section});
    // The command first in the File menu, reachable by its key letter.
    QMenu* fileMenu = qobject_cast<QMenu*>(Window->Newfromdata1->associatedObjects().front());
    ASSERT_NE(fileMenu, nullptr);
    EXPECT_EQ(fileMenu->actions().front(), Window->Newfromdata1);
    EXPECT_EQ(Window->Newfromdata1->text(), QStringLiteral("New from &data..."));
    QStringList keys;
    for (QAction* command : fileMenu->actions())
        if (const qsizetype amp = command->text().indexOf('&'); amp >= 0)
            keys << command->text().mid(amp + 1, 1).toLower();
    EXPECT_EQ(keys.removeDuplicates(), 0) << keys.join(' ').toStdString();
    fileMenu->popup(Window->mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fileMenu));
    test::SaveScreenshot(*fileMenu, QStringLiteral("new-from-data-file-menu"));
    fileMenu->hide();

    const QString file = WriteSurvey(QStringLiteral("survey.dat"), 100.0, true);
    ChooseNewFromData(file);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    // The dialog as Modelling > Measured data... has it, where the last
    // data file was opened (none yet).
    EXPECT_EQ(DialogFilter, MeasuredDataFilter());
    EXPECT_EQ(DialogStart, QString());
    ASSERT_NE(Window->SourceData(), nullptr);

    // The frame: electrodes 10 .. 65, spacing 5.
    const TModelArea& area = Chart().ModelArea;
    EXPECT_EQ(area.left, 0.0);
    EXPECT_EQ(area.right, 75.0);
    // The relief: the topography's points within the frame, and its sides
    // on the ground between the points beyond them.
    std::vector<double> inside;
    for (double x : TopographyX())
        if (x > 0.0 && x < 75.0)
            inside.push_back(x);
    std::sort(inside.begin(), inside.end());
    const auto between = [](double X, double X0, double X1) {
        return Ground(X0, 100.0) + (X - X0) / (X1 - X0) * (Ground(X1, 100.0) - Ground(X0, 100.0));
    };
    std::vector<TGeometryPoint> relief = {{0.0, between(0.0, -10.0, 2.5)}};
    for (double x : inside)
        relief.push_back({x, Ground(x, 100.0)});
    relief.push_back({75.0, between(75.0, 72.0, 80.0)});
    const TForwardModel ground = PrepareForwardModel(Chart().Model, Chart().Nodes, Chart().ModelArea);
    ASSERT_EQ(ground.Surface.size(), relief.size());
    for (size_t i = 0; i < relief.size(); ++i) {
        EXPECT_NEAR(ground.Surface[i].x, relief[i].x, 1e-12) << i;
        EXPECT_NEAR(ground.Surface[i].y, relief[i].y, 1e-12) << i;
    }
    const auto [lowest, highest] = std::minmax_element(
        relief.begin(), relief.end(), [](const TGeometryPoint& a, const TGeometryPoint& b) { return a.y < b.y; });
    EXPECT_EQ(area.top, -highest->y);
    // Deep enough: a third of the 55 m line at least under the lowest ground.
    EXPECT_GE(area.bottom, -lowest->y + 55.0 / 3.0 - 1e-9);
    EXPECT_LE(area.bottom, -lowest->y + 55.0);
    // The host: the median of the 18 ρa (the middle two's mean).
    std::vector<double> values;
    for (int d = 0; d < Data; ++d)
        values.push_back(Resistivity(d));
    std::sort(values.begin(), values.end());
    ASSERT_EQ(ground.Regions.size(), 1u);
    EXPECT_DOUBLE_EQ(ground.Regions[0].resistivity, (values[8] + values[9]) / 2.0);
    EXPECT_EQ(Chart().Model[0][0].params[psResistivity].AsReal(), (values[8] + values[9]) / 2.0);

    // A new document without a file, nothing to save yet.
    EXPECT_EQ(Window->DocumentName(), QString());
    EXPECT_FALSE(Window->Modified());
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Section editor (new from survey.dat)"));
    EXPECT_EQ(Window->ChartTool1->Picture()->Graphic(), nullptr);
    EXPECT_TRUE(Window->Removepicture1->isEnabled());

    // The forward window: shown, its survey the file's, computed over the
    // new section without an elevation mismatch.
    TForwardResponseWindow* forward = Window->ForwardWindow;
    ASSERT_NE(forward, nullptr);
    EXPECT_TRUE(forward->isVisible());
    ASSERT_NE(forward->MeasuredData(), nullptr);
    EXPECT_EQ(forward->Removals().File().get(), Window->SourceData());
    EXPECT_EQ(forward->MeasuredName(), QStringLiteral("survey.dat"));
    EXPECT_EQ(forward->MeasuredFile(), QFileInfo(file).absoluteFilePath());
    EXPECT_TRUE(forward->FitButton->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(forward->Result().has_value() && !forward->Busy(), 120000);
    EXPECT_TRUE(forward->ErrorText().isEmpty()) << forward->ErrorText().toStdString();
    ASSERT_TRUE(forward->Misfit().has_value());
    EXPECT_FALSE(forward->StateLabel->text().contains(QStringLiteral("differ"))) << forward->StateLabel->text().toStdString();
    test::SaveScreenshot(*Window, QStringLiteral("new-from-data-section"));

    // Again: the dialog starts at the data the forward window holds.
    const QString electrodes = WriteSurvey(QStringLiteral("electrodes.dat"), 0.0, false);
    ChooseNewFromData(electrodes);
    EXPECT_EQ(DialogStart, QFileInfo(file).absoluteFilePath());
    EXPECT_EQ(forward->MeasuredName(), QStringLiteral("electrodes.dat"));
    // Its ground: the electrodes' elevations.
    const TForwardModel levelGround = PrepareForwardModel(Chart().Model, Chart().Nodes, Chart().ModelArea);
    ASSERT_EQ(levelGround.Surface.size(), 14u);
    for (int e = 0; e < 12; ++e)
        EXPECT_NEAR(levelGround.Surface[static_cast<size_t>(e + 1)].y, LineGround(10.0 + 5.0 * e, 0.0), 1e-12);
}

// A file that cannot be read is named with the reader's message, before
// any question, and the section stays; Cancel at the question keeps it too;
// Discard makes the new section. Save on a section made from data asks
// for a file, starting at the data's name.
TEST_F(NewFromData, ARefusedFileOrACancelledQuestionLeavesTheSectionAsItWas)
{
    Start({Section});
    ASSERT_NO_FATAL_FAILURE(EditTheExample());
    const TSectionState before = State();

    const QString broken = Folder.filePath(QStringLiteral("broken.dat"));
    QString error;
    ASSERT_TRUE(SaveBytesAtomically(broken, "3\n# x z\n0 0\n5 0\nten 0\n", error));
    ChooseNewFromData(broken);
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].startsWith(QStringLiteral("broken.dat could not be read: "))) << Messages[0].toStdString();
    EXPECT_TRUE(Messages[0].contains(QStringLiteral("ten"))) << Messages[0].toStdString();
    ASSERT_NO_FATAL_FAILURE(ExpectUnchanged(before));
    EXPECT_EQ(Window->ForwardWindow.data(), nullptr);

    // Read, but no datum usable.
    const QString empty = Folder.filePath(QStringLiteral("empty.dat"));
    ASSERT_TRUE(SaveBytesAtomically(empty, "4\n0 0\n5 0\n10 0\n15 0\n1\n# a b m n rhoa\n1 4 2 3 -5\n", error));
    Messages.clear();
    ChooseNewFromData(empty);
    // (Skipped by the reader, or kept and then framing no section: no ρa above 0.)
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].startsWith(QStringLiteral("empty.dat "))) << Messages[0].toStdString();
    ASSERT_NO_FATAL_FAILURE(ExpectUnchanged(before));

    // A readable file, the question cancelled.
    const QString file = WriteSurvey(QStringLiteral("survey.dat"), 20.0, false);
    Messages.clear();
    AnswerSaveQuestion([&] { ChooseNewFromData(file, false); }, QStringLiteral("Cancel"));
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    ASSERT_NO_FATAL_FAILURE(ExpectUnchanged(before));
    EXPECT_EQ(Window->ForwardWindow.data(), nullptr);

    // Discard: the new section.
    AnswerSaveQuestion([&] { ChooseNewFromData(file, false); }, QStringLiteral("Discard"));
    ASSERT_NE(Window->SourceData(), nullptr);
    EXPECT_EQ(Chart().ModelArea.left, 0.0);
    EXPECT_EQ(Chart().ModelArea.right, 75.0);
    EXPECT_EQ(Chart().Model.Length(), 1);
    EXPECT_EQ(FileBytes(Section), FileBytes(test::ExampleFile));
    // Ctrl+Z has nothing before the new section to go back to.
    Window->Undo();
    EXPECT_EQ(Chart().ModelArea.right, 75.0);

    // Save asks for a file, starting at the data's name.
    QString saveStart;
    const QString saved = Folder.filePath(QStringLiteral("from-survey.sec"));
    CommonDialogService().ExecuteSave = [&](TSaveDialogRequest& Request) {
        saveStart = Request.FileName;
        Request.FileName = saved;
        Request.FilterIndex = 1;
        return true;
    };
    Activate();
    ChooseFromMenuBar(Window->Savefile1);
    ResetCommonDialogService();
    EXPECT_EQ(saveStart, Folder.filePath(QStringLiteral("survey.sec")));
    EXPECT_EQ(Window->DocumentName(), saved);
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Section editor ") + saved);
    // It opens again as it was made (to the section file's 15 digits; the
    // host's resistivity to its parameter form's three decimals).
    const TModelArea made = Chart().ModelArea;
    const double host = Chart().Model[0][0].params[psResistivity].AsReal();
    const Tnodes nodes = CopyNodes(Chart().Nodes);
    ASSERT_TRUE(Window->OpenSection(saved));
    EXPECT_EQ(Window->SourceData(), nullptr);
    EXPECT_NEAR(Chart().ModelArea.top, made.top, 1e-12);
    EXPECT_NEAR(Chart().ModelArea.bottom, made.bottom, 1e-12);
    ASSERT_EQ(Chart().Nodes.Length(), nodes.Length());
    for (int i = 0; i < nodes.Length(); ++i) {
        EXPECT_NEAR(Chart().Nodes[i].x, nodes[i].x, 1e-12) << i;
        EXPECT_NEAR(Chart().Nodes[i].y, nodes[i].y, 1e-12) << i;
    }
    EXPECT_NEAR(Chart().Model[0][0].params[psResistivity].AsReal(), host, 5e-4);
}

// The inversion window's New section from data after an inversion over the
// example: a section of its data, the image under it at the cells' frame;
// the image written beside the section at its first save and read back
// with it.
TEST_F(NewFromData, TheInversionWindowsButtonLaysItsImageUnderTheNewSectionAtTheCellsFrame)
{
    Start({Section});
    const QString file = WriteSurvey(QStringLiteral("line.dat"), 0.0, false);
    CommonDialogService().ExecuteOpen = [file](TOpenDialogRequest& Request) {
        Request.FileName = file;
        return true;
    };
    ASSERT_NO_FATAL_FAILURE(OpenInversion());
    ResetCommonDialogService();
    EXPECT_TRUE(Inversion->NewSectionButton->isEnabled());
    EXPECT_TRUE(test::RepeatedMnemonics(*Inversion).isEmpty()) << test::RepeatedMnemonics(*Inversion).join('\n').toStdString();
    ASSERT_NO_FATAL_FAILURE(InvertToTheEnd());
    const TInversionWindow::TImageFrame frame = Inversion->ModelImageFrame();
    const QImage image = Inversion->ModelImage();
    ASSERT_FALSE(image.isNull());
    // The cells frame the survey within the example: 0 .. 75 m.
    EXPECT_EQ(frame.Left, 0.0);
    EXPECT_EQ(frame.Right, 75.0);

    // A datum removed in the forward window since: it stays removed.
    Window->ForwardWindow->SelectData({0});
    ASSERT_EQ(Window->ForwardWindow->RemoveSelected(), 1u);
    QTest::mouseClick(Inversion->NewSectionButton, Qt::LeftButton);
    ASSERT_NE(Window->SourceData(), nullptr);
    EXPECT_TRUE(Window->ForwardWindow->Removals().IsRemoved(0));
    EXPECT_EQ(Window->ForwardWindow->Removals().RemovedCount(), 1u);
    // The new section's data: the forward window's file, of which the
    // inversion holds the data kept.
    EXPECT_EQ(Window->SourceData(), Window->ForwardWindow->Removals().File().get());
    EXPECT_EQ(Inversion->MeasuredData(), Window->ForwardWindow->MeasuredData());
    EXPECT_EQ(Chart().ModelArea.left, 0.0);
    EXPECT_EQ(Chart().ModelArea.right, 75.0);
    ASSERT_NO_FATAL_FAILURE(ExpectUnderlayAt(frame));
    // Not yet written: the section has no file.
    EXPECT_EQ(Window->PicturePath, QString());
    EXPECT_TRUE(Window->Modified());
    Activate();
    test::SaveScreenshot(*Window, QStringLiteral("new-from-data-underlay"));

    // The first save writes it beside the section.
    const QString saved = Folder.filePath(QStringLiteral("line.sec"));
    Window->SaveFile(saved);
    const QString png = Folder.filePath(QStringLiteral("line-inversion.png"));
    EXPECT_EQ(Window->PicturePath, png);
    EXPECT_EQ(QImage(png).convertToFormat(QImage::Format_RGB32), image.convertToFormat(QImage::Format_RGB32));
    const QList<QByteArray> lines = FileBytes(saved).split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(QString::fromLocal8Bit(lines[0]).trimmed(), png);
    const QImage shown = ShownImage();
    ASSERT_TRUE(Window->OpenSection(saved));
    ASSERT_NO_FATAL_FAILURE(ExpectUnderlayAt(frame, 1e-12));
    EXPECT_EQ(ShownImage().convertToFormat(QImage::Format_RGB32), shown.convertToFormat(QImage::Format_RGB32));
}

// A section made from data takes each finished inversion of its data as
// its underlay, at the cells' frame over its own ground, one undo step
// each; not once the user removed the picture, nor on a section read from
// a file.
TEST_F(NewFromData, EachFinishedInversionOfTheSectionsDataBecomesItsUnderlayUntilThePictureIsRemoved)
{
    Start({Section});
    ChooseNewFromData(WriteSurvey(QStringLiteral("hill.dat"), 40.0, true));
    ASSERT_NE(Window->SourceData(), nullptr);
    ASSERT_NO_FATAL_FAILURE(OpenInversion());
    // The cells lie on the new section's ground.
    ASSERT_NO_FATAL_FAILURE(InvertToTheEnd());
    const TInversionWindow::TImageFrame first = Inversion->ModelImageFrame();
    EXPECT_EQ(first.Left, Chart().ModelArea.left);
    EXPECT_EQ(first.Right, Chart().ModelArea.right);
    EXPECT_NEAR(first.Top, Chart().ModelArea.top, 1e-9);
    EXPECT_LE(first.Bottom, Chart().ModelArea.bottom);
    ASSERT_NO_FATAL_FAILURE(ExpectUnderlayAt(first));
    EXPECT_EQ(Window->PicturePath, QString());
    EXPECT_TRUE(Window->Modified());
    const QImage laid = ShownImage();

    // Another run with a larger λ: its image replaces the first; Ctrl+Z
    // gives the first back, and again the section without a picture.
    Inversion->LambdaEdit->setText(QStringLiteral("500"));
    ASSERT_NO_FATAL_FAILURE(InvertToTheEnd());
    ASSERT_NO_FATAL_FAILURE(ExpectUnderlayAt(Inversion->ModelImageFrame()));
    EXPECT_NE(ShownImage(), laid);
    Window->Undo();
    EXPECT_EQ(ShownImage(), laid);
    Window->Undo();
    EXPECT_EQ(Window->ChartTool1->Picture()->Graphic(), nullptr);

    // Laid again by the next run; once removed, no run lays another.
    ASSERT_NO_FATAL_FAILURE(InvertToTheEnd());
    ASSERT_NO_FATAL_FAILURE(ExpectUnderlayAt(Inversion->ModelImageFrame()));
    Activate();
    ChooseFromMenuBar(Window->Removepicture1);
    ASSERT_EQ(Window->ChartTool1->Picture()->Graphic(), nullptr);
    ASSERT_NO_FATAL_FAILURE(InvertToTheEnd());
    EXPECT_EQ(Window->ChartTool1->Picture()->Graphic(), nullptr);

    // A section read from a file keeps its picture.
    ASSERT_TRUE(Window->OpenSection(Section));
    EXPECT_EQ(Window->SourceData(), nullptr);
    const QImage example = ShownImage();
    ASSERT_FALSE(example.isNull());
    ASSERT_NO_FATAL_FAILURE(InvertToTheEnd());
    EXPECT_EQ(ShownImage(), example);
    EXPECT_EQ(Window->PicturePath, Folder.filePath(QStringLiteral("example.jpg")));
}

// Guards a section made from data, saved and opened again, greeted with
// "The picture of NAME.sec is missing: " naming nothing: the section has no
// picture, and its empty picture line is no picture, not a missing one.
TEST_F(NewFromData, ASavedSectionMadeFromDataOpensAgainWithNothingMissing)
{
    Start({Section});
    ChooseNewFromData(WriteSurvey(QStringLiteral("survey.dat"), 20.0, false));
    ASSERT_NE(Window->SourceData(), nullptr);
    const QString saved = Folder.filePath(QStringLiteral("survey.sec"));
    SaveThroughMenu(saved);
    ASSERT_EQ(Window->DocumentName(), saved);
    EXPECT_EQ(PictureLine(saved), QString());

    // Another section first, so the read is a real one.
    ASSERT_TRUE(Window->OpenSection(Section));
    Messages.clear();
    OpenByKey(saved);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_EQ(Window->DocumentName(), saved);
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Section editor ") + saved);
    EXPECT_EQ(Window->Parts->StatusText(1), EditModeStatusText(Chart().EditMode));
    EXPECT_EQ(Window->ChartTool1->Picture()->Graphic(), nullptr);
    EXPECT_EQ(Window->PicturePath, QString());
    // Saved again, it still names no picture.
    SaveThroughMenu(saved);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_EQ(PictureLine(saved), QString());
}

// The axes show Area, and the axis menu's "Default" on either side axis
// leaves them there: the section's area unchanged, nothing to save.
void ExpectDefaultKeepsTheArea(test::MainWindow& Test, const char* What)
{
    SCOPED_TRACE(What);
    TPolygonChart& chart = Test.Chart();
    const TModelArea area = chart.ModelArea;
    const bool modified = Test.Window->Modified();
    const auto expectAxesOnArea = [&] {
        for (const TChartAxis* axis : {chart.BottomAxis(), chart.TopAxis()}) {
            EXPECT_EQ(axis->Minimum(), area.left);
            EXPECT_EQ(axis->Maximum(), area.right);
        }
        for (const TChartAxis* axis : {chart.LeftAxis(), chart.RightAxis()}) {
            EXPECT_EQ(axis->Minimum(), area.top);
            EXPECT_EQ(axis->Maximum(), area.bottom);
        }
    };
    expectAxesOnArea();
    for (const bool bottom : {true, false}) {
        Test.ChooseFromAxisMenu(bottom, "Default");
        EXPECT_EQ(chart.ModelArea.left, area.left);
        EXPECT_EQ(chart.ModelArea.right, area.right);
        EXPECT_EQ(chart.ModelArea.top, area.top);
        EXPECT_EQ(chart.ModelArea.bottom, area.bottom);
        expectAxesOnArea();
        EXPECT_EQ(Test.Window->Modified(), modified);
    }
}

// Guards the axis menu's "Default" after New from data: it put the axes to
// 0 .. 1000, the area of the chart's first section, and the new section's
// area went with them. It shows the open section's area, also for a
// section file whose area is another than 0 .. 1000.
TEST_F(NewFromData, TheAxisMenusDefaultShowsTheSectionsArea)
{
    Start({Section});
    ChooseNewFromData(WriteSurvey(QStringLiteral("survey.dat"), 100.0, true));
    ASSERT_NE(Window->SourceData(), nullptr);
    ASSERT_EQ(Chart().ModelArea.right, 75.0);
    // Saved first, to be opened from its file below.
    const QString saved = Folder.filePath(QStringLiteral("survey.sec"));
    SaveThroughMenu(saved);
    ExpectDefaultKeepsTheArea(*this, "made from data");
    ASSERT_TRUE(Window->OpenSection(Section));
    ASSERT_EQ(Chart().ModelArea.right, 1000.0);
    ExpectDefaultKeepsTheArea(*this, "the example");
    OpenByKey(saved);
    ASSERT_EQ(Window->DocumentName(), saved);
    ASSERT_EQ(Chart().ModelArea.right, 75.0);
    ExpectDefaultKeepsTheArea(*this, "opened from its file");
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
}

// Guards the question before a section made from data is set aside reading
// "Save changes to ?": a section without a file is "Untitled".
TEST_F(NewFromData, TheSaveQuestionCallsASectionWithoutAFileUntitled)
{
    Start({Section});
    const QString file = WriteSurvey(QStringLiteral("survey.dat"), 20.0, false);
    ChooseNewFromData(file);
    Activate();
    ASSERT_NO_FATAL_FAILURE(DrawATriangle());
    ASSERT_TRUE(Window->Modified());
    const int bodies = Chart().Model.Length();
    AnswerSaveQuestion([&] { ChooseNewFromData(file, false); }, QStringLiteral("Cancel"), QStringLiteral("Untitled"));
    EXPECT_EQ(Chart().Model.Length(), bodies);
    EXPECT_TRUE(Window->Modified());
}

// Guards the title keeping its "*" after Ctrl+Z took back every change
// since the save (an inversion's image laid under the section, a body
// drawn): back at the state saved, nothing is left to save; one step
// further back there is again.
TEST_F(NewFromData, CtrlZBackToTheStateSavedClearsTheTitlesMark)
{
    Start({Section});
    ChooseNewFromData(WriteSurvey(QStringLiteral("line.dat"), 40.0, true));
    const QString saved = Folder.filePath(QStringLiteral("line.sec"));
    SaveThroughMenu(saved);
    const QString title = QStringLiteral("Section editor ") + saved;
    ASSERT_EQ(Window->windowTitle(), title);

    // The image of an inversion, laid under the section as it ends.
    ASSERT_NO_FATAL_FAILURE(OpenInversion());
    ASSERT_NO_FATAL_FAILURE(InvertToTheEnd());
    ASSERT_NE(Window->ChartTool1->Picture()->Graphic(), nullptr);
    EXPECT_EQ(Window->windowTitle(), title + QStringLiteral("*"));
    Activate();
    PressCtrlZ();
    EXPECT_EQ(Window->ChartTool1->Picture()->Graphic(), nullptr);
    EXPECT_EQ(Window->windowTitle(), title);
    EXPECT_FALSE(Window->Modified());

    // A body drawn, taken back.
    ASSERT_NO_FATAL_FAILURE(DrawATriangle());
    EXPECT_EQ(Window->windowTitle(), title + QStringLiteral("*"));
    PressCtrlZ();
    EXPECT_EQ(Window->windowTitle(), title);
    // Saved with the body, Ctrl+Z leaves a change to save.
    ASSERT_NO_FATAL_FAILURE(DrawATriangle());
    SaveThroughMenu(saved);
    EXPECT_EQ(Window->windowTitle(), title);
    PressCtrlZ();
    EXPECT_EQ(Window->windowTitle(), title + QStringLiteral("*"));
    EXPECT_TRUE(Window->Modified());
}

// Guards an undone underlay coming back: every image laid went to the same
// NAME-inversion.png at once, while the undo step kept its image only in
// memory; two inversions, Ctrl+Z and Save named the second image's file,
// and the first image was gone from disk. Now the file a save names holds
// the image shown when saved, and no file a save wrote is overwritten.
TEST_F(NewFromData, ASavedSectionNamesTheImageItShowedAndNoSavedImageIsOverwritten)
{
    Start({Section});
    ChooseNewFromData(WriteSurvey(QStringLiteral("line.dat"), 40.0, true));
    const QString saved = Folder.filePath(QStringLiteral("line.sec"));
    SaveThroughMenu(saved);
    ASSERT_EQ(Window->DocumentName(), saved);
    const QString firstFile = Folder.filePath(QStringLiteral("line-inversion.png"));
    const QString secondFile = Folder.filePath(QStringLiteral("line-inversion-2.png"));

    // Two inversions, each laid under the section as it ends.
    ASSERT_NO_FATAL_FAILURE(OpenInversion());
    ASSERT_NO_FATAL_FAILURE(InvertToTheEnd());
    const QImage first = Inversion->ModelImage();
    const QImage firstShown = ShownImage();
    Inversion->LambdaEdit->setText(QStringLiteral("500"));
    ASSERT_NO_FATAL_FAILURE(InvertToTheEnd());
    const QImage second = Inversion->ModelImage();
    const QImage secondShown = ShownImage();
    ASSERT_NE(Rgb(first), Rgb(second));
    // Nothing is written before a save: the saved section is as it was.
    EXPECT_FALSE(QFileInfo::exists(firstFile));
    EXPECT_EQ(PictureLine(saved), QString());

    // Ctrl+Z, Save, open again: the first image, from its own file.
    Activate();
    PressCtrlZ();
    ASSERT_EQ(ShownImage(), firstShown);
    SaveThroughMenu(saved);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_EQ(PictureLine(saved), firstFile);
    EXPECT_EQ(Rgb(QImage(firstFile)), Rgb(first));
    ASSERT_TRUE(Window->OpenSection(saved));
    EXPECT_EQ(Rgb(ShownImage()), Rgb(firstShown));

    // Use as underlay with the second result, saved: a file of its own,
    // the first image's file untouched.
    Activate();
    QTest::mouseClick(Inversion->UnderlayButton, Qt::LeftButton);
    ASSERT_EQ(ShownImage(), secondShown);
    SaveThroughMenu(saved);
    EXPECT_EQ(PictureLine(saved), secondFile);
    EXPECT_EQ(Rgb(QImage(secondFile)), Rgb(second));
    EXPECT_EQ(Rgb(QImage(firstFile)), Rgb(first));
    // Ctrl+Z to the first image and Save: its file again, no third file.
    Activate();
    PressCtrlZ();
    ASSERT_EQ(Rgb(ShownImage()), Rgb(firstShown));
    SaveThroughMenu(saved);
    EXPECT_EQ(PictureLine(saved), firstFile);
    EXPECT_FALSE(QFileInfo::exists(Folder.filePath(QStringLiteral("line-inversion-3.png"))));
    ASSERT_TRUE(Window->OpenSection(saved));
    EXPECT_EQ(Rgb(ShownImage()), Rgb(firstShown));
    EXPECT_EQ(Rgb(QImage(secondFile)), Rgb(second));
}

// The cross-hole user's road: data of two holes 12 m apart (8 electrodes
// each 1.5 m apart) over a 20 ohm-m block between them in 100 ohm-m, made
// by the program's forward computation, through New from data: a section
// around the holes reaching below them, the holes drawn with their
// electrodes at their depths (told under the mouse), the inversion window's
// list of them, and Invert finding the block between the holes.
TEST_F(NewFromData, CrossHoleDataShowTheirHolesAndInvertToTheBlockBetweenThem)
{
    Start({Section});
    // The truth: the block from x 48 to 52, 4.5 m to 8.5 m deep.
    TInversionMesh truth;
    truth.ColumnEdges = {-100.0, 48.0, 52.0, 200.0};
    truth.Elevations.assign(truth.ColumnEdges.size(), 0.0);
    truth.RowDepths = {0.0, 4.5, 8.5, 80.0};
    truth.Bottom = -200.0;
    const std::vector<double> rho{100.0, 100.0, 100.0, 100.0, 20.0, 100.0, 100.0, 100.0, 100.0};
    THoleLayout layout;
    layout.Holes = {44.0, 56.0};
    layout.HoleElectrodes = 8;
    layout.HoleSpacing = 1.5;
    const TSurvey survey = MakeHoleSurvey(layout, [](double) { return 0.0; }).Survey;
    const TForwardResult response = ComputeForwardResponse(InversionGround(truth, rho), survey);
    const QString file = Folder.filePath(QStringLiteral("crosshole.dat"));
    QString error;
    ASSERT_TRUE(SaveBytesAtomically(file, QByteArray::fromStdString(FormatUnifiedData(response)), error))
        << error.toStdString();

    ChooseNewFromData(file);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    ASSERT_NE(Window->SourceData(), nullptr);
    const TModelArea& area = Chart().ModelArea;
    EXPECT_DOUBLE_EQ(area.left, 44.0 - 3 * 1.5);
    EXPECT_DOUBLE_EQ(area.right, 56.0 + 3 * 1.5);
    EXPECT_GE(area.bottom, 12.0 + 3 * 1.5);
    // The forward window's pseudo-sections: each datum where its dipoles
    // are, on an elevation axis.
    TForwardResponseWindow* forward = Window->ForwardWindow;
    ASSERT_NE(forward, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(forward->Result().has_value() && !forward->Busy(), 120000);
    EXPECT_TRUE(forward->ErrorText().isEmpty()) << forward->ErrorText().toStdString();
    const TPseudoSection2d& measured = *forward->MeasuredChart;
    const TSurvey kept = forward->MeasuredData()->Survey();
    ASSERT_EQ(measured.VertexCount, static_cast<int>(kept.Configurations.size()));
    for (int d = 0; d < measured.VertexCount; d += 37) {
        const TConfiguration& c = kept.Configurations[static_cast<size_t>(d)];
        double sum = 0.0;
        int count = 0;
        for (int e : {c.a, c.b, c.m, c.n})
            if (e >= 0) {
                sum += kept.Electrodes[static_cast<size_t>(e)].z;
                ++count;
            }
        EXPECT_DOUBLE_EQ(measured.Vertices[d + 1].AxisY, sum / count) << d;
    }
    EXPECT_EQ(measured.LeftAxis()->Title()->Caption(), QStringLiteral("Elevation (m)"));
    test::SaveScreenshot(*forward, QStringLiteral("cross-hole-forward"));

    // The holes: two, eight electrodes each from 1.5 m to 12 m below 0.
    const std::vector<TDrawnHole>& holes = Window->HoleOverlay->Holes();
    ASSERT_EQ(holes.size(), 2u);
    for (size_t h = 0; h < 2; ++h) {
        EXPECT_EQ(holes[h].X, layout.Holes[h]);
        ASSERT_EQ(holes[h].Electrodes.size(), 8u);
        for (size_t k = 0; k < 8; ++k) {
            EXPECT_EQ(holes[h].Electrodes[k].Number, static_cast<int>(8 * h + k + 1));
            EXPECT_DOUBLE_EQ(holes[h].Electrodes[k].Elevation, -1.5 * static_cast<double>(k + 1));
        }
    }
    // Drawn: each electrode a yellow dot at its depth, the hole a dark line
    // from the ground (the holes' tops) to the deepest electrode, and
    // nothing of it beside the hole.
    Activate();
    ChartWidget()->repaint();
    QCoreApplication::processEvents();
    const QImage picture = ChartWidget()->grab().toImage();
    const TChartAxis& bottom = *Chart().BottomAxis();
    const TChartAxis& left = *Chart().LeftAxis();
    const auto yellow = [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 90; };
    for (const TDrawnHole& hole : holes) {
        const int x = bottom.CalcPosValue(hole.X);
        for (const TDrawnHoleElectrode& electrode : hole.Electrodes)
            EXPECT_TRUE(yellow(picture.pixel(x, left.CalcPosValue(-electrode.Elevation))))
                << "hole " << hole.Number << " electrode " << electrode.Number;
        // Between the first two dots: the line, and the ground beside it.
        const int between = left.CalcPosValue(-(hole.Electrodes[0].Elevation + hole.Electrodes[1].Elevation) / 2.0);
        EXPECT_LT(qGray(picture.pixel(x, between)), 100) << hole.Number;
        EXPECT_GT(qGray(picture.pixel(x - 12, between)), 100) << hole.Number;
        EXPECT_FALSE(yellow(picture.pixel(x - 12, between)));
        // Below the deepest electrode: no line.
        const int below = left.CalcPosValue(-hole.Electrodes.back().Elevation) + 12;
        EXPECT_GT(qGray(picture.pixel(x, below)), 100) << hole.Number;
    }
    // The mouse on the third electrode of the second hole tells it.
    const TDrawnHoleElectrode& third = holes[1].Electrodes[2];
    MoveMouse(QPoint(bottom.CalcPosValue(56.0), left.CalcPosValue(-third.Elevation)), Qt::NoButton);
    EXPECT_EQ(ChartWidget()->toolTip(),
              QStringLiteral("Hole 2, electrode 11: x 56 m, %1 m deep, elevation -4.5 m").arg(third.Depth))
        << ChartWidget()->toolTip().toStdString();
    MoveMouse(QPoint(bottom.CalcPosValue(50.0), left.CalcPosValue(4.5)), Qt::NoButton);
    EXPECT_EQ(ChartWidget()->toolTip(), QString());
    // A well at 44 m (Options > Carotage data): the first hole is drawn on
    // it and named after it; the second, 12 m off, on none.
    ReadWellLog(44.0);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    ASSERT_EQ(holes.size(), 2u);
    EXPECT_EQ(holes[0].X, 44.0);
    EXPECT_EQ(holes[0].Well, QStringLiteral("BH1"));
    EXPECT_EQ(holes[1].X, 56.0);
    EXPECT_EQ(holes[1].Well, QString());
    ChartWidget()->repaint();
    QCoreApplication::processEvents();
    const QImage onWell = ChartWidget()->grab().toImage();
    EXPECT_TRUE(yellow(onWell.pixel(bottom.CalcPosValue(44.0), left.CalcPosValue(6.0))));
    MoveMouse(QPoint(bottom.CalcPosValue(44.0), left.CalcPosValue(1.5)), Qt::NoButton);
    EXPECT_TRUE(ChartWidget()->toolTip().startsWith(QStringLiteral("Hole 1 (well BH1), electrode 1: x 44 m")))
        << ChartWidget()->toolTip().toStdString();

    // The inversion window: its Electrodes page lists the holes' electrodes.
    ASSERT_NO_FATAL_FAILURE(OpenInversion());
    // Two iterations see the block (the data are the computation's own).
    Inversion->IterationsBox->setValue(2);
    const int page = Inversion->PanelTabs->indexOf(Inversion->HoleTable);
    ASSERT_TRUE(Inversion->PanelTabs->isTabVisible(page));
    QTabBar* tabs = Inversion->PanelTabs->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
    EXPECT_EQ(Inversion->PanelTabs->currentIndex(), page);
    const QTableWidget& table = *Inversion->HoleTable;
    ASSERT_EQ(table.rowCount(), 16);
    EXPECT_EQ(table.item(10, 0)->text(), QStringLiteral("2"));
    EXPECT_EQ(table.item(10, 1)->text(), QStringLiteral("11"));
    EXPECT_EQ(table.item(10, 2)->text(), QStringLiteral("56"));
    EXPECT_EQ(table.item(10, 4)->text(), QStringLiteral("-4.5"));
    EXPECT_EQ(table.item(0, 0)->text(), QStringLiteral("1 (BH1)"));
    EXPECT_TRUE(test::RepeatedMnemonics(*Inversion).isEmpty()) << test::RepeatedMnemonics(*Inversion).join('\n').toStdString();

    // The run from the click to its end keeps the event loop going: the
    // click (the settings written), each iteration's image, and the end
    // (three pseudo-sections redrawn, the image painted under the section)
    // each well under 200 ms here (80 ms or so; they took 300 to 400 when
    // the ground's clip was rasterised far past each pseudo-section and
    // every setting was flushed to disk on its own). The bound leaves
    // room for the sanitized debug build (under 400 ms there) on a loaded
    // machine. A step is timed by the processor time the loop's thread
    // spent in it: on a loaded machine the wall clock also counts the
    // time the thread waited for a processor, which is no work of ours.
    const auto threadMilliseconds = [] {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return 1e3 * static_cast<double>(now.tv_sec) + 1e-6 * static_cast<double>(now.tv_nsec);
    };
    double last = threadMilliseconds(), longest = 0.0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const double now = threadMilliseconds();
        longest = std::max(longest, now - last);
        last = now;
    });
    probe.start(0);
    ASSERT_NO_FATAL_FAILURE(InvertToTheEnd());
    probe.stop();
    EXPECT_LT(longest, 800.0) << "ms of the longest event-loop step";
    test::SaveScreenshot(*Inversion, QStringLiteral("cross-hole-inversion"));
    // The section made from the data takes the image as its underlay; the
    // holes stay drawn over it.
    Activate();
    ChartWidget()->repaint();
    QCoreApplication::processEvents();
    const QImage underlaid = ChartWidget()->grab().toImage();
    EXPECT_TRUE(yellow(underlaid.pixel(bottom.CalcPosValue(44.0), left.CalcPosValue(6.0))));
    test::SaveScreenshot(*Window, QStringLiteral("cross-hole-section"));
    // Between the holes: the block's cells lower than those away from it.
    const TInversionPicture& image = *Inversion->Picture();
    ASSERT_EQ(image.Resistivities.size(), static_cast<size_t>(image.Mesh.Cells()));
    double blockLog = 0.0, awayLog = 0.0;
    int blockCells = 0, awayCells = 0;
    for (int cell = 0; cell < image.Mesh.Cells(); ++cell) {
        const TGeometryPoint c = CellCentre(image.Mesh, cell);
        if (c.x < 45.0 || c.x > 55.0 || c.y < -12.0)
            continue;
        const double value = std::log(image.Resistivities[static_cast<size_t>(cell)]);
        if (c.x > 48.0 && c.x < 52.0 && c.y < -4.5 && c.y > -8.5) {
            blockLog += value;
            ++blockCells;
        } else if (c.x < 47.0 || c.x > 53.0 || c.y > -2.5 || c.y < -10.5) {
            awayLog += value;
            ++awayCells;
        }
    }
    ASSERT_GT(blockCells, 0);
    ASSERT_GT(awayCells, 0);
    EXPECT_LT(std::exp(blockLog / blockCells), 0.8 * std::exp(awayLog / awayCells))
        << "block " << std::exp(blockLog / blockCells) << ", away " << std::exp(awayLog / awayCells);
}

// The Known geology page follows the section: a line drawn in Add line
// mode (left clicks, a right click that ends it without a point) is listed
// at once; a log read is listed, and a new site (New from data) takes the
// previous site's logs away, from the section and from the page.
TEST_F(NewFromData, KnownGeologyListsDrawnLinesAndANewSiteDropsTheOldLogs)
{
    Start({Section});
    const QString file = WriteSurvey(QStringLiteral("survey.dat"), 100.0, false);
    ChooseNewFromData(file);
    ASSERT_NO_FATAL_FAILURE(OpenInversion());
    const QTableWidget& lines = *Inversion->Constraints->BoundaryTable;
    const QTableWidget& logs = *Inversion->Constraints->LogTable;
    const int before = lines.rowCount();
    Activate();
    Window->ChooseMode(pmAddLine);
    const TModelArea area = Chart().ModelArea;
    const double y = area.top + (area.bottom - area.top) / 3.0;
    LeftClicks({{area.left + 0.3 * (area.right - area.left), y}, {area.left + 0.6 * (area.right - area.left), y}});
    const QPoint end = Pixel(area.left + 0.8 * (area.right - area.left), y + 1.0);
    MoveMouse(end, Qt::NoButton);
    Click(Qt::RightButton, end);
    ASSERT_EQ(Chart().Lines.Length(), 1);
    EXPECT_EQ(Chart().Lines[0].points.Length(), 2); // the right click added no point
    EXPECT_EQ(lines.rowCount(), before + 1);

    ReadWellLog((area.left + area.right) / 2.0);
    EXPECT_EQ(logs.rowCount(), 1);

    AnswerSaveQuestion([&] { ChooseNewFromData(file, false); }, QStringLiteral("Discard"), QStringLiteral("Untitled"));
    EXPECT_EQ(Window->Carotage->Logs.Length(), 0);
    EXPECT_EQ(logs.rowCount(), 0);
    EXPECT_EQ(lines.rowCount(), before);
}

// The pixel on Axis where Value is drawn, unrounded: the axis' linear
// mapping as its last paint laid it out.
double DrawnPixel(const TChartAxis& Axis, double Value)
{
    const bool fromStart = Axis.Horizontal() != Axis.Inverted();
    const double origin = fromStart ? Axis.StartPixel() : Axis.EndPixel();
    return origin + (fromStart ? 1.0 : -1.0) * (Value - Axis.CalcMinimum()) * Axis.PixelsPerUnit();
}

// Guards clicks landing off what is drawn: the pick scale kept from before
// the chart's layout changed (a title set or cleared after the scales were
// taken: a section opened, a section made from data after an edit and
// Discard, then the axis menu's Default) measured distances 3 % off the
// axes as painted. In Move node, the mouse resting within 7 pixels of a
// node as drawn picks it, and beyond them does not, along either axis.
TEST_F(NewFromData, ANodeIsPickedWithinSevenPixelsOfWhereItIsDrawn)
{
    const auto expectPicksAsDrawn = [&](const char* When) {
        SCOPED_TRACE(When);
        // As the user sees it; no mode chosen again (a new mode takes the
        // scales afresh).
        ChartWidget()->repaint();
        QCoreApplication::processEvents();
        ASSERT_EQ(Chart().EditMode, pmMoveNode);
        const TChartAxis& bottom = *Chart().BottomAxis();
        const TChartAxis& left = *Chart().LeftAxis();
        const Tnodes& nodes = Chart().Nodes;
        int near = 0, far = 0;
        for (int node = 0; node < nodes.Length(); ++node) {
            const double x = DrawnPixel(bottom, nodes[node].x);
            const double y = DrawnPixel(left, nodes[node].y);
            for (int offset = -9; offset <= 9; ++offset)
                for (const bool vertical : {true, false}) {
                    const QPoint at = vertical ? QPoint(qRound(x), qRound(y) + offset)
                                               : QPoint(qRound(x) + offset, qRound(y));
                    if (!ChartWidget()->rect().contains(at))
                        continue;
                    // Only where this node is alone within 9 pixels, and not
                    // within rounding of the rim.
                    const double distance = std::hypot(at.x() - x, at.y() - y);
                    bool alone = std::abs(distance - 7.0) > 0.02;
                    for (int other = 0; other < nodes.Length() && alone; ++other)
                        alone = other == node || std::hypot(at.x() - DrawnPixel(bottom, nodes[other].x),
                                                            at.y() - DrawnPixel(left, nodes[other].y)) > 9.0;
                    if (!alone)
                        continue;
                    MoveMouse(at, Qt::NoButton);
                    const bool picked = Chart().PickNode == node;
                    EXPECT_EQ(picked, distance <= 7.0)
                        << "node " << node << " drawn at " << x << ", " << y << "; the mouse at " << at.x() << ", "
                        << at.y() << ", " << distance << " pixels away";
                    ++(distance <= 7.0 ? near : far);
                }
        }
        EXPECT_GT(near, 20);
        EXPECT_GT(far, 20);
        // The pick scale is the axes' as painted.
        EXPECT_NEAR(Chart().ScaleX / bottom.PixelsPerUnit(), 1.0, 1e-9);
        EXPECT_NEAR(Chart().ScaleY / left.PixelsPerUnit(), 1.0, 1e-9);
    };
    Start({Section});
    Window->ChooseMode(pmMoveNode);
    // A body edited: its node moved.
    DragNode({300, 140}, {330, 150});
    ASSERT_TRUE(Window->Modified());
    const QString file = WriteSurvey(QStringLiteral("survey.dat"), 20.0, false);
    AnswerSaveQuestion([&] { ChooseNewFromData(file, false); }, QStringLiteral("Discard"));
    ASSERT_NE(Window->SourceData(), nullptr);
    Activate();
    expectPicksAsDrawn("new from data");
    ChooseFromAxisMenu(false, "Default");
    expectPicksAsDrawn("the vertical axis' Default");
    ChooseFromAxisMenu(true, "Default");
    expectPicksAsDrawn("the horizontal axis' Default");
}

} // namespace
} // namespace lp

// --- A line on a lake's bottom ------------------------------------------------------------------

namespace lp {
namespace {

// 31 electrodes 2 m apart from x 10 over lake-basin.sec (15 ohm-m water
// from x 20 to 60, 3 m deep from 30 to 50, over 100 ohm-m): those between
// the shores on the bottom, the others at the water's level; dipole-dipole
// n = 1 .. 6 computed by the program's --forward.
struct LakeLine : NewFromData {
    const QString Basin = QStringLiteral(LP_FORWARD_DATA_DIR "/lake-basin.sec");
    static double BottomDepth(double X) { return std::clamp(std::min(X - 20.0, 60.0 - X) * 0.3, 0.0, 3.0); }
    static int Run(const QStringList& Arguments)
    {
        const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::tmpfile(), &std::fclose);
        return RunCommandLine(Arguments, out.get(), out.get()).value_or(-1);
    }
    QString MakeData()
    {
        QByteArray scheme = "31\n# x z\n";
        for (int e = 0; e < 31; ++e)
            scheme += QByteArray::number(10 + 2 * e) + " " + QByteArray::number(-BottomDepth(10 + 2 * e)) + "\n";
        QByteArray rows;
        int count = 0;
        for (int n = 1; n <= 6; ++n)
            for (int a = 1; a + n + 2 <= 31; ++a, ++count)
                rows += QStringLiteral("%1 %2 %3 %4\n").arg(a).arg(a + 1).arg(a + n + 1).arg(a + n + 2).toLatin1();
        QString error;
        EXPECT_TRUE(SaveBytesAtomically(Folder.filePath(QStringLiteral("scheme.dat")),
                                        scheme + QByteArray::number(count) + "\n# a b m n\n" + rows + "0\n", error));
        const QString measured = Folder.filePath(QStringLiteral("lake.dat"));
        EXPECT_EQ(Run({"--forward", measured, Basin, "--scheme", Folder.filePath(QStringLiteral("scheme.dat"))}), 0);
        return measured;
    }
};

// The cell table's resistivity at (X, Depth below the water's surface).
double TableValueAt(const QString& Table, double X, double Depth)
{
    const QList<QByteArray> rows = FileBytes(Table).trimmed().split('\n');
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QList<QByteArray> v = rows[r].split(',');
        if (X >= v[0].toDouble() && X < v[1].toDouble() && Depth >= v[2].toDouble() && Depth < v[3].toDouble())
            return v[4].toDouble();
    }
    return NAN;
}

// A line laid on a lake's bottom made its bottom the ground's surface: no
// water to mark, and the water's effect went into the ground under it.
// New from data asks, frames the water under its level and marks it; the
// water's resistivity typed there, the Invert window holds it, and the
// image under the bottom comes out within 20 % of the command line's with
// the water drawn and held (--fixed).
TEST_F(LakeLine, NewFromDataFramesTheWaterAndTheWindowHoldsIt)
{
    const QString measured = MakeData();
    const QString table = Folder.filePath(QStringLiteral("fixed.csv"));
    ASSERT_EQ(Run({"--invert", table, measured, "--section", Basin, "--fixed", "Water"}), 0);
    Start({Section});
    QString asked;
    Activate();
    AnswerModal<QDialog>([&] { ChooseNewFromData(measured, false); },
                         [&](QDialog& Question) {
                             asked = Question.objectName();
                             test::SaveScreenshot(Question, QStringLiteral("lake-question"));
                             auto* edit = Question.findChild<QLineEdit*>(QStringLiteral("WaterResistivityEdit"));
                             ASSERT_NE(edit, nullptr);
                             QTest::keyClicks(edit, QStringLiteral("15"));
                             QTest::mouseClick(Question.findChild<QPushButton*>(QStringLiteral("WaterButton")),
                                               Qt::LeftButton);
                         });
    ASSERT_EQ(asked, QStringLiteral("LakeQuestion"));
    ASSERT_EQ(Chart().Model.Length(), 2);
    EXPECT_TRUE(RegionIsWater(Chart().Model[1][0].params));
    EXPECT_EQ(Chart().Model[1][0].params[psResistivity].AsReal(), 15.0);
    ASSERT_NO_FATAL_FAILURE(OpenInversion());
    Inversion->IterationsBox->setValue(20);
    ASSERT_NO_FATAL_FAILURE(InvertToTheEnd());
    EXPECT_GT(Inversion->WaterCellsHeld(), 0);
    const TInversionMesh& mesh = Inversion->Picture()->Mesh;
    for (double x = 32.0; x <= 48.0; x += 4.0)
        for (double below : {1.0, 2.5, 4.0}) {
            const int cell = CellAt(mesh, {x, -3.0 - below});
            ASSERT_GE(cell, 0);
            const double window = Inversion->Result()->Resistivities.at(static_cast<size_t>(cell));
            const double line = TableValueAt(table, x, 3.0 + below);
            EXPECT_NEAR(window / line, 1.0, 0.2) << "x " << x << ", " << below << " m below the bottom: window "
                                                 << window << ", command line " << line;
        }
    const int water = CellAt(mesh, {40.0, -1.5});
    EXPECT_EQ(Inversion->Result()->Resistivities.at(static_cast<size_t>(water)), 15.0);
    EXPECT_TRUE(Inversion->StateLabel->text().contains(QStringLiteral("water held"))) << Inversion->StateLabel->text().toStdString();
    Inversion->resize(800, 600);
    test::SaveScreenshot(*Inversion, QStringLiteral("inversion-lake"));
}

// The water's resistivity left empty: the table of regions opens on the
// water's row saying what to type, and Invert refuses to hold water of no
// resistivity, naming it. "Ground" keeps the electrodes' ground.
TEST_F(LakeLine, TheWatersResistivityLeftToFillOrTheRunTakenAsGround)
{
    const QString measured = MakeData();
    Start({Section});
    for (const char* button : {"WaterButton", "GroundButton"}) {
        Activate();
        AnswerModal<QDialog>([&] { ChooseNewFromData(measured, false); },
                             [&](QDialog& Question) {
                                 QTest::mouseClick(Question.findChild<QPushButton*>(QString::fromLatin1(button)),
                                                   Qt::LeftButton);
                             });
        if (QLatin1String(button) == QLatin1String("GroundButton")) {
            EXPECT_EQ(Chart().Model.Length(), 1);
            break;
        }
        ASSERT_EQ(Chart().Model.Length(), 2);
        ASSERT_NE(Window->RegionsWindow, nullptr);
        ASSERT_TRUE(Window->RegionsWindow->isVisible());
        EXPECT_TRUE(Window->RegionsWindow->MessageLabel->text().contains(QStringLiteral("no resistivity yet")));
        Window->RegionsWindow->resize(800, 600);
        test::SaveScreenshot(*Window->RegionsWindow, QStringLiteral("regions-lake"));
        ASSERT_NO_FATAL_FAILURE(OpenInversion());
        QTest::mouseClick(Inversion->InvertButton, Qt::LeftButton);
        EXPECT_FALSE(Inversion->Busy());
        EXPECT_TRUE(Inversion->ErrorText().contains(QStringLiteral("The water marked in the section cannot be held: "
                                                                   "Region \"Water\" (body 1, ring 0) has no "
                                                                   "resistivity")))
            << Inversion->ErrorText().toStdString();
    }
}

} // namespace
} // namespace lp
