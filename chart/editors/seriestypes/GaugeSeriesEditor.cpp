#include "chart/editors/seriestypes/GaugeSeriesEditor.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/FontEditor.h"
#include "chart/editors/series/SeriesEditorTabs.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/editors/seriestypes/CircledSeriesEditor.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/circular/PlotGaugeSeries.h"

#include <QtGui/QShowEvent>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <algorithm>

namespace lp {

namespace {

constexpr int GaugeAngleLimit = 360;
constexpr int GaugeDistanceLimit = 500;
constexpr int GaugeValueLimit = 32767;
constexpr int GaugeTickSizeLimit = 100;

// A caption for a control that has no mnemonic of its own.
QLabel* GaugeCaption(QWidget* Parent, const QString& Text, QWidget* Buddy)
{
    auto* label = new QLabel(Text, Parent);
    label->setBuddy(Buddy);
    return label;
}

} // namespace

TGaugeSeriesEditor::TGaugeSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    PageControl1 = TPageBuilder::TabControl(*this, "PageControl1");
    TabOptions = TPageBuilder::AddTab(PageControl1, "TabOptions", QStringLiteral("Options"));
    TabLabels = TPageBuilder::AddTab(PageControl1, "TabLabels", QStringLiteral("Labels"));
    TabTicks = TPageBuilder::AddTab(PageControl1, "TabTicks", QStringLiteral("Ticks"));

    TPageBuilder options(*TabOptions);
    BLine = MakePenButton(*this, QStringLiteral("&Line..."), "BLine");
    BAxis = MakePenButton(*this, QStringLiteral("&Axis..."), "BAxis");
    CheckBox4 = options.CheckBox("CheckBox4", QStringLiteral("Full Repaint"));
    Button1 = options.Button("Button1", QStringLiteral("&Center..."));
    Button3 = options.Button("Button3", QStringLiteral("End Point..."));
    ComboBox1 = TPageBuilder::Named(new TComboFlat(TabOptions), "ComboBox1");
    ComboBox1->addItems({QStringLiteral("Line"), QStringLiteral("Triangle")});
    UDAngle = options.SpinBox("UDAngle", 0, GaugeAngleLimit);
    UDAngle->setValue(90);
    UDDist = options.SpinBox("UDDist", -GaugeDistanceLimit, GaugeDistanceLimit);
    UDValue = options.SpinBox("UDValue", -GaugeValueLimit, GaugeValueLimit);
    options.Line({BLine, BAxis});
    options.Line({Button1, Button3});
    options.Line({ComboBox1, CheckBox4});
    options.Row(QStringLiteral("Total angle:"), UDAngle, "Label2");
    options.Row(QStringLiteral("Distance:"), UDDist, "Label12");
    options.Row(QStringLiteral("&Value:"), UDValue, "Label1");
    options.Stretch();

    TPageBuilder labels(*TabLabels);
    CheckBox1 = labels.CheckBox("CheckBox1", QStringLiteral("Show labels"));
    CheckBox1->setChecked(true);
    Button2 = labels.Button("Button2", QStringLiteral("&Font..."));
    Edit1 = TPageBuilder::Named(new QLineEdit(TabLabels), "Edit1");
    CBInside = labels.CheckBox("CBInside", QStringLiteral("&Inside"));
    CBInside->setChecked(true);
    UDIncrement = labels.SpinBox("UDIncrement", 0, GaugeValueLimit);
    labels.Line({CheckBox1, Button2});
    labels.Row(QStringLiteral("Format:"), Edit1, "Label11");
    labels.Full(CBInside);
    labels.Row(QStringLiteral("&Increment:"), UDIncrement, "Label5");
    labels.Stretch();

