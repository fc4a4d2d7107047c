#pragma once
// Chart elements and the series base: the data every series holds and the
// protocol by which a chart draws it.
//
//   TCustomChartElement (TComponent)   Active, Brush, Pen, ParentChart
//     ├─ TCustomChartSeries            ShowInLegend, Title, Identifier, Style
//     │    └─ TChartSeries             the points of one series:
//     │         ├─owns─> TChartValueLists   X, Y and further value lists
//     │         ├─owns─> TLabelsList        optional label per point
//     │         ├─owns─> colour list        optional colour per point
//     │         ├─owns─> TSeriesMarks       mark texts and positions
//     │         ├─owns─> TPlotFunction      computes the points (optional)
//     │         ├─owns─> TDataSourcesList   components feeding the series
//     │         └─owns─> TCustomSeriesList  dependent series fed by this one
//     └─ TPlotCustomTool (tools, in the tools unit)
//
// Adding keeps the X order (AddXY), deleting and swapping move every value
// list, colour and label together. A series with dependents tells them of
// each change (NotifyValue) unless it is between BeginUpdate and EndUpdate;
// a reordering (ReorderPoints: a sort) tells them once, at its end.
//
// A dependent computed by a function is not recalculated at each change of
// its sources: the change marks it stale (with every series that depends on
// it in turn), and it recalculates once, before the next paint or the next
// read or change of its points (its value lists, labels and colours check
// the mark; CheckRefresh). A point appended to its only source is added to
// it at once where the function computes each point from a window of
// source points (TPlotFunction::AddAppendedPoint), without a recalculation.
//
// Drawing (called by the chart for every active series, in Z order):
//   CalcFirstLastVisibleIndex → DoBeforeDrawValues → DrawAllValues
//   (DrawValue per visible point) → DrawMarks → DoAfterDrawValues.

#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotValueList.h"
#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"

#include <QtCore/QIODevice>
#include <QtCore/QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace lp {

class TChartAxis;
class TCustomAxisPanel;
class TCustomSeriesList;
class TDataSourcesList;
class TLabelsList;
class TPlotFunction;
class TSeriesMarks;
class TSeriesMarkPosition;
class TStringList;

// No explicit colour: the series or palette colour is used.
inline constexpr TColor clPlotColor = clDefault;

// The chart engine's error: a message text, the old value kept.
class ChartException : public Exception {
public:
    using Exception::Exception;
    explicit ChartException(const QString& Message) : Exception(Message.toStdString()) {}
};

using TNotifyEvent = std::function<void(QObject* Sender)>;

// The value-notification codes between a series and its dependents.
enum TValueEvent : int {
    veClear = 0,
    veAdd = 1,
    veDelete = 2,
    veRefresh = 3,
    veModify = 4,
};

// The series events broadcast to a chart's listeners.
enum TChartSeriesEvent : int {
    seAdd = 0,
    seRemove = 1,
    seChangeTitle = 2,
    seChangeColor = 3,
    seSwap = 4,
    seChangeActive = 5,
    seDataChanged = 6,
};

// The line separator of multi-line mark texts and the column separator of
// two-column legend texts.
inline constexpr QChar PlotLineSeparator = QChar(13);
inline constexpr QChar PlotColumnSeparator = QChar(6);

// --- TCustomChartElement ------------------------------------------------------------------------

class TCustomChartElement : public TComponent {
    Q_OBJECT
    Q_PROPERTY(bool ShowInEditor READ ShowInEditor WRITE SetShowInEditor)
    Q_CLASSINFO("default:ShowInEditor", "true")

public:
    explicit TCustomChartElement(TComponent* AOwner = nullptr);
    ~TCustomChartElement() override;

    // From another element: Active, Brush, Pen and Tag.
    void Assign(const TPersistent* Source) override;

