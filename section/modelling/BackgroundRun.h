#pragma once
// One long computation at a time for a window, run away from the editor:
// the forward response, region fitting and inversion all start theirs
// through it.
//
//   owner window ──owns── TBackgroundRun ──owns── a receiver (QObject)
//                                │
//                         TBackgroundThreads (the program's)
//                                │
//                  the work on a thread of its own, at a lower priority,
//                  holding only a TRunControl (its cancellation, and a
//                  link to the receiver that the controller cuts on going)
//
// Start() hands the work to a thread; every start cancels the runs before
// it, and what they still deliver is dropped: the newest start wins. The
// work reports its progress through TRunControl::Progress (the
// user-interface thread hears of each new whole per cent only) and may
// post intermediate results (an iteration's χ², say); its return value is
// the result. Everything reaches the owner as queued calls on the
// user-interface thread, and only while the controller lives: a window
// that closes never waits for its run, which ends in the background and
// delivers nowhere.
//
// The controller also keeps whether the shown result is out of date: a
// change of the input (InputChanged) marks it so, and so does a start
// until its result comes; a change during a run leaves that run's result
// out of date too. A progress bar and a Cancel button may be handed to it:
// they show once a run lasts longer than ProgressDelay.

#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtCore/QString>

#include <any>
#include <atomic>
#include <functional>
#include <memory>

class QAbstractButton;
class QBoxLayout;
class QProgressBar;
class QPushButton;
class QWidget;

namespace lp {

class TBackgroundThreads;

// What the work holds of its run, on the run's own thread.
class TRunControl {
public:
    // The run is no longer wanted (cancelled, or a newer run started, or
    // its owner went): the work should end soon, its result is dropped.
    bool Cancelled() const;
    // The fraction done (0 to 1; other values are clamped); false once the
    // run is cancelled, so that a computation's progress callback can
    // return it as it stands.
    bool Progress(double Fraction);
    // An intermediate result for OnIntermediate, in the order posted.
    void Post(std::any Value);

private:
    friend class TBackgroundRun;
    struct TState;
    explicit TRunControl(std::shared_ptr<TState> State) : FState(std::move(State)) {}
    std::shared_ptr<TState> FState;
};

// How a run ended, as OnEnd hears it.
struct TRunEnd {
    enum TKind { Done, Cancelled, Failed };
    TKind Kind = Done;
    std::any Result;   // Done: what the work returned
    QString Error;     // Failed: the exception's message
};

class TBackgroundRun {
public:
    using TWork = std::function<std::any(TRunControl&)>;

    // Runs go to Threads (the program's set unless a test gives its own).
    TBackgroundRun();
    explicit TBackgroundRun(TBackgroundThreads& Threads);
    TBackgroundRun(const TBackgroundRun&) = delete;
    TBackgroundRun& operator=(const TBackgroundRun&) = delete;
    // Cancels the run under way without waiting for it; nothing it still
    // delivers reaches the owner.
    ~TBackgroundRun();

    // Starts Work on a thread of its own at a lower scheduling priority;
    // the run before it is cancelled and dropped. False when no thread
    // could be had (nothing runs then, and the controller is idle).
    bool Start(TWork Work);
    // Asks the run under way to stop; OnEnd hears of it as Cancelled once
    // the work has ended.
    void Cancel();
    // Cancels the run under way and forgets it at once: it is not busy
    // from now on and OnEnd hears nothing of it (a start refused on the
    // user-interface side, say).
    void Drop();
    // The input changed: the shown result (and that of a run under way) is
    // out of date.
    void InputChanged();

    bool Busy() const { return FBusy; }
    // The last result is older than the input (or a run is under way).
    bool Stale() const { return FStale; }
    // Some run has delivered a result.
    bool HasResult() const { return FHasResult; }

    // The progress bar (0 to 100) and Cancel button shown while a run lasts
    // longer than ProgressDelay (ms), hidden when it ends; the button
    // cancels. Either may be nullptr.
    void ShowProgressIn(QProgressBar* Bar, QAbstractButton* CancelButton);
    int ProgressDelay = 400;

    // On the user-interface thread, for the newest run only.
    std::function<void(int Percent)> OnProgress;
    std::function<void(const std::any& Value)> OnIntermediate;
    std::function<void(const TRunEnd& End)> OnEnd;

private:
    friend class TRunControl;
    struct TLink;
    static void RunOnThread(const std::shared_ptr<TRunControl::TState>& State, const TWork& Work);
    void Ended(int Serial, const TRunEnd& End);
    void ProgressReached(int Serial, int Percent);
    void HideProgress();

    TBackgroundThreads& FThreads;
    // Where the runs' calls are queued: deleted with the controller, and
    // with it every call still waiting.
    std::unique_ptr<QObject> FReceiver;
    std::shared_ptr<TLink> FLink;              // shared with every run
    std::shared_ptr<TRunControl::TState> FRun; // the newest run
    int FSerial = 0;
    bool FBusy = false;
    bool FStale = false;
    bool FHasResult = false;
    bool FChangedDuringRun = false;
    QPointer<QProgressBar> FBar;
    QPointer<QAbstractButton> FCancelButton;
};

// A progress bar and a Cancel button for ShowProgressIn, in a row added to
// Into, hidden, named Prefix + "Progress" and Prefix + "CancelButton". Their
// place is kept while they are hidden: a run that starts or ends repaints
// that row only, never what lies below it.
void AddProgressRow(QWidget& Owner, QBoxLayout& Into, const QString& Prefix, QProgressBar*& Bar,
                    QPushButton*& Cancel);

} // namespace lp
