// The image point and delta point series.

#include "chart/extensions/shapes/PlotImagePoint.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/extensions/shapes/PlotImages.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/PropertyInfo.h"

#include <QtCore/QScopeGuard>

#include <utility>

namespace lp {

// --- TCustomImagePointSeries --------------------------------------------------------------------

TCustomImagePointSeries::TCustomImagePointSeries(TComponent* AOwner)
    : TPointSeries(AOwner), FPointImage(std::make_unique<TPicture>())
{
    FPointImage->OnChange = [this](TPicture* Sender) { CanvasChanged(Sender); };
}

TCustomImagePointSeries::~TCustomImagePointSeries()
{
    FPointImage->OnChange = nullptr;
}

void TCustomImagePointSeries::SizePointerTo(const TPicture& Picture, bool Repainting)
{
    TSeriesPointer& P = *Pointer();
    if (Picture.Width() > 0)
        Repainting ? P.SetHorizSize(Picture.Width()) : P.ChangeHorizSize(Picture.Width());
    if (Picture.Height() > 0)
        Repainting ? P.SetVertSize(Picture.Height()) : P.ChangeVertSize(Picture.Height());
}

void TCustomImagePointSeries::DrawValue(int ValueIndex)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!FPointImage->Graphic()) {
        TPointSeries::DrawValue(ValueIndex);
        return;
    }
    if (!Chart || IsNull(ValueIndex))
        return;
    if (OnGetImage)
        OnGetImage(this, ValueIndex, FPointImage.get());
    TGraphic* Graphic = FPointImage->Graphic();
    if (!Graphic)
        return;
    const int W = Pointer()->HorizSize();
    const int H = Pointer()->VertSize();
    const int X = CalcXPos(ValueIndex) - W / 2;
    const int Y = CalcYPos(ValueIndex) - H / 2;
    Graphic->SetTransparent(FImageTransparent);
    TPlotCanvas3D& Canvas = Chart->Canvas();
    const TRect R = Canvas.CalculateRect3D({X, Y, X + W, Y + H}, DepthStart());
    if (Graphic->Width() == R.Width() && Graphic->Height() == R.Height())
        Canvas.Draw(R.Left, R.Top, Graphic);
    else
        Canvas.StretchDraw(R, Graphic);
}

void TCustomImagePointSeries::PrepareForGallery(bool IsEnabled)
{
    TPointSeries::PrepareForGallery(IsEnabled);
    if (ParentChart())
        ParentChart()->View3DOptions()->SetOrthogonal(true);
}

// --- TImagePointSeries --------------------------------------------------------------------------

TImagePointSeries::TImagePointSeries(TComponent* AOwner) : TCustomImagePointSeries(AOwner)
{
    LoadPlotImage(QStringLiteral("PlotDefaultImage"), *PointImage());
    SetImageTransparent(true);
    SizePointerTo(*PointImage(), false);
    // The pointer starts at the default image's size.
    KeepStartAsDefault(*Pointer(), {"HorizSize", "VertSize"});
}

TImagePointSeries::TImagePointSeries(TComponent* AOwner, const TPicture* APicture) : TImagePointSeries(AOwner)
{
    SetImagePoint(APicture);
}

void TImagePointSeries::SetImagePoint(const TPicture* Value)
{
    PointImage()->Assign(Value);
    SizePointerTo(*PointImage(), true);
}

// --- TDeltaPointSeries --------------------------------------------------------------------------

TDeltaPointSeries::TDeltaPointSeries(TComponent* AOwner)
    : TCustomImagePointSeries(AOwner), FEqualImage(std::make_unique<TPicture>()),
      FGreaterImage(std::make_unique<TPicture>()), FLowerImage(std::make_unique<TPicture>())
{
    FImageStyle = disHands; // so that the first setting loads the smiles
    SetImageStyle(disSmiles);
    for (TPicture* P : {FEqualImage.get(), FGreaterImage.get(), FLowerImage.get()})
        P->OnChange = [this](TPicture* Sender) { CanvasChanged(Sender); };
}

TDeltaPointSeries::~TDeltaPointSeries()
{
    for (TPicture* P : {FEqualImage.get(), FGreaterImage.get(), FLowerImage.get()})
        P->OnChange = nullptr;
}

void TDeltaPointSeries::SetImageStyle(TDeltaImageStyle Value)
{
    if (FImageStyle == Value)
        return;
    FImageStyle = Value;
    const bool Hands = Value == disHands;
    LoadPlotImage(Hands ? QStringLiteral("PlotEqualHand") : QStringLiteral("PlotEqualSmile"), *FEqualImage);
    LoadPlotImage(Hands ? QStringLiteral("PlotGreaterHand") : QStringLiteral("PlotGreaterSmile"), *FGreaterImage);
    LoadPlotImage(Hands ? QStringLiteral("PlotLowerHand") : QStringLiteral("PlotLowerSmile"), *FLowerImage);
    Repaint();
}

const TPicture* TDeltaPointSeries::DeltaImage(int ValueIndex) const
{
    if (ValueIndex == 0)
        return FEqualImage.get();
    const double Value = YValues()->Value(ValueIndex);
    const double Previous = YValues()->Value(ValueIndex - 1);
    if (Value > Previous)
        return FGreaterImage.get();
    if (Value < Previous)
        return FLowerImage.get();
    return FEqualImage.get();
}

void TDeltaPointSeries::DrawValue(int ValueIndex)
{
    const TPicture* Picture = DeltaImage(ValueIndex);
    // Filled per point while drawing: no change report, no repaint.
    const auto OnChange = std::exchange(PointImage()->OnChange, nullptr);
    PointImage()->Assign(Picture);
    PointImage()->OnChange = OnChange;
    // The pointer takes the picture's size only while the point is drawn:
    // painting never changes what a saved chart holds.
    TSeriesPointer& P = *Pointer();
    const auto Restore = qScopeGuard([&P, H = P.HorizSize(), V = P.VertSize()] {
        P.ChangeHorizSize(H);
        P.ChangeVertSize(V);
    });
    SizePointerTo(*Picture, false);
    TCustomImagePointSeries::DrawValue(ValueIndex);
}

// --- Registration -------------------------------------------------------------------------------

void RegisterImagePointSeries()
{
    RegisterPlotSeries<TImagePointSeries>(&PlotMsg_GalleryImagePoint, &PlotMsg_GalleryOther, 1);
    RegisterPlotSeries<TDeltaPointSeries>(&PlotMsg_GalleryDeltaPoint, &PlotMsg_GalleryOther, 1);
}

void UnregisterImagePointSeries()
{
    const std::initializer_list<const QMetaObject*> Classes = {&TImagePointSeries::staticMetaObject,
                                                               &TDeltaPointSeries::staticMetaObject};
    UnRegisterPlotSeries(Classes);
    for (const QMetaObject* Meta : Classes)
        UnRegisterClass(TPersistent::ClassNameOf(*Meta));
}

} // namespace lp
