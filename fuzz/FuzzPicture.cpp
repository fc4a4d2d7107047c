#include "fuzz/FuzzPicture.h"

#include "fuzz/FuzzSupport.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"

#include <QtCore/QBuffer>

#include <memory>

namespace lp::fuzz {

namespace {

std::unique_ptr<TGraphic> Load(const QString& Extension, const QByteArray& Bytes)
{
    const TGraphicFactory Factory = GraphicClassForExtension(Extension);
    Require(static_cast<bool>(Factory), "the picture format is registered");
    std::unique_ptr<TGraphic> Graphic = Factory();
    QBuffer Buffer;
    Buffer.setData(Bytes);
    Buffer.open(QIODevice::ReadOnly);
    Graphic->LoadFromStream(Buffer);
    return Graphic;
}

} // namespace

void ReadPicture(const QString& Extension, const uint8_t* Data, size_t Size,
                 const std::function<void(TGraphic& Graphic)>& Also)
{
    StartApplication();
    std::unique_ptr<TGraphic> Graphic;
    Refusable([&] { Graphic = Load(Extension, Bytes(Data, Size)); });
    if (!Graphic)
        return;
    TBitmap Target(48, 32);
    Refusable([&] { Graphic->Draw(Target.Canvas(), {0, 0, 48, 32}); });
    if (Also)
        Refusable([&] { Also(*Graphic); });
    QBuffer Saved;
    Saved.open(QIODevice::WriteOnly);
    bool Written = false;
    Refusable([&] {
        Graphic->SaveToStream(Saved);
        Written = true;
    });
    if (!Written)
        return;
    try {
        Load(Extension, Saved.data());
    } catch (const Exception& Error) {
        std::fprintf(stderr, "fuzz: %s\n", Error.Message().c_str());
        Require(false, "a saved picture reads back");
    }
}

} // namespace lp::fuzz
