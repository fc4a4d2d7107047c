#pragma once
// Private to the metafile unit: what its parts share. Nothing outside
// platform/graphics/Metafile*.cpp includes this header.
//
//   MetafileRecorder.cpp  TMetafileDC: device calls ──► EMF records
//   MetafilePlayer.cpp    the EMF header, the check and playback; TPlayer
//   MetafileWmf.cpp       EMF ──► placeable WMF, and WMF playback
//   MetafileDib.cpp       device-independent bitmaps, both directions
//   Metafile.cpp          TMetafile, TMetafileCanvas
//
// Both players derive from TPlayer, which owns the way from a file's
// logical coordinates to the target's pixels; both writers compare the
// device's state with what the file's reader will hold and write only the
// differences.

#include "platform/graphics/Metafile.h"

#include "platform/base/Numeric.h"

#include <QtCore/QByteArray>
#include <QtGui/QTransform>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lp::metafile {

// --- Constants of the file formats ----------------------------------------------------

// " EMF" as the header's dSignature reads it.
inline constexpr uint32_t kEnhMetafileSignature = 0x464D4520;
// The key that opens a placeable metafile (WMF).
inline constexpr uint32_t kPlaceableMetafileKey = 0x9AC6CDD7;

// Stock objects: an object index with the high bit set.
inline constexpr uint32_t kStock = 0x80000000u;
enum TStockObject : uint32_t {
    WHITE_BRUSH = 0,
    LTGRAY_BRUSH = 1,
    GRAY_BRUSH = 2,
    DKGRAY_BRUSH = 3,
    BLACK_BRUSH = 4,
    NULL_BRUSH = 5,
    WHITE_PEN = 6,
    BLACK_PEN = 7,
    NULL_PEN = 8,
    DC_BRUSH = 18,
    DC_PEN = 19,
};

enum TBrushStyleCode : uint32_t { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, BS_PATTERN = 3, BS_DIBPATTERN = 5 };

inline constexpr uint32_t DIB_RGB_COLORS = 0;
inline constexpr uint32_t DIB_PAL_COLORS = 1;
inline constexpr uint32_t BI_RGB = 0;
inline constexpr uint32_t BI_BITFIELDS = 3;
inline constexpr uint32_t ETO_OPAQUE = 0x0002;
inline constexpr uint32_t ETO_CLIPPED = 0x0004;
inline constexpr uint32_t ETO_GLYPH_INDEX = 0x0010;
inline constexpr uint32_t ETO_PDY = 0x2000;
inline constexpr uint32_t GM_COMPATIBLE = 1;
inline constexpr uint32_t kBlendSourceAlpha = 0x01FF0000u; // AC_SRC_OVER, constant alpha 255, AC_SRC_ALPHA

inline constexpr int kHeaderSize = 108; // EMR_HEADER with both extensions
inline constexpr int kMinHeaderSize = 88;
inline constexpr int kLogFontSize = 92;     // LOGFONTW
inline constexpr int kFontObjectSize = 320; // LOGFONTW with the panose extension

// --- Limits of what is read and written ---------------------------------------------------

inline constexpr int kMaxImageSide = 65535;
inline constexpr int64_t kMaxImagePixels = 64LL * 1024 * 1024;
inline constexpr int kMaxPenStyleEntries = 16;
// Pen widths and font heights a player hands on (larger ones only cost time).
inline constexpr int kMaxPenWidth = 4096;
inline constexpr int kMaxFontHeight = 16384;
// Nesting of saved states a player keeps.
inline constexpr size_t kMaxSavedStates = 4096;
// Coordinates handed to a device stay well inside 32 bits.
inline constexpr double kCoordinateLimit = 1.0e8;

// --- Writing little-endian data -------------------------------------------------------------

inline void Put8(QByteArray& out, uint8_t value)
{
    out.append(static_cast<char>(value));
}

