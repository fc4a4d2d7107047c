#pragma once
// The series gallery: the dialog in which the user picks a series type or a
// function type to add to a chart, or to change a series into, and the
// entry routines the rest of the editors call. The editor option
// "GalleryMode" chooses between the tabbed form here and the alternate
// form (SeriesGalleryAlternate.h).

#include <QtWidgets/QDialog>

class QCheckBox;
class QPushButton;
class QTabBar;
struct QMetaObject;

namespace lp {

class TChartGalleryPanel;
class TChartSeries;
class TComponent;
class TCustomAxisPanel;

class TPlotGallery : public QDialog {
    Q_OBJECT
public:
    explicit TPlotGallery(QWidget* Parent = nullptr);

    // Series types (tab 0) or function types (tab 1).
    QTabBar* TabTypes;
    // One tab per gallery page, "Standard" first.
    QTabBar* TabPages;
    TChartGalleryPanel* ChartGalleryPanel1;
    QCheckBox* CB3D;
    QCheckBox* CBSmooth;
    QPushButton* BOk;
    QPushButton* BCancel;

    // Takes the "Functions" tab away (changing a type offers none).
    void RemoveFunctionsTab();
    void TabTypesChange();
    void TabPagesChange();

protected:
    void showEvent(QShowEvent* Event) override;

private:
    bool FShown = false;
};

// What the user chose in a gallery.
struct TGalleryChoice {
    const QMetaObject* SeriesClass = nullptr;
    const QMetaObject* FunctionClass = nullptr;
    // The chosen sub-style; -1 when none was chosen.
    int SubIndex = -1;
};

// Shows the gallery the editor option names; true when the user confirmed
// a chart. Is3D goes in as the chart's 3-D switch and comes out as chosen.
bool ShowGallery(QWidget* Owner, TChartSeries* Reference, bool ShowFunctions, bool& Is3D, bool CheckValidity,
                 TGalleryChoice& Choice);
// Shows the gallery for Chart and makes the chosen series; nullptr when the
// user cancelled or chose Series' own type without a sub-style. Accepted,
// when given, tells the two apart: it is set when the user made a choice.
TChartSeries* CreateGallerySeries(QWidget* Owner, TChartSeries* Series, TCustomAxisPanel* Chart, int& SubIndex,
                                  bool CheckValidity, bool ShowFunctions, bool* Accepted = nullptr);
// Fills and clears the series list's gallery hooks.
void InstallGalleryHooks();
void RemoveGalleryHooks();

} // namespace lp
