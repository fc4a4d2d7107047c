#pragma once
// The status bar with typed panels: each panel draws itself by its type —
// plain text, a lock-key indicator, a date or time clock, ellipsised text or
// path, a picture with text, a percent or animated gauge, or drawing by the
// application.
//
//   TsbStatusBar (a TStatusBar)
//     ├─ TStatusBar::Panels()  base panels: layout and bevels, all owner-drawn
//     └─ TsbStatusPanels ──owns──> TsbStatusPanel ──owns──> TsbGaugeAttrs,
//          │                          │                      Glyph, gradient
//          │                          └─ linked base panel (same index)
//          └─ the shared timer (only while a date, time or animated gauge
//             panel is enabled) and its client list
//
// Paint order: the base bar fills the bar and draws each panel's bevel, then
// asks DrawPanel for its inside: the bar's OnDrawPanel first, then the
// panel's own drawing (or its OnDrawPanel for sptOwnerDraw panels).
//
// Services of a panel type, joined while the panel is enabled (and the bar
// too): lock panels listen to the lock keys and to the application being
// switched away and back; date, time and animated gauge panels are clients
// of the timer (60000 ms for dates only, 1000 ms with a time, 50 ms with an
// animated gauge).

#include "platform/core/Collections.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/Timer.h"

#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace lp {

class TsbStatusBar;
class TsbStatusPanel;
class TsbStatusPanels;

class TsbGaugeAttrs : public TPersistent {
    Q_OBJECT
public:
    enum TsbGaugeStyle { gsPercent, gsIndeterminate, gsIndeterminate2 };
    Q_ENUM(TsbGaugeStyle)

private:
    Q_PROPERTY(TsbGaugeStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "gsPercent")
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_CLASSINFO("default:Position", "0")
    Q_PROPERTY(int Speed READ Speed WRITE SetSpeed)
    Q_CLASSINFO("default:Speed", "4")
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0x8000000D")
    Q_PROPERTY(int TextColor READ TextColor WRITE SetTextColor)
    Q_CLASSINFO("default:TextColor", "0x8000000E")

public:
    explicit TsbGaugeAttrs(TsbStatusPanel* Owner);

    TsbGaugeStyle Style() const { return FStyle; }
    void SetStyle(TsbGaugeStyle Value);
    // Per cent; values outside 0 … 100 are clamped.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    // Pixels per animation step; values below 1 are ignored.
    int Speed() const { return FSpeed; }
    void SetSpeed(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value);

    TsbStatusPanel* Owner() const { return FOwner; }
    // Copies Position and Style (through their writes) from other gauge
    // attributes; they stay with their own panel.
    void Assign(const TPersistent* Source) override;

private:
    TsbStatusPanel* FOwner;
    TsbGaugeStyle FStyle = gsPercent;
    int FPosition = 0;
    int FSpeed = 4;
    TColor FColor = clHighlight;
    TColor FTextColor = clHighlightText;
};

using TsbGaugeStyle = TsbGaugeAttrs::TsbGaugeStyle;
inline constexpr TsbGaugeStyle gsPercent = TsbGaugeAttrs::gsPercent, gsIndeterminate = TsbGaugeAttrs::gsIndeterminate,
                               gsIndeterminate2 = TsbGaugeAttrs::gsIndeterminate2;

