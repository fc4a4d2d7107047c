#pragma once
// The program-wide registries of series, function and tool types, the named
// colour palettes, and the chart-level routines that create, clone and
// replace series through them.
//
//   PlotSeriesTypes() ─owns─> TPlotSeriesType ×N   created by the first
//                                                  registration, freed by
//                                                  FinalizePlotRegistry
//   PlotToolTypes()   observes tool classes         created by
//   ColorPalettes()   the ten palette names          InitializePlotRegistry
//
// Units fill the registries through explicit calls made by the engine's
// start-up routine (InitializePlotEngine), one call per type, e.g.
//   RegisterPlotSeries<TFastLineSeries>(&PlotMsg_GalleryFastLine, &PlotMsg_GalleryStandard, 2);
// Every registered class is also registered for streaming by name, which is
// how CreateNewSeries and CreateNewPlotFunction create instances and how a
// chart file reads them; unregistering a type takes that registration back
// (a class its unit registered for streaming itself stays registered).
//
// Descriptions and page names are held by reference to the message-text
// variables and read each time, so a translation loaded later takes effect.

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotEngine.h"
#include "platform/core/ClassRegistry.h"

#include <initializer_list>
#include <memory>
#include <vector>

namespace lp {

class TCanvas;
class TCustomChart;
class TPlotFunction;

using TPlotFunctionClass = const QMetaObject*;
using TPlotToolClass = const QMetaObject*;

// A class with the factory that creates it (for the streaming registry).
struct TPlotClassRef {
    const QMetaObject* Meta = nullptr;
    TClassFactory Factory;
};

template <class T>
TPlotClassRef PlotClass()
{
    return {&T::staticMetaObject, [](TComponent* Owner) -> TPersistent* { return new T(Owner); }};
}

// --- Series and function types -------------------------------------------------------------------

// One registration: a series class, a function class or both.
class TPlotSeriesType {
public:
    TChartSeriesClass SeriesClass = nullptr;     // nullptr for a pure function registration
    TPlotFunctionClass FunctionClass = nullptr;  // nullptr for a plain series
    const QString* Description = nullptr;        // observed message-text variable
    const QString* GalleryPage = nullptr;        // observed message-text variable
    int NumGallerySeries = 1;

    // The texts as they read now (empty when no variable was given).
    QString DescriptionText() const { return Description ? *Description : QString(); }
    QString GalleryPageText() const { return GalleryPage ? *GalleryPage : QString(); }
};

// The registrations in the order they were made; owns its entries.
class TPlotSeriesTypes {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // ERangeError outside 0 .. Count - 1.
    TPlotSeriesType* Items(int Index) const;
    TPlotSeriesType* operator[](int Index) const { return Items(Index); }
    // The first entry with that series class and no function class.
    TPlotSeriesType* Find(TChartSeriesClass SeriesClass) const;

    // The registries' own bookkeeping.
    void Append(std::unique_ptr<TPlotSeriesType> Entry) { FItems.push_back(std::move(Entry)); }
    // Removes and frees the entries matching the class.
    void RemoveClass(bool IsSeries, const QMetaObject* Class);

private:
    std::vector<std::unique_ptr<TPlotSeriesType>> FItems;
};

// nullptr before the first registration and after FinalizePlotRegistry.
TPlotSeriesTypes* PlotSeriesTypes();

// The common registration: registers each non-null class for streaming;
// nothing more when an entry with the same series and function class
// exists; else appends an entry.
void RegisterPlotSeriesType(const TPlotClassRef& SeriesClass, const TPlotClassRef& FunctionClass,
                            const QString* Description, const QString* GalleryPage, int NumGallerySeries);
void RegisterPlotSeries(const TPlotClassRef& SeriesClass, const QString* Description, const QString* GalleryPage,
                        int NumGallerySeries);
void RegisterPlotFunction(const TPlotClassRef& FunctionClass, const QString* Description,
                          const QString* GalleryPage, int NumGallerySeries);

template <class TSeries>
void RegisterPlotSeries(const QString* Description, const QString* GalleryPage, int NumGallerySeries)
{
    RegisterPlotSeries(PlotClass<TSeries>(), Description, GalleryPage, NumGallerySeries);
}
// On the standard gallery page with two gallery series.
template <class TSeries>
void RegisterPlotStandardSeries(const QString* Description)
{
    RegisterPlotSeries(PlotClass<TSeries>(), Description, &PlotMsg_GalleryStandard, 2);
}
template <class TFunction>
void RegisterPlotFunction(const QString* Description, const QString* GalleryPage, int NumGallerySeries)
{
    RegisterPlotFunction(PlotClass<TFunction>(), Description, GalleryPage, NumGallerySeries);
}
// On the standard gallery page with two gallery series.
template <class TFunction>
void RegisterPlotBasicFunction(const QString* Description)
{
    RegisterPlotFunction(PlotClass<TFunction>(), Description, &PlotMsg_GalleryStandard, 2);
}

// Remove and free every entry of the classes (nothing without a list) and
// unregister them for streaming.
void UnRegisterPlotSeries(std::initializer_list<TChartSeriesClass> SeriesClasses);
void UnRegisterPlotFunctions(std::initializer_list<TPlotFunctionClass> FunctionClasses);

// The Description of the plain registration of Series' class; its class
// name when there is none.
QString GetGallerySeriesName(const TChartSeries* Series);

// --- Tool types ----------------------------------------------------------------------------------

// The registered tool classes in order; observes them.
class TPlotToolTypes {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // ERangeError outside 0 .. Count - 1.
    TPlotToolClass Items(int Index) const;
    TPlotToolClass operator[](int Index) const { return Items(Index); }
    int IndexOf(TPlotToolClass Class) const;

