#pragma once
// The image bar series' page: the bars' picture (previewed, browsed for
// or cleared) and whether it is tiled. The bar page joins as a "Bar" tab
// once it is registered.

#include "chart/editors/extendedseries/SeriesPageControls.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace lp {

class TImageBarSeries;

class TImageBarSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TImageBarSeriesEditor(QWidget* Parent = nullptr);

    TImageBarSeries* Series() const;
    QPointer<TEditorPage> BarEditor;

    QGroupBox* GroupBox1;
    QLabel* Image1;
    QPushButton* BBrowse;
    QCheckBox* CBTiled;

protected:
    void AddTabs() override;
    void FillControls() override;
    // "&Tiled" only with a picture.
    void UpdateEnabled() override;

private:
    // Clears a picture, else loads a chosen file.
    void BrowseClick();
    bool HasPicture() const;
};

} // namespace lp
