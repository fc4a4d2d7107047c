// The names the chart file stores, class by class, against the names each
// class publishes as its design gives them (StoredNamesTable.h): a chart
// holding every registered series kind, function and tool, a custom axis,
// a series group and a picture tool is walked as the writer walks it, and
// every difference either way is named. A class the writer meets that the
// table does not know fails too, so a new class brings its names along.
//
// LP_STORED_NAMES_DUMP=<file> writes what the writer walks, class by class,
// and prints how many of the published pairs it walks; with
// LP_STORED_NAMES_EARLIER=<an earlier dump> the same count for that one.

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesLists.h"
#include "chart/engine/PlotTools.h"
#include "platform/core/ClassRegistry.h"
#include "RoundTripSettings.h"
#include "StoredNamesTable.h"
#include "StoredNamesWalk.h"

#include <QtCore/QFile>
#include <QtCore/QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace lp {
namespace {

// A chart with one object of every class a chart file can hold.
class TEveryClassChart {
public:
    TEveryClassChart()
    {
        Chart.SetBounds(0, 0, 500, 400);
        Chart.CustomAxes().Add();
        AddEverySeriesKind();
        AddEveryFunction();
        AddEveryTool();
        Chart.SeriesList().AddGroup(QStringLiteral("Group"))->Series().Add(Chart.Series(0));
    }

    test::TStoredNamesWalk Walk()
    {
        test::TStoredNamesWalk Walk;
        Walk.Walk(&Chart);
        for (int I = 0; I < Chart.SeriesCount(); ++I) {
            Walk.Walk(Chart.Series(I));
            Walk.Walk(Chart.Series(I)->SeriesFunction());
        }
        for (int I = 0; I < Chart.Tools().Count(); ++I)
            Walk.Walk(Chart.Tools().Items(I));
        return Walk;
    }

    TChart Chart;

private:
    void AddEverySeriesKind()
    {
        for (TChartSeriesClass Kind : test::EveryRegisteredSeriesKind())
            CreateNewSeries(nullptr, &Chart, Kind)->FillSampleValues(6);
    }

    void AddEveryFunction()
    {
        const TPlotSeriesTypes& Types = *PlotSeriesTypes();
        for (int I = 0; I < Types.Count(); ++I) {
            if (!Types[I]->FunctionClass)
                continue;
            TChartSeriesClass Class = Types[I]->SeriesClass ? Types[I]->SeriesClass : &TLineSeries::staticMetaObject;
            CreateNewSeries(nullptr, &Chart, Class, Types[I]->FunctionClass);
        }
    }

    void AddEveryTool()
    {
        const TPlotToolTypes& Tools = *PlotToolTypes();
        std::vector<QString> Names;
        for (int I = 0; I < Tools.Count(); ++I)
            Names.push_back(TPersistent::ClassNameOf(*Tools[I]));
        if (std::find(Names.begin(), Names.end(), QStringLiteral("TChartImageTool")) == Names.end())
            Names.push_back(QStringLiteral("TChartImageTool"));
        for (const QString& Name : Names) {
            auto* Tool = qobject_cast<TPlotCustomTool*>(CreateComponent(Name, &Chart));
            ASSERT_NE(Tool, nullptr) << Name.toStdString();
            Tool->SetParentChart(&Chart);
            Tool->SetName(GetUniqueComponentName(&Chart, QStringLiteral("ChartTool")));
        }
    }
};

QStringList StoredNamesSorted(const QSet<QString>& Names)
{
    QStringList List(Names.begin(), Names.end());
    List.sort();
    return List;
}

void StoredNamesDump(const test::TStoredNamesWalk& Walk, const QString& Path)
{
    QFile File(Path);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly | QIODevice::Text));
    QTextStream Out(&File);
    for (const auto& [Class, Names] : Walk.Classes()) {
        Out << Class << ": " << StoredNamesSorted(Names.Written).join(QLatin1Char(' '));
        if (!Names.ReadOnly.isEmpty())
            Out << " | read only: " << StoredNamesSorted(Names.ReadOnly).join(QLatin1Char(' '));
        Out << '\n';
    }
}

// How many of the (class, name) pairs the table's design publishes the
// writer walks, over the classes of Walked ("Class: name name ..." lines as
// the dump writes them, or the live walk).
std::pair<int, int> StoredNamesCoverage(const std::map<QString, QSet<QString>>& Walked)
{
    int Published = 0;
    int Walks = 0;
    for (const test::TStoredNamesRow& Row : test::StoredNamesTable()) {
        const auto Found = Walked.find(QString::fromLatin1(Row.ClassName));
        for (const char* Name : Row.Published) {
            ++Published;
            if (Found != Walked.end() && Found->second.contains(QString::fromLatin1(Name)))
                ++Walks;
        }
    }
    return {Published, Walks};
}

std::map<QString, QSet<QString>> StoredNamesFromDump(const QString& Path)
{
    std::map<QString, QSet<QString>> Walked;
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly | QIODevice::Text))
        return Walked;
    for (const QString& Line : QString::fromUtf8(File.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString Class = Line.section(QStringLiteral(": "), 0, 0);
        const QString Names = Line.section(QStringLiteral(": "), 1).section(QStringLiteral(" | "), 0, 0);
        const QStringList List = Names.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        Walked[Class] = QSet<QString>(List.begin(), List.end());
    }
    return Walked;
}

TEST(StoredNames, TheWriterWalksWhatEachClassPublishes)
{
    TEveryClassChart Built;
    const test::TStoredNamesWalk Walk = Built.Walk();
    if (const QByteArray Dump = qgetenv("LP_STORED_NAMES_DUMP"); !Dump.isEmpty()) {
        StoredNamesDump(Walk, QString::fromLocal8Bit(Dump));
        // The coverage of this walk and, given an earlier dump, of that one.
        const QString Earlier = QString::fromLocal8Bit(qgetenv("LP_STORED_NAMES_EARLIER"));
        for (const QString& Path : {QString::fromLocal8Bit(Dump), Earlier}) {
            const auto [Published, Walks] = StoredNamesCoverage(StoredNamesFromDump(Path));
            std::printf("%s: the writer walks %d of %d published pairs\n", qPrintable(Path), Walks, Published);
        }
    }

    const std::vector<test::TStoredNamesRow>& Table = test::StoredNamesTable();
    QStringList Differences;
    for (const auto& [Class, Names] : Walk.Classes()) {
        const QString& Walked = Class;
        const auto Row = std::find_if(Table.begin(), Table.end(),
                                      [&](const test::TStoredNamesRow& R) { return Walked == QLatin1String(R.ClassName); });
        if (Row == Table.end()) {
            Differences << Class + QStringLiteral(": no row in the table (walks ") +
                               StoredNamesSorted(Names.Written).join(QLatin1Char(' ')) + QLatin1Char(')');
            continue;
        }
        Differences << test::CompareStoredNames(*Row, Names.Written, Names.ReadOnly);
        for (const QString& Name : Names.Twice)
            Differences << Class + QLatin1Char('.') + Name + QStringLiteral(": written twice, published and defined");
    }
    Differences.removeAll(QString());
    EXPECT_TRUE(Differences.isEmpty()) << Differences.size() << " differences:\n"
                                       << Differences.join(QLatin1Char('\n')).toStdString();
}

} // namespace
} // namespace lp
