#pragma once
// The grid band tool: fills the stripes between consecutive grid lines of
// an axis alternately with two brushes (zebra stripes across the chart
// rectangle), from inside the axis' grid drawing (TChartAxis::OnDrawGrid,
// which the tool installs on its axis and clears when it lets go of it).
//
// The axis lists its tick pixels from its maximum down, so the stripes run
// from the axis' high end: the first stripe lies between that end and the
// first tick, the last between the last tick and the low end. In 3-D the
// stripes lie on the back wall's plane.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotTools.h"

#include <memory>

namespace lp {

class TCanvas3D;
class TPlotGradient;

// A chart brush with a background colour (the back wall's colour by
// default), a gradient and a transparency.
class TGridBandBrush : public TChartBrush {
    Q_OBJECT
    Q_PROPERTY(int BackColor READ BackColor WRITE SetBackColor)
    Q_CLASSINFO("default:BackColor", "0x1FFFFFFF")
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")

public:
    // The default BackColor: the chart's back wall colour is used.
    static constexpr TColor BackWallColor = 0x1FFFFFFF;

    explicit TGridBandBrush(TGraphicsChangeEvent OnChange = {});
    ~TGridBandBrush() override;

    // Gradient, BackColor and Transparency, then the brush.
    void Assign(const TPersistent* Source) override;

    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor Value);
    TPlotGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(const TPlotGradient* Value);
    // Per cent, 0 .. 100; anything else raises ERangeError and changes
    // nothing.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);

private:
    TColor FBackColor = BackWallColor;
    std::unique_ptr<TPlotGradient> FGradient;
    int FTransparency = 0;
};

class TGridBandTool : public TPlotCustomToolAxis {
    Q_OBJECT
    Q_PROPERTY(lp::TGridBandBrush* Band1 READ Band1 WRITE SetBand1)
    Q_PROPERTY(lp::TGridBandBrush* Band2 READ Band2 WRITE SetBand2)

public:
    explicit TGridBandTool(TComponent* AOwner = nullptr);
    // Clears its axis' grid hook.
    ~TGridBandTool() override;

    QString GetEditorClassName() const override { return QStringLiteral("TGridBandToolEdit"); }
    // "Grid Band".
    QString Description() const override;

    TGridBandBrush* Band1() const { return FBand1.get(); }
    void SetBand1(const TGridBandBrush* Value) { FBand1->Assign(Value); }
    TGridBandBrush* Band2() const { return FBand2.get(); }
    void SetBand2(const TGridBandBrush* Value) { FBand2->Assign(Value); }

    // Moves the grid hook from the old axis to the new one.
    void SetAxis(TChartAxis* Value) override;

    // The hook: the stripes of Sender's ticks (only while active).
    void DrawGrid(TChartAxis* Sender);

private:
    void DrawStripe(TCanvas3D& Canvas, const TGridBandBrush& Band, int P1, int P2);
    TColor BandBackColor(const TGridBandBrush& Band) const;

    std::unique_ptr<TGridBandBrush> FBand1;
    std::unique_ptr<TGridBandBrush> FBand2;
};

} // namespace lp
