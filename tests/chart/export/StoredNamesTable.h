#pragma once
// The names each class stores in a chart file as its design publishes them,
// one row a class: its published properties (sub-objects and collections by
// their own property name), the extras it stores by other routes (a
// series' point data, lists of source names) and the earlier names it
// still reads but never writes. Where the code deliberately stores more or
// less than the design, the row says so with the reason: "+Name" for a
// name stored beyond the design, "-Name" for one left out.
//
// Events are not listed: handlers are code, not chart settings, and are
// never stored. Neither are properties the design marks as not stored
// (ParentChart, a series' owner links).

#include <QtCore/QSet>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <initializer_list>
#include <map>
#include <vector>

namespace lp::test {

struct TStoredNameDeviation {
    const char* Name; // "+Name" stored beyond the design, "-Name" left out
    const char* Reason;
};

struct TStoredNamesRow {
    const char* ClassName;
    std::vector<const char*> Published;
    std::vector<const char*> ReadOnly;
    std::vector<TStoredNameDeviation> Deviations;
};

const std::vector<TStoredNamesRow>& StoredNamesTable();

// Lists joined, for rows that share a base's names.
inline std::vector<const char*> JoinNames(std::initializer_list<std::vector<const char*>> Lists)
{
    std::vector<const char*> Joined;
    for (const std::vector<const char*>& List : Lists)
        Joined.insert(Joined.end(), List.begin(), List.end());
    return Joined;
}

inline std::vector<TStoredNameDeviation> JoinDeviations(
    std::initializer_list<std::vector<TStoredNameDeviation>> Lists)
{
    std::vector<TStoredNameDeviation> Joined;
    for (const std::vector<TStoredNameDeviation>& List : Lists)
        Joined.insert(Joined.end(), List.begin(), List.end());
    return Joined;
}

// What every series stores besides its published properties: its identifier
// and editor flags, the names of its sources when it has several, the custom
// axes it is drawn against (by index) and its points.
inline const std::vector<const char*> SeriesDefinedNames{"Identifier", "Style",           "DataSources",
                                                         "CustomHorizAxis", "CustomVertAxis", "Data"};

// The rows of each part of the table (storednames/*.cpp).
void AddStandardSeriesNames(std::vector<TStoredNamesRow>& Rows);
void AddExtendedSeriesNames(std::vector<TStoredNamesRow>& Rows);
void AddFunctionNames(std::vector<TStoredNamesRow>& Rows);
void AddToolNames(std::vector<TStoredNamesRow>& Rows);
void AddChartPartNames(std::vector<TStoredNamesRow>& Rows);

// A setter that changes another stored setting: the class declaring the
// setter, the setter's name, and the dependent's path from the same object
// ("Pen.Visible"; led by "/" for a path from the series, function, tool or
// chart holding that object). Reading a chart file gives the saved state of
// both whatever order the file holds them in: while a component is being
// read, its setters leave the other stored settings alone (each is read
// from the file, or stays at its default when the file omits it). The
// reason says why the setter changes the other setting when a user calls
// it.
struct TDependentSettingRow {
    const char* ClassName;
    const char* Setter;
    const char* Dependent;
    const char* Reason;
};

const std::vector<TDependentSettingRow>& DependentSettingsTable();
void AddDependentSettings(std::vector<TDependentSettingRow>& Rows);

struct TWalkedNames;

// Each difference between the table and what the writer walks, class by
// class (Walked as TStoredNamesWalk::Classes gives it): a class without a
// row, the differences of each row, and a name written twice.
QStringList CompareWalkWithTable(const std::map<QString, TWalkedNames>& Walked);

// Each difference between the row and what the writer walks, one line a
// name, led by the class; none when they agree. A deviation that deviates
// from nothing (a "+Name" the design publishes, a "-Name" it does not) is a
// difference too.
QStringList CompareStoredNames(const TStoredNamesRow& Row, const QSet<QString>& Written,
                               const QSet<QString>& ReadOnly);

} // namespace lp::test
