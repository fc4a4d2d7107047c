// Saving from the main window as a user does it: a save writes the last
// finished edit (an edit still in hand is put back first) and never a model
// the editor could not open again, the file dialog asks before replacing
// the file that will really be written, and a picture that cannot be
// decoded is named when a section opens.

#include "MainWindowFixture.h"

#include "../editor/SectionModelCheck.h"

#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotPreview.h"
#include "section/editor/ModelExport.h"
#include "section/main/MainWindowComponents.h"
#include "section/main/PictureSettingsDialog.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QToolButton>

#include <vector>

namespace lp {
namespace {

using test::MainWindow;
using test::SectionWithoutIds;

void WriteBytes(const QString& Name, const QByteArray& Bytes)
{
    QFile file(Name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(Bytes);
}

struct Saving : MainWindow {
    // File > "Save section...", the dialog answered with FileName and the
    // filter FilterIndex.
    void SaveThroughTheMenu(const QString& FileName, int FilterIndex = 1)
    {
        ASSERT_EQ(Window->Savefile1->text(), QStringLiteral("&Save section..."));
        CommonDialogService().ExecuteSave = [&](TSaveDialogRequest& Request) {
            Request.FileName = FileName;
            Request.FilterIndex = FilterIndex;
            return true;
        };
        Window->Savefile1->trigger();
        CommonDialogService().ExecuteSave = {};
    }
    void ChooseMode(TPolygonEditMode Mode) { Window->ModeButtons.at(Mode)->click(); }
    QString Title() const { return QStringLiteral("Section editor ") + Section; }
    // The section as the window writes it before any edit (the picture's
    // line then names the picture found).
    QByteArray SavedBeforeTheEdit()
    {
        SaveThroughTheMenu(Section);
        EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
        return SectionWithoutIds(Section);
    }
    // The file saved holds Original, the section before the edit, and the
    // window has nothing in hand and no change to save.
    void ExpectSavedAsBeforeTheEdit(const QByteArray& Original)
    {
        EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
        EXPECT_EQ(SectionWithoutIds(Section).toStdString(), Original.toStdString());
        EXPECT_FALSE(Window->Modified());
        EXPECT_EQ(Window->windowTitle(), Title());
        EXPECT_FALSE(Chart().Editing);
        EXPECT_TRUE(Chart().DrawnPoints.Empty());
        EXPECT_EQ(Chart().RubberBandSeries->Count(), 0);
    }
    // The node within a pixel or two of (X, Y), -1 for none.
    int NodeNear(double X, double Y)
    {
        for (int i = 0; i < Chart().Nodes.Length(); ++i)
            if (std::abs(Chart().Nodes[i].x - X) < 2 && std::abs(Chart().Nodes[i].y - Y) < 2)
                return i;
        return -1;
    }
};

// An edit started in each mode that holds something between presses.
struct TEditInHand {
    const char* Name;
    TPolygonEditMode Mode;
    std::function<void(Saving&)> Start;
};

const std::vector<TEditInHand>& EditsInHand()
{
    static const std::vector<TEditInHand> edits = {
        {"a node held over a valid place", pmMoveNode,
         [](Saving& T) { T.DragWithoutDropping({300, 140}, {330, 150}); }},
        {"a node held over the sandstone", pmMoveNode,
         [](Saving& T) { T.DragWithoutDropping({300, 140}, {300, 100}); }},
        {"a line point held", pmMoveLineNode, [](Saving& T) { T.DragWithoutDropping({300, 130}, {320, 110}); }},
        {"a line held", pmMoveLine, [](Saving& T) { T.DragWithoutDropping({300, 130}, {320, 112}); }},
        {"a sub-polygon held", pmMoveSubPolygon, [](Saving& T) { T.DragWithoutDropping({450, 160}, {460, 165}); }},
        {"a body held", pmMovePolygon, [](Saving& T) { T.DragWithoutDropping({200, 70}, {205, 75}); }},
        {"a polygon half drawn", pmAddPolygon,
         [](Saving& T) { T.LeftClicks({{870, 40}, {950, 40}, {950, 100}}); }},
        {"a line half drawn", pmAddLine, [](Saving& T) { T.LeftClicks({{870, 40}, {950, 60}}); }},
        // The first press puts a node on the edge it starts from.
        {"a division started", pmDividePolygon, [](Saving& T) { T.LeftClicks({{200, 20}}); }},
    };
    return edits;
}

// Guards a save that wrote a node still held in "Move node" (dragged into
// the sandstone, left button released, no right click): the file then
// failed to open ("ring 0 of body 1 crosses ring 0 of body 2") and the
// section was lost.
TEST_F(Saving, ANodeStillHeldIsPutBackBeforeTheSave)
{
    Start({Section});
    const QByteArray original = SavedBeforeTheEdit();
    const int lensCorner = NodeAt(300, 140);
    ASSERT_GE(lensCorner, 0);
    ChooseMode(pmMoveNode);
    DragWithoutDropping({300, 140}, {300, 100});
    ASSERT_TRUE(Chart().Editing);
    ASSERT_NEAR(Chart().Nodes[lensCorner].y, 100, 2);
    EXPECT_FALSE(Window->Modified());

    SaveThroughTheMenu(Section);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_EQ(SectionWithoutIds(Section).toStdString(), original.toStdString());
    EXPECT_EQ(Window->windowTitle(), Title());
    EXPECT_FALSE(Chart().Editing);
    EXPECT_EQ(Chart().Nodes[lensCorner].x, 300);
    EXPECT_EQ(Chart().Nodes[lensCorner].y, 140);
    EXPECT_EQ(Chart().EditMode, pmMoveNode);
    EXPECT_TRUE(Window->OpenSection(Section));
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_GE(NodeAt(300, 140), 0);
}

// Every mode that holds something between presses: the edit in hand is
// put back, so the saved file is the one before it and opens again.
TEST_F(Saving, AnEditInProgressIsNeverSaved)
{
    Start({Section});
    const QByteArray original = SavedBeforeTheEdit();
    const TSectionModel before = Chart().SectionModel();
    for (const TEditInHand& row : EditsInHand()) {
        SCOPED_TRACE(row.Name);
        ChooseMode(row.Mode);
        row.Start(*this);
        ASSERT_TRUE(Chart().Editing);
        const TSectionModel during = Chart().SectionModel();
        const bool changed = FormatSectionModelBlock(during) != FormatSectionModelBlock(before);
        EXPECT_TRUE(changed || !Chart().DrawnPoints.Empty()) << "the edit changed nothing";

        SaveThroughTheMenu(Section);
        ExpectSavedAsBeforeTheEdit(original);
        EXPECT_TRUE(Window->OpenSection(Section));
        EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
        Messages.clear();
    }
}

// Guards Ctrl+S saving a line point the user never placed: the Ctrl press
// switched to its held-key mode, whose reset put back the model and the
// nodes but left the line where it was dragged, so the save found nothing
// in hand. Every mode change now puts a held line back, as it does a node.
TEST_F(Saving, ModeChangesByKeysPutTheEditInHandBackBeforeASave)
{
    struct TWay {
        const char* Name;
        std::function<void(Saving&)> SaveAfter;
    };
    const auto saveByMenu = [](Saving& T) { T.SaveThroughTheMenu(T.Section); };
    const TWay ways[] = {
        // Ctrl pressed first, as a user presses it, then S.
        {"Ctrl+S",
         [](Saving& T) {
             CommonDialogService().ExecuteSave = [&T](TSaveDialogRequest& Request) {
                 Request.FileName = T.Section;
                 Request.FilterIndex = 1;
                 return true;
             };
             QTest::keyClick(T.Window.get(), Qt::Key_S, Qt::ControlModifier);
             CommonDialogService().ExecuteSave = {};
         }},
        {"Shift pressed and released",
         [saveByMenu](Saving& T) {
             QTest::keyPress(T.Window.get(), Qt::Key_Shift);
             QTest::keyRelease(T.Window.get(), Qt::Key_Shift, Qt::ShiftModifier);
             saveByMenu(T);
         }},
        {"Esc",
         [saveByMenu](Saving& T) {
             QTest::keyClick(T.Window.get(), Qt::Key_Escape);
             saveByMenu(T);
         }},
    };
    Start({Section});
    const QByteArray original = SavedBeforeTheEdit();
    const std::string before = FormatSectionModelBlock(Chart().SectionModel());
    for (const TEditInHand& row : EditsInHand()) {
        for (const TWay& way : ways) {
            SCOPED_TRACE(std::string(row.Name) + ", " + way.Name);
            ChooseMode(row.Mode);
            row.Start(*this);
            ASSERT_TRUE(Chart().Editing);
            ASSERT_TRUE(FormatSectionModelBlock(Chart().SectionModel()) != before || !Chart().DrawnPoints.Empty())
                << "nothing in hand";
            QFile::remove(Section);
            way.SaveAfter(*this);
            ASSERT_TRUE(QFileInfo::exists(Section)) << "not saved";
            ExpectSavedAsBeforeTheEdit(original);
            Messages.clear();
        }
    }
}

// The other file commands end the edit in hand too: the save of Exit's
// question writes the last finished edit, and the print preview shows it.
TEST_F(Saving, ExitsSaveAndThePrintPreviewPutTheEditInHandBack)
{
    Start({Section});
    const QByteArray original = SavedBeforeTheEdit();
    ChooseMode(pmMoveNode);
    DragNode({600, 140}, {620, 150}); // a finished edit
    ASSERT_TRUE(Window->Modified());
    ASSERT_GE(NodeNear(620, 150), 0);
    DragWithoutDropping({300, 140}, {300, 100});
    ASSERT_TRUE(Chart().Editing);

    bool previewed = false;
    ChartPreviewShowService() = [&](TChartPreview&) {
        previewed = true;
        EXPECT_FALSE(Chart().Editing);
        EXPECT_GE(NodeAt(300, 140), 0);
        return 0;
    };
    Window->Ptint1->trigger();
    ResetChartPreviewShowService();
    EXPECT_TRUE(previewed);

    DragWithoutDropping({300, 140}, {300, 100});
    ASSERT_TRUE(Chart().Editing);
    int asked = 0;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr, 5000);
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ++asked;
        for (QAbstractButton* button : box->buttons())
            if (button->text() == QStringLiteral("Save"))
                QTest::mouseClick(button, Qt::LeftButton);
    });
    EXPECT_TRUE(Window->close());
    EXPECT_EQ(asked, 1);
    EXPECT_NE(SectionWithoutIds(Section), original);
    Start({Section});
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_GE(NodeNear(620, 150), 0);
    EXPECT_GE(NodeAt(300, 140), 0);
}

