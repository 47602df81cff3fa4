#pragma once
// What a process holds, counted exactly, for tests that hold a loop flat:
//   LiveQObjects(): the QObjects alive (every construction and destruction
//     is reported through Qt's object hooks, parentless objects included);
//   LiveHeapBytes(): the bytes held from malloc and its kin, counted at every
//     call (this header wraps the C library's allocator in the test
//     executable). The allocator's own statistics (mallinfo) also count
//     freed blocks it keeps at hand for reuse, so they move by kilobytes
//     with no change of what is held.
// Include in exactly one source file of a test, and call
// LiveCounts::Install() from the test class's static initMain(), before the
// application object exists. Under AddressSanitizer, which wraps malloc
// itself, the heap is not counted (HeapCounted() is false); the objects are.
#include <QObject>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <malloc.h>

#if defined(__SANITIZE_ADDRESS__)
#define KV_LIVE_HEAP 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KV_LIVE_HEAP 0
#endif
#endif
#ifndef KV_LIVE_HEAP
#define KV_LIVE_HEAP 1
#endif

// Qt's hook table (QtCore, qhooks_p.h): entry 3 is called with every QObject
// made, entry 4 with every QObject destroyed.
extern Q_CORE_EXPORT quintptr qtHookData[];

namespace LiveCounts {
inline std::atomic<int64_t>& objects() {
    static std::atomic<int64_t> n{0};
    return n;
}
inline std::atomic<int64_t>& heapBytes() {
    static std::atomic<int64_t> n{0};
    return n;
}

inline void Install() {
    enum { HookDataVersion = 0, HookDataSize = 1, AddQObject = 3, RemoveQObject = 4 };
    if (qtHookData[HookDataVersion] < 1 || qtHookData[HookDataSize] <= RemoveQObject) qFatal("no QObject hooks");
    using Callback = void (*)(QObject*);
    const Callback added = [](QObject*) { objects().fetch_add(1, std::memory_order_relaxed); };
    const Callback removed = [](QObject*) { objects().fetch_sub(1, std::memory_order_relaxed); };
    qtHookData[AddQObject] = reinterpret_cast<quintptr>(added);
    qtHookData[RemoveQObject] = reinterpret_cast<quintptr>(removed);
}

inline int64_t LiveQObjects() { return objects().load(); }
inline bool HeapCounted() { return KV_LIVE_HEAP != 0; }
inline int64_t LiveHeapBytes() { return heapBytes().load(); }
}  // namespace LiveCounts

#if KV_LIVE_HEAP
// The C library's allocator under its own names; the wrappers count the
// usable size of every block given and taken back.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);

inline void* KvCounted(void* p) {
    if (p) LiveCounts::heapBytes().fetch_add(int64_t(malloc_usable_size(p)), std::memory_order_relaxed);
    return p;
}
inline void KvUncount(void* p) {
    if (p) LiveCounts::heapBytes().fetch_sub(int64_t(malloc_usable_size(p)), std::memory_order_relaxed);
}

void* malloc(size_t n) { return KvCounted(__libc_malloc(n)); }
void* calloc(size_t k, size_t n) { return KvCounted(__libc_calloc(k, n)); }
void free(void* p) {
    KvUncount(p);
    __libc_free(p);
}
void* realloc(void* p, size_t n) {
    const int64_t before = p ? int64_t(malloc_usable_size(p)) : 0;
    void* q = __libc_realloc(p, n);
    if (q || n == 0) LiveCounts::heapBytes().fetch_sub(before, std::memory_order_relaxed);
    return KvCounted(q);
}
void* memalign(size_t a, size_t n) { return KvCounted(__libc_memalign(a, n)); }
void* aligned_alloc(size_t a, size_t n) { return memalign(a, n); }
int posix_memalign(void** out, size_t a, size_t n) {
    void* p = memalign(a, n);
    if (!p) return 12;  // ENOMEM
    *out = p;
    return 0;
}
void* valloc(size_t n) { return memalign(4096, n); }
void* pvalloc(size_t n) { return memalign(4096, (n + 4095) & ~size_t(4095)); }
}
#endif
