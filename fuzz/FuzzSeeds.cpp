// Writes the seed corpora of the fuzz targets, each made by the system's own
// writers (a section file saved by the section chart, pictures saved by the
// picture classes, blocks and texts written by their writers), into
// <folder>/<target>/. Run by CTest before the replay tests and by
// scripts/fuzz.sh before fuzzing.
//
// Usage: fuzz_seeds <folder>

#include "fuzz/FuzzSupport.h"

#include "chart/canvas/PlotEffects.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/axis/FormatEditor.h"
#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotAppearance.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSettings.h"
#include "chart/engine/PlotValueList.h"
#include "chart/editors/TypedNumberEdit.h"
#include "chart/editors/axis/AxisIncrementDialogs.h"
#include "chart/editors/data/ChartGrid.h"
#include "chart/export/PlotChartFile.h"
#include "chart/export/PlotExport.h"
#include "chart/extensions/PlotExtensions.h"
#include "chart/extensions/shapes/PlotImageBar.h"
#include "chart/extensions/shapes/PlotImagePoint.h"
#include "components/RecentFiles.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/core/Filer.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/MenuItems.h"
#include "platform/ui/Registry.h"
#include "section/editor/PolygonChart.h"
#include "section/editor/SectionFile.h"
#include "section/survey/DataFile.h"
#include "section/survey/MeasuredData.h"
#include "tests/section/survey/formats/SyscalBinaryWriter.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>
#include <QtGui/QPainter>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

namespace lp::fuzz {
namespace {

QString GFolder;

void Write(const char* Target, const char* Name, const QByteArray& Bytes)
{
    const QString Folder = GFolder + QLatin1Char('/') + QLatin1String(Target);
    QDir().mkpath(Folder);
    QFile File(Folder + QLatin1Char('/') + QLatin1String(Name));
    if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate) || File.write(Bytes) != Bytes.size())
        throw Exception("cannot write the seed " + File.fileName().toStdString());
}

// A text input: its bytes as the file keeps them (Latin-1 where possible).
QByteArray TextBytes(const QString& Text)
{
    return Text.toLatin1() == Text.toUtf8() || Text.toLatin1().contains('?') ? Text.toUtf8() : Text.toLatin1();
}

QByteArray Written(const std::function<void(QIODevice&)>& Writer)
{
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    Writer(Buffer);
    return Buffer.data();
}

// A small colourful picture with soft edges and a transparent corner.
QImage SamplePixels(int Width, int Height, bool Alpha)
{
    QImage Image(Width, Height, Alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X)
            Image.setPixel(X, Y, qRgba(X * 255 / Width, Y * 255 / Height, (X ^ Y) * 16 & 255,
                                       Alpha && X < 2 && Y < 2 ? 0 : 255));
    return Image;
}

// --- Section ---------------------------------------------------------------------------------

void SectionSeeds()
{
    QTemporaryDir Folder;
    const QString Name = Folder.filePath(QStringLiteral("seed.sec"));
    const auto Save = [&](TPolygonChart& Chart, const char* Seed) {
        Chart.WriteSection(Name, {"picture.bmp", " 0.0 0.0 1000.0 100.0", ""});
        QFile File(Name);
        File.open(QIODevice::ReadOnly);
        const QByteArray Bytes = File.readAll();
        Write("section_chart", Seed, Bytes);
        Write("section_block", Seed, Bytes);
    };
    TPolygonChart Empty;
    Empty.NewModel({}, false, 0, 1000, 0, 100);
    Save(Empty, "empty.sec");

    TPolygonChart Chart;
    Chart.NewModel({{0, 0}, {500, 5}, {1000, 0}}, true, 0, 1000, 0, 100);
    for (int K = 0; K < 3; ++K) {
        const double Left = 100 + 250.0 * K;
        arofcomplexM Square{{Left, 10}, {Left + 100, 10}, {Left + 100, 50}, {Left, 50}};
        AddPolygon(Square, Chart.Model, Chart.Nodes);
    }
    Chart.RebuildMapSeries();
    Chart.Model[1][0].params[psLabelText] = ParamValue("two words");
    Chart.Model[2][0].params[psResistivity] = ParamValue(123.456);
    line Record;
    Record.points = {{10, 5}, {123.456, 7.25}};
    Record.values = {1.5, 2.5};
    Record.text = "profile line";
    Chart.Lines.Add(Record);
    Chart.BuildLineSeries();
    Save(Chart, "bodies.sec");
}

// --- Pictures ---------------------------------------------------------------------------------

// GIF has no writer in the system: a minimal encoder of its own, with a
// clear code before every pair of pixels so the codes stay three bits wide.
QByteArray GifOf(int Width, int Height, bool Transparent)
{
    QByteArray Gif("GIF89a");
    const auto Put16 = [&](int V) {
        Gif.append(char(V & 255));
        Gif.append(char(V >> 8));
    };
    Put16(Width);
    Put16(Height);
    Gif.append("\x80\x00\x00", 3); // global table of 2 colours
    Gif.append("\x00\x00\x00\xFF\xFF\xFF", 6);
    if (Transparent)
        Gif.append("\x21\xF9\x04\x01\x00\x00\x00\x00", 8);
    Gif.append(',');
    Put16(0);
    Put16(0);
    Put16(Width);
    Put16(Height);
    Gif.append('\x00');
    Gif.append('\x02'); // minimum code size
    QByteArray Packed;
    uint32_t Bits = 0;
    int Count = 0;
    const auto Code = [&](int C) {
        Bits |= uint32_t(C) << Count;
        Count += 3;
        while (Count >= 8) {
            Packed.append(char(Bits & 255));
            Bits >>= 8;
            Count -= 8;
        }
    };
    for (int I = 0; I < Width * Height; ++I) {
        if (I % 2 == 0)
            Code(4);
        Code(((I % Width) + (I / Width)) & 1);
    }
    Code(5);
    if (Count > 0)
        Packed.append(char(Bits & 255));
    for (qsizetype At = 0; At < Packed.size(); At += 255) {
        const QByteArray Block = Packed.mid(At, 255);
        Gif.append(char(Block.size()));
        Gif.append(Block);
    }
    Gif.append('\x00');
    Gif.append(';');
    return Gif;
}

void PictureSeeds()
{
    TBitmap Bitmap;
    Bitmap.SetImage(SamplePixels(7, 5, false));
    Write("bmp", "rgb.bmp", Written([&](QIODevice& S) { Bitmap.SaveToStream(S); }));
    Bitmap.SetImage(SamplePixels(4, 3, true));
    Write("bmp", "alpha.bmp", Written([&](QIODevice& S) { Bitmap.SaveToStream(S); }));

    TRasterImage Png;
    Png.SetImage(SamplePixels(9, 4, true));
    Write("png", "alpha.png", Written([&](QIODevice& S) { Png.SaveToStream(S); }));
    Png.SetImage(SamplePixels(3, 3, false).convertToFormat(QImage::Format_Grayscale8));
    Write("png", "gray.png", Written([&](QIODevice& S) { Png.SaveToStream(S); }));

    Write("gif", "checks.gif", GifOf(6, 4, false));
    Write("gif", "transparent.gif", GifOf(1, 1, true));

    TJPEGImage Jpeg;
    Jpeg.SetImage(SamplePixels(16, 12, false));
    Write("jpeg", "baseline.jpg", Jpeg.Data());
    Jpeg.SetCompressionQuality(50);
    Jpeg.SetProgressiveEncoding(true);
    Write("jpeg", "progressive.jpg", Jpeg.Data());
    Jpeg.SetGrayscale(true);
    Write("jpeg", "gray.jpg", Jpeg.Data());
}

