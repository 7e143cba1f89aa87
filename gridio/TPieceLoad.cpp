#include "gridio/TPieceLoad.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <istream>
#include <memory>
#include <mutex>
#include <vector>

#include "gridio/TBodyPieces.h"
#include "gridio/TFileRangeBuf.h"
#include "gridio/TGridHeader.h"
#include "gridio/TGridTokenizer.h"
#include "gridio/TPieceBases.h"
#include "maptools/MapSupport.h"
#include "platform/TItemTeam.h"
#include "platform/TWorkerTeam.h"

namespace {
using TPiece = TBodyPieces::TPiece;

const std::size_t kReadBytes = 1 << 18;
// Body bytes worth a worker of their own, and the pieces of each worker.
const double kBytesPerWorker = 1 << 20;
const std::uint64_t kPiecesPerWorker = 16;
// The most bytes of a piece: a piece read into a worker's window is then
// counted and scanned while its text is in the core's cache.
const std::uint64_t kMostPieceBytes = 1 << 18;

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

std::uint64_t BodyBytes(std::uint64_t fileBytes, const THead& head) {
  return fileBytes > head.BodyStart ? fileBytes - head.BodyStart : 0;
}

// The workers for the body, and its pieces, kPiecesPerWorker a worker at
// least.
unsigned BodyWorkers(std::uint64_t fileBytes, const THead& head) {
  return TItemTeam::Workers(static_cast<double>(BodyBytes(fileBytes, head)), kBytesPerWorker);
}

TBodyPieces BodyPieces(const TFileDescriptor& file, std::uint64_t fileBytes, const THead& head,
                       bool lenient, unsigned workers) {
  const std::uint64_t bodyBytes = BodyBytes(fileBytes, head);
  const std::uint64_t pieces = workers * kPiecesPerWorker;
  return TBodyPieces(
      file, head.BodyStart, fileBytes,
      std::clamp<std::uint64_t>((bodyBytes + pieces - 1) / pieces, 1, kMostPieceBytes), lenient,
      kReadBytes);
}

// The pieces up to the one that decides the body, scanned on the workers;
// raises the body's failure. keepValues: the pieces keep their values.
std::vector<TPiece> ScanCollected(const TBodyPieces& body, const TGridHeader& header,
                                  bool keepValues, unsigned workers) {
  const long long needed = TBodyPieces::Needed(header);
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
  map.MbrVecValues.resize(static_cast<std::size_t>(map.MbrLngYDim));
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

// Whether the pieces, counted (words; -1 for one not counted) and scanned
// into the rows (read), hold the reader's values: every word one value up to
// the piece that holds value needed - 1, and that piece's first values.
bool ReadAsCounted(const std::vector<long long>& words, const std::vector<TPiece>& read,
                   long long needed) {
  long long base = 0;
  for (std::size_t p = 0; p < words.size() && words[p] >= 0; ++p) {
    if (needed - base <= words[p])
      return read[p].Count >= needed - base;
    if (read[p].Count != words[p] || read[p].End != TGridHeader::TCell::AtEnd)
      return false;
    base += words[p];
  }
  return false;
}

// Each piece's values straight into the rows that rowsOf() gives, asked for
// once the body's bytes can hold the values, where the words before the
// piece say it begins. One pass: a worker reads a piece into its window,
// counts its words there, and once the pieces before it have counted
// theirs, scans the same text into the rows. True when every word turned
// out to be one value: the rows hold the reader's values. Otherwise (too
// few words, a fault, or a word that holds two numbers, such as "1-2") the
// rows hold some of them, and the body is left to the collected way.
template <class TRowsOf>
bool ReadInPlace(const TBodyPieces& body, const TPieceLoad::THead& head, std::uint64_t fileBytes,
                 unsigned workers, TRowsOf rowsOf) {
  const long long needed = TBodyPieces::Needed(head.Header);
  if (needed <= 0 || !TPieceLoad::CanHold(fileBytes, head))
    return false;
  const std::vector<double*> rows = rowsOf();
  const std::size_t count = body.Count();
  std::vector<long long> words(count, -1);
  std::vector<TPiece> read(count);
  TPieceBases bases(count);
  std::atomic<std::size_t> next(0);
  std::atomic<bool> stopped(false);
  const auto stop = [&] {
    stopped = true;
    bases.Stop();
  };
  TWorkerTeam::Run(
      static_cast<unsigned>(std::min<std::size_t>(workers, count)),
      [&](unsigned) {
        TFileRangeBuf window = body.PieceWindow();
        for (std::size_t p = next++; p < count && !stopped; p = next++) {
          words[p] = body.CountWords(p, window);
          bases.Publish(p, words[p]);
          long long base = 0;
          if (!bases.Await(p, base))
            return;
          if (base >= needed)
            return stop();
          read[p] = body.ScanIntoRows(p, rows, head.Header.Columns, base,
                                      std::min(words[p], needed - base), window);
          if (read[p].Count < std::min(words[p], needed - base))
            return stop();
        }
      },
      stop);
  return ReadAsCounted(words, read, needed);
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
  const unsigned workers = BodyWorkers(fileBytes, head);
  const TBodyPieces body = BodyPieces(file, fileBytes, head, lenient, workers);
  std::unique_ptr<TMap> map;
  const bool inPlace = ReadInPlace(body, head, fileBytes, workers, [&] {
    map = head.Header.Frame();
    mapsupport::StoreRows(*map, 0.0);
    std::vector<double*> rows;
    for (std::vector<double>& row : map->MbrVecValues)
      rows.push_back(row.data());
    return rows;
  });
  if (inPlace)
    return map.release();
  map.reset();
  const std::vector<TPiece> pieces = ScanCollected(body, head.Header, true, workers);
  map = head.Header.Frame();
  FillRows(*map, pieces, workers);
  return map.release();
}

void TPieceLoad::LoadCells(const TFileDescriptor& file, std::uint64_t fileBytes, const THead& head,
                           bool lenient, double* cells) {
  const unsigned workers = BodyWorkers(fileBytes, head);
  const TBodyPieces body = BodyPieces(file, fileBytes, head, lenient, workers);
  const bool inPlace = ReadInPlace(body, head, fileBytes, workers, [&] {
    std::vector<double*> rows;
    for (long y = 0; y < head.Header.Rows; ++y)
      rows.push_back(cells + static_cast<std::ptrdiff_t>(y) * head.Header.Columns);
    return rows;
  });
  if (!inPlace)
    FillCells(cells, head.Header, ScanCollected(body, head.Header, true, workers), workers);
}

bool TPieceLoad::CanHold(std::uint64_t fileBytes, const THead& head) {
  const std::uint64_t bodyBytes = BodyBytes(fileBytes, head);
  // Halved first: twice the count may not fit.
  return static_cast<std::uint64_t>(TBodyPieces::Needed(head.Header)) <= bodyBytes / 2 + 1;
}

void TPieceLoad::CheckBody(const TFileDescriptor& file, std::uint64_t fileBytes, const THead& head,
                           bool lenient) {
  const unsigned workers = BodyWorkers(fileBytes, head);
  ScanCollected(BodyPieces(file, fileBytes, head, lenient, workers), head.Header, false, workers);
}
