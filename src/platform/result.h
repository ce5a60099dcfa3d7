#pragma once

#include <QString>

#include <utility>
#include <variant>

namespace pennoro {

// Why something could not be done, for the user's message.
struct Failure {
    QString path;   // the file concerned, absolute with native separators; empty when none
    QString reason; // what failed, in Japanese: the system's, Qt's or the program's words
};

// The value a step made, or the failure that kept it from being made. Every step that reads,
// writes or converts a file's content answers with one.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Failure failure) : state_(std::move(failure)) {}

    bool ok() const { return state_.index() == 0; }
    T& value() { return std::get<0>(state_); }
    const T& value() const { return std::get<0>(state_); }
    // The failure; an empty one after success, so that a message may always ask for it.
    const Failure& failure() const
    {
        static const Failure none;
        const Failure* failure = std::get_if<Failure>(&state_);
        return failure ? *failure : none;
    }

private:
    std::variant<T, Failure> state_;
};

// A step that makes no value: it succeeded, or here is why not.
struct Done {};
using Outcome = Result<Done>;

} // namespace pennoro
