// Measured data in the unified data format: the program's own files read
// back, the columns and units other programs write (pyGIMLi's "x y z",
// err fractions, ip in mV/V), the data skipped and counted, the refusals
// with their lines, and the format told from the content.

#include "section/forward/ForwardModel.h"
#include "section/survey/MeasuredData.h"

#include "section/survey/DataCleaning.h"
#include "section/survey/Misfit.h"
#include "section/survey/Res2DInvFile.h"
#include "section/model/ModelGeometryText.h"

#include "tests/section/forward/ForwardFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace lp {
namespace {

std::string UnifiedRefusal(const std::string& Text)
{
    try {
        const TMeasuredData data = ReadUnifiedMeasuredData(Text);
        return "read " + std::to_string(data.Size()) + " data";
    } catch (const EDataFileError& error) {
        return error.Message();
    }
}

TEST(MeasuredData, TheProgramsOwnFileReadsBackWithItsValues)
{
    TForwardResult result;
    result.Survey.Array = "dipole-dipole";
    result.Survey.Electrodes = {{0.0, 0.0}, {2.5, -0.5}, {5.0, -1.0}, {7.5, -1.25}};
    result.Survey.Configurations = {{0, 1, 2, 3}, {0, -1, 2, 3}, {3, 2, 1, -1}};
    result.GeometricFactors = {94.24777960769379, -1.0 / 3.0, 31.41592653589793};
    result.Resistivities = {100.00000000000001, 0.1 + 0.2, 5e7};
    result.Chargeabilities = {4.75, 0.0, 1.0 / 7.0};
    const TMeasuredData data = ReadUnifiedMeasuredData(FormatUnifiedData(result));
    EXPECT_EQ(data.Format, TDataFormat::Unified);
    EXPECT_EQ(data.Title, "Lithoprism forward response, array dipole-dipole: rhoa in ohm-m, k in m, ip in mV/V (10 mV/V = 1 %)");
    ASSERT_EQ(data.Electrodes.size(), 4u);
    EXPECT_EQ(data.Electrodes[3].z, -1.25);
    EXPECT_TRUE(data.HasElevations);
    EXPECT_EQ(data.Configurations, result.Survey.Configurations);
    EXPECT_EQ(data.Resistivities, result.Resistivities);
    EXPECT_EQ(data.GeometricFactors, result.GeometricFactors);
    ASSERT_EQ(data.Chargeabilities.size(), 3u);
    for (size_t d = 0; d < 3; ++d)
        EXPECT_NEAR(data.Chargeabilities[d], result.Chargeabilities[d], 1e-14);
    EXPECT_TRUE(data.Errors.empty());
    EXPECT_EQ(data.Skipped.Total(), 0);
    EXPECT_EQ(data.Survey().Electrodes.size(), 4u);
    EXPECT_EQ(data.Survey().Configurations, result.Survey.Configurations);
}

// The kept data written in the unified format and read back: every value
// as it was, the error the file gave or the default, chargeabilities in
// mV/V; resistances stay resistances; a partial column is left out.
TEST(MeasuredData, KeptDataWrittenAndReadBackWithTheirErrors)
{
    const std::string file = "5\n# x z\n0 0\n1 0.5\n2 1\n3 0.5\n4 0\n"
                             "3\n# a b m n rhoa err ip iperr\n"
                             "1 2 3 4 101.5 0.02 12 1\n2 3 4 5 99.25 0 8.5 0.5\n1 0 3 4 0.1234567890123 0.05 3 0.2\n0\n";
    const TMeasuredData data = ReadMeasuredData(file);
    ASSERT_EQ(data.Size(), 3u);
    const TMeasuredData back = ReadMeasuredData(FormatMeasuredData(data, 0.03));
    EXPECT_EQ(back.Configurations, data.Configurations);
    EXPECT_EQ(back.Resistivities, data.Resistivities);
    ASSERT_EQ(back.Electrodes.size(), 5u);
    EXPECT_EQ(back.Electrodes[1].z, 0.5);
    EXPECT_EQ(back.Errors, (std::vector<double>{0.02, 0.03, 0.05})); // the second had none
    EXPECT_EQ(back.Chargeabilities, data.Chargeabilities);
    EXPECT_EQ(back.ChargeabilityErrors, data.ChargeabilityErrors);
    EXPECT_TRUE(back.Resistances.empty());
    // The same file from its own output: nothing changes.
    EXPECT_EQ(FormatMeasuredData(back, 0.03), FormatMeasuredData(data, 0.03));

    // Resistances stay resistances; a chargeability on some data only is left out.
    const std::string resistances =
        "4\n# x z\n0 0\n1 0\n2 0\n3 0\n2\n# a b m n k r ip\n1 2 3 4 6.25 0.5 4\n2 1 3 4 -6.25 -0.5 0\n0\n";
    TMeasuredData partial = ReadMeasuredData(resistances);
    ASSERT_EQ(partial.Size(), 2u) << partial.Skipped.Text();
    partial.Chargeabilities[1] = std::nan("");
    const std::string text = FormatMeasuredData(partial, 0.04);
    EXPECT_NE(text.find("# a b m n k r err\n"), std::string::npos) << text;
    const TMeasuredData again = ReadMeasuredData(text);
    EXPECT_EQ(again.Resistances, partial.Resistances);
    EXPECT_EQ(again.Resistivities, partial.Resistivities);
    EXPECT_TRUE(again.Chargeabilities.empty());
    EXPECT_EQ(again.Errors, (std::vector<double>{0.04, 0.04}));
    EXPECT_THROW(FormatMeasuredData(partial, 0.0), EDataFileError);
    EXPECT_THROW(FormatMeasuredData(partial, std::nan("")), EDataFileError);
}

TEST(MeasuredData, PyGimliConventionsAreReadInTheirUnits)
{
    // A 2-D line as pyGIMLi saves it: x y z with the elevation in y, err a
    // fraction, ip in mV/V, a topography block, CR LF and a byte-order mark.
    const TMeasuredData data = ReadUnifiedMeasuredData(
        "\xEF\xBB\xBF" "4\r\n# x y z\r\n0 10 0\r\n1 9.5 0\r\n2 9 0\r\n3 8.5 0\r\n"
        "3\r\n# a b m n err ip k rhoa valid\r\n"
        "1 2 3 4 0.02 15 18.84955592153876 120 1\r\n"
        "2 0 3 4 0.05 nan 9.42477796076938 80 1\r\n"
        "1 2 3 4 0 15 18.84955592153876 125 1\r\n" // err 0: not set
        "2\r\n# x y\r\n0 10\r\n3 8.5\r\n");
    ASSERT_EQ(data.Size(), 3u);
    EXPECT_EQ(data.Electrodes[1].z, 9.5);
    EXPECT_EQ(data.Configurations[1], (TConfiguration{1, -1, 2, 3}));
    EXPECT_EQ(data.Resistivities, (std::vector<double>{120.0, 80.0, 125.0}));
    ASSERT_EQ(data.Errors.size(), 3u);
    EXPECT_EQ(data.Errors[1], 0.05);
    EXPECT_TRUE(std::isnan(data.Errors[2]));
    ASSERT_EQ(data.Chargeabilities.size(), 3u);
    EXPECT_DOUBLE_EQ(data.Chargeabilities[0], 1.5);
    EXPECT_TRUE(std::isnan(data.Chargeabilities[1]));
    ASSERT_EQ(data.Topography.size(), 2u);
    EXPECT_EQ(data.Topography[1].z, 8.5);

    // Units written after "/", tokens in any case, c1 c2 p1 p2.
    const TMeasuredData percent = ReadUnifiedMeasuredData(
        "3\n# x\n0\n1\n2\n1\n# P1 P2 C1 C2 RHOA/Ohmm ERR/% IP/% IPERR other\n2 3 1 0 50 4 1.5 0.25 7\n");
    EXPECT_EQ(percent.Configurations[0], (TConfiguration{0, -1, 1, 2}));
    EXPECT_DOUBLE_EQ(percent.Errors[0], 0.04);
    EXPECT_EQ(percent.Chargeabilities[0], 1.5);
    EXPECT_EQ(percent.ChargeabilityErrors[0], 0.25);
    EXPECT_FALSE(percent.HasElevations);
    // A topography block beside electrodes at 0 gives them no elevation.
    const TMeasuredData flat =
        ReadUnifiedMeasuredData("2\n# x z\n0 0\n5 0\n1\n# a b m n rhoa\n1 0 2 0 10\n2\n# x z\n0 3\n5 4\n");
    EXPECT_FALSE(flat.HasElevations);
    EXPECT_EQ(flat.Topography.size(), 2u);
}

TEST(MeasuredData, ResistancesAndVoltagesGiveTheApparentResistivity)
{
    const std::string electrodes = "4\n# x z\n0 0\n1 0\n2 0\n3 0\n";
    // With k: ρa = k·r and k·u/i (mV over mA the same ratio).
    const TMeasuredData r = ReadUnifiedMeasuredData(electrodes + "1\n# a b m n r k\n1 4 2 3 2.5 18.85\n");
    EXPECT_DOUBLE_EQ(r.Resistivities[0], 2.5 * 18.85);
    const TMeasuredData ui =
        ReadUnifiedMeasuredData(electrodes + "1\n# a b m n u/mV i/mA k\n1 4 2 3 500 200 18.85\n");
    EXPECT_DOUBLE_EQ(ui.Resistivities[0], 2.5 * 18.85);
    // Without k: the flat ground's over the electrodes (Wenner a = 1: 2πa).
    const TMeasuredData flat = ReadUnifiedMeasuredData(electrodes + "1\n# a b m n u i\n1 4 2 3 0.5 0.2\n");
    EXPECT_NEAR(flat.Resistivities[0], 2.5 * 2.0 * std::acos(-1.0), 1e-12);
    EXPECT_NEAR(flat.GeometricFactors[0], 2.0 * std::acos(-1.0), 1e-12);
}

// Invalid data, a non-finite ρa and an electrode used twice were used as
// they came; a ρa of 0 or below is a datum (kept, and refused by every
// computation until removed).
TEST(MeasuredData, DataThatCannotBeUsedAreSkippedAndCounted)
{
    const TMeasuredData data = ReadUnifiedMeasuredData(
        "4\n0\n1\n2\n3\n9\n# a b m n rhoa valid\n"
        "1 2 3 4 100 1\n"
        "1 2 3 4 100 0\n"   // invalid
        "1 2 3 4 -5 1\n"    // kept: 0 or below
        "1 2 3 4 0 1\n"     // kept: 0 or below
        "1 2 3 4 inf 1\n"   // not finite
        "1 2 3 4 -2e12 1\n" // beyond 1e12 in size
        "1 2 3 4 1e-13 1\n" // above 0 but below 1e-12
        "1 2 2 4 100 1\n"   // M is B
        "0 2 3 0 90 1\n");  // lone B and M: B taken as A
    EXPECT_EQ(data.Size(), 4u);
    EXPECT_EQ(data.Resistivities, (std::vector<double>{100.0, -5.0, 0.0, 90.0}));
    EXPECT_EQ(data.Lines, (std::vector<int>{8, 10, 11, 16}));
    EXPECT_EQ(data.Configurations[3], (TConfiguration{1, -1, 2, -1}));
    EXPECT_EQ(data.Skipped.Invalid, 1);
    EXPECT_EQ(data.Skipped.BadResistivity, 3);
    EXPECT_EQ(data.Skipped.RepeatedElectrode, 1);
    EXPECT_EQ(data.Skipped.Total(), 5);
    EXPECT_EQ(data.Skipped.Text(),
              "1 marked invalid, 3 with an apparent resistivity that is not finite, beyond 1e12 ohm-m in size, or "
              "above 0 but below 1e-12 ohm-m, 1 using an electrode twice");
}

// A ρa of 0 or below, given or formed as k·R or k·u/i, is kept in every
// per-datum list; a resistance negative only by its configuration's sign
// convention (k negative too) is ordinary data. Written as they are, they
// read back the same.
TEST(MeasuredData, ApparentResistivitiesOfZeroOrBelowAreKeptAsData)
{
    const std::string electrodes = "4\n# x z\n0 0\n1 0\n2 0\n3 0\n";
    const TMeasuredData given = ReadUnifiedMeasuredData(
        electrodes + "4\n# a b m n rhoa err ip\n1 2 3 4 -7.5 0.02 4\n1 2 3 4 0 0.03 5\n"
                     "1 2 3 4 -1e12 0.04 6\n1 2 3 4 -1e-200 0.05 7\n");
    ASSERT_EQ(given.Size(), 4u);
    EXPECT_EQ(given.Skipped.Total(), 0);
    EXPECT_EQ(given.Resistivities, (std::vector<double>{-7.5, 0.0, -1e12, -1e-200}));
    EXPECT_EQ(given.Errors, (std::vector<double>{0.02, 0.03, 0.04, 0.05}));
    EXPECT_EQ(given.Chargeabilities.size(), 4u);
    EXPECT_EQ(given.Lines, (std::vector<int>{9, 10, 11, 12}));
    EXPECT_EQ(NonPositiveData(given), std::vector<bool>(4, true));
    // A B M N = 1 4 2 3 (Wenner, k = 2π a > 0): a negative r gives a
    // negative ρa; with the electrodes of one dipole exchanged (k < 0) the
    // same negative r is ordinary data.
    const TMeasuredData r = ReadUnifiedMeasuredData(electrodes + "3\n# a b m n r k\n1 4 2 3 -2.5 18.85\n"
                                                                 "1 4 3 2 -2.5 -18.85\n1 4 2 3 0 18.85\n");
    ASSERT_EQ(r.Size(), 3u);
    EXPECT_DOUBLE_EQ(r.Resistivities[0], -2.5 * 18.85);
    EXPECT_DOUBLE_EQ(r.Resistivities[1], 2.5 * 18.85);
    EXPECT_EQ(r.Resistivities[2], 0.0);
    EXPECT_EQ(r.Resistances, (std::vector<double>{-2.5, -2.5, 0.0}));
    EXPECT_EQ(NonPositiveData(r), (std::vector<bool>{true, false, true}));
    // u/i with the flat ground's k, in either order of N and M.
    const TMeasuredData ui = ReadUnifiedMeasuredData(electrodes + "2\n# a b m n u i\n1 4 2 3 -0.5 0.2\n"
                                                                  "1 4 3 2 -0.5 0.2\n");
    ASSERT_EQ(ui.Size(), 2u);
    EXPECT_NEAR(ui.Resistivities[0], -2.5 * 2.0 * std::acos(-1.0), 1e-12);
    EXPECT_NEAR(ui.Resistivities[1], 2.5 * 2.0 * std::acos(-1.0), 1e-12);
    EXPECT_EQ(ui.Voltages, (std::vector<double>{-0.5, -0.5}));
    // Written as they are (pyGIMLi reads a negative rhoa) and read back.
    for (const TMeasuredData* data : {&given, &r}) {
        const TMeasuredData back = ReadUnifiedMeasuredData(FormatMeasuredData(*data, 0.03));
        EXPECT_EQ(back.Skipped.Total(), 0);
        EXPECT_EQ(back.Configurations, data->Configurations);
        EXPECT_EQ(back.Resistivities, data->Resistivities);
        EXPECT_EQ(back.Resistances, data->Resistances);
    }
    EXPECT_NE(FormatMeasuredData(given, 0.03).find(" -7.5 0.02 "), std::string::npos) << FormatMeasuredData(given, 0.03);
}

TEST(MeasuredData, FilesThatCannotBeReadAreRefusedNamingTheLine)
{
    const std::string electrodes = "2\n# x\n0\n1\n";
    EXPECT_EQ(UnifiedRefusal(electrodes + "1\n1 0 2 0 100\n"),
              "Line 5: the data need a column line naming their values, such as \"# a b m n rhoa\".");
    EXPECT_EQ(UnifiedRefusal(electrodes + "1\n# a b m n k\n1 0 2 0 100\n"),
              "Line 6: the datum columns have no apparent resistivity: \"rhoa\", \"r\" with \"k\", or \"u\" and \"i\".");
    EXPECT_EQ(UnifiedRefusal(electrodes + "1\n# a b m n rhoa ip/ms\n1 0 2 0 100 3\n"),
              "Line 6: the unit \"ms\" of column \"ip\" is not one this reader knows (none, mv/v, %).");
    EXPECT_EQ(UnifiedRefusal(electrodes + "1\n# a b m n rhoa err err\n1 0 2 0 100 1 1\n"),
              "Line 6: the datum columns name \"err\" twice.");
    EXPECT_EQ(UnifiedRefusal(electrodes + "1\n# a b m n rhoa\n0 0 2 0 100\n"),
              "Line 7: the datum has no current electrode (A and B are absent).");
    EXPECT_EQ(UnifiedRefusal(electrodes + "1\n# a b m n rhoa\n1 0 3 0 100\n"),
              "Line 7: electrode number 3 is not one of the 2 electrodes.");
    EXPECT_EQ(UnifiedRefusal(electrodes + "2\n# a b m n rhoa\n1 0 2 0 100\n"), "Line 7: the file ends before datum 2.");
    // A file of electrodes only holds no data.
    EXPECT_EQ(UnifiedRefusal(electrodes + "0\n"), "read 0 data");
}

TEST(MeasuredData, TheFormatIsToldFromTheFirstLine)
{
    EXPECT_EQ(RecogniseDataFormat("4\n0\n"), TDataFormat::Unified);
    EXPECT_EQ(RecogniseDataFormat("\xEF\xBB\xBF# data\r\n4\n"), TDataFormat::Unified);
    EXPECT_EQ(RecogniseDataFormat("48  # electrodes\n"), TDataFormat::Unified);
    EXPECT_EQ(RecogniseDataFormat("Line 1 dipole-dipole\n1.0\n3\n"), TDataFormat::Res2DInv);
    EXPECT_EQ(RecogniseDataFormat("\n1.0\n3\n"), TDataFormat::Res2DInv);
    EXPECT_EQ(RecogniseDataFormat("2.5\n"), TDataFormat::Res2DInv);
    EXPECT_EQ(ReadMeasuredData("Title\n1\n2\n1\n0\n0\n0 1 100\n").Format, TDataFormat::Res2DInv);
    // Forced: a title that reads as a count.
    EXPECT_EQ(ReadMeasuredData("7\n1\n2\n1\n0\n0\n0 1 100\n", TDataFormat::Res2DInv).Size(), 1u);
    EXPECT_EQ(DataFormatFromName("res2dinv"), TDataFormat::Res2DInv);
    EXPECT_EQ(DataFormatFromName("unified"), TDataFormat::Unified);
    EXPECT_EQ(DataFormatFromName("csv"), std::nullopt);
}


// A pole whose geometric factor is infinite, a ρa of 1e-200 and a denormal
// error refused the whole file at the computation or the misfit.
TEST(MeasuredData, DataTheComputationCannotCountAreSkippedAndCounted)
{
    const TMeasuredData data = ReadUnifiedMeasuredData(
        "5\n# x z\n0 0\n5 0\n10 0\n15 0\n20 0\n5\n# a b m n rhoa err\n"
        "1 2 3 4 100 0.03\n"
        "3 0 2 4 100 0.03\n"      // M and N equally far from the pole A
        "1 2 3 4 1e-200 0.03\n"   // a ρa beyond counting
        "1 2 3 4 100 4e-320\n"    // a denormal error
        "2 3 4 5 100 0\n");       // error 0: not set, the error model serves
    EXPECT_EQ(data.Size(), 2u);
    EXPECT_EQ(data.Lines, (std::vector<int>{10, 14}));
    EXPECT_EQ(data.Skipped.NoGeometricFactor, 1);
    EXPECT_EQ(data.Skipped.BadResistivity, 1);
    EXPECT_EQ(data.Skipped.BadError, 1);
    EXPECT_EQ(data.Skipped.Text(),
              "1 with an apparent resistivity that is not finite, beyond 1e12 ohm-m in size, or above 0 but below "
              "1e-12 ohm-m, 1 with an error below 0.0001 %, 1 measuring nothing over a homogeneous ground (an "
              "infinite geometric factor)");
    // What is left computes and compares.
    test::TForwardSection section(40.0, 20.0, 100.0);
    const TForwardResult result = ComputeForwardResponse(section.Ground(), data.Survey());
    const TMisfit misfit = ComputeMisfit(data, result);
    EXPECT_LT(misfit.Rrms, 2.0);
}

// A file with CR-only line ends was refused as "the file ends before the
// electrode count".
TEST(MeasuredData, CarriageReturnsAloneEndTheLines)
{
    const TMeasuredData data = ReadUnifiedMeasuredData("# old desktop\r3\r# x z\r0 0\r1 0\r2 0\r1\r# a b m n rhoa\r1 0 2 3 100\r0\r");
    EXPECT_EQ(data.Title, "old desktop");
    EXPECT_EQ(data.Electrodes.size(), 3u);
    EXPECT_EQ(data.Configurations, (std::vector<TConfiguration>{{0, -1, 1, 2}}));
    EXPECT_EQ(ParseUnifiedData("2\r0\r1\r1\r1 0 2 0\r").Configurations.size(), 1u);
    EXPECT_EQ(UnifiedRefusal("2\r0\r1\r1\r# a b m n rhoa\r1 0 3 0 100\r"),
              "Line 6: electrode number 3 is not one of the 2 electrodes.");
}

// An instrument's own export was taken for Res2DInv and refused with "the
// unit electrode spacing 0 is not above 0".
TEST(MeasuredData, AFileOfAnotherFormatIsSaidToBeInNoFormatRead)
{
    const std::string export_ = "El-array Spa.1 Spa.2 Spa.3 Spa.4 Rho Dev. M\n"
                                "0 0 5 10 15 102.3 0.2 4.1\n0 5 10 15 20 99.8 0.1 3.9\n";
    std::string message;
    try {
        ReadMeasuredData(export_);
    } catch (const EDataFileError& error) {
        message = error.Message();
    }
    EXPECT_NE(message.find("The file is in no format this program reads"), std::string::npos) << message;
    EXPECT_NE(message.find("unified data format"), std::string::npos) << message;
    EXPECT_NE(message.find("Res2DInv format"), std::string::npos) << message;
    EXPECT_NE(message.find("Line 2: the unit electrode spacing 0 is not above 0."), std::string::npos) << message;
    // A Res2DInv file with a fault past its header keeps its own refusal.
    try {
        ReadMeasuredData("Title\n1\n2\n1\n0\n0\n0 1\n");
        ADD_FAILURE();
    } catch (const EDataFileError& error) {
        EXPECT_TRUE(error.Message().starts_with("Line 7: datum 1 has 2 values")) << error.Message();
    }
}

// "ip/mrad" refused the whole file; a phase column is never a chargeability.
// "phi" holds the voltage's phase as written; an "ip" in an angle's unit
// holds its magnitude (pyGIMLi's −φ).
TEST(MeasuredData, PhaseColumnsAreReadInTheirSignConventionAndUnit)
{
    const std::string electrodes = "3\n# x\n0\n1\n2\n";
    const double degree = 1000.0 * std::numbers::pi / 180.0;
    const struct {
        const char* Columns;
        const char* Value;
        double Phase; // mrad, φ of the voltage
    } cases[] = {{"rhoa ip/mrad", "12", -12.0},         {"rhoa ip/MRAD iperr", "12", -12.0},
                 {"rhoa ip/rad", "0.012", -12.0},       {"rhoa ip/deg", "12", -12.0 * degree},
                 {"rhoa phi", "-12", -12.0},            {"rhoa phase/mrad", "-12", -12.0},
                 {"rhoa phi/deg", "-12", -12.0 * degree}, {"rhoa phi/rad", "-0.012", -12.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Columns);
        const TMeasuredData data =
            ReadUnifiedMeasuredData(electrodes + "1\n# a b m n " + c.Columns + "\n1 0 2 3 100 " + c.Value +
                                    (std::string(c.Columns).ends_with("iperr") ? " 1" : "") + "\n");
        EXPECT_EQ(data.Resistivities, (std::vector<double>{100.0}));
        EXPECT_TRUE(data.Chargeabilities.empty());
        EXPECT_TRUE(data.ChargeabilityErrors.empty());
        ASSERT_EQ(data.Phases.size(), 1u);
        EXPECT_NEAR(data.Phases[0], c.Phase, 1e-9 * std::fabs(c.Phase));
        EXPECT_TRUE(data.Warnings.empty());
        EXPECT_TRUE(HasPhases(data));
    }
    // A bare ip stays a chargeability in mV/V, unless the user says it is a phase.
    const std::string bare = electrodes + "1\n# a b m n rhoa ip\n1 0 2 3 100 12\n";
    EXPECT_EQ(ReadUnifiedMeasuredData(bare).Chargeabilities[0], 1.2);
    EXPECT_TRUE(ReadUnifiedMeasuredData(bare).Phases.empty());
    const TMeasuredData phase = ReadMeasuredData(bare, TDataFormat::Unified, {}, {.IpIsPhase = true});
    EXPECT_TRUE(phase.Chargeabilities.empty());
    EXPECT_EQ(phase.Phases, (std::vector<double>{-12.0}));
    // Written with their sign (most below 0, as the warning about negative
    // chargeabilities finds them): taken as φ itself.
    const std::string signed_ = electrodes + "2\n# a b m n rhoa ip\n1 0 2 3 100 -12\n1 0 3 2 100 -3\n";
    EXPECT_EQ(ReadMeasuredData(signed_, std::nullopt, {}, {.IpIsPhase = true}).Phases,
              (std::vector<double>{-12.0, -3.0}));
    // Told from the content too; an ip in mV/V stays a chargeability all the same.
    EXPECT_EQ(ReadMeasuredData(bare, std::nullopt, {}, {.IpIsPhase = true}).Phases, (std::vector<double>{-12.0}));
    const std::string named = electrodes + "1\n# a b m n rhoa ip/mV/V\n1 0 2 3 100 12\n";
    EXPECT_EQ(ReadMeasuredData(named, std::nullopt, {}, {.IpIsPhase = true}).Chargeabilities[0], 1.2);
    // Both kinds of column at once: refused, naming the column line.
    try {
        ReadUnifiedMeasuredData(electrodes + "1\n# a b m n rhoa ip/mrad phi\n1 0 2 3 100 12 -12\n");
        ADD_FAILURE();
    } catch (const EDataFileError& error) {
        EXPECT_EQ(error.Message(), "Line 7: the datum columns hold phases twice: \"ip\" in an angle's unit and \"phi\".");
    }
}

// A file writing phases with their sign under a bare ip read as
// chargeabilities below 0 without a word.
TEST(MeasuredData, NegativeChargeabilitiesAreCountedAndThePhaseReadingSuggested)
{
    const TMeasuredData data = ReadUnifiedMeasuredData(
        "4\n# x\n0\n1\n2\n3\n3\n# a b m n rhoa ip\n1 2 3 4 100 -12\n1 2 4 3 100 -3\n2 3 4 1 100 2\n");
    // Two in three: kept (three in four turn them, IpColumnsOfTheImpossibleSignAreTurned).
    EXPECT_EQ(data.Chargeabilities, (std::vector<double>{-1.2, -0.3, 0.2}));
    ASSERT_EQ(data.Warnings.size(), 1u);
    EXPECT_TRUE(data.Warnings[0].starts_with("2 of 3 chargeabilities are below 0")) << data.Warnings[0];
    EXPECT_NE(data.Warnings[0].find("--ip-is-phase"), std::string::npos) << data.Warnings[0];
    // Half of them: kept as written, the phase reading suggested.
    const TMeasuredData half = ReadUnifiedMeasuredData(
        "4\n# x\n0\n1\n2\n3\n2\n# a b m n rhoa ip\n1 2 3 4 100 -12\n1 2 4 3 100 3\n");
    EXPECT_EQ(half.Chargeabilities, (std::vector<double>{-1.2, 0.3}));
    ASSERT_EQ(half.Warnings.size(), 1u);
    EXPECT_TRUE(half.Warnings[0].starts_with("1 of 2 chargeabilities are below 0: if")) << half.Warnings[0];
    // A few below 0, as beside a strong contrast: ordinary data.
    EXPECT_TRUE(ReadUnifiedMeasuredData(
                    "4\n# x\n0\n1\n2\n3\n3\n# a b m n rhoa ip\n1 2 3 4 100 -12\n1 2 4 3 100 3\n2 3 4 1 100 2\n")
                    .Warnings.empty());
}

// Saving data with phases dropped them.
TEST(MeasuredData, PhasesSurviveTheUnifiedFileAndDataRemovals)
{
    const TMeasuredData data = ReadUnifiedMeasuredData(
        "4\n# x\n0\n1\n2\n3\n3\n# a b m n rhoa ip phi\n1 2 3 4 100 5 -12.25\n1 2 4 3 90 4 -3\n"
        "2 3 4 1 80 3 -0.5\n");
    const std::string text = FormatMeasuredData(data, 0.03);
    EXPECT_NE(text.find("# a b m n k rhoa err ip phi\n"), std::string::npos) << text;
    const TMeasuredData again = ReadUnifiedMeasuredData(text);
    EXPECT_EQ(again.Phases, (std::vector<double>{-12.25, -3.0, -0.5}));
    EXPECT_EQ(again.Chargeabilities, data.Chargeabilities);
    TMeasuredData other = again;
    other.Phases[1] = -3.5;
    EXPECT_FALSE(SameMeasurements(again, other));
    EXPECT_EQ(KeepData(again, {false, true, false}).Phases, (std::vector<double>{-12.25, -0.5}));
    // A datum without a phase: the column is not written (no number that is not finite reaches a file).
    other.Phases[1] = std::nan("");
    EXPECT_EQ(FormatMeasuredData(other, 0.03).find("phi"), std::string::npos);
}

// An electrode far outside the section and two electrodes at one place
// were refused without the file's line.
TEST(MeasuredData, ElectrodesThatCannotStandOnTheGroundAreRefusedNamingTheirLine)
{
    TForwardModel ground;
    ground.Left = 0.0;
    ground.Right = 40.0;
    const auto refusal = [&](const TMeasuredData& data) {
        try {
            CheckElectrodePlaces(data, ground);
            return std::string("placed");
        } catch (const EDataFileError& error) {
            return error.Message();
        }
    };
    const std::string data = "2\n# a b m n rhoa\n1 2 3 4 100\n1 0 2 3 90\n";
    EXPECT_EQ(refusal(ReadUnifiedMeasuredData("4\n# x z\n0 0\n5 0\n1e9 0\n15 0\n" + data)),
              "Line 5: the electrode at x = 1e+09 lies outside the model area (x from 0 to 40).");
    EXPECT_EQ(refusal(ReadUnifiedMeasuredData("4\n# x z\n0 0\n5 0\n10 0\n10 0\n" + data)),
              "Line 6: the electrode at x = 10 stands at the place of line 5's (x = 10) on the section's surface.");
    // Two at one x, one below the other: the lower is buried, not at the upper's place.
    EXPECT_EQ(refusal(ReadUnifiedMeasuredData("4\n# x z\n0 0\n5 0\n10 0\n10 -1\n" + data)), "placed");
    EXPECT_EQ(refusal(ReadUnifiedMeasuredData("4\n# x z\n0 0\n5 0\n10 -1\n10 -1\n" + data)),
              "Line 6: the electrode at x = 10, z = -1 stands at the place of line 5's (x = 10, z = -1) in the "
              "ground.");
    // Res2DInv: the line of the first datum that places the electrode.
    const std::string general = "G\n1\n11\n0\nType of measurement (0=app. resistivity,1=resistance)\n0\n2\n1\n0\n";
    EXPECT_EQ(refusal(ReadRes2DInvData(general + "4 0 0 5 0 10 0 15 0 100\n4 0 0 5 0 1e9 0 15 0 100\n")),
              "Line 11: the electrode at x = 1e+09 lies outside the model area (x from 0 to 40).");
    EXPECT_EQ(refusal(ReadRes2DInvData(general + "4 0 0 5 0 10 0 15 0 100\n4 0 0 5 0 10 -2 15 0 100\n")), "placed");
    EXPECT_EQ(refusal(ReadRes2DInvData(general + "4 0 0 5 0 10 0 15 0 100\n4 0 0 5 0 10 0 20 0 100\n")), "placed");
}

// The inversion window keeps an edited mesh for the same measurements: a
// file read twice is the same data, a value or an electrode moved is not.
TEST(MeasuredData, TheSameMeasurementsReadTwiceAreTheSameData)
{
    const std::string text = "3\n# x z\n0 0\n1 0\n2 0\n2\n# a b m n rhoa err ip\n1 0 2 3 100 nan 5\n1 2 3 0 120 0.03 nan\n";
    const TMeasuredData first = ReadUnifiedMeasuredData(text), second = ReadUnifiedMeasuredData(text);
    ASSERT_EQ(first.Size(), 2u);
    EXPECT_TRUE(SameMeasurements(first, second));
    TMeasuredData other = second;
    other.Resistivities[1] = 121.0;
    EXPECT_FALSE(SameMeasurements(first, other));
    other = second;
    other.Electrodes[2].x = 2.5;
    EXPECT_FALSE(SameMeasurements(first, other));
    other = second;
    other.Chargeabilities.clear();
    EXPECT_FALSE(SameMeasurements(first, other));
    other = second;
    other.Configurations.pop_back();
    EXPECT_FALSE(SameMeasurements(first, other));
}


// --- IP values ---------------------------------------------------------------------

// A unified file of 30 dipole-dipole data over 12 electrodes 1 m apart,
// datum d on line 17 + d, its IP columns holding Normal·(1 + d % 5 / 10)
// and After, datum Odd (if any) holding Wild instead.
std::string IpFile(const std::string& Columns, double Normal, const std::string& After = "", int Odd = -1,
                   const std::string& Wild = "")
{
    std::string text = "12\n# x\n0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n30\n# a b m n rhoa " + Columns + "\n";
    int d = 0;
    for (int n = 1; n <= 4; ++n)
        for (int a = 1; a + n + 2 <= 12; ++a, ++d)
            text += std::to_string(a) + " " + std::to_string(a + 1) + " " + std::to_string(a + n + 1) + " " +
                    std::to_string(a + n + 2) + " 100 " +
                    (d == Odd ? Wild : FormatExactReal(Normal * (1.0 + (d % 5) / 10.0)) + After) + "\n";
    return text;
}

constexpr int OddDatum = 10, OddLine = 27;

// The IP values of a file read from IpFile: its phases, else its chargeabilities.
const std::vector<double>& IpValues(const TMeasuredData& Data)
{
    return Data.Phases.empty() ? Data.Chargeabilities : Data.Phases;
}

// A per-datum phase error column was passed over without a word (the default
// error served): "iperr" is the error of the file's IP column, in its unit.
TEST(MeasuredData, IpErrorsAreReadInTheirColumnsUnit)
{
    const struct {
        const char* Columns;
        const char* Values;
        double PhaseError, ChargeabilityError; // mrad, per cent; nan: none
    } cases[] = {{"ip/mrad iperr", "12 0.8", 0.8, NAN},        {"phi/deg iperr", "-0.5 0.05", 0.05 * 1000 * std::numbers::pi / 180, NAN},
                 {"phi iperr/rad", "-12 0.002", 2.0, NAN},     {"phase iperr/mrad", "-12 0.3", 0.3, NAN},
                 {"ip iperr", "12 1", NAN, 0.1},               {"ip/% phi iperr", "1.5 -12 0.2", NAN, 0.2},
                 {"ip/mrad iperr", "12 0", NAN, NAN}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Columns);
        const TMeasuredData data = ReadUnifiedMeasuredData(std::string("3\n# x\n0\n1\n2\n1\n# a b m n rhoa ") +
                                                           c.Columns + "\n1 0 2 3 100 " + c.Values + "\n");
        EXPECT_TRUE(data.Warnings.empty());
        for (const auto& [errors, expected] : {std::pair{&data.PhaseErrors, c.PhaseError},
                                               std::pair{&data.ChargeabilityErrors, c.ChargeabilityError}}) {
            const double read = errors->size() == 1 ? errors->front() : NAN;
            EXPECT_TRUE(std::isnan(read) ? std::isnan(expected) : std::fabs(read - expected) <= 1e-12 * expected) << read;
        }
    }
    // Written back and read again, the phases' errors with them.
    const TMeasuredData again = ReadUnifiedMeasuredData(FormatMeasuredData(ReadUnifiedMeasuredData(IpFile("phi iperr", -8.0, " 0.7")), 0.03));
    EXPECT_EQ(again.PhaseErrors, std::vector<double>(30, 0.7));
    EXPECT_EQ(KeepData(again, std::vector<bool>(30, true)).PhaseErrors.size(), 0u);
}

