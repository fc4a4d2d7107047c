#pragma once
// Writes instruments' exports in the shape real files have around the
// blocks a reader needs (the Lippmann, Electra and DAS-1 exports), for the
// readers' tests and the mutated-file tests: long headers, blocks that are
// passed over, free text, and the variants files show (line ends, decimal
// commas, tabs, blank lines, another column order).

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace lp::test {

// An export's text written line by line, counting its lines; blank lines
// between blocks where the variant has them.
class TExportText {
public:
    TExportText(const char* LineEnd, bool BlankLines) : FLineEnd(LineEnd), FBlankLines(BlankLines) {}

    void Put(const std::string& Content)
    {
        FText += Content + FLineEnd;
        ++FLine;
    }
    void Gap()
    {
        if (FBlankLines)
            Put("");
    }
    int Line() const { return FLine; }
    const std::string& Text() const { return FText; }

private:
    std::string FText;
    const char* FLineEnd;
    bool FBlankLines;
    int FLine = 0;
};

// Value with Decimals digits after the Decimal point or comma.
inline std::string DecimalText(double Value, int Decimals, char Decimal)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*f", Decimals, Value);
    std::string text = buffer;
    std::replace(text.begin(), text.end(), '.', Decimal);
    return text;
}

// A real export's shape, as the instrument writes it around the blocks
// read: 70 lines of settings before the electrodes, a contact-resistance
// test whose rows do not begin with "*" (electrode and kOhm, or six
// values), an "Averaged data" block with its own column line, and data
// whose columns have "Time" with or without "Date".
struct TLippmannExport {
    const char* Name;
    const char* LineEnd = "\r\n";
    char Decimal = ',';
    bool SixValueContacts = false;
    bool Averaged = true;
    bool Date = false;
    const char* Separator = "   "; // between a row's values
    bool BlankLines = false;        // between the blocks
    std::vector<const char*> Columns = {"num", "A", "B", "M", "N", "I", "U", "dU", "U90", "dU90", "rho", "phi",
                                        "f", "n", "nAB", "Profile", "Spread", "PseudoZ", "X", "Y", "Z", "Time",
                                        "U(Tx)"};
};

// The export's data rows: electrode numbers, I (mA), U (mV); the second
// row not measured ("-"), the fourth with no current.
struct TLippmannRow {
    const char* Values[5]; // num A B M N
    double I, U;
    bool Measured;
};
inline const TLippmannRow LippmannExportRows[] = {
    {{"1", "1", "4", "2", "3"}, 15.0, 16.9, true},
    {{"2", "2", "5", "3", "4"}, 0.0, 0.0, false},
    {{"3", "3", "6", "4", "5"}, 12.5, -4.25, true},
    {{"4", "1", "6", "2", "5"}, 0.0, 3.5, true},
    {{"5", "6", "1", "5", "2"}, 14.0, 9.8, true},
};

