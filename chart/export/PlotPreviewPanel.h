#pragma once
// The print preview panel: a sheet in the proportions of the printer's page
// with the pictures of one or more panels placed on it inside their print
// margins. Dragging an edge or a corner of the picture changes the margins
// of the previewed panel (in per cent); dragging inside moves the picture.
// Either drag stops at the paper's edges, so the margins never go below 0,
// and where two opposite margins would leave the picture no room.
//
//   TPlotPreviewPanel (TCustomPlotPanelExtended)
//     ├─owns─> TPreviewChartPen   margin lines (dotted, small dots)
//     ├─owns─> TPlotShadow        the sheet's shadow
//     └─observes─> TPlotPanelsList  previewed panels; item 0 is Panel
//
// Drag kinds: 0 none, 1 left, 2 top, 3 right, 4 bottom, 5 move, 6 top-left,
// 7 top-right, 8 bottom-left, 9 bottom-right.

#include "chart/canvas/PlotPanelExtended.h"
#include "platform/ui/Printer.h"

#include <algorithm>
#include <vector>

namespace lp {

// The margin lines' pen: dotted, in small dots.
class TPreviewChartPen : public TChartPen {
    Q_OBJECT
    Q_CLASSINFO("default:Style", "psDot")
    Q_CLASSINFO("default:SmallDots", "true")
public:
    explicit TPreviewChartPen(TGraphicsChangeEvent OnChange = {});
};

// The previewed panels (observed, never owned).
class TPlotPanelsList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // ERangeError outside 0 .. Count - 1.
    TCustomPlotPanel* Get(int Index) const;
    void Put(int Index, TCustomPlotPanel* Panel);
    void Add(TCustomPlotPanel* Panel) { FItems.push_back(Panel); }
    void Delete(int Index);
    void Remove(TCustomPlotPanel* Panel);
    int IndexOf(const TCustomPlotPanel* Panel) const;
    void Exchange(int A, int B);
    void Clear() { FItems.clear(); }

private:
    void CheckIndex(int Index) const;
    std::vector<TCustomPlotPanel*> FItems;
};

// The largest print margin (per cent) that keeps the picture on the paper
// beside its opposite margin: the two stay below 100 together, an opposite
// margin below 0 counting as 0. Below 0 when no margin fits.
inline int LargestMarginBeside(int OppositeMargin)
{
    return 99 - std::clamp(OppositeMargin, 0, 100);
}

// Whether a print margin keeps the picture on the paper beside its opposite
// one: from 0 up to LargestMarginBeside. Typed and dragged margins keep to it.
inline bool MarginFits(int Margin, int OppositeMargin)
{
    return Margin >= 0 && Margin <= LargestMarginBeside(OppositeMargin);
}

// Whether all four print margins keep the picture on the paper.
inline bool MarginsFit(const TRect& Margins)
{
    return MarginFits(Margins.Left, Margins.Right) && MarginFits(Margins.Right, Margins.Left) &&
           MarginFits(Margins.Top, Margins.Bottom) && MarginFits(Margins.Bottom, Margins.Top);
}

class TPlotPreviewPanel : public TCustomPlotPanelExtended {
    Q_OBJECT
public:
    enum TPlotPreviewPanelOrientation { ppoDefault, ppoPortrait, ppoLandscape };
    Q_ENUM(TPlotPreviewPanelOrientation)

private:
    Q_PROPERTY(bool AllowResize READ AllowResize WRITE SetAllowResize)
    Q_CLASSINFO("default:AllowResize", "true")
    Q_PROPERTY(bool AllowMove READ AllowMove WRITE SetAllowMove)
    Q_CLASSINFO("default:AllowMove", "true")
    Q_PROPERTY(bool AsBitmap READ AsBitmap WRITE SetAsBitmap)
    Q_CLASSINFO("default:AsBitmap", "false")
    Q_PROPERTY(bool DragImage READ DragImage WRITE SetDragImage)
    Q_CLASSINFO("default:DragImage", "false")
    Q_PROPERTY(lp::TPreviewChartPen* Margins READ Margins WRITE SetMargins)
    Q_PROPERTY(TPlotPreviewPanelOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_CLASSINFO("default:Orientation", "ppoDefault")
    Q_PROPERTY(int PaperColor READ PaperColor WRITE SetPaperColor)
    Q_CLASSINFO("default:PaperColor", "0xFFFFFF")
    Q_PROPERTY(lp::TPlotShadow* PaperShadow READ PaperShadow WRITE SetPaperShadow)
    Q_PROPERTY(bool ShowImage READ ShowImage WRITE SetShowImage)
    Q_CLASSINFO("default:ShowImage", "true")
    Q_PROPERTY(bool SmoothBitmap READ SmoothBitmap WRITE SetSmoothBitmap)
    Q_CLASSINFO("default:SmoothBitmap", "true")
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_CLASSINFO("default:Title", "")

public:
    // 432 x 312 pixels.
    explicit TPlotPreviewPanel(TComponent* AOwner = nullptr);
    ~TPlotPreviewPanel() override;

    bool AllowResize() const { return FAllowResize; }
    void SetAllowResize(bool value) { FAllowResize = value; }
    bool AllowMove() const { return FAllowMove; }
    void SetAllowMove(bool value) { FAllowMove = value; }
    bool AsBitmap() const { return FAsBitmap; }
    void SetAsBitmap(bool value) { SetBooleanProperty(FAsBitmap, value); }
    bool DragImage() const { return FDragImage; }
    void SetDragImage(bool value) { FDragImage = value; }
    TPreviewChartPen* Margins() const { return FMargins.get(); }
    void SetMargins(const TPreviewChartPen* value) { FMargins->Assign(value); }
    TPlotPreviewPanelOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPlotPreviewPanelOrientation value);
    TColor PaperColor() const { return FPaperColor; }
    void SetPaperColor(TColor value) { SetColorProperty(FPaperColor, value); }
    TPlotShadow* PaperShadow() const { return FPaperShadow.get(); }
    void SetPaperShadow(const TPlotShadow* value) { FPaperShadow->Assign(value); }
    bool ShowImage() const { return FShowImage; }
    void SetShowImage(bool value) { SetBooleanProperty(FShowImage, value); }
    bool SmoothBitmap() const { return FSmoothBitmap; }
    void SetSmoothBitmap(bool value) { SetBooleanProperty(FSmoothBitmap, value); }
    QString Title() const { return FTitle; }
    void SetTitle(const QString& value) { FTitle = value; }

