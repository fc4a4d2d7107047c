#include "chart/editors/tools/RotateToolPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/tools/ToolEditorBases.h"
#include "chart/extensions/tools/PlotRotateTool.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>

namespace lp {

TRotateToolEditor::TRotateToolEditor(QWidget* Parent) : TEditorPage(Parent)
{
    TPageBuilder build(*this);
    CBInverted = build.CheckBox("CBInverted", QStringLiteral("&Inverted"));
    CBStyle = TPageBuilder::Combo(this, "CBStyle", {QStringLiteral("All"), QStringLiteral("Rotation"), QStringLiteral("Elevation")});
    CBButton = TPageBuilder::Combo(this, "CBButton", {QStringLiteral("Left"), QStringLiteral("Middle"), QStringLiteral("Right")});
    BOutline = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Outline..."), this), "BOutline");
    build.Line({CBInverted});
    build.Row(QStringLiteral("&Style:"), CBStyle, "Label1");
    build.Row(QStringLiteral("&Button:"), CBButton, "Label2");
    build.Line({BOutline});
    build.Stretch();

    TPropertyBinder& bind = Binder();
    bind.BindField(CBInverted, QStringLiteral("Inverted"));
    bind.BindField(CBStyle, QStringLiteral("Style"));
    bind.BindField(
        CBButton,
        [this]() -> QVariant { return Tool() ? QVariant(EntryOfButton(Tool()->Button())) : QVariant(); },
        [this](const QVariant& Entry) { Tool()->SetButton(static_cast<TMouseButton>(ButtonOfEntry(Entry.toInt()))); });
    BOutline->OnClick = [this](TButtonPen*) { AfterUserChange(BOutline); };
    SetReadingTabOrder(*this);
}

TRotateTool* TRotateToolEditor::Tool() const
{
    return TargetAs<TRotateTool>();
}

int TRotateToolEditor::EntryOfButton(int Button)
{
    switch (Button) {
    case TControl::mbMiddle: return 1;
    case TControl::mbRight: return 2;
    default: return 0;
    }
}

int TRotateToolEditor::ButtonOfEntry(int Entry)
{
    switch (Entry) {
    case 1: return TControl::mbMiddle;
    case 2: return TControl::mbRight;
    default: return TControl::mbLeft;
    }
}

void TRotateToolEditor::FillControls()
{
    BOutline->LinkPen(Tool()->Pen());
}

} // namespace lp
