#pragma once
// XYZ points drawn as pointers placed in depth by their Z value, optionally
// joined by a 3-D line (LinePen) and dropped to the bottom of the vertical
// axis (BaseLine). The bubble variant sizes each pointer by a radius per
// point, in vertical-axis units.
//
//   TCustom3DSeries
//     └─ TPoint3DSeries            Pointer, BaseLine, DepthSize, LinePen
//          └─ TBubble3DSeries      RadiusValues ("Radius")
//
// Every pointer is at least one pixel deep on each side of its Z, so a
// DepthSize of 0 still gives a visible 3-D pointer.

#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotPaletteSeries.h"
#include "chart/engine/PlotPointer.h"

#include <functional>
#include <memory>

namespace lp {

class TPoint3DSeries : public TCustom3DSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)
    Q_PROPERTY(lp::TChartPen* BaseLine READ BaseLine WRITE SetBaseLine)
    Q_PROPERTY(double DepthSize READ DepthSize WRITE SetDepthSize)
    Q_CLASSINFO("default:DepthSize", "0")
    Q_PROPERTY(lp::TChartPen* LinePen READ LinePen WRITE SetLinePen)
    Q_PROPERTY(lp::TSeriesPointer* Pointer READ Pointer WRITE SetPointer)

public:
    // A point's depth pixels: where the pointer starts, its middle and its
    // end.
    struct TZPositions {
        int Start = 0;
        int Middle = 0;
        int End = 0;
    };

    explicit TPoint3DSeries(TComponent* AOwner = nullptr);
    ~TPoint3DSeries() override;

    // From another 3-D point series: Pointer, DepthSize and BaseLine; then
    // the 3-D base's copy.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TPoint3DSeriesEditor"); }
    void SetParentChart(TCustomAxisPanel* Value) override;

    // N points of three random integers 0 .. 99 as X, Y and Z.
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    void PrepareForGallery(bool IsEnabled) override;
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;

    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVertMargins(int& TopMargin, int& BottomMargin) override;
    void DrawValue(int ValueIndex) override;
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    // The Z maximum plus DepthSize.
    double MaxZValue() override;
    // The inherited test, then the first pointer within its sizes of the
    // click (converted to 2-D at the point's depth on a 3-D chart).
    int Clicked(int X, int Y) override;

    // Half the pointer's depth in pixels.
    virtual int CalcDepthSize(int ValueIndex) const;
    virtual TZPositions CalcZPositions(int ValueIndex) const;
    virtual bool HasPointerStyleGallery() const { return true; }
    // The pointer's half width and half height at a point (the bubble's
    // follow its radius).
    virtual TPoint PointerHalfSize(int ValueIndex) const;

    TChartHiddenPen* BaseLine() const { return FBaseLine.get(); }
    void SetBaseLine(const TChartPen* Value) { FBaseLine->Assign(Value); }
    double DepthSize() const { return FDepthSize; }
    void SetDepthSize(double Value) { SetDoubleProperty(FDepthSize, Value); }
    TChartPen* LinePen() const { return Pen(); }
    void SetLinePen(const TChartPen* Value) { SetPen(Value); }
    TSeriesPointer* Pointer() const { return FPointer.get(); }
    void SetPointer(const TSeriesPointer* Value) { FPointer->Assign(Value); }

    std::function<void(TPoint3DSeries* Sender, int ValueIndex, int X, int Y)> OnClickPointer;
    std::function<TSeriesPointerStyle(TChartSeries* Sender, int ValueIndex)> OnGetPointerStyle;

private:
    void DrawConnection(int X, int Y, int Z, bool IsFirst);

    std::unique_ptr<TChartHiddenPen> FBaseLine;
    double FDepthSize = 0;
    std::unique_ptr<TSeriesPointer> FPointer;
    int FOldX = 0;
    int FOldY = 0;
    int FOldZ = 0;
};

class TBubble3DSeries : public TPoint3DSeries {
    Q_OBJECT
    Q_CLASSINFO("default:ColorEachPoint", "true")
    Q_PROPERTY(lp::TChartValueList* RadiusValues READ RadiusValues WRITE SetRadiusValues)

public:
    explicit TBubble3DSeries(TComponent* AOwner = nullptr);

    // Stores ARadius as the pending radius, then adds the point; the new
    // index.
    int AddBubble(double X, double Y, double Z, double ARadius, const QString& ALabel = {},
                  TColor AColor = clPlotColor);

    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    void PrepareForGallery(bool IsEnabled) override;
    // The pointer sized to the point's radius for the point series' drawing;
    // its stored sizes are put back afterwards, so painting never changes
    // what a saved chart holds.
    void DrawValue(int ValueIndex) override;
    // The extremes widened by every point's radius.
    double MaxYValue() override;
    double MinYValue() override;
    double MaxZValue() override;
    double MinZValue() override;
    // Only another 3-D bubble series feeds this one.
    bool IsValidSourceOf(TChartSeries* Source) override;

    int CalcDepthSize(int ValueIndex) const override;
    TZPositions CalcZPositions(int ValueIndex) const override;
    bool HasPointerStyleGallery() const override { return false; }
    // The vertical axis' pixel size of the point's radius, both ways.
    TPoint PointerHalfSize(int ValueIndex) const override;

    TChartValueList* RadiusValues() const { return FRadiusValues; }
    void SetRadiusValues(TChartValueList* Value) { SetValueList(FRadiusValues, Value); }

private:
    // The widest reach of Values(i) + Sign * radius(i) over the points,
    // against Inherited.
    double ExtremeWithRadius(const TChartValueList& Values, double Inherited, double Sign) const;

    TChartValueList* FRadiusValues = nullptr; // owned by the value lists
};

// Registers both types on the "3D" gallery page; the unregistering undoes it.
void RegisterPoint3DSeries();
void UnregisterPoint3DSeries();

} // namespace lp
