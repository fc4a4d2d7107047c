#include "chart/editors/tools/PictureToolPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotImageTool.h"
#include "platform/base/Exception.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Dialogs.h"

#include <QtGui/QPixmap>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

#include <cstring>

namespace lp {

namespace {

constexpr int PreviewWidth = 160;
constexpr int PreviewHeight = 110;

} // namespace

TChartImageToolEditor::TChartImageToolEditor(QWidget* Parent) : TSeriesToolEditor(Parent)
{
    auto* body = TPageBuilder::Named(new QWidget(this), "PanelBody");
    TPageBuilder build(*body);
    GroupBox1 = TPageBuilder::Named(new QGroupBox(QStringLiteral("Image:"), body), "GroupBox1");
    auto* grid = new QGridLayout(GroupBox1);
    Image1 = TPageBuilder::Named(new QLabel(GroupBox1), "Image1");
    Image1->setFixedSize(PreviewWidth, PreviewHeight);
    Image1->setFrameShape(QFrame::StyledPanel);
    Image1->setAlignment(Qt::AlignCenter);
    Button1 = TPageBuilder::Named(new QPushButton(QStringLiteral("B&rowse..."), GroupBox1), "Button1");
    BSave = TPageBuilder::Named(new QPushButton(QStringLiteral("&Save..."), GroupBox1), "BSave");
    BSave->setEnabled(false);
    grid->addWidget(Image1, 0, 0, 3, 1);
    grid->addWidget(Button1, 0, 1);
    grid->addWidget(BSave, 1, 1);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(2, 1);
    build.Full(GroupBox1);
    AddBody(body);
    connect(Button1, &QPushButton::clicked, this, &TChartImageToolEditor::Button1Click);
    connect(BSave, &QPushButton::clicked, this, &TChartImageToolEditor::BSaveClick);
    SetReadingTabOrder(*this);
}

TChartImageTool* TChartImageToolEditor::ImageTool() const
{
    return TargetAs<TChartImageTool>();
}

void TChartImageToolEditor::Button1Click()
{
    TChartImageTool* tool = ImageTool();
    if (!tool)
        return;
    if (Button1->property("Tag").toInt() == 1) {
        tool->SetPicture(nullptr);
    } else {
        const QString fileName = AskPictureFileName(this);
        if (fileName.isEmpty())
            return;
        // A file the registry cannot read: the message, and the picture as
        // it was.
        TPicture picture;
        try {
            picture.LoadFromFile(fileName);
        } catch (const Exception& Error) {
            ShowMessage(QString::fromStdString(Error.Message()));
            return;
        }
        tool->SetPicture(&picture);
    }
    tool->Repaint();
    AfterUserChange(Button1);
}

QString TChartImageToolEditor::SaveFilterOf(const TGraphic& Graphic)
{
    QStringList parts;
    for (const TPictureFileFormat& format : GraphicFileFormats()) {
        const std::unique_ptr<TGraphic> made = format.Factory ? format.Factory() : nullptr;
        if (made && std::strcmp(made->metaObject()->className(), Graphic.metaObject()->className()) == 0)
            parts << QStringLiteral("%1 (*.%2)").arg(format.Description, format.Extension)
                  << QStringLiteral("*.") + format.Extension;
    }
    return parts.join(QLatin1Char('|'));
}

void TChartImageToolEditor::BSaveClick()
{
    TChartImageTool* tool = ImageTool();
    const TGraphic* graphic = tool ? tool->Picture()->Graphic() : nullptr;
    if (!graphic)
        return;
    TSaveDialogRequest request;
    request.Owner = this;
    request.Name = QStringLiteral("SavePictureDialog1");
    request.Filter = SaveFilterOf(*graphic);
    const QStringList filter = request.Filter.split(QLatin1Char('|'));
    if (filter.size() >= 2)
        request.DefaultExt = filter[1].section(QLatin1Char('.'), -1);
    if (!ExecuteSaveDialog(request) || request.FileName.isEmpty())
        return;
    // A file that cannot be written: the message; an old file stays whole.
    try {
        graphic->SaveToFile(request.FileName);
    } catch (const Exception& Error) {
        ShowMessage(QString::fromStdString(Error.Message()));
    }
}

void TChartImageToolEditor::ShowPreview()
{
    TChartImageTool* tool = ImageTool();
    TGraphic* graphic = tool ? tool->Picture()->Graphic() : nullptr;
    if (!graphic || graphic->Width() <= 0 || graphic->Height() <= 0) {
        Image1->clear();
        return;
    }
    // A copy of the picture, stretched into the preview.
    TBitmap bitmap;
    bitmap.SetSize(Image1->width(), Image1->height());
    bitmap.Canvas().StretchDraw(TRect{0, 0, Image1->width(), Image1->height()}, graphic);
    Image1->setPixmap(QPixmap::fromImage(bitmap.Image()));
}

void TChartImageToolEditor::FillControls()
{
    TSeriesToolEditor::FillControls();
    TChartImageTool* tool = ImageTool();
    const bool hasPicture = tool && tool->Picture()->Graphic();
    Button1->setProperty("Tag", hasPicture ? 1 : 0);
    Button1->setText(hasPicture ? QStringLiteral("Clea&r") : QStringLiteral("B&rowse..."));
    BSave->setEnabled(hasPicture);
    ShowPreview();
}

} // namespace lp
