#include "chart/editors/seriestypes/Point3DSeriesEditor.h"

#include "chart/canvas/PlotConst.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/extensions/points3d/PlotPoint3DSeries.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

constexpr int Point3DDepthLimit = 1000;

} // namespace

TPoint3DSeriesEditor::TPoint3DSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    GPLine = TPageBuilder::Named(new QGroupBox(this), "GPLine");
    TPageBuilder line(*GPLine);
    BColor = MakeSeriesColorButton(*this, line, "BColor", QStringLiteral("&Color..."));
    CBColorEach = line.CheckBox("CBColorEach", QStringLiteral("Color &Each"));
    line.Line({BColor, CBColorEach});
    Button1 = MakePenButton(*this, QStringLiteral("&Line..."), "Button1");
    UDPointDepth = build.SpinBox("UDPointDepth", 0, Point3DDepthLimit);
    BBasePen = MakePenButton(*this, QStringLiteral("&Base line..."), "BBasePen");
    build.Full(GPLine);
    build.Line({Button1, BBasePen});
    Label4 = build.Row(QStringLiteral("Depth:"), UDPointDepth, "Label4");
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(CBColorEach, QStringLiteral("ColorEachPoint"));
    BindRoundedSeriesSetting<TPoint3DSeries>(*this, UDPointDepth, &TPoint3DSeries::DepthSize,
                                             &TPoint3DSeries::SetDepthSize);
}

TPoint3DSeries* TPoint3DSeriesEditor::Series() const
{
    return TargetAs<TPoint3DSeries>();
}

void TPoint3DSeriesEditor::FillControls()
{
    if (TPoint3DSeries* series = Series()) {
        Button1->LinkPen(series->LinePen());
        BBasePen->LinkPen(series->BaseLine());
    }
    TTabAddingSeriesPage::FillControls();
}

void TPoint3DSeriesEditor::UpdateEnabled()
{
    // One colour for the series only while the points are not coloured
    // each.
    TPoint3DSeries* series = Series();
    BColor->setEnabled(series && !series->ColorEachPoint());
    BColor->update();
}

void TPoint3DSeriesEditor::AddTabs()
{
    if (Series())
        PointerEditor = AddPointerTab(this, Series()->Pointer(), PlotMsg_GalleryPoint, 1);
}

} // namespace lp
