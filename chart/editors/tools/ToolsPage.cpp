#include "chart/editors/tools/ToolsPage.h"

#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/EditorPageRegistry.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/tools/ToolsGallery.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotTools.h"
#include "platform/core/ClassRegistry.h"
#include "platform/ui/Dialogs.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QFrame>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QStyle>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

namespace lp {

TFormPlotTools::TFormPlotTools(QWidget* Parent) : TEditorPage(Parent)
{
    setObjectName(QStringLiteral("FormPlotTools"));

    PTop = TPageBuilder::Named(new QWidget(this), "PTop");
    BAdd = TPageBuilder::Named(new QPushButton(QStringLiteral("&Add..."), PTop), "BAdd");
    BDelete = TPageBuilder::Named(new QPushButton(QStringLiteral("&Delete"), PTop), "BDelete");
    CBActive = TPageBuilder::Named(new QCheckBox(QStringLiteral("A&ctive"), PTop), "CBActive");
    CBShowInEditor = TPageBuilder::Named(new QCheckBox(QStringLiteral("Show in this editor"), PTop), "CBShowInEditor");
    CBShowInEditor->hide();
    Panel2 = TPageBuilder::Named(new QWidget(PTop), "Panel2");
    BMoveUp = TPageBuilder::Named(new QToolButton(Panel2), "BMoveUp");
    BMoveDown = TPageBuilder::Named(new QToolButton(Panel2), "BMoveDown");
    BMoveUp->setAutoRaise(true);
    BMoveDown->setAutoRaise(true);
    BMoveUp->setToolTip(QStringLiteral("Move up"));
    BMoveDown->setToolTip(QStringLiteral("Move down"));
    LoadArrowBitmaps(BMoveUp, BMoveDown);
    auto* moves = new QHBoxLayout(Panel2);
    moves->setContentsMargins(0, 0, 0, 0);
    moves->addWidget(BMoveUp);
    moves->addWidget(BMoveDown);
    auto* checks = new QVBoxLayout;
    checks->setSpacing(0);
    checks->addWidget(CBActive);
    checks->addWidget(CBShowInEditor);
    auto* top = new QHBoxLayout(PTop);
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(BAdd);
    top->addWidget(BDelete);
    top->addLayout(checks);
    top->addStretch();
    top->addWidget(Panel2);

    Splitter1 = TPageBuilder::Named(new QSplitter(Qt::Horizontal, this), "Splitter1");
    LBTools = TPageBuilder::Named(new QListWidget(Splitter1), "LBTools");
    SetUpToolList(LBTools);
    PanelToolEditor = TPageBuilder::Named(new QFrame(Splitter1), "PanelToolEditor");
    static_cast<QFrame*>(PanelToolEditor)->setFrameShape(QFrame::StyledPanel);
    static_cast<QFrame*>(PanelToolEditor)->setFrameShadow(QFrame::Sunken);
    auto* editorLayout = new QVBoxLayout(PanelToolEditor);
    editorLayout->setContentsMargins(2, 2, 2, 2);
    // A tool page wider than the window can grow scrolls; the list keeps
    // its width.
    ToolEditorArea = TPageBuilder::Named(new TPageScrollArea(PanelToolEditor), "ToolEditorArea");
    editorLayout->addWidget(ToolEditorArea);
    Splitter1->addWidget(LBTools);
    Splitter1->addWidget(PanelToolEditor);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->setSizes({140, 300});

    PBottom = TPageBuilder::Named(new QLabel(this), "PBottom");
    PBottom->setTextFormat(Qt::PlainText);
    PBottom->setFrameShape(QFrame::StyledPanel);
    PBottom->setMinimumHeight(24);
    PBottom->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(PTop);
    layout->addWidget(Splitter1, 1);
    layout->addWidget(PBottom);
    setTabOrder(BAdd, BDelete);
    setTabOrder(BDelete, CBActive);
    setTabOrder(CBActive, CBShowInEditor);
    setTabOrder(CBShowInEditor, BMoveUp);
    setTabOrder(BMoveUp, BMoveDown);
    setTabOrder(BMoveDown, LBTools);

    BAdd->setAutoDefault(false);
    BDelete->setAutoDefault(false);
    connect(BAdd, &QPushButton::clicked, this, &TFormPlotTools::BAddClick);
    connect(BDelete, &QPushButton::clicked, this, &TFormPlotTools::BDeleteClick);
    connect(BMoveUp, &QToolButton::clicked, this, &TFormPlotTools::BMoveUpClick);
    connect(BMoveDown, &QToolButton::clicked, this, &TFormPlotTools::BMoveDownClick);
    connect(LBTools, &QListWidget::currentRowChanged, this, [this] {
        if (!Loading())
            LBToolsClick();
    });
    connect(CBActive, &QCheckBox::clicked, this, [this](bool Checked) {
        if (TPlotCustomTool* tool = CurrentTool())
            tool->SetActive(Checked);
    });
    connect(CBShowInEditor, &QCheckBox::clicked, this, [this](bool Checked) {
        if (TPlotCustomTool* tool = CurrentTool())
            tool->SetShowInEditor(Checked);
    });
}

TCustomAxisPanel* TFormPlotTools::Chart() const
{
    return TargetAs<TCustomAxisPanel>();
}

TPlotCustomTool* TFormPlotTools::ToolAt(int Row) const
{
    TCustomAxisPanel* chart = Chart();
    if (!chart || Row < 0 || Row >= LBTools->count())
        return nullptr;
    // Only compared: a tool destroyed elsewhere has left the chart's list.
    const QObject* listed = LBTools->item(Row)->data(Qt::UserRole).value<QObject*>();
    for (TPlotCustomTool* tool : chart->Tools())
        if (static_cast<const QObject*>(tool) == listed)
            return tool;
    return nullptr;
}

TPlotCustomTool* TFormPlotTools::CurrentTool() const
{
    return ToolAt(LBTools->currentRow());
}

int TFormPlotTools::RowOf(const TPlotCustomTool* Tool) const
{
    for (int row = 0; row < LBTools->count(); ++row)
        if (ToolAt(row) == Tool)
            return row;
    return -1;
}

void TFormPlotTools::FillTools()
{
    const QSignalBlocker block(LBTools);
    PBottom->clear();
    LBTools->clear();
    if (TCustomAxisPanel* chart = Chart()) {
        for (TPlotCustomTool* tool : chart->Tools()) {
            // Tools hidden from editors show only while designing.
            if (!tool->IsDesigning() && !tool->ShowInEditor())
                continue;
            auto* item = new QListWidgetItem(ClassIcon(*tool), tool->Description());
            item->setData(Qt::UserRole, QVariant::fromValue<QObject*>(tool));
            LBTools->addItem(item);
        }
    }
    KeepListWidth();
    CBActive->setEnabled(LBTools->count() > 0);
    BDelete->setEnabled(CBActive->isEnabled());
}

// A new chart is shown from its first tool; the same chart again keeps the
// tool that was selected.
void TFormPlotTools::FillControls()
{
    TCustomAxisPanel* chart = Chart();
    TPlotCustomTool* keep = FShownChart == chart ? CurrentTool() : nullptr;
    FShownChart = chart;
    if (!chart) {
        FillTools();
        DestroyToolEditor();
        EnableMoveButtons();
        return;
    }
    PBottom->setVisible(chart->IsDesigning());
    FillTools();
    const int row = keep ? RowOf(keep) : -1;
    if (LBTools->count() > 0) {
        {
            const QSignalBlocker block(LBTools);
            LBTools->setCurrentRow(row >= 0 ? row : 0);
        }
        LBToolsClick();
    } else {
        DestroyToolEditor();
        EnableMoveButtons();
    }
}

void TFormPlotTools::UpdateEnabled()
{
    EnableMoveButtons();
}

void TFormPlotTools::KeepListWidth()
{
    // The widest entry, its icon, the list's frame and a vertical scroll
    // bar: a wide tool page never squeezes an entry's text.
    int widest = LBTools->fontMetrics().horizontalAdvance(QStringLiteral("Annotation"));
    for (int row = 0; row < LBTools->count(); ++row)
        widest = std::max(widest, LBTools->fontMetrics().horizontalAdvance(LBTools->item(row)->text()));
    const int scrollBar = LBTools->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, LBTools);
    LBTools->setMinimumWidth(widest + LBTools->iconSize().width() + 2 * LBTools->frameWidth() + scrollBar + 16);
}

