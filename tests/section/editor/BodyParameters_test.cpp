#include "section/editor/BodyParameters.h"

#include "SectionTestUtil.h"
#include "section/editor/ModelExport.h"
#include "section/editor/SectionFile.h"
#include "section/model/ModelGeometry.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <algorithm>
#include <limits>
#include <utility>

namespace lp {
namespace {

const QString Ohm = QStringLiteral(" \u03A9\u00B7m");
const QString Dash = QStringLiteral("\u2013");

TEST(BodyParameterText, AllowsWhatABodyCanHaveAndSaysWhy)
{
    struct TCase {
        TBodyQuantity Quantity;
        const char* Typed;
        bool Valid;
        double Value; // NaN: not set
    };
    const double unset = std::numeric_limits<double>::quiet_NaN();
    const TCase cases[] = {
        {TBodyQuantity::Resistivity, "120", true, 120.0},
        {TBodyQuantity::Resistivity, " 0.5 ", true, 0.5},
        {TBodyQuantity::Resistivity, "7,25", true, 7.25},
        {TBodyQuantity::Resistivity, "1e-3", true, 0.001},
        {TBodyQuantity::Resistivity, "", true, unset},
        {TBodyQuantity::Resistivity, "   ", true, unset},
        {TBodyQuantity::Resistivity, "0", false, 0},
        {TBodyQuantity::Resistivity, "-5", false, 0},
        {TBodyQuantity::Resistivity, "abc", false, 0},
        {TBodyQuantity::Resistivity, "1e999", false, 0},
        {TBodyQuantity::Resistivity, "inf", false, 0},
        {TBodyQuantity::Resistivity, "nan", false, 0},
        {TBodyQuantity::Resistivity, "12abc", false, 0},
        {TBodyQuantity::Polarizability, "0", true, 0.0},
        {TBodyQuantity::Polarizability, "99.999", true, 99.999},
        {TBodyQuantity::Polarizability, "100", false, 0},
        {TBodyQuantity::Polarizability, "-1", false, 0},
        {TBodyQuantity::Polarizability, "-0.001", false, 0},
        {TBodyQuantity::Polarizability, "abc", false, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Typed);
        const TParameterEntry entry = ReadParameterText(c.Quantity, QString::fromLatin1(c.Typed), QLocale::c());
        EXPECT_EQ(entry.Valid, c.Valid);
        if (!c.Valid) {
            EXPECT_TRUE(entry.Error.contains(c.Quantity == TBodyQuantity::Resistivity ? QStringLiteral("above 0")
                                                                                      : QStringLiteral("100")))
                << entry.Error.toStdString();
            continue;
        }
        if (std::isnan(c.Value))
            EXPECT_TRUE(entry.Value.IsEmpty());
        else
            EXPECT_EQ(entry.Value.AsReal(), c.Value);
    }
}

TEST(BodyParameterText, ReadsAndShowsTheUsersLocale)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    const TParameterEntry entry = ReadParameterText(TBodyQuantity::Polarizability, QStringLiteral("2,5"), german);
    ASSERT_TRUE(entry.Valid);
    EXPECT_EQ(entry.Value.AsReal(), 2.5);
    EXPECT_EQ(ParameterText(ParamValue(12.5), german), QStringLiteral("12,500"));
    EXPECT_EQ(ParameterText(ParamValue(12.5), QLocale::c()), QStringLiteral("12.500"));
    EXPECT_EQ(ParameterText(ParamValue("*"), QLocale::c()), QString());
    EXPECT_EQ(ParameterText(ParamValue(), QLocale::c()), QString());
    EXPECT_EQ(ParameterText(ParamValue(3), QLocale::c()), QStringLiteral("3.000"));
}

TEST(BodyLabel, ShowsWhatItsModeSays)
{
    TPolygonParams params;
    params[psLabelText] = ParamValue("Sandstone");
    params[psResistivity] = ParamValue(120.0);
    params[psPolarizability] = ParamValue(2.0);
    const QLocale c = QLocale::c();
    params[psLabelMode] = ParamValue(lmNone);
    EXPECT_EQ(BodyLabelText(params, c), QString());
    params[psLabelMode] = ParamValue(lmResistivity);
    EXPECT_EQ(BodyLabelText(params, c), QStringLiteral("120") + Ohm);
    params[psLabelMode] = ParamValue(lmBoth);
    EXPECT_EQ(BodyLabelText(params, c), QStringLiteral("120") + Ohm + QChar(13) + QStringLiteral("2 %"));
    params[psLabelMode] = ParamValue(lmUserText);
    EXPECT_EQ(BodyLabelText(params, c), QStringLiteral("Sandstone"));
    // Values not set show as a dash; large and small values without exponents.
    params[psLabelMode] = ParamValue(lmBoth);
    params[psResistivity] = ParamValue("*");
    params[psPolarizability].Clear();
    EXPECT_EQ(BodyLabelText(params, c), Dash + Ohm + QChar(13) + Dash + QStringLiteral(" %"));
    params[psLabelMode] = ParamValue(lmResistivity);
    params[psResistivity] = ParamValue(2500000.0);
    EXPECT_EQ(BodyLabelText(params, c), QStringLiteral("2500000") + Ohm);
    params[psResistivity] = ParamValue(0.0125);
    EXPECT_EQ(BodyLabelText(params, c), QStringLiteral("0.0125") + Ohm);
    // Four significant digits at most, never an exponent for a section's values.
    for (const auto& [value, shown] : {std::pair{371.086, "371.1"}, std::pair{12345.6, "12350"},
                                       std::pair{0.0123456, "0.01235"}, std::pair{9999.7, "10000"},
                                       std::pair{999.96, "1000"}, std::pair{-2.71828, "-2.718"}}) {
        params[psResistivity] = ParamValue(value);
        EXPECT_EQ(BodyLabelText(params, c), QString::fromLatin1(shown) + Ohm) << value;
    }
    // A slot without one of the four modes shows the user text, as before.
    for (const ParamValue& mode : {ParamValue(), ParamValue("*"), ParamValue(7)}) {
        params[psLabelMode] = mode;
        EXPECT_EQ(BodyLabelText(params, c), QStringLiteral("Sandstone"));
    }
}

struct TLabelChart : ::testing::Test {
    TPolygonChart Chart;
    int Changes = 0;
    void SetUp() override
    {
        Chart.SetBounds(0, 0, 640, 360);
        TSectionFixture::AddBodies(Chart, 2);
        Chart.PushUndo();
        Chart.onchangemodel = [this](TPolygonChart*) { ++Changes; };
    }
    TPlotPolygon* Polygon(int Body) { return Chart.MapSeries()->Shapes()->GetPolygon(Chart.FindMapPolygon(Body, 0)); }
    TPolygonParams& Params(int Body) { return Chart.Model[Body][0].params; }
};

// Storing a look made from the parameters used to overwrite the user's text
// (slot 7) with the drawn "120 Ω·m".
TEST_F(TLabelChart, StoringTheLookKeepsTheUserTextInValueModes)
{
    Params(1)[psLabelText] = ParamValue("Clay");
    Params(1)[psLabelMode] = ParamValue(lmResistivity);
    Params(1)[psResistivity] = ParamValue(15.0);
    Chart.RebuildMapSeries();
    EXPECT_EQ(Polygon(1)->Text(), QStringLiteral("15") + Ohm);
    EXPECT_FALSE(Chart.PolygonLookChanged(1, 0, Chart.FindMapPolygon(1, 0)));
    Chart.StorePolygonAppearance(1, 0, Chart.FindMapPolygon(1, 0));
    EXPECT_EQ(Params(1)[psLabelText].AsText(), "Clay");
    // In the user-text mode the polygon's text is the user's.
    Params(1)[psLabelMode] = ParamValue(lmUserText);
    Chart.RebuildMapSeries();
    Polygon(1)->SetText(QStringLiteral("Silt"));
    EXPECT_TRUE(Chart.PolygonLookChanged(1, 0, Chart.FindMapPolygon(1, 0)));
    Chart.StorePolygonAppearance(1, 0, Chart.FindMapPolygon(1, 0));
    EXPECT_EQ(Params(1)[psLabelText].AsText(), "Silt");
}

// Storing a look cleared slots past 16, where the ring's water and phase are kept.
TEST_F(TLabelChart, StoringTheLookKeepsTheFitTheWaterAndThePhase)
{
    Params(1)[psPhase] = ParamValue(-20.0);
    Params(1)[psFit] = ParamValue(1.0);
    Params(1)[psLowest] = ParamValue(5.0);
    Params(1)[psHighest] = ParamValue(500.0);
    Params(1)[psWater] = ParamValue(1.0);
    Params(1)[psWaterResistivity] = ParamValue(14.0);
    Chart.RebuildMapSeries();
    Polygon(1)->SetColor(0x123456);
    Chart.StorePolygonAppearance(1, 0, Chart.FindMapPolygon(1, 0));
    EXPECT_EQ(Params(1)[psColor].AsInteger(), 0x123456);
    EXPECT_EQ(Params(1)[psPhase].AsReal(), -20.0);
    EXPECT_EQ(Params(1)[psFit].AsReal(), 1.0);
    EXPECT_EQ(Params(1)[psLowest].AsReal(), 5.0);
    EXPECT_EQ(Params(1)[psHighest].AsReal(), 500.0);
    EXPECT_EQ(Params(1)[psWater].AsReal(), 1.0);
    EXPECT_EQ(Params(1)[psWaterResistivity].AsReal(), 14.0);
}

TEST_F(TLabelChart, SettingRingsIsOneUndoStepOrNothing)
{
    Params(1)[psLabelMode] = ParamValue(lmResistivity);
    Params(2)[psLabelMode] = ParamValue(lmResistivity);
    Chart.RebuildMapSeries();
    Chart.PushUndo();
    const int undoSlots = Chart.UndoSequence.Length();
    EXPECT_TRUE(SetRingsParameter(Chart, psResistivity, {{{1, 0}, ParamValue(30.0)}, {{2, 0}, ParamValue(40.0)}}));
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Chart.UndoSequence.Length(), undoSlots + 1);
    EXPECT_EQ(Polygon(2)->Text(), QStringLiteral("40") + Ohm); // redrawn at once
    // The same values again, and "not set" over "*": nothing happens.
    EXPECT_FALSE(SetRingsParameter(Chart, psResistivity, {{{1, 0}, ParamValue(30.0)}}));
    Params(1)[psPolarizability] = ParamValue("*");
    EXPECT_FALSE(SetRingsParameter(Chart, psPolarizability, {{{1, 0}, ParamValue()}}));
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Chart.UndoSequence.Length(), undoSlots + 1);
    Chart.Undo();
    EXPECT_EQ(Params(1)[psResistivity].AsReal(), 10.0);
    EXPECT_EQ(Polygon(1)->Text(), QStringLiteral("10") + Ohm);
}

