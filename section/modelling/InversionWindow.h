#pragma once
// "Invert": an image of the ground from the measured data, beside the main
// window.
//
//   TInversionWindow (a top-level QWidget, not modal)
//     ├─ the options: error, λ start, z-weight, iterations, reference
//     │  weight, constrain by the section, start from the section, fade by
//     │  coverage, depth of investigation and the DOI beyond which cells
//     │  fade (kept in the user's settings); the mesh's commands: New mesh, Fix, Free,
//     │  Limits... of the selected cells; Invert, progress and Cancel; Use
//     │  as underlay, New section from data, Save table..., Print
//     │  preview..., Export picture...
//     ├─ PanelTabs
//     │   ├─ IterationTable  iteration, χ², rrms, λ, a row per iteration as it ends;
//     │   │                  with inverted phases a column "χ² phases" (last row)
//     │   ├─ Constraints     Known geology: the section's lines and boundaries
//     │   │                  (check, weight) used with Constrain by the
//     │   │                  section, the well logs (check: use as
//     │   │                  resistivity) and their error
//     │   └─ HoleTable       Electrodes: with data in holes, each hole's
//     │                      electrodes (hole, number, x, depth, elevation)
//     ├─ ChartTabs       three mesh model charts, each with the section's
//     │   │              boundaries drawn over it and the electrodes as marks:
//     │   ├─ MeshChart   the parameter mesh and the starting model, which the
//     │   │              user edits with the chart's tools before inverting
//     │   ├─ ModelChart  the inverted resistivities (logarithmic, low blue,
//     │   │              high red)
//     │   ├─ ChargeabilityChart  the inverted chargeabilities (with IP data)
//     │   └─ PhaseChart  the inverted phases' magnitude in mrad (its tab
//     │                  there only while the data hold phases)
//     └─ MeasuredChart, CalculatedChart, MisfitChart  the pseudo-sections of
//                       the data and of the inverted model's response (the
//                       last two once an inversion finished), of the
//                       apparent resistivity or, with chargeability data,
//                       of the quantity QuantityBox picks; each with its
//                       colour bar in its right margin
//
// The mesh chart is what the inversion takes: its columns, rows and relief
// are the parameter mesh, its values the starting model, its fixed cells
// and limits the inversion's. New data, or New mesh, lay the default mesh
// over the section's model area (over the electrodes' span when they lie
// outside it) with every cell at the data's median apparent resistivity,
// or, with Start from the section, at the section's resistivity there.
// Ctrl+Z on the mesh tab takes back the mesh chart's last edit; on the
// other tabs it is the section's undo.
//
// The inversion runs through the window's TBackgroundRun: the data and a
// copy of the section go with the run; each finished iteration is posted
// back (its χ², rrms, λ and model), so a cancelled run leaves the last
// finished iteration's model in the chart. Closing the window never waits.
//
// The inverted image: the cells painted in the chart's colours over the
// section's model area (the area's corners are the picture's), above the
// ground and below the mesh white; with Fade by coverage, the cells the
// data see little fade toward white, in the charts as in the image.
//
// With Depth of investigation ticked, a finished inversion is followed by
// a second run through the same TBackgroundRun: the depth of investigation
// on the main run's forward problem (the TSurveyInverter the main run
// leaves with its result). The cells whose index lies beyond the DOI
// field's value fade (charts and image alike) and the charts draw that
// value's contour as a dashed line. A cancelled or failed DOI run leaves
// the result as it was, said in the state line.

#include "section/inversion/InversionMesh.h"
#include "section/modelling/InversionCharts.h"
#include "section/survey/MeasuredData.h"
#include "section/inversion/SurveyInversion.h"
#include "section/modelling/BackgroundRun.h"
#include "section/modelling/InversionConstraints.h"

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

class TMetafile;
class TPolygonChart;
class TCustomChart;
class TPseudoSection2d;
class TTModelSection2d;

// The options as the panel holds them; kept in the user's settings.
struct TInversionWindowSettings {
    QString ErrorPercent = QStringLiteral("3");
    QString Lambda = QStringLiteral("20");
    QString ZWeight = QStringLiteral("1");
    int Iterations = 20;
    bool Constrain = false;
    bool StartFromSection = false;
    bool FadeByCoverage = false;
    QString ReferenceWeight = QStringLiteral("0");
    bool DepthOfInvestigation = false;
    QString DoiLimit = QStringLiteral("0.2");
    bool SharpBoundaries = false; // TInversionSettings::Blocky
    bool RobustToBadData = false; // TInversionSettings::Robust
    QString PhaseErrorMrad = QStringLiteral("0.5"); // TSurveyInversionOptions::PhaseErrorMrad

