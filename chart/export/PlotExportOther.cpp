#include "chart/export/PlotExportOther.h"

#include "chart/canvas/PlotConst.h"
#include "chart/export/PlotExportBitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/PainterDC.h"

#include <QtCore/QBuffer>
#include <QtCore/QMimeData>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtGui/QPdfWriter>
#include <QtSvg/QSvgGenerator>

namespace lp {

namespace {

void PutOnClipboard(const QString& MimeType, const QByteArray& Bytes)
{
    auto* data = new QMimeData; // handed over to the clipboard
    data->setData(MimeType, Bytes);
    QGuiApplication::clipboard()->setMimeData(data);
}

void WriteAll(QIODevice& Stream, const QByteArray& Bytes)
{
    if (Stream.write(Bytes) != Bytes.size())
        throw EPlotExportError(FormatText("Cannot write the picture: %s", {Stream.errorString().toStdString()}));
}

// Draws the panel over (0, 0, Width, Height) onto a paint device.
void DrawPanelOn(TCustomPlotPanel& Panel, QPaintDevice& Device, int Technology, int Width, int Height)
{
    TPainterDC dc(Device, Technology);
    TCanvas canvas(&dc);
    Panel.DrawToMetaCanvas(&canvas, TRect{0, 0, Width, Height});
    dc.Finish();
}

} // namespace

// --- Raster formats ---------------------------------------------------------------------------

QImage TRasterExportFormat::PanelPixels()
{
    return PanelBitmap(CheckedPanel(), Width(), Height())->ToImage();
}

void TRasterExportFormat::DoCopyToClipboard()
{
    QGuiApplication::clipboard()->setImage(PanelPixels());
}

void TRasterExportFormat::SaveToStream(QIODevice& Stream)
{
    CheckSize();
    Picture(PanelPixels())->SaveToStream(Stream);
}

TPNGExportFormat::TPNGExportFormat() = default;

QString TPNGExportFormat::Description() const
{
    return PlotMsg_AsPNG;
}

QString TPNGExportFormat::FileExtension() const
{
    return QStringLiteral("png");
}

QString TPNGExportFormat::FileFilter() const
{
    return PlotMsg_PNGFilter;
}

TGraphicFactory TPNGExportFormat::GraphicClass() const
{
    return [] { return std::make_unique<TRasterImage>(QByteArrayLiteral("png")); };
}

std::unique_ptr<TGraphic> TPNGExportFormat::Picture(const QImage& Pixels) const
{
    auto image = std::make_unique<TRasterImage>(QByteArrayLiteral("png"));
    image->SetImage(Pixels);
    return image;
}

TJPEGExportFormat::TJPEGExportFormat() = default;

QString TJPEGExportFormat::Description() const
{
    return PlotMsg_AsJPEG;
}

QString TJPEGExportFormat::FileExtension() const
{
    return QStringLiteral("jpg");
}

QString TJPEGExportFormat::FileFilter() const
{
    return PlotMsg_JPEGFilter;
}

TGraphicFactory TJPEGExportFormat::GraphicClass() const
{
    return [] { return std::make_unique<TJPEGImage>(); };
}

std::unique_ptr<TGraphic> TJPEGExportFormat::Picture(const QImage& Pixels) const
{
    auto image = std::make_unique<TJPEGImage>();
    image->SetImage(Pixels);
    return image;
}

// --- SVG ----------------------------------------------------------------------------------------

TSVGExportFormat::TSVGExportFormat() = default;

QString TSVGExportFormat::Description() const
{
    return PlotMsg_AsSVG;
}

QString TSVGExportFormat::FileExtension() const
{
    return QStringLiteral("svg");
}

QString TSVGExportFormat::FileFilter() const
{
    return PlotMsg_SVGFilter;
}

QByteArray TSVGExportFormat::Svg()
{
    TCustomPlotPanel& panel = CheckedPanel();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    // At 96 dots per inch the stated size is Width x Height CSS pixels.
    generator.setResolution(96);
    generator.setSize(QSize(Width(), Height()));
    generator.setViewBox(QRect(0, 0, Width(), Height()));
    generator.setTitle(panel.Name());
    DrawPanelOn(panel, generator, DT_RASDISPLAY, Width(), Height());
    return buffer.data();
}

void TSVGExportFormat::DoCopyToClipboard()
{
    PutOnClipboard(QStringLiteral("image/svg+xml"), Svg());
}

void TSVGExportFormat::SaveToStream(QIODevice& Stream)
{
    CheckSize();
    WriteAll(Stream, Svg());
}

// --- PDF ----------------------------------------------------------------------------------------

TPDFExportFormat::TPDFExportFormat() = default;

QString TPDFExportFormat::Description() const
{
    return PlotMsg_AsPDF;
}

QString TPDFExportFormat::FileExtension() const
{
    return QStringLiteral("pdf");
}

QString TPDFExportFormat::FileFilter() const
{
    return PlotMsg_PDFFilter;
}

QByteArray TPDFExportFormat::Pdf()
{
    TCustomPlotPanel& panel = CheckedPanel();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        // 72 dots per inch: one picture pixel is one point of the page.
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        writer.setPageSize(QPageSize(QSizeF(Width(), Height()), QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(panel.Name());
        DrawPanelOn(panel, writer, DT_RASPRINTER, Width(), Height());
    }
    return buffer.data();
}

void TPDFExportFormat::DoCopyToClipboard()
{
    PutOnClipboard(QStringLiteral("application/pdf"), Pdf());
}

void TPDFExportFormat::SaveToStream(QIODevice& Stream)
{
    CheckSize();
    WriteAll(Stream, Pdf());
}

} // namespace lp
