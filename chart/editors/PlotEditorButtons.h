#pragma once
// The small controls of the chart's editor forms and the colour dialog.
//
//   TPlotButton (QPushButton)   a push button with a symbol at its right end,
//     │                         drawn with the chart canvas after the face
//     ├─ TButtonColor           a colour swatch; edits a linked "Color"
//     │                         property (or its own colour) when clicked
//     └─ TButtonPen             (PlotPenBrushDialogs.h) a pen sample
//   TComboFlat (QComboBox)      drawn flat until hovered or focused
//
// A button links an object and, optionally, one of its Qt properties by
// name; the object is observed (a QPointer), never owned. Every colour
// choice goes through the platform's common-dialog service.

#include "platform/graphics/GraphicsTypes.h"

#include <QtCore/QMetaProperty>
#include <QtCore/QPointer>
#include <QtCore/QStringList>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QPushButton>

#include <functional>

namespace lp {

class TPlotCanvas;
class TCanvas;

class TPlotButton : public QPushButton {
    Q_OBJECT
public:
    // 75 x 25 pixels.
    explicit TPlotButton(const QString& Caption = {}, QWidget* Parent = nullptr);

    // Keeps Instance; when set, PropName (may be empty: no property) is
    // looked up among its Qt properties. Repaints.
    void LinkProperty(QObject* Instance, const QString& PropName);
    QObject* LinkedObject() const { return FInstance.data(); }
    // The linked property, invalid when none is linked or found.
    QMetaProperty LinkedProperty() const { return FProperty; }

    // With q = height / 4: (Width - 19, Height - 3q, Width - 6, Height - q).
    TRect GetSymbolRect() const;
    // Draws the symbol; nothing in the base.
    virtual void DrawSymbol(TPlotCanvas& Canvas);
    // The button face and symbol as shown, for tests and screenshots.
    QImage Snapshot();

protected:
    void paintEvent(QPaintEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    QPointer<QObject> FInstance;
    QMetaProperty FProperty;
};

class TButtonColor : public TPlotButton {
    Q_OBJECT
public:
    explicit TButtonColor(const QString& Caption = {}, QWidget* Parent = nullptr);

    // The callback's colour when set; else the linked property's value with
    // system colours resolved; else the own colour.
    TColor Color() const;
    // Into the linked property when there is one, else the own colour.
    void SetColor(TColor Value);

    // When set, supplies the colour shown and edited.
    std::function<TColor()> OnGetColor;
    // Runs after a click changed the colour (never after a cancel or an
    // unchanged choice).
    std::function<void(TButtonColor* Sender)> OnClick;

    // The swatch: nothing for clNone; no frame when disabled.
    void DrawSymbol(TPlotCanvas& Canvas) override;
    // What a click does: the colour dialog, then write-back and OnClick only
    // when the colour changed.
    void EditColorClick();

private:
    TColor FColor = clBlack;
};

// A colour swatch that takes the focus: a click (mouse released inside) or
// Space opens the colour dialog; a changed colour is kept and OnChange runs.
// clNone, which draws nothing, shows crossed out. A label names it (its
// buddy), so it reads as a colour and not as a blot.
class TColorSwatch : public QWidget {
    Q_OBJECT
public:
    explicit TColorSwatch(QWidget* Parent = nullptr);

    TColor Color() const { return FColor; }
    // Shows Value; runs no event.
    void SetColor(TColor Value);
    // Runs after the dialog changed the colour.
    std::function<void(TColorSwatch* Sender)> OnChange;
    // What a click does.
    void EditColorClick();

    QSize sizeHint() const override { return {40, 21}; }

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    TColor FColor = clBlack;
};

// Draws item Index into Rect (the canvas is the item's own picture);
// Background is the item's fill, clHighlight's value for a selected item.
using TDrawItemEvent = std::function<void(TCanvas& Canvas, const TRect& Rect, int Index, TColor Background)>;
// Makes View draw its items through DrawItem, at least ItemHeight pixels
// high.
void SetOwnerDrawnItems(QAbstractItemView& View, TDrawItemEvent DrawItem, int ItemHeight);
// Draws one item into a picture of Width x Height, as a list shows it.
QImage DrawItemImage(const TDrawItemEvent& DrawItem, int Width, int Height, int Index, bool Selected);
// Writes an owner-drawn item's text at (X, Y) on its Background, without a
// box of its own, in the list's text colour (the selection's on a selected
// item) or, where that would not read on Background, in black or white.
void DrawItemText(TCanvas& Canvas, int X, int Y, const QString& Text, TColor Background);

class TComboFlat : public QComboBox {
    Q_OBJECT
public:
    // Height 21, non-editable (a drop-down list).
    explicit TComboFlat(QWidget* Parent = nullptr);

    // The width of the drop-down list (at least the box's width).
    int DropDownWidth() const;
    void SetDropDownWidth(int Value);
    // Stored only when it differs from the box's width.
    bool IsDropDownWidthStored() const { return DropDownWidth() != width(); }
    bool MouseInside() const { return FMouseInside; }
    // Owner-drawn items (list and edit field); empty: plain texts.
    void SetDrawItem(TDrawItemEvent DrawItem, int ItemHeight);

protected:
    void paintEvent(QPaintEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;

private:
    bool FMouseInside = false;
    TDrawItemEvent FDrawItem;
};

// The flat look over a combo's client rectangle: outline and inner outline
// in the button face colour, the button area outlined in the window colour.
void DrawFlatComboFrame(TCanvas& Canvas, const TRect& Client, int ButtonWidth);

// The colour chosen in the colour dialog, or Color when it is cancelled.
// The custom colours are kept for the process; "ColorA" is 00C0C0C1, the
// transparent-hatch marker, on every call. Name is the dialog window's
// object name.
TColor EditColor(QWidget* Owner, TColor Color, const QString& Name = {});
// EditColor on Color; true (Color changed) only for a different colour.
bool EditColorDialog(QWidget* Owner, TColor& Color, const QString& Name = {});
// The custom colours kept between calls (empty before the first call).
QStringList& ColorDialogCustomColors();

} // namespace lp
