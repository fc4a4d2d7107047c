#include "chart/engine/PlotRegistry.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotSeriesLists.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotTools.h"

#include <algorithm>
#include <array>
#include <functional>
#include <set>
#include <utility>

namespace lp {

namespace {

std::unique_ptr<TPlotSeriesTypes> SeriesTypes;
std::unique_ptr<TPlotToolTypes> ToolTypes;
QStringList PaletteNames;
// The classes the registries registered for streaming; a class its unit
// registered before stays the unit's to unregister.
std::set<const QMetaObject*> StreamedClasses;

void RegisterForStreaming(const TPlotClassRef& Class)
{
    if (!Class.Meta || !Class.Factory)
        return;
    const bool Known = GetClass(TPersistent::ClassNameOf(*Class.Meta)) != nullptr;
    RegisterClassFactory(*Class.Meta, Class.Factory);
    if (!Known)
        StreamedClasses.insert(Class.Meta);
}

void UnRegisterForStreaming(const QMetaObject* Class)
{
    if (Class && StreamedClasses.erase(Class) > 0)
        UnRegisterClass(TPersistent::ClassNameOf(*Class));
}

void UnRegisterType(bool IsSeries, const QMetaObject* Class)
{
    if (SeriesTypes && Class)
        SeriesTypes->RemoveClass(IsSeries, Class);
    UnRegisterForStreaming(Class);
}

// The named palettes' colours (0x00BBGGRR), index 1 .. 9.
const std::array<std::vector<TColor>, 10>& PaletteTable()
{
    static const std::array<std::vector<TColor>, 10> Table{{
        {},
        {0xFF9999, 0x663399, 0xCCFFFF, 0xFFFFCC, 0x660066, 0x8080FF, 0xCC6600, 0xFFCCCC, 0x800000, 0xFF00FF, 0x00FFFF,
         0xFFFF00, 0x800080, 0x000080, 0x808000, 0xFF0000, 0xFFCC00, 0xFFFFCC, 0xCCFFCC, 0x00FFFF, 0xFFCC99, 0xCC99FF},
        {0xA1A55D, 0x3153C4, 0x0996E7, 0x4AE8F6, 0xA7A2B1, 0x84A7C9, 0x51798C, 0xB7CDD8, 0x536508, 0x7BD8F7, 0x846401},
        {0xFFFFCC, 0xCCFFFF, 0xFFCCCC, 0xCCCC00, 0xCCCCCC, 0x999900, 0x999999, 0xCCCCFF, 0x66CCFF, 0xFFCCCC, 0x9999FF,
         0x99FFFF, 0xFFCC99, 0xCCFFCC},
        {0xFF0000, 0x0000FF, 0x00FF00, 0x00CCFF, 0x404040, 0x00FFFF, 0xC000FF, 0xFFFFFF},
        {0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
         0x008080},
        {0x00A5FF, 0xCE0000, 0x00CE00, 0x40FFFF, 0xFFFF40, 0xFF40FF, 0x0040FF, 0xA58080, 0x408080},
        {0x6699FF, 0x6666FF, 0xFFCC99, 0x669966, 0x99CCCC, 0xCC6699, 0x6666CC, 0x99CCFF, 0xFF6699, 0xCCCCCC, 0xCCFF66,
         0xFF9966, 0x996699, 0xFFCCCC},
        {0x000099, 0x0000C3, 0x0000EE, 0x001AFF, 0x0046FF, 0x0073FF, 0x009FFF, 0x00CBFF, 0x00F7FF,
         0x08F4E3, 0x11E7C3, 0x1BDAA3, 0x25CD83, 0x2EC063, 0x38B342, 0x42A622, 0x4B9A02, 0x6A870C,
         0x8A751A, 0xAA6328, 0xCB5036, 0xEB3E44, 0xFF2A61, 0xFF1596, 0xFF00CC},
        {0xFE9B82, 0x24D1FC, 0x0DBC7C, 0x2F85FD, 0xFCFEFD, 0x214EE2, 0xD63829, 0x0094B7, 0x00865A, 0x0046D2, 0xFAE5D3,
         0xD8D8D8, 0x7B715F},
    }};
    return Table;
}

// Creates a registered component of Class owned by AOwner (the caller owns
// it when AOwner is nullptr).
TComponent* CreateOwnedComponent(const QMetaObject& Class, TComponent* AOwner)
{
    const QString Name = TPersistent::ClassNameOf(Class);
    if (AOwner)
        return CreateComponent(Name, AOwner);
    std::unique_ptr<TPersistent> Object = CreateObject(Name);
    auto* Component = qobject_cast<TComponent*>(Object.get());
    if (!Component)
        throw EClassNotFound(QStringLiteral("Class %1 is not a component").arg(Name).toStdString());
    Object.release();
    return Component;
}

} // namespace

// --- TPlotSeriesTypes ----------------------------------------------------------------------------

TPlotSeriesType* TPlotSeriesTypes::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    return FItems[static_cast<size_t>(Index)].get();
}

