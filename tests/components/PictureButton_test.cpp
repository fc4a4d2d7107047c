#include "components/PictureButton.h"

#include "ReferenceImage.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DrawText.h"
#include "platform/ui/Forms.h"

#include <gtest/gtest.h>

#include <QtCore/QMetaEnum>
#include <QtGui/QPainter>

namespace lp {
namespace {

using B = TuiPicBtn;

// A glyph strip: Count slices of 16 x 16 on magenta (the transparent
// bottom-left colour), slice i a square of Colors[i].
void SetGlyphs(TuiPicBtn& Button, std::vector<QRgb> Colors)
{
    QImage Strip(16 * static_cast<int>(Colors.size()), 16, QImage::Format_RGB32);
    Strip.fill(qRgb(255, 0, 255));
    QPainter Painter(&Strip);
    for (size_t i = 0; i < Colors.size(); ++i)
        Painter.fillRect(static_cast<int>(i) * 16 + 3, 3, 10, 10, QColor(Colors[i]));
    Painter.end();
    TBitmap Bitmap;
    Bitmap.SetImage(Strip);
    Button.Picture().SetGraphic(&Bitmap);
    Button.SetNumGlyphs(static_cast<int>(Colors.size()));
}

QImage Render(TuiPicBtn& Button)
{
    TBitmap Bitmap(Button.Width(), Button.Height());
    Button.Paint(Bitmap.Canvas());
    return Bitmap.Image().convertToFormat(QImage::Format_RGB32);
}

QRgb Rgb(TColor Color)
{
    return ToQColor(ColorToRGB(Color)).rgb() | 0xFF000000;
}

// Hover counts in tests as if the application were active.
class PicBtnTest : public ::testing::Test {
protected:
    PicBtnTest() : Saved(TuiPicBtn::ApplicationActiveHook())
    {
        TuiPicBtn::ApplicationActiveHook() = [this] { return Active; };
    }
    ~PicBtnTest() override { TuiPicBtn::ApplicationActiveHook() = Saved; }
    std::function<bool()> Saved;
    bool Active = true;
};

TEST_F(PicBtnTest, NewButton_DefaultsAndIgnoredValues)
{
    TuiPicBtn Button;
    EXPECT_EQ(Button.Width(), 75);
    EXPECT_EQ(Button.Height(), 25);
    EXPECT_EQ(Button.Style(), B::absAutoDetect);
    EXPECT_EQ(Button.Margin(), -1);
    EXPECT_EQ(Button.Spacing(), 4);
    EXPECT_TRUE(Button.DisabledShadow());
    Button.SetNumGlyphs(7);
    EXPECT_EQ(Button.NumGlyphs(), 5);
    Button.SetNumGlyphs(0);
    EXPECT_EQ(Button.NumGlyphs(), 1);
    Button.SetMargin(-2);
    EXPECT_EQ(Button.Margin(), -1);
    Button.SetMargin(3);
    Button.SetMargin(-5);
    EXPECT_EQ(Button.Margin(), 3);
}

struct TLayoutCase {
    const char* Name;
    TRect Client;
    B::TuiButtonLayout Layout;
    int Margin;
    int Spacing;
    TPoint TextSize;
    bool RightToLeft;
    TPoint Glyph;
    TPoint Text;
};

TEST(PicBtnLayout, PlacesGlyphAndCaptionPerLayout)
{
    const TRect Wide{0, 0, 100, 40}, Tall{0, 0, 100, 60};
    const TPoint T{30, 13}, None{0, 0};
    const std::vector<TLayoutCase> Cases = {
        {"left", Wide, B::ablGlyphLeft, -1, 4, T, false, {25, 12}, {45, 14}},
        {"right", Wide, B::ablGlyphRight, -1, 4, T, false, {59, 12}, {25, 14}},
        {"top", Tall, B::ablGlyphTop, -1, 4, T, false, {42, 14}, {35, 34}},
        {"bottom", Tall, B::ablGlyphBottom, -1, 4, T, false, {42, 30}, {35, 13}},
        {"centre", Tall, B::ablGlyphCenter, -1, 4, T, false, {42, 22}, {35, 24}},
        {"tiled", Tall, B::ablGlyphTiled, -1, 4, T, false, {0, 0}, {35, 24}},
        {"spread evenly", Wide, B::ablGlyphLeft, -1, -1, T, false, {18, 12}, {52, 14}},
        {"spread spacing", Wide, B::ablGlyphLeft, 2, -1, T, false, {2, 12}, {44, 14}},
        {"fixed margin", Wide, B::ablGlyphRight, 3, 4, T, false, {81, 12}, {47, 14}},
        {"no caption", Wide, B::ablGlyphLeft, -1, 4, None, false, {42, 12}, {58, 20}},
        {"right to left", Wide, B::ablGlyphLeft, -1, 4, T, true, {59, 12}, {25, 14}},
        {"moved client", {5, 3, 105, 43}, B::ablGlyphLeft, -1, 4, T, false, {30, 15}, {50, 17}},
    };
    for (const TLayoutCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        const TButtonLayoutResult R =
            CalcButtonLayout(Case.Client, {16, 16}, Case.TextSize, Case.Layout, Case.Margin, Case.Spacing,
                             Case.RightToLeft);
        EXPECT_EQ(R.GlyphPos, Case.Glyph);
        EXPECT_EQ(R.TextBounds.TopLeft(), Case.Text);
        EXPECT_EQ(R.TextBounds.Width(), Case.TextSize.X);
    }
}

TEST_F(PicBtnTest, GrayHighlight_RedTurnsWhiteWhileTheMouseIsAway)
{
    TuiPicBtn Button;
    Button.SetBounds(0, 0, 40, 30);
    SetGlyphs(Button, {qRgb(255, 0, 0)});
    Button.SetPictureHighlight(B::aghGray);
    EXPECT_EQ(Button.GlyphImage(B::gsUp).pixel(8, 8), qRgb(255, 255, 255));
    // Glyph centred: (38 - 16 + 1) div 2 + 1 = 12 across, (28 - 16 + 1) div 2 + 1 = 7 down.
    EXPECT_EQ(Render(Button).pixel(12 + 8, 7 + 8), qRgb(255, 255, 255));
    Button.MouseEnter();
    EXPECT_EQ(Button.DrawState(), B::gsHot);
    EXPECT_EQ(Render(Button).pixel(12 + 8, 7 + 8), qRgb(255, 0, 0));
    // The face around the glyph is the button's colour in both states.
    EXPECT_EQ(Render(Button).pixel(12 + 1, 7 + 1), Rgb(clBtnFace));
}

TEST_F(PicBtnTest, FadeAndDarken_ChangeTheUpImageOnly)
{
    TuiPicBtn Button;
    SetGlyphs(Button, {qRgb(200, 100, 40)});
    Button.SetColor(0x00F0F0);
    Button.SetPictureHighlight(B::aghDarken);
    EXPECT_EQ(Button.GlyphImage(B::gsUp).pixel(8, 8), qRgb(200 & 0xF0, 100 & 0xF0, 0));
    EXPECT_EQ(Button.GlyphImage(B::gsUp).pixel(1, 1), qRgb(0xF0, 0xF0, 0));
    Button.SetPictureHighlight(B::aghFade);
    const QRgb Light = Rgb(clHighlight);
    EXPECT_EQ(Button.GlyphImage(B::gsUp).pixel(8, 8),
              qRgb((600 + qRed(Light)) / 4, (300 + qGreen(Light)) / 4, (120 + qBlue(Light)) / 4));
    EXPECT_EQ(Button.GlyphImage(B::gsHot).pixel(8, 8), qRgb(200, 100, 40));
    EXPECT_EQ(qAlpha(Button.GlyphImage(B::gsHot).pixel(1, 1)), 0);
}

TEST_F(PicBtnTest, DisabledGlyph_EmbossedOrFromItsSlice)
{
    TuiPicBtn Button;
    SetGlyphs(Button, {qRgb(0, 0, 0)});
    QImage Disabled = Button.GlyphImage(B::gsDisabled);
    EXPECT_EQ(Disabled.pixel(3, 3), Rgb(clBtnShadow));
    EXPECT_EQ(Disabled.pixel(13, 13), Rgb(clBtnHighlight)); // the (1, 1) highlight beyond the shape
    EXPECT_EQ(Disabled.pixel(1, 1), Rgb(clBtnFace));

    SetGlyphs(Button, {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 255)});
    Disabled = Button.GlyphImage(B::gsDisabled);
    EXPECT_EQ(Disabled.pixel(5, 5), Rgb(clBtnHighlight));
    EXPECT_EQ(Disabled.pixel(1, 1), Rgb(clBtnFace));
    Button.SetEnabled(false);
    EXPECT_EQ(Button.DrawState(), B::gsDisabled);
}

TEST_F(PicBtnTest, DownState_UsesTheHotImageWithFewerThanThreeGlyphs)
{
    TuiPicBtn Button;
    SetGlyphs(Button, {qRgb(255, 0, 0), qRgb(0, 255, 0)});
    EXPECT_EQ(Button.GlyphImage(B::gsDown).pixel(8, 8), qRgb(255, 0, 0));
    SetGlyphs(Button, {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)});
    EXPECT_EQ(Button.GlyphImage(B::gsDown).pixel(8, 8), qRgb(0, 0, 255));
    Button.MouseDown(mbLeft, {}, 5, 5);
    EXPECT_EQ(Button.DrawState(), B::gsDown);
    Button.MouseMove(TShiftState(TControl::ssLeft), 500, 5);
    EXPECT_FALSE(Button.Pressed());
    Button.MouseUp(mbLeft, {}, 500, 5);
}

