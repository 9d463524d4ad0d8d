#include "raster/value_run.h"

#include <cstring>

namespace relievo {

namespace {

// Byte reversal by shifts and masks, which vector units do a whole register at a time.
constexpr std::uint16_t reversed(std::uint16_t v) {
  return static_cast<std::uint16_t>((v << 8) | (v >> 8));
}
constexpr std::uint32_t reversed(std::uint32_t v) {
  v = ((v & 0x00FF00FFu) << 8) | ((v >> 8) & 0x00FF00FFu);
  return (v << 16) | (v >> 16);
}
constexpr std::uint64_t reversed(std::uint64_t v) {
  v = ((v & 0x00FF00FF00FF00FFull) << 8) | ((v >> 8) & 0x00FF00FF00FF00FFull);
  v = ((v & 0x0000FFFF0000FFFFull) << 16) | ((v >> 16) & 0x0000FFFF0000FFFFull);
  return (v << 32) | (v >> 32);
}

template <typename U>
void reverseAll(unsigned char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    U v;
    std::memcpy(&v, bytes + i * sizeof(U), sizeof(U));
    v = reversed(v);
    std::memcpy(bytes + i * sizeof(U), &v, sizeof(U));
  }
}

}  // namespace

ValueType binaryValueType(ByteType byteType, bool isSigned) {
  switch (byteType) {
    case ByteType::Int8:
      return isSigned ? ValueType::Int8 : ValueType::UInt8;
    case ByteType::Int16:
      return isSigned ? ValueType::Int16 : ValueType::UInt16;
    case ByteType::Int32:
      return isSigned ? ValueType::Int32 : ValueType::UInt32;
    case ByteType::Float32:
      return ValueType::Float32;
    case ByteType::Float64:
      break;
  }
  return ValueType::Float64;
}

void swapElements(unsigned char* bytes, std::size_t count, int size) {
  switch (size) {
    case 2:
      return reverseAll<std::uint16_t>(bytes, count);
    case 4:
      return reverseAll<std::uint32_t>(bytes, count);
    case 8:
      return reverseAll<std::uint64_t>(bytes, count);
    default:
      return;  // a single byte reads the same either way
  }
}

}  // namespace relievo
