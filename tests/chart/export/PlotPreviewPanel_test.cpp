// The print preview panel: the sheet and picture rectangles, the hit test
// and its cursors, margin and move drags driven by mouse events on the
// offscreen window, several panels on a sheet, and printing to a PDF that
// pdftoppm renders back.

#include "chart/export/PlotPreviewPanel.h"

#include "chart/canvas/PlotRoutines.h"
#include "tests/chart/export/ExportTestUtil.h"

#include <QtCore/QTemporaryDir>
#include <QtGui/QMouseEvent>
#include <QtPrintSupport/QPrinter>
#include <QtTest/QTest>

#include <functional>
#include <optional>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::CountNear;
using test::TExportChart;

// The printer on A4 portrait, printing into a PDF file of a temporary
// folder; the settings go back afterwards.
struct PrinterOnA4 : ::testing::Test {
    QTemporaryDir Dir;
    QString Pdf = Dir.filePath("preview.pdf");

    void SetUp() override
    {
        Printer().SetOrientation(TPrinter::poPortrait);
        Printer().SetOutputFileName(Pdf);
        Printer().QtPrinter().setPageSize(QPageSize(QPageSize::A4));
    }
    void TearDown() override
    {
        Printer().SetOutputFileName({});
        Printer().SetOrientation(TPrinter::poPortrait);
    }
};

// A preview of one chart, shown offscreen and painted once.
struct PreviewWindow : PrinterOnA4 {
    TExportChart Chart;
    TPlotPreviewPanel Preview;
    QWidget* Window = nullptr;
    std::vector<TRect> Changes;

    void SetUp() override
    {
        PrinterOnA4::SetUp();
        Chart.Chart.SetPrintMargins({10, 10, 10, 10});
        Preview.SetPanel(&Chart.Chart);
        Preview.OnChangeMargins = [this](TPlotPreviewPanel*, bool Disable, const TRect& M) {
            EXPECT_TRUE(Disable);
            Changes.push_back(M);
        };
        Window = Preview.Widget();
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window));
        Window->repaint();
    }
    void Send(QEvent::Type Type, QPoint At, Qt::MouseButtons Buttons)
    {
        QMouseEvent event(Type, QPointF(At), Window->mapToGlobal(QPointF(At)),
                          Type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Buttons, Qt::NoModifier);
        QApplication::sendEvent(Window, &event);
    }
    // Press at From, move through Via (when given) to To, release; the
    // sheet is then painted again.
    void Drag(QPoint From, QPoint To, std::optional<QPoint> Via = {})
    {
        Send(QEvent::MouseMove, From, Qt::NoButton);
        Send(QEvent::MouseButtonPress, From, Qt::LeftButton);
        if (Via)
            Send(QEvent::MouseMove, *Via, Qt::LeftButton);
        Send(QEvent::MouseMove, To, Qt::LeftButton);
        Send(QEvent::MouseButtonRelease, To, Qt::NoButton);
        Window->repaint();
    }
    QImage Picture() { return Window->grab().toImage(); }
};

