#pragma once
// The axis panel: the chart engine's control.
//
//   TCustomAxisPanel (TCustomPlotPanelExtended)
//     ├─owns─> TChartSeriesList ─owns─> TSeriesGroups   (observes the series)
//     ├─owns─> TChartAxes      six standard axes: Bottom, Top, Left, Right,
//     │                        Depth, DepthTop (then the custom ones)
//     └─owns─> TChartCustomAxes
//
// The panel keeps the series list, computes the automatic axis ranges over
// its series, pages through points, hands out series colours, refills
// series from their data sources and tells its listeners of series events.
// Walls, titles, legend and the free-colour test belong to the chart
// (TCustomChart) that derives from it.

#include "chart/canvas/PlotPanelExtended.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotSeriesLists.h"

namespace lp {

class TChartAxis;
class TChartDepthAxis;
class TChartTools;
class TPlotSeriesSource;

// A series event for the panel's listeners (TChartSeriesEvent codes).
// The widest line of Text as Measure gives it; Lines = the number of lines
// split at the line separator (0 for an empty text).
int WidestLineWidth(const QString& Text, int& Lines, const std::function<int(const QString&)>& Measure);

class TPlotSeriesEvent : public TPlotEvent {
public:
    int Event = seAdd;
    TCustomChartSeries* Series = nullptr;
};

// The chart moved to another page.
class TChartChangePage : public TPlotEvent {};

class TCustomAxisPanel : public TCustomPlotPanelExtended {
    Q_OBJECT
    Q_PROPERTY(bool AxisBehind READ AxisBehind WRITE SetAxisBehind)
    Q_CLASSINFO("default:AxisBehind", "true")
    Q_PROPERTY(bool AxisVisible READ AxisVisible WRITE SetAxisVisible)
    Q_CLASSINFO("default:AxisVisible", "true")
    Q_PROPERTY(int Chart3DPercent READ Chart3DPercent WRITE SetChart3DPercent)
    Q_CLASSINFO("default:Chart3DPercent", "15")
    Q_PROPERTY(bool ClipPoints READ ClipPoints WRITE SetClipPoints)
    Q_CLASSINFO("default:ClipPoints", "true")
    Q_PROPERTY(int MaxPointsPerPage READ MaxPointsPerPage WRITE SetMaxPointsPerPage)
    Q_CLASSINFO("default:MaxPointsPerPage", "0")
    Q_PROPERTY(int Page READ Page WRITE SetPage)
    Q_CLASSINFO("default:Page", "1")
    Q_PROPERTY(bool ScaleLastPage READ ScaleLastPage WRITE SetScaleLastPage)
    Q_CLASSINFO("default:ScaleLastPage", "true")
    Q_PROPERTY(bool View3DWalls READ View3DWalls WRITE SetView3DWalls)
    Q_CLASSINFO("default:View3DWalls", "true")
    // The axes: each standard axis stores its settings as a sub-object
    // ("LeftAxis.Minimum"); the custom axes as a collection (only when it
    // has items), before the series and tools that refer to them.
    Q_MOC_INCLUDE("chart/engine/PlotAxis.h")
    Q_PROPERTY(lp::TChartAxis* BottomAxis READ BottomAxis WRITE SetBottomAxis)
    Q_PROPERTY(lp::TChartCustomAxes* CustomAxes READ CustomAxesCollection WRITE SetCustomAxes)
    Q_PROPERTY(lp::TChartAxis* DepthAxis READ DepthAxis WRITE SetDepthAxis)
    Q_PROPERTY(lp::TChartAxis* DepthTopAxis READ DepthTopAxis WRITE SetDepthTopAxis)
    Q_PROPERTY(lp::TChartAxis* LeftAxis READ LeftAxis WRITE SetLeftAxis)
    Q_PROPERTY(lp::TChartAxis* RightAxis READ RightAxis WRITE SetRightAxis)
    Q_PROPERTY(lp::TChartAxis* TopAxis READ TopAxis WRITE SetTopAxis)
    // The series groups (only when the chart has groups), each with the
    // names of its series.
    Q_PROPERTY(lp::TSeriesGroups* SeriesGroups READ SeriesGroups WRITE SetSeriesGroups)

public:
    explicit TCustomAxisPanel(TComponent* AOwner = nullptr);
    ~TCustomAxisPanel() override;

    // Chart3DPercent, AxisBehind, AxisVisible, the axes, ClipPoints, the
    // palette, CustomAxes, MaxPointsPerPage, Page, ScaleLastPage,
    // View3DWalls, then the panel's settings.
    void Assign(const TPersistent* Source) override;
    // The series groups read take their series, which the file holds after
    // them.
    void Loaded() override;

    // --- Settings ---

