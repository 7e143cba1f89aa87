#include "gridio/TStreamingResample.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <istream>
#include <memory>
#include <mutex>
#include <sstream>
#include <vector>

#include "gridio/GridFileMessages.h"
#include "gridio/TARCGISFileTools.h"
#include "gridio/TFileRangeBuf.h"
#include "gridio/TGridHeader.h"
#include "gridio/TGridTokenizer.h"
#include "maptools/MapToolsMessages.h"
#include "maptools/TBilinearWalk.h"
#include "maptools/TDownscaleFrame.h"
#include "maptools/TMapTools.h"
#include "maptools/TRowPairCache.h"
#include "platform/TCores.h"
#include "platform/TDiskSpace.h"
#include "platform/TFileDescriptor.h"
#include "platform/TFileStatus.h"
#include "platform/TWorkerTeam.h"
#include "text/TDigits.h"
#include "text/TLineWriter.h"
#include "text/TRowText.h"

namespace {
using TStation = TBilinearWalk::TStation;
using TCell = TGridHeader::TCell;

// A place in the body: the index of the next value and its file offset.
struct TCheckpoint {
  long long Value;
  std::uint64_t Offset;
};

// One piece of the body as the checking pass found it: the values read
// before the piece ended or a value failed, and how it ended.
struct TPiece {
  long long Count = 0;
  TCell End = TCell::AtEnd;
  std::vector<TCheckpoint> Checkpoints; // value indices local to the piece
};

long long SaturatingProduct(long a, long b) {
  if (a > 0 && b > 0 && a > LLONG_MAX / b)
    return LLONG_MAX;
  return static_cast<long long>(a) * b;
}

// The reading side of the bounded way: the source's descriptor, the header,
// and what the checking pass learnt of the body.
class TSourceFile {
public:
  TSourceFile(const TFileDescriptor& file, const TStreamingKnobs& knobs, bool lenient)
      : MbrRefFile(file), MbrRefKnobs(knobs), MbrBlnLenient(lenient) {}

  void ReadHeader() {
    TFileRangeBuf buffer(MbrRefFile, 0, TFileRangeBuf::kNoLimit, false, MbrRefKnobs.ReadBytes);
    std::istream stream(&buffer);
    TGridTokenizer in(stream);
    MbrHeader = TGridHeader::Read(in, MbrBlnLenient);
    in.Commit();
    MbrLngBodyStart = buffer.Position();
  }

  // Checks every value the reader would read, in pieces on `workers`
  // workers, and raises the reader's failure for the first failing value.
  void CheckBody(unsigned workers, std::uint64_t fileBytes) {
    const std::uint64_t bodyBytes = fileBytes > MbrLngBodyStart ? fileBytes - MbrLngBodyStart : 0;
    const std::uint64_t pieceBytes =
        std::max<std::uint64_t>({MbrRefKnobs.PieceBytes, bodyBytes >> 16, 1});
    MbrLngCheckpointValues =
        std::max<long long>(MbrRefKnobs.CheckpointValues, static_cast<long long>(fileBytes >> 18));
    MbrLngCheckpointValues = std::max<long long>(MbrLngCheckpointValues, 1);
    const std::size_t pieces = static_cast<std::size_t>((bodyBytes + pieceBytes - 1) / pieceBytes);
    std::vector<TPiece> found(std::max<std::size_t>(pieces, 1));
    std::atomic<std::size_t> next(0);
    std::atomic<bool> stopped(false);
    TWorkerTeam::Run(
        std::min<std::size_t>(workers, found.size()),
        [&](unsigned) {
          for (std::size_t p = next++; p < found.size() && !stopped; p = next++)
            found[p] = CheckPiece(MbrLngBodyStart + p * pieceBytes, pieceBytes, p > 0);
        },
        [&] { stopped = true; });
    Collect(found);
  }

  const TGridHeader& Header() const { return MbrHeader; }
  const TFileDescriptor& File() const { return MbrRefFile; }
  const TStreamingKnobs& Knobs() const { return MbrRefKnobs; }
  // Whether the lenient reader's rules apply.
  bool Lenient() const { return MbrBlnLenient; }

