// What every instrument reader shares: electrodes merged at 1 mm, the
// distance along a line in any direction of x-y, remotes at a real place
// off the line kept there, a 3-D survey and a pair of electrodes both off
// the line refused naming a line, remotes by their marks.

#include "section/survey/formats/InstrumentRows.h"

#include "section/survey/DataFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

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

// A line of eight electrodes 1 m apart along x (dipole-dipole data), and
// pole-dipole data with B at Remote.
void AddLineAndPoles(TInstrumentRows& Rows, TInstrumentPlace Remote)
{
    for (int i = 0; i < 5; ++i)
        Rows.Add(Datum(2 + i, {double(i), 0, 0}, {double(i + 1), 0, 0}, {double(i + 2), 0, 0}, {double(i + 3), 0, 0}));
    for (int i = 0; i < 3; ++i)
        Rows.Add(Datum(7 + i, {double(i), 0, 0}, Remote, {double(i + 1), 0, 0}, {double(i + 2), 0, 0}));
}

TEST(InstrumentRows, RefusesA3DSurvey)
{
    // Two parallel lines 4 m apart: side by side across the line.
    TInstrumentRows grid(TDataFormat::Sting, {});
    grid.Add(Datum(3, {0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}));
    grid.Add(Datum(4, {0, 4, 0}, {1, 4, 0}, {2, 4, 0}, {3, 4, 0}));
    const std::string grid3D = RowsRefusal(grid);
    EXPECT_TRUE(grid3D.starts_with("Line ") && grid3D.find(": a 3-D survey, not a line") != std::string::npos)
        << grid3D;

    // Three electrodes off the line are more than a pole-pole's remotes.
    TInstrumentRows three(TDataFormat::Sting, {});
    AddLineAndPoles(three, {-50, 30, 0});
    three.Add(Datum(10, {0, 0, 0}, {60, -40, 0}, {1, 0, 0}, {20, 25, 0}));
    const std::string scattered = RowsRefusal(three);
    EXPECT_TRUE(scattered.starts_with("Line ") && scattered.find(": a 3-D survey, not a line") != std::string::npos &&
                scattered.find("at most 2 electrodes off the line are read, as remote ones") != std::string::npos)
        << scattered;
}

// A remote at a real place off the line was refused ("a remote electrode off
// the line is not yet modelled"): it is read at its place, x along the line
// and y across it, k from the distances in space.
TEST(InstrumentRows, ReadsARemoteOffTheLineAtItsPlace)
{
    // B 30 m to the left of a line along x (y 30), 50 m before its start.
    TInstrumentRows rows(TDataFormat::Sting, {});
    AddLineAndPoles(rows, {-50, 30, 0});
    const TMeasuredData data = rows.Data();
    ASSERT_EQ(data.Electrodes.size(), 9u);
    const TElectrode& remote = data.Electrodes.front();
    EXPECT_EQ(remote.x, -50.0);
    EXPECT_EQ(remote.y, 30.0);
    EXPECT_EQ(remote.z, 0.0);
    EXPECT_EQ(data.ElectrodeLines.front(), 7);
    for (size_t e = 1; e < 9; ++e)
        EXPECT_EQ(data.Electrodes[e].y, 0.0);
    EXPECT_EQ(data.Configurations.at(5), (TConfiguration{1, 0, 2, 3}));
    // A 0, M 1, N 2, B at (-50, 30): BM √(51² + 30²), BN √(52² + 30²).
    const double k = 2 * std::numbers::pi /
                     (1.0 - 1.0 / 2 - 1.0 / std::hypot(51.0, 30.0) + 1.0 / std::hypot(52.0, 30.0));
    EXPECT_NEAR(data.GeometricFactors.at(5), k, 1e-12 * k);
    ASSERT_EQ(data.Warnings.size(), 1u);
    EXPECT_EQ(data.Warnings[0], "The electrode at x, y (-50, 30) (first placed on line 7) stands 30 m off the line of "
                                "the others: it is read as a remote electrode at its place, -50 m along the line and "
                                "30 m across it, at the line's elevation there (0 m).");

    // The same on an oblique line over a slope: y positive to the left
    // looking along the line, x from its first electrode, the remote's
    // elevation the line's at its place, whatever the file's z.
    TInstrumentRows oblique(TDataFormat::Sting, {});
    const auto sloped = [](double along) {
        TInstrumentPlace at = Oblique(along);
        at.z = 100.0 - 0.5 * along;
        return at;
    };
    for (int i = 0; i < 5; ++i)
        oblique.Add(Datum(2 + i, sloped(2 * i), sloped(2 * i + 2), sloped(2 * i + 4), sloped(2 * i + 6)));
    TInstrumentPlace pole = Oblique(5, -20);
    pole.z = 140.0;
    oblique.Add(Datum(7, sloped(0), pole, sloped(2), sloped(4)));
    const TMeasuredData turned = oblique.Data();
    ASSERT_EQ(turned.Electrodes.size(), 9u);
    const auto far = std::find_if(turned.Electrodes.begin(), turned.Electrodes.end(),
                                  [](const TElectrode& e) { return e.y != 0.0; });
    ASSERT_NE(far, turned.Electrodes.end());
    EXPECT_NEAR(far->x, 5.0, 1e-9);
    EXPECT_NEAR(far->y, 20.0, 1e-9); // Oblique moves it to the right by -20
    EXPECT_NEAR(far->z, 97.5, 1e-9);
    EXPECT_NEAR(turned.Electrodes.back().x, 14.0, 1e-9);

    // A line along y: y positive to the left looking to rising y (less x).
    TInstrumentRows alongY(TDataFormat::Sting, {});
    for (int i = 0; i < 5; ++i)
        alongY.Add(Datum(2 + i, {7, double(i), 0}, {7, double(i + 1), 0}, {7, double(i + 2), 0}, {7, double(i + 3), 0}));
    alongY.Add(Datum(7, {7, 0, 0}, {7, 1, 0}, {7, 2, 0}, {-13, 5.5, 0})); // N remote
    const TMeasuredData y = alongY.Data();
    ASSERT_EQ(y.Electrodes.size(), 9u);
    EXPECT_EQ(y.Electrodes[6].x, 5.5);
    EXPECT_EQ(y.Electrodes[6].y, 20.0);
    EXPECT_EQ(y.Electrodes.back().x, 7.0);
}

