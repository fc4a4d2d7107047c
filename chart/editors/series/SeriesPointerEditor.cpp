#include "chart/editors/series/SeriesPointerEditor.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/series/SeriesEditorTabs.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotPointer.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

// The up-downs' range of the half sizes.
constexpr int PointerSizeLimit = 1000;

TSeriesPointer* PointerOf(QObject* Target)
{
    if (auto* pointer = qobject_cast<TSeriesPointer*>(Target))
        return pointer;
    return qobject_cast<TSeriesPointer*>(ReadObjectPath(Target, QStringLiteral("Pointer")));
}

} // namespace

TSeriesPointerEditor::TSeriesPointerEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Pointer"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);

    GPPoint = TPageBuilder::Named(new QGroupBox(this), "GPPoint");
    TPageBuilder build(*GPPoint);
    CBDrawPoint = build.CheckBox("CBDrawPoint", QStringLiteral("&Visible"));
    CB3dPoint = build.CheckBox("CB3dPoint", QStringLiteral("&3D"));
    CBPoDark = build.CheckBox("CBPoDark", QStringLiteral("Dar&k 3D"));
    CBInflate = build.CheckBox("CBInflate", QStringLiteral("Inflate &Margins"));
    UDPointHorizSize = build.SpinBox("UDPointHorizSize", 1, PointerSizeLimit);
    UDPointVertSize = build.SpinBox("UDPointVertSize", 1, PointerSizeLimit);
    CBStyle = TPageBuilder::Named(new TComboFlat(GPPoint), "CBStyle");
    CBStyle->addItems({QStringLiteral("Square"), QStringLiteral("Circle"), QStringLiteral("Triangle"),
                       QStringLiteral("Down Triangle"), QStringLiteral("Cross"), QStringLiteral("Diagonal Cross"),
                       QStringLiteral("Star"), QStringLiteral("Diamond"), QStringLiteral("Small Dot"),
                       QStringLiteral("Nothing"), QStringLiteral("Left Triangle"), QStringLiteral("Right Triangle")});
    CBStyle->setMaxVisibleItems(12);
    CBStyle->setMinimumWidth(CBStyle->fontMetrics().horizontalAdvance(QStringLiteral("Right Triangle")) + 60);
    CBStyle->SetDrawItem(
        [this](TCanvas& Canvas, const TRect& Rect, int Index, TColor Background) {
            DrawStyleItem(Canvas, Rect, Index, Background);
        },
        18);

    GroupBox1 = TPageBuilder::Named(new QGroupBox(GPPoint), "GroupBox1");
    TPageBuilder fill(*GroupBox1);
    BPointFillColor = fill.Button("BPointFillColor", QStringLiteral("&Pattern..."));
    CBDefBrushColor = fill.CheckBox("CBDefBrushColor", QStringLiteral("&Default"));
    BPoinPenCol = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("B&order..."), GroupBox1), "BPoinPenCol");
    fill.Line({BPointFillColor, CBDefBrushColor});
    fill.Line({BPoinPenCol});

    build.Line({CBDrawPoint, CB3dPoint, CBPoDark});
    build.Line({CBInflate});
    LPointHorizSize = build.Row(QStringLiteral("&Width:"), UDPointHorizSize, "LPointHorizSize");
    LPointVertSize = build.Row(QStringLiteral("&Height:"), UDPointVertSize, "LPointVertSize");
    build.Row(QStringLiteral("&Style:"), CBStyle, "LStyle");
    build.Full(GroupBox1);
    column->addWidget(GPPoint);

    CBColorEach = TPageBuilder::Named(new QCheckBox(QStringLiteral("&Color Each "), this), "CBColorEach");
    BGradient = TPageBuilder::SymbolButton(new TButtonGradient(QStringLiteral("&Gradient..."), this), "BGradient");
    auto* below = new QHBoxLayout;
    below->addWidget(CBColorEach);
    below->addWidget(BGradient);
    below->addStretch(1);
    column->addLayout(below);
    column->addStretch(1);

    PanelBottom = TPageBuilder::Named(new QWidget(this), "PanelBottom");
    Button1 = TPageBuilder::Named(new QPushButton(QStringLiteral("Close"), PanelBottom), "Button1");
    auto* bottom = new QHBoxLayout(PanelBottom);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addStretch(1);
    bottom->addWidget(Button1);
    column->addWidget(PanelBottom);
    PanelBottom->hide();
    SetReadingTabOrder(*this);

    auto bindPointer = [this](QObject* Control, const char* Name) {
        const QString property = QString::fromLatin1(Name);
        Binder().Bind(
            Control,
            [this, property]() -> QVariant {
                return Pointer() ? ReadPropertyPath(Pointer(), property) : QVariant();
            },
            [this, property](const QVariant& Value) { WritePropertyPath(Pointer(), property, Value); });
    };
    bindPointer(CBDrawPoint, "Visible");
    bindPointer(CB3dPoint, "Draw3D");
    bindPointer(CBPoDark, "Dark3D");
    bindPointer(CBInflate, "InflateMargins");
    bindPointer(UDPointHorizSize, "HorizSize");
    bindPointer(UDPointVertSize, "VertSize");
    bindPointer(CBStyle, "Style");
    Binder().Bind(
        CBDefBrushColor,
        [this]() -> QVariant {
            TSeriesPointer* pointer = Pointer();
            if (!pointer)
                return {};
            return pointer->Color() == clDefault && pointer->Pen()->Color() == clDefault;
        },
        [this](const QVariant& Value) {
            TSeriesPointer* pointer = Pointer();
            if (Value.toBool()) {
                pointer->SetColor(clDefault);
                pointer->Pen()->SetColor(clDefault);
            } else if (pointer->Pen()->Color() == clDefault) {
                // The brush stays automatic; the border gets a colour of its own.
                pointer->Pen()->SetColor(clBlack);
            }
            CBStyle->update();
        });
    Binder().Bind(
        CBColorEach, [this]() -> QVariant { return Series() ? QVariant(Series()->ColorEachPoint()) : QVariant(); },
        [this](const QVariant& Value) {
            if (Series())
                Series()->SetColorEachPoint(Value.toBool());
        });
    connect(BPointFillColor, &QPushButton::clicked, this, &TSeriesPointerEditor::PatternClick);
    BPoinPenCol->OnClick = [this](TButtonPen*) {
        AfterUserChange(BPoinPenCol);
        CBStyle->update();
    };
    BGradient->OnClick = [this](TButtonGradient*) { AfterUserChange(BGradient); };
    connect(Button1, &QPushButton::clicked, this, &QDialog::close);
}

