#pragma once
// The tools' command lines, read with CLI11 in one style. A tool declares its options (long
// names only, "--name VALUE" or "--name=VALUE"; a value never starts with "--", so an option
// there means the value was left out), the words that are no option ("--" ends the options),
// and its commands ("lumctl dump FILE"); each value goes to the reader given with its option,
// in the order of the command line. "--help" and "-h" ask for the usage, "--version" for the
// line "TOOL VERSION" (the project's version). What is wrong is said as
//
//   --OPTION VALUE: what is wrong     a value the option cannot take (VALUE escaped, cut)
//   --OPTION: what is wrong           an unknown option, one without its value, one given twice
//   what is wrong                     where no option is at fault ("missing FILE")
//
// and the tool ends with "TOOL: message" and its usage on standard error, exit code 2; the usage
// asked for goes to standard output, exit code 0.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lum::tools {

/// The exit code of a bad command line.
inline constexpr int kExitBadCommandLine = 2;

/// A command line that is none; the message is in the one style.
class CommandLineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// What is wrong with a value (such as "must be a whole number from 8 to 80"): raised by a
/// reader, said behind the option and the value.
class BadValue : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// "--OPTION VALUE: what", the value escaped and cut as the tools repeat input (left out when
/// empty).
[[nodiscard]] std::string OptionProblem(std::string_view option, std::string_view value,
                                        std::string_view what);

/// Takes one value of an option; raises BadValue when the value does not fit.
using ValueReader = std::function<void(const std::string& value)>;

/// A reader that stores a value that is not empty.
[[nodiscard]] ValueReader Text(std::string& target);

/// The whole number `text` holds from `min` to `max`; raises BadValue.
[[nodiscard]] std::int32_t WholeNumber(const std::string& text, std::int32_t min, std::int32_t max);

/// A reader that stores a whole number from `min` to `max`.
template <typename Number>
[[nodiscard]] ValueReader WholeNumberInto(Number& target, std::int32_t min, std::int32_t max) {
    return [&target, min, max](const std::string& value) {
        target = static_cast<Number>(WholeNumber(value, min, max));
    };
}

/// The options, words and commands of one command line (or of one command of it).
class CommandLine {
public:
    /// A line with nothing declared yet.
    CommandLine();
    ~CommandLine();
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    /// An option without a value ("--pty"): `given` is set when it is given.
    void Flag(const std::string& name, bool& given);
    /// An option with a value, given at most once.
    void Value(const std::string& name, ValueReader read);
    /// An option with a value, given any number of times: each value to `read`, in order.
    void Values(const std::string& name, ValueReader read);
    /// An option whose value may be left out ("--mpd [ADDRESS]"): it takes the next argument when
    /// that is no option. `given` is set, and `value` holds the value (empty without one).
    void OptionalValue(const std::string& name, bool& given, std::string& value);
    /// The words that are no option: the ones named in `required` (as the usage names them,
    /// "FILE"), then up to `most` in all.
    void Words(std::vector<std::string>& words, std::vector<std::string> required,
               std::size_t most);
    /// A command word ("dump") with options and words of its own, which are declared on the
    /// result. When commands are declared, one of them must be given.
    [[nodiscard]] CommandLine& Command(const std::string& name);

    /// Reads `arguments` (without the program's name), handing each value to its reader. False
    /// when the usage or the version was asked for (then nothing has been read). Raises
    /// CommandLineError.
    [[nodiscard]] bool Parse(std::span<const std::string> arguments);
    /// Whether the version was asked for, after a Parse that returned false.
    [[nodiscard]] bool VersionAsked() const;
    /// The command given, after Parse (empty without commands).
    [[nodiscard]] const std::string& CommandGiven() const;

private:
    struct Parts;
    /// A command's line, on parts its parent made.
    explicit CommandLine(std::unique_ptr<Parts> parts);
    /// Checks what CLI11 read and hands the values and words over, a command's after the line's.
    void Read();

    std::unique_ptr<Parts> parts_;
};

/// "TOOL VERSION" and a line break: what --version prints.
[[nodiscard]] std::string VersionLine(std::string_view tool);

/// The program's end for a bad command line: "TOOL: message" and `usage` on standard error;
/// returns kExitBadCommandLine.
[[nodiscard]] int RefuseCommandLine(std::string_view tool, const CommandLineError& error,
                                    std::string_view usage);

} // namespace lum::tools
