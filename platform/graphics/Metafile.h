#pragma once
// Metafiles: a drawing kept as a list of drawing records that can be played
// back onto any device context, at any size.
//
//   TMetafile (TGraphic) ── the bytes of one Enhanced Metafile (EMF)
//      ▲ Finish() stores the recording
//   TMetafileCanvas (TCanvas) ── owns a TMetafileDC while it records
//   TMetafileDC (TDeviceContext) ── writes every call as EMF records
//
//   PlayEnhMetafile      EMF bytes ──► any TDeviceContext (stretched into a rectangle)
//   SavePlaceableMetafile  EMF bytes ──► placeable metafile (WMF)
//   PlayPlaceableMetafile  placeable WMF ──► any TDeviceContext
//
// The recorder keeps the whole device state of its base class (so text
// extents, paths and clipping behave as on any device) and writes state
// records lazily: a pen, brush, font, colour, mode or mapping change reaches
// the file just before the next drawing record that it can affect.
// Coordinates of drawing records are logical; regions (clips, region fills)
// are in pixels of the reference device.
//
// Sizes: a metafile's picture area is its frame (rclFrame, hundredths of a
// millimetre); playback maps the frame, converted to reference pixels, onto
// the destination rectangle. A recording without an explicit frame gets the
// bounds of what it drew. Width and Height of a TMetafile are the frame in
// pixels of the reference resolution.
//
// Readers check every record size, offset, count and object index against
// the data and raise EInvalidGraphic ("Invalid enhanced metafile: ...") on
// anything inconsistent; nothing is drawn from a file that fails the check.
//
// The implementation is split into Metafile*.cpp parts; Metafile_p.h (private
// to them) says which part holds what.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DeviceContext.h"

#include <QtCore/QByteArray>
#include <QtCore/QIODevice>
#include <QtCore/QSize>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace lp {

// --- Record types ----------------------------------------------------------------------

enum TEmfRecordType : uint32_t {
    EMR_HEADER = 1,
    EMR_POLYBEZIER = 2,
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_POLYBEZIERTO = 5,
    EMR_POLYLINETO = 6,
    EMR_POLYPOLYLINE = 7,
    EMR_POLYPOLYGON = 8,
    EMR_SETWINDOWEXTEX = 9,
    EMR_SETWINDOWORGEX = 10,
    EMR_SETVIEWPORTEXTEX = 11,
    EMR_SETVIEWPORTORGEX = 12,
    EMR_SETBRUSHORGEX = 13,
    EMR_EOF = 14,
    EMR_SETPIXELV = 15,
    EMR_SETMAPMODE = 17,
    EMR_SETBKMODE = 18,
    EMR_SETPOLYFILLMODE = 19,
    EMR_SETROP2 = 20,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_SETBKCOLOR = 25,
    EMR_MOVETOEX = 27,
    EMR_EXCLUDECLIPRECT = 29,
    EMR_INTERSECTCLIPRECT = 30,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_ROUNDRECT = 44,
    EMR_ARC = 45,
    EMR_CHORD = 46,
    EMR_PIE = 47,
    EMR_EXTFLOODFILL = 53,
    EMR_LINETO = 54,
    EMR_ARCTO = 55,
    EMR_SETARCDIRECTION = 57,
    EMR_BEGINPATH = 59,
    EMR_ENDPATH = 60,
    EMR_CLOSEFIGURE = 61,
    EMR_FILLPATH = 62,
    EMR_STROKEANDFILLPATH = 63,
    EMR_STROKEPATH = 64,
    EMR_WIDENPATH = 66,
    EMR_SELECTCLIPPATH = 67,
    EMR_ABORTPATH = 68,
    EMR_GDICOMMENT = 70,
    EMR_FILLRGN = 71,
    EMR_EXTSELECTCLIPRGN = 75,
    EMR_BITBLT = 76,
    EMR_STRETCHBLT = 77,
    EMR_STRETCHDIBITS = 81,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTA = 83,
    EMR_EXTTEXTOUTW = 84,
    EMR_POLYBEZIER16 = 85,
    EMR_POLYGON16 = 86,
    EMR_POLYLINE16 = 87,
    EMR_POLYBEZIERTO16 = 88,
    EMR_POLYLINETO16 = 89,
    EMR_POLYPOLYLINE16 = 90,
    EMR_POLYPOLYGON16 = 91,
    EMR_CREATEMONOBRUSH = 93,
    EMR_CREATEDIBPATTERNBRUSHPT = 94,
    EMR_EXTCREATEPEN = 95,
    EMR_ALPHABLEND = 114,
    EMR_TRANSPARENTBLT = 116,
};

