// Big candles: the four price marks around each candle, and registration.

#include "chart/extensions/financial/PlotBigCandle.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/PropertyInfo.h"

namespace lp {

TBigCandleSeries::TBigCandleSeries(TComponent* AOwner) : TCandleSeries(AOwner)
{
    Marks()->SetVisible(true);
    Marks()->Callout()->SetLength(0);
    Marks()->Callout()->SetDefaultLength(0);
    KeepStartAsDefault(*Marks(), {"Visible"});
}

void TBigCandleSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    (void)St;
    const int Left = APosition.TopLeft.X;
    const int W = APosition.MarkWidth;
    const int H = APosition.MarkHeight;
    // Each mark's top is its price's pixel moved by Shift.
    const auto Mark = [&](const TChartValueList& Prices, int Shift, int MarkLeft) {
        const double Price = Prices.Value(ValueIndex);
        TSeriesMarkPosition P = APosition;
        P.TopLeft = {MarkLeft, CalcYPosValue(Price) + Shift};
        TCustomSeries::DrawMark(ValueIndex, FormatFloat(ValueFormat(), Price), P);
    };
    const int OpenLeft = Left - (W / 2 + FHorizGap);
    const int CloseLeft = Left + (W / 2 + FHorizGap);
    Mark(*OpenValues(), -(H / 2), OpenLeft);
    Mark(*CloseValues(), -(H / 2), CloseLeft);
    Mark(*HighValues(), -(H + FVertGap), CloseLeft);
    Mark(*LowValues(), FVertGap, CloseLeft);
}

void RegisterBigCandleSeries()
{
    RegisterPlotSeries<TBigCandleSeries>(&PlotMsg_GalleryBigCandle, &PlotMsg_GalleryOther, 1);
}

void UnregisterBigCandleSeries()
{
    UnRegisterPlotSeries({&TBigCandleSeries::staticMetaObject});
    UnRegisterClass(TPersistent::ClassNameOf(TBigCandleSeries::staticMetaObject));
}

} // namespace lp
