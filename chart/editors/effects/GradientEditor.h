#pragma once
// The "Gradient Editor": visibility, direction, the three colours, balance
// and radial offset of one gradient, with named presets and a gallery of the
// ten directions. Modal (OK / Cancel) or embedded in another page without
// its button bar. Beside it: a panel that shows a gradient and a button
// with a gradient swatch that opens the editor.

#include "chart/canvas/PlotPanelExtended.h"
#include "chart/editors/EditorPage.h"
#include "chart/editors/PlotEditorButtons.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QSlider;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace lp {

class TChartGalleryPanel;
class TCustomPlotGradient;
class TPlotGradient;

// One named preset of the editor's list.
struct TGradientPreset {
    const char* Name;
    TColor Start;
    TColor Middle;
    TColor End;
    TGradientDirection Direction;
    int Balance;
};
// The presets in their index order.
const std::vector<TGradientPreset>& GradientPresets();

// A panel that shows its own gradient.
class TPreviewGradient : public TCustomPlotPanelExtended {
    Q_OBJECT
public:
    explicit TPreviewGradient(TComponent* AOwner = nullptr);

    // Only the background: the panel's own gradient.
    void InternalDraw(const TRect& UserRectangle) override;
};

class TPlotGradientEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TPlotGradientEditor(QWidget* Parent = nullptr);
    ~TPlotGradientEditor() override;

    // The edited gradient (observed), nullptr when none is bound.
    TPlotGradient* Gradient() const;
    // Binds Gradient: a backup is taken and Modified cleared.
    void BindGradient(TPlotGradient* Gradient);

    TPlotGradient* Backup() const { return FBackup.get(); }
    // Something changed the gradient since it was bound.
    bool Modified() const { return FModified; }
    bool Updating() const { return FUpdating; }
    // Hides the end colour and swap, and keeps the colour controls enabled
    // whatever the gradient's visibility.
    bool NoEndColor() const { return FNoEndColor; }
    void SetNoEndColor(bool Value);
    // Hides OK and Cancel (for embedding).
    void HideButtonBar();
    TPreviewGradient* Preview() const { return FPreview.get(); }

    QCheckBox* CBVisible;
    QComboBox* CBDirection;
    QTabWidget* PageControl1;
    QListWidget* Gallery;
    TButtonColor* BStart;
    TButtonColor* BMid;
    TButtonColor* BEnd;
    QCheckBox* CBMid;
    QPushButton* BSwap;
    QSlider* SBBalance;
    QLabel* LabelBalance;
    QSlider* TrackBar1;
    QSlider* TrackBar2;
    QSpinBox* LRadialX;
    QSpinBox* LRadialY;
    QLabel* LabelHoriz;
    QLabel* LabelVert;
    TChartGalleryPanel* Directions;
    QWidget* Panel1;
    QPushButton* BOk;
    QPushButton* BCancel;

protected:
    void FillControls() override;
    void UpdateEnabled() override;
    void reject() override;
    // Binds the target set since the last show, as the form does on show.
    void showEvent(QShowEvent* Event) override;

private:
    void BuildDefaultTab(QWidget* Tab);
    void BuildColorsTab(QWidget* Tab);
    void BuildOptionsTab(QWidget* Tab);
    void BuildDirectionsTab(QWidget* Tab);
    void RefreshPreview();
    void ApplyPreset(int Index);
    void SwapClick();
    void CancelClick();
    void DirectionsChangeChart();
    // Gives the gradient back its own change handler.
    void Unhook();

    std::unique_ptr<TPlotGradient> FBackup;
    std::unique_ptr<TPreviewGradient> FPreview;
    QWidget* FPreviewHost = nullptr;
    std::function<void(TPersistent*)> FHeldOnChange;
    QPointer<QObject> FHooked;
    bool FModified = false;
    bool FUpdating = false;
    bool FNoEndColor = false;
};

// The modal editor with every control; true when closed with OK.
bool EditGradientDialog(QWidget* Owner, TPlotGradient& Gradient);
// As above; NoEndColor hides the end colour, HideVisible the visibility box.
bool EditGradientExtended(QWidget* Owner, TPlotGradient& Gradient, bool NoEndColor, bool HideVisible);
// The editor embedded in Parent without its button bar.
TPlotGradientEditor* InsertGradientEditor(QWidget* Parent, TPlotGradient* Gradient);

// A button showing a gradient swatch; a click opens the editor on it.
class TButtonGradient : public TPlotButton {
    Q_OBJECT
public:
    explicit TButtonGradient(const QString& Caption = {}, QWidget* Parent = nullptr);

    void LinkGradient(TPlotGradient* Gradient);
    TPlotGradient* Gradient() const { return FGradient; }
    bool NoEndColor = false;
    // Runs after the editor closed with OK, and on clicks without a gradient.
    std::function<void(TButtonGradient* Sender)> OnClick;
    // The editor while it is open.
    TPlotGradientEditor* Editor() const { return FEditor; }

    void DrawSymbol(TPlotCanvas& Canvas) override;

private:
    void Clicked();

    QPointer<TPlotGradient> FGradient;
    QPointer<TPlotGradientEditor> FEditor;
};

} // namespace lp
