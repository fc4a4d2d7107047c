#include "section/main/PictureSettingsDialog.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotTitles.h"
#include "chart/export/PlotExportBitmap.h"
#include "platform/base/Exception.h"
#include "platform/core/SafeSave.h"
#include "platform/graphics/Bitmap.h"
#include "section/main/MainWindowRoutines.h"

#include <QtCore/QCoreApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace lp {

Tprntset::Tprntset(QWidget* Parent) : QDialog(Parent)
{
    setWindowTitle(QStringLiteral("Picture settings"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Edit1 = new QLineEdit(QStringLiteral("20"), this);
    Edit2 = new QLineEdit(QStringLiteral("50"), this);
    Edit3 = new QLineEdit(QStringLiteral("100"), this);
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setRange(-100, 100);
    CheckBox1 = new QCheckBox(QStringLiteral("Automatic"), this);
    CheckBox1->setChecked(true);
    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Vertical scale           1:"), Edit1);
    form->addRow(QStringLiteral("Horizontal scale       1:"), Edit2);
    form->addRow(QStringLiteral("Print resolution"), Edit3);
    form->addRow(QStringLiteral("Font size                  +"), SpinEdit1);
    form->addRow(CheckBox1);
    form->addRow(ok);
}

bool Tprntset::Automatic() const
{
    return CheckBox1->isChecked();
}

namespace {

// The fonts the export changes by Points; gives each its former height back
// when it goes. A font is never made smaller than 1 point: a size below 1
// would reach the font as a height in pixels and draw it larger.
class TEnlargedFonts {
public:
    TEnlargedFonts(TCustomChart& Chart, int Points)
    {
        if (Points == 0)
            return;
        for (TChartAxis* axis : {Chart.LeftAxis(), Chart.TopAxis(), Chart.BottomAxis(), Chart.RightAxis()}) {
            Add(axis->LabelsFont());
            Add(axis->Title()->Font());
        }
        Add(Chart.Title()->Font());
        Add(Chart.SubTitle()->Font());
        for (int i = 0; i < Chart.SeriesCount(); ++i)
            Add(Chart.Series(i)->Marks()->Font());
        Add(Chart.PaperScaleExtraFont());
        for (auto& [font, height] : FFonts)
            font->SetSize(std::max(1, font->Size() + Points));
    }
    ~TEnlargedFonts()
    {
        for (auto& [font, height] : FFonts)
            font->SetHeight(height);
    }
    TEnlargedFonts(const TEnlargedFonts&) = delete;
    TEnlargedFonts& operator=(const TEnlargedFonts&) = delete;

private:
    void Add(TPlotFont* Font)
    {
        if (Font)
            FFonts.emplace_back(Font, Font->Height());
    }
    std::vector<std::pair<TPlotFont*, int>> FFonts;
};

int AxisPixels(const TChartAxis& Axis)
{
    return std::abs(Axis.CalcPosValue(Axis.Maximum()) - Axis.CalcPosValue(Axis.Minimum()));
}

void SaveBitmap(TCustomChart& Chart, const QString& Name, int Width, int Height)
{
    TBMPExportFormat format;
    format.SetPanel(&Chart);
    format.SetWidth(Width);
    format.SetHeight(Height);
    format.SaveToFile(Name);
}

// The chart drawn at trial sizes through the bitmap export: each drawing
// lays the axes out for its size, and the last one is kept to be saved.
class TPaperScalePicture {
public:
    explicit TPaperScalePicture(TCustomChart& Chart) : FChart(Chart) { FFormat.SetPanel(&Chart); }

    TPaperScaleSize PlotPixelsAt(TPaperScaleSize Size)
    {
        FBitmap.reset(); // one picture in memory at a time
        FFormat.SetWidth(Size.Width);
        FFormat.SetHeight(Size.Height);
        FBitmap = FFormat.Bitmap();
        FSize = Size;
        return {AxisPixels(*FChart.BottomAxis()), AxisPixels(*FChart.LeftAxis())};
    }

    void SaveAt(TPaperScaleSize Size, const QString& Name)
    {
        if (!FBitmap || FSize.Width != Size.Width || FSize.Height != Size.Height)
            PlotPixelsAt(Size);
        QString error;
        if (!SaveAtomically(Name, [this](QIODevice& Device) { FBitmap->SaveToStream(Device); }, error))
            throw EPlotExportError(
                FormatText("Cannot create file \"%s\". %s", {Name.toStdString(), error.toStdString()}));
    }

private:
    TCustomChart& FChart;
    TBMPExportFormat FFormat;
    std::unique_ptr<TBitmap> FBitmap;
    TPaperScaleSize FSize;
};

} // namespace

void ExportPaperScaleBitmap(const Tprntset& Dialog, const QString& FileName, TCustomChart& Chart)
{
    const QString name = WithExtension(FileName, QStringLiteral(".bmp"));
    if (Dialog.Automatic()) {
        SaveBitmap(Chart, name, 0, 0);
        return;
    }
    // The fields are read before anything changes: a field that is no
    // positive number stops the export with its message.
    TPaperScaleInput input;
    input.VerticalScale = PaperScaleNumber(Dialog.Edit1->text(), "The vertical scale");
    input.HorizontalScale = PaperScaleNumber(Dialog.Edit2->text(), "The horizontal scale");
    input.Resolution = PaperScaleNumber(Dialog.Edit3->text(), "The print resolution");
    const TEnlargedFonts fonts(Chart, Dialog.SpinEdit1->value());
    QCoreApplication::processEvents();
    const TChartAxis& bottom = *Chart.BottomAxis();
    const TChartAxis& left = *Chart.LeftAxis();
    input.HorizontalSpan = bottom.Maximum() - bottom.Minimum();
    input.VerticalSpan = left.Maximum() - left.Minimum();
    input.ChartWidth = Chart.Width();
    input.ChartHeight = Chart.Height();
    input.BottomAxisPixels = AxisPixels(bottom);
    input.LeftAxisPixels = AxisPixels(left);
    const TPaperScaleSize first = PaperScaleSize(input);
    QCoreApplication::processEvents();
    // The margins around the plot change with the picture's size (the depth
    // axis starts a share of the height down), so the size is corrected
    // until the plot itself measures the scale's pixels.
    TPaperScalePicture picture(Chart);
    const TPaperScaleSize size = FitPaperScaleSize(first, PaperScalePlotPixels(input),
                                                   [&](TPaperScaleSize Size) { return picture.PlotPixelsAt(Size); });
    picture.SaveAt(size, name);
    PatchBitmapResolution(name, input.Resolution);
}

} // namespace lp
