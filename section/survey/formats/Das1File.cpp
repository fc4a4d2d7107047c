#include "section/survey/formats/Das1File.h"

#include "section/model/ModelGeometryText.h"
#include "section/survey/DataFileReading_p.h"
#include "section/survey/formats/InstrumentRows.h"

#include <cmath>
#include <map>

namespace lp {

namespace {

using datafile::Quoted;
using datafile::Tokens;

class TDas1Reader {
public:
    explicit TDas1Reader(std::string_view text) : FText(text), FRows(TDataFormat::Das1, {}) {}

    TMeasuredData Read()
    {
        enum { Header, Electrodes, Data, Done } block = Header;
        while (const std::optional<std::string_view> line = FText.NextLine()) {
            if (line->empty() || line->starts_with('!'))
                continue;
            if (line->starts_with('#')) {
                const std::vector<std::string_view> tokens = Tokens(line->substr(1), "=");
                const std::string_view key = tokens.empty() ? std::string_view() : tokens.front();
                if (key == "elec_start") {
                    block = Electrodes;
                } else if (key == "elec_end") {
                    block = Header;
                } else if (key == "data_end") {
                    block = Done;
                } else if (key == "data_start") {
                    StartData();
                    block = Data;
                } else {
                    ReadSetting(tokens);
                }
                continue;
            }
            // Between the blocks and after the data, free text
            // ("Electrodes input/output format", "Run Complete") is passed
            // over.
            if (block == Electrodes)
                ReadElectrode(*line);
            else if (block == Data)
                ReadRow(*line);
        }
        if (block != Done)
            FText.Fail("the file ends before \"#data_end\"");
        WarnAboveTerrain();
        return FRows.Data();
    }

private:
    double Number(std::string_view token) const
    {
        const std::optional<double> value = formats::SignedNumber(token);
        if (!value)
            FText.Fail(Quoted(token) + " is not a number");
        return *value;
    }

    // "#data_res_col= 011": the column, from 1; -1 absent.
    void ReadSetting(const std::vector<std::string_view>& tokens)
    {
        if (tokens.size() < 2)
            return;
        const auto column = [&] {
            const double value = Number(tokens[1]);
            if (!(std::fabs(value) <= 1000.0) || value != std::round(value))
                FText.Fail(Quoted(tokens[1]) + " is not a column number");
            return static_cast<int>(value);
        };
        if (tokens[0] == "data_res_col")
            FResistanceColumn = column();
        else if (tokens[0] == "data_ip_wind_col")
            FIpColumn = column();
    }

    void StartData()
    {
        if (FResistanceColumn < 10)
            FText.Fail("the data's R column (#data_res_col, a field after A B M N, from 10) is not given before "
                       "\"#data_start\"");
        if (FIpColumn > 0)
            FRows.Warn("The IP window column (#data_ip_wind_col) is not used: its unit is not documented.");
    }

    // "cable,electrode" as one key.
    std::pair<int, int> Electrode(std::string_view cable, std::string_view electrode) const
    {
        return {FText.Integer(cable), FText.Integer(electrode)};
    }

    void ReadElectrode(std::string_view line)
    {
        const std::vector<std::string_view> tokens = Tokens(line, ",");
        if (tokens.size() < 5)
            FText.Fail("an electrode line is \"cable,electrode x y z ...\", not " + Quoted(line));
        const std::pair<int, int> key = Electrode(tokens[0], tokens[1]);
        if (FElectrodes.count(key))
            FText.Fail("electrode " + std::string(tokens[0]) + "," + std::string(tokens[1]) + " is placed twice");
        formats::TInstrumentPlace at{Number(tokens[2]), Number(tokens[3]), Number(tokens[4])};
        at.Line = FText.At();
        if (!(std::isfinite(at.x) && std::isfinite(at.y) && std::isfinite(at.z)))
            FText.Fail("the electrode's position is not a finite number");
        // Terrn-Z, the ground's elevation at the electrode: an electrode
        // below it (in a borehole) is buried that deep. Files leave it at 0
        // where it was not surveyed: then the electrodes' envelope decides.
        if (tokens.size() > 5)
            if (const std::optional<double> terrain = formats::SignedNumber(tokens[5]);
                terrain && std::isfinite(*terrain) && *terrain != 0.0)
                StandOnTerrain(at, *terrain);
        FElectrodes[key] = at;
    }

    // An electrode at or below its terrain is buried that deep; one above
    // it (its Elev-Z or the terrain surveyed wrong, a stake's top) stands
    // on the terrain: the terrain is the ground every other electrode of
    // its hole is buried under, and a surface above it there would leave
    // them in the air. Counted for a warning naming the first line.
    void StandOnTerrain(formats::TInstrumentPlace& At, double Terrain)
    {
        if (At.z <= Terrain) {
            At.Depth = Terrain - At.z;
            return;
        }
        if (FAboveTerrain++ == 0)
            FFirstAboveLine = FText.At();
        FMostAboveTerrain = std::max(FMostAboveTerrain, At.z - Terrain);
        At.z = Terrain;
    }

    void WarnAboveTerrain()
    {
        if (FAboveTerrain == 0)
            return;
        FRows.Warn(std::to_string(FAboveTerrain) +
                   (FAboveTerrain == 1 ? " electrode stands" : " electrodes stand") +
                   " above its Terrn-Z (the first on line " + std::to_string(FFirstAboveLine) + ", the most by " +
                   FormatExactReal(FMostAboveTerrain) + " m): put on the terrain, the ground's surface there.");
    }

    void ReadRow(std::string_view line)
    {
        formats::TInstrumentRow row;
        row.Line = FText.At();
        if (line.find("out of range") != std::string_view::npos) {
            FRows.Skip(row.Line);
            return;
        }
        const std::vector<std::string_view> fields = Tokens(line, ",");
        if (fields.size() < static_cast<size_t>(FResistanceColumn))
            FText.Fail("the row has " + std::to_string(fields.size()) + " fields where the R column is field " +
                       std::to_string(FResistanceColumn));
        for (size_t e = 0; e < 4; ++e) {
            const auto found = FElectrodes.find(Electrode(fields[1 + 2 * e], fields[2 + 2 * e]));
            if (found == FElectrodes.end())
                FText.Fail("electrode " + std::string(fields[1 + 2 * e]) + "," + std::string(fields[2 + 2 * e]) +
                           " is not one the electrode block lists");
            row.Places[e] = found->second;
        }
        const std::string_view value = fields[static_cast<size_t>(FResistanceColumn) - 1];
        const double resistance = formats::IsMissingCell(value) ? std::nan("") : Number(value);
        if (!formats::IsMeasuredValue(resistance)) {
            FRows.Skip(row.Line);
            return;
        }
        row.Resistance = resistance;
        FRows.Add(row);
    }

    datafile::TTextLines FText;
    formats::TInstrumentRows FRows;
    std::map<std::pair<int, int>, formats::TInstrumentPlace> FElectrodes;
    int FResistanceColumn = -1;
    int FIpColumn = -1;
    int FAboveTerrain = 0, FFirstAboveLine = 0;
    double FMostAboveTerrain = 0.0;
};

bool StartsBlock(std::string_view Text, std::string_view Key)
{
    return Text.starts_with(Key) || Text.find("\n" + std::string(Key)) != std::string_view::npos;
}

} // namespace

bool IsDas1(std::string_view Text)
{
    return StartsBlock(Text, "#elec_start") && StartsBlock(Text, "#data_start");
}

TMeasuredData ReadDas1(std::string_view Text)
{
    return TDas1Reader(Text).Read();
}

} // namespace lp
