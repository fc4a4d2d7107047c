// Writing and reading the section file through the section chart: atomic
// saves that leave the old file intact on failure, and reads that replace
// the whole model or nothing.

#include "section/editor/PolygonChart.h"

#include "SectionTestUtil.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSettings.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <csignal>
#include <iterator>
#include <random>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

namespace lp {
namespace {

QByteArray ReadAll(const QString& Name)
{
    QFile file(Name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void WriteAll(const QString& Name, const QByteArray& Bytes)
{
    QFile file(Name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Bytes);
}

// The bytes with every parameter line's first token (the map polygon id,
// which a read regenerates) blanked.
QByteArray WithoutIds(const QByteArray& Bytes)
{
    QList<QByteArray> lines = Bytes.split('\n');
    for (QByteArray& text : lines)
        if (text.count(' ') >= 20 && text.endsWith(" \r"))
            text = "id" + text.mid(text.indexOf(' '));
    return lines.join('\n');
}

struct SectionFiles : ::testing::Test {
    QTemporaryDir Folder;
    QString Name(const char* File) const { return Folder.filePath(QString::fromLatin1(File)); }

    static void MakeSection(TPolygonChart& Chart)
    {
        TSectionFixture::AddBodies(Chart, 3);
        Chart.Model[1][0].params[psLabelText] = ParamValue("three word label");
        Chart.Model[2][0].params[9] = ParamValue("*");
        Chart.Model[2][0].params[psResistivity] = ParamValue(123.456);
        line record;
        record.points = {{10, 5}, {123.456, 7.25}};
        record.values = {1.5, 2.5};
        record.text = "profile line";
        Chart.Lines.Add(record);
        Chart.BuildLineSeries();
        Chart.Lines[0].series->SetSeriesColor(0x00FF00);
        Chart.ReservedPair[1] = 4.0;
    }

    // The section of MakeSection written to File (in the folder); its name.
    QString WriteMadeSection(const char* File) const
    {
        TPolygonChart source;
        MakeSection(source);
        const QString name = Name(File);
        source.WriteSection(name, {});
        return name;
    }
};

TEST_F(SectionFiles, WriteReadWriteGivesTheSameBytes)
{
    TPolygonChart chart;
    MakeSection(chart);
    const QString first = Name("first.sec");
    chart.WriteSection(first, {"picture.jpg", " 0.0 0.0 1000.0 100.0", ""});
    const QByteArray written = ReadAll(first);
    EXPECT_TRUE(written.startsWith("picture.jpg\r\n 0.0 0.0 1000.0 100.0\r\n\r\nVexaPolyModelDescription2.0\r\n"));
    EXPECT_TRUE(written.endsWith("EndPolyModelDescription2.0\r\n"));
    EXPECT_TRUE(written.contains("three\xA6word\xA6label "));
    EXPECT_TRUE(written.contains("\r\n10.0 5.0 123.5 7.2\r\n"));

    TPolygonChart reader;
    ASSERT_TRUE(reader.ReadModelBlock(first));
    EXPECT_EQ(reader.Model[1][0].params[psLabelText].AsText(), "three word label");
    EXPECT_TRUE(reader.Model[2][0].params[9].IsEmpty());
    EXPECT_EQ(reader.MapSeries()->Shapes()->Count(), 3);
    ASSERT_EQ(reader.Lines.Length(), 1);
    ASSERT_NE(reader.Lines[0].series, nullptr);
    EXPECT_EQ(reader.Lines[0].series->SeriesColor(), 0x00FF00); // the look came with the line
    EXPECT_DOUBLE_EQ(reader.ReservedPair[1], 4.0);
    EXPECT_EQ(reader.UndoSequence.Length(), 1);
    EXPECT_TRUE(reader.ModelLoaded);

    const QString second = Name("second.sec");
    reader.WriteModelBlock(second, 0);
    WriteAll(second, "picture.jpg\r\n 0.0 0.0 1000.0 100.0\r\n\r\n" + ReadAll(second));
    EXPECT_EQ(WithoutIds(ReadAll(second)), WithoutIds(written));
}

// Each ring but the host ring has one map polygon, in ring order, whose id
// its slot 0 holds and whose outline runs through its nodes.
void ExpectMapFollowsRings(TPolygonChart& Chart)
{
    TPlotPolygonList& shapes = *Chart.MapSeries()->Shapes();
    int map = 0;
    for (int body = 0; body < Chart.Model.Length(); ++body)
        for (int sub = 0; sub < Chart.Model[body].Length(); ++sub) {
            const Polygon& ring = Chart.Model[body][sub];
            if (IsHostRing(body, sub)) {
                EXPECT_EQ(ring.params[psId].AsInteger(), -1);
                continue;
            }
            ASSERT_LT(map, shapes.Count());
            const TPlotPolygon& polygon = *shapes.GetPolygon(map++);
            EXPECT_EQ(polygon.ID(), ring.params[psId].AsInteger());
            ASSERT_EQ(polygon.Points()->Count(), ring.ring.Length());
            for (int i = 0; i < ring.ring.Length(); ++i)
                EXPECT_EQ(polygon.Points()->XValues()->Value(i), Chart.Nodes[ring.ring[i]].x);
        }
    EXPECT_EQ(map, shapes.Count());
}

// A read leaves the map polygons to be made on first use; whatever comes
// first (a paint, a save, an edit that adds a body) sees the same ids and
// the same polygons as if they had been made at once.
TEST_F(SectionFiles, MapPolygonsMadeOnFirstUseMatchTheRings)
{
    const QString file = WriteMadeSection("source.sec");

    // Painted first (the second read replaces a model whose polygons exist).
    TPolygonChart painted;
    painted.SetBounds(0, 0, 400, 300);
    ASSERT_TRUE(painted.ReadModelBlock(file));
    TBitmap frame(400, 300);
    painted.DrawToCanvas(&frame.Canvas(), painted.GetRectangle());
    ASSERT_TRUE(painted.ReadModelBlock(file));
    painted.DrawToCanvas(&frame.Canvas(), painted.GetRectangle());
    ExpectMapFollowsRings(painted);
    const QString paintedCopy = Name("painted.sec");
    painted.WriteSection(paintedCopy, {});

    // Saved first: the same bytes, ids included.
    TPolygonChart saved;
    saved.SetBounds(0, 0, 400, 300);
    ASSERT_TRUE(saved.ReadModelBlock(file));
    saved.DrawToCanvas(&frame.Canvas(), saved.GetRectangle());
    ASSERT_TRUE(saved.ReadModelBlock(file));
    const QString savedCopy = Name("saved.sec");
    saved.WriteSection(savedCopy, {});
    EXPECT_EQ(ReadAll(savedCopy), ReadAll(paintedCopy));
    ExpectMapFollowsRings(saved);

    // A body added before anything used the map gets one polygon, the last.
    TPolygonChart edited;
    ASSERT_TRUE(edited.ReadModelBlock(file));
    const int rings = edited.MapSeries()->Shapes()->Count();
    ASSERT_TRUE(edited.ReadModelBlock(file));
    ASSERT_TRUE(edited.DoAddPolygon({{800, 60}, {900, 60}, {900, 90}, {800, 90}}));
    EXPECT_EQ(edited.MapSeries()->Shapes()->Count(), rings + 1);
    ExpectMapFollowsRings(edited);
}

// The map series as it stands, without making polygons left to be made.
TMapSeries* MapAsItStands(TPolygonChart& Chart)
{
    for (TChartSeries* series : Chart.SeriesList())
        if (auto* map = qobject_cast<TMapSeries*>(series))
            return map;
    return nullptr;
}

// Reading lays the axes out for the chart's size without making or
// painting the polygons; an automatic axis of the map, which takes its
// range from them, has them made for the layout.
TEST_F(SectionFiles, ReadLaysOutTheAxesWithoutMakingThePolygons)
{
    const QString file = WriteMadeSection("layout.sec");

    TPolygonChart chart;
    chart.SetBounds(0, 0, 400, 300);
    ASSERT_TRUE(chart.ReadModelBlock(file));
    ASSERT_NE(MapAsItStands(chart), nullptr);
    EXPECT_EQ(MapAsItStands(chart)->Shapes()->Count(), 0);
    EXPECT_GT(chart.BottomAxis()->AxisPixelSize(), 0);
    const int rings = chart.MapSeries()->Shapes()->Count();
    EXPECT_GT(rings, 0);

    ASSERT_TRUE(chart.ReadModelBlock(file));
    EXPECT_EQ(MapAsItStands(chart)->Shapes()->Count(), 0);
    chart.BottomAxis()->SetAutomatic(true);
    chart.SetBounds(0, 0, 500, 320); // a new size: laid out again
    chart.UpdateAxisScales();
    EXPECT_EQ(MapAsItStands(chart)->Shapes()->Count(), rings);
    ExpectMapFollowsRings(chart);
}

// A line's appearance in the file once reached the drawing code unchecked:
// a shadow of 100,000,000 pixels looped that often, callout sizes and frame
// widths overflowed, and a pointer size beyond the range made every paint
// raise. Each field is replaced in turn by INT_MAX, INT_MIN, 1e308, NaN and
// 100,000,000; the file still opens, and the chart paints.
TEST_F(SectionFiles, ExtremeLineAppearancesStillOpenAndPaint)
{
    TPolygonChart chart;
    MakeSection(chart);
    TLineSeries& series = *chart.Lines[0].series;
    series.Marks()->SetVisible(true);
    series.Marks()->Callout()->SetVisible(true);
    series.Marks()->Shadow()->SetTransparency(40);
    const QString file = Name("lines.sec");
    chart.WriteSection(file, {"picture.jpg", " 0.0 0.0 1000.0 100.0", ""});
    const QByteArray written = ReadAll(file);
    const QString appearance = SeriesSettingsToText(&series);
    ASSERT_TRUE(written.contains(appearance.toLatin1()));

    // Callout length, arrow head size, distance, sizes; marks bevel width,
    // frame, transparency, shadow; line pen; pointer sizes; DrawEvery.
    const int fields[] = {8, 9, 13, 14, 18, 20, 25, 30, 37, 38, 42, 49, 51, 54};
    const char* extremes[] = {"2147483647", "-2147483648", "1e308", "nan", "100000000"};
    static const QRegularExpression number(QStringLiteral("-?[0-9]+"));
    for (const int field : fields) {
        const QStringList words = appearance.split(QLatin1Char('~'));
        // Each number of the field, nested texts (pen, shadow) included.
        for (const QRegularExpressionMatch& match : number.globalMatch(words[field])) {
            for (const char* extreme : extremes) {
                QStringList changed = words;
                changed[field].replace(match.capturedStart(), match.capturedLength(), QString::fromLatin1(extreme));
                QByteArray bytes = written;
                bytes.replace(appearance.toLatin1(), changed.join(QLatin1Char('~')).toLatin1());
                WriteAll(file, bytes);
                SCOPED_TRACE(changed[field].toStdString());
                TPolygonChart reader;
                reader.SetBounds(0, 0, 400, 300);
                ASSERT_TRUE(reader.ReadModelBlock(file));
                ASSERT_EQ(reader.Lines.Length(), 1);
                TBitmap picture(400, 300);
                EXPECT_NO_THROW(reader.DrawToCanvas(&picture.Canvas(), reader.GetRectangle()));
            }
        }
    }
}

TEST_F(SectionFiles, HeaderLinesAreKeptFromTheExistingFile)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    const QString name = Name("kept.sec");
    WriteAll(name, "pic.png\r\n 1 2 3 4\r\n");
    chart.WriteModelBlock(name, 3); // the third line does not exist: empty
    EXPECT_TRUE(ReadAll(name).startsWith("pic.png\r\n 1 2 3 4\r\n\r\nVexaPolyModelDescription2.0\r\n"));
    // With -1 every line of the old file is kept.
    chart.WriteModelBlock(name, -1);
    const QByteArray twice = ReadAll(name);
    EXPECT_EQ(twice.count("VexaPolyModelDescription2.0"), 2);
    // A missing file is not an error: there is simply no header.
    const QString fresh = Name("fresh.sec");
    chart.WriteModelBlock(fresh, 3);
    EXPECT_TRUE(ReadAll(fresh).startsWith("VexaPolyModelDescription2.0"));
}

TEST_F(SectionFiles, AFileWithoutABlockLeavesTheChart)
{
    TPolygonChart chart;
    MakeSection(chart);
    const QString name = Name("header.sec");
    WriteAll(name, "picture.jpg\r\n 0 0 1 1\r\n");
    EXPECT_FALSE(chart.ReadModelBlock(name));
    EXPECT_EQ(chart.Model.Length(), 4);
    EXPECT_THROW(chart.ReadModelBlock(Name("missing.sec")), ESectionFileError);
}

TEST_F(SectionFiles, ReadingASecondFileReplacesEverything)
{
    TPolygonChart chart;
    MakeSection(chart);
    const QString big = Name("big.sec");
    chart.WriteSection(big, {"a", "b", ""});

    TPolygonChart small;
    small.NewModel({}, false, 0, 500, 0, 40);
    const QString little = Name("little.sec");
    small.WriteSection(little, {"c", "d", ""});

    TPolygonChart reader;
    ASSERT_TRUE(reader.ReadModelBlock(big));
    const int seriesWithLines = reader.SeriesCount();
    ASSERT_TRUE(reader.ReadModelBlock(little));
    EXPECT_EQ(reader.Model.Length(), 1);
    EXPECT_EQ(reader.Lines.Length(), 0);
    EXPECT_EQ(reader.MapSeries()->Shapes()->Count(), 0);
    EXPECT_EQ(reader.SeriesCount(), seriesWithLines - 1); // the line's series went
    EXPECT_DOUBLE_EQ(reader.ModelArea.right, 500);
    EXPECT_DOUBLE_EQ(reader.BottomAxis()->Maximum(), 500);
    EXPECT_EQ(reader.UndoSequence.Length(), 1);
}

TEST_F(SectionFiles, AnInvalidBlockKeepsThePreviousModel)
{
    TPolygonChart chart;
    MakeSection(chart);
    const QString name = Name("bad.sec");
    chart.WriteSection(name, {"a", "b", ""});
    QByteArray bytes = ReadAll(name);
    bytes.replace("\r\n4\r\n", "\r\n40\r\n"); // the body count: more than there are
    WriteAll(name, bytes);

    TPolygonChart reader;
    reader.NewModel({}, false, 0, 700, 0, 70);
    try {
        reader.ReadModelBlock(name);
        FAIL() << "accepted";
    } catch (const ESectionFileError& error) {
        EXPECT_NE(std::string(error.Message()).find("bad.sec"), std::string::npos);
        EXPECT_NE(std::string(error.Message()).find("line "), std::string::npos);
    }
    EXPECT_EQ(reader.Model.Length(), 1);
    EXPECT_DOUBLE_EQ(reader.ModelArea.right, 700);
}

// A chart with a model of its own, which a refused read must leave alone.
void ExpectRefusedKeepingTheChart(const QString& FileName, const std::string& Expected)
{
    TPolygonChart reader;
    reader.NewModel({}, false, 0, 700, 0, 70);
    const Tnodes nodes = CopyNodes(reader.Nodes);
    try {
        reader.ReadModelBlock(FileName);
        ADD_FAILURE() << "accepted";
    } catch (const ESectionFileError& error) {
        EXPECT_NE(error.Message().find(FileName.toStdString()), std::string::npos) << error.Message();
        EXPECT_NE(error.Message().find(Expected), std::string::npos) << error.Message();
    }
    EXPECT_EQ(reader.Nodes, nodes);
    EXPECT_DOUBLE_EQ(reader.ModelArea.right, 700);
}

TEST_F(SectionFiles, ATruncatedFileKeepsTheCurrentSection)
{
    // Regression: a file cut inside the last appearance text loaded, and the
    // next save lost the rest of that text.
    TPolygonChart chart;
    MakeSection(chart);
    const QString name = Name("cut.sec");
    chart.WriteSection(name, {"a", "b", ""});
    const QByteArray bytes = ReadAll(name);
    WriteAll(name, bytes.left(bytes.indexOf("EndPolyModelDescription2.0") - 10));
    ExpectRefusedKeepingTheChart(name, "the end marker \"EndPolyModelDescription2.0\" is missing");
}

// Body 2 of MakeSection pushed into body 1 (100 .. 200 x 10 .. 50).
void PushBodyTwoIntoBodyOne(TPolygonChart& Chart)
{
    for (int node : Chart.Model[2][0].ring) {
        Chart.Nodes[node].x -= 200;
        Chart.Nodes[node].y += 5;
    }
}

TEST_F(SectionFiles, ABrokenModelKeepsTheCurrentSection)
{
    TPolygonChart chart;
    MakeSection(chart);
    PushBodyTwoIntoBodyOne(chart);
    // Written past the writer's check, as another program might.
    const QString name = Name("broken.sec");
    WriteAll(name, "a\r\nb\r\n\r\n" + QByteArray::fromStdString(FormatSectionModelBlock(chart.SectionModel())));
    ExpectRefusedKeepingTheChart(name, "ring 0 of body 1 crosses ring 0 of body 2");
}

// Guards the editor writing a section it then refused to open: a model
// that breaks the rules is refused before the file is touched.
TEST_F(SectionFiles, AModelTheReaderWouldRefuseIsNotWritten)
{
    TPolygonChart chart;
    MakeSection(chart);
    PushBodyTwoIntoBodyOne(chart);
    const QString name = Name("kept.sec");
    WriteAll(name, "old contents\r\n");
    try {
        chart.WriteSection(name, {"a", "b", ""});
        ADD_FAILURE() << "written";
    } catch (const ESectionFileError& error) {
        EXPECT_EQ(error.Message(), "The section file \"" + name.toStdString() +
                                       "\" cannot be written: the model breaks a rule of section models: ring 0 of "
                                       "body 1 crosses ring 0 of body 2 (edges 5-6 and 8-9). The file is left as it "
                                       "was.");
    }
    EXPECT_EQ(ReadAll(name), "old contents\r\n");
    EXPECT_EQ(QDir(Folder.path()).entryList(QDir::Files).size(), 1); // no temporary left behind
    // A new name: no file at all.
    EXPECT_THROW(chart.WriteSection(Name("new.sec"), {"a", "b", ""}), ESectionFileError);
    EXPECT_FALSE(QFile::exists(Name("new.sec")));
    EXPECT_THROW(chart.WriteModelBlock(name, 3), ESectionFileError);
    EXPECT_EQ(ReadAll(name), "old contents\r\n");
}

// Tries the editing modes out at random, as a user new to them might:
// presses and moves aimed at nodes, at the middles of edges, near the path
// being drawn and at free places, mode changes between them, and every
// question answered at random. Finished edits are recorded as the mouse
// handler records them. The round trip is the file's promise for sound
// models; an edit that leaves the model unsound is a fault of the editing
// code: it is noted in EditFaults and taken back, so the session goes on
// from a sound model.
class TRandomSession {
public:
    // With Relief the frame's top follows a random ground profile.
    TRandomSession(unsigned Seed, bool Relief) : FRandom(Seed)
    {
        MessageService() = [this](const TMessageRequest&) { return Index(2) == 0 ? mrYes : mrNo; };
        arofcomplexM profile;
        if (Relief)
            for (double x = -20; x <= 330; x += Uniform(15, 60))
                profile.Add(complexM{x, Uniform(0, 12)});
        Chart.NewModel(profile, Relief, 0, 300, 0, 100);
        SetMode(pmAddPolygon);
        FSound = Chart.SectionModel();
    }
    ~TRandomSession() { ResetMessageService(); }

    void Step()
    {
        if (Index(20) == 0)
            SetMode(Modes[static_cast<size_t>(Index(static_cast<int>(std::size(Modes))))]);
        if (Index(150) == 0) {
            // Between edits the area grows or shrinks at its sides and bottom,
            // the model adapted to it or kept.
            SetMode(Chart.EditMode);
            const TModelArea area = Chart.ModelArea;
            const bool keep = Index(2) == 0;
            Chart.SetModelArea(keep, area.left + Uniform(-20, 20), area.right + Uniform(-20, 20), area.top,
                               area.bottom + Uniform(-10, 10));
            KeepSound(keep ? "area change keeping the model" : "area change");
            return;
        }
        const complexM target = Target();
        Chart.CursorX = target.re;
        Chart.CursorY = target.im;
        Chart.CursorPoint = target;
        Chart.EditStep(Chart.EditMode, 1, target.re, target.im, false);
        const int action = Index(10);
        if (action >= 3 && Chart.EditStep(Chart.EditMode, 0, target.re, target.im, action >= 7)) {
            Chart.TakeBackup();
            Chart.PushUndo();
            Chart.ClearEditState();
            ++Finished;
            FinishedModes.insert(Chart.EditMode);
        }
        KeepSound(action >= 3 ? (action >= 7 ? "right press" : "left press") : "move");
    }

    // Ends an unfinished edit the way a mode change does.
    void Settle() { SetMode(Chart.EditMode); }

    TPolygonChart Chart;
    int Finished = 0;
    std::set<TPolygonEditMode> FinishedModes;
    std::vector<std::string> EditFaults;

private:
    static constexpr TPolygonEditMode Modes[] = {
        pmAddPolygon,     pmAddPolygon,        pmAddSubPolygon, pmDividePolygon, pmCoupleNodes,  pmDeleteNode,
        pmMoveNode,       pmMoveNode,          pmUncoupleNodes, pmAddNode,       pmAddNode,      pmDeleteSubPolygon,
        pmUncoupleSubPolygon, pmMovePolygon,   pmMoveSubPolygon, pmFixNode,      pmAddLine,      pmMoveLineNode,
        pmAddLineNode,    pmDeleteLineNode,    pmMoveLine,      pmDeleteLine,    pmPolygonFromLinesA, pmPolygonFromLinesB,
    };

    int Index(int Count) { return std::uniform_int_distribution<int>(0, Count - 1)(FRandom); }
    double Uniform(double Low, double High) { return std::uniform_real_distribution<double>(Low, High)(FRandom); }

    void SetMode(TPolygonEditMode Mode)
    {
        Chart.EditMode = Mode;
        Chart.ResetEditMode();
        Chart.ScaleX = Chart.ScaleY = 1.0;
    }

    // While a node, ring or body is dragged the model may cross itself; the
    // drop checks it.
    bool Dragging() const
    {
        return Chart.Editing &&
               (Chart.EditMode == pmMoveNode || Chart.EditMode == pmMoveSubPolygon || Chart.EditMode == pmMovePolygon);
    }

    void KeepSound(const char* Action)
    {
        if (Dragging())
            return;
        const std::vector<std::string> faults = CheckModelInvariants(Chart.Model, Chart.Nodes, &Chart.ModelArea);
        if (faults.empty()) {
            if (!Chart.Editing)
                FSound = Chart.SectionModel();
            return;
        }
        EditFaults.push_back("mode " + std::to_string(Chart.EditMode) + ", " + Action + ": " + faults.front());
        TSectionModel sound = FSound;
        Chart.LoadSectionModel(std::move(sound));
        SetMode(Chart.EditMode);
    }

    complexM Target()
    {
        const Tnodes& nodes = Chart.Nodes;
        if (!Chart.DrawnPoints.Empty() && Index(3) > 0) {
            // Drawing goes on near the last point.
            const complexM& last = Chart.DrawnPoints.Last();
            return complexM{last.re + Uniform(-25, 25), last.im + Uniform(-15, 15)};
        }
        switch (Index(5)) {
        case 0:
        case 1: {
            const Tnode& node = nodes[Index(nodes.Length())];
            return complexM{node.x + Uniform(-3, 3), node.y + Uniform(-3, 3)};
        }
        case 2: {
            const int body = Index(Chart.Model.Length());
            const arofintM& ring = Chart.Model[body][Index(Chart.Model[body].Length())].ring;
            const int i = Index(ring.Length());
            const Tnode& a = nodes[ring[i]];
            const Tnode& b = nodes[ring[(i + 1) % ring.Length()]];
            return complexM{(a.x + b.x) / 2, (a.y + b.y) / 2};
        }
        default:
            const TModelArea& area = Chart.ModelArea;
            return complexM{Uniform(area.left - 5, area.right + 5), Uniform(area.top - 5, area.bottom + 5)};
        }
    }

    std::mt19937 FRandom;
    TSectionModel FSound; // the model after the last settled sound step
};

// The rings of two models (the slots are compared through the files, which
// do not keep the slots that carry nothing).
void ExpectSameRings(const AllSpolygon& Read, const AllSpolygon& Written)
{
    ASSERT_EQ(Read.Length(), Written.Length());
    for (int body = 0; body < Read.Length(); ++body) {
        ASSERT_EQ(Read[body].Length(), Written[body].Length()) << "body " << body;
        for (int sub = 0; sub < Read[body].Length(); ++sub)
            EXPECT_EQ(Read[body][sub].ring, Written[body][sub].ring) << "ring " << sub << " of body " << body;
    }
}

// Node positions are stored with 15 significant digits.
void ExpectSameNodes(const Tnodes& Read, const Tnodes& Written)
{
    ASSERT_EQ(Read.Length(), Written.Length());
    for (int i = 0; i < Read.Length(); ++i) {
        EXPECT_NEAR(Read[i].x, Written[i].x, 1e-13 * (1 + std::fabs(Written[i].x))) << "node " << i;
        EXPECT_NEAR(Read[i].y, Written[i].y, 1e-13 * (1 + std::fabs(Written[i].y))) << "node " << i;
        EXPECT_EQ(Read[i].fixed, Written[i].fixed) << "node " << i;
        EXPECT_EQ(Read[i].sharing, Written[i].sharing) << "node " << i;
        EXPECT_EQ(Read[i].border, Written[i].border) << "node " << i;
    }
}

TEST_F(SectionFiles, EveryFileTheEditorWritesLoadsUnchanged)
{
    int finished = 0;
    std::set<TPolygonEditMode> modes;
    std::vector<std::string> editFaults;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        TRandomSession session(seed, seed % 2 == 0);
        for (int round = 0; round < 8; ++round) {
            for (int step = 0; step < 80; ++step)
                session.Step();
            session.Settle();
            TPolygonChart& chart = session.Chart;
            const std::vector<std::string> faults = CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea);
            ASSERT_TRUE(faults.empty()) << "seed " << seed << ", round " << round << ": the editor made "
                                        << faults.front();
            const QString first = Name("first.sec");
            chart.WriteSection(first, {"picture.jpg", " 0 0 300 100", ""});
            TPolygonChart reader;
            try {
                ASSERT_TRUE(reader.ReadModelBlock(first));
            } catch (const Exception& error) {
                FAIL() << "seed " << seed << ", round " << round << ": " << error.Message();
            }
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", round " << round);
            ExpectSameRings(reader.Model, chart.Model);
            ExpectSameNodes(reader.Nodes, chart.Nodes);
            ASSERT_EQ(reader.Lines.Length(), chart.Lines.Length());
            const QString second = Name("second.sec");
            reader.WriteSection(second, {"picture.jpg", " 0 0 300 100", ""});
            EXPECT_EQ(WithoutIds(ReadAll(second)), WithoutIds(ReadAll(first)));
            if (HasFailure())
                return;
        }
        finished += session.Finished;
        modes.insert(session.FinishedModes.begin(), session.FinishedModes.end());
        for (const std::string& fault : session.EditFaults)
            editFaults.push_back("seed " + std::to_string(seed) + ", " + fault);
    }
    // Edits that broke the model were taken back; they are listed for whoever
    // mends the editing code.
    RecordProperty("EditFaults", static_cast<int>(editFaults.size()));
    for (const std::string& fault : editFaults)
        std::cout << "[   NOTE   ] an edit broke the model (taken back): " << fault << '\n';
    EXPECT_GT(finished, 150) << "too few edits were finished to mean much";
    EXPECT_GE(modes.size(), 10u) << "too few kinds of edit were finished";
}

