// ChunkPipeline: hands out the chunks of a ChunkSource in order. With a
// helper thread it splits the next chunks while the caller converts the
// current one, holding at most four chunks; without, it splits each chunk
// when asked. Either way the caller sees the same chunks, and a failure of
// the helper (out of memory) reaches the caller from Next.
#ifndef ZELCRAFT_IO_CHUNKPIPELINE_H_
#define ZELCRAFT_IO_CHUNKPIPELINE_H_

#include <array>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "io/CsvChunk.h"

namespace zelio {

class ChunkPipeline {
 public:
  // `reader` must outlive the pipeline.
  ChunkPipeline(ChunkSource& reader, bool threaded);
  ~ChunkPipeline();
  ChunkPipeline(const ChunkPipeline&) = delete;
  ChunkPipeline& operator=(const ChunkPipeline&) = delete;

  // The next chunk, valid until the next call; not called again after a
  // chunk marked last. Rethrows what the helper threw, once the chunks it
  // finished before are handed out.
  const CsvChunk& Next();

 private:
  void Split();
  void SplitChunks();

  ChunkSource& reader_;
  std::array<CsvChunk, 4> chunks_;
  std::thread helper_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<int> free_;
  std::deque<int> ready_;
  int current_ = -1;
  bool stop_ = false;
  std::exception_ptr failure_;  // what ended the helper early
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_CHUNKPIPELINE_H_
