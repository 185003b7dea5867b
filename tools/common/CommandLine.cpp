#include "tools/common/CommandLine.h"

#include "common/Decimal.h"
#include "tools/common/InputEcho.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <map>

namespace lum::tools {
namespace {

// The option's name in an argument: "--port" of "--port" and "--port=x".
std::string NameIn(std::string_view argument) {
    return std::string(argument.substr(0, argument.find('=')));
}

} // namespace

std::string OptionProblem(std::string_view option, std::string_view value, std::string_view what) {
    std::string problem(option);
    if (!value.empty()) {
        problem += " " + EchoInput(value);
    }
    return problem + ": " + std::string(what);
}

ValueReader Text(std::string& target) {
    return [&target](const std::string& value) {
        if (value.empty()) {
            throw BadValue("needs a value");
        }
        target = value;
    };
}

std::int32_t WholeNumber(const std::string& text, std::int32_t min, std::int32_t max) {
    const auto number = ParseDecimal(text);
    if (!number || *number < min || *number > max) {
        throw BadValue("must be a whole number from " + std::to_string(min) + " to " +
                       std::to_string(max));
    }
    return *number;
}

struct CommandLine::Parts {
    enum class OptionKind { Flag, Once, Repeated, OptionalValue };

    // An option as the tool declared it.
    struct Declared {
        CLI::Option* Option;
        std::string Name;
        OptionKind Kind;
        ValueReader Read{};
        bool* Given = nullptr;
        std::string* Value = nullptr;
    };

    // CLI11's reading of the line, which tells the words that are no option from the arguments
    // that look like an unknown one.
    class Reading : public CLI::App {
    public:
        Reading() = default;
        Reading(Reading& parent, const std::string& command) : CLI::App("", command, &parent) {}

        /// What was left over, in order, each with whether it is a word.
        [[nodiscard]] std::vector<std::pair<std::string, bool>> LeftOver() const {
            std::vector<std::pair<std::string, bool>> left;
            for (const auto& [kind, text] : missing_) {
                if (kind != CLI::detail::Classifier::POSITIONAL_MARK) {
                    left.emplace_back(text, kind == CLI::detail::Classifier::NONE);
                }
            }
            return left;
        }
    };

    std::shared_ptr<Reading> App; ///< a command's is also its parent's
    std::string CommandName;      ///< of a command: its name, which its messages start with
    std::vector<Declared> Options;
    std::vector<std::string>* WordsRead = nullptr; ///< none: no words are taken
    std::vector<std::string> Required;
    std::size_t Most = 0;
    std::vector<std::pair<std::string, std::unique_ptr<CommandLine>>> Commands;
    std::string CommandGiven;
    bool VersionAsked = false;

