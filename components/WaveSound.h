#pragma once
// Sounds played from memory: a wave image (a RIFF "WAVE" file held in
// memory) played through the desktop's default audio output in one of
// three modes, and the abstract list of sounds that buttons play by index.
//
// Without an audio output (no sound server, a headless machine) Play
// answers False and nothing else happens. Only uncompressed PCM waves
// (8, 16 or 32-bit integer, 32-bit float) are played.

#include "platform/core/Component.h"
#include "platform/core/StringList.h"

#include <QtCore/QByteArray>

#include <memory>
#include <optional>

class QAudioFormat;

namespace lp {

// Play-mode flags of the classic sound call, for the record.
enum TSoundFlag : unsigned {
    SND_SYNC = 0x0000,
    SND_ASYNC = 0x0001,
    SND_NODEFAULT = 0x0002,
    SND_MEMORY = 0x0004,
    SND_LOOP = 0x0008,
};

// Where the samples of a wave image lie and how they are laid out.
struct TWaveLayout {
    int SampleRate = 0;
    int Channels = 0;
    int BitsPerSample = 0;
    bool Float = false;
    qsizetype DataOffset = 0;
    qsizetype DataSize = 0;
};
// The layout of a PCM wave image; nullopt when the image is not one (or a
// chunk runs past its end).
std::optional<TWaveLayout> ParseWave(const QByteArray& Image);
// The audio format of a wave layout; invalid when it cannot be played.
QAudioFormat WaveAudioFormat(const TWaveLayout& Layout);

class TuiCustomWave : public TComponent {
    Q_OBJECT
public:
    enum TuiPlayMode { pmAsync = 0, pmSync = 1, pmLoop = 2 };
    Q_ENUM(TuiPlayMode)

    explicit TuiCustomWave(TComponent* AOwner = nullptr);
    ~TuiCustomWave() override;

    const QByteArray& Wave() const { return FWave; }
    void SetWave(const QByteArray& Value);
    TuiPlayMode PlayMode() const { return FPlayMode; }
    // Outside the designer a change stops the sound first.
    void SetPlayMode(TuiPlayMode Value);
    // The classic flags of the play mode.
    unsigned Flags() const;

    // Plays the image: asynchronously, to its end (blocking), or looping
    // until Stop. False without an image, for an image that is not a
    // playable wave, or when there is no audio output.
    bool Play();
    void Stop();
    bool Playing() const;

private:
    struct TPlayer;
    QByteArray FWave;
    TuiPlayMode FPlayMode = pmAsync;
    std::unique_ptr<TPlayer> FPlayer;
};

// A list of sounds named by a string list; a concrete list plays them.
class TuiCustomWaveList : public TComponent {
    Q_OBJECT
public:
    explicit TuiCustomWaveList(TComponent* AOwner = nullptr);
    ~TuiCustomWaveList() override;

    TStringList& Items() const { return *FItems; }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value) { FItemIndex = Value; }
    // Plays sound Index.
    virtual bool Play(int Index) = 0;

private:
    std::unique_ptr<TStringList> FItems;
    int FItemIndex = -1;
};

} // namespace lp
