#include "chart/editors/tools/ColorLineBandToolPages.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/extensions/tools/PlotColorBandTool.h"
#include "chart/extensions/tools/PlotColorLineTool.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QVBoxLayout>

namespace lp {

namespace {

// The body widget holding Tabs with the page's margins.
QWidget* TabsBody(QWidget* Page, QTabWidget*& Tabs)
{
    auto* body = TPageBuilder::Named(new QWidget(Page), "PanelBody");
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 0, 4, 4);
    Tabs = TPageBuilder::WideTabs(body, "PageControl1");
    layout->addWidget(Tabs);
    return body;
}

} // namespace

// --- TColorLineToolEditor ----------------------------------------------------------------------

TColorLineToolEditor::TColorLineToolEditor(QWidget* Parent) : TAxisToolEditor(Parent)
{
    AddBody(TabsBody(this, PageControl1));
    {
        QWidget* tab = TPageBuilder::AddTab(PageControl1, "TabValue", QStringLiteral("Value"));
        TPageBuilder build(*tab);
        EValue = NumberEdit(tab, "EValue");
        CBStyle = TPageBuilder::Combo(tab, "CBStyle",
                            {QStringLiteral("Custom"), QStringLiteral("Axis Maximum"), QStringLiteral("Axis Center"),
                             QStringLiteral("Axis Minimum")});
        build.Row(QStringLiteral("&Value: "), EValue, "Label2");
        build.Row(QStringLiteral("&Style:"), CBStyle, "Label3");
        build.Stretch();
    }
    {
        QWidget* tab = TPageBuilder::AddTab(PageControl1, "TabOptions", QStringLiteral("Options"));
        TPageBuilder build(*tab);
        CBAllowDrag = build.CheckBox("CBAllowDrag", QStringLiteral("Allow &Drag"));
        CBDragRepaint = build.CheckBox("CBDragRepaint", QStringLiteral("Drag &Repaint"));
        CBNoLimitDrag = build.CheckBox("CBNoLimitDrag", QStringLiteral("No &Limit Drag"));
        CBDrawBehind = build.CheckBox("CBDrawBehind", QStringLiteral("Dra&w Behind"));
        CBDraw3D = build.CheckBox("CBDraw3D", QStringLiteral("Draw &3D"));
        CBDraw3D->setChecked(true);
        build.Line({CBAllowDrag, CBDrawBehind});
        build.Line({CBDragRepaint, CBDraw3D});
        build.Line({CBNoLimitDrag});
        build.Stretch();
    }
    TPropertyBinder& bind = Binder();
    BindNumberEdit(
        *this, EValue,
        [this]() -> std::optional<double> { return LineTool() ? std::optional(LineTool()->Value()) : std::nullopt; },
        [this](double Value) { LineTool()->SetValue(Value); });
    bind.Bind(CBStyle, QStringLiteral("Style"));
    bind.BindField(CBAllowDrag, QStringLiteral("AllowDrag"));
    bind.BindField(CBDragRepaint, QStringLiteral("DragRepaint"));
    bind.BindField(CBNoLimitDrag, QStringLiteral("NoLimitDrag"));
    bind.Bind(CBDrawBehind, QStringLiteral("DrawBehind"));
    bind.Bind(CBDraw3D, QStringLiteral("Draw3D"));
    SetReadingTabOrder(*this);
}

TColorLineTool* TColorLineToolEditor::LineTool() const
{
    return TargetAs<TColorLineTool>();
}

void TColorLineToolEditor::UpdateEnabled()
{
    TAxisToolEditor::UpdateEnabled();
    // The other styles take the value from the axis.
    EValue->setEnabled(LineTool() && LineTool()->Style() == TColorLineTool::clCustom);
}

void TColorLineToolEditor::showEvent(QShowEvent* Event)
{
    if (Creating())
        PageControl1->setCurrentIndex(0);
    TAxisToolEditor::showEvent(Event);
}

// --- TColorBandToolEditor ----------------------------------------------------------------------

