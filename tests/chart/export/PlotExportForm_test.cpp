#include "chart/export/PlotExportForm.h"

#include "DialogTestUtil.h"
#include "ExportTestUtil.h"

#include "chart/export/PlotChartFile.h"
#include "platform/core/TemporaryFiles.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

#include <vector>

namespace lp {
namespace {

// The dialog on the test chart (400 x 300, three bars) with the save
// dialog answered by Answer and a mail program that records its calls.
struct TExportDialog {
    test::TExportChart C;
    TPlotExportForm Form;
    QTemporaryDir Dir;
    TExportSaveRequest Asked;
    QString Answer;
    int AnswerFilter = 0; // 0: keep the offered index
    bool HasMail = true;
    int MailResult = 0;
    QStringList Mailed;

    TExportDialog()
    {
        Form.AskSaveFileName = [this](TExportSaveRequest& Request) {
            Asked = Request;
            Request.FileName = Answer;
            if (AnswerFilter > 0)
                Request.FilterIndex = AnswerFilter;
            return !Answer.isEmpty();
        };
        Form.MailAvailable = [this] { return HasMail; };
        Form.SendMail = [this](const QString& Subject, const QString& FileName) {
            QFile File(FileName);
            Mailed << Subject << FileName << (File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray());
            return MailResult;
        };
        Form.TagPanel = &C.Chart;
        Form.FormShow();
    }
    void ShowPage(QWidget* Page) { Form.PageControl1->setCurrentWidget(Page); }
    QByteArray Saved(const QString& Name)
    {
        QFile File(Dir.filePath(Name));
        return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
    }
};

TEST(PlotExportFormTest, KeepsTheAspectRatioWhileTyping)
{
    TExportDialog D;
    EXPECT_EQ(D.Form.UDWidth->value(), 400);
    EXPECT_EQ(D.Form.UDHeight->value(), 300);
    D.Form.UDWidth->setValue(800);
    EXPECT_EQ(D.Form.UDHeight->value(), 600);
    D.Form.UDHeight->setValue(150);
    EXPECT_EQ(D.Form.UDWidth->value(), 200);
    D.Form.CBAspect->setChecked(false);
    D.Form.UDWidth->setValue(333);
    EXPECT_EQ(D.Form.UDHeight->value(), 150);
}

TEST(PlotExportFormTest, ListsTheFormatsAndTheSeries)
{
    TExportDialog D;
    ASSERT_GT(D.Form.LBFormat->count(), 0);
    EXPECT_EQ(D.Form.LBFormat->currentRow(), 0);
    for (int I = 0; I < D.Form.LBFormat->count(); ++I)
        EXPECT_FALSE(D.Form.LBFormat->item(I)->text().contains(u'&'));
    EXPECT_EQ(D.Form.CBSeries->count(), 2);
    EXPECT_EQ(D.Form.CBSeries->itemText(0), "(all)");
    EXPECT_EQ(D.Form.CBDelim->currentText(), "Tab");
    EXPECT_EQ(D.Form.CBNativeFormat->currentText(), "Binary");
}

TEST(PlotExportFormTest, DelimitersAndDataFilterIndexes)
{
    TExportDialog D;
    const QChar Expected[] = {u' ', QChar(9), u',', u';'};
    for (int I = 0; I < 4; ++I) {
        D.Form.CBDelim->setCurrentIndex(I);
        EXPECT_EQ(D.Form.Delimiter(), Expected[I]);
        EXPECT_EQ(D.Form.DataFilterIndex(), I + 1);
    }
    D.Form.CBDelim->setCurrentIndex(4);
    EXPECT_TRUE(D.Form.ECustom->isEnabled());
    EXPECT_EQ(D.Form.Delimiter(), u' ');
    D.Form.ECustom->setText(QStringLiteral("|"));
    EXPECT_EQ(D.Form.Delimiter(), u'|');
    for (int Format = 1; Format <= 3; ++Format) {
        D.Form.SetDataFormat(Format);
        EXPECT_FALSE(D.Form.CBDelim->isEnabled());
        EXPECT_FALSE(D.Form.ECustom->isEnabled());
        EXPECT_EQ(D.Form.DataFilterIndex(), Format + 5);
    }
    EXPECT_EQ(ExportDataFilterExtension(3), "csv");
    EXPECT_EQ(ExportDataFilterExtension(7), "htm");
    EXPECT_EQ(ExportDataFilter().split(u'|').size(), 16);
}

TEST(PlotExportFormTest, ButtonRules)
{
    TExportDialog D;
    EXPECT_TRUE(D.Form.BCopy->isEnabled());
    EXPECT_TRUE(D.Form.BSend->isEnabled());
    D.ShowPage(D.Form.TabNative);
    EXPECT_FALSE(D.Form.BCopy->isEnabled());
    EXPECT_TRUE(D.Form.BSave->isEnabled());
    D.Form.CBNativeFormat->setCurrentIndex(1);
    EXPECT_TRUE(D.Form.BCopy->isEnabled());
    D.ShowPage(D.Form.TabData);
    EXPECT_TRUE(D.Form.BCopy->isEnabled());
    D.Form.SetDataFormat(3);
    EXPECT_FALSE(D.Form.BCopy->isEnabled());
    EXPECT_TRUE(D.Form.BSave->isEnabled());

    D.C.Chart.RemoveSeries(0);
    delete D.C.Bars;
    D.Form.UpdateButtons();
    EXPECT_FALSE(D.Form.BCopy->isEnabled());
    EXPECT_FALSE(D.Form.BSave->isEnabled());
    EXPECT_FALSE(D.Form.BSend->isEnabled());
}

TEST(PlotExportFormTest, WithoutAMailProgramSendStaysDisabled)
{
    TExportDialog D;
    D.HasMail = false;
    TPlotExportForm Form;
    Form.MailAvailable = [] { return false; };
    Form.TagPanel = &D.C.Chart;
    Form.FormShow();
    EXPECT_TRUE(Form.BSave->isEnabled());
    EXPECT_FALSE(Form.BSend->isEnabled());
}

TEST(PlotExportFormTest, BaseDialogHasNoDataPage)
{
    test::TExportChart C;
    TPlotExportFormBase Form;
    Form.TagPanel = &C.Chart;
    Form.FormShow();
    EXPECT_FALSE(Form.PageControl1->isTabVisible(Form.PageControl1->indexOf(Form.TabData)));
    Form.PageControl1->setCurrentWidget(Form.TabNative);
    C.Chart.SetVisible(false);
    Form.CBFileSize->setChecked(true);
    EXPECT_TRUE(Form.LabelSize->text().endsWith(" bytes"));
    EXPECT_FALSE(C.Chart.Visible());
    QTemporaryDir Dir;
    Form.AskSaveFileName = [&Dir](TExportSaveRequest& Request) {
        Request.FileName = Dir.filePath("panel.vud");
        return true;
    };
    Form.Save();
    QFile File(Dir.filePath("panel.vud"));
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    EXPECT_EQ(File.readAll().size(), Form.LabelSize->text().section(u' ', 0, 0).toInt());
}

TEST(PlotExportFormTest, WithoutAPanelTheListsStayEmpty)
{
    TPlotExportForm Form;
    Form.FormShow();
    EXPECT_EQ(Form.LBFormat->count(), 0);
    EXPECT_EQ(Form.CBSeries->count(), 0);
}

TEST(PlotExportFormTest, CopyPutsThePictureAndTheDataOnTheClipboard)
{
    TExportDialog D;
    QGuiApplication::clipboard()->clear();
    D.Form.Copy();
    const QImage Image = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(Image.isNull());
    EXPECT_GT(test::CountNear(Image, qRgb(255, 0, 0)), 100);

    D.ShowPage(D.Form.TabData);
    D.Form.CBDelim->setCurrentIndex(3);
    D.Form.CBHeader->setChecked(false);
    D.Form.Copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "10\r\n15\r\n20\r\n\r\n");

