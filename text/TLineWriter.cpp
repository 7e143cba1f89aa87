#include "text/TLineWriter.h"

#include <cstring>

#include "text/TRowText.h"

TLineWriter::TLineWriter(std::ostream& stream, int digits)
    : MbrRefStream(stream), MbrBlnFast(TNumberFormat::IsDefaultState(stream)),
      MbrIntDigits(digits == kStreamDigits && MbrBlnFast ? TNumberFormat::kDefaultDigits : digits),
      MbrLngUsed(0) {}

void TLineWriter::Drain() {
  if (MbrLngUsed > 0)
    MbrRefStream.write(MbrChrBuffer, MbrLngUsed);
  MbrLngUsed = 0;
}

void TLineWriter::Text(const char* text) {
  if (!MbrBlnFast) {
    MbrRefStream << text;
    return;
  }
  const std::ptrdiff_t length = static_cast<std::ptrdiff_t>(std::strlen(text));
  Reserve(length);
  if (length > kBufferSize) {
    MbrRefStream.write(text, length);
    return;
  }
  std::memcpy(MbrChrBuffer + MbrLngUsed, text, length);
  MbrLngUsed += length;
}

void TLineWriter::CharByStream(char c) {
  MbrRefStream << c;
}

void TLineWriter::Whole(long value) {
  if (!MbrBlnFast) {
    MbrRefStream << value;
    return;
  }
  Reserve(TNumberFormat::kMaxLength);
  MbrLngUsed = TNumberFormat::Format(MbrChrBuffer + MbrLngUsed, value) - MbrChrBuffer;
}

void TLineWriter::Reals(const double* values, long count, char separator) {
  if (!MbrBlnFast) {
    for (long i = 0; i < count; ++i) {
      RealByStream(values[i]);
      CharByStream(separator);
    }
    return;
  }
  const std::ptrdiff_t kRoom = TRowText::kValueRoom;
  const TRowText row(TDigits(MbrIntDigits), separator);
  while (count > 0) {
    if (kBufferSize - MbrLngUsed < kRoom)
      Drain();
    const long fits = static_cast<long>((kBufferSize - MbrLngUsed) / kRoom);
    const long chunk = count < fits ? count : fits;
    MbrLngUsed = row.Values(MbrChrBuffer + MbrLngUsed, values, chunk) - MbrChrBuffer;
    values += chunk;
    count -= chunk;
  }
}

void TLineWriter::RealByStream(double value) {
  if (MbrIntDigits == kStreamDigits) {
    MbrRefStream << value;
    return;
  }
  const std::streamsize precision = MbrRefStream.precision(MbrIntDigits);
  MbrRefStream << value;
  MbrRefStream.precision(precision);
}

void TLineWriter::Georeference(double value, int width) {
  const bool general =
      (MbrRefStream.flags() & std::ios_base::floatfield) == std::ios_base::fmtflags();
  const std::streamsize precision = MbrRefStream.precision();
  const std::streamsize digits =
      general ? TNumberFormat::GeoreferencePrecision(value, precision) : precision;
  if (!MbrBlnFast) {
    MbrRefStream.precision(digits);
    MbrRefStream.width(width);
    MbrRefStream << value;
    MbrRefStream.precision(precision);
    return;
  }
  char text[TNumberFormat::kMaxLength];
  const std::ptrdiff_t length = TNumberFormat::Format(text, value, static_cast<int>(digits)) - text;
  const std::ptrdiff_t padding = length < width ? width - length : 0;
  Reserve(padding + length);
  std::memset(MbrChrBuffer + MbrLngUsed, ' ', padding);
  std::memcpy(MbrChrBuffer + MbrLngUsed + padding, text, length);
  MbrLngUsed += padding + length;
}

void TLineWriter::EndLine() {
  if (!MbrBlnFast) {
    MbrRefStream.put(TRowText::kLineEnd);
    MbrRefStream.flush();
    return;
  }
  Reserve(1);
  MbrLngUsed = TRowText::EndLine(MbrChrBuffer + MbrLngUsed) - MbrChrBuffer;
  Drain();
  MbrRefStream.flush();
}
