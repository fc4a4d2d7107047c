#pragma once
// What the program does from the command line alone, without a window or
// a display: "--help", "--export-model OUT.geo SECTION.sec" and
// "--forward OUT.dat SECTION.sec [options]", which a user's processing
// script calls.

#include <QtCore/QStringList>

#include <cstdio>
#include <optional>

namespace lp {

// The usage text "--help" prints.
QString CommandLineUsage();

// Runs a command-line request and answers its exit code; none when the
// arguments (without the program) ask for the editor's window. Output goes
// to the given streams: the usage to Out, warnings and failures (one line
// each, "lithoprism: ...") to Errors. Exit codes: 0 done, 1 the export or
// the computation failed (nothing written), 2 the arguments are wrong.
std::optional<int> RunCommandLine(const QStringList& Arguments, std::FILE* Out = stdout,
                                  std::FILE* Errors = stderr);

} // namespace lp