    bool Active() const { return FActive; }
    virtual void SetActive(bool Value);
    TChartBrush* Brush() const { return FBrush.get(); }
    void SetBrush(const TChartBrush* Value);
    TChartPen* Pen() const { return FPen.get(); }
    // The element's pen takes Value's settings.
    virtual void SetPen(const TChartPen* Value);
    TCustomAxisPanel* ParentChart() const { return FParentChart; }
    virtual void SetParentChart(TCustomAxisPanel* Value);
    bool ShowInEditor() const { return FShowInEditor; }
    void SetShowInEditor(bool Value) { FShowInEditor = Value; }
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }

    // The name of the element type's editor form class; empty when none.
    virtual QString GetEditorClassName() const { return {}; }
    QString EditorClassName() const { return GetEditorClassName(); }

    // Asks the parent chart to invalidate itself (nothing without one).
    void Repaint();
    // The change handler of owned pens and brushes: repaints.
    virtual void CanvasChanged(QObject* Sender);
    // A pen whose changes call CanvasChanged.
    std::unique_ptr<TChartPen> CreateChartPen();

    // Streaming parent: the parent chart. Setting an axis panel as parent
    // puts the element on that chart.
    bool HasParent() const { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

    // Store Value and repaint, only when it differs.
    void SetBooleanProperty(bool& Variable, bool Value);
    void SetIntegerProperty(int& Variable, int Value);
    void SetColorProperty(TColor& Variable, TColor Value);
    void SetDoubleProperty(double& Variable, double Value);
    void SetStringProperty(QString& Variable, const QString& Value);

protected:
    // For constructors of elements whose brush starts clear: replaces the
    // brush with a fresh one whose style and stored default are bsClear, so
    // a solid style set later is written and reads back.
    void UseClearBrush();

    TCustomAxisPanel* FParentChart = nullptr;

private:
    bool FActive = true;
    std::unique_ptr<TChartBrush> FBrush;
    std::unique_ptr<TChartPen> FPen;
    bool FShowInEditor = true;
    int FTag = 0;
};

// --- TCustomChartSeries -------------------------------------------------------------------------

class TCustomChartSeries : public TCustomChartElement {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_CLASSINFO("default:Active", "true")
    Q_PROPERTY(bool ShowInLegend READ ShowInLegend WRITE SetShowInLegend)
    Q_CLASSINFO("default:ShowInLegend", "true")
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_CLASSINFO("default:Title", "")

public:
    explicit TCustomChartSeries(TComponent* AOwner = nullptr);

    // Element settings, then ShowInLegend, Title, Style and Identifier.
    void Assign(const TPersistent* Source) override;

    // Tells the chart (series event 5) and the chart's companion.
    void SetActive(bool Value) override;
    bool ShowInLegend() const { return FShowInLegend; }
    void SetShowInLegend(bool Value);
    QString Title() const { return FTitle; }
    // Repaints and tells the chart (series event 2).
    void SetTitle(const QString& Value);
    QString Identifier() const { return FIdentifier; }
    void SetIdentifier(const QString& Value) { FIdentifier = Value; }
    // Six opaque flags kept for editors (bits 1, 2, 4, 8, 16, 32).
    int Style() const { return FStyle; }
    void SetStyle(int Value) { FStyle = Value & 0x3F; }

    // Extra pixels before and after the axis range the series needs.
    virtual void CalcHorizMargins(int& LeftMargin, int& RightMargin);
    virtual void CalcVertMargins(int& TopMargin, int& BottomMargin);
    // Called on every active series at the start of each paint.
    virtual void DoBeforeDrawChart() {}

    // The chart calls these when the series joins or leaves it.
    virtual void AttachedToChart() {}
    virtual void DetachedFromChart();
    // The gallery switched 3-D on or off: sets the chart's View3D.
    virtual void GalleryChanged3D(bool Is3D);

    // Either series is an instance of the other's class.
    bool SameClass(const TCustomChartSeries* Other) const;

    // "Identifier" (text) and "Style" (integer bit mask).
    void DefineProperties(TFiler& Filer) override;

private:
    bool FShowInLegend = true;
    QString FTitle;
    QString FIdentifier;
    int FStyle = 0;
};

// --- TChartSeries -------------------------------------------------------------------------------