TEST_F(TLabelChart, TheHostMediumsParametersAreSavedReopenedAndExported)
{
    Chart.Model[0][0].params[psResistivity] = ParamValue(80.0);
    Chart.Model[0][0].params[psPolarizability] = ParamValue(0.5);
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("host.sec"));
    Chart.WriteSection(file, {});
    TPolygonChart reopened;
    ASSERT_TRUE(reopened.ReadModelBlock(file));
    EXPECT_EQ(reopened.Model[0][0].params[psResistivity].AsReal(), 80.0);
    EXPECT_EQ(reopened.Model[0][0].params[psPolarizability].AsReal(), 0.5);
    const TModelExportSummary summary = ExportModel(folder.filePath(QStringLiteral("host")), reopened.SectionModel());
    QFile table(summary.TableFile);
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = table.readAll().split('\n');
    ASSERT_GE(rows.size(), 2);
    EXPECT_EQ(rows[1].left(rows[1].lastIndexOf(',')), QByteArray("1,0,0,Host medium,80,0.5"));
}

// A frame of 1000 x 100 with one square body.
TSectionModel FrameWithASquare()
{
    TSectionModel section;
    section.ModelArea = TModelArea{0.0, 0.0, 1000.0, 100.0};
    BuildFrameModel(section.Nodes, section.Model, {}, false, 100.0, 0.0, 1000.0, 0.0);
    arofcomplexM square{{100, 10}, {200, 10}, {200, 50}, {100, 50}};
    EXPECT_TRUE(AddPolygon(square, section.Model, section.Nodes));
    return section;
}

