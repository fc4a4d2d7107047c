#include "section/dialogs/BodyParametersDialog.h"

#include "section/editor/BodyParameters.h"

#include "../editor/SectionTestUtil.h"
#include "DialogTestUtil.h"
#include "chart/canvas/PlotPens.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/engine/PlotAppearance.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/gallery/ChartGalleryPanel.h"
#include "SectionEditorWindowTestUtil.h"

#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QSlider>
#include <QtWidgets/QTabWidget>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

#include <functional>
#include <utility>

namespace lp {
namespace {

using test::SaveScreenshot;
using test::TColorDialogAnswer;
using test::TypeInto;

// A section of three bodies and the dialog on body 1's ring.
struct TBodyDialogFixture {
    TPolygonChart Chart;
    TBsetup Dialog;
    int Changes = 0;

    TBodyDialogFixture()
    {
        Chart.SetBounds(0, 0, 640, 360);
        TSectionFixture::AddBodies(Chart, 3);
        Chart.onchangemodel = [this](TPolygonChart*) { ++Changes; };
        Chart.Model[1][0].params[psResistivity] = ParamValue(12.5);
        Chart.Model[1][0].params[psPolarizability] = ParamValue("*");
        Chart.Model[1][0].params[psLabelMode] = ParamValue(3);
        Chart.Model[1][0].params[psLabelText] = ParamValue("clay");
        Chart.RebuildMapSeries();
        Open(1, 0);
    }
    void Open(int Body, int Sub)
    {
        Dialog.Chart = &Chart;
        Dialog.Body = Body;
        Dialog.Sub = Sub;
        Dialog.MapIndex = Chart.FindMapPolygon(Body, Sub);
        Dialog.LoadBodyDialog();
    }
    TPlotPolygon* Polygon() const { return Chart.MapSeries()->Shapes()->GetPolygon(Chart.FindMapPolygon(1, 0)); }
    const TPolygonParams& Params(int Body, int Sub = 0) const { return Chart.Model[Body][Sub].params; }
};

TEST(BodyDialog, LoadsTheRingsSlotsWithEveryCopyBoxClear)
{
    TBodyDialogFixture F;
    F.Dialog.CheckBox3->setChecked(true);
    F.Dialog.LoadBodyDialog();
    EXPECT_EQ(F.Dialog.windowTitle(), QStringLiteral("Body parameters"));
    EXPECT_EQ(F.Dialog.Edit1->text(), QStringLiteral("12.500"));
    EXPECT_EQ(F.Dialog.Edit2->text(), QString()); // "*": not set
    EXPECT_EQ(F.Dialog.ComboBox1->currentIndex(), 3);
    EXPECT_EQ(F.Dialog.Edit5->text(), QStringLiteral("clay"));
    EXPECT_FALSE(F.Dialog.CheckBox3->isChecked());
}

TEST(BodyDialog, ApplyStoresAnEmptyLabelAsOneBlank)
{
    TBodyDialogFixture F;
    F.Dialog.show();
    F.Dialog.Edit5->clear();
    F.Dialog.Edit2->setText(QStringLiteral("7,25")); // a comma is a decimal point too
    QTest::mouseClick(F.Dialog.Button3, Qt::LeftButton);
    EXPECT_EQ(F.Params(1)[psLabelText].AsText(), " ");
    EXPECT_EQ(F.Dialog.Edit5->text(), QStringLiteral(" "));
    EXPECT_EQ(F.Params(1)[psResistivity].AsReal(), 12.5);
    EXPECT_EQ(F.Params(1)[psPolarizability].AsReal(), 7.25);
    EXPECT_EQ(F.Params(1)[psLabelMode].AsInteger(), 3);
    EXPECT_EQ(F.Changes, 1);
    EXPECT_TRUE(F.Dialog.isVisible()); // Apply keeps the dialog open
}

// Keys go to the active window only.
void Activate(QWidget& Dialog)
{
    Dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&Dialog));
}

