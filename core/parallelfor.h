#pragma once

#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

namespace amplex::kernels {

// Registers below this many amplitudes are done on one thread: starting and joining threads
// costs tens of microseconds, which a pass over 2^16 or 2^17 amplitudes does not earn back (a
// 16-qubit search ran 1.6 times slower on two threads than on one).
inline constexpr std::uint64_t ParallelThreshold = std::uint64_t{1} << 18;

// The threads a large pass uses: AMPLEX_THREADS when it holds a number from 1 to 256,
// otherwise std::thread::hardware_concurrency() (at least 1).
int threadCount();

// Calls body(begin, end) on disjoint ranges that together cover 0 .. items, each range on its
// own thread, and returns when all are done. The split is by index only, so a body whose
// result per index does not depend on the range gives the same bits for every thread count.
// registerSize (amplitudes of the register) decides whether threads pay at all.
//
// Threads are started per call and joined before it returns: the kernels run inside gate
// plug-ins that are unloaded after each run, and no thread may be left running their code.
template <class Body>
void parallelFor(std::uint64_t registerSize, std::uint64_t items, const Body& body) {
    const std::uint64_t threads =
        registerSize < ParallelThreshold ? 1 : static_cast<std::uint64_t>(threadCount());
    if (threads <= 1 || items < threads) {
        body(std::uint64_t{0}, items);
        return;
    }
    std::vector<std::thread> workers;
    workers.reserve(threads - 1);
    for (std::uint64_t t = 1; t < threads; ++t) {
        const std::uint64_t begin = items * t / threads;
        const std::uint64_t end = items * (t + 1) / threads;
        try {
            workers.emplace_back([&body, begin, end] { body(begin, end); });
        } catch (const std::system_error&) {
            body(begin, end); // no thread to be had: this one does the range
        }
    }
    body(0, items / threads);
    for (std::thread& worker : workers) {
        worker.join();
    }
}

} // namespace amplex::kernels
