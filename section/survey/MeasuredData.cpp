#include "section/survey/MeasuredData.h"

#include "section/survey/DataCleaning.h"
#include "section/survey/DataFileReading_p.h"
#include "section/survey/Res2DInvFile.h"
#include "section/survey/formats/DataFormats.h"
#include "section/model/ModelGeometryText.h"
#include "section/model/Polygons.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace lp {

static_assert(MostIpPhase == MostPhaseMrad, "a datum's phase is bounded as a body's");

namespace {

constexpr double NotGiven = std::numeric_limits<double>::quiet_NaN();

// A value column of the data block: its place and the divisor that turns
// its values into the data set's unit (dividing keeps "12" mV/V 1.2 %).
struct TValueColumn {
    std::optional<size_t> Place;
    double Divisor = 1.0;
    explicit operator bool() const { return Place.has_value(); }
    double Of(const datafile::TUnifiedRow& Row) const { return Place ? Row.Values[*Place] / Divisor : NotGiven; }
};

// The units a column may carry, each with its divisor; "" for none written.
struct TUnit {
    const char* Name;
    double Divisor;
};

class TUnifiedColumns {
public:
    explicit TUnifiedColumns(const datafile::TUnifiedTable& table) : FTable(table) {}

    // The first of the names the data block has, its unit one of Units;
    // refused when a name is there twice or its unit is unknown.
    TValueColumn Find(std::initializer_list<const char*> Names, std::initializer_list<TUnit> Units) const
    {
        const std::vector<datafile::TUnifiedColumn>& columns = FTable.Columns;
        for (const char* name : Names) {
            const auto named = [&](const datafile::TUnifiedColumn& c) { return c.Name == name; };
            const auto found = std::find_if(columns.begin(), columns.end(), named);
            if (found == columns.end())
                continue;
            if (std::count_if(columns.begin(), columns.end(), named) > 1)
                Fail(std::string("the datum columns name \"") + name + "\" twice");
            std::string known;
            for (const TUnit& unit : Units) {
                if (found->Unit == unit.Name)
                    return {static_cast<size_t>(found - columns.begin()), unit.Divisor};
                known += std::string(known.empty() ? "" : ", ") + (*unit.Name ? unit.Name : "none");
            }
            Fail("the unit " + datafile::Quoted(found->Unit) + " of column \"" + name +
                 "\" is not one this reader knows (" + known + ")");
        }
        return {};
    }

    // Whether the "ip" column has no unit.
    bool BareIp() const
    {
        return std::any_of(FTable.Columns.begin(), FTable.Columns.end(),
                           [](const datafile::TUnifiedColumn& c) { return c.Name == "ip" && c.Unit.empty(); });
    }

    [[noreturn]] void Fail(const std::string& What) const
    {
        throw EDataFileError("Line " + std::to_string(FTable.ColumnLine) + ": " + What + ".");
    }

    // The column of phases and the sign turning its values into the
    // voltage's phase φ: "phi" or "phase" hold φ itself; an "ip" in an
    // angle's unit (a bare one when IpIsPhase) holds −φ, as pyGIMLi writes
    // it. Refused when a file holds both.
    std::pair<TValueColumn, double> PhaseColumn(bool IpIsPhase) const
    {
        if (Has("phi") && Has("phase"))
            Fail("the datum columns hold phases twice: \"phi\" and \"phase\"");
        const TValueColumn phi = Find({"phi", "phase"}, {{"", 1.0}, {"mrad", 1.0}, {"rad", 1e-3}, {"deg", Degree}});
        const auto ip = std::find_if(FTable.Columns.begin(), FTable.Columns.end(),
                                     [](const datafile::TUnifiedColumn& c) { return c.Name == "ip"; });
        const bool ipPhase = ip != FTable.Columns.end() &&
                             (ip->Unit == "mrad" || ip->Unit == "rad" || ip->Unit == "deg" ||
                              (IpIsPhase && ip->Unit.empty()));
        if (!ipPhase)
            return {phi, 1.0};
        if (phi)
            Fail("the datum columns hold phases twice: \"ip\" in an angle's unit and \"phi\"");
        return {Find({"ip"}, {{"", 1.0}, {"mrad", 1.0}, {"rad", 1e-3}, {"deg", Degree}}), -1.0};
    }

