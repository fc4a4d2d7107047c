#include "chart/editors/gallery/ChartGalleryPanel.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotTitles.h"
#include "platform/core/ClassRegistry.h"
#include "platform/graphics/Bitmap.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>
#include <QtGui/QScreen>
#include <QtWidgets/QDialog>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>

namespace lp {

namespace {

constexpr TColor TitleColor = 0x800000;
constexpr TColor DisabledGrey = 0x808080;
constexpr int Enlargement = 4;

QString SmoothGalleryKey()
{
    return QStringLiteral("SmoothGallery");
}

// The first series of a preview, or nullptr.
TChartSeries* FirstSeries(const TCustomAxisPanel* Chart)
{
    return Chart->SeriesCount() > 0 ? Chart->Series(0) : nullptr;
}

// The pop-up of a selected chart's sub-styles: Escape cancels, other keys
// move through the sub-panel; the small triangle on top closes it with OK.
class TSubGalleryForm : public QDialog {
public:
    explicit TSubGalleryForm(QWidget* Parent) : QDialog(Parent, Qt::Popup | Qt::FramelessWindowHint) {}

    TChartGalleryPanel* Panel = nullptr;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::KeyPress) {
            keyPressEvent(static_cast<QKeyEvent*>(Event));
            return true;
        }
        return QDialog::eventFilter(Watched, Event);
    }
    void keyPressEvent(QKeyEvent* Event) override
    {
        if (Event->key() == Qt::Key_Escape) {
            reject();
            return;
        }
        if (!Panel)
            return;
        int key = VirtualKeyOf(Event->key());
        Panel->HandleKey(key, ShiftStateOf(Event->modifiers(), Qt::NoButton));
    }
};

// The small black triangle above the sub-gallery; a click closes with OK.
class TSubGalleryHandle : public QWidget {
public:
    explicit TSubGalleryHandle(QDialog* Form) : QWidget(Form), FForm(Form) { setFixedHeight(10); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        const QPoint points[] = {{0, 8}, {4, 0}, {9, 8}};
        painter.drawPolygon(points, 3);
    }
    void mousePressEvent(QMouseEvent*) override
    {
        if (Panel)
            Panel->LockSelection();
        FForm->accept();
    }

public:
    TChartGalleryPanel* Panel = nullptr;

private:
    QDialog* FForm;
};

} // namespace

int GalleryRowsFor(int Count, int NumCols, int NumRows)
{
    if (NumCols < 1)
        return NumRows;
    return (NumRows - 1) * NumCols < Count ? (Count - 1) / NumCols + 1 : 3;
}

int GalleryMode()
{
    return ReadEditorRegInteger(QStringLiteral("GalleryMode"), 0);
}

// --- TGalleryChart ---------------------------------------------------------------------------------

TGalleryChart::TGalleryChart(TComponent* AOwner, TChartGalleryPanel* Panel) : TChart(AOwner), FPanel(Panel)
{
    Legend()->SetVisible(false);
    LeftAxis()->SetLabels(false);
    BottomAxis()->SetLabels(false);
    Title()->Font()->SetColor(TitleColor);
    Zoom()->SetAnimated(true);
    View3DOptions()->SetOrthogonal(false);
    View3DOptions()->SetZoom(90);
    View3DOptions()->SetPerspective(55);
    if (Panel->FocusRotation()) {
        View3DOptions()->SetRotation(335);
        View3DOptions()->SetElevation(350);
    }
    SetChart3DPercent(100);
    SetClipPoints(false);
    Frame()->SetVisible(false);
    SetBevelWidth(2);
    SetBevelOuter(bvNone);
    for (TChartWall* wall : {LeftWall(), BottomWall()}) {
        wall->SetColor(0xFFFFFF);
        wall->SetSize(4);
        wall->Pen()->SetColor(DisabledGrey);
    }
}

void TGalleryChart::SetSmooth(bool Value)
{
    if (FSmooth == Value)
        return;
    FSmooth = Value;
    if (!FSmooth) {
        LeftAxis()->SetLabels(false);
        BottomAxis()->SetLabels(false);
    }
    Invalidate();
}

TPoint TGalleryChart::SubMarkerCorner() const
{
    int border = (Border()->Visible() ? Border()->Width() : 0) + Shadow()->Size();
    if (FSmooth)
        border /= 2;
    return {border + 4, Height() - border};
}

