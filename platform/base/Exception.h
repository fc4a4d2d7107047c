#pragma once
// The error hierarchy of the whole system.
//
// Every failure the program reports is an Exception (or derived): user
// actions that fail end with a message box showing Message(), and the
// document stays as it was. This header is standard C++ only, so the model
// layer (which has no Qt) raises the same errors as the layers above.
// Messages are UTF-8.

#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>

namespace lp {

class Exception : public std::exception {
public:
    explicit Exception(std::string message);
    const std::string& Message() const noexcept { return FMessage; }
    void SetMessage(std::string message) { FMessage = std::move(message); }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

// An index or a value outside its permitted range.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};

// A value that cannot be converted (text to number, one class to another).
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Ends the current user action silently: the application object shows no
// message for it.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

// An operation the object cannot do in its present state.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// A failed internal consistency check: the program broke one of its own
// promises. The message is the check's fixed text, never user data.
class EAssertionFailed : public Exception {
public:
    using Exception::Exception;
};

// Raises EAssertionFailed with exactly Message when Condition is false.
void Assert(bool Condition, std::string_view Message);

// Fills the placeholders of a message pattern in order. A placeholder is "%"
// followed by one type letter (s, d, g, f, x); "%%" stands for "%". The
// arguments are already texts, so the letter only documents the intent.
// Surplus placeholders stay as they are, surplus arguments are ignored.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args);

// Text forms of the common argument types for FormatText.
std::string ArgText(long long value);
std::string ArgText(double value);
inline std::string ArgText(int value)
{
    return ArgText(static_cast<long long>(value));
}

[[noreturn]] void RaiseRangeError(std::string_view pattern,
                                  std::initializer_list<std::string_view> args = {});
[[noreturn]] void RaiseConvertError(std::string_view pattern,
                                    std::initializer_list<std::string_view> args = {});

// The message of an index that lies outside [0, count).
[[noreturn]] void RaiseIndexError(long long index, long long count);

} // namespace lp
