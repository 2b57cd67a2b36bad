#pragma once

#include "foundation/Value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

// A property the fuzzed code must keep; a broken one stops the run with a report, like a
// sanitizer finding.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace tidemark {

// Value equality where a NaN equals a NaN: a NaN read from a file must survive a rewrite.
inline bool sameValue(const Value& a, const Value& b) {
    if (a.kind() != b.kind())
        return false;
    switch (a.kind()) {
    case Value::Kind::Real: {
        const double x = *a.asNumber(), y = *b.asNumber();
        return x == y || (std::isnan(x) && std::isnan(y));
    }
    case Value::Kind::Array: {
        const auto &x = *a.asArray(), &y = *b.asArray();
        if (x.size() != y.size())
            return false;
        for (std::size_t i = 0; i < x.size(); ++i)
            if (!sameValue(x[i], y[i]))
                return false;
        return true;
    }
    case Value::Kind::Dictionary: {
        const auto &x = *a.asDictionary(), &y = *b.asDictionary();
        if (x.size() != y.size())
            return false;
        for (auto i = x.begin(), j = y.begin(); i != x.end(); ++i, ++j)
            if (i->first != j->first || !sameValue(i->second, j->second))
                return false;
        return true;
    }
    default:
        return a == b;
    }
}

} // namespace tidemark