    // The tick sizes have no captions of their own: each gets a short one
    // beside it, so the row says what its numbers are.
    TPageBuilder ticks(*TabTicks);
    BTicks = MakePenButton(*this, QStringLiteral("&Ticks"), "BTicks");
    BMinor = MakePenButton(*this, QStringLiteral("&Minor"), "BMinor");
    UpDown1 = ticks.SpinBox("UpDown1", 0, MaxMinorTickCount);
    UpDown3 = ticks.SpinBox("UpDown3", 0, GaugeTickSizeLimit);
    UpDown4 = ticks.SpinBox("UpDown4", 0, GaugeTickSizeLimit);
    UpDown2 = ticks.SpinBox("UpDown2", -GaugeTickSizeLimit, GaugeTickSizeLimit);
    UDMin = ticks.SpinBox("UDMin", -GaugeValueLimit, GaugeValueLimit);
    UDMax = ticks.SpinBox("UDMax", -GaugeValueLimit, GaugeValueLimit);
    ticks.Line({BTicks, GaugeCaption(TabTicks, QStringLiteral("Length:"), UpDown3), UpDown3});
    ticks.Line({BMinor, GaugeCaption(TabTicks, QStringLiteral("Length:"), UpDown4), UpDown4});
    ticks.Line({GaugeCaption(TabTicks, QStringLiteral("Count:"), UpDown1), UpDown1,
                GaugeCaption(TabTicks, QStringLiteral("Distance:"), UpDown2), UpDown2});
    ticks.Row(QStringLiteral("&Minimum:"), UDMin, "Label3");
    ticks.Row(QStringLiteral("Ma&ximum:"), UDMax, "Label4");
    ticks.Stretch();
    PageControl1->setCurrentWidget(TabOptions);
    SetReadingTabOrder(*this);

    BindSeriesSetting<TGaugeSeries, bool>(*this, CheckBox4, &TGaugeSeries::FullRepaint, &TGaugeSeries::SetFullRepaint);
    Binder().Bind(
        ComboBox1,
        [this]() -> QVariant { return Gauge() ? QVariant(Gauge()->HandStyle() == hsLine ? 0 : 1) : QVariant(); },
        [this](const QVariant& Value) {
            if (Gauge())
                Gauge()->SetHandStyle(Value.toInt() == 0 ? hsLine : hsTriangle);
        });
    BindRoundedSeriesSetting<TGaugeSeries>(*this, UDAngle, &TGaugeSeries::TotalAngle, &TGaugeSeries::SetTotalAngle);
    BindSeriesSetting<TGaugeSeries, int>(*this, UDDist, &TGaugeSeries::HandDistance, &TGaugeSeries::SetHandDistance);
    // The value is point 0's; reading it must not add that point to an
    // empty gauge, so an empty one shows 0.
    Binder().Bind(
        UDValue,
        [this]() -> QVariant {
            TGaugeSeries* gauge = Gauge();
            if (!gauge)
                return {};
            return RoundedForUpDown(gauge->Count() > 0 ? gauge->YValues()->Value(0) : 0.0);
        },
        [this](const QVariant& Value) {
            if (Gauge())
                Gauge()->SetValue(Value.toDouble());
        });
    BindSeriesSetting<TGaugeSeries, bool>(*this, CBInside, &TGaugeSeries::LabelsInside, &TGaugeSeries::SetLabelsInside);
    Binder().Bind(Edit1, QStringLiteral("ValueFormat"));
    BindSeriesSetting<TGaugeSeries, int>(*this, UpDown2, &TGaugeSeries::MinorTickDistance,
                                         &TGaugeSeries::SetMinorTickDistance);
    BindRoundedSeriesSetting<TGaugeSeries>(*this, UDMin, &TGaugeSeries::Minimum, &TGaugeSeries::SetMinimum);
    BindRoundedSeriesSetting<TGaugeSeries>(*this, UDMax, &TGaugeSeries::Maximum, &TGaugeSeries::SetMaximum);

