// A body's parameters as a user sets them in the main window: the body
// dialog by double click with typed values and keys, the host medium's
// dialog, and the table of regions under Options > Regions...

#include "tests/section/main/MainWindowFixture.h"

#include "DialogTestUtil.h"
#include "chart/engine/PlotMapSeries.h"
#include "section/dialogs/BodyParametersDialog.h"
#include "section/dialogs/RegionsTable.h"
#include "section/editor/ModelExport.h"
#include "section/editor/SectionFileReader.h"
#include "section/main/MainWindowComponents.h"

#include <QtCore/QSortFilterProxyModel>
#include <QtGui/QClipboard>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTableView>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace lp {
namespace {

const QString Ohm = QStringLiteral(" \u03A9\u00B7m");

struct BodyParameters : test::MainWindow {
    void SetUp() override
    {
        MainWindow::SetUp();
        RegisterBodyDialog();
    }
    void TearDown() override
    {
        MainWindow::TearDown();
        UnregisterBodyDialog();
    }
    // Body 1 is the Sandstone, body 3 the Lens; (50, 100) lies in no body.
    const TPolygonParams& Params(int Body, int Ring = 0) { return Chart().Model[Body][Ring].params; }
    QString ShownLabel(int Body)
    {
        return Chart().MapSeries()->Shapes()->GetPolygon(Chart().FindMapPolygon(Body, 0))->Text();
    }
    int LiveUndoRecords()
    {
        int live = 0;
        for (int i = 0; i < Chart().UndoSequence.Length(); ++i)
            live += Chart().UndoSequence[i] >= 0 ? 1 : 0;
        return live;
    }
    QImage ChartPicture()
    {
        ChartWidget()->repaint();
        return ChartWidget()->grab().toImage();
    }
};

TEST_F(BodyParameters, TheSandstoneTakesTypedValuesAndAModeAndKeepsThemThroughUndoSaveAndReopen)
{
    Start({Section});
    EXPECT_EQ(ShownLabel(1), QStringLiteral("120") + Ohm); // the example's mode: resistivity
    const int records = LiveUndoRecords();
    InBodyDialog(200, 60, [&](TBsetup& Dialog) {
        EXPECT_EQ(Dialog.Edit5->text(), QStringLiteral("Sandstone"));
        EXPECT_EQ(Dialog.Edit1->text(), QStringLiteral("120.000"));
        EXPECT_EQ(Dialog.Edit2->text(), QStringLiteral("2.000"));
        EXPECT_EQ(Dialog.ComboBox1->currentText(), QStringLiteral("Resistivity"));
        TypeInto(Dialog.Edit1, QStringLiteral("250"));
        TypeInto(Dialog.Edit2, QStringLiteral("4.5"));
        ChooseLabelMode(Dialog, lmBoth);
        test::SaveScreenshot(Dialog, QStringLiteral("body-dialog-sandstone"));
        QTest::keyClick(Dialog.ComboBox1, Qt::Key_Return);
    });
    EXPECT_EQ(Params(1)[psResistivity].AsReal(), 250.0);
    EXPECT_EQ(Params(1)[psPolarizability].AsReal(), 4.5);
    EXPECT_EQ(Params(1)[psLabelMode].AsInteger(), lmBoth);
    EXPECT_EQ(ShownLabel(1), QStringLiteral("250") + Ohm + QChar(13) + QStringLiteral("4.5 %"));
    EXPECT_TRUE(Window->Modified());
    EXPECT_EQ(LiveUndoRecords(), records + 1);

    Activate();
    PressCtrlZ();
    EXPECT_EQ(Params(1)[psResistivity].AsReal(), 120.0);
    EXPECT_EQ(Params(1)[psPolarizability].AsReal(), 2.0);
    EXPECT_EQ(Params(1)[psLabelMode].AsInteger(), lmResistivity);
    EXPECT_EQ(ShownLabel(1), QStringLiteral("120") + Ohm);

    InBodyDialog(200, 60, [&](TBsetup& Dialog) {
        TypeInto(Dialog.Edit1, QStringLiteral("75"));
        ChooseLabelMode(Dialog, lmUserText);
        QTest::keyClick(&Dialog, Qt::Key_Escape); // Esc applies as Close does
    });
    EXPECT_EQ(ShownLabel(1), QStringLiteral("Sandstone"));
    Window->SaveFile(Section);
    EXPECT_FALSE(Window->Modified());
    Window.reset();
    Start({Section});
    EXPECT_EQ(Params(1)[psResistivity].AsReal(), 75.0);
    EXPECT_EQ(Params(1)[psPolarizability].AsReal(), 2.0);
    EXPECT_EQ(Params(1)[psLabelMode].AsInteger(), lmUserText);
    EXPECT_EQ(ShownLabel(1), QStringLiteral("Sandstone"));
}

TEST_F(BodyParameters, BadInputKeepsTheDialogOpenAndLeavingUnchangedRecordsNothing)
{
    Start({Section});
    const int records = LiveUndoRecords();
    const TPolygonParams before = Params(1);
    const struct {
        bool Resistivity;
        const char* Typed;
    } bad[] = {{true, "0"}, {true, "-5"}, {true, "abc"}, {true, "1e999"}, {false, "100"}, {false, "-1"}};
    InBodyDialog(200, 60, [&](TBsetup& Dialog) {
        for (const auto& input : bad) {
            QLineEdit* field = input.Resistivity ? Dialog.Edit1 : Dialog.Edit2;
            const QString loaded = field->text();
            TypeInto(field, QString::fromLatin1(input.Typed));
            QTest::keyClick(field, Qt::Key_Return);
            EXPECT_TRUE(Dialog.isVisible()) << input.Typed;
            EXPECT_FALSE(Dialog.ErrorLabel->text().isEmpty()) << input.Typed;
            EXPECT_EQ(Params(1)[input.Resistivity ? psResistivity : psPolarizability],
                      before[input.Resistivity ? psResistivity : psPolarizability])
                << input.Typed;
            TypeInto(field, loaded);
        }
        // Back as loaded: Close changes nothing.
        QTest::mouseClick(Dialog.Button4, Qt::LeftButton);
    });
    InBodyDialog(200, 60, [&](TBsetup& Dialog) { QTest::keyClick(&Dialog, Qt::Key_Escape); });
    for (int slot = 1; slot < ParamSlotCount; ++slot)
        EXPECT_EQ(Params(1)[slot], before[slot]) << slot;
    EXPECT_FALSE(Window->Modified());
    EXPECT_EQ(LiveUndoRecords(), records);
}

TEST_F(BodyParameters, TheExampleShowsEachBodysLabelByItsStoredMode)
{
    Start({Section});
    Window->resize(1400, 800);
    QCoreApplication::processEvents();
    // The example's bodies store the mode "Resistivity".
    EXPECT_EQ(ShownLabel(1), QStringLiteral("120") + Ohm);
    EXPECT_EQ(Chart().MapSeries()->Shapes()->GetPolygon(Chart().FindMapPolygon(1, 1))->Text(),
              QStringLiteral("15") + Ohm);
    EXPECT_EQ(ShownLabel(2), QStringLiteral("300") + Ohm);
    ChartWidget()->repaint();
    test::SaveScreenshot(*Window, QStringLiteral("main-window-example"));
}

TEST_F(BodyParameters, EachLabelModeIsDrawnOnTheBody)
{
    Start({Section});
    const QRect sandstone(Pixel(120, 30), Pixel(430, 110));
    std::vector<QImage> pictures;
    const char* const names[] = {"none", "resistivity", "resistivity-and-polarizability", "user-text"};
    for (int mode = lmNone; mode <= lmUserText; ++mode) {
        InBodyDialog(200, 60, [&](TBsetup& Dialog) {
            ChooseLabelMode(Dialog, mode);
            QTest::keyClick(Dialog.ComboBox1, Qt::Key_Return);
        });
        EXPECT_EQ(ShownLabel(1), BodyLabelText(Params(1)));
        const QImage picture = ChartPicture();
        picture.copy(QRect(Pixel(60, 0), Pixel(700, 130))).save(
            test::ArtifactFolder() + QStringLiteral("/screens/label-mode-") + QString::fromLatin1(names[mode]) +
            QStringLiteral(".png"));
        pictures.push_back(picture.copy(sandstone));
        // A picture saved as a metafile holds the label's lines as text.
        if (mode == lmBoth) {
            const QString file = Folder.filePath(QStringLiteral("labels.emf"));
            Window->SaveMFFile(file);
            const QByteArray bytes = test::FileBytes(file);
            for (const QString& line : {QStringLiteral("120") + Ohm, QStringLiteral("2 %")}) {
                const QByteArray text(reinterpret_cast<const char*>(line.utf16()), line.size() * 2);
                EXPECT_TRUE(bytes.contains(text)) << line.toStdString();
            }
        }
    }
    // "None" draws no text: every other mode puts pixels of its own there,
    // and each mode's pixels differ from the others'.
    for (size_t a = 0; a < pictures.size(); ++a)
        for (size_t b = a + 1; b < pictures.size(); ++b)
            EXPECT_NE(pictures[a], pictures[b]) << names[a] << " and " << names[b];
}

TEST_F(BodyParameters, TheHostMediumOpensByDoubleClickAndIsSavedAndExported)
{
    Start({Section});
    InBodyDialog(50, 100, [&](TBsetup& Dialog) {
        EXPECT_EQ(Dialog.Body, 0);
        EXPECT_EQ(Dialog.Sub, 0);
        EXPECT_FALSE(Dialog.Button7->isEnabled());
        EXPECT_FALSE(Dialog.ComboBox1->isEnabled());
        TypeInto(Dialog.Edit1, QStringLiteral("80"));
        TypeInto(Dialog.Edit2, QStringLiteral("0.5"));
        test::SaveScreenshot(Dialog, QStringLiteral("body-dialog-host-medium-window"));
        QTest::keyClick(Dialog.Edit2, Qt::Key_Return);
    });
    EXPECT_EQ(Params(0)[psResistivity].AsReal(), 80.0);
    EXPECT_TRUE(Window->Modified());
    Window->SaveFile(Section);
    Window.reset();
    Start({Section});
    EXPECT_EQ(Params(0)[psResistivity].AsReal(), 80.0);
    EXPECT_EQ(Params(0)[psPolarizability].AsReal(), 0.5);
    const TModelExportSummary summary =
        ExportModel(Folder.filePath(QStringLiteral("model")), Chart().SectionModel());
    const QList<QByteArray> rows = test::FileBytes(summary.TableFile).split('\n');
    ASSERT_GE(rows.size(), 2);
    EXPECT_TRUE(rows[1].startsWith("1,0,0,Host medium,80,0.5,")) << rows[1].toStdString();
}

// --- The table of regions ----------------------------------------------------------------------------

struct RegionsTable : BodyParameters {
    TRegionsWindow& Regions() { return *Window->RegionsWindow; }
    QTableView& Table() { return *Regions().Table; }
    void OpenRegions()
    {
        ChooseFromMenuBar(Window->Regions1);
        ASSERT_NE(Window->RegionsWindow, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Regions()));
        Regions().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Regions()));
    }
    QString Cell(int Row, int Column) { return Table().model()->index(Row, Column).data().toString(); }
    void TypeIntoCell(int Row, int Column, const QString& Text) { TypeIntoTableCell(Table(), Row, Column, Text); }
    QPoint CellCentre(int Row, int Column)
    {
        return Table().visualRect(Table().model()->index(Row, Column)).center();
    }
    void ClickRow(int Row, Qt::KeyboardModifiers Modifiers = {})
    {
        QTest::mouseClick(Table().viewport(), Qt::LeftButton, Modifiers, CellCentre(Row, rcBody));
    }
    // The view's rows as regions.
    std::vector<TRingRef> RowsShown()
    {
        std::vector<TRingRef> rows;
        for (int row = 0; row < Table().model()->rowCount(); ++row)
            rows.push_back({Cell(row, rcBody).toInt(), Cell(row, rcRing).toInt()});
        return rows;
    }
};

