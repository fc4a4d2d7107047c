#pragma once
// Lays out an editor page with Qt layouts: named controls, captions with
// their mnemonics, labels with buddies, and a tab order in reading order.
//
// A page is built row by row into one grid: a caption label and its control
// side by side, or one control across the page. Control names are the ones
// the page's users look up with findChild.

#include <QtWidgets/QGridLayout>
#include <QtWidgets/QScrollArea>
#include <QtWidgets/QWidget>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace lp {

class TButtonColor;

class TPageBuilder {
public:
    // Puts a grid layout on Page (its margins 8, spacing 6).
    explicit TPageBuilder(QWidget& Page);

    QGridLayout& Grid() { return *FGrid; }
    QWidget& Page() { return FPage; }

    // Gives Control its object name and returns it.
    template <class T>
    static T* Named(T* Control, const char* Name)
    {
        Control->setObjectName(QString::fromLatin1(Name));
        return Control;
    }

    // Names a button made elsewhere (pen, gradient buttons) and widens it
    // for its caption and symbol.
    template <class TButton>
    static TButton* SymbolButton(TButton* Button, const char* Name)
    {
        Named(Button, Name);
        Button->setMinimumWidth(Button->fontMetrics().horizontalAdvance(Button->text()) + 40);
        return Button;
    }

    // Fills Box with one radio button a caption, laid out along
    // Orientation, in a button group named Name owned by Owner: ids 0, 1, ...
    // in caption order, buttons named Name0, Name1, ...
    static QButtonGroup* RadioGroup(QObject* Owner, QGroupBox* Box, const char* Name,
                                    std::initializer_list<const char*> Captions, Qt::Orientation Orientation);

    // A combo box named Name holding Items.
    static QComboBox* Combo(QWidget* Parent, const char* Name, const QStringList& Items);
    // A tab control named Name whose tabs all show: it asks its layout for
    // the width of its whole tab row (the page is as wide as the row), and
    // scrolls the row with its buttons should it get less.
    static QTabWidget* WideTabs(QWidget* Parent, const char* Name);
    // Fills Page edge to edge with one tab control named Name.
    static QTabWidget* TabControl(QWidget& Page, const char* Name);
    // Adds an empty tab named Name with Caption to Tabs; returns its page.
    static QWidget* AddTab(QTabWidget* Tabs, const char* Name, const QString& Caption);

    QSpinBox* SpinBox(const char* Name, int Min, int Max);
    // A counter that puts a whole number typed outside Min..Max at the
    // nearest end when the typing is done (TClampingSpinBox).
    QSpinBox* ClampingSpinBox(const char* Name, int Min, int Max);
    QCheckBox* CheckBox(const char* Name, const QString& Caption);
    QPushButton* Button(const char* Name, const QString& Caption);
    TButtonColor* ColorButton(const char* Name, const QString& Caption);

    // A row of a caption label (its buddy Control) and Control; the label
    // is named LabelName when given. Returns the label.
    QLabel* Row(const QString& Caption, QWidget* Control, const char* LabelName = nullptr);
    // A row of Control alone, across both columns.
    void Full(QWidget* Control);
    // A row of Control alone, across both columns, taking the height left
    // (a memo): no other row of the grid stretches.
    void Filling(QWidget* Control);
    // A row of Controls side by side, across both columns, left-aligned.
    void Line(std::initializer_list<QWidget*> Controls);
    // Space below the rows takes what is left.
    void Stretch();

private:
    void Occupy();

    QWidget& FPage;
    QGridLayout* FGrid;
    int FRow = 0;
};

// Every tab control under Root scrolls a tab row it cannot show whole with
// its scroll buttons, whatever the style prefers: no tab is ever out of
// reach.
void KeepTabRowsReachable(QWidget& Root);

// A scroll area showing one page (owned) that asks its layout for the room
// the page needs, up to the screen's free area less the room a window
// needs around a page (so the window holding it fits the screen), and
// scrolls the page when it gets less than the page needs.
class TPageScrollArea : public QScrollArea {
public:
    explicit TPageScrollArea(QWidget* Parent = nullptr);
    // What a window holding the area needs around it at most: its frame,
    // title, buttons and tab rows, and a list beside the page.
    static constexpr QSize RoomAround{240, 200};

    // Shows Page (owned from now on; an earlier page is destroyed); the
    // area follows the room the page asks for as it changes.
    void SetPage(QWidget* Page);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QSize Bounded(QSize PageSize) const;
};

// Orders the tab chain of Page's focusable controls as one reads them:
// top to bottom, then left to right within a line.
void SetReadingTabOrder(QWidget& Page);

} // namespace lp
