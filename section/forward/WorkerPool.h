#pragma once
// The worker threads the computations share: made once, on first use, as
// many as the process has usable cores less one (the caller is the other),
// and joined when the program ends. A thread made and joined for every
// matrix product cost more than the product on a loaded machine (each join
// waited for the scheduler), and one inversion made tens of thousands.
//
// RunShared(Participants, Task) runs Task on the calling thread and on up
// to Participants - 1 free workers at once, and returns when every copy
// that started has ended. A copy no worker took up by the time the
// caller's own copy ends is not run at all: a task shares its work through
// a counter of its own (blocks, wavenumbers), so the caller's copy does all
// of it when no worker is free, and nobody waits for a busy machine's
// scheduler. A task run from within a shared task (a product inside a
// wavenumber's work) runs on its thread alone, so nesting never waits for
// workers that are all taken. Several callers may share the pool at once.
//
// The first exception a copy raises is raised again in the caller once all
// copies have ended.

#include <functional>

namespace lp {

void RunShared(int Participants, const std::function<void()>& Task);

// The workers made so far (for benchmarks and tests: a run makes none
// beyond the first use's).
int WorkerThreadsMade();

} // namespace lp
