#include "workflow/clip_dates_run.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

#include "media/clip_dates.hpp"

namespace workflow {
namespace {

constexpr std::int64_t nanoseconds_per_second = 1000000000;
// The bytes between fields that the reads of a clip's fields may take in with them, in all: with
// the reader's allowance, a clip costs at most 64 KiB more than its walk and its fields need.
constexpr std::uint64_t largest_gaps = std::uint64_t{8} * 1024;
// Two readings of one moment agree within this: FAT keeps times in 2-second steps, and a camera
// may stamp its name a moment before or after it writes the clip's header.
constexpr std::int64_t tolerance = 4;
// A filesystem that reads a card's local times as UTC is off by whole quarter hours, at most 14
// hours either way.
constexpr std::int64_t quarter_hour = 900;
constexpr std::int64_t most_quarter_hours = 56;
// Where the name's digits stand in "yyyy mm dd hh mm ss.ext".
constexpr std::size_t name_digits[6][2] = {{0, 4}, {5, 2}, {8, 2}, {11, 2}, {14, 2}, {17, 2}};

// The clip's bytes, read at offsets through its open file.
class ClipSource final : public media::ByteSource {
  public:
    ClipSource(const ClipFile& file, std::uint64_t size) : file_(file), size_(size) {}
    int read_at(std::uint64_t offset, std::span<char> into, std::size_t& got) override {
        return file_.read_at(offset, into.data(), into.size(), got);
    }
    std::uint64_t size() const override { return size_; }

  private:
    const ClipFile& file_;
    std::uint64_t size_;
};

// The corrected name's date and time as seconds of its own clock since 1970.
std::int64_t name_seconds(std::string_view name) {
    std::int64_t parts[6] = {};
    for (std::size_t part = 0; part < 6; ++part) {
        for (std::size_t at = 0; at < name_digits[part][1]; ++at) {
            parts[part] = parts[part] * 10 + (name[name_digits[part][0] + at] - '0');
        }
    }
    return media::seconds_from_civil(
        {parts[0], static_cast<std::int32_t>(parts[1]), static_cast<std::int32_t>(parts[2]),
         static_cast<std::int32_t>(parts[3]), static_cast<std::int32_t>(parts[4]),
         static_cast<std::int32_t>(parts[5])});
}

// Windows counts file times from 1601, which takes nanoseconds past the signed 64-bit range: a
// file time is moved to 1970 and back in unsigned arithmetic, modulo 2^64, as the system keeps it.
constexpr std::uint64_t file_time_epoch =
    static_cast<std::uint64_t>(platform::file_time_epoch_before_1970) * nanoseconds_per_second;

std::int64_t unix_nanoseconds(std::int64_t file_time) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(file_time) - file_time_epoch);
}

std::int64_t file_time_of(std::int64_t unix_nanoseconds) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(unix_nanoseconds) +
                                     file_time_epoch);
}

// Local civil seconds as UTC seconds, by this machine's time zone at that date.
std::int64_t utc_of_local(std::int64_t local) {
    const std::int64_t guess = local - platform::local_offset_at(local);
    return local - platform::local_offset_at(guess);
}

std::string date_text(std::int64_t seconds) {
    const media::CivilTime time = media::civil_from_seconds(seconds);
    std::string text = std::to_string(time.year);
    for (const std::int32_t part : {time.month, time.day, time.hour, time.minute, time.second}) {
        text.append(text.size() == 4 || text.size() == 7 ? "-" : text.size() == 10 ? " " : ":");
        text.append(part < 10 ? "0" : "").append(std::to_string(part));
    }
    return text;
}

std::string count_text(std::size_t count, std::string_view what) {
    return std::to_string(count) + " " + std::string(what) + (count == 1 ? "" : "s");
}

// How the recorded creation time stands to the old name's time `named` (the name's own clock):
// equal to it, or to it less the clip's duration, read as local time or as UTC, within the
// tolerance. Returns the difference found when they do not agree, in seconds.
bool agrees_with_name(const media::ClipDates& dates, std::int64_t named, const DatePlan& plan,
                      std::int64_t& difference) {
    const std::int64_t offset = platform::local_offset_at(named);
    const std::int64_t other = plan.created_local ? named + offset : named - offset;
    const std::int64_t duration = std::llround(dates.duration_seconds.value_or(0.0));
    difference = plan.created - named;
    const std::int64_t readings[4] = {named, named - duration, other, other - duration};
    return std::ranges::any_of(readings, [&plan](std::int64_t reading) {
        return std::llabs(plan.created - reading) <= tolerance;
    });
}

