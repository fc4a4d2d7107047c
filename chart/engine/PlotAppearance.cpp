#include "chart/engine/PlotAppearance.h"

#include "chart/canvas/PlotPatterns.h"

#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeriesSettings.h"
#include "chart/engine/SettingsText.h"
#include "platform/base/Exception.h"
#include "platform/graphics/DrawingLimits.h"

#include <QtCore/QLocale>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace lp {

namespace {

// Font pitch is not a property of the fonts here; the field always carries
// the default pitch ordinal.
constexpr int DefaultPitchOrdinal = 0;
constexpr int PitchOrdinalCount = 3;

QString RealText(double Value)
{
    return QLocale::c().toString(Value, 'g', QLocale::FloatingPointShortest);
}

int RoundedInt(double Value)
{
    if (!std::isfinite(Value))
        return 0;
    const double Limit = static_cast<double>(std::numeric_limits<int>::max());
    return static_cast<int>(std::lround(std::clamp(Value, -Limit, Limit)));
}

// The fields of a text, split at the kind's separator. At least Count are
// required (an index error names the first missing one).
QStringList SplitFields(const QString& Text, QChar Separator, int Count)
{
    QStringList Fields = Text.split(Separator);
    if (Fields.size() < Count)
        RaiseIndexError(Fields.size(), Fields.size());
    return Fields;
}

// A finite number with a point or a comma as its decimal separator.
std::optional<double> TryReadReal(const QString& Word)
{
    QString Text = Word.trimmed();
    const qsizetype Comma = Text.indexOf(QLatin1Char(','));
    if (Comma >= 0)
        Text[Comma] = QLatin1Char('.');
    bool Ok = false;
    const double Value = QLocale::c().toDouble(Text, &Ok);
    if (!Ok || !std::isfinite(Value))
        return std::nullopt;
    return Value;
}

// A number rounded to the nearest int, when it fits an int.
std::optional<int> TryReadInt(const QString& Word)
{
    const std::optional<double> Value = TryReadReal(Word);
    if (!Value)
        return std::nullopt;
    const double Rounded = std::round(*Value);
    if (Rounded < std::numeric_limits<int>::min() || Rounded > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(Rounded);
}

// As TryReadReal; anything else raises EConvertError.
double ReadReal(const QString& Word)
{
    const std::optional<double> Value = TryReadReal(Word);
    if (!Value)
        RaiseConvertError("'%s' is not a valid number", {Word.toStdString()});
    return *Value;
}

// As TryReadInt; anything else raises EConvertError.
int ReadInt(const QString& Word)
{
    const std::optional<int> Value = TryReadInt(Word);
    if (!Value)
        RaiseConvertError("'%s' is not a valid integer value", {Word.toStdString()});
    return *Value;
}

// A whole number exactly (the integer fields of the axis text).
int ReadStrictInt(const QString& Word)
{
    bool Ok = false;
    const int Value = Word.trimmed().toInt(&Ok);
    if (!Ok)
        RaiseConvertError("'%s' is not a valid integer value", {Word.toStdString()});
    return Value;
}

bool ReadBool(const QString& Word)
{
    return ReadInt(Word) != 0;
}

int ReadOrdinal(const QString& Word, int Count)
{
    const int Value = ReadInt(Word);
    if (Value < 0 || Value >= Count)
        RaiseRangeError("Ordinal %d is outside 0 .. %d", {ArgText(Value), ArgText(Count - 1)});
    return Value;
}

// --- Parsed forms: read and checked completely before anything is applied.

struct TPenFields {
    TColor Color = 0;
    bool SmallDots = false;
    TPenEndStyle EndStyle = esRound;
    bool Visible = true;
    TPen::TPenStyle Style = TPen::psSolid;
    TPen::TPenMode Mode = TPen::pmCopy;
    int Width = 1;
};

TPenFields ParsePen(const QString& Text)
{
    const QStringList F = SplitFields(Text, PenSettingsSeparator, PenSettingsFieldCount);
    TPenFields P;
    P.Color = ReadInt(F[0]);
    P.SmallDots = ReadBool(F[1]);
    P.EndStyle = static_cast<TPenEndStyle>(ReadOrdinal(F[2], 3));
    P.Visible = ReadBool(F[3]);
    P.Style = static_cast<TPen::TPenStyle>(ReadOrdinal(F[4], TPen::psAlternate + 1));
    P.Mode = static_cast<TPen::TPenMode>(ReadOrdinal(F[5], TPen::pmNotXor + 1));
    P.Width = CheckInRange(ReadInt(F[6]), 0, MaxPixelLength, "Pen width");
    return P;
}

void ApplyPen(TChartPen& Pen, const TPenFields& P)
{
    Pen.SetColor(P.Color);
    Pen.SetSmallDots(P.SmallDots);
    Pen.SetEndStyle(P.EndStyle);
    Pen.SetVisible(P.Visible);
    Pen.SetStyle(P.Style);
    Pen.SetMode(P.Mode);
    Pen.SetWidth(P.Width);
}

struct TGradientFields {
    int Balance = 50;
    TGradientDirection Direction = gdTopBottom;
    int RadialX = 0;
    TColor MidColor = 0;
    TColor EndColor = 0;
    int RadialY = 0;
    TColor StartColor = 0;
    bool Visible = false;
};

TGradientFields ParseGradient(const QString& Text)
{
    const QStringList F = SplitFields(Text, GradientSettingsSeparator, GradientSettingsFieldCount);
    TGradientFields G;
    G.Balance = CheckInRange(ReadInt(F[0]), MinGradientBalance, MaxGradientBalance, "Gradient balance");
    G.Direction = static_cast<TGradientDirection>(ReadOrdinal(F[1], gdDiagonalDown + 1));
    G.RadialX = CheckPixelLength(ReadInt(F[2]), "Gradient radial offset");
    G.MidColor = ReadInt(F[3]);
    G.EndColor = ReadInt(F[4]);
    G.RadialY = CheckPixelLength(ReadInt(F[5]), "Gradient radial offset");
    G.StartColor = ReadInt(F[6]);
    G.Visible = ReadBool(F[7]);
    return G;
}

void ApplyGradient(TCustomPlotGradient& Gradient, const TGradientFields& G)
{
    Gradient.SetBalance(G.Balance);
    Gradient.SetDirection(G.Direction);
    Gradient.SetRadialX(G.RadialX);
    Gradient.SetMidColor(G.MidColor);
    Gradient.SetEndColor(G.EndColor);
    Gradient.SetRadialY(G.RadialY);
    Gradient.SetStartColor(G.StartColor);
    Gradient.SetVisible(G.Visible);
}

struct TFontFields {
    int Charset = 1;
    TColor Color = 0;
    int Height = 0;
    int InterCharSize = 0;
    int PixelsPerInch = 96;
    TGradientFields Gradient;
    TFontStyles Style;
    QString Name;
};

TFontFields ParseFont(const QString& Text)
{
    const QStringList F = SplitFields(Text, FontSettingsSeparator, FontSettingsFieldCount);
    TFontFields R;
    R.Charset = ReadInt(F[0]);
    R.Color = ReadInt(F[1]);
    R.Height = CheckInRange(ReadInt(F[2]), -MaxFontHeight, MaxFontHeight, "Font height");
    R.InterCharSize = CheckPixelLength(ReadInt(F[3]), "Font inter-character size");
    ReadInt(F[4]); // Size: follows from Height and the pixels per inch
    R.PixelsPerInch = CheckInRange(ReadInt(F[5]), 1, MaxFontPixelsPerInch, "Font pixels per inch");
    ReadOrdinal(F[7], PitchOrdinalCount);
    R.Gradient = ParseGradient(F[8]);
    const QString& Flags = F[9];
    if (Flags.size() != 4)
        RaiseConvertError("'%s' is not a font style", {Flags.toStdString()});
    static constexpr TFont::TFontStyle Order[4] = {TFont::fsBold, TFont::fsItalic, TFont::fsUnderline,
                                                   TFont::fsStrikeOut};
    for (int I = 0; I < 4; ++I) {
        if (Flags[I] == QLatin1Char('1'))
            R.Style |= Order[I];
        else if (Flags[I] != QLatin1Char('0'))
            RaiseConvertError("'%s' is not a font style", {Flags.toStdString()});
    }
    // The name is the last field: a separator inside it stays part of it.
    R.Name = StarsToBlanks(F.mid(10).join(FontSettingsSeparator));
    return R;
}

void ApplyFont(TPlotFont& Font, const TFontFields& R)
{
    Font.SetCharset(R.Charset);
    Font.SetColor(R.Color);
    // The pixels per inch first, so that Size reads back as written.
    Font.SetPixelsPerInch(R.PixelsPerInch);
    Font.SetHeight(R.Height);
    Font.SetInterCharSize(R.InterCharSize);
    ApplyGradient(*Font.Gradient(), R.Gradient);
    Font.SetStyle(R.Style);
    Font.SetName(R.Name);
}

QString FontGradientText(const TPlotFont& Font)
{
    if (Font.HasGradient())
        return GradientSettingsToText(*const_cast<TPlotFont&>(Font).Gradient());
    const TPlotGradient Default;
    return GradientSettingsToText(Default);
}

} // namespace

// --- Writers --------------------------------------------------------------------------------------

QString BrushSettingsToText(const TChartBrush& Brush)
{
    return QStringList{IntText(Brush.Color()), IntText(Brush.Style())}.join(BrushSettingsSeparator);
}

QString PenSettingsToText(const TChartPen& Pen)
{
    return QStringList{IntText(Pen.Color()),   BoolText(Pen.SmallDots()), IntText(Pen.EndStyle()),
                       BoolText(Pen.Visible()), IntText(Pen.Style()),      IntText(Pen.Mode()),
                       IntText(Pen.Width())}
        .join(PenSettingsSeparator);
}

QString GradientSettingsToText(const TCustomPlotGradient& Gradient)
{
    return QStringList{IntText(Gradient.Balance()),   IntText(Gradient.Direction()), IntText(Gradient.RadialX()),
                       IntText(Gradient.MidColor()),  IntText(Gradient.EndColor()),  IntText(Gradient.RadialY()),
                       IntText(Gradient.StartColor()), BoolText(Gradient.Visible())}
        .join(GradientSettingsSeparator);
}

QString FontSettingsToText(const TPlotFont& Font)
{
    const TFontStyles S = Font.Style();
    const QString Flags = BoolText(S.testFlag(TFont::fsBold)) + BoolText(S.testFlag(TFont::fsItalic))
                          + BoolText(S.testFlag(TFont::fsUnderline)) + BoolText(S.testFlag(TFont::fsStrikeOut));
    return QStringList{IntText(Font.Charset()),
                       IntText(Font.Color()),
                       IntText(Font.Height()),
                       IntText(Font.InterCharSize()),
                       IntText(Font.Size()),
                       IntText(Font.PixelsPerInch()),
                       IntText(0),
                       IntText(DefaultPitchOrdinal),
                       FontGradientText(Font),
                       Flags,
                       BlanksToStars(Font.Name())}
        .join(FontSettingsSeparator);
}

QString ShadowSettingsToText(const TPlotShadow& Shadow)
{
    return QStringList{IntText(Shadow.Size()), IntText(Shadow.Color()), IntText(Shadow.HorizSize()),
                       IntText(Shadow.Transparency()), IntText(Shadow.VertSize())}
        .join(ShadowSettingsSeparator);
}

QString AxisSettingsToText(const TChartAxis& Axis)
{
    const TChartAxisTitle& Title = *Axis.Title();
    QStringList F;
    F.reserve(AxisSettingsFieldCount);
    F << BoolText(Axis.Automatic()) << PenSettingsToText(*Axis.Axis()) << PenSettingsToText(*Axis.Grid())
      << BoolText(Axis.GridCentered()) << BoolText(Axis.Inverted()) << BoolText(Axis.Horizontal())
      << BoolText(Axis.OtherSide()) << BoolText(Axis.Labels()) << IntText(Axis.LabelsAlign())
      << IntText(Axis.LabelsAngle()) << BoolText(Axis.LabelsExponent()) << FontSettingsToText(*Axis.LabelsFont())
      << BoolText(Axis.LabelsMultiLine()) << BoolText(Axis.LabelsOnAxis()) << IntText(Axis.LabelsSeparation())
      << IntText(Axis.LabelsSize()) << IntText(Axis.LabelStyle()) << BoolText(Axis.Logarithmic())
      << IntText(Axis.MaximumOffset()) << IntText(Axis.MinimumOffset()) << PenSettingsToText(*Axis.MinorGrid())
      << IntText(Axis.MinorTickCount()) << IntText(Axis.MinorTickLength()) << PenSettingsToText(*Axis.MinorTicks())
      << IntText(RoundedInt(Axis.StartPosition())) << IntText(RoundedInt(Axis.EndPosition()))
      << IntText(RoundedInt(Axis.PositionPercent())) << IntText(Axis.PositionUnits())
      << BoolText(Axis.RoundFirstLabel()) << IntText(Axis.TickInnerLength()) << IntText(Axis.TickLength())
      << PenSettingsToText(*Axis.Ticks()) << PenSettingsToText(*Axis.TicksInner())
      << BoolText(Axis.TickOnLabelsOnly()) << IntText(Title.Angle()) << FontSettingsToText(*Title.Font())
      << BoolText(Title.Visible()) << IntText(Axis.TitleSize()) << BoolText(Axis.Visible())
      << IntText(Axis.LinLogDecShift()) << BoolText(Axis.RoundedLimits()) << BoolText(Axis.LinLogMinDec())
      << RealText(Axis.LinLogMinDecValue()) << BoolText(Axis.AutomaticMinimum())
      << BoolText(Axis.AutomaticMaximum()) << RealText(Axis.LogarithmicBase()) << RealText(Axis.Increment())
      << RealText(Axis.FixedMinimum()) << RealText(Axis.FixedMaximum()) << RealText(Axis.Minimum())
      << RealText(Axis.Maximum()) << BoolText(Axis.LogAutoFormat()) << BoolText(Axis.UseFixedLimits())
      << BlanksToStars(Title.Caption());
    return F.join(AxisSettingsSeparator);
}

// --- Readers --------------------------------------------------------------------------------------

std::unique_ptr<TChartBrush> BrushSettingsFromText(const QString& Text)
{
    const QStringList F = SplitFields(Text, BrushSettingsSeparator, BrushSettingsFieldCount);
    const TColor Color = ReadInt(F[0]);
    // The pattern styles (8 on) are the brush dialog's pattern items: the
    // writer writes them, so the reader takes them.
    const auto Style =
        static_cast<TBrush::TBrushStyle>(ReadOrdinal(F[1], TBrush::bsDiagCross + 1 + PatternBitmapCount));
    auto Brush = std::make_unique<TChartBrush>();
    Brush->SetColor(Color);
    Brush->SetStyle(Style);
    return Brush;
}

std::unique_ptr<TChartPen> PenSettingsFromText(const QString& Text)
{
    const TPenFields P = ParsePen(Text);
    auto Pen = std::make_unique<TChartPen>();
    ApplyPen(*Pen, P);
    return Pen;
}

std::unique_ptr<TPlotGradient> GradientSettingsFromText(const QString& Text)
{
    const TGradientFields G = ParseGradient(Text);
    auto Gradient = std::make_unique<TPlotGradient>();
    ApplyGradient(*Gradient, G);
    return Gradient;
}

std::unique_ptr<TPlotFont> FontSettingsFromText(const QString& Text)
{
    const TFontFields R = ParseFont(Text);
    auto Font = std::make_unique<TPlotFont>();
    ApplyFont(*Font, R);
    return Font;
}

std::unique_ptr<TPlotShadow> ShadowSettingsFromText(const QString& Text)
{
    const QStringList F = SplitFields(Text, ShadowSettingsSeparator, ShadowSettingsFieldCount);
    const int Size = CheckPixelLength(ReadInt(F[0]), "Shadow size");
    const TColor Color = ReadInt(F[1]);
    const int HorizSize = CheckPixelLength(ReadInt(F[2]), "Shadow size");
    const int Transparency = ReadInt(F[3]);
    if (Transparency < 0 || Transparency > 100)
        RaiseRangeError("Transparency %d is outside 0 .. 100", {ArgText(Transparency)});
    const int VertSize = CheckPixelLength(ReadInt(F[4]), "Shadow size");
    auto Shadow = std::make_unique<TPlotShadow>();
    Shadow->SetSize(Size);
    Shadow->SetColor(Color);
    Shadow->SetHorizSize(HorizSize);
    Shadow->SetTransparency(Transparency);
    Shadow->SetVertSize(VertSize);
    return Shadow;
}

void ApplyPenSettingsText(TChartPen& Pen, const QString& Text)
{
    ApplyPen(Pen, ParsePen(Text));
}

void ApplyGradientSettingsText(TCustomPlotGradient& Gradient, const QString& Text)
{
    ApplyGradient(Gradient, ParseGradient(Text));
}

void ApplyFontSettingsText(TPlotFont& Font, const QString& Text)
{
    ApplyFont(Font, ParseFont(Text));
}

void AxisSettingsFromText(TChartAxis& Axis, const QString& Text, bool SetSide)
{
    if (Text.trimmed().isEmpty())
        return;
    const QStringList F = Text.split(AxisSettingsSeparator);
    // 53 fields are enough: the caption is optional.
    if (F.size() < AxisSettingsFieldCount - 1)
        RaiseIndexError(F.size(), F.size());

    // Everything is read and checked before the axis changes.
    const bool Automatic = ReadStrictInt(F[0]) != 0;
    const TPenFields AxisPen = ParsePen(F[1]);
    const TPenFields GridPen = ParsePen(F[2]);
    const bool GridCentered = ReadStrictInt(F[3]) != 0;
    const bool Inverted = ReadStrictInt(F[4]) != 0;
    const bool Horizontal = ReadStrictInt(F[5]) != 0;
    const bool OtherSide = ReadStrictInt(F[6]) != 0;
    const bool Labels = ReadStrictInt(F[7]) != 0;
    const int LabelsAlign = ReadStrictInt(F[8]);
    if (LabelsAlign < TChartAxis::alDefault || LabelsAlign > TChartAxis::alOpposite)
        RaiseRangeError("Ordinal %d is outside 0 .. 1", {ArgText(LabelsAlign)});
    const int LabelsAngle = ReadStrictInt(F[9]);
    const bool LabelsExponent = ReadStrictInt(F[10]) != 0;
    const TFontFields LabelsFont = ParseFont(F[11]);
    const bool LabelsMultiLine = ReadStrictInt(F[12]) != 0;
    const bool LabelsOnAxis = ReadStrictInt(F[13]) != 0;
    const int LabelsSeparation = CheckInRange(ReadStrictInt(F[14]), 0, MaxLabelsSeparation, "Labels separation");
    const int LabelsSize = CheckPixelLength(ReadStrictInt(F[15]), "Labels size");
    const int LabelStyle = ReadStrictInt(F[16]);
    if (LabelStyle < TChartAxis::talAuto || LabelStyle > TChartAxis::talText)
        RaiseRangeError("Ordinal %d is outside 0 .. 4", {ArgText(LabelStyle)});
    const bool Logarithmic = ReadStrictInt(F[17]) != 0;
    const int MaximumOffset = CheckPixelLength(ReadStrictInt(F[18]), "Maximum offset");
    const int MinimumOffset = CheckPixelLength(ReadStrictInt(F[19]), "Minimum offset");
    const TPenFields MinorGrid = ParsePen(F[20]);
    const int MinorTickCount = CheckInRange(ReadStrictInt(F[21]), 0, MaxMinorTickCount, "Minor tick count");
    const int MinorTickLength = CheckPixelLength(ReadStrictInt(F[22]), "Minor tick length");
    const TPenFields MinorTicks = ParsePen(F[23]);
    const int StartPosition = ReadStrictInt(F[24]);
    const int EndPosition = ReadStrictInt(F[25]);
    const int PositionPercent = ReadStrictInt(F[26]);
    const int PositionUnits = ReadStrictInt(F[27]);
    if (PositionUnits < TCustomPlotPanel::muPercent || PositionUnits > TCustomPlotPanel::muPixels)
        RaiseRangeError("Ordinal %d is outside 0 .. 1", {ArgText(PositionUnits)});
    const bool RoundFirstLabel = ReadStrictInt(F[28]) != 0;
    const int TickInnerLength = CheckPixelLength(ReadStrictInt(F[29]), "Inner tick length");
    const int TickLength = CheckPixelLength(ReadStrictInt(F[30]), "Tick length");
    const TPenFields Ticks = ParsePen(F[31]);
    const TPenFields TicksInner = ParsePen(F[32]);
    const bool TickOnLabelsOnly = ReadStrictInt(F[33]) != 0;
    const int TitleAngle = ReadStrictInt(F[34]);
    const TFontFields TitleFont = ParseFont(F[35]);
    const bool TitleVisible = ReadStrictInt(F[36]) != 0;
    const int TitleSize = CheckPixelLength(ReadStrictInt(F[37]), "Title size");
    ReadStrictInt(F[38]); // Visible: written, never applied
    const int LinLogDecShift = ReadStrictInt(F[39]);
    const bool RoundedLimits = ReadStrictInt(F[40]) != 0;
    const bool LinLogMinDec = ReadStrictInt(F[41]) != 0;
    const double LinLogMinDecValue = ReadReal(F[42]);
    if (!(LinLogMinDecValue > 0))
        RaiseRangeError("LinLog threshold %g is not above 0", {ArgText(LinLogMinDecValue)});
    const bool AutomaticMinimum = ReadStrictInt(F[43]) != 0;
    const bool AutomaticMaximum = ReadStrictInt(F[44]) != 0;
    const double LogarithmicBase = ReadReal(F[45]);
    if (!(LogarithmicBase > 0) || LogarithmicBase == 1)
        RaiseRangeError("Logarithmic base %g is not valid", {ArgText(LogarithmicBase)});
    const double Increment = ReadReal(F[46]);
    if (Increment < 0)
        RaiseRangeError("Increment %g is below 0", {ArgText(Increment)});
    ReadReal(F[47]); // FixedMinimum and FixedMaximum: written, never applied
    ReadReal(F[48]);
    const double Minimum = ReadReal(F[49]);
    const double Maximum = ReadReal(F[50]);
    if (Minimum > Maximum)
        RaiseRangeError("Minimum %g is above maximum %g", {ArgText(Minimum), ArgText(Maximum)});
    const bool LogAutoFormat = ReadStrictInt(F[51]) != 0;
    const bool UseFixedLimits = ReadStrictInt(F[52]) != 0;
    if (Logarithmic && Axis.IsDateTime())
        RaiseRangeError("A date-time axis cannot be logarithmic");

    Axis.SetAutomatic(Automatic);
    ApplyPen(*Axis.Axis(), AxisPen);
    ApplyPen(*Axis.Grid(), GridPen);
    Axis.SetGridCentered(GridCentered);
    Axis.SetInverted(Inverted);
    if (SetSide) {
        Axis.SetHorizontal(Horizontal);
        Axis.SetOtherSide(OtherSide);
    }
    Axis.SetLabels(Labels);
    Axis.SetLabelsAlign(static_cast<TChartAxis::TAxisLabelAlign>(LabelsAlign));
    Axis.SetLabelsAngle(LabelsAngle);
    Axis.SetLabelsExponent(LabelsExponent);
    ApplyFont(*Axis.LabelsFont(), LabelsFont);
    Axis.SetLabelsMultiLine(LabelsMultiLine);
    Axis.SetLabelsOnAxis(LabelsOnAxis);
    Axis.SetLabelsSeparation(LabelsSeparation);
    Axis.SetLabelsSize(LabelsSize);
    Axis.SetLabelStyle(static_cast<TChartAxis::TAxisLabelStyle>(LabelStyle));
    Axis.SetMaximumOffset(MaximumOffset);
    Axis.SetMinimumOffset(MinimumOffset);
    ApplyPen(*Axis.MinorGrid(), MinorGrid);
    Axis.SetMinorTickCount(MinorTickCount);
    Axis.SetMinorTickLength(MinorTickLength);
    ApplyPen(*Axis.MinorTicks(), MinorTicks);
    Axis.SetStartPosition(StartPosition);
    Axis.SetEndPosition(EndPosition);
    Axis.SetPositionPercent(PositionPercent);
    Axis.SetPositionUnits(static_cast<TPlotUnits>(PositionUnits));
    Axis.SetRoundFirstLabel(RoundFirstLabel);
    Axis.SetTickInnerLength(TickInnerLength);
    Axis.SetTickLength(TickLength);
    ApplyPen(*Axis.Ticks(), Ticks);
    ApplyPen(*Axis.TicksInner(), TicksInner);
    Axis.SetTickOnLabelsOnly(TickOnLabelsOnly);
    Axis.Title()->SetAngle(TitleAngle);
    ApplyFont(*Axis.Title()->Font(), TitleFont);
    Axis.Title()->SetVisible(TitleVisible);
    Axis.SetTitleSize(TitleSize);
    Axis.SetLinLogDecShift(LinLogDecShift);
    Axis.SetRoundedLimits(RoundedLimits);
    Axis.SetLinLogMinDec(LinLogMinDec);
    Axis.SetAutomaticMinimum(AutomaticMinimum);
    Axis.SetAutomaticMaximum(AutomaticMaximum);
    Axis.SetLogarithmicBase(LogarithmicBase);
    Axis.SetIncrement(Increment);
    const auto ApplyLimits = [&] {
        // Keep Minimum <= Maximum at every step so that neither setter
        // refuses.
        if (Minimum > Axis.Maximum()) {
            Axis.SetMaximum(Maximum);
            Axis.SetMinimum(Minimum);
        } else {
            Axis.SetMinimum(Minimum);
            Axis.SetMaximum(Maximum);
        }
    };
    ApplyLimits();
    // The threshold's setter takes only a value below the larger limit; an
    // axis at its default limits (0 and 0) holds 0.01 all the same, so the
    // limits are widened for the moment and set again below.
    if (!Axis.SetLinLogMinDecValue(LinLogMinDecValue)) {
        Axis.SetMaximum(std::max(Axis.Maximum(), 2 * LinLogMinDecValue + 1));
        Axis.SetLinLogMinDecValue(LinLogMinDecValue);
    }
    Axis.SetLogAutoFormat(LogAutoFormat);
    Axis.SetUseFixedLimits(UseFixedLimits);
    Axis.SetLogarithmic(Logarithmic);
    // Switching Logarithmic may recompute the range and, with LogAutoFormat,
    // reset the exponent labels and the minor tick count; the text's own
    // values win, so the axis ends as the text describes it.
    Axis.SetLabelsExponent(LabelsExponent);
    Axis.SetMinorTickCount(MinorTickCount);
    ApplyLimits();
    // An empty caption field leaves the title's caption as it is.
    if (F.size() >= AxisSettingsFieldCount) {
        const QString Caption = F.mid(AxisSettingsFieldCount - 1).join(AxisSettingsSeparator);
        if (!Caption.isEmpty())
            Axis.Title()->SetCaption(StarsToBlanks(Caption));
    }
}

// --- Reading aids ---------------------------------------------------------------------------------

QString SettingsSeparatorsToBlanks(const QString& Text, QChar Separator)
{
    QString Result = Text;
    return Result.replace(Separator, QLatin1Char(' '));
}

namespace {

QStringList SettingsWords(const QString& Text)
{
    QStringList Words;
    QString Word;
    for (const QChar C : Text) {
        if (C == QLatin1Char(' ') || C == QLatin1Char('\t')) {
            if (!Word.isEmpty())
                Words << Word;
            Word.clear();
        } else {
            Word += C;
        }
    }
    if (!Word.isEmpty())
        Words << Word;
    return Words;
}

} // namespace

void SettingsTextToIntegers(const QString& Text, int Skip, std::vector<int>& Out)
{
    const QStringList Words = SettingsWords(Text);
    for (qsizetype I = std::max(Skip, 0); I < Words.size(); ++I) {
        // A word that is not a number (a pen text inside an axis text, say)
        // is counted but not appended.
        if (const std::optional<int> Value = TryReadInt(Words[I]))
            Out.push_back(*Value);
    }
}

void SettingsTextToStrings(const QString& Text, int Skip, QStringList& Out)
{
    const QStringList Words = SettingsWords(Text);
    for (qsizetype I = std::max(Skip, 0); I < Words.size(); ++I)
        Out << Words[I];
}

void RegisterAppearanceTexts()
{
    auto& Entry = ChartEditorEntryPoints();
    Entry.AxisSettingsToText = [](TChartAxis* Axis) { return Axis ? AxisSettingsToText(*Axis) : QString(); };
    Entry.AxisSettingsFromText = [](TChartAxis* Axis, const QString& Text) {
        if (Axis)
            AxisSettingsFromText(*Axis, Text, true);
    };
    RegisterSeriesSettingsTexts();
}

} // namespace lp
