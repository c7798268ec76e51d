#!/usr/bin/env python3
"""Writes the hand-made seeds of every fuzz target into fuzz/corpus/<target>/.

Each seed is a case worth starting from, named after what it holds. Reproducers of findings are
added to the same folders as they are (not by this script). Run it again after changing a seed.
"""
import pathlib
import struct

corpus = pathlib.Path(__file__).resolve().parent / "corpus"


def seed(target, name, data):
    folder = corpus / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data if isinstance(data, bytes) else data.encode("latin-1"))


# integer_input: destinations - 1, console read size - 1, reader buffer - 1, then the console.
def integers(name, text, count=6, read_size=4, buffer=3):
    seed("integer_input", name, bytes([count - 1, read_size - 1, buffer - 1]) + text.encode("latin-1"))


integers("timestamp", "2025 11 21 15 30 00\n")
integers("commas_over_two_lines", "2025,11,21\n15 30 00\n")
integers("slash_ends_early", "2025 11 21 15 30 /\n1 2 3 4 5 6\n")
integers("repeat_counts", "3*7 2* 5\n2*-1,\n")
integers("null_values", ",,2025, ,\n1 2 3 4 5 6\n")
integers("hyphenated_date", "2025-11-21 15:30:00\n")
integers("out_of_range", "2147483647 -2147483648 2147483648 99999999999999999999 +000000000042\n")
integers("crlf_and_tabs", "2025 11 21 15 30 00\r\n\t 1\t2 3 4 5 6", read_size=1, buffer=1)
integers("input_ends_midway", "2025 11")
integers("blank_lines_first", "\n   \n\t\n1 2 3 4 5 6 7 8\n", count=8)


# field_input: width + 5, destination capacity, shape (the small reader's buffer - 1 in the low four
# bits, its read size - 1 in the high four), then a byte that from 0xF0 on cuts a run of 200 KiB
# into the file at that byte - 0xF0, then the file.
def fields(name, content, width=23, capacity=23, shape=0x21, run_at=0):
    seed("field_input", name, bytes([width + 5, capacity, shape, run_at]) + content)


fields("listing", b"2024-03-01 00-00-07.mp4\r\n2024_03_01_00_00_30.MP4\n")
fields("folder_line", b"Clips\n" + b"a" * 50 + b"b" * 20 + b"\n", width=50, capacity=60)
fields("carriage_returns_alone", b"a\rb\rc\r\r\n\r")
fields("nul_bytes", b"ab\0cd\n\0\n\0")
fields("no_final_line_end", b"first\nlast line")
fields("line_longer_than_buffers", b"abc\ndef\n", shape=0x75, run_at=0xF4)
fields("field_wider_than_destination", b"0123456789abc\n12\n", width=10, capacity=4)
fields("empty_file", b"")
fields("answer_column", b" Y\nn\n", width=1, capacity=1)


# line_rendering: see line_rendering_fuzzer.cpp for the encoding.
TEXT, INTEGER, SKIP, GROUP = 0, 1, 2, 3
END_GROUP, END_LAYOUT = 0xFE, 0xFF


def element(kind, value):
    return bytes([kind, value & 0xFF])


def group(count):
    return element(GROUP, count + 2)


def text(value):
    data = value.encode("latin-1")
    return bytes([0, len(data)]) + data


def integer(value):
    return bytes([1]) + struct.pack("<i", value)


def rendering(name, layout, items, before=b""):
    seed("line_rendering", name, bytes([len(before)]) + before + layout + bytes([END_LAYOUT]) + items)


rendering("report_timestamp",
          element(INTEGER, 4) + element(SKIP, 1) + group(5) + element(INTEGER, 2)
          + element(SKIP, 1) + bytes([END_GROUP]),
          b"".join(integer(v) for v in (2018, 8, 24, 9, 5, 0)))
