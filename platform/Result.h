#pragma once

#include <optional>
#include <string>
#include <utility>

namespace carrovex
{

// The outcome of a platform call: a value, or the system's own description of why it failed
// ("Permission denied", "No space left on device"). Nothing in the platform layer throws.
template <class T> class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_value(std::move(value))
    {
    }

    static Result failure(std::string description)
    {
        Result result;
        result.m_error = std::move(description);
        return result;
    }

    bool ok() const
    {
        return m_value.has_value();
    }
    const T& value() const
    {
        return *m_value;
    }
    T& value()
    {
        return *m_value;
    }
    const std::string& error() const
    {
        return m_error;
    }

private:
    Result() = default;

    std::optional<T> m_value;
    std::string m_error;
};

class [[nodiscard]] Status
{
public:
    Status() = default;

    static Status failure(std::string description)
    {
        Status status;
        status.m_failed = true;
        status.m_error = std::move(description);
        return status;
    }

    bool ok() const
    {
        return !m_failed;
    }
    const std::string& error() const
    {
        return m_error;
    }

private:
    bool m_failed = false;
    std::string m_error;
};

} // namespace carrovex
