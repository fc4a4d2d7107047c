#include "chart/editors/tools/DataTableToolPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/FontEditor.h"
#include "chart/editors/effects/SymbolEditor.h"
#include "chart/editors/tools/ToolEditorBases.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/extensions/tools/PlotDataTableTool.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QVBoxLayout>

namespace lp {

namespace {

constexpr int PositionLimit = 1000;

} // namespace

TDataTableEditor::TDataTableEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("DataTable editor"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    PageControl1 = TPageBuilder::WideTabs(this, "PageControl1");
    PageControl1->addTab(BuildFormatTab(), QStringLiteral("Format"));
    PageControl1->addTab(BuildLegendTab(), QStringLiteral("Legend"));
    auto* text = TPageBuilder::Named(new QWidget(PageControl1), "TabText");
    PageControl1->addTab(text, QStringLiteral("Text"));
    FontEditor = InsertFontEditor(text);
    layout->addWidget(PageControl1);

    TPropertyBinder& bind = Binder();
    bind.Bind(CBInverted, QStringLiteral("Inverted"));
    bind.Bind(CBAutoPos, QStringLiteral("AutoPosition"));
    // A custom place is written only while the automatic one is off.
    bind.Bind(
        UDLeft, [this]() -> QVariant { return Tool() ? QVariant(Tool()->Left()) : QVariant(); },
        [this](const QVariant& Value) {
            if (!Tool()->AutoPosition())
                Tool()->SetLeft(Value.toInt());
        });
    bind.Bind(
        UDTop, [this]() -> QVariant { return Tool() ? QVariant(Tool()->Top()) : QVariant(); },
        [this](const QVariant& Value) {
            if (!Tool()->AutoPosition())
                Tool()->SetTop(Value.toInt());
        });
    bind.Bind(CBLegVisible, QStringLiteral("Legend.Visible"));
    bind.Bind(CBFontColor, QStringLiteral("Legend.FontSeriesColor"));
    bind.Bind(CBOtherSide, QStringLiteral("Legend.OtherSide"));
    for (TButtonPen* pen : {ButtonPen1, ButtonPen2})
        pen->OnClick = [this, pen](TButtonPen*) { AfterUserChange(pen); };
}

QWidget* TDataTableEditor::BuildFormatTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(this), "TabFormat");
    TPageBuilder build(*tab);
    ButtonPen1 = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Rows..."), tab), "ButtonPen1");
    ButtonPen2 = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Columns..."), tab), "ButtonPen2");
    CBInverted = build.CheckBox("CBInverted", QStringLiteral("&Inverted"));
    GroupBox1 = TPageBuilder::Named(new QGroupBox(QStringLiteral("Position:"), tab), "GroupBox1");
    CBAutoPos = TPageBuilder::Named(new QCheckBox(QStringLiteral("&Automatic"), GroupBox1), "CBAutoPos");
    CBAutoPos->setChecked(true);
    UDLeft = ToolSpin(GroupBox1, "UDLeft", -PositionLimit, PositionLimit);
    UDTop = ToolSpin(GroupBox1, "UDTop", -PositionLimit, PositionLimit);
    auto* grid = new QGridLayout(GroupBox1);
    grid->addWidget(CBAutoPos, 0, 0, 1, 2);
    auto* left = TPageBuilder::Named(new QLabel(QStringLiteral("&Left:"), GroupBox1), "Label1");
    left->setBuddy(UDLeft);
    auto* top = TPageBuilder::Named(new QLabel(QStringLiteral("&Top:"), GroupBox1), "Label2");
    top->setBuddy(UDTop);
    grid->addWidget(left, 1, 0);
    grid->addWidget(UDLeft, 1, 1, Qt::AlignLeft);
    grid->addWidget(top, 2, 0);
    grid->addWidget(UDTop, 2, 1, Qt::AlignLeft);
    grid->setColumnStretch(2, 1);
    build.Line({ButtonPen1, ButtonPen2});
    build.Line({CBInverted});
    build.Full(GroupBox1);
    build.Stretch();
    SetReadingTabOrder(*tab);
    return tab;
}

QWidget* TDataTableEditor::BuildLegendTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(this), "TabLegend");
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    PageControl2 = TPageBuilder::WideTabs(tab, "PageControl2");
    auto* format = TPageBuilder::Named(new QWidget(PageControl2), "TabLegendFormat");
    TPageBuilder build(*format);
    CBLegVisible = build.CheckBox("CBLegVisible", QStringLiteral("&Visible"));
    CBFontColor = build.CheckBox("CBFontColor", QStringLiteral("Font Series &Color"));
    CBOtherSide = build.CheckBox("CBOtherSide", QStringLiteral("&Other Side"));
    build.Line({CBLegVisible});
    build.Line({CBFontColor});
    build.Line({CBOtherSide});
    build.Stretch();
    PageControl2->addTab(format, QStringLiteral("Format"));
    auto* symbol = TPageBuilder::Named(new QWidget(PageControl2), "TabSymbol");
    PageControl2->addTab(symbol, QStringLiteral("Symbol"));
    SymbolEditor = InsertEditorPage<TSymbolEditor>(symbol);
    auto* text = TPageBuilder::Named(new QWidget(PageControl2), "TabLegendText");
    PageControl2->addTab(text, QStringLiteral("Text"));
    LegendFontEditor = InsertFontEditor(text);
    layout->addWidget(PageControl2);
    return tab;
}

TDataTableTool* TDataTableEditor::Tool() const
{
    return TargetAs<TDataTableTool>();
}

void TDataTableEditor::FillControls()
{
    TDataTableTool* tool = Tool();
    ButtonPen1->LinkPen(tool->RowPen());
    ButtonPen2->LinkPen(tool->ColumnPen());
    RefreshSymbolEditor(SymbolEditor, tool->Legend()->Symbol());
    RefreshFontEditor(FontEditor, tool->Font());
    RefreshFontEditor(LegendFontEditor, tool->Legend()->Font());
}

void TDataTableEditor::UpdateEnabled()
{
    const bool custom = Tool() && !Tool()->AutoPosition();
    for (QWidget* control : std::initializer_list<QWidget*>{UDLeft, UDTop, findChild<QWidget*>(QStringLiteral("Label1")),
                                                           findChild<QWidget*>(QStringLiteral("Label2"))})
        control->setEnabled(custom);
}

void TDataTableEditor::showEvent(QShowEvent* Event)
{
    if (Creating()) {
        PageControl1->setCurrentIndex(0);
        PageControl2->setCurrentIndex(0);
    }
    TEditorPage::showEvent(Event);
}

} // namespace lp
