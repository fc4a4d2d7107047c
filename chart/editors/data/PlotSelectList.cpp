#include "chart/editors/data/PlotSelectList.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QToolButton>

namespace lp {

namespace {

QListWidget* NewChoiceList(const char* Name)
{
    auto* List = TPageBuilder::Named(new QListWidget, Name);
    List->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return List;
}

QPushButton* NewMoveButton(const char* Name, const QString& Caption)
{
    auto* Button = TPageBuilder::Named(new QPushButton(Caption), Name);
    Button->setFixedWidth(32);
    Button->setAutoDefault(false);
    return Button;
}

// The list box with its caption label above it.
QWidget* CaptionedList(const char* LabelName, const QString& Caption, QListWidget* List)
{
    auto* Holder = new QWidget;
    auto* Column = new QVBoxLayout(Holder);
    Column->setContentsMargins(0, 0, 0, 0);
    auto* Label = TPageBuilder::Named(new QLabel(Caption), LabelName);
    Label->setBuddy(List);
    Column->addWidget(Label);
    Column->addWidget(List, 1);
    return Holder;
}

} // namespace

TSelectListForm::TSelectListForm(QWidget* Parent)
    : QWidget(Parent)
{
    BuildControls();
    LoadArrowBitmaps(FMoveUp, FMoveDown);
    EnableButtons();
}

void TSelectListForm::BuildControls()
{
    FFromList = NewChoiceList("FromList");
    FToList = NewChoiceList("ToList");
    FRightOne = NewMoveButton("BRightOne", QStringLiteral(">"));
    FRightAll = NewMoveButton("BRightAll", QStringLiteral(">>"));
    FLeftOne = NewMoveButton("BLeftOne", QStringLiteral("<"));
    FLeftAll = NewMoveButton("BLeftAll", QStringLiteral("<<"));
    FMoveUp = TPageBuilder::Named(new QToolButton, "BMoveUP");
    FMoveDown = TPageBuilder::Named(new QToolButton, "BMoveDown");

    auto* Movers = TPageBuilder::Named(new QWidget, "Panel3");
    auto* MoverColumn = new QVBoxLayout(Movers);
    MoverColumn->setContentsMargins(4, 0, 4, 0);
    MoverColumn->addStretch();
    for (QPushButton* Button : {FRightOne, FRightAll, FLeftOne, FLeftAll})
        MoverColumn->addWidget(Button);
    MoverColumn->addStretch();

    auto* Chosen = new QWidget;
    auto* ChosenRow = new QHBoxLayout(Chosen);
    ChosenRow->setContentsMargins(0, 0, 0, 0);
    ChosenRow->addWidget(CaptionedList("L24", QStringLiteral("&Selected: "), FToList), 1);
    auto* Order = TPageBuilder::Named(new QWidget, "Panel1");
    auto* OrderColumn = new QVBoxLayout(Order);
    OrderColumn->setContentsMargins(2, 0, 0, 0);
    OrderColumn->addStretch();
    OrderColumn->addWidget(FMoveUp);
    OrderColumn->addWidget(FMoveDown);
    OrderColumn->addStretch();
    ChosenRow->addWidget(Order);

    auto* Available = new QWidget;
    auto* AvailableRow = new QHBoxLayout(Available);
    AvailableRow->setContentsMargins(0, 0, 0, 0);
    AvailableRow->addWidget(CaptionedList("L22", QStringLiteral("A&vailable:"), FFromList), 1);
    AvailableRow->addWidget(Movers);

    auto* Splitter = TPageBuilder::Named(new QSplitter(Qt::Horizontal), "Splitter1");
    Splitter->addWidget(Available);
    Splitter->addWidget(Chosen);
    Splitter->setChildrenCollapsible(false);
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(Splitter);

    connect(FRightOne, &QPushButton::clicked, this, [this] { MoveRightOne(); });
    connect(FLeftOne, &QPushButton::clicked, this, [this] { MoveLeftOne(); });
    connect(FRightAll, &QPushButton::clicked, this, [this] { MoveAll(FFromList, FToList); });
    connect(FLeftAll, &QPushButton::clicked, this, [this] { MoveAll(FToList, FFromList); });
    connect(FMoveUp, &QToolButton::clicked, this, [this] { MoveChosen(-1); });
    connect(FMoveDown, &QToolButton::clicked, this, [this] { MoveChosen(1); });
    connect(FFromList, &QListWidget::itemDoubleClicked, this, [this] {
        MoveRightOne();
        FToList->setCurrentRow(FToList->count() - 1);
        EnableButtons();
    });
    connect(FToList, &QListWidget::itemDoubleClicked, this, [this] { MoveLeftOne(); });
    for (QListWidget* List : {FFromList, FToList})
        connect(List, &QListWidget::itemSelectionChanged, this, [this] { EnableButtons(); });
    connect(FToList, &QListWidget::currentRowChanged, this, [this] { EnableButtons(); });
    SetReadingTabOrder(*this);
}

void TSelectListForm::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    EnableButtons();
    (FFromList->count() == 0 ? FToList : FFromList)->setFocus();
}

void TSelectListForm::EnableButtons()
{
    const bool HasAvailable = FFromList->count() > 0;
    const bool HasChosen = FToList->count() > 0;
    FRightOne->setEnabled(HasAvailable);
    FRightAll->setEnabled(HasAvailable);
    FLeftOne->setEnabled(HasChosen);
    FLeftAll->setEnabled(HasChosen);
    const int Current = FToList->currentRow();
    FMoveUp->setEnabled(Current > 0);
    FMoveDown->setEnabled(Current != -1 && Current < FToList->count() - 1);
}

void TSelectListForm::AfterMove()
{
    EnableButtons();
    if (OnChange)
        OnChange();
}

void TSelectListForm::MoveRightOne()
{
    MoveListSelected(FFromList, FToList);
    AfterMove();
    if (FFromList->count() == 0)
        FToList->setFocus();
}

void TSelectListForm::MoveLeftOne()
{
    MoveListSelected(FToList, FFromList);
    AfterMove();
}

void TSelectListForm::MoveAll(QListWidget* Source, QListWidget* Dest)
{
    MoveListItems(Source, Dest);
    AfterMove();
}

void TSelectListForm::MoveChosen(int Step)
{
    const int Current = FToList->currentRow();
    const int Neighbour = Current + Step;
    if (Current < 0 || Neighbour < 0 || Neighbour >= FToList->count())
        return;
    QListWidgetItem* Item = FToList->takeItem(Current);
    FToList->insertItem(Neighbour, Item);
    FToList->setCurrentRow(Neighbour);
    FToList->setFocus();
    AfterMove();
}

} // namespace lp