TColorBandToolEditor::TColorBandToolEditor(QWidget* Parent) : TAxisToolEditor(Parent)
{
    BPattern = BrushButton(
        PanelTop, "BPattern", QStringLiteral("&Pattern..."),
        [this]() -> TChartBrush* { return BandTool() ? BandTool()->Brush() : nullptr; },
        [this] { AfterUserChange(BPattern); });
    AddTopControl(BPattern);
    AddBody(TabsBody(this, PageControl1));
    {
        QWidget* tab = TPageBuilder::AddTab(PageControl1, "TabValues", QStringLiteral("Values"));
        TPageBuilder build(*tab);
        EStart = NumberEdit(tab, "EStart");
        CBStart = build.CheckBox("CBStart", QStringLiteral("Allo&w drag"));
        BStart = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("B&order..."), tab), "BStart");
        EEnd = NumberEdit(tab, "EEnd");
        CBEnd = build.CheckBox("CBEnd", QStringLiteral("Allow &drag"));
        BEnd = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("Bo&rder..."), tab), "BEnd");
        auto* startLabel = TPageBuilder::Named(new QLabel(QStringLiteral("&Start value:"), tab), "Label2");
        startLabel->setBuddy(EStart);
        auto* endLabel = TPageBuilder::Named(new QLabel(QStringLiteral("&End value:"), tab), "Label3");
        endLabel->setBuddy(EEnd);
        QGridLayout& grid = build.Grid();
        grid.addWidget(startLabel, 0, 0);
        grid.addWidget(EStart, 0, 1);
        grid.addWidget(CBStart, 0, 2);
        grid.addWidget(BStart, 0, 3);
        grid.addWidget(endLabel, 1, 0);
        grid.addWidget(EEnd, 1, 1);
        grid.addWidget(CBEnd, 1, 2);
        grid.addWidget(BEnd, 1, 3);
        grid.setRowStretch(2, 1);
        grid.setColumnStretch(4, 1);
    }
    {
        QWidget* tab = TPageBuilder::AddTab(PageControl1, "TabOptions", QStringLiteral("Options"));
        TPageBuilder build(*tab);
        BGradient = TPageBuilder::SymbolButton(new TButtonGradient(QStringLiteral("&Gradient..."), tab), "BGradient");
        ButtonColor1 = build.ColorButton("ButtonColor1", QStringLiteral("&Color..."));
        UDTrans = ToolSpin(tab, "UDTrans", 0, 100);
        CBDrawBehind = build.CheckBox("CBDrawBehind", QStringLiteral("&Draw Behind"));
        CBBeforeAxes = build.CheckBox("CBBeforeAxes", QStringLiteral("&Draw Behind A&xes"));
        CBCursor = TPageBuilder::Combo(tab, "CBCursor", {});
        build.Line({ButtonColor1, BGradient});
        build.Row(QStringLiteral("&Transparency:"), UDTrans, "Label4");
        build.Line({CBDrawBehind, CBBeforeAxes});
        build.Row(QStringLiteral("C&ursor:"), CBCursor, "Label5");
        build.Stretch();
    }
    TPropertyBinder& bind = Binder();
    BindNumberEdit(
        *this, EStart,
        [this]() -> std::optional<double> { return BandTool() ? std::optional(BandTool()->StartValue()) : std::nullopt; },
        [this](double Value) { BandTool()->SetStartValue(Value); });
    BindNumberEdit(
        *this, EEnd,
        [this]() -> std::optional<double> { return BandTool() ? std::optional(BandTool()->EndValue()) : std::nullopt; },
        [this](double Value) { BandTool()->SetEndValue(Value); });
    bind.Bind(CBStart, QStringLiteral("ResizeStart"));
    bind.Bind(CBEnd, QStringLiteral("ResizeEnd"));
    bind.Bind(ButtonColor1, QStringLiteral("Color"));
    bind.Bind(UDTrans, QStringLiteral("Transparency"));
    bind.Bind(CBDrawBehind, QStringLiteral("DrawBehind"));
    bind.Bind(CBBeforeAxes, QStringLiteral("DrawBehindAxes"));
    // The pointer over the band; shown when the mouse is there, no repaint.
    BindCursorCombo(
        *this, CBCursor, [this] { return BandTool()->Cursor(); },
        [this](TCursor Cursor) { BandTool()->SetCursor(Cursor); }, true);
    for (TButtonPen* pen : {BStart, BEnd})
        pen->OnClick = [this, pen](TButtonPen*) { AfterUserChange(pen); };
    BGradient->OnClick = [this](TButtonGradient*) { AfterUserChange(BGradient); };
    SetReadingTabOrder(*this);
}

TColorBandTool* TColorBandToolEditor::BandTool() const
{
    return TargetAs<TColorBandTool>();
}

void TColorBandToolEditor::FillControls()
{
    TAxisToolEditor::FillControls();
    TColorBandTool* tool = BandTool();
    if (!tool)
        return;
    BStart->LinkPen(tool->StartLinePen());
    BEnd->LinkPen(tool->EndLinePen());
    BGradient->LinkGradient(tool->Gradient());
}

void TColorBandToolEditor::showEvent(QShowEvent* Event)
{
    if (Creating())
        PageControl1->setCurrentIndex(0);
    TAxisToolEditor::showEvent(Event);
}

} // namespace lp
