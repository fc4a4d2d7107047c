#pragma once
// The chart panel: the control every chart draws on.
//
//   TCustomPanelNoCaption (TControl)   colour, bevels, border width
//     └─ TCustomPlotPanel
//          ├─owns─> TPlotCanvas3D       the canvas of every drawing pass
//          ├─owns─> TChartHiddenPen     frame pen (Border)
//          ├─owns─> TPlotShadow         frame shadow
//          ├─owns─> TView3DOptions      3-D view settings
//          ├─owns─> TZoomPanning        state of a scrolling drag
//          └─observes─> listeners       chart tools receiving mouse and 3-D events
//
// One drawing pass (DrawToCanvas) onto any target canvas:
//   InitWindow → chart rectangle from bounds, frame, bevels and margins →
//   InternalDraw (subclasses paint background and content) → ShowImage.
// A window paint first tries to repaint from the canvas's buffer bitmap.
// Metafiles, bitmaps and printer pages run an unbuffered pass
// (DrawToMetaCanvas). Everything here runs on the user-interface thread.

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPens.h"
#include "platform/graphics/Metafile.h"
#include "platform/ui/Controls.h"

#include <QtCore/QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace lp {

class TCustomPlotPanel;

// A metafile (or other output) file that cannot be created or written.
class EFCreateError : public Exception {
public:
    using Exception::Exception;
};

// Switches shared by every panel; other code may change them.
// Clip to regions while printing / while recording a metafile.
inline bool PlotClipWhenPrinting = true;
inline bool PlotClipWhenMetafiling = true;
// Let the window erase its background before painting (off: the panel
// paints every pixel itself, which avoids flicker).
inline bool PlotEraseBackground = false;
// Paint the panel colour and the bevels on printer pages too.
inline bool PlotBackgroundWhenPrinting = false;

// --- TCustomPanelNoCaption ---------------------------------------------------------------

// A panel without caption text: colour, outer and inner bevel, border width.
class TCustomPanelNoCaption : public TControl {
    Q_OBJECT
public:
    enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
    Q_ENUM(TBevelCut)

private:
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0x8000000F")
    Q_PROPERTY(TBevelCut BevelInner READ BevelInner WRITE SetBevelInner)
    Q_CLASSINFO("default:BevelInner", "bvNone")
    Q_PROPERTY(TBevelCut BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_CLASSINFO("default:BevelOuter", "bvRaised")
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_CLASSINFO("default:BevelWidth", "1")
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_CLASSINFO("default:BorderWidth", "0")

public:
    explicit TCustomPanelNoCaption(TComponent* AOwner = nullptr);

    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut value);
    // Pixels of each bevel; below 1 raises ERangeError.
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int value);
    // Pixels between the bevels; negative raises ERangeError.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);

private:
    TColor FColor = clBtnFace;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
};

using TBevelCut = TCustomPanelNoCaption::TBevelCut;
inline constexpr TBevelCut bvNone = TCustomPanelNoCaption::bvNone;
inline constexpr TBevelCut bvLowered = TCustomPanelNoCaption::bvLowered;
inline constexpr TBevelCut bvRaised = TCustomPanelNoCaption::bvRaised;
inline constexpr TBevelCut bvSpace = TCustomPanelNoCaption::bvSpace;

// A bevel of Kind inside R on Canvas, Width pixels wide; R ends inset by
// Width. Round > 0: a rounded rectangle (shadow colour when lowered, else
// highlight); otherwise a 3-D frame, highlight on top and left unless
// lowered, shadow on right and bottom only when raised. bvNone draws nothing.
void DrawBevel(TCanvas3D& Canvas, TBevelCut Kind, TRect& R, int Width, int Round);

// --- Events and listeners --------------------------------------------------------------------

class TPlotEvent {
public:
    virtual ~TPlotEvent() = default;
    TCustomPlotPanel* Sender = nullptr;
};

