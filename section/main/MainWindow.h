#pragma once
// "Section editor": the program's main window.
//
//   TMainfrm (QMainWindow) ──owns──> FComponents (the component tree):
//        ├─ uiSMultiSplit1 ─ four panes; the first holds PolygonChart1
//        ├─ PolygonChart1 (section chart) ─ Series1 (picture corners),
//        │                                  ChartTool1 (the picture)
//        ├─ sbStatusBar1 (cursor position | the mode's help)
//        ├─ FileMenuOpens1 ─ mirrors the recent files into Recentfile1
//        ├─ uiSplash1, Timer1 (opens the file named on the command line)
//        ├─ Carotage (well logs over the chart)
//        └─ HoleOverlay (the data's holes of buried electrodes over it)
//   the menu bar and ToolBar1 (mode buttons, undo) are Qt's own.
//
// Before the first section is read the chart is hidden and the tool bar and
// the chart's commands are disabled.

#include "section/editor/PolygonChart.h"

#include <QtCore/QPointer>
#include <QtGui/QImage>
#include <QtCore/QStringList>
#include <QtWidgets/QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <vector>
#include <cstdint>

class QAction;
class QMenu;
class QToolBar;
class QToolButton;
class QWidget;

namespace lp {

class TCarotageOverlay;
class TElectrodeHoleOverlay;
class TForwardResponseWindow;
class TInversionWindow;
class TTimeLapseWindow;
class TSiteLinesWindow;
class TChartPreviewer;
class Tprntset;
class TChartImageTool;
class TMainfrmComponents;
class TPointSeries;
class TRegionsWindow;
class TTimer;
struct TMeasuredData;

// Shows a window the user opened and gives it the keyboard, also when a
// closing menu or dialog would hand the keyboard back to the main window.
void BringToFront(QWidget* Window);

// The answer to "Save changes to NAME?".
enum class TSaveChangesAnswer { Save, Discard, Cancel };
// Asks with the buttons "Save", "Discard" and "Cancel" (Esc and the close
// box cancel) in a message box over Owner.
TSaveChangesAnswer AskSaveChanges(QWidget* Owner, const QString& Name);

class TMainfrm : public QMainWindow {
    Q_OBJECT
public:
    // Arguments: the command line without the program.
    explicit TMainfrm(const QStringList& Arguments, QWidget* Parent = nullptr);
    ~TMainfrm() override;

    // --- Components ---
    // Splitter, status bar, recent files and splash.
    std::unique_ptr<TMainfrmComponents> Parts;
    TPolygonChart* PolygonChart1 = nullptr;
    TPointSeries* Series1 = nullptr;
    TChartImageTool* ChartTool1 = nullptr;
    TTimer* Timer1 = nullptr;
    TChartPreviewer* ChartPreviewer1 = nullptr;
    // The picture settings dialog, made with the window.
    Tprntset* prntset = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* SpeedButton13 = nullptr; // undo
    // Ctrl+Z, the undo button's key. It belongs to the window, not to the
    // button: a button the tool bar moves into its overflow (a narrow
    // window) takes its shortcut out of reach.
    QAction* UndoKey = nullptr;
    QToolButton* SpeedButton19 = nullptr; // the last line's look for new lines
    std::map<TPolygonEditMode, QToolButton*> ModeButtons;
    QAction* Newfromdata1 = nullptr; // File > New from data...
    // Menu commands that need an open section.
    QAction* Savefile1 = nullptr;
    QAction* Exportmodel1 = nullptr;
    QAction* Removepicture1 = nullptr;
    QAction* Ptint1 = nullptr;
    QAction* Scaled1 = nullptr;
    QAction* Boxconstrctor1 = nullptr;
    QAction* Carotagedata1 = nullptr;
    QAction* Regions1 = nullptr; // Options > Regions...
    // The table of regions, made on first use; follows the model while open.
    TRegionsWindow* RegionsWindow = nullptr;
    QAction* Forwardresponse1 = nullptr;
    QAction* Measureddata1 = nullptr;
    QAction* Electrodepositions1 = nullptr;
    QAction* Invert1 = nullptr;
    QAction* Timelapse1 = nullptr;
    QAction* Severallines1 = nullptr;
    std::unique_ptr<TCarotageOverlay> Carotage;
    // The holes of the data's buried electrodes, on the section's wells.
    std::unique_ptr<TElectrodeHoleOverlay> HoleOverlay;
    // Modelling > Forward response...: the window while it is open.
    QPointer<TForwardResponseWindow> ForwardWindow;
    // Modelling > Invert...: the window while it is open.
    QPointer<TInversionWindow> InversionWindow;
    // Modelling > Time-lapse...: the window while it is open.
    QPointer<TTimeLapseWindow> TimeLapseWindow;
    // Modelling > Several lines...: the window while it is open.
    QPointer<TSiteLinesWindow> SiteLinesWindow;