// The section's model block written and read back.
TSectionModel ReadBack(const TSectionModel& Section)
{
    TSectionModel read;
    EXPECT_TRUE(ParseSectionModelBlock(FormatSectionModelBlock(Section), read));
    return read;
}

TEST(SectionFileParams, FitSettingsRoundTripInSlotsOlderReadersSkip)
{
    TSectionModel section = FrameWithASquare();
    ASSERT_EQ(section.Model.Length(), 2);
    TPolygonParams& body = section.Model[1][0].params;
    body[psFit] = ParamValue(1.0);
    body[psLowest] = ParamValue(12.5);
    body[psHighest] = ParamValue(800.0);
    section.Model[0][0].params[psLowest] = ParamValue(0.25);
    const TSectionModel read = ReadBack(section);
    ASSERT_EQ(read.Model.Length(), 2);
    const TPolygonParams& fitted = read.Model[1][0].params;
    EXPECT_TRUE(RegionFitFixed(fitted));
    EXPECT_EQ(RegionFitBound(fitted, psLowest), 12.5);
    EXPECT_EQ(RegionFitBound(fitted, psHighest), 800.0);
    const TPolygonParams& host = read.Model[0][0].params;
    EXPECT_FALSE(RegionFitFixed(host));
    EXPECT_EQ(RegionFitBound(host, psLowest), 0.25);
    EXPECT_FALSE(RegionFitBound(host, psHighest).has_value());
    // Slot 14 holds a number, as older readers read it; 15 and 16 come
    // after every slot they read, so the rest of the line reads alike
    // without them.
    const std::string line = ParamsToText(body);
    TPolygonParams older;
    ParamsFromText(older, line.substr(0, line.find(" 12.500 800.000 ")) + " * * * * * * ");
    for (int slot = 0; slot <= psFit; ++slot)
        EXPECT_EQ(older[slot], fitted[slot]) << "slot " << slot;
    EXPECT_NE(line.find(" 1.000 12.500 800.000 * * * "), std::string::npos) << line;
}

