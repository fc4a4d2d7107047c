#pragma once
// The series page's "Data Source" tab: where the series' points come from.
// "Manual" shows the points in the data grid with its navigator; "Random"
// fills the series with sample values; "Function" embeds the function page
// (offered once "TPlotFuncEditor" is registered); a registered series-source
// class that is available for the chart adds its own entry and page. The
// opening choice follows the series: its function or source series, its
// source, hand-typed or random points.

#include <QtCore/QObject>
#include <QtCore/QPointer>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace lp {

class TChartGrid;
class TChartGridNavigator;
class TChartSeries;
class TEditorPage;
class TFormPlotSeries;

class TSeriesDataSourceTab : public QObject {
    Q_OBJECT
public:
    // What an entry of the style combo stands for (its item data).
    enum TDataSourceStyle { dssManual = 0, dssRandom = 1, dssFunction = 2, dssSource = 3 };

    TSeriesDataSourceTab(TFormPlotSeries& Page, QWidget* Tab);

    // Drops the source-class entries and adds those available for Series'
    // chart.
    void RefillStyles(TChartSeries* Series);
    // No entry selected: the next fill applies the series' style.
    void ResetStyle();
    // Selects the entry that matches Series and applies it when it changed.
    void Fill(TChartSeries* Series);
    // The user's choice of entry: drops what the entry replaces, applies.
    void StyleChange();
    // The entry of Style (the first source class for dssSource), -1 when
    // not offered.
    int IndexOfStyle(TDataSourceStyle Style) const;
    TDataSourceStyle StyleAt(int Index) const;

    // The embedded function or source page, nullptr when none.
    TEditorPage* Editor() const { return FEditor.data(); }
    // Whether the embedded page agrees to close (yes without one).
    bool MayCloseEditor();
    // Frees the embedded page when it agrees to close.
    void CloseEditor();

    // The stored sample count's "&Default" state.
    void UpdateSamplesDefault();

    QWidget* PanTop;
    QComboBox* CBDataSourcestyle;
    QPushButton* NewDataButton;
    QPushButton* EditDataButton;
    QPushButton* DeleteDataButton;
    QWidget* Panel2;
    TChartGrid* ChartGrid1;
    TChartGridNavigator* ChartGridNavigator1;
    QWidget* Panel4;
    QLabel* Label2;
    QLineEdit* ESamples;
    QCheckBox* CBSamplesDefault;
    QPushButton* BApplyRandom;
    QPushButton* Button3;

private:
    TChartSeries* Series() const;
    // Shows the controls of the current entry; false when the embedded
    // page refused to close (nothing changed then).
    bool ApplyStyle();
    void RemoveSourceAndFunction(TChartSeries& Series);
    void SamplesChanged();
    void ClearClick();

    TFormPlotSeries& FPage;
    QPointer<TEditorPage> FEditor;
    int FShownIndex = -1;
};

} // namespace lp
