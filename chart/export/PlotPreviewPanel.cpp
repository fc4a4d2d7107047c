#include "chart/export/PlotPreviewPanel.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/export/PlotBusyCursor.h"
#include "chart/export/PlotExportBitmap.h"
#include "platform/base/Numeric.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace lp {

namespace {

// A distance below this many pixels hits an edge of the picture.
constexpr int HitTolerance = 5;

// Sets a panel's printing flag for the time of a drawing.
class TPrintingScope {
public:
    explicit TPrintingScope(TCustomPlotPanel& Panel) : FPanel(Panel) { FPanel.SetPrinting(true); }
    ~TPrintingScope() { FPanel.SetPrinting(false); }
    TPrintingScope(const TPrintingScope&) = delete;
    TPrintingScope& operator=(const TPrintingScope&) = delete;

private:
    TCustomPlotPanel& FPanel;
};

bool Near(int A, int B)
{
    return std::abs(A - B) < HitTolerance;
}

int Percent(int Part, int Whole)
{
    return Whole == 0 ? 0 : RoundToInt32(Part * 100.0 / Whole);
}

} // namespace

TPreviewChartPen::TPreviewChartPen(TGraphicsChangeEvent OnChange) : TChartPen(std::move(OnChange))
{
    SetStyle(psDot);
    SetSmallDots(true);
}

// --- TPlotPanelsList --------------------------------------------------------------------------

void TPlotPanelsList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
}

TCustomPlotPanel* TPlotPanelsList::Get(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<size_t>(Index)];
}

void TPlotPanelsList::Put(int Index, TCustomPlotPanel* Panel)
{
    CheckIndex(Index);
    FItems[static_cast<size_t>(Index)] = Panel;
}

void TPlotPanelsList::Delete(int Index)
{
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
}

void TPlotPanelsList::Remove(TCustomPlotPanel* Panel)
{
    std::erase(FItems, Panel);
}

int TPlotPanelsList::IndexOf(const TCustomPlotPanel* Panel) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[static_cast<size_t>(i)] == Panel)
            return i;
    return -1;
}

void TPlotPanelsList::Exchange(int A, int B)
{
    CheckIndex(A);
    CheckIndex(B);
    std::swap(FItems[static_cast<size_t>(A)], FItems[static_cast<size_t>(B)]);
}

// --- TPlotPreviewPanel ------------------------------------------------------------------------

TPlotPreviewPanel::TPlotPreviewPanel(TComponent* AOwner)
    : TCustomPlotPanelExtended(AOwner),
      FMargins(std::make_unique<TPreviewChartPen>([this](TGraphicsObject*) { Invalidate(); })),
      FPaperShadow(std::make_unique<TPlotShadow>([this](TPersistent*) { Invalidate(); }))
{
    FPaperShadow->SetDefaultColor(RGB(128, 128, 128));
    FPaperShadow->SetColor(RGB(128, 128, 128));
    FPaperShadow->SetDefaultSize(4);
    FPaperShadow->SetSize(4);
    SetView3D(false);
    SetAllowPanning(pmNone);
    SetAllowZoom(false);
    SetBounds(0, 0, 432, 312);
}

TPlotPreviewPanel::~TPlotPreviewPanel()
{
    for (int i = 0; i < FPanels.Count(); ++i)
        FPanels.Get(i)->RemoveFreeNotification(this);
}

TCustomPlotPanel* TPlotPreviewPanel::Panel() const
{
    return FPanels.Count() > 0 ? FPanels.Get(0) : nullptr;
}

void TPlotPreviewPanel::SetPanel(TCustomPlotPanel* value)
{
    if (value == Panel() || value == this)
        return;
    if (FPanels.Count() > 0) {
        TCustomPlotPanel* old = FPanels.Get(0);
        FPanels.Delete(0);
        old->RemoveFreeNotification(this);
    }
    if (value) {
        // The new panel becomes item 0, so that Panel reads back what was set.
        FPanels.Remove(value);
        FPanels.Add(value);
        FPanels.Exchange(0, FPanels.Count() - 1);
        value->FreeNotification(this);
    }
    SetAsBitmap(Panel() && Panel()->Canvas().SupportsFullRotation());
    Invalidate();
}

