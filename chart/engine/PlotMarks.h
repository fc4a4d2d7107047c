#pragma once
// Series marks: the framed text labels drawn next to a series' points.
//
//   TSeriesMarks (TPlotCustomShape)  style, visibility, every-n-th rule
//     ├─owns─> TSeriesMarksPositions  where each mark was drawn last (or
//     │                               was moved by the user); index = point
//     ├─owns─> TMarksItems            optional per-point appearance and text
//     └─owns, on first use─> TSeriesMarksSymbol  the legend-coloured square
//
// The series builds each mark's text and position (TChartSeries::DrawMarks)
// and hands it to its marks to draw.

#include "chart/canvas/PlotShapes.h"
#include "chart/canvas/PlotTypes.h"

#include <memory>
#include <vector>

namespace lp {

class TChartSeries;
class TSeriesMarks;
class TStringList;

// Where one mark stands.
class TSeriesMarkPosition {
public:
    TPoint ArrowStart;
    bool ArrowFixed = false;
    TPoint ArrowEnd;
    bool UserMoved = false;
    int MarkHeight = 0;
    TPoint TopLeft;
    int MarkWidth = 0;

    // The rectangle from TopLeft, MarkWidth and MarkHeight.
    TRect Bounds() const;
    void Assign(const TSeriesMarkPosition& Source) { *this = Source; }
};

// Mark positions by point index; entries may be empty.
class TSeriesMarksPositions {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // nullptr beyond the list or where nothing is stored.
    TSeriesMarkPosition* GetPosition(int Index) const;
    // Pads up to Index, creates the record when missing, copies Position
    // into it and marks it as moved by the user.
    void SetPosition(int Index, const TSeriesMarkPosition& Position);
    // The record at Index, created (and the list padded) when missing.
    TSeriesMarkPosition& Ensure(int Index);
    // Appends a copy (or an empty entry for nullptr).
    void Append(const TSeriesMarkPosition* Position);
    void Delete(int Index);
    void DeleteRange(int Start, int Quantity);
    void Exchange(int A, int B);
    void Clear() { FItems.clear(); }
    // True when some stored position was moved by the user.
    bool ExistCustom() const;

private:
    std::vector<std::unique_ptr<TSeriesMarkPosition>> FItems;
};

// The appearance and text of one mark.
class TMarksItem : public TPlotCustomShape {
    Q_OBJECT
public:
    TMarksItem();
    ~TMarksItem() override;

    void Assign(const TPersistent* Source) override;
    // Custom text lines; created on first use.
    TStringList& Text();
    bool HasText() const;

private:
    std::unique_ptr<TStringList> FText;
};

// Mark items by point index; entries may be empty.
class TMarksItems {
public:
    explicit TMarksItems(TSeriesMarks* AOwner) : FOwner(AOwner) {}
    ~TMarksItems();

    int Count() const { return static_cast<int>(FItems.size()); }
    // The item of Index, created (and the list padded) when missing.
    TMarksItem& Item(int Index);
    // nullptr when no item is stored for Index.
    TMarksItem* Find(int Index) const;
    void Delete(int Index);
    void Clear();
    bool LoadedFromStream() const { return FLoaded; }
    void SetLoadedFromStream(bool Value) { FLoaded = Value; }

private:
    TSeriesMarks* FOwner;
    std::vector<std::unique_ptr<TMarksItem>> FItems;
    bool FLoaded = false;
};

// The small legend-coloured square inside a mark; hidden by default.
class TSeriesMarksSymbol : public TPlotCustomShape {
    Q_OBJECT
public:
    TSeriesMarksSymbol();
    // Visible and not transparent.
    bool ShouldDraw() const { return Visible() && !Transparent(); }
};

class TSeriesMarks : public TPlotCustomShape {
    Q_OBJECT
public:
    enum TSeriesMarksStyle {
        smsValue,
        smsPercent,
        smsLabel,
        smsLabelPercent,
        smsLabelValue,
        smsLegend,
        smsPercentTotal,
        smsLabelPercentTotal,
        smsXValue,
        smsXY,
    };
    Q_ENUM(TSeriesMarksStyle)

private:
    Q_PROPERTY(int Angle READ Angle WRITE SetAngle)
    Q_CLASSINFO("default:Angle", "0")
    Q_PROPERTY(int ArrowLength READ ArrowLength WRITE SetArrowLength STORED false)
    Q_PROPERTY(bool Clip READ Clip WRITE SetClip)
    Q_CLASSINFO("default:Clip", "false")
    Q_PROPERTY(int DrawEvery READ DrawEvery WRITE SetDrawEvery)
    Q_CLASSINFO("default:DrawEvery", "1")
    Q_PROPERTY(bool MultiLine READ MultiLine WRITE SetMultiLine)
    Q_CLASSINFO("default:MultiLine", "false")
    Q_PROPERTY(TSeriesMarksStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "smsLabel")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "false")

public:
    explicit TSeriesMarks(TChartSeries* AOwner);
    ~TSeriesMarks() override;

    void Assign(const TPersistent* Source) override;

    TChartSeries* ParentSeries() const { return FParentSeries; }

    int Angle() const { return FAngle; }
    void SetAngle(int Value);
    // The callout's length in pixels.
    int ArrowLength() const { return FArrowLength; }
    void SetArrowLength(int Value);
    bool Clip() const { return FClip; }
    void SetClip(bool Value);
    // Only every n-th mark is drawn and hit-tested.
    int DrawEvery() const { return FDrawEvery; }
    void SetDrawEvery(int Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    TSeriesMarksStyle Style() const { return FStyle; }
    void SetStyle(TSeriesMarksStyle Value);
    // Depth of the marks (the series' middle depth).
    int ZPosition() const { return FZPosition; }
    void SetZPosition(int Value) { FZPosition = Value; }

    TSeriesMarksPositions& Positions() const { return *FPositions; }
    TMarksItems& Items() const { return *FItems; }
    // Created on first use.
    TSeriesMarksSymbol& Symbol();
    bool HasSymbol() const { return FSymbol != nullptr; }
    // Visible when a symbol exists and is shown.
    bool SymbolShown() const { return FSymbol && FSymbol->ShouldDraw(); }

    // Whether the mark of ValueIndex is visible (its item, else the marks).
    bool ItemVisible(int ValueIndex) const;
    // The font a mark of ValueIndex uses.
    TPlotFont& ItemFont(int ValueIndex) const;
    // The item's pen when the mark's frame is visible.
    const TChartPen& ItemPen(int ValueIndex) const;
    // Forgets every per-point position and item.
    void Clear();
    // Forgets the positions moved by the user.
    void ResetPositions();

    // Draws one mark of the series at Position in AColor.
    virtual void DrawItem(int ValueIndex, TColor AColor, const QString& St, const TSeriesMarkPosition& Position);

private:
    TChartSeries* FParentSeries;
    int FAngle = 0;
    int FArrowLength = 8;
    bool FClip = false;
    int FDrawEvery = 1;
    bool FMultiLine = false;
    TSeriesMarksStyle FStyle = smsLabel;
    int FZPosition = 0;
    std::unique_ptr<TSeriesMarksPositions> FPositions;
    std::unique_ptr<TMarksItems> FItems;
    std::unique_ptr<TSeriesMarksSymbol> FSymbol;
};

using TSeriesMarksStyle = TSeriesMarks::TSeriesMarksStyle;

} // namespace lp
