// The Windows builds' operator new for small blocks. A parsed game is thousands of small blocks,
// and Wine's heap gets slower the more of them live (a collection three times as large took
// thirty times as long); here each size class takes its blocks from 64 KiB chunks of its own and
// keeps the freed ones in a list, so an allocation or a release is a few instructions whatever
// the number of blocks. Larger requests go to malloc. Chunks are never given back: freed blocks
// serve later requests of their class.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

static_assert(sizeof(void*) == 4, "the chunk table covers a 32-bit address space");

constexpr size_t ChunkBytes = size_t(1) << 16;  // the system's allocation granularity
constexpr size_t Alignment = __STDCPP_DEFAULT_NEW_ALIGNMENT__;
constexpr size_t ClassSizes[] = {16, 32, 48, 64, 96, 128, 192, 256, 384, 512, 768, 1024, 1536, 2048};
constexpr int ClassCount = int(sizeof ClassSizes / sizeof ClassSizes[0]);
static_assert(ClassSizes[0] % Alignment == 0);

struct FreeBlock {
  FreeBlock* next;
};

// Per 64 KiB of the address space: 0, or 1 + the class whose chunk is there. Zero-initialised
// before any constructor runs, as are the lists and the lock: operator new may be called early.
unsigned char chunkClass[size_t(1) << 16];
FreeBlock* freeLists[ClassCount];
std::atomic_flag busy = ATOMIC_FLAG_INIT;

class SpinLock {
 public:
  SpinLock() {
    while (busy.test_and_set(std::memory_order_acquire)) SwitchToThread();
  }
  ~SpinLock() { busy.clear(std::memory_order_release); }
};

int ClassOf(size_t bytes) {
  for (int c = 0; c < ClassCount; ++c)
    if (bytes <= ClassSizes[c]) return c;
  return -1;
}

// Carves a new chunk into free blocks of the class; false when the system has no more memory.
bool Refill(int c) {
  void* chunk = VirtualAlloc(nullptr, ChunkBytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!chunk) return false;
  chunkClass[uintptr_t(chunk) >> 16] = static_cast<unsigned char>(c + 1);
  char* const start = static_cast<char*>(chunk);
  const size_t size = ClassSizes[c];
  for (size_t offset = ChunkBytes / size * size; offset >= size; offset -= size) {
    auto* block = reinterpret_cast<FreeBlock*>(start + offset - size);
    block->next = freeLists[c];
    freeLists[c] = block;
  }
  return true;
}

void* Allocate(size_t bytes) noexcept {
  const int c = ClassOf(bytes == 0 ? 1 : bytes);
  if (c < 0) return std::malloc(bytes);
  SpinLock lock;
  if (!freeLists[c] && !Refill(c)) return nullptr;
  FreeBlock* block = freeLists[c];
  freeLists[c] = block->next;
  return block;
}

void Release(void* pointer) noexcept {
  if (!pointer) return;
  const unsigned char owner = chunkClass[uintptr_t(pointer) >> 16];
  if (owner == 0) {
    std::free(pointer);
    return;
  }
  SpinLock lock;
  auto* block = static_cast<FreeBlock*>(pointer);
  block->next = freeLists[owner - 1];
  freeLists[owner - 1] = block;
}

void* AllocateOrThrow(size_t bytes) {
  void* pointer = Allocate(bytes);
  if (!pointer) throw std::bad_alloc();
  return pointer;
}

}  // namespace

void* operator new(size_t bytes) { return AllocateOrThrow(bytes); }
void* operator new[](size_t bytes) { return AllocateOrThrow(bytes); }
void* operator new(size_t bytes, const std::nothrow_t&) noexcept { return Allocate(bytes); }
void* operator new[](size_t bytes, const std::nothrow_t&) noexcept { return Allocate(bytes); }
void operator delete(void* pointer) noexcept { Release(pointer); }
void operator delete[](void* pointer) noexcept { Release(pointer); }
void operator delete(void* pointer, size_t) noexcept { Release(pointer); }
void operator delete[](void* pointer, size_t) noexcept { Release(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { Release(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { Release(pointer); }
