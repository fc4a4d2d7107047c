// Pictures in chart files: every picture holder of a chart (the picture
// tool, image bars, image points, a brush's image) keeps its picture
// through every stored form.

#include "chart/export/PlotChartFile.h"

#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/export/PlotChartImage.h"
#include "chart/extensions/shapes/PlotImageBar.h"
#include "chart/extensions/shapes/PlotImagePoint.h"
#include "platform/graphics/Jpeg.h"
#include "ExportTestUtil.h"

#include <QtCore/QBuffer>

#include <gtest/gtest.h>

#include <functional>

namespace lp {
namespace {

QImage TestImage(int Width = 13, int Height = 7)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X)
            Image.setPixel(X, Y, qRgb(X * 19, Y * 35, (X * Y * 7) & 0xFF));
    return Image;
}

std::unique_ptr<TGraphic> NewBitmap()
{
    auto Bitmap = std::make_unique<TBitmap>();
    Bitmap->SetImage(TestImage());
    return Bitmap;
}

std::unique_ptr<TGraphic> NewPng()
{
    auto Png = std::make_unique<TRasterImage>(QByteArrayLiteral("png"));
    Png->SetImage(TestImage());
    return Png;
}

std::unique_ptr<TGraphic> NewJpeg()
{
    auto Jpeg = std::make_unique<TJPEGImage>();
    Jpeg->SetImage(TestImage());
    return Jpeg;
}

void Load(TCustomChart& Chart, const QByteArray& Bytes, const TChartReader::TErrorEvent& OnError = {})
{
    QBuffer In;
    In.setData(Bytes);
    In.open(QIODevice::ReadOnly);
    TCustomChart* Target = &Chart;
    LoadChartFromStreamEx(Target, In, true, OnError);
}

// The forms a chart is stored in.
struct TStoredForm {
    const char* Name;
    std::function<QByteArray(TCustomChart&)> Store;
};

const TStoredForm StoredForms[] = {
    {"binary", [](TCustomChart& C) { return test::SaveChartFile(C, false); }},
    {"text", [](TCustomChart& C) { return test::SaveChartFile(C, true); }},
    {"binary converted to text", [](TCustomChart& C) { return test::ConvertChart(test::SaveChartFile(C, false), ConvertChartToText); }},
    {"text converted to binary", [](TCustomChart& C) { return test::ConvertChart(test::SaveChartFile(C, true), ConvertChartToBinary); }},
    {"chart picture", [](TCustomChart& C) {
         QBuffer Out;
         Out.open(QIODevice::WriteOnly);
         TChartImage Image;
         Image.SetChart(static_cast<TChart*>(&C));
         Image.SaveToStream(Out);
         return Out.data();
     }},
};

// The picture holders of the test chart, found by their place in it.
struct THolders {
    TPicture* Tool;
    TPicture* ImageBar;
    TPicture* ImagePoint;
    TPicture* BrushImage;  // nullptr while the brush has no picture
};

// A chart with a picture tool, an image bar series, an image point series
// and a bar series, in this order, each with a few points.
void FillChart(TChart& Chart)
{
    Chart.SetBounds(0, 0, 320, 240);
    Chart.SetBufferedDisplay(false);
    for (TChartSeries* Series : std::initializer_list<TChartSeries*>{
             new TImageBarSeries(&Chart), new TImagePointSeries(&Chart), new TBarSeries(&Chart)}) {
        Series->SetParentChart(&Chart);
        for (int I = 0; I < 3; ++I)
            Series->AddXY(I, I + 1);
    }
    auto* Tool = new TChartImageTool(&Chart);
    Tool->SetParentComponent(&Chart);
}

THolders HoldersOf(TChart& Chart)
{
    EXPECT_EQ(Chart.SeriesCount(), 3);
    EXPECT_EQ(Chart.Tools().Count(), 1);
    return {static_cast<TChartImageTool*>(Chart.Tools().Items(0))->Picture(),
            static_cast<TImageBarSeries*>(Chart.Series(0))->Image(),
            static_cast<TImagePointSeries*>(Chart.Series(1))->ImagePoint(),
            static_cast<TBarSeries*>(Chart.Series(2))->BarBrush()->ImageIfCreated()};
}