rendering("text_right_aligned", element(TEXT, 76), text("x" * 72))
rendering("outcome_line",
          element(SKIP, 1) + element(TEXT, 21) + group(74) + element(TEXT, 1)
          + bytes([END_GROUP]),
          text("Successfully renamed ") + b"".join(text(c) for c in "Clips/2024 03 01 01 00 07.mp4"))
rendering("list_line", b"", text("123456789") + integer(13) + text(" abcdefghijklmno"), before=b"ab")
rendering("list_line_broken", b"", text("y" * 70) + integer(-5) + text("z" * 100) + integer(0))
rendering("integer_overflow",
          element(INTEGER, 2) + element(INTEGER, 8) + element(INTEGER, 2),
          integer(123) + integer(-10000000) + integer(-5))
rendering("mismatched_items", element(TEXT, 5) + element(INTEGER, 5) + element(SKIP, 3),
          integer(7) + text("seven"))
rendering("negative_widths", element(TEXT, -3) + element(SKIP, -2) + element(INTEGER, -1)
          + group(-2) + element(TEXT, 2) + bytes([END_GROUP]) + element(TEXT, 3),
          text("abc") + integer(1) + text("de"))


# corrected_date: the 23 bytes of a name, the correction, the lowest year's byte.
def shift(name, file_name, correction, year_byte=0):
    assert len(file_name) == 23
    seed("corrected_date", name, file_name.encode("latin-1") + struct.pack("<i", correction)
         + bytes([year_byte]))


shift("turn_of_the_year", "2012-12-31 23-50-07.mp4", 20)
shift("back_over_the_year", "2013_01_01_00_10_07.MP4", -20)
shift("into_a_leap_day", "2016 02 28 23 30 07.avi", 60)
shift("common_year_february", "2015-02-28 23-30-07.m4v", 60)
shift("back_into_a_leap_day", "2016-03-01 00-30-07.mp4", -60)
shift("twelve_years_back", "2025-11-21 15-31-07.mp4", -6757860)
shift("no_correction", "2013-06-01 12-00-45.mp4", 0)
shift("first_minute", "2009-01-01 00-05-00.mp4", -5)
shift("last_minute", "2050-12-31 23-50-00.mp4", 9)
shift("past_the_last_minute", "2050-12-31 23-50-00.mp4", 10)
shift("no_leap_day", "2013-02-29 10-00-00.mp4", 1)
shift("minute_sixty", "2013-01-01 10-60-00.mp4", 1)
shift("digit_and_blank", "2013-01-01 10-7 -00.mp4", 1)
shift("second_sixty", "2016-02-29 23-30-60.AVI", 45)
shift("other_lowest_year", "2001-01-01 00-00-00.mp4", -1, year_byte=0xFF)
shift("largest_correction", "2030-06-15 12-00-00.mp4", 2**31 - 1)


# whole_program: the console's input, as a person would type it.
def dialogue(name, typed):
    seed("whole_program", name, typed)


dialogue("one_hour_later", "Y\nClips\n2024 03 01 00 00 00\n2024 03 01 01 00 00\n\n")
dialogue("one_minute_earlier", "Y\nClips\n2024 03 01 00 01 00\n2024 03 01 00 00 00\n\n")
dialogue("answer_no", "N\n\n")
dialogue("missing_folder", "Y\nNoSuchFolder\n\n")
dialogue("current_folder", "Y\n.\n\n")
dialogue("fields_out_of_range", "Y\nClips\n2051 13 32 24 61 61\n\n")
dialogue("letters_for_a_timestamp", "Y\nClips\nyesterday\n")
dialogue("input_ends_early", "Y\nClips\n2024 03 01")
dialogue("whole_calendar", "Y\nClips\n2009 01 01 00 00 00\n2050 12 31 23 59 00\n\n")
dialogue("crlf_commas_slash", "y\r\nClips\r\n2024,03,01,00,00,00\r\n2024 03 01 00 00 00 /\r\n\r\n")
dialogue("nul_in_folder", "Y\nCl\0ips\n\n")