    // The "iperr" column as the error of the phases' column: in its unit
    // unless it names its own.
    TValueColumn PhaseErrorColumn(const TValueColumn& Phases) const
    {
        return Find({"iperr"}, {{"", Phases.Divisor}, {"mrad", 1.0}, {"rad", 1e-3}, {"deg", Degree}});
    }

    bool Has(const char* Name) const
    {
        return std::any_of(FTable.Columns.begin(), FTable.Columns.end(),
                           [&](const datafile::TUnifiedColumn& c) { return c.Name == Name; });
    }

    // Degrees turned into mrad by dividing.
    static constexpr double Degree = 180.0 / (1000.0 * std::numbers::pi);

private:
    const datafile::TUnifiedTable& FTable;
};

// The first line of the file when it is a comment, without its "#".
std::string FirstComment(std::string_view Text)
{
    datafile::TTextLines lines(Text);
    const std::optional<std::string_view> first = lines.NextLine();
    if (!first || !first->starts_with('#'))
        return {};
    return std::string(datafile::Trimmed(first->substr(1)));
}

// Apparent chargeabilities fall below 0 only here and there (beside strong
// contrasts): half of them or more below 0 are more likely phases written
// with their sign. Turned (the warning of the turn given): the reading as
// phases is added to it; else, half exactly below 0, said alone.
void WarnOfNegativeChargeabilities(TMeasuredData& Data, std::string* Turned)
{
    const std::string phases = "if the \"ip\" column holds phases (mrad), read it as phases (--ip-is-phase, or "
                               "\"The ip column holds phases\" where the data are opened).";
    if (Turned) {
        *Turned += " But " + phases;
        return;
    }
    const auto negative = std::count_if(Data.Chargeabilities.begin(), Data.Chargeabilities.end(),
                                        [](double eta) { return eta < 0.0; });
    const auto given = std::count_if(Data.Chargeabilities.begin(), Data.Chargeabilities.end(),
                                     [](double eta) { return std::isfinite(eta); });
    if (negative == 0 || 2 * negative < given)
        return;
    Data.Warnings.push_back(std::to_string(negative) + " of " + std::to_string(given) + " chargeabilities are" +
                            " below 0: " + phases);
}

// A bare ip the user reads as phases holds them either as pyGIMLi writes
// them (−φ, mostly above 0) or with the voltage's sign (mostly below 0, as
// the negative chargeabilities' warning suggests): read as −φ, phases mostly
// above 0 were written with their sign and are turned back.
void TakeSignOfTheMost(std::vector<double>& Phases)
{
    const auto above = std::count_if(Phases.begin(), Phases.end(), [](double phi) { return phi > 0.0; });
    const auto below = std::count_if(Phases.begin(), Phases.end(), [](double phi) { return phi < 0.0; });
    if (above > below)
        for (double& phi : Phases)
            phi = -phi;
}

[[noreturn]] void FailDatum(int Line, const std::string& What)
{
    throw EDataFileError("Line " + std::to_string(Line) + ": " + What + ".");
}

} // namespace

std::string LineWord(TDataFormat Format)
{
    return Format == TDataFormat::SyscalBinary || Format == TDataFormat::SyscalBinx ? "record" : "line";
}

