#include "chart/engine/PlotSeriesSettings.h"

#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotAppearance.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/SettingsText.h"
#include "platform/base/Exception.h"
#include "platform/graphics/DrawingLimits.h"

#include <QtCore/QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace lp {

namespace {

constexpr int PointerFieldCount = 10;
// Ordinal counts of the enumerations the text carries.
constexpr int ArrowHeadCount = TCallout::ahSolid + 1;
constexpr int PointerStyleCount = TSeriesPointer::psRightTriangle + 1;
constexpr int BevelCount = TCustomPanelNoCaption::bvSpace + 1;
constexpr int ShapeStyleCount = TPlotCustomShape::fosRoundRectangle + 1;
constexpr int MarksStyleCount = TSeriesMarks::smsXY + 1;

// The gallery name on one line: the names that break the gallery's caption
// ("Horizontal" CR "Line") would otherwise break the line of a text file.
QString GalleryNameForText(const TChartSeries* Series)
{
    QString Name = GetGallerySeriesName(Series);
    Name.replace(QLatin1String("\r\n"), QLatin1String(" "));
    Name.replace(QLatin1Char('\r'), QLatin1Char(' '));
    Name.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return Name;
}

std::vector<TSeriesSettingsClassFields>& ClassFieldsRegistry()
{
    static std::vector<TSeriesSettingsClassFields> Registry;
    return Registry;
}

// The registration of the series' own class or, failing that, of its
// nearest registered ancestor, whatever the order of registration.
const TSeriesSettingsClassFields* ClassFieldsOf(const TChartSeries* Series)
{
    const TSeriesSettingsClassFields* Best = nullptr;
    for (const TSeriesSettingsClassFields& Fields : ClassFieldsRegistry())
        if (Fields.Class && Series->metaObject()->inherits(Fields.Class)
            && (!Best || Fields.Class->inherits(Best->Class)))
            Best = &Fields;
    return Best;
}

// Line and point series carry the line pen and the pointer block.
TCustomSeries* LineOrPointSeries(const TChartSeries* Series)
{
    if (auto* Line = qobject_cast<TLineSeries*>(const_cast<TChartSeries*>(Series)))
        return Line;
    if (auto* Point = qobject_cast<TPointSeries*>(const_cast<TChartSeries*>(Series)))
        return Point;
    return nullptr;
}

// A whole number in plain decimal, as the writer gives it (the integer
// conversion of the string: no decimal separator, no exponent);
// EConvertError otherwise.
int ReadPlainInt(const QString& Word)
{
    bool Ok = false;
    const int Value = Word.toInt(&Ok, 10);
    if (!Ok)
        RaiseConvertError("'%s' is not a valid integer value", {Word.toStdString()});
    return Value;
}

bool ReadPlainBool(const QString& Word)
{
    return ReadPlainInt(Word) != 0;
}

int ReadPlainOrdinal(const QString& Word, int Count)
{
    const int Value = ReadPlainInt(Word);
    if (Value < 0 || Value >= Count)
        RaiseRangeError("Ordinal %d is outside 0 .. %d", {ArgText(Value), ArgText(Count - 1)});
    return Value;
}

int ReadTransparency(const QString& Word)
{
    const int Value = ReadPlainInt(Word);
    if (Value < 0 || Value > 100)
        RaiseRangeError("Transparency %d is outside 0 .. 100", {ArgText(Value)});
    return Value;
}

int ReadPointerSize(const QString& Word)
{
    return CheckInRange(ReadPlainInt(Word), 1, MaxPixelLength, "Pointer size");
}

int ReadPixelLength(const QString& Word, const char* What)
{
    return CheckPixelLength(ReadPlainInt(Word), What);
}

// An empty field, or a lone "*" (an empty text written with blanks as
// stars), where an appearance text is expected: keep what the series has.
bool IsEmptySlot(const QString& Field)
{
    return Field.isEmpty() || Field == QLatin1String("*");
}

// Appearance sub-texts: checked by reading them into a scratch object, kept
// as text, and applied later field by field to the series' own objects (so
// that what the text does not carry, such as a font's outline, stays).
struct TPenSlot {
    std::optional<QString> Text;
    void Read(const QString& Field)
    {
        if (IsEmptySlot(Field))
            return;
        PenSettingsFromText(Field); // checks; raises for a malformed text
        Text = Field;
    }
    void ApplyTo(TChartPen& Pen) const
    {
        if (Text)
            ApplyPenSettingsText(Pen, *Text);
    }
};

struct TBrushSlot {
    std::unique_ptr<TChartBrush> Brush;
    void Read(const QString& Field)
    {
        if (!IsEmptySlot(Field))
            Brush = BrushSettingsFromText(Field);
    }
    void ApplyTo(TChartBrush& Target) const
    {
        if (Brush) {
            Target.SetColor(Brush->Color());
            Target.SetStyle(Brush->Style());
        }
    }
};

struct TGradientSlot {
    std::optional<QString> Text;
    void Read(const QString& Field)
    {
        if (IsEmptySlot(Field))
            return;
        GradientSettingsFromText(Field);
        Text = Field;
    }
    void ApplyTo(TCustomPlotGradient& Gradient) const
    {
        if (Text)
            ApplyGradientSettingsText(Gradient, *Text);
    }
};

struct TFontSlot {
    std::optional<QString> Text;
    void Read(const QString& Field)
    {
        if (IsEmptySlot(Field))
            return;
        FontSettingsFromText(Field);
        Text = Field;
    }
    void ApplyTo(TPlotFont& Font) const
    {
        if (Text)
            ApplyFontSettingsText(Font, *Text);
    }
};

struct TShadowSlot {
    std::unique_ptr<TPlotShadow> Shadow;
    void Read(const QString& Field)
    {
        if (!IsEmptySlot(Field))
            Shadow = ShadowSettingsFromText(Field);
    }
    void ApplyTo(TPlotCustomShape& Shape) const
    {
        if (!Shadow)
            return;
        TPlotShadow* Target = Shape.Shadow();
        if (!Target) {
            Shape.SetShadow(Shadow.get());
            return;
        }
        // The reader's order: Size (both sizes), Color, HorizSize,
        // Transparency, VertSize.
        Target->SetSize(Shadow->Size());
        Target->SetColor(Shadow->Color());
        Target->SetHorizSize(Shadow->HorizSize());
        Target->SetTransparency(Shadow->Transparency());
        Target->SetVertSize(Shadow->VertSize());
    }
};

struct TPointerFields {
    TColor Color = 0;
    TBrushSlot Brush;
    bool Dark3D = true;
    TGradientSlot Gradient;
    int HorizSize = 4;
    TPenSlot Pen;
    TSeriesPointer::TSeriesPointerStyle Style = psRectangle;
    int VertSize = 4;
    bool Visible = true;
    TPenSlot Pen2;
};

// Everything a text carries, read and checked before the series changes.
struct TSeriesSettingsFields {
    TColor SeriesColor = 0;
    TColor SeriesColor2 = 0;
    bool ColorEachPoint = false;
    TBrushSlot Brush;
    TPenSlot Pen;
    int Cursor = 0;
    int MarksAngle = 0;
    TPenSlot MarksArrow;
    int MarksArrowLength = 0;
    int CalloutLength = 0;
    bool CalloutVisible = false;
    TPenSlot CalloutArrow;
    TCallout::TArrowHeadStyle CalloutArrowHead = ahNone;
    int CalloutArrowHeadSize = 8;
    int CalloutDistance = 0;
    TSeriesPointer::TSeriesPointerStyle CalloutStyle = psRectangle;
    TColor CalloutColor = 0;
    TBrushSlot CalloutBrush;
    int CalloutHorizSize = 4;
    TPenSlot CalloutPen;
    int CalloutVertSize = 4;
    TPenSlot CalloutPen2;
    TGradientSlot CalloutGradient;
    TColor MarksBackColor = 0;
    TCustomPanelNoCaption::TBevelCut MarksBevel = TCustomPanelNoCaption::bvNone;
    int MarksBevelWidth = 2;
    TBrushSlot MarksBrush;
    bool MarksClip = false;
    TColor MarksColor = 0;
    TFontSlot MarksFont;
    TPenSlot MarksFrame;
    TGradientSlot MarksGradient;
    bool MarksMultiLine = false;
    TPlotCustomShape::TChartObjectShapeStyle MarksShapeStyle = fosRectangle;
    TSeriesMarks::TSeriesMarksStyle MarksStyle = TSeriesMarks::smsLabel;
    bool MarksVisible = false;
    TPenSlot MarksFrame2;
    int MarksTransparency = 0;
    TShadowSlot MarksShadow;
    bool FunctionResultCentered = true;
    bool MarksTransparent = false;