class TChartSeries : public TCustomChartSeries {
    Q_OBJECT
public:
    enum THorizAxis { aTopAxis, aBottomAxis, aBothHorizAxis, aCustomHorizAxis };
    Q_ENUM(THorizAxis)
    enum TVertAxis { aLeftAxis, aRightAxis, aBothVertAxis, aCustomVertAxis };
    Q_ENUM(TVertAxis)
    enum TLegendTextStyle {
        ltsPlain,
        ltsLeftValue,
        ltsRightValue,
        ltsLeftPercent,
        ltsRightPercent,
        ltsXValue,
        ltsValue,
        ltsPercent,
        ltsXAndValue,
        ltsXAndPercent,
    };
    Q_ENUM(TLegendTextStyle)
    // What a dependent series does when its source changes.
    enum TSeriesChangeAction { caDelete = 1, caModify = 2, caAdd = 4, caClear = 8 };

private:
    Q_PROPERTY(bool ColorEachPoint READ ColorEachPoint WRITE SetColorEachPoint)
    Q_CLASSINFO("default:ColorEachPoint", "false")
    Q_PROPERTY(QString ColorSource READ ColorSource WRITE SetColorSource)
    Q_CLASSINFO("default:ColorSource", "")
    Q_PROPERTY(int Cursor READ Cursor WRITE SetCursor)
    Q_CLASSINFO("default:Cursor", "0")
    // A single source is stored by name here; several go to "DataSources".
    Q_PROPERTY(lp::TComponent* DataSource READ DataSource WRITE SetDataSource)
    Q_CLASSINFO("stored:DataSource", "IsDataSourceStored")
    Q_PROPERTY(int Depth READ Depth WRITE SetDepth)
    Q_CLASSINFO("default:Depth", "-1")
    Q_PROPERTY(THorizAxis HorizAxis READ HorizAxis WRITE SetHorizAxis)
    Q_CLASSINFO("default:HorizAxis", "aBottomAxis")
    // Every kind stores its marks: the series page's Marks tab sets them
    // for every kind.
    Q_PROPERTY(lp::TSeriesMarks* Marks READ Marks WRITE SetMarks)
    Q_PROPERTY(QString PercentFormat READ PercentFormat WRITE SetPercentFormat)
    Q_CLASSINFO("stored:PercentFormat", "IsPercentFormatStored")
    Q_PROPERTY(int SeriesColor READ SeriesColor WRITE SetSeriesColor)
    Q_CLASSINFO("default:SeriesColor", "0x20000000")
    Q_PROPERTY(QString ValueFormat READ ValueFormat WRITE SetValueFormat)
    Q_CLASSINFO("stored:ValueFormat", "IsValueFormatStored")
    Q_PROPERTY(TVertAxis VertAxis READ VertAxis WRITE SetVertAxis)
    Q_CLASSINFO("default:VertAxis", "aLeftAxis")
    Q_PROPERTY(QString XLabelsSource READ XLabelsSource WRITE SetXLabelsSource)
    Q_CLASSINFO("default:XLabelsSource", "")
    Q_PROPERTY(int ZOrder READ ZOrderSetting WRITE SetZOrderSetting)
    Q_CLASSINFO("default:ZOrder", "-1")

public:
    explicit TChartSeries(TComponent* AOwner = nullptr);
    ~TChartSeries() override;

    // Copies another series: settings, marks, axes, function and its data
    // (or its data sources).
    void Assign(const TPersistent* Source) override;
    void Loaded() override;
    // Besides the custom series' own: "DataSources" (component names, with
    // more than one source), "CustomHorizAxis" and "CustomVertAxis" (index
    // in the chart's custom axes, when set) and the binary "Data".
    void DefineProperties(TFiler& Filer) override;

    // --- Points ---

    int Count() const;
    // The central add: keeps the X order; returns the new index, -1 when
    // OnBeforeAdd refused the point.
    virtual int AddXY(double X, double Y, const QString& Label = {}, TColor Color = clPlotColor);
    // AddXY(Count, Value) (AddXY(Value, Count) for a horizontal series).
    virtual int Add(double Value, const QString& Label = {}, TColor Color = clPlotColor);
    virtual int AddNull(const QString& Label = {});
    virtual int AddNullXY(double X, double Y, const QString& Label = {});
    // Appends point Index of Source (values only, no notification).
    virtual int AddPointValues(TChartSeries* Source, int Index);
    // AddPointValues, then Source's colour and label, then NotifyValueAdded.
    virtual int AddSourceValue(TChartSeries* Source, int Index);
    // Refills from Source: through the function when there is one, else a
    // copy of Source's points when IsValidSourceOf accepts it.
    virtual void AddValues(TChartSeries* Source);
    void AssignValues(TChartSeries* Source) { AddValues(Source); }

    // ChartException when ValueIndex is outside 0 .. Count - 1.
    virtual void Delete(int ValueIndex);
    // Asserts Quantity >= 1 and Start + Quantity - 1 < Count. RemoveGap
    // renumbers the position list 0, 1, 2, ...
    virtual void DeleteRange(int Start, int Quantity, bool RemoveGap = false);
    virtual void Clear();
    // Exchanges two points in every list, the colours and the labels.
    virtual void SwapValueIndex(int A, int B);

    void BeginUpdate();
    // At 0 refreshes once (RefreshSeries); calls below 0 are ignored.
    void EndUpdate();
    // Runs Reorder (point exchanges, renumbering) with the change notices
    // held: dependents hear of it once at the end, and only when something
    // changed, rather than recalculating at every exchange. Nests.
    void ReorderPoints(const std::function<void()>& Reorder);
    int UpdateCount() const { return FUpdateCount; }
    // Tells dependents (event 3) and the chart (series event 6).
    void RefreshSeries();
    // Whether a change of the series' sources waits to be recalculated.
    bool Stale() const { return FStale; }
    // Recalculates the series from its sources (after theirs) when a change
    // of them left it stale; nothing otherwise.
    void CheckRefresh();
    // A count that grows with every change of the series' points: values,
    // labels, a list's DateTime.
    quint64 DataChanges() const;
    // The function's settings changed: the next refresh of a source
    // recalculates whatever it changed.
    void ForgetCalculation() { FCalculation.Known = false; }

