// The user's removals from a measured file: steps and their undo, the data
// with ρa ≤ 0 never kept, the filters' counts, the reciprocal error model on
// the kept data, and the removed set's text for the settings.

#include "section/survey/DataRemovals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace lp {
namespace {

// A dipole-dipole line of Count electrodes 1 m apart, n ≤ 4, a smooth ρa.
std::shared_ptr<TMeasuredData> Line(int Count)
{
    auto data = std::make_shared<TMeasuredData>();
    for (int e = 0; e < Count; ++e)
        data->Electrodes.push_back({static_cast<double>(e), 0.0});
    data->Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, Count, 4);
    const TSurvey survey = data->Survey();
    for (const TConfiguration& c : data->Configurations) {
        data->Resistivities.push_back(50.0 + 0.5 * (c.a + c.m) + 2.0 * (c.m - c.b));
        data->GeometricFactors.push_back(FlatGeometricFactor(survey, c));
        data->Lines.push_back(static_cast<int>(data->Lines.size()) + 3);
    }
    return data;
}

// Appends the reciprocal of datum D with its resistance off by Percent.
void AddReciprocal(TMeasuredData& Data, size_t D, double Percent)
{
    const TConfiguration c = Data.Configurations.at(D);
    Data.Configurations.push_back({c.m, c.n, c.a, c.b});
    Data.Resistivities.push_back(Data.Resistivities[D] * (1.0 + Percent / 100.0));
    Data.GeometricFactors.push_back(Data.GeometricFactors[D]);
    Data.Lines.push_back(Data.Lines.back() + 1);
}

TEST(DataRemovals, StepsAreTakenBackOneByOne)
{
    TDataRemovals removals(Line(12));
    const size_t n = removals.Size();
    const TMeasuredData* first = removals.Kept().get();
    ASSERT_EQ(first->Size(), n);
    EXPECT_EQ(removals.CountText(), std::to_string(n) + " data, 0 removed");

    EXPECT_EQ(removals.Remove({2, 5, 5, 9}), 3u);
    EXPECT_EQ(removals.Kept()->Size(), n - 3);
    EXPECT_NE(removals.Kept().get(), first); // a new object: holders see the change
    EXPECT_EQ(removals.KeptIndexes()[2], 3u);
    EXPECT_EQ(removals.Kept()->Lines[2], removals.File()->Lines[3]);
    EXPECT_EQ(removals.Remove({2}), 0u); // already removed: no step
    EXPECT_EQ(removals.Restore({5, 6}), 1u);
    EXPECT_EQ(removals.RemovedCount(), 2u);
    EXPECT_EQ(removals.CountText(), std::to_string(n) + " data, 2 removed");

    ASSERT_TRUE(removals.Undo()); // the restore
    EXPECT_EQ(removals.RemovedCount(), 3u);
    ASSERT_TRUE(removals.Undo()); // the removal
    EXPECT_EQ(removals.RemovedCount(), 0u);
    EXPECT_EQ(removals.Kept()->Size(), n);
    EXPECT_FALSE(removals.Undo());

    // An index beyond the file changes nothing.
    EXPECT_THROW(removals.Remove({1, n}), std::out_of_range);
    EXPECT_EQ(removals.RemovedCount(), 0u);
    EXPECT_FALSE(removals.CanUndo());
}

TEST(DataRemovals, DataOfZeroOrNegativeResistivityAreNeverKept)
{
    auto file = Line(10);
    file->Resistivities[1] = -4.0;
    file->Resistivities[7] = 0.0;
    TDataRemovals removals(file);
    const size_t n = removals.Size();
    EXPECT_EQ(removals.Kept()->Size(), n - 2);
    EXPECT_EQ(removals.UnusableCount(), 2u);
    EXPECT_EQ(removals.CountText(), std::to_string(n) + " data, 0 removed, 2 with ρa ≤ 0 left out");
    for (double rho : removals.Kept()->Resistivities)
        EXPECT_GT(rho, 0.0);

    EXPECT_EQ(removals.RemoveNonPositive(), 2u);
    EXPECT_EQ(removals.UnusableCount(), 0u);
    EXPECT_EQ(removals.CountText(), std::to_string(n) + " data, 2 removed");
    // Restored, they are still left out of the computations.
    removals.Restore({1});
    EXPECT_EQ(removals.Kept()->Size(), n - 2);
    EXPECT_EQ(removals.UnusableCount(), 1u);
    EXPECT_EQ(removals.RemoveNonPositive(), 1u);
}

