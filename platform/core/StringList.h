#pragma once
// TStringList: an ordered list of strings, each with an associated object.
//
// The objects are observed, never owned: the list neither destroys them nor
// notices when they go, so whoever puts an object in takes it out before
// destroying it. Strings compare ignoring case, like names everywhere else
// in the system. Text() is the list as CR LF terminated lines, the form of
// the system's text files.
//
// Change reports: OnChange runs after every call that changes the list's
// strings or objects (a call that leaves them as they were reports nothing). Between BeginUpdate and EndUpdate it is held back; the
// EndUpdate that brings the counter back to 0 runs it once if anything
// changed meanwhile.

#include "platform/core/Component.h"

#include <QtCore/QStringList>

#include <functional>
#include <vector>

namespace lp {

class TStringList : public TPersistent {
    Q_OBJECT
public:
    TStringList();
    ~TStringList() override;

    int Count() const noexcept { return static_cast<int>(FItems.size()); }

    // Element access; every Index outside 0 .. Count - 1 raises ERangeError.
    QString Strings(int Index) const;
    void SetStrings(int Index, const QString& S);
    QObject* Objects(int Index) const;
    void SetObjects(int Index, QObject* AObject);

    // Append a line and return its index.
    int Add(const QString& S);
    int AddObject(const QString& S, QObject* AObject);
    // Insert before Index (0 .. Count; Count appends), else ERangeError.
    void Insert(int Index, const QString& S);
    void InsertObject(int Index, const QString& S, QObject* AObject);
    void Delete(int Index);
    void Clear();

    // The first index of S ignoring case, or -1.
    int IndexOf(const QString& S) const;
    // The first index whose object is AObject, or -1.
    int IndexOfObject(const QObject* AObject) const;

    // Every line followed by CR LF ("" for an empty list).
    QString Text() const;
    // Replaces the lines (objects become nullptr) by those of Value, split at
    // CR LF, LF or CR. A final line break ends the last line and adds no
    // empty one; "" gives an empty list. One change report at most.
    void SetText(const QString& Value);

    void BeginUpdate();
    // EndUpdate without BeginUpdate raises EAssertionFailed.
    void EndUpdate();
    int UpdateCount() const noexcept { return FUpdateCount; }

    // From another TStringList: copies its strings and objects (one change
    // report at most). Other sources go to TPersistent.
    void Assign(const TPersistent* Source) override;
    // "Strings": the lines as a list, stored when there is any.
    void DefineProperties(TFiler& Filer) override;

    QStringList ToQStringList() const;

    std::function<void(TStringList*)> OnChange;

private:
    struct TItem {
        QString FString;
        QObject* FObject = nullptr;
        bool operator==(const TItem&) const = default;
    };

    void CheckIndex(int Index) const;
    void Changed();

    std::vector<TItem> FItems;
    int FUpdateCount = 0;
    bool FChangedWhileUpdating = false;
};

} // namespace lp