// Guards the second line of defence: a model that breaks the rules (here
// changed past the editor) is not written, with a message, and the file on
// disk stays as it was.
TEST_F(Saving, AModelThatBreaksTheRulesIsRefusedAndTheFileKept)
{
    Start({Section});
    const QByteArray original = test::FileBytes(Section);
    const int lensCorner = NodeAt(300, 140);
    ASSERT_GE(lensCorner, 0);
    Chart().Nodes[lensCorner].y = 100; // into the sandstone
    SaveThroughTheMenu(Section);
    ASSERT_EQ(Messages.size(), 1);
    const QString refusal = QStringLiteral("The section file \"%1\" cannot be written: the model breaks a rule of "
                                           "section models: ring 0 of body 1 crosses ring 0 of body 2 (edges 6-7 and "
                                           "13-10). The file is left as it was.");
    EXPECT_EQ(Messages[0].toStdString(), refusal.arg(Section).toStdString());
    EXPECT_EQ(test::FileBytes(Section), original);
    EXPECT_EQ(QDir(Folder.path()).entryList({QStringLiteral("*.sec")}, QDir::Files),
              QStringList{QStringLiteral("example.sec")});
    // Under a new name: nothing written either.
    Messages.clear();
    SaveThroughTheMenu(Folder.filePath(QStringLiteral("copy.sec")));
    EXPECT_EQ(Messages.size(), 1);
    EXPECT_FALSE(QFile::exists(Folder.filePath(QStringLiteral("copy.sec"))));
    EXPECT_EQ(Window->DocumentName(), Section);
}

