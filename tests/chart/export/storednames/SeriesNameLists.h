#pragma once
// Names and deviations the rows of every series kind share: what a series
// publishes from the series base, its value lists, the point, palette and
// price series' own names, and the settings every kind stores beyond its
// design.

#include "../StoredNamesTable.h"

namespace lp::test {

// What every series publishes from the series base: its switches, title,
// axes, formats, marks and source bindings, and the element's editor flag.
// The colour source is listed apart: the fast line series leaves it out.
inline const std::vector<const char*> SeriesBaseNames{"Active", "Cursor", "DataSource", "Depth", "HorizAxis",
                                                      "Marks", "PercentFormat", "SeriesColor", "ShowInEditor",
                                                      "ShowInLegend", "Title", "ValueFormat", "VertAxis",
                                                      "XLabelsSource"};
inline const std::vector<const char*> ColorSourceName{"ColorSource"};
inline const std::vector<const char*> XYValueNames{"XValues", "YValues"};

// The series base with its colour source and its stored extras (identifier,
// editor flags, sources, custom axes, points).
inline const std::vector<const char*> SeriesNames =
    JoinNames({SeriesBaseNames, ColorSourceName, SeriesDefinedNames});

// The point series' own names, shared by the point series kinds below it.
inline const std::vector<const char*> PointNames{"ClickableLine", "ColorEachPoint", "Pointer", "Stacked",
                                                 "Transparency"};

// The Z values and the colour range and palette of the 3-D palette series.
inline const std::vector<const char*> ZValueNames{"TimesZOrder", "ZValues"};
inline const std::vector<const char*> PaletteNames{"EndColor", "LegendEvery", "MidColor", "PaletteMin",
                                                   "PaletteStep", "PaletteSteps", "PaletteStyle", "StartColor",
                                                   "UseColorRange", "UsePalette", "UsePaletteMin"};

// The price series' five lists, named after what they hold.
inline const std::vector<const char*> PriceNames{"CloseValues", "DateValues", "HighValues", "LowValues",
                                                 "OpenValues"};

inline const std::vector<TStoredNameDeviation> ZOrderStored{
    {"+ZOrder", "a program can pin a series to a depth slot of its own; the pinned slot must come back when "
                "the chart is reopened"}};

inline const std::vector<TStoredNameDeviation> ColorEachPointStored{
    {"+ColorEachPoint", "every series kind can colour its points one by one, and its settings text keeps the "
                        "switch for every kind; a saved chart must keep it as well"}};

inline const std::vector<TStoredNameDeviation> ColorSourceStored{
    {"+ColorSource", "a program binds a data source's colour field for any series kind; the reopened chart must "
                     "refill with the same colours"}};

} // namespace lp::test