TPlotSeriesType* TPlotSeriesTypes::Find(TChartSeriesClass SeriesClass) const
{
    for (const auto& Entry : FItems)
        if (Entry->SeriesClass == SeriesClass && !Entry->FunctionClass)
            return Entry.get();
    return nullptr;
}

void TPlotSeriesTypes::RemoveClass(bool IsSeries, const QMetaObject* Class)
{
    std::erase_if(FItems, [&](const std::unique_ptr<TPlotSeriesType>& Entry) {
        return (IsSeries ? Entry->SeriesClass : Entry->FunctionClass) == Class;
    });
}

TPlotSeriesTypes* PlotSeriesTypes()
{
    return SeriesTypes.get();
}

void RegisterPlotSeriesType(const TPlotClassRef& SeriesClass, const TPlotClassRef& FunctionClass,
                            const QString* Description, const QString* GalleryPage, int NumGallerySeries)
{
    if (!SeriesTypes)
        SeriesTypes = std::make_unique<TPlotSeriesTypes>();
    RegisterForStreaming(SeriesClass);
    RegisterForStreaming(FunctionClass);
    for (int I = 0; I < SeriesTypes->Count(); ++I) {
        const TPlotSeriesType* Entry = SeriesTypes->Items(I);
        if (Entry->SeriesClass == SeriesClass.Meta && Entry->FunctionClass == FunctionClass.Meta)
            return;
    }
    auto Entry = std::make_unique<TPlotSeriesType>();
    Entry->SeriesClass = SeriesClass.Meta;
    Entry->FunctionClass = FunctionClass.Meta;
    Entry->Description = Description;
    Entry->GalleryPage = GalleryPage;
    Entry->NumGallerySeries = NumGallerySeries;
    SeriesTypes->Append(std::move(Entry));
}

void RegisterPlotSeries(const TPlotClassRef& SeriesClass, const QString* Description, const QString* GalleryPage,
                        int NumGallerySeries)
{
    RegisterPlotSeriesType(SeriesClass, {}, Description, GalleryPage, NumGallerySeries);
}

void RegisterPlotFunction(const TPlotClassRef& FunctionClass, const QString* Description,
                          const QString* GalleryPage, int NumGallerySeries)
{
    RegisterPlotSeriesType({}, FunctionClass, Description, GalleryPage, NumGallerySeries);
}

void UnRegisterPlotSeries(std::initializer_list<TChartSeriesClass> SeriesClasses)
{
    for (TChartSeriesClass Class : SeriesClasses)
        UnRegisterType(true, Class);
}

void UnRegisterPlotFunctions(std::initializer_list<TPlotFunctionClass> FunctionClasses)
{
    for (TPlotFunctionClass Class : FunctionClasses)
        UnRegisterType(false, Class);
}

QString GetGallerySeriesName(const TChartSeries* Series)
{
    if (!Series)
        return {};
    if (SeriesTypes)
        if (const TPlotSeriesType* Entry = SeriesTypes->Find(Series->metaObject()))
            return Entry->DescriptionText();
    return Series->ClassName();
}

// --- Tool types ----------------------------------------------------------------------------------

TPlotToolClass TPlotToolTypes::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    return FItems[static_cast<size_t>(Index)];
}

