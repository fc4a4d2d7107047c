// The replay driver: runs a fuzz target over files and folders of inputs
// (each file of a folder, in name order) without a fuzzing engine, so the
// normal and the sanitizer builds check every seed and every input that
// once failed. Prints one line per input with its size and time, and a
// closing count; exits non-zero when an argument cannot be read.

#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool ReadFile(const std::filesystem::path& Path, std::vector<uint8_t>& Out)
{
    std::ifstream File(Path, std::ios::binary);
    if (!File)
        return false;
    Out.assign(std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>());
    return !File.bad();
}

} // namespace

int main(int Argc, char** Argv)
{
    std::vector<std::filesystem::path> Inputs;
    for (int I = 1; I < Argc; ++I) {
        const std::filesystem::path Path(Argv[I]);
        std::error_code Error;
        if (std::filesystem::is_directory(Path, Error)) {
            std::vector<std::filesystem::path> Files;
            for (const auto& Entry : std::filesystem::directory_iterator(Path))
                if (Entry.is_regular_file() && Entry.path().filename().string().rfind('.', 0) != 0)
                    Files.push_back(Entry.path()); // hidden files (.gitkeep) are not inputs
            std::sort(Files.begin(), Files.end());
            Inputs.insert(Inputs.end(), Files.begin(), Files.end());
        } else if (std::filesystem::is_regular_file(Path, Error)) {
            Inputs.push_back(Path);
        } else {
            std::fprintf(stderr, "replay: %s is neither a file nor a folder\n", Argv[I]);
            return 2;
        }
    }
    for (const auto& Path : Inputs) {
        std::vector<uint8_t> Data;
        if (!ReadFile(Path, Data)) {
            std::fprintf(stderr, "replay: cannot read %s\n", Path.c_str());
            return 2;
        }
        const auto Start = std::chrono::steady_clock::now();
        LLVMFuzzerTestOneInput(Data.data(), Data.size());
        const auto Took = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
        std::printf("replay: %s (%zu bytes) %.3f s\n", Path.c_str(), Data.size(), Took);
    }
    std::printf("replay: %zu inputs ran\n", Inputs.size());
    return 0;
}
