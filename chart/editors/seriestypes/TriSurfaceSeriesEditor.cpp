#include "chart/editors/seriestypes/TriSurfaceSeriesEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/seriestypes/Grid3DSeriesEditor.h"
#include "chart/extensions/grid3d/PlotTriSurfaceSeries.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

namespace lp {

TTriSurfaceSeriesEditor::TTriSurfaceSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    Button2 = MakePenButton(*this, QStringLiteral("&Pen..."), "Button2");
    Button3 = MakePatternButton(*this, build, "Button3", QStringLiteral("&Brush..."),
                                [this]() { return Series() ? Series()->Brush() : nullptr; });
    Button1 = MakePenButton(*this, QStringLiteral("&Outline..."), "Button1");
    CBFastBrush = build.CheckBox("CBFastBrush", QStringLiteral("&Fast Brush"));
    // This platform draws every triangle with its own brush: the option
    // cannot be switched on.
    CBFastBrush->setEnabled(false);
    CBHide = build.CheckBox("CBHide", QStringLiteral("&Hide Triangles"));
    CBHide->setChecked(true);
    UDTransp = MakeTransparencyUpDown(*this, build, "UDTransp", QStringLiteral("Transparency"));
    build.Line({Button2, Button3, Button1});
    build.Line({CBHide, CBFastBrush});
    LHeight = build.Row(QStringLiteral("Tra&nsparency:"), UDTransp, "LHeight");
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(CBHide, QStringLiteral("HideTriangles"));
}

TTriSurfaceSeries* TTriSurfaceSeriesEditor::Series() const
{
    return TargetAs<TTriSurfaceSeries>();
}

void TTriSurfaceSeriesEditor::FillControls()
{
    if (TTriSurfaceSeries* series = Series()) {
        Button2->LinkPen(series->Pen());
        Button1->LinkPen(series->Border());
        CBFastBrush->setChecked(series->FastBrush());
    }
    TTabAddingSeriesPage::FillControls();
}

void TTriSurfaceSeriesEditor::AddTabs()
{
    if (!Series())
        return;
    Grid3DPage = AddGrid3DPage(this, Series());
}

} // namespace lp
