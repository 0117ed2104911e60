#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <cstdlib>

// Every fuzz target parses the input, and when it is accepted, writes it again and checks that
// the written form reads back to the same values.
#define ROVANTA_FUZZ_CHECK(cond)                                                                            \
    do {                                                                                                    \
        if (!(cond))                                                                                        \
            std::abort();                                                                                   \
    } while (0)

inline QByteArray fuzzBytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}
