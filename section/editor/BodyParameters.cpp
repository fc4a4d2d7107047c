#include "section/editor/BodyParameters.h"

#include "chart/engine/PlotEngine.h"
#include "section/editor/PolygonChart.h"
#include "section/model/NumberArrays.h"

#include <cmath>
#include <optional>

namespace lp {

namespace {

// The number a slot holds; none when it is not set or holds a text that is
// no number.
std::optional<double> SlotNumber(const ParamValue& Slot)
{
    if (ParameterNotSet(Slot))
        return std::nullopt;
    try {
        const double value = Slot.AsReal();
        if (value == MissingValue)
            return std::nullopt;
        return value;
    } catch (const Exception&) {
        return std::nullopt;
    }
}

// A typed number: the locale's form first, then the C locale's, then with
// a comma read as the decimal point. None when no reading takes it whole.
std::optional<double> TypedNumber(const QString& Text, const QLocale& Locale)
{
    bool ok = false;
    double value = Locale.toDouble(Text, &ok);
    if (!ok)
        value = QLocale::c().toDouble(Text, &ok);
    if (!ok && Text.count(QLatin1Char(',')) == 1 && !Text.contains(QLatin1Char('.'))) {
        QString point = Text;
        point.replace(QLatin1Char(','), QLatin1Char('.'));
        value = QLocale::c().toDouble(point, &ok);
    }
    if (!ok)
        return std::nullopt;
    return value;
}

// The label's form of a number: at most four significant digits (a label
// is read at a glance; the table and the file keep every digit), no
// exponent for the values a section holds.
QString LabelNumber(double Value, const QLocale& Locale)
{
    constexpr int Digits = 4;
    // Rounded to four digits first: 9999.7 becomes 10000, written whole.
    const double rounded = QString::number(Value, 'e', Digits - 1).toDouble();
    if (std::fabs(rounded) >= 1e4 && std::fabs(rounded) < 1e15)
        return Locale.toString(rounded, 'f', 0);
    return Locale.toString(Value, 'g', Digits);
}

QString LabelValue(const ParamValue& Slot, const QString& Unit, const QLocale& Locale)
{
    const std::optional<double> value = SlotNumber(Slot);
    return (value ? LabelNumber(*value, Locale) : QStringLiteral("\u2013")) + QLatin1Char(' ') + Unit;
}

// A flag slot typed as one of two words in any case: Off (or empty) not
// set, On 1; the error names the column (Name) and both words.
TParameterEntry ReadChoiceText(const QString& Text, const QString& Name, const QString& Off, const QString& On)
{
    TParameterEntry entry;
    const QString typed = Text.trimmed().toLower();
    if (typed.isEmpty() || typed == Off) {
        entry.Valid = true;
    } else if (typed == On) {
        entry.Valid = true;
        entry.Value = ParamValue(1.0);
    } else {
        entry.Error = QStringLiteral("%1 is \"%2\" or \"%3\".").arg(Name, Off, On);
    }
    return entry;
}

} // namespace

int QuantitySlot(TBodyQuantity Quantity)
{
    switch (Quantity) {
    case TBodyQuantity::Resistivity:
        return psResistivity;
    case TBodyQuantity::Polarizability:
        return psPolarizability;
    case TBodyQuantity::Phase:
        break;
    }
    return psPhase;
}

TParameterEntry ReadParameterText(TBodyQuantity Quantity, const QString& Text, const QLocale& Locale)
{
    TParameterEntry entry;
    const QString typed = Text.trimmed();
    if (typed.isEmpty()) {
        entry.Valid = true;
        return entry;
    }
    const bool resistivity = Quantity == TBodyQuantity::Resistivity;
    const bool phase = Quantity == TBodyQuantity::Phase;
    const QString rule = resistivity ? QStringLiteral("The resistivity must be a number above 0 (ohm-m), or empty for "
                                                      "\"not set\".")
                         : phase     ? QStringLiteral("The phase must be a number from -1000 to 1000 (mrad, negative "
                                                      "for a polarizable ground), or empty for \"not set\".")
                                     : QStringLiteral("The polarizability must be a number from 0 up to (not "
                                                      "including) 100 (%), or empty for \"not set\".");
    const std::optional<double> value = TypedNumber(typed, Locale);
    if (!value || !std::isfinite(*value)) {
        entry.Error = QStringLiteral("\"%1\" is not a number. %2").arg(typed, rule);
        return entry;
    }
    const bool allowed = resistivity ? *value > 0.0
                         : phase     ? std::fabs(*value) <= MostPhaseMrad
                                     : *value >= 0.0 && *value < 100.0;
    if (!allowed) {
        entry.Error = QStringLiteral("%1 is not allowed. %2").arg(typed, rule);
        return entry;
    }
    entry.Valid = true;
    entry.Value = ParamValue(*value);
    return entry;
}

bool RegionFitFixed(const TPolygonParams& Params)
{
    const ParamValue& slot = Params[psFit];
    return !ParameterNotSet(slot) && slot.GetKind() != ParamValue::Kind::Text && slot.AsReal() == 1.0;
}

std::optional<double> RegionFitBound(const TPolygonParams& Params, int Slot)
{
    const ParamValue& slot = Params[Slot];
    if (ParameterNotSet(slot) || slot.GetKind() == ParamValue::Kind::Text)
        return std::nullopt;
    const double value = slot.AsReal();
    if (!(std::isfinite(value) && value > 0.0))
        return std::nullopt;
    return value;
}

QString RegionFitText(const TPolygonParams& Params)
{
    return RegionFitFixed(Params) ? QStringLiteral("fixed") : QStringLiteral("free");
}

TParameterEntry ReadRegionFitText(const QString& Text)
{
    return ReadChoiceText(Text, QStringLiteral("Fit"), QStringLiteral("free"), QStringLiteral("fixed"));
}

bool RegionIsWater(const TPolygonParams& Params)
{
    const ParamValue& slot = Params[psWater];
    return !ParameterNotSet(slot) && slot.GetKind() != ParamValue::Kind::Text && slot.AsReal() == 1.0;
}

std::optional<double> MeasuredWaterResistivity(const TPolygonParams& Params)
{
    // The same rule as a fit's bounds: a number above 0, else nothing.
    return RegionFitBound(Params, psWaterResistivity);
}

namespace {

const QString WaterResistivityRule = QStringLiteral("The water's resistivity must be a number from 1e-12 to 1e12 "
                                                    "(ohm-m), or empty for the body's resistivity.");

std::string WaterValueFault(double Value)
{
    if (std::isfinite(Value) && Value >= MinWaterResistivity && Value <= MaxWaterResistivity)
        return {};
    return "the water's resistivity " + QString::number(Value, 'g', 6).toStdString() +
           " ohm-m is not allowed: it must be a number from 1e-12 to 1e12 ohm-m";
}

} // namespace

TParameterEntry ReadWaterResistivityText(const QString& Text, const QLocale& Locale)
{
    TParameterEntry entry;
    const QString typed = Text.trimmed();
    if (typed.isEmpty()) {
        entry.Valid = true;
        return entry;
    }
    const std::optional<double> value = TypedNumber(typed, Locale);
    if (!value || !std::isfinite(*value)) {
        entry.Error = QStringLiteral("\"%1\" is not a number. %2").arg(typed, WaterResistivityRule);
        return entry;
    }
    if (!WaterValueFault(*value).empty()) {
        entry.Error = QStringLiteral("%1 is not allowed. %2").arg(typed, WaterResistivityRule);
        return entry;
    }
    entry.Valid = true;
    entry.Value = ParamValue(*value);
    return entry;
}

std::string WaterResistivityFault(const TPolygonParams& Params)
{
    const ParamValue& slot = Params[psWaterResistivity];
    if (!RegionIsWater(Params) || ParameterNotSet(slot))
        return {};
    if (slot.GetKind() == ParamValue::Kind::Text)
        return "the water's resistivity \"" + slot.AsText() + "\" is not a number";
    return WaterValueFault(slot.AsReal());
}

std::string WaterResistivityTokenFault(std::string_view Token)
{
    if (Token.empty() || Token == MissingText)
        return {};
    const std::optional<double> value = TypedNumber(QString::fromUtf8(Token.data(), static_cast<qsizetype>(Token.size())),
                                                    QLocale::c());
    if (!value)
        return "the water's resistivity \"" + std::string(Token) + "\" is not a number";
    return WaterValueFault(*value);
}

QString RegionWaterText(const TPolygonParams& Params)
{
    return RegionIsWater(Params) ? QStringLiteral("yes") : QStringLiteral("no");
}

TParameterEntry ReadRegionWaterText(const QString& Text)
{
    return ReadChoiceText(Text, QStringLiteral("Water"), QStringLiteral("no"), QStringLiteral("yes"));
}

bool ParameterNotSet(const ParamValue& Slot)
{
    const std::string* text = Slot.Text();
    return Slot.IsEmpty() || (text && (*text == MissingText || text->empty()));
}

bool SameParameter(const ParamValue& A, const ParamValue& B)
{
    return A == B || (ParameterNotSet(A) && ParameterNotSet(B));
}

QString ParameterText(const ParamValue& Slot, const QLocale& Locale)
{
    const std::optional<double> value = SlotNumber(Slot);
    if (!value)
        return ParameterNotSet(Slot) || !Slot.Text() ? QString() : QString::fromStdString(*Slot.Text());
    return ShownNumber(*value, Locale);
}

QString ShownNumber(double Value, const QLocale& Locale)
{
    // The file's parameter form (three decimals from 1 up), in the locale.
    QString text = QString::fromStdString(RealToText(2, true, Value));
    text.replace(QLatin1Char('.'), Locale.decimalPoint());
    text.replace(QLatin1Char('-'), Locale.negativeSign());
    return text;
}

QStringList LabelModeNames()
{
    return {QStringLiteral("None"), QStringLiteral("Resistivity"), QStringLiteral("Resistivity & polarizability"),
            QStringLiteral("User text")};
}

int LabelModeOf(const TPolygonParams& Params)
{
    const ParamValue& slot = Params[psLabelMode];
    if (ParameterNotSet(slot))
        return -1;
    try {
        const int mode = slot.AsInteger();
        return mode >= lmNone && mode <= lmUserText ? mode : -1;
    } catch (const Exception&) {
        return -1;
    }
}

bool LabelShowsUserText(const TPolygonParams& Params)
{
    const int mode = LabelModeOf(Params);
    return mode == lmUserText || mode < 0;
}

QString BodyLabelText(const TPolygonParams& Params, const QLocale& Locale)
{
    switch (LabelModeOf(Params)) {
    case lmNone:
        return {};
    case lmResistivity:
        return LabelValue(Params[psResistivity], QStringLiteral("\u03A9\u00B7m"), Locale);
    case lmBoth:
        return LabelValue(Params[psResistivity], QStringLiteral("\u03A9\u00B7m"), Locale) + PlotLineSeparator +
               LabelValue(Params[psPolarizability], QStringLiteral("%"), Locale);
    default:
        break;
    }
    const ParamValue& text = Params[psLabelText];
    return text.IsEmpty() ? QString() : QString::fromStdString(text.AsText());
}

bool SetRingsParameter(TPolygonChart& Chart, int Slot, const std::vector<TRingValue>& Values)
{
    return Chart.ChangeFromOutside([&] {
        bool changed = false;
        for (const TRingValue& value : Values) {
            // A ring the edit put back no longer holds (none of the modes
            // adds one before it is finished) is passed over.
            if (value.Ring.Body >= Chart.Model.Length() || value.Ring.Ring >= Chart.Model[value.Ring.Body].Length())
                continue;
            ParamValue& slot = Chart.Model[value.Ring.Body][value.Ring.Ring].params[Slot];
            if (SameParameter(slot, value.Value))
                continue;
            slot = value.Value;
            changed = true;
        }
        return changed;
    });
}

} // namespace lp
