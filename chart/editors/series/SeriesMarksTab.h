#pragma once
// The series page's "Marks" tab: the marks' style, visibility, clipping,
// interval and angle ("Style"), the callout line and its arrow head
// ("Arrows"), the marks' symbol ("Symbol"), and the marks' frame, text,
// gradient and shadow through the shape-format page's tabs, moved in on
// first use. Its controls are bound through the series page's binder.

#include "chart/editors/effects/ShapeEditor.h"

#include <QtCore/QObject>
#include <QtCore/QPointer>

#include <memory>

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace lp {

class TButtonPen;
class TChartSeries;
class TFormPlotSeries;
class TFormPlotShape;
class TMarksCallout;
class TSeriesMarks;

class TSeriesMarksTab : public QObject {
    Q_OBJECT
public:
    TSeriesMarksTab(TFormPlotSeries& Page, QWidget* Tab);
    ~TSeriesMarksTab() override;

    // Whether "&Multi line" applies to marks style Style (the styles that
    // join two texts).
    static bool StyleJoinsTexts(int Style);
    // Whether the marks of every series of Series' chart are visible (true
    // for a chart without series).
    static bool AllMarksVisible(const TChartSeries* Series);

    // Binds the tab to Series' marks; the first fill makes the shape-format
    // tabs and the symbol page.
    void Fill(TChartSeries* Series);
    void UpdateEnabled();

    // The shape-format page of the marks and the symbol page, nullptr
    // before the first fill.
    TFormPlotShape* MarksFormat() const { return FMarksFormat.data(); }
    TFormPlotShape* SymbolFormat() const { return FSymbolFormat.data(); }

    QTabWidget* PageControlMarks;
    QWidget* TabSheet1;
    QCheckBox* CBMarksVisible;
    QCheckBox* CBAllVisible;
    QComboBox* RGMarkStyle;
    QCheckBox* CBMarkClip;
    QSpinBox* UDEvery;
    QCheckBox* CBMultiLine;
    QSpinBox* UDMarksAngle;
    QWidget* TabSheet2;
    TButtonPen* BMarkLinCol;
    QPushButton* BCalloutPointer;
    QSpinBox* UDArrowsLength;
    QSpinBox* UDArrowDist;
    QComboBox* CBHead;
    QSpinBox* UDHeadSize;
    QWidget* TabSymbol;
    // "&Visible" of the symbol, in the place of its colour button.
    QCheckBox* CBSymbolVisible = nullptr;

private:
    TSeriesMarks* Marks() const;
    void BuildStyleTab();
    void BuildArrowsTab();
    void BindControls();
    void MakeSymbolPage();

    TFormPlotSeries& FPage;
    // What the callout controls show while the marks have no callout yet:
    // reading the marks' callout would make one and repaint the chart.
    std::unique_ptr<TMarksCallout> FDefaultCallout;
    QPointer<TFormPlotShape> FMarksFormat;
    QPointer<TFormPlotShape> FSymbolFormat;
};

} // namespace lp
