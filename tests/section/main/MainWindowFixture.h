#pragma once
// The main window as a user meets it: started on a copy of the example
// section in a folder of the test's own, driven by mouse and key events.

#include "section/main/MainWindow.h"

#include "section/dialogs/BodyParametersDialog.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "section/forward/ForwardResponse.h"

#include "DialogTestUtil.h"

#include <QtCore/QFile>
#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QCursor>
#include <QtGui/QMouseEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QTableView>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace lp::test {

// A file's bytes; empty when it cannot be read.
inline QByteArray FileBytes(const QString& Name)
{
    QFile file(Name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A section file's bytes with each parameter line's first token, the map
// polygon id that every read and every rebuild of the map gives anew,
// blanked.
inline QByteArray SectionWithoutIds(const QString& Name)
{
    QList<QByteArray> lines = FileBytes(Name).split('\n');
    for (QByteArray& text : lines)
        if (text.count(' ') >= 20 && text.endsWith(" \r"))
            text = "id" + text.mid(text.indexOf(' '));
    return lines.join('\n');
}

inline const QString ExampleFile = QStringLiteral(LP_EXAMPLES_DIR "/example.sec");

// An edit left in hand: in Mode, a press at From dragged to To, not placed.
struct TEditInHand {
    const char* Name;
    TPolygonEditMode Mode;
    QPointF From, To;
};

struct MainWindow : ::testing::Test {
    QTemporaryDir Folder;
    QString Section;
    std::unique_ptr<TMainfrm> Window;
    QStringList Messages;

    void SetUp() override
    {
        // The mouse rests away from every window until a test places it.
        QCursor::setPos(0, 0);
        Application().ShowMessageHook = [this](const QString& Text) { Messages << Text; };
        MessageService() = [this](const TMessageRequest& Request) {
            Messages << Request.Text;
            return int(mrOk);
        };
        // Settings (recent files, window places) of the test's own: tests
        // running beside it must not push its entries out of the lists.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Folder.filePath(QStringLiteral("settings")));
        // The example beside its picture, in a folder of the test's own.
        for (const char* name : {"example.sec", "example.jpg"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/") + name, Folder.filePath(name)));
        Section = Folder.filePath(QStringLiteral("example.sec"));
    }
    void TearDown() override
    {
        // Nothing left to ask about when the window goes.
        if (Window)
            Window->hide();
        Window.reset();
        Application().ShowMessageHook = {};
        ResetMessageService();
        ResetCommonDialogService();
    }

    void Start(const QStringList& Arguments)
    {
        Window = std::make_unique<TMainfrm>(Arguments);
        Window->resize(1100, 700);
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
        Activate();
        // The command-line timer opens the file on its first tick.
        QTRY_VERIFY_WITH_TIMEOUT(Window->SectionOpen(), 5000);
        QCoreApplication::processEvents();
    }

    // Shortcuts reach the active window only.
    void Activate()
    {
        Window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    }

    TPolygonChart& Chart() { return *Window->PolygonChart1; }
    // "Measured" data for the modelling windows: the forward library's
    // response of the open section over a host of Host ohm-m, on a
    // dipole-dipole survey of Electrodes and Levels (one thread).
    TForwardResult FieldResponseOver(double Host, int Electrodes, int Levels)
    {
        const TForwardModel ground = PrepareForwardModel(Chart().Model, Chart().Nodes, Chart().ModelArea, Host);
        TArrayLayout layout;
        layout.Electrodes = Electrodes;
        layout.Levels = Levels;
        TForwardOptions options;
        options.Threads = 1;
        return ComputeForwardResponse(ground, MakeArraySurvey(layout, ground.Left, ground.Right), options);
    }
    // A section over 0..1000 x 0..200 with a hill in its surface: level at
    // depth 20 at the sides, from x 440 (depth 19) up to the crest at x 500
    // (depth 10) and down to x 560 (depth 19); a conductive clay block
    // (15 ohm-m) under the crest's east flank. Written over Section.
    void WriteHillSection()
    {
        const char* const text =
            "example.jpg\r\n"
            " 0 0 1000 200\r\n"
            "\r\n"
            "VexaPolyModelDescription2.0\r\n"
            " 0 0\r\n"
            " 0 1000 0 200\r\n"
            "1 5\r\n"
            " 0 20 440 19 500 10 560 19 1000 20\r\n"
            "11\r\n"
            " 0 20 0 1 1\r\n"
            " 0 200 0 1 2\r\n"
            " 1000 200 0 1 4\r\n"
            " 1000 20 0 1 5\r\n"
            " 505 16 0 1 0\r\n"
            " 525 19 0 1 0\r\n"
            " 525 30 0 1 0\r\n"
            " 505 30 0 1 0\r\n"
            " 560 19 0 1 6\r\n"
            " 500 10 0 1 6\r\n"
            " 440 19 0 1 6\r\n"
            "2\r\n"
            "1\r\n"
            "-1 * * * * * * * * * * * * * * * * * * * \r\n"
            "0 1 2 3 8 9 10 0 10 9 8 3 2 1 \r\n"
            "1\r\n"
            "6 12632257#0 8421504&0&0&1&0&4&1 50$0$0$65535$16711680$0$255$0 5949670 * * Clay 1 * 15.000 2.000 "
            "1.000 1.000 * * * * * * \r\n"
            "4 5 6 7 \r\n"
            "0\r\n"
            "EndPolyModelDescription2.0\r\n";
        QFile file(Section);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    // A field survey inside the hill section's much wider model area: 38
    // electrodes over 70 m across the crest (x 465 to 535), dipole-dipole
    // n = 1..8 (252 data), its response over a host of 130 ohm-m, the
    // electrodes on the surface. Needs the hill section open.
    TForwardResult HillSurveyResponse()
    {
        const TForwardModel ground = PrepareForwardModel(Chart().Model, Chart().Nodes, Chart().ModelArea, 130.0);
        TSurvey survey;
        for (int e = 0; e < 38; ++e)
            survey.Electrodes.push_back({465.0 + 70.0 * e / 37.0, 0.0});
        survey.Configurations = ArrayConfigurations(TArrayKind::DipoleDipole, 38, 8);
        TForwardOptions options;
        options.Threads = 2;
        return ComputeForwardResponse(ground, survey, options);
    }
    // The response written as a measured file with the electrodes'
    // elevations (x z; a b m n rhoa).
    QString WriteHillSurveyFile(const TForwardResult& Response, const QString& Name = QStringLiteral("hill.dat"))
    {
        return WriteRhoaFile(Name, Response.Survey.Electrodes, Response.Survey.Configurations, Response.Resistivities);
    }
    // A unified data file of the electrodes (x z) and, per configuration,
    // its apparent resistivity (a b m n rhoa, electrodes from 1).
    QString WriteRhoaFile(const QString& Name, const std::vector<TElectrode>& Electrodes,
                          const std::vector<TConfiguration>& Configurations, const std::vector<double>& Rhoa)
    {
        QString text = QStringLiteral("%1\n# x z\n").arg(Electrodes.size());
        for (const TElectrode& electrode : Electrodes)
            text += QStringLiteral("%1 %2\n").arg(electrode.x, 0, 'g', 17).arg(electrode.z, 0, 'g', 17);
        text += QStringLiteral("%1\n# a b m n rhoa\n").arg(Rhoa.size());
        for (size_t d = 0; d < Rhoa.size(); ++d) {
            const TConfiguration& c = Configurations.at(d);
            text += QStringLiteral("%1 %2 %3 %4 %5\n")
                        .arg(c.a + 1)
                        .arg(c.b + 1)
                        .arg(c.m + 1)
                        .arg(c.n + 1)
                        .arg(Rhoa[d], 0, 'g', 17);
        }
        QFile file(Folder.filePath(Name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
        return file.fileName();
    }
    QWidget* ChartWidget() { return Window->ChartWidget(); }
    QPoint Pixel(double X, double Y)
    {
        return {Chart().BottomAxis()->CalcPosValue(X), Chart().LeftAxis()->CalcPosValue(Y)};
    }
    void MoveMouse(QPoint At, Qt::MouseButtons Buttons)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(At), ChartWidget()->mapToGlobal(QPointF(At)), Qt::NoButton,
                         Buttons, Qt::NoModifier);
        QApplication::sendEvent(ChartWidget(), &move);
    }
    void Click(Qt::MouseButton Button, QPoint At)
    {
        QTest::mousePress(ChartWidget(), Button, {}, At);
        QTest::mouseRelease(ChartWidget(), Button, {}, At);
    }
    // Left clicks at Points (model units), the mouse moved to each first.
    void LeftClicks(const std::vector<QPointF>& Points)
    {
        for (const QPointF& point : Points) {
            const QPoint at = Pixel(point.x(), point.y());
            MoveMouse(at, Qt::NoButton);
            Click(Qt::LeftButton, at);
        }
    }
    // A left press at From, dragged to To, released; no right click, so a
    // picked node stays in hand.
    void DragWithoutDropping(QPointF From, QPointF To)
    {
        const QPoint from = Pixel(From.x(), From.y());
        const QPoint to = Pixel(To.x(), To.y());
        MoveMouse(from, Qt::NoButton);
        QTest::mousePress(ChartWidget(), Qt::LeftButton, {}, from);
        for (int step = 1; step <= 5; ++step)
            MoveMouse(from + (to - from) * step / 5, Qt::LeftButton);
        QTest::mouseRelease(ChartWidget(), Qt::LeftButton, {}, to);
    }
    void PickUp(const TEditInHand& Edit)
    {
        Window->ChooseMode(Edit.Mode);
        DragWithoutDropping(Edit.From, Edit.To);
        ASSERT_TRUE(Chart().EditInHand()) << Edit.Name;
    }
    // Move node: press on the node at From, drag, drop with the right button.
    void DragNode(QPointF From, QPointF To)
    {
        DragWithoutDropping(From, To);
        Click(Qt::RightButton, Pixel(To.x(), To.y()));
    }
    int NodeAt(double X, double Y)
    {
        for (int i = 0; i < Chart().Nodes.Length(); ++i)
            if (std::abs(Chart().Nodes[i].x - X) < 1e-6 && std::abs(Chart().Nodes[i].y - Y) < 1e-6)
                return i;
        return -1;
    }
    // One key going down or up as the keyboard sends it, to the window's
    // focus, with the modifiers held at that moment. (QTest's key clicks
    // press and release the modifiers around every key, so they cannot
    // hold Ctrl over several keys.)
    void SendKey(bool Press, int Key, Qt::KeyboardModifiers Held, const QString& Text = {})
    {
        QWidget* focus = QApplication::focusWidget();
        QWidget* target = focus && focus->window() == Window.get() ? focus : Window.get();
        QTest::simulateEvent(target, Press, Key, Held, Text, false);
    }
    void PressCtrl() { SendKey(true, Qt::Key_Control, Qt::NoModifier); }
    void ReleaseCtrl() { SendKey(false, Qt::Key_Control, Qt::ControlModifier); }
    // Z tapped while Ctrl is held.
    void TapZWithCtrl()
    {
        SendKey(true, Qt::Key_Z, Qt::ControlModifier, QStringLiteral("z"));
        SendKey(false, Qt::Key_Z, Qt::ControlModifier, QStringLiteral("z"));
    }
    // Ctrl+Z as typed: Ctrl down, Z down and up, Ctrl up.
    void PressCtrlZ()
    {
        PressCtrl();
        TapZWithCtrl();
        ReleaseCtrl();
    }
    // Shift + right click on an axis, Shift held and let go as the keyboard
    // does it, then Caption in the axis menu.
    void ChooseFromAxisMenu(bool Bottom, const char* Caption)
    {
        ChartWidget()->repaint();
        const TChartAxis& axis = Bottom ? *Chart().BottomAxis() : *Chart().LeftAxis();
        const QPoint at = Bottom ? QPoint(axis.CenterPixel(), axis.AxisLinePixel() + 2)
                                 : QPoint(axis.AxisLinePixel() - 2, axis.CenterPixel());
        SendKey(true, Qt::Key_Shift, Qt::NoModifier);
        QTest::mousePress(ChartWidget(), Qt::RightButton, Qt::ShiftModifier, at);
        QTest::mouseRelease(ChartWidget(), Qt::RightButton, Qt::ShiftModifier, at);
        SendKey(false, Qt::Key_Shift, Qt::ShiftModifier);
        TPopupMenu& menu = Chart().PopupMenu();
        ASSERT_TRUE(menu.PoppedUp());
        ASSERT_EQ(Chart().PopupAxis(), &axis);
        for (int i = 0; i < menu.Count(); ++i)
            if (menu.Item(i).Caption == Caption) {
                menu.Click(i);
                Activate();
                return;
            }
        ADD_FAILURE() << "the axis menu has no " << Caption;
    }
    // Chooses Command as a user does: a click on its menu's title in the
    // menu bar, then a click on the command in the menu that opens.
    void ChooseFromMenuBar(QAction* Command)
    {
        QMenuBar* bar = Window->menuBar();
        for (QAction* title : bar->actions()) {
            QMenu* menu = title->menu();
            if (!menu || !menu->actions().contains(Command))
                continue;
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
            ASSERT_TRUE(menu->isVisible()) << title->text().toStdString() << " did not open";
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(Command).center());
            return;
        }
        ADD_FAILURE() << "no menu of the menu bar holds " << Command->text().toStdString();
    }
    // Yes/No questions answered from Answers in turn (No once none is left)
    // and noted in Asked as "caption|text"; a No shows the file dialog
    // again, which is then cancelled. Other messages go to Messages.
    void AnswerReplaceQuestions(std::vector<int>& Answers, QStringList& Asked)
    {
        MessageService() = [this, &Answers, &Asked](const TMessageRequest& Request) {
            if (Request.Buttons == TMsgDlgButtons(mbYes | mbNo)) {
                Asked << Request.Caption + QLatin1Char('|') + Request.Text;
                const int answer = Answers.empty() ? int(mrNo) : Answers.front();
                if (!Answers.empty())
                    Answers.erase(Answers.begin());
                if (answer == mrNo)
                    QTimer::singleShot(0, [] {
                        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()),
                                                 5000);
                        qobject_cast<QFileDialog*>(QApplication::activeModalWidget())->reject();
                    });
                return answer;
            }
            Messages << Request.Text;
            return int(mrOk);
        };
    }
    // Typed entered into the file name box of a file dialog, then Return.
    static void TypeIntoFileDialog(QFileDialog& Dialog, const QString& Typed)
    {
        auto* edit = Dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->setText(Typed);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    static void TypeInto(QWidget* Field, const QString& Text) { test::TypeInto(Field, Text); }
    // The body dialog's label mode chosen by its accelerator and the arrow keys.
    static void ChooseLabelMode(TBsetup& Dialog, int Mode)
    {
        QTest::keyClick(&Dialog, Qt::Key_M, Qt::AltModifier);
        QTest::keyClick(Dialog.ComboBox1, Qt::Key_Home);
        for (int i = 0; i < Mode; ++i)
            QTest::keyClick(Dialog.ComboBox1, Qt::Key_Down);
    }
    // A cell of a table edited as a user does: made current, F2, Text typed
    // over it, Return (the view commits from its event loop).
    static void TypeIntoTableCell(QTableView& Table, int Row, int Column, const QString& Text)
    {
        Table.window()->activateWindow();
        Table.setFocus();
        Table.selectionModel()->setCurrentIndex(Table.model()->index(Row, Column), QItemSelectionModel::NoUpdate);
        QTest::keyClick(&Table, Qt::Key_F2);
        // The editor, found among the view's children: the window system
        // may give the focus back to the main window meanwhile.
        QLineEdit* editor = nullptr;
        for (QLineEdit* edit : Table.viewport()->findChildren<QLineEdit*>())
            if (edit->isVisible())
                editor = edit;
        ASSERT_NE(editor, nullptr) << "no cell editor opened";
        TypeInto(editor, Text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    void DoubleClickAt(double X, double Y)
    {
        const QPoint at = Pixel(X, Y);
        MoveMouse(at, Qt::NoButton);
        QTest::mouseDClick(ChartWidget(), Qt::LeftButton, {}, at);
    }
    // Double-clicks (X, Y) of the model and runs Answer on the body dialog
    // once it is active.
    void InBodyDialog(double X, double Y, const std::function<void(TBsetup&)>& Answer)
    {
        AnswerModal<TBsetup>([&] { DoubleClickAt(X, Y); },
                             [&](TBsetup& Dialog) {
                                 Dialog.activateWindow();
                                 ASSERT_TRUE(QTest::qWaitForWindowActive(&Dialog));
                                 Answer(Dialog);
                             });
        QCoreApplication::processEvents();
    }
    // Runs Answer on the modal window that Action opens, once it is up.
    template <class TModal>
    void AnswerModal(const std::function<void()>& Action, const std::function<void(TModal&)>& Answer)
    {
        bool answered = false;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<TModal*>(QApplication::activeModalWidget()) != nullptr, 5000);
            auto* modal = qobject_cast<TModal*>(QApplication::activeModalWidget());
            answered = true;
            Answer(*modal);
        });
        Action();
        EXPECT_TRUE(answered) << "no " << TModal::staticMetaObject.className() << " came up";
    }
};

} // namespace lp::test