// A sound list that records what it is asked to play.
class TRecordingWaveList : public TuiCustomWaveList {
public:
    using TuiCustomWaveList::TuiCustomWaveList;
    bool Play(int Index) override
    {
        Played.push_back(Index);
        return true;
    }
    std::vector<int> Played;
};

TEST_F(PicBtnTest, Hover_CountsOnlyForAnActiveApplicationAndAnEnabledButton)
{
    TComponent Form;
    auto* Button = new TuiPicBtn(&Form);
    auto* Sounds = new TRecordingWaveList(&Form);
    Button->SetSoundList(Sounds);
    Button->SetSoundOver(2);
    Button->SetSoundDown(5);
    int Entered = 0, Left = 0;
    Button->OnMouseEnter = [&](TControl*) { ++Entered; };
    Button->OnMouseLeave = [&](TControl*) { ++Left; };
    Active = false;
    Button->MouseEnter();
    EXPECT_FALSE(Button->MouseInControl());
    Active = true;
    Button->MouseEnter();
    Button->MouseEnter(); // counted once
    EXPECT_TRUE(Button->MouseInControl());
    EXPECT_EQ(Button->DrawState(), B::gsHot);
    Button->MouseDown(mbLeft, {}, 3, 3);
    Button->MouseUp(mbLeft, {}, 3, 3);
    Button->MouseLeave();
    EXPECT_EQ(Entered, 1);
    EXPECT_EQ(Left, 1);
    EXPECT_EQ(Sounds->Played, (std::vector<int>{2, 5}));
    Button->SetEnabled(false);
    Button->MouseEnter();
    EXPECT_FALSE(Button->MouseInControl());
    delete Sounds; // the button forgets the list
    EXPECT_EQ(Button->SoundList(), nullptr);
}

