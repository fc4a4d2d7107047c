#pragma once
// Conversions by programs installed beside the project (an office suite, a
// vector editor) that some tests use as independent readers of our files.
//
// Such a program may be present but unable to do the conversion: an office
// suite installed without its spreadsheet component, say, answers "no export
// filter" and writes nothing. That says nothing about our file, so the test
// skips with the reason; it fails only when the conversion ran and the
// result is wrong.

#include <QtCore/QString>
#include <QtCore/QStringList>

namespace lp::test {

struct TConversion {
    bool Converted = false; // the program ran and wrote the output file
    QString Reason;         // why not, for the skip message
};

// Runs Program with Arguments and waits for it; converted when it finished
// and Output exists and is not empty.
TConversion ConvertWithProgram(const QString& Program, const QStringList& Arguments, const QString& Output,
                               int TimeoutMs = 120000);

// The installed office suite's program ("soffice" or "libreoffice"), empty
// when there is none.
QString OfficeProgram();

} // namespace lp::test
