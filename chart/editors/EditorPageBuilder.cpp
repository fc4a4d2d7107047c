#include "chart/editors/EditorPageBuilder.h"

#include "chart/editors/ClampingSpinBox.h"
#include "chart/editors/PlotEditorButtons.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QStyle>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>

#include <algorithm>
#include <climits>

namespace lp {

TPageBuilder::TPageBuilder(QWidget& Page) : FPage(Page), FGrid(new QGridLayout(&Page))
{
    FGrid->setContentsMargins(8, 8, 8, 8);
    FGrid->setSpacing(6);
}

namespace {

QSpinBox* RangedSpinBox(QSpinBox* Spin, const char* Name, int Min, int Max)
{
    TPageBuilder::Named(Spin, Name);
    Spin->setRange(Min, Max);
    // Room for the widest value of the range.
    Spin->setMinimumWidth(Spin->fontMetrics().horizontalAdvance(QString::number(std::min(Min, -std::abs(Max)))) + 36);
    return Spin;
}

} // namespace

QSpinBox* TPageBuilder::SpinBox(const char* Name, int Min, int Max)
{
    return RangedSpinBox(new QSpinBox(&FPage), Name, Min, Max);
}

QSpinBox* TPageBuilder::ClampingSpinBox(const char* Name, int Min, int Max)
{
    return RangedSpinBox(new TClampingSpinBox(&FPage), Name, Min, Max);
}

QCheckBox* TPageBuilder::CheckBox(const char* Name, const QString& Caption)
{
    return Named(new QCheckBox(Caption, &FPage), Name);
}

QPushButton* TPageBuilder::Button(const char* Name, const QString& Caption)
{
    return Named(new QPushButton(Caption, &FPage), Name);
}

QComboBox* TPageBuilder::Combo(QWidget* Parent, const char* Name, const QStringList& Items)
{
    auto* combo = Named(new QComboBox(Parent), Name);
    combo->addItems(Items);
    return combo;
}

namespace {

// A tab row that asks for its whole length as its minimum.
class TWholeTabRow : public QTabBar {
public:
    using QTabBar::QTabBar;
    QSize minimumSizeHint() const override { return sizeHint(); }
};

// A tab control with a whole tab row.
class TWholeRowTabs : public QTabWidget {
public:
    explicit TWholeRowTabs(QWidget* Parent) : QTabWidget(Parent)
    {
        setTabBar(new TWholeTabRow(this));
        setUsesScrollButtons(true);
    }
};

} // namespace

QTabWidget* TPageBuilder::WideTabs(QWidget* Parent, const char* Name)
{
    return Named(new TWholeRowTabs(Parent), Name);
}

QTabWidget* TPageBuilder::TabControl(QWidget& Page, const char* Name)
{
    auto* column = new QVBoxLayout(&Page);
    column->setContentsMargins(0, 0, 0, 0);
    auto* tabs = Named(new QTabWidget(&Page), Name);
    column->addWidget(tabs);
    return tabs;
}

QWidget* TPageBuilder::AddTab(QTabWidget* Tabs, const char* Name, const QString& Caption)
{
    auto* page = Named(new QWidget(Tabs), Name);
    Tabs->addTab(page, Caption);
    return page;
}

QButtonGroup* TPageBuilder::RadioGroup(QObject* Owner, QGroupBox* Box, const char* Name,
                                       std::initializer_list<const char*> Captions, Qt::Orientation Orientation)
{
    QBoxLayout* layout = Orientation == Qt::Horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout(Box))
                                                       : static_cast<QBoxLayout*>(new QVBoxLayout(Box));
    auto* group = Named(new QButtonGroup(Owner), Name);
    int id = 0;
    for (const char* caption : Captions) {
        auto* radio = new QRadioButton(QString::fromLatin1(caption), Box);
        radio->setObjectName(QString::fromLatin1(Name) + QString::number(id));
        group->addButton(radio, id++);
        layout->addWidget(radio);
    }
    return group;
}

TButtonColor* TPageBuilder::ColorButton(const char* Name, const QString& Caption)
{
    return SymbolButton(new TButtonColor(Caption, &FPage), Name);
}

QLabel* TPageBuilder::Row(const QString& Caption, QWidget* Control, const char* LabelName)
{
    auto* label = new QLabel(Caption, &FPage);
    if (LabelName)
        label->setObjectName(QString::fromLatin1(LabelName));
    label->setBuddy(Control);
    Occupy();
    FGrid->addWidget(label, FRow, 0, Qt::AlignRight | Qt::AlignVCenter);
    FGrid->addWidget(Control, FRow, 1, Qt::AlignLeft | Qt::AlignVCenter);
    ++FRow;
    return label;
}

