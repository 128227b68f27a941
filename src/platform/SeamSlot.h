// The one way a platform seam is reached: a slot holding the implementation
// the process uses (installed by the front-end or a test, not owned) and the
// fallback that answers while nothing is installed. Reads and installs are
// atomic, as background threads (the sender, the download) use the seams
// while the front-end or a test swaps them. A slot is constant-initialised,
// so a seam is usable from any other static's constructor.
#pragma once

#include <atomic>

template <class Seam>
class SeamSlot {
public:
    constexpr explicit SeamSlot(Seam& fallback) : fallback(&fallback), current(&fallback) {}
    SeamSlot(const SeamSlot&) = delete;
    SeamSlot& operator=(const SeamSlot&) = delete;

    Seam& get() const { return *current.load(std::memory_order_acquire); }
    // nullptr restores the fallback.
    void install(Seam* seam) { current.store(seam != nullptr ? seam : fallback, std::memory_order_release); }

private:
    Seam* const fallback;
    std::atomic<Seam*> current;
};