TEST_F(PrinterOnA4, PaperOfA4PortraitIn432x312)
{
    TPlotPreviewPanel preview;
    EXPECT_EQ(preview.Width(), 432);
    EXPECT_EQ(preview.Height(), 312);
    const QSize page = TPlotPreviewPanel::PageSize();
    EXPECT_NEAR(double(page.width()) / page.height(), 210.0 / 297.0, 0.01);
    const TRect paper = preview.CalcPaperRect();
    // 80 % of the height, starting 10 % from the top, centred across.
    EXPECT_EQ(paper.Top, 31);
    EXPECT_EQ(paper.Height(), 250);
    EXPECT_EQ(paper.Width(), MulDiv(250, page.width(), page.height()));
    EXPECT_EQ(paper.Left, (432 - paper.Width()) / 2);
    // Without a panel the picture sits 15 % inside each edge.
    const TRect image = preview.CalcImageRect(nullptr, paper);
    EXPECT_EQ(image.Left, paper.Left + MulDiv(15, paper.Width(), 100));
    EXPECT_EQ(image.Bottom, paper.Bottom - MulDiv(15, 250, 100));

    // A landscape page in a tall control: the width rules.
    preview.SetOrientation(TPlotPreviewPanel::ppoLandscape);
    preview.SetBounds(0, 0, 200, 400);
    const TRect wide = preview.CalcPaperRect();
    EXPECT_EQ(Printer().Orientation(), TPrinter::poLandscape);
    EXPECT_EQ(wide.Left, 20);
    EXPECT_EQ(wide.Width(), 160);
    EXPECT_EQ(wide.Top, (400 - wide.Height()) / 2);
    EXPECT_LT(wide.Height(), wide.Width());
    preview.OnGetPaperRect = [](TPlotPreviewPanel*, TRect& R) { R = {1, 2, 3, 4}; };
    EXPECT_EQ(preview.CalcPaperRect(), (TRect{1, 2, 3, 4}));
}

TEST_F(PreviewWindow, HitTestWithFivePixelsAndCursors)
{
    const TRect r = Preview.ImageRect();
    const int midX = (r.Left + r.Right) / 2;
    const int midY = (r.Top + r.Bottom) / 2;
    EXPECT_EQ(Preview.HitImage(r.Left + 4, midY), 1);
    EXPECT_EQ(Preview.HitImage(r.Left - 4, midY), 1);
    EXPECT_EQ(Preview.HitImage(r.Left - 5, midY), 0);
    EXPECT_EQ(Preview.HitImage(r.Left + 5, midY), 5);
    EXPECT_EQ(Preview.HitImage(midX, r.Top + 2), 2);
    EXPECT_EQ(Preview.HitImage(r.Right - 1, midY), 3);
    EXPECT_EQ(Preview.HitImage(midX, r.Bottom + 4), 4);
    EXPECT_EQ(Preview.HitImage(r.Left, r.Top), 6);
    EXPECT_EQ(Preview.HitImage(r.Right, r.Top), 7);
    EXPECT_EQ(Preview.HitImage(r.Left, r.Bottom), 8);
    EXPECT_EQ(Preview.HitImage(r.Right + 3, r.Bottom - 3), 9);
    EXPECT_EQ(Preview.HitImage(r.Left - 20, r.Top - 20), 0);

    const std::pair<int, TCursor> cursors[] = {{0, crDefault},   {1, crHSplit},    {2, crVSplit},
                                               {3, crHSplit},    {4, crVSplit},    {5, crPlotHand},
                                               {6, crSizeNWSE},  {7, crSizeNESW},  {8, crSizeNESW},
                                               {9, crSizeNWSE}};
    for (const auto& [hit, cursor] : cursors)
        EXPECT_EQ(TPlotPreviewPanel::CursorOfHit(hit), cursor) << hit;
    Send(QEvent::MouseMove, QPoint(r.Left + 1, midY), Qt::NoButton);
    EXPECT_EQ(Preview.Cursor(), crHSplit);
    Send(QEvent::MouseMove, QPoint(midX, midY), Qt::NoButton);
    EXPECT_EQ(Preview.Cursor(), crPlotHand);

    // Without resizing the edges give the default, the inside still moves.
    Preview.SetAllowResize(false);
    EXPECT_EQ(Preview.HitImage(r.Left, midY), 0);
    EXPECT_EQ(Preview.HitImage(r.Left, r.Top), 0);
    EXPECT_EQ(Preview.HitImage(midX, midY), 5);
    Preview.SetAllowMove(false);
    EXPECT_EQ(Preview.HitImage(midX, midY), 0);
}

