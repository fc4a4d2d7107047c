#pragma once
// One axis of a chart: its range and the conversion between axis values and
// pixels.
//
//   TChartAxis (TCollectionItem)  range (fixed or automatic), pixel span,
//     │                           value <-> pixel, label texts
//     └─ TChartDepthAxis          the two depth axes (hidden by default)
//
// Standard axes belong to their chart's axes list; custom axes belong to
// the chart's CustomAxes collection and join the axes list too. Series
// convert their values through CalcPosValue and CalcPosPoint; the chart
// sets the pixel span and the range in use before each paint.

#include "platform/core/Collections.h"
#include "platform/graphics/GraphicsTypes.h"

#include <QtCore/QString>

#include <functional>

namespace lp {

class TCustomAxisPanel;

// The largest pixel coordinate the axes produce (positions are clamped to
// plus or minus this value): the graphics here take 32-bit coordinates.
inline int PlotMaxPixelPos = 67108863;

// The chart engine's axis error: a message text, the old value kept.
class AxisException : public Exception {
public:
    using Exception::Exception;
    explicit AxisException(const QString& Message) : Exception(Message.toStdString()) {}
};

class TChartAxis : public TCollectionItem {
    Q_OBJECT
public:
    enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };
    Q_ENUM(TAxisLabelStyle)

private:
    Q_PROPERTY(bool Automatic READ Automatic WRITE SetAutomatic)
    Q_CLASSINFO("default:Automatic", "true")
    Q_PROPERTY(bool AutomaticMaximum READ AutomaticMaximum WRITE SetAutomaticMaximum)
    Q_CLASSINFO("default:AutomaticMaximum", "true")
    Q_PROPERTY(bool AutomaticMinimum READ AutomaticMinimum WRITE SetAutomaticMinimum)
    Q_CLASSINFO("default:AutomaticMinimum", "true")
    Q_PROPERTY(QString AxisValuesFormat READ AxisValuesFormat WRITE SetAxisValuesFormat)
    Q_CLASSINFO("stored:AxisValuesFormat", "IsAxisValuesFormatStored")
    Q_PROPERTY(QString DateTimeFormat READ DateTimeFormat WRITE SetDateTimeFormat)
    Q_CLASSINFO("default:DateTimeFormat", "")
    Q_PROPERTY(bool Inverted READ Inverted WRITE SetInverted)
    Q_CLASSINFO("default:Inverted", "false")
    Q_PROPERTY(TAxisLabelStyle LabelStyle READ LabelStyle WRITE SetLabelStyle)
    Q_CLASSINFO("default:LabelStyle", "talAuto")
    Q_PROPERTY(double Maximum READ Maximum WRITE SetMaximum)
    Q_CLASSINFO("stored:Maximum", "IsMaxStored")
    Q_PROPERTY(double Minimum READ Minimum WRITE SetMinimum)
    Q_CLASSINFO("stored:Minimum", "IsMinStored")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("stored:Visible", "IsVisibleStored")

public:
    // A custom axis of the chart owning Collection (a TChartCustomAxes).
    explicit TChartAxis(TCollection* Collection);
    // A standard axis of Chart.
    explicit TChartAxis(TCustomAxisPanel* Chart);
    ~TChartAxis() override;

    void Assign(const TPersistent* Source) override;

    TCustomAxisPanel* ParentChart() const { return FParentChart; }
    bool IsDepthAxis() const { return FIsDepthAxis; }

