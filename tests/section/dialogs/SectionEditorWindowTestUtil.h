#pragma once
// Shared by the tests of the section's editor windows (the Graphic editor,
// the axis windows): the section chart on a copy of the example section
// with the editors started as the section editor's start-up starts them,
// and the helpers that check every control still offered changes what the
// section file keeps.

#include "chart/editors/ChartEditors.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/UnkeptSettings.h"
#include "section/dialogs/SectionGraphicEditor.h"
#include "section/editor/PolygonChart.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtCore/QVariant>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QStackedWidget>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace lp::test {

struct SectionEditorWindow : ::testing::Test {
    // Opens the copy on a chart of Width x Height shown in its window.
    void OpenExample(int Width, int Height)
    {
        InitializeChartEditors();
        RegisterSectionGraphicEditor();
        Section = Folder.filePath(QStringLiteral("example.sec"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), Section));
        Chart.SetBounds(0, 0, Width, Height);
        ASSERT_TRUE(Chart.ReadModelBlock(Section));
        Window = Chart.Widget();
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window));
        Window->repaint();
    }
    void TearDown() override
    {
        UnregisterSectionGraphicEditor();
        FinalizeChartEditors();
    }

    QTemporaryDir Folder;
    QString Section;
    TPolygonChart Chart;
    QWidget* Window = nullptr;
};

// Opens the brush dialog by Open, expects it to offer the brush's styles
// and colours but not its picture, which a section file does not keep, and
// cancels it.
inline void ExpectBrushDialogOffersNoPicture(const std::function<void()>& Open)
{
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        auto* dialog = qobject_cast<TBrushDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_FALSE(dialog->GroupImage->isEnabled());
        EXPECT_FALSE(dialog->Button1->isEnabled());
        EXPECT_EQ(dialog->GroupImage->toolTip(), SectionUnkeptReason);
        EXPECT_TRUE(dialog->LStyle->isEnabled());
        EXPECT_TRUE(dialog->Button2->isEnabled());
        dialog->reject();
    });
    Open();
    EXPECT_TRUE(seen) << "no brush dialog came up";
}

// Whether Control (a widget, or a button group by its first button) is
// offered on its window: enabled and not hidden (a tab that is not current
// counts as shown).
inline bool OfferedControl(const QObject* Control)
{
    auto* widget = qobject_cast<const QWidget*>(Control);
    if (auto* group = qobject_cast<const QButtonGroup*>(Control))
        widget = group->buttons().isEmpty() ? nullptr : group->buttons().first();
    if (!widget || !widget->isEnabled())
        return false;
    for (const QWidget* w = widget; w && !w->isWindow(); w = w->parentWidget()) {
        auto* stack = qobject_cast<const QStackedWidget*>(w->parentWidget());
        auto* tabs = stack ? qobject_cast<const QTabWidget*>(stack->parentWidget()) : nullptr;
        if (tabs ? !tabs->isTabVisible(tabs->indexOf(const_cast<QWidget*>(w))) : w->isHidden())
            return false;
    }
    return true;
}

// Expects every control among All that Name names as unkept to be disabled
// with the section's reason as its tooltip; how many it names.
inline int ExpectLockedWithTheReason(const QList<QWidget*>& All, const QString& Name)
{
    int found = 0;
    for (QWidget* control : All)
        if (IsNamedUnkept(*control, QStringList{Name})) {
            ++found;
            EXPECT_FALSE(control->isEnabled()) << Name.toStdString();
            EXPECT_EQ(control->toolTip(), SectionUnkeptReason) << Name.toStdString();
        }
    return found;
}

// Another value of the kind Value holds, for Control to be set to.
inline QVariant OtherValue(const QVariant& Value, const QObject* Control)
{
    if (Value.typeId() == QMetaType::Bool)
        return !Value.toBool();
    if (auto* combo = qobject_cast<const QComboBox*>(Control))
        return (Value.toInt() + 1) % std::max(combo->count(), 1);
    if (auto* spin = qobject_cast<const QSpinBox*>(Control))
        return Value.toInt() < spin->maximum() ? Value.toInt() + 1 : Value.toInt() - 1;
    if (Value.typeId() == QMetaType::QString)
        return Value.toString() + QStringLiteral("x");
    // Colours and other integers.
    return Value.toInt() ^ 0x102030;
}

} // namespace lp::test
