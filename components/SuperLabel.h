#pragma once
// The super label: a text label with a border, inner margins on each side
// and vertical alignment, used as a bordered caption beside edit fields.
//
// The caption may mark an accelerator character with '&' (unless
// ShowAccelChar is off); DialogChar moves the focus to FocusControl when
// that character is typed with Alt.

#include "platform/ui/Controls.h"
#include "platform/ui/StatusBar.h"

#include <memory>

namespace lp {

class TuiSuperLabel : public TControl {
    Q_OBJECT
public:
    enum TuiVAlignment { vaTop, vaBottom, vaCenter };
    Q_ENUM(TuiVAlignment)
    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)

private:
    Q_PROPERTY(TuiVAlignment VerticalAlignment READ VerticalAlignment WRITE SetVerticalAlignment)
    Q_CLASSINFO("default:VerticalAlignment", "vaTop")
    Q_PROPERTY(int TopMargin READ TopMargin WRITE SetTopMargin)
    Q_CLASSINFO("default:TopMargin", "0")
    Q_PROPERTY(int LeftMargin READ LeftMargin WRITE SetLeftMargin)
    Q_CLASSINFO("default:LeftMargin", "0")
    Q_PROPERTY(int RightMargin READ RightMargin WRITE SetRightMargin)
    Q_CLASSINFO("default:RightMargin", "0")
    Q_PROPERTY(int BottomMargin READ BottomMargin WRITE SetBottomMargin)
    Q_CLASSINFO("default:BottomMargin", "0")
    Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_CLASSINFO("default:BorderStyle", "bsNone")
    Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE SetCtl3D)
    Q_CLASSINFO("default:Ctl3D", "true")
    Q_PROPERTY(int BorderColor READ BorderColor WRITE SetBorderColor)
    Q_CLASSINFO("default:BorderColor", "0x80000006")
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_CLASSINFO("default:WordWrap", "false")
    Q_PROPERTY(lp::TStatusPanel::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_CLASSINFO("default:Alignment", "taLeftJustify")
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0x80000005")
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE SetShowAccelChar)
    Q_CLASSINFO("default:ShowAccelChar", "true")
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_CLASSINFO("default:Transparent", "false")

public:
    // 100 x 25 pixels, TopMargin 2.
    explicit TuiSuperLabel(TComponent* AOwner = nullptr);
    ~TuiSuperLabel() override;

    TuiVAlignment VerticalAlignment() const { return FVerticalAlignment; }
    void SetVerticalAlignment(TuiVAlignment Value);
    // Margins are bytes: values are clamped to 0 … 255.
    int TopMargin() const { return FTopMargin; }
    void SetTopMargin(int Value);
    int LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int Value);
    int RightMargin() const { return FRightMargin; }
    void SetRightMargin(int Value);
    int BottomMargin() const { return FBottomMargin; }
    void SetBottomMargin(int Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // The label's font; a change repaints.
    TFont& Font() const { return *FFont; }
    // The control that an accelerator focuses (observed).
    TControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TControl* Value);

    // Alt plus the caption's accelerator character: focuses FocusControl
    // and returns True.
    bool DialogChar(QChar Key, TShiftState Shift);

    void Paint(TCanvas& Canvas) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void EnabledChanged() override;

private:
    template <class T>
    void Update(T& Field, const T& Value);
    unsigned DrawTextFormat() const;

    TuiVAlignment FVerticalAlignment = vaTop;
    int FTopMargin = 2;
    int FLeftMargin = 0;
    int FRightMargin = 0;
    int FBottomMargin = 0;
    TBorderStyle FBorderStyle = bsNone;
    bool FCtl3D = true;
    TColor FBorderColor = clWindowFrame;
    bool FWordWrap = false;
    TAlignment FAlignment = taLeftJustify;
    QString FCaption;
    TColor FColor = clWindow;
    bool FShowAccelChar = true;
    bool FTransparent = false;
    std::unique_ptr<TFont> FFont;
    TControl* FFocusControl = nullptr;
};

using TuiVAlignment = TuiSuperLabel::TuiVAlignment;

} // namespace lp
