#pragma once
// Binary reading and writing of stored values on a QIODevice.
//
// The byte order is little-endian whatever the host's: integers as two's
// complement, doubles as IEEE-754 binary64 with every bit kept (NaN payloads,
// the sign of zero). The reader and writer only borrow the device, which
// must stay open for as long as they are used; they add no framing of
// their own.
//
// Failures raise: a read that cannot get every byte asked for raises
// EReadError "Stream read error", a write the device does not take in full
// raises EWriteError "Stream write error". On a device that can tell how
// much is left (a file, a buffer) a short read is found before anything is
// consumed, and no buffer is ever made larger than what the device holds.

#include "platform/base/Exception.h"

#include <QtCore/QByteArray>
#include <QtCore/QIODevice>

namespace lp {

class EReadError : public Exception {
public:
    using Exception::Exception;
};

class EWriteError : public Exception {
public:
    using Exception::Exception;
};

class TBinaryWriter {
public:
    explicit TBinaryWriter(QIODevice& Device);

    void WriteByte(quint8 Value);
    void WriteInt32(qint32 Value);
    void WriteDouble(double Value);
    // The bytes as they are, without a length.
    void WriteBytes(const QByteArray& Data);

private:
    void WriteRaw(const char* Data, qint64 Size);

    QIODevice& FDevice;
};

class TBinaryReader {
public:
    explicit TBinaryReader(QIODevice& Device);

    quint8 ReadByte();
    qint32 ReadInt32();
    double ReadDouble();
    // Exactly Count bytes; a negative Count raises EReadError.
    QByteArray ReadBytes(qint64 Count);
    // No byte is left to read.
    bool AtEnd() const;

private:
    void ReadRaw(char* Data, qint64 Size);

    QIODevice& FDevice;
};

} // namespace lp
