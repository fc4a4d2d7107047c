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
#include <set>

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

// Series fed by Old are fed by New, unless they refuse it: those keep their
// points and lose the link (taken out of Old's dependents, so that Old's
// destruction does not clear them).
void MoveDependents(TChartSeries& Old, TChartSeries& New, std::vector<TUnlinkedPair>& Dropped)
{
    const std::vector<TChartSeries*> Dependents(Old.LinkedSeries().begin(), Old.LinkedSeries().end());
    for (TChartSeries* Dependent : Dependents) {
        if (Dependent == &New)
            continue;
        if (AcceptsSourceOnChart(*Dependent, &New)) {
            if (Dependent->DataSources().IndexOf(&New) < 0)
                Dependent->InternalAddDataSource(&New);
            continue;
        }
        UnlinkSourceKeepingPoints(*Dependent, Old);
        Dropped.push_back({Dependent, &New});
    }
}

} // namespace

TDroppedSourceLinks ReplaceSeries(TChartSeries*& OldSeries, TChartSeries*& NewSeries)
{
    if (!OldSeries || !NewSeries || OldSeries == NewSeries)
        return {};
    TChartSeries* Old = OldSeries;
    TChartSeries* New = NewSeries;
    // Settings, data, function and data sources (Assign takes the sources
    // over and the function when New has none).
    New->Assign(Old);
    New->AfterDrawValues = Old->AfterDrawValues;
    New->BeforeDrawValues = Old->BeforeDrawValues;
    New->OnAfterAdd = Old->OnAfterAdd;
    New->OnBeforeAdd = Old->OnBeforeAdd;
    New->OnClearValues = Old->OnClearValues;
    New->OnClick = Old->OnClick;
    New->OnDblClick = Old->OnDblClick;
    New->OnGetMarkText = Old->OnGetMarkText;
    New->OnMouseEnter = Old->OnMouseEnter;
    New->OnMouseLeave = Old->OnMouseLeave;

    TCustomAxisPanel* Chart = Old->ParentChart();
    if (Chart) {
        for (TPlotCustomTool* Tool : Chart->Tools())
            if (auto* SeriesTool = qobject_cast<TPlotCustomToolSeries*>(Tool); SeriesTool && SeriesTool->Series() == Old)
                SeriesTool->SetSeries(New);
        // The new series takes the old one's place in the list.
        if (New->ParentChart() != Chart)
            New->SetParentChart(Chart);
        const int OldIndex = Chart->SeriesList().IndexOf(Old);
        const int NewIndex = Chart->SeriesList().IndexOf(New);
        if (OldIndex >= 0 && NewIndex >= 0 && OldIndex != NewIndex)
            Chart->ExchangeSeries(OldIndex, NewIndex);
    }
    // Tested once New is on the chart and holds the function: both take
    // part in the chart's source test.
    std::vector<TUnlinkedPair> Unlinked;
    DropRefusedSources(*New, *Old, Unlinked);
    // Dependents that take New are refilled by its refresh below; the old
    // one's destruction takes itself out of their lists without refilling.
    MoveDependents(*Old, *New, Unlinked);

    const QString Name = Old->Name();
    Old->SetParentChart(nullptr);
    delete Old;
    OldSeries = New;
    if (!Name.isEmpty() && (!New->Owner() || !New->Owner()->FindComponent(Name)))
        New->SetName(Name);
    if (TPlotFunction* F = New->SeriesFunction())
        F->ReCalculate();
    else
        New->RefreshSeries();
    NewSeries = New;
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
