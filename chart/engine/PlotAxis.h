#pragma once
// One axis of a chart: its range, the conversion between axis values and
// pixels, the step and texts of its labels, and its layout and drawing.
//
//   TChartAxis (TCollectionItem)
//     ├─owns─> TAxisItems ─owns─> TAxisItem …   custom labels; the list's
//     │                                         LabelShape carries the labels'
//     │                                         font and visibility
//     ├─owns─> TChartAxisTitle                  caption, font, angle
//     ├─owns─> TChartAxisPen (Axis)             the axis line, LineMode
//     ├─owns─> TAxisGridPen (Grid)              centred flag, 3-D start depth
//     ├─owns─> TDarkGrayPen (Ticks, TicksInner, MinorTicks), TChartHiddenPen (MinorGrid)
//     └─ TChartDepthAxis                        the two depth axes (hidden by default)
//
// Standard axes belong to their chart's axes list; custom axes belong to the
// chart's CustomAxes collection and join the axes list too. Series convert
// their values through CalcPosValue and CalcPosPoint.
//
// Per paint the chart calls, for every axis (PlotAxisPanel's InternalDraw):
//   AdjustMaxMin            range in use (automatic, fixed, rounded, LinLog)
//   SetPaintVisible         whether the chart shows the axis
//   CalcAxisSpace           title, labels, wall and ticks space taken from the
//                           chart rectangle (TitlePixel, LabelsPixel), or only
//                           the placement for axes beyond the first five
//   InternalCalcPositions   pixel span from the chart rectangle
//   ApplyMargins            data range narrowed by the series' margins
//   DrawAxis(true)          title, labels, axis line, ticks, grid, minor marks
//
// Logarithmic axes hold the "LinLog" extension: when the range reaches zero
// or below, the scale becomes L(x) = sign(x) log10(|x| / LinLogUnit + 1),
// linear near zero and logarithmic beyond, so that zero and negative values
// get positions too.
//
// Label texts are measured through LabelMeasurer when it is set (tests install
// fixed metrics there); otherwise through the chart canvas with the font the
// axis selected last.

#include "chart/canvas/PlotPanel.h"
#include "chart/canvas/PlotPens.h"
#include "chart/canvas/PlotShapes.h"
#include "platform/base/Numeric.h"
#include "platform/core/Collections.h"
#include "platform/graphics/DrawingLimits.h"
#include "platform/graphics/GraphicsTypes.h"

#include <QtCore/QString>

#include <algorithm>
#include <cmath>
#include <limits>

#include <functional>
#include <memory>
#include <unordered_map>
#include <cstdint>
#include <vector>

namespace lp {

class TChartAxis;
class TChartSeries;
class TCustomAxisPanel;

// The largest pixel coordinate the axes produce (positions are clamped to
// plus or minus this value): the graphics here take 32-bit coordinates.
inline int PlotMaxPixelPos = 67108863;

// A pixel coordinate or length computed in doubles, rounded and held within
// plus or minus PlotMaxPixelPos (a shape far off the device is drawn at
// that distance instead of failing the paint); NaN gives 0.
inline int RoundPixel(double Value)
{
    if (std::isnan(Value))
        return 0;
    const double Limit = PlotMaxPixelPos;
    return RoundToInt32(std::clamp(Value, -Limit, Limit));
}

// The value-to-pixel mapping of a linear axis taken once (its range, scale
// and pixel span), so that loops over many values map them without a call
// per value: the very pixels CalcPosValue gives on that axis.
struct TLinearPixelMap {
    bool Flat = true;  // a zero range: every value at Center
    bool Fast = false; // the offset rounded alone, bounded by the int range only
    int Center = 0;
    double Minimum = 0;
    double PixelsPerUnit = 0;
    double Origin = 0; // the pixel of Minimum
    double Sign = 1;   // +1 when pixels grow with the values, else -1
    double Limit = 0;  // the clamp of plain positions

    int operator()(double Value) const
    {
        if (Flat || std::isnan(Value))
            return Center;
        const double Offset = (Value - Minimum) * PixelsPerUnit;
        const double P = Origin + Sign * (Fast ? RoundHalfEven(Offset) : Offset);
        if (std::isnan(P))
            return Center;
        if (Fast)
            return RoundToInt32(std::clamp(P, static_cast<double>(std::numeric_limits<int>::min()),
                                           static_cast<double>(std::numeric_limits<int>::max())));
        return RoundToInt32(std::clamp(P, -Limit, Limit));
    }
};

// The chart engine's axis error: a message text, the old value kept.
class AxisException : public Exception {
public:
    using Exception::Exception;
    explicit AxisException(const QString& Message) : Exception(Message.toStdString()) {}
};

// --- Pens and title of an axis --------------------------------------------------------------------

// The axis line: width 2, drawn as a line, a cylinder or a rectangle.
class TChartAxisPen : public TChartPen {
    Q_OBJECT
public:
    enum TPenLineMode { lmLine, lmCylinder, lmRectangle };
    Q_ENUM(TPenLineMode)

private:
    Q_CLASSINFO("default:Width", "2")
    Q_PROPERTY(TPenLineMode LineMode READ LineMode WRITE SetLineMode)
    Q_CLASSINFO("default:LineMode", "lmLine")

public:
    explicit TChartAxisPen(TGraphicsChangeEvent OnChange = {});

    TPenLineMode LineMode() const { return FLineMode; }
    // Signals the pen's change when the value differs.
    void SetLineMode(TPenLineMode Value);
    // From an axis pen also LineMode; then the chart pen's assignment.
    void Assign(const TPersistent* Source) override;

private:
    TPenLineMode FLineMode = lmLine;
};

using TPenLineMode = TChartAxisPen::TPenLineMode;
inline constexpr TPenLineMode lmLine = TChartAxisPen::lmLine;
inline constexpr TPenLineMode lmCylinder = TChartAxisPen::lmCylinder;
inline constexpr TPenLineMode lmRectangle = TChartAxisPen::lmRectangle;

// The grid lines of an axis: grey dots, optionally centred between labels;
// in 3-D the depth part of a grid line starts at ZPosition percent of the
// chart depth.
class TAxisGridPen : public TDottedGrayPen {
    Q_OBJECT
    Q_PROPERTY(double ZPosition READ ZPosition WRITE SetZPosition)
    Q_CLASSINFO("stored:ZPosition", "IsZPositionStored")

public:
    explicit TAxisGridPen(TGraphicsChangeEvent OnChange = {});

