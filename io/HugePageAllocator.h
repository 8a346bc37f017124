// HugePageAllocator: the allocator of the loader's large arrays (columns
// of a million values, the chunks' cell tables). A first touch of a fresh
// 4 KiB page costs more on a virtual machine than parsing the cells that
// fill it, so blocks of a megabyte and more come straight from the system
// with their 2 MiB pages marked for huge pages: a column of a million rows
// then takes a few page faults instead of hundreds. A block is rounded up
// to whole huge pages only when that adds at most a quarter of it, so the
// resident memory stays close to what is asked for. Growing an array
// leaves new elements uninitialised, since every one is written before it
// is read; that keeps reserved room that is never used from being touched.
#ifndef ZELCRAFT_IO_HUGEPAGEALLOCATOR_H_
#define ZELCRAFT_IO_HUGEPAGEALLOCATOR_H_

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace zelio {

// Mapped blocks of at least kMappedBytes; null when the system has no room.
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* block, std::size_t bytes);
constexpr std::size_t kMappedBytes = std::size_t{1} << 20;
// `bytes` rounded up to whole huge pages: a buffer that is refilled many
// times may as well take them all.
std::size_t WholeHugePages(std::size_t bytes);

template <typename T>
class HugePageAllocator {
  static_assert(std::is_trivially_copyable<T>::value, "for arrays of plain values");

 public:
  using value_type = T;

  HugePageAllocator() = default;
  template <typename U>
  HugePageAllocator(const HugePageAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kMappedBytes) return static_cast<T*>(::operator new(bytes));
    void* block = AllocateLarge(bytes);
    if (block == nullptr) throw std::bad_alloc();
    return static_cast<T*>(block);
  }
  void deallocate(T* p, std::size_t n) noexcept {
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kMappedBytes) {
      ::operator delete(p);
    } else {
      FreeLarge(p, bytes);
    }
  }

  // Default-initialised, that is left as it is: resize makes room only.
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  template <typename U>
  bool operator==(const HugePageAllocator<U>&) const noexcept {
    return true;
  }
  template <typename U>
  bool operator!=(const HugePageAllocator<U>&) const noexcept {
    return false;
  }
};

}  // namespace zelio

#endif  // ZELCRAFT_IO_HUGEPAGEALLOCATOR_H_
