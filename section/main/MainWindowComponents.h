#pragma once
// The main window's components from the components layer: the splitter
// whose first pane holds the section chart, the two-panel status bar, the
// recent-files menu and the splash. Kept apart from the chart's sources
// because the components' and the engine's headers declare the same
// enumerations.

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>
#include <memory>

class QMenu;
class QWidget;

namespace lp {

class TComponent;
class TFileMenuOpens;
class TsbStatusBar;
class TuiSMultiSplit;
class TuiSplash;
class TuiSplitPane;

class TMainfrmComponents {
public:
    // Owner: the component tree's root, which frees what is made here.
    // Parent: the window that receives the splitter and status bar.
    TMainfrmComponents(TComponent& Owner, QWidget& Parent);
    ~TMainfrmComponents();

    TuiSMultiSplit* uiSMultiSplit1 = nullptr;
    TuiSplitPane* Pane1 = nullptr; // holds the chart
    TsbStatusBar* sbStatusBar1 = nullptr;
    TFileMenuOpens* FileMenuOpens1 = nullptr;
    TuiSplash* uiSplash1 = nullptr;

    QWidget* SplitterWidget() const;
    QWidget* ChartParent() const;
    QWidget* StatusWidget() const;
    void SetStatusText(int Panel, const QString& Text);
    QString StatusText(int Panel) const;
    // The "Recent file" sub-menu and its choice (the chosen file's name).
    QMenu* RecentMenu() const;
    std::function<void(const QString& FileName)> OnRecentFile;
    // Records FileName, with its absolute path, in the recent files;
    // settings that cannot be written leave a note in the status bar.
    void AddRecentFile(const QString& FileName);
    // The recent files, the most recent first.
    QStringList RecentFiles() const;
    // Shows the splash for Duration milliseconds (0: its own).
    void ShowSplash(int Duration);
    static bool NoSplashWanted(const QStringList& Arguments);
};

} // namespace lp
