#include "section/editor/PolygonChart.h"

#include "section/editor/BodyParameters.h"

#include "chart/engine/PlotAppearance.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSettings.h"
#include "platform/graphics/Bitmap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace lp {

namespace {

constexpr TColor RedColor = 0x0000FF;
constexpr TColor WhiteColor = 0xFFFFFF;
// The outline of regions a table of regions selects: orange, apart from the
// red of the hover highlight and the drawing aids.
constexpr TColor MarkedRegionColor = 0x0080FF;
constexpr const char* SmallFontName = "small fonts";
constexpr int SmallFontSize = 7;
// The frame's corner nodes 0..3 are never painted.
constexpr int FirstPaintedNode = 4;

void SetSmallFont(TPlotFont& Font)
{
    Font.SetName(QString::fromLatin1(SmallFontName));
    Font.SetSize(SmallFontSize);
}

void SetUnsorted(TChartSeries& Series)
{
    Series.XValues()->SetOrder(loNone);
    Series.YValues()->SetOrder(loNone);
}

void SetStandardAxes(TChartSeries& Series)
{
    Series.SetHorizAxis(TChartSeries::aBottomAxis);
    Series.SetVertAxis(TChartSeries::aLeftAxis);
}

// A settings text from a parameter slot ("" for empty params and "*").
// The settings text of a slot; nullptr when it holds none (not a text,
// empty or "*").
const std::string* SlotText(const ParamValue& Slot)
{
    const std::string* text = Slot.Text();
    return text == nullptr || text->empty() || *text == MissingText ? nullptr : text;
}

// Whether two models have the same rings (ring by ring) and nodes; the
// rings' parameters are not looked at.
bool SameRingsAndNodes(const AllSpolygon& Model, const Tnodes& Nodes, const AllSpolygon& Other,
                       const Tnodes& OtherNodes)
{
    if (!(Nodes == OtherNodes) || Model.Length() != Other.Length())
        return false;
    for (int body = 0; body < Model.Length(); ++body) {
        if (Model[body].Length() != Other[body].Length())
            return false;
        for (int sub = 0; sub < Model[body].Length(); ++sub)
            if (!(Model[body][sub].ring == Other[body][sub].ring))
                return false;
    }
    return true;
}

} // namespace

TBodyParametersEntry& BodyParametersEntryPoint()
{
    static TBodyParametersEntry Entry;
    return Entry;
}

void SetSectionDefaultParameters()
{
    TPolygonParams& params = DefaultParameters;
    for (int slot = 0; slot < ParamSlotCount; ++slot)
        params[slot] = ParamValue(std::string(MissingText));
    params[psId] = ParamValue(-1);
    TChartBrush brush;
    brush.SetStyle(TBrush::bsCross);
    brush.SetColor(0xC0C0C1);
    params[psBrush] = ParamValue(BrushSettingsToText(brush).toStdString());
    TChartPen pen;
    pen.SetColor(0x808080);
    params[psPen] = ParamValue(PenSettingsToText(pen).toStdString());
    TPlotGradient gradient;
    gradient.SetStartColor(0x0000FF);
    gradient.SetEndColor(0xFF0000);
    gradient.SetMidColor(0x00FFFF);
    gradient.SetVisible(false);
    params[psGradient] = ParamValue(GradientSettingsToText(gradient).toStdString());
    params[psColor] = ParamValue(0);
    params[psLabelText] = ParamValue(" ");
    params[psLabelMode] = ParamValue(3);
    params[psResistivity] = ParamValue(10.0);
    params[psPolarizability] = ParamValue(0.0);
    params[psExtra1] = ParamValue(1.0);
    params[psExtra2] = ParamValue(1.0);
}

// --- Construction ----------------------------------------------------------------

TPolygonChart::TPolygonChart(TComponent* AOwner) : TChart(AOwner)
{
    if (!IsDesigning()) {
        SetSectionDefaultParameters();
        CreateSeries();
        SetUpAxes();
        OnAfterDraw = [this](TCustomPlotPanelExtended*) { PaintNodes(); };
        OnResize = [this](TControl*) { UpdateAxisScales(); };
        OnDblClick = [this](TControl* Sender) { ChartDblClick(Sender); };
        OnMouseMove = [this](TControl* Sender, TShiftState Shift, int X, int Y) { ChartMouseMove(Sender, Shift, X, Y); };
        OnMouseDown = [this](TControl* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
            ChartMouseDown(Sender, Button, Shift, X, Y);
        };
        OnMouseUp = [this](TControl* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
            ChartMouseUp(Sender, Button, Shift, X, Y);
        };
    }
    OnAxisPopupAction = [this](QObject*) { AxisChanged(); };
    OnSeriesPopupAction = [this](QObject*) { SeriesMenuActionDone(); };
    Title()->Text()->Clear();
    Title()->Text()->Add(QStringLiteral("Cross-section"));
    SetSmallFont(*Title()->Font());
}

TPolygonChart::~TPolygonChart()
{
    // The line records only observe their series; the chart frees them as
    // their owner.
    for (line& record : Lines)
        record.series = nullptr;
}

