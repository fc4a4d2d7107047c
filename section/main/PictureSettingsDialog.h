#pragma once
// "Picture settings" and the paper-scale picture: a section saved as a
// bitmap whose size matches a paper scale at a printer resolution.


#include <QtWidgets/QDialog>

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace lp {

class TCustomChart;
class TPlotFont;

class Tprntset : public QDialog {
    Q_OBJECT
public:
    explicit Tprntset(QWidget* Parent = nullptr);

    QLineEdit* Edit1;    // vertical scale, 1:
    QLineEdit* Edit2;    // horizontal scale, 1:
    QLineEdit* Edit3;    // print resolution, dots per inch
    QSpinBox* SpinEdit1; // points added to the fonts
    QCheckBox* CheckBox1; // "Automatic"

    bool Automatic() const;
};

// Writes the chart as a bitmap under FileName with the extension ".bmp":
// at the chart's size when "Automatic" is checked, else at the paper scale
// (sized so that the plot area measures the axes' spans at the scales and
// resolution, whatever the margins), fonts changed by the font setting for
// the export (never below 1 point) and restored afterwards (also when it
// fails), the resolution written into the file's header. A scale or
// resolution that is no positive number (letters, an empty field, zero) or
// a picture too large raise with a message before anything is written.
void ExportPaperScaleBitmap(const Tprntset& Dialog, const QString& FileName, TCustomChart& Chart);

} // namespace lp
