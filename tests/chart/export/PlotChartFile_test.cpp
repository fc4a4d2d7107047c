#include "chart/export/PlotChartFile.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotFunctions.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotTools.h"
#include "chart/extensions/circular/PlotGaugeSeries.h"
#include "chart/extensions/circular/PlotRoseSeries.h"
#include "chart/extensions/financial/PlotPointFigure.h"
#include "chart/extensions/functions/PlotCurveFitting.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"
#include "chart/extensions/points3d/PlotPoint3DSeries.h"
#include "chart/extensions/stats/PlotBoxPlot.h"
#include "chart/extensions/stats/PlotIndicatorFunctions.h"
#include "chart/extensions/tools/PlotColorLineTool.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/RecordingDC.h"
#include "ExportTestUtil.h"
#include "RoundTripSettings.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QScopeGuard>
#include <QtCore/QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace lp {
namespace {

// A chart with two line series holding points and a picture tool on the
// second one.
void FillChart(TChart& Chart)
{
    Chart.SetBounds(0, 0, 320, 240);
    Chart.SetBufferedDisplay(false);
    Chart.SetView3D(false);
    for (int S = 0; S < 2; ++S) {
        TChartSeries* Series = CreateNewSeries(nullptr, &Chart, &TLineSeries::staticMetaObject);
        Series->SetTitle(QStringLiteral("Well %1").arg(S));
        for (int I = 0; I < 5; ++I)
            Series->AddXY(I, I * (S + 1));
    }
    auto* Tool = new TChartImageTool(&Chart);
    Tool->SetParentComponent(&Chart);
    Tool->SetSeries(Chart.Series(1));
}

QByteArray Save(TCustomChart& Chart, bool IncludeData = true, bool Text = false)
{
    QBuffer Out;
    Out.open(QIODevice::WriteOnly);
    SaveChartToStream(&Chart, Out, IncludeData, Text);
    return Out.data();
}

void Load(TCustomChart& Chart, const QByteArray& Bytes, bool ReadData = true,
          const TChartReader::TErrorEvent& OnError = {})
{
    QBuffer In;
    In.setData(Bytes);
    In.open(QIODevice::ReadOnly);
    TCustomChart* Target = &Chart;
    LoadChartFromStreamEx(Target, In, ReadData, OnError);
    EXPECT_EQ(Target, &Chart);
}

// The text form of what the chart saves, for comparing charts.
QByteArray TextOf(TCustomChart& Chart)
{
    return Save(Chart, true, true);
}

QString LoadError(const QByteArray& Bytes)
{
    TChart Chart;
    try {
        Load(Chart, Bytes);
    } catch (const Exception& E) {
        return QString::fromUtf8(E.Message());
    }
    return QString();
}

TEST(ChartFile, HeaderWordsAndStreamTests)
{
    TChart Chart;
    FillChart(Chart);
    const QByteArray Bytes = Save(Chart);
    EXPECT_EQ(Bytes.left(4), QByteArray("\x60\x30\x57\x01", 4));
    EXPECT_EQ(Bytes.mid(4, 4), QByteArray("TPF0"));
    QBuffer In;
    In.setData(Bytes);
    In.open(QIODevice::ReadOnly);
    EXPECT_TRUE(IsChartStream(In));
    EXPECT_TRUE(IsBinaryChartStream(In));
    EXPECT_EQ(In.pos(), 0);
    std::array<quint16, 2> Header{};
    ReadChartHeader(In, Header);
    EXPECT_EQ(Header[0], ChartFileMark);
    EXPECT_EQ(Header[1], ChartFileVersion);

    for (const char* Text : {"object", "OBJECT", "o"}) {
        QBuffer T;
        T.setData(QByteArray(Text));
        T.open(QIODevice::ReadOnly);
        EXPECT_TRUE(IsChartStream(T)) << Text;
        EXPECT_FALSE(IsBinaryChartStream(T)) << Text;
    }
    QBuffer Short;
    Short.setData(QByteArray("\x60", 1));
    Short.open(QIODevice::ReadOnly);
    EXPECT_FALSE(IsChartStream(Short));
    std::array<quint16, 2> Partial{};
    ReadChartHeader(Short, Partial);
    EXPECT_EQ(Partial[0], 0x60);
}

TEST(ChartFile, SavingWritesAnEmptyRootNameUnlessDesigning)
{
    TChart Chart;
    FillChart(Chart);
    Chart.SetName(QStringLiteral("Chart1"));
    EXPECT_TRUE(TextOf(Chart).startsWith("object TChart\r\n"));
    EXPECT_EQ(Chart.Name(), QStringLiteral("Chart1"));
    Chart.SetDesigning(true, false);
    EXPECT_TRUE(TextOf(Chart).startsWith("object Chart1: TChart\r\n"));
    for (int I = 0; I < Chart.SeriesCount(); ++I) {
        EXPECT_FALSE(Chart.Series(I)->SaveData());
        EXPECT_FALSE(Chart.Series(I)->SkipData());
    }
}

// A device that takes the first Limit bytes and refuses the rest.
class TFullDevice : public QIODevice {
public:
    explicit TFullDevice(qint64 Limit) : FLimit(Limit) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 Size) override
    {
        if (FWritten + Size > FLimit)
            return -1;
        FWritten += Size;
        return Size;
    }

private:
    qint64 FLimit;
    qint64 FWritten = 0;
};

// A save that failed half-way used to leave the chart without its name.
TEST(ChartFile, AFailedSaveKeepsTheNameAndClearsTheDataFlags)
{
    TChart Chart;
    FillChart(Chart);
    Chart.SetName(QStringLiteral("Chart1"));
    TFullDevice Full(12);
    EXPECT_THROW(SaveChartToStream(&Chart, Full), EWriteError);
    EXPECT_EQ(Chart.Name(), QStringLiteral("Chart1"));
    EXPECT_FALSE(Chart.Series(0)->SaveData());
}

TEST(ChartFile, BinaryAndTextFilesLoadTheSameChart)
{
    TChart Original;
    FillChart(Original);
    const QByteArray Text = TextOf(Original);
    EXPECT_TRUE(Text.startsWith("object "));
    EXPECT_TRUE(Text.contains("Data = {"));

    TChart FromBinary;
    Load(FromBinary, Save(Original));
    EXPECT_EQ(FromBinary.SeriesCount(), 2);
    ASSERT_EQ(FromBinary.Tools().Count(), 1);
    EXPECT_EQ(qobject_cast<TChartImageTool*>(FromBinary.Tools()[0])->Series(), FromBinary.Series(1));
    EXPECT_EQ(FromBinary.Series(1)->Count(), 5);
    EXPECT_EQ(TextOf(FromBinary), Text);

    TChart FromText;
    Load(FromText, Text);
    EXPECT_EQ(TextOf(FromText), Text);
    QByteArray Upper = Text;
    Upper.replace(0, 6, "OBJECT");
    TChart FromUpper;
    Load(FromUpper, Upper);
    EXPECT_EQ(TextOf(FromUpper), Text);

    // Loading replaces what the chart held.
    Load(FromText, Save(Original, false));
    EXPECT_EQ(FromText.SeriesCount(), 2);
    EXPECT_EQ(FromText.Tools().Count(), 1);
    EXPECT_EQ(FromText.Series(0)->Count(), 0);
}

// A map series with two polygons, made through the polygon interface (so
// its points were not marked as entered by hand): a triangle and an open
// quadrilateral, each with Z, text and the second with a colour of its own.
void FillMapChart(TChart& Chart)
{
    Chart.SetBounds(0, 0, 320, 240);
    Chart.SetBufferedDisplay(false);
    Chart.SetView3D(false);
    auto* Map = qobject_cast<TMapSeries*>(CreateNewSeries(nullptr, &Chart, &TMapSeries::staticMetaObject));
    ASSERT_NE(Map, nullptr);
    TPlotPolygon* Triangle = Map->Shapes()->Add();
    for (const auto& [X, Y] : std::vector<std::pair<double, double>>{{0, 0}, {4, 0.5}, {2, 3.25}})
        Triangle->AddXY(X, Y);
    Triangle->SetZ(1.5);
    Triangle->SetText(QStringLiteral("Basalt"));
    TPlotPolygon* Open = Map->Shapes()->Add();
    for (const auto& [X, Y] : std::vector<std::pair<double, double>>{{5, 1}, {9, 1}, {9, 6}, {5, 6.5}})
        Open->AddXY(X, Y);
    Open->SetZ(7);
    Open->SetText(QStringLiteral("Shale"));
    Open->SetColor(clRed);
    Open->SetClosed(false);
}

