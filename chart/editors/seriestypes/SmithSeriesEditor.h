#pragma once
// The Smith chart's page: the resistance ("R") and reactance ("C") grid
// lines with their labels, pens and fonts (kept on the series' axes), the
// circle, the line joining the points, colour-each and the symbol after
// the reactance labels. On its first show inside the series page it adds
// the circled page as a further tab.

#include "chart/editors/extendedseries/SeriesPageControls.h"

#include <QtCore/QPointer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lp {

class TButtonPen;
class TCircledSeriesEditor;
class TPlotFont;
class TSmithSeries;

class TSmithSeriesEdit : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TSmithSeriesEdit(QWidget* Parent = nullptr);

    TSmithSeries* Series() const;
    // The "Circled" tab's page while it lives (the series page owns it).
    QPointer<TCircledSeriesEditor> CircledEditor;

    QCheckBox* CBC;
    QCheckBox* CBR;
    TButtonPen* BCPen;
    TButtonPen* BRPen;
    TButtonPen* BCircle;
    QCheckBox* CBColorEach;
    TButtonPen* BBorder;
    QPushButton* BCFont;
    QPushButton* BRFont;
    QLabel* Label1;
    QLineEdit* EImag;

protected:
    void FillControls() override;
    void AddTabs() override;

private:
    // The font dialog on the font Reactance chooses; the series repaints
    // after an OK.
    void FontClick(QPushButton* Button, bool Reactance);
};

} // namespace lp
