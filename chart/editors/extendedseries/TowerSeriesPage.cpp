#include "chart/editors/extendedseries/TowerSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/seriestypes/Grid3DSeriesEditor.h"
#include "chart/extensions/grid3d/PlotTowerSeries.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

// The tower's depth and width in per cent of a cell, by fives.
constexpr int TowerPercentLimit = 100;
constexpr int TowerPercentStep = 5;

} // namespace

TTowerSeriesEditor::TTowerSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    ButtonPen1 = MakePenButton(*this, QStringLiteral("&Border..."), "ButtonPen1");
    Button1 = MakePatternButton(*this, build, "Button1", QStringLiteral("&Pattern..."), [this]() -> TChartBrush* {
        return Series() ? Series()->Brush() : nullptr;
    });
    CBDark3D = build.CheckBox("CBDark3D", QStringLiteral("&Dark 3D"));

    GroupBox1 = TPageBuilder::Named(new QGroupBox(QStringLiteral("Origin:"), this), "GroupBox1");
    TPageBuilder origin(*GroupBox1);
    CBOrigin = origin.CheckBox("CBOrigin", QStringLiteral("&Use Origin"));
    EOrigin = MakeNumberEdit(*this, "EOrigin", QStringLiteral("Origin"));
    origin.Line({CBOrigin, EOrigin});

    CBStyle = TPageBuilder::Named(new TComboFlat(this), "CBStyle");
    CBStyle->addItems({QStringLiteral("Cube"), QStringLiteral("Rectangle"), QStringLiteral("Cover"),
                       QStringLiteral("Cylinder"), QStringLiteral("Arrow"), QStringLiteral("Cone"),
                       QStringLiteral("Pyramid"), QStringLiteral("Slant Cube")});

    GroupBox2 = TPageBuilder::Named(new QGroupBox(QStringLiteral("&Percent:"), this), "GroupBox2");
    TPageBuilder percent(*GroupBox2);
    UDDepth = percent.SpinBox("UDDepth", 1, TowerPercentLimit);
    UDWidth = percent.SpinBox("UDWidth", 1, TowerPercentLimit);
    for (QSpinBox* spin : {UDDepth, UDWidth})
        spin->setSingleStep(TowerPercentStep);
    UDTransp = MakeTransparencyUpDown(*this, percent, "UDTransp", QStringLiteral("Transparency"));
    percent.Row(QStringLiteral("&Depth:"), UDDepth, "Label2");
    percent.Row(QStringLiteral("&Width:"), UDWidth, "Label3");
    percent.Row(QStringLiteral("&Transparency:"), UDTransp, "Label4");

    build.Line({ButtonPen1, Button1});
    build.Full(CBDark3D);
    build.Full(GroupBox1);
    build.Row(QStringLiteral("&Style:"), CBStyle, "Label1");
    build.Full(GroupBox2);
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(CBDark3D, QStringLiteral("Dark3D"));
    Binder().Bind(CBOrigin, QStringLiteral("UseOrigin"));
    Binder().Bind(CBStyle, QStringLiteral("TowerStyle"));
    Binder().Bind(UDDepth, QStringLiteral("PercentDepth"));
    Binder().Bind(UDWidth, QStringLiteral("PercentWidth"));
}

TTowerSeries* TTowerSeriesEditor::Series() const
{
    return TargetAs<TTowerSeries>();
}

void TTowerSeriesEditor::FillControls()
{
    if (TTowerSeries* series = Series())
        ButtonPen1->LinkPen(series->Pen());
    TTabAddingSeriesPage::FillControls();
}

void TTowerSeriesEditor::AddTabs()
{
    if (Series())
        Grid3DEditor = AddGrid3DPage(this, Series());
}

} // namespace lp