    bool AxisBehind() const { return FAxisBehind; }
    void SetAxisBehind(bool Value) { SetBooleanProperty(FAxisBehind, Value); }
    bool AxisVisible() const { return FAxisVisible; }
    void SetAxisVisible(bool Value) { SetBooleanProperty(FAxisVisible, Value); }
    int Chart3DPercent() const { return FChart3DPercent; }
    // 1 .. 100, else ChartException and the value stays.
    void SetChart3DPercent(int Value);
    bool ClipPoints() const { return FClipPoints; }
    void SetClipPoints(bool Value) { SetBooleanProperty(FClipPoints, Value); }
    bool View3DWalls() const { return FView3DWalls; }
    void SetView3DWalls(bool Value) { SetBooleanProperty(FView3DWalls, Value); }

    // --- Series ---

    TChartSeriesList& SeriesList() const { return *FSeriesList; }
    TSeriesGroups* SeriesGroups() const { return &FSeriesList->Groups(); }
    // The groups become copies of Value's, with the same series.
    void SetSeriesGroups(const TSeriesGroups* Value) { FSeriesList->Groups().Assign(Value); }
    int SeriesCount() const { return FSeriesList->Count(); }
    // ERangeError outside 0 .. SeriesCount - 1.
    TChartSeries* Series(int Index) const { return FSeriesList->Series(Index); }
    TChartSeries* GetSeries(int Index) const { return Series(Index); }
    // Puts Series on this chart; returns it.
    TChartSeries* AddSeries(TChartSeries* Series);
    // A new series of the class, owned by the chart's owner.
    TChartSeries* AddSeriesOfClass(const QMetaObject& SeriesClass);
    void RemoveSeries(TChartSeries* Series);
    // A negative index does nothing.
    void RemoveSeries(int Index);
    // Detaches and frees every series of the class (all when nullptr).
    void FreeAllSeries(const QMetaObject* SeriesClass = nullptr);
    // Swaps list positions (inside their group too) and tells listeners.
    void ExchangeSeries(int A, int B);
    void ExchangeSeriesObjects(TChartSeries* A, TChartSeries* B);
    int CountActiveSeries() const;
    // The largest point count of the active series (0 when none).
    int GetMaxValuesCount() const;
    // The display name of the Index-th series counted for the legend.
    QString SeriesTitleLegend(int Index, bool OnlyActive = true) const;
    // The widest point label (multi-line width) over all series.
    int MaxLabelsWidth() const;
    // The widest visible mark text over the active series.
    int MaxMarkWidth() const;
    // 0: active series; 1: all but those excluded horizontally; 2: all but
    // those excluded vertically (when OnlyActive).
    int LegendCheckMode() const { return FLegendCheckMode; }
    void SetLegendCheckMode(int Value) { FLegendCheckMode = Value; }

    // Called by a series joining or leaving through SetParentChart.
    void InternalAddSeries(TChartSeries* Series);
    void InternalRemoveSeries(TChartSeries* Series);

    // --- Axes ---

    TChartAxes& AxesList() const { return *FAxes; }
    TChartCustomAxes& CustomAxes() const { return *FCustomAxes; }
    // The published form of CustomAxes; the setter replaces the custom
    // axes by copies of Value's.
    TChartCustomAxes* CustomAxesCollection() const { return FCustomAxes.get(); }
    void SetCustomAxes(const TChartCustomAxes* Value);
    TChartAxis* BottomAxis() const { return FBottomAxis; }
    TChartAxis* TopAxis() const { return FTopAxis; }
    TChartAxis* LeftAxis() const { return FLeftAxis; }
    TChartAxis* RightAxis() const { return FRightAxis; }
    TChartAxis* DepthAxis() const;
    TChartAxis* DepthTopAxis() const;
    // The axis setters copy Value's settings into the existing axis: the
    // axis objects never change.
    void SetBottomAxis(const TChartAxis* Value);
    void SetTopAxis(const TChartAxis* Value);
    void SetLeftAxis(const TChartAxis* Value);
    void SetRightAxis(const TChartAxis* Value);
    void SetDepthAxis(const TChartAxis* Value);
    void SetDepthTopAxis(const TChartAxis* Value);
    // The extent of the axis' series (see InternalMinMax).
    double MaxXValue(const TChartAxis* Axis) const { return InternalMinMax(Axis, false, true); }
    double MaxYValue(const TChartAxis* Axis) const { return InternalMinMax(Axis, false, false); }
    double MinXValue(const TChartAxis* Axis) const { return InternalMinMax(Axis, true, true); }
    double MinYValue(const TChartAxis* Axis) const { return InternalMinMax(Axis, true, false); }
    double InternalMinMax(const TChartAxis* Axis, bool IsMin, bool IsX) const;
    // Default when no active series, False when one does not use axes or
    // the first one using axes is not on Axis.
    bool AxisHasActiveSeries(const TChartAxis* Axis, bool Default = true) const;
    bool IsAxisVisible(const TChartAxis* Axis) const;
    // Called when an axis changed (fixed range, inversion).
    virtual void AxisChanged(TChartAxis* Axis);
    // Called by a custom axis being destroyed (not while the chart itself
    // is): whatever refers to it lets go. Axis must only be compared.
    virtual void AxisDestroyed(const TChartAxis* Axis);

