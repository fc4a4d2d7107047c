#include "../StoredNamesTable.h"

namespace lp::test {

namespace {

// The data table's legend is a framed box like the chart's legend and keeps
// the box settings it shares with it.
const char* const FramedBoxReason = "a framed box setting the data table's legend shares with the chart legend";

// Every chart element keeps its editor flag.
const std::vector<const char*> ElementNames{"ShowInEditor"};

// A tool that publishes its on/off switch.
const std::vector<const char*> ToolNames{"ShowInEditor", "Active"};

// A tool bound to an axis: the axis is kept by its index in the chart's axes.
const std::vector<const char*> AxisToolNames{"ShowInEditor", "Active", "AxisID"};

// The annotation block, shared by the rectangle and page number tools
// (Left and Top are kept by the Shape, never by the tool itself).
const std::vector<const char*> AnnotationNames{"ShowInEditor", "Active", "AutoSize", "Callout", "Cursor",
                                               "Position", "PositionUnits", "Shape", "Text", "TextAlignment",
                                               "Height", "Width"};

// Tools whose design leaves Active unpublished; the file keeps it all the same.
const std::vector<TStoredNameDeviation> ActiveKept{
    {"+Active", "the tools page switches every tool on and off with its Active box; a tool switched off must "
                "come back switched off"}};

// A chart brush: Color, Image and Style; a pattern style has no brush-style
// name, so it is kept as its pattern number.
const std::vector<const char*> ChartBrushNames{"Color", "Image", "Style"};
const std::vector<TStoredNameDeviation> PatternKept{
    {"+Pattern", "a pattern fill has no brush-style name, so the brush writes its pattern number under Pattern "
                 "and reads it back as that style"}};

// The point symbol a callout draws at its end, then the callout's arrow.
const std::vector<const char*> PointerNames{"Brush",          "Pen",   "Visible",      "Dark3D",  "Draw3D", "Gradient",
                                            "HorizSize",      "InflateMargins", "Style", "Transparency", "VertSize"};
const std::vector<const char*> CalloutNames{"Arrow", "ArrowHead", "Distance", "ArrowHeadSize"};

// The chart legend, which the extra legend tool keeps a second one of.
const std::vector<const char*> LegendNames{
    "Alignment",  "CheckBoxes",  "CheckBoxesStyle", "ColorWidth",  "CurrentPage", "DividingLines", "FirstValue",
    "FontSeriesColor", "HorizMargin", "Inverted",   "LeftPercent", "LegendStyle", "MaxNumRows",    "PositionUnits",
    "ResizeChart", "Symbol",     "TextStyle",       "Title",       "TopPercent",  "TopPos",        "VertMargin",
    "VertSpacing", "Visible",    "Bevel",           "BevelWidth",  "Brush",       "Color",         "Font",
    "Frame",       "Gradient",   "Shadow",          "ShapeStyle",  "Transparency", "Transparent",  "CustomPosition",
    "Left",        "Top"};

// Framed boxes still read the shadow settings of earlier files.
const std::vector<const char*> OldShadowNames{"ShadowColor", "ShadowSize"};

} // namespace

void AddToolNames(std::vector<TStoredNamesRow>& Rows)
{
    // Series tools
    Rows.push_back({"TChartImageTool",
                    JoinNames({ToolNames, {"Picture", "Series"}}),
                    {},
                    {{"+ReverseVertical", "the mesh chart and the well-log pictures set it on their pictures, which "
                                          "would otherwise reopen upside down"},
                     {"+Transparency", "nothing in the program sets it, but a program may make a picture "
                                       "translucent through it, and the picture must not reopen opaque"}}});
    Rows.push_back({"TClipSeriesTool", JoinNames({ToolNames, {"Series"}}), {}, {}});
    Rows.push_back({"TCursorTool",
                    JoinNames({ToolNames,
                               {"ClickTolerance", "FollowMouse", "Pen", "Series", "Snap", "Style", "UseSeriesZ"}}),
                    {},
                    {}});
    Rows.push_back({"TDragMarksTool", JoinNames({ToolNames, {"Series"}}), {}, {}});
    Rows.push_back({"TDragPointTool", JoinNames({ElementNames, {"DragStyle", "Series"}}), {}, ActiveKept});
    Rows.push_back({"TDrawLineTool",
                    JoinNames({ToolNames,
                               {"Button", "ClickTolerance", "EnableDraw", "EnableSelect", "Lines", "SelectNewLines",
                                "Pen", "Series"}}),
                    {},
                    {}});
    Rows.push_back({"TExtraLegendTool", JoinNames({ElementNames, {"Series", "Legend"}}), {}, ActiveKept});
    Rows.push_back({"TGanttTool",
                    JoinNames({ElementNames,
                               {"AllowDrag", "AllowResize", "CursorDrag", "CursorResize", "MinPixels", "Series"}}),
                    {},
                    ActiveKept});
    Rows.push_back({"TMarksTipTool",
                    JoinNames({ToolNames, {"MouseAction", "MouseDelay", "Series", "Style"}}),
                    {},
                    {}});
    Rows.push_back({"TNearestTool",
                    JoinNames({ToolNames,
                               {"Brush", "DrawLine", "FullRepaint", "LinePen", "Pen", "Series", "Size", "Style"}}),
                    {},
                    {}});
    Rows.push_back({"TPieTool", JoinNames({ElementNames, {"Pen", "Series", "Style"}}), {}, ActiveKept});
    Rows.push_back({"TSeriesAnimationTool",
                    JoinNames({ToolNames, {"DrawEvery", "Loop", "Series", "StartAtMin", "StartValue", "Steps"}}),
                    {},
                    {}});
    Rows.push_back({"TSeriesBandTool",
                    JoinNames({ElementNames,
                               {"Brush", "DrawBehindSeries", "Gradient", "Pen", "Series", "Series2", "Transparency"}}),
                    {},
                    ActiveKept});
    Rows.push_back({"TSurfaceNearestTool",
                    JoinNames({ElementNames, {"CellColor", "ColumnColor", "RowColor", "Series"}}),
                    {},
                    ActiveKept});
    Rows.push_back({"TGridTransposeTool", JoinNames({ElementNames, {"Series"}}), {}, ActiveKept});

    // Axis tools
    Rows.push_back({"TAxisArrowTool",
                    JoinNames({AxisToolNames,
                               {"Brush", "HeadWidth", "Length", "Pen", "Position", "ScrollInverted", "ScrollPercent",
                                "SizePercent"}}),
                    {},
                    {}});
    Rows.push_back({"TAxisScrollTool", JoinNames({AxisToolNames, {"ScrollInverted"}}), {}, {}});
    Rows.push_back({"TColorBandTool",
                    JoinNames({AxisToolNames,
                               {"Brush", "Color", "Cursor", "DrawBehind", "DrawBehindAxes", "EndLinePen",
                                "StartLinePen", "EndValue", "StartValue", "Gradient", "Pen", "ResizeEnd",
                                "ResizeStart", "Transparency"}}),
                    {},
                    {}});
    Rows.push_back({"TColorLineTool",
                    JoinNames({AxisToolNames,
                               {"AllowDrag", "DragRepaint", "Draw3D", "DrawBehind", "NoLimitDrag", "Pen", "Style",
                                "Value"}}),
                    {},
                    {}});
    Rows.push_back({"TGridBandTool", JoinNames({AxisToolNames, {"Band1", "Band2"}}), {}, {}});

    // Annotation tools
    Rows.push_back({"TAnnotationTool", AnnotationNames, {}, {}});
    Rows.push_back({"TRectangleTool", AnnotationNames, {}, {}});
    Rows.push_back({"TPageNumTool", JoinNames({AnnotationNames, {"Format"}}), {}, {}});

    // Chart-wide tools
    Rows.push_back({"TDataTableTool",
                    JoinNames({ToolNames,
                               {"AutoPosition", "Brush", "ClipText", "ColumnPen", "Font", "Inverted", "Left",
                                "Legend", "RowPen", "Top"}}),
                    {},
                    {}});
    Rows.push_back({"TLegendScrollBar",
                    JoinNames({ElementNames,
                               {"ArrowBrush", "AutoRepeat", "BackColor", "Bevel", "Brush", "DrawStyle", "Gradient",
                                "InitialDelay", "MinThumbSize", "Pen", "Size", "ThumbBrush"}}),
                    {},
                    ActiveKept});
    Rows.push_back({"TLightTool",
                    JoinNames({ElementNames, {"Factor", "FollowMouse", "Left", "Style", "Top"}}),
                    {},
                    ActiveKept});
    Rows.push_back({"TRotateTool", JoinNames({ToolNames, {"Button", "Inverted", "Pen", "Style"}}), {}, {}});
    Rows.push_back({"TSelectorTool",
                    JoinNames({ElementNames, {"AllowDrag", "AllowResizeChart", "Brush", "HandleSize", "Pen"}}),
                    {},
                    ActiveKept});

    // The tools' own parts
    // Callout of the annotation tools.
    Rows.push_back({"TAnnotationCallout",
                    JoinNames({PointerNames, CalloutNames, {"XPosition", "YPosition", "ZPosition"}}),
                    {},
                    {}});
    // Legend of the extra legend tool.
    Rows.push_back({"TExtraLegend",
                    LegendNames,
                    OldShadowNames,
                    {{"-ColorWidth", "ColorWidth is the symbol's Width under another name; the Symbol keeps it, so "
                                     "it is not written twice"}}});
    // Band1 and Band2 of the grid band tool.
    Rows.push_back({"TGridBandBrush",
                    JoinNames({ChartBrushNames, {"BackColor", "Gradient", "Transparency"}}),
                    {},
                    PatternKept});
    // The lines of the draw-line tool (each with its own pen once read).
    Rows.push_back({"TDrawLine", {"Pen", "Style", "X0", "X1", "Y0", "Y1"}, {}, {}});
    // Legend (header column) of the data table tool. Its border pen is
    // written as Pen; earlier files named it Frame, which is still read
    // through a published name that is never stored (a sub-object has no
    // reader-only definition), so it shows in neither list.
    Rows.push_back({"TTableLegend",
                    {"Brush", "Color", "Font", "FontSeriesColor", "Gradient", "OtherSide", "Pen", "Symbol",
                     "Transparency", "Visible"},
                    OldShadowNames,
                    {{"+Bevel", FramedBoxReason},
                     {"+BevelWidth", FramedBoxReason},
                     {"+Shadow", FramedBoxReason},
                     {"+ShapeStyle", FramedBoxReason},
                     {"+Transparent", FramedBoxReason}}});
}

} // namespace lp::test
