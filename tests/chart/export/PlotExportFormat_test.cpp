// Picture export formats: the registry and its filter indexes, sizes and
// their limits, extension lookup, the options forms, and every registered
// format written to a file and read back with the expected size and chart
// colours.

#include "chart/export/PlotExportBitmap.h"
#include "chart/export/PlotExportMetafile.h"
#include "chart/export/PlotExportOther.h"

#include "chart/canvas/PlotConst.h"
#include "chart/extensions/stats/PlotVolumePipe.h"
#include "chart/extensions/tools/PlotColorBandTool.h"
#include "chart/extensions/tools/PlotLightTool.h"
#include "chart/extensions/tools/PlotRectangleTool.h"
#include "platform/graphics/Jpeg.h"
#include "tests/chart/export/ExportTestUtil.h"
#include "OtherProgram.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtGui/QImageReader>
#include <QtGui/QPainter>
#include <QtSvg/QSvgRenderer>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::CountNear;
using test::TExportChart;

std::vector<std::unique_ptr<TPlotExportFormat>> RegisteredFormats()
{
    std::vector<std::unique_ptr<TPlotExportFormat>> formats;
    const TPlotExportFormats* list = PlotExportFormats();
    for (int i = 0; list && i < list->Count(); ++i)
        formats.push_back(CreatePlotExportFormat(list->Format(i)));
    return formats;
}

