// What a user sets comes back from the chart file: for every registered
// series kind the settings of its Marks tab, the date-time, order and value
// source of its value lists, its pen and fill where it has them, and the
// chart's print margins; for every registered tool and function each of the
// settings it publishes. Each setting is made through the object's own
// setters, the chart is saved binary and text and read into a fresh chart,
// and each setting is compared through its own getter. The names of the
// lists, pens and published settings come from the stored-names table (the
// names each class publishes by its design), not from what the writer walks.

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotSeriesLists.h"
#include "chart/engine/PlotTitles.h"
#include "chart/extensions/points3d/PlotPoint3DSeries.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotTools.h"
#include "platform/core/ClassRegistry.h"
#include "ExportTestUtil.h"
#include "RoundTripSettings.h"
#include "StoredNamesTable.h"
#include "StoredNamesWalk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace lp {
namespace {

const test::TStoredNamesRow* SettingsRow(const QObject* Object)
{
    const QString Class = test::WalkClassName(Object);
    const std::vector<test::TStoredNamesRow>& Table = test::StoredNamesTable();
    const auto Row = std::find_if(Table.begin(), Table.end(),
                                  [&](const test::TStoredNamesRow& R) { return Class == QLatin1String(R.ClassName); });
    return Row == Table.end() ? nullptr : &*Row;
}

// The names the row says the class stores: its design's names with the
// deviations applied.
std::vector<QByteArray> SettingsNames(const test::TStoredNamesRow& Row)
{
    std::vector<QByteArray> Names;
    for (const char* Name : Row.Published)
        Names.emplace_back(Name);
    for (const test::TStoredNameDeviation& Deviation : Row.Deviations) {
        const QByteArray Name = QByteArray(Deviation.Name).mid(1);
        if (Deviation.Name[0] == '+')
            Names.push_back(Name);
        else
            Names.erase(std::remove(Names.begin(), Names.end(), Name), Names.end());
    }
    return Names;
}

// The value lists the series stores, by the names its design gives them.
std::vector<std::pair<QByteArray, TChartValueList*>> StoredValueLists(TChartSeries& Series)
{
    std::vector<std::pair<QByteArray, TChartValueList*>> Lists;
    const test::TStoredNamesRow* Row = SettingsRow(&Series);
    if (!Row)
        return Lists;
    for (const QByteArray& Name : SettingsNames(*Row))
        if (auto* List = qobject_cast<TChartValueList*>(test::RoundTripPointed(Series.property(Name.constData()))))
            Lists.emplace_back(Name, List);
    return Lists;
}

bool RowHas(const QObject* Object, const char* Name)
{
    const test::TStoredNamesRow* Row = SettingsRow(Object);
    if (!Row)
        return false;
    const std::vector<QByteArray> Names = SettingsNames(*Row);
    return std::find(Names.begin(), Names.end(), QByteArray(Name)) != Names.end();
}

// Each setting of the Marks tab away from where the series starts it.
void ChangeMarks(TSeriesMarks& Marks)
{
    Marks.SetVisible(!Marks.Visible());
    Marks.SetStyle(Marks.Style() == TSeriesMarks::smsXY ? TSeriesMarks::smsValue : TSeriesMarks::smsXY);
    Marks.SetClip(!Marks.Clip());
    Marks.SetAngle(45);
    Marks.SetDrawEvery(3);
    Marks.SetMultiLine(!Marks.MultiLine());
    Marks.Callout()->SetLength(Marks.Callout()->Length() + 7);
    Marks.Callout()->SetDistance(Marks.Callout()->Distance() + 5);
    Marks.Callout()->SetArrowHead(TCallout::ahSolid);
    Marks.Pen()->SetWidth(Marks.Pen()->Width() + 2);
    Marks.Font()->SetSize(Marks.Font()->Size() + 5);
    Marks.Brush()->SetColor(0x123456);
    Marks.Gradient()->SetVisible(!Marks.Gradient()->Visible());
    Marks.Shadow()->SetHorizSize(Marks.Shadow()->HorizSize() + 4);
    Marks.SetTransparency(30);
    Marks.Items().Item(1).Text().SetText(QStringLiteral("Item one"));
}

QStringList MarksSettings(TSeriesMarks& Marks)
{
    TMarksItem* Item = Marks.Items().Find(1);
    return {QStringLiteral("Marks.Visible %1").arg(Marks.Visible()),
            QStringLiteral("Marks.Style %1").arg(Marks.Style()),
            QStringLiteral("Marks.Clip %1").arg(Marks.Clip()),
            QStringLiteral("Marks.Angle %1").arg(Marks.Angle()),
            QStringLiteral("Marks.DrawEvery %1").arg(Marks.DrawEvery()),
            QStringLiteral("Marks.MultiLine %1").arg(Marks.MultiLine()),
            QStringLiteral("Marks.Callout.Length %1").arg(Marks.Callout()->Length()),
            QStringLiteral("Marks.Callout.Distance %1").arg(Marks.Callout()->Distance()),
            QStringLiteral("Marks.Callout.ArrowHead %1").arg(Marks.Callout()->ArrowHead()),
            QStringLiteral("Marks.Frame.Width %1").arg(Marks.Pen()->Width()),
            QStringLiteral("Marks.Font.Size %1").arg(Marks.Font()->Size()),
            QStringLiteral("Marks.Brush.Color %1").arg(Marks.Brush()->Color()),
            QStringLiteral("Marks.Gradient.Visible %1").arg(Marks.Gradient()->Visible()),
            QStringLiteral("Marks.Shadow.HorizSize %1").arg(Marks.Shadow()->HorizSize()),
            QStringLiteral("Marks.Transparency %1").arg(Marks.Transparency()),
            QStringLiteral("Marks.Items[1] %1").arg(Item && Item->HasText() ? Item->TextList()->Text().trimmed()
                                                                              : QStringLiteral("none"))};
}

// The General tab's DateTime on both lists, Sort on the Y list and the
// function page's value source on the Y list.
void ChangeValueLists(TChartSeries& Series)
{
    for (const auto& [Name, List] : StoredValueLists(Series)) {
        List->SetDateTime(!List->DateTime());
        if (List == Series.YValues()) {
            List->SetOrder(List->Order() == loDescending ? loAscending : loDescending);
            List->SetValueSource(QStringLiteral("High"));
        }
    }
}

QStringList ValueListSettings(TChartSeries& Series)
{
    QStringList Lines;
    for (const auto& [Name, List] : StoredValueLists(Series))
        Lines << QStringLiteral("%1.DateTime %2").arg(QString::fromLatin1(Name)).arg(List->DateTime())
              << QStringLiteral("%1.Order %2").arg(QString::fromLatin1(Name)).arg(List->Order())
              << QStringLiteral("%1.ValueSource %2").arg(QString::fromLatin1(Name), List->ValueSource());
    return Lines;
}

// The pen and fill the kind publishes as Pen and Brush (its element's or
// another it names so: a candle's Pen is its bodies' border), read through
// the published getters.
TChartPen* PublishedPen(TChartSeries& Series)
{
    return RowHas(&Series, "Pen") ? qobject_cast<TChartPen*>(test::RoundTripPointed(Series.property("Pen"))) : nullptr;
}

TChartBrush* PublishedBrush(TChartSeries& Series)
{
    return RowHas(&Series, "Brush") ? qobject_cast<TChartBrush*>(test::RoundTripPointed(Series.property("Brush")))
                                    : nullptr;
}

void ChangePenAndFill(TChartSeries& Series)
{
    if (TChartPen* Pen = PublishedPen(Series)) {
        Pen->SetColor(0x2040C0);
        Pen->SetWidth(Pen->Width() + 2);
    }
    if (TChartBrush* Brush = PublishedBrush(Series))
        Brush->SetStyle(Brush->Style() == TBrush::bsClear ? TBrush::bsCross : TBrush::bsClear);
}

QStringList PenAndFillSettings(TChartSeries& Series)
{
    QStringList Lines;
    if (TChartPen* Pen = PublishedPen(Series))
        Lines << QStringLiteral("Pen.Color %1").arg(Pen->Color()) << QStringLiteral("Pen.Width %1").arg(Pen->Width());
    if (TChartBrush* Brush = PublishedBrush(Series))
        Lines << QStringLiteral("Brush.Style %1").arg(Brush->Style());
    return Lines;
}

QStringList SeriesSettings(TChartSeries& Series)
{
    return MarksSettings(*Series.Marks()) + ValueListSettings(Series) + PenAndFillSettings(Series);
}

QStringList MarginSettings(const TCustomChart& Chart)
{
    const TRect M = Chart.PrintMargins();
    return {QStringLiteral("PrintMargins %1 %2 %3 %4").arg(M.Left).arg(M.Top).arg(M.Right).arg(M.Bottom),
            QStringLiteral("PrintProportional %1").arg(Chart.PrintProportional())};
}

// The chart as saved (binary or text) and read into a fresh chart.
std::unique_ptr<TChart> SettingsReopened(TChart& Chart, bool Text)
{
    auto Reopened = std::make_unique<TChart>();
    Reopened->SetBounds(0, 0, 500, 400);
    test::ReadChartFileExpectingNoError(*Reopened, test::SaveChartFile(Chart, Text));
    return Reopened;
}

TEST(ChartFileSettings, EverySeriesKindKeepsItsMarksListsPenFillAndTheChartsMargins)
{
    const std::vector<TChartSeriesClass> Kinds = test::EveryRegisteredSeriesKind();
    ASSERT_GT(Kinds.size(), 50u);
    for (TChartSeriesClass Kind : Kinds) {
        SCOPED_TRACE(Kind->className());
        TChart Chart;
        Chart.SetBounds(0, 0, 500, 400);
        TChartSeries* Series = CreateNewSeries(nullptr, &Chart, Kind);
        Series->FillSampleValues(6);
        const QStringList Before = SeriesSettings(*Series);
        ChangeMarks(*Series->Marks());
        ChangeValueLists(*Series);
        ChangePenAndFill(*Series);
        Chart.SetPrintProportional(false);
        Chart.SetPrintMargins({7, 8, 9, 10});
        const QStringList Set = SeriesSettings(*Series) + MarginSettings(Chart);
        EXPECT_TRUE(SeriesSettings(*Series) != Before);

        for (const bool Text : {false, true}) {
            SCOPED_TRACE(Text ? "text file" : "binary file");
            const std::unique_ptr<TChart> Reopened = SettingsReopened(Chart, Text);
            ASSERT_EQ(Reopened->SeriesCount(), 1);
            const QStringList Read = SeriesSettings(*Reopened->Series(0)) + MarginSettings(*Reopened);
            EXPECT_TRUE(Read == Set) << test::RoundTripDifference(Set, Read).toStdString();
        }
    }
}

// Each published setting of an object and of its sub-objects, read through
// its getter, by the names the stored-names table gives the object's class;
// links by the name of what they point at.
void PublishedSettings(QObject* Object, const QString& Prefix, QStringList& Lines, int Depth = 0)
{
    const test::TStoredNamesRow* Row = Object && Depth < 6 ? SettingsRow(Object) : nullptr;
    if (!Row)
        return;
    for (const QByteArray& Name : SettingsNames(*Row)) {
        const int Index = Object->metaObject()->indexOfProperty(Name.constData());
        if (Index < 0)
            continue; // stored by another route (a point block, a list of names)
        const QMetaProperty Property = Object->metaObject()->property(Index);
        const QString Path = Prefix + QString::fromLatin1(Name);
        const QVariant Value = Property.read(Object);
        QObject* Target = test::RoundTripPointed(Value);
        if (test::RoundTripIsComponentLink(Property)) {
            auto* Linked = qobject_cast<TComponent*>(Target);
            Lines << Path + QStringLiteral(" -> ") + (Linked ? Linked->Name() : QStringLiteral("nil"));
        } else if (auto* Collection = qobject_cast<TCollection*>(Target)) {
            Lines << Path + QStringLiteral(".Count = %1").arg(Collection->Count());
            for (int I = 0; I < Collection->Count(); ++I)
                PublishedSettings(Collection->Items(I), Path + QStringLiteral("[%1].").arg(I), Lines, Depth + 1);
        } else if (Target) {
            PublishedSettings(Target, Path + QLatin1Char('.'), Lines, Depth + 1);
        } else {
            Lines << Path + QStringLiteral(" = ") +
                         (Property.isEnumType() ? QString::number(Value.toInt()) : Value.toString());
        }
    }
}

QStringList PublishedSettingsOf(QObject* Object)
{
    QStringList Lines;
    PublishedSettings(Object, QString(), Lines);
    return Lines;
}

TEST(ChartFileSettings, EveryToolKeepsEachOfItsSettings)
{
    const TPlotToolTypes& Tools = *PlotToolTypes();
    ASSERT_GT(Tools.Count(), 20);
    test::TRoundTripSettings Settings(20261209);
    for (int I = 0; I < Tools.Count(); ++I) {
        const QString Class = TPersistent::ClassNameOf(*Tools[I]);
        SCOPED_TRACE(Class.toStdString());
        TChart Chart;
        Chart.SetBounds(0, 0, 500, 400);
        TChartSeries* Line = CreateNewSeries(nullptr, &Chart, &TLineSeries::staticMetaObject);
        Line->FillSampleValues(6);
        auto* Tool = qobject_cast<TPlotCustomTool*>(CreateComponent(Class, &Chart));
        ASSERT_NE(Tool, nullptr);
        Tool->SetParentChart(&Chart);
        Tool->SetName(QStringLiteral("Tool1"));
        ASSERT_NE(SettingsRow(Tool), nullptr);
        const QStringList Before = PublishedSettingsOf(Tool);
        Settings.ChangeAll(Tool);
        const QStringList Set = PublishedSettingsOf(Tool);
        EXPECT_TRUE(Set != Before);
        for (const bool Text : {false, true}) {
            SCOPED_TRACE(Text ? "text file" : "binary file");
            const std::unique_ptr<TChart> Reopened = SettingsReopened(Chart, Text);
            ASSERT_EQ(Reopened->Tools().Count(), 1);
            const QStringList Read = PublishedSettingsOf(Reopened->Tools().Items(0));
            EXPECT_TRUE(Read == Set) << test::RoundTripDifference(Set, Read).toStdString();
        }
    }
}

TEST(ChartFileSettings, EveryFunctionKeepsEachOfItsSettings)
{
    const TPlotSeriesTypes& Types = *PlotSeriesTypes();
    test::TRoundTripSettings Settings(20261209);
    int Functions = 0;
    for (int I = 0; I < Types.Count(); ++I) {
        if (!Types[I]->FunctionClass)
            continue;
        ++Functions;
        SCOPED_TRACE(Types[I]->FunctionClass->className());
        TChart Chart;
        Chart.SetBounds(0, 0, 500, 400);
        TChartSeries* Source = CreateNewSeries(nullptr, &Chart, &TLineSeries::staticMetaObject);
        Source->FillSampleValues(20);
        TChartSeriesClass Class = Types[I]->SeriesClass ? Types[I]->SeriesClass : &TLineSeries::staticMetaObject;
        TChartSeries* Series = CreateNewSeries(nullptr, &Chart, Class, Types[I]->FunctionClass);
        if (Chart.IsValidDataSource(Series, Source))
            Series->SetDataSource(Source);
        TPlotFunction* Function = Series->SeriesFunction();
        ASSERT_NE(Function, nullptr);
        ASSERT_NE(SettingsRow(Function), nullptr);
        Settings.ChangeAll(Function);
        const QStringList Set = PublishedSettingsOf(Function);
        for (const bool Text : {false, true}) {
            SCOPED_TRACE(Text ? "text file" : "binary file");
            const std::unique_ptr<TChart> Reopened = SettingsReopened(Chart, Text);
            TChartSeries* Read = nullptr;
            for (int S = 0; S < Reopened->SeriesCount(); ++S)
                if (Reopened->Series(S)->Name() == Series->Name())
                    Read = Reopened->Series(S);
            ASSERT_NE(Read, nullptr);
            ASSERT_NE(Read->SeriesFunction(), nullptr);
            const QStringList ReadSettings = PublishedSettingsOf(Read->SeriesFunction());
            EXPECT_TRUE(ReadSettings == Set) << test::RoundTripDifference(Set, ReadSettings).toStdString();
        }
    }
    EXPECT_GT(Functions, 30);
}


// A colour the user fixes is kept even where it equals the colour the
// series' place in the chart would give it: white on the fifth series and
// black on the sixteenth (the palette's own colours there) came back as
// automatic, and the next save left them out.
TEST(ChartFileSettings, AFixedColourEqualToThePlaceColourStaysFixed)
{
    for (const auto& [Count, Colour] : {std::pair{5, clWhite}, std::pair{16, clBlack}}) {
        SCOPED_TRACE(Count);
        TChart Chart;
        Chart.SetBounds(0, 0, 500, 400);
        for (int I = 0; I < Count; ++I) {
            const QMetaObject* Kind = I == Count - 1 ? &TAreaSeries::staticMetaObject : &TLineSeries::staticMetaObject;
            CreateNewSeries(nullptr, &Chart, Kind)->FillSampleValues(4);
        }
        // Picked in the colour box after another pick: a fixed colour.
        TChartSeries* Last = Chart.Series(Count - 1);
        Last->SetSeriesColor(0x2040C0);
        Last->SetSeriesColor(Colour);
        ASSERT_EQ(Last->SeriesColor(), Colour);
        for (const bool Text : {false, true}) {
            const std::unique_ptr<TChart> Reopened = SettingsReopened(Chart, Text);
            EXPECT_EQ(Reopened->Series(Count - 1)->SeriesColor(), Colour) << (Text ? "text" : "binary");
            const std::unique_ptr<TChart> Again = SettingsReopened(*Reopened, Text);
            EXPECT_EQ(Again->Series(Count - 1)->SeriesColor(), Colour) << (Text ? "text" : "binary");
        }
    }
}

// A pointer gradient that ends in the point's colour keeps its own end
// colour: painting wrote the point's colour into it, so after a series
// before it was deleted the file held the old place's colour and the
// reopened chart's first paint overwrote it with the new one.
TEST(ChartFileSettings, APointerGradientKeepsItsEndColourThroughPaints)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 400, 300);
    TChartSeries* First = CreateNewSeries(nullptr, &Chart, &TLineSeries::staticMetaObject);
    First->FillSampleValues(5);
    auto* Points = qobject_cast<TPoint3DSeries*>(CreateNewSeries(nullptr, &Chart, &TPoint3DSeries::staticMetaObject));
    ASSERT_NE(Points, nullptr);
    Points->FillSampleValues(5);
    Points->Pointer()->Gradient()->SetVisible(true);
    const TColor EndColour = Points->Pointer()->Gradient()->EndColor();
    Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    delete First;
    Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_EQ(Points->Pointer()->Gradient()->EndColor(), EndColour);

    const QByteArray Saved = test::SaveChartFile(Chart, true);
    TChart Reopened;
    Reopened.SetBounds(0, 0, 400, 300);
    test::ReadChartFileExpectingNoError(Reopened, Saved);
    Reopened.CreateBitmap(clWhite, Reopened.GetRectangle());
    auto* Read = qobject_cast<TPoint3DSeries*>(Reopened.Series(0));
    ASSERT_NE(Read, nullptr);
    EXPECT_EQ(Read->Pointer()->Gradient()->EndColor(), EndColour);
    EXPECT_TRUE(test::SaveChartFile(Reopened, true) == Saved);
}

