// The main dialogue: from the banner to the closing prompt.
#pragma once

#include "lineio/channels.hpp"

namespace workflow {

class Renamer;

// Runs the whole dialogue on `channels`, renaming through `renamer`. Every way it ends goes
// through the orderly stop or an input/output failure, both of which throw lineio::ProgramEnd.
void run_main_dialogue(lineio::Channels& channels, Renamer& renamer);

}  // namespace workflow