    // --- Paging ---

    int Page() const { return FPage; }
    // Clamped to 1 .. NumPages (only to 1 and up while the chart is read);
    // tells listeners and OnPageChange.
    void SetPage(int Value);
    int MaxPointsPerPage() const { return FMaxPointsPerPage; }
    // Negative raises ChartException.
    void SetMaxPointsPerPage(int Value);
    bool ScaleLastPage() const { return FScaleLastPage; }
    void SetScaleLastPage(bool Value) { SetBooleanProperty(FScaleLastPage, Value); }
    virtual int NumPages() const;
    // Prints pages FromPage .. ToPage (0: the last page; FromPage 0: the
    // first) as one job on the printer, one printer page each; Page is put
    // back afterwards.
    void PrintPages(int FromPage = 1, int ToPage = 0);

    // --- Colours ---

    // The own palette entry (wrapping), else the default palette's.
    TColor GetDefaultColor(int Index) const;
    const std::vector<TColor>& ColorPalette() const { return FColorPalette; }
    void SetColorPalette(const std::vector<TColor>& Value);
    // The first palette colour IsFreeSeriesColor accepts (the palette's
    // last colour when all earlier ones are taken).
    TColor GetFreeSeriesColor(bool CheckBackground, const TChartSeries* Series = nullptr) const;
    virtual bool IsFreeSeriesColor(TColor AColor, bool CheckBackground, const TChartSeries* Series) const = 0;
    void AssignFreeSeriesColors();
    TColor LegendColor() const { return FLegendColor; }
    void SetLegendColor(TColor Value) { FLegendColor = Value; }
    const TChartPen* LegendPen() const { return FLegendPen; }
    void SetLegendPen(const TChartPen* Value) { FLegendPen = Value; }
    // A rectangle with the canvas pen and brush (again with a clear brush
    // when the brush has the legend colour).
    virtual void DrawLegendShapeRect(const TRect& Rect);
    // The text of a series point in the legend (base: empty).
    virtual QString GetValueLegendText(TChartSeries* Series, int ValueIndex) { return {}; }

    // --- Data sources ---

    // Refills Series from its data source (nothing while it loads).
    virtual void CheckDataSource(TChartSeries* Series);
    // Whether Component may feed Series.
    virtual bool IsValidDataSource(TChartSeries* Series, TComponent* Component) const;
    // ChartException when Source (directly or through its sources) takes
    // its data from Dest.
    void CheckOtherSeries(TChartSeries* Dest, TChartSeries* Source) const;
    // A data source went away.
    virtual void RemovedDataSource(TChartSeries* Series, TComponent* Source);
    // Sample data when refilling outside the designer too.
    static inline bool FillSampleValuesAtRunTime = false;

    // --- Events ---

    void BroadcastSeriesEvent(TCustomChartSeries* Series, int Event);
    bool SeriesEventsSuppressed() const { return FNoSeriesEvents; }
    void SetSeriesEventsSuppressed(bool Value) { FNoSeriesEvents = Value; }
    // Every active series from last to first checks the mouse; True when a
    // point is under it.
    bool CheckMouseSeries(int X, int Y);
    TNotifyEvent OnPageChange;
    // May change the text of an axis label (Series nullptr and ValueIndex
    // -1 for value labels).
    std::function<void(TChartAxis* Sender, TChartSeries* Series, int ValueIndex, QString& LabelText)> OnGetAxisLabel;
    // Supplies axis labels one by one: label number LabelIndex at
    // LabelValue; Stop left True ends the labels.
    std::function<void(TChartAxis* Sender, int LabelIndex, double& LabelValue, bool& Stop)> OnGetNextAxisLabel;

    // --- Legend hooks ---

    // The chart control fires these as its OnGetLegendText, OnGetLegendRect
    // and OnGetLegendPos events; the legend calls them while it lays out
    // and draws. Nothing here.
    virtual void DoGetLegendText(int LegendStyle, int Index, QString& Text)
    {
        (void)LegendStyle, (void)Index, (void)Text;
    }
    virtual void DoGetLegendRect(TRect& Rect) { (void)Rect; }
    virtual void DoGetLegendPos(int Index, int& X, int& Y, int& XColor)
    {
        (void)Index, (void)X, (void)Y, (void)XColor;
    }


    // --- Tools ---