// A drawing with the records the players know: lines, shapes, text,
// regions, clipping and a bitmap.
void DrawSample(TCanvas& Canvas)
{
    Canvas.Pen().SetColor(clRed);
    Canvas.Pen().SetWidth(3);
    Canvas.MoveTo(5, 5);
    Canvas.LineTo(90, 40);
    Canvas.Brush().SetColor(clBlue);
    Canvas.Rectangle(10, 10, 40, 30);
    Canvas.Ellipse(50, 10, 80, 40);
    Canvas.Polygon({{5, 60}, {30, 45}, {60, 70}});
    Canvas.Font().SetSize(9);
    Canvas.TextOut(12, 50, QStringLiteral("Depth \u00E4"));
    TDeviceContext& DC = Canvas.Handle();
    DC.FillRgn(CreateRectRgn(60, 50, 90, 70), CreateSolidBrush(clGreen));
    const TRegion Clip = CreateEllipticRgn(0, 0, 70, 70);
    DC.SelectClipRgn(&Clip);
    TBitmap Picture;
    Picture.SetImage(SamplePixels(6, 6, false));
    Canvas.StretchDraw({20, 20, 50, 40}, &Picture);
    DC.SelectClipRgn(nullptr);
}

void MetafileSeeds()
{
    TMetafile Metafile;
    Metafile.SetWidth(100);
    Metafile.SetHeight(80);
    {
        TMetafileCanvas Canvas(Metafile, nullptr, QStringLiteral("Seed"));
        DrawSample(Canvas);
    }
    Write("emf", "drawing.emf", Written([&](QIODevice& S) { Metafile.SaveToStream(S); }));
    Metafile.SetEnhanced(false);
    const QByteArray Wmf = Written([&](QIODevice& S) { Metafile.SaveToStream(S); });
    Write("wmf", "drawing.wmf", Wmf);
    Write("emf", "drawing.wmf", Wmf);
    TMetafile Blank;
    {
        TMetafileCanvas Canvas(Blank);
    }
    Write("emf", "blank.emf", Blank.Data());
}

// --- Chart parts ------------------------------------------------------------------------------

QByteArray BinaryProperty(TPersistent& Object)
{
    TPropertyDefinitions Definitions;
    Object.DefineProperties(Definitions);
    const TPropertyDefinitions::TDefinition* Data = Definitions.Find(QStringLiteral("Data"));
    return Written([&](QIODevice& S) { Data->WriteStream(S); });
}

void ChartSeeds()
{
    TChart Chart;
    PrepareChart(Chart);
    auto* Series = new TLineSeries(&Chart);
    Chart.AddSeries(Series);
    Series->AddXY(1, 2);
    Series->AddXY(2, -3.5, QStringLiteral("label"), clRed);
    Series->AddXY(4, 1e6);
    Series->SetManualData(true);
    Write("series_data", "points.bin", BinaryProperty(*Series));
    Series->Marks()->SetVisible(true);
    TSeriesMarkPosition Moved;
    Moved.TopLeft = {40, 30};
    Moved.MarkWidth = 20;
    Moved.MarkHeight = 10;
    Moved.ArrowStart = {45, 60};
    Moved.ArrowEnd = {45, 40};
    Series->Marks()->Positions().SetPosition(1, Moved);
    Write("series_data", "positions.bin", BinaryProperty(*Series));

    TMarksItem& Item = Series->Marks()->Items().Item(1);
    Item.Font()->SetColor(clBlue);
    Item.SetTransparency(40);
    Item.TextList()->Add(QStringLiteral("marked"));
    Series->Marks()->Items().Item(2).SetVisible(false);
    Write("marks_items", "items.bin", Written([&](QIODevice& S) { Series->Marks()->WriteItems(S); }));

    auto* Map = new TMapSeries(&Chart);
    Chart.AddSeries(Map);
    TPlotPolygon* Polygon = Map->Shapes()->Add();
    Polygon->AddXY(0, 0);
    Polygon->AddXY(10, 0);
    Polygon->AddXY(5, 8);
    Write("map_polygon", "triangle.bin", BinaryProperty(*Polygon));

    const auto Appearance = [](int Kind, const char* Name, const QString& Text) {
        Write("appearance", Name, QByteArray(1, char(Kind)) + TextBytes(Text));
    };
    TChartTitle& Title = *Chart.Title();
    Title.Brush()->SetColor(clYellow);
    Appearance(0, "brush.txt", BrushSettingsToText(*Title.Brush()));
    Title.Pen()->SetWidth(2);
    Appearance(1, "pen.txt", PenSettingsToText(*Title.Pen()));
    Title.Gradient()->SetVisible(true);
    Appearance(2, "gradient.txt", GradientSettingsToText(*Title.Gradient()));
    Title.Font()->SetName(QStringLiteral("Liberation Sans"));
    Appearance(3, "font.txt", FontSettingsToText(*Title.Font()));
    Title.Shadow()->SetSize(4);
    Appearance(4, "shadow.txt", ShadowSettingsToText(*Title.Shadow()));
    Chart.LeftAxis()->SetMinMax(-5, 250);
    Appearance(5, "axis.txt", AxisSettingsToText(*Chart.LeftAxis()));

    Series->Pointer()->SetVisible(true);
    Write("series_settings", "line.txt", TextBytes(SeriesSettingsToText(Series)));
    Write("series_settings", "map.txt", TextBytes(SeriesSettingsToText(Map)));
}

// --- Chart files ----------------------------------------------------------------------------

