#pragma once

#include <QString>
#include <cassert>
#include <type_traits>
#include <utility>
#include <variant>

namespace vantle {

// Why an operation failed, in words fit for a log line.
struct Error {
    QString text;
};

// The outcome of an operation that fails with a reason: a value, or an error text. A function
// returns either `value` or `Error{text}`; callers test it, then take `*result` or
// `result.error()`. No exceptions: reading the wrong side is a programming fault.
template <typename T> class [[nodiscard]] Result {
    static_assert(!std::is_same_v<T, Error>, "a Result holds a value or an Error, not both");

public:
    Result(const T& value) : mState(std::in_place_index<0>, value) {}
    Result(T&& value) : mState(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : mState(std::in_place_index<1>, std::move(error)) {}
    static Result failure(QString text) { return Result(Error{std::move(text)}); }

    bool ok() const { return mState.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& {
        assert(ok());
        return *std::get_if<0>(&mState);
    }
    T& value() & {
        assert(ok());
        return *std::get_if<0>(&mState);
    }
    T&& value() && {
        assert(ok());
        return std::move(*std::get_if<0>(&mState));
    }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    T&& operator*() && { return std::move(*this).value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    // Empty when the operation succeeded.
    QString error() const {
        const Error* failed = std::get_if<1>(&mState);
        return failed ? failed->text : QString();
    }

private:
    std::variant<T, Error> mState;
};

// An operation that yields nothing but may fail with a reason.
template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : mError(std::move(error.text)), mFailed(true) {}
    static Result failure(QString text) { return Result(Error{std::move(text)}); }

    bool ok() const { return !mFailed; }
    explicit operator bool() const { return ok(); }
    const QString& error() const { return mError; }

private:
    QString mError;
    bool mFailed = false;
};

} // namespace vantle
