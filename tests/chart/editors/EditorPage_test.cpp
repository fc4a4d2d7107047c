#include "chart/editors/EditorPage.h"

#include "EditorTestSupport.h"
#include "axis/AxisDialogTestSupport.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/engine/PlotTitles.h"

#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialog>
#include <QtGui/QIntValidator>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QVBoxLayout>

#include <gtest/gtest.h>

#include <stdexcept>

namespace lp {
namespace {

using test::TEditorChart;

TEST(PropertyPath, WalksObjectsAndConvertsEnumerationsToOrdinals)
{
    TEditorChart chart;
    chart.Title()->Font()->SetColor(0x112233);
    EXPECT_EQ(ReadPropertyPath(&chart, QStringLiteral("Title.Font.Color")).toInt(), 0x112233);
    EXPECT_TRUE(WritePropertyPath(&chart, QStringLiteral("Title.Font.Color"), 0x445566));
    EXPECT_EQ(chart.Title()->Font()->Color(), 0x445566);
    EXPECT_EQ(ReadObjectPath(&chart, QStringLiteral("Title")), chart.Title());
    EXPECT_EQ(PropertyPathOwner(&chart, QStringLiteral("Title.Shadow.Color")), chart.Title()->Shadow());

    const int ordinal = ReadPropertyPath(&chart, QStringLiteral("Title.Alignment")).toInt();
    EXPECT_TRUE(WritePropertyPath(&chart, QStringLiteral("Title.Alignment"), ordinal == 0 ? 1 : 0));
    EXPECT_NE(ReadPropertyPath(&chart, QStringLiteral("Title.Alignment")).toInt(), ordinal);

    EXPECT_FALSE(ReadPropertyPath(&chart, QStringLiteral("Title.Nothing.Color")).isValid());
    EXPECT_FALSE(WritePropertyPath(&chart, QStringLiteral("Title.Nothing"), 1));
    EXPECT_FALSE(WritePropertyPath(nullptr, QStringLiteral("Title"), 1));
}

// A page of three bound controls on a chart title.
class TTitlePage : public TEditorPage {
public:
    QSpinBox* Size;
    QCheckBox* Visible;
    QComboBox* Alignment;
    int Enablings = 0;
    int Field = 3;
    QSpinBox* FieldSpin;
    int Typed = 7;
    int TypedWrites = 0;
    QLineEdit* TypedEdit;