// The label mode chosen by its accelerator and the arrow keys.
void ChooseLabelMode(TBsetup& Dialog, int Mode)
{
    QTest::keyClick(&Dialog, Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Dialog.ComboBox1);
    QTest::keyClick(Dialog.ComboBox1, Qt::Key_Home);
    for (int i = 0; i < Mode; ++i)
        QTest::keyClick(Dialog.ComboBox1, Qt::Key_Down);
}

int LiveUndoRecords(const TPolygonChart& Chart)
{
    int live = 0;
    for (int i = 0; i < Chart.UndoSequence.Length(); ++i)
        live += Chart.UndoSequence[i] >= 0 ? 1 : 0;
    return live;
}

TEST(BodyDialog, TypedValuesAndAModeGoInWithEnterAsOneUndoStep)
{
    TBodyDialogFixture F;
    F.Chart.PushUndo();
    const TPolygonParams before = F.Params(1);
    const int records = LiveUndoRecords(F.Chart);
    QTimer::singleShot(0, [&] {
        Activate(F.Dialog);
        TypeInto(F.Dialog.Edit1, QStringLiteral("250"));
        TypeInto(F.Dialog.Edit2, QStringLiteral("3.5"));
        ChooseLabelMode(F.Dialog, lmBoth);
        QTest::keyClick(F.Dialog.ComboBox1, Qt::Key_Return);
    });
    F.Dialog.exec();
    EXPECT_FALSE(F.Dialog.isVisible());
    EXPECT_EQ(F.Params(1)[psResistivity].AsReal(), 250.0);
    EXPECT_EQ(F.Params(1)[psPolarizability].AsReal(), 3.5);
    EXPECT_EQ(F.Params(1)[psLabelMode].AsInteger(), lmBoth);
    EXPECT_EQ(F.Params(1)[psLabelText].AsText(), "clay");
    EXPECT_EQ(F.Changes, 1);
    EXPECT_EQ(LiveUndoRecords(F.Chart), records + 1);
    // The body shows both values at once, on two lines.
    EXPECT_EQ(F.Polygon()->Text(), QStringLiteral("250 \u03A9\u00B7m\r3.5 %"));
    // One undo gives all of it back, and the label follows.
    F.Chart.Undo();
    for (int slot : {psResistivity, psPolarizability, psLabelMode, psLabelText})
        EXPECT_EQ(F.Params(1)[slot], before[slot]) << slot;
    EXPECT_EQ(F.Polygon()->Text(), QStringLiteral("clay"));
}

TEST(BodyDialog, AnEmptiedFieldMeansNotSet)
{
    TBodyDialogFixture F;
    QTimer::singleShot(0, [&] {
        Activate(F.Dialog);
        TypeInto(F.Dialog.Edit1, QString());
        ChooseLabelMode(F.Dialog, lmResistivity);
        QTest::keyClick(&F.Dialog, Qt::Key_Escape); // Esc does what Close does
    });
    F.Dialog.exec();
    EXPECT_TRUE(F.Params(1)[psResistivity].IsEmpty());
    EXPECT_EQ(F.Polygon()->Text(), QStringLiteral("\u2013 \u03A9\u00B7m"));
}

