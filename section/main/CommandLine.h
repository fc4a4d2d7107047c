#pragma once
// What the program does from the command line alone, without a window or
// a display: "--help", "--export-model OUT.geo SECTION.sec",
// "--forward OUT.dat SECTION.sec [options]" and "--invert OUT.csv MEASURED
// [options]", which a user's processing
// script calls; and the checks before the editor's window opens. A command
// never writes over one of its inputs.

#include <QtCore/QProcessEnvironment>
#include <QtCore/QStringList>

#include <cstdio>
#include <optional>

namespace lp {

// The usage text "--help" prints.
QString CommandLineUsage();

// Runs a command-line request and answers its exit code; none when the
// arguments (without the program) ask for the editor's window and there is
// a display to show it on. Output goes to the given streams: the usage and
// the misfit line of "--forward ... --data MEASURED" and the iteration
// lines of "--invert" to Out, warnings and
// failures (one line each, "lithoprism: ...") to Errors.
// Exit codes: 0 done; 1 the export, the computation or the inversion failed, or an output
// names an input (nothing written), or the editor has no display; 2 the
// arguments are wrong (a word starting with "--" that is no option too).
std::optional<int> RunCommandLine(const QStringList& Arguments, std::FILE* Out = stdout,
                                  std::FILE* Errors = stderr);

// Why the editor's window could not be shown ("DISPLAY is not set"), checked
// before the application object is made (Qt aborts without a display);
// empty when it can: a display named, or a platform that needs none
// (offscreen, minimal, ...) in QT_QPA_PLATFORM or "-platform NAME".
QString MissingDisplay(const QProcessEnvironment& Environment, const QStringList& Arguments);

} // namespace lp