    // Read and written by the axis as its GridCentered.
    bool Centered() const { return FCentered; }
    void SetCentered(bool Value);
    double ZPosition() const { return FZPosition; }
    void SetZPosition(double Value);
    // Sets ZPosition and the value it is not stored at (no signal).
    void SetDefaultZPosition(double Value);
    double DefaultZPosition() const { return FDefaultZPosition; }
    Q_INVOKABLE bool IsZPositionStored() const { return FZPosition != FDefaultZPosition; }
    // From a grid pen also the centred flag and ZPosition.
    void Assign(const TPersistent* Source) override;

private:
    bool FCentered = false;
    double FZPosition = 0;
    double FDefaultZPosition = 0;
};

// The axis title: a framed shape (transparent by default) with a caption
// and an angle.
class TChartAxisTitle : public TPlotCustomShape {
    Q_OBJECT
    Q_PROPERTY(int Angle READ Angle WRITE SetAngle)
    Q_CLASSINFO("stored:Angle", "IsAngleStored")
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_CLASSINFO("default:Caption", "")
    Q_PROPERTY(lp::TPlotFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "true")

public:
    explicit TChartAxisTitle(TCustomPlotPanel* AOwner = nullptr);

    // Copies angle and caption, then the shape.
    void Assign(const TPersistent* Source) override;

    int Angle() const { return FAngle; }
    // Stores the value reduced to 0 .. 359 degrees.
    void SetAngle(int Value);
    // Sets Angle and the angle it is not stored at (no repaint).
    void SetDefaultAngle(int Value);
    int DefaultAngle() const { return FDefaultAngle; }
    Q_INVOKABLE bool IsAngleStored() const { return FAngle != FDefaultAngle; }
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);

private:
    int FAngle = 0;
    int FDefaultAngle = 0;
    QString FCaption;
};

// --- Custom labels -------------------------------------------------------------------------------

class TAxisItems;

// One custom label: a value and its text (empty: the axis' text of the
// value), drawn with the item's own font and frame.
class TAxisItem : public TPlotShape {
    Q_OBJECT
    Q_CLASSINFO("default:Transparent", "true")
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_CLASSINFO("default:Text", "")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(double Value READ Value WRITE SetValue)
    Q_CLASSINFO("default:Value", "0")

public:
    // A transparent item of Owner's axis' chart (Owner may be nullptr).
    explicit TAxisItem(TAxisItems* Owner);

    QString Text() const { return FText; }
    // Repaints the chart when the text changed.
    void SetText(const QString& Value);
    double Value() const { return FValue; }
    void SetValue(double Value);

private:
    QString FText;
    double FValue = 0;
};

// The custom labels of an axis, in the order added. An axis with items
// shows only them.
class TAxisItems {
public:
    explicit TAxisItems(TChartAxis* AAxis);
    ~TAxisItems();
    TAxisItems(const TAxisItems&) = delete;
    TAxisItems& operator=(const TAxisItems&) = delete;