void SetAll(TChart& Chart, const TGraphic& Graphic)
{
    HoldersOf(Chart);
    static_cast<TChartImageTool*>(Chart.Tools().Items(0))->Picture()->SetGraphic(&Graphic);
    static_cast<TImageBarSeries*>(Chart.Series(0))->Image()->SetGraphic(&Graphic);
    static_cast<TImagePointSeries*>(Chart.Series(1))->ImagePoint()->SetGraphic(&Graphic);
    static_cast<TBarSeries*>(Chart.Series(2))->BarBrush()->Image()->SetGraphic(&Graphic);
}

void ExpectHolds(TPicture* Picture, const TGraphic& Expected, const char* Holder)
{
    SCOPED_TRACE(Holder);
    ASSERT_TRUE(Picture);
    ASSERT_TRUE(Picture->Graphic());
    EXPECT_EQ(Picture->Graphic()->ClassName(), Expected.ClassName());
    EXPECT_EQ(Picture->Graphic()->ToImage(), Expected.ToImage());
    if (const auto* Jpeg = qobject_cast<const TJPEGImage*>(&Expected)) {
        EXPECT_EQ(static_cast<TJPEGImage*>(Picture->Graphic())->Data(), Jpeg->Data());
    }
}

TEST(ChartFilePictures, EveryKindOfPictureReadsBackInEveryForm)
{
    const std::pair<const char*, std::function<std::unique_ptr<TGraphic>()>> Kinds[] = {
        {"BMP", NewBitmap}, {"PNG", NewPng}, {"JPEG", NewJpeg}};
    for (const auto& [KindName, Make] : Kinds) {
        const std::unique_ptr<TGraphic> Graphic = Make();
        for (const TStoredForm& Form : StoredForms) {
            SCOPED_TRACE(std::string(KindName) + " in the " + Form.Name + " form");
            TChart Chart;
            FillChart(Chart);
            SetAll(Chart, *Graphic);
            const QByteArray Stored = Form.Store(Chart);

            TChart Read;
            Load(Read, Stored);
            const THolders Holders = HoldersOf(Read);
            ExpectHolds(Holders.Tool, *Graphic, "picture tool");
            ExpectHolds(Holders.ImageBar, *Graphic, "image bar");
            ExpectHolds(Holders.ImagePoint, *Graphic, "image point");
            ExpectHolds(Holders.BrushImage, *Graphic, "bar brush");
            EXPECT_EQ(test::SaveChartFile(Read, true), test::SaveChartFile(Chart, true));
        }
    }
}

TEST(ChartFilePictures, EmptyPicturesAreNotWritten)
{
    TChart Chart;
    FillChart(Chart);
    static_cast<TImageBarSeries*>(Chart.Series(0))->SetImage(nullptr);
    const TBitmap EmptyBitmap;
    static_cast<TImagePointSeries*>(Chart.Series(1))->ImagePoint()->SetGraphic(&EmptyBitmap);
    const QByteArray Text = test::SaveChartFile(Chart, true);
    EXPECT_FALSE(Text.contains("Picture")) << Text.constData();
    EXPECT_FALSE(Text.contains("Image.Data")) << Text.constData();
    EXPECT_FALSE(Text.contains("ImagePoint.Data")) << Text.constData();
    EXPECT_FALSE(Text.contains("BarBrush.Image")) << Text.constData();
    // Asking whether the brush's picture is stored does not make one.
    EXPECT_FALSE(static_cast<TBarSeries*>(Chart.Series(2))->BarBrush()->ImageIfCreated());
}

// The stored chart with its first "TRasterImage" class name changed in place.
QByteArray WithDamagedPicture(const QByteArray& Stored, const QByteArray& Name, const QByteArray& Damaged)
{
    const qsizetype At = Stored.indexOf(Name);
    EXPECT_GE(At, 0);
    QByteArray Result = Stored;
    return At < 0 ? Result : Result.replace(At, Name.size(), Damaged);
}

