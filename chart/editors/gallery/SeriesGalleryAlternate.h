#pragma once
// The alternate series gallery: a page combo, the types of that page as a
// list with icons, and previews of the chosen type's sub-styles.

#include <QtWidgets/QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace lp {

class TChart;
class TChartGalleryPanel;
class TChartListBox;

class TPlotGalleryForm : public QDialog {
    Q_OBJECT
public:
    explicit TPlotGalleryForm(QWidget* Parent = nullptr);
    ~TPlotGalleryForm() override;

    QComboBox* CBPage;
    QCheckBox* CB3D;
    QCheckBox* CBSmooth;
    TChartListBox* ChartListBox1;
    TChartGalleryPanel* ChartGalleryPanel1;
    QPushButton* BOK;
    QPushButton* BCancel;

    // The hidden chart holding one series per listed type.
    TChart* TypesChart() const { return FChart.get(); }
    // Lists the types of the chosen page ("(all)": every page).
    void CBPageChange();
    // Shows the sub-styles of the type in the list's current row.
    void ChartListBox1Click();
    // How often the previews were built (a type already shown is kept).
    int PreviewBuilds() const { return FBuilds; }

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    // The arrows and Enter in the type list move and confirm the previews.
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    std::unique_ptr<TChart> FChart;
    const struct QMetaObject* FShownClass = nullptr;
    int FBuilds = 0;
};

} // namespace lp
