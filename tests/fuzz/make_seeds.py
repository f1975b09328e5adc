#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into tests/fuzz/corpus/.

The seeds are the inputs the fuzzers would take longest to build by chance:
quotes, blanks and control bytes, backslash runs, code page 932 characters
whose trail byte is 0x5C, and the lengths on either side of each limit. The
output is the same on every run; rerun it after changing a seed and commit
what it writes.
"""

import pathlib
import shutil

HERE = pathlib.Path(__file__).resolve().parent

# 表 and ソ in code page 932: the trail byte equals a backslash.
HYOU = b"\x95\x5c"
SO = b"\x83\x5c"
# テスト in code page 932.
TESUTO = b"\x83\x65\x83\x58\x83\x67"

# The target path holds 263 bytes, the user name 254.
PATH_MAX = 263
NAME_MAX = 254


def first_argument_seeds():
    return {
        "empty": b"",
        "blanks_only": b" \t\x01\x1f ",
        "unquoted_then_more": b"C:\\data\\report.txt second third",
        "leading_control_bytes": b"\x01\x02\t\x1f C:\\a.txt\x7f\x80\xff tail",
        "quoted_with_blanks": b'  "C:\\Program Files\\a b.txt" next',
        "quote_inside_unquoted": b'C:\\a"b c"d e',
        "unterminated_quote": b'"C:\\my dir\\no closing quote',
        "empty_quotes": b'"" C:\\after',
        "trailing_backslash_quoted": b'"D:\\" rest',
        "cp932_trail_backslash": b'"C:\\' + TESUTO + b"\\" + HYOU + b"\\" + SO + b'\\" x',
        "cp932_unquoted": b"C:\\" + HYOU + SO + b"\xe0\xa0\xfc\x40 x",
        "length_263_unquoted": b"  " + b"a" * (PATH_MAX - 1) + b"\\ rest",
        "length_264_unquoted": b"C" * (PATH_MAX + 1) + b" rest",
        "length_263_quoted": b'"' + b"b \\" * 87 + b"b\\" + b'" rest',
        "length_264_quoted_unterminated": b'"' + HYOU * ((PATH_MAX + 1) // 2),
        "zero_inside": b"C:\\a\x00b c",
    }


def command_line_tail_seeds():
    return {
        "empty": b"",
        "name_only": b"quorvel.exe",
        "unquoted": b"quorvel.exe C:\\a.txt",
        "quoted_name_with_blanks": b'"C:\\Program Files\\Quorvel\\quorvel.exe" "D:\\a b\\c.txt" x',
        "quoted_name_alone": b'"C:\\Program Files\\q.exe"',
        "control_bytes_after_name": b"q.exe \t\x01\x1f\x20\x7farg",
        "trailing_blanks": b"q.exe  \t \x01",
        "quotes_toggle_in_name": b'C:\\a"b c"d\\q.exe x',
        "three_quotes": b'"C:\\a b"c d" e f',
        "unterminated_quote": b'"C:\\my dir\\q.exe x',
        "cp932_unquoted_name": b"C:\\" + TESUTO + b"\\" + HYOU + b"\\q.exe C:\\x",
        "cp932_quoted_name": b'"C:\\' + TESUTO + b" " + HYOU + b'\\q.exe" ' + SO,
        "lead_byte_before_blank": b"C:\\\x81 q.exe\xfc\t\xe0 x",
        "high_bytes_in_tail": b"q.exe \xe0\xa0 \xfc",
        "zero_inside": b"q.exe\x00 after",
    }


# The fuzzer's code pages, in its order.
CODE_PAGES = [932, 936, 949, 950, 1252, 65001]


def step_command(path, name, size_choice=None, code_page=None):
    """Path, 0x00, name; then 0x00, two bytes choosing a small buffer size and
    one choosing the code page (932 when missing)."""
    data = path + b"\x00" + name
    if size_choice is not None or code_page is not None:
        data += b"\x00" + (size_choice or 0).to_bytes(2, "little")
    if code_page is not None:
        data += bytes([CODE_PAGES.index(code_page)])
    return data


def step_command_seeds():
    return {
        "plain": step_command(b"C:\\share\\docs", b"Users"),
        "blanks_in_both": step_command(b"C:\\My Documents\\a b.txt", b"Power Users"),
        "drive_root": step_command(b"D:\\", b"DOMAIN\\group\\"),
        "backslash_runs": step_command(b"\\\\server\\share\\\\\\", b"a\\\\b\\\\\\"),
        "cp932_trail_backslash": step_command(b"C:\\" + HYOU, SO),
        "cp932_then_backslash": step_command(b"C:\\" + TESUTO + b"\\" + HYOU + b"\\", HYOU + b"\\"),
        "empty_path_blank_name": step_command(b"", b" "),
        "blanks_at_the_ends": step_command(b" \tC:\\x \t", b"\ta b\t "),
        "control_bytes": step_command(b"C:\\\x01\x1f\x7f\x80\xff", b"\x01u\x1f\xa0"),
        "quote_in_name": step_command(b"C:\\a", b'a"b'),
        "quote_in_path": step_command(b'C:\\a"b', b"Users"),
        "path_263": step_command(b"p" * (PATH_MAX - 1) + b"\\", b"Users"),
        "path_264": step_command(b"\\" * (PATH_MAX + 1), b"Users"),
        "name_254": step_command(b"C:\\a", b"n" * (NAME_MAX - 1) + b"\\"),
        "name_255": step_command(b"C:\\a", b"n" * (NAME_MAX + 1)),
        "longest_doubled": step_command(b"\\" * PATH_MAX, b"\\" * NAME_MAX, 0x0400),
        "small_buffer": step_command(b"C:\\a", b"U", 22),
        "zero_buffer": step_command(b"C:\\a\\", b"U", 0),
        # Half a double-byte character at the end would swallow the closing quote.
        "path_ends_in_lead_byte": step_command(b"C:\\a\x95", b"Users"),
        "name_ends_in_lead_byte": step_command(b"C:\\a", b"Users\x81"),
        # What is a backslash is told by the code page's own lead bytes: é
        # (0xE9) is a letter in 1252, 腬 (C4 5C) and 許 (B3 5C) end in one in
        # 936 and 950, 真 (E7 9C 9F) in UTF-8 ends in a lead byte of 932.
        "cp1252_e_acute_then_backslash": step_command(b"C:\\caf\xe9\\", b"Jos\xe9", 0, 1252),
        "cp936_trail_backslash": step_command(b"C:\\\xc4\x5c\\", b"\xc4\x5c", 0, 936),
        "cp950_trail_backslash": step_command(b"C:\\\xb3\x5c\\", b"\xb3\x5c", 0, 950),
        "cp949_hangul": step_command(b"C:\\\xc7\xd1\\", b"\xc7\xd1", 0, 949),
        "utf8_shin_then_backslash": step_command(b"C:\\\xe7\x9c\x9f\\", b"\xe7\x9c\x9f", 0, 65001),
        "cp936_cut_character": step_command(b"C:\\a\xc4", b"Users", 0, 936),
    }


def write_corpus(target, seeds):
    directory = HERE / "corpus" / target
    if directory.exists():
        shutil.rmtree(directory)
    directory.mkdir(parents=True)
    for name, data in sorted(seeds.items()):
        (directory / name).write_bytes(data)


def main():
    write_corpus("fuzz_first_argument", first_argument_seeds())
    write_corpus("fuzz_command_line_tail", command_line_tail_seeds())
    write_corpus("fuzz_step_command", step_command_seeds())


if __name__ == "__main__":
    main()
