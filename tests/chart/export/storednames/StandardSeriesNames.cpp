#include "SeriesNameLists.h"

namespace lp::test {

namespace {

// What every bar series publishes besides the series base.
const std::vector<const char*> BarNames{
    "AutoBarSize", "AutoMarkPosition", "BarBrush", "BarPen", "BarStyle", "BarWidthPercent", "BevelSize",
    "ColorEachPoint", "Dark3D", "DepthPercent", "Gradient", "MultiBar", "OffsetPercent", "SideMargins", "StackGroup",
    "TickLines", "UseYOrigin", "YOrigin"};

// The error series' whisker settings.
const std::vector<const char*> ErrorNames{"ErrorPen", "ErrorValues", "ErrorWidth", "ErrorWidthUnits"};

// The grid's size and kind, published by every grid series.
const std::vector<const char*> GridNames{"IrregularGrid", "NumXValues", "NumZValues"};
const std::vector<const char*> PenBrushNames{"Brush", "Pen"};

// The surface's own cells, walls and strip lines (the waterfall adds its
// mode to them).
const std::vector<const char*> SurfaceNames{"DotFrame", "FastBrush", "SideBrush", "SideLines", "SmoothPalette",
                                            "Transparency", "WaterLines", "WireFrame"};

// The histogram's bars, their outline and the lines between them.
const std::vector<const char*> HistogramNames{"Brush", "LinePen", "LinesPen", "Pen", "Transparency"};

const std::vector<TStoredNameDeviation> ZOrderAndColorEachStored =
    JoinDeviations({ZOrderStored, ColorEachPointStored});

const char* const FastLineFillReason = "the fast line draws its line and its fill above and below the origin from "
                                       "these settings; what a program sets must draw the same after a reopen";

} // namespace

void AddStandardSeriesNames(std::vector<TStoredNamesRow>& Rows)
{
    // Fast line series
    Rows.push_back({"TFastLineSeries",
                    JoinNames({SeriesBaseNames, SeriesDefinedNames, XYValueNames,
                               {"AutoRepaint", "DrawAllPoints", "IgnoreNulls", "InvertedStairs", "LinePen",
                                "Stairs"}}),
                    {},
                    JoinDeviations({ZOrderAndColorEachStored, ColorSourceStored,
                                    {{"+DrawLine", FastLineFillReason},
                                     {"+FillMode", FastLineFillReason},
                                     {"+FillOrigin", FastLineFillReason},
                                     {"+FillColorAbove", FastLineFillReason},
                                     {"+FillColorBelow", FastLineFillReason},
                                     {"+ClearAbove", FastLineFillReason},
                                     {"+ClearBelow", FastLineFillReason}}})});

    // Line, point and area series
    const std::vector<const char*> LineNames{"Brush", "ClickableLine", "ColorEachLine", "ColorEachPoint", "Dark3D",
                                             "InvertedStairs", "LineBrush", "LineHeight", "LinePen", "OutLine",
                                             "Pointer", "Shadow", "Stacked", "Stairs"};
    const std::vector<const char*> AreaNames{"AreaBrush", "AreaChartBrush", "AreaColor", "AreaLinesPen",
                                             "ClickableLine", "ColorEachLine", "ColorEachPoint", "Dark3D", "DrawArea",
                                             "Gradient", "InvertedStairs", "LinePen", "MultiArea", "Pointer",
                                             "Stairs", "Transparency", "UseYOrigin", "YOrigin"};
    Rows.push_back({"TLineSeries", JoinNames({SeriesNames, XYValueNames, LineNames}), {}, ZOrderStored});
    Rows.push_back({"THorizLineSeries", JoinNames({SeriesNames, XYValueNames, LineNames}), {}, ZOrderStored});
    Rows.push_back({"TPointSeries", JoinNames({SeriesNames, XYValueNames, PointNames}), {}, ZOrderStored});
    Rows.push_back({"TAreaSeries", JoinNames({SeriesNames, XYValueNames, AreaNames}), {}, ZOrderStored});
    Rows.push_back({"THorizAreaSeries", JoinNames({SeriesNames, XYValueNames, AreaNames}), {}, ZOrderStored});

    // Bar series and their gradient
    Rows.push_back({"TBarSeries", JoinNames({SeriesNames, XYValueNames, BarNames, {"CustomBarWidth"}}), {},
                    ZOrderStored});
    Rows.push_back({"THorizBarSeries", JoinNames({SeriesNames, XYValueNames, BarNames, {"CustomBarHeight"}}), {},
                    ZOrderStored});
    Rows.push_back(
        {"TBarSeriesGradient", {"Balance", "Direction", "MidColor", "Relative", "StartColor", "Visible"}, {}, {}});

    // Pie series (its values list is named after the slices; the angle list
    // is its own) and its "other" slice
    Rows.push_back({"TPieSeries",
                    JoinNames({SeriesNames,
                               {"AngleSize", "AutoMarkPosition", "CircleBackColor", "Circled", "ColorEachPoint",
                                "CustomXRadius", "CustomYRadius", "Dark3D", "DarkPen", "ExplodeBiggest", "Gradient",
                                "MultiPie", "OtherSlice", "PiePen", "PieValues", "RotationAngle", "Shadow",
                                "UsePatterns"}}),
                    {},
                    JoinDeviations({ZOrderStored,
                                    {{"+XValues", "the General tab's Sort sets the order of the X list, which the "
                                                  "slices follow, and a data source's X field fills it; what they "
                                                  "set must come back"}}})});
    Rows.push_back({"TPieOtherSlice", {"Color", "Legend", "Style", "Text", "Value"}, {}, {}});

    // Map series and its shapes: each shape stores its own outline points,
    // the map no point block of its own
    Rows.push_back({"TMapSeries",
                    JoinNames({SeriesBaseNames,
                               ColorSourceName,
                               {"Identifier", "Style", "DataSources", "CustomHorizAxis", "CustomVertAxis"},
                               ZValueNames,
                               PaletteNames,
                               {"Shapes"}}),
                    {},
                    JoinDeviations({ZOrderAndColorEachStored,
                                    {{"+Brush", "the map page's Global tab sets the series brush, and every shape "
                                                "marked Global fills with it; a saved map must draw the same"},
                                     {"+Pen", "the map page's Global tab sets the series border, and every shape "
                                              "marked Global draws with it; a saved map must draw the same"},
                                     {"+XValues", "the General tab sets the date-time and order of the X list for "
                                                  "a map as for any series; what it sets must come back"},
                                     {"+YValues", "the General tab sets the date-time and order of the Y list for "
                                                  "a map as for any series; what it sets must come back"},
                                     {"+Data", "never written by a map: the series base defines the point "
                                               "block for every kind, so the writer meets the name, but a map "
                                               "keeps no points of its own (each shape stores its outline as "
                                               "its own Data) and writes no block"}}})});
    Rows.push_back({"TPlotPolygon",
                    {"Brush", "Closed", "Color", "Data", "Gradient", "ParentBrush", "ParentPen", "Pen", "Text",
                     "Transparency", "Z"},
                    {},
                    {}});

    // Grid and 3-D series
    const std::vector<const char*> SurfaceSeriesNames =
        JoinNames({SeriesNames, XYValueNames, ZValueNames, PaletteNames, GridNames, PenBrushNames, SurfaceNames});
    Rows.push_back({"TSurfaceSeries", SurfaceSeriesNames, {}, ZOrderAndColorEachStored});
    Rows.push_back({"TWaterFallSeries", JoinNames({SurfaceSeriesNames, {"WaterFall"}}), {}, ZOrderAndColorEachStored});
    Rows.push_back({"TContourSeries",
                    JoinNames({SeriesNames, XYValueNames, ZValueNames, PaletteNames,
                               {"AutomaticLevels", "ColorEachPoint", "Levels", "NumLevels", "NumXValues",
                                "NumZValues", "Pen", "Smoothing", "YPosition", "YPositionLevel"}}),
                    {},
                    JoinDeviations({ZOrderStored,
                                    {{"+IrregularGrid", "the grid page's Irregular box is shown for every grid "
                                                        "series, the contour series too; what it sets must come "
                                                        "back"}}})});
    // A contour level of the user's own (stored while AutomaticLevels is off).
    Rows.push_back({"TContourLevel", {"Color", "Pen", "UpToValue"}, {}, {}});
    Rows.push_back({"TColorGridSeries",
                    JoinNames({SeriesNames, XYValueNames, ZValueNames, PaletteNames, GridNames, PenBrushNames,
                               {"CenteredPoints", "Frame", "SmoothBitmap", "XGridEvery", "ZGridEvery"}}),
                    {},
                    ZOrderAndColorEachStored});
    Rows.push_back({"TVector3DSeries",
                    JoinNames({SeriesNames, XYValueNames, ZValueNames, PaletteNames, PenBrushNames,
                               {"ArrowHeight", "ArrowWidth", "EndArrow", "EndXValues", "EndYValues", "EndZValues",
                                "StartArrow"}}),
                    {},
                    ZOrderAndColorEachStored});
    Rows.push_back({"TTowerSeries",
                    JoinNames({SeriesNames, XYValueNames, ZValueNames, PaletteNames, GridNames, PenBrushNames,
                               {"Dark3D", "Origin", "PercentDepth", "PercentWidth", "TowerStyle", "Transparency",
                                "UseOrigin"}}),
                    {},
                    ZOrderAndColorEachStored});

    // Error and high-low series (the high-low's Y list holds the high values)
    Rows.push_back({"TErrorSeries",
                    JoinNames({SeriesNames, XYValueNames, BarNames, {"CustomBarWidth", "ErrorStyle"}, ErrorNames}),
                    {},
                    ZOrderStored});
    Rows.push_back({"TErrorBarSeries", JoinNames({SeriesNames, XYValueNames, BarNames, {"CustomBarWidth"}, ErrorNames}),
                    {}, ZOrderStored});
    Rows.push_back({"THighLowSeries",
                    JoinNames({SeriesNames,
                               {"XValues", "HighBrush", "HighPen", "HighValues", "LowBrush", "LowPen", "LowValues",
                                "Pen", "Transparency"}}),
                    {},
                    ZOrderAndColorEachStored});

    // Financial series (the candle's lists are named after the prices, the
    // volume's Y list after the volumes)
    Rows.push_back({"TCandleSeries",
                    JoinNames({SeriesNames, PriceNames,
                               {"CandleStyle", "CandleWidth", "ColorStyle", "Dark3D", "DownCloseColor",
                                "DownCloseGradient", "Draw3D", "HighLowPen", "Pen", "ShowCloseTick", "ShowOpenTick",
                                "UpCloseColor", "UpCloseGradient"}}),
                    {},
                    ZOrderAndColorEachStored});
    Rows.push_back({"TVolumeSeries",
                    JoinNames({SeriesNames, {"LinePen", "UseYOrigin", "VolumeValues", "XValues", "YOrigin"}}),
                    {},
                    ZOrderAndColorEachStored});

    // Histogram series
    Rows.push_back({"THistogramSeries", JoinNames({SeriesNames, XYValueNames, HistogramNames}), {},
                    ZOrderAndColorEachStored});
    Rows.push_back({"THorizHistogramSeries", JoinNames({SeriesNames, XYValueNames, HistogramNames}), {},
                    ZOrderAndColorEachStored});

    // Shape series (its Style is the figure; the series' editor flags are
    // stored under the same name)
    Rows.push_back({"TChartShape",
                    JoinNames({SeriesNames, XYValueNames, PenBrushNames,
                               {"Alignment", "Font", "Gradient", "RoundRectangle", "Style", "Text", "Transparent",
                                "VertAlign", "X0", "X1", "XYStyle", "Y0", "Y1"}}),
                    {},
                    ZOrderAndColorEachStored});

    // Gantt, arrow and bubble series (point series whose lists are named
    // after what they hold)
    Rows.push_back({"TGanttSeries",
                    JoinNames({SeriesNames, PointNames, {"ConnectingPen", "EndValues", "StartValues", "YValues"}}),
                    {},
                    JoinDeviations({ZOrderStored,
                                    {{"+NextTask", "the successor links are a value list like the start and end "
                                                   "dates; its settings, a data source's field for the links "
                                                   "among them, must come back with the chart"}}})});
    Rows.push_back({"TArrowSeries",
                    JoinNames({SeriesNames, PointNames,
                               {"ArrowPercent", "EndXValues", "EndYValues", "StartXValues", "StartYValues"}}),
                    {},
                    ZOrderStored});
    Rows.push_back({"TBubbleSeries", JoinNames({SeriesNames, PointNames, XYValueNames, {"RadiusValues", "Squared"}}),
                    {}, ZOrderStored});
}

} // namespace lp::test
