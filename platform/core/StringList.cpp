#include "platform/core/StringList.h"

namespace lp {

TStringList::TStringList() = default;

TStringList::~TStringList() = default;

void TStringList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
}

QString TStringList::Strings(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<size_t>(Index)].FString;
}

void TStringList::SetStrings(int Index, const QString& S)
{
    CheckIndex(Index);
    QString& target = FItems[static_cast<size_t>(Index)].FString;
    if (target == S)
        return;
    target = S;
    Changed();
}

QObject* TStringList::Objects(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<size_t>(Index)].FObject;
}

void TStringList::SetObjects(int Index, QObject* AObject)
{
    CheckIndex(Index);
    QObject*& target = FItems[static_cast<size_t>(Index)].FObject;
    if (target == AObject)
        return;
    target = AObject;
    Changed();
}

int TStringList::Add(const QString& S)
{
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const QString& S, QObject* AObject)
{
    const int index = Count();
    InsertObject(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const QString& S)
{
    InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const QString& S, QObject* AObject)
{
    if (Index < 0 || Index > Count())
        RaiseIndexError(Index, Count() + 1);
    FItems.insert(FItems.begin() + Index, TItem{S, AObject});
    Changed();
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TStringList::Clear()
{
    if (FItems.empty())
        return;
    FItems.clear();
    Changed();
}

int TStringList::IndexOf(const QString& S) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[static_cast<size_t>(i)].FString.compare(S, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TStringList::IndexOfObject(const QObject* AObject) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[static_cast<size_t>(i)].FObject == AObject)
            return i;
    return -1;
}

QString TStringList::Text() const
{
    QString result;
    for (const TItem& item : FItems) {
        result += item.FString;
        result += QLatin1String("\r\n");
    }
    return result;
}

void TStringList::SetText(const QString& Value)
{
    std::vector<TItem> lines;
    qsizetype start = 0;
    const qsizetype length = Value.size();
    while (start < length) {
        qsizetype end = start;
        while (end < length && Value[end] != u'\r' && Value[end] != u'\n')
            ++end;
        lines.push_back(TItem{Value.mid(start, end - start), nullptr});
        if (end < length && Value[end] == u'\r' && end + 1 < length && Value[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    if (lines == FItems)
        return;
    FItems = std::move(lines);
    Changed();
}

void TStringList::BeginUpdate()
{
    ++FUpdateCount;
}

void TStringList::EndUpdate()
{
    Assert(FUpdateCount > 0, "String list EndUpdate without BeginUpdate");
    if (--FUpdateCount == 0 && FChangedWhileUpdating) {
        FChangedWhileUpdating = false;
        if (OnChange)
            OnChange(this);
    }
}

void TStringList::Assign(const TPersistent* Source)
{
    const auto* source = qobject_cast<const TStringList*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    if (source->FItems == FItems)
        return;
    FItems = source->FItems;
    Changed();
}

QStringList TStringList::ToQStringList() const
{
    QStringList result;
    result.reserve(Count());
    for (const TItem& item : FItems)
        result.append(item.FString);
    return result;
}

void TStringList::Changed()
{
    if (FUpdateCount > 0) {
        FChangedWhileUpdating = true;
        return;
    }
    if (OnChange)
        OnChange(this);
}

void TStringList::DefineProperties(TFiler& Filer)
{
    TPersistent::DefineProperties(Filer);
    Filer.DefineProperty(
        QStringLiteral("Strings"),
        [this](const QVariant& V) {
            Clear();
            for (const QString& S : V.toStringList())
                Add(S);
        },
        [this] {
            QStringList Lines;
            for (int I = 0; I < Count(); ++I)
                Lines << Strings(I);
            return QVariant(Lines);
        },
        Count() > 0);
}

} // namespace lp