// --- Replacing a file ---------------------------------------------------------------------

// The real save dialog: a name typed into it and Return pressed.
struct Replacing : Saving {
    QString Other;
    QByteArray OtherBytes = QByteArrayLiteral("another section's own bytes\r\n");
    // The answers to the replace question in turn, and the questions asked.
    std::vector<int> Answers;
    QStringList Asked;

    void SetUp() override
    {
        Saving::SetUp();
        AnswerReplaceQuestions(Answers, Asked);
    }
    // A file of the folder with bytes of its own.
    QString MakeOther(const QString& Name)
    {
        const QString path = Folder.filePath(Name);
        WriteBytes(path, OtherBytes);
        return path;
    }
    // File > "Save section...": Typed entered into the dialog with the
    // filter FilterIndex chosen, then Return.
    void TypeIntoTheSaveDialog(const QString& Typed, int FilterIndex = 1)
    {
        AnswerModal<QFileDialog>([&] { Window->Savefile1->trigger(); },
                                 [&](QFileDialog& Dialog) {
                                     Dialog.selectNameFilter(Dialog.nameFilters().value(FilterIndex - 1));
                                     TypeIntoFileDialog(Dialog, Typed);
                                 });
    }
    QString Question(const QString& Name) const
    {
        return QStringLiteral("Save section|%1 already exists.\nDo you want to replace it?").arg(Name);
    }
    void Edit()
    {
        ChooseMode(pmMoveNode);
        DragNode({300, 140}, {330, 150});
        ASSERT_TRUE(Window->Modified());
    }
};

