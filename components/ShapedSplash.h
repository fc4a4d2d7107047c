#pragma once
// The splash: a non-visual component that shows a picture in a borderless
// window centred on the screen while the program starts, and closes it
// after Duration milliseconds or on a click.
//
//   TuiSplash ── owns ── TuisfSplash (while shown; made by the form factory)
//       │                   ├─ pnlSplash + imgSplash, or uiShapeForm1
//       │                   └─ tmrClose
//       └── AnimateShow, AnimateHide (owned), Picture, PictureVGA (owned)
//
// What the splash asks of its surroundings (command line, program file,
// screen size and depth) comes from SplashEnvironment(), which tests
// replace.

#include "components/SplashForm.h"
#include "components/WindowAnimation.h"

#include <QtCore/QSize>
#include <QtCore/QStringList>

#include <functional>
#include <memory>

namespace lp {

struct TSplashEnvironment {
    std::function<QStringList()> Parameters;   // command-line parameters, without the program
    std::function<QString()> ProgramFile;      // the program's file name
    std::function<QSize()> ScreenSize;         // pixels
    std::function<int()> ScreenBitsPerPixel;   // colour depth
};
// The process-wide environment; its defaults ask Qt.
TSplashEnvironment& SplashEnvironment();
// True when a parameter, in lower case, is "-ns" or "/ns".
bool HasNoSplashSwitch(const QStringList& Parameters);

class TuiSplash : public TComponent {
    Q_OBJECT
    Q_PROPERTY(bool AllowLocalBmp READ AllowLocalBmp WRITE SetAllowLocalBmp)
    Q_CLASSINFO("default:AllowLocalBmp", "true")
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_CLASSINFO("default:BevelWidth", "5")
    Q_PROPERTY(int Duration READ Duration WRITE SetDuration)
    Q_CLASSINFO("default:Duration", "5000")
    Q_PROPERTY(bool HideOnClick READ HideOnClick WRITE SetHideOnClick)
    Q_CLASSINFO("default:HideOnClick", "true")
    Q_PROPERTY(bool ShapeForm READ ShapeForm WRITE SetShapeForm)
    Q_CLASSINFO("default:ShapeForm", "false")
    Q_PROPERTY(int ShapeTolerance READ ShapeTolerance WRITE SetShapeTolerance)
    Q_CLASSINFO("default:ShapeTolerance", "0x101010")
    Q_PROPERTY(bool ShowModal READ ShowModal WRITE SetShowModal)
    Q_CLASSINFO("default:ShowModal", "false")
    Q_PROPERTY(bool StayOnTop READ StayOnTop WRITE SetStayOnTop)
    Q_CLASSINFO("default:StayOnTop", "true")
    Q_PROPERTY(bool AutoShow READ AutoShow WRITE SetAutoShow)
    Q_PROPERTY(bool AutoShowOnDestroy READ AutoShowOnDestroy WRITE SetAutoShowOnDestroy)
    Q_CLASSINFO("default:AutoShowOnDestroy", "false")

public:
    explicit TuiSplash(TComponent* AOwner = nullptr);
    ~TuiSplash() override;

    bool AllowLocalBmp() const { return FAllowLocalBmp; }
    void SetAllowLocalBmp(bool Value) { FAllowLocalBmp = Value; }
    TuiAnimateWin& AnimateShow() const { return *FAnimateShow; }
    void SetAnimateShow(const TuiAnimateWin* Value) { FAnimateShow->Assign(Value); }
    TuiAnimateWin& AnimateHide() const { return *FAnimateHide; }
    void SetAnimateHide(const TuiAnimateWin* Value) { FAnimateHide->Assign(Value); }
    // 0 … 65535.
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    // Milliseconds, 0 … 65535; 0 = no timer.
    int Duration() const { return FDuration; }
    void SetDuration(int Value);
    bool HideOnClick() const { return FHideOnClick; }
    void SetHideOnClick(bool Value) { FHideOnClick = Value; }
    TPicture& Picture() const { return *FPicture; }
    void SetPicture(const TPicture* Value) { FPicture->Assign(Value); }
    TPicture& PictureVGA() const { return *FPictureVGA; }
    void SetPictureVGA(const TPicture* Value) { FPictureVGA->Assign(Value); }
    bool ShapeForm() const { return FShapeForm; }
    // On: show and hide effects that cut the window (roll, slide, centre)
    // become blends.
    void SetShapeForm(bool Value);
    TColor ShapeTolerance() const { return FShapeTolerance; }
    void SetShapeTolerance(TColor Value) { FShapeTolerance = Value; }
    bool ShowModal() const { return FShowModal; }
    void SetShowModal(bool Value) { FShowModal = Value; }
    bool StayOnTop() const { return FStayOnTop; }
    void SetStayOnTop(bool Value) { FStayOnTop = Value; }
    bool AutoShow() const { return FAutoShow; }
    // True while the owner is being loaded shows the splash at once, unless
    // the command line holds "-ns" or "/ns".
    void SetAutoShow(bool Value);
    bool AutoShowOnDestroy() const { return FAutoShowOnDestroy; }
    void SetAutoShowOnDestroy(bool Value) { FAutoShowOnDestroy = Value; }

    // Shows the splash: Exception "Picture required" without any picture;
    // nothing when it is shown already.
    void Show();
    // Closes the window.
    void Hide();
    // The window while it exists.
    TuisfSplash* SplashForm() const { return FForm; }

    std::function<void(TComponent*)> OnShow;
    std::function<void(TComponent*)> OnHide;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void AnimationChanged(TuiAnimateWin* Animation);
    void FormShown(TForm* Form);
    void FormHidden(TForm* Form);
    // The picture to show: the local bitmap, the low-colour one or the
    // ordinary one.
    void ChoosePicture(TuisfSplash& Form) const;

    bool FAllowLocalBmp = true;
    std::unique_ptr<TuiAnimateWin> FAnimateShow;
    std::unique_ptr<TuiAnimateWin> FAnimateHide;
    int FBevelWidth = 5;
    int FDuration = 5000;
    bool FHideOnClick = true;
    std::unique_ptr<TPicture> FPicture;
    std::unique_ptr<TPicture> FPictureVGA;
    bool FShapeForm = false;
    TColor FShapeTolerance = 0x101010;
    bool FShowModal = false;
    bool FStayOnTop = true;
    bool FAutoShow = true;
    bool FAutoShowOnDestroy = false;
    TuisfSplash* FForm = nullptr; // owned through the component tree
};

} // namespace lp
