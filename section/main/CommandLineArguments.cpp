// The command line's arguments: a command's names and options split apart,
// option values read as numbers, and the options several commands share.

#include "section/main/CommandLine_p.h"

#include "section/survey/ReadableNumbers.h"

#include <cmath>

namespace lp::commandline {

double PositiveArgument(const QString& Option, const QString& Text)
{
    bool ok = false;
    const double value = Text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0.0)
        throw EArgumentError(
            QStringLiteral("%1 needs a number above 0, not \"%2\"").arg(Option, Text).toStdString());
    return value;
}

double FiniteArgument(const QString& Option, const QString& Text)
{
    bool ok = false;
    const double value = Text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw EArgumentError(
            QStringLiteral("%1 needs a finite number, not \"%2\"").arg(Option, Text).toStdString());
    return value;
}

double RangeArgument(const QString& Option, const QString& Text, double Least, double Most)
{
    bool ok = false;
    const double value = Text.toDouble(&ok);
    if (!ok || !(value >= Least && value <= Most))
        throw EArgumentError(QStringLiteral("%1 needs a number from %2 to %3, not \"%4\"")
                                 .arg(Option, QString::fromStdString(ReadableNumber(Least)),
                                      QString::fromStdString(ReadableNumber(Most)), Text)
                                 .toStdString());
    return value;
}

int CountArgument(const QString& Option, const QString& Text, int Least, int Most)
{
    bool ok = false;
    const int value = Text.toInt(&ok);
    if (!ok || value < Least || value > Most)
        throw EArgumentError(QStringLiteral("%1 needs a whole number from %2 to %3, not \"%4\"")
                                 .arg(Option)
                                 .arg(Least)
                                 .arg(Most)
                                 .arg(Text)
                                 .toStdString());
    return value;
}

TCommandOptions& TCommandOptions::operator+=(const TCommandOptions& More)
{
    Switches += More.Switches;
    Valued += More.Valued;
    return *this;
}

TCommandOptions CleaningOptions()
{
    return {{"--reciprocal-error", "--drop-negative", "--turn-polarity"},
            {"--drop-outliers", "--drop-reciprocal", "--electrode-positions"}};
}

TCommandOptions DataOptions()
{
    TCommandOptions known{{}, {"--data", "--error", "--voltage-error", "--format", "--host-resistivity"}};
    return known += CleaningOptions();
}

EArgumentError UnknownOption(const QString& Option, const QString& Command)
{
    return EArgumentError(QStringLiteral("unknown option %1 for %2").arg(Option, Command).toStdString());
}

TCommandArguments SplitCommandArguments(const QStringList& Arguments, const TCommandOptions& Known)
{
    TCommandArguments split;
    for (qsizetype i = 1; i < Arguments.size(); ++i) {
        const QString& argument = Arguments[i];
        if (!argument.startsWith(QStringLiteral("--"))) {
            split.Names.append(argument);
            continue;
        }
        if (Known.Switches.contains(argument)) {
            split.Options.emplace_back(argument, QString());
            continue;
        }
        if (!Known.Valued.contains(argument))
            throw UnknownOption(argument, Arguments[0]);
        if (i + 1 >= Arguments.size())
            throw EArgumentError(QStringLiteral("%1 needs a value").arg(argument).toStdString());
        split.Options.emplace_back(argument, Arguments[++i]);
    }
    return split;
}

bool ReadCleaningOption(const QString& Option, const QString& Value, TCleaningRequest& Request)
{
    if (Option == QStringLiteral("--drop-outliers"))
        Request.OutlierLimit = PositiveArgument(Option, Value);
    else if (Option == QStringLiteral("--drop-reciprocal"))
        Request.ReciprocalLimit = PositiveArgument(Option, Value);
    else if (Option == QStringLiteral("--reciprocal-error"))
        Request.ReciprocalError = true;
    else if (Option == QStringLiteral("--drop-negative"))
        Request.DropNegative = true;
    else if (Option == QStringLiteral("--turn-polarity"))
        Request.TurnPolarity = true;
    else if (Option == QStringLiteral("--electrode-positions"))
        Request.ElectrodePositionsFile = Value;
    else
        return false;
    return true;
}

bool ReadDataOption(const QString& Option, const QString& Value, TForwardRequest& Request)
{
    if (ReadCleaningOption(Option, Value, Request.Cleaning))
        return true;
    if (Option == QStringLiteral("--data")) {
        Request.DataFile = Value;
    } else if (Option == QStringLiteral("--error")) {
        Request.ErrorPercent = PositiveArgument(Option, Value);
    } else if (Option == QStringLiteral("--voltage-error")) {
        Request.VoltageError = FiniteArgument(Option, Value);
        if (*Request.VoltageError < 0.0)
            throw EArgumentError(
                QStringLiteral("%1 needs a number of at least 0, not \"%2\"").arg(Option, Value).toStdString());
    } else if (Option == QStringLiteral("--format")) {
        Request.DataFormat = DataFormatFromName(Value.toStdString());
        if (!Request.DataFormat)
            throw EArgumentError("--format is " + MeasuredFormatNameChoice() + ", not \"" + Value.toStdString() + "\"");
    } else if (Option == QStringLiteral("--host-resistivity")) {
        Request.HostResistivity = PositiveArgument(Option, Value);
    } else {
        return false;
    }
    return true;
}

} // namespace lp::commandline