  // The last checkpoint at or before the given value.
  const TCheckpoint& CheckpointBefore(long long value) const {
    auto after = std::upper_bound(
        MbrVecCheckpoints.begin(), MbrVecCheckpoints.end(), value,
        [](long long v, const TCheckpoint& checkpoint) { return v < checkpoint.Value; });
    return *(after - 1);
  }

private:
  TPiece CheckPiece(std::uint64_t begin, std::uint64_t bytes, bool startAtSpace) const {
    // A window no larger than the piece (and a little more for its last
    // token): a small piece reads little.
    const std::uint64_t window = std::min<std::uint64_t>(MbrRefKnobs.ReadBytes, bytes + 64);
    TFileRangeBuf buffer(MbrRefFile, begin, begin + bytes, startAtSpace,
                         static_cast<std::size_t>(window));
    std::istream stream(&buffer);
    TGridTokenizer in(stream);
    TPiece piece;
    piece.Checkpoints.push_back({0, 0});
    double value = 0.0;
    for (;;) {
      if (piece.Count > 0 && piece.Count % MbrLngCheckpointValues == 0) {
        in.Commit();
        piece.Checkpoints.push_back({piece.Count, buffer.Position()});
      }
      piece.End = TGridHeader::ReadCell(in, value, MbrBlnLenient);
      if (piece.End != TCell::Read)
        break;
      ++piece.Count;
    }
    piece.Checkpoints.front().Offset = buffer.Start();
    return piece;
  }

  // The pieces in file order: the first value that fails before every value
  // has been read raises its failure; values past the last one are ignored.
  void Collect(std::vector<TPiece>& pieces) {
    const long long needed = SaturatingProduct(MbrHeader.Columns, MbrHeader.Rows);
    long long base = 0;
    for (TPiece& piece : pieces) {
      for (const TCheckpoint& checkpoint : piece.Checkpoints)
        if (base + checkpoint.Value < needed)
          MbrVecCheckpoints.push_back({base + checkpoint.Value, checkpoint.Offset});
      piece.Checkpoints = std::vector<TCheckpoint>();
      if (needed - base <= piece.Count)
        return;
      if (piece.End == TCell::NotANumber)
        TGridHeader::ThrowCellFailure(piece.End);
      base += piece.Count;
    }
    TGridHeader::ThrowCellFailure(TCell::AtEnd);
  }

  const TFileDescriptor& MbrRefFile;
  const TStreamingKnobs& MbrRefKnobs;
  bool MbrBlnLenient;
  TGridHeader MbrHeader;
  std::uint64_t MbrLngBodyStart = 0;
  long long MbrLngCheckpointValues = 1;
  std::vector<TCheckpoint> MbrVecCheckpoints;
};

// Source rows read in order from a checkpoint: each row asked for (at or
// after the last one) is read into the caller's buffer, the rows between
// read past.
class TRowReader {
public:
  TRowReader(const TSourceFile& source, long firstRow)
      : MbrLngColumns(source.Header().Columns), MbrBlnLenient(source.Lenient()) {
    const long long first = static_cast<long long>(firstRow) * MbrLngColumns;
    const TCheckpoint& from = source.CheckpointBefore(first);
    MbrPtrBuffer = std::make_unique<TFileRangeBuf>(
        source.File(), from.Offset, TFileRangeBuf::kNoLimit, false, source.Knobs().ReadBytes);
    MbrPtrStream = std::make_unique<std::istream>(MbrPtrBuffer.get());
    MbrPtrTokenizer = std::make_unique<TGridTokenizer>(*MbrPtrStream);
    for (long long skip = first - from.Value; skip > 0; --skip)
      NextValue();
    MbrLngNextRow = firstRow;
  }

  const double* Row(long row, double* values) {
    for (; MbrLngNextRow <= row; ++MbrLngNextRow)
      for (long x = 0; x < MbrLngColumns; ++x)
        values[x] = NextValue();
    return values;
  }

private:
  double NextValue() {
    double value = 0.0;
    const TCell read = TGridHeader::ReadCell(*MbrPtrTokenizer, value, MbrBlnLenient);
    // The body was checked; a failure now means that the file changed.
    if (read != TCell::Read)
      TGridHeader::ThrowCellFailure(read);
    return value;
  }

