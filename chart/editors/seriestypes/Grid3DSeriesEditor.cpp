#include "chart/editors/seriestypes/Grid3DSeriesEditor.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/series/SeriesEditorTabs.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotPaletteSeries.h"
#include "chart/extensions/grid3d/PlotGridSeries.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <algorithm>

namespace lp {

namespace {

// The up-downs' upper limit (grid sizes, palette steps, legend rows).
constexpr int GridPageLimit = 1000;

enum TColoringTab { ctSingle, ctRange, ctPalette };

} // namespace

TGrid3DSeriesEditor::TGrid3DSeriesEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Grid 3D"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);

    GroupBox2 = TPageBuilder::Named(new QGroupBox(QStringLiteral("Grid size:"), this), "GroupBox2");
    TPageBuilder size(*GroupBox2);
    UDXGrid = size.SpinBox("UDXGrid", 1, GridPageLimit);
    UDZGrid = size.SpinBox("UDZGrid", 1, GridPageLimit);
    UDDepth = size.SpinBox("UDDepth", 1, GridPageLimit);
    CBIrreg = size.CheckBox("CBIrreg", QStringLiteral("&Irregular"));
    LXGrid = size.Row(QStringLiteral("&X:"), UDXGrid, "LXGrid");
    LZGrid = size.Row(QStringLiteral("&Z:"), UDZGrid, "LZGrid");
    size.Row(QStringLiteral("&Depth:"), UDDepth, "LDepth");
    size.Full(CBIrreg);

    // The grid's size and legend on the left, the colouring beside them:
    // stacked, the page was too tall for the series page's window and its
    // fields were squeezed below their height.
    auto* left = new QVBoxLayout;
    left->addWidget(GroupBox2);
    UDLegendEvery = TPageBuilder::Named(new QSpinBox(this), "UDLegendEvery");
    UDLegendEvery->setRange(1, GridPageLimit);
    auto* legendLabel = TPageBuilder::Named(new QLabel(QStringLiteral("&Legend every:"), this), "LLegendEvery");
    legendLabel->setBuddy(UDLegendEvery);
    left->addWidget(legendLabel);
    left->addWidget(UDLegendEvery, 0, Qt::AlignLeft);
    left->addStretch(1);

    PageControl1 = TPageBuilder::Named(new QTabWidget(this), "PageControl1");
    TabSingle = TPageBuilder::AddTab(PageControl1, "TabSingle", QStringLiteral("Single"));
    TabRange = TPageBuilder::AddTab(PageControl1, "TabRange", QStringLiteral("Range"));
    TabPalette = TPageBuilder::AddTab(PageControl1, "TabPalette", QStringLiteral("Palette"));
    auto* sides = new QHBoxLayout;
    sides->addLayout(left);
    sides->addWidget(PageControl1, 1, Qt::AlignTop);
    column->addLayout(sides);
    column->addStretch(1);

    TPageBuilder single(*TabSingle);
    BColor = single.ColorButton("BColor", QStringLiteral("C&olor..."));
    BRemove = single.Button("BRemove", QStringLiteral("&Remove custom colors"));
    single.Line({BColor});
    single.Line({BRemove});
    single.Stretch();

    // The three colours down the left, each with a button beside it.
    TPageBuilder range(*TabRange);
    BFromColor = range.ColorButton("BFromColor", QStringLiteral("&Start..."));
    BMidColor = range.ColorButton("BMidColor", QStringLiteral("&Middle..."));
    BToColor = range.ColorButton("BToColor", QStringLiteral("&End..."));
    CheckBox1 = range.CheckBox("CheckBox1", QStringLiteral("&No middle"));
    Button1 = range.Button("Button1", QStringLiteral("S&wap"));
    Button2 = range.Button("Button2", QStringLiteral("&Gallery..."));
    const int colorWidth =
        std::max({BFromColor->minimumWidth(), BMidColor->minimumWidth(), BToColor->minimumWidth()});
    for (TButtonColor* button : {BFromColor, BMidColor, BToColor})
        button->setMinimumWidth(colorWidth);
    range.Line({BFromColor, Button1});
    range.Line({BMidColor, CheckBox1});
    range.Line({BToColor, Button2});
    range.Stretch();