// The text, and the lines of its data rows.
inline std::string LippmannExport(const TLippmannExport& Export, std::vector<int>& RowLines)
{
    TExportText out(Export.LineEnd, Export.BlankLines);
    const auto put = [&](const std::string& content) { out.Put(content); };
    const auto gap = [&] { out.Gap(); };
    const auto number = [&](double value, int decimals) { return DecimalText(value, decimals, Export.Decimal); };
    put("* Data file >C:\\field\\2021-05-04_09-30-00.tx0<  * 5/4/2021");
    put("* Version info ****************************************************");
    put("* Program * >Recorder.EXE< version >2.40< * max data = 45000");
    for (int setting = 1; setting <= 70; ++setting)
        put("* " + std::string(setting % 7 == 0 ? "Cable [" + std::to_string(setting / 7) + "] channels" : "setting " +
                               std::to_string(setting)) + " = " + number(setting * 0.5, 3) +
            (setting % 10 == 0 ? " ********" : ""));
    gap();
    put("* Electrode positions *********************************************");
    for (int e = 0; e < 6; ++e)
        put("* Electrode [  " + std::to_string(e + 1) + "] x y z (m) =       " + number(2.0 * e, 3) + "       " +
            number(0.0, 3) + "      " + number(100.0 - 0.25 * e, 3));
    put("* Remote electrode positions **************************************");
    gap();
    put("* Moving array settings *******************************************");
    put("* used = 0");
    put("* Electrode remote used = 0");
    put("* electrode 1st = 1");
    put("* electrode last = 6");
    put("* applied test current max (mA) =   " + number(5.0, 3));
    put("* # R (kOhm) =");
    if (Export.SixValueContacts)
        put("* electrode R(kOhm) electrode1 electrode2 I(mA) U(V)");
    for (int e = 1; e <= 6; ++e)
        put("  " + std::to_string(e) + "   " + number(0.164 * e, 3) +
            (Export.SixValueContacts ? " " + std::to_string(e) + " " + std::to_string(e % 6 + 1) + "  " +
                                           number(50.0, 3) + "  " + number(17.696, 3)
                                     : ""));
    gap();
    if (Export.Averaged) {
        put("* Averaged data ***************************************************");
        put("* rho = arithmetric mean, phi = arithmetic mean");
        put("*  #       rho     phi     f   n nAB  Profile   Spread  PseudoZ     X      Y      Z");
        put("*         Ohmm    mrad    Hz                m        m        m     m      m      m");
        put("*  1    " + number(40.1, 3) + "    " + number(1.2, 2) + "  2.50  12   2    3.000    6.000   1.1700");
    }
    put("* Data ************************************************************");
    std::vector<std::string> columns(Export.Columns.begin(), Export.Columns.end());
    if (Export.Date)
        columns.insert(std::find(columns.begin(), columns.end(), "Time"), "Date");
    std::string names = "*", units = "*";
    for (const std::string& column : columns) {
        names += " " + column;
        units += column == "I" ? " mA" : column == "U" ? " mV" : column == "Time" ? " hh:mm:ss.ss" : " -";
    }
    put(names);
    put(units);
    RowLines.clear();
    for (const TLippmannRow& row : LippmannExportRows) {
        std::map<std::string, std::string> cell;
        for (size_t e = 0; e < 5; ++e)
            cell[Export.Columns[e]] = row.Values[e];
        cell["I"] = row.Measured ? number(row.I, 4) : "-";
        cell["U"] = row.Measured ? number(row.U, 5) : "-";
        cell["Date"] = "2021.05.04";
        cell["Time"] = "13:21:2" + std::string(row.Values[0]) + ".58";
        std::string values;
        for (const std::string& column : columns)
            values += Export.Separator + (cell.count(column) ? cell[column] : number(1.17, 2));
        put(values);
        RowLines.push_back(out.Line());
    }
    return out.Text();
}

// A real export's shape, older or newer layout, as section by section the
// instrument writes it: the original file's name or a profile name first,
// label/value pairs, a note whose free text looks like labels and rows,
// the remote block, the totals, and the data closed by a lower-case unit
// row; with the variants files show.
struct TElectraExport {
    const char* Name;
    bool Newer = true;
    const char* LineEnd = "\r\n";
    char Decimal = '.';
    bool TrailingTab = false;
    bool BlankLines = false;
    bool Reordered = false; // V(MN) before I(AB), Status after N
};

struct TElectraRow {
    char Status; // E, D or N
    int Electrodes[4];
    double I, V;
};
inline const TElectraRow ElectraExportRows[] = {
    {'E', {1, 4, 2, 3}, 49.0, 275.7},  {'D', {1, 4, 2, 3}, 49.0, 276.0}, {'E', {2, 5, 3, 4}, 48.0, -120.5},
    {'N', {1, 5, 2, 4}, 0.0, 0.0},      {'E', {5, 1, 4, 2}, 47.5, 30.25},
};

