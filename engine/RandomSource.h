// The program's one source of random numbers, shared by the draw and the random
// ticket so that each use moves the sequence on for the other.
// It is never seeded: every run of the program replays the same sequence, and the
// sequence is the same on every platform and compiler (std::mt19937 in its
// default state is fixed by the language standard).
#pragma once

#include <cstdint>
#include <random>

namespace lotto {

// The fixed sequence is the game's rule, not an oversight.
class RandomSource {  // NOLINT(cert-msc51-cpp)
public:
    // The next non-negative value of the sequence.
    std::uint32_t next() { return static_cast<std::uint32_t>(m_engine()); }  // 32 bits by the generator's definition

    // Equal sources give equal sequences from here on.
    friend bool operator==(const RandomSource&, const RandomSource&) = default;

private:
    std::mt19937 m_engine;
};

// The process-wide source that the program's commands use.
RandomSource& sharedRandomSource();

}  // namespace lotto