// Bad values were once ignored without a word (a text that was no number
// left the slot as it was and the dialog closed as if all was well).
TEST(BodyDialog, RefusedValuesKeepTheDialogOpenMarkedAndStoreNothing)
{
    struct TCase {
        bool Resistivity;
        const char* Typed;
    };
    const TCase cases[] = {{true, "0"},   {true, "-5"},  {true, "abc"}, {true, "1e999"},
                           {false, "100"}, {false, "-1"}, {false, "abc"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Resistivity ? "resistivity " : "polarizability ") + c.Typed);
        TBodyDialogFixture F;
        F.Chart.PushUndo();
        const int records = LiveUndoRecords(F.Chart);
        const TPolygonParams before = F.Params(1);
        QLineEdit* field = c.Resistivity ? F.Dialog.Edit1 : F.Dialog.Edit2;
        QLineEdit* other = c.Resistivity ? F.Dialog.Edit2 : F.Dialog.Edit1;
        bool checked = false;
        QTimer::singleShot(0, [&] {
            Activate(F.Dialog);
            TypeInto(other, QStringLiteral("42")); // a good value beside it is not stored either
            TypeInto(F.Dialog.Edit5, QStringLiteral("sand"));
            TypeInto(field, QString::fromLatin1(c.Typed));
            for (const auto& leave : {Qt::Key_Return, Qt::Key_Escape}) {
                QTest::keyClick(QApplication::focusWidget(), leave);
                EXPECT_TRUE(F.Dialog.isVisible());
            }
            QTest::mouseClick(F.Dialog.Button3, Qt::LeftButton);
            EXPECT_TRUE(F.Dialog.isVisible());
            F.Dialog.close(); // the close box
            EXPECT_TRUE(F.Dialog.isVisible());
            EXPECT_FALSE(F.Dialog.ErrorLabel->text().isEmpty());
            EXPECT_TRUE(F.Dialog.ErrorLabel->text().contains(c.Resistivity ? QStringLiteral("above 0")
                                                                            : QStringLiteral("up to (not including) 100")))
                << F.Dialog.ErrorLabel->text().toStdString();
            EXPECT_FALSE(field->styleSheet().isEmpty()); // marked
            EXPECT_EQ(QApplication::focusWidget(), field);
            for (int slot = 1; slot < ParamSlotCount; ++slot)
                EXPECT_EQ(F.Params(1)[slot], before[slot]) << slot;
            EXPECT_EQ(F.Changes, 0);
            EXPECT_EQ(LiveUndoRecords(F.Chart), records);
            if (!c.Resistivity)
                SaveScreenshot(F.Dialog, QStringLiteral("body-dialog-refused-value"));
            // Typing again clears the mark; a good value then closes.
            TypeInto(field, QStringLiteral("12"));
            EXPECT_TRUE(field->styleSheet().isEmpty());
            QTest::keyClick(field, Qt::Key_Return);
            checked = true;
        });
        F.Dialog.exec();
        ASSERT_TRUE(checked);
        EXPECT_FALSE(F.Dialog.isVisible());
        EXPECT_EQ(F.Params(1)[c.Resistivity ? psResistivity : psPolarizability].AsReal(), 12.0);
        EXPECT_EQ(F.Params(1)[c.Resistivity ? psPolarizability : psResistivity].AsReal(), 42.0);
        EXPECT_EQ(F.Changes, 1);
    }
}

// The phase field: typed (a comma a decimal point too) and stored with
// Enter, an emptied field not set, a value beyond a radian refused with the
// dialog kept open and nothing stored.
TEST(BodyDialog, ThePhaseGoesInTypedAndOneBeyondARadianIsRefused)
{
    TBodyDialogFixture F;
    QTimer::singleShot(0, [&] {
        Activate(F.Dialog);
        QTest::keyClick(&F.Dialog, Qt::Key_H, Qt::AltModifier);
        ASSERT_EQ(QApplication::focusWidget(), F.Dialog.PhaseEdit);
        TypeInto(F.Dialog.PhaseEdit, QStringLiteral("-20,5"));
        QTest::keyClick(F.Dialog.PhaseEdit, Qt::Key_Return);
    });
    F.Dialog.exec();
    EXPECT_EQ(F.Params(1)[psPhase].AsReal(), -20.5);
    EXPECT_EQ(F.Changes, 1);

    TBodyDialogFixture G;
    const ParamValue before = G.Params(1)[psPhase];
    bool checked = false;
    QTimer::singleShot(0, [&] {
        Activate(G.Dialog);
        TypeInto(G.Dialog.PhaseEdit, QStringLiteral("-1500"));
        QTest::keyClick(G.Dialog.PhaseEdit, Qt::Key_Return);
        EXPECT_TRUE(G.Dialog.isVisible());
        EXPECT_TRUE(G.Dialog.ErrorLabel->text().contains(QStringLiteral("from -1000 to 1000")))
            << G.Dialog.ErrorLabel->text().toStdString();
        EXPECT_EQ(G.Params(1)[psPhase], before);
        TypeInto(G.Dialog.PhaseEdit, QString());
        QTest::keyClick(G.Dialog.PhaseEdit, Qt::Key_Return);
        checked = true;
    });
    G.Dialog.exec();
    ASSERT_TRUE(checked);
    EXPECT_FALSE(G.Dialog.isVisible());
    EXPECT_TRUE(ParameterNotSet(G.Params(1)[psPhase]));
}

