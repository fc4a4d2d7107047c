#pragma once
// Picture buttons: owner-drawn push buttons with one of 19 frame styles, a
// glyph in one of six layouts, glyph effects while the mouse is away,
// raised or lowered captions, a flat mode and sounds; and the shared glyph
// lists their state images live in.
//
//   TuiPicBtn ── TuiButtonGlyph (owned, private) ── up to five state images
//                     │                              built on demand into ...
//                     └──────────────────────────> TuiGlyphList (one per
//                          image size, shared through the process-wide
//                          glyph cache; freed when its last image goes)
//
// Paint order: face fill and frame, glyph and caption (moved by one pixel
// while pressed), the frame once more without fill, the focus rectangle.

#include "components/WaveSound.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/StatusBar.h"

#include <memory>
#include <vector>

namespace lp {

// An image list of one image size with a set of occupied slots: adding
// takes the first free slot, deleting frees it (other images keep their
// indexes).
class TuiGlyphList : public TCustomImageList {
    Q_OBJECT
public:
    TuiGlyphList(int AWidth, int AHeight, TComponent* AOwner = nullptr);
    ~TuiGlyphList() override;

    // The first free slot, the list growing when all are used. An image
    // smaller than the list's size raises EInvalidOperation "Invalid image
    // size"; a refused replacement "Unable to Replace Image".
    int AddMasked(const QImage& Image, TColor MaskColor);
    void Delete(int Index);
    // Images in use.
    int Count() const { return FCount; }
    bool Used(int Index) const;

private:
    std::vector<bool> FUsed;
    int FCount = 0;
};

// The process-wide glyph lists, one per image size.
TuiGlyphList& GlyphListFor(int Width, int Height);
// Frees the list when no image is left in it (and the cache with the last
// list).
void ReleaseGlyphList(TuiGlyphList& List);
// Lists alive in the cache (for the shutdown check and tests).
int GlyphListCount();

class TuiButtonGlyph;

class TuiPicBtn : public TControl {
    Q_OBJECT
public:
    enum TuiButtonStyle {
        absAutoDetect, absNew, absWin31, absThin, absThinBlack, absThinGray, absThinHighlight, absMidHighlight,
        absThickHighlight, absFramed, absFramedBlack, absFramedRaised, absFramedHighlight, absFramedBlackHighlight,
        absRecessed, absRecessedBlack, absRecessedRaised, absRecessedHighlight, absRecessedBlackHighlight
    };
    Q_ENUM(TuiButtonStyle)
    enum TuiButtonLayout { ablGlyphLeft, ablGlyphRight, ablGlyphTop, ablGlyphBottom, ablGlyphCenter, ablGlyphTiled };
    Q_ENUM(TuiButtonLayout)
    enum TuiGlyphHighlight { aghNormal, aghGray, aghFade, aghDarken };
    Q_ENUM(TuiGlyphHighlight)
    enum TuiTextStyle { tsNormal, tsRaised, tsLowered };
    Q_ENUM(TuiTextStyle)
    // Glyph states.
    enum TuiGlyphState { gsUp = 0, gsDisabled = 1, gsDown = 2, gsExclusive = 3, gsHot = 4 };

private:
    Q_PROPERTY(TuiButtonStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "absAutoDetect")
    Q_PROPERTY(TuiButtonLayout Layout READ Layout WRITE SetLayout)
    Q_CLASSINFO("default:Layout", "ablGlyphLeft")
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_CLASSINFO("default:Margin", "-1")
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_CLASSINFO("default:Spacing", "4")
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_CLASSINFO("default:NumGlyphs", "1")
    Q_PROPERTY(TuiGlyphHighlight PictureHighlight READ PictureHighlight WRITE SetPictureHighlight)
    Q_CLASSINFO("default:PictureHighlight", "aghNormal")
    Q_PROPERTY(int TransparentColor READ TransparentColor WRITE SetTransparentColor)
    Q_CLASSINFO("stored:TransparentColor", "IsTransparentColorStored")
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_CLASSINFO("default:ImageIndex", "-1")
    Q_CLASSINFO("stored:ImageIndex", "IsImageIndexStored")
    Q_PROPERTY(TuiTextStyle TextStyle READ TextStyle WRITE SetTextStyle)
    Q_CLASSINFO("default:TextStyle", "tsNormal")
    Q_PROPERTY(bool DisabledShadow READ DisabledShadow WRITE SetDisabledShadow)
    Q_PROPERTY(bool Popup READ Popup WRITE SetPopup)
    Q_CLASSINFO("default:Popup", "false")
    Q_PROPERTY(int SoundDown READ SoundDown WRITE SetSoundDown)
    Q_CLASSINFO("default:SoundDown", "-1")
    Q_PROPERTY(int SoundOver READ SoundOver WRITE SetSoundOver)
    Q_CLASSINFO("default:SoundOver", "-1")
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0x8000000F")
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_CLASSINFO("default:ModalResult", "0")
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_CLASSINFO("default:Default", "false")
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)
    Q_CLASSINFO("default:Cancel", "false")

public:
    // 75 x 25 pixels.
    explicit TuiPicBtn(TComponent* AOwner = nullptr);
    ~TuiPicBtn() override;

