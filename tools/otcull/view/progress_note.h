// Progress on standard error for work that runs long: silent for the first
// two seconds, then a line every two seconds, so that a quick run prints
// nothing and a long one shows it is moving.
#pragma once

#include <chrono>
#include <ostream>
#include <string>

namespace tarvo {

class ProgressNote {
public:
    ProgressNote(std::ostream& err, std::string prefix)
        : err_(err), prefix_(std::move(prefix)), next_(Clock::now() + kQuiet) {}

    // Cheap when no note is due: what() is called only when one is.
    template <typename What>
    void note(What what) {
        if (Clock::now() < next_) return;
        err_ << prefix_ << ": " << what() << '\n' << std::flush;
        next_ = Clock::now() + kQuiet;
    }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kQuiet{2};
    std::ostream& err_;
    std::string prefix_;
    Clock::time_point next_;
};

}  // namespace tarvo