    // --- Values and colours ---

    TChartValueLists& ValuesList() const { return *FValuesList; }
    TChartValueList* XValues() const { return FX; }
    TChartValueList* YValues() const { return FY; }
    TChartValueList* MandatoryValues() const { return FMandatory; }
    TChartValueList* OtherValues() const { return FNotMandatory; }
    bool MandatoryIsY() const { return FMandatoryIsY; }
    // Makes X the mandatory list (horizontal series).
    void SetHorizontal();
    // Makes List (one of the series' own value lists) the mandatory one:
    // the values marks, colours and palettes follow. A further list (Z)
    // keeps the series vertical (X positions, Y values). ChartException for
    // a list the series does not hold.
    void SetMandatoryValueList(TChartValueList* List);
    // The further list named Name (ignoring case), else the Y list.
    virtual TChartValueList* GetValueListByName(const QString& Name) const;
    // X list for a horizontal axis, Y for a vertical one, nullptr when the
    // series is not on Axis.
    virtual TChartValueList* GetAxisValueList(const TChartAxis* Axis) const;
    // Assigns a list's settings and repaints.
    void SetValueList(TChartValueList* List, const TChartValueList* Source);
    // The published forms of the X and Y lists (each kind publishes them
    // under its own names): the list takes Value's settings.
    void SetXValues(const TChartValueList* Value) { SetValueList(FX, Value); }
    void SetYValues(const TChartValueList* Value) { SetValueList(FY, Value); }

    virtual double GetXValue(int Index) const;
    virtual double GetYValue(int Index) const;
    void SetXValue(int Index, double Value);
    void SetYValue(int Index, double Value);
    virtual double GetMarkValue(int Index) const;
    virtual double GetStackValue(int Index) const { return GetMarkValue(Index); }
    virtual double MaxXValue();
    virtual double MinXValue();
    virtual double MaxYValue();
    virtual double MinYValue();
    virtual double MaxZValue();
    virtual double MinZValue();

    virtual TColor GetValueColor(int Index) const;
    // The point's own colour or clPlotColor.
    TColor GetStoredValueColor(int Index) const;
    void SetValueColor(int Index, TColor Color);
    bool IsNull(int Index) const { return GetValueColor(Index) == clNone; }
    // Whether a colour list exists (some point had an own colour).
    bool HasColorList() const { return FColors != nullptr; }
    TLabelsList& Labels() const { return *FLabels; }

    // --- Published settings ---

    TColor SeriesColor() const { return FColor; }
    virtual void SetSeriesColor(TColor Color);
    // Whether the series is drawn in one colour an editor may change; types
    // that colour their points from elsewhere (a palette) say no.
    virtual bool SeriesColorEditable() const { return true; }
    // The colour used: SeriesColor, or the chart's automatic one.
    TColor GetSeriesColor() const { return FColor == clPlotColor ? FEffectiveColor : FColor; }
    TColor EffectiveColor() const { return FEffectiveColor; }
    void SetEffectiveColor(TColor Color) { FEffectiveColor = Color; }
    bool ColorEachPoint() const { return FColorEachPoint; }
    virtual void SetColorEachPoint(bool Value);
    QString ColorSource() const { return FColorSource; }
    void SetColorSource(const QString& Value);
    QString XLabelsSource() const { return FXLabelsSource; }
    void SetXLabelsSource(const QString& Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value) { FCursor = Value; }
    int Depth() const { return FDepth; }
    void SetDepth(int Value);
    QString PercentFormat() const { return FPercentFormat; }
    void SetPercentFormat(const QString& Value);
    QString ValueFormat() const { return FValueFormat; }
    void SetValueFormat(const QString& Value);
    Q_INVOKABLE bool IsPercentFormatStored() const;
    Q_INVOKABLE bool IsValueFormatStored() const;
    // Made on first use: most series (a map polygon's outline among them)
    // never show or store marks.
    TSeriesMarks* Marks() const;
    void SetMarks(const TSeriesMarks* Value);
    int ZOrderSetting() const { return FZOrderSetting; }
    void SetZOrderSetting(int Value);
    int ChangeActions() const { return FChangeActions; }
    void SetChangeActions(int Value) { FChangeActions = Value & 0x0F; }
    // The series opens neither its right-click menu nor the series editor
    // from the legend.
    bool NoPopup() const { return FNoPopup; }
    void SetNoPopup(bool Value) { FNoPopup = Value; }
    // An internal series (a helper of a chart or tool) is not listed in
    // editors at design time.
    bool Internal() const { return FInternal; }
    void SetInternal(bool Value) { FInternal = Value; }

    // --- Chart and axes ---

    // Leaves the old chart's list, joins the new one's.
    void SetParentChart(TCustomAxisPanel* Value) override;
    void AttachedToChart() override;
    void DetachedFromChart() override;

