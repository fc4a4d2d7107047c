#pragma once
// Setters that change another stored setting, found by trying them. For an
// object of every kind a chart file holds (each registered series kind,
// function and tool, and the chart with its axes, legend, titles and
// walls), each published setting is given each value a user could choose,
// on a fresh object whose other settings were all changed first, as a file
// read sets them; every other stored setting that the write changes is a
// dependent of that setter. Reading a file must still give the saved state
// for each of them, whatever order the file holds them in.

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesLists.h"
#include "chart/engine/PlotTools.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/Collections.h"
#include "platform/core/ComponentStream.h"
#include "platform/core/PropertyInfo.h"
#include "RoundTripSettings.h"
#include "StoredNamesWalk.h"

#include <QtCore/QBuffer>
#include <QtCore/QMetaEnum>
#include <QtCore/QMetaProperty>
#include <QtCore/QVariant>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

namespace lp::test {

// An object a chart file holds, made into a chart and found again in a
// reopened one.
struct TDependentSubject {
    QString ClassName;
    std::function<QObject*(TChart&)> Make;
    std::function<QObject*(TChart&)> Find;
};

// A setter found to change another stored setting: the class declaring the
// setting and its name, the dependent's path from that object (a path from
// the subject, led by "/", when it lies outside it), and how to reach both
// from the subject with a value that makes the change.
struct TDependentFound {
    QString HolderClass;
    QString Setter;
    QString Dependent;
    const TDependentSubject* Subject = nullptr;
    QString SetterPath;
    QVariant Value;
    QString DependentPath;
};

// The stored state of an object as path → value text: every stored
// published property of it and its sub-objects, collections by count and
// items, links by name.
inline void DependentStateDump(QObject* Object, const QString& Prefix, std::map<QString, QString>& State, int Depth = 0)
{
    RoundTripWalkStored(
        Object, Prefix, [&State](const QString& Path, const QString& Text, bool) { State[Path] = Text; }, Depth);
}

inline std::map<QString, QString> DependentState(QObject* Object)
{
    std::map<QString, QString> State;
    DependentStateDump(Object, QString(), State);
    return State;
}

// The paths whose values differ between two states, or that one state
// holds and the other not (a stored rule leaves a setting at its default
// out).
inline QStringList DependentStateDifferences(const std::map<QString, QString>& A,
                                             const std::map<QString, QString>& B)
{
    QStringList Paths;
    for (const auto& [Path, Value] : A) {
        const auto Other = B.find(Path);
        if (Other == B.end() || Other->second != Value)
            Paths << Path;
    }
    for (const auto& [Path, Value] : B)
        if (!A.count(Path))
            Paths << Path;
    return Paths;
}

// The stored state as DependentState gives it, in the order the walk
// meets it: cheaper to take and to compare than the map when, as for most
// writes the search tries, nothing else changes.
using TDependentStateList = std::vector<std::pair<QString, QString>>;

inline TDependentStateList DependentStateListed(QObject* Object)
{
    TDependentStateList State;
    RoundTripWalkStored(Object, QString(),
                        [&State](const QString& Path, const QString& Text, bool) { State.emplace_back(Path, Text); });
    return State;
}

// A listed state as DependentState gives it (of a path met twice, the
// value met last).
inline std::map<QString, QString> DependentStateMapped(const TDependentStateList& List)
{
    std::map<QString, QString> State;
    for (const auto& [Path, Text] : List)
        State[Path] = Text;
    return State;
}

// Whether two listed states hold the same paths in the same order.
inline bool DependentSamePaths(const TDependentStateList& A, const TDependentStateList& B)
{
    return A.size() == B.size() &&
           std::equal(A.begin(), A.end(), B.begin(), [](const auto& X, const auto& Y) { return X.first == Y.first; });
}

// The value of Path a listed state gives: the one met last.
inline QString DependentLastValue(const TDependentStateList& State, const QString& Path)
{
    const auto Last =
        std::find_if(State.rbegin(), State.rend(), [&Path](const auto& Entry) { return Entry.first == Path; });
    return Last == State.rend() ? QString() : Last->second;
}

// DependentStateDifferences of two listed states, in the same order. When
// both hold the same paths in the same order (a write seldom adds or drops
// one), the values are compared side by side, sparing the maps.
inline QStringList DependentStateDifferences(const TDependentStateList& A, const TDependentStateList& B)
{
    if (!DependentSamePaths(A, B))
        return DependentStateDifferences(DependentStateMapped(A), DependentStateMapped(B));
    QStringList Paths;
    for (size_t I = 0; I < A.size(); ++I) {
        const QString& Path = A[I].first;
        if (A[I].second != B[I].second && !Paths.contains(Path) &&
            DependentLastValue(A, Path) != DependentLastValue(B, Path))
            Paths << Path;
    }
    std::sort(Paths.begin(), Paths.end());
    return Paths;
}

// A setting reached by its dotted path: the object holding it and its
// property; no holder when the path leads nowhere.
struct TDependentSetting {
    QObject* Holder = nullptr;
    QMetaProperty Property;
};

// A dotted path taken apart once, as DependentSettingAt follows it: each
// step a property's name and, for a collection, the item it leads to (-1:
// none; -2: an item index that is no number). Following a parsed path
// spares the text work of splitting it again on every write, which the
// search below does hundreds of thousands of times.
struct TDependentPathStep {
    QByteArray Name;
    int Item = -1;
    // The property Name found on the class met last, kept to spare the
    // look-up by name when the same class is met again.
    mutable const QMetaObject* Class = nullptr;
    mutable QMetaProperty Property;
};
using TDependentParsedPath = std::vector<TDependentPathStep>;

inline TDependentParsedPath DependentParsePath(const QString& Path)
{
    TDependentParsedPath Steps;
    for (const QString& Part : Path.split(QLatin1Char('.'))) {
        // "Levels[0]": the first item of the collection Levels.
        TDependentPathStep Step;
        Step.Name = Part.section(QLatin1Char('['), 0, 0).toLatin1();
        if (Part.contains(QLatin1Char('['))) {
            bool Number = false;
            const int Item = Part.section(QLatin1Char('['), 1).chopped(1).toInt(&Number);
            Step.Item = Number && Item >= 0 ? Item : -2;
        }
        Steps.push_back(Step);
    }
    return Steps;
}

inline TDependentSetting DependentSettingAt(QObject* Top, const TDependentParsedPath& Path)
{
    QObject* Holder = Top;
    for (size_t I = 0; Holder && I < Path.size(); ++I) {
        const TDependentPathStep& Step = Path[I];
        if (Step.Class != Holder->metaObject()) {
            const int Index = Holder->metaObject()->indexOfProperty(Step.Name.constData());
            if (Index < 0)
                return {};
            Step.Class = Holder->metaObject();
            Step.Property = Step.Class->property(Index);
        }
        const QMetaProperty& Property = Step.Property;
        if (I + 1 == Path.size())
            return Path[I].Item == -1 ? TDependentSetting{Holder, Property} : TDependentSetting{};
        Holder = RoundTripPointed(Property.read(Holder));
        if (Path[I].Item != -1) {
            auto* Collection = qobject_cast<TCollection*>(Holder);
            const int Item = Path[I].Item;
            Holder = Collection && Item >= 0 && Item < Collection->Count() ? Collection->Items(Item) : nullptr;
        }
    }
    return {};
}

inline TDependentSetting DependentSettingAt(QObject* Top, const QString& Path)
{
    return DependentSettingAt(Top, DependentParsePath(Path));
}

// The simple settings an object and its sub-objects publish, stored and
// writable (links aside; of a collection, its first item's), by path. A
// simple setting whose stored rule leaves it out now is one too: the rule
// may only say that it holds its default (a pen's Visible).
inline void DependentSettingPaths(QObject* Object, const QString& Prefix, QStringList& Paths, int Depth = 0)
{
    if (!Object || Depth > 6)
        return;
    for (const QMetaProperty& Property : PublishedProperties(Object)) {
        if (!Property.isReadable() || !Property.isStored() || QByteArray(Property.name()) == "Name" ||
            RoundTripIsComponentLink(Property))
            continue;
        const QString Path = Prefix + QString::fromLatin1(Property.name());
        const QVariant Value = Property.read(Object);
        if (Value.metaType().flags() & QMetaType::PointerToQObject) {
            if (!RoundTripStoredByRule(Object, Property.name()))
                continue;
            QObject* Target = RoundTripPointed(Value);
            if (auto* Collection = qobject_cast<TCollection*>(Target)) {
                if (Collection->Count() > 0)
                    DependentSettingPaths(Collection->Items(0), Path + QStringLiteral("[0]."), Paths, Depth + 1);
            } else if (Target && Target != Object) {
                DependentSettingPaths(Target, Path + QLatin1Char('.'), Paths, Depth + 1);
            }
        } else if (Property.isWritable()) {
            Paths << Path;
        }
    }
}

// The values a user could give a setting, other than Current: each name of
// an enumeration (each flag of a set toggled), the other truth value, a
// step up for whole numbers and either way for reals, another colour, a
// longer text.
inline std::vector<QVariant> DependentCandidates(const QMetaProperty& Property, const QVariant& Current)
{
    std::vector<QVariant> Values;
    const auto Add = [&](QVariant Value) {
        Value.convert(Property.metaType());
        if (Value != Current)
            Values.push_back(Value);
    };
    if (Property.isEnumType()) {
        const QMetaEnum Enum = Property.enumerator();
        for (int I = 0; I < Enum.keyCount(); ++I)
            Add(QVariant(Enum.isFlag() ? Current.toInt() ^ Enum.value(I) : Enum.value(I)));
        return Values;
    }
    switch (Property.metaType().id()) {
    case QMetaType::Bool:
        Add(QVariant(!Current.toBool()));
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
        if (QByteArray(Property.name()).endsWith("Color")) {
            Add(QVariant(Current.toLongLong() == 0x1020C0 ? 0x10B020 : 0x1020C0));
        } else {
            Add(QVariant(Current.toLongLong() + 1));
        }
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        // Down too: a maximum may refuse to grow past nothing, a minimum
        // past its maximum.
        Add(QVariant(Current.toDouble() + 1.5));
        Add(QVariant(Current.toDouble() - 1.5));
        break;
    case QMetaType::QString:
        Add(QVariant(Current.toString() + QStringLiteral("d")));
        break;
    default:
        break;
    }
    return Values;
}

// Writes Value; false when the setter refuses it (an exception or no
// effect on the setting itself).
inline bool DependentWrite(const TDependentSetting& Setting, const QVariant& Value)
{
    try {
        if (!Setting.Property.write(Setting.Holder, Value))
            return false;
    } catch (const std::exception&) {
        return false;
    }
    return Setting.Property.read(Setting.Holder) == Value;
}

// A write DependentChangeAllBut tried, in the order it tried it: the
// setting's path and the value, taken or refused.
struct TDependentWriteTry {
    TDependentParsedPath Path;
    QVariant Value;
};
using TDependentChangeLog = std::vector<TDependentWriteTry>;

// Writes Value to Setting, which Path leads to, and notes the try in Log;
// false when the setter refuses the value.
inline bool DependentWriteNoted(const TDependentSetting& Setting, const TDependentParsedPath& Path,
                                const QVariant& Value, TDependentChangeLog* Log)
{
    if (Log)
        Log->push_back({Path, Value});
    return DependentWrite(Setting, Value);
}

// The settings of a subject's fresh object as DependentSettingPaths gives
// them, parsed, with the values they start with. Every fresh object of a
// subject has the same, so the search takes them once per subject.
struct TDependentFreshSettings {
    QStringList Names;
    std::vector<TDependentParsedPath> Paths;
    std::vector<QVariant> Start;
};

inline TDependentFreshSettings DependentFreshSettingsOf(QObject* Top)
{
    TDependentFreshSettings Fresh;
    DependentSettingPaths(Top, QString(), Fresh.Names);
    for (const QString& Name : Fresh.Names) {
        Fresh.Paths.push_back(DependentParsePath(Name));
        const TDependentSetting Setting = DependentSettingAt(Top, Fresh.Paths.back());
        Fresh.Start.push_back(Setting.Holder ? Setting.Property.read(Setting.Holder) : QVariant());
    }
    return Fresh;
}

// Gives every setting of Fresh but Skipped a value other than the one it
// starts with (the first candidate the setter takes), in the order the
// writer walks them or the other way round; a second pass changes again
// what a later setter put back to its start (a frame style shows the pen
// hidden before it). Top: a fresh object of the subject Fresh describes.
// Log, when given, receives every write tried, so that
// DependentReplayChanges can make the same change on another fresh object
// without choosing the values again.
inline void DependentChangeAllBut(QObject* Top, const TDependentFreshSettings& Fresh, const QString& Skipped,
                                  bool Backwards, TDependentChangeLog* Log = nullptr)
{
    std::vector<size_t> Order;
    for (size_t I = 0; I < Fresh.Paths.size(); ++I)
        if (Fresh.Names[static_cast<qsizetype>(I)] != Skipped)
            Order.push_back(I);
    if (Backwards)
        std::reverse(Order.begin(), Order.end());
    for (int Pass = 0; Pass < 2; ++Pass)
        for (const size_t I : Order) {
            const TDependentSetting Setting = DependentSettingAt(Top, Fresh.Paths[I]);
            if (!Setting.Holder)
                continue;
            const QVariant Current = Setting.Property.read(Setting.Holder);
            if (Pass == 1 && Current != Fresh.Start[I])
                continue;
            for (const QVariant& Value : DependentCandidates(Setting.Property, Current))
                if (DependentWriteNoted(Setting, Fresh.Paths[I], Value, Log))
                    break;
        }
}

inline void DependentChangeAllBut(QObject* Top, const QString& Skipped, bool Backwards)
{
    DependentChangeAllBut(Top, DependentFreshSettingsOf(Top), Skipped, Backwards);
}

// Tries again, in order, every write DependentChangeAllBut noted: on a
// fresh object of the same subject this gives the state it gave, for a
// fraction of the work (no walk, no reads, no choosing of values).
inline void DependentReplayChanges(QObject* Top, const TDependentChangeLog& Log)
{
    for (const TDependentWriteTry& Try : Log)
        if (const TDependentSetting Setting = DependentSettingAt(Top, Try.Path); Setting.Holder)
            DependentWrite(Setting, Try.Value);
}

// Gives each empty collection an object publishes an item (a contour
// series' levels, the draw-line tool's lines), so that the items' setters
// are tried too.
inline void DependentFillCollections(QObject* Object)
{
    for (const QMetaProperty& Property : PublishedProperties(Object))
        if (auto* Collection = qobject_cast<TCollection*>(RoundTripPointed(Property.read(Object))))
            if (Collection->Count() == 0)
                Collection->Add();
}

// Every registered series kind, function and tool, and the chart.
inline std::vector<TDependentSubject> DependentSubjects()
{
    // The chart first, so that the classes of its parts (legend, titles,
    // axes) are tried where the chart file holds them.
    std::vector<TDependentSubject> Subjects{{QStringLiteral("TChart"),
                                             [](TChart& Chart) -> QObject* {
                                                 Chart.CustomAxes().Add();
                                                 return &Chart;
                                             },
                                             [](TChart& Chart) -> QObject* { return &Chart; }}};
    const auto ByName = [](const QString& Name) {
        return [Name](TChart& Chart) -> QObject* { return Chart.FindComponent(Name); };
    };
    for (TChartSeriesClass Kind : EveryRegisteredSeriesKind()) {
        Subjects.push_back({QString::fromLatin1(Kind->className()).section(QLatin1Char(':'), -1),
                            [Kind](TChart& Chart) -> QObject* {
                                TChartSeries* Series = CreateNewSeries(nullptr, &Chart, Kind);
                                Series->SetName(QStringLiteral("Subject"));
                                Series->FillSampleValues(6);
                                DependentFillCollections(Series);
                                return Series;
                            },
                            ByName(QStringLiteral("Subject"))});
    }
    const TPlotSeriesTypes& Types = *PlotSeriesTypes();
    std::set<const QMetaObject*> Functions;
    for (int I = 0; I < Types.Count(); ++I) {
        const QMetaObject* Function = Types[I]->FunctionClass;
        if (!Function || !Functions.insert(Function).second)
            continue;
        const TChartSeriesClass Kind = Types[I]->SeriesClass ? Types[I]->SeriesClass : &TLineSeries::staticMetaObject;
        Subjects.push_back({QString::fromLatin1(Function->className()).section(QLatin1Char(':'), -1),
                            [Kind, Function](TChart& Chart) -> QObject* {
                                TChartSeries* Series = CreateNewSeries(nullptr, &Chart, Kind, Function);
                                Series->SetName(QStringLiteral("Subject"));
                                return Series->SeriesFunction();
                            },
                            [](TChart& Chart) -> QObject* {
                                auto* Series = qobject_cast<TChartSeries*>(Chart.FindComponent(QStringLiteral("Subject")));
                                return Series ? Series->SeriesFunction() : nullptr;
                            }});
    }
    const TPlotToolTypes& Tools = *PlotToolTypes();
    for (int I = 0; I < Tools.Count(); ++I) {
        const QString Name = TPersistent::ClassNameOf(*Tools[I]);
        Subjects.push_back({Name,
                            [Name](TChart& Chart) -> QObject* {
                                auto* Tool = qobject_cast<TPlotCustomTool*>(CreateComponent(Name, &Chart));
                                if (!Tool)
                                    return nullptr;
                                Tool->SetParentChart(&Chart);
                                Tool->SetName(QStringLiteral("Subject"));
                                DependentFillCollections(Tool);
                                return Tool;
                            },
                            ByName(QStringLiteral("Subject"))});
    }
    return Subjects;
}

// Calls Visit for every setting of every subject, on a fresh object of the
// subject: the subject, the setting's path from it and the setting.
inline void ForEachDependentSubjectSetting(
    const std::vector<TDependentSubject>& Subjects,
    const std::function<void(const TDependentSubject&, const QString& Path, const TDependentSetting&)>& Visit)
{
    for (const TDependentSubject& Subject : Subjects) {
        TChart Fresh;
        QObject* Top = Subject.Make(Fresh);
        if (!Top)
            continue;
        QStringList Paths;
        DependentSettingPaths(Top, QString(), Paths);
        for (const QString& Path : Paths)
            Visit(Subject, Path, DependentSettingAt(Top, Path));
    }
}

// How DependentPrepare makes a subject's object with all but one setting
// changed, for one setting and one order: not yet; by replaying the
// change first made (still to be checked against the first state, or
// checked); or, when a replay gave another state, in full each time.
// Before: the state the object then holds.
struct TDependentPreparation {
    enum class TWay { NotMade, ReplayUnchecked, Replay, Full };
    TWay Way = TWay::NotMade;
    TDependentChangeLog Log;
    TDependentStateList Before;
};

// Makes the subject in Chart with every setting but Path changed, as
// DependentChangeAllBut changes them, with Prepared.Before its state. Each
// value a setting is tried with needs such an object afresh; making the
// change once and replaying its writes spares choosing every value again,
// and the state, once a replay is found to give the first one, need not
// be taken again.
inline QObject* DependentPrepare(TDependentPreparation& Prepared, const TDependentSubject& Subject,
                                 const TDependentFreshSettings& Fresh, TChart& Chart, const QString& Path,
                                 bool Backwards)
{
    using TWay = TDependentPreparation::TWay;
    QObject* Object = Subject.Make(Chart);
    switch (Prepared.Way) {
    case TWay::NotMade:
        DependentChangeAllBut(Object, Fresh, Path, Backwards, &Prepared.Log);
        Prepared.Before = DependentStateListed(Object);
        Prepared.Way = TWay::ReplayUnchecked;
        break;
    case TWay::ReplayUnchecked: {
        DependentReplayChanges(Object, Prepared.Log);
        TDependentStateList State = DependentStateListed(Object);
        Prepared.Way = State == Prepared.Before ? TWay::Replay : TWay::Full;
        Prepared.Before = std::move(State);
        break;
    }
    case TWay::Replay:
        DependentReplayChanges(Object, Prepared.Log);
        break;
    case TWay::Full:
        DependentChangeAllBut(Object, Fresh, Path, Backwards);
        Prepared.Before = DependentStateListed(Object);
        break;
    }
    return Object;
}

// What the search for dependents has found so far: each (class, setter,
// dependent) once, with the first case that shows it.
struct TDependentSearch {
    std::vector<TDependentFound> Found;
    std::set<std::tuple<QString, QString, QString>> Known;
};

// Notes as dependents of the setting at Path (Target, of class Holder)
// the other stored settings that differ between Before and After.
inline void DependentNoteChanges(TDependentSearch& Search, const TDependentSubject& Subject, QObject* Object,
                                 const QString& Path, const TDependentSetting& Target, const QVariant& Value,
                                 const TDependentStateList& Before, const TDependentStateList& After)
{
    const QString Holder = WalkClassName(Target.Holder);
    const QString Name = QString::fromLatin1(Target.Property.name());
    const QString HolderPrefix = Path.left(Path.size() - Name.size());
    for (const QString& Changed : DependentStateDifferences(Before, After)) {
        if (Changed == Path || Changed.startsWith(Path + QLatin1Char('.')))
            continue;
        // Another name of the same setting is no dependent.
        const TDependentSetting Other = DependentSettingAt(Object, Changed);
        if (Other.Holder == Target.Holder && Other.Property.propertyIndex() == Target.Property.propertyIndex())
            continue;
        // The items of a collection, and its count, count as the collection.
        QString Whole = Changed.section(QLatin1Char('['), 0, 0);
        if (Whole.endsWith(QLatin1String(".Count")))
            Whole.chop(6);
        const QString Dependent =
            Whole.startsWith(HolderPrefix) ? Whole.mid(HolderPrefix.size()) : QLatin1Char('/') + Whole;
        if (Search.Known.insert({Holder, Name, Dependent}).second)
            Search.Found.push_back({Holder, Name, Dependent, &Subject, Path, Value, Whole});
    }
}

// Tries the setting at Path of Subject with each value a user could give
// it (Setting: the setting on a fresh object), on an object whose other
// settings were all changed first, in either order.
inline void DependentTrySetting(TDependentSearch& Search, const TDependentSubject& Subject,
                                const TDependentFreshSettings& Fresh, const QString& Path,
                                const TDependentSetting& Setting)
{
    TDependentPreparation Forwards;
    TDependentPreparation Backwards;
    for (const QVariant& Value : DependentCandidates(Setting.Property, Setting.Property.read(Setting.Holder)))
        for (TDependentPreparation* Prepared : {&Forwards, &Backwards}) {
            TChart Chart;
            QObject* Object = DependentPrepare(*Prepared, Subject, Fresh, Chart, Path, Prepared == &Backwards);
            const TDependentSetting Target = DependentSettingAt(Object, Path);
            if (!Target.Holder || !DependentWrite(Target, Value))
                continue;
            DependentNoteChanges(Search, Subject, Object, Path, Target, Value, Prepared->Before,
                                 DependentStateListed(Object));
        }
}

// Tries every setting of every subject (each class's setting once, where
// it is first met) and returns what each changes besides itself.
inline std::vector<TDependentFound> FindDependentSettings(const std::vector<TDependentSubject>& Subjects)
{
    TDependentSearch Search;
    std::set<std::pair<QString, QString>> Tried;
    const TDependentSubject* FreshOf = nullptr;
    TDependentFreshSettings Fresh;
    ForEachDependentSubjectSetting(Subjects, [&](const TDependentSubject& Subject, const QString& Path,
                                                 const TDependentSetting& Setting) {
        if (!Tried.insert({WalkClassName(Setting.Holder), QString::fromLatin1(Setting.Property.name())}).second)
            return;
        if (FreshOf != &Subject) {
            TChart Chart;
            Fresh = DependentFreshSettingsOf(Subject.Make(Chart));
            FreshOf = &Subject;
        }
        DependentTrySetting(Search, Subject, Fresh, Path, Setting);
    });
    return Search.Found;
}

// Whether Path lies within Dependent: the setting itself, a sub-object's
// setting, a collection's count or items.
inline bool DependentPathWithin(const QString& Path, const QString& Dependent)
{
    return Path == Dependent || Path.startsWith(Dependent + QLatin1Char('.')) ||
           Path.startsWith(Dependent + QLatin1Char('['));
}

// Gives a setting another value a user could give it (a collection one
// more item); false when it takes none.
inline bool DependentChange(const TDependentSetting& Setting)
{
    if (!Setting.Holder)
        return false;
    const QVariant Current = Setting.Property.read(Setting.Holder);
    if (auto* Collection = qobject_cast<TCollection*>(RoundTripPointed(Current))) {
        Collection->Add();
        return true;
    }
    for (const QVariant& Value : DependentCandidates(Setting.Property, Current))
        if (DependentWrite(Setting, Value))
            return true;
    return false;
}

// Where each class's setting is first met: (class, setting) → the subject
// and the setting's path from it.
using TDependentSettingPlaces = std::map<std::pair<QString, QString>, std::pair<const TDependentSubject*, QString>>;

inline TDependentSettingPlaces DependentSettingPlacesOf(const std::vector<TDependentSubject>& Subjects)
{
    TDependentSettingPlaces Places;
    ForEachDependentSubjectSetting(Subjects, [&Places](const TDependentSubject& Subject, const QString& Path,
                                                       const TDependentSetting& Setting) {
        Places.insert({{WalkClassName(Setting.Holder), QString::fromLatin1(Setting.Property.name())}, {&Subject, Path}});
    });
    return Places;
}

// The stored state of what lies at Path (a setting, or a sub-object or
// collection with all it holds), as the state dump gives it.
inline std::map<QString, QString> DependentStateAt(QObject* Top, const QString& Path)
{
    std::map<QString, QString> State;
    const TDependentSetting Setting = DependentSettingAt(Top, Path);
    if (!Setting.Holder)
        return DependentState(Top);
    std::map<QString, QString> Holder;
    DependentStateDump(Setting.Holder, QString(), Holder, 6);
    const QString Name = QString::fromLatin1(Setting.Property.name());
    for (const auto& [Key, Value] : Holder)
        if (DependentPathWithin(Key, Name))
            State[Key] = Value;
    if (QObject* Sub = RoundTripPointed(Setting.Property.read(Setting.Holder))) {
        if (auto* Collection = qobject_cast<TCollection*>(Sub)) {
            State[Name + QStringLiteral(".Count")] = QString::number(Collection->Count());
            for (int I = 0; I < Collection->Count(); ++I)
                DependentStateDump(Collection->Items(I), Name + QStringLiteral("[%1].").arg(I), State, 1);
        } else {
            DependentStateDump(Sub, Name + QLatin1Char('.'), State, 1);
        }
    }
    return State;
}

// Whether setting Setter of a HolderClass object (where Places first
// meets it) changes Dependent, its path from that object ("/" leads a
// path from the subject): on fresh objects, Dependent is given each value
// it can take, then Setter each of its values. The first case that
// changes the dependent is returned; none when no case does.
inline std::optional<TDependentFound> ConfirmDependentSetting(const TDependentSettingPlaces& Places,
                                                              const QString& HolderClass, const QString& Setter,
                                                              const QString& Dependent)
{
    const auto Place = Places.find({HolderClass, Setter});
    if (Place == Places.end())
        return std::nullopt;
    const TDependentSubject& Subject = *Place->second.first;
    const QString& Path = Place->second.second;
    const QString Prefix = Path.left(Path.size() - Setter.size());
    const QString DependentPath = Dependent.startsWith(QLatin1Char('/')) ? Dependent.mid(1) : Prefix + Dependent;
    TChart Fresh;
    QObject* Top = Subject.Make(Fresh);
    const TDependentSetting Setting = DependentSettingAt(Top, Path);
    const TDependentSetting Other = DependentSettingAt(Top, DependentPath);
    if (!Setting.Holder)
        return std::nullopt;
    std::vector<QVariant> DependentValues{QVariant()};
    if (Other.Holder)
        for (const QVariant& Value : DependentCandidates(Other.Property, Other.Property.read(Other.Holder)))
            DependentValues.push_back(Value);
    for (const QVariant& Value : DependentCandidates(Setting.Property, Setting.Property.read(Setting.Holder)))
        for (const QVariant& First : DependentValues) {
            TChart Chart;
            QObject* Object = Subject.Make(Chart);
            const TDependentSetting Target = DependentSettingAt(Object, Path);
            const TDependentSetting Dependant = DependentSettingAt(Object, DependentPath);
            if (First.isValid() && (!Dependant.Holder || !DependentWrite(Dependant, First)))
                continue;
            const std::map<QString, QString> Before = DependentStateAt(Object, DependentPath);
            if (!Target.Holder || !DependentWrite(Target, Value))
                continue;
            if (!DependentStateDifferences(Before, DependentStateAt(Object, DependentPath)).isEmpty())
                return TDependentFound{HolderClass, Setter, Dependent, &Subject, Path, Value, DependentPath};
        }
    return std::nullopt;
}

// The properties of every object and collection item of a parsed stream
// in the opposite order.
inline void ReverseStreamProperties(TStreamProperties& Properties)
{
    std::reverse(Properties.begin(), Properties.end());
    for (TStreamProperty& Property : Properties)
        for (TStreamProperties& Item : Property.second.Items)
            ReverseStreamProperties(Item);
}

inline void ReverseStreamProperties(TStreamComponent& Component)
{
    ReverseStreamProperties(Component.Properties);
    for (TStreamComponent& Child : Component.Children)
        ReverseStreamProperties(Child);
}

// A binary chart file with the properties of each object in the opposite
// order: the same chart as a file another writer might have made.
inline QByteArray ChartFileReversed(const QByteArray& Binary)
{
    const qsizetype Start = Binary.indexOf("TPF0");
    QBuffer In;
    In.setData(Binary.mid(Start));
    In.open(QIODevice::ReadOnly);
    TStreamComponent Root = ReadStreamBinary(In);
    ReverseStreamProperties(Root);
    QBuffer Out;
    Out.open(QIODevice::WriteOnly);
    WriteStreamBinary(Root, Out);
    return Binary.left(Start) + Out.data();
}

} // namespace lp::test