// Series groups were never stored: the groups, their names and their
// series (by name) come back, an empty group too.
TEST(ChartFileSettings, SeriesGroupsComeBackWithTheirSeries)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 400, 300);
    for (int I = 0; I < 3; ++I)
        CreateNewSeries(nullptr, &Chart, &TLineSeries::staticMetaObject)->FillSampleValues(4);
    TSeriesGroup* Wells = Chart.SeriesList().AddGroup(QStringLiteral("Wells"));
    Wells->Series().Add(Chart.Series(2));
    Wells->Series().Add(Chart.Series(0));
    Chart.SeriesList().AddGroup(QStringLiteral("Empty"));
    for (const bool Text : {false, true}) {
        SCOPED_TRACE(Text ? "text file" : "binary file");
        const std::unique_ptr<TChart> Reopened = SettingsReopened(Chart, Text);
        const TSeriesGroups& Groups = Reopened->SeriesList().Groups();
        ASSERT_EQ(Groups.Count(), 2);
        EXPECT_EQ(Groups.Items(0)->Name(), QStringLiteral("Wells"));
        ASSERT_EQ(Groups.Items(0)->Series().Count(), 2);
        EXPECT_EQ(Groups.Items(0)->Series()[0], Reopened->Series(2));
        EXPECT_EQ(Groups.Items(0)->Series()[1], Reopened->Series(0));
        EXPECT_EQ(Groups.Items(1)->Name(), QStringLiteral("Empty"));
        EXPECT_EQ(Groups.Items(1)->Series().Count(), 0);
    }
}

