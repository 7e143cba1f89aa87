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
#include "maptools/MapSupport.h"
#include "platform/TItemTeam.h"

namespace {
using TPiece = TBodyPieces::TPiece;

const std::size_t kReadBytes = 1 << 18;
// Body bytes worth a worker of their own, and the pieces of each worker.
const double kBytesPerWorker = 1 << 20;
const std::uint64_t kPiecesPerWorker = 16;

struct THead {
  TGridHeader Header;
  std::uint64_t BodyStart = 0;
};

THead ReadHead(const TFileDescriptor& file, bool lenient) {
  TFileRangeBuf buffer(file, 0, TFileRangeBuf::kNoLimit, false, kReadBytes);
  std::istream stream(&buffer);
  TGridTokenizer in(stream);
  THead head;
  head.Header = TGridHeader::Read(in, lenient);
  in.Commit();
  head.BodyStart = buffer.Position();
  return head;
}

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

// Copies the first needed values of the pieces into the map's rows, bands
// of rows on the workers.
void FillRows(TMap& map, const std::vector<TPiece>& pieces, unsigned workers) {
  const long rows = map.MbrLngYDim;
  const long columns = map.MbrLngXDim;
  std::vector<long long> starts{0};
  for (const TPiece& piece : pieces)
    starts.push_back(starts.back() + piece.Count);
  map.MbrVecValues.resize(static_cast<std::size_t>(rows));
  // Reserved here, touched first by the workers: one heap grows, while
  // the page faults are shared out.
  for (std::vector<double>& row : map.MbrVecValues)
    row.reserve(static_cast<std::size_t>(columns));
  const long bandRows = std::max<long>(1, rows / (static_cast<long>(workers) * 4));
  TItemTeam::Run((rows + bandRows - 1) / bandRows, workers, [&](long band, unsigned) {
    const long end = std::min(rows, (band + 1) * bandRows);
    for (long y = band * bandRows; y < end; ++y) {
      std::vector<double>& row = map.MbrVecValues[y];
      long long at = static_cast<long long>(y) * columns;
      const long long rowEnd = at + columns;
      std::size_t p = static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), at) -
                                               starts.begin() - 1);
      while (at < rowEnd) {
        while (at == starts[p + 1])
          ++p;
        const TPiece& piece = pieces[p];
        const long long inPiece = at - starts[p];
        const long long take = std::min({rowEnd, starts[p + 1],
                                         at + piece.BlockValues - inPiece % piece.BlockValues}) -
                               at;
        const double* from = piece.At(inPiece);
        row.insert(row.end(), from, from + take);
        at += take;
      }
    }
  });
}

// The values parked in each piece, then copied into the map's rows: any body.
std::unique_ptr<TMap> ReadCollected(const TBodyPieces& body, const TGridHeader& header,
                                    unsigned workers) {
  const long long needed = TBodyPieces::Needed(header);
  TScanned scanned(body.Count(), needed);
  TItemTeam::Run(static_cast<long>(body.Count()), workers, [&](long p, unsigned) {
    if (!scanned.Decided())
      scanned.Done(static_cast<std::size_t>(p), body.Scan(static_cast<std::size_t>(p), 0, true));
  });
  TBodyPieces::Collect(scanned.Pieces(), needed, nullptr);
  std::unique_ptr<TMap> map = header.Frame();
  FillRows(*map, scanned.Pieces(), workers);
  return map;
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

// Each piece's values straight into the map's rows, where the words before
// it say the piece begins: when every word turns out to be one value, the
// map is the reader's; otherwise (a fault, or a word that holds two
// numbers, such as "1-2") none, and the body is left to ReadCollected.
std::unique_ptr<TMap> ReadInPlace(const TBodyPieces& body, const TGridHeader& header,
                                  unsigned workers) {
  const long long needed = TBodyPieces::Needed(header);
  if (needed <= 0)
    return nullptr;
  const std::vector<long long> words = WordsToTheBodyEnd(body, needed, workers);
  if (words.empty())
    return nullptr;
  std::vector<long long> firsts{0};
  for (std::size_t p = 0; p + 1 < words.size(); ++p)
    firsts.push_back(firsts.back() + words[p]);
  std::unique_ptr<TMap> map = header.Frame();
  mapsupport::StoreRows(*map, 0.0);
  std::vector<double*> rows;
  for (std::vector<double>& row : map->MbrVecValues)
    rows.push_back(row.data());
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
      return nullptr;
  if (read[last].Count < lastRoom)
    return nullptr;
  return map;
}
} // namespace

bool TPieceLoad::Applies(std::uint64_t fileBytes) {
  return TItemTeam::Workers(static_cast<double>(fileBytes), kBytesPerWorker) > 1;
}

TMap* TPieceLoad::Load(const TFileDescriptor& file, std::uint64_t fileBytes, bool lenient) {
  const THead head = ReadHead(file, lenient);
  const std::uint64_t bodyBytes = fileBytes > head.BodyStart ? fileBytes - head.BodyStart : 0;
  const unsigned workers = TItemTeam::Workers(static_cast<double>(bodyBytes), kBytesPerWorker);
  const std::uint64_t pieces = workers * kPiecesPerWorker;
  const TBodyPieces body(file, head.BodyStart, fileBytes,
                         std::max<std::uint64_t>(1, (bodyBytes + pieces - 1) / pieces), lenient,
                         kReadBytes);
  std::unique_ptr<TMap> map = ReadInPlace(body, head.Header, workers);
  if (!map)
    map = ReadCollected(body, head.Header, workers);
  return map.release();
}
