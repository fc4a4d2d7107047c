#pragma once
// Series marks: the framed text labels drawn next to a series' points.
//
//   TSeriesMarks (TPlotShape)  style, visibility, every-n-th rule, rotation
//     ├─owns─> TSeriesMarksPositions  where each mark was drawn last (or
//     │                               was moved by the user); index = point
//     ├─owns─> TMarksItems            optional per-point appearance and text
//     ├─owns, on first use─> TMarksCallout       the line from point to mark
//     └─owns, on first use─> TSeriesMarksSymbol  the legend-coloured square
//
// The series builds each mark's text, size and position
// (TChartSeries::DrawMarks), may move it (ApplyArrowLength for vertical
// series, MoveOffOverlaps for bars and pies) and hands it to DrawOneMark,
// which keeps the position for hit tests (Clicked) and for the series'
// stored data, and draws callout, frame, symbol and text:
//
//   DrawOneMark: position bookkeeping → callout → frame (rotated, at Z + 1,
//                moved onto the projection in 3-D) → symbol → text lines
//
// Marks of a point with an item are drawn with the item's appearance; the
// others with the marks' own.

#include "chart/canvas/PlotShapes.h"
#include "chart/canvas/PlotTypes.h"
#include "chart/engine/PlotPointer.h"
#include "platform/core/StringList.h"

#include <QtCore/QIODevice>

#include <memory>
#include <vector>

namespace lp {

class TChartSeries;
class TSeriesMarks;

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

    // The rectangle from TopLeft, MarkWidth and MarkHeight (right and
    // bottom exclusive).
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
    // ERangeError for a negative Index.
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

// The gradient of marks and mark items: right to left from silver to white.
class TSeriesMarksGradient : public TPlotGradient {
    Q_OBJECT
    Q_CLASSINFO("default:Direction", "gdRightLeft")
    Q_CLASSINFO("default:EndColor", "16777215")
    Q_CLASSINFO("default:StartColor", "12632256")

public:
    explicit TSeriesMarksGradient(std::function<void(TPersistent*)> OnChange = {});
};

// The appearance and text of one mark.
class TMarksItem : public TPlotShape {
    Q_OBJECT
    // Brush, Frame and Visible are stored too: a mark hidden or refilled by
    // the user keeps that after a save.
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_CLASSINFO("default:Color", "-16777192")
    Q_PROPERTY(lp::TChartPen* Frame READ Pen WRITE SetPen)
    Q_PROPERTY(lp::TStringList* Text READ TextList WRITE SetTextList)
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "true")

public:
    // Colour -16777192 (info-tip background), gray shadow of size 1.
    explicit TMarksItem(TCustomPlotPanel* AChart = nullptr);
    ~TMarksItem() override;

    // The shape, then the text (a source without text frees this one's).
    void Assign(const TPersistent* Source) override;
    // Custom text lines; created on first use; a change repaints.
    TStringList& Text();
    TStringList* TextList() { return &Text(); }
    void SetTextList(const TStringList* Value);
    bool HasText() const;

protected:
    std::unique_ptr<TPlotGradient> CreateGradient() const override;

private:
    std::unique_ptr<TStringList> FText;
};

// Mark items by point index; entries may be empty.
class TMarksItems {
public:
    explicit TMarksItems(TSeriesMarks* AOwner) : FOwner(AOwner) {}
    ~TMarksItems();
    TMarksItems(const TMarksItems&) = delete;
    TMarksItems& operator=(const TMarksItems&) = delete;

    int Count() const { return static_cast<int>(FItems.size()); }
    // The item of Index, created (and the list padded with empty entries)
    // when missing. ERangeError for a negative Index.
    TMarksItem& Item(int Index);
    // nullptr when no item is stored for Index.
    TMarksItem* Find(int Index) const;
    void Delete(int Index);
    // Frees every item, forgets that they were read and repaints.
    void Clear();
    // Replaces the list by Items (taking them over), without repainting.
    void Replace(std::vector<std::unique_ptr<TMarksItem>> Items);
    // Items were read from a stream (see TSeriesMarks::Clear).
    bool LoadedFromStream() const { return FLoaded; }
    void SetLoadedFromStream(bool Value) { FLoaded = Value; }
    // Gives every item the chart.
    void SetParentChart(TCustomPlotPanel* Chart);

private:
    TSeriesMarks* FOwner;
    std::vector<std::unique_ptr<TMarksItem>> FItems;
    bool FLoaded = false;
};