// A chart with a picture of every stored kind: a PNG in the picture tool,
// a BMP in image bars, a JPEG at image points and a BMP as a bar brush.
void ChartFileSeeds()
{
    InitializeChartExtensions();
    InitializeChartExport();
    TChart Chart;
    PrepareChart(Chart);
    auto* Bars = new TImageBarSeries(&Chart);
    auto* Points = new TImagePointSeries(&Chart);
    auto* Plain = new TBarSeries(&Chart);
    for (TChartSeries* Series : std::initializer_list<TChartSeries*>{Bars, Points, Plain}) {
        Chart.AddSeries(Series);
        Series->AddXY(1, 2);
        Series->AddXY(2, 3.5);
    }
    auto* Tool = new TChartImageTool(&Chart);
    Tool->SetParentComponent(&Chart);
    TRasterImage Png;
    Png.SetImage(SamplePixels(6, 5, true));
    Tool->Picture()->SetGraphic(&Png);
    TBitmap Bitmap;
    Bitmap.SetImage(SamplePixels(5, 4, false));
    Bars->Image()->SetGraphic(&Bitmap);
    Plain->BarBrush()->Image()->SetGraphic(&Bitmap);
    TJPEGImage Jpeg;
    Jpeg.SetImage(SamplePixels(8, 8, false));
    Points->ImagePoint()->SetGraphic(&Jpeg);

    const auto Saved = [&](bool Text) {
        return Written([&](QIODevice& S) { SaveChartToStream(&Chart, S, true, Text); });
    };
    const QByteArray Binary = Saved(false);
    Write("chart_file", "pictures.vud", Binary);
    Write("chart_file", "pictures_text.vud", Saved(true));
    // The PNG signature after the tool picture's class name broken.
    QByteArray Damaged = Binary;
    const QByteArray Signature = QByteArray("TRasterImage\x89PNG", 16);
    Damaged.replace(Damaged.indexOf(Signature), Signature.size(), QByteArray("TRasterImage\x89XNG", 16));
    Write("chart_file", "damaged_picture.vud", Damaged);
    Write("chart_file", "cut_short.vud", Binary.left(Binary.size() / 2));
    FinalizeChartExport();
    FinalizeChartExtensions();
}

// --- Texts ------------------------------------------------------------------------------------

void TextSeeds()
{
    Write("rich_text", "styles.txt", "Depth <b>bold</b> <i>italic</i> <u>under</u><br>next line");
    Write("rich_text", "fonts.txt", "<font size=+2 color=RED face=\"Liberation Sans\">big</font> <font size=-1>small</font>");
    Write("rich_text", "colour.txt", "<font color=#FF8000>orange</font> &lt;tag&gt; <sub>2</sub><sup>3</sup>");

    const auto Float = [](const char* Name, double Value, const char* Picture) {
        QByteArray Bytes(1, '\x01');
        Bytes.append(reinterpret_cast<const char*>(&Value), sizeof Value);
        Bytes.append(Picture);
        Write("format", Name, Bytes);
    };
    Float("float_grouped.bin", 1234567.891, "#,##0.00");
    Float("float_exponent.bin", -0.000123, "0.###E+00");
    Float("float_sections.bin", 0, "0.0;(0.0);'zero'");
    Write("format", "pattern_plain.bin", QByteArray("\x00", 1) + "%d %.3f %s");
    Write("format", "pattern_widths.bin", QByteArray("\x02", 1) + "%-8d|%12.4e|%x|%*d|%1:s %%");

    Write("text_to_number", "reals.txt", " 1.5 -2,5e3 abc 1e308 .5 -0");
    Write("text_to_number", "points.txt", "x 0 0 10 0 5 8.25");
}

// --- Well logs, settings, waves, dates, pseudo-sections -------------------------------------

void CarotageSeeds()
{
    // A curve, a coded picture with solid, hatched and pattern codes, and a
    // logarithmic log shifted to its group's mean.
    QByteArray Curve;
    QByteArray Coded;
    for (int Depth = 0; Depth <= 90; Depth += 5) {
        Curve += QByteArray::number(Depth) + ' ' + QByteArray::number(40 + Depth % 17) + "\r\n";
        Coded += QByteArray::number(Depth) + " 1 " + QByteArray::number(Depth / 10 % 12 * 3) + ' ' +
                 QByteArray::number(Depth / 20) + "\r\n";
    }
    const QByteArray List = "1\r\nGR\r\n320 6 0 1 1 255 0\r\n2\r\nLitho\r\n500 4 1 0 2 32768 0 2.5\r\n"
                            "2\r\nMixed\r\n700 4 2 0 2 0 0\r\n1\r\nLog\r\n800 5 0 2 1 128 1\r\n";
    Write("carotage", "logs.bin", List + '\0' + Curve + '\0' + Coded);
    Write("carotage", "kind3.bin", QByteArray("1\r\nB\r\n100 10 3 0 1 0 0 -5\r\n") + '\0' + Coded);
    Write("carotage", "missing.bin", QByteArray("1\r\nA\r\n1 2 0 0 1 0 0\r\n7\r\nGone\r\n1 2 0 0 1 0 0\r\n") + '\0' +
                                         "0 * 1\r\n5 2\r\n10 3 4 5\r\n");
}

void SettingsSeeds()
{
    // Files written by the store itself, as the recent-files list leaves them.
    QTemporaryDir Folder;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Folder.path());
    const QString File = Folder.filePath(QStringLiteral("Lithoprism/Lithoprism.ini"));
    const auto Saved = [&] {
        QFile Settings(File);
        Settings.open(QIODevice::ReadOnly);
        return Settings.readAll();
    };
    {
        TComponent Owner;
        auto* Recent = new TMainMenuItem(&Owner);
        auto* List = new TFileMenuOpens(&Owner);
        List->SetRegPath(QStringLiteral("\\Software\\Lithoprism\\Files"));
        List->SetNumbers(5);
        List->SetMenus(Recent);
        Write("settings", "empty_slots.ini", Saved());
        for (const char* Name : {"/data/a.sec", "/data/b & c.sec", "/data/d.sec"})
            List->AddFile(QString::fromUtf8(Name));
        TRegistry Registry;
        Registry.OpenKey(QStringLiteral("\\Software\\Lithoprism\\Other"), true);
        Registry.WriteInteger(QStringLiteral("Count"), 12);
        Registry.WriteBool(QStringLiteral("Shown"), true);
        Write("settings", "three_files.ini", Saved());
    }
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QDir::tempPath());
}

// A PCM wave image (no writer in the system: the header built here).
QByteArray WaveOf(int Format, int Channels, int Rate, int Bits, int Frames)
{
    QByteArray Samples;
    for (int i = 0; i < Frames * Channels * Bits / 8; ++i)
        Samples.append(char(i * 37 & 255));
    QByteArray Wave("RIFF");
    const auto Put = [&](uint32_t Value, int Bytes) {
        for (int i = 0; i < Bytes; ++i)
            Wave.append(char(Value >> (8 * i) & 255));
    };
    Put(uint32_t(4 + 8 + 16 + 8 + Samples.size()), 4);
    Wave.append("WAVEfmt ");
    Put(16, 4);
    Put(uint32_t(Format), 2);
    Put(uint32_t(Channels), 2);
    Put(uint32_t(Rate), 4);
    Put(uint32_t(Rate * Channels * Bits / 8), 4);
    Put(uint32_t(Channels * Bits / 8), 2);
    Put(uint32_t(Bits), 2);
    Wave.append("data");
    Put(uint32_t(Samples.size()), 4);
    return Wave + Samples;
}

void WaveSeeds()
{
    Write("wave", "mono8.wav", WaveOf(1, 1, 8000, 8, 64));
    Write("wave", "stereo16.wav", WaveOf(1, 2, 44100, 16, 32));
    Write("wave", "float32.wav", WaveOf(3, 1, 22050, 32, 16));
    Write("wave", "int32.wav", WaveOf(1, 2, 48000, 32, 8));
}