// The text, and the lines of its data rows.
inline std::string ElectraExport(const TElectraExport& Export, std::vector<int>& RowLines)
{
    TExportText out(Export.LineEnd, Export.BlankLines);
    const auto put = [&](const std::string& content) { out.Put(content); };
    const auto gap = [&] { out.Gap(); };
    const auto number = [&](double value) { return DecimalText(value, 2, Export.Decimal); };
    const char* label = Export.Newer ? "#" : "# ";
    const auto labelled = [&](const std::string& name, const std::string& value) {
        put(label + name);
        put(value);
    };
    if (Export.Newer) {
        put("Default");
        put("#Created by the recording software ver.4.0.0");
        labelled("Original file", "line7 (WEN.).electra");
        labelled("Creation date [yyyy-MM-dd hh:mm:ss]", "2024-03-01 10:00:00");
        labelled("Configuration name", "Wenner (alpha)");
        labelled("Note profile [n. line]", "4");
        put("#Total electrodes");
        put("#X\tY\tZ");
        put("1\tE\t1\t2\t3\t4");
        put("#Meas. by hand, see the field book");
        labelled("Frequency value [Hz]", "8");
        labelled("Current value [mA]", number(50.0));
        labelled("E1 coordinates [X Y Z]", number(0.0) + "\t" + number(0.0) + "\t" + number(0.0));
        labelled("Total electrodes", "5");
        labelled("Total enabled electrodes", "5");
        labelled("Coordinate reference", "relative");
    } else {
        labelled("Original file", "04 Wenner Line7.electra");
        labelled("Total enabled electrodes", "5");
    }
    gap();
    put(std::string(label) + "X\tY\tZ");
    for (int e = 0; e < 5; ++e)
        put(number(2.0 * e) + "\t" + number(0.0) + "\t" + number(50.0 - 0.5 * e));
    gap();
    if (Export.Newer) {
        labelled("Total remote electrode", "0");
        labelled("Remote coordinate reference", "relative");
        labelled("Xr\tYr\tZr", "No data");
        for (const char* total : {"Total expected", "Total done and enabled", "Total done and disabled",
                                  "Total ghosts imported", "Total ghosts enabled"})
            labelled(total, "2");
    } else {
        labelled("Total samples time on", "256");
        labelled("Name signal", "V(M-N)");
        labelled("Total enabled measurements", "4");
    }
    gap();
    std::vector<std::string> columns = {"Meas.", "A", "B", "M", "N", "I(AB)", "V(AB)", "V(MN)", "K/(2pi)", "rhoa",
                                        "Z(AB)"};
    if (Export.Newer)
        columns.insert(columns.begin() + 1, "Status");
    else
        columns.insert(columns.end(), {"StartOn", "VMN000", "VMN001"});
    if (Export.Reordered) {
        std::iter_swap(std::find(columns.begin(), columns.end(), "I(AB)"), std::find(columns.begin(), columns.end(), "V(MN)"));
        if (Export.Newer)
            std::rotate(columns.begin() + 1, columns.begin() + 2, columns.begin() + 6);
    }
    std::string names = label, units = label, closing = "#";
    for (const std::string& column : columns) {
        const bool first = &column == &columns.front();
        const std::string unit = column == "Status" ? "[E/D/N]" : column == "I(AB)" ? "[mApp]" : column == "V(MN)" ? "[mVpp]" : "[#]";
        names += (first ? "" : "\t") + column;
        units += (first ? "" : "\t") + unit;
        closing += (first ? "" : "\t") + (column == "Status" ? std::string("[e/d]") : unit);
    }
    put(names);
    put(units);
    RowLines.clear();
    int measurement = 0;
    for (const TElectraRow& row : ElectraExportRows) {
        if (!Export.Newer && row.Status == 'D')
            continue; // the older layout has no status
        std::map<std::string, std::string> cell;
        cell["Meas."] = std::to_string(++measurement);
        cell["Status"] = std::string(1, row.Status);
        for (size_t e = 0; e < 4; ++e)
            cell[std::string(1, "ABMN"[e])] = std::to_string(row.Electrodes[e]);
        const bool measured = row.Status != 'N';
        cell["I(AB)"] = measured ? number(row.I) : "-";
        cell["V(MN)"] = measured ? number(row.V) : "-";
        std::string values;
        for (const std::string& column : columns)
            values += (values.empty() ? "" : "\t") + (cell.count(column) ? cell[column] : measured ? number(1.5) : "-");
        put(values + (Export.TrailingTab ? "\t" : ""));
        RowLines.push_back(out.Line());
    }
    if (Export.Newer)
        put(closing + "\t-");
    return out.Text();
}

