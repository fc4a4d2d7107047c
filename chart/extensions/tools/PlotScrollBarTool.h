#pragma once
// A scroll bar drawn on the chart canvas after the chart (event 0): two
// arrow buttons, a track and a thumb, turning clicks, held buttons and
// thumb drags into a new integer position. It does not know what it
// scrolls: position, maximum and page size come from virtual operations.
// TLegendScrollBar binds them to the chart's legend (its first shown item)
// or, when the chart pages, to the chart's page, and lies along the
// legend's edge.
//
// Idle → (press on a button or the track) stepping, repeated by the owned
// timer after InitialDelay ms and then every 50 ms while AutoRepeat →
// (press on the thumb) dragging; a release returns to idle.

#include "chart/canvas/PlotPanel.h"
// The tools header observes axes through QPointer: their class must be
// complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotTools.h"

#include <QtCore/QPointer>

#include <functional>
#include <memory>

namespace lp {

class TCustomChartLegend;
class TPlotGradient;
class TTimer;

class TPlotScrollBar : public TPlotCustomTool {
    Q_OBJECT
public:
    enum TPlotScrollBarDrawStyle { dsAlways, dsWhenNeeded };
    Q_ENUM(TPlotScrollBarDrawStyle)
    using TBevelCut = TCustomPanelNoCaption::TBevelCut;

private:
    Q_PROPERTY(lp::TChartBrush* ArrowBrush READ ArrowBrush WRITE SetArrowBrush)
    Q_PROPERTY(bool AutoRepeat READ AutoRepeat WRITE SetAutoRepeat)
    Q_CLASSINFO("default:AutoRepeat", "true")
    Q_PROPERTY(int BackColor READ BackColor WRITE SetBackColor)
    Q_CLASSINFO("default:BackColor", "0x80000000")
    Q_PROPERTY(lp::TCustomPanelNoCaption::TBevelCut Bevel READ Bevel WRITE SetBevel)
    Q_CLASSINFO("default:Bevel", "bvRaised")
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(lp::TPlotScrollBar::TPlotScrollBarDrawStyle DrawStyle READ DrawStyle WRITE SetDrawStyle)
    Q_CLASSINFO("default:DrawStyle", "dsAlways")
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(int InitialDelay READ InitialDelay WRITE SetInitialDelay)
    Q_CLASSINFO("default:InitialDelay", "250")
    Q_PROPERTY(int MinThumbSize READ MinThumbSize WRITE SetMinThumbSize)
    Q_CLASSINFO("default:MinThumbSize", "4")
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(int Size READ Size WRITE SetSize)
    Q_CLASSINFO("default:Size", "18")
    Q_PROPERTY(lp::TChartBrush* ThumbBrush READ ThumbBrush WRITE SetThumbBrush)

public:
    using TNotifyEvent = std::function<void(TPlotScrollBar* Sender)>;
    using TSetPositionEvent = std::function<void(TPlotScrollBar* Sender, int Value)>;

    // The repeats after the first come this often (milliseconds).
    static constexpr int RepeatInterval = 50;

    explicit TPlotScrollBar(TComponent* AOwner = nullptr);
    ~TPlotScrollBar() override;

    QString GetEditorClassName() const override { return QStringLiteral("TScrollBarEditor"); }
    // "Scrollbar".
    QString Description() const override;

    TChartBrush* ArrowBrush() const { return FArrowBrush.get(); }
    void SetArrowBrush(const TChartBrush* Value);
    bool AutoRepeat() const { return FAutoRepeat; }
    void SetAutoRepeat(bool Value) { FAutoRepeat = Value; }
    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor Value) { SetColorProperty(FBackColor, Value); }
    TBevelCut Bevel() const { return FBevel; }
    void SetBevel(TBevelCut Value);
    TPlotScrollBarDrawStyle DrawStyle() const { return FDrawStyle; }
    void SetDrawStyle(TPlotScrollBarDrawStyle Value) { FDrawStyle = Value; }
    TPlotGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(const TPlotGradient* Value);
    int InitialDelay() const { return FInitialDelay; }
    void SetInitialDelay(int Value) { FInitialDelay = Value; }
    int MinThumbSize() const { return FMinThumbSize; }
    void SetMinThumbSize(int Value) { SetIntegerProperty(FMinThumbSize, Value); }
    // Thickness of the bar and length of each arrow button; fires
    // OnChangeSize when it changes.
    int Size() const { return FSize; }
    void SetSize(int Value);
    TChartBrush* ThumbBrush() const { return FThumbBrush.get(); }
    void SetThumbBrush(const TChartBrush* Value);