// Guards a save over other.sec that nobody was asked about: typing "other"
// or "other.txt" asked nothing, and the name then became other.sec.
TEST_F(Replacing, ASectionSavedUnderAnotherNameAsksAboutTheSecFile)
{
    Start({Section});
    Edit();
    const QString other = MakeOther(QStringLiteral("other.sec"));
    for (const QString& typed : {QStringLiteral("other"), QStringLiteral("other.txt")}) {
        SCOPED_TRACE(typed.toStdString());
        Asked.clear();
        Answers = {mrNo};
        TypeIntoTheSaveDialog(typed);
        EXPECT_EQ(Asked, QStringList{Question(QStringLiteral("other.sec"))});
        EXPECT_EQ(test::FileBytes(other), OtherBytes);
        EXPECT_FALSE(QFile::exists(Folder.filePath(QStringLiteral("other.txt"))));
        EXPECT_FALSE(QFile::exists(Folder.filePath(QStringLiteral("other"))));
        EXPECT_EQ(Window->DocumentName(), Section);
        EXPECT_TRUE(Window->Modified());
        EXPECT_EQ(Window->windowTitle(), Title() + QStringLiteral("*"));
    }
    // Yes replaces it, and it becomes the document.
    Asked.clear();
    Answers = {mrYes};
    TypeIntoTheSaveDialog(QStringLiteral("other.txt"));
    EXPECT_EQ(Asked, QStringList{Question(QStringLiteral("other.sec"))});
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_NE(test::FileBytes(other), OtherBytes);
    EXPECT_FALSE(QFile::exists(Folder.filePath(QStringLiteral("other.txt"))));
    EXPECT_EQ(Window->DocumentName(), other);
    EXPECT_FALSE(Window->Modified());
    EXPECT_TRUE(Window->OpenSection(other));
    EXPECT_GE(NodeNear(330, 150), 0);

    // A name whose file does not exist asks nothing.
    Asked.clear();
    TypeIntoTheSaveDialog(QStringLiteral("fresh"));
    EXPECT_TRUE(Asked.isEmpty());
    EXPECT_TRUE(QFile::exists(Folder.filePath(QStringLiteral("fresh.sec"))));
}

// The same for a picture: the metafile gets ".emf", the paper-scale bitmap
// ".bmp", whatever was typed.
TEST_F(Replacing, APictureSavedUnderAnotherNameAsksAboutTheFileWritten)
{
    Start({Section});
    ASSERT_TRUE(Window->prntset->Automatic());
    const QString emf = MakeOther(QStringLiteral("other.emf"));
    for (const QString& typed : {QStringLiteral("other"), QStringLiteral("other.bmp")}) {
        SCOPED_TRACE(typed.toStdString());
        Asked.clear();
        Answers = {mrNo};
        TypeIntoTheSaveDialog(typed, 2);
        EXPECT_EQ(Asked, QStringList{Question(QStringLiteral("other.emf"))});
        EXPECT_EQ(test::FileBytes(emf), OtherBytes);
        EXPECT_FALSE(QFile::exists(Folder.filePath(QStringLiteral("other.bmp"))));
    }
    Asked.clear();
    Answers = {mrYes};
    TypeIntoTheSaveDialog(QStringLiteral("other"), 2);
    EXPECT_EQ(Asked, QStringList{Question(QStringLiteral("other.emf"))});
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_TRUE(test::FileBytes(emf).startsWith(QByteArray("\x01\x00\x00\x00", 4))) << "not a metafile";
    // The picture is no document: the section stays the one open.
    EXPECT_EQ(Window->DocumentName(), Section);

    // The paper-scale bitmap: "Automatic" off.
    Window->prntset->CheckBox1->setChecked(false);
    const QString bmp = MakeOther(QStringLiteral("scaled.bmp"));
    for (const QString& typed : {QStringLiteral("scaled"), QStringLiteral("scaled.png")}) {
        SCOPED_TRACE(typed.toStdString());
        Asked.clear();
        Answers = {mrNo};
        TypeIntoTheSaveDialog(typed, 2);
        EXPECT_EQ(Asked, QStringList{Question(QStringLiteral("scaled.bmp"))});
        EXPECT_EQ(test::FileBytes(bmp), OtherBytes);
    }
    // A name whose file does not exist asks nothing.
    Asked.clear();
    Window->prntset->CheckBox1->setChecked(true);
    TypeIntoTheSaveDialog(QStringLiteral("fresh.bmp"), 2);
    EXPECT_TRUE(Asked.isEmpty());
    EXPECT_TRUE(QFile::exists(Folder.filePath(QStringLiteral("fresh.emf"))));
}

