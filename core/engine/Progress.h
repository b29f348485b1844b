#pragma once

// The progress window as a long operation drives it, without widgets: the
// program hands in its gauge (printing::GaugeProgress), tests their own
// functions or nothing at all. Reports and the workbooks the program lays out
// itself take this one type.

#include <functional>

namespace engine {

struct Progress {
    std::function<void(int maximum)> start;  // position 0, shown
    std::function<void(int position)> step;
    std::function<void()> close;             // position 0, hidden
};

} // namespace engine
