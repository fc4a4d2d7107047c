#include "chart/editors/extendedseries/SeriesPageControls.h"

#include "chart/editors/EditorPage.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/TypedNumberEdit.h"
#include "chart/editors/series/SeriesEditorTabs.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/engine/PlotEngine.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

constexpr int TransparencyStep = 5;

} // namespace

TButtonPen* MakePenButton(TEditorPage& Page, const QString& Caption, const char* Name, std::function<void()> Then)
{
    auto* button = TPageBuilder::SymbolButton(new TButtonPen(Caption, &Page), Name);
    button->OnClick = [&Page, Then](TButtonPen* Sender) {
        if (Then)
            Then();
        Page.AfterUserChange(Sender);
    };
    return button;
}

QPushButton* MakePatternButton(TEditorPage& Page, TPageBuilder& Build, const char* Name, const QString& Caption,
                               std::function<TChartBrush*()> Brush, std::function<void()> Then)
{
    QPushButton* button = Build.Button(Name, Caption);
    QObject::connect(button, &QPushButton::clicked, &Page, [&Page, button, Brush, Then] {
        TChartBrush* brush = Page.CanWrite() ? Brush() : nullptr;
        if (!brush || !EditChartBrush(&Page, *brush))
            return;
        if (Then)
            Then();
        Page.AfterUserChange(button);
    });
    return button;
}

TButtonColor* MakeSeriesColorButton(TEditorPage& Page, TPageBuilder& Build, const char* Name, const QString& Caption)
{
    TButtonColor* button = Build.ColorButton(Name, Caption);
    // The colour drawn, also while the chart chooses it.
    Page.Binder().Bind(
        button,
        [&Page]() -> QVariant {
            auto* series = Page.TargetAs<TChartSeries>();
            return series ? QVariant(static_cast<int>(series->GetSeriesColor())) : QVariant();
        },
        [&Page](const QVariant& Value) {
            if (auto* series = Page.TargetAs<TChartSeries>())
                series->SetSeriesColor(static_cast<TColor>(Value.toInt()));
        });
    return button;
}

QSpinBox* MakeTransparencyUpDown(TEditorPage& Page, TPageBuilder& Build, const char* Name, const QString& Path)
{
    QSpinBox* spin = Build.SpinBox(Name, 0, 100);
    spin->setSingleStep(TransparencyStep);
    Page.Binder().Bind(spin, Path);
    return spin;
}

QLineEdit* MakeNumberEdit(TEditorPage& Page, const char* Name, const QString& Path)
{
    return MakeNumberEdit(
        Page, Name,
        [&Page, Path]() -> std::optional<double> {
            const QVariant value = ReadPropertyPath(Page.Target(), Path);
            return value.isValid() ? std::optional<double>(value.toDouble()) : std::nullopt;
        },
        [&Page, Path](double Value) { WritePropertyPath(Page.Target(), Path, Value); });
}

namespace {

QLineEdit* NumberLineEdit(TEditorPage& Page, const char* Name)
{
    auto* edit = TPageBuilder::Named(new QLineEdit(&Page), Name);
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000000000000000")));
    return edit;
}

} // namespace

QLineEdit* MakeNumberEdit(TEditorPage& Page, const char* Name, std::function<std::optional<double>()> Read,
                          std::function<void(double)> Write, std::function<QString(double)> Text)
{
    QLineEdit* edit = NumberLineEdit(Page, Name);
    BindNumberEdit(Page, edit, std::move(Read), std::move(Write), std::move(Text));
    return edit;
}

QLineEdit* MakeNumberEditWhenDone(TEditorPage& Page, const char* Name, std::function<std::optional<double>()> Read,
                                  std::function<void(double)> Write)
{
    QLineEdit* edit = NumberLineEdit(Page, Name);
    BindNumberEdit(Page, edit, std::move(Read), std::move(Write));
    Page.Binder().WriteWhenDone(edit);
    return edit;
}

namespace {

// The box layout within Layout (itself included) that holds Control, and
// Control's index there.
std::pair<QBoxLayout*, int> SeriesPageLineHolding(QLayout* Layout, QWidget* Control)
{
    if (!Layout)
        return {nullptr, -1};
    if (auto* box = qobject_cast<QBoxLayout*>(Layout))
        if (const int index = box->indexOf(Control); index >= 0)
            return {box, index};
    for (int i = 0; i < Layout->count(); ++i)
        if (QLayoutItem* item = Layout->itemAt(i); item && item->layout())
            if (auto found = SeriesPageLineHolding(item->layout(), Control); found.first)
                return found;
    return {nullptr, -1};
}

} // namespace

void InsertBeside(QWidget& Page, QWidget* Existing, QWidget* Added)
{
    QWidget* holder = Existing && Existing->parentWidget() ? Existing->parentWidget() : &Page;
    if (auto [line, index] = SeriesPageLineHolding(holder->layout(), Existing); line) {
        line->insertWidget(index + 1, Added);
        return;
    }
    if (Page.layout())
        Page.layout()->addWidget(Added);
}

TEditorPage* AddRegisteredSeriesTab(QWidget* Owner, const QString& ClassName, QObject* Target,
                                    const QString& Caption, int Index)
{
    if (!IsEditorPageRegistered(ClassName))
        return nullptr;
    return AddSeriesEditorTab(
        Owner, [ClassName](QWidget* Parent) { return CreateEditorPage(ClassName, Parent); }, Target, Caption, Index);
}

} // namespace lp
