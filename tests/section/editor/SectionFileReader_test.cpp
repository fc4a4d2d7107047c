// The one reader of section files: what a file holds beyond the precision
// of its number forms opens as a save keeps it, a file as the program
// writes it opens as it is read, and files that cannot be read say so.

#include "section/editor/SectionFileReader.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

namespace lp {
namespace {

QByteArray ExampleBytes()
{
    QFile file(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

QString Written(const QTemporaryDir& Folder, const QByteArray& Bytes)
{
    const QString name = Folder.filePath(QStringLiteral("section.sec"));
    QFile file(name);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(Bytes);
    return name;
}

TEST(SectionFileReader, AFileAsTheProgramWritesItOpensAsItIsRead)
{
    const QByteArray bytes = ExampleBytes();
    TSectionModel parsed;
    ASSERT_TRUE(ParseSectionModelBlock(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), parsed));
    QTemporaryDir folder;
    TSectionModel read;
    ASSERT_TRUE(ReadSectionFile(Written(folder, bytes), read));
    EXPECT_EQ(read.Nodes, parsed.Nodes);
    EXPECT_EQ(FormatSectionModelBlock(read), FormatSectionModelBlock(parsed));
    // The file's block is what a save writes.
    EXPECT_NE(bytes.indexOf(QByteArray::fromStdString(FormatSectionModelBlock(read))), -1);
}

TEST(SectionFileReader, NumbersBeyondTheirFormsOpenAsASaveKeepsThem)
{
    QByteArray bytes = ExampleBytes();
    // A line's point with three decimals (its form keeps one), a resistivity
    // with four (the form keeps three), a polarizability that is no number
    // (saved as not set).
    const std::pair<QByteArray, QByteArray> changes[] = {
        {"40.0 190.0 300.0", "40.04 190.0 300.0"},
        {"Sandstone 1 * 120.000 2.000", "Sandstone 1 * 120.0004 two"},
    };
    for (const auto& [from, to] : changes) {
        ASSERT_EQ(bytes.count(from), 1) << from.toStdString();
        bytes.replace(from, to);
    }
    QTemporaryDir folder;
    TSectionModel read;
    ASSERT_TRUE(ReadSectionFile(Written(folder, bytes), read));
    EXPECT_EQ(read.Lines[0].points[0].re, 40.0);
    const TPolygonParams& sandstone = read.Model[1][0].params;
    EXPECT_EQ(sandstone[psResistivity].AsReal(), 120.0);
    EXPECT_TRUE(sandstone[psPolarizability].IsEmpty());
    // Written and read again, it is the same.
    TSectionModel again;
    ASSERT_TRUE(ReadSectionFile(Written(folder, "example.jpg\r\n 0 0 1 1\r\n\r\n" +
                                                    QByteArray::fromStdString(FormatSectionModelBlock(read))),
                                again));
    EXPECT_EQ(FormatSectionModelBlock(again), FormatSectionModelBlock(read));
}

TEST(SectionFileReader, FilesThatCannotBeReadSaySo)
{
    QTemporaryDir folder;
    TSectionModel read;
    const QString missing = folder.filePath(QStringLiteral("missing.sec"));
    try {
        ReadSectionFile(missing, read);
        ADD_FAILURE() << "a missing file was read";
    } catch (const ESectionFileError& error) {
        EXPECT_EQ(error.Message().rfind(("The section file \"" + missing + "\" cannot be read: ").toStdString(), 0),
                  0u)
            << error.Message();
    }
    // No block: nothing read, nothing raised.
    EXPECT_FALSE(ReadSectionFile(Written(folder, "example.jpg\r\n 0 0 1 1\r\n"), read));
    EXPECT_TRUE(read.Nodes.Empty());
    // An invalid block names the file and the line.
    QByteArray bytes = ExampleBytes();
    bytes.replace("\r\n14\r\n", "\r\n15\r\n");
    const QString invalid = Written(folder, bytes);
    try {
        ReadSectionFile(invalid, read);
        ADD_FAILURE() << "an invalid block was read";
    } catch (const ESectionFileError& error) {
        EXPECT_EQ(error.Message().rfind(("The section file \"" + invalid + "\" holds an invalid model: line ")
                                            .toStdString(),
                                        0),
                  0u)
            << error.Message();
    }
    EXPECT_TRUE(read.Nodes.Empty());
}

} // namespace
} // namespace lp
