#pragma once
// The bitmap export format (.bmp) and the bitmap picture of a panel that the
// print preview also draws with.

#include "chart/export/PlotExportFormat.h"

class QCheckBox;
class QComboBox;

namespace lp {

// The options form: colour depth ("Default" is the device's) and
// monochrome. The colour choice goes back to "Default" whenever the form is
// shown; monochrome disables it.
class TBMPOptions : public QWidget {
    Q_OBJECT
public:
    TBMPOptions();
    QComboBox* CBColors;
    QCheckBox* CBMono;

protected:
    void showEvent(QShowEvent* event) override;
};

class TBMPExportFormat : public TPlotExportFormat {
    Q_OBJECT
public:
    Q_INVOKABLE TBMPExportFormat();

    // The panel drawn into a new bitmap of Width x Height (CheckSize first):
    // pixel format from the options (24 bits for canvases that rotate
    // fully), filled with the panel's colour, drawn unbuffered.
    std::unique_ptr<TBitmap> Bitmap();

    void DoCopyToClipboard() override;
    QString Description() const override;
    QString FileExtension() const override;
    QString FileFilter() const override;
    TGraphicFactory GraphicClass() const override;
    void SaveToStream(QIODevice& Stream) override;
    QWidget* Options(bool Create = true) override;
    TBMPOptions* BMPOptions() const;
};

// The panel's picture as a Width x Height bitmap through a bitmap export
// format with default options (EPlotExportError for a bad size).
std::unique_ptr<TBitmap> PanelBitmap(TCustomPlotPanel& Panel, int Width, int Height);

} // namespace lp
