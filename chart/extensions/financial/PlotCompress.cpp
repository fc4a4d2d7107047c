// Price bars by calendar or clock period.

#include "chart/extensions/financial/PlotCompress.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "platform/base/Numeric.h"
#include "platform/core/DateTimeFormat.h"

#include <QtCore/QDate>

#include <algorithm>

namespace lp {

namespace {

struct TDateParts {
    qint64 Day = 0; // Julian day number
    int Year = 0;
    int Month = 0;
    int Weekday = 0; // Monday 1 .. Sunday 7
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
};

TDateParts DecodeParts(double Date)
{
    int Y = 0, Mo = 0, D = 0, H = 0, Mi = 0, S = 0, Ms = 0;
    DecodeDateTime(Date, Y, Mo, D, H, Mi, S, Ms);
    const QDate Calendar(Y, Mo, D);
    return {Calendar.toJulianDay(), Y, Mo, Calendar.dayOfWeek(), H, Mi, S};
}

// Months since year 0, the month rounded down to a multiple of Months.
qint64 MonthStart(const TDateParts& P, int Months)
{
    return static_cast<qint64>(P.Year) * 12 + (P.Month - 1) / Months * Months;
}

// Seconds since the start of the Julian day count, the time of day rounded
// down to a multiple of Seconds.
qint64 ClockStart(const TDateParts& P, int Seconds)
{
    const int OfDay = P.Hour * 3600 + P.Minute * 60 + P.Second;
    return P.Day * 86400 + OfDay / Seconds * Seconds;
}

qint64 PeriodStart(TCompressionPeriod Period, const TDateParts& P)
{
    using F = TCompressFunction;
    switch (Period) {
    case F::ocDay: return P.Day;
    case F::ocWeek: return P.Day - (P.Weekday - 1);
    case F::ocMonth: return MonthStart(P, 1);
    case F::ocBiMonth: return MonthStart(P, 2);
    case F::ocQuarter: return MonthStart(P, 3);
    case F::ocYear: return MonthStart(P, 12);
    case F::ocSecond: return ClockStart(P, 1);
    case F::ocTenSecond: return ClockStart(P, 10);
    case F::ocMinute: return ClockStart(P, 60);
    case F::ocTwoMinutes: return ClockStart(P, 2 * 60);
    case F::ocFiveMinutes: return ClockStart(P, 5 * 60);
    case F::ocTenMinutes: return ClockStart(P, 10 * 60);
    case F::ocFifteenMinutes: return ClockStart(P, 15 * 60);
    case F::ocTwentyMinutes: return ClockStart(P, 20 * 60);
    case F::ocHalfHour: return ClockStart(P, 30 * 60);
    case F::ocHour: return ClockStart(P, 3600);
    case F::ocTwoHours: return ClockStart(P, 2 * 3600);
    case F::ocThreeHour: return ClockStart(P, 3 * 3600);
    case F::ocSixHour: return ClockStart(P, 6 * 3600);
    case F::ocTwelveHour: return ClockStart(P, 12 * 3600);
    }
    return P.Day;
}

// One source point as a price bar.
struct TBar {
    double Open = 0;
    double High = 0;
    double Low = 0;
    double Close = 0;
};

} // namespace

qint64 CompressionPeriodStart(TCompressionPeriod Period, double Date)
{
    return PeriodStart(Period, DecodeParts(Date));
}

void TCompressFunction::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TCompressFunction*>(Source))
        FCompress = Other->FCompress;
    TPlotFunction::Assign(Source);
}

void TCompressFunction::SetCompress(TCompressionPeriod Value)
{
    if (Value == FCompress)
        return;
    FCompress = Value;
    ReCalculate();
}

void TCompressFunction::AddPoints(TChartSeries* Source)
{
    CompressSeries(Source, nullptr, nullptr);
}

void TCompressFunction::CompressSeries(TChartSeries* Source, TChartSeries* VolumeSource, TChartSeries* VolumeOutput)
{
    auto* Output = qobject_cast<TOHLCSeries*>(ParentSeries());
    if (!Output || IsUpdating())
        return;
    Output->Clear();
    const bool WithVolume = VolumeSource && VolumeOutput;
    if (WithVolume)
        VolumeOutput->Clear();
    if (!Source)
        return;
    const auto* Prices = qobject_cast<TOHLCSeries*>(Source);
    const TChartValueList& Values = *ValueList(Source);
    const TChartValueList& Dates = *Source->XValues();
    // A period below half a point would take i mod 0.
    const int Block = Period() != 0 ? std::max(1, RoundToInt32(std::clamp(Period(), 0.0, 2147483647.0))) : 0;
    qint64 LastStart = 0;
    int LastWeekday = 0;
    int BarIndex = -1;
    for (int I = 0; I < Source->Count(); ++I) {
        const double X = Dates.Value(I);
        bool NewBar = I == 0;
        if (Block > 0) {
            NewBar = I % Block == 0;
        } else {
            double Date = X;
            if (OnGetDate)
                OnGetDate(this, Source, I, Date);
            const TDateParts Parts = DecodeParts(Date);
            const qint64 Start = PeriodStart(FCompress, Parts);
            NewBar = NewBar || Start != LastStart || (FCompress == ocWeek && Parts.Weekday < LastWeekday);
            LastStart = Start;
            LastWeekday = Parts.Weekday;
        }
        const TBar Bar = Prices ? TBar{Prices->OpenValues()->Value(I), Prices->HighValues()->Value(I),
                                       Prices->LowValues()->Value(I), Prices->CloseValues()->Value(I)}
                                : TBar{Values.Value(I), Values.Value(I), Values.Value(I), Values.Value(I)};
        const QString Label = Source->Labels().GetLabel(I);
        const bool HasVolume = WithVolume && I < VolumeSource->Count();
        if (NewBar) {
            BarIndex = Output->AddOHLC(X, Bar.Open, Bar.High, Bar.Low, Bar.Close);
            if (HasVolume)
                VolumeOutput->AddXY(X, VolumeSource->YValues()->Value(I));
        } else {
            Output->CloseValues()->InternalSetValue(BarIndex, Bar.Close);
            Output->DateValues()->InternalSetValue(BarIndex, X);
            if (Bar.High > Output->HighValues()->Value(BarIndex))
                Output->HighValues()->InternalSetValue(BarIndex, Bar.High);
            if (Bar.Low < Output->LowValues()->Value(BarIndex))
                Output->LowValues()->InternalSetValue(BarIndex, Bar.Low);
            if (HasVolume && VolumeOutput->Count() > 0) {
                const int Last = VolumeOutput->Count() - 1;
                TChartValueList& Volumes = *VolumeOutput->YValues();
                Volumes.InternalSetValue(Last, Volumes.Value(Last) + VolumeSource->YValues()->Value(I));
                VolumeOutput->XValues()->InternalSetValue(Last, VolumeSource->XValues()->Value(I));
            }
        }
        if (Output->Labels().GetLabel(BarIndex) != Label)
            Output->Labels().SetLabel(BarIndex, Label);
    }
    if (WithVolume) {
        VolumeOutput->XValues()->SetModified(true);
        VolumeOutput->YValues()->SetModified(true);
    }
}

void RegisterCompressFunction()
{
    RegisterPlotFunction<TCompressFunction>(&PlotMsg_Compression, &PlotMsg_GalleryFinancial, 1);
}

void UnregisterCompressFunction()
{
    UnRegisterPlotFunctions({&TCompressFunction::staticMetaObject});
}

} // namespace lp
