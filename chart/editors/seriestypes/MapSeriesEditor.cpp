#include "chart/editors/seriestypes/MapSeriesEditor.h"

#include "chart/canvas/PlotEffects.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/data/ChartGrid.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/frame/ChartListBox.h"
#include "chart/editors/seriestypes/Grid3DSeriesEditor.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotSeriesSource.h"

#include <QtGui/QShowEvent>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QToolButton>

namespace lp {

namespace {

constexpr int ShapeListRowHeight = 20;

} // namespace

TMapSeriesEditor::TMapSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    PageControl2 = TPageBuilder::TabControl(*this, "PageControl2");
    TabGlobal = TPageBuilder::AddTab(PageControl2, "TabGlobal", QStringLiteral("Global"));
    TabShapes = TPageBuilder::AddTab(PageControl2, "TabShapes", QStringLiteral("Shapes"));

    TPageBuilder global(*TabGlobal);
    BMapBrush = global.Button("BMapBrush", QStringLiteral("B&rush..."));
    ButtonPen1 = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Border..."), TabGlobal), "ButtonPen1");
    global.Line({BMapBrush, ButtonPen1});
    global.Stretch();

    auto* shapesLayout = new QHBoxLayout(TabShapes);
    shapesLayout->setContentsMargins(4, 4, 4, 4);
    Splitter1 = TPageBuilder::Named(new QSplitter(Qt::Horizontal, TabShapes), "Splitter1");
    shapesLayout->addWidget(Splitter1);
    Panel1 = TPageBuilder::Named(new QWidget(Splitter1), "Panel1");
    auto* panel = new QVBoxLayout(Panel1);
    panel->setContentsMargins(0, 0, 0, 0);
    ChartListBox1 = TPageBuilder::Named(new TChartListBox(Panel1), "ChartListBox1");
    ChartListBox1->EnableChangeType = false;
    ChartListBox1->EnableDragSeries = false;
    ChartListBox1->AllowAddSeries = false;
    ChartListBox1->AllowDeleteSeries = false;
    ChartListBox1->AllowRename = false;
    ChartListBox1->SetShowSeriesIcon(false);
    ChartListBox1->setMinimumWidth(120);
    ChartListBox1->setStyleSheet(QStringLiteral("QListView::item { height: %1px; }").arg(ShapeListRowHeight));
    panel->addWidget(ChartListBox1);
    auto* buttons = new QHBoxLayout;
    SBAdd = TPageBuilder::Named(new QToolButton(Panel1), "SBAdd");
    SBDelete = TPageBuilder::Named(new QToolButton(Panel1), "SBDelete");
    SBAdd->setText(QStringLiteral("+"));
    SBDelete->setText(QStringLiteral("-"));
    for (QToolButton* button : {SBAdd, SBDelete}) {
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::StrongFocus);
        buttons->addWidget(button);
    }
    SBDelete->setEnabled(false);
    buttons->addStretch(1);
    panel->addLayout(buttons);

    PageControl1 = TPageBuilder::Named(new QTabWidget(Splitter1), "PageControl1");
    TabValues = TPageBuilder::Named(new QWidget(PageControl1), "TabValues");
    TabFormat = TPageBuilder::Named(new QWidget(PageControl1), "TabFormat");
    TabData = TPageBuilder::Named(new QWidget(PageControl1), "TabData");
    PageControl1->addTab(TabValues, QStringLiteral("Values"));
    PageControl1->addTab(TabFormat, QStringLiteral("Format"));
    PageControl1->addTab(TabData, QStringLiteral("Points"));
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setChildrenCollapsible(false);
    // The shape's tabs are all seen without scrolling.
    PageControl1->setMinimumWidth(PageControl1->tabBar()->sizeHint().width() + 16);

    TPageBuilder values(*TabValues);
    EText = TPageBuilder::Named(new QLineEdit(TabValues), "EText");
    EditZ = TPageBuilder::Named(new QLineEdit(QStringLiteral("0"), TabValues), "EditZ");
    Label3 = TPageBuilder::Named(new QLabel(QStringLiteral("Shape Index: "), TabValues), "Label3");
    ShapeIndex = TPageBuilder::Named(new QLabel(QStringLiteral("0"), TabValues), "ShapeIndex");
    values.Row(QStringLiteral("&Text:"), EText, "LText");
    values.Row(QStringLiteral("&Z:"), EditZ, "LZ");
    values.Line({Label3, ShapeIndex});
    values.Stretch();

    TPageBuilder format(*TabFormat);
    ButtonPen2 = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("Bord&er..."), TabFormat), "ButtonPen2");
    CBGlobalPen = format.CheckBox("CBGlobalPen", QStringLiteral("&Global"));
    BBrush = format.Button("BBrush", QStringLiteral("Br&ush..."));
    CBGlobalBrush = format.CheckBox("CBGlobalBrush", QStringLiteral("Gl&obal"));
    BGradient = TPageBuilder::SymbolButton(new TButtonGradient(QStringLiteral("&Gradient..."), TabFormat), "BGradient");
    ButtonColor1 = format.ColorButton("ButtonColor1", QStringLiteral("&Color..."));
    CBDefaultColor = format.CheckBox("CBDefaultColor", QStringLiteral("&Default"));
    CBClosed = format.CheckBox("CBClosed", QStringLiteral("Closed"));
    CBVisible = format.CheckBox("CBVisible", QStringLiteral("&Visible"));
    UDTransp = format.SpinBox("UDTransp", 0, 100);
    format.Line({ButtonPen2, CBGlobalPen});
    format.Line({BBrush, CBGlobalBrush});
    format.Line({BGradient});
    format.Line({ButtonColor1, CBDefaultColor});
    format.Line({CBClosed, CBVisible});
    format.Row(QStringLiteral("&Transparency:"), UDTransp, "LTransp");
    format.Stretch();

    auto* data = new QVBoxLayout(TabData);
    data->setContentsMargins(4, 4, 4, 4);
    ChartGrid1 = TPageBuilder::Named(new TChartGrid(TabData), "ChartGrid1");
    ChartGrid1->SetShowLabels(false);
    ChartGrid1->SetShowXValues(cgsYes);
    // One header row: the grid shows one shape's points.
    ChartGrid1->SetShowFields(false);
    ChartGridNavigator1 = TPageBuilder::Named(new TChartGridNavigator(TabData), "ChartGridNavigator1");
    ChartGridNavigator1->SetGrid(ChartGrid1);
    data->addWidget(ChartGrid1, 1);
    data->addWidget(ChartGridNavigator1);
    SetReadingTabOrder(*this);

    // The selected shape's settings.
    auto bindShape = [this](QObject* Control, std::function<QVariant(TPlotPolygon&)> Get,
                            std::function<void(TPlotPolygon&, const QVariant&)> Set) {
        Binder().Bind(
            Control, [this, Get]() -> QVariant { return SelectedShape() ? Get(*SelectedShape()) : QVariant(); },
            [this, Set](const QVariant& Value) {
                if (TPlotPolygon* shape = SelectedShape())
                    Set(*shape, Value);
            });
    };
    bindShape(
        EText, [](TPlotPolygon& S) { return QVariant(S.Text()); },
        [this](TPlotPolygon& S, const QVariant& V) {
            S.SetText(V.toString());
            const int row = ChartListBox1->ItemIndex();
            ChartListBox1->Model().SetRowText(row, S.Text().isEmpty() ? QString::number(row) : S.Text());
        });
    bindShape(
        CBGlobalPen, [](TPlotPolygon& S) { return QVariant(S.ParentPen()); },
        [](TPlotPolygon& S, const QVariant& V) { S.SetParentPen(V.toBool()); });
    bindShape(
        CBGlobalBrush, [](TPlotPolygon& S) { return QVariant(S.ParentBrush()); },
        [](TPlotPolygon& S, const QVariant& V) { S.SetParentBrush(V.toBool()); });
    bindShape(
        ButtonColor1, [](TPlotPolygon& S) { return QVariant(static_cast<int>(S.Color())); },
        [](TPlotPolygon& S, const QVariant& V) { S.SetColor(V.toInt()); });
    bindShape(
        CBDefaultColor, [](TPlotPolygon& S) { return QVariant(!S.IsColorStored()); },
        [](TPlotPolygon& S, const QVariant& V) {
            // Ticked, the shape follows the series' colours; unticked (the
            // box is disabled then, code may), it keeps the colour it shows.
            if (V.toBool())
                S.SetColor(clDefault);
            else if (!S.IsColorStored())
                S.SetColor(S.Color());
        });
    bindShape(
        CBClosed, [](TPlotPolygon& S) { return QVariant(S.Closed()); },
        [](TPlotPolygon& S, const QVariant& V) { S.SetClosed(V.toBool()); });
    // The list's tick is the shape's visibility: it shows the change, and
    // it can be clicked exactly while "Visible" can.
    bindShape(
        CBVisible, [](TPlotPolygon& S) { return QVariant(S.Points()->Active()); },
        [this](TPlotPolygon& S, const QVariant& V) {
            S.Points()->SetActive(V.toBool());
            ChartListBox1->viewport()->update();
        });
    CBVisible->installEventFilter(this);
    bindShape(
        UDTransp, [](TPlotPolygon& S) { return QVariant(S.Transparency()); },
        [](TPlotPolygon& S, const QVariant& V) { S.SetTransparency(V.toInt()); });
    // Z is written once its text is a number: a half-typed value keeps the
    // old one, without a message.
    BindNumberEdit(
        *this, EditZ,
        [this]() -> std::optional<double> {
            return SelectedShape() ? std::optional<double>(SelectedShape()->Z()) : std::nullopt;
        },
        [this](double Value) { SelectedShape()->SetZ(Value); });

    ButtonPen1->OnClick = [this](TButtonPen*) { AfterUserChange(ButtonPen1); };
    ButtonPen2->OnClick = [this](TButtonPen*) {
        // The shape's own pen was edited: it shows instead of the series'.
        if (TPlotPolygon* shape = SelectedShape())
            shape->SetParentPen(false);
        RepaintShapes();
        AfterUserChange(ButtonPen2);
    };
    BGradient->OnClick = [this](TButtonGradient*) {
        RepaintShapes();
        AfterUserChange(BGradient);
    };
    ButtonColor1->OnClick = [this, bound = ButtonColor1->OnClick](TButtonColor* Sender) {
        if (bound)
            bound(Sender);
        ChartListBox1->viewport()->update();
    };
    connect(BMapBrush, &QPushButton::clicked, this, &TMapSeriesEditor::MapBrushClick);
    connect(BBrush, &QPushButton::clicked, this, &TMapSeriesEditor::ShapeBrushClick);
    connect(SBAdd, &QToolButton::clicked, this, &TMapSeriesEditor::AddShape);
    connect(SBDelete, &QToolButton::clicked, this, &TMapSeriesEditor::DeleteShape);
    ChartListBox1->OnRefresh = [this](TChartListBox*) {
        if (!Loading())
            Refresh();
    };
    ChartListBox1->OnChangeColor = [this](TChartListBox*, TChartSeries*) {
        ButtonColor1->update();
        Refresh();
    };
    ChartListBox1->OnChangeActive = [this](TChartListBox*, TChartSeries*) { Refresh(); };
    ChartGrid1->OnSetEditText = [this](int, int) {
        if (Series())
            Series()->Repaint();
    };
    connect(PageControl2, &QTabWidget::currentChanged, this, [this] {
        // The shapes may have changed elsewhere meanwhile.
        if (Series() && ChartListBox1->Count() != Series()->Shapes()->Count())
            Refresh();
    });
}