    // --- Fields ---
    double PictureCorners[4] = {0.0, 0.0, 0.0, 0.0}; // x0, y0, x1, y1
    QString PicturePath;
    TPolygonEditMode SavedEditMode = -1;
    QStringList Arguments;

    // --- Commands ---
    // Reads the file; only a complete read changes caption and title. A
    // failed read shows its error and leaves the present section as it was.
    bool OpenSection(const QString& FileName);
    // Raises with a message when the file cannot be read, its second line
    // does not hold the picture's four corners or the model block is
    // invalid; the chart then keeps its section. A picture that is missing
    // does not stop the read: the section opens without it, says so, and
    // keeps the picture's line and corners for the next save. An empty
    // picture line names no picture: the section opens without one, and
    // nothing is said.
    void ReadSectionFile(const QString& FileName);
    // Writes the section under FileName with the extension ".sec"; that file
    // becomes the document (title, chart caption, recent files, no unsaved
    // changes). A model that breaks the section rules is refused with a
    // message before anything is written (the file could not be opened).
    void SaveFile(const QString& FileName);
    // File > New from data...: the data file asked for (the dialog starts
    // at the forward window's data, else where the last data file was),
    // read, then NewSectionFromData. A file that cannot be read is named
    // with the reader's message, and nothing changes.
    void AskNewSectionFromData();
    // A new section for measured data (section/modelling/SectionFromData):
    // the model area frames the survey, the relief follows its ground, the
    // host medium takes its median ρa, nothing drawn; no file yet (the
    // first save asks for one). Unsaved changes are asked about first as
    // before another section is opened. The data then are the forward
    // window's (shown), so Fit regions and Invert work at once; FileName is
    // their file (empty: none known), Name names them. False, with nothing
    // changed, when the data frame no section (the reason shown) or the
    // question was cancelled.
    bool NewSectionFromData(std::shared_ptr<const TMeasuredData> Data, const QString& FileName,
                            const QString& Name);
    // The inversion window's New section from data: a new section for its
    // data, its image (when there is one) laid under it at the cells' frame.
    void NewSectionFromInversion();
    // The data the open section was made from (New from data), while it is
    // the section open; nullptr for a section read from a file.
    const TMeasuredData* SourceData() const { return FSourceData.get(); }
    // The open section's file (absolute), empty before the first read and
    // for a section made from data until it is saved.
    QString DocumentName() const { return FDocument; }
    // Whether the section changed since it was read or saved ("*" in the
    // title).
    bool Modified() const { return FModified; }
    // Before the section is set aside (exit, close, open another): the edit
    // in progress ends, then with unsaved changes asks "Save changes to
    // NAME?"; true when the caller may go on (saved, discarded or nothing
    // to save).
    bool MaySetSectionAside();
    // Opens the manual's file; false when no program could show it.
    std::function<bool(const QString& Path)> OpenManualFile;
    // The chart as a picture: the paper-scale bitmap when "Automatic" is
    // off and the name does not end in ".emf", else a metafile named
    // with ".emf".
    void SaveMFFile(const QString& FileName);
    // Every file command (saves, print preview, setting the section aside)
    // starts here: an unfinished edit (a node held, a polygon half drawn)
    // is put back, so what is written or printed is the last finished edit
    // and the title's "*" tells the truth about it.
    void EndEditInProgress();
    void SelectModeButton(QToolButton* Sender);
    void ShowModeText(TPolygonEditMode Mode);
    // The holes of the data's buried electrodes drawn over the section:
    // of the forward window's data, else of the data the section was made
    // from; none without a section or such data. Follows the data, the
    // section's ground and its wells.
    void ShowDataHoles();
    // Opens the forward response window beside this one (or brings it up).
    void ShowForwardResponse();
    // Modelling > Measured data...: a data file into the forward window.
    void OpenMeasuredData();
    // Modelling > Electrode positions...: the open data's electrodes placed
    // by a positions file (the data are asked for first when none are open).
    void OpenElectrodePositions();
    void CreateForwardWindow();
    // Modelling > Invert...: without measured data open, the data file is
    // asked for first; then the inversion window shows them.
    void ShowInversion();
    // The inversion window's image laid under the section as its picture,
    // over the cells' frame. One step of the section's undo history:
    // Ctrl+Z, after the edits made since, gives the picture before back.
    // Nothing is written now: the image lives in the history, and the save
    // that writes the section writes the image it shows then beside it
    // (SavedPictureFile). So the file a saved section names holds the image
    // it showed when saved, whatever was laid or undone before, and a file
    // laid but never saved leaves nothing on disk.
    // False with the reason shown when nothing changed.
    bool UseInversionAsUnderlay();
    // Modelling > Time-lapse...: the series' window (made on first use).
    void ShowTimeLapse();
    // The time-lapse window's image of the step shown laid under the
    // section, as UseInversionAsUnderlay lays the inversion's.
    bool UseTimeLapseAsUnderlay();
    // Modelling > Several lines...: the site's window (made on first use).
    void ShowSiteLines();
    // A new section of the site window's line Line (New from data of its
    // data along its track), its image laid under it. False when nothing
    // changed (the user kept the section open, or the line frames none).
    bool OpenSiteLineAsSection(int Line);
    // Switches to a mode as its button does.
    void ChooseMode(TPolygonEditMode Mode);
    // The first tick: opens the section named on the command line.
    void Timer1Timer();
    // The undo button's click: an edit in hand goes back, else the last
    // finished step is taken back (an edit, or the underlay's picture).
    void Undo();
    // Ctrl+Z: as the button, except the first Z after a Ctrl press that put
    // an edit in hand back; that press was this Ctrl+Z's undo.
    void UndoByKey();
    // Opens the manual through the desktop; a message when it is missing.
    void Context();
    void ShowCursorPosition();
    // The temporary modes of held keys; true when the key was used.
    bool ModeKeyDown(int Key);
    bool ModeKeyUp(int Key);
    // The mode saved by a held key comes back (the window lost the
    // keyboard: the key's release goes elsewhere).
    void RestoreHeldKeyMode();
    // The mode in force on the tool bar (its button down, the others up)
    // and in the status bar.
    void ShowModeInForce();
    // The folders searched for the manual, in order.
    static QStringList ManualCandidates();

