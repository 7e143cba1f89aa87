#include "gridio/TGridFileReader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "gridio/GridFileMessages.h"
#include "gridio/TGridHeader.h"
#include "gridio/TGridTokenizer.h"
#include "gridio/TPieceLoad.h"
#include "platform/TFileDescriptor.h"
#include "platform/TFileStatus.h"

namespace {

// Storage reserved ahead of the data: enough for ordinary grids, small enough
// that a header claiming a huge grid costs nothing until values arrive.
const long kReservedRows = 1 << 12;
const long kReservedColumns = 1 << 16;

// The rows of the body, north first. Storage follows the values read, so the
// counts of the header are never multiplied or allocated up front: a grid
// whose rows all arrive fits in memory, and so do its counts plus one.
std::vector<std::vector<double>> ReadBody(TGridTokenizer& in, const TGridHeader& header,
                                          bool lenient) {
  std::vector<std::vector<double>> rows;
  rows.reserve(std::min(header.Rows, kReservedRows));
  for (long y = 0; y < header.Rows; ++y) {
    rows.emplace_back();
    std::vector<double>& row = rows.back();
    row.reserve(std::min(header.Columns, kReservedColumns));
    for (long x = 0; x < header.Columns; ++x) {
      double value = 0.0;
      const TGridHeader::TCell read = TGridHeader::ReadCell(in, value, lenient);
      if (read != TGridHeader::TCell::Read)
        TGridHeader::ThrowCellFailure(read);
      row.push_back(value);
    }
    if (row.capacity() != row.size())
      row.shrink_to_fit();
  }
  return rows;
}
} // namespace

// Either the open file and its header, the body still to read in pieces, or
// the map read whole from a stream.
struct TGridFileReader::TState {
  bool Lenient = false;
  TFileDescriptor File;
  std::uint64_t FileBytes = 0;
  TPieceLoad::THead Head;
  std::unique_ptr<TMap> Whole;
};

TGridFileReader::TGridFileReader(const std::string& fileName, bool lenient)
    : MbrPtrState(std::make_unique<TState>()) {
  TState& state = *MbrPtrState;
  state.Lenient = lenient;
  const TFileStatus named = TFileStatus::Of(fileName);
  if (named.Regular && TPieceLoad::Applies(named.Bytes)) {
    state.File = TFileDescriptor::OpenForReading(fileName);
    const TFileStatus status = TFileStatus::Of(state.File);
    if (state.File.IsOpen() && status.Regular) {
      state.FileBytes = status.Bytes;
      state.Head = TPieceLoad::ReadHead(state.File, lenient);
      if (!TPieceLoad::CanHold(state.FileBytes, state.Head))
        TPieceLoad::CheckBody(state.File, state.FileBytes, state.Head, lenient);
      return;
    }
    state.File = TFileDescriptor();
  }
  // A directory opens as a stream on this platform but holds no text.
  std::ifstream file;
  std::error_code ignored;
  if (!std::filesystem::is_directory(fileName, ignored))
    file.open(fileName);
  if (!file.is_open())
    throw std::string(kOpenFailurePrefix) + fileName;
  state.Whole.reset(LoadStream(file, lenient));
  state.Head.Header = TGridHeader{TGridHeader::GeometryOf(state.Whole.get())};
}

TGridFileReader::~TGridFileReader() = default;

const TGridGeometry& TGridFileReader::Geometry() const {
  return MbrPtrState->Head.Header;
}

void TGridFileReader::ReadCells(double* cells) {
  TState& state = *MbrPtrState;
  if (state.Whole == nullptr) {
    TPieceLoad::LoadCells(state.File, state.FileBytes, state.Head, state.Lenient, cells);
    return;
  }
  for (const std::vector<double>& row : state.Whole->MbrVecValues)
    cells = std::copy(row.begin(), row.end(), cells);
}

TMap* TGridFileReader::NewMap() {
  TState& state = *MbrPtrState;
  if (state.Whole == nullptr)
    return TPieceLoad::Load(state.File, state.FileBytes, state.Head, state.Lenient);
  return state.Whole.release();
}

TMap* TGridFileReader::NewFrame() const {
  return MbrPtrState->Head.Header.Frame().release();
}

TMap* TGridFileReader::LoadStream(std::istream& stream, bool lenient) {
  TGridTokenizer in(stream);
  const TGridHeader header = TGridHeader::Read(in, lenient);
  std::vector<std::vector<double>> rows = ReadBody(in, header, lenient);
  std::unique_ptr<TMap> map = header.Frame();
  map->MbrVecValues.swap(rows);
  return map.release();
}
