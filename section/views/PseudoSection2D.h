#pragma once
// The pseudo-section chart: scattered measurements over a triangulation
// shown as colour bands between contour levels, with traced contour lines.
//
//   TPseudoSection2d (a TChart)
//     ├─ ChartPopup       six commands, opened by a double click
//     ├─ PseudoFont       kept for the chart's texts (the paper-scale export
//     │                   enlarges it; nothing here draws with it)
//     └─ observed, all filled by the owner:
//          Vertices[1..VertexCount], Triangles[1..TriangleCount] with their
//          neighbour tables, DataMin/DataMax, PictureMetafile with its size,
//          PictureTool (shows the picture over AxisExtentSeries),
//          AxisExtentSeries, GridPointSeries (and SurfaceSeries, if any)
//
// The owner fills the tables and calls PrepareLevels, then RebuildPicture.
// The picture is rendered once per rebuild into PictureMetafile (bands of
// every triangle first, then the contour lines) and the picture tool only
// stretches a copy of it; the chart's own paint never walks the
// triangulation.
//
// Units: PseudoSection2D.cpp the chart, its levels, settings text and
// pop-up menu; PseudoSectionRender.cpp the picture.

#include "chart/engine/PlotChart.h"
#include "platform/base/DynArray.h"

#include <QtCore/QPointer>
#include <QtCore/QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace lp {

class TCanvas;
class TChartImageTool;
class TChartSeries;
class TMetafile;
class TPlotFont;

// One measurement.
struct dVertex3d {
    double X = 0.0;      // horizontal picture coordinate
    double Z = 0.0;      // vertical picture coordinate, growing downward
    double Value = 0.0;  // the measured value
    double Extra = 0.0;  // not used by the chart
    double AxisX = 0.0;  // position in axis units
    double AxisY = 0.0;
    QString Label;       // not used by the chart
};

// One triangle. Edge e joins V[e] and V[(e + 1) mod 3].
struct TPseudoTriangle {
    std::array<int32_t, 3> V{};             // indexes into Vertices
    std::array<int32_t, 3> Neighbour{};     // triangle across edge e, 0 for none
    std::array<uint8_t, 3> NeighbourEdge{}; // the same edge's number in that neighbour
    std::array<int32_t, 3> EdgeKind{};      // 1 on the outer boundary
    std::array<uint8_t, 3> Visited{};       // scratch marks of the contour tracing
};

using arofpoint = DynArray<TPoint>;

// A world point (X, Z) of a traced contour line.
struct TWorldPoint {
    double X = 0.0;
    double Z = 0.0;
};

class TPseudoSection2d : public TChart {
    Q_OBJECT
public:
    // The missing-value sentinel of the two preset reals.
    static constexpr double MissingValue = 123456789.0;
    // Items of ChartPopup, in menu order.
    enum TPopupItem { piLogScale, piGridPoints, piColorBar, piSetup, piPrintPreview, piDefault, PopupItemCount };
    // Numbers of a settings text and the largest level count it may set.
    static constexpr int SettingsCount = 18;
    static constexpr int MaxLevelCount = 1000;

    explicit TPseudoSection2d(TComponent* AOwner = nullptr);
    ~TPseudoSection2d() override;

    // --- Settings ---

    // Colour bar shown, linear scale, the default palettes, margins and 15
    // levels.
    void SetDefaultSettings();
    // Reads the settings text (at least 18 numbers, blanks or tabs between
    // them, a comma counting as the decimal point), then PrepareLevels.
    // A text with fewer numbers, a number that does not fit its field or a
    // level count outside 0..1000 is refused whole: false, nothing changes.
    bool ApplySettings(const QString& Text);

    // --- Levels and picture ---

    // Levels, BandColors and LineColors from the data range; then every
    // vertex value equal to a level moves off it. Nothing below one level,
    // three triangles or three vertices.
    void PrepareLevels();
    // The axis extent, a repaint, the picture rendered and handed to the
    // picture tool. Nothing below three vertices or without an active
    // picture tool.
    void RebuildPicture();
    // The legend at the chart rectangle's right + 15, its top; the picture
    // tool gets the current picture.
    void PlaceLegend();

    // Extents over vertices 1..VertexCount; false when there are none or a
    // coordinate is not finite.
    bool VertexBounds(double& MinX, double& MaxX, double& MaxZ, double& MinZ) const;
    bool AxisBounds(double& MinAxisX, double& MaxAxisX, double& MaxAxisY, double& MinAxisY) const;

    // --- Rendering (PseudoSectionRender.cpp) ---

    // Origin and pixels per unit; both scales stay 0 (nothing is rendered)
    // when the vertices share one X or one Z.
    void ComputePictureScale();
    int XToPixel(double X) const;
    int ZToPixel(double Z) const;
    // Clears PictureMetafile, sizes it and records the bands and lines.
    void RenderPicture();
    // The same drawing on any canvas (what RenderPicture records), below
    // GroundLine when there is one; nothing without levels or a picture
    // scale.
    void RenderOnto(TCanvas& Canvas);
    // These draw on PictureCanvas (nothing without it).
    void FillAllTriangles();
    void FillTriangleBands(int T);
    void DrawContourLines();
    // One step of a traced line: appends the crossing of the next edge and
    // moves T and E into the neighbour. False at the boundary (point
    // appended) or when the line has closed (no point appended; Closed set).
    bool TraceStep(int& T, int& E, double L, std::vector<TWorldPoint>& Points, bool& Closed);
    void DrawSmoothLine(std::vector<TWorldPoint> Points, bool Closed);

