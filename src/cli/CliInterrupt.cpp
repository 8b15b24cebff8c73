#include "cli/CliInterrupt.h"

#include <csignal>

namespace vantle::cli {
namespace {

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void interrupted(int) {
    gInterrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

CliInterrupt::CliInterrupt() {
    gInterrupted = 0;
    std::signal(SIGINT, interrupted);
}

CliInterrupt::~CliInterrupt() {
    std::signal(SIGINT, SIG_DFL);
}

bool CliInterrupt::raised() const {
    return gInterrupted != 0;
}

} // namespace vantle::cli