// Opening a body's dialog and leaving it marked the section modified and
// recorded an undo step, though nothing had changed.
TEST(BodyDialog, LeavingWithoutAChangeRecordsNothing)
{
    const std::pair<const char*, std::function<void(TBsetup&)>> ways[] = {
        {"Esc", [](TBsetup& Dialog) { QTest::keyClick(&Dialog, Qt::Key_Escape); }},
        {"Enter", [](TBsetup& Dialog) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }},
        {"close box", [](TBsetup& Dialog) { Dialog.close(); }},
        {"Close", [](TBsetup& Dialog) { QTest::mouseClick(Dialog.Button4, Qt::LeftButton); }},
        {"Apply, Close", [](TBsetup& Dialog) {
             QTest::mouseClick(Dialog.Button3, Qt::LeftButton);
             QTest::mouseClick(Dialog.Button4, Qt::LeftButton);
         }},
    };
    for (const auto& [way, leave] : ways) {
        TBodyDialogFixture F;
        // Values the dialog shows rounded stay as they are.
        F.Chart.Model[1][0].params[psResistivity] = ParamValue(12.345678);
        F.Chart.Model[1][0].params[psFit] = ParamValue(); // an empty "*" slot
        F.Open(1, 0);
        F.Chart.PushUndo();
        const int records = LiveUndoRecords(F.Chart);
        const TPolygonParams before = F.Params(1);
        QTimer::singleShot(0, [&, leave = leave] {
            Activate(F.Dialog);
            leave(F.Dialog);
        });
        F.Dialog.exec();
        EXPECT_FALSE(F.Dialog.isVisible()) << way;
        EXPECT_EQ(F.Changes, 0) << way;
        EXPECT_EQ(LiveUndoRecords(F.Chart), records) << way;
        for (int slot = 1; slot < ParamSlotCount; ++slot)
            EXPECT_EQ(F.Params(1)[slot], before[slot]) << way << " slot " << slot;
    }
}

TEST(BodyDialog, TheHostMediumHasParametersButNoLook)
{
    TBodyDialogFixture F;
    F.Open(0, 0);
    for (QWidget* control : std::initializer_list<QWidget*>{F.Dialog.Button7, F.Dialog.Button5, F.Dialog.Button1,
                                                            F.Dialog.Button2, F.Dialog.CheckBox1, F.Dialog.CheckBox5,
                                                            F.Dialog.ComboBox1, F.Dialog.Button8})
        EXPECT_FALSE(control->isEnabled()) << control->metaObject()->className();
    EXPECT_FALSE(F.Dialog.Button7->isHidden()); // disabled, not hidden
    for (QWidget* control : std::initializer_list<QWidget*>{F.Dialog.Edit1, F.Dialog.Edit2, F.Dialog.Edit5})
        EXPECT_TRUE(control->isEnabled());
    QTimer::singleShot(0, [&] {
        Activate(F.Dialog);
        TypeInto(F.Dialog.Edit1, QStringLiteral("80"));
        TypeInto(F.Dialog.Edit2, QStringLiteral("0.5"));
        SaveScreenshot(F.Dialog, QStringLiteral("body-dialog-host-medium"));
        QTest::keyClick(F.Dialog.Edit2, Qt::Key_Return);
    });
    F.Dialog.exec();
    EXPECT_EQ(F.Params(0)[psResistivity].AsReal(), 80.0);
    EXPECT_EQ(F.Params(0)[psPolarizability].AsReal(), 0.5);
    EXPECT_EQ(F.Changes, 1);
    // A body opened next has its look controls back.
    F.Open(1, 0);
    EXPECT_TRUE(F.Dialog.Button7->isEnabled());
    EXPECT_TRUE(F.Dialog.ComboBox1->isEnabled());
}

