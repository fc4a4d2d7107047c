#include "chart/editors/tools/AnnotationToolPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/chart/TitlesPage.h"
#include "chart/editors/effects/ShapeEditor.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/editors/tools/ToolEditorBases.h"
#include "chart/extensions/tools/PlotAnnotationTool.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QVBoxLayout>

#include <tuple>

namespace lp {

namespace {

constexpr int PercentLimit = 100;

// A getter that reads nothing without a tool.
template <class TRead>
TPropertyBinder::TGetter AnnotationGetter(const TAnnotationToolEdit* Page, TRead Read)
{
    return [Page, Read]() -> QVariant {
        const TAnnotationTool* tool = Page->Tool();
        return tool ? QVariant(Read(*tool)) : QVariant();
    };
}

// An integer edit of the callout: the text read as a whole number, the old
// value kept for any other text.
void BindCalloutPosition(TAnnotationToolEdit* Page, QLineEdit* Edit, int (TAnnotationCallout::*Read)() const,
                         void (TAnnotationCallout::*Write)(int))
{
    Page->Binder().Bind(
        Edit, AnnotationGetter(Page, [Read](const TAnnotationTool& Tool) {
            return QString::number((Tool.Callout()->*Read)());
        }),
        [Page, Write](const QVariant& Text) {
            int value = 0;
            if (ReadWholeNumber(Text.toString(), value))
                (Page->Tool()->Callout()->*Write)(value);
        });
}

} // namespace

TAnnotationToolEdit::TAnnotationToolEdit(QWidget* Parent) : TEditorPage(Parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    PageControl1 = TPageBuilder::WideTabs(this, "PageControl1");
    PageControl1->addTab(BuildOptionsTab(), QStringLiteral("Options"));
    PageControl1->addTab(BuildPositionTab(), QStringLiteral("Position"));
    PageControl1->addTab(BuildSizeTab(), QStringLiteral("Size"));
    PageControl1->addTab(BuildCalloutTab(), QStringLiteral("Callout"));
    layout->addWidget(PageControl1);
    ShapeEditor = InsertShapeEditorTabs(PageControl1, nullptr);
    BindControls();
}

QWidget* TAnnotationToolEdit::BuildOptionsTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(this), "TabOptions");
    TPageBuilder build(*tab);
    MemoText = TPageBuilder::Named(new QPlainTextEdit(tab), "MemoText");
    MemoText->setTabChangesFocus(true);
    CBTextAlign = TPageBuilder::Combo(tab, "CBTextAlign", TitleAlignmentNames());
    CBCursor = TPageBuilder::Combo(tab, "CBCursor", {});
    auto* textLabel = TPageBuilder::Named(new QLabel(QStringLiteral("&Text:"), tab), "Label1");
    textLabel->setBuddy(MemoText);
    build.Full(textLabel);
    // The memo takes the width and the height left.
    build.Filling(MemoText);
    build.Row(QStringLiteral("Text &alignment:"), CBTextAlign, "Label2");
    build.Row(QStringLiteral("&Cursor:"), CBCursor, "Label3");
    build.Grid().setColumnStretch(1, 1);
    SetReadingTabOrder(*tab);
    return tab;
}

QWidget* TAnnotationToolEdit::BuildPositionTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(this), "TabPosition");
    TPageBuilder build(*tab);
    CBPos = TPageBuilder::Combo(tab, "CBPos",
                      {QStringLiteral("Left top"), QStringLiteral("Left bottom"), QStringLiteral("Right top"),
                       QStringLiteral("Right bottom")});
    CBCustPos = build.CheckBox("CBCustPos", QStringLiteral("&Custom"));
    UDLeft = ToolSpin(tab, "UDLeft", -100, 1000, 5);
    UDTop = ToolSpin(tab, "UDTop", -100, 1000, 5);
    CBUnits = TPageBuilder::Combo(tab, "CBUnits", {QStringLiteral("Percent"), QStringLiteral("Pixels")});
    // Disabled until the refresh finds a custom place.
    for (QWidget* control : std::initializer_list<QWidget*>{UDLeft, UDTop})
        control->setEnabled(false);
    build.Row(QStringLiteral("&Auto:"), CBPos, "Label4");
    build.Line({CBCustPos});
    build.Row(QStringLiteral("L&eft:"), UDLeft, "Label5");
    build.Row(QStringLiteral("T&op:"), UDTop, "Label6");
    build.Row(QStringLiteral("&Units:"), CBUnits, "Label7");
    build.Stretch();
    SetReadingTabOrder(*tab);
    return tab;
}

