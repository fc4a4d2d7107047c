#include "../StoredNamesTable.h"

#include <string_view>

namespace lp::test {

namespace {

// A chart pen and its presets: the platform pen's colour, mode, style and
// width, then end style, small dots and visibility.
const std::vector<const char*> PenNames{"Color", "EndStyle", "Mode", "SmallDots",
                                        "SmallSpace", "Style", "Visible", "Width"};

// A chart brush: colour, picture and style.
const std::vector<const char*> BrushNames{"Color", "Image", "Style"};

const std::vector<TStoredNameDeviation> BrushDeviations{
    {"+Pattern", "a pattern fill (style 8 and up) has no style name to store, so its number is kept as "
                 "Pattern; the pattern picked in the brush dialog must come back"}};

// A gradient, and the gradients of marks and legend that only change its
// defaults.
const std::vector<const char*> GradientNames{"Balance", "Direction", "EndColor", "MidColor",
                                             "RadialX", "RadialY",   "StartColor", "Visible"};

// Older files wrote a framed shape's shadow as a colour and a size; they
// are still read into the shadow, never written.
const std::vector<const char*> ShapeReadOnly{"ShadowColor", "ShadowSize"};

// What a standalone framed shape publishes.
const std::vector<const char*> PlotShapeNames{"Bevel", "BevelWidth", "Color",      "Font",
                                              "Gradient", "Shadow",  "ShapeStyle", "Transparent"};

// A framed shape the user may place anywhere.
const std::vector<const char*> ShapePositionNames{"CustomPosition", "Left", "Top"};

// A chart title or foot.
const std::vector<const char*> TitleNames{"AdjustFrame", "Alignment", "Brush",     "Frame",       "Text",
                                          "TextFormat",  "Transparency", "Visible"};

// A chart wall.
const std::vector<const char*> WallNames{"AutoHide", "Brush", "Color",        "Dark3D",      "Gradient",
                                         "Pen",      "Size",  "Transparency", "Transparent", "Visible"};

// An axis: range, line, labels, ticks, grid, title and position.
const std::vector<const char*> AxisNames{
    "Automatic",      "AutomaticMaximum", "AutomaticMinimum", "Axis",          "AxisValuesFormat",
    "DateTimeFormat", "ExactDateTime",    "Grid",             "GridCentered",  "Increment",
    "Inverted",       "Horizontal",       "OtherSide",        "Labels",        "LabelsAlign",
    "LabelsAlternate", "LabelsAngle",     "LabelsExponent",   "LabelsFont",    "LabelsMultiLine",
    "LabelsOnAxis",   "LabelsSeparation", "LabelsSize",       "LabelStyle",    "Logarithmic",
    "LogarithmicBase", "Maximum",         "Minimum",          "MaximumOffset", "MinimumOffset",
    "MinorGrid",      "MinorTickCount",   "MinorTickLength",  "MinorTicks",    "StartPosition",
    "EndPosition",    "PositionPercent",  "PositionUnits",    "RoundFirstLabel", "TickInnerLength",
    "TickLength",     "Ticks",            "TicksInner",       "TickOnLabelsOnly", "Title",
    "TitleSize",      "Visible",          "ZPosition"};

// A depth axis publishes the same, but its design never stores ZPosition.
std::vector<const char*> DepthAxisNames()
{
    std::vector<const char*> Names;
    for (const char* Name : AxisNames)
        if (std::string_view(Name) != "ZPosition")
            Names.push_back(Name);
    return Names;
}

const std::vector<TStoredNameDeviation> DepthAxisDeviations{
    {"+ZPosition", "the axis page's Position tab sets a depth axis' Z position, and the depth axis is drawn "
                   "there: where the user put it must come back"}};

// A series pointer, and the callout that adds an arrow to it.
const std::vector<const char*> PointerNames{"Brush",          "Dark3D", "Draw3D", "Gradient",
                                            "HorizSize",      "InflateMargins", "Pen", "Style",
                                            "Transparency",   "VertSize", "Visible"};
const std::vector<const char*> CalloutNames{"Arrow", "ArrowHead", "ArrowHeadSize", "Distance"};

// The chart panel: frame, margins, printing, shadow and 3-D view.
const std::vector<const char*> PanelNames{"Border",          "BorderRound",     "BufferedDisplay",
                                          "MarginBottom",    "MarginLeft",      "MarginRight",
                                          "MarginTop",       "MarginUnits",     "Monochrome",
                                          "PrintProportional", "PrintResolution", "Shadow",
                                          "View3D",          "View3DOptions"};
// The extended panel: panning, back image, gradient, zoom, and the print
// margins it stores as a list of four.
const std::vector<const char*> ExtendedPanelNames{"AllowPanning",   "BackImage", "BackImageInside",
                                                  "BackImageMode",  "BackImageTransp", "Gradient",
                                                  "Zoom",           "PrintMargins"};
// The axis panel: axes, 3-D depth, clipping and paging.
const std::vector<const char*> AxisPanelNames{"AxisBehind",   "AxisVisible", "BottomAxis",      "Chart3DPercent",
                                              "ClipPoints",   "CustomAxes",  "DepthAxis",       "DepthTopAxis",
                                              "LeftAxis",     "MaxPointsPerPage", "Page",       "RightAxis",
                                              "ScaleLastPage", "TopAxis",    "View3DWalls"};
// The chart control: walls, titles, legend, scroll button and palette.
const std::vector<const char*> ChartControlNames{"BackWall", "BottomWall", "Foot",     "Frame",
                                                 "LeftWall", "Legend",     "RightWall", "ScrollMouseButton",
                                                 "SubFoot",  "SubTitle",   "Title",    "ColorPaletteIndex"};

const std::vector<const char*> PanelReadOnly{"BorderStyle"};
const std::vector<const char*> ExtendedPanelReadOnly{"AllowZoom", "AnimatedZoom", "AnimatedZoomSteps"};
const std::vector<const char*> ChartControlReadOnly{"BackColor"};

const std::vector<TStoredNameDeviation> PanelPageDeviations{
    {"+Color", "the Panel page sets the chart's colour behind everything; what it sets must come back"},
    {"+BevelInner", "the Panel page sets the inner bevel; what it sets must come back"},
    {"+BevelOuter", "the Panel page sets the outer bevel; what it sets must come back"},
    {"+BevelWidth", "the Panel page sets the bevel width; what it sets must come back"},
    {"+BorderWidth", "the Panel page sets the separation between the bevels; what it sets must come back"}};

const std::vector<TStoredNameDeviation> ChartSizeDeviations{
    {"+Width", "a chart file opened as a picture takes its size from the chart it holds, so the chart's "
               "size must come back"},
    {"+Height", "a chart file opened as a picture takes its size from the chart it holds, so the chart's "
                "size must come back"},
    {"+Left", "the chart's place in its window, stored by its control base as every control's is; files "
              "have always held it"},
    {"+Top", "the chart's place in its window, stored by its control base as every control's is; files "
             "have always held it"},
    {"+Visible", "whether the chart shows, stored by its control base; files have always held it"},
    {"+Enabled", "whether the chart takes mouse and keys, stored by its control base; files have always "
                 "held it"},
    {"+Cursor", "the cursor over the chart, stored by its control base; files have always held it"}};

} // namespace

void AddChartPartNames(std::vector<TStoredNamesRow>& Rows)
{
    // Pens, brushes and 3-D view options
    Rows.push_back({"TChartPen", PenNames, {}, {}});
    Rows.push_back({"TChartHiddenPen", PenNames, {}, {}});
    Rows.push_back({"TDarkGrayPen", PenNames, {}, {}});
    Rows.push_back({"TWhitePen", PenNames, {}, {}});
    Rows.push_back({"TChartBrush", BrushNames, {}, BrushDeviations});
    Rows.push_back({"TChartClearBrush", BrushNames, {}, BrushDeviations});
    Rows.push_back({"TView3DOptions",
                    {"Elevation", "FontZoom", "HorizOffset", "Orthogonal", "OrthoAngle", "Perspective", "Rotation",
                     "Tilt", "VertOffset", "Zoom", "ZoomText"},
                    {},
                    {}});

    // Platform pictures and string lists
    Rows.push_back({"TPicture", {"Data"}, {}, {}});
    Rows.push_back({"TStringList", {"Strings"}, {}, {}});

    // Shadows, gradients and fonts
    Rows.push_back({"TPlotShadow", {"Color", "HorizSize", "Smooth", "Transparency", "VertSize"}, {}, {}});
    Rows.push_back({"TPlotGradient", GradientNames, {}, {}});
    Rows.push_back({"TPlotFontGradient", JoinNames({GradientNames, {"Outline"}}), {}, {}});
    Rows.push_back({"TPlotFont",
                    {"Charset", "Color", "Gradient", "Height", "InterCharSize", "Name", "OutLine", "Shadow", "Style"},
                    {},
                    {}});

    // The chart: panel, extended panel, axis panel and chart control
    Rows.push_back({"TChart",
                    JoinNames({PanelNames, ExtendedPanelNames, AxisPanelNames, ChartControlNames}),
                    JoinNames({PanelReadOnly, ExtendedPanelReadOnly, ChartControlReadOnly}),
                    JoinDeviations({{{"-Frame", "the chart's frame is the back wall's pen and is kept with the back "
                                                "wall as its Pen; storing it again would only repeat it"},
                                     {"+SeriesGroups", "the groups live with the series list and the file needs "
                                                       "a name for them; each group keeps its name and its series, "
                                                       "so the groups the user made come back"}},
                                    PanelPageDeviations,
                                    ChartSizeDeviations})});

    // The mesh-model and pseudo-section charts publish nothing of their own:
    // they store what the chart stores (checked by the section charts' own
    // test, tests/section/views/StoredNames_test.cpp).
    const TStoredNamesRow ChartRow = Rows.back();
    for (const char* SectionChart : {"TTModelSection2d", "TPseudoSection2d"}) {
        Rows.push_back(ChartRow);
        Rows.back().ClassName = SectionChart;
    }

    // Zoom and back image
    Rows.push_back({"TPlotZoom",
                    {"Allow", "Animated", "AnimatedSteps", "Brush", "Direction", "KeyShift", "MinimumPixels",
                     "MouseButton", "Pen", "UpLeftZooms"},
                    {},
                    {}});
    Rows.push_back({"TPlotZoomPen", PenNames, {}, {}});
    Rows.push_back({"TPlotZoomBrush", BrushNames, {}, BrushDeviations});
    Rows.push_back({"TBackImage", {"Data", "Inside", "Left", "Mode", "Top"}, {}, {}});

    // Framed shapes
    Rows.push_back({"TPlotShapePosition",
                    JoinNames({PlotShapeNames, ShapePositionNames, {"Brush", "Frame", "Transparency", "Visible"}}),
                    ShapeReadOnly,
                    {}});

    // Value lists and series groups
    Rows.push_back({"TChartValueList", {"DateTime", "Name", "Order", "ValueSource"}, {"Multiplier"}, {}});
    Rows.push_back({"TSeriesGroup", {"Name", "Series"}, {}, {}});

    // Axes, their pens and titles
    Rows.push_back({"TChartAxis", AxisNames, {}, {}});
    Rows.push_back({"TChartDepthAxis", DepthAxisNames(), {}, DepthAxisDeviations});
    Rows.push_back({"TChartAxisPen", JoinNames({PenNames, {"LineMode"}}), {}, {}});
    Rows.push_back({"TAxisGridPen", JoinNames({PenNames, {"ZPosition"}}), {}, {}});
    Rows.push_back({"TChartAxisTitle", {"Angle", "Caption", "Font", "Visible"}, ShapeReadOnly, {}});

    // Series marks, pointer and callouts
    Rows.push_back(
        {"TSeriesMarks",
         {"Angle", "Arrow", "BackColor", "Bevel", "BevelWidth", "Brush", "Callout", "Clip", "Color", "DrawEvery",
          "Font", "Frame", "Gradient", "Items", "MultiLine", "Shadow", "ShapeStyle", "Style", "Symbol",
          "Transparency", "Transparent", "Visible"},
         ShapeReadOnly,
         {{"-BackColor", "another name for the marks' Color, which is stored; writing both would repeat the value"}}});
    Rows.push_back({"TSeriesMarksGradient", GradientNames, {}, {}});
    Rows.push_back(
        {"TSeriesMarksSymbol",
         PlotShapeNames,
         ShapeReadOnly,
         {{"+Brush", "the marks' Symbol page is a shape page whose Pattern button sets the symbol's fill"},
          {"+Frame", "the marks' Symbol page is a shape page whose Frame button sets the symbol's frame pen"},
          {"+Transparency", "the marks' Symbol page is a shape page whose Transparency box sets the symbol's "
                            "transparency"},
          {"+Visible", "the marks' Symbol page has a Visible box that shows or hides the symbol"}}});
    // A point's own mark, written inside the marks' Items block.
    Rows.push_back(
        {"TMarksItem",
         {"Bevel", "BevelWidth", "Color", "Font", "Gradient", "Shadow", "ShapeStyle", "Text", "Transparency",
          "Transparent"},
         ShapeReadOnly,
         {{"+Brush", "the Marks tab's shape pages set a point's own mark's fill; a mark refilled by the user "
                     "must keep it after a save"},
          {"+Frame", "the Marks tab's shape pages set a point's own mark's frame pen; what they set must come "
                     "back"},
          {"+Visible", "a point's own mark can be hidden while the others show; it must stay hidden after a "
                       "save"}}});
    Rows.push_back({"TSeriesPointer", PointerNames, {}, {}});
    Rows.push_back({"TMarksCallout", JoinNames({PointerNames, CalloutNames, {"Length"}}), {}, {}});

    // Legend
    Rows.push_back({"TChartLegend",
                    JoinNames({{"Alignment",  "CheckBoxes",   "CheckBoxesStyle", "ColorWidth",   "CurrentPage",
                                "DividingLines", "FirstValue", "FontSeriesColor", "HorizMargin", "Inverted",
                                "LeftPercent", "LegendStyle",  "MaxNumRows",      "PositionUnits", "ResizeChart",
                                "Symbol",     "TextStyle",    "Title",           "TopPercent",   "TopPos",
                                "VertMargin", "VertSpacing",  "Visible",         "Brush",        "Frame",
                                "Transparency"},
                               PlotShapeNames,
                               ShapePositionNames}),
                    ShapeReadOnly,
                    {{"-ColorWidth", "another name for the symbol's Width, which the symbol stores; writing both "
                                     "would repeat the value"}}});
    Rows.push_back({"TChartLegendGradient", GradientNames, {}, {}});
    Rows.push_back({"TLegendSymbol",
                    {"Continuous", "DefaultPen", "Gradient", "Pen", "Position", "Squared", "Visible", "Width",
                     "WidthUnits"},
                    {},
                    {}});
    Rows.push_back(
        {"TLegendTitle",
         JoinNames({PlotShapeNames, {"Text", "TextAlignment", "TextFormat"}}),
         ShapeReadOnly,
         {{"+Brush", "the legend's Title tab carries the shape pages, whose Pattern button sets the title's fill"},
          {"+Frame", "the legend's Title tab carries the shape pages, whose Frame button sets the title's frame pen"},
          {"+Transparency", "the legend's Title tab carries the shape pages, whose Transparency box sets the "
                            "title's transparency"},
          {"+Visible", "the legend's Title tab has a Visible box that shows or hides the title"}}});

    // Titles and walls
    Rows.push_back({"TChartTitle", JoinNames({TitleNames, PlotShapeNames, ShapePositionNames}), ShapeReadOnly, {}});
    Rows.push_back({"TChartFootTitle", JoinNames({TitleNames, PlotShapeNames, ShapePositionNames}), ShapeReadOnly, {}});
    Rows.push_back({"TChartWall", WallNames, ShapeReadOnly, {}});
    Rows.push_back({"TChartBackWall", WallNames, ShapeReadOnly, {}});
    Rows.push_back({"TChartRightWall", WallNames, ShapeReadOnly, {}});
}

} // namespace lp::test
