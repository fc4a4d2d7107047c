#include "chart/editors/tools/ToolEditorBases.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/axis/AxisEditorPage.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotTools.h"

#include <QtCore/QLocale>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QVBoxLayout>

namespace lp {

// --- Shared pieces -------------------------------------------------------------------------------

QSpinBox* ToolSpin(QWidget* Parent, const char* Name, int Min, int Max, int Step)
{
    auto* spin = TPageBuilder::Named(new QSpinBox(Parent), Name);
    spin->setRange(Min, Max);
    spin->setSingleStep(Step);
    const QString widest = QString::number(Min).size() > QString::number(Max).size() ? QString::number(Min)
                                                                                    : QString::number(Max);
    spin->setMinimumWidth(spin->fontMetrics().horizontalAdvance(widest) + 40);
    return spin;
}

QLineEdit* NumberEdit(QWidget* Parent, const char* Name)
{
    auto* edit = TPageBuilder::Named(new QLineEdit(Parent), Name);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-0.000000000")) + 12);
    return edit;
}

bool ReadNumber(const QString& Text, double& Value)
{
    const std::optional<double> read = TypedReal(Text);
    if (read)
        Value = *read;
    return read.has_value();
}

bool ReadWholeNumber(const QString& Text, int& Value)
{
    const QString text = Text.trimmed();
    bool ok = false;
    int read = QLocale().toInt(text, &ok);
    if (!ok)
        read = text.toInt(&ok);
    if (ok)
        Value = read;
    return ok;
}

void BindCursorCombo(TEditorPage& Page, QComboBox* Combo, std::function<TCursor()> Read,
                     std::function<void(TCursor)> Write, bool Field)
{
    FillCursorCombo(Combo, crDefault);
    auto get = [&Page, Combo, Read]() -> QVariant {
        if (!Page.Target())
            return {};
        QString ident;
        if (!PlotCursorToIdent(Read(), ident))
            return -1;
        return Combo->findText(ident.mid(2));
    };
    auto set = [Combo, Read, Write](const QVariant& Index) {
        const int index = Index.toInt();
        if (index < 0 || index >= Combo->count())
            return;
        Write(CursorFromName(Combo->itemText(index), Read()));
    };
    if (Field)
        Page.Binder().BindField(Combo, get, set);
    else
        Page.Binder().Bind(Combo, get, set);
}

QPushButton* BrushButton(QWidget* Parent, const char* Name, const QString& Caption,
                         std::function<TChartBrush*()> Brush, std::function<void()> After)
{
    auto* button = TPageBuilder::Named(new QPushButton(Caption, Parent), Name);
    QObject::connect(button, &QPushButton::clicked, button, [button, Brush, After] {
        TChartBrush* brush = Brush();
        if (brush && EditChartBrush(button, *brush) && After)
            After();
    });
    return button;
}

TChartPen* PublishedPen(QObject* Tool, const char* Name)
{
    if (!Tool || Tool->metaObject()->indexOfProperty(Name) < 0)
        return nullptr;
    return qobject_cast<TChartPen*>(ReadObjectPath(Tool, QString::fromLatin1(Name)));
}

// --- TSeriesToolEditor -------------------------------------------------------------------------

TSeriesToolEditor::TSeriesToolEditor(QWidget* Parent) : TEditorPage(Parent), FLeading{QStringLiteral("(none)")}
{
    FLayout = new QVBoxLayout(this);
    FLayout->setContentsMargins(0, 0, 0, 0);
    FLayout->setSpacing(0);
    PanelTop = TPageBuilder::Named(new QWidget(this), "PanelTop");
    TPageBuilder build(*PanelTop);
    CBSeries = TPageBuilder::Combo(PanelTop, "CBSeries", {});
    CBSeries->setMinimumContentsLength(16);
    CBSeries->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Label1 = build.Row(QStringLiteral("&Series:"), CBSeries, "Label1");
    build.Grid().setColumnStretch(2, 1);
    FLayout->addWidget(PanelTop);
    FLayout->addStretch(1);
    Binder().Bind(
        CBSeries, [this]() -> QVariant { return Target() ? QVariant(SeriesIndex()) : QVariant(); },
        [this](const QVariant& Index) { ChooseSeries(SeriesAt(Index.toInt())); });
    SetReadingTabOrder(*this);
}

TPlotCustomToolSeries* TSeriesToolEditor::Tool() const
{
    return TargetAs<TPlotCustomToolSeries>();
}

namespace {

// A body laid out by a page builder gives its controls' column the room
// left, so captions stay beside their controls.
void InsertBody(QVBoxLayout& Layout, QWidget* Body)
{
    if (auto* grid = qobject_cast<QGridLayout*>(Body->layout()))
        grid->setColumnStretch(1, 1);
    Layout.insertWidget(Layout.count() - 1, Body);
}

} // namespace

void TSeriesToolEditor::AddBody(QWidget* Body)
{
    InsertBody(*FLayout, Body);
}

void TSeriesToolEditor::SetLeadingEntries(const QStringList& Entries)
{
    FLeading = Entries;
    FListed.clear();
    CBSeries->clear();
}

bool TSeriesToolEditor::ListsSeries(const TChartSeries& Series) const
{
    return Series.ShowInEditor();
}

TCustomAxisPanel* TSeriesToolEditor::SeriesChart() const
{
    return Tool() ? Tool()->ParentChart() : nullptr;
}

TChartSeries* TSeriesToolEditor::ChosenSeries() const
{
    return Tool() ? Tool()->Series() : nullptr;
}

void TSeriesToolEditor::ChooseSeries(TChartSeries* Series)
{
    if (TPlotCustomToolSeries* tool = Tool()) {
        tool->SetSeries(Series);
        tool->Repaint();
    }
}

TChartSeries* TSeriesToolEditor::SeriesAt(int Index) const
{
    return Index >= 0 && Index < static_cast<int>(FListed.size()) ? FListed[static_cast<size_t>(Index)].data()
                                                                  : nullptr;
}

int TSeriesToolEditor::SeriesIndex() const
{
    const TChartSeries* chosen = ChosenSeries();
    if (!chosen)
        return FLeading.isEmpty() ? -1 : 0;
    for (size_t i = 0; i < FListed.size(); ++i)
        if (FListed[i] == chosen)
            return static_cast<int>(i);
    // A series the list does not show selects nothing.
    return -1;
}

void TSeriesToolEditor::FillSeriesList()
{
    std::vector<QPointer<TChartSeries>> listed(static_cast<size_t>(FLeading.size()));
    QStringList names = FLeading;
    if (TCustomAxisPanel* chart = SeriesChart())
        for (int i = 0; i < chart->SeriesCount(); ++i) {
            TChartSeries* series = chart->Series(i);
            if (!ListsSeries(*series))
                continue;
            listed.emplace_back(series);
            names << SeriesTitleOrName(series);
        }
    RefillSeriesCombo(CBSeries, FListed, std::move(listed), names);
}

void RefillSeriesCombo(QComboBox* Combo, std::vector<QPointer<TChartSeries>>& Shown,
                       std::vector<QPointer<TChartSeries>> Listed, const QStringList& Names)
{
    QStringList texts;
    for (int i = 0; i < Combo->count(); ++i)
        texts << Combo->itemText(i);
    if (Listed != Shown || texts != Names) {
        Shown = std::move(Listed);
        Combo->clear();
        Combo->addItems(Names);
    }
}

void TSeriesToolEditor::FillControls()
{
    FillSeriesList();
    // An entry that stands for the tool's series stays chosen: "(none)"
    // picked after "(all)" keeps showing what the user picked.
    const int current = CBSeries->currentIndex();
    if (current < 0 || SeriesAt(current) != ChosenSeries())
        CBSeries->setCurrentIndex(SeriesIndex());
}

void TSeriesToolEditor::UpdateEnabled()
{
    // A chart with series, even none of them shown in editors, leaves
    // "(none)" to pick: a tool on a hidden series can be let go of.
    const TCustomAxisPanel* chart = SeriesChart();
    CBSeries->setEnabled(chart && chart->SeriesCount() > 0 && CBSeries->count() > 0);
}

// --- TAxisToolEditor ---------------------------------------------------------------------------

TAxisToolEditor::TAxisToolEditor(QWidget* Parent) : TEditorPage(Parent)
{
    FLayout = new QVBoxLayout(this);
    FLayout->setContentsMargins(0, 0, 0, 0);
    FLayout->setSpacing(0);
    PanelTop = TPageBuilder::Named(new QWidget(this), "PanelTop");
    FTopLine = new QHBoxLayout(PanelTop);
    FTopLine->setContentsMargins(8, 8, 8, 4);
    FTopLine->setSpacing(6);
    CBAxis = TPageBuilder::Combo(PanelTop, "CBAxis", {});
    CBAxis->setMinimumContentsLength(12);
    CBAxis->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    BPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Border..."), PanelTop), "BPen");
    Label1 = TPageBuilder::Named(new QLabel(QStringLiteral("&Axis:"), PanelTop), "Label1");
    Label1->setBuddy(CBAxis);
    FTopLine->addWidget(Label1);
    FTopLine->addWidget(CBAxis);
    FTopLine->addWidget(BPen);
    FTopLine->addStretch(1);
    FLayout->addWidget(PanelTop);
    FLayout->addStretch(1);
    Binder().Bind(
        CBAxis, [this]() -> QVariant { return Tool() ? QVariant(IndexOfAxis(Tool()->Axis())) : QVariant(); },
        [this](const QVariant& Index) {
            TPlotCustomToolAxis* tool = Tool();
            if (!tool || !tool->ParentChart())
                return;
            tool->SetAxis(AxisAt(Index.toInt()));
            tool->Repaint();
        });
    BPen->OnClick = [this](TButtonPen*) {
        if (Tool())
            AfterUserChange(BPen);
    };
    SetReadingTabOrder(*this);
}

TPlotCustomToolAxis* TAxisToolEditor::Tool() const
{
    return TargetAs<TPlotCustomToolAxis>();
}

void TAxisToolEditor::AddTopControl(QWidget* Control)
{
    FTopLine->insertWidget(FTopLine->count() - 1, Control);
}

void TAxisToolEditor::AddBody(QWidget* Body)
{
    InsertBody(*FLayout, Body);
}

TChartAxis* TAxisToolEditor::AxisAt(int Index) const
{
    const TCustomAxisPanel* chart = Tool() ? Tool()->ParentChart() : nullptr;
    if (!chart || Index < 0)
        return nullptr;
    return AxisOfListLine(*chart, Index < 4 ? Index : Index + (DepthAxes ? 0 : 2));
}

int TAxisToolEditor::IndexOfAxis(const TChartAxis* Axis) const
{
    const TCustomAxisPanel* chart = Tool() ? Tool()->ParentChart() : nullptr;
    if (!chart || !Axis)
        return -1;
    const int line = ListLineOfAxis(*chart, Axis);
    if (line < 4)
        return line;
    if (line < 6)
        return DepthAxes ? line : -1;
    return line - (DepthAxes ? 0 : 2);
}

void TAxisToolEditor::FillControls()
{
    TPlotCustomToolAxis* tool = Tool();
    QStringList names;
    if (tool && tool->ParentChart())
        FillAxesList(*tool->ParentChart(), names, DepthAxes);
    QStringList shown;
    for (int i = 0; i < CBAxis->count(); ++i)
        shown << CBAxis->itemText(i);
    if (shown != names) {
        CBAxis->clear();
        CBAxis->addItems(names);
    }
    CBAxis->setCurrentIndex(tool ? IndexOfAxis(tool->Axis()) : -1);
    TChartPen* pen = PublishedPen(tool, "Pen");
    BPen->LinkPen(pen);
    BPen->setVisible(pen != nullptr);
}

void TAxisToolEditor::UpdateEnabled()
{
    TPlotCustomToolAxis* tool = Tool();
    CBAxis->setEnabled(tool && tool->ParentChart());
    BPen->setEnabled(tool != nullptr);
}

} // namespace lp