inline void Put16(QByteArray& out, uint16_t value)
{
    const char bytes[2] = {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
    out.append(bytes, 2);
}

inline void Put32(QByteArray& out, uint32_t value)
{
    const char bytes[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                           static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24)};
    out.append(bytes, 4);
}

inline void PutI32(QByteArray& out, int32_t value)
{
    Put32(out, static_cast<uint32_t>(value));
}

inline void PutFloat(QByteArray& out, float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    Put32(out, bits);
}

// Overwrites four bytes already written (a size or a bounds field).
inline void Patch32(QByteArray& out, qsizetype at, uint32_t value)
{
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
    out[at + 2] = static_cast<char>((value >> 16) & 0xFF);
    out[at + 3] = static_cast<char>(value >> 24);
}

inline void PadTo(QByteArray& out, int multiple)
{
    while (out.size() % multiple != 0)
        out.append('\0');
}

// --- Values -------------------------------------------------------------------------------------

inline uint32_t ColorRef(TColor color)
{
    return static_cast<uint32_t>(ColorToRGB(color)) & 0x00FFFFFFu;
}

inline TColor FromColorRef(uint32_t value)
{
    return static_cast<TColor>(value & 0x00FFFFFFu);
}

// Rounds as the device context does (halves to even), within the limit.
inline int32_t ClampRound(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int32_t>(RoundHalfEven(std::clamp(value, -kCoordinateLimit, kCoordinateLimit)));
}

// Hundredths of a millimetre of a pixel count at a resolution.
inline int32_t PixelsToHundredths(double pixels, double dpi)
{
    return ClampRound(pixels * 2540.0 / dpi);
}

// --- Reading with every access checked ------------------------------------------------------

// Raises EInvalidGraphic naming the format ("Invalid enhanced metafile: ...").
[[noreturn]] void Fail(bool wmf, const std::string& reason);

inline std::string Num(long long value)
{
    return std::to_string(value);
}

// A window on bytes of a file (a record, a bitmap, a region) whose every
// read is checked against its size; a failing read raises naming the
// record's number and type.
class TView {
public:
    TView(const uchar* data, uint64_t size, bool wmf, long long index, uint32_t type)
        : FData(data), FSize(size), FWmf(wmf), FIndex(index), FType(type)
    {
    }

