#pragma once
// The seven small pictures the brush editor carries hidden, for editors that
// offer a picture fill without asking for a file: metal, wood and stone
// (16 x 16), clouds, grass, fire and snow (32 x 32). Each is drawn from a
// fixed seed, so it is the same picture on every run.

#include <QtCore/QString>
#include <QtGui/QImage>

#include <array>

namespace lp {

enum class TBrushPicture { Metal, Wood, Stone, Clouds, Grass, Fire, Snow };

inline constexpr std::array<TBrushPicture, 7> AllBrushPictures{
    TBrushPicture::Metal, TBrushPicture::Wood,  TBrushPicture::Stone, TBrushPicture::Clouds,
    TBrushPicture::Grass, TBrushPicture::Fire, TBrushPicture::Snow};

// "ImageMetal", "ImageWood", ...: the name the brush editor gives it.
QString BrushPictureName(TBrushPicture Picture);
// The picture, opaque, in 32-bit RGB.
QImage BrushPictureImage(TBrushPicture Picture);

} // namespace lp