bool TGalleryChart::HitsSubMarker(int X, int Y) const
{
    const TPoint corner = SubMarkerCorner();
    return X >= corner.X && X <= corner.X + 12 && Y >= corner.Y - 12 && Y <= corner.Y;
}

void TGalleryChart::Paint(TCanvas& canvas)
{
    TChart::Paint(canvas);
    if (FSmooth && !FDrawingEnlarged)
        DrawSmooth(canvas);
    if (FPanel && FPanel->DisplaySub() && FPanel->SelectedChart() == this)
        DrawSubMarker(canvas);
}

// Draws the chart four times larger and resamples it into the window: the
// lines and texts come out anti-aliased. Everything changed for the large
// drawing (labels, their font sizes, title, margin) is put back as it was,
// without repainting.
void TGalleryChart::DrawSmooth(TCanvas& canvas)
{
    const int w = Width();
    const int h = Height();
    if (w < 4 || h < 4)
        return;
    FDrawingEnlarged = true;
    const bool repaint = RepaintEnabled();
    SetRepaintEnabled(false);
    TChartAxis* axes[] = {LeftAxis(), BottomAxis()};
    bool labels[2];
    int sizes[2];
    for (int i = 0; i < 2; ++i) {
        labels[i] = axes[i]->Labels();
        sizes[i] = axes[i]->LabelsFont()->Size();
        axes[i]->SetLabels(true);
        axes[i]->LabelsFont()->SetSize(sizes[i] * 2);
    }
    const bool titleVisible = Title()->Visible();
    const TRect titleBounds = Title()->ShapeBounds();
    const int marginTop = MarginTop();
    Title()->SetVisible(false);
    SetMarginTop(30);

    TBitmap large(w * Enlargement, h * Enlargement);
    DrawToCanvas(&large.Canvas(), {0, 0, w * Enlargement, h * Enlargement});
    TBitmap small(w, h);
    SmoothStretchWithOption(&large, &small, false);
    canvas.Draw(0, 0, &small);

    for (int i = 0; i < 2; ++i) {
        axes[i]->LabelsFont()->SetSize(sizes[i]);
        axes[i]->SetLabels(labels[i]);
    }
    SetMarginTop(marginTop);
    Title()->SetVisible(titleVisible);
    Title()->SetShapeBounds(titleBounds);
    if (titleVisible)
        DrawTitleText(canvas, titleBounds);
    // The canvas buffer holds the large drawing now: the next paint draws
    // afresh.
    Canvas().Invalidate();
    SetRepaintEnabled(repaint);
    FDrawingEnlarged = false;
}

// The title at its normal size over the resampled picture, centred in the
// place the normal drawing gave it.
void TGalleryChart::DrawTitleText(TCanvas& canvas, const TRect& Bounds) const
{
    canvas.Font().Assign(Title()->Font());
    canvas.Brush().SetStyle(TBrush::bsClear);
    const TStringList& lines = *Title()->Text();
    int y = Bounds.Top;
    for (int i = 0; i < lines.Count(); ++i) {
        const QString line = lines.Strings(i);
        canvas.TextOut((Width() - canvas.TextWidth(line)) / 2, y, line);
        y += canvas.TextHeight(line);
    }
}

void TGalleryChart::DrawSubMarker(TCanvas& canvas) const
{
    const TPoint corner = SubMarkerCorner();
    const int x = corner.X;
    const int y = corner.Y;
    canvas.Brush().SetStyle(TBrush::bsSolid);
    canvas.Brush().SetColor(clBlack);
    canvas.Pen().SetStyle(psClear);
    canvas.Pen().SetMode(pmNotXor);
    canvas.Polygon({{x, y - 8}, {x + 7, y - 8}, {x + 3, y - 4}});
    canvas.Pen().SetMode(pmCopy);
    canvas.Pen().SetStyle(psSolid);
}

// --- TChartGalleryPanel ------------------------------------------------------------------------------

TChartGalleryPanel::TChartGalleryPanel(QWidget* Parent) : QFrame(Parent), FOwner(std::make_unique<TComponent>())
{
    setFocusPolicy(Qt::StrongFocus);
    FSmoothRead = ReadEditorRegBoolean(SmoothGalleryKey(), false);
    FSmooth = FSmoothRead;
}

