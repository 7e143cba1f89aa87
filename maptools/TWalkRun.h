// TWalkRun: the ordinates of the resampling walk along one axis: where they
// start, their step and where the walk stops, from the result's first and
// last edges, the source's cell size S and the new one R:
//
//   x: from the west edge + S, step +R, while x <= east edge - S - R;
//   y, descending (first edge above the last): from the first edge - S - R,
//      step -R, while y >= last edge + S;
//   y, ascending: from the first edge + S, step +R, while y <= last edge - S.
//
// TWalkSteps runs through them: the first ordinate is taken untested (the
// walk tests the first x itself, and takes every column's first y
// unconditionally), each further one by repeated addition while the walk
// goes on; a step that does not move the ordinate ends the run as a stall,
// which the walk reports. Internal: the in-memory walk and the file-to-file
// resampling take their ordinates from here. Nothing here throws.
#ifndef QUILLMAP_MAPTOOLS_TWALKRUN_H
#define QUILLMAP_MAPTOOLS_TWALKRUN_H

struct TWalkRun {
  double Start = 0.0;
  double Step = 0.0;
  double End = 0.0;
  bool Descending = false;

  static TWalkRun AlongX(double west, double east, double S, double R);
  static TWalkRun AlongY(double first, double last, double S, double R);

  bool GoesOn(double ordinate) const { return Descending ? ordinate >= End : ordinate <= End; }
};

class TWalkSteps {
public:
  explicit TWalkSteps(const TWalkRun& run) : MbrRun(run), MbrDblValue(run.Start) {}
  // From an ordinate of the run reached before (a checkpoint).
  TWalkSteps(const TWalkRun& run, double value) : MbrRun(run), MbrDblValue(value) {}

  double Value() const { return MbrDblValue; }
  // Moves to the next ordinate; false when the run ends there (stalling or
  // not), the value then staying the last one.
  bool Advance() {
    const double next = MbrDblValue + MbrRun.Step;
    if (!MbrRun.GoesOn(next))
      return false;
    if (next == MbrDblValue) {
      MbrBlnStalls = true;
      return false;
    }
    MbrDblValue = next;
    return true;
  }
  // Whether the run ended because a step did not move the ordinate.
  bool Stalls() const { return MbrBlnStalls; }

private:
  TWalkRun MbrRun;
  double MbrDblValue;
  bool MbrBlnStalls = false;
};

#endif
