#pragma once
// The chart editor window: a chart edited through two levels of tabs, one
// editor page per tab, made when its tab is first shown.
//
//   TChartEditForm (QDialog)
//     ├─ MainPage (tabs): TabChart ─> SubPage (tabs): TabSeriesList (the
//     │    series list and its buttons), TabGeneral ... Tab3D; TabSeries,
//     │    TabData, TabTools, TabExport, TabPrint
//     ├─ Tree (tree mode): a node per tab, series, axis, title and tool;
//     │    the chosen node's tab sheet shown in TreePanel
//     └─ PanBottom: ButtonHelp, BClose
//
// A page tab holds the page registered for its class name
// (EditorPageRegistry.h); while none is registered the tab is hidden. The
// data, export and print tabs are the window's own: the data grid with its
// switches and pop-up menu, the export dialog and the print preview, each
// made on its tab's first activation. The window's place and size are kept
// in the editor options between runs. Tree mode (ChartEditFormTree.cpp)
// takes the tab sheets out of their tab widgets while it runs and puts
// them back when the window goes.
//
// A page may refuse to be left (MayLeave: pending changes asked about, a
// running animation). Leaving its tab or tree node asks the page in view,
// and every way of closing the window (Close, Escape, the close box) asks
// every page made, so the user answers about a page while it shows.

#include "chart/editors/EditorPage.h"

#include <QtCore/QPointer>
#include <QtWidgets/QDialog>

#include <functional>
#include <vector>

class QAction;
class QCheckBox;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QTreeWidgetItem;
class QPushButton;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QSplitter;

namespace lp {

class TChartGrid;
class TChartGridNavigator;
class TChartListBox;
class TChartPreview;
class TChartSeries;
class TCustomAxisPanel;
class TPlotCustomTool;
class TPlotExportForm;
class TSeriesGroup;

// Option bits of the editor.
enum TChartEditorOption : unsigned {
    ceAllowAdd = 1u << 0,
    ceAllowDelete = 1u << 1,
    ceAllowChangeType = 1u << 2,
    ceAllowClone = 1u << 3,
    ceSeriesDataSource = 1u << 4,
    ceAllowTitle = 1u << 5,
    ceShowGroups = 1u << 7,
    ceGroupAllEntry = 1u << 8,
    ceAllowMoveSeries = 1u << 9,
};
inline constexpr unsigned DefaultChartEditorOptions = 0x037F;

// The tabs HiddenTabs hides, by bit.
enum TChartEditorTab : int {
    cetSeriesList = 0,
    cetGeneral = 1,
    cetAxis = 2,
    cetTitles = 3,
    cetLegend = 4,
    cetPanel = 5,
    cetPaging = 6,
    cetWalls = 7,
    cet3D = 8,
    cetSeriesGeneral = 9,
    cetSeriesMarks = 10,
    cetMainSeries = 11,
    cetData = 12,
    cetExport = 13,
    cetExportData = 14,
    cetTools = 15,
    cetPrint = 16,
};

class TChartEditForm : public QDialog {
    Q_OBJECT
public:
    // The help context of the window.
    static constexpr int HelpContext = 726;

    explicit TChartEditForm(QWidget* Parent = nullptr);
    ~TChartEditForm() override;

    TCustomAxisPanel* Chart() const { return FChart.data(); }
    // Binds the series list, enables the tabs and restores the window's
    // place and size.
    void SetChart(TCustomAxisPanel* Value);

    QPointer<TChartSeries> EditSeries;
    QPointer<TChartSeries> TheSeries;
    QPointer<QObject> EditTool;
    QPointer<QObject> EditAxis;
    QPointer<QObject> EditTitle;
    QPointer<QObject> EditWall;
    int StartPage = -1;
    unsigned Options = DefaultChartEditorOptions;
    unsigned HiddenTabs = 0;
    bool ShowPersistent = false;
    bool HighlightTabs = false;
    bool RememberPosition = true;
    bool RememberSize = true;

