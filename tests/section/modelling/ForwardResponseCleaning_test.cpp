// Cleaning measured data in the forward response window as a user does:
// clicking and dragging in the measured chart, Delete and Ctrl+Z, the
// filters of the Clean menu, the reciprocal errors' view and its error
// model reaching the inversion, Save kept data, and the removed set coming
// back with the file.

#include "tests/section/modelling/ForwardResponseWindowFixture.h"

#include "DialogTestUtil.h"
#include "chart/engine/PlotBarSeries.h"
#include "section/modelling/InversionWindow.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/modelling/ReciprocalErrorsDialog.h"
#include "section/survey/DataCleaning.h"
#include "section/survey/MeasuredData.h"
#include "platform/ui/Registry.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QFileInfo>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QSpinBox>

#include <numbers>
#include <numeric>
#include <set>

namespace lp::test {
namespace {

struct ForwardResponseCleaningTest : ForwardResponseWindowTest {
    void TearDown() override
    {
        ResetInputService();
        ForwardResponseWindowTest::TearDown();
    }

    // The field response written with rhoa, its datum Spike (if any) made
    // Factor times larger, and the reciprocals of the first data appended,
    // each off by its per cent in Reciprocals.
    QString WriteFile(const QString& Name, std::optional<size_t> Spike = std::nullopt, double Factor = 1.0,
                      const std::vector<double>& Reciprocals = {})
    {
        Field = FieldResponse();
        std::vector<TConfiguration> configurations = Field.Survey.Configurations;
        std::vector<double> rhoa = Field.Resistivities;
        if (Spike)
            rhoa.at(*Spike) *= Factor;
        for (size_t r = 0; r < Reciprocals.size(); ++r) {
            const TConfiguration c = configurations[r];
            configurations.push_back({c.m, c.n, c.a, c.b});
            rhoa.push_back(rhoa[r] * (1.0 + Reciprocals[r] / 100.0));
        }
        return WriteRhoaFile(Name, Field.Survey.Electrodes, configurations, rhoa);
    }
    // The window opened and computed, then the file opened in it, and the
    // window active with the keyboard.
    // The file is written once the section is open (the field response is
    // computed over it).
    void OpenFile(const std::function<QString()>& Write)
    {
        ASSERT_NO_FATAL_FAILURE(OpenComputed());
        ASSERT_NO_FATAL_FAILURE(OpenMeasured(Write()));
        Forward->activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == Forward, 5000);
    }
    // Where the file's datum D is drawn in the measured chart.
    QPoint Pixel(size_t D)
    {
        const std::vector<TPseudoPoint> points = PseudoSectionPoints(Forward->Removals().File()->Survey());
        const TPseudoSection2d& chart = *Forward->MeasuredChart;
        return {chart.BottomAxis()->CalcPosValue(points.at(D).X),
                chart.LeftAxis()->CalcPosValue(PlottedVerticals(chart, {points.at(D)}).front())};
    }
    // A drag with the left button from From to To in the measured chart,
    // Ctrl held with Add.
    void Drag(QPoint From, QPoint To, bool Add = false)
    {
        QWidget* widget = Forward->MeasuredChart->Widget();
        const Qt::KeyboardModifiers keys = Add ? Qt::ControlModifier : Qt::NoModifier;
        QTest::mousePress(widget, Qt::LeftButton, keys, From);
        for (int step = 1; step <= 4; ++step) {
            const QPoint at = From + (To - From) * step / 4;
            QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::NoButton,
                             Qt::LeftButton, keys);
            QApplication::sendEvent(widget, &move);
        }
        QTest::mouseRelease(widget, Qt::LeftButton, keys, To);
    }
    void PressInWindow(Qt::Key Key, Qt::KeyboardModifiers Keys = Qt::NoModifier)
    {
        QTest::keyClick(Forward->ComputeButton, Key, Keys);
    }
    // The next input box answered with Answer.
    void Answer(const QString& Text)
    {
        InputService() = [Text](const TInputRequest&) { return std::optional<QString>(Text); };
    }
    QAction* CleanCommand(const QString& Caption)
    {
        for (QAction* action : Forward->CleanMenu->actions())
            if (action->text().remove(QLatin1Char('&')) == Caption)
                return action;
        ADD_FAILURE() << "no command " << Caption.toStdString();
        return nullptr;
    }
};

