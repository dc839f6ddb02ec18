#pragma once

#include <exception>
#include <optional>
#include <utility>

// What a background job ended with: its result, or the exception it threw.
template <typename T>
class JobOutcome {
public:
    template <typename Work>
    static JobOutcome capture(Work&& work) {
        JobOutcome outcome;
        try {
            outcome.value_.emplace(std::forward<Work>(work)());
        } catch (...) {
            outcome.error_ = std::current_exception();
        }
        return outcome;
    }

    // The result; rethrows what the job threw, so callers handle it with ordinary catch clauses.
    T& value() {
        if (error_) std::rethrow_exception(error_);
        return *value_;
    }

private:
    std::optional<T> value_;
    std::exception_ptr error_;
};
