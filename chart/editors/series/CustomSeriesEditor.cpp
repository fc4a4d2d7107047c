#include "chart/editors/series/CustomSeriesEditor.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/ShadowEditor.h"
#include "chart/editors/series/SeriesEditorTabs.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/engine/PlotSeries.h"

#include <QtGui/QShowEvent>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

// The 3-D height's up-down range.
constexpr int LineHeightLimit = 1000;

} // namespace

TCustomSeriesEditor::TCustomSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    BLineBorder = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Border..."), this), "BLineBorder");
    BLineColor = build.ColorButton("BLineColor", QStringLiteral("&Color..."));
    GBStair = TPageBuilder::Named(new QGroupBox(QStringLiteral("Line Mode:"), this), "GBStair");
    TPageBuilder stairs(*GBStair);
    CBStairs = stairs.CheckBox("CBStairs", QStringLiteral("&Stairs"));
    CBInvStairs = stairs.CheckBox("CBInvStairs", QStringLiteral("&Inverted"));
    stairs.Line({CBStairs, CBInvStairs});
    CBColorEach = build.CheckBox("CBColorEach", QStringLiteral("Color &Each"));
    CheckBox1 = build.CheckBox("CheckBox1", QStringLiteral("Color Each line"));
    CBDark3D = build.CheckBox("CBDark3D", QStringLiteral("&Dark 3D"));
    CBStack = TPageBuilder::Named(new QComboBox(this), "CBStack");
    CBStack->addItems({QStringLiteral("None"), QStringLiteral("Overlap"), QStringLiteral("Stack"),
                       QStringLiteral("Stack 100%")});
    UDHeight = build.SpinBox("UDHeight", 0, LineHeightLimit);
    CBClick = build.CheckBox("CBClick", QStringLiteral("Clic&kable"));
    BBrush = build.Button("BBrush", QStringLiteral("&Pattern..."));
    BOutline = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Outline..."), this), "BOutline");
    Button1 = build.Button("Button1", QStringLiteral("S&hadow..."));

    build.Line({BLineBorder, BLineColor, BBrush});
    build.Full(GBStair);
    build.Line({CBColorEach, CheckBox1});
    build.Line({CBDark3D, CBClick});
    LStack = build.Row(QStringLiteral("S&tack:"), CBStack, "LStack");
    LHeight = build.Row(QStringLiteral("&Height 3D:"), UDHeight, "LHeight");
    build.Line({BOutline, Button1});
    build.Stretch();
    SetReadingTabOrder(*this);

    // The colour drawn, also while the chart chooses it.
    Binder().Bind(
        BLineColor, [this]() -> QVariant { return Series() ? QVariant(Series()->GetSeriesColor()) : QVariant(); },
        [this](const QVariant& Value) {
            if (Series())
                Series()->SetSeriesColor(Value.toInt());
        });
    auto bindSeries = [this](QObject* Control, std::function<QVariant(TCustomSeries&)> Get,
                             std::function<void(TCustomSeries&, const QVariant&)> Set) {
        Binder().Bind(
            Control, [this, Get]() -> QVariant { return Series() ? Get(*Series()) : QVariant(); },
            [this, Set](const QVariant& Value) {
                if (Series())
                    Set(*Series(), Value);
            });
    };
    bindSeries(
        CBColorEach, [](TCustomSeries& S) { return QVariant(S.ColorEachPoint()); },
        [](TCustomSeries& S, const QVariant& V) { S.SetColorEachPoint(V.toBool()); });
    bindSeries(
        CheckBox1, [](TCustomSeries& S) { return QVariant(S.ColorEachLine()); },
        [](TCustomSeries& S, const QVariant& V) { S.SetColorEachLine(V.toBool()); });
    bindSeries(
        CBStack, [](TCustomSeries& S) { return QVariant(static_cast<int>(S.Stacked())); },
        [](TCustomSeries& S, const QVariant& V) {
            S.SetStacked(static_cast<TCustomSeries::TCustomSeriesStack>(V.toInt()));
        });
    bindSeries(
        CBClick, [](TCustomSeries& S) { return QVariant(S.ClickableLine()); },
        [](TCustomSeries& S, const QVariant& V) { S.SetClickableLine(V.toBool()); });
    // Stairs, dark 3-D and the 3-D height belong to line series only.
    auto bindLine = [this](QObject* Control, std::function<QVariant(TLineSeries&)> Get,
                           std::function<void(TLineSeries&, const QVariant&)> Set) {
        Binder().Bind(
            Control, [this, Get]() -> QVariant { return LineSeries() ? Get(*LineSeries()) : QVariant(); },
            [this, Set](const QVariant& Value) {
                if (LineSeries())
                    Set(*LineSeries(), Value);
            });
    };
    bindLine(
        CBStairs, [](TLineSeries& S) { return QVariant(S.Stairs()); },
        [](TLineSeries& S, const QVariant& V) { S.SetStairs(V.toBool()); });
    bindLine(
        CBInvStairs, [](TLineSeries& S) { return QVariant(S.InvertedStairs()); },
        [](TLineSeries& S, const QVariant& V) { S.SetInvertedStairs(V.toBool()); });
    bindLine(
        CBDark3D, [](TLineSeries& S) { return QVariant(S.Dark3D()); },
        [](TLineSeries& S, const QVariant& V) { S.SetDark3D(V.toBool()); });
    bindLine(
        UDHeight, [](TLineSeries& S) { return QVariant(S.LineHeight()); },
        [](TLineSeries& S, const QVariant& V) { S.SetLineHeight(V.toInt()); });

    // The pen and the colour show each other's change.
    BLineBorder->OnClick = [this](TButtonPen*) {
        AfterUserChange(BLineBorder);
        BLineColor->update();
    };
    // The binder's own click handler runs first.
    BLineColor->OnClick = [this, bound = BLineColor->OnClick](TButtonColor* Sender) {
        if (bound)
            bound(Sender);
        BLineBorder->update();
    };
    BOutline->OnClick = [this](TButtonPen*) { AfterUserChange(BOutline); };
    connect(BBrush, &QPushButton::clicked, this, &TCustomSeriesEditor::BrushClick);
    connect(Button1, &QPushButton::clicked, this, &TCustomSeriesEditor::ShadowClick);
}