    TPenSlot LinePen;                      // line or point series
    std::optional<TPointerFields> Pointer; // line or point series with flag "1"
    std::function<void(TChartSeries&)> ClassFields; // registered class fields
    std::optional<int> DrawEvery;
};

TSeriesSettingsFields ReadFields(const QStringList& F, bool LineOrPoint, const TSeriesSettingsClassFields* Extra)
{
    TSeriesSettingsFields R;
    R.SeriesColor = ReadPlainInt(F[0]);
    R.SeriesColor2 = ReadPlainInt(F[1]);
    R.ColorEachPoint = ReadPlainBool(F[2]);
    R.Brush.Read(F[3]);
    R.Pen.Read(F[4]);
    R.Cursor = ReadPlainInt(F[5]);
    R.MarksAngle = ReadPlainInt(F[6]);
    R.MarksArrow.Read(F[7]);
    R.MarksArrowLength = ReadPixelLength(F[8], "Marks arrow length");
    R.CalloutLength = ReadPixelLength(F[9], "Callout length");
    R.CalloutVisible = ReadPlainBool(F[10]);
    R.CalloutArrow.Read(F[11]);
    R.CalloutArrowHead = static_cast<TCallout::TArrowHeadStyle>(ReadPlainOrdinal(F[12], ArrowHeadCount));
    R.CalloutArrowHeadSize = ReadPixelLength(F[13], "Callout arrow head size");
    R.CalloutDistance = ReadPixelLength(F[14], "Callout distance");
    R.CalloutStyle = static_cast<TSeriesPointer::TSeriesPointerStyle>(ReadPlainOrdinal(F[15], PointerStyleCount));
    R.CalloutColor = ReadPlainInt(F[16]);
    R.CalloutBrush.Read(F[17]);
    R.CalloutHorizSize = ReadPointerSize(F[18]);
    R.CalloutPen.Read(F[19]);
    R.CalloutVertSize = ReadPointerSize(F[20]);
    R.CalloutPen2.Read(F[21]);
    R.CalloutGradient.Read(F[22]);
    R.MarksBackColor = ReadPlainInt(F[23]);
    R.MarksBevel = static_cast<TCustomPanelNoCaption::TBevelCut>(ReadPlainOrdinal(F[24], BevelCount));
    R.MarksBevelWidth = CheckInRange(ReadPlainInt(F[25]), 0, MaxPixelLength, "Marks bevel width");
    R.MarksBrush.Read(F[26]);
    R.MarksClip = ReadPlainBool(F[27]);
    R.MarksColor = ReadPlainInt(F[28]);
    R.MarksFont.Read(F[29]);
    R.MarksFrame.Read(F[30]);
    R.MarksGradient.Read(F[31]);
    R.MarksMultiLine = ReadPlainBool(F[32]);
    R.MarksShapeStyle = static_cast<TPlotCustomShape::TChartObjectShapeStyle>(ReadPlainOrdinal(F[33], ShapeStyleCount));
    R.MarksStyle = static_cast<TSeriesMarks::TSeriesMarksStyle>(ReadPlainOrdinal(F[34], MarksStyleCount));
    R.MarksVisible = ReadPlainBool(F[35]);
    R.MarksFrame2.Read(F[36]);
    R.MarksTransparency = ReadTransparency(F[37]);
    R.MarksShadow.Read(F[38]);
    R.FunctionResultCentered = ReadPlainBool(F[39]);
    R.MarksTransparent = ReadPlainBool(F[40]);
    // F[41], the gallery name, was checked by the caller.

    int Flag = SeriesSettingsCommonFieldCount;
    if (LineOrPoint) {
        // The line pen is required when the text goes on past the gallery
        // name; a text cut after it applies the common fields only.
        if (F.size() > Flag) {
            R.LinePen.Read(F[Flag]);
            ++Flag;
        }
        if (F.size() > Flag && F[Flag] == QLatin1String("1")) {
            if (F.size() <= Flag + PointerFieldCount)
                RaiseIndexError(F.size(), F.size());
            TPointerFields& P = R.Pointer.emplace();
            P.Color = ReadPlainInt(F[Flag + 1]);
            P.Brush.Read(F[Flag + 2]);
            P.Dark3D = ReadPlainBool(F[Flag + 3]);
            P.Gradient.Read(F[Flag + 4]);
            P.HorizSize = ReadPointerSize(F[Flag + 5]);
            P.Pen.Read(F[Flag + 6]);
            P.Style = static_cast<TSeriesPointer::TSeriesPointerStyle>(ReadPlainOrdinal(F[Flag + 7], PointerStyleCount));
            P.VertSize = ReadPointerSize(F[Flag + 8]);
            P.Visible = ReadPlainBool(F[Flag + 9]);
            P.Pen2.Read(F[Flag + 10]);
            Flag += PointerFieldCount;
        }
    } else if (Extra && F.size() > Flag) {
        if (F.size() < Flag + Extra->Count)
            RaiseIndexError(F.size(), F.size());
        R.ClassFields = Extra->Read(F.mid(Flag, Extra->Count));
        Flag += Extra->Count;
    }
    if (F.size() > Flag + 1 && !F[Flag + 1].isEmpty())
        R.DrawEvery = ReadPlainInt(F[Flag + 1]);
    return R;
}

void ApplyFields(TChartSeries& Series, const TSeriesSettingsFields& R)
{
    Series.SetSeriesColor(R.SeriesColor);
    Series.SetSeriesColor(R.SeriesColor2);
    Series.SetColorEachPoint(R.ColorEachPoint);
    R.Brush.ApplyTo(*Series.Brush());
    R.Pen.ApplyTo(*Series.Pen());
    Series.SetCursor(R.Cursor);

    TSeriesMarks& Marks = *Series.Marks();
    TMarksCallout& Callout = *Marks.Callout();
    Marks.SetAngle(R.MarksAngle);
    R.MarksArrow.ApplyTo(*Marks.Arrow());
    Marks.SetArrowLength(R.MarksArrowLength);
    Callout.SetLength(R.CalloutLength);
    Callout.SetVisible(R.CalloutVisible);
    R.CalloutArrow.ApplyTo(*Callout.Arrow());
    Callout.SetArrowHead(R.CalloutArrowHead);
    Callout.SetArrowHeadSize(R.CalloutArrowHeadSize);
    Callout.SetDistance(R.CalloutDistance);
    Callout.SetStyle(R.CalloutStyle);
    Callout.SetColor(R.CalloutColor);
    R.CalloutBrush.ApplyTo(*Callout.Brush());
    Callout.SetHorizSize(R.CalloutHorizSize);
    R.CalloutPen.ApplyTo(*Callout.Pen());
    Callout.SetVertSize(R.CalloutVertSize);
    R.CalloutPen2.ApplyTo(*Callout.Pen());
    if (R.CalloutGradient.Text)
        R.CalloutGradient.ApplyTo(*Callout.Gradient());
    Marks.SetColor(R.MarksBackColor);
    Marks.SetBevel(R.MarksBevel);
    Marks.SetBevelWidth(R.MarksBevelWidth);
    R.MarksBrush.ApplyTo(*Marks.Brush());
    Marks.SetClip(R.MarksClip);
    Marks.SetColor(R.MarksColor);
    R.MarksFont.ApplyTo(*Marks.Font());
    R.MarksFrame.ApplyTo(*Marks.Pen());
    if (R.MarksGradient.Text)
        R.MarksGradient.ApplyTo(*Marks.Gradient());
    Marks.SetMultiLine(R.MarksMultiLine);
    Marks.SetShapeStyle(R.MarksShapeStyle);
    Marks.SetStyle(R.MarksStyle);
    Marks.SetVisible(R.MarksVisible);
    R.MarksFrame2.ApplyTo(*Marks.Pen());
    Marks.SetTransparency(R.MarksTransparency);
    R.MarksShadow.ApplyTo(Marks);
    Series.SetFunctionResultCentered(R.FunctionResultCentered);
    Marks.SetTransparent(R.MarksTransparent);

    if (TCustomSeries* Line = LineOrPointSeries(&Series)) {
        R.LinePen.ApplyTo(*Line->LinePen());
        if (R.Pointer) {
            const TPointerFields& P = *R.Pointer;
            TSeriesPointer& Pointer = *Line->Pointer();
            Pointer.SetColor(P.Color);
            P.Brush.ApplyTo(*Pointer.Brush());
            Pointer.SetDark3D(P.Dark3D);
            if (P.Gradient.Text && Pointer.Gradient())
                P.Gradient.ApplyTo(*Pointer.Gradient());
            Pointer.SetHorizSize(P.HorizSize);
            P.Pen.ApplyTo(*Pointer.Pen());
            Pointer.SetStyle(P.Style);
            Pointer.SetVertSize(P.VertSize);
            Pointer.SetVisible(P.Visible);
            P.Pen2.ApplyTo(*Pointer.Pen());
        }
    }
    if (R.ClassFields)
        R.ClassFields(Series);
    if (R.DrawEvery)
        Marks.SetDrawEvery(*R.DrawEvery);
}

QString GradientText(const TCustomPlotGradient* Gradient)
{
    if (Gradient)
        return GradientSettingsToText(*Gradient);
    const TPlotGradient Default;
    return GradientSettingsToText(Default);
}

QString ShadowText(const TPlotShadow* Shadow)
{
    if (Shadow)
        return ShadowSettingsToText(*Shadow);
    // No shadow: one of size 0.
    TPlotShadow None;
    None.SetSize(0);
    return ShadowSettingsToText(None);
}

} // namespace