    static TInversionWindowSettings Load();
    void Save() const;
};

// What the window shows: the mesh, one resistivity per cell, and what the
// finished inversion adds.
struct TInversionPicture {
    TInversionMesh Mesh;
    std::vector<double> Resistivities;
    std::vector<double> Coverage;        // empty until the inversion finishes
    std::vector<double> Chargeabilities; // per cent; empty until then, and without IP data
    std::vector<double> Phases;          // |φ|, mrad, as the field shows them; empty until then, and without phases
    std::vector<double> DepthOfInvestigation; // per cell; empty unless computed and shown
    double DoiLimit = 0.2;                    // the cells beyond it fade
};

// The cells painted into an image of Width × Height pixels spanning Left ..
// Right and elevations Top .. Bottom (Top above Bottom; the first row at
// Top), each cell in Colour's colour of its resistivity; white above the
// ground and outside the mesh. With Fade, cells of little coverage fade
// toward white (coverage 1 keeps the colour, 0.01 and less is white). With
// a depth of investigation, the cells beyond its limit fade too
// (FadeOfDepthOfInvestigation; the stronger of the two fades counts).
QImage PaintInversionImage(const TInversionPicture& Picture, const std::function<unsigned(double)>& Colour,
                           double Left, double Right, double Top, double Bottom, int Width, int Height, bool Fade);

class TInversionWindow : public QWidget {
    Q_OBJECT
public:
    TInversionWindow(TPolygonChart& Section, QWidget* Parent);
    ~TInversionWindow() override;

    // The data to invert (from the forward window), Name for the title line,
    // and the error the forward window's field gives (empty: the kept one).
    // New data lay a new mesh. The same data (the same shared object) keep
    // the mesh chart as the user left it, its fixed cells, limits and undo
    // steps; only when the section's model area has changed since the mesh
    // was laid does a question box ask whether to keep an edited mesh or
    // lay a new one over the new area (a mesh not edited is laid anew).
    // File is the file's data Data were kept from (the forward window's
    // removals): other data kept of the same file (a cleaning step) keep a
    // mesh the user has edited, and leave the error field as typed.
    // The data of another file take the finished inversion, its image,
    // table and charts with them: an image is only ever of the data shown.
    // DataStep: a step of the forward window's data (a removal, its undo, a
    // file opened there); it never asks about the model area, which the
    // next opening of the window does.
    void SetMeasuredData(std::shared_ptr<const TMeasuredData> Data, const QString& Name,
                         const QString& ErrorPercent = {}, std::shared_ptr<const TMeasuredData> File = {},
                         bool DataStep = false);
    const TMeasuredData* MeasuredData() const { return FData.get(); }
    std::shared_ptr<const TMeasuredData> SharedMeasuredData() const { return FData; }
    // The data's name as SetMeasuredData gave it.
    QString DataName() const { return FDataName; }

    // Lays the default mesh into the mesh chart, every cell at the starting
    // value (New mesh). False with the reason in the state line when the
    // data give no mesh.
    bool NewMesh();
    // The selected cells of the mesh chart fixed at their values, freed
    // (their limits too), or limited to Lowest .. Highest ohm-m (0 < Lowest
    // < Highest; both 0 for no limits). Each is one step of the chart's
    // undo. False with the reason in the state line when no cell is
    // selected or the limits are unusable.
    bool FixSelectedCells(bool Fix);
    bool LimitSelectedCells(double Lowest, double Highest);
    // The Limits... button: asks for the limits of the selected cells.
    void AskLimits();

    // Starts the inversion on the mesh chart with the options as they stand
    // (the button). False with the reason in the state line when it cannot
    // start.
    bool Invert();
    // Stops the run; the chart keeps the last finished iteration's model.
    void CancelInversion();
    // An inversion is under way (not the DOI run that may follow it, which
    // leaves the window and the data free: new data drop it, Invert
    // cancels it).
    bool Busy() const { return FRun.Busy() && !FDoiRun; }
    // The model shown: the last finished iteration's, or the result's.
    const std::optional<TInversionPicture>& Picture() const { return FPicture; }
    // The finished inversion (empty while none finished, or after a cancel);
    // its DepthOfInvestigation once the DOI run has finished.
    const std::optional<TSurveyInversion>& Result() const { return FResult; }
    // The message of the last failure; empty after a success.
    QString ErrorText() const { return FError; }