TSeriesPointer* TSeriesPointerEditor::Pointer() const
{
    return PointerOf(Target());
}

TChartSeries* TSeriesPointerEditor::Series() const
{
    return TargetAs<TChartSeries>();
}

void TSeriesPointerEditor::HideSizeControls()
{
    FSizesHidden = true;
    ShowControls(false, {LPointHorizSize, UDPointHorizSize, LPointVertSize, UDPointVertSize});
}

void TSeriesPointerEditor::FillControls()
{
    TSeriesPointer* pointer = Pointer();
    // A pointer alone has no series to colour point by point.
    CBColorEach->setVisible(Series() != nullptr && !CBColorEach->property("Hidden").toBool());
    CBColorEach->setEnabled(Series() != nullptr);
    if (!pointer)
        return;
    BPoinPenCol->LinkPen(pointer->Pen());
    BGradient->LinkGradient(pointer->Gradient());
    BGradient->NoEndColor = !pointer->UseGradientEndColor();
    if (!pointer->AllowChangeSize() || FSizesHidden)
        ShowControls(false, {LPointHorizSize, UDPointHorizSize, LPointVertSize, UDPointVertSize});
    CBStyle->update();
}

bool TSeriesPointerEditor::Can3D() const
{
    TSeriesPointer* pointer = Pointer();
    TChartSeries* series = pointer ? pointer->ParentSeries() : nullptr;
    TCustomAxisPanel* chart = series ? series->ParentChart() : nullptr;
    if (!chart || !chart->View3D())
        return false;
    switch (pointer->Style()) {
    case psRectangle:
    case psTriangle:
    case psDownTriangle:
        return true;
    case psCircle:
        return chart->Canvas().SupportsFullRotation();
    default:
        return false;
    }
}

