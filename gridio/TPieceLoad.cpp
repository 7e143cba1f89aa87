#include "gridio/TPieceLoad.h"

#include <algorithm>
#include <istream>
#include <memory>
#include <mutex>
#include <vector>

#include "gridio/TBodyPieces.h"
#include "gridio/TFileRangeBuf.h"
#include "gridio/TGridHeader.h"
#include "gridio/TGridTokenizer.h"
#include "platform/TItemTeam.h"

namespace {
using TPiece = TBodyPieces::TPiece;

const std::size_t kReadBytes = 1 << 18;
// Body bytes worth a worker of their own, and the pieces of each worker.
const double kBytesPerWorker = 1 << 20;
const std::uint64_t kPiecesPerWorker = 8;

using THead = TPieceLoad::THead;

// The pieces scanned, and whether those scanned so far in file order decide
// the body, so that no later piece need be begun.
class TScanned {
public:
  TScanned(std::size_t count, long long needed)
      : MbrVecPieces(count), MbrVecDone(count, false), MbrLngNeeded(needed) {}

  bool Decided() {
    std::lock_guard<std::mutex> lock(MbrMutex);
    return MbrBlnDecided;
  }
  void Done(std::size_t p, TPiece piece) {
    std::lock_guard<std::mutex> lock(MbrMutex);
    MbrVecPieces[p] = std::move(piece);
    MbrVecDone[p] = true;
    while (MbrLngPrefix < MbrVecDone.size() && MbrVecDone[MbrLngPrefix])
      ++MbrLngPrefix;
    MbrBlnDecided = TBodyPieces::Decide(MbrVecPieces, MbrLngPrefix, MbrLngNeeded);
  }
  std::vector<TPiece>& Pieces() { return MbrVecPieces; }

private:
  std::mutex MbrMutex;
  std::vector<TPiece> MbrVecPieces;
  std::vector<bool> MbrVecDone;
  long long MbrLngNeeded;
  std::size_t MbrLngPrefix = 0;
  bool MbrBlnDecided = false;
};

// The pieces up to the one that decides the body, scanned on the workers;
// raises the body's failure. keepValues: the pieces keep their values.
std::vector<TPiece> ScanBody(const TFileDescriptor& file, std::uint64_t fileBytes,
                             const THead& head, bool lenient, bool keepValues, unsigned& workers) {
  const std::uint64_t bodyBytes = fileBytes > head.BodyStart ? fileBytes - head.BodyStart : 0;
  workers = TItemTeam::Workers(static_cast<double>(bodyBytes), kBytesPerWorker);
  const std::uint64_t pieces = workers * kPiecesPerWorker;
  const TBodyPieces body(file, head.BodyStart, fileBytes,
                         std::max<std::uint64_t>(1, (bodyBytes + pieces - 1) / pieces), lenient,
                         kReadBytes);
  const long long needed = TBodyPieces::Needed(head.Header);
  TScanned scanned(body.Count(), needed);
  TItemTeam::Run(static_cast<long>(body.Count()), workers, [&](long p, unsigned) {
    if (!scanned.Decided())
      scanned.Done(static_cast<std::size_t>(p),
                   body.Scan(static_cast<std::size_t>(p), 0, keepValues));
  });
  TBodyPieces::Collect(scanned.Pieces(), needed, nullptr);
  return std::move(scanned.Pieces());
}

// The pieces' values in body order, read in runs that stay inside one block.
class TBodyValues {
public:
  explicit TBodyValues(const std::vector<TPiece>& pieces) : MbrRefPieces(pieces), MbrVecStarts{0} {
    for (const TPiece& piece : pieces)
      MbrVecStarts.push_back(MbrVecStarts.back() + piece.Count);
  }

  // take(index, from, count) for the runs of values [at, end), in order:
  // values index to index + count - 1 are at from.
  template <class TTake> void ForEachRun(long long at, long long end, TTake take) const {
    const std::vector<long long>& starts = MbrVecStarts;
    std::size_t p = static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), at) -
                                             starts.begin() - 1);
    while (at < end) {
      while (at == starts[p + 1])
        ++p;
      const TPiece& piece = MbrRefPieces[p];
      const long long inPiece = at - starts[p];
      const long long count =
          std::min({end, starts[p + 1], at + piece.BlockValues - inPiece % piece.BlockValues}) - at;
      take(at, piece.At(inPiece), count);
      at += count;
    }
  }

