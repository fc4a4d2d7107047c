// A random user in every editing mode, driving the section chart's window
// with real mouse events: thousands of gestures, aimed at nodes, edges,
// ring insides, lines and random points, so that vertices often meet. After
// every accepted edit an independent checker looks at the model (no ring
// crossing, covering or leaving the frame, none degenerate, no node lost),
// and now and then the edit is undone and must give the model before it
// exactly. A refused gesture must leave the model as it was.

#include "section/editor/PolygonChart.h"

#include "SectionModelCheck.h"
#include "SectionTestUtil.h"
#include "platform/ui/Dialogs.h"

#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

namespace lp {
namespace {

using test::CountNode;
using test::TNodeCensus;

const TPolygonEditMode kModes[] = {
    pmAddPolygon,     pmAddSubPolygon,     pmDividePolygon,      pmCoupleNodes,       pmDeleteNode,
    pmMoveNode,       pmUncoupleNodes,     pmAddNode,            pmDeleteSubPolygon,  pmUncoupleSubPolygon,
    pmMovePolygon,    pmMoveSubPolygon,    pmFixNode,            pmAddLine,           pmDeleteLineNode,
    pmMoveLineNode,   pmAddLineNode,       pmDeleteLine,         pmPolygonFromLinesA, pmPolygonFromLinesB,
    pmMoveLine,
};

class RandomUser {
public:
    RandomUser(unsigned Seed, bool Surface) : FRandom(Seed)
    {
        FChart.SetBounds(0, 0, 900, 400);
        arofcomplexM profile;
        if (Surface)
            for (double x = -100; x <= 1100; x += 100)
                profile.Add(complexM{x, Uniform(0, 30)});
        FChart.NewModel(profile, Surface, 0, 1000, 0, 100);
        FWindow = FChart.Widget();
        FWindow->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(FWindow));
        QCoreApplication::processEvents();
        FChart.onchangemodel = [this](TPolygonChart*) { ++FChanges; };
        // "Correct polygon?" gets a random answer.
        MessageService() = [this](const TMessageRequest&) { return Chance(0.5) ? mrYes : mrNo; };
    }
    ~RandomUser()
    {
        ResetMessageService();
        ChartMenuSuppressed = false;
    }

    // Runs the gestures; false (with a failure added) at the first fault.
    bool Run(int Gestures, bool AreaChanges)
    {
        for (FStep = 0; FStep < Gestures; ++FStep) {
            if (AreaChanges && Chance(0.03)) {
                if (!ChangeArea())
                    return false;
                continue;
            }
            if (!Gesture(PickMode()))
                return false;
        }
        return true;
    }

    const std::map<TPolygonEditMode, int>& Accepted() const { return FAccepted; }
    int Undone() const { return FUndone; }

private:
    // --- Randomness ---
    double Uniform(double Low, double High) { return std::uniform_real_distribution<double>(Low, High)(FRandom); }
    int Index(int Count) { return std::uniform_int_distribution<int>(0, Count - 1)(FRandom); }
    bool Chance(double P) { return Uniform(0, 1) < P; }

    TPolygonEditMode PickMode()
    {
        // Few bodies: mostly drawing; many: mostly everything else.
        const int rings = RingCount();
        if (rings < 3 && Chance(0.5))
            return Chance(0.7) ? pmAddPolygon : pmAddSubPolygon;
        if (rings > 14 && Chance(0.3))
            return Chance(0.5) ? pmDeleteSubPolygon : pmDeleteNode;
        if (FChart.Lines.Length() < 2 && Chance(0.1))
            return pmAddLine;
        if (FChart.Lines.Length() > 5 && Chance(0.2))
            return pmDeleteLine;
        return kModes[Index(static_cast<int>(std::size(kModes)))];
    }

    int RingCount() const
    {
        int rings = 0;
        for (const SPolygon& body : FChart.Model)
            rings += body.Length();
        return rings - 1;
    }

    // --- Targets (model units) ---
    complexM RandomPoint()
    {
        const TModelArea& area = FChart.ModelArea;
        return {Uniform(area.left, area.right), Uniform(area.top, area.bottom)};
    }