// Regression: with the series data included, a map series came back with
// its polygons' Z and texts but empty outlines, in both file forms.
TEST(ChartFile, AMapSeriesKeepsItsPolygonOutlinesInBothForms)
{
    TChart Original;
    FillMapChart(Original);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    const auto* From = qobject_cast<TMapSeries*>(Original.Series(0));
    for (const bool Text : {false, true}) {
        SCOPED_TRACE(Text ? "text" : "binary");
        const QByteArray Bytes = Save(Original, true, Text);
        EXPECT_GT(Bytes.size(), Save(Original, false, Text).size());
        TChart Loaded;
        Load(Loaded, Bytes);
        ASSERT_EQ(Loaded.SeriesCount(), 1);
        const auto* Map = qobject_cast<TMapSeries*>(Loaded.Series(0));
        ASSERT_NE(Map, nullptr);
        ASSERT_EQ(Map->Shapes()->Count(), 2);
        EXPECT_EQ(Map->Count(), 2);
        EXPECT_TRUE(Map->ManualData());
        for (int I = 0; I < 2; ++I) {
            const TPlotPolygon* A = From->Polygon(I);
            const TPlotPolygon* B = Map->Polygon(I);
            EXPECT_EQ(B->Z(), A->Z());
            EXPECT_EQ(B->Text(), A->Text());
            EXPECT_EQ(B->Closed(), A->Closed());
            ASSERT_EQ(B->Points()->Count(), A->Points()->Count()) << I;
            for (int P = 0; P < A->Points()->Count(); ++P) {
                EXPECT_EQ(B->Points()->XValues()->Value(P), A->Points()->XValues()->Value(P));
                EXPECT_EQ(B->Points()->YValues()->Value(P), A->Points()->YValues()->Value(P));
            }
        }
        EXPECT_EQ(Map->Polygon(0)->Points()->Count(), 3);
        EXPECT_EQ(Map->Polygon(1)->Points()->Count(), 4);
        EXPECT_EQ(Map->GetStoredValueColor(1), clRed);
        EXPECT_EQ(Map->GetStoredValueColor(0), clPlotColor);
        // Saved again, the loaded chart gives the same file, and it draws
        // the same picture.
        EXPECT_EQ(Save(Loaded, true, Text), Bytes);
        Loaded.SetBounds(0, 0, 320, 240);
        Loaded.SetBufferedDisplay(false);
        EXPECT_EQ(Loaded.CreateBitmap(clWhite, Loaded.GetRectangle())->ToImage(),
                  Original.CreateBitmap(clWhite, Original.GetRectangle())->ToImage());
    }
}

TEST(ChartFile, AMapSeriesSavedWithoutDataKeepsItsPolygonsButNoOutlines)
{
    TChart Original;
    FillMapChart(Original);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    qobject_cast<TMapSeries*>(Original.Series(0))->SetManualData(true);
    for (const bool Text : {false, true}) {
        SCOPED_TRACE(Text ? "text" : "binary");
        TChart Loaded;
        Load(Loaded, Save(Original, false, Text));
        const auto* Map = qobject_cast<TMapSeries*>(Loaded.Series(0));
        ASSERT_NE(Map, nullptr);
        ASSERT_EQ(Map->Shapes()->Count(), 2);
        EXPECT_EQ(Map->Polygon(1)->Text(), QStringLiteral("Shale"));
        EXPECT_EQ(Map->Polygon(0)->Points()->Count(), 0);
        EXPECT_EQ(Map->Polygon(1)->Points()->Count(), 0);
        EXPECT_FALSE(Map->ManualData());
    }
    // Saving leaves the series' marks as they were.
    EXPECT_TRUE(Original.Series(0)->ManualData());
    EXPECT_FALSE(Original.Series(0)->SkipData());
    EXPECT_FALSE(Original.Series(0)->SaveData());
}

TEST(ChartFile, ConvertersGoEitherWayAndRefuseOtherStreams)
{
    TChart Chart;
    FillChart(Chart);
    const QByteArray Binary = Save(Chart);
    const QByteArray Text = Save(Chart, true, true);
    auto Convert = [](void (*Converter)(QIODevice&, QIODevice&), const QByteArray& Bytes) {
        QBuffer In, Out;
        In.setData(Bytes);
        In.open(QIODevice::ReadOnly);
        Out.open(QIODevice::WriteOnly);
        Converter(In, Out);
        return Out.data();
    };
    EXPECT_EQ(Convert(ConvertChartToText, Binary), Text);
    EXPECT_EQ(Convert(ConvertChartToText, Text), Text);
    EXPECT_EQ(Convert(ConvertChartToBinary, Text), Binary);
    EXPECT_EQ(Convert(ConvertChartToBinary, Binary), Binary);
    for (auto* Converter : {ConvertChartToText, ConvertChartToBinary}) {
        try {
            Convert(Converter, "inherited Chart1: TChart\r\nend\r\n");
            ADD_FAILURE() << "not refused";
        } catch (const ChartException& E) {
            EXPECT_EQ(QString::fromUtf8(E.Message()), PlotMsg_WrongChartFileFormat);
        }
    }
}

TEST(ChartFile, EdgeCasesOfTheHeaderAndTheMessages)
{
    EXPECT_EQ(LoadError(QByteArray()), QStringLiteral("Empty *.vud file"));
    EXPECT_EQ(LoadError("inherited X: TChart\r\nend\r\n"), QStringLiteral("Wrong *.vud file format"));
    EXPECT_EQ(LoadError("PK\x03\x04"), QStringLiteral("Wrong *.vud file format"));

    TChart Chart;
    FillChart(Chart);
    QByteArray OtherVersion = Save(Chart);
    OtherVersion[2] = 0x12;
    OtherVersion[3] = 0x00;
    TChart Loaded;
    Load(Loaded, OtherVersion);
    EXPECT_EQ(Loaded.SeriesCount(), 2);

    TCustomChart* None = nullptr;
    QBuffer In;
    In.setData(Save(Chart));
    In.open(QIODevice::ReadOnly);
    try {
        LoadChartFromStream(None, In);
        ADD_FAILURE() << "no chart accepted";
    } catch (const ChartException& E) {
        EXPECT_EQ(QString::fromUtf8(E.Message()), QStringLiteral("Invalid Chart in *.vud file"));
    }
}

TEST(ChartFile, RootNameOnlySticksToAnUnnamedChart)
{
    TChart Source;
    FillChart(Source);
    Source.SetName(QStringLiteral("Stored"));
    Source.SetDesigning(true, false);
    const QByteArray Bytes = Save(Source);

    TChart Named;
    Named.SetName(QStringLiteral("Mine"));
    Load(Named, Bytes);
    EXPECT_EQ(Named.Name(), QStringLiteral("Mine"));
    TChart Unnamed;
    Load(Unnamed, Bytes);
    EXPECT_EQ(Unnamed.Name(), QStringLiteral("Stored"));
}

TEST(ChartFile, PointBlocksAfterTheComponentAreReadPerSeries)
{
    TChart Source;
    FillChart(Source);
    QByteArray Bytes = Save(Source, false);
    TChart Plain;
    Load(Plain, Bytes);
    EXPECT_EQ(Plain.Series(0)->Count(), 0);

    for (int S = 0; S < Source.SeriesCount(); ++S) {
        QBuffer Block;
        Block.open(QIODevice::WriteOnly);
        Source.Series(S)->WriteData(Block);
        Bytes += Block.data();
    }
    TChart WithBlocks;
    Load(WithBlocks, Bytes);
    EXPECT_EQ(WithBlocks.Series(0)->Count(), 5);
    EXPECT_EQ(WithBlocks.Series(1)->YValues()->Value(4), 8);
    TChart WithoutReading;
    Load(WithoutReading, Bytes, false);
    EXPECT_EQ(WithoutReading.Series(1)->Count(), 0);
}

TEST(ChartFile, SaveToFileAddsTheExtensionOnlyWhenThereIsNone)
{
    QTemporaryDir Dir;
    TChart Chart;
    FillChart(Chart);
    SaveChartToFile(&Chart, Dir.filePath(QStringLiteral("section")));
    EXPECT_TRUE(QFile::exists(Dir.filePath(QStringLiteral("section.vud"))));
    SaveChartToFile(&Chart, Dir.filePath(QStringLiteral("section.txt")), true, true);
    QFile Text(Dir.filePath(QStringLiteral("section.txt")));
    ASSERT_TRUE(Text.open(QIODevice::ReadOnly));
    EXPECT_TRUE(Text.readAll().startsWith("object TChart"));
    EXPECT_FALSE(QFile::exists(Dir.filePath(QStringLiteral("section.txt.vud"))));
}

TEST(ChartFile, ErrorCallbackDecidesAboutUnreadableProperties)
{
    const QByteArray Text = "object TChart\r\n  NoSuchThing = 1\r\n  View3D = False\r\nend\r\n";
    QStringList Seen;
    TChart Chart;
    Load(Chart, Text, true, [&](const QString& Message) {
        Seen << Message;
        return true;
    });
    EXPECT_EQ(Seen.size(), 1);
    EXPECT_FALSE(Chart.View3D());

    TChart Silent;
    Load(Silent, Text);
    EXPECT_FALSE(Silent.View3D());

    // Handler names never fail a load, whatever the callback says.
    TChart WithHandlers;
    Load(WithHandlers, "object TChart\r\n  OnClick = Form1ChartClick\r\nend\r\n", true,
         [](const QString&) { return false; });

    TChart Strict;
    FillChart(Strict);
    EXPECT_THROW(Load(Strict, Text, true, [](const QString&) { return false; }), EFilerError);
    // A failed load leaves the chart empty, usable and repainting.
    EXPECT_EQ(Strict.SeriesCount(), 0);
    EXPECT_EQ(Strict.Tools().Count(), 0);
    EXPECT_TRUE(Strict.RepaintEnabled());
    EXPECT_FALSE(Strict.IsLoading());
    EXPECT_FALSE(Strict.CreateBitmap(clWhite, Strict.GetRectangle())->ToImage().isNull());
}