class TsbStatusPanel : public TCollectionItem {
    Q_OBJECT
public:
    enum TsbStatusPanelType {
        sptNormal, sptCapsLock, sptNumLock, sptScrollLock, sptDate, sptTime, sptDateTime, sptTimeDate,
        sptEllipsisText, sptEllipsisPath, sptGlyph, sptGauge, sptOwnerDraw
    };
    Q_ENUM(TsbStatusPanelType)

private:
    Q_PROPERTY(lp::TsbGaugeAttrs* GaugeAttrs READ GaugeAttrs)
    Q_PROPERTY(lp::TStatusPanel::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_CLASSINFO("default:Alignment", "taLeftJustify")
    Q_PROPERTY(lp::TStatusPanel::TStatusPanelBevel Bevel READ Bevel WRITE SetBevel)
    Q_CLASSINFO("default:Bevel", "pbLowered")
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_CLASSINFO("default:BorderWidth", "0")
    Q_PROPERTY(lp::TStatusPanel::TBiDiMode BiDiMode READ BiDiMode WRITE SetBiDiMode)
    Q_CLASSINFO("stored:BiDiMode", "IsBiDiModeStored")
    Q_PROPERTY(bool ParentBiDiMode READ ParentBiDiMode WRITE SetParentBiDiMode)
    Q_CLASSINFO("default:ParentBiDiMode", "true")
    Q_PROPERTY(TsbStatusPanelType PanelType READ PanelType WRITE SetPanelType)
    Q_CLASSINFO("default:PanelType", "sptNormal")
    Q_PROPERTY(lp::TPicture* Glyph READ Glyph)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_CLASSINFO("default:Text", "")
    Q_CLASSINFO("stored:Text", "IsTextStored")
    Q_PROPERTY(QString DateFormat READ DateFormat WRITE SetDateFormat)
    Q_CLASSINFO("default:DateFormat", "")
    Q_PROPERTY(QString TimeFormat READ TimeFormat WRITE SetTimeFormat)
    Q_CLASSINFO("default:TimeFormat", "")
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_CLASSINFO("default:Enabled", "true")
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(bool AutoFit READ AutoFit WRITE SetAutoFit)
    Q_CLASSINFO("default:AutoFit", "false")
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_CLASSINFO("default:Hint", "")

public:
    // Joins Collection, which must be a TsbStatusPanels (else
    // EInvalidOperation "TsbStatusPanel owner must be TsbStatusPanesls"),
    // with a new linked panel of the bar at the same index.
    explicit TsbStatusPanel(TCollection* Collection);
    // Leaves the services of its type; frees its linked panel.
    ~TsbStatusPanel() override;

    TsbGaugeAttrs* GaugeAttrs() const { return FGaugeAttrs.get(); }
    TAlignment Alignment() const;
    void SetAlignment(TAlignment Value);
    TStatusPanelBevel Bevel() const;
    void SetBevel(TStatusPanelBevel Value);
    // Inner margin on each side; negative values are stored as 0.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TBiDiMode BiDiMode() const;
    void SetBiDiMode(TBiDiMode Value);
    Q_INVOKABLE bool IsBiDiModeStored() const { return !ParentBiDiMode(); }
    bool ParentBiDiMode() const;
    void SetParentBiDiMode(bool Value);
    TsbStatusPanelType PanelType() const { return FPanelType; }
    void SetPanelType(TsbStatusPanelType Value);
    // The picture of sptGlyph panels; SetGlyph copies the picture.
    TPicture* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TPicture* Value);
    QString Text() const { return FText; }
    void SetText(const QString& Value);
    Q_INVOKABLE bool IsTextStored() const;
    // Empty: the bar's short date format.
    QString DateFormat() const { return FDateFormat; }
    void SetDateFormat(const QString& Value);
    // Empty: the bar's long time format.
    QString TimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(const QString& Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int Width() const;
    // Ignored while AutoFit is on (except while the bar is loading).
    void SetWidth(int Value);
    bool AutoFit() const { return FAutoFit; }
    void SetAutoFit(bool Value);
    QString Hint() const { return FHint; }
    void SetHint(const QString& Value) { FHint = Value; }

    std::function<void(TsbStatusBar*, TsbStatusPanel*, const TRect&)> OnDrawPanel;
    std::function<void(TsbStatusBar*, TsbStatusPanel*, QString&)> OnHintText;
    std::function<void(TsbStatusPanel*)> OnClick;

    // The bar (nullptr once the bar has gone).
    TsbStatusBar* StatusBar() const;
    // The base panel that lays this one out.
    TStatusPanel* LinkedPanel() const { return FLinkedPanel; }
    // Enabled, and the bar too.
    bool EffectiveEnabled() const;
    // The lock state shown: the monitor's report in monitor mode, else the
    // desktop's.
    bool LockOn() const;
    // The state the monitor library reported last.
    bool KeyOn() const { return FKeyOn; }
    // An sptGauge panel of an indeterminate style.
    bool IsAnimatedGauge() const;
    // The key code of a lock panel's key (VK_CAPITAL for other types).
    int LockKey() const;
    int GaugePosition() const { return FGaugePosition; }
    int GaugeStep() const { return FGaugeStep; }

    // Moves the linked panel along.
    void SetIndex(int Value) override;
    QString DisplayName() const override;
    // Copies everything but BorderWidth and OnClick; PanelType last.
    void Assign(const TPersistent* Source) override;

    // Draws the inside of the panel (Rect: the linked panel's rectangle).
    void DrawPanel(TCanvas& Canvas, const TRect& Rect);
    // The bar's panel-draw request: OnDrawPanel for sptOwnerDraw at run
    // time when assigned, else DrawPanel.
    void Redraw(TCanvas& Canvas, const TRect& Rect);
    // Repaints the panel now.
    void Invalidate();
    // One animation step of an indeterminate gauge.
    void StepGauge();
    // Formats the date or time text now; repaints when it changed.
    void UpdateDateTime();
    // Sets the width from the text and picture when AutoFit is on.
    void FitWidth();

private:
    friend class TsbStatusBar;
    friend class TsbGaugeAttrs;
    enum TService { svNone, svKeyboardHook, svMonitor, svTimer };

    bool IsLockType() const { return FPanelType >= sptCapsLock && FPanelType <= sptScrollLock; }
    bool IsDateTimeType() const { return FPanelType >= sptDate && FPanelType <= sptTimeDate; }
    void JoinServices();
    void LeaveServices();
    void ResetGauge();
    void GaugeStyleChanging(TsbGaugeStyle NewStyle);
    void GaugeColorChanged();
    // The area the type draws in, for a panel rectangle.
    TRect InnerRect(const TRect& Rect) const;
    // The area of the panel as the bar lays it out now.
    TRect CurrentInnerRect() const;
    unsigned TextFormat() const;
    void DrawTextType(TCanvas& Canvas, const TRect& R, const QString& Text, unsigned ExtraFormat);
    void DrawLock(TCanvas& Canvas, const TRect& R);
    void DrawGlyph(TCanvas& Canvas, const TRect& R);
    void DrawPercentGauge(TCanvas& Canvas, const TRect& R);
    void DrawAnimatedGauge(TCanvas& Canvas, const TRect& R);
    const TBitmap& GradientBitmap();

    // The collection the panel was made in; it outlives the panel, which may
    // already have left it when its destructor runs.
    TsbStatusPanels* FPanels = nullptr;
    TStatusPanel* FLinkedPanel = nullptr;
    std::unique_ptr<TsbGaugeAttrs> FGaugeAttrs;
    std::unique_ptr<TPicture> FGlyph;
    std::unique_ptr<TBitmap> FGradient;
    TsbStatusPanelType FPanelType = sptNormal;
    int FBorderWidth = 0;
    QString FText;
    QString FDateFormat;
    QString FTimeFormat;
    bool FEnabled = true;
    bool FAutoFit = false;
    QString FHint;
    TService FService = svNone;
    bool FKeyOn = false;
    int FGaugePosition = 0;
    int FGaugeStep = 1;
};

using TsbStatusPanelType = TsbStatusPanel::TsbStatusPanelType;

class TsbStatusPanels : public TCollection {
    Q_OBJECT
public:
    explicit TsbStatusPanels(TsbStatusBar* StatusBar);
    ~TsbStatusPanels() override;

