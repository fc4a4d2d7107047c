#pragma once
// A candle series whose marks show all four prices: the open left of the
// candle, the close right of it, the high above and the low below.
//
//   TCandleSeries
//     └─ TBigCandleSeries
//
// Each of the four marks has the size measured for the point's own mark
// text. The open and close marks stand half a mark width plus HorizGap
// from the candle's centre line; the high and low marks share the close
// mark's horizontal position, VertGap away from their prices.

#include "chart/extensions/financial/PlotCandleSeries.h"

namespace lp {

class TBigCandleSeries : public TCandleSeries {
    Q_OBJECT
    Q_PROPERTY(int HorizGap READ HorizGap WRITE SetHorizGap)
    Q_CLASSINFO("default:HorizGap", "20")
    Q_PROPERTY(int VertGap READ VertGap WRITE SetVertGap)
    Q_CLASSINFO("default:VertGap", "6")

public:
    explicit TBigCandleSeries(TComponent* AOwner = nullptr);

    int HorizGap() const { return FHorizGap; }
    void SetHorizGap(int Value) { SetIntegerProperty(FHorizGap, Value); }
    int VertGap() const { return FVertGap; }
    void SetVertGap(int Value) { SetIntegerProperty(FVertGap, Value); }

    // The four marks (St, the point's single mark text, is not shown).
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;

private:
    int FHorizGap = 20;
    int FVertGap = 6;
};

// "Big Candle" on the "Other" page.
void RegisterBigCandleSeries();
void UnregisterBigCandleSeries();

} // namespace lp
