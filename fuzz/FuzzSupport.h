#pragma once
// What every fuzz target shares: the application object and the chart
// library started once, the input as Qt bytes or text, and the rule that a
// reader may refuse an input with an exception of the system (Exception and
// its descendants) and nothing else. Anything else escaping a target (a
// crash, a sanitizer report, another exception) is a finding.

#include "platform/base/Exception.h"

#include <QtCore/QByteArray>
#include <QtCore/QLocale>
#include <QtCore/QString>

#include <cstddef>
#include <cstdint>

namespace lp {
class TCustomChart;
class TPersistent;
}

namespace lp::fuzz {

// Starts the offscreen application object and the chart library on the
// first call; later calls do nothing. Both live until the process ends.
void StartApplication();

// The input as bytes (deep copy: readers may keep it).
QByteArray Bytes(const uint8_t* Data, size_t Size);
// The input as text: UTF-8 where it is valid, the other bytes as Latin-1,
// so both the single-byte files and typed text are covered.
QString Text(const uint8_t* Data, size_t Size);

// The locale the targets of typed text show and read numbers in, picked by
// Byte (its value modulo the count): the C notation, English, German,
// French, Dutch, Russian, Swiss German (a point and apostrophe grouping),
// Swedish (a minus sign of its own), Hindi (Indian grouping) and Arabic
// (Arabic-Indic digits).
QLocale LocaleOf(uint8_t Byte);
inline constexpr int LocaleCount = 10;

// Runs Work; an exception of the system is a refusal and ends it quietly.
template <class TWork>
void Refusable(TWork&& Work)
{
    try {
        Work();
    } catch (const Exception&) {
    }
}

// A chart of 320 x 240 pixels with no legend and unbuffered display, as
// the targets that read chart parts paint them.
void PrepareChart(TCustomChart& Chart);
// One whole paint pass of the chart into a bitmap of its size.
void PaintChart(TCustomChart& Chart);

// Stops the run with a message on standard error when Condition fails: a
// property every accepted input must keep (such as reading back what was
// written).
void Require(bool Condition, const char* What);

// The stored binary block Name of Target (its DefineProperties entry):
// reads the input into Target, paints Chart, writes the block and reads it
// back into Copy. False when the input was refused; stops the run when what
// was written does not read back.
bool RoundTripBinaryBlock(TPersistent& Target, TPersistent& Copy, TCustomChart& Chart, const char* Name,
                          const uint8_t* Data, size_t Size);

} // namespace lp::fuzz

// The entry point each target defines (the libFuzzer interface).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);
