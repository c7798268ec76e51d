// The dates of an ISO or QuickTime container. The walk reads each box's header and seeks from
// size to size; it asks for a payload only for the few boxes that hold dates (mvhd, tkhd, mdhd,
// the handler of a track, ©day, keys and the items' data), never for a sample table or the media
// data. Its reads go through a ClipReader, which takes a small movie box in one read.
// Every list of boxes it passes must parse whole, or the clip is left alone: a patch is only as
// safe as the reading of where it goes. Each box moves the walk forward by at least its header,
// so that no sizes can make it loop; a size smaller than the header is refused.
#include <algorithm>
#include <iterator>
#include <limits>
#include <utility>

#include "media/clip_dates.hpp"
#include "media/reading.hpp"
#include "media/text_dates.hpp"

namespace media {
namespace {

// Far deeper than any writer nests the boxes read here (moov/udta/meta/ilst/item/data).
constexpr int deepest = 16;
// A date text, or a list of metadata keys, longer than this is not one the program reads.
constexpr std::size_t longest_text = 64;
constexpr std::size_t largest_keys = std::size_t{64} * 1024;
// A movie header's creation time or duration past this many seconds (34,000 years) is no clip's,
// and is not taken for one: sums with it must stay within 64 bits.
constexpr std::uint64_t most_seconds = std::uint64_t{1} << 40U;
constexpr std::string_view day_type =
    "\xA9"
    "day";
// The keyed dates: Apple's, and the one ffmpeg writes beside it, which players show as the clip's.
constexpr std::string_view creation_keys[] = {"com.apple.quicktime.creationdate", "creation_time"};

struct Box {
    std::string type;
    std::uint64_t payload;
    std::uint64_t end;
    std::uint64_t size() const { return end - payload; }
};

struct Track {
    int number;
    std::string handler;
};

// Where a box sits: its parent's type, the track it belongs to, the keys of its metadata list
// and, inside a metadata item, the item's type.
struct Place {
    std::string parent;
    Track* track = nullptr;
    std::vector<std::string>* keys = nullptr;
    std::string item;
};

class Mp4Walk {
  public:
    Mp4Walk(ClipReader& reader, std::int64_t shift, ClipDates& out)
        : reader_(reader), shift_(shift), out_(out) {}

    // Walks the boxes from `from` to `to`; false (with out.left_alone set) when they do not parse.
    bool walk(std::uint64_t from, std::uint64_t to, int depth, const Place& place) {
        if (depth > deepest) {
            return fail("its boxes are nested deeper than " + std::to_string(deepest));
        }
        for (std::uint64_t at = from; at < to;) {
            Box box;
            if (!read_header(at, to, box) || !visit(box, depth, place)) {
                return false;
            }
            at = box.end;
        }
        return true;
    }

    bool saw_movie = false;

  private:
    bool fail(std::string reason) {
        out_.left_alone = std::move(reason);
        return false;
    }

    // Reads `count` bytes at `offset` of the region that ends at `end`.
    bool read(std::uint64_t offset, std::uint64_t count, std::uint64_t end, std::string& into) {
        return reader_.read(offset, count, end, into, out_.left_alone);
    }

    bool read_header(std::uint64_t at, std::uint64_t to, Box& box) {
        const char* past = to == reader_.size() ? "the end of the file" : "the end of its parent";
        std::string header;
        if (to - at < 8) {
            return fail(std::string("a box header runs past ") + past);
        }
        if (!read(at, 8, to, header)) {
            return false;
        }
        std::uint64_t size = big_endian(std::string_view(header).substr(0, 4));
        box.type = header.substr(4);
        box.payload = at + 8;
        if (size == 1) {
            if (to - at < 16 || !read(at + 8, 8, to, header)) {
                return to - at < 16 ? fail(std::string("a box header runs past ") + past) : false;
            }
            size = big_endian(header);
            box.payload = at + 16;
        } else if (size == 0) {
            // To the end of the file: only the last box may say so.
            size = reader_.size() - at;
        }
        if (size < box.payload - at) {
            return fail("a box is smaller than its own header");
        }
        if (size > to - at) {
            return fail(std::string("a box runs past ") + past);
        }
        box.end = at + size;
        return true;
    }

