#include "chart/editors/seriestypes/ChartShapeEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/FontEditor.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/extensions/shapes/PlotChartShape.h"
#include "platform/core/StringList.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabWidget>

namespace lp {

namespace {

// The horizontal alignment's buttons in their order, and the title
// alignment each stands for.
constexpr TChartShape::TAlignment ShapeAlignments[] = {TChartTitle::taLeftJustify, TChartTitle::taCenter,
                                                        TChartTitle::taRightJustify};

} // namespace

TChartShapeEditor::TChartShapeEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    PageControl1 = TPageBuilder::TabControl(*this, "PageControl1");
    QWidget* style = TPageBuilder::AddTab(PageControl1, "TabStyle", QStringLiteral("Style"));
    QWidget* position = TPageBuilder::AddTab(PageControl1, "TabPosition", QStringLiteral("Position"));
    QWidget* text = TPageBuilder::AddTab(PageControl1, "TabText", QStringLiteral("Text"));

    TPageBuilder build(*style);
    CBStyle = TPageBuilder::Named(new QComboBox(style), "CBStyle");
    CBStyle->addItems({QStringLiteral("Rectangle"), QStringLiteral("Circle"), QStringLiteral("Vertical Line"),
                       QStringLiteral("Horiz. Line"), QStringLiteral("Triangle"), QStringLiteral("Invert. Triangle"),
                       QStringLiteral("Line"), QStringLiteral("Diamond"), QStringLiteral("Cube"),
                       QStringLiteral("Cross"), QStringLiteral("Diagonal Cross"), QStringLiteral("Star"),
                       QStringLiteral("Pyramid"), QStringLiteral("Invert. Pyramid")});
    CBStyle->setMaxVisibleItems(14);
    BShapeColor = build.ColorButton("BShapeColor", QStringLiteral("&Color..."));
    BShapePen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("Bor&der..."), style), "BShapePen");
    BShapeBrush = build.Button("BShapeBrush", QStringLiteral("&Pattern..."));
    CBTrans = build.CheckBox("CBTrans", QStringLiteral("Tra&nsparent"));
    CBRound = build.CheckBox("CBRound", QStringLiteral("&Round Rectangle"));
    MemoText = TPageBuilder::Named(new QPlainTextEdit(style), "MemoText");
    MemoText->setTabChangesFocus(true);
    MemoText->setMaximumHeight(MemoText->fontMetrics().lineSpacing() * 4 + 12);
    GBAlign = TPageBuilder::Named(new QGroupBox(QStringLiteral("&Horiz. Alignment"), style), "GBAlign");
    RGAlign = TPageBuilder::RadioGroup(this, GBAlign, "RGAlign", {"Left", "Center", "Right"}, Qt::Vertical);
    GBVertAlign = TPageBuilder::Named(new QGroupBox(QStringLiteral("&Alignment"), style), "GBVertAlign");
    RGVertAlign = TPageBuilder::RadioGroup(this, GBVertAlign, "RGVertAlign", {"Top", "Center", "Bottom"}, Qt::Vertical);
    BGradient = TPageBuilder::SymbolButton(new TButtonGradient(QStringLiteral("&Gradient..."), style), "BGradient");
    build.Row(QStringLiteral("&Style:"), CBStyle, "LStyle");
    build.Line({BShapeColor, BShapePen, BShapeBrush, BGradient});
    build.Line({CBTrans, CBRound});
    build.Row(QStringLiteral("Te&xt:"), MemoText, "LText");
    build.Line({GBAlign, GBVertAlign});
    build.Stretch();

    TPageBuilder place(*position);
    SEX0 = TPageBuilder::Named(new QLineEdit(position), "SEX0");
    SEY0 = TPageBuilder::Named(new QLineEdit(position), "SEY0");
    SEX1 = TPageBuilder::Named(new QLineEdit(position), "SEX1");
    SEY1 = TPageBuilder::Named(new QLineEdit(position), "SEY1");
    CBUnits = TPageBuilder::Named(new QComboBox(position), "CBUnits");
    CBUnits->addItems({QStringLiteral("Pixels"), QStringLiteral("Axis"), QStringLiteral("Axis Origin")});
    place.Row(QStringLiteral("&Left:"), SEX0, "LX0");
    place.Row(QStringLiteral("&Top:"), SEY0, "LY0");
    place.Row(QStringLiteral("&Right"), SEX1, "LX1");
    place.Row(QStringLiteral("&Bottom:"), SEY1, "LY1");
    place.Row(QStringLiteral("&Units:"), CBUnits, "LUnits");
    place.Stretch();

    auto* fontColumn = new QVBoxLayout(text);
    fontColumn->setContentsMargins(0, 0, 0, 0);
    FontEditor = new TPlotFontEditor(text);
    FontEditor->setWindowFlags(Qt::Widget);
    fontColumn->addWidget(FontEditor);
    PageControl1->setCurrentIndex(0);
    SetReadingTabOrder(*this);

    Binder().Bind(CBStyle, QStringLiteral("Style"));
    Binder().Bind(BShapeColor, QStringLiteral("SeriesColor"));
    Binder().Bind(CBTrans, QStringLiteral("Transparent"));
    Binder().Bind(CBRound, QStringLiteral("RoundRectangle"));
    Binder().Bind(
        RGAlign,
        [this]() -> QVariant {
            if (!Series())
                return {};
            for (int i = 0; i < 3; ++i)
                if (ShapeAlignments[i] == Series()->Alignment())
                    return i;
            return 1;
        },
        [this](const QVariant& Value) {
            if (Series() && Value.toInt() >= 0 && Value.toInt() < 3)
                Series()->SetAlignment(ShapeAlignments[Value.toInt()]);
        });
    Binder().Bind(RGVertAlign, QStringLiteral("VertAlign"));
    Binder().Bind(CBUnits, QStringLiteral("XYStyle"));
    // Corners are written once the text is a number. They are a shape's
    // first two points: other point counts leave the edits as they are.
    const std::pair<QLineEdit*, std::pair<double (TChartShape::*)() const, void (TChartShape::*)(double)>> corners[] = {
        {SEX0, {&TChartShape::X0, &TChartShape::SetX0}},
        {SEY0, {&TChartShape::Y0, &TChartShape::SetY0}},
        {SEX1, {&TChartShape::X1, &TChartShape::SetX1}},
        {SEY1, {&TChartShape::Y1, &TChartShape::SetY1}},
    };
    for (const auto& [edit, access] : corners) {
        const auto [get, set] = access;
        BindNumberEdit(
            *this, edit,
            [this, get = get]() -> std::optional<double> {
                return Series() && Series()->Count() == 2 ? std::optional<double>((Series()->*get)()) : std::nullopt;
            },
            [this, set = set](double Value) { (Series()->*set)(Value); });
    }
    BShapePen->OnClick = [this](TButtonPen*) { AfterUserChange(BShapePen); };
    BGradient->OnClick = [this](TButtonGradient*) { AfterUserChange(BGradient); };
    connect(BShapeBrush, &QPushButton::clicked, this, &TChartShapeEditor::BrushClick);
    connect(MemoText, &QPlainTextEdit::textChanged, this, &TChartShapeEditor::TextChanged);
}