// Whether a file time agrees with the name's time: within the tolerance, apart from a whole
// number of quarter hours.
bool file_time_agrees(std::int64_t unix_nanoseconds, std::int64_t named) {
    // Times centuries apart are told apart in seconds, before their nanoseconds pass 64 bits.
    if (std::llabs(unix_nanoseconds / nanoseconds_per_second - named) >
        most_quarter_hours * quarter_hour + tolerance + 1) {
        return false;
    }
    const std::int64_t difference = unix_nanoseconds - named * nanoseconds_per_second;
    const std::int64_t step = quarter_hour * nanoseconds_per_second;
    std::int64_t quarters = (difference + (difference < 0 ? -step : step) / 2) / step;
    quarters = std::clamp(quarters, -most_quarter_hours, most_quarter_hours);
    return std::llabs(difference - quarters * step) <= tolerance * nanoseconds_per_second;
}

std::string difference_text(std::int64_t seconds) {
    return (seconds < 0 ? "-" : "+") + std::to_string(std::llabs(seconds)) + " s";
}

// Reads the bytes each field holds now into `held`, fewer where the file ends. Fields that follow
// one another come in one read with the bytes between them, as long as those add up to no more
// than largest_gaps: a movie header's dates with its first track's, never a sample table between
// two tracks. Returns 0 or the system's error.
int read_fields(const ClipFile& file, const std::vector<JournalClip::Field>& fields,
                std::vector<std::string>& held) {
    held.assign(fields.size(), {});
    std::uint64_t gaps = largest_gaps;
    std::string bytes;
    for (std::size_t first = 0, last = 0; first < fields.size(); first = last) {
        const std::uint64_t start = fields[first].offset;
        std::uint64_t end = start + fields[first].old_bytes.size();
        for (last = first + 1; last < fields.size() && fields[last].offset >= end &&
                               fields[last].offset - end <= gaps;
             ++last) {
            gaps -= fields[last].offset - end;
            end = fields[last].offset + fields[last].old_bytes.size();
        }
        bytes.resize(end - start);
        std::size_t got = 0;
        if (const int error = file.read_at(start, bytes.data(), bytes.size(), got); error != 0) {
            return error;
        }
        for (std::size_t at = first; at < last; ++at) {
            const std::uint64_t from = fields[at].offset - start;
            held[at] = from < got ? bytes.substr(from, fields[at].old_bytes.size()) : "";
        }
    }
    return 0;
}

// How a field's bytes, as read, stand to its journaled old and new bytes.
enum class FieldState { old_bytes, new_or_torn, other };

FieldState state_of(const std::string& bytes, const JournalClip::Field& field) {
    if (bytes.size() != field.old_bytes.size()) {
        return FieldState::other;
    }
    if (bytes == field.old_bytes) {
        return FieldState::old_bytes;
    }
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (bytes[at] != field.old_bytes[at] && bytes[at] != field.new_bytes[at]) {
            return FieldState::other;
        }
    }
    return FieldState::new_or_torn;
}

// Reads the dates recorded in the clip open in `plan`, whose old name says `named`, and journals
// the fields to change where they agree with the name, otherwise why they are left.
void plan_recorded_dates(std::int64_t named, JournalClip& entry, DatePlan& plan) {
    ClipSource source(plan.file, plan.identity.size);
    const media::ClipDates dates = media::read_clip_dates(source, plan.shift);
    if (!dates.left_alone.empty()) {
        plan.recorded_left = dates.left_alone;
        return;
    }
    plan.has_created = dates.creation_since_1904.has_value() || dates.local_creation.has_value();
    plan.created_local = !dates.creation_since_1904 && dates.local_creation;
    plan.created =
        dates.creation_since_1904
            ? static_cast<std::int64_t>(*dates.creation_since_1904) - media::seconds_1904_to_1970
        : dates.local_creation ? media::seconds_from_civil(*dates.local_creation)
                               : 0;
    std::int64_t difference = 0;
    if (dates.fields.empty()) {
        plan.recorded_left = dates.left.empty()
                                 ? "it records no date"
                                 : dates.left.front().what + " left: " + dates.left.front().reason;
    } else if (!plan.has_created) {
        plan.recorded_left = "it records no creation time to check them against";
    } else if (!agrees_with_name(dates, named, plan, difference)) {
        plan.recorded_left = "its creation time " + date_text(plan.created) +
                             (plan.created_local ? "" : " UTC") + " is " +
                             difference_text(difference) + " off the name";
    } else {
        for (const media::DateField& field : dates.fields) {
            entry.fields.push_back({field.offset, field.old_bytes, field.new_bytes});
        }
    }
}

