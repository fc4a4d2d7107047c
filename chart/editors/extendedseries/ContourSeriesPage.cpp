#include "chart/editors/extendedseries/ContourSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/TypedNumberEdit.h"
#include "chart/editors/seriestypes/Grid3DSeriesEditor.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/extensions/grid3d/PlotContourSeries.h"

#include <QtCore/QLocale>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSpinBox>

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

constexpr int ContourPositionLimit = 30000;
constexpr int ContourLevelsLimit = 150;

// A level's value as the page shows it: at most three decimals in the
// user's notation, no thousands separator (the text reads back as that
// number, as typed numbers are read).
QString ContourLevelValueText(double Value)
{
    if (!std::isfinite(Value))
        return NumberText(Value);
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    if (std::round(Value * 1000) == 0)
        return locale.toString(0);
    QString text = locale.toString(Value, 'f', 3);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(locale.decimalPoint()))
        text.chop(locale.decimalPoint().size());
    return text;
}

} // namespace

TContourSeriesEditor::TContourSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    Button2 = MakePenButton(*this, QStringLiteral("&Pen..."), "Button2");
    UDYPos = build.SpinBox("UDYPos", -ContourPositionLimit, ContourPositionLimit);
    LYPos = TPageBuilder::Named(new QLabel(QStringLiteral("&Vertical Position:"), this), "LYPos");
    LYPos->setBuddy(UDYPos);
    CBYPosLevel = build.CheckBox("CBYPosLevel", QStringLiteral("Levels p&osition"));

    GroupBox1 = TPageBuilder::Named(new QGroupBox(QStringLiteral("Levels:"), this), "GroupBox1");
    TPageBuilder levels(*GroupBox1);
    CBAutoLevels = levels.CheckBox("CBAutoLevels", QStringLiteral("&Automatic"));
    UDNum = levels.SpinBox("UDNum", 1, ContourLevelsLimit);
    LNum = TPageBuilder::Named(new QLabel(QStringLiteral("&Number:"), GroupBox1), "LNum");
    LNum->setBuddy(UDNum);
    CBColorEach = levels.CheckBox("CBColorEach", QStringLiteral("&Color Each"));
    UDLevel = levels.SpinBox("UDLevel", 0, ContourLevelsLimit - 1);
    LLevel = TPageBuilder::Named(new QLabel(QStringLiteral("&Level:"), GroupBox1), "LLevel");
    LLevel->setBuddy(UDLevel);
    SHColor = TPageBuilder::Named(new TColorSwatch(GroupBox1), "SHColor");
    bLevelPen = MakePenButton(*this, QStringLiteral("P&en..."), "bLevelPen", [this] { LevelPenClick(); });
    cbDefaultPen = levels.CheckBox("cbDefaultPen", QStringLiteral("&Default"));

    BindRoundedSeriesSetting<TContourSeries>(*this, UDYPos, &TContourSeries::YPosition, &TContourSeries::SetYPosition);
    Binder().Bind(CBYPosLevel, QStringLiteral("YPositionLevel"));
    Binder().Bind(
        CBAutoLevels, [this]() -> QVariant { return Series() ? QVariant(Series()->AutomaticLevels()) : QVariant(); },
        [this](const QVariant& Value) {
            if (TContourSeries* series = Series()) {
                series->SetAutomaticLevels(Value.toBool());
                RecreateAutomaticLevels();
            }
        });
    Binder().Bind(
        UDNum, [this]() -> QVariant { return Series() ? QVariant(Series()->NumLevels()) : QVariant(); },
        [this](const QVariant& Value) {
            if (TContourSeries* series = Series()) {
                series->SetNumLevels(Value.toInt());
                RecreateAutomaticLevels();
            }
        });
    Binder().Bind(
        CBColorEach, [this]() -> QVariant { return Series() ? QVariant(Series()->ColorEachPoint()) : QVariant(); },
        [this](const QVariant& Value) {
            if (TContourSeries* series = Series()) {
                series->SetColorEachPoint(Value.toBool());
                RecreateAutomaticLevels();
            }
        });
    EValue = MakeNumberEdit(
        *this, "EValue",
        [this]() -> std::optional<double> {
            TContourLevel* level = SelectedLevel();
            return level ? std::optional<double>(level->UpToValue()) : std::nullopt;
        },
        [this](double Value) {
            if (TContourLevel* level = SelectedLevel())
                level->SetUpToValue(Value);
        },
        &ContourLevelValueText);
    levels.Line({CBAutoLevels, LNum, UDNum, CBColorEach});
    LColor = TPageBuilder::Named(new QLabel(QStringLiteral("Colo&r:"), GroupBox1), "LColor");
    LColor->setBuddy(SHColor);
    LValue = TPageBuilder::Named(new QLabel(QStringLiteral("&Up to:"), GroupBox1), "LValue");
    LValue->setBuddy(EValue);
    levels.Line({LLevel, UDLevel, LColor, SHColor, LValue, EValue});
    levels.Line({bLevelPen, cbDefaultPen});

    CBSmooth = build.CheckBox("CBSmooth", QStringLiteral("&Smooth"));
    CBInterpolate = build.CheckBox("CBInterpolate", QStringLiteral("&Interpolate"));
    CBInterpolate->setEnabled(false);

    build.Line({Button2});
    build.Line({LYPos, UDYPos, CBYPosLevel});
    build.Full(GroupBox1);
    build.Line({CBSmooth, CBInterpolate});
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(
        SHColor,
        [this]() -> QVariant {
            TContourLevel* level = SelectedLevel();
            return level ? QVariant(static_cast<int>(ShownLevelColor(level->Color(), UDLevel->value()))) : QVariant();
        },
        [this](const QVariant& Value) {
            // The level's own pen takes the colour with it.
            if (TContourLevel* level = SelectedLevel())
                level->SetColor(static_cast<TColor>(Value.toInt()));
        });
    Binder().Bind(
        cbDefaultPen,
        [this]() -> QVariant {
            TContourLevel* level = SelectedLevel();
            return level ? QVariant(!level->HasPen()) : QVariant();
        },
        [this](const QVariant& Value) {
            TContourLevel* level = SelectedLevel();
            if (!level)
                return;
            if (Value.toBool()) {
                level->SetPen(nullptr);
                return;
            }
            // A pen of its own, made in the level's colour.
            level->Pen();
            Series()->SetAutomaticLevels(false);
            Series()->Repaint();
        });
    Binder().Bind(CBSmooth, QStringLiteral("Smoothing.Active"));
    Binder().Bind(CBInterpolate, QStringLiteral("Smoothing.Interpolate"));

    // Choosing another level shows it; nothing is written.
    connect(UDLevel, &QSpinBox::valueChanged, this, [this] {
        if (!Loading() && Target())
            Refresh();
    });
}

