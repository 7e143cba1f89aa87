// Layouts and the schedule: every layout's blocks, taken in order, cover the
// grid's cells once each in file order; the scheduler writes the blocks in
// that order whatever the number of workers, reports each after writing it,
// and stops at the first failure with only earlier blocks written.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pipeline/TBandLayout.h"
#include "pipeline/TBandScheduler.h"
#include "support/ExpectThrowMsg.h"

namespace {
TEST(TBandLayout, BlocksCoverTheGridInFileOrder) {
  struct Case {
    long Columns, Rows, Per;
    bool Runs;
  };
  const Case cases[] = {{1, 1, 1, false},  {5, 7, 1, false},  {5, 7, 3, false}, {5, 7, 100, false},
                        {5, 7, 0, false},  {1, 9, 2, true},   {10, 3, 1, true}, {10, 3, 4, true},
                        {10, 3, 10, true}, {10, 3, 99, true}, {7, 2, 0, true}};
  for (const Case& c : cases) {
    const TBandLayout layout = c.Runs ? TBandLayout::ColumnRuns(c.Columns, c.Rows, c.Per)
                                      : TBandLayout::WholeRows(c.Columns, c.Rows, c.Per);
    long cell = 0;
    for (long index = 0; index < layout.Count(); ++index) {
      const TBlock block = layout.Block(index);
      ASSERT_EQ(block.Index, index);
      ASSERT_GT(block.Width(), 0);
      ASSERT_GT(block.Height(), 0);
      ASSERT_EQ(block.EndsRows, block.EndColumn == c.Columns);
      if (c.Runs)
        ASSERT_EQ(block.Height(), 1);
      else
        ASSERT_EQ(block.Width(), c.Columns);
      // The block's first cell is the next one in file order.
      ASSERT_EQ(block.FirstRow * c.Columns + block.FirstColumn, cell)
          << c.Columns << "x" << c.Rows << " per " << c.Per << " block " << index;
      cell = block.FirstColumn == 0 && block.EndsRows ? (block.EndRow * c.Columns)
                                                      : cell + block.Width();
    }
    EXPECT_EQ(cell, c.Columns * c.Rows) << c.Columns << "x" << c.Rows << " per " << c.Per;
  }
}

// A sink that records the blocks it writes, each as its encoder saw it.
class RecordingSink : public TGridSink {
public:
  class Encoder : public TBandEncoder {
  public:
    void Begin(const TBlock& block) override {
      Block = block;
      Rows = 0;
    }
    void Row(const double* values) override {
      EXPECT_EQ(values[0], static_cast<double>(Block.FirstRow + Rows));
      ++Rows;
    }
    void End() override {}
    TBlock Block;
    long Rows = 0;
  };

  TBandLayout Layout(const TGridGeometry& grid, std::size_t, long) const override {
    return TBandLayout::WholeRows(grid.Columns, grid.Rows, 1);
  }
  bool Fits(double) const override { return true; }
  void Open(const TGridGeometry&) override {}
  std::unique_ptr<TBandEncoder> NewEncoder() const override { return std::make_unique<Encoder>(); }
  void Write(TBandEncoder& band) override {
    const Encoder& encoder = static_cast<Encoder&>(band);
    EXPECT_EQ(encoder.Rows, encoder.Block.Height());
    Written.push_back(encoder.Block.Index);
  }
  void Close() override {}

  std::vector<long> Written;
};

// Each row holds its row number; block `failing` fails.
class RowNumbers : public TBandProducer {
public:
  explicit RowNumbers(long failing) : MbrLngFailing(failing) {}
  void Produce(const TBlock& block, TBandEncoder& encoder) override {
    if (block.Index == MbrLngFailing)
      throw std::string("block ") + std::to_string(block.Index);
    encoder.Begin(block);
    for (long row = block.FirstRow; row < block.EndRow; ++row) {
      const std::vector<double> values(block.Width(), static_cast<double>(row));
      encoder.Row(values.data());
    }
    encoder.End();
  }

private:
  long MbrLngFailing;
};

TEST(TBandScheduler, BlocksAreWrittenInOrderOnAnyNumberOfWorkers) {
  const TBandLayout layout = TBandLayout::WholeRows(3, 200, 3);
  for (unsigned workers : {1u, 2u, 3u, 5u, 64u}) {
    RecordingSink sink;
    std::vector<long> reported;
    TBandScheduler::Run(
        layout, sink, workers, [] { return std::make_unique<RowNumbers>(-1); },
        [&](const TBlock& block) { reported.push_back(block.Index); });
    ASSERT_EQ(sink.Written.size(), static_cast<std::size_t>(layout.Count())) << workers;
    for (long index = 0; index < layout.Count(); ++index)
      ASSERT_EQ(sink.Written[index], index) << workers;
    EXPECT_EQ(reported, sink.Written) << workers;
  }
}

TEST(TBandScheduler, AFailureStopsTheWritingBeforeItsBlock) {
  const TBandLayout layout = TBandLayout::WholeRows(2, 100, 1);
  for (unsigned workers : {1u, 2u, 4u})
    for (long failing : {0L, 1L, 37L, 99L}) {
      RecordingSink sink;
      EXPECT_THROW_MSG(TBandScheduler::Run(layout, sink, workers,
                                           [&] { return std::make_unique<RowNumbers>(failing); }),
                       "block " + std::to_string(failing));
      ASSERT_LE(sink.Written.size(), static_cast<std::size_t>(failing)) << workers;
      for (std::size_t i = 0; i < sink.Written.size(); ++i)
        ASSERT_EQ(sink.Written[i], static_cast<long>(i));
    }
}
} // namespace
