#pragma once
// The "Numeric Format" dialog: builds a number format text from check boxes
// and counters, or lets the user pick a date-time, geographic (degrees,
// minutes, seconds) or free format.
//
// Reading a format into the controls and building one from them are pure
// functions (ParseValueFormat, BuildNumberFormat); the dialog only shows
// their results. Format texts here use the user's own separators and
// currency text, taken from a QLocale the caller may give. A number format
// opens on the controls only when they write it back as it stands, so a
// format opened and confirmed unchanged comes back unchanged.

#include <QtCore/QLocale>
#include <QtCore/QStringList>
#include <QtWidgets/QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace lp {

// The user's separators and currency text.
struct TFormatSymbols {
    QChar Decimal = QLatin1Char('.');
    QChar Thousand = QLatin1Char(',');
    QString Currency;
    static TFormatSymbols FromLocale(const QLocale& Locale);
};

// What the "&Number" controls hold.
struct TNumberFormatChoice {
    bool Percent = false;
    bool Currency = false;
    bool Thousands = false;
    bool FixedDecimals = false; // decimals '0' (always shown) instead of '#'
    int Decimals = 0;           // 0 .. 20
    int FixedDigits = 0;        // integer digits always shown, 0 .. 20
    bool operator==(const TNumberFormatChoice&) const = default;
};

enum class TFormatKind { Number, Date, Geographic, Custom };

struct TParsedFormat {
    TFormatKind Kind = TFormatKind::Number;
    TNumberFormatChoice Number; // meaningful for Number
};

// The date and geographic choices the dialog lists.
QStringList DateFormatChoices(const QLocale& Locale);
QStringList GeographicFormatChoices();

// What of Choice reaches its format: fixed decimals only with decimals, a
// currency only where the user has a currency text. Reading the format of
// Choice gives this back.
TNumberFormatChoice WrittenChoice(const TNumberFormatChoice& Choice, const TFormatSymbols& Symbols);

// Reads Format: a listed date or geographic format, a number format the
// controls rebuild to the same text, or else a custom text.
TParsedFormat ParseValueFormat(const QString& Format, const TFormatSymbols& Symbols, const QStringList& DateChoices,
                               const QStringList& GeographicChoices);
// The number format of Choice.
QString BuildNumberFormat(const TNumberFormatChoice& Choice, const TFormatSymbols& Symbols);

class TFormatEditor : public QDialog {
    Q_OBJECT
public:
    TFormatEditor(const QString& Format, bool IsDateTime, const QLocale& Locale = QLocale(),
                  QWidget* Parent = nullptr);

    // The format the controls build (what OK returns).
    QString Result() const;
    TNumberFormatChoice NumberChoice() const;

    QRadioButton* RBInteger;
    QSpinBox* UpDown1; // "D&ecimals:"
    QCheckBox* CBFixedDecimals;
    QSpinBox* UpDown2; // "&Fixed:"
    QCheckBox* CBThousands;
    QCheckBox* CBPercent;
    QCheckBox* CBCurrency;
    QGroupBox* GroupBox1;
    QRadioButton* RBDate;
    QComboBox* CBDate;
    QRadioButton* RBGeo;
    QComboBox* CBGeo;
    QRadioButton* RBCustom;
    QComboBox* CBCustom;
    QPushButton* BOk;
    QPushButton* BCancel;

private:
    void BuildControls();
    void Load(const QString& Format);
    void SelectCombo(QRadioButton* Radio, QComboBox* Combo, const QString& Text);
    void KindClicked();
    void PercentClicked();

    TFormatSymbols FSymbols;
    QLocale FLocale;
    QButtonGroup* FKinds = nullptr;
    bool FUpdating = false;
};

// Runs the dialog on Format; the built format on OK, Format unchanged
// otherwise.
QString EditFormat(QWidget* Owner, const QString& Format, bool IsDateTime, const QLocale& Locale = QLocale());

} // namespace lp