    // Whether the model shown is of File's data (the file the forward
    // window keeps its data of, or the same measurements read again): the
    // only data whose section it may be laid under.
    bool ImageOf(const TMeasuredData* File) const;

    // The image over its cells' frame (for the underlay); a null image
    // without a model.
    QImage ModelImage(int Width = 1200) const;
    // That frame in the section's coordinates (x; y the depth, minus the
    // elevation): the cells' outer column edges, the highest point of their
    // surface and their flat bottom. All 0 without a model.
    struct TImageFrame {
        double Left = 0.0, Top = 0.0, Right = 0.0, Bottom = 0.0;
    };
    TImageFrame ModelImageFrame() const;
    // Writes the cells as the command line's --invert does, in the format the
    // name's extension asks (InversionExport.h: .vtk the VTK grid, .xyz the
    // resistivity grid, the cell table otherwise). False with the reason in
    // Error, the file as it was.
    bool SaveTable(const QString& FileName, QString& Error) const;

    // The data the finished inversion inverted, and each one's misfit in per
    // cent (calculated against measured, as the misfit chart shows it);
    // nullptr and empty without a finished inversion.
    const TMeasuredData* InvertedData() const { return FResult ? FResultData.get() : nullptr; }
    std::vector<double> InvertedMisfits() const;
    // Remove misfit beyond...: asks for the per cent and hands the
    // inverted data's misfits to OnRemoveMisfitBeyond (the forward window,
    // which keeps the data, removes them there).
    void AskRemoveMisfitBeyond();
    std::function<void(const TMeasuredData* Data, const std::vector<double>& Misfits, double Percent)>
        OnRemoveMisfitBeyond;

    // Use as underlay: the main window lays the image under the section.
    std::function<void()> OnUseAsUnderlay;
    // New section from data: the main window makes a section of these data
    // (SharedMeasuredData) with the image, when there is one, under it.
    std::function<void()> OnNewSectionFromData;
    // Ctrl+Z in this window (outside its text fields): the section's undo.
    std::function<void()> OnUndo;
    // The section file the editor has open (empty when none).
    std::function<QString()> SectionFile;
    // Fires on the user-interface thread after each run's end.
    std::function<void()> OnInversionEnd;
    // Runs on the run's own thread before it begins (tests hold a run there).
    std::function<void()> OnRunStart;
    // The options the last run started with (none before one).
    const std::optional<TSurveyInversionOptions>& RunOptions() const { return FRunOptions; }
    // Runs on the DOI run's own thread before it begins (tests hold it there).
    std::function<void()> OnDoiRunStart;
    // Whether the run under way computes the depth of investigation.
    bool ComputingDepthOfInvestigation() const { return FRun.Busy() && FDoiRun; }
    // The depth of investigation's contour drawn over the charts (x,
    // elevation); empty while none is shown.
    const std::vector<TOutline>& DoiContour() const { return FDoiContour; }
    // Runs on the run's own thread after each finished iteration has been
    // posted (tests hold a run there).
    std::function<void(int Iteration)> OnRunIteration;
    // The well logs overlaid on the section (the main window's carotage
    // overlay); null or unset for none.
    std::function<const arofcarotagedata*()> WellLogs;
    // Lists the section's lines and boundaries and the loaded logs anew on
    // the Known geology page (done on new data, New mesh and Invert too),
    // and draws the edges the ticked ones cut on the mesh chart.
    void ShowConstraints();
    // The Electrodes page of the data's holes: shown and filled when the
    // data have electrodes in holes, hidden otherwise (on new data and with
    // ShowConstraints, which follows the wells and the section).
    void ShowHoleElectrodes();
    // The edges the lines and boundaries used cut (x, elevation), drawn
    // thick on the mesh chart; empty unless Constrain by the section is
    // ticked over a mesh.
    const std::vector<TOutline>& CutEdgesShown() const { return FCutEdges; }

