#include "chart/editors/tools/ExtensionToolPages.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/chart/LegendPage.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/extensions/grid3d/PlotGridSeries.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"
#include "chart/extensions/planning/PlotGantt.h"
#include "chart/extensions/tools/PlotDragPointTool.h"
#include "chart/extensions/tools/PlotExtraLegendTool.h"
#include "chart/extensions/tools/PlotGanttTool.h"
#include "chart/extensions/tools/PlotGridTransposeTool.h"
#include "chart/extensions/tools/PlotLightTool.h"
#include "chart/extensions/tools/PlotPieTool.h"
#include "chart/extensions/tools/PlotScrollBarTool.h"
#include "chart/extensions/tools/PlotSelectorTool.h"
#include "chart/extensions/tools/PlotSeriesBandTool.h"
#include "chart/extensions/tools/PlotSurfaceNearestTool.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>

#include <algorithm>
#include <tuple>

namespace lp {

namespace {

// The body of a page derived from the series tool page.
QWidget* ToolBody(QWidget* Page)
{
    return TPageBuilder::Named(new QWidget(Page), "PanelBody");
}

// A track bar with the label showing its value.
QSlider* TrackBar(QWidget* Parent, const char* Name, int Min, int Max, QLabel*& ValueLabel)
{
    auto* slider = TPageBuilder::Named(new QSlider(Qt::Horizontal, Parent), Name);
    slider->setRange(Min, Max);
    slider->setMinimumWidth(150);
    ValueLabel = new QLabel(Parent);
    ValueLabel->setObjectName(QString::fromLatin1(Name) + QStringLiteral("Value"));
    ValueLabel->setMinimumWidth(ValueLabel->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
    QObject::connect(slider, &QSlider::valueChanged, ValueLabel, qOverload<int>(&QLabel::setNum));
    return slider;
}

} // namespace

// --- TScrollbarEditor --------------------------------------------------------------------------

TScrollbarEditor::TScrollbarEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("ScrollbarEditor"));
    TPageBuilder build(*this);
    const auto brush = [this](TChartBrush* (TPlotScrollBar::*Of)() const) {
        return [this, Of]() -> TChartBrush* { return Tool() ? (Tool()->*Of)() : nullptr; };
    };
    ButtonPen1 = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Border..."), this), "ButtonPen1");
    Button1 = BrushButton(this, "Button1", QStringLiteral("&Thumb..."), brush(&TPlotScrollBar::ThumbBrush),
                          [this] { AfterUserChange(Button1); });
    Button2 = BrushButton(
        this, "Button2", QStringLiteral("B&ack..."),
        [this]() -> TChartBrush* { return Tool() ? Tool()->Brush() : nullptr; }, [this] { AfterUserChange(Button2); });
    Button3 = BrushButton(this, "Button3", QStringLiteral("A&rrows..."), brush(&TPlotScrollBar::ArrowBrush),
                          [this] { AfterUserChange(Button3); });
    ButtonColor1 = build.ColorButton("ButtonColor1", QStringLiteral("Back &Color..."));
    BGradient = TPageBuilder::SymbolButton(new TButtonGradient(QStringLiteral("&Gradient..."), this), "BGradient");
    // Item index = bevel value.
    ComboBox1 = TPageBuilder::Combo(this, "ComboBox1", {QStringLiteral("None"), QStringLiteral("Lowered"), QStringLiteral("Raised")});
    CBAuto = build.CheckBox("CBAuto", QStringLiteral("A&uto-repeat"));
    UpDown1 = ToolSpin(this, "UpDown1", 1, 300);
    UpDown2 = ToolSpin(this, "UpDown2", 0, 5000, 25);
    UpDown2->setValue(250);
    build.Line({ButtonPen1, Button1});
    build.Line({Button2, Button3});
    build.Line({ButtonColor1, BGradient});
    build.Row(QStringLiteral("B&evel:"), ComboBox1, "Label1");
    build.Line({CBAuto});
    build.Row(QStringLiteral("&Size:"), UpDown1, "Label2");
    build.Row(QStringLiteral("&Initial delay"), UpDown2, "Label3");
    build.Stretch();