bool TMapSeriesEditor::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == CBVisible && (Event->type() == QEvent::EnabledChange || Event->type() == QEvent::ToolTipChange))
        ChartListBox1->SetActiveCheckEnabled(CBVisible->isEnabled(), CBVisible->toolTip());
    return TTabAddingSeriesPage::eventFilter(Watched, Event);
}

TMapSeries* TMapSeriesEditor::Series() const
{
    return TargetAs<TMapSeries>();
}

TPlotPolygon* TMapSeriesEditor::SelectedShape() const
{
    TMapSeries* series = Series();
    const int row = ChartListBox1->ItemIndex();
    if (!series || row < 0 || row >= series->Shapes()->Count())
        return nullptr;
    return series->Shapes()->GetPolygon(row);
}

void TMapSeriesEditor::FillShapeList()
{
    TMapSeries* series = Series();
    std::vector<TChartSeries*> rows;
    QStringList texts;
    if (series)
        for (int i = 0; i < series->Shapes()->Count(); ++i) {
            rows.push_back(series->Shapes()->GetPolygon(i)->Points());
            const QString label = i < series->Count() ? series->Labels().GetLabel(i) : QString();
            texts.append(label.isEmpty() ? QString::number(i) : label);
        }
    ChartListBox1->FillOtherItems(rows, texts);
    FListed = series;
}

