// How the renaming pass changes names and tells what came of them. A real run renames, keeps the
// undo journal ahead of the renames and writes the report; a preview works out, on a picture of
// the folder, what a real run would do, and touches nothing.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "lineio/channels.hpp"
#include "workflow/clip_folder.hpp"
#include "workflow/journal.hpp"
#include "workflow/renaming_job.hpp"

namespace workflow {

class Renamer {
  public:
    Renamer() = default;
    Renamer(const Renamer&) = delete;
    Renamer& operator=(const Renamer&) = delete;
    virtual ~Renamer() = default;

    // The folder the pass opens and renames in.
    virtual ClipFolder& clip_folder() = 0;
    // The text that stands for list.txt, or nullptr where list.txt is a file on the disk.
    virtual std::string* listing_in_memory() { return nullptr; }
    // True where the run changes names, so that repeating one can be asked about first.
    virtual bool changes_names() const { return false; }
    // True where what the run changes is in an undo journal, without which no date is patched.
    virtual bool journals() const { return false; }
    // True where the clips' dates are corrected with their names (--dates).
    bool corrects_dates() const { return dates_; }
    void correct_dates(bool dates) { dates_ = dates; }

    // Before the first file, with the folder opened.
    virtual void start(const RenamingJob& job, const FolderFacts& folder) = 0;
    // Before the renames of each batch of clips, with the clips the batch may rename.
    virtual void before_batch(std::span<const JournalClip> clips) = 0;
    // After a clip took `new_name`, or lost `old_name` as a second name of a clip renamed before.
    virtual void renamed(const std::string& old_name, const std::string& new_name,
                         const std::string& planned) = 0;
    virtual void removed(const std::string& old_name) = 0;
    // After a clip of a batch kept its name.
    virtual void left(const std::string& /*old_name*/) {}
    // `path` is the new path of a renamed file, otherwise the old one, `old_path` the old one,
    // which a diagnostic tells should the outcome's line not be written. With --dates, a clip
    // renamed has the line on its dates too, told with it.
    virtual void outcome(bool renamed, std::string_view path, std::string_view old_path,
                         std::string_view dates_line) = 0;
    // With --dates, for a clip renamed: whether its recorded dates were corrected.
    void count_dates(bool corrected) { (corrected ? dates_corrected_ : dates_left_) += 1; }
    // After the last file: the summary lines.
    virtual void finish(std::int32_t renamed_count) = 0;

  protected:
    std::int32_t dates_corrected_ = 0;
    std::int32_t dates_left_ = 0;

  private:
    bool dates_ = false;
};

class RealRun final : public Renamer {
  public:
    // `program` names the program in the command that takes the run back.
    RealRun(lineio::Channels& channels, const std::string& program)
        : channels_(channels),
          program_(program),
          journal_(channels, program),
          folder_([this](const std::string& from, const std::string& to) {
              journal_.claim(from, to);  // ends the program where the journal cannot take it
              return 0;
          }) {}
    ClipFolder& clip_folder() override { return folder_; }
    bool changes_names() const override { return true; }
    bool journals() const override { return !journal_.name().empty(); }
    void start(const RenamingJob& job, const FolderFacts& folder) override;
    void before_batch(std::span<const JournalClip> clips) override;
    void renamed(const std::string& old_name, const std::string& new_name,
                 const std::string& planned) override;
    void removed(const std::string& old_name) override;
    void left(const std::string& old_name) override { journal_.not_renamed(old_name); }
    void outcome(bool renamed, std::string_view path, std::string_view old_path,
                 std::string_view dates_line) override;
    void finish(std::int32_t renamed_count) override;

  private:
    lineio::Channels& channels_;
    std::string program_;
    JournalWriter journal_;
    RealFolder folder_;
};

class DryRun final : public Renamer {
  public:
    // `folder` is only ever asked, never changed.
    DryRun(lineio::Channels& channels, ClipFolder& folder)
        : channels_(channels), folder_(folder), picture_(folder) {}
    ClipFolder& clip_folder() override { return picture_; }
    // A preview leaves the disk as it found it, a list.txt of the user's own included.
    std::string* listing_in_memory() override { return &listing_; }
    void start(const RenamingJob& job, const FolderFacts& folder) override;
    void before_batch(std::span<const JournalClip> /*clips*/) override {}
    void renamed(const std::string& /*old_name*/, const std::string& /*new_name*/,
                 const std::string& /*planned*/) override {}
    void removed(const std::string& /*old_name*/) override {}
    void outcome(bool renamed, std::string_view path, std::string_view old_path,
                 std::string_view dates_line) override;
    void finish(std::int32_t renamed_count) override;

  private:
    lineio::Channels& channels_;
    ClipFolder& folder_;
    FolderPicture picture_;
    std::string listing_;
};

}  // namespace workflow