TEST_F(PicBtnTest, PopupButton_DrawsNoFrameUntilHot)
{
    TuiPicBtn Button;
    Button.SetStyle(B::absThin);
    Button.SetPopup(true);
    EXPECT_EQ(Render(Button).pixel(0, 0), Rgb(clBtnFace));
    Button.MouseEnter();
    EXPECT_EQ(Render(Button).pixel(0, 0), Rgb(clBtnHighlight));
    Button.MouseLeave();
    Button.SetDefault(true);
    EXPECT_EQ(Render(Button).pixel(0, 0), Rgb(clBtnHighlight));
}

TEST_F(PicBtnTest, RecessedBlackHighlight_GainsTheGreyFrameOnlyWhileHot)
{
    TuiPicBtn Button;
    Button.SetStyle(B::absRecessedBlackHighlight);
    // Outer edge, a pixel's gap, the inner edge, then the grey frame.
    EXPECT_EQ(Render(Button).pixel(3, 12), Rgb(clBtnFace));
    EXPECT_EQ(Render(Button).pixel(1, 12), Rgb(clBtnFace));
    Button.MouseEnter();
    EXPECT_EQ(Render(Button).pixel(3, 12), qRgb(0xDE, 0xDE, 0xDE));
    Button.SetStyle(B::absFramedBlackHighlight);
    EXPECT_EQ(Render(Button).pixel(2, 12), qRgb(0xDE, 0xDE, 0xDE));
}

