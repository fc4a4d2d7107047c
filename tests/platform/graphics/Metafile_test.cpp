#include "platform/graphics/Metafile.h"

#include "platform/graphics/PainterDC.h"
#include "platform/graphics/RecordingDC.h"
#include "PixelTestUtil.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>

#include <gtest/gtest.h>

#include <climits>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <set>

namespace lp {
namespace {

using test::Surface;

// --- Reading the bytes back, independently of the reader under test ----------------------

uint32_t U32(const QByteArray& data, qsizetype at)
{
    return static_cast<uint32_t>(static_cast<uchar>(data[at])) |
           (static_cast<uint32_t>(static_cast<uchar>(data[at + 1])) << 8) |
           (static_cast<uint32_t>(static_cast<uchar>(data[at + 2])) << 16) |
           (static_cast<uint32_t>(static_cast<uchar>(data[at + 3])) << 24);
}

int32_t I32(const QByteArray& data, qsizetype at)
{
    return static_cast<int32_t>(U32(data, at));
}

uint16_t U16(const QByteArray& data, qsizetype at)
{
    return static_cast<uint16_t>(static_cast<uchar>(data[at]) | (static_cast<uchar>(data[at + 1]) << 8));
}

void Set32(QByteArray& data, qsizetype at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        data[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

struct TRecordInfo {
    uint32_t Type;
    uint32_t Size;
    qsizetype Offset;
};

// Every record of EMF bytes, walked by nSize (stops at a bad size).
std::vector<TRecordInfo> EmfRecords(const QByteArray& emf)
{
    std::vector<TRecordInfo> records;
    qsizetype at = 0;
    while (at + 8 <= emf.size()) {
        const uint32_t type = U32(emf, at), size = U32(emf, at + 4);
        records.push_back({type, size, at});
        if (size < 8 || at + size > emf.size())
            break;
        at += size;
    }
    return records;
}

std::optional<TRecordInfo> FirstOf(const std::vector<TRecordInfo>& records, uint32_t type)
{
    for (const TRecordInfo& r : records)
        if (r.Type == type)
            return r;
    return std::nullopt;
}

// --- The drawing -------------------------------------------------------------------------------

QImage Gradient(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / std::max(1, w - 1), y * 255 / std::max(1, h - 1), 128));
    return image;
}

QImage Checker(bool colour)
{
    QImage image(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool on = ((x / 2) + (y / 2)) % 2 == 0;
            image.setPixel(x, y,
                           colour ? (on ? qRgb(200, 40, 40) : qRgb(40, 160, 220)) : (on ? 0xFF000000 : 0xFFFFFFFF));
        }
    return image;
}

TLogFont Arial(int height, int escapement = 0)
{
    TLogFont font;
    font.Height = height;
    font.Escapement = escapement;
    font.Orientation = escapement;
    return font;
}

// A chart-like picture that uses every kind of record the recorder writes.
void DrawChart(TDeviceContext& dc)
{
    // Axes.
    dc.SelectPen(CreatePen(PS_SOLID, 1, clBlack));
    dc.MoveTo(20, 20);
    dc.LineTo(20, 210);
    dc.LineTo(300, 210);

    // Grid lines: a dashed cosmetic pen, gaps in the background colour.
    dc.SelectPen(CreatePen(PS_DASH, 1, clGray));
    dc.SetBkColor(RGB(230, 230, 250));
    for (int y = 60; y <= 180; y += 40) {
        const TPoint line[2] = {{21, y}, {290, y}};
        dc.Polyline(line, 2);
    }

    // Bar series: solid, hatched, monochrome and colour pattern brushes.
    dc.SelectPen(CreatePen(PS_SOLID, 1, clBlack));
    dc.SelectBrush(CreateSolidBrush(clRed));
    dc.Rectangle(40, 120, 60, 210);
    dc.SelectBrush(CreateHatchBrush(HS_DIAGCROSS, clBlue));
    dc.Rectangle(70, 100, 90, 210);
    dc.SetTextColor(RGB(0, 120, 0));
    dc.SetBkColor(RGB(255, 240, 200));
    dc.SelectBrush(CreatePatternBrush(Checker(false)));
    dc.Rectangle(100, 140, 120, 210);
    dc.SelectBrush(CreatePatternBrush(Checker(true)));
    dc.Rectangle(130, 90, 150, 210);
    dc.FillRect({155, 150, 170, 209}, CreateSolidBrush(RGB(120, 60, 160)));

    // An area series with a wide pen.
    dc.SelectPen(CreatePen(PS_SOLID, 3, clNavy));
    dc.SelectBrush(CreateSolidBrush(RGB(150, 220, 150)));
    const TPoint area[5] = {{180, 200}, {200, 12}, {230, 70}, {250, 150}, {260, 200}};
    dc.Polygon(area, 5);

    // An ellipse with a flat-capped dashed geometric pen, a pie, a chord.
    dc.SelectPen(ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT | PS_JOIN_MITER, 2, clMaroon));
    dc.SelectBrush(CreateSolidBrush(clYellow));
    dc.Ellipse(260, 30, 311, 80);
    dc.SelectPen(CreatePen(PS_SOLID, 1, clBlack));
    dc.SelectBrush(CreateSolidBrush(clAqua));
    dc.Pie(262, 90, 302, 130, 302, 110, 282, 90);
    dc.SetArcDirection(AD_CLOCKWISE);
    dc.SelectBrush(CreateSolidBrush(clFuchsia));
    dc.Chord(262, 140, 302, 180, 302, 160, 282, 140);
    dc.SetArcDirection(AD_COUNTERCLOCKWISE);
    dc.Arc(30, 30, 70, 70, 70, 50, 30, 50);
    dc.MoveTo(80, 30);
    dc.ArcTo(80, 30, 120, 70, 120, 50, 80, 50);
    const TPoint steps[3] = {{130, 40}, {140, 30}, {150, 40}};
    dc.PolylineTo(steps, 3);

    // Text: aligned, spaced, rotated, transparent and opaque.
    dc.SelectFont(Arial(-12));
    dc.SetTextColor(clBlack);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    dc.TextOut(160, 214, QStringLiteral("Distance (m)"));
    dc.SetTextAlign(TA_RIGHT | TA_BASELINE);
    dc.SetTextCharacterExtra(2);
    dc.TextOut(300, 26, QStringLiteral("Series"));
    dc.SetTextCharacterExtra(0);
    dc.SelectFont(Arial(-11, 900));
    dc.SetTextAlign(TA_CENTER | TA_BOTTOM);
    dc.TextOut(16, 115, QStringLiteral("Depth"));
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(clWhite);
    dc.SelectFont(Arial(-10));
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.TextOut(40, 24, QStringLiteral("ρ = 120 Ω·m"));

    // A clipped line series.
    dc.IntersectClipRect(30, 150, 150, 200);
    dc.SelectPen(CreatePen(PS_SOLID, 2, RGB(200, 100, 0)));
    const TPoint series[5] = {{25, 195}, {60, 160}, {90, 190}, {120, 140}, {160, 170}};
    dc.Polyline(series, 5);
    dc.SelectClipRgn(nullptr);

    // A filled path with a curve, and a widened one.
    dc.SelectPen(CreatePen(PS_SOLID, 1, clBlack));
    dc.SelectBrush(CreateSolidBrush(RGB(90, 200, 200)));
    dc.BeginPath();
    dc.MoveTo(180, 215);
    dc.LineTo(220, 215);
    const TPoint curve[4] = {{220, 215}, {230, 225}, {200, 235}, {180, 225}};
    dc.PolyBezier(curve, 4);
    dc.CloseFigure();
    dc.EndPath();
    dc.StrokeAndFillPath();
    dc.SelectPen(CreatePen(PS_SOLID, 4, clBlack));
    dc.BeginPath();
    dc.MoveTo(240, 220);
    dc.LineTo(290, 228);
    dc.EndPath();
    dc.WidenPath();
    dc.SelectBrush(CreateSolidBrush(clOlive));
    dc.FillPath();