TEST_F(PreviewWindow, DraggingTheLeftEdgeToTheMiddleGivesFiftyPerCent)
{
    EXPECT_TRUE(Chart.Chart.PrintProportional());
    const TRect paper = Preview.PaperRect();
    const TRect r = Preview.ImageRect();
    const int midY = (r.Top + r.Bottom) / 2;
    const int middle = paper.Left + paper.Width() / 2;
    Drag(QPoint(r.Left, midY), QPoint(middle, midY), QPoint((r.Left + middle) / 2, midY));
    EXPECT_FALSE(Chart.Chart.PrintProportional());
    EXPECT_EQ(Chart.Chart.PrintMargins().Left, 50);
    ASSERT_EQ(Changes.size(), 2u);
    EXPECT_EQ(Changes.back(), Chart.Chart.PrintMargins());
    EXPECT_EQ(Preview.DragKind(), 0);
    // The repainted sheet puts the picture's left edge at the middle (to
    // the rounding of whole per cents).
    EXPECT_NEAR(Preview.ImageRect().Left, middle, 1);
}

TEST_F(PreviewWindow, EdgesStayInsideThePaperAndBeforeTheOppositeEdge)
{
    const TRect paper = Preview.PaperRect();
    const TRect r = Preview.ImageRect();
    const int midY = (r.Top + r.Bottom) / 2;
    // To the right edge and past it: refused, the left margin stays.
    const int before = Chart.Chart.PrintMargins().Left;
    Drag(QPoint(r.Left, midY), QPoint(r.Right + 10, midY));
    EXPECT_EQ(Chart.Chart.PrintMargins().Left, before);
    // Onto the paper's edge: margin 0.
    Drag(QPoint(r.Left, midY), QPoint(paper.Left, midY));
    EXPECT_EQ(Chart.Chart.PrintMargins().Left, 0);
}

// On a small preview one pixel is about half a per cent: an edge dragged
// onto the opposite one stops where the two margins still leave room, as
// the margin boxes demand of typed margins (a sum below 100).
TEST_F(PreviewWindow, DraggedEdgesOfASmallPreviewStopWhereTypedMarginsWould)
{
    Preview.SetBounds(0, 0, 280, 386);
    const auto start = [this] {
        Chart.Chart.SetPrintMargins({10, 10, 10, 10});
        Preview.Invalidate();
        Window->repaint();
        return Preview.ImageRect();
    };
    struct TEdgeDrag {
        const char* Name;
        std::function<QPoint(const TRect&)> From;
        std::function<QPoint(const TRect&)> To;
    };
    const auto midX = [](const TRect& r) { return (r.Left + r.Right) / 2; };
    const auto midY = [](const TRect& r) { return (r.Top + r.Bottom) / 2; };
    const TEdgeDrag drags[] = {
        {"top", [&](const TRect& r) { return QPoint(midX(r), r.Top); },
         [&](const TRect& r) { return QPoint(midX(r), r.Bottom - 1); }},
        {"bottom", [&](const TRect& r) { return QPoint(midX(r), r.Bottom); },
         [&](const TRect& r) { return QPoint(midX(r), r.Top + 1); }},
        {"left", [&](const TRect& r) { return QPoint(r.Left, midY(r)); },
         [&](const TRect& r) { return QPoint(r.Right - 1, midY(r)); }},
        {"right", [&](const TRect& r) { return QPoint(r.Right, midY(r)); },
         [&](const TRect& r) { return QPoint(r.Left + 1, midY(r)); }},
        {"top-left", [](const TRect& r) { return QPoint(r.Left, r.Top); },
         [](const TRect& r) { return QPoint(r.Right - 1, r.Bottom - 1); }},
    };
    for (const TEdgeDrag& drag : drags) {
        SCOPED_TRACE(drag.Name);
        const TRect r = start();
        Drag(drag.From(r), drag.To(r));
        const TRect m = Chart.Chart.PrintMargins();
        EXPECT_LT(m.Left + m.Right, 100) << m.Left << " + " << m.Right;
        EXPECT_LT(m.Top + m.Bottom, 100) << m.Top << " + " << m.Bottom;
        // Right at the limit, not short of it.
        EXPECT_EQ(std::max(m.Left + m.Right, m.Top + m.Bottom), 99);
        ASSERT_FALSE(Changes.empty());
        EXPECT_EQ(Changes.back(), m);
    }
}

