#include "section/dialogs/SectionGraphicEditor.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotMapSeries.h"
#include "section/dialogs/SectionAxisEditor.h"
#include "section/editor/PolygonChart.h"

namespace lp {

const QString SectionUnkeptReason = QStringLiteral("The section file does not keep this setting.");

namespace {

// A line's settings text holds its colours, pens, brush, pointer and marks;
// these controls set what it leaves out.
QStringList UnkeptLineControls()
{
    return {
        // Format: stairs, the outline and the series' shadow.
        QStringLiteral("TCustomSeriesEditor.GBStair"),
        QStringLiteral("TCustomSeriesEditor.BOutline"),
        QStringLiteral("TCustomSeriesEditor.Button1"),
        // Point: the 3-D look and the margins the points take.
        QStringLiteral("TSeriesPointerEditor.CB3dPoint"),
        QStringLiteral("TSeriesPointerEditor.CBInflate"),
        // Marks: the other series' marks, the marks' symbol, the text's
        // outline, outline gradient and shadow, and a smooth shadow.
        QStringLiteral("TFormPlotSeries.CBAllVisible"),
        QStringLiteral("TFormPlotSeries.TabSymbol"),
        QStringLiteral("TPlotFontEditor.BOutline"),
        QStringLiteral("TPlotFontEditor.CBOutGrad"),
        QStringLiteral("TPlotFontEditor.BShadow"),
        QStringLiteral("TPlotShadowEditor.CBSmooth"),
        // The brush's picture ("Pattern..."): the brush text has no image.
        QStringLiteral("TBrushDialog.GroupImage"),
    };
}

// A body keeps its colour ("Default" too: the colour it then shows),
// brush, border, gradient and label; the map's own settings (its brush and
// border, palette and marks) are the section's.
QStringList UnkeptMapControls()
{
    return {
        QStringLiteral("TMapSeriesEditor.TabGlobal"),
        QStringLiteral("TMapSeriesEditor.LZ"),
        QStringLiteral("TMapSeriesEditor.EditZ"),
        QStringLiteral("TMapSeriesEditor.CBGlobalPen"),
        QStringLiteral("TMapSeriesEditor.CBGlobalBrush"),
        QStringLiteral("TMapSeriesEditor.CBClosed"),
        QStringLiteral("TMapSeriesEditor.CBVisible"),
        QStringLiteral("TMapSeriesEditor.LTransp"),
        QStringLiteral("TMapSeriesEditor.UDTransp"),
        QStringLiteral("TGrid3DSeriesEditor"),
        QStringLiteral("TFormPlotSeries.TabMarks"),
        QStringLiteral("TBrushDialog.GroupImage"),
    };
}

} // namespace

TUnkeptSettings SectionUnkeptSettings(const QObject& Edited)
{
    if (const auto* axis = qobject_cast<const TChartAxis*>(&Edited))
        return SectionUnkeptAxisSettings(*axis);
    const auto* series = qobject_cast<const TChartSeries*>(&Edited);
    const auto* chart = series ? qobject_cast<const TPolygonChart*>(series->ParentChart()) : nullptr;
    if (chart == nullptr)
        return {};
    TUnkeptSettings unkept;
    unkept.Reason = SectionUnkeptReason;
    if (chart->LineOfSeries(series) >= 0)
        unkept.Controls = UnkeptLineControls();
    else if (series == chart->MapSeries())
        unkept.Controls = UnkeptMapControls();
    else
        unkept.Nothing = true;
    return unkept;
}

void RegisterSectionGraphicEditor()
{
    UnkeptSettingsQuery() = SectionUnkeptSettings;
}

void UnregisterSectionGraphicEditor()
{
    UnkeptSettingsQuery() = nullptr;
}

} // namespace lp
