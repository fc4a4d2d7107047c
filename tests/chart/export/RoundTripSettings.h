#pragma once
// Settings changed away from what they are, for round trips through the
// chart file: every stored published property of an object, its
// sub-objects included, is given another value a user could set, in a
// seeded order of candidates; a walk of the stored state; the differences
// of two dumps; every registered series kind.

#include "chart/engine/PlotRegistry.h"
#include "platform/core/Collections.h"
#include "platform/core/Component.h"
#include "platform/core/PropertyInfo.h"

#include <QtCore/QMetaEnum>
#include <QtCore/QMetaProperty>
#include <QtCore/QSet>
#include <QtCore/QStringList>
#include <QtCore/QVariant>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

namespace lp::test {

inline QObject* RoundTripPointed(const QVariant& Value)
{
    return (Value.metaType().flags() & QMetaType::PointerToQObject) ? *static_cast<QObject* const*>(Value.constData())
                                                                     : nullptr;
}

inline bool RoundTripIsComponentLink(const QMetaProperty& Property)
{
    const QMetaObject* Meta = Property.metaType().metaObject();
    return Meta && Meta->inherits(&TComponent::staticMetaObject);
}

// Whether the class's stored rule for the property (Q_CLASSINFO
// "stored:Name", PropertyInfo.h) lets this object store it now; a property
// a rule leaves out (a standard axis' Horizontal) is no setting of its own.
inline bool RoundTripStoredByRule(QObject* Object, const char* Name)
{
    const QMetaObject* Meta = Object->metaObject();
    const int Index = Meta->indexOfClassInfo(QByteArray("stored:") + Name);
    if (Index < 0)
        return true;
    bool Stored = true;
    QMetaObject::invokeMethod(Object, Meta->classInfo(Index).value(), Qt::DirectConnection,
                              Q_RETURN_ARG(bool, Stored));
    return Stored;
}

// Walks the stored state of an object: every readable stored published
// property of it and its sub-objects, collections by count (at
// "path.Count") and items, links by the linked component's name. Visit is
// given each setting's path, its value as text (enums by number) and
// whether it is a link.
inline void RoundTripWalkStored(QObject* Object, const QString& Prefix,
                                const std::function<void(const QString& Path, const QString& Text, bool Link)>& Visit,
                                int Depth = 0)
{
    if (!Object || Depth > 6)
        return;
    for (const QMetaProperty& Property : PublishedProperties(Object)) {
        if (!Property.isReadable() || !Property.isStored() || QByteArray(Property.name()) == "Name" ||
            !RoundTripStoredByRule(Object, Property.name()))
            continue;
        const QString Path = Prefix + QString::fromLatin1(Property.name());
        const QVariant Value = Property.read(Object);
        if (Value.metaType().flags() & QMetaType::PointerToQObject) {
            QObject* Target = RoundTripPointed(Value);
            if (RoundTripIsComponentLink(Property)) {
                auto* Linked = qobject_cast<TComponent*>(Target);
                Visit(Path, Linked ? Linked->Name() : QStringLiteral("nil"), true);
            } else if (auto* Collection = qobject_cast<TCollection*>(Target)) {
                Visit(Path + QStringLiteral(".Count"), QString::number(Collection->Count()), false);
                for (int I = 0; I < Collection->Count(); ++I)
                    RoundTripWalkStored(Collection->Items(I), Path + QStringLiteral("[%1].").arg(I), Visit, Depth + 1);
            } else if (Target && Target != Object) {
                RoundTripWalkStored(Target, Path + QLatin1Char('.'), Visit, Depth + 1);
            }
            continue;
        }
        Visit(Path, Property.isEnumType() ? QString::number(Value.toInt()) : Value.toString(), false);
    }
}

// Changes every stored published property of an object, its sub-objects
// included, to a value other than the one it has, in a seeded order of
// candidates; a candidate the setter refuses (an exception, or a value
// that does not stick) is passed over for the next.
class TRoundTripSettings {
public:
    explicit TRoundTripSettings(unsigned Seed) : FRandom(Seed) {}

