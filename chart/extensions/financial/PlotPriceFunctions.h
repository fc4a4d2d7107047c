#pragma once
// Price indicators computed from a price series (TOHLCSeries).
//
//   TPlotFunction
//     └─ TADXFunction     average directional index into the parent series;
//                         the two directional indicators into its own lines
//   TPlotMovingFunction
//     └─ TRSIFunction     relative strength index over a moving window
//
// An indicator that fills lines of its own keeps them as internal series:
// out of the legend, the editors and the stored chart. They join the parent
// series' chart and axes at every calculation (SetUpIndicatorLine). The
// function deletes them when it goes; a chart that goes first deletes them
// itself, and the function only observes them (QPointer).

#include "chart/engine/PlotFunction.h"
#include "platform/graphics/GraphicsTypes.h"

#include <QtCore/QPointer>

namespace lp {

class TChartPen;
class TChartSeries;
class TChartValueList;
class TFastLineSeries;

// A new internal line in Color: not in the legend, the editors or the
// stored chart. The caller owns it.
TFastLineSeries* CreateIndicatorLine(TColor Color);
// Line takes Parent's chart, vertical axis, date-time X flag and draw-value
// events.
void SetUpIndicatorLine(TChartSeries& Line, const TChartSeries& Parent);

class TADXFunction : public TPlotFunction {
    Q_OBJECT
    Q_CLASSINFO("default:Period", "14")
    Q_PROPERTY(lp::TChartPen* DownLinePen READ DownLinePen WRITE SetDownLinePen)
    Q_PROPERTY(lp::TChartPen* UpLinePen READ UpLinePen WRITE SetUpLinePen)

public:
    explicit TADXFunction(TComponent* AOwner = nullptr);
    ~TADXFunction() override;

    QString GetEditorClassName() const override { return QStringLiteral("TADXFuncEditor"); }
    // Nothing for a period below 2; else clears the three series and, with
    // at least twice the period of source points, fills them.
    void AddPoints(TChartSeries* Source) override;
    bool IsValidSource(TChartSeries* Series) const override;

    // +DI (green) and -DI (red); nullptr once a chart has freed them.
    TFastLineSeries* UpLine() const;
    TFastLineSeries* DownLine() const;
    TChartPen* DownLinePen() const;
    void SetDownLinePen(const TChartPen* Value);
    TChartPen* UpLinePen() const;
    void SetUpLinePen(const TChartPen* Value);

protected:
    // The up and down lines come from the prices only as the ADX line is
    // calculated: both are calculated again from the parent's source.
    void RestoreOwnLines(TChartSeries& Parent) override;

private:
    QPointer<TFastLineSeries> FUpLine;
    QPointer<TFastLineSeries> FDownLine;
};

class TRSIFunction : public TPlotMovingFunction {
    Q_OBJECT
public:
    enum TRSIStyle : quint8 { rsiOpenClose, rsiClose };
    Q_ENUM(TRSIStyle)

private:
    Q_PROPERTY(TRSIStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "rsiOpenClose")

public:
    explicit TRSIFunction(TComponent* AOwner = nullptr);

    void Assign(const TPersistent* Source) override;
    TRSIStyle Style() const { return FStyle; }
    void SetStyle(TRSIStyle Value);
    // The RSI of Source's points FirstIndex .. LastIndex (-1: all of them),
    // 0 .. 100; 100 when nothing fell.
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
    bool IsValidSource(TChartSeries* Series) const override;

protected:
    bool WindowOnly() const override { return true; }

private:
    // Looks the "Close" and "Open" lists up again when Source is another
    // series than last time.
    void CacheSource(TChartSeries* Source);

    TRSIStyle FStyle = rsiOpenClose;
    QPointer<TChartSeries> FSource;
    TChartValueList* FClose = nullptr;
    TChartValueList* FOpen = nullptr;
};

using TRSIStyle = TRSIFunction::TRSIStyle;
inline constexpr TRSIStyle rsiOpenClose = TRSIFunction::rsiOpenClose;
inline constexpr TRSIStyle rsiClose = TRSIFunction::rsiClose;

} // namespace lp
