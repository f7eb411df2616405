#pragma once

// A value or the run-time error that stopped a step.

#include "runtimeerror.h"

#include <cassert>
#include <utility>
#include <variant>

namespace dyadix {

// The outcome of a step that can fail: a value or a RunTimeError. Shaped like std::expected
// (has_value, value, error, operator*, operator->), which the tools here cannot parse yet.
template<typename T>
class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_state(std::in_place_index<0>, std::move(value))
    {
    }
    Result(RunTimeError error)
        : m_state(std::in_place_index<1>, std::move(error))
    {
    }
    Result(ErrorNumber number)
        : Result(RunTimeError(number))
    {
    }

    bool has_value() const { return m_state.index() == 0; }
    explicit operator bool() const { return has_value(); }

    const T &value() const &
    {
        assert(has_value());
        return std::get<0>(m_state);
    }
    T &value() &
    {
        assert(has_value());
        return std::get<0>(m_state);
    }
    T &&value() &&
    {
        assert(has_value());
        return std::get<0>(std::move(m_state));
    }
    const T &operator*() const & { return value(); }
    T &operator*() & { return value(); }
    const T *operator->() const { return &value(); }
    T *operator->() { return &value(); }

    template<typename U>
    T value_or(U &&fallback) const
    {
        return has_value() ? value() : static_cast<T>(std::forward<U>(fallback));
    }

    const RunTimeError &error() const
    {
        assert(!has_value());
        return std::get<1>(m_state);
    }

private:
    std::variant<T, RunTimeError> m_state;
};

// A step with no value: success, or the error that stopped it.
template<>
class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(RunTimeError error)
        : m_failed(true)
        , m_error(std::move(error))
    {
    }
    Result(ErrorNumber number)
        : Result(RunTimeError(number))
    {
    }

    bool has_value() const { return !m_failed; }
    explicit operator bool() const { return has_value(); }
    const RunTimeError &error() const
    {
        assert(m_failed);
        return m_error;
    }

private:
    bool m_failed = false;
    RunTimeError m_error;
};

using Status = Result<void>;

} // namespace dyadix
