#include "section/dialogs/ModelSetupDialog.h"

#include "../editor/SectionTestUtil.h"
#include "DialogTestUtil.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QLocale>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QAbstractButton>

namespace lp {
namespace {

TEST(ModelSetup, OnlyASoundAreaIsAppliedAndAnyOtherIsNamedWithItsReason)
{
    struct TRow {
        const char *Left, *Right, *Bottom;
        const char* Problem; // empty: applied
    };
    // The bodies of the fixture reach from x 100 to 450 and down to 50.
    const TRow rows[] = {
        {"-100", "1200", "150", ""},
        {"0,5", "900,5", "80", ""},
        {"500", "100", "100", "Left, m must be less than Right, m."},
        {"100", "100", "100", "Left, m must be less than Right, m."},
        {"0", "1000", "-1", "Bottom, m must lie below the top of the model (0.00)."},
        {"0", "1000", "0", "Bottom, m must lie below the top of the model (0.00)."},
        {"x", "1000", "100", "Left, m: \"x\" is not a number."},
        {"0", "*", "100", "Right, m: \"*\" is not a number."},
        {"0", "1000", "", "Bottom, m: the field is empty."},
        {"0", "1000", "  ", "Bottom, m: the field is empty."},
        {"200", "1000", "100", "Left, m must be at most 100.00: the bodies reach that far."},
        {"0", "400", "100", "Right, m must be at least 450.00: the bodies reach that far."},
        {"0", "1000", "40", "Bottom, m must be at least 50.00: the bodies reach that deep."},
        {"100", "450", "50", ""},
    };
    for (const TRow& row : rows) {
        TPolygonChart chart;
        chart.SetBounds(0, 0, 640, 360);
        TSectionFixture::AddBodies(chart, 2);
        int changes = 0;
        chart.onchangemodel = [&](TPolygonChart*) { ++changes; };
        const TModelArea before = chart.ModelArea;
        const TModelSetupResult result = ApplyModelSetup(chart, false, QString::fromLatin1(row.Left),
                                                         QString::fromLatin1(row.Right), QString::fromLatin1(row.Bottom));
        SCOPED_TRACE(row.Left + std::string(" ") + row.Right + " " + row.Bottom);
        const QString problem = QString::fromLatin1(row.Problem);
        if (problem.isEmpty()) {
            EXPECT_TRUE(result.Problem.isEmpty()) << result.Problem.toStdString();
            EXPECT_TRUE(result.Changed);
            EXPECT_EQ(changes, 1);
            EXPECT_EQ(chart.ModelArea.left, std::stod(QString::fromLatin1(row.Left).replace(',', '.').toStdString()));
            EXPECT_EQ(chart.ModelArea.top, before.top);
        } else {
            EXPECT_EQ(result.Problem, problem + QStringLiteral("\nThe model area is unchanged."));
            EXPECT_FALSE(result.Changed);
            EXPECT_EQ(changes, 0);
            EXPECT_EQ(chart.ModelArea.left, before.left);
            EXPECT_EQ(chart.ModelArea.right, before.right);
            EXPECT_EQ(chart.ModelArea.bottom, before.bottom);
        }
        EXPECT_GT(chart.ScaleX, 0.0);
    }
}

// Runs ModelSetup, answering the dialog with Answer once it is up.
// Changed, when given, gets what ModelSetup returned.
void RunModelSetup(TPolygonChart& Chart, std::function<void(Tboxsetup&)> Answer, bool* Changed = nullptr)
{
    QTimer::singleShot(0, [Answer] {
        auto* dialog = qobject_cast<Tboxsetup*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        Answer(*dialog);
    });
    const bool changed = ModelSetup(Chart, false);
    if (Changed)
        *Changed = changed;
}

TEST(ModelSetup, DialogShowsTheAreaAndApplyOrTheCloseBoxApplies)
{
    TPolygonChart chart;
    chart.SetBounds(0, 0, 640, 360);
    TSectionFixture::AddBodies(chart, 2);
    RunModelSetup(chart, [](Tboxsetup& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Model setup"));
        EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("0.00"));
        EXPECT_EQ(dialog.Edit2->text(), QStringLiteral("1000.00"));
        EXPECT_EQ(dialog.Edit3->text(), QStringLiteral("100.00"));
        EXPECT_EQ(dialog.Edit3->toolTip(), QStringLiteral("Bottom depths of last layer."));
        dialog.Edit2->setText(QStringLiteral("1500"));
        test::SaveScreenshot(dialog, QStringLiteral("model-setup-dialog"));
        QTest::mouseClick(dialog.ApplyWidget(), Qt::LeftButton);
    });
    EXPECT_EQ(chart.ModelArea.right, 1500.0);

