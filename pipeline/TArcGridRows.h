// TArcGridRows: a reader of a run of columns of an ESRI ASCII grid file's
// rows (TSourceRows), for TArcGridSource: each row's run is read with the
// reader's rules (short decimals a run at a time, each other value on its
// own), from where the reader stands when that is
// near, else from the body checkpoint at or before the run's first value,
// so that a run costs its own values and at most two checkpoint spacings
// more, wherever it lies in the file.
//
// The body was checked before: a value that fails now means that the file
// changed since, and raises the reader's message for it. The file and the
// checkpoints must outlive the reader.
#ifndef QUILLMAP_PIPELINE_TARCGRIDROWS_H
#define QUILLMAP_PIPELINE_TARCGRIDROWS_H

#include <istream>
#include <optional>

#include "gridio/TBodyCheckpoints.h"
#include "gridio/TFileRangeBuf.h"
#include "gridio/TGridTokenizer.h"
#include "pipeline/TSourceRows.h"
#include "platform/TFileDescriptor.h"

class TArcGridRows : public TSourceRows {
public:
  // What the source knows of its body.
  struct TBody {
    const TFileDescriptor& File;
    const TBodyCheckpoints& Checkpoints;
    long Columns;
    bool Lenient;
    std::size_t ReadBytes;
  };

  TArcGridRows(const TBody& body, long firstRow, long firstColumn, long endColumn);
  const double* Row(long row, double* buffer) override;
  void Restart(long firstRow, long firstColumn, long endColumn) override;

private:
  // Positions the reader at the value, from a checkpoint when that is
  // shorter.
  void MoveTo(long long value);
  double NextValue();

  TBody MbrBody;
  long MbrLngFirstColumn;
  long MbrLngEndColumn;
  TFileRangeBuf MbrBuffer;
  std::istream MbrStream;
  std::optional<TGridTokenizer> MbrTokenizer;
  // The index of the next value the tokenizer reads.
  long long MbrLngPosition = 0;
};

#endif