// A real export's shape: free text and blank lines between and after the
// blocks, the settings of the electrodes and of the data, electrodes on
// two cables of which the data use one, and rows with fields after the
// named ones (a date, a gain, a voltage); with the variants files show.
struct TDas1Export {
    const char* Name;
    const char* LineEnd = "\r\n";
    bool ExtraBlankLines = false;
    bool Tabs = false;          // a tab between a row's fields
    bool ResistanceLast = false; // V/I and Std. exchanged (#data_res_col= 012)
};

// The text, and the lines of its data rows.
inline std::string Das1Export(const TDas1Export& Export, std::vector<int>& RowLines)
{
    TExportText out(Export.LineEnd, Export.ExtraBlankLines);
    const auto put = [&](const std::string& content) { out.Put(content); };
    const auto gap = [&] { out.Gap(); };
    put("!Made-up survey, line 9");
    put("#elec_start");
    put("!Cbl# El# Elev-X  Elev-Y  Elev-Z  Terrn-Z  Type  El.Num");
    for (int e = 1; e <= 4; ++e) // another cable, across the line: not used
        put("001,0" + std::to_string(e) + " +14.000 +" + std::to_string(60 + 2 * e) + ".000 +.00000 +.00000 00" +
            std::to_string(e));
    const char* elevations[] = {"+1.2500", "+1.0000", "+.75000", "+.50000", "+.25000"};
    for (int e = 1; e <= 5; ++e)
        put("009,0" + std::to_string(e) + " +5.0000 +" + std::to_string(22 - 2 * e) + ".000 " + elevations[e - 1] +
            " +.00000 " + std::to_string(256 + e));
    put("#elec_end");
    put("");
    gap();
    put("Electrodes input/output format");
    for (const char* setting : {"#elec_no_cable= 1", "#elec_cable_col= 1", "#elec_id_col= 2", "#elec_x_col= 3",
                                "#elec_y_col= 4", "#elec_z_col= 5"})
        put(setting);
    put("");
    put("!Data input/output format");
    for (const char* setting : {"#data_id_col= 1", "#data_a_cable_col= 2", "#data_a_id_col= 3"})
        put(setting);
    put(Export.ResistanceLast ? "#data_res_col= 012" : "#data_res_col= 011");
    put("#data_ip_wind_col= -001");
    put(Export.ResistanceLast ? "#data_std_res_col= 011" : "#data_std_res_col= 012");
    put("#data_appres= 1");
    put("#data_ip_scale= 1000");
    put("#data_i_curr_col= 015");
    put("!End of header");
    put("");
    put("!Batteries   Main 13.1  TX  12.9");
    put("");
    gap();
    put("#data_start");
    put("! ID      A      B      M      N      Appres      V/I,      Std.     Amp.,     Std.    Current     ContactR  "
        "Date_And_Time    Gains     Tx_V");
    put("! num   Ca El  Ca El  Ca El  Ca El   (Ohm-m)     (Ohms)    (Ohms)   (Volts)   (Volts)    (ma)        (Ohms)");
    struct TRow {
        const char* Electrodes;
        const char* Resistance;
    };
    const TRow rows[] = {{"009,01 009,04 009,02 009,03", "+344.083600"},
                         {"009,02 009,05 009,03 009,04\t * * TX Resist. out of range * *", nullptr},
                         {"009,05 009,02 009,04 009,03", "-.0835000"},
                         {"009,02 009,05 009,03 009,04", "+1.0E38"},
                         {"009,01 009,05 009,02 009,04", "+12.50000"}};
    const std::string space = Export.Tabs ? "\t" : " ";
    RowLines.clear();
    int id = 0;
    for (const TRow& row : rows) {
        char number[8];
        std::snprintf(number, sizeof number, "%06d", ++id);
        std::string fields = number + space + row.Electrodes;
        if (row.Resistance) {
            const std::string spread = "+1.080994";
            fields += space + "+3242.914" + space + (Export.ResistanceLast ? spread : row.Resistance) + space +
                      (Export.ResistanceLast ? row.Resistance : spread) + space + "+2.224208" + space + "+.0069877" +
                      space + "+6.46415000" + space + "+27664.00" + space + "20150501_115434 CH 01 GN 1   192";
        }
        put(fields);
        RowLines.push_back(out.Line());
    }
    put("#data_end");
    gap();
    put("Run Complete");
    put("");
    return out.Text();
}

} // namespace lp::test
