#include "chart/export/PlotSeriesData.h"

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"

#include <QtCore/QBuffer>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QXmlStreamReader>

#include "OtherProgram.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

// Two line series of 3 and 5 points; the first has labels with markup
// characters and one red point.
struct TDataChart {
    TChart Chart;
    TChartSeries* First = nullptr;
    TChartSeries* Second = nullptr;

    TDataChart()
    {
        Chart.SetView3D(false);
        First = CreateNewSeries(nullptr, &Chart, &TLineSeries::staticMetaObject);
        First->SetTitle(QStringLiteral("Top <&> \"A\""));
        First->SetSeriesColor(clBlue);
        First->AddXY(0, 1.5, QStringLiteral("a<b"));
        First->AddXY(1, 2, QStringLiteral("x&y"), clRed);
        First->AddXY(2, 3);
        Second = CreateNewSeries(nullptr, &Chart, &TLineSeries::staticMetaObject);
        Second->SetTitle(QStringLiteral("Base"));
        Second->SetSeriesColor(clGreen);
        for (int I = 0; I < 5; ++I)
            Second->AddXY(I, 10 * I);
    }
};

QByteArray Saved(const TPlotExportData& Data)
{
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    Data.SaveToStream(Buffer);
    return Buffer.data();
}

TEST(SeriesDataTest, ColorTextIsLowerCaseRedFirst)
{
    EXPECT_EQ(SeriesDataColorText(clRed), "#ff0000");
    EXPECT_EQ(SeriesDataColorText(RGB(0x12, 0xAB, 0xCD)), "#12abcd");
    EXPECT_EQ(SeriesDataColorText(clDefault), "#000000");
}

TEST(SeriesDataTest, EveryFormatOfAChartWithoutSeriesHasNoRows)
{
    TChart Chart;
    TSeriesDataText Text(&Chart);
    EXPECT_EQ(Text.AsString(), "\r\n");
    TSeriesDataHTML Html(&Chart);
    EXPECT_EQ(Html.AsString(), "<table border=\"1\">\r\n\r\n</table>");
    TSeriesDataXML Xml(&Chart);
    Xml.Encoding.clear();
    EXPECT_EQ(Xml.AsString(), "<?xml version=\"1.0\"?>\r\n<chart>\r\n</chart>");
}

TEST(SeriesDataTest, TextGolden)
{
    TDataChart C;
    TSeriesDataText Data(&C.Chart);
    Data.IncludeHeader = true;
    Data.IncludeIndex = true;
    Data.IncludeColors = true;
    Data.TextQuotes = QStringLiteral("'");
    EXPECT_EQ(Data.AsString().toStdString(), "'Index'\t'Text'\t'Colors'\t'Top <&> \"A\"'\t'Base'\r\n"
              "0\t'a<b'\t#0000ff\t1.5\t0\r\n"
              "1\t'x&y'\t#ff0000\t2\t10\r\n"
              "2\t\t#0000ff\t3\t20\r\n"
              "3\t\t#000000\t\t30\r\n"
              "4\t\t#000000\t\t40\r\n"
              "\r\n");

    // Without index, labels and colours the shorter series still leaves its
    // empty field before the longer one's value.
    TSeriesDataText Plain(&C.Chart);
    Plain.IncludeLabels = false;
    Plain.TextDelimiter = u';';
    EXPECT_EQ(Plain.AsString(), "1.5;0\r\n2;10\r\n3;20\r\n;30\r\n;40\r\n\r\n");
    EXPECT_EQ(Saved(Plain), Plain.AsString().toLatin1());
}

TEST(SeriesDataTest, TextOfOneSeriesWithValueFormat)
{
    TDataChart C;
    TSeriesDataText Data(&C.Chart, C.Second);
    Data.ValueFormat = QStringLiteral("0.00");
    Data.IncludeHeader = true;
    EXPECT_EQ(Data.AsString(), "Base\r\n0.00\r\n10.00\r\n20.00\r\n30.00\r\n40.00\r\n\r\n");
}

TEST(SeriesDataTest, TextQuotesDatesAndKeepsFarOffDatesAsNumbers)
{
    TDataChart C;
    C.Second->XValues()->SetDateTime(true);
    C.Second->XValues()->SetValue(0, 1e9);
    TSeriesDataText Data(&C.Chart, C.Second);
    Data.TextQuotes = QStringLiteral("\"");
    const QStringList Rows = Data.AsString().split(QStringLiteral("\r\n"));
    EXPECT_EQ(Rows[0], "1000000000\t0");
    EXPECT_TRUE(Rows[1].startsWith('"') && Rows[1].endsWith("\"\t10")) << Rows[1].toStdString();
}

