#include "chart/editors/extendedseries/VectorSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/seriestypes/Grid3DSeriesEditor.h"
#include "chart/extensions/grid3d/PlotVector3DSeries.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

constexpr int VectorArrowLimit = 1000;

} // namespace

TVectorSeriesEditor::TVectorSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    BStart = MakePenButton(*this, QStringLiteral("&Start..."), "BStart");
    BEnd = MakePenButton(*this, QStringLiteral("&End..."), "BEnd");
    CBStart = build.CheckBox("CBStart", QStringLiteral("Default color"));
    CBEnd = build.CheckBox("CBEnd", QStringLiteral("Default color"));
    UDWidth = build.SpinBox("UDWidth", 1, VectorArrowLimit);
    UDHeight = build.SpinBox("UDHeight", 1, VectorArrowLimit);
    UDWidth->setValue(4);
    UDHeight->setValue(4);

    build.Line({BStart, CBStart});
    build.Line({BEnd, CBEnd});
    build.Row(QStringLiteral("Arrow &Width:"), UDWidth, "Label1");
    build.Row(QStringLiteral("Arrow &Height:"), UDHeight, "Label2");
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(UDWidth, QStringLiteral("ArrowWidth"));
    Binder().Bind(UDHeight, QStringLiteral("ArrowHeight"));
    // The arrow's pen colour: the automatic colour (the series' own) when
    // ticked, black when not.
    auto bindDefaultColor = [this](QCheckBox* Check, TChartPen* (TVector3DSeries::*Arrow)() const) {
        Binder().Bind(
            Check,
            [this, Arrow]() -> QVariant {
                return Series() ? QVariant((Series()->*Arrow)()->Color() == clPlotColor) : QVariant();
            },
            [this, Arrow](const QVariant& Value) {
                if (Series())
                    (Series()->*Arrow)()->SetColor(Value.toBool() ? clPlotColor : clBlack);
            });
    };
    bindDefaultColor(CBStart, &TVector3DSeries::StartArrow);
    bindDefaultColor(CBEnd, &TVector3DSeries::EndArrow);
}

TVector3DSeries* TVectorSeriesEditor::Series() const
{
    return TargetAs<TVector3DSeries>();
}

void TVectorSeriesEditor::FillControls()
{
    if (TVector3DSeries* series = Series()) {
        BStart->LinkPen(series->StartArrow());
        BEnd->LinkPen(series->EndArrow());
    }
    TTabAddingSeriesPage::FillControls();
}

void TVectorSeriesEditor::AddTabs()
{
    if (Series())
        Grid3DEditor = AddGrid3DPage(this, Series());
}

} // namespace lp
