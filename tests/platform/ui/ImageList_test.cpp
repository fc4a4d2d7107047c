#include "platform/ui/ImageList.h"

#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

QImage Filled(int W, int H, QRgb Color)
{
    QImage Image(W, H, QImage::Format_RGB32);
    Image.fill(Color);
    return Image;
}

TEST(ImageList, MaskedImagesKeepTheirTransparency)
{
    TCustomImageList List(4, 4);
    QImage Image = Filled(6, 5, qRgb(255, 0, 255));
    Image.setPixel(1, 1, qRgb(10, 20, 30));
    EXPECT_EQ(List.AddMasked(Image, clFuchsia), 0);
    EXPECT_EQ(List.Image(0).size(), QSize(4, 4));
    EXPECT_EQ(qAlpha(List.Image(0).pixel(0, 0)), 0);
    EXPECT_EQ(List.Image(0).pixel(1, 1), qRgb(10, 20, 30));
    try {
        List.AddMasked(Filled(3, 4, 0), clNone);
        FAIL() << "no error";
    } catch (const Exception& Error) {
        EXPECT_STREQ(Error.what(), "Invalid image size");
    }
    EXPECT_FALSE(List.Replace(1, Image, clNone));
    EXPECT_FALSE(List.Replace(0, Filled(2, 2, 0), clNone));
    EXPECT_TRUE(List.Replace(0, Filled(4, 4, qRgb(1, 2, 3)), clNone));
    EXPECT_THROW(List.Image(3), ERangeError);
}

TEST(ImageList, DrawNormalOrTransparent)
{
    TCustomImageList List(4, 4);
    QImage Image = Filled(4, 4, qRgb(255, 0, 255));
    Image.setPixel(2, 2, qRgb(255, 0, 0)); // a red that looks like the key
    List.AddMasked(Image, clFuchsia);
    TBitmap Bitmap(6, 6);
    Bitmap.Canvas().Brush().SetColor(clWhite);
    Bitmap.Canvas().FillRect({0, 0, 6, 6});
    List.Draw(Bitmap.Canvas(), 1, 1, 0, TCustomImageList::dsTransparent);
    EXPECT_EQ(Bitmap.Image().pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(Bitmap.Image().pixel(3, 3), qRgb(255, 0, 0));
    List.Draw(Bitmap.Canvas(), 1, 1, 0, TCustomImageList::dsNormal, clBlue);
    EXPECT_EQ(Bitmap.Image().pixel(1, 1), qRgb(0, 0, 255));
    EXPECT_EQ(Bitmap.Image().pixel(0, 0), qRgb(255, 255, 255));
    List.Draw(Bitmap.Canvas(), 1, 1, 7); // outside the list: nothing
}

TEST(ImageList, ChangeLinks)
{
    TCustomImageList List(2, 2);
    int Told = 0;
    List.RegisterChanges(&Told, [&] { ++Told; });
    List.AddMasked(Filled(2, 2, 0), clNone);
    List.Delete(0);
    List.UnRegisterChanges(&Told);
    List.Clear();
    EXPECT_EQ(Told, 2);
}

} // namespace
} // namespace lp
