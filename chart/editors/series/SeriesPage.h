#pragma once
// The series page: one series of a chart at a time, under a top bar (the
// chart's series, the type's icon and name, the series colour,
// "Persistent") with the tabs "Format" (the series type's own page, found
// by the editor class name the series reports), "General", "Marks" and
// "Data Source"; type pages may add tabs of their own
// (AddSeriesEditorTab, SeriesEditorTabs.h). Its target is the edited series; the editor
// window hands it the series list and its options as Qt properties.
//
//   TFormPlotSeries (TEditorPage, chart listener)
//     ├─ TheTabSheet   the type page (owned, replaced per series type)
//     ├─ TabGeneral    bound here
//     ├─ TabMarks      TSeriesMarksTab (SeriesMarksTab.h)
//     ├─ TabDataSource TSeriesDataSourceTab (SeriesDataSourceTab.h)
//     └─ tabs added by the type page, owned by this page

#include "chart/canvas/PlotPanel.h"
#include "chart/editors/EditorPage.h"
#include "chart/editors/EditorPageRegistry.h"

#include <QtCore/QPointer>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace lp {

class TChartListBox;
class TChartSeries;
class TChartValueList;
class TCustomAxisPanel;
class TSeriesDataSourceTab;
class TSeriesListModel;
class TSeriesMarksTab;

// The series' colour as its legend symbol: a click or Space edits it.
class TSeriesColorBox : public QWidget {
    Q_OBJECT
public:
    explicit TSeriesColorBox(QWidget* Parent = nullptr);
    QPointer<TChartSeries> Series;
    QSize sizeHint() const override { return {20, 24}; }
    // What a click does: the colour dialog on the series colour.
    void EditColorClick();

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
};

class TFormPlotSeries : public TEditorPage, public IPlotEventListener {
    Q_OBJECT
    Q_PROPERTY(bool ShowDataSourceTab READ ShowDataSourceTab WRITE SetShowDataSourceTab)
    Q_PROPERTY(bool ShowGeneralTab READ ShowGeneralTab WRITE SetShowGeneralTab)
    Q_PROPERTY(bool ShowMarksTab READ ShowMarksTab WRITE SetShowMarksTab)
    Q_PROPERTY(bool ShowPersistentCheck READ ShowPersistentCheck WRITE SetShowPersistentCheck)
    Q_PROPERTY(QObject* SeriesListBox READ SeriesListBoxObject WRITE SetSeriesListBoxObject)
    Q_PROPERTY(QString ActiveTab READ ActiveTab WRITE SetActiveTab)
    Q_PROPERTY(bool GraphicEditor READ GraphicEditor WRITE SetGraphicEditor)

public:
    explicit TFormPlotSeries(QWidget* Parent = nullptr);
    ~TFormPlotSeries() override;

    // The series shown (the target), nullptr when none.
    TChartSeries* EditedSeries() const;

    bool ShowDataSourceTab() const { return FShowDataSourceTab; }
    void SetShowDataSourceTab(bool Value);
    bool ShowGeneralTab() const { return FShowGeneralTab; }
    void SetShowGeneralTab(bool Value);
    bool ShowMarksTab() const { return FShowMarksTab; }
    void SetShowMarksTab(bool Value);
    bool ShowPersistentCheck() const { return FShowPersistentCheck; }
    void SetShowPersistentCheck(bool Value);
    // The editor window's series list: the series combo shows its rows and
    // the two select the same series.
    TChartListBox* SeriesListBox() const;
    void SetSeriesListBox(TChartListBox* Value);
    QObject* SeriesListBoxObject() const;
    void SetSeriesListBoxObject(QObject* Value);
    // The caption of the current tab; setting one makes the first tab of
    // that caption current.
    QString ActiveTab() const;
    void SetActiveTab(const QString& Caption);
    // The "Graphic editor": no top bar, no "General" and "Data Source"
    // tabs, and the line page without stacking, dark 3-D, colour-each,
    // clickable and 3-D height.
    bool GraphicEditor() const { return FGraphicEditor; }
    void SetGraphicEditor(bool Value);

    // The type page in "Format", nullptr when the type has none.
    TEditorPage* SeriesEditor() const { return FSeriesEditor.data(); }
    // The editor class registered for Series' type, empty when none.
    static QString FindSeriesEditorClass(const TChartSeries* Series);
    // Selects the series of CBSeries' current row and shows it; the series
    // already shown is not set up again.
    void CBSeriesChange();
    // Leaving is refused while the data-source page refuses to close.
    bool MayLeave() override;
    // Disables, on this page and the pages in its tabs, the controls whose
    // settings the edited series' document does not keep
    // (UnkeptSettings.h), and gives back those locked for another series.
    // Runs whenever pages or tabs were made for the series.
    void LockUnkeptSettings();

    void PlotEvent(TPlotEvent& Event) override;

    QWidget* PanelTop;
    QComboBox* CBSeries;
    QLabel* ImageSeries;
    QLabel* LabelSeriesClass;
    QWidget* PanelRight;
    TSeriesColorBox* PaintBox1;
    QCheckBox* CBPersistent;
    QTabWidget* PageSeries;
    QWidget* TheTabSheet;
    QWidget* TabGeneral;
    QWidget* TabMarks;
    QWidget* TabDataSource;

    // "General"
    QGroupBox* GB5;
    QCheckBox* CBShowInLegend;
    QComboBox* CBCursor;
    QLabel* LDepth;
    QSpinBox* UDDepth;
    QCheckBox* CBDepth;
    QGroupBox* GB2;
    QComboBox* CBFormat;
    QPushButton* Button1;
    QLineEdit* EPercentFormat;
    QPushButton* Button2;
    QGroupBox* GBHorizAxis;
    QComboBox* CBHorizAxis;
    QCheckBox* CBXDateTime;
    QGroupBox* GBVertAxis;
    QComboBox* CBVertAxis;
    QCheckBox* CBYDateTime;
    QLabel* LSort;
    QComboBox* CBSort;
    QCheckBox* CBZDateTime;
    QCheckBox* CBShowInEditor;

    TSeriesMarksTab* MarksTab;
    TSeriesDataSourceTab* DataSourceTab;

protected:
    void FillControls() override;
    void UpdateEnabled() override;
    void showEvent(QShowEvent* Event) override;

private:
    QWidget* BuildTopBar();
    QWidget* BuildGeneralTab();
    void BindGeneralTab();
    void ShowSeries();
    void SetupSeries(TChartSeries* Series, QString Caption);
    void FillGeneralTab();
    void EmbedSeriesEditor(TChartSeries* Series);
    void RemoveSeriesEditor();
    void ApplyTabVisibility();
    void ApplyGraphicEditor();
    void Listen(TCustomAxisPanel* Chart);
    void PageSeriesChange();
    void TabChanged(int Index);
    void FormatButtonClick(QWidget* Edit);
    TChartValueList* ZValueList() const;
    bool IsFixedTab(QWidget* Tab) const;
    void SelectInList(TChartSeries* Series);

    QPointer<QObject> FSeriesListBox;
    TSeriesListModel* FOwnList;
    QPointer<TEditorPage> FSeriesEditor;
    QPointer<TChartSeries> FLastShown;
    QPointer<TCustomAxisPanel> FListened;
    QWidget* FCurrentTab = nullptr;
    bool FShowDataSourceTab = true;
    bool FShowGeneralTab = true;
    bool FShowMarksTab = true;
    bool FShowPersistentCheck = false;
    bool FGraphicEditor = false;
    bool FDestroying = false;
};

} // namespace lp