TEST_F(SectionFiles, AFullDiskLeavesTheOldFileIntact)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    const QString name = Name("full.sec");
    WriteAll(name, "old contents\r\n");
    // A file-size limit makes every write past 512 bytes fail as a full
    // disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool raised = false;
    try {
        chart.WriteSection(name, {"a", "b", ""});
    } catch (const ESectionFileError& error) {
        raised = true;
        EXPECT_NE(std::string(error.Message()).find("cannot be written"), std::string::npos);
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(raised);
    EXPECT_EQ(ReadAll(name), "old contents\r\n");
    EXPECT_EQ(QDir(Folder.path()).entryList(QDir::Files).size(), 1); // no temporary left behind
}

TEST_F(SectionFiles, AReadOnlyOrMissingFolderIsReported)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    EXPECT_THROW(chart.WriteSection(Name("no/such/folder/x.sec"), {}), ESectionFileError);

    const QString folder = Name("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString name = folder + "/locked.sec";
    WriteAll(name, "old\r\n");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    const bool enforced = access(folder.toLocal8Bit().constData(), W_OK) != 0;
    if (enforced) {
        EXPECT_THROW(chart.WriteSection(name, {}), ESectionFileError);
        EXPECT_EQ(ReadAll(name), "old\r\n");
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!enforced)
        GTEST_SKIP() << "folder permissions are not enforced for this user";
}

} // namespace
} // namespace lp