    TPropertyBinder& bind = Binder();
    bind.Bind(ButtonColor1, QStringLiteral("BackColor"));
    bind.Bind(ComboBox1, QStringLiteral("Bevel"));
    bind.BindField(CBAuto, QStringLiteral("AutoRepeat"));
    bind.Bind(UpDown1, QStringLiteral("Size"));
    bind.BindField(UpDown2, QStringLiteral("InitialDelay"));
    ButtonPen1->OnClick = [this](TButtonPen*) { AfterUserChange(ButtonPen1); };
    BGradient->OnClick = [this](TButtonGradient*) { AfterUserChange(BGradient); };
    SetReadingTabOrder(*this);
}

TPlotScrollBar* TScrollbarEditor::Tool() const
{
    return TargetAs<TPlotScrollBar>();
}

void TScrollbarEditor::FillControls()
{
    ButtonPen1->LinkPen(Tool()->Pen());
    BGradient->LinkGradient(Tool()->Gradient());
}

// --- TSelectorToolEditor -----------------------------------------------------------------------

TSelectorToolEditor::TSelectorToolEditor(QWidget* Parent) : TEditorPage(Parent)
{
    TPageBuilder build(*this);
    ButtonPen1 = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Handles..."), this), "ButtonPen1");
    ButtonColor1 = build.ColorButton("ButtonColor1", QStringLiteral("&Color..."));
    UDSize = ToolSpin(this, "UDSize", 1, 100);
    UDSize->setValue(3);
    CBAllowDrag = build.CheckBox("CBAllowDrag", QStringLiteral("&Allow Drag"));
    CBResizeChart = build.CheckBox("CBResizeChart", QStringLiteral("Allow &Resize Chart"));
    build.Line({ButtonPen1, ButtonColor1});
    build.Row(QStringLiteral("&Size:"), UDSize, "Label1");
    build.Line({CBAllowDrag});
    build.Line({CBResizeChart});
    build.Stretch();

    TPropertyBinder& bind = Binder();
    bind.Bind(ButtonColor1, QStringLiteral("Brush.Color"));
    bind.Bind(UDSize, QStringLiteral("HandleSize"));
    bind.BindField(CBAllowDrag, QStringLiteral("AllowDrag"));
    bind.BindField(CBResizeChart, QStringLiteral("AllowResizeChart"));
    ButtonPen1->OnClick = [this](TButtonPen*) { AfterUserChange(ButtonPen1); };
    SetReadingTabOrder(*this);
}

TSelectorTool* TSelectorToolEditor::Tool() const
{
    return TargetAs<TSelectorTool>();
}

void TSelectorToolEditor::FillControls()
{
    ButtonPen1->LinkPen(Tool()->Pen());
}

// --- TLightToolEditor --------------------------------------------------------------------------

TLightToolEditor::TLightToolEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("VudEvevu Lighting"));
    TPageBuilder build(*this);
    QLabel* leftValue = nullptr;
    QLabel* topValue = nullptr;
    QLabel* factorValue = nullptr;
    CheckBox2 = build.CheckBox("CheckBox2", QStringLiteral("&Follow mouse"));
    TBLeft = TrackBar(this, "TBLeft", 0, 100, leftValue);
    TBTop = TrackBar(this, "TBTop", 0, 100, topValue);
    CBStyle = TPageBuilder::Combo(this, "CBStyle", {QStringLiteral("Linear"), QStringLiteral("Spotlight")});
    TBFactor = TrackBar(this, "TBFactor", 0, 100, factorValue);
    TBFactor->setValue(10);
    build.Line({CheckBox2});
    for (auto [slider, value, caption, name] :
         {std::tuple{TBLeft, leftValue, "&Left:", "Label1"}, std::tuple{TBTop, topValue, "&Top:", "Label2"}}) {
        auto* label = TPageBuilder::Named(new QLabel(QString::fromLatin1(caption), this), name);
        label->setBuddy(slider);
        build.Line({label, slider, value});
    }
    build.Row(QStringLiteral("&Style:"), CBStyle, "Label3");
    auto* factor = TPageBuilder::Named(new QLabel(QStringLiteral("F&actor:"), this), "Label4");
    factor->setBuddy(TBFactor);
    build.Line({factor, TBFactor, factorValue});
    build.Stretch();

    TPropertyBinder& bind = Binder();
    bind.BindField(CheckBox2, QStringLiteral("FollowMouse"));
    bind.Bind(
        TBLeft, [this]() -> QVariant { return Tool() ? QVariant(ShownLeft()) : QVariant(); },
        [this](const QVariant& Value) { Tool()->SetLeft(Value.toInt()); });
    bind.Bind(
        TBTop, [this]() -> QVariant { return Tool() ? QVariant(ShownTop()) : QVariant(); },
        [this](const QVariant& Value) { Tool()->SetTop(Value.toInt()); });
    bind.Bind(CBStyle, QStringLiteral("Style"));
    bind.Bind(TBFactor, QStringLiteral("Factor"));
    SetReadingTabOrder(*this);
}

