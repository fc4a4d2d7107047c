// Fit regions in the forward response window as a user takes it: measured
// data open, the fit run with its iterations shown, the fitted regions in a
// table, Apply as one step of Undo, Discard, Cancel, and edits or a closed
// window while a fit runs.

#include "section/modelling/RegionFitDialog.h"

#include "section/modelling/ModellingWindowCommands.h"

#include "DialogTestUtil.h"
#include "tests/section/main/MainWindowFixture.h"
#include "platform/core/SafeSave.h"
#include "section/survey/DataFile.h"
#include "section/modelling/BackgroundThreads.h"
#include "section/modelling/ForwardResponseWindow.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTableWidget>

#include <atomic>
#include <chrono>
#include <cmath>
#include <future>
#include <memory>

namespace lp::test {
namespace {

// The host medium's resistivity the "measured" data were computed with.
constexpr double TrueHost = 130.0;

struct RegionFitTest : MainWindow {
    TForwardResponseWindow* Forward = nullptr;
    TRegionFitDialog* Fit = nullptr;

    void TearDown() override
    {
        MainWindow::TearDown();
        TBackgroundThreads::Program().JoinAll();
    }

    // The example open (its host medium's resistivity left to the window's
    // field, 100 ohm-m), the forward window opened from the menu bar and
    // "measured" data opened in it: the example's response over a host of
    // TrueHost, 16 electrodes and 3 levels (quick under the sanitizers).
    // The relative error typed as 0.1 %: the fit ends near the truth.
    void OpenWithMeasuredData(double Host = TrueHost)
    {
        TForwardSurveySettings kept;
        kept.Electrodes = 16;
        kept.Levels = 3;
        kept.HostResistivity = QStringLiteral("100");
        kept.FollowEdits = true;
        kept.Save();
        Start({Section});
        const TForwardResult field = FieldResponseOver(Host, 16, 3);
        const QString file = Folder.filePath(QStringLiteral("measured.dat"));
        QString error;
        ASSERT_TRUE(SaveBytesAtomically(file, QByteArray::fromStdString(FormatUnifiedData(field)), error))
            << error.toStdString();
        CommonDialogService().ExecuteOpen = [file](TOpenDialogRequest& Request) {
            Request.FileName = file;
            return true;
        };
        ChooseFromMenuBar(Window->Measureddata1);
        ResetCommonDialogService();
        QTRY_VERIFY_WITH_TIMEOUT(Window->ForwardWindow && Window->ForwardWindow->isVisible(), 5000);
        Forward = Window->ForwardWindow;
        ASSERT_NE(Forward->MeasuredData(), nullptr);
        Forward->activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Forward, 5000);
        TypeInto(Forward->RelativeErrorEdit, QStringLiteral("0.1"));
        WaitForForward();
    }
    void WaitForForward() { QTRY_VERIFY_WITH_TIMEOUT(!Forward->Busy(), 60000); }
    // Fit regions clicked: the dialog shows with its fit under way.
    void ClickFit()
    {
        QTest::mouseClick(Forward->FitButton, Qt::LeftButton);
        Fit = Forward->FitDialog();
        ASSERT_NE(Fit, nullptr);
        ASSERT_TRUE(Fit->isVisible());
        EXPECT_TRUE(Fit->Busy()) << Fit->ErrorText().toStdString();
    }
    void WaitForFit() { QTRY_VERIFY_WITH_TIMEOUT(!Fit->Busy(), 120000); }
    // Every ring's resistivity and polarizability slots, to compare exactly.
    std::vector<ParamValue> RegionValues()
    {
        std::vector<ParamValue> values;
        for (int b = 0; b < Chart().Model.Length(); ++b)
            for (int r = 0; r < Chart().Model[b].Length(); ++r)
                for (int slot : {psResistivity, psPolarizability})
                    values.push_back(Chart().Model[b][r].params[slot]);
        return values;
    }
    // The fits started from now on wait on their thread until the promise
    // returned is kept (ten seconds at most, after which TimedOut is set).
    std::shared_ptr<std::promise<void>> HoldFits()
    {
        auto gate = std::make_shared<std::promise<void>>();
        RunStarted->store(false);
        Fit->OnRunStart = [opened = gate->get_future().share(), timedOut = TimedOut, started = RunStarted] {
            started->store(true);
            if (opened.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
                timedOut->store(true);
        };
        return gate;
    }
    std::shared_ptr<std::atomic<bool>> TimedOut = std::make_shared<std::atomic<bool>>(false);
    // Set once a held fit has begun on its thread.
    std::shared_ptr<std::atomic<bool>> RunStarted = std::make_shared<std::atomic<bool>>(false);
    // The result table's row of a region by its name; -1 when none.
    int RowOf(const QString& Name)
    {
        for (int row = 0; row < Fit->ResultTable->rowCount(); ++row)
            if (Fit->ResultTable->item(row, 0)->text() == Name)
                return row;
        return -1;
    }
};

// Fitting the example's regions to data over a 130 ohm-m host from the
// drawn start (100 ohm-m) finds the host, and Apply with Ctrl+Z gives the
// drawn values back exactly.
TEST_F(RegionFitTest, FitsAppliesAsOneUndoStepAndShowsTheFittedResponse)
{
    OpenWithMeasuredData();
    const std::vector<ParamValue> drawn = RegionValues();
    ASSERT_TRUE(Forward->FitButton->isEnabled());
    ClickFit();
    EXPECT_FALSE(Forward->FitButton->isEnabled()); // one fit at a time
    WaitForFit();
    ASSERT_TRUE(Fit->Result().has_value()) << Fit->ErrorText().toStdString();
    EXPECT_TRUE(Forward->FitButton->isEnabled());
    // The start and every iteration, as they came.
    const TRegionFitResult& result = *Fit->Result();
    ASSERT_EQ(Fit->IterationList->count(), static_cast<int>(result.Steps.size()));
    EXPECT_TRUE(Fit->IterationList->item(0)->text().startsWith(QStringLiteral("start: \u03c7\u00b2 ")));
    EXPECT_TRUE(Fit->IterationList->item(1)->text().startsWith(QStringLiteral("iteration 1: \u03c7\u00b2 ")));
    EXPECT_LT(result.Steps.back().ChiSquare, result.Steps.front().ChiSquare);

    // The host's row: started at the field's 100, fitted near the truth.
    const int host = RowOf(QStringLiteral("Host medium"));
    ASSERT_EQ(host, 0);
    EXPECT_EQ(Fit->ResultTable->item(host, 1)->text(), QStringLiteral("100"));
    const double fitted = Fit->ResultTable->item(host, 2)->text().toDouble();
    EXPECT_NEAR(fitted, TrueHost, 0.02 * TrueHost);
    EXPECT_TRUE(Fit->ResultTable->item(host, 3)->text().startsWith(QStringLiteral("\u00d7/\u00f7 ")));
    EXPECT_EQ(Fit->ResultTable->rowCount(), 4);
    EXPECT_NE(RowOf(QStringLiteral("Clay")), -1);
    EXPECT_EQ(RegionValues(), drawn); // nothing written before Apply
    SaveScreenshot(*Fit, QStringLiteral("fit-regions"));
    EXPECT_EQ(UnreachableControls(*Fit), QStringList());
    EXPECT_EQ(RepeatedMnemonics(*Fit), QStringList());
    // Every column in view, without scrolling.
    EXPECT_FALSE(Fit->ResultTable->horizontalScrollBar()->isVisible());

    // Apply: the section holds the fitted values, and the forward window
    // shows their response.
    ASSERT_TRUE(Fit->ApplyButton->isEnabled());
    QTest::mouseClick(Fit->ApplyButton, Qt::LeftButton);
    EXPECT_NEAR(Chart().Model[0][0].params[psResistivity].AsReal(), fitted, 1e-3 * fitted);
    EXPECT_FALSE(Fit->ApplyButton->isEnabled()); // once
    EXPECT_TRUE(Fit->StateLabel->text().startsWith(QStringLiteral("Applied")));
    EXPECT_TRUE(Forward->Busy());
    WaitForForward();
    ASSERT_TRUE(Forward->Misfit().has_value());
    EXPECT_FALSE(Forward->Stale());
    EXPECT_LT(Forward->Misfit()->Rrms, 0.5);

    // Ctrl+Z in the editor: the drawn values, every slot exactly.
    Window->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Window.get(), 5000);
    QTest::keyClick(ChartWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(RegionValues(), drawn);
    // And the fit applied is no longer the section's: not offered again.
    EXPECT_FALSE(Fit->ApplyButton->isEnabled());
}

// A region held at a bound showed an uncertainty factor of about 1e41 in
// the table. Sandstone (drawn at 120 ohm-m) limited to 5 ohm-m at most:
// the fit holds it at that bound, and its row says so; the region the data
// then leave undetermined (its factor about 1e97) reads "beyond x/÷ 1000".
// No row shows a factor that is no finite number or beyond 1000.
TEST_F(RegionFitTest, ARegionHeldAtItsBoundSaysSoInsteadOfAFactor)
{
    OpenWithMeasuredData();
    // Sandstone's Highest as the table of regions keeps it.
    Chart().Model[1][0].params[psHighest] = ParamValue(5.0);
    ClickFit();
    WaitForFit();
    ASSERT_TRUE(Fit->Result().has_value()) << Fit->ErrorText().toStdString();
    const TRegionFitResult& fit = *Fit->Result();
    const int sandstone = RowOf(QStringLiteral("Sandstone"));
    ASSERT_NE(sandstone, -1);
    EXPECT_NEAR(fit.Regions[static_cast<size_t>(sandstone)].Resistivity, 5.0, 0.1);
    EXPECT_EQ(Fit->ResultTable->item(sandstone, 3)->text(), QStringLiteral("at its bound"));
    int absurd = 0;
    for (int row = 0; row < Fit->ResultTable->rowCount(); ++row) {
        const TFittedRegion& region = fit.Regions[static_cast<size_t>(row)];
        const QString text = Fit->ResultTable->item(row, 3)->text();
        if (region.State != TRegionFitState::Fitted || row == sandstone)
            continue;
        if (!(region.Factor <= 1000.0)) {
            ++absurd;
            EXPECT_EQ(text, QStringLiteral("beyond \u00d7/\u00f7 1000")) << row;
            continue;
        }
        ASSERT_TRUE(text.startsWith(QStringLiteral("\u00d7/\u00f7 "))) << text.toStdString();
        EXPECT_NEAR(text.mid(4).toDouble(), region.Factor, 0.01 * region.Factor) << text.toStdString();
    }
    // The fit of this case does leave one such factor (about 1e97).
    EXPECT_EQ(absurd, 1);
}

// Discard (and Escape after a fit) leaves the section as drawn.
TEST_F(RegionFitTest, DiscardLeavesTheSectionAsDrawn)
{
    OpenWithMeasuredData();
    const std::vector<ParamValue> drawn = RegionValues();
    ClickFit();
    WaitForFit();
    ASSERT_TRUE(Fit->Result().has_value()) << Fit->ErrorText().toStdString();
    QTest::mouseClick(Fit->DiscardButton, Qt::LeftButton);
    EXPECT_FALSE(Fit->isVisible());
    EXPECT_EQ(RegionValues(), drawn);
    // Ctrl+Z has no fit to take back: the drawn values stay.
    Window->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Window.get(), 5000);
    QTest::keyClick(ChartWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(RegionValues(), drawn);

    // Fit again from the keyboard (Alt+I), then Escape: closed, nothing written.
    Forward->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Forward, 5000);
    QTest::keyClick(Forward, Qt::Key_I, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(Fit->isVisible(), 5000); // the button's click shows a moment after the key
    WaitForFit();
    ASSERT_TRUE(Fit->ApplyButton->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Fit, 5000);
    // The keyboard's road: Alt+I and Alt+R to the lists, Tab on to the buttons.
    QTest::keyClick(Fit, Qt::Key_R, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), Fit->ResultTable);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Fit->ApplyButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Fit->DiscardButton);
    QTest::keyClick(Fit, Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Fit->IterationList);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Fit->ResultTable);
    // Enter in the table does not apply; Escape discards.
    QTest::keyClick(Fit->ResultTable, Qt::Key_Return);
    EXPECT_EQ(RegionValues(), drawn);
    QTest::keyClick(Fit->ResultTable, Qt::Key_Escape);
    EXPECT_FALSE(Fit->isVisible());
    EXPECT_EQ(RegionValues(), drawn);
}