    QTabWidget* MainPage;
    QWidget* TabChart;
    QTabWidget* SubPage;
    QWidget* TabSeriesList;
    QWidget* TabGeneral;
    QWidget* TabAxis;
    QWidget* TabTitle;
    QWidget* TabLegend;
    QWidget* TabPanel;
    QWidget* TabPaging;
    QWidget* TabWalls;
    QWidget* Tab3D;
    QWidget* TabSeries;
    QWidget* TabData;
    QWidget* TabTools;
    QWidget* TabExport;
    QWidget* TabPrint;
    QWidget* PanBottom;
    QPushButton* ButtonHelp;
    QPushButton* BClose;
    QTreeWidget* Tree;
    QSplitter* TreeSplitter;

    TChartListBox* LBSeries;
    QToolButton* BMoveUP;
    QToolButton* BMoveDown;
    QPushButton* BAddSeries;
    QPushButton* BDeleteSeries;
    QPushButton* BRenameSeries;
    QPushButton* BCloneSeries;
    QPushButton* BChangeTypeSeries;
    QToolButton* BAddGroup;
    QToolButton* BDeleteGroup;
    QToolButton* BRenameGroup;
    QCheckBox* CBNames;
    QWidget* PanelGroups;
    QListWidget* Groups;

    // The data tab.
    TChartGrid* ChartGrid1;
    TChartGridNavigator* ChartGridNavigator1;
    QToolButton* SBGridText;
    QToolButton* SBGridCol;
    QToolButton* SBGrid3D;
    QToolButton* SBGridX;
    QMenu* PopupData;
    QAction* PopupEditColor;
    QAction* PopupDefaultColor;
    QAction* PopupMakeNull;
    QAction* PopupAppendRow;
    QAction* PopupDeleteRow;
    QAction* PopupTextFont;
    // The export dialog and print preview embedded in their tabs (nullptr
    // before their tabs' first activation).
    TPlotExportForm* ExportForm() const { return FExportForm; }
    TChartPreview* PreviewPage() const { return FPreviewPage; }
    // The panel that shows a node's content in tree mode (nullptr outside).
    QWidget* TreePanel() const { return FTreePanel; }

    // The page shown in Tab, nullptr before its first activation or when
    // none is registered for it.
    TEditorPage* PageOf(QWidget* Tab) const;
    // The series page, made on first use (nullptr while none is registered).
    TEditorPage* SeriesPage() const { return FSeriesPage; }
    // Makes or refreshes the series page for TheSeries.
    TEditorPage* ShowSeriesPage();
    // Whether Tab is offered (hidden tabs and tabs without a page are not).
    bool TabOffered(QWidget* Tab) const;
    // The series list buttons' states.
    void RefreshButtons();

    // Series groups: fills the group list; the group a row shows (nullptr
    // for "(all)"); adds, renames and deletes through the name question.
    void FillGroups();
    TSeriesGroup* GroupOfRow(int Row) const;
    void AddGroup();
    void RenameGroup();
    void DeleteGroup();
    // Moves the series into Group (out of every other group).
    void MoveSeriesToGroup(const std::vector<TChartSeries*>& Series, TSeriesGroup* Group);

    // Data tab: the switches from the grid, and the pop-up's entries shown
    // for the current cell.
    void RefreshDataButtons();
    void PrepareDataPopup();

    // Tree mode: builds the tree (on show when Tree is visible), selects a
    // node's content, and puts every tab sheet back.
    void BuildTreeMode();
    void TreeSelect(QTreeWidgetItem* Node);
    void EndTreeMode();
    bool InTreeMode() const { return FTreePanel != nullptr; }
    // The tree node of an object (series or tool) or a tab sheet, nullptr
    // when it has none.
    QTreeWidgetItem* TreeNodeOf(const QObject* Object) const;