// A file naming a series or tool class the program does not know used to
// load without it and without a word, as an unknown property does.
TEST(ChartFile, AChildOfAnUnknownClassIsReportedByItsClassName)
{
    TChart Original;
    FillChart(Original);
    QByteArray Text = TextOf(Original);
    ASSERT_TRUE(Text.contains(": TChartImageTool\r\n"));
    Text.replace(": TChartImageTool\r\n", ": TNoSuchTool\r\n");
    const QString Expected = QStringLiteral("Error reading TNoSuchTool: Class TNoSuchTool not found");

    // Without a callback the load fails with that message, in both forms.
    EXPECT_EQ(LoadError(Text), Expected);
    EXPECT_EQ(LoadError(test::ConvertChart(Text, ConvertChartToBinary)), Expected);
    TChart Failed;
    FillChart(Failed);
    EXPECT_THROW(Load(Failed, Text), EFilerError);
    EXPECT_EQ(Failed.SeriesCount(), 0);
    EXPECT_EQ(Failed.Tools().Count(), 0);

    // A callback hears it and decides: skipped, the rest is read.
    QStringList Seen;
    TChart Skipping;
    Load(Skipping, Text, true, [&](const QString& Message) {
        Seen << Message;
        return true;
    });
    EXPECT_EQ(Seen, QStringList{Expected});
    EXPECT_EQ(Skipping.SeriesCount(), 2);
    EXPECT_EQ(Skipping.Series(1)->Count(), 5);
    EXPECT_EQ(Skipping.Tools().Count(), 0);
}

// Mutated chart files, binary and text, must fail with an error or load; the
// chart stays usable either way.
TEST(ChartFile, APointFigureBoxOfAFileDrawsAtMostASymbolPerPixel)
{
    // Regression: this 220-byte chart file (prices 0 .. 30, a box size of
    // 1e-9) made every paint draw about 3e10 symbols: the program hung.
    const QByteArray File = "object TChart\n object S: TPointFigureSeries\n  BoxSize = 1e-9\n  Data = {"
                            "00020000000000000000003E400000000000003E4000000000000000000000000000000000"
                            "00000000000000000000000000003E4000000000000000000000000000003E40}\n end\nend\n";
    TChart Chart;
    Chart.SetBounds(0, 0, 320, 240);
    Chart.SetBufferedDisplay(false);
    Load(Chart, File);
    ASSERT_EQ(Chart.SeriesCount(), 1);
    auto* Series = qobject_cast<TPointFigureSeries*>(Chart.Series(0));
    ASSERT_NE(Series, nullptr);
    EXPECT_DOUBLE_EQ(Series->BoxSize(), 1e-9);
    TRecordingDC DC{320, 240};
    TCanvas Target{&DC};
    Chart.DrawToCanvas(&Target, Chart.GetRectangle());
    const qsizetype Circles = DC.CallsStartingWith(QStringLiteral("Ellipse(")).size();
    EXPECT_GT(Circles, 0);
    EXPECT_LE(Circles, Series->GetVertAxis()->AxisPixelSize() + 2);
}

// Series and tools made in code without names, as the mesh and
// pseudo-section charts make theirs: two point series, a colour line on
// the left axis and a picture tool on the second series.
void FillNamelessChart(TChart& Chart)
{
    Chart.SetBounds(0, 0, 320, 240);
    Chart.SetBufferedDisplay(false);
    for (int S = 0; S < 2; ++S) {
        auto* Series = new TPointSeries(&Chart);
        Series->SetParentChart(&Chart);
        Series->SetTitle(QStringLiteral("Unnamed %1").arg(S));
        for (int I = 0; I < 4; ++I)
            Series->AddXY(I, 10 * (S + 1) + I);
    }
    auto* Line = new TColorLineTool(&Chart);
    Chart.Tools().Add(Line);
    Line->SetAxis(Chart.LeftAxis());
    Line->SetValue(12);
    auto* Picture = new TChartImageTool(&Chart);
    Chart.Tools().Add(Picture);
    Picture->SetSeries(Chart.Series(1));
}

TEST(ChartFile, SeriesAndToolsWithoutNamesReadBack)
{
    TChart Original;
    FillNamelessChart(Original);
    for (bool Text : {false, true}) {
        TChart Read;
        Load(Read, Save(Original, true, Text));
        ASSERT_EQ(Read.SeriesCount(), 2) << Text;
        EXPECT_EQ(Read.Series(1)->Title(), QStringLiteral("Unnamed 1")) << Text;
        ASSERT_EQ(Read.Series(1)->Count(), 4) << Text;
        EXPECT_EQ(Read.Series(1)->YValues()->Value(3), 23) << Text;
        ASSERT_EQ(Read.Tools().Count(), 2) << Text;
        auto* Line = qobject_cast<TColorLineTool*>(Read.Tools()[0]);
        ASSERT_NE(Line, nullptr) << Text;
        EXPECT_EQ(Line->Value(), 12) << Text;
        auto* Picture = qobject_cast<TChartImageTool*>(Read.Tools()[1]);
        ASSERT_NE(Picture, nullptr) << Text;
        EXPECT_EQ(Picture->Series(), Read.Series(1)) << Text;
        // The reopened chart saves as the original did, and saving left the
        // original's series and tools without names.
        EXPECT_EQ(TextOf(Read), TextOf(Original)) << Text;
        for (int I = 0; I < 2; ++I) {
            EXPECT_TRUE(Original.Series(I)->Name().isEmpty()) << Text;
            EXPECT_TRUE(Original.Tools()[I]->Name().isEmpty()) << Text;
        }
    }
    // Stream names never take a name the chart or its owner holds already.
    TComponent Form;
    auto* Owned = new TChart(&Form);
    auto* Named = new TPointSeries(&Form);
    Named->SetName(QStringLiteral("Series1"));
    Named->SetParentChart(Owned);
    auto* Nameless = new TPointSeries(&Form);
    Nameless->SetParentChart(Owned);
    (new TPointSeries(&Form))->SetName(QStringLiteral("Series2"));
    const QByteArray OwnedText = TextOf(*Owned);
    EXPECT_TRUE(OwnedText.contains("object Series1: TPointSeries")) << OwnedText.constData();
    EXPECT_TRUE(OwnedText.contains("object Series3: TPointSeries")) << OwnedText.constData();
    EXPECT_TRUE(Nameless->Name().isEmpty());
    TChart ReadOwned;
    Load(ReadOwned, OwnedText);
    EXPECT_EQ(ReadOwned.SeriesCount(), 2);
}

TEST(ChartFile, NamelessSeriesAndToolsOfEarlierFilesRead)
{
    const QByteArray File = "object TChart\n object TPointSeries\n  Title = 'A'\n end\n"
                            " object TPointSeries\n  Title = 'B'\n end\n"
                            " object TColorLineTool\n  Value = 7\n end\nend\n";
    for (const QByteArray& Bytes : {File, test::ConvertChart(File, ConvertChartToBinary)}) {
        TChart Read;
        Load(Read, Bytes);
        ASSERT_EQ(Read.SeriesCount(), 2);
        EXPECT_EQ(Read.Series(1)->Title(), QStringLiteral("B"));
        ASSERT_EQ(Read.Tools().Count(), 1);
        EXPECT_EQ(qobject_cast<TColorLineTool*>(Read.Tools()[0])->Value(), 7);
    }
}

TEST(ChartFile, SavingAnEmptiedGaugeLeavesItEmpty)
{
    TChart Original;
    Original.SetBounds(0, 0, 320, 240);
    auto* Gauge = new TGaugeSeries(&Original);
    Gauge->SetName(QStringLiteral("Gauge1"));
    Gauge->SetParentChart(&Original);
    Gauge->Clear();
    ASSERT_EQ(Gauge->Count(), 0);
    for (bool Text : {false, true}) {
        const QByteArray File = Save(Original, true, Text);
        EXPECT_EQ(Gauge->Count(), 0) << Text;
        TChart Read;
        Load(Read, File);
        ASSERT_EQ(Read.SeriesCount(), 1) << Text;
        EXPECT_EQ(Read.Series(0)->Count(), 0) << Text;
        EXPECT_EQ(qobject_cast<TGaugeSeries*>(Read.Series(0))->Value(), 0) << Text;
    }
    // A gauge with a value writes it and reads it back.
    Gauge->SetValue(70);
    TChart Read;
    Load(Read, Save(Original, false, true));
    EXPECT_EQ(qobject_cast<TGaugeSeries*>(Read.Series(0))->Value(), 70);
}

