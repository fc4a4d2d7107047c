#pragma once
// Sales-funnel series of the "Stats" gallery page.
//
//   TChartSeries
//     └─ TFunnelSeries   quotes (Y, descending) and opportunities per segment
//
// The segments form a funnel narrowing from left to right: segment i spans
// X i - 0.5 .. i + 0.5, its top edge falling from F - i·s to F - (i+1)·s and
// its bottom edge rising from i·s to (i+1)·s, where F is the first (largest)
// quote and s = (F - last quote) / 2 / Count. Each segment is filled from its
// bottom up to the level of its achieved ratio (opportunity / quote, 0 for a
// zero quote), coloured AboveColor from a ratio of 1, WithinColor while the
// shortfall in per cent is at most DifferenceLimit, BelowColor beyond.
//
// Recalc sorts the quotes (unless sorted) and derives F, the last quote and
// s; drawing and hit tests run it first, so points added by AddSegment or
// any other way are always drawn from current geometry.

#include "chart/engine/PlotEngine.h"

#include <memory>
#include <vector>

namespace lp {

class TFunnelSeries : public TChartSeries {
    Q_OBJECT
    Q_PROPERTY(int AboveColor READ AboveColor WRITE SetAboveColor)
    Q_CLASSINFO("default:AboveColor", "0x008000")
    Q_PROPERTY(bool AutoUpdate READ AutoUpdate WRITE SetAutoUpdate)
    Q_CLASSINFO("default:AutoUpdate", "true")
    Q_PROPERTY(int BelowColor READ BelowColor WRITE SetBelowColor)
    Q_CLASSINFO("default:BelowColor", "0x0000FF")
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(double DifferenceLimit READ DifferenceLimit WRITE SetDifferenceLimit)
    Q_CLASSINFO("default:DifferenceLimit", "30")
    Q_PROPERTY(lp::TChartPen* LinesPen READ LinesPen WRITE SetLinesPen)
    Q_PROPERTY(lp::TChartValueList* OpportunityValues READ OpportunityValues WRITE SetOpportunityValues)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(bool QuotesSorted READ QuotesSorted WRITE SetQuotesSorted)
    Q_CLASSINFO("default:QuotesSorted", "false")
    Q_PROPERTY(lp::TChartValueList* QuoteValues READ QuoteValues WRITE SetQuoteValues)
    Q_PROPERTY(int WithinColor READ WithinColor WRITE SetWithinColor)
    Q_CLASSINFO("default:WithinColor", "0x00FFFF")

public:
    explicit TFunnelSeries(TComponent* AOwner = nullptr);
    ~TFunnelSeries() override;

    QString GetEditorClassName() const override { return QStringLiteral("TFunnelSeriesEditor"); }

    TColor AboveColor() const { return FAboveColor; }
    void SetAboveColor(TColor Value) { SetColorProperty(FAboveColor, Value); }
    TColor BelowColor() const { return FBelowColor; }
    void SetBelowColor(TColor Value) { SetColorProperty(FBelowColor, Value); }
    TColor WithinColor() const { return FWithinColor; }
    void SetWithinColor(TColor Value) { SetColorProperty(FWithinColor, Value); }
    bool AutoUpdate() const { return FAutoUpdate; }
    // True recalculates at once.
    void SetAutoUpdate(bool Value);
    double DifferenceLimit() const { return FDifferenceLimit; }
    // Stores a changed value, recalculates with AutoUpdate, repaints.
    void SetDifferenceLimit(double Value);
    TChartPen* LinesPen() const { return FLinesPen.get(); }
    void SetLinesPen(const TChartPen* Value) { FLinesPen->Assign(Value); }
    bool QuotesSorted() const { return FQuotesSorted; }
    // Sets the property and the sorted flag.
    void SetQuotesSorted(bool Value);
    TChartValueList* OpportunityValues() const { return FOpportunityValues; }
    void SetOpportunityValues(TChartValueList* Value) { SetValueList(FOpportunityValues, Value); }
    virtual TChartValueList* GetQuoteValues() const { return YValues(); }
    virtual void SetQuoteValues(TChartValueList* Value) { SetValueList(YValues(), Value); }
    TChartValueList* QuoteValues() const { return GetQuoteValues(); }

    // Adds a segment; unless QuotesSorted the points are then sorted by
    // quote (descending) and the X values renumbered. The index Add gave
    // the new point (before that sorting).
    int AddSegment(double AQuote, double AOpportunity, const QString& ALabel, TColor AColor);
    // Sorts when not yet sorted, then (with points) sets the first and last
    // quote and the step.
    void Recalc();
    double FirstQuote() const { return FFirstQuote; }
    double LastQuote() const { return FLastQuote; }
    double Step() const { return FStep; }

    // Segment ValueIndex from the current geometry: its fill polygon (3 to
    // 5 points) and its colour.
    struct TSegment {
        std::vector<TPoint> Polygon;
        TColor Color = clNone;
    };
    TSegment CalcSegment(int ValueIndex) const;
    // Opportunity / quote, 0 for a zero quote.
    double Ratio(int ValueIndex) const;

    // --- Series protocol ---

    void DoBeforeDrawChart() override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    // 100 × opportunity / quote in PercentFormat (0 for a zero quote), then
    // OnGetMarkText.
    QString GetMarkText(int ValueIndex) override;
    int Clicked(int X, int Y) override;
    double MaxXValue() override { return Count() - 0.5; }
    double MinXValue() override { return -0.5; }
    double MinYValue() override { return 0; }
    int CountLegendItems() override { return 3; }
    TColor LegendItemColor(int LegendIndex) const override;
    void GetLegendText(int LegendIndex, TLegendTextStyle TextStyle, QString& Text) override;
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;

private:
    void SortQuotes();
    void DrawPolygon(const std::vector<TPoint>& Points);
    void DrawOutline();
    void DrawSeparators();

    TColor FAboveColor = clGreen;
    bool FAutoUpdate = true;
    TColor FBelowColor = clRed;
    double FDifferenceLimit = 30;
    std::unique_ptr<TChartPen> FLinesPen;
    TChartValueList* FOpportunityValues = nullptr; // owned by the value lists
    bool FQuotesSorted = false;
    TColor FWithinColor = clYellow;
    bool FSorted = false;
    double FLastQuote = 0;
    double FFirstQuote = 0;
    double FStep = 0;
};

// "Funnel" on the "Stats" page.
void RegisterFunnelSeries();
void UnregisterFunnelSeries();

} // namespace lp
