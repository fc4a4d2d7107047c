#include "chart/editors/data/PlotSourceEdit.h"

#include "../EditorTestSupport.h"
#include "chart/engine/PlotSeries.h"
#include "platform/ui/Dialogs.h"

#include <QtTest/QTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <gtest/gtest.h>

namespace lp {
namespace {

// A source page whose apply succeeds or fails as the test says.
class TScriptedSourcePage : public TBaseSourceEditor {
public:
    bool ApplySucceeds = true;
    int Applied = 0;

protected:
    void ApplyChanges() override
    {
        ++Applied;
        if (ApplySucceeds)
            SetPending(false);
    }
};

class BaseSourcePage : public ::testing::Test {
protected:
    BaseSourcePage()
    {
        Series = new TLineSeries(&Chart);
        Chart.AddSeries(Series);
        Page.SetTarget(Series);
        Page.CBSources->addItems({QStringLiteral("Manual"), QStringLiteral("Function")});
        MessageService() = [this](const TMessageRequest& Request) {
            Questions.append(Request.Text);
            return Answer;
        };
        Page.show();
    }
    ~BaseSourcePage() override { ResetMessageService(); }

    // Picks the second source with the keyboard: a user change.
    void ChangeSource()
    {
        Page.CBSources->setFocus();
        QTest::keyClick(Page.CBSources, Qt::Key_Down);
    }

    test::TEditorChart Chart;
    TLineSeries* Series = nullptr;
    TScriptedSourcePage Page;
    QStringList Questions;
    int Answer = mrCancel;
};

TEST_F(BaseSourcePage, StartsWithNothingPending)
{
    EXPECT_EQ(Page.TheSeries(), Series);
    EXPECT_FALSE(Page.BApply->isEnabled());
    EXPECT_EQ(Page.LLabel->text(), QStringLiteral("&Source:"));
    EXPECT_EQ(Page.LLabel->buddy(), Page.CBSources);
    EXPECT_EQ(Page.BApply->text(), QStringLiteral("&Apply"));
    EXPECT_TRUE(Page.MayLeave());
    EXPECT_TRUE(Questions.isEmpty()); // nothing pending: never asks
    ChangeSource();
    EXPECT_TRUE(Page.BApply->isEnabled());
    QTest::mouseClick(Page.BApply, Qt::LeftButton);
    EXPECT_EQ(Page.Applied, 1);
    EXPECT_FALSE(Page.BApply->isEnabled());
}

TEST_F(BaseSourcePage, CancelKeepsThePage)
{
    ChangeSource();
    Answer = mrCancel;
    EXPECT_FALSE(Page.MayLeave());
    EXPECT_EQ(Questions, QStringList{QStringLiteral("Apply Changes ?")});
    EXPECT_TRUE(Page.Pending());
    QTest::keyClick(&Page, Qt::Key_Escape);
    EXPECT_TRUE(Page.isVisible());
    EXPECT_EQ(Page.Applied, 0);
}

TEST_F(BaseSourcePage, NoDiscardsTheChanges)
{
    ChangeSource();
    Answer = mrNo;
    EXPECT_TRUE(Page.MayLeave());
    EXPECT_FALSE(Page.Pending());
    EXPECT_EQ(Page.Applied, 0);
}

TEST_F(BaseSourcePage, YesLeavesOnlyWhenApplyClearsThePendingState)
{
    ChangeSource();
    Answer = mrYes;
    Page.ApplySucceeds = false;
    EXPECT_FALSE(Page.MayLeave());
    EXPECT_EQ(Page.Applied, 1);
    EXPECT_TRUE(Page.close() == false);
    EXPECT_TRUE(Page.isVisible());
    Page.ApplySucceeds = true;
    EXPECT_TRUE(Page.close());
    EXPECT_FALSE(Page.isVisible());
}

} // namespace
} // namespace lp
