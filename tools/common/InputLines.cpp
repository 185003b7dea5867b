#include "tools/common/InputLines.h"

#include <utility>

namespace lum::tools {

void LineSplitter::Feed(std::string_view bytes, const std::function<void(InputLine)>& onLine) {
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::string_view part = bytes.substr(0, end);
        if (line_.Start.size() < kMaxInputLineBytes) {
            line_.Start.append(part.substr(0, kMaxInputLineBytes - line_.Start.size()));
        }
        line_.Bytes += part.size();
        begun_ = true;
        if (end == std::string_view::npos) {
            return;
        }
        bytes.remove_prefix(end + 1);
        begun_ = false;
        onLine(std::exchange(line_, InputLine{}));
    }
}

std::optional<InputLine> LineSplitter::End() {
    if (!std::exchange(begun_, false)) {
        return std::nullopt;
    }
    return std::exchange(line_, InputLine{});
}

std::optional<InputLine> ReadInputLine(std::istream& input) {
    using Traits = std::istream::traits_type;
    // As any read of a stream: a tied output stream is flushed first.
    if (const std::istream::sentry ready(input, true); !ready) {
        return std::nullopt;
    }
    std::streambuf& buffer = *input.rdbuf();
    LineSplitter splitter;
    std::optional<InputLine> line;
    while (!line) {
        const Traits::int_type next = buffer.sbumpc();
        if (Traits::eq_int_type(next, Traits::eof())) {
            input.setstate(std::ios::eofbit);
            return splitter.End();
        }
        const char byte = Traits::to_char_type(next);
        splitter.Feed(std::string_view(&byte, 1),
                      [&line](InputLine done) { line = std::move(done); });
    }
    return line;
}

} // namespace lum::tools
