#pragma once
// An image list: images of one size kept side by side, each with its own
// transparency, drawn by index.
//
// Images are stored with an alpha channel: a masked add makes the pixels of
// the mask colour transparent. Controls that show a list's images register
// for its changes and drop what they cached from it.

#include "platform/core/Component.h"
#include "platform/graphics/Canvas.h"

#include <QtGui/QImage>

#include <functional>
#include <map>
#include <vector>

namespace lp {

class TCustomImageList : public TComponent {
    Q_OBJECT
public:
    enum TDrawingStyle { dsNormal, dsTransparent };
    Q_ENUM(TDrawingStyle)

    // 16 x 16 unless given.
    explicit TCustomImageList(TComponent* AOwner = nullptr);
    TCustomImageList(int AWidth, int AHeight, TComponent* AOwner = nullptr);
    ~TCustomImageList() override;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Setting a size clears the list.
    void SetSize(int AWidth, int AHeight);
    int Count() const { return static_cast<int>(FImages.size()); }

    // Adds the top-left Width x Height of Image, pixels of MaskColor
    // transparent (clNone: none), and answers its index. A smaller image
    // raises EInvalidOperation "Invalid image size".
    int AddMasked(const QImage& Image, TColor MaskColor);
    // Replaces image Index; false when Index is not in the list or the
    // image is smaller than the list's size.
    bool Replace(int Index, const QImage& Image, TColor MaskColor);
    // Removes image Index (the later ones move down); ERangeError outside.
    void Delete(int Index);
    void Clear();
    // The image with its transparency; ERangeError outside the list.
    const QImage& Image(int Index) const;

    // Draws image Index at (X, Y): dsNormal over a fill of Background
    // (clNone: no fill), dsTransparent over what is there. Outside the list
    // nothing is drawn.
    void Draw(TCanvas& Canvas, int X, int Y, int Index, TDrawingStyle Style = dsTransparent,
              TColor Background = clNone) const;

    // Change links: Changed calls every registered function.
    void RegisterChanges(const void* Key, std::function<void()> OnChange);
    void UnRegisterChanges(const void* Key);

protected:
    void Changed();
    // Makes an image of the list's size from Image (ERangeError-free).
    QImage Prepare(const QImage& Image, TColor MaskColor) const;
    std::vector<QImage> FImages;

private:
    int FWidth = 16;
    int FHeight = 16;
    std::map<const void*, std::function<void()>> FLinks;
};

} // namespace lp
