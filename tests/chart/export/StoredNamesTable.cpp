#include "StoredNamesTable.h"
#include "StoredNamesWalk.h"

#include <algorithm>

namespace lp::test {

namespace {

QSet<QString> StoredNamesSet(const std::vector<const char*>& Names)
{
    QSet<QString> Set;
    for (const char* Name : Names)
        Set.insert(QString::fromLatin1(Name));
    return Set;
}

void StoredNamesDifferences(const QString& Class, const QString& What, const QSet<QString>& Expected,
                     const QSet<QString>& Walked, QStringList& Out)
{
    QStringList Lines;
    for (const QString& Name : Expected)
        if (!Walked.contains(Name))
            Lines << QStringLiteral("%1.%2: %3 but not walked by the writer").arg(Class, Name, What);
    for (const QString& Name : Walked)
        if (!Expected.contains(Name))
            Lines << QStringLiteral("%1.%2: walked by the writer but not %3").arg(Class, Name, What);
    Lines.sort();
    Out << Lines;
}

} // namespace

const std::vector<TStoredNamesRow>& StoredNamesTable()
{
    static const std::vector<TStoredNamesRow> Table = [] {
        std::vector<TStoredNamesRow> Rows;
        AddStandardSeriesNames(Rows);
        AddExtendedSeriesNames(Rows);
        AddFunctionNames(Rows);
        AddToolNames(Rows);
        AddChartPartNames(Rows);
        return Rows;
    }();
    return Table;
}

QStringList CompareStoredNames(const TStoredNamesRow& Row, const QSet<QString>& Written,
                               const QSet<QString>& ReadOnly)
{
    const QString Class = QString::fromLatin1(Row.ClassName);
    const QSet<QString> Published = StoredNamesSet(Row.Published);
    QSet<QString> Expected = Published;
    QStringList Out;
    for (const TStoredNameDeviation& Deviation : Row.Deviations) {
        const QString Signed = QString::fromLatin1(Deviation.Name);
        const QString Name = Signed.mid(1);
        if (Signed.startsWith(QLatin1Char('+'))) {
            if (Published.contains(Name))
                Out << QStringLiteral("%1.%2: stored beyond the design, but the design publishes it").arg(Class, Name);
            Expected.insert(Name);
        } else if (Signed.startsWith(QLatin1Char('-'))) {
            if (!Published.contains(Name))
                Out << QStringLiteral("%1.%2: left out, but the design does not publish it").arg(Class, Name);
            Expected.remove(Name);
        } else {
            Out << QStringLiteral("%1: deviation \"%2\" is neither + nor -").arg(Class, Signed);
        }
    }
    StoredNamesDifferences(Class, QStringLiteral("published by the design"), Expected, Written, Out);
    StoredNamesDifferences(Class, QStringLiteral("read from earlier files by the design"), StoredNamesSet(Row.ReadOnly), ReadOnly,
                    Out);
    return Out;
}

QStringList CompareWalkWithTable(const std::map<QString, TWalkedNames>& Walked)
{
    const std::vector<TStoredNamesRow>& Table = StoredNamesTable();
    QStringList Differences;
    for (const auto& [Class, Names] : Walked) {
        const QString& Name = Class; // a structured binding cannot be captured before C++20 in clang 14
        const auto Row = std::find_if(Table.begin(), Table.end(),
                                      [&](const TStoredNamesRow& R) { return Name == QLatin1String(R.ClassName); });
        if (Row == Table.end()) {
            QStringList Sorted(Names.Written.begin(), Names.Written.end());
            Sorted.sort();
            Differences << Class + QStringLiteral(": no row in the table (walks ") + Sorted.join(QLatin1Char(' ')) +
                               QLatin1Char(')');
            continue;
        }
        Differences << CompareStoredNames(*Row, Names.Written, Names.ReadOnly);
        for (const QString& Name : Names.Twice)
            Differences << Class + QLatin1Char('.') + Name + QStringLiteral(": written twice, published and defined");
    }
    Differences.removeAll(QString());
    return Differences;
}

} // namespace lp::test