TLightTool* TLightToolEditor::Tool() const
{
    return TargetAs<TLightTool>();
}

int TLightToolEditor::ShownLeft() const
{
    const TCustomAxisPanel* chart = Tool()->ParentChart();
    if (Tool()->Left() != -1 || !chart)
        return Tool()->Left();
    return chart->Left() + chart->Width() / 2;
}

int TLightToolEditor::ShownTop() const
{
    const TCustomAxisPanel* chart = Tool()->ParentChart();
    if (Tool()->Top() != -1 || !chart)
        return Tool()->Top();
    return chart->Top() + chart->Height() / 2;
}

void TLightToolEditor::FillControls()
{
    // The track bars span the chart; their values are shown again once
    // they have their ranges.
    if (const TCustomAxisPanel* chart = Tool()->ParentChart()) {
        TBLeft->setMaximum(std::max(chart->Width(), 1));
        TBTop->setMaximum(std::max(chart->Height(), 1));
    }
    TBLeft->setValue(ShownLeft());
    TBTop->setValue(ShownTop());
}

// --- TSurfaceNearest ---------------------------------------------------------------------------


TSurfaceNearest::TSurfaceNearest(QWidget* Parent) : TSeriesToolEditor(Parent)
{
    SetLeadingEntries({});
    Label1->setText(QStringLiteral("&Surface:"));
    QWidget* body = ToolBody(this);
    TPageBuilder build(*body);
    auto* title = TPageBuilder::Named(new QLabel(QStringLiteral("Surface"), body), "LabelSurface");
    build.Full(title);
    struct TColorRow {
        TButtonColor** Button;
        QCheckBox** Default;
        QCheckBox** None;
        const char* Caption;
        const char* Property;
        TColor Initial;
        const char* ButtonName;
        const char* DefaultName;
        const char* NoneName;
    };
    const TColorRow rows[] = {
        {&BCell, &CBCellDefault, &CBCellNone, "&Cell...", "CellColor", clRed, "BCell", "CBCellDefault", "CBCellNone"},
        {&BRow, &CBRowDefault, &CBRowNone, "&Row...", "RowColor", clBlue, "BRow", "CBRowDefault", "CBRowNone"},
        {&BColumn, &CBColumnDefault, &CBColumnNone, "&Column...", "ColumnColor", clGreen, "BColumn",
         "CBColumnDefault", "CBColumnNone"},
    };
    TPropertyBinder& bind = Binder();
    for (const TColorRow& row : rows) {
        *row.Button = build.ColorButton(row.ButtonName, QString::fromLatin1(row.Caption));
        *row.Default = build.CheckBox(row.DefaultName, QStringLiteral("Default"));
        *row.None = build.CheckBox(row.NoneName, QStringLiteral("None"));
        build.Line({*row.Button, *row.Default, *row.None});
        const QString property = QString::fromLatin1(row.Property);
        bind.Bind(*row.Button, property);
        // A box that is unticked gives the colour its initial value back.
        const auto special = [this, property, row](TColor Special) {
            return std::pair<TPropertyBinder::TGetter, TPropertyBinder::TSetter>{
                [this, property, Special]() -> QVariant {
                    const QVariant color = ReadPropertyPath(Target(), property);
                    return color.isValid() ? QVariant(static_cast<TColor>(color.toInt()) == Special) : QVariant();
                },
                [this, property, Special, row](const QVariant& On) {
                    WritePropertyPath(Target(), property, static_cast<int>(On.toBool() ? Special : row.Initial));
                }};
        };
        const auto byDefault = special(clDefault);
        bind.Bind(*row.Default, byDefault.first, byDefault.second);
        const auto byNone = special(clNone);
        bind.Bind(*row.None, byNone.first, byNone.second);
    }
    AddBody(body);
    SetReadingTabOrder(*this);
}

