#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "raster/raster.h"
#include "raster/test_files.h"
#include "sxapilib.h"
#include "sxhost/memory.h"

namespace relievo {
namespace {

using testing::CollectedRows;
using testing::collectRow;
using testing::Rows;

// An in-memory record whose value at row r, column c is 10 r + c.
RasterRec* makeGrid(int width, int height) {
  RasterRec* raster = rasterAllocate("");
  if (raster == nullptr) return nullptr;
  raster->width = width;
  raster->height = height;
  raster->values = static_cast<float*>(sxMalloc(sizeof(float) * width * height));
  for (int r = 0; r < height; ++r) {
    for (int c = 0; c < width; ++c)
      raster->values[r * width + c] = static_cast<float>(10 * r + c);
  }
  rasterUseMemoryVariant(raster);
  return raster;
}

struct GridDeleter {
  void operator()(RasterRec* raster) const { rasterFree(raster); }
};
using GridPtr = std::unique_ptr<RasterRec, GridDeleter>;

// A variant that counts its calls and fails the read of row `failAt`.
struct Counts {
  int opens = 0;
  int reads = 0;
  int closes = 0;
  int failAt = -1;
  bool refuseOpen = false;
};
Counts counts;

int countingOpen(RasterRec*, void** stream) {
  ++counts.opens;
  *stream = &counts;
  return counts.refuseOpen ? 0 : 1;
}
int countingRead(RasterRec*, void* stream, int row, double* out, int, int count) {
  EXPECT_EQ(stream, &counts);
  ++counts.reads;
  if (row == counts.failAt) return 0;
  for (int c = 0; c < count; ++c)
    out[c] = row;
  return 1;
}
int countingClose(RasterRec*, void* stream) {
  EXPECT_EQ(stream, &counts);
  ++counts.closes;
  return 1;
}

class RowIteration : public ::testing::Test {
 protected:
  void SetUp() override {
    counts = Counts{};
    raster_.reset(rasterAllocate(""));
    ASSERT_NE(raster_, nullptr);
    raster_->width = 5;
    raster_->height = 6;
    raster_->openFn = countingOpen;
    raster_->readRowFn = countingRead;
    raster_->closeFn = countingClose;
  }
  GridPtr raster_;
  CollectedRows collected_;
};

TEST_F(RowIteration, ZeroRowsOpensAndClosesAndSucceeds) {
  EXPECT_EQ(rasterForEachRow(raster_.get(), 5, 0, collectRow, &collected_), 1);
  EXPECT_TRUE(collected_.rows.empty());
  EXPECT_EQ(counts.opens, 1);
  EXPECT_EQ(counts.closes, 1);
}

TEST_F(RowIteration, TooManyRowsOrTooLongRowsReadNothing) {
  EXPECT_EQ(rasterForEachRow(raster_.get(), 6, 6, collectRow, &collected_), 0);
  EXPECT_EQ(rasterForEachRow(raster_.get(), 5, 7, collectRow, &collected_), 0);
  EXPECT_EQ(rasterForEachRow(raster_.get(), -1, 6, collectRow, &collected_), 0);
  EXPECT_EQ(rasterForEachRow(raster_.get(), 5, -1, collectRow, &collected_), 0);
  EXPECT_EQ(rasterForEachRow(raster_.get(), 5, 6, nullptr, &collected_), 0);
  EXPECT_EQ(rasterForEachRowAll(raster_.get(), nullptr, &collected_), 0);
  EXPECT_EQ(counts.opens, 0);
  EXPECT_TRUE(collected_.rows.empty());
}

TEST_F(RowIteration, FewerAndShorterRowsAreAllowed) {
  EXPECT_EQ(rasterForEachRow(raster_.get(), 3, 2, collectRow, &collected_), 1);
  EXPECT_EQ(collected_.rows, (Rows{{0, 0, 0}, {1, 1, 1}}));
}

TEST_F(RowIteration, CallbackStoppingAtRowThreeGetsNoRowFour) {
  collected_.stopAfter = 3;
  EXPECT_EQ(rasterForEachRowAll(raster_.get(), collectRow, &collected_), 0);
  EXPECT_EQ(collected_.indices, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(counts.reads, 4);
  EXPECT_EQ(counts.closes, 1);
}

TEST_F(RowIteration, FailedReadStopsWithoutDeliveringThatRow) {
  counts.failAt = 2;
  EXPECT_EQ(rasterForEachRowAll(raster_.get(), collectRow, &collected_), 0);
  EXPECT_EQ(collected_.indices, (std::vector<int>{0, 1}));
  EXPECT_EQ(counts.closes, 1);
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
  EXPECT_EQ(counts.opens, 1);
  EXPECT_TRUE(collected_.rows.empty());
  {
    auto refuse = sxhost::AllocationFailure::nth(1);
    EXPECT_EQ(rasterForEachRowResampled(raster_.get(), 3, 3, collectRow, &collected_), 0);
  }
  EXPECT_TRUE(collected_.rows.empty());
}

TEST(SpanEnd, Table) {
  const struct {
    int n, m;
    std::vector<int> ends;  // spanEnd(i, n, m) for i = 0 ... n - 1
  } cases[] = {
      {4, 8, {1, 3, 5, 6}}, {4, 2, {0, 0, 1, 0}}, {4, 3, {0, 1, 1, 1}},
      {4, 5, {0, 2, 3, 3}}, {4, 4, {0, 1, 2, 2}}, {1, 5, {4}},
      {3, 4, {0, 2, 2}},    {2, 3, {1, 1}},       {5, 1, {0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    std::vector<int> ends;
    for (int i = 0; i < c.n; ++i)
      ends.push_back(spanEnd(i, c.n, c.m));
    EXPECT_EQ(ends, c.ends) << c.n << " -> " << c.m;
  }
}

// Expected output: element [r][c] of the output grid is 10 * rows[r] + columns[c].
Rows expectedGrid(const std::vector<int>& rows, const std::vector<int>& columns) {
  Rows grid;
  for (int r : rows) {
    std::vector<double> row;
    for (int c : columns)
      row.push_back(10 * r + c);
    grid.push_back(row);
  }
  return grid;
}

TEST(Resample, Table) {
  const struct {
    int width, height, outWidth, outHeight;
    std::vector<int> sourceRows, sourceColumns;
  } cases[] = {
      {4, 4, 8, 8, {0, 0, 1, 1, 2, 2, 3, 3}, {0, 0, 1, 1, 2, 2, 3, 3}},
      {4, 4, 2, 2, {0, 2}, {0, 3}},
      {4, 4, 3, 3, {0, 1, 3}, {0, 1, 3}},
      {4, 4, 5, 5, {0, 1, 1, 2, 3}, {0, 1, 1, 2, 3}},
      {4, 4, 4, 4, {0, 1, 2, 3}, {0, 1, 2, 3}},
      {3, 3, 4, 4, {0, 1, 1, 2}, {0, 1, 1, 2}},  // the last row and column extend
      {4, 2, 8, 3, {0, 0, 1}, {0, 0, 1, 1, 2, 2, 3, 3}},
      {1, 1, 3, 2, {0, 0}, {0, 0, 0}},
      {5, 5, 1, 1, {0}, {0}},
  };
  for (const auto& c : cases) {
    GridPtr grid(makeGrid(c.width, c.height));
    ASSERT_NE(grid, nullptr);
    CollectedRows collected;
    EXPECT_EQ(
        rasterForEachRowResampled(grid.get(), c.outWidth, c.outHeight, collectRow, &collected), 1);
    std::vector<int> ascending(c.outHeight);
    for (int r = 0; r < c.outHeight; ++r)
      ascending[r] = r;
    const std::string label = std::to_string(c.width) + "x" + std::to_string(c.height) + " -> " +
                              std::to_string(c.outWidth) + "x" + std::to_string(c.outHeight);
    EXPECT_EQ(collected.indices, ascending) << label;
    EXPECT_EQ(collected.rows, expectedGrid(c.sourceRows, c.sourceColumns)) << label;
  }
}

TEST(Resample, CallerStoppingEndsTheIterationButStillSucceeds) {
  GridPtr grid(makeGrid(4, 4));
  CollectedRows collected;
  collected.stopAfter = 2;
  EXPECT_EQ(rasterForEachRowResampled(grid.get(), 8, 8, collectRow, &collected), 1);
  EXPECT_EQ(collected.indices, (std::vector<int>{0, 1, 2}));
}

TEST(Resample, WithoutCallbackAndWithEmptyOutput) {
  GridPtr grid(makeGrid(4, 4));
  EXPECT_EQ(rasterForEachRowResampled(grid.get(), 8, 8, nullptr, nullptr), 1);
  CollectedRows collected;
  EXPECT_EQ(rasterForEachRowResampled(grid.get(), 0, 0, collectRow, &collected), 1);
  EXPECT_TRUE(collected.rows.empty());
  EXPECT_EQ(rasterForEachRowResampled(grid.get(), -1, 4, collectRow, &collected), 0);
  EXPECT_TRUE(collected.rows.empty());
}

TEST_F(RowIteration, ResampleOfAFailingSourceDeliversWhatItHad) {
  counts.failAt = 3;
  EXPECT_EQ(rasterForEachRowResampled(raster_.get(), 5, 6, collectRow, &collected_), 1);
  EXPECT_EQ(collected_.indices, (std::vector<int>{0, 1, 2}));
}

}  // namespace
}  // namespace relievo