TEST(DataRemovals, FiltersCountWhatTheyRemove)
{
    auto file = Line(16);
    file->Resistivities[20] *= 6.0; // a spike
    TDataRemovals removals(file);
    EXPECT_EQ(removals.RemoveOutliers(3.0), 1u);
    EXPECT_TRUE(removals.IsRemoved(20));
    EXPECT_EQ(removals.RemoveOutliers(3.0), 0u);

    // Misfits come per kept datum; those beyond 10 % in size go, a nan stays.
    std::vector<double> misfits(removals.Kept()->Size(), 1.0);
    misfits[0] = -12.0;
    misfits[4] = std::nan("");
    misfits[30] = 11.0;
    const size_t fileOf30 = removals.KeptIndexes()[30];
    EXPECT_EQ(removals.RemoveMisfitBeyond(misfits, 10.0), 2u);
    EXPECT_TRUE(removals.IsRemoved(0));
    EXPECT_TRUE(removals.IsRemoved(fileOf30));
    EXPECT_FALSE(removals.IsRemoved(4));
    // Misfits of other data (the kept set changed since) are refused.
    EXPECT_THROW(removals.RemoveMisfitBeyond(misfits, 10.0), EDataFileError);
    EXPECT_THROW(removals.RemoveMisfitBeyond(std::vector<double>(removals.Kept()->Size(), 0.0), 0.0), EDataFileError);
    EXPECT_EQ(removals.RemovedCount(), 3u);
}

TEST(DataRemovals, ReciprocalPairsTheirFilterAndErrorModel)
{
    auto file = Line(10);
    const size_t normal = file->Size();
    AddReciprocal(*file, 0, 1.0);
    AddReciprocal(*file, 3, 2.0);
    AddReciprocal(*file, 6, 12.0);
    file->Errors.assign(file->Size(), std::nan(""));
    file->Errors[3] = 0.07; // the file's own error stays
    TDataRemovals removals(file);
    EXPECT_EQ(removals.KeptPairs().size(), 3u);

    EXPECT_TRUE(removals.UseReciprocalErrors(true));
    ASSERT_TRUE(removals.ReciprocalErrorModel());
    EXPECT_EQ(removals.ReciprocalErrorModel()->Pairs, 3u);
    const TMeasuredData& kept = *removals.Kept();
    EXPECT_TRUE(std::isfinite(kept.Errors[0]));
    EXPECT_DOUBLE_EQ(kept.Errors[3], 0.07);
    EXPECT_TRUE(std::isnan(kept.Errors[1])); // no pair: the error model of the window serves

    EXPECT_EQ(removals.RemoveReciprocalBeyond(5.0), 2u);
    EXPECT_TRUE(removals.IsRemoved(6));
    EXPECT_TRUE(removals.IsRemoved(normal + 2));
    // The model is fitted anew to the pairs left.
    EXPECT_EQ(removals.ReciprocalErrorModel()->Pairs, 2u);
    EXPECT_THROW(removals.RemoveReciprocalBeyond(0.0), EDataFileError);

    // Without pairs left, the model cannot be used.
    removals.Remove({0, 3});
    EXPECT_FALSE(removals.ReciprocalErrorsUsed());
    EXPECT_FALSE(removals.ReciprocalErrorModel());
    EXPECT_FALSE(removals.UseReciprocalErrors(true));
}

