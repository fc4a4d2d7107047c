// The whole chart through the chart file: every axis with every stored
// setting changed, the 3-D view with a pie, a later page, every registered
// series kind created, cloned and changed in type, every registered tool
// and function with its settings changed, and a brush with each pattern the
// brush editor offers; saved binary and text and read into a fresh chart,
// it must read back as it was saved, and saving must not change it.
//
// Settings are changed by walking the published properties (PropertyInfo.h)
// rather than by naming them, so a property added later is covered too.

#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotFastLine.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesLists.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotTools.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"
#include "chart/extensions/stats/PlotIndicatorFunctions.h"
#include "chart/extensions/stats/PlotStatFunctions.h"
#include "chart/extensions/shapes/PlotChartShape.h"
#include "chart/export/PlotChartFile.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/Collections.h"
#include "platform/core/PropertyInfo.h"
#include "ExportTestUtil.h"
#include "RoundTripSettings.h"

#include <QtCore/QBuffer>
#include <QtCore/QMetaEnum>
#include <QtWidgets/QListWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace lp {
namespace {

using test::EveryRegisteredSeriesKind;
using test::RoundTripDifference;
using test::RoundTripPointed;
using test::TRoundTripSettings;

// Every readable published property of an object as "path = value" lines,
// sub-objects and collections walked, links by name: the state a reopened
// chart must show again, whether the file format writes it or not.
void RoundTripDump(QObject* Object, const QString& Prefix, QStringList& Lines)
{
    test::RoundTripWalkStored(Object, Prefix, [&Lines](const QString& Path, const QString& Text, bool Link) {
        Lines << Path + (Link ? QStringLiteral(" -> ") : QStringLiteral(" = ")) + Text;
    });
}

QStringList RoundTripAxes(TCustomChart& Chart)
{
    QStringList Lines;
    const std::vector<std::pair<QString, TChartAxis*>> Standard{
        {QStringLiteral("Left"), Chart.LeftAxis()},   {QStringLiteral("Top"), Chart.TopAxis()},
        {QStringLiteral("Right"), Chart.RightAxis()}, {QStringLiteral("Bottom"), Chart.BottomAxis()},
        {QStringLiteral("Depth"), Chart.DepthAxis()}, {QStringLiteral("DepthTop"), Chart.DepthTopAxis()}};
    for (const auto& [Name, Axis] : Standard)
        RoundTripDump(Axis, Name + QLatin1Char('.'), Lines);
    Lines << QStringLiteral("CustomAxes.Count = %1").arg(Chart.CustomAxes().Count());
    for (int I = 0; I < Chart.CustomAxes().Count(); ++I)
        RoundTripDump(Chart.CustomAxes().Items(I), QStringLiteral("Custom[%1].").arg(I), Lines);
    return Lines;
}

// The text form as one line per property, each led by the names of the
// objects it stands in ("Series3.Pen.Width = 2"), values that run over
// several lines joined: differences then name what differs.
QStringList RoundTripLines(const QByteArray& Text)
{
    QStringList Out;
    QStringList Objects;
    for (const QString& Raw : QString::fromUtf8(Text).split(QLatin1Char('\n'))) {
        const QString Line = Raw.trimmed();
        if (Line.startsWith(QLatin1String("object ")) || Line == QLatin1String("item")) {
            Objects << (Line == QLatin1String("item") ? Line : Line.mid(7));
        } else if (Line == QLatin1String("end") || Line == QLatin1String("end>")) {
            if (!Objects.isEmpty())
                Objects.removeLast();
        } else if (Line.contains(QLatin1String(" = ")) || Out.isEmpty()) {
            Out << Objects.join(QLatin1Char('/')) + QLatin1Char('/') + Line;
        } else {
            Out.last() += Line;
        }
    }
    return Out;
}

QStringList RoundTripSeriesNames(const TCustomChart& Chart)
{
    QStringList Names;
    for (int I = 0; I < Chart.SeriesCount(); ++I)
        Names << Chart.Series(I)->Name() + QLatin1Char(':') + Chart.Series(I)->ClassName();
    // The lines functions draw beside their series are not stored: they
    // join the reopened chart when their function is read, at the end.
    Names.sort();
    return Names;
}

void RoundTripPaint(TCustomChart& Chart)
{
    Chart.CreateBitmap(clWhite, Chart.GetRectangle());
}

// The chart of the round trip, built as the editor builds one.
class TRoundTripChart {
public:
    explicit TRoundTripChart(unsigned Seed) : FSettings(Seed)
    {
        Chart.SetBounds(0, 0, 500, 400);
        Chart.SetBufferedDisplay(false);
    }