TCustomSeries* TCustomSeriesEditor::Series() const
{
    return TargetAs<TCustomSeries>();
}

TLineSeries* TCustomSeriesEditor::LineSeries() const
{
    return TargetAs<TLineSeries>();
}

void TCustomSeriesEditor::FillControls()
{
    TCustomSeries* series = Series();
    if (!series)
        return;
    BLineBorder->LinkPen(series->LinePen());
    const bool line = LineSeries() != nullptr;
    if (line)
        BOutline->LinkPen(LineSeries()->OutLine());
    ShowControls(line, {BBrush, BOutline, GBStair});
    ShowControls(line && !FGraphicEditor, {CBDark3D, LHeight, UDHeight});
    TTabAddingSeriesPage::FillControls();
}

void TCustomSeriesEditor::UpdateEnabled()
{
    CBInvStairs->setEnabled(CBStairs->isChecked());
}

void TCustomSeriesEditor::AddTabs()
{
    // The pointer page becomes a further tab of the hosting series page,
    // once, however often this page is shown or refilled.
    if (Series())
        PointerEditor = AddPointerTab(this, Series(), PlotMsg_GalleryPoint, 1);
}

void TCustomSeriesEditor::HideGraphicEditorControls()
{
    FGraphicEditor = true;
    ShowControls(false, {LStack, CBStack, CBDark3D, CBColorEach, CBClick, CheckBox1, LHeight, UDHeight});
}

void TCustomSeriesEditor::BrushClick()
{
    if (CanWrite() && Series() && EditChartBrush(this, *Series()->Brush()))
        AfterUserChange(BBrush);
}

void TCustomSeriesEditor::ShadowClick()
{
    if (!Series())
        return;
    // The series' shadow has neither transparency nor smoothing.
    auto editor = CreateDialogForm<TPlotShadowEditor>(this);
    editor->SetTarget(Series()->Shadow());
    ShowControls(false, {editor->UDShadowTransp, editor->CBSmooth});
    if (QWidget* label = editor->findChild<QWidget*>(QStringLiteral("Label3")))
        label->hide();
    editor->BOK->setDefault(true);
    editor->BOK->show();
    editor->exec();
    AfterUserChange(Button1);
}

} // namespace lp