TEST_F(ForwardResponseCleaningTest, AClickOrARectangleSelectsDeleteRemovesAndCtrlZRestores)
{
    ASSERT_NO_FATAL_FAILURE(OpenFile([&] { return WriteFile(QStringLiteral("line.dat")); }));
    const size_t count = Forward->Removals().Size();
    EXPECT_TRUE(Forward->DataPanel->isVisible());
    EXPECT_EQ(Forward->DataCountLabel->text(), QStringLiteral("%1 data, 0 removed.").arg(count));
    EXPECT_FALSE(Forward->RemoveButton->isEnabled());
    EXPECT_EQ(RepeatedMnemonics(*Forward), QStringList());

    // A click on a datum drawn alone selects it; Delete removes it at once,
    // without a new computation.
    const size_t lone = LoneDatum(*Forward->MeasuredChart);
    QTest::mouseClick(Forward->MeasuredChart->Widget(), Qt::LeftButton, Qt::NoModifier, Pixel(lone));
    ASSERT_EQ(Forward->SelectedData(), std::vector<size_t>{lone});
    EXPECT_TRUE(Forward->RemoveButton->isEnabled());
    const TMeasuredData* before = Forward->MeasuredData();
    PressInWindow(Qt::Key_Delete);
    EXPECT_FALSE(Forward->Busy());
    EXPECT_TRUE(Forward->Removals().IsRemoved(lone));
    EXPECT_NE(Forward->MeasuredData(), before);
    EXPECT_EQ(Forward->MeasuredData()->Size(), count - 1);
    EXPECT_EQ(Forward->MeasuredChart->VertexCount, static_cast<int>(count - 1));
    EXPECT_EQ(Forward->Misfit()->Data, static_cast<int>(count - 1));
    EXPECT_EQ(Forward->DataCountLabel->text(), QStringLiteral("%1 data, 1 removed.").arg(count));
    EXPECT_TRUE(Forward->StateLabel->text().startsWith(QStringLiteral("Remove: 1 datum removed.")));
    // The removed datum is drawn as a dark ring around its place.
    const QImage drawn = Forward->MeasuredChart->Widget()->grab().toImage();
    const QPoint at = Pixel(lone);
    int dark = 0;
    for (int dx = -4; dx <= 4; ++dx)
        for (int dy = -4; dy <= 4; ++dy)
            dark += qGray(drawn.pixel(at + QPoint(dx, dy))) < 110;
    EXPECT_GT(dark, 6);
    // Without Show removed, a click there takes nothing.
    Forward->ShowRemovedBox->setChecked(false);
    QTest::mouseClick(Forward->MeasuredChart->Widget(), Qt::LeftButton, Qt::NoModifier, Pixel(lone));
    EXPECT_TRUE(Forward->SelectedData().empty());
    Forward->ShowRemovedBox->setChecked(true);

    // A rectangle over the right half of the chart, the lone datum added with Ctrl.
    const TRect plot = Forward->MeasuredChart->ChartRectangle();
    const QPoint from((plot.Left + plot.Right) / 2, plot.Top + 2), to(plot.Right - 2, plot.Bottom - 2);
    ASSERT_LT(Pixel(lone).x(), from.x());
    Drag(from, to);
    std::vector<size_t> inside;
    for (size_t d = 0; d < count; ++d) {
        const QPoint p = Pixel(d);
        if (p.x() >= from.x() && p.x() <= to.x() && p.y() >= from.y() && p.y() <= to.y())
            inside.push_back(d);
    }
    ASSERT_GT(inside.size(), 2u);
    ASSERT_LT(inside.size(), count - 1);
    EXPECT_EQ(Forward->SelectedData(), inside);
    QTest::mouseClick(Forward->MeasuredChart->Widget(), Qt::LeftButton, Qt::ControlModifier, Pixel(lone));
    std::vector<size_t> withLone = inside;
    withLone.push_back(lone);
    std::sort(withLone.begin(), withLone.end());
    EXPECT_EQ(Forward->SelectedData(), withLone);
    QTest::mouseClick(Forward->RemoveButton, Qt::LeftButton);
    EXPECT_EQ(Forward->Removals().RemovedCount(), inside.size() + 1);
    // Restore brings the selection back; Ctrl+Z takes the steps back one by one.
    QTest::mouseClick(Forward->RestoreButton, Qt::LeftButton);
    EXPECT_EQ(Forward->Removals().RemovedCount(), 0u);
    PressInWindow(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Forward->Removals().RemovedCount(), inside.size() + 1);
    PressInWindow(Qt::Key_Z, Qt::ControlModifier);
    PressInWindow(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Forward->Removals().RemovedCount(), 0u);
    EXPECT_FALSE(Forward->UndoDataButton->isEnabled());
    EXPECT_EQ(Forward->MeasuredChart->VertexCount, static_cast<int>(count));
    // Removing every datum is refused, and nothing changes.
    std::vector<size_t> all(count);
    std::iota(all.begin(), all.end(), size_t{0});
    Forward->SelectData(all);
    PressInWindow(Qt::Key_Delete);
    EXPECT_EQ(Forward->Removals().RemovedCount(), 0u);
    EXPECT_TRUE(Forward->StateLabel->text().contains(QStringLiteral("would leave no datum")));
    SaveScreenshot(*Forward, QStringLiteral("forward-response-cleaning"));
}

