#pragma once
// "Body parameters": the look, the label and the physical parameters of one
// ring (sub-polygon) of the section chart, with boxes that copy parts of
// that look to every body.
//
// The appearance buttons change the ring's map polygon at once (the chart
// shows it live); Apply, and every way of closing the dialog, first checks
// the typed resistivity and polarizability (a refused value keeps the
// dialog open, marks its field and says what is allowed, and nothing is
// stored), then writes the polygon's look and the fields that were changed
// into the ring's parameter slots, copies the checked slots to every other
// ring but the host frame, rebuilds the map and, when anything changed,
// records one undo step and tells the chart's owner. An Apply that changes
// nothing records nothing.
// The host medium (body 0, ring 0) has no look of its own: its appearance
// controls, label mode and copy boxes are disabled.
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
    QLineEdit* Edit1;     // resistivity, ohm-m (slot 10); empty: not set
    QLineEdit* Edit2;     // polarizability, % (slot 11); empty: not set
    QLineEdit* PhaseEdit; // phase, mrad (psPhase), negative when polarizable; empty: not set
    QComboBox* ComboBox1; // label mode (slot 8)
    QCheckBox* CheckBox5; // copy the label mode to all bodies
    QLabel* ErrorLabel;   // what a refused value allows; empty otherwise

    // The fields from the ring's slots; every copy box unchecked.
    void LoadBodyDialog();
    // The changed fields into the ring's slots (an emptied number field
    // empties its slot), then the checked slots into every other ring. The
    // fields must have passed CheckFields.
    void StoreBodyDialog(bool& CopyAny);
    // The typed numbers checked: false when one is refused (its field marked
    // and focused, the reason shown).
    bool CheckFields();
    // False when a typed value was refused (nothing stored).
    bool Apply();
    // Apply, then the ring's slots become the slots of new bodies.
    void ApplyAsDefault();

    void Button7Click(); // colour
    void Button5Click(); // pen
    void Button1Click(); // brush
    void Button2Click(); // gradient

    // Every way of closing the dialog ("Close", Enter, Esc, the close box)
    // applies; a refused value keeps it open.
    void done(int Result) override;

private:
    // The edited ring's map polygon, nullptr when it has none.
    TPlotPolygon* MapPolygon() const;
    void RefreshMap();
    // The dialog shows the host medium: no look, no label mode.
    void EnableLookControls(bool On);
    void MarkField(QLineEdit* Field, bool Refused);
    // The texts the fields were loaded with: a field left as loaded leaves
    // its slot as it is (no rounding to the shown decimals).
    QString FLoadedResistivity;
    QString FLoadedPolarizability;
    QString FLoadedPhase;
    QString FLoadedLabel;
    int FLoadedMode = -1;
};

// Opens the one body dialog (created on first use, kept for the next until
// UnregisterBodyDialog or the application object's end) on a ring, modally.
void ShowBodyParameters(TPolygonChart* Chart, int MapIndex, int Body, int Sub);
// Makes double clicks on bodies open the dialog (the chart's entry point)
// and frees the dialog again.
void RegisterBodyDialog();
void UnregisterBodyDialog();

} // namespace lp