    void Append(TPlotToolClass Class) { FItems.push_back(Class); }
    void Remove(TPlotToolClass Class);

private:
    std::vector<TPlotToolClass> FItems;
};

// nullptr before InitializePlotRegistry and after FinalizePlotRegistry.
TPlotToolTypes* PlotToolTypes();
// Each class not yet listed is registered for streaming and appended (the
// list is created when missing).
void RegisterPlotTools(std::initializer_list<TPlotClassRef> ToolClasses);
// Each listed class is removed and unregistered for streaming.
void UnRegisterPlotTools(std::initializer_list<TPlotToolClass> ToolClasses);

// --- Palettes ------------------------------------------------------------------------------------

// The ten palette names in index order ("VudEvevu" .. "Win. XP"); empty
// before InitializePlotRegistry.
const QStringList& ColorPalettes();
// The colours of palette Index (1 .. 9); empty for 0 (the default palette)
// and for any other index.
std::vector<TColor> ColorPaletteColors(int Index);
// Palette Index becomes the chart's own palette (0 and unknown indexes clear
// it), ColorPaletteIndex takes Index and the chart repaints.
void ApplyChartPalette(TCustomChart& Chart, int Index);
// The chart's own palette becomes a copy of Colors (empty: the default
// palette again) and its series with automatic colours are coloured anew.
void SetChartPalette(TCustomAxisPanel& Chart, const std::vector<TColor>& Colors);

// --- Creating, cloning and replacing series --------------------------------------------------------

// A new series of SeriesClass (registered for streaming; EClassNotFound
// otherwise) named "SeriesN" (the smallest free N) in its owner: AOwner,
// or the chart when AOwner is nullptr or the chart already owns one of its
// series. Without owner and chart the caller owns the result. It joins
// Chart (when given) and gets a new function of FunctionClass (when given).
TChartSeries* CreateNewSeries(TComponent* AOwner, TCustomAxisPanel* Chart, TChartSeriesClass SeriesClass,
                              TPlotFunctionClass FunctionClass = nullptr);
// A new function of FunctionClass owned by Series' owner, named
// "PlotFunctionN", made Series' function.
TPlotFunction* CreateNewPlotFunction(TChartSeries* Series, TPlotFunctionClass FunctionClass);
// A new series of Series' class and function class, owned as
// CreateNewSeries decides, on Chart, with Series' settings and data.
TChartSeries* CloneChartSeries(TChartSeries* Series);
TChartSeries* CloneChartSeries(TChartSeries* Series, TCustomAxisPanel* Chart);
TChartSeries* CloneChartSeries(TChartSeries* Series, TComponent* AOwner, TCustomAxisPanel* Chart);
// A data-source link a replacement of a series did not keep, because the
// chart's source test refuses it: the series named Series no longer takes
// its data from the component named Source (series by their titles or,
// without one, their names, as the editors list them).
struct TDroppedSourceLink {
    QString Series;
    QString Source;
};
using TDroppedSourceLinks = std::vector<TDroppedSourceLink>;

// NewSeries takes OldSeries' settings, data, events, data sources,
// dependents (in OldSeries' place among their sources), series tools, list
// position, place in each series group and name, and is calculated; OldSeries is freed and set to
// NewSeries. Nothing when both are the same.
// All or nothing: when a step fails (Assign, a fill, the calculation of
// NewSeries or of a dependent), everything is put back as it was, NewSeries
// is freed and set to nullptr, and the error is raised again; OldSeries
// keeps its place, name, function, sources, dependents and tools, and the
// chart saves as it did before.
// Every link moved over must pass the chart's source test
// (TCustomAxisPanel::IsValidDataSource, as a chart file's reader asks it):
// a source series NewSeries refuses is not kept, nor is NewSeries kept as
// the source of a dependent that refuses it. Such a series keeps the points
// it holds (NewSeries OldSeries' points), and they are its own data once no
// source is left. The links dropped are returned, for the caller to tell.
TDroppedSourceLinks ReplaceSeries(TChartSeries*& OldSeries, TChartSeries*& NewSeries);
// Replaces Series by a new series of NewClass (keeping data and
// appearance) through ReplaceSeries, whose dropped links it returns;
// Series is set to the new one. Nothing when Series already is of that
// class. A failure raises its error with Series as it was.
TDroppedSourceLinks ChangeSeriesType(TChartSeries*& Series, TChartSeriesClass NewClass);
// Draws Series' legend symbol into Rect of Canvas (for the editors' series
// lists). A series without chart is attached for the moment to Chart or,
// when that is nullptr, to a temporary chart.
void PaintSeriesLegend(TChartSeries* Series, TCanvas* Canvas, const TRect& Rect, TCustomChart* Chart = nullptr);

// --- Start-up ------------------------------------------------------------------------------------

// Creates the tool list and the palette names; FinalizePlotRegistry frees
// them and the series-type list with its entries. Called by the engine's
// start-up routine.
void InitializePlotRegistry();
void FinalizePlotRegistry();

} // namespace lp