int TPlotToolTypes::IndexOf(TPlotToolClass Class) const
{
    const auto It = std::find(FItems.begin(), FItems.end(), Class);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

void TPlotToolTypes::Remove(TPlotToolClass Class)
{
    std::erase(FItems, Class);
}

TPlotToolTypes* PlotToolTypes()
{
    return ToolTypes.get();
}

void RegisterPlotTools(std::initializer_list<TPlotClassRef> ToolClasses)
{
    if (!ToolTypes)
        ToolTypes = std::make_unique<TPlotToolTypes>();
    for (const TPlotClassRef& Class : ToolClasses) {
        if (!Class.Meta || ToolTypes->IndexOf(Class.Meta) >= 0)
            continue;
        RegisterForStreaming(Class);
        ToolTypes->Append(Class.Meta);
    }
}

void UnRegisterPlotTools(std::initializer_list<TPlotToolClass> ToolClasses)
{
    for (TPlotToolClass Class : ToolClasses) {
        if (ToolTypes)
            ToolTypes->Remove(Class);
        UnRegisterForStreaming(Class);
    }
}

// --- Palettes ------------------------------------------------------------------------------------

const QStringList& ColorPalettes()
{
    return PaletteNames;
}

std::vector<TColor> ColorPaletteColors(int Index)
{
    if (Index < 1 || Index > 9)
        return {};
    return PaletteTable()[static_cast<size_t>(Index)];
}

void ApplyChartPalette(TCustomChart& Chart, int Index)
{
    Chart.SetColorPaletteIndex(Index);
}

void SetChartPalette(TCustomAxisPanel& Chart, const std::vector<TColor>& Colors)
{
    Chart.SetColorPalette(Colors);
    // Automatic colours are handed out again from the new palette: first
    // every automatic series lets its old colour go, then each takes the
    // first free one in list order.
    for (TChartSeries* S : Chart.SeriesList())
        if (S->SeriesColor() == clPlotColor)
            S->SetEffectiveColor(clPlotColor);
    Chart.AssignFreeSeriesColors();
    Chart.Invalidate();
}

// --- Creating, cloning and replacing series --------------------------------------------------------

TChartSeries* CreateNewSeries(TComponent* AOwner, TCustomAxisPanel* Chart, TChartSeriesClass SeriesClass,
                              TPlotFunctionClass FunctionClass)
{
    if (!SeriesClass)
        throw ChartException(QStringLiteral("No series class given"));
    TComponent* Owner = AOwner;
    if (Chart) {
        bool ChartOwnsSeries = false;
        for (const TChartSeries* S : Chart->SeriesList())
            if (S->Owner() == Chart) {
                ChartOwnsSeries = true;
                break;
            }
        if (!Owner || ChartOwnsSeries)
            Owner = Chart;
    }
    TComponent* Created = CreateOwnedComponent(*SeriesClass, Owner);
    auto* Series = qobject_cast<TChartSeries*>(Created);
    if (!Series) {
        delete Created;
        throw ChartException(QStringLiteral("%1 is not a series class").arg(TPersistent::ClassNameOf(*SeriesClass)));
    }
    Series->SetName(GetUniqueComponentName(Owner, QStringLiteral("Series")));
    if (Chart)
        Series->SetParentChart(Chart);
    if (FunctionClass)
        CreateNewPlotFunction(Series, FunctionClass);
    return Series;
}

TPlotFunction* CreateNewPlotFunction(TChartSeries* Series, TPlotFunctionClass FunctionClass)
{
    if (!Series || !FunctionClass)
        return nullptr;
    TComponent* Owner = Series->Owner();
    TComponent* Created = CreateOwnedComponent(*FunctionClass, Owner);
    auto* Function = qobject_cast<TPlotFunction*>(Created);
    if (!Function) {
        delete Created;
        throw ChartException(
            QStringLiteral("%1 is not a function class").arg(TPersistent::ClassNameOf(*FunctionClass)));
    }
    Function->SetName(GetUniqueComponentName(Owner, QStringLiteral("PlotFunction")));
    Series->SetFunction(Function);
    return Function;
}

TChartSeries* CloneChartSeries(TChartSeries* Series)
{
    return CloneChartSeries(Series, Series ? Series->Owner() : nullptr, Series ? Series->ParentChart() : nullptr);
}

TChartSeries* CloneChartSeries(TChartSeries* Series, TCustomAxisPanel* Chart)
{
    return CloneChartSeries(Series, Series ? Series->Owner() : nullptr, Chart);
}

TChartSeries* CloneChartSeries(TChartSeries* Series, TComponent* AOwner, TCustomAxisPanel* Chart)
{
    if (!Series)
        return nullptr;
    const TPlotFunction* Function = Series->SeriesFunction();
    TChartSeries* Result =
        CreateNewSeries(AOwner, Chart, Series->metaObject(), Function ? Function->metaObject() : nullptr);
    Result->Assign(Series);
    if (Function && Result->SeriesFunction())
        Result->SeriesFunction()->Assign(Function);
    return Result;
}

namespace {

// Whether Series may take its data from Source: the chart's source test, or
// without a chart the series' own part of it (as ValidateDataSource asks).
bool AcceptsSourceOnChart(TChartSeries& Series, TChartSeries* Source)
{
    if (TCustomAxisPanel* Chart = Series.ParentChart())
        return Chart->IsValidDataSource(&Series, Source);
    return Source != &Series && Series.IsValidSourceOf(Source) && Series.AcceptsSourceSeries(Source);
}

// Series stops taking its data from Source without being refilled, so it
// keeps the points it holds; with no source left they are its own data (and
// are saved with it).
void UnlinkSourceKeepingPoints(TChartSeries& Series, TChartSeries& Source)
{
    Series.DataSources().InternalRemove(&Source);
    Source.LinkedSeries().Remove(&Series);
    if (Series.DataSources().Count() == 0)
        Series.SetManualData(true);
}

// Series' points become copies of Source's (values, colours, labels), as a
// series without sources takes them over in Assign.
void TakePointsOf(TChartSeries& Series, TChartSeries& Source)
{
    Series.BeginUpdate();
    try {
        Series.Clear();
        for (int I = 0; I < Source.Count(); ++I)
            Series.AddSourceValue(&Source, I);
    } catch (...) {
        Series.EndUpdate();
        throw;
    }
    Series.EndUpdate();
}

struct TUnlinkedPair {
    TChartSeries* Series;
    TChartSeries* Source;
};

// The source series New took over from Old that New refuses are dropped.
// Without any source left New holds Old's points; with some left it is
// filled from those.
void DropRefusedSources(TChartSeries& New, TChartSeries& Old, std::vector<TUnlinkedPair>& Dropped)
{
    std::vector<TChartSeries*> Refused;
    for (TComponent* Source : New.DataSources())
        // Only a series' kind can make it unfit; other feeding components
        // do not depend on the kind of series they feed.
        if (auto* SourceSeries = qobject_cast<TChartSeries*>(Source); SourceSeries &&
            !AcceptsSourceOnChart(New, SourceSeries))
            Refused.push_back(SourceSeries);
    if (Refused.empty())
        return;
    for (TChartSeries* Source : Refused) {
        UnlinkSourceKeepingPoints(New, *Source);
        Dropped.push_back({&New, Source});
    }
    if (New.DataSources().Count() == 0)
        TakePointsOf(New, Old);
    else
        New.CheckDataSource();
}

// The sources of Series become Sources, in that order, with nothing run.
void SetSourceList(TChartSeries& Series, const std::vector<TComponent*>& Sources)
{
    Series.DataSources().InternalClear();
    for (TComponent* Source : Sources)
        Series.DataSources().InternalAdd(Source);
}

// Series fed by Old are fed by New in Old's place among their sources,
// unless they refuse it: those keep their points and lose the link. Either
// way they leave Old's dependents, so that Old's destruction clears none of
// them.
void MoveDependents(TChartSeries& Old, TChartSeries& New, std::vector<TUnlinkedPair>& Dropped)
{
    const std::vector<TChartSeries*> Dependents(Old.LinkedSeries().begin(), Old.LinkedSeries().end());
    for (TChartSeries* Dependent : Dependents) {
        if (Dependent == &New)
            continue;
        if (!AcceptsSourceOnChart(*Dependent, &New)) {
            UnlinkSourceKeepingPoints(*Dependent, Old);
            Dropped.push_back({Dependent, &New});
            continue;
        }
        std::vector<TComponent*> Sources(Dependent->DataSources().begin(), Dependent->DataSources().end());
        std::replace(Sources.begin(), Sources.end(), static_cast<TComponent*>(&Old), static_cast<TComponent*>(&New));
        Sources.erase(std::unique(Sources.begin(), Sources.end()), Sources.end());
        SetSourceList(*Dependent, Sources);
        Old.LinkedSeries().Remove(Dependent);
        if (New.LinkedSeries().IndexOf(Dependent) < 0)
            New.LinkedSeries().Add(Dependent);
    }
}

// A replacement of Old by New in the making: what it has changed outside New
// is recorded before each step, so that Undo can put it all back and free
// New when a step fails. Old's settings and points are never written (only
// its function, which Assign moves, and a series source, which follows the
// series it feeds).
class TReplacement {
public:
    TReplacement(TChartSeries& Old, TChartSeries& New)
        : FOld(Old), FNew(New), FFunction(Old.SeriesFunction()),
          FOldSources(Old.DataSources().begin(), Old.DataSources().end()), FOldManualData(Old.ManualData()),
          FOldDependents(Old.LinkedSeries().begin(), Old.LinkedSeries().end())
    {
        for (TChartSeries* Dependent : FOldDependents)
            FDependents.push_back({Dependent,
                                   {Dependent->DataSources().begin(), Dependent->DataSources().end()},
                                   Dependent->ManualData()});
    }

    // The series tools bound to Old are bound to New.
    void MoveTools(TCustomAxisPanel& Chart)
    {
        for (TPlotCustomTool* Tool : Chart.Tools()) {
            auto* SeriesTool = qobject_cast<TPlotCustomToolSeries*>(Tool);
            if (SeriesTool && SeriesTool->Series() == &FOld) {
                FTools.push_back(SeriesTool);
                SeriesTool->SetSeries(&FNew);
            }
        }
    }

    // New takes Old's place in the chart's series list.
    void TakePlace(TCustomAxisPanel& Chart)
    {
        if (FNew.ParentChart() != &Chart)
            FNew.SetParentChart(&Chart);
        const int OldIndex = Chart.SeriesList().IndexOf(&FOld);
        const int NewIndex = Chart.SeriesList().IndexOf(&FNew);
        if (OldIndex >= 0 && NewIndex >= 0 && OldIndex != NewIndex) {
            Chart.ExchangeSeries(OldIndex, NewIndex);
            FExchanged = {OldIndex, NewIndex};
            FExchangedIn = &Chart;
        }
    }

    // From here on the dependents Old fed may hold points made from New.
    void DependentsRefilled() { FDependentsRefilled = true; }

    // Everything recorded is put back and New is freed; never throws (a
    // step that cannot be taken back is left, the rest still is).
    void Undo() noexcept
    {
        Guarded([this] { RestoreDependents(); });
        Guarded([this] { RestoreFunction(); });
        Guarded([this] { RestoreOldSources(); });
        for (TPlotCustomToolSeries* Tool : FTools)
            Guarded([this, Tool] {
                if (Tool->Series() == &FNew)
                    Tool->SetSeries(&FOld);
            });
        if (FExchangedIn)
            Guarded([this] { FExchangedIn->ExchangeSeries(FExchanged.first, FExchanged.second); });
        Guarded([this] { FreeNew(); });
        if (FDependentsRefilled)
            for (const TDependent& Dependent : FDependents)
                Guarded([&Dependent] {
                    if (Dependent.Sources.size() > 0 && !Dependent.ManualData)
                        Dependent.Series->CheckDataSource();
                });
    }

private:
    struct TDependent {
        TChartSeries* Series;
        std::vector<TComponent*> Sources;
        bool ManualData;
    };

    static void Guarded(const std::function<void()>& Step) noexcept
    {
        try {
            Step();
        } catch (...) {
            // Undoing goes on with the next step.
        }
    }

    // The series Old fed take their source lists back, Old its dependents.
    void RestoreDependents()
    {
        for (const TDependent& Dependent : FDependents) {
            FNew.LinkedSeries().Remove(Dependent.Series);
            SetSourceList(*Dependent.Series, Dependent.Sources);
            Dependent.Series->SetManualData(Dependent.ManualData);
        }
        FOld.LinkedSeries().Clear();
        for (TChartSeries* Dependent : FOldDependents)
            FOld.LinkedSeries().Add(Dependent);
    }

    void RestoreFunction()
    {
        if (FFunction && FNew.SeriesFunction() == FFunction && !FOld.SeriesFunction())
            FNew.HandFunctionTo(FOld);
    }

    // A series source that went over to New comes back (reloading Old's
    // points, which taking it cleared); Old's list is as it was.
    void RestoreOldSources()
    {
        for (TComponent* Source : FOldSources) {
            auto* SeriesSource = qobject_cast<TPlotSeriesSource*>(Source);
            if (SeriesSource && SeriesSource->Series() == &FNew)
                Guarded([this, SeriesSource] { FOld.InternalAddDataSource(SeriesSource); });
        }
        SetSourceList(FOld, FOldSources);
        FOld.SetManualData(FOldManualData);
    }

    // New leaves the chart and goes, without its borrowed events; the
    // series Old fed no longer hear from it, and what else New came to feed
    // (a function's own lines) forgets it as any series' destruction does.
    void FreeNew()
    {
        FNew.OnClearValues = nullptr;
        FNew.OnBeforeAdd = nullptr;
        FNew.OnAfterAdd = nullptr;
        FNew.SetParentChart(nullptr);
        delete &FNew;
    }

    TChartSeries& FOld;
    TChartSeries& FNew;
    TPlotFunction* FFunction;
    std::vector<TComponent*> FOldSources;
    bool FOldManualData;
    std::vector<TChartSeries*> FOldDependents;
    std::vector<TDependent> FDependents;
    std::vector<TPlotCustomToolSeries*> FTools;
    TCustomAxisPanel* FExchangedIn = nullptr;
    std::pair<int, int> FExchanged{-1, -1};
    bool FDependentsRefilled = false;
};

void CopyEvents(TChartSeries& From, TChartSeries& To)
{
    To.AfterDrawValues = From.AfterDrawValues;
    To.BeforeDrawValues = From.BeforeDrawValues;
    To.OnAfterAdd = From.OnAfterAdd;
    To.OnBeforeAdd = From.OnBeforeAdd;
    To.OnClearValues = From.OnClearValues;
    To.OnClick = From.OnClick;
    To.OnDblClick = From.OnDblClick;
    To.OnGetMarkText = From.OnGetMarkText;
    To.OnMouseEnter = From.OnMouseEnter;
    To.OnMouseLeave = From.OnMouseLeave;
}

// Every step of a replacement that can fail: New takes Old's settings,
// data, function, sources, tools, place and dependents and is calculated.
// Old still stands in the chart meanwhile, fed as before but feeding none.
std::vector<TUnlinkedPair> MakeReplacement(TChartSeries& Old, TChartSeries& New, TReplacement& Made)
{
    // Settings, data, function and data sources (Assign takes the sources
    // over and the function when New has none).
    New.Assign(&Old);
    CopyEvents(Old, New);
    if (TCustomAxisPanel* Chart = Old.ParentChart()) {
        Made.MoveTools(*Chart);
        Made.TakePlace(*Chart);
    }
    // Tested once New is on the chart and holds the function: both take
    // part in the chart's source test.
    std::vector<TUnlinkedPair> Unlinked;
    DropRefusedSources(New, Old, Unlinked);
    MoveDependents(Old, New, Unlinked);
    // New's calculation refills the dependents that take it.
    Made.DependentsRefilled();
    if (TPlotFunction* F = New.SeriesFunction())
        F->ReCalculate();
    else
        New.RefreshSeries();
    return Unlinked;
}

// New stands where Old stood in each group of Chart that holds Old; a
// group that held New as well keeps it only there.
void TakeGroupPlaces(TCustomAxisPanel& Chart, const TChartSeries& Old, TChartSeries& New)
{
    TSeriesGroups& Groups = Chart.SeriesList().Groups();
    for (int G = 0; G < Groups.Count(); ++G) {
        TCustomSeriesList& Members = Groups.Items(G)->Series();
        if (Members.IndexOf(&Old) < 0)
            continue;
        Members.Remove(&New);
        Members.SetSeries(Members.IndexOf(&Old), &New);
    }
}

} // namespace

TDroppedSourceLinks ReplaceSeries(TChartSeries*& OldSeries, TChartSeries*& NewSeries)
{
    if (!OldSeries || !NewSeries || OldSeries == NewSeries)
        return {};
    TChartSeries* Old = OldSeries;
    TChartSeries* New = NewSeries;
    TReplacement Made(*Old, *New);
    std::vector<TUnlinkedPair> Unlinked;
    try {
        Unlinked = MakeReplacement(*Old, *New, Made);
    } catch (...) {
        Made.Undo();
        NewSeries = nullptr;
        throw;
    }
    // Nothing below fails: New takes Old's place in its groups, Old goes
    // and New takes its name.
    if (TCustomAxisPanel* Chart = Old->ParentChart())
        TakeGroupPlaces(*Chart, *Old, *New);
    const QString Name = Old->Name();
    Old->SetParentChart(nullptr);
    delete Old;
    OldSeries = New;
    if (!Name.isEmpty() && (!New->Owner() || !New->Owner()->FindComponent(Name)))
        New->SetName(Name);
    // Named last: New has taken Old's name by now.
    TDroppedSourceLinks Dropped;
    for (const TUnlinkedPair& Pair : Unlinked)
        Dropped.push_back({SeriesTitleOrName(Pair.Series), SeriesTitleOrName(Pair.Source)});
    return Dropped;
}

TDroppedSourceLinks ChangeSeriesType(TChartSeries*& Series, TChartSeriesClass NewClass)
{
    if (!Series || !NewClass || Series->metaObject() == NewClass)
        return {};
    TChartSeries* New = CreateNewSeries(Series->Owner(), Series->ParentChart(), NewClass, nullptr);
    return ReplaceSeries(Series, New);
}

void PaintSeriesLegend(TChartSeries* Series, TCanvas* Canvas, const TRect& Rect, TCustomChart* Chart)
{
    if (!Series || !Canvas)
        return;
    std::unique_ptr<TChart> Temporary;
    TCustomAxisPanel* Panel = Series->ParentChart();
    const bool Attach = Panel == nullptr;
    if (Attach) {
        if (!Chart) {
            Temporary = std::make_unique<TChart>();
            Chart = Temporary.get();
        }
        Panel = Chart;
        Series->SetParentChart(Panel);
    }
    auto* AsChart = qobject_cast<TCustomChart*>(Panel);
    TPlotCanvas3D& ChartCanvas = Panel->Canvas();
    TCanvas* OldCanvas = ChartCanvas.ReferenceCanvas();
    struct TRestore {
        TChartSeries* Series;
        TCustomAxisPanel* Panel;
        TPlotCanvas3D& ChartCanvas;
        TCanvas* OldCanvas;
        bool Redirected = false;
        bool Attached;
        ~TRestore()
        {
            Panel->SetLegendPen(nullptr);
            if (Redirected)
                ChartCanvas.SetCanvas(OldCanvas);
            if (Attached)
                Series->SetParentChart(nullptr);
        }
    } Restore{Series, Panel, ChartCanvas, OldCanvas, false, Attach};

    Canvas->Brush().SetStyle(TBrush::bsSolid);
    Canvas->Brush().SetColor(AsChart ? AsChart->Legend()->Color() : Panel->LegendColor());
    if (AsChart)
        Panel->SetLegendPen(AsChart->Legend()->Symbol()->DefaultPen() ? nullptr : AsChart->Legend()->Symbol()->Pen());
    if (ChartCanvas.SupportsFullRotation())
        return;
    ChartCanvas.SetCanvas(Canvas);
    Restore.Redirected = true;
    Series->DrawLegend(-1, Rect);
}

// --- Start-up ------------------------------------------------------------------------------------

void InitializePlotRegistry()
{
    if (!ToolTypes)
        ToolTypes = std::make_unique<TPlotToolTypes>();
    PaletteNames = QStringList{QStringLiteral("VudEvevu"), QStringLiteral("Excel"),   QStringLiteral("Victorian"),
                               QStringLiteral("Pastels"),  QStringLiteral("Solid"),   QStringLiteral("Classic"),
                               QStringLiteral("Web"),      QStringLiteral("Modern"),  QStringLiteral("Rainbow"),
                               QStringLiteral("Win. XP")};
}

void FinalizePlotRegistry()
{
    PaletteNames.clear();
    SeriesTypes.reset();
    ToolTypes.reset();
}

} // namespace lp
