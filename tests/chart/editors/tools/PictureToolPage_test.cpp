// The picture tool's page: one button loads and clears; a cancelled file
// choice or save changes nothing; a saved picture reads back through the
// picture registry.

#include "chart/editors/tools/PictureToolPage.h"

#include "ToolPageTestSupport.h"
#include "chart/engine/PlotImageTool.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

struct PicturePageTest : ::testing::Test {
    QTemporaryDir Folder;
    TEditorChart Chart;
    TChartImageTool* Tool = test::AddChartTool<TChartImageTool>(Chart);
    test::TFileDialogAnswers Answers;

    QString WriteBitmap(const QString& Name)
    {
        TBitmap bitmap;
        bitmap.SetSize(12, 8);
        bitmap.Canvas().Brush().SetColor(clRed);
        bitmap.Canvas().FillRect(TRect{0, 0, 12, 8});
        const QString file = Folder.filePath(Name);
        bitmap.SaveToFile(file);
        return file;
    }
};

TEST_F(PicturePageTest, TheButtonTogglesBetweenLoadingAndClearing)
{
    auto page = test::ShowToolPage<TChartImageToolEditor>(Tool);
    EXPECT_EQ(page->Button1->text(), QStringLiteral("B&rowse..."));
    EXPECT_FALSE(page->BSave->isEnabled());
    // A cancelled choice changes nothing.
    const int paints = Chart.Invalidations;
    QTest::mouseClick(page->Button1, Qt::LeftButton);
    EXPECT_EQ(Answers.Opens, 1);
    EXPECT_EQ(Tool->Picture()->Graphic(), nullptr);
    EXPECT_EQ(Chart.Invalidations, paints);

    Answers.OpenAnswer = WriteBitmap(QStringLiteral("red.bmp"));
    QTest::mouseClick(page->Button1, Qt::LeftButton);
    ASSERT_NE(Tool->Picture()->Graphic(), nullptr);
    EXPECT_EQ(Tool->Picture()->Width(), 12);
    EXPECT_GT(Chart.Invalidations, paints);
    EXPECT_EQ(page->Button1->text(), QStringLiteral("Clea&r"));
    EXPECT_TRUE(page->BSave->isEnabled());
    EXPECT_FALSE(page->Image1->pixmap().isNull());

    QTest::mouseClick(page->Button1, Qt::LeftButton);
    EXPECT_EQ(Answers.Opens, 2);
    EXPECT_EQ(Tool->Picture()->Graphic(), nullptr);
    EXPECT_EQ(page->Button1->text(), QStringLiteral("B&rowse..."));
    EXPECT_TRUE(page->Image1->pixmap().isNull());
}

TEST_F(PicturePageTest, AFileThatIsNoPictureOrCannotBeWrittenShowsAMessage)
{
    auto page = test::ShowToolPage<TChartImageToolEditor>(Tool);
    test::TMessageCounter messages;
    QFile text(Folder.filePath(QStringLiteral("notes.xyz")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    Answers.OpenAnswer = text.fileName();
    QTest::mouseClick(page->Button1, Qt::LeftButton);
    EXPECT_EQ(messages.Count, 1);
    EXPECT_EQ(Tool->Picture()->Graphic(), nullptr);
    EXPECT_EQ(page->Button1->text(), QStringLiteral("B&rowse..."));

    Answers.OpenAnswer = WriteBitmap(QStringLiteral("red.bmp"));
    QTest::mouseClick(page->Button1, Qt::LeftButton);
    Answers.SaveAnswer = Folder.filePath(QStringLiteral("missing/folder/saved.bmp"));
    QTest::mouseClick(page->BSave, Qt::LeftButton);
    EXPECT_EQ(messages.Count, 2);
    EXPECT_FALSE(QFile::exists(*Answers.SaveAnswer));
}

TEST_F(PicturePageTest, SavingWritesAFileThePictureRegistryReadsBack)
{
    TPicture picture;
    picture.LoadFromFile(WriteBitmap(QStringLiteral("source.bmp")));
    Tool->SetPicture(&picture);
    auto page = test::ShowToolPage<TChartImageToolEditor>(Tool);
    const QString target = Folder.filePath(QStringLiteral("saved.bmp"));
    // Cancelled: no file.
    QTest::mouseClick(page->BSave, Qt::LeftButton);
    EXPECT_EQ(Answers.Saves, 1);
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(Answers.LastSave.Filter.contains(QStringLiteral("*.bmp")));
    EXPECT_FALSE(Answers.LastSave.Filter.contains(QStringLiteral("*.png")));

    Answers.SaveAnswer = target;
    QTest::mouseClick(page->BSave, Qt::LeftButton);
    ASSERT_TRUE(QFile::exists(target));
    TPicture readBack;
    readBack.LoadFromFile(target);
    EXPECT_EQ(readBack.Width(), 12);
    EXPECT_EQ(readBack.Height(), 8);
}

} // namespace
} // namespace lp