TEST(DataRemovals, TheRemovedSetAsText)
{
    TDataRemovals removals(Line(8));
    removals.Remove({0, 1, 2, 7, 9, 10});
    EXPECT_EQ(removals.RemovedText(), "0-2 7 9-10");
    TDataRemovals again(removals.File());
    ASSERT_TRUE(again.SetRemovedText(removals.RemovedText()));
    EXPECT_EQ(again.Removed(), removals.Removed());
    EXPECT_TRUE(again.CanUndo());
    for (const char* wrong : {"", "  ", "3-1", "x", "2,3", "-1", "1-", "99999"})
        EXPECT_FALSE(again.SetRemovedText(wrong)) << wrong;
    EXPECT_EQ(again.Removed(), removals.Removed());
}

// Steps in random order: the kept data are always the file's data neither
// removed nor of ρa ≤ 0, and undo walks back through the same states.
TEST(DataRemovals, RandomStepsKeepTheirInvariants)
{
    auto file = Line(14);
    file->Resistivities[4] = -1.0;
    TDataRemovals removals(file);
    std::mt19937 random(20261210);
    std::vector<std::vector<bool>> states{removals.Removed()};
    for (int step = 0; step < 200; ++step) {
        std::vector<size_t> some;
        for (int k = 0; k < 3; ++k)
            some.push_back(random() % removals.Size());
        switch (random() % 5) {
        case 0: removals.Remove(some); break;
        case 1: removals.Restore(some); break;
        case 2: removals.RemoveNonPositive(); break;
        case 3: removals.RemoveOutliers(2.0); break;
        default:
            if (removals.Undo())
                states.pop_back();
            ASSERT_EQ(removals.Removed(), states.back());
            continue;
        }
        if (removals.Removed() != states.back())
            states.push_back(removals.Removed());
        const TMeasuredData& kept = *removals.Kept();
        ASSERT_EQ(kept.Size(), removals.KeptIndexes().size());
        ASSERT_EQ(kept.Size() + removals.RemovedCount() + removals.UnusableCount(), removals.Size());
        for (size_t k = 0; k < kept.Size(); ++k) {
            const size_t d = removals.KeptIndexes()[k];
            ASSERT_FALSE(removals.IsRemoved(d));
            ASSERT_EQ(kept.Lines[k], file->Lines[d]);
            ASSERT_GT(kept.Resistivities[k], 0.0);
        }
    }
}

} // namespace
} // namespace lp

namespace lp {
namespace {

// Turning the polarity changes what is kept, never the file; turned off,
// the data are as read again.
TEST(DataRemovals, ThePolarityIsTurnedForTheKeptDataAlone)
{
    std::shared_ptr<TMeasuredData> file = Line(8);
    for (size_t d : {1u, 4u, 6u})
        file->Resistivities[d] = -file->Resistivities[d];
    file->Resistivities[7] = 0.0;
    TDataRemovals removals(file);
    EXPECT_EQ(removals.UnusableCount(), 4u);
    EXPECT_TRUE(removals.IsUnusable(4));
    removals.Remove({6});
    EXPECT_EQ(removals.TurnPolarity(true), 3u);
    EXPECT_TRUE(removals.PolarityTurned());
    EXPECT_FALSE(removals.IsUnusable(4));
    EXPECT_EQ(removals.UnusableCount(), 1u);
    EXPECT_EQ(removals.Kept()->Size(), file->Size() - 2); // datum 6 removed, 7 of ρa 0
    EXPECT_EQ(removals.Kept()->Resistivities[1], -file->Resistivities[1]);
    EXPECT_LT(removals.File()->Resistivities[1], 0.0);
    EXPECT_EQ(removals.CountText(), std::to_string(file->Size()) + " data, 1 removed, 1 with ρa ≤ 0 left out, 3 turned");
    // Undo takes back the removal, not the turn.
    EXPECT_TRUE(removals.Undo());
    EXPECT_EQ(removals.Kept()->Size(), file->Size() - 1);
    EXPECT_EQ(removals.TurnPolarity(false), 0u);
    EXPECT_EQ(removals.UnusableCount(), 4u);
    EXPECT_EQ(removals.Kept()->Size(), file->Size() - 4);
}

} // namespace
} // namespace lp
