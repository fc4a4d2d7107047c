#pragma once
// The 3-D point series' page (also the 3-D bubble's): the line joining the
// points with its colour, colour-each, the pointers' depth and the base
// line dropped from each point. On its first show inside the series page
// it adds the pointer page as the tab "Point".

#include "chart/editors/extendedseries/SeriesPageControls.h"

#include <QtCore/QPointer>

class QCheckBox;
class QGroupBox;
class QLabel;
class QSpinBox;

namespace lp {

class TButtonColor;
class TButtonPen;
class TPoint3DSeries;

class TPoint3DSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TPoint3DSeriesEditor(QWidget* Parent = nullptr);

    TPoint3DSeries* Series() const;
    // The "Point" tab's page while it lives (the series page owns it).
    QPointer<TEditorPage> PointerEditor;

    QGroupBox* GPLine;
    TButtonColor* BColor;
    QCheckBox* CBColorEach;
    TButtonPen* Button1; // line pen
    QLabel* Label4;
    QSpinBox* UDPointDepth; // the depth edit with its up-down
    TButtonPen* BBasePen;

protected:
    void FillControls() override;
    void UpdateEnabled() override;
    void AddTabs() override;
};

} // namespace lp
