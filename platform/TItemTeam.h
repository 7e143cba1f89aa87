// TItemTeam: numbered items of work (0 up to `items`) shared out over a
// TWorkerTeam: each worker takes the next item until none is left, so any
// number of workers does every item exactly once. work(item, worker) gets
// the worker's number too, for state a worker keeps between its items.
//
// Failures: the failure of the lowest failing item is raised on the
// caller's thread once every worker has stopped; items after a failed one
// are not begun (those already begun are finished), so the failure raised
// is the one a single worker going through the items in order would raise.
//
// RunInOrder adds deliver(item, worker), called in item order, one at a
// time, on the thread of the worker that did the item, each as soon as the
// items before it are delivered: the work runs ahead on every worker while
// the results go out in order. Items after a failed one are not delivered.
//
// Workers(work, grain): the workers worth starting for `work` units when a
// worker should have at least `grain` of them: the usable cores
// (TCores::Usable), fewer for small work, at least 1. A TFixedWorkers guard
// sets the count for the guard's lifetime (whatever the work; for tests that
// run every operation on 1 to 4 workers). Internal.
#ifndef QUILLMAP_PLATFORM_TITEMTEAM_H
#define QUILLMAP_PLATFORM_TITEMTEAM_H

#include <functional>

class TItemTeam {
public:
  using TWork = std::function<void(long item, unsigned worker)>;

  static void Run(long items, unsigned workers, const TWork& work);
  static void RunInOrder(long items, unsigned workers, const TWork& work, const TWork& deliver);

  static unsigned Workers(double work, double grain);

  class TFixedWorkers {
  public:
    explicit TFixedWorkers(unsigned workers);
    ~TFixedWorkers();
    TFixedWorkers(const TFixedWorkers&) = delete;
    TFixedWorkers& operator=(const TFixedWorkers&) = delete;

  private:
    unsigned MbrIntPrevious;
  };
};

#endif