    TChartTools& Tools() const { return *FTools; }
    // Streaming: the series in list order, the tools in list order, then
    // the owned components that have no parent component.
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
    // ChartEvent(Code) on every active tool in list order.
    void BroadcastToolEvent(int Code);
    // ChartMouseEvent on every active tool in list order (the chart control
    // calls this for presses, moves and releases).
    void BroadcastToolMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y);
    // Tells the tools (event 5) after the panel's own handling.
    void MouseLeave() override;

    // --- The paint sequence ---

    // One image of the chart: background, titles and legend, walls, axes,
    // series with their marks, tool events at each stage.
    void InternalDraw(const TRect& UserRectangle) override;
    // True when ChartRectangle's corners projected at depth Z are not
    // clockwise (never on a canvas that rotates fully).
    virtual bool IsBackFacing(int Z) const;
    // Draws one series (with its same-Z group when interleaving).
    void DrawSeries(TChartSeries* Series);
    int Height3D() const { return FHeight3D; }

    // (OnAfterDraw is the extended panel's.)
    TNotifyEvent OnBeforeDrawAxes;
    TNotifyEvent OnBeforeDrawChart;
    TNotifyEvent OnBeforeDrawSeries;
    // The chart's own hook after OnAfterDraw (not published).
    TNotifyEvent InternalAfterDraw;

    // --- Paint state used by series ---

    int MaxZOrder() const { return FMaxZOrder; }
    void SetMaxZOrder(int Value) { FMaxZOrder = Value; }
    int SeriesWidth3D() const { return FSeriesWidth3D; }
    int SeriesHeight3D() const { return FSeriesHeight3D; }
    void SetSeriesSizes3D(int Width, int Height);
    // Series are drawn from the last to the first.
    bool DrawBackwards() const { return FDrawBackwards; }
    void SetDrawBackwards(bool Value) { FDrawBackwards = Value; }
    // The widest line of Text in pixels on the chart canvas; Lines = the
    // number of lines (0 for an empty text).
    int MultiLineTextWidth(const QString& Text, int& Lines) const;

    // The wall thickness beside Axis (pixels).
    virtual int CalcWallSize(const TChartAxis* Axis) const = 0;

    // The chart rectangle's width, height and centre again after a change of
    // the rectangle; public so that the legend, titles and walls, which take
    // their room from it, can finish their step.
    using TCustomPlotPanel::RecalcWidthHeight;

protected:
    virtual void DoAfterDraw();
    virtual void DoBeforeDrawAxes();
    virtual void DoBeforeDrawChart();
    virtual void DoBeforeDrawSeries();
    // Shrinks the chart rectangle for the walls and the 3-D depth.
    virtual void CalcWallsRect() = 0;
    virtual void DrawTitlesAndLegend(bool BeforeSeries) = 0;
    virtual void DrawWalls() = 0;
    // The axes' lines, ticks, labels and titles (a chart that shows a
    // stored picture of them may leave them out).
    virtual void DrawAxes();

private:
    // Paint steps.
    void CalcZOrders();
    void Calc3DSizes();
    void CalcAxesSpace();
    void PrepareAxes();
    void ApplyAxisMargins(TChartAxis& Axis);
    void DrawAllSeries();
    void DrawSeriesGroup(TChartSeries* Series);
    void ClipSeries(bool Clip);
    void DrawMarksOf(TChartSeries& Series);

    // The series whose position list decides paging for Axis.
    bool AxisIsPositionAxis(const TChartAxis* Axis) const;
    double PagedMinMax(const TChartAxis* Axis, bool IsMin) const;
    int PageCountOn(const TChartAxis* Axis) const;

    bool FAxisBehind = true;
    bool FAxisVisible = true;
    int FChart3DPercent = 15;
    bool FClipPoints = true;
    bool FView3DWalls = true;
    int FPage = 1;
    int FMaxPointsPerPage = 0;
    bool FScaleLastPage = true;
    int FMaxZOrder = 0;
    int FSeriesWidth3D = 0;
    int FSeriesHeight3D = 0;
    bool FDrawBackwards = false;
    bool FNoSeriesEvents = false;
    int FLegendCheckMode = 0;
    TColor FLegendColor = clWhite;
    const TChartPen* FLegendPen = nullptr;
    std::vector<TColor> FColorPalette;
    std::unique_ptr<TChartSeriesList> FSeriesList;
    std::unique_ptr<TChartAxes> FAxes;
    std::unique_ptr<TChartCustomAxes> FCustomAxes;
    std::unique_ptr<TChartTools> FTools;
    int FHeight3D = 0;
    TChartAxis* FBottomAxis = nullptr;
    TChartAxis* FTopAxis = nullptr;
    TChartAxis* FLeftAxis = nullptr;
    TChartAxis* FRightAxis = nullptr;
    TChartDepthAxis* FDepthAxis = nullptr;
    TChartDepthAxis* FDepthTopAxis = nullptr;
};

} // namespace lp
