#include "section/modelling/InversionCharts.h"

#include "chart/canvas/PlotCanvas.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotTitles.h"
#include "section/views/Section2D.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <map>
#include <memory>

namespace lp {

namespace {

arofdoubleM ArrayOf(const std::vector<double>& Values)
{
    arofdoubleM result(static_cast<int>(Values.size()));
    for (size_t i = 0; i < Values.size(); ++i)
        result[static_cast<int>(i)] = Values[i];
    return result;
}

std::vector<double> VectorOf(const arofdoubleM& Values)
{
    return std::vector<double>(Values.begin(), Values.end());
}

// The highest point of the chart's relief: its drawn depths count down
// from there.
double HighestElevation(const TTModelSection2d& Chart)
{
    return Chart.ReliefZ.Length() > 0 ? *std::max_element(Chart.ReliefZ.begin(), Chart.ReliefZ.end()) : 0.0;
}

// Whether the chart's surface stands anywhere but at elevation 0: a relief,
// or a surface the file or the section places at an elevation. The
// vertical axis then shows elevations.
bool ShowsElevations(const TTModelSection2d& Chart)
{
    return std::any_of(Chart.ReliefZ.begin(), Chart.ReliefZ.end(), [](double z) { return z != 0.0; });
}

// Untitled, the chart's left margin holds the numbers alone (the axis
// takes no room of its own for them); titled, the axis takes the room its
// labels and title need beyond a small margin.
constexpr int PlainLeftMargin = 25;
constexpr int TitledLeftMargin = 6;

// The vertical axis as depth (numbers only) or as elevation, titled.
void TitleVerticalAxis(TTModelSection2d& Chart)
{
    const bool elevation = ShowsElevations(Chart);
    TChartAxis& axis = *Chart.LeftAxis();
    axis.Title()->SetCaption(elevation ? QStringLiteral("Elevation (m)") : QString());
    axis.SetLabelsSize(elevation ? 0 : 1);
    Chart.SetMarginLeft(elevation ? TitledLeftMargin : PlainLeftMargin);
}

// The chart draws its cells at z = the highest surface point less the
// elevation, growing downward (Section2D: the relief shift). Over relief
// its vertical axis is labelled with round elevations at their places:
// the labels' values are chosen here and their texts replaced by the
// elevations'.
void LabelElevations(TTModelSection2d& Chart)
{
    TTModelSection2d* chart = &Chart;
    auto texts = std::make_shared<std::map<QString, QString>>(); // depth label text -> elevation text
    auto plain = std::make_shared<bool>(false);                    // formatting without the replacement
    Chart.OnGetNextAxisLabel = [chart, texts, plain](TChartAxis* Sender, int Index, double& Value, bool& Stop) {
        Stop = true;
        if (Sender != chart->LeftAxis() || !ShowsElevations(*chart))
            return; // the axis' own labels
        if (Index == 0)
            texts->clear();
        const double step = Sender->CalcLabelsIncrement();
        const double highest = *std::max_element(chart->ReliefZ.begin(), chart->ReliefZ.end());
        if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(highest))
            return;
        // The highest round elevation within the axis, then down by steps.
        const double first = std::floor((highest - Sender->Minimum()) / step + 1e-9);
        double elevation = (first - Index) * step;
        if (elevation == 0.0)
            elevation = 0.0; // no "-0"
        Value = highest - elevation;
        if (!(Value <= Sender->Maximum() + 1e-9 * std::max(1.0, std::fabs(step))))
            return;
        *plain = true;
        (*texts)[Sender->LabelValue(Value)] = Sender->LabelValue(elevation);
        *plain = false;
        Stop = false;
    };
    Chart.OnGetAxisLabel = [chart, texts, plain](TChartAxis* Sender, TChartSeries*, int ValueIndex, QString& Text) {
        if (*plain || Sender != chart->LeftAxis() || ValueIndex != -1 || !ShowsElevations(*chart))
            return;
        if (const auto found = texts->find(Text); found != texts->end())
            Text = found->second;
    };
    // The axis gives its labels the room of its own values' texts (the
    // depths, "0" to "35"); the elevations drawn instead ("-96", "115")
    // are wider, and the title would stand on them: the room of the
    // widest elevation shown, as the axis measures its own.
    Chart.AxesList().OnAxisSize = [chart](TChartAxis* Axis, int Size) {
        if (Axis != chart->LeftAxis() || !ShowsElevations(*chart) || !chart->Canvas().ReferenceCanvas())
            return Size;
        const double step = Axis->CalcLabelsIncrement();
        const double highest = HighestElevation(*chart);
        const double top = highest - Axis->Minimum(), bottom = highest - Axis->Maximum();
        if (!(step > 0.0) || !std::isfinite(top) || !std::isfinite(bottom) || (top - bottom) / step > 1000.0)
            return Size;
        int widest = 0;
        for (double k = std::ceil(bottom / step - 1e-9); k * step <= top + 1e-9 * step; k += 1.0) {
            const double elevation = k == 0.0 ? 0.0 : k * step; // no "-0"
            widest = std::max(widest, chart->Canvas().TextWidth(Axis->LabelValue(elevation)));
        }
        return std::max(Size, widest + chart->Canvas().TextWidth(QStringLiteral(" ")));
    };
}

// The mesh and the relief, with every per-cell table following it.
void ShowMesh(TTModelSection2d& Chart, const TInversionChartData& Cells)
{
    const arofdoubleM cols = ArrayOf(Cells.ColBounds);
    const arofdoubleM rows = ArrayOf(Cells.RowBounds);
    Chart.ReliefX = ArrayOf(Cells.ReliefX);
    Chart.ReliefZ = ArrayOf(Cells.ReliefZ);
    Chart.ReliefFadeTop = Cells.FadeTop;
    Chart.ReliefFadeBottom = Cells.FadeBottom;
    Chart.RowShifts = Cells.RowShifts;
    Chart.Layers = DynArray<ararofdoubleM>(1);
    Chart.LayerOrder = arofintM{0};
    Chart.CurrentLayer = 0;
    Chart.ColAnchored = arofboolM();
    Chart.ModelLeft = cols[0];
    Chart.ModelRight = cols.Last();
    Chart.ModelTop = rows[0];
    Chart.SetColBounds(cols.Length(), &cols);
    Chart.UpdateReliefShift();
    Chart.ModelBottom = rows.Last() + Chart.MaxReliefShift;
    Chart.ModelWidth = Chart.ModelRight - Chart.ModelLeft;
    Chart.ModelDepth = Chart.ModelBottom - Chart.ModelTop;
    Chart.SetRowBounds(rows.Length(), &rows);
    Chart.UpdateReliefShift();
    TitleVerticalAxis(Chart);
}

// Every cell's value, fixed flag and limits; the range of the values.
void ShowValues(TTModelSection2d& Chart, const TInversionChartData& Cells, double& Low, double& High)
{
    Low = MaxCellValue;
    High = MinCellValue;
    for (int c = 0; c <= Chart.LastCol; ++c)
        for (int r = 0; r <= Chart.LastRow; ++r) {
            const auto column = static_cast<size_t>(c), row = static_cast<size_t>(r);
            double value = Cells.Values.at(column).at(row);
            TTModelSection2d::ClampValue(value);
            Chart.Layers[0][c][r] = value;
            Low = std::min(Low, value);
            High = std::max(High, value);
            Chart.Selected[c][r] = false;
            Chart.Fixed[c][r] = !Cells.Fixed.empty() && Cells.Fixed.at(column).at(row);
            const std::pair<double, double> limits =
                Cells.Limits.empty() ? std::pair{0.0, 0.0} : Cells.Limits.at(column).at(row);
            Chart.Limits[c][r] = complexM{limits.first, limits.second};
        }
}

} // namespace

