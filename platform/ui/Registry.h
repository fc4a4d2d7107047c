#pragma once
// Settings store with registry-style keys over QSettings.
//
// A key path is a list of key names separated by backslashes
// ("SOFTWARE\Maker\Program\Editor"). The keys of the current user live in the
// user's configuration file (QSettings, INI format, user scope); those of the
// local machine in the system-wide file of the same name. A path that starts
// with a backslash is taken from the root; any other path is taken relative
// to the key currently open. Key and value names are case-sensitive.
//
// Values are kept as text in the file: integers in decimal, Booleans as the
// integers 0 and 1. Every write is flushed to the file at once, so a failed
// write is reported where it happens (ERegistryException) rather than lost.
//
// The file is outside data: a damaged one (a line that is neither a section
// header nor "name=value") is read as far as it goes, and only a write that
// does not reach the file is an error. A rewrite keeps only what could be
// read, so before the first write over a damaged file a copy of it is kept
// beside it as "<file>.damaged".

#include "platform/base/Exception.h"

#include <QtCore/QSettings>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

namespace lp {

// A failure of the settings store: a value of the wrong type, a key that
// cannot be created or removed, a file that cannot be written.
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

class TRegistry {
public:
    enum TRootKey { HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE };

    explicit TRegistry(TRootKey Root = HKEY_CURRENT_USER);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    TRootKey RootKey() const noexcept { return FRootKey; }
    // Changing the root closes the open key. The local machine's file is
    // usually read-only for the user: writes to it raise ERegistryException.
    void SetRootKey(TRootKey Value);
    // The open key's path from the root, backslash-separated, without a
    // leading backslash; empty while no key is open.
    QString CurrentPath() const { return FCurrentPath; }

    // Makes Key the open key. A missing key is created when CanCreate is set
    // (True returned), else False is returned and the open key stays.
    bool OpenKey(const QString& Key, bool CanCreate);
    // Opens an existing key without creating it.
    bool OpenKeyReadOnly(const QString& Key) { return OpenKey(Key, false); }
    // Closes the open key and flushes the file.
    void CloseKey();
    bool KeyExists(const QString& Key) const;
    // Creates Key (relative as for OpenKey) without opening it.
    bool CreateKey(const QString& Key);
    // Removes Key with all its values and sub-keys; False when it is missing.
    bool DeleteKey(const QString& Key);

    // Value names are not empty and contain no slash or backslash, else
    // ERegistryException.
    bool ValueExists(const QString& Name) const;
    // Removes a value of the open key; False when it is missing.
    bool DeleteValue(const QString& Name);
    // Names of the open key's values and of its direct sub-keys, sorted.
    QStringList GetValueNames() const;
    QStringList GetKeyNames() const;
    bool HasSubKeys() const { return !GetKeyNames().isEmpty(); }

    // How a value is held: as text (strings and the integers and Booleans
    // written here), or in another form that only an edit of the file by
    // hand gives (a list, bytes); rdUnknown for a missing value.
    enum TRegDataType { rdUnknown, rdString, rdOther };
    TRegDataType GetDataType(const QString& Name) const;

    // A missing value reads as the empty text.
    QString ReadString(const QString& Name) const;
    void WriteString(const QString& Name, const QString& Value);
    // A missing value, or one that is not a decimal integer, raises
    // ERegistryException.
    int ReadInteger(const QString& Name) const;
    void WriteInteger(const QString& Name, int Value);
    // As ReadInteger; any non-zero integer is True.
    bool ReadBool(const QString& Name) const;
    void WriteBool(const QString& Name, bool Value);

    // The file of the current root's keys.
    QString FileName() const;
    // True when the file could not be read whole: its readable values are
    // used, the rest is lost at the next write (see DamagedCopyName).
    bool FileDamaged() const noexcept { return FDamaged; }
    // Where the damaged file is copied before it is first rewritten.
    QString DamagedCopyName() const;

private:
    QString ResolvePath(const QString& Key) const;
    QString GroupOf(const QString& Path) const;
    QString ValueKey(const QString& Name) const;
    bool PathExists(const QString& Path) const;
    void CheckName(const QString& Name) const;
    void Flush(const QString& Action, const QString& Name);
    void OpenSettings();
    void KeepDamagedCopy();

    TRootKey FRootKey;
    bool FDamaged = false;
    bool FDamagedCopyKept = false;
    QString FCurrentPath;
    std::unique_ptr<QSettings> FSettings;
};

} // namespace lp