TChartGalleryPanel::~TChartGalleryPanel()
{
    delete FSubForm;
    if (StoreSmooth && FSmooth != FSmoothRead)
        WriteEditorRegBoolean(SmoothGalleryKey(), FSmooth);
    ClearCharts();
}

void TChartGalleryPanel::SetNumCols(int Value)
{
    FNumCols = Value;
    LayoutCharts();
}

void TChartGalleryPanel::SetNumRows(int Value)
{
    FNumRows = Value;
    LayoutCharts();
}

void TChartGalleryPanel::SetView3D(bool Value)
{
    if (FView3D == Value)
        return;
    FView3D = Value;
    for (TGalleryChart* chart : FCharts) {
        if (TChartSeries* first = FirstSeries(chart))
            first->GalleryChanged3D(FView3D);
        SetMargins(chart);
    }
}

void TChartGalleryPanel::SetSmooth(bool Value)
{
    if (FSmooth == Value)
        return;
    FSmooth = Value;
    for (TGalleryChart* chart : FCharts)
        chart->SetSmooth(FSmooth);
}

int TChartGalleryPanel::Border() const
{
    return frameWidth();
}

void TChartGalleryPanel::ComputeCellSize()
{
    if (FNumRows < 1 || FNumCols < 1) {
        FCellWidth = FCellHeight = 0;
        return;
    }
    FCellHeight = (height() - 2 * Border()) / FNumRows;
    FCellWidth = (width() - 2 * Border()) / FNumCols;
}

void TChartGalleryPanel::PlaceChart(TGalleryChart* Chart, int Index)
{
    if (FNumCols < 1)
        return;
    const int row = Index / FNumCols;
    const int column = Index % FNumCols;
    const int left = Border() + column * FCellWidth;
    const int top = Border() + row * FCellHeight;
    Chart->SetBounds(left, top, std::min(FCellWidth, width() - 2 * Border()),
                     std::min(FCellHeight, height() - 2 * Border()));
    // Axis labels show only in a maximised window, where the cells are big
    // enough for them.
    if (Chart->AxisVisible() && !Chart->Smooth()) {
        const bool maximized = window() && window()->isMaximized();
        Chart->LeftAxis()->SetLabels(maximized);
        Chart->BottomAxis()->SetLabels(maximized);
    }
}

void TChartGalleryPanel::LayoutCharts()
{
    ComputeCellSize();
    for (int i = 0; i < Count(); ++i)
        PlaceChart(FCharts[static_cast<size_t>(i)], i);
}

void TChartGalleryPanel::resizeEvent(QResizeEvent* Event)
{
    QFrame::resizeEvent(Event);
    LayoutCharts();
}

void TChartGalleryPanel::SetMargins(TGalleryChart* Chart) const
{
    const int margin = FView3D ? 4 : 5;
    for (int i = 0; i < 4; ++i)
        Chart->SetMargin(i, margin);
}

void TChartGalleryPanel::ClearCharts()
{
    FSelected = nullptr;
    FSelectionLocked = false;
    std::vector<TGalleryChart*> charts;
    charts.swap(FCharts);
    for (TGalleryChart* chart : charts)
        delete chart;
}

TGalleryChart* TChartGalleryPanel::Chart(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw ERangeError("Gallery chart index out of range");
    return FCharts[static_cast<size_t>(Index)];
}

int TChartGalleryPanel::IndexOf(const TGalleryChart* Chart) const
{
    const auto found = std::find(FCharts.begin(), FCharts.end(), Chart);
    return found == FCharts.end() ? -1 : static_cast<int>(found - FCharts.begin());
}

TGalleryChart* TChartGalleryPanel::AppendChart()
{
    auto* chart = new TGalleryChart(FOwner.get(), this);
    chart->SetColor(FromQColor(palette().color(QPalette::Window)));
    FCharts.push_back(chart);
    chart->SetName(GetUniqueComponentName(FOwner.get(), QStringLiteral("PlotGalleryChart")));
    QWidget* host = chart->Widget(this);
    host->show();
    PlaceChart(chart, Count() - 1);
    return chart;
}