class TPlotMouseEvent : public TPlotEvent {
public:
    enum TPlotMouseEventKind { meDown = 0, meUp = 1, meMove = 2 };
    TPlotMouseEventKind Event = meDown;
    TMouseButton Button = mbLeft;
    TShiftState Shift;
    int X = 0; // client pixels
    int Y = 0;
};

// Sent when View3D changes.
class TPlotView3DEvent : public TPlotEvent {};

// What a chart tool implements to receive panel events.
class IPlotEventListener {
public:
    virtual ~IPlotEventListener() = default;
    virtual void PlotEvent(TPlotEvent& Event) = 0;
};

// The listeners of a panel, in the order they were added. The list observes
// them: a listener removes itself (RemoveListener) before it goes away.
class TPlotEventListeners {
public:
    // The listener's index; a listener already in the list keeps its place.
    int Add(IPlotEventListener* Listener);
    // Removes the listener; nothing when it is not in the list.
    void Remove(IPlotEventListener* Listener);
    int IndexOf(const IPlotEventListener* Listener) const;
    int Count() const { return static_cast<int>(FItems.size()); }
    // ERangeError outside 0 .. Count - 1.
    IPlotEventListener* Item(int Index) const;

private:
    std::vector<IPlotEventListener*> FItems;
};

// --- TZoomPanning ----------------------------------------------------------------------------

// The state of a mouse drag: whether one runs and its two corners (client
// pixels).
class TZoomPanning : public TPersistent {
    Q_OBJECT
public:
    TZoomPanning();

    bool Active = false;
    int X0 = 0;
    int Y0 = 0;
    int X1 = 0;
    int Y1 = 0;

    // Starts a drag at (X, Y): both corners there.
    void Activate(int X, int Y);
    // Swaps corners so that X0 <= X1 and Y0 <= Y1.
    void NormalizeRect();
};

// --- TCustomPlotPanel ------------------------------------------------------------------------

class TCustomPlotPanel : public TCustomPanelNoCaption {
    Q_OBJECT
public:
    enum TPlotUnits { muPercent, muPixels };
    Q_ENUM(TPlotUnits)

private:
    // The panel's own cursor (SavedCursor), not one a series or tool under
    // the mouse, or a drag, shows for a while: a file never keeps those.
    Q_PROPERTY(int Cursor READ SavedCursor WRITE SetCursor)
    Q_CLASSINFO("default:Cursor", "0")
    Q_PROPERTY(lp::TChartHiddenPen* Border READ Border WRITE SetBorder)
    Q_PROPERTY(int BorderRound READ BorderRound WRITE SetBorderRound)
    Q_CLASSINFO("default:BorderRound", "0")
    Q_PROPERTY(int MarginLeft READ MarginLeft WRITE SetMarginLeft)
    Q_CLASSINFO("default:MarginLeft", "3")
    Q_PROPERTY(int MarginTop READ MarginTop WRITE SetMarginTop)
    Q_CLASSINFO("default:MarginTop", "4")
    Q_PROPERTY(int MarginRight READ MarginRight WRITE SetMarginRight)
    Q_CLASSINFO("default:MarginRight", "3")
    Q_PROPERTY(int MarginBottom READ MarginBottom WRITE SetMarginBottom)
    Q_CLASSINFO("default:MarginBottom", "4")
    Q_PROPERTY(TPlotUnits MarginUnits READ MarginUnits WRITE SetMarginUnits)
    Q_CLASSINFO("default:MarginUnits", "muPercent")
    Q_PROPERTY(bool Monochrome READ Monochrome WRITE SetMonochrome)
    Q_CLASSINFO("default:Monochrome", "false")
    Q_PROPERTY(bool PrintProportional READ PrintProportional WRITE SetPrintProportional)
    Q_CLASSINFO("default:PrintProportional", "true")
    Q_PROPERTY(int PrintResolution READ PrintResolution WRITE SetPrintResolution)
    Q_CLASSINFO("default:PrintResolution", "0")
    Q_PROPERTY(lp::TPlotShadow* Shadow READ Shadow WRITE SetShadow)
    Q_PROPERTY(bool View3D READ View3D WRITE SetView3D)
    Q_CLASSINFO("default:View3D", "true")
    Q_PROPERTY(lp::TView3DOptions* View3DOptions READ View3DOptions WRITE SetView3DOptions)
    Q_PROPERTY(bool BufferedDisplay READ BufferedDisplay WRITE SetBufferedDisplay)
    Q_CLASSINFO("default:BufferedDisplay", "true")

public:
    // Width 400, height 250, margins 3, 4, 3, 4 per cent, print margins 15.
    explicit TCustomPlotPanel(TComponent* AOwner = nullptr);
    ~TCustomPlotPanel() override;