QByteArray ReadFile(const QString& Name)
{
    QFile file(Name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ExportRegistry, FormatsInStartUpOrderWithTheirTexts)
{
    const auto formats = RegisteredFormats();
    ASSERT_EQ(formats.size(), 6u);
    const QStringList expected{"emf", "bmp", "png", "jpg", "svg", "pdf"};
    for (size_t i = 0; i < formats.size(); ++i) {
        EXPECT_EQ(formats[i]->FileExtension(), expected[static_cast<int>(i)]);
        EXPECT_TRUE(formats[i]->FileFilter().contains("*." + expected[static_cast<int>(i)]));
        EXPECT_TRUE(formats[i]->Description().startsWith("as &"));
    }
    EXPECT_EQ(formats[0]->Description(), "as &Metafile");
    EXPECT_EQ(formats[0]->FileFilter(), "Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf");
    EXPECT_EQ(formats[1]->Description(), "as &Bitmap");
    EXPECT_EQ(formats[1]->FileFilter(), "Bitmaps (*.bmp)|*.bmp");
    EXPECT_THROW(PlotExportFormats()->Format(6), ERangeError);
    EXPECT_THROW(CreatePlotExportFormat(&QObject::staticMetaObject), EInvalidOperation);
}

TEST(ExportRegistry, RegisteringAndUnregisteringKeepsTheOrder)
{
    UnRegisterPlotExportFormat(&TBMPExportFormat::staticMetaObject);
    EXPECT_EQ(PlotExportFormats()->Count(), 5);
    EXPECT_EQ(PlotExportFormats()->Format(1), &TPNGExportFormat::staticMetaObject);
    EXPECT_EQ(CreateGraphicForExtension(".bmp"), nullptr);
    RegisterPlotExportFormat(&TBMPExportFormat::staticMetaObject);
    EXPECT_EQ(PlotExportFormats()->Format(5), &TBMPExportFormat::staticMetaObject);
    // Back to the start-up order for the other tests.
    for (TPlotExportFormatClass c : {&TPNGExportFormat::staticMetaObject, &TJPEGExportFormat::staticMetaObject,
                                     &TSVGExportFormat::staticMetaObject, &TPDFExportFormat::staticMetaObject}) {
        UnRegisterPlotExportFormat(c);
        RegisterPlotExportFormat(c);
    }
    EXPECT_EQ(PlotExportFormats()->Format(1), &TBMPExportFormat::staticMetaObject);
}

TEST(ExportRegistry, FilterIndexesMetafileOneAndTwoBitmapThree)
{
    const auto formats = RegisteredFormats();
    int counter = 0;
    for (const auto& format : formats)
        format->AssignFilterIndex(counter);
    EXPECT_EQ(counter, 7);
    TPlotExportFormat& metafile = *formats[0];
    TPlotExportFormat& bitmap = *formats[1];
    EXPECT_EQ(metafile.FilterIndex(), 1);
    EXPECT_EQ(bitmap.FilterIndex(), 3);
    EXPECT_EQ(formats[2]->FilterIndex(), 4);
    EXPECT_TRUE(bitmap.OwnsFilterIndex(3));
    EXPECT_FALSE(bitmap.OwnsFilterIndex(1));
    EXPECT_FALSE(metafile.OwnsFilterIndex(3));
    EXPECT_TRUE(metafile.OwnsFilterIndex(1));
    EXPECT_EQ(metafile.FileExtension(), "emf");
    // The second entry switches the Enhanced option off.
    EXPECT_TRUE(metafile.OwnsFilterIndex(2));
    EXPECT_EQ(metafile.FilterIndex(), 2);
    EXPECT_EQ(metafile.FileExtension(), "wmf");
    EXPECT_TRUE(metafile.OwnsFilterIndex(1)); // the stored index stays its own
}

TEST(ExportRegistry, GraphicForExtension)
{
    EXPECT_TRUE(dynamic_cast<TBitmap*>(CreateGraphicForExtension(".bmp").get()));
    EXPECT_TRUE(dynamic_cast<TBitmap*>(CreateGraphicForExtension(".BmP").get()));
    EXPECT_TRUE(dynamic_cast<TMetafile*>(CreateGraphicForExtension(".EMF").get()));
    // A fresh metafile format is enhanced: ".wmf" matches nothing.
    EXPECT_EQ(CreateGraphicForExtension(".wmf"), nullptr);
    EXPECT_TRUE(dynamic_cast<TJPEGImage*>(CreateGraphicForExtension(".jpg").get()));
    EXPECT_TRUE(dynamic_cast<TRasterImage*>(CreateGraphicForExtension(".png").get()));
    // Formats without a picture class of the platform, and strangers.
    EXPECT_EQ(CreateGraphicForExtension(".svg"), nullptr);
    EXPECT_EQ(CreateGraphicForExtension(".pdf"), nullptr);
    EXPECT_EQ(CreateGraphicForExtension("bmp"), nullptr);
    EXPECT_EQ(CreateGraphicForExtension(".xyz"), nullptr);
    EXPECT_EQ(CreateGraphicForExtension(""), nullptr);
}

TEST(ExportSize, ZeroTakesThePanelsSize)
{
    TExportChart chart;
    TBMPExportFormat format;
    format.SetPanel(&chart.Chart);
    format.CheckSize();
    EXPECT_EQ(format.Width(), 400);
    EXPECT_EQ(format.Height(), 300);
    format.SetWidth(800);
    format.SetHeight(0);
    EXPECT_EQ(format.Bitmap()->Width(), 800);
    EXPECT_EQ(format.Height(), 300);
}

TEST(ExportSize, WithoutPanelNothingIsCreated)
{
    QTemporaryDir dir;
    for (const auto& format : RegisteredFormats()) {
        const QString name = dir.filePath("x." + format->FileExtension());
        try {
            format->SaveToFile(name);
            ADD_FAILURE() << "saved without a panel";
        } catch (const Exception& e) {
            EXPECT_EQ(QString::fromStdString(e.Message()), "Panel property is not set in Export format");
        }
        EXPECT_THROW(format->CopyToClipboard(), Exception);
        EXPECT_FALSE(QFile::exists(name));
    }
}

// Negative, empty and unallocatable sizes: a clear error, the old file as
// it was, no temporary file left.
TEST(ExportSize, BadSizesLeaveTheOldFileIntact)
{
    QTemporaryDir dir;
    TExportChart chart;
    TExportChart empty(0, 0);
    struct TCase {
        TCustomPlotPanel* Panel;
        int Width;
        int Height;
        const char* Words;
    };
    const TCase cases[] = {{&chart.Chart, -5, 100, "negative"},
                           {&chart.Chart, 100, -1, "negative"},
                           {&empty.Chart, 0, 0, "empty"},
                           {&chart.Chart, 20000, 10, "too large"},
                           {&chart.Chart, 16000, 16000, "too large"}};
    for (const auto& format : RegisteredFormats()) {
        const QString name = dir.filePath("old." + format->FileExtension());
        {
            QFile old(name);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old content");
        }
        for (const TCase& c : cases) {
            format->SetPanel(c.Panel);
            format->SetWidth(c.Width);
            format->SetHeight(c.Height);
            try {
                format->SaveToFile(name);
                ADD_FAILURE() << format->FileExtension().toStdString() << " saved " << c.Width << "x" << c.Height;
            } catch (const EPlotExportError& e) {
                EXPECT_NE(e.Message().find(c.Words), std::string::npos) << e.Message();
            }
            EXPECT_EQ(format->Width(), c.Width); // unchanged by the refusal
            EXPECT_EQ(ReadFile(name), "old content");
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 6);
}

TEST(ExportSize, UnwritableFolderRaisesAndWritesNothing)
{
    TExportChart chart;
    TBMPExportFormat format;
    format.SetPanel(&chart.Chart);
    EXPECT_THROW(format.SaveToFile("/nonexistent-folder/chart.bmp"), EPlotExportError);
}

// Each registered format written at 320 x 200 and read back by our readers,
// QImage, Qt Svg or pdftoppm: the size and the red bars are there.
TEST(ExportFiles, EveryFormatReadsBackWithItsSizeAndDrawing)
{
    QTemporaryDir dir;
    TExportChart chart;
    const QRgb red = qRgb(255, 0, 0);
    for (const auto& format : RegisteredFormats()) {
        const QString ext = format->FileExtension();
        SCOPED_TRACE(ext.toStdString());
        format->SetPanel(&chart.Chart);
        format->SetWidth(320);
        format->SetHeight(200);
        const QString name = dir.filePath("chart." + ext);
        format->SaveToFile(name);
        QImage picture;
        if (ext == "emf") {
            TMetafile metafile;
            metafile.LoadFromFile(name);
            EXPECT_TRUE(metafile.Enhanced());
            EXPECT_EQ(ReadFile(name).mid(40, 4), QByteArray(" EMF"));
            picture = metafile.ToImage();
        } else if (ext == "bmp") {
            TBitmap bitmap;
            bitmap.LoadFromFile(name);
            EXPECT_EQ(ReadFile(name).left(2), "BM");
            picture = bitmap.ToImage();
        } else if (ext == "png" || ext == "jpg") {
            picture = QImage(name);
            EXPECT_EQ(QString::fromLatin1(QImageReader::imageFormat(name)), ext == "png" ? "png" : "jpeg");
        } else if (ext == "svg") {
            QSvgRenderer renderer(name);
            ASSERT_TRUE(renderer.isValid());
            EXPECT_EQ(renderer.viewBox(), QRect(0, 0, 320, 200));
            picture = QImage(320, 200, QImage::Format_RGB32);
            picture.fill(Qt::white);
            QPainter painter(&picture);
            renderer.render(&painter);
        } else if (ext == "pdf") {
            EXPECT_TRUE(ReadFile(name).startsWith("%PDF"));
            QString why;
            picture = test::RenderPdfPage(name, 72, why);
            if (picture.isNull()) {
                std::cout << "[  SKIPPED ] PDF rendering check: " << why.toStdString() << "\n";
                continue;
            }
        }
        EXPECT_EQ(picture.size(), QSize(320, 200));
        EXPECT_GT(CountNear(picture, red), 2000) << "red bars";
        EXPECT_GT(CountNear(picture, qRgb(255, 255, 0)), 500) << "yellow panel";
    }
}

// The picture an SVG file shows at Width x Height, on white.
QImage GradientTestSvgPicture(const QByteArray& Svg, int Width, int Height)
{
    QSvgRenderer renderer(Svg);
    QImage picture(Width, Height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    if (!renderer.isValid())
        return {};
    QPainter painter(&picture);
    renderer.render(&painter);
    return picture;
}

QByteArray GradientTestSvgOf(TCustomPlotPanel& Panel, int Width, int Height)
{
    TSVGExportFormat format;
    format.SetPanel(&Panel);
    format.SetWidth(Width);
    format.SetHeight(Height);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    format.SaveToStream(buffer);
    return buffer.data();
}

// A volume pipe of red sections fills each with its gradient (red at the
// rims, white across the middle): the file holds one gradient element per
// half section instead of a rectangle per band, and still shows the pipe.
TEST(ExportFiles, SvgOfAVolumePipeHoldsItsGradientsAsGradients)
{
    TChart chart;
    chart.Legend()->SetVisible(false);
    chart.SetView3D(false);
    auto* pipe = new TVolumePipeSeries(&chart);
    chart.AddSeries(pipe);
    constexpr int Points = 200;
    for (int i = 0; i < Points; ++i)
        pipe->Add(1 + i % 17, {}, clRed);
    const QByteArray svg = GradientTestSvgOf(chart, 1500, 1200);
    EXPECT_GE(svg.count("<linearGradient"), 2 * Points);
    // One rectangle per gradient (and the background's), not one per band.
    EXPECT_LE(svg.count("<rect"), svg.count("<linearGradient") + 10);
    EXPECT_LT(svg.size(), 2'000'000);
    const QImage picture = GradientTestSvgPicture(svg, 1500, 1200);
    ASSERT_FALSE(picture.isNull());
    // Red along the rims, pale across the middle of the pipe.
    EXPECT_GT(CountNear(picture, qRgb(255, 0, 0), 60), 20000);
    const QRgb middle = picture.pixel(750, 600);
    EXPECT_EQ(qRed(middle), 255);
    EXPECT_GT(qGreen(middle), 200);
    EXPECT_GT(qBlue(middle), 200);
}

// Each straight and diagonal direction of a panel gradient goes into the
// file as a gradient that shows what the pixels of a bitmap show.
TEST(ExportFiles, SvgGradientsInEachDirectionMatchTheBitmap)
{
    const TGradientDirection directions[] = {gdTopBottom, gdBottomTop, gdLeftRight,
                                             gdRightLeft, gdDiagonalUp, gdDiagonalDown};
    for (const TGradientDirection direction : directions) {
        SCOPED_TRACE(static_cast<int>(direction));
        TChart chart;
        chart.Legend()->SetVisible(false);
        chart.SetBounds(0, 0, 300, 200);
        chart.Gradient()->SetVisible(true);
        chart.Gradient()->SetStartColor(clRed);
        chart.Gradient()->SetEndColor(clBlue);
        chart.Gradient()->SetDirection(direction);
        const QByteArray svg = GradientTestSvgOf(chart, 300, 200);
        EXPECT_GE(svg.count("<linearGradient"), 1);
        const QImage picture = GradientTestSvgPicture(svg, 300, 200);
        const QImage pixels = PanelBitmap(chart, 300, 200)->ToImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(picture.isNull());
        // The panel's margins, clear of the chart: corners and edge middles.
        for (const QPoint at : {QPoint(4, 4), QPoint(150, 4), QPoint(295, 4), QPoint(4, 100), QPoint(295, 100),
                                QPoint(4, 195), QPoint(150, 195), QPoint(295, 195)}) {
            SCOPED_TRACE(QStringLiteral("%1,%2").arg(at.x()).arg(at.y()).toStdString());
            const QRgb shown = picture.pixel(at);
            const QRgb painted = pixels.pixel(at);
            EXPECT_NEAR(qRed(shown), qRed(painted), 8);
            EXPECT_NEAR(qGreen(shown), qGreen(painted), 8);
            EXPECT_NEAR(qBlue(shown), qBlue(painted), 8);
        }
    }
}

TEST(ExportFiles, PlainMetafileIsAPlaceableWmf)
{
    QTemporaryDir dir;
    TExportChart chart;
    TEMFExportFormat format;
    format.SetPanel(&chart.Chart);
    ASSERT_TRUE(format.OwnsFilterIndex(format.FilterIndex() + 1));
    const QString name = dir.filePath("chart.wmf");
    format.SaveToFile(name);
    EXPECT_EQ(ReadFile(name).left(4), QByteArray("\xD7\xCD\xC6\x9A", 4));
    TMetafile metafile;
    metafile.LoadFromFile(name);
    EXPECT_FALSE(metafile.Enhanced());
    EXPECT_EQ(metafile.Width(), 400);
    EXPECT_EQ(metafile.Height(), 300);
    EXPECT_GT(CountNear(metafile.ToImage(), qRgb(255, 0, 0)), 2000);
}

// Where a desktop office suite or a vector editor is installed, it converts
// the EMF to PNG and the chart's colours are found in its picture. A program
// that cannot do the conversion is passed over for the next one.
TEST(ExportFiles, OtherProgramsReadTheEmf)
{
    const QString office = test::OfficeProgram();
    const QString inkscape = QStandardPaths::findExecutable("inkscape");
    if (office.isEmpty() && inkscape.isEmpty())
        GTEST_SKIP() << "neither LibreOffice nor Inkscape is installed: the EMF is not checked by another program";
    QTemporaryDir dir;
    TExportChart chart;
    TEMFExportFormat format;
    format.SetPanel(&chart.Chart);
    const QString emf = dir.filePath("chart.emf");
    format.SaveToFile(emf);
    const QString png = dir.filePath("chart.png");
    QStringList reasons;
    test::TConversion conversion;
    if (!office.isEmpty()) {
        conversion = test::ConvertWithProgram(office, {"--headless", "--convert-to", "png", "--outdir", dir.path(), emf}, png);
        reasons << conversion.Reason;
    }
    if (!conversion.Converted && !inkscape.isEmpty()) {
        conversion = test::ConvertWithProgram(inkscape, {emf, "--export-type=png", "--export-filename=" + png}, png);
        reasons << conversion.Reason;
    }
    if (!conversion.Converted)
        GTEST_SKIP() << qPrintable(reasons.join(QStringLiteral("; ")));
    const QImage picture(png);
    ASSERT_FALSE(picture.isNull());
    EXPECT_GT(CountNear(picture, qRgb(255, 0, 0)), 500);
}

TEST(ExportOptions, MetafileFormIsCreatedOnceAndEnhancedAtFirst)
{
    TEMFExportFormat format;
    EXPECT_EQ(format.Options(false), nullptr);
    EXPECT_TRUE(format.Enhanced());
    QWidget* form = format.Options(true);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(format.Options(true), form);
    EXPECT_EQ(format.EMFOptions()->CBEnhanced->text(), "&Enhanced");
    EXPECT_TRUE(format.EMFOptions()->CBEnhanced->isChecked());
    format.EMFOptions()->CBEnhanced->setChecked(false);
    EXPECT_FALSE(format.Enhanced());
    EXPECT_EQ(format.FileExtension(), "wmf");
}

TEST(ExportOptions, BitmapColoursMonochromeAndReset)
{
    TExportChart chart;
    TBMPExportFormat format;
    format.SetPanel(&chart.Chart);
    auto* form = static_cast<TBMPOptions*>(format.Options(true));
    ASSERT_EQ(form->CBColors->count(), 8);
    EXPECT_EQ(form->CBColors->itemText(0), "Default");
    EXPECT_EQ(form->CBColors->itemText(7), "16M (32 bit)");
    EXPECT_EQ(form->CBMono->text(), "&Monochrome");

    form->CBColors->setCurrentIndex(6);
    EXPECT_EQ(format.Bitmap()->PixelFormat(), TBitmap::pf24bit);
    form->CBColors->setCurrentIndex(3);
    EXPECT_EQ(format.Bitmap()->PixelFormat(), TBitmap::pf8bit);
    // Monochrome ignores the colour choice and disables it.
    form->CBMono->click();
    EXPECT_FALSE(form->CBColors->isEnabled());
    const std::unique_ptr<TBitmap> mono = format.Bitmap();
    EXPECT_TRUE(mono->Monochrome());
    form->CBMono->click();
    EXPECT_TRUE(form->CBColors->isEnabled());
    // Showing the form sets the colours back to "Default".
    form->show();
    EXPECT_EQ(form->CBColors->currentIndex(), 0);
    form->hide();
}

TEST(ExportOptions, MonochromeBitmapFileHoldsOneBitPerPixel)
{
    QTemporaryDir dir;
    TExportChart chart;
    TBMPExportFormat format;
    format.SetPanel(&chart.Chart);
    static_cast<TBMPOptions*>(format.Options(true))->CBMono->setChecked(true);
    const QString name = dir.filePath("mono.bmp");
    format.SaveToFile(name);
    const QByteArray bytes = ReadFile(name);
    ASSERT_GT(bytes.size(), 30);
    EXPECT_EQ(static_cast<uint8_t>(bytes[28]), 1); // bits per pixel
}

// Regression: every colour choice but monochrome wrote a 24-bit file.
TEST(ExportOptions, BitmapFilesHoldTheChosenColourDepth)
{
    QTemporaryDir dir;
    TExportChart chart;
    TBMPExportFormat format;
    format.SetPanel(&chart.Chart);
    auto* form = static_cast<TBMPOptions*>(format.Options(true));
    // Item index of "Colors" -> bits per pixel in the file.
    const std::pair<int, int> choices[] = {{0, 24}, {1, 1}, {2, 4}, {3, 8}, {4, 16}, {5, 16}, {6, 24}, {7, 32}};
    for (const auto& [item, bits] : choices) {
        SCOPED_TRACE(form->CBColors->itemText(item).toStdString());
        form->CBColors->setCurrentIndex(item);
        const QString name = dir.filePath(QStringLiteral("depth%1.bmp").arg(item));
        format.SaveToFile(name);
        const QByteArray bytes = ReadFile(name);
        ASSERT_GT(bytes.size(), 54);
        EXPECT_EQ(static_cast<uint8_t>(bytes[28]) | static_cast<uint8_t>(bytes[29]) << 8, bits); // biBitCount
        QImage read;
        ASSERT_TRUE(read.load(name, "BMP"));
        EXPECT_EQ(read.size(), QSize(400, 300));
        // The red bars and the yellow back survive every depth with colours.
        if (bits > 1) {
            EXPECT_GT(CountNear(read, qRgb(255, 0, 0), 10), 1000);
            EXPECT_GT(CountNear(read, qRgb(255, 255, 0), 10), 1000);
        }
    }
}

// The export chart with a rectangle tool 75 % transparent over the bars, a
// colour band 50 % transparent in front of them and the lighting tool.
struct TToolsChart : TExportChart {
    TToolsChart()
    {
        auto* Rectangle = new TRectangleTool(&Chart);
        Chart.Tools().Add(Rectangle);
        Rectangle->SetLeft(120);
        Rectangle->SetTop(60);
        Rectangle->SetWidth(160);
        Rectangle->SetHeight(120);
        auto* Band = new TColorBandTool(&Chart);
        Chart.Tools().Add(Band);
        Band->SetAxis(Chart.LeftAxis());
        Band->SetStartValue(12);
        Band->SetEndValue(18);
        Band->SetColor(clBlue);
        Band->SetTransparency(50);
        Band->SetDrawBehind(false);
        Light = new TLightTool(&Chart);
        Chart.Tools().Add(Light);
        Light->SetFactor(30);
    }
    // The chart as its window paints it: buffered, into pixels.
    QImage WindowPicture()
    {
        Chart.SetBufferedDisplay(true);
        TBitmap Target(400, 300);
        Chart.DrawToCanvas(&Target.Canvas(), Chart.GetRectangle());
        return Target.ToImage().convertToFormat(QImage::Format_RGB32);
    }
    TLightTool* Light = nullptr;
};

QImage Exported(TPlotExportFormat& Format, TCustomPlotPanel& Panel)
{
    Format.SetPanel(&Panel);
    QBuffer Out;
    Out.open(QIODevice::WriteOnly);
    Format.SaveToStream(Out);
    QImage Read;
    EXPECT_TRUE(Read.loadFromData(Out.data()));
    return Read.convertToFormat(QImage::Format_RGB32);
}

double MeanChannelDifference(const QImage& A, const QImage& B)
{
    double Sum = 0;
    for (int Y = 0; Y < A.height(); ++Y)
        for (int X = 0; X < A.width(); ++X) {
            const QRgb P = A.pixel(X, Y), Q = B.pixel(X, Y);
            Sum += std::abs(qRed(P) - qRed(Q)) + std::abs(qGreen(P) - qGreen(Q)) + std::abs(qBlue(P) - qBlue(Q));
        }
    return Sum / (3.0 * A.width() * A.height());
}

// Regression: bitmap, PNG and JPEG exports drew the transparent rectangle
// and colour band opaque and left the lighting out, unlike the window.
TEST(ExportPictures, BitmapExportsLookLikeTheWindow)
{
    TToolsChart F;
    const QImage Window = F.WindowPicture();
    F.Chart.SetBufferedDisplay(false);
    // The tools change the window's picture: the light darkens the corners,
    // the rectangle and the band let what lies under them show through.
    F.Light->SetActive(false);
    const QImage Unlit = F.WindowPicture();
    F.Light->SetActive(true);
    ASSERT_NE(Unlit, Window);

    const QImage Pixels = F.Chart.CreateBitmap(F.Chart.Color(), F.Chart.GetRectangle())->ToImage();
    EXPECT_EQ(Pixels.convertToFormat(QImage::Format_RGB32), Window);
    EXPECT_EQ(PanelBitmap(F.Chart, 0, 0)->ToImage().convertToFormat(QImage::Format_RGB32), Window);
    TBMPExportFormat Bmp;
    EXPECT_EQ(Exported(Bmp, F.Chart), Window);
    TPNGExportFormat Png;
    EXPECT_EQ(Exported(Png, F.Chart), Window);
    TJPEGExportFormat Jpeg;
    const QImage FromJpeg = Exported(Jpeg, F.Chart);
    ASSERT_EQ(FromJpeg.size(), Window.size());
    EXPECT_LT(MeanChannelDifference(FromJpeg, Window), 3.0);
    Bmp.CopyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), Window);

    // A metafile still holds neither blending nor light: the shapes are
    // opaque in it whatever the tools say.
    const auto Played = [&] {
        std::unique_ptr<TMetafile> Meta = F.Chart.CreateMetafile(true, F.Chart.GetRectangle());
        TBitmap Target(400, 300);
        Target.Canvas().Draw(0, 0, Meta.get());
        return Target.ToImage();
    };
    const QImage Lit = Played();
    F.Light->SetActive(false);
    EXPECT_EQ(Played(), Lit);
}

TEST(ExportOptions, BitmapOnClipboard)
{
    TExportChart chart;
    TBMPExportFormat format;
    format.SetPanel(&chart.Chart);
    format.SetWidth(200);
    format.SetHeight(100);
    format.CopyToClipboard();
    const QImage image = QGuiApplication::clipboard()->image();
    EXPECT_EQ(image.size(), QSize(200, 100));
}

} // namespace
} // namespace lp
