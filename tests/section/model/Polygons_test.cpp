#include "section/model/Polygons.h"

#include "ModelFixtures.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::FrameModel;

TEST(ParamValue, HoldsEmptyIntegerRealOrText)
{
    ParamValue empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.AsInteger(), 0);
    EXPECT_EQ(empty.AsText(), "");
    EXPECT_EQ(ParamValue(7).GetKind(), ParamValue::Kind::Integer);
    EXPECT_EQ(ParamValue(2.5).GetKind(), ParamValue::Kind::Real);
    EXPECT_EQ(ParamValue("x").GetKind(), ParamValue::Kind::Text);
    EXPECT_EQ(ParamValue(2.5).AsInteger(), 2); // halves to even
    EXPECT_EQ(ParamValue(3.5).AsInteger(), 4);
    EXPECT_EQ(ParamValue(7).AsReal(), 7.0);
    EXPECT_EQ(ParamValue("1,25").AsReal(), 1.25);
    EXPECT_EQ(ParamValue(-3).AsText(), "-3");
    EXPECT_EQ(ParamValue(0.5).AsText(), "0.5");
    EXPECT_THROW(ParamValue("abc").AsReal(), EConvertError);
    EXPECT_THROW(ParamValue(1e12).AsInteger(), ERangeError);
    EXPECT_NE(ParamValue(1), ParamValue(1.0)); // kinds differ
}

TEST(ParamValue, TextsCompareByContentAndCopiesKeepTheirText)
{
    ParamValue text(std::string(40, 'b'));
    const ParamValue copy = text;
    EXPECT_EQ(copy.Text(), text.Text()); // held once
    EXPECT_EQ(copy, ParamValue(std::string(40, 'b')));
    EXPECT_NE(copy, ParamValue(std::string(40, 'c')));
    EXPECT_NE(ParamValue("1"), ParamValue(1));
    EXPECT_EQ(ParamValue(1).Text(), nullptr);
    text = ParamValue("other");
    EXPECT_EQ(copy.AsText(), std::string(40, 'b'));
    EXPECT_EQ(text.AsText(), "other");
}

TEST(ParamSlots, IndexOutsideTheTwentySlotsRaises)
{
    Polygon ring;
    EXPECT_NO_THROW(ring.params[19] = 1);
    EXPECT_THROW(ring.params[20] = 1, ERangeError);
    EXPECT_THROW((void)ring.params[-1], ERangeError);
}

TEST(DefaultParameters, ClearEmptiesEverySlot)
{
    DefaultParameters[psResistivity] = 100.0;
    DefaultParameters[psLabelText] = "sand";
    ClearDefaultParameters();
    for (const ParamValue& slot : DefaultParameters)
        EXPECT_TRUE(slot.IsEmpty());
}

TEST(Copies, ModelCopiesAreIndependentOfTheirSource)
{
    FrameModel m;
    const int body = m.AddSquare(10, 10, 20);
    m.model[body][0].params[psResistivity] = 250.0;
    m.model[body][0].params[psLabelText] = "clay";
    m.model[body][0].tag = 42;

    AllSpolygon copy = CopyAllSpolygon(m.model);
    Tnodes nodeCopy = CopyNodes(m.nodes);
    ASSERT_EQ(copy.Length(), 2);
    EXPECT_EQ(copy[body][0].ring, m.model[body][0].ring);
    EXPECT_EQ(copy[body][0].params, m.model[body][0].params);
    EXPECT_EQ(copy[body][0].tag, 0); // copies do not carry the unnamed field

    copy[body][0].ring[0] = 3;
    copy[body][0].params[psResistivity] = 1.0;
    copy[body].Add(test::MakeRing({1, 2, 3}));
    nodeCopy[4].x = -1;
    nodeCopy[4].fixed = 1;
    EXPECT_EQ(m.model[body][0].ring[0], 4);
    EXPECT_EQ(m.model[body][0].params[psResistivity], ParamValue(250.0));
    EXPECT_EQ(m.model[body].Length(), 1);
    EXPECT_EQ(m.nodes[4].x, 10);
    EXPECT_EQ(m.nodes[4].fixed, 0);

    SPolygon bodyCopy = CopySPolygon(m.model[body]);
    bodyCopy[0].params[psLabelText] = "sand";
    EXPECT_EQ(m.model[body][0].params[psLabelText].AsText(), "clay");
    Tnode nodeRecord = CopyNodeRecord(m.nodes[2]);
    EXPECT_EQ(nodeRecord, m.nodes[2]);
}

TEST(Copies, LinesAreCopiedWithoutTheirSeries)
{
    lines source(1);
    source[0].points = {MakeComplex(0, 0), MakeComplex(5, 5)};
    source[0].values = {1, 2};
    source[0].text = "fault";
    source[0].appearance = "settings";
    source[0].series = reinterpret_cast<TLineSeries*>(&source); // any non-null observer
    lines copy = CopyLines(source);
    EXPECT_EQ(copy[0].series, nullptr);
    EXPECT_EQ(copy[0].text, "fault");
    EXPECT_EQ(copy[0].appearance, "settings");
    copy[0].points[1].re = 9;
    copy[0].values[0] = 7;
    EXPECT_EQ(source[0].points[1].re, 5);
    EXPECT_EQ(source[0].values[0], 1);
}

TEST(RingWalk, TheHostRingStopsAtItsFirstReturn)
{
    FrameModel m;
    EXPECT_EQ(RingEdgeCount(m.model[0][0].ring, true), 4);
    EXPECT_EQ(RingEdgeCount(m.model[0][0].ring, false), 8);
    EXPECT_EQ(RingEdgeCount({5, 6, 7}, true), 3);
    EXPECT_EQ(RingEdgeCount({}, true), 0);
    const arofcomplexM points = RingPoints({2, 0}, m.nodes);
    EXPECT_EQ(points[0], MakeComplex(100, 50));
    EXPECT_THROW(RingPoints({99}, m.nodes), ERangeError); // a ring index outside the node table
}

} // namespace
} // namespace lp
