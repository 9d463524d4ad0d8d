#include "raster/parallel.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>

namespace relievo {

namespace {

std::atomic<int> setting{0};

int fromEnvironment() {
  const char* text = std::getenv("RELIEVO_THREADS");
  if (text == nullptr) return 0;
  int count = 0;
  const char* end = text + std::strlen(text);
  const auto [last, error] = std::from_chars(text, end, count);
  return error == std::errc() && last == end && count > 0 ? count : 0;
}

}  // namespace

int workerThreads() {
  int count = setting.load(std::memory_order_relaxed);
  if (count <= 0) count = fromEnvironment();
  if (count <= 0) count = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(count, 1, kMaxWorkers);
}

void setWorkerThreads(int count) {
  setting.store(std::max(count, 0), std::memory_order_relaxed);
}

int workersFor(int tasks) {
  return std::max(1, std::min(workerThreads(), tasks));
}

int partsFor(std::int64_t amount, int workers, std::int64_t smallest) {
  constexpr int kPartsPerWorker = 4;
  if (workers <= 1 || amount <= smallest) return 1;
  const std::int64_t parts = std::min<std::int64_t>(std::int64_t{workers} * kPartsPerWorker,
                                                    amount / std::max<std::int64_t>(smallest, 1));
  return static_cast<int>(std::max<std::int64_t>(parts, 1));
}

void runTasks(int tasks, int workers, TaskFn run, BetweenFn between, void* context) {
  std::atomic<int> next{0};
  std::atomic<int> completed{0};
  const auto work = [&](int worker) {
    for (int task = next.fetch_add(1); task < tasks; task = next.fetch_add(1)) {
      run(context, task, worker);
      completed.fetch_add(1);
      completed.notify_one();
      if (worker == 0 && between != nullptr) between(context);
    }
  };
  const int count = std::clamp(std::min(workers, tasks), 1, kMaxWorkers);
  std::array<std::thread, kMaxWorkers> threads;
  for (int worker = 1; worker < count; ++worker) {
    try {
      threads[static_cast<std::size_t>(worker)] = std::thread(work, worker);
    } catch (const std::system_error&) {
      break;  // the threads started so far share the tasks
    }
  }
  work(0);
  // While the last tasks run elsewhere, the calling thread goes on reporting.
  for (int done = completed.load(); done < tasks; done = completed.load()) {
    if (between != nullptr) between(context);
    completed.wait(done);
  }
  for (std::thread& thread : threads) {
    if (thread.joinable()) thread.join();
  }
  if (between != nullptr) between(context);
}

}  // namespace relievo
