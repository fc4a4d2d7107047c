// The formats measured data are read in: each told from its content
// whatever its extension, named on the command line, listed with its
// extensions; a file in none refused naming the formats read.

#include "section/survey/formats/DataFormats.h"

#include "section/survey/DataFile.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

const char* SyscalFile = "El-array,Spa.1,Spa.2,Spa.3,Spa.4,Rho,Dev.,M,Sp,Vp,In\nW,0,3,1,2,10,0,0,0,50,100\n";
const char* OhmPiFile = "time,a,b,m,n,injection_duration_[ms],vmn_[mV],vmn_std_[%],iab_[mA],iab_std_[%],r_[Ohm]\n"
                    "2024-05-01T10:00:00.0,1,4,2,3,500.0,812.5,0.4,2.1,1.2,386.9\n";
// A comma-separated file of no format read (a spreadsheet's columns).
const char* SpreadsheetFile = "x,y,value\n0,0,386.9\n1,0,336.8\n";
const char* PrimeFile = "# Prime:\tRX Ver.1.00\nset_no_of_meas:\t1\n#Units\tOhm\tTenths %\t-\t-\t-\t-\n"
                        "data:\npt_line_number:\tpt_calc_res:\tpt_calc_res_error:\tpt_c1_no:\tpt_c2_no:\tpt_p1_no:\t"
                        "pt_p2_no:\n1\t0.8123\t4.5\t1\t4\t2\t3\n";
const char* UnifiedFile = "4\n# x z\n0 0\n1 0\n2 0\n3 0\n1\n# a b m n rhoa\n1 4 2 3 100\n";
const char* AbemFile = "\n0\n2020-03-01 09:30:00   ver. 2.12\n1\n1\nWEN 1\nWEN.ORG\n1 1\n10\ndate\n-3 3 -1 1 0.4 0.3 2 2\n";
const char* LippmannFile = "* Electrode positions ***\n* Electrode [  1] x y z (m) = 0,0 0,0 0,0\n"
                          "* Electrode [  2] x y z (m) = 1,0 0,0 0,0\n* Electrode [  3] x y z (m) = 2,0 0,0 0,0\n"
                          "* Electrode [  4] x y z (m) = 3,0 0,0 0,0\n* num A B M N I U rho\n* - - - - mA mV Ohmm\n"
                          "1 1 4 2 3 5,0 12,5 20,0\n";
const char* Das1File = "#elec_start\n001,01 +0 +0 +0 +0\n001,02 +1 +0 +0 +0\n001,03 +2 +0 +0 +0\n001,04 +3 +0 +0 +0\n"
                       "#elec_end\n#data_res_col= 011\n#data_start\n1 001,01 001,04 001,02 001,03 +10 +2.5\n#data_end\n";
const char* StingFile = "SuperSting R8-IP. S/N: SS0000001\nFirmware version: 01.03.41E Records: 1\nUnit: meter\n"
                    "1,USER,20200301,10:02:11,2.5,4,500,94.2,X0,2,0,15,0,0,15,4,0,14.8,6,0,14.6,Cmd=1\n";

std::string FormatRefusal(const std::string& Text, std::string_view Extension = {})
{
    try {
        ReadMeasuredData(Text, std::nullopt, Extension);
    } catch (const EDataFileError& error) {
        return error.Message();
    }
    return "read";
}

