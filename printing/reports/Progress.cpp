#include "Progress.h"

namespace reports {

ProgressShown::ProgressShown(const Progress& progress, int maximum) : progress_(progress), maximum_(maximum)
{
    if (progress_.start)
        progress_.start(maximum);
}

ProgressShown::~ProgressShown()
{
    try {
        close();
    } catch (...) {
    }
}

void ProgressShown::step(int position)
{
    if (shown_ && progress_.step)
        progress_.step(position);
}

void ProgressShown::step(int position, int maximum)
{
    if (shown_ && maximum != maximum_) {
        maximum_ = maximum;
        if (progress_.start)
            progress_.start(maximum);
    }
    step(position);
}

void ProgressShown::close()
{
    if (!shown_)
        return;
    shown_ = false;
    if (progress_.close)
        progress_.close();
}

} // namespace reports
