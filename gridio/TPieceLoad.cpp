#include "gridio/TPieceLoad.h"

#include <algorithm>
#include <cstddef>
#include <istream>
#include <memory>
#include <mutex>
#include <vector>

#include "gridio/TBodyPieces.h"
#include "gridio/TFileRangeBuf.h"
#include "gridio/TGridHeader.h"
#include "gridio/TGridTokenizer.h"
#include "maptools/MapSupport.h"
#include "platform/TItemTeam.h"

namespace {
using TPiece = TBodyPieces::TPiece;

const std::size_t kReadBytes = 1 << 18;
// Body bytes worth a worker of their own, and the pieces of each worker.
const double kBytesPerWorker = 1 << 20;
const std::uint64_t kPiecesPerWorker = 16;

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

// The workers for the body, and its pieces, kPiecesPerWorker a worker.
unsigned BodyWorkers(std::uint64_t fileBytes, const THead& head) {
  return TItemTeam::Workers(static_cast<double>(BodyBytes(fileBytes, head)), kBytesPerWorker);
}

TBodyPieces BodyPieces(const TFileDescriptor& file, std::uint64_t fileBytes, const THead& head,
                       bool lenient, unsigned workers) {
  const std::uint64_t bodyBytes = BodyBytes(fileBytes, head);
  const std::uint64_t pieces = workers * kPiecesPerWorker;
  return TBodyPieces(file, head.BodyStart, fileBytes,
                     std::max<std::uint64_t>(1, (bodyBytes + pieces - 1) / pieces), lenient,
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

// The words of the pieces up to the one that holds value needed - 1, or
// none when the body holds fewer words than that.
std::vector<long long> WordsToTheBodyEnd(const TBodyPieces& body, long long needed,
                                         unsigned workers) {
  TScanned counted(body.Count(), needed);
  TItemTeam::Run(static_cast<long>(body.Count()), workers, [&](long p, unsigned) {
    if (counted.Decided())
      return;
    TPiece piece;
    piece.Count = body.CountWords(static_cast<std::size_t>(p));
    counted.Done(static_cast<std::size_t>(p), std::move(piece));
  });
  std::vector<long long> words;
  long long base = 0;
  for (const TPiece& piece : counted.Pieces()) {
    words.push_back(piece.Count);
    if (needed - base <= piece.Count)
      return words;
    base += piece.Count;
  }
  return {};
}

// Each piece's values straight into the rows that rowsOf() gives, asked for
// once the words are known to be enough, where the words before the piece
// say it begins. True when every word turned out to be one value: the rows
// hold the reader's values. Otherwise (a fault, or a word that holds two
// numbers, such as "1-2") the rows hold some of them, and the body is left
// to the collected way.
template <class TRowsOf>
bool ReadInPlace(const TBodyPieces& body, const TGridHeader& header, unsigned workers,
                 TRowsOf rowsOf) {
  const long long needed = TBodyPieces::Needed(header);
  if (needed <= 0)
    return false;
  const std::vector<long long> words = WordsToTheBodyEnd(body, needed, workers);
  if (words.empty())
    return false;
  std::vector<long long> firsts{0};
  for (std::size_t p = 0; p + 1 < words.size(); ++p)
    firsts.push_back(firsts.back() + words[p]);
  const std::vector<double*> rows = rowsOf();
  std::vector<TPiece> read(words.size());
  const std::size_t last = words.size() - 1;
  const long long lastRoom = needed - firsts[last];
  TItemTeam::Run(static_cast<long>(words.size()), workers, [&](long item, unsigned) {
    const std::size_t p = static_cast<std::size_t>(item);
    read[p] =
        body.ScanIntoRows(p, rows, header.Columns, firsts[p], p == last ? lastRoom : words[p]);
  });
  for (std::size_t p = 0; p < last; ++p)
    if (read[p].Count != words[p] || read[p].End != TGridHeader::TCell::AtEnd)
      return false;
  return read[last].Count >= lastRoom;
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
  const bool inPlace = ReadInPlace(body, head.Header, workers, [&] {
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
  const bool inPlace = ReadInPlace(body, head.Header, workers, [&] {
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
