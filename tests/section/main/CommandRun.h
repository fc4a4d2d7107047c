#pragma once
// A command line run in the test's own process with its two output streams
// captured (the command-line tests share it).

#include "section/main/CommandLine.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <cstdio>
#include <memory>
#include <optional>

namespace lp {

// A command line run with its two output streams captured.
struct TCommandRun {
    std::optional<int> Code;
    QString Out, Errors;
};

inline QString StreamText(std::FILE* Stream)
{
    std::rewind(Stream);
    QByteArray bytes;
    char buffer[4096];
    for (size_t read; (read = std::fread(buffer, 1, sizeof buffer, Stream)) > 0;)
        bytes.append(buffer, static_cast<qsizetype>(read));
    return QString::fromLocal8Bit(bytes);
}

inline TCommandRun RunCommand(const QStringList& Arguments)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::tmpfile(), &std::fclose);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> errors(std::tmpfile(), &std::fclose);
    TCommandRun run;
    run.Code = RunCommandLine(Arguments, out.get(), errors.get());
    run.Out = StreamText(out.get());
    run.Errors = StreamText(errors.get());
    return run;
}

} // namespace lp
