#pragma once
// Two flat descendants of the polar series: the wind rose, whose angle
// labels are compass directions, and the clock, an analogue face showing
// the current (or a supplied) time with three hands, repainted every second
// by a timer it owns.
//
//   TCustomPolarSeries
//     └─ TCustom2DPolarSeries    always 2-D in the gallery
//          ├─ TWindRoseSeries    MirrorLabels
//          └─ TClockSeries       PenHours, PenMinutes, PenSeconds, Style,
//                                OnGetTime, the one-second TTimer
//
// While a clock belongs to a chart the chart's axes are hidden; leaving the
// chart (or being destroyed) puts back the visibility they had when it came.

#include "chart/extensions/circular/PlotPolarSeries.h"

#include <functional>
#include <memory>

namespace lp {

class TTimer;

class TCustom2DPolarSeries : public TCustomPolarSeries {
    Q_OBJECT
public:
    explicit TCustom2DPolarSeries(TComponent* AOwner = nullptr) : TCustomPolarSeries(AOwner) {}
    // The inherited step, then the chart's View3D off.
    void GalleryChanged3D(bool Is3D) override;
    // The polar preparation, small circle labels and pointers.
    void PrepareForGallery(bool IsEnabled) override;
};

class TWindRoseSeries : public TCustom2DPolarSeries {
    Q_OBJECT
    Q_PROPERTY(int LabelsMargin READ LabelsMargin WRITE SetLabelsMargin)
    Q_CLASSINFO("default:LabelsMargin", "3")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(double AngleIncrement READ AngleIncrement WRITE SetAngleIncrement STORED false)
    Q_PROPERTY(lp::TChartValueList* AngleValues READ AngleValues WRITE SetAngleValues)
    Q_CLASSINFO("default:CircleLabels", "true")
    Q_PROPERTY(bool CircleLabelsInside READ CircleLabelsInside WRITE SetCircleLabelsInside)
    Q_CLASSINFO("default:CircleLabelsInside", "false")
    Q_PROPERTY(bool CloseCircle READ CloseCircle WRITE SetCloseCircle)
    Q_CLASSINFO("default:CloseCircle", "true")
    Q_PROPERTY(bool MirrorLabels READ MirrorLabels WRITE SetMirrorLabels)
    Q_CLASSINFO("default:MirrorLabels", "false")
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(lp::TSeriesPointer* Pointer READ Pointer WRITE SetPointer)
    Q_PROPERTY(double RadiusIncrement READ RadiusIncrement WRITE SetRadiusIncrement STORED false)
    Q_PROPERTY(lp::TChartValueList* RadiusValues READ RadiusValues WRITE SetRadiusValues)
    Q_CLASSINFO("stored:RadiusValues", "IsRadiusValuesStored")
    Q_PROPERTY(int RotationAngle READ RotationAngle WRITE SetRotationAngle)
    Q_CLASSINFO("default:RotationAngle", "90")

public:
    explicit TWindRoseSeries(TComponent* AOwner = nullptr);
    QString GetEditorClassName() const override { return QStringLiteral("TWindRoseEditor"); }

    bool MirrorLabels() const { return FMirrorLabels; }
    void SetMirrorLabels(bool Value) { SetBooleanProperty(FMirrorLabels, Value); }

