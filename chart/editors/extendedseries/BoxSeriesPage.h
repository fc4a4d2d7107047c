#pragma once
// The box plot's page: position and whisker length typed as numbers, the
// median and whisker pens; the box's, extreme and mild outliers' pointers
// as the further tabs "Box", "ExtrOut" and "MildOut".

#include "chart/editors/extendedseries/SeriesPageControls.h"

class QLineEdit;

namespace lp {

class TButtonPen;

class TBoxSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TBoxSeriesEditor(QWidget* Parent = nullptr);

    QLineEdit* EPos;
    QLineEdit* ELength;
    TButtonPen* BMedian;
    TButtonPen* BWhisker;
    // The pointer tabs' pages while they live (the series page owns them).
    QPointer<TEditorPage> BoxPointer;
    QPointer<TEditorPage> ExtrOutPointer;
    QPointer<TEditorPage> MildOutPointer;

protected:
    void AddTabs() override;
    void FillControls() override;

};

} // namespace lp
