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
#include "chart/extensions/grid3d/PlotContourSeries.h"
#include "chart/extensions/tools/PlotDrawLineTool.h"
#include "platform/core/ClassRegistry.h"
#include "DependentSettings.h"
#include "ExportTestUtil.h"
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
        AddItemsUsersMake();
        Chart.SeriesList().AddGroup(QStringLiteral("Group"))->Series().Add(Chart.Series(0));
    }

    test::TStoredNamesWalk Walk()
    {
        test::TStoredNamesWalk Walk;
        Walk.WalkChart(Chart);
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

    // What the chart holds only once a user makes it: a point's own mark,
    // contour levels of the user's own, a drawn line.
    void AddItemsUsersMake()
    {
        Chart.Series(0)->Marks()->Items().Item(1).SetColor(clRed);
        int Contours = 0;
        for (int I = 0; I < Chart.SeriesCount(); ++I)
            if (auto* Contour = qobject_cast<TContourSeries*>(Chart.Series(I))) {
                Contour->Levels()->Add()->SetUpToValue(2.5);
                ++Contours;
            }
        int DrawLines = 0;
        for (int I = 0; I < Chart.Tools().Count(); ++I)
            if (auto* Tool = qobject_cast<TDrawLineTool*>(Chart.Tools().Items(I))) {
                Tool->Lines()->Add()->SetX1(3);
                ++DrawLines;
            }
        EXPECT_GT(Contours, 0);
        EXPECT_GT(DrawLines, 0);
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

    const QStringList Differences = test::CompareWalkWithTable(Walk.Classes());
    EXPECT_TRUE(Differences.isEmpty()) << Differences.size() << " differences:\n"
                                       << Differences.join(QLatin1Char('\n')).toStdString();
}

// What the setters of every class change besides their own setting, tried
// once for the whole program.
const std::vector<test::TDependentSubject>& DependentSubjectsOnce()
{
    static const std::vector<test::TDependentSubject> Subjects = test::DependentSubjects();
    return Subjects;
}

const std::vector<test::TDependentFound>& FoundDependentSettings()
{
    static const std::vector<test::TDependentFound> Found = test::FindDependentSettings(DependentSubjectsOnce());
    return Found;
}

QString DependentSettingKey(const QString& Class, const QString& Setter, const QString& Dependent)
{
    return Class + QLatin1Char('.') + Setter + QStringLiteral(" -> ") + Dependent;
}

// Each row of the table with a case that shows its setter changing its
// dependent; rows no case shows are left out.
const std::vector<test::TDependentFound>& ConfirmedDependentSettings()
{
    static const std::vector<test::TDependentFound> Confirmed = [] {
        const test::TDependentSettingPlaces Places = test::DependentSettingPlacesOf(DependentSubjectsOnce());
        std::vector<test::TDependentFound> Rows;
        for (const test::TDependentSettingRow& Row : test::DependentSettingsTable())
            if (const auto Case = test::ConfirmDependentSetting(Places, QString::fromLatin1(Row.ClassName),
                                                                QString::fromLatin1(Row.Setter),
                                                                QString::fromLatin1(Row.Dependent)))
                Rows.push_back(*Case);
        return Rows;
    }();
    return Confirmed;
}

// Trying every setting of every class finds no setter that changes another
// stored setting without its row in the table, and each row of the table
// has a case in which its setter changes its dependent (found so, or tried
// for that row alone).
TEST(StoredNames, EverySetterThatChangesAnotherStoredSettingIsListed)
{
    QSet<QString> Listed;
    for (const test::TDependentSettingRow& Row : test::DependentSettingsTable())
        Listed.insert(DependentSettingKey(QString::fromLatin1(Row.ClassName), QString::fromLatin1(Row.Setter),
                                          QString::fromLatin1(Row.Dependent)));
    QSet<QString> Confirmed;
    for (const test::TDependentFound& F : ConfirmedDependentSettings())
        Confirmed.insert(DependentSettingKey(F.HolderClass, F.Setter, F.Dependent));
    for (const test::TDependentFound& F : FoundDependentSettings())
        Confirmed.insert(DependentSettingKey(F.HolderClass, F.Setter, F.Dependent));
    QStringList Differences;
    for (const test::TDependentFound& F : FoundDependentSettings())
        if (const QString Key = DependentSettingKey(F.HolderClass, F.Setter, F.Dependent); !Listed.contains(Key))
            Differences << Key + QStringLiteral(": changes another stored setting but has no row");
    for (const QString& Key : Listed)
        if (!Confirmed.contains(Key))
            Differences << Key + QStringLiteral(": listed, but no case shows the setter changing it");
    EXPECT_GT(FoundDependentSettings().size(), 0u);
    Differences.sort();
    EXPECT_TRUE(Differences.isEmpty()) << Differences.join(QLatin1Char('\n')).toStdString();
}

// Whether Path is the setter's or the dependent's.
bool DependentSettingWatched(const test::TDependentFound& F, const QString& Path)
{
    return Path == F.SetterPath || test::DependentPathWithin(Path, F.DependentPath);
}

// For each setter that changes another stored setting: the setter, then
// the dependent changed again, saved binary and text and reopened into a
// fresh chart, reads back as saved through the getters; so does the same
// file with the properties of each object in the opposite order.
TEST(StoredNames, EachSettingASetterChangesReadsBackAsSaved)
{
    std::vector<test::TDependentFound> Cases = ConfirmedDependentSettings();
    Cases.insert(Cases.end(), FoundDependentSettings().begin(), FoundDependentSettings().end());
    ASSERT_GT(Cases.size(), 0u);
    QStringList Failures;
    for (const test::TDependentFound& F : Cases) {
        const QString What = DependentSettingKey(F.HolderClass, F.Setter, F.Dependent);
        TChart Chart;
        Chart.SetBounds(0, 0, 500, 400);
        QObject* Object = F.Subject->Make(Chart);
        ASSERT_NE(Object, nullptr) << What.toStdString();
        if (!test::DependentWrite(test::DependentSettingAt(Object, F.SetterPath), F.Value)) {
            Failures << What + QStringLiteral(": the setter no longer takes ") + F.Value.toString();
            continue;
        }
        if (!test::DependentChange(test::DependentSettingAt(Object, F.DependentPath)))
            Failures << What + QStringLiteral(": the dependent takes no other value");
        const std::map<QString, QString> Saved = test::DependentState(Object);
        const QByteArray Binary = test::SaveChartFile(Chart, false);
        const QByteArray Reversed = test::ChartFileReversed(Binary);
        const std::vector<std::pair<QString, QByteArray>> Files{
            {QStringLiteral("binary"), Binary},
            {QStringLiteral("text"), test::SaveChartFile(Chart, true)},
            {QStringLiteral("binary, reversed"), Reversed},
            {QStringLiteral("text, reversed"), test::ConvertChart(Reversed, &ConvertChartToText)}};
        for (const auto& [Form, File] : Files) {
            TChart Reopened;
            Reopened.SetBounds(0, 0, 500, 400);
            test::ReadChartFileExpectingNoError(Reopened, File);
            QObject* Read = F.Subject->Find(Reopened);
            if (!Read) {
                Failures << What + QStringLiteral(": not found in the reopened chart");
                continue;
            }
            const std::map<QString, QString> State = test::DependentState(Read);
            for (const QString& Path : test::DependentStateDifferences(Saved, State)) {
                if (!DependentSettingWatched(F, Path))
                    continue;
                const auto Was = Saved.find(Path);
                const auto Got = State.find(Path);
                Failures << QStringLiteral("%1 (%2): %3 saved %4, read %5")
                                .arg(What, Form, Path, Was == Saved.end() ? QStringLiteral("(default)") : Was->second,
                                     Got == State.end() ? QStringLiteral("(default)") : Got->second);
            }
        }
    }
    EXPECT_TRUE(Failures.isEmpty()) << Failures.size() << " settings differ:\n"
                                    << Failures.join(QLatin1Char('\n')).toStdString();
}

} // namespace
} // namespace lp
