// Changes of the model area in the main window on sections whose model has
// a relief top (a surface profile and surface nodes on the host ring): the
// axis menu's "Default", Model setup and automatic scaling keep every body
// whole wherever the file lists the surface nodes, each change of the model
// is one undo step, and a save reopens as it was.

#include "MainWindowFixture.h"

#include "chart/editors/ChartEditors.h"
#include "chart/engine/PlotChart.h"
#include "section/dialogs/ModelSetupDialog.h"
#include "section/dialogs/RegionsTable.h"
#include "section/editor/BodyParameters.h"
#include "section/editor/SectionFile.h"
#include "tests/section/model/ModelFixtures.h"

#include <QtCore/QFile>
#include <QtCore/QSortFilterProxyModel>
#include <QtWidgets/QLabel>
#include <QtWidgets/QToolButton>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace lp {
namespace {

using test::MainWindow;

const QByteArray ReliefPictureLines = "example.jpg\r\n"
                                      " 0.00000000000000E+0000  0.00000000000000E+0000  1.00000000000000E+0003 "
                                      " 2.00000000000000E+0002\r\n"
                                      "\r\n";

// A section over 0..1000 x 0..200 with a relief top: the profile runs from
// depth 20 at the sides up to the crest at x 500, where the frame has its
// one surface node. The table lists that node after the sandstone's four
// corners (nodes 4..7), as a file may.
const char* const SurfaceNodeLastSection =
    "VexaPolyModelDescription2.0\r\n"
    " 0.00000000000000E+0000  0.00000000000000E+0000\r\n"
    " 0.00000000000000E+0000  1.00000000000000E+0003  0.00000000000000E+0000  2.00000000000000E+0002\r\n"
    "1 3\r\n"
    " 0.00000000000000E+0000  2.00000000000000E+0001  5.00000000000000E+0002  0.00000000000000E+0000 "
    " 1.00000000000000E+0003  2.00000000000000E+0001 \r\n"
    "9\r\n"
    " 0.00000000000000E+0000  2.00000000000000E+0001 0 1 1\r\n"
    " 0.00000000000000E+0000  2.00000000000000E+0002 0 1 2\r\n"
    " 1.00000000000000E+0003  2.00000000000000E+0002 0 1 4\r\n"
    " 1.00000000000000E+0003  2.00000000000000E+0001 0 1 5\r\n"
    " 1.00000000000000E+0002  6.00000000000000E+0001 0 1 0\r\n"
    " 4.50000000000000E+0002  6.00000000000000E+0001 0 1 0\r\n"
    " 4.50000000000000E+0002  1.50000000000000E+0002 0 1 0\r\n"
    " 1.00000000000000E+0002  1.50000000000000E+0002 0 1 0\r\n"
    " 5.00000000000000E+0002  0.00000000000000E+0000 0 1 6\r\n"
    "2\r\n"
    "1\r\n"
    "-1 * * * * * * * * * * * * * * * * * * * \r\n"
    "0 1 2 3 8 0 8 3 2 1 \r\n"
    "1\r\n"
    "6 12632257#0 8421504&0&0&1&0&4&1 50$0$0$65535$16711680$0$255$0 5949670 * * Sandstone 1 * 120.000 2.000 "
    "1.000 1.000 * * * * * * \r\n"
    "4 5 6 7 \r\n"
    "0\r\n"
    "EndPolyModelDescription2.0\r\n";

using TRingPoints = std::vector<std::vector<std::pair<double, double>>>;

// Every ring as the points it runs through, body by body.
TRingPoints ReliefRingPoints(const TPolygonChart& Chart)
{
    TRingPoints points;
    for (const SPolygon& rings : Chart.Model)
        for (const Polygon& ring : rings) {
            points.emplace_back();
            for (int node : ring.ring)
                points.back().emplace_back(Chart.Nodes[node].x, Chart.Nodes[node].y);
        }
    return points;
}

// The parameter slots a user sets: label text and mode, resistivity and
// polarizability.
constexpr int UserSlots[] = {psLabelText, psLabelMode, psResistivity, psPolarizability};

// What a save keeps of the model: the area, the nodes, the rings and their
// parameters.
struct TReliefState {
    TModelArea Area;
    Tnodes Nodes;
    std::vector<std::vector<arofintM>> Rings;
    std::vector<std::vector<std::vector<ParamValue>>> Params; // the user's slots of each ring

