// The folder whose clips a run renames, as the renaming pass and the undo see it: the real folder,
// or a picture of what a real run would make of it, which a preview works on without touching
// anything. Both answer alike, so that a preview foretells the real run.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "platform/platform.hpp"

namespace workflow {

class ClipFolder {
  public:
    ClipFolder() = default;
    ClipFolder(const ClipFolder&) = delete;
    ClipFolder& operator=(const ClipFolder&) = delete;
    virtual ~ClipFolder() = default;

    // Renames `from` to `to`, never replacing a file. Returns 0 when the file now bears `to` (a
    // file that already bears its name keeps it), otherwise the system's error number, for which
    // platform::is_taken_name_refusal tells a taken name.
    virtual int rename(const std::string& from, const std::string& to) = 0;
    // Removes `name` while it and `kept` are two names of one file, which keeps the other.
    virtual int remove_second_name(const std::string& name, const std::string& kept) = 0;
};

// Where the filesystem has no atomic rename that never replaces, a rename takes two steps; which
// ones is learnt from the first refusal and kept for the rest of the run.
enum class RenameWay { atomic, link_then_unlink, claim_then_rename };

class RealFolder final : public ClipFolder {
  public:
    // `before_claim(from, to)` is called just before the new name is claimed by an empty file of
    // the program's own, so that a journal can record the claim before it can be left behind; an
    // error it returns fails the rename before any placeholder is made.
    RealFolder(const platform::Folder& folder,
               std::function<int(const std::string&, const std::string&)> before_claim)
        : folder_(folder), before_claim_(std::move(before_claim)) {}

    int rename(const std::string& from, const std::string& to) override;
    int remove_second_name(const std::string& name, const std::string& kept) override;

  private:
    const platform::Folder& folder_;
    std::function<int(const std::string&, const std::string&)> before_claim_;
    RenameWay way_ = RenameWay::atomic;
};

class FolderPicture final : public ClipFolder {
  public:
    // `ignores_case`: names that differ only in case are one name, as on Windows and on
    // case-insensitive Linux folders.
    FolderPicture(const platform::Folder& folder, bool ignores_case)
        : folder_(folder), ignores_case_(ignores_case) {}

    int rename(const std::string& from, const std::string& to) override;
    int remove_second_name(const std::string& name, const std::string& kept) override;

  private:
    // 0 with `taken` set, or the error a real rename would meet looking the name up.
    int look_up(const std::string& name, bool& taken) const;
    std::string key(const std::string& name) const;

    const platform::Folder& folder_;
    bool ignores_case_;
    // Names that earlier renames of the picture took (true) or freed (false).
    std::map<std::string, bool> changed_;
};

// True when the folder takes a case-swapped `name` for the same file `name` names.
bool folder_ignores_case(const platform::Folder& folder, const std::string& name);

}  // namespace workflow
