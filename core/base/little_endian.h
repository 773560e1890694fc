// Appending little-endian integers to a byte buffer: the headers of the
// bitmap, icon and atlas files the program and its tools write.
#pragma once

#include <cstdint>
#include <vector>

namespace sarvel {

inline void AppendLe16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}

inline void AppendLe32(std::vector<uint8_t>& out, uint32_t value) {
  AppendLe16(out, value & 0xFFFF);
  AppendLe16(out, value >> 16);
}

}  // namespace sarvel
