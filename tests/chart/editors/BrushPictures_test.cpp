#include "chart/editors/BrushPictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace lp {
namespace {

struct TMeanColour {
    double Red = 0, Green = 0, Blue = 0;
    int Colours = 0; // distinct colours
};

TMeanColour Measure(const QImage& Image)
{
    TMeanColour mean;
    std::set<QRgb> colours;
    const double count = Image.width() * Image.height();
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x) {
            const QRgb pixel = Image.pixel(x, y);
            mean.Red += qRed(pixel) / count;
            mean.Green += qGreen(pixel) / count;
            mean.Blue += qBlue(pixel) / count;
            colours.insert(pixel);
        }
    mean.Colours = static_cast<int>(colours.size());
    return mean;
}

TEST(BrushPictures, SizesNamesAndLooks)
{
    struct Row {
        TBrushPicture picture;
        const char* name;
        int size;
        bool (*looks)(const TMeanColour&);
    };
    const Row rows[] = {
        {TBrushPicture::Metal, "ImageMetal", 16,
         [](const TMeanColour& M) { return std::abs(M.Red - M.Blue) < 20 && M.Green > 120; }},
        {TBrushPicture::Wood, "ImageWood", 16, [](const TMeanColour& M) { return M.Red > M.Green && M.Green > M.Blue; }},
        {TBrushPicture::Stone, "ImageStone", 16,
         [](const TMeanColour& M) { return std::abs(M.Red - M.Blue) < 20 && M.Green < 180; }},
        {TBrushPicture::Clouds, "ImageClouds", 32, [](const TMeanColour& M) { return M.Blue > M.Red + 15; }},
        {TBrushPicture::Grass, "ImageGrass", 32,
         [](const TMeanColour& M) { return M.Green > M.Red + 30 && M.Green > M.Blue + 30; }},
        {TBrushPicture::Fire, "ImageFire", 32, [](const TMeanColour& M) { return M.Red > M.Green && M.Green > M.Blue; }},
        {TBrushPicture::Snow, "ImageSnow", 32,
         [](const TMeanColour& M) { return M.Red > 200 && M.Green > 210 && M.Blue > 230; }},
    };
    ASSERT_EQ(std::size(rows), AllBrushPictures.size());
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        EXPECT_EQ(AllBrushPictures[i], row.picture);
        EXPECT_EQ(BrushPictureName(row.picture), QString::fromLatin1(row.name));
        const QImage image = BrushPictureImage(row.picture);
        EXPECT_EQ(image.size(), QSize(row.size, row.size)) << row.name;
        EXPECT_FALSE(image.hasAlphaChannel()) << row.name;
        // The same picture on every call, and a picture, not a flat colour.
        EXPECT_EQ(image, BrushPictureImage(row.picture)) << row.name;
        const TMeanColour mean = Measure(image);
        EXPECT_GT(mean.Colours, row.size) << row.name;
        EXPECT_TRUE(row.looks(mean)) << row.name << ": " << mean.Red << " " << mean.Green << " " << mean.Blue;
    }
}

} // namespace
} // namespace lp
