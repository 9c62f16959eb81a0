// Little-endian fields of a binary file, read the way Windows lays them out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace norvane::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), {});
}
inline std::uint32_t U16(const Bytes& b, std::size_t at) { return b.at(at) | b.at(at + 1) << 8; }
inline std::uint32_t U32(const Bytes& b, std::size_t at) {
  return U16(b, at) | U16(b, at + 2) << 16;
}

}  // namespace norvane::test
