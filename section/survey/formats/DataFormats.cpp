#include "section/survey/formats/DataFormats.h"

#include "section/survey/Res2DInvFile.h"
#include "section/survey/formats/AbemOhmFile.h"
#include "section/survey/formats/AresFile.h"
#include "section/survey/formats/Das1File.h"
#include "section/survey/formats/ElectraFile.h"
#include "section/survey/formats/LippmannFile.h"
#include "section/survey/formats/OhmPiFile.h"
#include "section/survey/formats/PrimeFile.h"
#include "section/survey/formats/StingFile.h"
#include "section/survey/formats/SyscalBinaryFile.h"
#include "section/survey/formats/SyscalTextFile.h"

#include <algorithm>
#include <cctype>

namespace lp {

const std::vector<TMeasuredFormat>& MeasuredFormats()
{
    static const std::vector<TMeasuredFormat> formats = {
        {TDataFormat::SyscalText, "syscal", "Syscal Pro text export",
         "a comma-separated header naming El-array and the electrodes' x", {"csv"}, IsSyscalText, ReadSyscalText},
        {TDataFormat::SyscalBinary, "syscal-bin", "Syscal Pro binary file",
         "a binary header of version 0x80000000 .. 0x80000003 and a Syscal Pro type, then records of 280 to 304 bytes",
         {"bin"}, IsSyscalBinary, ReadSyscalBinary},
        {TDataFormat::SyscalBinx, "syscal-binx", "Syscal Pro .binx file",
         "a binary header naming SYSCAL Pro in its comment, or of version 6 with records of version 14", {"binx"}, IsSyscalBinx, ReadSyscalBinx},
        {TDataFormat::AbemOhm, "abem", "ABEM Lund protocol export",
         "blocks after a protocol file name such as DIPDIP2.ORG", {"ohm"}, IsAbemOhm, ReadAbemOhm},
        {TDataFormat::Sting, "sting", "Sting export",
         "the instrument's header with \"Records:\", then rows of 21 or more comma-separated fields", {"stg"},
         IsSting, ReadSting},
        {TDataFormat::Lippmann, "lippmann", "Lippmann export",
         "\"*\" header lines, then the data's column line \"* num A B M N ...\"", {"tx0"},
         IsLippmann, ReadLippmann},
        {TDataFormat::Das1, "das1", "DAS-1 export", "the blocks \"#elec_start\" and \"#data_start\"", {"data"},
         IsDas1, ReadDas1},
        {TDataFormat::OhmPi, "ohmpi", "OhmPi export",
         "a comma-separated header naming the electrodes a, b, m, n and r_[Ohm]", {"csv"}, IsOhmPi, ReadOhmPi},
        {TDataFormat::Prime, "prime", "Prime export", "a first line beginning \"# Prime:\"", {"tab", "dat"}, IsPrime,
         ReadPrime},
        {TDataFormat::Ares, "ares", "ARES II export",
         "header lines, then \"Measured data:\" and the columns C1[el] C2[el] P1[el] P2[el] ...", {"2dm"}, IsAres,
         ReadAres},
        {TDataFormat::Electra, "electra", "Electra export",
         "\"#\" labels each before its values, among them \"X Y Z\" before the positions and then \"Meas.\" before the data's columns",
         {"ele"}, IsElectra, ReadElectra},
        {TDataFormat::Unified, "unified", "unified data format",
         "pyGIMLi's; its first line a \"#\" comment, or an electrode count before the electrodes' x [y] z",
         {"dat", "ohm", "data"}, LooksUnified, ReadUnifiedMeasuredData},
        {TDataFormat::Res2DInv, "res2dinv", "Res2DInv format",
         "a title, the unit electrode spacing, the array type, ...", {"dat", "txt"}, nullptr, ReadRes2DInvData},
    };
    return formats;
}

const TMeasuredFormat& MeasuredFormat(TDataFormat Format)
{
    const std::vector<TMeasuredFormat>& formats = MeasuredFormats();
    const auto found = std::find_if(formats.begin(), formats.end(),
                                    [&](const TMeasuredFormat& format) { return format.Format == Format; });
    if (found == formats.end())
        throw EDataFileError("The data format " + std::to_string(static_cast<int>(Format)) + " is not one this "
                             "program reads.");
    return *found;
}

namespace {

bool IsDataFormat(const TMeasuredFormat& Format)
{
    return Format.Format == TDataFormat::Unified || Format.Format == TDataFormat::Res2DInv;
}

// The formats as lists show them: the two data formats, then the
// instruments'.
std::vector<const TMeasuredFormat*> ListOrder()
{
    std::vector<const TMeasuredFormat*> order;
    for (bool data : {true, false})
        for (const TMeasuredFormat& format : MeasuredFormats())
            if (IsDataFormat(format) == data)
                order.push_back(&format);
    return order;
}

} // namespace

std::string MeasuredFormatNames(std::string_view Separator)
{
    std::string names;
    for (const TMeasuredFormat* format : ListOrder())
        names += (names.empty() ? "" : std::string(Separator)) + format->Name;
    return names;
}

std::string MeasuredFormatNameChoice()
{
    const std::vector<const TMeasuredFormat*> formats = ListOrder();
    std::string names;
    for (size_t f = 0; f < formats.size(); ++f)
        names += std::string(f == 0 ? "" : f + 1 == formats.size() ? " or " : ", ") + formats[f]->Name;
    return names;
}

std::string MeasuredFormatList()
{
    const std::vector<const TMeasuredFormat*> formats = ListOrder();
    std::string list;
    for (size_t f = 0; f < formats.size(); ++f)
        list += std::string(f == 0 ? "the " : f + 1 == formats.size() ? " and the " : ", the ") +
                formats[f]->Description + " (" + formats[f]->Marks + ")";
    return list;
}

namespace {

std::string Patterns(const std::vector<const char*>& Extensions)
{
    std::string patterns;
    for (const char* extension : Extensions)
        if (patterns.find(std::string("*.") + extension + ";") == std::string::npos &&
            !patterns.ends_with(std::string("*.") + extension))
            patterns += (patterns.empty() ? "*." : ";*.") + std::string(extension);
    return patterns;
}

} // namespace

std::string MeasuredFormatFilter()
{
    std::vector<const char*> all;
    std::string entries;
    for (const TMeasuredFormat* listed : ListOrder()) {
        const TMeasuredFormat& format = *listed;
        all.insert(all.end(), format.Extensions.begin(), format.Extensions.end());
        const std::string patterns = Patterns(format.Extensions);
        std::string description = format.Description;
        description[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(description[0])));
        entries += description + " (" + patterns + ")|" + patterns + "|";
    }
    const std::string patterns = Patterns(all);
    return "Measured data (" + patterns + ")|" + patterns + "|" + entries + "All files (*)|*";
}

const TMeasuredFormat* InstrumentFormatOfExtension(std::string_view Extension)
{
    std::string lower(Extension);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const TMeasuredFormat& format : MeasuredFormats())
        if (!IsDataFormat(format))
            for (const char* extension : format.Extensions)
                if (lower == extension)
                    return &format;
    return nullptr;
}

} // namespace lp