TEST(SectionFileParams, WaterRoundTripsAndAnOlderFileReadsAsGround)
{
    TSectionModel section = FrameWithASquare();
    ASSERT_EQ(section.Model.Length(), 2);
    // A pond marked as water with its measured resistivity.
    TPolygonParams& water = section.Model[1][0].params;
    water[psResistivity] = ParamValue(20.0);
    water[psWater] = ParamValue(1.0);
    water[psWaterResistivity] = ParamValue(14.25);
    water[psFit] = ParamValue(1.0);
    const TSectionModel read = ReadBack(section);
    ASSERT_EQ(read.Model.Length(), 2);
    const TPolygonParams& held = read.Model[1][0].params;
    EXPECT_TRUE(RegionIsWater(held));
    EXPECT_EQ(MeasuredWaterResistivity(held), 14.25);
    EXPECT_TRUE(RegionFitFixed(held)) << "the slots beside it read as before";
    EXPECT_EQ(held[psResistivity].AsReal(), 20.0);
    const TPolygonParams& host = read.Model[0][0].params;
    EXPECT_FALSE(RegionIsWater(host));
    EXPECT_FALSE(MeasuredWaterResistivity(host).has_value());
    EXPECT_EQ(RegionWaterText(held), QStringLiteral("yes"));
    EXPECT_EQ(RegionWaterText(host), QStringLiteral("no"));

    // A line written before the water's slots (20 slots, 17 and 18 "*")
    // reads as ground; one cut short after slot 16 too.
    const std::string line = ParamsToText(water);
    EXPECT_NE(line.find(" 1.000 14.250 * "), std::string::npos) << line;
    for (const std::string& older : {line.substr(0, line.find(" 1.000 14.250 ")) + " * * * ",
                                    line.substr(0, line.find(" 1.000 14.250 "))}) {
        TPolygonParams params;
        ParamsFromText(params, older);
        EXPECT_FALSE(RegionIsWater(params)) << older;
        EXPECT_FALSE(MeasuredWaterResistivity(params).has_value()) << older;
        EXPECT_EQ(params[psResistivity].AsReal(), 20.0);
    }
    // Only 1 marks water; a water resistivity of 0 or below is none.
    TPolygonParams odd = water;
    odd[psWater] = ParamValue(2.0);
    odd[psWaterResistivity] = ParamValue(-3.0);
    EXPECT_FALSE(RegionIsWater(odd));
    EXPECT_FALSE(MeasuredWaterResistivity(odd).has_value());
}