QString SeriesSettingsToText(const TChartSeries* Series)
{
    if (!Series)
        return {};
    TSeriesMarks& Marks = *Series->Marks();
    TMarksCallout& Callout = *Marks.Callout();

    QStringList F;
    F.reserve(55);
    F << IntText(Series->SeriesColor()) << IntText(Series->SeriesColor()) << BoolText(Series->ColorEachPoint())
      << BrushSettingsToText(*Series->Brush()) << PenSettingsToText(*Series->Pen()) << IntText(Series->Cursor())
      << IntText(Marks.Angle()) << PenSettingsToText(*Marks.Arrow()) << IntText(Marks.ArrowLength())
      << IntText(Callout.Length()) << BoolText(Callout.Visible()) << PenSettingsToText(*Callout.Arrow())
      << IntText(Callout.ArrowHead()) << IntText(Callout.ArrowHeadSize()) << IntText(Callout.Distance())
      << IntText(Callout.Style()) << IntText(Callout.Brush()->Color()) << BrushSettingsToText(*Callout.Brush())
      << IntText(Callout.HorizSize()) << PenSettingsToText(*Callout.Pen()) << IntText(Callout.VertSize())
      << PenSettingsToText(*Callout.Pen()) << GradientText(Callout.Gradient()) << IntText(Marks.Color())
      << IntText(Marks.Bevel()) << IntText(Marks.BevelWidth()) << BrushSettingsToText(*Marks.Brush())
      << BoolText(Marks.Clip()) << IntText(Marks.Color()) << FontSettingsToText(*Marks.Font())
      << PenSettingsToText(*Marks.Pen()) << GradientText(Marks.Gradient()) << BoolText(Marks.MultiLine())
      << IntText(Marks.ShapeStyle()) << IntText(Marks.Style()) << BoolText(Marks.Visible())
      << PenSettingsToText(*Marks.Pen()) << IntText(Marks.Transparency()) << ShadowText(Marks.Shadow())
      << BoolText(Series->FunctionResultCentered()) << BoolText(Marks.Transparent())
      << BlanksToStars(GalleryNameForText(Series));

    if (const TCustomSeries* Line = LineOrPointSeries(Series)) {
        const TSeriesPointer& P = *Line->Pointer();
        F << PenSettingsToText(*Line->LinePen()) << QStringLiteral("1") << IntText(P.Brush()->Color())
          << BrushSettingsToText(*P.Brush()) << BoolText(P.Dark3D()) << GradientText(P.Gradient())
          << IntText(P.HorizSize()) << PenSettingsToText(*P.Pen()) << IntText(P.Style()) << IntText(P.VertSize())
          << BoolText(P.Visible()) << PenSettingsToText(*P.Pen());
    } else if (const TSeriesSettingsClassFields* Extra = ClassFieldsOf(Series)) {
        F << Extra->Write(*Series) << QStringLiteral("0");
    } else {
        F << QStringLiteral("0");
    }
    F << IntText(Marks.DrawEvery());
    return F.join(SeriesSettingsSeparator);
}

