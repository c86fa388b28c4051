// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/flood_memory.h"

#include <cstdlib>  // says whether this is the GNU C library
#include <memory>

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#endif

namespace korvani::platform {

void PrepareMemoryForFloods() {
#if defined(__linux__) && defined(__GLIBC__)
  constexpr std::size_t kMegabyte = std::size_t{1} << 20U;
  constexpr std::size_t kLargePage = 2 * kMegabyte;
  constexpr std::size_t kRoom = 256 * kMegabyte;  // address space only: nothing is touched
  // The room is taken from the heap (not mapped apart), marked, and given back to the heap,
  // where it stays: the allocations that follow are carved from it.
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(2 * kRoom));
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(4 * kRoom));
  if (void* room = std::malloc(kRoom); room != nullptr) {
    void* start = room;
    std::size_t space = kRoom;
    // Refused where the system has no large pages: the heap then works as it always did.
    if (std::align(kLargePage, kRoom - kLargePage, start, space) != nullptr) {
      madvise(start, kRoom - kLargePage, MADV_HUGEPAGE);
    }
    std::free(room);
  }
  // Blocks up to 32 MB come from the heap too; larger ones are mapped apart.
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(32 * kMegabyte));
#endif
}

}  // namespace korvani::platform