    bool visit(const Box& box, int depth, const Place& place) {
        const std::string& type = box.type;
        Place inner{type, place.track, place.keys, ""};
        if (place.parent == "ilst") {
            inner.parent = "item";
            inner.item = type;
            return walk(box.payload, box.end, depth + 1, inner);
        }
        if (place.parent.empty()) {
            if (type == "moof" && !saw_fragments_) {
                saw_fragments_ = true;
                out_.left.push_back({"moof/tfdt fragment times",
                                     "fragments were seen; their times are left as they are"});
            }
            saw_movie = saw_movie || type == "moov";
            return type != "moov" || walk(box.payload, box.end, depth + 1, inner);
        }
        // A track is one only where the movie holds it; user data may nest anything.
        if (type == "trak" && place.parent == "moov") {
            return visit_track(box, depth, inner);
        }
        if ((type == "mdia" && place.parent == "trak") || type == "udta" || type == "ilst") {
            return walk(box.payload, box.end, depth + 1, inner);
        }
        if (type == "meta") {
            return visit_meta(box, depth, inner);
        }
        if (type == "mvhd" && place.parent == "moov") {
            return visit_times(box, "mvhd", "");
        }
        const std::string of_track =
            place.track ? " of track " + std::to_string(place.track->number) : "";
        if ((type == "tkhd" && place.parent == "trak") ||
            (type == "mdhd" && place.parent == "mdia")) {
            return visit_times(box, type, of_track);
        }
        if (type == "hdlr" && place.parent == "mdia" && place.track && box.size() >= 12) {
            return read(box.payload + 8, 4, box.end, place.track->handler);
        }
        if (type == day_type && place.parent == "udta") {
            return visit_quicktime_text(box);
        }
        if (type == "keys" && place.parent == "meta") {
            return read_keys(box, *place.keys);
        }
        if (type == "data" && place.parent == "item") {
            return visit_item_data(box, place);
        }
        return true;
    }

    bool visit_track(const Box& box, int depth, Place& inner) {
        Track track{++tracks_, ""};
        inner.track = &track;
        const std::size_t first = out_.fields.size();
        if (!walk(box.payload, box.end, depth + 1, inner)) {
            return false;
        }
        if (track.handler == "tmcd") {
            for (std::size_t i = first; i < out_.fields.size(); ++i) {
                out_.left.push_back(
                    {out_.fields[i].what, "a timecode track, left with its timecode"});
            }
            out_.fields.resize(first);
        }
        return true;
    }

    // A QuickTime meta box holds its children at once; an ISO one first has four bytes of
    // version and flags, all zero. A child's size is never zero there, so the first four bytes
    // tell them apart.
    bool visit_meta(const Box& box, int depth, Place& inner) {
        std::string head;
        if (box.size() < 4) {
            return true;
        }
        if (!read(box.payload, 4, box.end, head)) {
            return false;
        }
        std::vector<std::string> keys;
        inner.keys = &keys;
        return walk(box.payload + (big_endian(head) == 0 ? 4 : 0), box.end, depth + 1, inner);
    }

    // Version and flags, the number of keys, then each key: its size, its namespace, its name.
    bool read_keys(const Box& box, std::vector<std::string>& keys) {
        std::string bytes;
        if (box.size() > largest_keys || box.size() < 8) {
            return fail("its list of metadata keys is not one the program reads");
        }
        if (!read(box.payload, box.size(), box.end, bytes)) {
            return false;
        }
        const std::string_view view(bytes);
        const std::uint64_t count = big_endian(view.substr(4, 4));
        std::size_t at = 8;
        for (std::uint64_t i = 0; i < count; ++i) {
            // Fewer than 8 bytes left give a size too short or too long, and are refused.
            const std::uint64_t size = big_endian(view.substr(at, 4));
            if (size < 8 || size > view.size() - at) {
                return fail("its list of metadata keys does not parse");
            }
            keys.emplace_back(view.substr(at + 8, size - 8));
            at += size;
        }
        return true;
    }

    bool visit_times(const Box& box, const std::string& name, const std::string& of_track) {
        std::string head;
        const bool movie = name == "mvhd";
        if (box.size() < 4 || !read(box.payload, 4, box.end, head)) {
            return box.size() < 4 ? fail("a " + name + " box is too short for its dates") : false;
        }
        const auto version = static_cast<unsigned char>(head[0]);
        if (version > 1) {
            out_.left.push_back({name + of_track, "version " + std::to_string(version) +
                                                      ", which the program does not know"});
            return true;
        }
        const std::size_t width = version == 1 ? 8 : 4;
        // Creation, modification, and in mvhd the time scale and duration.
        const std::size_t length = movie ? 3 * width + 4 : 2 * width;
        std::string times;
        if (box.size() < 4 + length) {
            return fail("a " + name + " box is too short for its dates");
        }
        if (!read(box.payload + 4, length, box.end, times)) {
            return false;
        }
        const std::string_view view(times);
        if (movie) {
            const std::uint64_t creation = big_endian(view.substr(0, width));
            const std::uint64_t scale = big_endian(view.substr(2 * width, 4));
            if (creation != 0 && creation <= most_seconds) {
                out_.creation_since_1904 = creation;
            }
            if (scale != 0) {
                const double duration =
                    static_cast<double>(big_endian(view.substr(2 * width + 4, width))) /
                    static_cast<double>(scale);
                if (duration <= static_cast<double>(most_seconds)) {
                    out_.duration_seconds = duration;
                }
            }
        }
        shift_count(box.payload + 4, times.substr(0, width), name + " creation" + of_track);
        shift_count(box.payload + 4 + width, times.substr(width, width),
                    name + " modification" + of_track);
        return true;
    }