void TPlotPreviewPanel::AddPanel(TCustomPlotPanel* value)
{
    if (!value || value == this || FPanels.IndexOf(value) >= 0)
        return;
    FPanels.Add(value);
    value->FreeNotification(this);
    Invalidate();
}

void TPlotPreviewPanel::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomPlotPanelExtended::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    // Any listed panel that goes is forgotten, not only Panel. (The panel is
    // only a component by now: compared, never cast.)
    for (int i = FPanels.Count() - 1; i >= 0; --i)
        if (static_cast<TComponent*>(FPanels.Get(i)) == AComponent) {
            FPanels.Delete(i);
            FDragKind = 0;
            Invalidate();
        }
}

void TPlotPreviewPanel::SetOrientation(TPlotPreviewPanelOrientation value)
{
    if (FOrientation == value)
        return;
    FOrientation = value;
    Invalidate();
}

void TPlotPreviewPanel::ApplyOrientation() const
{
    if (FOrientation == ppoDefault || Printer().Printing())
        return;
    Printer().SetOrientation(FOrientation == ppoLandscape ? TPrinter::poLandscape : TPrinter::poPortrait);
}

QSize TPlotPreviewPanel::PageSize()
{
    QSize page;
    try {
        TPrinter& printer = Printer();
        printer.QtPrinter(); // applies the chosen printer and orientation
        page = QSize(printer.PageWidth(), printer.PageHeight());
    } catch (const Exception&) {
        page = QSize();
    }
    if (page.width() <= 0 || page.height() <= 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        page = screen ? screen->size() : QSize(1024, 768);
    }
    return page;
}

TRect TPlotPreviewPanel::CalcPaperRect()
{
    ApplyOrientation();
    const QSize page = PageSize();
    const int cw = Width();
    const int ch = Height();
    TRect r;
    if (static_cast<qint64>(cw) * page.height() > static_cast<qint64>(ch) * page.width()) {
        const int h = ch - RoundToInt32(ch / 5.0);
        r.Top = RoundToInt32(ch / 10.0);
        r.Bottom = r.Top + h;
        const int w = page.height() == 0 ? cw : MulDiv(h, page.width(), page.height());
        r.Left = (cw - w) / 2;
        r.Right = r.Left + w;
    } else {
        const int w = cw - RoundToInt32(cw / 5.0);
        r.Left = RoundToInt32(cw / 10.0);
        r.Right = r.Left + w;
        const int h = page.width() == 0 ? ch : MulDiv(w, page.height(), page.width());
        r.Top = (ch - h) / 2;
        r.Bottom = r.Top + h;
    }
    if (OnGetPaperRect)
        OnGetPaperRect(this, r);
    return r;
}

TRect TPlotPreviewPanel::CalcImageRect(TCustomPlotPanel* APanel, const TRect& Paper) const
{
    TRect margins{15, 15, 15, 15};
    if (APanel) {
        if (APanel->PrintProportional())
            APanel->SetPrintMargins(APanel->CalcProportionalMargins());
        margins = APanel->PrintMargins();
    }
    const int pw = Paper.Width();
    const int ph = Paper.Height();
    return {Paper.Left + MulDiv(margins.Left, pw, 100), Paper.Top + MulDiv(margins.Top, ph, 100),
            Paper.Right - MulDiv(margins.Right, pw, 100), Paper.Bottom - MulDiv(margins.Bottom, ph, 100)};
}

// --- Drawing ----------------------------------------------------------------------------------

void TPlotPreviewPanel::InternalDraw(const TRect& UserRectangle)
{
    PaintPanelBackground(UserRectangle);
    TPlotCanvas3D& C = Canvas();
    C.ResetState();
    TCanvas& dc = *C.ReferenceCanvas();

    FPaperRect = CalcPaperRect();
    dc.Pen().SetColor(clBlack);
    dc.Pen().SetStyle(psSolid);
    dc.Pen().SetWidth(1);
    dc.Pen().SetMode(pmCopy);
    dc.Brush().SetColor(FPaperColor);
    dc.Brush().SetStyle(bsSolid);
    dc.Rectangle(FPaperRect);
    FPaperShadow->Draw(C, FPaperRect);

    // Each panel at its own margins; Panel's picture is the one dragged.
    for (int i = FPanels.Count() - 1; i >= 0; --i) {
        FImageRect = CalcImageRect(FPanels.Get(i), FPaperRect);
        DrawPanelPicture(*FPanels.Get(i));
    }
    FImageRect = CalcImageRect(Panel(), FPaperRect);
    if (FMargins->Visible())
        DrawMarginLines(dc);
    if (OnAfterDraw)
        OnAfterDraw(this);
}

