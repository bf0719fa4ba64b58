#pragma once
// Failure as a value: an operation returns either its value or an error, which travels up to
// the window or the command-line tool that shows it. Nothing below them shows a failure.

#include <optional>
#include <string>
#include <utility>

#include "core/translatable.h"

namespace tessaro {

// What kind of failure, so a caller can tell a stop the user asked for from a real failure
// without looking at texts.
enum class ErrorKind {
    Cancelled,      // the user stopped the operation; nothing more needs saying
    PhoneGone,      // the phone stopped answering or was pulled out
    PhoneRefused,   // the phone answered but did not carry the request out
    NotFound,       // a file, folder, profile or item that is not there
    ReadOnly,       // a target without write permission, which the user may choose to replace
    ChangedOnDisk,  // another program changed the file since it was read here
    Exists,         // what would be made is there already (a firmware profile, say)
    Io,             // a local file could not be read or written
    Refused,        // the program does not allow it: a limit, a profile, an edit rule
    Format,         // the input is not what its format says
};

inline constexpr char kErrorCaption[] = TRANSLATABLE("Core", "Error");

// Every error says what kind it is: callers branch on the kind, never on the text.
struct Error {
    Error(ErrorKind kind, std::string text, std::string caption = kErrorCaption)
        : kind(kind), text(std::move(text)), caption(std::move(caption)) {}

    ErrorKind kind;
    std::string text;               // the message, complete as the user sees it
    std::string caption = kErrorCaption;  // the message box's caption

    bool cancelled() const { return kind == ErrorKind::Cancelled; }
    // The same error shown under another message box caption.
    Error withCaption(std::string shownCaption) const
    {
        Error shown = *this;
        shown.caption = std::move(shownCaption);
        return shown;
    }
    bool operator==(const Error&) const = default;
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Error error) : error_(std::move(error)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const { return *value_; }
    T& operator*() { return *value_; }
    const T* operator->() const { return &*value_; }
    T* operator->() { return &*value_; }
    // The error's text; empty for a success.
    const std::string& error() const { return error_.text; }
    // The whole error, to pass on: `if (!r) return r.failure();`.
    const Error& failure() const { return error_; }

private:
    std::optional<T> value_;
    Error error_{ErrorKind::Format, ""}; // unused while there is a value
};

// A result that carries no value.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error) : error_(std::move(error)), failed_(true) {}
    static Status success() { return {}; }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return error_.text; }
    const Error& failure() const { return error_; }
    bool cancelled() const { return failed_ && error_.cancelled(); }

private:
    Error error_{ErrorKind::Format, ""}; // unused while it succeeded
    bool failed_ = false;
};

} // namespace tessaro
