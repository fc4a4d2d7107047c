#pragma once
// "Several lines": the survey lines of one site inverted together, each on
// its track, and shown on the map, as images, as a fence in 3-D and in
// horizontal slices, beside the main window.
//
//   TSiteLinesWindow (a top-level QWidget, not modal)
//     ├─ LineTable     the lines: name, electrodes, data; χ² and rrms once
//     │                inverted; Add... (several files at once), Remove
//     ├─ the options: error, λ start, iterations (the Invert window's kept
//     │  ones to start from), Fade by coverage; Invert all, progress, Stop
//     ├─ ResultTabs
//     │   ├─ MapChart     the tracks with their electrodes and crossings
//     │   ├─ ImageChart   the image of the line LineBox picks (as the
//     │   │               Invert window draws one); Open as section
//     │   ├─ FenceChart   every image standing on its track in 3-D:
//     │   │               turned by a drag, zoomed by the wheel; Front view
//     │   └─ SliceChart   the volume between the lines at a depth below the
//     │                   ground (DepthsEdit, SliceBox), the tracks over it
//     └─ Export: the tables (CSV) into a folder, the volume (VTK), the
//        fence's picture
//
// A file is read when added as the Invert window reads one, and refused
// (said in the state line, not listed) when it gives no line of the site:
// no map positions, one electrode, a name already listed, feet among
// metres, a place kilometres from the others. Invert all runs Runner (the
// main window sets it to InvertSite; a test may hand it images) in the
// background; Stop drops the run. Every chart takes its colours from the
// image chart's logarithmic scale, set once over all the lines' cells, so
// that one colour is one resistivity in every view.

#include "section/inversion/SurveyInversion.h"
#include "section/modelling/BackgroundRun.h"
#include "section/modelling/SiteCharts.h"
#include "section/site/SiteInversion.h"
#include "section/site/SiteLines.h"

#include <QtGui/QImage>
#include <QtWidgets/QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace lp {

class TChart;
class TColorGridSeries;
class TSiteFenceChart;
class TTModelSection2d;

class TSiteLinesWindow : public QWidget {
    Q_OBJECT
public:
    using TSiteRunner = std::function<TSiteImages(const std::vector<TSiteLine>& Lines,
                                                  const TSurveyInversionOptions& Options,
                                                  const TSiteCallbacks& Callbacks)>;

    explicit TSiteLinesWindow(QWidget* Parent);
    ~TSiteLinesWindow() override;

    // --- The lines ---

    // Reads File and lists its line last. False with the reason in the
    // state line when it gives no line of this site; nothing is listed then.
    bool AddLine(const QString& File);
    // The Add... button: asks for files, adds each.
    void AskAddLines();
    // The selected line removed; false when none is selected.
    bool RemoveSelectedLine();
    int LineCount() const { return static_cast<int>(FLines.size()); }
    const std::vector<TSiteLine>& Lines() const { return FLines; }
    // Where the tracks listed cross.
    const std::vector<TCrossing>& Crossings() const { return FCrossings; }

    // --- Running ---

    // The options the run takes, from the fields; none, with the reason in
    // the state line, when a field holds no usable value.
    std::optional<TSurveyInversionOptions> RunOptions();
    // Invert all with the options as they stand. False with the reason in
    // the state line when it cannot start.
    bool InvertAll();
    void Stop();
    bool Busy() const { return FRun.Busy(); }
    bool Stopped() const { return FStopped; }
    QString ErrorText() const { return FError; }
    // The images of the lines as last inverted (the lines they are of:
    // ImagedLines), none before.
    const std::optional<TSiteImages>& Images() const { return FImages; }
    const std::vector<TSiteLine>& ImagedLines() const { return FImagedLines; }

    TSiteRunner Runner;

    // --- Showing ---

