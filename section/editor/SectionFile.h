#pragma once
// The section file (*.sec): two header lines (the picture and its corners),
// an empty line, then the polygon-model block between the markers
// "VexaPolyModelDescription2.0" and "EndPolyModelDescription2.0".
//
// The block is made and read here as bytes over a plain TSectionModel, so
// the section chart commits a read model only when the whole block was
// valid, and a save composes the complete file before anything touches the
// disk. Lines end with CR LF. Texts are single-byte (ISO 8859-1) when every
// character fits; a text that does not fit is kept in UTF-8 rather than lose
// characters, and the reader recognises both.
//
// Number forms: R, the 23-character scientific form (" 1.00000000000000E+0003");
// I, a plain integer; S, a short real of a line (one decimal from 1 up);
// P, a parameter real (three decimals from 1 up).

#include "platform/base/Exception.h"
#include "section/model/Polygons.h"

#include <string>
#include <string_view>
#include <vector>

namespace lp {

inline constexpr std::string_view SectionBlockMarker = "VexaPolyModelDescription2.0";
inline constexpr std::string_view SectionBlockEndMarker = "EndPolyModelDescription2.0";
// Stands for a blank inside a label text, which is one token of its line.
inline constexpr char LabelBlankByte = '\xA6';

// A model block that cannot be read; the message names the file line.
class ESectionFileError : public Exception {
public:
    using Exception::Exception;
};

// Everything the model block holds.
struct TSectionModel {
    double ReservedPair[2] = {0.0, 0.0};
    TModelArea ModelArea;
    bool HasProfile = false;
    arofcomplexM Profile;
    Tnodes Nodes;
    AllSpolygon Model;
    lines Lines; // read lines have no series
};

// --- Number forms ------------------------------------------------------------
// R: sign (blank or "-"), one digit, ".", 14 digits, "E", exponent sign and
// four digits. A value that is not finite raises EConvertError (it would not
// read back).
std::string FormatSectionReal(double Value);
std::string FormatSectionInteger(long long Value);
// S: a coordinate or value of a line.
std::string FormatLineReal(double Value);
// P: a real parameter slot.
std::string FormatParamReal(double Value);

// --- Texts -----------------------------------------------------------------------
// UTF-8 model text to file bytes (ISO 8859-1 when it fits, else UTF-8).
std::string EncodeFileText(std::string_view Text);
// File bytes to UTF-8: valid multi-byte UTF-8 sequences are taken as such,
// every other byte as ISO 8859-1.
std::string DecodeFileText(std::string_view Bytes);

// --- The parameter line --------------------------------------------------------
// 20 tokens, each followed by one blank: empty "*", integer I, real P, text
// as it is; blanks inside a text become LabelBlankByte and an empty text is
// written "*", so every slot stays one token.
std::string ParamsToText(const TPolygonParams& Slots);
// Sets the slots the line gives (tokens 0, 4, 8 integers; 1-3 and 7 texts;
// 10-16 reals, each as the P form keeps it); "*" leaves a slot as it is, and
// so does a real token that is no number (a save writes "*" for it). A token that is not an integer
// where one is expected raises EConvertError.
void ParamsFromText(TPolygonParams& Slots, std::string_view Text);

// --- The block ---------------------------------------------------------------------
// Lines 4 to 13 of the file (from the start marker to the end marker), each
// ending in CR LF.
std::string FormatSectionModelBlock(const TSectionModel& Section);
// Splits file bytes into lines (LF or CR LF).
std::vector<std::string_view> SplitFileLines(std::string_view Bytes);
// Reads the block of a whole file. False when the file has no block (no
// start marker, or the marker on the last line). An invalid block raises
// ESectionFileError naming the line, and so does a block without its end
// marker (a file cut short). The rings decide what is derived from them:
// rings are turned to the model's orientation and the nodes' sharing is
// recomputed; the numbers of lines and parameters are taken as their short
// forms keep them (what a save writes); a node's border kind that does not
// match its place is taken from its place and border nodes are fitted onto
// their border within the kinds' tolerance (SettleBorderNodes); the frame's
// nodes come first in the table (PutFrameNodesFirst). A model that then breaks CheckModelInvariants
// (crossing or area-less rings, ...), a node of the frame's edges off its
// edge, or an area that is empty or turned over raises ESectionFileError
// naming the first fault. On any error Section is unchanged.
bool ParseSectionModelBlock(std::string_view FileBytes, TSectionModel& Section);
// Why a block about to be written would not open again (the fault
// ParseSectionModelBlock names); empty when it reads back. Every save
// checks its block with it before the disk is touched.
std::string SectionBlockFault(std::string_view Block);

} // namespace lp