    TPageBuilder palette(*TabPalette);
    UDPalette = palette.SpinBox("UDPalette", 1, GridPageLimit);
    CBPalStyle = TPageBuilder::Named(new TComboFlat(TabPalette), "CBPalStyle");
    CBPalStyle->addItems({QStringLiteral("Pale"), QStringLiteral("Strong"), QStringLiteral("Gray scale"),
                          QStringLiteral("Inverted Gray"), QStringLiteral("Rainbow")});
    CBUseMin = palette.CheckBox("CBUseMin", QStringLiteral("&Use palette minimum"));
    EPaletteMin = TPageBuilder::Named(new QLineEdit(TabPalette), "EPaletteMin");
    EPaletteStep = TPageBuilder::Named(new QLineEdit(TabPalette), "EPaletteStep");
    palette.Row(QStringLiteral("S&teps:"), UDPalette, "LPalette");
    palette.Row(QStringLiteral("St&yle:"), CBPalStyle, "LPalStyle");
    palette.Full(CBUseMin);
    palette.Row(QStringLiteral("&Minimum:"), EPaletteMin, "LPaletteMin");
    palette.Row(QStringLiteral("&Step:"), EPaletteStep, "LPaletteStep");
    palette.Stretch();
    SetReadingTabOrder(*this);

    auto bindGrid = [this](QObject* Control, bool XSize) {
        Binder().Bind(
            Control,
            [this, XSize]() -> QVariant {
                TCustom3DGridSeries* grid = GridSeries();
                return grid ? QVariant(XSize ? grid->NumXValues() : grid->NumZValues()) : QVariant();
            },
            [this, XSize](const QVariant& Value) {
                // Either size recreates the grid, the other size as it is.
                TCustom3DGridSeries* grid = GridSeries();
                if (!grid || !grid->CanCreateValues())
                    return;
                const int x = XSize ? Value.toInt() : grid->NumXValues();
                const int z = XSize ? grid->NumZValues() : Value.toInt();
                if (x != grid->NumXValues() || z != grid->NumZValues())
                    grid->CreateValues(x, z);
            });
    };
    bindGrid(UDXGrid, true);
    bindGrid(UDZGrid, false);
    BindSeriesSetting<TCustom3DPaletteSeries, int>(*this, UDDepth, &TCustom3DPaletteSeries::TimesZOrder,
                                                   &TCustom3DPaletteSeries::SetTimesZOrder);
    BindSeriesSetting<TCustom3DGridSeries, bool>(*this, CBIrreg, &TCustom3DGridSeries::IrregularGrid,
                                                 &TCustom3DGridSeries::SetIrregularGrid);
    Binder().Bind(BColor, QStringLiteral("SeriesColor"));
    Binder().Bind(BFromColor, QStringLiteral("StartColor"));
    Binder().Bind(BMidColor, QStringLiteral("MidColor"));
    Binder().Bind(BToColor, QStringLiteral("EndColor"));
    Binder().Bind(
        CheckBox1, [this]() -> QVariant { return Series() ? QVariant(Series()->MidColor() == clNone) : QVariant(); },
        [this](const QVariant& Value) {
            // Only ticking does something: a middle colour comes back through
            // the middle colour's button.
            if (Series() && Value.toBool()) {
                Series()->SetMidColor(clNone);
                BMidColor->update();
            }
        });
    Binder().Bind(UDPalette, QStringLiteral("PaletteSteps"));
    Binder().Bind(CBPalStyle, QStringLiteral("PaletteStyle"));
    Binder().Bind(CBUseMin, QStringLiteral("UsePaletteMin"));
    Binder().Bind(UDLegendEvery, QStringLiteral("LegendEvery"));

    connect(PageControl1, &QTabWidget::currentChanged, this, &TGrid3DSeriesEditor::PageControl1Change);
    connect(BRemove, &QPushButton::clicked, this, &TGrid3DSeriesEditor::RemoveClick);
    connect(Button1, &QPushButton::clicked, this, &TGrid3DSeriesEditor::SwapClick);
    connect(Button2, &QPushButton::clicked, this, &TGrid3DSeriesEditor::GalleryClick);
    // Palette minimum and step keep their value until the text is a number.
    BindSeriesReal<TCustom3DPaletteSeries>(*this, EPaletteMin, &TCustom3DPaletteSeries::PaletteMin,
                                              &TCustom3DPaletteSeries::SetPaletteMin);
    BindSeriesReal<TCustom3DPaletteSeries>(*this, EPaletteStep, &TCustom3DPaletteSeries::PaletteStep,
                                              &TCustom3DPaletteSeries::SetPaletteStep);
}

TGrid3DSeriesEditor::~TGrid3DSeriesEditor()
{
    ListenTo(nullptr);
}

TCustom3DPaletteSeries* TGrid3DSeriesEditor::Series() const
{
    return TargetAs<TCustom3DPaletteSeries>();
}

TCustom3DGridSeries* TGrid3DSeriesEditor::GridSeries() const
{
    return TargetAs<TCustom3DGridSeries>();
}

void TGrid3DSeriesEditor::ListenTo(TCustomPlotPanel* Panel)
{
    if (Panel == FListened.data())
        return;
    if (FListened)
        FListened->RemoveListener(this);
    FListened = Panel;
    if (Panel)
        Panel->Listeners().Add(this);
}

