// Writing a bitmap as a BMP file at the depth its pixel format asks for.

#include "platform/graphics/Bitmap_p.h"

#include <QtCore/QHash>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace lp {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr uint32_t kPlainRows = 0;   // BI_RGB
constexpr uint32_t kMaskedRows = 3;  // BI_BITFIELDS
constexpr uint16_t kGreenMask565 = 0x07E0;

void Put16(QByteArray& Out, uint32_t Value)
{
    Out.append(static_cast<char>(Value & 0xFF));
    Out.append(static_cast<char>((Value >> 8) & 0xFF));
}

void Put32(QByteArray& Out, uint32_t Value)
{
    Put16(Out, Value & 0xFFFF);
    Put16(Out, Value >> 16);
}

int BitsOf(TBitmap::TPixelFormat Format)
{
    switch (Format) {
    case TBitmap::pf1bit:
        return 1;
    case TBitmap::pf4bit:
        return 4;
    case TBitmap::pf8bit:
        return 8;
    case TBitmap::pf15bit:
    case TBitmap::pf16bit:
        return 16;
    case TBitmap::pf32bit:
        return 32;
    case TBitmap::pfDevice:
    case TBitmap::pf24bit:
        break;
    }
    return 24;
}

// The sixteen colours every palette display shows, in their usual order.
QList<QRgb> StandardSixteenColours()
{
    return {qRgb(0, 0, 0),     qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),   qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0), qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),   qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// The picture's own colours, or an empty list when there are more than
// Limit.
QList<QRgb> OwnColours(const QImage& Pixels, int Limit)
{
    QList<QRgb> Colours;
    QHash<QRgb, bool> Seen;
    for (int Y = 0; Y < Pixels.height(); ++Y) {
        const auto* Row = reinterpret_cast<const QRgb*>(Pixels.constScanLine(Y));
        for (int X = 0; X < Pixels.width(); ++X) {
            const QRgb Colour = Row[X] | 0xFF000000u;
            if (Seen.contains(Colour))
                continue;
            if (Colours.size() == Limit)
                return {};
            Seen.insert(Colour, true);
            Colours.append(Colour);
        }
    }
    return Colours;
}

// The colour table reduced to the colours the pixels use, in ascending
// order, and the pixels re-indexed: a file read back and written again gets
// the same table.
QImage WithUsedColoursInOrder(const QImage& Indexed)
{
    const QList<QRgb> Table = Indexed.colorTable();
    std::vector<bool> Used(static_cast<size_t>(Table.size()), false);
    for (int Y = 0; Y < Indexed.height(); ++Y) {
        const uint8_t* Row = Indexed.constScanLine(Y);
        for (int X = 0; X < Indexed.width(); ++X)
            if (Row[X] < Table.size())
                Used[Row[X]] = true;
    }
    QList<QRgb> Colours;
    for (qsizetype I = 0; I < Table.size(); ++I)
        if (Used[static_cast<size_t>(I)] && !Colours.contains(Table[I] | 0xFF000000u))
            Colours.append(Table[I] | 0xFF000000u);
    std::sort(Colours.begin(), Colours.end());
    std::array<uint8_t, 256> NewIndex{};
    for (qsizetype I = 0; I < Table.size() && I < 256; ++I)
        NewIndex[static_cast<size_t>(I)] = static_cast<uint8_t>(std::max<qsizetype>(0, Colours.indexOf(Table[I] | 0xFF000000u)));
    QImage Out = Indexed;
    Out.setColorTable(Colours);
    for (int Y = 0; Y < Out.height(); ++Y) {
        uint8_t* Row = Out.scanLine(Y);
        for (int X = 0; X < Out.width(); ++X)
            Row[X] = NewIndex[Row[X]];
    }
    return Out;
}

// Pixels as one palette index per byte, with the palette they index.
QImage Indexed(const QImage& Pixels, int Bits)
{
    const QList<QRgb> Own = OwnColours(Pixels, 1 << Bits);
    if (!Own.isEmpty())
        return WithUsedColoursInOrder(Pixels.convertToFormat(QImage::Format_Indexed8, Own, Qt::ThresholdDither));
    if (Bits == 4)
        return WithUsedColoursInOrder(
            Pixels.convertToFormat(QImage::Format_Indexed8, StandardSixteenColours(), Qt::ThresholdDither));
    return WithUsedColoursInOrder(Pixels.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither));
}

// One BMP row (padded to whole 32-bit words) of Pixels' row Y.
void AppendRow(QByteArray& Out, const QImage& Source, int Y, int Bits, TBitmap::TPixelFormat Format)
{
    const qsizetype Start = Out.size();
    const int Width = Source.width();
    if (Bits <= 8) {
        const uint8_t* Row = Source.constScanLine(Y);
        const int PerByte = 8 / Bits;
        for (int X = 0; X < Width; X += PerByte) {
            int Byte = 0;
            for (int K = 0; K < PerByte; ++K) {
                const int Index = X + K < Width ? Row[X + K] : 0;
                Byte |= Index << (8 - Bits * (K + 1));
            }
            Out.append(static_cast<char>(Byte));
        }
    } else {
        const auto* Row = reinterpret_cast<const QRgb*>(Source.constScanLine(Y));
        for (int X = 0; X < Width; ++X) {
            const uint32_t R = qRed(Row[X]), G = qGreen(Row[X]), B = qBlue(Row[X]);
            if (Bits == 16) {
                Put16(Out, Format == TBitmap::pf16bit ? (R >> 3) << 11 | (G >> 2) << 5 | B >> 3
                                                      : (R >> 3) << 10 | (G >> 3) << 5 | B >> 3);
            } else {
                Out.append(static_cast<char>(B));
                Out.append(static_cast<char>(G));
                Out.append(static_cast<char>(R));
                if (Bits == 32)
                    Out.append('\0');
            }
        }
    }
    while ((Out.size() - Start) % 4 != 0)
        Out.append('\0');
}