void TMapSeriesEditor::SelectRow(int Row)
{
    ChartListBox1->SetItemIndex(Row);
    Refresh();
}

void TMapSeriesEditor::FillControls()
{
    TMapSeries* series = Series();
    if (series != FListed.data()) {
        // Another series: its list from the first shape, on "Global".
        FillShapeList();
        if (ChartListBox1->Count() > 0)
            ChartListBox1->SetItemIndex(0);
        PageControl2->setCurrentWidget(TabGlobal);
        PageControl1->setCurrentWidget(TabValues);
    } else if (series && ChartListBox1->Count() != series->Shapes()->Count()) {
        const int row = ChartListBox1->ItemIndex();
        FillShapeList();
        if (row >= 0 && row < ChartListBox1->Count())
            ChartListBox1->SetItemIndex(row);
    }
    if (series)
        ButtonPen1->LinkPen(series->Pen());
    ShowSelectedShape();
    TTabAddingSeriesPage::FillControls();
}

void TMapSeriesEditor::ShowSelectedShape()
{
    TPlotPolygon* shape = SelectedShape();
    if (!shape) {
        ShapeIndex->clear();
        ButtonPen2->LinkPen(nullptr);
        BGradient->LinkGradient(nullptr);
        EText->clear();
        EditZ->setText(QStringLiteral("0"));
        ChartGrid1->SetSeries(nullptr);
        return;
    }
    ShapeIndex->setText(QString::number(ChartListBox1->ItemIndex()));
    ButtonPen2->LinkPen(shape->Pen());
    BGradient->LinkGradient(shape->Gradient());
    if (ChartGrid1->Series() != shape->Points())
        ChartGrid1->SetSeries(shape->Points());
}

