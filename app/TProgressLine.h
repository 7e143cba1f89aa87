// TProgressLine: the progress of one run as the line
// "0...10...20...30...40...50...60...70...80...90...100 - done." and its line
// end, written to a stream as the run advances: 41 ticks, one per 2.5% of
// the result, each a number at every tenth and a dot between them. Every
// tick is written exactly once and in order, the last ("100 - done." and
// the line end) only when the whole result is reported. Nothing is written
// before the first report, so a run that fails before writing leaves the
// stream empty.
//
// Report takes non-decreasing fractions from 0 to 1, one call at a time (a
// fraction below an earlier one, or not a number, writes nothing). The
// stream is the caller's and outlives the line. Nothing here throws but
// what the stream throws.
#ifndef QUILLMAP_APP_TPROGRESSLINE_H
#define QUILLMAP_APP_TPROGRESSLINE_H

#include <ostream>

class TProgressLine {
public:
  explicit TProgressLine(std::ostream& out);

  // Writes the ticks up to `fraction` of the result that are not yet written.
  void Report(double fraction);
  // Ends a line that was started and not finished, so that what follows
  // (a failure's message) stands on a line of its own.
  void Interrupt();

private:
  std::ostream& MbrOut;
  // The ticks written so far, 0 to 41.
  int MbrIntWritten;
};

#endif
