// Modelling > Several lines... as a user meets it: three lines of a site
// (two parallel lines and a tie line across them) added from their files,
// shown on the map with their crossings, inverted (a hand-made run hands
// the window one resistivity per line, so that each line's colour tells it
// on every view), the fence drawn in the chart's 3-D canvas and turned and
// zoomed with the mouse, a slice drawn, everything exported and read back,
// a line opened as a section with its image under it; files that are no
// line of the site refused by name; the window's keys and fit.

#include "section/modelling/SiteLinesWindow.h"

#include "DialogTestUtil.h"
#include "tests/section/modelling/ModellingWindowDriving.h"
#include "tests/section/main/MainWindowFixture.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotExport.h"
#include "chart/export/PlotExportForm.h"
#include "chart/extensions/grid3d/PlotColorGridSeries.h"
#include "platform/graphics/Picture.h"
#include "section/inversion/InversionMesh.h"
#include "section/modelling/BackgroundThreads.h"
#include "section/modelling/SiteFenceChart.h"
#include "section/modelling/SiteFenceSeries.h"
#include "section/site/LineCrossings.h"
#include "section/site/SiteTrack.h"
#include "section/site/SiteVolume.h"
#include "section/views/Section2D.h"

#include <QtCore/QTimer>
#include <QtGui/QWheelEvent>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QTableWidget>

#include <algorithm>
#include <cmath>

namespace lp::test {
namespace {

// Each line's one resistivity: south the scale's low end, north its high
// end, the tie line between them.
constexpr double LineResistivities[] = {10.0, 1000.0, 100.0};

// A line's electrodes on the map (x, y, z) as a unified data file with a
// few Wenner data of 100 ohm-m.
QString LineFile(const std::vector<std::array<double, 3>>& Electrodes, bool Map = true)
{
    QString text = QStringLiteral("%1\n%2\n").arg(Electrodes.size()).arg(Map ? "# x y z" : "# x z");
    for (const auto& [x, y, z] : Electrodes)
        text += Map ? QStringLiteral("%1 %2 %3\n").arg(x).arg(y).arg(z) : QStringLiteral("%1 %2\n").arg(x).arg(z);
    const int n = static_cast<int>(Electrodes.size());
    QStringList data;
    for (int a = 1; a + 3 <= n; ++a)
        data << QStringLiteral("%1 %2 %3 %4 100").arg(a).arg(a + 3).arg(a + 1).arg(a + 2);
    for (int a = 1; a + 6 <= n; ++a)
        data << QStringLiteral("%1 %2 %3 %4 100").arg(a).arg(a + 6).arg(a + 2).arg(a + 4);
    return text + QStringLiteral("%1\n# a b m n rhoa\n%2\n0\n").arg(data.size()).arg(data.join(QLatin1Char('\n')));
}

// Eight electrodes 2 m apart from (X0, Y0) along (DX, DY), the ground
// rising gently eastwards.
std::vector<std::array<double, 3>> Electrodes(double X0, double Y0, double DX, double DY)
{
    std::vector<std::array<double, 3>> electrodes;
    for (int e = 0; e < 8; ++e) {
        const double x = X0 + 2.0 * e * DX, y = Y0 + 2.0 * e * DY;
        electrodes.push_back({x, y, 100.0 + 0.05 * x});
    }
    return electrodes;
}

// A line's image on its track: columns 2 m wide from a column before the
// track's start to one past its end (padding off the map), four rows
// following the ground, every cell at the line's resistivity.
TLineImage HandImage(const TSiteLine& Line, double Resistivity)
{
    TLineImage image;
    TInversionMesh& mesh = image.Mesh;
    const double first = Line.Track.front().Distance, last = Line.Track.back().Distance;
    for (double x = first - 2.0; x <= last + 2.0 + 1e-9; x += 2.0) {
        mesh.ColumnEdges.push_back(x);
        mesh.Elevations.push_back(TrackPointAt(Line.Track, x).Z);
    }
    mesh.RowDepths = {0.0, 1.0, 2.5, 4.5, 7.0};
    mesh.Level = *std::min_element(mesh.Elevations.begin(), mesh.Elevations.end());
    mesh.Bottom = mesh.Level - 10.0;
    image.Resistivities.assign(static_cast<size_t>(mesh.Cells()), Resistivity);
    image.Coverage.assign(static_cast<size_t>(mesh.Cells()), 1.0);
    image.Inversion.Resistivities = image.Resistivities;
    image.Inversion.Coverage = image.Coverage;
    image.Data = Line.Data.Resistivities.size();
    image.ChiSquare = 1.25;
    image.Rrms = 2.5;
    return image;
}

TSiteImages HandImages(const std::vector<TSiteLine>& Lines)
{
    TSiteImages images;
    for (size_t l = 0; l < Lines.size(); ++l)
        images.Images.push_back(HandImage(Lines[l], LineResistivities[l % 3]));
    images.Crossings = FindCrossings(Lines);
    return images;
}

// Whether a pixel shows Colour (0x00BBGGRR) within Tolerance per channel.
bool Shows(QRgb Pixel, TColor Colour, int Tolerance = 24)
{
    return std::abs(qRed(Pixel) - static_cast<int>(Colour & 0xFF)) <= Tolerance &&
           std::abs(qGreen(Pixel) - static_cast<int>((Colour >> 8) & 0xFF)) <= Tolerance &&
           std::abs(qBlue(Pixel) - static_cast<int>((Colour >> 16) & 0xFF)) <= Tolerance;
}

// The chart as shown once the repaints it asks for are over (a map takes
// its scale from the paint before).
QImage Drawn(TChart& Chart)
{
    Chart.Widget()->repaint();
    QCoreApplication::processEvents();
    Chart.Widget()->repaint();
    return Chart.Widget()->grab().toImage();
}

struct SiteLinesWindowTest : MainWindow {
    TSiteLinesWindow* Site = nullptr;
    QStringList Files; // south, north, tie
    int Runs = 0;

