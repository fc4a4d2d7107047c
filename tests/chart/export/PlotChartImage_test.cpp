#include "chart/export/PlotChartImage.h"

#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotChartFile.h"
#include "platform/graphics/DrawingLimits.h"
#include "platform/graphics/Picture.h"

#include <QtCore/QBuffer>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(ChartImage, MakesItsChartOnFirstNeed)
{
    TChartImage Image;
    EXPECT_TRUE(Image.Empty());
    EXPECT_GT(Image.Width(), 0);
    EXPECT_FALSE(Image.Empty());
    EXPECT_TRUE(Image.OwnsChart());
    EXPECT_FALSE(Image.Chart()->BufferedDisplay());
    EXPECT_EQ(Image.Chart()->Owner(), nullptr);
    Image.SetWidth(200);
    Image.SetHeight(100);
    EXPECT_EQ(Image.ToImage().size(), QSize(200, 100));
    Image.SetTransparent(false);
    EXPECT_EQ(Image.Chart()->Color(), clNone);
}

TEST(ChartImage, AGivenChartIsNotFreed)
{
    auto Outside = std::make_unique<TChart>();
    {
        TChartImage Image;
        int Changes = 0;
        Image.OnChange = [&](TGraphic*) { ++Changes; };
        Image.SetChart(Outside.get());
        EXPECT_EQ(Changes, 1);
        EXPECT_FALSE(Image.OwnsChart());
        EXPECT_EQ(Image.Chart(), Outside.get());
    }
    EXPECT_EQ(Outside->SeriesCount(), 0); // still alive
}

TEST(ChartImage, SavingAndLoadingKeepTheSeriesPoints)
{
    TChartImage Image;
    TChartSeries* Series = CreateNewSeries(nullptr, Image.Chart(), &TLineSeries::staticMetaObject);
    for (int I = 0; I < 4; ++I)
        Series->AddXY(I, I * I);
    QBuffer Stream;
    Stream.open(QIODevice::ReadWrite);
    Image.SaveToStream(Stream);
    Stream.seek(0);

    TChartImage Copy;
    Copy.LoadFromStream(Stream);
    ASSERT_EQ(Copy.Chart()->SeriesCount(), 1);
    EXPECT_EQ(Copy.Chart()->Series(0)->YValues()->Value(3), 9);
    EXPECT_FALSE(Copy.Chart()->BufferedDisplay());

    QBuffer Text;
    Text.open(QIODevice::ReadWrite);
    SaveChartToStream(Image.Chart(), Text, true, true);
    Text.seek(0);
    TChartImage FromText;
    FromText.LoadFromStream(Text);
    EXPECT_EQ(FromText.Chart()->Series(0)->Count(), 4);

    QBuffer Empty;
    Empty.open(QIODevice::ReadOnly);
    try {
        TChartImage Other;
        Other.LoadFromStream(Empty);
        ADD_FAILURE() << "empty stream loaded";
    } catch (const ChartException& E) {
        EXPECT_EQ(E.Message(), "Empty *.vud file");
    }
}

TEST(ChartImage, PictureHoldersLoadChartFiles)
{
    QTemporaryDir Dir;
    TChartImage Image;
    CreateNewSeries(nullptr, Image.Chart(), &TPointSeries::staticMetaObject)->FillSampleValues(5);
    Image.SaveToFile(Dir.filePath(QStringLiteral("bars")));
    TPicture Picture;
    Picture.LoadFromFile(Dir.filePath(QStringLiteral("bars.vud")));
    auto* Loaded = qobject_cast<TChartImage*>(Picture.Graphic());
    ASSERT_TRUE(Loaded);
    EXPECT_EQ(Loaded->Chart()->SeriesCount(), 1);
    EXPECT_EQ(Loaded->Chart()->Series(0)->Count(), 5);
    TBitmap Target(120, 90);
    Loaded->Draw(Target.Canvas(), TRect{0, 0, 120, 90});
    EXPECT_EQ(Target.ToImage().pixelColor(0, 0), QColor(Qt::white));
}

// A chart file whose stored size passes the control limits asked for 4 TiB
// when drawn as a picture, and painted for a minute with a height of 240.
TEST(ChartImage, AHugeStoredSizeIsDrawnScaledDownToTheLimit)
{
    struct TRow {
        const char* Height;
        int ImageWidth, ImageHeight;
    };
    for (const TRow row : {TRow{"2000000000", 4096, 4096}, TRow{"240", MaxDrawnPictureSide, 3}}) {
        QBuffer File;
        File.setData(QByteArray("object TChart\r\n  Width = 2000000000\r\n  Height = ") + row.Height +
                     "\r\nend\r\n");
        File.open(QIODevice::ReadOnly);
        TChartImage Image;
        Image.LoadFromStream(File);
        const QImage Pixels = Image.ToImage();
        EXPECT_EQ(Pixels.width(), row.ImageWidth) << row.Height;
        EXPECT_EQ(Pixels.height(), row.ImageHeight) << row.Height;
        // Drawn over a rectangle as large: the bounded picture, stretched.
        TBitmap Target(64, 64);
        Image.Draw(Target.Canvas(), TRect{-(1 << 20), -(1 << 20), 1 << 20, 1 << 20});
        EXPECT_EQ(Target.ToImage().pixelColor(32, 32), Pixels.pixelColor(Pixels.width() / 2, Pixels.height() / 2))
            << row.Height;
    }
}

TEST(ChartImage, ASmallChartIsDrawnAtItsOwnSize)
{
    TChartImage Image;
    Image.SetWidth(300);
    Image.SetHeight(200);
    const QImage Pixels = Image.ToImage();
    EXPECT_EQ(Pixels.size(), QSize(300, 200));
}

} // namespace
} // namespace lp