    RunModelSetup(chart, [](Tboxsetup& dialog) {
        dialog.Edit3->setText(QStringLiteral("180"));
        dialog.close(); // the window's close box
    });
    EXPECT_EQ(chart.ModelArea.bottom, 180.0);
    EXPECT_EQ(chart.ModelArea.right, 1500.0);
}

// Guards a bad entry dropped without a word: the dialog closed, nothing was
// applied (the good fields neither) and nothing was said.
TEST(ModelSetup, AnEntryThatCannotBeAppliedIsSaidAndTheDialogStaysOpen)
{
    TPolygonChart chart;
    chart.SetBounds(0, 0, 640, 360);
    TSectionFixture::AddBodies(chart, 2);
    QStringList messages;
    MessageService() = [&](const TMessageRequest& Request) {
        messages << Request.Text;
        EXPECT_EQ(Request.Type, TMsgDlgType::mtError);
        return int(mrOk);
    };
    bool stayedOpen = false;
    RunModelSetup(chart, [&](Tboxsetup& dialog) {
        dialog.Edit2->setText(QStringLiteral("1200"));
        dialog.Edit3->setText(QStringLiteral("abc"));
        QTest::mouseClick(dialog.ApplyWidget(), Qt::LeftButton);
        stayedOpen = dialog.isVisible() && QApplication::activeModalWidget() == &dialog;
        EXPECT_EQ(dialog.Edit2->text(), QStringLiteral("1200"));
        EXPECT_EQ(dialog.Edit3->text(), QStringLiteral("abc"));
        EXPECT_EQ(chart.ModelArea.right, 1000.0);
        // Return in a field presses "Apply".
        dialog.Edit3->setText(QStringLiteral("150"));
        dialog.Edit3->setFocus();
        QTest::keyClick(dialog.Edit3, Qt::Key_Return);
    });
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(messages, QStringList{QStringLiteral("Bottom, m: \"abc\" is not a number.\nThe model area is unchanged.")});
    EXPECT_EQ(chart.ModelArea.right, 1200.0);
    EXPECT_EQ(chart.ModelArea.bottom, 150.0);

    // Escape applies what can be applied; what cannot is said, and the
    // area stays.
    messages.clear();
    RunModelSetup(chart, [](Tboxsetup& dialog) {
        dialog.Edit1->setText(QStringLiteral("1300"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(messages, QStringList{QStringLiteral("Left, m must be less than Right, m.\nThe model area is unchanged.")});
    EXPECT_EQ(chart.ModelArea.left, 0.0);
    EXPECT_EQ(chart.ModelArea.right, 1200.0);
    ResetMessageService();
}

// The area shown and applied unchanged stays as it was, no edit, also in
// a locale that writes a decimal comma.
TEST(ModelSetup, TheAreaAppliedAsShownChangesNothing)
{
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
        SCOPED_TRACE(locale.name().toStdString());
        const QLocale before = QLocale();
        QLocale::setDefault(locale);
        TPolygonChart chart;
        chart.SetBounds(0, 0, 640, 360);
        TSectionFixture::AddBodies(chart, 2);
        const TModelArea area = chart.ModelArea;
        int changes = 0;
        chart.onchangemodel = [&](TPolygonChart*) { ++changes; };
        bool changed = true;
        RunModelSetup(chart, [](Tboxsetup& dialog) { QTest::keyClick(dialog.Edit1, Qt::Key_Return); }, &changed);
        QLocale::setDefault(before);
        EXPECT_FALSE(changed);
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(chart.ModelArea.left, area.left);
        EXPECT_EQ(chart.ModelArea.right, area.right);
        EXPECT_EQ(chart.ModelArea.bottom, area.bottom);
    }
}

TEST(ModelSetup, TabGoesFromFieldToFieldAndToApplyOnly)
{
    TPolygonChart chart;
    chart.SetBounds(0, 0, 640, 360);
    TSectionFixture::AddBodies(chart, 1);
    RunModelSetup(chart, [](Tboxsetup& dialog) {
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QList<QWidget*> visited;
        dialog.Edit1->setFocus();
        for (int i = 0; i < 4 && dialog.focusWidget(); ++i) {
            visited << dialog.focusWidget();
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(visited, (QList<QWidget*>{dialog.Edit1, dialog.Edit2, dialog.Edit3, dialog.ApplyWidget()}));
        EXPECT_EQ(dialog.focusWidget(), dialog.Edit1);
        dialog.close();
    });
}

} // namespace
} // namespace lp
