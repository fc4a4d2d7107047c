#include "platform/ui/Registry.h"

#include <QtCore/QFile>
#include <QtCore/QStringBuilder>

namespace lp {

namespace {

// An empty key has no entries in the file and would vanish; a created key
// keeps this hidden value until it gets real ones.
const QString kKeyMarker = QStringLiteral("@key");

QString OrganisationName()
{
    return QStringLiteral("Lithoprism");
}

std::string Quoted(const QString& Text)
{
    return "'" + Text.toStdString() + "'";
}

} // namespace

TRegistry::TRegistry(TRootKey Root) : FRootKey(Root)
{
    SetRootKey(Root);
}

TRegistry::~TRegistry()
{
    if (FSettings)
        FSettings->sync();
}

void TRegistry::SetRootKey(TRootKey Value)
{
    if (FSettings)
        FSettings->sync();
    FRootKey = Value;
    FCurrentPath.clear();
    FDamagedCopyKept = false;
    OpenSettings();
    // Qt reads what it can of a damaged file and reports the rest as a
    // format error; the values it read are used.
    FDamaged = FSettings->status() == QSettings::FormatError;
}

void TRegistry::OpenSettings()
{
    const auto Scope = FRootKey == HKEY_CURRENT_USER ? QSettings::UserScope : QSettings::SystemScope;
    FSettings = std::make_unique<QSettings>(QSettings::IniFormat, Scope, OrganisationName(), OrganisationName());
    // Reads of the user's keys must not see the machine's values.
    FSettings->setFallbacksEnabled(false);
}

QString TRegistry::FileName() const
{
    return FSettings->fileName();
}

QString TRegistry::DamagedCopyName() const
{
    return FileName() + QStringLiteral(".damaged");
}

void TRegistry::KeepDamagedCopy()
{
    if (!FDamaged || FDamagedCopyKept)
        return;
    // The newest damaged file replaces an older copy; a copy that cannot
    // be made is tried again at the next write.
    QFile::remove(DamagedCopyName());
    FDamagedCopyKept = QFile::copy(FileName(), DamagedCopyName());
}

QString TRegistry::ResolvePath(const QString& Key) const
{
    QStringList Parts;
    if (!Key.startsWith(QLatin1Char('\\')) && !FCurrentPath.isEmpty())
        Parts = FCurrentPath.split(QLatin1Char('\\'));
    for (const QString& Part : Key.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        if (Part.contains(QLatin1Char('/')))
            throw ERegistryException("Invalid key name " + Quoted(Key) + ": a key name cannot contain '/'");
        Parts.append(Part);
    }
    return Parts.join(QLatin1Char('\\'));
}

QString TRegistry::GroupOf(const QString& Path) const
{
    QString Group = Path;
    Group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return Group;
}

QString TRegistry::ValueKey(const QString& Name) const
{
    CheckName(Name);
    const QString Group = GroupOf(FCurrentPath);
    return Group.isEmpty() ? Name : Group % QLatin1Char('/') % Name;
}

void TRegistry::CheckName(const QString& Name) const
{
    if (Name.isEmpty() || Name.contains(QLatin1Char('/')) || Name.contains(QLatin1Char('\\')) || Name == kKeyMarker)
        throw ERegistryException("Invalid value name " + Quoted(Name));
}

bool TRegistry::PathExists(const QString& Path) const
{
    if (Path.isEmpty())
        return true;
    const qsizetype Split = Path.lastIndexOf(QLatin1Char('\\'));
    const QString Parent = Split < 0 ? QString() : Path.left(Split);
    const QString Last = Path.mid(Split + 1);
    FSettings->beginGroup(GroupOf(Parent));
    const bool Exists = FSettings->childGroups().contains(Last);
    FSettings->endGroup();
    return Exists;
}

void TRegistry::Flush(const QString& Action, const QString& Name)
{
    KeepDamagedCopy();
    FSettings->sync();
    if (FSettings->status() != QSettings::NoError) {
        // QSettings keeps the first error it met, so an error met while
        // reading hides whether this write reached the file. A fresh object
        // over the same file shares its unwritten changes, tries them again
        // as it opens and reports only what happens now.
        OpenSettings();
    }
    if (FSettings->status() == QSettings::AccessError)
        throw ERegistryException("Failed to " + Action.toStdString() + " " + Quoted(Name) +
                                 ": the settings file cannot be written");
}

bool TRegistry::OpenKey(const QString& Key, bool CanCreate)
{
    const QString Path = ResolvePath(Key);
    if (!PathExists(Path)) {
        if (!CanCreate)
            return false;
        FSettings->setValue(GroupOf(Path) % QLatin1Char('/') % kKeyMarker, 1);
        Flush(QStringLiteral("create key"), Path);
    }
    FSettings->sync();
    FCurrentPath = Path;
    return true;
}

void TRegistry::CloseKey()
{
    FSettings->sync();
    FCurrentPath.clear();
}

bool TRegistry::KeyExists(const QString& Key) const
{
    return PathExists(ResolvePath(Key));
}

bool TRegistry::CreateKey(const QString& Key)
{
    const QString Path = ResolvePath(Key);
    if (Path.isEmpty())
        throw ERegistryException("Failed to create key " + Quoted(Key) + ": the key has no name");
    if (PathExists(Path))
        return true;
    FSettings->setValue(GroupOf(Path) % QLatin1Char('/') % kKeyMarker, 1);
    Flush(QStringLiteral("create key"), Path);
    return true;
}

bool TRegistry::DeleteKey(const QString& Key)
{
    const QString Path = ResolvePath(Key);
    if (Path.isEmpty())
        throw ERegistryException("Failed to delete key " + Quoted(Key) + ": the root cannot be deleted");
    if (!PathExists(Path))
        return false;
    FSettings->remove(GroupOf(Path));
    // The parent stays a key even when this was its only content.
    const qsizetype Split = Path.lastIndexOf(QLatin1Char('\\'));
    if (Split > 0 && !PathExists(Path.left(Split)))
        FSettings->setValue(GroupOf(Path.left(Split)) % QLatin1Char('/') % kKeyMarker, 1);
    Flush(QStringLiteral("delete key"), Path);
    // The open key went with it when it lay inside the deleted one.
    if (FCurrentPath == Path || FCurrentPath.startsWith(Path % QLatin1Char('\\')))
        CloseKey();
    return true;
}

bool TRegistry::ValueExists(const QString& Name) const
{
    return FSettings->contains(ValueKey(Name));
}

bool TRegistry::DeleteValue(const QString& Name)
{
    const QString Key = ValueKey(Name);
    if (!FSettings->contains(Key))
        return false;
    FSettings->remove(Key);
    // The key stays when its last value goes.
    if (!FCurrentPath.isEmpty() && !PathExists(FCurrentPath))
        FSettings->setValue(GroupOf(FCurrentPath) % QLatin1Char('/') % kKeyMarker, 1);
    Flush(QStringLiteral("delete value"), Name);
    return true;
}

QStringList TRegistry::GetValueNames() const
{
    FSettings->beginGroup(GroupOf(FCurrentPath));
    QStringList Names = FSettings->childKeys();
    FSettings->endGroup();
    Names.removeAll(kKeyMarker);
    Names.sort();
    return Names;
}

QStringList TRegistry::GetKeyNames() const
{
    FSettings->beginGroup(GroupOf(FCurrentPath));
    QStringList Names = FSettings->childGroups();
    FSettings->endGroup();
    Names.sort();
    return Names;
}

TRegistry::TRegDataType TRegistry::GetDataType(const QString& Name) const
{
    const QString Key = ValueKey(Name);
    if (!FSettings->contains(Key))
        return rdUnknown;
    return FSettings->value(Key).typeId() == QMetaType::QString ? rdString : rdOther;
}

QString TRegistry::ReadString(const QString& Name) const
{
    return FSettings->value(ValueKey(Name)).toString();
}

void TRegistry::WriteString(const QString& Name, const QString& Value)
{
    const QString Key = ValueKey(Name);
    FSettings->setValue(Key, Value);
    FSettings->remove(GroupOf(FCurrentPath) % QLatin1Char('/') % kKeyMarker);
    Flush(QStringLiteral("set data for"), Name);
}

int TRegistry::ReadInteger(const QString& Name) const
{
    const QString Key = ValueKey(Name);
    if (!FSettings->contains(Key))
        throw ERegistryException("Invalid data type for " + Quoted(Name) + ": the value does not exist");
    bool Ok = false;
    const int Value = FSettings->value(Key).toString().trimmed().toInt(&Ok);
    if (!Ok)
        throw ERegistryException("Invalid data type for " + Quoted(Name) + ": the value is not an integer");
    return Value;
}

void TRegistry::WriteInteger(const QString& Name, int Value)
{
    WriteString(Name, QString::number(Value));
}

bool TRegistry::ReadBool(const QString& Name) const
{
    return ReadInteger(Name) != 0;
}

void TRegistry::WriteBool(const QString& Name, bool Value)
{
    WriteInteger(Name, Value ? 1 : 0);
}

} // namespace lp