    static TReliefState Of(const TModelArea& Area, const Tnodes& Nodes, const AllSpolygon& Model)
    {
        TReliefState state{Area, CopyNodes(Nodes), {}, {}};
        for (const SPolygon& rings : Model) {
            state.Rings.emplace_back();
            state.Params.emplace_back();
            for (const Polygon& ring : rings) {
                state.Rings.back().push_back(ring.ring);
                state.Params.back().emplace_back();
                for (int slot : UserSlots)
                    state.Params.back().back().push_back(ring.params[slot]);
            }
        }
        return state;
    }
    static TReliefState Of(const TPolygonChart& Chart) { return Of(Chart.ModelArea, Chart.Nodes, Chart.Model); }
    // Slot by slot; a value not set and the file's "*" are the same.
    bool SameParams(const TReliefState& Other) const
    {
        if (Params.size() != Other.Params.size())
            return false;
        for (size_t body = 0; body < Params.size(); ++body) {
            if (Params[body].size() != Other.Params[body].size())
                return false;
            for (size_t ring = 0; ring < Params[body].size(); ++ring)
                for (size_t slot = 0; slot < std::size(UserSlots); ++slot)
                    if (!SameParameter(Params[body][ring][slot], Other.Params[body][ring][slot]))
                        return false;
        }
        return true;
    }
    friend bool operator==(const TReliefState& A, const TReliefState& B)
    {
        return A.Area.left == B.Area.left && A.Area.right == B.Area.right && A.Area.top == B.Area.top &&
               A.Area.bottom == B.Area.bottom && A.Nodes == B.Nodes && A.Rings == B.Rings && A.SameParams(B);
    }
};

// Whether a reopened model is the saved one: the file keeps coordinates to
// 15 significant digits, everything else exactly.
bool ReopensAs(const TReliefState& Reopened, const TReliefState& Saved)
{
    const auto near = [](double A, double B) { return std::fabs(A - B) <= 1e-13 * std::max(1.0, std::fabs(B)); };
    // The parameters' reals are written with three decimals and more: the
    // values typed here (two decimals at most) come back exactly.
    if (Reopened.Nodes.Length() != Saved.Nodes.Length() || Reopened.Rings != Saved.Rings ||
        !Reopened.SameParams(Saved) ||
        !near(Reopened.Area.left, Saved.Area.left) || !near(Reopened.Area.right, Saved.Area.right) ||
        !near(Reopened.Area.top, Saved.Area.top) || !near(Reopened.Area.bottom, Saved.Area.bottom))
        return false;
    for (int i = 0; i < Saved.Nodes.Length(); ++i) {
        const Tnode& a = Reopened.Nodes[i];
        const Tnode& b = Saved.Nodes[i];
        if (!near(a.x, b.x) || !near(a.y, b.y) || a.fixed != b.fixed || a.sharing != b.sharing || a.border != b.border)
            return false;
    }
    return true;
}

// The chart's newest undo record; false when it has none.
bool NewestUndoRecord(const TPolygonChart& Chart, TReliefState& Record)
{
    int newest = -1;
    for (int i = 0; i < Chart.UndoSequence.Length(); ++i)
        if (Chart.UndoSequence[i] >= 0 && (newest < 0 || Chart.UndoSequence[i] > Chart.UndoSequence[newest]))
            newest = i;
    if (newest < 0)
        return false;
    Record = TReliefState::Of(Chart.UndoAreas[newest], Chart.UndoNodes[newest], Chart.UndoModels[newest]);
    return true;
}

// The model is sound and is the one the newest undo record holds.
void ExpectSoundAndRecorded(const TPolygonChart& Chart, const std::string& Step)
{
    for (const std::string& fault : CheckModelInvariants(Chart.Model, Chart.Nodes, &Chart.ModelArea))
        ADD_FAILURE() << Step << ": " << fault;
    TReliefState record;
    ASSERT_TRUE(NewestUndoRecord(Chart, record)) << Step;
    EXPECT_TRUE(record == TReliefState::Of(Chart)) << Step << ": the model is not the last recorded edit";
}

struct ReliefTop : MainWindow {
    void SetUp() override
    {
        MainWindow::SetUp();
        InitializeChartEditors();
    }
    void TearDown() override
    {
        MainWindow::TearDown();
        FinalizeChartEditors();
    }

