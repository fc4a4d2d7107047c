#pragma once
// Export formats beyond the metafile and the bitmap, each written by a
// platform service that produces the real file kind: PNG through Qt's image
// writer, JPEG through libjpeg, SVG through Qt Svg and PDF through Qt's PDF
// writer (the printer's engine). None has an options form.

#include "chart/export/PlotExportFormat.h"

namespace lp {

// The base of the formats made from the panel's bitmap picture.
class TRasterExportFormat : public TPlotExportFormat {
    Q_OBJECT
public:
    void DoCopyToClipboard() override;
    void SaveToStream(QIODevice& Stream) override;

protected:
    // The picture of this format holding the panel's pixels.
    virtual std::unique_ptr<TGraphic> Picture(const QImage& Pixels) const = 0;
    QImage PanelPixels();
};

class TPNGExportFormat : public TRasterExportFormat {
    Q_OBJECT
public:
    Q_INVOKABLE TPNGExportFormat();
    QString Description() const override;
    QString FileExtension() const override;
    QString FileFilter() const override;
    TGraphicFactory GraphicClass() const override;

protected:
    std::unique_ptr<TGraphic> Picture(const QImage& Pixels) const override;
};

class TJPEGExportFormat : public TRasterExportFormat {
    Q_OBJECT
public:
    Q_INVOKABLE TJPEGExportFormat();
    QString Description() const override;
    QString FileExtension() const override;
    QString FileFilter() const override;
    TGraphicFactory GraphicClass() const override;

protected:
    std::unique_ptr<TGraphic> Picture(const QImage& Pixels) const override;
};

// The drawing as vector graphics of Width x Height pixels.
class TSVGExportFormat : public TPlotExportFormat {
    Q_OBJECT
public:
    Q_INVOKABLE TSVGExportFormat();
    void DoCopyToClipboard() override;
    QString Description() const override;
    QString FileExtension() const override;
    QString FileFilter() const override;
    void SaveToStream(QIODevice& Stream) override;

private:
    QByteArray Svg();
};

// One page of Width x Height points holding the drawing.
class TPDFExportFormat : public TPlotExportFormat {
    Q_OBJECT
public:
    Q_INVOKABLE TPDFExportFormat();
    void DoCopyToClipboard() override;
    QString Description() const override;
    QString FileExtension() const override;
    QString FileFilter() const override;
    void SaveToStream(QIODevice& Stream) override;

private:
    QByteArray Pdf();
};

} // namespace lp
