// The dates inside clips: containers built byte by byte in tables, the real clips of fixtures/
// (made by make_fixtures.sh), and the calendar underneath against a count by hand.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "media/clip_dates.hpp"
#include "media/reading.hpp"
#include "media/text_dates.hpp"

namespace media {
namespace {

constexpr std::uint64_t made = 3846584410;  // 2025-11-21 15:40:10 UTC, in seconds since 1904
const std::string key = "com.apple.quicktime.creationdate";

constexpr auto be = &to_big_endian;
std::string le(std::uint64_t value, std::size_t count) {
    const std::string bytes = be(value, count);
    return {bytes.rbegin(), bytes.rend()};
}
std::string box(const std::string& type, const std::string& payload) {
    return be(payload.size() + 8, 4) + type + payload;
}
// A box of version, flags, creation, modification, time scale and duration (mvhd, tkhd, mdhd).
std::string dated(const std::string& type, int version, std::uint64_t creation,
                  std::uint64_t modification = made, std::uint64_t duration = 600 << 16) {
    const std::size_t width = version == 1 ? 8 : 4;
    return box(type, be(version, 1) + be(0, 3) + be(creation, width) + be(modification, width) +
                         be(600, 4) + be(duration, width));
}
std::string movie(const std::string& children) {
    return box("ftyp", "isom") + box("moov", children);
}
std::string track(const std::string& handler) {
    return box("trak", dated("tkhd", 0, made) +
                           box("mdia", dated("mdhd", 1, made) + box("hdlr", be(0, 8) + handler)));
}
std::string text_item(const std::string& type, const std::string& text) {
    return box(type, box("data", be(1, 4) + be(0, 4) + text));
}
std::string keyed_meta(const std::string& version, const std::string& key,
                       const std::string& text) {
    return box("meta", version + box("hdlr", be(0, 8) + "mdta" + be(0, 12)) +
                           box("keys", be(0, 4) + be(1, 4) + be(key.size() + 8, 4) + "mdta" + key) +
                           box("ilst", text_item(be(1, 4), text)));
}
std::string chunk(const std::string& id, const std::string& payload) {
    return id + le(payload.size(), 4) + payload + (payload.size() % 2 ? std::string(1, '\0') : "");
}
std::string riff(const std::string& chunks) {
    return chunk("RIFF", "AVI " + chunks);
}
std::string hdrl(const std::string& chunks) {
    return chunk("LIST", "hdrl" + chunk("avih", std::string(56, '\0')) + chunks);
}

// The dates read, each field checked against the bytes at its offset, in one line: a number for
// a count of seconds, the text for a text, the last word of the reason for a date left.
std::string summary(MemorySource& source, const std::string& bytes, std::int64_t shift) {
    const ClipDates dates = read_clip_dates(source, shift);
    if (!dates.left_alone.empty()) {
        return "LEFT " + dates.left_alone + (dates.fields.empty() ? "" : " with fields");
    }
    std::string line;
    for (const DateField& field : dates.fields) {
        EXPECT_EQ(field.new_bytes.size(), field.old_bytes.size()) << field.what;
        if (field.offset < bytes.size()) {
            EXPECT_EQ(bytes.substr(field.offset, field.old_bytes.size()), field.old_bytes);
        }
        const bool count = field.what.find("hd ") != std::string::npos;
        line += field.what + "=" +
                (count ? std::to_string(big_endian(field.new_bytes)) : field.new_bytes) + "; ";
    }
    for (const LeftField& left : dates.left) {
        line += left.what + "!" + left.reason.substr(left.reason.rfind(' ') + 1) + "; ";
    }
    return line;
}
std::string summary(const std::string& bytes, std::int64_t shift) {
    MemorySource source(bytes);
    return summary(source, bytes, shift);
}

std::string nested(const std::string& type, int depth) {
    return depth == 0 ? "" : box(type, nested(type, depth - 1));
}

TEST(ClipDates, ContainersBuiltByteByByte) {
    const std::string mvhd = dated("mvhd", 0, made);
    const std::string both = "mvhd creation=3846579910; mvhd modification=3846579910; ";
    const std::string day = std::string(1, '\xA9') + "day", shown_day = "©day";
    const std::string avi_date = "Mon Mar 10 15:04:43 2003";
    const std::string mdat = box("mdat", std::string("\0\0\0\x08mvhd", 8));
    const std::string zeros(44, '\0');  // as some writers pad a date: to 64, the longest read
    const struct {
        std::string bytes;
        std::int64_t shift;
        std::string expected;
    } cases[] = {
        {movie(mvhd + box("meta", "")) + mdat, -4500, both},
        {movie(dated("mvhd", 1, made + (1ULL << 40), 0)), 4500,
         "mvhd creation=1103358216686; mvhd modification!(0); "},
        {movie(dated("mvhd", 2, made)), 1, "mvhd!know; "},
        {movie(dated("mvhd", 0, 0xFFFFFFFF - 4500, 0xFFFFFFFF - 4499)), 4500,
         "mvhd creation=4294967295; mvhd modification!holds; "},
        {movie(dated("mvhd", 1, ~0ULL - 4500, ~0ULL - 4499)), 4500,
         "mvhd creation=18446744073709551615; mvhd modification!holds; "},
        {movie(dated("mvhd", 0, 4500, 4499)), -4500, "mvhd creation=0; mvhd modification!1904; "},
        {movie(mvhd + track("vide") + track("tmcd")), -4500,
         both + "tkhd creation of track 1=3846579910; tkhd modification of track 1=3846579910; "
                "mdhd creation of track 1=3846579910; mdhd modification of track 1=3846579910; "
                "tkhd creation of track 2!timecode; tkhd modification of track 2!timecode; "
                "mdhd creation of track 2!timecode; mdhd modification of track 2!timecode; "},
        // 64-bit sizes, and a last box to the end of the file.
        {box("ftyp", "isom") + be(1, 4) + "moov" + be(16 + mvhd.size(), 8) + mvhd, -4500, both},
        {movie(mvhd) + be(0, 4) + "mdat" + "any bytes", -4500, both},
        {movie(box("udta", box(day, be(24, 2) + be(0x55C4, 2) + "2025-11-21T15:40:10+0100"))),
         -4500, shown_day + "=2025-11-21T14:25:10+0100; "},
        {movie(box("udta", box(day, be(1, 2) + be(0, 2)))), 1, shown_day + "!box; "},
        {movie(box("udta", box(day, be(64, 2) + be(0, 2) + "2025-11-21T15:40:10Z" + zeros))), 60,
         shown_day + "=2025-11-21T15:41:10Z" + zeros + "; "},
        {movie(box("udta", box(day, be(2, 2) + be(0, 2) + be(0, 2)))), 1, shown_day + "!knows; "},
        {movie(box("udta", box(day, be(65, 2) + be(0, 2) + std::string(65, '2')))), 1,
         shown_day + "!date; "},
        {movie(box("udta", box("meta", be(0, 4) + box("ilst", text_item(day, "2025-11-21") +
                                                                  text_item(day, ""))))),
         -86400, shown_day + "=2025-11-20; " + shown_day + "!knows; "},
        {movie(keyed_meta("", key, "2025-11-21T15:40:10Z")), 60, key + "=2025-11-21T15:41:10Z; "},
        {movie(box("udta", keyed_meta(be(0, 4), key, "0000"))), 60, key + "!move; "},
        {movie(keyed_meta("", key + "x", "2025-11-21T15:40:10Z")), 60, ""},
        {movie(mvhd) + box("moof", "") + box("moof", ""), 0,
         "mvhd creation=3846584410; mvhd modification=3846584410; moof/tfdt fragment times!are; "},
        // Containers that do not parse whole.
        {box("ftyp", "isom"), 1, "LEFT no movie box (moov) was found"},
        {box("ftyp", "isom") + be(100, 4) + "moov" + mvhd, 1,
         "LEFT a box runs past the end of the file"},
        {movie(mvhd + be(0, 4) + "udta") + mdat, 1, "LEFT a box runs past the end of its parent"},
        {movie(mvhd) + be(4, 4) + "free", 1, "LEFT a box is smaller than its own header"},
        {movie(mvhd) + be(1, 4) + "free" + be(15, 8), 1,
         "LEFT a box is smaller than its own header"},
        {movie(mvhd) + be(1, 4) + "free", 1, "LEFT a box header runs past the end of the file"},
        {movie(mvhd + "abc") + mdat, 1, "LEFT a box header runs past the end of its parent"},
        {movie(mvhd + box("trak", "abc")) + mdat, 1,
         "LEFT a box header runs past the end of its parent"},
        {movie(box("mvhd", be(0, 4) + be(1, 4))), 1, "LEFT a mvhd box is too short for its dates"},
        {movie(mvhd + box("meta", box("keys", be(0, 8)) + box("keys", std::string(65536, 0)))),
         -4500, both},
        {movie(box("meta", box("keys", std::string(65537, '\0')))), 1,
         "LEFT its list of metadata keys is not one the program reads"},
        {movie(box("udta", box("keys", std::string(65537, '\0')))), 1, ""},  // not meta's
        {movie(box("meta", box("keys", be(0, 4) + be(1, 4) + be(8, 4) + "mdta"))), 1, ""},
        {movie(box("meta", box("keys", be(0, 4) + be(2, 4) + be(9, 4) + "mdtak"))), 1,
         "LEFT its list of metadata keys does not parse"},
        {movie(box("meta", box("keys", be(0, 4) + be(1, 4) + be(12, 4) + "mdtak"))), 1,
         "LEFT its list of metadata keys does not parse"},
        {movie(nested("udta", 15)), 1, ""},
        {movie(box("trak", nested("udta", 14))), 1, ""},
        {movie(box("udta", track("vide")) + box("trak", box("udta", track("vide")))), 1, ""},
        {movie(nested("udta", 16)), 1, "LEFT its boxes are nested deeper than 16"},
        {movie(nested("meta", 17)), 1, "LEFT its boxes are nested deeper than 16"},
        // AVI: the date in the header list, or directly in the form, after an odd chunk.
        {riff(hdrl(chunk("IDIT", avi_date + "\n\0")) + chunk("LIST", "movi" + mvhd)), 1,
         "IDIT=Mon Mar 10 15:04:44 2003; "},
        {riff(chunk("JUNK", "abc") + chunk("IDIT", "Mon Mar 31 23:00:00 2003")), 3600,
         "IDIT=Tue Apr  1 00:00:00 2003; "},
        {riff(hdrl(chunk("LIST", "strl" + chunk("IDIT", avi_date)))), 1, ""},
        {riff(hdrl(chunk("IDIT", "2003:03:10 15:04:43\n"))), 1, "IDIT!2003\"; "},
        {riff(hdrl(chunk("IDIT", avi_date + " x"))), 1, "IDIT!2003\"; "},
        {riff(hdrl(chunk("IDIT", avi_date.substr(0, 23) + "0"))), -2004LL * 366 * 86400,
         "IDIT!digits; "},
        {riff(hdrl(chunk("IDIT", avi_date))).substr(0, 40), 1,
         "LEFT the clip is shorter than its RIFF header says: it was cut"},
        {riff(hdrl("IDIT" + le(1, 4))), 1, "LEFT a chunk runs past the end of its list"},
        {riff(hdrl("IDIT")), 1, "LEFT a chunk header runs past the end of its list"},
        {"RIFF" + le(2, 4) + "AVI ", 1, "LEFT the clip is not an AVI"},
        {"RIFF" + le(4, 4) + "AVI ", 1, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(summary(c.bytes, c.shift), c.expected) << c.bytes;
    }
    MemorySource past_2040(cases[3].bytes);  // a 32-bit date is told its own last date
    const ClipDates long_clip = read_clip_dates(past_2040, 4500);
    EXPECT_NE(long_clip.left.at(0).reason.find("2040"), std::string::npos);
    EXPECT_EQ(long_clip.duration_seconds, 65536.0);  // all four bytes of a long clip's duration
    MemorySource absurd(movie(dated("mvhd", 1, 1ULL << 41, made, 600ULL << 41)));  // of no clip
    const ClipDates no_clips = read_clip_dates(absurd, 1);
    EXPECT_FALSE(no_clips.creation_since_1904 || no_clips.duration_seconds);
}

TEST(ClipDates, AHugeClipCostsAFewReadsAndAtMostTheReadAheadAllowanceMore) {
    const std::string ftyp = box("ftyp", "isom");
    const std::string moov = box("moov", dated("mvhd", 0, made) + track("vide"));
    // A long clip's movie box: a sample table of 1 MiB between its first track's dates and the
    // second track's, and its user data last.
    const std::string long_moov = box(
        "moov",
        dated("mvhd", 0, made) +
            box("trak", dated("tkhd", 0, made) +
                            box("mdia", dated("mdhd", 0, made) +
                                            box("minf", box("stbl", std::string(1 << 20, 's'))))) +
            track("soun") +
            box("udta", box("\251day", be(20, 2) + be(0, 2) + "2025-11-21T15:40:10Z")));
    const std::string avi = riff(hdrl(chunk("IDIT", "Mon Mar 10 15:04:43 2003")));
    const std::string index = chunk("idx1", std::string(16, 'i'));
    const std::uint64_t gib = 1ULL << 30;
    const struct {
        std::string head;  // then zeros up to the tail
        std::uint64_t size;
        std::string tail;
        std::uint64_t reads, fields;
        std::uint64_t asked;  // the bytes of headers and dates the walk needs
    } cases[] = {
        {ftyp + be(1, 4) + "mdat" + be(5 * gib - 12 - moov.size(), 8), 5 * gib, moov, 2, 6, 150},
        {ftyp + moov + be(0, 4) + "mdat", 5 * gib, "", 1, 6, 150},
        {ftyp + be(1, 4) + "mdat" + be(5 * gib - 12 - long_moov.size(), 8), 5 * gib, long_moov, 3,
         11, 300},
        {"RIFF" + le(3 * gib - 8, 4) + avi.substr(8) + "LIST" +
             le(3 * gib - index.size() - avi.size() - 8, 4) + "movi",
         3 * gib, index, 2, 1, 150},
    };
    for (const auto& c : cases) {
        MemorySource source(c.head, c.size, c.tail);
        const ClipDates dates = read_clip_dates(source, -4500);
        EXPECT_EQ(dates.left_alone, "") << c.tail.size();
        EXPECT_EQ(dates.fields.size(), c.fields) << c.tail.size();
        EXPECT_EQ(source.reads(), c.reads) << c.tail.size();
        EXPECT_LE(source.bytes_asked(), c.asked + ClipReader::allowance) << c.tail.size();
    }
    // A creation of 0 is no creation time, a time scale of 0 no duration.
    MemorySource undated(movie(box("mvhd", be(0, 8) + be(made, 4) + be(0, 4) + be(1200, 4))));
    const ClipDates dates = read_clip_dates(undated, 1);
    EXPECT_FALSE(dates.creation_since_1904.has_value() || dates.duration_seconds.has_value());
}

TEST(ClipDates, AFailedReadLeavesTheWholeClip) {
    const std::string bytes = movie(dated("mvhd", 0, made) + keyed_meta("", key, "2025"));
    for (std::uint64_t at = 0; at < bytes.size(); ++at) {  // the first byte whose read fails
        MemorySource source(bytes);
        source.fail_from(at);
        EXPECT_EQ(summary(source, bytes, 1), "LEFT the clip could not be read (error 5)") << at;
    }
    MemorySource whole(bytes);
    whole.fail_from(bytes.size());  // no read reaches past the clip's last byte
    EXPECT_FALSE(summary(whole, bytes, 1).starts_with("LEFT"));
}

TEST(ClipDates, RealClips) {
    const struct {
        const char* file;
        std::size_t fields, left;  // the date fields to correct, and those left
        std::string text;
        double duration;
    } clips[] = {
        {"moov_first.mp4", 6, 0, "", 1},
        {"moov_last.mp4", 6, 0, "", 1},
        {"quicktime_keys.mp4", 8, 0, "2025-11-21T14:25:10+0100", 1},
        {"fragmented.mp4", 6, 1, "", 0},
        {"clip.m4v", 6, 0, "", 1},
        {"clip.avi", 1, 0, "Fri Nov 21 15:25:10 2025", -1},
    };
    const CivilTime local{2025, 11, 21, 16, 40, 10};  // the AVI's
    for (const auto& clip : clips) {
        std::ifstream file(std::string(RUR_MEDIA_FIXTURES) + clip.file, std::ios::binary);
        MemorySource source(std::string(std::istreambuf_iterator<char>(file), {}));
        const ClipDates dates = read_clip_dates(source, -4500);
        ASSERT_EQ(dates.fields.size(), clip.fields) << clip.file;
        EXPECT_EQ(dates.left.size(), clip.left) << clip.file;
        for (const DateField& field : dates.fields) {
            if (field.what.find("hd ") != std::string::npos) {
                EXPECT_EQ(big_endian(field.old_bytes), made) << clip.file;
                EXPECT_EQ(big_endian(field.new_bytes), made - 4500) << clip.file;
            }
        }
        EXPECT_EQ(clip.text.empty() ? "" : dates.fields.back().new_bytes, clip.text) << clip.file;
        EXPECT_EQ(dates.duration_seconds.value_or(-1), clip.duration) << clip.file;
        EXPECT_EQ(dates.creation_since_1904.value_or(made), made) << clip.file;
        EXPECT_EQ(dates.local_creation.value_or(local), local) << clip.file;
    }
}

TEST(TextDates, EachFormKeepsItsLengthAndOffset) {
    const struct {
        bool ctime;
        const char* text;
        std::int64_t shift;
        const char* expected;  // the new text, or the last word of the reason it is left
    } cases[] = {
        {false, "2025-11-21T15:40:10+0100", -4500, "2025-11-21T14:25:10+0100"},
        {false, "2025-11-21T15:40:10-00:00", -4500, "2025-11-21T14:25:10-00:00"},
        {false, "2025-11-21T15:40:10.000000Z", 4500, "2025-11-21T16:55:10.000000Z"},
        {false, "2025-12-31 23:30:00", 3600, "2026-01-01 00:30:00"},
        {false, "2024-02-28T23:00:00Z", 3600, "2024-02-29T00:00:00Z"},
        {false, "2025-03-01", -86400, "2025-02-28"},
        {false, "2025-03-01", -4500, "days"},
        {false, "0000-01-01T01:00:00Z", -3601, "digits"},
        {false, "9999-12-31T23:00:00Z", 3599, "9999-12-31T23:59:59Z"},
        {false, "9999-12-31T23:00:00Z", 3600, "digits"},
        {true, "Sat Jan  1 00:00:00 0000", 1, "Sat Jan  1 00:00:01 0000"},
        {true, "Mon Mar 10 15:04:43 2003", 0, "Mon Mar 10 15:04:43 2003"},
        {true, "Sun Mar 10 15:04:43 2003", 86400 * 365, "Tue Mar  9 15:04:43 2004"},
        {true, "Wed Dec 31 23:59:59 2003", 1, "Thu Jan  1 00:00:00 2004"},
        {true, "Sat Mar 01 00:00:00 2003", -1, "Fri Feb 28 23:59:59 2003"},
        {true, "Sat Mar  1 10:00:00 2003", 86400 * 9, "Mon Mar 10 10:00:00 2003"},
    };
    for (const auto& c : cases) {
        const ShiftedText shifted =
            c.ctime ? shift_ctime_text(c.text, c.shift) : shift_iso_text(c.text, c.shift);
        EXPECT_EQ(shifted.reason.empty() ? shifted.text
                                         : shifted.reason.substr(shifted.reason.rfind(' ') + 1),
                  c.expected)
            << c.text;
    }
    for (const char* text :
         {"2025-02-29T00:00:00Z", "2025-13-01", "2025-11-21T24:00:00Z", "2025-11-21T15:60:00Z",
          "2025-11-21T15:40:60Z", "2025-11-21T15:40:10+01", "2025-11-21T15:40:10.Z",
          "2025-11-21T15:40:10+01:0x", "2025-11-21T15:40:10 ", "2025-11-21T15:40", "2025/11/21",
          "20x5-11-21", "2025-11-21X15:40:10", "2025-11-21T15-40:10"}) {
        EXPECT_EQ(shift_iso_text(text, 1).reason, "not a date in a form the program knows") << text;
    }
    for (const char* text :
         {"Mon Foo 10 15:04:43 2003", "Xyz Mar 10 15:04:43 2003", "Mon Mar 10 15:04:43 2003 ",
          "Mon Mar 32 15:04:43 2003", "Mon Mar 10 15-04:43 2003", "Mon Mar 10 15:04:43 20x3"}) {
        EXPECT_TRUE(shift_ctime_text(text, 1).reason.ends_with("2003\"")) << text;
    }
}

TEST(CivilTime, EveryDayFrom1600To2400MatchesACountByHand) {
    std::int64_t days = days_from_civil(1600, 1, 1);
    EXPECT_EQ(days_from_civil(1970, 1, 1), 0);
    EXPECT_EQ(days_from_civil(1904, 1, 1) * -86400, seconds_1904_to_1970);
    for (std::int64_t year = 1600; year < 2400; ++year) {
        const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
        for (std::int32_t month = 1; month <= 12; ++month) {
            const std::int32_t length = month == 2 ? 28 + leap : 30 + (month + month / 8) % 2;
            ASSERT_EQ(days_in_month(year, month), length) << year << '-' << month;
            for (std::int32_t day = 1; day <= length; ++day, ++days) {
                const CivilTime time{year, month, day,
                                     23,   59,    static_cast<std::int32_t>(days % 60 + 60) % 60};
                ASSERT_EQ(days_from_civil(year, month, day), days);
                ASSERT_EQ(civil_from_seconds(seconds_from_civil(time)), time) << days;
                ASSERT_EQ(weekday_of(days), ((days % 7 + 7) % 7 + 4) % 7) << days;
            }
        }
    }
}

}  // namespace
}  // namespace media