    // The image of line Line in the image chart; false for no such image.
    bool ShowLine(int Line);
    int LineShown() const { return FLineShown; }
    // The common scale (ohm-m), and a resistivity's colour on it.
    double ScaleLow() const { return FScaleLow; }
    double ScaleHigh() const { return FScaleHigh; }
    TColor ColourOf(double Resistivity) const;
    // The slice at depth Index of those typed; false when there is none.
    bool ShowSlice(int Index);
    // The depths typed (their text and value); none with the reason in
    // the state line when the field holds no depths.
    std::optional<std::vector<TTypedDepth>> SliceDepths();
    const std::vector<TVolumePoint>& SliceShown() const { return FSlice; }

    // --- Keeping the result ---

    // The tables the command line's --invert-lines writes (a table per
    // line, fence.csv, volume.csv, slice-D.csv per depth typed) into
    // Folder, all or none. False with the reason in Error.
    bool ExportTables(const QString& Folder, QString& Error);
    // The volume as a VTK file.
    bool ExportVolume(const QString& File, QString& Error) const;
    // Line's image painted over its cells' frame for the section's
    // underlay, in the common scale's colours; null without it.
    QImage LineImage(int Line, int Width = 1200) const;
    struct TImageFrame {
        double Left = 0.0, Top = 0.0, Right = 0.0, Bottom = 0.0;
    };
    TImageFrame LineImageFrame(int Line) const;
    // Line's data as a section takes them (x along its track); null for
    // no such line.
    std::shared_ptr<const TMeasuredData> LineData(int Line) const;

    // Open as section: the main window makes a section of the line shown
    // and lays its image under it.
    std::function<void(int Line)> OnOpenAsSection;

    // --- Controls ---
    QTableWidget* LineTable = nullptr;
    QPushButton* AddButton = nullptr;
    QPushButton* RemoveButton = nullptr;
    QLineEdit* ErrorEdit = nullptr;
    QLineEdit* LambdaEdit = nullptr;
    QSpinBox* IterationsBox = nullptr;
    QCheckBox* FadeBox = nullptr;
    QPushButton* InvertButton = nullptr;
    QProgressBar* Progress = nullptr;
    QPushButton* StopButton = nullptr;
    QLabel* StateLabel = nullptr;
    QTabWidget* ResultTabs = nullptr;
    TChart* MapChart = nullptr;
    QComboBox* LineBox = nullptr;
    TTModelSection2d* ImageChart = nullptr;
    QPushButton* OpenSectionButton = nullptr;
    TSiteFenceChart* FenceChart = nullptr;
    QPushButton* FrontViewButton = nullptr;
    QLineEdit* DepthsEdit = nullptr;
    QComboBox* SliceBox = nullptr;
    TChart* SliceChart = nullptr;
    TColorGridSeries* SliceGrid = nullptr;
    QPushButton* ExportButton = nullptr;
    // The tabs' indices.
    static constexpr int MapTab = 0, ImageTab = 1, FenceTab = 2, SliceTab = 3;

protected:
    // Closing the window drops its run without waiting for it.
    void closeEvent(QCloseEvent* Event) override;

private:
    void CreatePanel();
    QWidget* CreateResultTabs();
    void ShowLines();
    // The images are of the lines listed, in their order.
    bool ImagesOfListedLines() const;
    void UpdateMap();
    void RunEnded(const TRunEnd& End);
    void ShowImages(TSiteImages Images);
    void ShowFence();
    void ShowSliceDepths();
    void Refuse(const QString& Reason);
    void ShowState();
    void EnableCommands();
    void AskExportTables();
    void AskExportVolume();
    void AskSaveFencePicture();

    std::vector<TSiteLine> FLines;
    std::vector<TCrossing> FCrossings;
    TBackgroundRun FRun;
    std::optional<TSiteImages> FImages;
    std::vector<TSiteLine> FImagedLines;
    QString FProgressText;
    int FLineShown = -1;
    double FScaleLow = 0.0, FScaleHigh = 0.0;
    std::vector<TVolumePoint> FSlice;
    bool FStopped = false;
    QString FError;
    QString FDepthsRefusal; // what the state line says of the depths typed, while it says it
};

} // namespace lp