  long MbrLngColumns;
  bool MbrBlnLenient;
  std::unique_ptr<TFileRangeBuf> MbrPtrBuffer;
  std::unique_ptr<std::istream> MbrPtrStream;
  std::unique_ptr<TGridTokenizer> MbrPtrTokenizer;
  long MbrLngNextRow = 0;
};

// The text of a band: grows without clearing the room it adds, since the
// formatter writes a row's worst case of characters ahead of its end.
class TBandText {
public:
  void Clear() { MbrLngUsed = 0; }
  // Room for `length` more characters at End().
  char* Reserve(std::size_t length) {
    if (MbrLngUsed + length > MbrLngCapacity) {
      const std::size_t capacity = std::max(MbrLngUsed + length, 2 * MbrLngCapacity);
      std::unique_ptr<char[]> grown(new char[capacity]);
      std::copy(MbrPtrData.get(), MbrPtrData.get() + MbrLngUsed, grown.get());
      MbrPtrData.swap(grown);
      MbrLngCapacity = capacity;
    }
    return End();
  }
  char* End() { return MbrPtrData.get() + MbrLngUsed; }
  void SetEnd(const char* end) { MbrLngUsed = static_cast<std::size_t>(end - MbrPtrData.get()); }
  const char* Data() const { return MbrPtrData.get(); }
  std::size_t Size() const { return MbrLngUsed; }

private:
  std::unique_ptr<char[]> MbrPtrData;
  std::size_t MbrLngCapacity = 0;
  std::size_t MbrLngUsed = 0;
};

// The destination side: the walk's stations, the row each destination row
// takes its values from, and the bands written in order.
class TDestinationWriter {
public:
  TDestinationWriter(const TSourceFile& source, TMap* frame, std::vector<TStation>& columns,
                     std::vector<TStation>& rows, const TResampleOptions& options)
      : MbrRefSource(source), MbrPtrFrame(frame), MbrRefColumns(columns), MbrRefRows(rows),
        MbrEnmPolicy(options.NoDataAware ? TBilinearWalk::TCornerPolicy::NoDataAware
                                         : TBilinearWalk::TCornerPolicy::Plain),
        MbrRowText(TDigits(options.Digits), ' ') {
    MbrBlnQuotients = TBilinearWalk::SharesOneArea(columns, rows, MbrDblArea);
    MbrVecRowStation.assign(frame->MbrLngYDim, -1);
    for (std::size_t r = 0; r < rows.size(); ++r)
      MbrVecRowStation[rows[r].Cell] = static_cast<long>(r);
    char text[TRowText::kValueRoom];
    char* end = MbrRowText.Values(text, &frame->MbrDblNoDataValue, 1);
    MbrStrNoDataCell.assign(text, end);
  }

  // Whether each destination row needs source rows at or after those of the
  // rows before it, so that one pass in file order serves them.
  bool ReadsInOrder() const {
    long low = 0;
    for (long station : MbrVecRowStation) {
      if (station < 0)
        continue;
      const TStation& row = MbrRefRows[station];
      if (row.Low < low || row.High < row.Low)
        return false;
      low = row.Low;
    }
    return true;
  }

