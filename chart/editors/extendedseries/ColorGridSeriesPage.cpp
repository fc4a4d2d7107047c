#include "chart/editors/extendedseries/ColorGridSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/extendedseries/SeriesPageControls.h"
#include "chart/editors/seriestypes/Grid3DSeriesEditor.h"
#include "chart/export/PlotBusyCursor.h"
#include "chart/extensions/grid3d/PlotColorGridSeries.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Dialogs.h"

#include <QtGui/QImageReader>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

constexpr int GridEveryLimit = 1000;

} // namespace

TColorGridEditor::TColorGridEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    BGrid = MakePenButton(*this, QStringLiteral("&Grid..."), "BGrid");
    ButtonPen1 = MakePenButton(*this, QStringLiteral("&Frame..."), "ButtonPen1");
    CBCentered = build.CheckBox("CBCentered", QStringLiteral("&Centered"));
    CBSmooth = build.CheckBox("CBSmooth", QStringLiteral("Sm&ooth"));
    GroupBox1 = TPageBuilder::Named(new QGroupBox(QStringLiteral("Grid Every:"), this), "GroupBox1");
    TPageBuilder every(*GroupBox1);
    UDX = every.SpinBox("UDX", 1, GridEveryLimit);
    every.Row(QStringLiteral("&X:"), UDX, "Label1");
    UDZ = every.SpinBox("UDZ", 1, GridEveryLimit);
    every.Row(QStringLiteral("&Z:"), UDZ, "Label2");
    Button2 = build.Button("Button2", QStringLiteral("&Load..."));

    build.Line({BGrid, ButtonPen1});
    build.Line({CBCentered, CBSmooth});
    build.Full(GroupBox1);
    build.Line({Button2});
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(CBCentered, QStringLiteral("CenteredPoints"));
    Binder().Bind(CBSmooth, QStringLiteral("SmoothBitmap"));
    Binder().Bind(UDX, QStringLiteral("XGridEvery"));
    Binder().Bind(UDZ, QStringLiteral("ZGridEvery"));
    connect(Button2, &QPushButton::clicked, this, &TColorGridEditor::LoadClick);
}

TColorGridSeries* TColorGridEditor::Series() const
{
    return TargetAs<TColorGridSeries>();
}

void TColorGridEditor::FillControls()
{
    if (TColorGridSeries* series = Series()) {
        BGrid->LinkPen(series->Pen());
        ButtonPen1->LinkPen(series->Frame());
    }
    TTabAddingSeriesPage::FillControls();
}

void TColorGridEditor::AddTabs()
{
    if (Series())
        Grid3DEditor = AddGrid3DPage(this, Series());
}

void TColorGridEditor::LoadClick()
{
    TColorGridSeries* series = Series();
    if (!series || !CanWrite())
        return;
    const QString fileName = AskPictureFileName(this);
    if (fileName.isEmpty())
        return;
    try {
        // A picture too large for a grid is refused from its header, before
        // its pixels are decoded.
        if (const QSize size = QImageReader(fileName).size(); size.isValid())
            TColorGridSeries::CheckPictureSize(size.width(), size.height());
        TBusyCursor busy;
        TPicture picture;
        picture.LoadFromFile(fileName);
        series->FillFromBitmap(picture.Bitmap());
    } catch (const Exception& Error) {
        // A file that is no readable picture, or one too large, leaves the
        // points as they were.
        ShowMessage(QString::fromStdString(Error.Message()));
        return;
    }
    if (Grid3DEditor) {
        Grid3DEditor->Refresh();
        Grid3DEditor->BRemove->setEnabled(series->HasColorList());
    }
    AfterUserChange(Button2);
}

} // namespace lp