// A group naming a series the file does not hold keeps the others; a file
// without groups read into a chart that has some leaves none.
TEST(ChartFileSettings, GroupsReadOnlyWhatTheFileHolds)
{
    const QByteArray Text = "object TChart\n"
                            "  SeriesGroups = <\n"
                            "    item\n"
                            "      Name = 'Logs'\n"
                            "      Series = ('Series1' 'Missing')\n"
                            "    end>\n"
                            "  object Series1: TLineSeries\n"
                            "  end\n"
                            "end\n";
    TChart Chart;
    test::ReadChartFileExpectingNoError(Chart, Text);
    ASSERT_EQ(Chart.SeriesList().Groups().Count(), 1);
    ASSERT_EQ(Chart.SeriesList().Groups().Items(0)->Series().Count(), 1);
    EXPECT_EQ(Chart.SeriesList().Groups().Items(0)->Series()[0], Chart.Series(0));

    test::ReadChartFileExpectingNoError(Chart, "object TChart\nend\n");
    EXPECT_EQ(Chart.SeriesList().Groups().Count(), 0);
}

// A horizontal area's gradient starts right to left and a pie's circle
// gradient radial and white; a direction changed away from that start, or
// back to the class's top to bottom, comes back, and a file that leaves the
// direction out reads back as the start.
TEST(ChartFileSettings, GradientStartsAreTheReadBackDefaults)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 400, 300);
    auto* Area = qobject_cast<THorizAreaSeries*>(CreateNewSeries(nullptr, &Chart, &THorizAreaSeries::staticMetaObject));
    auto* Pie = qobject_cast<TPieSeries*>(CreateNewSeries(nullptr, &Chart, &TPieSeries::staticMetaObject));
    ASSERT_TRUE(Area && Pie);
    EXPECT_EQ(Area->Gradient()->Direction(), gdRightLeft);
    EXPECT_EQ(Pie->Gradient()->Direction(), TGradientDirections::gdRadial);
    EXPECT_EQ(Pie->Gradient()->StartColor(), clWhite);

    const std::unique_ptr<TChart> Unchanged = SettingsReopened(Chart, true);
    EXPECT_EQ(qobject_cast<THorizAreaSeries*>(Unchanged->Series(0))->Gradient()->Direction(), gdRightLeft);
    EXPECT_EQ(qobject_cast<TPieSeries*>(Unchanged->Series(1))->Gradient()->Direction(), TGradientDirections::gdRadial);

    Area->Gradient()->SetDirection(gdTopBottom);
    Pie->Gradient()->SetDirection(gdTopBottom);
    for (const bool Text : {false, true}) {
        const std::unique_ptr<TChart> Reopened = SettingsReopened(Chart, Text);
        EXPECT_EQ(qobject_cast<THorizAreaSeries*>(Reopened->Series(0))->Gradient()->Direction(), gdTopBottom);
        EXPECT_EQ(qobject_cast<TPieSeries*>(Reopened->Series(1))->Gradient()->Direction(), gdTopBottom);
    }
}