    D.ShowPage(D.Form.TabNative);
    D.Form.CBNativeFormat->setCurrentIndex(1);
    D.Form.Copy();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith("object "));
}

TEST(PlotExportFormTest, SaveWritesTheChosenKindOfFile)
{
    TExportDialog D;
    // A ".bmp" name writes a bitmap whatever format is selected.
    D.Answer = D.Dir.filePath("picture.bmp");
    D.Form.Save();
    EXPECT_TRUE(D.Saved("picture.bmp").startsWith("BM"));
    EXPECT_EQ(D.Asked.FilterIndex, D.Form.SelectedFormat()->FilterIndex());

    D.ShowPage(D.Form.TabNative);
    D.Answer = D.Dir.filePath("chart.txt");
    D.Form.Save();
    QFile Native(D.Dir.filePath("chart.vud"));
    ASSERT_TRUE(Native.open(QIODevice::ReadOnly));
    EXPECT_TRUE(IsBinaryChartStream(Native));

    // The comma filter writes commas; the colon filter semicolons.
    D.ShowPage(D.Form.TabData);
    D.Form.CBHeader->setChecked(false);
    D.Answer = D.Dir.filePath("data.csv");
    D.AnswerFilter = 3;
    D.Form.Save();
    EXPECT_EQ(D.Asked.FilterIndex, 2);
    EXPECT_EQ(D.Saved("data.csv"), "10\r\n15\r\n20\r\n\r\n");
    D.Form.CBIndex->setChecked(true);
    D.Answer = D.Dir.filePath("colon.txt");
    D.AnswerFilter = 4;
    D.Form.Save();
    EXPECT_EQ(D.Saved("colon.txt"), "0;10\r\n1;15\r\n2;20\r\n\r\n");

    D.Answer = D.Dir.filePath("data.xls");
    D.AnswerFilter = 8;
    D.Form.Save();
    EXPECT_EQ(D.Form.DataFormat(), 3);
    EXPECT_TRUE(D.Saved("data.xls").startsWith(QByteArray::fromHex("0908080000001000")));
}

