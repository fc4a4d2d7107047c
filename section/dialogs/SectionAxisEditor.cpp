#include "section/dialogs/SectionAxisEditor.h"

#include "chart/engine/PlotAxis.h"
#include "section/dialogs/SectionGraphicEditor.h"
#include "section/editor/PolygonChart.h"

namespace lp {

namespace {

// Everything but the limits.
QStringList UnkeptAxisControls()
{
    return {
        // The full editor's chart-wide switches and custom axes.
        QStringLiteral("TFormPlotAxis.CBShow"),
        QStringLiteral("TFormPlotAxis.CBAxisBeh"),
        QStringLiteral("TFormPlotAxis.BAdd"),
        QStringLiteral("TFormPlotAxis.BDelete"),
        // Scales: the switches, increment, logarithm, automatic limits,
        // offsets, LinLog options and rounding.
        QStringLiteral("TFormPlotAxis.CBAutomatic"),
        QStringLiteral("TFormPlotAxis.CBVisible"),
        QStringLiteral("TFormPlotAxis.CBInverted"),
        QStringLiteral("TFormPlotAxis.BIncre"),
        QStringLiteral("TFormPlotAxis.CBLogarithmic"),
        QStringLiteral("TFormPlotAxis.ELogBase"),
        QStringLiteral("TFormPlotAxis.LogE"),
        QStringLiteral("TFormPlotAxis.CBAutoMin"),
        QStringLiteral("TFormPlotAxis.CBAutoMax"),
        QStringLiteral("TFormPlotAxis.UDMinOff"),
        QStringLiteral("TFormPlotAxis.UDMaxOff"),
        QStringLiteral("TFormPlotAxis.GroupBox1"),
        QStringLiteral("TFormPlotAxis.CheckBox2"),
        // The other tabs as a whole (the title's and labels' by their inner
        // tabs, so those can still be chosen and read).
        QStringLiteral("TFormPlotAxis.TabTitleStyle"),
        QStringLiteral("TFormPlotAxis.TabTitleFont"),
        QStringLiteral("TFormPlotAxis.TabLabStyle"),
        QStringLiteral("TFormPlotAxis.TabLabFormat"),
        QStringLiteral("TFormPlotAxis.TabLabelsFont"),
        QStringLiteral("TFormPlotAxis.TabTicks"),
        QStringLiteral("TFormPlotAxis.TabMinorTicks"),
        QStringLiteral("TFormPlotAxis.TabPositions"),
    };
}

} // namespace

TUnkeptSettings SectionUnkeptAxisSettings(const TChartAxis& Axis)
{
    const auto* chart = qobject_cast<const TPolygonChart*>(Axis.ParentChart());
    if (chart == nullptr)
        return {};
    TUnkeptSettings unkept;
    unkept.Reason = SectionUnkeptReason;
    const bool distance = &Axis == chart->BottomAxis() || &Axis == chart->TopAxis();
    const bool depth = &Axis == chart->LeftAxis() || &Axis == chart->RightAxis();
    if (!distance && !depth) {
        unkept.Nothing = true;
        return unkept;
    }
    unkept.Controls = UnkeptAxisControls();
    // The area's top is where the section began: a lower depth limit does
    // not move it.
    if (depth)
        unkept.Controls.append(QStringLiteral("TFormPlotAxis.BAxisMin"));
    return unkept;
}

} // namespace lp