TEST(BodyDialog, CopyBoxesGiveEveryBodyButTheHostFrameTheLook)
{
    TBodyDialogFixture F;
    const TPolygonParams host = F.Params(0);
    TColorDialogAnswer colours;
    colours.Answer = 0x3366CC;
    QTest::mouseClick(F.Dialog.Button7, Qt::LeftButton);
    EXPECT_EQ(F.Polygon()->Color(), 0x3366CC); // live, before Apply
    F.Polygon()->SetParentPen(false);
    F.Polygon()->Pen()->SetWidth(4);
    F.Dialog.CheckBox1->setChecked(true);
    F.Dialog.CheckBox2->setChecked(true);
    F.Dialog.Apply();
    for (int body = 1; body <= 3; ++body) {
        EXPECT_EQ(F.Params(body)[psColor].AsInteger(), 0x3366CC) << body;
        EXPECT_EQ(F.Params(body)[psPen], F.Params(1)[psPen]) << body;
    }
    EXPECT_NE(F.Params(2)[psBrush], ParamValue()) << "brush slot untouched but present";
    EXPECT_EQ(F.Params(0)[psColor], host[psColor]);
    EXPECT_EQ(F.Params(0)[psPen], host[psPen]);
    // The rebuilt map shows the copied look.
    const TPlotPolygon* other = F.Chart.MapSeries()->Shapes()->GetPolygon(F.Chart.FindMapPolygon(3, 0));
    EXPECT_EQ(other->Color(), 0x3366CC);
    EXPECT_EQ(other->Pen()->Width(), 4);
}

TEST(BodyDialog, ACancelledColourChangesNothing)
{
    TBodyDialogFixture F;
    const TColor before = F.Polygon()->Color();
    TColorDialogAnswer colours; // answers Cancel
    QTest::mouseClick(F.Dialog.Button7, Qt::LeftButton);
    ASSERT_EQ(colours.Requests.size(), 1u);
    EXPECT_EQ(colours.Requests[0].Color, before);
    EXPECT_EQ(colours.Requests[0].Name, QStringLiteral("ColorDialog1"));
    EXPECT_EQ(F.Polygon()->Color(), before);
}

TEST(BodyDialog, GradientWaitsForTheGradientEditor)
{
    TBodyDialogFixture F;
    EXPECT_FALSE(F.Dialog.Button2->isEnabled());
    int edited = 0;
    EditGradientEntryPoint() = [&](QWidget*, TPlotGradient&) {
        ++edited;
        return true;
    };
    F.Dialog.LoadBodyDialog();
    EXPECT_TRUE(F.Dialog.Button2->isEnabled());
    F.Dialog.Button2Click();
    EditGradientEntryPoint() = nullptr;
    EXPECT_EQ(edited, 1);
}

// The real gradient editor behind the body dialog's "Gradient" button.
struct TGradientEditorEntry {
    TGradientEditorEntry() { EditGradientEntryPoint() = &EditGradientDialog; }
    ~TGradientEditorEntry() { EditGradientEntryPoint() = nullptr; }
};

// Runs Action on the gradient editor once it is open.
void WhenGradientEditorShows(std::function<void(TPlotGradientEditor&)> Action)
{
    QTimer::singleShot(0, [Action] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* editor = qobject_cast<TPlotGradientEditor*>(w); editor && editor->isVisible()) {
                Action(*editor);
                return;
            }
        ADD_FAILURE() << "the gradient editor did not open";
    });
}

