#pragma once
// Cutting a form to the shape of a picture.
//
// BitmapToRegion turns the opaque pixels of a bitmap (those not within the
// tolerance of its transparent colour) into a region, row by row, one
// rectangle per run, combined in batches of 2000 rectangles. TuiShapeForm,
// placed on a form, keeps a copy of its picture, sizes the form to it,
// gives the form's window that region and, if asked, lets the user drag
// the form from anywhere (or from one control).

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Forms.h"

#include <memory>
#include <optional>

namespace lp {

// Rectangles per region batch.
inline constexpr int kRegionBatch = 2000;

// The region of the pixels whose red, green or blue lies outside
// transparent colour ± Tolerance (per channel, clamped to 0 … 255), moved
// by Offset; none when no pixel is opaque. Batches, when given, receives
// the number of region batches combined.
std::optional<TRegion> BitmapToRegion(const TBitmap& Bitmap, TColor Tolerance, TPoint Offset = {0, 0},
                                      int* Batches = nullptr);

class TuiShapeForm : public TControl {
    Q_OBJECT
    Q_PROPERTY(bool DragAnywhere READ DragAnywhere WRITE SetDragAnywhere)
    Q_CLASSINFO("default:DragAnywhere", "false")
    Q_PROPERTY(int Tolerance READ Tolerance WRITE SetTolerance)
    Q_CLASSINFO("default:Tolerance", "0x101010")

public:
    // AOwner must be a form: else Exception "This component must be owned
    // by a TForm". Chains its hit test in front of the form's (not in the
    // designer).
    explicit TuiShapeForm(TComponent* AOwner);
    ~TuiShapeForm() override;

    bool DragAnywhere() const { return FDragAnywhere; }
    void SetDragAnywhere(bool Value) { FDragAnywhere = Value; }
    // A control to drag the form by (observed); setting one turns
    // DragAnywhere off.
    TControl* DragControl() const { return FDragControl; }
    void SetDragControl(TControl* Value);
    // Copied into the shape bitmap when it changes.
    TPicture& Picture() const { return *FPicture; }
    TColor Tolerance() const { return FTolerance; }
    void SetTolerance(TColor Value);
    const TBitmap& ShapeBitmap() const { return *FBitmap; }
    TForm& Form() const { return *FForm; }

    // Gives the form's window the shape (enabled) or its whole rectangle.
    void ApplyShape();

    void Paint(TCanvas& Canvas) override;

protected:
    void EnabledChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void PictureChanged();
    int HitTest(int X, int Y) const;

    TForm* FForm;
    TForm::THitTestProc FPreviousHitTest;
    bool FHooked = false;
    bool FDragAnywhere = false;
    TControl* FDragControl = nullptr;
    std::unique_ptr<TPicture> FPicture;
    std::unique_ptr<TBitmap> FBitmap;
    TColor FTolerance = 0x101010;
};

} // namespace lp
