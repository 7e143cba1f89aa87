#include "support/Digest.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {
const std::uint64_t kOffsetBasis = 0xcbf29ce484222325ULL;

std::uint64_t Hash(std::uint64_t hash, const char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    hash ^= static_cast<unsigned char>(bytes[i]);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

std::string Hex(std::uint64_t hash) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}
} // namespace

std::string Fnv1a64Hex(const std::string& bytes) {
  return Hex(Hash(kOffsetBasis, bytes.data(), bytes.size()));
}

std::string Fnv1a64HexOfFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> piece(1 << 20);
  std::uint64_t hash = kOffsetBasis;
  while (in.read(piece.data(), static_cast<std::streamsize>(piece.size())) || in.gcount() > 0)
    hash = Hash(hash, piece.data(), static_cast<std::size_t>(in.gcount()));
  return Hex(hash);
}
