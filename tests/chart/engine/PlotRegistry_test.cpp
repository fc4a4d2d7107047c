// The type registries, the named palettes and the chart-level routines that
// create, clone, replace and change series.

#include "chart/engine/PlotRegistry.h"

#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotFunctions.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotSeries.h"

#include "EngineTestUtil.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotFastLine.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotSeriesLists.h"
#include "chart/engine/PlotTools.h"
#include "platform/graphics/RecordingDC.h"

#include <gtest/gtest.h>

#include <vector>

namespace lp {

// Small series, function and tool classes of the tests' own.
class TRegTestSeriesA : public TChartSeries {
    Q_OBJECT
public:
    using TChartSeries::TChartSeries;
};
class TRegTestSeriesB : public TChartSeries {
    Q_OBJECT
public:
    using TChartSeries::TChartSeries;
};
// Takes only series of its own kind as data sources.
class TRegTestPickySeries : public TChartSeries {
    Q_OBJECT
public:
    using TChartSeries::TChartSeries;
    bool IsValidSourceOf(TChartSeries* Source) override { return qobject_cast<TRegTestPickySeries*>(Source); }
};
// Refuses the next RefusedAdds points it is given from a source, as a kind
// refuses values it cannot hold.
class TRegTestRefusingSeries : public TChartSeries {
    Q_OBJECT
public:
    using TChartSeries::TChartSeries;
    static inline int RefusedAdds = 0;
    int AddPointValues(TChartSeries* Source, int Index) override
    {
        if (RefusedAdds > 0) {
            --RefusedAdds;
            throw ChartException(QStringLiteral("Refused"));
        }
        return TChartSeries::AddPointValues(Source, Index);
    }
};
class TRegTestUnregistered : public TChartSeries {
    Q_OBJECT
public:
    using TChartSeries::TChartSeries;
};
class TRegTestFunction : public TPlotFunction {
    Q_OBJECT
public:
    using TPlotFunction::TPlotFunction;
};
class TRegTestTool : public TPlotCustomTool {
    Q_OBJECT
public:
    using TPlotCustomTool::TPlotCustomTool;
};
class TRegTestSeriesTool : public TPlotCustomToolSeries {
    Q_OBJECT
public:
    using TPlotCustomToolSeries::TPlotCustomToolSeries;
};

namespace {

// Each test starts from a fresh, empty registry and leaves the registry as
// the library's start-up made it.
class Registry : public ::testing::Test {
protected:
    void SetUp() override
    {
        FinalizePlotRegistry();
        InitializePlotRegistry();
    }
    void TearDown() override
    {
        UnRegisterPlotSeries({&TRegTestSeriesA::staticMetaObject, &TRegTestSeriesB::staticMetaObject,
                              &TRegTestPickySeries::staticMetaObject});
        UnRegisterPlotFunctions({&TRegTestFunction::staticMetaObject});
        FinalizePlotRegistry();
        InitializePlotRegistry();
        RegisterStandardSeries();
        RegisterMapSeries();
        RegisterBasicFunctions();
    }
};

QString TextA = "Series A";
QString TextB = "Series B";
QString TextF = "Function F";
QString PageX = "Page X";

QStringList Descriptions()
{
    QStringList Result;
    if (TPlotSeriesTypes* Types = PlotSeriesTypes())
        for (int I = 0; I < Types->Count(); ++I)
            Result << Types->Items(I)->DescriptionText();
    return Result;
}

TEST_F(Registry, SeriesTypeListIsCreatedByTheFirstRegistration)
{
    EXPECT_EQ(PlotSeriesTypes(), nullptr);
    RegisterPlotSeries<TRegTestSeriesA>(&TextA, &PageX, 3);
    ASSERT_NE(PlotSeriesTypes(), nullptr);
    const TPlotSeriesType* E = PlotSeriesTypes()->Items(0);
    EXPECT_EQ(E->SeriesClass, &TRegTestSeriesA::staticMetaObject);
    EXPECT_EQ(E->FunctionClass, nullptr);
    EXPECT_EQ(E->GalleryPageText(), "Page X");
    EXPECT_EQ(E->NumGallerySeries, 3);
    EXPECT_NE(GetClass("TRegTestSeriesA"), nullptr);
    EXPECT_THROW(PlotSeriesTypes()->Items(1), ERangeError);
    EXPECT_THROW(PlotSeriesTypes()->Items(-1), ERangeError);
}

TEST_F(Registry, RegistrationOrderDuplicatesAndFunctionEntries)
{
    RegisterPlotStandardSeries<TRegTestSeriesA>(&TextA);
    RegisterPlotSeries<TRegTestSeriesB>(&TextB, &PageX, 1);
    RegisterPlotStandardSeries<TRegTestSeriesA>(&TextA); // same class again: one entry
    RegisterPlotSeriesType(PlotClass<TRegTestSeriesA>(), PlotClass<TRegTestFunction>(), &TextF, &PageX, 1);
    RegisterPlotBasicFunction<TRegTestFunction>(&TextF);
    ASSERT_EQ(PlotSeriesTypes()->Count(), 4);
    EXPECT_EQ(Descriptions(), (QStringList{"Series A", "Series B", "Function F", "Function F"}));
    EXPECT_EQ(PlotSeriesTypes()->Items(0)->GalleryPageText(), PlotMsg_GalleryStandard);
    EXPECT_EQ(PlotSeriesTypes()->Items(0)->NumGallerySeries, 2);
    EXPECT_EQ(PlotSeriesTypes()->Items(3)->SeriesClass, nullptr);
    EXPECT_EQ(PlotSeriesTypes()->Items(3)->GalleryPageText(), PlotMsg_GalleryStandard);
    EXPECT_EQ(PlotSeriesTypes()->Find(&TRegTestSeriesA::staticMetaObject), PlotSeriesTypes()->Items(0));
}

TEST_F(Registry, DescriptionsAreReadThroughTheReference)
{
    QString Text = "Before";
    RegisterPlotSeries<TRegTestSeriesA>(&Text, &PageX, 1);
    TRegTestSeriesA S;
    EXPECT_EQ(GetGallerySeriesName(&S), "Before");
    Text = "After";
    EXPECT_EQ(GetGallerySeriesName(&S), "After");
    EXPECT_EQ(PlotSeriesTypes()->Items(0)->DescriptionText(), "After");
}

TEST_F(Registry, GalleryNameFallsBackToTheClassName)
{
    RegisterPlotSeriesType(PlotClass<TRegTestSeriesB>(), PlotClass<TRegTestFunction>(), &TextF, &PageX, 1);
    TRegTestSeriesB B;
    EXPECT_EQ(GetGallerySeriesName(&B), "TRegTestSeriesB");
    EXPECT_EQ(GetGallerySeriesName(nullptr), "");
}

TEST_F(Registry, UnregisteringRemovesEveryEntryOfTheClass)
{
    UnRegisterPlotSeries({&TRegTestSeriesA::staticMetaObject}); // no list yet: nothing
    RegisterPlotSeries<TRegTestSeriesA>(&TextA, &PageX, 1);
    RegisterPlotSeriesType(PlotClass<TRegTestSeriesA>(), PlotClass<TRegTestFunction>(), &TextF, &PageX, 1);
    RegisterPlotSeries<TRegTestSeriesB>(&TextB, &PageX, 1);
    RegisterPlotFunction<TRegTestFunction>(&TextF, &PageX, 1);
    UnRegisterPlotFunctions({&TRegTestFunction::staticMetaObject});
    EXPECT_EQ(Descriptions(), (QStringList{"Series A", "Series B"}));
    UnRegisterPlotSeries({&TRegTestSeriesA::staticMetaObject});
    EXPECT_EQ(Descriptions(), QStringList{"Series B"});
}

TEST_F(Registry, ToolTypes)
{
    ASSERT_NE(PlotToolTypes(), nullptr);
    RegisterPlotTools({PlotClass<TRegTestTool>(), PlotClass<TRegTestSeriesTool>(), PlotClass<TRegTestTool>()});
    ASSERT_EQ(PlotToolTypes()->Count(), 2);
    EXPECT_EQ(PlotToolTypes()->Items(0), &TRegTestTool::staticMetaObject);
    EXPECT_EQ(PlotToolTypes()->Items(1), &TRegTestSeriesTool::staticMetaObject);
    EXPECT_NE(GetClass("TRegTestSeriesTool"), nullptr);
    EXPECT_THROW(PlotToolTypes()->Items(2), ERangeError);
    UnRegisterPlotTools({&TRegTestTool::staticMetaObject});
    ASSERT_EQ(PlotToolTypes()->Count(), 1);
    EXPECT_EQ(PlotToolTypes()->Items(0), &TRegTestSeriesTool::staticMetaObject);
}

TEST_F(Registry, TheEngineStartUpRegistersTheStandardSeries)
{
    // The suite's start-up ran it once: stop the engine, then start it.
    FinalizePlotEngine();
    EXPECT_EQ(PlotSeriesTypes(), nullptr);
    InitializePlotEngine();
    ASSERT_NE(PlotSeriesTypes(), nullptr);
    const TPlotSeriesType* E = PlotSeriesTypes()->Find(&TFastLineSeries::staticMetaObject);
    ASSERT_NE(E, nullptr);
    EXPECT_EQ(E->DescriptionText(), PlotMsg_GalleryFastLine);
    EXPECT_EQ(E->GalleryPageText(), PlotMsg_GalleryStandard);
    // In gallery order, the standard page first, then the map series on the
    // extended page; the line is known by name (stored line appearances
    // look it up).
    QStringList Names;
    int Functions = 0;
    for (int I = 0; I < PlotSeriesTypes()->Count(); ++I) {
        const TPlotSeriesType* Entry = PlotSeriesTypes()->Items(I);
        const bool IsMap = Entry->SeriesClass == &TMapSeries::staticMetaObject;
        EXPECT_EQ(Entry->GalleryPageText(), IsMap ? PlotMsg_GalleryExtended : PlotMsg_GalleryStandard);
        if (Entry->SeriesClass)
            Names << TPersistent::ClassNameOf(*Entry->SeriesClass);
        else
            ++Functions;
    }
    // Exactly one entry of each of the nine, in the gallery's order, then
    // the map series.
    EXPECT_EQ(Names, (QStringList{"TLineSeries", "TBarSeries", "THorizBarSeries", "TAreaSeries", "TPointSeries",
                                  "TPieSeries", "TFastLineSeries", "THorizLineSeries", "THorizAreaSeries",
                                  "TMapSeries"}));
    RegisterStandardSeries(); // again: nothing changes
    RegisterMapSeries();
    int Plain = 0;
    for (int I = 0; I < PlotSeriesTypes()->Count(); ++I)
        Plain += PlotSeriesTypes()->Items(I)->SeriesClass ? 1 : 0;
    EXPECT_EQ(Plain, 10);
    EXPECT_EQ(PlotSeriesTypes()->Find(&THorizBarSeries::staticMetaObject)->DescriptionText(),
              QString("Horizontal") + QChar(13) + "Bar");
    EXPECT_EQ(PlotSeriesTypes()->Find(&TPieSeries::staticMetaObject)->NumGallerySeries, 1);
    EXPECT_EQ(Functions, 10); // the basic functions
    TLineSeries Line;
    EXPECT_EQ(GetGallerySeriesName(&Line), "Line");
    EXPECT_NE(GetClass("TLineSeries"), nullptr);
    EXPECT_EQ(ColorPalettes().size(), 10);
    FinalizePlotEngine();
    EXPECT_EQ(PlotSeriesTypes(), nullptr);
    EXPECT_EQ(GetClass("TFastLineSeries"), nullptr);
    EXPECT_EQ(GetClass("TMapSeries"), nullptr);
    InitializePlotEngine();
}

// --- Streaming ---

// A chart file creates its series, functions and tools by class name. The
// picture tool is the engine's own and charts made in code hold it (the
// section charts do), so the engine's start-up alone makes it readable.
TEST(RegistryStreaming, EveryListedClassAndThePictureToolAreCreatedByName)
{
    std::vector<const QMetaObject*> Classes = test::RegistryClasses();
    EXPECT_EQ(Classes.size(), 20u); // the nine standard series, the map, the ten basic functions
    Classes.push_back(&TChartImageTool::staticMetaObject);
    TChart Owner;
    test::ExpectCreatedByName(Classes, Owner);
}

// Unregistering a type takes back the streaming registration it made; a
// class its own unit registered (the engine's picture tool, which the tools
// layer lists among its tool types) stays until that unit's shutdown.
TEST_F(Registry, UnregisteringATypeTakesBackTheStreamingRegistrationItMade)
{
    RegisterPlotTools({PlotClass<TRegTestTool>(), PlotClass<TChartImageTool>()});
    RegisterPlotFunction<TRegTestFunction>(&TextF, &PageX, 1);
    RegisterPlotSeries<TRegTestSeriesA>(&TextA, &PageX, 1);
    for (const char* Name : {"TRegTestTool", "TChartImageTool", "TRegTestFunction", "TRegTestSeriesA"})
        ASSERT_NE(GetClass(Name), nullptr) << Name;
    UnRegisterPlotTools({&TRegTestTool::staticMetaObject, &TChartImageTool::staticMetaObject});
    UnRegisterPlotFunctions({&TRegTestFunction::staticMetaObject});
    UnRegisterPlotSeries({&TRegTestSeriesA::staticMetaObject});
    EXPECT_EQ(PlotToolTypes()->Count(), 0);
    for (const char* Name : {"TRegTestTool", "TRegTestFunction", "TRegTestSeriesA"})
        EXPECT_EQ(GetClass(Name), nullptr) << Name;
    EXPECT_NE(GetClass("TChartImageTool"), nullptr);
    // The suite's start-up ran the engine's once: stop it, then start it.
    FinalizePlotEngine();
    EXPECT_EQ(GetClass("TChartImageTool"), nullptr);
    InitializePlotEngine();
    EXPECT_NE(GetClass("TChartImageTool"), nullptr);
}

// --- Palettes ---

TEST_F(Registry, PaletteNamesAndColours)
{
    EXPECT_EQ(ColorPalettes(), (QStringList{"VudEvevu", "Excel", "Victorian", "Pastels", "Solid", "Classic", "Web",
                                            "Modern", "Rainbow", "Win. XP"}));
    struct Row {
        int Index;
        size_t Count;
        TColor First, Last;
    };
    const std::vector<Row> Rows{{1, 22, 0xFF9999, 0xCC99FF}, {2, 11, 0xA1A55D, 0x846401}, {3, 14, 0xFFFFCC, 0xCCFFCC},
                                {4, 8, 0xFF0000, 0xFFFFFF},  {5, 12, 0xFF0000, 0x008080}, {6, 9, 0x00A5FF, 0x408080},
                                {7, 14, 0x6699FF, 0xFFCCCC}, {8, 25, 0x000099, 0xFF00CC}, {9, 13, 0xFE9B82, 0x7B715F}};
    for (const Row& R : Rows) {
        const std::vector<TColor> C = ColorPaletteColors(R.Index);
        ASSERT_EQ(C.size(), R.Count) << R.Index;
        EXPECT_EQ(C.front(), R.First) << R.Index;
        EXPECT_EQ(C.back(), R.Last) << R.Index;
    }
    EXPECT_TRUE(ColorPaletteColors(0).empty());
    EXPECT_TRUE(ColorPaletteColors(10).empty());
    EXPECT_TRUE(ColorPaletteColors(-1).empty());
}

TEST_F(Registry, ApplyingAPaletteRecoloursAutomaticSeries)
{
    TChart Chart;
    auto* A = new TRegTestSeriesA(&Chart);
    auto* B = new TRegTestSeriesA(&Chart);
    Chart.AddSeries(A);
    Chart.AddSeries(B);
    const TColor DefaultA = A->GetSeriesColor();
    EXPECT_EQ(DefaultA, GetPaletteColor(0));
    ApplyChartPalette(Chart, 8);
    EXPECT_EQ(Chart.ColorPaletteIndex(), 8);
    EXPECT_EQ(Chart.ColorPalette(), ColorPaletteColors(8));
    EXPECT_EQ(A->GetSeriesColor(), TColor(0x000099));
    EXPECT_EQ(B->GetSeriesColor(), TColor(0x0000C3));
    // Back to palette 0: the default palette again.
    ApplyChartPalette(Chart, 0);
    EXPECT_EQ(Chart.ColorPaletteIndex(), 0);
    EXPECT_TRUE(Chart.ColorPalette().empty());
    EXPECT_EQ(A->GetSeriesColor(), DefaultA);
    EXPECT_EQ(B->GetSeriesColor(), GetPaletteColor(1));
    // An unknown index clears the chart's palette too.
    Chart.SetColorPaletteIndex(3);
    EXPECT_EQ(Chart.ColorPalette().size(), 14u);
    Chart.SetColorPaletteIndex(42);
    EXPECT_TRUE(Chart.ColorPalette().empty());
}

TEST_F(Registry, SetChartPaletteKeepsExplicitColours)
{
    TChart Chart;
    auto* A = new TRegTestSeriesA(&Chart);
    auto* B = new TRegTestSeriesA(&Chart);
    Chart.AddSeries(A);
    Chart.AddSeries(B);
    A->SetSeriesColor(clPurple);
    SetChartPalette(Chart, {clGreen, clBlue});
    EXPECT_EQ(A->GetSeriesColor(), clPurple);
    EXPECT_EQ(B->GetSeriesColor(), clGreen);
    SetChartPalette(Chart, {});
    EXPECT_TRUE(Chart.ColorPalette().empty());
}

// --- Creating, cloning, replacing ---

TEST_F(Registry, CreateNewSeriesNamesAndOwners)
{
    RegisterPlotSeries<TRegTestSeriesA>(&TextA, &PageX, 1);
    RegisterPlotFunction<TRegTestFunction>(&TextF, &PageX, 1);
    TComponent Form;
    TChart* Chart = new TChart(&Form);
    TChartSeries* S1 = CreateNewSeries(&Form, Chart, &TRegTestSeriesA::staticMetaObject);
    TChartSeries* S2 = CreateNewSeries(&Form, Chart, &TRegTestSeriesA::staticMetaObject);
    EXPECT_EQ(S1->Name(), "Series1");
    EXPECT_EQ(S2->Name(), "Series2");
    EXPECT_EQ(S1->Owner(), &Form);
    EXPECT_EQ(S1->ParentChart(), Chart);
    EXPECT_EQ(Chart->SeriesCount(), 2);
    // Freeing Series1 frees its name for the next one.
    delete S1;
    TChartSeries* S3 = CreateNewSeries(&Form, Chart, &TRegTestSeriesA::staticMetaObject, &TRegTestFunction::staticMetaObject);
    EXPECT_EQ(S3->Name(), "Series1");
    ASSERT_NE(S3->SeriesFunction(), nullptr);
    EXPECT_EQ(S3->SeriesFunction()->Name(), "PlotFunction1");
    EXPECT_EQ(S3->SeriesFunction()->Owner(), &Form);
    // Without an owner the chart owns it.
    TChartSeries* S4 = CreateNewSeries(nullptr, Chart, &TRegTestSeriesA::staticMetaObject);
    EXPECT_EQ(S4->Owner(), Chart);
    EXPECT_EQ(S4->Name(), "Series1");
    // Now that the chart owns one of its series, it owns the next one too.
    TChartSeries* S5 = CreateNewSeries(&Form, Chart, &TRegTestSeriesA::staticMetaObject);
    EXPECT_EQ(S5->Owner(), Chart);
    EXPECT_EQ(S5->Name(), "Series2");
    // An unregistered class cannot be created.
    EXPECT_THROW(CreateNewSeries(&Form, Chart, &TRegTestUnregistered::staticMetaObject), EClassNotFound);
}

TEST_F(Registry, CloneKeepsDataAndAppearance)
{
    RegisterPlotSeries<TFastLineSeries>(&TextA, &PageX, 1);
    TComponent Form;
    TChart* Chart = new TChart(&Form);
    auto* S = static_cast<TFastLineSeries*>(CreateNewSeries(&Form, Chart, &TFastLineSeries::staticMetaObject));
    S->AddXY(1, 2, "a");
    S->AddXY(3, 4, "b");
    S->SetSeriesColor(clPurple);
    S->SetStairs(true);
    S->LinePen()->SetWidth(3);
    S->SetTitle("Well");
    auto* C = qobject_cast<TFastLineSeries*>(CloneChartSeries(S));
    ASSERT_NE(C, nullptr);
    EXPECT_EQ(C->Name(), "Series2");
    EXPECT_EQ(C->ParentChart(), Chart);
    EXPECT_EQ(C->Count(), 2);
    EXPECT_EQ(C->YValues()->Value(1), 4);
    EXPECT_EQ(C->SeriesColor(), clPurple);
    EXPECT_TRUE(C->Stairs());
    EXPECT_EQ(C->LinePen()->Width(), 3);
    EXPECT_EQ(C->Title(), "Well");
    TChart Other;
    TChartSeries* D = CloneChartSeries(S, &Form, &Other);
    EXPECT_EQ(D->ParentChart(), &Other);
    EXPECT_EQ(D->Count(), 2);
}

TEST_F(Registry, ChangeSeriesTypeKeepsDataAppearancePlaceNameEventsAndTools)
{
    RegisterPlotSeries<TFastLineSeries>(&TextA, &PageX, 1);
    RegisterPlotSeries<TRegTestSeriesA>(&TextB, &PageX, 1);
    TComponent Form;
    TChart* Chart = new TChart(&Form);
    TChartSeries* First = CreateNewSeries(&Form, Chart, &TRegTestSeriesA::staticMetaObject);
    TChartSeries* S = CreateNewSeries(&Form, Chart, &TRegTestSeriesA::staticMetaObject);
    TChartSeries* Last = CreateNewSeries(&Form, Chart, &TRegTestSeriesA::staticMetaObject);
    S->AddXY(1, 5);
    S->AddXY(2, 6);
    S->SetSeriesColor(clTeal);
    S->SetTitle("Profile");
    S->Pen()->SetWidth(2);
    int Clicks = 0;
    S->OnClick = [&](TChartSeries*, int, TMouseButton, TShiftState, int, int) { ++Clicks; };
    auto* Tool = new TRegTestSeriesTool(&Form);
    Tool->SetParentChart(Chart);
    Tool->SetSeries(S);
    // A dependent series fed by S.
    TChartSeries* Dependent = CreateNewSeries(&Form, Chart, &TRegTestSeriesA::staticMetaObject);
    Dependent->SetDataSource(S);
    ASSERT_EQ(Dependent->Count(), 2);

    TChartSeries* Changed = S;
    ChangeSeriesType(Changed, &TFastLineSeries::staticMetaObject);
    auto* Fast = qobject_cast<TFastLineSeries*>(Changed);
    ASSERT_NE(Fast, nullptr);
    EXPECT_EQ(Fast->Name(), "Series2");
    EXPECT_EQ(Chart->SeriesList().IndexOf(Fast), 1);
    EXPECT_EQ(Chart->Series(0), First);
    EXPECT_EQ(Chart->Series(2), Last);
    EXPECT_EQ(Chart->SeriesCount(), 4);
    EXPECT_EQ(Fast->Count(), 2);
    EXPECT_EQ(Fast->YValues()->Value(0), 5);
    EXPECT_EQ(Fast->SeriesColor(), clTeal);
    EXPECT_EQ(Fast->Title(), "Profile");
    EXPECT_EQ(Fast->LinePen()->Width(), 2);
    EXPECT_EQ(Tool->Series(), Fast);
    EXPECT_EQ(Dependent->DataSource(), Fast);
    ASSERT_TRUE(Fast->OnClick);
    Fast->OnClick(Fast, 0, mbLeft, {}, 0, 0);
    EXPECT_EQ(Clicks, 1);
    // The same class again changes nothing.
    TChartSeries* Same = Changed;
    ChangeSeriesType(Same, &TFastLineSeries::staticMetaObject);
    EXPECT_EQ(Same, Changed);
    // The dependent follows later changes of the new series.
    Fast->AddXY(3, 7);
    EXPECT_EQ(Dependent->Count(), 3);
}

// The series of each group of Chart, group by group.
std::vector<std::vector<TChartSeries*>> RegTestGroups(const TCustomAxisPanel& Chart)
{
    std::vector<std::vector<TChartSeries*>> Groups;
    const TSeriesGroups& All = Chart.SeriesList().Groups();
    for (int G = 0; G < All.Count(); ++G)
        Groups.emplace_back(All.Items(G)->Series().begin(), All.Items(G)->Series().end());
    return Groups;
}

// Guards a change of type dropping the changed series from its groups: the
// new series stands where the old one stood in each group that held it.
TEST_F(Registry, ChangeSeriesTypeKeepsThePlaceInEachGroup)
{
    RegisterPlotSeries<TFastLineSeries>(&TextA, &PageX, 1);
    RegisterPlotSeries<TRegTestSeriesA>(&TextB, &PageX, 1);
    TChart Chart;
    TChartSeries* A = CreateNewSeries(&Chart, &Chart, &TRegTestSeriesA::staticMetaObject);
    TChartSeries* S = CreateNewSeries(&Chart, &Chart, &TRegTestSeriesA::staticMetaObject);
    TChartSeries* C = CreateNewSeries(&Chart, &Chart, &TRegTestSeriesA::staticMetaObject);
    const std::vector<std::vector<TChartSeries*>> Before{{A, S, C}, {C, S}, {A}};
    for (const std::vector<TChartSeries*>& Members : Before) {
        TSeriesGroup* Group = Chart.SeriesList().AddGroup(QStringLiteral("Group"));
        for (TChartSeries* Member : Members)
            Group->Series().Add(Member);
    }

    TChartSeries* Changed = S;
    ChangeSeriesType(Changed, &TFastLineSeries::staticMetaObject);
    ASSERT_NE(qobject_cast<TFastLineSeries*>(Changed), nullptr);
    const std::vector<std::vector<TChartSeries*>> Expected{{A, Changed, C}, {C, Changed}, {A}};
    EXPECT_EQ(RegTestGroups(Chart), Expected);
    EXPECT_EQ(Chart.SeriesList().Groups().IndexOfSeries(Changed), 0);
    // Deactivating a group reaches the new series.
    Chart.SeriesList().Groups().Items(1)->SetActive(gaNo);
    EXPECT_FALSE(Changed->Active());
}

// The Y values of a series' points, in index order.
std::vector<double> RegTestYValues(const TChartSeries& Series)
{
    std::vector<double> Values;
    for (int I = 0; I < Series.Count(); ++I)
        Values.push_back(Series.YValues()->Value(I));
    return Values;
}

// A change of type keeps only the links the chart's source test accepts,
// in both directions, and names the ones it dropped: a source the new kind
// refuses (another accepted source then feeds it), and a dependent that
// refuses the new kind (it keeps its points as its own).
TEST_F(Registry, ChangeSeriesTypeDropsTheSourceLinksTheChartRefuses)
{
    RegisterPlotSeries<TRegTestSeriesA>(&TextA, &PageX, 1);
    RegisterPlotSeries<TRegTestPickySeries>(&TextB, &PageX, 1);
    TChart Chart;
    const auto Add = [&Chart](const QMetaObject* Class, std::initializer_list<double> Values) {
        TChartSeries* Series = CreateNewSeries(&Chart, &Chart, Class);
        double X = 0;
        for (const double Value : Values)
            Series->AddXY(X++, Value);
        return Series;
    };
    TChartSeries* Plain = Add(&TRegTestSeriesA::staticMetaObject, {1, 2, 3});
    TChartSeries* Picky = Add(&TRegTestPickySeries::staticMetaObject, {7, 8});
    TChartSeries* Changed = Add(&TRegTestSeriesA::staticMetaObject, {});
    Changed->DataSources().Add(Plain);
    Changed->DataSources().Add(Picky);
    ASSERT_EQ(RegTestYValues(*Changed), (std::vector<double>{1, 2, 3}));

    TDroppedSourceLinks Dropped = ChangeSeriesType(Changed, &TRegTestPickySeries::staticMetaObject);
    ASSERT_EQ(Dropped.size(), 1u);
    EXPECT_EQ(Dropped[0].Series, QStringLiteral("Series3"));
    EXPECT_EQ(Dropped[0].Source, QStringLiteral("Series1"));
    ASSERT_EQ(Changed->DataSources().Count(), 1);
    EXPECT_EQ(Changed->DataSource(), Picky);
    EXPECT_EQ(Plain->LinkedSeries().Count(), 0);
    EXPECT_EQ(RegTestYValues(*Changed), (std::vector<double>{7, 8})) << "filled from the source it kept";

    TChartSeries* Fed = Add(&TRegTestPickySeries::staticMetaObject, {});
    Fed->SetDataSource(Changed);
    ASSERT_EQ(RegTestYValues(*Fed), (std::vector<double>{7, 8}));
    Dropped = ChangeSeriesType(Changed, &TRegTestSeriesA::staticMetaObject);
    ASSERT_EQ(Dropped.size(), 1u);
    EXPECT_EQ(Dropped[0].Series, QStringLiteral("Series4"));
    EXPECT_EQ(Dropped[0].Source, QStringLiteral("Series3"));
    EXPECT_EQ(Changed->DataSource(), Picky) << "a plain series takes any source";
    EXPECT_EQ(Fed->DataSources().Count(), 0);
    EXPECT_EQ(Changed->LinkedSeries().Count(), 0);
    EXPECT_EQ(RegTestYValues(*Fed), (std::vector<double>{7, 8})) << "the points it held";
    EXPECT_TRUE(Fed->ManualData()) << "its points are its own now";
    // Later changes of the changed series no longer reach it.
    Picky->AddXY(2, 9);
    EXPECT_EQ(Changed->Count(), 3);
    EXPECT_EQ(Fed->Count(), 2);
}

// A change of type whose last step fails (a series fed by the changed one
// refuses the new points) puts back everything the steps before it moved:
// the new series goes, the old one keeps its place, name, function,
// sources, dependents (with their points), groups and tools, and still
// works.
TEST_F(Registry, AChangeOfTypeThatFailsLeavesEverythingAsItWas)
{
    RegisterPlotSeries<TRegTestSeriesA>(&TextA, &PageX, 1);
    RegisterPlotSeries<TRegTestSeriesB>(&TextB, &PageX, 1);
    TChart Chart;
    TChartSeries* Source = CreateNewSeries(&Chart, &Chart, &TRegTestSeriesA::staticMetaObject);
    for (int I = 0; I < 4; ++I)
        Source->AddXY(I, 2 * I);
    TChartSeries* Old = CreateNewSeries(&Chart, &Chart, &TRegTestSeriesA::staticMetaObject,
                                        &TAveragePlotFunction::staticMetaObject);
    Old->SetDataSource(Source);
    TPlotFunction* Function = Old->SeriesFunction();
    auto* Fed = new TRegTestRefusingSeries(&Chart);
    Fed->SetName(QStringLiteral("Fed"));
    Chart.AddSeries(Fed);
    Fed->SetDataSource(Old);
    auto* Tool = new TRegTestSeriesTool(&Chart);
    Tool->SetParentChart(&Chart);
    Tool->SetSeries(Old);
    const std::vector<double> OldPoints = RegTestYValues(*Old);
    ASSERT_FALSE(OldPoints.empty());
    ASSERT_EQ(RegTestYValues(*Fed), OldPoints);

    TSeriesGroup* Group = Chart.SeriesList().AddGroup(QStringLiteral("Both"));
    Group->Series().Add(Fed);
    Group->Series().Add(Old);
    const std::vector<std::vector<TChartSeries*>> Groups = RegTestGroups(Chart);

    TChartSeries* Changed = Old;
    TRegTestRefusingSeries::RefusedAdds = 1;
    EXPECT_THROW(ChangeSeriesType(Changed, &TRegTestSeriesB::staticMetaObject), ChartException);
    TRegTestRefusingSeries::RefusedAdds = 0;
    EXPECT_EQ(RegTestGroups(Chart), Groups);

    EXPECT_EQ(Changed, Old);
    ASSERT_EQ(Chart.SeriesCount(), 3);
    EXPECT_EQ(Chart.Series(0), Source);
    EXPECT_EQ(Chart.Series(1), Old);
    EXPECT_EQ(Chart.Series(2), Fed);
    EXPECT_EQ(Old->Name(), QStringLiteral("Series2"));
    EXPECT_EQ(Old->SeriesFunction(), Function);
    EXPECT_EQ(Function->ParentSeries(), Old);
    ASSERT_EQ(Old->DataSources().Count(), 1);
    EXPECT_EQ(Old->DataSource(), Source);
    ASSERT_EQ(Source->LinkedSeries().Count(), 1);
    EXPECT_EQ(Source->LinkedSeries()[0], Old);
    ASSERT_EQ(Old->LinkedSeries().Count(), 1);
    EXPECT_EQ(Old->LinkedSeries()[0], Fed);
    EXPECT_EQ(Fed->DataSource(), Old);
    EXPECT_FALSE(Fed->ManualData());
    EXPECT_EQ(RegTestYValues(*Old), OldPoints);
    EXPECT_EQ(RegTestYValues(*Fed), OldPoints) << "refilled from the old series";
    EXPECT_EQ(Tool->Series(), Old);
    // Still calculated from its source, and still feeding its dependent.
    Source->AddXY(4, 100);
    Source->RefreshSeries();
    EXPECT_NE(RegTestYValues(*Old), OldPoints);
    EXPECT_EQ(RegTestYValues(*Fed), RegTestYValues(*Old));
}

TEST_F(Registry, ReplaceSeriesWithItselfDoesNothing)
{
    TChart Chart;
    auto* S = new TRegTestSeriesA(&Chart);
    Chart.AddSeries(S);
    TChartSeries* A = S;
    TChartSeries* B = S;
    ReplaceSeries(A, B);
    EXPECT_EQ(Chart.SeriesCount(), 1);
    EXPECT_EQ(A, S);
}

TEST_F(Registry, PaintSeriesLegendDrawsIntoTheGivenCanvas)
{
    TFastLineSeries Alone;
    Alone.SetSeriesColor(clRed);
    TRecordingDC DC{100, 100};
    TCanvas Target{&DC};
    PaintSeriesLegend(&Alone, &Target, TRect{0, 0, 20, 10});
    EXPECT_EQ(Alone.ParentChart(), nullptr);
    const QString Calls = DC.Calls().join(' ');
    EXPECT_TRUE(Calls.contains("0 5") || Calls.contains("MoveTo(0,5)")) << Calls.toStdString();
    // On a series of a chart, the chart's canvas is bound again afterwards.
    TChart Chart;
    auto* S = new TFastLineSeries(&Chart);
    Chart.AddSeries(S);
    TCanvas* Before = Chart.Canvas().ReferenceCanvas();
    DC.ClearCalls();
    PaintSeriesLegend(S, &Target, TRect{0, 0, 20, 10}, &Chart);
    EXPECT_FALSE(DC.Calls().isEmpty());
    EXPECT_EQ(Chart.Canvas().ReferenceCanvas(), Before);
    EXPECT_EQ(S->ParentChart(), &Chart);
}

} // namespace
} // namespace lp

#include "PlotRegistry_test.moc"