TSurfaceNearestTool* TSurfaceNearest::NearestTool() const
{
    return TargetAs<TSurfaceNearestTool>();
}

bool TSurfaceNearest::ListsSeries(const TChartSeries& Series) const
{
    return qobject_cast<const TSurfaceSeries*>(&Series) != nullptr;
}

// --- TSeriesBandToolEdit -----------------------------------------------------------------------

TSeriesBandToolEdit::TSeriesBandToolEdit(QWidget* Parent) : TSeriesToolEditor(Parent)
{
    QWidget* body = ToolBody(this);
    TPageBuilder build(*body);
    CBSeries2 = TPageBuilder::Combo(body, "CBSeries2", {});
    CBSeries2->setMinimumContentsLength(16);
    CBSeries2->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Button1 = BrushButton(
        body, "Button1", QStringLiteral("&Brush..."),
        [this]() -> TChartBrush* { return BandTool() ? BandTool()->Brush() : nullptr; },
        [this] { AfterUserChange(Button1); });
    BPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Pen..."), body), "BPen");
    BGradient = TPageBuilder::SymbolButton(new TButtonGradient(QStringLiteral("&Gradient..."), body), "BGradient");
    CBDrawBehindSeries = build.CheckBox("CBDrawBehindSeries", QStringLiteral("&Draw Behind Series"));
    UDTransp = ToolSpin(body, "UDTransp", 0, 100);
    build.Row(QStringLiteral("S&eries 2:"), CBSeries2, "Label2");
    build.Line({Button1, BPen, BGradient});
    build.Line({CBDrawBehindSeries});
    build.Row(QStringLiteral("&Transparency:"), UDTransp, "Label3");
    AddBody(body);

    TPropertyBinder& bind = Binder();
    bind.Bind(
        CBSeries2,
        [this]() -> QVariant { return BandTool() ? QVariant(Series2Index()) : QVariant(); },
        [this](const QVariant& Index) {
            const int index = Index.toInt();
            if (index < 0 || index >= static_cast<int>(FSeries2.size()))
                return;
            BandTool()->SetSeries2(FSeries2[static_cast<size_t>(index)]);
            BandTool()->Repaint();
        });
    bind.Bind(CBDrawBehindSeries, QStringLiteral("DrawBehindSeries"));
    bind.Bind(UDTransp, QStringLiteral("Transparency"));
    BPen->OnClick = [this](TButtonPen*) { AfterUserChange(BPen); };
    BGradient->OnClick = [this](TButtonGradient*) { AfterUserChange(BGradient); };
    SetReadingTabOrder(*this);
}

TSeriesBandTool* TSeriesBandToolEdit::BandTool() const
{
    return TargetAs<TSeriesBandTool>();
}

void TSeriesBandToolEdit::FillControls()
{
    TSeriesToolEditor::FillControls();
    TSeriesBandTool* tool = BandTool();
    BPen->LinkPen(tool->Pen());
    BGradient->LinkGradient(tool->Gradient());
    std::vector<QPointer<TChartSeries>> listed;
    QStringList names;
    if (TCustomAxisPanel* chart = tool->ParentChart())
        for (int i = 0; i < chart->SeriesCount(); ++i)
            if (chart->Series(i)->ShowInEditor()) {
                listed.emplace_back(chart->Series(i));
                names << SeriesTitleOrName(chart->Series(i));
            }
    RefillSeriesCombo(CBSeries2, FSeries2, std::move(listed), names);
    CBSeries2->setCurrentIndex(Series2Index());
    CBSeries2->setEnabled(!FSeries2.empty());
}

