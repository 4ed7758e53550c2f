// Memory of a log column: a large block on Linux is asked for in transparent huge pages, so
// filling a million-row column takes a couple of page faults instead of a thousand (each one
// costs microseconds, far more on a virtual machine). Small blocks and other systems use the
// ordinary allocator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace veltrano {

template <class T>
struct ColumnAllocator {
    using value_type = T;
    static constexpr std::size_t kHugePage = std::size_t(2) << 20;

    ColumnAllocator() = default;
    template <class U>
    ColumnAllocator(const ColumnAllocator<U>&) {}

    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
#ifdef __linux__
        if (bytes >= kHugePage)
            return static_cast<T*>(MapHuge(Rounded(bytes)));
#endif
        return static_cast<T*>(::operator new(bytes));
    }

    void deallocate(T* p, [[maybe_unused]] std::size_t n) {
#ifdef __linux__
        if (n * sizeof(T) >= kHugePage) {
            munmap(p, Rounded(n * sizeof(T)));
            return;
        }
#endif
        ::operator delete(p);
    }

  private:
    static std::size_t Rounded(std::size_t bytes) {
        return (bytes + kHugePage - 1) / kHugePage * kHugePage;
    }

#ifdef __linux__
    // Mapped apart from the heap, so freeing it gives the memory back at once; aligned to a
    // huge page by cutting off the ends of a larger mapping.
    static void* MapHuge(std::size_t bytes) {
        const std::size_t span = bytes + kHugePage;
        void* m = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (m == MAP_FAILED)
            throw std::bad_alloc();
        char* base = static_cast<char*>(m);
        const std::size_t lead =
            (kHugePage - reinterpret_cast<std::uintptr_t>(base) % kHugePage) % kHugePage;
        if (lead > 0)
            munmap(base, lead);
        if (kHugePage - lead > 0)
            munmap(base + lead + bytes, kHugePage - lead);
        madvise(base + lead, bytes, MADV_HUGEPAGE);
        return base + lead;
    }
#endif

  public:
    template <class U>
    bool operator==(const ColumnAllocator<U>&) const {
        return true;
    }
};

}  // namespace veltrano
