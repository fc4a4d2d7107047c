#pragma once
// The pages of the extension tools: scroll bar, selector, lighting,
// surface nearest cell, series band, extra legend, pie, point dragging,
// Gantt bar dragging and 3-D grid transposing. Each writes into its tool
// at once.

#include "chart/editors/tools/ToolEditorBases.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QSlider;

namespace lp {

class TButtonColor;
class TButtonGradient;
class TDragPointTool;
class TExtraLegendTool;
class TGanttTool;
class TGridTransposeTool;
class TLightTool;
class TPieTool;
class TPlotScrollBar;
class TSelectorTool;
class TSeriesBandTool;
class TSurfaceNearestTool;

// The scroll bar tools' page (registered as "TScrollBarEditor").
class TScrollbarEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TScrollbarEditor(QWidget* Parent = nullptr);

    TPlotScrollBar* Tool() const;

    TButtonPen* ButtonPen1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    TButtonColor* ButtonColor1;
    TButtonGradient* BGradient;
    QComboBox* ComboBox1;
    QCheckBox* CBAuto;
    QSpinBox* UpDown1;
    QSpinBox* UpDown2;

protected:
    void FillControls() override;
};

class TSelectorToolEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TSelectorToolEditor(QWidget* Parent = nullptr);

    TSelectorTool* Tool() const;

    TButtonPen* ButtonPen1;
    TButtonColor* ButtonColor1;
    QSpinBox* UDSize;
    QCheckBox* CBAllowDrag;
    QCheckBox* CBResizeChart;

protected:
    void FillControls() override;
};

class TLightToolEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TLightToolEditor(QWidget* Parent = nullptr);

    TLightTool* Tool() const;

    QCheckBox* CheckBox2;
    QSlider* TBLeft;
    QSlider* TBTop;
    QComboBox* CBStyle;
    QSlider* TBFactor;

    // The place a track bar shows: Left (Top), or the middle of the chart
    // for the automatic -1.
    int ShownLeft() const;
    int ShownTop() const;

protected:
    void FillControls() override;
};

class TSurfaceNearest : public TSeriesToolEditor {
    Q_OBJECT
public:
    explicit TSurfaceNearest(QWidget* Parent = nullptr);

    TSurfaceNearestTool* NearestTool() const;

    TButtonColor* BCell;
    TButtonColor* BRow;
    TButtonColor* BColumn;
    QCheckBox* CBCellDefault;
    QCheckBox* CBRowDefault;
    QCheckBox* CBColumnDefault;
    QCheckBox* CBCellNone;
    QCheckBox* CBRowNone;
    QCheckBox* CBColumnNone;

protected:
    bool ListsSeries(const TChartSeries& Series) const override;
};

class TSeriesBandToolEdit : public TSeriesToolEditor {
    Q_OBJECT
public:
    explicit TSeriesBandToolEdit(QWidget* Parent = nullptr);

    TSeriesBandTool* BandTool() const;

    QComboBox* CBSeries2;
    QPushButton* Button1;
    TButtonPen* BPen;
    TButtonGradient* BGradient;
    QCheckBox* CBDrawBehindSeries;
    QSpinBox* UDTransp;

protected:
    void FillControls() override;

private:
    // The second series' line in CBSeries2, -1 when it lists none.
    int Series2Index() const;

    std::vector<QPointer<TChartSeries>> FSeries2;
};

class TExtraLegendEditor : public TSeriesToolEditor {
    Q_OBJECT
public:
    explicit TExtraLegendEditor(QWidget* Parent = nullptr);

    TExtraLegendTool* LegendTool() const;

    QPushButton* Button1;

    // The legend page for the tool's legend, modal.
    void EditLegend();
};

class TPieToolEditor : public TSeriesToolEditor {
    Q_OBJECT
public:
    explicit TPieToolEditor(QWidget* Parent = nullptr);

    TPieTool* PieTool() const;

    QGroupBox* RGStyleBox;
    QButtonGroup* RGStyle;
    TButtonPen* BPen;

protected:
    bool ListsSeries(const TChartSeries& Series) const override;
    void FillControls() override;
};

class TDragPointToolEdit : public TSeriesToolEditor {
    Q_OBJECT
public:
    explicit TDragPointToolEdit(QWidget* Parent = nullptr);

    TDragPointTool* DragTool() const;

    QGroupBox* RGStyleBox;
    QButtonGroup* RGStyle;
    QComboBox* CBCursor;

protected:
    void UpdateEnabled() override;
};

class TGanttToolEditor : public TSeriesToolEditor {
    Q_OBJECT
public:
    explicit TGanttToolEditor(QWidget* Parent = nullptr);

    TGanttTool* GanttTool() const;

    QSpinBox* UpDown1;
    QCheckBox* CBAllowDrag;
    QCheckBox* CBAllowResize;
    QComboBox* CBCursorDrag;
    QComboBox* CBCursorResize;

protected:
    bool ListsSeries(const TChartSeries& Series) const override;
};

class TGridTransposeToolEdit : public TSeriesToolEditor {
    Q_OBJECT
public:
    explicit TGridTransposeToolEdit(QWidget* Parent = nullptr);

    TGridTransposeTool* TransposeTool() const;

    QPushButton* BTranspose;

protected:
    bool ListsSeries(const TChartSeries& Series) const override;
    TCustomAxisPanel* SeriesChart() const override;
    TChartSeries* ChosenSeries() const override;
    void ChooseSeries(TChartSeries* Series) override;
    void UpdateEnabled() override;
};

} // namespace lp