void PrepareInversionChart(TTModelSection2d& Chart, const QString& Title, const QString& Units)
{
    // The chart's palette runs from the scale's top: reversed, a low value
    // is blue and a high one red, as in the pseudo-sections.
    std::swap(Chart.PaletteFirstColor, Chart.PaletteLastColor);
    std::swap(Chart.PaletteMidColors[0], Chart.PaletteMidColors[1]);
    std::reverse(Chart.Palette.begin(), Chart.Palette.end());
    Chart.ShowMesh = false;
    Chart.ShowBorders = false;
    // The axes carry no captions of their own: the chart's narrow margins
    // hold their numbers only (and, over relief, the elevation axis' title).
    Chart.Title()->Text()->Clear();
    Chart.Title()->Text()->Add(Title);
    Chart.UnitsLabel = Units;
    LabelElevations(Chart);
}

void ShowChartCells(TTModelSection2d& Chart, const TInversionChartData& Cells, bool Logarithmic)
{
    // The record is checked before the chart changes.
    TInversionSettings unused;
    ChartStartingModel(Cells, unused);
    ShowMesh(Chart, Cells);
    double low = 0.0, high = 0.0;
    ShowValues(Chart, Cells, low, high);
    Chart.HalfSpaceValue = -1.0; // no cell holds it: every cell shows its own value
    Chart.ScaleMode = Logarithmic ? 1 : 0;
    Chart.ScaleMin = low;
    Chart.ScaleMax = high;
    Chart.SecureScaleLimits();
    Chart.CursorValue = Logarithmic ? std::sqrt(low * high) : 0.5 * (low + high);
    // The colour bar shows once a cell is current.
    Chart.CurCol = 0;
    Chart.CurRow = 0;
    Chart.CellFade = ararofdoubleM();
    Chart.ExtentSeries->Clear();
    Chart.ExtentSeries->AddXY(Chart.ModelLeft, Chart.ModelTop);
    Chart.ExtentSeries->AddXY(Chart.ModelRight, Chart.ModelBottom);
    Chart.UndoStore = undo{};
    Chart.UndoStore.Counters.fill(-1);
    Chart.RecordUndo(Chart.UndoStore);
    Chart.RepaintCells();
}

