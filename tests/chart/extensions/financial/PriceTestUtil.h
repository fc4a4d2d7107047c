#pragma once
// Helpers of the price and statistics tests: a chart with fixed axes on a
// recording device, the drawing calls it received, and points in and out of
// series.

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotSeries.h"
#include "platform/graphics/Bitmap.h"
#include "tests/chart/engine/EngineTestUtil.h"

#include <QtCore/QStringList>
#include <QtGui/QImage>

#include <vector>

namespace lp::test {

// A chart over (0, 0)-(400, 200): X at pixel 400 X / XMax, V at pixel
// 200 - 200 V / YMax.
struct TPriceChart : TFixedAxesChart {
    explicit TPriceChart(double XMax = 4, double YMax = 100, bool Is3D = false) : TFixedAxesChart(Is3D, XMax, YMax) {}

    template <class T> T* Add()
    {
        auto* S = new T(&Chart);
        Chart.AddSeries(S);
        return S;
    }
    // The drawing calls since the last ClearCalls; a MoveTo/LineTo pair as
    // "Line(x0,y0,x1,y1)".
    QStringList Drawn() const { return DrawnCalls({"Polygon(", "Polyline(", "Rectangle(", "FillRect("}); }
    QStringList Draw(TChartSeries& S)
    {
        Layout();
        DC.ClearCalls();
        S.DrawAllValues();
        return Drawn();
    }
};

// A flat, unbuffered Width × Height chart without a legend, for reference
// pictures, and its picture on white.
inline void SetUpFlatPictureChart(TChart& Chart, int Width, int Height)
{
    Chart.SetBounds(0, 0, Width, Height);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
}

inline QImage RenderPicture(TChart& Chart)
{
    return Chart.CreateBitmap(clWhite, Chart.GetRectangle())->ToImage();
}


inline QString Rect(int L, int T, int R, int B)
{
    return QStringLiteral("Rectangle(%1,%2,%3,%4)").arg(L).arg(T).arg(R).arg(B);
}

// Y values 0, 1, 2, ... at X 0, 1, 2, ...
inline void AddValues(TChartSeries& S, const std::vector<double>& Values)
{
    for (size_t I = 0; I < Values.size(); ++I)
        S.AddXY(static_cast<double>(I), Values[I]);
}

inline std::vector<double> YsOf(const TChartSeries& S)
{
    std::vector<double> Result;
    for (int I = 0; I < S.Count(); ++I)
        Result.push_back(S.YValues()->Value(I));
    return Result;
}

inline std::vector<double> XsOf(const TChartSeries& S)
{
    std::vector<double> Result;
    for (int I = 0; I < S.Count(); ++I)
        Result.push_back(S.XValues()->Value(I));
    return Result;
}

} // namespace lp::test
