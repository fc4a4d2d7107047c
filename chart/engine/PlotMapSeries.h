#pragma once
// The map series: a collection of filled polygons, each one value of a
// Z-palette series.
//
//   TMapSeries (TCustom3DPaletteSeries)     one value per polygon; ZValues
//     └─owns─> TPlotPolygonList ("Shapes")  mandatory, colours by palette
//                └─owns─> TPlotPolygon ×N   brush, pen, gradient, closed,
//                           └─owns─> TPolygonSeries  the outline (X, Y)
//
// Polygon I belongs to value I: its Z, Text and Color are the series' Z
// value, label and value colour at I. Adding a polygon adds a value (0, 0);
// Delete, DeleteRange, Clear and SwapValueIndex keep values and polygons
// together. Polygon IDs come from the collection: they are unique within one
// series and stay with their polygon across deletes and swaps.
//
// Drawing in 2-D follows the index order (the last polygon ends on top);
// in 3-D the polygons are drawn from the highest Z to the lowest. Clicked
// tries the polygons from the last to the first, so the topmost of
// overlapping polygons in 2-D wins.

#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotTypes.h"
#include "chart/engine/PlotPaletteSeries.h"
#include "platform/core/Collections.h"

#include <memory>

namespace lp {

class TMapSeries;
class TPlotPolygon;
class TPlotPolygonList;

// The outline of one polygon: X and Y values in drawing order. It is not
// shown in the legend, never receives sample points and repaints its map
// series when its points change.
class TPolygonSeries : public TChartSeries {
    Q_OBJECT
public:
    explicit TPolygonSeries(TPlotPolygon* APolygon);

    TPlotPolygon* Polygon() const { return FPolygon; }

    void SetActive(bool Value) override;
    // A change of the outline's pen or brush repaints the map series too
    // (the outline has no chart of its own).
    void CanvasChanged(QObject* Sender) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void NotifyValue(int Event, int ValueIndex) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrush::TBrushStyle& BrushStyle) override;
    // Without a chart the map series' colour of the polygon's value too.
    void SetSeriesColor(TColor Color) override;
    // A polygon's outline never receives sample points.
    void FillSampleValues(int NumValues = 0) override { (void)NumValues; }

private:
    TPlotPolygon* FPolygon; // the owner
};

class TPlotPolygon : public TCollectionItem {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(bool Closed READ Closed WRITE SetClosed)
    Q_CLASSINFO("default:Closed", "true")
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("stored:Color", "IsColorStored")
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_CLASSINFO("stored:Gradient", "IsGradientStored")
    Q_PROPERTY(bool ParentBrush READ ParentBrush WRITE SetParentBrush)
    Q_CLASSINFO("default:ParentBrush", "false")
    Q_PROPERTY(bool ParentPen READ ParentPen WRITE SetParentPen)
    Q_CLASSINFO("default:ParentPen", "false")
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(double Z READ Z WRITE SetZ)

public:
    // Joins Collection (a TPlotPolygonList) and adds one value (0, 0) to its
    // map series; without a map series the polygon stands alone.
    explicit TPlotPolygon(TCollection* Collection);
    // Frees the outline and the gradient; the map series' value stays.
    ~TPlotPolygon() override;

    // From another polygon: the outline points (with their labels and
    // colours), whether the outline is active, Closed, the parent flags,
    // pen, brush, transparency and gradient; Z, Text and the own colour of
    // its value when both polygons belong to a series.
    void Assign(const TPersistent* Source) override;
    // "Data": the outline in the series data layout, written whenever the
    // map series' points are stored (its save mark, or manual data without
    // its skip mark). Reading an outline marks the map's data as manual.
    void DefineProperties(TFiler& Filer) override;

    // Appends an outline point (no label, clPlotColor); its index.
    int AddXY(double X, double Y);

    // The outline in pixels through the map series' axes (empty without a
    // series or chart); kept as the last computed screen points.
    const TPointArray& GetScreenPoints() const;
    // The bounding rectangle of the screen points (right and bottom
    // exclusive); an empty rectangle for a polygon without points.
    TRect GetBounds() const;

    TPolygonSeries* Points() const { return FPoints.get(); }
    // The map series of the collection the polygon is in (nullptr when
    // free or in another kind of collection).
    TMapSeries* ParentSeries() const;
    // The position in the series; ERangeError for a polygon that has left
    // its collection.
    int ValueIndex() const;

