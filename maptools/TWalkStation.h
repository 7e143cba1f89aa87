// TWalkStation: everything one ordinate of the resampling walk needs, along
// one axis: the ordinate, the result cell that holds it, the two source
// cells around it (the pair whose centres enclose it, the lower-valued side
// where it lies level with a centre) with their centre ordinates, and
// whether its lookups or its pair's indices fail. A walk point is the pair
// of its column's station and its row's station. Internal to the toolkit:
// the in-memory walk resolves stations from a map's axes, the file-to-file
// resampling from a grid's header, and both fill rows and raise failures
// from them (TRowFill, TWalkFailure).
#ifndef QUILLMAP_MAPTOOLS_TWALKSTATION_H
#define QUILLMAP_MAPTOOLS_TWALKSTATION_H

struct TWalkStation {
  enum class TFailure {
    None,
    // The ordinate lies outside the result's or the source's edges (or is
    // not a number): the lookup fails.
    Outside,
    // The pair's lower (higher) index is outside the source: X1 or Y1 (X2 or
    // Y2).
    LowIndex,
    HighIndex
  };

  double At = 0.0;
  long Cell = 0;
  long Low = 0;
  long High = 0;
  double LowCentre = 0.0;
  double HighCentre = 0.0;
  TFailure Failure = TFailure::Outside;

  bool Fails() const { return Failure != TFailure::None; }

  // The station of ordinate `at` in result cell `cell` and source cell
  // `index` of a source of `count` cells, whose centres centre(i) gives:
  // the pair below the centre of `index` when the ordinate lies beyond it in
  // the axis's direction of decreasing index, as the walk chooses it (west
  // when at <= the centre along x; north when at > the centre along a
  // descending y).
  template <class TCentre>
  static TWalkStation Resolve(double at, long cell, long index, long count, bool descending,
                              TCentre centre) {
    TWalkStation station;
    station.At = at;
    station.Cell = cell;
    const double middle = centre(index);
    const bool lowerPair = descending ? at > middle : at <= middle;
    station.Low = lowerPair ? index - 1 : index;
    station.High = station.Low + 1;
    if (station.Low < 0)
      station.Failure = TFailure::LowIndex;
    else if (station.High >= count)
      station.Failure = TFailure::HighIndex;
    else {
      station.Failure = TFailure::None;
      station.LowCentre = centre(station.Low);
      station.HighCentre = centre(station.High);
    }
    return station;
  }
  // A station whose lookups fail.
  static TWalkStation OutsideAt(double at) {
    TWalkStation station;
    station.At = at;
    return station;
  }
};

#endif