    // The compass direction of the angle rounded to a whole degree (360 -
    // the angle with MirrorLabels); empty between the table's directions.
    QString GetCircleLabel(int Index, double Angle) const override;
    void PrepareForGallery(bool IsEnabled) override;

private:
    bool FMirrorLabels = false;
};

class TClockSeries : public TCustom2DPolarSeries {
    Q_OBJECT
    Q_PROPERTY(int LabelsMargin READ LabelsMargin WRITE SetLabelsMargin)
    Q_CLASSINFO("default:LabelsMargin", "3")
    Q_PROPERTY(lp::TSeriesPointer* Pointer READ Pointer WRITE SetPointer)
public:
    enum TClockSeriesStyle { cssDecimal, cssRoman };
    Q_ENUM(TClockSeriesStyle)

private:
    Q_CLASSINFO("default:Circled", "true")
    Q_CLASSINFO("default:CircleLabels", "true")
    Q_PROPERTY(bool CircleLabelsInside READ CircleLabelsInside WRITE SetCircleLabelsInside)
    Q_CLASSINFO("default:CircleLabelsInside", "false")
    Q_PROPERTY(lp::TChartPen* PenHours READ PenHours WRITE SetPenHours)
    Q_PROPERTY(lp::TChartPen* PenMinutes READ PenMinutes WRITE SetPenMinutes)
    Q_PROPERTY(lp::TChartPen* PenSeconds READ PenSeconds WRITE SetPenSeconds)
    Q_PROPERTY(int RotationAngle READ RotationAngle WRITE SetRotationAngle)
    Q_CLASSINFO("default:RotationAngle", "90")
    Q_CLASSINFO("default:ShowInLegend", "false")
    Q_PROPERTY(lp::TClockSeries::TClockSeriesStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "cssRoman")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")

public:
    explicit TClockSeries(TComponent* AOwner = nullptr);
    ~TClockSeries() override;

    // From another clock: the three hand pens and Style; then the polar copy.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TClockEditor"); }
    // Leaving a chart puts its axes' visibility back; joining one not being
    // read saves it, hides the axes and sets the angle step to 30 degrees
    // (a chart being read keeps the file's axes).
    void SetParentChart(TCustomAxisPanel* Value) override;

    TChartPen* PenHours() const { return FPenHours.get(); }
    void SetPenHours(const TChartPen* Value) { FPenHours->Assign(Value); }
    TChartPen* PenMinutes() const { return FPenMinutes.get(); }
    void SetPenMinutes(const TChartPen* Value) { FPenMinutes->Assign(Value); }
    TChartPen* PenSeconds() const { return FPenSeconds.get(); }
    void SetPenSeconds(const TChartPen* Value) { FPenSeconds->Assign(Value); }
    TClockSeriesStyle Style() const { return FStyle; }
    void SetStyle(TClockSeriesStyle Value);
    // The repaint timer (one second, enabled).
    TTimer& Timer() const { return *FTimer; }

    // The time shown (a date-time value): the current local time, then
    // OnGetTime.
    double ClockTime();
    // The hour numeral of the label at Angle: Roman or decimal.
    QString GetCircleLabel(int Index, double Angle) const override;

    // With Transparency the background blends over the chart.
    void DoBeforeDrawValues() override;
    // The three hands (and the pointer at the seconds hand's tip).
    void DrawAllValues() override;
    // The tip of a hand at Angle (degrees) on Factor of the radii.
    TPoint HandEnd(double Angle, double Factor) const;
    // One legend item: the time in the long time format.
    int CountLegendItems() override { return 1; }
    TColor LegendItemColor(int LegendIndex) const override;
    void GetLegendText(int LegendIndex, TLegendTextStyle TextStyle, QString& Text) override;
    int NumSampleValues() const override { return 1; }

    std::function<void(TClockSeries* Sender, double& Time)> OnGetTime;
    // Where the current local time comes from (tests may fix it).
    static inline std::function<double()> SystemTime;

private:
    std::unique_ptr<TChartPen> FPenHours;
    std::unique_ptr<TChartPen> FPenMinutes;
    std::unique_ptr<TChartPen> FPenSeconds;
    TClockSeriesStyle FStyle = cssRoman;
    std::unique_ptr<TTimer> FTimer;
    bool FOldAxisVisible = true;
};

using TClockSeriesStyle = TClockSeries::TClockSeriesStyle;
inline constexpr TClockSeriesStyle cssDecimal = TClockSeries::cssDecimal;
inline constexpr TClockSeriesStyle cssRoman = TClockSeries::cssRoman;

// Registers both on the "Other" gallery page; the unregistering undoes it.
void RegisterRoseSeries();
void UnregisterRoseSeries();

} // namespace lp
