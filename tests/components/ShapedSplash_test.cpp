#include "components/ShapedSplash.h"

#include "components/FormFactory.h"
#include "ReferenceImage.h"

#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QTemporaryDir>
#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtWidgets/QWidget>

namespace lp {
namespace {

// A picture for the splash: a gradient with a title, W x H.
QImage TitlePicture(int W, int H)
{
    QImage Image(W, H, QImage::Format_RGB32);
    QPainter Painter(&Image);
    QLinearGradient Gradient(0, 0, W, H);
    Gradient.setColorAt(0, QColor(20, 40, 90));
    Gradient.setColorAt(1, QColor(120, 170, 210));
    Painter.fillRect(Image.rect(), Gradient);
    Painter.setPen(Qt::white);
    QFont Font(QStringLiteral("Liberation Sans"));
    Font.setPixelSize(H / 8);
    Font.setBold(true);
    Painter.setFont(Font);
    Painter.drawText(Image.rect(), Qt::AlignCenter, QStringLiteral("Lithoprism"));
    return Image;
}

// A green card with an opaque disc: green is the bottom-left, transparent
// colour.
QImage DiscPicture(int W, int H)
{
    QImage Image(W, H, QImage::Format_RGB32);
    Image.fill(QColor(0, 128, 0));
    QPainter Painter(&Image);
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(QColor(200, 60, 40));
    Painter.drawEllipse(QRect(10, 10, W - 20, H - 20));
    Painter.setPen(Qt::white);
    Painter.drawText(QRect(0, 0, W, H), Qt::AlignCenter, QStringLiteral("Lithoprism"));
    return Image;
}

void SetPicture(TPicture& Picture, const QImage& Image)
{
    TBitmap Bitmap;
    Bitmap.SetImage(Image);
    Picture.SetGraphic(&Bitmap);
}

void FlushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A fake screen and command line for each test; the real ones come back
// afterwards.
class SplashTest : public ::testing::Test {
protected:
    SplashTest() : Saved(SplashEnvironment())
    {
        SplashEnvironment() = {
            [this] { return Parameters; },
            [this] { return Folder.filePath(QStringLiteral("lithoprism")); },
            [] { return QSize(1024, 768); },
            [this] { return Depth; },
        };
    }
    ~SplashTest() override
    {
        FlushDeletes();
        SplashEnvironment() = Saved;
    }
    TSplashEnvironment Saved;
    QTemporaryDir Folder;
    QStringList Parameters;
    int Depth = 32;
};

TEST_F(SplashTest, Picture400x300WithBevel5_Window410x310Centred)
{
    TComponent Owner;
    auto* Splash = new TuiSplash(&Owner);
    SetPicture(Splash->Picture(), TitlePicture(400, 300));
    int Shown = 0;
    Splash->OnShow = [&](TComponent*) { ++Shown; };
    Splash->Show();
    ASSERT_NE(Splash->SplashForm(), nullptr);
    const TuisfSplash& Form = *Splash->SplashForm();
    EXPECT_EQ(Form.BoundsRect(), (TRect{307, 229, 717, 539}));
    EXPECT_EQ(Form.FormStyle(), TForm::fsStayOnTop);
    EXPECT_EQ(Form.BorderStyle(), TForm::bsNone);
    EXPECT_TRUE(Form.pnlSplash().Visible());
    EXPECT_FALSE(Form.uiShapeForm1().Visible());
    EXPECT_EQ(Form.pnlSplash().BevelWidth(), 5);
    EXPECT_EQ(Form.tmrClose().Interval(), 5000);
    EXPECT_TRUE(Form.tmrClose().Enabled()); // started when activated
    EXPECT_EQ(Shown, 1);
    Splash->Show(); // shown already: nothing more
    EXPECT_EQ(Shown, 1);
    EXPECT_TRUE(test::MatchesReference(Splash->SplashForm()->Widget()->grab().toImage().convertToFormat(
                                           QImage::Format_RGB32),
                                       QStringLiteral("components"), QStringLiteral("splash")));
}

TEST_F(SplashTest, NoPicture_RaisesPictureRequired)
{
    TuiSplash Splash;
    try {
        Splash.Show();
        FAIL() << "no error";
    } catch (const Exception& Error) {
        EXPECT_STREQ(Error.what(), "Picture required");
    }
    EXPECT_EQ(Splash.SplashForm(), nullptr);
}

TEST_F(SplashTest, Timer_ClosesAndFreesTheWindow)
{
    TuiSplash Splash;
    SetPicture(Splash.Picture(), TitlePicture(40, 30));
    int Hidden = 0;
    Splash.OnHide = [&](TComponent*) { ++Hidden; };
    Splash.SetDuration(1234);
    Splash.Show();
    TuisfSplash* Form = Splash.SplashForm();
    ASSERT_NE(Form, nullptr);
    EXPECT_EQ(Form->tmrClose().Interval(), 1234);
    QWidget* Window = Form->Widget();
    EXPECT_TRUE(Window->isVisible());
    Form->tmrClose().Tick(); // the clock runs out
    EXPECT_EQ(Splash.SplashForm(), nullptr);
    EXPECT_FALSE(Window->isVisible());
    EXPECT_EQ(Hidden, 1);
    FlushDeletes();
    EXPECT_EQ(Splash.ComponentCount(), 0);
    // It can be shown again.
    Splash.Show();
    EXPECT_NE(Splash.SplashForm(), nullptr);
}

TEST_F(SplashTest, DurationZero_StaysUntilClicked)
{
    TuiSplash Splash;
    SetPicture(Splash.Picture(), TitlePicture(40, 30));
    Splash.SetDuration(0);
    Splash.Show();
    TuisfSplash* Form = Splash.SplashForm();
    ASSERT_NE(Form, nullptr);
    EXPECT_FALSE(Form->tmrClose().Enabled());
    // Every point of the window counts as caption; a press there closes.
    EXPECT_EQ(Form->HitTest(3, 3), HTCAPTION);
    Form->MouseDown(mbLeft, {}, 20, 15);
    EXPECT_EQ(Splash.SplashForm(), nullptr);
}

TEST_F(SplashTest, WithoutHideOnClick_TheWindowIsDraggedFromAnywhere)
{
    TuiSplash Splash;
    SetPicture(Splash.Picture(), TitlePicture(40, 30));
    Splash.SetHideOnClick(false);
    Splash.Show();
    TuisfSplash* Form = Splash.SplashForm();
    ASSERT_NE(Form, nullptr);
    const TRect Before = Form->BoundsRect();
    Form->MouseDown(mbLeft, {}, 20, 15);
    Form->MouseMove(TShiftState(TControl::ssLeft), 30, 25);
    Form->MouseUp(mbLeft, {}, 30, 25);
    EXPECT_EQ(Splash.SplashForm(), Form);
    EXPECT_EQ(Form->Left(), Before.Left + 10);
    EXPECT_EQ(Form->Top(), Before.Top + 10);
}

TEST_F(SplashTest, NoSplashSwitch_AnyCaseSuppressesAutoShow)
{
    EXPECT_TRUE(HasNoSplashSwitch({QStringLiteral("a.sec"), QStringLiteral("-NS")}));
    EXPECT_TRUE(HasNoSplashSwitch({QStringLiteral("/nS")}));
    EXPECT_FALSE(HasNoSplashSwitch({QStringLiteral("ns"), QStringLiteral("-nsx")}));

    for (const bool Switch : {true, false}) {
        Parameters = Switch ? QStringList{QStringLiteral("-NS")} : QStringList{};
        TComponent Owner;
        auto* Splash = new TuiSplash(&Owner);
        SetPicture(Splash->Picture(), TitlePicture(40, 30));
        Owner.Loading();
        Splash->SetAutoShow(true);
        Owner.Loaded();
        EXPECT_EQ(Splash->SplashForm() != nullptr, !Switch);
        // Outside loading AutoShow shows nothing.
        Splash->Hide();
        Splash->SetAutoShow(true);
        EXPECT_EQ(Splash->SplashForm(), nullptr);
        FlushDeletes();
    }
}

TEST_F(SplashTest, LowColourScreen_ShowsThePictureForIt)
{
    TuiSplash Splash;
    SetPicture(Splash.Picture(), TitlePicture(60, 40));
    SetPicture(Splash.PictureVGA(), TitlePicture(30, 20));
    Depth = 8;
    Splash.Show();
    EXPECT_EQ(Splash.SplashForm()->imgSplash().Width(), 30);
    Splash.Hide();
    FlushDeletes();
    Depth = 16;
    Splash.Show();
    EXPECT_EQ(Splash.SplashForm()->imgSplash().Width(), 60);
}

TEST_F(SplashTest, LocalBitmapBesideTheProgram_ReplacesThePictures)
{
    TuiSplash Splash;
    SetPicture(Splash.Picture(), TitlePicture(60, 40));
    TBitmap Local;
    Local.SetImage(TitlePicture(50, 45));
    Local.SaveToFile(Folder.filePath(QStringLiteral("lithoprism.bmp")));
    Splash.Show();
    EXPECT_EQ(Splash.SplashForm()->imgSplash().Width(), 50);
    Splash.Hide();
    FlushDeletes();
    Splash.SetAllowLocalBmp(false);
    Splash.Show();
    EXPECT_EQ(Splash.SplashForm()->imgSplash().Width(), 60);
}

// Regression: an unreadable local bitmap ended the start-up with an error.
TEST_F(SplashTest, UnreadableLocalBitmap_KeepsTheStoredPicture)
{
    TuiSplash Splash;
    SetPicture(Splash.Picture(), TitlePicture(60, 40));
    QFile Broken(Folder.filePath(QStringLiteral("lithoprism.bmp")));
    ASSERT_TRUE(Broken.open(QIODevice::WriteOnly));
    Broken.write("BM not really");
    Broken.close();
    Splash.Show();
    EXPECT_EQ(Splash.SplashForm()->imgSplash().Width(), 60);
}

TEST_F(SplashTest, ShapedSplash_WindowTakesThePictureRegion)
{
    TuiSplash Splash;
    SetPicture(Splash.Picture(), DiscPicture(200, 120));
    Splash.SetShapeForm(true);
    Splash.SetShapeTolerance(clGreen);
    Splash.SetBevelWidth(0);
    Splash.Show();
    TuisfSplash& Form = *Splash.SplashForm();
    EXPECT_TRUE(Form.uiShapeForm1().Visible());
    ASSERT_TRUE(Form.WindowRgn().has_value());
    EXPECT_TRUE(Form.WindowRgn()->contains(QPoint(100, 60)));
    EXPECT_FALSE(Form.WindowRgn()->contains(QPoint(2, 2)));
    EXPECT_EQ(Form.Widget()->mask(), *Form.WindowRgn());
    QImage Shot = Form.Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // What the mask cuts away is shown white in the picture.
    for (int y = 0; y < Shot.height(); ++y)
        for (int x = 0; x < Shot.width(); ++x)
            if (!Form.WindowRgn()->contains(QPoint(x, y)))
                Shot.setPixel(x, y, qRgb(255, 255, 255));
    EXPECT_TRUE(test::MatchesReference(Shot, QStringLiteral("components"), QStringLiteral("splash-shaped")));
}

TEST_F(SplashTest, ShowModal_ReturnsWhenTheTimerCloses)
{
    TuiSplash Splash;
    SetPicture(Splash.Picture(), TitlePicture(40, 30));
    Splash.SetShowModal(true);
    Splash.SetDuration(30);
    Splash.Show();
    EXPECT_EQ(Splash.SplashForm(), nullptr);
}

TEST_F(SplashTest, AutoShowOnDestroy_ShowsAndWaitsForTheTimer)
{
    auto Splash = std::make_unique<TuiSplash>();
    SetPicture(Splash->Picture(), TitlePicture(40, 30));
    Splash->SetAutoShowOnDestroy(true);
    Splash->SetDuration(20);
    int Hidden = 0;
    Splash->OnHide = [&](TComponent*) { ++Hidden; };
    Splash.reset();
    EXPECT_EQ(Hidden, 1);
    // Not with the no-splash switch.
    Parameters = {QStringLiteral("/NS")};
    Splash = std::make_unique<TuiSplash>();
    SetPicture(Splash->Picture(), TitlePicture(40, 30));
    Splash->SetAutoShowOnDestroy(true);
    Splash->OnHide = [&](TComponent*) { ++Hidden; };
    Splash.reset();
    EXPECT_EQ(Hidden, 1);
}

TEST(SplashAnimation, RollsAndSlidesNeedADirection)
{
    TuiAnimateWin Animation;
    EXPECT_EQ(Animation.Duration(), 200);
    Animation.SetEffect(TuiAnimateWin::aweSlide);
    EXPECT_EQ(Animation.Horz(), TuiAnimateWin::awdPositive);
    EXPECT_EQ(Animation.Flags(false), unsigned(AW_SLIDE | AW_HOR_POSITIVE));
    Animation.SetVert(TuiAnimateWin::awdNegative);
    EXPECT_EQ(Animation.Flags(true), unsigned(AW_HIDE | AW_SLIDE | AW_HOR_POSITIVE | AW_VER_NEGATIVE));
    Animation.SetHorz(TuiAnimateWin::awdNone);
    EXPECT_EQ(Animation.Effect(), TuiAnimateWin::aweSlide);
    Animation.SetVert(TuiAnimateWin::awdNone);
    EXPECT_EQ(Animation.Effect(), TuiAnimateWin::aweNone);
    Animation.SetEffect(TuiAnimateWin::aweCenter);
    EXPECT_EQ(Animation.Flags(false), unsigned(AW_CENTER));
    Animation.SetDuration(70);
    Animation.SetVert(TuiAnimateWin::awdPositive);
    TuiAnimateWin Copy;
    Copy.Assign(&Animation);
    EXPECT_EQ(Copy.Effect(), TuiAnimateWin::aweCenter);
    EXPECT_EQ(Copy.Vert(), TuiAnimateWin::awdPositive);
    EXPECT_EQ(Copy.Duration(), 70);
}

TEST(SplashAnimation, ShapeAndCuttingEffectsExcludeEachOther)
{
    TuiSplash Splash;
    Splash.AnimateShow().SetEffect(TuiAnimateWin::aweSlide);
    Splash.AnimateHide().SetEffect(TuiAnimateWin::aweCenter);
    Splash.SetShapeForm(true);
    EXPECT_EQ(Splash.AnimateShow().Effect(), TuiAnimateWin::aweBlend);
    EXPECT_EQ(Splash.AnimateHide().Effect(), TuiAnimateWin::aweBlend);
    Splash.AnimateHide().SetEffect(TuiAnimateWin::aweRoll);
    EXPECT_FALSE(Splash.ShapeForm());
}

TEST(SplashAnimation, AnimatedShowAndHide_EndWithTheWindowsOwnLook)
{
    QWidget Window;
    Window.resize(60, 40);
    const QRegion Shape(0, 0, 30, 40);
    Window.setMask(Shape);
    EXPECT_TRUE(AnimateWindow(&Window, 20, AW_CENTER));
    EXPECT_TRUE(Window.isVisible());
    EXPECT_EQ(Window.mask(), Shape);
    EXPECT_FALSE(AnimateWindow(&Window, 20, AW_BLEND)); // visible already
    EXPECT_TRUE(AnimateWindow(&Window, 20, AW_HIDE | AW_BLEND));
    EXPECT_FALSE(Window.isVisible());
    EXPECT_DOUBLE_EQ(Window.windowOpacity(), 1.0);
    EXPECT_FALSE(AnimateWindow(&Window, 20, AW_SLIDE)); // no direction: nothing to show
}

// --- Bitmap to region -------------------------------------------------------------------------

std::unique_ptr<TBitmap> Card(int W, int H, QRgb Background)
{
    auto Bitmap = std::make_unique<TBitmap>();
    QImage Image(W, H, QImage::Format_RGB32);
    Image.fill(Background);
    Bitmap->SetImage(Image);
    return Bitmap;
}

TEST(BitmapRegion, RunsWithinToleranceAreTransparent)
{
    const std::unique_ptr<TBitmap> Owned = Card(10, 4, qRgb(0, 128, 0));
    TBitmap& Bitmap = *Owned;
    QImage Image = Bitmap.Image();
    Image.setPixel(2, 1, qRgb(0x10, 0x90, 0x10)); // within 0x101010 of green
    Image.setPixel(3, 1, qRgb(0x11, 0x80, 0x00)); // red one step beyond
    Image.setPixel(4, 1, qRgb(255, 255, 255));
    Image.setPixel(8, 2, qRgb(0, 0, 0));
    Bitmap.SetImage(Image);
    int Batches = 0;
    const std::optional<TRegion> Region = BitmapToRegion(Bitmap, 0x101010, {0, 0}, &Batches);
    ASSERT_TRUE(Region);
    EXPECT_EQ(Batches, 1);
    EXPECT_EQ(*Region, QRegion(3, 1, 2, 1) + QRegion(8, 2, 1, 1));
    const std::optional<TRegion> Moved = BitmapToRegion(Bitmap, 0x101010, {5, 7});
    EXPECT_EQ(*Moved, Region->translated(5, 7));
}

TEST(BitmapRegion, AllTransparentOrEmpty_NoRegion)
{
    const std::unique_ptr<TBitmap> Owned = Card(8, 8, qRgb(100, 100, 100));
    TBitmap& Bitmap = *Owned;
    QImage Image = Bitmap.Image();
    Image.setPixel(3, 3, qRgb(110, 90, 116));
    Bitmap.SetImage(Image);
    EXPECT_FALSE(BitmapToRegion(Bitmap, 0x101010).has_value());
    EXPECT_FALSE(BitmapToRegion(TBitmap(), 0x101010).has_value());
    // The tolerance is clamped at the ends of each channel.
    EXPECT_FALSE(BitmapToRegion(*Card(4, 4, qRgb(250, 5, 255)), 0x202020).has_value());
}

TEST(BitmapRegion, ManyRuns_CombinedInBatchesOf2000)
{
    // 2500 separate one-pixel runs: 50 rows of 50 dots.
    const std::unique_ptr<TBitmap> Owned = Card(100, 51, qRgb(255, 255, 255));
    TBitmap& Bitmap = *Owned;
    QImage Image = Bitmap.Image();
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            Image.setPixel(2 * x, y, qRgb(0, 0, 0));
    Bitmap.SetImage(Image);
    int Batches = 0;
    const std::optional<TRegion> Region = BitmapToRegion(Bitmap, 0x101010, {0, 0}, &Batches);
    ASSERT_TRUE(Region);
    EXPECT_EQ(Batches, 2);
    EXPECT_EQ(Region->rectCount(), 2500);
    EXPECT_TRUE(Region->contains(QPoint(98, 49)));
    EXPECT_FALSE(Region->contains(QPoint(99, 49)));
}

// --- Shape component ----------------------------------------------------------------------------

TEST(ShapeForm, OnlyOnAForm)
{
    TComponent NotAForm;
    try {
        TuiShapeForm Shape(&NotAForm);
        FAIL() << "no error";
    } catch (const Exception& Error) {
        EXPECT_STREQ(Error.what(), "This component must be owned by a TForm");
    }
    EXPECT_EQ(NotAForm.ComponentCount(), 0);
}

// Regression: an empty or unreadable shape picture must leave an ordinary
// rectangular window.
TEST(ShapeForm, EmptyPicture_RectangularWindow)
{
    TForm Form;
    Form.SetBounds(0, 0, 50, 40);
    auto* Shape = new TuiShapeForm(&Form);
    SetPicture(Shape->Picture(), DiscPicture(80, 60));
    EXPECT_EQ(Form.ClientWidth(), 80);
    EXPECT_TRUE(Form.WindowRgn().has_value());
    Shape->Picture().Assign(nullptr);
    EXPECT_FALSE(Form.WindowRgn().has_value());
    EXPECT_TRUE(Form.Widget()->mask().isEmpty());
    EXPECT_THROW(Shape->Picture().LoadFromFile(QStringLiteral("/nonexistent/shape.bmp")), Exception);
    EXPECT_FALSE(Form.WindowRgn().has_value());
    // Disabled: no shape even with a picture.
    SetPicture(Shape->Picture(), DiscPicture(80, 60));
    Shape->SetEnabled(false);
    EXPECT_FALSE(Form.WindowRgn().has_value());
}

TEST(ShapeForm, DragAnywhereOrFromOneControl)
{
    TForm Form;
    Form.SetBounds(0, 0, 100, 100);
    auto* Shape = new TuiShapeForm(&Form);
    EXPECT_EQ(Form.HitTest(5, 5), HTCLIENT);
    Shape->SetDragAnywhere(true);
    EXPECT_EQ(Form.HitTest(5, 5), HTCAPTION);
    auto* Handle = new TControl(&Form);
    Handle->SetBounds(10, 10, 20, 20);
    Shape->SetDragControl(Handle);
    EXPECT_FALSE(Shape->DragAnywhere());
    EXPECT_EQ(Form.HitTest(15, 15), HTCAPTION);
    EXPECT_EQ(Form.HitTest(5, 5), HTCLIENT);
    delete Handle;
    EXPECT_EQ(Shape->DragControl(), nullptr);
    delete Shape; // the form's own hit test returns
    Form.MouseDown(mbLeft, {}, 5, 5);
    EXPECT_EQ(Form.HitTest(15, 15), HTCLIENT);

    TForm Designed;
    Designed.SetDesigning(true);
    auto* Still = new TuiShapeForm(&Designed);
    Still->SetDragAnywhere(true);
    EXPECT_EQ(Designed.HitTest(5, 5), HTCLIENT);
}

// --- Form factory -----------------------------------------------------------------------------

class TSplashReplacement : public TuisfSplash {
    Q_OBJECT
public:
    using TuisfSplash::TuisfSplash;
};

TEST(FormFactory, ReplacementsMustInherit)
{
    TuiFormFactory& Factory = TuiFormFactory::Instance();
    RegisterSplashForm();
    TComponent Owner;
    EXPECT_EQ(Factory.CreateForm(QStringLiteral("TuisfSplash"), &Owner)->metaObject(), &TuisfSplash::staticMetaObject);
    try {
        Factory.RegisterReplacement(TuisfSplash::staticMetaObject, TForm::staticMetaObject,
                                    [](TComponent* O) { return new TForm(O); });
        FAIL() << "no error";
    } catch (const Exception& Error) {
        EXPECT_STREQ(Error.what(), "Form Factory error: TForm does not inherit from TuisfSplash");
    }
    EXPECT_EQ(Factory.Find(QStringLiteral("TuisfSplash"))->MetaObject, &TuisfSplash::staticMetaObject);
    Factory.RegisterReplacement(TuisfSplash::staticMetaObject, TSplashReplacement::staticMetaObject,
                                [](TComponent* O) { return new TSplashReplacement(O); });
    EXPECT_TRUE(qobject_cast<TSplashReplacement*>(Factory.CreateForm(QStringLiteral("TuisfSplash"), &Owner)));
    UnregisterSplashForm();
    EXPECT_EQ(Factory.CreateForm(QStringLiteral("TuisfSplash"), &Owner), nullptr);
}

} // namespace
} // namespace lp

#include "ShapedSplash_test.moc"
