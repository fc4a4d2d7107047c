// Wave images as the wave sound reads them before playing: the layout the
// parser finds must lie inside the image, the samples it hands to the
// audio output are all there, and a playable layout gives a valid format.
// (Nothing is played: fuzzing has no audio output.)

#include "fuzz/FuzzSupport.h"
#include "components/WaveSound.h"

#include <QtMultimedia/QAudioFormat>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const QByteArray Image = lp::fuzz::Bytes(Data, Size);
    const std::optional<lp::TWaveLayout> Layout = lp::ParseWave(Image);
    if (!Layout)
        return 0;
    lp::fuzz::Require(Layout->DataOffset >= 0 && Layout->DataSize >= 0 && Layout->DataOffset <= Image.size() &&
                          Layout->DataSize <= Image.size() - Layout->DataOffset,
                      "the samples lie inside the image");
    lp::fuzz::Require(Image.mid(Layout->DataOffset, Layout->DataSize).size() == Layout->DataSize,
                      "every sample is handed over");
    const QAudioFormat Format = lp::WaveAudioFormat(*Layout);
    if (Format.isValid())
        lp::fuzz::Require(Format.sampleRate() > 0 && Format.channelCount() > 0 && Format.bytesPerFrame() > 0,
                          "a playable format has samples");
    return 0;
}
