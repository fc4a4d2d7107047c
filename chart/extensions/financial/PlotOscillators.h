#pragma once
// Oscillators around a moving average.
//
//   TPlotFunction
//     ├─ TCCIFunction  commodity channel index of a price series: the
//     │                typical price's distance from its simple moving
//     │                average in units of Constant mean deviations
//     └─ TPVOFunction  volume oscillator: short minus long exponential
//                      average, by default in per cent of the short one
//
// The PVO owns its two averages (TExpMovAveFunction, each on a series of
// its own that joins no chart) and reads them as far as the shorter one
// reaches.

#include "chart/engine/PlotFunction.h"

#include <memory>

namespace lp {

class TExpMovAveFunction;

class TCCIFunction : public TPlotFunction {
    Q_OBJECT
    Q_PROPERTY(double Constant READ Constant WRITE SetConstant)
    Q_CLASSINFO("default:Constant", "0.015")
    Q_CLASSINFO("default:Period", "20")

public:
    explicit TCCIFunction(TComponent* AOwner = nullptr);

    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TCCIFuncEditor"); }
    bool IsValidSource(TChartSeries* Series) const override;
    // One point per window of Period (truncated) bars whose mean deviation
    // is not 0; nothing with fewer bars than that.
    void AddPoints(TChartSeries* Source) override;
    double Constant() const { return FConstant; }
    // 0 divides by the plain mean deviation.
    void SetConstant(double Value);

private:
    double FConstant = 0.015;
};

class TPVOFunction : public TPlotFunction {
    Q_OBJECT
    Q_PROPERTY(int Period2 READ Period2 WRITE SetPeriod2)
    Q_CLASSINFO("default:Period2", "26")
    Q_PROPERTY(bool Percentage READ Percentage WRITE SetPercentage)
    Q_CLASSINFO("default:Percentage", "true")
    Q_CLASSINFO("default:Period", "12")

public:
    explicit TPVOFunction(TComponent* AOwner = nullptr);
    ~TPVOFunction() override;

    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TPVOFuncEditor"); }
    // 100 (E1 - E2) / E1 (100 E2 where E1 is 0), or 100 (E1 - E2) without
    // Percentage; nothing for a period of 0.
    void AddPoints(TChartSeries* Source) override;
    // The long average's period, rounded.
    int Period2() const;
    void SetPeriod2(int Value);
    bool Percentage() const { return FPercentage; }
    void SetPercentage(bool Value);

private:
    std::unique_ptr<TChartSeries> FShortSeries;
    std::unique_ptr<TChartSeries> FLongSeries;
    TExpMovAveFunction* FShort = nullptr; // owned by FShortSeries
    TExpMovAveFunction* FLong = nullptr;  // owned by FLongSeries
    bool FPercentage = true;
};

// Both on the "Financial" gallery page.
void RegisterOscillatorFunctions();
void UnregisterOscillatorFunctions();

} // namespace lp
