#include "components/WaveSound.h"

#include <gtest/gtest.h>

#include <QtCore/QtEndian>
#include <QtMultimedia/QAudioFormat>
#include <QtMultimedia/QMediaDevices>
#include <QtMultimedia/QAudioDevice>

namespace lp {
namespace {

void Put32(QByteArray& Data, quint32 Value)
{
    char Bytes[4];
    qToLittleEndian(Value, Bytes);
    Data.append(Bytes, 4);
}

void Put16(QByteArray& Data, quint16 Value)
{
    char Bytes[2];
    qToLittleEndian(Value, Bytes);
    Data.append(Bytes, 2);
}

// A wave image: Samples of 16-bit mono silence at 22050 Hz.
QByteArray Wave(int Samples, quint32 DataSizeField = 0)
{
    QByteArray Data("RIFF");
    Put32(Data, 36 + 2 * Samples);
    Data.append("WAVEfmt ");
    Put32(Data, 16);
    Put16(Data, 1);
    Put16(Data, 1);
    Put32(Data, 22050);
    Put32(Data, 44100);
    Put16(Data, 2);
    Put16(Data, 16);
    Data.append("data");
    Put32(Data, DataSizeField ? DataSizeField : 2 * Samples);
    Data.append(QByteArray(2 * Samples, '\0'));
    return Data;
}

TEST(Wave, ValidImage_PassesTheAudioFormatCheck)
{
    const std::optional<TWaveLayout> Layout = ParseWave(Wave(100));
    ASSERT_TRUE(Layout);
    EXPECT_EQ(Layout->SampleRate, 22050);
    EXPECT_EQ(Layout->Channels, 1);
    EXPECT_EQ(Layout->BitsPerSample, 16);
    EXPECT_EQ(Layout->DataOffset, 44);
    EXPECT_EQ(Layout->DataSize, 200);
    const QAudioFormat Format = WaveAudioFormat(*Layout);
    EXPECT_TRUE(Format.isValid());
    EXPECT_EQ(Format.sampleFormat(), QAudioFormat::Int16);
    EXPECT_EQ(Format.bytesPerFrame(), 2);
}

TEST(Wave, BrokenImages_Refused)
{
    EXPECT_FALSE(ParseWave(QByteArray()));
    EXPECT_FALSE(ParseWave(QByteArray("RIFF....AVI ")));
    EXPECT_FALSE(ParseWave(Wave(10, 5000))); // data chunk runs past the end
    QByteArray Compressed = Wave(10);
    Compressed[20] = 2; // not PCM
    EXPECT_FALSE(ParseWave(Compressed));
    TWaveLayout Odd;
    Odd.SampleRate = 22050;
    Odd.Channels = 1;
    Odd.BitsPerSample = 12;
    EXPECT_FALSE(WaveAudioFormat(Odd).isValid());
}

TEST(Wave, PlayModes_AndTheirFlags)
{
    TuiCustomWave Sound;
    EXPECT_EQ(Sound.Flags(), unsigned(SND_ASYNC | SND_NODEFAULT | SND_MEMORY));
    Sound.SetPlayMode(TuiCustomWave::pmSync);
    EXPECT_EQ(Sound.Flags(), unsigned(SND_NODEFAULT | SND_MEMORY));
    Sound.SetPlayMode(TuiCustomWave::pmLoop);
    EXPECT_EQ(Sound.Flags(), unsigned(SND_ASYNC | SND_NODEFAULT | SND_MEMORY | SND_LOOP));
}

TEST(Wave, NothingToPlay_False)
{
    TuiCustomWave Sound;
    EXPECT_FALSE(Sound.Play());
    Sound.SetWave(QByteArray("not a wave at all"));
    EXPECT_FALSE(Sound.Play());
    EXPECT_FALSE(Sound.Playing());
}

TEST(Wave, NoAudioDevice_PlayAnswersFalse)
{
    if (!QMediaDevices::defaultAudioOutput().isNull())
        GTEST_SKIP() << "this machine has an audio output";
    for (const auto Mode : {TuiCustomWave::pmAsync, TuiCustomWave::pmSync, TuiCustomWave::pmLoop}) {
        TuiCustomWave Sound;
        Sound.SetWave(Wave(2205));
        Sound.SetPlayMode(Mode);
        EXPECT_FALSE(Sound.Play());
        EXPECT_FALSE(Sound.Playing());
        Sound.Stop();
    }
}

} // namespace
} // namespace lp
