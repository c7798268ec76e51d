// The date of an AVI: the IDIT chunk, in the header list (hdrl) or, as some writers put it,
// directly in the RIFF form. The walk reads the chunk headers of the form and of its header list,
// and the IDIT text; it passes over the media list (movi) and the index by their sizes. Its reads
// go through a ClipReader, which takes the header list in one read.
#include <algorithm>

#include "media/clip_dates.hpp"
#include "media/reading.hpp"
#include "media/text_dates.hpp"

namespace media {
namespace {

constexpr std::size_t longest_idit = 64;
constexpr std::size_t ctime_length = 24;

class AviWalk {
  public:
    AviWalk(ClipReader& reader, std::int64_t shift, ClipDates& out)
        : reader_(reader), shift_(shift), out_(out) {}

    // Walks the chunks from `from` to `to`, entering the header list when `in_form`; false (with
    // out.left_alone set) when they do not parse.
    bool walk(std::uint64_t from, std::uint64_t to, bool in_form) {
        std::string header;
        for (std::uint64_t at = from; at < to;) {
            if (to - at < 8) {
                return fail("a chunk header runs past the end of its list");
            }
            if (!reader_.read(at, 8, to, header, out_.left_alone)) {
                return false;
            }
            const std::uint64_t size = little_endian(std::string_view(header).substr(4));
            if (size > to - at - 8) {
                return fail("a chunk runs past the end of its list");
            }
            const std::string id = header.substr(0, 4);
            if (id == "IDIT" && !visit_idit(at + 8, size)) {
                return false;
            }
            if (id == "LIST" && in_form && size >= 4) {
                std::string type;
                if (!reader_.read(at + 8, 4, at + 8 + size, type, out_.left_alone) ||
                    (type == "hdrl" && !walk(at + 12, at + 8 + size, false))) {
                    return false;
                }
            }
            // Chunks start on even offsets; a writer may leave out the last pad byte.
            at = std::min(to, at + 8 + size + (size & 1));
        }
        return true;
    }

  private:
    bool fail(const char* reason) {
        out_.left_alone = reason;
        return false;
    }

    // The text, then a line end or zeros up to the chunk's end.
    bool visit_idit(std::uint64_t offset, std::uint64_t size) {
        std::string text;
        if (size > longest_idit || size < ctime_length) {
            out_.left.push_back({"IDIT", "not a date in the form \"Mon Mar 10 15:04:43 2003\""});
            return true;
        }
        if (!reader_.read(offset, size, offset + size, text, out_.left_alone)) {
            return false;
        }
        const std::string_view view(text);
        if (view.substr(ctime_length).find_first_not_of(std::string_view("\r\n\0", 3)) !=
            std::string_view::npos) {
            out_.left.push_back({"IDIT", "not a date in the form \"Mon Mar 10 15:04:43 2003\""});
            return true;
        }
        text.resize(ctime_length);
        out_.local_creation = read_ctime_text(text);
        ShiftedText shifted = shift_ctime_text(text, shift_);
        if (!shifted.reason.empty()) {
            out_.left.push_back({"IDIT", std::move(shifted.reason)});
        } else {
            out_.fields.push_back({offset, std::move(text), std::move(shifted.text), "IDIT"});
        }
        return true;
    }

    ClipReader& reader_;
    std::int64_t shift_;
    ClipDates& out_;
};

}  // namespace

ClipDates read_avi_dates(ClipReader& reader, std::int64_t shift_seconds) {
    ClipDates out;
    std::string head;
    if (reader.size() < 12) {
        return left_alone("the clip is too short for an AVI");
    }
    if (!reader.read(0, 12, reader.size(), head, out.left_alone)) {
        return out;
    }
    const std::uint64_t form_size = little_endian(std::string_view(head).substr(4, 4));
    if (!head.starts_with("RIFF") || !head.ends_with("AVI ") || form_size < 4) {
        return left_alone("the clip is not an AVI");
    }
    if (form_size > reader.size() - 8) {
        return left_alone("the clip is shorter than its RIFF header says: it was cut");
    }
    AviWalk walk(reader, shift_seconds, out);
    return walk.walk(12, 8 + form_size, true) ? out : left_alone(out.left_alone);
}

}  // namespace media
