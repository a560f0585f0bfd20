// A fast hash of a run of bytes, for telling whether a record read again is
// the record read before: four independent lanes of eight bytes each, so
// that the multiplications overlap (several gigabytes a second), mixed at the
// end. Not for security; two different records meet with the odds of 2^-64.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace rb {

namespace hash_detail {

inline constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
inline constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;

inline std::uint64_t word(const char* at) {
  std::uint64_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

inline std::uint64_t rotate(std::uint64_t value, int bits) {
  return (value << bits) | (value >> (64 - bits));
}

inline std::uint64_t round(std::uint64_t lane, std::uint64_t input) {
  return rotate(lane + input * kPrime2, 31) * kPrime1;
}

inline std::uint64_t mix(std::uint64_t value) {
  value ^= value >> 33;
  value *= kPrime2;
  value ^= value >> 29;
  value *= kPrime1;
  return value ^ (value >> 32);
}

}  // namespace hash_detail

inline std::uint64_t hashBytes(std::string_view bytes) {
  using namespace hash_detail;
  const char* at = bytes.data();
  std::size_t left = bytes.size();
  std::uint64_t a = kPrime1, b = kPrime2, c = 0, d = ~kPrime1;
  for (; left >= 32; at += 32, left -= 32) {
    a = round(a, word(at));
    b = round(b, word(at + 8));
    c = round(c, word(at + 16));
    d = round(d, word(at + 24));
  }
  std::uint64_t h = rotate(a, 1) + rotate(b, 7) + rotate(c, 12) + rotate(d, 18) + bytes.size();
  for (; left >= 8; at += 8, left -= 8)
    h = round(h, word(at));
  std::uint64_t tail = 0;
  std::memcpy(&tail, at, left);
  return mix(round(h, tail ^ (left * kPrime1)));
}

}  // namespace rb
