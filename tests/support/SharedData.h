#pragma once
// The field files shared by the projects (../shared/data beside the
// repository, LP_SHARED_DATA_DIR): tests that read them skip, saying so,
// where the folder is not there.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace lp::testing {

inline std::string SharedDataFile(const std::string& Relative)
{
    return std::string(LP_SHARED_DATA_DIR) + "/" + Relative;
}

// The file's bytes; empty when it cannot be read.
inline std::string SharedDataText(const std::string& Relative)
{
    std::ifstream file(SharedDataFile(Relative), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace lp::testing

// Skips the test when the shared file is not there.
#define LP_REQUIRE_SHARED_DATA(Relative)                                                                               \
    if (!std::filesystem::exists(::lp::testing::SharedDataFile(Relative)))                                             \
    GTEST_SKIP() << "no shared data file " << ::lp::testing::SharedDataFile(Relative)