TEST_F(ForwardResponseCleaningTest, TheFiltersSayHowManyTheyRemoved)
{
    const size_t spike = 17;
    ASSERT_NO_FATAL_FAILURE(OpenFile([&] { return WriteFile(QStringLiteral("spiked.dat"), spike, 6.0); }));
    Answer(QStringLiteral("3"));
    CleanCommand(QStringLiteral("Remove outliers..."))->trigger();
    EXPECT_TRUE(Forward->Removals().IsRemoved(spike));
    const size_t outliers = Forward->Removals().RemovedCount();
    EXPECT_TRUE(Forward->StateLabel->text().startsWith(QStringLiteral("Remove outliers beyond 3 deviations: %1 removed.")
                                                           .arg(DatumCount(static_cast<long long>(outliers)))))
        << Forward->StateLabel->text().toStdString();

    // The misfit filter takes the shown comparison's misfits.
    const std::vector<double> misfits = Forward->Misfit()->Misfits;
    std::vector<double> sizes;
    for (double m : misfits)
        sizes.push_back(std::fabs(m));
    std::sort(sizes.begin(), sizes.end());
    const double limit = 0.5 * (sizes[sizes.size() - 4] + sizes[sizes.size() - 5]); // the four largest beyond it
    Answer(QString::number(limit, 'g', 17));
    CleanCommand(QStringLiteral("Remove misfit beyond..."))->trigger();
    EXPECT_EQ(Forward->Removals().RemovedCount(), outliers + 4) << Forward->StateLabel->text().toStdString();
    EXPECT_TRUE(Forward->StateLabel->text().contains(QStringLiteral(": 4 data removed.")));

    // Nothing of ρa ≤ 0 here: said all the same, and no step.
    CleanCommand(QStringLiteral("Remove ρa ≤ 0"))->trigger();
    EXPECT_TRUE(Forward->StateLabel->text().startsWith(QStringLiteral("Remove ρa ≤ 0: 0 data removed.")));
    // A typed text that is no number: said, nothing removed.
    Answer(QStringLiteral("many"));
    CleanCommand(QStringLiteral("Remove outliers..."))->trigger();
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].contains(QStringLiteral("no number above 0")));
    EXPECT_EQ(Forward->Removals().RemovedCount(), outliers + 4);

    PressInWindow(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Forward->Removals().RemovedCount(), outliers);
    PressInWindow(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Forward->Removals().RemovedCount(), 0u);
}

// Reciprocal pairs: their view, the pairs beyond a limit removed, and the
// error model fitted to them the error the inversion takes; then a filter
// by the inversion's own misfits.
TEST_F(ForwardResponseCleaningTest, ReciprocalErrorsReachTheInversion)
{
    const std::vector<double> offsets{0.5, -1.0, 1.5, 2.0, -0.5, 1.0, 0.8, 12.0};
    ASSERT_NO_FATAL_FAILURE(OpenFile([&] { return WriteFile(QStringLiteral("pairs.dat"), std::nullopt, 1.0, offsets); }));
    const size_t normal = Forward->Removals().Size() - offsets.size();

    CleanCommand(QStringLiteral("Reciprocal errors..."))->trigger();
    TReciprocalErrorsDialog* dialog = Forward->ReciprocalDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->SummaryLabel->text().startsWith(QStringLiteral("8 pairs, median error")));
    double bars = 0.0;
    for (int i = 0; i < dialog->Bars->Count(); ++i)
        bars += dialog->Bars->YValues()->Value(i);
    EXPECT_EQ(bars, 8.0);
    EXPECT_EQ(RepeatedMnemonics(*dialog), QStringList());
    SaveScreenshot(*dialog, QStringLiteral("reciprocal-errors"));

    dialog->LimitEdit->setText(QStringLiteral("5"));
    QTest::mouseClick(dialog->RemoveButton, Qt::LeftButton);
    EXPECT_TRUE(Forward->Removals().IsRemoved(7));
    EXPECT_TRUE(Forward->Removals().IsRemoved(normal + 7));
    EXPECT_EQ(Forward->Removals().RemovedCount(), 2u);
    EXPECT_TRUE(dialog->SummaryLabel->text().startsWith(QStringLiteral("7 pairs")));

    QTest::mouseClick(dialog->UseModelBox, Qt::LeftButton);
    ASSERT_TRUE(Forward->Removals().ReciprocalErrorModel().has_value());
    const TReciprocalErrorModel model = *Forward->Removals().ReciprocalErrorModel();
    EXPECT_EQ(model.Pairs, 7u);
    const TMeasuredData& kept = *Forward->MeasuredData();
    const std::vector<double> resistances = DataResistances(kept);
    ASSERT_EQ(kept.Errors.size(), kept.Size());
    EXPECT_NEAR(kept.Errors[0], std::max(model.ErrorOf(resistances[0]), MinError), 1e-12);
    EXPECT_TRUE(std::isnan(kept.Errors[10])); // no pair: the error field's
    EXPECT_TRUE(Forward->DataCountLabel->text().contains(QStringLiteral("the error of 14 paired data")));
    const double pairedError = kept.Errors[0]; // the kept data are made anew at the next step

    // Modelling > Invert takes the kept data with their errors, and follows
    // the next step.
    ChooseFromMenuBar(Window->Invert1);
    QTRY_VERIFY_WITH_TIMEOUT(Window->InversionWindow && Window->InversionWindow->isVisible(), 5000);
    TInversionWindow* inversion = Window->InversionWindow;
    EXPECT_EQ(inversion->MeasuredData(), Forward->MeasuredData());
    QTest::mouseClick(dialog->UseModelBox, Qt::LeftButton);
    EXPECT_FALSE(Forward->Removals().ReciprocalErrorsUsed());
    EXPECT_EQ(inversion->MeasuredData(), Forward->MeasuredData());
    EXPECT_TRUE(std::isnan(inversion->MeasuredData()->Errors.empty() ? std::nan("") : inversion->MeasuredData()->Errors[0]));
    QTest::mouseClick(dialog->UseModelBox, Qt::LeftButton);
    ASSERT_EQ(inversion->MeasuredData(), Forward->MeasuredData());
    EXPECT_EQ(inversion->MeasuredData()->Errors[0], pairedError);

    // One iteration; its misfits remove the data it explains worst.
    inversion->IterationsBox->setValue(1);
    QTest::mouseClick(inversion->InvertButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!inversion->Busy(), 300000);
    ASSERT_NE(inversion->InvertedData(), nullptr) << inversion->ErrorText().toStdString();
    ASSERT_TRUE(inversion->RemoveMisfitButton->isEnabled());
    const std::vector<double> misfits = inversion->InvertedMisfits();
    ASSERT_EQ(misfits.size(), Forward->MeasuredData()->Size());
    std::vector<double> sizes;
    for (double m : misfits)
        sizes.push_back(std::fabs(m));
    std::sort(sizes.begin(), sizes.end());
    const double limit = 0.5 * (sizes[sizes.size() - 3] + sizes[sizes.size() - 4]);
    Answer(QString::number(limit, 'g', 17));
    QTest::mouseClick(inversion->RemoveMisfitButton, Qt::LeftButton);
    EXPECT_EQ(Forward->Removals().RemovedCount(), 5u);
    EXPECT_EQ(inversion->MeasuredData(), Forward->MeasuredData());
}

