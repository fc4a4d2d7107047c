#pragma once
// The pen editor "Border Editor", the brush editor "Pattern Color Editor",
// the pen button, and the routines every chart editor form shares: creating
// a dialog for an owner, embedding a form as a page, confirmation prompts,
// value-format choices, list moves, arrow glyphs and cursor names.
//
// Both dialogs edit their object in place while open (so a chart redraws
// live) and keep a backup copy, which Cancel puts back. The edited pen or
// brush is observed, never owned; the backup belongs to the dialog.

#include "chart/editors/PlotEditorButtons.h"
#include "platform/ui/Application.h"

#include <QtWidgets/QDialog>

#include <initializer_list>
#include <memory>

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QListWidget;
class QSpinBox;

namespace lp {

class TBrush;
class TBitmap;
class TChartBrush;
class TChartPen;
class TFont;
class TPen;
class TPicture;

// --- The pen editor ------------------------------------------------------------------------------

class TPenDialog : public QDialog {
    Q_OBJECT
public:
    explicit TPenDialog(QWidget* Owner = nullptr);
    ~TPenDialog() override;

    // The pen edited (observed). A TChartPen also offers Visible, the end
    // style and, with geometric pens, "Small Dots".
    TPen* ThePen = nullptr;

    QCheckBox* CBVisible;
    QLabel* Label1;
    TComboFlat* CBStyle;
    TButtonColor* BColor;
    QLabel* LWidth;
    QSpinBox* UDWidth; // the width edit with its up-down arrows
    TComboFlat* CBEndStyle;
    QPushButton* BOk;
    QPushButton* BCancel;

    bool Modified() const { return FModified; }
    // Draws one style item (sample line and text) into Rect; Background is
    // the item's fill (the highlight colour for a selected item).
    void DrawStyleItem(TCanvas& Canvas, const TRect& Rect, int Index, TColor Background) const;

    void reject() override;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void LoadPen();
    TChartPen* ChartPen() const;
    bool SmallDotsItem(int Index) const;
    void UpdateStyleEnabling();
    void StyleChanged(int Index);
    void WidthChanged(int Value);
    void SetModified() { FModified = true; }

    std::unique_ptr<TChartPen> FBackup;
    bool FModified = false;
    bool FLoading = false;
    bool FLoaded = false;
};

// --- The brush editor ----------------------------------------------------------------------------

class TBrushDialog : public QDialog {
    Q_OBJECT
public:
    explicit TBrushDialog(QWidget* Owner = nullptr);
    ~TBrushDialog() override;

    TChartBrush* TheBrush = nullptr; // observed

    QListWidget* LStyle; // 8 brush styles, then the 35 pattern items
    TButtonColor* BColor;
    QPushButton* Button2; // OK
    QPushButton* Button3; // Cancel
    QGroupBox* GroupImage;
    QPushButton* Button1; // "B&rowse..." or "Clea&r"
    QLabel* Image1;
    // Hidden pictures that other editors may copy (BrushPictures).
    QLabel* ImageMetal;
    QLabel* ImageWood;
    QLabel* ImageStone;
    QLabel* ImageClouds;
    QLabel* ImageGrass;
    QLabel* ImageFire;
    QLabel* ImageSnow;

    // A click on a style item (index 0 .. 42).
    void StyleClick(int Index);
    // The image button: clears the image (Tag 1) or loads a chosen picture.
    void ImageClick();
    void DrawStyleItem(TCanvas& Canvas, const TRect& Rect, int Index, TColor Background) const;

    void reject() override;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void UpdateImageControls();
    void UpdateColorButton();
    void SelectStyleItem();

    std::unique_ptr<TChartBrush> FBackup;
    bool FLoaded = false;
};

// The number of items in the brush editor's list: 8 brush styles and 35
// pattern styles.
inline constexpr int BrushStyleItemCount = 43;

// --- The pen button ------------------------------------------------------------------------------

class TButtonPen : public TPlotButton {
    Q_OBJECT
public:
    explicit TButtonPen(const QString& Caption = {}, QWidget* Parent = nullptr);

    void LinkPen(TPen* Pen);
    TPen* Pen() const;
    // Hides the pen dialog's colour button.
    bool HideColor = false;
    // Runs after the pen dialog closed with OK (or after a click without a
    // pen).
    std::function<void(TButtonPen* Sender)> OnClick;
    // The open pen dialog, nullptr when none.
    TPenDialog* OpenDialog() const { return FDialog; }
    // What a click does.
    void PenClick();

