#include "chart/editors/seriestypes/SurfaceSeriesEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/seriestypes/Grid3DSeriesEditor.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"

#include <QtGui/QShowEvent>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

enum TSurfaceDrawing { sdSolid, sdWireFrame, sdDotFrame };

} // namespace

TSurfaceSeriesEditor::TSurfaceSeriesEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Surface"));
    TPageBuilder build(*this);
    Button2 = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Pen..."), this), "Button2");
    Button3 = build.Button("Button3", QStringLiteral("&Brush..."));
    RadioGroup1 = TPageBuilder::Named(new QGroupBox(QStringLiteral("&Drawing Mode:"), this), "RadioGroup1");
    RGDrawing = TPageBuilder::RadioGroup(this, RadioGroup1, "RGDrawing", {"Solid", "WireFrame", "DotFrame"},
                                         Qt::Horizontal);
    CBSmooth = build.CheckBox("CBSmooth", QStringLiteral("&Smooth palette"));
    Button1 = build.Button("Button1", QStringLiteral("S&ide Brush..."));
    BSideLines = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("Side &Lines..."), this), "BSideLines");
    UDTransp = build.SpinBox("UDTransp", 0, 100);
    UDTransp->setSingleStep(5);
    CBFastBrush = build.CheckBox("CBFastBrush", QStringLiteral("&Fast Brush"));
    // This platform draws every cell with its own brush: the option cannot
    // be switched on.
    CBFastBrush->setEnabled(false);

    build.Line({Button2, Button3});
    build.Full(RadioGroup1);
    build.Line({CBSmooth, CBFastBrush});
    build.Line({Button1, BSideLines});
    build.Row(QStringLiteral("&Transparency:"), UDTransp, "LTransp");
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(
        RGDrawing,
        [this]() -> QVariant {
            TSurfaceSeries* series = Series();
            if (!series)
                return {};
            return series->WireFrame() ? sdWireFrame : series->DotFrame() ? sdDotFrame : sdSolid;
        },
        [this](const QVariant& Value) {
            TSurfaceSeries* series = Series();
            if (!series)
                return;
            switch (Value.toInt()) {
            case sdSolid:
                series->SetDotFrame(false);
                series->SetWireFrame(false);
                break;
            case sdWireFrame:
                series->SetWireFrame(true);
                break;
            case sdDotFrame:
                series->SetDotFrame(true);
                break;
            default:
                break;
            }
        });
    Binder().Bind(CBSmooth, QStringLiteral("SmoothPalette"));
    Binder().Bind(UDTransp, QStringLiteral("Transparency"));
    Button2->OnClick = [this](TButtonPen*) { AfterUserChange(Button2); };
    BSideLines->OnClick = [this](TButtonPen*) { AfterUserChange(BSideLines); };
    connect(Button3, &QPushButton::clicked, this, [this] { BrushClick(Button3, false); });
    connect(Button1, &QPushButton::clicked, this, [this] { BrushClick(Button1, true); });
}

TSurfaceSeries* TSurfaceSeriesEditor::Series() const
{
    return TargetAs<TSurfaceSeries>();
}

void TSurfaceSeriesEditor::FillControls()
{
    TSurfaceSeries* series = Series();
    if (!series)
        return;
    Button2->LinkPen(series->Pen());
    BSideLines->LinkPen(series->SideLines());
    CBFastBrush->setChecked(series->FastBrush());
    AddGridTab();
}

void TSurfaceSeriesEditor::showEvent(QShowEvent* Event)
{
    TEditorPage::showEvent(Event);
    AddGridTab();
}

void TSurfaceSeriesEditor::AddGridTab()
{
    // The grid page comes once as a tab of the hosting series page; later
    // shows only fill it again.
    if (!parentWidget() || !Series())
        return;
    if (!Grid3DPage)
        Grid3DPage = AddGrid3DPage(this, Series());
    else if (isVisible())
        RefreshGrid3DPage(Grid3DPage, Series());
}

void TSurfaceSeriesEditor::BrushClick(QPushButton* Button, bool Side)
{
    TSurfaceSeries* series = Series();
    if (CanWrite() && series && EditChartBrush(this, Side ? *series->SideBrush() : *series->Brush()))
        AfterUserChange(Button);
}

} // namespace lp