// The reciprocal errors' dialog as a user meets it: the limit typed with a
// German decimal comma and Return, Escape closing it without a step, and
// the forward window closed while the dialog's field has the keyboard.
TEST_F(ForwardResponseCleaningTest, TheReciprocalDialogByKeyboardInAGermanLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::vector<double> offsets{0.5, -1.0, 2.4, 2.6, 12.0};
    ASSERT_NO_FATAL_FAILURE(OpenFile([&] { return WriteFile(QStringLiteral("pairs.dat"), std::nullopt, 1.0, offsets); }));
    CleanCommand(QStringLiteral("Reciprocal errors..."))->trigger();
    TReciprocalErrorsDialog* dialog = Forward->ReciprocalDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == dialog, 5000);
    QTest::keyClick(dialog, Qt::Key_B, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), dialog->LimitEdit);
    QTest::keyClick(dialog->LimitEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(dialog->LimitEdit, QStringLiteral("2,5"));
    QTest::keyClick(dialog->LimitEdit, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), dialog->RemoveButton);
    QTest::keyClick(dialog->RemoveButton, Qt::Key_Space);
    // Beyond 2.5 %: the pairs off by 2.6 and 12 %, four data.
    EXPECT_EQ(Forward->Removals().RemovedCount(), 4u);
    EXPECT_TRUE(Forward->StateLabel->text().startsWith(
        QStringLiteral("Remove reciprocal errors beyond 2,5 %: 4 data removed.")))
        << Forward->StateLabel->text().toStdString();
    // Not a number: marked, nothing removed.
    dialog->LimitEdit->setText(QStringLiteral("2.5.1"));
    QTest::mouseClick(dialog->RemoveButton, Qt::LeftButton);
    EXPECT_FALSE(dialog->LimitEdit->styleSheet().isEmpty());
    EXPECT_EQ(Forward->Removals().RemovedCount(), 4u);
    // Escape closes the dialog, the steps stay; it opens again as it was left.
    QTest::keyClick(dialog->LimitEdit, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Forward->Removals().RemovedCount(), 4u);
    CleanCommand(QStringLiteral("Reciprocal errors..."))->trigger();
    ASSERT_EQ(Forward->ReciprocalDialog(), dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->SummaryLabel->text().startsWith(QStringLiteral("3 pairs")));
    // The window closed with the dialog's field in hand: both go, nothing
    // freed is touched.
    dialog->activateWindow();
    dialog->LimitEdit->setFocus();
    Forward->close();
    QTRY_VERIFY_WITH_TIMEOUT(!Window->ForwardWindow, 5000);
    QLocale::setDefault(before);
}

