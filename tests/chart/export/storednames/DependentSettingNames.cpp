#include "../StoredNamesTable.h"

namespace lp::test {

namespace {

// Why each setter changes another stored setting when a user calls it.
const char* const FrameReason = "a frame style draws with the pen, so choosing one shows the pen, and the two "
                                "styles exclude each other";
const char* const GridOrderReason = "a new grid size recreates the grid in node order, which leaves the X list "
                                    "unsorted";
const char* const PaletteReason = "colouring by palette replaces the colours of single points";
const char* const LevelsReason = "automatic levels replace the user's own levels, made again from NumLevels";
const char* const PointerColorReason = "colouring each point gives the pointer the point's colour";
const char* const CircledReason = "a round series drops its custom radii, and every series of the kind in the "
                                  "chart follows";
const char* const AxisMaximumReason = "an automatic maximum takes the axis' maximum from the values, and with an "
                                      "automatic minimum the whole axis is automatic";
const char* const AxisMinimumReason = "an automatic minimum takes the axis' minimum from the values, and with an "
                                      "automatic maximum the whole axis is automatic";
const char* const CustomPositionReason = "a box placed by the user keeps where it stands, as Left and Top";
const char* const PlaceReason = "placing a box by Left or Top makes its position the user's own, the other "
                                "coordinate taken where the box stands";
const char* const AutoSizeReason = "a box sized to its text takes its width and height from the text";
const char* const SizeReason = "a width or height given by the user ends the sizing to the text, the other "
                               "measure kept as it stands";
const char* const BackImageModeReason = "the chart's BackImageMode and its back image's Mode are one setting under "
                                        "two names";
const char* const NearestLineReason = "DrawLine is the visibility of the line pen under another name";

} // namespace

// Each setter that changes another stored setting of its object (or, led by
// "/", of the series, tool or chart holding it). The StoredNames test finds
// them by trying every setting of every registered class, checks this list
// against what it finds and reads each pair back from the chart file in
// both forms and in either order.
void AddDependentSettings(std::vector<TDependentSettingRow>& Rows)
{
    Rows.insert(Rows.end(), {
        {"TSurfaceSeries", "DotFrame", "Pen.Visible", FrameReason},
        {"TSurfaceSeries", "DotFrame", "WireFrame", FrameReason},
        {"TWaterFallSeries", "DotFrame", "Pen.Visible", FrameReason},
        {"TWaterFallSeries", "DotFrame", "WireFrame", FrameReason},
        {"TSurfaceSeries", "WireFrame", "Pen.Visible", FrameReason},
        {"TSurfaceSeries", "WireFrame", "DotFrame", FrameReason},
        {"TWaterFallSeries", "WireFrame", "Pen.Visible", FrameReason},
        {"TWaterFallSeries", "WireFrame", "DotFrame", FrameReason},
        {"TColorGridSeries", "NumXValues", "XValues.Order", GridOrderReason},
        {"TContourSeries", "NumXValues", "XValues.Order", GridOrderReason},
        {"TSurfaceSeries", "NumXValues", "XValues.Order", GridOrderReason},
        {"TTowerSeries", "NumXValues", "XValues.Order", GridOrderReason},
        {"TWaterFallSeries", "NumXValues", "XValues.Order", GridOrderReason},
        {"TColorGridSeries", "NumZValues", "XValues.Order", GridOrderReason},
        {"TContourSeries", "NumZValues", "XValues.Order", GridOrderReason},
        {"TSurfaceSeries", "NumZValues", "XValues.Order", GridOrderReason},
        {"TTowerSeries", "NumZValues", "XValues.Order", GridOrderReason},
        {"TWaterFallSeries", "NumZValues", "XValues.Order", GridOrderReason},
        {"TColorGridSeries", "UsePalette", "ColorEachPoint", PaletteReason},
        {"TMapSeries", "UsePalette", "ColorEachPoint", PaletteReason},
        {"TSurfaceSeries", "UsePalette", "ColorEachPoint", PaletteReason},
        {"TTowerSeries", "UsePalette", "ColorEachPoint", PaletteReason},
        {"TTriSurfaceSeries", "UsePalette", "ColorEachPoint", PaletteReason},
        {"TVector3DSeries", "UsePalette", "ColorEachPoint", PaletteReason},
        {"TWaterFallSeries", "UsePalette", "ColorEachPoint", PaletteReason},
        {"TContourSeries", "AutomaticLevels", "Levels", LevelsReason},
        {"TContourSeries", "AutomaticLevels", "NumLevels", LevelsReason},
        {"TArrowSeries", "ColorEachPoint", "Pointer.Brush.Color", PointerColorReason},
        {"TBoxSeries", "ColorEachPoint", "Pointer.Brush.Color", PointerColorReason},
        {"TDeltaPointSeries", "ColorEachPoint", "Pointer.Brush.Color", PointerColorReason},
        {"THorizBoxSeries", "ColorEachPoint", "Pointer.Brush.Color", PointerColorReason},
        {"TImagePointSeries", "ColorEachPoint", "Pointer.Brush.Color", PointerColorReason},
        {"TMyPointSeries", "ColorEachPoint", "Pointer.Brush.Color", PointerColorReason},
        {"TPointSeries", "ColorEachPoint", "Pointer.Brush.Color", PointerColorReason},
        {"TClockSeries", "Circled", "CustomXRadius", CircledReason},
        {"TClockSeries", "Circled", "CustomYRadius", CircledReason},
        {"TDonutSeries", "Circled", "CustomXRadius", CircledReason},
        {"TDonutSeries", "Circled", "CustomYRadius", CircledReason},
        {"TGaugeSeries", "Circled", "CustomXRadius", CircledReason},
        {"TGaugeSeries", "Circled", "CustomYRadius", CircledReason},
        {"TPieSeries", "Circled", "CustomXRadius", CircledReason},
        {"TPieSeries", "Circled", "CustomYRadius", CircledReason},
        {"TPolarBarSeries", "Circled", "CustomXRadius", CircledReason},
        {"TPolarBarSeries", "Circled", "CustomYRadius", CircledReason},
        {"TPolarSeries", "Circled", "CustomXRadius", CircledReason},
        {"TPolarSeries", "Circled", "CustomYRadius", CircledReason},
        {"TRadarSeries", "Circled", "CustomXRadius", CircledReason},
        {"TRadarSeries", "Circled", "CustomYRadius", CircledReason},
        {"TSmithSeries", "Circled", "CustomXRadius", CircledReason},
        {"TSmithSeries", "Circled", "CustomYRadius", CircledReason},
        {"TWindRoseSeries", "Circled", "CustomXRadius", CircledReason},
        {"TWindRoseSeries", "Circled", "CustomYRadius", CircledReason},
        {"TChartAxis", "AutomaticMaximum", "Automatic", AxisMaximumReason},
        {"TChartAxis", "AutomaticMaximum", "Maximum", AxisMaximumReason},
        {"TChartAxis", "AutomaticMinimum", "Automatic", AxisMinimumReason},
        {"TChartAxis", "AutomaticMinimum", "Minimum", AxisMinimumReason},
        {"TChartDepthAxis", "AutomaticMaximum", "Automatic", AxisMaximumReason},
        {"TChartDepthAxis", "AutomaticMaximum", "Maximum", AxisMaximumReason},
        {"TChartDepthAxis", "AutomaticMinimum", "Automatic", AxisMinimumReason},
        {"TChartDepthAxis", "AutomaticMinimum", "Minimum", AxisMinimumReason},
        {"TChartFootTitle", "CustomPosition", "Left", CustomPositionReason},
        {"TChartFootTitle", "CustomPosition", "Top", CustomPositionReason},
        {"TChartLegend", "CustomPosition", "Left", CustomPositionReason},
        {"TChartLegend", "CustomPosition", "Top", CustomPositionReason},
        {"TChartTitle", "CustomPosition", "Left", CustomPositionReason},
        {"TChartTitle", "CustomPosition", "Top", CustomPositionReason},
        {"TExtraLegend", "CustomPosition", "Left", CustomPositionReason},
        {"TExtraLegend", "CustomPosition", "Top", CustomPositionReason},
        {"TPlotShapePosition", "CustomPosition", "Left", CustomPositionReason},
        {"TPlotShapePosition", "CustomPosition", "Top", CustomPositionReason},
        {"TChartFootTitle", "Left", "CustomPosition", PlaceReason},
        {"TChartFootTitle", "Left", "Top", PlaceReason},
        {"TChartLegend", "Left", "CustomPosition", PlaceReason},
        {"TChartLegend", "Left", "Top", PlaceReason},
        {"TChartTitle", "Left", "CustomPosition", PlaceReason},
        {"TChartTitle", "Left", "Top", PlaceReason},
        {"TExtraLegend", "Left", "CustomPosition", PlaceReason},
        {"TExtraLegend", "Left", "Top", PlaceReason},
        {"TPlotShapePosition", "Left", "CustomPosition", PlaceReason},
        {"TPlotShapePosition", "Left", "Top", PlaceReason},
        {"TChartFootTitle", "Top", "CustomPosition", PlaceReason},
        {"TChartFootTitle", "Top", "Left", PlaceReason},
        {"TChartLegend", "Top", "CustomPosition", PlaceReason},
        {"TChartLegend", "Top", "Left", PlaceReason},
        {"TChartTitle", "Top", "CustomPosition", PlaceReason},
        {"TChartTitle", "Top", "Left", PlaceReason},
        {"TExtraLegend", "Top", "CustomPosition", PlaceReason},
        {"TExtraLegend", "Top", "Left", PlaceReason},
        {"TPlotShapePosition", "Top", "CustomPosition", PlaceReason},
        {"TPlotShapePosition", "Top", "Left", PlaceReason},
        {"TAnnotationTool", "AutoSize", "Height", AutoSizeReason},
        {"TAnnotationTool", "AutoSize", "Width", AutoSizeReason},
        {"TPageNumTool", "AutoSize", "Height", AutoSizeReason},
        {"TPageNumTool", "AutoSize", "Width", AutoSizeReason},
        {"TRectangleTool", "AutoSize", "Height", AutoSizeReason},
        {"TRectangleTool", "AutoSize", "Width", AutoSizeReason},
        {"TAnnotationTool", "Height", "AutoSize", SizeReason},
        {"TAnnotationTool", "Height", "Width", SizeReason},
        {"TPageNumTool", "Height", "AutoSize", SizeReason},
        {"TPageNumTool", "Height", "Width", SizeReason},
        {"TRectangleTool", "Height", "AutoSize", SizeReason},
        {"TRectangleTool", "Height", "Width", SizeReason},
        {"TAnnotationTool", "Width", "AutoSize", SizeReason},
        {"TAnnotationTool", "Width", "Height", SizeReason},
        {"TPageNumTool", "Width", "AutoSize", SizeReason},
        {"TPageNumTool", "Width", "Height", SizeReason},
        {"TRectangleTool", "Width", "AutoSize", SizeReason},
        {"TRectangleTool", "Width", "Height", SizeReason},
        {"TChart", "BackImageMode", "BackImage.Mode", BackImageModeReason},
        {"TBackImage", "Mode", "/BackImageMode", BackImageModeReason},
        {"TNearestTool", "DrawLine", "LinePen.Visible", NearestLineReason},
    });
}

const std::vector<TDependentSettingRow>& DependentSettingsTable()
{
    static const std::vector<TDependentSettingRow> Table = [] {
        std::vector<TDependentSettingRow> Rows;
        AddDependentSettings(Rows);
        return Rows;
    }();
    return Table;
}

} // namespace lp::test
