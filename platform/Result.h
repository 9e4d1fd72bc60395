#pragma once

#include "platform/Problem.h"

#include <optional>
#include <string>
#include <utility>

namespace carrovex
{

class Status;

// The outcome of a platform call: a value, or the system's own description of why it failed
// ("Permission denied", "No space left on device"), or a problem the platform found itself, described in
// English until the logic puts it into the user's language. Nothing in the platform layer throws.
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

    static Result failure(Problem problem)
    {
        Result result = failure(englishText(problem));
        result.m_problem = problem;
        return result;
    }

    // The failure of a step that had no value to give.
    static Result failure(const Status& failed);

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
    std::optional<Problem> problem() const
    {
        return m_problem;
    }

private:
    Result() = default;

    std::optional<T> m_value;
    std::string m_error;
    std::optional<Problem> m_problem;
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

    static Status failure(Problem problem)
    {
        Status status = failure(englishText(problem));
        status.m_problem = problem;
        return status;
    }

    // The failure of a call whose result is not needed.
    template <class T> static Status failure(const Result<T>& failed)
    {
        Status status = failure(failed.error());
        status.m_problem = failed.problem();
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
    std::optional<Problem> problem() const
    {
        return m_problem;
    }

private:
    bool m_failed = false;
    std::string m_error;
    std::optional<Problem> m_problem;
};

template <class T> Result<T> Result<T>::failure(const Status& failed)
{
    Result result = failure(failed.error());
    result.m_problem = failed.problem();
    return result;
}

} // namespace carrovex