TEST_F(ForwardResponseCleaningTest, SaveKeptDataWritesTheKeptDataWithTheirErrors)
{
    QString file;
    ASSERT_NO_FATAL_FAILURE(OpenFile([&] { return file = WriteFile(QStringLiteral("line.dat")); }));
    Forward->RelativeErrorEdit->setText(QStringLiteral("4"));
    Forward->SelectData({0, 5, 6});
    QTest::mouseClick(Forward->RemoveButton, Qt::LeftButton);
    const QByteArray original = FileBytes(file);

    QString error;
    const QString kept = Folder.filePath(QStringLiteral("kept.dat"));
    CommonDialogService().ExecuteSave = [&](TSaveDialogRequest& Request) {
        Request.FileName = kept;
        return true;
    };
    QTest::mouseClick(Forward->SaveKeptButton, Qt::LeftButton);
    ResetCommonDialogService();
    ASSERT_TRUE(QFile::exists(kept));
    const QByteArray bytes = FileBytes(kept);
    const TMeasuredData read = ReadMeasuredData(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    ASSERT_EQ(read.Size(), Forward->MeasuredData()->Size());
    EXPECT_EQ(read.Size(), Forward->Removals().Size() - 3);
    for (size_t d = 0; d < read.Size(); ++d) {
        EXPECT_EQ(read.Configurations[d].a, Forward->MeasuredData()->Configurations[d].a);
        EXPECT_NEAR(read.Resistivities[d], Forward->MeasuredData()->Resistivities[d],
                    1e-12 * Forward->MeasuredData()->Resistivities[d]);
        EXPECT_NEAR(read.Errors.at(d), 0.04, 1e-15);
    }
    // The measured file itself is refused, and stays as it was.
    EXPECT_FALSE(Forward->SaveKeptData(file, error));
    EXPECT_TRUE(error.contains(QStringLiteral("measured data file")));
    EXPECT_EQ(FileBytes(file), original);
}

TEST_F(ForwardResponseCleaningTest, TheRemovedSetComesBackWithTheSameFile)
{
    QString file;
    ASSERT_NO_FATAL_FAILURE(OpenFile([&] { return file = WriteFile(QStringLiteral("line.dat")); }));
    Forward->SelectData({1, 2, 9});
    QTest::mouseClick(Forward->RemoveButton, Qt::LeftButton);
    const std::vector<bool> removed = Forward->Removals().Removed();
    const auto reopen = [this] {
        Forward->close();
        QTRY_VERIFY_WITH_TIMEOUT(!Window->ForwardWindow, 5000);
        ChooseFromMenuBar(Window->Forwardresponse1);
        QTRY_VERIFY_WITH_TIMEOUT(Window->ForwardWindow && Window->ForwardWindow->isVisible(), 5000);
        Forward = Window->ForwardWindow;
        WaitForResult();
    };
    reopen();
    ASSERT_NE(Forward->MeasuredData(), nullptr);
    EXPECT_EQ(Forward->Removals().Removed(), removed);
    EXPECT_EQ(Forward->MeasuredData()->Size(), removed.size() - 3);
    // Ctrl+Z brings them back as any step.
    EXPECT_TRUE(Forward->UndoDataStep());
    EXPECT_EQ(Forward->Removals().RemovedCount(), 0u);
    Forward->SelectData({4});
    Forward->RemoveSelected();
    // Opened again from the menu, the same file keeps its set.
    ASSERT_NO_FATAL_FAILURE(OpenMeasured(file));
    EXPECT_EQ(Forward->Removals().RemovedCount(), 1u);
    EXPECT_TRUE(Forward->Removals().IsRemoved(4));

    // The file changed since: its data are all kept.
    WriteFile(QStringLiteral("line.dat"), size_t{3}, 1.01);
    reopen();
    ASSERT_NE(Forward->MeasuredData(), nullptr);
    EXPECT_EQ(Forward->Removals().RemovedCount(), 0u);
}

// Guards the cleaning of one file lost when another is opened: only the
// last file's removed set was kept, so New from data with the first file
// again showed "0 removed".
// Each file keeps its set against its checksum, the newest 50 of them; the
// settings' older single set is read as one of them.
TEST_F(ForwardResponseCleaningTest, EachFileKeepsItsRemovedSetWhenOthersAreOpened)
{
    QString first;
    ASSERT_NO_FATAL_FAILURE(OpenFile([&] { return first = WriteFile(QStringLiteral("first.dat")); }));
    const std::vector<size_t> firstRemoved{0, 3, 4, 5, 11};
    Forward->SelectData(firstRemoved);
    QTest::mouseClick(Forward->RemoveButton, Qt::LeftButton);
    const std::vector<bool> firstSet = Forward->Removals().Removed();
    ASSERT_EQ(Forward->Removals().RemovedCount(), firstRemoved.size());
    // Three other files in turn, the second of them cleaned too.
    const QString second = WriteFile(QStringLiteral("second.dat"), size_t{1}, 1.5);
    const QString third = WriteFile(QStringLiteral("third.dat"), size_t{2}, 1.5);
    const QString fourth = WriteFile(QStringLiteral("fourth.dat"), size_t{3}, 1.5);
    ASSERT_NO_FATAL_FAILURE(OpenMeasured(second));
    EXPECT_EQ(Forward->Removals().RemovedCount(), 0u);
    ASSERT_NO_FATAL_FAILURE(OpenMeasured(third));
    Forward->SelectData({7, 8});
    QTest::mouseClick(Forward->RemoveButton, Qt::LeftButton);
    ASSERT_NO_FATAL_FAILURE(OpenMeasured(fourth));
    EXPECT_EQ(Forward->Removals().RemovedCount(), 0u);

    // File > New from data with the first again: its data stay removed.
    ASSERT_NO_FATAL_FAILURE(NewFromData(first));
    EXPECT_EQ(Forward->Removals().Removed(), firstSet);
    EXPECT_EQ(Forward->DataCountLabel->text(),
              QStringLiteral("%1 data, 5 removed.").arg(Forward->Removals().Size()));
    EXPECT_EQ(Forward->MeasuredData()->Size(), firstSet.size() - 5);
    ASSERT_NO_FATAL_FAILURE(OpenMeasured(third));
    EXPECT_EQ(Forward->Removals().RemovedCount(), 2u);
    EXPECT_TRUE(Forward->Removals().IsRemoved(7) && Forward->Removals().IsRemoved(8));
    ASSERT_NO_FATAL_FAILURE(OpenMeasured(second));
    EXPECT_EQ(Forward->Removals().RemovedCount(), 0u);
    ASSERT_NO_FATAL_FAILURE(OpenMeasured(third));

    // The window closed, the settings changed meanwhile, the window opened
    // again (with the file it had).
    const auto reopen = [this](const std::function<void()>& Meanwhile) {
        Forward->close();
        QTRY_VERIFY_WITH_TIMEOUT(!Window->ForwardWindow, 5000);
        Meanwhile();
        ChooseFromMenuBar(Window->Forwardresponse1);
        QTRY_VERIFY_WITH_TIMEOUT(Window->ForwardWindow && Window->ForwardWindow->isVisible(), 5000);
        Forward = Window->ForwardWindow;
        WaitForResult();
    };
    const auto checksum = [](const QString& File) {
        return QString::fromLatin1(QCryptographicHash::hash(FileBytes(File), QCryptographicHash::Sha1).toHex());
    };
    // The settings of an older version: one set, the open file's.
    reopen([&] {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(QStringLiteral("\\Software\\Lithoprism\\Forward response"), true));
        registry.WriteString(QStringLiteral("MeasuredRemoved"), checksum(third) + QStringLiteral(" 1-2"));
        EXPECT_EQ(TForwardSurveySettings::Load().MeasuredRemoved,
                  std::vector<QString>{checksum(third) + QStringLiteral(" 1-2")});
    });
    ASSERT_EQ(Forward->MeasuredFile(), QFileInfo(third).absoluteFilePath());
    EXPECT_EQ(Forward->Removals().RemovedCount(), 2u);
    EXPECT_TRUE(Forward->Removals().IsRemoved(1) && Forward->Removals().IsRemoved(2));

    // Fifty sets remembered, the first file's the oldest: a change to the
    // open file's set makes it the newest, and the first file's is dropped.
    reopen([&] {
        TForwardSurveySettings settings = TForwardSurveySettings::Load();
        settings.MeasuredRemoved.clear();
        for (int other = 0; other < 49; ++other)
            settings.MeasuredRemoved.push_back(QStringLiteral("%1 0").arg(other, 40, 16, QLatin1Char('0')));
        settings.MeasuredRemoved.push_back(checksum(first) + QStringLiteral(" 0 3-5 11"));
        settings.Save();
    });
    EXPECT_EQ(Forward->Removals().RemovedCount(), 0u); // the third's set is gone from these settings
    Forward->SelectData({6});
    QTest::mouseClick(Forward->RemoveButton, Qt::LeftButton);
    const std::vector<QString> kept = TForwardSurveySettings::Load().MeasuredRemoved;
    ASSERT_EQ(kept.size(), TForwardSurveySettings::MaxRemovedSets);
    EXPECT_EQ(kept.front(), checksum(third) + QStringLiteral(" 6"));
    EXPECT_EQ(kept.back(), QStringLiteral("%1 0").arg(48, 40, 16, QLatin1Char('0')));
    ASSERT_NO_FATAL_FAILURE(OpenMeasured(first));
    EXPECT_EQ(Forward->Removals().RemovedCount(), 0u);
}

