#include "chart/editors/chart/TitlesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/effects/ShapeEditor.h"
#include "chart/engine/PlotChart.h"
#include "platform/core/StringList.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>

namespace lp {

namespace {

constexpr int PositionLimit = 1000;

} // namespace

QStringList TitleAlignmentNames()
{
    return {QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")};
}

int TitleAlignmentIndex(TChartTitle::TAlignment Alignment)
{
    switch (Alignment) {
    case TChartTitle::taLeftJustify:
        return 0;
    case TChartTitle::taCenter:
        return 1;
    default:
        return 2;
    }
}

TChartTitle::TAlignment TitleAlignmentAt(int Index)
{
    return Index == 0 ? TChartTitle::taLeftJustify : Index == 1 ? TChartTitle::taCenter : TChartTitle::taRightJustify;
}

QString TitleLines(const TStringList& Lines)
{
    QStringList lines;
    for (int i = 0; i < Lines.Count(); ++i)
        lines.append(Lines.Strings(i));
    return lines.join(QLatin1Char('\n'));
}

void SetTitleLines(TStringList& Lines, const QString& Text)
{
    QString plain = Text;
    plain.remove(QLatin1Char('\r'));
    const QStringList lines = plain.isEmpty() ? QStringList() : plain.split(QLatin1Char('\n'));
    if (TitleLines(Lines) == lines.join(QLatin1Char('\n')) && Lines.Count() == lines.size())
        return;
    Lines.BeginUpdate();
    Lines.Clear();
    for (const QString& line : lines)
        Lines.Add(line);
    Lines.EndUpdate();
}

TFormPlotTitle::TFormPlotTitle(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Titles"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    CBTitles = TPageBuilder::Named(new QComboBox(this), "CBTitles");
    CBTitles->addItems({QStringLiteral("Title"), QStringLiteral("SubTitle"), QStringLiteral("SubFoot"), QStringLiteral("Foot")});
    auto* top = new QHBoxLayout;
    top->addWidget(CBTitles);
    top->addStretch();
    layout->addLayout(top);
    PageControlTitle = TPageBuilder::WideTabs(this, "PageControlTitle");
    PageControlTitle->addTab(BuildStyleTab(), QStringLiteral("Style"));
    PageControlTitle->addTab(BuildPositionTab(), QStringLiteral("Position"));
    layout->addWidget(PageControlTitle);
    ShapeEditor = InsertShapeEditorTabs(PageControlTitle, nullptr);
    BindControls();
}

QWidget* TFormPlotTitle::BuildStyleTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(this), "TabStyle");
    TPageBuilder build(*tab);
    CBVisible = build.CheckBox("CBVisible", QStringLiteral("&Visible"));
    CBAdjust = build.CheckBox("CBAdjust", QStringLiteral("&Adjust Frame"));
    CBAlign = TPageBuilder::Named(new QComboBox(tab), "CBAlign");
    CBAlign->addItems(TitleAlignmentNames());
    auto* alignLabel = TPageBuilder::Named(new QLabel(QStringLiteral("Alig&nment:"), tab), "Label1");
    alignLabel->setBuddy(CBAlign);
    MText = TPageBuilder::Named(new QPlainTextEdit(tab), "MText");
    MText->setLineWrapMode(QPlainTextEdit::NoWrap);
    MText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* textLabel = TPageBuilder::Named(new QLabel(QStringLiteral("&Text:"), tab), "Label2");
    textLabel->setBuddy(MText);
    build.Line({CBVisible, CBAdjust, alignLabel, CBAlign});
    build.Full(textLabel);
    build.Filling(MText);
    build.Grid().setColumnStretch(1, 1);
    SetReadingTabOrder(*tab);
    return tab;
}

QWidget* TFormPlotTitle::BuildPositionTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(this), "TabPosition");
    TPageBuilder build(*tab);
    CBCustPos = build.CheckBox("CBCustPos", QStringLiteral("&Custom:"));
    UDLeft = build.SpinBox("UDLeft", -PositionLimit, PositionLimit);
    UDTop = build.SpinBox("UDTop", -PositionLimit, PositionLimit);
    UDLeft->setSingleStep(5);
    UDTop->setSingleStep(5);
    UDLeft->setEnabled(false);
    UDTop->setEnabled(false);
    build.Line({CBCustPos});
    build.Row(QStringLiteral("L&eft:"), UDLeft, "LLeft");
    build.Row(QStringLiteral("T&op:"), UDTop, "LTop");
    build.Stretch();
    SetReadingTabOrder(*tab);
    return tab;
}

