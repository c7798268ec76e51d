// How the renaming pass changes a name and tells what came of it. A real run renames, keeps the
// undo journal ahead of every rename and writes the report; a dry run works out, on a picture of
// the folder, what a real run would do, and touches nothing.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "lineio/channels.hpp"
#include "workflow/journal.hpp"
#include "workflow/renaming_pass.hpp"

namespace workflow {

class Renamer {
  public:
    Renamer() = default;
    Renamer(const Renamer&) = delete;
    Renamer& operator=(const Renamer&) = delete;
    virtual ~Renamer() = default;

    // Before the first file.
    virtual void start(const RenamingJob& job) = 0;
    // As Channels::rename_file: 0 when the file now bears (or would bear) the new name.
    virtual int rename(std::string_view old_path, std::string_view new_path) = 0;
    // `path` is the new path of a renamed file, otherwise the old one.
    virtual void outcome(bool renamed, std::string_view path) = 0;
    // After the last file: the summary lines.
    virtual void finish(std::int32_t renamed_count) = 0;
};

class RealRun final : public Renamer {
  public:
    explicit RealRun(lineio::Channels& channels) : channels_(channels), journal_(channels) {}
    void start(const RenamingJob& job) override;
    int rename(std::string_view old_path, std::string_view new_path) override;
    void outcome(bool renamed, std::string_view path) override;
    void finish(std::int32_t renamed_count) override;

  private:
    lineio::Channels& channels_;
    JournalWriter journal_;
};

class DryRun final : public Renamer {
  public:
    explicit DryRun(lineio::Channels& channels) : channels_(channels) {}
    void start(const RenamingJob& job) override;
    int rename(std::string_view old_path, std::string_view new_path) override;
    void outcome(bool renamed, std::string_view path) override;
    void finish(std::int32_t renamed_count) override;

  private:
    // Whether a name would be taken at this point of a real run.
    bool taken(const std::string& name);

    lineio::Channels& channels_;
    // Names that earlier simulated renames took (true) or freed (false), over the real folder.
    std::map<std::string, bool> changed_;
};

}  // namespace workflow
