#pragma once
// The splash window: a borderless form that shows a picture in a bevelled
// panel, or cut to the picture's shape, closes itself when its timer runs
// out and, with HideOnClick, when it is clicked anywhere (every point is
// caption: without HideOnClick the window is dragged from anywhere).
//
// Closing frees the form (deferred until control is back in the event
// loop). The form is drawn by itself: the shape component when it is
// visible, else the panel with the picture inside its bevel.

#include "components/EdgePanel.h"
#include "components/ShapeForm.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Timer.h"

namespace lp {

class TuisfSplash : public TForm {
    Q_OBJECT
public:
    explicit TuisfSplash(TComponent* AOwner = nullptr);
    ~TuisfSplash() override;

    TuiShapeForm& uiShapeForm1() const { return *FShape; }
    TuiCustomEdgePanel& pnlSplash() const { return *FPanel; }
    // The picture of the image inside the panel.
    TPicture& imgSplash() const { return *FImage; }
    TTimer& tmrClose() const { return *FTimer; }
    bool HideOnClick() const { return FHideOnClick; }
    void SetHideOnClick(bool Value) { FHideOnClick = Value; }

    // Paints the window into another canvas (as when it is printed).
    void PaintTo(TCanvas& Canvas) { Paint(Canvas); }
    void Paint(TCanvas& Canvas) override;

protected:
    void Activate() override;
    void DoClose(TCloseAction& Action) override;
    int DefaultHitTest(int X, int Y) const override;
    void NonClientMouseDown(int X, int Y) override;
    void Resize() override;

private:
    TuiShapeForm* FShape;
    TuiCustomEdgePanel* FPanel;
    std::unique_ptr<TPicture> FImage;
    TTimer* FTimer;
    bool FHideOnClick = true;
};

// Registers the splash form with the form factory under its own name;
// the finalisation removes it.
void RegisterSplashForm();
void UnregisterSplashForm();

} // namespace lp