TEST_F(RegionsTable, ListsEveryRegionWithTheExportsAreas)
{
    Start({Section});
    OpenRegions();
    test::SaveScreenshot(Regions(), QStringLiteral("regions-table"));
    const std::vector<TRingRef> expected{{0, 0}, {1, 0}, {1, 1}, {2, 0}};
    EXPECT_EQ(RowsShown(), expected);
    EXPECT_EQ(Cell(0, rcLabel), QStringLiteral("Host medium"));
    EXPECT_EQ(Cell(1, rcLabel), QStringLiteral("Sandstone"));
    EXPECT_EQ(Cell(1, rcResistivity), QStringLiteral("120.000"));
    EXPECT_EQ(Cell(3, rcPolarizability), QStringLiteral("1.000"));
    EXPECT_EQ(Cell(0, rcResistivity), QString());
    // The areas are the numbers the model export writes, rounded.
    const TModelExportSummary summary = ExportModel(Folder.filePath(QStringLiteral("areas")), Chart().SectionModel());
    const QList<QByteArray> table = test::FileBytes(summary.TableFile).split('\n');
    for (int row = 0; row < 4; ++row) {
        const QByteArray exported = table[row + 1].mid(table[row + 1].lastIndexOf(',') + 1);
        EXPECT_NEAR(QLocale().toDouble(Cell(row, rcArea)), exported.toDouble(), 5e-4) << row;
    }
    EXPECT_EQ(QLocale().toDouble(Cell(1, rcArea)), 350.0 * 100.0);
    // Every control inside the window.
    for (QWidget* control : std::initializer_list<QWidget*>{Regions().Table, Regions().CloseButton})
        EXPECT_TRUE(Regions().rect().contains(control->geometry()));
}