void DateTimeSeeds()
{
    const auto Seed = [](const char* Name, double Value, const char* Picture) {
        QByteArray Bytes(reinterpret_cast<const char*>(&Value), sizeof Value);
        Bytes.append(Picture);
        Write("date_time_format", Name, Bytes);
    };
    Seed("long.bin", EncodeDateTime(2026, 12, 7, 21, 5, 9, 250), "dddd, d mmmm yyyy hh:nn:ss.zzz");
    Seed("short.bin", EncodeDateTime(1999, 2, 28, 0, 0, 0, 0), "c");
    Seed("ampm.bin", -1.25, "yy/m/d h:n am/pm 'quoted' \"also\" ddddd tt");
    Seed("twelve.bin", 45000.999, "hh:mm a/p mmm ddd z");
}

void PseudoSectionSeeds()
{
    QByteArray Lines = "255 16711680 16711680 255 65535 32768 15 25 70 1 20 0 1 0 1 1 123456789 123456789\n";
    for (int i = 0; i < 30; ++i) {
        const double X = (i * 97) % 1000;
        const double Z = (i * 53) % 200;
        Lines += QByteArray::number(X) + ' ' + QByteArray::number(Z) + ' ' +
                 QByteArray::number(100 + 0.05 * X + 0.2 * Z + (i % 7) * 3.5) + '\n';
    }
    Write("pseudo_section", "field.txt", Lines);
    Write("pseudo_section", "log_scale.txt",
          "0 255 16711680 255 65535 32768 6 10 10 10 10 0 0 1 0 0 1,5 2,5\n0 0 1\n10 0 100\n0 10 1000\n10 10 10\n5 5 50\n");
}

// Data files as --forward writes them, with and without chargeability,
// with a pole among the configurations: the schemes --scheme reads back.
void SchemeSeeds()
{
    TSurveyResponse Result;
    Result.Survey.Array = "dipole-dipole";
    for (int e = 0; e < 8; ++e)
        Result.Survey.Electrodes.push_back({12.5 * e, -0.25 * (e % 3)});
    for (int n = 1; n <= 3; ++n)
        for (int a = 0; a + n + 2 < 8; ++a)
            Result.Survey.Configurations.push_back({a, a + 1, a + n + 1, a + n + 2});
    Result.Survey.Configurations.push_back({0, -1, 2, 3});
    for (size_t d = 0; d < Result.Survey.Configurations.size(); ++d) {
        Result.GeometricFactors.push_back(78.53981633974483 * double(d + 1));
        Result.Resistivities.push_back(100.0 + double(d) / 3.0);
    }
    Write("scheme_file", "forward.dat", QByteArray::fromStdString(FormatUnifiedData(Result)));
    Result.Chargeabilities.assign(Result.Survey.Configurations.size(), 4.75);
    Write("scheme_file", "forward_ip.dat", QByteArray::fromStdString(FormatUnifiedData(Result)));
}

// Measured data: the unified data format as this program writes it and as
// pyGIMLi writes it (x y z, err, ip in mV/V, valid, topography), with
// resistances and units; the Res2DInv format for every array type, both
// x-location types, the chargeability units, separators and topography.
void MeasuredDataSeeds()
{
    TSurveyResponse Result;
    Result.Survey.Array = "wenner";
    for (int e = 0; e < 8; ++e)
        Result.Survey.Electrodes.push_back({5.0 * e, -0.5 * (e % 2)});
    for (int a = 0; a + 3 < 8; ++a)
        Result.Survey.Configurations.push_back({a, a + 3, a + 1, a + 2});
    Result.Survey.Configurations.push_back({0, -1, 1, -1});
    for (size_t d = 0; d < Result.Survey.Configurations.size(); ++d) {
        Result.GeometricFactors.push_back(31.41592653589793 * double(d + 1));
        Result.Resistivities.push_back(50.0 + 7.25 * double(d));
        Result.Chargeabilities.push_back(1.0 + double(d) / 8.0);
    }
    Write("measured_data", "forward_ip.dat", QByteArray::fromStdString(FormatUnifiedData(Result)));
    Result.Chargeabilities.clear();
    Write("measured_data", "forward.dat", QByteArray::fromStdString(FormatUnifiedData(Result)));
    Write("measured_data", "pygimli.dat",
          "4\n# x y z\n0 10 0\n1 9.5 0\n2 9 0\n3 8.5 0\n3\n# a b m n err ip k rhoa valid\n"
          "1 2 3 4 0.02 15 18.85 120 1\n2 0 3 4 0.05 nan 9.42 80 1\n1 2 3 4 0.03 4 18.85 -1 0\n"
          "2\n# x y\n0 10\n3 8.5\n");
    Write("measured_data", "resistances.dat",
          "\xEF\xBB\xBF# field\r\n3\r\n# X Z\r\n0 0\r\n2 -1\r\n4 -2\r\n3\r\n# C1 C2 P1 P2 U/mV I/mA ERR/% IP/% IPERR\r\n"
          "1 0 2 3 150 100 3 1.5 0.1\r\n1 0 3 2 -150 100 2 1 0.1\r\n2 0 3 0 4 2 1 0.5 0.2\r\n0\r\n");
    Write("measured_data", "r_and_k.dat", "2\n0\n1.5\n1\n# a b m n r k\n1 0 2 0 2.5 9.42\n");
    Write("measured_data", "phases_cr.dat", "3\r# x\r0\r1\r2\r1\r# a b m n rhoa ip/mrad phi\r1 0 2 3 100 12 8\r");

    const char* Header = "Seed line\n2.5\n";
    const auto Res2DInv = [&](const char* Name, const std::string& Body) {
        Write("res2dinv_file", Name, QByteArray(Header) + QByteArray::fromStdString(Body));
    };
    Res2DInv("wenner.dat", "1\n3\n0\n0\n0 2.5 100\n2.5 2.5 110\n0 5 120\n0\n0\n0\n0\n");
    Res2DInv("pole_pole.dat", "2\n2\n1\n0\n1.25 2.5 100\n7.5 5 90\n");
    Res2DInv("dipole_dipole_ip.dat", "3\n3\n0\n1\nChargeability\nmV/V\n0.12,0.92\n0 2.5 1 100 12\n"
                                     "0,2.5,2,105,11\n2.5\t2.5\t1.5\t107\t9\n0\n0\n0\n0\n");
    Res2DInv("wenner_beta.dat", "4\n1\n1\n1\nChargeability\n%\n0.1,1\n3.75 2.5 100 1.5\n");
    Res2DInv("wenner_gamma_msec.dat", "5\n1\n0\n1\nChargeability\nmsec\n0.1,1\n0 2.5 100 8\n");
    Res2DInv("pole_dipole.dat", "6\n4\n1\n0\n3.75,2.5,2,100\n3.75,2.5,-2,95\n6.25,2.5,2,97\n6.25,2.5,-2,93\n0,0,0,0\n");
    Res2DInv("schlumberger_topography.dat",
             "7\n2\n0\n0\n0 2.5 1 100\n0 2.5 2 101\nTopography in separate list\n2\n3\n0 10\n10 9\n30 7\n1\n0\n0\n");
    Res2DInv("general_resistance.dat",
             "11\n0\nType of measurement (0=app. resistivity,1=resistance)\n1\n3\n1\n0\n"
             "4 0 0 5 0 10 0 15 0 -2\n3 0 0 5 0 10 0 1.5\n2 0 0 10 0 0.4\n");
    Res2DInv("pole_dipole_remote_errors.dat",
             "6\nRemote electrode\nB -20 0\n2\n0\n1\nType of error estimate (0=same unit as data)\n0\n0\n"
             "0 2.5 1 100 3\n2.5 2.5 -1 95 2\n");
    Res2DInv("pole_pole_remotes_ip_errors.dat",
             "2\nRemote electrodes\n-30 0\n99999 0\n2\n0\n1\nChargeability\nmV/V\n0.12,0.92\n1\n0 2.5 100 12 3\n"
             "2.5 2.5 90 10 4\n");
    Res2DInv("general_apparent.dat",
             "11\n3\nType of measurement (0=app. resistivity,1=resistance)\n0\n2\n1\n1\nChargeability\nmV/V\n0,1\n"
             "4 0 0 2.5 0 5 -0.5 7.5 -1 100 10\n2 0 0 7.5 -1 90 8\n1\n2\n0 0\n10 -1\n1\n0\n");
}

