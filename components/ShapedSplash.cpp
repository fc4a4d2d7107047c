#include "components/ShapedSplash.h"

#include "components/FormFactory.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QEventLoop>
#include <QtCore/QFileInfo>
#include <QtCore/QPointer>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>

#include <algorithm>

namespace lp {

TSplashEnvironment& SplashEnvironment()
{
    static TSplashEnvironment Environment{
        [] { return QCoreApplication::arguments().mid(1); },
        [] { return QCoreApplication::applicationFilePath(); },
        [] {
            const QScreen* Screen = QGuiApplication::primaryScreen();
            return Screen ? Screen->geometry().size() : QSize(0, 0);
        },
        [] {
            const QScreen* Screen = QGuiApplication::primaryScreen();
            return Screen ? Screen->depth() : 32;
        },
    };
    return Environment;
}

bool HasNoSplashSwitch(const QStringList& Parameters)
{
    return std::any_of(Parameters.begin(), Parameters.end(), [](const QString& Parameter) {
        const QString Lower = Parameter.toLower();
        return Lower == QLatin1String("-ns") || Lower == QLatin1String("/ns");
    });
}

namespace {

bool SplashSuppressed()
{
    const auto& Parameters = SplashEnvironment().Parameters;
    return Parameters && HasNoSplashSwitch(Parameters());
}

bool Empty(const TPicture& Picture)
{
    return !Picture.Graphic() || Picture.Graphic()->Empty();
}

} // namespace

TuiSplash::TuiSplash(TComponent* AOwner)
    : TComponent(AOwner), FAnimateShow(std::make_unique<TuiAnimateWin>()),
      FAnimateHide(std::make_unique<TuiAnimateWin>()), FPicture(std::make_unique<TPicture>()),
      FPictureVGA(std::make_unique<TPicture>())
{
    FAnimateShow->OnChange = [this](TuiAnimateWin* Animation) { AnimationChanged(Animation); };
    FAnimateHide->OnChange = [this](TuiAnimateWin* Animation) { AnimationChanged(Animation); };
}

TuiSplash::~TuiSplash()
{
    if (!IsDesigning() && FAutoShowOnDestroy && FDuration != 0 && !SplashSuppressed()) {
        try {
            Show();
            // Wait, handling messages, until the window has closed.
            while (FForm)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        } catch (const std::exception& Error) {
            Application().HandleException(Error);
        }
    }
    if (FForm) {
        FForm->OnShow = nullptr;
        FForm->OnHide = nullptr;
    }
}

void TuiSplash::SetBevelWidth(int Value)
{
    FBevelWidth = std::clamp(Value, 0, 65535);
}

void TuiSplash::SetDuration(int Value)
{
    FDuration = std::clamp(Value, 0, 65535);
}

void TuiSplash::SetShapeForm(bool Value)
{
    if (FShapeForm == Value)
        return;
    FShapeForm = Value;
    if (!Value)
        return;
    // A shaped window blends: the other effects cut the window themselves.
    for (TuiAnimateWin* Animation : {FAnimateShow.get(), FAnimateHide.get()}) {
        const TuiAnimEffect Effect = Animation->Effect();
        if (Effect == TuiAnimateWin::aweRoll || Effect == TuiAnimateWin::aweSlide ||
            Effect == TuiAnimateWin::aweCenter)
            Animation->SetEffect(TuiAnimateWin::aweBlend);
    }
}

void TuiSplash::AnimationChanged(TuiAnimateWin* Animation)
{
    const TuiAnimEffect Effect = Animation->Effect();
    if (Effect == TuiAnimateWin::aweRoll || Effect == TuiAnimateWin::aweSlide || Effect == TuiAnimateWin::aweCenter)
        FShapeForm = false;
}

void TuiSplash::SetAutoShow(bool Value)
{
    FAutoShow = Value;
    if (Value && Owner() && Owner()->IsLoading() && !IsDesigning() && !SplashSuppressed())
        Show();
}

void TuiSplash::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FForm)
        FForm = nullptr;
}