// Guards areas shown with every digit of a double ("12969.407715275349"):
// they are rounded as the table's other numbers are (three decimals), in
// the user's notation, while the model export's table keeps every digit.
TEST_F(RegionsTable, ShowsAreasRoundedInTheUsersNotation)
{
    // The locale comes back however the test ends.
    const std::shared_ptr<void> locale(nullptr, [before = QLocale()](void*) { QLocale::setDefault(before); });
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Start({Section});
    // A body's corner moved to a place that gives its area many digits.
    Window->ModeButtons.at(pmMoveNode)->click();
    DragNode({300, 140}, {331.7, 152.3});
    OpenRegions();
    const TModelExportSummary summary = ExportModel(Folder.filePath(QStringLiteral("areas")), Chart().SectionModel());
    const QList<QByteArray> table = test::FileBytes(summary.TableFile).split('\n');
    int fractional = 0;
    for (int row = 0; row < Table().model()->rowCount(); ++row) {
        const QByteArray exported = table.value(row + 1).mid(table.value(row + 1).lastIndexOf(',') + 1);
        const double area = exported.toDouble();
        ASSERT_GT(area, 1.0) << row;
        fractional += area != std::round(area * 1000.0) / 1000.0 ? 1 : 0;
        // 12969.407715275349 as "12969,408": a decimal comma, no group
        // separator, three decimals.
        const QString expected = QString::number(area, 'f', 3).replace(QLatin1Char('.'), QLatin1Char(','));
        EXPECT_EQ(Cell(row, rcArea).toStdString(), expected.toStdString()) << "row " << row << ", exported " << exported.toStdString();
    }
    EXPECT_GT(fractional, 0) << "no area with more than three decimals";
}

