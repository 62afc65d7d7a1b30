// Start-up of the real `selvor` executable, timed from outside: on an X server of the bench's own
// (Xvfb) the time to its window being mapped and to its first frame, and its resident memory
// then, on each renderer, beside a bare Qt Quick window on the same renderer; offscreen the time
// to the first frame and the peak memory. Medians of several starts, taken in turns. The sign-in
// screen needs no service: the API address is a loopback port that refuses connections.
#include "RefusingPort.hpp"
#include "StartProbe.hpp"
#include "VirtualDisplay.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

bool quick() {
    const char* value = std::getenv("SELVOR_BENCH_QUICK");
    return value && std::string(value) != "0";
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Case {
    Case(std::string caseName, StartProbe caseProbe, bool caseOnDisplay = true)
        : name(std::move(caseName)), probe(std::move(caseProbe)), onDisplay(caseOnDisplay) {}

    std::string name;
    StartProbe probe;
    bool onDisplay;
    std::vector<StartFigures> starts;

    [[nodiscard]] double firstFrame() const { return pick(&StartFigures::firstFrameMs); }
    [[nodiscard]] double resident() const { return pick(&StartFigures::residentMiB); }
    [[nodiscard]] double pick(double StartFigures::*figure) const {
        std::vector<double> values;
        for (const StartFigures& start : starts)
            values.push_back(start.*figure);
        return median(values);
    }
};

void printRatio(const char* name, double numerator, double denominator) {
    std::printf("%s: %.2f x\n", name, numerator / denominator);
}

} // namespace

int main() {
    const int startsPerCase = quick() ? 3 : 7;
    const char* firstDisplay = std::getenv("SELVOR_BENCH_DISPLAY");
    VirtualDisplay display(firstDisplay ? std::atoi(firstDisplay) : 100);
    if (!display.isRunning()) {
        std::fprintf(stderr, "bench_startup: %s\n", display.error().c_str());
        return 1;
    }
    char directory[] = "/tmp/selvor-bench-startup-XXXXXX";
    if (!mkdtemp(directory))
        return 1;
    const std::string home = directory;
    const std::string api = "http://127.0.0.1:" + std::to_string(refusingLoopbackPort());
    // Nothing of the user's: a runtime directory (and single-instance socket) and settings of
    // the bench's own; the renderer left to each case.
    const StartProbe::Changes common{{"SELVOR_REPORT_FIRST_FRAME", "1"},
                                     {"XDG_RUNTIME_DIR", home},
                                     {"XDG_CONFIG_HOME", home},
                                     {"API_BASE_URL", api},
                                     {"SELVOR_UPDATE_FEED", api + "/appcast.xml"},
                                     {"QT_QUICK_BACKEND", std::nullopt},
                                     {"SELVOR_RENDERER", std::nullopt}};
    const auto with = [&](std::map<std::string, std::optional<std::string>> own) {
        own.insert(common.begin(), common.end());
        return own;
    };
    std::vector<Case> cases{
        {"selvor_default", StartProbe(SELVOR_EXECUTABLE, with({}))},
        {"selvor_software", StartProbe(SELVOR_EXECUTABLE, with({{"SELVOR_RENDERER", "software"}}))},
        {"selvor_opengl", StartProbe(SELVOR_EXECUTABLE, with({{"SELVOR_RENDERER", "opengl"}}))},
        {"bare_software",
         StartProbe(BARE_WINDOW_EXECUTABLE, with({{"QT_QUICK_BACKEND", "software"}}))},
        {"bare_opengl", StartProbe(BARE_WINDOW_EXECUTABLE, with({}))},
        {"offscreen",
         StartProbe(SELVOR_EXECUTABLE,
                    with({{"QT_QPA_PLATFORM", "offscreen"}, {"DISPLAY", std::nullopt}})),
         false},
    };

    // One start of each first, unmeasured, so that no case pays for a cold file cache; then in
    // turns, so that a busy moment of the machine falls on all of them alike.
    for (int round = -1; round < startsPerCase; ++round) {
        for (Case& each : cases) {
            const std::optional<StartFigures> figures =
                each.probe.run(each.onDisplay ? &display : nullptr);
            if (!figures) {
                std::fprintf(stderr, "bench_startup: %s: %s\n", each.name.c_str(),
                             each.probe.error().c_str());
                std::filesystem::remove_all(home);
                return 1;
            }
            if (round >= 0)
                each.starts.push_back(*figures);
        }
    }
    std::filesystem::remove_all(home);

    std::map<std::string, const Case*> byName;
    for (const Case& each : cases) {
        byName[each.name] = &each;
        if (!each.onDisplay)
            continue;
        std::printf("startup_x11_%s_window_mapped: %.0f ms\n", each.name.c_str(),
                    each.pick(&StartFigures::mappedMs));
        std::printf("startup_x11_%s_first_frame: %.0f ms\n", each.name.c_str(), each.firstFrame());
        std::printf("startup_x11_%s_rss: %.1f MiB\n", each.name.c_str(), each.resident());
    }
    const Case& offscreen = *byName["offscreen"];
    std::printf("startup_to_first_frame: %.0f ms\n", offscreen.firstFrame());
    std::printf("startup_peak_rss: %.1f MiB\n", offscreen.pick(&StartFigures::peakMiB));

    for (const char* renderer : {"software", "opengl"}) {
        const Case& selvor = *byName[std::string("selvor_") + renderer];
        const Case& bare = *byName[std::string("bare_") + renderer];
        const std::string suffix = std::string("_selvor_to_bare_") + renderer;
        printRatio(("startup_ratio_first_frame" + suffix).c_str(), selvor.firstFrame(),
                   bare.firstFrame());
        printRatio(("startup_ratio_rss" + suffix).c_str(), selvor.resident(), bare.resident());
    }
    // Against the OpenGL path, the only one before the renderer was chosen by the machine.
    const Case& opengl = *byName["selvor_opengl"];
    for (const char* chosen : {"software", "default"}) {
        const Case& selvor = *byName[std::string("selvor_") + chosen];
        const std::string suffix = std::string("_selvor_") + chosen + "_to_opengl";
        printRatio(("startup_ratio_first_frame" + suffix).c_str(), selvor.firstFrame(),
                   opengl.firstFrame());
        printRatio(("startup_ratio_rss" + suffix).c_str(), selvor.resident(), opengl.resident());
    }
    return 0;
}
