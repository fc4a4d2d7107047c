// The function settings as the function editors take them: the function
// page given a type, a source series and its option form's controls, then
// "&Apply"; the point and figure page given its box size and reversal.
// Both charts are painted into small bitmaps. A refused apply must leave
// the series, its sources and its function as they were, and no function
// may add more than MaxFunctionPoints points.
//
// Input: text lines "Name=Text".
//   Function=  the type as the page lists it ("Add", "Moving Average",
//              "y = f(x)"); "Add" when none is given
//   Source=    x y pairs of the source series (at most 200)
//   Formula=   the custom function's formula: x, square, sine, inverse,
//              root or exp
//   Prices=    high low pairs of the point and figure series (at most 200)
//   EBoxSize=, EReversal=  typed on the point and figure page
//   any other  a control of the option form by name (ENum, CBStyle,
//              CBAlign, EStart, EStep, UpDown1, ...): an edit is typed into,
//              a combo box or spin box takes the text, a check box or radio
//              button is set by "1" or "0".

#include "fuzz/FuzzSupport.h"

#include "chart/editors/ChartEditors.h"
#include "chart/editors/extendedseries/PointFigureSeriesPage.h"
#include "chart/editors/functions/FunctionPage.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotFunctions.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "chart/export/PlotExport.h"
#include "chart/extensions/PlotExtensions.h"
#include "chart/extensions/financial/PlotPointFigure.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QMetaProperty>
#include <QtWidgets/QAbstractSpinBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTabWidget>

#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

using TSetting = std::pair<QString, QString>;
using TPairs = std::vector<std::pair<double, double>>;

constexpr size_t MaxPairs = 200;

std::vector<TSetting> SettingsOf(const QString& Text)
{
    std::vector<TSetting> Result;
    for (const QString& Line : Text.split(QLatin1Char('\n'))) {
        const qsizetype At = Line.indexOf(QLatin1Char('='));
        if (At <= 0)
            continue;
        QString Value = Line.mid(At + 1);
        if (Value.endsWith(QLatin1Char('\r')))
            Value.chop(1);
        Result.emplace_back(Line.left(At).trimmed(), Value);
    }
    return Result;
}

QString SettingOr(const std::vector<TSetting>& Settings, const char* Name, const QString& Default)
{
    for (const auto& [Key, Value] : Settings)
        if (Key == QLatin1String(Name))
            return Value;
    return Default;
}

bool HasSetting(const std::vector<TSetting>& Settings, const char* Name)
{
    for (const auto& Setting : Settings)
        if (Setting.first == QLatin1String(Name))
            return true;
    return false;
}

TPairs PairsOf(const QString& Text)
{
    TPairs Result;
    const QStringList Numbers = Text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (qsizetype I = 0; I + 1 < Numbers.size() && Result.size() < MaxPairs; I += 2)
        Result.emplace_back(Numbers[I].toDouble(), Numbers[I + 1].toDouble());
    return Result;
}

lp::TCustomPlotFunction::TCalculateEvent FormulaOf(const QString& Name)
{
    const auto Is = [&Name](const char* Text) { return Name == QLatin1String(Text); };
    if (Is("square"))
        return [](lp::TCustomPlotFunction*, double X, double& Y) { Y = X * X; };
    if (Is("sine"))
        return [](lp::TCustomPlotFunction*, double X, double& Y) { Y = std::sin(X); };
    if (Is("inverse"))
        return [](lp::TCustomPlotFunction*, double X, double& Y) { Y = 1 / X; };
    if (Is("root"))
        return [](lp::TCustomPlotFunction*, double X, double& Y) { Y = std::sqrt(X); };
    if (Is("exp"))
        return [](lp::TCustomPlotFunction*, double X, double& Y) { Y = std::exp(X); };
    return [](lp::TCustomPlotFunction*, double X, double& Y) { Y = X; };
}

// Chooses the entry Text of Combo as a user does.
void Choose(QComboBox* Combo, const QString& Text)
{
    const int Index = Combo->findText(Text);
    if (Index < 0)
        return;
    Combo->setCurrentIndex(Index);
    emit Combo->activated(Index);
}

// Gives the control named Name within Form the text Text as a user would
// (buttons that open dialogs are left alone).
void Enter(QWidget& Form, const QString& Name, const QString& Text)
{
    QWidget* Control = Form.findChild<QWidget*>(Name);
    if (auto* Edit = qobject_cast<QLineEdit*>(Control)) {
        Edit->setText(Text);
        emit Edit->textEdited(Text);
        emit Edit->editingFinished();
    } else if (auto* Combo = qobject_cast<QComboBox*>(Control)) {
        Choose(Combo, Text);
    } else if (auto* Spin = qobject_cast<QAbstractSpinBox*>(Control)) {
        if (auto* Field = Spin->findChild<QLineEdit*>()) {
            Field->setText(Text);
            Spin->interpretText();
        }
    } else if (auto* Button = qobject_cast<QAbstractButton*>(Control);
               Button && Button->isCheckable() && Button->isChecked() != (Text == QLatin1String("1"))) {
        Button->click();
    }
}

