// TWorkerTeam: runs one piece of work on several threads at once and waits
// for all of them: work(w) for every worker w in [0, count) (count 0 counts
// as 1), worker 0 on
// the calling thread and each other on a thread of its own, as far as
// threads can be started (a process or address-space limit may allow
// fewer, down to the caller's thread alone). The work must therefore be
// shared out dynamically (each worker takes the next item until none is
// left), so that any number of workers finishes it.
//
// When a worker fails, stop() is called on its thread, so that the others
// can finish early; once all have returned, the failure of the lowest
// failing worker is raised on the caller's thread. Nothing else is raised.
#ifndef QUILLMAP_PLATFORM_TWORKERTEAM_H
#define QUILLMAP_PLATFORM_TWORKERTEAM_H

#include <functional>

class TWorkerTeam {
public:
  static void Run(
      unsigned count, const std::function<void(unsigned)>& work,
      const std::function<void()>& stop = [] {});
};

#endif
