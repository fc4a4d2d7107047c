#include "platform/ui/Edges.h"

#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TColor At(TBitmap& Bitmap, int X, int Y)
{
    return FromQColor(Bitmap.Image().pixelColor(X, Y));
}

struct TEdgeCase {
    const char* Name;
    unsigned Kind;
    unsigned Flags;
    TColor OuterTopLeft, OuterBottomRight, InnerTopLeft;
    TRect Adjusted;
};

TEST(Edges, DrawEdge_RingColoursAndAdjustment)
{
    const std::vector<TEdgeCase> Cases = {
        {"raised", EDGE_RAISED, BF_RECT | BF_ADJUST, cl3DLight, cl3DDkShadow, clBtnHighlight, {2, 2, 18, 8}},
        {"sunken", EDGE_SUNKEN, BF_RECT | BF_ADJUST, clBtnShadow, clBtnHighlight, cl3DDkShadow, {2, 2, 18, 8}},
        {"raised soft", EDGE_RAISED, BF_RECT | BF_ADJUST | BF_SOFT, clBtnHighlight, cl3DDkShadow, cl3DLight,
         {2, 2, 18, 8}},
        {"mono", EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MONO, clWindowFrame, clWindowFrame, clWhite, {1, 1, 19, 9}},
        {"flat", BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | BF_FLAT, clBtnShadow, clBtnShadow, clWhite, {1, 1, 19, 9}},
        {"not adjusted", BDR_RAISEDINNER, BF_RECT, clBtnHighlight, clBtnShadow, clWhite, {0, 0, 20, 10}},
    };
    for (const TEdgeCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TBitmap Bitmap(20, 10);
        Bitmap.Canvas().Brush().SetColor(clWhite);
        Bitmap.Canvas().FillRect({0, 0, 20, 10});
        TRect R{0, 0, 20, 10};
        DrawEdge(Bitmap.Canvas(), R, Case.Kind, Case.Flags);
        EXPECT_EQ(R, Case.Adjusted);
        EXPECT_EQ(At(Bitmap, 5, 0), ColorToRGB(Case.OuterTopLeft));
        EXPECT_EQ(At(Bitmap, 0, 5), ColorToRGB(Case.OuterTopLeft));
        EXPECT_EQ(At(Bitmap, 19, 5), ColorToRGB(Case.OuterBottomRight));
        EXPECT_EQ(At(Bitmap, 5, 9), ColorToRGB(Case.OuterBottomRight));
        EXPECT_EQ(At(Bitmap, 5, 1), ColorToRGB(Case.InnerTopLeft));
    }
}

TEST(Edges, ChosenSidesOnly)
{
    TBitmap Bitmap(10, 10);
    Bitmap.Canvas().Brush().SetColor(clWhite);
    Bitmap.Canvas().FillRect({0, 0, 10, 10});
    TRect R{0, 0, 10, 10};
    DrawEdge(Bitmap.Canvas(), R, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
    EXPECT_EQ(R, (TRect{0, 0, 9, 9}));
    EXPECT_EQ(At(Bitmap, 0, 5), clWhite);
    EXPECT_EQ(At(Bitmap, 9, 5), ColorToRGB(clBtnShadow));
}

TEST(Edges, Frame3DAndFocusRect)
{
    TBitmap Bitmap(10, 10);
    Bitmap.Canvas().Brush().SetColor(clWhite);
    Bitmap.Canvas().FillRect({0, 0, 10, 10});
    TRect R{0, 0, 10, 10};
    Frame3D(Bitmap.Canvas(), R, clRed, clBlue, 2);
    EXPECT_EQ(R, (TRect{2, 2, 8, 8}));
    EXPECT_EQ(At(Bitmap, 1, 5), clRed);
    EXPECT_EQ(At(Bitmap, 8, 5), clBlue);
    const QImage Before = Bitmap.Image().copy();
    DrawFocusRect(Bitmap.Canvas(), {2, 2, 8, 8});
    EXPECT_EQ(At(Bitmap, 2, 2), clBlack); // white inverted
    EXPECT_EQ(At(Bitmap, 3, 2), clWhite); // every other pixel
    DrawFocusRect(Bitmap.Canvas(), {2, 2, 8, 8});
    EXPECT_EQ(Bitmap.Image(), Before);
}

} // namespace
} // namespace lp