    // Images, a pattern block and single pixels, under a shifted origin.
    dc.SetViewportOrg(200, 160);
    dc.DrawImage({0, 0, 32, 24}, Gradient(16, 12));
    QImage keyed = Gradient(10, 10);
    keyed.fill(Qt::white);
    for (int i = 0; i < 10; ++i)
        keyed.setPixel(i, i, qRgb(0, 0, 255));
    dc.DrawImage({34, 0, 44, 10}, keyed, clWhite);
    dc.SelectBrush(CreateHatchBrush(HS_CROSS, clGreen));
    dc.PatBlt(34, 12, 12, 12, PATCOPY);
    dc.SetViewportOrg(0, 0);
    for (int i = 0; i < 5; ++i)
        dc.SetPixel(230 + i * 2, 100, clRed);
    dc.SelectPen(CreatePen(PS_NULL, 0, clBlack));
    dc.SelectBrush(CreateSolidBrush(clTeal));
    dc.RoundRect(270, 190, 300, 205, 8, 8);
    dc.FillRgn(CreateEllipticRgn(30, 80, 50, 95), CreateSolidBrush(RGB(255, 128, 0)));
}

// Pixels whose colour differs by more than the tolerance in any channel.
int DifferingPixels(const QImage& a, const QImage& b, int tolerance, QImage* difference = nullptr)
{
    int count = 0;
    if (difference) {
        *difference = QImage(a.size(), QImage::Format_RGB32);
        difference->fill(Qt::white);
    }
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > tolerance || std::abs(qGreen(p) - qGreen(q)) > tolerance ||
                std::abs(qBlue(p) - qBlue(q)) > tolerance) {
                ++count;
                if (difference)
                    difference->setPixel(x, y, qRgb(255, 0, 0));
            }
        }
    return count;
}

// Compares two renderings; on failure the images are written beside the test.
void ExpectSimilar(const QImage& expected, const QImage& actual, double fraction, const QString& name)
{
    ASSERT_EQ(expected.size(), actual.size());
    QImage difference;
    const int differing = DifferingPixels(expected, actual, 64, &difference);
    const int allowed = static_cast<int>(expected.width() * expected.height() * fraction);
    EXPECT_LT(differing, allowed) << name.toStdString();
    if (differing >= allowed) {
        expected.save(QDir::current().filePath(name + QStringLiteral("_expected.png")));
        actual.save(QDir::current().filePath(name + QStringLiteral("_actual.png")));
        difference.save(QDir::current().filePath(name + QStringLiteral("_difference.png")));
    }
}

QByteArray RecordChart(bool withFrame)
{
    TMetafileDC recorder(QSize(320, 240), 96);
    if (withFrame)
        recorder.SetFramePixels({0, 0, 320, 240});
    DrawChart(recorder);
    return recorder.Finish();
}

QImage DirectChart()
{
    Surface direct(320, 240);
    DrawChart(*direct.dc);
    direct.dc->Finish();
    return direct.image;
}

QImage Played(const QByteArray& emf, int width, int height, const TRect& dest)
{
    Surface surface(width, height);
    PlayEnhMetafile(emf, *surface.dc, dest);
    surface.dc->Finish();
    return surface.image;
}

// A small recording: a filled rectangle, a line and a text.
QByteArray SmallEmf()
{
    TMetafileDC recorder(QSize(100, 80), 96);
    recorder.SelectBrush(CreateSolidBrush(clRed));
    recorder.SelectPen(CreatePen(PS_SOLID, 2, clBlue));
    recorder.Rectangle(10, 10, 40, 30);
    const TPoint line[3] = {{5, 50}, {50, 60}, {90, 40}};
    recorder.Polyline(line, 3);
    recorder.SelectFont(Arial(-10));
    recorder.TextOut(10, 62, QStringLiteral("ab"));
    return recorder.Finish();
}

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EInvalidGraphic& e) {
        return e.Message();
    }
    return "no error";
}

// --- Cross-engine: the painter and the recorder with its player agree ------------------------

TEST(MetafilePlayback, ChartPlayedBackMatchesTheDirectDrawing)
{
    const QImage direct = DirectChart();
    const QImage played = Played(RecordChart(true), 320, 240, {0, 0, 320, 240});
    ExpectSimilar(direct, played, 0.015, QStringLiteral("metafile_chart"));
}

TEST(MetafilePlayback, GeometryIsPixelExactWithoutText)
{
    // Everything but text is replayed with the same arguments, so the
    // pixels are the same.
    auto draw = [](TDeviceContext& dc) {
        dc.SelectPen(CreatePen(PS_DASH, 1, clBlack));
        dc.SelectBrush(CreateHatchBrush(HS_BDIAGONAL, clBlue));
        dc.Ellipse(5, 5, 60, 40);
        dc.SelectPen(CreatePen(PS_SOLID, 5, clRed));
        const TPoint zig[4] = {{10, 70}, {30, 50}, {50, 75}, {70, 45}};
        dc.Polyline(zig, 4);
        dc.SelectBrush(CreatePatternBrush(Checker(false)));
        dc.PolyPolygon(
            std::vector<TPoint>{{80, 5}, {120, 5}, {120, 45}, {80, 45}, {90, 15}, {110, 15}, {100, 35}}.data(),
            std::vector<int>{4, 3}.data(), 2);
    };
    Surface direct(130, 80);
    draw(*direct.dc);
    TMetafileDC recorder(QSize(130, 80));
    recorder.SetFramePixels({0, 0, 130, 80});
    draw(recorder);
    const QImage played = Played(recorder.Finish(), 130, 80, {0, 0, 130, 80});
    direct.dc->Finish();
    EXPECT_EQ(DifferingPixels(direct.image, played, 0), 0);
}

TEST(MetafilePlayback, MappingClipsRasterOpsAndBlendsAreReplayed)
{
    auto draw = [](TDeviceContext& dc) {
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(100, 100);
        dc.SetViewportExt(200, 150);
        dc.SetWindowOrg(-10, -10);
        dc.SelectBrush(CreateSolidBrush(clSilver));
        dc.Rectangle(0, 0, 60, 40);
        dc.SelectPen(CreatePen(PS_SOLID, 3, clRed));
        dc.MoveTo(0, 45);
        dc.LineTo(70, 60);
        dc.RoundRect(5, 50, 45, 70, 10, 10);
        dc.SetMapMode(MM_TEXT);
        dc.SetWindowOrg(0, 0);
        // Clips from a region, from a difference and from a path.
        const TRegion ring = CreateEllipticRgn(150, 10, 230, 90);
        dc.SelectClipRgn(&ring);
        const TRegion hole = CreateRectRgn(180, 40, 200, 60);
        dc.ExtSelectClipRgn(&hole, RGN_DIFF);
        dc.FillRect({140, 0, 240, 100}, CreateHatchBrush(HS_FDIAGONAL, clNavy));
        dc.SelectClipRgn(nullptr);
        dc.BeginPath();
        const TPoint star[5] = {{20, 150}, {60, 110}, {100, 150}, {20, 120}, {100, 120}};
        dc.Polygon(star, 5);
        dc.EndPath();
        dc.SetPolyFillMode(WINDING);
        dc.SelectClipPath(RGN_COPY);
        dc.FillRect({0, 100, 120, 160}, CreateSolidBrush(clGreen));
        dc.SelectClipRgn(nullptr);
        // Raster operations of the pen and of a block transfer.
        dc.SetROP2(R2_NOTXORPEN);
        dc.SelectPen(CreatePen(PS_SOLID, 5, clBlue));
        dc.MoveTo(130, 100);
        dc.LineTo(250, 150);
        dc.SetROP2(R2_COPYPEN);
        QImage source = Gradient(20, 20);
        TPainterDC sourceDC(source);
        dc.StretchBlt(200, 110, 40, 40, sourceDC, 0, 0, 20, 20, SRCAND);
        // A translucent image.
        QImage glass(10, 10, QImage::Format_ARGB32);
        glass.fill(qRgba(255, 0, 0, 128));
        dc.DrawImage({240, 10, 260, 30}, glass);
    };
    Surface direct(260, 160);
    draw(*direct.dc);
    TMetafileDC recorder(QSize(260, 160));
    recorder.SetFramePixels({0, 0, 260, 160});
    draw(recorder);
    const QByteArray emf = recorder.Finish();
    std::set<uint32_t> types;
    for (const TRecordInfo& r : EmfRecords(emf))
        types.insert(r.Type);
    for (uint32_t type :
         {EMR_SETMAPMODE, EMR_SETWINDOWEXTEX, EMR_SETVIEWPORTEXTEX, EMR_SETWINDOWORGEX, EMR_EXTSELECTCLIPRGN,
          EMR_SELECTCLIPPATH, EMR_SETPOLYFILLMODE, EMR_SETROP2, EMR_ALPHABLEND, EMR_STRETCHDIBITS})
        EXPECT_EQ(types.count(type), 1u) << "no record of type " << type;
    direct.dc->Finish();
    EXPECT_EQ(DifferingPixels(direct.image, Played(emf, 260, 160, {0, 0, 260, 160}), 2), 0);
}