// The facts of an EMR_HEADER record.
struct TEnhMetaHeader {
    TRect Bounds;       // device pixels, inclusive; (0, 0, -1, -1) when nothing was drawn
    TRect Frame;        // hundredths of a millimetre
    uint32_t Bytes = 0; // the whole file
    uint32_t Records = 0;
    uint16_t Handles = 0; // size of the object table, entry 0 included
    QString Description;  // the two strings joined by '\n' ("Lithoprism\nTitle"), or empty
    QSize DevicePixels;   // the reference device's surface
    QSize DeviceMillimetres;
    QSize DeviceMicrometres; // zero when the header has no such extension
    // Reference pixels per inch (96 when the header gives no usable size).
    double PixelsPerInchX() const;
    double PixelsPerInchY() const;
    // The frame in reference pixels (right and bottom exclusive).
    TRect FramePixels() const;
};

// Reads the header of EMF bytes; EInvalidGraphic when it is not one.
TEnhMetaHeader ReadEnhMetaHeader(const QByteArray& emf);

// --- Recording ----------------------------------------------------------------------------

// A device context that writes everything drawn on it as EMF records.
// GetDeviceCaps answers for the reference device with TECHNOLOGY =
// DT_METAFILE. There are no pixels to read: GetPixel gives clNone.
class TMetafileDC : public TDeviceContext {
public:
    // The reference device: its surface in pixels and its resolution
    // (pixelsPerInchY 0 = the same as X).
    explicit TMetafileDC(QSize referenceSize = QSize(1920, 1080), int pixelsPerInchX = 96, int pixelsPerInchY = 0);
    ~TMetafileDC() override;

    // The title stored in the header as "Lithoprism\0<title>\0\0"; without
    // one the header has no description. Any time before Finish().
    void SetDescription(const QString& title);
    // The picture area in hundredths of a millimetre, or in reference pixels
    // (right and bottom exclusive). Without one the frame is the bounds of
    // the drawing.
    void SetFrame(const TRect& hundredthsOfMillimetre);
    void SetFramePixels(const TRect& pixels);

    // The pixels drawn so far (inclusive); (0, 0, -1, -1) when none.
    TRect Bounds() const;
    bool Finished() const;
    // Ends the recording and returns the EMF bytes (the same bytes on later
    // calls). Drawing afterwards raises EInvalidOperation.
    QByteArray Finish();

