#include "OtherProgram.h"

#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>

namespace lp::test {

namespace {

// The last lines the program printed, for the skip message.
QString Said(QProcess& Process)
{
    const QString all = QString::fromLocal8Bit(Process.readAllStandardOutput() + Process.readAllStandardError());
    return all.trimmed().right(300);
}

QString WithOutput(const QString& Reason, const QString& Printed)
{
    return Printed.isEmpty() ? Reason : Reason + QStringLiteral(" (it said: ") + Printed + QLatin1Char(')');
}

} // namespace

TConversion ConvertWithProgram(const QString& Program, const QStringList& Arguments, const QString& Output,
                               int TimeoutMs)
{
    const QString name = QFileInfo(Program).fileName();
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(Program, Arguments);
    if (!process.waitForStarted())
        return {false, name + QStringLiteral(" could not be started: ") + process.errorString()};
    if (!process.waitForFinished(TimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {false, name + QStringLiteral(" did not finish the conversion in time")};
    }
    const QString printed = Said(process);
    if (printed.contains(QStringLiteral("no export filter"), Qt::CaseInsensitive))
        return {false, WithOutput(name + QStringLiteral(" cannot do this conversion"), printed)};
    const QFileInfo written(Output);
    if (!written.exists() || written.size() == 0)
        return {false, WithOutput(name + QStringLiteral(" wrote no ") + written.fileName(), printed)};
    return {true, {}};
}

QString OfficeProgram()
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    return office.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("libreoffice")) : office;
}

} // namespace lp::test
