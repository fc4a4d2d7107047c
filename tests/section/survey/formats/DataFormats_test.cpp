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
    EXPECT_EQ(ReadMeasuredData(LippmannFile, std::nullopt, "dat").Size(), 1u);
    EXPECT_EQ(ReadMeasuredData(Das1File, std::nullopt, "dat").Size(), 1u);
    EXPECT_EQ(RecogniseDataFormat("Title\n1\n2\n1\n0\n0\n0 1 100\n"), TDataFormat::Res2DInv);
    // Read alike whatever the extension says.
    EXPECT_EQ(ReadMeasuredData(SyscalFile, std::nullopt, "dat").Format, TDataFormat::SyscalText);
    EXPECT_EQ(ReadMeasuredData(UnifiedFile, std::nullopt, "csv").Format, TDataFormat::Unified);
    EXPECT_EQ(ReadMeasuredData(AbemFile, std::nullopt, "txt").Size(), 1u);
    EXPECT_EQ(ReadMeasuredData(StingFile).Size(), 1u);
    // The format named reads the file as that format.
    EXPECT_EQ(ReadMeasuredData(SyscalFile, TDataFormat::SyscalText).Size(), 1u);
}

// A comma-separated export of a format not read (an OhmPi file) is refused
// naming the formats read; its .csv extension adds the Syscal reader's
// refusal.
TEST(DataFormats, RefusesAFileInNoFormatNamingTheFormatsRead)
{
    const std::string refusal = FormatRefusal(OhmPiFile);
    EXPECT_TRUE(refusal.starts_with("The file is in no format this program reads")) << refusal;
    for (const char* format : {"unified data format", "Res2DInv format", "Syscal Pro text export",
                               "Syscal Pro binary file", "Syscal Pro .binx file", "ABEM Lund protocol export",
                               "Sting export", "Lippmann export", "DAS-1 export"})
        EXPECT_NE(refusal.find(format), std::string::npos) << format;
    const std::string hinted = FormatRefusal(OhmPiFile, "CSV");
    EXPECT_NE(hinted.find("Read as Syscal Pro text export (its extension): Line 1: the Syscal header names El-array"),
              std::string::npos)
        << hinted;
}

TEST(DataFormats, NamesAndListsEveryFormat)
{
    EXPECT_EQ(MeasuredFormatNames("|"), "unified|res2dinv|syscal|syscal-bin|syscal-binx|abem|sting|lippmann|das1");
    EXPECT_EQ(MeasuredFormatNameChoice(),
              "unified, res2dinv, syscal, syscal-bin, syscal-binx, abem, sting, lippmann or das1");
    for (const TMeasuredFormat& format : MeasuredFormats()) {
        EXPECT_EQ(DataFormatFromName(format.Name), format.Format);
        EXPECT_EQ(DataFormatName(format.Format), format.Name);
    }
    EXPECT_FALSE(DataFormatFromName("csv"));
    EXPECT_EQ(MeasuredFormatFilter(),
              "Measured data (*.dat;*.ohm;*.data;*.txt;*.csv;*.bin;*.binx;*.stg;*.tx0)|*.dat;*.ohm;*.data;*.txt;*.csv;"
              "*.bin;*.binx;*.stg;*.tx0|"
              "Unified data format (*.dat;*.ohm;*.data)|*.dat;*.ohm;*.data|Res2DInv format (*.dat;*.txt)|*.dat;*.txt|"
              "Syscal Pro text export (*.csv)|*.csv|Syscal Pro binary file (*.bin)|*.bin|"
              "Syscal Pro .binx file (*.binx)|*.binx|ABEM Lund protocol export (*.ohm)|*.ohm|Sting export (*.stg)|*.stg|"
              "Lippmann export (*.tx0)|*.tx0|DAS-1 export (*.data)|*.data|All files (*)|*");
    EXPECT_EQ(InstrumentFormatOfExtension("STG")->Format, TDataFormat::Sting);
    EXPECT_EQ(InstrumentFormatOfExtension("dat"), nullptr);
}

} // namespace
} // namespace lp