    THorizAxis HorizAxis() const { return FHorizAxis; }
    void SetHorizAxis(THorizAxis Value);
    TVertAxis VertAxis() const { return FVertAxis; }
    void SetVertAxis(TVertAxis Value);
    TChartAxis* CustomHorizAxis() const { return FCustomHorizAxis; }
    void SetCustomHorizAxis(TChartAxis* Value);
    TChartAxis* CustomVertAxis() const { return FCustomVertAxis; }
    void SetCustomVertAxis(TChartAxis* Value);
    // The axis objects the series draws against (nullptr without a chart).
    TChartAxis* GetHorizAxis() const { return FHorizAxisObject; }
    TChartAxis* GetVertAxis() const { return FVertAxisObject; }
    void ResolveAxes();
    virtual bool UseAxis() const { return true; }
    // Series with Z values of their own (surfaces, 3-D points) say so: the
    // axes then label them by value.
    virtual bool HasZValues() const { return false; }
    virtual bool AssociatedToAxis(const TChartAxis* Axis) const;
    // The vertical axis when MandatoryIsY, else the horizontal one.
    TChartAxis* MandatoryAxis() const;

    // Pixels of a point, of a value and values of a pixel on the axes.
    virtual int CalcXPos(int Index) const;
    virtual int CalcYPos(int Index) const;
    int CalcXPosValue(double Value) const;
    int CalcYPosValue(double Value) const;
    int CalcPosValue(double Value) const;
    double XScreenToValue(int ScreenPos) const;
    double YScreenToValue(int ScreenPos) const;
    // The point under the pixel, -1 in the base.
    virtual int Clicked(int X, int Y);

    // --- Data sources and dependents ---

    TComponent* DataSource() const;
    void SetDataSource(TComponent* Value);
    // Exactly one source: two or more are stored as "DataSources".
    Q_INVOKABLE bool IsDataSourceStored() const;
    TDataSourcesList& DataSources() const { return *FDataSources; }
    TCustomSeriesList& LinkedSeries() const { return *FLinkedSeries; }
    // Validates Source with the chart, checks cycles, replaces the sources.
    void InternalSetDataSource(TComponent* Source);
    // ChartException unless the chart (or, without one, the series test)
    // accepts Source, or when a series source would close a cycle.
    void ValidateDataSource(TComponent* Source);
    // Appends Source without clearing; -1 for nullptr.
    int InternalAddDataSource(TComponent* Source);
    // The source went away: tells the chart, clears the list, refills.
    void RemoveDataSource(TComponent* Source);
    // Whether Source may feed this series (the series itself never).
    virtual bool IsValidSourceOf(TChartSeries* Source);
    bool AcceptsSourceSeries(TChartSeries* Source);
    // Asks the chart to refill the series (not while updating).
    void CheckDataSource();
    // The chart's cycle test for a series source (raises ChartException).
    void CheckOtherSeries(TChartSeries* Source);
    // Tells each dependent series of a change (a TValueEvent).
    virtual void NotifyValue(int Event, int ValueIndex);
    virtual void NotifyValueAdded(int ValueIndex);
    virtual void DeleteSourceValue(TChartSeries* Source, int Index);

    TPlotFunction* SeriesFunction() const { return FSeriesFunction; }
    // Takes ownership of F (the old function is freed).
    virtual void SetFunction(TPlotFunction* F);
    // This series' function becomes Series' own (Series holding none), with
    // nothing freed or calculated: how an undone replacement of a series
    // gives back the function it had taken over.
    void HandFunctionTo(TChartSeries& Series);
    // Streaming: the series' function is its child.
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
    // Whether the series may take a function of this kind (base: yes).
    virtual bool CanTakeFunction(const TPlotFunction* F) const;

    // --- Visible range, paging, Z order, depth ---

    int FirstVisibleIndex() const { return FFirstVisibleIndex; }
    int LastVisibleIndex() const { return FLastVisibleIndex; }
    void SetVisibleRange(int First, int Last);
    bool KeepVisibleRange() const { return FKeepVisibleRange; }
    void SetKeepVisibleRange(bool Value) { FKeepVisibleRange = Value; }
    bool VisibleRangeSearch() const { return FVisibleRangeSearch; }
    void SetVisibleRangeSearch(bool Value) { FVisibleRangeSearch = Value; }
    bool KeepPointBeyondEdge() const { return FKeepPointBeyondEdge; }
    void SetKeepPointBeyondEdge(bool Value) { FKeepPointBeyondEdge = Value; }
    virtual void CalcFirstLastVisibleIndex();
    // The page's point range for the chart's MaxPointsPerPage and Page.
    void CalcFirstLastPage(int& First, int& Last) const;
    int FirstDisplayedIndex() const;

