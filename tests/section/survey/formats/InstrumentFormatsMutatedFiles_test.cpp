// Mutated instrument exports (Syscal text, ABEM protocol, Sting, Lippmann,
// DAS-1, OhmPi, Prime, ARES II, Electra, Syscal binary and .binx; the
// Lippmann, DAS-1 and Electra ones also in the shape of real files): each is
// refused naming one of its lines, or it reads into a sound data set that
// is written and read back the same, compares with a response within what a
// double counts, and whose electrodes stand on a ground or are refused
// naming a line. Seeded as DataFileMutator.h says.

#include "section/survey/formats/AbemOhmFile.h"
#include "section/survey/formats/AresFile.h"
#include "section/survey/formats/Das1File.h"
#include "section/survey/formats/ElectraFile.h"
#include "section/survey/formats/LippmannFile.h"
#include "section/survey/formats/OhmPiFile.h"
#include "section/survey/formats/PrimeFile.h"
#include "section/survey/formats/StingFile.h"
#include "section/survey/formats/SyscalBinaryFile.h"
#include "section/survey/formats/SyscalTextFile.h"

#include "tests/section/survey/DataFileMutator.h"
#include "tests/section/survey/MeasuredDataChecks.h"
#include "tests/section/survey/formats/InstrumentExportWriter.h"
#include "tests/section/survey/formats/SyscalBinaryWriter.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <random>