    void ChangeAxes()
    {
        Chart.CustomAxes().Add();
        for (TChartAxis* Axis : {Chart.LeftAxis(), Chart.TopAxis(), Chart.RightAxis(), Chart.BottomAxis(),
                                 Chart.DepthAxis(), Chart.DepthTopAxis()})
            FSettings.ChangeAll(Axis);
        FSettings.ChangeAll(Chart.CustomAxes().Items(0));
    }

    // A series of each registered kind, cloned, the clone changed into the
    // next kind; then a series of each function kind (on a line series when
    // the registration names no series class) calculated from one line, and
    // its clone.
    void AddEverySeriesKind()
    {
        const std::vector<TChartSeriesClass> Kinds = EveryRegisteredSeriesKind();
        for (size_t I = 0; I < Kinds.size(); ++I) {
            TChartSeries* Series = CreateNewSeries(nullptr, &Chart, Kinds[I]);
            Series->FillSampleValues(6);
            FSettings.ChangeAll(Series);
            TChartSeries* Clone = CloneChartSeries(Series);
            ChangeSeriesType(Clone, Kinds[(I + 1) % Kinds.size()]);
        }
        const TPlotSeriesTypes& Types = *PlotSeriesTypes();
        TChartSeries* Source = CreateNewSeries(nullptr, &Chart, &TLineSeries::staticMetaObject);
        Source->FillSampleValues(12);
        for (int I = 0; I < Types.Count(); ++I) {
            if (!Types[I]->FunctionClass)
                continue;
            TChartSeriesClass Class = Types[I]->SeriesClass ? Types[I]->SeriesClass : &TLineSeries::staticMetaObject;
            TChartSeries* Series = CreateNewSeries(nullptr, &Chart, Class, Types[I]->FunctionClass);
            // A kind that takes no line series as its source keeps none.
            if (Chart.IsValidDataSource(Series, Source))
                Series->SetDataSource(Source);
            FSettings.ChangeAll(Series->SeriesFunction());
            CloneChartSeries(Series);
        }
    }

    // The 3-D view turned away from its defaults; 3-D stays on.
    void ChangeView() { FSettings.ChangeAll(Chart.View3DOptions()); }

    void AddEveryTool()
    {
        test::AddEveryRegisteredTool(Chart, [this](TPlotCustomTool& Tool, int) { FSettings.ChangeAll(&Tool); });
    }

    // Each item of the brush editor's style list on a series brush in turn.
    void BrushEveryPattern()
    {
        TBrushDialog Dialog;
        int Item = 0;
        for (int I = 0; I < Chart.SeriesCount() && Item < Dialog.LStyle->count(); ++I) {
            auto* Brush = qobject_cast<TChartBrush*>(RoundTripPointed(Chart.Series(I)->property("Brush")));
            if (!Brush)
                continue;
            Dialog.TheBrush = Brush;
            Dialog.StyleClick(Item++);
        }
        EXPECT_EQ(Item, Dialog.LStyle->count()) << "too few series with a brush for every pattern";
    }

