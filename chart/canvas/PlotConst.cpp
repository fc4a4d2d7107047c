#include "chart/canvas/PlotConst.h"

#include <QtCore/QStringView>

#include <iterator>
#include <span>

namespace lp {

namespace {

QString NativeFileExtension()
{
    return QStringLiteral("vud");
}

// An entry and the text start-up gives it. A null text marks an entry that
// start-up composes from the file extension.
struct TMessageText {
    QString* Entry;
    QStringView Text;
};

const TMessageText Table1Texts[] = {
    {&PlotMsg_LegendFirstValue, u"First Legend Value must be > 0"},
    {&PlotMsg_CheckDataSource, u"No ParentChart to validate DataSource"},
    {&PlotMsg_InvalidDataSource, u"No valid DataSource: %s"},
    {&PlotMsg_FillSampleCount, u"FillSampleValues NumValues must be > 0"},
    {&PlotMsg_SeriesDeleteOutOfBounds, u"Series Delete: ValueIndex %d out of bounds (0 to %d)."},
    {&PlotMsg_CircularSeries, u"Circular Series dependences are not allowed"},
    {&PlotMsg_ValuesX, u"X"},
    {&PlotMsg_ValuesY, u"Y"},
    {&PlotMsg_Normal, u"Normal"},
    {&PlotMsg_Series, u"Series"},
    {&PlotMsg_Other, u"Other"},
    {&PlotMsg_AxisLogDateTime, u"DateTime Axis cannot be Logarithmic"},
    {&PlotMsg_AxisLabelsSeparation, u"Labels Separation % must be greater than 0"},
    {&PlotMsg_AxisIncrementNegative, u"Axis increment must be >= 0"},
    {&PlotMsg_AxisMinimumAboveMaximum, u"Axis Minimum Value must be <= Maximum"},
    {&PlotMsg_AxisMaximumBelowMinimum, u"Axis Maximum Value must be >= Minimum"},
    {&PlotMsg_AxisLogBase, u"Axis Logarithmic Base should be <> 1 and > 0"},
    {&PlotMsg_TopAxis, u"Top Axis"},
    {&PlotMsg_BottomAxis, u"Bottom Axis"},
    {&PlotMsg_LeftAxis, u"Left Axis"},
    {&PlotMsg_RightAxis, u"Right Axis"},
    {&PlotMsg_DepthRightAxis, u"Depth Right"},
    {&PlotMsg_DepthTopAxis, u"Depth Top"},
    {&PlotMsg_MaxPointsPerPage, u"MaxPointsPerPage must be >= 0"},
    {&PlotMsg_Chart3DPercent, u"3D effect percent must be between %d and %d"},
    {&PlotMsg_ValueOfTotal, u"%s of %s"},
    {&PlotMsg_ValueOfTotalTwoLines, u"%s\rof %s"},
    {&PlotMsg_DefaultPercentFormat, u"##0.## %"},
    {&PlotMsg_DefaultValueFormat, u"#,##0.###"},
    {&PlotMsg_PointerSize, u"Pointer size must be greater than zero"},
    {&PlotMsg_FunctionPeriod, u"Function Period should be >= 0"},
    {&PlotMsg_FunctionAdd, u"Add"},
    {&PlotMsg_FunctionSubtract, u"Subtract"},
    {&PlotMsg_FunctionMultiply, u"Multiply"},
    {&PlotMsg_FunctionDivide, u"Divide"},
    {&PlotMsg_FunctionHigh, u"High"},
    {&PlotMsg_FunctionLow, u"Low"},
    {&PlotMsg_FunctionAverage, u"Average"},
    {&PlotMsg_FunctionCustom, u"y = f(x)"},
    {&PlotMsg_FunctionMedian, u"Median"},
    {&PlotMsg_FunctionMode, u"Mode"},
    {&PlotMsg_GalleryLine, u"Line"},
    {&PlotMsg_GalleryPoint, u"Point"},
    {&PlotMsg_GalleryArea, u"Area"},
    {&PlotMsg_GalleryBar, u"Bar"},
    {&PlotMsg_GalleryHorizBar, u"Horizontal\rBar"},
    {&PlotMsg_GalleryPie, u"Pie"},
    {&PlotMsg_GalleryFastLine, u"Fast Line"},
    {&PlotMsg_GalleryHorizLine, u"Horizontal\rLine"},
    {&PlotMsg_GalleryHorizArea, u"Horizontal\rArea"},
    {&PlotMsg_GalleryStandard, u"Standard"},
    {&PlotMsg_GalleryExtended, u"Extended"},
    {&PlotMsg_GalleryMap, u"Map"},
    {&PlotMsg_GalleryImage, u"Image"},
    {&PlotMsg_GalleryColorRange, u"Color Range"},
    {&PlotMsg_GalleryAngle, u"Angle"},
    {&PlotMsg_SampleCars, u"Cars"},
    {&PlotMsg_SamplePhones, u"Phones"},
    {&PlotMsg_SampleTables, u"Tables"},
    {&PlotMsg_SampleMonitors, u"Monitors"},
    {&PlotMsg_SampleLamps, u"Lamps"},
    {&PlotMsg_SampleKeyboards, u"Keyboards"},
    {&PlotMsg_SampleBikes, u"Bikes"},
    {&PlotMsg_SampleChairs, u"Chairs"},
    {&PlotMsg_StyleStack, u"Stack"},
    {&PlotMsg_StyleStack100, u"Stack 100%"},
    {&PlotMsg_StyleSelfStacked, u"Self Stacked"},
    {&PlotMsg_StyleNoBorder, u"No Border"},
    {&PlotMsg_StyleDotted, u"Dotted"},
    {&PlotMsg_StyleColors, u"Colors"},
    {&PlotMsg_StyleMarks, u"Marks"},
    {&PlotMsg_StyleStairs, u"Stairs"},
    {&PlotMsg_StylePoints, u"Points"},
    {&PlotMsg_StyleHeight, u"Height"},
    {&PlotMsg_StyleHollow, u"Hollow"},
    {&PlotMsg_StylePoint2D, u"Point 2D"},
    {&PlotMsg_StyleTriangle, u"Triangle"},
    {&PlotMsg_StyleStar, u"Star"},
    {&PlotMsg_StyleCircle, u"Circle"},
    {&PlotMsg_StyleDownTriangle, u"Down Tri."},
    {&PlotMsg_StyleCross, u"Cross"},
    {&PlotMsg_StyleDiamond, u"Diamond"},
    {&PlotMsg_StyleNoLines, u"No Lines"},
    {&PlotMsg_StylePyramid, u"Pyramid"},
    {&PlotMsg_StyleEllipse, u"Ellipse"},
    {&PlotMsg_StyleInvPyramid, u"Inv. Pyramid"},
    {&PlotMsg_StyleSides, u"Sides"},
    {&PlotMsg_StyleSideAll, u"Side All"},
    {&PlotMsg_StylePatterns, u"Patterns"},
    {&PlotMsg_StyleExploded, u"Exploded"},
    {&PlotMsg_StyleShadow, u"Shadow"},
    {&PlotMsg_StyleSemiPie, u"Semi Pie"},
    {&PlotMsg_StyleDarkBorder, u"Dark Border"},
    {&PlotMsg_StyleGradient, u"Gradient"},
    {&PlotMsg_StyleOutline, u"Outline"},
    {&PlotMsg_DefaultFontSize, u"8"},
    {&PlotMsg_DefaultFontName, u"Arial"},
    {&PlotMsg_SureToDelete, u"Delete %s ?"},
    {&PlotMsg_ClearImage, u"Clea&r"},
    {&PlotMsg_BrowseImage, u"B&rowse..."},
    {&PlotMsg_AboutProductLine, u"Lithoprism chart library"},
    {&PlotMsg_Test, u"Test..."},
    {&PlotMsg_LegendColorWidth, u"Legend Color Width must be > 0%"},
    {&PlotMsg_AxisLogNotPositive, u"Logarithmic Axis Min and Max values should be >= 0"},
    {&PlotMsg_Need16kColors, u"16k Color or greater required to get better look"},
    {&PlotMsg_ExponentFormat, u"#.0 \"x10\" E+0"},
    {&PlotMsg_AxisTitle, u"Axis Title"},
    {&PlotMsg_AxisLabels, u"Axis Labels"},
    {&PlotMsg_RefreshInterval, u"Refresh Interval must be between 0 and 60"},
    {&PlotMsg_SeriesParentNotSelf, u"Series.ParentChart is not myself!"},
    {&PlotMsg_Circled, u"Circled"},
    {&PlotMsg_FontCourierNew, u"Courier New"},
    {&PlotMsg_Editing, u"Editing %s"},
    {&PlotMsg_Functions, u"Functions"},
    {&PlotMsg_EditChartMenu, u"E&dit Chart..."},
    {&PlotMsg_PrintPreviewMenu, u"&Print Preview..."},
    {&PlotMsg_ExportChartMenu, u"E&xport Chart..."},
    {&PlotMsg_CustomAxesMenu, u"Custom Axes..."},
    {&PlotMsg_InvalidEditorClass, u"%s: Invalid Editor Class: %s"},
    {&PlotMsg_NoEditorDialog, u"%s: has no Editor Dialog"},
    {&PlotMsg_GalleryArrow, u"Arrow"},
    {&PlotMsg_WizardFinish, u"&Finish"},
    {&PlotMsg_WizardNext, u"&Next >"},
    {&PlotMsg_GalleryGantt, u"Gantt"},
    {&PlotMsg_SampleDesign, u"Design"},
    {&PlotMsg_SamplePrototyping, u"Prototyping"},
    {&PlotMsg_SampleDevelopment, u"Development"},
    {&PlotMsg_SampleSales, u"Sales"},
    {&PlotMsg_SampleMarketing, u"Marketing"},
    {&PlotMsg_SampleTesting, u"Testing"},
    {&PlotMsg_SampleManufacturing, u"Manufac."},
    {&PlotMsg_SampleDebugging, u"Debugging"},
    {&PlotMsg_SampleNewVersion, u"New Version"},
    {&PlotMsg_SampleBanking, u"Banking"},
    {&PlotMsg_ChangeSeriesTitle, u"Change Series Title"},
    {&PlotMsg_NewSeriesTitle, u"New Series Title:"},
    {&PlotMsg_DateTime, u"DateTime"},
    {&PlotMsg_DateTimeFormatLabel, u"DateTime For&mat:"},
    {&PlotMsg_Default, u"Default"},
    {&PlotMsg_ValuesFormatLabel, u"Values For&mat:"},
    {&PlotMsg_Maximum, u"Maximum"},
    {&PlotMsg_Minimum, u"Minimum"},
    {&PlotMsg_DesiredIncrement, u"Desired %s Increment"},
    {&PlotMsg_IncorrectValue, u"Incorrect value. Reason: %s"},
    {&PlotMsg_EnterDateTime, u"Enter [Number of Days] [hh:nn:ss]"},
    {&PlotMsg_SureToApply, u"Apply Changes ?"},
    {&PlotMsg_SelectedSeries, u"(Selected Series)"},
    {&PlotMsg_RefreshData, u"&Refresh Data"},
    {&PlotMsg_Number414, u"414"},
    {&PlotMsg_Number347, u"347"},
    {&PlotMsg_GalleryShape, u"Shape"},
    {&PlotMsg_GalleryBubble, u"Bubble"},
    {&PlotMsg_Copy, u"Copy"},
    {&PlotMsg_None, u"(none)"},
    {&PlotMsg_PrivateDeclarations, u"{ Private declarations }"},
    {&PlotMsg_PublicDeclarations, u"{ Public declarations }"},
    {&PlotMsg_AboutMenu, u"Abo&ut VudEvevu..."},
    {&PlotMsg_PageAdditional, u"Additional"},
    {&PlotMsg_PageDataControls, u"Data Controls"},
    {&PlotMsg_PageQReport, u"QReport"},
    {&PlotMsg_Dataset, u"Dataset"},
    {&PlotMsg_DatasetLabel, u"&Dataset:"},
    {&PlotMsg_SingleRecord, u"Single Record"},
    {&PlotMsg_DataSourceLabel, u"&DataSource:"},
    {&PlotMsg_Summary, u"Summary"},
    {&PlotMsg_Business, u"Business"},
    {&PlotMsg_Wizard, u"VudEvevu Wizard"},
    {&PlotMsg_SureToCloseWizard, u"Are you sure that you want to close the VudEvevu Wizard ?"},
    {&PlotMsg_FieldNotFound, u"Field %s does not exist"},
    {&PlotMsg_SampleAbc, u"abc"},
    {&PlotMsg_Sample123, u"123"},
    {&PlotMsg_ValuesStart, u"Start"},
    {&PlotMsg_ValuesEnd, u"End"},
    {&PlotMsg_ValuesNextTask, u"NextTask"},
    {&PlotMsg_ValuesRadius, u"Radius"},
    {&PlotMsg_ValuesEndX, u"EndX"},
    {&PlotMsg_ValuesEndY, u"EndY"},
    {&PlotMsg_Legend, u"Legend"},
    {&PlotMsg_Title, u"Title"},
    {&PlotMsg_Footer, u"Footer"},
    {&PlotMsg_Period, u"Period"},
    {&PlotMsg_PeriodRange, u"Period range"},
    {&PlotMsg_CalculateEvery, u"Calculate %s every:"},
    {&PlotMsg_InvalidChartFile, {}}, // composed
    {&PlotMsg_WrongChartFileFormat, {}}, // composed
    {&PlotMsg_EmptyChartFile, {}}, // composed
    {&PlotMsg_ChartAxes, u"Chart Axes"},
    {&PlotMsg_ChartAxesDescription, u"Chart Axes properties and events"},
    {&PlotMsg_ChartWalls, u"Chart Walls"},
    {&PlotMsg_ChartWallsDescription, u"Chart Walls properties and events"},
    {&PlotMsg_ChartTitles, u"Chart Titles"},
    {&PlotMsg_ChartTitlesDescription, u"Chart Titles properties and events"},
    {&PlotMsg_Chart3D, u"Chart 3D"},
    {&PlotMsg_Chart3DDescription, u"Chart 3D properties and events"},
    {&PlotMsg_Custom, u"Custom "},
    {&PlotMsg_SeriesMenu, u"Series..."},
    {&PlotMsg_PageOfPages, u"Page %d of %d"},
    {&PlotMsg_Bytes, u"%d bytes"},
    {&PlotMsg_NavigatorFirst, u"First"},
    {&PlotMsg_NavigatorPrior, u"Prior"},
    {&PlotMsg_NavigatorNext, u"Next"},
    {&PlotMsg_NavigatorLast, u"Last"},
    {&PlotMsg_NavigatorInsert, u"Insert"},
    {&PlotMsg_NavigatorDelete, u"Delete"},
    {&PlotMsg_NavigatorEdit, u"Edit"},
    {&PlotMsg_NavigatorPost, u"Post"},
    {&PlotMsg_NavigatorCancel, u"Cancel"},
    {&PlotMsg_All, u"(all)"},
    {&PlotMsg_Index, u"Index"},
    {&PlotMsg_Text, u"Text"},
    {&PlotMsg_AsBitmap, u"as &Bitmap"},
    {&PlotMsg_BitmapFilter, u"Bitmaps (*.bmp)|*.bmp"},
    {&PlotMsg_AsMetafile, u"as &Metafile"},
    {&PlotMsg_MetafileFilter, u"Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf"},
    {&PlotMsg_ExportPanelNotSet, u"Panel property is not set in Export format"},
    {&PlotMsg_Filled, u"Filled"},
    {&PlotMsg_Rectangle, u"Rectangle"},
    {&PlotMsg_VertLine, u"Vert.Line"},
    {&PlotMsg_HorizLine, u"Horiz.Line"},
    {&PlotMsg_Line, u"Line"},
    {&PlotMsg_Cube, u"Cube"},
    {&PlotMsg_DiagCross, u"Diag.Cross"},
    {&PlotMsg_NoTempFolder, u"Can not find Temp folder"},
    {&PlotMsg_CannotCreateTempFile, u"Can not create Temp file"},
    {&PlotMsg_EmailError, u"Can not email VudEvevu. Mapi Error: %d"},
    {&PlotMsg_NoSeriesSelected, u"No Series selected"},
    {&PlotMsg_DownloadChartError, u"Error code: %d downloading Chart from URL: %s"},
    {&PlotMsg_DownloadSeriesError, u"Error code: %d downloading Series data from URL: %s"},
    {&PlotMsg_AsJPEG, u"as &JPEG"},
    {&PlotMsg_JPEGFilter, u"JPEG files (*.jpg)|*.jpg"},
    {&PlotMsg_AsGIF, u"as &GIF"},
    {&PlotMsg_GIFFilter, u"GIF files (*.gif)|*.gif"},
    {&PlotMsg_AsPNG, u"as &PNG"},
    {&PlotMsg_PNGFilter, u"PNG files (*.png)|*.png"},
    {&PlotMsg_AsPCX, u"as PC&X"},
    {&PlotMsg_PCXFilter, u"PCX files (*.pcx)|*.pcx"},
    {&PlotMsg_AsVML, u"as &VML (HTM)"},
    {&PlotMsg_VMLFilter, u"VML files (*.htm)|*.htm"},
    {&PlotMsg_LanguageMenu, u"&Language..."},
    {&PlotMsg_SureToSave, u"Do you want to save %s?"},
    {&PlotMsg_ChartFileFilter, {}}, // composed
    {&PlotMsg_Property, u"Property"},
    {&PlotMsg_Value, u"Value"},
    {&PlotMsg_Yes, u"Yes"},
    {&PlotMsg_No, u"No"},
    {&PlotMsg_ImageInParens, u"(image)"},
    {&PlotMsg_AsPDF, u"as &PDF"},
    {&PlotMsg_PDFFilter, u"PDF files (*.pdf)|*.pdf"},
    {&PlotMsg_AsPostScript, u"as PostScript"},
    {&PlotMsg_PostScriptFilter, u"PostScript files (*.eps)|*.eps"},
    {&PlotMsg_SelectDatabaseFolder, u"Select database folder"},
    {&PlotMsg_AliasLabel, u"&Alias:"},
    {&PlotMsg_ConnectionLabel, u"&Connection:"},
    {&PlotMsg_ApplyButton, u"&Apply"},
    {&PlotMsg_AddNewGroup, u"Add new group"},
    {&PlotMsg_ChangeGroupName, u"Change group name"},
    {&PlotMsg_GroupNameLabel, u"Group name:"},
    {&PlotMsg_OptionsMenu, u"&Options..."},
    {&PlotMsg_View2D, u"2D"},
    {&PlotMsg_SpaceTextFilter, u"Space delimited text files (*.txt)|*.txt"},
    {&PlotMsg_TabTextFilter, u"Tab delimited text files (*.txt)|*.txt"},
    {&PlotMsg_CommaTextFilter, u"Comma delimited text files (*.csv)|*.csv"},
    {&PlotMsg_ColonTextFilter, u"Colon delimited text files (*.txt)|*.txt"},
    {&PlotMsg_CustomTextFilter, u"Custom delimited text files (*.txt)|*.txt"},
    {&PlotMsg_XMLFilter, u"XML files (*.xml)|*.xml"},
    {&PlotMsg_HTMLFilter, u"HTML files (*.htm)|*.htm"},
    {&PlotMsg_ExcelFilter, u"Microsoft Excel files (*.xls)|*.xls"},
    {&PlotMsg_ViewOrthoRight, u"Ortho Right"},
    {&PlotMsg_ViewOrthoLeft, u"Ortho Left"},
    {&PlotMsg_View3DFront, u"3D Front"},
    {&PlotMsg_View3DRight, u"3D Right"},
    {&PlotMsg_View3DLeft, u"3D Left"},
    {&PlotMsg_AsSVG, u"as &SVG"},
    {&PlotMsg_SVGFilter, u"SVG files (*.svg)|*.svg"},
    {&PlotMsg_SubTitle, u"SubTitle"},
    {&PlotMsg_SubFoot, u"SubFoot"},
};

const TMessageText Table2Texts[] = {
    {&PlotMsg_GalleryPolar, u"Polar"},
    {&PlotMsg_GalleryCandle, u"Candle"},
    {&PlotMsg_GalleryVolume, u"Volume"},
    {&PlotMsg_GallerySurface, u"Surface"},
    {&PlotMsg_GalleryContour, u"Contour"},
    {&PlotMsg_GalleryBezier, u"Bezier"},
    {&PlotMsg_GalleryPoint3D, u"Point 3D"},
    {&PlotMsg_GalleryRadar, u"Radar"},
    {&PlotMsg_GalleryDonut, u"Donut"},
    {&PlotMsg_GalleryCursor, u"Cursor"},
    {&PlotMsg_GalleryBar3D, u"Bar 3D"},
    {&PlotMsg_GalleryBigCandle, u"Big Candle"},
    {&PlotMsg_GalleryLinePoint, u"Line Point"},
    {&PlotMsg_GalleryHistogram, u"Histogram"},
    {&PlotMsg_GalleryWaterFall, u"Water Fall"},
    {&PlotMsg_GalleryWindRose, u"Wind Rose"},
    {&PlotMsg_GalleryClock, u"Clock"},
    {&PlotMsg_GalleryColorGrid, u"Color Grid"},
    {&PlotMsg_GalleryBoxPlot, u"BoxPlot"},
    {&PlotMsg_GalleryHorizBoxPlot, u"Horizontal\rBoxPlot"},
    {&PlotMsg_GalleryBarJoin, u"Bar Join"},
    {&PlotMsg_GallerySmith, u"Smith"},
    {&PlotMsg_GalleryPyramid, u"Pyramid"},
    {&PlotMsg_PolyDegreeRange, u"Polynomial degree must be between 1 and 20"},
    {&PlotMsg_AnswerVectorIndex, u"Answer Vector index must be between 1 and %d"},
    {&PlotMsg_FittingError, u"Cannot process fitting"},
    {&PlotMsg_PeriodNegative, u"Period must be >= 0"},
    {&PlotMsg_ExpAverageWeight, u"ExpAverage Weight must be between 0 and 1"},
    {&PlotMsg_GalleryErrorBar, u"Error Bar"},
    {&PlotMsg_GalleryError, u"Error"},
    {&PlotMsg_GalleryHighLow, u"High-Low"},
    {&PlotMsg_FunctionMomentum, u"Momentum"},
    {&PlotMsg_FunctionMomentumDivision, u"Momentum\rDivision"},
    {&PlotMsg_FunctionExpAverage, u"Exponential\rAverage"},
    {&PlotMsg_FunctionMovingAverage, u"Moving\rAverage"},
    {&PlotMsg_FunctionExpMovingAverage, u"Exp.Moving\rAverage"},
    {&PlotMsg_FunctionRSI, u"R.S.I."},
    {&PlotMsg_FunctionCurveFitting, u"Curve Fitting"},
    {&PlotMsg_FunctionTrend, u"Trend"},
    {&PlotMsg_FunctionExpTrend, u"Exponential\rTrend"},
    {&PlotMsg_FunctionLogTrend, u"Logarithmic\rTrend"},
    {&PlotMsg_FunctionCumulative, u"Cumulative"},
    {&PlotMsg_FunctionStdDeviation, u"Standard\rDeviation"},
    {&PlotMsg_FunctionBollinger, u"Bollinger\rbands"},
    {&PlotMsg_FunctionRootMeanSquare, u"Root Mean\rSquare"},
    {&PlotMsg_FunctionMACD, u"MACD"},
    {&PlotMsg_FunctionStochastic, u"Stochastic"},
    {&PlotMsg_FunctionADX, u"ADX"},
    {&PlotMsg_FunctionCount, u"Count"},
    {&PlotMsg_OpenChartFileMenu, u"Open VudEvevu..."},
    {&PlotMsg_SaveChartFileMenu, u"Save VudEvevu..."},
    {&PlotMsg_ProChartFiles, u"VudEvevu Pro files"},
    {&PlotMsg_GalleryOther, u"Other"},
    {&PlotMsg_GalleryStats, u"Stats"},
    {&PlotMsg_SeriesEditorNotFound, u"Cannot find Series editor Form: %s"},
    {&PlotMsg_ValuesDate, u"Date"},
    {&PlotMsg_ValuesOpen, u"Open"},
    {&PlotMsg_ValuesHigh, u"High"},
    {&PlotMsg_ValuesLow, u"Low"},
    {&PlotMsg_ValuesClose, u"Close"},
    {&PlotMsg_ValuesOffset, u"Offset"},
    {&PlotMsg_ValuesStdError, u"StdError"},
    {&PlotMsg_GalleryGrid3D, u"Grid 3D"},
    {&PlotMsg_BezierPoints, u"Number of Bezier points should be > 1"},
    {&PlotMsg_ToolbarNormal, u"Normal"},
    {&PlotMsg_ToolbarEdit, u"Edit"},
    {&PlotMsg_ToolbarPrint, u"Print"},
    {&PlotMsg_ToolbarCopy, u"Copy"},
    {&PlotMsg_ToolbarSave, u"Save"},
    {&PlotMsg_Toolbar3D, u"3D"},
    {&PlotMsg_RotationStatus, u"Rotation: %d\u00B0 Elevation: %d\u00B0"},
    {&PlotMsg_ToolbarRotate, u"Rotate"},
    {&PlotMsg_OffsetStatus, u"Horiz.Offset: %d Vert.Offset: %d"},
    {&PlotMsg_ToolbarMove, u"Move"},
    {&PlotMsg_ZoomStatus, u"Zoom: %d %%"},
    {&PlotMsg_ToolbarZoom, u"Zoom"},
    {&PlotMsg_DepthStatus, u"3D: %d %%"},
    {&PlotMsg_ToolbarDepth, u"Depth"},
    {&PlotMsg_ToolbarChart, u"Chart"},
    {&PlotMsg_ToolbarPanel, u"Panel"},
    {&PlotMsg_RotateHint, u"Drag %s to Rotate"},
    {&PlotMsg_MoveHint, u"Drag %s to Move"},
    {&PlotMsg_ZoomHint, u"Drag %s to Zoom"},
    {&PlotMsg_DepthHint, u"Drag %s to resize 3D"},
    {&PlotMsg_ZoomScrollHint, u"Drag Left button to Zoom, Right button to Scroll"},
    {&PlotMsg_PieExplodeHint, u"Drag a Pie Slice to Explode it"},
    {&PlotMsg_PieExplodeStatus, u"Slice: %d Exploded: %d %%"},
    {&PlotMsg_TooFewPoints, u"Number of points must be >= 4"},
    {&PlotMsg_ColinearPoints, u"All colinear data points"},
    {&PlotMsg_SimilarPoints, u"Similar XYZ points. Cannot calculate triangles."},
    {&PlotMsg_GalleryTriangleSurface, u"Triangle Surf."},
    {&PlotMsg_GalleryAllSeries, u"All Series"},
    {&PlotMsg_GalleryEdit, u"Edit"},
    {&PlotMsg_GalleryFinancial, u"Financial"},
    {&PlotMsg_ToolCursor, u"Cursor"},
    {&PlotMsg_ToolDragMarks, u"Drag Marks"},
    {&PlotMsg_ToolAxisArrows, u"Axis Arrows"},
    {&PlotMsg_ToolDrawLine, u"Draw Line"},
    {&PlotMsg_ToolNearestPoint, u"Nearest Point"},
    {&PlotMsg_ToolColorBand, u"Color Band"},
    {&PlotMsg_ToolColorLine, u"Color Line"},
    {&PlotMsg_ToolRotate, u"Rotate"},
    {&PlotMsg_ToolMarkTips, u"Mark Tips"},
    {&PlotMsg_ToolAnnotation, u"Annotation"},
    {&PlotMsg_CannotDeleteAncestor, u"Can not delete ancestor"},
    {&PlotMsg_LoadMenu, u"Load..."},
    {&PlotMsg_CategoryChart, u"Chart"},
    {&PlotMsg_CategoryChartSeries, u"Chart Series"},
    {&PlotMsg_Action3D, u"&3D"},
    {&PlotMsg_Action3DHint, u"Switch 2D / 3D"},
    {&PlotMsg_ActionSeriesActive, u"&Active"},
    {&PlotMsg_ActionSeriesActiveHint, u"Show / Hide Series"},
    {&PlotMsg_ActionEditHint, u"Edit Chart"},
    {&PlotMsg_ActionEdit, u"&Edit..."},
    {&PlotMsg_ActionCopyHint, u"Copy to Clipboard"},
    {&PlotMsg_ActionCopy, u"&Copy"},
    {&PlotMsg_ActionPrintHint, u"Print preview Chart"},
    {&PlotMsg_ActionPrint, u"&Print..."},
    {&PlotMsg_ActionAxesHint, u"Show / Hide Axes"},
    {&PlotMsg_ActionAxes, u"&Axes"},
    {&PlotMsg_ActionGridsHint, u"Show / Hide Grids"},
    {&PlotMsg_ActionGrids, u"&Grids"},
    {&PlotMsg_ActionLegendHint, u"Show / Hide Legend"},
    {&PlotMsg_ActionLegend, u"&Legend"},
    {&PlotMsg_ActionEditSeriesHint, u"Edit Series"},
    {&PlotMsg_ActionMarksHint, u"Show / Hide Series Marks"},
    {&PlotMsg_ActionMarks, u"&Marks"},
    {&PlotMsg_ActionSaveHint, u"Save Chart"},
    {&PlotMsg_ActionSave, u"&Save..."},
    {&PlotMsg_StyleBar, u"Bar"},
    {&PlotMsg_StyleNoOpen, u"No Open"},
    {&PlotMsg_StyleNoClose, u"No Close"},
    {&PlotMsg_StyleNoHigh, u"No High"},
    {&PlotMsg_StyleNoLow, u"No Low"},
    {&PlotMsg_StyleWireframe, u"Wireframe"},
    {&PlotMsg_StyleDotFrame, u"Dot Frame"},
    {&PlotMsg_StylePositions, u"Positions"},
    {&PlotMsg_StyleNoGrid, u"No Grid"},
    {&PlotMsg_StyleNoPoint, u"No Point"},
    {&PlotMsg_StyleNoLine, u"No Line"},
    {&PlotMsg_StyleLabels, u"Labels"},
    {&PlotMsg_StyleNoCircle, u"No Circle"},
    {&PlotMsg_StyleLines, u"Lines"},
    {&PlotMsg_StyleBorder, u"Border"},
    {&PlotMsg_ValuesResistance, u"Resistance"},
    {&PlotMsg_ValuesReactance, u"Reactance"},
    {&PlotMsg_Column, u"Column"},
    {&PlotMsg_Separator, u"Separator"},
    {&PlotMsg_Segment, u"Segment "},
    {&PlotMsg_GalleryFunnel, u"Funnel"},
    {&PlotMsg_FunnelPercentFormat, u"0.00 %"},
    {&PlotMsg_FunnelExceedsQuota, u"Exceeds quota"},
    {&PlotMsg_FunnelWithinQuota, u" within quota"},
    {&PlotMsg_FunnelBelowQuota, u" or more below quota"},
    {&PlotMsg_GalleryCalendar, u"Calendar"},
    {&PlotMsg_GalleryDeltaPoint, u"DeltaPoint"},
    {&PlotMsg_GalleryImagePoint, u"ImagePoint"},
    {&PlotMsg_GalleryImageBar, u"ImageBar"},
    {&PlotMsg_SeriesTextFieldIndex, u"SeriesText: Field index should be greater than zero."},
    {&PlotMsg_Origin, u"Origin"},
    {&PlotMsg_Transparency, u"Transparency"},
    {&PlotMsg_Box, u"Box"},
    {&PlotMsg_ExtrOut, u"ExtrOut"},
    {&PlotMsg_MildOut, u"MildOut"},
    {&PlotMsg_PageNumber, u"Page Number"},
    {&PlotMsg_TextFile, u"Text File"},
    {&PlotMsg_DragPoint, u"Drag Point"},
    {&PlotMsg_OpportunityValues, u"OpportunityValues"},
    {&PlotMsg_QuoteValues, u"QuoteValues"},
    {&PlotMsg_Smoothing, u"Smoothing"},
    {&PlotMsg_CrossPoints, u"Cross Points"},
    {&PlotMsg_Grid3DTranspose, u"3D Grid Transpose"},
    {&PlotMsg_Compression, u"Compression"},
    {&PlotMsg_ExtraLegend, u"Extra Legend"},
    {&PlotMsg_FunctionCloseLocationValue, u"Close Location\rValue"},
    {&PlotMsg_FunctionOnBalanceVolume, u"On Balance\rVolume"},
    {&PlotMsg_FunctionCommodityChannelIndex, u"Commodity\rChannel Index"},
    {&PlotMsg_FunctionVolumeOscillator, u"Volume\rOscillator"},
    {&PlotMsg_SeriesAnimation, u"Series Animation"},
    {&PlotMsg_GalleryPointFigure, u"Point & Figure"},
    {&PlotMsg_Up, u"Up"},
    {&PlotMsg_Down, u"Down"},
    {&PlotMsg_GanttDrag, u"Gantt Drag"},
    {&PlotMsg_XMLFile, u"XML file"},
    {&PlotMsg_GridBand, u"Grid Band"},
    {&PlotMsg_Performance, u"Performance"},
    {&PlotMsg_GalleryGauge, u"Gauge"},
    {&PlotMsg_GalleryGauges, u"Gauges"},
    {&PlotMsg_ValuesEndZ, u"EndZ"},
    {&PlotMsg_GalleryVector3D, u"Vector 3D"},
    {&PlotMsg_Gallery3D, u"3D"},
    {&PlotMsg_GalleryTower, u"Tower"},
    {&PlotMsg_StyleSingleColor, u"Single Color"},
    {&PlotMsg_StyleCover, u"Cover"},
    {&PlotMsg_StyleCone, u"Cone"},
    {&PlotMsg_PieSlices, u"Pie Slices"},
    {&PlotMsg_Stop, u"Stop"},
    {&PlotMsg_Execute, u"Execute !"},
    {&PlotMsg_Themes, u"Themes"},
    {&PlotMsg_Lighting2D, u"2D Lighting"},
    {&PlotMsg_Current, u"Current"},
    {&PlotMsg_FunctionCorrelation, u"Correlation"},
    {&PlotMsg_FunctionVariance, u"Variance"},
    {&PlotMsg_GalleryBubble3D, u"Bubble 3D"},
    {&PlotMsg_GalleryHorizHistogram, u"Horizontal\rHistogram"},
    {&PlotMsg_FunctionPerimeter, u"Perimeter"},
    {&PlotMsg_SurfaceNearest, u"Surface Nearest"},
    {&PlotMsg_AxisScroll, u"Axis Scroll"},
    {&PlotMsg_RectangleTool, u"Rectangle"},
    {&PlotMsg_GalleryPolarBar, u"Polar Bar"},
    {&PlotMsg_WapBitmap, u"Wap Bitmap"},
    {&PlotMsg_WapBitmapFilter, u"Wap Bitmaps (*.wbmp)|*.wbmp"},
    {&PlotMsg_ClipSeries, u"Clip Series"},
    {&PlotMsg_SeriesBand, u"Series Band"},
    {&PlotMsg_Facts, u"Facts"},
    {&PlotMsg_FunctionDownsampling, u"Downsampling"},
    {&PlotMsg_Selector, u"Selector"},
    {&PlotMsg_LegendScrollbar, u"Legend Scrollbar"},
    {&PlotMsg_GalleryVolumePipe, u"VolumePipe"},
    {&PlotMsg_DataTable, u"Data Table"},
    {&PlotMsg_SmallDotsPen, u"Small Dots"},
    {&PlotMsg_Reserved1, u""},
    {&PlotMsg_Reserved2, u""},
};

static_assert(std::size(Table1Texts) == 276, "the first table has 276 entries");
static_assert(std::size(Table2Texts) == 223, "the second table has 223 entries");

bool Table1Filled = false;
bool Table2Filled = false;
bool ExtensionReleased = false;

void FillTexts(std::span<const TMessageText> texts)
{
    for (const TMessageText& text : texts)
        if (!text.Text.isNull())
            *text.Entry = text.Text.toString();
}

void EmptyTexts(std::span<const TMessageText> texts)
{
    for (const TMessageText& text : texts)
        *text.Entry = QString();
}

std::vector<QString*> EntriesOf(std::span<const TMessageText> texts)
{
    std::vector<QString*> entries;
    entries.reserve(texts.size());
    for (const TMessageText& text : texts)
        entries.push_back(text.Entry);
    return entries;
}

// Built once at start-up: a later change of the extension leaves them as
// they are.
void ComposeChartFileTexts()
{
    const QString& extension = PlotFileExtension;
    PlotMsg_InvalidChartFile = QStringLiteral("Invalid Chart in *.") + extension + QStringLiteral(" file");
    PlotMsg_WrongChartFileFormat = QStringLiteral("Wrong *.") + extension + QStringLiteral(" file format");
    PlotMsg_EmptyChartFile = QStringLiteral("Empty *.") + extension + QStringLiteral(" file");
    PlotMsg_ChartFileFilter = QStringLiteral("VudEvevu files (*.") + extension + QStringLiteral(")|*.") + extension;
}

} // namespace

QString PlotFileExtension = NativeFileExtension();

void InitializeMessageTable1()
{
    if (Table1Filled)
        return;
    if (ExtensionReleased) {
        PlotFileExtension = NativeFileExtension();
        ExtensionReleased = false;
    }
    FillTexts(Table1Texts);
    ComposeChartFileTexts();
    Table1Filled = true;
}

void InitializeMessageTable2()
{
    if (Table2Filled)
        return;
    FillTexts(Table2Texts);
    Table2Filled = true;
}

void InitializeMessageTexts()
{
    InitializeMessageTable1();
    InitializeMessageTable2();
}

void FinalizeMessageTable1()
{
    EmptyTexts(Table1Texts);
    Table1Filled = false;
}

void FinalizeMessageTable2()
{
    EmptyTexts(Table2Texts);
    Table2Filled = false;
}

void FinalizeMessageTexts()
{
    FinalizeMessageTable1();
    FinalizeMessageTable2();
    PlotFileExtension = QString();
    ExtensionReleased = true;
}

const std::vector<QString*>& MessageTable1()
{
    static const std::vector<QString*> entries = EntriesOf(Table1Texts);
    return entries;
}

const std::vector<QString*>& MessageTable2()
{
    static const std::vector<QString*> entries = EntriesOf(Table2Texts);
    return entries;
}

} // namespace lp