    bool SectionOpen() const { return FSectionOpen; }
    QWidget* ChartWidget() const;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;

private:
    void CreateComponents();
    void CreateMenus();
    // A menu bar command: whatever it does, an edit in hand goes back to
    // where it was picked up first, so the command sees the section as last
    // finished.
    QAction* AddCommand(QMenu* Menu, const QString& Text, std::function<void()> Act);
    void CreateToolBar();
    void AddModeButton(TPolygonEditMode Mode);
    void EnableSectionCommands(bool On);
    void AskOpenSection();
    void AskSaveSection();
    // File > Export model...: the model as a Gmsh geometry and its region table.
    void AskExportModel();
    void ReadCarotage();
    void ChartResized();
    void SetTitleFor(const QString& FileName);
    void LoadSectionPicture(const QString& FileName);
    void UseLastLineLook();
    void SetModified(bool On);
    // Every change of the model (an edit, an undo, the area, another
    // section) reaches the forward response window.
    void ModelChanged();
    void ShowTitle();
    void ChooseModelSetup();
    // Options > Regions...: the table of regions shown and raised.
    void ShowRegions();
    // The open table of regions reads the model again.
    void RefreshRegions();
    // The chart's cursor at the mouse's present place when it is over the
    // chart; false when it is not.
    bool TakeCursorFromMouse();
    // The picture line a save of the section as Section writes: the name of
    // the picture read, kept as it was, or for an inversion's image laid
    // under it, its file. That image is written (atomically, as a PNG) by
    // the first save that shows it, as NAME-inversion.png beside Section,
    // or NAME-inversion-2.png, -3 ... when that name is taken: an existing
    // file is never overwritten, since the section saved before, a copy
    // saved elsewhere or a state the history can go back to may name it.
    // Later saves showing the same image name the same file while it
    // exists. Raises with a message when the image cannot be written.
    QString SavedPictureFile(const QString& Section);
    // The status bar's word that the picture the read section names
    // (Stored, never empty) is missing.
    static QString MissingPictureText(const QString& Stored);
    QString DialogFolder() const;

