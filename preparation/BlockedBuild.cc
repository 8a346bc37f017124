#include "preparation/BlockedBuild.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "frame/ZelLockstep.h"
#include "frame/ZelStatusCodes.h"

using ZelFrame::ZelLockstep;

namespace zelprep {

using TorCommon_1_3::ITorAlgorithm;
using TorCommon_1_3::TorStatus;

namespace {

// Runs work(i) for every replica, each on a thread of its own but the
// first, which runs on the caller's.
void OnEveryReplica(std::size_t count, const std::function<void(std::size_t)>& work) {
  std::vector<std::thread> threads;
  for (std::size_t i = 1; i < count; ++i) threads.emplace_back(work, i);
  work(0);
  for (std::thread& thread : threads) thread.join();
}

// The first error among the replicas' statuses, else replica 0's.
TorStatus Worst(const std::vector<TorStatus>& statuses) {
  for (const TorStatus& status : statuses) {
    if (status.IsError()) return status;
  }
  return statuses.front();
}

// The blocks' states, merged in block order as they arrive.
class InOrderMerge {
 public:
  explicit InOrderMerge(BlockFeed& feed) : feed_(feed) {}

  TorStatus Add(int64_t index, std::string state) {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_.emplace(index, std::move(state));
    for (auto it = waiting_.find(next_); it != waiting_.end(); it = waiting_.find(next_)) {
      if (next_ == 0) {
        merged_ = std::move(it->second);
      } else {
        const TorStatus status = ZelLockstep::MergeStates(merged_, it->second, &scratch_);
        if (status.IsError()) {
          detail_ = ZelLockstep::DescribeMerge();
          return status;
        }
        merged_.swap(scratch_);
      }
      rows_.store(rows_.load() + feed_.RowsOf(next_));
      waiting_.erase(it);
      ++next_;
    }
    return TorStatus();
  }
  // Every block arrived.
  bool Complete() const { return waiting_.empty() && next_ > 0; }
  const std::string& Merged() const { return merged_; }
  // The rows merged so far; read from any thread.
  int64_t Rows() const { return rows_.load(); }
  const std::string& Detail() const { return detail_; }

 private:
  BlockFeed& feed_;
  std::mutex mutex_;
  std::map<int64_t, std::string> waiting_;
  int64_t next_ = 0;
  std::atomic<int64_t> rows_{0};
  std::string merged_;
  std::string scratch_;
  std::string detail_;
};

}  // namespace

TorStatus RunBlockedBuild(const std::vector<ITorAlgorithm*>& replicas, BlockFeed& feed,
                          zelio::ReadProgress& progress, std::string* detail) {
  const std::size_t n = replicas.size();
  std::vector<TorStatus> statuses(n);
  OnEveryReplica(n, [&](std::size_t i) { statuses[i] = ZelLockstep::Begin(*replicas[i]); });
  if (Worst(statuses).IsError()) return Worst(statuses);
  // Every pass ends on the progress line, those that do not run too.
  int ended = 0;
  auto endPassesBefore = [&](int pass) {
    for (; ended < pass; ++ended) progress.PassEnded(0);
  };
  for (;;) {
    std::vector<char> reads(n, 0);
    std::vector<char> done(n, 0);
    OnEveryReplica(n, [&](std::size_t i) {
      bool r = false;
      bool d = false;
      statuses[i] = ZelLockstep::StartPass(*replicas[i], &r, &d);
      reads[i] = r;
      done[i] = d;
    });
    if (Worst(statuses).IsError()) return Worst(statuses);
    endPassesBefore(ZelLockstep::CurrentPass(*replicas[0]));
    if (done[0] != 0) break;
    int64_t rows = 0;
    if (reads[0] != 0) {
      feed.Restart();
      InOrderMerge merge(feed);
      std::mutex failed;
      std::atomic<bool> stopped{false};
      OnEveryReplica(n, [&](std::size_t i) {
        int64_t index = 0;
        std::string state;
        while (!stopped.load()) {
          TorCommon_1_3::IRecordSource* block = feed.Next(i, &index);
          if (block == nullptr) break;
          TorStatus status = ZelLockstep::ReadRows(*replicas[i], block, &state);
          if (!status.IsError()) status = merge.Add(index, std::move(state));
          // The host hears from its own thread only.
          if (i == 0) progress.Records(merge.Rows());
          if (status.IsError()) {
            std::lock_guard<std::mutex> lock(failed);
            stopped.store(true);
            if (!statuses[0].IsError()) statuses[0] = status;
            if (detail->empty()) {
              *detail =
                  merge.Detail().empty() ? ZelLockstep::Describe(*replicas[i]) : merge.Detail();
            }
            break;
          }
        }
      });
      if (statuses[0].IsError()) return statuses[0];
      if (!feed.Error().empty() || !merge.Complete()) {
        return TorStatus(ZelStatusCode::kInconsistent, false);
      }
      rows = merge.Rows();
      OnEveryReplica(n, [&](std::size_t i) {
        statuses[i] = ZelLockstep::InstallState(*replicas[i], merge.Merged());
      });
      if (Worst(statuses).IsError()) {
        *detail = ZelLockstep::Describe(*replicas[0]);
        return Worst(statuses);
      }
    }
    OnEveryReplica(n, [&](std::size_t i) { statuses[i] = ZelLockstep::FinishPass(*replicas[i]); });
    if (Worst(statuses).IsError()) return Worst(statuses);
    progress.PassEnded(rows);
    ++ended;
  }
  OnEveryReplica(n, [&](std::size_t i) { statuses[i] = ZelLockstep::End(*replicas[i]); });
  return Worst(statuses);
}

}  // namespace zelprep