TEST(ChartFile, RoundSeriesReadIntoAChartLeaveItsSettingsAsSaved)
{
    // A gauge turns 3-D, walls and frame off as it joins a chart, and a
    // clock hides the axes; the user turned them on again afterwards.
    TChart Original;
    auto* Gauge = new TGaugeSeries(&Original);
    Gauge->SetName(QStringLiteral("Gauge1"));
    Gauge->SetParentChart(&Original);
    auto* Clock = new TClockSeries(&Original);
    Clock->SetName(QStringLiteral("Clock1"));
    Clock->SetParentChart(&Original);
    ASSERT_FALSE(Original.View3D());
    ASSERT_FALSE(Original.AxisVisible());
    Original.SetView3D(true);
    Original.SetView3DWalls(true);
    Original.Frame()->SetVisible(true);
    Original.SetAxisVisible(true);
    // The gauge sets its axis' ticks as it joins; the user set them again.
    Original.LeftAxis()->SetTickLength(3);
    Original.LeftAxis()->SetMinorTickLength(1);
    for (bool Text : {false, true}) {
        TChart Read;
        Load(Read, Save(Original, true, Text));
        ASSERT_EQ(Read.SeriesCount(), 2) << Text;
        EXPECT_EQ(Read.LeftAxis()->TickLength(), 3) << Text;
        EXPECT_EQ(Read.LeftAxis()->MinorTickLength(), 1) << Text;
        EXPECT_TRUE(Read.View3D()) << Text;
        EXPECT_TRUE(Read.View3DWalls()) << Text;
        EXPECT_TRUE(Read.Frame()->Visible()) << Text;
        EXPECT_TRUE(Read.AxisVisible()) << Text;
        EXPECT_EQ(TextOf(Read), TextOf(Original)) << Text;
    }
}

TEST(ChartFile, SubObjectsSetToTheirClassDefaultReadBackAsSet)
{
    // A box series starts its median pen dotted and its outliers as stars
    // and circles; a gauge starts its centre as a circle. The user sets
    // them to the pen's and pointer's class defaults.
    TChart Original;
    auto* Box = new TBoxSeries(&Original);
    Box->SetName(QStringLiteral("Box1"));
    Box->SetParentChart(&Original);
    Box->AddSampleValues(10);
    auto* Gauge = new TGaugeSeries(&Original);
    Gauge->SetName(QStringLiteral("Gauge1"));
    Gauge->SetParentChart(&Original);
    ASSERT_EQ(Box->MedianPen()->Style(), TPen::psDot);
    ASSERT_EQ(Gauge->Center()->Style(), psCircle);
    Box->MedianPen()->SetStyle(TPen::psSolid);
    Box->MildOut()->SetStyle(psRectangle);
    Gauge->Center()->SetStyle(psRectangle);
    for (bool Text : {false, true}) {
        TChart Read;
        Load(Read, Save(Original, true, Text));
        ASSERT_EQ(Read.SeriesCount(), 2) << Text;
        const auto* ReadBox = qobject_cast<TBoxSeries*>(Read.Series(0));
        const auto* ReadGauge = qobject_cast<TGaugeSeries*>(Read.Series(1));
        ASSERT_TRUE(ReadBox && ReadGauge) << Text;
        EXPECT_EQ(ReadBox->MedianPen()->Style(), TPen::psSolid) << Text;
        EXPECT_EQ(ReadBox->MildOut()->Style(), psRectangle) << Text;
        EXPECT_EQ(ReadBox->ExtrOut()->Style(), psStar) << Text;
        EXPECT_EQ(ReadGauge->Center()->Style(), psRectangle) << Text;
        EXPECT_EQ(TextOf(Read), TextOf(Original)) << Text;
    }
}

TEST(ChartFile, SubObjectsLeftAtTheirStartAreNotWrittenAndReadBackAsStarted)
{
    TChart Original;
    auto* Box = new TBoxSeries(&Original);
    Box->SetName(QStringLiteral("Box1"));
    Box->SetParentChart(&Original);
    const QByteArray Text = TextOf(Original);
    EXPECT_FALSE(Text.contains("MedianPen.Style")) << Text.toStdString();
    // A file that wrote the start explicitly, as earlier files did, reads too.
    QByteArray Earlier = Text;
    Earlier.replace("object Box1: TBoxSeries\r\n", "object Box1: TBoxSeries\r\n    MedianPen.Style = psDot\r\n");
    ASSERT_NE(Earlier, Text);
    for (const QByteArray& File : {Save(Original, true, false), Text, Earlier}) {
        TChart Read;
        Load(Read, File);
        ASSERT_EQ(Read.SeriesCount(), 1);
        EXPECT_EQ(qobject_cast<TBoxSeries*>(Read.Series(0))->MedianPen()->Style(), TPen::psDot);
    }
}

// Paints Chart once on a recording device.
void PaintChartOnce(TChart& Chart)
{
    TRecordingDC DC{320, 240};
    TCanvas Target{&DC};
    Chart.DrawToCanvas(&Target, Chart.GetRectangle());
}

TEST(ChartFile, AColourLineKeepsItsValueThroughAPaintOfTheReopenedChart)
{
    // The open chart's points reach 0 .. 100 on the left axis; saved without
    // them, the reopened chart's axis shows another range at its first paint.
    TChart Original;
    Original.SetBounds(0, 0, 320, 240);
    Original.SetBufferedDisplay(false);
    auto* Series = new TLineSeries(&Original);
    Series->SetName(QStringLiteral("Line1"));
    Series->SetParentChart(&Original);
    for (int I = 0; I <= 10; ++I)
        Series->AddXY(I, 10 * I);
    auto* Line = new TColorLineTool(&Original);
    Line->SetName(QStringLiteral("ColorLine1"));
    Original.Tools().Add(Line);
    Line->SetAxis(Original.LeftAxis());
    Line->SetValue(50);
    PaintChartOnce(Original);
    ASSERT_EQ(Line->Value(), 50);
    for (bool Text : {false, true}) {
        TChart Read;
        Read.SetBounds(0, 0, 320, 240);
        Read.SetBufferedDisplay(false);
        Load(Read, Save(Original, false, Text));
        ASSERT_EQ(Read.Tools().Count(), 1) << Text;
        auto* ReadLine = qobject_cast<TColorLineTool*>(Read.Tools()[0]);
        ASSERT_NE(ReadLine, nullptr) << Text;
        EXPECT_EQ(ReadLine->Value(), 50) << Text;
        PaintChartOnce(Read);
        EXPECT_LT(Read.LeftAxis()->Maximum(), 50) << Text;
        EXPECT_EQ(ReadLine->Value(), 50) << Text;
    }
}

TEST(ChartFile, MutatedFilesNeverCrashTheLoader)
{
    TChart Source;
    FillChart(Source);
    const QByteArray Seeds[] = {Save(Source), Save(Source, true, true)};
    std::mt19937 Random(2029);
    int Loaded = 0;
    for (int Case = 0; Case < 4000; ++Case) {
        QByteArray Bytes = Seeds[Case % 2];
        const int Edits = 1 + static_cast<int>(Random() % 6);
        for (int E = 0; E < Edits && !Bytes.isEmpty(); ++E) {
            const int At = static_cast<int>(Random() % static_cast<unsigned>(Bytes.size()));
            switch (Random() % 4) {
            case 0: Bytes[At] = static_cast<char>(Random()); break;
            case 1: Bytes.truncate(At); break;
            case 2: Bytes.insert(At, static_cast<char>(Random())); break;
            default: Bytes.remove(At, static_cast<int>(Random() % 16)); break;
            }
        }
        TChart Chart;
        Chart.SetBounds(0, 0, 80, 60);
        try {
            Load(Chart, Bytes);
            ++Loaded;
        } catch (const Exception&) {
            EXPECT_EQ(Chart.SeriesCount(), 0);
        }
        EXPECT_TRUE(Chart.RepaintEnabled());
        EXPECT_FALSE(Chart.IsLoading());
        if (Case % 200 == 0)
            Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    }
    EXPECT_GT(Loaded, 0);
}

// --- A chart that cannot calculate what it holds ---------------------------------------------------

// A 400 x 300 chart painted once, so that its axes have their sizes.
void PrepareUnreadableCalculationChart(TChart& Chart)
{
    Chart.SetBounds(0, 0, 400, 300);
    Chart.SetBufferedDisplay(false);
}

void PaintOnce(TChart& Chart)
{
    Chart.CreateBitmap(clWhite, Chart.GetRectangle());
}

TChartSeries* AddChartFileSeries(TChart& Chart, const QMetaObject& Class)
{
    return CreateNewSeries(nullptr, &Chart, &Class);
}

// Feeds Dependent from Source and from a second series of Source's class
// holding a copy of its points, so that the file names both sources
// ("DataSources").
void LinkTwoChartFileSources(TChartSeries& Dependent, TChartSeries& Source)
{
    TChart& Chart = *static_cast<TChart*>(Source.ParentChart());
    TChartSeries* Second = AddChartFileSeries(Chart, *Source.metaObject());
    Second->AssignValues(&Source);
    Dependent.SetDataSource(&Source);
    Dependent.DataSources().Add(Second);
}

// The (X, Y) points of Series, sorted: whether a file keeps the order of
// the points is a matter of its own.
std::vector<std::pair<double, double>> ChartFilePointsOf(TChartSeries& Series)
{
    std::vector<std::pair<double, double>> Points;
    for (int I = 0; I < Series.Count(); ++I)
        Points.emplace_back(Series.XValues()->Value(I), Series.YValues()->Value(I));
    std::sort(Points.begin(), Points.end());
    return Points;
}