namespace lp {
namespace {

// Data read from a mutant: sound, written and read back the same, placed
// or refused naming a line, and comparable with a response.
void ExpectSound(const TMeasuredData& Data)
{
    EXPECT_EQ(test::UnsoundMeasuredData(Data), "");
    EXPECT_EQ(test::RoundTripDifference(Data), "");
    EXPECT_EQ(test::PlacementRefusalWithoutLine(Data), "");
    EXPECT_EQ(test::UncountableMisfit(Data), "");
}

// A real export's text (InstrumentExportWriter.h), its rows' lines not kept.
template <typename TExport>
std::string RealExport(std::string (*Write)(const TExport&, std::vector<int>&), const TExport& Export)
{
    std::vector<int> rows;
    return Write(Export, rows);
}

void CheckMutants(const std::vector<std::string>& Sources, TMeasuredData (*Read)(std::string_view))
{
    test::ReadMutants<TMeasuredData>(
        Sources, [&](const std::string& text) { return Read(text); },
        [](const std::string&, const TMeasuredData& data) { ExpectSound(data); });
}

TEST(InstrumentFormatsMutatedFiles, SyscalTextIsReadWholeOrRefusedNamingALine)
{
    CheckMutants({",El-array,Spa.1,Spa.2,Spa.3,Spa.4,Rho ,Dev., M  ,Sp  ,Vp  ,In\r\n"
                  ",Mixed,0.00,1.00,2.00,3.00,52.40,0.2,1.5,4.1,-812.300,97.400\r\n"
                  ",Mixed,2.00,3.00,0.00,1.00,51.90,0.5,1.25,-3.0,-804.900,96.800,,\r\n"
                  ",Pole Dipole,4.00,9999999.00,6.00,7.00,61.12,1.1,2.0,2.2,35.210,120.00\r\n"
                  ",Mixed,0.00,1.00,2.00,3.00,52.40,0.2,0.00,4.1,-,0\r\n",
                  "El-array,xA (m),xB (m),xM (m),xN (m),Rho (Ohm.m),Dev. M,M (mV/V),VMN (mV),IAB (mA),"
                  "yA (m),yB (m),yM (m),yN (m),zA (m),zB (m),zM (m),zN (m)\n"
                  "DD,0,1.2,2.4,3.6,33.10,0.40,6.25,-62.110,50.200,0,1.6,3.2,4.8,10.5,10.4,10.1,9.8\n"
                  "DD,1.2,2.4,3.6,4.8,33.10,0.40,5.5,-60.0,50.0,1.6,3.2,4.8,6.4,10.4,10.1,9.8,9.5\n"},
                 ReadSyscalText);
}

TEST(InstrumentFormatsMutatedFiles, AbemOhmIsReadWholeOrRefusedNamingALine)
{
    CheckMutants({"Line 7\r\n0 { first station }\r\n2020-03-01 09:30:00   ver. 2.12\r\n2\r\n2\r\nWEN 1\r\n"
                  "WEN2.ORG\r\n3 1\r\n10\r\n2020-03-01 09:31:02   ver. 2.12\r\n-3 3 -1 1 4.0E-1 0.3 2 2\r\n"
                  "-1 1 -3 3 1.0E38 0.0 1 1\r\n-3 1.0E38 -1 1 2.0E-1 1.1 2 2\r\nWEN2.UP\r\n1 0\r\n20\r\n"
                  "2020-03-01 09:40:00   ver. 2.12\r\n-3 3 -1 1 120.5 0.3 2 2\r\n"},
                 ReadAbemOhm);
}

TEST(InstrumentFormatsMutatedFiles, StingIsReadWholeOrRefusedNamingALine)
{
    CheckMutants({"SuperSting R8-IP. S/N: SS0000001\nFirmware version: 01.03.41E Records: 3\nUnit: meter\n"
                  "1,USER,20200301,10:02:11, 2.5E+00,4,500,94.2,X0,2,0,15,0,0,15,4,0,14.8,6,0,14.6,Cmd=1\n"
                  "2,USER,20200301,10:02:15,-1.2E-01,0,480,-22.6,X0,4,0,14.8,2,0,15,6,0,14.6,8,0,14.4,Cmd=1\n"
                  "3,USER,20200301,10:02:19, 3.0E-01,4,500,7.5,X0,0,0,15,9.99999E+06,0,0,2,0,15,4,0,14.8\n",
                  "Sting\r\nRecords: 2\r\nUnit: feet\r\n"
                  "1,USER,20200301,10:02:11,1.0,4,500,9.4,X0,0,0,0,10,0,0,20,0,0,30,0,0,IP: 2,100,1.2,1.3,6.3\r\n"
                  "2,USER,20200301,10:02:14,0.5,4,0,9.4,X0,10,0,0,20,0,0,30,0,0,40,0,0\r\n"},
                 ReadSting);
}

TEST(InstrumentFormatsMutatedFiles, LippmannIsReadWholeOrRefusedNamingALine)
{
    CheckMutants({"* Electrode positions ***\r\n* Electrode [  1] x y z (m) =  0,000  0,000  10,000\r\n"
                  "* Electrode [  2] x y z (m) =  1,000  0,000  9,900\r\n* Electrode [  3] x y z (m) =  2,000  0,000  9,800\r\n"
                  "* Electrode [  4] x y z (m) =  3,000  0,000  9,700\r\n* Remote electrode positions ***\r\n"
                  "* Electrode remote B x y z (m) = -20,000  0,000  10,000\r\n"
                  "* num    A    B    M    N        I         U      rho     phi\r\n"
                  "*                               mA        mV     Ohmm    mrad\r\n"
                  "    1    1    2    4    3   5,0000 120,50000  94,600   1,660\r\n"
                  "    2    2    3    4    1        -         -       -       -\r\n"
                  "    3    3    -    4    1   2,0000  10,00000  20,000   0,000\r\n",
                  RealExport(test::LippmannExport, test::TLippmannExport{"real", "\r\n", ',', true, true, true})},
                 ReadLippmann);
}

TEST(InstrumentFormatsMutatedFiles, Das1IsReadWholeOrRefusedNamingALine)
{
    CheckMutants({"#elec_start\r\n002,01 +5.0000 +20.000 +.00000 +.00000 001\r\n"
                  "002,02 +5.0000 +18.000 +.00000 +.00000 002\r\n002,03 +5.0000 +16.000 +.50000 +.00000 003\r\n"
                  "002,04 +5.0000 +14.000 +1.0000 +.00000 004\r\n#elec_end\r\n#data_res_col= 011\r\n#data_start\r\n"
                  "000001 002,01 002,04 002,02 002,03 +102.40 +8.150000 +.0120000\r\n"
                  "000002 002,02 002,04 002,03 002,01\t * * TX Resist. out of range * *\r\n"
                  "000003 002,04 002,01 002,03 002,02 +99.0 -.5 +.01\r\n#data_end\r\n",
                  RealExport(test::Das1Export, test::TDas1Export{"real"})},
                 ReadDas1);
}

TEST(InstrumentFormatsMutatedFiles, OhmPiIsReadWholeOrRefusedNamingALine)
{
    CheckMutants({"time,a,b,m,n,injection_duration_[ms],vmn_[mV],vmn_std_[%],iab_[mA],iab_std_[%],r_[Ohm],r_std_[%]\n"
                  "2024-05-01T10:00:00.0,1,4,2,3,500.0,812.5,0.4,2.1,1.2,386.9,1.3\n"
                  "2024-05-01T10:00:06.0,2,3,1,4,500.0,640.0,0.6,1.9,1.5,336.8,1.7\n"
                  "2024-05-01T10:00:12.0,1,2,5,6,500.0,10.0,0.6,2.0,1.5,-5.0,1.7\n"
                  "2024-05-01T10:00:18.0,1,4,2,3,500.0,0.0,0.0,0.0,0.0,-,0\n",
                  "a,b,m,n,vmn_[mV],iab_[mA]\r\n1,4,2,3,812.5,2.5\r\n2,5,3,4,1,0\r\n"},
                 ReadOhmPi);
}

TEST(InstrumentFormatsMutatedFiles, PrimeIsReadWholeOrRefusedNamingALine)
{
    const std::string head = "# Prime:\tRX Ver.1.00\r\nset_no_of_meas:\t4\r\n#Units\tOhm\tTenths %\t-\t-\t-\t-\r\n"
                             "data:\r\npt_line_number:\tpt_calc_res:\tpt_calc_res_error:\tpt_c1_no:\tpt_c2_no:\t"
                             "pt_p1_no:\tpt_p2_no:\tpt_calc_phase_mag:\r\n1\t0.8123\t4.5\t12\t11\t13\t14\t0.5\r\n"
                             "2\t0.3518\t6.0\t\t\t14\t15\t0.4\r\n**Error: no current\r\n"
                             "4\t/.//\t0\t13\t12\t14\t15\t0\r\n";
    CheckMutants({head, head + "no_of_electrodes:\t5\r\nlabel\tx\ty\tz\r\n11\t0\t0\t10\r\n12\t1\t0\t9.5\r\n"
                              "13\t2\t0\t9\r\n14\t3\t0\t8.5\r\n15\t4\t0\t8\r\n"},
                 ReadPrime);
}

TEST(InstrumentFormatsMutatedFiles, AresIsReadWholeOrRefusedNamingALine)
{
    CheckMutants({"Method: Dip-Dip overlap\r\nX-loc: 10 m\r\nElectrode distance: 2 m\r\nIP windows:\t20\t40 ms\r\n"
                  "Measured data:\r\nC1[el]\tC2[el]\tP1[el]\tP2[el]\tI[mA]\tU[mV]\tIP1[%]\tIP1-dev\tIP2[%]\tIP2-dev\r\n"
                  "1\t0\t2\t3\t250.5\t310.4\t2.1\t3.0\t1.6\t4.1\r\n5*2\t1*2\t8\t9\t0.0\t0.0\t0.0\t0.0\t0.0\t0.0\r\n"
                  "2\t5\t3\t4\ttoo low current\r\n0\t3\t1\t2\t100.0\t50.0\t1.0\t0.1\t-\t0.1\r\n"},
                 ReadAres);
}

TEST(InstrumentFormatsMutatedFiles, ElectraIsReadWholeOrRefusedNamingALine)
{
    CheckMutants({"# Total enabled electrodes\r\n4\r\n# X\tY\tZ\r\n0.0\t0.0\t10.0\r\n2.0\t0.0\t9.8\r\n4.0\t0.0\t9.5\r\n"
                  "6.0\t0.0\t9.4\r\n# Meas.\tA\tB\tM\tN\tI(AB)\tV(AB)\tV(MN)\trhoa\tVMN000\tVMN001\r\n"
                  "# [#]\t[#]\t[#]\t[#]\t[#]\t[mApp]\t[Vpp]\t[mVpp]\t[ohm m]\t[mV]\t[mV]\r\n"
                  "1\t1\t4\t2\t3\t48.1\t40.2\t512.3\t33.45\t12.1\t12.9\r\n2\t2\t4\t3\t1\t-\t-\t-\t-\t-\t-\r\n"
                  "3\t1\t2\t3\t4\t50.0\t40.0\t-25.0\t-9.42\t12.1\t12.9\t13.0\r\n",
                  "#Total electrodes\n3\n#X\tY\tZ\n5\t0\t0\n5\t2\t0\n5\t4\t0\n#Total remote electrode\nNo data\n"
                  "#Meas.\tStatus\tA\tB\tM\tN\tGND\tI(AB)\tV(MN)\n#[#]\t[E/D/N]\t[#]\t[#]\t[#]\t[#]\t[#]\t[mApp]\t[mVpp]\n"
                  "1\tE\t1\t3\t2\t1\t3\t49.0\t270.1\n2\tN\t2\t3\t1\t2\t3\t-\t-\n3\tD\t1\t3\t2\t1\t3\t49.0\t270.1\n"
                  "#[#]\t[e/d]\t[#]\t[#]\t[#]\t[#]\t[#]\t[mApp]\t[mVpp]\n",
                  RealExport(test::ElectraExport, test::TElectraExport{"newer"}),
                  RealExport(test::ElectraExport, test::TElectraExport{"older", false})},
                 ReadElectra);
}

// A binary file's refusal: plain, and one naming a record names it from 1
// and a byte from Lowest to Highest.
void ExpectPlainRecordRefusal(const std::string& Message, long Lowest, long Highest)
{
    EXPECT_TRUE(test::PlainRefusal(Message)) << Message;
    if (!Message.starts_with("Record "))
        return;
    const size_t byte = Message.find(" at byte ");
    ASSERT_NE(byte, std::string::npos) << Message;
    EXPECT_GE(std::atoi(Message.c_str() + 7), 1) << Message;
    const long at = std::atol(Message.c_str() + byte + 9);
    EXPECT_GE(at, Lowest) << Message;
    EXPECT_LE(at, Highest) << Message;
}

// The binary file's mutants: a value or coordinate field set to nan, 1e38,
// infinity or a random number, a length flag or coordinate type changed, a
// byte changed, bytes inserted, a record doubled, the file cut short. Each
// is refused naming a record (and its byte, where the record starts) or the
// header, or read as sound data.
TEST(InstrumentFormatsMutatedFiles, SyscalBinaryIsReadWholeOrRefusedNamingARecord)
{
    std::vector<test::TSyscalBinaryRecord> records = {
        test::SyscalBinaryDatum({0, 3, 1, 2}, 122.5f, 40.0f, 12.5f), test::SyscalBinaryDatum({1, 2, 0, 3}, 30.25f, 10.0f),
        test::SyscalBinaryDatum({4, 9999999, 6, 7}, 35.25f, 120.0f, 2.0f),
        test::SyscalBinaryDatum({2, 5, 3, 4}, 12.0f, 8.0f, 3.0f)};
    records[1].More = 2;
    records[2].More = 0;
    records[3].Z = {1.0f, 1.5f, 1.25f, 1.375f};
    const std::string source = test::SyscalBinaryFile(records);
    ASSERT_NO_THROW(ReadSyscalBinary(source));
    const std::vector<size_t> starts = {1029, 1029 + 304, 1029 + 304 + 296, 1029 + 304 + 296 + 280};
    const int rounds = test::EnvironmentNumber("LP_MUTATION_ROUNDS", 400);
    std::mt19937 random(static_cast<unsigned>(test::EnvironmentNumber("LP_MUTATION_SEED", 20261209)));
    const auto pick = [&](size_t count) { return std::uniform_int_distribution<size_t>(0, count - 1)(random); };
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(), 1e38f, -1e38f, std::numeric_limits<float>::infinity(),
                         0.0f, -1.0f, 9999999.0f, 3e30f, 1e-30f, 2.5f};
    int accepted = 0, refused = 0;
    for (int round = 0; round < rounds; ++round) {
        std::string mutant = source;
        const size_t record = starts[pick(starts.size())];
        switch (round % 7) {
        case 0: // a coordinate, a value or a window field
        case 1: {
            const auto bits = std::bit_cast<uint32_t>(odd[pick(std::size(odd))]);
            const size_t at = record + 16 + 4 * pick(58);
            for (size_t b = 0; b < 4; ++b)
                mutant[at + b] = static_cast<char>(bits >> (8 * b));
            break;
        }
        case 2: // the length flag or the coordinate type
            mutant[record + (pick(2) == 0 ? 2 : 12)] = static_cast<char>(pick(5));
            break;
        case 3: mutant[pick(mutant.size())] = static_cast<char>(pick(256)); break;
        case 4: mutant.insert(pick(mutant.size() + 1), std::string(1 + pick(8), '\x7f')); break;
        case 5: mutant.insert(record, mutant.substr(record, 280 + pick(40))); break;
        default: mutant.resize(pick(mutant.size() + 1)); break;
        }
        SCOPED_TRACE("mutation " + std::to_string(round % 7) + " of round " + std::to_string(round));
        TMeasuredData data;
        try {
            data = ReadSyscalBinary(mutant);
        } catch (const EDataFileError& error) {
            ++refused;
            ExpectPlainRecordRefusal(error.Message(), 1029, static_cast<long>(mutant.size()) - 1);
            continue;
        }
        ++accepted;
        ExpectSound(data);
    }
    EXPECT_GT(accepted, rounds / 4);
    EXPECT_GT(refused, rounds / 10);
}

// The .binx file's mutants: a value or coordinate set to nan, 1e38 or
// another number, a string's length or the record count changed, a byte
// changed, bytes inserted, the file cut short: refused naming a record
// and its byte, or the header, or read as sound data.
TEST(InstrumentFormatsMutatedFiles, SyscalBinxIsReadWholeOrRefusedNamingARecord)
{
    std::vector<test::TSyscalBinaryRecord> records = {test::SyscalBinaryDatum({0, 3, 1, 2}, 122.5f, 40.0f, 12.5f),
                                                      test::SyscalBinaryDatum({4, 9999999, 6, 7}, 35.25f, 120.0f),
                                                      test::SyscalBinaryDatum({2, 5, 3, 4}, 12.0f, 8.0f, 3.0f)};
    records[2].Z = {1.0f, 1.5f, 1.25f, 1.375f};
    const std::string source = test::SyscalBinxFile(records);
    ASSERT_NO_THROW(ReadSyscalBinx(source));
    // Record r's fields: Vp, In and M at 36, 44, 52; x y z of A at 3491 + 159 + 75; its strings' lengths.
    const size_t header = 54, length = 4619;
    const size_t fields[] = {36, 44, 52, 3491 + 234, 3491 + 234 + 8, 3491 + 234 + 16, 3491 + 234 + 51, 3480, 3491 + 153};
    const int rounds = test::EnvironmentNumber("LP_MUTATION_ROUNDS", 400);
    std::mt19937 random(static_cast<unsigned>(test::EnvironmentNumber("LP_MUTATION_SEED", 20261209)));
    const auto pick = [&](size_t count) { return std::uniform_int_distribution<size_t>(0, count - 1)(random); };
    const double odd[] = {std::numeric_limits<double>::quiet_NaN(), 1e38, -9999999.0, 1e300, 0.0, -1.0, 2.5, 40.0};
    int accepted = 0, refused = 0;
    for (int round = 0; round < rounds; ++round) {
        std::string mutant = source;
        const size_t record = header + length * pick(records.size());
        const size_t field = record + fields[pick(std::size(fields))];
        switch (round % 6) {
        case 0:
        case 1: {
            const auto bits = std::bit_cast<uint64_t>(odd[pick(std::size(odd))]);
            for (size_t b = 0; b < 8; ++b)
                mutant[field + b] = static_cast<char>(bits >> (8 * b));
            break;
        }
        case 2: mutant[pick(2) == 0 ? field : 50] = static_cast<char>(pick(256)); break; // a length, the count
        case 3: mutant[pick(mutant.size())] = static_cast<char>(pick(256)); break;
        case 4: mutant.insert(pick(mutant.size() + 1), std::string(1 + pick(8), '\x7f')); break;
        default: mutant.resize(pick(mutant.size() + 1)); break;
        }
        SCOPED_TRACE("mutation " + std::to_string(round % 6) + " of round " + std::to_string(round));
        TMeasuredData data;
        try {
            data = ReadSyscalBinx(mutant);
        } catch (const EDataFileError& error) {
            ++refused;
            ExpectPlainRecordRefusal(error.Message(), static_cast<long>(header) - 8, static_cast<long>(mutant.size()));
            continue;
        }
        ++accepted;
        ExpectSound(data);
    }
    EXPECT_GT(accepted, rounds / 4);
    EXPECT_GT(refused, rounds / 10);
}

} // namespace
} // namespace lp