void TMapSeriesEditor::UpdateEnabled()
{
    TMapSeries* series = Series();
    const bool shapes = series && series->Shapes()->Count() > 0;
    const bool fixed = series && series->FixedShapes();
    for (QWidget* tab : {TabValues, TabFormat, TabData})
        for (QWidget* control : tab->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            control->setEnabled(shapes);
    CBDefaultColor->setEnabled(shapes && !CBDefaultColor->isChecked());
    BGradient->setEnabled(shapes && static_cast<bool>(EditGradientEntryPoint()));
    SBAdd->setEnabled(series && !fixed);
    SBDelete->setEnabled(SelectedShape() && !fixed);
    ChartGrid1->setEditTriggers(fixed ? QAbstractItemView::NoEditTriggers
                                      : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                            QAbstractItemView::AnyKeyPressed);
    ChartGridNavigator1->EnableButtons();
}

void TMapSeriesEditor::AddTabs()
{
    if (Series())
        Grid3DPage = AddGrid3DPage(this, Series());
}

void TMapSeriesEditor::RepaintShapes()
{
    ChartListBox1->viewport()->update();
    if (Series())
        Series()->Repaint();
}

void TMapSeriesEditor::AddShape()
{
    TMapSeries* series = Series();
    if (!CanWrite() || !series || series->FixedShapes())
        return;
    // Named by the number of points before it.
    const QString text = QString::number(series->Count());
    series->Shapes()->Add()->SetText(text);
    FillShapeList();
    ChartListBox1->setFocus();
    SelectRow(ChartListBox1->Count() - 1);
    AfterUserChange(SBAdd);
}

void TMapSeriesEditor::DeleteShape()
{
    TMapSeries* series = Series();
    const int row = ChartListBox1->ItemIndex();
    if (!CanWrite() || !series || series->FixedShapes() || row < 0 || row >= series->Shapes()->Count())
        return;
    const bool last = row == series->Shapes()->Count() - 1;
    series->Delete(row);
    FillShapeList();
    const int count = ChartListBox1->Count();
    SelectRow(count == 0 ? -1 : last ? count - 1 : row);
    AfterUserChange(SBDelete);
}

void TMapSeriesEditor::MapBrushClick()
{
    if (CanWrite() && Series() && EditChartBrush(this, *Series()->Brush()))
        AfterUserChange(BMapBrush);
}

void TMapSeriesEditor::ShapeBrushClick()
{
    TPlotPolygon* shape = SelectedShape();
    if (!CanWrite() || !shape || !EditChartBrush(this, *shape->Brush()))
        return;
    // The shape's own brush was edited: it shows instead of the series'.
    shape->SetParentBrush(false);
    RepaintShapes();
    AfterUserChange(BBrush);
}

} // namespace lp