// What an apply may change: the series' function and its settings, the
// series' sources, value source and points.
struct TEditedState {
    const lp::TPlotFunction* Function = nullptr;
    QStringList Settings;
    std::vector<lp::TComponent*> Sources;
    QString ValueSource;
    int Count = 0;

    explicit TEditedState(lp::TChartSeries& Series)
        : Function(Series.SeriesFunction()), ValueSource(Series.MandatoryValues()->ValueSource()),
          Count(Series.Count())
    {
        for (lp::TComponent* Source : Series.DataSources())
            Sources.push_back(Source);
        if (!Function)
            return;
        const QMetaObject* Meta = Function->metaObject();
        for (int I = 0; I < Meta->propertyCount(); ++I)
            Settings << QString::fromLatin1(Meta->property(I).name()) + QLatin1Char('=') +
                            Meta->property(I).read(Function).toString();
    }
    bool operator==(const TEditedState& Other) const
    {
        return Function == Other.Function && Settings == Other.Settings && Sources == Other.Sources &&
               ValueSource == Other.ValueSource && Count == Other.Count;
    }
};

void FunctionSettings(const std::vector<TSetting>& Settings)
{
    lp::TChart Chart;
    lp::fuzz::PrepareChart(Chart);
    auto* Source = new lp::TLineSeries(&Chart);
    Source->SetName(QStringLiteral("Source"));
    Chart.AddSeries(Source);
    for (const auto& [X, Y] : PairsOf(SettingOr(Settings, "Source", QStringLiteral("0 1 1 2 2.5 3 7 4 8 5"))))
        Source->AddXY(X, Y);
    auto* Edited = new lp::TLineSeries(&Chart);
    Edited->SetName(QStringLiteral("Edited"));
    Chart.AddSeries(Edited);
    Edited->SetDataSource(Source);

    int Refusals = 0;
    lp::TApplication::Instance().OnException = [&Refusals](const std::exception&) { ++Refusals; };
    {
        lp::TPlotFuncEditor Page;
        Page.SetTarget(Edited);
        Page.show();
        Choose(Page.CBSources, SettingOr(Settings, "Function", QStringLiteral("Add")));
        if (Page.PanSingle->isVisibleTo(Page.TabSource))
            Choose(Page.CBSingle, QStringLiteral("Source"));
        if (Page.PageControl1->isTabVisible(Page.PageControl1->indexOf(Page.TabOptions)))
            Page.PageControl1->setCurrentWidget(Page.TabOptions);
        if (lp::TEditorPage* Form = Page.FunctionEditor()) {
            for (const auto& [Name, Text] : Settings)
                Enter(*Form, Name, Text);
            if (auto* Custom = qobject_cast<lp::TCustomPlotFunction*>(Form->Target()))
                Custom->SetOnCalculate(FormulaOf(SettingOr(Settings, "Formula", {})));
        }
        const TEditedState Before(*Edited);
        if (Page.BApply->isEnabled())
            Page.BApply->click();
        if (Refusals > 0)
            lp::fuzz::Require(TEditedState(*Edited) == Before, "a refused apply changes nothing");
    }
    lp::TApplication::Instance().OnException = nullptr;
    lp::fuzz::Require(Edited->Count() <= lp::MaxFunctionPoints, "a function adds at most MaxFunctionPoints points");
    lp::fuzz::Refusable([&] { lp::fuzz::PaintChart(Chart); });
}

void PointFigureSettings(const std::vector<TSetting>& Settings)
{
    lp::TChart Chart;
    lp::fuzz::PrepareChart(Chart);
    auto* Series = new lp::TPointFigureSeries(&Chart);
    Chart.AddSeries(Series);
    for (const auto& [High, Low] : PairsOf(SettingOr(Settings, "Prices", QStringLiteral("20 18 19 15 17 14 22 20 16 13"))))
        Series->AddOHLC(Series->Count(), Low, High, Low, High);
    {
        lp::TPointFigureEditor Page;
        Page.SetTarget(Series);
        Page.show();
        for (const auto& [Name, Text] : Settings)
            if (Name == QLatin1String("EBoxSize") || Name == QLatin1String("EReversal"))
                Enter(Page, Name, Text);
    }
    lp::fuzz::Refusable([&] { lp::fuzz::PaintChart(Chart); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    lp::fuzz::StartApplication();
    static const bool Started = [] {
        lp::InitializeChartExtensions();
        lp::InitializeChartExport();
        lp::InitializeChartEditors();
        // Messages the pages show are answered at once.
        lp::MessageService() = [](const lp::TMessageRequest&) { return int(lp::mrOk); };
        std::atexit([] {
            lp::FinalizeChartEditors();
            lp::FinalizeChartExport();
            lp::FinalizeChartExtensions();
        });
        return true;
    }();
    (void)Started;
    const std::vector<TSetting> Settings = SettingsOf(lp::fuzz::Text(Data, Size));
    FunctionSettings(Settings);
    if (HasSetting(Settings, "Prices") || HasSetting(Settings, "EBoxSize") || HasSetting(Settings, "EReversal"))
        PointFigureSettings(Settings);
    // No event loop runs between inputs: what the pages left to delete
    // later goes now, so a long run does not grow.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