std::string LinePlace(TDataFormat Format, int Line)
{
    std::string word = LineWord(Format);
    word[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
    return word + " " + std::to_string(Line);
}

std::string DataFormatName(TDataFormat Format)
{
    return MeasuredFormat(Format).Name;
}

std::optional<TDataFormat> DataFormatFromName(const std::string& Name)
{
    for (const TMeasuredFormat& format : MeasuredFormats())
        if (format.Name == Name)
            return format.Format;
    return std::nullopt;
}

std::string TSkippedData::Text() const
{
    std::string text;
    const auto add = [&](int count, const char* what) {
        if (count > 0)
            text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + what;
    };
    add(Invalid, "marked invalid");
    add(BadResistivity, "with an apparent resistivity that is not finite, beyond 1e12 ohm-m in size, or above 0 "
                        "but below 1e-12 ohm-m");
    add(BadError, "with an error below 0.0001 %");
    add(NoGeometricFactor, "measuring nothing over a homogeneous ground (an infinite geometric factor)");
    add(RepeatedElectrode, "using an electrode twice");
    // The first lines named, enough to find them in the file.
    const auto named = [this](const std::vector<int>& Lines) {
        constexpr size_t most = 10;
        std::string text = LineWord + (Lines.size() == 1 ? " " : "s ");
        for (size_t i = 0; i < std::min(most, Lines.size()); ++i)
            text += (i == 0 ? "" : ", ") + std::to_string(Lines[i]);
        return Lines.size() > most ? text + ", ..." : text;
    };
    if (!UnmeasuredLines.empty())
        add(static_cast<int>(UnmeasuredLines.size()),
            (std::string(UnmeasuredLines.size() == 1 ? "row" : "rows") +
             " without a measurement (no value, a current of 0, or a failed reading: " + named(UnmeasuredLines) + ")")
                .c_str());
    if (!NonPositiveResponseLines.empty())
        add(static_cast<int>(NonPositiveResponseLines.size()),
            ("whose computed apparent resistivity is 0 or below (a configuration measuring next to nothing: " +
             named(NonPositiveResponseLines) + ")")
                .c_str());
    return text;
}

namespace {

// "line 5" or "lines 5, 9, ..." (the first ten, enough to find them).
std::string LinesText(const std::vector<int>& Lines)
{
    constexpr size_t named = 10;
    std::string text = Lines.size() == 1 ? "line " : "lines ";
    for (size_t i = 0; i < std::min(named, Lines.size()); ++i)
        text += (i == 0 ? "" : ", ") + std::to_string(Lines[i]);
    return Lines.size() > named ? text + ", ..." : text;
}

} // namespace

std::string TSkippedData::IpText() const
{
    std::string text;
    if (!IpLines.empty())
        text = std::to_string(IpLines.size()) + (IpLines.size() == 1 ? " IP value" : " IP values") +
               " not finite, beyond ±1000 mrad or ±100 % (1000 mV/V) in size, or with an error below 0.001 mrad "
               "or 0.0001 % (" + LinesText(IpLines) + ")";
    if (!IpOutlierLines.empty())
        text += (text.empty() ? "" : ", ") + std::to_string(IpOutlierLines.size()) +
                (IpOutlierLines.size() == 1 ? " IP value" : " IP values") + " far beyond " +
                (IpOutlierLines.size() == 1 ? "its" : "their") + " neighbours' (" + LinesText(IpOutlierLines) + ")";
    return text;
}

namespace {

// Equal number by number, nan beside nan counting as equal.
bool SameValues(const std::vector<double>& A, const std::vector<double>& B)
{
    return std::equal(A.begin(), A.end(), B.begin(), B.end(),
                      [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); });
}

} // namespace

bool SameMeasurements(const TMeasuredData& A, const TMeasuredData& B)
{
    const auto sameElectrodes = [](const std::vector<TElectrode>& P, const std::vector<TElectrode>& Q) {
        return std::equal(P.begin(), P.end(), Q.begin(), Q.end(),
                          [](const TElectrode& p, const TElectrode& q) {
                              return p.x == q.x && p.y == q.y && p.z == q.z && p.Map == q.Map;
                          });
    };
    return A.HasElevations == B.HasElevations && sameElectrodes(A.Electrodes, B.Electrodes) &&
           A.Configurations == B.Configurations && SameValues(A.Resistivities, B.Resistivities) &&
           SameValues(A.Resistances, B.Resistances) && SameValues(A.GeometricFactors, B.GeometricFactors) &&
           SameValues(A.Errors, B.Errors) && SameValues(A.Chargeabilities, B.Chargeabilities) &&
           SameValues(A.ChargeabilityErrors, B.ChargeabilityErrors) && SameValues(A.Phases, B.Phases) &&
           SameValues(A.PhaseErrors, B.PhaseErrors) &&
           SameValues(A.Voltages, B.Voltages) &&
           sameElectrodes(A.Topography, B.Topography);
}

TSurvey TMeasuredData::Survey() const
{
    return {Electrodes, Configurations, SchemeArrayName, HasElevations};
}

