#pragma once
// The chart control: the axis panel completed with titles, walls and a
// legend, mouse handling (clicks on chart parts, zoom, panning, wheel) and
// the right-click menus.
//
//   TCustomAxisPanel
//     └─ TCustomChart ─owns─> TChartTitle ×2, TChartFootTitle ×2,
//          │                   TChartWalls (back, bottom, left, right),
//          │                   TChartLegend, one TPopupMenu (reused)
//          └─ TChart           publishes the properties
//
// A mouse press goes to the chart's tools first; then, unless a tool
// cancelled it, to the part under the mouse (legend, series, axis, titles,
// chart rectangle), whose events may handle it; an unhandled press starts
// zooming or panning. Shift with the right button opens the menu of the
// legend, an axis or a series.

#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotTitles.h"
#include "platform/ui/Menus.h"

#include <functional>
#include <memory>
#include <vector>

namespace lp {

class TCustomChart;
class TPlotFont;

// The chart editor dialogs the menus open. The chart editor registers them
// at start-up; until then the menu items that need them are disabled.
struct TChartEditorEntryPoints {
    // The chart editor on one series, modal.
    std::function<void(TChartSeries* Series)> ShowSeriesEditor;
    // The editor of one axis, modal.
    std::function<void(TCustomChart* Chart, TChartAxis* Axis)> ShowAxisEditor;
    // The legend options form of the chart's legend (caption "Legend
    // options"), modal.
    std::function<void(TCustomChart* Chart, TChartLegend* Legend)> ShowLegendOptions;
    // The appearance texts of axes and series, used by "Default".
    std::function<QString(TChartAxis* Axis)> AxisSettingsToText;
    std::function<void(TChartAxis* Axis, const QString& Text)> AxisSettingsFromText;
    std::function<void(TChartSeries* Series, const QString& Text)> SeriesSettingsFromText;
};
TChartEditorEntryPoints& ChartEditorEntryPoints();

// While True a Shift + right click on a series opens no menu (and the
// press ends there).
inline bool SuppressSeriesPopup = false;
// While True a right-button press on any chart opens no right-click menu
// (an editor finishing an edit with the right button sets it).
inline bool ChartMenuSuppressed = false;

// What lies under a point of the chart.
enum TChartClickedPartStyle : int {
    cpNone = 0,
    cpLegend = 1,
    cpAxis = 2,
    cpSeries = 3,
    cpTitle = 4,
    cpFoot = 5,
    cpChartRect = 6,
    cpSeriesMarks = 7,
    cpSubTitle = 8,
    cpSubFoot = 9,
};

struct TChartClickedPart {
    TChartClickedPartStyle Part = cpNone;
    int PointIndex = -1;
    TChartSeries* ASeries = nullptr;
    TChartAxis* AAxis = nullptr;
};

class TCustomChart : public TCustomAxisPanel {
    Q_OBJECT
public:
    explicit TCustomChart(TComponent* AOwner = nullptr);
    ~TCustomChart() override;

    // ColorPaletteIndex, titles, legend, ScrollMouseButton, walls, then the
    // axis panel's settings.
    void Assign(const TPersistent* Source) override;
    // "BackColor" (read only) and "ColorPaletteIndex".
    void DefineProperties(TFiler& Filer) override;

    TChartTitle* Title() const { return FTitle.get(); }
    TChartTitle* SubTitle() const { return FSubTitle.get(); }
    TChartFootTitle* Foot() const { return FFoot.get(); }
    TChartFootTitle* SubFoot() const { return FSubFoot.get(); }
    TChartLegend* Legend() const { return FLegend.get(); }
    TChartWalls& Walls() const { return *FWalls; }
    TChartBackWall* BackWall() const;
    TChartWall* BottomWall() const;
    TChartWall* LeftWall() const;
    TChartRightWall* RightWall() const;
    void SetTitle(const TChartTitle* Value) { FTitle->Assign(Value); }
    void SetSubTitle(const TChartTitle* Value) { FSubTitle->Assign(Value); }
    void SetFoot(const TChartFootTitle* Value) { FFoot->Assign(Value); }
    void SetSubFoot(const TChartFootTitle* Value) { FSubFoot->Assign(Value); }
    void SetLegend(const TChartLegend* Value) { FLegend->Assign(Value); }
    void SetBackWall(const TChartBackWall* Value);
    void SetBottomWall(const TChartWall* Value);
    void SetLeftWall(const TChartWall* Value);
    void SetRightWall(const TChartRightWall* Value);
    // The back wall's pen.
    TChartPen* Frame() const;
    void SetFrame(const TChartPen* Value);
    TMouseButton ScrollMouseButton() const { return FScrollMouseButton; }
    void SetScrollMouseButton(TMouseButton Value) { FScrollMouseButton = Value; }
    int ColorPaletteIndex() const { return FColorPaletteIndex; }
    // Applies named palette Value (1 .. 9; 0 or an unknown index: the
    // default palette), recolours the automatic series and repaints.
    void SetColorPaletteIndex(int Value);