int TSeriesBandToolEdit::Series2Index() const
{
    for (size_t i = 0; i < FSeries2.size(); ++i)
        if (FSeries2[i] == BandTool()->Series2())
            return static_cast<int>(i);
    return -1;
}

// --- TExtraLegendEditor ------------------------------------------------------------------------

TExtraLegendEditor::TExtraLegendEditor(QWidget* Parent) : TSeriesToolEditor(Parent)
{
    QWidget* body = ToolBody(this);
    TPageBuilder build(*body);
    Button1 = build.Button("Button1", QStringLiteral("&Edit Legend..."));
    build.Line({Button1});
    AddBody(body);
    connect(Button1, &QPushButton::clicked, this, &TExtraLegendEditor::EditLegend);
    SetReadingTabOrder(*this);
}

TExtraLegendTool* TExtraLegendEditor::LegendTool() const
{
    return TargetAs<TExtraLegendTool>();
}

void TExtraLegendEditor::EditLegend()
{
    TExtraLegendTool* tool = LegendTool();
    if (!tool)
        return;
    auto form = TFormPlotLegend::CreateForLegend(this, tool->Legend());
    form->exec();
    if (LegendTool())
        LegendTool()->Repaint();
}

// --- TPieToolEditor ----------------------------------------------------------------------------

TPieToolEditor::TPieToolEditor(QWidget* Parent) : TSeriesToolEditor(Parent)
{
    SetLeadingEntries({});
    Label1->setText(QStringLiteral("&Pie Series:"));
    QWidget* body = ToolBody(this);
    TPageBuilder build(*body);
    RGStyleBox = TPageBuilder::Named(new QGroupBox(QStringLiteral("&Style:"), body), "RGStyleBox");
    RGStyle = TPageBuilder::RadioGroup(this, RGStyleBox, "RGStyle", {"Focus", "Explode"}, Qt::Horizontal);
    BPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Border..."), body), "BPen");
    build.Full(RGStyleBox);
    build.Line({BPen});
    AddBody(body);
    Binder().BindField(RGStyle, QStringLiteral("Style"));
    BPen->OnClick = [this](TButtonPen*) { AfterUserChange(BPen); };
    SetReadingTabOrder(*this);
}

TPieTool* TPieToolEditor::PieTool() const
{
    return TargetAs<TPieTool>();
}

bool TPieToolEditor::ListsSeries(const TChartSeries& Series) const
{
    return qobject_cast<const TPieSeries*>(&Series) != nullptr;
}

void TPieToolEditor::FillControls()
{
    TSeriesToolEditor::FillControls();
    BPen->LinkPen(PieTool()->Pen());
}

// --- TDragPointToolEdit ------------------------------------------------------------------------

TDragPointToolEdit::TDragPointToolEdit(QWidget* Parent) : TSeriesToolEditor(Parent)
{
    QWidget* body = ToolBody(this);
    TPageBuilder build(*body);
    RGStyleBox = TPageBuilder::Named(new QGroupBox(QStringLiteral("Drag Style:"), body), "RGStyleBox");
    RGStyle = TPageBuilder::RadioGroup(this, RGStyleBox, "RGStyle", {"&X", "&Y", "&Both"}, Qt::Horizontal);
    CBCursor = TPageBuilder::Combo(body, "CBCursor", {});
    build.Full(RGStyleBox);
    build.Row(QStringLiteral("&Cursor:"), CBCursor, "Label2");
    AddBody(body);
    Binder().BindField(RGStyle, QStringLiteral("DragStyle"));
    // The cursor shown over the chosen series' points.
    BindCursorCombo(
        *this, CBCursor,
        [this] { return DragTool()->Series() ? DragTool()->Series()->Cursor() : crDefault; },
        [this](TCursor Cursor) {
            if (DragTool()->Series())
                DragTool()->Series()->SetCursor(Cursor);
        },
        true);
    SetReadingTabOrder(*this);
}

TDragPointTool* TDragPointToolEdit::DragTool() const
{
    return TargetAs<TDragPointTool>();
}

void TDragPointToolEdit::UpdateEnabled()
{
    TSeriesToolEditor::UpdateEnabled();
    CBCursor->setEnabled(DragTool() && DragTool()->Series());
}

