#pragma once
// The point and figure series' page: box size and reversal amount typed
// as numbers (a box size making more boxes of the prices than can be drawn
// is refused with a message); the rising and falling columns' symbols as
// the further tabs "Up" and "Down".

#include "chart/editors/extendedseries/SeriesPageControls.h"

class QLineEdit;

namespace lp {

class TPointFigureEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TPointFigureEditor(QWidget* Parent = nullptr);

    QLineEdit* EBoxSize;
    QLineEdit* EReversal;
    QPointer<TEditorPage> UpPointer;
    QPointer<TEditorPage> DownPointer;

protected:
    void AddTabs() override;
};

} // namespace lp
