#include "chart/canvas/PlotShapes.h"

#include "chart/canvas/PlotBlend.h"
#include "platform/base/Numeric.h"
#include "platform/core/Filer.h"
#include "platform/graphics/DrawingLimits.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lp {

namespace {

// Corner ellipse of rounded shapes, in pixels; it does not scale with zoom.
constexpr int RoundCornerSize = 16;

} // namespace

// --- TPlotCustomShapeBrushPen --------------------------------------------------------------

TPlotCustomShapeBrushPen::TPlotCustomShapeBrushPen(std::unique_ptr<TChartBrush> ABrush)
    : FBrush(ABrush ? std::move(ABrush) : std::make_unique<TChartBrush>())
{
    FBrush->OnChange = [this](TGraphicsObject*) { Repaint(); };
    FPen = std::make_unique<TChartPen>([this](TGraphicsObject*) { Repaint(); });
}

TPlotCustomShapeBrushPen::~TPlotCustomShapeBrushPen() = default;

void TPlotCustomShapeBrushPen::Assign(const TPersistent* Source)
{
    const auto* shape = qobject_cast<const TPlotCustomShapeBrushPen*>(Source);
    if (!shape) {
        TPersistent::Assign(Source);
        return;
    }
    FBrush->Assign(shape->FBrush.get());
    FPen->Assign(shape->FPen.get());
    FVisible = shape->FVisible;
}

void TPlotCustomShapeBrushPen::SetParentChart(TCustomPlotPanel* Value)
{
    FParentChart = Value;
}

void TPlotCustomShapeBrushPen::SetVisible(bool value)
{
    if (FParentChart)
        FParentChart->SetBooleanProperty(FVisible, value);
    else
        FVisible = value;
}

void TPlotCustomShapeBrushPen::Repaint()
{
    if (FParentChart)
        FParentChart->Invalidate();
}

// --- TPlotCustomShape ------------------------------------------------------------------------

TPlotCustomShape::TPlotCustomShape(TCustomPlotPanel* AOwner)
{
    SetParentChart(AOwner);
    EnsureShadow();
    FFont = std::make_unique<TPlotFont>([this](TGraphicsObject*) { Repaint(); });
}

TPlotCustomShape::~TPlotCustomShape()
{
    FShadow.reset();
    FFont.reset();
    FGradient.reset();
}

void TPlotCustomShape::Assign(const TPersistent* Source)
{
    if (const auto* shape = qobject_cast<const TPlotCustomShape*>(Source)) {
        FBevel = shape->FBevel;
        FBevelWidth = shape->FBevelWidth;
        FColor = shape->FColor;
        FFont->Assign(shape->FFont.get());
        SetGradient(shape->FGradient.get());
        FShapeStyle = shape->FShapeStyle;
        SetShadow(shape->FShadow.get());
        FTextFormat = shape->FTextFormat;
        FTransparent = shape->FTransparent;
        FTransparency = shape->FTransparency;
    }
    TPlotCustomShapeBrushPen::Assign(Source);
}

bool TPlotCustomShape::ReadOldProperty(const QString& Name, const QVariant& Value)
{
    if (Name == QLatin1String("ShadowColor")) {
        TColor color = clBlack;
        if (Value.typeId() == QMetaType::QString) {
            const std::optional<TColor> named = ColorOfIdent(Value.toString());
            if (!named)
                throw EConvertError(
                    FormatText("ShadowColor: \"%s\" is not a colour name", {Value.toString().toStdString()}));
            color = *named;
        } else {
            bool ok = false;
            color = static_cast<TColor>(Value.toLongLong(&ok));
            if (!ok)
                throw EConvertError("ShadowColor: a colour name or number was expected");
        }
        EnsureShadow().SetColor(color);
        return true;
    }
    if (Name == QLatin1String("ShadowSize")) {
        bool ok = false;
        const int size = Value.toInt(&ok);
        if (!ok)
            throw EConvertError("ShadowSize: an integer was expected");
        EnsureShadow().SetSize(size);
        return true;
    }
    return false;
}