TEST_F(RegionsTable, EditsCellsOneOrManyAtOnceAsOneUndoStep)
{
    Start({Section});
    OpenRegions();
    const int records = LiveUndoRecords();
    TypeIntoCell(1, rcResistivity, QStringLiteral("300"));
    EXPECT_EQ(Params(1)[psResistivity].AsReal(), 300.0);
    EXPECT_EQ(ShownLabel(1), QStringLiteral("300") + Ohm); // redrawn at once
    EXPECT_TRUE(Window->Modified());
    EXPECT_EQ(LiveUndoRecords(), records + 1);
    // A label typed in place is the body's user text.
    TypeIntoCell(3, rcLabel, QStringLiteral("Gravel lens"));
    EXPECT_EQ(Params(2)[psLabelText].AsText(), "Gravel lens");
    EXPECT_EQ(Cell(3, rcLabel), QStringLiteral("Gravel lens"));
    EXPECT_EQ(LiveUndoRecords(), records + 2);
    Window->SpeedButton13->click();
    EXPECT_EQ(Params(2)[psLabelText].AsText(), "Lens");
    // A refused value stores nothing and says why.
    TypeIntoCell(1, rcResistivity, QStringLiteral("1e999"));
    EXPECT_TRUE(Regions().MessageLabel->text().contains(QStringLiteral("not a number")));
    TypeIntoCell(1, rcResistivity, QStringLiteral("-3"));
    EXPECT_EQ(Params(1)[psResistivity].AsReal(), 300.0);
    EXPECT_TRUE(Regions().MessageLabel->text().contains(QStringLiteral("above 0")));
    EXPECT_EQ(LiveUndoRecords(), records + 1);
    // Three rows selected: one typed value reaches all of them, one step.
    ClickRow(1);
    ClickRow(2, Qt::ControlModifier);
    ClickRow(3, Qt::ControlModifier);
    TypeIntoCell(2, rcPolarizability, QStringLiteral("7"));
    for (const TRingRef ring : {TRingRef{1, 0}, TRingRef{1, 1}, TRingRef{2, 0}})
        EXPECT_EQ(Params(ring.Body, ring.Ring)[psPolarizability].AsReal(), 7.0);
    EXPECT_TRUE(Regions().MessageLabel->text().isEmpty());
    EXPECT_EQ(LiveUndoRecords(), records + 2);
    // Ctrl+Z in the table takes the last edit back, all of it.
    Table().setFocus();
    QTest::keyClick(&Table(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Params(1)[psPolarizability].AsReal(), 2.0);
    EXPECT_EQ(Params(2)[psPolarizability].AsReal(), 1.0);
    EXPECT_EQ(Cell(3, rcPolarizability), QStringLiteral("1.000"));
    EXPECT_EQ(Params(1)[psResistivity].AsReal(), 300.0);
}

TEST_F(RegionsTable, FitAndBoundsAreTypedUndoneSavedAndReopened)
{
    Start({Section});
    OpenRegions();
    EXPECT_EQ(Cell(1, rcFit), QStringLiteral("free"));
    EXPECT_EQ(Cell(1, rcLowest), QString());
    const int records = LiveUndoRecords();
    TypeIntoCell(1, rcFit, QStringLiteral("Fixed"));
    EXPECT_EQ(Cell(1, rcFit), QStringLiteral("fixed"));
    EXPECT_TRUE(RegionFitFixed(Params(1)));
    TypeIntoCell(1, rcLowest, QStringLiteral("50"));
    TypeIntoCell(1, rcHighest, QStringLiteral("500"));
    EXPECT_EQ(RegionFitBound(Params(1), psLowest), 50.0);
    EXPECT_EQ(RegionFitBound(Params(1), psHighest), 500.0);
    EXPECT_EQ(LiveUndoRecords(), records + 3);
    // Refused: a Fit that is neither, a bound not above 0, a lowest not below the highest.
    TypeIntoCell(1, rcFit, QStringLiteral("maybe"));
    EXPECT_TRUE(Regions().MessageLabel->text().contains(QStringLiteral("\"free\" or \"fixed\"")));
    TypeIntoCell(1, rcLowest, QStringLiteral("-1"));
    EXPECT_TRUE(Regions().MessageLabel->text().contains(QStringLiteral("A bound must be")));
    TypeIntoCell(1, rcHighest, QStringLiteral("20"));
    EXPECT_TRUE(Regions().MessageLabel->text().contains(QStringLiteral("below the highest")));
    EXPECT_EQ(RegionFitBound(Params(1), psHighest), 500.0);
    EXPECT_EQ(LiveUndoRecords(), records + 3);
    // Ctrl+Z takes the highest back; saved and reopened, the rest stays.
    Table().setFocus();
    QTest::keyClick(&Table(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(RegionFitBound(Params(1), psHighest).has_value());
    EXPECT_EQ(Cell(1, rcHighest), QString());
    Window->SaveFile(Section);
    Window.reset();
    Start({Section});
    EXPECT_TRUE(RegionFitFixed(Params(1)));
    EXPECT_EQ(RegionFitBound(Params(1), psLowest), 50.0);
    EXPECT_FALSE(RegionFitBound(Params(1), psHighest).has_value());
    EXPECT_FALSE(RegionFitFixed(Params(2)));
}

TEST_F(RegionsTable, WaterAndItsResistivityAreTypedUndoneSavedAndReopened)
{
    Start({Section});
    OpenRegions();
    EXPECT_EQ(Cell(2, rcWater), QStringLiteral("no"));
    EXPECT_EQ(Cell(2, rcWaterResistivity), QString());
    const int records = LiveUndoRecords();
    TypeIntoCell(2, rcWater, QStringLiteral("Yes"));
    EXPECT_EQ(Cell(2, rcWater), QStringLiteral("yes"));
    EXPECT_TRUE(RegionIsWater(Params(1, 1)));
    TypeIntoCell(2, rcWaterResistivity, QStringLiteral("14.5"));
    EXPECT_EQ(MeasuredWaterResistivity(Params(1, 1)), 14.5);
    EXPECT_EQ(Cell(2, rcWaterResistivity), QLocale().toString(14.5, 'f', 3));
    EXPECT_EQ(LiveUndoRecords(), records + 2);
    // Refused: a Water that is neither word, a water resistivity not above 0.
    TypeIntoCell(2, rcWater, QStringLiteral("lake"));
    EXPECT_TRUE(Regions().MessageLabel->text().contains(QStringLiteral("\"no\" or \"yes\"")));
    TypeIntoCell(2, rcWaterResistivity, QStringLiteral("0"));
    EXPECT_TRUE(Regions().MessageLabel->text().contains(QStringLiteral("The water's resistivity must be")));
    EXPECT_EQ(MeasuredWaterResistivity(Params(1, 1)), 14.5);
    EXPECT_EQ(LiveUndoRecords(), records + 2);
    // Ctrl+Z takes the water resistivity back; saved and reopened, the water stays.
    Table().setFocus();
    QTest::keyClick(&Table(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(MeasuredWaterResistivity(Params(1, 1)).has_value());
    TypeIntoCell(2, rcWaterResistivity, QStringLiteral("16.25"));
    Window->SaveFile(Section);
    Window.reset();
    Start({Section});
    EXPECT_TRUE(RegionIsWater(Params(1, 1)));
    EXPECT_EQ(MeasuredWaterResistivity(Params(1, 1)), 16.25);
    EXPECT_FALSE(RegionIsWater(Params(1, 0)));
    EXPECT_FALSE(RegionIsWater(Params(0)));
}

// A water resistivity no water has was stored (1e308, 1e-300) and held:
// refused as typed, naming the body, the value before kept.
TEST_F(RegionsTable, AWaterResistivityNoWaterHasIsRefusedNamingTheBody)
{
    Start({Section});
    OpenRegions();
    TypeIntoCell(2, rcWater, QStringLiteral("yes"));
    TypeIntoCell(2, rcWaterResistivity, QStringLiteral("14.5"));
    for (const char* typed : {"1e308", "1e-300", "2e12", "0", "-5", "nan", "inf", "brackish"}) {
        TypeIntoCell(2, rcWaterResistivity, QString::fromLatin1(typed));
        const QString message = Regions().MessageLabel->text();
        EXPECT_TRUE(message.startsWith(QStringLiteral("Body 1, ring 1: "))) << typed << ": " << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("from 1e-12 to 1e12"))) << message.toStdString();
        EXPECT_EQ(MeasuredWaterResistivity(Params(1, 1)), 14.5) << typed;
    }
    TypeIntoCell(2, rcWaterResistivity, QStringLiteral("1e12"));
    EXPECT_EQ(MeasuredWaterResistivity(Params(1, 1)), 1e12);
}

// Guards a fitted value drawn with every digit in its body's label ("371.086
// Ω·m"): the label shows four significant digits, the table and the saved
// file every one.
TEST_F(RegionsTable, ALabelShowsFourDigitsTheTableAndTheFileEveryOne)
{
    Start({Section});
    OpenRegions();
    TypeIntoCell(1, rcResistivity, QStringLiteral("371.086"));
    EXPECT_EQ(Params(1)[psResistivity].AsReal(), 371.086);
    EXPECT_EQ(ShownLabel(1), QStringLiteral("371.1") + Ohm);
    EXPECT_EQ(Cell(1, rcResistivity), QLocale().toString(371.086, 'f', 3));
    test::SaveScreenshot(*Window, QStringLiteral("body-label-four-digits"));
    Window->SaveFile(Section);
    EXPECT_TRUE(test::FileBytes(Section).contains("371.086")) << "the file keeps every digit";
    // Large and small values: four digits, no exponent.
    TypeIntoCell(1, rcResistivity, QStringLiteral("12345.6"));
    EXPECT_EQ(ShownLabel(1), QLocale().toString(12350.0, 'f', 0) + Ohm);
    TypeIntoCell(1, rcResistivity, QStringLiteral("0.0123456"));
    EXPECT_EQ(ShownLabel(1), QLocale().toString(0.01235, 'g', 4) + Ohm);
    // The exact value reopens from the file, drawn in four digits again.
    Window.reset();
    Start({Section});
    EXPECT_EQ(Params(1)[psResistivity].AsReal(), 371.086);
    EXPECT_EQ(ShownLabel(1), QStringLiteral("371.1") + Ohm);
    OpenRegions();
    EXPECT_EQ(Cell(1, rcResistivity), QLocale().toString(371.086, 'f', 3));
}

TEST_F(RegionsTable, SortsByAClickOnTheHeader)
{
    Start({Section});
    OpenRegions();
    QHeaderView* header = Table().horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(rcResistivity) + 5, header->height() / 2));
    // Not set first, then 15, 120, 300.
    EXPECT_EQ(RowsShown(), (std::vector<TRingRef>{{0, 0}, {1, 1}, {1, 0}, {2, 0}}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(rcResistivity) + 5, header->height() / 2));
    EXPECT_EQ(RowsShown(), (std::vector<TRingRef>{{2, 0}, {1, 0}, {1, 1}, {0, 0}}));
    // An edit keeps the order by the new values.
    TypeIntoCell(0, rcResistivity, QStringLiteral("5"));
    EXPECT_EQ(RowsShown(), (std::vector<TRingRef>{{1, 0}, {1, 1}, {2, 0}, {0, 0}}));
}

TEST_F(RegionsTable, CopiesRowsAndPastesAColumnOfNumbers)
{
    Start({Section});
    OpenRegions();
    ClickRow(1);
    ClickRow(2, Qt::ShiftModifier);
    QTest::keyClick(&Table(), Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("Body\tRing\tLabel\tResistivity (ohm-m)\tPolarizability (%)\tArea (m\u00B2)\t"
                                       "Fit\tLowest (ohm-m)\tHighest (ohm-m)\tWater\tWater (ohm-m)"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("1\t0\tSandstone\t120.000\t2.000\t35000"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("1\t1\tClay\t15.000\t5.000\t"))) << lines[2].toStdString();

    const int records = LiveUndoRecords();
    // A column of numbers (with its header) into the two selected rows.
    QGuiApplication::clipboard()->setText(QStringLiteral("Resistivity (ohm-m)\n44\n55\n"));
    ClickRow(1);
    ClickRow(2, Qt::ShiftModifier);
    Table().selectionModel()->setCurrentIndex(Table().model()->index(2, rcResistivity), QItemSelectionModel::NoUpdate);
    QTest::keyClick(&Table(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Params(1, 0)[psResistivity].AsReal(), 44.0);
    EXPECT_EQ(Params(1, 1)[psResistivity].AsReal(), 55.0);
    EXPECT_EQ(LiveUndoRecords(), records + 1);
    // A bad number in the column: nothing is stored.
    QGuiApplication::clipboard()->setText(QStringLiteral("12\nabc\n"));
    QTest::keyClick(&Table(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Params(1, 0)[psResistivity].AsReal(), 44.0);
    EXPECT_FALSE(Regions().MessageLabel->text().isEmpty());
    // Three values do not fit two rows.
    QGuiApplication::clipboard()->setText(QStringLiteral("1\n2\n3\n"));
    QTest::keyClick(&Table(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(Regions().MessageLabel->text().contains(QStringLiteral("3 values")));
    EXPECT_EQ(LiveUndoRecords(), records + 1);
}

TEST_F(RegionsTable, ARowSelectedMarksItsRegionAndADoubleClickOnARegionSelectsItsRow)
{
    Start({Section});
    OpenRegions();
    const QImage before = ChartPicture();
    ClickRow(3);
    EXPECT_EQ(Chart().MarkedRegions, (std::vector<TRingRef>{{2, 0}}));
    const QImage marked = ChartPicture();
    // The lens's outline is drawn in the marking colour.
    const QPoint edge = Pixel(450, 140);
    EXPECT_NE(before.pixelColor(edge), marked.pixelColor(edge));
    EXPECT_EQ(marked.pixelColor(edge), QColor(0xFF, 0x80, 0x00));
    test::SaveScreenshot(*Window, QStringLiteral("regions-table-marked-lens"));

    InBodyDialog(200, 60, [&](TBsetup& Dialog) { QTest::keyClick(&Dialog, Qt::Key_Escape); });
    EXPECT_EQ(Regions().SelectedRegions(), (std::vector<TRingRef>{{1, 0}}));
    InBodyDialog(50, 100, [&](TBsetup& Dialog) { QTest::keyClick(&Dialog, Qt::Key_Escape); });
    EXPECT_EQ(Regions().SelectedRegions(), (std::vector<TRingRef>{{0, 0}}));
    // Closed, the table marks nothing.
    Regions().close();
    EXPECT_TRUE(Chart().MarkedRegions.empty());
}

TEST_F(RegionsTable, FollowsABodyDeletedWhileItIsOpen)
{
    Start({Section});
    OpenRegions();
    ClickRow(3); // the lens
    Window->ModeButtons.at(pmDeleteSubPolygon)->click();
    const QPoint lens = Pixel(450, 160);
    MoveMouse(lens, Qt::NoButton);
    Click(Qt::RightButton, lens);
    ASSERT_EQ(Chart().Model.Length(), 2);
    EXPECT_EQ(RowsShown(), (std::vector<TRingRef>{{0, 0}, {1, 0}, {1, 1}}));
    EXPECT_TRUE(Regions().SelectedRegions().empty());
    EXPECT_TRUE(Chart().MarkedRegions.empty());
    // Its undo brings the row back.
    Window->SpeedButton13->click();
    EXPECT_EQ(RowsShown().size(), 4u);
}


// Guards a reopened table of regions that showed its rows selected while
// the section outlined none of them.
TEST_F(RegionsTable, AReopenedTableOutlinesTheRowsItShowsSelected)
{
    Start({Section});
    OpenRegions();
    ClickRow(1); // the Sandstone
    ASSERT_EQ(Chart().MarkedRegions, (std::vector<TRingRef>{{1, 0}}));
    QTest::mouseClick(Regions().CloseButton, Qt::LeftButton);
    EXPECT_TRUE(Chart().MarkedRegions.empty());
    Activate();
    OpenRegions();
    EXPECT_EQ(Regions().SelectedRegions(), (std::vector<TRingRef>{{1, 0}}));
    EXPECT_EQ(Chart().MarkedRegions, (std::vector<TRingRef>{{1, 0}}));
    // The outline is drawn: the Sandstone's top edge in the marking colour.
    EXPECT_EQ(ChartPicture().pixelColor(Pixel(200, 20)), QColor(0xFF, 0x80, 0x00));
}

// --- A change from outside the section's mouse editing stays ------------------------------------------

// The example opened in "Add node" (Esc), the Sandstone's resistivity set
// to 250 by Change (through the table of regions or the body dialog), the
// mouse moved over the section (the hover of "Add node" is an edit in
// hand), Then done; File > Save to a file of its own.
struct OutsideChange : RegionsTable {
    const QPoint OverTheSection() { return Pixel(60, 170); } // the host medium, near no body
    void Road(const char* Name, const std::function<void()>& Change, const std::function<void()>& Then)
    {
        SCOPED_TRACE(Name);
        if (Window)
            Window->hide();
        Window.reset();
        Start({Section});
        SendKey(true, Qt::Key_Escape, Qt::NoModifier);
        SendKey(false, Qt::Key_Escape, Qt::NoModifier);
        ASSERT_EQ(Chart().EditMode, pmAddNode);
        const int records = LiveUndoRecords();
        Change();
        ASSERT_EQ(Params(1)[psResistivity].AsReal(), 250.0);
        ASSERT_EQ(LiveUndoRecords(), records + 1);
        Activate();
        MoveMouse(OverTheSection(), Qt::NoButton);
        ASSERT_TRUE(Chart().Editing); // the hover of "Add node"
        Then();
        Activate();
        EXPECT_EQ(Params(1)[psResistivity].AsReal(), 250.0);
        EXPECT_EQ(ShownLabel(1), QStringLiteral("250") + Ohm);
        const QString saved = Folder.filePath(QStringLiteral("saved.sec"));
        CommonDialogService().ExecuteSave = [&](TSaveDialogRequest& Request) {
            Request.FileName = saved;
            Request.FilterIndex = 1;
            return true;
        };
        ChooseFromMenuBar(Window->Savefile1);
        CommonDialogService().ExecuteSave = {};
        TSectionModel written;
        ASSERT_TRUE(ReadSectionFile(saved, written));
        EXPECT_EQ(written.Model[1][0].params[psResistivity].AsReal(), 250.0);
        EXPECT_EQ(LiveUndoRecords(), records + 1) << "what came after the change recorded nothing";
        // One undo step takes the change back.
        Window->SpeedButton13->click();
        EXPECT_EQ(Params(1)[psResistivity].AsReal(), 120.0);
        EXPECT_EQ(ShownLabel(1), QStringLiteral("120") + Ohm);
    }
    // Options > Regions..., 250 typed into the Sandstone's resistivity, Enter.
    void TypeIntoTheTable()
    {
        OpenRegions();
        TypeIntoCell(1, rcResistivity, QStringLiteral("250"));
    }
    void PressAndRelease(int Key, Qt::KeyboardModifier Held)
    {
        SendKey(true, Key, Qt::NoModifier);
        SendKey(false, Key, Held);
    }
};

// Guards a value typed into the table of regions that the next drop of an
// edit in hand put back without a word: the chart's roll-back copy was the
// model from before the table's edit.
TEST_F(OutsideChange, AValueTypedIntoTheTableSurvivesWhatTheEditorDoesNext)
{
    const auto typed = [this] { TypeIntoTheTable(); };
    Road("the mouse moved over the section", typed, [] {});
    Road("a Move-node drag put back with Esc", typed, [this] {
        Window->ModeButtons.at(pmMoveNode)->click();
        DragWithoutDropping({300, 140}, {330, 150});
        ASSERT_TRUE(Chart().EditInHand());
        PressAndRelease(Qt::Key_Escape, Qt::NoModifier);
    });
    Road("Ctrl pressed and let go", typed, [this] { PressAndRelease(Qt::Key_Control, Qt::ControlModifier); });
    Road("Shift pressed and let go", typed, [this] { PressAndRelease(Qt::Key_Shift, Qt::ShiftModifier); });
    Road("a mode button", typed, [this] { Window->ModeButtons.at(pmMovePolygon)->click(); });
    Road("a double click on the Sandstone", typed, [this] {
        InBodyDialog(200, 60, [&](TBsetup& Dialog) {
            EXPECT_EQ(Dialog.Edit1->text(), QStringLiteral("250.000"));
            QTest::keyClick(&Dialog, Qt::Key_Escape);
        });
    });
    Road("the axis menu", typed, [this] {
        const TModelArea area = Chart().ModelArea;
        ChooseFromAxisMenu(true, "Default");
        ASSERT_EQ(Chart().ModelArea.right, area.right);
    });
}

// A paste into the table and the body dialog are changes from outside too.
TEST_F(OutsideChange, APastedValueAndADialogsValueSurviveTheSame)
{
    const auto pasted = [this] {
        OpenRegions();
        ClickRow(1);
        Table().selectionModel()->setCurrentIndex(Table().model()->index(1, rcResistivity),
                                                  QItemSelectionModel::NoUpdate);
        QGuiApplication::clipboard()->setText(QStringLiteral("250\n"));
        QTest::keyClick(&Table(), Qt::Key_V, Qt::ControlModifier);
    };
    const auto inTheDialog = [this] {
        InBodyDialog(200, 60, [&](TBsetup& Dialog) {
            TypeInto(Dialog.Edit1, QStringLiteral("250"));
            QTest::keyClick(Dialog.Edit1, Qt::Key_Return);
        });
    };
    const auto ctrl = [this] { PressAndRelease(Qt::Key_Control, Qt::ControlModifier); };
    Road("pasted, then the mouse moved", pasted, [] {});
    Road("pasted, then Ctrl", pasted, ctrl);
    Road("in the dialog, then the mouse moved", inTheDialog, [] {});
    Road("in the dialog, then Ctrl", inTheDialog, ctrl);
}

// A user who mixes values typed into the table with whatever the section
// offers (hovering, drags left in hand, Esc, Shift, Ctrl, mode buttons,
// undo): after every step each ring's resistivity is what the table last
// set or what an undo brought back. Seeded, so a failure repeats.
TEST_F(OutsideChange, TableEditsMixedWithEditorActionsAreNeverLost)
{
    // The rings of the table's rows 1 to 3: Sandstone, Clay, Lens.
    const TRingRef rings[] = {{1, 0}, {1, 1}, {2, 0}};
    // Nodes a drag may pick up (inner, not fixed).
    const QPointF nodes[] = {{100, 20}, {450, 20}, {450, 120}, {100, 120}, {820, 20},
                             {820, 120}, {300, 140}, {600, 140}, {250, 180}};
    const TPolygonEditMode modes[] = {pmAddNode, pmMoveNode, pmMovePolygon, pmDeleteNode, pmAddLine, pmMoveLineNode};
    for (const unsigned seed : {11u, 23u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const auto pick = [&random](int Count) { return std::uniform_int_distribution<int>(0, Count - 1)(random); };
        if (Window)
            Window->hide();
        Window.reset();
        Start({Section});
        // What each undo step holds, the present state last.
        std::vector<std::array<double, 3>> states{{120.0, 15.0, 300.0}};
        for (int step = 0; step < 40; ++step) {
            std::string done;
            switch (pick(8)) {
            case 0:
            case 1: { // a new value typed into a row of the table
                const int row = pick(3);
                std::array<double, 3> next = states.back();
                next[row] = 1.0 + pick(997) + (next[row] < 1000.0 ? 1000.0 : 0.0); // never the value it holds
                OpenRegions();
                TypeIntoCell(row + 1, rcResistivity, QString::number(next[row]));
                states.push_back(next);
                Activate();
                done = "typed " + std::to_string(next[row]) + " into row " + std::to_string(row + 1);
                break;
            }
            case 2: { // the mouse over the section
                const QPoint at = Pixel(20 + pick(960), 10 + pick(180));
                MoveMouse(at, Qt::NoButton);
                done = "mouse moved";
                break;
            }
            case 3: { // a node picked up and dragged, not placed
                Window->ModeButtons.at(pmMoveNode)->click();
                const QPointF from = nodes[pick(9)];
                DragWithoutDropping(from, from + QPointF(pick(41) - 20, pick(21) - 10));
                done = "node dragged, not placed";
                break;
            }
            case 4:
                SendKey(true, Qt::Key_Escape, Qt::NoModifier);
                SendKey(false, Qt::Key_Escape, Qt::NoModifier);
                done = "Esc";
                break;
            case 5: {
                const bool shift = pick(2) == 0;
                PressAndRelease(shift ? Qt::Key_Shift : Qt::Key_Control,
                                shift ? Qt::ShiftModifier : Qt::ControlModifier);
                done = shift ? "Shift" : "Ctrl";
                break;
            }
            case 6:
                Window->ModeButtons.at(modes[pick(6)])->click();
                done = "a mode button";
                break;
            default: // the undo button: an edit in hand goes back, else the last edit
                if (!Chart().EditInHand() && states.size() > 1)
                    states.pop_back();
                Window->SpeedButton13->click();
                done = "undo";
                break;
            }
            for (int i = 0; i < 3; ++i)
                ASSERT_EQ(Params(rings[i].Body, rings[i].Ring)[psResistivity].AsReal(), states.back()[i])
                    << "step " << step << ", " << done << ", row " << i + 1;
        }
    }
}

// Guards a selection that moved to the next body when the selected one was
// deleted (the bodies after it are numbered anew), where a paste would land.
TEST_F(RegionsTable, ASelectedRegionDeletedTakesItsSelectionAlong)
{
    Start({Section});
    OpenRegions();
    ClickRow(1); // the sandstone, ring 0 of body 1: the clay becomes ring 0
    Window->ModeButtons.at(pmDeleteSubPolygon)->click();
    const QPoint sandstone = Pixel(200, 60);
    MoveMouse(sandstone, Qt::NoButton);
    Click(Qt::RightButton, sandstone);
    ASSERT_EQ(RowsShown().size(), 3u);
    EXPECT_TRUE(Regions().SelectedRegions().empty());
    EXPECT_TRUE(Chart().MarkedRegions.empty());
}

// A cell editor opened and left as it opened stores nothing, also not in
// the other selected rows.
TEST_F(RegionsTable, ACellLeftAsItOpenedChangesNothing)
{
    Start({Section});
    OpenRegions();
    const int records = LiveUndoRecords();
    ClickRow(1);
    ClickRow(2, Qt::ControlModifier);
    ClickRow(3, Qt::ControlModifier);
    for (const int column : {rcResistivity, rcLabel}) {
        Table().setFocus();
        Table().selectionModel()->setCurrentIndex(Table().model()->index(2, column), QItemSelectionModel::NoUpdate);
        QTest::keyClick(&Table(), Qt::Key_F2);
        QLineEdit* editor = nullptr;
        for (QLineEdit* edit : Table().viewport()->findChildren<QLineEdit*>())
            if (edit->isVisible())
                editor = edit;
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_Return);
    }
    EXPECT_EQ(Params(1)[psResistivity].AsReal(), 120.0);
    EXPECT_EQ(Params(2)[psResistivity].AsReal(), 300.0);
    EXPECT_EQ(Params(2)[psLabelText].AsText(), "Lens");
    EXPECT_FALSE(Window->Modified());
    EXPECT_EQ(LiveUndoRecords(), records);
}

// Values shown in a decimal-comma locale: confirmed unchanged they stay
// unchanged (no undo step, not modified), and a typed "2,5" is 2.5, in the
// dialog and in the table.
TEST_F(RegionsTable, ADecimalCommaLocaleShowsAndTakesValuesAsTheUserWritesThem)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Start({Section});
    const int records = LiveUndoRecords();
    InBodyDialog(200, 60, [&](TBsetup& Dialog) {
        EXPECT_EQ(Dialog.Edit1->text(), QStringLiteral("120,000"));
        EXPECT_EQ(Dialog.Edit2->text(), QStringLiteral("2,000"));
        QTest::keyClick(Dialog.Edit1, Qt::Key_Return);
    });
    EXPECT_EQ(Params(1)[psResistivity].AsReal(), 120.0);
    EXPECT_FALSE(Window->Modified());
    EXPECT_EQ(LiveUndoRecords(), records);
    InBodyDialog(200, 60, [&](TBsetup& Dialog) {
        TypeInto(Dialog.Edit2, QStringLiteral("2,5"));
        QTest::keyClick(Dialog.Edit2, Qt::Key_Return);
    });
    EXPECT_EQ(Params(1)[psPolarizability].AsReal(), 2.5);
    EXPECT_EQ(LiveUndoRecords(), records + 1);
    OpenRegions();
    EXPECT_EQ(Cell(1, rcPolarizability), QStringLiteral("2,500"));
    TypeIntoCell(3, rcResistivity, QStringLiteral("312,5"));
    EXPECT_EQ(Params(2)[psResistivity].AsReal(), 312.5);
    EXPECT_EQ(LiveUndoRecords(), records + 2);
    QLocale::setDefault(before);
}


// The main window closed while the table of regions has a cell editor open
// and focused: the table, its editor and its marks go without touching the
// freed model.
TEST_F(RegionsTable, ClosingTheProgramWithACellInHandTouchesNothingFreed)
{
    Start({Section});
    OpenRegions();
    ClickRow(1);
    Table().setFocus();
    Table().selectionModel()->setCurrentIndex(Table().model()->index(1, rcResistivity), QItemSelectionModel::NoUpdate);
    QTest::keyClick(&Table(), Qt::Key_F2);
    QLineEdit* editor = nullptr;
    for (QLineEdit* edit : Table().viewport()->findChildren<QLineEdit*>())
        if (edit->isVisible())
            editor = edit;
    ASSERT_NE(editor, nullptr);
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("77"));
    QPointer<TRegionsWindow> regions = Window->RegionsWindow;
    Window->hide();
    Window.reset();
    EXPECT_TRUE(regions.isNull());
    QCoreApplication::processEvents();
}

} // namespace
} // namespace lp
