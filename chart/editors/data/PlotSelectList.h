#pragma once
// A pair of lists for choosing an ordered subset: the available items on
// the left, the chosen ones on the right, buttons between them to move
// items across and beside the right list to reorder it. Items keep their
// data (Qt::UserRole) when they move.

#include <QtWidgets/QWidget>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class QToolButton;

namespace lp {

class TSelectListForm : public QWidget {
    Q_OBJECT
public:
    explicit TSelectListForm(QWidget* Parent = nullptr);

    QListWidget* FromList() const { return FFromList; }
    QListWidget* ToList() const { return FToList; }

    // Enables the buttons for the lists' contents and the current item.
    void EnableButtons();

    // Runs after every move (across or within the lists).
    std::function<void()> OnChange;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void BuildControls();
    void AfterMove();
    void MoveRightOne();
    void MoveLeftOne();
    void MoveAll(QListWidget* Source, QListWidget* Dest);
    void MoveChosen(int Step);

    QListWidget* FFromList = nullptr;
    QListWidget* FToList = nullptr;
    QPushButton* FRightOne = nullptr;
    QPushButton* FRightAll = nullptr;
    QPushButton* FLeftOne = nullptr;
    QPushButton* FLeftAll = nullptr;
    QToolButton* FMoveUp = nullptr;
    QToolButton* FMoveDown = nullptr;
};

} // namespace lp
