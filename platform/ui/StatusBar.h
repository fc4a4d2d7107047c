#pragma once
// The status bar: a strip at the bottom of a window divided into panels.
//
//   TStatusBar (a TControl) ──owns──> TStatusPanels ──owns──> TStatusPanel …
//
// Panels are laid out from the left at their widths, 2 pixels apart, the
// last one reaching to the size grip (or the bar's right edge); each panel is drawn in its bevel, then its text,
// or, for an owner-drawn panel, by DrawPanel (OnDrawPanel by default). A
// size grip sits in the bar's bottom-right corner.

#include "platform/core/Collections.h"
#include "platform/ui/Controls.h"

#include <functional>
#include <memory>

namespace lp {

class TStatusBar;

class TStatusPanel : public TCollectionItem {
    Q_OBJECT
public:
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)
    enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
    Q_ENUM(TStatusPanelBevel)
    enum TStatusPanelStyle { psText, psOwnerDraw };
    Q_ENUM(TStatusPanelStyle)
    enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
    Q_ENUM(TBiDiMode)

private:
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_CLASSINFO("default:Alignment", "taLeftJustify")
    Q_PROPERTY(TStatusPanelBevel Bevel READ Bevel WRITE SetBevel)
    Q_CLASSINFO("default:Bevel", "pbLowered")
    Q_PROPERTY(TBiDiMode BiDiMode READ BiDiMode WRITE SetBiDiMode)
    Q_CLASSINFO("stored:BiDiMode", "IsBiDiModeStored")
    Q_PROPERTY(bool ParentBiDiMode READ ParentBiDiMode WRITE SetParentBiDiMode)
    Q_CLASSINFO("default:ParentBiDiMode", "true")
    Q_PROPERTY(TStatusPanelStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "psText")
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_CLASSINFO("default:Text", "")
    Q_PROPERTY(int Width READ Width WRITE SetWidth)

public:
    explicit TStatusPanel(TCollection* Collection);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);
    // The bar's mode while ParentBiDiMode is on.
    TBiDiMode BiDiMode() const;
    void SetBiDiMode(TBiDiMode Value);
    Q_INVOKABLE bool IsBiDiModeStored() const { return !FParentBiDiMode; }
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool Value);
    TStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TStatusPanelStyle Value);
    QString Text() const { return FText; }
    void SetText(const QString& Value);
    int Width() const { return FWidth; }
    // Negative widths are stored as 0.
    void SetWidth(int Value);

    // The bar the panel belongs to, or nullptr.
    TStatusBar* StatusBar() const;

    void Assign(const TPersistent* Source) override;

private:
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelBevel FBevel = pbLowered;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    TStatusPanelStyle FStyle = psText;
    QString FText;
    int FWidth = 50;
};

using TAlignment = TStatusPanel::TAlignment;
using TStatusPanelBevel = TStatusPanel::TStatusPanelBevel;
using TBiDiMode = TStatusPanel::TBiDiMode;
inline constexpr TAlignment taLeftJustify = TStatusPanel::taLeftJustify, taRightJustify = TStatusPanel::taRightJustify,
                            taCenter = TStatusPanel::taCenter;
inline constexpr TStatusPanelBevel pbNone = TStatusPanel::pbNone, pbLowered = TStatusPanel::pbLowered,
                                   pbRaised = TStatusPanel::pbRaised;

class TStatusPanels : public TCollection {
    Q_OBJECT
public:
    explicit TStatusPanels(TStatusBar* StatusBar);
    ~TStatusPanels() override;

    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    // ERangeError outside 0 .. Count - 1.
    TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }
    TStatusBar* StatusBar() const { return FStatusBar; }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TStatusBar* FStatusBar;
};

class TStatusBar : public TControl {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0x8000000F")
    Q_PROPERTY(bool SizeGrip READ SizeGrip WRITE SetSizeGrip)
    Q_CLASSINFO("default:SizeGrip", "true")

public:
    explicit TStatusBar(TComponent* AOwner = nullptr);
    ~TStatusBar() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // The bar's font; changes repaint the bar and call FontChanged.
    TFont& Font() const { return *FFont; }
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);

    TStatusPanels& Panels() const { return *FPanels; }

    // The rectangle of panel Index inside the bar (its bevel included); an
    // empty rectangle for a panel that lies beyond the bar's right edge.
    // ERangeError outside the panels.
    TRect PanelRect(int Index) const;
    // The panel under the point, or -1.
    int PanelAt(int X, int Y) const;

    // The canvas being painted on, for OnDrawPanel handlers; nullptr outside
    // painting.
    TCanvas* Canvas() const { return FCanvas; }

    // Draws the owner-drawn panels (the base calls OnDrawPanel).
    std::function<void(TStatusBar*, TStatusPanel*, const TRect&)> OnDrawPanel;

    void Paint(TCanvas& Canvas) override;

protected:
    virtual void DrawPanel(TCanvas& Canvas, TStatusPanel* Panel, const TRect& Rect);
    virtual void FontChanged();
    // The panels' layout or look changed.
    virtual void PanelsChanged(TStatusPanel* Panel);

private:
    friend class TStatusPanels;
    void DrawBevel(TCanvas& Canvas, const TRect& Rect, TStatusPanelBevel Bevel) const;
    void DrawSizeGrip(TCanvas& Canvas) const;

    TColor FColor = clBtnFace;
    std::unique_ptr<TFont> FFont;
    bool FSizeGrip = true;
    TBiDiMode FBiDiMode = TStatusPanel::bdLeftToRight;
    std::unique_ptr<TStatusPanels> FPanels;
    TCanvas* FCanvas = nullptr;

protected:
    // Makes Canvas() the given canvas while a drawing runs.
    class TCanvasScope {
    public:
        TCanvasScope(TStatusBar& Bar, TCanvas& Canvas) : FBar(Bar), FOld(Bar.FCanvas) { Bar.FCanvas = &Canvas; }
        ~TCanvasScope() { FBar.FCanvas = FOld; }
        TCanvasScope(const TCanvasScope&) = delete;
        TCanvasScope& operator=(const TCanvasScope&) = delete;

    private:
        TStatusBar& FBar;
        TCanvas* FOld;
    };
};

} // namespace lp