    TChartBrush* Brush() const { return FPoints->Brush(); }
    void SetBrush(const TChartBrush* Value) { FPoints->SetBrush(Value); }
    TChartPen* Pen() const { return FPoints->Pen(); }
    void SetPen(const TChartPen* Value) { FPoints->SetPen(Value); }
    bool Closed() const { return FClosed; }
    void SetClosed(bool Value);
    // The map series' value colour at the polygon's index (the outline's
    // colour without a series).
    TColor Color() const;
    void SetColor(TColor Value);
    // Only a colour of the value's own (or a free polygon's): a colour
    // read from the palette, stored, would pin the value to it on loading.
    Q_INVOKABLE bool IsColorStored() const;
    // Created on first read; nullptr frees it.
    TPlotGradient* Gradient();
    void SetGradient(const TPlotGradient* Value);
    bool HasGradient() const { return FGradient != nullptr; }
    Q_INVOKABLE bool IsGradientStored() const { return FGradient && FGradient->Visible(); }
    bool ParentBrush() const { return FParentBrush; }
    void SetParentBrush(bool Value);
    bool ParentPen() const { return FParentPen; }
    void SetParentPen(bool Value);
    QString Text() const;
    void SetText(const QString& Value);
    // Percent 0 .. 100; ERangeError outside.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);
    double Z() const;
    void SetZ(double Value);

private:
    friend class TMapSeries;
    friend class TPolygonSeries;
    // The outline and the drawing settings of Source, not its value.
    void AssignShape(const TPlotPolygon& Source);
    void ReadOutline(QIODevice& Stream);
    void SeriesRepaint() const;

    std::unique_ptr<TPolygonSeries> FPoints;
    std::unique_ptr<TPlotGradient> FGradient;
    bool FClosed = true;
    bool FParentBrush = false;
    bool FParentPen = false;
    int FTransparency = 0;
    mutable TPointArray FScreenPoints;
};

class TPlotPolygonList : public TOwnedCollection {
    Q_OBJECT
public:
    explicit TPlotPolygonList(TMapSeries* AOwner);

    TMapSeries* Series() const { return FSeries; }
    // A new polygon at the end (its outline taken out of design mode).
    TPlotPolygon* Add();
    // ERangeError outside 0 .. Count - 1.
    TPlotPolygon* GetPolygon(int Index) const;
    TPlotPolygon* operator[](int Index) const { return GetPolygon(Index); }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TMapSeries* FSeries;
};

class TMapSeries : public TCustom3DPaletteSeries {
    Q_OBJECT
    // The X and Y lists: the General tab sets their date-time and order for
    // a map as for any series.
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)
    // The global pen and brush: every shape that follows its parent draws
    // with them, and the map page's Global tab sets them.
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(lp::TPlotPolygonList* Shapes READ Shapes WRITE SetShapes)

public:
    explicit TMapSeries(TComponent* AOwner = nullptr);
    ~TMapSeries() override;

    TPlotPolygonList* Shapes() const { return FShapes.get(); }
    // Replaces every polygon and value by copies of Value's polygons.
    void SetShapes(const TPlotPolygonList* Value);
    // Shapes()->GetPolygon(Index).
    TPlotPolygon* Polygon(int Index) const { return FShapes->GetPolygon(Index); }
    // Shapes made from another model (the section's bodies): editors show
    // their points and may restyle them, but add, delete or move nothing.
    bool FixedShapes() const { return FFixedShapes; }
    void SetFixedShapes(bool Value) { FFixedShapes = Value; }

    // The series never writes a "Data" block of its own: its points are
    // its polygons' outlines, which the polygons store.
    bool KeepsPointsInDataBlock() const override { return false; }
    // From another map series: the values, then one polygon per value with
    // a copy of the source polygon at that index. From itself: nothing.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TMapSeriesEditor"); }

    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVertMargins(int& TopMargin, int& BottomMargin) override;
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    void GalleryChanged3D(bool Is3D) override;
    void PrepareForGallery(bool IsEnabled) override;

    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;

    // The values and the polygons together. Every index is checked first
    // (ChartException for the values, ERangeError for the polygons);
    // nothing changes when one is outside.
    void Clear() override;
    void Delete(int ValueIndex) override;
    void DeleteRange(int Start, int Quantity, bool RemoveGap = false) override;
    // Exchanges values A and B and polygons A and B.
    void SwapValueIndex(int A, int B) override;

    // Over every polygon's outline; 0 without polygons with points.
    double MaxXValue() override;
    double MaxYValue() override;
    double MinXValue() override;
    double MinYValue() override;

    // The polygon under the pixel, tried from the last to the first; -1
    // without a chart or when none is hit.
    int Clicked(int X, int Y) override;

    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    int NumSampleValues() const override { return 12; }

private:
    friend class TPlotPolygon;

    // The pixel rectangle of a polygon's outline extent, normalised; with
    // Project in 3-D projected at depth Z.
    TRect ExtentRect(const TPlotPolygon& Polygon, int Z, bool Project) const;
    // The depth position of polygon Index: its palette Z position in 3-D,
    // else 0.
    int PolygonZ(int Index) const;
    // The number of values that have a polygon.
    int PolygonCount() const;
    // Extremes of one value list of every outline.
    double OutlineExtreme(bool IsX, bool Max) const;

    std::unique_ptr<TPlotPolygonList> FShapes;
    bool FFixedShapes = false;
    // Set while polygons are added for values that exist already.
    bool FAddingForValues = false;
};

// Registers the map series ("Map" on the "Extended" gallery page);
// UnRegisterMapSeries undoes it. Called by the engine's start-up routine.
void RegisterMapSeries();
void UnRegisterMapSeries();

} // namespace lp
