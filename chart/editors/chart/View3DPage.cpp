#include "chart/editors/chart/View3DPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/gallery/ChartGalleryPanel.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotTitles.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <cmath>
#include <cstdlib>

namespace lp {

namespace {

constexpr int OffsetLimit = 1500;

// A track bar with its value shown beside it, as one row of the grid.
QSlider* SliderRow(TPageBuilder& Build, const QString& Caption, const char* Name, int Min, int Max,
                   QWidget* Value)
{
    auto* slider = TPageBuilder::Named(new QSlider(Qt::Horizontal, &Build.Page()), Name);
    slider->setRange(Min, Max);
    auto* line = new QWidget(&Build.Page());
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(slider, 1);
    layout->addWidget(Value);
    Build.Row(Caption, line)->setBuddy(slider);
    return slider;
}

QLabel* ValueLabel(const char* Name, QWidget* Parent)
{
    auto* label = TPageBuilder::Named(new QLabel(Parent), Name);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("-00000")));
    return label;
}

// Widens an offset track bar to 1.5 times a value beyond its reach.
void WidenFor(QSlider* Slider, int Value)
{
    if (std::abs(Value) > Slider->maximum()) {
        const int reach = static_cast<int>(std::lround(std::abs(Value) * 1.5));
        Slider->setRange(-reach, reach);
    }
    Slider->setValue(Value);
}

} // namespace

const QStringList& TFormPlot3D::ViewNames()
{
    static const QStringList names = {QStringLiteral("2D"),       QStringLiteral("Ortho Right"),
                                      QStringLiteral("Ortho Left"), QStringLiteral("3D Front"),
                                      QStringLiteral("3D Right"), QStringLiteral("3D Left")};
    return names;
}

TFormPlot3D::TFormPlot3D(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("3D"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    PageControl1 = TPageBuilder::Named(new QTabWidget(this), "PageControl1");
    PageControl1->addTab(BuildOptionsTab(), QStringLiteral("Options"));
    auto* views = new QWidget(PageControl1);
    auto* viewsLayout = new QVBoxLayout(views);
    ChartGalleryPanel1 = TPageBuilder::Named(new TChartGalleryPanel(views), "ChartGalleryPanel1");
    ChartGalleryPanel1->StoreSmooth = false;
    viewsLayout->addWidget(ChartGalleryPanel1);
    PageControl1->addTab(views, QStringLiteral("Views"));
    layout->addWidget(PageControl1);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });

    Binder().Bind(CBView3d, QStringLiteral("View3D"));
    Binder().Bind(UD3D, QStringLiteral("Chart3DPercent"));
    Binder().Bind(CBOrthogonal, QStringLiteral("View3DOptions.Orthogonal"));
    Binder().Bind(SBZoom, QStringLiteral("View3DOptions.Zoom"));
    Binder().Bind(LZoom, QStringLiteral("View3DOptions.Zoom"));
    Binder().Bind(SBRotation, QStringLiteral("View3DOptions.Rotation"));
    Binder().Bind(SBElevation, QStringLiteral("View3DOptions.Elevation"));
    Binder().Bind(SBHOffset, QStringLiteral("View3DOptions.HorizOffset"));
    Binder().Bind(SBVOffset, QStringLiteral("View3DOptions.VertOffset"));
    Binder().Bind(SBPerspec, QStringLiteral("View3DOptions.Perspective"));
    Binder().Bind(UDOrthoAngle, QStringLiteral("View3DOptions.OrthoAngle"));
    Binder().Bind(CBZoomText, QStringLiteral("View3DOptions.ZoomText"));
    Binder().Bind(UDTextSize, QStringLiteral("View3DOptions.FontZoom"));
    Binder().Bind(CBClipPoints, QStringLiteral("ClipPoints"));
}

