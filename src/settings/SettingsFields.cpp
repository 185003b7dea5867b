#include "settings/SettingsFields.h"

#include <algorithm>

namespace lum {
namespace {

SettingsField Clamped(std::string name, std::int32_t& value, std::int32_t min, std::int32_t max) {
    return {std::move(name), &value, IntegerRule::Clamp, min, max};
}

SettingsField Index(std::string name, std::int32_t& value, std::int32_t lastIndex) {
    return {std::move(name), &value, IntegerRule::ListIndex, -1, lastIndex};
}

template <typename T> SettingsField Plain(std::string name, T& value) {
    return {std::move(name), &value};
}

std::string LineName(int set, int line, const char* what) {
    return "Set" + std::to_string(set) + ".Line" + std::to_string(line) + "." + what;
}

} // namespace

std::vector<SettingsField> StoredFields(Settings& s) {
    std::vector<SettingsField> fields = {
        Clamped("ComPort", s.ComPort, 1, 9),
        Clamped("LineWidth", s.LineWidth, 8, 80),
        Clamped("UpdateInterval", s.UpdateInterval, 1, 999),
        Clamped("LineCount", s.LineCount, 1, 8),
        Plain("Separator", s.Separator),
        Plain("InitCommand", s.InitCommand),
        Plain("ShowMainWindow", s.ShowMainWindow),
        Plain("DisplayOff", s.DisplayOff),
        Plain("MainWindowMinimized", s.MainWindowMinimized),
    };
    // Each set: its eight templates, then its eight scroll modes.
    for (int set = 1; set <= kTextSetCount; ++set) {
        for (int line = 1; line <= kLinesPerSet; ++line) {
            fields.push_back(Plain(LineName(set, line, "Template"), s.Slot(set, line).Template));
        }
        for (int line = 1; line <= kLinesPerSet; ++line) {
            fields.push_back(Index(LineName(set, line, "ScrollMode"), s.Slot(set, line).ScrollMode,
                                   kScrollRight));
        }
    }
    fields.push_back(Index("BaudRateIndex", s.BaudRateIndex,
                           static_cast<std::int32_t>(std::size(kBaudRates)) - 1));
    fields.push_back(Plain("SendCarriageReturn", s.SendCarriageReturn));
    fields.push_back(Clamped("SetChangeSeconds", s.SetChangeSeconds, 0, 255));
    fields.push_back(Clamped("SetCount", s.SetCount, 1, 4));
    fields.push_back(Plain("Ba63Mode", s.Ba63Mode));
    fields.push_back(Plain("ReplaceUmlauts", s.ReplaceUmlauts));
    return fields;
}

std::int32_t MapLoadedInteger(const SettingsField& field, std::int32_t asRead) {
    switch (field.Rule) {
    case IntegerRule::Clamp:
        return std::clamp(asRead, field.Min, field.Max);
    case IntegerRule::ListIndex:
        return asRead >= field.Min && asRead <= field.Max ? asRead : -1;
    case IntegerRule::None:
        break;
    }
    return asRead;
}

} // namespace lum