// Saves Chart binary and text and reads each into a fresh chart: the file
// opens without an error, nothing is painted while it is read (the axes
// still have no size), and every series is there with its function and
// the points the saved chart showed.
void ExpectReopensAsSaved(TChart& Saved, const std::string& Example)
{
    for (const bool Text : {false, true}) {
        SCOPED_TRACE(Example + (Text ? ", text" : ", binary"));
        const QByteArray Bytes = Save(Saved, true, Text);
        TChart Reopened;
        Reopened.SetBounds(0, 0, 400, 300);
        QStringList Errors;
        try {
            Load(Reopened, Bytes, true, [&Errors](const QString& Message) {
                Errors << Message;
                return true;
            });
        } catch (const Exception& E) {
            ADD_FAILURE() << "the file does not reopen: " << E.Message();
            continue;
        }
        EXPECT_TRUE(Errors.isEmpty()) << Errors.join(u'\n').toStdString();
        EXPECT_EQ(Reopened.BottomAxis()->AxisPixelSize(), 0) << "painted while read";
        ASSERT_EQ(Reopened.SeriesCount(), Saved.SeriesCount());
        for (int I = 0; I < Saved.SeriesCount(); ++I) {
            TChartSeries* Was = Saved.Series(I);
            TChartSeries* Is = Reopened.Series(I);
            EXPECT_STREQ(Is->metaObject()->className(), Was->metaObject()->className());
            ASSERT_EQ(Is->SeriesFunction() != nullptr, Was->SeriesFunction() != nullptr) << I;
            if (Was->SeriesFunction()) {
                EXPECT_STREQ(Is->SeriesFunction()->metaObject()->className(),
                             Was->SeriesFunction()->metaObject()->className());
            }
            EXPECT_EQ(ChartFilePointsOf(*Is), ChartFilePointsOf(*Was)) << I;
        }
    }
}

// A hull of five points, calculated on the painted chart; then the points
// move to about 1e300, where the hull keeps the shape it had (a function
// of screen positions follows its source only when asked).
TChartSeries* AddPerimeterOfHugeValues(TChart& Chart)
{
    TChartSeries* Source = AddChartFileSeries(Chart, TPointSeries::staticMetaObject);
    for (auto [X, Y] : std::vector<std::pair<double, double>>{{1, 10}, {2, 90}, {3, 50}, {4, 10}, {5, 90}})
        Source->AddXY(X, Y);
    TChartSeries* Hull = AddChartFileSeries(Chart, TLineSeries::staticMetaObject);
    Hull->SetFunction(new TPerimeterFunction(&Chart));
    LinkTwoChartFileSources(*Hull, *Source);
    PaintOnce(Chart);
    Hull->SetChangeActions(TChartSeries::caDelete | TChartSeries::caAdd | TChartSeries::caClear);
    for (int I = 0; I < Source->Count(); ++I)
        Source->YValues()->SetValue(I, (I % 2 ? -4e299 : 4e299) * (I + 1));
    return Hull;
}

// Guards saved charts that did not reopen: reading a series recalculated
// its function, which painted (a perimeter) or failed on what it held
// ("Value ... is out of the integer range", "Invalid argument to date
// encode", "Cannot process fitting", "The grid of 10 by 1e+300 nodes is
// too large to index"), and the failure ended the read.
TEST(ChartFile, AChartWhoseSeriesCannotCalculateWhatTheyHoldReopensAsSaved)
{
    {
        TChart Chart;
        PrepareUnreadableCalculationChart(Chart);
        Chart.SetView3D(true);
        Chart.View3DOptions()->SetOrthogonal(false);
        Chart.View3DOptions()->SetRotation(330);
        Chart.View3DOptions()->SetElevation(340);
        AddPerimeterOfHugeValues(Chart);
        ExpectReopensAsSaved(Chart, "perimeter on a turned 3-D view");
    }
    {
        TChart Chart;
        PrepareUnreadableCalculationChart(Chart);
        Chart.SetView3D(false);
        TChartSeries* Hull = AddPerimeterOfHugeValues(Chart);
        Chart.Series(0)->YValues()->SetDateTime(true);
        Chart.LeftAxis()->SetDateTimeFormat(QStringLiteral("yyyy"));
        ASSERT_GT(Hull->Count(), 0);
        ExpectReopensAsSaved(Chart, "perimeter on a date-time axis");
    }
    {
        TChart Chart;
        PrepareUnreadableCalculationChart(Chart);
        Chart.SetView3D(false);
        TChartSeries* Source = AddChartFileSeries(Chart, TLineSeries::staticMetaObject);
        for (int I = 0; I < 6; ++I)
            Source->AddXY(I, I * I);
        const std::vector<TPlotFunction*> Functions{new TTrendFunction(&Chart), new TCurveFittingFunction(&Chart)};
        for (TPlotFunction* Function : Functions) {
            TChartSeries* Fit = AddChartFileSeries(Chart, TLineSeries::staticMetaObject);
            Fit->SetFunction(Function);
            LinkTwoChartFileSources(*Fit, *Source);
            ASSERT_GT(Fit->Count(), 0);
            Fit->SetChangeActions(TChartSeries::caDelete | TChartSeries::caAdd | TChartSeries::caClear);
        }
        // Every point at one X: no curve fits them.
        for (int I = 0; I < Source->Count(); ++I)
            Source->XValues()->SetValue(I, 2);
        ExpectReopensAsSaved(Chart, "fitting functions");
    }
    {
        TChart Chart;
        PrepareUnreadableCalculationChart(Chart);
        auto* Grid = static_cast<TSurfaceSeries*>(AddChartFileSeries(Chart, TSurfaceSeries::staticMetaObject));
        for (int X = 1; X <= 10; ++X)
            Grid->AddXYZ(X, X, 1);
        auto* Copy = static_cast<TSurfaceSeries*>(AddChartFileSeries(Chart, TSurfaceSeries::staticMetaObject));
        LinkTwoChartFileSources(*Copy, *Grid);
        ASSERT_EQ(Copy->Count(), 10);
        Copy->SetChangeActions(TChartSeries::caDelete | TChartSeries::caAdd | TChartSeries::caClear);
        Grid->ZValues()->SetValue(9, 1e300);
        ExpectReopensAsSaved(Chart, "grid of values spanning 1e300");
    }
}

// --- Axes ---------------------------------------------------------------------------------------

// Calls Visit(Object, Property, Path) for every plain published property of
// Object and of the objects below it (components referred to are left out),
// each object once.
using TAxisFileVisit = std::function<void(QObject*, const QMetaProperty&, const QString&)>;
void AxisFileWalk(QObject* Object, const QString& Prefix, const TAxisFileVisit& Visit, std::set<QObject*>& Seen)
{
    if (!Object || !Seen.insert(Object).second)
        return;
    for (const QMetaProperty& P : PublishedProperties(Object)) {
        const QString Path = Prefix + QString::fromLatin1(P.name());
        if (!(P.metaType().flags() & QMetaType::PointerToQObject)) {
            Visit(Object, P, Path);
            continue;
        }
        const QVariant Value = P.read(Object);
        QObject* Child = *static_cast<QObject* const*>(Value.constData());
        if (!qobject_cast<TComponent*>(Child))
            AxisFileWalk(Child, Path + QLatin1Char('.'), Visit, Seen);
    }
}

void AxisFileWalk(QObject* Object, const TAxisFileVisit& Visit)
{
    std::set<QObject*> Seen;
    AxisFileWalk(Object, QString(), Visit, Seen);
}

// "Path=value" lines of every published property of Axis and of the
// objects below it.
QStringList AxisFileDump(TChartAxis* Axis)
{
    QStringList Lines;
    AxisFileWalk(Axis, [&Lines](QObject* Object, const QMetaProperty& P, const QString& Path) {
        Lines << Path + QLatin1Char('=') + P.read(Object).toString();
    });
    return Lines;
}

// A value of P other than Old: the next enumeration value, another set,
// the other Boolean, a larger number or a longer text; invalid for other
// types.
QVariant AxisFileOtherValue(const QMetaProperty& P, const QVariant& Old)
{
    if (P.isEnumType()) {
        const QMetaEnum Enum = P.enumerator();
        const int Value = Old.toInt();
        if (Enum.isFlag())
            return QVariant(Value ^ Enum.value(0));
        for (int I = 0; I < Enum.keyCount(); ++I)
            if (Enum.value(I) == Value)
                return QVariant(Enum.value((I + 1) % Enum.keyCount()));
        return QVariant(Enum.value(0));
    }
    switch (Old.metaType().id()) {
    case QMetaType::Bool:
        return QVariant(!Old.toBool());
    case QMetaType::Int:
        return QVariant(Old.toInt() + 3);
    case QMetaType::Double:
        return QVariant(Old.toDouble() + 7.25);
    case QMetaType::QString:
        return QVariant(Old.toString() + QStringLiteral("q"));
    default:
        return {};
    }
}

// What setting every property of an axis away from its value did: how many
// were changed and stored, and the paths of those the class does not store
// for this axis (put back, and left out of comparisons).
struct TAxisFileChanges {
    int Stored = 0;
    QStringList Unstored;
};

