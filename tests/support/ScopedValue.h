// A variable (a window global, a pane's field) set for one scope: it gets its
// old value back on every way out, also when a failed assertion returns or an
// exception leaves the test, so no later code meets a stand-in that is gone.
#pragma once

#include <utility>

namespace test_support {

template <class T>
class ScopedValue {
public:
    ScopedValue(T& variable, T value) : variable_(variable), saved_(variable) { variable_ = std::move(value); }
    ~ScopedValue() { variable_ = std::move(saved_); }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    T& variable_;
    T saved_;
};

} // namespace test_support
