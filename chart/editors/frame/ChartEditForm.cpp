#include "chart/editors/frame/ChartEditForm.h"

#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/EditorPageRegistry.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/axis/AxisEditorPage.h"
#include "chart/editors/frame/ChartListBox.h"
#include "chart/editors/tools/ToolsPage.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotTools.h"
#include "platform/base/Exception.h"
#include "platform/ui/Dialogs.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QTreeWidget>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>
#include <optional>

namespace lp {

namespace {

// The window's unscaled default size: stored sizes equal to it are not
// written.
constexpr int DefaultWidth = 414;
constexpr int DefaultHeight = 347;
constexpr int MinimumStoredSize = 100;

QRect ScreenArea(const QWidget& Widget)
{
    const QScreen* screen = Widget.screen() ? Widget.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 800, 600);
}

// Stored places apply on X11 and the like; on Wayland the compositor
// places windows.
bool WindowsArePlacedByTheCompositor()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

template <class T>
T* Named(T* Control, const char* Name)
{
    Control->setObjectName(QString::fromLatin1(Name));
    return Control;
}

} // namespace

std::function<int()>& CaptionButtonHeightMetric()
{
    static std::function<int()> metric = [] { return 18; };
    return metric;
}

std::function<void(QWidget*, int)>& ChartEditorHelpHook()
{
    static std::function<void(QWidget*, int)> hook;
    return hook;
}

std::vector<TChartEditorHook>& ChartEditorHooks()
{
    static std::vector<TChartEditorHook> hooks;
    return hooks;
}

// --- Building ------------------------------------------------------------------------------------