void TSeriesPointerEditor::UpdateEnabled()
{
    TSeriesPointer* pointer = Pointer();
    const bool visible = pointer && pointer->Visible();
    const bool can3D = visible && Can3D();
    CB3dPoint->setEnabled(can3D);
    CBPoDark->setEnabled(can3D && CB3dPoint->isChecked());
    for (QWidget* control : std::initializer_list<QWidget*>{CBInflate, UDPointHorizSize, UDPointVertSize,
                                                            LPointHorizSize, LPointVertSize, BPointFillColor,
                                                            CBStyle, BPoinPenCol, CBDefBrushColor})
        control->setEnabled(visible);
    BGradient->setEnabled(visible && static_cast<bool>(EditGradientEntryPoint()));
}

TColor TSeriesPointerEditor::StyleItemColor() const
{
    TSeriesPointer* pointer = Pointer();
    if (!pointer)
        return clBlack;
    TColor color = pointer->Color();
    if (color == clDefault && pointer->ParentSeries())
        color = pointer->ParentSeries()->GetSeriesColor();
    return color;
}

void TSeriesPointerEditor::DrawStyleItem(TCanvas& Canvas, const TRect& Rect, int Index, TColor Background) const
{
    Canvas.Brush().SetStyle(TBrush::bsSolid);
    Canvas.Brush().SetColor(Background);
    Canvas.FillRect(Rect);
    if (TSeriesPointer* pointer = Pointer()) {
        const TColor color = StyleItemColor();
        TPlotCanvas3D plot;
        plot.SetBufferedDisplay(false);
        plot.InitWindow(&Canvas, nullptr, Background, false, Rect);
        plot.ResetState();
        pointer->PrepareCanvas(plot, color);
        const auto style = static_cast<TSeriesPointerStyle>(Index);
        // Outline-only shapes need a pen to be seen at all.
        if ((Index <= psTriangle || style == psCross) && !pointer->Pen()->Visible()) {
            plot.Pen()->SetStyle(TPen::psSolid);
            plot.Pen()->SetWidth(1);
            plot.Pen()->SetColor(ColorToRGB(color));
        }
        const int middle = (Rect.Top + Rect.Bottom) / 2;
        pointer->DrawPointer(plot, false, Rect.Left + 8, middle, 4, 4, color, style);
    }
    DrawItemText(Canvas, Rect.Left + 18, Rect.Top + 1, CBStyle->itemText(Index), Background);
}

void TSeriesPointerEditor::PatternClick()
{
    TSeriesPointer* pointer = Pointer();
    if (!CanWrite() || !pointer)
        return;
    if (EditChartBrush(this, *pointer->Brush()))
        AfterUserChange(BPointFillColor);
    CBStyle->update();
}

void EditSeriesPointer(QWidget* Owner, QObject* PointerOrSeries)
{
    auto editor = CreateDialogForm<TSeriesPointerEditor>(Owner);
    editor->setWindowTitle(QStringLiteral("Pointer"));
    editor->SetTarget(PointerOrSeries);
    editor->CBInflate->hide();
    editor->CBColorEach->setProperty("Hidden", true);
    editor->CBColorEach->hide();
    editor->PanelBottom->show();
    editor->Button1->setDefault(true);
    editor->adjustSize();
    PlaceDialogForm(*editor, Owner ? Owner->window() : nullptr);
    CallControlHook(editor.get());
    editor->exec();
}

TEditorPage* AddPointerTab(QWidget* Owner, QObject* Pointer, const QString& Caption, int Index)
{
    return AddSeriesEditorTab(
        Owner, [](QWidget* Parent) -> TEditorPage* { return new TSeriesPointerEditor(Parent); }, Pointer, Caption,
        Index);
}

} // namespace lp