void ClickPreset(TPlotGradientEditor& Editor, const QString& Name)
{
    Editor.PageControl1->setCurrentIndex(0);
    QListWidgetItem* item = Editor.Gallery->findItems(Name, Qt::MatchExactly).value(0);
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(Editor.Gallery->viewport(), Qt::LeftButton, {}, Editor.Gallery->visualItemRect(item).center());
}

TEST(BodyDialog, APresetChosenWithOKShowsOnTheBodyAndSurvivesCloseSaveAndReload)
{
    TGradientEditorEntry entry;
    TBodyDialogFixture F;
    F.Dialog.show();
    ASSERT_TRUE(F.Dialog.Button2->isEnabled());
    WhenGradientEditorShows([](TPlotGradientEditor& Editor) {
        if (!Editor.CBVisible->isChecked())
            QTest::mouseClick(Editor.CBVisible, Qt::LeftButton, {}, QPoint(6, Editor.CBVisible->height() / 2));
        ClickPreset(Editor, QStringLiteral("Sunset"));
        SaveScreenshot(Editor, QStringLiteral("body-gradient-editor"));
        QTest::mouseClick(Editor.BOk, Qt::LeftButton);
    });
    QTest::mouseClick(F.Dialog.Button2, Qt::LeftButton);
    EXPECT_TRUE(F.Polygon()->Gradient()->Visible());
    EXPECT_EQ(F.Polygon()->Gradient()->StartColor(), 0xB85A06);
    const std::string shown = GradientSettingsToText(*F.Polygon()->Gradient()).toStdString();
    QTest::mouseClick(F.Dialog.Button4, Qt::LeftButton);
    const std::string stored = F.Params(1)[psGradient].AsText();
    EXPECT_EQ(stored, shown);

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("gradient.sec"));
    F.Chart.WriteSection(file, {});
    TPolygonChart reloaded;
    reloaded.SetBounds(0, 0, 640, 360);
    ASSERT_TRUE(reloaded.ReadModelBlock(file));
    EXPECT_EQ(reloaded.Model[1][0].params[psGradient].AsText(), stored);
    reloaded.RebuildMapSeries();
    TPlotPolygon* polygon = reloaded.MapSeries()->Shapes()->GetPolygon(reloaded.FindMapPolygon(1, 0));
    EXPECT_EQ(polygon->Gradient()->StartColor(), 0xB85A06);
    EXPECT_TRUE(polygon->Gradient()->Visible());
}

TEST(BodyDialog, CancelAfterPresetsADirectionAndABalanceLeavesTheBodyAsItWas)
{
    TGradientEditorEntry entry;
    TBodyDialogFixture F;
    F.Dialog.show();
    const QString before = GradientSettingsToText(*F.Polygon()->Gradient());
    WhenGradientEditorShows([](TPlotGradientEditor& Editor) {
        ClickPreset(Editor, QStringLiteral("Hot"));
        ClickPreset(Editor, QStringLiteral("Ace"));
        Editor.PageControl1->setCurrentIndex(3);
        QTest::mouseClick(Editor.Directions->Chart(7)->Widget(), Qt::LeftButton);
        Editor.PageControl1->setCurrentIndex(2);
        Editor.SBBalance->setFocus();
        QTest::keyClick(Editor.SBBalance, Qt::Key_Left);
        QTest::mouseClick(Editor.BCancel, Qt::LeftButton);
    });
    QTest::mouseClick(F.Dialog.Button2, Qt::LeftButton);
    EXPECT_EQ(GradientSettingsToText(*F.Polygon()->Gradient()), before);
    const TPolygonParams params = F.Params(1);
    QTest::mouseClick(F.Dialog.Button4, Qt::LeftButton);
    EXPECT_EQ(F.Params(1)[psGradient], params[psGradient]);
}

