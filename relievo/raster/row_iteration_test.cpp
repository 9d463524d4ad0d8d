#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "raster/raster.h"
#include "raster/resample.h"
#include "raster/test_files.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

using testing::CollectedRows;
using testing::collectRow;
using testing::RasterPtr;
using testing::Rows;

// A variant of 5 x 6 rows whose values are the row index; it counts its calls and fails the
// read of row `failAt`.
struct Counts {
  int opens = 0, reads = 0, closes = 0, failAt = -1;
  bool refuseOpen = false;
};
Counts counts;

class RowIteration : public ::testing::Test {
 protected:
  void SetUp() override {
    counts = Counts{};
    raster_.reset(rasterAllocate(""));
    ASSERT_NE(raster_, nullptr);
    raster_->width = 5;
    raster_->height = 6;
    raster_->openFn = [](RasterRec*, void** stream) {
      ++counts.opens;
      *stream = &counts;
      return counts.refuseOpen ? 0 : 1;
    };
    raster_->readRowFn = [](RasterRec*, void* stream, int row, double* out, int, int count) {
      EXPECT_EQ(stream, &counts);
      ++counts.reads;
      if (row == counts.failAt) return 0;
      for (int c = 0; c < count; ++c)
        out[c] = row;
      return 1;
    };
    raster_->closeFn = [](RasterRec*, void* stream) {
      EXPECT_EQ(stream, &counts);
      ++counts.closes;
      return 1;
    };
  }
  int forEach(int count, int rows) {
    return rasterForEachRow(raster_.get(), count, rows, collectRow, &collected_);
  }
  int resample(int outWidth, int outHeight) {
    return rasterResample(raster_.get(), outWidth, outHeight, testing::collectResampled,
                          &collected_, {}, 1.0);
  }

  RasterPtr raster_;
  CollectedRows collected_;
};

// Fewer and shorter rows come from the start; none at all still opens and closes the pass;
// too many or too long rows, or no callback, read nothing.
TEST_F(RowIteration, RowsAndCountsWithinTheRecord) {
  for (const auto& [count, rows] : {std::pair{6, 6}, {5, 7}, {-1, 6}, {5, -1}})
    EXPECT_EQ(forEach(count, rows), 0) << count << " x " << rows;
  EXPECT_EQ(rasterForEachRowAll(raster_.get(), nullptr, &collected_), 0);
  EXPECT_EQ(counts.opens, 0);
  EXPECT_EQ(forEach(5, 0), 1);
  EXPECT_EQ(std::make_pair(counts.opens, counts.closes), std::make_pair(1, 1));
  EXPECT_EQ(forEach(3, 2), 1);
  EXPECT_EQ(collected_.rows, (Rows{{0, 0, 0}, {1, 1, 1}}));
}

TEST_F(RowIteration, ACallbackStoppingAtRowThreeOrAFailedReadEndsThePass) {
  collected_.stopAfter = 3;
  EXPECT_EQ(rasterForEachRowAll(raster_.get(), collectRow, &collected_), 0);
  EXPECT_EQ(collected_.indices, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(counts.reads, 4);
  EXPECT_EQ(counts.closes, 1);

  collected_ = {};
  counts.failAt = 2;  // that row is not delivered
  EXPECT_EQ(rasterForEachRowAll(raster_.get(), collectRow, &collected_), 0);
  EXPECT_EQ(collected_.indices, (std::vector<int>{0, 1}));
  EXPECT_EQ(counts.closes, 2);

  collected_ = {};
  counts.failAt = 3;  // resampling delivers what it had and still succeeds
  EXPECT_EQ(resample(5, 6), 1);
  EXPECT_EQ(collected_.indices, (std::vector<int>{0, 1, 2}));
}

TEST_F(RowIteration, RefusedOpenOrRowMemoryCallsNothing) {
  counts.refuseOpen = true;
  EXPECT_EQ(rasterForEachRowAll(raster_.get(), collectRow, &collected_), 0);
  EXPECT_EQ(counts.reads, 0);
  counts.refuseOpen = false;
  {
    auto refuse = sxhost::AllocationFailure::nth(1);
    EXPECT_EQ(rasterForEachRowAll(raster_.get(), collectRow, &collected_), 0);
  }
  {
    auto refuse = sxhost::AllocationFailure::nth(1);
    EXPECT_EQ(resample(3, 3), 0);
  }
  EXPECT_EQ(counts.opens, 1);
  EXPECT_TRUE(collected_.rows.empty());
}

TEST(Resample, Table) {
  // {width, height, output width, output height, source rows, source columns}: the output value
  // [r][c] is 10 rows[r] + columns[c].
  const std::tuple<int, int, int, int, std::vector<int>, std::vector<int>> cases[] = {
      {4, 4, 8, 8, {0, 0, 1, 1, 2, 2, 3, 3}, {0, 0, 1, 1, 2, 2, 3, 3}},
      {4, 4, 2, 2, {0, 2}, {0, 3}},
      {4, 4, 3, 3, {0, 1, 3}, {0, 1, 3}},
      {4, 4, 5, 5, {0, 1, 1, 2, 3}, {0, 1, 1, 2, 3}},
      {4, 4, 4, 4, {0, 1, 2, 3}, {0, 1, 2, 3}},
      {3, 3, 4, 4, {0, 1, 1, 2}, {0, 1, 1, 2}},  // the last row and column extend
      {4, 2, 8, 3, {0, 0, 1}, {0, 0, 1, 1, 2, 2, 3, 3}},
      {1, 1, 3, 2, {0, 0}, {0, 0, 0}},
      {5, 5, 1, 1, {0}, {0}},
      {4, 4, 0, 0, {}, {}}};
  for (const auto& [width, height, outWidth, outHeight, sourceRows, sourceColumns] : cases) {
    SCOPED_TRACE(::testing::Message()
                 << width << "x" << height << " -> " << outWidth << "x" << outHeight);
    RasterPtr grid = testing::gridRaster(width, height);
    CollectedRows collected;
    double steps = 0.0;
    const Progress progress{[](double a, void* s) { *static_cast<double*>(s) += a; }, &steps};
    EXPECT_EQ(rasterResample(grid.get(), outWidth, outHeight, testing::collectResampled, &collected,
                             progress, 0.5),
              1);
    EXPECT_EQ(steps, 0.5 * outHeight);
    Rows expected;
    std::vector<int> ascending;
    for (int r : sourceRows) {
      ascending.push_back(static_cast<int>(expected.size()));
      expected.emplace_back();
      for (int column : sourceColumns)
        expected.back().push_back(10 * r + column);
    }
    EXPECT_EQ(collected.indices, ascending);
    EXPECT_EQ(collected.rows, expected);
  }
}

TEST(Resample, NoFunctionOrANegativeSize) {
  RasterPtr grid = testing::gridRaster(4, 4);
  EXPECT_EQ(rasterResample(grid.get(), 8, 8, nullptr, nullptr, {}, 1.0), 1);
  CollectedRows collected;
  EXPECT_EQ(rasterResample(grid.get(), -1, 4, testing::collectResampled, &collected, {}, 1.0), 0);
  EXPECT_TRUE(collected.rows.empty());
}

}  // namespace
}  // namespace relievo