void TChartGalleryPanel::CreateGalleryPage(const QString& Page)
{
    TPlotSeriesTypes* types = PlotSeriesTypes();
    std::vector<TPlotSeriesType*> matching;
    for (int i = 0; types && i < types->Count(); ++i) {
        TPlotSeriesType* type = types->Items(i);
        if (type->GalleryPageText() == Page && (type->FunctionClass != nullptr) == FunctionGallery)
            matching.push_back(type);
    }
    FNumRows = GalleryRowsFor(static_cast<int>(matching.size()), FNumCols, FNumRows);
    ComputeCellSize();
    ClearCharts();
    for (TPlotSeriesType* type : matching)
        CreateChart(*type);
    if (ReferenceSeries)
        for (TGalleryChart* chart : FCharts) {
            TChartSeries* first = FirstSeries(chart);
            if (first && first->metaObject() == ReferenceSeries->metaObject() && !first->SeriesFunction()) {
                FSelected = chart;
                break;
            }
        }
    UpdateSelection();
}

TGalleryChart* TChartGalleryPanel::CreateChart(const TPlotSeriesType& Type)
{
    const QMetaObject* seriesClass = Type.SeriesClass ? Type.SeriesClass : &TLineSeries::staticMetaObject;
    TGalleryChart* chart = AppendChart();
    const QString description = Type.DescriptionText();
    for (const QString& line : description.split(QLatin1Char('\r')))
        chart->Title()->Text()->Add(line);
    const int seriesCount = std::max(1, Type.NumGallerySeries);
    for (int i = 0; i < seriesCount; ++i)
        CreateNewSeries(chart, chart, seriesClass, Type.FunctionClass);
    TChartSeries* first = FirstSeries(chart);
    chart->SetDisabled(CheckValidity && ReferenceSeries && first && !first->IsValidSourceOf(ReferenceSeries));
    WireChart(chart);
    if (first)
        first->GalleryChanged3D(FView3D);
    if (Type.FunctionClass) {
        std::unique_ptr<TPersistent> made = CreateObject(TComponent::ClassNameOf(*Type.FunctionClass));
        if (auto* function = dynamic_cast<TPlotFunction*>(made.get()))
            function->PrepareForGallery(chart);
    } else {
        for (int i = 0; i < chart->SeriesCount(); ++i)
            chart->Series(i)->PrepareForGallery(!chart->Disabled());
    }
    SetMargins(chart);
    PlaceChart(chart, IndexOf(chart));
    chart->SetSmooth(FSmooth);
    chart->SetReady(true);
    return chart;
}

void TChartGalleryPanel::WireChart(TGalleryChart* Chart)
{
    if (Chart->Disabled()) {
        Chart->SetCursor(crNoDrop);
        Chart->Title()->Font()->SetColor(DisabledGrey);
        Chart->LeftWall()->Pen()->SetColor(DisabledGrey);
        Chart->BottomWall()->Pen()->SetColor(DisabledGrey);
        for (TChartAxis* axis : {Chart->LeftAxis(), Chart->BottomAxis()}) {
            axis->Axis()->SetWidth(1);
            axis->Axis()->SetColor(clWhite);
        }
    } else {
        Chart->SetCursor(crHandPoint);
        Chart->OnMouseDown = [this, Chart](TControl*, TMouseButton, TShiftState, int, int) { SelectChart(Chart); };
        Chart->OnEnter = [this, Chart](TControl*) {
            if (!FSelectionLocked)
                SelectChart(Chart);
        };
        Chart->OnDblClick = [this, Chart](TControl*) { ConfirmChart(Chart); };
    }
    if (!NoKeyHandler)
        Chart->OnKeyDown = [this](TControl*, int& Key, TShiftState Shift) { HandleKey(Key, Shift); };
}

void TChartGalleryPanel::FocusedLook(TGalleryChart* Chart)
{
    Chart->Gradient()->SetVisible(true);
    Chart->Gradient()->SetDirection(gdFromTopLeft);
    Chart->Gradient()->SetStartColor(clSilver);
    Chart->Gradient()->SetEndColor(clWhite);
    if (FFocusRotation) {
        Chart->View3DOptions()->SetRotation(345);
        if (TChartSeries* first = FirstSeries(Chart))
            first->GalleryChanged3D(FView3D);
    }
    Chart->Title()->Font()->SetStyle(TFont::fsBold);
    Chart->Title()->Font()->SetColor(clBlack);
    Chart->Title()->Font()->SetSize(9);
    Chart->SetBevelOuter(TCustomPanelNoCaption::bvRaised);
    QWidget* host = Chart->Widget(this);
    if (host->isVisible() && host->isEnabled())
        host->setFocus();
}

