#pragma once
// Point series that draw a picture at each point instead of a pointer
// shape: one picture for every point (TImagePointSeries), or one of three
// by whether the value rose, fell or stayed against the point before
// (TDeltaPointSeries).
//
//   TPointSeries
//     └─ TCustomImagePointSeries   the point picture, ImageTransparent,
//          │                       OnGetImage; the picture sized to the
//          │                       pointer (HorizSize x VertSize)
//          ├─ TImagePointSeries    ImagePoint ("PlotDefaultImage")
//          └─ TDeltaPointSeries    EqualImage, GreaterImage, LowerImage
//
// Without a picture the normal pointer is drawn. A picture of exactly the
// pointer's size is drawn unscaled, any other is stretched to it.

#include "chart/engine/PlotSeries.h"
#include "platform/graphics/Picture.h"

#include <functional>
#include <memory>

namespace lp {

class TCustomImagePointSeries : public TPointSeries {
    Q_OBJECT
public:
    explicit TCustomImagePointSeries(TComponent* AOwner = nullptr);
    ~TCustomImagePointSeries() override;

    void DrawValue(int ValueIndex) override;
    void PrepareForGallery(bool IsEnabled) override;

    bool ImageTransparent() const { return FImageTransparent; }
    void SetImageTransparent(bool Value) { SetBooleanProperty(FImageTransparent, Value); }

    // Called before a point's picture is drawn; it may change the picture.
    std::function<void(TCustomImagePointSeries* Sender, int ValueIndex, TPicture* Picture)> OnGetImage;

protected:
    TPicture* PointImage() const { return FPointImage.get(); }
    // Sets the pointer's sizes to the picture's, where they are positive.
    void SizePointerTo(const TPicture& Picture, bool Repainting);

private:
    std::unique_ptr<TPicture> FPointImage;
    bool FImageTransparent = false;
};

class TImagePointSeries : public TCustomImagePointSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TPicture* ImagePoint READ ImagePoint WRITE SetImagePoint)
    Q_PROPERTY(bool ImageTransparent READ ImageTransparent WRITE SetImageTransparent)
    Q_CLASSINFO("default:ImageTransparent", "true")

public:
    // The "PlotDefaultImage" picture, transparent, the pointer its size.
    explicit TImagePointSeries(TComponent* AOwner = nullptr);
    TImagePointSeries(TComponent* AOwner, const TPicture* APicture);

    TPicture* ImagePoint() const { return PointImage(); }
    // Also sizes the pointer to the picture.
    void SetImagePoint(const TPicture* Value);
};

class TDeltaPointSeries : public TCustomImagePointSeries {
    Q_OBJECT
public:
    enum TDeltaImageStyle { disSmiles, disHands };
    Q_ENUM(TDeltaImageStyle)

private:
    Q_PROPERTY(lp::TPicture* EqualImage READ EqualImage WRITE SetEqualImage)
    Q_PROPERTY(lp::TPicture* GreaterImage READ GreaterImage WRITE SetGreaterImage)
    Q_PROPERTY(TDeltaImageStyle ImageStyle READ ImageStyle WRITE SetImageStyle)
    Q_CLASSINFO("default:ImageStyle", "disSmiles")
    Q_PROPERTY(bool ImageTransparent READ ImageTransparent WRITE SetImageTransparent)
    Q_CLASSINFO("default:ImageTransparent", "false")
    Q_PROPERTY(lp::TPicture* LowerImage READ LowerImage WRITE SetLowerImage)

public:
    explicit TDeltaPointSeries(TComponent* AOwner = nullptr);
    ~TDeltaPointSeries() override;

    // The picture of the point: equal for the first point, else greater,
    // lower or equal as its value compares with the previous point's.
    const TPicture* DeltaImage(int ValueIndex) const;
    void DrawValue(int ValueIndex) override;

    TPicture* EqualImage() const { return FEqualImage.get(); }
    void SetEqualImage(const TPicture* Value) { FEqualImage->Assign(Value); }
    TPicture* GreaterImage() const { return FGreaterImage.get(); }
    void SetGreaterImage(const TPicture* Value) { FGreaterImage->Assign(Value); }
    TPicture* LowerImage() const { return FLowerImage.get(); }
    void SetLowerImage(const TPicture* Value) { FLowerImage->Assign(Value); }
    TDeltaImageStyle ImageStyle() const { return FImageStyle; }
    // Reloads the three pictures: smiles or hands.
    void SetImageStyle(TDeltaImageStyle Value);

private:
    std::unique_ptr<TPicture> FEqualImage;
    std::unique_ptr<TPicture> FGreaterImage;
    TDeltaImageStyle FImageStyle = disSmiles;
    std::unique_ptr<TPicture> FLowerImage;
};

using TDeltaImageStyle = TDeltaPointSeries::TDeltaImageStyle;

// "ImagePoint" and "DeltaPoint" on the "Other" gallery page; the
// unregistering undoes it.
void RegisterImagePointSeries();
void UnregisterImagePointSeries();

} // namespace lp
