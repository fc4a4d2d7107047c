#pragma once
// The message texts of the chart library: every caption, gallery name, error
// message and default format text the chart code shows.
//
// Each entry is a mutable process-wide QString named after the text it holds
// after start-up. Code that raises a message or builds a caption reads the
// entry at that moment (formatting it where it holds "%s" or "%d"), so an
// entry replaced at run time reaches every later use; never copy a text into
// a static. A carriage return (character 13) in a text breaks a gallery or
// mark caption into two lines.
//
// The entries form two tables in a fixed order (MessageTable1/2 list them):
//   first table, 276 entries: the engine's texts, the about-box product line
//     and four chart file texts composed from PlotFileExtension;
//   second table, 223 entries: the texts of the extension series, functions
//     and tools, the chart actions and the 3-D editor.
// Entries are empty until the start-up routine calls InitializeMessageTexts
// (before any chart exists) and empty again after FinalizeMessageTexts.
// Everything here runs on the user-interface thread.

#include <QtCore/QString>

#include <vector>

namespace lp {

// The native chart file extension, without the dot: "vud" from the start.
// Read by the chart file storage and export code; released (emptied) by
// FinalizeMessageTexts.
extern QString PlotFileExtension;

// Fill a table with its texts in table order. Each runs once: a second call
// changes nothing, so entries replaced at run time keep their text. Once the
// table has been finalised, a call fills it afresh (and, after
// FinalizeMessageTexts, gives PlotFileExtension its "vud" again).
void InitializeMessageTable1();
void InitializeMessageTable2();
void InitializeMessageTexts(); // both tables

// Set every entry of a table to the empty text.
void FinalizeMessageTable1();
void FinalizeMessageTable2();
void FinalizeMessageTexts(); // both tables, and releases PlotFileExtension

// The entries of a table in table order: 276 and 223 distinct variables.
const std::vector<QString*>& MessageTable1();
const std::vector<QString*>& MessageTable2();

// First table.
//
// Legend.
inline QString PlotMsg_LegendFirstValue;

// Series and data sources.
inline QString PlotMsg_CheckDataSource;
inline QString PlotMsg_InvalidDataSource;
inline QString PlotMsg_FillSampleCount;
inline QString PlotMsg_SeriesDeleteOutOfBounds;
inline QString PlotMsg_CircularSeries;
inline QString PlotMsg_ValuesX;
inline QString PlotMsg_ValuesY;
inline QString PlotMsg_Normal;
inline QString PlotMsg_Series;
inline QString PlotMsg_Other;

// Axes.
inline QString PlotMsg_AxisLogDateTime;
inline QString PlotMsg_AxisLabelsSeparation;
inline QString PlotMsg_AxisIncrementNegative;
inline QString PlotMsg_AxisMinimumAboveMaximum;
inline QString PlotMsg_AxisMaximumBelowMinimum;
inline QString PlotMsg_AxisLogBase;
inline QString PlotMsg_TopAxis;
inline QString PlotMsg_BottomAxis;
inline QString PlotMsg_LeftAxis;
inline QString PlotMsg_RightAxis;
inline QString PlotMsg_DepthRightAxis;
inline QString PlotMsg_DepthTopAxis;

// Chart panel and paging.
inline QString PlotMsg_MaxPointsPerPage;
inline QString PlotMsg_Chart3DPercent;

// Marks: a value of a total, and the default percent and value formats.
inline QString PlotMsg_ValueOfTotal;
inline QString PlotMsg_ValueOfTotalTwoLines;
inline QString PlotMsg_DefaultPercentFormat;
inline QString PlotMsg_DefaultValueFormat;

// Series pointer.
inline QString PlotMsg_PointerSize;

// Functions.
inline QString PlotMsg_FunctionPeriod;
inline QString PlotMsg_FunctionAdd;
inline QString PlotMsg_FunctionSubtract;
inline QString PlotMsg_FunctionMultiply;
inline QString PlotMsg_FunctionDivide;
inline QString PlotMsg_FunctionHigh;
inline QString PlotMsg_FunctionLow;
inline QString PlotMsg_FunctionAverage;
inline QString PlotMsg_FunctionCustom; // the custom function, "y = f(x)"
inline QString PlotMsg_FunctionMedian;
inline QString PlotMsg_FunctionMode;

// Series type names and gallery pages (\r breaks a caption in two lines).
inline QString PlotMsg_GalleryLine;
inline QString PlotMsg_GalleryPoint;
inline QString PlotMsg_GalleryArea;
inline QString PlotMsg_GalleryBar;
inline QString PlotMsg_GalleryHorizBar;
inline QString PlotMsg_GalleryPie;
inline QString PlotMsg_GalleryFastLine;
inline QString PlotMsg_GalleryHorizLine;
inline QString PlotMsg_GalleryHorizArea;
inline QString PlotMsg_GalleryStandard;
inline QString PlotMsg_GalleryExtended;
inline QString PlotMsg_GalleryMap;
inline QString PlotMsg_GalleryImage;
inline QString PlotMsg_GalleryColorRange;
inline QString PlotMsg_GalleryAngle;

// Labels of the random sample values a series fills itself with.
inline QString PlotMsg_SampleCars;
inline QString PlotMsg_SamplePhones;
inline QString PlotMsg_SampleTables;
inline QString PlotMsg_SampleMonitors;
inline QString PlotMsg_SampleLamps;
inline QString PlotMsg_SampleKeyboards;
inline QString PlotMsg_SampleBikes;
inline QString PlotMsg_SampleChairs;

// Sub-gallery styles of the standard series.
inline QString PlotMsg_StyleStack;
inline QString PlotMsg_StyleStack100;
inline QString PlotMsg_StyleSelfStacked;
inline QString PlotMsg_StyleNoBorder;
inline QString PlotMsg_StyleDotted;
inline QString PlotMsg_StyleColors;
inline QString PlotMsg_StyleMarks;
inline QString PlotMsg_StyleStairs;
inline QString PlotMsg_StylePoints;
inline QString PlotMsg_StyleHeight;
inline QString PlotMsg_StyleHollow;
inline QString PlotMsg_StylePoint2D;
inline QString PlotMsg_StyleTriangle;
inline QString PlotMsg_StyleStar;
inline QString PlotMsg_StyleCircle;
inline QString PlotMsg_StyleDownTriangle;
inline QString PlotMsg_StyleCross;
inline QString PlotMsg_StyleDiamond;
inline QString PlotMsg_StyleNoLines;
inline QString PlotMsg_StylePyramid;
inline QString PlotMsg_StyleEllipse;
inline QString PlotMsg_StyleInvPyramid;
inline QString PlotMsg_StyleSides;
inline QString PlotMsg_StyleSideAll;
inline QString PlotMsg_StylePatterns;
inline QString PlotMsg_StyleExploded;
inline QString PlotMsg_StyleShadow;
inline QString PlotMsg_StyleSemiPie;
inline QString PlotMsg_StyleDarkBorder;
inline QString PlotMsg_StyleGradient;
inline QString PlotMsg_StyleOutline;

// Canvas defaults and the small attribute dialogs.
inline QString PlotMsg_DefaultFontSize;
inline QString PlotMsg_DefaultFontName;
inline QString PlotMsg_SureToDelete;
inline QString PlotMsg_ClearImage;
inline QString PlotMsg_BrowseImage;

// The product line of the about box.
inline QString PlotMsg_AboutProductLine;

// Editor, gallery and wizard texts.
inline QString PlotMsg_Test;
inline QString PlotMsg_LegendColorWidth;
inline QString PlotMsg_AxisLogNotPositive;
inline QString PlotMsg_Need16kColors;
inline QString PlotMsg_ExponentFormat; // exponent format
inline QString PlotMsg_AxisTitle;
inline QString PlotMsg_AxisLabels;
inline QString PlotMsg_RefreshInterval;
inline QString PlotMsg_SeriesParentNotSelf;
inline QString PlotMsg_Circled;
inline QString PlotMsg_FontCourierNew;
inline QString PlotMsg_Editing;
inline QString PlotMsg_Functions;
inline QString PlotMsg_EditChartMenu;
inline QString PlotMsg_PrintPreviewMenu;
inline QString PlotMsg_ExportChartMenu;
inline QString PlotMsg_CustomAxesMenu;
inline QString PlotMsg_InvalidEditorClass;
inline QString PlotMsg_NoEditorDialog;
inline QString PlotMsg_GalleryArrow;
inline QString PlotMsg_WizardFinish;
inline QString PlotMsg_WizardNext;
inline QString PlotMsg_GalleryGantt;
inline QString PlotMsg_SampleDesign;
inline QString PlotMsg_SamplePrototyping;
inline QString PlotMsg_SampleDevelopment;
inline QString PlotMsg_SampleSales;
inline QString PlotMsg_SampleMarketing;
inline QString PlotMsg_SampleTesting;
inline QString PlotMsg_SampleManufacturing;
inline QString PlotMsg_SampleDebugging;
inline QString PlotMsg_SampleNewVersion;
inline QString PlotMsg_SampleBanking;
inline QString PlotMsg_ChangeSeriesTitle;
inline QString PlotMsg_NewSeriesTitle;
inline QString PlotMsg_DateTime;
inline QString PlotMsg_DateTimeFormatLabel;
inline QString PlotMsg_Default;
inline QString PlotMsg_ValuesFormatLabel;
inline QString PlotMsg_Maximum;
inline QString PlotMsg_Minimum;
inline QString PlotMsg_DesiredIncrement;
inline QString PlotMsg_IncorrectValue;
inline QString PlotMsg_EnterDateTime;
inline QString PlotMsg_SureToApply;
inline QString PlotMsg_SelectedSeries;
inline QString PlotMsg_RefreshData;
inline QString PlotMsg_Number414;
inline QString PlotMsg_Number347;
inline QString PlotMsg_GalleryShape;
inline QString PlotMsg_GalleryBubble;
inline QString PlotMsg_Copy;
inline QString PlotMsg_None;
inline QString PlotMsg_PrivateDeclarations;
inline QString PlotMsg_PublicDeclarations;
inline QString PlotMsg_AboutMenu;
inline QString PlotMsg_PageAdditional;
inline QString PlotMsg_PageDataControls;
inline QString PlotMsg_PageQReport;
inline QString PlotMsg_Dataset;
inline QString PlotMsg_DatasetLabel;
inline QString PlotMsg_SingleRecord;
inline QString PlotMsg_DataSourceLabel;
inline QString PlotMsg_Summary;
inline QString PlotMsg_Business;
inline QString PlotMsg_Wizard;
inline QString PlotMsg_SureToCloseWizard;
inline QString PlotMsg_FieldNotFound;
inline QString PlotMsg_SampleAbc;
inline QString PlotMsg_Sample123;
inline QString PlotMsg_ValuesStart;
inline QString PlotMsg_ValuesEnd;
inline QString PlotMsg_ValuesNextTask;
inline QString PlotMsg_ValuesRadius;
inline QString PlotMsg_ValuesEndX;
inline QString PlotMsg_ValuesEndY;
inline QString PlotMsg_Legend;
inline QString PlotMsg_Title;
inline QString PlotMsg_Footer;
inline QString PlotMsg_Period;
inline QString PlotMsg_PeriodRange;
inline QString PlotMsg_CalculateEvery;

// Chart file messages, composed at start-up from PlotFileExtension; a later
// change of the extension does not change them.
inline QString PlotMsg_InvalidChartFile;
inline QString PlotMsg_WrongChartFileFormat;
inline QString PlotMsg_EmptyChartFile;

// Editor pages, data navigator and export texts.
inline QString PlotMsg_ChartAxes;
inline QString PlotMsg_ChartAxesDescription;
inline QString PlotMsg_ChartWalls;
inline QString PlotMsg_ChartWallsDescription;
inline QString PlotMsg_ChartTitles;
inline QString PlotMsg_ChartTitlesDescription;
inline QString PlotMsg_Chart3D;
inline QString PlotMsg_Chart3DDescription;
inline QString PlotMsg_Custom;
inline QString PlotMsg_SeriesMenu;
inline QString PlotMsg_PageOfPages;
inline QString PlotMsg_Bytes;
inline QString PlotMsg_NavigatorFirst;
inline QString PlotMsg_NavigatorPrior;
inline QString PlotMsg_NavigatorNext;
inline QString PlotMsg_NavigatorLast;
inline QString PlotMsg_NavigatorInsert;
inline QString PlotMsg_NavigatorDelete;
inline QString PlotMsg_NavigatorEdit;
inline QString PlotMsg_NavigatorPost;
inline QString PlotMsg_NavigatorCancel;
inline QString PlotMsg_All;
inline QString PlotMsg_Index;
inline QString PlotMsg_Text;
inline QString PlotMsg_AsBitmap;
inline QString PlotMsg_BitmapFilter;
inline QString PlotMsg_AsMetafile;
inline QString PlotMsg_MetafileFilter;
inline QString PlotMsg_ExportPanelNotSet;
inline QString PlotMsg_Filled;
inline QString PlotMsg_Rectangle;
inline QString PlotMsg_VertLine;
inline QString PlotMsg_HorizLine;
inline QString PlotMsg_Line;
inline QString PlotMsg_Cube;
inline QString PlotMsg_DiagCross;
inline QString PlotMsg_NoTempFolder;
inline QString PlotMsg_CannotCreateTempFile;
inline QString PlotMsg_EmailError;
inline QString PlotMsg_NoSeriesSelected;
inline QString PlotMsg_DownloadChartError;
inline QString PlotMsg_DownloadSeriesError;
inline QString PlotMsg_AsJPEG;
inline QString PlotMsg_JPEGFilter;
inline QString PlotMsg_AsGIF;
inline QString PlotMsg_GIFFilter;
inline QString PlotMsg_AsPNG;
inline QString PlotMsg_PNGFilter;
inline QString PlotMsg_AsPCX;
inline QString PlotMsg_PCXFilter;
inline QString PlotMsg_AsVML;
inline QString PlotMsg_VMLFilter;
inline QString PlotMsg_LanguageMenu;
inline QString PlotMsg_SureToSave;
inline QString PlotMsg_ChartFileFilter; // open/save filter, composed like the messages above
inline QString PlotMsg_Property;
inline QString PlotMsg_Value;
inline QString PlotMsg_Yes;
inline QString PlotMsg_No;
inline QString PlotMsg_ImageInParens;
inline QString PlotMsg_AsPDF;
inline QString PlotMsg_PDFFilter;
inline QString PlotMsg_AsPostScript;
inline QString PlotMsg_PostScriptFilter;
inline QString PlotMsg_SelectDatabaseFolder;
inline QString PlotMsg_AliasLabel;
inline QString PlotMsg_ConnectionLabel;
inline QString PlotMsg_ApplyButton;
inline QString PlotMsg_AddNewGroup;
inline QString PlotMsg_ChangeGroupName;
inline QString PlotMsg_GroupNameLabel;
inline QString PlotMsg_OptionsMenu;
inline QString PlotMsg_View2D;
inline QString PlotMsg_SpaceTextFilter;
inline QString PlotMsg_TabTextFilter;
inline QString PlotMsg_CommaTextFilter;
inline QString PlotMsg_ColonTextFilter;
inline QString PlotMsg_CustomTextFilter;
inline QString PlotMsg_XMLFilter;
inline QString PlotMsg_HTMLFilter;
inline QString PlotMsg_ExcelFilter;
inline QString PlotMsg_ViewOrthoRight;
inline QString PlotMsg_ViewOrthoLeft;
inline QString PlotMsg_View3DFront;
inline QString PlotMsg_View3DRight;
inline QString PlotMsg_View3DLeft;
inline QString PlotMsg_AsSVG;
inline QString PlotMsg_SVGFilter;
inline QString PlotMsg_SubTitle;
inline QString PlotMsg_SubFoot;

// Second table.
//
// Extended series type names.
inline QString PlotMsg_GalleryPolar;
inline QString PlotMsg_GalleryCandle;
inline QString PlotMsg_GalleryVolume;
inline QString PlotMsg_GallerySurface;
inline QString PlotMsg_GalleryContour;
inline QString PlotMsg_GalleryBezier;
inline QString PlotMsg_GalleryPoint3D;
inline QString PlotMsg_GalleryRadar;
inline QString PlotMsg_GalleryDonut;
inline QString PlotMsg_GalleryCursor;
inline QString PlotMsg_GalleryBar3D;
inline QString PlotMsg_GalleryBigCandle;
inline QString PlotMsg_GalleryLinePoint;
inline QString PlotMsg_GalleryHistogram;
inline QString PlotMsg_GalleryWaterFall;
inline QString PlotMsg_GalleryWindRose;
inline QString PlotMsg_GalleryClock;
inline QString PlotMsg_GalleryColorGrid;
inline QString PlotMsg_GalleryBoxPlot;
inline QString PlotMsg_GalleryHorizBoxPlot;
inline QString PlotMsg_GalleryBarJoin;
inline QString PlotMsg_GallerySmith;
inline QString PlotMsg_GalleryPyramid;

// Functions and their errors.
inline QString PlotMsg_PolyDegreeRange;
inline QString PlotMsg_AnswerVectorIndex;
inline QString PlotMsg_FittingError;
inline QString PlotMsg_PeriodNegative;
inline QString PlotMsg_ExpAverageWeight;
inline QString PlotMsg_GalleryErrorBar;
inline QString PlotMsg_GalleryError;
inline QString PlotMsg_GalleryHighLow;
inline QString PlotMsg_FunctionMomentum;
inline QString PlotMsg_FunctionMomentumDivision;
inline QString PlotMsg_FunctionExpAverage;
inline QString PlotMsg_FunctionMovingAverage;
inline QString PlotMsg_FunctionExpMovingAverage;
inline QString PlotMsg_FunctionRSI;
inline QString PlotMsg_FunctionCurveFitting;
inline QString PlotMsg_FunctionTrend;
inline QString PlotMsg_FunctionExpTrend;
inline QString PlotMsg_FunctionLogTrend;
inline QString PlotMsg_FunctionCumulative;
inline QString PlotMsg_FunctionStdDeviation;
inline QString PlotMsg_FunctionBollinger;
inline QString PlotMsg_FunctionRootMeanSquare;
inline QString PlotMsg_FunctionMACD;
inline QString PlotMsg_FunctionStochastic;
inline QString PlotMsg_FunctionADX;
inline QString PlotMsg_FunctionCount;

// Chart files, gallery pages and value lists.
inline QString PlotMsg_OpenChartFileMenu;
inline QString PlotMsg_SaveChartFileMenu;
inline QString PlotMsg_ProChartFiles;
inline QString PlotMsg_GalleryOther;
inline QString PlotMsg_GalleryStats;
inline QString PlotMsg_SeriesEditorNotFound;
inline QString PlotMsg_ValuesDate;
inline QString PlotMsg_ValuesOpen;
inline QString PlotMsg_ValuesHigh;
inline QString PlotMsg_ValuesLow;
inline QString PlotMsg_ValuesClose;
inline QString PlotMsg_ValuesOffset;
inline QString PlotMsg_ValuesStdError;
inline QString PlotMsg_GalleryGrid3D;
inline QString PlotMsg_BezierPoints;

// 3-D editor: buttons, status texts and drag hints.
inline QString PlotMsg_ToolbarNormal;
inline QString PlotMsg_ToolbarEdit;
inline QString PlotMsg_ToolbarPrint;
inline QString PlotMsg_ToolbarCopy;
inline QString PlotMsg_ToolbarSave;
inline QString PlotMsg_Toolbar3D;
inline QString PlotMsg_RotationStatus;
inline QString PlotMsg_ToolbarRotate;
inline QString PlotMsg_OffsetStatus;
inline QString PlotMsg_ToolbarMove;
inline QString PlotMsg_ZoomStatus;
inline QString PlotMsg_ToolbarZoom;
inline QString PlotMsg_DepthStatus;
inline QString PlotMsg_ToolbarDepth;
inline QString PlotMsg_ToolbarChart;
inline QString PlotMsg_ToolbarPanel;
inline QString PlotMsg_RotateHint;
inline QString PlotMsg_MoveHint;
inline QString PlotMsg_ZoomHint;
inline QString PlotMsg_DepthHint;
inline QString PlotMsg_ZoomScrollHint;
inline QString PlotMsg_PieExplodeHint;
inline QString PlotMsg_PieExplodeStatus;

// Surfaces, gallery pages and tools.
inline QString PlotMsg_TooFewPoints;
inline QString PlotMsg_ColinearPoints;
inline QString PlotMsg_SimilarPoints;
inline QString PlotMsg_GalleryTriangleSurface;
inline QString PlotMsg_GalleryAllSeries;
inline QString PlotMsg_GalleryEdit;
inline QString PlotMsg_GalleryFinancial;
inline QString PlotMsg_ToolCursor;
inline QString PlotMsg_ToolDragMarks;
inline QString PlotMsg_ToolAxisArrows;
inline QString PlotMsg_ToolDrawLine;
inline QString PlotMsg_ToolNearestPoint;
inline QString PlotMsg_ToolColorBand;
inline QString PlotMsg_ToolColorLine;
inline QString PlotMsg_ToolRotate;
inline QString PlotMsg_ToolMarkTips;
inline QString PlotMsg_ToolAnnotation;

// Editor texts.
inline QString PlotMsg_CannotDeleteAncestor;
inline QString PlotMsg_LoadMenu;

// Chart actions: categories, captions and hints.
inline QString PlotMsg_CategoryChart;
inline QString PlotMsg_CategoryChartSeries;
inline QString PlotMsg_Action3D;
inline QString PlotMsg_Action3DHint;
inline QString PlotMsg_ActionSeriesActive;
inline QString PlotMsg_ActionSeriesActiveHint;
inline QString PlotMsg_ActionEditHint;
inline QString PlotMsg_ActionEdit;
inline QString PlotMsg_ActionCopyHint;
inline QString PlotMsg_ActionCopy;
inline QString PlotMsg_ActionPrintHint;
inline QString PlotMsg_ActionPrint;
inline QString PlotMsg_ActionAxesHint;
inline QString PlotMsg_ActionAxes;
inline QString PlotMsg_ActionGridsHint;
inline QString PlotMsg_ActionGrids;
inline QString PlotMsg_ActionLegendHint;
inline QString PlotMsg_ActionLegend;
inline QString PlotMsg_ActionEditSeriesHint;
inline QString PlotMsg_ActionMarksHint;
inline QString PlotMsg_ActionMarks;
inline QString PlotMsg_ActionSaveHint;
inline QString PlotMsg_ActionSave;

// Sub-gallery styles and the texts of the extension series, functions and tools.
inline QString PlotMsg_StyleBar;
inline QString PlotMsg_StyleNoOpen;
inline QString PlotMsg_StyleNoClose;
inline QString PlotMsg_StyleNoHigh;
inline QString PlotMsg_StyleNoLow;
inline QString PlotMsg_StyleWireframe;
inline QString PlotMsg_StyleDotFrame;
inline QString PlotMsg_StylePositions;
inline QString PlotMsg_StyleNoGrid;
inline QString PlotMsg_StyleNoPoint;
inline QString PlotMsg_StyleNoLine;
inline QString PlotMsg_StyleLabels;
inline QString PlotMsg_StyleNoCircle;
inline QString PlotMsg_StyleLines;
inline QString PlotMsg_StyleBorder;
inline QString PlotMsg_ValuesResistance;
inline QString PlotMsg_ValuesReactance;
inline QString PlotMsg_Column;
inline QString PlotMsg_Separator;
inline QString PlotMsg_Segment;
inline QString PlotMsg_GalleryFunnel;
inline QString PlotMsg_FunnelPercentFormat;
inline QString PlotMsg_FunnelExceedsQuota;
inline QString PlotMsg_FunnelWithinQuota;
inline QString PlotMsg_FunnelBelowQuota;
inline QString PlotMsg_GalleryCalendar;
inline QString PlotMsg_GalleryDeltaPoint;
inline QString PlotMsg_GalleryImagePoint;
inline QString PlotMsg_GalleryImageBar;
inline QString PlotMsg_SeriesTextFieldIndex;
inline QString PlotMsg_Origin;
inline QString PlotMsg_Transparency;
inline QString PlotMsg_Box;
inline QString PlotMsg_ExtrOut;
inline QString PlotMsg_MildOut;
inline QString PlotMsg_PageNumber;
inline QString PlotMsg_TextFile;
inline QString PlotMsg_DragPoint;
inline QString PlotMsg_OpportunityValues;
inline QString PlotMsg_QuoteValues;
inline QString PlotMsg_Smoothing;
inline QString PlotMsg_CrossPoints;
inline QString PlotMsg_Grid3DTranspose;
inline QString PlotMsg_Compression;
inline QString PlotMsg_ExtraLegend;
inline QString PlotMsg_FunctionCloseLocationValue;
inline QString PlotMsg_FunctionOnBalanceVolume;
inline QString PlotMsg_FunctionCommodityChannelIndex;
inline QString PlotMsg_FunctionVolumeOscillator;
inline QString PlotMsg_SeriesAnimation;
inline QString PlotMsg_GalleryPointFigure;
inline QString PlotMsg_Up;
inline QString PlotMsg_Down;
inline QString PlotMsg_GanttDrag;
inline QString PlotMsg_XMLFile;
inline QString PlotMsg_GridBand;
inline QString PlotMsg_Performance;
inline QString PlotMsg_GalleryGauge;
inline QString PlotMsg_GalleryGauges;
inline QString PlotMsg_ValuesEndZ;
inline QString PlotMsg_GalleryVector3D;
inline QString PlotMsg_Gallery3D;
inline QString PlotMsg_GalleryTower;
inline QString PlotMsg_StyleSingleColor;
inline QString PlotMsg_StyleCover;
inline QString PlotMsg_StyleCone;
inline QString PlotMsg_PieSlices;
inline QString PlotMsg_Stop;
inline QString PlotMsg_Execute;
inline QString PlotMsg_Themes;
inline QString PlotMsg_Lighting2D;
inline QString PlotMsg_Current;
inline QString PlotMsg_FunctionCorrelation;
inline QString PlotMsg_FunctionVariance;
inline QString PlotMsg_GalleryBubble3D;
inline QString PlotMsg_GalleryHorizHistogram;
inline QString PlotMsg_FunctionPerimeter;
inline QString PlotMsg_SurfaceNearest;
inline QString PlotMsg_AxisScroll;
inline QString PlotMsg_RectangleTool;
inline QString PlotMsg_GalleryPolarBar;
inline QString PlotMsg_WapBitmap;
inline QString PlotMsg_WapBitmapFilter;
inline QString PlotMsg_ClipSeries;
inline QString PlotMsg_SeriesBand;
inline QString PlotMsg_Facts;
inline QString PlotMsg_FunctionDownsampling;
inline QString PlotMsg_Selector;
inline QString PlotMsg_LegendScrollbar;
inline QString PlotMsg_GalleryVolumePipe;
inline QString PlotMsg_DataTable;

// Pen dialog.
inline QString PlotMsg_SmallDotsPen;

// Reserved: no text; they keep the table at its fixed size.
inline QString PlotMsg_Reserved1;
inline QString PlotMsg_Reserved2;

} // namespace lp
