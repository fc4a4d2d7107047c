#include "platform/ui/Dialogs.h"

#include "platform/ui/Application.h"

#include <gtest/gtest.h>

#include <vector>

namespace lp {
namespace {

// Replaces the message service by a recorder that answers Answer; the
// default comes back afterwards, so no test ever shows a real box.
class MessageServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MessageService() = [this](const TMessageRequest& request) {
            Requests.push_back(request);
            return Answer;
        };
    }
    void TearDown() override { ResetMessageService(); }

    std::vector<TMessageRequest> Requests;
    int Answer = mrNone;
};

bool IsDefault(const TMessageService& service)
{
    using Function = int (*)(const TMessageRequest&);
    const Function* target = service.target<Function>();
    return target && *target == &DefaultMessageService;
}

TEST_F(MessageServiceTest, MessageDlgPassesTheRequestAndReturnsTheAnswer)
{
    Answer = mrYes;
    EXPECT_EQ(MessageDlg("Delete the layer?", TMsgDlgType::mtConfirmation, mbYes | mbNo, "Section"), mrYes);
    ASSERT_EQ(Requests.size(), 1u);
    EXPECT_EQ(Requests[0].Text, "Delete the layer?");
    EXPECT_EQ(Requests[0].Caption, "Section");
    EXPECT_EQ(Requests[0].Type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(Requests[0].Buttons, TMsgDlgButtons(mbYes | mbNo));
}

TEST_F(MessageServiceTest, ShowMessageIsAnInformationWithOk)
{
    ShowMessage("Saved");
    ASSERT_EQ(Requests.size(), 1u);
    EXPECT_EQ(Requests[0].Text, "Saved");
    EXPECT_EQ(Requests[0].Type, TMsgDlgType::mtInformation);
    EXPECT_EQ(Requests[0].Buttons, TMsgDlgButtons(mbOK));
    EXPECT_EQ(Requests[0].Caption, Application().Title());
}

TEST_F(MessageServiceTest, ResetRestoresTheDefault)
{
    EXPECT_FALSE(IsDefault(MessageService()));
    ResetMessageService();
    EXPECT_TRUE(IsDefault(MessageService()));
}

TEST_F(MessageServiceTest, AServiceMayReplaceItselfWhileItRuns)
{
    MessageService() = [](const TMessageRequest&) {
        MessageService() = [](const TMessageRequest&) { return int(mrNo); };
        return int(mrOk);
    };
    EXPECT_EQ(MessageDlg("first", TMsgDlgType::mtWarning, mbOK), mrOk);
    EXPECT_EQ(MessageDlg("second", TMsgDlgType::mtWarning, mbOK), mrNo);
}

} // namespace
} // namespace lp