// Instruments' exports, as the notes on their layouts describe them: the
// Syscal text export's four header variants (leading columns, remotes, IP,
// elevations, a line along y), the ABEM protocol export's blocks (flags,
// remotes), the Sting export in metres and feet, the Lippmann export with
// decimal commas and a remote, the DAS-1 export along y, the OhmPi export,
// the Prime export with and without its positions block; each also as
// measured data told from its content.
void InstrumentSeeds()
{
    // The Syscal binary and .binx files: records of each length, a remote,
    // IP and a relief; and each cut short within a record.
    {
        std::vector<test::TSyscalBinaryRecord> records = {
            test::SyscalBinaryDatum({0, 3, 1, 2}, 122.5f, 40.0f, 12.5f),
            test::SyscalBinaryDatum({1, 2, 0, 3}, 30.25f, 10.0f, 11.0f),
            test::SyscalBinaryDatum({4, 9999999, 6, 7}, 35.25f, 120.0f, 2.0f)};
        records[1].More = 2;
        records[2].More = 0;
        records[0].Z = {1.0f, 1.5f, 1.25f, 1.375f};
        const std::string bytes = test::SyscalBinaryFile(records);
        for (const auto& [name, seed] :
             {std::pair{"syscal.bin", bytes}, std::pair{"syscal_cut.bin", bytes.substr(0, 1500)}}) {
            const QByteArray data(seed.data(), static_cast<qsizetype>(seed.size()));
            Write("syscal_binary", name, data);
            Write("measured_data", name, data);
        }
        const std::string binx = test::SyscalBinxFile(records);
        for (const auto& [name, seed] :
             {std::pair{"syscal.binx", binx}, std::pair{"syscal_cut.binx", binx.substr(0, 6000)}}) {
            const QByteArray data(seed.data(), static_cast<qsizetype>(seed.size()));
            Write("syscal_binx", name, data);
            Write("measured_data", name, data);
        }
    }
    const auto Seed = [](const char* Target, const char* Name, const char* Text) {
        Write(Target, Name, Text);
        Write("measured_data", Name, Text);
    };
    Seed("syscal_text", "syscal_a.csv",
         ",El-array,Spa.1,Spa.2,Spa.3,Spa.4,Rho ,Dev., M  ,Sp  ,Vp  ,In\r\n"
         ",Mixed / non conventional,0.00,1.00,2.00,3.00,52.40,0.2,0.00,4.1,-812.300,97.400\r\n"
         ",Mixed / non conventional,2.00,3.00,0.00,1.00,51.90,0.5,0.00,-3.0,-804.900,96.800,,\r\n"
         ",Pole Dipole,4.00,9999999.00,6.00,7.00,61.12,1.1,0.00,2.2,35.210,120.00\r\n"
         ",Mixed / non conventional,0.00,1.00,2.00,3.00,52.40,0.2,0.00,4.1,-,0\r\n");
    Seed("syscal_text", "syscal_b_ip.csv",
         "El-array,xA(m),xB(m),xM(m),xN(m),Rho (Ohm.m),Dev.,M (mV/V),SP (mV),VMN (mV),IAB (mA)\n"
         "Wenner,0,3,1,2,10.0,0.0,12.5,0.1,50.0,100.0\nWenner,1,4,2,3,11.0,0.0,11.5,0.1,52.0,100.0\n");
    Seed("syscal_text", "syscal_c_along_y.csv",
         "El-array,xA (m),xB (m),xM (m),xN (m),Rho (Ohm.m),Dev. Rho (%),SP (mV),VMN (mV),IAB (mA),Time (ms),"
         "Coef. k (m),yA (m),yB (m),yM (m),yN (m),zA (m),zB (m),zM (m),zN (m),N\xB0 electrode A\n"
         "Dipole-dipole,5,5,5,5,20,0.1,0,100,50,250,-18.85,20,18,16,14,1,1.1,1.2,1.3,1\n"
         "Dipole-dipole,5,5,5,5,20,0.1,0,100,1e38,250,-18.85,18,16,14,12,1.1,1.2,1.3,1.4,2\n");
    Seed("syscal_text", "syscal_d_oblique.csv",
         "El-array,xA (m),xB (m),xM (m),xN (m),Rho (Ohm.m),Dev. M,Dev. Rho (%),M (mV/V),SP (mV),VMN (mV),IAB (mA),"
         "yA (m),yB (m),yM (m),yN (m),zA (m),zB (m),zM (m),zN (m)\n"
         "Mixed / non conventional,0,1.2,2.4,3.6,33.10,0.40,0.02,6.25,1.5,-62.110,50.200,0,1.6,3.2,4.8,10.5,10.4,10.1,9.8\n"
         "Mixed / non conventional,1.2,2.4,3.6,4.8,33.10,0.40,0.02,5.5,1.5,-60.0,50.0,1.6,3.2,4.8,6.4,10.4,10.1,9.8,9.5\n");
    const char* AbemHeader = "Line 7\r\n0 { first station coordinate }\r\n2020-03-01 09:30:00   ver. 2.12\r\n"
                             "2 { electrode take-out spacing }\r\n2 { no. of protocol files used }\r\nWEN 1\r\n";
    Seed("abem_ohm", "abem_blocks.ohm",
         (std::string(AbemHeader) +
          "WEN2.ORG\r\n3 1\r\n10\r\n2020-03-01 09:31:02   ver. 2.12\r\n-3 3 -1 1 4.0E-1 0.3 2 2\r\n"
          "-1 1 -3 3 1.0E38 0.0 1 1\r\n-3 1.0E38 -1 1 2.0E-1 1.1 2 2\r\nWEN2.UP\r\n1 0\r\n20\r\n"
          "2020-03-01 09:40:00   ver. 2.12\r\n-3 3 -1 1 120.5 0.3 2 2\r\n")
             .c_str());
    Seed("abem_ohm", "abem_grid.ohm", "b dist= 5\r\n0\r\nx\r\n1\r\n1\r\nGRID 12 16 4\r\nGRID.ORG\r\n0 1\r\n0\r\nx\r\n");
    const char* StingHeader = "Advanced Geosciences, Inc. SuperSting R8-IP Resistivity meter. S/N: SS0000001 Type: 3D\n"
                              "Firmware version: 01.03.41E Survey period: 20200301 Records: 3\n";
    Seed("sting_file", "sting_metres.stg",
         (std::string(StingHeader) + "Unit: meter\n"
          "   1,USER   ,20200301,10:02:11, 2.50000E+00,   4,500, 9.42478E+01,X0       , 2.00000E+00, 0.00000E+00, "
          "1.50000E+01, 0.00000E+00, 0.00000E+00, 1.50000E+01, 4.00000E+00, 0.00000E+00, 1.48000E+01, 6.00000E+00, "
          "0.00000E+00, 1.46000E+01,Cmd=1,HV=300,Cyk=1\n"
          "   2,USER   ,20200301,10:02:15,-1.20000E-01,   0,480,-2.26195E+01,X0       , 4.00000E+00, 0.00000E+00, "
          "1.48000E+01, 2.00000E+00, 0.00000E+00, 1.50000E+01, 6.00000E+00, 0.00000E+00, 1.46000E+01, 8.00000E+00, "
          "0.00000E+00, 1.44000E+01,Cmd=1,HV=300,Cyk=1\n"
          "   3,USER   ,20200301,10:02:19, 3.0E-01,   4,500, 7.5E+00,X0       , 0.0E+00, 0.0E+00, 1.5E+01, 9.99999E+06, "
          "0.0E+00, 0.0E+00, 2.0E+00, 0.0E+00, 1.5E+01, 4.0E+00, 0.0E+00, 1.48E+01,Cmd=1\n")
             .c_str());
    Seed("sting_file", "sting_feet_ip.stg",
         (std::string(StingHeader) + "Unit: feet\n"
          "1,USER,20200301,10:02:11,1.0,4,500,9.4,X0,0,0,0,10,0,0,20,0,0,30,0,0,Cmd=1,IP: 2,100,1.2,1.3,1.1,1.0,0.9,0.8,6.3\n")
             .c_str());
    Seed("lippmann_file", "lippmann_comma.tx0",
         "* Electrode positions ***\r\n* Electrode [  1] x y z (m) =       0,000       0,000      10,000\r\n"
         "* Electrode [  2] x y z (m) =       1,000       0,000       9,900\r\n"
         "* Electrode [  3] x y z (m) =       2,000       0,000       9,800\r\n"
         "* Electrode [  4] x y z (m) =       3,000       0,000       9,700\r\n"
         "* Remote electrode positions ***\r\n* Electrode remote B x y z (m) =     -20,000       0,000      10,000\r\n"
         "* Data ***\r\n* num    A    B    M    N        I         U      dU       rho     phi  Date        Time\r\n"
         "*                               mA        mV       %      Ohmm    mrad yyyy.mm.dd hh:mm:ss.ss\r\n"
         "    1    1    2    4    3   5,0000 120,50000   0,010    94,600   1,660 2020.03.01 10:00:00.00\r\n"
         "    2    2    3    4    1        -         -       -         -       -          -           -\r\n"
         "    3    3    -    4    1   2,0000  10,00000   0,010    20,000   0,000 2020.03.01 10:00:09.00\r\n");
    Seed("das1_file", "das1_along_y.data",
         "!Made-up survey\r\n#elec_start\r\n!Cbl# El# Elec-X  Elec-Y  Elec-Z  Terrn-Z  Type  El.Num\r\n"
         "002,01 +5.0000 +20.000 +.00000 +.00000 001\r\n002,02 +5.0000 +18.000 +.00000 +.00000 002\r\n"
         "002,03 +5.0000 +16.000 +.50000 +.00000 003\r\n002,04 +5.0000 +14.000 +1.0000 +.00000 004\r\n"
         "002,05 +5.0000 +12.000 +1.5000 +.00000 005\r\n#elec_end\r\n#data_res_col= 011\r\n#data_std_res_col= 012\r\n"
         "#data_ip_wind_col= -001\r\n#data_start\r\n! ID      A      B      M      N      Appres      V/I,      Std.\r\n"
         "000001 002,01 002,04 002,02 002,03 +102.40 +8.150000 +.0120000\r\n"
         "000002 002,02 002,05 002,03 002,04\t * * TX Resist. out of range * *\r\n"
         "000003 002,05 002,02 002,04 002,03 +99.0 -.5 +.01\r\n#data_end\r\n");
    Seed("ohmpi_file", "ohmpi.csv",
         "time,a,b,m,n,injection_duration_[ms],vmn_[mV],vmn_std_[%],iab_[mA],iab_std_[%],r_[Ohm],r_std_[%],"
         "rab_[kOhm],sp_[mV],nb_stack,vab_[V]\n"
         "2024-05-01T10:00:00.0,1,4,2,3,500.0,812.5,0.4,2.1,1.2,386.9,1.3,12.1,-3.2,2,12.0\n"
         "2024-05-01T10:00:06.0,2,3,1,4,500.0,640.0,0.6,1.9,1.5,336.8,1.7,13.0,4.4,2,12.0\n"
         "2024-05-01T10:00:12.0,1,2,5,6,500.0,10.0,0.6,2.0,1.5,-5.0,1.7,13.0,4.4,2,12.0\n"
         "2024-05-01T10:00:18.0,1,4,2,3,500.0,0.0,0.0,0.0,0.0,-,0,0,0,1,12.0\n");
    Seed("ohmpi_file", "ohmpi_voltage_current.csv", "a,b,m,n,vmn_[mV],iab_[mA]\r\n1,4,2,3,812.5,2.5\r\n1,4,2,3,1,0\r\n");
    const char* primeHead = "# Prime:\tRX Ver.1.00\r\nset_no_of_meas:\t4\r\n#Units\tOhm\tTenths %\t-\t-\t-\t-\tDegrees\r\n"
                            "data:\r\npt_line_number:\tpt_calc_res:\tpt_calc_res_error:\tpt_c1_no:\tpt_c2_no:\tpt_p1_no:\t"
                            "pt_p2_no:\tpt_calc_phase_mag:\r\n1\t0.8123\t4.5\t12\t11\t13\t14\t0.5\r\n"
                            "2\t0.3518\t6.0\t\t\t14\t15\t0.4\r\n**Error: no current\r\n4\t/.//\t0\t13\t12\t14\t15\t0\r\n";
    Seed("prime_file", "prime.tab", primeHead);
    Seed("prime_file", "prime_positions.dat",
         (std::string(primeHead) + "no_of_electrodes:\t5\r\nlabel\tx\ty\tz\r\n11\t3.0\t0.0\t100.0\r\n"
                                   "12\t3.0\t2.0\t99.5\r\n13\t3.0\t4.0\t99.0\r\n14\t3.0\t6.0\t98.0\r\n"
                                   "15\t3.0\t9999999\t0\r\n")
             .c_str());
}