    void TearDown() override
    {
        MainWindow::TearDown();
        TBackgroundThreads::Program().JoinAll();
    }
    QString Write(const QString& Name, const QString& Text)
    {
        QFile file(Folder.filePath(Name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(Text.toUtf8());
        return file.fileName();
    }
    // The example open, the lines written, Modelling > Several lines...
    // chosen from the menu bar, the hand-made run in place of the
    // inversion unless the main window's own run is to go (HandRun false).
    void Open(bool HandRun = true)
    {
        Start({Section});
        Files << Write(QStringLiteral("south.dat"), LineFile(Electrodes(0.0, 0.0, 1.0, 0.0)))
              << Write(QStringLiteral("north.dat"), LineFile(Electrodes(0.0, 6.0, 1.0, 0.0)))
              << Write(QStringLiteral("tie.dat"), LineFile(Electrodes(6.0, -4.0, 0.0, 1.0)));
        ChooseFromMenuBar(Window->Severallines1);
        QTRY_VERIFY_WITH_TIMEOUT(Window->SiteLinesWindow && Window->SiteLinesWindow->isVisible(), 5000);
        Site = Window->SiteLinesWindow;
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Site, 5000);
        ASSERT_TRUE(Site->Runner);
        if (!HandRun)
            return;
        Site->Runner = [this](const std::vector<TSiteLine>& Lines, const TSurveyInversionOptions&,
                              const TSiteCallbacks& Callbacks) {
            ++Runs;
            for (size_t l = 0; l < Lines.size(); ++l)
                Callbacks.Progress(l, "iteration 1");
            return HandImages(Lines);
        };
    }
    void AltKey(Qt::Key Key) { PressAltKey(*Site, Key); }
    // Add... (Alt+A) with Chosen picked together in the open dialog.
    void AddByKey(const QStringList& Chosen)
    {
        bool several = false;
        CommonDialogService().ExecuteOpen = [&](TOpenDialogRequest& Request) {
            several = Request.Several;
            Request.FileNames = Chosen;
            Request.FileName = Chosen.front();
            return true;
        };
        AltKey(Qt::Key_A);
        ResetCommonDialogService();
        EXPECT_TRUE(several);
    }
    void InvertAll()
    {
        AltKey(Qt::Key_I);
        QTRY_VERIFY_WITH_TIMEOUT(!Site->Busy(), 20000);
        ASSERT_TRUE(Site->Images().has_value()) << Site->ErrorText().toStdString();
    }
    void AddAndInvert()
    {
        ASSERT_NO_FATAL_FAILURE(AddByKey(Files));
        ASSERT_EQ(Site->LineCount(), 3);
        ASSERT_NO_FATAL_FAILURE(InvertAll());
    }
    // A drag on the fence chart's window with the left button.
    void Drag(QPoint From, QPoint To)
    {
        QWidget* host = Site->FenceChart->Widget();
        QTest::mousePress(host, Qt::LeftButton, {}, From);
        for (int step = 1; step <= 4; ++step) {
            const QPoint at = From + (To - From) * step / 4;
            QMouseEvent move(QEvent::MouseMove, QPointF(at), host->mapToGlobal(QPointF(at)), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(host, &move);
        }
        QTest::mouseRelease(host, Qt::LeftButton, {}, To);
    }
};

// Every line's colour shows on the fence where the 3-D canvas puts one of
// its cells: at the centre of a cell as painted (a quadrilateral no other
// covers there), the picture holds the cell's colour.
void ExpectEachLineOnTheFence(TSiteLinesWindow& Site)
{
    TSiteFenceSeries& fence = *Site.FenceChart->Fence();
    const QImage picture = Drawn(*Site.FenceChart);
    ASSERT_FALSE(fence.DrawnQuads().empty());
    for (double resistivity : LineResistivities) {
        const TColor colour = Site.ColourOf(resistivity);
        int shown = 0;
        for (const TSiteFenceSeries::TDrawnQuad& quad : fence.DrawnQuads()) {
            if (quad.Color != colour)
                continue;
            QPoint centre;
            for (const TPoint& corner : quad.Points)
                centre += QPoint(corner.X, corner.Y);
            centre /= 4;
            if (fence.Clicked(centre.x(), centre.y()) == quad.Quad && Shows(picture.pixel(centre), colour, 8))
                ++shown;
        }
        EXPECT_GE(shown, 3) << resistivity << " ohm-m";
    }
}

// The road from the files to the fence: the lines added together, the map
// with the tracks and the two crossings; Invert all; the fence in 3-D,
// each line's colour where its cells stand; a drag turns it (both angles
// change, and the picture), the wheel zooms it; a slice at 2 m drawn in
// the colours of its points.
TEST_F(SiteLinesWindowTest, TheLinesGoFromTheirFilesToTheFence)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_FALSE(Site->InvertButton->isEnabled());
    ASSERT_NO_FATAL_FAILURE(AddByKey(Files));
    ASSERT_EQ(Site->LineCount(), 3);
    EXPECT_EQ(Site->LineTable->item(2, 0)->text(), QStringLiteral("tie"));
    EXPECT_EQ(Site->LineTable->item(0, 1)->text(), QStringLiteral("8"));

    // The map: three tracks and the crossings at (6, 0) and (6, 6), red.
    ASSERT_EQ(Site->Crossings().size(), 2u);
    EXPECT_NEAR(Site->Crossings()[0].X, 6.0, 1e-6);
    EXPECT_NEAR(Site->Crossings()[1].Y, 6.0, 1e-6);
    Site->ResultTabs->setCurrentIndex(TSiteLinesWindow::MapTab);
    TChart& map = *Site->MapChart;
    ASSERT_EQ(map.SeriesCount(), 4);
    EXPECT_EQ(map.Series(0)->Count(), 8);
    const QImage mapPicture = Drawn(map);
    TChartSeries& crossings = *map.Series(3);
    ASSERT_EQ(crossings.Count(), 2);
    for (int c = 0; c < 2; ++c) {
        const QPoint at(crossings.CalcXPos(c), crossings.CalcYPos(c));
        EXPECT_TRUE(Shows(mapPicture.pixel(at + QPoint(3, 0)), clRed, 40)) << c;
    }

    ASSERT_NO_FATAL_FAILURE(InvertAll());
    EXPECT_EQ(Runs, 1);
    EXPECT_EQ(Site->LineTable->item(1, 3)->text(), ShortNumber(1.25));
    EXPECT_EQ(Site->ResultTabs->currentIndex(), TSiteLinesWindow::FenceTab);
    // One scale over every line: south's 10 ohm-m and north's 1000 at its ends.
    EXPECT_NEAR(Site->ScaleLow(), 10.0, 1e-9);
    EXPECT_NEAR(Site->ScaleHigh(), 1000.0, 1e-9);
    // Within the tracks only: 7 columns of 4 rows per line.
    EXPECT_EQ(Site->FenceChart->Fence()->QuadCount(), 3 * 7 * 4);
    ASSERT_NO_FATAL_FAILURE(ExpectEachLineOnTheFence(*Site));

    // Turned by a drag: right and up turn the rotation and the elevation.
    const TView3DOptions& view = *Site->FenceChart->View3DOptions();
    const double rotation = view.RotationFloat(), elevation = view.ElevationFloat();
    const QImage before = Drawn(*Site->FenceChart);
    const QPoint centre = Site->FenceChart->Widget()->rect().center();
    Drag(centre, centre + QPoint(60, -40));
    EXPECT_NE(view.RotationFloat(), rotation);
    EXPECT_NE(view.ElevationFloat(), elevation);
    EXPECT_NE(Drawn(*Site->FenceChart), before);
    ASSERT_NO_FATAL_FAILURE(ExpectEachLineOnTheFence(*Site));
    // The wheel zooms in; Start view (Alt+W) gives the opening view back.
    QWidget* host = Site->FenceChart->Widget();
    QWheelEvent wheel(QPointF(centre), host->mapToGlobal(QPointF(centre)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(host, &wheel);
    EXPECT_GT(view.Zoom(), TSiteFenceChart::StartZoom);
    AltKey(Qt::Key_W);
    EXPECT_EQ(view.Zoom(), TSiteFenceChart::StartZoom);
    EXPECT_EQ(view.RotationFloat(), TSiteFenceChart::StartRotation);

    // The slice at the first depth typed (2 m): each point's cell in its
    // colour, the points of the volume between the lines.
    Site->ResultTabs->setCurrentIndex(TSiteLinesWindow::SliceTab);
    ASSERT_EQ(Site->SliceBox->count(), 2);
    const std::vector<TVolumePoint>& slice = Site->SliceShown();
    ASSERT_FALSE(slice.empty());
    const QImage slicePicture = Drawn(*Site->SliceChart);
    TColorGridSeries& grid = *Site->SliceGrid;
    int checked = 0;
    for (const TVolumePoint& point : slice) {
        // Away from the tracks drawn over the cells.
        if (std::abs(point.Y) < 1.0 || std::abs(point.Y - 6.0) < 1.0 || std::abs(point.X - 6.0) < 1.0)
            continue;
        const QPoint at(grid.CalcXPosValue(point.X), grid.CalcYPosValue(point.Y));
        const TColor colour = ShownCellColour([&](double Value) { return Site->ColourOf(Value); }, point.Resistivity,
                                              point.Weight, Site->FadeBox->isChecked());
        EXPECT_TRUE(Shows(slicePicture.pixel(at), colour, 8)) << point.X << " " << point.Y;
        ++checked;
    }
    EXPECT_GT(checked, 3);
    // Another depth chosen: its slice.
    Site->SliceBox->setCurrentIndex(1);
    emit Site->SliceBox->activated(1);
    EXPECT_TRUE(Site->SliceChart->Title()->Text()->Strings(0).contains(QStringLiteral("5 m")));

    // Depths that are none are said in the state line until typed right.
    Site->DepthsEdit->setText(QStringLiteral("2, x"));
    emit Site->DepthsEdit->editingFinished();
    EXPECT_TRUE(Site->StateLabel->text().startsWith(QStringLiteral("\"x\" is no depth")))
        << Site->StateLabel->text().toStdString();
    Site->DepthsEdit->setText(QStringLiteral("3"));
    emit Site->DepthsEdit->editingFinished();
    EXPECT_TRUE(Site->ErrorText().isEmpty()) << Site->ErrorText().toStdString();
    EXPECT_EQ(Site->SliceBox->count(), 1);
    EXPECT_TRUE(Site->SliceChart->Title()->Text()->Strings(0).contains(QStringLiteral("3 m")));

    // The tie line removed: the list's misfits clear (the images are of
    // the lines before), the map shows the lines left, which cross nowhere.
    Site->LineTable->selectRow(2);
    AltKey(Qt::Key_R);
    ASSERT_EQ(Site->LineCount(), 2);
    EXPECT_TRUE(Site->LineTable->item(0, 3)->text().isEmpty());
    EXPECT_TRUE(Site->Crossings().empty());
    EXPECT_EQ(map.Series(2)->Count(), 0);
    EXPECT_EQ(Site->ImagedLines().size(), 3u);
}

// Export: the tables into a folder the user picks (a table per line,
// fence.csv, volume.csv, a slice per depth typed), read back as the site
// layer formats them; the volume as VTK; the fence's picture through the
// program's picture export; then a line opened as a section, its image
// laid under it on the cells' frame.
TEST_F(SiteLinesWindowTest, TheResultIsExportedAndALineOpensAsASection)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(AddAndInvert());
    const std::vector<TSiteLine>& lines = Site->ImagedLines();
    const TSiteImages& images = *Site->Images();
    QDir out(Folder.filePath(QStringLiteral("out")));
    ASSERT_TRUE(out.mkpath(QStringLiteral(".")));
    Site->DepthsEdit->setText(QStringLiteral("1.5, 4"));
    bool folder = false;
    CommonDialogService().ExecuteOpen = [&](TOpenDialogRequest& Request) {
        folder = Request.Folder;
        Request.FileName = out.path();
        return true;
    };
    Site->ExportButton->menu()->findChild<QAction*>(QStringLiteral("ExportTablesAction"))->trigger();
    ResetCommonDialogService();
    EXPECT_TRUE(folder);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(out.entryList(QDir::Files, QDir::Name).join(QLatin1Char(' ')),
              QStringLiteral("fence.csv north.csv slice-1.5.csv slice-4.csv south.csv tie.csv volume.csv"));
    for (size_t l = 0; l < lines.size(); ++l)
        EXPECT_EQ(FileBytes(out.filePath(QString::fromStdString(lines[l].Name) + QStringLiteral(".csv"))).toStdString(),
                  FormatInversionTable(images.Images[l].Mesh, images.Images[l].Inversion));
    EXPECT_EQ(FileBytes(out.filePath(QStringLiteral("fence.csv"))).toStdString(),
              FormatFenceCsv(lines, FenceCells(lines, images)));
    EXPECT_EQ(FileBytes(out.filePath(QStringLiteral("volume.csv"))).toStdString(),
              FormatVolumeCsv(InterpolateVolume(lines, images)));
    EXPECT_EQ(FileBytes(out.filePath(QStringLiteral("slice-4.csv"))).toStdString(),
              FormatSliceCsv(VolumeSlice(lines, images, 4.0)));

    // The volume for ParaView.
    const QString vtk = Folder.filePath(QStringLiteral("site.vtk"));
    CommonDialogService().ExecuteSave = [&](TSaveDialogRequest& Request) {
        Request.FileName = vtk;
        return true;
    };
    Site->ExportButton->menu()->findChild<QAction*>(QStringLiteral("ExportVolumeAction"))->trigger();
    ResetCommonDialogService();
    EXPECT_EQ(FileBytes(vtk).toStdString(), FormatVolumeVtk(InterpolateVolume(lines, images)));

    // The picture: the program's export dialog, of the fence chart.
    EXPECT_EQ(ExportedChart([this] {
                  QTimer::singleShot(0, [this] {
                      Site->ExportButton->menu()->findChild<QAction*>(QStringLiteral("ExportPictureAction"))->trigger();
                  });
              }),
              Site->FenceChart);

    // North (line 1) picked in the image tab and opened as a section: a
    // section of its data along its track, its image laid under it.
    Site->ResultTabs->setCurrentIndex(TSiteLinesWindow::ImageTab);
    Site->LineBox->setCurrentIndex(1);
    emit Site->LineBox->activated(1);
    ASSERT_EQ(Site->LineShown(), 1);
    EXPECT_TRUE(Site->ImageChart->Title()->Text()->Strings(0).startsWith(QStringLiteral("north")));
    // The image chart draws the line in the common scale's colour.
    const QImage imagePicture = Drawn(*Site->ImageChart);
    const TRect area = Site->ImageChart->CellArea();
    EXPECT_TRUE(Shows(imagePicture.pixel((area.Left + area.Right) / 2, (area.Top + area.Bottom) / 2),
                      Site->ColourOf(1000.0), 8));
    Site->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Site, 5000);
    AltKey(Qt::Key_P);
    QTRY_VERIFY_WITH_TIMEOUT(Window->windowTitle().contains(QStringLiteral("north")), 5000);
    ASSERT_NE(Window->ChartTool1->Picture()->Graphic(), nullptr);
    const TSiteLinesWindow::TImageFrame frame = Site->LineImageFrame(1);
    const TInversionMesh& mesh = images.Images[1].Mesh;
    EXPECT_DOUBLE_EQ(Window->PictureCorners[0], mesh.ColumnEdges.front());
    EXPECT_DOUBLE_EQ(Window->PictureCorners[2], mesh.ColumnEdges.back());
    EXPECT_DOUBLE_EQ(Window->PictureCorners[1], frame.Top);
    EXPECT_DOUBLE_EQ(Window->PictureCorners[3], -mesh.Bottom);
    // The section's area frames the line's electrodes along its track.
    const TModelArea shown = Window->PolygonChart1->ModelArea;
    EXPECT_LE(shown.left, lines[1].Track.front().Distance);
    EXPECT_GE(shown.right, lines[1].Track.back().Distance);
}

// Files that give no line of the site are refused by name and not listed:
// one without map coordinates, a second line of one name, one that cannot
// be read at all; the lines listed stay.
TEST_F(SiteLinesWindowTest, FilesThatAreNoLineOfTheSiteAreRefusedByName)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(AddByKey({Files[0]}));
    QDir other(Folder.filePath(QStringLiteral("other")));
    ASSERT_TRUE(other.mkpath(QStringLiteral(".")));
    const QString flat = Write(QStringLiteral("flat.dat"), LineFile(Electrodes(0.0, 0.0, 1.0, 0.0), false));
    QFile twin(other.filePath(QStringLiteral("south.dat")));
    ASSERT_TRUE(twin.open(QIODevice::WriteOnly));
    twin.write(LineFile(Electrodes(0.0, 12.0, 1.0, 0.0)).toUtf8());
    twin.close();
    const QString words = Write(QStringLiteral("words.dat"), QStringLiteral("no datum here\n"));
    for (const QString& file : {flat, twin.fileName(), words}) {
        Messages.clear();
        ASSERT_NO_FATAL_FAILURE(AddByKey({file}));
        ASSERT_EQ(Messages.size(), 1) << file.toStdString();
        EXPECT_TRUE(Messages.front().contains(QFileInfo(file).fileName())) << Messages.front().toStdString();
        EXPECT_EQ(Site->LineCount(), 1);
    }
    // Invert all without a run to do: said, nothing run.
    Site->Runner = {};
    EXPECT_FALSE(Site->InvertAll());
    EXPECT_FALSE(Site->ErrorText().isEmpty());
}

// The synthetic site inverted by the main window's own run (the manual's
// screens); the window at its opening size: every control within it and
// not squeezed; Tab walks the list, its buttons, the options
// and Invert all; Escape closes it.
TEST_F(SiteLinesWindowTest, ItFitsItsOpeningSizeAndTheKeysWalkIt)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    // The synthetic site of the site layer's tests (five parallel lines 8 m
    // apart, one bent, a tie line across them; a conductive block under
    // two lines and a dipping layer), inverted by the main window's run.
    QStringList site;
    for (const char* name : {"line1", "line2", "line3", "line4", "line5", "tie"})
        site << QStringLiteral(LP_FORWARD_DATA_DIR "/../../site/%1.dat").arg(QString::fromLatin1(name));
    ASSERT_NO_FATAL_FAILURE(AddByKey(site));
    ASSERT_EQ(Site->LineCount(), 6);
    ASSERT_EQ(Site->Crossings().size(), 5u);
    Site->FadeBox->setChecked(true);
    AltKey(Qt::Key_I);
    QTRY_VERIFY_WITH_TIMEOUT(!Site->Busy(), 300000);
    ASSERT_TRUE(Site->Images().has_value()) << Site->ErrorText().toStdString();
    ASSERT_EQ(Site->Images()->Images.size(), 6u);
    for (const TLineImage& image : Site->Images()->Images) {
        EXPECT_EQ(image.Resistivities.size(), static_cast<size_t>(image.Mesh.Cells()));
        EXPECT_LT(image.ChiSquare, 3.0);
    }
    EXPECT_GT(Site->FenceChart->Fence()->QuadCount(), 0);
    EXPECT_FALSE(Site->SliceShown().empty());
    Site->LineTable->selectRow(2);
    // Turned to look down between the lines from the south.
    Site->FenceChart->View3DOptions()->SetRotationFloat(345.0);
    Site->FenceChart->View3DOptions()->SetElevationFloat(305.0);
    SaveScreenshot(*Site, QStringLiteral("site-lines-fence"));
    Site->FenceChart->ResetView();
    // Each tab painted once before its picture: the maps take one scale
    // east and north from the chart's rectangle of the paint before.
    const auto photograph = [this](int Tab, const char* Name) {
        Site->ResultTabs->setCurrentIndex(Tab);
        SettleLayouts();
        Site->repaint();
        QCoreApplication::processEvents();
        SaveScreenshot(*Site, QString::fromLatin1(Name));
    };
    photograph(TSiteLinesWindow::MapTab, "site-lines-map");
    photograph(TSiteLinesWindow::SliceTab, "site-lines-slice");
    photograph(TSiteLinesWindow::ImageTab, "site-lines-image");

