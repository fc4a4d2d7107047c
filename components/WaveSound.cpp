#include "components/WaveSound.h"

#include <QtCore/QBuffer>
#include <QtCore/QEventLoop>
#include <QtCore/QtEndian>
#include <QtMultimedia/QAudioDevice>
#include <QtMultimedia/QAudioFormat>
#include <QtMultimedia/QAudioSink>
#include <QtMultimedia/QMediaDevices>

namespace lp {

namespace {

quint32 Read32(const QByteArray& Data, qsizetype At)
{
    return qFromLittleEndian<quint32>(Data.constData() + At);
}

quint16 Read16(const QByteArray& Data, qsizetype At)
{
    return qFromLittleEndian<quint16>(Data.constData() + At);
}

constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatFloat = 3;

} // namespace

std::optional<TWaveLayout> ParseWave(const QByteArray& Image)
{
    if (Image.size() < 12 || !Image.startsWith("RIFF") || Image.mid(8, 4) != "WAVE")
        return std::nullopt;
    TWaveLayout Layout;
    bool HaveFormat = false;
    qsizetype At = 12;
    while (At + 8 <= Image.size()) {
        const QByteArray Id = Image.mid(At, 4);
        const qsizetype Size = Read32(Image, At + 4);
        const qsizetype Body = At + 8;
        if (Size > Image.size() - Body)
            return std::nullopt; // a chunk that runs past the end
        if (Id == "fmt ") {
            if (Size < 16)
                return std::nullopt;
            const quint16 Tag = Read16(Image, Body);
            if (Tag != kFormatPcm && Tag != kFormatFloat)
                return std::nullopt;
            Layout.Channels = Read16(Image, Body + 2);
            Layout.SampleRate = static_cast<int>(Read32(Image, Body + 4));
            Layout.BitsPerSample = Read16(Image, Body + 14);
            Layout.Float = Tag == kFormatFloat;
            HaveFormat = true;
        } else if (Id == "data") {
            if (!HaveFormat)
                return std::nullopt;
            Layout.DataOffset = Body;
            Layout.DataSize = Size;
            return Layout;
        }
        At = Body + Size + (Size & 1); // chunks are padded to even sizes
    }
    return std::nullopt;
}

QAudioFormat WaveAudioFormat(const TWaveLayout& Layout)
{
    QAudioFormat Format;
    if (Layout.Channels < 1 || Layout.Channels > 8 || Layout.SampleRate < 1000 || Layout.SampleRate > 384000)
        return Format;
    Format.setSampleRate(Layout.SampleRate);
    Format.setChannelCount(Layout.Channels);
    if (Layout.Float && Layout.BitsPerSample == 32)
        Format.setSampleFormat(QAudioFormat::Float);
    else if (!Layout.Float && Layout.BitsPerSample == 8)
        Format.setSampleFormat(QAudioFormat::UInt8);
    else if (!Layout.Float && Layout.BitsPerSample == 16)
        Format.setSampleFormat(QAudioFormat::Int16);
    else if (!Layout.Float && Layout.BitsPerSample == 32)
        Format.setSampleFormat(QAudioFormat::Int32);
    return Format;
}

// --- Playing -----------------------------------------------------------------------------------

struct TuiCustomWave::TPlayer {
    QByteArray Samples;
    QBuffer Buffer;
    std::unique_ptr<QAudioSink> Sink;
};

TuiCustomWave::TuiCustomWave(TComponent* AOwner) : TComponent(AOwner) {}

TuiCustomWave::~TuiCustomWave()
{
    Stop();
}

void TuiCustomWave::SetWave(const QByteArray& Value)
{
    Stop();
    FWave = Value;
}

void TuiCustomWave::SetPlayMode(TuiPlayMode Value)
{
    if (!IsDesigning())
        Stop();
    FPlayMode = Value;
}

unsigned TuiCustomWave::Flags() const
{
    switch (FPlayMode) {
    case pmSync: return SND_NODEFAULT | SND_MEMORY;
    case pmLoop: return SND_ASYNC | SND_NODEFAULT | SND_MEMORY | SND_LOOP;
    case pmAsync: break;
    }
    return SND_ASYNC | SND_NODEFAULT | SND_MEMORY;
}

bool TuiCustomWave::Play()
{
    Stop();
    if (FWave.isEmpty())
        return false;
    const std::optional<TWaveLayout> Layout = ParseWave(FWave);
    if (!Layout)
        return false;
    const QAudioFormat Format = WaveAudioFormat(*Layout);
    if (!Format.isValid())
        return false;
    const QAudioDevice Device = QMediaDevices::defaultAudioOutput();
    if (Device.isNull() || !Device.isFormatSupported(Format))
        return false;

    FPlayer = std::make_unique<TPlayer>();
    FPlayer->Samples = FWave.mid(Layout->DataOffset, Layout->DataSize);
    FPlayer->Buffer.setData(FPlayer->Samples);
    FPlayer->Buffer.open(QIODevice::ReadOnly);
    FPlayer->Sink = std::make_unique<QAudioSink>(Device, Format);
    QAudioSink* Sink = FPlayer->Sink.get();
    QBuffer* Buffer = &FPlayer->Buffer;
    const bool Loop = FPlayMode == pmLoop;
    QObject::connect(Sink, &QAudioSink::stateChanged, Sink, [Sink, Buffer, Loop](QAudio::State State) {
        if (State == QAudio::IdleState) {
            if (Loop) {
                Buffer->seek(0);
                Sink->start(Buffer);
            } else
                Sink->stop();
        }
    });
    Sink->start(Buffer);
    if (Sink->error() != QAudio::NoError) {
        FPlayer.reset();
        return false;
    }
    if (FPlayMode == pmSync) {
        // To the end of the sound, keeping the window alive.
        QEventLoop Loop;
        QObject::connect(Sink, &QAudioSink::stateChanged, &Loop, [&Loop](QAudio::State State) {
            if (State == QAudio::StoppedState || State == QAudio::IdleState)
                Loop.quit();
        });
        if (Sink->state() == QAudio::ActiveState)
            Loop.exec();
    }
    return true;
}

void TuiCustomWave::Stop()
{
    if (FPlayer && FPlayer->Sink) {
        FPlayer->Sink->disconnect();
        FPlayer->Sink->stop();
    }
    FPlayer.reset();
}

bool TuiCustomWave::Playing() const
{
    return FPlayer && FPlayer->Sink && FPlayer->Sink->state() == QAudio::ActiveState;
}

// --- Wave list ---------------------------------------------------------------------------------

TuiCustomWaveList::TuiCustomWaveList(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TStringList>())
{
}

TuiCustomWaveList::~TuiCustomWaveList() = default;

} // namespace lp
