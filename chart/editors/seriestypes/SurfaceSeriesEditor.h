#pragma once
// The surface series' own page: pen and brush, solid, wire-frame or dotted
// drawing, smooth palette, the sides' brush and lines and the
// transparency. On its first show it adds the grid 3-D page as a tab.

#include "chart/editors/EditorPage.h"

#include <QtCore/QPointer>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QSpinBox;

namespace lp {

class TButtonPen;
class TGrid3DSeriesEditor;
class TSurfaceSeries;

class TSurfaceSeriesEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TSurfaceSeriesEditor(QWidget* Parent = nullptr);

    TSurfaceSeries* Series() const;
    // The "Grid 3D" tab's page while it lives (the series page owns it).
    QPointer<TGrid3DSeriesEditor> Grid3DPage;

    TButtonPen* Button2; // pen
    QPushButton* Button3; // brush
    QGroupBox* RadioGroup1;
    QButtonGroup* RGDrawing;
    QCheckBox* CBSmooth;
    QPushButton* Button1; // side brush
    TButtonPen* BSideLines;
    QSpinBox* UDTransp;
    QCheckBox* CBFastBrush;

protected:
    void FillControls() override;
    void showEvent(QShowEvent* Event) override;

private:
    void AddGridTab();
    void BrushClick(QPushButton* Button, bool Side);
};

} // namespace lp
