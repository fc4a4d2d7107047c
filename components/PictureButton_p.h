#pragma once
// The glyph of a picture button: its source (a picture of NumGlyphs slices,
// or an image of an outside image list) and the state images built from it
// into the shared glyph list of its size.

#include "components/PictureButton.h"

#include <array>

namespace lp {

class TuiButtonGlyph {
public:
    using TState = TuiPicBtn::TuiGlyphState;

    TuiButtonGlyph();
    ~TuiButtonGlyph();
    TuiButtonGlyph(const TuiButtonGlyph&) = delete;
    TuiButtonGlyph& operator=(const TuiButtonGlyph&) = delete;

    // Any change drops the built images.
    void SetPicture(const TPicture* Picture);
    void SetColor(TColor Value);
    void SetTransparentColor(TColor Value);
    void SetNumGlyphs(int Value);
    void SetHighlight(TuiPicBtn::TuiGlyphHighlight Value);
    void SetImages(TCustomImageList* Value);
    void SetImageIndex(int Value);

    TColor TransparentColor() const;
    bool TransparentColorSet() const { return FTransparentSet; }
    int NumGlyphs() const { return FNumGlyphs; }
    TuiPicBtn::TuiGlyphHighlight Highlight() const { return FHighlight; }
    int ImageIndex() const { return FImageIndex; }
    TCustomImageList* Images() const { return FImages; }
    bool HasPicture() const;
    // Glyph size: one slice, or the outside list's image.
    TPoint Size() const;

    // The built image of a state (built now when needed); null without a
    // glyph.
    QImage StateImage(TState State);
    // Draws state State at (X, Y): over Color, or transparently for the
    // exclusive state.
    void Draw(TCanvas& Canvas, int X, int Y, TState State);
    // Drops the built images (and the glyph list when it is left empty).
    void Invalidate();

private:
    bool UsesImageList() const;
    // Slice Index of the source, with its transparency applied (alpha 0).
    QImage Slice(int Index) const;
    int Build(TState State);

    QImage FSource;            // the picture's pixels
    bool FSourceIsBitmap = false;
    TColor FSourceTransparent = clNone;
    TColor FColor = clBtnFace;
    TColor FTransparentColor = clNone;
    bool FTransparentSet = false;
    int FNumGlyphs = 1;
    TuiPicBtn::TuiGlyphHighlight FHighlight = TuiPicBtn::aghNormal;
    TCustomImageList* FImages = nullptr;
    int FImageIndex = -1;
    TuiGlyphList* FList = nullptr; // from the glyph cache
    std::array<int, 5> FIndexes{-1, -1, -1, -1, -1};
};

} // namespace lp
