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
// The span of date fields a patch checks in one read.
constexpr std::uint64_t largest_check = std::uint64_t{64} * 1024;
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
    const std::int64_t difference = unix_nanoseconds - named * nanoseconds_per_second;
    const std::int64_t step = quarter_hour * nanoseconds_per_second;
    std::int64_t quarters = (difference + (difference < 0 ? -step : step) / 2) / step;
    quarters = std::clamp(quarters, -most_quarter_hours, most_quarter_hours);
    return std::llabs(difference - quarters * step) <= tolerance * nanoseconds_per_second;
}

std::string difference_text(std::int64_t seconds) {
    return (seconds < 0 ? "-" : "+") + std::to_string(std::llabs(seconds)) + " s";
}

// How a field's bytes now stand to its journaled old and new bytes.
enum class FieldState { old_bytes, new_or_torn, other, unread };

FieldState state_of(const ClipFile& file, const JournalClip::Field& field, std::string& bytes) {
    bytes.resize(field.old_bytes.size());
    std::size_t got = 0;
    if (file.read_at(field.offset, bytes.data(), bytes.size(), got) != 0) {
        return FieldState::unread;
    }
    if (got != bytes.size()) {
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

// Opens the clip `name` to be written and tells what it is now; 0 or the system's error.
int open_to_write(const ClipFolder& folder, const std::string& name, ClipFile& file,
                  FileIdentity& now) {
    const int error = folder.open_clip(name, true, file);
    return error != 0 ? error : file.identify(now);
}

}  // namespace

std::string undo_dates(const ClipFolder& folder, const std::string& name, const JournalClip& entry,
                       bool& retry) {
    retry = false;
    ClipFile file;
    FileIdentity now;
    int error = open_to_write(folder, name, file, now);
    if (error != 0) {
        retry = true;
        return "it could not be opened to write: " + describe_error(error);
    }
    if (now.size != entry.size || now.links > 1) {
        return now.links > 1 ? "it has more than one hard link" : "its size changed";
    }
    std::string bytes;
    std::vector<bool> to_write;
    for (const JournalClip::Field& field : entry.fields) {
        const FieldState state = state_of(file, field, bytes);
        to_write.push_back(state == FieldState::new_or_torn);
        retry = state == FieldState::unread;
        if (state == FieldState::other || retry) {
            return retry ? "a recorded date could not be read"
                         : "a recorded date holds bytes the run never wrote";
        }
    }
    // FAT keeps times in 2-second steps. A clip with journaled fields, all of them old or new,
    // gets its old time too: the run's patch, or an undo's cut short, moved it.
    const bool time_set_by_run =
        std::llabs(now.modified - entry.new_time) < 2 * nanoseconds_per_second;
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
    if (!entry.dated || folder.open_clip(name, false, file) != 0 || file.identify(now) != 0 ||
        now.size != entry.size) {
        return false;
    }
    if (entry.fields.empty()) {
        return std::llabs(now.modified - entry.new_time) < 2 * nanoseconds_per_second;
    }
    std::string bytes;
    return std::ranges::all_of(entry.fields, [&](const JournalClip::Field& field) {
        const FieldState state = state_of(file, field, bytes);
        return state == FieldState::old_bytes || state == FieldState::new_or_torn;
    });
}

void plan_dates(const ClipFolder& folder, const std::string& name, std::int32_t correction,
                JournalClip& entry, DatePlan& plan) {
    plan = {};
    plan.shift = std::int64_t{correction} * 60;
    ClipFile file;
    int error = folder.open_clip(name, false, file);
    if (error == 0) {
        error = file.identify(plan.identity);
    }
    if (error != 0) {
        plan.left = error == platform::placeholder_refused
                        ? "it is a cloud placeholder, which reading would download"
                        : "it could not be read: " + describe_error(error);
        return;
    }
    if (plan.identity.links > 1) {
        // A backup made with hard links shares the clip's bytes: a patch would change it too.
        plan.left = "it has more than one hard link";
        return;
    }
    entry.dated = true;
    entry.size = plan.identity.size;
    entry.old_time = plan.identity.modified;
    // Windows counts from 1601, which takes nanoseconds past the signed 64-bit range: the file
    // time is moved to 1970 and back in unsigned arithmetic, modulo 2^64, as the system keeps it.
    const std::uint64_t epoch =
        static_cast<std::uint64_t>(platform::file_time_epoch_before_1970) * nanoseconds_per_second;
    const std::int64_t named = name_seconds(entry.new_name) - plan.shift;
    if (file_time_agrees(
            static_cast<std::int64_t>(static_cast<std::uint64_t>(entry.old_time) - epoch), named)) {
        entry.new_time = static_cast<std::int64_t>(static_cast<std::uint64_t>(entry.old_time) +
                                                   static_cast<std::uint64_t>(plan.shift) *
                                                       nanoseconds_per_second);
    } else {
        // The name's date and time in local time, with the name's own seconds (never a burst
        // number, the corrected name being the planned one).
        entry.new_time = static_cast<std::int64_t>(
            static_cast<std::uint64_t>(utc_of_local(named + plan.shift) * nanoseconds_per_second) +
            epoch);
    }
    ClipSource source(file, plan.identity.size);
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

std::string correct_dates(const ClipFolder& folder, const std::string& new_name,
                          const JournalClip& entry, const DatePlan& plan, bool& corrected) {
    corrected = false;
    if (!entry.dated) {
        return "  Dates left: " + plan.left;
    }
    ClipFile file;
    FileIdentity now;
    int error = open_to_write(folder, new_name, file, now);
    if (error != 0) {
        return "  Dates left: the clip could not be opened to write: " + describe_error(error);
    }
    if (!now.same_file(plan.identity) || now.size != entry.size) {
        return "  Dates left: the clip changed since its dates were read";
    }
    if (now.links > 1) {
        return "  Dates left: it has more than one hard link";
    }
    // Every field is checked before any is written: the clip is patched whole or not at all. The
    // fields lie in the movie's header, which is read in one call when it is not large.
    std::uint64_t first = UINT64_MAX;
    std::uint64_t end = 0;
    for (const JournalClip::Field& field : entry.fields) {
        first = std::min(first, field.offset);
        end = std::max(end, field.offset + field.old_bytes.size());
    }
    const bool at_once = !entry.fields.empty() && end - first <= largest_check;
    std::string bytes(at_once ? end - first : 0, '\0');
    std::size_t got = 0;
    if (at_once &&
        (file.read_at(first, bytes.data(), bytes.size(), got) != 0 || got != bytes.size())) {
        return "  Dates left: the clip changed since its dates were read";
    }
    for (const JournalClip::Field& field : entry.fields) {
        std::string_view held;
        if (at_once) {
            held = std::string_view(bytes).substr(field.offset - first, field.old_bytes.size());
        } else {
            bytes.resize(field.old_bytes.size());
            error = file.read_at(field.offset, bytes.data(), bytes.size(), got);
            held = error == 0 && got == bytes.size() ? std::string_view(bytes) : std::string_view();
        }
        if (held != field.old_bytes) {
            return "  Dates left: the clip changed since its dates were read";
        }
    }
    for (const JournalClip::Field& field : entry.fields) {
        if (error = file.write_at(field.offset, field.new_bytes); error != 0) {
            return "  Dates left part-way (--undo takes them back): " + describe_error(error);
        }
    }
    // Last: writing the bytes moved the file time.
    if (error = file.set_modified(entry.new_time); error != 0) {
        return "  Dates left: the file time could not be set: " + describe_error(error);
    }
    corrected = !entry.fields.empty();
    return corrected ? "  Dates: file time and " +
                           count_text(entry.fields.size(), "recorded date") + " corrected"
                     : "  Dates: file time corrected; recorded dates left: " + plan.recorded_left;
}

std::string foretell_dates(const JournalClip& entry, const DatePlan& plan, bool& corrected) {
    corrected = !entry.fields.empty();
    if (!entry.dated) {
        return "  Dates would be left: " + plan.left;
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