void TPolygonChart::CreateSeries()
{
    FMapSeries = new TMapSeries(this);
    FMapSeries->SetParentChart(this);
    // The polygons are the model's rings: editors may restyle them only.
    FMapSeries->SetFixedShapes(true);
    TSeriesMarks& marks = *FMapSeries->Marks();
    marks.SetVisible(true);
    marks.SetTransparent(true);
    marks.Brush()->SetColor(WhiteColor);
    marks.Brush()->SetStyle(TBrush::bsClear);
    marks.Pen()->SetVisible(false);
    marks.Arrow()->SetVisible(false);
    marks.SetArrowLength(0);
    marks.Callout()->SetLength(0);
    marks.Callout()->SetArrowHeadSize(0);
    marks.Callout()->Pen()->SetVisible(false);
    if (marks.Shadow() != nullptr)
        marks.Shadow()->SetSize(0);
    SetSmallFont(*marks.Font());
    SetStandardAxes(*FMapSeries);
    SetUnsorted(*FMapSeries);

    for (TLineSeries** slot : {&EditPathSeries, &RubberBandSeries}) {
        auto* series = new TLineSeries(this);
        series->SetParentChart(this);
        series->SetSeriesColor(RedColor);
        series->Marks()->SetVisible(false);
        TSeriesPointer& pointer = *series->Pointer();
        pointer.SetVisible(true);
        pointer.SetStyle(TSeriesPointer::psCircle);
        pointer.SetHorizSize(3);
        pointer.SetVertSize(3);
        pointer.SetInflateMargins(true);
        pointer.Brush()->SetColor(RedColor);
        pointer.Pen()->SetColor(RedColor);
        SetStandardAxes(*series);
        SetUnsorted(*series);
        *slot = series;
    }
    RubberBandSeries->LinePen()->SetStyle(TPen::psDot);
    EditPathSeries->LinePen()->SetStyle(TPen::psSolid);
    EditPathSeries->Pointer()->Brush()->SetStyle(TBrush::bsClear);
    for (TLineSeries* series : {EditPathSeries, RubberBandSeries})
        series->StoreDefaultSettings();

    SurfaceSeries = new TAreaSeries(this);
    SurfaceSeries->SetParentChart(this);
    SurfaceSeries->Marks()->SetVisible(false);
    SetStandardAxes(*SurfaceSeries);
    SetUnsorted(*SurfaceSeries);
    SurfaceSeries->SetUseYOrigin(true);
    SurfaceSeries->SetYOrigin(-1e30);
    SurfaceSeries->SetAreaBrush(TBrush::bsSolid);
    SurfaceSeries->SetSeriesColor(WhiteColor);
    SurfaceSeries->AreaChartBrush()->SetColor(WhiteColor);
    SurfaceSeries->AreaLinesPen()->SetVisible(false);
}

void TPolygonChart::SetUpAxes()
{
    SetView3D(false);
    // The mouse edits the model: no zooming, and no panning with the right
    // button that finishes an edit.
    SetAllowZoom(false);
    SetAllowPanning(TCustomPlotPanelExtended::pmNone);
    Zoom()->Pen()->SetColor(0x000000);
    SetMarginUnits(TPlotUnits::muPixels);
    SetMargin(0, 25);
    SetMargin(2, 30);
    SetMargin(1, 1);
    SetMargin(3, 10);
    Title()->SetVisible(true);
    // The series are the model's own parts (bodies, surface, drawing
    // aids, lines): a legend of them would only list "Series1" and so on.
    Legend()->SetVisible(false);
    SetColor(WhiteColor);

    TChartAxis& bottom = *BottomAxis();
    bottom.SetAutomatic(false);
    bottom.Axis()->SetWidth(0);
    bottom.Grid()->SetVisible(false);
    bottom.SetLabelStyle(talValue);
    bottom.SetMaximum(1000.0);
    bottom.SetMinorTickCount(4);
    bottom.SetTickLength(3);
    bottom.Ticks()->SetColor(0x000000);
    bottom.MinorTicks()->SetColor(0x000000);
    bottom.Title()->SetCaption(QString());
    bottom.SetLogarithmic(false);

    TChartAxis& left = *LeftAxis();
    left.SetAutomatic(false);
    left.Axis()->SetWidth(1);
    left.Grid()->SetVisible(false);
    left.SetInverted(true);
    left.SetStartPosition(10);
    left.SetLabelStyle(talValue);
    left.SetMaximum(100.0);
    left.SetMinorTickCount(4);
    left.SetTickLength(3);
    left.Ticks()->SetColor(0x000000);
    left.MinorTicks()->SetColor(0x000000);
    left.Title()->SetCaption(QString());
    left.SetLabelsSize(1);
    left.SetLogarithmic(false);

    TChartAxis& right = *RightAxis();
    right.SetVisible(true);
    right.SetInverted(true);
    right.SetStartPosition(10);
    right.SetLabelsSize(1);
    right.SetLogarithmic(false);

    TChartAxis& top = *TopAxis();
    top.SetVisible(true);
    top.SetMinorTickCount(0);
    ShowAreaOnAxes();
    StoreAxesDefaultSettings();
}

