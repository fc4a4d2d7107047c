#pragma once
// "Invert": an image of the ground from the measured data, beside the main
// window.
//
//   TInversionWindow (a top-level QWidget, not modal)
//     ├─ the options: error, λ start, z-weight, iterations, constrain by
//     │  the section, start from the section (kept in the user's settings);
//     │  Invert, progress and Cancel; Use as underlay, Save table...,
//     │  Print preview..., Export picture..., Fade by coverage
//     ├─ IterationTable  iteration, χ², rrms, λ, a row per iteration as it ends
//     ├─ ModelChart      the mesh model chart with the inverted resistivities
//     │                  (logarithmic, low blue, high red), the section's
//     │                  boundaries drawn over it, the electrodes as marks
//     └─ MeasuredChart, CalculatedChart, MisfitChart  the pseudo-sections of
//                       the data and of the inverted model's response
//
// The inversion runs through the window's TBackgroundRun: the data and a
// copy of the section go with the run; each finished iteration is posted
// back (its χ², rrms, λ and model), so a cancelled run leaves the last
// finished iteration's model in the chart. Closing the window never waits.
//
// The inverted image: the cells painted in the chart's colours over the
// section's model area (the area's corners are the picture's), above the
// ground and below the mesh white; with Fade by coverage, the cells the data see little
// fade toward white.

#include "section/forward/InversionMesh.h"
#include "section/forward/MeasuredData.h"
#include "section/forward/SurveyInversion.h"
#include "section/main/BackgroundRun.h"

#include <QtGui/QImage>
#include <QtWidgets/QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
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

    static TInversionWindowSettings Load();
    void Save() const;
};

// What the window shows: the mesh, one resistivity per cell, and what the
// finished inversion adds.
struct TInversionPicture {
    TInversionMesh Mesh;
    std::vector<double> Resistivities;
    std::vector<double> Coverage; // empty until the inversion finishes
};

// The cells painted into an image of Width × Height pixels spanning Left ..
// Right and elevations Top .. Bottom (Top above Bottom; the first row at
// Top), each cell in Colour's colour of its resistivity; white above the
// ground and outside the mesh. With Fade, cells of little coverage fade
// toward white (coverage 1 keeps the colour, 0.01 and less is white).
QImage PaintInversionImage(const TInversionPicture& Picture, const std::function<unsigned(double)>& Colour,
                           double Left, double Right, double Top, double Bottom, int Width, int Height, bool Fade);

class TInversionWindow : public QWidget {
    Q_OBJECT
public:
    TInversionWindow(TPolygonChart& Section, QWidget* Parent);
    ~TInversionWindow() override;

    // The data to invert (from the forward window), Name for the title line,
    // and the error the forward window's field gives (empty: the kept one).
    void SetMeasuredData(std::shared_ptr<const TMeasuredData> Data, const QString& Name,
                         const QString& ErrorPercent = {});
    const TMeasuredData* MeasuredData() const { return FData.get(); }

    // Starts the inversion with the options as they stand (the button).
    // False with the reason in the state line when it cannot start.
    bool Invert();
    // Stops the run; the chart keeps the last finished iteration's model.
    void CancelInversion();
    bool Busy() const { return FRun.Busy(); }
    // The model shown: the last finished iteration's, or the result's.
    const std::optional<TInversionPicture>& Picture() const { return FPicture; }
    // The finished inversion (empty while none finished, or after a cancel).
    const std::optional<TSurveyInversion>& Result() const { return FResult; }
    // The message of the last failure; empty after a success.
    QString ErrorText() const { return FError; }

    // The image over the section's model area (for the underlay); a null
    // image without a model.
    QImage ModelImage(int Width = 1200) const;
    // Writes the cell table (the command line's CSV). False with the reason
    // in Error.
    bool SaveTable(const QString& FileName, QString& Error) const;

    // Use as underlay: the main window lays the image under the section.
    std::function<void()> OnUseAsUnderlay;
    // Ctrl+Z in this window (outside its text fields): the section's undo.
    std::function<void()> OnUndo;
    // The section file the editor has open (empty when none).
    std::function<QString()> SectionFile;
    // Fires on the user-interface thread after each run's end.
    std::function<void()> OnInversionEnd;
    // Runs on the run's own thread before it begins (tests hold a run there).
    std::function<void()> OnRunStart;
    // Runs on the run's own thread after each finished iteration has been
    // posted (tests hold a run there).
    std::function<void(int Iteration)> OnRunIteration;

    // --- Controls ---
    QLabel* DataLabel = nullptr;
    QLineEdit* ErrorEdit = nullptr;
    QLineEdit* LambdaEdit = nullptr;
    QLineEdit* ZWeightEdit = nullptr;
    QSpinBox* IterationsBox = nullptr;
    QCheckBox* ConstrainBox = nullptr;
    QCheckBox* StartFromSectionBox = nullptr;
    QCheckBox* FadeBox = nullptr;
    QPushButton* InvertButton = nullptr;
    QProgressBar* Progress = nullptr;
    QPushButton* CancelButton = nullptr;
    QLabel* StateLabel = nullptr;
    QPushButton* UnderlayButton = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* PrintButton = nullptr;
    QPushButton* ExportButton = nullptr;
    QTableWidget* IterationTable = nullptr;
    TTModelSection2d* ModelChart = nullptr;
    TPseudoSection2d* MeasuredChart = nullptr;
    TPseudoSection2d* CalculatedChart = nullptr;
    TPseudoSection2d* MisfitChart = nullptr;

protected:
    // Closing the window cancels its run without waiting for it.
    void closeEvent(QCloseEvent* Event) override;

private:
    struct TJob;
    struct TIteration;
    void CreatePanel();
    void LoadSettings();
    void SaveSettings();
    void IterationEnded(const TIteration& Iteration);
    void RunEnded(const TRunEnd& End);
    void ShowModel();
    void ShowPseudoSections();
    void DrawOutlines();
    void ShowState();
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
    std::shared_ptr<const TMeasuredData> FResultData; // what FResult was inverted from
    std::vector<std::pair<TGeometryPoint, TGeometryPoint>> FOutlines; // the section's boundaries (x, elevation)
    std::vector<std::unique_ptr<TMetafile>> FMetafiles;
    QString FError;
    bool FCancelled = false;
};

} // namespace lp
