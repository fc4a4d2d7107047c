// Measured data in the Res2DInv format: every array type read into the
// electrode positions its rows were written from (both x-location types,
// pole-dipole in both directions, the general array with resistances),
// chargeability in its three units, separators, the topography block and
// the closing zeros, and the refusals with their lines.

#include "section/survey/Res2DInvFile.h"
#include "section/survey/DataCleaning.h"
#include "section/survey/Survey.h"
#include "tests/section/survey/formats/SquareRemote.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <limits>

namespace lp {
namespace {

constexpr double None = std::numeric_limits<double>::infinity(); // an electrode at infinity

// A datum as the positions of A, B, M, N (None where absent) and its ρa.
struct TPlacedDatum {
    double a, b, m, n, rhoa;
};

std::vector<TPlacedDatum> Placed(const TMeasuredData& Data)
{
    std::vector<TPlacedDatum> placed;
    const auto x = [&](int e) { return e < 0 ? None : Data.Electrodes.at(static_cast<size_t>(e)).x; };
    for (size_t d = 0; d < Data.Size(); ++d) {
        const TConfiguration& c = Data.Configurations[d];
        placed.push_back({x(c.a), x(c.b), x(c.m), x(c.n), Data.Resistivities[d]});
    }
    return placed;
}

void ExpectPlaced(const TMeasuredData& Data, const std::vector<TPlacedDatum>& Expected)
{
    const std::vector<TPlacedDatum> placed = Placed(Data);
    ASSERT_EQ(placed.size(), Expected.size());
    for (size_t d = 0; d < placed.size(); ++d) {
        SCOPED_TRACE("datum " + std::to_string(d + 1));
        EXPECT_DOUBLE_EQ(placed[d].a, Expected[d].a);
        EXPECT_DOUBLE_EQ(placed[d].b, Expected[d].b);
        EXPECT_DOUBLE_EQ(placed[d].m, Expected[d].m);
        EXPECT_DOUBLE_EQ(placed[d].n, Expected[d].n);
        EXPECT_EQ(placed[d].rhoa, Expected[d].rhoa);
    }
}

std::string Header(int Array, int Data, int Location, const std::string& IP = "0\n")
{
    return "Survey line\n2.5\n" + std::to_string(Array) + "\n" + std::to_string(Data) + "\n" +
           std::to_string(Location) + "\n" + IP;
}

struct TArrayRows {
    const char* name;
    int array;
    const char* firstElectrodeRows; // x-location type 0
    const char* midPointRows;       // the same data, x-location type 1
    std::vector<TPlacedDatum> expected;
};

class Res2DInvArrays : public ::testing::TestWithParam<TArrayRows> {};

TEST_P(Res2DInvArrays, ReadIntoTheElectrodesTheRowsWereWrittenFrom)
{
    const TArrayRows& rows = GetParam();
    const int data = static_cast<int>(rows.expected.size());
    const TMeasuredData first = ReadRes2DInvData(Header(rows.array, data, 0) + rows.firstElectrodeRows + "0\n0\n0\n0\n");
    ExpectPlaced(first, rows.expected);
    const TMeasuredData middle = ReadRes2DInvData(Header(rows.array, data, 1) + rows.midPointRows);
    ExpectPlaced(middle, rows.expected);
    EXPECT_EQ(first.Format, TDataFormat::Res2DInv);
    EXPECT_EQ(first.Title, "Survey line");
    EXPECT_FALSE(first.HasElevations);
    // Electrodes shared by several data are one electrode each, in order of x.
    for (size_t e = 1; e < first.Electrodes.size(); ++e)
        EXPECT_LT(first.Electrodes[e - 1].x, first.Electrodes[e].x);
}

INSTANTIATE_TEST_SUITE_P(
    Res2DInvFile, Res2DInvArrays,
    ::testing::Values(
        TArrayRows{"Wenner", 1, "0 2.5 100\n2.5 2.5 110\n0 5 120\n", "3.75 2.5 100\n6.25 2.5 110\n7.5 5 120\n",
                   {{0, 7.5, 2.5, 5, 100}, {2.5, 10, 5, 7.5, 110}, {0, 15, 5, 10, 120}}},
        TArrayRows{"PolePole", 2, "0 2.5 100\n5 5 90\n", "1.25 2.5 100\n7.5 5 90\n",
                   {{0, None, 2.5, None, 100}, {5, None, 10, None, 90}}},
        TArrayRows{"DipoleDipole", 3, "0 2.5 1 100\n0,2.5,2,105\n2.5\t2.5\t1.5\t107\n",
                   "3.75 2.5 1 100\n5 2.5 2 105\n6.875 2.5 1.5 107\n",
                   {{0, 2.5, 5, 7.5, 100}, {0, 2.5, 7.5, 10, 105}, {2.5, 5, 8.75, 11.25, 107}}},
        TArrayRows{"WennerBeta", 4, "0 2.5 100\n", "3.75 2.5 100\n", {{0, 2.5, 5, 7.5, 100}}},
        TArrayRows{"WennerGamma", 5, "0 2.5 100\n", "3.75 2.5 100\n", {{0, 5, 2.5, 7.5, 100}}},
        TArrayRows{"PoleDipole", 6, "0 2.5 2 100\n0 2.5 -2 95\n", "3.75 2.5 2 100\n3.75 2.5 -2 95\n",
                   {{0, None, 5, 7.5, 100}, {7.5, None, 2.5, 0, 95}}},
        TArrayRows{"WennerSchlumberger", 7, "0 2.5 1 100\n0 2.5 2 101\n", "3.75 2.5 1 100\n6.25 2.5 2 101\n",
                   {{0, 7.5, 2.5, 5, 100}, {0, 12.5, 5, 7.5, 101}}}),
    [](const ::testing::TestParamInfo<TArrayRows>& info) { return std::string(info.param.name); });

TEST(Res2DInvFile, TheGeneralArrayGivesEveryElectrodeAndResistancesBecomeApparentResistivities)
{
    const std::string rows = "4\n2 0 0 5 0 100\n3 0 0 5 0 10 0 50\n4 0 0 5 0 10 0 15 0 20\n";
    const std::string header = "General\n5\n11\n0\nType of measurement (0=app. resistivity,1=resistance)\n";
    const TMeasuredData apparent = ReadRes2DInvData(header + "0\n3\n1\n0\n" + rows.substr(2) + "0\n0\n0\n0\n");
    ExpectPlaced(apparent, {{0, None, 5, None, 100}, {0, None, 5, 10, 50}, {0, 5, 10, 15, 20}});
    EXPECT_EQ(apparent.Electrodes.size(), 4u);
    // Resistances: ρa = k·R with the flat ground's k (dipole-dipole a = 5,
    // n = 1: |k| = π n (n+1)(n+2) a = 6π a; A B M N in this order measure a
    // negative R, and k is negative too).
    const TMeasuredData resistance = ReadRes2DInvData(header + "1\n1\n1\n0\n4 0 0 5 0 10 0 15 0 -2\n");
    ASSERT_EQ(resistance.Size(), 1u);
    EXPECT_NEAR(resistance.Resistivities[0], 2.0 * 6.0 * std::acos(-1.0) * 5.0, 1e-9);
    // Elevations as the rows give them.
    const TMeasuredData raised = ReadRes2DInvData(header + "0\n1\n0\n0\n2 0 1.5 5 2 100\n");
    EXPECT_EQ(raised.Electrodes[1].z, 2.0);
    EXPECT_TRUE(raised.HasElevations);
}

TEST(Res2DInvFile, ChargeabilityIsReadInPerCentFromMillivoltsPerVoltAndPerCent)
{
    const TMeasuredData millivolts =
        ReadRes2DInvData(Header(3, 1, 0, "1\nChargeability\nmV/V\n0.12,0.92\n") + "0 2.5 1 100 12.5\n");
    ASSERT_EQ(millivolts.Chargeabilities.size(), 1u);
    EXPECT_DOUBLE_EQ(millivolts.Chargeabilities[0], 1.25);
    const TMeasuredData percent =
        ReadRes2DInvData(Header(3, 1, 0, "1\nChargeability\n%\n0.12,0.92\n") + "0 2.5 1 100 1.5\n");
    EXPECT_EQ(percent.Chargeabilities[0], 1.5);
    EXPECT_TRUE(percent.Warnings.empty());
    // msec has no general conversion: the resistivities are read, the
    // chargeabilities not used, and a warning says so.
    const TMeasuredData msec =
        ReadRes2DInvData(Header(3, 1, 0, "1\nChargeability\nMsec\n0.12,0.92\n") + "0 2.5 1 100 8\n");
    EXPECT_EQ(msec.Resistivities[0], 100.0);
    EXPECT_TRUE(msec.Chargeabilities.empty());
    ASSERT_EQ(msec.Warnings.size(), 1u);
    EXPECT_NE(msec.Warnings[0].find("msec"), std::string::npos);
}

TEST(Res2DInvFile, TheTopographyGivesTheElectrodesTheirElevations)
{
    const std::string data = Header(1, 1, 0) + "0 5 100\n";
    // True horizontal distances: elevations linear between the points.
    const TMeasuredData horizontal = ReadRes2DInvData(data + "1\n3\n0 10\n10 5\n20 5\n1\n0\n0\n0\n0\n");
    ASSERT_EQ(horizontal.Electrodes.size(), 4u);
    EXPECT_DOUBLE_EQ(horizontal.Electrodes[1].z, 7.5);
    EXPECT_DOUBLE_EQ(horizontal.Electrodes[3].z, 5.0);
    EXPECT_TRUE(horizontal.HasElevations);
    EXPECT_EQ(horizontal.Topography.size(), 3u);
    // Distances along the surface: a 3-4-5 slope puts the electrode at
    // surface distance 5 at x 4, elevation 3; without closing zeros.
    const TMeasuredData along = ReadRes2DInvData(Header(2, 1, 0) + "0 5 100\n2\n2\n0 0\n10 6\n1\n");
    ASSERT_EQ(along.Electrodes.size(), 2u);
    EXPECT_DOUBLE_EQ(along.Electrodes[1].x, 4.0);
    EXPECT_DOUBLE_EQ(along.Electrodes[1].z, 3.0);
    // A "Topography in separate list" line before the flag; no topography.
    EXPECT_EQ(ReadRes2DInvData(data + "Topography in separate list\n0\n").Size(), 1u);
    EXPECT_EQ(ReadRes2DInvData(data).Size(), 1u);
}

// A ρa that is not finite (or beyond 1e12) is skipped; one of 0 or below
// is a datum, as in the unified format (MeasuredData.h).
TEST(Res2DInvFile, DataThatCannotBeUsedAreSkippedAndCounted)
{
    const TMeasuredData data =
        ReadRes2DInvData(Header(3, 6, 0) + "0 2.5 1 100\n0 2.5 1 -3\n0 2.5 1 nan\n0 2.5 2 0\n0 2.5 1 2e12\n"
                                           "0 2.5 3 -1e12\n");
    EXPECT_EQ(data.Size(), 4u);
    EXPECT_EQ(data.Resistivities, (std::vector<double>{100.0, -3.0, 0.0, -1e12}));
    EXPECT_EQ(data.Lines, (std::vector<int>{7, 8, 10, 12}));
    EXPECT_EQ(data.Skipped.BadResistivity, 2);
    EXPECT_EQ(NonPositiveData(data), (std::vector<bool>{false, true, true, true}));
    // The general array's resistances: A B M N in this order measure a
    // negative R with a negative k (ordinary data); a positive R there
    // gives a negative ρa, kept.
    const std::string header = "General\n5\n11\n0\nType of measurement (0=app. resistivity,1=resistance)\n1\n2\n1\n0\n";
    const TMeasuredData resistances =
        ReadRes2DInvData(header + "4 0 0 5 0 10 0 15 0 -2\n4 0 0 5 0 10 0 15 0 2\n");
    ASSERT_EQ(resistances.Size(), 2u);
    EXPECT_NEAR(resistances.Resistivities[0], 2.0 * 6.0 * std::acos(-1.0) * 5.0, 1e-9);
    EXPECT_NEAR(resistances.Resistivities[1], -2.0 * 6.0 * std::acos(-1.0) * 5.0, 1e-9);
    EXPECT_EQ(NonPositiveData(resistances), (std::vector<bool>{false, true}));
}

std::string Res2DInvRefusal(const std::string& Text)
{
    try {
        return "read " + std::to_string(ReadRes2DInvData(Text).Size()) + " data";
    } catch (const EDataFileError& error) {
        return error.Message();
    }
}

// The cross-borehole layout: the holes listed, each datum's electrodes by x
// and depth. A hole's electrodes are buried at their depth (the top one
// too: the file says how deep it is), a surface electrode stands on it.
TEST(Res2DInvFile, ACrossBoreholeFileBuriesItsHolesElectrodesAtTheirDepths)
{
    const std::string holes = "Cross-hole\n1\n12\n0\nType of measurement (0=app.resistivity,1=resistance)\n1\n"
                              "Surface electrodes present\n1\nSurface electrodes\n1\n6 0\n"
                              "Number of boreholes\n2\nBorehole 1 electrodes\n2\n0 1\n0 2\n"
                              "Borehole 2 electrodes\n2\n12 1\n12 2\nNumber of data points\n";
    const TMeasuredData data = ReadRes2DInvData(holes + "2\n0\n0\n4 0 1 0 2 12 1 12 2 0.5\n3 6 0 0 1 12 2 2\n0\n");
    ASSERT_EQ(data.Electrodes.size(), 5u);
    EXPECT_TRUE(data.HasElevations);
    std::vector<std::tuple<double, double, double>> places;
    for (const TElectrode& e : data.Electrodes)
        places.emplace_back(e.x, e.z, e.Depth);
    EXPECT_EQ(places, (std::vector<std::tuple<double, double, double>>{
                          {0, -2, 2}, {0, -1, 1}, {6, 0, 0}, {12, -2, 2}, {12, -1, 1}}));
    ASSERT_EQ(data.Size(), 2u);
    // A resistance's ρa with the half-space's factor, images included.
    const TSurvey survey = data.Survey();
    EXPECT_DOUBLE_EQ(data.Resistivities[0], 0.5 * FlatGeometricFactor(survey, data.Configurations[0]));
    EXPECT_EQ(Res2DInvRefusal(holes.substr(0, holes.find("Borehole 2")) + "2\n"),
              "Line 18: a line naming borehole 2's electrodes is expected here, not \"2\".");
    EXPECT_EQ(Res2DInvRefusal(holes.substr(0, holes.find("12 2\n")) + "12\n"),
              "Line 21: borehole 2 electrodes 2 has 1 values where 2 (x, depth) are needed.");
}

TEST(Res2DInvFile, FilesThatCannotBeReadAreRefusedNamingTheLine)
{
    EXPECT_EQ(Res2DInvRefusal(""), "Line 1: the file ends before the unit electrode spacing.");
    EXPECT_EQ(Res2DInvRefusal("T\n0\n3\n"), "Line 2: the unit electrode spacing 0 is not above 0.");
    EXPECT_EQ(Res2DInvRefusal("T\n1\n8\n"),
              "Line 3: array type 8 is not one this reader knows: 1 (Wenner), 2 (pole-pole), 3 (dipole-dipole), "
              "4 (Wenner-beta), 5 (Wenner-gamma), 6 (pole-dipole), 7 (Wenner-Schlumberger), 11 (general array) or 12 "
              "(cross-borehole).");
    EXPECT_EQ(Res2DInvRefusal("T\n1\nthree\n"), "Line 3: the array type is a whole number, not \"three\".");
    EXPECT_EQ(Res2DInvRefusal(Header(3, 2, 0) + "0 2.5 1 100\n"), "Line 7: the file ends before datum 2.");
    EXPECT_EQ(Res2DInvRefusal(Header(3, 1, 0) + "0 2.5 100\n"),
              "Line 7: datum 1 has 3 values where 4 are needed (x, a, n, the apparent resistivity).");
    EXPECT_EQ(Res2DInvRefusal(Header(3, 1, 2)), "Line 5: the x-location type is 0 (first electrode) or 1 (mid-point), not 2.");
    EXPECT_EQ(Res2DInvRefusal(Header(6, 1, 0) + "0 2.5 0 100\n"), "Line 7: datum 1: n \"0\" is 0.");
    EXPECT_EQ(Res2DInvRefusal(Header(1, 1, 0) + "0 -2.5 100\n"), "Line 7: datum 1: the spacing a \"-2.5\" is not above 0.");
    EXPECT_EQ(Res2DInvRefusal(Header(1, 1, 0, "1\nPhase\nV\n1\n") + "0 2.5 100 3\n"),
              "Line 8: the chargeability unit is mV/V, msec, mrad or %, not \"V\".");
    EXPECT_EQ(Res2DInvRefusal(Header(1, 1, 0) + "0 2.5 100\n0 2.5 100\n"),
              "Line 8: after the 1 data a topography flag (0, 1 or 2) or the closing zeros are expected, not "
              "\"0 2.5 100\".");
    EXPECT_EQ(Res2DInvRefusal(Header(1, 1, 0) + "0 2.5 100\n1\n1\n0 0\n1\n7\n"),
              "Line 12: the file goes on after its data and topography: \"7\".");
    EXPECT_EQ(Res2DInvRefusal("G\n1\n11\n0\n0\n"), "Line 5: a line naming the type of measurement is expected here, not \"0\".");
    EXPECT_EQ(Res2DInvRefusal("G\n1\n11\n0\nType\n0\n1\n0\n0\n5 0 0 1 0 2 0 3 0 4 0 100\n"),
              "Line 10: datum 1 has 5 electrodes where 2, 3 or 4 are read.");
    EXPECT_EQ(Res2DInvRefusal(Header(1, 1, 0) + "0 2.5 100\n1\n2\n0 0\n"), "Line 10: the file ends before topography point 2.");
}

// A line of commas alone was taken for a line with values and its first
// value read from an empty list.
TEST(Res2DInvFile, ALineOfSeparatorsAloneIsABlankLine)
{
    const TMeasuredData data = ReadRes2DInvData("G\n1\n11\n0\nType of measurement\n,\n0\n,\t,\n1\n0\n0\n"
                                                "2 0 0 5 0 100\n , \n0,0,0\n");
    ASSERT_EQ(data.Size(), 1u);
    EXPECT_EQ(data.Resistivities[0], 100.0);
    EXPECT_EQ(Res2DInvRefusal("T\n1\n3\n,\n"), "Line 4: the file ends before the number of data.");
}


// A Res2DInv file with an error estimate per datum was refused: "datum 1
// has 5 values where 4 are needed".
TEST(Res2DInvFile, ErrorEstimatesAreReadBeforeOrAfterTheIPFlag)
{
    const std::string head = "Survey line\n2.5\n3\n2\n0\n";
    const std::string rows = "0 2.5 1 100 3\n2.5 2.5 1 80 5\n";
    const auto errors = [](const TMeasuredData& data) { return data.Errors; };
    // The error flag before the IP flag, after it, with a label: per cent.
    for (const std::string& flags : {std::string("1\n0\n"), std::string("0\n1\n"), std::string("Error estimates\n1\n0\n")}) {
        SCOPED_TRACE(flags);
        const TMeasuredData data = ReadRes2DInvData(head + flags + rows);
        EXPECT_EQ(data.Resistivities, (std::vector<double>{100.0, 80.0}));
        EXPECT_EQ(errors(data), (std::vector<double>{0.03, 0.05}));
    }
    // The type of the estimate: its legend says what 0 and 1 are.
    EXPECT_EQ(errors(ReadRes2DInvData(head + "1\nType of error estimate (0=same unit as data)\n0\n0\n" + rows)),
              (std::vector<double>{0.03, 5.0 / 80.0}));
    EXPECT_EQ(errors(ReadRes2DInvData(head + "1\nType of error estimate (0=percent, 1=same unit as data)\n0\n0\n" + rows)),
              (std::vector<double>{0.03, 0.05}));
    // With chargeability: the extra values in the order of the flags.
    const std::string ip = "1\nChargeability\nmV/V\n0.12,0.92\n";
    const TMeasuredData after = ReadRes2DInvData(head + ip + "1\n" + "0 2.5 1 100 12 3\n2.5 2.5 1 80 20 5\n");
    EXPECT_EQ(errors(after), (std::vector<double>{0.03, 0.05}));
    EXPECT_EQ(after.Chargeabilities, (std::vector<double>{1.2, 2.0}));
    const TMeasuredData before = ReadRes2DInvData(head + "1\n" + ip + "0 2.5 1 100 3 12\n2.5 2.5 1 80 5 20\n");
    EXPECT_EQ(errors(before), (std::vector<double>{0.03, 0.05}));
    EXPECT_EQ(before.Chargeabilities, (std::vector<double>{1.2, 2.0}));
    // The general array's resistances: an error in their unit (ohm).
    const TMeasuredData general = ReadRes2DInvData(
        "G\n1\n11\n0\nType of measurement (0=app. resistivity,1=resistance)\n1\n1\n0\n1\n"
        "Type of error estimate (0=same unit as data)\n0\n0\n4 0 0 1 0 2 0 3 0 -2 0.1\n");
    ASSERT_EQ(general.Size(), 1u);
    ASSERT_EQ(general.Errors.size(), 1u);
    EXPECT_DOUBLE_EQ(general.Errors[0], 0.05);
    // A row without its error is refused, saying what it lacks.
    EXPECT_EQ(Res2DInvRefusal(head + "1\n0\n0 2.5 1 100\n"),
              "Line 8: datum 1 has 4 values where 5 are needed (x, a, n, the apparent resistivity and the error).");
}

// Pole-pole and pole-dipole files listing their remote electrodes were
// refused: "Line 4: the number of data is a whole number, not "Remote"".
TEST(Res2DInvFile, RemoteElectrodesStandWhereTheFileSaysUnlessFarAway)
{
    const auto remoteB = [](const TMeasuredData& data) {
        const int b = data.Configurations.at(0).b;
        return b < 0 ? None : data.Electrodes.at(static_cast<size_t>(b)).x;
    };
    const std::string rows = "2\n0\n0\n0 5 1 100\n5 5 1 90\n";
    // Pole-dipole: B, a few spacings beyond the line, takes part.
    for (const std::string& block : {std::string("Remote electrode\n-40 0\n"), std::string("Remote electrodes\nB -40\n"),
                                     std::string("Remote current electrode: -40, 0\n"), std::string("REMOTE\nC2 -40 0\n")}) {
        SCOPED_TRACE(block);
        const TMeasuredData data = ReadRes2DInvData("PD\n5\n6\n" + block + rows);
        ASSERT_EQ(data.Size(), 2u);
        EXPECT_EQ(remoteB(data), -40.0);
        EXPECT_EQ(data.Configurations[1].b, data.Configurations[0].b);
        EXPECT_EQ(data.Resistivities, (std::vector<double>{100.0, 90.0}));
    }
    // Far away (more than ten line lengths, or marked 99999 or 1e9): a pole.
    for (const char* far : {"-1000 0", "99999 0", "1e9 0"})
        EXPECT_EQ(remoteB(ReadRes2DInvData("PD\n5\n6\nRemote\n" + std::string(far) + "\n" + rows)), None) << far;
    // Pole-pole: B and N, in order or labelled; one alone when labelled.
    const std::string pp = "2\n0\n0\n0 5 100\n5 5 90\n";
    for (const std::string& block : {std::string("Remote electrodes\n-40 0\n70 0\n"), std::string("Remote\nN 70 0\nB -40 0\n")}) {
        SCOPED_TRACE(block);
        const TMeasuredData data = ReadRes2DInvData("PP\n5\n2\n" + block + pp);
        const TConfiguration& c = data.Configurations.at(0);
        ASSERT_GE(c.b, 0);
        ASSERT_GE(c.n, 0);
        EXPECT_EQ(data.Electrodes[size_t(c.b)].x, -40.0);
        EXPECT_EQ(data.Electrodes[size_t(c.n)].x, 70.0);
    }
    const TMeasuredData alone = ReadRes2DInvData("PP\n5\n2\nRemote\nN 70\n" + pp);
    EXPECT_EQ(alone.Configurations.at(0).b, -1);
    EXPECT_EQ(alone.Electrodes.at(size_t(alone.Configurations[0].n)).x, 70.0);
    EXPECT_EQ(Res2DInvRefusal("PP\n5\n2\nRemote\n-40 0\n" + pp),
              "Line 5: a pole-pole file's remote electrodes are B and N: one unlabelled position is given (label it \"B\" "
              "or \"N\" to give one alone).");
    EXPECT_EQ(Res2DInvRefusal("PD\n5\n6\nRemote\n" + rows), "Line 4: the block of remote electrodes gives no position "
                                                              "(\"x z\", or a label and x).");
}

// Phases in mrad refused the whole file; they are phases, written as their
// magnitude (φ = −value), never chargeabilities.
TEST(Res2DInvFile, PhasesInMilliradiansAreReadAsPhases)
{
    const TMeasuredData data = ReadRes2DInvData(Header(1, 1, 0, "1\nPhase\nmrad\n1\n") + "0 2.5 100 3\n");
    EXPECT_EQ(data.Resistivities, (std::vector<double>{100.0}));
    EXPECT_TRUE(data.Chargeabilities.empty());
    EXPECT_EQ(data.Phases, (std::vector<double>{-3.0}));
    EXPECT_TRUE(data.Warnings.empty());
}

// A Res2DInv file with CR-only line ends was refused.
TEST(Res2DInvFile, CarriageReturnsAloneEndTheLines)
{
    const TMeasuredData data = ReadRes2DInvData("Old line\r2.5\r1\r2\r0\r0\r0 2.5 100\r2.5 2.5 110\r0\r0\r");
    EXPECT_EQ(data.Resistivities, (std::vector<double>{100.0, 110.0}));
    EXPECT_EQ(data.Electrodes.size(), 5u);
    EXPECT_EQ(data.Lines, (std::vector<int>{7, 8}));
}

// --- The layouts instruments' software writes ------------------------------------

// A remote electrode block as instruments' software writes it: a heading
// per remote, its x, y and z on the next line. C2 as here (5 m off the line).
std::string RemoteFile(const std::string& C2 = "-30.000,5.000,0.0", const std::string& P2 = "75.000,0.000,0.0")
{
    return "Pole-pole with remotes\n2.0\n2\nRemote electrodes included\nC2 remote electrode X, Y and Z location\n" + C2 +
           "\nP2 remote electrode X, Y and Z location\n" + P2 +
           "\nExact Geometric factor used\n3\n1\n0\n"
           "      1.00       2.00      41.20\n      3.00       2.00      40.75\n      5.00       2.00      42.10\n0\n0\n";
}

// An error estimate block as instruments' software writes it; IP the IP
// flag's lines, the rows' chargeabilities when it is 1.
std::string ErrorFile(const std::string& Type = "0", bool IP = false, const std::string& After = "")
{
    const char* ip[] = {"", "  12", "  20", "  9.5", "  3"};
    std::string rows;
    const char* values[] = {"7.500      5.000      1.000       31.25", "12.500      5.000      1.000       60.10",
                            "17.500      5.000      2.000       80.00", "22.500      5.000      2.000       75.50"};
    const char* errors[] = {"1.40", "1.95", "2.60", "2.10"};
    for (int d = 0; d < 4; ++d)
        rows += std::string("     ") + values[d] + (IP ? ip[d + 1] : "") + "       " + errors[d] + "\n";
    return std::string("Synthetic line with errors\n5.0\n3\n4\n1\n") +
           (IP ? "1\nChargeability\nmV/V\n0.12,0.92\n" : "0\n") +
           "Error estimate for data present\nType of error estimate (0=same unit as data)\n" + Type + "\n" + rows +
           "2\n3\n    0.000,   50.000\n   10.000,   51.500\n   20.000,   52.900\n1\n0\n0\n" + After;
}

// The data written in the unified format (the format this program
// writes) and read back: the same electrodes, data, errors (the file's
// relative errors as they were) and chargeabilities, written again alike.
void ExpectRoundTrip(const TMeasuredData& Data)
{
    const std::string text = FormatMeasuredData(Data, 0.03);
    const TMeasuredData again = ReadUnifiedMeasuredData(text);
    ASSERT_EQ(again.Electrodes.size(), Data.Electrodes.size());
    for (size_t e = 0; e < Data.Electrodes.size(); ++e) {
        EXPECT_EQ(again.Electrodes[e].x, Data.Electrodes[e].x) << "electrode " << e + 1;
        EXPECT_EQ(again.Electrodes[e].z, Data.Electrodes[e].z) << "electrode " << e + 1;
    }
    EXPECT_EQ(again.Configurations, Data.Configurations);
    EXPECT_EQ(again.Resistivities, Data.Resistivities);
    EXPECT_EQ(again.Chargeabilities, Data.Chargeabilities);
    if (!Data.Errors.empty()) {
        EXPECT_EQ(again.Errors, Data.Errors);
    }
    EXPECT_EQ(FormatMeasuredData(again, 0.03), text);
}

// The remote electrode block instruments' software writes was refused
// ("the block of remote electrodes gives no position"); a remote off the
// line in it was refused ("stands 5 m off the line").
TEST(Res2DInvFile, TheInstrumentsRemoteBlockGivesElectrodesAtTheirPlaceOnAndOffTheLine)
{
    // The block as the layouts' note gives it: C2 at (-30, 5), 5 m off the
    // line, P2 at 75 on it. The remote keeps its y; k from distances in space.
    const TMeasuredData off = ReadRes2DInvData(RemoteFile());
    ExpectPlaced(off, {{0, -30, 2, 75, 41.20}, {2, -30, 4, 75, 40.75}, {4, -30, 6, 75, 42.10}});
    ASSERT_EQ(off.Electrodes.front().x, -30.0);
    EXPECT_EQ(off.Electrodes.front().y, 5.0);
    EXPECT_EQ(off.ElectrodeLines.front(), 6);
    for (size_t e = 1; e < off.Electrodes.size(); ++e)
        EXPECT_EQ(off.Electrodes[e].y, 0.0);
    const TSurvey offSurvey = off.Survey();
    // Datum 1 (x 1 the mid-point of A and M): A 0, M 2, B (-30, 5), N 75:
    // AM 2, AN 75, BM √(32² + 5²), BN √(105² + 5²).
    const double kOff = 2 * std::numbers::pi /
                        (1.0 / 2 - 1.0 / 75 - 1.0 / std::sqrt(32.0 * 32 + 25) + 1.0 / std::sqrt(105.0 * 105 + 25));
    EXPECT_NEAR(FlatGeometricFactor(offSurvey, offSurvey.Configurations.at(0)), kOff, 1e-9 * kOff);
    EXPECT_EQ(Res2DInvRefusal(RemoteFile("-30,0", "75,0,0")),
              "Line 6: the remote electrode C2's x, y and z (three numbers, comma-separated) are expected here.");
    // The unified format holds a 2-D line's elevation in y: saving refuses
    // rather than write the remote 5 m up.
    try {
        FormatMeasuredData(off, 0.03);
        ADD_FAILURE() << "written";
    } catch (const EDataFileError& error) {
        EXPECT_EQ(error.Message(), "Electrode 1 (x = -30) stands 5 m off the line, and 3 data use it: the unified "
                                   "data format has no place for an offset across the line (pyGIMLi reads a line's y "
                                   "as its elevation), so these data cannot be written in it. To save the others, "
                                   "remove the data that use this electrode; the data file read keeps them all.");
    }
    // A file's marks of infinity stay poles, across the line too.
    for (const char* far : {"-30,9999999,0", "-30,1e38,0", "1e38,5,0"})
        EXPECT_EQ(ReadRes2DInvData(RemoteFile(far, "9999999,0,0")).Configurations.at(0).b, -1) << far;

    // On the line: real electrodes where given, however far (P2 is more
    // than ten line lengths beyond the line): k from the true distances.
    const TMeasuredData data = ReadRes2DInvData(RemoteFile("-30.000,0.000,0.0"));
    ExpectPlaced(data, {{0, -30, 2, 75, 41.20}, {2, -30, 4, 75, 40.75}, {4, -30, 6, 75, 42.10}});
    const TSurvey survey = data.Survey();
    const double k = 2 * std::numbers::pi / (1.0 / 2 - 1.0 / 32 - 1.0 / 75 + 1.0 / 105);
    EXPECT_NEAR(FlatGeometricFactor(survey, survey.Configurations.at(0)), k, 1e-9 * k);
    EXPECT_TRUE(data.Warnings.empty());
    ExpectRoundTrip(data);

    // Pole-dipole: C2 alone; P2 is not one of its remotes.
    const std::string pd = "Pole-dipole\n2.0\n6\nRemote electrodes included\nC2 remote electrode X, Y and Z location\n"
                           "100.000,0.000,0.0\nExact Geometric factor used\n2\n0\n0\n0 2 1 50.5\n2 2 -2 48.0\n0\n0\n";
    ExpectPlaced(ReadRes2DInvData(pd), {{0, 100, 2, 4, 50.5}, {8, 100, 4, 2, 48.0}});
    EXPECT_EQ(Res2DInvRefusal("PD\n2.0\n6\nRemote electrodes included\nC2 remote electrode X, Y and Z location\n"
                              "100,0,0\nP2 remote electrode X, Y and Z location\n-50,0,0\n2\n0\n0\n0 2 1 50.5\n"),
              "Line 8: the remote electrode N is given twice or is not one this array has.");
    // A file's mark of infinity stays a pole.
    EXPECT_EQ(ReadRes2DInvData(RemoteFile("-9999999,0,0", "9999999,0,0")).Configurations.at(0).b, -1);
}

// A pole-dipole file whose remote block puts C2 20 m off the line square
// from electrode 24 (x = 69, that electrode's x exactly) was read, but its
// computation refused ("Electrodes 24 and 49 stand at one place (x = 69)").
TEST(Res2DInvFile, ARemoteSquareFromALineElectrodeIsComputedAtItsPlace)
{
    const auto n = test::RemoteLayoutNumber;
    std::string text = "Pole-dipole, remote square from electrode 24\n3.0\n6\nRemote electrodes included\n"
                       "C2 remote electrode X, Y and Z location\n69.000,20.000,0.0\nExact Geometric factor used\n" +
                       std::to_string(test::SquareRemoteLayout().size()) + "\n0\n0\n";
    for (const test::TSquareDatum& d : test::SquareRemoteLayout())
        text += n(d.A) + " 3.0 " + n((d.M - d.A) / test::SquareSpacing) + " " + n(test::SquareGround) + "\n";
    test::ExpectSquareRemoteComputed(ReadRes2DInvData(text + "0\n0\n"));
}

// The error estimate block instruments' software writes was refused ("the
// error estimate flag is a whole number, not "Type of error estimate"").
TEST(Res2DInvFile, TheInstrumentsErrorBlockGivesErrorsInTheDataUnit)
{
    // Type 0: the error in ohm-m, the relative error error / |rhoa|.
    const std::vector<double> relative{1.40 / 31.25, 1.95 / 60.10, 2.60 / 80.00, 2.10 / 75.50};
    const TMeasuredData data = ReadRes2DInvData(ErrorFile());
    EXPECT_EQ(data.Resistivities, (std::vector<double>{31.25, 60.10, 80.00, 75.50}));
    ASSERT_EQ(data.Errors.size(), 4u);
    for (size_t d = 0; d < 4; ++d)
        EXPECT_DOUBLE_EQ(data.Errors[d], relative[d]) << "datum " << d + 1;
    EXPECT_EQ(data.Lines, (std::vector<int>{10, 11, 12, 13}));
    EXPECT_TRUE(data.HasElevations);
    EXPECT_TRUE(data.Warnings.empty());
    ExpectRoundTrip(data);

    // The same errors as the unified format's: its err is the relative error.
    char row[160];
    std::string unified = std::to_string(data.Electrodes.size()) + "\n# x z\n";
    for (const TElectrode& e : data.Electrodes) {
        std::snprintf(row, sizeof row, "%.17g %.17g\n", e.x, e.z);
        unified += row;
    }
    unified += "4\n# a b m n rhoa err\n";
    for (size_t d = 0; d < 4; ++d) {
        const TConfiguration& c = data.Configurations[d];
        std::snprintf(row, sizeof row, "%d %d %d %d %.17g %.17g\n", c.a + 1, c.b + 1, c.m + 1, c.n + 1,
                      data.Resistivities[d], relative[d]);
        unified += row;
    }
    const TMeasuredData same = ReadUnifiedMeasuredData(unified);
    ASSERT_EQ(same.Errors.size(), 4u);
    for (size_t d = 0; d < 4; ++d)
        EXPECT_DOUBLE_EQ(same.Errors[d], data.Errors[d]) << "datum " << d + 1;

    // With IP: the chargeability, then the error.
    const TMeasuredData ip = ReadRes2DInvData(ErrorFile("0", true));
    EXPECT_EQ(ip.Chargeabilities, (std::vector<double>{1.2, 2.0, 0.95, 0.3}));
    ASSERT_EQ(ip.Errors.size(), 4u);
    for (size_t d = 0; d < 4; ++d)
        EXPECT_DOUBLE_EQ(ip.Errors[d], relative[d]) << "datum " << d + 1;
    ExpectRoundTrip(ip);

    // Another type: refused naming its line until its meaning is known.
    EXPECT_EQ(Res2DInvRefusal(ErrorFile("1")), "Line 9: the type of error estimate is 0 (the error in the data's unit), not 1.");
    EXPECT_EQ(Res2DInvRefusal(ErrorFile("2", true)),
              "Line 12: the type of error estimate is 0 (the error in the data's unit), not 2.");

    // What a program writes after the closing zeros is not read: a warning.
    const TMeasuredData more = ReadRes2DInvData(ErrorFile("0", false, "Additional measurements\n2\n7.5 5 1 30 1\n"));
    EXPECT_EQ(more.Size(), 4u);
    ASSERT_EQ(more.Warnings.size(), 1u);
    EXPECT_EQ(more.Warnings[0], "What follows the closing zeros, from line 22 (\"Additional measurements\"), is not read.");
}

} // namespace
} // namespace lp
