#pragma once
// Price bars by period: TCompressFunction turns the points of a source
// series into one open-high-low-close bar per calendar or clock period (or
// per block of round(Period) points). Its own series must be a price
// series (TOHLCSeries); the source may be a price series or any other,
// whose value becomes open, high, low and close alike.
//
// A period is known by its start, so it includes the periods around it:
// the day; the Monday of the week; the month, or the first month of the two
// months, quarter or year; the first second of the clock period on its
// day. A point starts a new bar when its period differs from the previous
// point's; within one week a weekday earlier than the previous point's
// also starts one.

#include "chart/engine/PlotFunction.h"

#include <functional>

namespace lp {

class TCompressFunction : public TPlotFunction {
    Q_OBJECT
public:
    enum TCompressionPeriod : quint8 {
        ocDay, ocWeek, ocMonth, ocBiMonth, ocQuarter, ocYear, ocSecond, ocTenSecond, ocMinute, ocTwoMinutes,
        ocFiveMinutes, ocTenMinutes, ocFifteenMinutes, ocTwentyMinutes, ocHalfHour, ocHour, ocTwoHours,
        ocThreeHour, ocSixHour, ocTwelveHour
    };
    Q_ENUM(TCompressionPeriod)

private:
    Q_PROPERTY(TCompressionPeriod Compress READ Compress WRITE SetCompress)
    Q_CLASSINFO("default:Compress", "ocWeek")

public:
    // May replace Date, the date whose period point ValueIndex falls in.
    using TCompressGetDate =
        std::function<void(TPlotFunction* Sender, TChartSeries* Source, int ValueIndex, double& Date)>;

    explicit TCompressFunction(TComponent* AOwner = nullptr) : TPlotFunction(AOwner) { SetSingleSource(true); }

    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TCompressFuncEditor"); }
    // CompressSeries without a volume pair.
    void AddPoints(TChartSeries* Source) override;
    // Fills the parent (when it is a price series) with Source's bars;
    // with a volume source and output also fills VolumeOutput with one
    // point per bar: its X the bar's last date, its Y the summed volume
    // (nothing where the volume source has no point). Date values outside
    // the years 1 .. 9999 raise EConvertError.
    void CompressSeries(TChartSeries* Source, TChartSeries* VolumeSource, TChartSeries* VolumeOutput);

    TCompressionPeriod Compress() const { return FCompress; }
    void SetCompress(TCompressionPeriod Value);

    TCompressGetDate OnGetDate;

private:
    TCompressionPeriod FCompress = ocWeek;
};

using TCompressionPeriod = TCompressFunction::TCompressionPeriod;

// The start of Date's period: a day number for the calendar periods (for
// ocMonth .. ocYear a month count), a second count for the clock periods.
qint64 CompressionPeriodStart(TCompressionPeriod Period, double Date);

// "Compression" on the "Financial" gallery page.
void RegisterCompressFunction();
void UnregisterCompressFunction();

} // namespace lp
