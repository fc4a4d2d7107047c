#include "section/views/ValueScale.h"

#include "chart/canvas/PlotCanvas.h"
#include "platform/base/Numeric.h"
#include "platform/graphics/DeviceContext.h"

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

// How one tick search differs between the two orientations.
struct TTickSearch {
    double Target;     // the fill ratio aimed at
    double Threshold;  // the search ends once a step is this close to it
    std::function<double(double Step)> LabelSize;
};

int64_t MultiplesInside(double Lo, double Hi, double Step)
{
    const double eps = Step / 1e10;
    return static_cast<int64_t>(std::floor((Hi + eps) / Step) - std::ceil((Lo - eps) / Step) + 1);
}

// A scale of thousands of labels is no scale: the count is bounded so that
// degenerate input cannot make the list huge.
constexpr int64_t MostTicks = 100000;

void ChooseTicks(const TTickSearch& Search, int Length, arofdoubleM& Ticks, double Lo, double Hi)
{
    if (Hi - Lo == 0 || !std::isfinite(Lo) || !std::isfinite(Hi))
        return;
    if (Hi < Lo)
        std::swap(Lo, Hi);
    const double s0 = std::pow(10.0, std::floor(std::log10(Hi - Lo)));
    double best = 1e30, bestStep = s0, base = s0, s = s0, previousRatio = 0.0, size = 0.0;
    for (int k = 0; k <= 6; ++k) {
        if (k > 0 && k % 2 == 1) {
            base = s;
            s = previousRatio > Search.Target ? 2 * s : s / 2;
        } else if (k > 0) {
            s = previousRatio > Search.Target ? 10 * base : base / 10;
        }
        size = Search.LabelSize(s);
        const int64_t n = MultiplesInside(Lo, Hi, s);
        const double ratio = static_cast<double>(n + 1) * size / Length;
        if (std::fabs(Search.Target - ratio) < best || k == 0) {
            best = std::fabs(Search.Target - ratio);
            bestStep = s;
        }
        previousRatio = ratio;
        if ((best < Search.Threshold && n > 1) || Length <= 3 * size)
            break;
    }
    if (Length <= 3 * size) {
        Ticks = arofdoubleM{(Lo + Hi) / 2};
        return;
    }
    // The count belongs to the chosen step, not to the last one tried.
    const int64_t n = std::clamp<int64_t>(MultiplesInside(Lo, Hi, bestStep), 0, MostTicks);
    Ticks = arofdoubleM(static_cast<int>(n));
    const double eps = bestStep / 1e10;
    for (int i = 0; i < Ticks.Length(); ++i)
        Ticks[i] = i == 0 ? std::ceil((Lo - eps) / bestStep) * bestStep : Ticks[i - 1] + bestStep;
}

int DigitsBeforePoint(double V)
{
    return static_cast<int>(std::floor(std::fabs(std::log10(std::fabs(V))))) + 1;
}

// The widest label a step of s can need: integer digits of the limits, and
// the decimals of s.
QString WidthSample(double Lo, double Hi, double S)
{
    int k = 1;
    if (Lo != 0 && Hi != 0)
        k = std::max(DigitsBeforePoint(Lo), DigitsBeforePoint(Hi));
    else if (Lo != 0 || Hi != 0)
        k = std::max(1, DigitsBeforePoint(Lo != 0 ? Lo : Hi));
    QString sample(std::clamp(k, 1, 400), QLatin1Char('0'));
    if (std::log10(S) < 0) {
        const double L = std::fabs(std::log10(S));
        const int m = static_cast<int>(std::floor(L + L / 100000)) + 1;
        sample += QLatin1Char('.') + QString(std::clamp(m, 1, 400), QLatin1Char('0'));
    }
    return sample;
}

TTextMeasure CanvasMeasure(TPlotCanvas& Canvas)
{
    return [&Canvas](const QString& Text) { return TSize{Canvas.TextWidth(Text), Canvas.TextHeight(Text)}; };
}

