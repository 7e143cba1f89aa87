#include "pipeline/TTextBuffer.h"

#include <algorithm>

char* TTextBuffer::Reserve(std::size_t length) {
  if (MbrLngUsed + length > MbrLngCapacity) {
    const std::size_t capacity = std::max(MbrLngUsed + length, 2 * MbrLngCapacity);
    std::unique_ptr<char[]> grown(new char[capacity]);
    std::copy(MbrPtrData.get(), MbrPtrData.get() + MbrLngUsed, grown.get());
    MbrPtrData.swap(grown);
    MbrLngCapacity = capacity;
  }
  return End();
}
