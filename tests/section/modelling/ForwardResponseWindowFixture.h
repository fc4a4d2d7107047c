#pragma once
// The forward response window opened from the main window's menu bar, as
// its tests drive it: the example section, a small survey, measured files
// written from the library's own response.

#include "section/modelling/ForwardResponseWindow.h"

#include "tests/section/main/MainWindowFixture.h"
#include "chart/engine/PlotAxis.h"
#include "platform/core/SafeSave.h"
#include "platform/ui/Dialogs.h"
#include "section/modelling/BackgroundThreads.h"
#include "section/survey/DataFile.h"
#include "section/views/PseudoSection2D.h"

#include <functional>
#include <QtCore/QFile>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

#include <algorithm>
#include <cmath>
#include <vector>

namespace lp::test {

struct ForwardResponseWindowTest : MainWindow {
    TForwardResponseWindow* Forward = nullptr;

    // A run a closed window left ends before the next test.
    void TearDown() override
    {
        MainWindow::TearDown();
        TBackgroundThreads::Program().JoinAll();
    }

    // The example open, the window opened from the menu bar with a small
    // survey (quick under the sanitizers).
    void Open(int Electrodes = 24, int Levels = 4)
    {
        // The survey kept from an earlier session: the window computes it
        // as soon as it opens.
        TForwardSurveySettings kept;
        kept.Electrodes = Electrodes;
        kept.Levels = Levels;
        kept.Save();
        Start({Section});
        ChooseFromMenuBar(Window->Forwardresponse1);
        QTRY_VERIFY_WITH_TIMEOUT(Window->ForwardWindow && Window->ForwardWindow->isVisible(), 5000);
        Forward = Window->ForwardWindow;
        Forward->ElectrodesBox->setValue(Electrodes);
        Forward->LevelsBox->setValue(Levels);
        Forward->SpacingEdit->clear();
        Forward->FirstEdit->clear();
        Forward->HostEdit->setText(QStringLiteral("100"));
        Forward->ArrayBox->setCurrentIndex(0);
    }
    // Waits for the newest run to end.
    void WaitForResult()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!Forward->Busy(), 60000);
    }
    // Opened, and its first computation done.
    void OpenComputed()
    {
        Open();
        EXPECT_TRUE(Forward->Busy());
        WaitForResult();
        ASSERT_TRUE(Forward->Result().has_value()) << Forward->ErrorText().toStdString();
    }
    void ComputeNow()
    {
        QTest::mouseClick(Forward->ComputeButton, Qt::LeftButton);
        EXPECT_TRUE(Forward->Busy());
        WaitForResult();
        ASSERT_TRUE(Forward->Result().has_value()) << Forward->ErrorText().toStdString();
    }
    // What the library computes for the same section and survey.
    TForwardResult Expected()
    {
        const TForwardModel ground = PrepareForwardModel(Chart().Model, Chart().Nodes, Chart().ModelArea, 100.0);
        const std::optional<TArrayLayout> layout = Forward->SurveyLayout();
        EXPECT_TRUE(layout.has_value());
        TForwardOptions options;
        options.Threads = 1;
        return ComputeForwardResponse(ground, MakeArraySurvey(*layout, ground.Left, ground.Right), options);
    }
    // The shown apparent resistivity of the shallowest datum nearest X.
    double ShallowValueNear(double X)
    {
        const TPseudoSection2d& chart = *Forward->ResistivityChart;
        int best = 1;
        for (int v = 1; v <= chart.VertexCount; ++v) {
            const dVertex3d& p = chart.Vertices[v];
            const dVertex3d& b = chart.Vertices[best];
            if (p.AxisY < b.AxisY - 1e-9 || (std::fabs(p.AxisY - b.AxisY) < 1e-9 && std::fabs(p.AxisX - X) < std::fabs(b.AxisX - X)))
                best = v;
        }
        return chart.Vertices[best].Value;
    }
    // "Measured" data: the library's response over a host of 130 ohm-m, on
    // a survey other than the window's (20 electrodes, 3 levels).
    TForwardResult FieldResponse() { return FieldResponseOver(130.0, 20, 3); }
    // FieldResponse() written as a measured file with voltages for a
    // current of 0.1 A (u and i; ip in mV/V).
    // The data Negated with their voltage's sign turned (a ρa below 0); Ip,
    // when given, the ip column's value of each datum.
    QString WriteMeasuredFile(const QString& Name = QStringLiteral("measured.dat"),
                              const std::vector<size_t>& Negated = {}, const std::function<double(size_t)>& Ip = {})
    {
        Field = FieldResponse();
        QString text = QStringLiteral("%1\n# x z\n").arg(Field.Survey.Electrodes.size());
        for (const TElectrode& electrode : Field.Survey.Electrodes)
            text += QStringLiteral("%1 %2\n").arg(electrode.x, 0, 'g', 17).arg(electrode.z, 0, 'g', 17);
        text += QStringLiteral("%1\n# a b m n u i ip\n").arg(Field.Resistivities.size());
        for (size_t d = 0; d < Field.Resistivities.size(); ++d) {
            const TConfiguration& c = Field.Survey.Configurations[d];
            const double sign = std::find(Negated.begin(), Negated.end(), d) != Negated.end() ? -1.0 : 1.0;
            const double voltage = sign * Field.Resistivities[d] * 0.1 / Field.GeometricFactors[d];
            text += QStringLiteral("%1 %2 %3 %4 %5 0.1 %6\n")
                        .arg(c.a + 1).arg(c.b + 1).arg(c.m + 1).arg(c.n + 1)
                        .arg(voltage, 0, 'g', 17)
                        .arg(Ip ? Ip(d) : 10.0 * Field.Chargeabilities.at(d), 0, 'g', 17);
        }
        const QString file = Folder.filePath(Name);
        QString error;
        EXPECT_TRUE(SaveBytesAtomically(file, text.toUtf8(), error)) << error.toStdString();
        return file;
    }
    TForwardResult Field;
    // Modelling > Measured data... with the file chosen in the dialog.
    void OpenMeasured(const QString& File)
    {
        CommonDialogService().ExecuteOpen = [File](TOpenDialogRequest& Request) {
            Request.FileName = File;
            return true;
        };
        ChooseFromMenuBar(Window->Measureddata1);
        ResetCommonDialogService();
        ASSERT_NE(Forward->MeasuredData(), nullptr);
        WaitForResult();
        ASSERT_TRUE(Forward->Misfit().has_value()) << Forward->ErrorText().toStdString();
    }
    // File > New from data... with the file chosen in its dialog: the
    // forward window shows its data, and their first comparison is done.
    void NewFromData(const QString& File)
    {
        CommonDialogService().ExecuteOpen = [File](TOpenDialogRequest& Request) {
            Request.FileName = File;
            return true;
        };
        ChooseFromMenuBar(Window->Newfromdata1);
        ResetCommonDialogService();
        QTRY_VERIFY_WITH_TIMEOUT(Window->ForwardWindow && Window->ForwardWindow->isVisible(), 5000);
        Forward = Window->ForwardWindow;
        ASSERT_NE(Forward->MeasuredData(), nullptr);
        WaitForResult();
        ASSERT_TRUE(Forward->Misfit().has_value()) << Forward->ErrorText().toStdString();
    }
    // The mouse moved (no button held) to At of a chart's window.
    static void HoverOver(TPseudoSection2d& Chart, QPoint At)
    {
        QWidget* widget = Chart.Widget();
        QMouseEvent move(QEvent::MouseMove, QPointF(At), widget->mapToGlobal(QPointF(At)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }
    // Where a datum is drawn on a chart, in the chart window's pixels.
    static QPoint DatumPixel(TPseudoSection2d& Chart, const TPseudoPoint& Point)
    {
        return {Chart.BottomAxis()->CalcPosValue(Point.X), Chart.LeftAxis()->CalcPosValue(Point.Depth)};
    }
    // The first datum no other datum is drawn within ten pixels of.
    size_t LoneDatum(TPseudoSection2d& Chart)
    {
        const std::vector<TPseudoPoint> points = PseudoSectionPoints(Forward->Result()->Survey);
        for (size_t d = 0; d < points.size(); ++d) {
            const QPoint at = DatumPixel(Chart, points[d]);
            bool alone = true;
            for (size_t o = 0; o < points.size() && alone; ++o)
                alone = o == d || (DatumPixel(Chart, points[o]) - at).manhattanLength() > 10;
            if (alone)
                return d;
        }
        ADD_FAILURE() << "every datum has a neighbour within ten pixels";
        return 0;
    }
    std::vector<double> ShownValues()
    {
        std::vector<double> values;
        for (int v = 1; v <= Forward->ResistivityChart->VertexCount; ++v)
            values.push_back(Forward->ResistivityChart->Vertices[v].Value);
        return values;
    }
};

} // namespace lp::test