    TChart Chart;

private:
    TRoundTripSettings FSettings;
};

TEST(ChartFileRoundTrip, TheWholeChartReadsBackAsSaved)
{
    TRoundTripChart Built(20261208);
    TChart& Chart = Built.Chart;
    Built.ChangeAxes();
    Built.ChangeView();
    Built.AddEverySeriesKind();
    Built.AddEveryTool();
    Built.BrushEveryPattern();
    Chart.SetMaxPointsPerPage(2);
    Chart.SetPage(3);
    RoundTripPaint(Chart);

    const QByteArray Before = test::SaveChartFile(Chart, true);
    const QStringList AxesBefore = RoundTripAxes(Chart);
    const QByteArray Binary = test::SaveChartFile(Chart, false);
    EXPECT_TRUE(test::SaveChartFile(Chart, true) == Before) << "saving changed the chart:\n"
        << RoundTripDifference(RoundTripLines(Before), RoundTripLines(test::SaveChartFile(Chart, true))).toStdString();

    for (const bool Text : {false, true}) {
        SCOPED_TRACE(Text ? "text file" : "binary file");
        TChart Reopened;
        Reopened.SetBounds(0, 0, 500, 400);
        Reopened.SetBufferedDisplay(false);
        test::ReadChartFileExpectingNoError(Reopened, Text ? Before : Binary);
        RoundTripPaint(Reopened);
        const QByteArray After = test::SaveChartFile(Reopened, true);
        EXPECT_TRUE(RoundTripSeriesNames(Reopened) == RoundTripSeriesNames(Chart))
            << RoundTripSeriesNames(Chart).join(QLatin1Char(' ')).toStdString() << "\nreopened:\n"
            << RoundTripSeriesNames(Reopened).join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(Reopened.Tools().Count(), Chart.Tools().Count());
        EXPECT_EQ(Reopened.Page(), 3);
        EXPECT_TRUE(RoundTripLines(After) == RoundTripLines(Before))
            << RoundTripDifference(RoundTripLines(Before), RoundTripLines(After)).toStdString();
        const QStringList AxesAfter = RoundTripAxes(Reopened);
        EXPECT_TRUE(AxesAfter == AxesBefore) << RoundTripDifference(AxesBefore, AxesAfter).toStdString();
    }
}

// A chart read back from its own text file.
class TRoundTripReopened {
public:
    explicit TRoundTripReopened(TCustomChart& Saved)
    {
        Chart.SetBounds(0, 0, 500, 400);
        test::ReadChartFileExpectingNoError(Chart, test::SaveChartFile(Saved, true));
    }
    TChart Chart;
};

// A palette series coloured point by point after its palette was turned on
// (Use palette, then Color each point): the palette read from the file
// must not turn the point colours off again.
TEST(ChartFileRoundTrip, APaletteSeriesKeepsColorEachPointTickedAfterThePalette)
{
    TChart Chart;
    auto* Surface = qobject_cast<TSurfaceSeries*>(CreateNewSeries(nullptr, &Chart, &TSurfaceSeries::staticMetaObject));
    ASSERT_NE(Surface, nullptr);
    Surface->FillSampleValues(4);
    Surface->SetUseColorRange(false);
    Surface->SetUsePalette(true);
    EXPECT_FALSE(Surface->ColorEachPoint()); // turning the palette on turns point colours off
    Surface->SetColorEachPoint(true);

    TRoundTripReopened Reopened(Chart);
    ASSERT_EQ(Reopened.Chart.SeriesCount(), 1);
    auto* Read = qobject_cast<TSurfaceSeries*>(Reopened.Chart.Series(0));
    ASSERT_NE(Read, nullptr);
    EXPECT_TRUE(Read->UsePalette());
    EXPECT_TRUE(Read->ColorEachPoint());

    // Turned on outside a file read, the palette still turns them off.
    Read->SetUsePalette(false);
    Read->SetUsePalette(true);
    EXPECT_FALSE(Read->ColorEachPoint());
}

// Colours no palette hands out, so that setting them is a change.
constexpr TColor RoundTripRed = 0x1020C0;
constexpr TColor RoundTripGreen = 0x10B020;

// Change... from a pie to a fast line, and from a line to a shape: the parts
// that follow the series colour in the new kind (the fast line's pen, the
// shape's brush) take the colour the series had, in the open chart and in
// the reopened one alike.
TEST(ChartFileRoundTrip, AChangedSeriesTypeKeepsItsColourInTheFile)
{
    TChart Chart;
    TChartSeries* Pie = CreateNewSeries(nullptr, &Chart, &TPieSeries::staticMetaObject);
    Pie->FillSampleValues(4);
    Pie->SetSeriesColor(RoundTripRed);
    Pie->Pen()->SetColor(clBlue);
    TChartSeries* Line = CreateNewSeries(nullptr, &Chart, &TLineSeries::staticMetaObject);
    Line->SetSeriesColor(RoundTripGreen);
    TChartSeries* FastLine = Pie;
    ChangeSeriesType(FastLine, &TFastLineSeries::staticMetaObject);
    TChartSeries* Shape = Line;
    ChangeSeriesType(Shape, &TChartShape::staticMetaObject);
    EXPECT_EQ(FastLine->SeriesColor(), RoundTripRed);
    EXPECT_EQ(FastLine->Pen()->Color(), RoundTripRed);
    EXPECT_EQ(Shape->SeriesColor(), RoundTripGreen);
    EXPECT_EQ(Shape->Brush()->Color(), RoundTripGreen);

    TRoundTripReopened Reopened(Chart);
    ASSERT_EQ(Reopened.Chart.SeriesCount(), 2);
    EXPECT_EQ(Reopened.Chart.Series(0)->SeriesColor(), RoundTripRed);
    EXPECT_EQ(Reopened.Chart.Series(0)->Pen()->Color(), RoundTripRed);
    EXPECT_EQ(Reopened.Chart.Series(1)->SeriesColor(), RoundTripGreen);
    EXPECT_EQ(Reopened.Chart.Series(1)->Brush()->Color(), RoundTripGreen);
    EXPECT_TRUE(test::SaveChartFile(Reopened.Chart, true) == test::SaveChartFile(Chart, true));
}

// A line and a series of Function calculated from it, reopened from the
// chart's text file: the line is Series1, the function series Series2.
struct TRoundTripFunctionChart {
    explicit TRoundTripFunctionChart(TPlotFunctionClass Function)
    {
        Chart.SetBounds(0, 0, 500, 400);
        TChartSeries* Line = CreateNewSeries(nullptr, &Chart, &TLineSeries::staticMetaObject);
        for (int I = 0; I < 40; ++I)
            Line->AddXY(I, 50 + 10 * std::sin(I / 3.0));
        CreateNewSeries(nullptr, &Chart, &TLineSeries::staticMetaObject, Function)->SetDataSource(Line);
    }
    TChart Chart;
};

// A moving average of a line, saved and reopened: the average still takes
// its points from the line, so a new period is calculated over it.
TEST(ChartFileRoundTrip, AFunctionSeriesKeepsItsSource)
{
    TRoundTripFunctionChart Saved(&TMovingAverageFunction::staticMetaObject);
    const int Averages = Saved.Chart.Series(1)->Count();
    ASSERT_GT(Averages, 0);

    TRoundTripReopened Reopened(Saved.Chart);
    ASSERT_EQ(Reopened.Chart.SeriesCount(), 2);
    TChartSeries* Line = Reopened.Chart.Series(0);
    TChartSeries* Average = Reopened.Chart.Series(1);
    EXPECT_EQ(Average->DataSource(), Line);
    EXPECT_EQ(Average->Count(), Averages);
    Average->SeriesFunction()->SetPeriod(5);
    EXPECT_EQ(Average->Count(), 36);
}

// MACD and Bollinger draw lines of their own beside their series (the
// signal line and histogram, the lower band), which the file does not hold:
// the reopened chart shows them again, with the same points.
TEST(ChartFileRoundTrip, IndicatorLinesComeBackWithTheirFunction)
{
    for (TPlotFunctionClass Function : {&TMACDFunction::staticMetaObject, &TBollingerFunction::staticMetaObject}) {
        SCOPED_TRACE(Function->className());
        TRoundTripFunctionChart Saved(Function);
        ASSERT_GT(Saved.Chart.SeriesCount(), 2);
        TRoundTripReopened Reopened(Saved.Chart);
        ASSERT_EQ(Reopened.Chart.SeriesCount(), Saved.Chart.SeriesCount());
        for (int I = 0; I < Saved.Chart.SeriesCount(); ++I) {
            TChartSeries* Was = Saved.Chart.Series(I);
            TChartSeries* Is = Reopened.Chart.Series(I);
            EXPECT_EQ(Is->ClassName(), Was->ClassName()) << I;
            ASSERT_EQ(Is->Count(), Was->Count()) << I;
            for (int P = 0; P < Was->Count(); ++P)
                EXPECT_DOUBLE_EQ(Is->YValues()->Value(P), Was->YValues()->Value(P)) << I << ' ' << P;
        }
    }
}


// --- Seeded random changes of type over function series and their sources ---

// Draws from a shuffled deck of Items, shuffled again when it runs out, so
// that a run long enough draws every item.
template <class T>
class TRoundTripDeck {
public:
    TRoundTripDeck(std::vector<T> Items, std::mt19937& Random) : FItems(std::move(Items)), FRandom(Random) {}
    T Draw()
    {
        if (FNext == 0)
            std::shuffle(FItems.begin(), FItems.end(), FRandom);
        const T Item = FItems[FNext];
        FNext = (FNext + 1) % FItems.size();
        return Item;
    }
    size_t Size() const { return FItems.size(); }

private:
    std::vector<T> FItems;
    std::mt19937& FRandom;
    size_t FNext = 0;
};

// Every function registration, with the series class it is made on.
std::vector<std::pair<TChartSeriesClass, TPlotFunctionClass>> RoundTripFunctionKinds()
{
    const TPlotSeriesTypes& Types = *PlotSeriesTypes();
    std::vector<std::pair<TChartSeriesClass, TPlotFunctionClass>> Kinds;
    for (int I = 0; I < Types.Count(); ++I)
        if (Types[I]->FunctionClass)
            Kinds.emplace_back(Types[I]->SeriesClass ? Types[I]->SeriesClass : &TLineSeries::staticMetaObject,
                               Types[I]->FunctionClass);
    return Kinds;
}

using TRoundTripLinks = std::set<std::pair<QString, QString>>;

// Every link "series <- source" of the chart's series, by the names the
// editors show.
TRoundTripLinks RoundTripSourceLinks(const TCustomAxisPanel& Chart)
{
    TRoundTripLinks Links;
    for (int I = 0; I < Chart.SeriesCount(); ++I)
        for (TComponent* Source : Chart.Series(I)->DataSources()) {
            auto* SourceSeries = qobject_cast<TChartSeries*>(Source);
            Links.emplace(SeriesTitleOrName(Chart.Series(I)), SourceSeries ? SeriesTitleOrName(SourceSeries)
                                                                             : Source->Name());
        }
    return Links;
}

std::string RoundTripLinksText(const TRoundTripLinks& Links)
{
    QStringList Lines;
    for (const auto& [Series, Source] : Links)
        Lines << Series + QStringLiteral(" <- ") + Source;
    return Lines.join(QStringLiteral(", ")).toStdString();
}

// The links the chart's source test refuses, as "series <- source" lines.
QStringList RoundTripRefusedLinks(const TCustomAxisPanel& Chart)
{
    QStringList Refused;
    for (int I = 0; I < Chart.SeriesCount(); ++I)
        for (TComponent* Source : Chart.Series(I)->DataSources())
            if (!Chart.IsValidDataSource(Chart.Series(I), Source))
                Refused << Chart.Series(I)->Name() + QStringLiteral(" <- ") + Source->Name();
    return Refused;
}

// Saves Chart and reads it into Reopened; returns the reader's messages
// (each one skipped, as the error callback allows).
QStringList RoundTripReopenErrors(TCustomChart& Chart, TCustomChart& Reopened, bool Text)
{
    QBuffer In;
    In.setData(test::SaveChartFile(Chart, Text));
    In.open(QIODevice::ReadOnly);
    TCustomChart* Target = &Reopened;
    QStringList Errors;
    LoadChartFromStreamEx(Target, In, true, [&Errors](const QString& Message) {
        Errors << Message;
        return true;
    });
    return Errors;
}

// A random chart of a few source series and function series fed by them
// (or by each other), whose series then change type at random.
class TRoundTripTypeChanges {
public:
    TRoundTripTypeChanges(std::mt19937& Random, TRoundTripDeck<TChartSeriesClass>& Kinds,
                          TRoundTripDeck<std::pair<TChartSeriesClass, TPlotFunctionClass>>& Functions)
        : FRandom(Random)
    {
        Chart.SetBounds(0, 0, 500, 400);
        for (int I = 0; I < 3; ++I) {
            TChartSeries* Source = CreateNewSeries(nullptr, &Chart, Kinds.Draw());
            Source->FillSampleValues(8);
            Series.push_back(Source);
        }
        // An irregular grid at dates near the double limit, which a kind
        // with a regular grid cannot index: a series calculated from it and
        // changed into such a kind fails.
        auto* FarDates =
            qobject_cast<TSurfaceSeries*>(CreateNewSeries(nullptr, &Chart, &TSurfaceSeries::staticMetaObject));
        FarDates->SetIrregularGrid(true);
        for (int X = 0; X < 4; ++X)
            for (int Z = 0; Z < 3; ++Z)
                FarDates->AddXYZ(1e308 + X * 5e306, 10 + (X * 5 + Z * 3) % 7, Z);
        Series.push_back(FarDates);
        for (int I = 0; I < 3; ++I) {
            const auto [SeriesClass, FunctionClass] = Functions.Draw();
            TChartSeries* Made = CreateNewSeries(nullptr, &Chart, SeriesClass, FunctionClass);
            LinkToEarlierSeries(*Made, 1 + static_cast<int>(FRandom() % 2));
            Series.push_back(Made);
        }
        // A series calculated from the far dates alone: the first of a few
        // function kinds drawn that takes them and calculates points.
        TChartSeries* Fed = nullptr;
        for (int Tries = 0; Tries < 5 && !Fed; ++Tries) {
            const auto [SeriesClass, FunctionClass] = Functions.Draw();
            Fed = CreateNewSeries(nullptr, &Chart, SeriesClass, FunctionClass);
            try {
                if (Chart.IsValidDataSource(Fed, FarDates))
                    Fed->DataSources().Add(FarDates);
            } catch (const Exception&) {
                // A calculation that fails on these values.
            }
            if (Fed->DataSources().Count() == 0 || Fed->Count() == 0) {
                delete Fed;
                Fed = nullptr;
            }
        }
        if (!Fed)
            Fed = CreateNewSeries(nullptr, &Chart, &TLineSeries::staticMetaObject);
        FedByFarDates = Series.size();
        Series.push_back(Fed);
    }