// Guards a question that led nowhere: Save kept data onto the measured file
// asked "replace?", and a Yes was then refused.
// Typed into the save dialog, the measured file is refused at once and the
// dialog shows again; nothing asks about replacing it, and it stays as it
// was.
TEST_F(ForwardResponseCleaningTest, SaveKeptDataRefusesTheMeasuredFileBeforeAskingToReplaceIt)
{
    QString file;
    ASSERT_NO_FATAL_FAILURE(OpenFile([&] { return file = WriteFile(QStringLiteral("line.dat")); }));
    const QByteArray original = FileBytes(file);
    std::vector<TMessageRequest> messages;
    MessageService() = [&](const TMessageRequest& Request) {
        messages.push_back(Request);
        return Request.Buttons == TMsgDlgButtons(mbYes | mbNo) ? int(mrYes) : int(mrOk);
    };
    // The measured file's name typed, then the dialog shown again cancelled.
    test::AnswerFileDialogs({file, QString()});
    QTest::mouseClick(Forward->SaveKeptButton, Qt::LeftButton);
    ResetMessageService();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Buttons, TMsgDlgButtons(mbOK));
    EXPECT_EQ(messages[0].Text, QStringLiteral("line.dat cannot be written: it is the measured data file; name another file."));
    EXPECT_EQ(FileBytes(file), original);
}

