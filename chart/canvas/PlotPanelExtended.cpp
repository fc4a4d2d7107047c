#include "chart/canvas/PlotPanelExtended.h"

#include "platform/core/Filer.h"

#include <QtGui/QPalette>

namespace lp {

// --- Zoom pen, brush and settings --------------------------------------------------------

TPlotZoomPen::TPlotZoomPen(TGraphicsChangeEvent OnChange) : TChartPen(std::move(OnChange))
{
    SetColor(clWhite);
}

TPlotZoomBrush::TPlotZoomBrush(TGraphicsChangeEvent OnChange) : TChartBrush(std::move(OnChange))
{
    SetColor(clWhite);
    SetStyle(bsClear);
}

TPlotZoom::TPlotZoom() = default;
TPlotZoom::~TPlotZoom() = default;

void TPlotZoom::Assign(const TPersistent* Source)
{
    const auto* zoom = qobject_cast<const TPlotZoom*>(Source);
    if (!zoom) {
        TZoomPanning::Assign(Source);
        return;
    }
    FAllow = zoom->FAllow;
    FAnimated = zoom->FAnimated;
    FAnimatedSteps = zoom->FAnimatedSteps;
    SetBrush(zoom->FBrush.get());
    FDirection = zoom->FDirection;
    FKeyShift = zoom->FKeyShift;
    FMouseButton = zoom->FMouseButton;
    SetPen(zoom->FPen.get());
}

TPlotZoomBrush* TPlotZoom::Brush() const
{
    if (!FBrush)
        FBrush = std::make_unique<TPlotZoomBrush>();
    return FBrush.get();
}

void TPlotZoom::SetBrush(const TPlotZoomBrush* value)
{
    if (!value)
        FBrush.reset();
    else
        Brush()->Assign(value);
}

TPlotZoomPen* TPlotZoom::Pen() const
{
    if (!FPen)
        FPen = std::make_unique<TPlotZoomPen>();
    return FPen.get();
}

void TPlotZoom::SetPen(const TPlotZoomPen* value)
{
    if (!value)
        FPen.reset();
    else
        Pen()->Assign(value);
}

// --- TBackImage ----------------------------------------------------------------------------

TBackImage::TBackImage() = default;

void TBackImage::Assign(const TPersistent* Source)
{
    if (const auto* image = qobject_cast<const TBackImage*>(Source)) {
        FInside = image->FInside;
        FLeft = image->FLeft;
        FMode = image->FMode;
        FTop = image->FTop;
    }
    TPicture::Assign(Source);
}

void TBackImage::NotifyChange()
{
    if (OnChange)
        OnChange(this);
}

void TBackImage::SetInside(bool value)
{
    if (value != FInside) {
        FInside = value;
        NotifyChange();
    }
}

void TBackImage::SetLeft(int value)
{
    if (value != FLeft) {
        FLeft = value;
        NotifyChange();
    }
}

void TBackImage::SetTop(int value)
{
    if (value != FTop) {
        FTop = value;
        NotifyChange();
    }
}

void TBackImage::SetMode(TPlotBackImageMode value)
{
    if (value != FMode) {
        FMode = value;
        NotifyChange();
    }
}

// --- TCustomPlotPanelExtended --------------------------------------------------------------

TCustomPlotPanelExtended::TCustomPlotPanelExtended(TComponent* AOwner) : TCustomPlotPanel(AOwner)
{
    FAllowPanning = pmBoth;
    FZoom = std::make_unique<TPlotZoom>();
}

TCustomPlotPanelExtended::~TCustomPlotPanelExtended()
{
    FZoom.reset();
    FGradient.reset();
    FBackImage.reset();
}

void TCustomPlotPanelExtended::Assign(const TPersistent* Source)
{
    if (const auto* panel = qobject_cast<const TCustomPlotPanelExtended*>(Source)) {
        if (panel->FBackImage)
            BackImage()->Assign(panel->FBackImage.get());
        else
            FBackImage.reset();
        SetGradient(panel->FGradient.get());
        FAllowPanning = panel->FAllowPanning;
        FZoom->Assign(panel->FZoom.get());
    }
    TCustomPlotPanel::Assign(Source);
}

bool TCustomPlotPanelExtended::ReadOldProperty(const QString& Name, const QVariant& Value)
{
    if (TCustomPlotPanel::ReadOldProperty(Name, Value))
        return true;
    if (Name == QLatin1String("AllowZoom")) {
        FZoom->SetAllow(Value.toBool());
        return true;
    }
    if (Name == QLatin1String("AnimatedZoom")) {
        FZoom->SetAnimated(Value.toBool());
        return true;
    }
    if (Name == QLatin1String("AnimatedZoomSteps")) {
        bool ok = false;
        const int steps = Value.toInt(&ok);
        if (!ok)
            throw EConvertError("AnimatedZoomSteps: an integer was expected");
        FZoom->SetAnimatedSteps(steps);
        return true;
    }
    if (Name == QLatin1String("PrintMargins")) {
        const QVariantList list = Value.toList();
        if (list.size() != 4)
            throw EConvertError("PrintMargins: a list of four integers was expected");
        int m[4];
        for (int i = 0; i < 4; ++i) {
            bool ok = false;
            m[i] = list[i].toInt(&ok);
            if (!ok)
                throw EConvertError("PrintMargins: a list of four integers was expected");
        }
        SetPrintMargins({m[0], m[1], m[2], m[3]});
        return true;
    }
    return false;
}

void TCustomPlotPanelExtended::DefineProperties(TFiler& Filer)
{
    TCustomPlotPanel::DefineProperties(Filer);
    for (const char* name : {"AllowZoom", "AnimatedZoom", "AnimatedZoomSteps"})
        DefineOldProperty(Filer, QString::fromLatin1(name));
    const TRect m = PrintMargins();
    Filer.DefineProperty(
        QStringLiteral("PrintMargins"),
        [this](const QVariant& value) { ReadOldProperty(QStringLiteral("PrintMargins"), value); },
        [m] { return QVariant(QVariantList{m.Left, m.Top, m.Right, m.Bottom}); }, m != TRect{15, 15, 15, 15});
}

TBackImage* TCustomPlotPanelExtended::BackImage() const
{
    if (!FBackImage) {
        FBackImage = std::make_unique<TBackImage>();
        auto* self = const_cast<TCustomPlotPanelExtended*>(this);
        FBackImage->OnChange = [self](TPicture* Sender) { self->PropertyChanged(Sender); };
    }
    return FBackImage.get();
}

void TCustomPlotPanelExtended::SetBackImage(const TBackImage* value)
{
    BackImage()->Assign(value);
}

bool TCustomPlotPanelExtended::BackImageTransp() const
{
    return HasBackImage() && FBackImage->Graphic()->Transparent();
}

void TCustomPlotPanelExtended::SetBackImageTransp(bool value)
{
    if (HasBackImage())
        FBackImage->Graphic()->SetTransparent(value);
}

TPlotGradient* TCustomPlotPanelExtended::Gradient() const
{
    if (!FGradient) {
        auto* self = const_cast<TCustomPlotPanelExtended*>(this);
        FGradient = std::make_unique<TPlotGradient>([self](TPersistent* Sender) { self->PropertyChanged(Sender); });
    }
    return FGradient.get();
}

void TCustomPlotPanelExtended::SetGradient(const TPlotGradient* value)
{
    if (!value) {
        FGradient.reset();
        Invalidate();
    } else {
        Gradient()->Assign(value);
    }
}

bool TCustomPlotPanelExtended::HasBackImage() const
{
    return FBackImage && FBackImage->Graphic() != nullptr;
}

void TCustomPlotPanelExtended::UndoZoom()
{
    if (OnUndoZoom)
        OnUndoZoom(this);
    Invalidate();
    FZoomed = false;
}

void TCustomPlotPanelExtended::FillPanelRect(const TRect& Rect)
{
    TPlotCanvas3D& canvas = Canvas();
    canvas.BeginNoRotation();
    if (FGradient && FGradient->Visible()) {
        FGradient->Draw(canvas, Rect);
    } else if ((!Printing() || PlotBackgroundWhenPrinting) && Color() != clNone) {
        canvas.Brush()->SetColor(Color());
        canvas.Brush()->SetStyle(bsSolid);
        canvas.EraseBackground(Rect);
    }
    canvas.EndNoRotation();
}

void TCustomPlotPanelExtended::PaintPanelBackground(const TRect& Rect)
{
    TPlotCanvas3D& canvas = Canvas();
    canvas.BeginNoRotation();
    TRect r = Rect;
    if (Shadow()->Size() > 0) {
        // Beside the shadow the parent window shows through; without a
        // parent window the panel colour stands in for it.
        TColor parentColor = Color();
        if (HandleAllocated() && Widget()->parentWidget())
            parentColor = FromQColor(Widget()->parentWidget()->palette().color(QPalette::Window));
        if (parentColor != clNone) {
            canvas.Brush()->SetColor(parentColor);
            canvas.Brush()->SetStyle(bsSolid);
            canvas.FillRect(r);
        }
        r.Right -= Shadow()->HorizSize();
        r.Bottom -= Shadow()->VertSize();
        Shadow()->Draw(canvas, r);
    }
    FillPanelRect(r);
    if (HasBackImage() && !FBackImage->Inside())
        DrawBackImage(r, 0);
    DrawPanelBevels(r);
    canvas.EndNoRotation();
}

void TCustomPlotPanelExtended::DrawBackImage(const TRect& Rect, int Z)
{
    if (!HasBackImage())
        return;
    TPlotCanvas3D& canvas = Canvas();
    const TGraphic* graphic = FBackImage->Graphic();
    TRect r = Rect;
    const int pw = graphic->Width();
    const int ph = graphic->Height();
    const bool orthogonal = canvas.IsOrthogonal();
    const auto project = [&] {
        r = canvas.CalculateRect3D(r, Z);
        if (!View3D())
            r.Top += 1;
    };
    const TPlotBackImageMode mode = FBackImage->Mode();
    if (mode == pbmStretch) {
        if (Z > 0 && orthogonal) {
            project();
            canvas.StretchDraw(r, graphic);
        } else if (Z > 0) {
            canvas.StretchDrawWithZ(r, graphic, Z);
        } else {
            canvas.StretchDraw(r, graphic);
        }
        return;
    }
    const bool clip = CanClip();
    if (clip) {
        if (Z == 0)
            canvas.ClipRectangle(r);
        else
            canvas.ClipCube(r, 0, Depth3D());
    }
    if (Z > 0 && orthogonal)
        project();
    const bool projected = Z > 0 && !orthogonal;
    try {
        if (mode == pbmTile) {
            if (pw >= 1 && ph >= 1) {
                for (int y = 0; y < r.Height(); y += ph)
                    for (int x = 0; x < r.Width(); x += pw) {
                        if (projected)
                            canvas.StretchDrawWithZ({r.Left + x, r.Top + y, r.Left + x + pw, r.Top + y + ph},
                                                    graphic, Z);
                        else
                            canvas.Draw(r.Left + x, r.Top + y, graphic);
                    }
            }
        } else {
            FillPanelRect(r);
            if (mode == pbmCustom) {
                r.Left += FBackImage->Left();
                r.Top += FBackImage->Top();
                r.Right = r.Left + pw;
                r.Bottom = r.Top + ph;
            } else {
                const int dx = (pw - r.Width()) / 2;
                const int dy = (ph - r.Height()) / 2;
                r = {r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy};
            }
            if (projected)
                canvas.StretchDrawWithZ(r, graphic, Z);
            else
                canvas.Draw(r.Left, r.Top, graphic);
        }
    } catch (...) {
        if (clip)
            canvas.UnClipRectangle();
        throw;
    }
    if (clip)
        canvas.UnClipRectangle();
}

void TCustomPlotPanelExtended::DrawZoomRectangle()
{
    if (TCanvas* window = TControl::WindowCanvas()) {
        DrawZoomRectangleOn(*window);
        UpdateWindow();
    }
}

void TCustomPlotPanelExtended::DrawZoomRectangleOn(TCanvas& Target)
{
    TPlotCanvas3D& canvas = Canvas();
    TCanvas* previous = canvas.ReferenceCanvas();
    canvas.SetCanvas(&Target);
    const TColor back = ColorToRGB(GetBackColor());
    const TColor invert = 0xFFFFFF - back;
    // Under not-xor a white source leaves every pixel as it is, so a band
    // whose colour works out white (the default white pen on a white back)
    // would never show; black inverts instead.
    const auto visible = [](TColor Color) { return Color == clWhite ? clBlack : Color; };
    if (FZoom->HasBrush())
        SetBrushCanvas(visible(ColorToRGB(FZoom->Brush()->Color()) ^ invert), *FZoom->Brush(), back);
    else
        canvas.Brush()->SetStyle(bsClear);
    // The band draws not-xor so that drawing it again erases it; a copy of
    // the zoom pen takes that mode, so the stored pen stays as it was set.
    TPlotZoomPen pen;
    pen.Assign(FZoom->Pen());
    pen.SetMode(pmNotXor);
    canvas.AssignVisiblePenColor(pen, visible(ColorToRGB(pen.Color()) ^ invert));
    if (!FZoom->HasBrush() || FZoom->Brush()->Style() == bsClear)
        canvas.SetBackMode(1);
    Target.Rectangle(FZoom->X0, FZoom->Y0, FZoom->X1, FZoom->Y1);
    canvas.SetCanvas(previous);
}

} // namespace lp