    TChartAxis* Axis() const { return FAxis; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // ERangeError outside 0 .. Count - 1.
    TAxisItem* Item(int Index) const;
    TAxisItem* operator[](int Index) const { return Item(Index); }
    // A new transparent item, appended; returns it (owned by the list).
    TAxisItem* Add(double Value);
    TAxisItem* Add(double Value, const QString& Text);
    // ERangeError outside 0 .. Count - 1.
    void Delete(int Index);
    // Frees every item and repaints the chart.
    void Clear();
    // Copies the label shape, then replaces the items by copies of the
    // source's values and texts.
    void Assign(const TAxisItems& Source);

    // Transparent; carries the axis' LabelsFont and Labels visibility.
    TPlotCustomShape& LabelShape() const { return *FLabelShape; }

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    void Repaint() const;

    TChartAxis* FAxis;
    std::unique_ptr<TPlotCustomShape> FLabelShape;
    std::vector<std::unique_ptr<TAxisItem>> FItems;
};

// --- TChartAxis ---------------------------------------------------------------------------------

// Ranges of the axis' pixel settings: the label and title sizes, offsets
// and tick lengths keep within -MaxPixelLength .. MaxPixelLength (their
// setters clamp), the minor tick count within 0 .. MaxMinorTickCount and the
// labels separation (percent) within 0 .. MaxLabelsSeparation.
inline constexpr int MaxMinorTickCount = 1000;
inline constexpr int MaxLabelsSeparation = 10000;

class TChartAxis : public TCollectionItem {
    Q_OBJECT
public:
    enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };
    Q_ENUM(TAxisLabelStyle)
    enum TAxisLabelAlign { alDefault, alOpposite };
    Q_ENUM(TAxisLabelAlign)

private:
    Q_PROPERTY(bool Automatic READ Automatic WRITE SetAutomatic)
    Q_CLASSINFO("default:Automatic", "true")
    Q_PROPERTY(bool AutomaticMaximum READ AutomaticMaximum WRITE SetAutomaticMaximum)
    Q_CLASSINFO("default:AutomaticMaximum", "true")
    Q_PROPERTY(bool AutomaticMinimum READ AutomaticMinimum WRITE SetAutomaticMinimum)
    Q_CLASSINFO("default:AutomaticMinimum", "true")
    Q_PROPERTY(lp::TChartAxisPen* Axis READ Axis WRITE SetAxis)
    Q_PROPERTY(QString AxisValuesFormat READ AxisValuesFormat WRITE SetAxisValuesFormat)
    Q_CLASSINFO("stored:AxisValuesFormat", "IsAxisValuesFormatStored")
    Q_PROPERTY(QString DateTimeFormat READ DateTimeFormat WRITE SetDateTimeFormat)
    Q_CLASSINFO("default:DateTimeFormat", "")
    Q_PROPERTY(double EndPosition READ EndPosition WRITE SetEndPosition)
    Q_CLASSINFO("default:EndPosition", "100")
    Q_PROPERTY(bool ExactDateTime READ ExactDateTime WRITE SetExactDateTime)
    Q_CLASSINFO("default:ExactDateTime", "true")
    Q_PROPERTY(lp::TAxisGridPen* Grid READ Grid WRITE SetGrid)
    Q_PROPERTY(bool GridCentered READ GridCentered WRITE SetGridCentered)
    Q_CLASSINFO("default:GridCentered", "false")
    Q_PROPERTY(bool Horizontal READ Horizontal WRITE SetHorizontal)
    Q_CLASSINFO("stored:Horizontal", "IsCustomAxis")
    Q_PROPERTY(double Increment READ Increment WRITE SetIncrement)
    Q_CLASSINFO("default:Increment", "0")
    Q_PROPERTY(bool Inverted READ Inverted WRITE SetInverted)
    Q_CLASSINFO("default:Inverted", "false")
    Q_PROPERTY(bool Labels READ Labels WRITE SetLabels)
    Q_CLASSINFO("default:Labels", "true")
    Q_PROPERTY(TAxisLabelAlign LabelsAlign READ LabelsAlign WRITE SetLabelsAlign)
    Q_CLASSINFO("default:LabelsAlign", "alDefault")
    Q_PROPERTY(bool LabelsAlternate READ LabelsAlternate WRITE SetLabelsAlternate)
    Q_CLASSINFO("default:LabelsAlternate", "false")
    Q_PROPERTY(int LabelsAngle READ LabelsAngle WRITE SetLabelsAngle)
    Q_CLASSINFO("default:LabelsAngle", "0")
    Q_PROPERTY(bool LabelsExponent READ LabelsExponent WRITE SetLabelsExponent)
    Q_CLASSINFO("default:LabelsExponent", "false")
    Q_PROPERTY(lp::TPlotFont* LabelsFont READ LabelsFont WRITE SetLabelsFont)
    Q_PROPERTY(bool LabelsMultiLine READ LabelsMultiLine WRITE SetLabelsMultiLine)
    Q_CLASSINFO("default:LabelsMultiLine", "false")
    Q_PROPERTY(bool LabelsOnAxis READ LabelsOnAxis WRITE SetLabelsOnAxis)
    Q_CLASSINFO("default:LabelsOnAxis", "true")
    Q_PROPERTY(int LabelsSeparation READ LabelsSeparation WRITE SetLabelsSeparation)
    Q_CLASSINFO("default:LabelsSeparation", "10")
    Q_PROPERTY(int LabelsSize READ LabelsSize WRITE SetLabelsSize)
    Q_CLASSINFO("default:LabelsSize", "0")
    Q_PROPERTY(TAxisLabelStyle LabelStyle READ LabelStyle WRITE SetLabelStyle)
    Q_CLASSINFO("default:LabelStyle", "talAuto")
    Q_PROPERTY(bool Logarithmic READ Logarithmic WRITE SetLogarithmic)
    Q_CLASSINFO("default:Logarithmic", "false")
    Q_PROPERTY(double LogarithmicBase READ LogarithmicBase WRITE SetLogarithmicBase)
    Q_CLASSINFO("default:LogarithmicBase", "10")
    Q_PROPERTY(double Maximum READ Maximum WRITE SetMaximum)
    Q_CLASSINFO("stored:Maximum", "IsMaxStored")
    Q_PROPERTY(int MaximumOffset READ MaximumOffset WRITE SetMaximumOffset)
    Q_CLASSINFO("default:MaximumOffset", "0")
    Q_PROPERTY(double Minimum READ Minimum WRITE SetMinimum)
    Q_CLASSINFO("stored:Minimum", "IsMinStored")
    Q_PROPERTY(int MinimumOffset READ MinimumOffset WRITE SetMinimumOffset)
    Q_CLASSINFO("default:MinimumOffset", "0")
    Q_PROPERTY(lp::TChartHiddenPen* MinorGrid READ MinorGrid WRITE SetMinorGrid)
    Q_PROPERTY(int MinorTickCount READ MinorTickCount WRITE SetMinorTickCount)
    Q_CLASSINFO("default:MinorTickCount", "3")
    Q_PROPERTY(int MinorTickLength READ MinorTickLength WRITE SetMinorTickLength)
    Q_CLASSINFO("default:MinorTickLength", "2")
    Q_PROPERTY(lp::TDarkGrayPen* MinorTicks READ MinorTicks WRITE SetMinorTicks)
    Q_PROPERTY(bool OtherSide READ OtherSide WRITE SetOtherSide)
    Q_CLASSINFO("stored:OtherSide", "IsCustomAxis")
    Q_PROPERTY(double PositionPercent READ PositionPercent WRITE SetPositionPercent)
    Q_CLASSINFO("default:PositionPercent", "0")
    Q_PROPERTY(lp::TCustomPlotPanel::TPlotUnits PositionUnits READ PositionUnits WRITE SetPositionUnits)
    Q_CLASSINFO("default:PositionUnits", "muPercent")
    Q_PROPERTY(bool RoundFirstLabel READ RoundFirstLabel WRITE SetRoundFirstLabel)
    Q_CLASSINFO("default:RoundFirstLabel", "true")
    Q_PROPERTY(double StartPosition READ StartPosition WRITE SetStartPosition)
    Q_CLASSINFO("default:StartPosition", "0")
    Q_PROPERTY(int TickInnerLength READ TickInnerLength WRITE SetTickInnerLength)
    Q_CLASSINFO("default:TickInnerLength", "0")
    Q_PROPERTY(int TickLength READ TickLength WRITE SetTickLength)
    Q_CLASSINFO("default:TickLength", "4")
    Q_PROPERTY(bool TickOnLabelsOnly READ TickOnLabelsOnly WRITE SetTickOnLabelsOnly)
    Q_CLASSINFO("default:TickOnLabelsOnly", "true")
    Q_PROPERTY(lp::TDarkGrayPen* Ticks READ Ticks WRITE SetTicks)
    Q_PROPERTY(lp::TDarkGrayPen* TicksInner READ TicksInner WRITE SetTicksInner)
    Q_PROPERTY(lp::TChartAxisTitle* Title READ Title WRITE SetTitle)
    Q_PROPERTY(int TitleSize READ TitleSize WRITE SetTitleSize)
    Q_CLASSINFO("default:TitleSize", "0")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("stored:Visible", "IsVisibleStored")
    Q_PROPERTY(double ZPosition READ ZPosition WRITE SetZPosition)
    Q_CLASSINFO("stored:ZPosition", "IsZPositionStored")

public:
    // A custom axis of the chart owning Collection (a TChartCustomAxes).
    explicit TChartAxis(TCollection* Collection);
    // A standard axis of Chart.
    explicit TChartAxis(TCustomAxisPanel* Chart);
    // Leaves the chart's axes list; every series of a chart that lives on
    // forgets the axis where it was its custom axis.
    ~TChartAxis() override;

