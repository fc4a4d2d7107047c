#include "chart/export/PlotExportMetafile.h"

#include "chart/canvas/PlotConst.h"

#include <QtCore/QMimeData>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QVBoxLayout>

namespace lp {

TEMFOptions::TEMFOptions() : CBEnhanced(new QCheckBox(QStringLiteral("&Enhanced"), this))
{
    setObjectName(QStringLiteral("EMFOptions"));
    CBEnhanced->setObjectName(QStringLiteral("CBEnhanced"));
    CBEnhanced->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CBEnhanced);
    layout->addStretch();
}

TEMFExportFormat::TEMFExportFormat() = default;

TEMFOptions* TEMFExportFormat::EMFOptions() const
{
    return static_cast<TEMFOptions*>(FOptions.get());
}

QWidget* TEMFExportFormat::Options(bool Create)
{
    if (!FOptions && Create)
        FOptions = std::make_unique<TEMFOptions>();
    return FOptions.get();
}

bool TEMFExportFormat::Enhanced() const
{
    return !FOptions || EMFOptions()->CBEnhanced->isChecked();
}

int TEMFExportFormat::FilterIndex() const
{
    return Enhanced() ? FFilterIndex : FFilterIndex + 1;
}

void TEMFExportFormat::AssignFilterIndex(int& Counter)
{
    TPlotExportFormat::AssignFilterIndex(Counter);
    ++Counter;
}

bool TEMFExportFormat::OwnsFilterIndex(int Index)
{
    if (Index == FFilterIndex)
        return true;
    if (Index != FFilterIndex + 1)
        return false;
    Options(true);
    EMFOptions()->CBEnhanced->setChecked(false);
    return true;
}

QString TEMFExportFormat::Description() const
{
    return PlotMsg_AsMetafile;
}

QString TEMFExportFormat::FileExtension() const
{
    return Enhanced() ? QStringLiteral("emf") : QStringLiteral("wmf");
}

QString TEMFExportFormat::FileFilter() const
{
    return PlotMsg_MetafileFilter;
}

TGraphicFactory TEMFExportFormat::GraphicClass() const
{
    return [] { return std::make_unique<TMetafile>(); };
}

std::unique_ptr<TMetafile> TEMFExportFormat::Metafile()
{
    CheckSize();
    return CheckedPanel().CreateMetafile(Enhanced(), TRect{0, 0, Width(), Height()});
}

void TEMFExportFormat::DoCopyToClipboard()
{
    const std::unique_ptr<TMetafile> metafile = Metafile();
    // Programs that take metafiles find the EMF bytes; the rest the picture.
    auto* data = new QMimeData; // handed over to the clipboard
    data->setData(QStringLiteral("image/x-emf"), metafile->Data());
    data->setImageData(metafile->ToImage());
    QGuiApplication::clipboard()->setMimeData(data);
}

void TEMFExportFormat::SaveToStream(QIODevice& Stream)
{
    Metafile()->SaveToStream(Stream);
}

} // namespace lp