    void ChangeAll(QObject* Object, int Depth = 0)
    {
        if (!Object || Depth > 6)
            return;
        for (const QMetaProperty& Property : PublishedProperties(Object)) {
            if (!Property.isReadable() || !Property.isWritable() || !Property.isStored() ||
                QByteArray(Property.name()) == "Name" || RoundTripIsComponentLink(Property) ||
                !RoundTripStoredByRule(Object, Property.name()))
                continue;
            const QVariant Value = Property.read(Object);
            if (Value.metaType().flags() & QMetaType::PointerToQObject) {
                QObject* Target = RoundTripPointed(Value);
                if (Target && Target != Object && !qobject_cast<TCollection*>(Target))
                    ChangeAll(Target, Depth + 1);
                continue;
            }
            ChangeOne(Object, Property, Value);
        }
    }

private:
    void ChangeOne(QObject* Object, const QMetaProperty& Property, const QVariant& Old)
    {
        for (const QVariant& Candidate : Candidates(Property, Old)) {
            try {
                Property.write(Object, Candidate);
            } catch (const Exception&) {
                continue;
            }
            if (Property.read(Object) != Old)
                return;
        }
    }

    std::vector<QVariant> Candidates(const QMetaProperty& Property, const QVariant& Old)
    {
        std::vector<QVariant> Result;
        if (Property.isEnumType()) {
            const QMetaEnum Enum = Property.enumerator();
            const int Current = Old.toInt();
            for (int I = 0; I < Enum.keyCount(); ++I) {
                const int Value = Enum.isFlag() ? Current ^ Enum.value(I) : Enum.value(I);
                if (Value != Current)
                    Result.push_back(AsType(QVariant(Value), Property));
            }
        } else {
            switch (Property.metaType().id()) {
            case QMetaType::Bool:
                Result.push_back(!Old.toBool());
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::Short: {
                const qlonglong V = Old.toLongLong();
                // Colours are given as colours a user could pick.
                if (QByteArray(Property.name()).endsWith("Color")) {
                    Result.push_back(AsType(QVariant(static_cast<int>(FRandom() & 0xFFFFFF)), Property));
                    break;
                }
                for (qlonglong Step : {1LL, -1LL, 2LL, -2LL, 5LL, 10LL, V, -V / 2})
                    if (Step != 0)
                        Result.push_back(AsType(QVariant(V + Step), Property));
                break;
            }
            case QMetaType::Double:
            case QMetaType::Float: {
                const double V = Old.toDouble();
                for (double Step : {0.5, -0.5, 2.25, -2.25, 10.0, -10.0})
                    Result.push_back(AsType(QVariant(V + Step), Property));
                break;
            }
            case QMetaType::QString:
                Result.push_back(Old.toString() + QStringLiteral("rt%1").arg(FRandom() % 100));
                break;
            default:
                break;
            }
        }
        std::shuffle(Result.begin(), Result.end(), FRandom);
        return Result;
    }

    static QVariant AsType(QVariant Value, const QMetaProperty& Property)
    {
        Value.convert(Property.metaType());
        return Value;
    }

    std::mt19937 FRandom;
};

// The lines of A and B that differ, for a readable failure message.
inline QString RoundTripDifference(const QStringList& A, const QStringList& B)
{
    QStringList Out;
    const QSet<QString> InA(A.begin(), A.end());
    const QSet<QString> InB(B.begin(), B.end());
    for (const QString& Line : A)
        if (!InB.contains(Line))
            Out << QStringLiteral("- ") + Line;
    for (const QString& Line : B)
        if (!InA.contains(Line))
            Out << QStringLiteral("+ ") + Line;
    return Out.mid(0, 400).join(QLatin1Char('\n'));
}

// Every registered series kind once, in registration order (function
// registrations aside).
inline std::vector<TChartSeriesClass> EveryRegisteredSeriesKind()
{
    const TPlotSeriesTypes& Types = *PlotSeriesTypes();
    std::vector<TChartSeriesClass> Kinds;
    for (int I = 0; I < Types.Count(); ++I)
        if (Types[I]->SeriesClass && !Types[I]->FunctionClass &&
            std::find(Kinds.begin(), Kinds.end(), Types[I]->SeriesClass) == Kinds.end())
            Kinds.push_back(Types[I]->SeriesClass);
    return Kinds;
}

} // namespace lp::test