    TsbStatusPanel* Add() { return static_cast<TsbStatusPanel*>(TCollection::Add()); }
    // The panel at Index; ERangeError outside 0 .. Count - 1.
    TsbStatusPanel* GetItem(int Index) const { return static_cast<TsbStatusPanel*>(Items(Index)); }
    TsbStatusBar* StatusBar() const { return FStatusBar; }

    // The shared timer, or nullptr while no panel needs it.
    TTimer* Timer() const { return FTimer.get(); }
    // Adds a client (once) and sets the interval; creates the timer first.
    void JoinTimer(TsbStatusPanel* Panel);
    // Removes a client; frees the timer with the last one.
    void LeaveTimer(TsbStatusPanel* Panel);
    // One timer tick: time panels always, date panels when the date has
    // changed, animated gauges one step.
    void TimerTick();

protected:
    void Update(TCollectionItem* Item) override;

private:
    friend class TsbStatusBar;
    void SetInterval();

    TsbStatusBar* FStatusBar;
    std::unique_ptr<TTimer> FTimer;
    double FTimerDate = 0;
    std::vector<TsbStatusPanel*> FTimerClients;
};

class TsbStatusBar : public TStatusBar {
    Q_OBJECT
    Q_PROPERTY(bool UseMonitorDLL READ UseMonitorDLL WRITE SetUseMonitorDLL)
    Q_CLASSINFO("default:UseMonitorDLL", "false")
    Q_PROPERTY(lp::TsbStatusPanels* Panels READ PanelsObject)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_CLASSINFO("default:Hint", "")

public:
    explicit TsbStatusBar(TComponent* AOwner = nullptr);
    ~TsbStatusBar() override;