    // --- The scrolled quantity (base: stored values) ---

    // Position change for a thumb drag from pixel Old to New along the bar:
    // Max × |New − Old| / track length, negative backwards; 0 when the
    // track has no length (a bar shorter than its two buttons).
    virtual double CalcDragDelta(int New, int Old);
    virtual int GetPageSize();
    // The step of a click on the track: GetPageSize div 4.
    virtual int GetLargeChange();
    virtual int GetPosition();
    // Stores (repainting on a change), then OnSetPosition.
    virtual void SetPosition(int Value);
    // Whether the bar shows; fills BarRect and Horizontal.
    virtual bool CalcBarRect();
    virtual int GetMax();

    void SetMax(int Value) { FMax = Value; }
    void SetPageSize(int Value) { FPageSize = Value; }

    // --- Geometry of the last CalcBarRect ---
    TRect BarRect() const { return FBarRect; }
    void SetBarRect(const TRect& Value) { FBarRect = Value; }
    bool Horizontal() const { return FHorizontal; }
    void SetHorizontal(bool Value) { FHorizontal = Value; }
    TRect WholeBar() const;
    TRect DecreaseButton() const;
    TRect IncreaseButton() const;
    // Bar length less both buttons (may be 0 or less).
    int TrackLength() const;
    // Computes ThumbStart, ThumbSize and ThumbEnd; false (no thumb) when
    // GetMax is 0 or the track has no length.
    bool CalcThumb();
    int ThumbStart() const { return FThumbStart; }
    int ThumbSize() const { return FThumbSize; }
    int ThumbEnd() const { return FThumbEnd; }
    TRect ThumbRect() const;

    // Scrolls by Delta as a click, a repeat or a drag does; Repeat arms the
    // repeat timer (with AutoRepeat).
    void ScrollBy(double Delta, bool Repeat);
    // Created on first need.
    TTimer* RepeatTimer() const { return FTimer.get(); }
    bool DraggingThumb() const { return FDragging; }

    void ChartEvent(int Event) override;
    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    TNotifyEvent OnChangeSize;
    TNotifyEvent OnScrolled;
    TSetPositionEvent OnSetPosition;

private:
    void Draw();
    void DrawArrow(TPlotCanvas3D& Canvas, const TRect& Button, bool Decrease, bool CanMove, bool Pressed);
    void MouseDown(int X, int Y);
    void MouseMove(int X, int Y);
    void MouseUp();
    void TimerTick();

    std::unique_ptr<TChartBrush> FArrowBrush;
    bool FAutoRepeat = true;
    TColor FBackColor = clScrollBar;
    TBevelCut FBevel = TCustomPanelNoCaption::bvRaised;
    TPlotScrollBarDrawStyle FDrawStyle = dsAlways;
    std::unique_ptr<TPlotGradient> FGradient;
    int FInitialDelay = 250;
    int FMinThumbSize = 4;
    int FSize = 18;
    std::unique_ptr<TChartBrush> FThumbBrush;

    int FPosition = 0;
    int FMax = 0;
    int FPageSize = 0;
    TRect FBarRect;
    bool FHorizontal = false;
    int FThumbStart = 0;
    int FThumbSize = 0;
    int FThumbEnd = 0;
    TPoint FMouse;
    bool FDragging = false;
    bool FDecreasePressed = false;
    bool FIncreasePressed = false;
    std::unique_ptr<TTimer> FTimer;
};

// The scroll bar of the chart's legend: pages through the chart when it
// pages (MaxPointsPerPage > 0), else moves the legend's first shown item.
// While on a chart it makes the legend Size + 1 pixels larger for itself.
class TLegendScrollBar : public TPlotScrollBar {
    Q_OBJECT
public:
    explicit TLegendScrollBar(TComponent* AOwner = nullptr);
    ~TLegendScrollBar() override;

    // "Legend Scrollbar".
    QString Description() const override;

    int GetMax() override;
    int GetPosition() override;
    void SetPosition(int Value) override;
    int GetPageSize() override;
    int GetLargeChange() override;
    // False without chart, when the legend does not draw or shows nothing;
    // with dsWhenNeeded also when every legend item shows.
    bool CalcBarRect() override;
    void SetParentChart(TCustomAxisPanel* Value) override;

    TCustomChartLegend* Legend() const;

private:
    bool Paging() const;
    void HookLegend(bool Install);

    QPointer<TCustomChartLegend> FHooked;
};

void RegisterLegendScrollBar();
void UnregisterLegendScrollBar();

} // namespace lp