    // A sample line, at most 6 pixels wide (the pen keeps its width).
    void DrawSymbol(TPlotCanvas& Canvas) override;

private:
    TPenDialog* FDialog = nullptr;
};

// --- Entry routines ------------------------------------------------------------------------------

// Creates a dialog for Owner: a control stands for its window; the dialog
// is centred on that window, or on the screen without an owner.
template <class TForm>
std::unique_ptr<TForm> CreateDialogForm(QWidget* Owner)
{
    QWidget* window = Owner ? Owner->window() : nullptr;
    auto form = std::make_unique<TForm>(window);
    PlaceDialogForm(*form, window);
    return form;
}
void PlaceDialogForm(QDialog& Form, QWidget* OwnerWindow);
// Puts a default "Close" button at the foot of a page shown as a dialog
// that has none of its own; the page writes as it is edited, so closing
// keeps what was done. Returns the button.
QPushButton* AddDialogCloseButton(QDialog& Form);
// A dialog's foot row: Ok (the default) and Cancel at its right end.
QHBoxLayout* OkCancelRow(QPushButton* Ok, QPushButton* Cancel);

// Modal pen editor; true when it closed with OK.
bool EditChartPen(QWidget* Owner, TPen& Pen, bool HideColor = false);
std::unique_ptr<TPenDialog> CreatePenDialog(QWidget* Owner, TPen& Pen, bool HideColor);
// The gradient editor, filled by the gradient editor's unit at start-up;
// empty until then. Callers disable their gradient command while it is
// empty.
class TPlotGradient;
using TEditGradientEntry = std::function<bool(QWidget* Owner, TPlotGradient& Gradient)>;
TEditGradientEntry& EditGradientEntryPoint();
// Runs the entry point; false (nothing changed) while it is empty.
bool EditGradient(QWidget* Owner, TPlotGradient& Gradient);
// Modal brush editor; true when it closed with OK. Its controls among the
// unkept settings of what Owner's editor page edits are locked.
bool EditChartBrush(QWidget* Owner, TChartBrush& Brush);
// The same with the unkept settings named by the caller.
struct TUnkeptSettings;
bool EditChartBrush(QWidget* Owner, TChartBrush& Brush, const TUnkeptSettings& Unkept);
// The font dialog preset from Font; on OK Font takes the choice.
bool EditPlotFont(QWidget* Owner, TFont& Font);
// The chosen picture file, or empty when cancelled.
QString AskPictureFileName(QWidget* Owner);
// Clears a picture that holds a graphic; otherwise loads a chosen file
// (an unknown format raises the picture registry's error).
void LoadOrClearPicture(QWidget* Owner, TPicture& Picture);

// --- Helpers of editor forms -------------------------------------------------------------------

// Embeds Form as a page of Parent: no frame, Tag as the "Tag" property,
// at Left 4, Top min(4, |Parent height - Form height| / 2); shown.
void AddFormTo(QWidget* Form, QWidget* Parent, int Tag);
inline void AddFormToParent(QWidget* Form, QWidget* Parent) { AddFormTo(Form, Parent, 0); }
inline void AddFormToTagged(QWidget* Form, QWidget* Parent, int Tag) { AddFormTo(Form, Parent, Tag); }
void ShowControls(bool Visible, std::initializer_list<QWidget*> Controls);
// A Yes/No question, placed 20 right and 30 down of Control's client origin
// (centred without one); true for Yes.
bool AskYesNo(const QString& Message, QWidget* Control = nullptr);
// "Delete %s ?" with Name.
bool AskDeleteConfirm(const QString& Name, QWidget* Control = nullptr);
// Appends the value-format choices, the default format first.
void AddDefaultValueFormats(QStringList& Strings);
// The names of the series marks styles, in the order of their values
// ("Value" ... "X and Y values"): every page choosing a marks style lists
// these.
QStringList MarksStyleNames();
// The two arrow glyphs "PlotArrowUp" and "PlotArrowDown" (16 x 16, black
// triangles on white, white transparent).
void LoadArrowBitmap(bool Up, TBitmap& Bitmap);
void LoadArrowBitmaps(QAbstractButton* UpButton, QAbstractButton* DownButton);
// Moves the selected items (with their data) from Source to Dest, in order.
void MoveListSelected(QListWidget* Source, QListWidget* Dest);
// Moves every item.
void MoveListItems(QListWidget* Source, QListWidget* Dest);

// --- Cursor names ----------------------------------------------------------------------------

// "crPlotHand" is 2020; anything else the platform's table. False when the
// name or number is unknown.
bool PlotIdentToCursor(const QString& Ident, TCursor& Cursor);
bool PlotCursorToIdent(TCursor Cursor, QString& Ident);
// The cursor of "cr" + Name, or Default when unknown.
TCursor CursorFromName(const QString& Name, TCursor Default);
// Holds the combo box that a cursor-name enumeration fills (observed): each
// name given, an identifier such as "crHandPoint", is added without its "cr".
class TTempCursors {
public:
    explicit TTempCursors(QComboBox* ACombo) : Combo(ACombo) {}
    void GetCursorName(const QString& Ident);
    QComboBox* Combo;
};

// Every platform cursor name and then "PlotHand" (without "cr"); Cursor's
// name is selected, or nothing (-1) when it has none.
void FillCursorCombo(QComboBox* Combo, TCursor Cursor);

} // namespace lp