// --- TGanttToolEditor --------------------------------------------------------------------------

TGanttToolEditor::TGanttToolEditor(QWidget* Parent) : TSeriesToolEditor(Parent)
{
    QWidget* body = ToolBody(this);
    TPageBuilder build(*body);
    UpDown1 = ToolSpin(body, "UpDown1", 0, 1000);
    UpDown1->setValue(5);
    CBAllowDrag = build.CheckBox("CBAllowDrag", QStringLiteral("Allow &Drag"));
    CBAllowResize = build.CheckBox("CBAllowResize", QStringLiteral("Allow &Resize"));
    CBCursorDrag = TPageBuilder::Combo(body, "CBCursorDrag", {});
    CBCursorResize = TPageBuilder::Combo(body, "CBCursorResize", {});
    build.Row(QStringLiteral("&Resize pixels tolerance:"), UpDown1, "Label2");
    build.Line({CBAllowDrag});
    build.Row(QStringLiteral("&Cursor:"), CBCursorDrag, "Label3");
    build.Line({CBAllowResize});
    build.Row(QStringLiteral("C&ursor:"), CBCursorResize, "Label4");
    AddBody(body);

    TPropertyBinder& bind = Binder();
    bind.BindField(UpDown1, QStringLiteral("MinPixels"));
    bind.BindField(CBAllowDrag, QStringLiteral("AllowDrag"));
    bind.BindField(CBAllowResize, QStringLiteral("AllowResize"));
    BindCursorCombo(
        *this, CBCursorDrag, [this] { return GanttTool()->CursorDrag(); },
        [this](TCursor Cursor) { GanttTool()->SetCursorDrag(Cursor); }, true);
    BindCursorCombo(
        *this, CBCursorResize, [this] { return GanttTool()->CursorResize(); },
        [this](TCursor Cursor) { GanttTool()->SetCursorResize(Cursor); }, true);
    SetReadingTabOrder(*this);
}

TGanttTool* TGanttToolEditor::GanttTool() const
{
    return TargetAs<TGanttTool>();
}

bool TGanttToolEditor::ListsSeries(const TChartSeries& Series) const
{
    return Series.ShowInEditor() && qobject_cast<const TGanttSeries*>(&Series) != nullptr;
}

// --- TGridTransposeToolEdit --------------------------------------------------------------------

TGridTransposeToolEdit::TGridTransposeToolEdit(QWidget* Parent) : TSeriesToolEditor(Parent)
{
    SetLeadingEntries({});
    Label1->setText(QStringLiteral("&Grid 3D Series:"));
    QWidget* body = ToolBody(this);
    TPageBuilder build(*body);
    BTranspose = build.Button("BTranspose", QStringLiteral("&Transpose now"));
    BTranspose->setEnabled(false);
    build.Line({BTranspose});
    AddBody(body);
    connect(BTranspose, &QPushButton::clicked, this, [this] {
        if (TGridTransposeTool* tool = TransposeTool()) {
            tool->Transpose();
            AfterUserChange(BTranspose);
        }
    });
    SetReadingTabOrder(*this);
}

TGridTransposeTool* TGridTransposeToolEdit::TransposeTool() const
{
    return TargetAs<TGridTransposeTool>();
}

bool TGridTransposeToolEdit::ListsSeries(const TChartSeries& Series) const
{
    return qobject_cast<const TCustom3DGridSeries*>(&Series) != nullptr;
}

TCustomAxisPanel* TGridTransposeToolEdit::SeriesChart() const
{
    return TransposeTool() ? TransposeTool()->ParentChart() : nullptr;
}

TChartSeries* TGridTransposeToolEdit::ChosenSeries() const
{
    return TransposeTool() ? TransposeTool()->Series() : nullptr;
}

void TGridTransposeToolEdit::ChooseSeries(TChartSeries* Series)
{
    if (TGridTransposeTool* tool = TransposeTool())
        tool->SetSeries(Series);
}

void TGridTransposeToolEdit::UpdateEnabled()
{
    TSeriesToolEditor::UpdateEnabled();
    BTranspose->setEnabled(ChosenSeries() != nullptr);
}

} // namespace lp