// Names earlier files used are read into today's settings and never
// written again.
TEST(ChartFileSettings, EarlierNamesAreReadIntoTodaysSettings)
{
    const QByteArray Text = "object TChart\n"
                            "  BorderStyle = bsSingle\n"
                            "  AllowZoom = False\n"
                            "  AnimatedZoom = True\n"
                            "  AnimatedZoomSteps = 9\n"
                            "  Title.ShadowColor = clRed\n"
                            "  Title.ShadowSize = 6\n"
                            "end\n";
    TChart Chart;
    test::ReadChartFileExpectingNoError(Chart, Text);
    EXPECT_TRUE(Chart.Border()->Visible());
    EXPECT_FALSE(Chart.Zoom()->Allow());
    EXPECT_TRUE(Chart.Zoom()->Animated());
    EXPECT_EQ(Chart.Zoom()->AnimatedSteps(), 9);
    ASSERT_NE(Chart.Title()->Shadow(), nullptr);
    EXPECT_EQ(Chart.Title()->Shadow()->Color(), clRed);
    EXPECT_EQ(Chart.Title()->Shadow()->HorizSize(), 6);
    const QString Saved = QString::fromUtf8(test::SaveChartFile(Chart, true));
    for (const char* Old : {"BorderStyle", "AllowZoom", "AnimatedZoom", "ShadowColor", "ShadowSize"})
        EXPECT_FALSE(Saved.contains(QLatin1String(Old))) << Old;
}

// Files written before marks, value lists and margins were stored read as
// they did: each series starts as its kind starts it.
TEST(ChartFileSettings, FilesWithoutTheNewNamesReadAsBefore)
{
    const QByteArray Text = "object TChart\n"
                            "  object Series1: TBarSeries\n"
                            "  end\n"
                            "  object Series2: TLineSeries\n"
                            "  end\n"
                            "end\n";
    TChart Chart;
    test::ReadChartFileExpectingNoError(Chart, Text);
    ASSERT_EQ(Chart.SeriesCount(), 2);
    EXPECT_TRUE(Chart.Series(0)->Marks()->Visible());
    EXPECT_FALSE(Chart.Series(1)->Marks()->Visible());
    EXPECT_EQ(Chart.Series(1)->XValues()->Order(), loAscending);
    EXPECT_EQ(Chart.Series(1)->YValues()->Order(), loNone);
    EXPECT_FALSE(Chart.Series(1)->XValues()->DateTime());
    EXPECT_EQ(Chart.PrintMargins(), (TRect{15, 15, 15, 15}));
}

} // namespace
} // namespace lp
