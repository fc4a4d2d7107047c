#include "platform/ui/Printer.h"

#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

namespace lp {
namespace {

// The pages of a PDF file and the size of the first (in points).
struct PdfFacts {
    int pages = 0;
    QSizeF mediaBox;
};

PdfFacts ReadPdf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    PdfFacts facts;
    QRegularExpressionMatchIterator pages =
        QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)")).globalMatch(QString::fromLatin1(data));
    while (pages.hasNext()) {
        pages.next();
        ++facts.pages;
    }
    const QRegularExpressionMatch box = QRegularExpression(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)"))
                                            .match(QString::fromLatin1(data));
    if (box.hasMatch())
        facts.mediaBox = QSizeF(box.captured(1).toDouble(), box.captured(2).toDouble());
    return facts;
}

struct PrinterJob : ::testing::Test {
    QTemporaryDir folder;
    void SetUp() override
    {
        Printer().SetOutputFileName(folder.filePath("out.pdf"));
        Printer().SetOrientation(TPrinter::poPortrait);
    }
    void TearDown() override
    {
        if (Printer().Printing())
            Printer().Abort();
        Printer().SetOutputFileName({});
    }
};

TEST_F(PrinterJob, APageDrawnBecomesAOnePagePdf)
{
    Printer().BeginDoc();
    EXPECT_TRUE(Printer().Printing());
    TCanvas& canvas = Printer().Canvas();
    EXPECT_EQ(canvas.Handle().GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(canvas.Handle().GetDeviceCaps(LOGPIXELSX), Printer().Resolution());
    canvas.Rectangle(100, 100, Printer().PageWidth() - 100, 400);
    canvas.TextOut(120, 150, "Section");
    Printer().EndDoc();
    EXPECT_FALSE(Printer().Printing());
    const PdfFacts pdf = ReadPdf(folder.filePath("out.pdf"));
    EXPECT_EQ(pdf.pages, 1);
    // The default page is A4 or Letter, portrait.
    EXPECT_GT(pdf.mediaBox.height(), pdf.mediaBox.width());
    EXPECT_GT(Printer().PageHeight(), Printer().PageWidth());
}

TEST_F(PrinterJob, NewPageAddsPagesAndLandscapeTurnsThem)
{
    Printer().SetOrientation(TPrinter::poLandscape);
    Printer().BeginDoc();
    Printer().Canvas().Rectangle(10, 10, 50, 50);
    Printer().NewPage();
    EXPECT_EQ(Printer().PageNumber(), 2);
    Printer().Canvas().Rectangle(10, 10, 50, 50);
    Printer().EndDoc();
    const PdfFacts pdf = ReadPdf(folder.filePath("out.pdf"));
    EXPECT_EQ(pdf.pages, 2);
    EXPECT_GT(pdf.mediaBox.width(), pdf.mediaBox.height());
}

TEST_F(PrinterJob, MisuseRaises)
{
    EXPECT_THROW(Printer().EndDoc(), EPrinter);
    EXPECT_THROW(Printer().NewPage(), EPrinter);
    EXPECT_THROW(Printer().Canvas(), EInvalidOperation);
    Printer().BeginDoc();
    EXPECT_THROW(Printer().BeginDoc(), EPrinter);
    EXPECT_THROW(Printer().SetOrientation(TPrinter::poLandscape), EPrinter);
    Printer().Abort();
    EXPECT_TRUE(Printer().Aborted());
    EXPECT_THROW(Printer().SetResolution(5), ERangeError);
}

} // namespace
} // namespace lp