// Sets P of Object away from its present value where the class stores the
// new value (a value it does not store is put back).
void AxisFileSetAway(QObject* Object, const QMetaProperty& P, const QString& Path, TAxisFileChanges& Changes)
{
    // (A property declared unstored follows another one, as a font's size
    // follows its height.)
    const QVariant Old = P.read(Object);
    const QVariant New = AxisFileOtherValue(P, Old);
    if (!P.isWritable() || !P.isStored() || !New.isValid())
        return;
    try {
        P.write(Object, New);
    } catch (const Exception&) {
        return; // a value the setter refuses
    }
    if (P.read(Object) == Old)
        return;
    if (IsPropertyStored(Object, P.name())) {
        ++Changes.Stored;
        return;
    }
    // Back at its default (the other way of a Boolean that was set away
    // with a property it follows), or a value the class never stores.
    if (P.read(Object) != PropertyDefault(Object, P.name()))
        Changes.Unstored << Path;
    P.write(Object, Old);
}

// Every setting of Axis away from what it started with; a fixed range.
TAxisFileChanges AxisFileSetEverything(TChartAxis* Axis)
{
    TAxisFileChanges Changes;
    AxisFileWalk(Axis, [&Changes](QObject* Object, const QMetaProperty& P, const QString& Path) {
        AxisFileSetAway(Object, P, Path, Changes);
    });
    Axis->SetMinMax(-3, 42);
    return Changes;
}

// The lines of the dump of Axis, less those of the paths Left.
QString AxisFileText(TChartAxis* Axis, const QStringList& Left)
{
    QStringList Lines = AxisFileDump(Axis);
    Lines.removeIf([&Left](const QString& Line) { return Left.contains(Line.section(QLatin1Char('='), 0, 0)); });
    return Lines.join(QLatin1Char('\n'));
}

// Saving the chart with every axis setting changed and reading the file into
// a fresh chart gives every axis back as it was, in both forms. Only what
// the axes publish as unstored is left: the side and direction of the
// standard axes.
TEST(ChartFileAxes, EveryStoredSettingOfEveryAxisReadsBack)
{
    TChart Original;
    FillChart(Original);
    Original.CustomAxes().Add();
    ASSERT_EQ(Original.AxesList().Count(), 7);
    std::vector<QStringList> Unstored;
    for (int I = 0; I < Original.AxesList().Count(); ++I) {
        TChartAxis* Axis = Original.AxesList().Items(I);
        const TAxisFileChanges Changes = AxisFileSetEverything(Axis);
        EXPECT_GT(Changes.Stored, 100) << I;
        Unstored.push_back(Changes.Unstored);
    }
    for (int I = 0; I < 6; ++I)
        EXPECT_EQ(Unstored[static_cast<size_t>(I)].join(QLatin1Char(' ')).toStdString(), "Horizontal OtherSide") << I;
    EXPECT_EQ(Unstored[6].join(QLatin1Char(' ')).toStdString(), "");
    for (const bool Text : {false, true}) {
        TChart Copy;
        Load(Copy, Save(Original, true, Text));
        ASSERT_EQ(Copy.AxesList().Count(), 7) << Text;
        for (int I = 0; I < 7; ++I) {
            const QStringList& Left = Unstored[static_cast<size_t>(I)];
            EXPECT_EQ(AxisFileText(Copy.AxesList().Items(I), Left).toStdString(),
                      AxisFileText(Original.AxesList().Items(I), Left).toStdString())
                << "axis " << I << (Text ? " (text)" : " (binary)");
        }
        EXPECT_EQ(TextOf(Copy), TextOf(Original)) << Text;
    }
}

// A fresh chart's axes write nothing: each starts at its declared defaults
// (or where its stored rules say), so a value set back to a default reads
// back as that value.
TEST(ChartFileAxes, AFreshChartStoresNoAxisSetting)
{
    TChart Chart;
    const QByteArray Text = TextOf(Chart);
    EXPECT_FALSE(Text.contains("Axis.")) << Text.toStdString();
    EXPECT_FALSE(Text.contains("CustomAxes")) << Text.toStdString();
    Chart.LeftAxis()->SetMinMax(-1, 5);
    Chart.CustomAxes().Add();
    const QByteArray Changed = TextOf(Chart);
    EXPECT_TRUE(Changed.contains("LeftAxis.Minimum = -1")) << Changed.toStdString();
    // A new custom axis writes only its side and direction.
    EXPECT_TRUE(Changed.contains("  CustomAxes = <\r\n    item\r\n      Horizontal = False\r\n"
                                 "      OtherSide = False\r\n    end>\r\n"))
        << Changed.toStdString();
}

// A chart with two custom axes, a line series on both and a colour line tool
// on the first (at the back of the chart).
struct TAxisFileLinks {
    TChart Chart;
    TChartSeries* Series = nullptr;
    TColorLineTool* Tool = nullptr;

    TAxisFileLinks()
    {
        FillChart(Chart);
        auto* Vertical = static_cast<TChartAxis*>(Chart.CustomAxes().Add());
        auto* Horizontal = static_cast<TChartAxis*>(Chart.CustomAxes().Add());
        Horizontal->SetHorizontal(true);
        // At the back, as the standard axes of that side are.
        Vertical->SetOtherSide(true);
        Vertical->SetZPosition(100);
        Series = Chart.Series(0);
        Series->SetCustomVertAxis(Vertical);
        Series->SetCustomHorizAxis(Horizontal);
        Tool = new TColorLineTool(&Chart);
        Tool->SetParentComponent(&Chart);
        Tool->SetAxis(Vertical);
        Tool->SetValue(3);
    }
};

TEST(ChartFileAxes, SeriesAndToolsOnCustomAxesKeepThemInBothForms)
{
    TAxisFileLinks Original;
    for (const bool Text : {false, true}) {
        TChart Copy;
        Load(Copy, Save(Original.Chart, true, Text));
        ASSERT_EQ(Copy.AxesList().Count(), 8) << Text;
        ASSERT_EQ(Copy.CustomAxes().Count(), 2) << Text;
        EXPECT_TRUE(Copy.CustomAxes().Items(1)->Horizontal());
        EXPECT_TRUE(Copy.CustomAxes().Items(0)->OtherSide());
        EXPECT_EQ(Copy.CustomAxes().Items(0)->ZPosition(), 100) << Text;
        ASSERT_EQ(Copy.SeriesCount(), 2);
        EXPECT_EQ(Copy.Series(0)->GetVertAxis(), Copy.CustomAxes().Items(0)) << Text;
        EXPECT_EQ(Copy.Series(0)->GetHorizAxis(), Copy.CustomAxes().Items(1)) << Text;
        EXPECT_EQ(Copy.Series(1)->GetVertAxis(), Copy.LeftAxis()) << Text;
        TColorLineTool* Tool = nullptr;
        for (TPlotCustomTool* Each : Copy.Tools())
            if (auto* Line = qobject_cast<TColorLineTool*>(Each))
                Tool = Line;
        ASSERT_NE(Tool, nullptr) << Text;
        EXPECT_EQ(Tool->Axis(), Copy.CustomAxes().Items(0)) << Text;
        EXPECT_EQ(Tool->Value(), 3);
        EXPECT_EQ(TextOf(Copy), TextOf(Original.Chart)) << Text;
    }
}

// Every registered tool that links to an axis keeps a custom axis as its
// axis, in both forms.
TEST(ChartFileAxes, EveryAxisToolKeepsItsCustomAxis)
{
    TChart Original;
    FillChart(Original);
    Original.CustomAxes().Add();
    auto* Custom = static_cast<TChartAxis*>(Original.CustomAxes().Add());
    QStringList Classes;
    for (int I = 0; I < PlotToolTypes()->Count(); ++I) {
        const QString Class = TPersistent::ClassNameOf(*PlotToolTypes()->Items(I));
        TComponent* Component = CreateComponent(Class, &Original);
        auto* Tool = qobject_cast<TPlotCustomToolAxis*>(Component);
        if (!Tool) {
            delete Component;
            continue;
        }
        Tool->SetName(QStringLiteral("AxisTool%1").arg(I));
        Tool->SetAxis(Custom);
        Classes << Class;
    }
    ASSERT_GE(Classes.size(), 4);
    for (const bool Text : {false, true}) {
        TChart Copy;
        Load(Copy, Save(Original, true, Text));
        ASSERT_EQ(Copy.CustomAxes().Count(), 2);
        QStringList OnCustom;
        for (TPlotCustomTool* Tool : Copy.Tools())
            if (auto* AxisTool = qobject_cast<TPlotCustomToolAxis*>(Tool);
                AxisTool && AxisTool->Axis() == Copy.CustomAxes().Items(1))
                OnCustom << AxisTool->ClassName();
        EXPECT_EQ(OnCustom, Classes) << Text;
    }
}

// A link to an axis the file does not hold is reported, not dropped quietly.
TEST(ChartFileAxes, ALinkToAMissingAxisIsReported)
{
    TAxisFileLinks Original;
    QByteArray Text = TextOf(Original.Chart);
    ASSERT_TRUE(Text.contains("AxisID = 6"));
    ASSERT_TRUE(Text.contains("CustomVertAxis = 0"));
    Text.replace("AxisID = 6", "AxisID = 9").replace("CustomVertAxis = 0", "CustomVertAxis = 5");
    QStringList Errors;
    TChart Copy;
    Load(Copy, Text, true, [&Errors](const QString& Message) {
        Errors << Message;
        return true;
    });
    EXPECT_EQ(Errors, (QStringList{QStringLiteral("Error reading CustomVertAxis: Index 5 out of range (0..1)"),
                                   QStringLiteral("Error reading AxisID: Index 9 out of range (0..7)")}));
    EXPECT_EQ(Copy.Series(0)->GetVertAxis(), Copy.LeftAxis());
}

