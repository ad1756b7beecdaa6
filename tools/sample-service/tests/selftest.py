"""Checks the sample service as the other tests rely on it: the course answers
cut the way the program cuts them, lesson addresses that lead back to the
service, keep-alive counting, and the fault listener. Run it through
scripts/with-sample-service.sh, which exports the two hosts."""

import http.client
import json
import os
import re
import socket
import sys
import time
import unittest

HOST = os.environ["MERRAVINE_SERVICE_HOST"]
FAULT_HOST = os.environ["MERRAVINE_FAULT_HOST"]


def between(text, left, right):
    """The program's cut: the text between the first left and the next right."""
    a = text.find(left)
    if a < 0:
        return None
    b = text.find(right, a + len(left))
    return None if b < 0 else text[a + len(left):b]


def get(path, host=HOST):
    connection = http.client.HTTPConnection(host, timeout=10)
    connection.request("GET", path)
    response = connection.getresponse()
    body = response.read()
    connection.close()
    return response.status, response, body


def lessons(course):
    status, _, body = get("/ajax/getvideolistinfo_%s.shtml" % course)
    text = body.decode("utf-8")
    # The program's pattern: each record from seriNum to the nearest subtitleUrl.
    records = re.findall(r"seriNum.*?subtitleUrl", text)
    return status, text, records


def raw(path, timeout=5):
    host, port = FAULT_HOST.split(":")
    with socket.create_connection((host, int(port)), timeout=timeout) as s:
        s.sendall(("GET %s HTTP/1.1\r\nHost: %s\r\n\r\n" % (path, FAULT_HOST)).encode())
        data = b""
        try:
            while True:
                piece = s.recv(65536)
                if not piece:
                    break
                data += piece
        except ConnectionResetError:
            data += b"<RST>"
        return data


class Courses(unittest.TestCase):
    def test_default_course_has_chinese_titles_and_lesson_addresses_back_here(self):
        status, text, records = lessons("400004169_19743")
        self.assertEqual(status, 200)
        self.assertEqual(len(records), 8)
        for n, record in enumerate(records, 1):
            title = between(record, 'title":"', '","getVideoUrl')
            address = between(record, 'getVideoUrl":"', '","')
            self.assertTrue(title and all(ord(c) < 0x10000 for c in title))
            title.encode("gbk")  # every title survives the conversion to code page 936
            self.assertEqual(address, "http://%s/lesson/400004169_19743/%d.shtml" % (HOST, n))
            _, _, answer = get(address[len("http://") + len(HOST):])
            video = between(answer.decode("utf-8"), ':["', '"]}')
            self.assertEqual(video, "http://%s/video/400004169_19743/%d.mp4" % (HOST, n))
        self.assertIn("课程介绍与学习方法", text)

    def test_odd_courses(self):
        self.assertEqual(len(lessons("three")[2]), 3)
        self.assertEqual(len(lessons("empty")[2]), 0)
        self.assertEqual(len(lessons("quirks")[2]), 6)
        self.assertEqual(len(lessons("unclosed-last")[2]), 1)
        self.assertEqual(len(lessons("gen_1000")[2]), 1000)
        self.assertEqual(len(lessons("bench1000")[2]), 1000)
        record = lessons("escaped-quote")[2][0]
        self.assertEqual(between(record, 'title":"', '","getVideoUrl'), '他说\\"你好\\"：引号测试')
        status, _, body = get("/lesson/no-video/2.shtml")
        self.assertEqual((status, body), (404, b""))
        _, _, body = get("/lesson/no-video/3.shtml")
        self.assertNotIn(b':["', body)
        status, _, _ = get("/ajax/getvideolistinfo_nosuchcourse.shtml")
        self.assertEqual(status, 404)

    def test_slow_course_waits_per_lesson(self):
        start = time.monotonic()
        get("/lesson/slow_2_300/1.shtml")
        self.assertGreaterEqual(time.monotonic() - start, 0.3)


class TestRoutes(unittest.TestCase):
    def test_keep_alive_carries_many_requests_on_one_connection(self):
        get("/stats/reset")
        connection = http.client.HTTPConnection(HOST, timeout=10)
        for n in range(1, 201):
            connection.request("GET", "/lesson/bench1000/%d.shtml" % n)
            self.assertEqual(connection.getresponse().read()[:9], b'{"code":0')
        connection.request("GET", "/stats")
        stats = json.loads(connection.getresponse().read())
        connection.close()
        self.assertEqual(stats["requests"], 200)
        self.assertEqual(stats["connections"], 1)
        self.assertEqual(stats["request_connections"], 1)

    def test_echo_cookies_redirects_and_statuses(self):
        _, _, body = get("/echo?x=1")
        self.assertTrue(body.startswith(b"GET /echo?x=1 HTTP/1.1\r\n"))
        _, response, _ = get("/cookies/set?c=a%3D1%3B%20Path%3D%2F&c=b%3D2")
        self.assertEqual(response.msg.get_all("Set-Cookie"), ["a=1; Path=/", "b=2"])
        status, response, _ = get("/redirect/301?to=/echo")
        self.assertEqual((status, response.getheader("Location")), (301, "/echo"))
        status, response, _ = get("/redirect/302-no-location")
        self.assertEqual((status, response.getheader("Location")), (302, None))
        _, response, _ = get("/redirect/file")
        self.assertEqual(response.getheader("Location"), "file:///etc/passwd")
        status, _, body = get("/status/500")
        self.assertEqual((status, body), (500, b"status 500 body\n"))
        _, response, body = get("/chunked?n=3")
        self.assertEqual(response.getheader("Transfer-Encoding"), "chunked")
        self.assertEqual(body, b"chunk 1 of 3\nchunk 2 of 3\nchunk 3 of 3\n")
        _, _, body = get("/large?bytes=1000")
        pattern = b"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!\n"
        self.assertEqual(body, (pattern * 16)[:1000])


class FaultListener(unittest.TestCase):
    def test_raw_modes(self):
        self.assertTrue(raw("/echo-raw").endswith(b"GET /echo-raw HTTP/1.1\r\nHost: %s\r\n\r\n"
                                                   % FAULT_HOST.encode()))
        self.assertEqual(raw("/close-without-answer"), b"")
        self.assertTrue(raw("/bad-status-line").startswith(b"HTTP/1.1 abc Broken\r\n"))
        self.assertIn(b"\r\n\r\nonly a few bytes\n", raw("/short-body"))
        head = raw("/big-header").split(b"\r\n\r\n")[0]
        self.assertGreater(len(head), 5000)
        self.assertTrue(head.endswith(b"\r\nSet-Cookie: late=1; Path=/"))
        reset = raw("/reset-mid-body")
        self.assertTrue(reset.endswith(b"<RST>"))
        with self.assertRaises(socket.timeout):
            raw("/never-answer", timeout=0.5)


if __name__ == "__main__":
    unittest.main(verbosity=2)
