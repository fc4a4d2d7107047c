#include "chart/editors/tools/DrawLineToolPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/extensions/tools/PlotDrawLineTool.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSpinBox>

namespace lp {

TDrawLineEdit::TDrawLineEdit(QWidget* Parent) : TSeriesToolEditor(Parent)
{
    auto* body = TPageBuilder::Named(new QWidget(this), "PanelBody");
    TPageBuilder build(*body);
    // The entries in the order of the mouse button values.
    CBButton = TPageBuilder::Combo(body, "CBButton", {QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Middle")});
    BPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Pen..."), body), "BPen");
    CBEnable = build.CheckBox("CBEnable", QStringLiteral("&Enable drawing"));
    CBSelect = build.CheckBox("CBSelect", QStringLiteral("E&nable Select"));
    UDClick = ToolSpin(body, "UDClick", 0, 1000);
    CBSelectNew = build.CheckBox("CBSelectNew", QStringLiteral("Select ne&w lines"));

    build.Row(QStringLiteral("&Mouse button:"), CBButton, "Label2");
    build.Line({BPen});
    build.Line({CBEnable, CBSelect});
    auto* tolerance = TPageBuilder::Named(new QLabel(QStringLiteral("Click &tolerance:"), body), "Label3");
    tolerance->setBuddy(UDClick);
    build.Line({tolerance, UDClick, TPageBuilder::Named(new QLabel(QStringLiteral("pixels"), body), "Label4")});
    build.Line({CBSelectNew});
    AddBody(body);

    TPropertyBinder& bind = Binder();
    bind.BindField(CBButton, QStringLiteral("Button"));
    bind.BindField(CBEnable, QStringLiteral("EnableDraw"));
    bind.Bind(CBSelect, QStringLiteral("EnableSelect"));
    bind.BindField(UDClick, QStringLiteral("ClickTolerance"));
    bind.BindField(CBSelectNew, QStringLiteral("SelectNewLines"));
    BPen->OnClick = [this](TButtonPen*) { AfterUserChange(BPen); };
    SetReadingTabOrder(*this);
}

TDrawLineTool* TDrawLineEdit::LineTool() const
{
    return TargetAs<TDrawLineTool>();
}

void TDrawLineEdit::FillControls()
{
    TSeriesToolEditor::FillControls();
    if (TDrawLineTool* tool = LineTool())
        BPen->LinkPen(tool->Pen());
}

} // namespace lp
