#include "raster/text_pass.h"

#include <algorithm>
#include <atomic>

#include "raster/host_memory.h"
#include "raster/parallel.h"
#include "raster/token_reader.h"

namespace relievo {

namespace {

// Text a chunk starts with, before it is stretched to the next sync point.
constexpr std::int64_t kChunkBytes = 256 * 1024;
// Values a slot holds: a token takes a character and the one that ends it. A chunk stretched
// far beyond its start by text without separators holds more; the calling thread reads the
// rest of it when it takes the chunk.
constexpr int kSlotValues = static_cast<int>(kChunkBytes / 2 + 2);
// Parsed chunks waiting to be taken, per worker.
constexpr int kSlotsPerWorker = 4;
// Each worker's buffer for reading, and how much is looked at a time for a sync point.
constexpr std::size_t kTextRoom = 64 * 1024;
constexpr std::size_t kSyncLook = 4096;

// The tokens of a chunk start in [start, end).
struct Chunk {
  std::int64_t start;
  std::int64_t end;
};

// A parsed piece of a chunk, until the calling thread takes it.
struct Slot {
  float* values;        // kSlotValues of room
  std::int64_t start;   // where the piece's tokens start
  std::int64_t resume;  // where the chunk goes on when the room filled up, else its end
  int count;
  bool tooLong;  // a token too long ended the reading
  double minimum;
  double maximum;
};

class TextReading {
 public:
  TextReading(const TextPass& pass, AsciiTextResult& result) : pass_(pass), result_(result) {}

  // Cuts the text into chunks, parses them on every core and takes them in order. False when
  // the host refused the room.
  bool run();

 private:
  bool allocate(int workers);
  void cut();
  // The range of the doubles, before they are narrowed: strictly beyond an end moves it, as
  // a single reading has it; undefined values, when skipped, are no part of it.
  void widen(double value, double& minimum, double& maximum) const {
    if (pass_.skipNull && value == pass_.nullValue) return;
    if (value < minimum) minimum = value;
    if (value > maximum) maximum = value;
  }
  void parse(Slot& slot, std::int64_t start, std::int64_t end, char* room) const;
  void task(int k, int worker);
  void takeReady();
  bool take(int k, Slot& slot);
  int reportRows(int usable);

