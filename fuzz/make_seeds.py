#!/usr/bin/env python3
"""Writes the seed corpus fuzz/corpus/<target>/ from the cases below.

Each target reads a few header bytes, then NUL-separated fields (see the
comment at the top of each fuzz_*.cpp). Run it after changing a case; the
files are small and committed. Reproducers of faults found by fuzzing are
added by hand as corpus/<target>/repro-*, and this script leaves them alone.
"""
import hashlib
import pathlib

ROOT = pathlib.Path(__file__).resolve().parent / "corpus"
GBK_QUOTE_MARKER = "#引号".encode("gbk")


def seed(target, data):
    folder = ROOT / target
    folder.mkdir(parents=True, exist_ok=True)
    name = "seed-" + hashlib.sha1(data).hexdigest()[:12]
    (folder / name).write_bytes(data)


def fields(*parts):
    return b"\0".join(p if isinstance(p, bytes) else p.encode() for p in parts)


def main():
    for old in ROOT.glob("*/seed-*"):
        old.unlink()

    # text_scan: flags (absent t/needle/replacement, ignoreCase, caseSensitive), start.
    for head, t, needle, repl in [
        (b"\x00\x00", b"abcabc", b"bc", b"X"),
        (b"\x08\x03", b"ABCabc", b"bC", b""),
        (b"\x00\x00", b"\x81\x41A", b"A", b"B"),
        (b"\x08\x00", b"\x81\x41", b"\x81\x61", b"z"),
        (b"\x00\x02", b"\x81\x41\x41", b"A", b"z"),
        (b"\x00\x00", b"  \xa1\xa1 ab \xa1\xa1\r\n \xa1\xa1", b" ", b""),
        (b"\x00\x00", b"ab \x81", b"\x81", b"Y"),
        (b"\x10\x00", b"ab\x81", b"b\x81", b"Q"),
        (b"\x00\x00", b"\xa3\xb8\xa3\xb0", b"\xa3", b""),
        (b"\x00\x00", b" -12abc", b"-", b"+"),
        (b"\x00\x00", b"2147483648", b"8", b"9"),
        (b"\x00\x00", b"a;;b;", b";", b";"),
        (b"\x00\x00", b";", b";", b""),
        (b"\x10\x00", b"aaa", b"a", b"aa"),
        (b"\x07\x05", b"", b"", b""),
        (b"\x00\xff", b"0123456789", b"", b"x"),
    ]:
        seed("text_scan", head + fields(t, needle, repl))

    # delimited: flags (absent t/left/right), then t, left, right.
    for t, left, right in [
        (b"http://h/play_400004169_19743.shtml", b"play_", b".shtml"),
        (b"abc123.shtml", b"play_", b".shtml"),
        (b"x.shtml play_1", b"play_", b".shtml"),
        (b"abc", b"x", b"c"),
        (b"user-agent: X\r\nA: b", b"User-Agent:", b"\r\n"),
        (b"User-Agent: X", b"User-Agent:", b"\r\n"),
        (b'say "hi" now', GBK_QUOTE_MARKER, GBK_QUOTE_MARKER),
        (b"Location: http://a/b", b"", b""),
        (b"a: b: c \xa1\xa1", b":", b":"),
        (b"Set-Cookie: a=1; path=/", b"Set-Cookie:", b";"),
        (b"\x81:x:", b":", b":"),
    ]:
        seed("delimited", b"\x00" + fields(t, left, right))

    for address in [
        "", "a.b/x?y=1", "HTTPS://Ab.CD:8443/Path?Q=1", "https://a.b", "HTTP://A.B/C",
        "http://192.168.1.10:8080/x", "http://a.b?x=1", "http://host:/x",
        "go?u=http://a.b/x", "ftp://h/x", "http://h/x", "httpsx.y/a", "http://w.x.y:8080/",
        "http://user:pw@h.example:81/p", "http://[::1]:8080/x", "http://h:99999999999/",
    ]:
        seed("url", address.encode())
    seed("url", b"http://\x81/\xa1\xa1:80/x")

    for cookies, returned in [
        ("", ""), ("a=1; b=2", ""), ("", "a=1; b=2"), ("a=1; b=2", "b=3; c=4"),
        ("a=1; b=2", "a=deleted"), ("a=1;a=2", ""), ("", "a=1; a=1"), ("", "a=1; a=2"),
        ("A=1", "a=2"), ("x = hello world", ""), ("flag; a=1", "flag"),
        ("s=deleted; a=1", ""), ("a=1;;b=2", ""), ("; ;", ";"),
    ]:
        seed("cookie", fields(cookies, returned))
    seed("cookie", fields(b"k=\xa1\xa1v; \x81;x=1", b"x=\x81 ;y"))

    # charset: code-page selector, then the bytes.
    for selector, data in [
        (0, b"plain ASCII text {}\r\n"), (1, "第一课：简介".encode()), (2, b"\xff\xfe\x80abc"),
        (1, "第一课".encode("gbk")), (0, "😀 emoji".encode()), (2, b"\xed\xa0\x80 surrogate"),
        (5, b"\x00\x00\x03\xa8a\x00b\x00"), (3, "€uro".encode()),
    ]:
        seed("charset", bytes([selector]) + data)

    # header_scan: flags (cookies given, query fails, open fails, ..., noRedirect,
    # POST), read size, then raw headers, body, cookies, redirect, extra headers.
    ok_cookies = (b"HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n"
                  b"Content-Location: /x\r\n\r\n")
    redirect = b"HTTP/1.1 302 Found\r\nLocation: http://x.example/y?z=1\r\nSet-Cookie:  s = 1 ;\r\n\r\n"
    big = (b"HTTP/1.1 200 OK\r\n" + b"".join(b"X-Filler-%d: %s\r\n" % (i, b"f" * 60)
                                             for i in range(90))
           + b"Set-Cookie: late=1; path=/\r\n\r\n")
    for head, raw, body, cookies, target, extra in [
        (b"\x01\x80", ok_cookies, b"hello", b"a=0; c=3", b"", b""),
        (b"\x00\x80", ok_cookies, b"", b"", b"", b""),
        (b"\x21\x00", redirect, b"moved", b"s=0", b"", b"User-Agent: X"),
        (b"\x02\x10", redirect, b"body", b"", b"kept", b"user-agent:\r\nA: b"),
        (b"\x04\x00", ok_cookies, b"x", b"", b"", b""),
        (b"\x05\x00", ok_cookies, b"x", b"a=1", b"", b""),
        (b"\x06\x00", ok_cookies, b"x", b"", b"", b""),
        (b"\x01\xff", big, b"b" * 3000, b"old=1", b"", b"Referer: r\r\nAccept: */*"),
        (b"\x41\x01", b"HTTP/1.1 200 OK\r\nSet-Cookie\r\n\r\n", b"p", b"", b"", b""),
    ]:
        seed("header_scan", head + fields(raw, body, cookies, target, extra))

    # regex: flags (ignoreCase, multiline, global), then pattern, subject, replacement.
    for head, pattern, subject, repl in [
        (b"\x06", b"seriNum.*?subtitleUrl", b"seriNum a subtitleUrl\nseriNum b subtitleUrl", b"#"),
        (b"\x07", b"(a)(b)?", b"abaB", b"$1-$2"),
        (b"\x06", b"^\\d+$", b"12\n3a\n45", b""),
        (b"\x04", b"abc", b"xxabcabcabc", b""),
        (b"\x04", b"aa", b"aaaaa", b""),
        (b"\x04", b"(a+)+$", b"a" * 40 + b"b", b""),
        (b"\x05", b"abc", "第一课ABC".encode("gbk"), b"[$&]"),
        (b"\x04", b"[", b"[", b""),
        (b"\x04", b"a{2,1}", b"aa", b""),
        (b"\x04", b"(?<=a)b", b"ab", b""),
        (b"\x04", b"\\b\\w+\\b", b"one two", b""),
        (b"\x04", b"", b"abc", b"-"),
        (b"\x04", "课".encode("gbk"), "第一课 第二课".encode("gbk"), b""),
    ]:
        seed("regex", head + fields(pattern, subject, repl))

    # retrieval: the course-list answer (UTF-8), then lesson answers.
    def record(n, title, address, tail=',"isFree":"1","subtitleUrl":""}'):
        return ('{"seriNum":"%d","title":"%s","getVideoUrl":"%s","duration":"01:00"%s'
                % (n, title, address, tail))

    def answer(*records):
        return ('{"code":0,"msg":"ok","data":{"courseId":"400004169_19743","list":[\n'
                + ",\n".join(records) + "\n]}}\n")

    lesson = '{"code":0,"msg":"ok","data":["http://v.example/video/%d.mp4"]}'
    three = answer(*(record(n, "第%d课 简介" % n, "http://fuzz.example/lesson/%d" % n)
                     for n in (1, 2, 3)))
    seed("retrieval", fields(three, lesson % 1, lesson % 2, lesson % 3))
    seed("retrieval", fields(answer(record(1, "a", "http://h/1"),
                                    record(2, "b", "http://h/2", tail="}")),
                             lesson % 1, ""))
    seed("retrieval", fields(answer(record(1, 'say \\"hi\\"', "http://h/1")),
                             '{"code":403,"msg":"需要登录","data":null}'))
    seed("retrieval", fields("seriNum x\nsubtitleUrl seriNum y subtitleUrl", ""))
    seed("retrieval", fields("", ""))
    seed("retrieval", fields("seriNum title\":\"t\",\"getVideoUrl\":\"u\",\"subtitleUrl",
                             ':["v"]}'))


if __name__ == "__main__":
    main()
