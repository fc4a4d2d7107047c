#include "SeriesNameLists.h"

namespace lp::test {

namespace {

// --- Names shared by many rows ----------------------------------------------------------------

// The short set of series settings that the funnel, pyramid and volume pipe
// publish with their own (no depth, colour source or marks among them).
const std::vector<const char*> UsualSeriesNames{"Active",        "Cursor",      "DataSource",  "HorizAxis",
                                                "PercentFormat", "SeriesColor", "ShowInEditor", "ShowInLegend",
                                                "Title",         "ValueFormat", "VertAxis",    "XLabelsSource"};

// The series settings the 3-D point and triangulated surface series publish
// (their depth comes from the Z values, not from a depth of their own).
const std::vector<const char*> Series3DBaseNames{"Active",        "ColorSource", "Cursor",       "DataSource",
                                                 "HorizAxis",     "Marks",       "PercentFormat", "SeriesColor",
                                                 "ShowInEditor",  "ShowInLegend", "Title",       "ValueFormat",
                                                 "VertAxis",      "XLabelsSource"};

// The element's editor flag, for rows that list their series settings
// one by one.
const std::vector<const char*> ElementNames{"ShowInEditor"};

// What every circular series publishes from the circled base.
const std::vector<const char*> CircledNames{"Circled", "CustomXRadius", "CustomYRadius"};

// What every bar series publishes besides the series base.
const std::vector<const char*> BarNames{
    "AutoBarSize", "AutoMarkPosition", "BarBrush",     "BarPen",         "BarStyle",   "BarWidthPercent",
    "BevelSize",   "ColorEachPoint",   "CustomBarWidth", "Dark3D",       "DepthPercent", "Gradient",
    "MultiBar",    "OffsetPercent",    "SideMargins",  "StackGroup",     "TickLines",  "UseYOrigin",
    "YOrigin"};

// The pie's slices, circle and "other" slice.
const std::vector<const char*> PieNames{"AngleSize",    "AutoMarkPosition", "CircleBackColor", "ColorEachPoint",
                                        "Dark3D",       "DarkPen",          "ExplodeBiggest",  "Gradient",
                                        "MultiPie",     "OtherSlice",       "PiePen",          "PieValues",
                                        "RotationAngle", "Shadow",          "UsePatterns"};

const std::vector<const char*> CandleNames{"CandleStyle",     "CandleWidth",       "ColorStyle", "Dark3D",
                                           "DownCloseColor",  "DownCloseGradient", "Draw3D",     "HighLowPen",
                                           "Pen",             "ShowCloseTick",     "ShowOpenTick", "UpCloseColor",
                                           "UpCloseGradient"};

// The polar family: what the polar, radar and wind rose series all publish.
const std::vector<const char*> PolarCommonNames{"Active",         "Brush",            "CircleBackColor",
                                                "CircleGradient", "CircleLabels",     "CircleLabelsFont",
                                                "CircleLabelsRotated", "CirclePen",   "CloseCircle",
                                                "ColorEachPoint", "HorizAxis",        "Pen",
                                                "Pointer",        "RadiusIncrement",  "RadiusValues",
                                                "SeriesColor",    "VertAxis"};

// The box plot's statistics settings and outlier symbols.
const std::vector<const char*> BoxNames{"ExtrOut",       "MedianPen",     "MildOut",   "Position",
                                        "SampleValues",  "UseCustomValues", "WhiskerLength", "WhiskerPen"};

// The calendar cell's framed shape.
const std::vector<const char*> CalendarCellNames{"Bevel",  "BevelWidth", "Brush",        "Color",
                                                 "Font",   "Gradient",   "Pen",          "Shadow",
                                                 "ShapeStyle", "Transparency", "Transparent", "Visible"};
const std::vector<const char*> ShapeEarlierNames{"ShadowColor", "ShadowSize"};

// --- Deviations shared by many rows -----------------------------------------------------------

const std::vector<TStoredNameDeviation> DepthKept{
    {"+Depth", "the depth every series base keeps; these kinds take their depth from their values and "
               "ignore it, but a file that holds one keeps it"}};

const std::vector<TStoredNameDeviation> XLabelsSourceStored{
    {"+XLabelsSource", "a program binds a data source's label field for any series kind; the reopened chart must "
                       "refill with the same labels"}};

const std::vector<TStoredNameDeviation> DataSourceStored{
    {"+DataSource", "the series page's Data Source tab sets the series that feed this one for every series kind; "
                    "the link must come back"}};

const std::vector<TStoredNameDeviation> MarksStored{
    {"+Marks", "the series page's Marks tab sets the marks of every series kind; what it sets must come back"}};

const std::vector<TStoredNameDeviation> TitleStored{
    {"+Title", "the series list renames every series kind through its title; the new title must come back"}};

const std::vector<TStoredNameDeviation> ShowInLegendStored{
    {"+ShowInLegend", "the General tab's Show In Legend box is there for every series kind; what it sets must "
                      "come back"}};

const std::vector<TStoredNameDeviation> CursorStored{
    {"+Cursor", "the General tab's Cursor box is there for every series kind; what it sets must come back"}};

const std::vector<TStoredNameDeviation> DepthStored{
    {"+Depth", "the General tab's Depth box is there for every series kind with fewer than three value lists; "
               "what it sets must come back"}};

const std::vector<TStoredNameDeviation> FormatsStored{
    {"+ValueFormat", "the General tab's Values format box is there for every series kind; what it sets must come "
                     "back"},
    {"+PercentFormat", "the General tab's Percents format box is there for every series kind; what it sets must "
                       "come back"}};

// The clock, Smith and gauge series: the series page hides the axis boxes
// for them, but each draws against the axes it names.
const std::vector<TStoredNameDeviation> ClockAxesStored{
    {"+HorizAxis", "hidden on the clock's series page, but the clock's polar base draws the face against the "
                   "axes the series names; a program that names other axes must get them back"},
    {"+VertAxis", "hidden on the clock's series page, but the clock's polar base draws the rings of the face "
                  "from the vertical axis it names; a program that names another must get it back"}};
const std::vector<TStoredNameDeviation> SmithAxesStored{
    {"+HorizAxis", "hidden on the Smith series page, but the reactance circles take their pen, labels and label "
                   "font from the horizontal axis it names; a program that names another must get it back"},
    {"+VertAxis", "hidden on the Smith series page, but the resistance circles take their pen, labels and label "
                  "font from the vertical axis it names; a program that names another must get it back"}};
const std::vector<TStoredNameDeviation> GaugeAxesStored{
    {"+HorizAxis", "hidden on the gauge's series page and unused by its drawing; the series base stores it for "
                   "every kind, so a file that holds one keeps it"},
    {"+VertAxis", "hidden on the gauge's series page, but the gauge takes its scale, ticks, increment and labels "
                  "from the vertical axis it names; a program that names another must get it back"}};

// The funnel keeps the depth of the series base though it is drawn flat.
const std::vector<TStoredNameDeviation> FlatDepthKept{
    {"+Depth", "the depth every series base keeps; the funnel is drawn flat and ignores it, but a file that holds "
               "one keeps it"}};

const std::vector<TStoredNameDeviation> SeriesColorStored{
    {"+SeriesColor", "the colour box above the series page's tabs sets the colour of every series kind that has "
                     "one; what it sets must come back"}};

// What the series page and the series list set for every kind, stored by
// the circular series whose own list leaves it out.
const std::vector<TStoredNameDeviation> CircularSeriesStored =
    JoinDeviations({TitleStored, CursorStored, DepthStored, FormatsStored, DataSourceStored, ColorSourceStored,
                    XLabelsSourceStored, MarksStored, ZOrderStored});

// The polar series' angle and radius steps live on the series' axes.
const std::vector<TStoredNameDeviation> AngleIncrementOnAxis{
    {"-AngleIncrement", "the angle step is the Increment of the series' horizontal axis, which the chart stores "
                        "with its axes"}};
const std::vector<TStoredNameDeviation> RadiusIncrementOnAxis{
    {"-RadiusIncrement", "the radius step is the Increment of the series' vertical axis, which the chart stores "
                         "with its axes"}};

// The price series' X and Y lists are the date and close lists.
const std::vector<TStoredNameDeviation> PriceListsNamed{
    {"-XValues", "the X list is the date list, stored once as DateValues"},
    {"-YValues", "the Y list is the close list, stored once as CloseValues"}};

const char* const SmithAxisReason = "kept by the series' axes (the grid pen, labels switch and labels font of the "
                                    "horizontal or vertical axis), which the chart stores with its axes";

} // namespace

void AddExtendedSeriesNames(std::vector<TStoredNamesRow>& Rows)
{
    // Polar, radar and polar bar series
    const std::vector<const char*> PolarNames =
        JoinNames({SeriesDefinedNames, ElementNames, CircledNames, PolarCommonNames,
                   {"AngleIncrement", "AngleValues", "CircleLabelsInside", "ClockWiseLabels", "LabelsMargin",
                    "RotationAngle", "Transparency"}});
    const std::vector<TStoredNameDeviation> PolarStored = JoinDeviations(
        {CircularSeriesStored, ShowInLegendStored, AngleIncrementOnAxis, RadiusIncrementOnAxis});
    Rows.push_back({"TPolarSeries", PolarNames, {}, PolarStored});
    Rows.push_back({"TPolarBarSeries", PolarNames, {}, PolarStored});
    Rows.push_back(
        {"TRadarSeries",
         JoinNames({SeriesDefinedNames, ElementNames, CircledNames, PolarCommonNames, {"LabelsMargin", "Transparency"}}),
         {},
         JoinDeviations({CircularSeriesStored, ShowInLegendStored, RadiusIncrementOnAxis,
                         {{"+XValues", "the General tab's Sort sets the order of the X list, which the spokes "
                                       "follow, and a data source's X field fills it; what they set must come "
                                       "back"},
                          {"+ClockWiseLabels", "the polar page's ClockWise box is shown for a radar too, and the "
                                               "radar numbers its spokes the other way round with it; what it sets "
                                               "must come back"},
                          {"+CircleLabelsInside", "the polar page's Inside box is shown for a radar too, and the "
                                                  "radar's spoke labels move inside the circle with it; what it "
                                                  "sets must come back"}}})});

    // Wind rose and clock series
    Rows.push_back(
        {"TWindRoseSeries",
         JoinNames({SeriesDefinedNames, ElementNames, CircledNames, PolarCommonNames,
                    {"AngleIncrement", "AngleValues", "CircleLabelsInside", "MirrorLabels", "RotationAngle"}}),
         {},
         JoinDeviations({CircularSeriesStored, ShowInLegendStored, AngleIncrementOnAxis, RadiusIncrementOnAxis,
                         {{"+LabelsMargin", "the wind rose page keeps the polar page's Margin box, and the compass "
                                            "labels are placed with it; what it sets must come back"},
                          {"+Transparency", "the wind rose page keeps the polar page's Transparency box, and the "
                                            "filled sectors are blended with it; what it sets must come back"}}})});
    // (The clock's Style is its numerals; the series' editor flags are stored
    // under the same name.)
    Rows.push_back(
        {"TClockSeries",
         JoinNames({SeriesDefinedNames, ElementNames, CircledNames,
                    {"Active", "Brush", "CircleBackColor", "CircleGradient", "CircleLabels", "CircleLabelsFont",
                     "CircleLabelsInside", "CircleLabelsRotated", "CirclePen", "PenHours", "PenMinutes", "PenSeconds",
                     "RotationAngle", "ShowInLegend", "Style", "Transparency"}}),
         {},
         JoinDeviations({CircularSeriesStored, ClockAxesStored, ColorEachPointStored,
                         {{"+SeriesColor", "the clock page's Color button sets it and the clock face is filled "
                                           "in it; what it sets must come back"},
                          {"+LabelsMargin", "the clock page keeps the polar page's Margin box, and the numerals "
                                            "are placed with it; what it sets must come back"},
                          {"+Pointer", "the clock page has the Point tab, and a shown pointer marks the second "
                                       "hand's tip; what it sets must come back"}}})});

    // Smith chart series
    Rows.push_back(
        {"TSmithSeries",
         JoinNames({SeriesDefinedNames, ElementNames, CircledNames,
                    {"Active", "CCirclePen", "CircleBackColor", "CircleGradient", "CirclePen", "CLabels", "CLabelsFont",
                     "ColorEachPoint", "ImagSymbol", "Pen", "Pointer", "RCirclePen", "ReactanceValues",
                     "ResistanceValues", "RLabels", "RLabelsFont"}}),
         {},
         JoinDeviations({CircularSeriesStored, ShowInLegendStored, SmithAxesStored, SeriesColorStored,
                         {{"-CCirclePen", SmithAxisReason},
                          {"-CLabels", SmithAxisReason},
                          {"-CLabelsFont", SmithAxisReason},
                          {"-RCirclePen", SmithAxisReason},
                          {"-RLabels", SmithAxisReason},
                          {"-RLabelsFont", SmithAxisReason}}})});

    // Gauge series
    Rows.push_back(
        {"TGaugeSeries",
         JoinNames({SeriesDefinedNames, ElementNames, CircledNames,
                    {"Center", "CircleGradient", "EndPoint", "FullRepaint", "HandDistance", "HandStyle", "LabelsInside",
                     "Maximum", "Minimum", "MinorTickDistance", "Pen", "RotationAngle", "ShowInLegend", "TotalAngle",
                     "Value"}}),
         {},
         JoinDeviations({CircularSeriesStored, GaugeAxesStored, SeriesColorStored, ColorEachPointStored,
                         {{"+Active", "the series list's check box switches every series kind on and off; what it "
                                      "sets must come back"}}})});

    // Triangulated surface series
    Rows.push_back({"TTriSurfaceSeries",
                    JoinNames({Series3DBaseNames, SeriesDefinedNames, XYValueNames, ZValueNames, PaletteNames,
                               {"Border", "Brush", "FastBrush", "HideTriangles", "Pen", "Transparency"}}),
                    {},
                    JoinDeviations({ZOrderStored, ColorEachPointStored, DepthKept})});

    // 3-D point and 3-D bubble series
    const std::vector<const char*> Point3DNames =
        JoinNames({Series3DBaseNames, SeriesDefinedNames, XYValueNames, ZValueNames,
                   {"BaseLine", "ColorEachPoint", "DepthSize", "LinePen", "Pointer"}});
    Rows.push_back({"TPoint3DSeries", Point3DNames, {}, JoinDeviations({ZOrderStored, DepthKept})});
    Rows.push_back({"TBubble3DSeries", JoinNames({Point3DNames, {"RadiusValues"}}), {},
                    JoinDeviations({ZOrderStored, DepthKept})});

    // 3-D bar and donut series
    Rows.push_back({"TBar3DSeries", JoinNames({SeriesNames, XYValueNames, BarNames, {"OffsetValues"}}), {},
                    ZOrderStored});
    Rows.push_back({"TDonutSeries", JoinNames({SeriesNames, CircledNames, PieNames, {"DonutPercent"}}), {},
                    JoinDeviations({ZOrderStored,
                                    {{"+XValues", "the General tab's Sort sets the order of the X list, which the "
                                                  "slices follow, and a data source's X field fills it; what they "
                                                  "set must come back"}}})});

    // Box plot series (the samples are the Y list of a vertical box and the
    // X list of a horizontal one)
    Rows.push_back({"TBoxSeries", JoinNames({SeriesNames, XYValueNames, PointNames, BoxNames}), {},
                    JoinDeviations({ZOrderStored,
                                    {{"-YValues", "the Y list is the samples list, stored once as SampleValues"}}})});
    Rows.push_back({"THorizBoxSeries", JoinNames({SeriesNames, XYValueNames, PointNames, BoxNames}), {},
                    JoinDeviations({ZOrderStored,
                                    {{"-XValues", "the X list is the samples list, stored once as SampleValues"}}})});

    // Point and figure series (a price series: its five lists come from the
    // price base)
    Rows.push_back({"TPointFigureSeries",
                    JoinNames({SeriesBaseNames, SeriesDefinedNames, XYValueNames, PriceNames,
                               {"BoxSize", "Brush", "DownSymbol", "Pen", "ReversalAmount", "UpSymbol"}}),
                    {},
                    JoinDeviations({PriceListsNamed, ZOrderStored, ColorEachPointStored, ColorSourceStored})});

    // Calendar series and its cells
    Rows.push_back({"TCalendarSeries",
                    JoinNames({SeriesDefinedNames, ElementNames,
                               {"Active", "Cursor", "Date", "Days", "HorizAxis", "Months", "NextButtonVisible", "Pen",
                                "PreviousButtonVisible", "ShowInLegend", "Sunday", "Title", "Today", "Trailing",
                                "VertAxis", "WeekDays"}}),
                    {},
                    JoinDeviations({DepthStored, FormatsStored, SeriesColorStored, DataSourceStored, ColorSourceStored,
                                    XLabelsSourceStored, MarksStored, ZOrderStored, ColorEachPointStored})});
    Rows.push_back({"TCalendarCell", CalendarCellNames, ShapeEarlierNames, {}});
    Rows.push_back({"TCalendarCellUpper", JoinNames({CalendarCellNames, {"Format", "UpperCase"}}), ShapeEarlierNames, {}});

    // Funnel, pyramid and volume pipe series
    Rows.push_back({"TFunnelSeries",
                    JoinNames({UsualSeriesNames, SeriesDefinedNames,
                               {"AboveColor", "AutoUpdate", "BelowColor", "Brush", "DifferenceLimit", "LinesPen",
                                "OpportunityValues", "Pen", "QuoteValues", "QuotesSorted", "WithinColor"}}),
                    {},
                    JoinDeviations({MarksStored, ZOrderStored, ColorEachPointStored, ColorSourceStored, FlatDepthKept})});
    Rows.push_back({"TPyramidSeries",
                    JoinNames({UsualSeriesNames, SeriesDefinedNames, XYValueNames,
                               {"Brush", "ColorEachPoint", "ColorSource", "Depth", "Marks", "Pen", "SizePercent"}}),
                    {},
                    ZOrderStored});
    Rows.push_back({"TVolumePipeSeries",
                    JoinNames({UsualSeriesNames, SeriesDefinedNames,
                               {"Brush", "Color", "ColorEachPoint", "ColorSource", "ConePercent", "Depth", "Gradient",
                                "LinesPen", "Marks", "Pen"}}),
                    {},
                    JoinDeviations({ZOrderStored,
                                    {{"-Color", "the series colour, stored once as SeriesColor as for every series "
                                                "kind"},
                                     {"+XValues", "the General tab's Sort sets the order of the X list, which the "
                                                  "sections follow, and a source's dates make it a date-time list; "
                                                  "what they set must come back"},
                                     {"+YValues", "the function page's Values box chooses the source list the Y "
                                                  "values come from, and a source's dates make it a date-time "
                                                  "list; what they set must come back"}}})});

    // Bezier series
    Rows.push_back({"TBezierSeries",
                    JoinNames({SeriesDefinedNames, ElementNames, XYValueNames,
                               {"Active", "BezierStyle", "ColorEachPoint", "ColorSource", "Cursor", "DataSource",
                                "HorizAxis", "LinePen", "Marks", "NumBezierPoints", "PercentFormat", "Pointer",
                                "SeriesColor", "ShowInLegend", "Title", "ValueFormat", "VertAxis", "XLabelsSource"}}),
                    {},
                    JoinDeviations({ZOrderStored, DepthStored})});

    // Image bar, image point and delta point series
    Rows.push_back({"TImageBarSeries", JoinNames({SeriesNames, XYValueNames, BarNames, {"Image", "ImageTiled"}}), {},
                    ZOrderStored});
    Rows.push_back({"TImagePointSeries",
                    JoinNames({SeriesNames, XYValueNames, PointNames, {"ImagePoint", "ImageTransparent"}}), {},
                    ZOrderStored});
    Rows.push_back({"TDeltaPointSeries",
                    JoinNames({SeriesNames, XYValueNames, PointNames,
                               {"EqualImage", "GreaterImage", "ImageStyle", "ImageTransparent", "LowerImage"}}),
                    {},
                    ZOrderStored});

    // Big candle series (the candle's lists are named after the prices)
    Rows.push_back({"TBigCandleSeries", JoinNames({SeriesNames, PriceNames, CandleNames, {"HorizGap", "VertGap"}}),
                    {}, JoinDeviations({ZOrderStored, ColorEachPointStored})});

    // Line point and bar join series
    Rows.push_back({"TMyPointSeries", JoinNames({SeriesNames, XYValueNames, PointNames, {"LinesPen"}}), {},
                    ZOrderStored});
    Rows.push_back({"TBarJoinSeries", JoinNames({SeriesNames, XYValueNames, BarNames, {"JoinPen"}}), {},
                    ZOrderStored});
}

} // namespace lp::test
