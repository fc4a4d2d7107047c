#include "chart/editors/extendedseries/ImageBarSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/extendedseries/SeriesPageControls.h"
#include "chart/extensions/shapes/PlotImageBar.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Dialogs.h"

#include <QtGui/QPixmap>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

namespace lp {

namespace {

constexpr int PreviewSize = 64;

} // namespace

TImageBarSeriesEditor::TImageBarSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    GroupBox1 = TPageBuilder::Named(new QGroupBox(QStringLiteral("Image:"), this), "GroupBox1");
    TPageBuilder image(*GroupBox1);
    Image1 = TPageBuilder::Named(new QLabel(GroupBox1), "Image1");
    Image1->setFixedSize(PreviewSize, PreviewSize);
    Image1->setFrameShape(QFrame::StyledPanel);
    Image1->setAlignment(Qt::AlignCenter);
    BBrowse = image.Button("BBrowse", QStringLiteral("B&rowse..."));
    // Wide enough for either caption.
    BBrowse->setMinimumWidth(BBrowse->fontMetrics().horizontalAdvance(QStringLiteral("Browse...")) + 24);
    CBTiled = image.CheckBox("CBTiled", QStringLiteral("&Tiled"));
    image.Line({Image1, BBrowse, CBTiled});
    build.Full(GroupBox1);
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(CBTiled, QStringLiteral("ImageTiled"));
    connect(BBrowse, &QPushButton::clicked, this, &TImageBarSeriesEditor::BrowseClick);
}

TImageBarSeries* TImageBarSeriesEditor::Series() const
{
    return TargetAs<TImageBarSeries>();
}

bool TImageBarSeriesEditor::HasPicture() const
{
    return Series() && Series()->Image()->Graphic();
}

void TImageBarSeriesEditor::FillControls()
{
    TImageBarSeries* series = Series();
    if (!series)
        return;
    const bool picture = HasPicture();
    BBrowse->setText(picture ? QStringLiteral("Clea&r") : QStringLiteral("B&rowse..."));
    if (picture) {
        const QImage shown = series->Image()->Graphic()->ToImage();
        Image1->setPixmap(QPixmap::fromImage(
            shown.scaled(Image1->size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    } else {
        Image1->clear();
    }
    TTabAddingSeriesPage::FillControls();
}

void TImageBarSeriesEditor::UpdateEnabled()
{
    CBTiled->setEnabled(HasPicture());
}

void TImageBarSeriesEditor::AddTabs()
{
    if (Series())
        BarEditor = AddRegisteredSeriesTab(this, QStringLiteral("TBarSeriesEditor"), Series(), QStringLiteral("Bar"), 1);
}

void TImageBarSeriesEditor::BrowseClick()
{
    TImageBarSeries* series = Series();
    if (!series || !CanWrite())
        return;
    try {
        LoadOrClearPicture(this, *series->Image());
    } catch (const Exception& Error) {
        // A file that is no readable picture leaves the picture as it was.
        ShowMessage(QString::fromStdString(Error.Message()));
    }
    AfterUserChange(BBrowse);
}

} // namespace lp
