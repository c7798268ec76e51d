// How the renaming pass changes names and tells what came of them. A real run renames, keeps the
// undo journal ahead of the renames and writes the report; a preview works out, on a picture of
// the folder, what a real run would do, and touches nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "lineio/channels.hpp"
#include "workflow/clip_folder.hpp"
#include "workflow/journal.hpp"
#include "workflow/renaming_pass.hpp"

namespace workflow {

// The folder a pass renames in, opened once for the whole pass.
struct RunFolder {
    platform::Folder folder;
    int open_error = 0;  // the folder could not be opened: every rename fails with this
    IdentityKind identity_kind = IdentityKind::size_and_time;
    std::uint64_t number = 0;  // 0 where numbers do not outlive a remount
    std::string any_name;      // a listed name, to learn whether the folder ignores case
};

class Renamer {
  public:
    Renamer() = default;
    Renamer(const Renamer&) = delete;
    Renamer& operator=(const Renamer&) = delete;
    virtual ~Renamer() = default;

    // Before the first file.
    virtual void start(const RenamingJob& job, const RunFolder& folder) = 0;
    virtual ClipFolder& clip_folder() = 0;
    // Before the renames of each batch of clips, with the clips the batch may rename.
    virtual void before_batch(std::span<const JournalClip> clips) = 0;
    // After a clip took `new_name`, or lost `old_name` as a second name of a clip renamed before.
    virtual void renamed(const std::string& old_name, const std::string& new_name,
                         const std::string& planned) = 0;
    virtual void removed(const std::string& old_name) = 0;
    // `path` is the new path of a renamed file, otherwise the old one.
    virtual void outcome(bool renamed, std::string_view path) = 0;
    // After the last file: the summary lines.
    virtual void finish(std::int32_t renamed_count) = 0;
};

class RealRun final : public Renamer {
  public:
    // `program` names the program in the command that takes the run back.
    RealRun(lineio::Channels& channels, const std::string& program)
        : channels_(channels), program_(program), journal_(channels, program) {}
    void start(const RenamingJob& job, const RunFolder& folder) override;
    ClipFolder& clip_folder() override { return *folder_; }
    void before_batch(std::span<const JournalClip> clips) override;
    void renamed(const std::string& old_name, const std::string& new_name,
                 const std::string& planned) override;
    void removed(const std::string& old_name) override;
    void outcome(bool renamed, std::string_view path) override;
    void finish(std::int32_t renamed_count) override;

  private:
    lineio::Channels& channels_;
    std::string program_;
    JournalWriter journal_;
    std::optional<RealFolder> folder_;
};

class DryRun final : public Renamer {
  public:
    explicit DryRun(lineio::Channels& channels) : channels_(channels) {}
    void start(const RenamingJob& job, const RunFolder& folder) override;
    ClipFolder& clip_folder() override { return *picture_; }
    void before_batch(std::span<const JournalClip> /*clips*/) override {}
    void renamed(const std::string& /*old_name*/, const std::string& /*new_name*/,
                 const std::string& /*planned*/) override {}
    void removed(const std::string& /*old_name*/) override {}
    void outcome(bool renamed, std::string_view path) override;
    void finish(std::int32_t renamed_count) override;

  private:
    lineio::Channels& channels_;
    std::optional<FolderPicture> picture_;
};

}  // namespace workflow