// Positive phases (magnitudes, as many instruments write them) were taken
// as a ground that cannot polarize: a column mostly of the sign no
// polarizable ground gives is read in the other convention, with a warning.
TEST(MeasuredData, IpColumnsOfTheImpossibleSignAreTurned)
{
    const struct {
        const char* Columns;
        double Normal;       // as written; datum Odd (or none) of the other sign
        int Odd;
        double Turned;       // the first datum as read
        const char* Warning; // the start of the warning; empty: none
    } cases[] = {{"phi", 8.0, -1, -8.0, "30 of 30 phases are above 0"},
                 {"phase/deg", 0.5, OddDatum, -0.5 * 1000 * std::numbers::pi / 180, "29 of 30 phases are above 0"},
                 {"ip/mrad", -8.0, -1, -8.0, "30 of 30 phases are above 0"}, // pyGIMLi's −φ written with φ's sign
                 {"ip", -80.0, -1, 8.0, "30 of 30 chargeabilities are below 0"},
                 {"phi", -8.0, OddDatum, -8.0, ""},
                 {"ip", 80.0, OddDatum, 8.0, ""}};
    // Noise about 0 beside a polarizable datum: three in four below 0 but not their sum, kept.
    const TMeasuredData noisy = ReadUnifiedMeasuredData("4\n# x\n0\n1\n2\n3\n4\n# a b m n rhoa ip\n1 2 3 4 100 -1\n"
                                                        "1 2 4 3 100 -1\n2 3 4 1 100 -1\n1 3 2 4 100 30\n");
    EXPECT_EQ(noisy.Chargeabilities, (std::vector<double>{-0.1, -0.1, -0.1, 3.0}));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Columns + std::string(" ") + std::to_string(c.Normal));
        const TMeasuredData data = ReadUnifiedMeasuredData(IpFile(c.Columns, c.Normal, "", c.Odd, FormatExactReal(-c.Normal)));
        ASSERT_EQ(IpValues(data).size(), 30u);
        EXPECT_NEAR(IpValues(data)[0], c.Turned, 1e-9);
        EXPECT_EQ(data.Warnings.size(), *c.Warning ? 1u : 0u);
        for (const std::string& warning : data.Warnings) {
            EXPECT_TRUE(warning.starts_with(c.Warning) && warning.find("sign turned") != std::string::npos) << warning;
            // A bare ip may hold phases: the reading as phases is suggested.
            EXPECT_EQ(warning.find("--ip-is-phase") != std::string::npos, std::string(c.Columns) == "ip");
        }
    }
    // Res2DInv phases are −φ: a file writing φ with its sign is turned alike.
    const TMeasuredData res2dinv =
        ReadMeasuredData("Survey line\n2.5\n1\n2\n0\n1\nPhase\nmrad\n1\n0 2.5 100 -3\n2.5 2.5 100 -4\n", TDataFormat::Res2DInv);
    EXPECT_EQ(res2dinv.Phases, (std::vector<double>{-3.0, -4.0}));
    ASSERT_EQ(res2dinv.Warnings.size(), 1u);
    EXPECT_TRUE(res2dinv.Warnings[0].starts_with("2 of 2 phases are above 0")) << res2dinv.Warnings[0];
}

