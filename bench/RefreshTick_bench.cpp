// One refresh tick (the scroll update and the display frame) against an in-process host that
// answers at once:
//   DefaultSettings    the start values (2 lines of 20 characters)
//   FullDisplay        8 lines of 80 characters, every variable in every line, all scrolling
// Counters: heap_growth_bytes is the memory still held after all timed ticks compared with
// after the first tick (expected 0); allocs_per_tick is informational.

#include "HeapCounter.h"
#include "display/DisplayEngine.h"
#include "host/HostPlayer.h"
#include "settings/Settings.h"
#include "tools/common/HostModel.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace lum::bench {
namespace {

// Every variable once, in reverse order of replacement.
constexpr char kEveryVariable[] =
    "%winamptrack %id3genre %id3comment %id3year %id3album %id3interpret %id3titel %winampzeit "
    "%winampzeitr %titel %status %jahr %jahry %monat %tag %zeit %zeits %datum %datumy";

// The display's line: takes each frame at once.
class ReadyPort : public DisplayPort {
public:
    void SendText(std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
    [[nodiscard]] bool SendInProgress() const override { return false; }
};

// A file with a tag, in the system's temporary folder.
std::string TaggedFile() {
    std::string tag = "TAG";
    const auto field = [&tag](std::string text, std::size_t length) {
        text.resize(length, '\0');
        tag += text;
    };
    field("A Rather Long Title Of The So", 30);
    field("Artist Name", 30);
    field("Album Name", 30);
    field("1999", 4);
    field("Comment \xE4\xF6\xFC", 28);
    tag += '\0';
    tag += '\x07';
    tag += '\x11';
    const std::string path =
        (std::filesystem::temp_directory_path() / "lum_display_bench.mp3").string();
    std::ofstream(path, std::ios::binary) << std::string(1000, 'x') << tag;
    return path;
}

// Runs ticks with `settings` and reports the heap growth across them.
void RunTicks(benchmark::State& state, Settings settings) {
    // The host: playing a tagged file.
    host::FixedHost host;
    host.RecordQueries = false;
    host.PlayState = 1;
    host.PositionMs = 83'000;
    host.LengthS = 245;
    host.ListPos = 11;
    host.Title = "Artist Name - A Rather Long Title Of The Playing Song (Remastered)";
    host.FileName = TaggedFile();
    HostPlayer player(host.Messenger());
    ReadyPort port;
    DisplayEngine engine(settings, player, port);

    engine.RefreshTick(); // the first tick reads the tag
    const std::int64_t heapBefore = LiveHeapBytes();
    const std::int64_t allocationsBefore = HeapAllocations();
    for (auto _ : state) {
        engine.RefreshTick();
    }
    state.counters["heap_growth_bytes"] = static_cast<double>(LiveHeapBytes() - heapBefore);
    state.counters["allocs_per_tick"] = static_cast<double>(HeapAllocations() - allocationsBefore) /
                                        static_cast<double>(state.iterations());

    std::remove(host.FileName.c_str());
}

void DefaultSettings(benchmark::State& state) {
    RunTicks(state, Settings{});
}

void FullDisplay(benchmark::State& state) {
    Settings settings;
    settings.LineCount = 8;
    settings.LineWidth = 80;
    for (int line = 1; line <= kLinesPerSet; ++line) {
        LineSlot& slot = settings.Slot(1, line);
        slot.Template = kEveryVariable;
        slot.ScrollMode = line % 2 == 0 ? kScrollRight : kScrollLeft;
    }
    RunTicks(state, settings);
}

BENCHMARK(DefaultSettings)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(FullDisplay)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
} // namespace lum::bench

BENCHMARK_MAIN();
