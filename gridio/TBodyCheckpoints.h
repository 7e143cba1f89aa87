// TBodyCheckpoints: where values of a grid file's body lie: the file offset
// of every Spacing()-th value (and of the first), found while the body was
// checked, so that a reader can start at any value from the checkpoint at or
// before it and read at most Spacing() - 1 values to reach it. Memory: 16
// bytes per checkpoint. Nothing here throws but allocation failures.
#ifndef QUILLMAP_GRIDIO_TBODYCHECKPOINTS_H
#define QUILLMAP_GRIDIO_TBODYCHECKPOINTS_H

#include <cstdint>
#include <vector>

class TBodyCheckpoints {
public:
  struct TCheckpoint {
    long long Value;
    std::uint64_t Offset;
  };

  void SetSpacing(long long spacing) { MbrLngSpacing = spacing; }
  long long Spacing() const { return MbrLngSpacing; }
  // Checkpoints come in increasing value order, the first at value 0.
  void Add(const TCheckpoint& checkpoint) { MbrVecCheckpoints.push_back(checkpoint); }
  // The last checkpoint at or before the value.
  const TCheckpoint& Before(long long value) const;

private:
  long long MbrLngSpacing = 1;
  std::vector<TCheckpoint> MbrVecCheckpoints;
};

#endif