TInversionChartData ChartCells(const TTModelSection2d& Chart)
{
    TInversionChartData cells;
    cells.ColBounds = VectorOf(Chart.ColBounds);
    cells.RowBounds = VectorOf(Chart.RowBounds);
    cells.ReliefX = VectorOf(Chart.ReliefX);
    cells.ReliefZ = VectorOf(Chart.ReliefZ);
    cells.FadeTop = Chart.ReliefFadeTop;
    cells.FadeBottom = Chart.ReliefFadeBottom;
    // Bent rows only while they match the mesh (an edited layout drops them).
    if (Chart.RowShifts.size() == cells.ColBounds.size() &&
        std::all_of(Chart.RowShifts.begin(), Chart.RowShifts.end(),
                    [&](const std::vector<double>& Edge) { return Edge.size() == cells.RowBounds.size(); }))
        cells.RowShifts = Chart.RowShifts;
    const auto columns = static_cast<size_t>(std::max(Chart.LastCol + 1, 0));
    const auto rows = static_cast<size_t>(std::max(Chart.LastRow + 1, 0));
    cells.Values.assign(columns, std::vector<double>(rows));
    cells.Fixed.assign(columns, std::vector<bool>(rows));
    cells.Limits.assign(columns, std::vector<std::pair<double, double>>(rows));
    for (size_t c = 0; c < columns; ++c)
        for (size_t r = 0; r < rows; ++r) {
            const int column = static_cast<int>(c), row = static_cast<int>(r);
            cells.Values[c][r] = Chart.CellValue(column, row);
            cells.Fixed[c][r] = Chart.Fixed[column][row];
            const complexM limits = Chart.Limits[column][row];
            cells.Limits[c][r] = {limits.re, limits.im};
        }
    return cells;
}

void MarkElectrodes(TTModelSection2d& Chart, const TMeasuredData& Data)
{
    const double highest = HighestElevation(Chart);
    // Only those the data use: one no datum uses may lie far off the cells.
    const std::vector<int> used = UsedElectrodes(Data.Survey());
    arofcomplexM marks(static_cast<int>(used.size()));
    for (size_t k = 0; k < used.size(); ++k) {
        const TElectrode& electrode = Data.Electrodes.at(static_cast<size_t>(used[k]));
        marks[static_cast<int>(k)] = complexM{electrode.x, highest - electrode.z};
    }
    Chart.MarkerPoints = marks;
}

void DrawOutlines(TTModelSection2d& Chart, const std::vector<TOutline>& Outlines, int Width, bool Dashed)
{
    if (Outlines.empty() || Chart.LastCol < 0)
        return;
    const double highest = HighestElevation(Chart);
    TPlotCanvas& canvas = Chart.Canvas();
    canvas.Pen()->SetStyle(Dashed ? psDash : psSolid);
    canvas.Pen()->SetColor(clBlack);
    canvas.Pen()->SetWidth(Width);
    canvas.ClipRectangle(Chart.ChartRectangle());
    // One polyline per chain: a dash pattern starts anew with every line,
    // and segments one cell edge long, each begun on a dash, draw solid.
    for (const std::vector<TGeometryPoint>& chain : JoinedOutlines(Outlines)) {
        std::vector<TPoint> pixels;
        for (const TGeometryPoint& point : chain)
            pixels.push_back({Chart.BottomAxis()->CalcPosValue(point.x),
                              Chart.LeftAxis()->CalcPosValue(highest - point.y)});
        canvas.Polyline(pixels, static_cast<int>(pixels.size()) - 1);
    }
    canvas.UnClipRectangle();
}