TEST(MetafilePlayback, ScaledMappingScalesTheFont)
{
    auto draw = [](TDeviceContext& dc) {
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(1, 1);
        dc.SetViewportExt(2, 2);
        dc.SelectFont(Arial(-12));
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(10, 10, QStringLiteral("Scaled"));
    };
    Surface direct(200, 80);
    draw(*direct.dc);
    TMetafileDC recorder(QSize(200, 80));
    recorder.SetFramePixels({0, 0, 200, 80});
    draw(recorder);
    const QImage played = Played(recorder.Finish(), 200, 80, {0, 0, 200, 80});
    direct.dc->Finish();
    EXPECT_GT(direct.Inked().height(), 15);
    EXPECT_EQ(DifferingPixels(direct.image, played, 64), 0);
}

TEST(MetafilePlayback, StretchedIntoATwiceLargerRectDoublesTheInkedBox)
{
    TMetafileDC recorder(QSize(100, 80));
    recorder.SetFramePixels({0, 0, 100, 80});
    recorder.FillRect({10, 20, 50, 60}, CreateSolidBrush(clBlue));
    const QByteArray emf = recorder.Finish();
    Surface once(100, 80), twice(200, 160);
    PlayEnhMetafile(emf, *once.dc, {0, 0, 100, 80});
    PlayEnhMetafile(emf, *twice.dc, {0, 0, 200, 160});
    EXPECT_EQ(once.Inked(), QRect(QPoint(10, 20), QPoint(49, 59)));
    EXPECT_EQ(twice.Inked(), QRect(QPoint(20, 40), QPoint(99, 119)));
}

TEST(MetafilePlayback, TargetStateIsTheSameAfterwards)
{
    Surface surface(100, 80);
    TDeviceContext& dc = *surface.dc;
    dc.SelectPen(CreatePen(PS_DOT, 1, clGreen));
    dc.SelectBrush(CreateHatchBrush(HS_CROSS, clRed));
    dc.SelectFont(Arial(-20));
    dc.SetTextColor(clBlue);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(TA_RIGHT);
    dc.SetViewportOrg(3, 4);
    dc.IntersectClipRect(0, 0, 50, 50);
    const TRegion clip = *dc.ClipRegion();
    PlayEnhMetafile(RecordChart(false), dc, {0, 0, 100, 80});
    EXPECT_EQ(dc.Pen(), CreatePen(PS_DOT, 1, clGreen));
    EXPECT_EQ(dc.Brush(), CreateHatchBrush(HS_CROSS, clRed));
    EXPECT_EQ(dc.Font(), Arial(-20));
    EXPECT_EQ(dc.TextColor(), clBlue);
    EXPECT_EQ(dc.BkMode(), TRANSPARENT);
    EXPECT_EQ(dc.TextAlign(), unsigned(TA_RIGHT));
    EXPECT_EQ(dc.ViewportOrg(), (TPoint{3, 4}));
    ASSERT_TRUE(dc.ClipRegion().has_value());
    EXPECT_EQ(*dc.ClipRegion(), clip);
}

TEST(MetafilePlayback, DrawingStaysInsideTheTargetClip)
{
    TMetafileDC recorder(QSize(100, 80));
    recorder.SetFramePixels({0, 0, 100, 80});
    recorder.FillRect({0, 0, 100, 80}, CreateSolidBrush(clBlack));
    recorder.IntersectClipRect(0, 0, 100, 80);
    recorder.FillRect({0, 0, 100, 80}, CreateSolidBrush(clRed));
    const QByteArray emf = recorder.Finish();
    Surface surface(100, 80);
    surface.dc->IntersectClipRect(0, 0, 40, 80);
    PlayEnhMetafile(emf, *surface.dc, {0, 0, 100, 80});
    EXPECT_EQ(surface.Inked(), QRect(0, 0, 40, 80));
    EXPECT_EQ(surface.At(10, 10), clRed);
}

TEST(MetafilePlayback, CharacterSpacingTravelsInTheAdvances)
{
    TMetafileDC recorder(QSize(200, 40));
    recorder.SelectFont(Arial(-12));
    recorder.SetTextCharacterExtra(4);
    recorder.TextOut(5, 5, QStringLiteral("Wide"));
    const QByteArray emf = recorder.Finish();
    const std::vector<TRecordInfo> records = EmfRecords(emf);
    const std::optional<TRecordInfo> text = FirstOf(records, EMR_EXTTEXTOUTW);
    ASSERT_TRUE(text);
    ASSERT_EQ(U32(emf, text->Offset + 44), 4u);
    const uint32_t dxAt = U32(emf, text->Offset + 72);
    int sum = 0;
    for (int i = 0; i < 4; ++i)
        sum += I32(emf, text->Offset + dxAt + i * 4);
    Surface measure(10, 10);
    measure.dc->SelectFont(Arial(-12));
    EXPECT_EQ(sum, measure.dc->GetTextExtent(QStringLiteral("Wide")).cx + 4 * 4);
    EXPECT_FALSE(FirstOf(records, 0x70)); // no record of its own for the spacing
}

TEST(MetafilePlayback, MetafileRecordedFromAPlaybackDrawsTheSame)
{
    const QByteArray first = RecordChart(true);
    TMetafileDC again(QSize(320, 240));
    again.SetFramePixels({0, 0, 320, 240});
    PlayEnhMetafile(first, again, {0, 0, 320, 240});
    const QByteArray second = again.Finish();
    ExpectSimilar(Played(first, 320, 240, {0, 0, 320, 240}), Played(second, 320, 240, {0, 0, 320, 240}), 0.002,
                  QStringLiteral("metafile_rerecorded"));
}

// --- The header and the record stream --------------------------------------------------------

TEST(MetafileRecording, HeaderDescribesTheFile)
{
    const QByteArray emf = RecordChart(false);
    ASSERT_GE(emf.size(), 108);
    EXPECT_EQ(U32(emf, 0), uint32_t(EMR_HEADER));
    EXPECT_EQ(U32(emf, 40), 0x464D4520u);
    EXPECT_EQ(U32(emf, 48), uint32_t(emf.size()));
    const std::vector<TRecordInfo> records = EmfRecords(emf);
    EXPECT_EQ(U32(emf, 52), records.size());
    for (const TRecordInfo& r : records)
        EXPECT_EQ(r.Size % 4, 0u) << "record type " << r.Type;
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().Type, uint32_t(EMR_EOF));
    EXPECT_EQ(records.back().Offset + records.back().Size, emf.size());
    EXPECT_EQ(I32(emf, 72), 320); // szlDevice
    EXPECT_EQ(I32(emf, 76), 240);
    EXPECT_EQ(I32(emf, 80), 85); // szlMillimeters at 96 pixels per inch
    EXPECT_EQ(I32(emf, 84), 64);
}

TEST(MetafileRecording, BoundsAreTheInkedPixelsOfTheDirectDrawing)
{
    Surface direct(320, 240);
    DrawChart(*direct.dc);
    const QRect inked = direct.Inked();
    ASSERT_FALSE(inked.isEmpty());
    const QByteArray emf = RecordChart(false);
    // Geometry is bounded pixel-exactly; text by its whole cell, which may
    // reach a pixel or two past the glyphs' ink.
    const QRect bounds(QPoint(I32(emf, 8), I32(emf, 12)), QPoint(I32(emf, 16), I32(emf, 20)));
    EXPECT_TRUE(bounds.contains(inked));
    EXPECT_LE(inked.left() - bounds.left(), 2);
    EXPECT_LE(inked.top() - bounds.top(), 2);
    EXPECT_LE(bounds.right() - inked.right(), 2);
    EXPECT_LE(bounds.bottom() - inked.bottom(), 2);
}

// The pixels a drawing inks on a 200 x 160 surface, and the bounds its
// recording writes.
std::pair<QRect, TRect> InkedAndRecordedBounds(const std::function<void(TDeviceContext&)>& draw)
{
    Surface direct(200, 160);
    draw(*direct.dc);
    TMetafileDC recorder(QSize(200, 160));
    draw(recorder);
    return {direct.Inked(), ReadEnhMetaHeader(recorder.Finish()).Bounds};
}

TEST(MetafileRecording, BoundsOfLinesShapesAndWidePensArePixelExact)
{
    // Each extreme comes from a different primitive: a cosmetic line
    // (left), a wide pen's join (top), an ellipse (right), a hatched
    // rectangle (bottom).
    auto draw = [](TDeviceContext& dc) {
        dc.MoveTo(20, 40);
        dc.LineTo(20, 100);
        dc.SelectPen(CreatePen(PS_SOLID, 5, clNavy));
        const TPoint peak[3] = {{40, 60}, {60, 15}, {80, 60}};
        dc.Polyline(peak, 3);
        dc.SelectPen(CreatePen(PS_SOLID, 1, clBlack));
        dc.SelectBrush(CreateHatchBrush(HS_CROSS, clRed));
        dc.Rectangle(30, 90, 70, 131);
        dc.SelectBrush(NullBrush());
        dc.Ellipse(90, 50, 151, 80);
    };
    const auto [inked, bounds] = InkedAndRecordedBounds(draw);
    EXPECT_EQ(inked.left(), 20);
    EXPECT_EQ(inked.bottom(), 130);
    EXPECT_EQ(bounds, (TRect{inked.left(), inked.top(), inked.right(), inked.bottom()}));
}

