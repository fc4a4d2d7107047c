#pragma once
// The gauge's page: the hand and the dial on "Options", the value labels
// on "Labels", the ticks and the scale's range on "Ticks". The scale's
// pens, font, increment and tick sizes live on the gauge axis (the
// series' vertical axis); without one those controls change nothing. On
// its first show inside the series page it adds the circled page, without
// its background colour and transparency, as a further tab.

#include "chart/editors/extendedseries/SeriesPageControls.h"

#include <QtCore/QPointer>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace lp {

class TButtonPen;
class TChartAxis;
class TCircledSeriesEditor;
class TComboFlat;
class TGaugeSeries;

class TGaugeSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TGaugeSeriesEditor(QWidget* Parent = nullptr);

    TGaugeSeries* Gauge() const;
    // The gauge axis, nullptr without one (or without a gauge).
    TChartAxis* GaugeAxis() const;
    // The "Circled" tab's page while it lives (the series page owns it).
    QPointer<TCircledSeriesEditor> CircledEditor;

    QTabWidget* PageControl1;
    QWidget* TabOptions;
    QWidget* TabLabels;
    QWidget* TabTicks;
    // "Options"
    TButtonPen* BLine;
    TButtonPen* BAxis;
    QCheckBox* CheckBox4; // full repaint
    QPushButton* Button1; // centre
    QPushButton* Button3; // end point
    TComboFlat* ComboBox1; // hand style
    QSpinBox* UDAngle;
    QSpinBox* UDDist;
    QSpinBox* UDValue;
    // "Labels"
    QCheckBox* CheckBox1; // show labels
    QPushButton* Button2; // font
    QLineEdit* Edit1;     // value format
    QCheckBox* CBInside;
    QSpinBox* UDIncrement;
    // "Ticks"
    TButtonPen* BTicks;
    TButtonPen* BMinor;
    QSpinBox* UpDown1; // minor tick count
    QSpinBox* UpDown3; // tick length
    QSpinBox* UpDown4; // minor tick length
    QSpinBox* UpDown2; // minor tick distance
    QSpinBox* UDMin;
    QSpinBox* UDMax;

protected:
    void FillControls() override;
    void AddTabs() override;

private:
    // Binds Control to a setting of the gauge axis: it shows nothing and
    // writes nothing while the gauge has no axis.
    void BindAxisSetting(QObject* Control, std::function<QVariant(TChartAxis&)> Get,
                         std::function<void(TChartAxis&, const QVariant&)> Set);
    void PointerClick(bool EndPoint);
    void FontClick();
};

} // namespace lp
