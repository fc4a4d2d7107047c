// The reference-image comparison the drawing tests share.

#include "ReferenceImage.h"

#include <gtest/gtest.h>

namespace lp::test {
namespace {

TEST(ReferenceImage, PixelsBeyondTheToleranceCount)
{
    QImage A(4, 3, QImage::Format_RGB32);
    A.fill(qRgb(100, 100, 100));
    QImage B = A;
    B.setPixel(1, 1, qRgb(110, 100, 100)); // within 16
    B.setPixel(2, 2, qRgb(100, 100, 140)); // beyond
    const TImageDifference D = CompareImages(A, B, 16);
    EXPECT_TRUE(D.SameSize);
    EXPECT_EQ(D.DifferentPixels, 1);
    EXPECT_EQ(D.LargestChannelStep, 40);
    EXPECT_EQ(D.Picture.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_FALSE(CompareImages(A, QImage(3, 3, QImage::Format_RGB32), 0).SameSize);
}

TEST(ReferenceImage, AMissingReferenceFailsWithAHint)
{
    QImage A(2, 2, QImage::Format_RGB32);
    A.fill(Qt::white);
    if (qEnvironmentVariableIntValue("LP_UPDATE_REFERENCES") == 1)
        GTEST_SKIP() << "references are being written";
    const ::testing::AssertionResult Result = MatchesReference(A, "selftest", "does-not-exist");
    EXPECT_FALSE(Result);
    EXPECT_NE(std::string(Result.message()).find("LP_UPDATE_REFERENCES"), std::string::npos);
}

} // namespace
} // namespace lp::test