    BindAxisSetting(
        CheckBox1, [](TChartAxis& Axis) { return QVariant(Axis.Labels()); },
        [](TChartAxis& Axis, const QVariant& Value) { Axis.SetLabels(Value.toBool()); });
    BindAxisSetting(
        UDIncrement, [](TChartAxis& Axis) { return QVariant(RoundedForUpDown(Axis.Increment())); },
        [](TChartAxis& Axis, const QVariant& Value) { Axis.SetIncrement(std::max(0, Value.toInt())); });
    BindAxisSetting(
        UpDown1, [](TChartAxis& Axis) { return QVariant(Axis.MinorTickCount()); },
        [](TChartAxis& Axis, const QVariant& Value) { Axis.SetMinorTickCount(Value.toInt()); });
    BindAxisSetting(
        UpDown3, [](TChartAxis& Axis) { return QVariant(Axis.TickLength()); },
        [](TChartAxis& Axis, const QVariant& Value) { Axis.SetTickLength(Value.toInt()); });
    BindAxisSetting(
        UpDown4, [](TChartAxis& Axis) { return QVariant(Axis.MinorTickLength()); },
        [](TChartAxis& Axis, const QVariant& Value) { Axis.SetMinorTickLength(Value.toInt()); });

    connect(Button1, &QPushButton::clicked, this, [this] { PointerClick(false); });
    connect(Button3, &QPushButton::clicked, this, [this] { PointerClick(true); });
    connect(Button2, &QPushButton::clicked, this, &TGaugeSeriesEditor::FontClick);
}

TGaugeSeries* TGaugeSeriesEditor::Gauge() const
{
    return TargetAs<TGaugeSeries>();
}

TChartAxis* TGaugeSeriesEditor::GaugeAxis() const
{
    return Gauge() ? Gauge()->GetVertAxis() : nullptr;
}

void TGaugeSeriesEditor::BindAxisSetting(QObject* Control, std::function<QVariant(TChartAxis&)> Get,
                                         std::function<void(TChartAxis&, const QVariant&)> Set)
{
    Binder().Bind(
        Control,
        [this, Get]() -> QVariant {
            TChartAxis* axis = GaugeAxis();
            return axis ? Get(*axis) : QVariant();
        },
        [this, Set](const QVariant& Value) {
            if (TChartAxis* axis = GaugeAxis())
                Set(*axis, Value);
        });
}

void TGaugeSeriesEditor::FillControls()
{
    if (TGaugeSeries* gauge = Gauge()) {
        BLine->LinkPen(gauge->Pen());
        TChartAxis* axis = GaugeAxis();
        BAxis->LinkPen(axis ? axis->Axis() : nullptr);
        BTicks->LinkPen(axis ? axis->Ticks() : nullptr);
        BMinor->LinkPen(axis ? axis->MinorTicks() : nullptr);
        // The range's ends limit each other: the maximum cannot go below
        // the minimum, nor the minimum above the maximum. The limits are
        // set before the values are shown again, so neither shows clamped
        // by an old limit.
        const int minimum = RoundedForUpDown(gauge->Minimum());
        const int maximum = RoundedForUpDown(gauge->Maximum());
        UDMax->setMinimum(std::min(minimum, maximum));
        UDMin->setMaximum(std::max(minimum, maximum));
        UDMax->setMaximum(GaugeValueLimit);
        UDMin->setMinimum(-GaugeValueLimit);
        if (UDMin->value() != minimum)
            UDMin->setValue(minimum);
        if (UDMax->value() != maximum)
            UDMax->setValue(maximum);
    }
    TTabAddingSeriesPage::FillControls();
}

void TGaugeSeriesEditor::AddTabs()
{
    if (!Gauge())
        return;
    CircledEditor = AddCircledPage(this, Gauge());
    // The dial has no background of its own to choose.
    ShowControls(false, {CircledEditor->BBack, CircledEditor->CBTransp});
}

void TGaugeSeriesEditor::PointerClick(bool EndPoint)
{
    TGaugeSeries* gauge = Gauge();
    if (!CanWrite() || !gauge)
        return;
    EditSeriesPointer(this, EndPoint ? gauge->EndPoint() : gauge->Center());
    AfterUserChange(EndPoint ? Button3 : Button1);
}

void TGaugeSeriesEditor::FontClick()
{
    TChartAxis* axis = GaugeAxis();
    if (!CanWrite() || !axis)
        return;
    auto editor = CreateDialogForm<TPlotFontEditor>(this);
    editor->SetTarget(axis->LabelsFont());
    AddDialogCloseButton(*editor);
    PlaceDialogForm(*editor, window());
    CallControlHook(editor.get());
    editor->exec();
    AfterUserChange(Button2);
}

} // namespace lp
