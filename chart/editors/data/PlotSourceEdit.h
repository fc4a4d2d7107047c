#pragma once
// The base of the pages that edit where a series' data comes from: a top
// bar with a source choice ("&Source:") and "&Apply", and a body below it
// for the descendant's controls. "&Apply" enabled means changes are
// pending; leaving the page then asks "Apply Changes ?" (Yes, No, Cancel).
// The page's target is the edited series.

#include "chart/editors/EditorPage.h"

class QComboBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace lp {

class TChartSeries;

class TBaseSourceEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TBaseSourceEditor(QWidget* Parent = nullptr);

    TChartSeries* TheSeries() const;

    QWidget* Pan;
    QLabel* LLabel;
    QComboBox* CBSources;
    QPushButton* BApply;
    // Where descendants put their controls, below the top bar.
    QWidget* Body;

    // Whether changes wait for "&Apply".
    bool Pending() const;
    void SetPending(bool Value);

    // The close question when changes are pending: Cancel stays; No drops
    // the changes; Yes applies and leaves only when applying cleared the
    // pending state.
    bool MayLeave() override;

    bool DefersEdits() const override { return true; }
    // What "&Apply" does: an error is shown and leaves the changes pending.
    void ApplyEdits() override;

protected:
    // What "&Apply" does; descendants clear the pending state on success.
    virtual void ApplyChanges() {}
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void reject() override;

private:
    void ApplyClicked();
};

} // namespace lp