    uint64_t Size() const { return FSize; }
    [[noreturn]] void Fail(const std::string& reason) const
    {
        metafile::Fail(FWmf, "record " + Num(FIndex) + " (type 0x" + Hex(FType) + "): " + reason);
    }
    void Need(uint64_t at, uint64_t count, const char* what = "it") const
    {
        if (at > FSize || count > FSize - at)
            Fail(std::string(what) + " runs past the end of the record");
    }
    uint8_t U8(uint64_t at) const
    {
        Need(at, 1);
        return FData[at];
    }
    uint16_t U16(uint64_t at) const
    {
        Need(at, 2);
        return static_cast<uint16_t>(FData[at] | (FData[at + 1] << 8));
    }
    int16_t I16(uint64_t at) const { return static_cast<int16_t>(U16(at)); }
    uint32_t U32(uint64_t at) const
    {
        Need(at, 4);
        return static_cast<uint32_t>(FData[at]) | (static_cast<uint32_t>(FData[at + 1]) << 8) |
               (static_cast<uint32_t>(FData[at + 2]) << 16) | (static_cast<uint32_t>(FData[at + 3]) << 24);
    }
    int32_t I32(uint64_t at) const { return static_cast<int32_t>(U32(at)); }
    float F32(uint64_t at) const
    {
        const uint32_t bits = U32(at);
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    const uchar* Bytes(uint64_t at, uint64_t count, const char* what = "it") const
    {
        Need(at, count, what);
        return FData + at;
    }
    TView Sub(uint64_t at, uint64_t count, const char* what) const
    {
        Need(at, count, what);
        return TView(FData + at, count, FWmf, FIndex, FType);
    }

private:
    static std::string Hex(uint32_t value)
    {
        static const char digits[] = "0123456789ABCDEF";
        std::string text;
        do {
            text.insert(text.begin(), digits[value & 0xF]);
            value >>= 4;
        } while (value != 0);
        return text;
    }

    const uchar* FData;
    uint64_t FSize;
    bool FWmf;
    long long FIndex;
    uint32_t FType;
};

// Characters as a file stores them: UTF-16 units (wide) or single bytes
// (Latin-1). The caller has checked that count of them are there.
inline QString TextOf(const uchar* chars, uint64_t count, bool wide)
{
    QString text;
    text.reserve(static_cast<qsizetype>(count));
    for (uint64_t i = 0; i < count; ++i)
        text.append(wide ? QChar(static_cast<char16_t>(chars[i * 2] | (chars[i * 2 + 1] << 8)))
                         : QChar(static_cast<char16_t>(chars[i])));
    return text;
}

// --- Device-independent bitmaps (MetafileDib.cpp) -------------------------------------------

struct TDib {
    QByteArray Info; // BITMAPINFOHEADER and colour table
    QByteArray Bits;
};

// The encodings raise EInvalidGraphic for an image too large for a file.
// 32 bits per pixel: blue, green, red, and the premultiplied alpha when
// withAlpha (0 otherwise).
TDib EncodeDib32(const QImage& image, bool withAlpha);
// 24 bits per pixel, rows padded to four bytes.
TDib EncodeDib24(const QImage& image);
// One bit per pixel: black pixels 0, every other pixel 1; the colour table
// says black and white.
TDib EncodeDibMono(const QImage& image);
// Black and white only: the pattern takes the text and background colours.
bool IsMonochrome(const QImage& image);
// Some pixel is not fully opaque.
bool HasTranslucency(const QImage& image);

enum class TDibMode {
    Colours, // the colours of the bitmap
    Mono,    // 1-bit: 0 black, 1 white whatever the colour table says
    Alpha,   // 32-bit with premultiplied alpha
};

// Checks a bitmap (BITMAPINFO at info, pixels at bits) and, with decode,
// converts it. std::nullopt: a kind this reader does not draw (compressed,
// palette indices), to be skipped.
std::optional<QImage> ReadDib(const TView& record, uint64_t infoAt, uint64_t infoSize, uint64_t bitsAt,
                              uint64_t bitsSize, uint32_t usage, TDibMode mode, bool decode);

// --- Drawing state both writers share (MetafileRecorder.cpp) ---------------------------------

// The advance of each UTF-16 unit: the rounded positions of the characters
// by the font, the last one ending at the natural width, plus the extra
// spacing. The advances add up to natural width + count * extra.
std::vector<int32_t> CharacterAdvances(const TLogFont& font, const QString& text, int extra);

// Null objects compare equal whatever else they hold; the device brush is
// the solid brush of its colour.
TLogPen Normalized(const TLogPen& pen);
TLogBrush Normalized(const TLogBrush& brush, TColor dcBrushColor);

// The style code a file gives a brush that is not a pattern.
inline uint32_t BrushStyleOf(const TLogBrush& brush)
{
    return brush.Kind == TBrushKind::Null ? BS_NULL : brush.Kind == TBrushKind::Hatched ? BS_HATCHED : BS_SOLID;
}

// The pixels of a block transfer's source rectangle (logical coordinates of
// the source); a null image when the source has no pixels there.
QImage SourcePixels(const TDeviceContext& source, int sx, int sy, int sw, int sh);

// --- Playback (MetafilePlayer.cpp) ------------------------------------------------------------

// The brush a file's brush record describes (not a pattern).
inline TLogBrush BrushOfStyle(uint32_t style, TColor color, int hatch)
{
    return style == BS_NULL      ? NullBrush()
           : style == BS_HATCHED ? CreateHatchBrush(hatch, color)
                                 : CreateSolidBrush(color);
}

// A LOGFONT at 'at': height, width, escapement, orientation and weight as
// 32-bit (wide) or 16-bit integers, the byte fields, then the face name in
// UTF-16 (wide; every unit read) or Latin-1 (up to the record's end).
TLogFont ReadLogFont(const TView& r, uint64_t at, bool wide);

// An entry of a file's object table.
struct TObject {
    enum TKind { Pen, Brush, Font, Other } Kind = Other;
    TLogPen PenValue;
    TLogBrush BrushValue;
    TLogFont FontValue;