TEST(BodyDialog, AsDefaultMakesTheSlotsThoseOfNewBodies)
{
    TBodyDialogFixture F;
    const TPolygonParams saved = DefaultParameters;
    F.Dialog.Edit5->setText(QStringLiteral("sand"));
    QTest::mouseClick(F.Dialog.Button8, Qt::LeftButton);
    EXPECT_EQ(DefaultParameters[psLabelText].AsText(), "sand");
    EXPECT_EQ(DefaultParameters[psColor], F.Params(1)[psColor]);
    EXPECT_EQ(DefaultParameters[psId].AsInteger(), -1);
    DefaultParameters = saved;
}

TEST(BodyDialog, TheHostFrameHasNoMapPolygonAndAppliesSafely)
{
    TBodyDialogFixture F;
    F.Open(0, 0);
    EXPECT_EQ(F.Dialog.MapIndex, -1);
    F.Dialog.Button7Click(); // nothing to colour
    F.Dialog.Edit5->setText(QStringLiteral("host"));
    F.Dialog.Apply();
    EXPECT_EQ(F.Params(0)[psLabelText].AsText(), "host");
}

TEST(BodyDialog, DoubleClickEntryOpensTheDialogAndCloseApplies)
{
    TBodyDialogFixture F;
    RegisterBodyDialog();
    ASSERT_TRUE(static_cast<bool>(BodyParametersEntryPoint()));
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TBsetup*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->Edit5->setText(QStringLiteral("gravel"));
        SaveScreenshot(*dialog, QStringLiteral("body-dialog"));
        QTest::mouseClick(dialog->Button4, Qt::LeftButton);
    });
    F.Chart.EditBodyParameters(F.Chart.FindMapPolygon(2, 0), 2, 0);
    UnregisterBodyDialog();
    EXPECT_FALSE(static_cast<bool>(BodyParametersEntryPoint()));
    EXPECT_EQ(F.Params(2)[psLabelText].AsText(), "gravel");
    EXPECT_EQ(F.Changes, 1);
}

// Closing with Esc or the close box used to skip Apply: the chart showed the
// new colour while the model, and so the saved file, kept the old one.
TEST(BodyDialog, EscAndTheCloseBoxApplyAsCloseDoes)
{
    const std::pair<const char*, std::function<void(TBsetup&)>> ways[] = {
        {"Esc", [](TBsetup& Dialog) { QTest::keyClick(&Dialog, Qt::Key_Escape); }},
        {"close box", [](TBsetup& Dialog) { Dialog.close(); }},
        {"Close", [](TBsetup& Dialog) { QTest::mouseClick(Dialog.Button4, Qt::LeftButton); }},
    };
    for (const auto& [way, closeDialog] : ways) {
        TBodyDialogFixture F;
        TColorDialogAnswer colours;
        colours.Answer = 0x2288EE;
        QTimer::singleShot(0, [&, close = closeDialog] {
            QTest::mouseClick(F.Dialog.Button7, Qt::LeftButton);
            F.Dialog.Edit5->setText(QStringLiteral("silt"));
            close(F.Dialog);
        });
        F.Dialog.exec();
        EXPECT_FALSE(F.Dialog.isVisible()) << way;
        EXPECT_EQ(F.Changes, 1) << way;
        // Model and map agree, also after the map is made again from the model.
        EXPECT_EQ(F.Params(1)[psColor].AsInteger(), 0x2288EE) << way;
        EXPECT_EQ(F.Params(1)[psLabelText].AsText(), "silt") << way;
        EXPECT_EQ(F.Polygon()->Color(), 0x2288EE) << way;
        F.Chart.RebuildMapSeries();
        EXPECT_EQ(F.Polygon()->Color(), 0x2288EE) << way;
        // And so does the saved file.
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("closed.sec"));
        F.Chart.WriteSection(file, {});
        TPolygonChart reader;
        ASSERT_TRUE(reader.ReadModelBlock(file)) << way;
        EXPECT_EQ(reader.Model[1][0].params[psColor].AsInteger(), 0x2288EE) << way;
        EXPECT_EQ(reader.Model[1][0].params[psLabelText].AsText(), "silt") << way;
    }
}