    // Closes only when every page made agrees (MayLeave), the page in view
    // asked first; Close, Escape and the close box all end here.
    void done(int Result) override;

protected:
    void showEvent(QShowEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    struct TPageTab {
        QWidget* Tab;
        QTabWidget* Pages;
        QString ClassName;
        std::function<QObject*()> Target;
    };
    QWidget* AddPageTab(QTabWidget* Pages, const char* Name, const QString& Caption, const QString& ClassName,
                        std::function<QObject*()> Target);
    QWidget* BuildSeriesListTab();
    QWidget* BuildDataTab();
    void ActivateDataTab();
    void ActivateExportTab();
    void ActivatePrintTab();
    void PageMade(QWidget* Tab, TEditorPage* Page);
    void AddSeriesClick();
    void GroupsClicked(QListWidgetItem* Item);
    void GroupChecked(QListWidgetItem* Item);
    void ToolAdded(TPlotCustomTool* Tool);
    void ToolDeleted(TPlotCustomTool* Tool);
    // Tree mode: the content shown in the tree panel goes back to its place.
    void ReturnTreeContent();
    // Shows Tab's sheet (the whole SubPage for TabChart) in the tree panel
    // and makes its page.
    void ShowInTreePanel(QWidget* Tab);
    void FillTreeSeries();
    void ConnectTree();
    // Puts TabSeries back into MainPage when tree mode took it out.
    void RestoreSeriesTab();
    const TPageTab* FindTab(QWidget* Tab) const;
    void SetTabShown(QWidget* Tab, bool Shown);
    void TabActivated(QWidget* Tab);
    void RestoreGeometry();
    void SaveGeometry();
    // Moves the window left and up as far as needed (not past the screen's
    // free area's origin) to show it whole.
    void KeepOnScreen();
    void FirstShow();
    void OpenStartPage();
    void RunHooks(QWidget* Tab);
    // The page shown in Tab (for TabChart the chart tab in view), nullptr
    // when none; and whether it agrees to be left.
    TEditorPage* PageInView(QWidget* Tab) const;
    bool MayLeaveTab(QWidget* Tab) const;
    // The pages made (each once), those in view first; and whether every
    // one agrees to close.
    std::vector<QPointer<TEditorPage>> MadePages() const;
    bool PagesMayClose() const;
    // Tree mode: the user's choice of node; the page in view is asked
    // before a node showing other content is shown.
    void TreeCurrentChanged(QTreeWidgetItem* Current, QTreeWidgetItem* Previous);
    // Tree mode: the tab whose content a node shows, and the one shown.
    QWidget* TabOfNode(QTreeWidgetItem* Node) const;
    QWidget* TreeShownTab() const;
    // Tree mode: Node selected again after the event that tried to leave
    // it has been handled.
    void ReselectTreeNode(QTreeWidgetItem* Node);

    QPointer<TCustomAxisPanel> FChart;
    std::vector<TPageTab> FTabs;
    QPointer<TEditorPage> FSeriesPage;
    bool FShown = false;
    bool FPlaced = false;
    QWidget* FLastMainTab = nullptr;
    TPlotExportForm* FExportForm = nullptr;
    TChartPreview* FPreviewPage = nullptr;
    // Series list drags that end over a group.
    QPoint FGroupDragStart;
    bool FGroupDragArmed = false;

    // Tree mode.
    struct TTakenSheet {
        QWidget* Sheet = nullptr;
        QTabWidget* Pages = nullptr; // nullptr: SubPage taken from TabChart
        int Index = -1;
        QString Caption;
        bool Visible = true;
    };
    QWidget* FTreePanel = nullptr;
    TTakenSheet FTreeShown;
    int FWidthWithoutTree = 0;
    // The tree's width: 180 until the editor options give another.
    int FTreeWidth = 180;
    bool FFillingTree = false;
};

// The full editor on a chart, modal, with its default options; returns
// when the window closes. Nothing without a chart.
void EditChart(TCustomAxisPanel* Chart, QWidget* Owner = nullptr);

// The "Graphic editor" on one series: the series page of the editor
// reduced to the series' format, modal. Nothing while no series page is
// registered or the series has no chart.
void ShowSeriesEditor(TChartSeries* Series);

// The height of the window's caption buttons; the window manager draws the
// title bar, so this is a replaceable metric (18 by default).
std::function<int()>& CaptionButtonHeightMetric();
// What "&Help..." runs; the application points it at its manual. Empty:
// the button does nothing.
std::function<void(QWidget* Form, int HelpContext)>& ChartEditorHelpHook();
// Procedures called with the form and a tab (nullptr on show); none is
// registered by the editors themselves.
using TChartEditorHook = std::function<void(TChartEditForm* Form, QWidget* Tab)>;
std::vector<TChartEditorHook>& ChartEditorHooks();

} // namespace lp