void TPolygonChart::ShowAreaOnAxes()
{
    const TModelArea& area = ModelArea;
    const std::array<std::pair<TChartAxis*, std::pair<double, double>>, 4> ranges{
        {{BottomAxis(), {area.left, area.right}},
         {TopAxis(), {area.left, area.right}},
         {LeftAxis(), {area.top, area.bottom}},
         {RightAxis(), {area.top, area.bottom}}}};
    for (const auto& [axis, range] : ranges) {
        axis->SetUseFixedLimits(true);
        axis->SetFixedMinimum(range.first);
        axis->SetFixedMaximum(range.second);
        axis->SetMinMax(range.first, range.second);
    }
    PairAxes();
}

std::array<std::pair<TChartAxis*, TChartAxis*>, 2> TPolygonChart::AxisPairs() const
{
    return {{{BottomAxis(), TopAxis()}, {LeftAxis(), RightAxis()}}};
}

void TPolygonChart::PairAxes()
{
    const auto rangeOf = [](const TChartAxis& Axis) { return std::array<double, 2>{Axis.Minimum(), Axis.Maximum()}; };
    const auto pairs = AxisPairs();
    for (size_t i = 0; i < pairs.size(); ++i) {
        TChartAxis& first = *pairs[i].first;
        TChartAxis& second = *pairs[i].second;
        std::array<double, 2>& paired = FPairedRanges[i];
        // The axis set since the last pairing gives its range to the other;
        // when both were, the bottom or left axis does.
        const bool secondSet = rangeOf(first) == paired && rangeOf(second) != paired;
        const TChartAxis& source = secondSet ? second : first;
        TChartAxis& target = secondSet ? first : second;
        if (rangeOf(target) != rangeOf(source))
            target.SetMinMax(source.Minimum(), source.Maximum());
        paired = rangeOf(source);
    }
}

void TPolygonChart::DoBeforeDrawChart()
{
    PairAxes();
    TChart::DoBeforeDrawChart();
}

// --- Model and series ----------------------------------------------------------

void TPolygonChart::ChangeNotify()
{
    if (onchangemodel)
        onchangemodel(this);
}

void TPolygonChart::FreeLineSeries(lines& Records)
{
    for (line& record : Records) {
        delete record.series; // owned by the chart; leaving the chart on destruction
        record.series = nullptr;
    }
}

void TPolygonChart::NewModel(const arofcomplexM& AProfile, bool AHasProfile, double Left, double Right, double Top,
                             double Bottom)
{
    SetProfile(AProfile);
    ClearUndoHistory();
    FreeLineSeries(Lines);
    Lines.Clear();
    SurfaceSeries->Clear();
    // The old model goes before the area is set: its nodes would otherwise
    // hold the new area out to their extent.
    Nodes.Clear();
    Model.Clear();

    SetProfile(AProfile);
    SetModelArea(true, Left, Right, Top, Bottom);
    HasProfile = AHasProfile;
    BuildFrameModel(Nodes, Model, Profile, HasProfile, ModelArea.bottom, ModelArea.top, ModelArea.right,
                    ModelArea.left);

    ModelLoaded = true;
    FMapSeries->Clear();
    PushUndo();
    RebuildMapSeries();
    UpdateAxisScales();
    // A refused first edit rolls back to this model, not to nothing.
    TakeBackup();
    ClearEditState();
}

void TPolygonChart::SetProfile(const arofcomplexM& Points)
{
    arofcomplexM copy = CopyComplexArray(Points);
    if (copy.Length() >= 2) {
        double highest = copy[0].im;
        for (const complexM& point : copy)
            highest = std::max(highest, point.im);
        for (complexM& point : copy)
            point.im = highest - point.im;
    }
    Profile = std::move(copy);
}