    // A random ring as (body, sub); the host ring only when asked for.
    bool RandomRing(int& Body, int& Sub, bool HostToo = false)
    {
        std::vector<std::pair<int, int>> rings;
        for (int b = 0; b < FChart.Model.Length(); ++b)
            for (int s = 0; s < FChart.Model[b].Length(); ++s)
                if (HostToo || !IsHostRing(b, s))
                    rings.emplace_back(b, s);
        if (rings.empty())
            return false;
        std::tie(Body, Sub) = rings[static_cast<size_t>(Index(static_cast<int>(rings.size())))];
        return true;
    }

    // A point of the ring's edges: mostly a node or inside an edge, at times
    // a little beyond an edge's end.
    complexM PointOfRing(int Body, int Sub)
    {
        const arofintM& ring = FChart.Model[Body][Sub].ring;
        const int count = RingEdgeCount(ring, IsHostRing(Body, Sub));
        const int i = Index(count);
        const complexM a = NodePoint(FChart.Nodes, ring[i]);
        if (Chance(0.35))
            return a;
        const complexM b = NodePoint(FChart.Nodes, ring[(i + 1) % ring.Length()]);
        const double t = Chance(0.85) ? Uniform(0.05, 0.95) : Uniform(-0.2, 1.2);
        return {a.re + (b.re - a.re) * t, a.im + (b.im - a.im) * t};
    }

    complexM PointOfAnyRing()
    {
        int body = 0, sub = 0;
        return RandomRing(body, sub, Chance(0.3)) ? PointOfRing(body, sub) : RandomPoint();
    }

    complexM InsideRing(int Body, int Sub)
    {
        const arofcomplexM points = RingPoints(FChart.Model[Body][Sub].ring, FChart.Nodes);
        double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
        for (const complexM& p : points) {
            minX = std::min(minX, p.re);
            maxX = std::max(maxX, p.re);
            minY = std::min(minY, p.im);
            maxY = std::max(maxY, p.im);
        }
        for (int attempt = 0; attempt < 20; ++attempt) {
            const complexM p{Uniform(minX, maxX), Uniform(minY, maxY)};
            if (PointInComplexPolygon(p, points))
                return p;
        }
        return points[0];
    }

    // Mostly a node of a body's ring, at times any node (the frame's too).
    complexM AnyNodePoint()
    {
        int body = 0, sub = 0;
        if (Chance(0.8) && RandomRing(body, sub)) {
            const arofintM& ring = FChart.Model[body][sub].ring;
            return NodePoint(FChart.Nodes, ring[Index(ring.Length())]);
        }
        return NodePoint(FChart.Nodes, Index(FChart.Nodes.Length()));
    }

    complexM Near(const complexM& Point, double Dx, double Dy)
    {
        return {Point.re + Uniform(-Dx, Dx), Point.im + Uniform(-Dy, Dy)};
    }

    // The points of a small polygon or a short line: the first anywhere,
    // the others near it (lines run to the right); at times a point where
    // something already is.
    arofcomplexM DrawnPoints(int Count, bool Line)
    {
        if (Line && !FChart.Lines.Empty() && Chance(0.3)) {
            // Beside a line, for a band between the two.
            arofcomplexM points = FChart.Lines[Index(FChart.Lines.Length())].points;
            const double dy = Uniform(3, 10) * (Chance(0.5) ? 1 : -1);
            for (complexM& point : points)
                point.im += dy;
            return points;
        }
        arofcomplexM points{Chance(0.7) ? RandomPoint() : Target()};
        for (int i = 1; i < Count; ++i) {
            if (Chance(0.25)) {
                points.Add(Target());
            } else if (Line) {
                const complexM& last = points.Last();
                points.Add(complexM{last.re + Uniform(20, 80), last.im + Uniform(-4, 4)});
            } else {
                points.Add(Near(points[0], 60, 15));
            }
        }
        return points;
    }

    // Mostly a point where something already is, so that vertices meet.
    complexM Target()
    {
        const double roll = Uniform(0, 1);
        if (roll < 0.3)
            return AnyNodePoint();
        if (roll < 0.6)
            return PointOfAnyRing();
        return RandomPoint();
    }

