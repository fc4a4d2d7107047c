#include "chart/editors/seriestypes/AreaSeriesEditor.h"

#include "chart/canvas/PlotConst.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/series/SeriesEditorTabs.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/engine/PlotSeries.h"

#include <QtGui/QShowEvent>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

// The origin's up-down range.
constexpr int AreaOriginLimit = 30000;

} // namespace

TAreaSeriesEditor::TAreaSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    GBMultiArea = TPageBuilder::Named(new QGroupBox(QStringLiteral("&Multiple Areas:"), this), "GBMultiArea");
    RGMultiArea = TPageBuilder::RadioGroup(this, GBMultiArea, "RGMultiArea", {"None", "Stacked", "Stacked 100%"},
                                           Qt::Horizontal);
    CBStairs = build.CheckBox("CBStairs", QStringLiteral("&Stairs"));
    CBInvStairs = build.CheckBox("CBInvStairs", QStringLiteral("Inverted"));
    BAreaLinesPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("Area &Lines..."), this), "BAreaLinesPen");
    BAreaLinePen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Border..."), this), "BAreaLinePen");
    BPattern = build.Button("BPattern", QStringLiteral("&Pattern..."));
    Button1 = build.Button("Button1", QStringLiteral("&Top..."));
    CBColorEach = build.CheckBox("CBColorEach", QStringLiteral("Color &Each"));
    BAreaColor = build.ColorButton("BAreaColor", QStringLiteral("&Color..."));
    CBUseOrigin = build.CheckBox("CBUseOrigin", QStringLiteral("&Use Origin"));
    UDOrigin = build.SpinBox("UDOrigin", -AreaOriginLimit, AreaOriginLimit);
    UDTransp = build.SpinBox("UDTransp", 0, 100);
    build.Full(GBMultiArea);
    build.Line({CBStairs, CBInvStairs});
    build.Line({BAreaLinesPen, BAreaLinePen});
    build.Line({BPattern, Button1});
    build.Line({CBColorEach, BAreaColor});
    build.Full(CBUseOrigin);
    build.Row(QStringLiteral("&Origin:"), UDOrigin, "LOrigin");
    build.Row(QStringLiteral("Tra&nsparency:"), UDTransp, "LTransp");
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(RGMultiArea, QStringLiteral("MultiArea"));
    Binder().Bind(CBStairs, QStringLiteral("Stairs"));
    Binder().Bind(CBInvStairs, QStringLiteral("InvertedStairs"));
    Binder().Bind(CBColorEach, QStringLiteral("ColorEachPoint"));
    // The area's own colour when it has one, else the series colour; a
    // colour chosen here is the one the area shows.
    Binder().Bind(
        BAreaColor,
        [this]() -> QVariant {
            TAreaSeries* series = Series();
            if (!series)
                return {};
            return series->AreaColor() != clDefault ? series->AreaColor() : series->GetSeriesColor();
        },
        [this](const QVariant& Value) {
            TAreaSeries* series = Series();
            if (!series)
                return;
            if (series->AreaColor() != clDefault)
                series->SetAreaColor(Value.toInt());
            series->SetSeriesColor(Value.toInt());
        });
    Binder().Bind(CBUseOrigin, QStringLiteral("UseYOrigin"));
    Binder().Bind(
        UDOrigin,
        [this]() -> QVariant {
            if (!Series())
                return {};
            const double origin = Series()->YOrigin();
            return std::isfinite(origin) ? QVariant(static_cast<int>(std::lround(
                                               std::clamp(origin, double(-AreaOriginLimit), double(AreaOriginLimit)))))
                                         : QVariant(0);
        },
        [this](const QVariant& Value) {
            if (Series())
                Series()->SetYOrigin(Value.toInt());
        });
    Binder().Bind(UDTransp, QStringLiteral("Transparency"));
    BAreaLinesPen->OnClick = [this](TButtonPen*) { AfterUserChange(BAreaLinesPen); };
    BAreaLinePen->OnClick = [this](TButtonPen*) { AfterUserChange(BAreaLinePen); };
    connect(BPattern, &QPushButton::clicked, this, [this] { BrushClick(BPattern, true); });
    connect(Button1, &QPushButton::clicked, this, [this] { BrushClick(Button1, false); });
}

TAreaSeries* TAreaSeriesEditor::Series() const
{
    return TargetAs<TAreaSeries>();
}

void TAreaSeriesEditor::FillControls()
{
    TAreaSeries* series = Series();
    if (!series)
        return;
    BAreaLinesPen->LinkPen(series->AreaLinesPen());
    BAreaLinePen->LinkPen(series->LinePen());
    TTabAddingSeriesPage::FillControls();
}

void TAreaSeriesEditor::UpdateEnabled()
{
    TAreaSeries* series = Series();
    CBInvStairs->setEnabled(series && series->Stairs());
    BAreaColor->setEnabled(series && !series->ColorEachPoint());
    UDOrigin->setEnabled(series && series->UseYOrigin());
    if (QWidget* label = findChild<QWidget*>(QStringLiteral("LOrigin")))
        label->setEnabled(UDOrigin->isEnabled());
}

void TAreaSeriesEditor::AddTabs()
{
    TAreaSeries* series = Series();
    if (!series)
        return;
    PointerEditor = AddPointerTab(this, series, PlotMsg_GalleryPoint, 1);
    GradientEditor = AddSeriesEditorTab(
        this,
        [](QWidget* Parent) -> TEditorPage* {
            auto* editor = new TPlotGradientEditor(Parent);
            editor->HideButtonBar();
            return editor;
        },
        series->GetFillGradient(), PlotMsg_StyleGradient, 2);
}

void TAreaSeriesEditor::BrushClick(QPushButton* Button, bool Area)
{
    TAreaSeries* series = Series();
    if (CanWrite() && series && EditChartBrush(this, Area ? *series->AreaChartBrush() : *series->Brush()))
        AfterUserChange(Button);
}

} // namespace lp
