#include "display/TextReplace.h"

#include <iterator>

namespace lum {
namespace {

struct UmlautReplacement {
    std::string_view Umlaut;
    std::string_view Letters;
};

// clang-format off
// Applied in this order, letter case as written.
constexpr UmlautReplacement kUmlauts[] = {
    // Umlaut  Letters
    {"\xE4",   "ae"},
    {"\xF6",   "oe"},
    {"\xFC",   "ue"},
    {"\xC4",   "Ae"},
    {"\xD6",   "Oe"},
    {"\xDC",   "Ue"},
};
// clang-format on
static_assert(std::size(kUmlauts) == 6);

constexpr char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool EqualAt(std::string_view text, std::size_t at, std::string_view name, bool ignoreCase) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char a = text[at + i];
        const char b = name[i];
        if (a != b && (!ignoreCase || LowerAscii(a) != LowerAscii(b))) {
            return false;
        }
    }
    return true;
}

std::size_t Find(std::string_view text, std::string_view name, std::size_t from, bool ignoreCase) {
    if (!ignoreCase) {
        return text.find(name, from);
    }
    if (name.empty()) {
        return from <= text.size() ? from : std::string_view::npos;
    }
    const char first = LowerAscii(name.front());
    for (std::size_t at = from; at + name.size() <= text.size(); ++at) {
        if (LowerAscii(text[at]) == first && EqualAt(text, at, name, true)) {
            return at;
        }
    }
    return std::string_view::npos;
}

} // namespace

std::size_t FindIgnoreCase(std::string_view text, std::string_view name, std::size_t from) {
    return Find(text, name, from, true);
}

bool ReplaceAll(std::string& text, std::string_view name, std::string_view replacement,
                bool ignoreCase) {
    if (name.empty()) {
        return false;
    }
    std::size_t at = Find(text, name, 0, ignoreCase);
    if (at == std::string::npos) {
        return false;
    }
    std::string result;
    result.reserve(text.size() + replacement.size() * 2);
    std::size_t done = 0;
    while (at != std::string::npos) {
        result.append(text, done, at - done);
        result.append(replacement);
        done = at + name.size();
        at = Find(text, name, done, ignoreCase);
    }
    result.append(text, done, std::string::npos);
    text.swap(result);
    return true;
}

std::string_view TrimBlanksAndControls(std::string_view text) {
    const auto isBlank = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F;
    };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

void AppendWithoutControls(std::string& out, std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        out += byte < 0x20 || byte == 0x7F ? ' ' : c;
    }
}

void ReplaceUmlauts(std::string& text) {
    for (const UmlautReplacement& umlaut : kUmlauts) {
        ReplaceAll(text, umlaut.Umlaut, umlaut.Letters, false);
    }
}

} // namespace lum