bool TPolygonChart::SetModelArea(bool KeepModel, double Left, double Right, double Top, double Bottom)
{
    if (!std::isfinite(Left) || !std::isfinite(Right) || !std::isfinite(Top) || !std::isfinite(Bottom))
        return false; // no area at all: nothing changes
    const bool changed =
        Left != ModelArea.left || Right != ModelArea.right || Top != ModelArea.top || Bottom != ModelArea.bottom;
    // An edit in progress ends first: its roll-back copy belongs to the old
    // area, and restoring it later would put the old frame into the new area.
    // (In the hover modes Editing only marks a node under the cursor.)
    if (Editing)
        ResetEditMode();
    double minX = 0.0;
    double maxX = 0.0;
    double maxY = 0.0;
    GetNodeExtent(minX, maxX, Nodes, maxY);
    // Nodes added on the frame's edges stay where they are while the
    // corners move: a side that would pass one of them stays too.
    double edgeMinX = 0.0;
    double edgeMaxX = 0.0;
    double edgeMaxY = 0.0;
    GetFrameEdgeNodeExtent(edgeMinX, edgeMaxX, Nodes, FrameNodes(), edgeMaxY);
    TModelArea area = ModelArea;
    if (Left <= minX && Left < edgeMinX)
        area.left = Left;
    if (Right >= maxX && Right > edgeMaxX)
        area.right = Right;
    if (Bottom >= maxY && Bottom > edgeMaxY)
        area.bottom = Bottom;
    // An area that is empty or turned over cannot hold a frame:
    // it is refused like one the model cannot be fitted into.
    const bool usable = area.left < area.right && area.top < area.bottom;
    if (!usable)
        area = ModelArea;
    bool refused = !usable;
    if (usable && !KeepModel && !Model.Empty()) {
        // A narrower area can drop surface nodes that a ring of the host body
        // runs through, and the border nodes follow the area: when the
        // adapted model is not sound (or a ring would then overlap another),
        // the model and its area stay as they were (the axes go back to the
        // area below).
        AllSpolygon modelCopy = CopyAllSpolygon(Model);
        Tnodes nodesCopy = CopyNodes(Nodes);
        const bool adapted = ChangeModelArea(Profile, HasProfile, Model, Nodes, area.bottom, area.top, area.right,
                                             area.left, ModelArea.bottom, ModelArea.top, ModelArea.right,
                                             ModelArea.left);
        if (adapted)
            FitBorderNodesToArea(Nodes, area.bottom, area.top, area.right, area.left);
        if (!adapted || !ModelFits(Model, Nodes)) {
            Model = std::move(modelCopy);
            Nodes = std::move(nodesCopy);
            area = ModelArea;
            refused = true;
        } else if (!SameRingsAndNodes(Model, Nodes, modelCopy, nodesCopy)) {
            FAreaAlteredModel = true;
        }
    }
    ModelArea = area;
    ShowAreaOnAxes();
    FitBorderNodesToArea(Nodes, area.bottom, area.top, area.right, area.left);
    ComputeScales();
    RebuildMapSeries();
    // A roll-back goes to the model on this area.
    TakeBackup();
    return changed && !refused;
}

int TPolygonChart::FrameNodes() const
{
    return FrameNodeCount(Profile, HasProfile, ModelArea.bottom, ModelArea.top, ModelArea.right, ModelArea.left);
}

double TPolygonChart::AxisScale(const TChartAxis& Axis) const
{
    // An axis keeps a span of at least 1e-10 (equal ends become min and
    // min + 1e-10, a little more after rounding): such a span is no scale.
    constexpr double SmallestSpan = 1e-10 * 1.001;
    const double span = Axis.Maximum() - Axis.Minimum();
    if (!(span > SmallestSpan))
        return 1.0;
    const double scale = Axis.AxisPixelSize() / span;
    return scale == 0.0 || !std::isfinite(scale) ? 1.0 : scale;
}

void TPolygonChart::ComputeScales()
{
    ScaleX = AxisScale(*BottomAxis());
    ScaleY = AxisScale(*LeftAxis());
}

void TPolygonChart::EnsureAxesLaidOut()
{
    if (Width() <= 0 || Height() <= 0)
        return;
    if (FLaidOutWidth == Width() && FLaidOutHeight == Height() && BottomAxis()->AxisPixelSize() > 0)
        return;
    // The axes get their pixel positions in a paint; a paint into a scratch
    // picture lays them out for the chart's present size.
    TBitmap scratch(Width(), Height());
    FLayoutPaint = true;
    try {
        DrawToCanvas(&scratch.Canvas(), GetRectangle());
    } catch (...) {
        FLayoutPaint = false;
        throw;
    }
    FLayoutPaint = false;
    // The chart's buffered picture now holds this dotless scratch paint:
    // the window's next paint must draw anew rather than show it.
    Canvas().Invalidate();
    FLaidOutWidth = Width();
    FLaidOutHeight = Height();
}

void TPolygonChart::UpdateAxisScales()
{
    EnsureAxesLaidOut();
    ComputeScales();
}

void TPolygonChart::Paint(TCanvas& Canvas)
{
    TChart::Paint(Canvas);
    ComputeScales();
}

void TPolygonChart::AxisChanged()
{
    const TModelArea before = ModelArea;
    // A range set on the top or the right axis is the area's too.
    PairAxes();
    // The area changes under the model (an unfinished edit is rolled back).
    SetModelArea(false, BottomAxis()->Minimum(), BottomAxis()->Maximum(), LeftAxis()->Minimum(),
                 LeftAxis()->Maximum());
    UpdateAxisScales();
    FinishAreaEdit(before);
}

bool TPolygonChart::FinishAreaEdit(const TModelArea& Before)
{
    const TModelArea& after = ModelArea;
    const bool areaKept = after.left == Before.left && after.right == Before.right && after.top == Before.top &&
                          after.bottom == Before.bottom;
    // The same area applied again may still change the model (the frame is
    // rebuilt from the profile): that is an edit too.
    // A change from outside the mouse editing (SetModelArea has put an
    // edit in hand back already).
    return ChangeFromOutside([&] { return !areaKept || FAreaAlteredModel; });
}

