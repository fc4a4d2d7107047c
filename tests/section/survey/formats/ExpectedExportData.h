#pragma once
// What a test expects a reader to give of an export: the electrodes' x
// and z, the data's configurations, resistances and lines, and the lines
// of the rows skipped; compared datum by datum.

#include "section/survey/MeasuredData.h"

#include <gtest/gtest.h>

#include <vector>

namespace lp::test {

struct TExpectedExportData {
    std::vector<double> X, Z; // each electrode's
    std::vector<TConfiguration> Configurations;
    std::vector<double> Resistances;
    std::vector<int> Lines, Skipped;
};

inline void ExpectExportData(const TMeasuredData& Data, const TExpectedExportData& Expected)
{
    ASSERT_EQ(Data.Electrodes.size(), Expected.X.size());
    for (size_t e = 0; e < Expected.X.size(); ++e) {
        EXPECT_DOUBLE_EQ(Data.Electrodes[e].x, Expected.X[e]) << "electrode " << e;
        EXPECT_DOUBLE_EQ(Data.Electrodes[e].z, Expected.Z[e]) << "electrode " << e;
    }
    EXPECT_EQ(Data.Configurations, Expected.Configurations);
    ASSERT_EQ(Data.Resistances.size(), Expected.Resistances.size());
    for (size_t d = 0; d < Expected.Resistances.size(); ++d)
        EXPECT_DOUBLE_EQ(Data.Resistances[d], Expected.Resistances[d]) << "datum " << d;
    EXPECT_EQ(Data.Lines, Expected.Lines);
    EXPECT_EQ(Data.Skipped.UnmeasuredLines, Expected.Skipped);
}

} // namespace lp::test
