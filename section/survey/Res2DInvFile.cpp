#include "section/survey/Res2DInvFile.h"

#include "section/survey/DataFileReading_p.h"
#include "section/model/ModelGeometryText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace lp {

namespace {

using datafile::Quoted;
using datafile::Tokens;

constexpr std::string_view Separators = ",\t";

enum TRes2DInvArray {
    raWenner = 1,
    raPolePole = 2,
    raDipoleDipole = 3,
    raWennerBeta = 4,
    raWennerGamma = 5,
    raPoleDipole = 6,
    raWennerSchlumberger = 7,
    raGeneral = 11,
    raCrossBorehole = 12
};

// A datum as its row gives it: the electrodes' places (A, B, M, N; none
// where absent) and its values.
struct TRow {
    int Line = 0;
    std::optional<TElectrode> Places[4];
    double Value = 0.0;
    double Chargeability = std::numeric_limits<double>::quiet_NaN(); // as written
    double Error = std::numeric_limits<double>::quiet_NaN();         // as written
};

// The slots of a configuration's electrodes in TRow::Places.
enum TSlot { slotA, slotB, slotM, slotN };

// A line's first token is not a number: a line of text.
bool IsText(const std::vector<std::string_view>& Tokens)
{
    return !Tokens.empty() && !datafile::RealNumber(Tokens.front());
}

// A line holding 0 or 1 alone.
bool IsFlag(const std::vector<std::string_view>& Tokens)
{
    const std::optional<int> value = Tokens.size() == 1 ? datafile::WholeNumber(Tokens.front()) : std::nullopt;
    return value && (*value == 0 || *value == 1);
}

std::string Lowercase(std::string_view Text)
{
    std::string lower(Text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool KnownArray(int Array)
{
    static const int known[] = {raWenner,      raPolePole,   raDipoleDipole,       raWennerBeta,
                                raWennerGamma, raPoleDipole, raWennerSchlumberger, raGeneral,
                                raCrossBorehole};
    return std::find(std::begin(known), std::end(known), Array) != std::end(known);
}

// The elevation of the topography at x: linear between its points (sorted
// by x), its end values beyond them.
double TopographyElevation(const std::vector<TElectrode>& Points, double X)
{
    if (X <= Points.front().x)
        return Points.front().z;
    for (size_t i = 1; i < Points.size(); ++i)
        if (X <= Points[i].x) {
            const TElectrode& p = Points[i - 1];
            const TElectrode& q = Points[i];
            return q.x > p.x ? p.z + (q.z - p.z) * (X - p.x) / (q.x - p.x) : q.z;
        }
    return Points.back().z;
}

class TRes2DInvReader {
public:
    explicit TRes2DInvReader(std::string_view text) : FText(text) {}
    explicit TRes2DInvReader(const datafile::TTextLines& text) : FText(text) {}

    TMeasuredData Read()
    {
        const std::optional<std::string_view> title = FText.NextLine();
        if (!title)
            FText.Fail("the file ends before its title");
        FData.Format = TDataFormat::Res2DInv;
        FData.Title = std::string(*title);
        FUnitSpacing = Number("the unit electrode spacing");
        if (!(FUnitSpacing > 0.0))
            FText.Fail("the unit electrode spacing " + FormatExactReal(FUnitSpacing) + " is not above 0");
        ReadArrayType();
        ReadRemotes();
        const int data = WholeNumberLine("the number of data");
        if (data < 0)
            FText.Fail("the number of data " + std::to_string(data) + " is below 0");
        FMidPoint = ReadLocationType();
        ReadFlags(data);
        for (int d = 0; d < data; ++d)
            FRows.push_back(ReadRow(d));
        ReadTopography(data);
        PlaceRemotes();
        PlaceElectrodes();
        AddData();
        return std::move(FData);
    }

private:
    // The next line with values: blank lines and lines of separators alone
    // skipped; none at the end.
    std::optional<std::string_view> NextLine()
    {
        std::optional<std::string_view> line;
        do
            line = FText.NextValues(false);
        while (line && Tokens(*line, Separators).empty());
        return line;
    }

    // The tokens of the line NextLine would read, without reading it.
    std::vector<std::string_view> PeekTokens() const
    {
        TRes2DInvReader ahead(FText);
        const std::optional<std::string_view> line = ahead.NextLine();
        return line ? Tokens(*line, Separators) : std::vector<std::string_view>{};
    }

    std::string PeekText() const
    {
        TRes2DInvReader ahead(FText);
        const std::optional<std::string_view> line = ahead.NextLine();
        return line ? Lowercase(*line) : std::string();
    }

    std::vector<std::string_view> ValuesLine(const std::string& what)
    {
        const std::optional<std::string_view> line = NextLine();
        if (!line)
            FText.Fail("the file ends before " + what);
        return Tokens(*line, Separators);
    }

    // A line holding one value (more after it are not read: instruments
    // write notes there).
    std::string_view FirstValue(const std::string& what)
    {
        return ValuesLine(what).front();
    }

    double Number(const std::string& what)
    {
        const std::string_view token = FirstValue(what);
        const std::optional<double> value = datafile::RealNumber(token);
        if (!value || !std::isfinite(*value))
            FText.Fail(what + " is a finite number, not " + Quoted(token));
        return *value;
    }

    int WholeNumberLine(const std::string& what)
    {
        const std::string_view token = FirstValue(what);
        const std::optional<int> value = datafile::WholeNumber(token);
        if (!value)
            FText.Fail(what + " is a whole number, not " + Quoted(token));
        return *value;
    }

    int Choice(const std::string& what, int most)
    {
        const int value = WholeNumberLine(what);
        if (value < 0 || value > most)
            FText.Fail(what + " is " + (most == 1 ? "0 or 1" : "0, 1 or 2") + ", not " + std::to_string(value));
        return value;
    }

    void ReadArrayType()
    {
        FArray = WholeNumberLine("the array type");
        if (!KnownArray(FArray))
            FText.Fail("array type " + std::to_string(FArray) +
                       " is not one this reader knows: 1 (Wenner), 2 (pole-pole), 3 (dipole-dipole), "
                       "4 (Wenner-beta), 5 (Wenner-gamma), 6 (pole-dipole), 7 (Wenner-Schlumberger), 11 "
                       "(general array) or 12 (cross-borehole)");
        if (!ByCoordinates())
            return;
        WholeNumberLine("the general array's sub-type");
        const std::optional<std::string_view> named = NextLine();
        if (!named)
            FText.Fail("the file ends before the \"Type of measurement\" line");
        if (datafile::RealNumber(Tokens(*named, Separators).front()))
            FText.Fail("a line naming the type of measurement is expected here, not " + Quoted(*named));
        FResistance = Choice("the type of measurement (0 apparent resistivity, 1 resistance)", 1) == 1;
        if (FArray == raCrossBorehole)
            ReadBoreholes();
    }

    // The general array and the cross-borehole survey give each datum's
    // electrodes by their coordinates.
    bool ByCoordinates() const { return FArray == raGeneral || FArray == raCrossBorehole; }

    // A line of text (a label), for what is expected after it.
    void Label(const std::string& what)
    {
        const std::vector<std::string_view> tokens = ValuesLine(what);
        if (!IsText(tokens))
            FText.Fail("a line naming " + what + " is expected here, not " + Quoted(tokens.front()));
    }

    // A list of electrodes: its count, then "x z" rows (z the depth below
    // the surface). Read and checked; the data rows place the electrodes.
    void ReadElectrodeList(const std::string& what)
    {
        const int count = WholeNumberLine("the number of " + what);
        if (count < 1)
            FText.Fail("the number of " + what + " " + std::to_string(count) + " is below 1");
        for (int e = 0; e < count; ++e) {
            const std::vector<std::string_view> values = ValuesLine(what + " " + std::to_string(e + 1));
            if (values.size() != 2)
                FText.Fail(what + " " + std::to_string(e + 1) + " has " + std::to_string(values.size()) +
                           " values where 2 (x, depth) are needed");
            FText.Number(values[0]);
            FText.Number(values[1]);
        }
    }

    // The cross-borehole layout after the type of measurement: an optional
    // "Surface electrodes present" line with its flag (with 1: a label, the
    // surface electrodes' list), then "Number of boreholes", its count and
    // per borehole a label ("Borehole 1 electrodes") and its list.
    void ReadBoreholes()
    {
        if (IsText(PeekTokens()) && PeekText().find("surface") != std::string::npos) {
            NextLine();
            if (Choice("the surface electrodes flag", 1) == 1) {
                Label("the surface electrodes");
                ReadElectrodeList("surface electrodes");
            }
        }
        Label("the number of boreholes");
        const int holes = WholeNumberLine("the number of boreholes");
        if (holes < 1)
            FText.Fail("the number of boreholes " + std::to_string(holes) + " is below 1");
        for (int h = 1; h <= holes; ++h) {
            Label("borehole " + std::to_string(h) + "'s electrodes");
            ReadElectrodeList("borehole " + std::to_string(h) + " electrodes");
        }
        if (IsText(PeekTokens()))
            NextLine(); // "Number of data points"
    }

    bool ReadLocationType()
    {
        const int type = WholeNumberLine("the x-location type");
        if (ByCoordinates())
            return false;
        if (type != 0 && type != 1)
            FText.Fail("the x-location type is 0 (first electrode) or 1 (mid-point), not " + std::to_string(type));
        return type == 1;
    }

    void ReadChargeabilityHeader()
    {
        FChargeability = Choice("the IP flag", 1) == 1;
        if (!FChargeability)
            return;
        const std::optional<std::string_view> quantity = NextLine();
        if (!quantity)
            FText.Fail("the file ends before the chargeability's name");
        const std::optional<std::string_view> unit = NextLine();
        if (!unit)
            FText.Fail("the file ends before the chargeability's unit");
        const std::string name = Lowercase(*unit);
        if (name == "mv/v")
            FChargeabilityDivisor = datafile::MillivoltsPerVoltPerPercent;
        else if (name == "%" || name == "percent")
            FChargeabilityDivisor = 1.0;
        else if (name == "msec" || name == "ms" || name == "mrad")
            FChargeabilityDivisor = std::nullopt;
        else
            FText.Fail("the chargeability unit is mV/V, msec, mrad or %, not " + Quoted(*unit));
        if (!NextLine())
            FText.Fail("the file ends before the chargeability's time window");
        // Phases in mrad are written as their magnitude, above 0 over a
        // polarizable ground: the voltage's phase is φ = −value.
        FPhases = name == "mrad";
        if (!FPhases && !FChargeabilityDivisor)
            FData.Warnings.push_back(
                "The chargeabilities are in msec (the decay integrated over a window), which has no conversion to "
                "per cent that holds for every instrument: they are not used.");
    }

    // --- Remote electrodes -----------------------------------------------------------

    // The slot a remote's label names: B ("b", "c2", "current"), N ("n",
    // "p2", "potential"); none without one.
    std::optional<TSlot> RemoteSlot(const std::vector<std::string_view>& label) const
    {
        std::optional<TSlot> slot;
        for (std::string_view token : label) {
            const std::string word = Lowercase(token);
            const std::optional<TSlot> named = word == "b" || word == "c2" || word == "current" ? std::optional(slotB)
                                               : word == "n" || word == "p2" || word == "potential"
                                                   ? std::optional(slotN)
                                                   : std::nullopt;
            if (named && slot && *named != *slot)
                FText.Fail("a remote electrode is named both B and N: " + Quoted(Lowercase(token)));
            slot = named ? named : slot;
        }
        return slot;
    }

    // A remote's line: its label (words) and its position (x, or x and z).
    struct TRemoteLine {
        std::vector<std::string_view> Label;
        std::vector<double> Values;
        bool Numbers = true; // every token after the label a number
        bool Exact = false;  // given with y under its heading: where the data's k were computed, however far
        double Across = 0.0; // y, under its heading
    };

    static TRemoteLine RemoteLine(const std::vector<std::string_view>& tokens)
    {
        TRemoteLine line;
        size_t i = 0;
        for (; i < tokens.size() && !datafile::RealNumber(tokens[i]); ++i)
            line.Label.push_back(tokens[i]);
        for (; i < tokens.size(); ++i) {
            const std::optional<double> value = datafile::RealNumber(tokens[i]);
            line.Numbers = line.Numbers && value.has_value();
            if (value)
                line.Values.push_back(*value);
        }
        return line;
    }

    // The block of remote electrodes of a pole-pole or pole-dipole file,
    // right after the array type: a line of text naming it ("Remote
    // electrodes"), then one line per remote, "[label] x [z]" (a position
    // may also follow the block's name on its line; an unlabelled one needs
    // x and z). Pole-dipole's remote is B; pole-pole's are B and N, in that
    // order unless labelled. Or, as instruments' software writes it, a
    // heading per remote ("C2 remote electrode X, Y and Z location", "P2
    // ...") with "x,y,z" on the next line, and "Exact Geometric factor
    // used" after them. The block ends at the data count.
    void ReadRemotes()
    {
        const std::vector<std::string_view> head = PeekTokens();
        if ((FArray != raPolePole && FArray != raPoleDipole) || !IsText(head) ||
            PeekText().find("remote") == std::string::npos)
            return;
        NextLine();
        FRemoteLine = FText.At();
        std::vector<TSlot> open = FArray == raPolePole ? std::vector<TSlot>{slotB, slotN} : std::vector<TSlot>{slotB};
        bool unlabelled = false;
        const auto place = [&](const TRemoteLine& line) {
            const std::optional<TSlot> named = RemoteSlot(line.Label);
            unlabelled = unlabelled || !named;
            const auto slot = named ? std::find(open.begin(), open.end(), *named) : open.begin();
            if (slot == open.end())
                FText.Fail(named ? "the remote electrode " + std::string(*named == slotB ? "B" : "N") +
                                       " is given twice or is not one this array has"
                                 : std::string("the array has no more remote electrodes"));
            if (!std::isfinite(line.Values[0]) || (line.Values.size() > 1 && !std::isfinite(line.Values[1])))
                FText.Fail("the remote electrode's position is not a finite number");
            FRemotes[*slot] = TElectrode{line.Values[0], line.Values.size() > 1 ? line.Values[1] : 0.0, line.Across};
            FRemotesExact[*slot] = line.Exact;
            FRemoteLines[*slot] = FText.At();
            open.erase(slot);
        };
        if (const TRemoteLine first = RemoteLine(head); first.Numbers && first.Values.size() == 2)
            place(first);
        else if (first.Values.empty() && RemoteSlot(first.Label))
            place(PlaceAcross(*RemoteSlot(first.Label))); // the block opens with a remote's heading
        for (;;) {
            const TRemoteLine line = RemoteLine(PeekTokens());
            const bool labelled = !line.Label.empty() && RemoteSlot(line.Label);
            if (labelled && line.Values.empty()) {
                // "C2 remote electrode X, Y and Z location", its place on the next line.
                NextLine();
                place(PlaceAcross(*RemoteSlot(line.Label)));
                continue;
            }
            if (line.Values.empty() && PeekText().find("geometric") != std::string::npos) {
                NextLine(); // "Exact Geometric factor used": k from the true places, as here
                continue;
            }
            if (open.empty() || !line.Numbers || line.Values.empty() || line.Values.size() > 2 ||
                (!labelled && line.Values.size() != 2))
                break;
            NextLine();
            place(line);
        }
        if (FArray == raPolePole && open.size() == 1 && unlabelled)
            FText.Fail("a pole-pole file's remote electrodes are B and N: one unlabelled position is given (label it "
                       "\"B\" or \"N\" to give one alone)");
        if (open.size() == (FArray == raPolePole ? 2u : 1u))
            FText.FailAt(FRemoteLine, "the block of remote electrodes gives no position (\"x z\", or a label and x)");
    }

    // The line after a remote's heading: "x,y,z" (metres, y across the
    // line), as a remote's line labelled Slot with x, z and y. An electrode
    // off the line (y not 0) stays at its place: the data's k were computed
    // with it there, and the computation takes it there too.
    TRemoteLine PlaceAcross(TSlot Slot)
    {
        const char* name = Slot == slotB ? "C2" : "P2";
        const std::string what = std::string("the remote electrode ") + name + "'s x, y and z";
        const TRemoteLine values = RemoteLine(ValuesLine(what));
        if (!values.Label.empty() || !values.Numbers || values.Values.size() != 3)
            FText.Fail(what + " (three numbers, comma-separated) are expected here");
        const double y = values.Values[1];
        if (!std::isfinite(y))
            FText.Fail("the remote electrode's position is not a finite number");
        TRemoteLine line;
        line.Label = {Slot == slotB ? "c2" : "p2"};
        line.Values = {values.Values[0], values.Values[2]};
        line.Exact = true;
        line.Across = std::fabs(y) > 1e-6 * FUnitSpacing ? y : 0.0;
        return line;
    }

    // Remotes beyond ten times the line's length from it (unless given as
    // x, y, z: then the data's k were computed with that place), or at a
    // coordinate of 99999 or more in size (files mark infinity so), stay at
    // infinity; the others join every datum at their place, off the line
    // where y puts them.
    void PlaceRemotes()
    {
        double left = std::numeric_limits<double>::infinity(), right = -left;
        for (const TRow& row : FRows)
            for (const std::optional<TElectrode>& place : row.Places)
                if (place) {
                    left = std::min(left, place->x);
                    right = std::max(right, place->x);
                }
        const double length = std::max(right - left, FUnitSpacing);
        for (TSlot slot : {slotB, slotN}) {
            const std::optional<TElectrode>& remote = FRemotes[slot];
            if (!remote || FRows.empty())
                continue;
            const double beyond = std::max({left - remote->x, remote->x - right, 0.0});
            const bool far = !FRemotesExact[slot] && std::hypot(beyond, remote->y, remote->z) > 10.0 * length;
            if (far || std::fabs(remote->x) >= 99999.0 || std::fabs(remote->y) >= 99999.0 ||
                std::fabs(remote->z) >= 99999.0)
                continue;
            for (TRow& row : FRows)
                row.Places[slot] = remote;
        }
    }

    // --- The flags of chargeability and error estimates ---------------------------

    static bool IsErrorText(const std::string& lower) { return lower.find("error") != std::string::npos; }
    static bool IsErrorTypeText(const std::string& lower)
    {
        return IsErrorText(lower) && (lower.find("type") != std::string::npos || lower.find("unit") != std::string::npos);
    }

    // After the x-location type: the IP flag (and its lines) and an
    // optional error flag, before or after it; labels naming the error flag
    // ("Error estimates") allowed. Where both are given, the rows' extra
    // values follow the flags' order.
    void ReadFlags(int data)
    {
        if (IsErrorText(PeekText()) || ErrorFlagFirst()) {
            ReadErrorFlag();
            FErrorFirst = true;
            ReadChargeabilityHeader();
            return;
        }
        ReadChargeabilityHeader();
        if (data > 0 && (IsErrorText(PeekText()) || IsFlag(PeekTokens())))
            ReadErrorFlag();
    }

    // Whether the next flag is the error flag: followed by the error type's
    // line, or by the IP flag (a second flag that is 1 before the
    // chargeability's lines, or any flag after a 1).
    bool ErrorFlagFirst() const
    {
        TRes2DInvReader ahead(FText);
        const std::optional<std::string_view> first = ahead.NextLine();
        if (!first || !IsFlag(Tokens(*first, Separators)))
            return false;
        const std::string second = ahead.PeekText();
        if (IsErrorTypeText(second))
            return true;
        const std::vector<std::string_view> secondTokens = ahead.PeekTokens();
        if (!IsFlag(secondTokens))
            return false;
        if (Tokens(*first, Separators).front() == "1" || secondTokens.front() == "0")
            return true;
        ahead.NextLine();
        const std::vector<std::string_view> third = ahead.PeekTokens();
        return IsText(third) && !IsErrorText(ahead.PeekText());
    }

    // Labels, the flag, and with a 1 the optional type line (its text and
    // 0 or 1): errors in per cent of the value, or in the data's unit.
    // A label followed right by the type line ("Error estimate for data
    // present", "Type of error estimate (0=same unit as data)", 0) stands
    // for the flag 1. The type: what the legend says its value is, else 0
    // the data's unit; another value is refused naming its line.
    void ReadErrorFlag()
    {
        bool labelled = false;
        while (IsText(PeekTokens()) && IsErrorText(PeekText()) && !IsErrorTypeText(PeekText())) {
            NextLine();
            labelled = true;
        }
        FErrors = labelled && IsErrorTypeText(PeekText()) ? true : Choice("the error estimate flag", 1) == 1;
        if (!FErrors || !IsErrorTypeText(PeekText()))
            return;
        const std::string legend = Lowercase(*NextLine());
        const int type = WholeNumberLine("the type of error estimate");
        const std::optional<bool> percent = LegendSaysPercent(legend, type);
        if (!percent && type != 0)
            FText.Fail("the type of error estimate is 0 (the error in the data's unit), not " + std::to_string(type));
        FErrorsInPercent = percent.value_or(false);
    }

    // What a legend such as "(0=same unit as data, 1=percent)" says of the
    // value: per cent, the data's unit, or nothing.
    static std::optional<bool> LegendSaysPercent(const std::string& legend, int value)
    {
        const std::string digit = std::to_string(value);
        for (size_t at = legend.find(digit); at != std::string::npos; at = legend.find(digit, at + 1)) {
            size_t next = legend.find_first_not_of(' ', at + 1);
            if (next == std::string::npos || legend[next] != '=')
                continue;
            const std::string meaning = legend.substr(next + 1, legend.find_first_of(",;)", next + 1) - next - 1);
            if (meaning.find('%') != std::string::npos || meaning.find("percent") != std::string::npos ||
                meaning.find("per cent") != std::string::npos)
                return true;
            if (meaning.find("same") != std::string::npos || meaning.find("unit") != std::string::npos ||
                meaning.find("absolute") != std::string::npos || meaning.find("ohm") != std::string::npos)
                return false;
        }
        return std::nullopt;
    }

    // The electrodes of a regular array's datum from its leftmost one.
    void RegularPlaces(TRow& row, double x, double a, double n) const
    {
        const auto at = [&](int slot, double offset) { row.Places[slot] = TElectrode{x + offset * a, 0.0}; };
        enum { A, B, M, N };
        switch (FArray) {
        case raWenner: at(A, 0), at(M, 1), at(N, 2), at(B, 3); break;
        case raPolePole: at(A, 0), at(M, 1); break;
        case raDipoleDipole: at(A, 0), at(B, 1), at(M, n + 1), at(N, n + 2); break;
        case raWennerBeta: at(A, 0), at(B, 1), at(M, 2), at(N, 3); break;
        case raWennerGamma: at(A, 0), at(M, 1), at(B, 2), at(N, 3); break;
        case raPoleDipole:
            if (n > 0)
                at(A, 0), at(M, n), at(N, n + 1);
            else
                at(N, 0), at(M, 1), at(A, 1 - n);
            break;
        default: at(A, 0), at(M, n), at(N, n + 1), at(B, 2 * n + 1); break;
        }
    }

    TRow ReadRow(int d)
    {
        const std::string what = "datum " + std::to_string(d + 1);
        const std::vector<std::string_view> values = ValuesLine(what);
        TRow row;
        row.Line = FText.At();
        const size_t extra = (FChargeability ? 1 : 0) + (FErrors ? 1 : 0);
        if (ByCoordinates())
            ReadGeneralRow(what, values, extra, row);
        else
            ReadRegularRow(what, values, extra, row);
        // The extra values last, in the order of their flags.
        const size_t last = values.size() - 1;
        if (FChargeability)
            row.Chargeability = FText.AnyNumber(values[FErrors && !FErrorFirst ? last - 1 : last]);
        if (FErrors)
            row.Error = FText.AnyNumber(values[FChargeability && FErrorFirst ? last - 1 : last]);
        for (const std::optional<TElectrode>& place : row.Places)
            if (place && !(std::isfinite(place->x) && std::isfinite(place->z)))
                FText.Fail(what + " places an electrode at no finite position");
        return row;
    }

    void Count(const std::string& what, const std::vector<std::string_view>& values, size_t needed,
               const char* names) const
    {
        if (values.size() == needed)
            return;
        // The extra values in the order of their flags.
        std::vector<const char*> extra;
        if (FChargeability)
            extra.push_back("the chargeability");
        if (FErrors)
            extra.insert(FErrorFirst ? extra.begin() : extra.end(), "the error");
        const std::string extras = extra.empty()      ? std::string()
                                   : extra.size() == 1 ? std::string(" and ") + extra[0]
                                                       : std::string(", ") + extra[0] + " and " + extra[1];
        FText.Fail(what + " has " + std::to_string(values.size()) + " values where " + std::to_string(needed) +
                   " are needed (" + names + extras + ")");
    }

    void ReadRegularRow(const std::string& what, const std::vector<std::string_view>& values, size_t extra, TRow& row)
    {
        const bool withN = FArray == raDipoleDipole || FArray == raPoleDipole || FArray == raWennerSchlumberger;
        Count(what, values, (withN ? 4 : 3) + extra, withN ? "x, a, n, the apparent resistivity" : "x, a, the apparent resistivity");
        const double x = FText.Number(values[0]);
        const double a = FText.Number(values[1]);
        if (!(a > 0.0))
            FText.Fail(what + ": the spacing a " + Quoted(values[1]) + " is not above 0");
        double n = 1.0;
        if (withN) {
            n = FText.Number(values[2]);
            if (FArray == raPoleDipole ? n == 0.0 : !(n > 0.0))
                FText.Fail(what + ": n " + Quoted(values[2]) + (FArray == raPoleDipole ? " is 0" : " is not above 0"));
        }
        row.Value = FText.AnyNumber(values[withN ? 3 : 2]);
        RegularPlaces(row, 0.0, a, n);
        // Shift the array so that its leftmost electrode, or the mid-point of
        // its outermost ones, stands at x.
        double left = std::numeric_limits<double>::infinity(), right = -left;
        for (const std::optional<TElectrode>& place : row.Places)
            if (place) {
                left = std::min(left, place->x);
                right = std::max(right, place->x);
            }
        const double shift = x - (FMidPoint ? (left + right) / 2.0 : left);
        for (std::optional<TElectrode>& place : row.Places)
            if (place)
                place->x += shift;
    }

    void ReadGeneralRow(const std::string& what, const std::vector<std::string_view>& values, size_t extra, TRow& row)
    {
        const int electrodes = FText.Integer(values.front());
        if (electrodes < 2 || electrodes > 4)
            FText.Fail(what + " has " + std::to_string(electrodes) + " electrodes where 2, 3 or 4 are read");
        Count(what, values, 2 * static_cast<size_t>(electrodes) + 2 + extra,
              "the electrode count, x and z of each electrode, the value");
        // 2: A M; 3: A M N; 4: A B M N.
        static const int slots[3][4] = {{0, 2}, {0, 2, 3}, {0, 1, 2, 3}};
        for (int e = 0; e < electrodes; ++e) {
            const double x = FText.Number(values[1 + 2 * e]), z = FText.Number(values[2 + 2 * e]);
            // A cross-borehole row gives the depth below the surface (down positive).
            row.Places[slots[electrodes - 2][e]] =
                FArray == raCrossBorehole ? TElectrode{x, 0.0 - z, 0.0, std::max(z, 0.0)} : TElectrode{x, z};
        }
        row.Value = FText.AnyNumber(values[1 + 2 * static_cast<size_t>(electrodes)]);
    }

    // Lines of zeros only.
    static bool AllZeros(const std::vector<std::string_view>& tokens)
    {
        return std::all_of(tokens.begin(), tokens.end(), [](std::string_view token) {
            const std::optional<double> value = datafile::RealNumber(token);
            return value && *value == 0.0;
        });
    }

    void ReadTopography(int data)
    {
        std::optional<std::string_view> line = NextLine();
        if (line && !datafile::RealNumber(Tokens(*line, Separators).front()) &&
            Lowercase(*line).find("topography") != std::string::npos)
            line = NextLine(); // "Topography in separate list"
        if (!line)
            return;
        const std::vector<std::string_view> flag = Tokens(*line, Separators);
        const std::optional<int> topography = flag.size() == 1 ? datafile::WholeNumber(flag.front()) : std::nullopt;
        if (!(topography && *topography >= 0 && *topography <= 2) && !AllZeros(flag))
            FText.Fail("after the " + std::to_string(data) +
                       " data a topography flag (0, 1 or 2) or the closing zeros are expected, not " + Quoted(*line));
        if (topography && *topography > 0) {
            const int points = WholeNumberLine("the number of topography points");
            if (points < 1)
                FText.Fail("the number of topography points " + std::to_string(points) + " is below 1");
            for (int p = 0; p < points; ++p) {
                const std::vector<std::string_view> values = ValuesLine("topography point " + std::to_string(p + 1));
                if (values.size() != 2)
                    FText.Fail("topography point " + std::to_string(p + 1) + " has " + std::to_string(values.size()) +
                               " values where 2 (x, elevation) are needed");
                FTopography.push_back({FText.Number(values[0]), FText.Number(values[1])});
            }
            WholeNumberLine("the topography point of the first electrode");
            FAlongSurface = *topography == 2;
        }
        // Programs write blocks of their own after the closing zeros: not
        // read, with a warning. Before any zeros the file must end.
        bool closed = false;
        while (const std::optional<std::string_view> more = NextLine()) {
            if (AllZeros(Tokens(*more, Separators))) {
                closed = true;
                continue;
            }
            if (!closed)
                FText.Fail("the file goes on after its data and topography: " + Quoted(*more));
            FData.Warnings.push_back("What follows the closing zeros, from line " + std::to_string(FText.At()) + " (" +
                                     Quoted(*more) + "), is not read.");
            break;
        }
    }

    // Distances along the surface turned into horizontal distances along
    // the topography's segments (a segment shorter than its rise counts as
    // vertical).
    double Horizontal(double s) const
    {
        const std::vector<TElectrode>& t = FTopography;
        double x = t.front().x;
        if (s <= t.front().x)
            return s;
        for (size_t i = 1; i < t.size(); ++i) {
            const double along = t[i].x - t[i - 1].x, rise = t[i].z - t[i - 1].z;
            const double across = std::sqrt(std::max(along * along - rise * rise, 0.0));
            if (s <= t[i].x)
                return along > 0.0 ? x + across * (s - t[i - 1].x) / along : x;
            x += across;
        }
        return x + (s - t.back().x);
    }

    // One electrode per place, in order of x (then y, then z); each row's
    // places become electrode numbers. Over a topography every place, an
    // off-line remote's too, takes the line's elevation at its x.
    void PlaceElectrodes()
    {
        if (!FTopography.empty()) {
            std::stable_sort(FTopography.begin(), FTopography.end(),
                             [](const TElectrode& p, const TElectrode& q) { return p.x < q.x; });
            std::vector<TElectrode> horizontal = FTopography;
            for (TElectrode& point : horizontal)
                point.x = FAlongSurface ? Horizontal(point.x) : point.x;
            for (TRow& row : FRows)
                for (std::optional<TElectrode>& place : row.Places)
                    if (place) {
                        place->x = FAlongSurface ? Horizontal(place->x) : place->x;
                        place->z = TopographyElevation(horizontal, place->x) - place->Depth;
                    }
            FData.Topography = horizontal;
        }
        struct TPlace {
            TElectrode At;
            size_t Row;
            int Slot;
        };
        std::vector<TPlace> places;
        for (size_t r = 0; r < FRows.size(); ++r)
            for (int slot = 0; slot < 4; ++slot)
                if (FRows[r].Places[slot])
                    places.push_back({*FRows[r].Places[slot], r, slot});
        std::sort(places.begin(), places.end(), [](const TPlace& p, const TPlace& q) {
            return p.At.x < q.At.x || (p.At.x == q.At.x && (p.At.y < q.At.y || (p.At.y == q.At.y && p.At.z < q.At.z)));
        });
        const double tolerance = 1e-6 * FUnitSpacing;
        FNumbers.assign(FRows.size(), {-1, -1, -1, -1});
        for (const TPlace& place : places) {
            // Within the tolerance of an electrode standing near in x: the
            // same electrode (a few electrodes back at most share an x).
            int found = -1;
            for (size_t e = FData.Electrodes.size(); e-- > 0;) {
                const TElectrode& electrode = FData.Electrodes[e];
                if (place.At.x - electrode.x > tolerance)
                    break;
                if (std::fabs(place.At.z - electrode.z) <= tolerance && std::fabs(place.At.y - electrode.y) <= tolerance) {
                    found = static_cast<int>(e);
                    break;
                }
            }
            if (found < 0) {
                found = static_cast<int>(FData.Electrodes.size());
                FData.Electrodes.push_back(place.At);
                FData.ElectrodeLines.push_back(ElectrodeLine(place.Row, place.Slot));
            }
            FData.ElectrodeLines[static_cast<size_t>(found)] =
                std::min(FData.ElectrodeLines[static_cast<size_t>(found)], ElectrodeLine(place.Row, place.Slot));
            FNumbers[place.Row][place.Slot] = found;
        }
        FData.HasElevations = std::any_of(FData.Electrodes.begin(), FData.Electrodes.end(),
                                          [](const TElectrode& e) { return e.z != 0.0; }) ||
                              !FTopography.empty();
        // Elevations of the electrodes' own (no topography block): a
        // hole's electrodes below its top are buried (SetEnvelopeDepths); a
        // cross-borehole file gives their depths.
        if (FArray == raCrossBorehole)
            FData.HasElevations = true;
        else if (FData.HasElevations && FTopography.empty())
            SetEnvelopeDepths(FData.Electrodes);
    }

    // The line that places an electrode: its row's, or for a remote the
    // remote block's.
    int ElectrodeLine(size_t row, int slot) const
    {
        return FRemotes[slot] && FRows[row].Places[slot] ? FRemoteLines[slot] : FRows[row].Line;
    }

    void AddData()
    {
        for (size_t r = 0; r < FRows.size(); ++r) {
            const TRow& row = FRows[r];
            const std::array<int, 4>& e = FNumbers[r];
            datafile::TMeasuredValues values;
            if (FResistance)
                values.Resistance = row.Value;
            else
                values.Resistivity = row.Value;
            if (FChargeabilityDivisor)
                values.Chargeability = row.Chargeability / *FChargeabilityDivisor;
            else if (FPhases)
                values.Phase = -row.Chargeability;
            values.Error = FErrorsInPercent ? row.Error / 100.0 : row.Error / std::fabs(row.Value);
            datafile::AddMeasuredDatum(FData, {e[0], e[1], e[2], e[3]}, values, row.Line);
        }
        datafile::FinishMeasuredData(FData);
    }

    datafile::TTextLines FText;
    TMeasuredData FData;
    double FUnitSpacing = 1.0;
    int FArray = 0;
    bool FResistance = false;
    bool FMidPoint = false;
    bool FChargeability = false;
    bool FPhases = false; // the IP values are phases in mrad
    bool FErrors = false;          // each row ends with its error estimate
    bool FErrorFirst = false;      // the error flag came before the IP flag: the error before the chargeability
    bool FErrorsInPercent = true;  // else in the data's unit
    std::optional<TElectrode> FRemotes[4]; // the remote block's B and N
    bool FRemotesExact[4] = {};            // given as x, y, z: never taken for a pole however far
    int FRemoteLines[4] = {};
    int FRemoteLine = 0;
    std::optional<double> FChargeabilityDivisor; // to per cent; none for msec
    bool FAlongSurface = false;
    std::vector<TRow> FRows;
    std::vector<TElectrode> FTopography;
    std::vector<std::array<int, 4>> FNumbers; // per row: the electrodes of A, B, M, N
};

} // namespace

TMeasuredData ReadRes2DInvData(std::string_view Text)
{
    return TRes2DInvReader(Text).Read();
}

bool HasRes2DInvHeader(std::string_view Text)
{
    datafile::TTextLines lines(Text);
    lines.NextLine(); // the title
    const auto next = [&] {
        std::optional<std::string_view> line;
        do
            line = lines.NextValues(false);
        while (line && Tokens(*line, Separators).empty());
        return line ? Tokens(*line, Separators) : std::vector<std::string_view>{};
    };
    // A value alone but for notes of text.
    const auto single = [](const std::vector<std::string_view>& tokens) {
        return !tokens.empty() && std::none_of(tokens.begin() + 1, tokens.end(), [](std::string_view token) {
            return datafile::RealNumber(token).has_value();
        });
    };
    const std::vector<std::string_view> spacing = next();
    const std::optional<double> unit = spacing.empty() ? std::nullopt : datafile::RealNumber(spacing.front());
    if (!single(spacing) || !unit || !std::isfinite(*unit) || !(*unit > 0.0))
        return false;
    const std::vector<std::string_view> array = next();
    const std::optional<int> type = array.empty() ? std::nullopt : datafile::WholeNumber(array.front());
    return single(array) && type && KnownArray(*type);
}

} // namespace lp
