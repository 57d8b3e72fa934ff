// JSON text for the page's data, written straight to a stream: the data of
// a large session runs to megabytes, and nothing needs it whole in memory.
#pragma once

#include <concepts>
#include <cstdint>
#include <ostream>
#include <string_view>

namespace tarvo {

class JsonOut {
public:
    explicit JsonOut(std::ostream& out) : out_(out) {}

    // '<' is escaped everywhere, so that no string can end the script
    // element that holds the data.
    void string(std::string_view text);
    // Infinities and NaNs have no JSON form: null, which the page skips.
    void number(float value);
    void integer(int64_t value) { out_ << value; }
    void raw(std::string_view text) { out_ << text; }
    void key(std::string_view name) { out_ << '"' << name << "\":"; }
    // The key of a member after the first.
    void next(std::string_view name) {
        out_ << ',';
        key(name);
    }
    // a, b, c as "[a,b,c]", each written by write.
    template <typename Range, typename Write>
    void list(const Range& items, Write write) {
        out_ << '[';
        bool first = true;
        for (const auto& item : items) {
            if (!first) out_ << ',';
            first = false;
            write(item);
        }
        out_ << ']';
    }

    // [a,b,...]: each a string, an integer, a float, or a function that
    // writes the item itself.
    template <typename... Items>
    void row(const Items&... items) {
        out_ << '[';
        bool first = true;
        auto next = [&](const auto& value) {
            if (!first) out_ << ',';
            first = false;
            item(value);
        };
        (next(items), ...);
        out_ << ']';
    }

private:
    void item(std::string_view text) { string(text); }
    void item(float value) { number(value); }
    template <std::integral Integer>
    void item(Integer value) {
        integer(static_cast<int64_t>(value));
    }
    template <std::invocable Write>
    void item(const Write& write) {
        write();
    }

    std::ostream& out_;
};

}  // namespace tarvo
