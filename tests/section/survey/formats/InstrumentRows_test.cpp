// What every instrument reader shares: electrodes merged at 1 mm, the
// distance along a line in any direction of x-y, a 3-D survey and an
// electrode off the line refused naming a line, remotes by their marks.

#include "section/survey/formats/InstrumentRows.h"

#include "section/survey/DataFile.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lp::formats {
namespace {

// A dipole-dipole datum over four places.
TInstrumentRow Datum(int Line, TInstrumentPlace A, TInstrumentPlace B, TInstrumentPlace M, TInstrumentPlace N,
                     double R = 1.0)
{
    TInstrumentRow row;
    row.Line = Line;
    row.Places = {A, B, M, N};
    row.Resistance = R;
    return row;
}

// Electrodes every 2 m along the direction (0.6, 0.8) from (10, 20), each
// moved Across metres to the side.
TInstrumentPlace Oblique(double Along, double Across = 0.0)
{
    return {10.0 + 0.6 * Along + 0.8 * Across, 20.0 + 0.8 * Along - 0.6 * Across, 0.0};
}

std::string RowsRefusal(TInstrumentRows& Rows)
{
    try {
        Rows.Data();
    } catch (const EDataFileError& error) {
        return error.Message();
    }
    return "read";
}

TEST(InstrumentRows, MergesPlacesWithinAMillimetre)
{
    TInstrumentRows rows(TDataFormat::Sting, {});
    rows.Add(Datum(1, {0, 0, 5}, {2, 0, 5}, {4, 0, 5}, {6, 0, 5}));
    rows.Add(Datum(2, {2.0004, 0, 5.0003}, {4, 0.0002, 5}, {6, 0, 5}, {8, 0, 5}));
    const TMeasuredData data = rows.Data();
    ASSERT_EQ(data.Electrodes.size(), 5u);
    EXPECT_EQ(data.Configurations[1], (TConfiguration{1, 2, 3, 4}));
    EXPECT_EQ(data.ElectrodeLines, (std::vector<int>{1, 1, 1, 1, 2}));
    EXPECT_TRUE(data.HasElevations);
}

// Any straight line in x-y: the distance along it from its first electrode;
// a warning names an electrode more than a tenth of a spacing off it.
TEST(InstrumentRows, AnObliqueLineUsesTheDistanceAlongIt)
{
    TInstrumentRows rows(TDataFormat::Sting, {});
    rows.Add(Datum(4, Oblique(0), Oblique(2), Oblique(4), Oblique(6)));
    rows.Add(Datum(5, Oblique(2), Oblique(4), Oblique(6), Oblique(8)));
    const TMeasuredData straight = rows.Data();
    ASSERT_EQ(straight.Electrodes.size(), 5u);
    for (size_t e = 0; e < 5; ++e)
        EXPECT_NEAR(straight.Electrodes[e].x, 2.0 * double(e), 1e-9);
    EXPECT_TRUE(straight.Warnings.empty());

    TInstrumentRows bent(TDataFormat::Sting, {});
    bent.Add(Datum(4, Oblique(0), Oblique(2), Oblique(4, 0.5), Oblique(6)));
    bent.Add(Datum(5, Oblique(2), Oblique(4, 0.5), Oblique(6), Oblique(8)));
    const TMeasuredData data = bent.Data();
    ASSERT_EQ(data.Warnings.size(), 1u);
    EXPECT_NE(data.Warnings[0].find("line 4"), std::string::npos) << data.Warnings[0];
    EXPECT_NEAR(data.Electrodes[4].x - data.Electrodes[0].x, 8.0, 1e-9);
}

TEST(InstrumentRows, RefusesA3DSurveyAndAnElectrodeOffTheLine)
{
    // Two parallel lines 4 m apart: side by side across the line.
    TInstrumentRows grid(TDataFormat::Sting, {});
    grid.Add(Datum(3, {0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}));
    grid.Add(Datum(4, {0, 4, 0}, {1, 4, 0}, {2, 4, 0}, {3, 4, 0}));
    const std::string grid3D = RowsRefusal(grid);
    EXPECT_TRUE(grid3D.starts_with("Line ") && grid3D.find(": a 3-D survey, not a line") != std::string::npos)
        << grid3D;

    // A remote at a real place 30 m off a line along x.
    TInstrumentRows remote(TDataFormat::Sting, {});
    for (int i = 0; i < 8; ++i)
        remote.Add(Datum(2 + i, {double(i), 0, 0}, {double(i + 1), 0, 0}, {double(i + 2), 0, 0}, {double(i + 3), 0, 0}));
    TInstrumentRow pole = Datum(10, {0, 0, 0}, {-50, 30, 0}, {2, 0, 0}, {3, 0, 0});
    remote.Add(pole);
    const std::string off = RowsRefusal(remote);
    EXPECT_TRUE(off.starts_with("Line 10: the electrode at x, y (-50, 30) stands")) << off;
    EXPECT_NE(off.find("only electrodes on the line are modelled"), std::string::npos) << off;
}

// The marks of a remote; a chargeability column of zeros is no IP.
TEST(InstrumentRows, TellsRemotesAndUnmeasuredValues)
{
    for (double remote : {9999999.0, -9999999.0, 1e38, 99999.0, 999.0, -9999.0})
        EXPECT_TRUE(IsRemoteCoordinate(remote)) << remote;
    for (double place : {0.0, 998.0, 1000.0, 2500.5, -99998.0})
        EXPECT_FALSE(IsRemoteCoordinate(place)) << place;
    EXPECT_FALSE(IsMeasuredValue(1e38));
    EXPECT_FALSE(IsMeasuredValue(std::nan("")));
    EXPECT_TRUE(IsMeasuredValue(-812.3));
    EXPECT_EQ(SignedNumber("+.50000"), 0.5);
    EXPECT_EQ(SignedNumber(" -1.2E-01 "), -0.12);
    EXPECT_FALSE(SignedNumber("++1"));
    EXPECT_FALSE(SignedNumber("1,5"));

    TInstrumentRows rows(TDataFormat::SyscalText, {});
    TInstrumentRow row = Datum(2, {0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0});
    row.Chargeability = 0.0;
    rows.Add(row);
    rows.Skip(3);
    const TMeasuredData data = rows.Data();
    EXPECT_TRUE(data.Chargeabilities.empty());
    EXPECT_EQ(data.Skipped.Total(), 1);
}

} // namespace
} // namespace lp::formats
