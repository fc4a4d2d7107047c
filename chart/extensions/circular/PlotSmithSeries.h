#pragma once
// Normalised impedances z = r + jx (r the resistance, x the reactance)
// plotted on the unit circle of the reflection coefficient (z - 1)/(z + 1),
// over a grid of constant-resistance circles and constant-reactance arcs.
//
// The grid's pens, label flags and fonts live on the series' axes: the
// horizontal axis holds the resistance circles' (RCirclePen, RLabels,
// RLabelsFont), the vertical one the reactance arcs' (CCirclePen, CLabels,
// CLabelsFont), so the axis editor edits them. Without a chart they read
// as defaults and writes are ignored. Only the first active Smith series of
// a chart draws the background and the grid.

#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotPointer.h"

#include <functional>
#include <memory>

namespace lp {

class TSmithSeries : public TCircledSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartPen* CCirclePen READ CCirclePen WRITE SetCCirclePen STORED false)
    Q_PROPERTY(int CircleBackColor READ CircleBackColor WRITE SetCircleBackColor)
    Q_CLASSINFO("default:CircleBackColor", "0x20000000")
    Q_PROPERTY(lp::TPlotGradient* CircleGradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(lp::TChartPen* CirclePen READ CirclePen WRITE SetCirclePen)
    Q_PROPERTY(bool CLabels READ CLabels WRITE SetCLabels STORED false)
    Q_PROPERTY(lp::TPlotFont* CLabelsFont READ CLabelsFont WRITE SetCLabelsFont STORED false)
    Q_PROPERTY(QString ImagSymbol READ ImagSymbol WRITE SetImagSymbol)
    Q_CLASSINFO("default:ImagSymbol", "i")
    Q_PROPERTY(lp::TChartValueList* ResistanceValues READ ResistanceValues WRITE SetResistanceValues)
    Q_PROPERTY(lp::TChartValueList* ReactanceValues READ ReactanceValues WRITE SetReactanceValues)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(lp::TSeriesPointer* Pointer READ Pointer WRITE SetPointer)
    Q_PROPERTY(lp::TChartPen* RCirclePen READ RCirclePen WRITE SetRCirclePen STORED false)
    Q_PROPERTY(bool RLabels READ RLabels WRITE SetRLabels STORED false)
    Q_PROPERTY(lp::TPlotFont* RLabelsFont READ RLabelsFont WRITE SetRLabelsFont STORED false)

public:
    explicit TSmithSeries(TComponent* AOwner = nullptr);
    ~TSmithSeries() override;

    QString GetEditorClassName() const override { return QStringLiteral("TSmithSeriesEdit"); }
    // Gives the pointer its chart too.
    void SetParentChart(TCustomAxisPanel* Value) override;

    // --- Settings ---

    TChartPen* CirclePen() const { return FCirclePen.get(); }
    void SetCirclePen(const TChartPen* Value) { FCirclePen->Assign(Value); }
    QString ImagSymbol() const { return FImagSymbol; }
    void SetImagSymbol(const QString& Value) { SetStringProperty(FImagSymbol, Value); }
    TSeriesPointer* Pointer() const { return FPointer.get(); }
    void SetPointer(const TSeriesPointer* Value) { FPointer->Assign(Value); }
    TChartValueList* ResistanceValues() const { return XValues(); }
    void SetResistanceValues(const TChartValueList* Value) { SetValueList(XValues(), Value); }
    TChartValueList* ReactanceValues() const { return YValues(); }
    void SetReactanceValues(const TChartValueList* Value) { SetValueList(YValues(), Value); }

    // On the axes (see above).
    TChartPen* RCirclePen() const;
    void SetRCirclePen(const TChartPen* Value);
    TChartPen* CCirclePen() const;
    void SetCCirclePen(const TChartPen* Value);
    bool RLabels() const;
    void SetRLabels(bool Value);
    bool CLabels() const;
    void SetCLabels(bool Value);
    TPlotFont* RLabelsFont() const;
    void SetRLabelsFont(const TPlotFont* Value);
    TPlotFont* CLabelsFont() const;
    void SetCLabelsFont(const TPlotFont* Value);

    // --- Geometry ---

    // The pixel of impedance (R, X); False (and P untouched) where the
    // reflection coefficient has no finite value (r = -1, x = 0).
    bool PositionOf(double R, double X, TPoint& P) const;
    int CalcXPos(int Index) const override;
    int CalcYPos(int Index) const override;
    // The inherited test, then the first pointer within its sizes.
    int Clicked(int X, int Y) override;

    // --- Drawing ---

    void DoBeforeDrawValues() override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;

    // i × 6.5 / N resistances and small random reactances.
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    void PrepareForGallery(bool IsEnabled) override;

    std::function<TSeriesPointerStyle(TChartSeries* Sender, int ValueIndex)> OnGetPointerStyle;

private:
    bool IsFirstOfClass() const;
    void DrawResistanceCircle(double R);
    void DrawReactanceArc(double X);
    void DrawReactanceLabel(const TPoint& P, const QString& Text);

    std::unique_ptr<TChartPen> FCirclePen;
    QString FImagSymbol = QStringLiteral("i");
    std::unique_ptr<TSeriesPointer> FPointer;
    int FOldX = 0;
    int FOldY = 0;
    bool FHasOld = false;
};

// Registers "Smith" on the "Extended" gallery page; the unregistering undoes
// it.
void RegisterSmithSeries();
void UnregisterSmithSeries();

} // namespace lp
