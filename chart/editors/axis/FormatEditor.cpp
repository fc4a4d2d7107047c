#include "chart/editors/axis/FormatEditor.h"

#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>

#include <algorithm>

namespace lp {

TFormatSymbols TFormatSymbols::FromLocale(const QLocale& Locale)
{
    TFormatSymbols symbols;
    const QString decimal = Locale.decimalPoint();
    const QString group = Locale.groupSeparator();
    if (decimal.size() == 1)
        symbols.Decimal = decimal.front();
    if (group.size() == 1)
        symbols.Thousand = group.front();
    symbols.Currency = Locale.currencySymbol();
    return symbols;
}

QStringList DateFormatChoices(const QLocale& Locale)
{
    QStringList choices = {QStringLiteral("mm-yyyy"), QStringLiteral("mm-dd-yy"), QStringLiteral("dd-mm-yyyy"),
                           QStringLiteral("mmm"),     QStringLiteral("ddd"),      QStringLiteral("MM")};
    // The user's short date and short time formats join the list.
    for (const QString& own : {DefaultDateTimeFormat(2, Locale), DefaultDateTimeFormat(0, Locale)})
        if (!own.isEmpty() && !choices.contains(own))
            choices.append(own);
    return choices;
}

QStringList GeographicFormatChoices()
{
    return {QStringLiteral("ddd\u00B0 mm' ss\".zzz"),
            QStringLiteral("ddd mm' ss\".zzz"),
            QStringLiteral("ddd deg mm' ss\".zzz"),
            QStringLiteral("ddd mm' ss\".zzz"),
            QStringLiteral("ddd mm ss.zzz"),
            QStringLiteral("ddd mm ss"),
            QStringLiteral("ddd mm"),
            QStringLiteral("ddd\u00B0"),
            QStringLiteral("ddd")};
}

namespace {

// Removes the first occurrence of What from Text; whether there was one.
bool TakeFirst(QString& Text, const QString& What)
{
    if (What.isEmpty())
        return false;
    const qsizetype at = Text.indexOf(What);
    if (at < 0)
        return false;
    Text.remove(at, What.size());
    return true;
}

bool IsDigitPlaceholder(QChar C)
{
    return C == QLatin1Char('#') || C == QLatin1Char('0');
}

} // namespace

TNumberFormatChoice WrittenChoice(const TNumberFormatChoice& Choice, const TFormatSymbols& Symbols)
{
    TNumberFormatChoice written = Choice;
    written.FixedDecimals = Choice.FixedDecimals && Choice.Decimals > 0;
    written.Currency = Choice.Currency && !Symbols.Currency.isEmpty();
    return written;
}

TParsedFormat ParseValueFormat(const QString& Format, const TFormatSymbols& Symbols, const QStringList& DateChoices,
                               const QStringList& GeographicChoices)
{
    TParsedFormat parsed;
    if (DateChoices.contains(Format)) {
        parsed.Kind = TFormatKind::Date;
        return parsed;
    }
    if (GeographicChoices.contains(Format)) {
        parsed.Kind = TFormatKind::Geographic;
        return parsed;
    }
    // The percent sign first, then the currency text (which may hold a
    // separator character), the grouping and the decimals.
    QString text = Format;
    TNumberFormatChoice& number = parsed.Number;
    number.Percent = TakeFirst(text, QStringLiteral("%"));
    number.Currency = TakeFirst(text, Symbols.Currency);
    number.Thousands = TakeFirst(text, QString(Symbols.Thousand));
    if (const qsizetype separator = text.indexOf(Symbols.Decimal); separator >= 0) {
        qsizetype end = separator + 1;
        while (end < text.size() && IsDigitPlaceholder(text[end]))
            ++end;
        const QString run = text.mid(separator + 1, end - separator - 1);
        number.Decimals = int(std::min<qsizetype>(run.size(), 20));
        number.FixedDecimals = !run.isEmpty() && run.front() == QLatin1Char('0');
        text.remove(separator, end - separator);
    }
    const bool digitsOnly = std::all_of(text.begin(), text.end(), IsDigitPlaceholder);
    number.FixedDigits = int(std::min<qsizetype>(text.count(QLatin1Char('0')), 20));
    // A text the controls would write otherwise ("0.0#", "%0", "##0") is
    // kept as typed rather than rewritten.
    if (!digitsOnly || BuildNumberFormat(number, Symbols) != Format) {
        parsed.Kind = TFormatKind::Custom;
        parsed.Number = {};
    }
    return parsed;
}

QString BuildNumberFormat(const TNumberFormatChoice& Choice, const TFormatSymbols& Symbols)
{
    QString format = Choice.Currency ? Symbols.Currency : QString();
    const int fixed = Choice.FixedDigits;
    const QString thousand(Symbols.Thousand);
    // Every grouping uses the user's separator, as the reading expects it.
    if (fixed == 0)
        format += Choice.Thousands ? QLatin1Char('#') + thousand + QStringLiteral("###") : QStringLiteral("#");
    else if (Choice.Thousands && fixed > 3)
        format += QString(fixed - 3, QLatin1Char('0')) + thousand + QStringLiteral("000");
    else if (Choice.Thousands)
        format += QLatin1Char('#') + thousand + QString(3 - fixed, QLatin1Char('#')) +
                  QString(fixed, QLatin1Char('0'));
    else
        format += QString(fixed, QLatin1Char('0'));
    if (Choice.Decimals > 0)
        format += Symbols.Decimal +
                  QString(Choice.Decimals, Choice.FixedDecimals ? QLatin1Char('0') : QLatin1Char('#'));
    if (Choice.Percent)
        format += QLatin1Char('%');
    return format;
}

// --- The dialog ------------------------------------------------------------------------------

TFormatEditor::TFormatEditor(const QString& Format, bool IsDateTime, const QLocale& Locale, QWidget* Parent)
    : QDialog(Parent), FSymbols(TFormatSymbols::FromLocale(Locale)), FLocale(Locale)
{
    setWindowTitle(QStringLiteral("Numeric Format"));
    BuildControls();
    RBDate->setVisible(IsDateTime);
    CBDate->setVisible(IsDateTime);
    PercentClicked();
    Load(Format);
    CBPercent->setEnabled(!CBCustom->isEnabled());
    SetReadingTabOrder(*this);
}

void TFormatEditor::BuildControls()
{
    TPageBuilder build(*this);
    RBInteger = TPageBuilder::Named(new QRadioButton(QStringLiteral("&Number"), this), "RBInteger");
    UpDown1 = build.SpinBox("UpDown1", 0, 20);
    CBFixedDecimals = build.CheckBox("CBFixedDecimals", QStringLiteral("F&ixed"));
    UpDown2 = build.SpinBox("UpDown2", 0, 20);
    CBThousands = build.CheckBox("CBThousands", QStringLiteral("&Thousands"));
    CBPercent = build.CheckBox("CBPercent", QStringLiteral("&Percent"));
    CBCurrency = build.CheckBox("CBCurrency", QStringLiteral("C&urrency"));
    build.Full(RBInteger);
    auto* numberRows = new QWidget(this);
    numberRows->setObjectName(QStringLiteral("Panel2"));
    {
        TPageBuilder rows(*numberRows);
        rows.Grid().setContentsMargins(16, 0, 0, 0);
        for (QWidget* control : std::initializer_list<QWidget*>{UpDown1, CBFixedDecimals, UpDown2, CBThousands,
                                                                 CBPercent, CBCurrency})
            control->setParent(numberRows);
        auto* decimals = new QWidget(numberRows);
        auto* line = new QHBoxLayout(decimals);
        line->setContentsMargins(0, 0, 0, 0);
        UpDown1->setParent(decimals);
        CBFixedDecimals->setParent(decimals);
        line->addWidget(UpDown1);
        line->addWidget(CBFixedDecimals);
        line->addStretch();
        rows.Row(QStringLiteral("D&ecimals:"), decimals, "Label1")->setBuddy(UpDown1);
        rows.Row(QStringLiteral("&Fixed:"), UpDown2, "Label2");
        rows.Line({CBThousands, CBPercent, CBCurrency});
    }
    build.Full(numberRows);

    GroupBox1 = TPageBuilder::Named(new QGroupBox(this), "GroupBox1");
    auto* group = new QGridLayout(GroupBox1);
    RBDate = TPageBuilder::Named(new QRadioButton(QStringLiteral("&Date Time:"), GroupBox1), "RBDate");
    RBGeo = TPageBuilder::Named(new QRadioButton(QStringLiteral("&Geographic:"), GroupBox1), "RBGeo");
    RBCustom = TPageBuilder::Named(new QRadioButton(QStringLiteral("&Custom:"), GroupBox1), "RBCustom");
    CBDate = TPageBuilder::Named(new QComboBox(GroupBox1), "CBDate");
    CBGeo = TPageBuilder::Named(new QComboBox(GroupBox1), "CBGeo");
    CBCustom = TPageBuilder::Named(new QComboBox(GroupBox1), "CBCustom");
    int row = 0;
    for (auto [radio, combo] : {std::pair{RBDate, CBDate}, std::pair{RBGeo, CBGeo}, std::pair{RBCustom, CBCustom}}) {
        combo->setEditable(true);
        combo->setEnabled(false);
        combo->setMinimumWidth(180);
        group->addWidget(radio, row, 0);
        group->addWidget(combo, row++, 1);
    }
    CBDate->addItems(DateFormatChoices(FLocale));
    CBGeo->addItems(GeographicFormatChoices());
    CBCustom->addItems({QStringLiteral("#.#"), QStringLiteral("0.0%")});
    for (QComboBox* combo : {CBDate, CBGeo, CBCustom})
        combo->setCurrentIndex(-1);
    build.Full(GroupBox1);

    BOk = build.Button("BOk", QStringLiteral("OK"));
    BCancel = build.Button("BCancel", QStringLiteral("Cancel"));
    build.Grid().addLayout(OkCancelRow(BOk, BCancel), build.Grid().rowCount(), 0, 1, 2);
    connect(BOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);

    FKinds = new QButtonGroup(this);
    FKinds->addButton(RBInteger, 0);
    FKinds->addButton(RBDate, 1);
    FKinds->addButton(RBGeo, 2);
    FKinds->addButton(RBCustom, 3);
    connect(FKinds, &QButtonGroup::idClicked, this, [this] { KindClicked(); });
    connect(CBThousands, &QCheckBox::clicked, this, [this] { KindClicked(); });
    connect(CBCurrency, &QCheckBox::clicked, this, [this] { KindClicked(); });
    connect(CBPercent, &QCheckBox::clicked, this, [this] { PercentClicked(); });
}

void TFormatEditor::SelectCombo(QRadioButton* Radio, QComboBox* Combo, const QString& Text)
{
    FUpdating = true;
    Radio->setChecked(true);
    FUpdating = false;
    Combo->setEnabled(true);
    if (Combo->findText(Text) < 0)
        Combo->addItem(Text);
    Combo->setCurrentIndex(Combo->findText(Text));
    Combo->setFocus();
}

void TFormatEditor::Load(const QString& Format)
{
    const TParsedFormat parsed =
        ParseValueFormat(Format, FSymbols, DateFormatChoices(FLocale), GeographicFormatChoices());
    switch (parsed.Kind) {
    case TFormatKind::Date:
        SelectCombo(RBDate, CBDate, Format);
        return;
    case TFormatKind::Geographic:
        SelectCombo(RBGeo, CBGeo, Format);
        return;
    case TFormatKind::Custom:
        SelectCombo(RBCustom, CBCustom, Format);
        return;
    case TFormatKind::Number:
        break;
    }
    const TNumberFormatChoice& number = parsed.Number;
    RBInteger->setChecked(true);
    // The percent sign is read first and clears and locks grouping and
    // currency as a tick would; a grouping or currency the format holds
    // besides is read after it and kept.
    CBPercent->setChecked(number.Percent);
    PercentClicked();
    CBCurrency->setChecked(number.Currency);
    CBThousands->setChecked(number.Thousands);
    UpDown1->setValue(number.Decimals);
    CBFixedDecimals->setChecked(number.FixedDecimals);
    UpDown2->setValue(number.FixedDigits);
}

void TFormatEditor::KindClicked()
{
    if (FUpdating)
        return;
    // Each list is usable only with its own choice.
    CBDate->setEnabled(RBDate->isChecked());
    CBGeo->setEnabled(RBGeo->isChecked());
    CBCustom->setEnabled(RBCustom->isChecked());
    if (RBDate->isChecked()) {
        if (CBDate->currentText().isEmpty())
            CBDate->setEditText(DefaultDateTimeFormat(2, FLocale));
        CBDate->setFocus();
    } else if (RBGeo->isChecked()) {
        if (CBGeo->currentText().isEmpty())
            CBGeo->setCurrentIndex(0);
        CBGeo->setFocus();
    } else if (CBCustom->isEnabled() && CBCustom->currentText().isEmpty()) {
        CBCustom->setEditText(BuildNumberFormat(NumberChoice(), FSymbols));
        CBCustom->setFocus();
    }
    CBPercent->setEnabled(!CBCustom->isEnabled());
}

void TFormatEditor::PercentClicked()
{
    // A percentage carries neither grouping nor a currency; without a
    // currency text of the user's there is no currency to write.
    const bool percent = CBPercent->isChecked();
    CBThousands->setEnabled(!percent);
    CBCurrency->setEnabled(!percent && !FSymbols.Currency.isEmpty());
    if (percent) {
        CBThousands->setChecked(false);
        CBCurrency->setChecked(false);
    }
}

TNumberFormatChoice TFormatEditor::NumberChoice() const
{
    TNumberFormatChoice choice;
    choice.Percent = CBPercent->isChecked();
    choice.Currency = CBCurrency->isChecked();
    choice.Thousands = CBThousands->isChecked();
    choice.FixedDecimals = CBFixedDecimals->isChecked();
    choice.Decimals = UpDown1->value();
    choice.FixedDigits = UpDown2->value();
    return choice;
}

QString TFormatEditor::Result() const
{
    if (CBCustom->isEnabled())
        return CBCustom->currentText();
    if (RBInteger->isChecked())
        return BuildNumberFormat(NumberChoice(), FSymbols);
    if (RBDate->isChecked())
        return CBDate->currentText();
    if (RBGeo->isChecked())
        return CBGeo->currentText();
    return {};
}

QString EditFormat(QWidget* Owner, const QString& Format, bool IsDateTime, const QLocale& Locale)
{
    QWidget* window = Owner ? Owner->window() : nullptr;
    TFormatEditor editor(Format, IsDateTime, Locale, window);
    PlaceDialogForm(editor, window);
    CallControlHook(&editor);
    return editor.exec() == QDialog::Accepted ? editor.Result() : Format;
}

} // namespace lp
