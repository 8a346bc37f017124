#include "io/HugePageAllocator.h"

#include <sys/mman.h>

#include <cstdint>

namespace zelio {

namespace {

constexpr std::size_t kSmallPage = std::size_t{1} << 12;
constexpr std::size_t kHugePage = std::size_t{1} << 21;

std::size_t RoundUp(std::size_t bytes, std::size_t unit) {
  return (bytes + unit - 1) / unit * unit;
}

// The length mapped for a block: whole huge pages when that adds at most a
// quarter, so that the last part of a block just under a huge page is not
// left to small pages; otherwise whole small pages.
std::size_t MappedLength(std::size_t bytes) {
  const std::size_t huge = RoundUp(bytes, kHugePage);
  return huge - bytes <= bytes / 4 ? huge : RoundUp(bytes, kSmallPage);
}

}  // namespace

std::size_t WholeHugePages(std::size_t bytes) { return RoundUp(bytes, kHugePage); }

void* AllocateLarge(std::size_t bytes) {
  if (bytes > static_cast<std::size_t>(-1) / 2) return nullptr;
  const std::size_t length = MappedLength(bytes);
  // Mapped one huge page longer, so that the block can start on a huge page.
  void* mapped = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  const auto base = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t start = RoundUp(base, kHugePage);
  if (start > base) munmap(mapped, start - base);
  const std::size_t tail = kHugePage - (start - base);
  if (tail > 0) munmap(reinterpret_cast<void*>(start + length), tail);
#ifdef MADV_HUGEPAGE
  const std::size_t whole = length / kHugePage * kHugePage;
  if (whole > 0) madvise(reinterpret_cast<void*>(start), whole, MADV_HUGEPAGE);
#endif
  return reinterpret_cast<void*>(start);
}

void FreeLarge(void* block, std::size_t bytes) { munmap(block, MappedLength(bytes)); }

}  // namespace zelio
