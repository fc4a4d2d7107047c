#include "platform/ui/ImageList.h"


namespace lp {

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::TCustomImageList(int AWidth, int AHeight, TComponent* AOwner)
    : TComponent(AOwner), FWidth(std::max(AWidth, 1)), FHeight(std::max(AHeight, 1))
{
}

TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::SetSize(int AWidth, int AHeight)
{
    FWidth = std::max(AWidth, 1);
    FHeight = std::max(AHeight, 1);
    FImages.clear();
    Changed();
}

QImage TCustomImageList::Prepare(const QImage& Image, TColor MaskColor) const
{
    QImage Result = Image.copy(0, 0, FWidth, FHeight).convertToFormat(QImage::Format_ARGB32);
    if (MaskColor != clNone) {
        const QRgb Mask = ToQColor(ColorToRGB(MaskColor)).rgb() & 0xFFFFFF;
        for (int y = 0; y < Result.height(); ++y) {
            auto* Row = reinterpret_cast<QRgb*>(Result.scanLine(y));
            for (int x = 0; x < Result.width(); ++x)
                if ((Row[x] & 0xFFFFFF) == Mask)
                    Row[x] = 0;
        }
    }
    return Result;
}

int TCustomImageList::AddMasked(const QImage& Image, TColor MaskColor)
{
    if (Image.width() < FWidth || Image.height() < FHeight)
        throw EInvalidOperation("Invalid image size");
    FImages.push_back(Prepare(Image, MaskColor));
    Changed();
    return Count() - 1;
}

bool TCustomImageList::Replace(int Index, const QImage& Image, TColor MaskColor)
{
    if (Index < 0 || Index >= Count() || Image.width() < FWidth || Image.height() < FHeight)
        return false;
    FImages[static_cast<size_t>(Index)] = Prepare(Image, MaskColor);
    Changed();
    return true;
}

void TCustomImageList::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    FImages.erase(FImages.begin() + Index);
    Changed();
}

void TCustomImageList::Clear()
{
    FImages.clear();
    Changed();
}

const QImage& TCustomImageList::Image(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    return FImages[static_cast<size_t>(Index)];
}

void TCustomImageList::Draw(TCanvas& Canvas, int X, int Y, int Index, TDrawingStyle Style, TColor Background) const
{
    if (Index < 0 || Index >= Count())
        return;
    if (Style == dsNormal && Background != clNone) {
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(Background);
        Canvas.FillRect({X, Y, X + FWidth, Y + FHeight});
    }
    // The device keys transparency by colour: the transparent pixels take
    // a colour that no opaque pixel has.
    const QImage& Source = FImages[static_cast<size_t>(Index)];
    QImage Keyed = Source.convertToFormat(QImage::Format_RGB32);
    std::vector<bool> Used(64, false);
    for (int y = 0; y < Source.height(); ++y)
        for (int x = 0; x < Source.width(); ++x)
            if (qAlpha(Source.pixel(x, y)) != 0 && (Source.pixel(x, y) & 0xFFFF00) == 0xFF0000)
                Used[static_cast<size_t>(Source.pixel(x, y) & 0x3F)] = true;
    int Free = 0;
    while (Free < 63 && Used[static_cast<size_t>(Free)])
        ++Free;
    const QRgb Key = qRgb(255, 0, Free);
    for (int y = 0; y < Source.height(); ++y)
        for (int x = 0; x < Source.width(); ++x)
            if (qAlpha(Source.pixel(x, y)) == 0)
                Keyed.setPixel(x, y, Key);
    Canvas.Handle().DrawImage({X, Y, X + FWidth, Y + FHeight}, Keyed, FromQColor(QColor(Key)));
}

void TCustomImageList::RegisterChanges(const void* Key, std::function<void()> OnChange)
{
    FLinks[Key] = std::move(OnChange);
}

void TCustomImageList::UnRegisterChanges(const void* Key)
{
    FLinks.erase(Key);
}

void TCustomImageList::Changed()
{
    // A handler may unregister itself: walk a copy.
    const auto Links = FLinks;
    for (const auto& [Key, OnChange] : Links)
        if (OnChange)
            OnChange();
}

} // namespace lp