std::vector<double> TMeasuredData::ApparentResistivities(const std::vector<double>& Factors) const
{
    if (Factors.size() != Size())
        throw EForwardError("The response holds " + std::to_string(Factors.size()) +
                            " geometric factors where the measured data hold " + std::to_string(Size()) + " data.");
    std::vector<double> resistivities = Resistivities;
    for (size_t d = 0; d < Resistances.size(); ++d)
        if (std::isfinite(Resistances[d]))
            resistivities.at(d) = Factors[d] * Resistances[d];
    return resistivities;
}

namespace datafile {

namespace {

// Whether the configuration measures a potential difference over a
// homogeneous flat ground: its geometric factor from the distances along
// and across the line (x and y; z left out, as a flat section stands the
// electrodes; a buried electrode's depth counted, its image too) finite and within the bound the forward computation keeps.
// A pole-dipole whose A and remote B share an x (B carried out square from
// A) measures what its distances across the line give. Electrodes at one
// place are left to the placement's refusal.
bool MeasuresSomething(const std::vector<TElectrode>& Electrodes, const TConfiguration& c)
{
    double sum = 0.0, scale = 0.0, largest = 0.0;
    const int current[2] = {c.a, c.b}, potential[2] = {c.m, c.n};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            if (current[i] < 0 || potential[j] < 0)
                continue;
            const TElectrode& p = Electrodes.at(static_cast<size_t>(current[i]));
            const TElectrode& q = Electrodes.at(static_cast<size_t>(potential[j]));
            const bool buried = p.Buried() || q.Buried();
            const double r = buried ? std::hypot(p.x - q.x, p.y - q.y, p.Depth - q.Depth) : std::hypot(p.x - q.x, p.y - q.y);
            if (!(r > 0.0))
                return true;
            const double term = buried ? HalfSpaceTerm(p, q) : 1.0 / r;
            sum += (i == j ? 1.0 : -1.0) * term;
            scale += term;
            largest = std::max(largest, r);
        }
    const double k = 2.0 * std::numbers::pi / sum;
    return std::fabs(sum) > 1e-9 * scale && std::isfinite(k) && std::fabs(k) <= 1e12 * std::max(1.0, largest);
}

// An IP value and its error as a datum keeps them: nan (with its error)
// where none is given, or where it cannot be a measurement (not finite,
// beyond Most in size, an error above 0 below Least; Wild set then).
std::pair<double, double> UsableIpValue(double Value, double Error, double Most, double Least, bool& Wild)
{
    if (std::isnan(Value))
        return {NotGiven, NotGiven};
    const double error = std::isfinite(Error) && Error > 0.0 ? Error : NotGiven;
    if (!(std::fabs(Value) <= Most) || error < Least) {
        Wild = true;
        return {NotGiven, NotGiven};
    }
    return {Value, error};
}

// The IP values turned, with a warning counting them, when three in four
// or more of those not 0 have the sign no polarizable ground gives (Wrong
// above 0 for phases, below 0 for chargeabilities) and so has their sum:
// a column written in the other convention. A bare majority is no proof:
// over a ground polarizable only here and there the values scatter about
// 0 and the noise may put more of them below it than above.
bool TurnWrongSigns(std::vector<double>& Values, double Wrong, const char* What, const char* Sign,
                    std::vector<std::string>& Warnings)
{
    const auto wrong = std::count_if(Values.begin(), Values.end(), [&](double v) { return v * Wrong > 0.0; });
    const auto right = std::count_if(Values.begin(), Values.end(), [&](double v) { return v * Wrong < 0.0; });
    double sum = 0.0;
    for (double value : Values)
        sum += std::isfinite(value) ? value : 0.0;
    if (wrong == 0 || wrong < 3 * right || !(sum * Wrong > 0.0))
        return false;
    for (double& value : Values)
        value = -value;
    Warnings.push_back(std::to_string(wrong) + " of " + std::to_string(wrong + right) + " " + What + " are " + Sign +
                       " 0, which a polarizable ground does not give: the column is read in the other sign "
                       "convention, every value's sign turned.");
    return true;
}

} // namespace