// The ARES II export with IP windows of unequal length, bundles and rows
// without a measurement, and without IP; the Electra export in both
// layouts (the older with its waveform); each also as measured data told
// from its content.
void AresElectraSeeds()
{
    const auto Seed = [](const char* Target, const char* Name, const char* Text) {
        Write(Target, Name, Text);
        Write("measured_data", Name, Text);
    };
    Seed("ares_file", "ares_ip_windows.2dm",
         "Method: Dip-Dip overlap\r\nX-loc: 10 m\r\nElectrode distance: 2 m\r\nIP windows:\t20\t20\t40\t80 ms\r\n"
         "Connected MC 1: 0.8 kOhm\r\nMeasured data:\r\n"
         "C1[el]\tC2[el]\tP1[el]\tP2[el]\tPn\tPn+1\tArray\tUout[V]\tI[mA]\tU[mV]\tEP[mV]\tAppRes[Ohmm]\tSt-dev[%]\t"
         "IP1[%]\tIP1-dev\tIP2[%]\tIP2-dev\tIP3[%]\tIP3-dev\tIP4[%]\tIP4-dev\r\n"
         "1\t0\t2\t3\tP1\tP2\tDD\t180.2\t250.500\t310.400\t12\t23.400\t0.1\t2.10\t3.0\t1.60\t4.1\t1.20\t5.5\t0.70\t9.0\r\n"
         "5*2\t1*2\t8\t9\tP1\tP2\tDD\t0.0\t0.000\t0.000\t0\t0.000\t0.0\t0.00\t0.0\t0.00\t0.0\t0.00\t0.0\t0.00\t0.0\r\n"
         "2\t5\t3\t4\ttoo low current\r\n"
         "5*2\t1*2\t3\t4\tP1\tP2\tDD\t80.0\t200.000\t40.000\t3\t1.000\t0.2\t0.50\t0.1\t-\t0.1\t0.50\t0.1\t0.50\t0.1\r\n");
    Seed("ares_file", "ares_no_ip.2dm",
         "Method: Wenner\r\nX-loc: 0 m\r\nElectrode distance: 1 m\r\nMeasured data:\r\n"
         "C1[el]\tC2[el]\tP1[el]\tP2[el]\tI[mA]\tU[mV]\tAppRes[Ohmm]\r\n0\t3\t1\t2\t10\t5\t3.1\r\n"
         "1\t4\t2\t3\t-\t-\t-\r\n");
    Seed("electra_file", "electra_waveform.ele",
         "# Total enabled electrodes\r\n5\r\n# X\tY\tZ\r\n0.000\t0.000\t10.000\r\n2.000\t0.000\t9.800\r\n"
         "4.000\t0.000\t9.500\r\n6.000\t0.000\t9.400\r\n8.000\t0.000\t9.000\r\n"
         "# Meas.\tA\tB\tM\tN\tI(AB)\tV(AB)\tV(MN)\tK/(2pi)\trhoa\tZ(AB)\tStartOn\tVMN000\tVMN001\r\n"
         "# [#]\t[#]\t[#]\t[#]\t[#]\t[mApp]\t[Vpp]\t[mVpp]\t-\t[ohm m]\t[ohm]\t[byte]\t[mV]\t[mV]\r\n"
         "1\t1\t4\t2\t3\t48.10\t40.20\t512.3\t0.500\t33.45\t836.0\t1024\t12.1\t12.9\r\n"
         "2\t2\t5\t3\t4\t-\t-\t-\t0.500\t-\t-\t1024\t-\t-\r\n"
         "3\t1\t2\t3\t4\t50.00\t40.00\t-25.0\t-3.000\t-9.42\t800.0\t1024\t12.1\t12.9\t13.0\r\n");
    Seed("electra_file", "electra_status_along_y.ele",
         "#Total electrodes\r\n4\r\n#X\tY\tZ\r\n5.00\t0.00\t0.00\r\n5.00\t2.00\t0.00\r\n5.00\t4.00\t0.00\r\n"
         "5.00\t6.00\t0.00\r\n#Total remote electrode\r\nNo data\r\n"
         "#Meas.\tStatus\tA\tB\tM\tN\tGND\tI(AB)\tV(AB)\tV(MN)\ta-Spacing\tn-Factor\tK/(2pi)\tRhoa\tZ(AB)\r\n"
         "#[#]\t[E/D/N]\t[#]\t[#]\t[#]\t[#]\t[#]\t[mApp]\t[Vpp]\t[mVpp]\t-\t-\t-\t[ohm m]\t[ohm]\r\n"
         "1\tE\t1\t4\t2\t3\t3\t49.00\t81.20\t270.10\t2.00\t1.00\t2.00\t69.30\t1650.00\r\n"
         "2\tN\t2\t5\t3\t4\t4\t-\t-\t-\t2.00\t1.00\t2.00\t-\t-\r\n"
         "3\tD\t1\t4\t2\t3\t3\t49.00\t81.20\t270.10\t2.00\t1.00\t2.00\t69.30\t1650.00\r\n"
         "4\tE\t4\t1\t3\t2\t3\t49.00\t81.20\t270.10\t2.00\t1.00\t2.00\t69.30\t1650.00\r\n"
         "#[#]\t[e/d]\t[#]\t[#]\t[#]\t[#]\t[#]\t[mApp]\t[Vpp]\t[mVpp]\t-\t-\t-\t[ohm m]\t[ohm]\r\n");
}

