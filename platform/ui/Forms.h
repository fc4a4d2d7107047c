#pragma once
// Forms: top-level windows made of a control, with showing and hiding
// events, closing, modal showing, a window region and a hit test that can
// make the whole window a drag handle.
//
// A form is a control whose window has no parent. Show() raises OnShow
// before the window appears (so a handler can animate it in), then
// activates it; Hide() raises OnHide while the window is still visible.
// Close() asks OnClose what to do: hide (the default) or free the form
// (Release: deleted once control is back in the event loop).
//
// The hit test stands in for the window system's: a point that counts as
// caption starts a window drag when pressed (NonClientMouseDown). Components
// may chain their own test in front of the form's (SetWindowHitTest) and
// put the previous one back when they go.

#include "platform/ui/Controls.h"

#include <functional>
#include <optional>

namespace lp {

// Hit-test answers.
enum THitTest : int { HTCLIENT = 1, HTCAPTION = 2 };

class TForm : public TControl {
    Q_OBJECT
public:
    enum TFormStyle { fsNormal, fsStayOnTop };
    Q_ENUM(TFormStyle)
    enum TFormBorderStyle { bsNone, bsSingle, bsSizeable };
    Q_ENUM(TFormBorderStyle)
    enum TCloseAction { caNone, caHide, caFree, caMinimize };
    Q_ENUM(TCloseAction)
    enum TPosition { poDesigned, poScreenCenter };
    Q_ENUM(TPosition)
    using THitTestProc = std::function<int(int X, int Y)>;

    explicit TForm(TComponent* AOwner = nullptr);
    ~TForm() override;

    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int ClientWidth() const { return Width(); }
    int ClientHeight() const { return Height(); }
    void SetClientSize(int AWidth, int AHeight) { SetBounds(Left(), Top(), AWidth, AHeight); }

    // Shows the window (OnShow first) and activates it.
    void Show();
    // Raises OnHide and hides the window.
    void Hide();
    // Shows the window modally and returns when it is hidden or ModalResult
    // is set; answers ModalResult.
    int ShowModal();
    // Asks OnClose (caHide unless changed): hides, or hides and releases.
    void Close();
    // Frees the form once control is back in the event loop.
    void Release();
    bool Showing() const { return FShowing; }
    bool Modal() const { return FModal; }
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value);

    // The window's shape: none for the whole rectangle.
    const std::optional<TRegion>& WindowRgn() const { return FWindowRgn; }
    void SetWindowRgn(const std::optional<TRegion>& Region);

    // The hit test in use (the form's own unless a component chained one).
    THitTestProc WindowHitTest() const { return FHitTest; }
    void SetWindowHitTest(THitTestProc Proc);
    int HitTest(int X, int Y) const;

    std::function<void(TForm*)> OnShow;
    std::function<void(TForm*)> OnHide;
    std::function<void(TForm*)> OnActivate;
    std::function<void(TForm*, TCloseAction&)> OnClose;

    void Paint(TCanvas& Canvas) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

protected:
    virtual void DoShow();
    virtual void DoHide();
    virtual void Activate();
    virtual void DoClose(TCloseAction& Action);
    // The form's own hit test: HTCLIENT everywhere.
    virtual int DefaultHitTest(int X, int Y) const;
    // A left press where the hit test answers HTCAPTION: drags the window.
    virtual void NonClientMouseDown(int X, int Y);
    void CreateWnd() override;

private:
    void ApplyWindowFlags();
    void ApplyWindowRgn();

    TFormStyle FFormStyle = fsNormal;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TPosition FPosition = poDesigned;
    TColor FColor = clBtnFace;
    bool FShowing = false;
    bool FModal = false;
    int FModalResult = 0;
    std::optional<TRegion> FWindowRgn;
    THitTestProc FHitTest;
    bool FDraggingWindow = false;
    QPoint FDragOffset;
};

using TCloseAction = TForm::TCloseAction;

// Window animation flags.
enum TAnimateFlag : unsigned {
    AW_HOR_POSITIVE = 0x00001,
    AW_HOR_NEGATIVE = 0x00002,
    AW_VER_POSITIVE = 0x00004,
    AW_VER_NEGATIVE = 0x00008,
    AW_CENTER = 0x00010,
    AW_HIDE = 0x10000,
    AW_ACTIVATE = 0x20000,
    AW_SLIDE = 0x40000,
    AW_BLEND = 0x80000,
};

// Shows or hides (AW_HIDE) a window over Duration milliseconds: blending
// through the window's opacity, the other effects by revealing it through
// a growing window mask (rolling or sliding in from the given side, or
// from the centre). The window's own mask and opacity are restored at the
// end. Blocks while it runs, as the desktop call does. False when the
// window does not exist or the flags ask for nothing that can be shown.
bool AnimateWindow(QWidget* Window, int Duration, unsigned Flags);

} // namespace lp
