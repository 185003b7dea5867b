#pragma once
// The symbolic link that gives the pty a fixed name (--link). It never takes the place of
// anything but a symbolic link, and at the end it goes only if it is still the one made here.

#include <string>

namespace lum::vfd {

/// A symbolic link at a path to the pty, removed when this goes if it still points there.
class PtyLink {
public:
    PtyLink() = default;
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;
    ~PtyLink();

    /// Makes `path` a symbolic link to `target`: a new one where nothing is, or one that replaces
    /// a symbolic link there at once (made under another name beside it and renamed over it).
    /// Anything else at `path` is left alone; answers an explanation of the failure, or an empty
    /// text.
    [[nodiscard]] std::string Make(const std::string& path, const std::string& target);

private:
    std::string path_; ///< empty until a link is made
    std::string target_;
};

} // namespace lum::vfd