void TPlotCustomShape::DefineProperties(TFiler& Filer)
{
    TPlotCustomShapeBrushPen::DefineProperties(Filer);
    for (const char* name : {"ShadowColor", "ShadowSize"}) {
        const QString property = QString::fromLatin1(name);
        Filer.DefineProperty(
            property, [this, property](const QVariant& value) { ReadOldProperty(property, value); }, {}, false);
    }
}

TPlotShadow& TPlotCustomShape::EnsureShadow()
{
    if (!FShadow) {
        FShadow = std::make_unique<TPlotShadow>([this](TPersistent*) { Repaint(); });
        FShadow->SetColor(clBlack);
        FShadow->SetSize(3);
        FShadow->SetDefaultColor(clBlack);
        FShadow->SetDefaultSize(3);
    }
    return *FShadow;
}

void TPlotCustomShape::SetBevel(TBevelCut value)
{
    if (value != FBevel) {
        FBevel = value;
        Repaint();
    }
}

void TPlotCustomShape::SetBevelWidth(int value)
{
    value = ClampToRange(value, 0, MaxPixelLength);
    if (value != FBevelWidth) {
        FBevelWidth = value;
        Repaint();
    }
}

void TPlotCustomShape::SetColor(TColor value)
{
    if (ParentChart())
        ParentChart()->SetColorProperty(FColor, value);
    else
        FColor = value;
}

TPlotGradient* TPlotCustomShape::Gradient() const
{
    if (!FGradient)
        FGradient = CreateGradient();
    return FGradient.get();
}

std::unique_ptr<TPlotGradient> TPlotCustomShape::CreateGradient() const
{
    auto* self = const_cast<TPlotCustomShape*>(this);
    return std::make_unique<TPlotGradient>([self](TPersistent*) { self->Repaint(); });
}

void TPlotCustomShape::SetGradient(const TPlotGradient* value)
{
    if (!value) {
        if (FGradient) {
            FGradient.reset();
            Repaint();
        }
    } else {
        Gradient()->Assign(value);
    }
}

void TPlotCustomShape::SetShadow(const TPlotShadow* value)
{
    if (!value) {
        if (FShadow) {
            FShadow.reset();
            Repaint();
        }
        return;
    }
    EnsureShadow().Assign(value);
}

void TPlotCustomShape::SetShapeStyle(TChartObjectShapeStyle value)
{
    if (value != FShapeStyle) {
        FShapeStyle = value;
        Repaint();
    }
}

void TPlotCustomShape::SetTextFormat(TTextFormat value)
{
    if (value != FTextFormat) {
        FTextFormat = value;
        Repaint();
    }
}

void TPlotCustomShape::SetTransparent(bool value)
{
    if (ParentChart())
        ParentChart()->SetBooleanProperty(FTransparent, value);
    else
        FTransparent = value;
}

void TPlotCustomShape::SetTransparency(int value)
{
    if (value < 0 || value > 100)
        throw ERangeError(FormatText("Transparency %d is outside 0 .. 100", {std::to_string(value)}));
    if (value != FTransparency) {
        FTransparency = value;
        Repaint();
    }
}

int TPlotCustomShape::Width() const
{
    return CheckedInt32(static_cast<int64_t>(FShapeBounds.Right) - FShapeBounds.Left + 1);
}

int TPlotCustomShape::Height() const
{
    return CheckedInt32(static_cast<int64_t>(FShapeBounds.Bottom) - FShapeBounds.Top + 1);
}

void TPlotCustomShape::SetWidth(int value)
{
    FShapeBounds.Right = CheckedInt32(static_cast<int64_t>(FShapeBounds.Left) + value - 1);
}

void TPlotCustomShape::SetHeight(int value)
{
    FShapeBounds.Bottom = CheckedInt32(static_cast<int64_t>(FShapeBounds.Top) + value - 1);
}

// --- Drawing ---------------------------------------------------------------------------------

TFourPoints TPlotCustomShape::RotatedCorners(const TRect& Rect, int Angle)
{
    int cx = 0;
    int cy = 0;
    RectCenter(Rect, cx, cy);
    const double radians = Angle * std::numbers::pi / 180.0;
    const double s = std::sin(radians);
    const double c = std::cos(radians);
    const auto turn = [&](int X, int Y) {
        const double x = static_cast<double>(X) - cx;
        const double y = static_cast<double>(Y) - cy;
        return TPoint{CheckedInt32(RoundToInt64(x * c + y * s) + cx), CheckedInt32(RoundToInt64(-x * s + y * c) + cy)};
    };
    TFourPoints p;
    p[0] = turn(Rect.Left, Rect.Top);
    p[1] = turn(Rect.Right, Rect.Top);
    p[2] = turn(Rect.Right, Rect.Bottom);
    p[3] = turn(Rect.Left, Rect.Bottom);
    return p;
}