TEST(DataFormats, TellsEachFormatFromItsContent)
{
    EXPECT_EQ(RecogniseDataFormat(SyscalFile), TDataFormat::SyscalText);
    EXPECT_EQ(RecogniseDataFormat(std::string(",El-array,Spa.1,Spa.2,Spa.3,Spa.4,Vp,In\n")), TDataFormat::SyscalText);
    EXPECT_EQ(RecogniseDataFormat(UnifiedFile), TDataFormat::Unified);
    EXPECT_EQ(RecogniseDataFormat(AbemFile), TDataFormat::AbemOhm);
    EXPECT_EQ(RecogniseDataFormat(StingFile), TDataFormat::Sting);
    EXPECT_EQ(RecogniseDataFormat(LippmannFile), TDataFormat::Lippmann);
    EXPECT_EQ(RecogniseDataFormat(Das1File), TDataFormat::Das1);
    EXPECT_EQ(RecogniseDataFormat(OhmPiFile), TDataFormat::OhmPi);
    EXPECT_EQ(RecogniseDataFormat(PrimeFile), TDataFormat::Prime);
    EXPECT_EQ(ReadMeasuredData(LippmannFile, std::nullopt, "dat").Size(), 1u);
    EXPECT_EQ(ReadMeasuredData(Das1File, std::nullopt, "dat").Size(), 1u);
    EXPECT_EQ(RecogniseDataFormat("Title\n1\n2\n1\n0\n0\n0 1 100\n"), TDataFormat::Res2DInv);
    // Three kinds of .csv told apart: Syscal's, OhmPi's and the unified
    // format's (first line a count).
    EXPECT_EQ(ReadMeasuredData(SyscalFile, std::nullopt, "csv").Format, TDataFormat::SyscalText);
    EXPECT_EQ(ReadMeasuredData(OhmPiFile, std::nullopt, "csv").Format, TDataFormat::OhmPi);
    EXPECT_EQ(ReadMeasuredData(OhmPiFile, std::nullopt, "csv").Size(), 1u);
    EXPECT_EQ(RecogniseDataFormat("4\n# x,z\n0,0\n1,0\n2,0\n3,0\n1\n# a,b,m,n,r\n1,4,2,3,386.9\n"),
              TDataFormat::Unified);
    EXPECT_EQ(RecogniseDataFormat("El-array,Spa.1,Spa.2,Spa.3,Spa.4,a,b,m,n,r_[Ohm]\n"), TDataFormat::SyscalText);
    // Prime's "# Prime:" first line is not the unified format's comment, in
    // a .dat or a .tab.
    EXPECT_EQ(ReadMeasuredData(PrimeFile, std::nullopt, "dat").Format, TDataFormat::Prime);
    EXPECT_EQ(ReadMeasuredData(PrimeFile, std::nullopt, "tab").Size(), 1u);
    EXPECT_EQ(RecogniseDataFormat("# Primary survey\n4\n0 0\n1 0\n2 0\n3 0\n0\n"), TDataFormat::Unified);
    // Read alike whatever the extension says.
    EXPECT_EQ(ReadMeasuredData(SyscalFile, std::nullopt, "dat").Format, TDataFormat::SyscalText);
    EXPECT_EQ(ReadMeasuredData(UnifiedFile, std::nullopt, "csv").Format, TDataFormat::Unified);
    EXPECT_EQ(ReadMeasuredData(AbemFile, std::nullopt, "txt").Size(), 1u);
    EXPECT_EQ(ReadMeasuredData(StingFile).Size(), 1u);
    // The format named reads the file as that format.
    EXPECT_EQ(ReadMeasuredData(SyscalFile, TDataFormat::SyscalText).Size(), 1u);
}

// A comma-separated file of no format read is refused naming the formats
// read; its .csv extension adds the refusal of the first reader of .csv
// files (Syscal's).
TEST(DataFormats, RefusesAFileInNoFormatNamingTheFormatsRead)
{
    const std::string refusal = FormatRefusal(SpreadsheetFile);
    EXPECT_TRUE(refusal.starts_with("The file is in no format this program reads")) << refusal;
    for (const char* format : {"unified data format", "Res2DInv format", "Syscal Pro text export",
                               "Syscal Pro binary file", "Syscal Pro .binx file", "ABEM Lund protocol export",
                               "Sting export", "Lippmann export", "DAS-1 export",
                               "OhmPi export", "Prime export", "ARES II export", "Electra export"})
        EXPECT_NE(refusal.find(format), std::string::npos) << format;
    const std::string hinted = FormatRefusal(SpreadsheetFile, "CSV");
    EXPECT_NE(hinted.find("Read as Syscal Pro text export (its extension): Line 1: the Syscal header names El-array"),
              std::string::npos)
        << hinted;
}

