#include "chart/editors/seriestypes/PolarSeriesEditor.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/series/SeriesEditorTabs.h"
#include "chart/editors/seriestypes/CircledSeriesEditor.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/extensions/circular/PlotPolarSeries.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

namespace lp {

namespace {

constexpr int PolarAngleLimit = 360;
constexpr int PolarRadiusIncrementLimit = 32767;
constexpr int PolarTransparencyStep = 5;
constexpr int PolarMarginLimit = 200;

} // namespace

TPolarSeriesEditor::TPolarSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    PageControl1 = TPageBuilder::TabControl(*this, "PageControl1");
    TabOptions = TPageBuilder::AddTab(PageControl1, "TabOptions", QStringLiteral("Options"));
    TabLabels = TPageBuilder::AddTab(PageControl1, "TabLabels", QStringLiteral("Labels"));

    FOptionsRows = std::make_unique<TPageBuilder>(*TabOptions);
    TPageBuilder& options = *FOptionsRows;
    CBClose = options.CheckBox("CBClose", QStringLiteral("C&lose Circle"));
    CBClose->setChecked(true);
    UDAngleInc = options.SpinBox("UDAngleInc", 0, PolarAngleLimit);
    UDRadiusInc = options.SpinBox("UDRadiusInc", 0, PolarRadiusIncrementLimit);
    BPen = MakePenButton(*this, QStringLiteral("&Pen..."), "BPen");
    BPiePen = MakePenButton(*this, QStringLiteral("&Circle..."), "BPiePen");
    BBrush = MakePatternButton(*this, options, "BBrush", QStringLiteral("Pattern..."),
                               [this]() { return Series() ? Series()->Brush() : nullptr; });
    UDTransp = options.SpinBox("UDTransp", 0, 100);
    UDTransp->setSingleStep(PolarTransparencyStep);
    BColor = MakeSeriesColorButton(*this, options, "BColor", QStringLiteral("Color..."));
    CBColorEach = options.CheckBox("CBColorEach", QStringLiteral("Color Each"));
    options.Full(CBClose);
    LAngleInc = options.Row(QStringLiteral("Angle &Increment:"), UDAngleInc, "LAngleInc");
    Label8 = options.Row(QStringLiteral("Radius Increment:"), UDRadiusInc, "Label8");
    options.Line({BPen, BPiePen, BBrush});
    Label1 = options.Row(QStringLiteral("&Transparency:"), UDTransp, "Label1");
    options.Line({BColor, CBColorEach});
    options.Stretch();

    FLabelsRows = std::make_unique<TPageBuilder>(*TabLabels);
    TPageBuilder& labels = *FLabelsRows;
    BFont = labels.Button("BFont", QStringLiteral("&Font..."));
    CBAngleLabels = labels.CheckBox("CBAngleLabels", QStringLiteral("&Visible"));
    CBLabelsRot = labels.CheckBox("CBLabelsRot", QStringLiteral("R&otated"));
    CBClockWise = labels.CheckBox("CBClockWise", QStringLiteral("ClockWise"));
    CBInside = labels.CheckBox("CBInside", QStringLiteral("I&nside"));
    UDMargin = labels.SpinBox("UDMargin", -PolarMarginLimit, PolarMarginLimit);
    labels.Line({BFont});
    labels.Full(CBAngleLabels);
    labels.Full(CBLabelsRot);
    labels.Full(CBClockWise);
    labels.Full(CBInside);
    Label2 = labels.Row(QStringLiteral("&Margin %:"), UDMargin, "Label2");
    labels.Stretch();
    PageControl1->setCurrentWidget(TabOptions);
    SetReadingTabOrder(*this);

    BindSeriesSetting<TCustomPolarSeries, bool>(*this, CBClose, &TCustomPolarSeries::CloseCircle,
                                                &TCustomPolarSeries::SetCloseCircle);
    // The steps live on the series' axes: shown rounded, as whole degrees
    // and whole radius units.
    BindRoundedSeriesSetting<TCustomPolarSeries>(*this, UDAngleInc, &TCustomPolarSeries::AngleIncrement,
                                                 &TCustomPolarSeries::SetAngleIncrement);
    BindRoundedSeriesSetting<TCustomPolarSeries>(*this, UDRadiusInc, &TCustomPolarSeries::RadiusIncrement,
                                                 &TCustomPolarSeries::SetRadiusIncrement);
    // A typed number is taken as it is; the step of 5 is the arrows' only.
    BindSeriesSetting<TCustomPolarSeries, int>(*this, UDTransp, &TCustomPolarSeries::Transparency,
                                               &TCustomPolarSeries::SetTransparency);
    BindSeriesSetting<TCustomPolarSeries, bool>(*this, CBColorEach, &TChartSeries::ColorEachPoint,
                                                &TChartSeries::SetColorEachPoint);
    BindSeriesSetting<TCustomPolarSeries, bool>(*this, CBAngleLabels, &TCustomPolarSeries::CircleLabels,
                                                &TCustomPolarSeries::SetCircleLabels);
    BindSeriesSetting<TCustomPolarSeries, bool>(*this, CBLabelsRot, &TCustomPolarSeries::CircleLabelsRotated,
                                                &TCustomPolarSeries::SetCircleLabelsRotated);
    BindSeriesSetting<TCustomPolarSeries, bool>(*this, CBClockWise, &TCustomPolarSeries::ClockWiseLabels,
                                                &TCustomPolarSeries::SetClockWiseLabels);
    BindSeriesSetting<TCustomPolarSeries, bool>(*this, CBInside, &TCustomPolarSeries::CircleLabelsInside,
                                                &TCustomPolarSeries::SetCircleLabelsInside);
    BindSeriesSetting<TCustomPolarSeries, int>(*this, UDMargin, &TCustomPolarSeries::LabelsMargin,
                                               &TCustomPolarSeries::SetLabelsMargin);
    connect(BFont, &QPushButton::clicked, this, &TPolarSeriesEditor::FontClick);
}

TPolarSeriesEditor::~TPolarSeriesEditor() = default;

TCustomPolarSeries* TPolarSeriesEditor::Series() const
{
    return TargetAs<TCustomPolarSeries>();
}

void TPolarSeriesEditor::FillControls()
{
    if (TCustomPolarSeries* series = Series()) {
        BPen->LinkPen(series->Pen());
        BPiePen->LinkPen(series->CirclePen());
        ShowAngleIncrement();
    }
    TTabAddingSeriesPage::FillControls();
}

void TPolarSeriesEditor::ShowAngleIncrement()
{
    ShowControls(qobject_cast<TPolarSeries*>(Series()) != nullptr, {LAngleInc, UDAngleInc});
}

void TPolarSeriesEditor::UpdateEnabled()
{
    const bool labels = CBAngleLabels->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{CBLabelsRot, CBClockWise, BFont})
        control->setEnabled(labels);
}

void TPolarSeriesEditor::AddTabs()
{
    if (!Series())
        return;
    CircledEditor = AddCircledPage(this, Series());
    PointerEditor = AddPointerTab(this, Series()->Pointer(), PlotMsg_GalleryPoint, 2);
}

void TPolarSeriesEditor::FontClick()
{
    TCustomPolarSeries* series = Series();
    if (!CanWrite() || !series || !EditPlotFont(this, *series->CircleLabelsFont()))
        return;
    series->Repaint();
    AfterUserChange(BFont);
}

} // namespace lp