    // From another panel: border, rounding, buffering, print settings,
    // margins and their unit, monochrome, shadow, View3D (without telling
    // listeners), view options and colour.
    void Assign(const TPersistent* Source) override;
    void Loaded() override;
    // Reads a property name older stored panels used; true when the name is
    // claimed. "BorderStyle": the border pen is visible exactly when the
    // value is "bsSingle".
    virtual bool ReadOldProperty(const QString& Name, const QVariant& Value);
    // "BorderStyle", read from earlier files and never written.
    void DefineProperties(TFiler& Filer) override;

    // --- Published properties ---

    TChartHiddenPen* Border() const { return FBorder.get(); }
    void SetBorder(const TChartHiddenPen* value);
    // Corner radius (pixels) of the window region and of the frame; 0 square.
    int BorderRound() const { return FBorderRound; }
    void SetBorderRound(int value);
    // Index 0 left, 1 top, 2 right, 3 bottom; ERangeError otherwise.
    int Margin(int Index) const;
    void SetMargin(int Index, int value);
    int MarginLeft() const { return Margin(0); }
    void SetMarginLeft(int value) { SetMargin(0, value); }
    int MarginTop() const { return Margin(1); }
    void SetMarginTop(int value) { SetMargin(1, value); }
    int MarginRight() const { return Margin(2); }
    void SetMarginRight(int value) { SetMargin(2, value); }
    int MarginBottom() const { return Margin(3); }
    void SetMarginBottom(int value) { SetMargin(3, value); }
    TPlotUnits MarginUnits() const { return FMarginUnits; }
    void SetMarginUnits(TPlotUnits value);
    bool Monochrome() const { return FCanvas->GetMonochrome(); }
    void SetMonochrome(bool value) { FCanvas->SetMonochrome(value); }
    bool BufferedDisplay() const { return FCanvas->GetBufferedDisplay(); }
    void SetBufferedDisplay(bool value) { FCanvas->SetBufferedDisplay(value); }
    bool PrintProportional() const { return FPrintProportional; }
    void SetPrintProportional(bool value) { FPrintProportional = value; }
    // Per cent by which the logical size shrinks when printing (negative
    // enlarges).
    int PrintResolution() const { return FPrintResolution; }
    void SetPrintResolution(int value) { FPrintResolution = value; }
    TPlotShadow* Shadow() const { return FShadow.get(); }
    void SetShadow(const TPlotShadow* value);
    bool View3D() const { return FView3D; }
    // A change tells the listeners (TPlotView3DEvent).
    void SetView3D(bool value);
    TView3DOptions* View3DOptions() const { return FView3DOptions.get(); }
    void SetView3DOptions(const TView3DOptions* value);

    // Page margins in per cent (Left, Top, Right, Bottom).
    TRect PrintMargins() const { return FPrintMargins; }
    void SetPrintMargins(const TRect& value) { FPrintMargins = value; }

    // --- State ---