bool SeriesSettingsFromText(TChartSeries* Series, const QString& Text)
{
    if (!Series || Text.trimmed().isEmpty())
        return false;
    // Split at "~" only, so that every field keeps its place.
    QStringList F = Text.split(SeriesSettingsSeparator);
    for (QString& Field : F)
        Field = Field.trimmed();
    if (F.size() < SeriesSettingsCommonFieldCount)
        return false;
    const QString Gallery = StarsToBlanks(F[SeriesSettingsGalleryField]);
    if (Gallery.contains(QLatin1String("error"), Qt::CaseInsensitive))
        return false;
    if (Gallery != GalleryNameForText(Series))
        return false;
    const TSeriesSettingsFields Fields =
        ReadFields(F, LineOrPointSeries(Series) != nullptr, ClassFieldsOf(Series));
    ApplyFields(*Series, Fields);
    return true;
}

void TChartSeries::StoreDefaultSettings()
{
    SetDefaultSettings(SeriesSettingsToText(this));
}

void RegisterSeriesSettingsClassFields(const TSeriesSettingsClassFields& Fields)
{
    UnregisterSeriesSettingsClassFields(Fields.Class);
    ClassFieldsRegistry().push_back(Fields);
}

void UnregisterSeriesSettingsClassFields(const QMetaObject* Class)
{
    auto& Registry = ClassFieldsRegistry();
    std::erase_if(Registry, [Class](const TSeriesSettingsClassFields& Fields) { return Fields.Class == Class; });
}

void RegisterSeriesSettingsTexts()
{
    ChartEditorEntryPoints().SeriesSettingsFromText = [](TChartSeries* Series, const QString& Text) {
        SeriesSettingsFromText(Series, Text);
    };
}

} // namespace lp