// Value formats as the format editor writes them and as the axis and series
// pages list them, in English (locale 0) and in German (locale 1, decimal
// comma); the four leading bytes pick the locale and a choice of controls.
void ValueFormatSeeds()
{
    const auto Seed = [](const char* Name, int Locale, int Flags, int Decimals, int Fixed, const QString& Format) {
        QByteArray Bytes;
        Bytes.append(char(Locale)).append(char(Flags)).append(char(Decimals)).append(char(Fixed));
        Write("value_format", Name, Bytes + Format.toUtf8());
    };
    const TFormatSymbols English = TFormatSymbols::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    const TFormatSymbols German = TFormatSymbols::FromLocale(QLocale(QLocale::German, QLocale::Germany));
    Seed("grouped.txt", 0, 12, 2, 1, BuildNumberFormat({false, false, true, true, 2, 1}, English));
    Seed("percent_grouped.txt", 0, 5, 1, 1, BuildNumberFormat({true, false, true, true, 1, 1}, English));
    Seed("currency.txt", 0, 2, 20, 20, BuildNumberFormat({false, true, true, false, 3, 4}, English));
    Seed("german_grouping.txt", 1, 4, 0, 0, BuildNumberFormat({false, false, true, false, 0, 0}, German));
    Seed("german_euro.txt", 1, 15, 2, 5, BuildNumberFormat({false, true, true, true, 2, 5}, German));
    QStringList Listed;
    AddDefaultValueFormats(Listed);
    for (int i = 0; i < Listed.size(); ++i)
        Seed(("listed_" + std::to_string(i) + ".txt").c_str(), i % 2, i, i, i, Listed[i]);
    Seed("geographic.txt", 3, 0, 0, 0, GeographicFormatChoices().front());
}

