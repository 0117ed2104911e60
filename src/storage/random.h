#pragma once

#include <random>

namespace rv {

// The pseudo-random source of the sample generation: seeded once from the clock in the
// program, with a fixed seed (or a scripted sequence) in tests.
class Random {
public:
    virtual ~Random() = default;
    // Uniform in [0, 1), single precision.
    virtual float next() = 0;
};

class MersenneRandom : public Random {
public:
    explicit MersenneRandom(unsigned seed) : m_engine(seed) {}
    float next() override {
        // 24 random bits give every float of [0, 1) on the grid of 2^-24, never 1.0.
        return float(m_engine() >> 8) * (1.0f / 16777216.0f);
    }

private:
    std::mt19937 m_engine;
};

} // namespace rv
