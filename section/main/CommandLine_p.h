#pragma once
// What the command line's commands share (private to section/main): the
// reading of a command's arguments (CommandLineArguments.cpp), the reading
// and cleaning of measured data and the checks and saves of the files a
// command writes (CommandLineFiles.cpp), and each command's entry point,
// one source per command (CommandLineExportModel.cpp, CommandLineForward.cpp,
// CommandLineInvert.cpp, CommandLineFit.cpp, CommandLineTimeLapse.cpp,
// CommandLineLines.cpp).
// RunCommandLine (CommandLine.cpp) picks the command by its first word.
//
// Exit codes as CommandLine.h gives them: a wrong argument (EArgumentError)
// is 2, everything else that stops a command is 1.

#include "section/main/CommandLine.h"

#include "platform/base/Exception.h"
#include "section/editor/SectionFile.h"
#include "section/inversion/SurveyInversion.h"
#include "section/survey/MeasuredData.h"
#include "section/survey/HoleSurvey.h"
#include "section/survey/Survey.h"
#include "section/survey/formats/DataFormats.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lp {

struct TForwardModel;

namespace commandline {

// Text and a line end on Stream, flushed at once (the lines of a long run
// show as they come).
void PrintLine(std::FILE* Stream, const QString& Text);

// The answers of a command that stopped: the line on Errors, then the exit
// code (2 for wrong arguments, with a pointer to --help; 1 otherwise).
int ArgumentsRefused(std::FILE* Errors, const Exception& Error);
int CommandFailed(std::FILE* Errors, const std::exception& Error);

// The step a command is at ("reading the measured data file"), and the
// bytes it is estimated to need (0: not estimated): memory running out
// (std::bad_alloc, caught by CommandFailed) is said with them, "lithoprism:
// not enough memory while STEP (it needs about X MB; Y MB available)."
void SetCommandStep(const QString& What, double NeedBytes = 0.0);

// What a datum takes through --forward --data, in bytes: the measured data
// read, its survey, the response and the comparison table written
// (measured: 0.5 GB at the peak for a million data).
inline constexpr double BytesPerComparedDatum = 500.0;

// --- Arguments (CommandLineArguments.cpp) ---

// A wrong argument: exit code 2.
class EArgumentError : public Exception {
public:
    using Exception::Exception;
};

// What the measured data are cleaned of before they are used.
struct TCleaningRequest {
    std::optional<double> OutlierLimit;    // --drop-outliers K
    std::optional<double> ReciprocalLimit; // --drop-reciprocal PERCENT
    bool ReciprocalError = false;          // --reciprocal-error
    bool DropNegative = false;             // --drop-negative
    bool TurnPolarity = false;             // --turn-polarity
    QString ElectrodePositionsFile;        // --electrode-positions FILE
    bool Any() const
    {
        return OutlierLimit || ReciprocalLimit || ReciprocalError || DropNegative || TurnPolarity ||
               !ElectrodePositionsFile.isEmpty();
    }
};

// What --forward was asked (and --fit, of its files and data).
struct TForwardRequest {
    QString OutFile, SectionFile, SchemeFile, DataFile;
    TCleaningRequest Cleaning;               // with DataFile
    TArrayLayout Layout;
    std::optional<THoleLayout> Holes;        // --array crosshole|surface-hole|single-hole
    std::optional<double> HostResistivity;
    std::optional<double> ErrorPercent;      // with DataFile
    std::optional<double> VoltageError;      // volts, with DataFile
    std::optional<TDataFormat> DataFormat;   // with DataFile; none: told from the content
    bool Phase = false;                      // --phase: the phi column even when no region has a phase
};

// An option's value read as a number, refused with a message naming the
// option: above 0; finite; from Least to Most; a whole number from Least
// to Most.
double PositiveArgument(const QString& Option, const QString& Text);
double FiniteArgument(const QString& Option, const QString& Text);
double RangeArgument(const QString& Option, const QString& Text, double Least, double Most);
int CountArgument(const QString& Option, const QString& Text, int Least, int Most);

// The options a command knows: switches stand alone, the others take the
// next word as their value.
struct TCommandOptions {
    QStringList Switches, Valued;
    TCommandOptions& operator+=(const TCommandOptions& More);
};

// The options of the measured data's cleaning, which --forward, --fit,
// --invert and --timelapse share; those of the measured data and the host
// medium, which --forward and --fit share (the cleaning's among them).
TCommandOptions CleaningOptions();
TCommandOptions DataOptions();

// "unknown option OPTION for COMMAND".
EArgumentError UnknownOption(const QString& Option, const QString& Command);

// A command's arguments after its name: the names, and each option with
// its value (empty for a switch).
struct TCommandArguments {
    QStringList Names;
    std::vector<std::pair<QString, QString>> Options;
};

// Arguments[0] is the command. A word starting with "--" that Known does
// not hold is refused as an unknown option wherever it stands, before its
// neighbours are looked at; a known option that needs a value and ends the
// line is refused for the value missing.
TCommandArguments SplitCommandArguments(const QStringList& Arguments, const TCommandOptions& Known);

// The cleaning options, which --forward, --fit, --invert and --timelapse
// share; false for any other option.
bool ReadCleaningOption(const QString& Option, const QString& Value, TCleaningRequest& Request);

// The options of the measured data and the host medium, which --forward
// and --fit share; false for any other option.
bool ReadDataOption(const QString& Option, const QString& Value, TForwardRequest& Request);

// --- Files (CommandLineFiles.cpp) ---

// An output that names one of the command's inputs: exit code 1.
class EOutputIsInput : public Exception {
public:
    using Exception::Exception;
};

// One name of a command: what it is ("section file") and the name given.
using TNamedFile = std::pair<const char*, QString>;

// Every command that writes calls this before it reads or writes anything:
// an output that is one of the inputs would replace the user's file.
void RefuseOutputNamingInput(const std::vector<TNamedFile>& Outputs, const std::vector<TNamedFile>& Inputs);

// The electrodes and configurations of a unified data file (--scheme).
TSurvey ReadSchemeFile(const QString& FileName);

// The measured data, with a line on Errors for each warning and for the
// data skipped; refused when no datum can be used.
TMeasuredData ReadMeasuredDataFile(const QString& FileName, std::optional<TDataFormat> Format, std::FILE* Errors,
                                   const TDataReading& Reading = {});

// The measured data cleaned as asked, a line on Errors for each step: the
// electrodes placed by the positions file (ElectrodePositions.h), the data
// whose sign disagrees with their geometric factor turned (--turn-polarity),
// the data of ρa 0 or below removed (always: no computation takes them; without
// --drop-negative a warning says so), reciprocal pairs beyond the limit
// removed (both data), the error model fitted to the pairs left set as the
// error of their data whose file gives none, then the outliers removed.
// Refused when no datum is left.
TMeasuredData CleanMeasuredData(TMeasuredData Data, const TCleaningRequest& Request, std::FILE* Errors);

// Text saved atomically as FileName; Role names the file in the refusal
// ("data file", "cell table").
void SaveOutput(const QString& FileName, const char* Role, const std::string& Text);

// Before a computation: an output whose folder is missing or cannot be
// written is refused at once, not after minutes of work. The file itself
// is neither made nor touched here (a temporary file beside it is, and
// removed again); the save stays atomic.
void RefuseUnwritableOutput(const QString& FileName, const char* Role);

// A host medium without a resistivity and no --host-resistivity: said on
// Errors (the command then exits with 1).
bool HostWithoutResistivity(const TSectionModel& Section, const TForwardRequest& Request, std::FILE* Errors);

// A line of Errors for a warning about the data against the section's
// ground (the electrodes' elevations), when there is one.
void PrintElevationMismatch(std::FILE* Errors, const TMeasuredData& Data, const TForwardModel& Ground);

// --- --invert and --timelapse (CommandLineInvert.cpp) ---

// What --invert was asked.
struct TInvertRequest {
    QString OutFile, DataFile, SectionFile;
    QStringList DataFiles; // --timelapse: the surveys in time order
    TCleaningRequest Cleaning;
    bool Constrain = false, StartFromSection = false;
    QStringList Fixed; // --fixed: regions of the section held as drawn
    std::optional<double> BoundaryWeight; // of every line and boundary with --constrain
    QString WellLogsFile;                 // a carotage list of resistivity logs
    bool DepthOfInvestigation = false;
    std::optional<TDataFormat> DataFormat;
    TDataReading Reading; // --ip-is-phase
    TSurveyInversionOptions Options;
};

// --- Regions named on the command line (CommandLineFit.cpp) ---

// The labels of a comma-separated list (blanks trimmed); refused when it
// names none.
QStringList LabelList(const QString& Option, const QString& Text);
// The regions a label names: the host medium as "host" (or the table's
// "Host medium"), a ring by its label or by the name the region has in
// the model's geometry ("Body 2 ring 0" for a ring without a label).
// Refused (EArgumentError) naming the label and the regions there are.
std::vector<size_t> RegionsNamed(const QString& Label, const TForwardModel& Ground, const TSectionModel& Section);

// --invert, and --timelapse (TimeLapse) with the same options but --doi,
// --well-logs, --log-error and --log-reach.
TInvertRequest ParseInvertArguments(const QStringList& Arguments, bool TimeLapse = false);

// --- The commands: Arguments start with the command's name ---

int ExportModelCommand(const QStringList& Arguments, std::FILE* Errors);
int ForwardCommand(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors);
int InvertCommand(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors);
int FitCommand(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors);
int TimeLapseCommand(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors);
int InvertLinesCommand(const QStringList& Arguments, std::FILE* Out, std::FILE* Errors);

} // namespace commandline
} // namespace lp