    // Series' type becomes Kind; returns the links the change dropped.
    TDroppedSourceLinks Change(size_t Index, TChartSeriesClass Kind) { return ChangeSeriesType(Series[Index], Kind); }

    TChart Chart;
    // The series made here, kept current through the changes of type.
    std::vector<TChartSeries*> Series;
    // The index of the series calculated from the far dates.
    size_t FedByFarDates = 0;

private:
    // Up to Wanted sources among the series made before, those the chart
    // takes for Made (none when it takes none).
    void LinkToEarlierSeries(TChartSeries& Made, int Wanted)
    {
        std::vector<TChartSeries*> Candidates = Series;
        std::shuffle(Candidates.begin(), Candidates.end(), FRandom);
        for (TChartSeries* Candidate : Candidates) {
            if (Made.DataSources().Count() >= Wanted)
                return;
            if (!Chart.IsValidDataSource(&Made, Candidate))
                continue;
            try {
                Made.DataSources().Add(Candidate);
            } catch (const Exception&) {
                // A calculation that fails on these values; the link stays.
            }
        }
    }

    std::mt19937& FRandom;
};

// After each random change of type every source a series holds passes the
// chart's source test, the links that went are the ones reported, and the
// chart saves and reopens (binary and text in turn) without a reader error.
// A change the new kind refuses (dates near the double limit in a grid)
// leaves the series and the chart's stored form as they were.
// Every registered series kind is a target and the kind of a source, and
// every function registration feeds a series, within the run; the run is
// the same each time, a failure names its seed and step.
TEST(ChartFileRoundTrip, RandomChangesOfTypeKeepOnlySourcesTheChartAccepts)
{
    constexpr unsigned FirstSeed = 8501;
    constexpr int Seeds = 18;
    constexpr int ChangesPerSeed = 6;
    std::mt19937 DeckRandom(FirstSeed);
    TRoundTripDeck<TChartSeriesClass> SourceKinds(EveryRegisteredSeriesKind(), DeckRandom);
    TRoundTripDeck<TChartSeriesClass> TargetKinds(EveryRegisteredSeriesKind(), DeckRandom);
    TRoundTripDeck<std::pair<TChartSeriesClass, TPlotFunctionClass>> Functions(RoundTripFunctionKinds(), DeckRandom);
    std::vector<TChartSeriesClass> WithGrid = EveryRegisteredSeriesKind();
    std::erase_if(WithGrid,
                  [](TChartSeriesClass Kind) { return !Kind->inherits(&TCustom3DGridSeries::staticMetaObject); });
    ASSERT_FALSE(WithGrid.empty());
    TRoundTripDeck<TChartSeriesClass> GridKinds(WithGrid, DeckRandom);
    ASSERT_LE(TargetKinds.Size(), static_cast<size_t>(Seeds * ChangesPerSeed));
    ASSERT_LE(SourceKinds.Size(), static_cast<size_t>(Seeds * 3));
    ASSERT_LE(Functions.Size(), static_cast<size_t>(Seeds * 3));
    int Dropped = 0;
    int Refused = 0;
    for (unsigned Seed = FirstSeed; Seed < FirstSeed + Seeds; ++Seed) {
        SCOPED_TRACE(testing::Message() << "seed " << Seed);
        std::mt19937 Random(Seed);
        TChartSeries::RandomSeed(Seed);
        TRoundTripTypeChanges Changes(Random, SourceKinds, Functions);
        ASSERT_EQ(RoundTripRefusedLinks(Changes.Chart).join(QLatin1Char('\n')).toStdString(), "");
        for (int Step = 0; Step <= ChangesPerSeed; ++Step) {
            // The last change of a seed turns the series calculated from
            // the far dates into a kind with a grid.
            const bool GridStep = Step == ChangesPerSeed;
            const size_t Index = GridStep ? Changes.FedByFarDates : Random() % Changes.Series.size();
            const TChartSeriesClass Kind = GridStep ? GridKinds.Draw() : TargetKinds.Draw();
            SCOPED_TRACE(testing::Message() << "step " << Step << ": " << Changes.Series[Index]->Name().toStdString()
                                            << " (" << Changes.Series[Index]->metaObject()->className() << ") into "
                                            << Kind->className());
            const auto Before = RoundTripSourceLinks(Changes.Chart);
            const QByteArray BinaryBefore = test::SaveChartFile(Changes.Chart, false);
            TChartSeries* const Changing = Changes.Series[Index];
            const QMetaObject* const KindBefore = Changing->metaObject();
            TDroppedSourceLinks Links;
            try {
                Links = Changes.Change(Index, Kind);
            } catch (const Exception& Error) {
                // A change the new kind refuses changes nothing.
                ++Refused;
                SCOPED_TRACE(Error.Message());
                EXPECT_EQ(Changes.Series[Index], Changing);
                EXPECT_EQ(Changing->metaObject(), KindBefore);
                EXPECT_TRUE(test::SaveChartFile(Changes.Chart, false) == BinaryBefore) << "the binary file changed";
                EXPECT_EQ(RoundTripDifference(RoundTripLines(test::ConvertChart(BinaryBefore, ConvertChartToText)),
                                              RoundTripLines(test::SaveChartFile(Changes.Chart, true)))
                              .toStdString(),
                          "");
            }
            Dropped += static_cast<int>(Links.size());
            const auto After = RoundTripSourceLinks(Changes.Chart);
            TRoundTripLinks Gone;
            std::set_difference(Before.begin(), Before.end(), After.begin(), After.end(),
                                std::inserter(Gone, Gone.end()));
            TRoundTripLinks Reported;
            for (const TDroppedSourceLink& Link : Links)
                Reported.emplace(Link.Series, Link.Source);
            EXPECT_TRUE(std::includes(Before.begin(), Before.end(), After.begin(), After.end())) << "a link was added";
            EXPECT_EQ(RoundTripLinksText(Gone), RoundTripLinksText(Reported)) << "links removed and links reported";
            EXPECT_EQ(RoundTripRefusedLinks(Changes.Chart).join(QLatin1Char('\n')).toStdString(), "");
            TChart Reopened;
            const QStringList Errors = RoundTripReopenErrors(Changes.Chart, Reopened, Step % 2 == 1);
            EXPECT_EQ(Errors.join(QLatin1Char('\n')).toStdString(), "");
            EXPECT_EQ(RoundTripRefusedLinks(Reopened).join(QLatin1Char('\n')).toStdString(), "");
            if (HasFailure())
                return;
        }
    }
    EXPECT_GT(Dropped, 0) << "no change met a source the new kind refuses";
    EXPECT_GT(Refused, 0) << "no change met data the new kind refuses";
}

} // namespace
} // namespace lp
