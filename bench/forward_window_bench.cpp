// The forward response window following an edit of the example section:
// the time from a changed model to the new pseudo-sections on the screen
// (copying the model, meshing, solving, triangulating and drawing), with
// the 48-electrode dipole-dipole survey of six levels; the same against a
// measured data file of that survey (three pictures: measured, calculated,
// misfit), after a moved node and after a changed resistivity alone; the
// inversion window inverting those data from Invert to the image, the
// iteration table and the pseudo-sections drawn; and the time the window
// takes to close while it computes (it never waits for its run).

#include "section/editor/PolygonChart.h"
#include "ExampleSection.h"
#include "section/modelling/BackgroundThreads.h"
#include "section/modelling/ForwardResponseWindow.h"
#include "section/modelling/InversionWindow.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QEventLoop>
#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSpinBox>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace lp {
namespace {

// Sleeps in the event loop until the run's result is shown. (The overload
// with a time limit never sleeps: it would spin and take a core from the
// computation it measures.)
void WaitForResult(const TForwardResponseWindow& Window)
{
    while (Window.Busy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The window over the example with the 48-electrode dipole-dipole survey
// of six levels, following edits, its first result shown.
void ShowExampleResponse(TForwardResponseWindow& Window, int Height)
{
    Window.ElectrodesBox->setValue(48);
    Window.LevelsBox->setValue(6);
    Window.SpacingEdit->clear();
    Window.FirstEdit->clear();
    Window.HostEdit->setText(QStringLiteral("100"));
    Window.FollowBox->setChecked(true);
    Window.resize(900, Height);
    Window.show();
    Window.Compute();
    WaitForResult(Window);
}

void BM_EditToNewPicture(benchmark::State& state)
{
    QTemporaryDir settings; // the user's settings stay as they are
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    TPolygonChart section;
    section.LoadSectionModel(bench::ExampleSection());
    TForwardResponseWindow window(section, nullptr);
    ShowExampleResponse(window, 620);
    // The clay's top right corner moves back and forth by 40 m.
    int corner = -1;
    for (int i = 0; i < section.Nodes.Length(); ++i)
        if (section.Nodes[i].x == 820 && section.Nodes[i].y == 20)
            corner = i;
    if (corner < 0 || !window.Result()) {
        state.SkipWithError("the example did not compute");
        return;
    }
    bool out = false;
    for (auto _ : state) {
        out = !out;
        section.Nodes[corner].x = out ? 860 : 820;
        window.ModelChanged();
        WaitForResult(window);
    }
    if (!window.ErrorText().isEmpty())
        state.SkipWithError(window.ErrorText().toStdString().c_str());
    state.counters["data"] = static_cast<double>(window.Result()->Resistivities.size());
    state.counters["nodes"] = window.Result()->MeshNodes;
}
BENCHMARK(BM_EditToNewPicture)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// The example's window comparing with a data file of 48 electrodes,
// dipole-dipole, 255 data: the example's own response, saved by the window
// and opened again as measured data.
class TMeasuredExample {
public:
    TMeasuredExample() : Window(Section, nullptr)
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Settings.path());
        Section.LoadSectionModel(bench::ExampleSection());
        ShowExampleResponse(Window, 900);
        const QString file = Settings.filePath(QStringLiteral("measured.dat"));
        if (!Window.SaveData(file, Error) || !Window.OpenMeasuredData(file, Error))
            return;
        Window.Compute();
        WaitForResult(Window);
        if (!Window.Result() || !Window.MeasuredData() || !Window.ErrorText().isEmpty())
            Error = QStringLiteral("the example did not compute at the measured data: ") + Window.ErrorText();
    }
    // Skips the benchmark with the reason when the window has no comparison.
    bool Failed(benchmark::State& State) const
    {
        if (Error.isEmpty())
            return false;
        State.SkipWithError(Error.toStdString().c_str());
        return true;
    }
    void Count(benchmark::State& State) const
    {
        if (!Window.ErrorText().isEmpty())
            State.SkipWithError(Window.ErrorText().toStdString().c_str());
        else if (Window.Result()) {
            State.counters["data"] = static_cast<double>(Window.Result()->Resistivities.size());
            State.counters["nodes"] = Window.Result()->MeshNodes;
        }
    }

    QTemporaryDir Settings; // the user's settings stay as they are; the data file
    TPolygonChart Section;
    TForwardResponseWindow Window;
    QString Error;
};

// A node moved (the clay's top right corner, by 40 m, back and forth): a new
// mesh, the three pictures drawn again.
void BM_MeasuredEditToNewPictures(benchmark::State& state)
{
    TMeasuredExample example;
    if (example.Failed(state))
        return;
    int corner = -1;
    for (int i = 0; i < example.Section.Nodes.Length(); ++i)
        if (example.Section.Nodes[i].x == 820 && example.Section.Nodes[i].y == 20)
            corner = i;
    if (corner < 0) {
        state.SkipWithError("the example's clay corner is not where it was");
        return;
    }
    bool out = false;
    for (auto _ : state) {
        out = !out;
        example.Section.Nodes[corner].x = out ? 860 : 820;
        example.Window.ModelChanged();
        WaitForResult(example.Window);
    }
    example.Count(state);
}
BENCHMARK(BM_MeasuredEditToNewPictures)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// The host's resistivity changed (100 and 120 ohm-m in turn), no geometry:
// the same mesh, the three pictures drawn again.
void BM_MeasuredParameterChange(benchmark::State& state)
{
    TMeasuredExample example;
    if (example.Failed(state))
        return;
    bool changed = false;
    for (auto _ : state) {
        changed = !changed;
        example.Window.HostEdit->setText(changed ? QStringLiteral("120") : QStringLiteral("100"));
        WaitForResult(example.Window);
    }
    example.Count(state);
}
BENCHMARK(BM_MeasuredParameterChange)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// The inversion window on the example's 255 data, from Invert to the
// finished image: the default mesh (its meshing included), every
// iteration posted and drawn, the pseudo-sections of the result.
void BM_InversionWindow(benchmark::State& state)
{
    TMeasuredExample example;
    if (example.Failed(state))
        return;
    TInversionWindow window(example.Section, nullptr);
    window.resize(1000, 700);
    window.show();
    window.SetMeasuredData(std::make_shared<const TMeasuredData>(*example.Window.MeasuredData()),
                           QStringLiteral("measured.dat"));
    for (auto _ : state) {
        if (!window.Invert()) {
            state.SkipWithError(window.ErrorText().toStdString().c_str());
            return;
        }
        while (window.Busy())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (!window.Result() || window.Result()->Steps.empty()) {
        state.SkipWithError(("no inversion: " + window.ErrorText()).toStdString().c_str());
        return;
    }
    state.counters["cells"] = window.Picture()->Mesh.Cells();
    state.counters["iterations"] = window.Result()->Steps.back().Iteration;
    state.counters["chi2"] = window.Result()->Steps.back().ChiSquare;
}
BENCHMARK(BM_InversionWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The host's resistivity typed (a new run starts), 100 ms of the run, then
// the window destroyed as closing it does: the time of the destruction.
void BM_CloseDuringARun(benchmark::State& state)
{
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    TPolygonChart section;
    section.LoadSectionModel(bench::ExampleSection());
    for (auto _ : state) {
        auto window = std::make_unique<TForwardResponseWindow>(section, nullptr);
        window->FollowBox->setChecked(true);
        window->resize(900, 620);
        window->show();
        window->HostEdit->setText(QStringLiteral("250"));
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
        while (std::chrono::steady_clock::now() < until)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        if (!window->Busy()) {
            state.SkipWithError("the run ended before the window closed");
            break;
        }
        const auto start = std::chrono::steady_clock::now();
        window.reset();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        // The abandoned run ends before the next window starts its own.
        TBackgroundThreads::Program().JoinAll();
    }
}
BENCHMARK(BM_CloseDuringARun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

} // namespace
} // namespace lp
