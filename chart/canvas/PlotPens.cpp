#include "chart/canvas/PlotPens.h"

#include "chart/canvas/PlotPatterns.h"
#include "platform/base/Exception.h"
#include "platform/base/Numeric.h"
#include "platform/core/Filer.h"

#include <cmath>
#include <numbers>

namespace lp {

// --- TChartPen ----------------------------------------------------------------------------------

TChartPen::TChartPen(TGraphicsChangeEvent OnChange)
{
    this->OnChange = std::move(OnChange);
}

void TChartPen::SetEndStyle(TPenEndStyle value)
{
    if (FEndStyle != value) {
        FEndStyle = value;
        Changed();
    }
}

void TChartPen::SetSmallDots(bool value)
{
    if (FSmallDots != value) {
        FSmallDots = value;
        Changed();
    }
}

void TChartPen::SetSmallSpace(int value)
{
    if (FSmallSpace != value) {
        FSmallSpace = value;
        Changed();
    }
}

void TChartPen::SetVisible(bool value)
{
    if (FVisible != value) {
        FVisible = value;
        Changed();
    }
}

void TChartPen::Assign(const TPersistent* Source)
{
    if (const auto* pen = qobject_cast<const TChartPen*>(Source)) {
        FVisible = pen->FVisible;
        FSmallDots = pen->FSmallDots;
        FSmallSpace = pen->FSmallSpace;
        FEndStyle = pen->FEndStyle;
    }
    TPen::Assign(Source);
}

// The presets set their values before the change callback is installed: an
// owner creating its pen in its own constructor must not hear of a change
// while it is half built.

TChartHiddenPen::TChartHiddenPen(TGraphicsChangeEvent OnChange)
{
    SetVisible(false);
    SetDefaultVisible(false);
    this->OnChange = std::move(OnChange);
}

TDottedGrayPen::TDottedGrayPen(TGraphicsChangeEvent OnChange)
{
    SetColor(clGray);
    SetStyle(psDot);
    this->OnChange = std::move(OnChange);
}

TDarkGrayPen::TDarkGrayPen(TGraphicsChangeEvent OnChange)
{
    SetColor(clGray);
    this->OnChange = std::move(OnChange);
}

TWhitePen::TWhitePen(TGraphicsChangeEvent OnChange)
{
    SetColor(clWhite);
    this->OnChange = std::move(OnChange);
}

// --- Device pens -----------------------------------------------------------------------------------

int PenEndStyleFlags(TPenEndStyle style)
{
    switch (style) {
    case esRound: return int(PS_ENDCAP_ROUND) | int(PS_JOIN_ROUND);
    case esSquare: return int(PS_ENDCAP_SQUARE) | int(PS_JOIN_BEVEL);
    case esFlat: return int(PS_ENDCAP_FLAT) | int(PS_JOIN_MITER);
    }
    return int(PS_ENDCAP_ROUND) | int(PS_JOIN_ROUND);
}

namespace {

// The device style code of a pen style for a geometric pen. The user-style
// and alternate styles have no geometric form (no dash list, alternate is
// cosmetic only), so such pens draw solid.
int GeometricStyleCode(TPenStyle style)
{
    switch (style) {
    case TPen::psSolid: return PS_SOLID;
    case TPen::psDash: return PS_DASH;
    case TPen::psDot: return PS_DOT;
    case TPen::psDashDot: return PS_DASHDOT;
    case TPen::psDashDotDot: return PS_DASHDOTDOT;
    case TPen::psClear: return PS_NULL;
    case TPen::psInsideFrame: return PS_INSIDEFRAME;
    case TPen::psUserStyle:
    case TPen::psAlternate: return PS_SOLID;
    }
    return PS_SOLID;
}

} // namespace

TLogPen CreateSmallDotsPen(TColor color, int spacing)
{
    const TColor rgb = ColorToRGB(color);
    if (spacing >= 1) {
        const uint32_t gap = static_cast<uint32_t>(CheckedInt32(static_cast<int64_t>(spacing) + 1));
        return ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 1, rgb, {0u, gap});
    }
    return ExtCreatePen(PS_ALTERNATE, 1, rgb);
}

void CreateDevicePen(const TChartPen& Pen, TColor Color, TPen& Target, TDeviceContext& DC)
{
    if (Pen.SmallDots()) {
        // The mode first: a property change would drop the explicit pen.
        Target.SetMode(Pen.Mode());
        Target.SetHandle(CreateSmallDotsPen(Color, Pen.SmallSpace()));
        DC.SetROP2(PenModeToRop2(Pen.Mode()));
        return;
    }
    Target.Assign(&Pen);
    if (Target.Color() != Color)
        Target.SetColor(Color);
    if (Pen.Width() < 2)
        return;
    const int flags = GeometricStyleCode(Pen.Style()) | PS_GEOMETRIC | PenEndStyleFlags(Pen.EndStyle());
    Target.SetHandle(ExtCreatePen(flags, Pen.Width(), ColorToRGB(Color)));
    DC.SetROP2(PenModeToRop2(Pen.Mode()));
}

// --- TChartBrush -----------------------------------------------------------------------------------

TChartBrush::TChartBrush(TGraphicsChangeEvent OnChange)
{
    FColor = clDefault;
    this->OnChange = std::move(OnChange);
}

TChartClearBrush::TChartClearBrush(TGraphicsChangeEvent OnChange) : TChartBrush(std::move(OnChange))
{
    SetStyle(bsClear);
}

