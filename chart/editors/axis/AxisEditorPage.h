#pragma once
// The axis editor page: scale, title, labels, ticks, minor ticks and
// position of one axis of a chart, with the list of the chart's axes to
// pick from, add custom axes to and delete them from. Every change is
// written at once into the edited axis. Its counters put a number typed
// outside their range at the nearest end (TClampingSpinBox).
//
// It serves as the editor window's "Axis" page and, with its left panel
// hidden, as the single-axis tool window the axis menu's "Options" opens
// (ShowAxisEditor).
//
//   TFormPlotAxis (TEditorPage; target: the TChartAxis)
//     ├─ Panel1       axes list, "+", "-", chart-wide axis switches
//     └─ PageAxis     Scales | Title | Labels | Ticks | Minor | Position
//          ├─ TitleFontEditor, LabelsFontEditor  (TPlotFontEditor, "Text")
//          └─ GroupBox1 "LinLog options", CheckBox2 "Rounded limits"

#include "chart/editors/EditorPage.h"

#include <QtCore/QLocale>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace lp {

class TButtonPen;
class TChartAxis;
class TCustomAxisPanel;
class TCustomChart;
class TPlotFontEditor;

// The lines of Chart's axes list: the four side axes, the two depth axes
// (when IncludeDepth), then "Custom 0", "Custom 1", ... for the axes after
// the first six of the chart's axes list. Items is cleared first.
void FillAxesList(const TCustomAxisPanel& Chart, QStringList& Items, bool IncludeDepth);
// The axis of a line of the full list (depth axes included); nullptr for a
// line beyond the list.
TChartAxis* AxisOfListLine(const TCustomAxisPanel& Chart, int Line);
// The line of Axis in the full list; -1 when it is not Chart's.
int ListLineOfAxis(const TCustomAxisPanel& Chart, const TChartAxis* Axis);

class TFormPlotAxis : public TEditorPage {
    Q_OBJECT
public:
    explicit TFormPlotAxis(QWidget* Parent = nullptr);

    TChartAxis* Axis() const;
    // Edits Axis: fills the axes list and selects its line.
    void SetAxis(TChartAxis* Axis);
    // Separators the label formats are shown with (the user's by default).
    void SetFormatLocale(const QLocale& Locale);

    // Disables the controls whose settings the edited axis' document does
    // not keep (UnkeptSettings.h), and gives back those locked for another
    // axis. Runs whenever the page is filled.
    void LockUnkeptSettings();

    // Told when a custom axis turned horizontal or vertical.
    std::function<void(TChartAxis*)> OnChangeHorizAxis;

    // Left panel.
    QWidget* Panel1;
    QCheckBox* CBShow;
    QCheckBox* CBAxisBeh;
    QListWidget* LBAxes;
    QPushButton* BAdd;
    QPushButton* BDelete;

    QTabWidget* PageAxis;
    QWidget* TabScales;
    QWidget* TabTitle;
    QWidget* TabLabels;
    QWidget* TabTicks;
    QWidget* TabMinorTicks;
    QWidget* TabPositions;

    // Scales.
    QCheckBox* CBAutomatic;
    QCheckBox* CBVisible;
    QCheckBox* CBInverted;
    QPushButton* BIncre;
    QLabel* LAxisIncre;
    QCheckBox* CBLogarithmic;
    QLineEdit* ELogBase;
    QCheckBox* LogE;
    QTabWidget* PageControl1;
    QCheckBox* CBAutoMin;
    QCheckBox* CBAutoMax;
    QPushButton* BAxisMin;
    QPushButton* BAxisMax;
    QLabel* LAxisMin;
    QLabel* LAxisMax;
    QSpinBox* UDMinOff;
    QSpinBox* UDMaxOff;
    QGroupBox* GroupBox1; // "LinLog options"
    QLabel* Label8;
    QSpinBox* SpinEdit1;  // "Dec shift"
    QCheckBox* CheckBox1; // "Min dec"
    QLineEdit* Edit3;     // the lower decade value
    QCheckBox* CheckBox2; // "Rounded limits"

    // Title.
    QTabWidget* PageTitle;
    QWidget* TabTitleStyle;
    QWidget* TabTitleFont;
    QLineEdit* ETitle;
    QSpinBox* UDTitleAngle;
    QSpinBox* UDTitleSize;
    QCheckBox* CBTitleVisible;
    TPlotFontEditor* TitleFontEditor;

    // Labels.
    QTabWidget* PageLabels;
    QWidget* TabLabStyle;
    QWidget* TabLabFormat;
    QWidget* TabLabelsFont;
    QCheckBox* CBLabels;
    QCheckBox* CBMultiline;
    QCheckBox* CBOnAxis;
    QCheckBox* CBRoundFirst;
    QSpinBox* UDLabelsSize;
    QSpinBox* UDLabelsAngle;
    QSpinBox* UDSepar;
    QLabel* Label3;
    QComboBox* CBLabelStyle;
    QCheckBox* CBAlternate;
    QLabel* LabelAxisFormat;
    QComboBox* CBFormat;
    QCheckBox* CBExpo;
    QCheckBox* CBLabelAlign;
    QPushButton* Button1;
    TPlotFontEditor* LabelsFontEditor;

    // Ticks.
    TButtonPen* BAxisPen;
    TButtonPen* BTickPen;
    TButtonPen* BTickInner;
    TButtonPen* BAxisGrid;
    QSpinBox* UDAxisTickLength;
    QSpinBox* UDInnerTicksLength;
    QCheckBox* CBTickOnLabels;
    QCheckBox* CBGridCentered;
    QLabel* Label6;
    QSpinBox* UDGridZ;

    // Minor.
    TButtonPen* BTickMinor;
    TButtonPen* BMinorGrid;
    QSpinBox* UDAxisMinorTickLen;
    QSpinBox* UDMinorCount;

    // Position.
    QSpinBox* UDPos;
    QSpinBox* UDStart;
    QSpinBox* UDEnd;
    QLabel* LabelZ;
    QSpinBox* UDZ;
    QComboBox* CBPosUnits;
    QCheckBox* CBOtherSide;
    QCheckBox* CBHorizAxis;

protected:
    void FillControls() override;
    void UpdateEnabled() override;

private:
    void BuildLeftPanel();
    void BuildScales();
    void BuildTitle();
    void BuildLabels();
    void BuildTicks();
    void BuildMinor();
    void BuildPositions();
    void BindControls();
    void ConnectHandlers();

    void FillAxesLines();
    void FillScales();
    void FillFormats();
    void LinkPens();
    // Writes through Write and refreshes the controls, when the page may.
    void Apply(QObject* Control, const std::function<void(TChartAxis&)>& Write);

    void AxisPicked(int Line);
    void AddClicked();
    void DeleteClicked();
    void LogBaseEdited(const QString& Text);
    void LogEClicked();
    void MinDecValueEdited(const QString& Text);
    void FormatEdited(const QString& Text);
    void FormatDialogClicked();
    void IncrementClicked();
    void LimitClicked(bool Maximum);
    QString LocalisedFormat(const QString& Format) const;
    QString NeutralFormat(const QString& Format) const;
    bool IsCustomLine() const;

    QLocale FLocale;
};

// The single-axis tool window on Axis ("Left axis edit", ...); nothing when
// Axis is not Chart's. Changes apply as they are made; there is no cancel.
void ShowAxisEditor(TCustomChart* Chart, TChartAxis* Axis);
// The same window made and set up but not run (hosts and tests show it).
std::unique_ptr<TFormPlotAxis> CreateAxisEditorWindow(TCustomChart* Chart, TChartAxis* Axis);

} // namespace lp
