#include "components/SplashForm.h"

#include "components/FormFactory.h"

namespace lp {

TuisfSplash::TuisfSplash(TComponent* AOwner)
    : TForm(AOwner), FShape(new TuiShapeForm(this)), FPanel(new TuiCustomEdgePanel(this)),
      FImage(std::make_unique<TPicture>()), FTimer(new TTimer(this))
{
    SetBorderStyle(bsNone);
    SetPosition(poScreenCenter);
    FShape->SetVisible(false);
    FPanel->SetVisible(false);
    FPanel->SetBevelWidth(3);
    FImage->OnChange = [this](TPicture*) { Invalidate(); };
    FTimer->SetEnabled(false);
    FTimer->SetInterval(100);
    FTimer->OnTimer = [this](TTimer*) {
        FTimer->SetEnabled(false);
        Close();
    };
}

TuisfSplash::~TuisfSplash() = default;

void TuisfSplash::Resize()
{
    TForm::Resize();
    FPanel->SetBounds(0, 0, Width(), Height());
    FShape->SetBounds(0, 0, Width(), Height());
}

void TuisfSplash::Paint(TCanvas& Canvas)
{
    TForm::Paint(Canvas);
    if (FShape->Visible()) {
        FShape->Paint(Canvas);
        return;
    }
    if (!FPanel->Visible())
        return;
    FPanel->Paint(Canvas);
    if (const TGraphic* Graphic = FImage->Graphic(); Graphic && !Graphic->Empty()) {
        int Inset = FPanel->BorderWidth();
        if (FPanel->BevelOuter() != bvNone)
            Inset += FPanel->BevelWidth();
        if (FPanel->BevelInner() != bvNone)
            Inset += FPanel->BevelWidth();
        Canvas.Draw(Inset, Inset, Graphic);
    }
}

void TuisfSplash::Activate()
{
    TForm::Activate();
    if (FTimer->Interval() != 0)
        FTimer->SetEnabled(true);
}

void TuisfSplash::DoClose(TCloseAction& Action)
{
    Action = caFree;
    TForm::DoClose(Action);
}

int TuisfSplash::DefaultHitTest(int, int) const
{
    return HTCAPTION;
}

void TuisfSplash::NonClientMouseDown(int X, int Y)
{
    if (FHideOnClick)
        Close();
    else
        TForm::NonClientMouseDown(X, Y);
}

void RegisterSplashForm()
{
    TuiFormFactory::Instance().RegisterForm<TuisfSplash>();
}

void UnregisterSplashForm()
{
    TuiFormFactory::Instance().Unregister(QStringLiteral("TuisfSplash"));
}

} // namespace lp
