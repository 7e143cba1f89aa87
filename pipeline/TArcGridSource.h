// TArcGridSource: an ESRI ASCII grid file as a source, read from a regular
// file that can be read more than once. Open reads the header as the reader
// reads it (TGridHeader, strict or lenient); Check checks every value the
// reader would read, in pieces of the body cut at white space (TBodyPieces),
// one piece per worker at a time (the work to do meanwhile taken first): the
// first failing value in file order decides the message, exactly as the
// whole-map reader would raise it, and a checkpoint (TBodyCheckpoints) is kept every few
// thousand values. Rows hands out readers (TArcGridRows) that start from the
// checkpoint before the first value they need.
//
// CheckAndUse checks the body the same way and, besides, reads it once for
// a consumer (TRowUse): each piece, once the pieces before it have counted
// their values, hands the rows that start in it, and the rows after them the
// consumer asks for (read on past the piece), to the consumer as rows in
// memory (TMemoryRows), on the worker that read it. Pieces are taken in file
// order; one waits only for the counts of those before it.
//
// Memory: the checkpoints (16 bytes each, one per 4096 values or more for
// huge files) and, while checking, a read window per worker; CheckAndUse
// adds per worker the values of a piece and of the rows it reads on (room
// for as many values as a piece's bytes could hold, set aside once). The
// file must outlive the source and its readers. Throws the reader's messages (see
// TARCGISFileTools.h): those of the header, "Unexpected end of file found in
// TARCGISFileTools::LoadARCGISFile" and "File format error: cell value is
// not a number in TARCGISFileTools::LoadARCGISFile".
#ifndef QUILLMAP_PIPELINE_TARCGRIDSOURCE_H
#define QUILLMAP_PIPELINE_TARCGRIDSOURCE_H

#include <atomic>
#include <cstdint>
#include <vector>

#include "gridio/TBodyCheckpoints.h"
#include "gridio/TBodyPieces.h"
#include "gridio/TFileRangeBuf.h"
#include "gridio/TGridHeader.h"
#include "pipeline/TGridSource.h"
#include "pipeline/TPipelineKnobs.h"
#include "platform/TFileDescriptor.h"

class TArcGridSource : public TGridSource {
public:
  TArcGridSource(const TFileDescriptor& file, std::uint64_t fileBytes, bool lenient,
                 const TPipelineKnobs& knobs);

  void Open() override;
  void Check(unsigned workers, const std::function<void()>& meanwhile) override;

  bool ReadsOnce() const override { return true; }
  // Rows that could not be handed over: the body has values that fail past
  // the grid's last, or the file changed; the checkpoints are complete all
  // the same.
  bool CheckAndUse(unsigned workers, const TRowUse& use) override;
  const TGridGeometry& Geometry() const override { return MbrHeader; }
  std::unique_ptr<TSourceRows> Rows(long firstRow, long firstColumn, long endColumn) const override;

private:
  // What a worker reads through, piece after piece: its window, and the
  // values of the piece it holds.
  struct TWorkerReads {
    TFileRangeBuf Window;
    std::vector<double> Values;
  };

  // The pieces checked on the workers; `meanwhile` runs on one of them, and
  // each piece read is handed to `use` when there is one.
  void CheckPieces(unsigned workers, const std::function<void()>& meanwhile, const TRowUse* use,
                   std::atomic<bool>& handedAll);
  // Hands the rows that start in piece p, read into `reads`, to `use`;
  // false when the rows they need cannot be read.
  bool HandRows(const TRowUse& use, const TBodyPieces& body, std::size_t p,
                const TBodyPieces::TPiece& piece, long long base, TWorkerReads& reads) const;
  const TFileDescriptor& MbrRefFile;
  std::uint64_t MbrLngFileBytes;
  bool MbrBlnLenient;
  const TPipelineKnobs& MbrRefKnobs;
  TGridHeader MbrHeader;
  std::uint64_t MbrLngBodyStart = 0;
  TBodyCheckpoints MbrCheckpoints;
};

#endif