// --- One data source -----------------------------------------------------------------------------

// A line of six points and, fed by it alone, a trend and a moving average
// (period 2) series.
struct TOneSourceCharts {
    TChartSeries* Line;
    TChartSeries* Trend;
    TChartSeries* Average;
};

TOneSourceCharts MakeOneSourceChart(TChart& Chart)
{
    Chart.SetBounds(0, 0, 400, 300);
    Chart.SetBufferedDisplay(false);
    TChartSeries* Line = AddChartFileSeries(Chart, TLineSeries::staticMetaObject);
    for (int I = 0; I < 6; ++I)
        Line->AddXY(I, I * I);
    TChartSeries* Trend = AddChartFileSeries(Chart, TLineSeries::staticMetaObject);
    Trend->SetFunction(new TTrendFunction(&Chart));
    Trend->SetDataSource(Line);
    // A many-source type with one source chosen, as the function page
    // applies it.
    TChartSeries* Average = AddChartFileSeries(Chart, TLineSeries::staticMetaObject);
    Average->SetFunction(new TAveragePlotFunction(&Chart));
    Average->SeriesFunction()->SetPeriod(2);
    Average->DataSources().Clear();
    Average->DataSources().Add(Line);
    return {Line, Trend, Average};
}

// The line's points move onto y = 10 - 3x.
void StraightenChartFileLine(TChartSeries& Line)
{
    for (int I = 0; I < Line.Count(); ++I)
        Line.YValues()->SetValue(I, 10 - 3 * Line.XValues()->Value(I));
}

// Guards a function series fed by one series: the file did not name that
// source (only two or more were stored), so the reopened function had none
// and no longer followed the line.
TEST(ChartFile, AFunctionSeriesWithOneSourceFollowsItWhenReopened)
{
    TChart Saved;
    const TOneSourceCharts Was = MakeOneSourceChart(Saved);
    ASSERT_GT(Was.Trend->Count(), 0);
    for (const bool Text : {false, true}) {
        SCOPED_TRACE(Text ? "text" : "binary");
        const QByteArray Bytes = Save(Saved, true, Text);
        if (Text) {
            EXPECT_TRUE(Bytes.contains("DataSource = Series1")) << Bytes.constData();
            EXPECT_FALSE(Bytes.contains("DataSources"));
        }
        TChart Reopened;
        Reopened.SetBounds(0, 0, 400, 300);
        Load(Reopened, Bytes);
        ASSERT_EQ(Reopened.SeriesCount(), 3);
        TChartSeries* Line = Reopened.Series(0);
        TChartSeries* Trend = Reopened.Series(1);
        TChartSeries* Average = Reopened.Series(2);
        EXPECT_EQ(Trend->DataSource(), Line);
        ASSERT_EQ(Average->DataSources().Count(), 1);
        EXPECT_EQ(Average->DataSource(), Line);
        ASSERT_NE(Average->SeriesFunction(), nullptr);
        EXPECT_EQ(Average->SeriesFunction()->Period(), 2);
        EXPECT_EQ(Line->LinkedSeries().Count(), 2);
        EXPECT_EQ(ChartFilePointsOf(*Trend), ChartFilePointsOf(*Was.Trend));
        EXPECT_EQ(TextOf(Reopened), TextOf(Saved));

        // The line changes: both functions calculate again from it.
        StraightenChartFileLine(*Line);
        ASSERT_EQ(Trend->Count(), 2);
        for (int I = 0; I < Trend->Count(); ++I)
            EXPECT_NEAR(Trend->YValues()->Value(I), 10 - 3 * Trend->XValues()->Value(I), 1e-9) << I;
        ASSERT_EQ(Average->Count(), 3);
        for (int I = 0; I < Average->Count(); ++I)
            EXPECT_NEAR(Average->YValues()->Value(I), 10 - 3 * (2 * I + 0.5), 1e-9) << I;
    }
}

// Two sources are stored by name as before and read back in their order.
TEST(ChartFile, AFunctionSeriesWithTwoSourcesKeepsBoth)
{
    TChart Saved;
    Saved.SetBounds(0, 0, 400, 300);
    TChartSeries* Line = AddChartFileSeries(Saved, TLineSeries::staticMetaObject);
    for (int I = 0; I < 4; ++I)
        Line->AddXY(I, I);
    TChartSeries* Sum = AddChartFileSeries(Saved, TLineSeries::staticMetaObject);
    Sum->SetFunction(new TAddPlotFunction(&Saved));
    LinkTwoChartFileSources(*Sum, *Line);
    for (const bool Text : {false, true}) {
        SCOPED_TRACE(Text ? "text" : "binary");
        const QByteArray Bytes = Save(Saved, true, Text);
        if (Text) {
            EXPECT_TRUE(Bytes.contains("DataSources = ")) << Bytes.constData();
            EXPECT_FALSE(Bytes.contains("DataSource ="));
        }
        TChart Reopened;
        Load(Reopened, Bytes);
        ASSERT_EQ(Reopened.SeriesCount(), 3);
        TChartSeries* Reread = Reopened.Series(1);
        ASSERT_EQ(Reread->DataSources().Count(), 2);
        EXPECT_EQ(Reread->DataSources()[0], Reopened.Series(0));
        EXPECT_EQ(Reread->DataSources()[1], Reopened.Series(2));
        Reopened.Series(0)->YValues()->SetValue(3, 10);
        Reopened.Series(2)->RefreshSeries();
        EXPECT_DOUBLE_EQ(Reread->YValues()->Value(3), 13);
    }
}

// A component that is not a series feeds a series: the link is its name
// and reads back to the same component, bound to the series again.
TEST(ChartFile, ASeriesFedByASeriesSourceKeepsIt)
{
    RegisterClass<TPlotSeriesSource>();
    const auto Unregister = qScopeGuard([] { UnRegisterClass(QStringLiteral("TPlotSeriesSource")); });
    TChart Saved;
    TChartSeries* Line = AddChartFileSeries(Saved, TLineSeries::staticMetaObject);
    auto* Feed = new TPlotSeriesSource(&Saved);
    Feed->SetName(QStringLiteral("Feed"));
    Feed->SetSeries(Line);
    Feed->Open();
    for (const bool Text : {false, true}) {
        SCOPED_TRACE(Text ? "text" : "binary");
        const QByteArray Bytes = Save(Saved, true, Text);
        if (Text) {
            EXPECT_TRUE(Bytes.contains("DataSource = Feed")) << Bytes.constData();
        }
        TChart Reopened;
        Load(Reopened, Bytes);
        ASSERT_EQ(Reopened.SeriesCount(), 1);
        auto* Reread = qobject_cast<TPlotSeriesSource*>(Reopened.Series(0)->DataSource());
        ASSERT_NE(Reread, nullptr);
        EXPECT_EQ(Reread->Name(), QStringLiteral("Feed"));
        EXPECT_EQ(Reread->Series(), Reopened.Series(0));
        EXPECT_TRUE(Reread->Active());
    }
}


// A file written while a change of type could still leave a source the new
// kind refuses (a 3-D bubble averaging a line): it opens, the reader
// reports the refused link once and skips it, the bubble keeps its points
// and function, and the chart saved again reopens without any error.
TEST(ChartFile, AnOlderFileWithASourceTheSeriesRefusesOpensWithoutThatLink)
{
    TChart Saved;
    TChartSeries* Line = AddChartFileSeries(Saved, TLineSeries::staticMetaObject);
    Line->SetName(QStringLiteral("Line1"));
    TChartSeries* Bubble = AddChartFileSeries(Saved, TBubble3DSeries::staticMetaObject);
    Bubble->SetName(QStringLiteral("Bubble1"));
    Bubble->SetFunction(new TAveragePlotFunction(&Saved));
    for (int I = 0; I < 4; ++I) {
        Line->AddXY(I, 2 * I);
        Bubble->AddXY(I, 3 + I);
    }
    QByteArray Bytes = Save(Saved, true, true);
    const qsizetype At = Bytes.indexOf("object Bubble1: TBubble3DSeries");
    ASSERT_GE(At, 0) << Bytes.constData();
    const qsizetype LineEnd = Bytes.indexOf('\n', At);
    ASSERT_GT(LineEnd, At);
    Bytes.insert(LineEnd + 1, "    DataSource = Line1\r\n");

    QStringList Errors;
    TChart Reopened;
    Load(Reopened, Bytes, true, [&Errors](const QString& Message) {
        Errors << Message;
        return true;
    });
    ASSERT_EQ(Errors.size(), 1) << Errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(Errors[0].contains(QStringLiteral("No valid DataSource: Line1"))) << Errors[0].toStdString();
    ASSERT_EQ(Reopened.SeriesCount(), 2);
    TChartSeries* ReadBubble = Reopened.Series(1);
    EXPECT_EQ(ReadBubble->DataSources().Count(), 0);
    EXPECT_NE(qobject_cast<TAveragePlotFunction*>(ReadBubble->SeriesFunction()), nullptr);
    ASSERT_EQ(ReadBubble->Count(), 4);
    EXPECT_DOUBLE_EQ(ReadBubble->YValues()->Value(3), 6);
    EXPECT_EQ(Reopened.Series(0)->Count(), 4);

    Errors.clear();
    TChart Again;
    Load(Again, Save(Reopened, true, false), true, [&Errors](const QString& Message) {
        Errors << Message;
        return true;
    });
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(Again.SeriesCount(), 2);
    EXPECT_EQ(Again.Series(1)->Count(), 4);
}