// Why a clip's dates are left when the clip could not be opened to be patched.
std::string unwritable_text(int error) {
    return "the clip could not be opened to write: " + describe_error(error);
}

}  // namespace

std::string undo_dates(const ClipFolder& folder, const std::string& name, const JournalClip& entry,
                       bool& retry) {
    retry = false;
    ClipFile file;
    FileIdentity now;
    int error = folder.open_clip(name, true, file, now);
    if (error != 0) {
        retry = true;
        return "it could not be opened to write: " + describe_error(error);
    }
    if (now.size != entry.size || now.links > 1) {
        return now.links > 1 ? "it has more than one hard link" : "its size changed";
    }
    std::vector<std::string> held;
    if (read_fields(file, entry.fields, held) != 0) {
        retry = true;
        return "a recorded date could not be read";
    }
    std::vector<bool> to_write;
    for (std::size_t at = 0; at < entry.fields.size(); ++at) {
        const FieldState state = state_of(held[at], entry.fields[at]);
        to_write.push_back(state == FieldState::new_or_torn);
        if (state == FieldState::other) {
            return "a recorded date holds bytes the run never wrote";
        }
    }
    // A clip with journaled fields, all of them old or new, gets its old time too: the run's
    // patch, or an undo's cut short, moved it.
    const bool time_set_by_run = entry.holds_time_set(now.modified);
    for (std::size_t at = 0; at < entry.fields.size(); ++at) {
        if (const JournalClip::Field& field = entry.fields[at]; to_write[at]) {
            if (error = file.write_at(field.offset, field.old_bytes); error != 0) {
                retry = true;
                return "a recorded date could not be written back: " + describe_error(error);
            }
        }
    }
    if (time_set_by_run || !entry.fields.empty()) {
        if (error = file.set_modified(entry.old_time); error != 0) {
            retry = true;
            return "the file time could not be set back: " + describe_error(error);
        }
    }
    return {};
}

bool holds_journaled_bytes(const ClipFolder& folder, const std::string& name,
                           const JournalClip& entry) {
    ClipFile file;
    FileIdentity now;
    std::vector<std::string> held;
    if (!entry.dated || folder.open_clip(name, false, file, now) != 0 || now.size != entry.size) {
        return false;
    }
    if (entry.fields.empty()) {
        return entry.holds_time_set(now.modified);
    }
    if (read_fields(file, entry.fields, held) != 0) {
        return false;
    }
    for (std::size_t at = 0; at < entry.fields.size(); ++at) {
        if (state_of(held[at], entry.fields[at]) == FieldState::other) {
            return false;
        }
    }
    return true;
}

int plan_dates(const ClipFolder& folder, std::int32_t correction, std::string_view planned,
               bool to_patch, JournalClip& entry, DatePlan& plan, FileIdentity& identity) {
    plan = {};
    plan.shift = std::int64_t{correction} * 60;
    ClipFile& file = plan.file;
    // Opened to be written from the start, so that one opening serves the reading and the patch;
    // a clip that may only be read still has its dates read, for the line that tells why not.
    int error = to_patch ? folder.open_clip(entry.old_name, true, file, plan.identity) : 0;
    if (!to_patch || error != 0) {
        plan.write_error = error;
        error = folder.open_clip(entry.old_name, false, file, plan.identity);
    }
    if (error != 0) {
        plan.left = error == platform::placeholder_refused
                        ? "it is a cloud placeholder, which reading would download"
                        : "it could not be read: " + describe_error(error);
        return folder.identify(entry.old_name, identity);
    }
    identity = plan.identity;
    if (plan.identity.links > 1) {
        // A backup made with hard links shares the clip's bytes: a patch would change it too.
        plan.left = "it has more than one hard link";
        file.close();
        return 0;
    }
    if (plan.identity.modified == platform::time_not_kept) {
        // Its time could not be journaled as it is, so no undo could give it back.
        plan.left = "its file time is too far from the present to be kept exactly";
        file.close();
        return 0;
    }
    entry.dated = true;
    entry.size = plan.identity.size;
    entry.old_time = plan.identity.modified;
    const std::int64_t named = name_seconds(planned) - plan.shift;
    if (file_time_agrees(unix_nanoseconds(entry.old_time), named)) {
        entry.new_time = static_cast<std::int64_t>(static_cast<std::uint64_t>(entry.old_time) +
                                                   static_cast<std::uint64_t>(plan.shift) *
                                                       nanoseconds_per_second);
    } else {
        // The name's date and time in local time, with the name's own seconds (never a burst
        // number, the corrected name being the planned one).
        entry.new_time = file_time_of(utc_of_local(named + plan.shift) * nanoseconds_per_second);
    }
    plan_recorded_dates(named, entry, plan);
    if (!to_patch) {
        file.close();
    }
    return 0;
}

