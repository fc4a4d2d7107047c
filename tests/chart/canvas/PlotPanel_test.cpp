#include "chart/canvas/PlotPanel.h"

#include "platform/core/PropertyInfo.h"
#include "platform/ui/Printer.h"

#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>
#include <QtGui/QPageLayout>
#include <QtPrintSupport/QPrinter>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace lp {
namespace {

// A panel that counts its drawing passes and can paint its frame.
class TTestPanel : public TCustomPlotPanel {
public:
    using TCustomPlotPanel::TCustomPlotPanel;
    void InternalDraw(const TRect& Rect) override
    {
        ++Draws;
        LastRect = Rect;
        if (PaintFrame)
            DrawPanelBevels(Rect);
    }
    int Draws = 0;
    TRect LastRect;
    bool PaintFrame = false;
};

class TRecordingListener : public IPlotEventListener {
public:
    TRecordingListener(std::vector<std::string>& Log, std::string Name) : FLog(Log), FName(std::move(Name)) {}
    void PlotEvent(TPlotEvent& Event) override
    {
        FLog.push_back(FName);
        LastSender = Event.Sender;
        if (auto* mouse = dynamic_cast<TPlotMouseEvent*>(&Event)) {
            LastKind = mouse->Event;
            LastX = mouse->X;
            if (Cancel)
                Event.Sender->SetMouseCancelled(true);
        }
        if (dynamic_cast<TPlotView3DEvent*>(&Event))
            View3DEvents++;
    }
    bool Cancel = false;
    TCustomPlotPanel* LastSender = nullptr;
    int LastKind = -1;
    int LastX = -1;
    int View3DEvents = 0;

private:
    std::vector<std::string>& FLog;
    std::string FName;
};

TRect ChartRectOn(TTestPanel& Panel)
{
    TBitmap bitmap(Panel.Width(), Panel.Height());
    Panel.DrawToCanvas(&bitmap.Canvas(), Panel.GetRectangle());
    return Panel.ChartRectangle();
}

// --- Construction and published defaults ---

TEST(PlotPanelDefaults, NewPanelHasItsDocumentedSizeMarginsAndPrintSettings)
{
    TTestPanel panel;
    EXPECT_EQ(panel.Width(), 400);
    EXPECT_EQ(panel.Height(), 250);
    EXPECT_EQ(panel.MarginLeft(), 3);
    EXPECT_EQ(panel.MarginTop(), 4);
    EXPECT_EQ(panel.MarginRight(), 3);
    EXPECT_EQ(panel.MarginBottom(), 4);
    EXPECT_EQ(panel.MarginUnits(), muPercent);
    EXPECT_EQ(panel.PrintMargins(), (TRect{15, 15, 15, 15}));
    EXPECT_TRUE(panel.PrintProportional());
    EXPECT_EQ(panel.PrintResolution(), 0);
    EXPECT_TRUE(panel.View3D());
    EXPECT_TRUE(panel.InterleaveSameZOrder());
    EXPECT_TRUE(panel.RepaintEnabled());
    EXPECT_TRUE(panel.BufferedDisplay());
    EXPECT_FALSE(panel.Monochrome());
    EXPECT_EQ(panel.BorderRound(), 0);
}

TEST(PlotPanelDefaults, BorderPenIsHiddenWithFlatEndsAndStoresNeither)
{
    TTestPanel panel;
    EXPECT_FALSE(panel.Border()->Visible());
    EXPECT_EQ(panel.Border()->EndStyle(), esFlat);
    EXPECT_FALSE(IsPropertyStored(panel.Border(), "EndStyle"));
    EXPECT_FALSE(IsPropertyStored(panel.Border(), "Visible"));
    panel.Border()->SetEndStyle(esRound);
    EXPECT_TRUE(IsPropertyStored(panel.Border(), "EndStyle"));
}

TEST(PlotPanelDefaults, PublishedDefaultsAreNotStored)
{
    TTestPanel panel;
    for (const char* name : {"MarginLeft", "MarginTop", "MarginRight", "MarginBottom", "MarginUnits",
                             "PrintProportional", "PrintResolution", "View3D", "BorderRound", "Monochrome"})
        EXPECT_FALSE(IsPropertyStored(&panel, name)) << name;
    panel.SetMarginTop(7);
    EXPECT_TRUE(IsPropertyStored(&panel, "MarginTop"));
}

TEST(PlotPanelDefaults, MarginIndexOutsideZeroToThreeIsARangeError)
{
    TTestPanel panel;
    EXPECT_THROW(panel.Margin(4), ERangeError);
    EXPECT_THROW(panel.SetMargin(-1, 2), ERangeError);
    panel.SetMargin(2, 9);
    EXPECT_EQ(panel.MarginRight(), 9);
}

// --- Chart rectangle ---

TEST(PlotPanelChartRect, PercentMarginsOn400x250InsetBy12And10PlusTheBevel)
{
    TTestPanel panel;
    panel.SetBevelOuter(bvNone);
    EXPECT_EQ(ChartRectOn(panel), (TRect{12, 10, 388, 240}));
    EXPECT_EQ(panel.ChartRectWidth(), 376);
    EXPECT_EQ(panel.ChartRectHeight(), 230);
    EXPECT_EQ(panel.ChartCenterX(), 200);
    EXPECT_EQ(panel.ChartCenterY(), 125);

    // Raised outer bevel (1), lowered inner bevel (1), border width 2 and a
    // visible 3-pixel frame pen add 7 on each side.
    panel.SetBevelOuter(bvRaised);
    panel.SetBevelInner(bvLowered);
    panel.SetBorderWidth(2);
    panel.Border()->SetVisible(true);
    panel.Border()->SetWidth(3);
    EXPECT_EQ(ChartRectOn(panel), (TRect{19, 17, 381, 233}));
}

TEST(PlotPanelChartRect, PixelMarginsAreTakenAsGiven)
{
    TTestPanel panel;
    panel.SetBevelOuter(bvNone);
    panel.SetMarginUnits(muPixels);
    EXPECT_EQ(ChartRectOn(panel), (TRect{3, 4, 397, 246}));
}

TEST(PlotPanelChartRect, RightLeftOfLeftEndsOnePixelWideAndEqualEdgesTakeTheControlWidth)
{
    TTestPanel panel;
    panel.SetBevelOuter(bvNone);
    panel.SetMarginUnits(muPixels);
    panel.SetMarginLeft(300);
    panel.SetMarginRight(200);
    TRect r = ChartRectOn(panel);
    EXPECT_EQ(r.Left, 300);
    EXPECT_EQ(r.Right, 301);
    EXPECT_EQ(panel.ChartRectWidth(), 1);

    panel.SetMarginLeft(200);
    panel.SetMarginRight(200);
    r = ChartRectOn(panel);
    EXPECT_EQ(r.Left, 200);
    EXPECT_EQ(r.Right, 600);

    panel.SetMarginTop(-20);
    panel.SetMarginBottom(251);
    r = ChartRectOn(panel);
    EXPECT_EQ(r.Top, 0); // raised to the panel's top
    EXPECT_EQ(r.Bottom, 1);
    panel.SetMarginBottom(250);
    r = ChartRectOn(panel);
    EXPECT_EQ(r.Bottom, 250);
}

TEST(PlotPanelChartRect, FixedChartRectangleIsKept)
{
    TTestPanel panel;
    panel.SetFixedChartRectangle(true);
    panel.SetChartRectangle({-3, -3, 0, 0});
    ChartRectOn(panel);
    EXPECT_EQ(panel.ChartRectangle(), (TRect{-3, -3, 0, 0}));
    EXPECT_EQ(panel.ChartCenterX(), -1);
    EXPECT_EQ(panel.ChartRectWidth(), 3);
}

// --- Drawing passes ---

TEST(PlotPanelDrawing, PassDrawsInternallyIntoTheBoundsAndShowsTheBuffer)
{
    TTestPanel panel;
    TBitmap target(400, 250);
    panel.PaintFrame = true;
    panel.SetBevelOuter(bvLowered);
    panel.DrawToCanvas(&target.Canvas(), panel.GetRectangle());
    EXPECT_EQ(panel.Draws, 1);
    EXPECT_EQ(panel.PanelBounds(), (TRect{0, 0, 400, 250}));
    EXPECT_FALSE(panel.Canvas().Changed());
    // A lowered bevel: shadow on top and left, highlight on right and bottom.
    EXPECT_EQ(target.Canvas().Pixel(0, 5), ColorToRGB(clBtnShadow));
    EXPECT_EQ(target.Canvas().Pixel(399, 5), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(target.Canvas().Pixel(5, 249), ColorToRGB(clBtnHighlight));
}

TEST(PlotPanelDrawing, VisibleFramePenDrawsOutsideTheBevel)
{
    TTestPanel panel;
    panel.PaintFrame = true;
    panel.Border()->SetVisible(true);
    panel.Border()->SetColor(clRed);
    const std::unique_ptr<TBitmap> bitmap = panel.CreateBitmap(clWhite, panel.GetRectangle());
    EXPECT_EQ(bitmap->Canvas().Pixel(0, 100), clRed);
    EXPECT_EQ(bitmap->Canvas().Pixel(399, 100), clRed);
    EXPECT_EQ(bitmap->Canvas().Pixel(1, 100), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(bitmap->Canvas().Pixel(398, 100), ColorToRGB(clBtnShadow));
    EXPECT_EQ(bitmap->Canvas().Pixel(2, 100), clWhite);
}

TEST(PlotPanelDrawing, WideFramePenInsetsTheBevelByItsDrawnWidth)
{
    TTestPanel panel;
    panel.PaintFrame = true;
    panel.Border()->SetVisible(true);
    panel.Border()->SetColor(clRed);
    panel.Border()->SetWidth(4);
    const std::unique_ptr<TBitmap> bitmap = panel.CreateBitmap(clWhite, panel.GetRectangle());
    // Width 4: the frame moves in by 2 at the left and top and by 0 at the
    // right and bottom; the bevel starts one pixel inside it.
    EXPECT_EQ(bitmap->Canvas().Pixel(2, 100), clRed);
    EXPECT_EQ(bitmap->Canvas().Pixel(3, 100), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(bitmap->Canvas().Pixel(398, 100), ColorToRGB(clBtnShadow));
    EXPECT_EQ(bitmap->Canvas().Pixel(200, 248), ColorToRGB(clBtnShadow));
    EXPECT_EQ(bitmap->Canvas().Pixel(200, 100), clWhite);
}

TEST(PlotPanelDrawing, RoundedBorderRoundsFrameAndBevelWithoutAWindow)
{
    // Guards against the first bevel being drawn over a rounded frame.
    TTestPanel panel;
    panel.SetBevelOuter(bvLowered);
    panel.PaintFrame = true;
    panel.Border()->SetVisible(true);
    panel.Border()->SetColor(clRed);
    panel.SetBorderRound(20);
    EXPECT_EQ(panel.BorderRound(), 20);
    EXPECT_FALSE(panel.HandleAllocated());
    const std::unique_ptr<TBitmap> bitmap = panel.CreateBitmap(clWhite, panel.GetRectangle());
    EXPECT_EQ(bitmap->Canvas().Pixel(0, 125), clRed);
    EXPECT_EQ(bitmap->Canvas().Pixel(0, 0), clWhite); // the corner is cut
    EXPECT_EQ(bitmap->Canvas().Pixel(1, 125), ColorToRGB(clBtnShadow));
}

TEST(PlotPanelDrawing, PaintRepaintsFromTheBufferUntilSomethingChanges)
{
    TTestPanel panel;
    TBitmap window(400, 250);
    int afterPaint = 0;
    panel.OnAfterPaint = [&](TCustomPlotPanel*) { ++afterPaint; };
    panel.Paint(window.Canvas());
    panel.Paint(window.Canvas());
    EXPECT_EQ(panel.Draws, 1);
    EXPECT_EQ(afterPaint, 2);
    panel.SetMarginLeft(3); // same value: nothing to redraw
    panel.Paint(window.Canvas());
    EXPECT_EQ(panel.Draws, 1);
    panel.SetMarginLeft(5);
    panel.Paint(window.Canvas());
    EXPECT_EQ(panel.Draws, 2);
    panel.Shadow()->SetHorizSize(4); // owned objects invalidate too
    panel.Paint(window.Canvas());
    EXPECT_EQ(panel.Draws, 3);
}

TEST(PlotPanelDrawing, BitmapIsPrefilledUnlessTheColourIsWhite)
{
    TTestPanel panel;
    const std::unique_ptr<TBitmap> red = panel.CreateBitmap(clRed, panel.GetRectangle());
    EXPECT_EQ(red->Width(), 400);
    EXPECT_EQ(red->Height(), 250);
    EXPECT_EQ(red->Canvas().Pixel(200, 100), clRed);
    EXPECT_EQ(panel.Draws, 1);
    const std::unique_ptr<TBitmap> white = panel.CreateBitmap(clWhite, panel.GetRectangle());
    EXPECT_EQ(white->Canvas().Pixel(200, 100), clWhite);
    // The pass ran unbuffered and the buffering switch is back.
    EXPECT_TRUE(panel.BufferedDisplay());
    EXPECT_FALSE(panel.Canvas().Metafiling());
}

TEST(PlotPanelDrawing, MetafilingFlagIsSetOnlyDuringTheMetaPass)
{
    TTestPanel panel;
    bool seen = false;
    struct TProbe : TTestPanel {
        using TTestPanel::TTestPanel;
        bool* Seen = nullptr;
        void InternalDraw(const TRect&) override { *Seen = Canvas().Metafiling() && !Canvas().GetBufferedDisplay(); }
    } probe;
    probe.Seen = &seen;
    TBitmap bitmap(10, 10);
    probe.DrawToMetaCanvas(&bitmap.Canvas(), {0, 0, 10, 10});
    EXPECT_TRUE(seen);
    EXPECT_FALSE(probe.Canvas().Metafiling());
    EXPECT_TRUE(probe.CanClip());
}

TEST(PlotPanelDrawing, SetBrushCanvasMakesAHatchVisibleAgainstItsBackground)
{
    TTestPanel panel;
    TBitmap bitmap(10, 10);
    panel.Canvas().SetCanvas(&bitmap.Canvas());
    TChartBrush brush;
    brush.SetStyle(bsCross);
    panel.SetBrushCanvas(clRed, brush, clRed);
    EXPECT_EQ(panel.Canvas().Brush()->Color(), clBlack);
    panel.SetBrushCanvas(clBlack, brush, clBlack);
    EXPECT_EQ(panel.Canvas().Brush()->Color(), clWhite);
    brush.SetStyle(bsSolid);
    panel.SetBrushCanvas(clRed, brush, clRed);
    EXPECT_EQ(panel.Canvas().Brush()->Color(), clRed);
    panel.Canvas().SetCanvas(nullptr);
}

TEST(PlotPanelDrawing, AssigningToABitmapOrPictureDrawsThePanelOverItsColour)
{
    TTestPanel panel;
    panel.SetColor(clRed);
    panel.PaintFrame = true;
    TBitmap bitmap;
    bitmap.Assign(&panel);
    EXPECT_EQ(bitmap.Width(), 400);
    EXPECT_EQ(bitmap.Height(), 250);
    EXPECT_EQ(bitmap.Canvas().Pixel(200, 100), clRed);
    EXPECT_EQ(bitmap.Canvas().Pixel(0, 100), ColorToRGB(clBtnHighlight));
    TPicture picture;
    picture.Assign(&panel);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 400);
    TChartPen pen;
    EXPECT_THROW(pen.Assign(&panel), EConvertError);
}

// --- Metafiles ---

struct PlotPanelMetafile : ::testing::Test {
    QTemporaryDir folder;
    QByteArray Read(const QString& name)
    {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
};

TEST_F(PlotPanelMetafile, EmfNameWritesAnEnhancedMetafile)
{
    TTestPanel panel;
    panel.PaintFrame = true;
    panel.SaveToMetafile(folder.filePath("panel.emf"));
    const QByteArray data = Read("panel.emf");
    ASSERT_GT(data.size(), 44);
    EXPECT_EQ(data.mid(40, 4), QByteArray(" EMF"));
    EXPECT_EQ(panel.Draws, 1);
}

TEST_F(PlotPanelMetafile, WmfNameWritesThePlaceableMetafile)
{
    TTestPanel panel;
    panel.PaintFrame = true;
    panel.SaveToMetafile(folder.filePath("panel.wmf"));
    const QByteArray data = Read("panel.wmf");
    ASSERT_GT(data.size(), 22);
    EXPECT_EQ(data.left(4), QByteArray("\xD7\xCD\xC6\x9A", 4));
}

TEST_F(PlotPanelMetafile, CreateMetafileRecordsAtLeastOnePixel)
{
    TTestPanel panel;
    const std::unique_ptr<TMetafile> metafile = panel.CreateMetafile(true, {0, 0, 0, 0});
    EXPECT_TRUE(metafile->Enhanced());
    EXPECT_FALSE(metafile->Empty());
}

TEST_F(PlotPanelMetafile, UnwritableFileRaisesAndLeavesNoFile)
{
    TTestPanel panel;
    const QString name = folder.filePath("missing/panel.emf");
    EXPECT_THROW(panel.SaveToMetafile(name), EFCreateError);
    EXPECT_FALSE(QFile::exists(name));
}

// --- Printing ---

struct TPrintProbe {
    TRect Before;
    bool CanClip = false;
    bool Printing = false;
};

void ProbePrint(TTestPanel& Panel, TPrintProbe& Probe)
{
    Panel.OnBeforePrint = [&Probe](TCustomPlotPanel* Sender, TCanvas&, TRect& R) {
        Probe.Before = R;
        Probe.CanClip = Sender->CanClip();
        Probe.Printing = Sender->Printing();
    };
}

TEST(PlotPanelPrinting, PrintResolutionScalesTheLogicalSize)
{
    struct Row {
        int resolution;
        TRect logical;
    };
    for (const Row& row : {Row{0, {0, 0, 400, 250}}, Row{50, {0, 0, 200, 125}}, Row{-100, {0, 0, 800, 500}}}) {
        TTestPanel panel;
        TPrintProbe probe;
        ProbePrint(panel, probe);
        panel.SetPrintResolution(row.resolution);
        TBitmap page(800, 500);
        panel.PrintPartialCanvas(page.Canvas(), {800, 500, 0, 0});
        EXPECT_EQ(probe.Before, row.logical) << row.resolution;
        EXPECT_TRUE(probe.Printing);
        EXPECT_FALSE(panel.Printing());
        EXPECT_EQ(page.Canvas().Handle().MapMode(), MM_TEXT);
    }
}

TEST(PlotPanelPrinting, PanelIsStretchedOntoThePrinterRectangle)
{
    TTestPanel panel;
    panel.PaintFrame = true;
    panel.Border()->SetVisible(true);
    panel.Border()->SetColor(clRed);
    TBitmap page(820, 520);
    panel.PrintPartialCanvas(page.Canvas(), {10, 10, 810, 510});
    // The 1-pixel frame at logical 0 lands on device 10 .. 11.
    EXPECT_EQ(page.Canvas().Pixel(10, 200), clRed);
    EXPECT_EQ(page.Canvas().Pixel(9, 200), clWhite);
}

TEST(PlotPanelPrinting, ClipWhilePrintingFollowsTheGlobalSwitch)
{
    TTestPanel panel;
    TPrintProbe probe;
    ProbePrint(panel, probe);
    TBitmap page(100, 100);
    panel.PrintPartialCanvas(page.Canvas(), {0, 0, 100, 100});
    EXPECT_TRUE(probe.CanClip);
    PlotClipWhenPrinting = false;
    panel.PrintPartialCanvas(page.Canvas(), {0, 0, 100, 100});
    PlotClipWhenPrinting = true;
    EXPECT_FALSE(probe.CanClip);
}

TEST(PlotPanelPrinting, ErrorDuringPrintRestoresStateAndPropagates)
{
    TTestPanel panel;
    panel.OnBeforePrint = [](TCustomPlotPanel*, TCanvas&, TRect&) { throw EInvalidOperation("stop"); };
    TBitmap page(100, 100);
    EXPECT_THROW(panel.PrintPartialCanvas(page.Canvas(), {0, 0, 100, 100}), EInvalidOperation);
    EXPECT_FALSE(panel.Printing());
    EXPECT_EQ(page.Canvas().Handle().MapMode(), MM_TEXT);
    EXPECT_TRUE(panel.BufferedDisplay());
}

struct PlotPanelPrintJob : ::testing::Test {
    QTemporaryDir folder;
    void SetUp() override
    {
        Printer().SetOutputFileName(folder.filePath("panel.pdf"));
        Printer().SetOrientation(TPrinter::poPortrait);
    }
    void TearDown() override
    {
        if (Printer().Printing())
            Printer().Abort();
        Printer().SetOutputFileName({});
    }
};

TEST_F(PlotPanelPrintJob, ProportionalMarginsKeepTheShapeOnAPortraitPage)
{
    TTestPanel panel;
    const double pw = Printer().PageWidth();
    const double ph = Printer().PageHeight();
    const int expected = static_cast<int>(std::nearbyint(100.0 * (ph - 0.7 * pw * 250.0 / 400.0) / ph)) / 2;
    const TRect margins = panel.CalcProportionalMargins();
    EXPECT_EQ(margins, (TRect{15, expected, 15, expected}));

    const TRect page = panel.CalcPrintRect();
    EXPECT_EQ(panel.PrintMargins(), margins);
    EXPECT_EQ(page.Left, static_cast<int>(std::nearbyint(15 * pw * 0.01)));
    EXPECT_EQ(page.Bottom, Printer().PageHeight() - static_cast<int>(std::nearbyint(expected * ph * 0.01)));
}

// A nearly square panel on a long page (US Legal, portrait) got proportional
// margins below zero, a very flat or thin one two margins of 50 that left it
// no room on the page.
TEST_F(PlotPanelPrintJob, ProportionalMarginsStayOnThePaperWithRoomLeft)
{
    QPrinter& qtPrinter = Printer().QtPrinter();
    const QPageSize oldSize = qtPrinter.pageLayout().pageSize();
    qtPrinter.setPageSize(QPageSize(QPageSize::Legal));
    struct TShape {
        const char* Name;
        int Width;
        int Height;
        TRect Expected;
    };
    const TShape shapes[] = {
        {"nearly square", 400, 420, {0, 15, 0, 15}},
        {"flat", 400, 1, {15, 49, 15, 49}},
        {"thin", 1, 400, {49, 15, 49, 15}},
        {"no height", 400, 0, {15, 49, 15, 49}},
    };
    TTestPanel panel;
    for (const TShape& shape : shapes) {
        SCOPED_TRACE(shape.Name);
        panel.SetBounds(0, 0, shape.Width, shape.Height);
        EXPECT_EQ(panel.CalcProportionalMargins(), shape.Expected);
    }
    qtPrinter.setPageSize(oldSize);
}

TEST_F(PlotPanelPrintJob, PanelPrintedBetweenBeginAndEndGivesAOnePagePdf)
{
    TTestPanel panel;
    panel.PaintFrame = true;
    panel.Border()->SetVisible(true);
    Printer().BeginDoc();
    const TRect rect = panel.CalcPrintRect();
    panel.PrintPartial(rect);
    const int pageWidth = Printer().PageWidth();
    const int pageHeight = Printer().PageHeight();
    const int resolution = Printer().Resolution();
    const QRectF paper = Printer().QtPrinter().pageLayout().fullRect(QPageLayout::Point);
    Printer().EndDoc();
    EXPECT_EQ(panel.Draws, 1);

    QFile file(folder.filePath("panel.pdf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString data = QString::fromLatin1(file.readAll());
    int pages = 0;
    auto it = QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)")).globalMatch(data);
    while (it.hasNext()) {
        it.next();
        ++pages;
    }
    EXPECT_EQ(pages, 1);
    const QRegularExpressionMatch box =
        QRegularExpression(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)")).match(data);
    ASSERT_TRUE(box.hasMatch());
    EXPECT_NEAR(box.captured(1).toDouble(), paper.width(), 1.0);
    EXPECT_NEAR(box.captured(2).toDouble(), paper.height(), 1.0);
    // The page in points is at least the printable area in points.
    EXPECT_GE(box.captured(1).toDouble() + 1.0, pageWidth * 72.0 / resolution);
    EXPECT_GE(box.captured(2).toDouble() + 1.0, pageHeight * 72.0 / resolution);
    EXPECT_GT(box.captured(2).toDouble(), box.captured(1).toDouble());
}

// --- Mouse and listeners ---

TEST(PlotPanelListeners, EventsReachListenersInOrderUntilOneCancels)
{
    TTestPanel panel;
    std::vector<std::string> log;
    TRecordingListener first(log, "first"), second(log, "second");
    EXPECT_EQ(panel.Listeners().Add(&first), 0);
    EXPECT_EQ(panel.Listeners().Add(&second), 1);
    EXPECT_EQ(panel.Listeners().Add(&first), 0);
    EXPECT_EQ(panel.Listeners().Count(), 2);

    panel.MouseDown(mbLeft, {}, 5, 6);
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(second.LastSender, &panel);
    EXPECT_EQ(second.LastKind, TPlotMouseEvent::meDown);

    log.clear();
    first.Cancel = true;
    panel.MouseMove({}, 7, 8);
    EXPECT_EQ(log, (std::vector<std::string>{"first"}));
    EXPECT_TRUE(panel.MouseCancelled());

    // MouseUp does not reset the flag, so the cancelled event stays cancelled.
    log.clear();
    first.Cancel = false;
    panel.MouseUp(mbLeft, {}, 7, 8);
    EXPECT_EQ(log, (std::vector<std::string>{"first"}));

    // A new press starts uncancelled.
    log.clear();
    panel.MouseDown(mbLeft, {}, 1, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second"}));

    panel.RemoveListener(&first);
    log.clear();
    panel.MouseMove({}, 9, 9);
    EXPECT_EQ(log, (std::vector<std::string>{"second"}));
    EXPECT_EQ(second.LastKind, TPlotMouseEvent::meMove);
    EXPECT_EQ(second.LastX, 9);
    EXPECT_THROW(panel.Listeners().Item(1), ERangeError);
}

TEST(PlotPanelListeners, View3DChangeIsBroadcastOnce)
{
    TTestPanel panel;
    std::vector<std::string> log;
    TRecordingListener listener(log, "l");
    panel.Listeners().Add(&listener);
    panel.SetView3D(true);
    EXPECT_EQ(listener.View3DEvents, 0);
    panel.SetView3D(false);
    EXPECT_EQ(listener.View3DEvents, 1);
    EXPECT_FALSE(panel.View3D());
}

TEST(PlotPanelListeners, DoubleClickCancelledByAHandlerEndsTheActionSilently)
{
    TTestPanel panel;
    panel.OnDblClick = [&panel](TControl*) { panel.SetMouseCancelled(true); };
    EXPECT_THROW(panel.DblClick(), EAbort);
    QString shown;
    Application().ShowMessageHook = [&](const QString& message) { shown = message; };
    Application().HandleException(EAbort());
    Application().ShowMessageHook = nullptr;
    EXPECT_TRUE(shown.isEmpty());
    panel.OnDblClick = {};
    EXPECT_NO_THROW(panel.DblClick());
}

TEST(PlotPanelListeners, MouseLeaveRestoresTheCursorAndEndsPanning)
{
    TTestPanel panel;
    panel.Panning().Activate(3, 4);
    panel.ShowCursor(crCross);
    panel.MouseLeave();
    EXPECT_EQ(panel.Cursor(), crDefault);
    EXPECT_FALSE(panel.Panning().Active);
    // The panel's own cursor is what leaving restores.
    panel.SetCursor(crHandPoint);
    panel.ShowCursor(crCross);
    panel.MouseLeave();
    EXPECT_EQ(panel.Cursor(), crHandPoint);
}

TEST(PlotPanelListeners, PanningCornersNormalise)
{
    TZoomPanning panning;
    panning.Activate(10, 20);
    EXPECT_TRUE(panning.Active);
    panning.X1 = 2;
    panning.Y1 = 5;
    panning.NormalizeRect();
    EXPECT_EQ(panning.X0, 2);
    EXPECT_EQ(panning.Y0, 5);
    EXPECT_EQ(panning.X1, 10);
    EXPECT_EQ(panning.Y1, 20);
}

// --- Assign and old stored names ---

TEST(PlotPanelStorage, LoadingTakesTheCursorToRestore)
{
    TTestPanel panel;
    panel.ShowCursor(crCross);
    EXPECT_EQ(panel.SavedCursor(), crDefault);
    panel.Loaded();
    EXPECT_EQ(panel.SavedCursor(), crCross);
}

// The stored Cursor is the panel's own: what SetCursor (and reading) sets,
// not what a passing state shows.
TEST(PlotPanelStorage, TheStoredCursorIsThePanelsOwn)
{
    TTestPanel panel;
    panel.SetCursor(crCross);
    EXPECT_EQ(panel.Cursor(), crCross);
    EXPECT_EQ(panel.SavedCursor(), crCross);
    panel.ShowCursor(crHandPoint);
    EXPECT_EQ(panel.Cursor(), crHandPoint);
    EXPECT_EQ(panel.property("Cursor").toInt(), crCross);
    EXPECT_TRUE(panel.setProperty("Cursor", crSizeAll));
    EXPECT_EQ(panel.Cursor(), crSizeAll);
    EXPECT_EQ(panel.SavedCursor(), crSizeAll);
}

TEST(PlotPanelStorage, OldBorderStyleSetsTheFramePenVisibility)
{
    TTestPanel panel;
    EXPECT_TRUE(panel.ReadOldProperty("BorderStyle", QStringLiteral("bsSingle")));
    EXPECT_TRUE(panel.Border()->Visible());
    EXPECT_TRUE(panel.ReadOldProperty("BorderStyle", QStringLiteral("bsNone")));
    EXPECT_FALSE(panel.Border()->Visible());
    EXPECT_FALSE(panel.ReadOldProperty("BorderColor", QStringLiteral("clRed")));
}

TEST(PlotPanelStorage, AssignCopiesPanelSettingsWithoutTellingListeners)
{
    TTestPanel source;
    source.SetMarginLeft(9);
    source.SetMarginUnits(muPixels);
    source.SetPrintResolution(25);
    source.SetPrintMargins({1, 2, 3, 4});
    source.SetView3D(false);
    source.SetColor(clRed);
    source.Border()->SetVisible(true);
    source.Shadow()->SetHorizSize(6);
    source.View3DOptions()->SetZoom(150);
    source.SetMonochrome(true);

    TTestPanel target;
    std::vector<std::string> log;
    TRecordingListener listener(log, "l");
    target.Listeners().Add(&listener);
    target.Assign(&source);
    EXPECT_EQ(target.MarginLeft(), 9);
    EXPECT_EQ(target.MarginUnits(), muPixels);
    EXPECT_EQ(target.PrintResolution(), 25);
    EXPECT_EQ(target.PrintMargins(), (TRect{1, 2, 3, 4}));
    EXPECT_FALSE(target.View3D());
    EXPECT_EQ(listener.View3DEvents, 0);
    EXPECT_EQ(target.Color(), clRed);
    EXPECT_TRUE(target.Border()->Visible());
    EXPECT_EQ(target.Shadow()->HorizSize(), 6);
    EXPECT_EQ(target.View3DOptions()->Zoom(), 150);
    EXPECT_TRUE(target.Monochrome());
}

} // namespace
} // namespace lp
