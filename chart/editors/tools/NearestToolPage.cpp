#include "chart/editors/tools/NearestToolPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/extensions/tools/PlotNearestTool.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QSpinBox>

namespace lp {

TNearestToolEdit::TNearestToolEdit(QWidget* Parent) : TSeriesToolEditor(Parent)
{
    auto* body = TPageBuilder::Named(new QWidget(this), "PanelBody");
    TPageBuilder build(*body);
    BPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Pen..."), body), "BPen");
    Button1 = BrushButton(
        body, "Button1", QStringLiteral("&Brush..."),
        [this]() -> TChartBrush* { return NearestTool() ? NearestTool()->Brush() : nullptr; },
        [this] { AfterUserChange(Button1); });
    UDSize = ToolSpin(body, "UDSize", 0, 200);
    CBStyle = TPageBuilder::Combo(body, "CBStyle",
                        {QStringLiteral("None"), QStringLiteral("Circle"), QStringLiteral("Rectangle"),
                         QStringLiteral("Diamond")});
    CBFull = build.CheckBox("CBFull", QStringLiteral("&Full Repaint"));
    BLine = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Line..."), body), "BLine");
    build.Line({BPen, Button1});
    build.Row(QStringLiteral("S&ize:"), UDSize, "Label2");
    build.Row(QStringLiteral("S&tyle:"), CBStyle, "Label3");
    build.Line({CBFull});
    build.Line({BLine});
    AddBody(body);

    TPropertyBinder& bind = Binder();
    bind.Bind(UDSize, QStringLiteral("Size"));
    bind.Bind(CBStyle, QStringLiteral("Style"));
    bind.BindField(CBFull, QStringLiteral("FullRepaint"));
    for (TButtonPen* pen : {BPen, BLine})
        pen->OnClick = [this, pen](TButtonPen*) { AfterUserChange(pen); };
    SetReadingTabOrder(*this);
}

TNearestTool* TNearestToolEdit::NearestTool() const
{
    return TargetAs<TNearestTool>();
}

void TNearestToolEdit::FillControls()
{
    TSeriesToolEditor::FillControls();
    if (TNearestTool* tool = NearestTool()) {
        BPen->LinkPen(tool->Pen());
        BLine->LinkPen(tool->LinePen());
    }
}

} // namespace lp