    // Every published setting, the title, pens and custom labels.
    void Assign(const TPersistent* Source) override;

    TCustomAxisPanel* ParentChart() const { return FParentChart; }
    bool IsDepthAxis() const { return FIsDepthAxis; }
    // True for an axis of the chart's CustomAxes collection.
    Q_INVOKABLE bool IsCustomAxis() const { return Collection() != nullptr; }

    // --- Published settings ---

    bool Automatic() const { return FAutomatic; }
    // Also sets AutomaticMinimum and AutomaticMaximum, except while the
    // chart is loading.
    void SetAutomatic(bool Value);
    bool AutomaticMaximum() const { return FAutomaticMaximum; }
    void SetAutomaticMaximum(bool Value);
    bool AutomaticMinimum() const { return FAutomaticMinimum; }
    void SetAutomaticMinimum(bool Value);
    TChartAxisPen* Axis() const { return FAxisPen.get(); }
    void SetAxis(const TChartAxisPen* Value) { FAxisPen->Assign(Value); }
    QString AxisValuesFormat() const { return FAxisValuesFormat; }
    void SetAxisValuesFormat(const QString& Value);
    Q_INVOKABLE bool IsAxisValuesFormatStored() const;
    QString DateTimeFormat() const { return FDateTimeFormat; }
    void SetDateTimeFormat(const QString& Value);
    bool ExactDateTime() const { return FExactDateTime; }
    void SetExactDateTime(bool Value) { SetBool(FExactDateTime, Value); }
    TAxisGridPen* Grid() const { return FGrid.get(); }
    void SetGrid(const TAxisGridPen* Value) { FGrid->Assign(Value); }
    bool GridCentered() const { return FGrid->Centered(); }
    void SetGridCentered(bool Value) { FGrid->SetCentered(Value); }
    bool Horizontal() const { return FHorizontal; }
    // Also chooses the position function again.
    void SetHorizontal(bool Value);
    // 0: automatic step. Negative raises AxisException.
    double Increment() const { return FIncrement; }
    void SetIncrement(double Value);
    bool Inverted() const { return FInverted; }
    virtual void SetInverted(bool Value);
    // The labels shape's visibility and font.
    bool Labels() const;
    void SetLabels(bool Value);
    TPlotFont* LabelsFont() const;
    void SetLabelsFont(const TPlotFont* Value);
    TAxisLabelAlign LabelsAlign() const { return FLabelsAlign; }
    void SetLabelsAlign(TAxisLabelAlign Value);
    bool LabelsAlternate() const { return FLabelsAlternate; }
    void SetLabelsAlternate(bool Value) { SetBool(FLabelsAlternate, Value); }
    int LabelsAngle() const { return FLabelsAngle; }
    void SetLabelsAngle(int Value) { SetInt(FLabelsAngle, Value); }
    bool LabelsExponent() const { return FLabelsExponent; }
    void SetLabelsExponent(bool Value) { SetBool(FLabelsExponent, Value); }
    bool LabelsMultiLine() const { return FLabelsMultiLine; }
    void SetLabelsMultiLine(bool Value) { SetBool(FLabelsMultiLine, Value); }
    bool LabelsOnAxis() const { return FLabelsOnAxis; }
    void SetLabelsOnAxis(bool Value) { SetBool(FLabelsOnAxis, Value); }
    // Percent of a label's size kept free between labels; 0: the step is
    // never widened and point labels never skipped. Negative raises; above
    // MaxLabelsSeparation counts as that.
    int LabelsSeparation() const { return FLabelsSeparation; }
    void SetLabelsSeparation(int Value);
    // Fixed label space in pixels; 0: measured.
    int LabelsSize() const { return FLabelsSize; }
    void SetLabelsSize(int Value) { SetInt(FLabelsSize, ClampPixelLength(Value)); }
    TAxisLabelStyle LabelStyle() const { return FLabelStyle; }
    void SetLabelStyle(TAxisLabelStyle Value);
    bool Logarithmic() const { return FLogarithmic; }
    // Undoes the chart's zoom first; True on a date-time axis raises
    // AxisException. With LogAutoFormat also sets LabelsExponent,
    // AxisValuesFormat and MinorTickCount; switching on recomputes the
    // range; calls OnScaleChange when the value changed.
    void SetLogarithmic(bool Value);
    double LogarithmicBase() const { return FLogarithmicBase; }
    // 1 or a value not above 0 raises AxisException.
    void SetLogarithmicBase(double Value);
    double Maximum() const { return FMaximum; }
    // Below Minimum raises AxisException unless the chart is loading.
    void SetMaximum(double Value);
    double Minimum() const { return FMinimum; }
    // Above Maximum raises AxisException unless the chart is loading.
    void SetMinimum(double Value);
    Q_INVOKABLE bool IsMaxStored() const { return !FAutomatic && !FAutomaticMaximum; }
    Q_INVOKABLE bool IsMinStored() const { return !FAutomatic && !FAutomaticMinimum; }
    int MaximumOffset() const { return FMaximumOffset; }
    void SetMaximumOffset(int Value) { SetInt(FMaximumOffset, ClampPixelLength(Value)); }
    int MinimumOffset() const { return FMinimumOffset; }
    void SetMinimumOffset(int Value) { SetInt(FMinimumOffset, ClampPixelLength(Value)); }
    TChartHiddenPen* MinorGrid() const { return FMinorGrid.get(); }
    void SetMinorGrid(const TChartHiddenPen* Value) { FMinorGrid->Assign(Value); }
    int MinorTickCount() const { return FMinorTickCount; }
    void SetMinorTickCount(int Value) { SetInt(FMinorTickCount, ClampToRange(Value, 0, MaxMinorTickCount)); }
    int MinorTickLength() const { return FMinorTickLength; }
    void SetMinorTickLength(int Value) { SetInt(FMinorTickLength, ClampPixelLength(Value)); }
    TDarkGrayPen* MinorTicks() const { return FMinorTicks.get(); }
    void SetMinorTicks(const TDarkGrayPen* Value) { FMinorTicks->Assign(Value); }
    bool OtherSide() const { return FOtherSide; }
    void SetOtherSide(bool Value);
    // Distance of the axis from its side of the chart rectangle, toward
    // the inside: percent of the rectangle's height (horizontal axes) or
    // width, or pixels by PositionUnits.
    double PositionPercent() const { return FPositionPercent; }
    void SetPositionPercent(double Value) { SetDouble(FPositionPercent, Value); }
    TPlotUnits PositionUnits() const { return FPositionUnits; }
    void SetPositionUnits(TPlotUnits Value);
    bool RoundFirstLabel() const { return FRoundFirstLabel; }
    void SetRoundFirstLabel(bool Value) { SetBool(FRoundFirstLabel, Value); }
    // Percent of the chart rectangle's width or height (or of the chart's
    // depth) where the axis starts and ends.
    double StartPosition() const { return FStartPosition; }
    void SetStartPosition(double Value) { SetDouble(FStartPosition, Value); }
    double EndPosition() const { return FEndPosition; }
    void SetEndPosition(double Value) { SetDouble(FEndPosition, Value); }
    int TickInnerLength() const { return FTickInnerLength; }
    void SetTickInnerLength(int Value) { SetInt(FTickInnerLength, ClampPixelLength(Value)); }
    int TickLength() const { return FTickLength; }
    void SetTickLength(int Value) { SetInt(FTickLength, ClampPixelLength(Value)); }
    bool TickOnLabelsOnly() const { return FTickOnLabelsOnly; }
    void SetTickOnLabelsOnly(bool Value) { SetBool(FTickOnLabelsOnly, Value); }
    TDarkGrayPen* Ticks() const { return FTicks.get(); }
    void SetTicks(const TDarkGrayPen* Value) { FTicks->Assign(Value); }
    TDarkGrayPen* TicksInner() const { return FTicksInner.get(); }
    void SetTicksInner(const TDarkGrayPen* Value) { FTicksInner->Assign(Value); }
    TChartAxisTitle* Title() const { return FTitle.get(); }
    void SetTitle(const TChartAxisTitle* Value) { FTitle->Assign(Value); }
    int TitleSize() const { return FTitleSize; }
    void SetTitleSize(int Value) { SetInt(FTitleSize, ClampPixelLength(Value)); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    Q_INVOKABLE bool IsVisibleStored() const { return FVisible != FDefaultVisible; }
    // Depth position in percent; a resulting 0 becomes 0.01.
    double ZPosition() const { return FZPosition; }
    void SetZPosition(double Value);
    // For the standard OtherSide axes other than the depth axes when not
    // 100, for any other axis when above 0.011.
    Q_INVOKABLE bool IsZPositionStored() const;

    // Called before each label is drawn: position, depth and text may be
    // changed, DrawLabel cleared to skip the label.
    std::function<void(TChartAxis* Sender, int& X, int& Y, int& Z, QString& Text, bool& DrawLabel)> OnDrawLabel;
    // Called after Logarithmic changed.
    std::function<void(QObject* Sender)> OnScaleChange;
    // Called while the axis draws its grid, before the grid lines (tools
    // that draw bands), also when the grid pen is hidden.
    std::function<void(TChartAxis* Sender)> OnDrawGrid;

    // --- Custom labels ---

    TAxisItems& Items() const { return *FItems; }

    // --- Unpublished settings ---

    // Fixed range: automatic off, the two swapped when AMin > AMax, Maximum
    // at least Minimum + 1e-10; tells the chart.
    void SetMinMax(double AMin, double AMax);
    // Whether AMin and AMax can stand as the limits of a scroll or zoom:
    // both finite, and both above 0 on a logarithmic axis that is not
    // LinLog (its scale has no place for the others). A scroll or zoom that
    // would give other limits is refused.
    bool AcceptsLimits(double AMin, double AMax) const;
    // Moves Minimum and Maximum by Offset (automatic off) and repaints;
    // with CheckLimits only while the series' extent on that side is not
    // yet reached.
    void Scroll(double Offset, bool CheckLimits = false);

    // Automatic limits come from FixedMinimum and FixedMaximum instead of
    // the series.
    bool UseFixedLimits() const { return FUseFixedLimits; }
    void SetUseFixedLimits(bool Value) { FUseFixedLimits = Value; }
    double FixedMinimum() const { return FFixedMinimum; }
    void SetFixedMinimum(double Value) { FFixedMinimum = Value; }
    double FixedMaximum() const { return FFixedMaximum; }
    void SetFixedMaximum(double Value) { FFixedMaximum = Value; }
    // Limits rounded outward to the Increment (linear) or to powers of the
    // base (logarithmic) when the range is recomputed.
    bool RoundedLimits() const { return FRoundedLimits; }
    void SetRoundedLimits(bool Value);
    // Switching Logarithmic also sets exponent labels, the value format and
    // the minor tick count.
    bool LogAutoFormat() const { return FLogAutoFormat; }
    void SetLogAutoFormat(bool Value) { FLogAutoFormat = Value; }
    // LinLog: the scale is LinLog while a logarithmic axis' range reaches 0
    // or below (decided by AdjustMaxMin).
    bool LinLogActive() const { return FLinLogActive; }
    void SetLinLogActive(bool Value);
    // The value one LinLog decade from zero, over 9 (set by AdjustMaxMin).
    double LinLogUnit() const { return FLinLogUnit; }
    // The editor's LinLog controls; each recomputes the range, chooses the
    // position function and repaints. LinLogDecShift is kept within
    // 1 .. 15; LinLogMinDecValue is accepted only above 0 and below the
    // larger of |Maximum| and |Minimum| (returns whether it was).
    bool LinLogMinDec() const { return FLinLogMinDec; }
    void SetLinLogMinDec(bool Value);
    int LinLogDecShift() const { return FLinLogDecShift; }
    void SetLinLogDecShift(int Value);
    double LinLogMinDecValue() const { return FLinLogMinDecValue; }
    bool SetLinLogMinDecValue(double Value);
    // The title is drawn at the chart's outer edge (section charts).
    bool TitleAtEdge() const { return FTitleAtEdge; }
    void SetTitleAtEdge(bool Value) { FTitleAtEdge = Value; }
    // The appearance text the chart menu's "Default" command restores.
    QString DefaultSettings() const { return FDefaultSettings; }
    void SetDefaultSettings(const QString& Value) { FDefaultSettings = Value; }

    // --- The range and pixel span in use ---

    double CalcMinimum() const { return FCalcMinimum; }
    double CalcMaximum() const { return FCalcMaximum; }
    double CalcRange() const { return FCalcRange; }
    // |CalcRange| not above 1e-100.
    bool RangeIsZero() const { return FRangeIsZero; }
    // The last AdjustMaxMin changed CalcMinimum or CalcMaximum.
    bool RangeChanged() const { return FRangeChanged; }
    int StartPixel() const { return FStartPixel; }
    int EndPixel() const { return FEndPixel; }
    int AxisPixelSize() const { return FAxisPixelSize; }
    int CenterPixel() const { return FCenterPixel; }
    double PixelsPerUnit() const { return FPixelsPerUnit; }
    double PixelsPerLogUnit() const { return FPixelsPerLogUnit; }
    double LogMinimum() const { return FLogMinimum; }
    double LogMaximum() const { return FLogMaximum; }
    double LogRange() const { return FLogRange; }
    // Sets the pixel span and recomputes the scale.
    void SetPixelSpan(int Start, int End);
    // Sets the range in use and recomputes the scale.
    void SetCalcRange(double AMin, double AMax);
    // Recomputes the range in use: Minimum and Maximum while the chart is
    // zoomed; else the automatic or fixed limits (rounded with
    // RoundedLimits), LinLog switched on or off and its unit chosen.
    void AdjustMaxMin();
    // Chooses the position function: depth, logarithmic or linear (fast
    // or clipped by the chart's AxesList().FastCalc()).
    void SetCalcPosValue();
    // Whether values map to pixels by the linear function (so the mapping
    // never turns back, and a run of sorted values that starts and ends on
    // one pixel lies on it whole).
    bool LinearPositions() const { return FPositionFunction == pfLinear; }

    // --- Paint-time layout and drawing (called by the chart's paint) ---

    // Whether the chart shows the axis in the current paint.
    bool PaintVisible() const { return FPaintVisible; }
    void SetPaintVisible(bool Value) { FPaintVisible = Value; }
    // Takes the axis' title, labels, wall and ticks space out of Rect (or,
    // with CalcSizes False, only places the axis against Rect).
    void CalcAxisSpace(TRect& Rect, bool CalcSizes);
    // The pixel span from the chart rectangle (or the chart's depth) and
    // StartPosition and EndPosition.
    void InternalCalcPositions();
    // Narrows the data range so that it ends the two margins (pixels) short
    // of the axis ends; the pixel span stays.
    void ApplyMargins(int FirstMargin, int SecondMargin);
    // Title, labels, axis line, ticks, grid, minor ticks and minor grid;
    // CalcPosAxis recomputes AxisLinePixel from the chart rectangle.
    void DrawAxis(bool CalcPosAxis);
    // The axis line, ticks and grids again where the last DrawAxis put them,
    // over a wall drawn in front of them. The title and labels, beyond the
    // wall, are not drawn a second time: a text drawn twice turns bold.
    void DrawAxisAgain();
    // Draws the axis at the given positions with a temporary range and
    // increment (automatic off) and the grid shown or hidden, then puts
    // range, automatic flags, grid and scale back (circular axes of polar
    // series).
    void CustomDrawMinMax(int ALabelsPixel, int ATitlePixel, int AAxisLinePixel, bool GridVisible, double AMinimum,
                          double AMaximum, double AIncrement, int AStartPixel, int AEndPixel);
    // Pixel across the axis of its line, of where labels start and of the
    // title (set by CalcAxisSpace and DrawAxis).
    int AxisLinePixel() const { return FAxisLinePixel; }
    void SetAxisLinePixel(int Value) { FAxisLinePixel = Value; }
    int LabelsPixel() const { return FLabelsPixel; }
    void SetLabelsPixel(int Value) { FLabelsPixel = Value; }
    int TitlePixel() const { return FTitlePixel; }
    void SetTitlePixel(int Value) { FTitlePixel = Value; }
    // The label pixels of the last DrawAxis (ticks and grid use them).
    const std::vector<int>& TickPositions() const { return FTickPositions; }
    // Pen width + 1 for a visible axis line, + TickLength for visible
    // ticks, at least MinorTickLength with visible minor ticks.
    int CalcTicksSize() const;
    // The labels' space across the axis (LabelsSize when set, doubled when
    // labels alternate, then AxesList().OnAxisSize).
    int CalcLabelsSize() const;
    // The widest label (custom items, marks, point labels or the range
    // ends' value texts plus a blank); Lines receives the most lines of one
    // label. The chart's label event is not called.
    int MaxLabelsWidth(int* Lines = nullptr) const;
    // The axis' depth in pixels: ZPosition percent of the chart depth (of
    // the chart rectangle's height for a depth axis).
    int ZPositionPixels() const;
    // Along the axis from StartPixel to EndPixel, across from AxisLinePixel
    // (widened by 3) to LabelsPixel.
    TRect CalcRect() const;
    // Whether (X, Y) hits the axis (projected at its depth in 3-D); False
    // when the chart does not show the axis.
    bool Clicked(int X, int Y) const;

    // --- Positions ---

    // Value to pixel by the position function (clamped to plus or minus
    // PlotMaxPixelPos); a zero range gives CenterPixel. On a plain
    // logarithmic axis values not above 0 give the axis' low end.
    int CalcPosValue(double Value) const;
    // CalcPosValue of a linear axis (LinearPositions) as a mapping to keep
    // for a pass over many values; valid until the axis range or span changes.
    TLinearPixelMap LinearPixelMap() const;
    // Pixel to value.
    double CalcPosPoint(int Pixel) const;
    // Pixel length of a span; 0 for values not above 0 or a zero range.
    int CalcSizeValue(double Value) const;
    // The LinLog transform of a value and its inverse, with LinLogUnit.
    double LinLogValue(double X) const;
    double LinLogInverse(double Y) const;
    // X moved by Decades on the LinLog scale and rounded to a signed power
    // of ten (0 within 6 units of zero).
    double LinLogShift(double X, int Decades) const;
    // X rounded to the nearest signed power of the base (of ten, by a LinLog
    // shift of 0, when LinLog is active).
    double LogRound(double X) const;

    // --- Labels ---

    // The step between labels for the axis' pixel size and label extents.
    double CalcLabelsIncrement() const;
    // The step for NumLabels labels (the part of CalcLabelsIncrement after
    // the labels are counted; LabelsAlternate not applied).
    double CalcIncrementForLabelCount(int NumLabels) const;
    // The next value of the 1-2-5 ladder (1 for infinity; positive values).
    static double NextStep125(double Value);
    // The label text of an axis value (the chart's OnGetAxisLabel may
    // change it; LabelsMultiLine turns blanks into line breaks).
    virtual QString LabelValue(double Value) const;
    // The label style an automatic axis uses.
    virtual TAxisLabelStyle CalcLabelStyle() const;
    // True when the first active series with a value list on this axis has
    // a date-time list.
    bool IsDateTime() const;
    // The answer of IsDateTime kept by the last AdjustMaxMin, CalcAxisSpace
    // or DrawAxis; label steps and texts use it.
    bool IsDateTimeAxis() const { return FIsDateTimeAxis; }

    // How label texts are measured: Width of one line and the line height
    // in pixels. Empty members measure on the chart canvas.
    struct TLabelMeasurer {
        std::function<int(const QString& Line)> TextWidth;
        std::function<int()> FontHeight;
    };
    TLabelMeasurer LabelMeasurer;

protected:
    void SetDepthAxis(bool Value);
    void SetDefaultVisible(bool Value);
    // Repaints the chart.
    void Changed();
    void SetBool(bool& Field, bool Value);
    void SetInt(int& Field, int Value);
    void SetDouble(double& Field, double Value);

private:
    enum TPositionFunction { pfLinear, pfLogarithmic, pfDepth };

    void Init();
    void RecalcScale();
    bool IsLinLog() const { return FLogarithmic && FLinLogActive; }
    int ClampPixel(double Pixel) const;
    int CalcLogPos(double Value) const;
    int CalcDepthPos(double Value) const;
    void ComputeLinLogUnit();
    double LogOf(double Value) const;
    double NextLabelStep(double Step) const;
    double DateTimeIncrement(int NumLabels) const;
    double NumericIncrement(int NumLabels) const;
    int LabelExtent(double Value) const;
    // The text of a value without the chart's label event.
    QString LabelTextWithoutEvent(double Value) const;

    // Measuring (PlotAxisDraw.cpp).
    void SelectFont(TPlotFont& Font) const;
    int TextWidthOf(const QString& Line) const;
    int FontHeightOf() const;
    int MultiLineWidth(const QString& Text, int& Lines) const;
    int SizeAcross(int Angle, int Width, int Lines, int FixedSize) const;

    // Layout (PlotAxisDraw.cpp).
    int EdgeOf(const TRect& Rect) const;
    void TakeSpace(TRect& Rect, int Size) const;
    int MoveOutward(int Pixel, int Amount) const;
    int PositionOffset(const TRect& Rect) const;
    // Labels and title outward from AxisLinePixel: ticks, then labels.
    void PlaceLabelsAndTitleFromAxisLine();
    int DepthAxisY() const;
    TAxisLabelStyle EffectiveLabelStyle() const;

    // Drawing (PlotAxisDraw.cpp).
    void DrawTitle();
    void DrawCustomLabels();
    void DrawValueLabels(double Step, int StepIndex);
    bool DrawLabelsFromEvent();
    void DrawLogLabels();
    void DrawPointLabels(TAxisLabelStyle Style);
    void DrawDepthSeriesLabels();
    void DrawThisLabel(int Pixel, const QString& Text, TAxisItem* Item);
    void DrawLabelText(int X, int Y, int Z, int Angle, const QString& Text, TAxisItem* Item, bool IsLabel);
    void DrawTextLine(int X, int Y, int Z, int Angle, unsigned Align, const QString& Line);
    void DrawTicksLineAndGrid();
    void DrawAxisLine();
    void DrawTick(int Pixel, int Offset, int Length);
    void DrawGridLine(int Pixel);
    std::vector<int> MinorPixels() const;

    TCustomAxisPanel* FParentChart = nullptr;
    bool FIsDepthAxis = false;
    TPositionFunction FPositionFunction = pfLinear;

    // Published.
    bool FAutomatic = true;
    bool FAutomaticMaximum = true;
    bool FAutomaticMinimum = true;
    std::unique_ptr<TChartAxisPen> FAxisPen;
    QString FAxisValuesFormat;
    QString FDateTimeFormat;
    bool FExactDateTime = true;
    std::unique_ptr<TAxisGridPen> FGrid;
    bool FHorizontal = false;
    double FIncrement = 0;
    bool FInverted = false;
    TAxisLabelAlign FLabelsAlign = alDefault;
    bool FLabelsAlternate = false;
    int FLabelsAngle = 0;
    bool FLabelsExponent = false;
    bool FLabelsMultiLine = false;
    bool FLabelsOnAxis = true;
    int FLabelsSeparation = 10;
    int FLabelsSize = 0;
    TAxisLabelStyle FLabelStyle = talAuto;
    bool FLogarithmic = false;
    double FLogarithmicBase = 10;
    double FMaximum = 0;
    double FMinimum = 0;
    int FMaximumOffset = 0;
    int FMinimumOffset = 0;
    std::unique_ptr<TChartHiddenPen> FMinorGrid;
    int FMinorTickCount = 3;
    int FMinorTickLength = 2;
    std::unique_ptr<TDarkGrayPen> FMinorTicks;
    bool FOtherSide = false;
    double FPositionPercent = 0;
    TPlotUnits FPositionUnits = muPercent;
    bool FRoundFirstLabel = true;
    double FStartPosition = 0;
    double FEndPosition = 100;
    int FTickInnerLength = 0;
    int FTickLength = 4;
    bool FTickOnLabelsOnly = true;
    std::unique_ptr<TDarkGrayPen> FTicks;
    std::unique_ptr<TDarkGrayPen> FTicksInner;
    std::unique_ptr<TChartAxisTitle> FTitle;
    int FTitleSize = 0;
    bool FVisible = true;
    bool FDefaultVisible = true;
    double FZPosition = 0;
    std::unique_ptr<TAxisItems> FItems;

    // Unpublished.
    bool FUseFixedLimits = false;
    double FFixedMinimum = 0;
    double FFixedMaximum = 0;
    bool FRoundedLimits = false;
    bool FLogAutoFormat = false;
    bool FLinLogActive = false;
    double FLinLogUnit = 1;
    int FLinLogDecShift = 3;
    bool FLinLogMinDec = false;
    double FLinLogMinDecValue = 0.01;
    bool FTitleAtEdge = false;
    QString FDefaultSettings;
    bool FPaintVisible = false;
    bool FIsDateTimeAxis = false;

    // Range and scale.
    double FCalcMinimum = 0;
    double FCalcMaximum = 0;
    double FCalcRange = 0;
    bool FRangeIsZero = true;
    bool FRangeChanged = false;
    int FStartPixel = 0;
    int FEndPixel = 0;
    int FAxisPixelSize = 0;
    int FCenterPixel = 0;
    double FPixelsPerUnit = 0;
    double FPixelsPerLogUnit = 0;
    double FLogMinimum = 0;
    double FLogMaximum = 0;
    double FLogRange = 0;

    // Layout and the state of one DrawAxis.
    int FAxisLinePixel = 0;
    int FLabelsPixel = 0;
    int FTitlePixel = 0;
    std::vector<int> FTickPositions;
    std::vector<double> FLabelValues;
    int FDrawnLabels = 0;
    int FAlternateShift = 0;
    int FOppositeSize = 0;
    mutable bool FNoLabelEvent = false;
    // The value texts made last, by the value's bits, for the format they
    // were made with: every repaint labels the same values again, and
    // formatting a number costs more than drawing its text.
    struct TLabelTextCache {
        bool DateTime = false;
        QString Format;
        std::unordered_map<std::uint64_t, QString> Texts;
    };
    mutable TLabelTextCache FLabelTexts;
    // The text of Value in Format (a date-time format on a date-time axis),
    // from the cache when it was made before.
    QString FormattedValue(const QString& Format, double Value) const;
};

using TAxisLabelStyle = TChartAxis::TAxisLabelStyle;
inline constexpr TAxisLabelStyle talAuto = TChartAxis::talAuto;
inline constexpr TAxisLabelStyle talNone = TChartAxis::talNone;
inline constexpr TAxisLabelStyle talValue = TChartAxis::talValue;
inline constexpr TAxisLabelStyle talMark = TChartAxis::talMark;
inline constexpr TAxisLabelStyle talText = TChartAxis::talText;
using TAxisLabelAlign = TChartAxis::TAxisLabelAlign;
inline constexpr TAxisLabelAlign alDefault = TChartAxis::alDefault;
inline constexpr TAxisLabelAlign alOpposite = TChartAxis::alOpposite;

class TChartDepthAxis : public TChartAxis {
    Q_OBJECT
    Q_CLASSINFO("default:Visible", "false")
public:
    explicit TChartDepthAxis(TCustomAxisPanel* Chart);
    // Also gives the chart's other depth axis the same Inverted.
    void SetInverted(bool Value) override;
    // talText without series, or when every active series lacks own Z
    // values and has equal smallest and largest Z; else talValue.
    TAxisLabelStyle CalcLabelStyle() const override;
};

} // namespace lp