void TPageBuilder::Full(QWidget* Control)
{
    Occupy();
    FGrid->addWidget(Control, FRow++, 0, 1, 2, Qt::AlignLeft | Qt::AlignVCenter);
}

void TPageBuilder::Filling(QWidget* Control)
{
    for (int row = 0; row < FGrid->rowCount(); ++row)
        FGrid->setRowStretch(row, 0);
    FGrid->addWidget(Control, FRow, 0, 1, 2);
    FGrid->setRowStretch(FRow++, 1);
}

void TPageBuilder::Line(std::initializer_list<QWidget*> Controls)
{
    auto* line = new QHBoxLayout;
    for (QWidget* control : Controls)
        line->addWidget(control);
    line->addStretch();
    Occupy();
    FGrid->addLayout(line, FRow++, 0, 1, 2);
}

void TPageBuilder::Occupy()
{
    // A row added below a stretch (a descendant page adding rows to its
    // base's grid) takes the row the stretch was on: the stretch moves
    // below it. Only a row the grid has is asked: Qt reads the stretch of
    // any other past the end of its list, and a stray value there put a
    // stretching empty row into the page (the titles page's memo then sat
    // 100 pixels below its label).
    if (FRow < FGrid->rowCount() && FGrid->rowStretch(FRow) != 0) {
        FGrid->setRowStretch(FRow, 0);
        FGrid->setRowStretch(FRow + 1, 1);
    }
}

void TPageBuilder::Stretch()
{
    FGrid->setRowStretch(FRow, 1);
    FGrid->setColumnStretch(1, 1);
}

void KeepTabRowsReachable(QWidget& Root)
{
    for (QTabWidget* tabs : Root.findChildren<QTabWidget*>())
        tabs->setUsesScrollButtons(true);
}

TPageScrollArea::TPageScrollArea(QWidget* Parent) : QScrollArea(Parent)
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
}

void TPageScrollArea::SetPage(QWidget* Page)
{
    setWidget(Page);
    Page->installEventFilter(this);
    updateGeometry();
}

bool TPageScrollArea::eventFilter(QObject* Watched, QEvent* Event)
{
    // The page's layout changed: the room it asks for may have too.
    if (Watched == widget() && Event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(Watched, Event);
}

QSize TPageScrollArea::Bounded(QSize PageSize) const
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QSize room =
        screen ? (screen->availableGeometry().size() - RoomAround).expandedTo(RoomAround) : PageSize;
    const int frame = 2 * frameWidth();
    // Where the page is cut down to the room, the other direction makes
    // room for the scroll bar.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    QSize size = PageSize.boundedTo(room);
    if (PageSize.width() > room.width())
        size.rheight() = std::min(PageSize.height() + bar, room.height());
    if (PageSize.height() > room.height())
        size.rwidth() = std::min(PageSize.width() + bar, room.width());
    return size + QSize(frame, frame);
}

QSize TPageScrollArea::minimumSizeHint() const
{
    return widget() ? Bounded(widget()->minimumSizeHint().expandedTo(widget()->minimumSize()))
                    : QScrollArea::minimumSizeHint();
}

QSize TPageScrollArea::sizeHint() const
{
    return widget() ? Bounded(widget()->sizeHint().expandedTo(widget()->minimumSizeHint())) : QScrollArea::sizeHint();
}

void SetReadingTabOrder(QWidget& Page)
{
    if (Page.layout())
        Page.layout()->activate();
    std::vector<QWidget*> controls;
    for (QWidget* child : Page.findChildren<QWidget*>())
        // A combo box's drop-down list lives in a window of its own.
        if (child->focusPolicy() & Qt::TabFocus && child->window() == Page.window() && !child->focusProxy())
            controls.push_back(child);
    // Lines are told apart by the controls' vertical centres (a few pixels
    // of slack keep a label-height difference on one line).
    constexpr int LineSlack = 8;
    auto key = [&Page](QWidget* Control) {
        const QPoint centre = Control->mapTo(&Page, Control->rect().center());
        return std::pair(centre.y() / LineSlack, Control->mapTo(&Page, QPoint(0, 0)).x());
    };
    std::stable_sort(controls.begin(), controls.end(),
                     [&key](QWidget* A, QWidget* B) { return key(A) < key(B); });
    for (std::size_t i = 1; i < controls.size(); ++i)
        QWidget::setTabOrder(controls[i - 1], controls[i]);
}

} // namespace lp