std::vector<std::vector<TGeometryPoint>> JoinedOutlines(const std::vector<TOutline>& Outlines)
{
    const auto key = [](const TGeometryPoint& p) { return std::make_pair(p.x, p.y); };
    std::multimap<std::pair<double, double>, size_t> ends; // each segment under both its ends
    for (size_t s = 0; s < Outlines.size(); ++s) {
        ends.emplace(key(Outlines[s].first), s);
        ends.emplace(key(Outlines[s].second), s);
    }
    std::vector<bool> used(Outlines.size(), false);
    // The unused segment ending at Point, whose other end is Next; false for none.
    const auto follow = [&](const TGeometryPoint& Point, TGeometryPoint& Next) {
        const auto [first, last] = ends.equal_range(key(Point));
        for (auto it = first; it != last; ++it)
            if (!used[it->second]) {
                used[it->second] = true;
                const TOutline& segment = Outlines[it->second];
                Next = key(segment.first) == key(Point) ? segment.second : segment.first;
                return true;
            }
        return false;
    };
    std::vector<std::vector<TGeometryPoint>> chains;
    for (size_t s = 0; s < Outlines.size(); ++s) {
        if (used[s])
            continue;
        used[s] = true;
        std::deque<TGeometryPoint> chain{Outlines[s].first, Outlines[s].second};
        for (TGeometryPoint next; follow(chain.back(), next);)
            chain.push_back(next);
        for (TGeometryPoint next; follow(chain.front(), next);)
            chain.push_front(next);
        chains.emplace_back(chain.begin(), chain.end());
    }
    return chains;
}

ararofdoubleM FadeTable(const std::vector<std::vector<double>>& Fade)
{
    ararofdoubleM table(static_cast<int>(Fade.size()));
    for (size_t c = 0; c < Fade.size(); ++c) {
        table[static_cast<int>(c)] = arofdoubleM(static_cast<int>(Fade[c].size()));
        for (size_t r = 0; r < Fade[c].size(); ++r)
            table[static_cast<int>(c)][static_cast<int>(r)] = Fade[c][r];
    }
    return table;
}

double FadeOfCoverage(double Coverage)
{
    // Coverage counts in decades: 1 and above keeps the colour, each decade
    // below fades by a half, 0.01 and less (or no number) is white.
    if (!(Coverage > 0.0))
        return 1.0;
    return std::clamp(-0.5 * std::log10(Coverage), 0.0, 1.0);
}

double FadeOfDepthOfInvestigation(double Doi, double Limit)
{
    return Doi <= Limit ? 0.0 : 0.7;
}

std::vector<TOutline> CellContour(const TInversionMesh& Mesh, const std::vector<double>& Values, double Level)
{
    const int columns = Mesh.Columns(), rows = Mesh.Rows();
    if (columns < 1 || rows < 1 || Values.size() != static_cast<size_t>(Mesh.Cells()))
        return {};
    const auto index = [columns](int C, int R) { return static_cast<size_t>(R) * static_cast<size_t>(columns) + static_cast<size_t>(C); };
    std::vector<TGeometryPoint> centres(Values.size());
    for (int cell = 0; cell < Mesh.Cells(); ++cell)
        centres[static_cast<size_t>(cell)] = CellCentre(Mesh, cell);
    // The point on the side between corners A and B where the values cross.
    const auto cross = [&](size_t A, size_t B) {
        const double a = Values[A], b = Values[B];
        const double share = a == b ? 0.5 : std::clamp((Level - a) / (b - a), 0.0, 1.0);
        return TGeometryPoint{centres[A].x + share * (centres[B].x - centres[A].x),
                              centres[A].y + share * (centres[B].y - centres[A].y)};
    };
    std::vector<TOutline> segments;
    for (int r = 0; r + 1 < rows; ++r)
        for (int c = 0; c + 1 < columns; ++c) {
            // The square's corners counter-clockwise: upper left, lower
            // left, lower right, upper right.
            const std::array<size_t, 4> corner{index(c, r), index(c, r + 1), index(c + 1, r + 1), index(c + 1, r)};
            std::array<bool, 4> above{};
            bool finite = true;
            for (size_t k = 0; k < 4; ++k) {
                finite = finite && std::isfinite(Values[corner[k]]);
                above[k] = Values[corner[k]] > Level;
            }
            if (!finite)
                continue;
            // The sides the line crosses, in order round the square.
            std::vector<int> sides;
            for (int k = 0; k < 4; ++k)
                if (above[static_cast<size_t>(k)] != above[static_cast<size_t>((k + 1) % 4)])
                    sides.push_back(k);
            const auto point = [&](int Side) {
                return cross(corner[static_cast<size_t>(Side)], corner[static_cast<size_t>((Side + 1) % 4)]);
            };
            if (sides.size() == 2) {
                segments.emplace_back(point(sides[0]), point(sides[1]));
            } else if (sides.size() == 4) {
                // A saddle: the corners on the mean's side join through the
                // square's middle; the line cuts off the other two.
                const double mean =
                    0.25 * (Values[corner[0]] + Values[corner[1]] + Values[corner[2]] + Values[corner[3]]);
                if ((mean > Level) == above[0]) {
                    segments.emplace_back(point(0), point(1));
                    segments.emplace_back(point(2), point(3));
                } else {
                    segments.emplace_back(point(0), point(3));
                    segments.emplace_back(point(1), point(2));
                }
            }
        }
    return segments;
}

