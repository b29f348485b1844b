#pragma once

// The progress of a report run (engine::Progress) and its scope guard.

#include "engine/Progress.h"

namespace reports {

using engine::Progress;

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
