// The model set-up dialog's super labels. Kept apart from the tests that use
// the section chart: the components' and the engine's headers both name an
// alignment type and do not meet in one source.
#include "section/dialogs/ModelSetupDialog.h"

#include "components/PictureButton.h"
#include "components/SuperLabel.h"

#include <QtWidgets/QLineEdit>

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(ModelSetupDialog, LabelsAndHints)
{
    Tboxsetup dialog;
    EXPECT_EQ(dialog.LabelLeft->Caption(), QStringLiteral("  Left, m"));
    EXPECT_EQ(dialog.LabelRight->Caption(), QStringLiteral(" Right, m"));
    EXPECT_EQ(dialog.LabelBottom->Caption(), QStringLiteral(" Bottom, m"));
    EXPECT_EQ(dialog.LabelBottom->Widget()->toolTip(), QStringLiteral("Bottom depths of last layer."));
    EXPECT_EQ(dialog.Edit1->toolTip(), QStringLiteral("Left border of modelling area."));
    EXPECT_EQ(dialog.Edit2->toolTip(), QStringLiteral("Right border of modelling area."));
    EXPECT_EQ(dialog.uiPicBtn3->Caption(), QStringLiteral("Apply"));
    EXPECT_EQ(dialog.uiPicBtn3->Style(), TuiPicBtn::absRecessedBlackHighlight);
    EXPECT_EQ(dialog.uiPicBtn3->ModalResult(), 1);
    EXPECT_FALSE(dialog.uiPicBtn3->DisabledShadow());
    EXPECT_EQ(dialog.uiPicBtn3->Widget()->toolTip(), QStringLiteral("Bottom border of modelling area."));
}

} // namespace
} // namespace lp
