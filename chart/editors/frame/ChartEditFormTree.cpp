// Tree mode of the chart editor window: a tree of the tabs, series, axes,
// titles and tools replaces the tabs. The chosen node's tab sheet is taken
// out of its tab widget into the tree panel and put back when another node
// is chosen or the window goes.

#include "chart/editors/frame/ChartEditForm.h"

#include "chart/editors/axis/AxisEditorPage.h"
#include "chart/editors/frame/ChartListBox.h"
#include "chart/editors/tools/ToolsPage.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotTitles.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotTools.h"

#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtGui/QResizeEvent>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QTreeWidget>
#include <QtWidgets/QVBoxLayout>

namespace lp {

namespace {

// What a node shows, kept in its data.
enum TTreeNodeKind { tnTab = 1, tnSeries, tnAxis, tnTitle, tnTool };
constexpr int KindRole = Qt::UserRole;
constexpr int ObjectRole = Qt::UserRole + 1;

QTreeWidgetItem* AddNode(QTreeWidgetItem* Parent, QTreeWidget* Tree, const QString& Text, TTreeNodeKind Kind,
                         QObject* Object)
{
    auto* node = Parent ? new QTreeWidgetItem(Parent) : new QTreeWidgetItem(Tree);
    node->setText(0, Text);
    node->setData(0, KindRole, static_cast<int>(Kind));
    // Observed: a series, axis or tool destroyed elsewhere leaves the node
    // without its object.
    node->setData(0, ObjectRole, QVariant::fromValue(QPointer<QObject>(Object)));
    node->setFlags(node->flags() & ~Qt::ItemIsEditable);
    return node;
}

QObject* NodeObject(const QTreeWidgetItem* Node)
{
    return Node ? Node->data(0, ObjectRole).value<QPointer<QObject>>().data() : nullptr;
}

int NodeKind(const QTreeWidgetItem* Node)
{
    return Node ? Node->data(0, KindRole).toInt() : 0;
}

// The chart's titles in the tree's order.
std::vector<std::pair<QString, TChartTitle*>> TreeTitles(TCustomChart& Chart)
{
    return {{QStringLiteral("Title"), Chart.Title()},
            {QStringLiteral("SubTitle"), Chart.SubTitle()},
            {QStringLiteral("Footer"), Chart.Foot()},
            {QStringLiteral("SubFoot"), Chart.SubFoot()}};
}

} // namespace

void TChartEditForm::BuildTreeMode()
{
    if (FTreePanel || !FChart)
        return;
    FFillingTree = true;
    Tree->clear();
    // The window widens by the tree; the width without it is kept.
    FWidthWithoutTree = width();
    const int treeWidth = FTreeWidth;
    MainPage->hide();
    FTreePanel = new QWidget(TreeSplitter);
    FTreePanel->setObjectName(QStringLiteral("TreePanel"));
    auto* panelLayout = new QVBoxLayout(FTreePanel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    TreeSplitter->addWidget(FTreePanel);
    // Tree, the hidden main tabs, the panel.
    TreeSplitter->setStretchFactor(TreeSplitter->indexOf(FTreePanel), 1);
    TreeSplitter->setSizes({treeWidth, 0, FWidthWithoutTree});
    resize(FWidthWithoutTree + treeWidth + TreeSplitter->handleWidth(), height());

    // The chart tabs under "Chart", then the main tabs.
    QTreeWidgetItem* chartNode = AddNode(nullptr, Tree, QStringLiteral("Chart"), tnTab, TabChart);
    for (int i = 0; i < SubPage->count(); ++i) {
        QWidget* tab = SubPage->widget(i);
        if (!SubPage->isTabVisible(i))
            continue;
        QTreeWidgetItem* node = AddNode(chartNode, Tree, SubPage->tabText(i), tnTab, tab);
        if (tab == TabAxis) {
            QStringList names;
            FillAxesList(*FChart, names, true);
            for (int line = 0; line < names.size(); ++line)
                AddNode(node, Tree, names[line], tnAxis, AxisOfListLine(*FChart, line));
        } else if (tab == TabTitle) {
            if (auto* chart = qobject_cast<TCustomChart*>(FChart.data()))
                for (const auto& entry : TreeTitles(*chart))
                    AddNode(node, Tree, entry.first, tnTitle, entry.second);
            node->setExpanded(true);
        }
    }
    chartNode->setExpanded(true);
    for (int i = 0; i < MainPage->count(); ++i) {
        QWidget* tab = MainPage->widget(i);
        if (tab == TabChart || !MainPage->isTabVisible(i))
            continue;
        QTreeWidgetItem* node = AddNode(nullptr, Tree, MainPage->tabText(i), tnTab, tab);
        if (tab == TabTools)
            for (TPlotCustomTool* tool : FChart->Tools())
                if (tool->IsDesigning() || tool->ShowInEditor())
                    AddNode(node, Tree, tool->Description(), tnTool, tool);
    }
    FFillingTree = false;
    FillTreeSeries();
    Tree->setCurrentItem(chartNode);
}

// Connected once, when the tree is made: tree mode may be entered again.
void TChartEditForm::ConnectTree()
{
    connect(Tree, &QTreeWidget::currentItemChanged, this, &TChartEditForm::TreeCurrentChanged);
    // Only series nodes are renamed, and a new text is the series' title.
    connect(Tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* Node) {
        if (FFillingTree || NodeKind(Node) != tnSeries)
            return;
        if (auto* series = qobject_cast<TChartSeries*>(NodeObject(Node))) {
            series->SetTitle(Node->text(0));
            LBSeries->viewport()->update();
        }
    });
}

// The "Series" node under "Chart" holds one node per listed series.
void TChartEditForm::FillTreeSeries()
{
    if (!FTreePanel)
        return;
    QTreeWidgetItem* seriesNode = TreeNodeOf(TabSeriesList);
    if (!seriesNode)
        return;
    FFillingTree = true;
    const QObject* shown = NodeObject(Tree->currentItem());
    for (QTreeWidgetItem* child : seriesNode->takeChildren())
        delete child;
    for (int row = 0; row < LBSeries->Count(); ++row) {
        TChartSeries* series = LBSeries->Model().Series(row);
        QTreeWidgetItem* node = AddNode(seriesNode, Tree, SeriesTitleOrName(series), tnSeries, series);
        node->setFlags(node->flags() | Qt::ItemIsEditable);
        if (series == shown)
            Tree->setCurrentItem(node);
    }
    seriesNode->setExpanded(true);
    FFillingTree = false;
}

QTreeWidgetItem* TChartEditForm::TreeNodeOf(const QObject* Object) const
{
    if (!FTreePanel || !Object)
        return nullptr;
    for (QTreeWidgetItemIterator it(Tree); *it; ++it)
        if (NodeObject(*it) == Object)
            return *it;
    return nullptr;
}

void TChartEditForm::ToolAdded(TPlotCustomTool* Tool)
{
    if (QTreeWidgetItem* toolsNode = TreeNodeOf(TabTools)) {
        FFillingTree = true;
        AddNode(toolsNode, Tree, Tool->Description(), tnTool, Tool);
        toolsNode->setExpanded(true);
        FFillingTree = false;
    }
}

void TChartEditForm::ToolDeleted(TPlotCustomTool* Tool)
{
    if (QTreeWidgetItem* node = TreeNodeOf(Tool)) {
        FFillingTree = true;
        delete node;
        FFillingTree = false;
    }
}

// --- Showing a node ----------------------------------------------------------------------------------

void TChartEditForm::ReturnTreeContent()
{
    TTakenSheet taken = FTreeShown;
    FTreeShown = {};
    if (!taken.Sheet)
        return;
    taken.Sheet->hide();
    if (!taken.Pages) {
        // The chart tabs go back into the chart tab.
        TabChart->layout()->addWidget(taken.Sheet);
        taken.Sheet->show();
        return;
    }
    const QSignalBlocker block(taken.Pages);
    taken.Pages->insertTab(std::min(taken.Index, taken.Pages->count()), taken.Sheet, taken.Caption);
    taken.Pages->setTabVisible(taken.Pages->indexOf(taken.Sheet), taken.Visible);
}

void TChartEditForm::ShowInTreePanel(QWidget* Tab)
{
    ReturnTreeContent();
    TTakenSheet taken;
    if (Tab == TabChart) {
        taken.Sheet = SubPage;
        TabChart->layout()->removeWidget(SubPage);
    } else {
        QTabWidget* pages = (FindTab(Tab) ? FindTab(Tab)->Pages : nullptr);
        if (Tab == TabSeriesList)
            pages = SubPage;
        if (!pages || pages->indexOf(Tab) < 0)
            return;
        taken.Sheet = Tab;
        taken.Pages = pages;
        taken.Index = pages->indexOf(Tab);
        taken.Caption = pages->tabText(taken.Index);
        taken.Visible = pages->isTabVisible(taken.Index);
        const QSignalBlocker block(pages);
        pages->removeTab(taken.Index);
    }
    FTreeShown = taken;
    FTreePanel->layout()->addWidget(taken.Sheet);
    taken.Sheet->show();
    if (Tab != TabChart)
        TabActivated(Tab);
}

void TChartEditForm::TreeCurrentChanged(QTreeWidgetItem* Current, QTreeWidgetItem* Previous)
{
    if (FFillingTree)
        return;
    // A node showing other content leaves the page in view, which may
    // refuse (changes not applied, a running animation).
    QWidget* shown = TreeShownTab();
    if (Previous && shown && TabOfNode(Current) != shown && !MayLeaveTab(shown)) {
        ReselectTreeNode(Previous);
        return;
    }
    TreeSelect(Current);
}

QWidget* TChartEditForm::TabOfNode(QTreeWidgetItem* Node) const
{
    switch (NodeKind(Node)) {
    case tnTab:
        return qobject_cast<QWidget*>(NodeObject(Node));
    case tnSeries:
        return TabSeries;
    case tnTool:
        return TabTools;
    case tnAxis:
        return TabAxis;
    case tnTitle:
        return TabTitle;
    default:
        return nullptr;
    }
}

QWidget* TChartEditForm::TreeShownTab() const
{
    return FTreeShown.Sheet == SubPage ? TabChart : FTreeShown.Sheet;
}

void TChartEditForm::ReselectTreeNode(QTreeWidgetItem* Node)
{
    // The tree view sets its selection after announcing the new current
    // node: going back at once would leave the refused node selected.
    QTimer::singleShot(0, this, [this, Node] {
        for (QTreeWidgetItemIterator it(Tree); *it; ++it)
            if (*it == Node) {
                FFillingTree = true;
                Tree->setCurrentItem(Node);
                FFillingTree = false;
                return;
            }
    });
}

void TChartEditForm::TreeSelect(QTreeWidgetItem* Node)
{
    if (!FTreePanel || !Node || !FChart)
        return;
    QObject* object = NodeObject(Node);
    switch (NodeKind(Node)) {
    case tnTab:
        ShowInTreePanel(qobject_cast<QWidget*>(object));
        break;
    case tnSeries:
        if (auto* series = qobject_cast<TChartSeries*>(object)) {
            TheSeries = series;
            LBSeries->ClearSelection();
            LBSeries->SelectSeriesRow(series);
            if (TabOffered(TabSeries) || FTreeShown.Sheet == TabSeries)
                ShowInTreePanel(TabSeries);
        }
        break;
    case tnTool:
        ShowInTreePanel(TabTools);
        if (auto* tools = qobject_cast<TFormPlotTools*>(PageOf(TabTools)))
            tools->SelectTool(qobject_cast<TPlotCustomTool*>(object));
        break;
    case tnAxis:
        ShowInTreePanel(TabAxis);
        if (auto* axis = qobject_cast<TFormPlotAxis*>(PageOf(TabAxis)))
            axis->SetAxis(qobject_cast<TChartAxis*>(object));
        break;
    case tnTitle:
        ShowInTreePanel(TabTitle);
        if (TEditorPage* titles = PageOf(TabTitle))
            titles->SetTarget(object);
        break;
    default:
        break;
    }
}

void TChartEditForm::RestoreSeriesTab()
{
    if (FTreeShown.Sheet == TabSeries)
        ReturnTreeContent();
}

void TChartEditForm::EndTreeMode()
{
    if (!FTreePanel)
        return;
    FFillingTree = true;
    ReturnTreeContent();
    FTreeWidth = Tree->width();
    delete FTreePanel;
    FTreePanel = nullptr;
    MainPage->show();
    // The width the window had without the tree; the tree's own width is
    // kept for the next time.
    resize(FWidthWithoutTree, height());
    TreeSplitter->setSizes({FTreeWidth, FWidthWithoutTree});
}

void TChartEditForm::resizeEvent(QResizeEvent* Event)
{
    QDialog::resizeEvent(Event);
    if (FTreePanel && !FFillingTree)
        FWidthWithoutTree = std::max(100, width() - Tree->width() - TreeSplitter->handleWidth());
    // Widened to its minimum by a page made just now: the window moves back
    // onto the screen.
    const bool grewToMinimum = (width() > Event->oldSize().width() && width() == minimumWidth()) ||
                               (height() > Event->oldSize().height() && height() == minimumHeight());
    if (isVisible() && Event->oldSize().isValid() && grewToMinimum)
        KeepOnScreen();
}

} // namespace lp
