#pragma once
// Price indicators weighted by traded volume, one point per price bar.
//
//   TPlotFunction
//     └─ TVolumeLinkedFunction  the Volume series reference
//          ├─ TCLVFunction      close location value, optionally times the
//          │                    volume and accumulated
//          └─ TOBVFunction      on-balance volume (nothing without Volume)
//
// The sources are price series (TOHLCSeries). Volume is observed, not
// owned: a volume series that goes sets it back to nullptr. The volume of
// bar i is Volume's mandatory value i.

#include "chart/engine/PlotFunction.h"

namespace lp {

class TOHLCSeries;

class TVolumeLinkedFunction : public TPlotFunction {
    Q_OBJECT
    Q_PROPERTY(lp::TChartSeries* Volume READ Volume WRITE SetVolume)
    Q_CLASSINFO("default:Period", "1")

public:
    explicit TVolumeLinkedFunction(TComponent* AOwner = nullptr);

    void Assign(const TPersistent* Source) override;
    bool IsValidSource(TChartSeries* Series) const override;
    TChartSeries* Volume() const { return FVolume; }
    // Recalculates on a change.
    void SetVolume(TChartSeries* Value);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The parent cleared; the price source, or nullptr when there is none.
    TOHLCSeries* StartCalculation(TChartSeries* Source);

private:
    TChartSeries* FVolume = nullptr;
};

class TCLVFunction : public TVolumeLinkedFunction {
    Q_OBJECT
    Q_PROPERTY(bool Accumulate READ Accumulate WRITE SetAccumulate)
    Q_CLASSINFO("default:Accumulate", "true")

public:
    using TVolumeLinkedFunction::TVolumeLinkedFunction;

    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TCLVFuncEditor"); }
    // ((C - L) - (H - C)) / (H - L), 1 when H = L; times the volume while
    // Volume has a point there; plus the previous result with Accumulate.
    void AddPoints(TChartSeries* Source) override;
    bool Accumulate() const { return FAccumulate; }
    void SetAccumulate(bool Value);

private:
    bool FAccumulate = true;
};

class TOBVFunction : public TVolumeLinkedFunction {
    Q_OBJECT
public:
    using TVolumeLinkedFunction::TVolumeLinkedFunction;

    QString GetEditorClassName() const override { return QStringLiteral("TOBVFuncEditor"); }
    // The first volume, then the previous result plus the volume of a bar
    // that closed above its open, minus it otherwise; as far as both the
    // prices and the volumes go.
    void AddPoints(TChartSeries* Source) override;
};

// Both on the "Financial" gallery page.
void RegisterVolumeIndicatorFunctions();
void UnregisterVolumeIndicatorFunctions();

} // namespace lp
