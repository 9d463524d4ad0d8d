// Work of the core spread over the machine's cores.
//
// A pass of the core (range scan, preview samples, text pass, conversion into posts, fractal
// generation) cuts its work into tasks that do not depend on one another and hands them to
// parallelFor. Threads live for one call only: parallelFor starts them and joins every one
// before it returns, so the host, whose plug-ins have no threads, never meets one. The calling
// thread runs tasks as well, and it alone may call the host: `between` runs on it between
// tasks, which is where a pass reports progress.
//
// Tasks must not throw, allocate from the host (sxMalloc) nor call any host function: what a
// task needs is allocated beforehand by the caller, one piece per worker, `worker` being
// 0 ... workersFor(tasks) - 1 and 0 the calling thread. A pass whose tasks write disjoint
// results, combined afterwards in task order, gives the same result on any number of threads.
#ifndef RELIEVO_RASTER_PARALLEL_H
#define RELIEVO_RASTER_PARALLEL_H

#include <cstdint>
#include <type_traits>

namespace relievo {

// Never more threads than this, whatever is asked for.
inline constexpr int kMaxWorkers = 64;

// The threads a pass may use: the count given to setWorkerThreads, else RELIEVO_THREADS when
// it holds a positive number, else the machine's cores; at least 1, at most kMaxWorkers.
int workerThreads();
// The host's setting: 1 keeps every pass on the calling thread; 0 (the start) goes back to
// RELIEVO_THREADS or the machine's cores.
void setWorkerThreads(int count);
// The workers for `tasks` tasks: workerThreads(), but no more than tasks and at least 1.
int workersFor(int tasks);

// How many parts to cut `amount` units of work into, for `workers` workers: several per worker
// so that a slow one does not hold the others up, none smaller than `smallest` units, and one
// part for a single worker.
int partsFor(std::int64_t amount, int workers, std::int64_t smallest);

using TaskFn = void (*)(void* context, int task, int worker);
using BetweenFn = void (*)(void* context);

// Runs run(context, task, worker) for every task in 0 ... tasks - 1 on up to `workers`
// threads (no more than there are tasks), the calling thread among them as worker 0, and
// between(context) (when not null) on the calling thread after each of its tasks, whenever
// another task ends while it waits for the last ones, and at the end. Returns when every task
// has run. Should the system refuse a thread, the threads it has do the work.
void runTasks(int tasks, int workers, TaskFn run, BetweenFn between, void* context);

// runTasks with callables: task(taskIndex, worker) and between().
template <typename Task, typename Between>
void parallelFor(int tasks, int workers, Task&& task, Between&& between) {
  struct Pair {
    std::remove_reference_t<Task>& task;
    std::remove_reference_t<Between>& between;
  } pair{task, between};
  runTasks(
      tasks, workers, [](void* c, int t, int w) { static_cast<Pair*>(c)->task(t, w); },
      [](void* c) { static_cast<Pair*>(c)->between(); }, &pair);
}

template <typename Task>
void parallelFor(int tasks, int workers, Task&& task) {
  runTasks(
      tasks, workers,
      [](void* c, int t, int w) { (*static_cast<std::remove_reference_t<Task>*>(c))(t, w); },
      nullptr, &task);
}

}  // namespace relievo

#endif  // RELIEVO_RASTER_PARALLEL_H