TEST(PlotExportFormTest, SendMailsTheFileAndReportsTheFailingCode)
{
    TExportDialog D;
    D.ShowPage(D.Form.TabData);
    D.Form.SetDataFormat(1);
    D.Form.Send();
    ASSERT_EQ(D.Mailed.size(), 3);
    EXPECT_EQ(D.Mailed[0], "VudEvevu");
    EXPECT_TRUE(D.Mailed[1].endsWith("/VudEvevu.xml"));
    EXPECT_TRUE(D.Mailed[2].startsWith("<?xml"));
    // Regression: the attachment was deleted as soon as the mail program
    // was started, before it could read it. It stays until the program ends.
    EXPECT_TRUE(QFile::exists(D.Mailed[1]));

    D.MailResult = 3;
    try {
        D.Form.Send();
        FAIL() << "a failed hand-over must raise";
    } catch (const Exception& E) {
        EXPECT_STREQ(E.what(), "Can not email VudEvevu. Mapi Error: 3");
    }
    EXPECT_TRUE(QFile::exists(D.Mailed[4]));
    // Each send has a folder of its own: the first attachment is untouched.
    EXPECT_NE(QFileInfo(D.Mailed[4]).path(), QFileInfo(D.Mailed[1]).path());
    EXPECT_TRUE(D.Mailed[4].endsWith("/VudEvevu.xml"));
    EXPECT_TRUE(QFile::exists(D.Mailed[1]));
    // What the end of the program does removes both with their folders.
    RemoveRegisteredPathsNow();
    for (const QString& Name : {D.Mailed[1], D.Mailed[4]}) {
        EXPECT_FALSE(QFile::exists(Name));
        EXPECT_FALSE(QFileInfo::exists(QFileInfo(Name).path()));
    }

    const QByteArray OldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", D.Dir.filePath("missing").toLocal8Bit());
    try {
        D.Form.Send();
        ADD_FAILURE() << "a missing temporary folder must raise";
    } catch (const Exception& E) {
        EXPECT_STREQ(E.what(), "Can not find Temp folder");
    }
    if (OldTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", OldTemp);
    EXPECT_EQ(D.Mailed.size(), 6);
}

// Guards the Native page replacing a chart file unasked: it writes
// "pic.vud" for a typed "pic.xml", and the dialog asked about "pic.xml",
// which never exists. The question names the file written.
TEST(PlotExportFormTest, NativeSaveAsksBeforeReplacingTheChartFileItWrites)
{
    test::TExportChart C;
    TPlotExportForm Form;
    Form.TagPanel = &C.Chart;
    Form.FormShow();
    Form.PageControl1->setCurrentWidget(Form.TabNative);
    QTemporaryDir Dir;
    const QString Typed = Dir.filePath(QStringLiteral("pic.xml"));
    const QString Written = Dir.filePath(QStringLiteral("pic.vud"));
    std::vector<TMessageRequest> Asked;
    std::vector<int> Answers;
    MessageService() = [&](const TMessageRequest& Request) {
        Asked.push_back(Request);
        return Answers.at(Asked.size() - 1);
    };
    const auto ReadWritten = [&] {
        QFile File(Written);
        return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
    };

    test::AnswerFileDialogs({Typed});
    QTest::mouseClick(Form.BSave, Qt::LeftButton);
    EXPECT_TRUE(Asked.empty());
    EXPECT_FALSE(QFile::exists(Typed));
    ASSERT_TRUE(ReadWritten().startsWith(QByteArray::fromHex("6030")));

    // Marks the file, to see whether the next save replaces it.
    {
        QFile File(Written);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write("kept");
    }
    Answers = {mrNo};
    test::AnswerFileDialogs({Typed, QString()});
    QTest::mouseClick(Form.BSave, Qt::LeftButton);
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0].Text, QStringLiteral("pic.vud already exists.\nDo you want to replace it?"));
    EXPECT_EQ(ReadWritten(), "kept");

    Asked.clear();
    Answers = {mrYes};
    test::AnswerFileDialogs({Typed});
    QTest::mouseClick(Form.BSave, Qt::LeftButton);
    EXPECT_EQ(Asked.size(), 1u);
    EXPECT_TRUE(ReadWritten().startsWith(QByteArray::fromHex("6030")));
    EXPECT_FALSE(QFile::exists(Typed));
    ResetMessageService();
}

} // namespace
} // namespace lp