    // --- The axis panel's abstract parts ---

    TColor GetBackColor() const override;
    bool IsFreeSeriesColor(TColor AColor, bool CheckBackground, const TChartSeries* Series) const override;
    int CalcWallSize(const TChartAxis* Axis) const override;
    QString GetValueLegendText(TChartSeries* Series, int ValueIndex) override;
    void DrawLegendShapeRect(const TRect& Rect) override;
    void DoGetLegendText(int LegendStyle, int Index, QString& Text) override;
    void DoGetLegendRect(TRect& Rect) override;
    void DoGetLegendPos(int Index, int& X, int& Y, int& XColor) override;

    // --- Parts, clicks, zoom and panning ---

    TChartSeries* FirstActiveSeries() const;
    // The axis title's caption, else its standard name ("Left Axis", ...).
    QString GetAxisTitleOrName(const TChartAxis* Axis) const;
    // What lies under (X, Y); during a press only series that react to
    // clicks count.
    TChartClickedPart CalcClickedPart(int X, int Y);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos) override;
    // Shows the part of the chart inside Rect (pixels) on the four side
    // axes; an axis that cannot take the limits (AcceptsLimits) keeps its
    // range, and when none can, nothing is zoomed.
    void ZoomRect(const TRect& Rect);
    // Back to the axis scales before the first zoom or pan.
    void UndoZoom() override;
    // Stores the four standard axes' settings texts as their defaults.
    void StoreAxesDefaultSettings();
    // Hands the names of the value lists of Series' source series to
    // Callback, in order.
    void FillValueSourceItems(TChartSeries* Series, const std::function<void(const QString&)>& Callback) const;

    // --- Menus ---

    bool PopupRequested() const { return FPopupRequested; }
    TChartSeries* PopupSeries() const { return FPopupSeries; }
    TChartAxis* PopupAxis() const { return FPopupAxis; }
    // The chart's one menu (reused for the legend, axis and series menus).
    TPopupMenu& PopupMenu() { return FMenu; }
    // Called after an axis menu action, Sender the chart.
    TNotifyEvent OnAxisPopupAction;
    // Called after a series menu action (the series editor closed, the
    // default look applied), Sender the chart; PopupSeries() is the series.
    TNotifyEvent OnSeriesPopupAction;

    // --- Events ---

    std::function<void(TChartAxis* Sender, double& NewMin, double& NewMax, bool& AllowScroll)> OnAllowScroll;
    std::function<void(TCustomChart* Sender, TChartAxis* Axis, TMouseButton Button, TShiftState Shift, int X,
                       int Y)>
        OnClickAxis;
    std::function<void(TCustomChart* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)> OnClickBackground;
    std::function<void(TCustomChart* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)> OnClickLegend;
    std::function<void(TCustomChart* Sender, TChartSeries* Series, int ValueIndex, TMouseButton Button,
                       TShiftState Shift, int X, int Y)>
        OnClickSeries;
    std::function<void(TCustomChart* Sender, TChartTitle* Title, TMouseButton Button, TShiftState Shift, int X,
                       int Y)>
        OnClickTitle;
    std::function<void(TCustomChart* Sender, int Index, int& X, int& Y, int& XColor)> OnGetLegendPos;
    std::function<void(TCustomChart* Sender, TRect& Rect)> OnGetLegendRect;
    std::function<void(TCustomChart* Sender, int LegendStyle, int Index, QString& LegendText)> OnGetLegendText;

    // Forgets the menu's axis when it is destroyed.
    void AxisDestroyed(const TChartAxis* Axis) override;

    // One further font of the chart that a paper-scale picture export
    // enlarges with the axis and title fonts; nullptr when the chart has
    // none.
    virtual TPlotFont* PaperScaleExtraFont() const { return nullptr; }

protected:
    void CalcWallsRect() override;
    void DrawTitlesAndLegend(bool BeforeSeries) override;
    void DrawWalls() override;
    // Forgets the menu's series when it is destroyed.
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TSavedScale {
        bool Automatic = true;
        bool AutomaticMinimum = true;
        bool AutomaticMaximum = true;
        double Minimum = 0;
        double Maximum = 0;
    };