    virtual void CalcZOrder();
    int ComputedZOrder() const { return FComputedZOrder; }
    void SetComputedZOrder(int Value) { FComputedZOrder = Value; }
    int ZOrder() const { return FZOrderSetting == -1 ? FComputedZOrder : FZOrderSetting; }
    virtual void CalcDepthPositions();
    int DepthStart() const { return FStartZ; }
    int DepthMiddle() const { return FMiddleZ; }
    int DepthEnd() const { return FEndZ; }
    void SetDepthPositions(int Start, int Middle, int End);
    virtual bool HasSameZOrderSeries() const;
    bool FirstInZOrder() const;
    bool ExcludeFromInterleave() const { return FExcludeFromInterleave; }
    void SetExcludeFromInterleave(bool Value) { FExcludeFromInterleave = Value; }
    bool HorizontalExcluded() const { return FHorizontalExcluded; }
    void SetHorizontalExcluded(bool Value) { FHorizontalExcluded = Value; }
    bool VerticalExcluded() const { return FVerticalExcluded; }
    void SetVerticalExcluded(bool Value) { FVerticalExcluded = Value; }

    // --- Drawing protocol ---

    virtual void DoBeforeDrawValues();
    virtual void DoAfterDrawValues();
    virtual void DrawAllValues();
    virtual void DrawValue(int ValueIndex);
    virtual bool DrawValuesForward() const;
    virtual bool DrawSeriesForward() const;
    // The marks of the visible points (every DrawEvery-th).
    void DrawMarks();
    virtual void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition);

    // --- Legend and marks ---

    virtual int CountLegendItems() { return Count(); }
    virtual int LegendToValueIndex(int LegendIndex) const { return LegendIndex; }
    // The legend row that speaks for point ValueIndex (its mark in the
    // legend style shows that row's text); -1 when no row does.
    virtual int ValueToLegendIndex(int ValueIndex) const { return ValueIndex; }
    virtual TColor LegendItemColor(int LegendIndex) const { return GetValueColor(LegendIndex); }
    virtual void GetLegendText(int LegendIndex, TLegendTextStyle TextStyle, QString& Text);
    QString LegendString(int LegendIndex, TLegendTextStyle TextStyle);
    virtual void DrawLegend(int ValueIndex, const TRect& Rect);
    virtual void DrawLegendShape(int ValueIndex, const TRect& Rect);
    virtual void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrush::TBrushStyle& BrushStyle);
    virtual QString GetMarkText(int ValueIndex);
    // The point's value (or its X) as the legend shows it.
    QString FormattedValue(double Value) const;
    QString FormattedXValue(int ValueIndex) const;
    QString PercentText(double Value, bool WithTotal, bool MultiLine);
    // An optional hook that may change the point index before its mark.
    std::function<void(TChartSeries* Sender, int& ValueIndex)> OnGetMarkIndex;

    // --- Sample data, gallery, mouse ---

    // Random sample points (0 = the series' own count, else
    // NumSampleValues); ChartException for a negative count.
    virtual void FillSampleValues(int NumValues = 0);
    virtual void AddSampleValues(int NumValues, bool OnlyMandatory = false);
    virtual int NumSampleValues() const { return 25; }
    int SampleCount() const { return FNumSampleValues; }
    void SetSampleCount(int Value) { FNumSampleValues = Value; }
    struct TRandomBounds {
        double StartX = 0;
        double StepX = 0;
        double MinY = 0;
        double DifY = 0;
    };
    TRandomBounds CalcRandomBounds(int NumValues);
    // A value of the series' random source in 0 .. Limit - 1.
    static int RandomValue(int Limit);
    // Re-seeds the random source of sample values (tests, reproducible
    // galleries).
    static void RandomSeed(quint32 Seed);
    virtual void SortByMandatoryOrder();
    // Sorts by the position list when it is ordered.
    virtual void CheckOrder();
    virtual void PrepareForGallery(bool IsEnabled);
    // The captions of the series type's sub-styles ("Normal" first).
    virtual void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart);
    virtual void SetSubGallery(int Index);
    // Fires OnMouseEnter/OnMouseLeave and sets the chart cursor; whether a
    // point is under (X, Y).
    bool CheckMouse(int X, int Y);

    // --- Stored data ---

    // The binary "Data" property: flags byte, Int32 count, one record per
    // point, little-endian. ReadData raises EReadError for a truncated or
    // corrupt block and leaves the series empty then.
    virtual void WriteData(QIODevice& Stream);
    void ReadData(QIODevice& Stream);
    // Which parts "Data" would store (1 positions, 2 colours, 4 labels,
    // 8 mark positions).
    int DataFlags() const;
    // Whether the series' points are stored: the save mark is set, or the
    // points were entered by hand and the skip mark is not set.
    bool ShouldWriteData() const;
    // Whether stored points go into the series' own "Data" block; a series
    // whose points live elsewhere (a map's polygons) says no.
    virtual bool KeepsPointsInDataBlock() const { return true; }
    bool ManualData() const { return FManualData; }
    void SetManualData(bool Value) { FManualData = Value; }
    bool SkipData() const { return FSkipData; }
    void SetSkipData(bool Value) { FSkipData = Value; }
    bool SaveData() const { return FSaveData; }
    void SetSaveData(bool Value) { FSaveData = Value; }
    bool StorePositionValues() const { return FStorePositionValues; }
    void SetStorePositionValues(bool Value) { FStorePositionValues = Value; }
    bool UseSeriesOption() const { return FUseSeriesOption; }
    void SetUseSeriesOption(bool Value) { FUseSeriesOption = Value; }
    bool FunctionResultCentered() const { return FFunctionResultCentered; }
    void SetFunctionResultCentered(bool Value) { FFunctionResultCentered = Value; }
    // Names of the data sources read from a stream. The chart file's reader
    // takes them (false when none are pending) and links each one the chart
    // accepts; those left are resolved by Loaded, refused ones skipped.
    void SetPendingDataSourceNames(const QStringList& Names);
    bool TakePendingDataSourceNames(QStringList& Names);
    // "DataSources" is written when there is more than one source (a single
    // one is the published DataSource).
    QStringList DataSourceNames() const;
    // Indexes in the chart's custom axes for "CustomHorizAxis" and
    // "CustomVertAxis" (-1 when none).
    int CustomHorizAxisIndex() const;
    int CustomVertAxisIndex() const;
    void SetCustomAxesByIndex(int HorizIndex, int VertIndex);
    // A custom axis index read from a stream; one that names no custom
    // axis of the series' chart raises, so the link is never lost quietly.
    int ReadCustomAxisIndex(const QVariant& Value) const;
    // An axis of the chart is going: forget it where it is a custom axis.
    void AxisRemoved(const TChartAxis* Axis);
    // The settings text restored by the chart's "Default" command.
    // StoreDefaultSettings keeps the series' present settings text there.
    void StoreDefaultSettings();
    QString DefaultSettings() const { return FDefaultSettings; }
    void SetDefaultSettings(const QString& Value) { FDefaultSettings = Value; }

    // --- Events ---

    TNotifyEvent AfterDrawValues;
    TNotifyEvent BeforeDrawValues;
    std::function<void(TChartSeries* Sender, int ValueIndex)> OnAfterAdd;
    std::function<bool(TChartSeries* Sender)> OnBeforeAdd;
    TNotifyEvent OnClearValues;
    std::function<void(TChartSeries* Sender, int ValueIndex, TMouseButton Button, TShiftState Shift, int X, int Y)>
        OnClick;
    std::function<void(TChartSeries* Sender, int ValueIndex, TMouseButton Button, TShiftState Shift, int X, int Y)>
        OnDblClick;
    std::function<void(TChartSeries* Sender, int ValueIndex, QString& MarkText)> OnGetMarkText;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Empties every list, the colours, the labels and the marks' per-point
    // data; no events.
    virtual void ClearLists();
    // The colour list, created on first need (clPlotColor for each point).
    std::vector<TColor>& EnsureColors();
    std::vector<TColor>* Colors() const { return FColors.get(); }

