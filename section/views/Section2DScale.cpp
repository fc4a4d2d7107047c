// The colour scale of the mesh chart: palette index of a value, distances on
// the scale, the colour bar with its scale, cursor marker and units label.
#include "section/views/Section2D.h"

#include "chart/canvas/PlotCanvas.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotImageTool.h"
#include "platform/base/Numeric.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DeviceContext.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <utility>

namespace lp {

namespace {

// No scale span is taken as smaller than this: equal limits map every value
// to one end instead of dividing by zero.
constexpr double SmallestSpan = 1e-10;
// Points far outside the model area are drawn at this many model widths
// (depths), which keeps every pixel coordinate of a large picture in range.
constexpr double FarOutside = 1e4;
// The cell picture is never larger than this many pixels each way: a
// printer's or an export's larger cell area stretches it instead.
constexpr int LargestCellPicture = 4096;

} // namespace

void TTModelSection2d::ScaleAroundValue(double Value, double& Lo, double& Hi)
{
    constexpr double Factor = 10;
    if (Value == 0) {
        Lo = -1;
        Hi = 1;
        return;
    }
    Lo = Value > 0 ? Value / Factor : Value * Factor;
    Hi = Value > 0 ? Value * Factor : Value / Factor;
    // Near the ends of the doubles the factor gives no room (or infinity):
    // the scale then spans the neighbouring doubles.
    if (!(Lo < Hi) || !std::isfinite(Lo) || !std::isfinite(Hi)) {
        constexpr double Infinity = std::numeric_limits<double>::infinity();
        Lo = std::nextafter(Value, -Infinity);
        Hi = std::nextafter(Value, Infinity);
        if (!std::isfinite(Lo))
            Lo = Value;
        if (!std::isfinite(Hi))
            Hi = Value;
    }
}

void TTModelSection2d::SecureScaleLimits()
{
    if (ScaleMin < ScaleMax)
        return;
    if (ScaleMin > ScaleMax) {
        std::swap(ScaleMin, ScaleMax);
        return;
    }
    // Equal limits, or a limit that is no number.
    const double value = std::isfinite(ScaleMin) ? ScaleMin : std::isfinite(ScaleMax) ? ScaleMax : 0.0;
    ScaleAroundValue(value, ScaleMin, ScaleMax);
    ComputeSymLogConstant();
}

void TTModelSection2d::SecureScaleMode()
{
    SecureScaleLimits();
    if (ScaleMode == 1 && ScaleMin <= 0) {
        ScaleMode = 2;
        // The symmetric scale needs its constant; an owner that set the
        // logarithmic mode directly never computed one.
        if (!(SymLogConstant > 0))
            ComputeSymLogConstant();
    }
}

double TTModelSection2d::ScaleTransform(double V) const
{
    switch (ScaleMode) {
    case 1:
        return std::log(V);
    case 2:
        return SignedLog(SymLogConstant, V);
    default:
        return V;
    }
}

int TTModelSection2d::ValueToPaletteIndex(double Value)
{
    SecureScaleMode();
    const double v = std::clamp(Value, ScaleMin, std::max(ScaleMin, ScaleMax));
    const double top = ScaleTransform(ScaleMax);
    const double span = std::max(top - ScaleTransform(ScaleMin), SmallestSpan);
    const double index = RoundHalfEven((top - ScaleTransform(v)) * ColorCount / span);
    if (!(index >= 0))  // NaN too
        return 0;
    return static_cast<int>(std::min<double>(index, ColorCount));
}

TColor TTModelSection2d::ValueToColor(double Value)
{
    return Palette[ValueToPaletteIndex(Value)];
}

double TTModelSection2d::ColorScalePercent(double A, double B)
{
    SecureScaleMode();
    const double hi = std::max(ScaleMin, ScaleMax);
    const double a = ScaleTransform(std::clamp(A, ScaleMin, hi));
    const double b = ScaleTransform(std::clamp(B, ScaleMin, hi));
    const double span = std::fabs(ScaleTransform(ScaleMax) - ScaleTransform(ScaleMin));
    return std::fabs(b - a) / std::max(span, SmallestSpan) * 100;
}

void TTModelSection2d::ComputeSymLogConstant()
{
    double a = -100, b = -100;
    if (ScaleMax != 0)
        a = std::ceil(std::log10(std::fabs(ScaleMax)));
    if (ScaleMin != 0)
        b = std::ceil(std::log10(std::fabs(ScaleMin)));
    SymLogConstant = std::pow(10.0, std::max(a, b) - 3);
}

void TTModelSection2d::DrawColorBar(int X, int Y, int Width, int Height, TPlotCanvas& Canvas)
{
    if (!ShowColorBar)
        return;
    SecureScaleMode();
    const double rowStep = Height > 0 ? static_cast<double>(ColorCount) / Height : 0.0;
    double accumulator = 0.0;
    for (int i = 0; i <= Height; ++i) {
        const int index = std::clamp(RoundToInt32(accumulator), 0, Palette.High());
        Canvas.Pen()->SetColor(Palette[index]);
        Canvas.Line(X, Y + i, X + Width, Y + i);
        accumulator += rowStep;
    }
    Canvas.Pen()->SetColor(clBlack);
    Canvas.Brush()->SetColor(clWhite);
    Canvas.AssignFont(*ColorBarFont);
    const TRect r = ChartRectangle();
    DrawValueScale(Canvas, 1, false, ScaleMode, ScaleMin, ScaleMax, r.Right + ColorBarGap + ColorBarWidth, r.Top,
                   std::abs(r.Top - r.Bottom), ScaleMode == 2 ? SymLogConstant : 1.0, QString(), QString(), true);
    Canvas.Brush()->SetStyle(TBrush::bsSolid);
    DrawCursorMarker(CursorValue, &Canvas);

    Canvas.Font()->SetSize(Canvas.Font()->Size() + 2);
    const int textHeight = std::abs(Canvas.TextHeight(QStringLiteral("123")));
    Canvas.TextOutHtml(X, RoundToInt32(Y - textHeight - 3.0), UnitsLabel, true);
}

TTModelSection2d::TMarkerPlace TTModelSection2d::CursorMarkerPlace(double Value) const
{
    const TRect r = ChartRectangle();
    const double height = std::abs(r.Bottom - r.Top);
    const double top = ScaleTransform(ScaleMax), bottom = ScaleTransform(ScaleMin);
    const double span = top - bottom;
    // A bar without height, or a scale without span, shows the value at
    // the bottom.
    double rel = span != 0 ? (ScaleTransform(Value) - bottom) / span : 0.0;
    if (!std::isfinite(rel))
        rel = rel > 0 ? 1.0 : 0.0;
    rel = std::clamp(rel, -1e6, 1e6);
    TMarkerPlace place;
    place.Y = std::clamp(r.Bottom - RoundToInt32(rel * height), r.Top, r.Bottom);
    place.Y1 = place.Y - 1;
    if (place.Y1 < r.Top) {
        place.Y1 = r.Top;
        place.AtEnd = true;
    }
    if (place.Y + 1 > r.Bottom)
        place.AtEnd = true;
    return place;
}

QString TTModelSection2d::CursorReadout(double Value)
{
    if (Value < 10)
        return QString::fromStdString(RealToText(0, true, Value));
    return QString::number(Value, 'f', 0);
}

void TTModelSection2d::DrawCursorMarker(double Value, TPlotCanvas* Canvas)
{
    if (!ShowColorBar)
        return;
    SecureScaleMode();
    if (ScaleMode == 1 && Value <= 0) {
        Value = ScaleMin;
        CursorValue = Value;
    }
    if (Canvas != nullptr) {
        const TRect r = ChartRectangle();
        TDeviceContext& dc = Canvas->GetHandle();
        dc.PatBlt(r.Right + 1, r.Top, ColorBarGap, r.Bottom - r.Top, WHITENESS);
        const TMarkerPlace place = CursorMarkerPlace(Value);
        Canvas->Pen()->SetColor(clBlack);
        Canvas->Brush()->SetColor(place.AtEnd ? clRed : clBlack);
        const int tip = r.Right + ColorBarGap - 1;
        const TPoint triangle[] = {{tip, place.Y1}, {tip - 5, place.Y1 - 3}, {tip - 5, place.Y1 + 3}, {tip, place.Y1}};
        Canvas->Polygon(triangle, 3);
        Canvas->Brush()->SetStyle(TBrush::bsClear);
        Canvas->AssignFont(*ColorBarFont);
        dc.PatBlt(r.Right + ColorBarGap, r.Bottom + 5, 40, 30, WHITENESS);
        Canvas->TextOut(r.Right + ColorBarGap + 5, r.Bottom + 5, CursorReadout(CursorValue));
        Canvas->Brush()->SetStyle(TBrush::bsSolid);
    } else {
        Invalidate();
    }
    Fire(OnAfterChangeCB);
}

void TTModelSection2d::CursorFromBarPixel(int Y)
{
    const TRect r = ChartRectangle();
    // A bar without height points at no value: the cursor stays.
    if (r.Bottom == r.Top)
        return;
    SecureScaleMode();
    const double f = static_cast<double>(r.Bottom - Y) / (r.Bottom - r.Top);
    switch (ScaleMode) {
    case 1:
        CursorValue = std::exp(std::log(ScaleMin) + std::log(ScaleMax / ScaleMin) * f);
        break;
    case 2: {
        const double lo = SignedLog(SymLogConstant, ScaleMin), hi = SignedLog(SymLogConstant, ScaleMax);
        CursorValue = SignedLogInverse(SymLogConstant, lo + (hi - lo) * f);
        break;
    }
    default:
        CursorValue = (ScaleMax - ScaleMin) * f + ScaleMin;
    }
    DrawCursorMarker(CursorValue);
}

void TTModelSection2d::RepaintCells()
{
    // The cells first, then the control: the paint that follows shows them.
    // The window's buffer holds the old picture, so it is invalidated
    // before the window is repainted.
    if (!FitCellPicture(CellArea()))
        RefillCellPicture();
    Invalidate();
    Repaint();
}

void TTModelSection2d::RefillCellPicture()
{
    TBitmap& picture = CellPicture();
    if (picture.Empty())
        return;
    picture.Canvas().Handle().PatBlt(0, 0, picture.Width(), picture.Height(), WHITENESS);
    if (LastCol >= 0 && LastRow >= 0)
        PaintAllCells(nullptr);
}

bool TTModelSection2d::FitCellPicture(const TRect& Area)
{
    const TRect room = ChartRectangle();
    const int width = std::min({Area.Width(), std::max(room.Width(), 1), LargestCellPicture});
    const int height = std::min({Area.Height(), std::max(room.Height(), 1), LargestCellPicture});
    TBitmap& picture = CellPicture();
    if (width <= 0 || height <= 0 || (picture.Width() == width && picture.Height() == height))
        return false;
    // The resize would ask for a repaint of the chart that is drawing it.
    TPicture& holder = *ImageTool->Picture();
    auto onChange = std::exchange(holder.OnChange, nullptr);
    try {
        picture.SetSize(width, height);
        RefillCellPicture();
    } catch (...) {
        holder.OnChange = std::move(onChange);
        throw;
    }
    holder.OnChange = std::move(onChange);
    return true;
}

// --- World and cell-picture pixels ----------------------------------------------

int TTModelSection2d::XToCellPixel(double X) const
{
    const double width = ModelRight - ModelLeft;
    const int pixels = ImageTool->Picture()->Width();
    if (width == 0 || pixels <= 1)
        return 0;
    return RoundToInt32(std::clamp((X - ModelLeft) / width, -FarOutside, FarOutside) * (pixels - 1));
}

int TTModelSection2d::ZToCellPixel(double Z) const
{
    const double depth = ModelBottom - ModelTop;
    const int pixels = ImageTool->Picture()->Height();
    if (depth == 0 || pixels <= 1)
        return 0;
    return RoundToInt32(std::clamp((Z - ModelTop) / depth, -FarOutside, FarOutside) * (pixels - 1));
}

double TTModelSection2d::CellPixelToX(int X) const
{
    const int pixels = ImageTool->Picture()->Width();
    return pixels <= 1 ? ModelLeft : ModelLeft + (ModelRight - ModelLeft) * X / (pixels - 1);
}

double TTModelSection2d::CellPixelToZ(int Y) const
{
    const int pixels = ImageTool->Picture()->Height();
    return pixels <= 1 ? ModelTop : ModelTop + (ModelBottom - ModelTop) * Y / (pixels - 1);
}

TRect TTModelSection2d::CellArea() const
{
    TRect area = ImageTool->ImageRect();
    if (area == TRect{})
        area = ImageTool->CalcImageRect();
    const TRect normal{std::min(area.Left, area.Right), std::min(area.Top, area.Bottom),
                       std::max(area.Left, area.Right), std::max(area.Top, area.Bottom)};
    // Without the extent points the model area has no place: the cells
    // keep to the chart rectangle.
    return normal.Width() > 0 && normal.Height() > 0 ? normal : ChartRectangle();
}

namespace {

// The picture pixel under control pixel X of an area from Start, Span
// pixels long, showing Pixels picture pixels.
int PicturePixel(int X, int Start, int Span, int Pixels)
{
    const long long offset = static_cast<long long>(X) - Start;
    if (Span <= 0 || Span == Pixels)
        return static_cast<int>(std::clamp<long long>(offset, INT32_MIN, INT32_MAX));
    const double pixel = std::floor((static_cast<double>(offset) + 0.5) * Pixels / Span);
    return static_cast<int>(std::clamp<double>(pixel, INT32_MIN, INT32_MAX));
}

} // namespace

TPoint TTModelSection2d::ControlToCellPixel(int X, int Y) const
{
    const TRect area = CellArea();
    const TPicture& picture = *ImageTool->Picture();
    return {PicturePixel(X, area.Left, area.Width(), picture.Width()),
            PicturePixel(Y, area.Top, area.Height(), picture.Height())};
}

} // namespace lp