    // Item 0 of the list, or nullptr. Setting replaces item 0; AsBitmap then
    // follows whether the panel's canvas rotates fully.
    TCustomPlotPanel* Panel() const;
    void SetPanel(TCustomPlotPanel* value);
    TPlotPanelsList& Panels() { return FPanels; }
    // Lists another panel (observed) after Panel.
    void AddPanel(TCustomPlotPanel* value);

    // Fired after each drag step with the new margins (left, top, right,
    // bottom per cent).
    std::function<void(TPlotPreviewPanel* Sender, bool DisableProportional, const TRect& NewMargins)>
        OnChangeMargins;
    // May change the computed paper rectangle.
    std::function<void(TPlotPreviewPanel* Sender, TRect& PaperRect)> OnGetPaperRect;

    // The printer orientation this panel asks for (ppoDefault leaves it).
    void ApplyOrientation() const;
    // The page size in printer pixels after the orientation (the screen's
    // size when the printer cannot say).
    static QSize PageSize();
    // The sheet in panel pixels for the current client size and page.
    TRect CalcPaperRect();
    // The picture of Panel on the sheet for its print margins (15 % each
    // without a panel).
    TRect CalcImageRect(TCustomPlotPanel* APanel, const TRect& PaperRect) const;
    TRect PaperRect() const { return FPaperRect; }
    TRect ImageRect() const { return FImageRect; }
    int DragKind() const { return FDragKind; }
    // The drag kind at (X, Y) against the picture (tolerance 5 pixels).
    int HitImage(int X, int Y) const;
    static TCursor CursorOfHit(int Hit);

    // Prints every listed panel on one page (nothing without panels); a
    // failure aborts the job and passes the error on. A panel whose margins
    // leave no room on the page raises EPrinter before the job starts.
    void Print();

    void InternalDraw(const TRect& UserRectangle) override;
    void MouseDown(TMouseButton button, TShiftState shift, int X, int Y) override;
    void MouseMove(TShiftState shift, int X, int Y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int X, int Y) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // The panel's bitmap picture drawn into Target of Canvas.
    void DrawPanelBitmap(TCustomPlotPanel& APanel, TCanvas& Canvas, const TRect& Target) const;
    void DrawPanelPicture(TCustomPlotPanel& APanel);
    void DrawMarginLines(TCanvas& Canvas) const;
    // Moves the dragged edges, corner or picture towards (X, Y); they stop
    // at the paper's edges and where the margins would leave no room.
    void DragTo(int X, int Y);
    void MovePictureTo(int X, int Y);
    // The margins (left, top, right, bottom per cent) a picture rectangle
    // gives on the paper.
    TRect MarginsOf(const TRect& Image) const;
    void StoreMargins();

    TPlotPanelsList FPanels;
    bool FAllowResize = true;
    bool FAllowMove = true;
    bool FAsBitmap = false;
    bool FDragImage = false;
    std::unique_ptr<TPreviewChartPen> FMargins;
    TPlotPreviewPanelOrientation FOrientation = ppoDefault;
    TColor FPaperColor = clWhite;
    std::unique_ptr<TPlotShadow> FPaperShadow;
    bool FShowImage = true;
    bool FSmoothBitmap = true;
    QString FTitle;
    TRect FPaperRect;
    TRect FImageRect;
    int FDragKind = 0;
    TPoint FMoveStart;
    TRect FMoveStartRect;
};

using TPlotPreviewPanelOrientation = TPlotPreviewPanel::TPlotPreviewPanelOrientation;

} // namespace lp