    // Lock panels take their state from the keyboard-monitor library instead
    // of the desktop. No such library exists here: the switch falls back to
    // False (in the designer with "Could not load SBKbMon.dll").
    bool UseMonitorDLL() const { return FUseMonitorDLL; }
    void SetUseMonitorDLL(bool Value);
    TsbStatusPanels& Panels() const { return *FPanels; }
    TsbStatusPanels* PanelsObject() const { return FPanels.get(); }
    // Assigns the whole collection.
    void SetPanels(const TsbStatusPanels& Value);
    QString Version() const;
    void SetVersion(const QString&) {}
    QString Hint() const { return FHint; }
    void SetHint(const QString& Value) { FHint = Value; }

    // Called for every panel drawn, before the panel's own drawing.
    std::function<void(TsbStatusBar*, TsbStatusPanel*, const TRect&)> OnDrawPanel;

    // The clock of date, time and timer: the local date and time as a date
    // value. Replaceable (tests run on a clock of their own).
    std::function<double()> Clock;
    double Now() const;
    // Names and system formats used for the date and time panels.
    TDateTimeFormatSettings FormatSettings;

    // Repaints panel Index now (nothing outside the panels, for an empty
    // rectangle, or without a window).
    void InvalidatePanel(int Index);
    // Repaints every lock panel (what the desktop's switch-back asks for).
    void RefreshLockPanels();
    // A report of the keyboard-monitor library: the lock panels of the key
    // (144 Num Lock, 145 Scroll Lock, any other Caps Lock) take the state.
    void MonitorMessage(int VirtualKey, bool Toggled);
    // Width of a text in the bar's font; (-1) when it cannot be measured.
    int MeasureText(const QString& Text) const;
    // The hint for a point: the panel's (its rectangle as CursorRect), or
    // the bar's with CursorRect narrowed to end at the nearest panels that
    // have hints. False when the text is empty.
    bool HintAt(int X, int Y, QString& HintText, TRect& CursorRect) const;

    void Loaded() override;
    void Paint(TCanvas& Canvas) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Click() override;

protected:
    void DrawPanel(TCanvas& Canvas, TStatusPanel* Panel, const TRect& Rect) override;
    void FontChanged() override;
    void EnabledChanged() override;

private:
    friend class TsbStatusPanel;
    TsbStatusPanel* PanelOfLink(const TStatusPanel* Link) const;
    void RefitPanels();

    std::unique_ptr<TsbStatusPanels> FPanels;
    std::unique_ptr<TBitmap> FMeasure;
    bool FUseMonitorDLL = false;
    int FMonitorPanels = 0;
    unsigned FMonitorMessage = 0;
    std::vector<TsbStatusPanel*> FMainWinHookPanels;
    QString FHint;
    TPoint FMouseDown;
    std::unique_ptr<QObject> FHintFilter;
    QPointer<QWidget> FHintWindow;
};

// The end of the status bars in the process, called by the application's
// shutdown: unloads the keyboard-monitor library, removes a lock-key
// listener still installed and checks that every service was left. Raises
// EAssertionFailed "TsbStatusBar: Keyboard hook still installed" or
// "TsbStatusBar: Unbalanced timer registrations" when a bar is still alive.
void FinalizeStatusBars();

} // namespace lp
