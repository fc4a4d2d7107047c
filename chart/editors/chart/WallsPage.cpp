#include "chart/editors/chart/WallsPage.h"

#include "chart/canvas/PlotEffects.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotTitles.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>

namespace lp {

TFormPlotWall::TFormPlotWall(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Walls"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* top = TPageBuilder::Named(new QWidget(this), "PanelTop");
    TPageBuilder topBuild(*top);
    topBuild.Grid().setContentsMargins(4, 4, 4, 4);
    CBView3dWalls = topBuild.CheckBox("CBView3dWalls", QStringLiteral("&Visible Walls"));
    UDAllSize = topBuild.SpinBox("UDAllSize", 0, 100);
    auto* allSizeLabel = TPageBuilder::Named(new QLabel(QStringLiteral("Size:"), top), "LAllSize");
    allSizeLabel->setBuddy(UDAllSize);
    topBuild.Line({CBView3dWalls, allSizeLabel, UDAllSize});
    layout->addWidget(top);
    TabSubWalls = TPageBuilder::Named(new QTabBar(this), "TabSubWalls");
    for (const char* caption : {"Left", "Right", "Bottom", "Back"})
        TabSubWalls->addTab(QString::fromLatin1(caption));
    TabSubWalls->setExpanding(false);
    layout->addWidget(TabSubWalls);
    layout->addWidget(BuildWallControls(), 1);
    BindControls();
    connect(TabSubWalls, &QTabBar::currentChanged, this, &TFormPlotWall::TabSubWallsChange);
}

QWidget* TFormPlotWall::BuildWallControls()
{
    auto* panel = TPageBuilder::Named(new QWidget(this), "PanelWall");
    TPageBuilder build(*panel);
    BWallColor = build.ColorButton("BWallColor", QStringLiteral("&Color..."));
    BWallPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("B&order..."), panel), "BWallPen");
    BWallBrush = build.Button("BWallBrush", QStringLiteral("&Pattern..."));
    BGradient = TPageBuilder::SymbolButton(new TButtonGradient(QStringLiteral("&Gradient..."), panel), "BGradient");
    UDWallSize = build.SpinBox("UDWallSize", 0, 100);
    CBTransp = build.CheckBox("CBTransp", QStringLiteral("&Transparent"));
    UDTransp = build.SpinBox("UDTransp", 0, 100);
    CBDark3D = build.CheckBox("CBDark3D", QStringLiteral("&Dark 3D"));
    CBVisible = build.CheckBox("CBVisible", QStringLiteral("V&isible"));
    CBAutoHide = build.CheckBox("CBAutoHide", QStringLiteral("&Auto Hide"));
    build.Line({BWallColor, BWallPen, BWallBrush, BGradient});
    build.Row(QStringLiteral("Siz&e:"), UDWallSize, "LWallSize");
    build.Line({CBTransp});
    build.Row(QStringLiteral("T&ransparency:"), UDTransp, "LTransp");
    build.Line({CBDark3D, CBVisible, CBAutoHide});
    build.Stretch();
    return panel;
}

void TFormPlotWall::BindControls()
{
    TPropertyBinder& bind = Binder();
    bind.Bind(
        CBView3dWalls, [this]() -> QVariant { return Chart() ? QVariant(Chart()->View3DWalls()) : QVariant(); },
        [this](const QVariant& Value) { Chart()->SetView3DWalls(Value.toBool()); });
    // All four walls take the size; it shows the edited wall's.
    bind.Bind(
        UDAllSize, [this]() -> QVariant { return TheWall() ? QVariant(TheWall()->Size()) : QVariant(); },
        [this](const QVariant& Value) {
            for (TChartWall* wall : Walls())
                wall->SetSize(Value.toInt());
        });
    // The edited wall is the target: its own settings bind by name.
    bind.Bind(BWallColor, QStringLiteral("Color"));
    bind.Bind(UDWallSize, QStringLiteral("Size"));
    bind.Bind(CBTransp, QStringLiteral("Transparent"));
    bind.Bind(UDTransp, QStringLiteral("Transparency"));
    bind.Bind(CBDark3D, QStringLiteral("Dark3D"));
    bind.Bind(CBVisible, QStringLiteral("Visible"));
    bind.Bind(CBAutoHide, QStringLiteral("AutoHide"));
    BWallPen->OnClick = [this](TButtonPen*) { AfterUserChange(BWallPen); };
    BGradient->OnClick = [this](TButtonGradient*) { GradientChanged(); };
    connect(BWallBrush, &QPushButton::clicked, this, &TFormPlotWall::BrushClick);
}

TCustomChart* TFormPlotWall::Chart() const
{
    return TheWall() ? qobject_cast<TCustomChart*>(TheWall()->ParentChart()) : nullptr;
}

std::vector<TChartWall*> TFormPlotWall::Walls() const
{
    const TCustomChart* chart = Chart();
    if (!chart)
        return {};
    return {chart->LeftWall(), chart->RightWall(), chart->BottomWall(), chart->BackWall()};
}

TChartWall* TFormPlotWall::TheWall() const
{
    return TargetAs<TChartWall>();
}

// Another wall of the chart becomes the target: filled, nothing written.
void TFormPlotWall::TabSubWallsChange()
{
    const std::vector<TChartWall*> walls = Walls();
    const int index = TabSubWalls->currentIndex();
    if (Loading() || index < 0 || index >= static_cast<int>(walls.size()) || walls[index] == TheWall())
        return;
    SetTarget(walls[index]);
}

void TFormPlotWall::FillControls()
{
    TChartWall* wall = TheWall();
    if (!wall)
        return;
    const std::vector<TChartWall*> walls = Walls();
    const auto found = std::find(walls.begin(), walls.end(), wall);
    TabSubWalls->setCurrentIndex(found == walls.end() ? 0 : static_cast<int>(found - walls.begin()));
    BWallPen->LinkPen(wall->Pen());
    BGradient->LinkGradient(wall->Gradient());
}

void TFormPlotWall::UpdateEnabled()
{
    TChartWall* wall = TheWall();
    CBDark3D->setEnabled(wall && wall->Size() > 0);
    CBAutoHide->setVisible(wall && Chart() && wall != Chart()->BottomWall());
    BGradient->setEnabled(static_cast<bool>(EditGradientEntryPoint()));
}

void TFormPlotWall::BrushClick()
{
    if (!CanWrite() || !TheWall())
        return;
    if (EditChartBrush(this, *TheWall()->Brush()))
        AfterUserChange(BWallBrush);
}

void TFormPlotWall::GradientChanged()
{
    // A visible gradient would not show through a transparent wall.
    if (TheWall() && TheWall()->Gradient()->Visible())
        TheWall()->SetTransparent(false);
    AfterUserChange(BGradient);
}

} // namespace lp