    // The section changed (an edit, the table of regions, an undo): the
    // state line says whether the water it marks now differs from the
    // water the image shown was inverted with (WaterStale: the image is
    // not of the section as it stands) or from the water the mesh chart
    // holds (the next Invert holds it as marked then).
    void SectionChanged();
    bool WaterStale() const { return FWaterStale; }
    // The water cells the last run held (0 without water).
    int WaterCellsHeld() const { return FWaterHeld; }

    // --- Controls ---
    QLabel* DataLabel = nullptr;
    QLineEdit* ErrorEdit = nullptr;
    QLineEdit* LambdaEdit = nullptr;
    QLineEdit* ZWeightEdit = nullptr;
    QSpinBox* IterationsBox = nullptr;
    QLineEdit* ReferenceWeightEdit = nullptr;
    QLineEdit* PhaseErrorEdit = nullptr; // shown while the data hold phases
    QLabel* PhaseErrorLabel = nullptr;
    QCheckBox* ConstrainBox = nullptr;
    QCheckBox* StartFromSectionBox = nullptr;
    QCheckBox* FadeBox = nullptr;
    QCheckBox* DoiBox = nullptr;
    QCheckBox* SharpBox = nullptr;
    QCheckBox* RobustBox = nullptr;
    QLineEdit* DoiLimitEdit = nullptr;
    QPushButton* NewMeshButton = nullptr;
    QPushButton* FixButton = nullptr;
    QPushButton* FreeButton = nullptr;
    QPushButton* LimitsButton = nullptr;
    QPushButton* InvertButton = nullptr;
    QProgressBar* Progress = nullptr;
    QPushButton* CancelButton = nullptr;
    QLabel* StateLabel = nullptr;
    QPushButton* UnderlayButton = nullptr;
    QPushButton* RemoveMisfitButton = nullptr; // after an inversion
    QPushButton* NewSectionButton = nullptr; // enabled with data while no run is under way
    QPushButton* SaveButton = nullptr;
    QPushButton* PrintButton = nullptr;
    QPushButton* ExportButton = nullptr;
    QTableWidget* IterationTable = nullptr;
    // The iterations' page, the Known geology page (Constraints) and, with
    // data whose electrodes stand in holes, the Electrodes page (HoleTable).
    QTabWidget* PanelTabs = nullptr;
    // The holes' electrodes: hole, electrode, x, depth below the section's
    // ground and elevation, a row each, hole by hole from the top down.
    QTableWidget* HoleTable = nullptr;
    TInversionConstraints* Constraints = nullptr;
    QTabWidget* ChartTabs = nullptr;
    // The pseudo-sections' quantity (Resistivity, Chargeability, Phase):
    // shown with data that hold chargeabilities or phases, offering those.
    QComboBox* QuantityBox = nullptr;
    TTModelSection2d* MeshChart = nullptr;
    TTModelSection2d* ModelChart = nullptr;
    TTModelSection2d* ChargeabilityChart = nullptr;
    TTModelSection2d* PhaseChart = nullptr;
    TPseudoSection2d* MeasuredChart = nullptr;
    TPseudoSection2d* CalculatedChart = nullptr;
    TPseudoSection2d* MisfitChart = nullptr;

protected:
    // Closing the window cancels its run without waiting for it.
    void closeEvent(QCloseEvent* Event) override;

private:
    struct TJob;
    struct TIteration;
    struct TKeptInverter;
    struct TInversionOutcome;
    struct TDoiOutcome;
    // Starts the DOI run for the finished result; false (said in the state
    // line) when it cannot.
    bool StartDepthOfInvestigation();
    // The DOI field's value; empty, said in the state line, when it is not
    // a number above 0.
    std::optional<double> DoiLimit();
    void CreatePanel();
    void LoadSettings();
    void SaveSettings();
    void IterationEnded(const TIteration& Iteration);
    void RunEnded(const TRunEnd& End);
    void ShowModel();
    void ShowFade();
    void ShowPseudoSections();
    // The quantities QuantityBox offers: Resistivity, and Chargeability and
    // Phase where the data hold them.
    void OfferQuantities(bool Charged, bool Phased);
    // The finished inversion and the model shown dropped (the data of
    // another file): the mesh tab in front, the results' charts empty.
    void DropResult();
    // The section's boundaries as the section stands now.
    void TakeOutlines();
    // The section's resistivities (or, Section false, the data's median) as
    // the starting values of the mesh chart's free cells; one step of the
    // chart's undo. False with the reason when the section gives none.
    bool FillStartingValues(bool Section);
    // One starting value per cell of Mesh: the section's resistivity where
    // the cell lies (cells outside every region: the data's median), or,
    // Section false, the median. Raises when the section gives none.
    std::vector<double> StartingValues(const TInversionMesh& Mesh, bool Section) const;
    // Ctrl+Z: the mesh chart's last edit on its tab, else the section's.
    void UndoKey();
    // The mesh after a change of the section's model area (SetMeasuredData).
    void FollowModelArea();
    void ShowState();
    // The finished inversion's line: cells, iterations, χ², rrms, with
    // inverted phases their χ² ("; phases: χ² X"), why it stopped.
    QString ResultText() const;
    // The phases' χ² column of the iteration table: shown and filled in the
    // last row when the result holds inverted phases, hidden otherwise.
    void ShowPhaseChiSquare();
    // The state line's sentence on a result shown without its depth of
    // investigation: why, and what computes it.
    QString NoDoiReason() const;
    void Refuse(const QString& Reason);
    void AskSaveTable();
    // The model chart, or with the pseudo-sections drawn, the one the user
    // picks from a menu; nullptr when none is picked.
    TCustomChart* ChosenChart();
    void PreviewChart();
    void ExportChart();
    void EnableCommands();