  const TextPass& pass_;
  AsciiTextResult& result_;
  HostBlock<Chunk> chunks_;
  HostBlock<Slot> slots_;
  HostBlock<float> values_;
  HostBlock<char> rooms_;
  HostBlock<int> parsed_;  // per chunk, 1 once parsed into its slot
  int chunkCount_ = 0;
  int slotCount_ = 0;
  int read_ = 0;
  std::atomic<int> taken_{0};
  std::atomic<bool> stopped_{false};
};

bool TextReading::allocate(int workers) {
  const std::int64_t text = std::max<std::int64_t>(pass_.size - pass_.start, 0);
  chunkCount_ = static_cast<int>(std::max<std::int64_t>((text + kChunkBytes - 1) / kChunkBytes, 1));
  slotCount_ = workers * kSlotsPerWorker;
  chunks_ = hostBlock<Chunk>(static_cast<std::size_t>(chunkCount_));
  parsed_ = hostBlock<int>(static_cast<std::size_t>(chunkCount_));
  slots_ = hostBlock<Slot>(static_cast<std::size_t>(slotCount_));
  values_ = hostBlock<float>(static_cast<std::size_t>(slotCount_) * kSlotValues);
  rooms_ = hostBlock<char>(static_cast<std::size_t>(workers) * kTextRoom);
  if (!chunks_ || !parsed_ || !slots_ || !values_ || !rooms_) return false;
  for (int s = 0; s < slotCount_; ++s)
    slots_.get()[s].values = values_.get() + static_cast<std::size_t>(s) * kSlotValues;
  return true;
}

// Chunks of about kChunkBytes, each ending at a sync point.
void TextReading::cut() {
  std::int64_t at = pass_.start;
  for (int k = 0; k < chunkCount_; ++k) {
    const std::int64_t nominal = pass_.start + (k + 1) * kChunkBytes;
    const std::int64_t end =
        nominal >= pass_.size
            ? std::max(pass_.size, at)
            : std::max(at, textSyncPoint(pass_.fd, nominal, pass_.size, rooms_.get(), kSyncLook));
    chunks_.get()[k] = {at, end};
    at = end;
  }
}

void TextReading::parse(Slot& slot, std::int64_t start, std::int64_t end, char* room) const {
  AsciiTokenReader reader(pass_.fd, start, room, kTextRoom);
  TokenStatus status = TokenStatus::End;
  double value = 0.0;
  // Counted in locals and stored once: the slots of two workers may share a cache line, and
  // writing them for every value made two threads slower than one.
  int count = 0;
  double minimum = kRangeStartMin;
  double maximum = kRangeStartMax;
  while (count < kSlotValues && (status = reader.nextValue(value, end)) == TokenStatus::Value) {
    slot.values[count++] = static_cast<float>(value);
    widen(value, minimum, maximum);
  }
  slot.start = start;
  slot.count = count;
  slot.minimum = minimum;
  slot.maximum = maximum;
  slot.tooLong = status == TokenStatus::TooLong;
  slot.resume = count == kSlotValues ? reader.position() : end;
}

void TextReading::task(int k, int worker) {
  // Chunk k's slot is free once the chunk slotCount_ before it has been taken. The calling
  // thread takes the chunks itself, each as soon as it is parsed; the others wait for it.
  for (int seen = taken_.load(); k - seen >= slotCount_ && !stopped_; seen = taken_.load()) {
    if (worker == 0) {
      std::atomic_ref<int>(parsed_.get()[seen]).wait(0);
      takeReady();
    } else {
      taken_.wait(seen);
    }
  }
  if (stopped_) return;
  const Chunk& chunk = chunks_.get()[k];
  parse(slots_.get()[k % slotCount_], chunk.start, chunk.end,
        rooms_.get() + kTextRoom * static_cast<std::size_t>(worker));
  std::atomic_ref<int> parsed(parsed_.get()[k]);
  parsed.store(1);
  parsed.notify_all();
}

// Takes every parsed chunk that is next in order; the calling thread's work.
void TextReading::takeReady() {
  for (int k = taken_.load(); k < chunkCount_ && !stopped_; k = taken_.load()) {
    if (std::atomic_ref<int>(parsed_.get()[k]).load() == 0) return;
    Slot& slot = slots_.get()[k % slotCount_];
    bool goOn = take(k, slot);
    // A chunk that filled its slot goes on from where its parsing stopped.
    while (goOn && slot.resume < chunks_.get()[k].end) {
      parse(slot, slot.resume, chunks_.get()[k].end, rooms_.get());
      goOn = take(k, slot);
    }
    if (!goOn) stopped_ = true;
    taken_.store(k + 1);
    taken_.notify_all();
  }
}

// Reports the rows that end among the next `usable` values; fewer of them are usable when
// the progress stops the reading.
int TextReading::reportRows(int usable) {
  const std::int64_t last = std::int64_t{read_} + usable;
  for (std::int64_t end = (read_ / pass_.width + 1) * std::int64_t{pass_.width}; end <= last;
       end += pass_.width) {
    if (pass_.progress != nullptr && pass_.progress(0, static_cast<int>(end), pass_.context) == 0) {
      stopped_ = true;
      return static_cast<int>(end - read_);
    }
  }
  return usable;
}

// Takes a parsed piece of chunk k as a single reading takes its tokens; false once the reading
// ends: the total reached, the progress stopped it, or a token too long.
bool TextReading::take(int k, Slot& slot) {
  const int usable = reportRows(std::min(slot.count, pass_.total - read_));
  if (usable == slot.count) {
    if (slot.minimum < result_.minValue) result_.minValue = slot.minimum;
    if (slot.maximum > result_.maxValue) result_.maxValue = slot.maximum;
  } else {
    // Only part of the piece counts: its range is found again from the text, in doubles.
    AsciiTokenReader reader(pass_.fd, slot.start, rooms_.get(), kTextRoom);
    double value = 0.0;
    for (int i = 0;
         i < usable && reader.nextValue(value, chunks_.get()[k].end) == TokenStatus::Value; ++i) {
      widen(value, result_.minValue, result_.maxValue);
    }
  }
  if (pass_.values != nullptr) std::copy_n(slot.values, usable, pass_.values + read_);
  read_ += usable;
  return !stopped_ && read_ < pass_.total && !(slot.tooLong && usable == slot.count);
}

bool TextReading::run() {
  const std::int64_t text = std::max<std::int64_t>(pass_.size - pass_.start, 0);
  const int workers = workersFor(partsFor(text, workerThreads(), kChunkBytes));
  if (!allocate(workers)) return false;
  cut();
  parallelFor(
      chunkCount_, workers, [&](int k, int worker) { task(k, worker); }, [&] { takeReady(); });
  result_.valuesRead = read_;
  return true;
}

}  // namespace

void readTextInRounds(const TextPass& pass, AsciiTextResult& result) {
  TextReading(pass, result).run();
}

}  // namespace relievo