void TFormPlotTools::DestroyToolEditor()
{
    if (FToolEditor)
        delete FToolEditor.data();
}

void TFormPlotTools::LBToolsClick()
{
    TPlotCustomTool* tool = CurrentTool();
    if (!tool) {
        EnableMoveButtons();
        return;
    }
    // An editor that cannot be left now keeps its tool selected; its page
    // is built again below.
    if (FToolEditor && !FToolEditor->MayLeave()) {
        if (auto* edited = qobject_cast<TPlotCustomTool*>(FToolEditor->Target()); edited && RowOf(edited) >= 0) {
            const QSignalBlocker block(LBTools);
            LBTools->setCurrentRow(RowOf(edited));
            tool = edited;
        }
    }
    CBActive->setChecked(tool->Active());
    DestroyToolEditor();
    const QString editorName = tool->GetEditorClassName();
    if (!editorName.isEmpty()) {
        if (TEditorPage* page = CreateEditorPage(editorName, PanelToolEditor)) {
            FToolEditor = page;
            CallControlHook(page);
            page->setWindowFlags(Qt::Widget);
            ToolEditorArea->SetPage(page);
            page->SetTarget(tool);
            page->show();
        }
    }
    CBShowInEditor->setVisible(tool->IsDesigning());
    if (CBShowInEditor->isVisibleTo(this))
        CBShowInEditor->setChecked(tool->ShowInEditor());
    EnableMoveButtons();
    if (PBottom->isVisibleTo(this))
        PBottom->setText(tool->Name());
}

