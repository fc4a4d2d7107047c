#pragma once
// Helpers shared by the export suites: a flat chart with wide red bars on a
// yellow panel, every registered tool on a chart, chart files saved, read
// and converted, and pixel counts of its colours in any picture.

#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotTools.h"
#include "chart/export/PlotChartFile.h"
#include "platform/core/ClassRegistry.h"

#include <QtCore/QBuffer>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>
#include <QtGui/QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace lp::test {

// 400 x 300, no 3-D, no legend: three red bars; the panel is yellow.
struct TExportChart {
    TChart Chart;
    TBarSeries* Bars = nullptr;

    explicit TExportChart(int Width = 400, int Height = 300)
    {
        Chart.SetName(QStringLiteral("ExportChart"));
        Chart.SetBounds(0, 0, Width, Height);
        Chart.SetView3D(false);
        Chart.Legend()->SetVisible(false);
        Chart.SetColor(clYellow);
        Bars = new TBarSeries(&Chart);
        Bars->SetSeriesColor(clRed);
        Chart.AddSeries(Bars);
        for (int I = 0; I < 3; ++I)
            Bars->AddXY(I, 10 + I * 5);
    }
};

// One of every registered tool added to Chart, each under a name of its
// own; Added is given each tool with its place in the registry.
inline void AddEveryRegisteredTool(TCustomChart& Chart, const std::function<void(TPlotCustomTool&, int)>& Added)
{
    const TPlotToolTypes& Tools = *PlotToolTypes();
    for (int I = 0; I < Tools.Count(); ++I) {
        auto* Tool = qobject_cast<TPlotCustomTool*>(CreateComponent(TPersistent::ClassNameOf(*Tools[I]), &Chart));
        ASSERT_NE(Tool, nullptr);
        Tool->SetParentChart(&Chart);
        Tool->SetName(GetUniqueComponentName(&Chart, QStringLiteral("ChartTool")));
        Added(*Tool, I);
    }
}

// The chart file of Chart with its points, binary or text.
inline QByteArray SaveChartFile(TCustomChart& Chart, bool Text)
{
    QBuffer Out;
    Out.open(QIODevice::WriteOnly);
    SaveChartToStream(&Chart, Out, true, Text);
    return Out.data();
}

// Reads a chart file into Chart; every error the reader reports fails the
// test, with its message.
inline void ReadChartFileExpectingNoError(TCustomChart& Chart, const QByteArray& Bytes)
{
    QBuffer In;
    In.setData(Bytes);
    In.open(QIODevice::ReadOnly);
    TCustomChart* Target = &Chart;
    QStringList Errors;
    LoadChartFromStreamEx(Target, In, true, [&](const QString& Message) {
        Errors << Message;
        return true;
    });
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join(QLatin1Char('\n')).toStdString();
}

// Bytes put through a chart file converter (ConvertChartToText or
// ConvertChartToBinary).
inline QByteArray ConvertChart(const QByteArray& Bytes, void (*Converter)(QIODevice&, QIODevice&))
{
    QBuffer In;
    In.setData(Bytes);
    In.open(QIODevice::ReadOnly);
    QBuffer Out;
    Out.open(QIODevice::WriteOnly);
    Converter(In, Out);
    return Out.data();
}

// Pixels near a colour (each of red, green and blue within Tolerance).
inline int CountNear(const QImage& Image, QRgb Wanted, int Tolerance = 40)
{
    const QImage rgb = Image.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = rgb.pixel(x, y);
            if (std::abs(qRed(p) - qRed(Wanted)) <= Tolerance && std::abs(qGreen(p) - qGreen(Wanted)) <= Tolerance &&
                std::abs(qBlue(p) - qBlue(Wanted)) <= Tolerance)
                ++count;
        }
    return count;
}

// The first page of a PDF at Dpi through pdftoppm; a null image when the
// tool is missing or fails (Why says which).
inline QImage RenderPdfPage(const QString& PdfFile, int Dpi, QString& Why)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (tool.isEmpty()) {
        Why = QStringLiteral("pdftoppm (poppler-utils) is not installed");
        return {};
    }
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    QProcess process;
    process.start(tool, {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(Dpi), QStringLiteral("-f"),
                         QStringLiteral("1"), QStringLiteral("-singlefile"), PdfFile, prefix});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        Why = QStringLiteral("pdftoppm failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
        return {};
    }
    return QImage(prefix + QStringLiteral(".png"));
}

// The number of pages pdfinfo reports, or -1 without the tool.
inline int PdfPageCount(const QString& PdfFile)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (tool.isEmpty())
        return -1;
    QProcess process;
    process.start(tool, {PdfFile});
    if (!process.waitForFinished(60000))
        return -1;
    for (const QString& line : QString::fromLocal8Bit(process.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

} // namespace lp::test