void TChartGalleryPanel::PlainLook(TGalleryChart* Chart)
{
    Chart->Gradient()->SetVisible(false);
    Chart->SetBevelOuter(TCustomPanelNoCaption::bvNone);
    Chart->Title()->Font()->SetStyle({});
    Chart->Title()->Font()->SetColor(Chart->Disabled() ? DisabledGrey : TitleColor);
    Chart->Title()->Font()->SetSize(DefaultFontSize());
    if (FFocusRotation) {
        Chart->View3DOptions()->SetRotation(335);
        if (TChartSeries* first = FirstSeries(Chart))
            first->GalleryChanged3D(FView3D);
    }
}

void TChartGalleryPanel::UpdateSelection()
{
    if (!FSelected)
        for (TGalleryChart* chart : FCharts)
            if (!chart->Disabled()) {
                FSelected = chart;
                break;
            }
    if (FSelected) {
        FocusedLook(FSelected);
        if (OnChangeChart)
            OnChangeChart(this);
    }
    for (TGalleryChart* chart : FCharts)
        if (chart != FSelected && chart->HasGradient() && chart->Gradient()->Visible())
            PlainLook(chart);
}

void TChartGalleryPanel::SelectChart(TGalleryChart* Chart)
{
    if (!Chart || Chart->Disabled())
        return;
    if (Chart != FSelected) {
        FSelected = Chart;
        UpdateSelection();
    }
    if (FDisplaySub && FSelected && FSelected->HandleAllocated()) {
        const QPoint mouse = FSelected->Widget()->mapFromGlobal(QCursor::pos());
        if (FSelected->HitsSubMarker(mouse.x(), mouse.y()))
            ShowSubGallery();
    }
}

void TChartGalleryPanel::ConfirmChart(TGalleryChart* Chart)
{
    if (!Chart || Chart->Disabled())
        return;
    if (Chart != FSelected) {
        FSelected = Chart;
        UpdateSelection();
    }
    LockSelection();
    if (OnSelectedChart)
        OnSelectedChart(this);
}

bool TChartGalleryPanel::GetSeriesClass(const QMetaObject*& SeriesClass, const QMetaObject*& FunctionClass,
                                        int& SubIndex) const
{
    TChartSeries* first = FSelected ? FirstSeries(FSelected) : nullptr;
    if (!first)
        return false;
    SeriesClass = first->metaObject();
    FunctionClass = first->SeriesFunction() ? first->SeriesFunction()->metaObject() : nullptr;
    SubIndex = FSelected->Tag;
    return true;
}

void TChartGalleryPanel::keyPressEvent(QKeyEvent* Event)
{
    int key = VirtualKeyOf(Event->key());
    HandleKey(key, ShiftStateOf(Event->modifiers(), Qt::NoButton));
    if (key != 0)
        QFrame::keyPressEvent(Event);
}

void TChartGalleryPanel::HandleKey(int& Key, TControl::TShiftState Shift)
{
    if (!FSelected || FNumCols < 1)
        return;
    const int index = IndexOf(FSelected);
    int row = index / FNumCols;
    int column = index % FNumCols;
    switch (Key) {
    case VK_UP:
        row = std::max(0, row - 1);
        break;
    case VK_LEFT:
        column = std::max(0, column - 1);
        break;
    case VK_DOWN:
        if (Shift.testFlag(TControl::ssAlt)) {
            Key = 0;
            if (FDisplaySub)
                ShowSubGallery();
            return;
        }
        ++row;
        break;
    case VK_RIGHT:
        // The last column is the edge: the selection stays.
        if (column + 1 < FNumCols)
            ++column;
        break;
    case VK_RETURN:
        // Nobody to confirm to: Return is the dialog's (its default button).
        if (!OnSelectedChart)
            return;
        Key = 0;
        LockSelection();
        OnSelectedChart(this);
        return;
    default:
        return;
    }
    Key = 0;
    const int target = row * FNumCols + column;
    if (target >= 0 && target < Count() && !Chart(target)->Disabled() && Chart(target) != FSelected) {
        FSelected = Chart(target);
        UpdateSelection();
    }
}