std::string correct_dates(const ClipFolder& folder, const std::string& new_name,
                          const JournalClip& entry, const DatePlan& plan, bool& corrected) {
    corrected = false;
    if (!entry.dated) {
        return "  Dates left: " + plan.left;
    }
    if (plan.write_error != 0) {
        return "  Dates left: " + unwritable_text(plan.write_error);
    }
    // The new name is asked, not the open clip, which is the clip read whatever became of its
    // names: the clip patched must be the one that took the name the journal gives it.
    FileIdentity now;
    if (folder.identify(new_name, now) != 0 || !now.same_file(plan.identity) ||
        now.size != entry.size) {
        return "  Dates left: the clip changed since its dates were read";
    }
    if (now.links > 1) {
        return "  Dates left: it has more than one hard link";
    }
    // Every field is checked before any is written: the clip is patched whole or not at all.
    std::vector<std::string> held;
    if (read_fields(plan.file, entry.fields, held) != 0 ||
        !std::ranges::equal(held, entry.fields, {}, {}, &JournalClip::Field::old_bytes)) {
        return "  Dates left: the clip changed since its dates were read";
    }
    for (const JournalClip::Field& field : entry.fields) {
        if (const int error = plan.file.write_at(field.offset, field.new_bytes); error != 0) {
            return "  Dates left part-way (--undo takes them back): " + describe_error(error);
        }
    }
    // Last: writing the bytes moved the file time.
    if (const int error = plan.file.set_modified(entry.new_time); error != 0) {
        return "  Dates left: the file time could not be set: " + describe_error(error);
    }
    corrected = !entry.fields.empty();
    return corrected ? "  Dates: file time and " +
                           count_text(entry.fields.size(), "recorded date") + " corrected"
                     : "  Dates: file time corrected; recorded dates left: " + plan.recorded_left;
}

std::string dates_now_and_after(const JournalClip& entry, const DatePlan& plan) {
    if (!entry.dated) {
        return "  Its dates would be left: " + plan.left;
    }
    // The file time in this machine's local time, as a file manager shows it.
    const auto local = [](std::int64_t file_time) {
        const std::int64_t seconds = unix_nanoseconds(file_time) / nanoseconds_per_second;
        return date_text(seconds + platform::local_offset_at(seconds));
    };
    std::string text = "  File time:     " + local(entry.old_time) + ", after " +
                       local(entry.new_time) + "\r\n  Recorded date: ";
    if (!plan.has_created) {
        return text.append("none");
    }
    const std::string_view zone = plan.created_local ? "" : " UTC";
    text.append(date_text(plan.created)).append(zone);
    if (entry.fields.empty()) {
        return text.append(", left: ").append(plan.recorded_left);
    }
    return text.append(", after ").append(date_text(plan.created + plan.shift)).append(zone);
}

std::string foretell_dates(const JournalClip& entry, const DatePlan& plan, bool& corrected) {
    corrected = !entry.fields.empty();
    if (!entry.dated || plan.write_error != 0) {
        corrected = false;
        return "  Dates would be left: " +
               (entry.dated ? unwritable_text(plan.write_error) : plan.left);
    }
    std::string line = "  Dates: file time would be corrected";
    if (plan.has_created) {
        line.append("; created ")
            .append(date_text(plan.created))
            .append(plan.created_local ? "" : " UTC");
    }
    if (corrected) {
        return line.append(", would become ")
            .append(date_text(plan.created + plan.shift))
            .append(" with ")
            .append(count_text(entry.fields.size(), "recorded date"));
    }
    return line.append("; recorded dates would be left: ").append(plan.recorded_left);
}

}  // namespace workflow
