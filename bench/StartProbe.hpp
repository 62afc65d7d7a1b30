#pragma once

#include <map>
#include <optional>
#include <string>

class VirtualDisplay;

// What one start of a program took, counted from the moment it was spawned.
struct StartFigures {
    // Its first top-level window mapped on the X server (0 without one).
    double mappedMs = 0;
    // Its line saying the first frame is on screen arrived on its standard error.
    double firstFrameMs = 0;
    // Resident and peak resident memory (VmRSS, VmHWM) at that moment.
    double residentMiB = 0;
    double peakMiB = 0;
};

// Starts a program that writes "first frame painted" on its standard error once its window's
// first frame is on screen, measures the start from outside and ends the program.
class StartProbe {
public:
    // The program's environment is this process's with `changes` applied: a value sets a
    // variable, no value removes it.
    using Changes = std::map<std::string, std::optional<std::string>>;
    StartProbe(std::string program, Changes changes);

    // One start, on `display` (on the platform the environment names when null); nothing when
    // it failed, with error() saying why.
    [[nodiscard]] std::optional<StartFigures> run(VirtualDisplay* display);
    [[nodiscard]] const std::string& error() const { return m_error; }

    static constexpr const char* firstFrameLine = "first frame painted";

private:
    std::string m_program;
    Changes m_changes;
    std::string m_error;
};
