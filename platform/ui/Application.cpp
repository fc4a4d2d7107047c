#include "platform/ui/Application.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>

namespace lp {

bool HaveWidgets()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

TApplication& TApplication::Instance()
{
    static TApplication application;
    return application;
}

void TApplication::ProcessMessages()
{
    QCoreApplication::processEvents();
}

QString TApplication::MessageOf(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        return QString::fromStdString(own->Message());
    return QString::fromLocal8Bit(error.what());
}

void TApplication::HandleException(const std::exception& error) noexcept
{
    if (dynamic_cast<const EAbort*>(&error))
        return; // a silent end of the action
    try {
        if (OnException) {
            OnException(error);
            return;
        }
    } catch (...) {
        // A failing handler must not take the event loop down; the message
        // is still shown below.
    }
    ShowMessage(MessageOf(error));
}

void TApplication::ShowMessage(const QString& message) noexcept
{
    try {
        if (ShowMessageHook) {
            ShowMessageHook(message);
            return;
        }
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            QMessageBox::critical(QApplication::activeWindow(), FTitle, message);
    } catch (...) {
    }
}

namespace {

Qt::CursorShape ShapeOf(TCursor cursor)
{
    switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

} // namespace

QCursor TApplication::CursorOf(TCursor cursor) const
{
    const auto found = FCursors.constFind(cursor);
    if (found != FCursors.constEnd())
        return *found;
    return QCursor(ShapeOf(cursor));
}

void TApplication::RegisterCursor(TCursor number, const QCursor& cursor)
{
    FCursors.insert(number, cursor);
}

void TApplication::UnregisterCursor(TCursor number)
{
    FCursors.remove(number);
}

namespace {

struct TCursorIdent {
    TCursor Cursor;
    const char* Ident;
};

constexpr TCursorIdent CursorIdentTable[] = {
    {crDefault, "crDefault"}, {crNone, "crNone"}, {crArrow, "crArrow"}, {crCross, "crCross"},
    {crIBeam, "crIBeam"}, {crSizeNESW, "crSizeNESW"}, {crSizeNS, "crSizeNS"}, {crSizeNWSE, "crSizeNWSE"},
    {crSizeWE, "crSizeWE"}, {crUpArrow, "crUpArrow"}, {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"}, {crHSplit, "crHSplit"}, {crVSplit, "crVSplit"}, {crMultiDrag, "crMultiDrag"},
    {crSQLWait, "crSQLWait"}, {crNo, "crNo"}, {crAppStart, "crAppStart"}, {crHelp, "crHelp"},
    {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"},
};

} // namespace

QStringList CursorIdents()
{
    QStringList idents;
    for (const TCursorIdent& entry : CursorIdentTable)
        idents << QString::fromLatin1(entry.Ident);
    return idents;
}

bool IdentToCursor(const QString& Ident, TCursor& Cursor)
{
    for (const TCursorIdent& entry : CursorIdentTable)
        if (Ident.compare(QLatin1String(entry.Ident), Qt::CaseInsensitive) == 0) {
            Cursor = entry.Cursor;
            return true;
        }
    return false;
}

bool CursorToIdent(TCursor Cursor, QString& Ident)
{
    for (const TCursorIdent& entry : CursorIdentTable)
        if (entry.Cursor == Cursor) {
            Ident = QString::fromLatin1(entry.Ident);
            return true;
        }
    return false;
}

} // namespace lp