void TChartGalleryPanel::CreateSubGalleryOf(const QMetaObject* SeriesClass)
{
    ClearCharts();
    TPlotSeriesType type;
    type.SeriesClass = SeriesClass;
    type.NumGallerySeries = 1;
    QString caption;
    type.Description = &caption;
    std::unique_ptr<TPersistent> made = CreateObject(TComponent::ClassNameOf(*SeriesClass));
    auto* series = dynamic_cast<TChartSeries*>(made.get());
    if (!series)
        return;
    series->CreateSubGallery([this, &type, &caption](const QString& Caption) {
        caption = Caption;
        const int index = Count();
        TGalleryChart* chart = CreateChart(type);
        if (TChartSeries* first = FirstSeries(chart))
            first->SetSubGallery(index);
        chart->Tag = index;
    });
    UpdateSelection();
}

void TChartGalleryPanel::ShowSubGallery()
{
    if (!FSelected)
        return;
    TChartSeries* first = FirstSeries(FSelected);
    if (!first)
        return;
    delete FSubForm;
    FSubForm = nullptr;
    PlainLook(FSelected);

    auto* form = new TSubGalleryForm(this);
    FSubForm = form;
    auto* layout = new QVBoxLayout(form);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    auto* handle = new TSubGalleryHandle(form);
    layout->addWidget(handle);
    FSubPanel = new TChartGalleryPanel(form);
    FSubPanel->setObjectName(QStringLiteral("SubGalleryPanel"));
    FSubPanel->SetView3D(FView3D);
    FSubPanel->StoreSmooth = false;
    FSubPanel->FSmooth = FSmooth;
    FSubPanel->SetDisplaySub(false);
    FSubPanel->NoKeyHandler = true;
    form->Panel = FSubPanel;
    handle->Panel = FSubPanel;
    layout->addWidget(FSubPanel);
    const QWidget* host = FSelected->Widget(this);
    FSubPanel->resize(width(), FCellHeight * 3 + 8);
    FSubPanel->CreateSubGalleryOf(first->metaObject());
    const int rows = FNumCols > 0 ? (FSubPanel->Count() + FNumCols - 1) / FNumCols : 1;
    FSubPanel->FNumRows = std::max(1, rows);
    FSubPanel->setFixedSize(FCellWidth * FNumCols + 2 * FSubPanel->Border(), FCellHeight * FSubPanel->FNumRows + 8);
    FSubPanel->LayoutCharts();
    for (TGalleryChart* chart : FSubPanel->FCharts)
        chart->Widget()->installEventFilter(form);
    FSubPanel->OnSelectedChart = [form](TChartGalleryPanel*) { form->accept(); };
    form->adjustSize();

    // Under the chart, kept inside the screen.
    QPoint place = host->mapToGlobal(QPoint(0, host->height()));
    if (const QScreen* screen = host->screen()) {
        const QRect area = screen->availableGeometry();
        if (place.x() + form->width() > area.right())
            place.setX(area.right() - form->width() - 2);
        if (place.y() + form->height() > area.bottom())
            place.setY(area.bottom() - form->height() - 2);
    }
    form->move(place);
    const bool chosen = form->exec() == QDialog::Accepted;
    if (chosen && FSubPanel->SelectedChart())
        ApplySubStyle(FSubPanel->SelectedChart()->Tag);
    if (FSelected)
        FocusedLook(FSelected);
    FSubPanel = nullptr;
    FSubForm = nullptr;
    form->deleteLater();
    if (chosen && OnSubSelected)
        OnSubSelected(this);
}

void TChartGalleryPanel::ApplySubStyle(int Index)
{
    if (!FSelected || Index < 0)
        return;
    FSelected->Tag = Index;
    if (Index != 0) {
        for (int i = 0; i < FSelected->SeriesCount(); ++i)
            FSelected->Series(i)->SetSubGallery(Index);
        return;
    }
    // The normal look: the series made afresh.
    TChartSeries* first = FirstSeries(FSelected);
    if (!first)
        return;
    const QMetaObject* seriesClass = first->metaObject();
    const QMetaObject* functionClass = first->SeriesFunction() ? first->SeriesFunction()->metaObject() : nullptr;
    const int count = FSelected->SeriesCount();
    FSelected->FreeAllSeries();
    for (int i = 0; i < count; ++i)
        CreateNewSeries(FSelected, FSelected, seriesClass, functionClass);
    if (TChartSeries* made = FirstSeries(FSelected))
        made->GalleryChanged3D(FView3D);
    for (int i = 0; i < FSelected->SeriesCount(); ++i)
        FSelected->Series(i)->PrepareForGallery(true);
}

} // namespace lp
