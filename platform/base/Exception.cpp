#include "platform/base/Exception.h"

#include <charconv>

namespace lp {

Exception::Exception(std::string message) : FMessage(std::move(message)) {}

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    std::string result;
    result.reserve(pattern.size() + 16 * args.size());
    auto next = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 >= pattern.size()) {
            result += c;
            continue;
        }
        const char kind = pattern[i + 1];
        if (kind == '%') {
            result += '%';
            ++i;
        } else if (next != args.end() && std::string_view("sdgfxu").find(kind) != std::string_view::npos) {
            result += *next++;
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}

std::string ArgText(long long value)
{
    return std::to_string(value);
}

std::string ArgText(double value)
{
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, written.ptr);
}

void Assert(bool Condition, std::string_view Message)
{
    if (!Condition)
        throw EAssertionFailed(std::string(Message));
}

void RaiseRangeError(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    throw ERangeError(FormatText(pattern, args));
}

void RaiseConvertError(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    throw EConvertError(FormatText(pattern, args));
}

void RaiseIndexError(long long index, long long count)
{
    RaiseRangeError("Index %d out of range (0..%d)", {ArgText(index), ArgText(count - 1)});
}

} // namespace lp