// --- A picture that cannot be decoded ------------------------------------------------

// Guards "JPEG error: Not a JPEG file: starts with 0xe8 0x92" shown with no
// word of which file it was about.
TEST_F(Saving, APictureThatCannotBeDecodedIsNamedInTheMessage)
{
    Start({Section});
    QByteArray section = test::FileBytes(Section);
    const QByteArray rest = section.mid(section.indexOf('\n'));
    for (const QString& name : {QStringLiteral("scan.jpg"), QStringLiteral("scan.png")}) {
        SCOPED_TRACE(name.toStdString());
        const QString picture = Folder.filePath(name);
        WriteBytes(picture, QByteArrayLiteral("\xe8\x92\x01\x02 garbage, not a picture at all"));
        const QString file = Folder.filePath(QStringLiteral("garbled.sec"));
        WriteBytes(file, name.toLatin1() + rest);
        Messages.clear();
        EXPECT_TRUE(Window->OpenSection(file));
        ASSERT_EQ(Messages.size(), 1);
        const QString decoder = name.endsWith(QStringLiteral(".jpg")) ? QStringLiteral("JPEG error: ")
                                                                        : QStringLiteral("PNG error: ");
        const QString named = QStringLiteral("Cannot read the picture file \"%1\": %2").arg(picture, decoder);
        EXPECT_TRUE(Messages[0].startsWith(named)) << Messages[0].toStdString();
        if (name.endsWith(QStringLiteral(".jpg"))) {
            EXPECT_EQ(Messages[0], QStringLiteral("Cannot read the picture file \"%1\": JPEG error: Not a JPEG file: "
                                                  "starts with 0xe8 0x92")
                                       .arg(picture));
        }
        // The section is open, without a picture.
        EXPECT_EQ(Window->DocumentName(), file);
    }
}


// A section file whose inner node at (600, 20), a corner of the clay,
// carries the left edge's border kind: the node the example keeps at
// (820, 20), moved and given kind 1.
QByteArray SectionWithAMisplacedBorderKind()
{
    QByteArray bytes = test::FileBytes(test::ExampleFile);
    const QByteArray corner = " 8.20000000000000E+0002  2.00000000000000E+0001 0 0 0\r\n";
    EXPECT_EQ(bytes.count(corner), 1);
    bytes.replace(corner, " 6.00000000000000E+0002  2.00000000000000E+0001 0 0 1\r\n");
    return bytes;
}