bool AddMeasuredDatum(TMeasuredData& Data, TConfiguration Configuration, const TMeasuredValues& Values, int Line)
{
    TConfiguration& c = Configuration;
    if (c.a < 0)
        std::swap(c.a, c.b);
    if (c.m < 0)
        std::swap(c.m, c.n);
    if (c.a < 0)
        FailDatum(Line, "the datum has no current electrode (A and B are absent)");
    if (c.m < 0)
        FailDatum(Line, "the datum has no potential electrode (M and N are absent)");
    const int used[4] = {c.a, c.b, c.m, c.n};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < i; ++j)
            if (used[i] >= 0 && used[i] == used[j]) {
                ++Data.Skipped.RepeatedElectrode;
                return false;
            }
    if (!MeasuresSomething(Data.Electrodes, c)) {
        ++Data.Skipped.NoGeometricFactor;
        return false;
    }
    double resistivity = Values.Resistivity;
    double factor = Values.GeometricFactor;
    if (Values.Resistance) {
        if (!std::isfinite(factor))
            factor = FlatGeometricFactor(TSurvey{Data.Electrodes, {}, SchemeArrayName}, c);
        resistivity = factor * *Values.Resistance;
    }
    // A ρa of 0 or below is a datum (MeasuredData.h); a positive one below
    // MinResistivity, or any beyond MaxResistivity, no misfit counts.
    if (!(std::isfinite(resistivity) && std::fabs(resistivity) <= MaxResistivity &&
          (resistivity <= 0.0 || resistivity >= MinResistivity))) {
        ++Data.Skipped.BadResistivity;
        return false;
    }
    if (Values.Error > 0.0 && Values.Error < MinError) {
        ++Data.Skipped.BadError;
        return false;
    }
    const auto finite = [](double value, bool positive) {
        return std::isfinite(value) && (!positive || value > 0.0) ? value : NotGiven;
    };
    Data.Configurations.push_back(c);
    Data.Lines.push_back(Line);
    Data.Resistivities.push_back(resistivity);
    Data.Resistances.push_back(Values.Resistance ? *Values.Resistance : NotGiven);
    Data.GeometricFactors.push_back(finite(factor, false));
    Data.Errors.push_back(finite(Values.Error, true));
    bool wild = false;
    const auto [chargeability, chargeabilityError] =
        UsableIpValue(Values.Chargeability, Values.ChargeabilityError, MostIpChargeability, MinChargeabilityError, wild);
    const auto [phase, phaseError] = UsableIpValue(Values.Phase, Values.PhaseError, MostIpPhase, MinPhaseError, wild);
    if (wild)
        Data.Skipped.IpLines.push_back(Line);
    // A chargeability's error stands without its value where the file gives one.
    Data.Chargeabilities.push_back(chargeability);
    Data.ChargeabilityErrors.push_back(std::isnan(Values.Chargeability) ? finite(Values.ChargeabilityError, true)
                                                                        : chargeabilityError);
    Data.Phases.push_back(phase);
    Data.PhaseErrors.push_back(phaseError);
    // A voltage of 0 would make any absolute voltage error infinite: none.
    Data.Voltages.push_back(Values.Voltage != 0.0 ? finite(Values.Voltage, false) : NotGiven);
    Data.Times.push_back(finite(Values.Time, false));
    return true;
}

void DropAbsentLists(TMeasuredData& Data)
{
    for (std::vector<double>* values :
         {&Data.Errors, &Data.Chargeabilities, &Data.ChargeabilityErrors, &Data.Phases, &Data.PhaseErrors, &Data.Voltages,
          &Data.Resistances, &Data.Times})
        if (std::all_of(values->begin(), values->end(), [](double value) { return std::isnan(value); }))
            values->clear();
}

TTurnedIpSigns FinishMeasuredData(TMeasuredData& Data)
{
    TTurnedIpSigns turned;
    turned.Chargeabilities = TurnWrongSigns(Data.Chargeabilities, -1.0, "chargeabilities", "below", Data.Warnings);
    turned.Phases = TurnWrongSigns(Data.Phases, 1.0, "phases", "above", Data.Warnings);
    // A wild value is no measurement whatever the options: left out here,
    // where every reader passes, so the window, the forward comparison and
    // the inversions never see it.
    const TOutlyingIp outlying = OutlyingIpValues(Data, WildIpLimit);
    LeaveOutIpValues(Data, outlying);
    for (const std::vector<bool>* marks : {&outlying.Chargeabilities, &outlying.Phases})
        for (size_t d = 0; d < marks->size(); ++d)
            if ((*marks)[d])
                Data.Skipped.IpOutlierLines.push_back(Data.Lines.at(d));
    std::sort(Data.Skipped.IpLines.begin(), Data.Skipped.IpLines.end());
    std::sort(Data.Skipped.IpOutlierLines.begin(), Data.Skipped.IpOutlierLines.end());
    DropAbsentLists(Data);
    return turned;
}

} // namespace datafile

