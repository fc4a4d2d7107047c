#pragma once
// The "Chart Tools Gallery": the registered tool types on three tabs
// (series tools, axis tools, the others), one of which the user picks to
// add to a chart.
//
//   TPlotToolsGallery (QDialog)
//     ├─ TabControl1 (tab bar "Series", "Axis", "Other") over LBTool
//     └─ "&Add" (disabled until an entry is picked), "Cancel"
//
// Entries are sorted by the tool type's description and carry the tool
// class. Modal showing goes through ToolsGalleryShowService(), which tests
// replace to drive the gallery without an event loop of its own.

#include <QtGui/QIcon>
#include <QtWidgets/QDialog>

#include <functional>

class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabBar;

namespace lp {

class TPlotToolsGallery : public QDialog {
    Q_OBJECT
public:
    // The tabs, by index.
    enum TToolsTab { ttSeries = 0, ttAxis = 1, ttOther = 2 };

    explicit TPlotToolsGallery(QWidget* Owner = nullptr);

    // Clears the tabs, adds the three captions and fills the list of the
    // current tab (the modal show runs it).
    void FormShow();
    // Fills the list with the tool types of the current tab and disables
    // "&Add".
    void FillTools();
    // The class of the selected entry; nullptr when none is selected.
    const QMetaObject* SelectedTool() const;
    // Shows the gallery modally through ToolsGalleryShowService().
    int ShowModal();

    QTabBar* TabControl1;
    QListWidget* LBTool;
    QPushButton* BOk;
    QPushButton* BCan;

private:
    void ToolClicked();
};

// Whether a tool class belongs to a gallery tab: series tools to ttSeries,
// axis tools to ttAxis, every other tool to ttOther; any other tab index
// takes every class.
bool ToolBelongsToTab(const QMetaObject& ToolClass, int Tab);
// The icon of an object's class (its class bitmap on a clear background),
// as the tool lists draw it.
QIcon ClassIcon(const QObject& Object);
// Item height of the tool lists.
inline constexpr int ToolListItemHeight = 18;
// Gives a tool list its item height and icon size.
void SetUpToolList(QListWidget* List);

// Shows the gallery modally and answers its result; replaceable (tests).
using TToolsGalleryShowService = std::function<int(TPlotToolsGallery&)>;
TToolsGalleryShowService& ToolsGalleryShowService();
void ResetToolsGalleryShowService();

} // namespace lp
