#include "platform/core/Streams.h"

#include <QtCore/QBuffer>

#include <gtest/gtest.h>

#include <bit>
#include <limits>

namespace lp {
namespace {

// A sequential device that moves at most three bytes per call and takes at
// most Capacity written bytes, like a pipe that fills up.
class TTrickleDevice : public QIODevice {
public:
    TTrickleDevice(QByteArray Data, qint64 Capacity) : FData(std::move(Data)), FCapacity(Capacity)
    {
        open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }
    QByteArray Written;

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 n = std::min({maxSize, qint64(3), qint64(FData.size()) - FPos});
        std::copy_n(FData.constData() + FPos, std::max(n, qint64(0)), data);
        FPos += n;
        return n > 0 ? n : -1;
    }
    qint64 writeData(const char* data, qint64 maxSize) override
    {
        const qint64 n = std::min({maxSize, qint64(3), FCapacity - qint64(Written.size())});
        Written.append(data, std::max(n, qint64(0)));
        return n > 0 ? n : -1;
    }

private:
    QByteArray FData;
    qint64 FPos = 0;
    qint64 FCapacity;
};

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int v : values)
        result.append(static_cast<char>(v));
    return result;
}

TEST(BinaryStreams, EveryTypeRoundTripsBitForBit)
{
    const qint32 ints[] = {0, -1, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()};
    const double doubles[] = {-0.0, -1.5, -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::denorm_min(),
                              std::bit_cast<double>(quint64(0x7FF8000000000123)),  // quiet NaN with payload
                              std::bit_cast<double>(quint64(0xFFF0000000000001))}; // signalling NaN
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    TBinaryWriter writer(buffer);
    writer.WriteByte(255);
    for (qint32 v : ints)
        writer.WriteInt32(v);
    for (double v : doubles)
        writer.WriteDouble(v);
    writer.WriteBytes(Bytes({0, 0xFF, 'a'}));

    buffer.seek(0);
    TBinaryReader reader(buffer);
    EXPECT_EQ(reader.ReadByte(), 255);
    for (qint32 v : ints)
        EXPECT_EQ(reader.ReadInt32(), v);
    for (double v : doubles)
        EXPECT_EQ(std::bit_cast<quint64>(reader.ReadDouble()), std::bit_cast<quint64>(v));
    EXPECT_EQ(reader.ReadBytes(3), Bytes({0, 0xFF, 'a'}));
    EXPECT_EQ(reader.ReadBytes(0), QByteArray());
    EXPECT_TRUE(reader.AtEnd());
}

TEST(BinaryStreams, BytesAreLittleEndian)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    TBinaryWriter writer(buffer);
    writer.WriteInt32(0x01020304);
    writer.WriteInt32(-2);
    writer.WriteDouble(1.0);
    EXPECT_EQ(buffer.data(), Bytes({4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));

    QByteArray stored = Bytes({0x78, 0x56, 0x34, 0x12, 0, 0, 0, 0, 0, 0, 0x04, 0xC0});
    QBuffer input(&stored);
    input.open(QIODevice::ReadOnly);
    TBinaryReader reader(input);
    EXPECT_EQ(reader.ReadInt32(), 0x12345678);
    EXPECT_EQ(reader.ReadDouble(), -2.5);
}

TEST(BinaryStreams, ShortReadsRaiseWithoutConsuming)
{
    QByteArray stored = Bytes({1, 2, 3});
    QBuffer input(&stored);
    input.open(QIODevice::ReadOnly);
    TBinaryReader reader(input);
    try {
        reader.ReadInt32();
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    EXPECT_THROW(reader.ReadDouble(), EReadError);
    EXPECT_THROW(reader.ReadBytes(4), EReadError);
    EXPECT_THROW(reader.ReadBytes(-1), EReadError);
    EXPECT_THROW(reader.ReadBytes(qint64(1) << 50), EReadError); // a corrupt count allocates nothing
    EXPECT_EQ(reader.ReadByte(), 1);                             // nothing was consumed
    EXPECT_EQ(reader.ReadBytes(2), Bytes({2, 3}));
    EXPECT_THROW(reader.ReadByte(), EReadError);
}

TEST(BinaryStreams, SequentialDevicesGoPieceByPiece)
{
    TTrickleDevice pipe(Bytes({4, 3, 2, 1, 'a', 'b', 'c', 'd', 'e', 'f', 'g'}), 6);
    TBinaryReader reader(pipe);
    EXPECT_EQ(reader.ReadInt32(), 0x01020304);
    EXPECT_EQ(reader.ReadBytes(5), QByteArray("abcde"));
    EXPECT_THROW(reader.ReadBytes(3), EReadError); // only two left

    TBinaryWriter writer(pipe);
    writer.WriteInt32(-1);
    EXPECT_EQ(pipe.Written, Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
    try {
        writer.WriteInt32(0); // only two bytes fit
        FAIL();
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "Stream write error");
    }
}

} // namespace
} // namespace lp