TEST(SeriesDataTest, XmlGoldenParses)
{
    TDataChart C;
    TSeriesDataXML Data(&C.Chart);
    Data.Encoding = QStringLiteral("ISO-8859-1");
    Data.IncludeColors = true;
    const QString Xml = Data.AsString();
    EXPECT_EQ(Xml.toStdString(), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
              "<chart>\r\n"
              "<series title=\"Top &lt;&amp;&gt; &quot;A&quot;\" type=\"Line\" color=\"#0000ff\">\r\n"
              "<points count=\"3\">\r\n"
              "<point  text=\"a&lt;b\" color=\"#0000ff\" Y=\"1.5\"/>\r\n"
              "<point  text=\"x&amp;y\" color=\"#ff0000\" Y=\"2\"/>\r\n"
              "<point  text=\"\" color=\"#0000ff\" Y=\"3\"/>\r\n"
              "</points>\r\n"
              "</series>\r\n"
              "\r\n"
              "<series title=\"Base\" type=\"Line\" color=\"#008000\">\r\n"
              "<points count=\"5\">\r\n"
              "<point  text=\"\" color=\"#008000\" Y=\"0\"/>\r\n"
              "<point  text=\"\" color=\"#008000\" Y=\"10\"/>\r\n"
              "<point  text=\"\" color=\"#008000\" Y=\"20\"/>\r\n"
              "<point  text=\"\" color=\"#008000\" Y=\"30\"/>\r\n"
              "<point  text=\"\" color=\"#008000\" Y=\"40\"/>\r\n"
              "</points>\r\n"
              "</series>\r\n"
              "\r\n"
              "</chart>");

    QXmlStreamReader Reader(Saved(Data));
    QStringList Titles, Labels;
    while (!Reader.atEnd()) {
        Reader.readNext();
        if (Reader.isStartElement() && Reader.name() == u"series")
            Titles << Reader.attributes().value(QStringLiteral("title")).toString();
        if (Reader.isStartElement() && Reader.name() == u"point" && Reader.attributes().hasAttribute(QStringLiteral("text")))
            Labels << Reader.attributes().value(QStringLiteral("text")).toString();
    }
    ASSERT_FALSE(Reader.hasError()) << Reader.errorString().toStdString();
    EXPECT_EQ(Titles, QStringList({"Top <&> \"A\"", "Base"}));
    EXPECT_EQ(Labels.mid(0, 2), QStringList({"a<b", "x&y"}));
}

TEST(SeriesDataTest, XmlOfOneSeriesHasNoChartElement)
{
    TDataChart C;
    C.Second->SetTitle(QString::fromUtf8("Sch\u00f6n"));
    TSeriesDataXML Data(&C.Chart, C.Second);
    const QString Xml = Data.AsString();
    EXPECT_FALSE(Xml.contains("<chart>"));
    EXPECT_TRUE(Xml.contains("title=\"Sch&#246;n\""));
    QXmlStreamReader Reader(Saved(Data));
    while (!Reader.atEnd())
        Reader.readNext();
    EXPECT_FALSE(Reader.hasError()) << Reader.errorString().toStdString();
}

TEST(SeriesDataTest, HtmlGolden)
{
    TDataChart C;
    TSeriesDataHTML Data(&C.Chart);
    Data.IncludeHeader = true;
    Data.IncludeColors = true;
    EXPECT_EQ(Data.AsString().toStdString(), "<table border=\"1\">\r\n"
              "<tr><td>Text</td><td>Colors</td><td>Top &lt;&amp;&gt; &quot;A&quot;</td><td>Text</td><td>Colors</td><td>Base</td></tr>\r\n"
              "<tr><td>a&lt;b</td><td>#0000ff</td><td>1.5</td><td></td><td>#008000</td><td>0</td></tr>\r\n"
              "<tr><td>x&amp;y</td><td>#ff0000</td><td>2</td><td></td><td>#008000</td><td>10</td></tr>\r\n"
              "<tr><td></td><td>#0000ff</td><td>3</td><td></td><td>#008000</td><td>20</td></tr>\r\n"
              "<tr><td></td><td></td><td></td><td></td><td>#008000</td><td>30</td></tr>\r\n"
              "<tr><td></td><td></td><td></td><td></td><td>#008000</td><td>40</td></tr>\r\n"
              "\r\n"
              "</table>");
}