    int GetDeviceCaps(int index) const override;
    QRect DeviceBounds() const override;
    void SetPixel(int x, int y, TColor color) override;
    TColor GetPixel(int x, int y) const override;

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(const TPoint* points, int count) override;
    void PolylineTo(const TPoint* points, int count) override;
    void PolyBezier(const TPoint* points, int count) override;
    void Arc(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd) override;
    void ArcTo(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd) override;
    void Rectangle(int l, int t, int r, int b) override;
    void RoundRect(int l, int t, int r, int b, int width, int height) override;
    void Ellipse(int l, int t, int r, int b) override;
    void Pie(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd) override;
    void Chord(int l, int t, int r, int b, int xStart, int yStart, int xEnd, int yEnd) override;
    void Polygon(const TPoint* points, int count) override;
    void PolyPolygon(const TPoint* points, const int* counts, int polygons) override;
    void FillRect(const TRect& rect, const TLogBrush& brush) override;
    void FillRgn(const TRegion& region, const TLogBrush& brush) override;
    void PatBlt(int x, int y, int width, int height, uint32_t rop) override;
    void TextOut(int x, int y, const QString& text) override;
    // Recorded for the player's device; always true here.
    bool ExtFloodFill(int x, int y, TColor color, int type) override;
    void StretchBlt(int x, int y, int width, int height, const TDeviceContext& source, int sx, int sy, int sw, int sh,
                    uint32_t rop) override;
    void DrawImage(const TRect& dest, const QImage& image, std::optional<TColor> transparent = {}) override;
    int SelectClipRgn(const TRegion* region) override;
    int ExtSelectClipRgn(const TRegion* region, int mode) override;
    int IntersectClipRect(int l, int t, int r, int b) override;
    void BeginPath() override;
    void EndPath() override;
    void AbortPath() override;
    void CloseFigure() override;
    void StrokePath() override;
    void FillPath() override;
    void StrokeAndFillPath() override;
    void WidenPath() override;
    int SelectClipPath(int mode) override;

protected:
    // The engine only measures: it grows the bounds by what each call inks.
    void EngineStrokeFillPath(const QPainterPath& path, bool stroke, bool fill) override;
    void EngineFillRegion(const TRegion& region, const TLogBrush& brush) override;
    void EngineText(int x, int y, const QString& text) override;
    void EngineDrawImage(const QRect& dest, const QImage& image, const QRect& source, uint32_t rop,
                         std::optional<TColor> transparent) override;
    void EnginePatBlt(const QRect& dest, uint32_t rop) override;

private:
    class TCall;   // one call being recorded (MetafileRecorder.cpp)
    class TWriter; // the records, objects and header (MetafileRecorder.cpp)

    // How a call made from outside is recorded: not at all (only
    // forwarded), with a record, or with a record whose rclBounds gets the
    // pixels the call inks.
    enum class TRecording { Skip, Plain, Bounded };
    static constexpr TRecording BoundedIf(bool draws) { return draws ? TRecording::Bounded : TRecording::Skip; }
    // Writes the pending state, then the record 'write' puts (it returns the
    // record's offset), then makes the call through 'forward', which reaches
    // the base class. Calls the base class makes while one is recorded are
    // only forwarded.
    template <class TWrite, class TForward>
    decltype(auto) Record(TRecording kind, TWrite&& write, TForward&& forward);
    // The same for the clip calls, after which the file holds the new clip.
    template <class TWrite, class TForward>
    int RecordClip(TRecording kind, TWrite&& write, TForward&& forward);
    // Grows the call's and the file's bounds by the pixels a call inks:
    // 'box' holds them all; 'paint' draws them for an exact measure.
    void Ink(const QRect& box, const std::function<void(QPainter&)>& paint);
    // Grows 'exact' by the pixels 'paint' inks within 'area'.
    void InkExactly(const QRect& area, const std::function<void(QPainter&)>& paint, QRect& exact) const;
    void InkExact(const QRect& pixels);
    void CheckOpen() const;

    QSize FReferenceSize;
    int FDpiX;
    int FDpiY;
    std::unique_ptr<TWriter> FWriter;
    QRect FBounds;    // pixels inked so far
    QRect FCallInked; // pixels the current call may have inked
    int64_t FCoverageLeft; // pixels Ink may still paint to measure coverage
    int FDepth = 0;   // > 0 inside a recorded call: nested virtual calls record nothing
};

// --- Playback --------------------------------------------------------------------------------

// Replays EMF bytes onto the target, the frame stretched onto dest (logical
// coordinates of the target). The whole file is checked first: a file that
// fails the check raises EInvalidGraphic and nothing is drawn. The target's
// state (objects, colours, modes, mapping, clip, position) is the same
// afterwards; drawing is clipped by the target's clip. Unknown records are
// skipped.
void PlayEnhMetafile(const QByteArray& emf, TDeviceContext& target, const TRect& dest);
// The check alone.
void CheckEnhMetafile(const QByteArray& emf);

// --- Placeable metafiles ----------------------------------------------------------------------

