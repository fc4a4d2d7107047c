#include "chart/editors/extendedseries/ErrorSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/extendedseries/SeriesPageControls.h"
#include "chart/extensions/PlotErrorBar.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

constexpr int ErrorWidthLimit = 1000;

} // namespace

TErrorSeriesEditor::TErrorSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    // Unless the series draws bars, its colour is the error pen's.
    BPen = MakePenButton(*this, QStringLiteral("&Border..."), "BPen", [this] {
        if (Series() && !qobject_cast<TErrorBarSeries*>(Series()))
            Series()->SetSeriesColor(Series()->ErrorPen()->Color());
    });
    UDBarWidth = build.SpinBox("UDBarWidth", 0, ErrorWidthLimit);
    RGWidthUnit = TPageBuilder::Named(new QGroupBox(QStringLiteral("Width Units:"), this), "RGWidthUnit");
    WidthUnitGroup = TPageBuilder::RadioGroup(this, RGWidthUnit, "RGWidthUnitGroup", {"P&ercent", "P&ixels"},
                                              Qt::Horizontal);
    CBColorEach = build.CheckBox("CBColorEach", QStringLiteral("&Color Each"));
    RGStyle = TPageBuilder::Named(new QGroupBox(QStringLiteral("Style:"), this), "RGStyle");
    StyleGroup = TPageBuilder::Named(new QButtonGroup(this), "RGStyleGroup");
    auto* styles = new QGridLayout(RGStyle);
    const char* captions[] = {"&Left", "&Right", "Left &and Right", "&Top", "&Bottom", "T&op and Bottom"};
    for (int i = 0; i < 6; ++i) {
        auto* radio = TPageBuilder::Named(new QRadioButton(QString::fromLatin1(captions[i]), RGStyle),
                                          QStringLiteral("RGStyle%1").arg(i).toLatin1().constData());
        StyleGroup->addButton(radio, i);
        // Two columns, filled down first.
        styles->addWidget(radio, i % 3, i / 3);
    }

    build.Line({BPen});
    build.Row(QStringLiteral("Error &Width:"), UDBarWidth, "Label1");
    build.Full(RGWidthUnit);
    build.Full(CBColorEach);
    build.Full(RGStyle);
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(UDBarWidth, QStringLiteral("ErrorWidth"));
    Binder().Bind(WidthUnitGroup, QStringLiteral("ErrorWidthUnits"));
    Binder().Bind(CBColorEach, QStringLiteral("ColorEachPoint"));
    Binder().Bind(
        StyleGroup,
        [this]() -> QVariant {
            auto* error = qobject_cast<TErrorSeries*>(Series());
            return error ? QVariant(static_cast<int>(error->ErrorStyle())) : QVariant();
        },
        [this](const QVariant& Value) {
            if (auto* error = qobject_cast<TErrorSeries*>(Series()))
                error->SetErrorStyle(static_cast<TCustomErrorSeries::TErrorSeriesStyle>(Value.toInt()));
        });
}

TCustomErrorSeries* TErrorSeriesEditor::Series() const
{
    return TargetAs<TCustomErrorSeries>();
}

void TErrorSeriesEditor::FillControls()
{
    TCustomErrorSeries* series = Series();
    if (!series)
        return;
    BPen->LinkPen(series->ErrorPen());
    // Only the error series chooses the sides its errors are drawn on.
    RGStyle->setVisible(qobject_cast<TErrorSeries*>(series) != nullptr);
    TTabAddingSeriesPage::FillControls();
}

void TErrorSeriesEditor::AddTabs()
{
    if (qobject_cast<TErrorBarSeries*>(Series()))
        BarEditor = AddRegisteredSeriesTab(this, QStringLiteral("TBarSeriesEditor"), Series(), QStringLiteral("Bar"), 1);
}

} // namespace lp
