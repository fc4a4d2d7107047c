#include "chart/canvas/PlotConst.h"

#include "platform/base/Exception.h"

#include <gtest/gtest.h>

#include <set>

namespace lp {
namespace {

using namespace Qt::Literals::StringLiterals;

// Every test starts from freshly started texts and leaves them started, so
// the other canvas tests find the texts they read.
struct MessageTexts : ::testing::Test {
    void SetUp() override { Restart(); }
    void TearDown() override { Restart(); }

    static void Restart()
    {
        FinalizeMessageTexts();
        InitializeMessageTexts();
    }
};

struct TExpectedText {
    const QString* Entry;
    QString Text;
};

// Rows from the start, the middle and the end of both tables, and texts with
// line breaks, format placeholders, ampersands, quotes and outer spaces.
std::vector<TExpectedText> ExpectedTexts()
{
    return {
        // first table
        {&PlotMsg_LegendFirstValue, u"First Legend Value must be > 0"_s},
        {&PlotMsg_CheckDataSource, u"No ParentChart to validate DataSource"_s},
        {&PlotMsg_InvalidDataSource, u"No valid DataSource: %s"_s},
        {&PlotMsg_SeriesDeleteOutOfBounds, u"Series Delete: ValueIndex %d out of bounds (0 to %d)."_s},
        {&PlotMsg_ValuesX, u"X"_s},
        {&PlotMsg_ValuesY, u"Y"_s},
        {&PlotMsg_AxisLabelsSeparation, u"Labels Separation % must be greater than 0"_s},
        {&PlotMsg_AxisLogBase, u"Axis Logarithmic Base should be <> 1 and > 0"_s},
        {&PlotMsg_DepthTopAxis, u"Depth Top"_s},
        {&PlotMsg_Chart3DPercent, u"3D effect percent must be between %d and %d"_s},
        {&PlotMsg_ValueOfTotal, u"%s of %s"_s},
        {&PlotMsg_ValueOfTotalTwoLines, QStringLiteral("%s") + QChar(13) + QStringLiteral("of %s")},
        {&PlotMsg_DefaultPercentFormat, u"##0.## %"_s},
        {&PlotMsg_DefaultValueFormat, u"#,##0.###"_s},
        {&PlotMsg_PointerSize, u"Pointer size must be greater than zero"_s},
        {&PlotMsg_FunctionCustom, u"y = f(x)"_s},
        {&PlotMsg_GalleryLine, u"Line"_s},
        {&PlotMsg_GalleryHorizBar, QStringLiteral("Horizontal") + QChar(13) + QStringLiteral("Bar")},
        {&PlotMsg_GalleryFastLine, u"Fast Line"_s},
        {&PlotMsg_SampleChairs, u"Chairs"_s},
        {&PlotMsg_StyleStack100, u"Stack 100%"_s},
        {&PlotMsg_StyleDownTriangle, u"Down Tri."_s},
        {&PlotMsg_StyleOutline, u"Outline"_s},
        {&PlotMsg_DefaultFontSize, u"8"_s},
        {&PlotMsg_DefaultFontName, u"Arial"_s},
        {&PlotMsg_SureToDelete, u"Delete %s ?"_s},
        {&PlotMsg_ClearImage, u"Clea&r"_s},
        {&PlotMsg_BrowseImage, u"B&rowse..."_s},
        {&PlotMsg_AboutProductLine, u"Lithoprism chart library"_s},
        {&PlotMsg_Test, u"Test..."_s},
        {&PlotMsg_LegendColorWidth, u"Legend Color Width must be > 0%"_s},
        {&PlotMsg_ExponentFormat, u"#.0 \"x10\" E+0"_s},
        {&PlotMsg_AxisTitle, u"Axis Title"_s},
        {&PlotMsg_EditChartMenu, u"E&dit Chart..."_s},
        {&PlotMsg_InvalidEditorClass, u"%s: Invalid Editor Class: %s"_s},
        {&PlotMsg_WizardNext, u"&Next >"_s},
        {&PlotMsg_SampleManufacturing, u"Manufac."_s},
        {&PlotMsg_EnterDateTime, u"Enter [Number of Days] [hh:nn:ss]"_s},
        {&PlotMsg_Number414, u"414"_s},
        {&PlotMsg_PrivateDeclarations, u"{ Private declarations }"_s},
        {&PlotMsg_AboutMenu, u"Abo&ut VudEvevu..."_s},
        {&PlotMsg_SureToCloseWizard, u"Are you sure that you want to close the VudEvevu Wizard ?"_s},
        {&PlotMsg_Custom, u"Custom "_s},
        {&PlotMsg_PageOfPages, u"Page %d of %d"_s},
        {&PlotMsg_NavigatorEdit, u"Edit"_s},
        {&PlotMsg_MetafileFilter, u"Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf"_s},
        {&PlotMsg_DiagCross, u"Diag.Cross"_s},
        {&PlotMsg_EmailError, u"Can not email VudEvevu. Mapi Error: %d"_s},
        {&PlotMsg_DownloadSeriesError, u"Error code: %d downloading Series data from URL: %s"_s},
        {&PlotMsg_AsPCX, u"as PC&X"_s},
        {&PlotMsg_SureToSave, u"Do you want to save %s?"_s},
        {&PlotMsg_CommaTextFilter, u"Comma delimited text files (*.csv)|*.csv"_s},
        {&PlotMsg_View3DLeft, u"3D Left"_s},
        {&PlotMsg_SVGFilter, u"SVG files (*.svg)|*.svg"_s},
        {&PlotMsg_SubFoot, u"SubFoot"_s},
        // second table
        {&PlotMsg_GalleryPolar, u"Polar"_s},
        {&PlotMsg_GalleryHorizBoxPlot, QStringLiteral("Horizontal") + QChar(13) + QStringLiteral("BoxPlot")},
        {&PlotMsg_GalleryPyramid, u"Pyramid"_s},
        {&PlotMsg_AnswerVectorIndex, u"Answer Vector index must be between 1 and %d"_s},
        {&PlotMsg_FunctionExpMovingAverage, QStringLiteral("Exp.Moving") + QChar(13) + QStringLiteral("Average")},
        {&PlotMsg_FunctionBollinger, QStringLiteral("Bollinger") + QChar(13) + QStringLiteral("bands")},
        {&PlotMsg_FunctionRSI, u"R.S.I."_s},
        {&PlotMsg_SeriesEditorNotFound, u"Cannot find Series editor Form: %s"_s},
        {&PlotMsg_ValuesStdError, u"StdError"_s},
        {&PlotMsg_RotationStatus, u"Rotation: %d\u00B0 Elevation: %d\u00B0"_s},
        {&PlotMsg_ZoomStatus, u"Zoom: %d %%"_s},
        {&PlotMsg_ZoomScrollHint, u"Drag Left button to Zoom, Right button to Scroll"_s},
        {&PlotMsg_PieExplodeStatus, u"Slice: %d Exploded: %d %%"_s},
        {&PlotMsg_SimilarPoints, u"Similar XYZ points. Cannot calculate triangles."_s},
        {&PlotMsg_ToolAnnotation, u"Annotation"_s},
        {&PlotMsg_Action3DHint, u"Switch 2D / 3D"_s},
        {&PlotMsg_ActionSave, u"&Save..."_s},
        {&PlotMsg_Segment, u"Segment "_s},
        {&PlotMsg_FunnelPercentFormat, u"0.00 %"_s},
        {&PlotMsg_FunnelWithinQuota, u" within quota"_s},
        {&PlotMsg_FunnelBelowQuota, u" or more below quota"_s},
        {&PlotMsg_SeriesTextFieldIndex, u"SeriesText: Field index should be greater than zero."_s},
        {&PlotMsg_FunctionCommodityChannelIndex, QStringLiteral("Commodity") + QChar(13) + QStringLiteral("Channel Index")},
        {&PlotMsg_GalleryPointFigure, u"Point & Figure"_s},
        {&PlotMsg_Execute, u"Execute !"_s},
        {&PlotMsg_WapBitmapFilter, u"Wap Bitmaps (*.wbmp)|*.wbmp"_s},
        {&PlotMsg_DataTable, u"Data Table"_s},
        {&PlotMsg_SmallDotsPen, u"Small Dots"_s},
    };
}

bool IsReserved(const QString* entry)
{
    return entry == &PlotMsg_Reserved1 || entry == &PlotMsg_Reserved2;
}

TEST_F(MessageTexts, TablesHaveTheirFixedSizes)
{
    EXPECT_EQ(MessageTable1().size(), 276u);
    EXPECT_EQ(MessageTable2().size(), 223u);
}

TEST_F(MessageTexts, TablesListEveryVariableOnce)
{
    const std::set<QString*> first(MessageTable1().begin(), MessageTable1().end());
    const std::set<QString*> second(MessageTable2().begin(), MessageTable2().end());
    EXPECT_EQ(first.size(), MessageTable1().size());
    EXPECT_EQ(second.size(), MessageTable2().size());
    for (QString* entry : second)
        EXPECT_EQ(first.count(entry), 0u);
    EXPECT_EQ(first.count(&PlotFileExtension), 0u);
    EXPECT_EQ(second.count(&PlotFileExtension), 0u);
}

TEST_F(MessageTexts, TablesKeepTheirOrder)
{
    const std::vector<QString*>& first = MessageTable1();
    const std::vector<QString*>& second = MessageTable2();
    EXPECT_EQ(first.front(), &PlotMsg_LegendFirstValue);
    EXPECT_EQ(first[100], &PlotMsg_AboutProductLine);
    EXPECT_EQ(first[101], &PlotMsg_Test);
    EXPECT_EQ(first[183], &PlotMsg_InvalidChartFile);
    EXPECT_EQ(first[240], &PlotMsg_ChartFileFilter);
    EXPECT_EQ(first.back(), &PlotMsg_SubFoot);
    EXPECT_EQ(second.front(), &PlotMsg_GalleryPolar);
    EXPECT_EQ(second[219], &PlotMsg_DataTable);
    EXPECT_EQ(second[220], &PlotMsg_SmallDotsPen);
    EXPECT_EQ(second.back(), &PlotMsg_Reserved2);
}

TEST_F(MessageTexts, StartUpGivesEachEntryItsExactText)
{
    for (const TExpectedText& expected : ExpectedTexts())
        EXPECT_EQ(*expected.Entry, expected.Text);
}

TEST_F(MessageTexts, StartUpGivesEveryEntryButTheReservedOnesAText)
{
    for (const std::vector<QString*>* table : {&MessageTable1(), &MessageTable2()})
        for (const QString* entry : *table)
            EXPECT_EQ(entry->isEmpty(), IsReserved(entry)) << entry->toStdString();
}

TEST_F(MessageTexts, TwoLineCaptionsBreakWithACarriageReturn)
{
    EXPECT_EQ(PlotMsg_GalleryHorizArea.indexOf(QChar(13)), 10);
    EXPECT_EQ(PlotMsg_GalleryHorizArea.size(), 15);
    EXPECT_EQ(PlotMsg_FunctionRootMeanSquare.indexOf(QChar(13)), 9);
    // No text holds an escape sequence left unresolved.
    for (const std::vector<QString*>* table : {&MessageTable1(), &MessageTable2()})
        for (const QString* entry : *table)
            EXPECT_FALSE(entry->contains(QLatin1Char('\\'))) << entry->toStdString();
}

TEST_F(MessageTexts, StartUpComposesTheChartFileTextsFromTheExtension)
{
    EXPECT_EQ(PlotFileExtension, u"vud"_s);
    EXPECT_EQ(PlotMsg_InvalidChartFile, u"Invalid Chart in *.vud file"_s);
    EXPECT_EQ(PlotMsg_WrongChartFileFormat, u"Wrong *.vud file format"_s);
    EXPECT_EQ(PlotMsg_EmptyChartFile, u"Empty *.vud file"_s);
    EXPECT_EQ(PlotMsg_ChartFileFilter, u"VudEvevu files (*.vud)|*.vud"_s);
}

TEST_F(MessageTexts, ComposedTextsReadTheExtensionAtStartUpOnly)
{
    FinalizeMessageTable1();
    PlotFileExtension = u"sec"_s;
    InitializeMessageTable1();
    EXPECT_EQ(PlotMsg_InvalidChartFile, u"Invalid Chart in *.sec file"_s);
    EXPECT_EQ(PlotMsg_ChartFileFilter, u"VudEvevu files (*.sec)|*.sec"_s);

    PlotFileExtension = u"xyz"_s;
    EXPECT_EQ(PlotMsg_WrongChartFileFormat, u"Wrong *.sec file format"_s);
    EXPECT_EQ(PlotMsg_EmptyChartFile, u"Empty *.sec file"_s);
}

TEST_F(MessageTexts, StartUpRunsOnceAndKeepsReplacedTexts)
{
    PlotMsg_AxisTitle = u"Achsentitel"_s;
    PlotMsg_DataTable = u"Datentabelle"_s;
    InitializeMessageTexts();
    InitializeMessageTable1();
    InitializeMessageTable2();
    EXPECT_EQ(PlotMsg_AxisTitle, u"Achsentitel"_s);
    EXPECT_EQ(PlotMsg_DataTable, u"Datentabelle"_s);
}

TEST_F(MessageTexts, ReadersGetTheReplacedText)
{
    PlotMsg_SureToDelete = u"Remove %s ?"_s;
    const QString* throughTable = MessageTable1()[97];
    ASSERT_EQ(throughTable, &PlotMsg_SureToDelete);
    const std::string question = FormatText(throughTable->toStdString(), {"Layer 2"});
    EXPECT_EQ(question, "Remove Layer 2 ?");

    PlotMsg_SureToDelete = u"Delete %s for good?"_s;
    EXPECT_EQ(FormatText(PlotMsg_SureToDelete.toStdString(), {"Layer 2"}), "Delete Layer 2 for good?");
}

TEST_F(MessageTexts, FinalizationEmptiesEveryEntryAndTheExtension)
{
    FinalizeMessageTexts();
    for (const std::vector<QString*>* table : {&MessageTable1(), &MessageTable2()})
        for (const QString* entry : *table)
            EXPECT_TRUE(entry->isEmpty());
    EXPECT_TRUE(PlotFileExtension.isEmpty());
}

TEST_F(MessageTexts, FinalizingOneTableLeavesTheOtherFilled)
{
    FinalizeMessageTable2();
    EXPECT_TRUE(PlotMsg_GalleryPolar.isEmpty());
    EXPECT_EQ(PlotMsg_AxisTitle, u"Axis Title"_s);
    EXPECT_EQ(PlotFileExtension, u"vud"_s);
    InitializeMessageTable2();
    EXPECT_EQ(PlotMsg_GalleryPolar, u"Polar"_s);
}

TEST_F(MessageTexts, StartUpAfterFinalizationRestoresTheTexts)
{
    PlotMsg_AxisTitle = u"Achsentitel"_s;
    FinalizeMessageTexts();
    InitializeMessageTexts();
    EXPECT_EQ(PlotFileExtension, u"vud"_s);
    EXPECT_EQ(PlotMsg_AxisTitle, u"Axis Title"_s);
    for (const TExpectedText& expected : ExpectedTexts())
        EXPECT_EQ(*expected.Entry, expected.Text);
    EXPECT_EQ(PlotMsg_InvalidChartFile, u"Invalid Chart in *.vud file"_s);
}

} // namespace
} // namespace lp
