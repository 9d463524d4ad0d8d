#include "raster/data_scan.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <type_traits>

#include "raster/row_reader.h"

namespace relievo {

namespace {

// The range of one block as a pass on one thread finds it: the first defined value opens it,
// and a later value replaces an end only when strictly beyond it, so that of equal values
// (0.0 and -0.0) the first stays. Zero-filled, it is the range of no value.
struct BlockRange {
  bool found;
  bool undefinedSeen;
  double minimum;
  double maximum;

  void take(double v) {
    if (!found) {
      found = true;
      minimum = v;
      maximum = v;
    } else if (v < minimum) {
      minimum = v;
    } else if (v > maximum) {
      maximum = v;
    }
  }
  // Adds the range of the values that come after this block's.
  void merge(const BlockRange& later) {
    undefinedSeen = undefinedSeen || later.undefinedSeen;
    if (!later.found) return;
    take(later.minimum);
    take(later.maximum);
  }
};

// Integers are all finite and have one zero, so the order of comparisons cannot matter: plain
// minimum and maximum loops, which the compiler turns into vector code.
template <typename T>
BlockRange scanIntegers(std::span<const T> values, const UndefinedData& undefined) {
  T lowest = std::numeric_limits<T>::max();
  T highest = std::numeric_limits<T>::lowest();
  bool undefinedSeen = false;
  // A marker no value of T can equal marks nothing; otherwise a value is undefined exactly
  // when it equals the marker, integers being their own truncation.
  const std::int64_t marker = undefined.nullValue;
  if (undefined.hasNullData == 1 && marker >= std::numeric_limits<T>::lowest() &&
      marker <= std::numeric_limits<T>::max()) {
    const auto null = static_cast<T>(marker);
    for (const T v : values) {
      const bool isNull = v == null;
      undefinedSeen = undefinedSeen || isNull;
      lowest = isNull ? lowest : std::min(lowest, v);
      highest = isNull ? highest : std::max(highest, v);
    }
  } else {
    for (const T v : values) {
      lowest = std::min(lowest, v);
      highest = std::max(highest, v);
    }
  }
  BlockRange range{false, undefinedSeen, 0.0, 0.0};
  // With no defined value the ends are still where they started, the wrong way round.
  if (lowest <= highest) range = {true, undefinedSeen, double(lowest), double(highest)};
  return range;
}

template <typename T>
BlockRange scanValues(std::span<const T> values, const UndefinedData& undefined) {
  if constexpr (std::is_integral_v<T>) {
    return scanIntegers(values, undefined);
  } else {
    BlockRange range{};
    for (const T value : values) {
      const double v = value;
      if (isUndefinedValue(undefined, v)) {
        range.undefinedSeen = true;
      } else if (std::isfinite(v)) {
        range.take(v);
      }
    }
    return range;
  }
}

}  // namespace

int isUndefinedValue(const UndefinedData& undefined, double value) {
  // Comparing in double keeps values beyond the integer range well defined.
  return undefined.hasNullData == 1 && std::trunc(value) == static_cast<double>(undefined.nullValue)
             ? 1
             : 0;
}

void scanDataRange(RasterRec* raster, const SourceLayout& source, DataRange& range,
                   Progress progress) {
  if (rasterGetMinMax(raster, &range.dataMin, &range.dataMax)) return;
  const BlockPlan plan = planBlocks(raster, source.width, source.height);
  RowReader reader;
  if (!reader.open(raster, source.width, source.height, plan.blockRows, plan.workers)) return;
  const HostBlock<BlockRange> blocks = hostBlock<BlockRange>(static_cast<std::size_t>(plan.blocks));
  if (blocks == nullptr && plan.blocks > 0) return;
  RowProgress rows(progress, 1.0);
  const int delivered =
      forEachRowBlock(reader, plan, source.height, rows, [&](const RowBlock& b, int) {
        blocks.get()[b.index] = visitValues(
            b.values, [&](auto values) { return scanValues(values, source.undefined); });
      });
  BlockRange all{};
  for (int b = 0; b < plan.blocks && b * plan.blockRows < delivered; ++b)
    all.merge(blocks.get()[b]);
  if (!all.found) return;
  range.dataMin = all.minimum;
  range.dataMax = all.maximum;
  range.hasNullsFound = all.undefinedSeen ? 1 : 0;
  rasterSetMinMax(raster, all.minimum, all.maximum);
}

}  // namespace relievo
