#include "platform/core/Streams.h"

#include <QtCore/QtEndian>

#include <algorithm>
#include <bit>

namespace lp {

namespace {

[[noreturn]] void RaiseReadError()
{
    throw EReadError("Stream read error");
}

[[noreturn]] void RaiseWriteError()
{
    throw EWriteError("Stream write error");
}

// Sequential devices cannot say how much is left; they are read piece by
// piece so that a corrupt count never allocates more than the data present.
constexpr qint64 ReadChunk = 64 * 1024;

} // namespace

// --- TBinaryWriter -------------------------------------------------------------

TBinaryWriter::TBinaryWriter(QIODevice& Device) : FDevice(Device) {}

void TBinaryWriter::WriteRaw(const char* Data, qint64 Size)
{
    while (Size > 0) {
        const qint64 written = FDevice.write(Data, Size);
        if (written <= 0)
            RaiseWriteError();
        Data += written;
        Size -= written;
    }
}

void TBinaryWriter::WriteByte(quint8 Value)
{
    const char byte = static_cast<char>(Value);
    WriteRaw(&byte, 1);
}

void TBinaryWriter::WriteInt32(qint32 Value)
{
    char bytes[4];
    qToLittleEndian(Value, bytes);
    WriteRaw(bytes, sizeof bytes);
}

void TBinaryWriter::WriteDouble(double Value)
{
    char bytes[8];
    qToLittleEndian(std::bit_cast<quint64>(Value), bytes);
    WriteRaw(bytes, sizeof bytes);
}

void TBinaryWriter::WriteBytes(const QByteArray& Data)
{
    WriteRaw(Data.constData(), Data.size());
}

// --- TBinaryReader -------------------------------------------------------------

TBinaryReader::TBinaryReader(QIODevice& Device) : FDevice(Device) {}

void TBinaryReader::ReadRaw(char* Data, qint64 Size)
{
    if (!FDevice.isSequential() && FDevice.bytesAvailable() < Size)
        RaiseReadError();
    while (Size > 0) {
        const qint64 got = FDevice.read(Data, Size);
        if (got <= 0)
            RaiseReadError();
        Data += got;
        Size -= got;
    }
}

quint8 TBinaryReader::ReadByte()
{
    char byte = 0;
    ReadRaw(&byte, 1);
    return static_cast<quint8>(byte);
}

qint32 TBinaryReader::ReadInt32()
{
    char bytes[4];
    ReadRaw(bytes, sizeof bytes);
    return qFromLittleEndian<qint32>(bytes);
}

double TBinaryReader::ReadDouble()
{
    char bytes[8];
    ReadRaw(bytes, sizeof bytes);
    return std::bit_cast<double>(qFromLittleEndian<quint64>(bytes));
}

QByteArray TBinaryReader::ReadBytes(qint64 Count)
{
    if (Count < 0)
        RaiseReadError();
    if (!FDevice.isSequential() && FDevice.bytesAvailable() < Count)
        RaiseReadError();
    QByteArray result;
    while (result.size() < Count) {
        const qsizetype done = result.size();
        const qint64 piece = std::min(Count - done, ReadChunk);
        result.resize(done + piece);
        ReadRaw(result.data() + done, piece);
    }
    return result;
}

bool TBinaryReader::AtEnd() const
{
    return FDevice.atEnd();
}

} // namespace lp