    // Where level L lies on an edge whose ends have values V1, V2 at
    // positions P1, P2 (P1 for an edge of equal values).
    static double EdgeInterpolate(double L, double V2, double P2, double V1, double P1);
    static bool StrictlyBetween(double A, double B, double L);
    // The crossing of L inside the neighbour across edge E of T; false when
    // there is none.
    bool NeighbourCrossing(int T, int E, double L, TWorldPoint& Crossing) const;
    // Eight pixel points of the iso-curve of L from edge A's side to edge B's.
    std::array<TPoint, 8> IsoCurvePoints(int T, int A, int B, double L) const;

    // --- Pop-up menu ---

    // The command of item Item (TPopupItem); other numbers do nothing.
    void PopupMenuClick(int Item);
    // The chart's double click: the menu with its check marks, at the mouse.
    void PseudoDblClick(TControl* Sender);
    // The menu's items with their current check marks.
    std::vector<TMenuItem> PopupItems();

    // The paper-scale picture export enlarges PseudoFont too.
    TPlotFont* PaperScaleExtraFont() const override { return PseudoFont.get(); }

    // --- Fields ---
    TPopupMenu ChartPopup;
    QPointer<TMetafile> PictureMetafile;
    TCanvas* PictureCanvas = nullptr;  // only while rendering
    int PictureWidth = 0;
    int PictureHeight = 0;
    // Used from index 1; the owner sizes them (entry 0 is unused).
    DynArray<dVertex3d> Vertices = DynArray<dVertex3d>(1);
    DynArray<TPseudoTriangle> Triangles = DynArray<TPseudoTriangle>(1);
    int TriangleCount = 0;
    // The number of vertices: Vertices[1..VertexCount] are read.
    int VertexCount = 0;
    TColor BandFirstColor = 0x0000FF;
    std::array<TColor, 2> BandMidColors{0x00FFFF, 0x008000};
    TColor BandLastColor = 0xFF0000;
    TColor LineFirstColor = 0xFF0000;
    TColor LineLastColor = 0x0000FF;
    int LevelCount = 15;
    DynArray<double> Levels;
    DynArray<TColor> BandColors;
    DynArray<TColor> LineColors;
    double DataMin = 0.0;
    double DataMax = 0.0;
    double PresetValue1 = MissingValue;
    double PresetValue2 = MissingValue;
    bool SpareFlag = false;
    bool ShowContourLines = true;
    bool LogDataScale = false;
    bool ShowColorBar = true;  // stored and toggled; the owner draws a bar
    // The vertices stand where their electrodes are (a survey with buried
    // electrodes), not at pseudo-depths; set by the owner that fills them.
    bool PlacedVertices = false;
    bool PopupEnabled = false;
    QPointer<TChartImageTool> PictureTool;
    QPointer<TChartSeries> AxisExtentSeries;
    QPointer<TChartSeries> GridPointSeries;
    QPointer<TChartSeries> SurfaceSeries; // a ground surface line the owner may fill
    // The ground in picture coordinates (X rising, Z growing downward),
    // held flat beyond its ends; the picture is drawn below it only. Empty:
    // no ground, the whole triangulation drawn.
    std::vector<TWorldPoint> GroundLine;
    QString DefaultSettings;
    TNotifyEvent OnPopupCommand;
    QPointer<TPseudoSection2d> PreviewChart;
    std::unique_ptr<TPlotFont> PseudoFont;
    double OriginX = 0.0, OriginZ = 0.0, PixelsPerX = 0.0, PixelsPerZ = 0.0;

private:
    // Raises ERangeError when a count exceeds its table or a triangle refers
    // to a vertex, neighbour or edge outside them.
    void CheckTables() const;
    void CheckVertexTable() const;
    bool LevelsReady() const;
    std::array<double, 3> TriangleValues(int T) const;
    TPoint VertexPixel(int Index) const;
    TPoint WorldPixel(const TWorldPoint& P) const { return {XToPixel(P.X), ZToPixel(P.Z)}; }
    TWorldPoint EdgeCrossing(int T, int E, double L) const;
    void FillBands(int T);
    void FillPolygon(const std::vector<TPoint>& Points, TColor Color);
    // Traces the line of L that crosses edge E of T and draws it.
    void TraceAndDraw(int T, int E, double L);
    void ShowPicture();
    // The canvas clipped to the area below GroundLine (nothing without one).
    void ClipBelowGround(TCanvas& Canvas) const;
};

// Sets the chart's triangles 1..N from Corners (vertex numbers from 1) and
// links them as the chart reads them: an edge two triangles share makes each
// the other's neighbour across it (with the edge's number in the other);
// every other edge is on the outer boundary (EdgeKind 1). Sets
// TriangleCount; the vertices are the caller's.
void SetPseudoTriangles(TPseudoSection2d& Chart, const std::vector<std::array<int, 3>>& Corners);

} // namespace lp