QWidget* TFormPlot3D::BuildOptionsTab()
{
    auto* tab = new QWidget(this);
    TPageBuilder build(*tab);
    CBView3d = build.CheckBox("CBView3d", QStringLiteral("&3 Dimensions"));
    UD3D = build.SpinBox("UD3D", 1, 100);
    UD3D->setSingleStep(5);
    CBOrthogonal = build.CheckBox("CBOrthogonal", QStringLiteral("&Orthogonal"));
    build.Line({CBView3d, CBOrthogonal});
    build.Row(QStringLiteral("3&D %:"), UD3D, "Label1");

    LZoom = build.SpinBox("LZoom", 1, 500);
    LZoom->setSuffix(QStringLiteral("%"));
    SBZoom = SliderRow(build, QStringLiteral("&Zoom:"), "SBZoom", 1, 500, LZoom);
    LRotation = ValueLabel("LRotation", tab);
    SBRotation = SliderRow(build, QStringLiteral("&Rotation:"), "SBRotation", 0, 360, LRotation);
    LElevation = ValueLabel("LElevation", tab);
    SBElevation = SliderRow(build, QStringLiteral("E&levation:"), "SBElevation", 0, 360, LElevation);
    LHOffset = ValueLabel("LHOffset", tab);
    SBHOffset = SliderRow(build, QStringLiteral("&Horiz. Offset:"), "SBHOffset", -OffsetLimit, OffsetLimit, LHOffset);
    LVOffset = ValueLabel("LVOffset", tab);
    SBVOffset = SliderRow(build, QStringLiteral("&Vert. Offset:"), "SBVOffset", -OffsetLimit, OffsetLimit, LVOffset);
    LPerspec = ValueLabel("LPerspec", tab);
    SBPerspec = SliderRow(build, QStringLiteral("&Perspective:"), "SBPerspec", 0, 200, LPerspec);

    UDOrthoAngle = build.SpinBox("UDOrthoAngle", 0, 180);
    UDOrthoAngle->setSingleStep(5);
    build.Row(QStringLiteral("&Angle:"), UDOrthoAngle, "Label2");
    CBZoomText = build.CheckBox("CBZoomText", QStringLiteral("Zoom &Text"));
    UDTextSize = build.SpinBox("UDTextSize", 1, 2000);
    UDTextSize->setSingleStep(5);
    UDTextSize->setSuffix(QStringLiteral(" %"));
    UDTextSize->setAccessibleName(QStringLiteral("Text size"));
    CBClipPoints = build.CheckBox("CBClipPoints", QStringLiteral("&Clip Points"));
    build.Line({CBZoomText, UDTextSize});
    build.Line({CBClipPoints});
    build.Stretch();
    SetReadingTabOrder(*tab);
    return tab;
}

TCustomAxisPanel* TFormPlot3D::TheChart() const
{
    return TargetAs<TCustomAxisPanel>();
}

void TFormPlot3D::FillControls()
{
    TCustomAxisPanel* chart = TheChart();
    if (!chart)
        return;
    TView3DOptions* view = chart->View3DOptions();
    if (chart->Canvas().SupportsFullRotation()) {
        SBRotation->setMinimum(0);
        SBRotation->setTickInterval(20);
        SBElevation->setMinimum(0);
        SBElevation->setTickInterval(20);
    } else {
        SBRotation->setMinimum(0);
        SBRotation->setTickInterval(45);
        SBElevation->setMinimum(270);
        SBElevation->setTickInterval(10);
    }
    SBRotation->setValue(view->Rotation());
    SBElevation->setValue(view->Elevation());
    WidenFor(SBHOffset, view->HorizOffset());
    WidenFor(SBVOffset, view->VertOffset());
    LRotation->setText(QString::number(view->Rotation()));
    LElevation->setText(QString::number(view->Elevation()));
    LHOffset->setText(QString::number(view->HorizOffset()));
    LVOffset->setText(QString::number(view->VertOffset()));
    LPerspec->setText(QString::number(view->Perspective()));
}

void TFormPlot3D::UpdateEnabled()
{
    TCustomAxisPanel* chart = TheChart();
    if (!chart)
        return;
    TChartSeries* firstActive = nullptr;
    for (int i = 0; i < chart->SeriesCount() && !firstActive; ++i)
        if (chart->Series(i)->Active())
            firstActive = chart->Series(i);
    const bool fullRotation = chart->Canvas().SupportsFullRotation();
    FCanRotate = fullRotation || !firstActive || !qobject_cast<TPieSeries*>(firstActive);
    const bool view3D = chart->View3D();
    CBOrthogonal->setEnabled(view3D && FCanRotate);
    SBElevation->setEnabled(view3D && (fullRotation || !chart->View3DOptions()->Orthogonal()));
    SBRotation->setEnabled(SBElevation->isEnabled() && CBOrthogonal->isEnabled());
    UDOrthoAngle->setEnabled(CBOrthogonal->isEnabled());
}

void TFormPlot3D::showEvent(QShowEvent* Event)
{
    if (Creating()) {
        PageControl1->setCurrentIndex(0);
    } else if (TheChart()) {
        // The tab entered again: the chart may have changed meanwhile.
        Refresh();
    }
    TEditorPage::showEvent(Event);
}

void TFormPlot3D::PageControl1Change()
{
    if (PageControl1->currentIndex() == 1) {
        FillViews();
        SelectMatchingView();
    } else if (TheChart()) {
        Refresh();
    }
}

