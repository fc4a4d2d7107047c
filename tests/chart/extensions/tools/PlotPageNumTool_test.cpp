// The page number tool: the default text without paging, the user's
// format filled only at "%d" and "%%", the page of a paged chart, the
// stored format, and a picture.

#include "chart/extensions/tools/PlotPageNumTool.h"

#include "ToolsTestUtil.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotBarSeries.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(PageNumTool, ShowsPageOneOfOneWithoutPaging)
{
    test::TToolChart F;
    auto* Tool = new TPageNumTool(&F.Chart);
    EXPECT_EQ(Tool->GetText(), QStringLiteral("Page 1 of 1"));
    F.Chart.Tools().Add(Tool);
    EXPECT_EQ(Tool->GetText(), QStringLiteral("Page 1 of 1"));
    EXPECT_FALSE(Tool->IsFormatStored());
    Tool->SetFormat(QStringLiteral("%d/%d"));
    EXPECT_TRUE(Tool->IsFormatStored());
}

TEST(PageNumTool, FillsOnlyTwoPageNumbersAndWritesOtherSequencesAsTheyStand)
{
    const struct {
        const char* Format;
        const char* Text;
    } Rows[] = {
        {"Page %d of %d", "Page 2 of 7"},
        {"%s %n %x %p", "%s %n %x %p"},
        {"%d%% done, %d left, %d more", "2% done, 7 left, %d more"},
        {"%5d %-d %", "%5d %-d %"},
        {"%%d %d", "%d 2"},
        {"", ""},
    };
    for (const auto& Row : Rows)
        EXPECT_EQ(FormatPageNumber(QString::fromUtf8(Row.Format), 2, 7), QString::fromUtf8(Row.Text)) << Row.Format;
}

TEST(PageNumTool, FollowsThePagesOfAPagedChart)
{
    test::TToolChart F;
    auto* Bars = new TBarSeries(&F.Chart);
    F.Chart.AddSeries(Bars);
    for (int I = 0; I < 9; ++I)
        Bars->Add(10 * I);
    F.Chart.BottomAxis()->SetAutomatic(true);
    F.Chart.SetMaxPointsPerPage(4);
    F.Chart.SetPage(2);
    auto* Tool = new TPageNumTool(&F.Chart);
    F.Chart.Tools().Add(Tool);
    Tool->SetFormat(QStringLiteral("%s: %d of %d"));
    EXPECT_EQ(Tool->GetText(), QStringLiteral("%s: 2 of 3"));
}

TEST(PageNumTool, Picture)
{
    test::TToolChart F;
    auto* Bars = new TBarSeries(&F.Chart);
    F.Chart.AddSeries(Bars);
    for (const double V : {35, 70, 50, 85, 20})
        Bars->Add(V);
    F.Chart.BottomAxis()->SetAutomatic(true);
    auto* Tool = new TPageNumTool(&F.Chart);
    F.Chart.Tools().Add(Tool);
    Tool->SetPosition(TAnnotationTool::ppRightBottom);
    Tool->Shape()->SetColor(clYellow);
    EXPECT_TRUE(test::MatchesReference(F.Picture(), "tools", "page-number"));
}

} // namespace
} // namespace lp
