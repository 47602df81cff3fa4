// Linked into every benchmark: before anything else it prints the build it
// runs in, since a ratio measured in a debug or sanitizer build says nothing
// about the build a user runs.
#include <cstdio>

namespace {
struct SayBuild {
    SayBuild() {
        std::printf("%s\n", KV_BENCH_BUILD);
        std::fflush(stdout);
    }
} sayBuild;
}  // namespace
