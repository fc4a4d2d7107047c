#include "chart/editors/tools/MarksToolPages.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/extensions/tools/PlotDragMarksTool.h"
#include "chart/extensions/tools/PlotMarksTipTool.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

namespace lp {

// --- TMarksTipToolEdit -------------------------------------------------------------------------

TMarksTipToolEdit::TMarksTipToolEdit(QWidget* Parent) : TSeriesToolEditor(Parent)
{
    SetLeadingEntries({QStringLiteral("(all)"), QStringLiteral("(none)")});
    auto* body = TPageBuilder::Named(new QWidget(this), "PanelBody");
    TPageBuilder build(*body);
    CBMarkStyle = TPageBuilder::Combo(body, "CBMarkStyle", MarksStyleNames());
    GBMouseAction = TPageBuilder::Named(new QGroupBox(QStringLiteral("Mouse action:"), body), "GBMouseAction");
    RGMouseAction = TPageBuilder::RadioGroup(this, GBMouseAction, "RGMouseAction", {"Move", "Click"}, Qt::Horizontal);
    UDDelay = ToolSpin(body, "UDDelay", 0, 30000, 50);
    build.Row(QStringLiteral("S&tyle:"), CBMarkStyle, "Label2");
    build.Full(GBMouseAction);
    auto* delay = TPageBuilder::Named(new QLabel(QStringLiteral("&Delay:"), body), "Label3");
    delay->setBuddy(UDDelay);
    build.Line({delay, UDDelay, TPageBuilder::Named(new QLabel(QStringLiteral("msec."), body), "Label4")});
    AddBody(body);

    TPropertyBinder& bind = Binder();
    bind.BindField(CBMarkStyle, QStringLiteral("Style"));
    // The hint's behaviour: nothing on the chart changes.
    bind.BindField(RGMouseAction, QStringLiteral("MouseAction"));
    bind.BindField(UDDelay, QStringLiteral("MouseDelay"));
    SetReadingTabOrder(*this);
}

TMarksTipTool* TMarksTipToolEdit::TipTool() const
{
    return TargetAs<TMarksTipTool>();
}

// --- TDragMarksToolEditor ----------------------------------------------------------------------

TDragMarksToolEditor::TDragMarksToolEditor(QWidget* Parent) : TSeriesToolEditor(Parent)
{
    SetLeadingEntries({QStringLiteral("(all)"), QStringLiteral("(none)")});
    auto* body = TPageBuilder::Named(new QWidget(this), "PanelBody");
    TPageBuilder build(*body);
    Button1 = build.Button("Button1", QStringLiteral("&Reset positions"));
    build.Line({Button1});
    AddBody(body);
    connect(Button1, &QPushButton::clicked, this, &TDragMarksToolEditor::ResetPositions);
    SetReadingTabOrder(*this);
}

TDragMarksTool* TDragMarksToolEditor::DragTool() const
{
    return TargetAs<TDragMarksTool>();
}

void TDragMarksToolEditor::ResetPositions()
{
    TDragMarksTool* tool = DragTool();
    if (!tool)
        return;
    if (TChartSeries* series = tool->Series())
        series->Marks()->ResetPositions();
    else if (TCustomAxisPanel* chart = tool->ParentChart())
        for (int i = 0; i < chart->SeriesCount(); ++i)
            chart->Series(i)->Marks()->ResetPositions();
    tool->Repaint();
}

} // namespace lp