    TuiButtonStyle Style() const { return FStyle; }
    void SetStyle(TuiButtonStyle Value);
    TuiButtonLayout Layout() const { return FLayout; }
    void SetLayout(TuiButtonLayout Value);
    int Margin() const { return FMargin; }
    // Values below -1 are ignored.
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // NumGlyphs images side by side; a change rebuilds the glyph images.
    TPicture& Picture() const { return *FPicture; }
    int NumGlyphs() const;
    // 1 … 5: larger values become 5, smaller ones 1.
    void SetNumGlyphs(int Value);
    TuiGlyphHighlight PictureHighlight() const;
    void SetPictureHighlight(TuiGlyphHighlight Value);
    // The picture's own transparent colour until one is set.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor Value);
    Q_INVOKABLE bool IsTransparentColorStored() const;
    // An image list to take the glyph from (observed), and its index.
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ImageIndex() const;
    void SetImageIndex(int Value);
    Q_INVOKABLE bool IsImageIndexStored() const { return !FActionLinked; }
    // What an action link hands over: its image index (with CheckDefaults
    // only while the button has none), and whether the index is linked.
    void ActionChange(int ActionImageIndex, bool CheckDefaults);
    void SetActionLinked(bool Value) { FActionLinked = Value; }
    TuiTextStyle TextStyle() const { return FTextStyle; }
    void SetTextStyle(TuiTextStyle Value);
    bool DisabledShadow() const { return FDisabledShadow; }
    void SetDisabledShadow(bool Value);
    bool Popup() const { return FPopup; }
    void SetPopup(bool Value);
    TuiCustomWaveList* SoundList() const { return FSoundList; }
    void SetSoundList(TuiCustomWaveList* Value);
    int SoundDown() const { return FSoundDown; }
    void SetSoundDown(int Value) { FSoundDown = Value; }
    int SoundOver() const { return FSoundOver; }
    void SetSoundOver(int Value) { FSoundOver = Value; }
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFont& Font() const { return *FFont; }
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }
    bool Default() const { return FDefault; }
    // The default button of its dialog counts as active.
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    // Whether the button is its dialog's current default (repaints on change).
    bool IsActive() const { return FIsActive; }
    void SetIsActive(bool Value);
    bool MouseInControl() const { return FMouseInControl; }
    bool Pressed() const { return FPressed; }
    bool Focused() const { return FFocused; }
    // Right-to-left reading swaps the left and right layouts.
    bool RightToLeft() const { return FRightToLeft; }
    void SetRightToLeft(bool Value);

    // The glyph state the button draws now.
    TuiGlyphState DrawState() const;
    // The image of a glyph state as it is drawn (built on demand); null
    // without a glyph.
    QImage GlyphImage(TuiGlyphState State) const;
    // The system colours changed: the glyph images are built anew.
    void SysColorChange();

    // Tells whether the application owns the active window; hover counts
    // only then. Replaceable for tests.
    static std::function<bool()>& ApplicationActiveHook();

    void Paint(TCanvas& Canvas) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void KeyDown(int& Key, TShiftState Shift) override;
    void KeyUp(int& Key, TShiftState Shift) override;
    void DoEnter() override;
    void DoExit() override;
    void Click() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void EnabledChanged() override;

private:
    bool HoverChangesLook() const;
    void PlaySound(int Index);
    void DrawFrame(TCanvas& Canvas, TRect& R, bool Hot, bool Fill) const;
    void DrawCaption(TCanvas& Canvas, const TRect& TextBounds) const;
    template <class T>
    void Update(T& Field, const T& Value);

    TuiButtonStyle FStyle = absAutoDetect;
    TuiButtonLayout FLayout = ablGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    std::unique_ptr<TPicture> FPicture;
    std::unique_ptr<TuiButtonGlyph> FGlyph;
    TCustomImageList* FImages = nullptr;
    TuiTextStyle FTextStyle = tsNormal;
    bool FDisabledShadow = true;
    bool FPopup = false;
    TuiCustomWaveList* FSoundList = nullptr;
    int FSoundDown = -1;
    int FSoundOver = -1;
    QString FCaption;
    TColor FColor = clBtnFace;
    std::unique_ptr<TFont> FFont;
    int FModalResult = 0;
    bool FDefault = false;
    bool FCancel = false;
    bool FIsActive = false;
    bool FMouseInControl = false;
    bool FPressed = false;
    bool FTracking = false; // the left button went down on the button
    bool FFocused = false;
    bool FRightToLeft = false;
    bool FActionLinked = false;
};

// The places of glyph and caption in a content rectangle.
struct TButtonLayoutResult {
    TPoint GlyphPos;
    TRect TextBounds;
};
// Lays out a glyph of GlyphSize and a caption of TextSize (0 x 0 when
// empty) in Client by Layout, Margin and Spacing.
TButtonLayoutResult CalcButtonLayout(const TRect& Client, TPoint GlyphSize, TPoint TextSize,
                                     TuiPicBtn::TuiButtonLayout Layout, int Margin, int Spacing, bool RightToLeft);

// Registers the button and the glyph list for streaming.
void RegisterPicButtons();
void UnregisterPicButtons();

} // namespace lp