int DecimalsOf(double V)
{
    return V == 0 ? 0 : static_cast<int>(std::ceil(-std::log10(std::fabs(V))));
}

double Transform(int Mode, double C, double V)
{
    switch (Mode) {
    case 1:
        return std::log10(V);
    case 2:
        return SignedLog(C, V);
    default:
        return V;
    }
}

double InverseTransform(int Mode, double C, double U)
{
    switch (Mode) {
    case 1:
        return std::pow(10.0, U);
    case 2:
        return SignedLogInverse(C, U);
    default:
        return U;
    }
}

void ClearWhite(TPlotCanvas& Canvas, int X, int Y, int Width, int Height)
{
    Canvas.GetHandle().PatBlt(X, Y, Width, Height, WHITENESS);
}

void DrawTitle(TPlotCanvas& Canvas, const QString& Title, const QString& TitleFontName, int X, int Y)
{
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    if (!TitleFontName.isEmpty())
        Canvas.Font()->SetName(TitleFontName);
    Canvas.TextOut(X, Y, Title);
}

void DrawVerticalScale(TPlotCanvas& Canvas, bool Opposite, int Mode, double Min, double Max, int X, int Y,
                       int Length, double C, const QString& Title, const QString& TitleFontName, bool Descending)
{
    const int tw9 = std::abs(Canvas.TextWidth(QStringLiteral("123456789")));
    const int th9 = std::abs(Canvas.TextHeight(QStringLiteral("123456789")));
    ClearWhite(Canvas, Opposite ? X - 6 - 2 * tw9 : X, Y, 2 * tw9 + 6, Length);
    Canvas.Line(X, Y, X, Y + Length);

    // A logarithmic scale needs positive limits; without them it is drawn
    // linear rather than from logarithms of nothing.
    if (Mode == 1 && !(Min > 0 && Max > 0))
        Mode = 0;
    const double lo = Transform(Mode, C, Min), hi = Transform(Mode, C, Max);
    arofdoubleM u;
    NiceTicksByHeight(Canvas, Length, u, lo, hi);
    if (Descending)
        std::reverse(u.begin(), u.end());
    arofdoubleM ticks(u.Length());
    for (int i = 0; i < u.Length(); ++i)
        ticks[i] = InverseTransform(Mode, C, u[i]);

    const int side = Opposite ? -1 : 1;
    const double h = RoundHalfEven(th9 / 2.0);
    const double span = hi - lo;
    double last = Y, previous = 0;
    int widest = 0;
    const int n = ticks.Length();
    for (int i = 0; i < n; ++i) {
        const double rel = span == 0 ? 0.5 : (u[i] - lo) / span;
        const double p = Descending ? Y + Length - rel * Length : Y + rel * Length;
        const QString label = TickLabel(ticks, i);
        if ((RoundHalfEven(p - h) > last && p + h < Y + Length) || i == 0 || i == n - 1) {
            const int w = Canvas.TextWidth(label);
            Canvas.TextOut(Opposite ? X - 6 - w : X + 6, RoundToInt32(p - h), label);
            last = p + h;
            widest = std::max(widest, w);
        }
        const int rp = RoundToInt32(p);
        Canvas.Line(X, rp, X + side * 4, rp);
        if (i > 0) {
            const int half = RoundToInt32((p + previous) / 2);
            Canvas.Line(X, half, X + side * 2, half);
        }
        previous = p;
    }
    if (!Title.isEmpty()) {
        const int ty = RoundToInt32(Y + Length / 2.0 - Canvas.TextHeight(Title) / 2.0);
        DrawTitle(Canvas, Title, TitleFontName,
                  Opposite ? X - 8 - widest - Canvas.TextWidth(Title) : X + 8 + widest, ty);
    }
}