// A Syscal file with a remote at a real place off the line was refused on
// reading ("a remote electrode off the line is not yet modelled").
// File > New from data reads it with the remote at its place and compares
// it; Save kept data refuses the data that use the remote, saying what to
// do, the chosen file untouched; with those data removed it saves the
// others without the remote.
TEST_F(ForwardResponseCleaningTest, ASyscalFileWithARemoteOffTheLineIsComparedCleanedAndSaved)
{
    Start({Section});
    // Twelve electrodes 2 m apart along x, B of the pole-dipole data 20 m
    // (ten spacings) off the line, 50 m before it; over a homogeneous ground
    // of 100 ohm-m, R = 100 / k with k from the distances in space.
    const double remoteX = -50.0, remoteY = 20.0;
    struct TRow {
        double a, b, m, n;
        bool pole;
    };
    std::vector<TRow> rows;
    for (int n = 1; n <= 3; ++n)
        for (double a = 0.0; a + 2.0 * (n + 2) <= 22.0; a += 2.0)
            rows.push_back({a, a + 2.0, a + 2.0 * (n + 1), a + 2.0 * (n + 2), false});
    for (int n = 1; n <= 2; ++n)
        for (double a = 0.0; a + 2.0 * (n + 1) <= 22.0; a += 2.0)
            rows.push_back({a, remoteX, a + 2.0 * n, a + 2.0 * (n + 1), true});
    QString text = QStringLiteral("El-array,xA (m),xB (m),xM (m),xN (m),Rho (Ohm.m),Dev. Rho (%),SP (mV),VMN (mV),"
                                  "IAB (mA),Time (ms),Coef. k (m),yA (m),yB (m),yM (m),yN (m),zA (m),zB (m),zM (m),"
                                  "zN (m)\n");
    std::vector<size_t> poles;
    for (const TRow& row : rows) {
        const double yB = row.pole ? remoteY : 0.0;
        const auto inverse = [&](double x, double y, double to) { return 1.0 / std::hypot(x - to, y); };
        const double k = 2.0 * std::numbers::pi /
                         (inverse(row.a, 0, row.m) - inverse(row.b, yB, row.m) - inverse(row.a, 0, row.n) +
                          inverse(row.b, yB, row.n));
        if (row.pole)
            poles.push_back(static_cast<size_t>(&row - rows.data()));
        text += QStringLiteral("%1,%2,%3,%4,%5,100,0.1,1.5,%6,100,250,%7,0,%8,0,0,0,0,0,0\n")
                    .arg(row.pole ? QStringLiteral("Pole Dipole") : QStringLiteral("Dipole-dipole"))
                    .arg(row.a).arg(row.b).arg(row.m).arg(row.n)
                    .arg(100.0 * 100.0 / k, 0, 'g', 17)
                    .arg(k, 0, 'g', 17)
                    .arg(yB);
    }
    const QString file = Folder.filePath(QStringLiteral("remote.csv"));
    QString error;
    ASSERT_TRUE(SaveBytesAtomically(file, text.toLatin1(), error)) << error.toStdString();

    ASSERT_NO_FATAL_FAILURE(NewFromData(file));
    const TMeasuredData& data = *Forward->MeasuredData();
    ASSERT_EQ(data.Size(), rows.size());
    ASSERT_EQ(data.Electrodes.size(), 13u);
    EXPECT_EQ(data.Electrodes.front().x, remoteX);
    EXPECT_EQ(data.Electrodes.front().y, remoteY);
    // The homogeneous ground's response against the data: every datum within
    // 1 % (the 2.5-D computation gives 0.2 % at most here, the remote's too).
    const TMisfit& misfit = *Forward->Misfit();
    ASSERT_EQ(misfit.Misfits.size(), rows.size());
    for (size_t d = 0; d < rows.size(); ++d)
        EXPECT_LT(std::fabs(misfit.Misfits[d]), 1.0) << "datum " << d + 1;

    // The cleaning's filters run over such data.
    Answer(QStringLiteral("3"));
    CleanCommand(QStringLiteral("Remove outliers..."))->trigger();
    EXPECT_TRUE(Forward->StateLabel->text().startsWith(QStringLiteral("Remove outliers beyond 3 deviations:")))
        << Forward->StateLabel->text().toStdString();
    while (Forward->Removals().CanUndo())
        PressInWindow(Qt::Key_Z, Qt::ControlModifier);

    // Save kept data: refused with what to do, the chosen file as it was.
    const QString kept = Folder.filePath(QStringLiteral("kept.dat"));
    ASSERT_TRUE(SaveBytesAtomically(kept, QByteArray("an earlier file\n"), error)) << error.toStdString();
    CommonDialogService().ExecuteSave = [&](TSaveDialogRequest& Request) {
        Request.FileName = kept;
        return true;
    };
    Messages.clear();
    QTest::mouseClick(Forward->SaveKeptButton, Qt::LeftButton);
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_EQ(Messages[0],
              QStringLiteral("kept.dat could not be saved: Electrode 1 (x = -50) stands 20 m off the line, and %1 data "
                             "use it: the unified data format has no place for an offset across the line (pyGIMLi "
                             "reads a line's y as its elevation), so these data cannot be written in it. To save the "
                             "others, remove the data that use this electrode; the data file read keeps them all.")
                  .arg(poles.size()));
    EXPECT_EQ(FileBytes(kept), QByteArray("an earlier file\n"));

    // The data using the remote removed: the others saved, without it.
    Forward->SelectData(poles);
    QTest::mouseClick(Forward->RemoveButton, Qt::LeftButton);
    Messages.clear();
    QTest::mouseClick(Forward->SaveKeptButton, Qt::LeftButton);
    ResetCommonDialogService();
    EXPECT_TRUE(Messages.isEmpty()) << Messages.join(QLatin1Char('\n')).toStdString();
    const QByteArray bytes = FileBytes(kept);
    const TMeasuredData read = ReadMeasuredData(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    ASSERT_EQ(read.Size(), rows.size() - poles.size());
    ASSERT_EQ(read.Electrodes.size(), 12u);
    for (size_t e = 0; e < 12; ++e)
        EXPECT_EQ(read.Electrodes[e].x, 2.0 * double(e));
    for (size_t d = 0; d < read.Size(); ++d) {
        const TConfiguration& c = Forward->MeasuredData()->Configurations.at(d);
        EXPECT_EQ(read.Configurations[d], (TConfiguration{c.a - 1, c.b - 1, c.m - 1, c.n - 1})) << "datum " << d + 1;
        EXPECT_NEAR(read.Resistivities[d], Forward->MeasuredData()->Resistivities[d], 1e-12 * 100.0);
    }
}

} // namespace
} // namespace lp::test