TEST_F(PicBtnTest, Captions_RaisedLoweredAndDisabled)
{
    TuiPicBtn Button;
    Button.SetStyle(B::absThin);
    Button.SetCaption(QStringLiteral("Apply"));
    // Pixels near a colour (text edges are smoothed).
    auto Count = [](const QImage& Image, QRgb Color) {
        int N = 0;
        for (int y = 2; y < Image.height() - 2; ++y)
            for (int x = 2; x < Image.width() - 2; ++x) {
                const QRgb P = Image.pixel(x, y);
                N += std::abs(qRed(P) - qRed(Color)) + std::abs(qGreen(P) - qGreen(Color)) +
                         std::abs(qBlue(P) - qBlue(Color)) < 40;
            }
        return N;
    };
    EXPECT_GT(Count(Render(Button), qRgb(0, 0, 0)), 10);
    const int Light = Count(Render(Button), Rgb(clBtnHighlight));
    Button.SetTextStyle(B::tsRaised);
    EXPECT_GT(Count(Render(Button), Rgb(clBtnHighlight)), Light + 10);
    Button.SetEnabled(false);
    const QImage Disabled = Render(Button);
    EXPECT_GT(Count(Disabled, qRgb(0x80, 0x80, 0x80)), 10);
    EXPECT_GT(Count(Disabled, qRgb(255, 255, 255)), Light + 10);
    EXPECT_EQ(Count(Disabled, qRgb(0, 0, 0)), 0);
}

TEST_F(PicBtnTest, ImageListGlyph_AndActionImageIndex)
{
    TComponent Form;
    auto* Images = new TCustomImageList(12, 10, &Form);
    QImage Green(12, 10, QImage::Format_RGB32);
    Green.fill(qRgb(0, 200, 0));
    Images->AddMasked(Green, clNone);
    auto* Button = new TuiPicBtn(&Form);
    Button->SetImages(Images);
    EXPECT_TRUE(Button->GlyphImage(B::gsHot).isNull());
    Button->ActionChange(0, true);
    EXPECT_EQ(Button->ImageIndex(), 0);
    EXPECT_EQ(Button->GlyphImage(B::gsHot).size(), QSize(12, 10));
    Button->ActionChange(3, true); // has an index: kept
    EXPECT_EQ(Button->ImageIndex(), 0);
    Button->SetActionLinked(true);
    EXPECT_FALSE(Button->IsImageIndexStored());
    delete Images;
    EXPECT_EQ(Button->Images(), nullptr);
    EXPECT_TRUE(Button->GlyphImage(B::gsHot).isNull());
}

TEST_F(PicBtnTest, Click_SetsTheFormsModalResult)
{
    TForm Form;
    auto* Button = new TuiPicBtn(&Form);
    Button->SetModalResult(1);
    int Clicked = 0;
    Button->OnClick = [&](TControl*) { ++Clicked; };
    int Space = VK_SPACE;
    Button->KeyDown(Space, {});
    EXPECT_TRUE(Button->Pressed());
    Button->KeyUp(Space, {});
    EXPECT_EQ(Clicked, 1);
    EXPECT_EQ(Form.ModalResult(), 1);
}

