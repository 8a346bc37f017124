#include "io/ChunkPipeline.h"

namespace zelio {

ChunkPipeline::ChunkPipeline(ChunkSource& reader, bool threaded) : reader_(reader) {
  if (!threaded) return;
  for (int i = 0; i < static_cast<int>(chunks_.size()); ++i) free_.push_back(i);
  helper_ = std::thread([this] { Split(); });
}

ChunkPipeline::~ChunkPipeline() {
  if (!helper_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  helper_.join();
}

// The caller's thread cannot see an exception of the helper's, so it is
// handed over instead of ending the process.
void ChunkPipeline::Split() {
  try {
    SplitChunks();
  } catch (...) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      failure_ = std::current_exception();
    }
    changed_.notify_all();
  }
}

void ChunkPipeline::SplitChunks() {
  for (;;) {
    int index;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return stop_ || !free_.empty(); });
      if (stop_) return;
      index = free_.front();
      free_.pop_front();
    }
    CsvChunk& chunk = chunks_[static_cast<std::size_t>(index)];
    reader_.Next(&chunk);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ready_.push_back(index);
    }
    changed_.notify_all();
    if (chunk.last) return;
  }
}

const CsvChunk& ChunkPipeline::Next() {
  if (!helper_.joinable()) {
    reader_.Next(&chunks_[0]);
    return chunks_[0];
  }
  std::unique_lock<std::mutex> lock(mutex_);
  if (current_ >= 0) {
    free_.push_back(current_);
    changed_.notify_all();
  }
  changed_.wait(lock, [this] { return !ready_.empty() || failure_ != nullptr; });
  if (ready_.empty()) std::rethrow_exception(failure_);
  current_ = ready_.front();
  ready_.pop_front();
  return chunks_[static_cast<std::size_t>(current_)];
}

}  // namespace zelio