namespace lp::test {
namespace {

// Data of reversed polarity turned by the Clean menu's check, and the
// electrodes placed by a positions file: the removed data and the turn
// stay, a file that lacks an electrode is refused and changes nothing.
TEST_F(ForwardResponseCleaningTest, ReversedDataAreTurnedAndElectrodesPlacedFromAFile)
{
    ASSERT_NO_FATAL_FAILURE(OpenFile([&] { return WriteMeasuredFile(QStringLiteral("reversed.dat"), {2, 5, 9}); }));
    EXPECT_EQ(Forward->Removals().UnusableCount(), 3u);
    QAction* turn = CleanCommand(QStringLiteral("Turn reversed polarity"));
    ASSERT_TRUE(turn && turn->isCheckable());
    turn->trigger();
    EXPECT_TRUE(turn->isChecked());
    EXPECT_EQ(Forward->Removals().TurnedCount(), 3u);
    EXPECT_EQ(Forward->Removals().UnusableCount(), 0u);
    EXPECT_TRUE(Forward->StateLabel->text().contains(
        QStringLiteral("Turn reversed polarity: 3 data turned to the sign of their configuration's geometric factor.")))
        << Forward->StateLabel->text().toStdString();
    Forward->SelectData({7});
    EXPECT_EQ(Forward->RemoveSelected(), 1u);

    const std::vector<TElectrode> nominal = Forward->MeasuredData()->Electrodes;
    QString rows = QStringLiteral("x,z\n"), shortRows = rows;
    for (size_t e = 0; e < nominal.size(); ++e) {
        const QString row = QStringLiteral("%1,0\n").arg(nominal[e].x + (e % 2 == 0 && e > 0 ? 0.1 : 0.0), 0, 'g', 17);
        rows += row;
        shortRows += e + 1 < nominal.size() ? row : QString();
    }
    const QString positions = Folder.filePath(QStringLiteral("positions.csv"));
    const QString lacking = Folder.filePath(QStringLiteral("lacking.csv"));
    QString error;
    ASSERT_TRUE(SaveBytesAtomically(positions, rows.toUtf8(), error) && SaveBytesAtomically(lacking, shortRows.toUtf8(), error));
    ASSERT_TRUE(Forward->UseElectrodePositions(positions, error)) << error.toStdString();
    EXPECT_TRUE(Forward->StateLabel->text().contains(
        QStringLiteral("Electrode positions from positions.csv: 20 electrodes placed (columns x, z).")))
        << Forward->StateLabel->text().toStdString();
    EXPECT_EQ(Forward->MeasuredData()->Electrodes[2].x, nominal[2].x + 0.1);
    EXPECT_TRUE(Forward->Removals().PolarityTurned());
    EXPECT_TRUE(turn->isChecked());
    EXPECT_TRUE(Forward->Removals().IsRemoved(7));
    EXPECT_EQ(Forward->ElectrodePositionsFile(), QFileInfo(positions).absoluteFilePath());

    const TMeasuredData* placed = Forward->MeasuredData();
    EXPECT_FALSE(Forward->UseElectrodePositions(lacking, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("The positions file places no electrode 20 "))) << error.toStdString();
    EXPECT_EQ(Forward->MeasuredData(), placed);

    turn->trigger();
    EXPECT_FALSE(Forward->Removals().PolarityTurned());
    EXPECT_EQ(Forward->Removals().UnusableCount(), 3u);

    // A file of ρa all below 0 opens (no datum kept yet), the line above
    // the charts suggests the check, and the check makes them data.
    std::vector<double> reversed = Field.Resistivities;
    for (double& rho : reversed)
        rho = -rho;
    ASSERT_TRUE(Forward->OpenMeasuredData(
        WriteRhoaFile(QStringLiteral("all_reversed.dat"), Field.Survey.Electrodes, Field.Survey.Configurations, reversed),
        error))
        << error.toStdString();
    EXPECT_EQ(Forward->MeasuredData()->Size(), 0u);
    EXPECT_FALSE(turn->isChecked());
    EXPECT_TRUE(Forward->StateLabel->text().contains(QStringLiteral("Clean > Turn reversed polarity turns them")))
        << Forward->StateLabel->text().toStdString();
    turn->trigger();
    EXPECT_EQ(Forward->MeasuredData()->Size(), reversed.size());
    EXPECT_EQ(Forward->ElectrodePositionsFile(), QString());
}

} // namespace
} // namespace lp::test
