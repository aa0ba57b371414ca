#!/usr/bin/env python3
"""The settings step of ./run (scripts/run-config.py) on real files: a file
in each encoding the programs read keeps its encoding, its other sections and
its Chinese text, with the network addresses pointed at the simulator; a
missing file is created as 936 text."""
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "run-config.py")
PORT, COM = "47100", "Com8"

# As a user's programs left it (LF and CR LF line ends mixed).
BEFORE = ("[Vantrel]\r\nIP=192.168.1.145\r\nPort=6000\r\n; 注释\r\n"
          "[Dowload]\nSelPort=网口\nNetIP=192.168.1.100\n"
          "[机房]\r\n名字=一号机柜\r\n")
AFTER = ["[Vantrel]", "IP=127.0.0.1", "Port=" + PORT, "; 注释",
         "[Dowload]", "SelPort=网口", "NetIP=127.0.0.1", "NetPort=" + PORT,
         "[机房]", "名字=一号机柜",
         "[SimForm]", "NetIP=127.0.0.1", "NetPort=" + PORT]


def run(path):
    subprocess.run([sys.executable, SCRIPT, path, PORT, COM], check=True, timeout=60)


class RunConfigTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.dir.name, "Configure.ini")

    def tearDown(self):
        self.dir.cleanup()

    def test_a_file_keeps_its_encoding_and_its_text(self):
        cases = [("936", b"", "gbk"), ("UTF-8 with a mark", b"\xef\xbb\xbf", "utf-8"),
                 ("UTF-16 LE", b"\xff\xfe", "utf-16-le"), ("UTF-16 BE", b"\xfe\xff", "utf-16-be")]
        for name, mark, codec in cases:
            with self.subTest(name):
                with open(self.path, "wb") as f:
                    f.write(mark + BEFORE.encode(codec))
                run(self.path)
                with open(self.path, "rb") as f:
                    data = f.read()
                self.assertTrue(data.startswith(mark), data[:8])
                text = data[len(mark):].decode(codec)   # strict: no stray bytes of another encoding
                self.assertTrue(text.endswith("\r\n"))
                lines = text[:-2].split("\r\n")
                self.assertFalse(any("\r" in l or "\n" in l for l in lines), lines)
                self.assertEqual(lines, AFTER)
                # A second run changes nothing more.
                run(self.path)
                with open(self.path, "rb") as f:
                    self.assertEqual(f.read(), data)

    def test_a_missing_file_is_created_as_936_text(self):
        run(self.path)
        with open(self.path, "rb") as f:
            text = f.read().decode("gbk")
        lines = text.split("\r\n")
        self.assertIn("[Vantrel]", lines)
        self.assertIn("SelPort=串口", lines)
        self.assertIn("Cmd=数据转发", lines)
        self.assertIn("Usart=" + COM, lines)
        self.assertEqual(lines[-1], "")


if __name__ == "__main__":
    unittest.main()