TEST(SeriesDataTest, SpreadsheetGolden)
{
    TDataChart C;
    TSeriesDataXLS Data(&C.Chart);
    Data.IncludeHeader = true;
    Data.IncludeIndex = true;
    EXPECT_EQ(Saved(Data).toHex(' ').toStdString(), "09 08 08 00 00 00 10 00 00 00 00 00 00 02 0a 00 00 00 06 00 00 00 05 00 00 00 04 00 0d 00 00 00 "
              "00 00 00 00 00 05 49 6e 64 65 78 04 00 0c 00 00 00 01 00 00 00 00 04 54 65 78 74 04 00 09 00 00 "
              "00 02 00 00 00 00 01 59 04 00 0c 00 00 00 03 00 00 00 00 04 54 65 78 74 04 00 09 00 00 00 04 00 "
              "00 00 00 01 59 03 00 0f 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 04 00 0b 00 01 00 01 00 "
              "00 00 00 03 61 3c 62 03 00 0f 00 01 00 02 00 00 00 00 00 00 00 00 00 00 f8 3f 04 00 08 00 01 00 "
              "03 00 00 00 00 00 03 00 0f 00 01 00 04 00 00 00 00 00 00 00 00 00 00 00 00 03 00 0f 00 02 00 00 "
              "00 00 00 00 00 00 00 00 00 00 f0 3f 04 00 0b 00 02 00 01 00 00 00 00 03 78 26 79 03 00 0f 00 02 "
              "00 02 00 00 00 00 00 00 00 00 00 00 00 40 04 00 08 00 02 00 03 00 00 00 00 00 03 00 0f 00 02 00 "
              "04 00 00 00 00 00 00 00 00 00 00 24 40 03 00 0f 00 03 00 00 00 00 00 00 00 00 00 00 00 00 00 40 "
              "04 00 08 00 03 00 01 00 00 00 00 00 03 00 0f 00 03 00 02 00 00 00 00 00 00 00 00 00 00 08 40 04 "
              "00 08 00 03 00 03 00 00 00 00 00 03 00 0f 00 03 00 04 00 00 00 00 00 00 00 00 00 00 34 40 03 00 "
              "0f 00 04 00 00 00 00 00 00 00 00 00 00 00 00 08 40 04 00 08 00 04 00 01 00 00 00 00 00 01 00 07 "
              "00 04 00 02 00 00 00 00 04 00 08 00 04 00 03 00 00 00 00 00 03 00 0f 00 04 00 04 00 00 00 00 00 "
              "00 00 00 00 00 3e 40 03 00 0f 00 05 00 00 00 00 00 00 00 00 00 00 00 00 10 40 04 00 08 00 05 00 "
              "01 00 00 00 00 00 01 00 07 00 05 00 02 00 00 00 00 04 00 08 00 05 00 03 00 00 00 00 00 03 00 0f "
              "00 05 00 04 00 00 00 00 00 00 00 00 00 00 44 40 0a 00 00 00");
}

TEST(SeriesDataTest, SpreadsheetCutsLongLabelsAndRefusesWhatDoesNotFit)
{
    TDataChart C;
    C.First->Labels().SetLabel(2, QString(300, u'w'));
    TSeriesDataXLS Data(&C.Chart, C.First);
    const QByteArray Bytes = Saved(Data);
    EXPECT_TRUE(Bytes.contains(QByteArray(1, char(255)) + QByteArray(255, 'w')));
    EXPECT_FALSE(Bytes.contains(QByteArray(256, 'w')));

    TChart Empty;
    TSeriesDataXLS None(&Empty);
    QTemporaryDir Dir;
    const QString Name = Dir.filePath("old.xls");
    {
        QFile Old(Name);
        ASSERT_TRUE(Old.open(QIODevice::WriteOnly));
        Old.write("old");
    }
    EXPECT_THROW(None.SaveToFile(Name), EPlotExportError);

    TChartSeries* Long = CreateNewSeries(nullptr, &Empty, &TLineSeries::staticMetaObject);
    Long->YValues()->SetCount(70000);
    Long->XValues()->SetCount(70000);
    EXPECT_THROW(None.SaveToFile(Name), EPlotExportError);
    QFile Old(Name);
    ASSERT_TRUE(Old.open(QIODevice::ReadOnly));
    EXPECT_EQ(Old.readAll(), "old");
}

TEST(SeriesDataTest, SpreadsheetConvertsInLibreOffice)
{
    const QString Office = test::OfficeProgram();
    if (Office.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed; the spreadsheet conversion is not checked";
    TDataChart C;
    TSeriesDataXLS Data(&C.Chart, C.Second);
    QTemporaryDir Dir;
    Data.SaveToFile(Dir.filePath("data.xls"));
    const QString CsvName = Dir.filePath("data.csv");
    const test::TConversion Conversion = test::ConvertWithProgram(
        Office, {"--headless", "--convert-to", "csv", "--outdir", Dir.path(), Dir.filePath("data.xls")}, CsvName);
    if (!Conversion.Converted)
        GTEST_SKIP() << qPrintable(Conversion.Reason);
    QFile Csv(CsvName);
    ASSERT_TRUE(Csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(Csv.readAll().trimmed().split('\n').size(), 5);
}

} // namespace
} // namespace lp