// --- Passing state: what the mouse over the chart shows is not stored ---

// A chart shown in its window, for mouse moves as a user makes them.
class TChartFileHoveredChart {
public:
    TChartFileHoveredChart()
    {
        Chart.SetBounds(0, 0, 400, 300);
        Chart.SetView3D(false);
        Window = Chart.Widget();
        Window->show();
    }
    // Moves the mouse over the window (no button) to each point of a grid.
    void Sweep(int Step)
    {
        for (int Y = 1; Y < Chart.Height(); Y += Step)
            for (int X = 1; X < Chart.Width(); X += Step)
                QTest::mouseMove(Window, QPoint(X, Y));
    }
    QString SavedText()
    {
        QBuffer Out;
        Out.open(QIODevice::WriteOnly);
        SaveChartToStream(&Chart, Out, true, true);
        return QString::fromUtf8(Out.data());
    }
    std::unique_ptr<TChart> Reopened(bool Text)
    {
        QBuffer File;
        File.open(QIODevice::ReadWrite);
        SaveChartToStream(&Chart, File, true, Text);
        File.seek(0);
        auto Copy = std::make_unique<TChart>();
        TCustomChart* Target = Copy.get();
        LoadChartFromStream(Target, File);
        return Copy;
    }
    TChart Chart;
    QWidget* Window = nullptr;
};

// Guards the cursor of a series under the mouse saved as the chart's own:
// the reopened chart showed the series' hand everywhere.
TEST(PlotChartFile, TheChartsOwnCursorIsStoredWhateverTheMouseIsOver)
{
    for (const TCursor Own : {crDefault, crCross}) {
        SCOPED_TRACE(Own);
        TChartFileHoveredChart Hovered;
        TChart& Chart = Hovered.Chart;
        Chart.SetCursor(Own);
        TChartSeries* Series = CreateNewSeries(nullptr, &Chart, &TPointSeries::staticMetaObject);
        for (int I = 0; I < 5; ++I)
            Series->AddXY(I, I);
        Series->SetCursor(crHandPoint);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Hovered.Window));
        Chart.Repaint();
        const QPoint OnPoint(Series->CalcXPos(2), Series->CalcYPos(2));
        QTest::mouseMove(Hovered.Window, OnPoint);
        ASSERT_EQ(Chart.Cursor(), crHandPoint) << "the chart shows the series' cursor";
        for (const bool Text : {false, true}) {
            SCOPED_TRACE(Text ? "text" : "binary");
            const std::unique_ptr<TChart> Reopened = Hovered.Reopened(Text);
            EXPECT_EQ(Reopened->Cursor(), Own);
            EXPECT_EQ(Reopened->SavedCursor(), Own);
            ASSERT_EQ(Reopened->SeriesCount(), 1);
            EXPECT_EQ(Reopened->Series(0)->Cursor(), crHandPoint);
        }
        // Off the series the chart shows its own cursor again.
        QTest::mouseMove(Hovered.Window, QPoint(2, 2));
        EXPECT_EQ(Chart.Cursor(), Own);
    }
}

// Guards passing state reaching the file: a mouse swept over a chart of
// every series kind and tool (series under the mouse with cursors of their
// own, tools that show cursors and highlight what they pass) must leave
// the stored chart as it was after its first paint.
TEST(PlotChartFile, AMouseSweptOverEveryKindAndToolChangesNothingStored)
{
    TChartFileHoveredChart Hovered;
    TChart& Chart = Hovered.Chart;
    for (TChartSeriesClass Kind : test::EveryRegisteredSeriesKind()) {
        TChartSeries* Series = CreateNewSeries(nullptr, &Chart, Kind);
        Series->FillSampleValues(6);
        Series->SetCursor(crHandPoint);
    }
    test::AddEveryRegisteredTool(Chart, [&Chart](TPlotCustomTool& Tool, int I) {
        if (auto* SeriesTool = qobject_cast<TPlotCustomToolSeries*>(&Tool))
            SeriesTool->SetSeries(Chart.Series(I % Chart.SeriesCount()));
    });
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Hovered.Window));
    Chart.Repaint();
    const QString Before = Hovered.SavedText();
    Hovered.Sweep(20);
    QTest::mouseMove(Hovered.Window, QPoint(Chart.Width() / 2, Chart.Height() / 2));
    const QString After = Hovered.SavedText();
    EXPECT_EQ(After, Before) << test::RoundTripDifference(Before.split(QLatin1Char('\n')),
                                                           After.split(QLatin1Char('\n')))
                                    .toStdString();
}

// A zoom rectangle being dragged is no zoom yet: the file holds the axes
// as they were.
TEST(PlotChartFile, AZoomBeingDraggedChangesNothingStored)
{
    TChartFileHoveredChart Hovered;
    TChart& Chart = Hovered.Chart;
    TChartSeries* Series = CreateNewSeries(nullptr, &Chart, &TLineSeries::staticMetaObject);
    Series->FillSampleValues(20);
    Series->SetCursor(crHandPoint);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Hovered.Window));
    Chart.Repaint();
    const QString Before = Hovered.SavedText();
    QTest::mousePress(Hovered.Window, Qt::LeftButton, {}, QPoint(120, 90));
    QTest::mouseMove(Hovered.Window, QPoint(220, 190));
    const QString Dragging = Hovered.SavedText();
    EXPECT_EQ(Dragging, Before) << test::RoundTripDifference(Before.split(QLatin1Char('\n')),
                                                              Dragging.split(QLatin1Char('\n')))
                                       .toStdString();
    QTest::mouseRelease(Hovered.Window, Qt::LeftButton, {}, QPoint(220, 190));
    EXPECT_TRUE(Chart.Zoomed());
}

// A list of sources that names a series the chart refuses for the series it
// feeds (a line among the bubbles a 3-D bubble adds up) was linked whole: the
// reader tests each name of "DataSources" as it tests a single
// "DataSource", reports the refused one with the same error and links the
// others in their order.
TEST(ChartFile, AListOfSourcesSkipsTheNameTheChartRefuses)
{
    TChart Saved;
    TChartSeries* Line = AddChartFileSeries(Saved, TLineSeries::staticMetaObject);
    Line->SetName(QStringLiteral("Line1"));
    TChartSeries* Sum = AddChartFileSeries(Saved, TBubble3DSeries::staticMetaObject);
    Sum->SetName(QStringLiteral("Sum1"));
    Sum->SetFunction(new TAddPlotFunction(&Saved));
    for (const QString& Name : {QStringLiteral("BubbleA"), QStringLiteral("BubbleB")}) {
        TChartSeries* Bubble = AddChartFileSeries(Saved, TBubble3DSeries::staticMetaObject);
        Bubble->SetName(Name);
        for (int I = 0; I < 4; ++I)
            Bubble->AddXY(I, 1 + I);
        Sum->DataSources().Add(Bubble);
    }
    for (int I = 0; I < 4; ++I)
        Line->AddXY(I, 2 * I);
    QByteArray Bytes = Save(Saved, true, true);
    const qsizetype At = Bytes.indexOf("'BubbleB'");
    ASSERT_GE(At, 0) << Bytes.constData();
    Bytes.insert(At, "'Line1' ");

    for (const bool Reported : {true, false}) {
        SCOPED_TRACE(Reported ? "with an error callback" : "without");
        QStringList Errors;
        TChart Reopened;
        if (Reported)
            Load(Reopened, Bytes, true, [&Errors](const QString& Message) {
                Errors << Message;
                return true;
            });
        else
            Load(Reopened, Bytes);
        if (Reported) {
            ASSERT_EQ(Errors.size(), 1) << Errors.join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(Errors[0].toStdString(), "Error reading DataSource: No valid DataSource: Line1");
        }
        ASSERT_EQ(Reopened.SeriesCount(), 4);
        TChartSeries* ReadSum = Reopened.Series(1);
        ASSERT_EQ(ReadSum->DataSources().Count(), 2);
        EXPECT_EQ(ReadSum->DataSources()[0], Reopened.Series(2));
        EXPECT_EQ(ReadSum->DataSources()[1], Reopened.Series(3));
        EXPECT_EQ(Reopened.Series(0)->LinkedSeries().Count(), 0);
        EXPECT_EQ(Reopened.Series(2)->LinkedSeries().Count(), 1);
        ASSERT_EQ(ReadSum->Count(), 4);
        EXPECT_DOUBLE_EQ(ReadSum->YValues()->Value(3), 8);
    }

    // A refusal the caller does not skip fails the whole read, as for a
    // single source.
    TChart Strict;
    QBuffer In;
    In.setData(Bytes);
    In.open(QIODevice::ReadOnly);
    TCustomChart* Target = &Strict;
    EXPECT_THROW(LoadChartFromStreamEx(Target, In, true, [](const QString&) { return false; }), EFilerError);
}

} // namespace
} // namespace lp