void TPlotCustomShape::DrawOutline(TCanvas3D& Canvas, const TRect& Rect, int Angle, int Z) const
{
    if (Angle < 1) {
        if (Canvas.SupportsFullRotation())
            Canvas.RectangleWithZ(Rect, Z);
        else if (FShapeStyle == fosRectangle)
            Canvas.Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
        else
            Canvas.RoundRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom, RoundCornerSize, RoundCornerSize);
        return;
    }
    const TFourPoints p = RotatedCorners(Rect, Angle);
    Canvas.Polygon(AsSpan(p), 3);
}

void TPlotCustomShape::Draw()
{
    DrawRectRotated(FShapeBounds, 0, 0);
}

void TPlotCustomShape::DrawRectRotated(const TRect& Rect, int Angle, int Z)
{
    if (FTransparent || !ParentChart())
        return;
    TCanvas3D& canvas = ParentChart()->Canvas();

    std::unique_ptr<TPlotBlend> blend;
    if (FTransparency > 0) {
        TRect blendRect = Rect;
        if (Angle != 0) {
            const TFourPoints p = RotatedCorners(Rect, Angle);
            blendRect = RectFromPolygon(AsSpan(p), 3);
            blendRect.Right += 1;
            blendRect.Bottom += 1;
        }
        blend = canvas.BeginBlending(blendRect, FTransparency);
    }
    // The blend must end even when drawing fails, or its captured pixels
    // would never be put back.
    try {
        if (FShadow && FShadow->Size() != 0 && Brush()->Style() != bsClear) {
            if (Angle == 0 && FShapeStyle == fosRectangle) {
                const bool bracket = !canvas.SupportsFullRotation();
                if (bracket)
                    canvas.BeginNoRotation();
                FShadow->DrawWithDepth(canvas, Rect, Z);
                if (bracket)
                    canvas.EndNoRotation();
            }
            if (FTransparency > 0) {
                int dx = FShadow->HorizSize();
                int dy = FShadow->VertSize();
                if (std::max(dx, dy) > 0 && Pen()->Visible()) {
                    dx += Pen()->Width();
                    dy += Pen()->Width();
                }
                canvas.Pen()->SetStyle(psClear);
                canvas.Brush()->SetStyle(bsSolid);
                canvas.Brush()->SetColor(FShadow->Color());
                const TRect moved{Rect.Left + dx, Rect.Top + dy, Rect.Right + dx, Rect.Bottom + dy};
                std::unique_ptr<TPlotBlend> shadowBlend;
                if (FShadow->Transparency() > 0)
                    shadowBlend = canvas.BeginBlending(moved, FShadow->Transparency());
                DrawOutline(canvas, moved, Angle, Z);
                if (shadowBlend)
                    canvas.EndBlending(std::move(shadowBlend));
            }
        }

        if (FGradient && FGradient->Visible()) {
            if (Angle > 0) {
                const TFourPoints p = RotatedCorners(Rect, Angle);
                FGradient->DrawPolygon(canvas, TPointArray{p[0], p[1], p[2], p[3]}, Z, canvas.SupportsFullRotation());
            } else {
                FGradient->Draw(canvas, Rect, FShapeStyle == fosRoundRectangle ? RoundCornerSize : 0);
            }
            canvas.Brush()->SetStyle(bsClear);
        } else {
            canvas.AssignBrush(*Brush(), FColor);
        }
        canvas.AssignVisiblePen(*Pen());
        DrawOutline(canvas, Rect, Angle, Z);
        if (Angle == 0) {
            TRect bevel = Rect;
            DrawBevel(canvas, FBevel, bevel, FBevelWidth, 0);
        }
    } catch (...) {
        if (blend)
            canvas.EndBlending(std::move(blend));
        throw;
    }
    if (blend)
        canvas.EndBlending(std::move(blend));
}

} // namespace lp