    void WriteSectionFile(const QByteArray& Block)
    {
        QFile file(Section);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(ReliefPictureLines + Block);
    }
    void Reopen()
    {
        Window.reset();
        Start({Section});
    }
    // "Model setup..." with the three borders typed in and Apply clicked;
    // a border refused (the message is counted) closes the dialog unchanged.
    void SetAreaInModelSetup(const QString& Left, const QString& Right, const QString& Bottom)
    {
        AnswerModal<Tboxsetup>([&] { ChooseFromMenuBar(Window->Boxconstrctor1); },
                               [&](Tboxsetup& Dialog) {
                                   Dialog.Edit1->setText(Left);
                                   Dialog.Edit2->setText(Right);
                                   Dialog.Edit3->setText(Bottom);
                                   QTest::mouseClick(Dialog.ApplyWidget(), Qt::LeftButton);
                                   if (Dialog.isVisible()) {
                                       Dialog.Edit1->setText(AreaText(Chart().ModelArea.left));
                                       Dialog.Edit2->setText(AreaText(Chart().ModelArea.right));
                                       Dialog.Edit3->setText(AreaText(Chart().ModelArea.bottom));
                                       QTest::keyClick(&Dialog, Qt::Key_Escape);
                                   }
                               });
        Activate();
    }
    static QString AreaText(double Value) { return QString::number(Value, 'g', 17); }
};

// Guards the fault: opened, the window resized, Shift + right click on the
// bottom axis and "Default" took the first nodes of the table for the frame,
// so the new surface node overwrote the sandstone's first corner (its ring
// 4 5 6 7 became 5 6 7), the host ring ran through a doubled surface node,
// nothing was there to undo and Save wrote the damaged model.
TEST_F(ReliefTop, TheAxisMenusDefaultKeepsEveryBodyWholeWhereverTheSurfaceNodeIsListed)
{
    WriteSectionFile(SurfaceNodeLastSection);
    Start({Section});
    ASSERT_TRUE(Chart().HasProfile);
    ASSERT_TRUE(CheckModelInvariants(Chart().Model, Chart().Nodes, &Chart().ModelArea).empty());
    const TRingPoints opened = ReliefRingPoints(Chart());
    const TModelArea area = Chart().ModelArea;
    // The window resized, then the axis menu's "Default": the first area,
    // every ring through the points it had when opened.
    const auto defaultAfterResizing = [&](int Width, int Height, const char* What) {
        SCOPED_TRACE(What);
        Window->resize(Width, Height);
        QCoreApplication::processEvents();
        ChooseFromAxisMenu(true, "Default");
        EXPECT_EQ(Chart().ModelArea.right, area.right);
        EXPECT_EQ(ReliefRingPoints(Chart()), opened);
        ExpectSoundAndRecorded(Chart(), What);
    };

    // The area is applied again: the model is as it was, and there is no
    // change to record.
    defaultAfterResizing(900, 620, "Default on the same area");
    EXPECT_FALSE(Window->Modified());

    // A wider area takes the profile's last point into the surface; the
    // axis menu's "Default" goes back to the picture's width.
    SetAreaInModelSetup(QStringLiteral("0"), QStringLiteral("1200"), QStringLiteral("200"));
    ASSERT_EQ(Chart().ModelArea.right, 1200.0);
    ExpectSoundAndRecorded(Chart(), "Model setup");
    const TReliefState wide = TReliefState::Of(Chart());
    defaultAfterResizing(1000, 650, "Default back to the first area");
    EXPECT_TRUE(Window->Modified());
    const TReliefState restored = TReliefState::Of(Chart());
    Window->SaveFile(Section);

    // One Ctrl+Z takes back the change of the area, and only that.
    PressCtrlZ();
    EXPECT_TRUE(TReliefState::Of(Chart()) == wide);
    ExpectSoundAndRecorded(Chart(), "one undo");

    // The saved section reopens as it was saved.
    Reopen();
    EXPECT_TRUE(ReopensAs(TReliefState::Of(Chart()), restored));
    EXPECT_EQ(ReliefRingPoints(Chart()), opened);
    ExpectSoundAndRecorded(Chart(), "reopened");
}

// The relief-top section with a node on the frame's bottom edge at
// (300, Depth), listed after the surface node.
QByteArray SectionWithABottomEdgeNodeAt(const char* Depth)
{
    QByteArray block(SurfaceNodeLastSection);
    block.replace("\r\n9\r\n", "\r\n10\r\n");
    block.replace(" 5.00000000000000E+0002  0.00000000000000E+0000 0 1 6\r\n",
                  QByteArray(" 5.00000000000000E+0002  0.00000000000000E+0000 0 1 6\r\n"
                             " 3.00000000000000E+0002 ") +
                      Depth + " 0 1 3\r\n");
    block.replace("0 1 2 3 8 0 8 3 2 1 ", "0 1 9 2 3 8 0 8 3 2 9 1 ");
    return block;
}

// A node of the bottom edge that the file has within rounding of the bottom
// is put on it as the section opens, before the first undo record: the
// model as opened is the recorded one, and applying the same area again is
// no change.
TEST_F(ReliefTop, TheSectionAsOpenedIsItsFirstRecord)
{
    WriteSectionFile(SectionWithABottomEdgeNodeAt(" 1.99999996000000E+0002"));
    Start({Section});
    ASSERT_EQ(Chart().Nodes.Length(), 10);
    EXPECT_GE(NodeAt(300, 200), 0);
    ExpectSoundAndRecorded(Chart(), "opened");
    ChooseFromAxisMenu(true, "Default");
    ExpectSoundAndRecorded(Chart(), "Default");
    EXPECT_FALSE(Window->Modified());
}

// A node of the frame's bottom edge half a unit above the bottom is no
// rounding: the file is refused, naming the node, rather than opened with
// the node moved.
TEST_F(ReliefTop, AFrameNodeOffItsEdgeIsRefusedNamingTheNode)
{
    Start({Section});
    const TReliefState before = TReliefState::Of(Chart());
    const QString damaged = Folder.filePath(QStringLiteral("damaged.sec"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("example.jpg\r\n 0.0 0.0 1000.0 200.0\r\n\r\n" +
               SectionWithABottomEdgeNodeAt(" 1.99500000000000E+0002"));
    file.close();
    Messages.clear();
    EXPECT_FALSE(Window->OpenSection(damaged));
    EXPECT_EQ(Messages.join('\n').toStdString(),
              QStringLiteral("The section file \"%1\" holds an invalid model: the model breaks a rule of section "
                             "models: node 9 of the frame's bottom edge at (300, 199.5) does not lie on the area's "
                             "bottom edge")
                  .arg(damaged)
                  .toStdString());
    EXPECT_TRUE(TReliefState::Of(Chart()) == before);
    EXPECT_EQ(Window->DocumentName().toStdString(), Section.toStdString());
}

// --- A random user ------------------------------------------------------------------------------

// A relief-top section: a profile with three points inside 0..1000 (the
// frame's surface nodes at 700, 450 and 200), a surface node of the user's
// at 600, a node on the left edge and one on the bottom edge, two bodies
// and a ring of the host body under the surface; the nodes after the four
// corners listed in an order drawn from Random.
QByteArray RandomlyListedReliefSection(std::mt19937& Random)
{
    TPolygonChart chart;
    chart.SetBounds(0, 0, 800, 400);
    arofcomplexM elevations;
    for (const complexM point :
         {complexM{-200, 20}, complexM{200, 0}, complexM{450, 30}, complexM{700, 5}, complexM{1200, 25}})
        elevations.Add(point);
    chart.NewModel(elevations, true, 0, 1000, 0, 200);
    Tnodes& nodes = chart.Nodes;
    const auto add = [&nodes](double X, double Y, int32_t Border) { return test::AddNode(nodes, X, Y, Border); };
    // Frame: 0..3, surface 4 (700), 5 (450), 6 (200).
    const int userSurface = add(600, InterpolateComplexAt(chart.Profile, 600), bkSurface);
    const int leftEdge = add(0, 120, bkLeft);
    const int bottomEdge = add(400, 200, bkBottom);
    chart.Model[0][0].ring = {0, leftEdge, 1, bottomEdge, 2, 3, 4, userSurface, 5, 6,
                              0, 6, 5, userSurface, 4, 3, 2, bottomEdge, 1, leftEdge};
    // A ring of the host body under the surface between 450 and 700.
    const int under1 = add(650, 60, bkNone);
    const int under2 = add(500, 60, bkNone);
    Polygon underSurface;
    underSurface.ring = {5, userSurface, 4, under1, under2};
    underSurface.params = DefaultParameters;
    chart.Model[0].Add(underSurface);
    for (const auto& [left, top, right, bottom] : {std::tuple{100.0, 80.0, 300.0, 150.0},
                                                   std::tuple{520.0, 110.0, 800.0, 170.0}}) {
        Polygon ring;
        ring.ring = {add(left, top, bkNone), add(right, top, bkNone), add(right, bottom, bkNone),
                     add(left, bottom, bkNone)};
        ring.params = DefaultParameters;
        SPolygon body;
        body.Add(ring);
        chart.Model.Add(body);
    }
    // Rings the way the model turns them, and their sharing.
    const std::vector<std::string> faults = SettleAndCheckModel(chart.Model, chart.Nodes, &chart.ModelArea);
    EXPECT_TRUE(faults.empty()) << faults.front();

    std::vector<int> order(static_cast<size_t>(nodes.Length()));
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin() + 4, order.end(), Random);
    std::vector<int32_t> renumbered(order.size());
    Tnodes listed;
    for (size_t i = 0; i < order.size(); ++i) {
        renumbered[static_cast<size_t>(order[i])] = static_cast<int32_t>(i);
        listed.Add(nodes[order[i]]);
    }
    for (SPolygon& rings : chart.Model)
        for (Polygon& ring : rings)
            for (int32_t& index : ring.ring)
                index = renumbered[static_cast<size_t>(index)];
    nodes = listed;
    return QByteArray::fromStdString(FormatSectionModelBlock(chart.SectionModel()));
}

// Texts a user may type for a resistivity or a polarizability, good and bad.
const std::initializer_list<const char*> TypedResistivities = {"", "50", "12.5", "300", "0", "-5", "abc", "1e999"};
const std::initializer_list<const char*> TypedPolarizabilities = {"", "0", "3", "99.5", "100", "-1", "x"};

// Whether Slot holds what Typed means (a refused text: what it held).
void ExpectSlotTyped(const ParamValue& Slot, TBodyQuantity Quantity, const QString& Typed, const ParamValue& Before)
{
    const TParameterEntry entry = ReadParameterText(Quantity, Typed);
    EXPECT_TRUE(SameParameter(Slot, entry.Valid ? entry.Value : Before)) << "typed \"" << Typed.toStdString() << '"';
}

// A seeded random user of relief-top sections whose surface nodes stand
// anywhere in the node table: area changes through Model setup, the axis
// menu and automatic scaling, node moves and added nodes, parameters typed
// (good and bad) into the body dialog and the table of regions, undo,
// resizing, save and reopen. After every action the model is sound and is
// the last recorded edit; a reopened section is the saved one.
TEST_F(ReliefTop, RandomUserOfReliefTopSections)
{
    RegisterBodyDialog();
    struct TUnregister {
        ~TUnregister() { UnregisterBodyDialog(); }
    } unregister;
    for (const unsigned seed : {7311u, 902u, 55017u, 4406u, 1187u, 30509u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const auto pick = [&](int N) { return std::uniform_int_distribution<int>(0, N - 1)(random); };
        const auto among = [&](std::initializer_list<const char*> Values) {
            return QString::fromLatin1(*(Values.begin() + pick(static_cast<int>(Values.size()))));
        };
        WriteSectionFile(RandomlyListedReliefSection(random));
        Reopen();
        ASSERT_TRUE(Chart().HasProfile);
        ExpectSoundAndRecorded(Chart(), "opened");
        for (int step = 0; step < 40; ++step) {
            const int action = pick(11);
            const std::string name = "step " + std::to_string(step) + ", action " + std::to_string(action);
            SCOPED_TRACE(name);
            switch (action) {
            case 0:
                SetAreaInModelSetup(among({"-100", "0", "0", "50"}), among({"900", "1000", "1000", "1100", "1300"}),
                           among({"200", "200", "240"}));
                break;
            case 1:
                ChooseFromAxisMenu(pick(3) != 0, "Default");
                break;
            case 2:
                ChooseFromMenuBar(Window->Scaled1);
                break;
            case 3: {
                // A node other than a corner dragged a little and dropped.
                Window->ModeButtons.at(pmMoveNode)->click();
                const Tnode node = Chart().Nodes[4 + pick(Chart().Nodes.Length() - 4)];
                DragNode({node.x, node.y}, {node.x + pick(61) - 30, node.y + pick(41) - 20});
                break;
            }
            case 4: {
                // A node added at the middle of an edge of some ring.
                Window->ModeButtons.at(pmAddNode)->click();
                const SPolygon& rings = Chart().Model[pick(Chart().Model.Length())];
                const arofintM& ring = rings[pick(rings.Length())].ring;
                const int i = pick(ring.Length());
                const Tnode& a = Chart().Nodes[ring[i]];
                const Tnode& b = Chart().Nodes[ring[(i + 1) % ring.Length()]];
                const QPoint at = Pixel((a.x + b.x) / 2, (a.y + b.y) / 2);
                MoveMouse(at, Qt::NoButton);
                Click(Qt::RightButton, at);
                break;
            }
            case 5:
                PressCtrlZ();
                break;
            case 6:
                Window->resize(700 + pick(500), 500 + pick(300));
                QCoreApplication::processEvents();
                break;
            case 7: {
                Window->SaveFile(Section);
                const TReliefState saved = TReliefState::Of(Chart());
                Reopen();
                EXPECT_TRUE(ReopensAs(TReliefState::Of(Chart()), saved)) << "the reopened section is not the saved one";
                break;
            }
            case 8: {
                // A double click somewhere below the surface (a body or the
                // host medium) in a mode where a press picks nothing up for
                // good; values typed, a label mode chosen, Return. A refused
                // value keeps the dialog open: a good one is typed then.
                Window->ModeButtons.at(pmMovePolygon)->click();
                const TModelArea& area = Chart().ModelArea;
                complexM at = MakeComplex((area.left + area.right) / 2, area.bottom - 5);
                for (int tries = 0; tries < 100; ++tries) {
                    const complexM place = MakeComplex(area.left + 5 + pick(static_cast<int>(area.right - area.left) - 10),
                                                       area.top + 5 + pick(static_cast<int>(area.bottom - area.top) - 10));
                    if (Chart().InHostMedium(place) && Chart().InHostMedium(MakeComplex(place.re, place.im - 5))) {
                        at = place;
                        break;
                    }
                }
                InBodyDialog(at.re, at.im, [&](TBsetup& Dialog) {
                    const TPolygonParams before = Chart().Model[Dialog.Body][Dialog.Sub].params;
                    const QString resistivity = among(TypedResistivities);
                    const QString polarizability = among(TypedPolarizabilities);
                    TypeInto(Dialog.Edit1, resistivity);
                    TypeInto(Dialog.Edit2, polarizability);
                    if (Dialog.ComboBox1->isEnabled())
                        ChooseLabelMode(Dialog, pick(4));
                    QTest::keyClick(Dialog.Edit2, Qt::Key_Return);
                    const bool refused = !ReadParameterText(TBodyQuantity::Resistivity, resistivity).Valid ||
                                         !ReadParameterText(TBodyQuantity::Polarizability, polarizability).Valid;
                    EXPECT_EQ(Dialog.isVisible(), refused);
                    const TPolygonParams& params = Chart().Model[Dialog.Body][Dialog.Sub].params;
                    if (refused) {
                        for (int slot : UserSlots)
                            EXPECT_EQ(params[slot], before[slot]) << "slot " << slot;
                        TypeInto(Dialog.Edit1, QStringLiteral("20"));
                        TypeInto(Dialog.Edit2, QStringLiteral("1"));
                        QTest::keyClick(Dialog.Edit2, Qt::Key_Return);
                        ASSERT_FALSE(Dialog.isVisible());
                        EXPECT_EQ(params[psResistivity].AsReal(), 20.0);
                        EXPECT_EQ(params[psPolarizability].AsReal(), 1.0);
                    } else {
                        ExpectSlotTyped(params[psResistivity], TBodyQuantity::Resistivity, resistivity,
                                        before[psResistivity]);
                        ExpectSlotTyped(params[psPolarizability], TBodyQuantity::Polarizability, polarizability,
                                        before[psPolarizability]);
                    }
                });
                Activate();
                break;
            }
            case 9: {
                // A value typed into a cell of the table of regions.
                if (!Window->RegionsWindow || !Window->RegionsWindow->isVisible())
                    ChooseFromMenuBar(Window->Regions1);
                ASSERT_NE(Window->RegionsWindow, nullptr);
                TRegionsWindow& regions = *Window->RegionsWindow;
                const int row = pick(regions.Sorted->rowCount());
                const bool resistivity = pick(2) == 0;
                const int column = resistivity ? rcResistivity : rcPolarizability;
                const TRingRef region = regions.Model->Region(regions.Sorted->mapToSource(regions.Sorted->index(row, 0)).row());
                const ParamValue before =
                    Chart().Model[region.Body][region.Ring].params[resistivity ? psResistivity : psPolarizability];
                const QString typed = among(resistivity ? TypedResistivities : TypedPolarizabilities);
                TypeIntoTableCell(*regions.Table, row, column, typed);
                const TBodyQuantity quantity = resistivity ? TBodyQuantity::Resistivity : TBodyQuantity::Polarizability;
                ExpectSlotTyped(Chart().Model[region.Body][region.Ring].params[QuantitySlot(quantity)], quantity, typed,
                                before);
                EXPECT_EQ(regions.MessageLabel->text().isEmpty(), ReadParameterText(quantity, typed).Valid)
                    << "typed \"" << typed.toStdString() << "\" in row " << row << " column " << column;
                if (pick(3) == 0)
                    regions.close();
                Activate();
                break;
            }
            default:
                ChooseFromAxisMenu(true, "Default");
                break;
            }
            QCoreApplication::processEvents();
            if (Chart().Editing)
                continue; // an edit in hand is checked when it is placed
            ExpectSoundAndRecorded(Chart(), name);
            if (HasFatalFailure() || HasNonfatalFailure())
                return;
        }
    }
}

} // namespace
} // namespace lp
