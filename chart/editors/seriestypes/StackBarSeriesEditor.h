#pragma once
// The bar page's "Stack" tab: how bars of several series share a slot,
// the bars' origin and the stack group.

#include "chart/editors/EditorPage.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace lp {

class TCustomBarSeries;

class TStackBarSeriesEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TStackBarSeriesEditor(QWidget* Parent = nullptr);

    TCustomBarSeries* Series() const;

    QGroupBox* GBMultiBar;
    QButtonGroup* RGMultiBar;
    QCheckBox* CBYOrigin;
    QLineEdit* EYOrigin;
    QLabel* LGroup;
    QSpinBox* UDGroup; // the group edit with its up-down

protected:
    void UpdateEnabled() override;
};

} // namespace lp
