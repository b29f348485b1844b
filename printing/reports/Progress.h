#pragma once

// The progress window as a long operation drives it, without widgets: the
// program hands in its gauge (printing::GaugeProgress), tests their own
// functions or nothing at all.

#include <functional>

namespace reports {

struct Progress {
    std::function<void(int maximum)> start;  // position 0, shown
    std::function<void(int position)> step;
    std::function<void()> close;             // position 0, hidden
};

// The progress shown for a scope and hidden however the scope ends.
class ProgressShown {
public:
    ProgressShown(const Progress& progress, int maximum);
    ~ProgressShown();
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

    void step(int position);
    // For runs that learn their count as they go: a new maximum restarts the gauge.
    void step(int position, int maximum);
    // Hides it now (a message shown next must not stand behind it).
    void close();

private:
    const Progress& progress_;
    int maximum_;
    bool shown_ = true;
};

} // namespace reports
