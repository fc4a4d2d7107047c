#include "chart/editors/effects/ShadowEditor.h"

#include "chart/canvas/PlotEffects.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

// The sizes' up-down range; larger stored sizes show clamped.
constexpr int ShadowSizeLimit = 1000;

} // namespace

TPlotShadowEditor::TPlotShadowEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Shadow editor"));
    TPageBuilder build(*this);
    UDShadowSize = build.SpinBox("UDShadowSize", -ShadowSizeLimit, ShadowSizeLimit);
    UDShaVert = build.SpinBox("UDShaVert", -ShadowSizeLimit, ShadowSizeLimit);
    UDShadowTransp = build.SpinBox("UDShadowTransp", 0, 100);
    BShadowColor = build.ColorButton("BShadowColor", QStringLiteral("&Color..."));
    CBSmooth = build.CheckBox("CBSmooth", QStringLiteral("&Smooth"));
    CBSmooth->setChecked(true);
    BOK = build.Button("BOK", QStringLiteral("OK"));
    BOK->hide();

    build.Row(QStringLiteral("&Horiz. Size:"), UDShadowSize, "Label1");
    build.Row(QStringLiteral("&Vert. Size:"), UDShaVert, "Label2");
    build.Row(QStringLiteral("&Transparency:"), UDShadowTransp, "Label3");
    build.Line({BShadowColor, CBSmooth});
    build.Stretch();
    build.Grid().addWidget(BOK, build.Grid().rowCount(), 1, Qt::AlignRight);
    SetReadingTabOrder(*this);

    Binder().Bind(UDShadowSize, QStringLiteral("HorizSize"));
    Binder().Bind(UDShaVert, QStringLiteral("VertSize"));
    Binder().Bind(UDShadowTransp, QStringLiteral("Transparency"));
    Binder().Bind(BShadowColor, QStringLiteral("Color"));
    Binder().Bind(CBSmooth, QStringLiteral("Smooth"));
    connect(BOK, &QPushButton::clicked, this, &QDialog::close);
}

TPlotShadow* TPlotShadowEditor::Shadow() const
{
    return TargetAs<TPlotShadow>();
}

void EditShadow(QWidget* Owner, TPlotShadow* Shadow)
{
    auto editor = CreateDialogForm<TPlotShadowEditor>(Owner);
    editor->SetTarget(Shadow);
    editor->BOK->setDefault(true);
    editor->BOK->show();
    PlaceDialogForm(*editor, Owner ? Owner->window() : nullptr);
    editor->exec();
}

TPlotShadowEditor* InsertShadowEditor(QWidget* Parent)
{
    return InsertEditorPage<TPlotShadowEditor>(Parent);
}

void RefreshShadowEditor(TPlotShadowEditor* Editor, TPlotShadow* Shadow)
{
    Editor->SetTarget(Shadow);
}

} // namespace lp
