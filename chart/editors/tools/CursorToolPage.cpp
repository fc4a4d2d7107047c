#include "chart/editors/tools/CursorToolPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/extensions/tools/PlotCursorTool.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSpinBox>

namespace lp {

TCursorToolEditor::TCursorToolEditor(QWidget* Parent) : TSeriesToolEditor(Parent)
{
    auto* body = TPageBuilder::Named(new QWidget(this), "PanelBody");
    TPageBuilder build(*body);
    BPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Pen..."), body), "BPen");
    CBStyle = TPageBuilder::Combo(body, "CBStyle",
                        {QStringLiteral("Horizontal"), QStringLiteral("Vertical"), QStringLiteral("Both")});
    CBSnap = build.CheckBox("CBSnap", QStringLiteral("S&nap"));
    CBFollow = build.CheckBox("CBFollow", QStringLiteral("&Follow mouse"));
    CBZ = build.CheckBox("CBZ", QStringLiteral("Use Series &Z"));
    UDClick = ToolSpin(body, "UDClick", 0, 1000);
    auto* pixels = TPageBuilder::Named(new QLabel(QStringLiteral("pixels"), body), "Label4");

    build.Line({BPen});
    build.Row(QStringLiteral("S&tyle:"), CBStyle, "Label2");
    build.Line({CBSnap, CBFollow});
    build.Line({CBZ});
    auto* tolerance = TPageBuilder::Named(new QLabel(QStringLiteral("Click &tolerance:"), body), "Label3");
    tolerance->setBuddy(UDClick);
    build.Line({tolerance, UDClick, pixels});
    AddBody(body);

    TPropertyBinder& bind = Binder();
    bind.Bind(CBStyle, QStringLiteral("Style"));
    bind.BindField(CBSnap, QStringLiteral("Snap"));
    bind.BindField(CBFollow, QStringLiteral("FollowMouse"));
    bind.Bind(CBZ, QStringLiteral("UseSeriesZ"));
    bind.BindField(UDClick, QStringLiteral("ClickTolerance"));
    BPen->OnClick = [this](TButtonPen*) { AfterUserChange(BPen); };

    // The form's own order.
    setTabOrder(BPen, CBStyle);
    setTabOrder(CBStyle, CBSnap);
    setTabOrder(CBSnap, CBFollow);
    setTabOrder(CBFollow, CBSeries);
    setTabOrder(CBSeries, CBZ);
    setTabOrder(CBZ, UDClick);
}

TCursorTool* TCursorToolEditor::CursorTool() const
{
    return TargetAs<TCursorTool>();
}

void TCursorToolEditor::FillControls()
{
    TSeriesToolEditor::FillControls();
    if (TCursorTool* tool = CursorTool())
        BPen->LinkPen(tool->Pen());
}

void TCursorToolEditor::UpdateEnabled()
{
    TSeriesToolEditor::UpdateEnabled();
    // Snapping and the series' Z need a series to take them from.
    const bool withSeries = CursorTool() && CursorTool()->Series();
    CBSnap->setEnabled(withSeries);
    CBZ->setEnabled(CBSnap->isEnabled());
}

} // namespace lp
