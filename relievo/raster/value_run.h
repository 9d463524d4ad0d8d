// ValueRun: consecutive values of a source in their own element type and in the machine's byte
// order, which is how the core's passes read a source when they need no doubles: a range scan
// of 16-bit integers compares 16-bit integers, and the same posts come out as from doubles.
#ifndef RELIEVO_RASTER_VALUE_RUN_H
#define RELIEVO_RASTER_VALUE_RUN_H

#include <cstddef>
#include <cstdint>
#include <span>

#include "raster/raster.h"

namespace relievo {

enum class ValueType : std::uint8_t { Int8, UInt8, Int16, UInt16, Int32, UInt32, Float32, Float64 };

struct ValueRun {
  ValueType type;
  const void* data;  // `count` values of `type`, suitably aligned
  std::size_t count;
};

// The type of the elements of a binary source; Float64 for a byteType no reader takes.
ValueType binaryValueType(ByteType byteType, bool isSigned);

// Calls f with the run's values as a std::span of their type and returns what f returns.
template <typename F>
decltype(auto) visitValues(const ValueRun& run, F&& f) {
  const auto as = [&run]<typename T>(T*) {
    return std::span<const T>(static_cast<const T*>(run.data), run.count);
  };
  switch (run.type) {
    case ValueType::Int8:
      return f(as(static_cast<std::int8_t*>(nullptr)));
    case ValueType::UInt8:
      return f(as(static_cast<std::uint8_t*>(nullptr)));
    case ValueType::Int16:
      return f(as(static_cast<std::int16_t*>(nullptr)));
    case ValueType::UInt16:
      return f(as(static_cast<std::uint16_t*>(nullptr)));
    case ValueType::Int32:
      return f(as(static_cast<std::int32_t*>(nullptr)));
    case ValueType::UInt32:
      return f(as(static_cast<std::uint32_t*>(nullptr)));
    case ValueType::Float32:
      return f(as(static_cast<float*>(nullptr)));
    case ValueType::Float64:
      break;
  }
  return f(as(static_cast<double*>(nullptr)));
}

// Reverses the bytes of each of `count` elements of `size` bytes (1, 2, 4 or 8) stored at
// `bytes`, in loops the compiler turns into vector code.
void swapElements(unsigned char* bytes, std::size_t count, int size);

}  // namespace relievo

#endif  // RELIEVO_RASTER_VALUE_RUN_H
