#include "chart/editors/series/SeriesMarksTab.h"

#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/ShapeEditor.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotPointer.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLayout>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

namespace lp {

namespace {

constexpr int DrawEveryLimit = 5000;
constexpr int CalloutLengthLimit = 1000;

} // namespace

TSeriesMarksTab::TSeriesMarksTab(TFormPlotSeries& Page, QWidget* Tab)
    : QObject(&Page), FPage(Page), FDefaultCallout(std::make_unique<TMarksCallout>())
{
    auto* layout = new QVBoxLayout(Tab);
    layout->setContentsMargins(2, 2, 2, 2);
    PageControlMarks = TPageBuilder::WideTabs(Tab, "PageControlMarks");
    layout->addWidget(PageControlMarks);
    BuildStyleTab();
    BuildArrowsTab();
    TabSymbol = TPageBuilder::Named(new QWidget(PageControlMarks), "TabSymbol");
    auto* symbolLayout = new QVBoxLayout(TabSymbol);
    symbolLayout->setContentsMargins(0, 0, 0, 0);
    PageControlMarks->addTab(TabSymbol, QStringLiteral("Symbol"));
    // The marks' format tabs exist from the start (they edit the marks once
    // filled): the page needs their room before the tab first shows.
    FMarksFormat = InsertShapeEditorTabs(PageControlMarks, nullptr);
    MakeSymbolPage();
    BindControls();
}

void TSeriesMarksTab::BuildStyleTab()
{
    TabSheet1 = TPageBuilder::Named(new QWidget(PageControlMarks), "TabSheet1");
    TPageBuilder build(*TabSheet1);
    CBMarksVisible = build.CheckBox("CBMarksVisible", QStringLiteral("&Visible"));
    CBAllVisible = build.CheckBox("CBAllVisible", QStringLiteral("All Series Visi&ble"));
    RGMarkStyle = TPageBuilder::Named(new QComboBox(TabSheet1), "RGMarkStyle");
    RGMarkStyle->addItems(MarksStyleNames());
    RGMarkStyle->setMaxVisibleItems(10);
    CBMarkClip = build.CheckBox("CBMarkClip", QStringLiteral("Cl&ipped"));
    UDEvery = build.SpinBox("UDEvery", 1, DrawEveryLimit);
    UDEvery->setValue(1);
    CBMultiLine = build.CheckBox("CBMultiLine", QStringLiteral("&Multi line"));
    UDMarksAngle = build.SpinBox("UDMarksAngle", 0, 360);
    UDMarksAngle->setSingleStep(5);
    UDMarksAngle->setWrapping(true);
    build.Line({CBMarksVisible, CBAllVisible});
    build.Row(QStringLiteral("&Style:"), RGMarkStyle, "LStyle");
    build.Line({CBMarkClip, CBMultiLine});
    build.Row(QStringLiteral("Draw &every:"), UDEvery, "LEvery");
    build.Row(QStringLiteral("&Angle:"), UDMarksAngle, "LAngle");
    build.Stretch();
    SetReadingTabOrder(*TabSheet1);
    PageControlMarks->addTab(TabSheet1, QStringLiteral("Style"));
}

void TSeriesMarksTab::BuildArrowsTab()
{
    TabSheet2 = TPageBuilder::Named(new QWidget(PageControlMarks), "TabSheet2");
    TPageBuilder build(*TabSheet2);
    BMarkLinCol = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Border..."), TabSheet2), "BMarkLinCol");
    BCalloutPointer = build.Button("BCalloutPointer", QStringLiteral("&Pointer..."));
    UDArrowsLength = build.SpinBox("UDArrowsLength", -CalloutLengthLimit, CalloutLengthLimit);
    UDArrowDist = build.SpinBox("UDArrowDist", -CalloutLengthLimit, CalloutLengthLimit);
    CBHead = TPageBuilder::Named(new QComboBox(TabSheet2), "CBHead");
    CBHead->addItems({QStringLiteral("None"), QStringLiteral("Line"), QStringLiteral("Solid")});
    UDHeadSize = build.SpinBox("UDHeadSize", -CalloutLengthLimit, CalloutLengthLimit);
    build.Line({BMarkLinCol, BCalloutPointer});
    build.Row(QStringLiteral("&Length:"), UDArrowsLength, "LLength");
    build.Row(QStringLiteral("&Distance:"), UDArrowDist, "LDistance");
    build.Row(QStringLiteral("&Arrow head:"), CBHead, "LHead");
    build.Row(QStringLiteral("&Size:"), UDHeadSize, "LHeadSize");
    build.Stretch();
    SetReadingTabOrder(*TabSheet2);
    PageControlMarks->addTab(TabSheet2, QStringLiteral("Arrows"));
}

TSeriesMarksTab::~TSeriesMarksTab() = default;

TSeriesMarks* TSeriesMarksTab::Marks() const
{
    TChartSeries* series = FPage.EditedSeries();
    return series ? series->Marks() : nullptr;
}

void TSeriesMarksTab::BindControls()
{
    auto bind = [this](QObject* Control, const char* Path) {
        const QString path = QString::fromLatin1(Path);
        FPage.Binder().Bind(
            Control, [this, path]() -> QVariant { return Marks() ? ReadPropertyPath(Marks(), path) : QVariant(); },
            [this, path](const QVariant& Value) {
                if (Marks())
                    WritePropertyPath(Marks(), path, Value);
            });
    };
    bind(CBMarksVisible, "Visible");
    bind(RGMarkStyle, "Style");
    bind(CBMarkClip, "Clip");
    bind(UDEvery, "DrawEvery");
    bind(CBMultiLine, "MultiLine");
    bind(UDMarksAngle, "Angle");
    auto bindCallout = [this](QObject* Control, const char* Name) {
        const QString name = QString::fromLatin1(Name);
        FPage.Binder().Bind(
            Control,
            [this, name]() -> QVariant {
                if (!Marks())
                    return {};
                return ReadPropertyPath(Marks()->HasCallout() ? Marks()->Callout() : FDefaultCallout.get(), name);
            },
            [this, name](const QVariant& Value) {
                if (Marks())
                    WritePropertyPath(Marks()->Callout(), name, Value);
            });
    };
    bindCallout(UDArrowsLength, "Length");
    bindCallout(UDArrowDist, "Distance");
    bindCallout(CBHead, "ArrowHead");
    bindCallout(UDHeadSize, "ArrowHeadSize");
    // Every series of the chart at once; the page's own series' box follows
    // when the page refills.
    FPage.Binder().Bind(
        CBAllVisible,
        [this]() -> QVariant {
            return FPage.EditedSeries() ? QVariant(AllMarksVisible(FPage.EditedSeries())) : QVariant();
        },
        [this](const QVariant& Value) {
            TChartSeries* series = FPage.EditedSeries();
            TCustomAxisPanel* chart = series ? series->ParentChart() : nullptr;
            if (!chart)
                return;
            for (int i = 0; i < chart->SeriesCount(); ++i)
                chart->Series(i)->Marks()->SetVisible(Value.toBool());
        });
    BMarkLinCol->OnClick = [this](TButtonPen*) { FPage.AfterUserChange(BMarkLinCol); };
    connect(BCalloutPointer, &QPushButton::clicked, this, [this] {
        if (Marks())
            EditSeriesPointer(&FPage, Marks()->Callout());
    });
}

bool TSeriesMarksTab::StyleJoinsTexts(int Style)
{
    switch (Style) {
    case TSeriesMarks::smsLabelPercent:
    case TSeriesMarks::smsLabelValue:
    case TSeriesMarks::smsPercentTotal:
    case TSeriesMarks::smsLabelPercentTotal:
    case TSeriesMarks::smsXY:
        return true;
    default:
        return false;
    }
}

bool TSeriesMarksTab::AllMarksVisible(const TChartSeries* Series)
{
    TCustomAxisPanel* chart = Series ? Series->ParentChart() : nullptr;
    if (!chart)
        return Series && Series->Marks()->Visible();
    for (int i = 0; i < chart->SeriesCount(); ++i)
        if (!chart->Series(i)->Marks()->Visible())
            return false;
    return true;
}

void TSeriesMarksTab::UpdateEnabled()
{
    CBMultiLine->setEnabled(StyleJoinsTexts(RGMarkStyle->currentIndex()));
}

void TSeriesMarksTab::Fill(TChartSeries* Series)
{
    TSeriesMarks* marks = Series ? Series->Marks() : nullptr;
    if (!marks)
        return;
    BMarkLinCol->LinkPen(marks->Callout()->Arrow());
    FMarksFormat->SetTarget(marks);
    FSymbolFormat->SetTarget(marks->Symbol());
    {
        const QSignalBlocker block(CBSymbolVisible);
        CBSymbolVisible->setChecked(marks->Symbol()->Visible());
    }
    UpdateEnabled();
}

void TSeriesMarksTab::MakeSymbolPage()
{
    FSymbolFormat = new TFormPlotShape(TabSymbol);
    FSymbolFormat->setWindowFlags(Qt::Widget);
    TabSymbol->layout()->addWidget(FSymbolFormat);
    FSymbolFormat->PC1->setTabVisible(FSymbolFormat->PC1->indexOf(FSymbolFormat->TabText), false);
    // The symbol's visibility takes the colour button's place.
    CBSymbolVisible = TPageBuilder::Named(new QCheckBox(QStringLiteral("&Visible"), FSymbolFormat->TabFormat),
                                          "CBSymbolVisible");
    CBSymbolVisible->setMinimumWidth(FSymbolFormat->BBackColor->sizeHint().width());
    delete FSymbolFormat->TabFormat->layout()->replaceWidget(FSymbolFormat->BBackColor, CBSymbolVisible);
    FSymbolFormat->BBackColor->hide();
    SetReadingTabOrder(*FSymbolFormat->TabFormat);
    TFormPlotShape* symbolPage = FSymbolFormat;
    connect(CBSymbolVisible, &QCheckBox::clicked, symbolPage,
            [symbolPage, this] { symbolPage->CBVisibleChecked(CBSymbolVisible); });
    CallControlHook(FSymbolFormat);
    FSymbolFormat->show();
}

} // namespace lp
