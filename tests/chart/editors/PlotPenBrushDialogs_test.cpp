#include "chart/editors/PlotPenBrushDialogs.h"

#include "DialogTestUtil.h"
#include "chart/canvas/PlotCanvas.h"
#include "chart/canvas/PlotPatterns.h"
#include "chart/canvas/PlotPens.h"
#include "chart/canvas/PlotRoutines.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QSpinBox>

#include <gtest/gtest.h>

#include <utility>

namespace lp {
namespace {

using test::SaveScreenshot;
using test::TColorDialogAnswer;

// Switches the geometric-pen setting for one test.
class TGeometricPens {
public:
    explicit TGeometricPens(bool On) : FOld(GeometricPens()) { SetGeometricPens(On); }
    ~TGeometricPens() { SetGeometricPens(FOld); }

private:
    bool FOld;
};

// Records every change event of a pen or brush.
struct TChangeCounter {
    int Count = 0;
    TGraphicsChangeEvent Handler()
    {
        return [this](TGraphicsObject*) { ++Count; };
    }
};

TEST(PenDialog, PlainPenHidesVisibleAndOffersNoSmallDots)
{
    TPen pen;
    pen.SetStyle(TPen::psDot);
    TPenDialog dialog;
    dialog.ThePen = &pen;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Border Editor"));
    EXPECT_FALSE(dialog.CBVisible->isVisible());
    EXPECT_EQ(dialog.CBStyle->count(), 5);
    EXPECT_EQ(dialog.CBStyle->currentIndex(), 2);
    EXPECT_FALSE(dialog.Modified());
}

TEST(PenDialog, ChartPenWithGeometricPensOffersSmallDotsAndEndStyles)
{
    TGeometricPens on(true);
    TChartPen pen;
    pen.SetSmallDots(true);
    pen.SetEndStyle(esFlat);
    TPenDialog dialog;
    dialog.ThePen = &pen;
    dialog.show();
    ASSERT_EQ(dialog.CBStyle->count(), 6);
    EXPECT_EQ(dialog.CBStyle->itemText(5), QStringLiteral("Small Dots"));
    EXPECT_EQ(dialog.CBStyle->currentIndex(), 5);
    EXPECT_FALSE(dialog.UDWidth->isEnabled());
    EXPECT_EQ(dialog.CBEndStyle->currentIndex(), 2);
    EXPECT_TRUE(dialog.CBVisible->isVisible());

    dialog.CBStyle->setCurrentIndex(1);
    EXPECT_FALSE(pen.SmallDots());
    EXPECT_EQ(pen.Style(), TPen::psDash);
    EXPECT_TRUE(dialog.UDWidth->isEnabled());
    dialog.CBStyle->setCurrentIndex(5);
    EXPECT_TRUE(pen.SmallDots());
}

TEST(PenDialog, WithoutGeometricPensAWidePenLocksTheStyleList)
{
    TGeometricPens off(false);
    TChartPen pen;
    pen.SetWidth(2);
    pen.SetSmallDots(true);
    TPenDialog dialog;
    dialog.ThePen = &pen;
    dialog.show();
    EXPECT_FALSE(dialog.CBStyle->isEnabled());
    EXPECT_EQ(dialog.CBStyle->currentText(), QStringLiteral("Dash Dot Dot"));
    EXPECT_FALSE(dialog.CBEndStyle->isVisible());
    dialog.UDWidth->setValue(1);
    EXPECT_TRUE(dialog.CBStyle->isEnabled());
    EXPECT_EQ(pen.Width(), 1);
}

TEST(PenDialog, CancelWithoutChangeFiresNothingAndCancelAfterChangesRestores)
{
    TChangeCounter changes;
    TChartPen pen(changes.Handler());
    pen.SetColor(clBlue);
    pen.SetWidth(3);
    changes.Count = 0;
    {
        TPenDialog dialog;
        dialog.ThePen = &pen;
        dialog.show();
        QTest::mouseClick(dialog.BCancel, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(changes.Count, 0);
    EXPECT_EQ(pen.Width(), 3);

    TPenDialog dialog;
    dialog.ThePen = &pen;
    dialog.show();
    dialog.UDWidth->setValue(7);
    dialog.CBVisible->setChecked(false);
    dialog.CBEndStyle->setCurrentIndex(1);
    EXPECT_EQ(pen.Width(), 7); // live
    EXPECT_FALSE(pen.Visible());
    changes.Count = 0;
    dialog.reject();
    EXPECT_EQ(pen.Width(), 3);
    EXPECT_TRUE(pen.Visible());
    EXPECT_EQ(pen.EndStyle(), esRound);
    EXPECT_EQ(pen.Color(), clBlue);
    EXPECT_GE(changes.Count, 1);
}

TEST(PenDialog, ColourButtonEditsThePenAndOkKeepsIt)
{
    TColorDialogAnswer colours;
    colours.Answer = clRed;
    TChartPen pen;
    TPenDialog dialog;
    dialog.ThePen = &pen;
    dialog.show();
    QTest::mouseClick(dialog.BColor, Qt::LeftButton);
    EXPECT_EQ(pen.Color(), clRed);
    EXPECT_TRUE(dialog.Modified());
    QTest::mouseClick(dialog.BOk, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(pen.Color(), clRed);
}

TEST(PenDialog, StyleItemsDrawTheSampleInAVisibleColour)
{
    TChartPen pen;
    pen.SetColor(clWhite);
    TPenDialog dialog;
    dialog.ThePen = &pen;
    dialog.show();
    const TDrawItemEvent draw = [&](TCanvas& C, const TRect& R, int I, TColor B) { dialog.DrawStyleItem(C, R, I, B); };
    const QImage item = DrawItemImage(draw, 120, 16, 0, false); // white pen on the window colour (white)
    EXPECT_EQ(item.pixel(10, 8) & 0xFFFFFF, 0u);
    const QImage dashed = DrawItemImage(draw, 120, 16, 1, false);
    int gaps = 0;
    for (int x = 2; x < 30; ++x)
        gaps += (dashed.pixel(x, 8) & 0xFFFFFF) != 0;
    EXPECT_GT(gaps, 0);
}

TEST(BrushDialog, ItemTenIsPatternStyleTenWithPatternResourceThree)
{
    TChartBrush brush;
    brush.SetColor(clRed);
    TBrushDialog dialog;
    dialog.TheBrush = &brush;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Pattern Color Editor"));
    EXPECT_EQ(dialog.LStyle->count(), 43);
    EXPECT_EQ(dialog.Button1->text(), QStringLiteral("B&rowse..."));
    dialog.StyleClick(10);
    EXPECT_EQ(static_cast<int>(brush.Style()), 10);
    ASSERT_TRUE(brush.HasImage());
    TBitmap expected;
    LoadBrushStyleBitmap(2, expected); // "BBitmap3"
    EXPECT_EQ(brush.Image()->Graphic()->ToImage().convertToFormat(QImage::Format_RGB32),
              expected.ToImage().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(dialog.Button1->text(), QStringLiteral("Clea&r"));
    EXPECT_EQ(dialog.Button1->property("Tag").toInt(), 1);

    dialog.StyleClick(1);
    EXPECT_FALSE(brush.HasImage());
    EXPECT_FALSE(dialog.BColor->isEnabled());
    dialog.StyleClick(0);
    EXPECT_TRUE(dialog.BColor->isEnabled());
}

TEST(BrushDialog, CancelPutsTheBrushBack)
{
    TChartBrush brush;
    brush.SetStyle(TBrush::bsCross);
    TBrushDialog dialog;
    dialog.TheBrush = &brush;
    dialog.show();
    EXPECT_EQ(dialog.LStyle->currentRow(), 6);
    dialog.StyleClick(12);
    QTest::mouseClick(dialog.Button3, Qt::LeftButton);
    EXPECT_EQ(brush.Style(), TBrush::bsCross);
    EXPECT_FALSE(brush.HasImage());
}

TEST(BrushDialog, ImageButtonAsksForAFileAndACancelChangesNothing)
{
    int asked = 0;
    CommonDialogService().ExecuteOpen = [&](TOpenDialogRequest&) {
        ++asked;
        return false;
    };
    TChartBrush brush;
    TBrushDialog dialog;
    dialog.TheBrush = &brush;
    dialog.show();
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    ResetCommonDialogService();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(brush.HasImage());
}

TEST(BrushDialog, AChosenPictureBecomesABitmapOfItsSize)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("tile.png"));
    QImage tile(12, 9, QImage::Format_RGB32);
    tile.fill(QColor(0, 0, 255));
    ASSERT_TRUE(tile.save(file));
    CommonDialogService().ExecuteOpen = [&](TOpenDialogRequest& Request) {
        EXPECT_FALSE(Request.Filter.isEmpty());
        Request.FileName = file;
        return true;
    };
    TChartBrush brush;
    TBrushDialog dialog;
    dialog.TheBrush = &brush;
    dialog.show();
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    ResetCommonDialogService();
    ASSERT_TRUE(brush.HasImage());
    auto* bitmap = qobject_cast<TBitmap*>(brush.Image()->Graphic());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 12);
    EXPECT_EQ(bitmap->Height(), 9);
    EXPECT_EQ(bitmap->Canvas().Pixel(5, 5), clBlue);
    EXPECT_EQ(dialog.Button1->text(), QStringLiteral("Clea&r"));
    QTest::mouseClick(dialog.Button1, Qt::LeftButton); // now clears
    EXPECT_FALSE(brush.HasImage());
}

TEST(BrushDialog, PatternItemsShowTheirPattern)
{
    TChartBrush brush;
    TBrushDialog dialog;
    dialog.TheBrush = &brush;
    const TDrawItemEvent draw = [&](TCanvas& C, const TRect& R, int I, TColor B) { dialog.DrawStyleItem(C, R, I, B); };
    for (int index : {0, 9, 42}) {
        const QImage item = DrawItemImage(draw, 100, 16, index, false);
        int black = 0;
        for (int y = 2; y < 14; ++y)
            for (int x = 2; x < 16; ++x)
                black += (item.pixel(x, y) & 0xFFFFFF) == 0;
        EXPECT_GT(black, 0) << index;
    }
}

TEST(ButtonPen, WidePenSampleIsSixPixelsAndThePenKeepsItsWidth)
{
    TChangeCounter changes;
    TChartPen pen(changes.Handler());
    pen.SetWidth(9);
    pen.SetColor(clRed);
    changes.Count = 0;
    TButtonPen button(QStringLiteral("Pen"));
    button.LinkPen(&pen);
    const QImage image = button.Snapshot();
    const int x = button.width() - 12;
    int red = 0;
    for (int y = 0; y < button.height(); ++y)
        red += (image.pixel(x, y) & 0xFFFFFF) == 0xFF0000;
    EXPECT_EQ(red, 6);
    EXPECT_EQ(pen.Width(), 9);
    EXPECT_EQ(changes.Count, 0);
}

TEST(ButtonPen, WithoutAPenAClickOnlyFiresTheEvent)
{
    TButtonPen button;
    int clicks = 0;
    button.OnClick = [&](TButtonPen*) { ++clicks; };
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST(EditorRoutines, CursorNamesIncludeThePlotHand)
{
    EXPECT_EQ(CursorFromName(QStringLiteral("PlotHand"), crDefault), 2020);
    EXPECT_EQ(CursorFromName(QStringLiteral("HourGlass"), crDefault), crHourGlass);
    EXPECT_EQ(CursorFromName(QStringLiteral("NoSuchCursor"), crCross), crCross);
    QString ident;
    EXPECT_TRUE(PlotCursorToIdent(2020, ident));
    EXPECT_EQ(ident, QStringLiteral("crPlotHand"));
    EXPECT_FALSE(PlotCursorToIdent(777, ident));

    QComboBox combo;
    FillCursorCombo(&combo, crPlotHand);
    EXPECT_EQ(combo.itemText(combo.count() - 1), QStringLiteral("PlotHand"));
    EXPECT_EQ(combo.currentText(), QStringLiteral("PlotHand"));
    EXPECT_EQ(combo.itemText(0), QStringLiteral("Default"));
    FillCursorCombo(&combo, 777);
    EXPECT_EQ(combo.currentIndex(), -1);
}

TEST(EditorRoutines, TempCursorsAddsNamesWithoutTheirPrefix)
{
    QComboBox combo;
    TTempCursors names(&combo);
    names.GetCursorName(QStringLiteral("crHandPoint"));
    names.GetCursorName(QStringLiteral("crPlotHand"));
    ASSERT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.itemText(0), QStringLiteral("HandPoint"));
    EXPECT_EQ(combo.itemText(1), QStringLiteral("PlotHand"));
}

TEST(BrushDialog, CarriesTheSevenHiddenPictures)
{
    TBrushDialog dialog;
    const std::pair<QLabel*, int> pictures[] = {{dialog.ImageMetal, 16}, {dialog.ImageWood, 16},
                                                {dialog.ImageStone, 16}, {dialog.ImageClouds, 32},
                                                {dialog.ImageGrass, 32}, {dialog.ImageFire, 32},
                                                {dialog.ImageSnow, 32}};
    dialog.show();
    for (const auto& [label, size] : pictures) {
        ASSERT_NE(label, nullptr);
        EXPECT_FALSE(label->isVisible()) << label->objectName().toStdString();
        EXPECT_EQ(label->pixmap().size(), QSize(size, size)) << label->objectName().toStdString();
        // Found by name, as the other editors find it.
        EXPECT_EQ(dialog.findChild<QLabel*>(label->objectName()), label);
    }
    EXPECT_EQ(dialog.ImageFire->objectName(), QStringLiteral("ImageFire"));
}

TEST(EditorRoutines, AddFormToPlacesTheFormNearTheTop)
{
    QWidget parent;
    parent.resize(200, 300);
    auto* form = new QWidget;
    form->resize(150, 100);
    AddFormTo(form, &parent, 7);
    EXPECT_EQ(form->parentWidget(), &parent);
    EXPECT_EQ(form->pos(), QPoint(4, 4));
    EXPECT_EQ(form->property("Tag").toInt(), 7);
    auto* tall = new QWidget;
    tall->resize(150, 296);
    AddFormToParent(tall, &parent);
    EXPECT_EQ(tall->y(), 2);
}

TEST(EditorRoutines, DeleteConfirmAsksYesNoBesideTheControl)
{
    std::vector<TMessageRequest> asked;
    MessageService() = [&](const TMessageRequest& Request) {
        asked.push_back(Request);
        return asked.size() == 1 ? int(mrYes) : int(mrNo);
    };
    QWidget control;
    control.move(100, 50);
    control.show();
    EXPECT_TRUE(AskDeleteConfirm(QStringLiteral("Series1"), &control));
    EXPECT_FALSE(AskDeleteConfirm(QStringLiteral("Series2")));
    ResetMessageService();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].Text, QStringLiteral("Delete Series1 ?"));
    EXPECT_EQ(asked[0].Buttons, TMsgDlgButtons(mbYes | mbNo));
    ASSERT_TRUE(asked[0].Position.has_value());
    EXPECT_EQ(*asked[0].Position, control.mapToGlobal(QPoint(0, 0)) + QPoint(20, 30));
    EXPECT_FALSE(asked[1].Position.has_value());
}

TEST(EditorRoutines, ValueFormatsListMovesAndArrows)
{
    QStringList formats;
    AddDefaultValueFormats(formats);
    ASSERT_EQ(formats.size(), 9);
    EXPECT_EQ(formats.first(), QStringLiteral("#,##0.###"));
    EXPECT_EQ(formats.last(), QStringLiteral("#.# x10E-#"));

    QListWidget source;
    QListWidget dest;
    for (const char* name : {"a", "b", "c", "d"}) {
        auto* item = new QListWidgetItem(QString::fromLatin1(name), &source);
        item->setData(Qt::UserRole, QString::fromLatin1(name).toUpper());
    }
    source.setSelectionMode(QAbstractItemView::MultiSelection);
    source.item(1)->setSelected(true);
    source.item(3)->setSelected(true);
    MoveListSelected(&source, &dest);
    ASSERT_EQ(dest.count(), 2);
    EXPECT_EQ(dest.item(0)->text(), QStringLiteral("b"));
    EXPECT_EQ(dest.item(1)->data(Qt::UserRole).toString(), QStringLiteral("D"));
    EXPECT_EQ(source.count(), 2);
    MoveListItems(&source, &dest);
    EXPECT_EQ(source.count(), 0);
    EXPECT_EQ(dest.count(), 4);

    TBitmap up;
    TBitmap down;
    LoadArrowBitmap(true, up);
    LoadArrowBitmap(false, down);
    EXPECT_EQ(up.Width(), 16);
    EXPECT_EQ(up.ToImage().pixel(8, 9) & 0xFFFFFF, 0u);
    EXPECT_EQ(down.ToImage().pixel(8, 6) & 0xFFFFFF, 0u);
    EXPECT_NE(up.ToImage().pixel(8, 4) & 0xFFFFFF, 0u);
}

TEST(EditorRoutines, FontDialogAnswerIsCopiedIntoTheFont)
{
    CommonDialogService().ExecuteFont = [](TFontDialogRequest& Request) {
        EXPECT_EQ(Request.Font.pointSize(), 8);
        Request.Font = QFont(QStringLiteral("Serif"), 14);
        Request.Font.setBold(true);
        return true;
    };
    TFont font;
    font.SetSize(8);
    EXPECT_TRUE(EditPlotFont(nullptr, font));
    ResetCommonDialogService();
    EXPECT_EQ(font.Name(), QStringLiteral("Serif"));
    EXPECT_EQ(font.Size(), 14);
    EXPECT_TRUE(font.Style() & TFont::fsBold);
}

TEST(EditorScreens, PenAndBrushDialogs)
{
    TChartPen pen;
    pen.SetColor(clNavy);
    pen.SetWidth(2);
    auto penDialog = CreatePenDialog(nullptr, pen, false);
    penDialog->show();
    const QImage penShot = SaveScreenshot(*penDialog, QStringLiteral("pen-dialog"));
    EXPECT_GE(penShot.width(), 277);
    // Every control lies inside the dialog.
    for (QWidget* control : std::initializer_list<QWidget*>{penDialog->CBVisible, penDialog->CBStyle,
                                                             penDialog->BColor, penDialog->UDWidth,
                                                             penDialog->CBEndStyle, penDialog->BOk,
                                                             penDialog->BCancel})
        EXPECT_TRUE(penDialog->rect().contains(control->geometry())) << control->metaObject()->className();

    TChartBrush brush;
    brush.SetColor(clTeal);
    brush.SetStyle(TBrush::bsDiagCross);
    TBrushDialog brushDialog;
    brushDialog.TheBrush = &brush;
    PlaceDialogForm(brushDialog, nullptr);
    brushDialog.show();
    SaveScreenshot(brushDialog, QStringLiteral("brush-dialog"));
    EXPECT_TRUE(brushDialog.rect().contains(brushDialog.Button3->geometry()));
}

} // namespace
} // namespace lp
