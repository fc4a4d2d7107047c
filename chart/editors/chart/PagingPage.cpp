#include "chart/editors/chart/PagingPage.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/chart/GeneralPage.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotTools.h"
#include "chart/extensions/tools/PlotPageNumTool.h"
#include "platform/core/ClassRegistry.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>

namespace lp {

namespace {

constexpr int MostPointsPerPage = 32000;

// The registered page-number tool class, nullptr when it is not among the
// tool types.
const QMetaObject* RegisteredPageNumClass()
{
    if (!PageNumToolClass || !PlotToolTypes() || PlotToolTypes()->IndexOf(PageNumToolClass) < 0)
        return nullptr;
    return PageNumToolClass;
}

} // namespace

QValidator::State TEmptyIsZeroSpinBox::validate(QString& Text, int& Pos) const
{
    if (Text.trimmed().isEmpty())
        return QValidator::Acceptable;
    return QSpinBox::validate(Text, Pos);
}

int TEmptyIsZeroSpinBox::valueFromText(const QString& Text) const
{
    return Text.trimmed().isEmpty() ? 0 : QSpinBox::valueFromText(Text);
}

TFormPlotPage::TFormPlotPage(QWidget* Parent) : TEditorPage(Parent)
{
    setObjectName(QStringLiteral("FormPlotPage"));
    setWindowTitle(QStringLiteral("Paging"));
    TPageBuilder build(*this);
    UDPointsPerPage = TPageBuilder::Named(new TEmptyIsZeroSpinBox(this), "UDPointsPerPage");
    UDPointsPerPage->setRange(0, MostPointsPerPage);
    // A typed count applies when the field is left, not digit by digit.
    UDPointsPerPage->setKeyboardTracking(false);
    UDPointsPerPage->setMinimumWidth(UDPointsPerPage->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 36);
    CBScaleLast = build.CheckBox("CBScaleLast", QStringLiteral("&Scale Last Page"));
    CBPageLegend = build.CheckBox("CBPageLegend", QStringLiteral("&Current page Legend"));
    ChartPageNavigator1 = TPageBuilder::Named(new TChartPageNavigator(this), "ChartPageNavigator1");
    LabelPages = TPageBuilder::Named(new QLabel(this), "LabelPages");
    CBPageNum = build.CheckBox("CBPageNum", QStringLiteral("Show &Page Number"));
    build.Row(QStringLiteral("P&oints per Page:"), UDPointsPerPage, "LPointsPerPage");
    build.Full(CBScaleLast);
    build.Full(CBPageLegend);
    build.Line({ChartPageNavigator1, LabelPages});
    build.Full(CBPageNum);
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(UDPointsPerPage, QStringLiteral("MaxPointsPerPage"));
    Binder().Bind(CBScaleLast, QStringLiteral("ScaleLastPage"));
    Binder().Bind(CBPageLegend, QStringLiteral("Legend.CurrentPage"));
    ChartPageNavigator1->OnButtonClicked = [this](TPlotNavigateBtn) { RefreshPageLabel(); };
    connect(CBPageNum, &QCheckBox::clicked, this, &TFormPlotPage::PageNumClick);
}

TCustomAxisPanel* TFormPlotPage::Chart() const
{
    return TargetAs<TCustomAxisPanel>();
}

void TFormPlotPage::FillControls()
{
    TCustomAxisPanel* chart = Chart();
    ChartPageNavigator1->SetChart(chart);
    RefreshPageLabel();
    CBPageNum->setVisible(RegisteredPageNumClass() != nullptr);
    TPlotCustomTool* tool = PageNumTool(false);
    CBPageNum->setChecked(tool && tool->Active());
}

void TFormPlotPage::RefreshPageLabel()
{
    TCustomAxisPanel* chart = Chart();
    LabelPages->setText(chart ? FormatPageNumber(PlotMsg_PageOfPages, chart->Page(), chart->NumPages()) : QString());
}

TPlotCustomTool* TFormPlotPage::PageNumTool(bool Create) const
{
    TCustomAxisPanel* chart = Chart();
    const QMetaObject* toolClass = RegisteredPageNumClass();
    if (!chart || !toolClass)
        return nullptr;
    for (TPlotCustomTool* tool : chart->Tools())
        if (tool->metaObject()->inherits(toolClass))
            return tool;
    if (!Create)
        return nullptr;
    TComponent* owner = chart->Owner() ? chart->Owner() : chart;
    auto* tool = qobject_cast<TPlotCustomTool*>(CreateComponent(TPersistent::ClassNameOf(*toolClass), owner));
    if (!tool)
        return nullptr;
    tool->SetName(GetUniqueComponentName(owner, QStringLiteral("ChartTool")));
    chart->Tools().Add(tool);
    return tool;
}

void TFormPlotPage::PageNumClick(bool Checked)
{
    if (!CanWrite())
        return;
    if (TPlotCustomTool* tool = PageNumTool(true)) {
        tool->SetActive(Checked);
        if (Chart())
            Chart()->Invalidate();
    }
}

} // namespace lp
