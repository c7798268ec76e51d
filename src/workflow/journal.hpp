// The undo journal: a plain-text file, beside the report, of every rename a run made, from which
// --undo takes the run back. Lines end in CR LF; names are raw bytes, which hold no CR, LF or NUL,
// so the fixed prefixes and the line end delimit them:
//
//   DoridivezizoziRUR undo journal
//   <two lines on what the file is and how to undo the run>
//   <empty line>
//   renamed: <old path>
//        to: <new path>
//   ... one pair per rename, in the order made ...
//   end of run: N files renamed
//
// Every pair is written before its rename is tried, and taken back when the rename fails. So each
// pair followed by another pair or by the "end of run" line is a rename that happened; only the
// last pair of a journal without that line may never have happened (the run was killed during it).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lineio/channels.hpp"
#include "lineio/platform.hpp"

namespace workflow {

inline constexpr std::string_view journal_title = "DoridivezizoziRUR undo journal";
inline constexpr std::string_view journal_old_prefix = "renamed: ";
inline constexpr std::string_view journal_new_prefix = "     to: ";
inline constexpr std::string_view journal_end_prefix = "end of run: ";

// Keeps the journal of a real run. The file is created, in the current directory, just before its
// first rename, under a name of the run's local date and time that no file bears yet. A journal
// that cannot be written is an input/output failure before any further rename; where the current
// directory refuses new files altogether, the run goes on without one.
class JournalWriter {
  public:
    explicit JournalWriter(lineio::Channels& channels) : channels_(channels) {}

    // Writes the pair of a rename about to be tried.
    void write_ahead(std::string_view old_path, std::string_view new_path);
    // Keeps the last pair when the rename was made, otherwise cuts it off.
    void settle(bool renamed);
    // Writes the "end of run" line, or deletes the journal when it holds no rename.
    void close();

  private:
    void create();
    void check(int error);

    lineio::Channels& channels_;
    lineio::platform::File file_;
    std::string name_;
    std::string head_;  // written with the first pair
    std::uint64_t size_ = 0;
    std::uint64_t size_before_pair_ = 0;
    std::int32_t renamed_ = 0;
    bool unavailable_ = false;
};

struct JournalRename {
    std::string old_path;
    std::string new_path;
};

struct JournalContents {
    std::vector<JournalRename> renames;  // in the order made
    bool ended = false;                  // the "end of run" line is there
};

// Reads a journal's text. False when its first line is not the journal's title. A last pair that
// is not whole (no line end after its new path) was never tried and is left out.
bool read_journal(std::string_view text, JournalContents& contents);

}  // namespace workflow