// Guards opening a file whose inner node carried the left edge's border
// kind: the editor moved the node to x 0 before the first undo record (the
// clay became a crossing triangle, the title showed no change) and every
// later save was refused, while the command line exported the file as
// written.
TEST_F(Saving, ANodeWhoseBorderKindDoesNotMatchItsPlaceOpensWhereItIs)
{
    Start({Section});
    TSectionModel expected = Chart().SectionModel();
    const int corner = NodeAt(820, 20);
    ASSERT_GE(corner, 0);
    expected.Nodes[corner].x = 600; // kind 0: the kind of its place
    const QString file = Folder.filePath(QStringLiteral("kinds.sec"));
    WriteBytes(file, SectionWithAMisplacedBorderKind());

    // File > Open with Ctrl+O, the file chosen in the dialog.
    CommonDialogService().ExecuteOpen = [&](TOpenDialogRequest& Request) {
        Request.FileName = file;
        return true;
    };
    Activate();
    QTest::keyClick(Window.get(), Qt::Key_O, Qt::ControlModifier);
    CommonDialogService().ExecuteOpen = {};
    ASSERT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    ASSERT_EQ(Window->DocumentName(), file);
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Section editor ") + file);
    EXPECT_FALSE(Window->Modified());
    // What the file says is what opened: every node where it stands.
    ASSERT_EQ(Chart().Nodes.Length(), expected.Nodes.Length());
    for (int node = 0; node < expected.Nodes.Length(); ++node) {
        EXPECT_EQ(Chart().Nodes[node].x, expected.Nodes[node].x) << "node " << node;
        EXPECT_EQ(Chart().Nodes[node].y, expected.Nodes[node].y) << "node " << node;
        EXPECT_EQ(Chart().Nodes[node].border, expected.Nodes[node].border) << "node " << node;
    }
    EXPECT_TRUE(CheckModelInvariants(Chart().Model, Chart().Nodes, &Chart().ModelArea).empty());
    const test::TSectionState opened = test::StateOf(Chart());

    // It saves, and opens again as it was.
    SaveThroughTheMenu(file);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_FALSE(Window->Modified());
    EXPECT_TRUE(Window->OpenSection(file));
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_EQ(test::StateDifference(opened, test::StateOf(Chart())), "");

    // An edit after the opening saves too.
    ChooseMode(pmMoveNode);
    DragNode({300, 140}, {330, 150});
    ASSERT_TRUE(Window->Modified());
    SaveThroughTheMenu(file);
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_FALSE(Window->Modified());

    // The command line reads the same file as the editor: the same model
    // is exported from both.
    WriteBytes(file, SectionWithAMisplacedBorderKind());
    ASSERT_TRUE(Window->OpenSection(file));
    const TModelExportSummary fromEditor = ExportModel(Folder.filePath(QStringLiteral("editor.geo")),
                                                       Chart().SectionModel());
    const TModelExportSummary fromCommandLine =
        ExportSectionFileModel(file, Folder.filePath(QStringLiteral("command.geo")));
    EXPECT_EQ(fromEditor.Regions, fromCommandLine.Regions);
    EXPECT_EQ(test::FileBytes(fromEditor.GeometryFile), test::FileBytes(fromCommandLine.GeometryFile));
    EXPECT_EQ(test::FileBytes(fromEditor.TableFile), test::FileBytes(fromCommandLine.TableFile));

    // Named on the command line at start, it opens the same.
    Window.reset();
    Start({file});
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
    EXPECT_EQ(test::StateDifference(opened, test::StateOf(Chart())), "");
}

// A file that cannot open as a sound model (here its clay crosses the
// sandstone) is refused with a message, and nothing of the open section
// changes: the chart, the title, the undo history and the recent files.
TEST_F(Saving, AFileRefusedOnOpeningLeavesTheSectionAsItWas)
{
    Start({Section});
    ChooseMode(pmMoveNode);
    DragNode({300, 140}, {330, 150});
    ASSERT_TRUE(Window->Modified());
    const test::TSectionState before = test::StateOf(Chart());
    const DynArray<int64_t> history = Chart().UndoSequence;
    const QStringList recent = Window->Parts->RecentFiles();
    const QString title = Window->windowTitle();

    QByteArray bytes = SectionWithAMisplacedBorderKind();
    const QByteArray node5 = " 4.50000000000000E+0002  2.";
    ASSERT_TRUE(bytes.contains(node5));
    bytes.replace(bytes.indexOf(node5), node5.size(), " 9.90000000000000E+0002  2.");
    const QString file = Folder.filePath(QStringLiteral("crossing.sec"));
    WriteBytes(file, bytes);
    Messages.clear();
    EXPECT_FALSE(Window->OpenSection(file));
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].startsWith(QStringLiteral("The section file \"%1\" holds an invalid model: the model "
                                                      "breaks a rule of section models: ")
                                           .arg(file)))
        << Messages[0].toStdString();
    EXPECT_EQ(test::StateDifference(before, test::StateOf(Chart())), "");
    EXPECT_EQ(Chart().UndoSequence, history);
    EXPECT_EQ(Window->Parts->RecentFiles(), recent);
    EXPECT_EQ(Window->windowTitle(), title);
    EXPECT_TRUE(Window->Modified());
    EXPECT_EQ(Window->DocumentName(), Section);
}

} // namespace
} // namespace lp