    static TObject OfPen(TLogPen pen) { return {Pen, std::move(pen), {}, {}}; }
    static TObject OfBrush(TLogBrush brush) { return {Brush, {}, std::move(brush), {}}; }
    static TObject OfFont(TLogFont font) { return {Font, {}, {}, std::move(font)}; }
};

// The whole state of a device context: what a player puts back after
// playback and for SaveDC / RestoreDC, and what the EMF recorder knows the
// file's reader holds.
struct TStateSnapshot {
    TLogPen Pen;
    TLogBrush Brush;
    TLogFont Font;
    TColor TextColor = clBlack;
    TColor BkColor = clWhite;
    int BkMode = OPAQUE;
    unsigned TextAlign = 0;
    int Rop2 = R2_COPYPEN;
    int PolyFillMode = ALTERNATE;
    int ArcDirection = AD_COUNTERCLOCKWISE;
    int CharExtra = 0;
    TColor DCBrushColor = clWhite;
    TPoint BrushOrg;
    int MapMode = MM_TEXT;
    TPoint WindowOrg;
    TSize WindowExt{1, 1};
    TPoint ViewportOrg;
    TSize ViewportExt{1, 1};
    TPoint Position;
    std::optional<TRegion> Clip;
};

// A device context that keeps the mapping state only (a player's logical
// to reference-device mapping); its engine draws nothing.
class TMappingTracker : public TNullEngineDC {
public:
    int GetDeviceCaps(int) const override { return 0; }
    QRect DeviceBounds() const override { return {}; }
    void SetPixel(int, int, TColor) override {}
    TColor GetPixel(int, int) const override { return clNone; }
};

// What the players share: the index of the file's records, the target and
// the way from the file's logical coordinates to the target's pixels (the
// file's own mapping, then the stretch of the frame onto the destination),
// the file's clip, the saved states, and the conversions of objects to the
// target's scale.
//
// A player runs twice over a file: Check() decodes and checks every record
// with no target (nothing drawn), Play() draws onto the target. Record()
// must read the same fields in both runs, so that a file that passed the
// check cannot fail halfway through drawing.
class TPlayer {
public:
    virtual ~TPlayer() = default;
    TPlayer(const TPlayer&) = delete;
    TPlayer& operator=(const TPlayer&) = delete;

    // The picture area in the file's reference units (right and bottom
    // exclusive); an empty one draws nothing.
    virtual TRect Frame() const = 0;
    // Decodes and checks every record without drawing (EInvalidGraphic).
    void Check();
    // Draws the records, the frame stretched onto dest (the target's logical
    // coordinates). The target's state is put back afterwards, also when a
    // record raises.
    void Play(TDeviceContext& target, const TRect& dest);

protected:
    struct TRecordRef {
        uint64_t Offset;
        uint32_t Size;
        uint32_t Type;
    };

    // The file's bytes stay with the caller for the player's lifetime.
    TPlayer(const QByteArray& data, bool wmf) : FData(data), FWmf(wmf) {}

    // Indexes the records from 'at' up to the end-of-file record: 'read'
    // gives the record at an offset (raising on a bad size); fewer than
    // 'smallest' bytes left before 'end' means the file is truncated.
    void IndexRecords(uint64_t at, uint64_t end, uint64_t smallest, uint32_t eofType,
                      const std::function<TRecordRef(uint64_t at)>& read);
    long long RecordCount() const { return static_cast<long long>(FRecords.size()); }

