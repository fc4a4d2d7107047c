// Glyph lists, the glyph cache and the state images of button glyphs.

#include "components/PictureButton_p.h"

#include "platform/graphics/Bitmap.h"

#include <algorithm>
#include <map>

namespace lp {

// --- TuiGlyphList -----------------------------------------------------------------------------

TuiGlyphList::TuiGlyphList(int AWidth, int AHeight, TComponent* AOwner) : TCustomImageList(AWidth, AHeight, AOwner)
{
}

TuiGlyphList::~TuiGlyphList() = default;

bool TuiGlyphList::Used(int Index) const
{
    return Index >= 0 && Index < static_cast<int>(FUsed.size()) && FUsed[static_cast<size_t>(Index)];
}

int TuiGlyphList::AddMasked(const QImage& Image, TColor MaskColor)
{
    if (Image.width() < Width() || Image.height() < Height())
        throw EInvalidOperation("Invalid image size");
    const auto Free = std::find(FUsed.begin(), FUsed.end(), false);
    int Index = static_cast<int>(Free - FUsed.begin());
    if (Free == FUsed.end()) {
        Index = TCustomImageList::AddMasked(Image, MaskColor);
        FUsed.push_back(true);
    } else {
        if (!Replace(Index, Image, MaskColor))
            throw EInvalidOperation("Unable to Replace Image");
        FUsed[static_cast<size_t>(Index)] = true;
    }
    ++FCount;
    return Index;
}

void TuiGlyphList::Delete(int Index)
{
    // The slot is only marked free: the other images keep their indexes.
    if (!Used(Index))
        return;
    FUsed[static_cast<size_t>(Index)] = false;
    --FCount;
}

// --- The glyph cache --------------------------------------------------------------------------

namespace {

using TGlyphCache = std::map<std::pair<int, int>, std::unique_ptr<TuiGlyphList>>;

std::unique_ptr<TGlyphCache>& GlyphCache()
{
    static std::unique_ptr<TGlyphCache> Cache;
    return Cache;
}

} // namespace

TuiGlyphList& GlyphListFor(int Width, int Height)
{
    auto& Cache = GlyphCache();
    if (!Cache)
        Cache = std::make_unique<TGlyphCache>();
    auto& List = (*Cache)[{Width, Height}];
    if (!List)
        List = std::make_unique<TuiGlyphList>(Width, Height);
    return *List;
}

void ReleaseGlyphList(TuiGlyphList& List)
{
    auto& Cache = GlyphCache();
    if (!Cache || List.Count() > 0)
        return;
    Cache->erase({List.Width(), List.Height()});
    if (Cache->empty())
        Cache.reset();
}

int GlyphListCount()
{
    const auto& Cache = GlyphCache();
    return Cache ? static_cast<int>(Cache->size()) : 0;
}

// --- TuiButtonGlyph ---------------------------------------------------------------------------

namespace {

constexpr TColor kNonBitmapTransparent = 0xFF00FF;

QRgb Rgb(TColor Color)
{
    return ToQColor(ColorToRGB(Color)).rgb();
}

// Image over a face of Color: an opaque picture.
QImage OnFace(const QImage& Image, TColor Color)
{
    QImage Face(Image.size(), QImage::Format_ARGB32);
    Face.fill(Rgb(Color));
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            if (qAlpha(Image.pixel(x, y)) != 0)
                Face.setPixel(x, y, Image.pixel(x, y) | 0xFF000000);
    return Face;
}

} // namespace

TuiButtonGlyph::TuiButtonGlyph() = default;

TuiButtonGlyph::~TuiButtonGlyph()
{
    Invalidate();
}

void TuiButtonGlyph::SetPicture(const TPicture* Picture)
{
    Invalidate();
    const TGraphic* Graphic = Picture ? Picture->Graphic() : nullptr;
    FSource = Graphic && !Graphic->Empty() ? Graphic->ToImage().convertToFormat(QImage::Format_RGB32) : QImage();
    const auto* Bitmap = qobject_cast<const TBitmap*>(Graphic);
    FSourceIsBitmap = Bitmap != nullptr;
    FSourceTransparent = Bitmap && !Bitmap->Empty() ? ColorToRGB(Bitmap->TransparentColor()) : kNonBitmapTransparent;
}

void TuiButtonGlyph::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    Invalidate();
    FColor = Value;
}

void TuiButtonGlyph::SetTransparentColor(TColor Value)
{
    Invalidate();
    FTransparentColor = Value;
    FTransparentSet = true;
}

void TuiButtonGlyph::SetNumGlyphs(int Value)
{
    Value = std::clamp(Value, 1, 5);
    if (FNumGlyphs == Value)
        return;
    Invalidate();
    FNumGlyphs = Value;
}

void TuiButtonGlyph::SetHighlight(TuiPicBtn::TuiGlyphHighlight Value)
{
    Invalidate();
    FHighlight = Value;
}

void TuiButtonGlyph::SetImages(TCustomImageList* Value)
{
    Invalidate();
    FImages = Value;
}

void TuiButtonGlyph::SetImageIndex(int Value)
{
    Invalidate();
    FImageIndex = Value;
}

TColor TuiButtonGlyph::TransparentColor() const
{
    return FTransparentSet ? FTransparentColor : FSourceTransparent;
}

bool TuiButtonGlyph::UsesImageList() const
{
    return FImages && FImageIndex >= 0 && FImageIndex < FImages->Count();
}

bool TuiButtonGlyph::HasPicture() const
{
    return UsesImageList() || !FSource.isNull();
}

