#include "chart/export/PlotExportFormat.h"

#include "chart/canvas/PlotConst.h"
#include "platform/core/SafeSave.h"
#include "platform/graphics/DrawingLimits.h"

#include <algorithm>

namespace lp {

TPlotExportFormat::TPlotExportFormat() = default;
TPlotExportFormat::~TPlotExportFormat() = default;

void TPlotExportFormat::AssignFilterIndex(int& Counter)
{
    ++Counter;
    FFilterIndex = Counter;
}

bool TPlotExportFormat::OwnsFilterIndex(int Index)
{
    return FilterIndex() == Index;
}

QWidget* TPlotExportFormat::Options(bool)
{
    return nullptr;
}

TCustomPlotPanel& TPlotExportFormat::CheckedPanel() const
{
    if (!FPanel)
        throw Exception(PlotMsg_ExportPanelNotSet.toStdString());
    return *FPanel;
}

void TPlotExportFormat::CheckSize()
{
    const TCustomPlotPanel& panel = CheckedPanel();
    if (FWidth < 0 || FHeight < 0)
        throw EPlotExportError(
            FormatText("Picture size %d x %d is negative", {ArgText(FWidth), ArgText(FHeight)}));
    const int width = FWidth == 0 ? panel.Width() : FWidth;
    const int height = FHeight == 0 ? panel.Height() : FHeight;
    if (width <= 0 || height <= 0)
        throw EPlotExportError(FormatText("Picture size %d x %d is empty", {ArgText(width), ArgText(height)}));
    if (width > MaxPixelLength || height > MaxPixelLength ||
        static_cast<qint64>(width) * height > MaxExportPixels)
        throw EPlotExportError(
            FormatText("Picture size %d x %d is too large to export", {ArgText(width), ArgText(height)}));
    FWidth = width;
    FHeight = height;
}

void TPlotExportFormat::CopyToClipboard()
{
    CheckedPanel();
    Options(true);
    CheckSize();
    DoCopyToClipboard();
}

void TPlotExportFormat::SaveToFile(const QString& FileName)
{
    CheckedPanel();
    Options(true);
    CheckSize();
    QString error;
    if (!SaveAtomically(FileName, [this](QIODevice& device) { SaveToStream(device); }, error))
        throw EPlotExportError(
            FormatText("Cannot create file \"%s\". %s", {FileName.toStdString(), error.toStdString()}));
}

// --- Format classes and their list ----------------------------------------------------------

std::unique_ptr<TPlotExportFormat> CreatePlotExportFormat(TPlotExportFormatClass FormatClass)
{
    if (!FormatClass)
        throw EInvalidOperation("No export format class given");
    std::unique_ptr<QObject> object(FormatClass->newInstance());
    auto* format = qobject_cast<TPlotExportFormat*>(object.get());
    if (!format)
        throw EInvalidOperation(
            FormatText("%s is not an export format class", {std::string(FormatClass->className())}));
    object.release(); // now owned as the format
    return std::unique_ptr<TPlotExportFormat>(format);
}

TPlotExportFormatClass TPlotExportFormats::Format(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    return FClasses[static_cast<size_t>(Index)];
}

void TPlotExportFormats::Remove(TPlotExportFormatClass FormatClass)
{
    const auto it = std::find(FClasses.begin(), FClasses.end(), FormatClass);
    if (it != FClasses.end())
        FClasses.erase(it);
}

namespace {

std::unique_ptr<TPlotExportFormats>& FormatList()
{
    static std::unique_ptr<TPlotExportFormats> list;
    return list;
}

} // namespace

TPlotExportFormats* PlotExportFormats()
{
    return FormatList().get();
}

void RegisterPlotExportFormat(TPlotExportFormatClass FormatClass)
{
    if (!FormatList())
        FormatList() = std::make_unique<TPlotExportFormats>();
    FormatList()->Add(FormatClass);
}

void UnRegisterPlotExportFormat(TPlotExportFormatClass FormatClass)
{
    if (!FormatList())
        return;
    FormatList()->Remove(FormatClass);
    if (FormatList()->Count() == 0)
        FormatList().reset();
}

std::unique_ptr<TGraphic> CreateGraphicForExtension(const QString& Extension)
{
    const TPlotExportFormats* list = PlotExportFormats();
    if (!list)
        return nullptr;
    const QString wanted = Extension.toUpper();
    for (int i = 0; i < list->Count(); ++i) {
        const std::unique_ptr<TPlotExportFormat> format = CreatePlotExportFormat(list->Format(i));
        if (wanted == QLatin1Char('.') + format->FileExtension().toUpper()) {
            const TGraphicFactory factory = format->GraphicClass();
            return factory ? factory() : nullptr;
        }
    }
    return nullptr;
}

} // namespace lp
