#pragma once
// A body's physical parameters as the user reads and types them: the
// resistivity (slot 10, ohm-metres), the polarizability (slot 11, per cent)
// and the label its mode draws on the body (slot 8 choosing among nothing,
// the resistivity, both, or the user's text of slot 7).
//
// One check of a typed value serves every place a user types one (the body
// dialog, the regions table and its paste), so they allow and refuse the
// same texts with the same words. Numbers are read and shown in the user's
// locale; the C locale's form and a comma as the decimal point are
// accepted too.

#include "section/model/Polygons.h"

#include <QtCore/QLocale>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lp {

class TPolygonChart;

enum class TBodyQuantity { Resistivity, Polarizability, Phase };

// The slot a quantity lives in.
int QuantitySlot(TBodyQuantity Quantity);

// A typed value read and checked.
struct TParameterEntry {
    bool Valid = false;
    ParamValue Value; // empty: "not set" (an empty text)
    QString Error;    // when not valid: what is allowed
};

// An empty text is "not set"; a resistivity must be a finite number above
// 0, a polarizability a number from 0 up to (not including) 100, a phase
// (mrad, the voltage's: negative when polarizable) one from -1000 to 1000.
TParameterEntry ReadParameterText(TBodyQuantity Quantity, const QString& Text, const QLocale& Locale = QLocale());

// A slot's value as the dialog and the table show it (three decimals from 1
// up, more below 1, in the locale); empty when not set ("*" or empty). A
// text slot that is no number shows as it is.
QString ParameterText(const ParamValue& Slot, const QLocale& Locale = QLocale());
// A number in that form: three decimals from 1 up, more below 1, with the
// locale's decimal point and minus sign, no group separators.
QString ShownNumber(double Value, const QLocale& Locale = QLocale());
// Whether a slot holds no value: empty, or the "*" of the file.
bool ParameterNotSet(const ParamValue& Slot);
// Whether two slots mean the same: equal, or both not set.
bool SameParameter(const ParamValue& A, const ParamValue& B);

// How a fit of the regions treats a ring (slots 14 to 16): free unless
// slot 14 holds 1; the bounds in ohm-m, none where a slot is not set or
// holds no number above 0.
bool RegionFitFixed(const TPolygonParams& Params);
std::optional<double> RegionFitBound(const TPolygonParams& Params, int Slot);
// "free" or "fixed", as the table of regions shows and takes them.
QString RegionFitText(const TPolygonParams& Params);
// A typed Fit ("free", "fixed" in any case; empty for free): the slot's
// value (not set for free, 1 for fixed); not valid otherwise.
TParameterEntry ReadRegionFitText(const QString& Text);

// A body of water (slots 17 and 18): held at its resistivity by an
// inversion with the section. Water unless slot 17 is not 1; the held value
// the measured water resistivity of slot 18 where it holds a number above
// 0, else none (the body's resistivity is held).
bool RegionIsWater(const TPolygonParams& Params);
std::optional<double> MeasuredWaterResistivity(const TPolygonParams& Params);
// The water resistivities a body of water may be held at (ohm-m), the
// range a measured apparent resistivity may take: a value beyond it holds
// the water at no physical value and leaves the ground under it to take
// up what the data say of the water.
inline constexpr double MinWaterResistivity = 1e-12;
inline constexpr double MaxWaterResistivity = 1e12;
// A typed water resistivity (empty: not set, the body's resistivity is
// held), refused unless a number from MinWaterResistivity to
// MaxWaterResistivity.
TParameterEntry ReadWaterResistivityText(const QString& Text, const QLocale& Locale = QLocale());
// Why a ring marked as water cannot hold its slot 18: a value not a
// finite number within the range ("the water's resistivity 1e+308 ohm-m is
// beyond ..."); empty for a ring not marked as water, a slot not set or a
// value in the range.
std::string WaterResistivityFault(const TPolygonParams& Params);
// The same for a value as read (Token: its text in the file, "*" or empty
// for not set).
std::string WaterResistivityTokenFault(std::string_view Token);
// "yes" or "no", as the table of regions shows and takes them.
QString RegionWaterText(const TPolygonParams& Params);
// A typed Water ("yes", "no" in any case; empty for no): the slot's value
// (not set for no, 1 for yes); not valid otherwise.
TParameterEntry ReadRegionWaterText(const QString& Text);

// The label modes in the order of slot 8's values.
enum TLabelMode : int { lmNone = 0, lmResistivity = 1, lmBoth = 2, lmUserText = 3 };
// "None", "Resistivity", "Resistivity & polarizability", "User text".
QStringList LabelModeNames();
// The ring's mode; -1 when slot 8 holds none of the four.
int LabelModeOf(const TPolygonParams& Params);
// What the ring's label shows: by its mode "120 Ω·m", "120 Ω·m" and "2 %"
// on two lines (the chart's line separator), the user text, or nothing. A
// value not set shows as "–". A slot without a mode shows the user text.
QString BodyLabelText(const TPolygonParams& Params, const QLocale& Locale = QLocale());
// Whether the label shows slot 7 (the user text).
bool LabelShowsUserText(const TPolygonParams& Params);

// A ring of the model: body and ring (sub-polygon) index.
struct TRingRef {
    int Body = 0;
    int Ring = 0;
    friend bool operator==(const TRingRef&, const TRingRef&) = default;
};

// A value for one ring's slot.
struct TRingValue {
    TRingRef Ring;
    ParamValue Value;
};

// Sets one slot of the listed rings as one edit from outside the chart's
// mouse editing (TPolygonChart::ChangeFromOutside): an edit in hand goes
// back first; when any ring's slot changes, the map is rebuilt (labels
// follow), one undo step is recorded, the roll-back copy holds the change
// and the chart's change event fires. False, with nothing recorded, when
// every slot held its value already (a value not set and "*" are the same).
bool SetRingsParameter(TPolygonChart& Chart, int Slot, const std::vector<TRingValue>& Values);

} // namespace lp
