#pragma once
// The shape series' page: "Style" (shape, colour, border, pattern,
// transparency, round corners, text with its alignments, gradient),
// "Position" (the two corners and their units) and "Text" (the font
// editor on the shape's font).

#include "chart/editors/EditorPage.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace lp {

class TButtonColor;
class TButtonGradient;
class TButtonPen;
class TChartShape;
class TPlotFontEditor;

class TChartShapeEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TChartShapeEditor(QWidget* Parent = nullptr);

    TChartShape* Series() const;

    QTabWidget* PageControl1;
    QComboBox* CBStyle;
    TButtonColor* BShapeColor;
    TButtonPen* BShapePen;
    QPushButton* BShapeBrush;
    QCheckBox* CBTrans;
    QCheckBox* CBRound;
    QPlainTextEdit* MemoText;
    QGroupBox* GBAlign;
    QButtonGroup* RGAlign;
    QGroupBox* GBVertAlign;
    QButtonGroup* RGVertAlign;
    TButtonGradient* BGradient;
    QLineEdit* SEX0;
    QLineEdit* SEY0;
    QLineEdit* SEX1;
    QLineEdit* SEY1;
    QComboBox* CBUnits;
    TPlotFontEditor* FontEditor;

protected:
    void FillControls() override;
    void UpdateEnabled() override;

private:
    void BrushClick();
    void TextChanged();

    bool FTypingText = false;
};

} // namespace lp