void TFormPlotTools::SelectTool(TPlotCustomTool* Tool)
{
    const int row = RowOf(Tool);
    if (row < 0)
        return;
    {
        const QSignalBlocker block(LBTools);
        LBTools->setCurrentRow(row);
    }
    LBToolsClick();
}

bool TFormPlotTools::MayLeave()
{
    return !FToolEditor || FToolEditor->MayLeave();
}

void TFormPlotTools::EnableMoveButtons()
{
    const int row = LBTools->currentRow();
    BMoveUp->setEnabled(row > 0);
    BMoveDown->setEnabled(row >= 0 && row < LBTools->count() - 1);
}

void TFormPlotTools::BMoveUpClick()
{
    Move(-1);
}

void TFormPlotTools::BMoveDownClick()
{
    Move(1);
}

// Exchanges the selected entry with its neighbour, and the two listed tools
// in the chart's list and in their owner; the selection follows the tool.
void TFormPlotTools::Move(int Delta)
{
    TCustomAxisPanel* chart = Chart();
    const int row = LBTools->currentRow();
    const int other = row + Delta;
    if (!chart || row < 0 || other < 0 || other >= LBTools->count())
        return;
    TPlotCustomTool* a = ToolAt(row);
    TPlotCustomTool* b = ToolAt(other);
    // A listed tool destroyed before the list caught up is not moved.
    if (!a || !b)
        return;
    {
        const QSignalBlocker block(LBTools);
        QListWidgetItem* moved = LBTools->takeItem(row);
        LBTools->insertItem(other, moved);
        LBTools->setCurrentRow(other);
    }
    const int indexA = chart->Tools().IndexOf(a);
    const int indexB = chart->Tools().IndexOf(b);
    if (indexA >= 0 && indexB >= 0)
        chart->Tools().Exchange(indexA, indexB);
    if (a->Owner() && a->Owner() == b->Owner())
        a->Owner()->ExchangeComponents(a->Owner()->ComponentIndex(a), a->Owner()->ComponentIndex(b));
    chart->Invalidate();
    EnableMoveButtons();
}

void TFormPlotTools::BAddClick()
{
    TCustomAxisPanel* chart = Chart();
    if (!chart)
        return;
    TPlotToolsGallery gallery(window());
    if (gallery.ShowModal() != mrOk || !gallery.SelectedTool())
        return;
    // Tools live with the chart when its tools already do; otherwise with
    // the chart's owner (the chart itself when it has none, so the tool is
    // never left without an owner).
    TComponent* owner = chart->Owner() ? chart->Owner() : chart;
    for (TPlotCustomTool* tool : chart->Tools())
        if (tool->Owner() == chart) {
            owner = chart;
            break;
        }
    auto* tool = qobject_cast<TPlotCustomTool*>(
        CreateComponent(TPersistent::ClassNameOf(*gallery.SelectedTool()), owner));
    if (!tool)
        return;
    tool->SetParentChart(chart);
    tool->SetName(GetUniqueComponentName(owner, QStringLiteral("ChartTool")));
    if (OnAddTool)
        OnAddTool(tool);
    FillTools();
    {
        const QSignalBlocker block(LBTools);
        LBTools->setCurrentRow(LBTools->count() - 1);
    }
    LBTools->setFocus();
    LBToolsClick();
    chart->Invalidate();
}

void TFormPlotTools::BDeleteClick()
{
    TPlotCustomTool* tool = CurrentTool();
    if (!tool || !AskDeleteConfirm(tool->Description(), this))
        return;
    const int row = LBTools->currentRow();
    if (OnDeleteTool)
        OnDeleteTool(tool);
    TCustomAxisPanel* chart = Chart();
    DestroyToolEditor();
    delete tool;
    if (chart)
        chart->Invalidate();
    FillTools();
    {
        const QSignalBlocker block(LBTools);
        if (row > 1)
            LBTools->setCurrentRow(row - 1);
        else if (LBTools->count() > 0)
            LBTools->setCurrentRow(LBTools->count() - 1);
    }
    BDelete->setEnabled(LBTools->currentRow() >= 0);
    if (BDelete->isEnabled())
        LBToolsClick();
    else
        EnableMoveButtons();
}

} // namespace lp