TMeasuredData ReadUnifiedMeasuredData(std::string_view Text)
{
    return ReadUnifiedMeasuredDataWith(Text, TDataReading{});
}

TMeasuredData ReadUnifiedMeasuredDataWith(std::string_view Text, const TDataReading& Options)
{
    const datafile::TUnifiedTable table = datafile::ReadUnifiedTable(Text);
    TMeasuredData data;
    data.Format = TDataFormat::Unified;
    data.Title = FirstComment(Text);
    data.Electrodes = table.Electrodes;
    data.ElectrodeLines = table.ElectrodeLines;
    data.Topography = table.Topography;
    data.Warnings = table.Warnings;
    // Elevations are the electrodes' own (a topography block alone leaves
    // them at 0: not given).
    data.HasElevations = std::any_of(table.Electrodes.begin(), table.Electrodes.end(),
                                     [](const TElectrode& e) { return e.z != 0.0; });
    // Without a section the electrodes' upper envelope is the surface: a
    // hole's electrodes below its top are buried.
    if (data.HasElevations)
        SetEnvelopeDepths(data.Electrodes);
    if (table.Rows.empty() && table.Columns.empty())
        return data;
    if (table.Columns.empty())
        throw EDataFileError("Line " + std::to_string(table.Rows.front().Line - 1) +
                             ": the data need a column line naming their values, such as \"# a b m n rhoa\".");
    const TUnifiedColumns columns(table);
    const TValueColumn rhoa = columns.Find({"rhoa", "ra", "rhos"}, {{"", 1.0}, {"ohmm", 1.0}, {"ohm-m", 1.0}});
    const TValueColumn r = columns.Find({"r"}, {{"", 1.0}, {"ohm", 1.0}});
    const TValueColumn u = columns.Find({"u"}, {{"", 1.0}, {"v", 1.0}, {"mv", 1e3}});
    const TValueColumn i = columns.Find({"i"}, {{"", 1.0}, {"a", 1.0}, {"ma", 1e3}});
    const TValueColumn k = columns.Find({"k"}, {{"", 1.0}, {"m", 1.0}});
    const TValueColumn err = columns.Find({"err"}, {{"", 1.0}, {"%", 100.0}});
    constexpr double perMille = datafile::MillivoltsPerVoltPerPercent;
    const auto [phase, phaseSign] = columns.PhaseColumn(Options.IpIsPhase);
    const bool phases = phase && phaseSign < 0.0; // the ip column holds them
    const TValueColumn ip = phases ? TValueColumn{} : columns.Find({"ip"}, {{"", perMille}, {"mv/v", perMille}, {"%", 1.0}});
    // "iperr" is the error of the chargeabilities where the file has them,
    // else of the phases.
    const TValueColumn iperr =
        ip ? columns.Find({"iperr"}, {{"", ip.Divisor}, {"mv/v", perMille}, {"%", 1.0}}) : TValueColumn{};
    const TValueColumn phaseErr = !ip && phase ? columns.PhaseErrorColumn(phase) : TValueColumn{};
    const TValueColumn valid = columns.Find({"valid"}, {{"", 1.0}});
    if (!rhoa && !r && !(u && i))
        columns.Fail("the datum columns have no apparent resistivity: \"rhoa\", \"r\" with \"k\", or \"u\" and \"i\"");

    for (const datafile::TUnifiedRow& row : table.Rows) {
        const double validity = valid.Of(row);
        if (valid && (validity == 0.0 || std::isnan(validity))) {
            ++data.Skipped.Invalid;
            continue;
        }
        datafile::TMeasuredValues values;
        values.GeometricFactor = k.Of(row);
        if (rhoa)
            values.Resistivity = rhoa.Of(row);
        else
            values.Resistance = r ? r.Of(row) : u.Of(row) / i.Of(row);
        values.Voltage = u ? u.Of(row) : r && i ? r.Of(row) * i.Of(row) : NotGiven;
        values.Error = err.Of(row);
        values.Chargeability = ip.Of(row);
        values.ChargeabilityError = iperr.Of(row);
        values.Phase = phaseSign * phase.Of(row);
        values.PhaseError = phaseErr.Of(row);
        const auto& e = row.Electrodes;
        datafile::AddMeasuredDatum(data, {e[0] - 1, e[1] - 1, e[2] - 1, e[3] - 1}, values, row.Line);
    }
    if (phases && columns.BareIp())
        TakeSignOfTheMost(data.Phases);
    const size_t warnings = data.Warnings.size();
    const datafile::TTurnedIpSigns turned = datafile::FinishMeasuredData(data);
    WarnOfNegativeChargeabilities(data, turned.Chargeabilities ? &data.Warnings.at(warnings) : nullptr);
    return data;
}