void TPolygonChart::FillSurfaceSeries()
{
    SurfaceSeries->Clear();
    if (HasProfile && !Model.Empty() && !Model[0].Empty()) {
        const arofintM& frame = Model[0][0].ring;
        const int start = frame.IndexOf(3);
        if (start >= 0) {
            for (int i = start; i < frame.Length(); ++i) {
                const int node = frame[i];
                SurfaceSeries->AddXY(Nodes[node].x, Nodes[node].y, QString(), clPlotColor);
                if (node == 0)
                    break;
            }
        }
    } else {
        SurfaceSeries->AddXY(ModelArea.left, 0.0, QString(), clPlotColor);
        SurfaceSeries->AddXY(ModelArea.right, 0.0, QString(), clPlotColor);
    }
}

void TPolygonChart::RebuildMapSeries()
{
    BuildMapSeries();
    FillSurfaceSeries();
}

TMapSeries* TPolygonChart::MapSeries() const
{
    // The polygons stand for the rings: when a load left them to be made,
    // they are made before anyone sees the series.
    if (FMapPending)
        const_cast<TPolygonChart*>(this)->BuildMapSeries();
    return FMapSeries;
}

void TPolygonChart::BuildMapSeries()
{
    FMapPending = false;
    // The polygons are made anew with the looks their rings store, so no
    // highlight is left.
    HighlightIndex = -1;
    FMapSeries->BeginUpdate();
    FMapSeries->Clear();
    for (int body = 0; body < Model.Length(); ++body)
        for (int sub = 0; sub < Model[body].Length(); ++sub) {
            if (IsHostRing(body, sub))
                Model[body][sub].params[psId] = ParamValue(-1);
            else
                AddMapPolygon(body, sub);
        }
    FMapSeries->EndUpdate();
}

void TPolygonChart::DeferMapSeries()
{
    // The previous section's polygons go now, so nothing (a hit test, a
    // stored chart) sees them before the build. Each ring gets the id its
    // polygon will have: polygons take the ids of their collection in turn,
    // and no polygon joins it before the build.
    HighlightIndex = -1;
    FMapSeries->Clear();
    int id = FMapSeries->Shapes()->NextID();
    for (int body = 0; body < Model.Length(); ++body)
        for (int sub = 0; sub < Model[body].Length(); ++sub)
            Model[body][sub].params[psId] = ParamValue(IsHostRing(body, sub) ? -1 : id++);
    FMapPending = true;
    FillSurfaceSeries();
}

void TPolygonChart::AddMapPolygon(int Body, int Sub)
{
    // A ring added to the model while the polygons are still to be made
    // gets its polygon with all the others.
    if (FMapPending) {
        BuildMapSeries();
        return;
    }
    Polygon& ring = Model[Body][Sub];
    TPlotPolygon* polygon = FMapSeries->Shapes()->Add();
    for (int32_t node : ring.ring)
        polygon->AddXY(Nodes[node].x, Nodes[node].y);
    const int mapIndex = FMapSeries->Shapes()->Count() - 1;
    ApplyPolygonAppearance(Body, Sub, mapIndex);
    ring.params[psId] = ParamValue(polygon->ID());
}

void TPolygonChart::RefreshMapPolygons(const arofintM& Bodies, const arofintM& Subs, const arofintM& MapIndexes)
{
    for (int i = 0; i < MapIndexes.Length(); ++i) {
        const int mapIndex = MapIndexes[i];
        if (mapIndex < 0)
            continue;
        Polygon& ring = Model[Bodies[i]][Subs[i]];
        TPlotPolygon* polygon = MapSeries()->Shapes()->GetPolygon(mapIndex);
        polygon->Points()->Clear();
        for (int32_t node : ring.ring)
            polygon->AddXY(Nodes[node].x, Nodes[node].y);
        ring.params[psId] = ParamValue(polygon->ID());
    }
    MapSeries()->Repaint();
}

void TPolygonChart::ApplyPolygonAppearance(int Body, int Sub, int MapIndex)
{
    const TPolygonParams& params = Model[Body][Sub].params;
    TPlotPolygon* polygon = MapSeries()->Shapes()->GetPolygon(MapIndex);
    polygon->SetParentPen(false);
    polygon->SetParentBrush(false);
    polygon->SetColor(static_cast<TColor>(params[psColor].IsEmpty() ? 0 : params[psColor].AsInteger()));
    // An empty or unreadable slot keeps the polygon's look as it is.
    const auto apply = [](const std::string* text, auto& last, const auto& read, const auto& assign) {
        if (text == nullptr)
            return;
        if (*text != last.Text || last.Text.empty()) {
            last.Text = *text;
            last.Object.reset();
            try {
                last.Object = read(QString::fromStdString(*text));
            } catch (const Exception&) {
            }
        }
        if (last.Object)
            assign(last.Object.get());
    };
    apply(SlotText(params[psBrush]), FLastBrush, BrushSettingsFromText, [&](TChartBrush* b) { polygon->SetBrush(b); });
    apply(SlotText(params[psPen]), FLastPen, PenSettingsFromText, [&](TChartPen* p) { polygon->SetPen(p); });
    apply(SlotText(params[psGradient]), FLastGradient, GradientSettingsFromText,
          [&](TPlotGradient* g) { polygon->SetGradient(g); });
    polygon->SetText(BodyLabelText(params));
}