void TPlotPreviewPanel::DrawPanelPicture(TCustomPlotPanel& APanel)
{
    if (!FShowImage || FImageRect.Width() <= 0 || FImageRect.Height() <= 0)
        return;
    TPlotCanvas3D& C = Canvas();
    TPrintingScope printing(APanel);
    C.ClipRectangle(APanel.CanClip() ? FImageRect : FPaperRect);
    try {
        if (FAsBitmap) {
            DrawPanelBitmap(APanel, *C.ReferenceCanvas(), FImageRect);
        } else {
            int lw = 0;
            int lh = 0;
            TRect scaled;
            APanel.CalcScaledBounds(FImageRect, APanel.GetRectangle(), lw, lh, scaled);
            const std::unique_ptr<TMetafile> metafile = APanel.CreateMetafile(true, TRect{0, 0, lw, lh});
            C.ReferenceCanvas()->StretchDraw(FImageRect, metafile.get());
        }
    } catch (...) {
        C.UnClipRectangle();
        throw;
    }
    C.UnClipRectangle();
}

void TPlotPreviewPanel::DrawPanelBitmap(TCustomPlotPanel& APanel, TCanvas& Target, const TRect& Rect) const
{
    int lw = 0;
    int lh = 0;
    TRect scaled;
    APanel.CalcScaledBounds(Rect, APanel.GetRectangle(), lw, lh, scaled);
    const std::unique_ptr<TBitmap> bitmap = PanelBitmap(APanel, lw, lh);
    if (FSmoothBitmap && lw >= 2 && lh >= 2 && Rect.Width() >= 2 && Rect.Height() >= 2) {
        TBitmap smooth(Rect.Width(), Rect.Height());
        SmoothStretchWithOption(bitmap.get(), &smooth, false);
        Target.Draw(Rect.Left, Rect.Top, &smooth);
    } else {
        Target.StretchDraw(Rect, bitmap.get());
    }
}

void TPlotPreviewPanel::DrawMarginLines(TCanvas& Target) const
{
    TDeviceContext& dc = Target.Handle();
    Target.Pen().Assign(FMargins.get());
    Target.Pen().SetMode(pmNotXor);
    Target.Brush().SetStyle(bsClear);
    dc.SetBkMode(TRANSPARENT);
    const TRect& p = FPaperRect;
    const TRect& r = FImageRect;
    Target.MoveTo(r.Left - 1, p.Top + 1);
    Target.LineTo(r.Left - 1, p.Bottom);
    Target.MoveTo(r.Right, p.Top + 1);
    Target.LineTo(r.Right, p.Bottom);
    Target.MoveTo(p.Left + 1, r.Top - 1);
    Target.LineTo(p.Right, r.Top - 1);
    Target.MoveTo(p.Left + 1, r.Bottom);
    Target.LineTo(p.Right, r.Bottom);
    Target.Pen().SetMode(pmCopy);
    dc.SetBkMode(OPAQUE);
}

// --- Mouse ------------------------------------------------------------------------------------

int TPlotPreviewPanel::HitImage(int X, int Y) const
{
    const TRect& r = FImageRect;
    const bool acrossY = Y > r.Top - HitTolerance && Y < r.Bottom + HitTolerance;
    const bool acrossX = X > r.Left - HitTolerance && X < r.Right + HitTolerance;
    const bool left = acrossY && Near(X, r.Left);
    const bool right = acrossY && Near(X, r.Right);
    const bool top = acrossX && Near(Y, r.Top);
    const bool bottom = acrossX && Near(Y, r.Bottom);
    int hit = 0;
    if (left && top)
        hit = 6;
    else if (left && bottom)
        hit = 8;
    else if (right && top)
        hit = 7;
    else if (right && bottom)
        hit = 9;
    else if (left)
        hit = 1;
    else if (right)
        hit = 3;
    else if (top)
        hit = 2;
    else if (bottom)
        hit = 4;
    else if (X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom)
        hit = FAllowMove ? 5 : 0;
    if (hit != 5 && !FAllowResize)
        hit = 0;
    return hit;
}