TEST(GlyphList, SlotsSizesAndTheCache)
{
    TuiGlyphList List(8, 8);
    QImage Small(6, 8, QImage::Format_RGB32);
    try {
        List.AddMasked(Small, clNone);
        FAIL() << "no error";
    } catch (const Exception& Error) {
        EXPECT_STREQ(Error.what(), "Invalid image size");
    }
    QImage Image(8, 8, QImage::Format_RGB32);
    Image.fill(Qt::red);
    EXPECT_EQ(List.AddMasked(Image, clNone), 0);
    EXPECT_EQ(List.AddMasked(Image, clNone), 1);
    EXPECT_EQ(List.AddMasked(Image, clNone), 2);
    List.Delete(1);
    EXPECT_EQ(List.Count(), 2);
    EXPECT_EQ(List.AddMasked(Image, clNone), 1); // the first free slot
    EXPECT_EQ(List.AddMasked(Image, clNone), 3);

    // Buttons with glyphs of one size share one list; the last one frees it.
    const int Before = GlyphListCount();
    {
        TuiPicBtn A, C;
        SetGlyphs(A, {qRgb(1, 2, 3)});
        SetGlyphs(C, {qRgb(4, 5, 6)});
        A.GlyphImage(B::gsUp);
        C.GlyphImage(B::gsUp);
        C.GlyphImage(B::gsHot);
        EXPECT_EQ(GlyphListCount(), Before + 1);
        EXPECT_EQ(GlyphListFor(16, 16).Count(), 3);
        C.SetColor(clRed); // a new colour drops the built images
        EXPECT_EQ(GlyphListFor(16, 16).Count(), 1);
    }
    EXPECT_EQ(GlyphListCount(), Before);
}

// Every style in every state: up, hot, pressed, focused, disabled.
TEST_F(PicBtnTest, EveryStyle_Screenshot)
{
    const int W = 120, H = 28, Labels = 170;
    const QMetaEnum Styles = QMetaEnum::fromType<B::TuiButtonStyle>();
    TBitmap Sheet(Labels + 5 * (W + 6), Styles.keyCount() * (H + 6) + 4);
    TCanvas& Canvas = Sheet.Canvas();
    Canvas.Brush().SetColor(clBtnFace);
    Canvas.FillRect({0, 0, Sheet.Width(), Sheet.Height()});
    for (int Row = 0; Row < Styles.keyCount(); ++Row) {
        const int Y = 4 + Row * (H + 6);
        Canvas.Font().SetColor(clBlack);
        Canvas.Brush().SetStyle(bsClear);
        TRect Label{6, Y, Labels, Y + H};
        DrawText(Canvas, QString::fromLatin1(Styles.key(Row)), Label, DT_VCENTER | DT_SINGLELINE);
        for (int Column = 0; Column < 5; ++Column) {
            TuiPicBtn Button;
            Button.SetBounds(0, 0, W, H);
            Button.SetStyle(static_cast<B::TuiButtonStyle>(Styles.value(Row)));
            Button.SetCaption(QStringList{"Up", "Hot", "Pressed", "Focused", "Disabled"}[Column]);
            SetGlyphs(Button, {qRgb(30, 110, 200)});
            if (Column == 1)
                Button.MouseEnter();
            if (Column == 2)
                Button.MouseDown(mbLeft, {}, 5, 5);
            if (Column == 3)
                Button.DoEnter();
            if (Column == 4)
                Button.SetEnabled(false);
            TBitmap Picture(W, H);
            Button.Paint(Picture.Canvas());
            Canvas.Draw(Labels + Column * (W + 6), Y, &Picture);
        }
    }
    EXPECT_TRUE(test::MatchesReference(Sheet.Image().convertToFormat(QImage::Format_RGB32),
                                       QStringLiteral("components"), QStringLiteral("picture-buttons")));
}

} // namespace
} // namespace lp
