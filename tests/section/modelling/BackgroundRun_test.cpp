// The one controller of a window's long computations: the newest start
// wins, Cancel, progress by whole per cents, intermediate results, errors,
// the out-of-date state, and an owner that goes while its run computes.

#include "section/modelling/BackgroundRun.h"

#include "platform/base/Exception.h"
#include "section/modelling/BackgroundThreads.h"

#include <QtCore/QCoreApplication>
#include <QtTest/QTest>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace lp {
namespace {

// A gate a run waits at until the test opens it (ten seconds at most, so
// that a fault cannot hang the suite).
struct TGate {
    std::promise<void> Promise;
    std::shared_future<void> Opened = Promise.get_future().share();
    void Open() { Promise.set_value(); }
    // Work that waits at the gate, then returns Result.
    TBackgroundRun::TWork Held(int Result) const
    {
        return [opened = Opened, Result](TRunControl&) -> std::any {
            opened.wait_for(std::chrono::seconds(10));
            return Result;
        };
    }
};

struct BackgroundRun : ::testing::Test {
    TBackgroundThreads Threads;
    std::vector<TRunEnd> Ends;

    std::unique_ptr<TBackgroundRun> MakeRun()
    {
        auto run = std::make_unique<TBackgroundRun>(Threads);
        run->OnEnd = [this](const TRunEnd& End) { Ends.push_back(End); };
        return run;
    }
    // Lets the queued calls through until Done holds (ten seconds at most).
    template <class TCondition> bool WaitUntil(TCondition Done)
    {
        for (int i = 0; i < 2000 && !Done(); ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QTest::qSleep(5);
        }
        return Done();
    }
    void TearDown() override { Threads.JoinAll(); }
};

TEST_F(BackgroundRun, TheNewestStartWinsAndTheOlderRunIsCancelled)
{
    const std::unique_ptr<TBackgroundRun> run = MakeRun();
    TGate gate;
    auto firstSawCancel = std::make_shared<std::atomic<bool>>(false);
    auto firstStarted = std::make_shared<std::atomic<bool>>(false);
    std::shared_future<void> opened = gate.Opened;
    ASSERT_TRUE(run->Start([opened, firstSawCancel, firstStarted](TRunControl& Control) -> std::any {
        firstStarted->store(true);
        opened.wait_for(std::chrono::seconds(10));
        firstSawCancel->store(Control.Cancelled());
        return 1;
    }));
    ASSERT_TRUE(WaitUntil([&] { return firstStarted->load(); }));
    ASSERT_TRUE(run->Start([](TRunControl&) -> std::any { return 2; }));
    EXPECT_TRUE(run->Busy());
    ASSERT_TRUE(WaitUntil([&] { return !run->Busy(); }));
    gate.Open();
    Threads.JoinAll();
    QCoreApplication::processEvents();
    // The first run's late end reaches nobody; only the newest result came.
    ASSERT_EQ(Ends.size(), 1U);
    EXPECT_EQ(Ends[0].Kind, TRunEnd::Done);
    EXPECT_EQ(std::any_cast<int>(Ends[0].Result), 2);
    EXPECT_TRUE(firstSawCancel->load());
    EXPECT_TRUE(run->HasResult());
    EXPECT_FALSE(run->Stale());
}

TEST_F(BackgroundRun, CancelEndsTheRunAsCancelledAndTheLastResultOutOfDate)
{
    const std::unique_ptr<TBackgroundRun> run = MakeRun();
    run->Start([](TRunControl&) -> std::any { return std::string("first"); });
    ASSERT_TRUE(WaitUntil([&] { return !run->Busy(); }));
    // A run that computes until cancelled, as a forward computation does
    // through its progress callback.
    run->Start([](TRunControl& Control) -> std::any {
        while (Control.Progress(0.5))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        throw std::runtime_error("stopped by its progress callback");
    });
    EXPECT_TRUE(run->Stale());
    run->Cancel();
    ASSERT_TRUE(WaitUntil([&] { return !run->Busy(); }));
    ASSERT_EQ(Ends.size(), 2U);
    EXPECT_EQ(Ends[1].Kind, TRunEnd::Cancelled);
    EXPECT_TRUE(Ends[1].Error.isEmpty());
    EXPECT_FALSE(Ends[1].Result.has_value());
    EXPECT_TRUE(run->Stale());
    EXPECT_TRUE(run->HasResult());
}

TEST_F(BackgroundRun, ProgressReachesTheOwnerOncePerWholePerCentAndPostsInOrder)
{
    const std::unique_ptr<TBackgroundRun> run = MakeRun();
    std::vector<int> percents;
    std::vector<int> posted;
    run->OnProgress = [&](int Percent) { percents.push_back(Percent); };
    run->OnIntermediate = [&](const std::any& Value) { posted.push_back(std::any_cast<int>(Value)); };
    run->Start([](TRunControl& Control) -> std::any {
        const int steps = 100000;
        for (int i = 0; i <= steps; ++i) {
            Control.Progress(static_cast<double>(i) / steps);
            if (i % 20000 == 0)
                Control.Post(i / 20000); // "iteration 3: chi-square 2.1"
        }
        // Out of range and not a number: clamped, never a new per cent.
        Control.Progress(7.0);
        Control.Progress(std::nan(""));
        return 0;
    });
    ASSERT_TRUE(WaitUntil([&] { return !run->Busy(); }));
    ASSERT_FALSE(percents.empty());
    EXPECT_LE(percents.size(), 101U);
    for (size_t i = 1; i < percents.size(); ++i)
        EXPECT_GT(percents[i], percents[i - 1]);
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(percents.back(), 100);
    EXPECT_EQ(posted, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    ASSERT_EQ(Ends.size(), 1U);
    EXPECT_EQ(Ends[0].Kind, TRunEnd::Done);
}

TEST_F(BackgroundRun, ExceptionsInTheWorkEndItAsFailedWithTheirMessage)
{
    const std::unique_ptr<TBackgroundRun> run = MakeRun();
    const auto failWith = [&](std::function<void()> Throw) {
        run->Start([Throw](TRunControl&) -> std::any {
            Throw();
            return 0;
        });
        EXPECT_TRUE(WaitUntil([&] { return !run->Busy(); }));
    };
    failWith([] { throw Exception("The mesh has no nodes."); });
    failWith([] { throw std::runtime_error("out of range"); });
    failWith([] { throw 42; });
    ASSERT_EQ(Ends.size(), 3U);
    for (const TRunEnd& end : Ends)
        EXPECT_EQ(end.Kind, TRunEnd::Failed);
    EXPECT_EQ(Ends[0].Error, QStringLiteral("The mesh has no nodes."));
    EXPECT_EQ(Ends[1].Error, QStringLiteral("out of range"));
    EXPECT_FALSE(Ends[2].Error.isEmpty());
    EXPECT_FALSE(run->HasResult());
}

// Guards a run that outlives its window delivering to it (a use after
// free the sanitizers see) or the window waiting for it on closing.
TEST_F(BackgroundRun, AnOwnerDestroyedWhileItsRunComputesHearsNothingAndDoesNotWait)
{
    auto run = MakeRun();
    TGate gate;
    std::shared_future<void> opened = gate.Opened;
    auto sawCancel = std::make_shared<std::atomic<bool>>(false);
    auto started = std::make_shared<std::atomic<bool>>(false);
    run->OnProgress = [this](int) { Ends.push_back({}); };
    run->OnIntermediate = [this](const std::any&) { Ends.push_back({}); };
    run->Start([opened, sawCancel, started](TRunControl& Control) -> std::any {
        Control.Progress(0.1);
        Control.Post(1);
        started->store(true);
        opened.wait_for(std::chrono::seconds(10));
        sawCancel->store(Control.Cancelled());
        Control.Progress(0.9);
        Control.Post(2);
        return std::make_shared<std::vector<double>>(1000, 1.0);
    });
    ASSERT_TRUE(WaitUntil([&] { return started->load(); }));
    // Gone with its progress and first post still queued, the run held.
    run.reset();
    EXPECT_EQ(Threads.Running(), 1);
    gate.Open();
    Threads.JoinAll();
    QCoreApplication::processEvents();
    EXPECT_TRUE(sawCancel->load());
    EXPECT_TRUE(Ends.empty());
}

TEST_F(BackgroundRun, AChangeDuringARunLeavesItsResultOutOfDate)
{
    const std::unique_ptr<TBackgroundRun> run = MakeRun();
    EXPECT_FALSE(run->Stale());
    run->InputChanged(); // nothing shown yet: nothing out of date
    EXPECT_FALSE(run->Stale());
    TGate gate;
    run->Start(gate.Held(1));
    run->InputChanged();
    gate.Open();
    ASSERT_TRUE(WaitUntil([&] { return !run->Busy(); }));
    ASSERT_EQ(Ends.size(), 1U);
    EXPECT_EQ(Ends[0].Kind, TRunEnd::Done);
    EXPECT_TRUE(run->Stale());
    run->Start([](TRunControl&) -> std::any { return 2; });
    ASSERT_TRUE(WaitUntil([&] { return !run->Busy(); }));
    EXPECT_FALSE(run->Stale());
    run->InputChanged();
    EXPECT_TRUE(run->Stale());
}

// A start refused on the window's side drops the run under way at once:
// not busy, and its end goes unheard.
TEST_F(BackgroundRun, DropForgetsTheRunAtOnce)
{
    const std::unique_ptr<TBackgroundRun> run = MakeRun();
    TGate gate;
    run->Start(gate.Held(1));
    run->Drop();
    EXPECT_FALSE(run->Busy());
    EXPECT_FALSE(run->Stale());
    gate.Open();
    Threads.JoinAll();
    QCoreApplication::processEvents();
    EXPECT_TRUE(Ends.empty());
}

TEST_F(BackgroundRun, TheProgressBarAndCancelButtonShowForALongRunAndCancelIt)
{
    QWidget panel;
    auto* bar = new QProgressBar(&panel);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &panel);
    panel.show();
    const std::unique_ptr<TBackgroundRun> run = MakeRun();
    run->ShowProgressIn(bar, cancel);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(cancel->isVisible());
    run->ProgressDelay = 0;
    run->Start([](TRunControl& Control) -> std::any {
        for (double fraction = 0.0; Control.Progress(std::min(fraction, 0.42)); fraction += 0.01)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return 0;
    });
    ASSERT_TRUE(WaitUntil([&] { return cancel->isVisible() && bar->value() == 42; }));
    EXPECT_TRUE(bar->isVisible());
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !run->Busy(); }));
    ASSERT_EQ(Ends.size(), 1U);
    EXPECT_EQ(Ends[0].Kind, TRunEnd::Cancelled);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(cancel->isVisible());
}

} // namespace
} // namespace lp
