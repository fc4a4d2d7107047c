#include "chart/editors/seriestypes/PieSeriesEditor.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/chart/LegendPage.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/effects/ShadowEditor.h"
#include "chart/editors/series/SeriesEditorTabs.h"
#include "chart/editors/seriestypes/CircledSeriesEditor.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotPieSeries.h"

#include <QtGui/QShowEvent>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

namespace lp {

namespace {

constexpr int PieStep = 5;

} // namespace

TPieSeriesEditor::TPieSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    PageControl1 = TPageBuilder::TabControl(*this, "PageControl1");
    QWidget* options = TPageBuilder::AddTab(PageControl1, "TabOptions", QStringLiteral("Options"));
    QWidget* group = TPageBuilder::AddTab(PageControl1, "TabGroup", QStringLiteral("Group Slices"));
    QWidget* colors = TPageBuilder::AddTab(PageControl1, "TabColors", QStringLiteral("Colors"));

    FOptionsRows = std::make_unique<TPageBuilder>(*options);
    TPageBuilder& build = *FOptionsRows;
    UDExpBig = build.SpinBox("UDExpBig", 0, 100);
    UDAngleSize = build.SpinBox("UDAngleSize", 1, 360);
    UDAngleSize->setValue(360);
    CBDark3d = build.CheckBox("CBDark3d", QStringLiteral("&Dark 3D"));
    UpDown1 = build.SpinBox("UpDown1", 0, 255);
    UpDown1->setValue(255);
    for (QSpinBox* spin : {UDExpBig, UDAngleSize, UpDown1})
        spin->setSingleStep(PieStep);
    CBPatterns = build.CheckBox("CBPatterns", QStringLiteral("Pa&tterns"));
    BPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Border..."), options), "BPen");
    BShadow = build.Button("BShadow", QStringLiteral("S&hadow..."));
    CBMarksAutoPosition = build.CheckBox("CBMarksAutoPosition", QStringLiteral("&Auto Mark Position"));
    CBMarksAutoPosition->setChecked(true);
    BGradient = TPageBuilder::SymbolButton(new TButtonGradient(QStringLiteral("3D &Gradient..."), options), "BGradient");
    CBMultiple = TPageBuilder::Named(new QComboBox(options), "CBMultiple");
    CBMultiple->addItems({QStringLiteral("Automatic"), QStringLiteral("Disable")});
    build.Row(QStringLiteral("&Explode biggest:"), UDExpBig, "LExpBig");
    build.Row(QStringLiteral("Total an&gle:"), UDAngleSize, "LAngleSize");
    build.Line({CBDark3d, CBPatterns});
    build.Row(QStringLiteral("Dar&k Border:"), UpDown1, "LDarkPen");
    build.Line({BPen, BShadow, BGradient});
    build.Full(CBMarksAutoPosition);
    build.Row(QStringLiteral("&Multiple Pies:"), CBMultiple, "LMultiple");
    build.Stretch();

    TPageBuilder other(*group);
    CBOther = TPageBuilder::Named(new QComboBox(group), "CBOther");
    CBOther->addItems({QStringLiteral("None"), QStringLiteral("Below %"), QStringLiteral("Below Value")});
    EOtherValue = TPageBuilder::Named(new QLineEdit(QStringLiteral("0"), group), "EOtherValue");
    EOtherLabel = TPageBuilder::Named(new QLineEdit(QStringLiteral("Other"), group), "EOtherLabel");
    Button2 = other.Button("Button2", QStringLiteral("Le&gend..."));
    other.Row(QStringLiteral("&Style:"), CBOther, "LOtherStyle");
    other.Row(QStringLiteral("&Value:"), EOtherValue, "LOtherValue");
    other.Row(QStringLiteral("&Label:"), EOtherLabel, "LOtherLabel");
    other.Line({Button2});
    other.Stretch();

    TPageBuilder colours(*colors);
    CBColorEach = colours.CheckBox("CBColorEach", QStringLiteral("Color &Each slice"));
    BColor = colours.ColorButton("BColor", QStringLiteral("&Color..."));
    colours.Full(CBColorEach);
    colours.Line({BColor});
    colours.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(UDExpBig, QStringLiteral("ExplodeBiggest"));
    Binder().Bind(UDAngleSize, QStringLiteral("AngleSize"));
    Binder().Bind(CBDark3d, QStringLiteral("Dark3D"));
    Binder().Bind(UpDown1, QStringLiteral("DarkPen"));
    Binder().Bind(CBPatterns, QStringLiteral("UsePatterns"));
    Binder().Bind(CBMarksAutoPosition, QStringLiteral("AutoMarkPosition"));
    Binder().Bind(CBMultiple, QStringLiteral("MultiPie"));
    Binder().Bind(CBOther, QStringLiteral("OtherSlice.Style"));
    Binder().Bind(EOtherLabel, QStringLiteral("OtherSlice.Text"));
    Binder().Bind(CBColorEach, QStringLiteral("ColorEachPoint"));
    Binder().Bind(BColor, QStringLiteral("SeriesColor"));
    BPen->OnClick = [this](TButtonPen*) { AfterUserChange(BPen); };
    BGradient->OnClick = [this](TButtonGradient*) { AfterUserChange(BGradient); };
    connect(BShadow, &QPushButton::clicked, this, &TPieSeriesEditor::ShadowClick);
    connect(Button2, &QPushButton::clicked, this, &TPieSeriesEditor::LegendClick);
    // Written once the text is a number: a half-typed value ("-", "1e")
    // keeps the slice's value, without a message.
    BindNumberEdit(
        *this, EOtherValue,
        [this]() -> std::optional<double> {
            return Series() ? std::optional<double>(Series()->OtherSlice()->Value()) : std::nullopt;
        },
        [this](double Value) { Series()->OtherSlice()->SetValue(Value); });
}

TPieSeriesEditor::~TPieSeriesEditor() = default;

TPieSeries* TPieSeriesEditor::Series() const
{
    return TargetAs<TPieSeries>();
}

void TPieSeriesEditor::FillControls()
{
    TPieSeries* series = Series();
    if (!series)
        return;
    BPen->LinkPen(series->PiePen());
    BGradient->LinkGradient(series->Gradient());
    TTabAddingSeriesPage::FillControls();
}

void TPieSeriesEditor::UpdateEnabled()
{
    TPieSeries* series = Series();
    TCustomAxisPanel* chart = series ? series->ParentChart() : nullptr;
    CBDark3d->setEnabled(chart && chart->View3D());
    const bool other = series && series->OtherSlice()->Style() != TPieOtherSlice::poNone;
    EOtherValue->setEnabled(other);
    EOtherLabel->setEnabled(other);
    BColor->setEnabled(series && !series->ColorEachPoint());
    BGradient->setEnabled(static_cast<bool>(EditGradientEntryPoint()));
    Button2->setEnabled(chart != nullptr);
}

void TPieSeriesEditor::AddTabs()
{
    if (!Series())
        return;
    CircledEditor = AddCircledPage(this, Series());
    CircledEditor->HideBackgroundControls();
}

void TPieSeriesEditor::ShadowClick()
{
    if (!Series())
        return;
    EditShadow(this, Series()->Shadow());
    AfterUserChange(BShadow);
}

void TPieSeriesEditor::LegendClick()
{
    TPieSeries* series = Series();
    TCustomAxisPanel* chart = series ? series->ParentChart() : nullptr;
    if (!chart)
        return;
    auto form = TFormPlotLegend::CreateForLegend(this, series->OtherSlice()->Legend());
    form->exec();
    series->Repaint();
}

} // namespace lp
