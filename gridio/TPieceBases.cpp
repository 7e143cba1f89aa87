#include "gridio/TPieceBases.h"

TPieceBases::TPieceBases(std::size_t pieces)
    : MbrVecCounts(pieces, -1), MbrVecBases(pieces + 1, 0) {}

void TPieceBases::Publish(std::size_t piece, long long count) {
  std::lock_guard<std::mutex> lock(MbrMutex);
  MbrVecCounts[piece] = count;
  for (; MbrLngKnown < MbrVecCounts.size() && MbrVecCounts[MbrLngKnown] >= 0; ++MbrLngKnown)
    MbrVecBases[MbrLngKnown + 1] = MbrVecBases[MbrLngKnown] + MbrVecCounts[MbrLngKnown];
  MbrCondition.notify_all();
}

bool TPieceBases::Await(std::size_t piece, long long& base) {
  std::unique_lock<std::mutex> lock(MbrMutex);
  MbrCondition.wait(lock, [&] { return MbrBlnStopped || MbrLngKnown >= piece; });
  base = MbrVecBases[piece];
  return MbrLngKnown >= piece;
}

void TPieceBases::Stop() {
  std::lock_guard<std::mutex> lock(MbrMutex);
  MbrBlnStopped = true;
  MbrCondition.notify_all();
}