// The small legend-coloured square inside a mark; hidden, not transparent,
// shadow of size 1.
class TSeriesMarksSymbol : public TPlotShape {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(lp::TChartPen* Frame READ Pen WRITE SetPen)
    // The symbol page's transparency box sets it.
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "false")

public:
    explicit TSeriesMarksSymbol(TCustomPlotPanel* AChart = nullptr);
    // Visible and not transparent.
    bool ShouldDraw() const { return Visible() && !Transparent(); }
};

class TSeriesMarks : public TPlotShape {
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
    Q_PROPERTY(lp::TWhitePen* Arrow READ Arrow WRITE SetArrow)
    Q_PROPERTY(int ArrowLength READ ArrowLength WRITE SetArrowLength STORED false)
    // The same field as Color; stored once, as Color.
    Q_PROPERTY(int BackColor READ Color WRITE SetColor STORED false)
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(lp::TMarksCallout* Callout READ Callout WRITE SetCallout)
    Q_PROPERTY(bool Clip READ Clip WRITE SetClip)
    Q_CLASSINFO("default:Clip", "false")
    Q_CLASSINFO("default:Color", "-16777192")
    Q_PROPERTY(int DrawEvery READ DrawEvery WRITE SetDrawEvery)
    Q_CLASSINFO("default:DrawEvery", "1")
    Q_PROPERTY(lp::TChartPen* Frame READ Pen WRITE SetPen)
    Q_PROPERTY(bool MultiLine READ MultiLine WRITE SetMultiLine)
    Q_CLASSINFO("default:MultiLine", "false")
    Q_PROPERTY(TSeriesMarksStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "smsLabel")
    Q_PROPERTY(lp::TSeriesMarksSymbol* Symbol READ Symbol WRITE SetSymbol)
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "false")

