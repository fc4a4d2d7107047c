// The desktop's file type: written once, again only when it changed.

#include "section/main/FileTypeRegistration.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace lp {
namespace {

TEST(FileType, WrittenWhenMissingOrChangedOnly)
{
    QTemporaryDir data;
    TFileTypeEntry entry{QStringLiteral("sec"), QStringLiteral("Vexa section data"), {},
                         QStringLiteral("/opt/my programs/lithoprism")};
    EXPECT_TRUE(RegisterFileType(entry, data.path(), false));
    const QString desktop = data.filePath(QStringLiteral("applications/lithoprism.desktop"));
    const QString mime = data.filePath(QStringLiteral("mime/packages/lithoprism-sec.xml"));
    ASSERT_TRUE(QFileInfo::exists(desktop));
    ASSERT_TRUE(QFileInfo::exists(mime));
    EXPECT_FALSE(RegisterFileType(entry, data.path(), false));
    entry.Program = QStringLiteral("/usr/bin/lithoprism");
    EXPECT_TRUE(RegisterFileType(entry, data.path(), false));

    QFile file(desktop);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("Exec=\"/usr/bin/lithoprism\" %f\n"));
    EXPECT_TRUE(MimePackageText(entry).contains(QStringLiteral("<comment>Vexa section data</comment>")));
    EXPECT_TRUE(MimePackageText(entry).contains(QStringLiteral("<glob pattern=\"*.sec\"/>")));
    EXPECT_TRUE(DesktopEntryText({QStringLiteral("sec"), {}, {}, QStringLiteral("/a \"b\"/$x")})
                    .contains(QStringLiteral("Exec=\"/a \\\"b\\\"/\\$x\" %f")));
}

std::string PackagedFileText(const char* Name)
{
    QFile file(QStringLiteral(LP_INSTALL_FILES_DIR "/%1").arg(QLatin1String(Name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// The Debian package installs the files the registration writes for a
// user, under the same names: the same MIME type, and the same desktop
// entry but for its program, which is the one on the PATH.
TEST(FileType, PackagedFilesAreThoseRegistered)
{
    const TFileTypeEntry installed{QStringLiteral("sec"), QStringLiteral("Vexa section data"),
                                   QStringLiteral("lithoprism"), QStringLiteral("lithoprism")};
    EXPECT_EQ(PackagedFileText("lithoprism-sec.xml"), MimePackageText(installed).toStdString());
    QString desktop = DesktopEntryText(installed);
    desktop.replace(QStringLiteral("Exec=\"lithoprism\" %f"), QStringLiteral("Exec=lithoprism %f"));
    EXPECT_EQ(PackagedFileText("lithoprism.desktop"), desktop.toStdString());
}

TEST(FileType, DataFolderFollowsXdgDataHome)
{
    qputenv("XDG_DATA_HOME", "/somewhere/data");
    EXPECT_EQ(UserDataFolder(), QStringLiteral("/somewhere/data"));
    qputenv("XDG_DATA_HOME", "relative");
    EXPECT_NE(UserDataFolder(), QStringLiteral("relative"));
    qunsetenv("XDG_DATA_HOME");
}

} // namespace
} // namespace lp
