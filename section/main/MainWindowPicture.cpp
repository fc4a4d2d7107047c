// The section's picture in the main window: its corners marked on the
// chart, the picture shown as the undo history knows it, an image laid
// under the section, and the picture file a save names (an underlay's
// image written beside the section).

#include "section/main/MainWindow.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotSeries.h"
#include "platform/core/SafeSave.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Application.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>

namespace lp {

namespace {

constexpr TColor PictureCornerColor = 0x20000000;

// The file an inversion's image is saved in beside the section Document:
// NAME-inversion.png, else NAME-inversion-2.png, -3 ..., the first name no
// file has (an existing one may be the picture of another saved state).
QString FreeUnderlayFile(const QString& Document)
{
    const QFileInfo document(Document);
    const QDir folder = document.absoluteDir();
    const QString base = document.completeBaseName() + QStringLiteral("-inversion");
    for (int number = 1; number <= 100000; ++number) {
        const QString file =
            folder.filePath(base + (number == 1 ? QString() : QStringLiteral("-%1").arg(number)) + QStringLiteral(".png"));
        if (!QFileInfo::exists(file))
            return file;
    }
    throw Exception("No free name for the underlay beside " + Document.toStdString());
}

// Image written as a PNG file; false with the reason in Error.
bool SavePng(const QImage& Image, const QString& File, QString& Error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!Image.save(&buffer, "PNG")) {
        Error = QStringLiteral("the image could not be encoded");
        return false;
    }
    return SaveBytesAtomically(File, bytes, Error);
}

} // namespace

void TMainfrm::ShowPictureCorners()
{
    Series1->SetActive(false);
    Series1->Clear();
    Series1->AddXY(PictureCorners[0], PictureCorners[1], {}, PictureCornerColor);
    Series1->AddXY(PictureCorners[2], PictureCorners[3], {}, PictureCornerColor);
    Series1->SetActive(true);
    ChartTool1->SetActive(true);
}

TMainfrm::TSectionPicture TMainfrm::ShownPicture() const
{
    TSectionPicture picture;
    picture.Path = PicturePath;
    for (int i = 0; i < 4; ++i)
        picture.Corners[i] = PictureCorners[i];
    if (const TGraphic* shown = ChartTool1->Picture()->Graphic())
        picture.Image = shown->ToImage();
    return picture;
}

void TMainfrm::ShowPicture(const TSectionPicture& Picture)
{
    PicturePath = Picture.Written.isEmpty() ? Picture.Path : Picture.Written;
    for (int i = 0; i < 4; ++i)
        PictureCorners[i] = Picture.Corners[i];
    ShowPictureCorners();
    if (Picture.Image.isNull()) {
        ChartTool1->Picture()->SetGraphic(nullptr);
    } else {
        TBitmap shown;
        shown.SetImage(Picture.Image);
        ChartTool1->Picture()->SetGraphic(&shown);
    }
    PolygonChart1->Invalidate();
}

bool TMainfrm::LayUnderlay(const QImage& Image, double Left, double Top, double Right, double Bottom)
{
    // The image is held by the section's history; the save that writes the
    // section writes it beside it (SavedPictureFile).
    // What is shown now comes back on a failure (Remove picture may have
    // hidden the history's picture).
    const TSectionPicture before = ShownPicture();
    try {
        PictureCorners[0] = Left;
        PictureCorners[1] = Top;
        PictureCorners[2] = Right;
        PictureCorners[3] = Bottom;
        PicturePath.clear();
        TBitmap shown;
        shown.SetImage(UprightPicture(Image));
        ChartTool1->Picture()->SetGraphic(&shown);
    } catch (const std::exception& Error) {
        ShowPicture(before);
        Application().HandleException(Error);
        return false;
    }
    ShowPictureCorners();
    PolygonChart1->Invalidate();
    TSectionPicture laid = ShownPicture();
    laid.FromInversion = true;
    FPicture = std::make_shared<const TSectionPicture>(std::move(laid));
    // A step of the section's history of its own; a Ctrl press before it
    // put back no edit this step could answer.
    PolygonChart1->PushUndo();
    FKeyCancelledEdit = false;
    FMissingPicture = false;
    SetModified(true);
    return true;
}

QString TMainfrm::MissingPictureText(const QString& Stored)
{
    return QStringLiteral("Picture not found: ") + Stored;
}

void TMainfrm::LoadSectionPicture(const QString& FileName)
{
    TPicture& shown = *ChartTool1->Picture();
    try {
        shown.LoadFromFile(FileName);
    } catch (const EInvalidGraphic& Error) {
        // A file that cannot be opened is named by the message already; the
        // decoders' messages ("JPEG error: ...") name no file.
        if (!QFileInfo(FileName).isReadable())
            throw;
        throw EInvalidGraphic(QStringLiteral("Cannot read the picture file \"%1\": %2")
                                  .arg(FileName, QString::fromStdString(Error.Message()))
                                  .toStdString());
    }
    if (shown.Graphic()) {
        const QImage image = shown.Graphic()->ToImage();
        const QImage upright = UprightPicture(image);
        if (upright != image) {
            TBitmap turned;
            turned.SetImage(upright);
            shown.SetGraphic(&turned);
        }
    }
}

QImage TMainfrm::UprightPicture(const QImage& Image) const
{
    // The picture tool puts the larger value at the top; with depth growing
    // downwards the picture's top row belongs at the smaller one.
    const bool depthDown = PolygonChart1->RightAxis()->Inverted();
    const bool topIsSmaller = PictureCorners[1] < PictureCorners[3];
    return depthDown == topIsSmaller ? Image.mirrored(false, true) : Image;
}

QString TMainfrm::SavedPictureFile(const QString& Section)
{
    // A read picture keeps the name it was read under (a missing one too).
    if (!FPicture->FromInversion || FPicture->Image.isNull())
        return PicturePath;
    if (!FPicture->Written.isEmpty() && QFileInfo(FPicture->Written).isFile())
        return FPicture->Written;
    const QString file = FreeUnderlayFile(Section);
    QString error;
    if (!SavePng(UprightPicture(FPicture->Image), file, error))
        throw Exception("The underlay could not be saved as " + file.toStdString() + ": " + error.toStdString());
    // Every state of the history that holds this picture names the file now.
    FPicture->Written = file;
    return file;
}

} // namespace lp
