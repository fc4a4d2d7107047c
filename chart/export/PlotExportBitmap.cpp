#include "chart/export/PlotExportBitmap.h"

#include "chart/canvas/PlotConst.h"

#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>

#include <new>

namespace lp {

TBMPOptions::TBMPOptions() : CBColors(new QComboBox(this)), CBMono(new QCheckBox(QStringLiteral("&Monochrome"), this))
{
    setObjectName(QStringLiteral("BMPOptions"));
    CBColors->setObjectName(QStringLiteral("CBColors"));
    CBMono->setObjectName(QStringLiteral("CBMono"));
    // Item index = TBitmap::TPixelFormat.
    CBColors->addItems({QStringLiteral("Default"), QStringLiteral("2 (1 bit)"), QStringLiteral("16 (4 bit)"),
                        QStringLiteral("256 (8 bit)"), QStringLiteral("32768 (15 bit)"),
                        QStringLiteral("65536 (16 bit)"), QStringLiteral("16M (24 bit)"),
                        QStringLiteral("16M (32 bit)")});
    CBColors->setCurrentIndex(0);
    auto* label = new QLabel(QStringLiteral("&Colors:"), this);
    label->setBuddy(CBColors);
    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(CBColors, 0, 1);
    layout->addWidget(CBMono, 1, 0, 1, 2);
    layout->setRowStretch(2, 1);
    connect(CBMono, &QCheckBox::clicked, this, [this] { CBColors->setEnabled(!CBMono->isChecked()); });
}

void TBMPOptions::showEvent(QShowEvent* event)
{
    CBColors->setCurrentIndex(0);
    QWidget::showEvent(event);
}

TBMPExportFormat::TBMPExportFormat() = default;

QWidget* TBMPExportFormat::Options(bool Create)
{
    if (!FOptions && Create)
        FOptions = std::make_unique<TBMPOptions>();
    return FOptions.get();
}

TBMPOptions* TBMPExportFormat::BMPOptions() const
{
    return static_cast<TBMPOptions*>(FOptions.get());
}

std::unique_ptr<TBitmap> TBMPExportFormat::Bitmap()
{
    Options(true);
    TCustomPlotPanel& panel = CheckedPanel();
    CheckSize();
    auto bitmap = std::make_unique<TBitmap>();
    try {
        bitmap->SetSize(Width(), Height());
    } catch (const std::bad_alloc&) {
        bitmap.reset();
    }
    if (!bitmap || bitmap->Image().isNull())
        throw EPlotExportError(FormatText("Not enough memory for a bitmap of %d x %d pixels",
                                          {ArgText(Width()), ArgText(Height())}));
    if (BMPOptions()->CBMono->isChecked())
        bitmap->SetMonochrome(true);
    else
        bitmap->SetPixelFormat(static_cast<TBitmap::TPixelFormat>(BMPOptions()->CBColors->currentIndex()));
    if (panel.Canvas().SupportsFullRotation())
        bitmap->SetPixelFormat(TBitmap::pf24bit);

    const TRect rect{0, 0, bitmap->Width(), bitmap->Height()};
    TCanvas& canvas = bitmap->Canvas();
    canvas.Brush().SetColor(panel.Color());
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect(rect);
    // DrawToMetaCanvas runs the pass unbuffered and restores the buffering.
    panel.DrawToMetaCanvas(&canvas, rect);
    return bitmap;
}

void TBMPExportFormat::DoCopyToClipboard()
{
    QGuiApplication::clipboard()->setImage(Bitmap()->ToImage());
}

QString TBMPExportFormat::Description() const
{
    return PlotMsg_AsBitmap;
}

QString TBMPExportFormat::FileExtension() const
{
    return QStringLiteral("bmp");
}

QString TBMPExportFormat::FileFilter() const
{
    return PlotMsg_BitmapFilter;
}

TGraphicFactory TBMPExportFormat::GraphicClass() const
{
    return [] { return std::make_unique<TBitmap>(); };
}

void TBMPExportFormat::SaveToStream(QIODevice& Stream)
{
    Bitmap()->SaveToStream(Stream);
}

std::unique_ptr<TBitmap> PanelBitmap(TCustomPlotPanel& Panel, int Width, int Height)
{
    TBMPExportFormat format;
    format.SetPanel(&Panel);
    format.SetWidth(Width);
    format.SetHeight(Height);
    return format.Bitmap();
}

} // namespace lp
