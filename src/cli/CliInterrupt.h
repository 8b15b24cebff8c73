#pragma once

namespace vantle::cli {

// Ctrl-C while a command runs: the first one is only noted, for the command to stop at a safe
// point; a second one ends the program at once. One at a time; the default comes back with the
// end of its life.
class CliInterrupt {
public:
    CliInterrupt();
    ~CliInterrupt();
    CliInterrupt(const CliInterrupt&) = delete;
    CliInterrupt& operator=(const CliInterrupt&) = delete;

    bool raised() const;
};

} // namespace vantle::cli