void TFormPlotTitle::BindControls()
{
    const auto get = [this](auto Read) -> TPropertyBinder::TGetter {
        return [this, Read]() -> QVariant { return TheTitle() ? QVariant(Read(*TheTitle())) : QVariant(); };
    };
    // The edited title is the target: its own settings bind by name.
    Binder().Bind(CBVisible, QStringLiteral("Visible"));
    Binder().Bind(CBAdjust, QStringLiteral("AdjustFrame"));
    Binder().Bind(CBAlign, get([](const TChartTitle& T) { return TitleAlignmentIndex(T.Alignment()); }),
                  [this](const QVariant& Value) { TheTitle()->SetAlignment(TitleAlignmentAt(Value.toInt())); });
    Binder().Bind(CBCustPos, QStringLiteral("CustomPosition"));
    // The place is written only for a title placed freely.
    Binder().Bind(UDLeft, get([](const TChartTitle& T) { return T.Left(); }), [this](const QVariant& Value) {
        if (TheTitle()->CustomPosition())
            TheTitle()->SetLeft(Value.toInt());
    });
    Binder().Bind(UDTop, get([](const TChartTitle& T) { return T.Top(); }), [this](const QVariant& Value) {
        if (TheTitle()->CustomPosition())
            TheTitle()->SetTop(Value.toInt());
    });
    connect(CBTitles, &QComboBox::currentIndexChanged, this, &TFormPlotTitle::CBTitlesChange);
    connect(MText, &QPlainTextEdit::textChanged, this, &TFormPlotTitle::MTextChange);
}

TCustomChart* TFormPlotTitle::Chart() const
{
    return TheTitle() ? qobject_cast<TCustomChart*>(TheTitle()->ParentChart()) : nullptr;
}

TChartTitle* TFormPlotTitle::TheTitle() const
{
    return TargetAs<TChartTitle>();
}

std::vector<TChartTitle*> TFormPlotTitle::Titles() const
{
    const TCustomChart* chart = Chart();
    if (!chart)
        return {};
    return {chart->Title(), chart->SubTitle(), chart->SubFoot(), chart->Foot()};
}

// Another title of the chart becomes the target: filled, nothing written.
void TFormPlotTitle::CBTitlesChange()
{
    const std::vector<TChartTitle*> titles = Titles();
    const int index = CBTitles->currentIndex();
    if (Loading() || index < 0 || index >= static_cast<int>(titles.size()) || titles[index] == TheTitle())
        return;
    SetTarget(titles[index]);
}

void TFormPlotTitle::FillControls()
{
    TChartTitle* title = TheTitle();
    if (!title)
        return;
    const std::vector<TChartTitle*> titles = Titles();
    const auto found = std::find(titles.begin(), titles.end(), title);
    CBTitles->setCurrentIndex(found == titles.end() ? 0 : static_cast<int>(found - titles.begin()));
    if (!FWritingText) {
        const QString text = TitleLines(*title->Text());
        if (MText->toPlainText() != text)
            MText->setPlainText(text);
    }
    ShapeEditor->SetTarget(title);
}

void TFormPlotTitle::UpdateEnabled()
{
    const bool custom = TheTitle() && TheTitle()->CustomPosition();
    for (QWidget* control : std::initializer_list<QWidget*>{UDLeft, UDTop, findChild<QWidget*>(QStringLiteral("LLeft")),
                                                           findChild<QWidget*>(QStringLiteral("LTop"))})
        control->setEnabled(custom);
}

void TFormPlotTitle::showEvent(QShowEvent* Event)
{
    if (Creating())
        PageControlTitle->setCurrentIndex(0);
    TEditorPage::showEvent(Event);
}

void TFormPlotTitle::MTextChange()
{
    if (!CanWrite() || !TheTitle())
        return;
    FWritingText = true;
    SetTitleLines(*TheTitle()->Text(), MText->toPlainText());
    AfterUserChange(MText);
    FWritingText = false;
}

} // namespace lp
