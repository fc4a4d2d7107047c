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

// A setting reached by its dotted path: the object holding it and its
// property; no holder when the path leads nowhere.
struct TDependentSetting {
    QObject* Holder = nullptr;
    QMetaProperty Property;
};

inline TDependentSetting DependentSettingAt(QObject* Top, const QString& Path)
{
    const QStringList Parts = Path.split(QLatin1Char('.'));
    QObject* Holder = Top;
    for (int I = 0; Holder && I < Parts.size(); ++I) {
        // "Levels[0]": the first item of the collection Levels.
        const QString Name = Parts[I].section(QLatin1Char('['), 0, 0);
        const int Index = Holder->metaObject()->indexOfProperty(Name.toLatin1().constData());
        if (Index < 0)
            return {};
        const QMetaProperty Property = Holder->metaObject()->property(Index);
        if (I + 1 == Parts.size())
            return Name == Parts[I] ? TDependentSetting{Holder, Property} : TDependentSetting{};
        Holder = RoundTripPointed(Property.read(Holder));
        if (Name != Parts[I]) {
            auto* Collection = qobject_cast<TCollection*>(Holder);
            const int Item = Parts[I].section(QLatin1Char('['), 1).chopped(1).toInt();
            Holder = Collection && Item < Collection->Count() ? Collection->Items(Item) : nullptr;
        }
    }
    return {};
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

// Gives every setting but Skipped a value other than the one it starts
// with (the first candidate the setter takes), in the order the writer
// walks them or the other way round; a second pass changes again what a
// later setter put back to its start (a frame style shows the pen hidden
// before it).
inline void DependentChangeAllBut(QObject* Top, const QString& Skipped, bool Backwards)
{
    QStringList Paths;
    DependentSettingPaths(Top, QString(), Paths);
    if (Backwards)
        std::reverse(Paths.begin(), Paths.end());
    Paths.removeAll(Skipped);
    std::vector<QVariant> Start;
    for (const QString& Path : Paths) {
        const TDependentSetting Setting = DependentSettingAt(Top, Path);
        Start.push_back(Setting.Holder ? Setting.Property.read(Setting.Holder) : QVariant());
    }
    for (int Pass = 0; Pass < 2; ++Pass)
        for (int I = 0; I < Paths.size(); ++I) {
            const TDependentSetting Setting = DependentSettingAt(Top, Paths[I]);
            if (!Setting.Holder)
                continue;
            const QVariant Current = Setting.Property.read(Setting.Holder);
            if (Pass == 1 && Current != Start[static_cast<size_t>(I)])
                continue;
            for (const QVariant& Value : DependentCandidates(Setting.Property, Current))
                if (DependentWrite(Setting, Value))
                    break;
        }
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

// Tries every setting of every subject (each class's setting once, where
// it is first met) and returns what each changes besides itself.
inline std::vector<TDependentFound> FindDependentSettings(const std::vector<TDependentSubject>& Subjects)
{
    std::vector<TDependentFound> Found;
    std::set<std::pair<QString, QString>> Tried;
    std::set<std::tuple<QString, QString, QString>> Known;
    ForEachDependentSubjectSetting(Subjects, [&](const TDependentSubject& Subject, const QString& Path,
                                                 const TDependentSetting& Setting) {
        const QString Holder = WalkClassName(Setting.Holder);
        const QString Name = QString::fromLatin1(Setting.Property.name());
        if (!Tried.insert({Holder, Name}).second)
            return;
        const QString HolderPrefix = Path.left(Path.size() - Name.size());
        for (const QVariant& Value :
             DependentCandidates(Setting.Property, Setting.Property.read(Setting.Holder)))
        for (const bool Backwards : {false, true}) {
            TChart Chart;
            QObject* Object = Subject.Make(Chart);
            DependentChangeAllBut(Object, Path, Backwards);
            const std::map<QString, QString> Before = DependentState(Object);
            const TDependentSetting Target = DependentSettingAt(Object, Path);
            if (!Target.Holder || !DependentWrite(Target, Value))
                continue;
            const std::map<QString, QString> After = DependentState(Object);
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
                const QString Dependent = Whole.startsWith(HolderPrefix) ? Whole.mid(HolderPrefix.size())
                                                                         : QLatin1Char('/') + Whole;
                if (Known.insert({Holder, Name, Dependent}).second)
                    Found.push_back({Holder, Name, Dependent, &Subject, Path, Value, Whole});
            }
        }
    });
    return Found;
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