QWidget* TAnnotationToolEdit::BuildSizeTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(this), "TabSize");
    TPageBuilder build(*tab);
    CBAutoSize = build.CheckBox("CBAutoSize", QStringLiteral("&Automatic"));
    UDWidth = ToolSpin(tab, "UDWidth", 0, 2000);
    UDHeight = ToolSpin(tab, "UDHeight", 0, 2000);
    for (QWidget* control : std::initializer_list<QWidget*>{UDWidth, UDHeight})
        control->setEnabled(false);
    build.Line({CBAutoSize});
    build.Row(QStringLiteral("&Width:"), UDWidth, "Label8");
    build.Row(QStringLiteral("&Height:"), UDHeight, "Label9");
    build.Stretch();
    SetReadingTabOrder(*tab);
    return tab;
}

QWidget* TAnnotationToolEdit::BuildCalloutTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(this), "TabCallout");
    TPageBuilder build(*tab);
    BCalloutPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Border..."), tab), "BCalloutPen");
    BCalloutPointer = build.Button("BCalloutPointer", QStringLiteral("&Pointer..."));
    auto* position = TPageBuilder::Named(new QGroupBox(QStringLiteral("P&osition:"), tab), "GroupBox1");
    auto* positionGrid = new QGridLayout(position);
    EX = NumberEdit(position, "EX");
    EY = NumberEdit(position, "EY");
    EZ = NumberEdit(position, "EZ");
    int row = 0;
    for (auto [edit, caption, name] : {std::tuple{EX, "&X:", "Label10"}, std::tuple{EY, "&Y:", "Label11"},
                                       std::tuple{EZ, "&Z:", "Label12"}}) {
        auto* label = TPageBuilder::Named(new QLabel(QString::fromLatin1(caption), position), name);
        label->setBuddy(edit);
        positionGrid->addWidget(label, row, 0);
        positionGrid->addWidget(edit, row++, 1);
    }
    positionGrid->setColumnStretch(2, 1);
    UDArrowDist = ToolSpin(tab, "UDArrowDist", -1000, 1000);
    CBHead = TPageBuilder::Combo(tab, "CBHead", {QStringLiteral("None"), QStringLiteral("Line"), QStringLiteral("Solid")});
    UDHeadSize = ToolSpin(tab, "UDHeadSize", -1000, 1000);
    build.Line({BCalloutPen, BCalloutPointer});
    build.Full(position);
    build.Row(QStringLiteral("&Distance:"), UDArrowDist, "Label13");
    build.Row(QStringLiteral("&Arrow head:"), CBHead, "Label14");
    build.Row(QStringLiteral("&Size:"), UDHeadSize, "Label15");
    build.Stretch();
    SetReadingTabOrder(*tab);
    return tab;
}