void TFormPlot3D::FillViews()
{
    if (ChartGalleryPanel1->Count() > 0 || !PlotSeriesTypes() || PlotSeriesTypes()->Count() == 0)
        return;
    ChartGalleryPanel1->SetSmooth(false);
    ChartGalleryPanel1->SetNumCols(3);
    ChartGalleryPanel1->SetNumRows(2);
    ChartGalleryPanel1->SetDisplaySub(false);
    // The samples show their own views: the selection turns none of them.
    ChartGalleryPanel1->SetFocusRotation(false);
    const TPlotSeriesType& type = *PlotSeriesTypes()->Items(0);
    for (int i = 0; i < ViewNames().size(); ++i) {
        TGalleryChart* chart = ChartGalleryPanel1->CreateChart(type);
        chart->BackWall()->SetTransparent(false);
        for (TCustomChartWall* wall : std::initializer_list<TCustomChartWall*>{chart->LeftWall(), chart->BottomWall(),
                                                                              chart->RightWall(), chart->BackWall()})
            wall->SetSize(5);
        for (int s = 0; s < chart->SeriesCount(); ++s)
            chart->Series(s)->Clear();
        chart->Title()->Text()->Clear();
        chart->Title()->Text()->Add(ViewNames()[i]);
        TView3DOptions* view = chart->View3DOptions();
        const bool is3D = i >= 3;
        if (is3D) {
            chart->SetView3D(true);
            view->SetOrthogonal(false);
            for (int s = 0; s < chart->SeriesCount(); ++s)
                chart->Series(s)->SetVertAxis(TChartSeries::aBothVertAxis);
            view->SetElevation(360);
            chart->LeftAxis()->SetLabels(true);
        }
        switch (i) {
        case 0:
            chart->SetView3D(false);
            chart->LeftAxis()->SetLabels(true);
            break;
        case 1:
            view->SetOrthogonal(true);
            chart->LeftAxis()->SetLabels(true);
            break;
        case 2:
            view->SetOrthogonal(true);
            chart->LeftWall()->SetVisible(false);
            chart->RightWall()->SetVisible(true);
            for (int s = 0; s < chart->SeriesCount(); ++s)
                chart->Series(s)->SetVertAxis(TChartSeries::aRightAxis);
            chart->RightAxis()->SetZPosition(0);
            view->SetOrthoAngle(135);
            break;
        case 3:
            chart->LeftWall()->SetVisible(true);
            chart->RightWall()->SetVisible(true);
            chart->RightAxis()->SetZPosition(0);
            view->SetRotation(360);
            break;
        case 4:
            chart->LeftWall()->SetVisible(true);
            chart->RightWall()->SetVisible(false);
            chart->RightAxis()->SetZPosition(100);
            view->SetRotation(300);
            break;
        default:
            chart->LeftWall()->SetVisible(false);
            chart->RightWall()->SetVisible(true);
            chart->RightAxis()->SetZPosition(0);
            chart->LeftAxis()->SetZPosition(100);
            view->SetRotation(45);
            break;
        }
    }
    ChartGalleryPanel1->OnChangeChart = [this](TChartGalleryPanel*) { ChartGalleryPanel1ChangeChart(); };
}

void TFormPlot3D::SelectMatchingView()
{
    TCustomAxisPanel* chart = TheChart();
    if (!chart)
        return;
    const TView3DOptions* view = chart->View3DOptions();
    FChoosingView = true;
    for (int i = 0; i < ChartGalleryPanel1->Count(); ++i) {
        TGalleryChart* sample = ChartGalleryPanel1->Chart(i);
        const TView3DOptions* sampleView = sample->View3DOptions();
        if (sample->View3D() == chart->View3D() && sampleView->Orthogonal() == view->Orthogonal() &&
            sampleView->OrthoAngle() == view->OrthoAngle() && sampleView->Rotation() == view->Rotation() &&
            sampleView->Elevation() == view->Elevation()) {
            ChartGalleryPanel1->SelectChart(sample);
            break;
        }
    }
    FChoosingView = false;
}

void TFormPlot3D::ChartGalleryPanel1ChangeChart()
{
    TCustomAxisPanel* chart = TheChart();
    TGalleryChart* sample = ChartGalleryPanel1->SelectedChart();
    if (FChoosingView || !CanWrite() || !chart || !sample)
        return;
    const TView3DOptions* from = sample->View3DOptions();
    TView3DOptions* to = chart->View3DOptions();
    chart->SetView3D(sample->View3D());
    to->SetOrthogonal(from->Orthogonal());
    to->SetOrthoAngle(from->OrthoAngle());
    to->SetRotation(from->Rotation());
    to->SetElevation(from->Elevation());
    AfterUserChange(ChartGalleryPanel1);
}

} // namespace lp