TCursor TPlotPreviewPanel::CursorOfHit(int Hit)
{
    switch (Hit) {
    case 1:
    case 3:
        return crHSplit;
    case 2:
    case 4:
        return crVSplit;
    case 6:
    case 9:
        return crSizeNWSE;
    case 7:
    case 8:
        return crSizeNESW;
    case 5:
        return crPlotHand;
    default:
        return crDefault;
    }
}

void TPlotPreviewPanel::MouseDown(TMouseButton button, TShiftState shift, int X, int Y)
{
    TCustomPlotPanelExtended::MouseDown(button, shift, X, Y);
    if (button != mbLeft)
        return;
    FDragKind = HitImage(X, Y);
    if (FDragKind == 5) {
        FMoveStart = {X, Y};
        FMoveStartRect = FImageRect;
    }
}

void TPlotPreviewPanel::MouseMove(TShiftState shift, int X, int Y)
{
    TCustomPlotPanelExtended::MouseMove(shift, X, Y);
    if (FDragKind == 0) {
        if (X < FPaperRect.Left || X >= FPaperRect.Right || Y < FPaperRect.Top || Y >= FPaperRect.Bottom)
            return;
        // The first panel under the mouse becomes Panel.
        for (int i = 0; i < FPanels.Count(); ++i) {
            FImageRect = CalcImageRect(FPanels.Get(i), FPaperRect);
            const TCursor cursor = CursorOfHit(HitImage(X, Y));
            ShowCursor(cursor);
            if (cursor != crDefault) {
                FPanels.Exchange(0, i);
                return;
            }
        }
        FImageRect = CalcImageRect(Panel(), FPaperRect);
        return;
    }
    TCanvas* window = FDragImage ? nullptr : WindowCanvas();
    if (window && FMargins->Visible())
        DrawMarginLines(*window); // not-xor: drawing again erases them
    DragTo(X, Y);
    StoreMargins();
    if (FDragImage) {
        Invalidate();
    } else if (window) {
        if (FMargins->Visible())
            DrawMarginLines(*window);
        UpdateWindow();
    }
}

namespace {

// Value held within Low .. High; Low wins when the two cross.
int Within(int Value, int Low, int High)
{
    return std::max(Low, std::min(Value, High));
}

// Steps an edge from Wanted back towards Outer (the paper's edge on its
// side) until its margin fits beside the opposite one, as typed margins
// must.
int EdgeWithRoom(int Wanted, int Outer, int OppositeMargin, const std::function<int(int)>& MarginAt)
{
    const int step = Outer < Wanted ? -1 : 1;
    int at = Wanted;
    while (at != Outer && !MarginFits(MarginAt(at), OppositeMargin))
        at += step;
    return at;
}

} // namespace

void TPlotPreviewPanel::DragTo(int X, int Y)
{
    if (FDragKind == 5) {
        MovePictureTo(X, Y);
        return;
    }
    TRect& r = FImageRect;
    const TRect& p = FPaperRect;
    // The mouse beyond the paper holds a dragged edge at the paper's edge.
    X = Within(X, p.Left, p.Right);
    Y = Within(Y, p.Top, p.Bottom);
    const bool left = FDragKind == 1 || FDragKind == 6 || FDragKind == 8;
    const bool right = FDragKind == 3 || FDragKind == 7 || FDragKind == 9;
    const bool top = FDragKind == 2 || FDragKind == 6 || FDragKind == 7;
    const bool bottom = FDragKind == 4 || FDragKind == 8 || FDragKind == 9;
    // An edge follows the mouse only on its side of the opposite edge; a
    // corner needs both of its edges to.
    const bool xOk = left ? X < r.Right : !right || r.Left < X;
    const bool yOk = top ? Y < r.Bottom : !bottom || r.Top < Y;
    if (!xOk || !yOk)
        return;
    // It stops where the margins would leave no room.
    const TRect m = MarginsOf(r);
    const int pw = p.Width();
    const int ph = p.Height();
    if (left)
        r.Left = EdgeWithRoom(X, p.Left, m.Right, [&](int At) { return Percent(At - p.Left, pw); });
    if (right)
        r.Right = EdgeWithRoom(X, p.Right, m.Left, [&](int At) { return Percent(p.Right - At, pw); });
    if (top)
        r.Top = EdgeWithRoom(Y, p.Top, m.Bottom, [&](int At) { return Percent(At - p.Top, ph); });
    if (bottom)
        r.Bottom = EdgeWithRoom(Y, p.Bottom, m.Top, [&](int At) { return Percent(p.Bottom - At, ph); });
}

