#include "components/ShapeForm.h"

#include <algorithm>
#include <vector>

namespace lp {

namespace {

struct TChannelRange {
    int Low[3];
    int High[3];
};

TChannelRange RangeOf(TColor Transparent, TColor Tolerance)
{
    TChannelRange Range{};
    for (int Channel = 0; Channel < 3; ++Channel) {
        const int C = static_cast<int>((Transparent >> (8 * Channel)) & 0xFF);
        const int T = static_cast<int>((Tolerance >> (8 * Channel)) & 0xFF);
        Range.Low[Channel] = std::clamp(C - T, 0, 255);
        Range.High[Channel] = std::clamp(C + T, 0, 255);
    }
    return Range;
}

bool IsTransparent(QRgb Pixel, const TChannelRange& Range)
{
    const int Channels[3] = {qRed(Pixel), qGreen(Pixel), qBlue(Pixel)};
    for (int Channel = 0; Channel < 3; ++Channel)
        if (Channels[Channel] < Range.Low[Channel] || Channels[Channel] > Range.High[Channel])
            return false;
    return true;
}

TComponent* RequireForm(TComponent* AOwner)
{
    if (!qobject_cast<TForm*>(AOwner))
        throw Exception("This component must be owned by a TForm");
    return AOwner;
}

} // namespace

std::optional<TRegion> BitmapToRegion(const TBitmap& Bitmap, TColor Tolerance, TPoint Offset, int* Batches)
{
    if (Batches)
        *Batches = 0;
    if (Bitmap.Empty())
        return std::nullopt;
    const TChannelRange Range = RangeOf(ColorToRGB(Bitmap.TransparentColor()), Tolerance);
    const QImage Pixels = Bitmap.Image().convertToFormat(QImage::Format_RGB32);
    std::optional<TRegion> Result;
    std::vector<QRect> Rects;
    Rects.reserve(kRegionBatch);
    auto Flush = [&] {
        if (Rects.empty())
            return;
        TRegion Batch;
        Batch.setRects(Rects.data(), static_cast<int>(Rects.size()));
        Result = Result ? Result->united(Batch) : Batch;
        Rects.clear();
        if (Batches)
            ++*Batches;
    };
    for (int Y = 0; Y < Pixels.height(); ++Y) {
        const auto* Row = reinterpret_cast<const QRgb*>(Pixels.constScanLine(Y));
        int X = 0;
        while (X < Pixels.width()) {
            while (X < Pixels.width() && IsTransparent(Row[X], Range))
                ++X;
            const int X0 = X;
            while (X < Pixels.width() && !IsTransparent(Row[X], Range))
                ++X;
            if (X > X0) {
                Rects.emplace_back(X0 + Offset.X, Y + Offset.Y, X - X0, 1);
                if (static_cast<int>(Rects.size()) == kRegionBatch)
                    Flush();
            }
        }
    }
    Flush();
    return Result;
}

// --- TuiShapeForm -----------------------------------------------------------------------------

TuiShapeForm::TuiShapeForm(TComponent* AOwner)
    : TControl(RequireForm(AOwner)), FForm(static_cast<TForm*>(AOwner)), FPicture(std::make_unique<TPicture>()),
      FBitmap(std::make_unique<TBitmap>())
{
    SetAlign(TAlign::alClient);
    SetBounds(0, 0, FForm->ClientWidth(), FForm->ClientHeight());
    FPicture->OnChange = [this](TPicture*) { PictureChanged(); };
    // In the designer the form keeps its own hit test.
    if (FForm->IsDesigning())
        return;
    FPreviousHitTest = FForm->WindowHitTest();
    FForm->SetWindowHitTest([this](int X, int Y) { return HitTest(X, Y); });
    FHooked = true;
}

TuiShapeForm::~TuiShapeForm()
{
    // The form's own hit test comes back while the form stays.
    if (FHooked && !FForm->IsDestroying())
        FForm->SetWindowHitTest(FPreviousHitTest);
}

int TuiShapeForm::HitTest(int X, int Y) const
{
    if (FDragAnywhere)
        return HTCAPTION;
    if (FDragControl) {
        const TRect B = FDragControl->BoundsRect();
        if (X >= B.Left && X < B.Right && Y >= B.Top && Y < B.Bottom)
            return HTCAPTION;
    }
    return FPreviousHitTest ? FPreviousHitTest(X, Y) : HTCLIENT;
}

void TuiShapeForm::SetDragControl(TControl* Value)
{
    SetObserved(FDragControl, Value);
    if (Value)
        FDragAnywhere = false;
}

void TuiShapeForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDragControl)
        FDragControl = nullptr;
}

void TuiShapeForm::SetTolerance(TColor Value)
{
    if (FTolerance == Value)
        return;
    FTolerance = Value;
    if (Enabled())
        ApplyShape();
}

void TuiShapeForm::PictureChanged()
{
    // Unreadable or empty pictures leave an empty bitmap: the form keeps
    // its whole rectangle.
    if (FPicture->Graphic() && !FPicture->Graphic()->Empty())
        FBitmap->SetImage(FPicture->Graphic()->ToImage());
    else
        FBitmap = std::make_unique<TBitmap>();
    FBitmap->SetTransparentMode(TBitmap::tmAuto);
    if (!FBitmap->Empty() && (FForm->ClientWidth() != FBitmap->Width() || FForm->ClientHeight() != FBitmap->Height()))
        FForm->SetClientSize(FBitmap->Width(), FBitmap->Height());
    if (Enabled())
        ApplyShape();
    else
        Invalidate();
}

void TuiShapeForm::ApplyShape()
{
    if (IsLoading() || IsDesigning())
        return;
    FForm->Widget();
    FForm->SetWindowRgn(Enabled() ? BitmapToRegion(*FBitmap, FTolerance) : std::nullopt);
    FForm->Invalidate();
}

void TuiShapeForm::EnabledChanged()
{
    ApplyShape();
}

void TuiShapeForm::Paint(TCanvas& Canvas)
{
    if (IsDesigning()) {
        Canvas.Pen().SetStyle(psDash);
        Canvas.Brush().SetStyle(bsClear);
        Canvas.Rectangle(ClientRect());
    }
    if (!FBitmap->Empty())
        Canvas.Draw(0, 0, FBitmap.get());
    TControl::Paint(Canvas);
}

} // namespace lp