    for (int tab = 0; tab < Site->ResultTabs->count(); ++tab) {
        Site->ResultTabs->setCurrentIndex(tab);
        SettleLayouts();
        for (QWidget* control : Site->findChildren<QWidget*>()) {
            if (!control->isVisible() || control->isWindow())
                continue;
            const QRect shown(control->mapTo(Site, QPoint(0, 0)), control->size());
            EXPECT_TRUE(Site->rect().contains(shown)) << ControlPath(control, Site).toStdString();
            if (qobject_cast<QPushButton*>(control) || qobject_cast<QLabel*>(control)) {
                EXPECT_GE(control->width(), control->minimumSizeHint().width())
                    << ControlPath(control, Site).toStdString();
            }
        }
    }
    EXPECT_LE(Site->minimumSizeHint().width(), Site->width());
    EXPECT_LE(Site->minimumSizeHint().height(), Site->height());

    Site->LineTable->selectRow(0);
    Site->LineTable->setFocus();
    for (QWidget* next : std::vector<QWidget*>{Site->AddButton, Site->RemoveButton, Site->ErrorEdit, Site->LambdaEdit,
                                               Site->IterationsBox, Site->FadeBox, Site->InvertButton}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << ControlPath(next, Site).toStdString();
    }
    QTest::keyPress(Site, Qt::Key_Escape);
    QTest::keyRelease(Site, Qt::Key_Escape);
    EXPECT_FALSE(Site->isVisible());
}

} // namespace
} // namespace lp::test