void TPolygonChart::StorePolygonAppearance(int Body, int Sub, int MapIndex)
{
    TPolygonParams& params = Model[Body][Sub].params;
    TPlotPolygon* polygon = MapSeries()->Shapes()->GetPolygon(MapIndex);
    params[psColor] = ParamValue(static_cast<int32_t>(polygon->Color()));
    params[psBrush] = ParamValue(BrushSettingsToText(*polygon->Brush()).toStdString());
    params[psPen] = ParamValue(PenSettingsToText(*polygon->Pen()).toStdString());
    params[psGradient] = ParamValue(GradientSettingsToText(*polygon->Gradient()).toStdString());
    // The label shows the user text only in that mode; otherwise it is made
    // from the parameters and slot 7 keeps the user's text. A text typed
    // over a label made from the parameters (the Graphic editor's Text)
    // becomes the body's label text, shown as such: typed text is never
    // accepted and then dropped.
    const QString text = polygon->Text();
    if (LabelShowsUserText(params)) {
        params[psLabelText] = ParamValue(text.toStdString());
    } else if (text != BodyLabelText(params)) {
        // As in the body dialog: an emptied label is one blank.
        params[psLabelText] = ParamValue((text.isEmpty() ? QStringLiteral(" ") : text).toStdString());
        params[psLabelMode] = ParamValue(static_cast<int32_t>(lmUserText));
    }
    // The slots no meaning is given to are written unset; the fit's, the
    // water's and the phase's belong to the body, not to its look.
    for (int slot : {5, 6, 9})
        params[slot] = ParamValue(std::string(MissingText));
}

namespace {

// What a look slot stands for, as the writer gives it: the slot's text read
// and written again, or Fresh (the look of a new polygon) for a slot that
// holds no text or one that does not read.
template <class TRead, class TWrite>
QString CanonicalSlotText(const ParamValue& Slot, const QString& Fresh, TRead Read, TWrite Write)
{
    const std::string* text = SlotText(Slot);
    if (text == nullptr)
        return Fresh;
    try {
        if (const auto object = Read(QString::fromStdString(*text)))
            return Write(*object);
    } catch (const Exception&) {
    }
    return Fresh;
}

} // namespace

bool TPolygonChart::PolygonLookChanged(int Body, int Sub, int MapIndex) const
{
    const TPolygonParams& params = Model[Body][Sub].params;
    TPlotPolygon* polygon = MapSeries()->Shapes()->GetPolygon(MapIndex);
    const TColor color = static_cast<TColor>(params[psColor].IsEmpty() ? 0 : params[psColor].AsInteger());
    if (polygon->Color() != color || polygon->Text() != BodyLabelText(params))
        return true;
    TMapSeries scratch;
    TPlotPolygon* fresh = scratch.Shapes()->Add();
    const auto brushText = [](const TChartBrush& Brush) { return BrushSettingsToText(Brush); };
    const auto penText = [](const TChartPen& Pen) { return PenSettingsToText(Pen); };
    const auto gradientText = [](const TCustomPlotGradient& Gradient) { return GradientSettingsToText(Gradient); };
    return BrushSettingsToText(*polygon->Brush()) !=
               CanonicalSlotText(params[psBrush], BrushSettingsToText(*fresh->Brush()), BrushSettingsFromText,
                                 brushText) ||
           PenSettingsToText(*polygon->Pen()) !=
               CanonicalSlotText(params[psPen], PenSettingsToText(*fresh->Pen()), PenSettingsFromText, penText) ||
           GradientSettingsToText(*polygon->Gradient()) !=
               CanonicalSlotText(params[psGradient], GradientSettingsToText(*fresh->Gradient()),
                                 GradientSettingsFromText, gradientText);
}

void TPolygonChart::SeriesMenuActionDone()
{
    if (const int line = LineOfSeries(PopupSeries()); line >= 0)
        KeepLineLook(line);
    else if (PopupSeries() == FMapSeries && !FMapPending)
        KeepMapLooks();
}

int TPolygonChart::LineOfSeries(const TChartSeries* Series) const
{
    if (Series == nullptr)
        return -1;
    for (int i = 0; i < Lines.Length(); ++i)
        if (Lines[i].series == Series)
            return i;
    return -1;
}

bool TPolygonChart::LineLookChanged(int Line) const
{
    const line& record = Lines[Line];
    if (record.series == nullptr)
        return false;
    TLineSeries stored;
    ApplyLineLook(stored, record);
    return SeriesSettingsToText(record.series) != SeriesSettingsToText(&stored);
}