TEST(ChartFilePictures, DamagedPictureIsReportedOrSkippedWithTheRestRead)
{
    TChart Chart;
    FillChart(Chart);
    static_cast<TChartImageTool*>(Chart.Tools().Items(0))->Picture()->SetGraphic(NewPng().get());
    const std::unique_ptr<TGraphic> Bitmap = NewBitmap();
    static_cast<TImageBarSeries*>(Chart.Series(0))->Image()->SetGraphic(Bitmap.get());
    const QByteArray Binary = test::SaveChartFile(Chart, false);
    const QByteArray Text = test::SaveChartFile(Chart, true);
    // Binary: the PNG signature after the class name is broken; text: the
    // class name is one nobody knows.
    const std::pair<const char*, QByteArray> Cases[] = {
        {"binary", WithDamagedPicture(Binary, QByteArray("TRasterImage\x89PNG", 16), "TRasterImage\x89XNG")},
        {"text", WithDamagedPicture(Text, QByteArray("TRasterImage").toHex().toUpper(),
                                    QByteArray("TXasterImage").toHex().toUpper())},
    };
    for (const auto& [FormName, Damaged] : Cases) {
        SCOPED_TRACE(FormName);
        // Without an error handler the picture is skipped and the rest read.
        TChart Skipped;
        Load(Skipped, Damaged);
        const THolders Holders = HoldersOf(Skipped);
        EXPECT_FALSE(Holders.Tool->Graphic());
        ExpectHolds(Holders.ImageBar, *Bitmap, "image bar");

        // A handler hears the error and may stop the load.
        QStringList Heard;
        TChart Stopped;
        std::string Raised;
        try {
            Load(Stopped, Damaged, [&](const QString& Message) {
                Heard << Message;
                return false;
            });
        } catch (const Exception& E) {
            Raised = E.Message();
        }
        ASSERT_EQ(Heard.size(), 1);
        EXPECT_TRUE(Heard[0].startsWith(QStringLiteral("Error reading Picture.Data: "))) << Heard[0].toStdString();
        EXPECT_EQ(Raised, Heard[0].toStdString());
    }
}

// "TChartImage" as the class name of a stored picture block.
QByteArray ChartPictureBlock(const QByteArray& Chart)
{
    return QByteArray(1, char(11)) + "TChartImage" + Chart;
}

// Chart, a stored chart whose picture tool holds the block Inner, with
// that block replaced by Outer (and its stored length with it).
QByteArray ReplaceBlock(QByteArray Chart, const QByteArray& Inner, const QByteArray& Outer)
{
    const qsizetype At = Chart.indexOf(Inner);
    EXPECT_GT(At, 4);
    const qint32 Length = qint32(Outer.size());
    QByteArray LengthBytes(4, '\0');
    for (int I = 0; I < 4; ++I)
        LengthBytes[I] = char((Length >> (8 * I)) & 0xFF);
    return Chart.replace(At - 4, Inner.size() + 4, LengthBytes + Outer);
}

TEST(ChartFilePictures, ChartsInPicturesReadBackAndTheirNestingIsBounded)
{
    TChart Template;
    FillChart(Template);
    auto* TemplateTool = static_cast<TChartImageTool*>(Template.Tools().Items(0));
    const std::unique_ptr<TGraphic> Bitmap = NewBitmap();
    TemplateTool->Picture()->SetGraphic(Bitmap.get());
    QByteArray Innermost;
    {
        QBuffer Out;
        Out.open(QIODevice::WriteOnly);
        TemplateTool->Picture()->WriteData(Out);
        Innermost = Out.data();
    }
    const QByteArray TemplateBytes = test::SaveChartFile(Template, false);

    // Level N: a chart whose picture tool holds a chart of level N - 1;
    // level 1 holds the bitmap. Past the limit the deepest picture is
    // refused (and skipped by the inner chart's reader) and stays empty.
    QByteArray Block = Innermost;
    for (int Level = 1; Level <= TPicture::MaxPictureNesting + 1; ++Level) {
        SCOPED_TRACE(Level);
        const QByteArray Stored = ReplaceBlock(TemplateBytes, Innermost, Block);
        TChart Read;
        QStringList Heard;
        Load(Read, Stored, [&](const QString& Message) {
            Heard << Message;
            return true;
        });
        EXPECT_TRUE(Heard.isEmpty()) << Heard.join('\n').toStdString();
        TPicture* Picture = static_cast<TChartImageTool*>(Read.Tools().Items(0))->Picture();
        for (int Inner = Level; Inner > 1; --Inner) {
            auto* Image = qobject_cast<TChartImage*>(Picture->Graphic());
            ASSERT_TRUE(Image);
            Picture = static_cast<TChartImageTool*>(Image->Chart()->Tools().Items(0))->Picture();
        }
        if (Level <= TPicture::MaxPictureNesting)
            ExpectHolds(Picture, *Bitmap, "innermost picture");
        else
            EXPECT_FALSE(Picture->Graphic());
        Block = ChartPictureBlock(Stored);
    }
}

} // namespace
} // namespace lp