// An R2 protocol file (a count, then rows "index a b m n R") was taken for
// the unified data format by its count line and refused at its second
// line ("electrode 1 has 6 values where 1 to 3 are read"), as if it were a
// faulty file of that format. It is in no format read, and is refused so,
// naming the formats read; a unified file's count and electrode rows stay
// unified.
TEST(DataFormats, RefusesAProtocolFileAsInNoFormatRead)
{
    for (const char* lineEnd : {"\n", "\r\n"}) {
        const std::string protocol = std::string("3") + lineEnd + "1 1 2 3 4 0.8123" + lineEnd + "2 2 3 4 5 0.3518" +
                                     lineEnd + "3 3 4 5 6 -0.25" + lineEnd;
        EXPECT_EQ(RecogniseDataFormat(protocol), TDataFormat::Res2DInv);
        for (const char* extension : {"", "dat", "txt"}) {
            SCOPED_TRACE(extension);
            const std::string refusal = FormatRefusal(protocol, extension);
            EXPECT_TRUE(refusal.starts_with("The file is in no format this program reads: measured data are read in "
                                            "the unified data format"))
                << refusal;
            EXPECT_NE(refusal.find(MeasuredFormatList()), std::string::npos) << refusal;
            EXPECT_EQ(refusal.find("1 to 3 are read"), std::string::npos) << refusal;
        }
    }
    EXPECT_EQ(RecogniseDataFormat("2\n0 0 0\n1 0 0 # x y z\n1\n# a b m n rhoa\n1 0 2 0 100\n"), TDataFormat::Unified);
    EXPECT_EQ(RecogniseDataFormat("2\n0,0\n1,0\n"), TDataFormat::Unified);
    EXPECT_EQ(RecogniseDataFormat("0\n0\n"), TDataFormat::Unified);
    EXPECT_EQ(RecogniseDataFormat("4 # electrodes\n\n# x z\n0 0\n"), TDataFormat::Unified);
}

TEST(DataFormats, NamesAndListsEveryFormat)
{
    EXPECT_EQ(MeasuredFormatNames("|"), "unified|res2dinv|syscal|syscal-bin|syscal-binx|abem|sting|lippmann|das1|ohmpi|prime|ares|electra");
    EXPECT_EQ(MeasuredFormatNameChoice(), "unified, res2dinv, syscal, syscal-bin, syscal-binx, abem, sting, "
                                          "lippmann, das1, ohmpi, prime, ares or electra");
    for (const TMeasuredFormat& format : MeasuredFormats()) {
        EXPECT_EQ(DataFormatFromName(format.Name), format.Format);
        EXPECT_EQ(DataFormatName(format.Format), format.Name);
    }
    EXPECT_FALSE(DataFormatFromName("csv"));
    EXPECT_EQ(MeasuredFormatFilter(),
              "Measured data (*.dat;*.ohm;*.data;*.txt;*.csv;*.bin;*.binx;*.stg;*.tx0;*.tab;*.2dm;*.ele)|"
              "*.dat;*.ohm;*.data;*.txt;*.csv;*.bin;*.binx;*.stg;*.tx0;*.tab;*.2dm;*.ele|"
              "Unified data format (*.dat;*.ohm;*.data)|*.dat;*.ohm;*.data|Res2DInv format (*.dat;*.txt)|*.dat;*.txt|"
              "Syscal Pro text export (*.csv)|*.csv|Syscal Pro binary file (*.bin)|*.bin|"
              "Syscal Pro .binx file (*.binx)|*.binx|ABEM Lund protocol export (*.ohm)|*.ohm|Sting export (*.stg)|*.stg|"
              "Lippmann export (*.tx0)|*.tx0|DAS-1 export (*.data)|*.data|OhmPi export (*.csv)|*.csv|"
              "Prime export (*.tab;*.dat)|*.tab;*.dat|ARES II export (*.2dm)|*.2dm|Electra export (*.ele)|*.ele|"
              "All files (*)|*");
    EXPECT_EQ(InstrumentFormatOfExtension("STG")->Format, TDataFormat::Sting);
    EXPECT_EQ(InstrumentFormatOfExtension("csv")->Format, TDataFormat::SyscalText);
    EXPECT_EQ(InstrumentFormatOfExtension("dat")->Format, TDataFormat::Prime);
    EXPECT_EQ(InstrumentFormatOfExtension("txt"), nullptr);
}