    bool RandomLinePoint(complexM& Point, bool Segment)
    {
        if (FChart.Lines.Empty())
            return false;
        const arofcomplexM& points = FChart.Lines[Index(FChart.Lines.Length())].points;
        const int i = Index(points.Length());
        Point = points[i];
        if (Segment && i + 1 < points.Length()) {
            const double t = Chance(0.85) ? Uniform(0.05, 0.95) : Uniform(-0.2, 1.2);
            Point = {points[i].re + (points[i + 1].re - points[i].re) * t,
                     points[i].im + (points[i + 1].im - points[i].im) * t};
        }
        return true;
    }

    // A point in the middle of the first segment of the line whose first
    // point lies nearest to that of line First.
    complexM NeighbourLinePoint(int First)
    {
        const complexM start = FChart.Lines[First].points[0];
        int best = -1;
        for (int l = 0; l < FChart.Lines.Length(); ++l)
            if (l != First && FChart.Lines[l].points.Length() >= 2 &&
                (best < 0 || PlainDistance(FChart.Lines[l].points[0], start) <
                                 PlainDistance(FChart.Lines[best].points[0], start)))
                best = l;
        if (best < 0)
            return start;
        const arofcomplexM& points = FChart.Lines[best].points;
        return {(points[0].re + points[1].re) / 2, (points[0].im + points[1].im) / 2};
    }