    TPlotCanvas3D& Canvas() const { return *FCanvas; }
    TPlotEventListeners& Listeners() const { return *FListeners; }
    TZoomPanning& Panning() const { return *FPanning; }
    bool RepaintEnabled() const { return FRepaintEnabled; }
    // Cleared while a paint or a batch of changes runs, so that nothing asks
    // for a repaint in between.
    void SetRepaintEnabled(bool value) { FRepaintEnabled = value; }
    bool InterleaveSameZOrder() const { return FInterleaveSameZOrder; }
    void SetInterleaveSameZOrder(bool value) { SetBooleanProperty(FInterleaveSameZOrder, value); }
    bool MouseCancelled() const { return FMouseCancelled; }
    void SetMouseCancelled(bool value) { FMouseCancelled = value; }
    TRect PanelBounds() const { return FPanelBounds; }
    int ChartRectWidth() const { return FChartRectWidth; }
    int ChartRectHeight() const { return FChartRectHeight; }
    int ChartCenterX() const { return FChartCenterX; }
    int ChartCenterY() const { return FChartCenterY; }
    TRect ChartRectangle() const { return FChartRect; }
    void SetChartRectangle(const TRect& value) { FChartRect = value; }
    bool FixedChartRectangle() const { return FFixedChartRect; }
    void SetFixedChartRectangle(bool value) { FFixedChartRect = value; }
    bool Printing() const { return FPrinting; }
    // Set while another control draws the panel for a page (a print
    // preview), so the panel draws as it prints.
    void SetPrinting(bool value) { FPrinting = value; }
    int Depth3D() const { return FDepth3D; }
    void SetDepth3D(int value) { FDepth3D = value; }
    // The panel's own cursor: the one shown when nothing passing is, and
    // the one a file stores.
    TCursor SavedCursor() const { return FSavedCursor; }
    void SetSavedCursor(TCursor value) { FSavedCursor = value; }
    // Sets the panel's own cursor and shows it.
    void SetCursor(TCursor value);
    // Shows a cursor for a passing state (a series or a tool under the
    // mouse, a drag under way); the own cursor stays as it is and comes
    // back when the mouse leaves or passes over nothing.
    void ShowCursor(TCursor value) { TControl::SetCursor(value); }

    // Called before the panel draws on a printer canvas; may change R.
    std::function<void(TCustomPlotPanel* Sender, TCanvas& Canvas, TRect& R)> OnBeforePrint;
    // After every window paint.
    std::function<void(TCustomPlotPanel* Sender)> OnAfterPaint;

    // --- Change helpers: store and invalidate only on a change ---

    void SetBooleanProperty(bool& Variable, bool Value);
    void SetIntegerProperty(int& Variable, int Value);
    void SetColorProperty(TColor& Variable, TColor Value);
    void SetDoubleProperty(double& Variable, double Value);
    void SetStringProperty(QString& Variable, const QString& Value);

    // --- Virtual operations ---

    // The colour behind the drawing (the panel colour).
    virtual TColor GetBackColor() const;
    // Draws the panel's content into Rect; nothing here.
    virtual void InternalDraw(const TRect& UserRectangle);
    // The change notification of the owned property objects.
    virtual void PropertyChanged(TPersistent* Sender);
    // One complete drawing pass onto Canvas within Rect.
    virtual void DrawToCanvas(TCanvas* Canvas, const TRect& Rect);
    // (0, 0, Width, Height) of the control.
    virtual TRect GetRectangle() const;
    // Frame pen, outer bevel, border width, inner bevel, inside Rect.
    virtual void DrawPanelBevels(const TRect& Rect);

    // --- Drawing entry points ---

    void Paint(TCanvas& canvas) override;
    // Only while RepaintEnabled: the canvas buffer and then the window.
    void Invalidate() override;
    void Resize() override;
    // The caller owns the returned graphics.
    std::unique_ptr<TMetafile> CreateMetafile(bool Enhanced, const TRect& Rect);
    // Writes the panel as a metafile: an enhanced one (EMF) unless the name
    // ends in ".wmf" (then the placeable WMF). EFCreateError when the file
    // cannot be written; an existing file is then left as it was.
    void SaveToMetafile(const QString& FileName);
    void SaveToMetafileRect(bool Enhanced, const QString& FileName, const TRect& Rect);
    // An unbuffered pass onto Canvas with the canvas's metafiling flag set.
    void DrawToMetaCanvas(TCanvas* Canvas, const TRect& Rect);
    // A bitmap of Rect's size, pre-filled with BackColor unless it is white.
    std::unique_ptr<TBitmap> CreateBitmap(TColor BackColor, const TRect& Rect,
                                          TBitmap::TPixelFormat PixelFormat = TBitmap::pfDevice);
    // Whether drawing may clip to regions in the current pass.
    bool CanClip() const;
    // Sets the canvas brush from Brush in Color; a hatch whose colour equals
    // the background becomes black (white on black).
    void SetBrushCanvas(TColor AColor, const TChartBrush& ABrush, TColor ABackColor);

