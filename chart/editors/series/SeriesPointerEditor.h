#pragma once
// The point marker page: visibility, 3-D look, size, style, fill, border
// and gradient of a series' pointer, and the series' colour-each-point
// option. Its target is a series (whose "Pointer" is edited) or a pointer
// alone (a callout); embedded as the series page's "Point" or "Format" tab,
// or the modal "Pointer" dialog.

#include "chart/editors/EditorPage.h"
#include "platform/graphics/GraphicsTypes.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace lp {

class TButtonGradient;
class TButtonPen;
class TCanvas;
class TChartSeries;
class TComboFlat;
class TSeriesPointer;

class TSeriesPointerEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TSeriesPointerEditor(QWidget* Parent = nullptr);

    // The edited pointer: the target itself, or the target series' pointer.
    TSeriesPointer* Pointer() const;
    // The target when it is a series, else nullptr.
    TChartSeries* Series() const;

    // Hides both size labels, edits and up-downs (series that size their
    // points themselves).
    void HideSizeControls();
    // The colour a style item is drawn in: the brush colour, or the
    // series colour when the brush has no colour of its own.
    TColor StyleItemColor() const;
    // Draws style item Index: its shape at 4 x 4 half size and its text.
    void DrawStyleItem(TCanvas& Canvas, const TRect& Rect, int Index, TColor Background) const;

    QGroupBox* GPPoint;
    QCheckBox* CBDrawPoint;
    QCheckBox* CB3dPoint;
    QCheckBox* CBPoDark;
    QCheckBox* CBInflate;
    QLabel* LPointHorizSize;
    QSpinBox* UDPointHorizSize;
    QLabel* LPointVertSize;
    QSpinBox* UDPointVertSize;
    TComboFlat* CBStyle;
    QGroupBox* GroupBox1;
    QPushButton* BPointFillColor;
    QCheckBox* CBDefBrushColor;
    TButtonPen* BPoinPenCol;
    QCheckBox* CBColorEach;
    TButtonGradient* BGradient;
    QWidget* PanelBottom;
    QPushButton* Button1;

protected:
    void FillControls() override;
    void UpdateEnabled() override;

private:
    // Whether the pointer's chart shows its 3-D look for the current style.
    bool Can3D() const;
    void PatternClick();

    bool FSizesHidden = false;
};

// The modal "Pointer" dialog for Owner on a pointer or a series' pointer:
// without "Inflate &Margins" and "&Color Each ", closed by "Close".
void EditSeriesPointer(QWidget* Owner, QObject* PointerOrSeries);

// The pointer page for a pointer or a series' pointer, added as a further
// tab of the series page hosting Owner (see AddSeriesEditorTab).
TEditorPage* AddPointerTab(QWidget* Owner, QObject* Pointer, const QString& Caption, int Index);

} // namespace lp