// A pole-pole's B and N both off the line are read; a current or potential
// pair both off the line is no remote's pairing, refused naming its line.
TEST(InstrumentRows, ReadsTwoRemotesAndRefusesAPairOffTheLine)
{
    TInstrumentRows poles(TDataFormat::Sting, {});
    AddLineAndPoles(poles, {-50, 30, 0});
    poles.Add(Datum(10, {3, 0, 0}, {-50, 30, 0}, {5, 0, 0}, {90, -40, 0}));
    const TMeasuredData data = poles.Data();
    ASSERT_EQ(data.Electrodes.size(), 10u);
    EXPECT_EQ(data.Electrodes.back().x, 90.0);
    EXPECT_EQ(data.Electrodes.back().y, -40.0);
    EXPECT_EQ(data.Warnings.size(), 2u);

    TInstrumentRows paired(TDataFormat::Sting, {});
    AddLineAndPoles(paired, {-50, 30, 0});
    paired.Add(Datum(10, {-50, 30, 0}, {90, -40, 0}, {5, 0, 0}, {6, 0, 0}));
    EXPECT_EQ(RowsRefusal(paired),
              "Line 10: both current electrodes stand off the line (at x, y (-50, 30) and (90, -40)): an electrode off "
              "the line is read only as a remote one, its partner on the line, as in pole-dipole and pole-pole data.");

    // An electrode of the line a little off it keeps the warning, on the line.
    TInstrumentRows bent(TDataFormat::Sting, {});
    AddLineAndPoles(bent, {-50, 30, 0});
    bent.Add(Datum(10, {2, 0.3, 0}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0}));
    const TMeasuredData near = bent.Data();
    ASSERT_EQ(near.Warnings.size(), 2u);
    EXPECT_TRUE(near.Warnings[0].starts_with("1 electrode lies more than a tenth of a spacing off")) << near.Warnings[0];
    EXPECT_EQ(std::count_if(near.Electrodes.begin(), near.Electrodes.end(),
                            [](const TElectrode& e) { return e.y != 0.0; }),
              1);
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

// The date forms the instruments write, against day counts worked out
// from 1970-01-01 (2020-03-01 is day 18322, a leap year's 29 February day
// 18321); what is no real date or time is none.
TEST(InstrumentRows, DatesAndTimesInTheInstrumentsForms)
{
    const double march = 18322 * 86400.0;
    EXPECT_EQ(DateTimeSeconds("2020-03-01"), march);
    EXPECT_EQ(DateTimeSeconds("2020.03.01", "10:00:09.50"), march + 36009.5);
    EXPECT_EQ(DateTimeSeconds("20200301", "10:02"), march + 36120.0);
    EXPECT_EQ(DateTimeSeconds("2020/03/01 10:02:11"), march + 36131.0);
    EXPECT_EQ(DateTimeSeconds("2020-03-01T10:02:11.0"), march + 36131.0);
    EXPECT_EQ(DateTimeSeconds("2020-02-29"), march - 86400.0);
    EXPECT_EQ(DateTimeSeconds("1969-12-31", "23:59:59"), -1.0);
    for (const auto& [date, time] : std::vector<std::pair<const char*, const char*>>{
             {"2021-02-29", ""}, {"2020-13-01", ""}, {"2020-00-10", ""}, {"01.03.2020", ""}, {"-", "-"},
             {"2020-03-01", "24:00"}, {"2020-03-01", "10:60"}, {"2020-03-01", "10"}, {"2020-03-01", "10:00:0x"}, {"", ""}})
        EXPECT_FALSE(DateTimeSeconds(date, time).has_value()) << date << " " << time;
}

} // namespace
} // namespace lp::formats
