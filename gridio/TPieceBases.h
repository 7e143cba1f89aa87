// TPieceBases: the value index each piece of a body starts at (its base),
// known once every piece before it has published how many values it holds,
// for workers that take pieces in file order: each publishes its piece's
// count before it awaits its base, so that no worker waits on a piece that
// has not been begun. Stop() (a failure elsewhere, or nothing more to
// read) releases the workers that wait: from then on Await gives a base
// only where it is already known.
//
// Invariants: bases are sums of the published counts of the pieces before,
// each piece published once. Nothing here throws but allocation failures
// (on construction). Internal to the piece readers.
#ifndef QUILLMAP_GRIDIO_TPIECEBASES_H
#define QUILLMAP_GRIDIO_TPIECEBASES_H

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

class TPieceBases {
public:
  explicit TPieceBases(std::size_t pieces);

  void Publish(std::size_t piece, long long count);
  // Waits for piece's base; false when stopped before it was known.
  bool Await(std::size_t piece, long long& base);
  void Stop();

private:
  std::mutex MbrMutex;
  std::condition_variable MbrCondition;
  std::vector<long long> MbrVecCounts;
  std::vector<long long> MbrVecBases;
  std::size_t MbrLngKnown = 0;
  bool MbrBlnStopped = false;
};

#endif