// A phase of 1e308 crashed the phase inversion, −1e9 mrad or −400° were
// imaged, no-value codes (−9999999) were taken as chargeabilities, and
// values far beyond their neighbours' were imaged: such an IP value is
// left out and its line counted, the datum kept.
TEST(MeasuredData, IpValuesNoGroundGivesAreLeftOutNamingTheirLine)
{
    const struct {
        const char* Columns;
        double Normal;
        const char* After;
        const char* Wild;
        bool Outlier; // far beyond its neighbours, else beyond any ground
    } cases[] = {{"phi", -8.0, "", "1e308", false},         {"phi", -8.0, "", "-1e9", false},
                 {"phi", -8.0, "", "inf", false},           {"phi", -8.0, "", "-1000.5", false},
                 {"phi/deg", -0.5, "", "-400", false},      {"ip/mrad", 8.0, "", "1e160", false},
                 {"ip", 60.0, "", "-9999999", false},       {"ip/%", 6.0, "", "100.5", false},
                 {"ip/mrad iperr", 8.0, " 1", "8 1e-9", false}, {"ip iperr", 60.0, " 1", "60 1e-9", false},
                 {"phi", -8.0, "", "-600", true},           {"phi", -8.0, "", "300", true},
                 {"ip", 60.0, "", "900", true},             {"ip", 60.0, "", "-500", true},
                 {"phi", -8.0, "", "-30", false},           {"ip", 60.0, "", "100", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Columns + std::string(" ") + c.Wild);
        const TMeasuredData data = ReadUnifiedMeasuredData(IpFile(c.Columns, c.Normal, c.After, OddDatum, c.Wild));
        const bool wild = (!c.Outlier && std::fabs(std::stod(c.Wild)) > 100.0) || std::string(c.Wild).ends_with("1e-9");
        ASSERT_EQ(data.Size(), 30u);
        EXPECT_EQ(data.Skipped.Total(), 0);
        EXPECT_EQ(data.Skipped.IpLines, wild ? std::vector<int>{OddLine} : std::vector<int>{});
        EXPECT_EQ(data.Skipped.IpOutlierLines, c.Outlier ? std::vector<int>{OddLine} : std::vector<int>{});
        EXPECT_EQ(std::isnan(IpValues(data).at(OddDatum)), wild || c.Outlier);
        EXPECT_EQ(data.Skipped.IpText(), !wild && !c.Outlier ? ""
                                         : wild ? "1 IP value not finite, beyond ±1000 mrad or ±100 % (1000 mV/V) in "
                                                  "size, or with an error below 0.001 mrad or 0.0001 % (line 27)"
                                                : "1 IP value far beyond its neighbours' (line 27)");
    }
    // On a stricter limit (--drop-outliers 3) a value the reading kept.
    const TOutlyingIp outlying = OutlyingIpValues(ReadUnifiedMeasuredData(IpFile("phi", -8.0, "", OddDatum, "-30")), 3.0);
    EXPECT_TRUE(outlying.Chargeabilities.empty());
    EXPECT_EQ(outlying.Count(), 1u);
    // Every reader shares the check: a Syscal export's and a Res2DInv file's no-value codes.
    EXPECT_EQ(ReadMeasuredData("El-array,xA(m),xB(m),xM(m),xN(m),Rho (Ohm.m),Dev.,M (mV/V),SP (mV),VMN (mV),IAB (mA)\n"
                               "Wenner,0,3,1,2,10.0,0.0,12.5,0.1,50.0,100.0\nWenner,1,4,2,3,10.0,0.0,-9999999,0.1,50.0,100.0\n")
                  .Skipped.IpLines,
              (std::vector<int>{3}));
    EXPECT_EQ(ReadMeasuredData("Survey line\n2.5\n3\n2\n0\n1\nChargeability\nmV/V\n0.12,0.92\n0 2.5 1 100 12.5\n"
                               "2.5 2.5 1 100 -9999999\n",
                               TDataFormat::Res2DInv)
                  .Skipped.IpLines,
              (std::vector<int>{11}));
}

TEST(MeasuredData, PhiAndPhaseInOneFileAreRefusedNamingTheColumnLine)
{
    for (const char* columns : {"phi phase", "phi/deg PHASE"})
        EXPECT_EQ(UnifiedRefusal(std::string("3\n# x\n0\n1\n2\n1\n# a b m n rhoa ") + columns + "\n1 0 2 3 100 -1 -1\n"),
                  "Line 7: the datum columns hold phases twice: \"phi\" and \"phase\".");
}
} // namespace
} // namespace lp
