// The whole program for its options: the dialogue, a dry run of it, an undo, the dates of a run
// corrected afterwards, or a text.
#pragma once

#include "lineio/channels.hpp"
#include "workflow/options.hpp"

namespace workflow {

// Runs what `options` ask for (anything but a usage error). Every way it ends throws
// lineio::ProgramEnd.
[[noreturn]] void run_program(lineio::Channels& channels, const Options& options);

}  // namespace workflow