// The function settings as the editors take them: a type with its options
// for each kind of option form, and a point and figure page's sizes.
void FunctionSettingsSeeds()
{
    Write("function_settings", "add_by_range.txt",
          "Function=Add\nSource=0 1 1 2 2.5 3 7 4 8 5\nCBStyle=Every range\nENum=3\nCBAlign=First\n");
    Write("function_settings", "average_by_points.txt",
          "Function=Average\nCBStyle=Every number of points\nENum=2\nCBAlign=Last\nCBNulls=0\n");
    Write("function_settings", "momentum.txt", "Function=Momentum\nENum=2\n");
    Write("function_settings", "moving_average.txt", "Function=Moving Average\nUpDown1=3\nCBStyle=Weighted\n");
    Write("function_settings", "custom.txt",
          "Function=y = f(x)\nEStart=-5\nEStep=0.5\nENum=40\nFormula=square\n");
    Write("function_settings", "point_figure.txt",
          "Prices=20 18 19 15 17 14 19 16 22 20 23 21\nEBoxSize=0.5\nEReversal=2\n");
}

// --- Texts typed into the editors ----------------------------------------------------------

// A locale byte (or selector) and text as the editors show it.
QByteArray ShownSeed(uint8_t Selector, const QString& Text)
{
    return QByteArray(1, char(Selector)) + Text.toUtf8();
}

void EditorTextSeeds()
{
    const double Values[] = {0.125, -0.001, 1234567.5, 2.5e-20, 1e300};
    for (int Locale = 0; Locale < LocaleCount; ++Locale)
        for (int i = 0; i < 5; ++i)
            Write("typed_number", qPrintable(QStringLiteral("%1_%2.txt").arg(LocaleOf(uint8_t(Locale)).name()).arg(i)),
                  ShownSeed(uint8_t(Locale), NumberText(Values[i], LocaleOf(uint8_t(Locale)))));

    // The texts of a value and a date-time cell as the grid shows them.
    {
        TChart Chart;
        auto* Series = new TPointSeries(&Chart);
        Chart.AddSeries(Series);
        Series->AddXY(1234567.125, 1);
        TChartGrid Grid;
        Grid.SetShowLabels(false);
        Grid.SetShowXValues(cgsYes);
        Grid.SetSeries(Series);
        const QLocale Before;
        for (int Locale = 0; Locale < 6; ++Locale) {
            QLocale::setDefault(LocaleOf(uint8_t(Locale)));
            const QString Name = LocaleOf(uint8_t(Locale)).name();
            Series->XValues()->SetDateTime(false);
            Series->XValues()->SetValue(0, 1234567.125);
            Write("grid_cell", qPrintable(Name + QStringLiteral("_value.txt")),
                  ShownSeed(uint8_t(Locale), Grid.GridModel().CellText(0, 0)));
            Series->XValues()->SetDateTime(true);
            const double Days[] = {45000.5 + 1.0 / 86400, -1.25, 0.75, 3e6};
            for (int i = 0; i < 4; ++i) {
                Series->XValues()->SetValue(0, Days[i]);
                Write("grid_cell", qPrintable(Name + QStringLiteral("_date_%1.txt").arg(i)),
                      ShownSeed(uint8_t(Locale | 16), Grid.GridModel().CellText(0, 0)));
            }
        }
        QLocale::setDefault(Before);
    }

    // The axis dialogs: a selector, the value they open with, the text they
    // show for it.
    const auto Dialog = [](const char* Name, int Locale, int Kind, double Value, const QString& Text) {
        QByteArray Bytes(1, char(Locale | Kind << 4));
        Bytes.append(reinterpret_cast<const char*>(&Value), sizeof Value);
        Write("axis_dialogs", Name, Bytes + Text.toUtf8());
    };
    Dialog("value_increment.bin", 1, 0, 0.5, NumberText(0.5, LocaleOf(1)));
    Dialog("value_increment_german.bin", 2, 0, 0.25, NumberText(0.25, LocaleOf(2)));
    Dialog("days_increment.bin", 1, 1, 1.5, IncrementCustomText(1.5));
    Dialog("time_increment.bin", 3, 1, 0.25, IncrementCustomText(0.25));
    Dialog("value_limit.bin", 5, 2, 12.5, NumberText(12.5, LocaleOf(5)));
    Dialog("date_limit.bin", 1, 3, 45000.5, DateText(45000.5) + QLatin1Char('\n') + TimeText(45000.5));
    Dialog("time_limit.bin", 4, 3, 0.75, QLatin1Char('\n') + TimeText(0.75));
}

// Electrode positions files in their column layouts, with and without a
// header, buried electrodes and a line on a map.
void ElectrodePositionsSeeds()
{
    Write("electrode_positions", "positions_buried.csv", "x,z,buried\n0,92.7,0\n1.1,92.1,1\n2.2,92.0,1\n3.1,92.6,0\n"
                                                          "4,92.7,0\n5,92.7,0\n6,92.8,0\n7,92.8,0\n");
    Write("electrode_positions", "positions_numbered.txt", "1 0 10\n2 1 10.5\n3 2 11\n4 3 11\n5 4 11.5\n6 5 12\n"
                                                           "7 6 12\n8 7 12.5\n");
    Write("electrode_positions", "positions_map.csv", "# Label; Easting; Northing; Elevation (m); Buried\n"
                                                      "E1;500;200;30;0\nE2;500.7;200.7;30;0\nE3;501.4;201.4;29;1\n"
                                                      "E4;502.1;202.1;30;0\nE5;502.8;202.8;30;0\nE6;503.5;203.5;30;0\n"
                                                      "E7;503.5;204.5;30;0\nE8;503.5;205.5;30;0\n");
}

} // namespace
} // namespace lp::fuzz

int main(int Argc, char** Argv)
{
    if (Argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    lp::fuzz::StartApplication();
    lp::fuzz::GFolder = QString::fromLocal8Bit(Argv[1]);
    try {
        lp::fuzz::SectionSeeds();
        lp::fuzz::PictureSeeds();
        lp::fuzz::MetafileSeeds();
        lp::fuzz::ChartSeeds();
        lp::fuzz::ChartFileSeeds();
        lp::fuzz::TextSeeds();
        lp::fuzz::CarotageSeeds();
        lp::fuzz::SettingsSeeds();
        lp::fuzz::WaveSeeds();
        lp::fuzz::DateTimeSeeds();
        lp::fuzz::PseudoSectionSeeds();
        lp::fuzz::SchemeSeeds();
        lp::fuzz::MeasuredDataSeeds();
        lp::fuzz::InstrumentSeeds();
        lp::fuzz::AresElectraSeeds();
        lp::fuzz::ElectrodePositionsSeeds();
        lp::fuzz::ValueFormatSeeds();
        lp::fuzz::FunctionSettingsSeeds();
        lp::fuzz::EditorTextSeeds();
    } catch (const lp::Exception& Error) {
        std::fprintf(stderr, "fuzz_seeds: %s\n", Error.Message().c_str());
        return 1;
    }
    std::printf("fuzz_seeds: seeds written to %s\n", Argv[1]);
    return 0;
}
