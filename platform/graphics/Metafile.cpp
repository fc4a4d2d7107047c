// TMetafile, the picture that holds an EMF recording, and TMetafileCanvas,
// the canvas that records into one. The formats themselves are in the
// Metafile*.cpp parts (see Metafile_p.h).
#include "platform/graphics/Metafile.h"

#include "platform/graphics/Metafile_p.h"
#include "platform/graphics/PainterDC.h"

namespace lp {

using namespace metafile;

// --- TMetafile -------------------------------------------------------------------------------------

TMetafile::TMetafile() = default;

TMetafile::~TMetafile() = default;

bool TMetafile::Empty() const
{
    return FData.isEmpty();
}

int TMetafile::Width() const
{
    return FMMWidth > 0 ? ClampRound(FMMWidth * FDpiX / 2540.0) : 0;
}

int TMetafile::Height() const
{
    return FMMHeight > 0 ? ClampRound(FMMHeight * FDpiY / 2540.0) : 0;
}

void TMetafile::SetWidth(int value)
{
    SetMMWidth(PixelsToHundredths(std::max(value, 0), FDpiX));
}

void TMetafile::SetHeight(int value)
{
    SetMMHeight(PixelsToHundredths(std::max(value, 0), FDpiY));
}

void TMetafile::SetMMWidth(int value)
{
    SetFrameExtent(FMMWidth, value);
}

void TMetafile::SetMMHeight(int value)
{
    SetFrameExtent(FMMHeight, value);
}

void TMetafile::SetFrameExtent(int& extent, int value)
{
    value = std::max(value, 0);
    if (value == extent)
        return;
    const int old = extent;
    extent = value;
    try {
        PatchFrame();
    } catch (...) {
        extent = old;
        throw;
    }
    Changed();
}

void TMetafile::PatchFrame()
{
    if (FData.isEmpty() || FMMWidth <= 0 || FMMHeight <= 0)
        return;
    const TEnhMetaHeader header = ReadEnhMetaHeader(FData);
    const int64_t right = int64_t(header.Frame.Left) + FMMWidth;
    const int64_t bottom = int64_t(header.Frame.Top) + FMMHeight;
    if (right > INT32_MAX || bottom > INT32_MAX)
        RaiseRangeError("A metafile frame of %d x %d from (%d, %d) does not fit in 32 bits",
                        {ArgText(FMMWidth), ArgText(FMMHeight), ArgText(header.Frame.Left), ArgText(header.Frame.Top)});
    Patch32(FData, 32, static_cast<uint32_t>(right));
    Patch32(FData, 36, static_cast<uint32_t>(bottom));
}

void TMetafile::SetEnhanced(bool value)
{
    if (value == FEnhanced)
        return;
    FEnhanced = value;
    Changed();
}

QString TMetafile::Description() const
{
    return FData.isEmpty() ? QString() : ReadEnhMetaHeader(FData).Description;
}

void TMetafile::Draw(TCanvas& canvas, const TRect& rect) const
{
    if (Empty())
        return;
    PlayEnhMetafile(FData, canvas.Handle(), rect);
}

void TMetafile::TakeHeader(const TEnhMetaHeader& header)
{
    FMMWidth = std::max(0, header.Frame.Right - header.Frame.Left);
    FMMHeight = std::max(0, header.Frame.Bottom - header.Frame.Top);
    FDpiX = header.PixelsPerInchX();
    FDpiY = header.PixelsPerInchY();
}

void TMetafile::SetData(const QByteArray& emf)
{
    CheckEnhMetafile(emf);
    const TEnhMetaHeader header = ReadEnhMetaHeader(emf);
    FData = emf.left(header.Bytes);
    TakeHeader(header);
    Changed();
}

void TMetafile::LoadFromStream(QIODevice& stream)
{
    const QByteArray bytes = stream.readAll();
    uint32_t first = 0; // the first four bytes, little-endian
    for (int i = 3; i >= 0 && bytes.size() >= 4; --i)
        first = (first << 8) | static_cast<uchar>(bytes[i]);
    if (first != kPlaceableMetafileKey && first != EMR_HEADER)
        throw EInvalidGraphic(bytes.isEmpty()
                                  ? "The metafile is empty"
                                  : "The data is neither an enhanced metafile nor a placeable metafile");
    const bool enhanced = first == EMR_HEADER;
    const QByteArray emf = enhanced ? bytes : EnhancedFromPlaceable(bytes);
    if (enhanced)
        CheckEnhMetafile(emf);
    const TEnhMetaHeader header = ReadEnhMetaHeader(emf);
    FData = emf.left(header.Bytes);
    TakeHeader(header);
    FEnhanced = enhanced;
    Changed();
}

void TMetafile::SaveToStream(QIODevice& stream) const
{
    if (Empty())
        throw EInvalidGraphic("An empty metafile cannot be written");
    const QByteArray bytes = FEnhanced ? FData : PlaceableFromEnhanced(FData);
    if (stream.write(bytes) != bytes.size())
        throw EInvalidGraphic("The metafile could not be written: " + stream.errorString().toStdString());
}

QImage TMetafile::ToImage() const
{
    const int w = Width(), h = Height();
    if (Empty() || w <= 0 || h <= 0)
        return QImage();
    if (int64_t(w) * h > kMaxImagePixels * 4)
        throw EInvalidGraphic(
            FormatText("A metafile of %d x %d pixels is too large to render", {ArgText(w), ArgText(h)}));
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(ClampRound(FDpiX / 0.0254));
    image.setDotsPerMeterY(ClampRound(FDpiY / 0.0254));
    TPainterDC dc(image);
    PlayEnhMetafile(FData, dc, {0, 0, w, h});
    dc.Finish();
    return image;
}

void TMetafile::Clear()
{
    FData.clear();
    FMMWidth = 0;
    FMMHeight = 0;
    FDpiX = 96.0;
    FDpiY = 96.0;
    Changed();
}

void TMetafile::Assign(const TPersistent* Source)
{
    if (const auto* metafile = qobject_cast<const TMetafile*>(Source)) {
        if (metafile == this)
            return;
        FData = metafile->FData;
        FMMWidth = metafile->FMMWidth;
        FMMHeight = metafile->FMMHeight;
        FDpiX = metafile->FDpiX;
        FDpiY = metafile->FDpiY;
        FEnhanced = metafile->FEnhanced;
        FTransparent = metafile->FTransparent;
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

// --- TMetafileCanvas --------------------------------------------------------------------------------

TMetafileCanvas::TMetafileCanvas(TMetafile& metafile, TDeviceContext* reference, const QString& title)
    : TCanvas(nullptr), FMetafile(metafile)
{
    int dpiX = reference ? reference->GetDeviceCaps(LOGPIXELSX) : 96;
    int dpiY = reference ? reference->GetDeviceCaps(LOGPIXELSY) : 96;
    if (dpiX <= 0)
        dpiX = 96;
    if (dpiY <= 0)
        dpiY = dpiX;
    QSize surface;
    if (reference)
        surface = QSize(reference->GetDeviceCaps(HORZRES), reference->GetDeviceCaps(VERTRES));
    const bool sized = metafile.MMWidth() > 0 && metafile.MMHeight() > 0;
    if (surface.isEmpty() && sized)
        surface = QSize(std::max(1, ClampRound(metafile.MMWidth() * dpiX / 2540.0)),
                        std::max(1, ClampRound(metafile.MMHeight() * dpiY / 2540.0)));
    FDC = std::make_unique<TMetafileDC>(surface.isEmpty() ? QSize(1920, 1080) : surface, dpiX, dpiY);
    if (!title.isEmpty())
        FDC->SetDescription(title);
    if (sized)
        FDC->SetFrame({0, 0, metafile.MMWidth(), metafile.MMHeight()});
    Font().SetPixelsPerInch(dpiY);
    SetHandle(FDC.get());
}

TMetafileCanvas::~TMetafileCanvas()
{
    try {
        Finish();
    } catch (...) {
        // A destructor cannot report; Finish() called explicitly does.
    }
    SetHandle(nullptr);
}

void TMetafileCanvas::Finish()
{
    if (FDone)
        return;
    FDone = true;
    SetHandle(nullptr);
    FMetafile.SetData(FDC->Finish());
}

} // namespace lp
