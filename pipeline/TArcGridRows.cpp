#include "pipeline/TArcGridRows.h"

#include "gridio/TGridHeader.h"

TArcGridRows::TArcGridRows(const TBody& body, long firstRow, long firstColumn, long endColumn)
    : MbrBody(body), MbrLngFirstColumn(firstColumn), MbrLngEndColumn(endColumn),
      MbrBuffer(body.File, 0, TFileRangeBuf::kNoLimit, false, body.ReadBytes),
      MbrStream(&MbrBuffer) {
  MbrLngPosition = -1;
  MoveTo(static_cast<long long>(firstRow) * MbrBody.Columns + firstColumn);
}

void TArcGridRows::Restart(long firstRow, long firstColumn, long endColumn) {
  MbrLngFirstColumn = firstColumn;
  MbrLngEndColumn = endColumn;
  MoveTo(static_cast<long long>(firstRow) * MbrBody.Columns + firstColumn);
}

void TArcGridRows::MoveTo(long long value) {
  const long long spacing = MbrBody.Checkpoints.Spacing();
  if (MbrLngPosition < 0 || value < MbrLngPosition || value - MbrLngPosition > 2 * spacing) {
    const TBodyCheckpoints::TCheckpoint& from = MbrBody.Checkpoints.Before(value);
    MbrTokenizer.reset();
    MbrStream.clear();
    MbrBuffer.Restart(from.Offset);
    MbrTokenizer.emplace(MbrStream);
    MbrLngPosition = from.Value;
  }
  while (MbrLngPosition < value)
    NextValue();
}

double TArcGridRows::NextValue() {
  double value = 0.0;
  const TGridHeader::TCell read = TGridHeader::ReadCell(*MbrTokenizer, value, MbrBody.Lenient);
  if (read != TGridHeader::TCell::Read)
    TGridHeader::ThrowCellFailure(read);
  ++MbrLngPosition;
  return value;
}

const double* TArcGridRows::Row(long row, double* buffer) {
  MoveTo(static_cast<long long>(row) * MbrBody.Columns + MbrLngFirstColumn);
  const std::size_t count = static_cast<std::size_t>(MbrLngEndColumn - MbrLngFirstColumn);
  for (std::size_t x = 0; x < count;) {
    const std::size_t read = MbrTokenizer->ReadShortDecimalsPaced(buffer + x, count - x);
    x += read;
    MbrLngPosition += static_cast<long long>(read);
    if (x < count)
      buffer[x++] = NextValue();
  }
  return buffer;
}