void TPolygonChart::KeepLineLook(int Line)
{
    if (!LineLookChanged(Line))
        return;
    // The history's newest state holds the old look: the new one is a step
    // of its own.
    ChangeFromOutside([&] {
        Lines[Line].appearance = SeriesSettingsToText(Lines[Line].series).toStdString();
        return true;
    });
}

void TPolygonChart::KeepMapLooks()
{
    // The hover highlight is no look of a body.
    RemoveHighlights();
    // Each ring with its polygon and whether its look changed (a ring's
    // look is kept in its own parameters, so storing one leaves the others'
    // comparison as it was).
    std::vector<std::array<int, 4>> rings;
    bool changed = false;
    for (int body = 0; body < Model.Length(); ++body)
        for (int sub = 0; sub < Model[body].Length(); ++sub) {
            const int mapIndex = IsHostRing(body, sub) ? -1 : FindMapPolygon(body, sub);
            if (mapIndex < 0)
                continue;
            const bool lookChanged = PolygonLookChanged(body, sub, mapIndex);
            rings.push_back({body, sub, mapIndex, lookChanged ? 1 : 0});
            changed = changed || lookChanged;
        }
    if (changed) {
        // The history's newest state holds the old looks: the new ones are
        // a step of their own, which an edit after them keeps. The map is
        // made anew from the model: whatever the editor changed that the
        // model does not keep goes.
        ChangeFromOutside([&] {
            for (const auto& [body, sub, mapIndex, lookChanged] : rings)
                if (lookChanged)
                    StorePolygonAppearance(body, sub, mapIndex);
            return true;
        });
    } else {
        // Nothing the model keeps changed: each polygon (and its id) stays,
        // given back the look its ring stores and the settings a new
        // polygon has.
        for (const auto& [body, sub, mapIndex, lookChanged] : rings) {
            TPlotPolygon* polygon = FMapSeries->Shapes()->GetPolygon(mapIndex);
            polygon->SetTransparency(0);
            polygon->SetClosed(true);
            polygon->SetZ(0);
            polygon->Points()->SetActive(true);
            ApplyPolygonAppearance(body, sub, mapIndex);
        }
    }
    Invalidate();
}

void TPolygonChart::ResolveSelection(arofintM& Ids, arofintM& Bodies, arofintM& MapIndexes, arofintM& Subs)
{
    arofintM ids;
    arofintM bodies;
    arofintM subs;
    MapIndexes.Clear();
    TPlotPolygonList& shapes = *MapSeries()->Shapes();
    for (int i = 0; i < Ids.Length(); ++i) {
        if (Ids[i] == -1)
            continue;
        for (int m = 0; m < shapes.Count(); ++m)
            if (shapes.GetPolygon(m)->ID() == Ids[i]) {
                MapIndexes.Add(m);
                ids.Add(Ids[i]);
                if (i < Bodies.Length())
                    bodies.Add(Bodies[i]);
                if (i < Subs.Length())
                    subs.Add(Subs[i]);
                break;
            }
    }
    Ids = std::move(ids);
    Bodies = std::move(bodies);
    Subs = std::move(subs);
}

void TPolygonChart::MoveMapPolygonsFirst(arofintM& MapIndexes)
{
    TPlotPolygonList& shapes = *MapSeries()->Shapes();
    std::vector<int> ids;
    for (int index : MapIndexes)
        ids.push_back(shapes.GetPolygon(index)->ID());
    std::optional<int> highlightedId;
    if (HighlightIndex >= 0 && HighlightIndex < shapes.Count())
        highlightedId = shapes.GetPolygon(HighlightIndex)->ID();
    const auto indexOfId = [&](int id) {
        for (int m = 0; m < shapes.Count(); ++m)
            if (shapes.GetPolygon(m)->ID() == id)
                return m;
        return -1;
    };
    for (int i = 0; i < static_cast<int>(ids.size()); ++i) {
        // The polygon may have moved through an earlier exchange: look it up.
        const int m = indexOfId(ids[static_cast<size_t>(i)]);
        for (int position = std::max(m, i); position > std::min(m, i); --position)
            MapSeries()->SwapValueIndex(position, position - 1);
    }
    for (int i = 0; i < MapIndexes.Length(); ++i)
        MapIndexes[i] = indexOfId(ids[static_cast<size_t>(i)]);
    // The highlight stays with its polygon.
    if (highlightedId.has_value())
        HighlightIndex = indexOfId(*highlightedId);
}

void TPolygonChart::BuildLineSeries()
{
    for (line& record : Lines) {
        if (record.series != nullptr) {
            record.series->Clear();
        } else {
            record.series = new TLineSeries(this);
        }
        TLineSeries& series = *record.series;
        series.SetParentChart(this);
        ApplyLineLook(series, record);
        for (const complexM& point : record.points)
            series.AddXY(point.re, point.im, QString(), clPlotColor);
    }
}

void TPolygonChart::ApplyLineLook(TLineSeries& Series, const line& Record)
{
    Series.SetSeriesColor(RedColor);
    // Points stay in drawing order, so series point i is line point i.
    SetUnsorted(Series);
    if (Record.appearance.empty())
        return;
    try {
        SeriesSettingsFromText(&Series, QString::fromStdString(Record.appearance));
    } catch (const Exception&) {
        // A line whose settings text cannot be applied keeps the standard
        // look; its points are what matters.
    }
}