    // --- Printing (none of these starts or ends a print job) ---

    // The page rectangle of the printer for the print margins.
    TRect CalcPrintRect();
    // Margins that keep the panel's shape on the page; each lies from 0 to
    // 49 per cent, so the picture stays on the paper with room left.
    TRect CalcProportionalMargins() const;
    void PrintPartial(const TRect& PrinterRect);
    void PrintPartialCanvas(TCanvas& Canvas, const TRect& PrinterRect);
    // The logical size the panel draws at for PrintResolution (LW, LH) and
    // Target scaled per side into it.
    void CalcScaledBounds(const TRect& Target, const TRect& PanelRect, int& LogicalWidth, int& LogicalHeight,
                          TRect& Scaled) const;

    // --- Mouse and listeners ---

    void MouseDown(TMouseButton button, TShiftState shift, int X, int Y) override;
    void MouseMove(TShiftState shift, int X, int Y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int X, int Y) override;
    // Raises EAbort (a silent end of the action) when a handler set
    // MouseCancelled.
    void DblClick() override;
    // Restores SavedCursor and ends a panning drag.
    void MouseLeave() override;
    // Gives Event to each listener in order (stopping a mouse event once
    // MouseCancelled is set); returns Event.
    TPlotEvent& BroadcastPlotEvent(TPlotEvent& Event);
    void RemoveListener(IPlotEventListener* Listener);
    // The mouse position in client coordinates.
    TPoint GetCursorPos() const;
    // The rounded window region for BorderRound (nothing without a window).
    void ApplyRoundedRegion();
    // Tells the panel the desktop colours changed.
    void SysColorChange() { Invalidate(); }

protected:
    // Into a graphic or picture: a bitmap of the panel over its colour.
    void AssignTo(TPersistent* Dest) const override;
    // The chart rectangle's width, height and centre from the rectangle.
    void RecalcWidthHeight();
    // Name, read from earlier files into ReadOldProperty and never written.
    void DefineOldProperty(TFiler& Filer, const QString& Name);

private:
    void BroadcastMouseEvent(TPlotMouseEvent::TPlotMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X,
                             int Y);

    bool FInterleaveSameZOrder = true;
    bool FRepaintEnabled = false;
    std::unique_ptr<TChartHiddenPen> FBorder;
    int FBorderRound = 0;
    bool FMouseCancelled = false;
    TRect FPanelBounds;
    int FChartRectWidth = 0;
    int FChartRectHeight = 0;
    int FChartCenterX = 0;
    int FChartCenterY = 0;
    int FMargins[4] = {3, 4, 3, 4};
    TPlotUnits FMarginUnits = TPlotUnits::muPercent;
    TCursor FSavedCursor = crDefault;
    std::unique_ptr<TZoomPanning> FPanning;
    bool FPrinting = false;
    TRect FPrintMargins{15, 15, 15, 15};
    bool FPrintProportional = true;
    int FPrintResolution = 0;
    std::unique_ptr<TPlotShadow> FShadow;
    bool FView3D = true;
    std::unique_ptr<TView3DOptions> FView3DOptions;
    int FDepth3D = 0;
    std::unique_ptr<TPlotEventListeners> FListeners;
    bool FRegionGuard = false;
    std::unique_ptr<TPlotCanvas3D> FCanvas;
    bool FFixedChartRect = false;
    TRect FChartRect;
};

using TPlotUnits = TCustomPlotPanel::TPlotUnits;
inline constexpr TPlotUnits muPercent = TCustomPlotPanel::muPercent;
inline constexpr TPlotUnits muPixels = TCustomPlotPanel::muPixels;

} // namespace lp
