// "Leaving the installation sequence": thrown by a step that ends the installation itself
// (a failed unpacker run, an aborted conversion walk); only the main sequence catches it.
#pragma once

#include <stdexcept>
#include <string>

namespace qaro {

class LeaveSequence : public std::runtime_error {
public:
    explicit LeaveSequence(const std::string& why = "leaving the installation sequence")
        : std::runtime_error(why) {}
};

}  // namespace qaro
