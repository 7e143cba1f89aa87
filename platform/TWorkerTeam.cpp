#include "platform/TWorkerTeam.h"

#include <exception>
#include <system_error>
#include <thread>
#include <vector>

void TWorkerTeam::Run(unsigned count, const std::function<void(unsigned)>& work,
                      const std::function<void()>& stop) {
  if (count == 0)
    count = 1;
  std::vector<std::exception_ptr> failures(count);
  auto guarded = [&](unsigned w) {
    try {
      work(w);
    } catch (...) {
      failures[w] = std::current_exception();
      stop();
    }
  };
  std::vector<std::thread> threads;
  threads.reserve(count - 1);
  try {
    for (unsigned w = 1; w < count; ++w)
      threads.emplace_back(guarded, w);
  } catch (const std::system_error&) {
    // No more threads: the workers started so far share the work.
  }
  guarded(0);
  for (std::thread& thread : threads)
    thread.join();
  for (const std::exception_ptr& failure : failures)
    if (failure)
      std::rethrow_exception(failure);
}
