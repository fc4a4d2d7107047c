// Reading a large instrument export as the program reads a measured data
// file (the file's bytes read, the format told from them, the data made):
// 100,000 data of a dipole-dipole line of 96 electrodes with a relief and
// IP, as a Syscal Pro text export (variant d, windows M1 .. M20 included:
// 56 columns) and as a Syscal Pro binary file (304-byte records). The text
// must read within a second; the binary faster. The files are written in
// the setup into the temporary folder.

#include "section/survey/MeasuredData.h"
#include "tests/section/survey/formats/SyscalBinaryWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace lp;

constexpr int Data = 100000;
constexpr int Electrodes = 96;

// The n-th datum's electrodes (dipole-dipole, a 1 .. 4, n 1 .. 8), its
// values and its elevation at x.
struct TDatum {
    float A, B, M, N, Vp, In, Charge;
};

TDatum Datum(int Index)
{
    const int a = 1 + Index % 4, n = 1 + (Index / 4) % 8;
    const int span = a * (n + 2);
    const int first = (Index / 32) % (Electrodes - span);
    const float b = static_cast<float>(first), x = b + static_cast<float>(a);
    const float m = x + static_cast<float>(a * n);
    return {x, b, m, m + static_cast<float>(a), -12.5f - 0.001f * static_cast<float>(Index % 997),
            50.0f + 0.01f * static_cast<float>(Index % 13), 5.0f + 0.001f * static_cast<float>(Index % 101)};
}

float Elevation(float X)
{
    return 100.0f + 0.25f * X;
}

std::string TextExport()
{
    std::string text = "El-array,xA (m),xB (m),xM (m),xN (m),Rho (Ohm.m),Dev. M,Dev. Rho (%),M (mV/V),SP (mV),VMN (mV),"
                       "IAB (mA),yA (m),yB (m),yM (m),yN (m),zA (m),zB (m),zM (m),zN (m),Global xA (m),Global xB (m),"
                       "Global xM (m),Global xN (m),Metal factor,Time (ms),Coef. k (m),Mdly";
    for (int w = 1; w <= 20; ++w)
        text += ",M" + std::to_string(w);
    text += ",TM1,TM2,TM3,TM4,TM5,TM6,TM7,TM8\r\n";
    char row[1024];
    for (int i = 0; i < Data; ++i) {
        const TDatum d = Datum(i);
        int used = std::snprintf(row, sizeof row,
                                 "Dipole-dipole,%.2f,%.2f,%.2f,%.2f,%.3f,0.40,0.02,%.3f,1.5,%.3f,%.3f,0.00,0.00,0.00,"
                                 "0.00,%.3f,%.3f,%.3f,%.3f,%.2f,%.2f,%.2f,%.2f,0.12,500,-75.40,20",
                                 d.A, d.B, d.M, d.N, 33.1, d.Charge, d.Vp, d.In, Elevation(d.A), Elevation(d.B),
                                 Elevation(d.M), Elevation(d.N), d.A + 500, d.B + 500, d.M + 500, d.N + 500);
        for (int w = 0; w < 20; ++w)
            used += std::snprintf(row + used, sizeof row - static_cast<size_t>(used), ",%.3f", d.Charge * 0.9);
        used += std::snprintf(row + used, sizeof row - static_cast<size_t>(used), ",20,20,40,40,80,80,120,120\r\n");
        text.append(row, static_cast<size_t>(used));
    }
    return text;
}

std::string BinaryFile()
{
    std::string bytes = test::SyscalBinaryHeader();
    bytes.reserve(bytes.size() + 304u * Data);
    for (int i = 0; i < Data; ++i) {
        const TDatum d = Datum(i);
        test::TSyscalBinaryRecord record = test::SyscalBinaryDatum({d.A, d.B, d.M, d.N}, d.Vp, d.In, d.Charge);
        record.Z = {Elevation(d.A), Elevation(d.B), Elevation(d.M), Elevation(d.N)};
        record.WindowChargeabilities.fill(d.Charge * 0.9f);
        bytes += test::SyscalBinaryRecord(record);
    }
    return bytes;
}

std::filesystem::path Written(const char* Name, const std::string& Bytes)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / Name;
    std::ofstream(path, std::ios::binary) << Bytes;
    return path;
}

void ReadFile(benchmark::State& State, const std::filesystem::path& Path, TDataFormat Expected)
{
    for (auto _ : State) {
        std::string bytes(std::filesystem::file_size(Path), '\0');
        std::ifstream(Path, std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        const TMeasuredData data = ReadMeasuredData(bytes, std::nullopt, Path.extension().string().substr(1));
        if (data.Format != Expected || data.Size() != static_cast<size_t>(Data))
            State.SkipWithError("the file did not read whole");
        benchmark::DoNotOptimize(data.Resistivities.data());
    }
    State.counters["data"] = Data;
    State.counters["MB"] = static_cast<double>(std::filesystem::file_size(Path)) / 1e6;
    std::filesystem::remove(Path);
}

void BM_SyscalTextExport(benchmark::State& State)
{
    ReadFile(State, Written("lithoprism_bench_syscal.csv", TextExport()), TDataFormat::SyscalText);
}
BENCHMARK(BM_SyscalTextExport)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SyscalBinaryFile(benchmark::State& State)
{
    ReadFile(State, Written("lithoprism_bench_syscal.bin", BinaryFile()), TDataFormat::SyscalBinary);
}
BENCHMARK(BM_SyscalBinaryFile)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