TColor TPolygonChart::NodeColor(const Tnode& Node) const
{
    if (Node.border > 0)
        return BorderNodeColor;
    if (Node.fixed != 0)
        return FixedNodeColor;
    if (Node.sharing <= 1)
        return FreeNodeColor;
    return SharedNodeColor;
}

void TPolygonChart::PaintMarkedRegions()
{
    // During a drag each frame draws them where the rings are now, never
    // the still picture.
    if (MarkedRegions.empty() || (FDragCacheActive && FBuildingDragCache))
        return;
    TCanvas3D& canvas = Canvas();
    const TChartAxis& bottom = *BottomAxis();
    const TChartAxis& left = *LeftAxis();
    canvas.Brush()->SetStyle(TBrush::bsClear);
    canvas.Pen()->SetStyle(TPen::psSolid);
    canvas.Pen()->SetColor(MarkedRegionColor);
    canvas.Pen()->SetWidth(3);
    canvas.ClipRectangle(ChartRectangle());
    std::vector<TPoint> points;
    for (const TRingRef& region : MarkedRegions) {
        // A region the model no longer has (the table follows a step late)
        // is not drawn.
        if (region.Body < 0 || region.Body >= Model.Length() || region.Ring < 0 ||
            region.Ring >= Model[region.Body].Length())
            continue;
        points.clear();
        for (int32_t node : Model[region.Body][region.Ring].ring)
            if (node >= 0 && node < Nodes.Length())
                points.push_back({bottom.CalcPosValue(Nodes[node].x), left.CalcPosValue(Nodes[node].y)});
        if (points.size() < 2)
            continue;
        points.push_back(points.front());
        canvas.Polyline(points, static_cast<int>(points.size()) - 1);
    }
    canvas.UnClipRectangle();
    canvas.Pen()->SetWidth(1);
}

void TPolygonChart::PaintNodes()
{
    if (!ModelLoaded || FLayoutPaint)
        return;
    PaintMarkedRegions();
    TCanvas3D& canvas = Canvas();
    const TChartAxis& bottom = *BottomAxis();
    const TChartAxis& left = *LeftAxis();
    // Each dot is a 3x3 square: one filled rectangle, the brush changed only
    // when the colour does (a section has many thousands of nodes).
    canvas.Brush()->SetStyle(TBrush::bsSolid);
    // Dots stay inside the plot rectangle, clipped as the series are: after
    // scrolling the nodes beyond the axes are not drawn over them.
    TRect plot = ChartRectangle();
    plot.Right += 1;
    plot.Bottom += 1;
    TColor current = clNone;
    for (int i = FirstPaintedNode; i < Nodes.Length(); ++i) {
        // During a drag the still nodes' dots are in the drag picture: it is
        // built without the moving ones, and frames draw only those.
        if (FDragCacheActive && NodeDotIsCached(i) != FBuildingDragCache)
            continue;
        const Tnode& node = Nodes[i];
        const int x = bottom.CalcPosValue(node.x);
        const int y = left.CalcPosValue(node.y);
        const TRect dot{std::max(x - 1, plot.Left), std::max(y - 1, plot.Top), std::min(x + 2, plot.Right),
                        std::min(y + 2, plot.Bottom)};
        if (dot.Left >= dot.Right || dot.Top >= dot.Bottom)
            continue;
        const TColor color = NodeColor(node);
        if (color != current) {
            canvas.Brush()->SetColor(color);
            current = color;
        }
        canvas.FillRect(dot);
    }
    if (OnPaintOverlay)
        OnPaintOverlay();
}

void TPolygonChart::SetAutomaticScaling(bool On)
{
    if (!ModelLoaded)
        return;
    SetAlign(TAlign::alNone);
    if (On) {
        SetAlign(TAlign::alClient);
    } else {
        EnsureAxesLaidOut();
        const TChartAxis& left = *LeftAxis();
        const TChartAxis& bottom = *BottomAxis();
        const double span = std::fabs(left.Maximum() - left.Minimum());
        if (span > 1e-10) {
            const double perUnit =
                std::abs(left.CalcPosValue(left.Maximum()) - left.CalcPosValue(left.Minimum())) / span;
            const int drawingWidth = ChartRectWidth();
            const long wanted = std::lround((bottom.Maximum() - bottom.Minimum()) * perUnit + (Width() - drawingWidth));
            if (std::abs(wanted - Width()) > 3 && wanted > 0 && wanted < 1000000)
                SetWidth(static_cast<int>(wanted));
        }
        SetAlign(TAlign::alLeft);
    }
    UpdateAxisScales();
}

void TPolygonChart::EditBodyParameters(int MapIndex, int Body, int Sub)
{
    if (BodyParametersEntryPoint())
        BodyParametersEntryPoint()(this, MapIndex, Body, Sub);
}

} // namespace lp
