#include "chart/editors/tools/AxisArrowToolPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/extensions/tools/PlotAxisArrowTool.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSpinBox>

namespace lp {

TAxisArrowToolEditor::TAxisArrowToolEditor(QWidget* Parent) : TAxisToolEditor(Parent)
{
    auto* body = TPageBuilder::Named(new QWidget(this), "PanelBody");
    TPageBuilder build(*body);
    Button1 = BrushButton(
        body, "Button1", QStringLiteral("&Pattern..."),
        [this]() -> TChartBrush* { return ArrowTool() ? ArrowTool()->Brush() : nullptr; },
        [this] { AfterUserChange(Button1); });
    UDLength = ToolSpin(body, "UDLength", 0, 1000);
    CBPos = TPageBuilder::Combo(body, "CBPos", {QStringLiteral("Start"), QStringLiteral("End"), QStringLiteral("Both")});
    UDScroll = ToolSpin(body, "UDScroll", 1, 100);
    UDScroll->setValue(10);
    CBInv = build.CheckBox("CBInv", QStringLiteral("&Inverted Scroll"));
    UDSize = ToolSpin(body, "UDSize", 0, 100);
    UDWidth = ToolSpin(body, "UDWidth", 0, 1000);

    build.Line({Button1});
    build.Row(QStringLiteral("&Length:"), UDLength, "Label2");
    build.Row(QStringLiteral("P&osition:"), CBPos, "Label3");
    auto* scroll = TPageBuilder::Named(new QLabel(QStringLiteral("&Scroll:"), body), "Label4");
    scroll->setBuddy(UDScroll);
    auto* size = TPageBuilder::Named(new QLabel(QStringLiteral("Si&ze:"), body), "Label5");
    size->setBuddy(UDSize);
    build.Line({scroll, UDScroll, TPageBuilder::Named(new QLabel(QStringLiteral("%"), body), "Label6"), CBInv});
    build.Line({size, UDSize, TPageBuilder::Named(new QLabel(QStringLiteral("%"), body), "Label7")});
    build.Row(QStringLiteral("&Width:"), UDWidth, "Label8");
    AddBody(body);

    TPropertyBinder& bind = Binder();
    bind.Bind(UDLength, QStringLiteral("Length"));
    bind.Bind(CBPos, QStringLiteral("Position"));
    bind.BindField(UDScroll, QStringLiteral("ScrollPercent"));
    bind.BindField(CBInv, QStringLiteral("ScrollInverted"));
    bind.Bind(UDSize, QStringLiteral("SizePercent"));
    bind.Bind(UDWidth, QStringLiteral("HeadWidth"));
    SetReadingTabOrder(*this);
}

TAxisArrowTool* TAxisArrowToolEditor::ArrowTool() const
{
    return TargetAs<TAxisArrowTool>();
}

} // namespace lp
