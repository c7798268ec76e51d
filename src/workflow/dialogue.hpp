// The main dialogue: from the banner to the closing prompt.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "lineio/channels.hpp"

namespace workflow {

class Renamer;

// Runs the whole dialogue on `channels`, renaming through `renamer`. Every way it ends goes
// through the orderly stop or an input/output failure, both of which throw lineio::ProgramEnd.
// A `folder_answer` (a dropped folder's name) answers the folder question in place of the console,
// and is shown after its prompt as if typed. `program` names the program in the command that
// takes a run back.
void run_main_dialogue(lineio::Channels& channels, Renamer& renamer, std::string_view program,
                       const std::optional<std::string>& folder_answer = std::nullopt);

}  // namespace workflow