// Guards a fit that ran on after Discard: the dialog closed, the fit's
// iterations and result still came to it, and Fit regions... stayed
// disabled until it ended. Discard, and the close box, stop it at once.
TEST_F(RegionFitTest, DiscardAndTheCloseBoxStopAFitAtOnce)
{
    OpenWithMeasuredData();
    const std::vector<ParamValue> drawn = RegionValues();
    ClickFit();
    WaitForFit();
    const auto stopped = [&](const std::shared_ptr<std::promise<void>>& Gate) {
        EXPECT_FALSE(Fit->isVisible());
        EXPECT_FALSE(Fit->Busy());
        EXPECT_TRUE(Forward->FitButton->isEnabled());
        // What the held fit would still deliver, once it may go on.
        Gate->set_value();
        TBackgroundThreads::Program().JoinAll();
        QCoreApplication::processEvents();
        EXPECT_EQ(Fit->IterationList->count(), 0);
        EXPECT_FALSE(Fit->Result().has_value());
        EXPECT_FALSE(Fit->ApplyButton->isEnabled());
        EXPECT_EQ(RegionValues(), drawn);
    };
    const auto first = HoldFits();
    ClickFit();
    QTest::mouseClick(Fit->DiscardButton, Qt::LeftButton);
    stopped(first);
    const auto second = HoldFits();
    ClickFit();
    Fit->close(); // the close box
    stopped(second);
    EXPECT_FALSE(TimedOut->load());
    // Fit regions... starts the next fit, which runs to its end.
    ClickFit();
    WaitForFit();
    EXPECT_TRUE(Fit->Result().has_value()) << Fit->ErrorText().toStdString();
}

