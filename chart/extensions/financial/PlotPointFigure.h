#pragma once
// Point-and-figure series of the "Financial" gallery page: a price history
// (only its high and low lists) as columns of rising and falling boxes.
//
//   TOHLCSeries
//     └─ TPointFigureSeries
//
// CalcColumns walks the points once: a falling column extends when a low
// reaches a whole box below its low, else reverses when a high reaches
// ReversalAmount boxes above it; a rising column likewise the other way.
// The extension test comes first and both tests include equality. The
// horizontal axis counts columns: time plays no part.

#include "chart/extensions/financial/PlotCandleSeries.h"

#include <memory>
#include <vector>

namespace lp {

// The most boxes an editor lets the series' prices span.
inline constexpr int MaxPointFigureBoxes = 1000000;

class TPointFigureSeries : public TOHLCSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(double BoxSize READ BoxSize WRITE SetBoxSize)
    Q_CLASSINFO("default:BoxSize", "1")
    Q_PROPERTY(lp::TSeriesPointer* DownSymbol READ DownSymbol WRITE SetDownSymbol)
    Q_PROPERTY(double ReversalAmount READ ReversalAmount WRITE SetReversalAmount)
    Q_CLASSINFO("default:ReversalAmount", "3")
    Q_PROPERTY(lp::TSeriesPointer* UpSymbol READ UpSymbol WRITE SetUpSymbol)

public:
    explicit TPointFigureSeries(TComponent* AOwner = nullptr);
    ~TPointFigureSeries() override;

    QString GetEditorClassName() const override { return QStringLiteral("TPointFigureEditor"); }
    void SetParentChart(TCustomAxisPanel* Value) override;

    double BoxSize() const { return FBoxSize; }
    // ERangeError (the old size kept) unless Value is a positive number: a
    // run of boxes must end.
    void SetBoxSize(double Value);
    double ReversalAmount() const { return FReversalAmount; }
    void SetReversalAmount(double Value) { SetDoubleProperty(FReversalAmount, Value); }
    TSeriesPointer* DownSymbol() const { return FDownSymbol.get(); }
    void SetDownSymbol(const TSeriesPointer* Value) { FDownSymbol->Assign(Value); }
    TSeriesPointer* UpSymbol() const { return FUpSymbol.get(); }
    void SetUpSymbol(const TSeriesPointer* Value) { FUpSymbol->Assign(Value); }

    // The boxes of Size that the series' prices span, lowest low to
    // highest high (0 when empty, 1 for prices without a finite span,
    // infinite for a size not above 0).
    double BoxCount(double Size) const;
    // ERangeError when a positive Size makes more than MaxPointFigureBoxes
    // boxes of the series' prices: editors refuse such a size before
    // setting it (SetBoxSize refuses the others).
    void CheckBoxSize(double Size) const;

    // The number of columns (0 when empty); draws them with Draw. Also
    // fills the column of every point.
    int CalcColumns(bool Draw);
    // The column of point ValueIndex from the last calculation
    // (ERangeError outside it).
    int ColumnOf(int ValueIndex) const;

    // --- Series protocol ---

    // Room for half a symbol beyond the first and last column and box.
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVertMargins(int& TopMargin, int& BottomMargin) override;
    void DrawAllValues() override;
    double MaxXValue() override { return CalcColumns(false) - 1; }
    double MinXValue() override { return 0; }
    int CountLegendItems() override { return 2; }
    TColor LegendItemColor(int LegendIndex) const override;
    void GetLegendText(int LegendIndex, TLegendTextStyle TextStyle, QString& Text) override;
    void PrepareForGallery(bool IsEnabled) override;

private:
    // Places boxes of Symbol at pixel X from value From up in BoxSize steps
    // while not beyond To; at least one (DrawSeenBoxes draws them). Boxes beyond the vertical axis are
    // skipped without walking to them, boxes closer than the symbol's size
    // (2 VertSize pixels) draw as one, and a column beside the horizontal
    // axis draws none: a paint draws at most one symbol per symbol's size
    // of a visible column.
    void DrawBoxes(TSeriesPointer& Symbol, int X, double From, double To);
    // Draws the boxes CalcColumns placed that can be seen (per cell of half
    // a symbol's width by a step of boxes, the last of each kind placed
    // there), in the order placed, and forgets them.
    void DrawSeenBoxes();

    // A symbol placed at pixel (X, Y) in row Row of its column's steps.
    struct TBoxSymbol {
        int X;
        int Y;
        long long Row;
        bool Up;
    };
    std::vector<TBoxSymbol> FBoxes;

    double FBoxSize = 1;
    std::unique_ptr<TSeriesPointer> FDownSymbol;
    std::vector<int> FColumns;
    double FReversalAmount = 3;
    std::unique_ptr<TSeriesPointer> FUpSymbol;
};

// "Point & Figure" on the "Financial" page.
void RegisterPointFigureSeries();
void UnregisterPointFigureSeries();

} // namespace lp