    // Image laid under the section with its corners at Left, Top, Right,
    // Bottom (section coordinates), as UseInversionAsUnderlay says.
    bool LayUnderlay(const QImage& Image, double Left, double Top, double Right, double Bottom);
    // After each inversion run: a section made from the data inverted
    // takes the finished image as its underlay.
    void InversionEnded();
    // The shown picture turned upright for the chart's depth axis (the
    // turn is its own inverse: it also gives the image as drawn back).
    QImage UprightPicture(const QImage& Image) const;

    std::unique_ptr<TComponent> FComponents;
    // The data of a section made from data (New from data), and their
    // file; cleared when a section is read.
    std::shared_ptr<const TMeasuredData> FSourceData;
    QString FSourceFile;
    bool FSectionOpen = false;
    QString FDocument;
    bool FMissingPicture = false; // the last read found no picture
    QString FTitleName; // the document as the caption names it
    bool FModified = false;
    // The chart's undo state (TPolygonChart::UndoState) last read or saved:
    // an undo back to it leaves nothing to save.
    int64_t FSavedState = -1;
    bool FKeySwitchedMode = false;
    int FSwitchKey = 0;
    // The held key's press put an edit in hand back and nothing has
    // answered it yet: set while the key is held, until the first Ctrl+Z,
    // undo or new edit.
    bool FKeyCancelledEdit = false;
    // The section's picture as its undo history knows it: each undo slot of
    // the chart holds the one of its state (the slot's attachment), and an
    // undo of a step that changed it shows the earlier one again. Only the
    // section's own picture changes (a read, the underlay) make a new one;
    // Remove picture only hides the picture shown and leaves it.
    struct TSectionPicture : TUndoAttachment {
        QString Path;
        double Corners[4] = {0.0, 0.0, 0.0, 0.0};
        QImage Image; // what was shown (null for none)
        bool FromInversion = false; // an inversion's image, laid by the underlay commands
        // An inversion's image: the file the first save showing it wrote it
        // to (empty before). Set once, by that save; every undo slot holding
        // this picture then names that file (the state itself, its image,
        // does not change).
        mutable QString Written;
    };
    std::shared_ptr<const TSectionPicture> FPicture = std::make_shared<const TSectionPicture>();
    // The picture shown now: path, corners and image.
    TSectionPicture ShownPicture() const;
    void ShowPicture(const TSectionPicture& Picture);
    // The picture tool spans PictureCorners (the corner points hold them).
    void ShowPictureCorners();
    void ShowOpenedSection(TPolygonChart& Chart);
};

} // namespace lp
