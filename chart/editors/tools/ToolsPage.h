#pragma once
// The "Tools" tab of the chart editor: the chart's tools in a list, with
// adding from the tools gallery, deleting, reordering and switching on and
// off, and the selected tool's own page embedded beside the list.
//
//   TFormPlotTools (target: the chart)
//     ├─ PTop: "&Add...", "&Delete", "A&ctive", up / down, "Show in this editor"
//     ├─ LBTools | Splitter1 | PanelToolEditor (the page registered under
//     │                        the tool's GetEditorClassName(), or empty)
//     └─ PBottom: the tool's component name (design state only)
//
// Entries carry their tool objects, so moving and reselecting work on the
// listed tools even where hidden tools lie between them in the chart's
// list.

#include "chart/editors/EditorPage.h"

#include <QtCore/QPointer>

#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSplitter;
class QToolButton;

namespace lp {

class TCustomAxisPanel;
class TPageScrollArea;
class TPlotCustomTool;

class TFormPlotTools : public TEditorPage {
    Q_OBJECT
public:
    explicit TFormPlotTools(QWidget* Parent = nullptr);

    TCustomAxisPanel* Chart() const;
    // The tool of the selected entry, nullptr without one.
    TPlotCustomTool* CurrentTool() const;
    // The embedded page of the current tool, nullptr when none is shown.
    TEditorPage* ToolEditor() const { return FToolEditor.data(); }
    // Selects Tool's entry and shows its page (nothing when not listed).
    void SelectTool(TPlotCustomTool* Tool);
    // Asks the shown tool's page (a running animation refuses).
    bool MayLeave() override;

    // Fills the list (the chart's listed tools, in order).
    void FillTools();
    // Shows the current tool: its Active, its page, the move buttons.
    void LBToolsClick();
    void BAddClick();
    void BDeleteClick();
    void BMoveUpClick();
    void BMoveDownClick();

    // After a tool was made, named and put on the chart.
    std::function<void(TPlotCustomTool* Tool)> OnAddTool;
    // Before a tool is destroyed.
    std::function<void(TPlotCustomTool* Tool)> OnDeleteTool;

    QWidget* PTop;
    QPushButton* BAdd;
    QPushButton* BDelete;
    QCheckBox* CBActive;
    QCheckBox* CBShowInEditor;
    QWidget* Panel2;
    QToolButton* BMoveUp;
    QToolButton* BMoveDown;
    QSplitter* Splitter1;
    QListWidget* LBTools;
    QWidget* PanelToolEditor;
    // Holds the tool's page inside PanelToolEditor.
    TPageScrollArea* ToolEditorArea;
    QLabel* PBottom;

protected:
    void FillControls() override;
    void UpdateEnabled() override;

private:
    void FormShow();
    void EnableMoveButtons();
    void Move(int Delta);
    int RowOf(const TPlotCustomTool* Tool) const;
    TPlotCustomTool* ToolAt(int Row) const;
    void DestroyToolEditor();
    // The list is at least as wide as its widest entry needs.
    void KeepListWidth();

    QPointer<TEditorPage> FToolEditor;
    QPointer<QObject> FShownChart;
};

} // namespace lp