// Guards "Fitted in 1 iterations": the summary names its count of
// iterations as a count, in the singular for one (the counts themselves:
// ModellingWindowCommands_test).
TEST_F(RegionFitTest, TheSummaryNamesItsIterations)
{
    OpenWithMeasuredData(101.0);
    TypeInto(Forward->RelativeErrorEdit, QStringLiteral("5"));
    WaitForForward();
    ClickFit();
    WaitForFit();
    ASSERT_TRUE(Fit->Result().has_value()) << Fit->ErrorText().toStdString();
    const int iterations = Fit->Result()->Steps.back().Iteration;
    EXPECT_TRUE(Fit->StateLabel->text().startsWith(QStringLiteral("Fitted in ") + IterationCount(iterations) + ": "))
        << Fit->StateLabel->text().toStdString();
    SaveScreenshot(*Fit, QStringLiteral("fit-regions-summary"));
}

// A fit cancelled (the button, or Escape) offers nothing to apply.
TEST_F(RegionFitTest, ACancelledFitAppliesNothing)
{
    OpenWithMeasuredData();
    const std::vector<ParamValue> drawn = RegionValues();
    Forward->ProgressDelay = 0;
    ClickFit();
    WaitForFit();
    ASSERT_TRUE(Fit->ApplyButton->isEnabled());
    // The next fit held on its thread: the finished one's result goes with its start.
    const auto gate = HoldFits();
    ClickFit();
    EXPECT_EQ(Fit->ResultTable->rowCount(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(Fit->CancelButton->isVisible(), 5000);
    EXPECT_TRUE(Fit->Progress->isVisible());
    EXPECT_FALSE(Fit->ApplyButton->isEnabled());
    QTest::mouseClick(Fit->CancelButton, Qt::LeftButton);
    gate->set_value();
    WaitForFit();
    EXPECT_FALSE(Fit->Result().has_value());
    EXPECT_EQ(Fit->StateLabel->text(), QStringLiteral("Cancelled: nothing to apply."));
    EXPECT_FALSE(Fit->ApplyButton->isEnabled());
    EXPECT_FALSE(Fit->Apply());
    EXPECT_EQ(Fit->ResultTable->rowCount(), 0);
    EXPECT_EQ(RegionValues(), drawn);

    // Escape during a fit cancels it and the dialog stays.
    const auto second = HoldFits();
    ClickFit();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Fit, 5000);
    QTest::keyClick(Fit->ResultTable, Qt::Key_Escape);
    second->set_value();
    WaitForFit();
    EXPECT_TRUE(Fit->isVisible());
    EXPECT_FALSE(Fit->Result().has_value());
    EXPECT_EQ(RegionValues(), drawn);
}

// The section edited while the fit runs: its values no longer describe the
// regions, and Apply refuses them.
TEST_F(RegionFitTest, AnEditDuringTheFitLeavesNothingToApply)
{
    OpenWithMeasuredData();
    Forward->FollowBox->setChecked(false);
    ClickFit();
    WaitForFit();
    const auto gate = HoldFits();
    ClickFit();
    // The clay's resistivity changed as the table of regions changes it.
    ASSERT_TRUE(Chart().ChangeFromOutside([this] {
        Chart().Model[1][0].params[psResistivity] = ParamValue(40.0);
        return true;
    }));
    const std::vector<ParamValue> edited = RegionValues();
    gate->set_value();
    WaitForFit();
    ASSERT_TRUE(Fit->Result().has_value()) << Fit->ErrorText().toStdString();
    EXPECT_FALSE(Fit->ApplyButton->isEnabled());
    EXPECT_TRUE(Fit->StateLabel->text().startsWith(QStringLiteral("The section has changed")));
    EXPECT_FALSE(Fit->Apply());
    EXPECT_EQ(RegionValues(), edited);
    // Fitted anew, the edited section can take the result; Ctrl+Z in the
    // fit's window takes the Apply back to the edited values.
    ClickFit();
    WaitForFit();
    ASSERT_TRUE(Fit->ApplyButton->isEnabled());
    QTest::mouseClick(Fit->ApplyButton, Qt::LeftButton);
    EXPECT_NE(RegionValues(), edited);
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Fit, 5000);
    QTest::keyClick(Fit->ResultTable, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(RegionValues(), edited);
}

// Closing the forward window while a fit runs neither waits for the fit
// nor lets its end reach the dialog that went with the window.
TEST_F(RegionFitTest, ClosingTheWindowDuringAFitDoesNotWaitForIt)
{
    OpenWithMeasuredData();
    const std::vector<ParamValue> drawn = RegionValues();
    ClickFit();
    WaitForFit();
    const auto gate = HoldFits();
    ClickFit();
    // Closed while the fit computes, not before its thread began (a run
    // cancelled before it begins never starts).
    QTRY_VERIFY_WITH_TIMEOUT(RunStarted->load(), 5000);
    const QPointer<TRegionFitDialog> fit = Fit;
    const QPointer<TForwardResponseWindow> forward = Forward;
    Forward->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(forward.isNull());
    EXPECT_TRUE(fit.isNull());
    EXPECT_GT(TBackgroundThreads::Program().Running(), 0); // closed without waiting
    gate->set_value();
    TBackgroundThreads::Program().JoinAll();
    QCoreApplication::processEvents();
    EXPECT_FALSE(TimedOut->load());
    EXPECT_EQ(RegionValues(), drawn);
}

// Without measured data there is nothing to fit to: the button waits for them.
TEST_F(RegionFitTest, FitRegionsWaitsForMeasuredData)
{
    OpenWithMeasuredData();
    QTest::mouseClick(Forward->ArraySurveyButton, Qt::LeftButton);
    EXPECT_FALSE(Forward->FitButton->isEnabled());
    EXPECT_FALSE(Forward->FitRegions());
    EXPECT_EQ(Forward->FitDialog(), nullptr);
}

} // namespace
} // namespace lp::test
