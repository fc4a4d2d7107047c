#include "chart/canvas/PlotPanel.h"

#include "platform/base/Numeric.h"
#include "platform/core/Filer.h"
#include "platform/core/SafeSave.h"
#include "platform/graphics/DrawingLimits.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Printer.h"

#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>

#include <algorithm>
#include <cstdlib>

namespace lp {

namespace {

// The printer's logical pixels per inch: the page device's during a job,
// else the resolution the next job will use.
TSize PrinterPixelsPerInch(TPrinter& Printer)
{
    if (Printer.Printing()) {
        const TDeviceContext& dc = Printer.Canvas().Handle();
        return {dc.GetDeviceCaps(LOGPIXELSX), dc.GetDeviceCaps(LOGPIXELSY)};
    }
    return {Printer.Resolution(), Printer.Resolution()};
}

int Add(int A, int B)
{
    return CheckedInt32(static_cast<int64_t>(A) + B);
}

int Sub(int A, int B)
{
    return CheckedInt32(static_cast<int64_t>(A) - B);
}

} // namespace

// --- TCustomPanelNoCaption -------------------------------------------------------------------

TCustomPanelNoCaption::TCustomPanelNoCaption(TComponent* AOwner) : TControl(AOwner) {}

void TCustomPanelNoCaption::SetColor(TColor value)
{
    if (value != FColor) {
        FColor = value;
        Invalidate();
    }
}

void TCustomPanelNoCaption::SetBevelInner(TBevelCut value)
{
    if (value != FBevelInner) {
        FBevelInner = value;
        Invalidate();
    }
}

void TCustomPanelNoCaption::SetBevelOuter(TBevelCut value)
{
    if (value != FBevelOuter) {
        FBevelOuter = value;
        Invalidate();
    }
}

void TCustomPanelNoCaption::SetBevelWidth(int value)
{
    if (value < 1)
        throw ERangeError("BevelWidth must be at least 1");
    value = std::min(value, MaxPixelLength);
    if (value != FBevelWidth) {
        FBevelWidth = value;
        Invalidate();
    }
}

void TCustomPanelNoCaption::SetBorderWidth(int value)
{
    if (value < 0)
        throw ERangeError("BorderWidth must not be negative");
    if (value != FBorderWidth) {
        FBorderWidth = value;
        Invalidate();
    }
}

// --- Listeners and drag state ------------------------------------------------------------

int TPlotEventListeners::Add(IPlotEventListener* Listener)
{
    const int index = IndexOf(Listener);
    if (index >= 0)
        return index;
    FItems.push_back(Listener);
    return Count() - 1;
}

void TPlotEventListeners::Remove(IPlotEventListener* Listener)
{
    const auto it = std::find(FItems.begin(), FItems.end(), Listener);
    if (it != FItems.end())
        FItems.erase(it);
}

int TPlotEventListeners::IndexOf(const IPlotEventListener* Listener) const
{
    const auto it = std::find(FItems.begin(), FItems.end(), Listener);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

IPlotEventListener* TPlotEventListeners::Item(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw ERangeError(FormatText("List index out of bounds (%d)", {std::to_string(Index)}));
    return FItems[static_cast<size_t>(Index)];
}

TZoomPanning::TZoomPanning() = default;

void TZoomPanning::Activate(int X, int Y)
{
    X0 = X1 = X;
    Y0 = Y1 = Y;
    Active = true;
}

void TZoomPanning::NormalizeRect()
{
    if (X0 > X1)
        std::swap(X0, X1);
    if (Y0 > Y1)
        std::swap(Y0, Y1);
}

// --- TCustomPlotPanel: lifetime ----------------------------------------------------------

TCustomPlotPanel::TCustomPlotPanel(TComponent* AOwner) : TCustomPanelNoCaption(AOwner)
{
    FListeners = std::make_unique<TPlotEventListeners>();
    SetBounds(Left(), Top(), 400, 250);
    FView3DOptions = std::make_unique<TView3DOptions>(this, [this] { Invalidate(); });
    FCanvas = std::make_unique<TPlotCanvas3D>();
    FCanvas->SetCanvas(TControl::WindowCanvas());
    FSavedCursor = Cursor();
    FPanning = std::make_unique<TZoomPanning>();
    FShadow = std::make_unique<TPlotShadow>([this](TPersistent* Sender) { PropertyChanged(Sender); });
    FBorder = std::make_unique<TChartHiddenPen>([this](TGraphicsObject* Sender) { PropertyChanged(Sender); });
    FBorder->SetEndStyle(esFlat);
    FBorder->SetDefaultEndStyle(esFlat);
    FRepaintEnabled = true;
}

TCustomPlotPanel::~TCustomPlotPanel()
{
    FRepaintEnabled = false;
    FCanvas.reset();
    FBorder.reset();
    FShadow.reset();
    FView3DOptions.reset();
    FPanning.reset();
    FListeners.reset();
}

void TCustomPlotPanel::Assign(const TPersistent* Source)
{
    const auto* panel = qobject_cast<const TCustomPlotPanel*>(Source);
    if (!panel) {
        TCustomPanelNoCaption::Assign(Source);
        return;
    }
    SetBorder(panel->Border());
    FBorderRound = panel->FBorderRound;
    SetBufferedDisplay(panel->BufferedDisplay());
    FPrintMargins = panel->FPrintMargins;
    FPrintProportional = panel->FPrintProportional;
    FPrintResolution = panel->FPrintResolution;
    std::copy(std::begin(panel->FMargins), std::end(panel->FMargins), std::begin(FMargins));
    FMarginUnits = panel->FMarginUnits;
    SetMonochrome(panel->Monochrome());
    SetShadow(panel->Shadow());
    FView3D = panel->FView3D;
    SetView3DOptions(panel->View3DOptions());
    SetColor(panel->Color());
}

void TCustomPlotPanel::AssignTo(TPersistent* Dest) const
{
    if (qobject_cast<TGraphic*>(Dest) || qobject_cast<TPicture*>(Dest)) {
        // A drawing pass changes only the transient state of the pass.
        auto* self = const_cast<TCustomPlotPanel*>(this);
        const std::unique_ptr<TBitmap> bitmap = self->CreateBitmap(Color(), GetRectangle(), TBitmap::pfDevice);
        Dest->Assign(bitmap.get());
        return;
    }
    TCustomPanelNoCaption::AssignTo(Dest);
}

void TCustomPlotPanel::Loaded()
{
    TCustomPanelNoCaption::Loaded();
    FSavedCursor = Cursor();
    if (FBorderRound > 0)
        ApplyRoundedRegion();
}

bool TCustomPlotPanel::ReadOldProperty(const QString& Name, const QVariant& Value)
{
    if (Name == QLatin1String("BorderStyle")) {
        FBorder->SetVisible(Value.toString() == QLatin1String("bsSingle"));
        return true;
    }
    return false;
}

void TCustomPlotPanel::DefineProperties(TFiler& Filer)
{
    TCustomPanelNoCaption::DefineProperties(Filer);
    DefineOldProperty(Filer, QStringLiteral("BorderStyle"));
}

void TCustomPlotPanel::DefineOldProperty(TFiler& Filer, const QString& Name)
{
    Filer.DefineProperty(Name, [this, Name](const QVariant& Value) { ReadOldProperty(Name, Value); }, {}, false);
}

// --- Properties ------------------------------------------------------------------------------

void TCustomPlotPanel::SetBorder(const TChartHiddenPen* value)
{
    FBorder->Assign(value);
}

void TCustomPlotPanel::SetBorderRound(int value)
{
    if (value == FBorderRound)
        return;
    FBorderRound = value;
    if (!IsLoading()) {
        ApplyRoundedRegion();
        // The rounded corners are drawn too, in pictures of the chart as on
        // the window.
        Invalidate();
    }
}

int TCustomPlotPanel::Margin(int Index) const
{
    if (Index < 0 || Index > 3)
        throw ERangeError(FormatText("Margin index out of range (%d)", {std::to_string(Index)}));
    return FMargins[Index];
}

void TCustomPlotPanel::SetMargin(int Index, int value)
{
    if (Index < 0 || Index > 3)
        throw ERangeError(FormatText("Margin index out of range (%d)", {std::to_string(Index)}));
    SetIntegerProperty(FMargins[Index], value);
}

void TCustomPlotPanel::SetMarginUnits(TPlotUnits value)
{
    if (value != FMarginUnits) {
        FMarginUnits = value;
        Invalidate();
    }
}

void TCustomPlotPanel::SetShadow(const TPlotShadow* value)
{
    FShadow->Assign(value);
}

void TCustomPlotPanel::SetView3D(bool value)
{
    if (value == FView3D)
        return;
    SetBooleanProperty(FView3D, value);
    TPlotView3DEvent event;
    BroadcastPlotEvent(event);
}

void TCustomPlotPanel::SetView3DOptions(const TView3DOptions* value)
{
    FView3DOptions->Assign(value);
}

void TCustomPlotPanel::SetBooleanProperty(bool& Variable, bool Value)
{
    if (Variable != Value) {
        Variable = Value;
        Invalidate();
    }
}

void TCustomPlotPanel::SetIntegerProperty(int& Variable, int Value)
{
    if (Variable != Value) {
        Variable = Value;
        Invalidate();
    }
}

void TCustomPlotPanel::SetColorProperty(TColor& Variable, TColor Value)
{
    if (Variable != Value) {
        Variable = Value;
        Invalidate();
    }
}

void TCustomPlotPanel::SetDoubleProperty(double& Variable, double Value)
{
    if (Variable != Value) {
        Variable = Value;
        Invalidate();
    }
}

void TCustomPlotPanel::SetStringProperty(QString& Variable, const QString& Value)
{
    if (Variable != Value) {
        Variable = Value;
        Invalidate();
    }
}

// --- Virtual operations ------------------------------------------------------------------

TColor TCustomPlotPanel::GetBackColor() const
{
    return Color();
}

void TCustomPlotPanel::InternalDraw(const TRect&) {}

void TCustomPlotPanel::PropertyChanged(TPersistent*)
{
    Invalidate();
}

TRect TCustomPlotPanel::GetRectangle() const
{
    return ClientRect();
}

void TCustomPlotPanel::DrawToCanvas(TCanvas* Canvas, const TRect& Rect)
{
    FPanelBounds = FCanvas->InitWindow(Canvas, FView3DOptions.get(), Color(), FView3D, Rect);
    if (!FFixedChartRect) {
        int inset = BorderWidth();
        if (BevelInner() != bvNone)
            inset = Add(inset, BevelWidth());
        if (BevelOuter() != bvNone)
            inset = Add(inset, BevelWidth());
        if (FBorder->Visible())
            inset = Add(inset, FBorder->Width());
        const int w = FPanelBounds.Width();
        const int h = FPanelBounds.Height();
        const auto pixels = [this](int Index, int Size) {
            if (FMarginUnits == muPixels)
                return FMargins[Index];
            return CheckedInt32(static_cast<int64_t>(FMargins[Index]) * Size / 100);
        };
        FChartRect.Left = Add(Add(FPanelBounds.Left, inset), pixels(0, w));
        FChartRect.Top = Add(Add(FPanelBounds.Top, inset), pixels(1, h));
        FChartRect.Right = Sub(Sub(FPanelBounds.Right, inset), pixels(2, w));
        FChartRect.Bottom = Sub(Sub(FPanelBounds.Bottom, inset), pixels(3, h));
    }
    RecalcWidthHeight();
    InternalDraw(FPanelBounds);
    FCanvas->ShowImage(Canvas, TControl::WindowCanvas(), Rect);
}

void TCustomPlotPanel::RecalcWidthHeight()
{
    if (!FFixedChartRect) {
        TRect& r = FChartRect;
        r.Left = std::max(r.Left, FPanelBounds.Left);
        r.Top = std::max(r.Top, FPanelBounds.Top);
        if (r.Right < r.Left)
            r.Right = Add(r.Left, 1);
        else if (r.Right == r.Left)
            r.Right = Add(r.Left, Width());
        if (r.Bottom < r.Top)
            r.Bottom = Add(r.Top, 1);
        else if (r.Bottom == r.Top)
            r.Bottom = Add(r.Top, Height());
    }
    RectSize(FChartRect, FChartRectWidth, FChartRectHeight);
    RectCenter(FChartRect, FChartCenterX, FChartCenterY);
}

void DrawBevel(TCanvas3D& Canvas, TBevelCut Kind, TRect& R, int Width, int Round)
{
    if (Kind == bvNone)
        return;
    if (Round > 0) {
        Canvas.Pen()->SetColor(Kind == bvLowered ? clBtnShadow : clBtnHighlight);
        Canvas.RoundRect(R.Left, R.Top, R.Right, R.Bottom, Round, Round);
        R = {Add(R.Left, Width), Add(R.Top, Width), Sub(R.Right, Width), Sub(R.Bottom, Width)};
        return;
    }
    const TColor topLeft = Kind == bvLowered ? clBtnShadow : clBtnHighlight;
    const TColor bottomRight = Kind == bvRaised ? clBtnShadow : clBtnHighlight;
    Canvas.Frame3D(R, topLeft, bottomRight, Width);
}

void TCustomPlotPanel::DrawPanelBevels(const TRect& Rect)
{
    TRect r = Rect;
    FCanvas->BeginNoRotation();
    FCanvas->Brush()->SetStyle(bsClear);
    if (FBorder->Visible()) {
        FCanvas->AssignVisiblePen(*FBorder);
        int t;
        if (FBorder->SmallDots()) {
            t = 1;
        } else {
            t = FBorder->Width() - 1;
            if (t > 0) {
                const int a = t / 2 + (t % 2 != 0 ? 1 : 0);
                t = t / 2;
                if (t % 2 != 0)
                    t -= 1;
                r.Left = Add(r.Left, a);
                r.Top = Add(r.Top, a);
                r.Right = Sub(r.Right, t);
                r.Bottom = Sub(r.Bottom, t);
            }
        }
        if (FBorderRound > 0) {
            r.Right = Sub(r.Right, 1);
            r.Bottom = Sub(r.Bottom, 1);
            FCanvas->RoundRect(r.Left, r.Top, r.Right, r.Bottom, FBorderRound, FBorderRound);
        } else {
            FCanvas->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
        }
        // The bevels start inside the line just drawn; a rounded frame
        // needs this as much as a square one, or the first bevel would
        // paint over it.
        if (!FBorder->SmallDots())
            t += 1;
        r = {Add(r.Left, t), Add(r.Top, t), Sub(r.Right, t), Sub(r.Bottom, t)};
    }
    if (!FPrinting || PlotBackgroundWhenPrinting) {
        FCanvas->Pen()->SetStyle(psSolid);
        FCanvas->Pen()->SetWidth(1);
        FCanvas->Pen()->SetMode(pmCopy);
        DrawBevel(*FCanvas, BevelOuter(), r, BevelWidth(), FBorderRound);
        if (BorderWidth() > 0)
            FCanvas->Frame3D(r, Color(), Color(), BorderWidth());
        DrawBevel(*FCanvas, BevelInner(), r, BevelWidth(), FBorderRound);
    }
    FCanvas->EndNoRotation();
}

// --- Window ----------------------------------------------------------------------------------

void TCustomPlotPanel::Paint(TCanvas& canvas)
{
    if (!FPrinting) {
        if (FCanvas->ReferenceCanvas() != &canvas)
            FCanvas->SetCanvas(&canvas);
        if (!FCanvas->RedrawBitmap())
            DrawToCanvas(&canvas, ClientRect());
    }
    if (OnAfterPaint)
        OnAfterPaint(this);
}

void TCustomPlotPanel::Invalidate()
{
    if (!FRepaintEnabled)
        return;
    FCanvas->Invalidate();
    TCustomPanelNoCaption::Invalidate();
}

void TCustomPlotPanel::Resize()
{
    // The buffered picture is of the old size: drawn again, not shown as
    // it was.
    Invalidate();
    if (!IsLoading() && FBorderRound > 0)
        ApplyRoundedRegion();
    TCustomPanelNoCaption::Resize();
}

void TCustomPlotPanel::ApplyRoundedRegion()
{
    if (FRegionGuard || !HandleAllocated())
        return;
    FRegionGuard = true;
    QWidget* window = Widget();
    if (FBorderRound < 1)
        window->clearMask();
    else
        window->setMask(CreateRoundRectRgn(0, 0, Width(), Height(), FBorderRound, FBorderRound));
    window->update();
    FRegionGuard = false;
}

TPoint TCustomPlotPanel::GetCursorPos() const
{
    QPoint p = QCursor::pos();
    if (HandleAllocated())
        p = const_cast<TCustomPlotPanel*>(this)->Widget()->mapFromGlobal(p);
    return {p.x(), p.y()};
}

// --- Metafiles and bitmaps -------------------------------------------------------------------

std::unique_ptr<TMetafile> TCustomPlotPanel::CreateMetafile(bool Enhanced, const TRect& Rect)
{
    auto metafile = std::make_unique<TMetafile>();
    metafile->SetWidth(std::max(1, Rect.Width()));
    metafile->SetHeight(std::max(1, Rect.Height()));
    metafile->SetEnhanced(Enhanced);
    {
        TMetafileCanvas canvas(*metafile, nullptr);
        DrawToMetaCanvas(&canvas, Rect);
        canvas.Finish();
    }
    return metafile;
}

void TCustomPlotPanel::SaveToMetafile(const QString& FileName)
{
    const bool enhanced = !FileName.endsWith(QLatin1String(".wmf"), Qt::CaseInsensitive);
    SaveToMetafileRect(enhanced, FileName, GetRectangle());
}

void TCustomPlotPanel::SaveToMetafileRect(bool Enhanced, const QString& FileName, const TRect& Rect)
{
    const std::unique_ptr<TMetafile> metafile = CreateMetafile(Enhanced, Rect);
    QString error;
    if (!SaveAtomically(FileName, [&](QIODevice& device) { metafile->SaveToStream(device); }, error))
        throw EFCreateError(FormatText("Cannot create file \"%s\". %s", {FileName.toStdString(), error.toStdString()}));
}

void TCustomPlotPanel::DrawToMetaCanvas(TCanvas* Canvas, const TRect& Rect)
{
    FCanvas->SetMetafiling(true);
    const bool buffered = BufferedDisplay();
    FCanvas->SetKeepBitmap(true);
    FCanvas->SetBufferedDisplay(false);
    // The switches go back even when the pass fails, so the window keeps
    // painting buffered.
    const auto restore = [&] {
        FCanvas->SetBufferedDisplay(buffered);
        FCanvas->SetKeepBitmap(false);
        FCanvas->SetMetafiling(false);
        // The unbuffered pass left the canvas bound to Canvas, which the
        // caller may free.
        if (FCanvas->ReferenceCanvas() == Canvas)
            FCanvas->SetCanvas(TControl::WindowCanvas());
        Invalidate();
    };
    try {
        DrawToCanvas(Canvas, Rect);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

std::unique_ptr<TBitmap> TCustomPlotPanel::CreateBitmap(TColor BackColor, const TRect& Rect,
                                                        TBitmap::TPixelFormat PixelFormat)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(FCanvas->SupportsFullRotation() ? TBitmap::pf24bit : PixelFormat);
    bitmap->SetSize(Rect.Width(), Rect.Height());
    if (BackColor != clWhite) {
        TCanvas& canvas = bitmap->Canvas();
        canvas.Brush().SetColor(BackColor);
        canvas.Brush().SetStyle(bsSolid);
        canvas.FillRect(Rect);
    }
    DrawToMetaCanvas(&bitmap->Canvas(), Rect);
    return bitmap;
}

bool TCustomPlotPanel::CanClip() const
{
    if (FCanvas->SupportsFullRotation())
        return false;
    if (!FPrinting && !FCanvas->Metafiling())
        return true;
    if (FPrinting)
        return PlotClipWhenPrinting;
    return PlotClipWhenMetafiling;
}

void TCustomPlotPanel::SetBrushCanvas(TColor AColor, const TChartBrush& ABrush, TColor ABackColor)
{
    TColor color = AColor;
    if (ABrush.Style() != bsSolid && ColorToRGB(color) == ColorToRGB(ABackColor))
        color = ColorToRGB(ABackColor) == clBlack ? clWhite : clBlack;
    FCanvas->AssignBrush(ABrush, color);
}

// --- Printing --------------------------------------------------------------------------------

TRect TCustomPlotPanel::CalcPrintRect()
{
    if (FPrintProportional)
        FPrintMargins = CalcProportionalMargins();
    TPrinter& printer = Printer();
    const TSize dpi = PrinterPixelsPerInch(printer);
    const double lx = dpi.cx;
    const double ly = dpi.cy;
    const int pw = printer.PageWidth();
    const int ph = printer.PageHeight();
    TRect r;
    r.Left = RoundToInt32(lx * FPrintMargins.Left * (pw * 0.01 / lx));
    r.Right = Sub(pw, RoundToInt32(lx * FPrintMargins.Right * (pw * 0.01 / lx)));
    r.Top = RoundToInt32(ly * FPrintMargins.Top * (ph * 0.01 / ly));
    r.Bottom = Sub(ph, RoundToInt32(ly * FPrintMargins.Bottom * (ph * 0.01 / ly)));
    return r;
}

TRect TCustomPlotPanel::CalcProportionalMargins() const
{
    const TRect panel = GetRectangle();
    const double w = panel.Width();
    const double h = panel.Height();
    int pw = 0;
    int ph = 0;
    double aspect = 1.0;
    try {
        TPrinter& printer = Printer();
        pw = printer.PageWidth();
        ph = printer.PageHeight();
        const TSize dpi = PrinterPixelsPerInch(printer);
        aspect = static_cast<double>(dpi.cx) / dpi.cy;
    } catch (const EPrinter&) {
        const QSize screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size()
                                                               : QSize(1024, 768);
        pw = screen.width();
        ph = screen.height();
        aspect = 1.0;
    }
    // A page longer than the panel's shape allows would want margins below
    // zero, a very flat panel two margins of 50 that leave it no room: the
    // margins stay on the paper and leave room between them.
    const auto across = [aspect](double P, double Q, double Ratio) {
        return std::clamp(RoundToInt32(100.0 * (Q - 0.7 * P * Ratio * aspect) / Q) / 2, 0, 49);
    };
    TRect result;
    if (w > h) {
        const int m = across(pw, ph, h / w);
        result = {15, m, 15, m};
    } else {
        const int m = h > 0 ? across(ph, pw, w / h) : 15;
        result = {m, 15, m, 15};
    }
    return result;
}

void TCustomPlotPanel::CalcScaledBounds(const TRect& Target, const TRect& PanelRect, int& LogicalWidth,
                                        int& LogicalHeight, TRect& Scaled) const
{
    const int panW = PanelRect.Width();
    const int panH = PanelRect.Height();
    LogicalWidth = Sub(panW, MulDiv(panW, FPrintResolution, 100));
    LogicalHeight = Sub(panH, MulDiv(panH, FPrintResolution, 100));
    const int rw = Target.Width();
    const int rh = Target.Height();
    Scaled.Left = MulDiv(Target.Left, LogicalWidth, rw);
    Scaled.Right = MulDiv(Target.Right, LogicalWidth, rw);
    Scaled.Top = MulDiv(Target.Top, LogicalHeight, rh);
    Scaled.Bottom = MulDiv(Target.Bottom, LogicalHeight, rh);
}

void TCustomPlotPanel::PrintPartial(const TRect& PrinterRect)
{
    PrintPartialCanvas(Printer().Canvas(), PrinterRect);
}

void TCustomPlotPanel::PrintPartialCanvas(TCanvas& Canvas, const TRect& PrinterRect)
{
    const TRect target = NormalizeRect(PrinterRect);
    int lw = 0;
    int lh = 0;
    TRect r;
    CalcScaledBounds(target, GetRectangle(), lw, lh, r);
    if (target.Width() == 0 || target.Height() == 0)
        return; // nothing to map onto

    TDeviceContext& dc = Canvas.Handle();
    const int oldMode = dc.SetMapMode(MM_ANISOTROPIC);
    const TPoint oldWindowOrg = dc.WindowOrg();
    const TSize oldWindowExt = dc.WindowExt();
    const TPoint oldViewportOrg = dc.ViewportOrg();
    const TSize oldViewportExt = dc.ViewportExt();
    const auto restore = [&] {
        dc.SelectClipRgn(nullptr);
        FPrinting = false;
        dc.SetWindowOrg(oldWindowOrg.X, oldWindowOrg.Y);
        dc.SetWindowExt(oldWindowExt.cx, oldWindowExt.cy);
        dc.SetViewportExt(oldViewportExt.cx, oldViewportExt.cy);
        dc.SetViewportOrg(oldViewportOrg.X, oldViewportOrg.Y);
        dc.SetMapMode(oldMode);
    };
    try {
        dc.SetWindowOrg(0, 0);
        dc.SetWindowExt(lw, lh);
        dc.SetViewportExt(target.Width(), target.Height());
        dc.SetViewportOrg(0, 0);
        FPrinting = true;
        if (CanClip()) {
            const TPoint topLeft = dc.LPtoDP(r.TopLeft());
            const TPoint bottomRight = dc.LPtoDP(r.BottomRight());
            const TRegion clip = CreateRectRgn(topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y);
            dc.SelectClipRgn(&clip);
        }
        if (OnBeforePrint)
            OnBeforePrint(this, Canvas, r);
        DrawToMetaCanvas(&Canvas, r);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

// --- Mouse and listeners ---------------------------------------------------------------------

TPlotEvent& TCustomPlotPanel::BroadcastPlotEvent(TPlotEvent& Event)
{
    if (IsDestroying() || !FListeners)
        return Event;
    Event.Sender = this;
    const bool isMouse = dynamic_cast<TPlotMouseEvent*>(&Event) != nullptr;
    // A listener may remove itself while it handles the event: walk a copy.
    std::vector<IPlotEventListener*> listeners;
    for (int i = 0; i < FListeners->Count(); ++i)
        listeners.push_back(FListeners->Item(i));
    for (IPlotEventListener* listener : listeners) {
        if (FListeners->IndexOf(listener) < 0)
            continue;
        listener->PlotEvent(Event);
        if (isMouse && FMouseCancelled)
            break;
    }
    return Event;
}

void TCustomPlotPanel::RemoveListener(IPlotEventListener* Listener)
{
    if (FListeners)
        FListeners->Remove(Listener);
}

void TCustomPlotPanel::BroadcastMouseEvent(TPlotMouseEvent::TPlotMouseEventKind Kind, TMouseButton Button,
                                           TShiftState Shift, int X, int Y)
{
    if (FListeners->Count() == 0)
        return;
    TPlotMouseEvent event;
    event.Event = Kind;
    event.Button = Button;
    event.Shift = Shift;
    event.X = X;
    event.Y = Y;
    BroadcastPlotEvent(event);
}

void TCustomPlotPanel::MouseDown(TMouseButton button, TShiftState shift, int X, int Y)
{
    FMouseCancelled = false;
    TCustomPanelNoCaption::MouseDown(button, shift, X, Y);
    BroadcastMouseEvent(TPlotMouseEvent::meDown, button, shift, X, Y);
}

void TCustomPlotPanel::MouseUp(TMouseButton button, TShiftState shift, int X, int Y)
{
    TCustomPanelNoCaption::MouseUp(button, shift, X, Y);
    BroadcastMouseEvent(TPlotMouseEvent::meUp, button, shift, X, Y);
}

void TCustomPlotPanel::MouseMove(TShiftState shift, int X, int Y)
{
    FMouseCancelled = false;
    TCustomPanelNoCaption::MouseMove(shift, X, Y);
    if (!IsDesigning())
        BroadcastMouseEvent(TPlotMouseEvent::meMove, mbLeft, shift, X, Y);
}

void TCustomPlotPanel::DblClick()
{
    FMouseCancelled = false;
    TCustomPanelNoCaption::DblClick();
    // A handler that cancelled the mouse ends the double-click's action.
    if (FMouseCancelled)
        throw EAbort();
}

void TCustomPlotPanel::SetCursor(TCursor value)
{
    FSavedCursor = value;
    TControl::SetCursor(value);
}

void TCustomPlotPanel::MouseLeave()
{
    ShowCursor(FSavedCursor);
    FPanning->Active = false;
    TCustomPanelNoCaption::MouseLeave();
}

} // namespace lp