TEST_F(PreviewWindow, MovingThePictureShiftsAllMarginsAndStopsAtThePaperEdge)
{
    Chart.Chart.SetPrintProportional(false);
    Chart.Chart.SetPrintMargins({10, 10, 30, 10});
    Preview.Invalidate();
    Window->repaint();
    const TRect paper = Preview.PaperRect();
    const TRect r = Preview.ImageRect();
    const TRect m0 = Chart.Chart.PrintMargins();
    const QPoint centre((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    const int dx = paper.Width() / 5;
    Drag(centre, centre + QPoint(dx, 0));
    const TRect m1 = Chart.Chart.PrintMargins();
    EXPECT_EQ(m1.Left, m0.Left + 20);
    EXPECT_EQ(m1.Right, m0.Right - 20);
    EXPECT_EQ(m1.Top, m0.Top);
    // Far to the right: the picture stops at the paper's right edge.
    const TRect r1 = Preview.ImageRect();
    const QPoint c1((r1.Left + r1.Right) / 2, (r1.Top + r1.Bottom) / 2);
    Drag(c1, QPoint(paper.Right - 1, c1.y()));
    EXPECT_EQ(Chart.Chart.PrintMargins().Right, 0);
    EXPECT_NEAR(Chart.Chart.PrintMargins().Left, m1.Left + m1.Right, 1);
}

// A drag whose mouse left the paper left the edge where the last move inside
// it had put it, and a move carried the picture off the paper (margins below
// zero). Each now stops at the paper's edge.
TEST_F(PreviewWindow, DragsBeyondThePaperStopAtItsEdges)
{
    const auto midX = [](const TRect& r) { return (r.Left + r.Right) / 2; };
    const auto midY = [](const TRect& r) { return (r.Top + r.Bottom) / 2; };
    struct TBeyond {
        const char* Name;
        std::function<QPoint(const TRect& Image)> From;
        std::function<QPoint(const TRect& Paper, const TRect& Image)> To;
        TRect Expected;
    };
    const TBeyond drags[] = {
        {"left edge", [&](const TRect& r) { return QPoint(r.Left, midY(r)); },
         [&](const TRect& p, const TRect& r) { return QPoint(p.Left - 30, midY(r)); }, {0, 10, 10, 10}},
        {"right edge", [&](const TRect& r) { return QPoint(r.Right, midY(r)); },
         [&](const TRect& p, const TRect& r) { return QPoint(p.Right + 30, midY(r)); }, {10, 10, 0, 10}},
        {"top edge", [&](const TRect& r) { return QPoint(midX(r), r.Top); },
         [&](const TRect& p, const TRect& r) { return QPoint(midX(r), p.Top - 30); }, {10, 0, 10, 10}},
        {"bottom edge", [&](const TRect& r) { return QPoint(midX(r), r.Bottom); },
         [&](const TRect& p, const TRect& r) { return QPoint(midX(r), p.Bottom + 30); }, {10, 10, 10, 0}},
        {"bottom-right corner", [](const TRect& r) { return QPoint(r.Right, r.Bottom); },
         [](const TRect& p, const TRect&) { return QPoint(p.Right + 30, p.Bottom + 30); }, {10, 10, 0, 0}},
        {"top-left corner", [](const TRect& r) { return QPoint(r.Left, r.Top); },
         [](const TRect& p, const TRect&) { return QPoint(p.Left - 30, p.Top - 30); }, {0, 0, 10, 10}},
        // The mouse stays on the paper, the picture would leave it.
        {"move towards the top right", [&](const TRect& r) { return QPoint(midX(r), midY(r)); },
         [](const TRect& p, const TRect&) { return QPoint(p.Right - 1, p.Top); }, {20, 0, 0, 20}},
        // The mouse leaves the paper.
        {"move beyond the bottom left", [&](const TRect& r) { return QPoint(midX(r), midY(r)); },
         [](const TRect& p, const TRect&) { return QPoint(p.Left - 50, p.Bottom + 50); }, {0, 20, 20, 0}},
    };
    for (const TBeyond& drag : drags) {
        SCOPED_TRACE(drag.Name);
        Chart.Chart.SetPrintProportional(false);
        Chart.Chart.SetPrintMargins({10, 10, 10, 10});
        Preview.Invalidate();
        Window->repaint();
        const TRect paper = Preview.PaperRect();
        const TRect r = Preview.ImageRect();
        Changes.clear();
        Drag(drag.From(r), drag.To(paper, r), (drag.From(r) + drag.To(paper, r)) / 2);
        const TRect m = Chart.Chart.PrintMargins();
        // A move keeps the picture's size to the rounding of whole per cents.
        EXPECT_NEAR(m.Left, drag.Expected.Left, 1);
        EXPECT_NEAR(m.Top, drag.Expected.Top, 1);
        EXPECT_NEAR(m.Right, drag.Expected.Right, 1);
        EXPECT_NEAR(m.Bottom, drag.Expected.Bottom, 1);
        // The edge that met the paper's edge is exactly on it.
        for (const auto& [got, expected] : {std::pair{m.Left, drag.Expected.Left}, {m.Top, drag.Expected.Top},
                                            {m.Right, drag.Expected.Right}, {m.Bottom, drag.Expected.Bottom}}) {
            if (expected == 0) {
                EXPECT_EQ(got, 0);
            }
        }
        ASSERT_EQ(Changes.size(), 2u);
        EXPECT_EQ(Changes.back(), m);
    }
}

TEST_F(PreviewWindow, SheetShowsThePictureInsideTheMargins)
{
    const QImage picture = Picture();
    const TRect r = Preview.ImageRect();
    const TRect paper = Preview.PaperRect();
    EXPECT_GT(CountNear(picture.copy(r.Left, r.Top, r.Width(), r.Height()), qRgb(255, 0, 0)), 300);
    // No red on the paper outside the picture, white paper, grey shadow.
    EXPECT_EQ(CountNear(picture.copy(paper.Left + 1, paper.Top + 1, r.Left - paper.Left - 2, paper.Height() - 2),
                        qRgb(255, 0, 0)),
              0);
    EXPECT_EQ(picture.pixel(paper.Left + 3, paper.Top + 3), qRgb(255, 255, 255));
    const QRgb shadow = picture.pixel(paper.Right + 1, paper.Bottom + 1);
    EXPECT_LT(qRed(shadow), 255);
    EXPECT_EQ(qRed(shadow), qBlue(shadow));
    // Smooth bitmap drawing gives the same placement.
    Preview.SetAsBitmap(true);
    Window->repaint();
    EXPECT_GT(CountNear(Picture().copy(r.Left, r.Top, r.Width(), r.Height()), qRgb(255, 0, 0)), 300);
}

TEST_F(PreviewWindow, SeveralPanelsAndTheOneUnderTheMouseBecomesPanel)
{
    auto second = std::make_unique<TExportChart>();
    second->Chart.SetPrintProportional(false);
    second->Chart.SetPrintMargins({60, 60, 5, 5});
    Preview.AddPanel(&second->Chart);
    ASSERT_EQ(Preview.Panels().Count(), 2);
    Window->repaint();
    const TRect paper = Preview.PaperRect();
    const TRect secondRect = Preview.CalcImageRect(&second->Chart, paper);
    // Hovering over the second picture's right-bottom corner picks it.
    Send(QEvent::MouseMove, QPoint(secondRect.Right, secondRect.Bottom), Qt::NoButton);
    EXPECT_EQ(Preview.Panel(), &second->Chart);
    EXPECT_EQ(Preview.Cursor(), crSizeNWSE);
    // A listed panel that goes is forgotten.
    second.reset();
    EXPECT_EQ(Preview.Panels().Count(), 1);
    EXPECT_EQ(Preview.Panel(), &Chart.Chart);
    EXPECT_THROW(Preview.Panels().Get(1), ERangeError);
}

TEST(PreviewPanel, PanelPropertyAndDefaults)
{
    TPlotPreviewPanel preview;
    EXPECT_EQ(preview.Margins()->Style(), psDot);
    EXPECT_TRUE(preview.Margins()->SmallDots());
    EXPECT_EQ(preview.PaperColor(), clWhite);
    EXPECT_EQ(preview.PaperShadow()->Color(), RGB(128, 128, 128));
    EXPECT_EQ(preview.PaperShadow()->Size(), 4);
    EXPECT_TRUE(preview.AllowMove());
    EXPECT_TRUE(preview.AllowResize());
    EXPECT_TRUE(preview.SmoothBitmap());
    EXPECT_TRUE(preview.ShowImage());
    EXPECT_EQ(preview.Panel(), nullptr);
    preview.SetPanel(&preview); // never itself
    EXPECT_EQ(preview.Panel(), nullptr);
    {
        TExportChart a;
        TExportChart b;
        preview.SetPanel(&a.Chart);
        preview.AddPanel(&b.Chart);
        TExportChart c;
        preview.SetPanel(&c.Chart);
        EXPECT_EQ(preview.Panel(), &c.Chart);
        EXPECT_EQ(preview.Panels().Count(), 2);
        EXPECT_FALSE(preview.AsBitmap()); // the flat canvas draws metafiles
    }
    EXPECT_EQ(preview.Panel(), nullptr);
    preview.Print(); // nothing listed: nothing printed
}

TEST_F(PrinterOnA4, PrintsOnePageWithTheChartInsideTheMargins)
{
    for (const bool asBitmap : {false, true}) {
        SCOPED_TRACE(asBitmap ? "bitmap" : "metafile");
        TExportChart chart;
        chart.Chart.SetPrintProportional(false);
        chart.Chart.SetPrintMargins({20, 30, 10, 25});
        TPlotPreviewPanel preview;
        preview.SetPanel(&chart.Chart);
        preview.SetAsBitmap(asBitmap);
        int afterDraw = 0;
        preview.OnAfterDraw = [&](TCustomPlotPanelExtended*) { ++afterDraw; };
        QFile::remove(Pdf);
        preview.Print();
        EXPECT_EQ(afterDraw, 1);
        ASSERT_TRUE(QFile::exists(Pdf));
        const int pages = test::PdfPageCount(Pdf);
        if (pages >= 0) {
            EXPECT_EQ(pages, 1);
        }
        QString why;
        const QImage page = test::RenderPdfPage(Pdf, 36, why);
        if (page.isNull())
            GTEST_SKIP() << why.toStdString();
        // A4 at 36 dots per inch.
        EXPECT_NEAR(page.width(), 298, 2);
        EXPECT_NEAR(page.height(), 421, 2);
        // Every red pixel lies inside the margins; the panel's yellow fills
        // most of the area inside them.
        const QRect inside(page.width() * 20 / 100, page.height() * 30 / 100, page.width() * 70 / 100,
                           page.height() * 45 / 100);
        const int red = CountNear(page, qRgb(255, 0, 0), 60);
        EXPECT_GT(red, 200);
        EXPECT_EQ(CountNear(page.copy(inside.adjusted(-3, -3, 3, 3)), qRgb(255, 0, 0), 60), red);
    }
}

} // namespace
} // namespace lp