// Writes the drawing of EMF bytes as a placeable metafile (WMF): the
// bounding box is the frame in reference pixels and one inch is the
// reference resolution. Coordinates are 16-bit (clamped); paths and Bézier
// curves become polygons; text is single-byte (Latin-1, '?' for anything
// else); images with a transparent colour or alpha are masked in two
// raster-operation transfers.
void SavePlaceableMetafile(const QByteArray& emf, QIODevice& stream);
QByteArray PlaceableFromEnhanced(const QByteArray& emf);

// Replays a placeable metafile (WMF) onto the target, its bounding box
// stretched onto dest. Checked first like EMF (EInvalidGraphic "Invalid
// placeable metafile: ...").
void PlayPlaceableMetafile(const QByteArray& wmf, TDeviceContext& target, const TRect& dest);
// The same drawing as EMF bytes (frame from the bounding box and inch).
QByteArray EnhancedFromPlaceable(const QByteArray& wmf);

// --- The picture ------------------------------------------------------------------------------

class TMetafile : public TGraphic {
    Q_OBJECT
public:
    TMetafile();
    ~TMetafile() override;

    // No recording stored.
    bool Empty() const override;
    // The frame in pixels of the reference resolution (0 when empty and no
    // size was set). Setting a size before recording makes it the frame of
    // the next recording; on a stored recording it changes the frame.
    int Width() const override;
    int Height() const override;
    void SetWidth(int value);
    void SetHeight(int value);
    // The frame in hundredths of a millimetre.
    int MMWidth() const { return FMMWidth; }
    int MMHeight() const { return FMMHeight; }
    void SetMMWidth(int value);
    void SetMMHeight(int value);
    // Reference pixels per inch of the recording (96 for an empty metafile).
    double PixelsPerInch() const { return FDpiX; }
    // True: SaveToStream writes EMF; false: a placeable WMF.
    bool Enhanced() const { return FEnhanced; }
    void SetEnhanced(bool value);
    // The header's description ("Lithoprism\nTitle"), or empty.
    QString Description() const;

    // Plays the records stretched into the rectangle of the canvas.
    void Draw(TCanvas& canvas, const TRect& rect) const override;
    // EMF, or a placeable WMF (then Enhanced becomes false); anything else
    // raises EInvalidGraphic and leaves the metafile as it was.
    void LoadFromStream(QIODevice& stream) override;
    // EInvalidGraphic for an empty metafile or a failing stream.
    void SaveToStream(QIODevice& stream) const override;
    // The drawing on white at Width x Height.
    QImage ToImage() const override;
    void Clear();

    // The EMF bytes; SetData checks them first (EInvalidGraphic).
    const QByteArray& Data() const { return FData; }
    void SetData(const QByteArray& emf);

    // From another metafile (its bytes and sizes).
    void Assign(const TPersistent* Source) override;

private:
    void TakeHeader(const TEnhMetaHeader& header);
    // Sets the frame's width or height (hundredths of a millimetre).
    void SetFrameExtent(int& extent, int value);
    void PatchFrame();

    QByteArray FData;
    int FMMWidth = 0;
    int FMMHeight = 0;
    double FDpiX = 96.0;
    double FDpiY = 96.0;
    bool FEnhanced = true;
};

// A canvas that records into a metafile. The reference device (observed,
// only read in the constructor) gives the resolution and surface; without
// one they are 96 pixels per inch and the metafile's size (or 1920 x 1080
// when it has none). A size set on the metafile beforehand becomes the
// frame. Finish() (or the destructor) stores the recording into the
// metafile; the canvas draws nothing afterwards.
class TMetafileCanvas : public TCanvas {
public:
    explicit TMetafileCanvas(TMetafile& metafile, TDeviceContext* reference = nullptr, const QString& title = {});
    ~TMetafileCanvas();

    void Finish();
    TMetafileDC& Recorder() const { return *FDC; }

private:
    TMetafile& FMetafile;
    std::unique_ptr<TMetafileDC> FDC;
    bool FDone = false;
};

} // namespace lp