    // Forgets the objects of the previous run.
    virtual void StartRun() = 0;
    virtual void Record(const TView& r, uint32_t type) = 0;
    // The mapping a file starts with (the frame it is given as window).
    virtual void SetInitialMapping(const TRect&) {}

    bool Drawing() const { return FTarget != nullptr; }
    TDeviceContext& Target() const { return *FTarget; }

    // A call on the target while drawing; nothing while checking. The
    // arguments are evaluated (and so the record's fields read) either way.
    template <class TMember, class... TArgs>
    void Call(TMember member, TArgs... args) const
    {
        if (FTarget)
            (FTarget->*member)(args...);
    }

    // Forgets the file's state (between the checking and the drawing run).
    void ResetState(const TRect& window);
    void UpdateTransform();

    // Logical coordinates of the file to the target's pixels.
    TPoint Out(double x, double y) const;
    // Pixels of the reference device to the target's pixels.
    TPoint DeviceOut(double x, double y) const;
    int LengthX(double v) const;
    int LengthY(double v) const;
    TRegion RegionOut(const TRegion& region) const;
    TRegion RectOut(double l, double t, double r, double b) const;
    // count points at 'at' (x, y pairs of 32 bits when wide, else 16),
    // through the mapping; the caller has checked that they are there. None
    // while checking.
    std::vector<TPoint> PointsOut(const TView& r, uint64_t at, uint32_t count, bool wide) const;

    // Pen widths and dashes are device pixels of the reference device.
    TLogPen ScaledPen(const TLogPen& pen) const;
    // Font heights are logical: through the file's mapping and the stretch.
    TLogFont ScaledFont(const TLogFont& font) const;
    void SelectFont(const TLogFont& logical);
    // A pen, brush or font of the object table into the target.
    void SelectObject(const TObject& object);

    // Text at a logical point; advances (logical, one per character) carry
    // the spacing, which the target gets as extra character spacing.
    void Text(int x, int y, const QString& text, const std::vector<int32_t>& advances);
    void PlayImage(const QImage& image, const QRect& source, double x, double y, double w, double h, uint32_t rop,
                   std::optional<TColor> transparent);
    // Source rectangles count from the bitmap's first row in memory: the
    // bottom row of a bottom-up bitmap (BITMAPINFO at infoAt).
    static QRect SourceRect(const TView& r, uint64_t infoAt, int x, int y, int w, int h);

    // Clipping: the file's clip (target pixels) within the target's own.
    void ApplyClip();
    void CombineClip(const std::optional<TRegion>& region, int mode);
    void ClipPath(int mode);

    void SaveState();
    void RestoreState(int relative);

    TMappingTracker FMap;
    bool FFixedScale = false; // a metric or English mapping mode: extents are fixed
    TLogFont FFont;           // the selected font as the file gives it

private:
    struct TSaved {
        TStateSnapshot Target;
        TStateSnapshot Mapping;
        std::optional<TRegion> Clip;
        TLogFont Font;
        bool FixedScale = false;
    };

    void Run();
    // Starts drawing: frame (reference units, right and bottom exclusive)
    // onto dest (the target's logical coordinates), the file's state new.
    void Open(TDeviceContext& target, const TRect& frame, const TRect& dest);
    // Puts the target's state back.
    void Close();

    const QByteArray& FData;
    bool FWmf;
    std::vector<TRecordRef> FRecords;
    TDeviceContext* FTarget = nullptr;
    TStateSnapshot FSavedTarget;
    QTransform FTotal;
    double FScaleX = 1, FScaleY = 1, FOffsetX = 0, FOffsetY = 0;
    std::optional<TRegion> FClip;
    std::optional<TRegion> FBaseClip;
    std::vector<TSaved> FSaved;
};

// The EMF player, the file indexed (EInvalidGraphic when that fails). The
// bytes stay with the caller for the player's lifetime.
std::unique_ptr<TPlayer> NewEnhMetafilePlayer(const QByteArray& emf);

} // namespace lp::metafile