bool LooksUnified(std::string_view Text)
{
    datafile::TTextLines lines(Text);
    const std::optional<std::string_view> first = lines.NextLine();
    if (!first || first->starts_with('#'))
        return true;
    const std::vector<std::string_view> tokens = datafile::Tokens(first->substr(0, first->find('#')));
    if (tokens.size() != 1 || !datafile::WholeNumber(tokens.front()))
        return false;
    // The count's block: a column line, or rows of an electrode's x [y] z
    // (a file of numbered rows after a count, such as a protocol of
    // quadrupoles, is not the format).
    const std::optional<std::string_view> next = lines.NextValues(false);
    return !next || next->starts_with('#') ||
           datafile::Tokens(next->substr(0, next->find('#')), ",").size() <= datafile::MaxElectrodeValues;
}

TDataFormat RecogniseDataFormat(std::string_view Text)
{
    for (const TMeasuredFormat& format : MeasuredFormats())
        if (format.Recognise && format.Recognise(Text))
            return format.Format;
    return TDataFormat::Res2DInv;
}

bool HasPhases(const TMeasuredData& Data)
{
    return std::any_of(Data.Phases.begin(), Data.Phases.end(), [](double phi) { return std::isfinite(phi); });
}

size_t TurnMagnitudes(TMeasuredData& Data)
{
    if (Data.Resistances.size() != Data.Size())
        return 0;
    std::vector<bool> turned(Data.Size(), false);
    bool signs = false;
    for (size_t d = 0; d < Data.Size(); ++d) {
        signs = signs || Data.Resistances[d] < 0.0;
        turned[d] = std::isfinite(Data.Resistances[d]) && Data.Resistivities[d] < 0.0;
    }
    if (signs && !Data.Magnitudes)
        return 0;
    const size_t count = TurnPolarity(Data, turned);
    Data.Magnitudes = Data.Magnitudes || count > 0;
    return count;
}

namespace {

// A file of magnitudes read: its data turned, and said.
TMeasuredData WithSignsOfFactors(TMeasuredData Data)
{
    if (const size_t turned = TurnMagnitudes(Data); turned > 0)
        Data.Warnings.push_back("The file gives its resistances as magnitudes (none below 0, while " +
                                std::to_string(turned) + " of " + std::to_string(Data.Size()) +
                                " configurations have a geometric factor below 0): each datum takes its "
                                "configuration's sign, " + std::to_string(turned) + " turned.");
    return Data;
}

TMeasuredData ReadMeasuredDataAsGiven(std::string_view Text, std::optional<TDataFormat> Format,
                                      std::string_view Extension, const TDataReading& Options);

} // namespace

TMeasuredData ReadMeasuredData(std::string_view Text, std::optional<TDataFormat> Format, std::string_view Extension,
                               const TDataReading& Options)
{
    return WithSignsOfFactors(ReadMeasuredDataAsGiven(Text, Format, Extension, Options));
}

