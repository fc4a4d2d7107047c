#include "chart/editors/seriestypes/CircledSeriesEditor.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/series/SeriesEditorTabs.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotPieSeries.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

#include <tuple>

namespace lp {

namespace {

constexpr int RadiusLimit = 2000;
constexpr int CircledStep = 5;
// The radius a circle gets when its "Auto" is unticked before it was ever
// drawn.
constexpr int FirstCustomRadius = 100;

} // namespace

TCircledSeriesEditor::TCircledSeriesEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Circled"));
    TPageBuilder build(*this);
    CBCircled = build.CheckBox("CBCircled", QStringLiteral("&Circled"));
    CB3D = build.CheckBox("CB3D", QStringLiteral("&3 Dimensions"));
    UDRot = build.SpinBox("UDRot", 0, 360);
    UDRot->setSingleStep(CircledStep);
    GBRadius = TPageBuilder::Named(new QGroupBox(QStringLiteral("Radius:"), this), "GBRadius");
    TPageBuilder radius(*GBRadius);
    UDX = radius.SpinBox("UDX", 0, RadiusLimit);
    CBAutoXR = radius.CheckBox("CBAutoXR", QStringLiteral("&Auto"));
    UDY = radius.SpinBox("UDY", 0, RadiusLimit);
    CBAutoYR = radius.CheckBox("CBAutoYR", QStringLiteral("A&uto"));
    for (QSpinBox* spin : {UDX, UDY})
        spin->setSingleStep(CircledStep);
    auto* xRow = new QWidget(GBRadius);
    auto* yRow = new QWidget(GBRadius);
    for (auto [row, spin, check] : {std::tuple{xRow, UDX, CBAutoXR}, std::tuple{yRow, UDY, CBAutoYR}}) {
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        spin->setParent(row);
        check->setParent(row);
        line->addWidget(spin);
        line->addWidget(check);
        line->addStretch(1);
    }
    radius.Row(QStringLiteral("&Horizontal:"), xRow, "LHoriz")->setBuddy(UDX);
    radius.Row(QStringLiteral("&Vertical:"), yRow, "LVert")->setBuddy(UDY);
    BBack = build.ColorButton("BBack", QStringLiteral("C&olor..."));
    CBTransp = build.CheckBox("CBTransp", QStringLiteral("&Transparent"));
    BGradient = TPageBuilder::SymbolButton(new TButtonGradient(QStringLiteral("&Gradient..."), this), "BGradient");
    build.Line({CBCircled, CB3D});
    build.Row(QStringLiteral("&Rotation:"), UDRot, "LRotation");
    build.Full(GBRadius);
    build.Line({BBack, CBTransp, BGradient});
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(CBCircled, QStringLiteral("Circled"));
    Binder().Bind(
        CB3D,
        [this]() -> QVariant {
            TCustomAxisPanel* chart = Series() ? Series()->ParentChart() : nullptr;
            return chart ? QVariant(chart->View3D()) : QVariant();
        },
        [this](const QVariant& Value) {
            if (TCustomAxisPanel* chart = Series() ? Series()->ParentChart() : nullptr)
                chart->SetView3D(Value.toBool());
        });
    BindSeriesSetting<TCircledSeries, int>(*this, UDRot, &TCircledSeries::RotationAngle,
                                           &TCircledSeries::SetRotationAngle);
    BindRadius(UDX, CBAutoXR, true);
    BindRadius(UDY, CBAutoYR, false);
    BindSeriesSetting<TCircledSeries, int>(*this, BBack, &TCircledSeries::CircleBackColor,
                                           &TCircledSeries::SetCircleBackColor);
    connect(CBTransp, &QCheckBox::clicked, this, &TCircledSeriesEditor::TransparentClick);
    // Choosing a background colour, or a gradient left visible, ends the
    // transparency. The binder's own click handler runs first.
    BBack->OnClick = [this, bound = BBack->OnClick](TButtonColor* Sender) {
        if (bound)
            bound(Sender);
        CBTransp->setChecked(false);
        CBTransp->setEnabled(true);
    };
    BGradient->OnClick = [this](TButtonGradient*) {
        AfterUserChange(BGradient);
        if (Series() && Series()->Gradient()->Visible()) {
            CBTransp->setChecked(false);
            CBTransp->setEnabled(true);
        }
    };
}

void TCircledSeriesEditor::BindRadius(QSpinBox* Radius, QCheckBox* Auto, bool Horizontal)
{
    const auto get = Horizontal ? &TCircledSeries::CustomXRadius : &TCircledSeries::CustomYRadius;
    const auto set = Horizontal ? &TCircledSeries::SetCustomXRadius : &TCircledSeries::SetCustomYRadius;
    BindSeriesSetting<TCircledSeries, int>(*this, Radius, get, set);
    // "Auto" is a radius of 0; unticked, the circle keeps the size it is
    // drawn with as its own.
    Binder().Bind(
        Auto, [this, get]() -> QVariant { return Series() ? QVariant((Series()->*get)() == 0) : QVariant(); },
        [this, set, Horizontal](const QVariant& Value) {
            TCircledSeries* series = Series();
            if (!series)
                return;
            if (Value.toBool()) {
                (series->*set)(0);
                return;
            }
            const int drawn = Horizontal ? series->XRadius() : series->YRadius();
            (series->*set)(drawn > 0 ? drawn : FirstCustomRadius);
        });
}

TCircledSeries* TCircledSeriesEditor::Series() const
{
    return TargetAs<TCircledSeries>();
}

void TCircledSeriesEditor::HideBackgroundControls()
{
    ShowControls(false, {BBack, CBTransp, BGradient});
}

void TCircledSeriesEditor::FillControls()
{
    TCircledSeries* series = Series();
    if (!series)
        return;
    BGradient->LinkGradient(series->Gradient());
    CBTransp->setChecked(!series->HasCircleBackColor());
}

void TCircledSeriesEditor::UpdateEnabled()
{
    CBTransp->setEnabled(!CBTransp->isChecked());
    BGradient->setEnabled(static_cast<bool>(EditGradientEntryPoint()));
}

void TCircledSeriesEditor::TransparentClick(bool Checked)
{
    TCircledSeries* series = Series();
    if (!CanWrite() || !series || !Checked)
        return;
    series->SetCircleBackColor(clDefault);
    series->Gradient()->SetVisible(false);
    series->Repaint();
    BBack->update();
    CBTransp->setEnabled(false);
}

TCircledSeriesEditor* AddCircledPage(QWidget* Owner, QObject* Series)
{
    return static_cast<TCircledSeriesEditor*>(AddSeriesEditorTab(
        Owner, [](QWidget* Parent) -> TEditorPage* { return new TCircledSeriesEditor(Parent); }, Series,
        PlotMsg_Circled, 1));
}

} // namespace lp
