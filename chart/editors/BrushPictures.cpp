#include "chart/editors/BrushPictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace lp {

namespace {

// A repeatable value in [0, 1) for a cell and a seed (integer hashing, so
// every platform draws the same picture).
double Hash(int X, int Y, uint32_t Seed)
{
    uint32_t h = static_cast<uint32_t>(X) * 0x8DA6B343u ^ static_cast<uint32_t>(Y) * 0xD8163841u ^ Seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return (h & 0xFFFFFFu) / 16777216.0;
}

// Value noise that tiles with period Size: the hashes of a coarse grid of
// Cells x Cells, smoothly blended.
double TiledNoise(double X, double Y, int Size, int Cells, uint32_t Seed)
{
    const double scale = static_cast<double>(Cells) / Size;
    const double gx = X * scale, gy = Y * scale;
    const int x0 = static_cast<int>(std::floor(gx)), y0 = static_cast<int>(std::floor(gy));
    const double fx = gx - x0, fy = gy - y0;
    const auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    const auto at = [&](int x, int y) { return Hash(((x % Cells) + Cells) % Cells, ((y % Cells) + Cells) % Cells, Seed); };
    const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * smooth(fx);
    const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * smooth(fx);
    return top + (bottom - top) * smooth(fy);
}

QRgb Mix(QRgb A, QRgb B, double T)
{
    T = std::clamp(T, 0.0, 1.0);
    const auto channel = [&](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * T)); };
    return qRgb(channel(qRed(A), qRed(B)), channel(qGreen(A), qGreen(B)), channel(qBlue(A), qBlue(B)));
}

// Brushed metal: grey, streaked along the rows.
QRgb Metal(int X, int Y, int Size)
{
    const double streak = TiledNoise(X * 0.25, Y, Size, 8, 11) * 0.7 + Hash(X, Y, 12) * 0.3;
    return Mix(qRgb(120, 124, 130), qRgb(215, 218, 224), streak);
}

// Wood: brown year rings around a centre off the picture, with a grain.
QRgb Wood(int X, int Y, int Size)
{
    const double ring = std::hypot(X - Size * 0.3, (Y + Size * 1.5) * 0.35) * 0.9 + TiledNoise(X, Y, Size, 4, 21) * 1.5;
    const double band = 0.5 + 0.5 * std::sin(ring * 2.2);
    return Mix(qRgb(160, 108, 56), qRgb(104, 62, 28), band * 0.8 + Hash(X, Y, 22) * 0.2);
}

// Stone: grey blotches with fine grit.
QRgb Stone(int X, int Y, int Size)
{
    const double blotch = TiledNoise(X, Y, Size, 4, 31) * 0.65 + TiledNoise(X, Y, Size, 8, 32) * 0.35;
    return Mix(qRgb(88, 86, 82), qRgb(178, 174, 166), blotch * 0.85 + Hash(X, Y, 33) * 0.15);
}

// Clouds: white puffs on a blue sky.
QRgb Clouds(int X, int Y, int Size)
{
    const double cover = TiledNoise(X, Y, Size, 4, 41) * 0.6 + TiledNoise(X, Y, Size, 8, 42) * 0.4;
    return Mix(qRgb(86, 140, 220), qRgb(250, 250, 252), (cover - 0.35) * 2.2);
}

// Grass: green blades of random height and shade over darker ground.
QRgb Grass(int X, int Y, int Size)
{
    const double blade = Hash(X, 0, 51);
    const double height = 0.35 + 0.65 * Hash(X, 1, 52);
    const bool onBlade = Y >= Size * (1.0 - height);
    const QRgb ground = Mix(qRgb(34, 82, 22), qRgb(52, 104, 30), Hash(X, Y, 53));
    return onBlade ? Mix(qRgb(58, 140, 36), qRgb(132, 200, 70), blade * (1.0 - 0.5 * Y / Size)) : ground;
}

// Fire: yellow at the bottom to dark red at the top, with flickering tongues.
QRgb Fire(int X, int Y, int Size)
{
    const double heat = static_cast<double>(Y) / (Size - 1) * 0.75 + TiledNoise(X, Y * 0.5, Size, 8, 61) * 0.45;
    return heat < 0.5 ? Mix(qRgb(110, 10, 0), qRgb(230, 60, 0), heat * 2) : Mix(qRgb(230, 60, 0), qRgb(255, 230, 90), heat * 2 - 1);
}

// Snow: pale blue-white with scattered white flakes.
QRgb Snow(int X, int Y, int Size)
{
    const QRgb ground = Mix(qRgb(206, 218, 236), qRgb(236, 242, 250), TiledNoise(X, Y, Size, 4, 71));
    return Hash(X, Y, 72) > 0.9 ? qRgb(255, 255, 255) : ground;
}

} // namespace

QString BrushPictureName(TBrushPicture Picture)
{
    switch (Picture) {
    case TBrushPicture::Metal: return QStringLiteral("ImageMetal");
    case TBrushPicture::Wood: return QStringLiteral("ImageWood");
    case TBrushPicture::Stone: return QStringLiteral("ImageStone");
    case TBrushPicture::Clouds: return QStringLiteral("ImageClouds");
    case TBrushPicture::Grass: return QStringLiteral("ImageGrass");
    case TBrushPicture::Fire: return QStringLiteral("ImageFire");
    case TBrushPicture::Snow: return QStringLiteral("ImageSnow");
    }
    return {};
}

QImage BrushPictureImage(TBrushPicture Picture)
{
    using TPainter = QRgb (*)(int, int, int);
    TPainter paint = Metal;
    int size = 32;
    switch (Picture) {
    case TBrushPicture::Metal: paint = Metal; size = 16; break;
    case TBrushPicture::Wood: paint = Wood; size = 16; break;
    case TBrushPicture::Stone: paint = Stone; size = 16; break;
    case TBrushPicture::Clouds: paint = Clouds; break;
    case TBrushPicture::Grass: paint = Grass; break;
    case TBrushPicture::Fire: paint = Fire; break;
    case TBrushPicture::Snow: paint = Snow; break;
    }
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size; ++x)
            line[x] = paint(x, y, size);
    }
    return image;
}

} // namespace lp
