// The installation run: the entry function and the main installation sequence.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string>

namespace qaro {

// The six positional parameters; an absent one is nullopt.
using Params = std::array<std::optional<std::string>, 6>;

// Run state of the main sequence that is not part of the variable set.
struct RunState {
    bool przerwane = false;
    bool second = false;     // __SECOND__
    bool w_sieci = false;
    std::string user = std::string(25, ' ');
    std::optional<std::string> flop;
    bool target_known = false;   // the system directory has been settled
};

// The program's entry. Returns the process exit code: 1 after a run that ends with the closing
// box, 0 in copy mode and after the first stage of a diskette set that handed over.
int MAIN(const Params& params);

// Runs phases A/B, M and E; returns the exit code.
int run_installation(const Params& params, RunState& st);

}  // namespace qaro
