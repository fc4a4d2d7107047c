#include "section/modelling/BackgroundRun.h"

#include "platform/base/Exception.h"
#include "section/modelling/BackgroundThreads.h"

#include <QtCore/QTimer>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <system_error>

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace lp {

namespace {

// A run computes at a lower scheduling priority than the editor, so that
// drawing and typing never wait for a processor while it runs. On Linux a
// thread's nice value is its own and the threads it starts inherit it (a
// computation's worker threads too).
void YieldToTheEditor()
{
#if defined(__linux__)
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
#endif
}

} // namespace

// The controller as its runs reach it: cut when the controller goes, so
// that a run ending later queues nothing.
struct TBackgroundRun::TLink {
    std::mutex Lock;
    QObject* Receiver = nullptr;
    TBackgroundRun* Run = nullptr;

    // Call runs on the receiver's (the user-interface) thread, unless the
    // controller has gone by then: deleting the receiver drops the calls
    // queued to it.
    void Post(std::function<void(TBackgroundRun&)> Call)
    {
        std::lock_guard<std::mutex> hold(Lock);
        if (Receiver == nullptr)
            return;
        TBackgroundRun* run = Run;
        QMetaObject::invokeMethod(
            Receiver, [run, Call = std::move(Call)] { Call(*run); }, Qt::QueuedConnection);
    }
    void Detach()
    {
        std::lock_guard<std::mutex> hold(Lock);
        Receiver = nullptr;
        Run = nullptr;
    }
};

struct TRunControl::TState {
    int Serial = 0;
    std::atomic<bool> Cancelled{false};
    std::atomic<int> ShownPercent{-1};
    std::shared_ptr<TBackgroundRun::TLink> Link;
};

bool TRunControl::Cancelled() const
{
    return FState->Cancelled.load();
}

bool TRunControl::Progress(double Fraction)
{
    if (FState->Cancelled)
        return false;
    const double fraction = std::isfinite(Fraction) ? std::clamp(Fraction, 0.0, 1.0) : 0.0;
    const int percent = static_cast<int>(std::floor(100.0 * fraction));
    // A computation reports often (every block of electrodes, say): the
    // user-interface thread hears of a new whole per cent only, so that its
    // event loop is never flooded.
    int shown = FState->ShownPercent.load();
    while (percent > shown) {
        if (FState->ShownPercent.compare_exchange_weak(shown, percent)) {
            const int serial = FState->Serial;
            FState->Link->Post([serial, percent](TBackgroundRun& Run) { Run.ProgressReached(serial, percent); });
            break;
        }
    }
    return !FState->Cancelled;
}

void TRunControl::Post(std::any Value)
{
    const int serial = FState->Serial;
    FState->Link->Post([serial, Value = std::move(Value)](TBackgroundRun& Run) {
        if (serial == Run.FSerial && Run.FBusy && Run.OnIntermediate)
            Run.OnIntermediate(Value);
    });
}

TBackgroundRun::TBackgroundRun() : TBackgroundRun(TBackgroundThreads::Program()) {}

TBackgroundRun::TBackgroundRun(TBackgroundThreads& Threads)
    : FThreads(Threads), FReceiver(std::make_unique<QObject>()), FLink(std::make_shared<TLink>())
{
    FLink->Receiver = FReceiver.get();
    FLink->Run = this;
}

TBackgroundRun::~TBackgroundRun()
{
    // Never joined here: a run looks for its cancellation only now and
    // then, and the owner does not wait for it.
    if (FRun)
        FRun->Cancelled = true;
    FLink->Detach();
    FReceiver.reset();
}

bool TBackgroundRun::Start(TWork Work)
{
    if (FRun)
        FRun->Cancelled = true; // a newer start makes it obsolete
    auto state = std::make_shared<TRunControl::TState>();
    state->Serial = ++FSerial;
    state->Link = FLink;
    FRun = state;
    FBusy = true;
    FStale = true;
    FChangedDuringRun = false;
    if (FBar)
        FBar->setValue(0);
    try {
        FThreads.Start([state, Work = std::move(Work)] { RunOnThread(state, Work); });
    } catch (const std::system_error&) {
        Drop();
        return false;
    }
    const int serial = state->Serial;
    QTimer::singleShot(ProgressDelay, FReceiver.get(), [this, serial] {
        if (!FBusy || serial != FSerial)
            return;
        if (FBar)
            FBar->show();
        if (FCancelButton)
            FCancelButton->show();
    });
    return true;
}

// On the run's own thread.
void TBackgroundRun::RunOnThread(const std::shared_ptr<TRunControl::TState>& State, const TWork& Work)
{
    YieldToTheEditor();
    TRunEnd end;
    TRunControl control(State);
    try {
        // A run made obsolete before it began does not begin.
        if (!State->Cancelled)
            end.Result = Work(control);
    } catch (const Exception& Error) {
        end.Kind = TRunEnd::Failed;
        end.Error = QString::fromStdString(Error.Message());
    } catch (const std::exception& Error) {
        end.Kind = TRunEnd::Failed;
        end.Error = QString::fromUtf8(Error.what());
    } catch (...) {
        end.Kind = TRunEnd::Failed;
        end.Error = QStringLiteral("The computation failed.");
    }
    // A cancelled run's end, however it came, is its cancellation.
    if (State->Cancelled) {
        end.Kind = TRunEnd::Cancelled;
        end.Result.reset();
        end.Error.clear();
    }
    const int serial = State->Serial;
    State->Link->Post([serial, end = std::move(end)](TBackgroundRun& Run) { Run.Ended(serial, end); });
}

void TBackgroundRun::Ended(int Serial, const TRunEnd& End)
{
    if (Serial != FSerial || !FBusy)
        return; // an older run: a newer one is under way or done
    FBusy = false;
    FRun.reset();
    if (End.Kind == TRunEnd::Done) {
        FHasResult = true;
        FStale = FChangedDuringRun;
    }
    HideProgress();
    if (OnEnd)
        OnEnd(End);
}

void TBackgroundRun::ProgressReached(int Serial, int Percent)
{
    if (Serial != FSerial || !FBusy)
        return;
    if (FBar)
        FBar->setValue(Percent);
    if (OnProgress)
        OnProgress(Percent);
}

void TBackgroundRun::Cancel()
{
    if (FRun)
        FRun->Cancelled = true;
}

void TBackgroundRun::Drop()
{
    Cancel();
    FRun.reset();
    ++FSerial;
    FBusy = false;
    FStale = FHasResult;
    HideProgress();
}

void TBackgroundRun::InputChanged()
{
    if (FBusy)
        FChangedDuringRun = true;
    FStale = FHasResult || FBusy;
}

void TBackgroundRun::ShowProgressIn(QProgressBar* Bar, QAbstractButton* CancelButton)
{
    FBar = Bar;
    FCancelButton = CancelButton;
    if (FBar)
        FBar->setRange(0, 100);
    if (FCancelButton)
        QObject::connect(FCancelButton, &QAbstractButton::clicked, FReceiver.get(), [this] { Cancel(); });
    HideProgress();
}

void TBackgroundRun::HideProgress()
{
    if (FBar)
        FBar->hide();
    if (FCancelButton)
        FCancelButton->hide();
}

void AddProgressRow(QWidget& Owner, QBoxLayout& Into, const QString& Prefix, QProgressBar*& Bar,
                    QPushButton*& Cancel)
{
    auto* row = new QHBoxLayout;
    Bar = new QProgressBar(&Owner);
    Bar->setObjectName(Prefix + QStringLiteral("Progress"));
    Bar->setRange(0, 100);
    Cancel = new QPushButton(QStringLiteral("Cancel"), &Owner);
    Cancel->setObjectName(Prefix + QStringLiteral("CancelButton"));
    // Enter in a dialog never cancels by default.
    Cancel->setAutoDefault(false);
    row->addWidget(Bar, 1);
    row->addWidget(Cancel);
    Into.addLayout(row);
    for (QWidget* widget : std::initializer_list<QWidget*>{Bar, Cancel}) {
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
        widget->hide();
    }
}

} // namespace lp