TChartEditForm::TChartEditForm(QWidget* Parent) : QDialog(Parent)
{
    setObjectName(QStringLiteral("ChartEditForm"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_AlwaysShowToolTips);

    MainPage = Named(new QTabWidget(this), "MainPage");
    TabChart = Named(new QWidget, "TabChart");
    MainPage->addTab(TabChart, QStringLiteral("Chart"));
    SubPage = Named(new QTabWidget(TabChart), "SubPage");
    auto* chartLayout = new QVBoxLayout(TabChart);
    chartLayout->setContentsMargins(4, 4, 4, 4);
    chartLayout->addWidget(SubPage);

    TabSeriesList = BuildSeriesListTab();
    SubPage->addTab(TabSeriesList, QStringLiteral("Series"));
    auto chart = [this]() -> QObject* { return FChart.data(); };
    auto chartPart = [this](QPointer<QObject>* Chosen, const char* Property) {
        return [this, Chosen, Property]() -> QObject* {
            if (*Chosen)
                return Chosen->data();
            return ReadObjectPath(FChart, QString::fromLatin1(Property));
        };
    };
    TabGeneral = AddPageTab(SubPage, "TabGeneral", QStringLiteral("General"), QStringLiteral("TFormPlotGeneral"), chart);
    TabAxis = AddPageTab(SubPage, "TabAxis", QStringLiteral("Axis"), QStringLiteral("TFormPlotAxis"),
                         [this]() -> QObject* { if (EditAxis)
                return EditAxis.data();
            return FChart ? static_cast<QObject*>(FChart->LeftAxis()) : nullptr; });
    TabTitle = AddPageTab(SubPage, "TabTitle", QStringLiteral("Titles"), QStringLiteral("TFormPlotTitle"),
                          chartPart(&EditTitle, "Title"));
    TabLegend = AddPageTab(SubPage, "TabLegend", QStringLiteral("Legend"), QStringLiteral("TFormPlotLegend"),
                           [this]() -> QObject* { return ReadObjectPath(FChart, QStringLiteral("Legend")); });
    TabPanel = AddPageTab(SubPage, "TabPanel", QStringLiteral("Panel"), QStringLiteral("TFormPlotPanel"), chart);
    TabPaging = AddPageTab(SubPage, "TabPaging", QStringLiteral("Paging"), QStringLiteral("TFormPlotPage"), chart);
    TabWalls = AddPageTab(SubPage, "TabWalls", QStringLiteral("Walls"), QStringLiteral("TFormPlotWall"),
                          chartPart(&EditWall, "LeftWall"));
    Tab3D = AddPageTab(SubPage, "Tab3D", QStringLiteral("3D"), QStringLiteral("TFormPlot3D"), chart);
    TabSeries = AddPageTab(MainPage, "TabSeries", QStringLiteral("Series"), QStringLiteral("TFormPlotSeries"),
                           [this]() -> QObject* { return TheSeries.data(); });
    // The data, export and print tabs are the window's own (no class name).
    TabData = AddPageTab(MainPage, "TabData", QStringLiteral("Data"), QString(), chart);
    TabData->layout()->addWidget(BuildDataTab());
    TabTools = AddPageTab(MainPage, "TabTools", QStringLiteral("Tools"), QStringLiteral("TFormPlotTools"), chart);
    TabExport = AddPageTab(MainPage, "TabExport", QStringLiteral("Export"), QString(), chart);
    TabPrint = AddPageTab(MainPage, "TabPrint", QStringLiteral("Print"), QString(), chart);

    PanBottom = Named(new QWidget(this), "PanBottom");
    ButtonHelp = Named(new QPushButton(QStringLiteral("&Help..."), PanBottom), "ButtonHelp");
    BClose = Named(new QPushButton(QStringLiteral("Close"), PanBottom), "BClose");
    BClose->setDefault(true);
    auto* bottom = new QHBoxLayout(PanBottom);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addWidget(ButtonHelp);
    bottom->addStretch();
    bottom->addWidget(BClose);

    Tree = Named(new QTreeWidget(this), "Tree");
    Tree->setHeaderHidden(true);
    ConnectTree();
    TreeSplitter = Named(new QSplitter(Qt::Horizontal, this), "TreeSplitter");
    TreeSplitter->addWidget(Tree);
    TreeSplitter->addWidget(MainPage);
    TreeSplitter->setChildrenCollapsible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    // The window is never smaller than what its layout needs: every control
    // of the pages made so far is in reach; a page made later that needs
    // more room widens the window.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    layout->addWidget(TreeSplitter, 1);
    layout->addWidget(PanBottom);

    // The caption-button term keeps the client area when the window manager
    // draws taller title bars.
    const int dpi = logicalDpiY() > 0 ? logicalDpiY() : 96;
    resize(DefaultWidth * dpi / 96, DefaultHeight * dpi / 96 + CaptionButtonHeightMetric()() - 18);

    KeepTabRowsReachable(*this);
    MainPage->setCurrentWidget(TabChart);
    SubPage->setCurrentWidget(TabSeriesList);
    FLastMainTab = TabChart;
    MainPage->setEnabled(false);
    SubPage->setEnabled(false);
    RememberPosition = ReadEditorRegBoolean(QStringLiteral("RememberPosition"), true);
    RememberSize = ReadEditorRegBoolean(QStringLiteral("RememberSize"), true);
    Tree->setVisible(ReadEditorRegBoolean(QStringLiteral("TreeMode"), false));

    connect(BClose, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(ButtonHelp, &QPushButton::clicked, this, [this] {
        if (ChartEditorHelpHook())
            ChartEditorHelpHook()(this, HelpContext);
    });
    connect(MainPage, &QTabWidget::currentChanged, this, [this](int Index) {
        QWidget* tab = MainPage->widget(Index);
        // The page being left may refuse (changes not applied, a running
        // animation): its tab stays.
        if (FLastMainTab && tab != FLastMainTab && MainPage->indexOf(FLastMainTab) >= 0 &&
            !MayLeaveTab(FLastMainTab)) {
            QSignalBlocker block(MainPage);
            MainPage->setCurrentWidget(FLastMainTab);
            return;
        }
        FLastMainTab = tab;
        TabActivated(tab);
    });
    connect(SubPage, &QTabWidget::currentChanged, this, [this](int Index) { TabActivated(SubPage->widget(Index)); });
}

QWidget* TChartEditForm::BuildSeriesListTab()
{
    auto* tab = Named(new QWidget, "TabSeriesList");
    LBSeries = Named(new TChartListBox(tab), "LBSeries");
    BMoveUP = Named(new QToolButton(tab), "BMoveUP");
    BMoveDown = Named(new QToolButton(tab), "BMoveDown");
    BMoveUP->setToolTip(QStringLiteral("Move up"));
    BMoveDown->setToolTip(QStringLiteral("Move down"));
    BAddSeries = Named(new QPushButton(QStringLiteral("&Add..."), tab), "BAddSeries");
    BDeleteSeries = Named(new QPushButton(QStringLiteral("&Delete"), tab), "BDeleteSeries");
    BRenameSeries = Named(new QPushButton(QStringLiteral("&Title..."), tab), "BRenameSeries");
    BCloneSeries = Named(new QPushButton(QStringLiteral("C&lone"), tab), "BCloneSeries");
    BChangeTypeSeries = Named(new QPushButton(QStringLiteral("&Change..."), tab), "BChangeTypeSeries");
    BAddGroup = Named(new QToolButton(tab), "BAddGroup");
    BAddGroup->setText(QStringLiteral("+"));
    BDeleteGroup = Named(new QToolButton(tab), "BDeleteGroup");
    BDeleteGroup->setText(QStringLiteral("-"));
    BDeleteGroup->setEnabled(false);
    BRenameGroup = Named(new QToolButton(tab), "BRenameGroup");
    BRenameGroup->setText(QStringLiteral("..."));
    BRenameGroup->setEnabled(false);
    CBNames = Named(new QCheckBox(QStringLiteral("&View Series Names"), tab), "CBNames");
    PanelGroups = Named(new QWidget(tab), "PanelGroups");
    Groups = Named(new QListWidget(PanelGroups), "Groups");
    auto* groupsLayout = new QVBoxLayout(PanelGroups);
    groupsLayout->setContentsMargins(0, 0, 0, 0);
    groupsLayout->addWidget(Groups);
    PanelGroups->hide();
    PanelGroups->setMaximumWidth(140);

    // The top panel: group buttons and the names switch.
    auto* topPanel = Named(new QWidget(tab), "PanelTop");
    auto* top = new QHBoxLayout(topPanel);
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(BAddGroup);
    top->addWidget(BDeleteGroup);
    top->addWidget(BRenameGroup);
    top->addWidget(CBNames);
    top->addStretch();
    auto* arrows = new QHBoxLayout;
    arrows->addWidget(BMoveUP);
    arrows->addWidget(BMoveDown);
    arrows->addStretch();
    auto* right = new QVBoxLayout;
    right->addLayout(arrows);
    for (QPushButton* button : {BAddSeries, BDeleteSeries, BRenameSeries, BCloneSeries, BChangeTypeSeries})
        right->addWidget(button);
    right->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addWidget(PanelGroups);
    middle->addWidget(LBSeries, 1);
    middle->addLayout(right);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(topPanel);
    layout->addLayout(middle, 1);

    LBSeries->OnRefresh = [this](TChartListBox*) {
        RefreshButtons();
        FillTreeSeries();
    };
    // A series removed from the chart leaves the tree too.
    LBSeries->OnRemovedSeries = [this](TChartListBox*, TChartSeries*) { FillTreeSeries(); };
    LBSeries->OnDblClickSeries = [this](TChartListBox*, int) {
        TheSeries = LBSeries->CurrentSeries();
        if (QTreeWidgetItem* node = TreeNodeOf(TheSeries.data()))
            Tree->setCurrentItem(node);
        else if (TabOffered(TabSeries))
            MainPage->setCurrentWidget(TabSeries);
    };
    connect(BAddGroup, &QToolButton::clicked, this, &TChartEditForm::AddGroup);
    connect(BRenameGroup, &QToolButton::clicked, this, &TChartEditForm::RenameGroup);
    connect(BDeleteGroup, &QToolButton::clicked, this, &TChartEditForm::DeleteGroup);
    connect(Groups, &QListWidget::itemClicked, this, &TChartEditForm::GroupsClicked);
    connect(Groups, &QListWidget::itemChanged, this, &TChartEditForm::GroupChecked);
    LBSeries->viewport()->installEventFilter(this);
    connect(BAddSeries, &QPushButton::clicked, this, &TChartEditForm::AddSeriesClick);
    connect(BDeleteSeries, &QPushButton::clicked, this, [this] { LBSeries->DeleteSelected(); });
    connect(BRenameSeries, &QPushButton::clicked, this, [this] {
        TChartSeries* series = LBSeries->CurrentSeries();
        if (LBSeries->RenameWithDialog() && series)
            if (QTreeWidgetItem* node = TreeNodeOf(series)) {
                const QSignalBlocker block(Tree);
                node->setText(0, SeriesTitleOrName(series));
            }
    });
    connect(BCloneSeries, &QPushButton::clicked, this, [this] { LBSeries->CloneSelected(); });
    connect(BChangeTypeSeries, &QPushButton::clicked, this, [this] { LBSeries->ChangeTypeOfSelected(); });
    connect(BMoveUP, &QToolButton::clicked, this, [this] { LBSeries->MoveRowUp(); });
    connect(BMoveDown, &QToolButton::clicked, this, [this] { LBSeries->MoveRowDown(); });
    connect(CBNames, &QCheckBox::toggled, this, [this](bool On) {
        LBSeries->SetShowSeriesNames(On);
        BRenameSeries->setText(On ? QStringLiteral("&Name...") : QStringLiteral("&Title..."));
    });
    return tab;
}

QWidget* TChartEditForm::AddPageTab(QTabWidget* Pages, const char* Name, const QString& Caption,
                                    const QString& ClassName, std::function<QObject*()> Target)
{
    auto* tab = Named(new QWidget, Name);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    Pages->addTab(tab, Caption);
    FTabs.push_back({tab, Pages, ClassName, std::move(Target)});
    Pages->setTabVisible(Pages->indexOf(tab), ClassName.isEmpty() || IsEditorPageRegistered(ClassName));
    return tab;
}

TChartEditForm::~TChartEditForm()
{
    EndTreeMode();
    SaveGeometry();
}

// --- Tabs and pages ------------------------------------------------------------------------------

const TChartEditForm::TPageTab* TChartEditForm::FindTab(QWidget* Tab) const
{
    for (const TPageTab& entry : FTabs)
        if (entry.Tab == Tab)
            return &entry;
    return nullptr;
}

TEditorPage* TChartEditForm::PageOf(QWidget* Tab) const
{
    if (Tab == TabSeries)
        return FSeriesPage.data();
    return Tab ? Tab->findChild<TEditorPage*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

bool TChartEditForm::TabOffered(QWidget* Tab) const
{
    QTabWidget* pages = Tab == TabChart ? MainPage : nullptr;
    if (const TPageTab* entry = FindTab(Tab))
        pages = entry->Pages;
    else if (Tab == TabSeriesList)
        pages = SubPage;
    return pages && pages->isTabVisible(pages->indexOf(Tab));
}

void TChartEditForm::SetTabShown(QWidget* Tab, bool Shown)
{
    QTabWidget* pages = Tab == TabSeriesList ? SubPage : nullptr;
    if (const TPageTab* entry = FindTab(Tab))
        pages = entry->Pages;
    if (pages)
        pages->setTabVisible(pages->indexOf(Tab), Shown);
}

void TChartEditForm::TabActivated(QWidget* Tab)
{
    if (HighlightTabs) {
        for (QTabWidget* pages : {MainPage, SubPage})
            for (int i = 0; i < pages->count(); ++i)
                pages->tabBar()->setTabTextColor(i, pages->widget(i) == Tab ? palette().color(QPalette::Highlight)
                                                                             : palette().color(QPalette::WindowText));
    }
    if (!FChart || !Tab)
        return;
    if (Tab == TabSeries)
        ShowSeriesPage();
    else if (Tab == TabData)
        ActivateDataTab();
    else if (Tab == TabExport)
        ActivateExportTab();
    else if (Tab == TabPrint)
        ActivatePrintTab();
    else if (const TPageTab* entry = FindTab(Tab); entry && !PageOf(Tab) && !entry->ClassName.isEmpty()) {
        if (TEditorPage* page = CreateEditorPage(entry->ClassName, Tab)) {
            page->setWindowFlags(Qt::Widget);
            Tab->layout()->addWidget(page);
            PageMade(Tab, page);
            page->SetTarget(entry->Target());
            CallControlHook(page);
            page->show();
        }
    } else if (TEditorPage* page = PageOf(Tab); page && Tab == TabTools) {
        // The tools page shows the chart's tools as they are now (the 3-D
        // page refreshes itself when it shows again).
        page->Refresh();
    }
    if (Tab == TabTools && EditTool) {
        if (auto* tools = qobject_cast<TFormPlotTools*>(PageOf(TabTools)))
            tools->SelectTool(qobject_cast<TPlotCustomTool*>(EditTool.data()));
        EditTool = nullptr;
    }
    RunHooks(Tab);
}

TEditorPage* TChartEditForm::ShowSeriesPage()
{
    // The series chosen in the list, else the one last chosen.
    if (TChartSeries* selected = LBSeries->CurrentSeries())
        TheSeries = selected;
    if (!FSeriesPage) {
        const TPageTab* entry = FindTab(TabSeries);
        FSeriesPage = CreateEditorPage(entry->ClassName, TabSeries);
        if (!FSeriesPage)
            return nullptr;
        FSeriesPage->setWindowFlags(Qt::Widget);
        TabSeries->layout()->addWidget(FSeriesPage);
        // The page's options, by the names of its properties.
        FSeriesPage->setProperty("ShowDataSourceTab", (Options & ceSeriesDataSource) != 0);
        FSeriesPage->setProperty("ShowGeneralTab", (HiddenTabs & (1u << cetSeriesGeneral)) == 0);
        FSeriesPage->setProperty("ShowMarksTab", (HiddenTabs & (1u << cetSeriesMarks)) == 0);
        FSeriesPage->setProperty("ShowPersistentCheck", ShowPersistent);
        FSeriesPage->setProperty("SeriesListBox", QVariant::fromValue<QObject*>(LBSeries));
        CallControlHook(FSeriesPage);
        FSeriesPage->show();
    }
    FSeriesPage->SetTarget(TheSeries.data());
    return FSeriesPage;
}

// Wires a page made for its tab to the window.
void TChartEditForm::PageMade(QWidget* Tab, TEditorPage* Page)
{
    if (Tab == TabAxis) {
        // An axis that changes direction changes the series page's axis
        // choices.
        if (auto* axis = qobject_cast<TFormPlotAxis*>(Page))
            axis->OnChangeHorizAxis = [this](TChartAxis*) {
                if (FSeriesPage)
                    FSeriesPage->Refresh();
            };
    } else if (Tab == TabTools) {
        if (auto* tools = qobject_cast<TFormPlotTools*>(Page)) {
            tools->OnAddTool = [this](TPlotCustomTool* Tool) { ToolAdded(Tool); };
            tools->OnDeleteTool = [this](TPlotCustomTool* Tool) { ToolDeleted(Tool); };
        }
    }
}

void TChartEditForm::AddSeriesClick()
{
    // Tree mode may have taken the series tab out of the main tabs.
    RestoreSeriesTab();
    TChartSeries* added = LBSeries->AddFromGallery();
    if (added) {
        TheSeries = added;
        // A series made from the functions gallery opens on its data source.
        if (added->SeriesFunction() && TabOffered(TabSeries)) {
            if (QTreeWidgetItem* node = TreeNodeOf(added)) {
                Tree->setCurrentItem(node);
            } else {
                MainPage->setCurrentWidget(TabSeries);
            }
            if (FSeriesPage) {
                FSeriesPage->setProperty("ActiveTab", QStringLiteral("Data Source"));
                FSeriesPage->Refresh();
            }
        }
    }
    // Tree mode shows the chosen node's content again.
    if (InTreeMode() && !FTreeShown.Sheet)
        TreeSelect(Tree->currentItem());
    if (LBSeries->isVisible() && LBSeries->isEnabled())
        LBSeries->setFocus();
}

TEditorPage* TChartEditForm::PageInView(QWidget* Tab) const
{
    return PageOf(Tab == TabChart ? SubPage->currentWidget() : Tab);
}

bool TChartEditForm::MayLeaveTab(QWidget* Tab) const
{
    TEditorPage* page = PageInView(Tab);
    return !page || page->MayLeave();
}

void TChartEditForm::RunHooks(QWidget* Tab)
{
    for (const TChartEditorHook& hook : ChartEditorHooks())
        if (hook)
            hook(this, Tab);
}

void TChartEditForm::RefreshButtons()
{
    TChartSeries* series = LBSeries->CurrentSeries();
    const bool sel = FChart && FChart->SeriesCount() > 0 && LBSeries->focusPolicy() != Qt::NoFocus && series;
    const int flags = series ? series->Style() : 0;
    const int selected = LBSeries->SelectedCount();
    BAddSeries->setEnabled(Options & ceAllowAdd);
    BDeleteSeries->setEnabled(sel && (Options & ceAllowDelete) && !(flags & (SeriesFlagLocked | SeriesFlagNoDelete)));
    BRenameSeries->setEnabled(sel && selected < 2 && (Options & ceAllowTitle));
    const bool changeType = sel && (Options & ceAllowChangeType) && !(flags & SeriesFlagNoChangeType);
    BChangeTypeSeries->setEnabled(changeType);
    LBSeries->EnableChangeType = changeType;
    BCloneSeries->setEnabled(sel && selected < 2 && (Options & ceAllowClone) &&
                             !(flags & (SeriesFlagLocked | SeriesFlagNoClone)));
    const int row = LBSeries->ItemIndex();
    BMoveDown->setEnabled(sel && selected <= 1 && row < LBSeries->Count() - 1);
    BMoveUP->setEnabled(sel && selected <= 1 && row > 0);
}

// --- Chart and geometry ----------------------------------------------------------------------------

void TChartEditForm::SetChart(TCustomAxisPanel* Value)
{
    FChart = Value;
    LBSeries->SetChart(Value);
    MainPage->setEnabled(Value != nullptr);
    SubPage->setEnabled(Value != nullptr);
    if (Value)
        RestoreGeometry();
}

void TChartEditForm::RestoreGeometry()
{
    QPoint place = pos();
    QSize size = this->size();
    if (RememberPosition || RememberSize) {
        if (RememberPosition) {
            if (const std::optional<int> left = ReadEditorRegValue(QStringLiteral("Left"))) {
                FPlaced = true;
                place.setX(std::max(0, *left));
                place.setY(std::max(0, ReadEditorRegValue(QStringLiteral("Top")).value_or(0)));
            }
        }
        if (RememberSize) {
            if (const std::optional<int> width = ReadEditorRegValue(QStringLiteral("Width")))
                size.setWidth(std::max(MinimumStoredSize, *width));
            if (const std::optional<int> height = ReadEditorRegValue(QStringLiteral("Height")))
                size.setHeight(std::max(MinimumStoredSize, *height));
            if (const std::optional<int> treeWidth = ReadEditorRegValue(QStringLiteral("TreeWidth"))) {
                FTreeWidth = std::max(10, *treeWidth);
                Tree->resize(FTreeWidth, Tree->height());
            }
        }
    }
    resize(size);
    // A place beyond the screen puts the window's far edge at the screen's
    // edge, never left of or above the screen's origin.
    const QRect screen = ScreenArea(*this);
    if (screen.width() < place.x())
        place.setX(std::max(0, screen.width() - size.width()));
    if (screen.height() < place.y())
        place.setY(std::max(0, screen.height() - size.height()));
    if (FPlaced && !WindowsArePlacedByTheCompositor())
        move(place);
}

void TChartEditForm::KeepOnScreen()
{
    if (WindowsArePlacedByTheCompositor())
        return;
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    const QRect frame = frameGeometry();
    QPoint place = pos();
    if (frame.right() > room.right())
        place.rx() -= std::min(frame.right() - room.right(), frame.left() - room.left());
    if (frame.bottom() > room.bottom())
        place.ry() -= std::min(frame.bottom() - room.bottom(), frame.top() - room.top());
    if (place != pos())
        move(place);
}

void TChartEditForm::SaveGeometry()
{
    if (!FChart || !(RememberPosition || RememberSize))
        return;
    if (RememberPosition) {
        WriteEditorRegInteger(QStringLiteral("Left"), x());
        WriteEditorRegInteger(QStringLiteral("Top"), y());
    }
    if (RememberSize) {
        // With the tree shown, the width the window has without it (a
        // window held wider by its pages' needs cannot narrow to it).
        const int width = Tree->isVisible() && FWidthWithoutTree > 0 ? FWidthWithoutTree : this->width();
        if (width != DefaultWidth)
            WriteEditorRegInteger(QStringLiteral("Width"), width);
        if (height() != DefaultHeight)
            WriteEditorRegInteger(QStringLiteral("Height"), height());
        if (Tree->isVisible())
            WriteEditorRegInteger(QStringLiteral("TreeWidth"), Tree->width());
    }
}

// --- Show and close --------------------------------------------------------------------------------

void TChartEditForm::showEvent(QShowEvent* Event)
{
    if (!FPlaced && !FShown) {
        // Centred on the screen unless a stored place applies.
        const QRect screen = ScreenArea(*this);
        move(std::max(0, screen.center().x() - width() / 2), std::max(0, screen.center().y() - height() / 2));
    }
    QDialog::showEvent(Event);
    if (!FShown && FChart)
        FirstShow();
    FShown = true;
}

void TChartEditForm::FirstShow()
{
    CBNames->setVisible(FChart->IsDesigning());
    LoadArrowBitmaps(BMoveUP, BMoveDown);
    if (!PlotToolTypes() || PlotToolTypes()->Count() == 0)
        SetTabShown(TabTools, false);
    if (windowTitle().isEmpty())
        setWindowTitle(QStringLiteral("Editing %1").arg(FChart->Name()));
    const std::pair<int, QWidget*> hideable[] = {
        {cetSeriesList, TabSeriesList}, {cetGeneral, TabGeneral}, {cetAxis, TabAxis},   {cetTitles, TabTitle},
        {cetLegend, TabLegend},         {cetPanel, TabPanel},     {cetPaging, TabPaging}, {cetWalls, TabWalls},
        {cet3D, Tab3D},                 {cetMainSeries, TabSeries}, {cetData, TabData}, {cetExport, TabExport},
        {cetTools, TabTools},           {cetPrint, TabPrint}};
    for (const auto& [bit, tab] : hideable)
        if (HiddenTabs & (1u << bit))
            SetTabShown(tab, false);
    RunHooks(nullptr);
    if (Tree->isVisible())
        BuildTreeMode();
    OpenStartPage();

    const bool groups = Options & ceShowGroups;
    for (QWidget* control : {static_cast<QWidget*>(BAddGroup), static_cast<QWidget*>(BDeleteGroup),
                             static_cast<QWidget*>(BRenameGroup), PanelGroups})
        control->setVisible(groups);
    // An empty top panel takes no room.
    TabSeriesList->findChild<QWidget*>(QStringLiteral("PanelTop"))->setVisible(groups || CBNames->isVisibleTo(TabSeriesList));
    if (groups)
        FillGroups();
    BMoveUP->setVisible(Options & ceAllowMoveSeries);
    BMoveDown->setVisible(Options & ceAllowMoveSeries);
    LBSeries->EnableDragSeries = Options & ceAllowMoveSeries;

    if (EditSeries) {
        LBSeries->ClearSelection();
        LBSeries->SelectSeriesRow(EditSeries);
        TheSeries = EditSeries;
        // In tree mode the series' node shows its page.
        if (QTreeWidgetItem* node = TreeNodeOf(EditSeries.data()))
            Tree->setCurrentItem(node);
        else if (TabOffered(TabSeries))
            MainPage->setCurrentWidget(TabSeries);
    } else if (EditTool && TabOffered(TabTools)) {
        if (QTreeWidgetItem* node = TreeNodeOf(EditTool.data()))
            Tree->setCurrentItem(node);
        else
            MainPage->setCurrentWidget(TabTools);
        EditTool = nullptr;
    } else if (StartPage == -1) {
        LBSeries->setFocus();
        LBSeries->SetItemIndex(0);
    }
    RefreshButtons();
    // The panels shown or hidden above take their room now, not at the next
    // event round.
    TabSeriesList->layout()->activate();
}

void TChartEditForm::OpenStartPage()
{
    if (StartPage == -1)
        return;
    const std::pair<int, QWidget*> mainTabs[] = {{12, TabData}, {13, TabExport}, {15, TabTools}, {16, TabPrint}};
    for (const auto& [index, tab] : mainTabs)
        if (StartPage == index && TabOffered(tab)) {
            MainPage->setCurrentWidget(tab);
            return;
        }
    if (StartPage >= 0 && StartPage <= 8) {
        // The tab of that index, or the nearest shown one after, else before.
        for (int i = StartPage; i < SubPage->count(); ++i)
            if (SubPage->isTabVisible(i)) {
                SubPage->setCurrentIndex(i);
                return;
            }
        for (int i = StartPage - 1; i >= 0; --i)
            if (SubPage->isTabVisible(i)) {
                SubPage->setCurrentIndex(i);
                return;
            }
        for (QWidget* tab : {TabData, TabTools, TabExport, TabPrint})
            if (TabOffered(tab)) {
                MainPage->setCurrentWidget(tab);
                return;
            }
    }
    if ((StartPage == 9 || StartPage == 10) && LBSeries->Count() > 0) {
        TheSeries = LBSeries->CurrentSeries() ? LBSeries->CurrentSeries() : LBSeries->Model().Series(0);
        if (TEditorPage* page = TabOffered(TabSeries) ? ShowSeriesPage() : nullptr) {
            page->setProperty("ActiveTab", StartPage == 9 ? QStringLiteral("General") : QStringLiteral("Marks"));
            MainPage->setCurrentWidget(TabSeries);
        }
    }
}

std::vector<QPointer<TEditorPage>> TChartEditForm::MadePages() const
{
    std::vector<QPointer<TEditorPage>> pages;
    auto add = [&pages](TEditorPage* Page) {
        if (Page && std::find(pages.begin(), pages.end(), Page) == pages.end())
            pages.emplace_back(Page);
    };
    add(FSeriesPage);
    for (const TPageTab& entry : FTabs)
        add(PageOf(entry.Tab));
    std::stable_partition(pages.begin(), pages.end(),
                          [](const QPointer<TEditorPage>& Page) { return Page->isVisible(); });
    return pages;
}

bool TChartEditForm::PagesMayClose() const
{
    // A page's question runs an event loop: a page freed meanwhile is not
    // asked.
    for (const QPointer<TEditorPage>& page : MadePages())
        if (page && !page->MayLeave())
            return false;
    return true;
}

void TChartEditForm::done(int Result)
{
    if (PagesMayClose())
        QDialog::done(Result);
}

// --- Opening the editor ----------------------------------------------------------------------------

void EditChart(TCustomAxisPanel* Chart, QWidget* Owner)
{
    if (!Chart)
        return;
    TChartEditForm form(Owner);
    form.SetChart(Chart);
    CallControlHook(&form);
    form.exec();
}

// --- The graphic editor ----------------------------------------------------------------------------

void ShowSeriesEditor(TChartSeries* Series)
{
    if (!Series || !Series->ParentChart() || !IsEditorPageRegistered(QStringLiteral("TFormPlotSeries")))
        return;
    auto form = std::make_unique<TChartEditForm>();
    form->ButtonHelp->hide();
    form->SetChart(Series->ParentChart());
    form->EditSeries = Series;
    form->TheSeries = Series;
    CallControlHook(form.get());
    form->show();
    // The series page alone fills the window, reduced to the series' format.
    if (TEditorPage* page = form->ShowSeriesPage()) {
        page->setParent(form.get());
        form->layout()->removeWidget(form->TreeSplitter);
        form->TreeSplitter->hide();
        static_cast<QVBoxLayout*>(form->layout())->insertWidget(0, page, 1);
        page->setProperty("GraphicEditor", true);
        page->show();
    }
    form->MainPage->hide();
    form->setWindowTitle(QStringLiteral("Graphic editor"));
    form->hide();
    form->exec();
}

} // namespace lp