    /// The words left over; raises for an unknown option among them.
    [[nodiscard]] std::vector<std::string> LeftOverWords() const;
    /// Hands each value to its option's reader, in the order of the line.
    void ReadValues() const;
    /// Takes `words` when they are as many as wanted.
    void TakeWords(std::vector<std::string> words) const;
    /// "COMMAND: " in a command's messages about its words.
    [[nodiscard]] std::string Context() const {
        return CommandName.empty() ? "" : CommandName + ": ";
    }
};

std::vector<std::string> CommandLine::Parts::LeftOverWords() const {
    std::vector<std::string> words;
    for (const auto& [extra, isWord] : App->LeftOver()) {
        if (!isWord) {
            throw CommandLineError(EchoInput(NameIn(extra)) + ": unknown option");
        }
        words.push_back(extra);
    }
    return words;
}

void CommandLine::Parts::ReadValues() const {
    std::map<const CLI::Option*, std::size_t> taken;
    for (const CLI::Option* given : App->parse_order()) {
        const auto declared =
            std::find_if(Options.begin(), Options.end(),
                         [given](const Declared& option) { return option.Option == given; });
        const std::size_t occurrence = taken[given]++;
        const std::string& value = given->results()[occurrence];
        if (occurrence > 0 && declared->Kind != OptionKind::Repeated) {
            throw CommandLineError(declared->Name + ": given twice");
        }
        switch (declared->Kind) {
        case OptionKind::Flag:
            if (value != "true") {
                throw CommandLineError(OptionProblem(declared->Name, value, "takes no value"));
            }
            *declared->Given = true;
            break;
        case OptionKind::OptionalValue:
            *declared->Given = true;
            *declared->Value = value;
            break;
        case OptionKind::Once:
        case OptionKind::Repeated:
            // Another option where the value should be: the value was left out.
            if (value.starts_with("--")) {
                throw CommandLineError(declared->Name + ": needs a value");
            }
            try {
                declared->Read(value);
            } catch (const BadValue& bad) {
                throw CommandLineError(OptionProblem(declared->Name, value, bad.what()));
            }
            break;
        }
    }
}

void CommandLine::Parts::TakeWords(std::vector<std::string> words) const {
    if (WordsRead == nullptr) {
        if (!words.empty()) {
            throw CommandLineError(Context() + EchoInput(words.front()) + ": unexpected argument");
        }
        return;
    }
    if (words.size() < Required.size()) {
        throw CommandLineError(Context() + "missing " + Required[words.size()]);
    }
    if (words.size() > Most) {
        throw CommandLineError(Context() + EchoInput(words[Most]) + ": unexpected argument");
    }
    if (const auto empty = std::ranges::find(words, ""); empty != words.end()) {
        const auto at = static_cast<std::size_t>(empty - words.begin());
        throw CommandLineError(Context() + "empty argument" +
                               (at < Required.size() ? " for " + Required[at] : ""));
    }
    *WordsRead = std::move(words);
}

CommandLine::CommandLine() : parts_(std::make_unique<Parts>()) {
    parts_->App = std::make_shared<Parts::Reading>();
    // Only "--name" is an option, also on Windows ("/x" is a path); everything else is a word the
    // tool reads itself; each value is kept for the readers, however often the option is given.
    parts_->App->allow_windows_style_options(false);
    parts_->App->allow_extras();
    parts_->App->option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    parts_->App->set_version_flag("--version", LUM_VERSION);
}

CommandLine::CommandLine(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

CommandLine::~CommandLine() = default;

void CommandLine::Flag(const std::string& name, bool& given) {
    parts_->Options.push_back({parts_->App->add_flag(name), name, Parts::OptionKind::Flag});
    parts_->Options.back().Given = &given;
}

void CommandLine::Value(const std::string& name, ValueReader read) {
    parts_->Options.push_back(
        {parts_->App->add_option(name), name, Parts::OptionKind::Once, std::move(read)});
}

void CommandLine::Values(const std::string& name, ValueReader read) {
    parts_->Options.push_back(
        {parts_->App->add_option(name), name, Parts::OptionKind::Repeated, std::move(read)});
}

void CommandLine::OptionalValue(const std::string& name, bool& given, std::string& value) {
    parts_->Options.push_back(
        {parts_->App->add_option(name)->expected(0, 1), name, Parts::OptionKind::OptionalValue});
    parts_->Options.back().Given = &given;
    parts_->Options.back().Value = &value;
}

void CommandLine::Words(std::vector<std::string>& words, std::vector<std::string> required,
                        std::size_t most) {
    parts_->WordsRead = &words;
    parts_->Required = std::move(required);
    parts_->Most = std::max(most, parts_->Required.size());
}

CommandLine& CommandLine::Command(const std::string& name) {
    // One command a line: a second command word is a word of the first.
    parts_->App->require_subcommand(0, 1);
    auto parts = std::make_unique<Parts>();
    parts->App = std::make_shared<Parts::Reading>(*parts_->App, name);
    parts_->App->add_subcommand(parts->App);
    parts->CommandName = name;
    parts_->Commands.emplace_back(name,
                                  std::unique_ptr<CommandLine>(new CommandLine(std::move(parts))));
    return *parts_->Commands.back().second;
}

bool CommandLine::Parse(std::span<const std::string> arguments) {
    // CLI11 takes the arguments from the back.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        parts_->App->parse(reversed);
    } catch (const CLI::CallForHelp&) {
        return false;
    } catch (const CLI::CallForVersion&) {
        parts_->VersionAsked = true;
        return false;
    } catch (const CLI::ArgumentMismatch&) {
        // An option takes the argument after it as its value, whatever it is: only an option at
        // the end of the line can lack its value.
        throw CommandLineError(NameIn(arguments.back()) + ": needs a value");
    } catch (const CLI::ParseError& error) {
        throw CommandLineError(error.what());
    }
    Read();
    return true;
}

bool CommandLine::VersionAsked() const {
    return parts_->VersionAsked;
}

const std::string& CommandLine::CommandGiven() const {
    return parts_->CommandGiven;
}

void CommandLine::Read() {
    Parts& parts = *parts_;
    std::vector<std::string> words = parts.LeftOverWords();
    const auto command =
        std::find_if(parts.Commands.begin(), parts.Commands.end(),
                     [&parts](const auto& c) { return parts.App->got_subcommand(c.first); });
    if (!parts.Commands.empty() && command == parts.Commands.end()) {
        throw CommandLineError(words.empty() ? "no command given"
                                             : EchoInput(words.front()) + ": unknown command");
    }
    parts.ReadValues();
    parts.TakeWords(std::move(words));
    if (command != parts.Commands.end()) {
        parts.CommandGiven = command->first;
        command->second->Read();
    }
}

std::string VersionLine(std::string_view tool) {
    return std::string(tool) + " " + LUM_VERSION + "\n";
}

int RefuseCommandLine(std::string_view tool, const CommandLineError& error,
                      std::string_view usage) {
    std::cerr << tool << ": " << error.what() << '\n' << usage;
    return kExitBadCommandLine;
}

} // namespace lum::tools