private:
  const std::vector<TPiece>& MbrRefPieces;
  std::vector<long long> MbrVecStarts;
};

// fill(first, end) for bands of rows on the workers.
template <class TFill> void ForRowBands(long rows, unsigned workers, TFill fill) {
  const long bandRows = std::max<long>(1, rows / (static_cast<long>(workers) * 4));
  TItemTeam::Run((rows + bandRows - 1) / bandRows, workers, [&](long band, unsigned) {
    fill(band * bandRows, std::min(rows, (band + 1) * bandRows));
  });
}

// Copies the first needed values of the pieces into the map's rows.
void FillRows(TMap& map, const std::vector<TPiece>& pieces, unsigned workers) {
  const long columns = map.MbrLngXDim;
  const TBodyValues values(pieces);
  // Reserved here, touched first by the workers: one heap grows, while
  // the page faults are shared out.
  for (std::vector<double>& row : map.MbrVecValues)
    row.reserve(static_cast<std::size_t>(columns));
  ForRowBands(map.MbrLngYDim, workers, [&](long first, long end) {
    for (long y = first; y < end; ++y) {
      std::vector<double>& row = map.MbrVecValues[y];
      const long long at = static_cast<long long>(y) * columns;
      values.ForEachRun(at, at + columns, [&](long long, const double* from, long long count) {
        row.insert(row.end(), from, from + count);
      });
    }
  });
}

// Copies them into row-major cells.
void FillCells(double* cells, const TGridHeader& header, const std::vector<TPiece>& pieces,
               unsigned workers) {
  const long long columns = header.Columns;
  const TBodyValues values(pieces);
  ForRowBands(header.Rows, workers, [&](long first, long end) {
    values.ForEachRun(first * columns, end * columns,
                      [&](long long at, const double* from, long long count) {
                        std::copy(from, from + count, cells + at);
                      });
  });
}
} // namespace

bool TPieceLoad::Applies(std::uint64_t fileBytes) {
  return TItemTeam::Workers(static_cast<double>(fileBytes), kBytesPerWorker) > 1;
}

THead TPieceLoad::ReadHead(const TFileDescriptor& file, bool lenient) {
  TFileRangeBuf buffer(file, 0, TFileRangeBuf::kNoLimit, false, kReadBytes);
  std::istream stream(&buffer);
  TGridTokenizer in(stream);
  THead head;
  head.Header = TGridHeader::Read(in, lenient);
  in.Commit();
  head.BodyStart = buffer.Position();
  return head;
}

TMap* TPieceLoad::Load(const TFileDescriptor& file, std::uint64_t fileBytes, const THead& head,
                       bool lenient) {
  unsigned workers = 1;
  const std::vector<TPiece> pieces = ScanBody(file, fileBytes, head, lenient, true, workers);
  std::unique_ptr<TMap> map = head.Header.Frame();
  map->MbrVecValues.resize(static_cast<std::size_t>(head.Header.Rows));
  FillRows(*map, pieces, workers);
  return map.release();
}

void TPieceLoad::LoadCells(const TFileDescriptor& file, std::uint64_t fileBytes, const THead& head,
                           bool lenient, double* cells) {
  unsigned workers = 1;
  const std::vector<TPiece> pieces = ScanBody(file, fileBytes, head, lenient, true, workers);
  FillCells(cells, head.Header, pieces, workers);
}

bool TPieceLoad::CanHold(std::uint64_t fileBytes, const THead& head) {
  const std::uint64_t bodyBytes = fileBytes > head.BodyStart ? fileBytes - head.BodyStart : 0;
  // Halved first: twice the count may not fit.
  return static_cast<std::uint64_t>(TBodyPieces::Needed(head.Header)) <= bodyBytes / 2 + 1;
}

void TPieceLoad::CheckBody(const TFileDescriptor& file, std::uint64_t fileBytes, const THead& head,
                           bool lenient) {
  unsigned workers = 1;
  ScanBody(file, fileBytes, head, lenient, false, workers);
}
