// What --help shows: one screenful.
#pragma once

#include <string_view>

namespace workflow::texts {

inline constexpr std::string_view help =
    R"(Usage: DoridivezizoziRUR [--dry-run | --undo JOURNAL | --help | --version]
       DoridivezizoziRUR [--dry-run] [--dates] [[--] FOLDER]
       DoridivezizoziRUR --dates JOURNAL
       DoridivezizoziRUR JOURNAL

Renames the video clips (.avi, .mp4, .m4v) of one folder whose names carry a
camera's wrong clock, such as 2025_11_21_15_40_10.mp4, to the right date and
time: 2025 11 21 14 25 10.mp4. Clips of a burst that land on one name get a
burst number 01 to 40 in place of the seconds. No file is ever replaced.

Start it in the directory that holds the folder. It asks, in this order:
  whether the names come from Renamer's File_DateModified    Y
  the folder's name                                          Files_to_Rename
  the date and time the camera showed                        2025 11 21 15 30 00
  the date and time the camera should have shown             2025 11 21 14 15 00
A FOLDER dropped onto the program, or named as its argument, answers the
second question; the program then works in the folder that holds it. A
folder whose name starts with - is named ./-F, or after --. An undo JOURNAL
dropped onto the program takes its run back once you answer Y.

It writes, in the current directory:
  DedUzarodivedizidUZOVU.txt   the report: both times and every outcome
  DoridivezizoziRUR-undo-YYYYMMDD-HHMMSS.txt
                               the undo journal of every rename it made
  list.txt                     the folder's listing, deleted at the end

Options:
  --dry-run        ask the same questions, then show the name each clip would
                   get; rename nothing, write no report and no journal
  --dates          correct each renamed clip's dates too: its file time
                   (Explorer's "Date modified") and, where they agree with its
                   old name, the creation dates recorded inside an MP4, M4V or
                   AVI clip, patched in place; the journal keeps the old bytes
                   and times
  --dates JOURNAL  correct, in the same way, the dates of the clips that the
                   run of that journal renamed without correcting them and
                   that still bear its names; a run of its own, with a
                   journal of its own that --undo takes back
  --undo JOURNAL   give every file renamed by the run of that journal its old
                   name back, newest rename first, and after --dates its old
                   file time and recorded dates
  -h, --help       show this text (/? on Windows too)
  --version        show the program's name and version

Exit status:
  0    done, or stopped as asked
  1    --undo could not give every file its old name back
  2    the options were wrong
  127  an input or output failure, told on standard error
)";

}  // namespace workflow::texts
