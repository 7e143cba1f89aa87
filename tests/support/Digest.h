// Digest: the 64-bit FNV-1a hash of some bytes as 16 hexadecimal digits, to
// freeze outputs too large to keep in the repository. Not for security: it
// tells a changed output from the frozen one.
#ifndef QUILLMAP_TESTS_SUPPORT_DIGEST_H
#define QUILLMAP_TESTS_SUPPORT_DIGEST_H

#include <filesystem>
#include <string>

std::string Fnv1a64Hex(const std::string& bytes);
// Of a file's bytes, read a piece at a time; that of no bytes when the file
// cannot be read.
std::string Fnv1a64HexOfFile(const std::filesystem::path& path);

#endif
