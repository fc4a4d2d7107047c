#include "chart/editors/effects/FontEditor.h"

#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPens.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/effects/ShadowEditor.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

namespace lp {

TPlotFontEditor::TPlotFontEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("PlotFont Editor"));
    TPageBuilder build(*this);
    Button3 = build.Button("Button3", QStringLiteral("&Font..."));
    SHText = TPageBuilder::Named(new TColorSwatch(this), "SHText");
    UDInter = build.SpinBox("UDInter", -100, 100);
    BOutline = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Outline..."), this), "BOutline");
    CBOutGrad = build.CheckBox("CBOutGrad", QStringLiteral("O&utline gradient"));
    BGradient = TPageBuilder::Named(new TButtonGradient(QStringLiteral("&Gradient..."), this), "BGradient");
    BShadow = build.Button("BShadow", QStringLiteral("&Shadow..."));

    auto* colorLabel = TPageBuilder::Named(new QLabel(QStringLiteral("&Color:"), this), "LText");
    colorLabel->setBuddy(SHText);
    build.Line({Button3, colorLabel, SHText});
    build.Row(QStringLiteral("&Inter-char spacing:"), UDInter, "Label1");
    build.Line({BOutline, CBOutGrad});
    build.Line({BGradient, BShadow});
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(SHText, QStringLiteral("Color"));
    Binder().Bind(UDInter, QStringLiteral("InterCharSize"));
    // The gradient is made only when something is set on it: reading its
    // flag must not create it.
    Binder().Bind(
        CBOutGrad, [this]() -> QVariant { return Font() && Font()->HasGradient() && Font()->Gradient()->Outline(); },
        [this](const QVariant& Value) {
            if (Font())
                Font()->Gradient()->SetOutline(Value.toBool());
        });

    connect(Button3, &QPushButton::clicked, this, &TPlotFontEditor::FontClick);
    // The gradient is made when the user goes to edit it; the button opens
    // the gradient editor itself.
    connect(BGradient, &QPushButton::pressed, this, [this] {
        if (CanWrite() && Font())
            BGradient->LinkGradient(Font()->Gradient());
    });
    BGradient->OnClick = [this](TButtonGradient*) { AfterUserChange(BGradient); };
    connect(BShadow, &QPushButton::clicked, this, &TPlotFontEditor::ShadowClick);
    // The outline pen is made when the user goes to edit it.
    connect(BOutline, &QPushButton::pressed, this, [this] {
        if (CanWrite() && Font())
            BOutline->LinkPen(Font()->OutLine());
    });
    BOutline->OnClick = [this](TButtonPen*) { AfterUserChange(BOutline); };
}

TPlotFont* TPlotFontEditor::Font() const
{
    return TargetAs<TPlotFont>();
}

void TPlotFontEditor::FillControls()
{
    if (!Font())
        return;
    BOutline->LinkPen(Font()->HasOutLine() ? Font()->OutLine() : nullptr);
    BGradient->LinkGradient(Font()->HasGradient() ? Font()->Gradient() : nullptr);
}

void TPlotFontEditor::UpdateEnabled()
{
    BGradient->setEnabled(static_cast<bool>(EditGradientEntryPoint()));
}

void TPlotFontEditor::FontClick()
{
    if (!CanWrite() || !Font())
        return;
    if (EditPlotFont(this, *Font()))
        AfterUserChange(Button3);
}

void TPlotFontEditor::ShadowClick()
{
    if (!CanWrite() || !Font())
        return;
    EditShadow(this, Font()->Shadow());
    AfterUserChange(BShadow);
}

TPlotFontEditor* InsertFontEditor(QWidget* Parent)
{
    return InsertEditorPage<TPlotFontEditor>(Parent);
}

void RefreshFontEditor(TPlotFontEditor* Editor, TPlotFont* Font)
{
    Editor->SetTarget(Font);
}

} // namespace lp