    void shift_count(std::uint64_t offset, const std::string& old_bytes, std::string what) {
        const std::uint64_t value = big_endian(old_bytes);
        const std::uint64_t most =
            old_bytes.size() == 4 ? 0xFFFFFFFFU : std::numeric_limits<std::uint64_t>::max();
        const std::uint64_t magnitude = shift_ < 0 ? 0 - static_cast<std::uint64_t>(shift_)
                                                   : static_cast<std::uint64_t>(shift_);
        const char* reason =
            value == 0                        ? "no date is recorded (0)"
            : shift_ < 0 && value < magnitude ? "the corrected date would fall before 1904"
            : shift_ > 0 && value > most - magnitude
                ? (old_bytes.size() == 4 ? "the corrected date would pass 2040-02-06 06:28:15, the "
                                           "last a 32-bit date holds"
                                         : "the corrected date would pass the last the field holds")
                : nullptr;
        if (reason) {
            out_.left.push_back({std::move(what), reason});
            return;
        }
        const std::uint64_t moved = shift_ < 0 ? value - magnitude : value + magnitude;
        out_.fields.push_back(
            {offset, old_bytes, to_big_endian(moved, old_bytes.size()), std::move(what)});
    }

    // QuickTime's own text under udta: its length, its language, the text.
    bool visit_quicktime_text(const Box& box) {
        std::string head;
        if (box.size() < 4) {
            return true;
        }
        if (!read(box.payload, 4, box.end, head)) {
            return false;
        }
        const std::uint64_t length = big_endian(std::string_view(head).substr(0, 2));
        if (length > box.size() - 4) {
            out_.left.push_back(
                {"\xC2\xA9"
                 "day",
                 "its text runs past its box"});
            return true;
        }
        return shift_text(box.payload + 4, length, box.end,
                          "\xC2\xA9"
                          "day");
    }

    // An item's data: its type and its locale, then the value.
    bool visit_item_data(const Box& box, const Place& place) {
        std::string what;
        if (place.item == day_type) {
            what =
                "\xC2\xA9"
                "day";
        } else if (place.keys) {
            const std::uint64_t index = big_endian(place.item);
            const std::string_view key = index >= 1 && index <= place.keys->size()
                                             ? std::string_view((*place.keys)[index - 1])
                                             : "";
            if (std::find(std::begin(creation_keys), std::end(creation_keys), key) !=
                std::end(creation_keys)) {
                what = key;
            }
        }
        return what.empty() || box.size() < 8 ||
               shift_text(box.payload + 8, box.size() - 8, box.end, what);
    }

    bool shift_text(std::uint64_t offset, std::uint64_t length, std::uint64_t end,
                    const std::string& what) {
        if (length > longest_text) {
            out_.left.push_back({what, "a text too long for a date"});
            return true;
        }
        std::string text;
        if (!read(offset, length, end, text)) {
            return false;
        }
        ShiftedText shifted = shift_iso_text(text, shift_);
        if (!shifted.reason.empty()) {
            out_.left.push_back({what, std::move(shifted.reason)});
            return true;
        }
        out_.fields.push_back({offset, std::move(text), std::move(shifted.text), what});
        return true;
    }

    ClipReader& reader_;
    std::int64_t shift_;
    ClipDates& out_;
    int tracks_ = 0;
    bool saw_fragments_ = false;
};

}  // namespace

ClipDates read_mp4_dates(ClipReader& reader, std::int64_t shift_seconds) {
    ClipDates out;
    Mp4Walk walk(reader, shift_seconds, out);
    if (!walk.walk(0, reader.size(), 0, Place{})) {
        return left_alone(out.left_alone);
    }
    if (!walk.saw_movie) {
        out.left_alone = "no movie box (moov) was found";
    }
    return out;
}

ClipDates read_clip_dates(ByteSource& source, std::int64_t shift_seconds) {
    ClipReader reader(source);
    std::string head;
    std::string failure;
    if (source.size() >= 12 && reader.read(0, 12, source.size(), head, failure) &&
        head.starts_with("RIFF") && head.ends_with("AVI ")) {
        return read_avi_dates(reader, shift_seconds);
    }
    return failure.empty() ? read_mp4_dates(reader, shift_seconds) : left_alone(failure);
}

}  // namespace media