void TAnnotationToolEdit::BindControls()
{
    TPropertyBinder& bind = Binder();
    bind.Bind(CBTextAlign, AnnotationGetter(this, [](const TAnnotationTool& Tool) {
                  return TitleAlignmentIndex(Tool.TextAlignment());
              }),
              [this](const QVariant& Index) { Tool()->SetTextAlignment(TitleAlignmentAt(Index.toInt())); });
    BindCursorCombo(
        *this, CBCursor, [this] { return Tool()->Cursor(); }, [this](TCursor Cursor) { Tool()->SetCursor(Cursor); },
        true);
    // The writer switches the custom place off.
    bind.Bind(CBPos, QStringLiteral("Position"));
    bind.Bind(CBCustPos, QStringLiteral("Shape.CustomPosition"));
    const auto customPosition = [this] { return Tool()->Shape()->CustomPosition(); };
    bind.Bind(UDLeft, AnnotationGetter(this, [](const TAnnotationTool& Tool) { return Tool.Shape()->Left(); }),
              [this, customPosition](const QVariant& Value) {
                  if (customPosition())
                      Tool()->Shape()->SetLeft(Value.toInt());
              });
    bind.Bind(UDTop, AnnotationGetter(this, [](const TAnnotationTool& Tool) { return Tool.Shape()->Top(); }),
              [this, customPosition](const QVariant& Value) {
                  if (customPosition())
                      Tool()->Shape()->SetTop(Value.toInt());
              });
    // A percentage beyond 100 would place the block off the chart.
    bind.Bind(CBUnits, AnnotationGetter(this, [](const TAnnotationTool& Tool) {
                  return Tool.PositionUnits() == TCustomPlotPanel::muPixels ? 1 : 0;
              }),
              [this](const QVariant& Index) {
                  TAnnotationTool* tool = Tool();
                  if (Index.toInt() == 1) {
                      tool->SetPositionUnits(TCustomPlotPanel::muPixels);
                      return;
                  }
                  tool->SetPositionUnits(TCustomPlotPanel::muPercent);
                  if (tool->Shape()->CustomPosition()) {
                      if (tool->Shape()->Left() > PercentLimit)
                          tool->Shape()->SetLeft(PercentLimit);
                      if (tool->Shape()->Top() > PercentLimit)
                          tool->Shape()->SetTop(PercentLimit);
                  }
              });
    bind.Bind(CBAutoSize, QStringLiteral("AutoSize"));
    bind.Bind(UDWidth, AnnotationGetter(this, [](const TAnnotationTool& Tool) { return Tool.Width(); }),
              [this](const QVariant& Value) {
                  if (!Tool()->AutoSize())
                      Tool()->SetWidth(Value.toInt());
              });
    bind.Bind(UDHeight, AnnotationGetter(this, [](const TAnnotationTool& Tool) { return Tool.Height(); }),
              [this](const QVariant& Value) {
                  if (!Tool()->AutoSize())
                      Tool()->SetHeight(Value.toInt());
              });
    BindCalloutPosition(this, EX, &TAnnotationCallout::XPosition, &TAnnotationCallout::SetXPosition);
    BindCalloutPosition(this, EY, &TAnnotationCallout::YPosition, &TAnnotationCallout::SetYPosition);
    BindCalloutPosition(this, EZ, &TAnnotationCallout::ZPosition, &TAnnotationCallout::SetZPosition);
    bind.Bind(UDArrowDist, QStringLiteral("Callout.Distance"));
    bind.Bind(CBHead, QStringLiteral("Callout.ArrowHead"));
    bind.Bind(UDHeadSize, QStringLiteral("Callout.ArrowHeadSize"));
    BCalloutPen->OnClick = [this](TButtonPen*) { AfterUserChange(BCalloutPen); };
    connect(BCalloutPointer, &QPushButton::clicked, this, &TAnnotationToolEdit::EditPointer);
    connect(MemoText, &QPlainTextEdit::textChanged, this, &TAnnotationToolEdit::MemoTextChange);
}

TAnnotationTool* TAnnotationToolEdit::Tool() const
{
    return TargetAs<TAnnotationTool>();
}

QString TAnnotationToolEdit::TextOfMemo(const QString& MemoText)
{
    QString text = MemoText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return text;
}

QString TAnnotationToolEdit::MemoOfText(const QString& Text)
{
    QString memo = Text;
    memo.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    memo.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return memo;
}

void TAnnotationToolEdit::MemoTextChange()
{
    if (!CanWrite() || !Tool())
        return;
    FWritingText = true;
    Tool()->SetText(TextOfMemo(MemoText->toPlainText()));
    AfterUserChange(MemoText);
    FWritingText = false;
}

void TAnnotationToolEdit::EditPointer()
{
    // The modal "Pointer" dialog on the callout's marker.
    TAnnotationTool* tool = Tool();
    if (!tool)
        return;
    EditSeriesPointer(this, tool->Callout());
    if (Tool()) {
        Tool()->Repaint();
        AfterUserChange(BCalloutPointer);
    }
}

void TAnnotationToolEdit::FillControls()
{
    TAnnotationTool* tool = Tool();
    ShapeEditor->SetTarget(tool->Shape());
    BCalloutPen->LinkPen(tool->Callout()->Arrow());
    // The memo the user is typing in keeps its text and cursor.
    const QString memo = MemoOfText(tool->Text());
    if (!FWritingText && MemoText->toPlainText() != memo)
        MemoText->setPlainText(memo);
}

void TAnnotationToolEdit::UpdateEnabled()
{
    TAnnotationTool* tool = Tool();
    const bool custom = tool && tool->Shape()->CustomPosition();
    for (QWidget* control : std::initializer_list<QWidget*>{UDLeft, UDTop, CBUnits,
                                                           findChild<QWidget*>(QStringLiteral("Label5")),
                                                           findChild<QWidget*>(QStringLiteral("Label6")),
                                                           findChild<QWidget*>(QStringLiteral("Label7"))})
        control->setEnabled(custom);
    const bool sized = tool && !tool->AutoSize();
    for (QWidget* control : std::initializer_list<QWidget*>{UDWidth, UDHeight,
                                                           findChild<QWidget*>(QStringLiteral("Label8")),
                                                           findChild<QWidget*>(QStringLiteral("Label9"))})
        control->setEnabled(sized);
    BCalloutPointer->setEnabled(tool != nullptr);
}

void TAnnotationToolEdit::showEvent(QShowEvent* Event)
{
    if (Creating())
        PageControl1->setCurrentIndex(0);
    TEditorPage::showEvent(Event);
}

} // namespace lp
