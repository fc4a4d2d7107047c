#include "chart/editors/EditorPageBuilder.h"

#include "chart/editors/PlotEditorButtons.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <algorithm>
#include <climits>

namespace lp {

TPageBuilder::TPageBuilder(QWidget& Page) : FPage(Page), FGrid(new QGridLayout(&Page))
{
    FGrid->setContentsMargins(8, 8, 8, 8);
    FGrid->setSpacing(6);
}

QSpinBox* TPageBuilder::SpinBox(const char* Name, int Min, int Max)
{
    auto* spin = Named(new QSpinBox(&FPage), Name);
    spin->setRange(Min, Max);
    // Room for the widest value of the range.
    spin->setMinimumWidth(spin->fontMetrics().horizontalAdvance(QString::number(std::min(Min, -std::abs(Max)))) + 36);
    return spin;
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

QTabWidget* TPageBuilder::WideTabs(QWidget* Parent, const char* Name)
{
    auto* tabs = Named(new QTabWidget(Parent), Name);
    tabs->setUsesScrollButtons(false);
    return tabs;
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
