#include "chart/editors/EditorPage.h"

#include "EditorTestSupport.h"
#include "axis/AxisDialogTestSupport.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/TypedNumberEdit.h"
#include "chart/engine/PlotTitles.h"

#include <QtTest/QTest>
#include <QtWidgets/QApplication>
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

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

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

// --- A page destroyed while a field has the focus -------------------------------------------------

// What the fields of a TFocusedFieldsPage wrote, kept apart from the page
// so that it can be read after the page is gone.
struct TFieldWrites {
    double Number = 1;
    double Done = 1;
    int Spin = 1;
    int Writes = 0;
    int Edited = 0;
};

// A page whose fields read and write through a part its destructor frees
// (a scale held on the heap), as the real pages read through their
// controls and their target: a field reaching the page while it is being
// destroyed reads freed memory. A number field written at each keystroke,
// one written when its typing is done, a spin box, and a plain field whose
// handler is connected through ConnectUserChange.
class TFocusedFieldsPage : public TEditorPage {
public:
    QLineEdit* Number;
    QLineEdit* Done;
    QSpinBox* Spin;
    QLineEdit* Plain;

    explicit TFocusedFieldsPage(TFieldWrites& Writes) : FWrites(Writes)
    {
        TPageBuilder build(*this);
        Number = TPageBuilder::Named(new QLineEdit(this), "ENumber");
        Done = TPageBuilder::Named(new QLineEdit(this), "EDone");
        Spin = build.SpinBox("UDSpin", 0, 99);
        Plain = TPageBuilder::Named(new QLineEdit(this), "EPlain");
        build.Row(QStringLiteral("&Number:"), Number);
        build.Row(QStringLiteral("&Done:"), Done);
        build.Row(QStringLiteral("&Spin:"), Spin);
        build.Row(QStringLiteral("&Plain:"), Plain);
        BindNumberEdit(*this, Number, [this] { return std::optional<double>(FWrites.Number * *FScale); },
                       [this](double Value) { Write(FWrites.Number, Value); });
        BindNumberEdit(*this, Done, [this] { return std::optional<double>(FWrites.Done * *FScale); },
                       [this](double Value) { Write(FWrites.Done, Value); });
        Binder().WriteWhenDone(Done);
        Binder().Bind(
            Spin, [this] { return QVariant(FWrites.Spin * static_cast<int>(*FScale)); },
            [this](const QVariant& Value) {
                ++FWrites.Writes;
                FWrites.Spin = Value.toInt() / static_cast<int>(*FScale);
            });
        ConnectUserChange(Plain, &QLineEdit::editingFinished, this,
                          [this] { FWrites.Edited += static_cast<int>(*FScale); });
    }

private:
    void Write(double& Field, double Value)
    {
        ++FWrites.Writes;
        Field = Value / *FScale;
    }

    TFieldWrites& FWrites;
    std::unique_ptr<double> FScale = std::make_unique<double>(1);
};

// Types Text into the field Name of Page as a user does, replacing what it
// shows, without Enter: the field keeps the focus.
void TypeIntoField(TEditorPage& Page, const char* Name, const QString& Text)
{
    auto* field = Page.findChild<QWidget*>(QString::fromLatin1(Name));
    ASSERT_NE(field, nullptr) << Name;
    field->setFocus();
    auto* edit = qobject_cast<QLineEdit*>(field);
    if (auto* spin = qobject_cast<QSpinBox*>(field))
        edit = spin->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr) << Name;
    ASSERT_EQ(QApplication::focusWidget(), field) << Name;
    edit->selectAll();
    QTest::keyClicks(edit, Text);
}

// Where a page is shown when it is deleted: alone as a dialog, in a tab of
// a window, or inside another page in a window (that page is deleted).
enum class TPageShown { Alone, InAWindow, InAnOuterPage };

// A shown page deleted with the focus in one of its fields crashed: Qt's
// dialog teardown, after the page's own destructor, hid the page and took
// the focus out of the field, and the field's editing-finished handler
// looked its binding up in the binder already destroyed. Every field and
// handler kind, every way a page is shown: nothing of the page runs once
// it is being destroyed, and what was typed but not written is dropped.
TEST(EditorPage, DeletedWhileAFieldHasTheFocusItRunsNothingAndDropsWhatWasNotWritten)
{
    struct TTyping {
        const char* Field;
        const char* Text;
    };
    // A complete number (written at once), a half-typed one, a number
    // waiting for its typing to be done, a spin box's value, a plain text.
    const TTyping typings[] = {{"ENumber", "7"}, {"ENumber", "-"}, {"EDone", "7"}, {"UDSpin", "7"}, {"EPlain", "x"}};
    for (const TPageShown shown : {TPageShown::Alone, TPageShown::InAWindow, TPageShown::InAnOuterPage})
        for (const TTyping& typing : typings) {
            const std::string where = std::to_string(static_cast<int>(shown)) + " " + typing.Field + " " + typing.Text;
            TFieldWrites writes;
            QObject target;
            QDialog window;
            auto* tab = new QWidget(&window);
            auto* layout = new QVBoxLayout(&window);
            layout->addWidget(tab);
            // Takes the focus the deleted page gives up.
            layout->addWidget(new QPushButton(QStringLiteral("Close"), &window));
            auto* page = new TFocusedFieldsPage(writes);
            TEditorPage* deleted = page;
            if (shown == TPageShown::InAWindow) {
                EmbedEditorPage(page, tab);
            } else if (shown == TPageShown::InAnOuterPage) {
                deleted = new TEditorPage;
                EmbedEditorPage(deleted, tab);
                EmbedEditorPage(page, deleted);
            }
            page->SetTarget(&target);
            QWidget* shownWindow = shown == TPageShown::Alone ? static_cast<QWidget*>(page) : &window;
            shownWindow->show();
            shownWindow->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(shownWindow)) << where;
            TypeIntoField(*page, typing.Field, QString::fromLatin1(typing.Text));
            const TFieldWrites typed = writes;
            delete deleted;
            EXPECT_EQ(writes.Writes, typed.Writes) << where;
            EXPECT_EQ(writes.Number, typed.Number) << where;
            EXPECT_EQ(writes.Done, 1.0) << where << ": a value not yet written is dropped";
            EXPECT_EQ(writes.Spin, typed.Spin) << where;
            EXPECT_EQ(writes.Edited, 0) << where;
        }
}

// Closing a window is not deleting its page: the page is whole while the
// window hides, so a field's focus-out writes what its typing completed.
TEST(EditorPage, ClosingItsWindowWritesWhatAFieldLeftToItsFocusOut)
{
    for (const int way : {0, 1, 2}) {
        TFieldWrites writes;
        QObject target;
        QDialog window;
        auto* tab = new QWidget(&window);
        (new QVBoxLayout(&window))->addWidget(tab);
        auto* page = new TFocusedFieldsPage(writes);
        EmbedEditorPage(page, tab);
        page->SetTarget(&target);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        TypeIntoField(*page, "EDone", QStringLiteral("7"));
        EXPECT_EQ(writes.Done, 1.0);
        if (way == 0)
            QTest::keyClick(page->Done, Qt::Key_Escape);
        else if (way == 1)
            window.done(QDialog::Rejected);
        else
            test::ClickCloseBox(window);
        EXPECT_FALSE(window.isVisible()) << way;
        EXPECT_EQ(writes.Done, 7.0) << way;
    }
}

} // namespace
} // namespace lp