private:
    bool Updating() const { return FUpdateCount > 0; }
    // Source changed: this series (and every series reading it) waits for
    // a recalculation from Source (the last source that changed is the one
    // the recalculation starts from, as an immediate one would have).
    void MarkStale(TChartSeries* Source);
    void SetStaleMark(bool Value);
    // Point ValueIndex was added to Source: appended to the output where
    // the function can, else the series waits for a recalculation.
    void SourcePointAdded(TChartSeries* Source, int ValueIndex);
    // Recalculates the series' stale sources (and Source).
    void RefreshSources(TChartSeries* Source);
    // After a calculation from Source: remembers what it was made from, so
    // a refresh of Source that changed nothing leaves it (only for a
    // function adding appended points, whose output depends on nothing but
    // its source's points and its settings).
    void RememberCalculation(TChartSeries* Source);
    // Whether the output still is what a calculation from Source gives.
    bool CalculatedFrom(TChartSeries* Source) const;
    void InsertPointParts(int Index, const QString& Label, TColor Color);
    TChartAxis* PositionAxis() const;
    void CopyPointsFrom(TChartSeries* Source);
    void ReadPoints(QIODevice& Stream);
    // Whether a source named in a stream passes ValidateDataSource.
    bool AcceptsReadSource(TComponent& Source);
    void UnlinkFromSources();

    TColor FColor = clPlotColor;
    bool FColorEachPoint = false;
    std::unique_ptr<std::vector<TColor>> FColors;
    QString FColorSource;
    QString FXLabelsSource;
    TCursor FCursor = crDefault;
    std::unique_ptr<TDataSourcesList> FDataSources;
    int FDepth = -1;
    TChartAxis* FHorizAxisObject = nullptr;
    TChartAxis* FVertAxisObject = nullptr;
    std::unique_ptr<TCustomSeriesList> FLinkedSeries;
    mutable std::unique_ptr<TSeriesMarks> FMarks;
    QString FPercentFormat;
    QString FValueFormat;
    QStringList FPendingDataSources;
    bool FHasPendingDataSources = false;
    int FPendingHorizAxis = -1;
    int FPendingVertAxis = -1;
    // The stream being read held the series' points (its "Data").
    bool FReadWithPoints = false;
    std::unique_ptr<TChartValueLists> FValuesList;
    std::unique_ptr<TLabelsList> FLabels;
    THorizAxis FHorizAxis = aBottomAxis;
    TChartAxis* FCustomHorizAxis = nullptr;
    TChartAxis* FCustomVertAxis = nullptr;
    int FZOrderSetting = -1;
    TVertAxis FVertAxis = aLeftAxis;
    int FChangeActions = caDelete | caModify | caAdd | caClear;
    TPlotFunction* FSeriesFunction = nullptr; // owned
    bool FMouseInside = false;
    TColor FEffectiveColor = clPlotColor;
    bool FInternal = false;
    bool FNoPopup = false;
    bool FSkipData = false;
    bool FSaveData = false;
    bool FManualData = false;
    int FNumSampleValues = 0;
    int FUpdateCount = 0;
    int FReorderCount = 0;
    bool FReorderNoticeHeld = false;
    bool FStale = false;
    TChartSeries* FStaleSource = nullptr; // a series of FDataSources while FStale
    // What the last calculation was made from (RememberCalculation).
    struct TCalculation {
        bool Known = false;
        quint64 SourceChanges = 0;
        quint64 OwnChanges = 0;
        double Period = 0;
    } FCalculation;
    bool FUseSeriesOption = true;
    bool FStorePositionValues = true;
    int FComputedZOrder = 0;
    int FFirstVisibleIndex = -1;
    int FLastVisibleIndex = -1;
    bool FKeepVisibleRange = false;
    bool FHorizontalExcluded = false;
    bool FVerticalExcluded = false;
    QString FDefaultSettings;
    bool FVisibleRangeSearch = true;
    bool FKeepPointBeyondEdge = false;
    bool FFunctionResultCentered = true;
    bool FExcludeFromInterleave = false;
    int FStartZ = 0;
    int FMiddleZ = 0;
    int FEndZ = 0;
    TChartValueList* FMandatory = nullptr;
    TChartValueList* FNotMandatory = nullptr;
    bool FMandatoryIsY = true;
    TChartValueList* FX = nullptr;
    TChartValueList* FY = nullptr;
};

