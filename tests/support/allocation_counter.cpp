// Replacement of the global operator new and delete that counts every allocation.
#include "tests/support/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

static std::atomic<long> allocations{0};

long AllocationCount() { return allocations.load(); }

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
