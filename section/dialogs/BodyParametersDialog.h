#pragma once
// "Body parameters": the look and label of one ring (sub-polygon) of the
// section chart, with boxes that copy parts of that look to every body.
//
// The appearance buttons change the ring's map polygon at once (the chart
// shows it live); Apply, and every way of closing the dialog, writes the
// polygon's look and the dialog's fields into the ring's parameter slots,
// copies the checked slots to every other ring but the host frame, rebuilds
// the map and tells the chart's owner.
// The dialog observes the chart; it owns nothing of it.

#include <QtWidgets/QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lp {

class TPlotPolygon;
class TPolygonChart;

class TBsetup : public QDialog {
    Q_OBJECT
public:
    explicit TBsetup(QWidget* Parent = nullptr);
    ~TBsetup() override;

    // The ring edited; set before LoadBodyDialog.
    TPolygonChart* Chart = nullptr;
    int MapIndex = -1;
    int Body = 0;
    int Sub = 0;

    QPushButton* Button7; // "Color"
    QPushButton* Button5; // "Pen"
    QPushButton* Button1; // "Brush"
    QPushButton* Button2; // "Gradient"; disabled while no gradient editor is registered
    QCheckBox* CheckBox1; // copy the colour to all bodies
    QCheckBox* CheckBox2; // ... the pen
    QCheckBox* CheckBox3; // ... the brush
    QCheckBox* CheckBox4; // ... the gradient
    QLineEdit* Edit5;     // the label text
    QPushButton* Button3; // "Apply"
    QPushButton* Button8; // "As default"
    QPushButton* Button4; // "Close"
    // Kept hidden: resistivity, polarizability, label mode and its copy box.
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QComboBox* ComboBox1;
    QCheckBox* CheckBox5;

    // The fields from the ring's slots; every copy box unchecked.
    void LoadBodyDialog();
    // The fields into the ring's slots (texts that are not numbers leave
    // their slot), then the checked slots into every other ring.
    void StoreBodyDialog(bool& CopyAny);
    void Apply();
    // Apply, then the ring's slots become the slots of new bodies.
    void ApplyAsDefault();

    void Button7Click(); // colour
    void Button5Click(); // pen
    void Button1Click(); // brush
    void Button2Click(); // gradient

    // Every way of closing the dialog ("Close", Esc, the close box) applies.
    void done(int Result) override;

private:
    // The edited ring's map polygon, nullptr when it has none.
    TPlotPolygon* MapPolygon() const;
    void RefreshMap();
    QLabel* FResistivityUnit;
    QLabel* FPolarizabilityUnit;
};

// Opens the one body dialog (created on first use, kept for the next until
// UnregisterBodyDialog or the application object's end) on a ring, modally.
void ShowBodyParameters(TPolygonChart* Chart, int MapIndex, int Body, int Sub);
// Makes double clicks on bodies open the dialog (the chart's entry point)
// and frees the dialog again.
void RegisterBodyDialog();
void UnregisterBodyDialog();

} // namespace lp
