#pragma once
// What the chart file writer walks for each class it meets: the published
// properties it may write (readable and stored, a component's Name aside)
// and the names the class defines for itself (DefineProperties), those
// without a writer apart as names only read from earlier files. Walked from
// live objects, sub-objects and collection items included, so the classes
// met are those a saved chart really holds.

#include "platform/core/Collections.h"
#include "platform/core/Component.h"
#include "platform/core/Filer.h"
#include "platform/core/PropertyInfo.h"

#include <QtCore/QMetaProperty>
#include <QtCore/QSet>
#include <QtCore/QString>

#include <map>

namespace lp::test {

struct TWalkedNames {
    QSet<QString> Written; // published and stored, or defined with a writer
    QSet<QString> ReadOnly; // defined with a reader only
    QSet<QString> Twice; // defined with a writer under a published name
};

// Class name without the namespace ("TChartPen").
inline QString WalkClassName(const QObject* Object)
{
    const QString Full = QString::fromLatin1(Object->metaObject()->className());
    const int Colon = Full.lastIndexOf(QLatin1Char(':'));
    return Colon < 0 ? Full : Full.mid(Colon + 1);
}

class TStoredNamesWalk {
public:
    // Walks Object and every sub-object and collection item below it.
    void Walk(QObject* Object, int Depth = 0)
    {
        if (!Object || Depth > 8)
            return;
        TWalkedNames& Names = FClasses[WalkClassName(Object)];
        const bool IsComponent = qobject_cast<TComponent*>(Object) != nullptr;
        QSet<QString> Published;
        for (const QMetaProperty& Property : PublishedProperties(Object)) {
            const QString Name = QString::fromLatin1(Property.name());
            if ((IsComponent && Name == QLatin1String("Name")) || !Property.isReadable() || !Property.isStored())
                continue;
            Names.Written.insert(Name);
            Published.insert(Name);
            const QVariant Value = Property.read(Object);
            if (!(Value.metaType().flags() & QMetaType::PointerToQObject))
                continue;
            const QMetaObject* Meta = Property.metaType().metaObject();
            if (Meta && Meta->inherits(&TComponent::staticMetaObject))
                continue; // a link by name
            QObject* Target = *static_cast<QObject* const*>(Value.constData());
            if (auto* Collection = qobject_cast<TCollection*>(Target)) {
                for (int I = 0; I < Collection->Count(); ++I)
                    Walk(Collection->Items(I), Depth + 1);
            } else if (Target && Target != Object) {
                Walk(Target, Depth + 1);
            }
        }
        if (auto* Persistent = qobject_cast<TPersistent*>(Object)) {
            TPropertyDefinitions Definitions;
            Persistent->DefineProperties(Definitions);
            for (const TPropertyDefinitions::TDefinition& Definition : Definitions.Items) {
                const bool Writes = Definition.Binary ? bool(Definition.WriteStream) : bool(Definition.WriteValue);
                (Writes ? Names.Written : Names.ReadOnly).insert(Definition.Name);
                if (Writes && Published.contains(Definition.Name))
                    Names.Twice.insert(Definition.Name);
            }
        }
    }

    // Walks a chart as the chart file holds it: the chart, each series with
    // its function, and each tool (a template, so that this header needs no
    // chart header).
    template <class TChartLike>
    void WalkChart(TChartLike& Chart)
    {
        Walk(&Chart);
        for (int I = 0; I < Chart.SeriesCount(); ++I) {
            Walk(Chart.Series(I));
            Walk(Chart.Series(I)->SeriesFunction());
            // The marks' own items, written inside the marks' Items block.
            const auto& Items = Chart.Series(I)->Marks()->Items();
            for (int Item = 0; Item < Items.Count(); ++Item)
                Walk(Items.Find(Item));
        }
        for (int I = 0; I < Chart.Tools().Count(); ++I)
            Walk(Chart.Tools().Items(I));
    }

    const std::map<QString, TWalkedNames>& Classes() const { return FClasses; }

private:
    std::map<QString, TWalkedNames> FClasses;
};

} // namespace lp::test