void TuiSplash::ChoosePicture(TuisfSplash& Form) const
{
    TPicture& Image = Form.imgSplash();
    if (FAllowLocalBmp && SplashEnvironment().ProgramFile) {
        const QFileInfo Program(SplashEnvironment().ProgramFile());
        const QString Local = Program.path() + QLatin1Char('/') + Program.completeBaseName() + QStringLiteral(".bmp");
        if (QFileInfo::exists(Local)) {
            // A local bitmap that cannot be read leaves the stored pictures.
            try {
                TBitmap Bitmap;
                Bitmap.LoadFromFile(Local);
                Image.SetGraphic(&Bitmap);
            } catch (const Exception&) {
                Image.Assign(nullptr);
            }
        }
    }
    if (!Empty(Image))
        return;
    const bool LowColour = SplashEnvironment().ScreenBitsPerPixel && SplashEnvironment().ScreenBitsPerPixel() < 9;
    if (LowColour && !Empty(*FPictureVGA))
        Image.Assign(FPictureVGA.get());
    else
        Image.Assign(Empty(*FPicture) ? FPictureVGA.get() : FPicture.get());
}

void TuiSplash::Show()
{
    if (Empty(*FPicture) && Empty(*FPictureVGA))
        throw Exception("Picture required");
    if (FForm)
        return;
    TForm* Made = TuiFormFactory::Instance().CreateForm(QStringLiteral("TuisfSplash"), this);
    FForm = Made ? qobject_cast<TuisfSplash*>(Made) : new TuisfSplash(this);
    if (!FForm) { // a registered class that is not a splash form
        delete Made;
        FForm = new TuisfSplash(this);
    }
    TuisfSplash& Form = *FForm;
    Form.OnShow = [this](TForm* Shown) { FormShown(Shown); };
    Form.OnHide = [this](TForm* Hidden) { FormHidden(Hidden); };
    Form.SetFormStyle(FStayOnTop ? TForm::fsStayOnTop : TForm::fsNormal);
    Form.tmrClose().SetInterval(FDuration);
    Form.SetHideOnClick(FHideOnClick);
    Form.pnlSplash().SetBevelWidth(std::max(FBevelWidth, 1));
    if (FBevelWidth == 0)
        Form.pnlSplash().SetBevelOuter(bvNone);
    ChoosePicture(Form);
    if (FShapeForm) {
        Form.uiShapeForm1().SetTolerance(FShapeTolerance);
        Form.uiShapeForm1().Picture().Assign(&Form.imgSplash());
        Form.uiShapeForm1().SetVisible(true);
    } else
        Form.pnlSplash().SetVisible(true);
    const int Width = Form.imgSplash().Width() + 2 * FBevelWidth;
    const int Height = Form.imgSplash().Height() + 2 * FBevelWidth;
    const QSize Screen = SplashEnvironment().ScreenSize ? SplashEnvironment().ScreenSize() : QSize(0, 0);
    Form.SetPosition(TForm::poDesigned);
    Form.SetBounds((Screen.width() - Width) / 2, (Screen.height() - Height) / 2, Width, Height);
    if (FShowModal) {
        if (FDuration == 0)
            Form.tmrClose().SetInterval(5000);
        Form.ShowModal();
    } else {
        Form.Show();
        QCoreApplication::processEvents();
    }
}

void TuiSplash::Hide()
{
    if (FForm)
        FForm->Close();
}

void TuiSplash::FormShown(TForm* Form)
{
    if (FAnimateShow->Effect() != TuiAnimateWin::aweNone && FAnimateShow->Animate(Form->Widget(), false))
        Form->Repaint();
    if (OnShow)
        OnShow(this);
}

void TuiSplash::FormHidden(TForm* Form)
{
    if (FAnimateHide->Effect() != TuiAnimateWin::aweNone)
        FAnimateHide->Animate(Form->Widget(), true);
    if (Form->HandleAllocated())
        Form->Widget()->hide();
    if (OnHide)
        OnHide(this);
    if (Form == FForm)
        FForm = nullptr;
}

} // namespace lp
