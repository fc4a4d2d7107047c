#pragma once
// The formats measured data are read in, one entry each: the unified data
// format, Res2DInv, and the instruments' own exports (one reader per
// format in this folder, each giving the measured data the other readers
// give). The format of a file is told from its content (RecogniseDataFormat
// asks each format's Recognise in this order); the extension only hints.

#include "section/survey/MeasuredData.h"

#include <string>
#include <string_view>
#include <vector>

namespace lp {

struct TMeasuredFormat {
    TDataFormat Format;
    const char* Name;        // on the command line: "--format syscal"
    const char* Description; // "Syscal Pro text export"
    const char* Marks;       // what tells the format from the others, for a refusal's list
    std::vector<const char*> Extensions; // without the dot, lowercase
    // Whether the text is in the format by its own marks; none for
    // Res2DInv, the format a file in no other is taken for.
    bool (*Recognise)(std::string_view Text);
    TMeasuredData (*Read)(std::string_view Text);
};

// Every format, the instruments' first (their marks are the surest), then
// the unified data format and Res2DInv.
const std::vector<TMeasuredFormat>& MeasuredFormats();
const TMeasuredFormat& MeasuredFormat(TDataFormat Format);

// Lists show the two data formats first, then the instruments'.
// The names joined: "unified|res2dinv|syscal|abem|sting|..." with "|".
std::string MeasuredFormatNames(std::string_view Separator);
// The names as a sentence lists them: "unified, res2dinv, ... or sting".
std::string MeasuredFormatNameChoice();
// The formats with their marks, as a refusal lists the formats read.
std::string MeasuredFormatList();
// The filter of an open dialog: all measured data, then one entry per
// format with its extensions ("Description (*.a;*.b)|*.a;*.b"), then all
// files.
std::string MeasuredFormatFilter();

// The instrument format whose extension this is (no dot, any case), the
// first in the list where several share it (a .csv: Syscal's before
// OhmPi's); none when no instrument format has it.
const TMeasuredFormat* InstrumentFormatOfExtension(std::string_view Extension);

} // namespace lp