// The ARES II export told from its content (the line "Measured data:" and
// the electrode columns after it), whatever its extension, and listed
// among the formats read.
TEST(DataFormats, TellsTheAresExportFromItsContent)
{
    const std::string ares = "Method: Wenner\r\nX-loc: 0 m\r\nElectrode distance: 1 m\r\nMeasured data:\r\n"
                             "C1[el]\tC2[el]\tP1[el]\tP2[el]\tI[mA]\tU[mV]\r\n0\t3\t1\t2\t10\t5\r\n";
    EXPECT_EQ(RecogniseDataFormat(ares), TDataFormat::Ares);
    EXPECT_EQ(ReadMeasuredData(ares, std::nullopt, "txt").Size(), 1u);
    EXPECT_EQ(ReadMeasuredData(ares, TDataFormat::Ares).Size(), 1u);
    for (const char* other : {SyscalFile, UnifiedFile, AbemFile, LippmannFile, Das1File, StingFile, OhmPiFile, PrimeFile})
        EXPECT_NE(RecogniseDataFormat(other), TDataFormat::Ares) << other;
    // "Measured data:" followed by other columns is no ARES export.
    EXPECT_NE(RecogniseDataFormat("Measured data:\nA\tB\tM\tN\n"), TDataFormat::Ares);
    EXPECT_EQ(InstrumentFormatOfExtension("2DM")->Format, TDataFormat::Ares);
    EXPECT_NE(FormatRefusal(SpreadsheetFile).find("ARES II export"), std::string::npos);
}

// Guards against an Electra export that opens with a "#" label being
// mistaken for the unified data format (and refused at its second line),
// while a unified file opening with a like comment stays unified.
TEST(DataFormats, TellsTheElectraExportFromTheUnifiedFormat)
{
    const std::string older = "# Total enabled electrodes\r\n4\r\n# X\tY\tZ\r\n0.0\t0.0\t0.0\r\n1.0\t0.0\t0.0\r\n"
                              "2.0\t0.0\t0.0\r\n3.0\t0.0\t0.0\r\n"
                              "# Meas.\tA\tB\tM\tN\tI(AB)\tV(AB)\tV(MN)\tK/(2pi)\trhoa\tZ(AB)\tStartOn\tVMN000\tVMN001\r\n"
                              "# [#]\t[#]\t[#]\t[#]\t[#]\t[mApp]\t[Vpp]\t[mVpp]\t-\t[ohm m]\t[ohm]\t[byte]\t[mV]\t[mV]\r\n"
                              "1\t1\t4\t2\t3\t48.10\t40.20\t512.3\t0.500\t33.45\t836.0\t1024\t12.1\t12.9\r\n";
    const std::string newer = "#Total electrodes\n4\n#X\tY\tZ\n0\t0\t0\n1\t0\t0\n2\t0\t0\n3\t0\t0\n"
                              "#Total remote electrode\nNo data\n#Meas.\tStatus\tA\tB\tM\tN\tGND\tI(AB)\tV(AB)\tV(MN)\n"
                              "#[#]\t[E/D/N]\t[#]\t[#]\t[#]\t[#]\t[#]\t[mApp]\t[Vpp]\t[mVpp]\n1\tE\t1\t4\t2\t3\t3\t49\t81\t270\n";
    for (const std::string& electra : {older, newer}) {
        EXPECT_EQ(RecogniseDataFormat(electra), TDataFormat::Electra);
        const TMeasuredData data = ReadMeasuredData(electra, std::nullopt, "ele");
        EXPECT_EQ(data.Format, TDataFormat::Electra);
        EXPECT_EQ(data.Size(), 1u);
    }
    const std::string unified = "# Total electrodes\n4\n# X Y Z\n0 0 0\n1 0 0\n2 0 0\n3 0 0\n1\n# a b m n rhoa\n"
                                "1 4 2 3 100\n";
    EXPECT_EQ(RecogniseDataFormat(unified), TDataFormat::Unified);
    EXPECT_EQ(ReadMeasuredData(unified).Size(), 1u);
    for (const char* other : {SyscalFile, UnifiedFile, AbemFile, LippmannFile, Das1File, StingFile, OhmPiFile, PrimeFile})
        EXPECT_NE(RecogniseDataFormat(other), TDataFormat::Electra) << other;
    EXPECT_EQ(InstrumentFormatOfExtension("ele")->Format, TDataFormat::Electra);
    EXPECT_NE(FormatRefusal(SpreadsheetFile).find("Electra export"), std::string::npos);
}

} // namespace
} // namespace lp
