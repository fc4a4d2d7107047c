// A test that uses another program must skip, not fail, when that program is
// installed but cannot do the conversion (an office suite without its
// spreadsheet component), and must still see a conversion that ran.
#include "OtherProgram.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

namespace lp::test {
namespace {

// A shell script standing in for the other program.
QString FakeProgram(const QTemporaryDir& Dir, const char* Name, const QByteArray& Body)
{
    const QString path = Dir.filePath(QString::fromLatin1(Name));
    QFile script(path);
    EXPECT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n" + Body + "\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    return path;
}

TEST(OtherProgram, ConversionsThatDidNotHappenAreToldApartFromOnesThatDid)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString output = dir.filePath("out.csv");

    const TConversion refused = ConvertWithProgram(
        FakeProgram(dir, "nofilter", "echo 'Error: no export filter for out.csv found, aborting.' >&2"), {}, output);
    EXPECT_FALSE(refused.Converted);
    EXPECT_TRUE(refused.Reason.contains("cannot do this conversion")) << qPrintable(refused.Reason);
    EXPECT_TRUE(refused.Reason.contains("no export filter")) << qPrintable(refused.Reason);

    const TConversion silent = ConvertWithProgram(FakeProgram(dir, "silent", "exit 0"), {}, output);
    EXPECT_FALSE(silent.Converted);
    EXPECT_TRUE(silent.Reason.contains("wrote no out.csv")) << qPrintable(silent.Reason);

    const TConversion missing = ConvertWithProgram(dir.filePath("absent"), {}, output);
    EXPECT_FALSE(missing.Converted);
    EXPECT_TRUE(missing.Reason.contains("could not be started")) << qPrintable(missing.Reason);

    const TConversion done =
        ConvertWithProgram(FakeProgram(dir, "writes", "printf 'a,b\\n' > \"$1\""), {output}, output);
    EXPECT_TRUE(done.Converted) << qPrintable(done.Reason);
}

} // namespace
} // namespace lp::test