    TTitlePage()
    {
        TPageBuilder build(*this);
        Size = build.SpinBox("UDSize", 0, 50);
        Visible = build.CheckBox("CBVisible", QStringLiteral("&Visible"));
        Alignment = TPageBuilder::Named(new QComboBox(this), "CBAlign");
        Alignment->addItems({QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Center")});
        FieldSpin = build.SpinBox("UDField", 0, 9);
        build.Row(QStringLiteral("&Size:"), Size);
        build.Full(Visible);
        build.Row(QStringLiteral("&Alignment:"), Alignment);
        build.Row(QStringLiteral("&Field:"), FieldSpin);
        TypedEdit = TPageBuilder::Named(new QLineEdit(this), "ETyped");
        TypedEdit->setValidator(new QIntValidator(-50, 50, TypedEdit));
        build.Row(QStringLiteral("&Typed:"), TypedEdit);
        SetReadingTabOrder(*this);
        Binder().Bind(Size, QStringLiteral("Font.Size"));
        Binder().Bind(Visible, QStringLiteral("Visible"));
        Binder().Bind(Alignment, QStringLiteral("Alignment"));
        Binder().Bind(
            FieldSpin, [this] { return QVariant(Field); }, [this](const QVariant& Value) { Field = Value.toInt(); });
        Binder().Bind(
            TypedEdit, [this] { return QVariant(QString::number(Typed)); },
            [this](const QVariant& Value) {
                ++TypedWrites;
                Typed = Value.toString().toInt();
            });
    }

protected:
    void UpdateEnabled() override
    {
        ++Enablings;
        Size->setEnabled(Visible->isChecked());
    }
};

TEST(EditorPage, FillingNeverWritesAndAChangeWritesOnceThenEnables)
{
    TEditorChart chart;
    TTitlePage page;
    page.SetTarget(chart.Title());
    page.Size->setValue(31); // before the first show: nothing written
    EXPECT_NE(chart.Title()->Font()->Size(), 31);
    page.show();
    EXPECT_EQ(page.Size->value(), chart.Title()->Font()->Size());
    const int paints = chart.Invalidations;
    const int enablings = page.Enablings;
    page.Visible->setChecked(false);
    EXPECT_FALSE(chart.Title()->Visible());
    EXPECT_GT(chart.Invalidations, paints);
    EXPECT_EQ(page.Enablings, enablings + 1);
    EXPECT_FALSE(page.Size->isEnabled());

    page.FieldSpin->setValue(7);
    EXPECT_EQ(page.Field, 7);
}

// Shown on its own a page is a dialog; Enter typed into a field applies the
// field and presses none of the page's buttons (they open dialogs).
TEST(EditorPage, EnterInAFieldOfAPageShownAlonePressesNoButton)
{
    TEditorChart chart;
    TTitlePage page;
    auto* penButton = TPageBuilder::Named(new QPushButton(QStringLiteral("&Border..."), &page), "BPen");
    int pressed = 0;
    QObject::connect(penButton, &QPushButton::clicked, [&pressed] { ++pressed; });
    page.SetTarget(chart.Title());
    page.show();
    test::TypeIntoSpinBox(page.Size, QStringLiteral("12"));
    EXPECT_EQ(pressed, 0);
    EXPECT_EQ(chart.Title()->Font()->Size(), 12);
    EXPECT_TRUE(page.isVisible());
}

// Escape in a page embedded in a tab hid the page and left the tab empty.
// Embedded, the page passes Escape to its window (a dialog closes); shown
// alone it is a dialog and closes itself.
TEST(EditorPage, EscapeInAnEmbeddedPageIsItsWindowsEscape)
{
    TEditorChart chart;
    QDialog window;
    auto* tab = new QWidget(&window);
    (new QVBoxLayout(&window))->addWidget(tab);
    auto* page = new TTitlePage;
    EmbedEditorPage(page, tab);
    page->SetTarget(chart.Title());
    window.show();
    int closed = 0;
    QObject::connect(&window, &QDialog::rejected, [&closed] { ++closed; });
    test::TypeIntoSpinBox(page->Size, QStringLiteral("14"));
    QTest::keyClick(page->Size, Qt::Key_Escape);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(page->isVisibleTo(&window));
    EXPECT_EQ(chart.Title()->Font()->Size(), 14); // kept

    TTitlePage alone;
    alone.SetTarget(chart.Title());
    alone.show();
    QTest::keyClick(alone.Alignment, Qt::Key_Escape);
    EXPECT_FALSE(alone.isVisible());
}

TEST(EditorPage, HalfTypedNumbersAreNotApplied)
{
    TEditorChart chart;
    TTitlePage page;
    page.SetTarget(chart.Title());
    page.show();
    EXPECT_EQ(page.TypedEdit->text(), QStringLiteral("7"));
    page.TypedEdit->selectAll();
    QTest::keyClick(page.TypedEdit, Qt::Key_Delete); // empty
    QTest::keyClick(page.TypedEdit, Qt::Key_Minus);  // "-"
    EXPECT_EQ(page.TypedWrites, 0);
    EXPECT_EQ(page.Typed, 7);
    QTest::keyClick(page.TypedEdit, Qt::Key_4);
    EXPECT_EQ(page.Typed, -4);
    EXPECT_EQ(page.TypedWrites, 1);
    QTest::keyClicks(page.TypedEdit, QStringLiteral("9")); // -49
    QTest::keyClicks(page.TypedEdit, QStringLiteral("9")); // -499: refused by the validator
    EXPECT_EQ(page.Typed, -49);
}

TEST(EditorPage, ValuesSetInCodeShowAfterRefreshAndOutOfRangeShowsClamped)
{
    TEditorChart chart;
    TTitlePage page;
    page.SetTarget(chart.Title());
    page.show();
    chart.Title()->Font()->SetSize(80);
    chart.Title()->SetAlignment(TChartTitle::taRightJustify);
    page.Refresh();
    EXPECT_EQ(page.Size->value(), 50);
    EXPECT_EQ(chart.Title()->Font()->Size(), 80); // shown clamped, never written back
    EXPECT_EQ(page.Alignment->currentIndex(), static_cast<int>(TChartTitle::taRightJustify));
    page.Alignment->setCurrentIndex(2);
    EXPECT_EQ(static_cast<int>(chart.Title()->Alignment()), 2);
}

TEST(EditorPage, LabelsHaveBuddiesAndTabFollowsReading)
{
    TTitlePage page;
    page.show();
    for (QLabel* label : page.findChildren<QLabel*>())
        EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
    page.activateWindow();
    page.Size->setFocus();
    QTest::keyClick(page.Size, Qt::Key_Tab);
    EXPECT_EQ(page.focusWidget(), page.Visible);
    QTest::keyClick(page.Visible, Qt::Key_Tab);
    EXPECT_EQ(page.focusWidget(), page.Alignment);
}

// A page whose writes fail: a bound box whose setter raises an error of no
// class of the system, and a button whose handler raises one.
class TFailingWritesPage : public TEditorPage {
public:
    bool Stored = false;
    QCheckBox* Box;
    QPushButton* Button;
    QPushButton* Quiet;

    TFailingWritesPage()
    {
        TPageBuilder build(*this);
        Box = build.CheckBox("CBFailing", QStringLiteral("&Failing"));
        Button = build.Button("BFailing", QStringLiteral("F&ails..."));
        Quiet = build.Button("BAborts", QStringLiteral("&Aborts"));
        build.Line({Box, Button, Quiet});
        Binder().Bind(
            Box, [this] { return QVariant(Stored); },
            [](const QVariant&) { throw std::length_error("The list cannot grow"); });
        ConnectUserChange(Button, &QPushButton::clicked, this, [] { throw ERangeError("Point index 9 out of range"); });
        ConnectUserChange(Quiet, &QPushButton::clicked, this, [] { throw EAbort(); });
    }
};

// A setter raising out of a button handler went through Qt's event loop and
// ended the program: the guard turns it into the message and goes on.
TEST(EditorPage, AWriteThatRaisesEndsWithItsMessageThroughARealClick)
{
    QObject target;
    test::TShownPage<TFailingWritesPage> shown(&target);
    TFailingWritesPage& page = shown.Page;
    test::TMessages messages;
    test::ClickNearLeftEdge(page.Box);
    EXPECT_FALSE(page.Box->isChecked()); // the target kept its value
    QTest::mouseClick(page.Button, Qt::LeftButton);
    QTest::mouseClick(page.Quiet, Qt::LeftButton); // an abort says nothing
    EXPECT_EQ(messages.Texts,
              (QStringList{QStringLiteral("The list cannot grow"), QStringLiteral("Point index 9 out of range")}));
    EXPECT_TRUE(page.isVisible());
}

} // namespace
} // namespace lp
