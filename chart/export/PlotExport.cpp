#include "chart/export/PlotExport.h"

#include "chart/canvas/PlotRichText.h"
#include "chart/export/PlotChartFile.h"
#include "chart/export/PlotChartImage.h"
#include "chart/export/PlotExportBitmap.h"
#include "chart/export/PlotExportMetafile.h"
#include "chart/export/PlotExportOther.h"

#include <array>

namespace lp {

namespace {

int ExportInitCount = 0;

const std::array<TPlotExportFormatClass, 6>& ExportFormatClasses()
{
    static const std::array<TPlotExportFormatClass, 6> classes{
        &TEMFExportFormat::staticMetaObject, &TBMPExportFormat::staticMetaObject,
        &TPNGExportFormat::staticMetaObject, &TJPEGExportFormat::staticMetaObject,
        &TSVGExportFormat::staticMetaObject, &TPDFExportFormat::staticMetaObject};
    return classes;
}

} // namespace

void InitializeChartExport()
{
    if (ExportInitCount++ > 0)
        return;
    for (TPlotExportFormatClass formatClass : ExportFormatClasses())
        RegisterPlotExportFormat(formatClass);
    SetHtmlPictureFactory(&CreateGraphicForExtension);
    RegisterChartFileClasses();
    RegisterChartImage();
}

void FinalizeChartExport()
{
    if (ExportInitCount == 0 || --ExportInitCount > 0)
        return;
    UnRegisterChartImage();
    UnRegisterChartFileClasses();
    SetHtmlPictureFactory({});
    const auto& classes = ExportFormatClasses();
    for (auto it = classes.rbegin(); it != classes.rend(); ++it)
        UnRegisterPlotExportFormat(*it);
}

} // namespace lp