// Calls reaching partly beyond the bounds so far are measured only there:
// the bounds stay the pixels inked, with the extremes in those parts.
TEST(MetafileRecording, BoundsStayPixelExactWhenCallsReachPartlyBeyondThem)
{
    auto draw = [](TDeviceContext& dc) {
        dc.SelectBrush(CreateSolidBrush(clGreen));
        dc.Rectangle(60, 60, 100, 100);
        // Its box holds the rectangle's; its ink reaches out at the top,
        // the left and the right, by slanted edges.
        const TPoint triangle[3] = {{41, 97}, {83, 23}, {139, 88}};
        dc.Polygon(triangle, 3);
        // Inside both boxes but for a sliver at the bottom.
        dc.Ellipse(50, 70, 120, 113);
    };
    const auto [inked, bounds] = InkedAndRecordedBounds(draw);
    EXPECT_EQ(inked.top(), 23);
    EXPECT_EQ(bounds, (TRect{inked.left(), inked.top(), inked.right(), inked.bottom()}));
}

TEST(MetafileRecording, FrameFollowsTheBoundsAtTheReferenceResolution)
{
    const QByteArray emf = RecordChart(false);
    const TEnhMetaHeader header = ReadEnhMetaHeader(emf);
    // The frame covers the bounds' pixels, from the left edge of the first
    // to the right edge of the last, in hundredths of a millimetre.
    const TRect& b = header.Bounds;
    auto hundredths = [](int pixels) { return static_cast<int>(std::nearbyint(pixels * 2540.0 / 96.0)); };
    EXPECT_EQ(header.Frame,
              (TRect{hundredths(b.Left), hundredths(b.Top), hundredths(b.Right + 1), hundredths(b.Bottom + 1)}));
    EXPECT_EQ(header.FramePixels(), (TRect{b.Left, b.Top, b.Right + 1, b.Bottom + 1}));
}

TEST(MetafileRecording, ExplicitFrameIsKeptAndAHighResolutionScalesIt)
{
    TMetafileDC screen(QSize(320, 240), 96);
    screen.SetFramePixels({0, 0, 320, 240});
    screen.Rectangle(1, 1, 5, 5);
    const TEnhMetaHeader a = ReadEnhMetaHeader(screen.Finish());
    EXPECT_EQ(a.Frame, (TRect{0, 0, 8467, 6350}));
    TMetafileDC printer(QSize(3000, 2000), 300);
    printer.SetFramePixels({0, 0, 300, 600});
    printer.Rectangle(1, 1, 5, 5);
    const TEnhMetaHeader b = ReadEnhMetaHeader(printer.Finish());
    EXPECT_EQ(b.Frame, (TRect{0, 0, 2540, 5080}));
    EXPECT_NEAR(b.PixelsPerInchX(), 300.0, 0.01);
}

TEST(MetafileRecording, HandleTableHoldsEveryObjectInUse)
{
    const QByteArray emf = RecordChart(false);
    const uint32_t handles = U16(emf, 56);
    std::set<uint32_t> live;
    size_t most = 0;
    int created = 0;
    for (const TRecordInfo& r : EmfRecords(emf)) {
        switch (r.Type) {
        case EMR_CREATEPEN:
        case EMR_EXTCREATEPEN:
        case EMR_CREATEBRUSHINDIRECT:
        case EMR_CREATEDIBPATTERNBRUSHPT:
        case EMR_CREATEMONOBRUSH:
        case EMR_EXTCREATEFONTINDIRECTW: {
            const uint32_t index = U32(emf, r.Offset + 8);
            EXPECT_GE(index, 1u);
            EXPECT_LT(index, handles);
            EXPECT_EQ(live.count(index), 0u) << "index " << index << " created twice";
            live.insert(index);
            most = std::max(most, live.size());
            ++created;
            break;
        }
        case EMR_SELECTOBJECT: {
            const uint32_t index = U32(emf, r.Offset + 8);
            if (!(index & 0x80000000u)) {
                EXPECT_EQ(live.count(index), 1u) << "selects index " << index << " that does not exist";
            }
            break;
        }
        case EMR_DELETEOBJECT: EXPECT_EQ(live.erase(U32(emf, r.Offset + 8)), 1u); break;
        default: break;
        }
    }
    EXPECT_GT(created, 10);
    EXPECT_GE(handles, 1 + most);
}

TEST(MetafileRecording, WritesTheRecordsOfEachKindOfCall)
{
    const std::vector<TRecordInfo> records = EmfRecords(RecordChart(false));
    std::set<uint32_t> types;
    for (const TRecordInfo& r : records)
        types.insert(r.Type);
    for (uint32_t type : {EMR_MOVETOEX,
                          EMR_LINETO,
                          EMR_POLYLINE16,
                          EMR_POLYLINETO16,
                          EMR_POLYGON16,
                          EMR_POLYBEZIER16,
                          EMR_RECTANGLE,
                          EMR_ROUNDRECT,
                          EMR_ELLIPSE,
                          EMR_ARC,
                          EMR_ARCTO,
                          EMR_PIE,
                          EMR_CHORD,
                          EMR_EXTTEXTOUTW,
                          EMR_SETPIXELV,
                          EMR_STRETCHDIBITS,
                          EMR_TRANSPARENTBLT,
                          EMR_BITBLT,
                          EMR_FILLRGN,
                          EMR_BEGINPATH,
                          EMR_ENDPATH,
                          EMR_CLOSEFIGURE,
                          EMR_STROKEANDFILLPATH,
                          EMR_WIDENPATH,
                          EMR_FILLPATH,
                          EMR_INTERSECTCLIPRECT,
                          EMR_EXTSELECTCLIPRGN,
                          EMR_CREATEPEN,
                          EMR_EXTCREATEPEN,
                          EMR_CREATEBRUSHINDIRECT,
                          EMR_CREATEMONOBRUSH,
                          EMR_CREATEDIBPATTERNBRUSHPT,
                          EMR_EXTCREATEFONTINDIRECTW,
                          EMR_SELECTOBJECT,
                          EMR_DELETEOBJECT,
                          EMR_SETTEXTCOLOR,
                          EMR_SETBKCOLOR,
                          EMR_SETBKMODE,
                          EMR_SETTEXTALIGN,
                          EMR_SETARCDIRECTION,
                          EMR_SETVIEWPORTORGEX})
        EXPECT_EQ(types.count(type), 1u) << "no record of type " << type;
}

TEST(MetafileRecording, CoordinatesBeyond16BitsUseTheWideRecords)
{
    TMetafileDC recorder;
    recorder.SetFramePixels({0, 0, 100000, 1000});
    const TPoint line[2] = {{10, 10}, {40000, 20}};
    recorder.Polyline(line, 2);
    const TPoint triangle[3] = {{0, 0}, {-50000, 5}, {5, 5}};
    recorder.Polygon(triangle, 3);
    const QByteArray emf = recorder.Finish();
    const std::vector<TRecordInfo> records = EmfRecords(emf);
    EXPECT_TRUE(FirstOf(records, EMR_POLYLINE));
    EXPECT_TRUE(FirstOf(records, EMR_POLYGON));
    EXPECT_FALSE(FirstOf(records, EMR_POLYLINE16));
    TRecordingDC target(100000, 1000);
    PlayEnhMetafile(emf, target, {0, 0, 100000, 1000});
    const QStringList polylines = target.CallsStartingWith(QStringLiteral("Polyline("));
    ASSERT_EQ(polylines.size(), 1);
    EXPECT_TRUE(polylines[0].contains(QStringLiteral("40000 20"))) << polylines[0].toStdString();
}

TEST(MetafileRecording, StateRecordsComeOnlyWithChanges)
{
    TMetafileDC recorder;
    for (int i = 0; i < 5; ++i) {
        recorder.SetTextColor(clRed);
        recorder.SelectPen(CreatePen(PS_SOLID, 2, clBlue));
        recorder.LineTo(10 * i, 10);
    }
    int colours = 0, pens = 0;
    for (const TRecordInfo& r : EmfRecords(recorder.Finish())) {
        colours += r.Type == EMR_SETTEXTCOLOR;
        pens += r.Type == EMR_CREATEPEN;
    }
    EXPECT_EQ(colours, 1);
    EXPECT_EQ(pens, 1);
}