// A water resistivity no water has read from a file was held as read
// (1e308) or silently replaced by the body's value (0, -5, nan, inf, a
// word): the file is refused naming its line and the body; one typed is
// refused as the table shows it. A ring that is not water keeps its slot.
TEST(SectionFileParams, AWaterResistivityNoWaterHasRefusesTheFile)
{
    TSectionModel section;
    section.ModelArea = TModelArea{0.0, 0.0, 100.0, 50.0};
    BuildFrameModel(section.Nodes, section.Model, section.Profile, false, 50.0, 0.0, 100.0, 0.0);
    arofcomplexM points{{10.0, 0.0}, {10.0, 3.0}, {90.0, 3.0}, {90.0, 0.0}};
    ASSERT_TRUE(AddPolygon(points, section.Model, section.Nodes));
    TPolygonParams& water = section.Model[1][0].params;
    water[psResistivity] = ParamValue(20.0);
    water[psWater] = ParamValue(1.0);
    const std::string block = FormatSectionModelBlock(section);
    const std::string line = ParamsToText(water);
    const size_t at = block.find(line);
    ASSERT_NE(at, std::string::npos);
    const size_t number = static_cast<size_t>(std::count(block.begin(), block.begin() + static_cast<long>(at), '\n')) + 1;
    // The slot after the water's flag (slot 17, "1.000").
    const auto withWater = [&](const std::string& Token) {
        std::string changed = line;
        const size_t flag = changed.find(" 1.000 * ");
        changed.replace(flag, 9, " 1.000 " + Token + " ");
        std::string text = block;
        return text.replace(at, line.size(), changed);
    };
    for (const char* token : {"1e308", "1e-300", "0", "-5", "nan", "inf", "salty", "2e12"}) {
        TSectionModel read;
        try {
            ParseSectionModelBlock(withWater(token), read);
            ADD_FAILURE() << token << " was read";
        } catch (const ESectionFileError& Error) {
            EXPECT_NE(Error.Message().find("line " + std::to_string(number) + ": body 1, ring 0: the water's resistivity"),
                      std::string::npos)
                << token << ": " << Error.Message();
        }
        const TParameterEntry typed = ReadWaterResistivityText(QString::fromLatin1(token));
        EXPECT_FALSE(typed.Valid) << token;
        EXPECT_TRUE(typed.Error.contains(QStringLiteral("from 1e-12 to 1e12"))) << typed.Error.toStdString();
    }
    for (const char* token : {"14.5", "1e12", "1e-12", "*"}) {
        TSectionModel read;
        EXPECT_TRUE(ParseSectionModelBlock(withWater(token), read)) << token;
        EXPECT_TRUE(ReadWaterResistivityText(QString::fromLatin1(token == std::string("*") ? "" : token)).Valid) << token;
    }
    // Not water: the slot is not the water's, and stays unread as before.
    water[psWater] = ParamValue();
    water[psWaterResistivity] = ParamValue(-3.0);
    TSectionModel read;
    EXPECT_TRUE(ParseSectionModelBlock(FormatSectionModelBlock(section), read));
}

TEST(RegionWaterText, TakesYesAndNoInAnyCase)
{
    EXPECT_EQ(ReadRegionWaterText(QStringLiteral(" Yes ")).Value, ParamValue(1.0));
    EXPECT_TRUE(ReadRegionWaterText(QStringLiteral("NO")).Valid);
    EXPECT_TRUE(ReadRegionWaterText(QString()).Value.IsEmpty());
    const TParameterEntry refused = ReadRegionWaterText(QStringLiteral("lake"));
    EXPECT_FALSE(refused.Valid);
    EXPECT_EQ(refused.Error, QStringLiteral("Water is \"no\" or \"yes\"."));
}

} // namespace
} // namespace lp