TPoint TuiButtonGlyph::Size() const
{
    if (UsesImageList())
        return {FImages->Width(), FImages->Height()};
    if (FSource.isNull())
        return {0, 0};
    return {FSource.width() / FNumGlyphs, FSource.height()};
}

QImage TuiButtonGlyph::Slice(int Index) const
{
    if (UsesImageList())
        return FImages->Image(FImageIndex).convertToFormat(QImage::Format_ARGB32);
    const TPoint G = Size();
    if (Index >= FNumGlyphs)
        Index = 0;
    QImage Result = FSource.copy(Index * G.X, 0, G.X, G.Y).convertToFormat(QImage::Format_ARGB32);
    const QRgb Key = Rgb(TransparentColor()) & 0xFFFFFF;
    for (int y = 0; y < Result.height(); ++y) {
        auto* Row = reinterpret_cast<QRgb*>(Result.scanLine(y));
        for (int x = 0; x < Result.width(); ++x)
            if ((Row[x] & 0xFFFFFF) == Key)
                Row[x] = 0;
    }
    return Result;
}

int TuiButtonGlyph::Build(TState State)
{
    const TPoint G = Size();
    if (G.X <= 0 || G.Y <= 0)
        return -1;
    const int Glyphs = UsesImageList() ? 1 : FNumGlyphs;
    if (State == TuiPicBtn::gsDown && Glyphs < 3)
        State = TuiPicBtn::gsHot;
    int& Index = FIndexes[static_cast<size_t>(State)];
    if (Index >= 0)
        return Index;
    QImage Image;
    switch (State) {
    case TuiPicBtn::gsUp: {
        const QImage Hot = Slice(TuiPicBtn::gsHot);
        Image = OnFace(Slice(TuiPicBtn::gsUp), FColor);
        if (FHighlight == TuiPicBtn::aghGray) {
            for (int y = 0; y < Image.height(); ++y)
                for (int x = 0; x < Image.width(); ++x) {
                    const int R = qRed(Image.pixel(x, y));
                    Image.setPixel(x, y, qRgb(R, R, R));
                }
        } else if (FHighlight == TuiPicBtn::aghFade || FHighlight == TuiPicBtn::aghDarken) {
            const QRgb Face = Rgb(FColor), Light = Rgb(clHighlight);
            Image.fill(Face);
            for (int y = 0; y < Hot.height(); ++y)
                for (int x = 0; x < Hot.width(); ++x) {
                    const QRgb P = Hot.pixel(x, y);
                    if (qAlpha(P) == 0)
                        continue;
                    if (FHighlight == TuiPicBtn::aghFade) // a quarter of the highlight colour
                        Image.setPixel(x, y, qRgb((3 * qRed(P) + qRed(Light)) / 4, (3 * qGreen(P) + qGreen(Light)) / 4,
                                                  (3 * qBlue(P) + qBlue(Light)) / 4));
                    else
                        Image.setPixel(x, y, (P & Face) | 0xFF000000);
                }
        }
        break;
    }
    case TuiPicBtn::gsDisabled: {
        Image = QImage(G.X, G.Y, QImage::Format_ARGB32);
        Image.fill(Rgb(FColor));
        if (Glyphs == 1) {
            // Embossed: every pixel that is not transparent, white or silver.
            const QImage Source = Slice(TuiPicBtn::gsUp);
            auto Marked = [&](int x, int y) {
                const QRgb P = Source.pixel(x, y);
                const QRgb C = P & 0xFFFFFF;
                return qAlpha(P) != 0 && C != 0xFFFFFF && C != 0xC0C0C0;
            };
            for (int y = 0; y < G.Y; ++y)
                for (int x = 0; x < G.X; ++x)
                    if (Marked(x, y) && x + 1 < G.X && y + 1 < G.Y)
                        Image.setPixel(x + 1, y + 1, Rgb(clBtnHighlight));
            for (int y = 0; y < G.Y; ++y)
                for (int x = 0; x < G.X; ++x)
                    if (Marked(x, y))
                        Image.setPixel(x, y, Rgb(clBtnShadow));
        } else {
            const QImage Source = Slice(TuiPicBtn::gsDisabled);
            for (int y = 0; y < G.Y; ++y)
                for (int x = 0; x < G.X; ++x) {
                    const QRgb P = Source.pixel(x, y);
                    if (qAlpha(P) == 0)
                        continue;
                    const QRgb C = P & 0xFFFFFF;
                    Image.setPixel(x, y, C == 0xFFFFFF ? Rgb(clBtnHighlight) : C == 0x808080 ? Rgb(clBtnShadow) : P);
                }
        }
        break;
    }
    default: Image = Slice(State); break;
    }
    if (!FList)
        FList = &GlyphListFor(G.X, G.Y);
    Index = FList->AddMasked(Image, clNone);
    return Index;
}

QImage TuiButtonGlyph::StateImage(TState State)
{
    const int Index = Build(State);
    return Index >= 0 ? FList->Image(Index) : QImage();
}

void TuiButtonGlyph::Draw(TCanvas& Canvas, int X, int Y, TState State)
{
    const int Index = Build(State);
    if (Index < 0)
        return;
    if (State == TuiPicBtn::gsExclusive)
        FList->Draw(Canvas, X, Y, Index, TCustomImageList::dsTransparent);
    else
        FList->Draw(Canvas, X, Y, Index, TCustomImageList::dsNormal, FColor);
}

void TuiButtonGlyph::Invalidate()
{
    if (!FList)
        return;
    for (int& Index : FIndexes) {
        if (Index >= 0)
            FList->Delete(Index); // a shared index is freed once: Delete ignores free slots
        Index = -1;
    }
    ReleaseGlyphList(*FList);
    FList = nullptr;
}

} // namespace lp