namespace {

TMeasuredData ReadMeasuredDataAsGiven(std::string_view Text, std::optional<TDataFormat> Format,
                                      std::string_view Extension, const TDataReading& Options)
{
    const TDataFormat format = Format.value_or(RecogniseDataFormat(Text));
    if (format == TDataFormat::Unified)
        return ReadUnifiedMeasuredDataWith(Text, Options);
    if (format != TDataFormat::Res2DInv)
        return MeasuredFormat(format).Read(Text);
    try {
        return ReadRes2DInvData(Text);
    } catch (const EDataFileError& error) {
        if (Format || HasRes2DInvHeader(Text))
            throw;
        // The extension of an instrument's export: its reader says where the
        // file leaves the format.
        std::string refusal = "Read as Res2DInv: " + error.Message();
        if (const TMeasuredFormat* hinted = InstrumentFormatOfExtension(Extension)) {
            try {
                return hinted->Read(Text);
            } catch (const EDataFileError& instrument) {
                refusal = "Read as " + std::string(hinted->Description) + " (its extension): " + instrument.Message();
            }
        }
        throw EDataFileError("The file is in no format this program reads: measured data are read in " +
                             MeasuredFormatList() + ". " + refusal);
    }
}

} // namespace

namespace {

bool AllFinite(const std::vector<double>& Values, size_t Count)
{
    return Values.size() == Count && std::all_of(Values.begin(), Values.end(), [](double v) { return std::isfinite(v); });
}

} // namespace

std::string FormatMeasuredData(const TMeasuredData& Data, double DefaultError)
{
    if (!(std::isfinite(DefaultError) && DefaultError > 0.0))
        throw EDataFileError("The error of data whose file gives none must be a finite number above 0.");
    const size_t count = Data.Size();
    const bool resistances = AllFinite(Data.Resistances, count);
    const bool chargeabilities = AllFinite(Data.Chargeabilities, count);
    const bool chargeabilityErrors = chargeabilities && AllFinite(Data.ChargeabilityErrors, count);
    const bool phases = AllFinite(Data.Phases, count);
    // "iperr" holds the chargeabilities' errors where they are written.
    const bool phaseErrors = phases && !chargeabilities && AllFinite(Data.PhaseErrors, count);
    const TSurvey survey = Data.Survey();
    const std::vector<int> numbers = UnifiedElectrodeNumbers(survey);
    const auto number = [&](int electrode) { return UnifiedElectrodeNumber(numbers, electrode); };
    std::string text = "# Lithoprism measured data, " + std::to_string(count) + " kept: " +
                       (resistances ? "r in ohm" : "rhoa in ohm-m") + ", k in m, err a fraction" +
                       (chargeabilities ? ", ip in mV/V (10 mV/V = 1 %)" : "") +
                       (phases ? ", phi the voltage's phase in mrad (negative when polarizable)" : "") +
                       (phaseErrors ? ", iperr its error in mrad\n" : "\n");
    text += FormatUnifiedElectrodes(Data.Electrodes, numbers);
    text += std::to_string(count) + "\n# a b m n k " + (resistances ? "r" : "rhoa") + " err";
    text += chargeabilities ? (chargeabilityErrors ? " ip iperr" : " ip") : "";
    text += phases ? (phaseErrors ? " phi iperr\n" : " phi\n") : "\n";
    for (size_t d = 0; d < count; ++d) {
        const TConfiguration& c = Data.Configurations[d];
        const double given = Data.GeometricFactors.empty() ? std::nan("") : Data.GeometricFactors[d];
        const double k = std::isfinite(given) ? given : FlatGeometricFactor(survey, c);
        const double error = Data.Errors.empty() || !(std::isfinite(Data.Errors[d]) && Data.Errors[d] > 0.0)
                                 ? DefaultError
                                 : Data.Errors[d];
        const double value = resistances ? Data.Resistances[d] : Data.Resistivities[d];
        if (!std::isfinite(k) || !std::isfinite(value))
            throw EDataFileError("Datum " + std::to_string(d + 1) + " has no finite value to write.");
        text += number(c.a) + " " + number(c.b) + " " + number(c.m) + " " + number(c.n) + " " + FormatExactReal(k) +
                " " + FormatExactReal(value) + " " + FormatExactReal(error);
        if (chargeabilities)
            text += " " + FormatExactReal(Data.Chargeabilities[d] * datafile::MillivoltsPerVoltPerPercent);
        if (chargeabilityErrors)
            text += " " + FormatExactReal(Data.ChargeabilityErrors[d] * datafile::MillivoltsPerVoltPerPercent);
        if (phases)
            text += " " + FormatExactReal(Data.Phases[d]);
        if (phaseErrors)
            text += " " + FormatExactReal(Data.PhaseErrors[d]);
        text += "\n";
    }
    text += "0\n";
    return text;
}

} // namespace lp