void TGrid3DSeriesEditor::PlotEvent(TPlotEvent& Event)
{
    if (auto* series = dynamic_cast<TPlotSeriesEvent*>(&Event); series && series->Event == seChangeColor)
        BColor->update();
}

void TGrid3DSeriesEditor::FillControls()
{
    TCustom3DPaletteSeries* series = Series();
    ListenTo(series ? series->ParentChart() : nullptr);
    if (!series)
        return;
    CBIrreg->setVisible(GridSeries() != nullptr);
    // The active tab follows the colouring, without counting as a choice.
    {
        const QSignalBlocker block(PageControl1);
        PageControl1->setCurrentIndex(series->UseColorRange() ? ctRange : series->UsePalette() ? ctPalette : ctSingle);
    }
}

void TGrid3DSeriesEditor::UpdateEnabled()
{
    TCustom3DPaletteSeries* series = Series();
    TCustom3DGridSeries* grid = GridSeries();
    const bool sizes = grid && grid->CanCreateValues();
    for (QWidget* control : std::initializer_list<QWidget*>{UDXGrid, UDZGrid, LXGrid, LZGrid})
        control->setEnabled(sizes);
    EPaletteMin->setEnabled(series && series->UsePaletteMin());
    CheckBox1->setEnabled(!CheckBox1->isChecked());
    BRemove->setEnabled(series && SeriesHasCustomColors(*series));
}

void TGrid3DSeriesEditor::PageControl1Change(int Index)
{
    TCustom3DPaletteSeries* series = Series();
    if (!CanWrite() || !series)
        return;
    switch (Index) {
    case ctSingle:
        // Switching colour-each on and off again makes the points take the
        // series colour anew.
        series->SetColorEachPoint(true);
        series->SetColorEachPoint(false);
        series->SetUseColorRange(false);
        series->SetUsePalette(false);
        break;
    case ctRange:
        series->SetUseColorRange(true);
        series->SetUsePalette(false);
        break;
    case ctPalette:
        series->SetUseColorRange(false);
        series->SetUsePalette(true);
        break;
    default:
        return;
    }
    AfterUserChange(PageControl1);
}

void TGrid3DSeriesEditor::RemoveClick()
{
    TCustom3DPaletteSeries* series = Series();
    if (!CanWrite() || !series)
        return;
    for (int i = 0; i < series->Count(); ++i)
        series->SetValueColor(i, clDefault);
    series->Repaint();
    AfterUserChange(BRemove);
}

void TGrid3DSeriesEditor::SwapClick()
{
    TCustom3DPaletteSeries* series = Series();
    if (!CanWrite() || !series)
        return;
    const TColor start = series->StartColor();
    series->SetStartColor(series->EndColor());
    series->SetEndColor(start);
    AfterUserChange(Button1);
    BFromColor->update();
    BToColor->update();
}

void TGrid3DSeriesEditor::GalleryClick()
{
    TCustom3DPaletteSeries* series = Series();
    if (!CanWrite() || !series)
        return;
    TPlotGradient gradient;
    gradient.SetVisible(true);
    gradient.SetStartColor(series->StartColor());
    gradient.SetMidColor(series->MidColor());
    gradient.SetEndColor(series->EndColor());
    auto editor = CreateDialogForm<TPlotGradientEditor>(this);
    editor->BindGradient(&gradient);
    // Only the presets: direction, balance and the like mean nothing to a
    // colour range.
    for (int tab = 1; tab < editor->PageControl1->count(); ++tab)
        editor->PageControl1->setTabVisible(tab, false);
    editor->CBVisible->hide();
    CallControlHook(editor.get());
    if (editor->exec() != QDialog::Accepted)
        return;
    series->SetStartColor(gradient.StartColor());
    series->SetMidColor(gradient.MidColor());
    series->SetEndColor(gradient.EndColor());
    AfterUserChange(Button2);
    for (QWidget* button : std::initializer_list<QWidget*>{BFromColor, BMidColor, BToColor})
        button->update();
}

TGrid3DSeriesEditor* AddGrid3DPage(QWidget* Owner, QObject* Series)
{
    return static_cast<TGrid3DSeriesEditor*>(AddSeriesEditorTab(
        Owner, [](QWidget* Parent) -> TEditorPage* { return new TGrid3DSeriesEditor(Parent); }, Series,
        PlotMsg_GalleryGrid3D, 1));
}

void RefreshGrid3DPage(TGrid3DSeriesEditor* Page, QObject* Series)
{
    if (!Page)
        return;
    if (Page->Target() != Series)
        Page->SetTarget(Series);
    else
        Page->Refresh();
}

} // namespace lp
