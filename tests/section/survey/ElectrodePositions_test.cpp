// Electrode positions read from a file of their own: every column
// combination, the refusals with their lines, the data's nominal
// electrodes placed (buried under the surface the others give, k and ρa
// anew), and the real river line placed by its positions file.

#include "section/survey/ElectrodePositions.h"

#include "section/survey/DataCleaning.h"
#include "section/survey/Res2DInvFile.h"

#include "tests/support/SharedData.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lp {
namespace {

std::string Refusal(const std::string& Text)
{
    try {
        ReadElectrodePositions(Text);
    } catch (const EDataFileError& error) {
        return error.Message();
    }
    return "read";
}

TEST(ElectrodePositions, EveryColumnCombinationIsRead)
{
    const struct {
        const char* Text;
        const char* Columns;
        int Number; // of the second electrode
        double x, y, z;
        bool Buried;
    } cases[] = {
        {"0,92\n0.5,91\n", "x, z", 2, 0.5, 0.0, 91.0, false},
        {"0 92 0\n0.5 91 1\n", "x, z, buried", 2, 0.5, 0.0, 91.0, true},
        {"1;0;92\n2;0.5;91\n", "number, x, z", 2, 0.5, 0.0, 91.0, false},
        {"3,0,92\n7,0.5,91\n", "x, y, z", 2, 7.0, 0.5, 91.0, false},
        {"E1,0,92\nE4,0.5,91\n", "number, x, z", 4, 0.5, 0.0, 91.0, false},
        {"1\t0\t92\t0\n2\t0.5\t91\t1\n", "number, x, z, buried", 2, 0.5, 0.0, 91.0, true},
        {"10,5,92,0\n11,6,91,1\n", "x, y, z, buried", 2, 11.0, 6.0, 91.0, true},
        {"1,0,5,92\n2,0.5,6,91\n", "number, x, y, z", 2, 0.5, 6.0, 91.0, false},
        {"1,0,5,92,0\n2,0.5,6,91,1\n", "number, x, y, z, buried", 2, 0.5, 6.0, 91.0, true},
        {"x,z,buried\n0,92.7,0\n0.507,92.5,1\n", "x, z, buried", 2, 0.507, 0.0, 92.5, true},
        {"# Elevation (m); Buried; Electrode; X [m]\n92;0;9;0\n91;1;8;0.5\n", "z, buried, number, x", 8, 0.5, 0.0, 91.0, true},
        {"Label,Easting,Northing,Z\nel-1,500,10,92\nel-2,501,11,91  # the second\n", "number, x, y, z", 2, 501.0, 11.0, 91.0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        const TElectrodePositions read = ReadElectrodePositions(c.Text);
        EXPECT_EQ(read.ColumnText(), c.Columns);
        ASSERT_EQ(read.Positions.size(), 2u);
        const TElectrodePosition& second = read.Positions[1];
        EXPECT_EQ(second.Number, c.Number);
        EXPECT_EQ(second.x, c.x);
        EXPECT_EQ(second.y, c.y);
        EXPECT_EQ(second.z, c.z);
        EXPECT_EQ(second.Buried, c.Buried);
        EXPECT_EQ(second.Line, read.Positions[0].Line + 1);
    }
}

TEST(ElectrodePositions, BadLinesAreRefusedByTheirLine)
{
    const struct {
        const char* Text;
        const char* Message;
    } cases[] = {
        {"", "Line 1: the file places no electrode."},
        {"x,z\n0,1\n0.5,nan\n", "Line 3: the z \"nan\" is not a finite number."},
        {"x,z,buried\n0,1,0\n1,1,2\n", "Line 3: buried is 0 or 1, not \"2\"."},
        {"n,x,z\n1,0,1\n1,1,1\n", "Line 3: electrode 1 is placed twice (line 2 places it too)."},
        {"n,x,z\n0,0,1\n", "Line 2: \"0\" names no electrode number (a whole number from 1, or a label ending in one)."},
        {"n,x,z\nfirst,0,1\n", "Line 2: \"first\" names no electrode number (a whole number from 1, or a label ending in one)."},
        {"0,1\n1,1,1\n", "Line 2: 3 values where line 1 has 2."},
        {"x,depth\n0,1\n", "Line 1: \"depth\" is no column this reader knows (number or label, x, y, z, buried)."},
        {"x,y,buried\n0,1,0\n", "Line 1: the columns have no z."},
        {"x,z,elevation\n0,1,2\n", "Line 1: the columns name z twice."},
        {"1,2,3,4,5,6\n", "Line 1: 6 values where an electrode's position needs 2 to 5: [number,] x, [y,] z, [buried]."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Refusal(c.Text), c.Message) << c.Text;
}

// Six electrodes at a nominal 1 m, a dipole-dipole line of resistances
// (of the sign of their k: ρa above 0).
TMeasuredData NominalLine()
{
    TMeasuredData data;
    for (int e = 0; e < 6; ++e)
        data.Electrodes.push_back({static_cast<double>(e), 0.0});
    data.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, 6, 2);
    for (size_t d = 0; d < data.Configurations.size(); ++d) {
        data.GeometricFactors.push_back(FlatGeometricFactor(data.Survey(), data.Configurations[d]));
        data.Resistances.push_back(-2.0 / static_cast<double>(d + 1));
        data.Resistivities.push_back(data.GeometricFactors.back() * data.Resistances.back());
        data.Lines.push_back(static_cast<int>(d) + 20);
    }
    return data;
}

TEST(ElectrodePositions, TheDataTakeTheNewPlacesTheirKAndTheSurface)
{
    TMeasuredData data = NominalLine();
    // Electrodes 3 and 4 under a river, 1 m below the banks' line.
    const TElectrodePositions positions = ReadElectrodePositions("x,z,buried\n0,10,0\n1.2,10.2,0\n2.1,9.3,1\n"
                                                                 "3.3,9.4,1\n4.2,10.4,0\n5.0,10.5,0\n");
    const TElectrodePositionsUse use = UseElectrodePositions(data, positions);
    EXPECT_EQ(ElectrodePositionsText(use, positions), "6 electrodes placed (columns x, z, buried; 2 buried)");
    EXPECT_EQ(data.Electrodes[2].x, 2.1);
    EXPECT_NEAR(data.Electrodes[2].Depth, 10.2 + 0.2 * 0.9 / 3.0 - 9.3, 1e-12);
    EXPECT_NEAR(data.Electrodes[3].Depth, 10.2 + 0.2 * 2.1 / 3.0 - 9.4, 1e-12);
    EXPECT_FALSE(data.Electrodes[4].Buried());
    EXPECT_TRUE(data.HasElevations);
    ASSERT_EQ(data.Topography.size(), 4u); // the surface of the electrodes not buried
    EXPECT_EQ(data.Topography[2].x, 4.2);
    for (size_t d = 0; d < data.Size(); ++d) {
        EXPECT_EQ(data.Resistances[d], -2.0 / static_cast<double>(d + 1));
        EXPECT_GT(data.Resistivities[d], 0.0);
        EXPECT_DOUBLE_EQ(data.GeometricFactors[d], FlatGeometricFactor(data.Survey(), data.Configurations[d]));
        EXPECT_DOUBLE_EQ(data.Resistivities[d], data.GeometricFactors[d] * data.Resistances[d]);
    }
    // Given as ρa over the nominal places, the resistance is ρa / k.
    TMeasuredData apparent = NominalLine();
    const double rho = apparent.Resistivities[1];
    apparent.Resistances.clear();
    UseElectrodePositions(apparent, positions);
    EXPECT_DOUBLE_EQ(apparent.Resistances[1], -1.0);
    EXPECT_DOUBLE_EQ(apparent.Resistivities[1], apparent.GeometricFactors[1] * rho / NominalLine().GeometricFactors[1]);
}

TEST(ElectrodePositions, AnElectrodeTheFileLacksIsRefusedAndTheDataStay)
{
    TMeasuredData data = NominalLine();
    const TMeasuredData before = data;
    // Numbered by the nominal spacing: electrode 3 stands at x = 2.
    try {
        UseElectrodePositions(data, ReadElectrodePositions("n,x,z\n1,0,10\n2,1,10\n4,3,10\n5,4,10\n6,5,10\n"));
        FAIL() << "not refused";
    } catch (const EDataFileError& error) {
        EXPECT_EQ(error.Message(), "The positions file places no electrode 3 (at x = 2 in the data (used first on the "
                                   "data's line 20)): it places 5 electrodes.");
    }
    EXPECT_TRUE(SameMeasurements(data, before));
    EXPECT_THROW(UseElectrodePositions(data, ReadElectrodePositions("0,10,1\n1,10,1\n2,10,1\n3,10,1\n4,10,1\n5,10,1\n")),
                 EDataFileError);
    // A cable's electrode no datum uses keeps its number: the data's
    // electrodes at 0, 2, 3 m are 1, 3, 4.
    TMeasuredData gapped;
    gapped.Electrodes = {{0.0, 0.0}, {2.0, 0.0}, {3.0, 0.0}};
    EXPECT_EQ(NominalElectrodeNumbers(gapped), (std::vector<int>{1, 3, 4}));
    gapped.Electrodes[2].x = 3.5;
    EXPECT_EQ(NominalElectrodeNumbers(gapped), (std::vector<int>{1, 2, 3}));
}

long Negative(const TMeasuredData& Data)
{
    const std::vector<bool> marked = NonPositiveData(Data);
    return std::count(marked.begin(), marked.end(), true);
}

// The river line: resistances written as magnitudes (every datum turned as
// read), 32 nominal electrodes placed by their positions file, 18 under
// the river's bed.
TEST(ElectrodePositions, TheRiverLineIsPlacedAndUsable)
{
    LP_REQUIRE_SHARED_DATA("real/river-prime.dat");
    TMeasuredData data = ReadRes2DInvData(testing::SharedDataText("real/river-prime.dat"));
    ASSERT_EQ(data.Size(), 438u);
    EXPECT_EQ(Negative(data), 438);
    data = ReadMeasuredData(testing::SharedDataText("real/river-prime.dat"));
    EXPECT_TRUE(data.Magnitudes);
    EXPECT_EQ(Negative(data), 0);
    const TElectrodePositions positions =
        ReadElectrodePositions(testing::SharedDataText("real/river-prime-electrodes.csv"));
    const TElectrodePositionsUse use = UseElectrodePositions(data, positions);
    EXPECT_EQ(ElectrodePositionsText(use, positions), "32 electrodes placed (columns x, z, buried; 18 buried)");
    EXPECT_EQ(data.Size(), 438u);
    EXPECT_EQ(Negative(data), 0);
    EXPECT_EQ(data.Electrodes[31].x, 16.538);
    EXPECT_NEAR(data.Electrodes[2].Depth, 0.5, 0.1); // the river's bed under the banks' line
    EXPECT_EQ(data.Topography.size(), 14u);
}

} // namespace
} // namespace lp
