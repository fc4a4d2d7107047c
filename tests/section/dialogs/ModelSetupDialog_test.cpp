#include "section/dialogs/ModelSetupDialog.h"

#include "../editor/SectionTestUtil.h"
#include "DialogTestUtil.h"

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QAbstractButton>

namespace lp {
namespace {

TEST(ModelSetup, OnlyASoundAreaIsApplied)
{
    struct TRow {
        const char *Left, *Right, *Bottom;
        bool Applied;
    };
    const TRow rows[] = {
        {"-100", "1200", "150", true},   {"500", "100", "100", false}, {"100", "100", "100", false},
        {"0", "1000", "-1", false},      {"x", "1000", "100", false},  {"0", "*", "100", false},
        {"0", "1000", "", false},        {"0,5", "900,5", "80", true},
    };
    for (const TRow& row : rows) {
        TPolygonChart chart;
        chart.SetBounds(0, 0, 640, 360);
        chart.NewModel({}, false, 0, 1000, 0, 100);
        const TModelArea before = chart.ModelArea;
        const bool applied = ApplyModelSetup(chart, false, QString::fromLatin1(row.Left),
                                             QString::fromLatin1(row.Right), QString::fromLatin1(row.Bottom));
        SCOPED_TRACE(row.Left + std::string(" ") + row.Right + " " + row.Bottom);
        EXPECT_EQ(applied, row.Applied);
        if (row.Applied) {
            EXPECT_EQ(chart.ModelArea.left, std::stod(QString::fromLatin1(row.Left).replace(',', '.').toStdString()));
            EXPECT_EQ(chart.ModelArea.top, before.top);
        } else {
            EXPECT_EQ(chart.ModelArea.left, before.left);
            EXPECT_EQ(chart.ModelArea.right, before.right);
            EXPECT_EQ(chart.ModelArea.bottom, before.bottom);
        }
        EXPECT_GT(chart.ScaleX, 0.0);
    }
}

// Runs ModelSetup, answering the dialog with Answer once it is up.
void RunModelSetup(TPolygonChart& Chart, std::function<void(Tboxsetup&)> Answer)
{
    QTimer::singleShot(0, [Answer] {
        auto* dialog = qobject_cast<Tboxsetup*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        Answer(*dialog);
    });
    ModelSetup(Chart, false);
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

} // namespace
} // namespace lp
