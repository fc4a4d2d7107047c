#pragma once
// The page of the annotation tool and of the rectangle tool: text and its
// alignment, the automatic or custom place, the size, the callout, and the
// shape-format tabs of the text block.

#include "chart/editors/EditorPage.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace lp {

class TAnnotationTool;
class TButtonPen;
class TFormPlotShape;

class TAnnotationToolEdit : public TEditorPage {
    Q_OBJECT
public:
    explicit TAnnotationToolEdit(QWidget* Parent = nullptr);

    TAnnotationTool* Tool() const;

    QTabWidget* PageControl1;
    // "Options"
    QPlainTextEdit* MemoText;
    QComboBox* CBTextAlign;
    QComboBox* CBCursor;
    // "Position"
    QComboBox* CBPos;
    QCheckBox* CBCustPos;
    QSpinBox* UDLeft;
    QSpinBox* UDTop;
    QComboBox* CBUnits;
    // "Size"
    QCheckBox* CBAutoSize;
    QSpinBox* UDWidth;
    QSpinBox* UDHeight;
    // "Callout"
    TButtonPen* BCalloutPen;
    QPushButton* BCalloutPointer;
    QLineEdit* EX;
    QLineEdit* EY;
    QLineEdit* EZ;
    QSpinBox* UDArrowDist;
    QComboBox* CBHead;
    QSpinBox* UDHeadSize;
    // The shape-format tabs of the text block.
    TFormPlotShape* ShapeEditor;

    // The memo's text as the tool stores it: lines separated by a carriage
    // return, no line feed.
    static QString TextOfMemo(const QString& MemoText);
    // The tool's text as the memo shows it, one line per line.
    static QString MemoOfText(const QString& Text);

protected:
    void FillControls() override;
    void UpdateEnabled() override;
    void showEvent(QShowEvent* Event) override;

private:
    QWidget* BuildOptionsTab();
    QWidget* BuildPositionTab();
    QWidget* BuildSizeTab();
    QWidget* BuildCalloutTab();
    void BindControls();
    void MemoTextChange();
    void EditPointer();

    bool FWritingText = false;
};

} // namespace lp