    bool Automatic() const { return FAutomatic; }
    void SetAutomatic(bool Value);
    bool AutomaticMaximum() const { return FAutomaticMaximum; }
    void SetAutomaticMaximum(bool Value);
    bool AutomaticMinimum() const { return FAutomaticMinimum; }
    void SetAutomaticMinimum(bool Value);
    QString AxisValuesFormat() const { return FAxisValuesFormat; }
    void SetAxisValuesFormat(const QString& Value);
    Q_INVOKABLE bool IsAxisValuesFormatStored() const;
    QString DateTimeFormat() const { return FDateTimeFormat; }
    void SetDateTimeFormat(const QString& Value);
    bool Horizontal() const { return FHorizontal; }
    void SetHorizontal(bool Value);
    bool OtherSide() const { return FOtherSide; }
    void SetOtherSide(bool Value);
    bool Inverted() const { return FInverted; }
    virtual void SetInverted(bool Value);
    TAxisLabelStyle LabelStyle() const { return FLabelStyle; }
    void SetLabelStyle(TAxisLabelStyle Value);
    double Maximum() const { return FMaximum; }
    void SetMaximum(double Value);
    double Minimum() const { return FMinimum; }
    void SetMinimum(double Value);
    Q_INVOKABLE bool IsMaxStored() const { return !FAutomatic && !FAutomaticMaximum; }
    Q_INVOKABLE bool IsMinStored() const { return !FAutomatic && !FAutomaticMinimum; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    Q_INVOKABLE bool IsVisibleStored() const { return FVisible != FDefaultVisible; }
    double ZPosition() const { return FZPosition; }
    void SetZPosition(double Value);

    // Fixed range: automatic off, the two swapped when AMin > AMax, Maximum
    // at least Minimum + 1e-10.
    void SetMinMax(double AMin, double AMax);

    // --- The range and pixel span in use ---

    double CalcMinimum() const { return FCalcMinimum; }
    double CalcMaximum() const { return FCalcMaximum; }
    double CalcRange() const { return FCalcRange; }
    int StartPixel() const { return FStartPixel; }
    int EndPixel() const { return FEndPixel; }
    int AxisPixelSize() const { return FAxisPixelSize; }
    int CenterPixel() const { return FCenterPixel; }
    double PixelsPerUnit() const { return FPixelsPerUnit; }
    // Sets the pixel span and recomputes the scale.
    void SetPixelSpan(int Start, int End);
    // Sets the range in use and recomputes the scale.
    void SetCalcRange(double AMin, double AMax);
    // Recomputes the range in use: the fixed limits, or the chart's
    // extent of the axis' series where automatic.
    void AdjustMaxMin();

    // --- Paint-time layout and drawing (called by the chart's paint) ---

    // Whether the chart shows the axis in the current paint.
    bool PaintVisible() const { return FPaintVisible; }
    void SetPaintVisible(bool Value) { FPaintVisible = Value; }
    // Takes the axis' title, labels, wall and ticks space out of Rect (or,
    // with CalcSizes False, only places the axis against Rect).
    void CalcAxisSpace(TRect& Rect, bool CalcSizes);
    // The pixel span from the chart rectangle (or the chart's depth) and
    // the start and end positions.
    void InternalCalcPositions();
    // Narrows the data range so that it ends the two margins (pixels) short
    // of the axis ends.
    void ApplyMargins(int FirstMargin, int SecondMargin);
    // Title, labels, ticks, axis line and grid.
    void DrawAxis(bool CalcPosAxis);
    // Called while the axis draws its grid (tools that draw bands).
    std::function<void(TChartAxis* Sender)> OnDrawGrid;

    // Value to pixel (clamped to plus or minus PlotMaxPixelPos); a zero
    // range gives CenterPixel.
    int CalcPosValue(double Value) const;
    // Pixel to value.
    double CalcPosPoint(int Pixel) const;
    // Pixel length of a span; 0 for values not above 0 or a zero range.
    int CalcSizeValue(double Value) const;

    // The label text of an axis value.
    virtual QString LabelValue(double Value) const;
    // The label style an automatic axis uses.
    virtual TAxisLabelStyle CalcLabelStyle() const;
    // True when the first active series with a value list on this axis has
    // a date-time list.
    bool IsDateTime() const;

protected:
    void SetDepthAxis(bool Value) { FIsDepthAxis = Value; }
    void SetDefaultVisible(bool Value);
    void Changed();

private:
    void Init();
    void RecalcScale();

    TCustomAxisPanel* FParentChart = nullptr;
    bool FIsDepthAxis = false;
    bool FAutomatic = true;
    bool FAutomaticMaximum = true;
    bool FAutomaticMinimum = true;
    QString FAxisValuesFormat;
    QString FDateTimeFormat;
    bool FHorizontal = false;
    bool FOtherSide = false;
    bool FInverted = false;
    TAxisLabelStyle FLabelStyle = talAuto;
    double FMaximum = 0;
    double FMinimum = 0;
    bool FVisible = true;
    bool FDefaultVisible = true;
    double FZPosition = 0;
    bool FPaintVisible = false;

    double FCalcMinimum = 0;
    double FCalcMaximum = 0;
    double FCalcRange = 0;
    int FStartPixel = 0;
    int FEndPixel = 0;
    int FAxisPixelSize = 0;
    int FCenterPixel = 0;
    double FPixelsPerUnit = 0;
};

using TAxisLabelStyle = TChartAxis::TAxisLabelStyle;
inline constexpr TAxisLabelStyle talAuto = TChartAxis::talAuto;
inline constexpr TAxisLabelStyle talNone = TChartAxis::talNone;
inline constexpr TAxisLabelStyle talValue = TChartAxis::talValue;
inline constexpr TAxisLabelStyle talMark = TChartAxis::talMark;
inline constexpr TAxisLabelStyle talText = TChartAxis::talText;

class TChartDepthAxis : public TChartAxis {
    Q_OBJECT
    Q_CLASSINFO("default:Visible", "false")
public:
    explicit TChartDepthAxis(TCustomAxisPanel* Chart);
    // Also gives the chart's other depth axis the same Inverted.
    void SetInverted(bool Value) override;
    TAxisLabelStyle CalcLabelStyle() const override;
};

} // namespace lp
