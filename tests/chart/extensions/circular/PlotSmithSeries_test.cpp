// Smith series: impedance positions on the circle, the point without a
// position, the settings kept on the axes, the grid drawn once and clicks.

#include "chart/extensions/circular/PlotSmithSeries.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Numeric.h"
#include "tests/chart/extensions/circular/CircularTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::CallsNamed;
using test::TCircularChart;

TEST(SmithSeries, ImpedancesLieOnTheReflectionCircle)
{
    TCircularChart C;
    auto* S = C.Add<TSmithSeries>();
    S->AddXY(1, 0);
    C.Paint();
    const int CX = S->CircleXCenter();
    const int CY = S->CircleYCenter();
    TPoint P;
    ASSERT_TRUE(S->PositionOf(1, 0, P));
    EXPECT_EQ(P, (TPoint{CX, CY}));
    ASSERT_TRUE(S->PositionOf(0, 0, P));
    EXPECT_EQ(P, (TPoint{CX - S->XRadius(), CY}));
    ASSERT_TRUE(S->PositionOf(0, 1, P));
    EXPECT_EQ(P, (TPoint{CX, CY - S->YRadius()}));
    ASSERT_TRUE(S->PositionOf(2, 0, P));
    EXPECT_EQ(P, (TPoint{CX + RoundToInt32(S->XRadius() / 3.0), CY}));
    EXPECT_EQ(S->CalcXPos(0), CX);
    // r = -1, x = 0 has no reflection coefficient.
    EXPECT_FALSE(S->PositionOf(-1, 0, P));
}

TEST(SmithSeries, APointWithoutPositionIsLeftOutLikeANullPoint)
{
    TCircularChart C;
    auto* S = C.Add<TSmithSeries>();
    S->Pointer()->SetVisible(false);
    C.Chart.SetAxisVisible(false);
    S->AddXY(0, 0);
    S->AddXY(-1, 0);
    S->AddXY(1, 0);
    const QStringList Calls = C.Paint();
    const int CX = S->CircleXCenter();
    const int CY = S->CircleYCenter();
    // One line, from the first point straight to the third.
    EXPECT_EQ(test::LinesFrom(Calls, CX - S->XRadius(), CY), 1) << Calls.join('\n').toStdString();
    EXPECT_TRUE(Calls.contains(QStringLiteral("LineTo(%1,%2)").arg(CX).arg(CY)));
    EXPECT_EQ(S->Clicked(CX, CY), -1);
}

TEST(SmithSeries, GridSettingsLiveOnTheAxes)
{
    TSmithSeries Loose;
    EXPECT_TRUE(Loose.RLabels());
    EXPECT_TRUE(Loose.CLabels());
    Loose.SetRLabels(false);
    EXPECT_TRUE(Loose.RLabels());
    EXPECT_EQ(Loose.RCirclePen(), Loose.Pen());
    EXPECT_EQ(Loose.ImagSymbol(), "i");

    TCircularChart C;
    auto* S = C.Add<TSmithSeries>();
    S->SetRLabels(false);
    EXPECT_FALSE(C.Chart.BottomAxis()->Labels());
    S->CCirclePen()->SetColor(clRed);
    EXPECT_EQ(C.Chart.LeftAxis()->Grid()->Color(), clRed);
    EXPECT_EQ(S->RLabelsFont(), C.Chart.BottomAxis()->LabelsFont());
    EXPECT_EQ(S->ResistanceValues()->Name(), "Resistance");
    EXPECT_EQ(S->ReactanceValues()->Name(), "Reactance");
    EXPECT_EQ(S->ResistanceValues()->Order(), loNone);
}

TEST(SmithSeries, OnlyTheFirstSeriesDrawsTheGrid)
{
    const auto Grid = [](int Series) {
        TCircularChart C;
        for (int I = 0; I < Series; ++I) {
            auto* S = C.Add<TSmithSeries>();
            S->AddXY(0.5 + I, 0.5);
        }
        const QStringList Calls = C.Paint();
        return std::pair{CallsNamed(Calls, QStringLiteral("Ellipse")).size(),
                         CallsNamed(Calls, QStringLiteral("Arc")).size()};
    };
    const auto One = Grid(1);
    // The outer circle, seven resistance circles; 11 reactance arcs each way.
    EXPECT_EQ(One.first, 8);
    EXPECT_EQ(One.second, 22);
    EXPECT_EQ(Grid(2), One);
}

TEST(SmithSeries, ReactanceLabelsCarryTheImaginarySymbol)
{
    TCircularChart C;
    auto* S = C.Add<TSmithSeries>();
    S->SetImagSymbol(QStringLiteral("j"));
    S->AddXY(1, 1);
    const QStringList Texts = CallsNamed(C.Paint(), QStringLiteral("TextOut"));
    EXPECT_TRUE(Texts.filter(QStringLiteral("\"0j\"")).size() == 1);
    EXPECT_TRUE(Texts.filter(QStringLiteral("\"-1.5j\"")).size() == 1);
    EXPECT_TRUE(Texts.filter(QStringLiteral("\"0.2\"")).size() == 1);
}

} // namespace
} // namespace lp