TChartShape* TChartShapeEditor::Series() const
{
    return TargetAs<TChartShape>();
}

void TChartShapeEditor::FillControls()
{
    TChartShape* series = Series();
    if (!series)
        return;
    BShapePen->LinkPen(series->Pen());
    BGradient->LinkGradient(series->Gradient());
    // The memo being typed into keeps its text (a line break typed last
    // is not in the shape's lines yet).
    const QString text = series->Text()->ToQStringList().join(QLatin1Char('\n'));
    if (!FTypingText && MemoText->toPlainText() != text)
        MemoText->setPlainText(text);
    // The text shows in the shape's typeface and size.
    QFont font = MemoText->font();
    font.setFamily(series->Font()->Name());
    if (series->Font()->Size() > 0)
        font.setPointSize(series->Font()->Size());
    MemoText->setFont(font);
    RefreshFontEditor(FontEditor, series->Font());
}

void TChartShapeEditor::UpdateEnabled()
{
    TChartShape* series = Series();
    TCustomAxisPanel* chart = series ? series->ParentChart() : nullptr;
    CBRound->setEnabled(series && series->Style() == TChartShape::chasRectangle && !(chart && chart->View3D()));
    BGradient->setEnabled(static_cast<bool>(EditGradientEntryPoint()));
}

void TChartShapeEditor::BrushClick()
{
    if (CanWrite() && Series() && EditChartBrush(this, *Series()->Brush())) {
        Series()->Repaint();
        AfterUserChange(BShapeBrush);
    }
}

void TChartShapeEditor::TextChanged()
{
    TChartShape* series = Series();
    if (!CanWrite() || !series)
        return;
    const QString text = MemoText->toPlainText();
    if (series->Text()->ToQStringList().join(QLatin1Char('\n')) == text)
        return;
    series->Text()->SetText(text);
    FTypingText = true;
    AfterUserChange(MemoText);
    FTypingText = false;
}

} // namespace lp