public:
    // AOwner (observed, may be nullptr for a standalone copy): the series
    // whose marks these are.
    explicit TSeriesMarks(TChartSeries* AOwner);
    ~TSeriesMarks() override;

    // From marks: Angle, Callout, Clip, DrawEvery, Style, MultiLine, Symbol
    // and the items (this list becomes a copy of the source's); then the
    // shape.
    void Assign(const TPersistent* Source) override;
    // "Items": binary, written when the items list has an entry (see
    // WriteItems).
    void DefineProperties(TFiler& Filer) override;
    // Passes the chart on to the callout, the symbol and the items.
    void SetParentChart(TCustomPlotPanel* Value) override;

    TChartSeries* ParentSeries() const { return FParentSeries; }

    // Rotation in degrees; drawing takes it modulo 360.
    int Angle() const { return FAngle; }
    void SetAngle(int Value);
    // The callout's arrow pen.
    TWhitePen* Arrow() { return Callout()->Arrow(); }
    void SetArrow(const TChartPen* Value) { Callout()->SetArrow(Value); }
    // The callout's Length.
    int ArrowLength() { return Callout()->Length(); }
    void SetArrowLength(int Value) { Callout()->SetLength(Value); }
    // Created on first use.
    TMarksCallout* Callout();
    void SetCallout(const TMarksCallout* Value);
    bool HasCallout() const { return FCallout != nullptr; }
    bool Clip() const { return FClip; }
    void SetClip(bool Value);
    // Only every n-th mark is drawn and hit-tested; values below 1 count
    // as 1 (the choice divides by it).
    int DrawEvery() const { return FDrawEvery; }
    void SetDrawEvery(int Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    TSeriesMarksStyle Style() const { return FStyle; }
    void SetStyle(TSeriesMarksStyle Value);
    // Created on first use.
    TSeriesMarksSymbol* Symbol();
    void SetSymbol(const TSeriesMarksSymbol* Value);
    bool HasSymbol() const { return FSymbol != nullptr; }
    // A symbol exists, is visible and not transparent.
    bool SymbolShown() const { return FSymbol && FSymbol->ShouldDraw(); }
    // Depth of the marks (the series' middle depth).
    int ZPosition() const { return FZPosition; }
    void SetZPosition(int Value) { FZPosition = Value; }

    TSeriesMarksPositions& Positions() const { return *FPositions; }
    TMarksItems& Items() const { return *FItems; }

    // The appearance of the mark of ValueIndex: its item, else the marks.
    TPlotCustomShape& Appearance(int ValueIndex);
    // Whether the mark of ValueIndex is visible (its item, else true).
    bool ItemVisible(int ValueIndex) const;
    // The font a mark of ValueIndex uses.
    TPlotFont& ItemFont(int ValueIndex) const;
    // The frame pen a mark of ValueIndex uses.
    const TChartPen& ItemPen(int ValueIndex) const;

    // Called when the series is cleared: forgets the positions, and the
    // items unless they were read from a stream while the series is being
    // loaded (a series reads its points after its marks, and clears itself
    // first). A clear outside loading frees read items too.
    void Clear();
    // Forgets the positions moved by the user and repaints the series.
    void ResetPositions();

    // The index of the mark whose last rectangle holds (X, Y), testing the
    // last index first and only multiples of DrawEvery; -1 when none.
    int Clicked(int X, int Y);
    // With a callout, lifts the mark (TopLeft and ArrowEnd) by the
    // callout's Length + Distance and ArrowStart by Distance (vertical
    // series, before drawing).
    void ApplyArrowLength(TSeriesMarkPosition& Position);
    // Draws the mark of ValueIndex with Text in AColor. A mark the user
    // moved takes its stored position (Position is updated to it; its
    // ArrowStart stays the passed one when both have ArrowFixed); any other
    // mark's Position is stored.
    void DrawOneMark(int ValueIndex, TColor AColor, const QString& Text, TSeriesMarkPosition& Position);
    // Moves Position up or down off the rectangles of the marks stored for
    // FirstIndex .. ValueIndex - 1 that it overlaps (frame pen and shadow
    // included). A mark whose top is not below the other's moves up.
    void MoveOffOverlaps(int FirstIndex, int ValueIndex, TSeriesMarkPosition& Position);
    // The width of the widest line of the point's mark text in the marks'
    // font (0 without a series or chart).
    int WidestMarkLine(int ValueIndex);
    // The rectangle a position is drawn in: Bounds, moved in a 3-D chart
    // whose canvas has no 3-D text so that ArrowEnd lands on its
    // projection at the marks' depth.
    TRect DisplayRect(const TSeriesMarkPosition& Position) const;

    // The "Items" stored form: an Int32 (little-endian) count of entries,
    // then one list per entry: the list-start byte, for an existing item
    // its stored published properties (name, value) with Color always
    // written so the item's existence survives, and the list-end byte.
    // Names are a length byte and Latin-1 text, dotted for properties of
    // sub-objects ("Font.Color"); values are a type byte and its data (see
    // PlotMarksStream.cpp). ReadItems raises EReadError for a truncated or
    // malformed block, a value a setter refuses, an enumeration number that
    // names no value (brush styles: up to the last pattern bitmap) or a real
    // for an integer that is not finite or does not fit, and leaves the
    // items as they were; sizes beyond their ranges are clamped by the
    // setters. A count above 0 marks the items as read from a stream.
    void WriteItems(QIODevice& Stream) const;
    void ReadItems(QIODevice& Stream);

protected:
    std::unique_ptr<TPlotGradient> CreateGradient() const override;

private:
    // The mark rectangle with frame pen and shadow, as displayed.
    TRect FullRect(int ValueIndex, const TSeriesMarkPosition& Position);
    void RepaintSeries();

    TChartSeries* FParentSeries;
    int FAngle = 0;
    bool FClip = false;
    int FDrawEvery = 1;
    bool FMultiLine = false;
    TSeriesMarksStyle FStyle = smsLabel;
    int FZPosition = 0;
    std::unique_ptr<TSeriesMarksPositions> FPositions;
    std::unique_ptr<TMarksItems> FItems;
    std::unique_ptr<TMarksCallout> FCallout;
    std::unique_ptr<TSeriesMarksSymbol> FSymbol;
};

using TSeriesMarksStyle = TSeriesMarks::TSeriesMarksStyle;

} // namespace lp
