#include "chart/editors/effects/SymbolEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSpinBox>

namespace lp {

TSymbolEditor::TSymbolEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Legend Symbol Editor"));
    TPageBuilder build(*this);
    UDColWi = build.SpinBox("UDColWi", 0, 100);
    UDColWi->setSingleStep(5);
    CBColWUnits = TPageBuilder::Named(new QComboBox(this), "CBColWUnits");
    CBColWUnits->addItems({QStringLiteral("Percent"), QStringLiteral("Pixels")});
    CBSymbolPos = TPageBuilder::Named(new QComboBox(this), "CBSymbolPos");
    CBSymbolPos->addItems({QStringLiteral("Left"), QStringLiteral("Right")});
    CBContinuous = build.CheckBox("CBContinuous", QStringLiteral("&Continuous"));
    CBVisible = build.CheckBox("CBVisible", QStringLiteral("&Visible"));
    CBSymPen = build.CheckBox("CBSymPen", QStringLiteral("&Default border"));
    BSymPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Border..."), this), "BSymPen");
    CBSquared = build.CheckBox("CBSquared", QStringLiteral("&Squared"));
    BSymGradient = TPageBuilder::SymbolButton(new TButtonGradient(QStringLiteral("&Gradient..."), this), "BSymGradient");
    BSymGradient->NoEndColor = true;

    build.Line({CBVisible, CBContinuous});
    build.Row(QStringLiteral("&Width:"), UDColWi, "LWidth");
    build.Row(QStringLiteral("Width &Units:"), CBColWUnits, "Label1");
    build.Row(QStringLiteral("&Position:"), CBSymbolPos, "Label2");
    build.Line({CBSquared});
    build.Line({CBSymPen, BSymPen});
    build.Line({BSymGradient});
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(UDColWi, QStringLiteral("Width"));
    Binder().Bind(CBColWUnits, QStringLiteral("WidthUnits"));
    Binder().Bind(CBSymbolPos, QStringLiteral("Position"));
    Binder().Bind(CBContinuous, QStringLiteral("Continuous"));
    Binder().Bind(CBVisible, QStringLiteral("Visible"));
    Binder().Bind(CBSymPen, QStringLiteral("DefaultPen"));
    Binder().Bind(CBSquared, QStringLiteral("Squared"));
    BSymPen->OnClick = [this](TButtonPen*) { AfterUserChange(BSymPen); };
    BSymGradient->OnClick = [this](TButtonGradient*) { AfterUserChange(BSymGradient); };
}

TLegendSymbol* TSymbolEditor::Symbol() const
{
    return TargetAs<TLegendSymbol>();
}

void TSymbolEditor::FillControls()
{
    if (!Symbol())
        return;
    BSymPen->LinkPen(Symbol()->Pen());
    BSymGradient->LinkGradient(Symbol()->Gradient());
}

void TSymbolEditor::UpdateEnabled()
{
    const bool squared = Symbol() && Symbol()->Squared();
    UDColWi->setEnabled(!squared);
    findChild<QLabel*>(QStringLiteral("LWidth"))->setEnabled(!squared);
    BSymPen->setEnabled(Symbol() && !Symbol()->DefaultPen());
    BSymGradient->setEnabled(Symbol() && static_cast<bool>(EditGradientEntryPoint()));
}

void RefreshSymbolEditor(TSymbolEditor* Editor, TLegendSymbol* Symbol)
{
    Editor->SetTarget(Symbol);
}

} // namespace lp
