// The folder whose clips a run renames, as the renaming pass and the undo see it: their one way
// to the folder. It is the real folder, or a picture of what a real run would make of it, which a
// preview works on without touching anything; both answer alike, so that a preview foretells the
// real run. Tests hand the pass a folder of their own.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/platform.hpp"

namespace workflow {

// What the folder tells of its files, and how its refusals are told apart.
using platform::ClipFile;
using platform::describe_error;
using platform::FileIdentity;
using platform::FolderEntry;
using platform::is_symbolic_link_refusal;
using platform::is_taken_name_refusal;

class ClipFolder {
  public:
    ClipFolder() = default;
    ClipFolder(const ClipFolder&) = delete;
    ClipFolder& operator=(const ClipFolder&) = delete;
    virtual ~ClipFolder() = default;

    // Opens the folder at `path` for the rest of the run; 0 or the system's error. With
    // `follow_last_link` false, a symbolic link as the last component is refused.
    virtual int open(const std::string& path, bool follow_last_link) = 0;
    // True where file numbers outlive a remount, so that a number names a clip after a power cut.
    virtual bool keeps_file_numbers() const = 0;
    // True where this process may change names in the folder at all.
    virtual bool names_may_change() const = 0;
    // True where a rename in one step that never replaces is to be expected: on the system's own
    // filesystems, not through FUSE or a network, whose server may lack the step.
    virtual bool renames_atomically() const = 0;
    virtual int identify_self(FileIdentity& identity) const = 0;
    virtual int identify(const std::string& name, FileIdentity& identity) const = 0;
    virtual int exists(const std::string& name, bool& found) const = 0;
    // Hands `visit` every entry a listing shows, unsorted.
    virtual int list(const std::function<void(const FolderEntry&)>& visit) const = 0;

    // Renames `from` to `to`, never replacing a file. Returns 0 when the file now bears `to` (a
    // file that already bears its name keeps it), otherwise the system's error number, for which
    // is_taken_name_refusal tells a taken name.
    virtual int rename(const std::string& from, const std::string& to) = 0;
    // Removes `name` while it and `kept` are two names of one file, which keeps the other.
    // REQUIRES: `name` and `kept` differ.
    virtual int remove_second_name(const std::string& name, const std::string& kept) = 0;
    // Opens the clip `name` to read the dates it records or, with `write`, to correct them, and
    // tells its identity as identify would.
    virtual int open_clip(const std::string& /*name*/, bool /*write*/, ClipFile& /*clip*/,
                          FileIdentity& /*identity*/) const {
        return platform::refused_change_error;
    }
    // 0 where the clip `name` could be opened to write, otherwise the error that opening would
    // meet; nothing is opened.
    virtual int may_write(const std::string& /*name*/) const {
        return platform::refused_change_error;
    }
};

// Where the filesystem has no atomic rename that never replaces, a rename takes two steps; which
// ones is learnt from the first refusal and kept for the rest of the run.
enum class RenameWay { atomic, link_then_unlink, claim_then_rename };

class RealFolder final : public ClipFolder {
  public:
    // `before_claim(from, to)` is called just before the new name is claimed by an empty file of
    // the program's own, so that a journal can record the claim before it can be left behind; an
    // error it returns fails the rename before any placeholder is made.
    explicit RealFolder(std::function<int(const std::string&, const std::string&)> before_claim)
        : before_claim_(std::move(before_claim)) {}

    int open(const std::string& path, bool follow_last_link) override {
        return folder_.open(path, follow_last_link);
    }
    bool keeps_file_numbers() const override { return folder_.keeps_file_numbers(); }
    bool names_may_change() const override { return folder_.names_may_change(); }
    bool renames_atomically() const override { return folder_.renames_atomically(); }
    int identify_self(FileIdentity& identity) const override {
        return folder_.identify_self(identity);
    }
    int identify(const std::string& name, FileIdentity& identity) const override {
        return folder_.identify(name, identity);
    }
    int exists(const std::string& name, bool& found) const override {
        return folder_.exists(name, found);
    }
    int list(const std::function<void(const FolderEntry&)>& visit) const override {
        return folder_.list(visit);
    }
    int rename(const std::string& from, const std::string& to) override;
    int remove_second_name(const std::string& name, const std::string& kept) override;
    int open_clip(const std::string& name, bool write, ClipFile& clip,
                  FileIdentity& identity) const override {
        return clip.open(folder_, name, write, identity);
    }
    int may_write(const std::string& name) const override { return folder_.may_write(name); }

    // For the undo: a further name for a file, and the removal of a placeholder of its own.
    int add_name(const std::string& existing, const std::string& name) const {
        return folder_.add_name(existing, name);
    }
    int remove_name(const std::string& name) const { return folder_.remove_name(name); }

  private:
    platform::Folder folder_;
    std::function<int(const std::string&, const std::string&)> before_claim_;
    RenameWay way_ = RenameWay::atomic;
};

// What a real run would make of `folder`: its questions go to the folder, its renames only change
// the picture.
class FolderPicture final : public ClipFolder {
  public:
    explicit FolderPicture(ClipFolder& folder) : folder_(folder) {}

    // `ignores_case`: names that differ only in case are one name, as on Windows and on
    // case-insensitive Linux folders.
    void take_case_as(bool ignores_case) { ignores_case_ = ignores_case; }

    int open(const std::string& path, bool follow_last_link) override {
        return folder_.open(path, follow_last_link);
    }
    bool keeps_file_numbers() const override { return folder_.keeps_file_numbers(); }
    bool names_may_change() const override { return folder_.names_may_change(); }
    bool renames_atomically() const override { return folder_.renames_atomically(); }
    int identify_self(FileIdentity& identity) const override {
        return folder_.identify_self(identity);
    }
    int identify(const std::string& name, FileIdentity& identity) const override {
        return folder_.identify(name, identity);
    }
    int exists(const std::string& name, bool& found) const override;
    int list(const std::function<void(const FolderEntry&)>& visit) const override {
        return folder_.list(visit);
    }
    int rename(const std::string& from, const std::string& to) override;
    int remove_second_name(const std::string& name, const std::string& kept) override;
    // Only ever to read, a preview writing nothing; asked to write, it fails as the real run's
    // opening would.
    int open_clip(const std::string& name, bool write, ClipFile& clip,
                  FileIdentity& identity) const override;
    int may_write(const std::string& name) const override { return folder_.may_write(name); }

  private:
    std::string key(const std::string& name) const;

    ClipFolder& folder_;
    bool ignores_case_ = false;
    // Names that earlier renames of the picture took (true) or freed (false).
    std::map<std::string, bool> changed_;
};

// True when the folder takes a case-swapped `name` for the same file `name` names.
bool folder_ignores_case(const ClipFolder& folder, const std::string& name);

}  // namespace workflow