    bool SeriesTakesClicks(const TChartSeries& Series) const;
    // Fires a click event with MouseCancelled set first; true when the
    // handler left it set (the click was handled).
    bool FireClick(const std::function<void()>& Fire);
    // The legend part of a press; true when the click was handled (a check
    // box applied, or OnClickLegend left MouseCancelled set).
    bool LegendMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y, const TChartClickedPart& Part);
    // The series editor on the series legend item Index stands for.
    void EditLegendItemSeries(int Index);
    bool StartZoomOrPanning(TMouseButton Button, TShiftState Shift, int X, int Y);
    bool AnySeriesUsesAxes() const;
    void SaveScales();
    void PanAxes(bool Horizontal, int OldPixel, int NewPixel);
    void ShowLegendMenu(int X, int Y);
    void ShowAxisMenu(int X, int Y);
    void ShowSeriesMenu(int X, int Y);
    void PopupAt(std::vector<TMenuItem> Items, int X, int Y);
    // The menu an action came from, for the notification that follows it.
    enum TMenuKind { mkLegend, mkAxis, mkSeries };
    void RunMenuAction(const std::function<void()>& Action, TMenuKind Kind);
    void DrawLegendIfAny();

    std::unique_ptr<TChartTitle> FTitle;
    std::unique_ptr<TChartTitle> FSubTitle;
    std::unique_ptr<TChartFootTitle> FFoot;
    std::unique_ptr<TChartFootTitle> FSubFoot;
    std::unique_ptr<TChartWalls> FWalls;
    std::unique_ptr<TChartLegend> FLegend;
    TMouseButton FScrollMouseButton = mbRight;
    std::vector<TSavedScale> FSavedScales;
    bool FNoScalesSaved = true;
    int FColorPaletteIndex = 0;
    bool FPopupRequested = false;
    bool FInMouseDown = false;
    // The objects of the open menu; cleared when they are destroyed.
    TChartSeries* FPopupSeries = nullptr;
    TChartAxis* FPopupAxis = nullptr;
    TPopupMenu FMenu;
};

class TChart : public TCustomChart {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBackWall* BackWall READ BackWall WRITE SetBackWall)
    Q_PROPERTY(lp::TChartWall* BottomWall READ BottomWall WRITE SetBottomWall)
    Q_PROPERTY(lp::TChartTitle* Foot READ FootTitle WRITE SetFootTitle)
    Q_PROPERTY(lp::TChartPen* Frame READ Frame WRITE SetFrame STORED false)
    Q_PROPERTY(lp::TChartWall* LeftWall READ LeftWall WRITE SetLeftWall)
    Q_PROPERTY(lp::TChartLegend* Legend READ Legend WRITE SetLegend)
    Q_PROPERTY(lp::TChartRightWall* RightWall READ RightWall WRITE SetRightWall)
    Q_PROPERTY(lp::TControl::TMouseButton ScrollMouseButton READ ScrollMouseButton WRITE SetScrollMouseButton)
    Q_CLASSINFO("default:ScrollMouseButton", "mbRight")
    Q_PROPERTY(lp::TChartTitle* SubFoot READ SubFootTitle WRITE SetSubFootTitle)
    Q_PROPERTY(lp::TChartTitle* SubTitle READ SubTitle WRITE SetSubTitle)
    Q_PROPERTY(lp::TChartTitle* Title READ Title WRITE SetTitle)

public:
    explicit TChart(TComponent* AOwner = nullptr);

    // The foot titles as published (they are title objects).
    TChartTitle* FootTitle() const { return Foot(); }
    void SetFootTitle(const TChartTitle* Value) { Foot()->Assign(Value); }
    TChartTitle* SubFootTitle() const { return SubFoot(); }
    void SetSubFootTitle(const TChartTitle* Value) { SubFoot()->Assign(Value); }
};

// The engine's start-up duty: registers the chart, axis, depth axis, axis
// title and marks classes for streaming by name, sets up the type
// registries and palettes, and registers the standard series types
// (RegisterStandardSeries), then the map series (RegisterMapSeries), the
// basic functions and the axis appearance texts the menus' "Default" uses. Counted: only the first call does it;
// FinalizePlotEngine undoes it at the last matching call.
void InitializePlotEngine();
void FinalizePlotEngine();
// The standard gallery page's series types, in gallery order.
void RegisterStandardSeries();

// The chart library's whole start-up, in dependency order: the message
// texts, the blending bindings and default font, the panel routines
// (palette, hand cursor), the picture formats, then the engine
// (InitializePlotEngine). FinalizeChartLibrary undoes it in reverse order.
// The application calls these once around its life; nothing is set up by
// static initialisers.
void InitializeChartLibrary();
void FinalizeChartLibrary();

} // namespace lp
