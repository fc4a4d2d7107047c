#include "chart/editors/tools/GridBandToolPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotTitles.h"
#include "chart/extensions/tools/PlotGridBandTool.h"
#include "platform/graphics/Bitmap.h"

#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QVBoxLayout>

namespace lp {

// --- TGridBandPreview ----------------------------------------------------------------------------

TGridBandPreview::TGridBandPreview(QWidget* Parent) : TColorSwatch(Parent)
{
    setCursor(Qt::PointingHandCursor);
}

void TGridBandPreview::Show(TGridBandBrush* Band, TColor BackWallColor)
{
    FBand = Band;
    FBackWallColor = BackWallColor;
    if (Band)
        SetColor(Band->Color());
    update();
}

void TGridBandPreview::paintEvent(QPaintEvent* Event)
{
    TColorSwatch::paintEvent(Event);
    if (!FBand || width() <= 2 || height() <= 2)
        return;
    QPainter painter(this);
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    // A translucent band shows the back wall through it, as on the chart.
    if (FBand->Transparency() > 0) {
        painter.fillRect(inner, ToQColor(FBackWallColor));
        painter.setOpacity((100 - FBand->Transparency()) / 100.0);
    }
    const TPlotGradient& gradient = *FBand->Gradient();
    if (gradient.Visible()) {
        QLinearGradient fill(inner.topLeft(), inner.bottomLeft());
        fill.setColorAt(0, ToQColor(gradient.StartColor()));
        fill.setColorAt(1, ToQColor(gradient.EndColor()));
        painter.fillRect(inner, fill);
        return;
    }
    // The band's brush over its background, as the chart draws it.
    const TColor back = FBand->BackColor() == TGridBandBrush::BackWallColor ? FBackWallColor : FBand->BackColor();
    TBitmap bitmap;
    bitmap.SetSize(inner.width(), inner.height());
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush().Assign(FBand.data());
    canvas.Handle().SetBkColor(back);
    canvas.Handle().SetBkMode(OPAQUE);
    canvas.FillRect(TRect{0, 0, inner.width(), inner.height()});
    painter.drawImage(inner.topLeft(), bitmap.Image());
}

// --- TGridBandToolEdit -------------------------------------------------------------------------

TGridBandToolEdit::TGridBandToolEdit(QWidget* Parent) : TAxisToolEditor(Parent)
{
    auto* body = TPageBuilder::Named(new QWidget(this), "PanelBody");
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(8, 0, 8, 8);
    layout->setSpacing(0);
    TabControl1 = TPageBuilder::Named(new QTabBar(body), "TabControl1");
    TabControl1->addTab(QStringLiteral("Band 1"));
    TabControl1->addTab(QStringLiteral("Band 2"));
    TabControl1->setDrawBase(true);
    layout->addWidget(TabControl1, 0, Qt::AlignLeft);
    auto* inside = TPageBuilder::Named(new QFrame(body), "PanelBand");
    inside->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(inside);
    TPageBuilder build(*inside);
    BBand1 = BrushButton(
        inside, "BBand1", QStringLiteral("&Pattern..."), [this]() -> TChartBrush* { return Band(); },
        [this] { AfterUserChange(BBand1); });
    Draw3D1 = TPageBuilder::Named(new TGridBandPreview(inside), "Draw3D1");
    ButtonColor1 = build.ColorButton("ButtonColor1", QStringLiteral("Ba&ck..."));
    UpDown1 = ToolSpin(inside, "UpDown1", 0, 100);
    ButtonGradient1 =
        TPageBuilder::SymbolButton(new TButtonGradient(QStringLiteral("&Gradient..."), inside), "ButtonGradient1");
    // The pattern button stands level with the preview.
    auto* colorLabel = TPageBuilder::Named(new QLabel(QStringLiteral("&Color:"), inside), "LBandColor");
    colorLabel->setBuddy(Draw3D1);
    build.Line({colorLabel, Draw3D1, BBand1});
    build.Line({ButtonColor1, ButtonGradient1});
    build.Row(QStringLiteral("&Transparency:"), UpDown1, "Label2");
    AddBody(body);

    TPropertyBinder& bind = Binder();
    const auto bandGetter = [this](int (TGridBandBrush::*Read)() const) {
        return [this, Read]() -> QVariant { return Band() ? QVariant((Band()->*Read)()) : QVariant(); };
    };
    bind.Bind(Draw3D1, [this]() -> QVariant { return Band() ? QVariant(static_cast<int>(Band()->Color())) : QVariant(); },
              [this](const QVariant& Color) { Band()->SetColor(static_cast<TColor>(Color.toInt())); });
    bind.Bind(ButtonColor1,
              [this]() -> QVariant { return Band() ? QVariant(static_cast<int>(Band()->BackColor())) : QVariant(); },
              [this](const QVariant& Color) { Band()->SetBackColor(static_cast<TColor>(Color.toInt())); });
    bind.Bind(UpDown1, bandGetter(&TGridBandBrush::Transparency),
              [this](const QVariant& Value) { Band()->SetTransparency(Value.toInt()); });
    ButtonGradient1->OnClick = [this](TButtonGradient*) { AfterUserChange(ButtonGradient1); };
    // Another band: its values fill the controls, nothing is written.
    connect(TabControl1, &QTabBar::currentChanged, this, [this] { Refresh(); });
    SetReadingTabOrder(*this);
}

TGridBandTool* TGridBandToolEdit::BandTool() const
{
    return TargetAs<TGridBandTool>();
}

TGridBandBrush* TGridBandToolEdit::Band() const
{
    TGridBandTool* tool = BandTool();
    if (!tool)
        return nullptr;
    return TabControl1->currentIndex() == 1 ? tool->Band2() : tool->Band1();
}

void TGridBandToolEdit::FillControls()
{
    TAxisToolEditor::FillControls();
    TGridBandBrush* band = Band();
    if (!band)
        return;
    ButtonGradient1->LinkGradient(band->Gradient());
    TColor backWall = clWhite;
    if (auto* chart = qobject_cast<TCustomChart*>(BandTool()->ParentChart()))
        backWall = chart->BackWall()->Color();
    Draw3D1->Show(band, backWall);
}

void TGridBandToolEdit::showEvent(QShowEvent* Event)
{
    if (Creating())
        TabControl1->setCurrentIndex(0);
    TAxisToolEditor::showEvent(Event);
}

} // namespace lp