  void Write(const TFileDescriptor& destination, const std::string& destFile, unsigned workers) {
    const long columns = MbrPtrFrame->MbrLngXDim;
    const std::size_t rowBytes = TRowText::Room(columns);
    const long bandRows =
        static_cast<long>(std::max<std::size_t>(MbrRefSource.Knobs().BandBytes / rowBytes, 1));
    const long rowCount = MbrPtrFrame->MbrLngYDim;
    const long bands = (rowCount + bandRows - 1) / bandRows;
    const long count = std::min<long>(workers, std::max<long>(bands, 1));
    MbrLngWritten = 0;
    MbrBlnStopped = false;
    // Bands are taken in order, one at a time, so every band before a
    // worker's turn is already in some worker's hands.
    std::atomic<long> next(0);
    TWorkerTeam::Run(
        static_cast<unsigned>(count),
        [&](unsigned) {
          std::vector<double> cells(columns);
          TBandText text;
          for (long band = next++; band < bands && !Stopped(); band = next++) {
            const long first = band * bandRows;
            const long last = std::min(rowCount, first + bandRows);
            FormatBand(first, last, cells, text);
            WriteInTurn(band, destination, text, destFile);
          }
        },
        [&] {
          std::lock_guard<std::mutex> lock(MbrMutex);
          MbrBlnStopped = true;
          MbrCondition.notify_all();
        });
  }

private:
  void FormatBand(long first, long last, std::vector<double>& cells, TBandText& text) {
    const long columns = MbrPtrFrame->MbrLngXDim;
    text.Clear();
    std::unique_ptr<TRowReader> reader;
    TRowPairCache cache(MbrRefSource.Header().Columns, true, MbrBlnQuotients, MbrDblArea);
    for (long d = first; d < last; ++d) {
      const long station = MbrVecRowStation[d];
      if (station < 0) {
        AppendNoDataRow(text, columns);
        continue;
      }
      const TStation& row = MbrRefRows[station];
      if (!reader)
        reader = std::make_unique<TRowReader>(MbrRefSource, row.Low);
      FillRow(*reader, cache, row, cells);
      char* end = MbrRowText.Values(text.Reserve(TRowText::Room(columns)), cells.data(), columns);
      text.SetEnd(TRowText::EndLine(end));
    }
  }

  void AppendNoDataRow(TBandText& text, long columns) const {
    const std::size_t cell = MbrStrNoDataCell.size();
    char* out = text.Reserve(static_cast<std::size_t>(columns) * cell + 1);
    for (long x = 0; x < columns; ++x, out += cell)
      std::copy(MbrStrNoDataCell.begin(), MbrStrNoDataCell.end(), out);
    text.SetEnd(TRowText::EndLine(out));
  }

  // One destination row: the no-data value where no walk point falls, the
  // interpolated value elsewhere (the last point of a cell wins, as in the
  // walk).
  void FillRow(TRowReader& reader, TRowPairCache& cache, const TStation& row,
               std::vector<double>& cells) const {
    const double noData = MbrPtrFrame->MbrDblNoDataValue;
    std::fill(cells.begin(), cells.end(), noData);
    // The rows are read in file order: the lower one first.
    const auto read = [&reader](long index, double* buffer) { return reader.Row(index, buffer); };
    const TRowPairCache::TRow low = cache.Get(row.Low, row.High, read);
    const TRowPairCache::TRow high = cache.Get(row.High, row.Low, read);
    if (MbrBlnQuotients)
      TBilinearWalk::FillRowFromQuotients(MbrEnmPolicy, noData, low.Values, high.Values,
                                          low.Quotients, high.Quotients, row, MbrRefColumns,
                                          cells.data());
    else
      TBilinearWalk::FillRow(MbrEnmPolicy, noData, low.Values, high.Values, row, MbrRefColumns,
                             cells.data());
  }

  bool Stopped() {
    std::lock_guard<std::mutex> lock(MbrMutex);
    return MbrBlnStopped;
  }

  void WriteInTurn(long band, const TFileDescriptor& destination, const TBandText& text,
                   const std::string& destFile) {
    std::unique_lock<std::mutex> lock(MbrMutex);
    MbrCondition.wait(lock, [&] { return MbrBlnStopped || MbrLngWritten == band; });
    if (MbrBlnStopped)
      return;
    if (!destination.WriteAll(text.Data(), text.Size()))
      throw std::string(kWriteFailure) + destFile;
    ++MbrLngWritten;
    MbrCondition.notify_all();
  }