TEST(BodyDialog, PenButtonEditsThePolygonsOwnPen)
{
    TBodyDialogFixture F;
    QTimer::singleShot(0, [] {
        auto* pen = qobject_cast<TPenDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(pen, nullptr);
        pen->UDWidth->setValue(3);
        QTest::mouseClick(pen->BOk, Qt::LeftButton);
    });
    F.Dialog.Button5Click();
    EXPECT_FALSE(F.Polygon()->ParentPen());
    EXPECT_EQ(F.Polygon()->Pen()->Width(), 3);
}

// Guards a brush picture chosen through "Brush" that the body showed, then
// lost at Apply without a word: the section keeps a body's brush as a text
// without a picture, so the dialog offers none, as the Graphic editor's.
TEST(BodyDialog, TheBrushDialogOffersNoPictureTheSectionCannotKeep)
{
    TBodyDialogFixture F;
    test::ExpectBrushDialogOffersNoPicture([&F] { F.Dialog.Button1Click(); });

    // The same brush dialog opened from anywhere else still offers a picture.
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        auto* dialog = qobject_cast<TBrushDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_TRUE(dialog->GroupImage->isEnabled());
        dialog->reject();
    });
    TChartBrush brush;
    EditChartBrush(nullptr, brush);
    EXPECT_TRUE(seen);
}

TEST(BodyDialog, LayoutKeepsEveryControlInsideAndInTabOrder)
{
    TBodyDialogFixture F;
    F.Dialog.adjustSize();
    F.Dialog.show();
    Activate(F.Dialog);
    const QWidget* chain[] = {F.Dialog.Button7, F.Dialog.CheckBox1, F.Dialog.Button5,   F.Dialog.CheckBox2,
                              F.Dialog.Button1, F.Dialog.CheckBox3, F.Dialog.Button2,   F.Dialog.CheckBox4,
                              F.Dialog.Edit5,   F.Dialog.Edit1,     F.Dialog.Edit2,     F.Dialog.PhaseEdit,
                              F.Dialog.ComboBox1,
                              F.Dialog.CheckBox5, F.Dialog.Button3, F.Dialog.Button8,   F.Dialog.Button4};
    for (const QWidget* control : chain) {
        EXPECT_TRUE(control->isVisible());
        EXPECT_TRUE(F.Dialog.rect().contains(control->geometry()));
    }
    // Top to bottom.
    for (size_t i = 0; i + 1 < std::size(chain); ++i)
        EXPECT_LE(chain[i]->geometry().top(), chain[i + 1]->geometry().top()) << i;
    // Tab order: each control's successor among the visible, enabled ones.
    for (size_t i = 0; i + 1 < std::size(chain); ++i) {
        const QWidget* next = chain[i]->nextInFocusChain();
        while (next && (next->isHidden() || !(next->focusPolicy() & Qt::TabFocus)))
            next = next->nextInFocusChain();
        EXPECT_EQ(next, chain[i + 1]) << i;
    }
    // Each field is reached by its accelerator.
    const std::pair<Qt::Key, const QWidget*> keys[] = {
        {Qt::Key_R, F.Dialog.Edit1}, {Qt::Key_Z, F.Dialog.Edit2}, {Qt::Key_M, F.Dialog.ComboBox1},
        {Qt::Key_L, F.Dialog.Edit5}, {Qt::Key_H, F.Dialog.PhaseEdit}};
    for (const auto& [key, field] : keys) {
        QTest::keyClick(&F.Dialog, key, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), field) << key;
    }
    EXPECT_EQ(F.Dialog.ComboBox1->itemText(2), QStringLiteral("Resistivity & polarizability"));
}

} // namespace
} // namespace lp
