#include "section/views/PseudoSection2D.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/export/PlotPreview.h"
#include "platform/base/Exception.h"
#include "platform/base/Numeric.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/Picture.h"
#include "section/model/NumberArrays.h"

#include <QtGui/QCursor>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace lp {

namespace {

constexpr int RampSteps = 200;  // ramps of 201 colours

DynArray<TColor> Ramp(const arofintM& Anchors)
{
    const arofintM ramp = InterpolateColors(RampSteps, Anchors, Anchors.High());
    DynArray<TColor> colors(ramp.Length());
    for (int i = 0; i < ramp.Length(); ++i)
        colors[i] = ramp[i];
    return colors;
}

// Rounds every level to the digits that tell it from its neighbour: a
// multiple of 10^floor(min(log10 |C[i]|, log10 |D|)). Span is the distance
// used for a single level.
void RoundLevels(DynArray<double>& Levels, double Span)
{
    const DynArray<double> unrounded = Levels;
    const int n = Levels.Length();
    for (int i = 0; i < n; ++i) {
        if (Levels[i] == 0.0)
            continue;
        const double distance = n == 1        ? Span
                                : i < n - 1   ? unrounded[i + 1] - unrounded[i]
                                              : unrounded[i] - unrounded[i - 1];
        const double q =
            std::pow(10.0, std::floor(std::min(std::log10(std::fabs(unrounded[i])), std::log10(std::fabs(distance)))));
        if (q > 0.0 && std::isfinite(q))
            Levels[i] = RoundHalfEven(unrounded[i] / q) * q;
    }
}

// An inner level between a negative and a positive neighbour becomes 0.
void SnapLevelsToZero(DynArray<double>& Levels)
{
    for (int i = 1; i + 1 < Levels.Length(); ++i)
        if (Levels[i - 1] < 0.0 && Levels[i + 1] > 0.0)
            Levels[i] = 0.0;
}

// A whole number of a settings text that fits a 32-bit integer.
bool SettingsInteger(double Value, int32_t& Result)
{
    const double rounded = RoundHalfEven(Value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        return false;
    Result = static_cast<int32_t>(rounded);
    return true;
}

} // namespace

TPseudoSection2d::TPseudoSection2d(TComponent* AOwner) : TChart(AOwner)
{
    PseudoFont = std::make_unique<TPlotFont>();
    PseudoFont->SetName(QStringLiteral("Small fonts"));
    PseudoFont->SetSize(7);
    if (!IsDesigning()) {
        ChartPopup.SetItems(PopupItems());
        SetMarginUnits(TPlotUnits::muPixels);
        SetDefaultSettings();
        OnDblClick = [this](TControl* Sender) { PseudoDblClick(Sender); };
        PlaceLegend();
    }
    Title()->Text()->Clear();
}

TPseudoSection2d::~TPseudoSection2d() = default;

// --- Settings -------------------------------------------------------------------------

void TPseudoSection2d::SetDefaultSettings()
{
    ShowColorBar = true;
    LogDataScale = false;
    BandFirstColor = 0x0000FF;
    BandMidColors = {0x00FFFF, 0x008000};
    BandLastColor = 0xFF0000;
    LineFirstColor = 0xFF0000;
    LineLastColor = 0x0000FF;
    SetMargin(0, 25);
    SetMargin(2, 70);
    SetMargin(1, 1);
    SetMargin(3, 20);
    LevelCount = 15;
}

bool TPseudoSection2d::ApplySettings(const QString& Text)
{
    const arofdoubleM numbers = TextToRealArray(Text.toStdString(), 0);
    if (numbers.Length() < SettingsCount)
        return false;
    std::array<int32_t, 16> whole{};
    for (int i = 0; i < 16; ++i)
        if (!SettingsInteger(numbers[i], whole[i]))
            return false;
    if (whole[6] < 0 || whole[6] > MaxLevelCount || !std::isfinite(numbers[16]) || !std::isfinite(numbers[17]))
        return false;

    BandFirstColor = whole[0];
    BandLastColor = whole[1];
    LineFirstColor = whole[2];
    LineLastColor = whole[3];
    BandMidColors = {whole[4], whole[5]};
    LevelCount = whole[6];
    SetMargin(0, whole[7]);
    SetMargin(2, whole[8]);
    SetMargin(1, whole[9]);
    SetMargin(3, whole[10]);
    SpareFlag = whole[11] != 0;
    ShowContourLines = whole[12] != 0;
    LogDataScale = whole[13] != 0;
    ShowColorBar = whole[14] != 0;
    if (GridPointSeries)
        GridPointSeries->SetActive(whole[15] != 0);
    PresetValue1 = numbers[16];
    PresetValue2 = numbers[17];
    PrepareLevels();
    return true;
}

// --- Levels ---------------------------------------------------------------------------

void TPseudoSection2d::PrepareLevels()
{
    if (LevelCount <= 0 || TriangleCount < 3 || VertexCount < 3)
        return;
    CheckVertexTable();
    const bool logarithmic = LogDataScale && DataMin > 0.0 && DataMax > 0.0;
    double lo = logarithmic ? std::log(DataMin) : DataMin;
    double hi = logarithmic ? std::log(DataMax) : DataMax;
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return;
    if (std::fabs(hi - lo) < 1e-7) {
        if (logarithmic) {
            lo -= std::log(10.0);
            hi += std::log(10.0);
        } else {
            lo /= 2.0;
            hi *= 2.0;
        }
        if (lo == hi)
            hi = 1.0;
    }
    // Halving and doubling a negative value (or an owner's reversed range)
    // would give descending levels, which the band fill cannot use.
    if (lo > hi)
        std::swap(lo, hi);

    const int n = LevelCount;
    Levels = DynArray<double>(n);
    for (int i = 0; i < n; ++i) {
        const double level = lo + (hi - lo) * (i + 1) / (n + 1);
        Levels[i] = logarithmic ? std::exp(level) : level;
    }
    RoundLevels(Levels, logarithmic ? std::exp(hi) - std::exp(lo) : hi - lo);
    SnapLevelsToZero(Levels);

    const DynArray<TColor> bandRamp = Ramp({BandFirstColor, BandMidColors[0], BandMidColors[1], BandLastColor});
    BandColors = DynArray<TColor>(n + 1);
    for (int j = 0; j <= n; ++j)
        BandColors[j] = bandRamp[RoundToInt32(j * double(RampSteps) / n)];
    const DynArray<TColor> lineRamp = Ramp({LineFirstColor, LineLastColor});
    LineColors = DynArray<TColor>(n);
    for (int j = 0; j < n; ++j)
        LineColors[j] = lineRamp[RoundToInt32(j * double(RampSteps) / (n + 1))];

    // No value may lie on a level: the band and line construction decides
    // every crossing strictly.
    for (int v = 1; v <= VertexCount; ++v) {
        double& value = Vertices[v].Value;
        for (const double level : Levels)
            if (value == level)
                value += value / 100000.0 + 1e-20;
    }
}

bool TPseudoSection2d::LevelsReady() const
{
    const int n = Levels.Length();
    return n > 0 && BandColors.Length() == n + 1 && LineColors.Length() == n;
}

// --- Tables and extents -----------------------------------------------------------------

void TPseudoSection2d::CheckVertexTable() const
{
    if (VertexCount < 0 || VertexCount > Vertices.High())
        RaiseRangeError("Pseudo-section vertex count %d exceeds the vertex table (%d entries)",
                        {ArgText(VertexCount), ArgText(Vertices.High())});
}

void TPseudoSection2d::CheckTables() const
{
    CheckVertexTable();
    if (TriangleCount < 0 || TriangleCount > Triangles.High())
        RaiseRangeError("Pseudo-section triangle count %d exceeds the triangle table (%d entries)",
                        {ArgText(TriangleCount), ArgText(Triangles.High())});
    for (int t = 1; t <= TriangleCount; ++t)
        for (int e = 0; e < 3; ++e) {
            const TPseudoTriangle& triangle = Triangles[t];
            if (triangle.V[e] < 1 || triangle.V[e] > VertexCount)
                RaiseRangeError("Pseudo-section triangle %d refers to vertex %d outside 1..%d",
                                {ArgText(t), ArgText(triangle.V[e]), ArgText(VertexCount)});
            if (triangle.Neighbour[e] < 0 || triangle.Neighbour[e] > TriangleCount || triangle.NeighbourEdge[e] > 2)
                RaiseRangeError("Pseudo-section triangle %d has a neighbour outside the triangulation",
                                {ArgText(t)});
        }
}

bool TPseudoSection2d::VertexBounds(double& MinX, double& MaxX, double& MaxZ, double& MinZ) const
{
    if (VertexCount < 1)
        return false;
    CheckVertexTable();
    MinX = MaxX = Vertices[1].X;
    MinZ = MaxZ = Vertices[1].Z;
    for (int v = 1; v <= VertexCount; ++v) {
        const dVertex3d& vertex = Vertices[v];
        if (!std::isfinite(vertex.X) || !std::isfinite(vertex.Z))
            return false;
        MinX = std::min(MinX, vertex.X);
        MaxX = std::max(MaxX, vertex.X);
        MinZ = std::min(MinZ, vertex.Z);
        MaxZ = std::max(MaxZ, vertex.Z);
    }
    return true;
}

bool TPseudoSection2d::AxisBounds(double& MinAxisX, double& MaxAxisX, double& MaxAxisY, double& MinAxisY) const
{
    if (VertexCount < 1)
        return false;
    CheckVertexTable();
    MinAxisX = MaxAxisX = Vertices[1].AxisX;
    MinAxisY = MaxAxisY = Vertices[1].AxisY;
    for (int v = 1; v <= VertexCount; ++v) {
        const dVertex3d& vertex = Vertices[v];
        if (!std::isfinite(vertex.AxisX) || !std::isfinite(vertex.AxisY))
            return false;
        MinAxisX = std::min(MinAxisX, vertex.AxisX);
        MaxAxisX = std::max(MaxAxisX, vertex.AxisX);
        MinAxisY = std::min(MinAxisY, vertex.AxisY);
        MaxAxisY = std::max(MaxAxisY, vertex.AxisY);
    }
    return true;
}

// --- Picture ----------------------------------------------------------------------------

void TPseudoSection2d::RebuildPicture()
{
    if (VertexCount < 3 || !PictureTool || !PictureTool->Active())
        return;
    CheckTables();
    double minX = 0, maxX = 0, maxY = 0, minY = 0;
    if (AxisExtentSeries && AxisBounds(minX, maxX, maxY, minY)) {
        TChartSeries& extent = *AxisExtentSeries;
        if (extent.Count() != 2) {
            extent.Clear();
            extent.AddXY(minX, maxY, QString(), clPlotColor);
            extent.AddXY(maxX, minY, QString(), clPlotColor);
        } else {
            extent.SetXValue(0, minX);
            extent.SetYValue(0, maxY);
            extent.SetXValue(1, maxX);
            extent.SetYValue(1, minY);
        }
    }
    Repaint();
    ComputePictureScale();
    RenderPicture();
    ShowPicture();
}

void TPseudoSection2d::ShowPicture()
{
    if (PictureTool && PictureMetafile)
        PictureTool->Picture()->SetGraphic(PictureMetafile.data());
}

void TPseudoSection2d::PlaceLegend()
{
    const TRect chartRect = ChartRectangle();
    Legend()->SetLeft(chartRect.Right + 15);
    Legend()->SetTop(chartRect.Top);
    if (VertexCount >= 3)
        ShowPicture();
}

// --- Pop-up menu ------------------------------------------------------------------------

std::vector<TMenuItem> TPseudoSection2d::PopupItems()
{
    static const char* const captions[PopupItemCount] = {"Log data scale", "Display grid point", "Display ColorBar",
                                                         "Setup",          "Print preview",      "Default"};
    std::vector<TMenuItem> items;
    for (int i = 0; i < PopupItemCount; ++i) {
        TMenuItem item;
        item.Caption = QString::fromLatin1(captions[i]);
        item.OnClick = [this, i](int) { PopupMenuClick(i); };
        items.push_back(std::move(item));
    }
    items[piLogScale].Checked = LogDataScale;
    items[piGridPoints].Checked = GridPointSeries && GridPointSeries->Active();
    items[piColorBar].Checked = ShowColorBar;
    return items;
}

void TPseudoSection2d::PopupMenuClick(int Item)
{
    switch (Item) {
    case piLogScale: {
        const bool wanted = !LogDataScale && DataMin > 0.0 && PresetValue2 > 0.0;
        if (wanted != LogDataScale) {
            LogDataScale = wanted;
            PrepareLevels();
            RebuildPicture();
        }
        break;
    }
    case piGridPoints:
        if (GridPointSeries)
            GridPointSeries->SetActive(!GridPointSeries->Active());
        break;
    case piColorBar:
        ShowColorBar = !ShowColorBar;
        Repaint();
        break;
    case piSetup:
        break;
    case piPrintPreview:
        if (PreviewChart)
            ShowChartPreview(PreviewChart->HandleAllocated() ? PreviewChart->Widget() : nullptr, PreviewChart.data());
        break;
    case piDefault:
        if (!DefaultSettings.isEmpty())
            ApplySettings(DefaultSettings);
        break;
    default:
        return;
    }
    if (OnPopupCommand)
        OnPopupCommand(this);
}

void TPseudoSection2d::PseudoDblClick(TControl* Sender)
{
    if (!PopupEnabled)
        return;
    ChartPopup.SetItems(PopupItems());
    SetMouseCancelled(true);
    const QPoint screen = QCursor::pos();
    ChartPopup.Popup(TPoint{screen.x(), screen.y()});
    SetMouseCancelled(true);
    PreviewChart = qobject_cast<TPseudoSection2d*>(Sender);
}


void SetPseudoTriangles(TPseudoSection2d& Chart, const std::vector<std::array<int, 3>>& Corners)
{
    const int triangleCount = static_cast<int>(Corners.size());
    Chart.Triangles = DynArray<TPseudoTriangle>(triangleCount + 1);
    std::map<std::pair<int, int>, std::pair<int, int>> edgeOwner; // ends (low, high) -> triangle, edge
    for (int t = 1; t <= triangleCount; ++t) {
        TPseudoTriangle& triangle = Chart.Triangles[t];
        for (size_t e = 0; e < 3; ++e)
            triangle.V[e] = Corners[static_cast<size_t>(t - 1)][e];
        for (int e = 0; e < 3; ++e) {
            const int a = triangle.V[static_cast<size_t>(e)], b = triangle.V[static_cast<size_t>((e + 1) % 3)];
            const auto key = std::make_pair(std::min(a, b), std::max(a, b));
            const auto found = edgeOwner.find(key);
            if (found == edgeOwner.end()) {
                edgeOwner[key] = {t, e};
                continue;
            }
            const auto [other, otherEdge] = found->second;
            triangle.Neighbour[static_cast<size_t>(e)] = other;
            triangle.NeighbourEdge[static_cast<size_t>(e)] = static_cast<uint8_t>(otherEdge);
            Chart.Triangles[other].Neighbour[static_cast<size_t>(otherEdge)] = t;
            Chart.Triangles[other].NeighbourEdge[static_cast<size_t>(otherEdge)] = static_cast<uint8_t>(e);
        }
    }
    for (int t = 1; t <= triangleCount; ++t)
        for (size_t e = 0; e < 3; ++e)
            Chart.Triangles[t].EdgeKind[e] = Chart.Triangles[t].Neighbour[e] == 0 ? 1 : 0;
    Chart.TriangleCount = triangleCount;
}

} // namespace lp