    // --- Mouse ---
    QPoint Pixel(const complexM& Point) const
    {
        return {FChart.BottomAxis()->CalcPosValue(Point.re), FChart.LeftAxis()->CalcPosValue(Point.im)};
    }
    void MoveTo(const complexM& Point)
    {
        const QPoint at = Pixel(Point);
        QMouseEvent move(QEvent::MouseMove, QPointF(at), FWindow->mapToGlobal(QPointF(at)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(FWindow, &move);
    }
    void Click(const complexM& Point, bool Right)
    {
        MoveTo(Point);
        const Qt::MouseButton button = Right ? Qt::RightButton : Qt::LeftButton;
        QTest::mousePress(FWindow, button, {}, Pixel(Point));
        QTest::mouseRelease(FWindow, button, {}, Pixel(Point));
    }
    void ChooseMode(TPolygonEditMode Mode)
    {
        FChart.EditMode = Mode;
        FChart.ResetEditMode();
    }

    // --- Gestures ---
    // Plays one gesture in Mode and checks the outcome.
    bool Gesture(TPolygonEditMode Mode)
    {
        ChooseMode(Mode);
        const test::TSectionState before = test::StateOf(FChart);
        const TNodeCensus census = test::NodeCensus(FChart.Model, FChart.Nodes);
        TNodeCensus allowed; // positions the gesture may remove
        const int changes = FChanges;
        Play(Mode, allowed);
        ChooseMode(-1); // an unfinished edit is rolled back
        if (FChanges == changes) {
            const std::string difference = test::StateDifference(before, test::StateOf(FChart));
            return Report(Mode, difference.empty() ? std::vector<std::string>{}
                                                   : std::vector<std::string>{"refused, yet " + difference});
        }
        ++FAccepted[Mode];
        return CheckAccepted(Mode, before, census, allowed);
    }

    void Play(TPolygonEditMode Mode, TNodeCensus& Allowed)
    {
        int body = 0, sub = 0;
        complexM point;
        switch (Mode) {
        case pmAddPolygon:
        case pmAddLine: {
            const arofcomplexM points = DrawnPoints(Mode == pmAddLine ? 2 + Index(3) : 3 + Index(3), Mode == pmAddLine);
            for (int i = 0; i < points.Length(); ++i)
                Click(points[i], Mode == pmAddPolygon && i == points.High());
            // A line ends with a right click that adds no point.
            if (Mode == pmAddLine)
                Click(points.Last(), true);
            break;
        }
        case pmAddSubPolygon: {
            if (!RandomRing(body, sub, Chance(0.3)))
                break;
            const complexM start = PointOfRing(body, sub);
            Click(start, false);
            for (int i = Index(3); i > 0; --i)
                Click(Near(start, 60, 15), false);
            // The end on a ring of the same body, mostly.
            if (Chance(0.8))
                sub = Index(FChart.Model[body].Length());
            else
                RandomRing(body, sub, true);
            Click(PointOfRing(body, sub), true);
            break;
        }
        case pmDividePolygon:
            if (!RandomRing(body, sub, Chance(0.2)))
                break;
            Click(PointOfRing(body, sub), false);
            Click(PointOfRing(body, sub), true);
            break;
        case pmCoupleNodes:
            Click(AnyNodePoint(), false);
            if (FChart.PickNode >= 0)
                CountNode(Allowed, FChart.Nodes[FChart.PickNode]);
            MoveTo(Chance(0.5) ? AnyNodePoint() : PointOfAnyRing());
            if (FChart.PickNode < 0) {
                // The right press picks the source itself when the left one did not.
                double plain = 0.0, scaled = 0.0;
                const int node = FindNearestNode(FChart.CursorPoint, FChart.Nodes, plain, FChart.ScaleX,
                                                 FChart.ScaleY, scaled);
                if (node >= 0)
                    CountNode(Allowed, FChart.Nodes[node]);
            }
            Click(FChart.CursorPoint, true);
            break;
        case pmDeleteNode:
        case pmUncoupleNodes:
        case pmFixNode:
            MoveTo(AnyNodePoint());
            if (Mode == pmDeleteNode && FChart.PickNode >= 0)
                CountNode(Allowed, FChart.Nodes[FChart.PickNode]);
            Click(FChart.CursorPoint, true);
            break;
        case pmMoveNode:
            Click(AnyNodePoint(), false);
            if (FChart.Editing && FChart.PickNode >= 0)
                CountNode(Allowed, FChart.Nodes[FChart.PickNode]);
            for (int i = Index(3); i > 0; --i)
                MoveTo(RandomPoint());
            Click(Chance(0.5) ? Near(FChart.CursorPoint, 20, 5) : Target(), true);
            break;
        case pmAddNode:
            Click(PointOfAnyRing(), true);
            break;
        case pmDeleteSubPolygon:
        case pmUncoupleSubPolygon:
            if (!RandomRing(body, sub))
                break;
            MoveTo(InsideRing(body, sub));
            if (Mode == pmDeleteSubPolygon && FChart.PickBody >= 0)
                for (int node : FChart.Model[FChart.PickBody][FChart.PickSubPolygon].ring)
                    CountNode(Allowed, FChart.Nodes[node]);
            Click(FChart.CursorPoint, true);
            break;
        case pmMovePolygon:
        case pmMoveSubPolygon:
            if (!RandomRing(body, sub))
                break;
            MoveTo(InsideRing(body, sub));
            Click(FChart.CursorPoint, false);
            if (FChart.Editing)
                for (int node : FChart.SelNodes)
                    CountNode(Allowed, FChart.Nodes[node]);
            DragBy(body, sub);
            break;
        case pmDeleteLineNode:
        case pmDeleteLine:
        case pmAddLineNode:
            if (RandomLinePoint(point, Mode != pmDeleteLineNode))
                Click(point, true);
            break;
        case pmMoveLineNode:
        case pmMoveLine:
            if (!RandomLinePoint(point, false))
                break;
            Click(point, false);
            MoveTo(RandomPoint());
            Click(FChart.CursorPoint, true);
            break;
        case pmPolygonFromLinesA:
        case pmPolygonFromLinesB:
            if (!RandomLinePoint(point, true))
                break;
            Click(point, false);
            if (FChart.FirstLine >= 0 && Chance(0.6))
                point = NeighbourLinePoint(FChart.FirstLine);
            else if (!RandomLinePoint(point, true))
                break;
            Click(point, true);
            break;
        default:
            break;
        }
    }

    // Drags the picked ring so that, often, one of its nodes lands on a
    // node of another ring.
    void DragBy(int Body, int Sub)
    {
        const complexM from = FChart.CursorPoint;
        complexM to = Chance(0.5) ? Near(from, 30, 8) : RandomPoint();
        if (Chance(0.4)) {
            const arofintM& ring = FChart.Model[Body][Sub].ring;
            const complexM mine = NodePoint(FChart.Nodes, ring[Index(ring.Length())]);
            const complexM other = AnyNodePoint();
            to = {from.re + other.re - mine.re, from.im + other.im - mine.im};
        }
        MoveTo({(from.re + to.re) / 2, (from.im + to.im) / 2});
        MoveTo(to);
        Click(FChart.CursorPoint, true);
    }

    bool ChangeArea()
    {
        ChooseMode(-1);
        const test::TSectionState before = test::StateOf(FChart);
        const TNodeCensus census = test::NodeCensus(FChart.Model, FChart.Nodes);
        TNodeCensus allowed; // frame and border nodes follow the area
        for (const Tnode& node : FChart.Nodes)
            if (node.border != bkNone)
                CountNode(allowed, node);
        const TModelArea& area = FChart.ModelArea;
        const bool changed = FChart.SetModelArea(false, area.left + Uniform(-50, 50), area.right + Uniform(-50, 50),
                                                 area.top, area.bottom + Uniform(-10, 10));
        if (!changed) {
            const std::string difference = test::StateDifference(before, test::StateOf(FChart));
            return Report(-1, difference.empty() ? std::vector<std::string>{}
                                                 : std::vector<std::string>{"refused, yet " + difference});
        }
        FChart.PushUndo(); // recorded like an edit, so that undo can be checked
        return CheckAccepted(-1, before, census, allowed);
    }

    bool CheckAccepted(TPolygonEditMode Mode, const test::TSectionState& Before, const TNodeCensus& Census,
                       const TNodeCensus& Allowed)
    {
        std::vector<std::string> faults = CheckModelInvariants(FChart.Model, FChart.Nodes, &FChart.ModelArea);
        for (const std::string& fault : test::ShapeFaults(FChart.Model, FChart.Nodes))
            faults.push_back(fault);
        for (const std::string& fault : test::LostNodes(Census, test::NodeCensus(FChart.Model, FChart.Nodes), Allowed))
            faults.push_back(fault);
        if (faults.empty() && Chance(0.3)) {
            FChart.Undo();
            ++FUndone;
            const std::string difference = test::StateDifference(Before, test::StateOf(FChart));
            if (!difference.empty())
                faults.push_back("undo: " + difference);
        }
        return Report(Mode, faults);
    }

    bool Report(TPolygonEditMode Mode, const std::vector<std::string>& Faults)
    {
        if (Faults.empty())
            return true;
        std::ostringstream text;
        text << "gesture " << FStep << " in mode " << Mode << ":";
        for (const std::string& fault : Faults)
            text << "\n  " << fault;
        ADD_FAILURE() << text.str();
        return false;
    }

    std::mt19937 FRandom;
    TPolygonChart FChart;
    QWidget* FWindow = nullptr;
    int FChanges = 0;
    int FStep = 0;
    int FUndone = 0;
    std::map<TPolygonEditMode, int> FAccepted;
};

// Every mode finished edits in the runs together, and undo was tried often.
void ExpectEveryModeUsed(const std::vector<const RandomUser*>& Users)
{
    std::map<TPolygonEditMode, int> accepted;
    int undone = 0;
    for (const RandomUser* user : Users) {
        for (const auto& [mode, count] : user->Accepted())
            accepted[mode] += count;
        undone += user->Undone();
    }
    for (TPolygonEditMode mode : kModes)
        EXPECT_GT(accepted[mode], 0) << "mode " << mode << " never finished an edit";
    EXPECT_GT(undone, 100);
}

TEST(RandomEditing, EveryModeKeepsTheModelSound)
{
    RandomUser first(21, false);
    ASSERT_TRUE(first.Run(1000, false));
    RandomUser second(22, false);
    ASSERT_TRUE(second.Run(1000, false));
    ExpectEveryModeUsed({&first, &second});
}

TEST(RandomEditing, EveryModeKeepsTheModelSoundUnderARelief)
{
    RandomUser first(23, true);
    ASSERT_TRUE(first.Run(1500, true));
    RandomUser second(24, true);
    ASSERT_TRUE(second.Run(1500, true));
    ExpectEveryModeUsed({&first, &second});
}

} // namespace
} // namespace lp