TEST(MetafileRecording, DescriptionNamesTheProgramAndTheTitle)
{
    TMetafileDC recorder;
    recorder.SetDescription(QStringLiteral("Section A"));
    recorder.LineTo(5, 5);
    const QByteArray emf = recorder.Finish();
    const uint32_t count = U32(emf, 60), at = U32(emf, 64);
    ASSERT_EQ(count, 22u); // "Lithoprism" NUL "Section A" NUL NUL
    QString raw;
    for (uint32_t i = 0; i < count; ++i)
        raw.append(QChar(U16(emf, at + i * 2)));
    EXPECT_EQ(raw, QStringLiteral("Lithoprism") + QChar(0) + QStringLiteral("Section A") + QChar(0) + QChar(0));
    EXPECT_EQ(ReadEnhMetaHeader(emf).Description, QStringLiteral("Lithoprism\nSection A"));
    TMetafileDC untitled;
    EXPECT_EQ(U32(untitled.Finish(), 60), 0u);
}

TEST(MetafileRecording, DeviceCapsDescribeTheReferenceDevice)
{
    TMetafileDC recorder(QSize(800, 600), 120);
    EXPECT_EQ(recorder.GetDeviceCaps(TECHNOLOGY), DT_METAFILE);
    EXPECT_EQ(recorder.GetDeviceCaps(LOGPIXELSX), 120);
    EXPECT_EQ(recorder.GetDeviceCaps(LOGPIXELSY), 120);
    EXPECT_EQ(recorder.GetDeviceCaps(HORZRES), 800);
    EXPECT_EQ(recorder.GetDeviceCaps(VERTSIZE), 127);
    EXPECT_EQ(recorder.GetPixel(1, 1), clNone);
    recorder.SelectFont(Arial(-12));
    Surface measure(10, 10);
    measure.dc->SelectFont(Arial(-12));
    EXPECT_EQ(recorder.GetTextExtent(QStringLiteral("Text")), measure.dc->GetTextExtent(QStringLiteral("Text")));
}

TEST(MetafileRecording, DrawingAfterFinishRaises)
{
    TMetafileDC recorder;
    recorder.LineTo(1, 1);
    const QByteArray emf = recorder.Finish();
    EXPECT_EQ(recorder.Finish(), emf);
    EXPECT_THROW(recorder.LineTo(2, 2), EInvalidOperation);
}

TEST(MetafileRecording, NothingDrawnGivesEmptyBounds)
{
    TMetafileDC recorder;
    const TEnhMetaHeader header = ReadEnhMetaHeader(recorder.Finish());
    EXPECT_EQ(header.Bounds, (TRect{0, 0, -1, -1}));
    EXPECT_EQ(header.Records, 2u);
}

TEST(MetafileRecording, ManyLargeCallsStopMeasuringAndCountTheirBoxes)
{
    // Converting a small placeable file of large ellipses measured each one
    // pixel by pixel: seconds per file. Past a budget of measured pixels
    // the call's box counts as inked, which still holds all the ink.
    TMetafileDC recorder(QSize(20000, 20000), 96);
    recorder.SelectPen(CreatePen(PS_NULL, 0, clBlack));
    recorder.SelectBrush(CreateSolidBrush(clBlack));
    recorder.Ellipse(0, 0, 7000, 7000); // measured: the ellipse's own pixels
    for (int i = 1; i <= 4; ++i)
        recorder.Ellipse(1000 * i, 1000 * i, 1000 * i + 7000, 1000 * i + 7000);
    const TEnhMetaHeader header = ReadEnhMetaHeader(recorder.Finish());
    // Measured, the last ellipse ends at pixel 10998; its box, which the
    // bounds now hold, reaches a little further.
    EXPECT_EQ(header.Bounds.Left, 0);
    EXPECT_GT(header.Bounds.Right, 10999);
    EXPECT_GT(header.Bounds.Bottom, 10999);
    EXPECT_LT(header.Bounds.Right, 11010);
}

TEST(MetafileRecording, ClippedDrawingCountsOnlyInsideTheClip)
{
    TMetafileDC recorder;
    recorder.IntersectClipRect(10, 10, 20, 20);
    recorder.FillRect({0, 0, 100, 100}, CreateSolidBrush(clRed));
    EXPECT_EQ(recorder.Bounds(), (TRect{10, 10, 19, 19}));
}

// Guards: an image too large for a metafile raised after its record's bounds
// were promised, and the bounds were then written past the recorded bytes.
TEST(MetafileRecording, ImageTooLargeRaisesAndLeavesTheRecordingUsable)
{
    TMetafileDC recorder(QSize(100, 80));
    recorder.Rectangle(1, 1, 20, 20);
    QImage huge(20000, 20000, QImage::Format_Mono);
    huge.fill(0);
    EXPECT_THROW(recorder.DrawImage({0, 0, 10, 10}, huge), EInvalidGraphic);
    recorder.MoveTo(30, 30);
    recorder.LineTo(40, 40);
    const QByteArray emf = recorder.Finish();
    EXPECT_NO_THROW(CheckEnhMetafile(emf));
    const std::vector<TRecordInfo> records = EmfRecords(emf);
    EXPECT_TRUE(FirstOf(records, EMR_RECTANGLE));
    EXPECT_TRUE(FirstOf(records, EMR_LINETO));
    EXPECT_FALSE(FirstOf(records, EMR_STRETCHDIBITS));
    EXPECT_EQ(records.back().Type, static_cast<uint32_t>(EMR_EOF));
    EXPECT_EQ(recorder.Bounds(), (TRect{1, 1, 39, 39}));
}

// --- TMetafile ----------------------------------------------------------------------------------

TEST(MetafilePicture, SaveAndLoadKeepTheBytes)
{
    TMetafile metafile;
    {
        TMetafileCanvas canvas(metafile);
        canvas.Brush().SetColor(clRed);
        canvas.FillRect({10, 20, 50, 60});
        canvas.Ellipse(60, 20, 90, 70);
    }
    Surface direct(100, 100);
    {
        TCanvas canvas(direct.dc.get());
        canvas.Brush().SetColor(clRed);
        canvas.FillRect({10, 20, 50, 60});
        canvas.Ellipse(60, 20, 90, 70);
    }
    const QRect inked = direct.Inked();
    EXPECT_EQ(metafile.Width(), inked.width());
    EXPECT_EQ(metafile.Height(), inked.height());
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    metafile.SaveToStream(buffer);
    buffer.close();
    EXPECT_EQ(buffer.data(), metafile.Data());
    TMetafile loaded;
    buffer.open(QIODevice::ReadOnly);
    loaded.LoadFromStream(buffer);
    EXPECT_EQ(loaded.Data(), metafile.Data());
    EXPECT_EQ(loaded.Width(), inked.width());
    EXPECT_EQ(loaded.Height(), inked.height());
    EXPECT_TRUE(loaded.Enhanced());
}

TEST(MetafilePicture, PresetSizeBecomesTheFrame)
{
    TMetafile metafile;
    metafile.SetWidth(320);
    metafile.SetHeight(240);
    {
        TMetafileCanvas canvas(metafile, nullptr, QStringLiteral("Chart"));
        DrawChart(canvas.Handle());
    }
    EXPECT_EQ(metafile.Width(), 320);
    EXPECT_EQ(metafile.Height(), 240);
    EXPECT_EQ(metafile.MMWidth(), 8467);
    EXPECT_EQ(metafile.Description(), QStringLiteral("Lithoprism\nChart"));
    ExpectSimilar(DirectChart(), metafile.ToImage(), 0.015, QStringLiteral("metafile_picture"));
}

TEST(MetafilePicture, CanvasDrawsNothingOnceFinished)
{
    TMetafile metafile;
    TMetafileCanvas canvas(metafile);
    canvas.Rectangle(0, 0, 10, 10);
    canvas.Finish();
    EXPECT_FALSE(metafile.Empty());
    EXPECT_THROW(canvas.Rectangle(0, 0, 5, 5), EInvalidOperation);
}

TEST(MetafilePicture, ReferenceDeviceGivesTheResolution)
{
    QImage page(600, 400, QImage::Format_RGB32);
    page.setDotsPerMeterX(11811); // 300 pixels per inch
    page.setDotsPerMeterY(11811);
    TPainterDC reference(page);
    TMetafile metafile;
    {
        TMetafileCanvas canvas(metafile, &reference);
        EXPECT_EQ(canvas.Font().PixelsPerInch(), 300);
        canvas.FillRect({0, 0, 300, 150});
    }
    EXPECT_NEAR(metafile.PixelsPerInch(), 300.0, 0.01);
    EXPECT_EQ(metafile.Width(), 300);
    EXPECT_EQ(metafile.MMWidth(), 2540);
    EXPECT_EQ(metafile.MMHeight(), 1270);
}