std::vector<std::vector<double>> CoverageFade(int Columns, int Rows, const std::vector<double>& Coverage)
{
    if (Columns <= 0 || Rows <= 0 || Coverage.size() != static_cast<size_t>(Columns) * static_cast<size_t>(Rows))
        return {};
    std::vector<std::vector<double>> fade(static_cast<size_t>(Columns), std::vector<double>(static_cast<size_t>(Rows)));
    for (size_t c = 0; c < fade.size(); ++c)
        for (size_t r = 0; r < fade[c].size(); ++r)
            fade[c][r] = FadeOfCoverage(Coverage[r * static_cast<size_t>(Columns) + c]);
    return fade;
}

namespace {

// The coverage above which the data see a cell: the cells Fade by
// coverage leaves some colour (FadeOfCoverage below 1).
constexpr double SeenCoverage = 0.01;

// The chart's colour scale over CoveredScale, from 0 with FromZero (a
// tenth of a per cent at least, so a nearly even image is not stretched
// over the last digits of its values); nothing without a value.
void ApplyCoveredScale(TTModelSection2d& Chart, const std::vector<double>& Values, const std::vector<double>& Coverage,
                       bool FromZero)
{
    const std::optional<std::pair<double, double>> scale = CoveredScale(Values, Coverage);
    if (!scale)
        return;
    double low = FromZero ? 0.0 : scale->first;
    double high = FromZero ? std::max(scale->second, 0.1) : scale->second;
    if (!FromZero)
        TTModelSection2d::ClampValue(low);
    TTModelSection2d::ClampValue(high);
    Chart.ScaleMin = low;
    Chart.ScaleMax = high;
    Chart.SecureScaleLimits();
}

} // namespace

std::optional<std::pair<double, double>> CoveredScale(const std::vector<double>& Values,
                                                      const std::vector<double>& Coverage)
{
    const bool known = Coverage.size() == Values.size();
    std::vector<double> all, seen;
    for (size_t i = 0; i < Values.size(); ++i) {
        if (!std::isfinite(Values[i]))
            continue;
        all.push_back(Values[i]);
        if (known && Coverage[i] > SeenCoverage)
            seen.push_back(Values[i]);
    }
    std::vector<double>& used = seen.size() >= 3 ? seen : all;
    if (used.empty())
        return std::nullopt;
    std::sort(used.begin(), used.end());
    const double last = static_cast<double>(used.size() - 1);
    const auto percentile = [&](double Share) { return used.at(static_cast<size_t>(std::lround(Share * last))); };
    return std::pair{percentile(0.02), percentile(0.98)};
}

void UseCoveredScale(TTModelSection2d& Chart, const std::vector<double>& Values, const std::vector<double>& Coverage,
                     bool FromZero)
{
    ApplyCoveredScale(Chart, Values, Coverage, FromZero);
    // The colour bar menu's Automatic: this scale again, not every cell's.
    std::vector<TMenuItem> items = Chart.ColorBarMenu.Items();
    for (TMenuItem& item : items)
        if (item.Caption == QStringLiteral("Automatic"))
            item.OnClick = [chart = &Chart, Values, Coverage, FromZero](int) {
                ApplyCoveredScale(*chart, Values, Coverage, FromZero);
                chart->RepaintCells();
            };
    Chart.ColorBarMenu.SetItems(std::move(items));
    Chart.RepaintCells();
}

bool StepBackChartEdit(TTModelSection2d& Chart)
{
    undo& store = Chart.UndoStore;
    const int present = TTModelSection2d::NewestSnapshot(store);
    if (present < 0)
        return false;
    const int32_t kept = store.Counters.at(present);
    store.Counters.at(present) = -1;
    const int before = TTModelSection2d::NewestSnapshot(store);
    if (before < 0 || !Chart.RestoreSnapshot(store, before)) {
        store.Counters.at(present) = kept;
        return false;
    }
    return true;
}

} // namespace lp
