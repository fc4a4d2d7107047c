// The forward cache: a change of parameters takes over the mesh and its
// analysis and gives the same data bit for bit; any change of what the mesh
// depends on makes a new mesh; computations sharing a cache from two
// threads each get their own ground's data.

#include "section/forward/ForwardCache.h"
#include "section/forward/ForwardResponse.h"

#include "tests/section/forward/ForwardFixtures.h"

#include <gtest/gtest.h>

#include <thread>

namespace lp::test {
namespace {

// A valley across a 250 m line over a polarizable host with a body: every
// run of the computation (the ground, the charged ground, the reference
// ground of the relief).
struct TCachedGround {
    double width = 250.0;
    double valley = 20.0;                  // the relief's depth at x = 110
    double bodyRight = 160.0;              // x of the body's right side
    double bodyResistivity = 10.0;
    double hostResistivity = 60.0;

    TForwardModel Ground() const
    {
        arofcomplexM profile;
        for (auto [x, depth] : {std::pair{0.0, 0.0}, {60.0, 2.0}, {110.0, valley}, {200.0, 4.0}, {width, 0.0}})
            profile.Add(MakeComplex(x, depth));
        TForwardSection section(width, 150.0, hostResistivity, 5.0, profile);
        section.AddBody({{100, 40}, {bodyRight, 40}, {bodyRight, 70}, {100, 70}}, bodyResistivity, 10.0);
        return section.Ground();
    }
};

TSurvey CacheSurvey(double first = 20.0)
{
    TArrayLayout layout;
    layout.Kind = TArrayKind::DipoleDipole;
    layout.Electrodes = 12;
    layout.Levels = 3;
    layout.Spacing = 15.0;
    layout.First = first;
    return MakeArraySurvey(layout, 0.0, 1.0);
}

TForwardResult Compute(const TForwardModel& ground, const std::shared_ptr<TForwardCache>& cache,
                       const TSurvey& survey = CacheSurvey(), const TMeshOptions& mesh = {})
{
    TForwardOptions options;
    options.Cache = cache;
    options.Mesh = mesh;
    return ComputeForwardResponse(ground, survey, options);
}

void ExpectSameBits(const TForwardResult& a, const TForwardResult& b)
{
    EXPECT_EQ(a.MeshNodes, b.MeshNodes);
    EXPECT_EQ(a.Voltages, b.Voltages);
    EXPECT_EQ(a.GeometricFactors, b.GeometricFactors);
    EXPECT_EQ(a.Resistivities, b.Resistivities);
    EXPECT_EQ(a.Chargeabilities, b.Chargeabilities);
}

TEST(ForwardCache, AChangeOfParametersReusesTheMeshAndGivesTheSameDataBitForBit)
{
    auto cache = std::make_shared<TForwardCache>();
    TCachedGround ground;
    const TForwardResult first = Compute(ground.Ground(), cache);
    EXPECT_FALSE(first.MeshReused);
    ASSERT_FALSE(first.Chargeabilities.empty());
    ExpectSameBits(first, Compute(ground.Ground(), nullptr));
    // The body's and the host's resistivity changed: the same geometry.
    ground.bodyResistivity = 25.0;
    ground.hostResistivity = 80.0;
    const TForwardResult changed = Compute(ground.Ground(), cache);
    EXPECT_TRUE(changed.MeshReused);
    ExpectSameBits(changed, Compute(ground.Ground(), nullptr));
    EXPECT_NE(changed.Resistivities, first.Resistivities);
    // Computed again unchanged: reused again, the same data.
    const TForwardResult again = Compute(ground.Ground(), cache);
    EXPECT_TRUE(again.MeshReused);
    ExpectSameBits(again, changed);
}

TEST(ForwardCache, AChangeOfWhatTheMeshDependsOnMakesANewMesh)
{
    auto cache = std::make_shared<TForwardCache>();
    const TCachedGround original;
    const auto expectNewMesh = [&](const TForwardResult& result, const char* what) {
        EXPECT_FALSE(result.MeshReused) << what;
        // The cache now holds this geometry: the original meshes anew.
        EXPECT_FALSE(Compute(original.Ground(), cache).MeshReused) << what;
    };
    ASSERT_FALSE(Compute(original.Ground(), cache).MeshReused);
    ASSERT_TRUE(Compute(original.Ground(), cache).MeshReused);
    TCachedGround moved = original;
    moved.bodyRight = 161.0; // two nodes of the body moved by 1 m
    expectNewMesh(Compute(moved.Ground(), cache), "a moved node");
    expectNewMesh(Compute(original.Ground(), cache, CacheSurvey(20.5)), "moved electrodes");
    TCachedGround relief = original;
    relief.valley = 21.0;
    expectNewMesh(Compute(relief.Ground(), cache), "a changed relief");
    TCachedGround area = original;
    area.width = 260.0;
    expectNewMesh(Compute(area.Ground(), cache), "a wider model area");
    TMeshOptions finer;
    finer.ElectrodeSize = 0.1;
    expectNewMesh(Compute(original.Ground(), cache, CacheSurvey(), finer), "finer mesh options");
}

TEST(ForwardCache, GeometriesCompareEveryNumberExactly)
{
    const TPaddedGeometry geometry = PadGeometry(TCachedGround().Ground(), CacheSurvey());
    EXPECT_TRUE(SameGeometry(geometry, geometry));
    TPaddedGeometry nudged = geometry;
    nudged.Points.back().x = std::nextafter(nudged.Points.back().x, 1e9);
    EXPECT_FALSE(SameGeometry(geometry, nudged));
    TPaddedGeometry region = geometry;
    region.FanTriangleRegions.front() += 1;
    EXPECT_FALSE(SameGeometry(geometry, region));
    TPaddedGeometry shorter = geometry;
    shorter.RimSizes.pop_back();
    EXPECT_FALSE(SameGeometry(geometry, shorter));
}

// Two threads share one cache, each computing two parameter sets on one
// geometry and a ground of another geometry in turn: the cache is taken
// and replaced under its lock, and every result is its own ground's.
TEST(ForwardCache, TwoThreadsSharingACacheEachGetTheirOwnGroundsData)
{
    TCachedGround a, b, c;
    b.bodyResistivity = 40.0;
    c.bodyRight = 170.0;
    const std::vector<TForwardModel> grounds{a.Ground(), b.Ground(), c.Ground()};
    std::vector<TForwardResult> expected;
    for (const TForwardModel& ground : grounds)
        expected.push_back(Compute(ground, nullptr));
    auto cache = std::make_shared<TForwardCache>();
    std::vector<TForwardResult> results[2];
    const auto work = [&](int thread) {
        for (int i = 0; i < 4; ++i)
            results[thread].push_back(Compute(grounds[static_cast<size_t>((i + thread) % 3)], cache));
    };
    std::thread one(work, 0), two(work, 1);
    one.join();
    two.join();
    for (int thread = 0; thread < 2; ++thread)
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE("thread " + std::to_string(thread) + ", computation " + std::to_string(i));
            ExpectSameBits(results[thread][static_cast<size_t>(i)], expected[static_cast<size_t>((i + thread) % 3)]);
        }
}

} // namespace
} // namespace lp::test