    TPolygonChart& FSection;
    TBackgroundRun FRun;
    std::shared_ptr<const TMeasuredData> FData;
    QString FDataName;
    std::optional<TInversionPicture> FPicture;
    std::optional<TSurveyInversion> FResult;
    std::optional<TSurveyInversionOptions> FRunOptions; // of the last run started
    std::shared_ptr<const TMeasuredData> FResultData; // what FResult (and the run's images) were inverted from
    std::shared_ptr<const TMeasuredData> FResultFile; // the file FResultData were kept from, if known
    std::shared_ptr<const TMeasuredData> FDataFile;   // the file FData were kept from, if known
    std::vector<TOutline> FOutlines; // the section's boundaries (x, elevation)
    TModelArea FMeshArea{};          // the section's model area the mesh was laid over
    TInversionChartData FLaidCells;  // the mesh chart as laid: an edit since makes it differ
    std::function<void()> FUndoKey;
    std::vector<std::unique_ptr<TMetafile>> FMetafiles;
    QWidget* FQuantityRow = nullptr; // QuantityBox and its label
    QString FPseudoUnit = QStringLiteral("ohm-m"); // over the measured and calculated charts' colour bars
    QString FError;
    bool FCancelled = false;
    // The main run's forward problem, kept for the DOI while the result
    // shown has none.
    std::shared_ptr<TKeptInverter> FInverter;
    bool FDoiRun = false;       // the run under way (or last) is the DOI's
    QString FDoiNote;           // why the result shown has no DOI (cancelled, failed)
    std::vector<TOutline> FDoiContour;
    std::vector<TOutline> FCutEdges;
    // The section's water: per cell of the mesh chart, the value the
    // window holds it at (laid or last inverted; a cell freed by the user
    // stays free); per cell of the image, the water it was inverted with.
    std::vector<std::optional<double>> FWaterCells;
    std::vector<std::optional<double>> FResultWater;
    TInversionMesh FWaterMesh; // the mesh FWaterCells are of
    bool FWaterStale = false;   // the image's water is not the section's now
    bool FWaterPending = false; // the chart's water is not the section's now
    int FWaterHeld = 0;
    QString FWaterNote; // the last run's word on its water (held, or too thin for a cell)
    // The section's water now, per cell of Mesh; none when the section
    // cannot be prepared (Refusal: why, when it marks water).
    std::vector<std::optional<double>> MarkedWaterCells(const TInversionMesh& Mesh, QString* Refusal = nullptr) const;
    // The water as marked now held in the mesh chart's cells (Water, per
    // cell of the run's mesh): fixed at its value, a cell no longer water
    // freed; one step of the chart's undo when anything changed.
    void HoldWaterInChart(const std::vector<std::optional<double>>& Water);
    // The cut edges of the mesh chart's mesh and the constraints ticked now.
    void UpdateCutEdges();
};

} // namespace lp