void DrawHorizontalScale(TPlotCanvas& Canvas, bool Opposite, double Min, double Max, int X, int Y, int Length,
                         const QString& Title, const QString& TitleFontName)
{
    const int th9 = std::abs(Canvas.TextHeight(QStringLiteral("123456789")));
    ClearWhite(Canvas, X, Opposite ? Y : Y - 6 - 3 * th9, Length, 3 * th9 + 6);
    Canvas.Line(X, Y, X + Length, Y);
    arofdoubleM ticks;
    NiceTicksByWidth(Canvas, Length, ticks, Min, Max);
    const int side = Opposite ? 1 : -1;
    double last = X, previous = 0;
    for (int i = 0; i < ticks.Length(); ++i) {
        const double p = Max == Min ? X + Length / 2.0 : X + (ticks[i] - Min) / (Max - Min) * Length;
        const QString label = TickLabel(ticks, i);
        const double hw = RoundHalfEven(std::abs(Canvas.TextWidth(label)) / 2.0);
        if (RoundHalfEven(p - hw) > last && p + hw < X + Length) {
            const int ly = Opposite ? Y + 6 : Y - 6 - std::abs(Canvas.TextHeight(label));
            Canvas.TextOut(RoundToInt32(p - hw), ly, label);
            last = p + hw;
        }
        const int rp = RoundToInt32(p);
        Canvas.Line(rp, Y, rp, Y + side * 4);
        if (i > 0) {
            const int half = RoundToInt32((p + previous) / 2);
            Canvas.Line(half, Y, half, Y + side * 2);
        }
        previous = p;
    }
    if (!Title.isEmpty()) {
        const int tx = RoundToInt32(X + Length / 2.0 - Canvas.TextWidth(Title) / 2.0);
        DrawTitle(Canvas, Title, TitleFontName, tx,
                  Opposite ? Y + 6 + th9 : Y - 6 - th9 - Canvas.TextHeight(Title));
    }
}

} // namespace

void NiceTicksByHeight(const TTextMeasure& Measure, int Length, arofdoubleM& Ticks, double Lo, double Hi)
{
    const double h = std::abs(Measure(QStringLiteral("0123456789")).cy);
    ChooseTicks({0.7, 0.1, [h](double) { return h; }}, Length, Ticks, Lo, Hi);
}

void NiceTicksByWidth(const TTextMeasure& Measure, int Length, arofdoubleM& Ticks, double Lo, double Hi)
{
    const auto width = [&](double s) { return static_cast<double>(std::abs(Measure(WidthSample(Lo, Hi, s)).cx)); };
    ChooseTicks({0.5, 0.15, width}, Length, Ticks, Lo, Hi);
}

void NiceTicksByHeight(TPlotCanvas& Canvas, int Length, arofdoubleM& Ticks, double Lo, double Hi)
{
    NiceTicksByHeight(CanvasMeasure(Canvas), Length, Ticks, Lo, Hi);
}

void NiceTicksByWidth(TPlotCanvas& Canvas, int Length, arofdoubleM& Ticks, double Lo, double Hi)
{
    NiceTicksByWidth(CanvasMeasure(Canvas), Length, Ticks, Lo, Hi);
}

QString TickLabel(const arofdoubleM& Ticks, int I)
{
    const int n = Ticks.Length();
    int d = 0;
    if (n == 1) {
        d = DecimalsOf(Ticks[0]);
    } else {
        const int j = I < n - 1 ? I : I - 1;
        const double gap = Ticks[j + 1] - Ticks[j];
        d = std::max({DecimalsOf(Ticks[j]), DecimalsOf(Ticks[j + 1]), DecimalsOf(gap)});
    }
    return QString::number(Ticks[I], 'f', std::clamp(d, 0, 30));
}

void DrawValueScale(TPlotCanvas& Canvas, int Orientation, bool Opposite, int Mode, double Min, double Max, int X,
                    int Y, int Length, double C, const QString& Title, const QString& TitleFontName,
                    bool Descending)
{
    if (Orientation == 1)
        DrawVerticalScale(Canvas, Opposite, Mode, Min, Max, X, Y, Length, C, Title, TitleFontName, Descending);
    else if (Orientation == 0)
        DrawHorizontalScale(Canvas, Opposite, Min, Max, X, Y, Length, Title, TitleFontName);
}

} // namespace lp
