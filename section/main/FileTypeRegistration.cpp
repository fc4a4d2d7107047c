#include "section/main/FileTypeRegistration.h"

#include "platform/core/SafeSave.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>

namespace lp {

namespace {

QString MimeType(const TFileTypeEntry& Entry)
{
    return QStringLiteral("application/x-lithoprism-%1").arg(Entry.Extension);
}

// A desktop-entry argument: quoted, with the characters the format
// escapes inside quotes.
QString QuoteExecArgument(QString Text)
{
    for (const char* special : {"\\", "\"", "`", "$"})
        Text.replace(QLatin1String(special), QLatin1String("\\") + QLatin1String(special));
    return QLatin1Char('"') + Text + QLatin1Char('"');
}

bool WriteIfChanged(const QString& FileName, const QString& Text)
{
    const QByteArray content = Text.toUtf8();
    QFile existing(FileName);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return false;
    existing.close();
    if (!QDir().mkpath(QFileInfo(FileName).absolutePath()))
        return false;
    QString error;
    return SaveBytesAtomically(FileName, content, error);
}

void UpdateDatabase(const QString& Tool, const QString& Folder)
{
    const QString program = QStandardPaths::findExecutable(Tool);
    if (!program.isEmpty())
        QProcess::startDetached(program, {Folder});
}

} // namespace

QString DesktopEntryText(const TFileTypeEntry& Entry)
{
    QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=Lithoprism\n"
                                  "GenericName=Section editor\nComment=Edit geological cross-sections\n");
    // The launcher passes the file as one argument (%f), blanks and all.
    text += QStringLiteral("Exec=%1 %f\n").arg(QuoteExecArgument(Entry.Program));
    if (!Entry.IconPath.isEmpty())
        text += QStringLiteral("Icon=%1\n").arg(Entry.IconPath);
    text += QStringLiteral("MimeType=%1;\nTerminal=false\nCategories=Science;Geoscience;Education;\n").arg(MimeType(Entry));
    return text;
}

QString MimePackageText(const TFileTypeEntry& Entry)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                          "  <mime-type type=\"%1\">\n"
                          "    <comment>%2</comment>\n"
                          "    <glob pattern=\"*.%3\"/>\n"
                          "  </mime-type>\n"
                          "</mime-info>\n")
        .arg(MimeType(Entry), Entry.Description.toHtmlEscaped(), Entry.Extension);
}

QString UserDataFolder()
{
    const QString configured = qEnvironmentVariable("XDG_DATA_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return configured;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

bool RegisterFileType(const TFileTypeEntry& Entry, const QString& DataFolder, bool UpdateDatabases)
{
    const QString applications = DataFolder + QStringLiteral("/applications");
    const QString mime = DataFolder + QStringLiteral("/mime");
    const bool desktopChanged =
        WriteIfChanged(applications + QStringLiteral("/lithoprism.desktop"), DesktopEntryText(Entry));
    const bool mimeChanged = WriteIfChanged(mime + QStringLiteral("/packages/lithoprism-%1.xml").arg(Entry.Extension),
                                            MimePackageText(Entry));
    if (mimeChanged && UpdateDatabases)
        UpdateDatabase(QStringLiteral("update-mime-database"), mime);
    if (desktopChanged && UpdateDatabases)
        UpdateDatabase(QStringLiteral("update-desktop-database"), applications);
    return desktopChanged || mimeChanged;
}

void RegisterSectionFileType()
{
    const QString program = QCoreApplication::applicationFilePath();
    const QString icon = QDir(QCoreApplication::applicationDirPath())
                             .absoluteFilePath(QStringLiteral("../share/icons/hicolor/64x64/apps/lithoprism.png"));
    RegisterFileType({QStringLiteral("sec"), QStringLiteral("Vexa section data"),
                      QFileInfo::exists(icon) ? QStringLiteral("lithoprism") : QString(), program},
                     UserDataFolder());
}

} // namespace lp