// Black for pixels darker than mid-grey (index 0), white else (index 1).
QImage BlackAndWhite(const QImage& Pixels)
{
    QImage Out(Pixels.size(), QImage::Format_Indexed8);
    Out.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int Y = 0; Y < Pixels.height(); ++Y) {
        const auto* From = reinterpret_cast<const QRgb*>(Pixels.constScanLine(Y));
        uint8_t* To = Out.scanLine(Y);
        for (int X = 0; X < Pixels.width(); ++X)
            To[X] = qGray(From[X]) < 128 ? 0 : 1;
    }
    return Out;
}

} // namespace

QByteArray EncodeBitmapFile(const QImage& Pixels, TBitmap::TPixelFormat Format)
{
    const int Bits = BitsOf(Format);
    const QImage Colours = Pixels.convertToFormat(QImage::Format_RGB32);
    const QImage Source = Bits == 1 ? BlackAndWhite(Colours) : Bits <= 8 ? Indexed(Colours, Bits) : Colours;
    const QList<QRgb> Palette = Bits <= 8 ? Source.colorTable() : QList<QRgb>();
    const bool Masked = Format == TBitmap::pf16bit;
    const int64_t Stride = (int64_t(Source.width()) * Bits + 31) / 32 * 4;
    const int64_t PixelBytes = Stride * Source.height();
    const int64_t Offset = kFileHeaderSize + kInfoHeaderSize + (Masked ? 12 : 0) + 4 * int64_t(Palette.size());
    if (Offset + PixelBytes > INT32_MAX)
        throw EInvalidGraphic("The bitmap is too large for a bitmap file");

    QByteArray Out;
    Out.reserve(static_cast<qsizetype>(Offset + PixelBytes));
    Out.append("BM");
    Put32(Out, static_cast<uint32_t>(Offset + PixelBytes));
    Put32(Out, 0); // reserved
    Put32(Out, static_cast<uint32_t>(Offset));
    Put32(Out, kInfoHeaderSize);
    Put32(Out, static_cast<uint32_t>(Source.width()));
    Put32(Out, static_cast<uint32_t>(Source.height())); // positive: bottom row first
    Put16(Out, 1);                                       // planes
    Put16(Out, static_cast<uint32_t>(Bits));
    Put32(Out, Masked ? kMaskedRows : kPlainRows);
    Put32(Out, static_cast<uint32_t>(PixelBytes));
    Put32(Out, static_cast<uint32_t>(std::max(0, Pixels.dotsPerMeterX())));
    Put32(Out, static_cast<uint32_t>(std::max(0, Pixels.dotsPerMeterY())));
    Put32(Out, static_cast<uint32_t>(Palette.size())); // colours used
    Put32(Out, 0);                                       // all colours important
    if (Masked) {
        Put32(Out, 0xF800);
        Put32(Out, kGreenMask565);
        Put32(Out, 0x001F);
    }
    for (const QRgb Colour : Palette) {
        Out.append(static_cast<char>(qBlue(Colour)));
        Out.append(static_cast<char>(qGreen(Colour)));
        Out.append(static_cast<char>(qRed(Colour)));
        Out.append('\0');
    }
    for (int Y = Source.height() - 1; Y >= 0; --Y)
        AppendRow(Out, Source, Y, Bits, Format);
    return Out;
}

TBitmap::TPixelFormat BitmapFilePixelFormat(const QByteArray& File)
{
    const auto Byte = [&](int At) { return At < File.size() ? static_cast<uint8_t>(File[At]) : 0u; };
    const uint32_t HeaderSize = Byte(14) | Byte(15) << 8 | Byte(16) << 16 | Byte(17) << 24;
    const int BitsAt = HeaderSize == 12 ? 24 : 28;
    switch (Byte(BitsAt) | Byte(BitsAt + 1) << 8) {
    case 1:
        return TBitmap::pf1bit;
    case 4:
        return TBitmap::pf4bit;
    case 8:
        return TBitmap::pf8bit;
    case 16: {
        // A 5-6-5 file names its green mask after the header; plain 16-bit
        // rows are 5-5-5.
        const bool Masked = HeaderSize >= 40 && Byte(30) == kMaskedRows;
        const int MaskAt = kFileHeaderSize + kInfoHeaderSize + 4;
        const uint32_t Green = Byte(MaskAt) | Byte(MaskAt + 1) << 8;
        return Masked && Green == kGreenMask565 ? TBitmap::pf16bit : TBitmap::pf15bit;
    }
    case 32:
        return TBitmap::pf32bit;
    default:
        return TBitmap::pf24bit;
    }
}

} // namespace lp