TEST(MetafilePicture, DrawStretchesIntoTheRectangle)
{
    TMetafile metafile;
    metafile.SetWidth(100);
    metafile.SetHeight(80);
    {
        TMetafileCanvas canvas(metafile);
        canvas.Brush().SetColor(clBlack);
        canvas.FillRect({10, 20, 50, 60});
    }
    TBitmap bitmap(300, 200);
    bitmap.Canvas().StretchDraw({0, 0, 200, 160}, &metafile);
    QRect inked;
    const QImage& pixels = bitmap.Image();
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            if ((pixels.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                inked |= QRect(x, y, 1, 1);
    EXPECT_EQ(inked, QRect(QPoint(20, 40), QPoint(99, 119)));
}

TEST(MetafilePicture, AssignCopiesTheBytes)
{
    TMetafile a;
    a.SetData(SmallEmf());
    a.SetEnhanced(false);
    TMetafile b;
    b.Assign(&a);
    EXPECT_EQ(b.Data(), a.Data());
    EXPECT_EQ(b.Width(), a.Width());
    EXPECT_FALSE(b.Enhanced());
    TBitmap bitmap;
    bitmap.Assign(&a);
    EXPECT_EQ(bitmap.Width(), a.Width());
}

TEST(MetafilePicture, ClearEmptiesIt)
{
    TMetafile metafile;
    metafile.SetData(SmallEmf());
    EXPECT_FALSE(metafile.Empty());
    metafile.Clear();
    EXPECT_TRUE(metafile.Empty());
    EXPECT_EQ(metafile.Width(), 0);
    EXPECT_TRUE(metafile.ToImage().isNull());
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_THROW(metafile.SaveToStream(buffer), EInvalidGraphic);
}

TEST(MetafilePicture, ChangingTheSizeRewritesTheFrame)
{
    TMetafile metafile;
    metafile.SetData(SmallEmf());
    metafile.SetWidth(200);
    EXPECT_EQ(ReadEnhMetaHeader(metafile.Data()).FramePixels().Width(), 200);
    EXPECT_EQ(metafile.ToImage().width(), 200);
}

TEST(MetafilePicture, LoadingSomethingElseRaisesAndKeepsTheMetafile)
{
    TMetafile metafile;
    metafile.SetData(SmallEmf());
    const QByteArray before = metafile.Data();
    for (const QByteArray& junk : {QByteArray(), QByteArray("GIF89a........"), QByteArray(200, 'x')}) {
        QBuffer buffer;
        buffer.setData(junk);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_THROW(metafile.LoadFromStream(buffer), EInvalidGraphic);
        EXPECT_EQ(metafile.Data(), before);
    }
}

// --- Damaged files ----------------------------------------------------------------------------------

TEST(MetafileDamage, EveryTruncationRaises)
{
    const QByteArray emf = SmallEmf();
    TRecordingDC target;
    for (qsizetype length = 0; length < emf.size(); ++length) {
        const QByteArray prefix = emf.left(length);
        EXPECT_THROW(PlayEnhMetafile(prefix, target, {0, 0, 100, 80}), EInvalidGraphic) << "length " << length;
        QBuffer buffer;
        buffer.setData(prefix);
        buffer.open(QIODevice::ReadOnly);
        TMetafile metafile;
        EXPECT_THROW(metafile.LoadFromStream(buffer), EInvalidGraphic) << "length " << length;
    }
    EXPECT_TRUE(target.Calls().isEmpty());
}

TEST(MetafileDamage, RecordOfSizeZeroRaises)
{
    QByteArray emf = SmallEmf();
    const std::vector<TRecordInfo> records = EmfRecords(emf);
    Set32(emf, records[1].Offset + 4, 0);
    EXPECT_NE(ErrorOf([&] { CheckEnhMetafile(emf); }).find("invalid size 0"), std::string::npos);
}

TEST(MetafileDamage, RecordOfUnevenSizeRaises)
{
    QByteArray emf = SmallEmf();
    const std::vector<TRecordInfo> records = EmfRecords(emf);
    Set32(emf, records[1].Offset + 4, records[1].Size + 2);
    EXPECT_NE(ErrorOf([&] { CheckEnhMetafile(emf); }).find("invalid size"), std::string::npos);
}

TEST(MetafileDamage, RecordLargerThanTheRestRaises)
{
    QByteArray emf = SmallEmf();
    const std::vector<TRecordInfo> records = EmfRecords(emf);
    Set32(emf, records[2].Offset + 4, static_cast<uint32_t>(emf.size() - records[2].Offset + 4));
    EXPECT_NE(ErrorOf([&] { CheckEnhMetafile(emf); }).find("runs past the end of the file"), std::string::npos);
}

TEST(MetafileDamage, HandleIndexOutsideTheTableRaisesAndDrawsNothing)
{
    QByteArray emf = SmallEmf();
    const std::vector<TRecordInfo> records = EmfRecords(emf);
    std::optional<TRecordInfo> select;
    for (const TRecordInfo& r : records)
        if (r.Type == EMR_SELECTOBJECT && !(U32(emf, r.Offset + 8) & 0x80000000u))
            select = r;
    ASSERT_TRUE(select);
    Set32(emf, select->Offset + 8, U16(emf, 56) + 5u);
    TRecordingDC target;
    EXPECT_NE(ErrorOf([&] {
                  PlayEnhMetafile(emf, target, {0, 0, 100, 80});
              }).find("outside the object table"),
              std::string::npos);
    EXPECT_TRUE(target.Calls().isEmpty());
}

TEST(MetafileDamage, ObjectCreatedAtIndexZeroRaises)
{
    QByteArray emf = SmallEmf();
    const std::optional<TRecordInfo> pen = FirstOf(EmfRecords(emf), EMR_CREATEPEN);
    ASSERT_TRUE(pen);
    Set32(emf, pen->Offset + 8, 0);
    EXPECT_THROW(CheckEnhMetafile(emf), EInvalidGraphic);
}

TEST(MetafileDamage, PointCountLargerThanTheRecordRaises)
{
    QByteArray emf = SmallEmf();
    const std::optional<TRecordInfo> line = FirstOf(EmfRecords(emf), EMR_POLYLINE16);
    ASSERT_TRUE(line);
    Set32(emf, line->Offset + 24, 1000);
    EXPECT_NE(ErrorOf([&] { CheckEnhMetafile(emf); }).find("points do not fit"), std::string::npos);
    Set32(emf, line->Offset + 24, 0xFFFFFFFFu);
    EXPECT_THROW(CheckEnhMetafile(emf), EInvalidGraphic);
}

TEST(MetafileDamage, TextLongerThanTheRecordRaises)
{
    QByteArray emf = SmallEmf();
    const std::optional<TRecordInfo> text = FirstOf(EmfRecords(emf), EMR_EXTTEXTOUTW);
    ASSERT_TRUE(text);
    Set32(emf, text->Offset + 44, 0x40000000u);
    EXPECT_THROW(CheckEnhMetafile(emf), EInvalidGraphic);
}

TEST(MetafileDamage, BitmapLargerThanItsBitsRaises)
{
    TMetafileDC recorder;
    recorder.DrawImage({0, 0, 8, 8}, Gradient(8, 8));
    QByteArray emf = recorder.Finish();
    const std::optional<TRecordInfo> image = FirstOf(EmfRecords(emf), EMR_STRETCHDIBITS);
    ASSERT_TRUE(image);
    const uint32_t infoAt = U32(emf, image->Offset + 48);
    Set32(emf, image->Offset + infoAt + 8, 800); // rows
    EXPECT_NE(ErrorOf([&] { CheckEnhMetafile(emf); }).find("shorter than a bitmap"), std::string::npos);
}

TEST(MetafileDamage, BadSignatureRaises)
{
    QByteArray emf = SmallEmf();
    emf[41] = 'X';
    EXPECT_NE(ErrorOf([&] { CheckEnhMetafile(emf); }).find("signature"), std::string::npos);
}

TEST(MetafileDamage, MissingEndRecordRaises)
{
    QByteArray emf = SmallEmf();
    emf.chop(20);
    Set32(emf, 48, static_cast<uint32_t>(emf.size()));
    EXPECT_NE(ErrorOf([&] { CheckEnhMetafile(emf); }).find("end-of-file record is missing"), std::string::npos);
}

TEST(MetafileDamage, MessagesNameTheFormat)
{
    EXPECT_EQ(ErrorOf([] { CheckEnhMetafile(QByteArray(10, '\0')); }).rfind("Invalid enhanced metafile: ", 0), 0u);
}

// --- Values whose arithmetic leaves 32 bits ------------------------------------------------------

// A recording with a filled region and a clip region.
QByteArray RegionEmf()
{
    TMetafileDC recorder(QSize(100, 80), 96);
    recorder.FillRgn(CreateRectRgn(10, 10, 40, 30), CreateSolidBrush(clRed));
    const TRegion clip = CreateRectRgn(5, 5, 60, 60);
    recorder.SelectClipRgn(&clip);
    recorder.Rectangle(0, 0, 90, 70);
    return recorder.Finish();
}

// Offsets of the first rectangle of the region data of the fill and the
// clip record.
std::vector<qsizetype> RegionRectangles(const QByteArray& emf)
{
    const auto records = EmfRecords(emf);
    const auto fill = FirstOf(records, EMR_FILLRGN);
    const auto clip = FirstOf(records, EMR_EXTSELECTCLIPRGN);
    if (!fill || !clip)
        return {};
    return {fill->Offset + 32 + 32, clip->Offset + 16 + 32};
}

// The metafile refuses the bytes, from a file and as data, and keeps what
// it held; the players refuse them too.
void ExpectRefusedEverywhere(const QByteArray& emf, const char* what)
{
    SCOPED_TRACE(what);
    TMetafile metafile;
    metafile.SetData(SmallEmf());
    const QByteArray before = metafile.Data();
    const int width = metafile.MMWidth();
    QBuffer buffer;
    buffer.setData(emf);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_EQ(ErrorOf([&] { metafile.LoadFromStream(buffer); }).rfind("Invalid enhanced metafile: ", 0), 0u);
    EXPECT_THROW(metafile.SetData(emf), EInvalidGraphic);
    EXPECT_EQ(metafile.Data(), before);
    EXPECT_EQ(metafile.MMWidth(), width);
    EXPECT_THROW(CheckEnhMetafile(emf), EInvalidGraphic);
    EXPECT_THROW(Played(emf, 40, 30, {0, 0, 40, 30}), EInvalidGraphic);
}

TEST(MetafileOverflow, RegionRectangleWiderThan32BitsIsRefused)
{
    // Widths of such rectangles overflowed in the player.
    const QByteArray good = RegionEmf();
    const std::vector<qsizetype> rects = RegionRectangles(good);
    ASSERT_EQ(rects.size(), 2u);
    for (const qsizetype at : rects) {
        for (const int edge : {0, 4}) {
            QByteArray damaged = good;
            Set32(damaged, at + edge, uint32_t(INT32_MIN));
            Set32(damaged, at + edge + 8, uint32_t(INT32_MAX));
            ExpectRefusedEverywhere(damaged, edge == 0 ? "horizontal" : "vertical");
        }
    }
}

TEST(MetafileOverflow, RegionFarOutsideThePictureStillPlays)
{
    // Within 32 bits but beyond any device: played (clamped), no overflow
    // when the player moves it onto the target.
    QByteArray far = RegionEmf();
    for (const qsizetype at : RegionRectangles(far)) {
        Set32(far, at, uint32_t(INT32_MAX - 10));
        Set32(far, at + 8, uint32_t(INT32_MAX));
        Set32(far, at + 4, uint32_t(INT32_MIN));
        Set32(far, at + 12, uint32_t(INT32_MIN + 5));
    }
    EXPECT_NO_THROW(CheckEnhMetafile(far));
    EXPECT_NO_THROW(Played(far, 40, 30, {7, 5, 40, 30}));
}

TEST(MetafileOverflow, BitmapSourceRectangleAtThe32BitEdgesPlaysWithoutOverflow)
{
    // The source rectangle of a bitmap record counts from the bottom row:
    // height - y - h and its right and bottom edges left 32 bits.
    TMetafileDC recorder(QSize(40, 30), 96);
    recorder.DrawImage({0, 0, 8, 8}, Gradient(8, 8));
    const QByteArray good = recorder.Finish();
    const std::optional<TRecordInfo> image = FirstOf(EmfRecords(good), EMR_STRETCHDIBITS);
    ASSERT_TRUE(image);
    const int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -1, INT32_MAX - 1, INT32_MAX};
    for (const int32_t y : extremes)
        for (const int32_t h : extremes) {
            QByteArray emf = good;
            Set32(emf, image->Offset + 32, uint32_t(h)); // xSrc
            Set32(emf, image->Offset + 36, uint32_t(y)); // ySrc
            Set32(emf, image->Offset + 40, uint32_t(y)); // cxSrc
            Set32(emf, image->Offset + 44, uint32_t(h)); // cySrc
            EXPECT_NO_THROW(Played(emf, 40, 30, {0, 0, 40, 30}));
        }
}

TEST(MetafileOverflow, HeaderFrameOrBoundsBeyond32BitsAreRefused)
{
    // Frame extents and Right + 1 of the bounds overflowed in the player
    // and in the picture's header intake.
    struct TCase {
        const char* What;
        qsizetype At;
        int32_t Value;
        qsizetype OtherAt;
        int32_t Other;
    };
    const TCase cases[] = {
        {"frame INT_MIN .. INT_MAX across", 24, INT32_MIN, 32, INT32_MAX},
        {"frame INT_MIN .. INT_MAX down", 28, INT32_MIN, 36, INT32_MAX},
        {"bounds right INT_MAX", 16, INT32_MAX, 16, INT32_MAX},
        {"bounds bottom INT_MAX", 20, INT32_MAX, 20, INT32_MAX},
        {"bounds INT_MIN .. 0", 8, INT32_MIN, 16, 0},
    };
    for (const TCase& c : cases) {
        QByteArray emf = SmallEmf();
        Set32(emf, c.At, uint32_t(c.Value));
        Set32(emf, c.OtherAt, uint32_t(c.Other));
        ExpectRefusedEverywhere(emf, c.What);
        // With no frame the player falls back to the bounds.
        for (const qsizetype frame : {24, 28, 32, 36})
            Set32(emf, frame, 0);
        if (c.At < 24)
            ExpectRefusedEverywhere(emf, c.What);
    }
}

TEST(MetafileOverflow, FrameMovedBeyond32BitsBySizingRaisesAndKeepsTheFrame)
{
    // The frame's right edge is its left edge plus the new width.
    TMetafile metafile;
    QByteArray emf = SmallEmf();
    Set32(emf, 24, uint32_t(INT32_MAX - 5000));
    Set32(emf, 32, uint32_t(INT32_MAX - 1000));
    metafile.SetData(emf);
    ASSERT_EQ(metafile.MMWidth(), 4000);
    const QByteArray before = metafile.Data();
    EXPECT_THROW(metafile.SetMMWidth(INT32_MAX), ERangeError);
    EXPECT_EQ(metafile.MMWidth(), 4000);
    EXPECT_EQ(metafile.Data(), before);
    metafile.SetMMWidth(3000);
    EXPECT_EQ(ReadEnhMetaHeader(metafile.Data()).Frame.Right, INT32_MAX - 2000);
}

// Plays damaged bytes; true when they were rejected with EInvalidGraphic.
// Any other failure (or a crash under the sanitizers) fails the test.
bool Rejected(const std::function<void(TDeviceContext&)>& play)
{
    Surface surface(60, 50);
    try {
        play(*surface.dc);
    } catch (const EInvalidGraphic&) {
        return true;
    }
    return false;
}

TEST(MetafileDamage, EveryByteFlipIsReadSafely)
{
    TMetafileDC recorder(QSize(60, 50));
    recorder.SelectBrush(CreatePatternBrush(Checker(false)));
    recorder.Rectangle(2, 2, 30, 20);
    recorder.IntersectClipRect(0, 0, 50, 40);
    recorder.DrawImage({30, 20, 40, 30}, Gradient(4, 4));
    recorder.SelectFont(Arial(-9));
    recorder.TextOut(3, 30, QStringLiteral("ok"));
    const TPoint shape[4] = {{40, 2}, {55, 10}, {45, 18}, {40, 2}};
    recorder.PolyBezier(shape, 4);
    const QByteArray emf = recorder.Finish();
    int rejected = 0;
    for (qsizetype i = 0; i < emf.size(); ++i) {
        QByteArray damaged = emf;
        damaged[i] = static_cast<char>(damaged[i] ^ 0xA5);
        rejected += Rejected([&](TDeviceContext& dc) { PlayEnhMetafile(damaged, dc, {0, 0, 60, 50}); });
    }
    EXPECT_GT(rejected, 0);
}

TEST(MetafileDamage, UnknownRecordsAreSkipped)
{
    QByteArray emf = SmallEmf();
    const std::vector<TRecordInfo> records = EmfRecords(emf);
    QByteArray unknown;
    for (uint32_t v : {0x7777u, 16u, 1u, 2u})
        for (int i = 0; i < 4; ++i)
            unknown.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    emf.insert(records[1].Offset, unknown);
    Set32(emf, 48, static_cast<uint32_t>(emf.size()));
    Set32(emf, 52, U32(emf, 52) + 1);
    EXPECT_EQ(DifferingPixels(Played(emf, 100, 80, {0, 0, 100, 80}), Played(SmallEmf(), 100, 80, {0, 0, 100, 80}), 0),
              0);
}

// Guards: the records that set one value of the state were read only while
// drawing, so a short one passed the check and raised halfway through.
TEST(MetafileDamage, ShortStateRecordRaisesBeforeAnythingIsDrawn)
{
    for (uint32_t type : {EMR_SETTEXTCOLOR, EMR_SETBKCOLOR, EMR_SETBKMODE, EMR_SETTEXTALIGN, EMR_SETROP2,
                          EMR_SETPOLYFILLMODE, EMR_SETARCDIRECTION}) {
        QByteArray emf = SmallEmf();
        const std::vector<TRecordInfo> records = EmfRecords(emf);
        QByteArray valueless; // the type and a size of 8: no value follows
        for (uint32_t v : {type, 8u})
            for (int i = 0; i < 4; ++i)
                valueless.append(static_cast<char>((v >> (8 * i)) & 0xFF));
        emf.insert(records.back().Offset, valueless); // after the drawing, before the end
        Set32(emf, 48, static_cast<uint32_t>(emf.size()));
        Set32(emf, 52, U32(emf, 52) + 1);
        EXPECT_THROW(CheckEnhMetafile(emf), EInvalidGraphic) << "type " << type;
        TRecordingDC target;
        EXPECT_THROW(PlayEnhMetafile(emf, target, {0, 0, 100, 80}), EInvalidGraphic) << "type " << type;
        EXPECT_TRUE(target.Calls().isEmpty()) << "type " << type;
    }
}

// --- Placeable metafiles ------------------------------------------------------------------------------

struct TWmfRecord {
    uint16_t Function;
    uint32_t Words;
    qsizetype Offset;
};

std::vector<TWmfRecord> WmfRecords(const QByteArray& wmf)
{
    std::vector<TWmfRecord> records;
    qsizetype at = 22 + 18;
    while (at + 6 <= wmf.size()) {
        const uint32_t words = U32(wmf, at);
        records.push_back({U16(wmf, at + 4), words, at});
        if (words < 3)
            break;
        at += qsizetype(words) * 2;
    }
    return records;
}

TEST(PlaceableMetafile, PlaceableHeaderDescribesTheFrame)
{
    const QByteArray wmf = PlaceableFromEnhanced(RecordChart(true));
    ASSERT_GE(wmf.size(), 40);
    EXPECT_EQ(U32(wmf, 0), 0x9AC6CDD7u);
    EXPECT_EQ(U16(wmf, 6), 0);    // left
    EXPECT_EQ(U16(wmf, 8), 0);    // top
    EXPECT_EQ(U16(wmf, 10), 320); // right
    EXPECT_EQ(U16(wmf, 12), 240); // bottom
    EXPECT_EQ(U16(wmf, 14), 96);  // units per inch
    uint16_t checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= U16(wmf, i * 2);
    EXPECT_EQ(U16(wmf, 20), checksum);
}

TEST(PlaceableMetafile, RecordsAreConsistentAndEndWithEof)
{
    const QByteArray wmf = PlaceableFromEnhanced(RecordChart(true));
    EXPECT_EQ(U16(wmf, 22), 1);      // in memory
    EXPECT_EQ(U16(wmf, 24), 9);      // header words
    EXPECT_EQ(U16(wmf, 26), 0x0300); // version
    EXPECT_EQ(22 + qsizetype(U32(wmf, 28)) * 2, wmf.size());
    const std::vector<TWmfRecord> records = WmfRecords(wmf);
    ASSERT_FALSE(records.empty());
    uint32_t largest = 0;
    int selects = 0;
    for (const TWmfRecord& r : records) {
        EXPECT_GE(r.Words, 3u);
        largest = std::max(largest, r.Words);
        if (r.Function == 0x012D) { // META_SELECTOBJECT
            EXPECT_LT(U16(wmf, r.Offset + 6), U16(wmf, 32));
            ++selects;
        }
    }
    EXPECT_GT(selects, 5);
    EXPECT_EQ(records.back().Function, 0);
    EXPECT_EQ(records.back().Words, 3u);
    EXPECT_EQ(records.back().Offset + 6, wmf.size());
    EXPECT_EQ(U32(wmf, 34), largest);
    EXPECT_EQ(records[0].Function, 0x020B); // META_SETWINDOWORG
    EXPECT_EQ(records[1].Function, 0x020C); // META_SETWINDOWEXT
}

TEST(PlaceableMetafile, ReadBackDrawsLikeTheEnhancedForm)
{
    TMetafile metafile;
    metafile.SetData(RecordChart(true));
    metafile.SetEnhanced(false);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    metafile.SaveToStream(buffer);
    buffer.close();
    EXPECT_EQ(U32(buffer.data(), 0), 0x9AC6CDD7u);
    TMetafile loaded;
    buffer.open(QIODevice::ReadOnly);
    loaded.LoadFromStream(buffer);
    EXPECT_FALSE(loaded.Enhanced());
    EXPECT_EQ(loaded.Width(), 320);
    EXPECT_EQ(loaded.Height(), 240);
    ExpectSimilar(DirectChart(), loaded.ToImage(), 0.03, QStringLiteral("metafile_wmf"));
}

TEST(PlaceableMetafile, StretchedPlaybackDoublesTheInkedBox)
{
    TMetafileDC recorder(QSize(100, 80));
    recorder.SetFramePixels({0, 0, 100, 80});
    recorder.FillRect({10, 20, 50, 60}, CreateSolidBrush(clBlue));
    const QByteArray wmf = PlaceableFromEnhanced(recorder.Finish());
    Surface twice(200, 160);
    PlayPlaceableMetafile(wmf, *twice.dc, {0, 0, 200, 160});
    EXPECT_EQ(twice.Inked(), QRect(QPoint(20, 40), QPoint(99, 119)));
}

TEST(PlaceableMetafile, EveryTruncationRaises)
{
    const QByteArray wmf = PlaceableFromEnhanced(SmallEmf());
    TRecordingDC target;
    for (qsizetype length = 0; length < wmf.size(); ++length)
        EXPECT_THROW(PlayPlaceableMetafile(wmf.left(length), target, {0, 0, 100, 80}), EInvalidGraphic)
            << "length " << length;
    EXPECT_TRUE(target.Calls().isEmpty());
}

TEST(PlaceableMetafile, BadChecksumRaises)
{
    QByteArray wmf = PlaceableFromEnhanced(SmallEmf());
    wmf[20] = static_cast<char>(wmf[20] ^ 1);
    EXPECT_NE(ErrorOf([&] { EnhancedFromPlaceable(wmf); }).find("checksum"), std::string::npos);
}

TEST(PlaceableMetafile, SelectingBeyondTheObjectTableRaises)
{
    QByteArray wmf = PlaceableFromEnhanced(SmallEmf());
    for (const TWmfRecord& r : WmfRecords(wmf))
        if (r.Function == 0x012D) {
            wmf[r.Offset + 6] = static_cast<char>(U16(wmf, 32) + 3);
            wmf[r.Offset + 7] = 0;
            break;
        }
    EXPECT_NE(ErrorOf([&] { EnhancedFromPlaceable(wmf); }).find("outside the object table"), std::string::npos);
}

TEST(PlaceableMetafile, MessagesNameTheFormat)
{
    EXPECT_EQ(ErrorOf([] { EnhancedFromPlaceable(QByteArray(8, '\0')); }).rfind("Invalid placeable metafile: ", 0),
              0u);
}

TEST(PlaceableMetafile, EveryByteFlipIsReadSafely)
{
    const QByteArray wmf = PlaceableFromEnhanced(SmallEmf());
    int rejected = 0;
    for (qsizetype i = 0; i < wmf.size(); ++i) {
        QByteArray damaged = wmf;
        damaged[i] = static_cast<char>(damaged[i] ^ 0xA5);
        rejected += Rejected([&](TDeviceContext& dc) { PlayPlaceableMetafile(damaged, dc, {0, 0, 60, 50}); });
    }
    EXPECT_GT(rejected, 0);
}

} // namespace
} // namespace lp