using THorizAxis = TChartSeries::THorizAxis;
inline constexpr THorizAxis aTopAxis = TChartSeries::aTopAxis;
inline constexpr THorizAxis aBottomAxis = TChartSeries::aBottomAxis;
inline constexpr THorizAxis aBothHorizAxis = TChartSeries::aBothHorizAxis;
inline constexpr THorizAxis aCustomHorizAxis = TChartSeries::aCustomHorizAxis;
using TVertAxis = TChartSeries::TVertAxis;
inline constexpr TVertAxis aLeftAxis = TChartSeries::aLeftAxis;
inline constexpr TVertAxis aRightAxis = TChartSeries::aRightAxis;
inline constexpr TVertAxis aBothVertAxis = TChartSeries::aBothVertAxis;
inline constexpr TVertAxis aCustomVertAxis = TChartSeries::aCustomVertAxis;
using TLegendTextStyle = TChartSeries::TLegendTextStyle;

using TChartSeriesClass = const QMetaObject*;

// Flags of a series' Style that editors honour.
inline constexpr int SeriesFlagLocked = 1;       // no delete, no clone
inline constexpr int SeriesFlagNoChangeType = 2;
inline constexpr int SeriesFlagNoDelete = 4;
inline constexpr int SeriesFlagNoClone = 8;
inline constexpr int SeriesFlagPersistent = 16;
inline constexpr int SeriesFlagNoDataSource = 32;

// Which parts the "Data" block of a series would store (1 positions other
// than 0, 1, 2, ...; 2 own colours; 4 labels; 8 moved marks).
int GetSeriesDataFlags(const TChartSeries& Series);
bool SeriesHasCustomColors(const TChartSeries& Series);
bool SeriesHasCustomXValues(const TChartSeries& Series);

} // namespace lp