TChartBrush::~TChartBrush()
{
    if (FImage)
        FImage->OnChange = nullptr;
}

TPicture* TChartBrush::Image()
{
    if (!FImage) {
        FImage = std::make_unique<TPicture>();
        FImage->OnChange = [this](TPicture*) { Changed(); };
    }
    return FImage.get();
}

void TChartBrush::SetImage(const TPicture* value)
{
    if (value) {
        if (value != FImage.get())
            Image()->Assign(value);
    } else {
        FImage.reset();
    }
    Changed();
}

bool TChartBrush::HasImage() const
{
    return FImage && FImage->Graphic() && !FImage->Graphic()->Empty();
}

void TChartBrush::Assign(const TPersistent* Source)
{
    if (const auto* brush = qobject_cast<const TChartBrush*>(Source))
        SetImage(brush->FImage.get());
    TBrush::Assign(Source);
}

bool TChartBrush::IsStyleStored() const
{
    return IsNamedBrushStyle(Style());
}

void TChartBrush::DefineProperties(TFiler& Filer)
{
    TBrush::DefineProperties(Filer);
    Filer.DefineProperty(
        QStringLiteral("Pattern"),
        [this](const QVariant& Value) {
            bool IsNumber = false;
            const int Pattern = Value.toInt(&IsNumber);
            if (!IsNumber || Pattern < 0 || Pattern >= PatternBitmapCount)
                throw ERangeError("Pattern " + Value.toString().toStdString() + " is not one of the brush patterns");
            SetStyle(static_cast<TBrushStyle>(FirstPatternBrushStyle + Pattern));
        },
        [this] { return QVariant(static_cast<int>(Style()) - FirstPatternBrushStyle); }, !IsStyleStored());
}

// --- TView3DOptions --------------------------------------------------------------------------------

TView3DOptions::TView3DOptions(TComponent* Parent, std::function<void()> RepaintParent)
    : FParent(Parent), FRepaintParent(std::move(RepaintParent))
{
}

void TView3DOptions::Repaint()
{
    if (FRepaintParent)
        FRepaintParent();
}

int TView3DOptions::Elevation() const
{
    return RoundToInt32(FElevation);
}

void TView3DOptions::SetElevation(int value)
{
    SetElevationFloat(value);
}

void TView3DOptions::SetElevationFloat(double value)
{
    if (FElevation != value) {
        FElevation = value;
        Repaint();
    }
}

void TView3DOptions::SetFontZoom(int value)
{
    if (FFontZoom != value) {
        FFontZoom = value;
        Repaint();
    }
}

void TView3DOptions::SetHorizOffset(int value)
{
    if (FHorizOffset != value) {
        FHorizOffset = value;
        Repaint();
        if (OnOffsetChange)
            OnOffsetChange(true);
    }
}

void TView3DOptions::SetOrthogonal(bool value)
{
    if (FOrthogonal != value) {
        FOrthogonal = value;
        Repaint();
    }
}

void TView3DOptions::SetOrthoAngle(int value)
{
    if (FOrthoAngle != value) {
        FOrthoAngle = value;
        Repaint();
    }
}

void TView3DOptions::SetPerspective(int value)
{
    if (FPerspective != value) {
        FPerspective = value;
        Repaint();
    }
}

int TView3DOptions::Rotation() const
{
    return RoundToInt32(FRotation);
}

void TView3DOptions::SetRotation(int value)
{
    SetRotationFloat(value);
}

void TView3DOptions::SetRotationFloat(double value)
{
    if (FRotation != value) {
        FRotation = value;
        Repaint();
    }
}

void TView3DOptions::SetTilt(int value)
{
    if (FTilt != value) {
        FTilt = value;
        Repaint();
    }
}

void TView3DOptions::SetVertOffset(int value)
{
    if (FVertOffset != value) {
        FVertOffset = value;
        Repaint();
        if (OnOffsetChange)
            OnOffsetChange(false);
    }
}

void TView3DOptions::SetZoom(int value)
{
    if (FZoom != value) {
        if (OnZoomChange)
            OnZoomChange(value);
        FZoom = value;
        Repaint();
    }
}

void TView3DOptions::SetZoomText(bool value)
{
    if (FZoomText != value) {
        FZoomText = value;
        Repaint();
    }
}

double TView3DOptions::CalcOrthoRatio() const
{
    if (!FOrthogonal)
        return 1.0;
    double angle = FOrthoAngle;
    if (angle > 90)
        angle = 180 - angle;
    const double radians = angle * std::numbers::pi / 180.0;
    const double cosine = std::cos(radians);
    if (cosine < 0.01)
        return 1.0;
    return std::sin(radians) / cosine;
}

void TView3DOptions::Assign(const TPersistent* Source)
{
    const auto* options = qobject_cast<const TView3DOptions*>(Source);
    if (!options)
        return;
    FElevation = options->FElevation;
    FFontZoom = options->FFontZoom;
    FHorizOffset = options->FHorizOffset;
    FOrthogonal = options->FOrthogonal;
    FOrthoAngle = options->FOrthoAngle;
    FPerspective = options->FPerspective;
    FRotation = options->FRotation;
    FTilt = options->FTilt;
    FVertOffset = options->FVertOffset;
    FZoom = options->FZoom;
    FZoomText = options->FZoomText;
}

} // namespace lp