TContourSeries* TContourSeriesEditor::Series() const
{
    return TargetAs<TContourSeries>();
}

TContourLevel* TContourSeriesEditor::SelectedLevel() const
{
    TContourSeries* series = Series();
    const int index = UDLevel->value();
    if (!series || index < 0 || index >= series->Levels()->Count())
        return nullptr;
    return series->Levels()->Items(index);
}

TColor TContourSeriesEditor::ShownLevelColor(TColor LevelColor, int Index) const
{
    if (LevelColor != clPlotColor)
        return LevelColor;
    TContourSeries* series = Series();
    return series && series->ParentChart() ? series->ParentChart()->GetDefaultColor(Index) : clWhite;
}

void TContourSeriesEditor::FillControls()
{
    TContourSeries* series = Series();
    if (!series)
        return;
    Button2->LinkPen(series->Pen());
    // The level index goes up to the last level; one shown past a new last
    // level moves back, and the level's controls show that level.
    const int last = std::max(0, series->NumLevels() - 1);
    const int was = UDLevel->value();
    UDLevel->setMaximum(last);
    if (UDLevel->value() != was)
        Binder().Fill();
    TContourLevel* level = SelectedLevel();
    bLevelPen->LinkPen(level && level->HasPen() ? level->OwnPen() : nullptr);
    // Without a level the swatch shows no colour of any level.
    if (!level)
        SHColor->SetColor(clBtnFace);
    TTabAddingSeriesPage::FillControls();
}

void TContourSeriesEditor::UpdateEnabled()
{
    TContourSeries* series = Series();
    const bool automatic = series && series->AutomaticLevels();
    LYPos->setEnabled(series && !series->YPositionLevel());
    UDYPos->setEnabled(LYPos->isEnabled());
    for (QWidget* control : std::initializer_list<QWidget*>{LNum, UDNum, CBColorEach})
        control->setEnabled(automatic);
    TContourLevel* level = SelectedLevel();
    for (QWidget* control :
         std::initializer_list<QWidget*>{LLevel, UDLevel, LColor, SHColor, LValue, EValue, cbDefaultPen})
        control->setEnabled(level != nullptr);
    bLevelPen->setEnabled(level && level->HasPen());
    CBInterpolate->setEnabled(series && series->Smoothing()->Active());
}

void TContourSeriesEditor::AddTabs()
{
    if (Series())
        Grid3DEditor = AddGrid3DPage(this, Series());
}

void TContourSeriesEditor::RecreateAutomaticLevels()
{
    TContourSeries* series = Series();
    if (series && series->AutomaticLevels() && series->NumLevels() > 0)
        series->CreateAutoLevels();
}

void TContourSeriesEditor::LevelPenClick()
{
    TContourSeries* series = Series();
    TContourLevel* level = SelectedLevel();
    if (!series || !level || !level->HasPen())
        return;
    // The edited pen stays with the level only while the levels are the
    // user's.
    series->SetAutomaticLevels(false);
    level->SetColor(level->OwnPen()->Color());
    series->Repaint();
}

} // namespace lp