  const TSourceFile& MbrRefSource;
  TMap* MbrPtrFrame;
  const std::vector<TStation>& MbrRefColumns;
  const std::vector<TStation>& MbrRefRows;
  TBilinearWalk::TCornerPolicy MbrEnmPolicy;
  TRowText MbrRowText;
  bool MbrBlnQuotients = false;
  double MbrDblArea = 0.0;
  std::vector<long> MbrVecRowStation;
  std::string MbrStrNoDataCell;
  std::mutex MbrMutex;
  std::condition_variable MbrCondition;
  long MbrLngWritten = 0;
  bool MbrBlnStopped = false;
};

void ResampleInMemory(const std::string& sourceFile, const std::string& destFile,
                      double NewResolution, const TResampleOptions& options) {
  std::unique_ptr<TMap> source(options.Lenient ? TARCGISFileTools::LoadARCGISFileLenient(sourceFile)
                                               : TARCGISFileTools::LoadARCGISFile(sourceFile));
  std::unique_ptr<TMap> resampled(
      options.NoDataAware ? TMapTools::BilinearInterpolateNoDataAware(source.get(), NewResolution)
                          : TMapTools::BilinearInterpolate(source.get(), NewResolution));
  if (options.Digits == TLineWriter::kStreamDigits)
    TARCGISFileTools::WriteARCGISFile(resampled.get(), destFile);
  else
    TARCGISFileTools::WriteARCGISFile(resampled.get(), destFile, options.Digits);
}

// The bounded way; false, before the destination is touched, when the
// geometry needs the in-memory pipeline.
bool ResampleBounded(const TFileDescriptor& file, std::uint64_t fileBytes,
                     const std::string& destFile, double NewResolution,
                     const TResampleOptions& options, const TStreamingKnobs& knobs) {
  const unsigned workers = knobs.Threads > 0 ? knobs.Threads : TCores::Usable();
  TSourceFile source(file, knobs, options.Lenient);
  source.ReadHeader();
  source.CheckBody(workers, fileBytes);
  if (!(NewResolution > 0.0))
    throw kResolutionNotPositive;
  std::unique_ptr<TMap> sourceFrame = source.Header().Frame();
  // Each cell takes two characters at least: a digit and a blank.
  std::unique_ptr<TMap> frame = TDownscaleFrame::Build(sourceFrame.get(), NewResolution, 2.0,
                                                       TDiskSpace::RoomFor(destFile, true));
  TBilinearWalk walk(sourceFrame.get(), frame.get(), NewResolution);
  std::vector<TStation> columns;
  std::vector<TStation> rows;
  if (!walk.ResolveWalk(columns, rows))
    return false;
  walk.RaiseFirstFailure(columns, rows);
  TDestinationWriter writer(source, frame.get(), columns, rows, options);
  if (!writer.ReadsInOrder())
    return false;

  TFileDescriptor destination = TFileDescriptor::CreateOrTruncate(destFile);
  if (!destination.IsOpen())
    throw std::string(kOpenFailure) + destFile;
  std::ostringstream header;
  TGridHeader::Write(frame.get(), header, options.Digits);
  const std::string headerText = header.str();
  if (!destination.WriteAll(headerText.data(), headerText.size()))
    throw std::string(kWriteFailure) + destFile;
  writer.Write(destination, destFile, workers);
  if (!destination.Close())
    throw std::string(kWriteFailure) + destFile;
  return true;
}
} // namespace

void TStreamingResample::ResampleFile(const std::string& sourceFile, const std::string& destFile,
                                      double NewResolution, const TResampleOptions& options,
                                      const TStreamingKnobs& knobs) {
  // Only the name is examined before a source that is not a regular file is
  // opened: opening a pipe twice would lose what its writer wrote.
  if (knobs.Mode == TStreamingKnobs::TMode::Auto && TFileStatus::Of(sourceFile).Regular) {
    const TFileDescriptor source = TFileDescriptor::OpenForReading(sourceFile);
    const TFileStatus status = TFileStatus::Of(source);
    if (status.Regular && !status.IsSameFile(TFileStatus::Of(destFile)) &&
        ResampleBounded(source, status.Bytes, destFile, NewResolution, options, knobs))
      return;
  }
  ResampleInMemory(sourceFile, destFile, NewResolution, options);
}

// The public form; it stays beside the streaming resampling so that the
// reader and writer do not depend on it.
void TARCGISFileTools::BilinearInterpolateFile(std::string sourceFile, std::string destFile,
                                               double NewResolution) {
  TStreamingResample::ResampleFile(sourceFile, destFile, NewResolution);
}

void TARCGISFileTools::BilinearInterpolateFile(std::string sourceFile, std::string destFile,
                                               double NewResolution,
                                               const TResampleOptions& options) {
  if (!TDigits::IsSetting(options.Digits))
    throw kDigitsOutOfRange;
  TStreamingResample::ResampleFile(sourceFile, destFile, NewResolution, options);
}