void TPlotPreviewPanel::MovePictureTo(int X, int Y)
{
    // The picture keeps its size and follows the mouse until it meets the
    // paper's edges; one that margins set elsewhere put partly off the paper
    // comes onto it, one larger than the paper stays where it is.
    const TRect& p = FPaperRect;
    const TRect& s = FMoveStartRect;
    const int dx = Within(X - FMoveStart.X, p.Left - s.Left, p.Right - s.Right);
    const int dy = Within(Y - FMoveStart.Y, p.Top - s.Top, p.Bottom - s.Bottom);
    const TRect moved{s.Left + dx, s.Top + dy, s.Right + dx, s.Bottom + dy};
    // The rounding to whole per cents could still take the last bit of room;
    // the margin check refuses that, and a picture larger than the paper.
    if (MarginsFit(MarginsOf(moved)))
        FImageRect = moved;
}

TRect TPlotPreviewPanel::MarginsOf(const TRect& Image) const
{
    const TRect& p = FPaperRect;
    return {Percent(Image.Left - p.Left, p.Width()), Percent(Image.Top - p.Top, p.Height()),
            Percent(p.Right - Image.Right, p.Width()), Percent(p.Bottom - Image.Bottom, p.Height())};
}

void TPlotPreviewPanel::StoreMargins()
{
    TCustomPlotPanel* panel = Panel();
    if (!panel)
        return;
    const TRect margins = MarginsOf(FImageRect);
    panel->SetPrintProportional(false);
    panel->SetPrintMargins(margins);
    if (OnChangeMargins)
        OnChangeMargins(this, true, margins);
}

void TPlotPreviewPanel::MouseUp(TMouseButton button, TShiftState shift, int X, int Y)
{
    TCustomPlotPanelExtended::MouseUp(button, shift, X, Y);
    FDragKind = 0;
    if (!FDragImage)
        Invalidate();
}

// --- Printing ---------------------------------------------------------------------------------

namespace {

// The panel's rectangle on the printer's page; raises, before anything is
// printed, when its margins leave no room for it.
TRect PrintRectWithRoom(TCustomPlotPanel& Panel)
{
    const TRect rect = Panel.CalcPrintRect();
    if (rect.Width() > 0 && rect.Height() > 0)
        return rect;
    const TRect m = Panel.PrintMargins();
    throw EPrinter(FormatText("The margins leave no room for the chart on the page: left %d %%, right %d %%, "
                              "top %d %%, bottom %d %%.",
                              {ArgText(m.Left), ArgText(m.Right), ArgText(m.Top), ArgText(m.Bottom)}));
}

} // namespace

void TPlotPreviewPanel::Print()
{
    if (FPanels.Count() == 0)
        return;
    TBusyCursor busy;
    ApplyOrientation();
    TPrinter& printer = Printer();
    printer.QtPrinter(); // the page the rectangles are measured on
    std::vector<TRect> rects;
    for (int i = 0; i < FPanels.Count(); ++i)
        rects.push_back(PrintRectWithRoom(*FPanels.Get(i)));
    printer.SetTitle(!FTitle.isEmpty() ? FTitle : Panel()->Name());
    printer.BeginDoc();
    try {
        for (int i = 0; i < FPanels.Count(); ++i) {
            TCustomPlotPanel& panel = *FPanels.Get(i);
            const TRect& rect = rects[static_cast<size_t>(i)];
            if (FAsBitmap) {
                TPrintingScope printing(panel);
                DrawPanelBitmap(panel, printer.Canvas(), rect);
            } else {
                panel.PrintPartial(rect);
            }
        }
        if (OnAfterDraw)
            OnAfterDraw(this);
        printer.EndDoc();
    } catch (...) {
        printer.Abort();
        throw;
    }
}

} // namespace lp
