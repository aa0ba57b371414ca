#!/usr/bin/env python3
"""Points the programs' Configure.ini at the simulated extender.

A missing file is created with the serial and network settings of both
programs aimed at the simulator. An existing file keeps every section and key
but the network addresses and ports, which are set to the simulator's
loopback end on every run, so a hand run never reaches a real network.

A new file is code page 936 text with CR LF line ends, as the programs write
it. An existing file keeps its encoding, as the programs' own settings code
keeps it: 936 text, or UTF-8 or UTF-16 (either byte order) after a byte-order
mark; its lines end in CR LF afterwards.

usage: run-config.py INI-PATH TCP-PORT COM-NAME
"""
import os
import re
import sys

# Byte-order marks and the encodings they start; a file without one is 936.
MARKS = [(b"\xef\xbb\xbf", "utf-8"), (b"\xff\xfe", "utf-16-le"), (b"\xfe\xff", "utf-16-be")]


def decode(data):
    """The file's lines and what it takes to write them back as they came."""
    mark, codec = b"", "gbk"
    for m, c in MARKS:
        if data.startswith(m):
            mark, codec = m, c
            break
    body, tail = data[len(mark):], b""
    if codec.startswith("utf-16") and len(body) % 2:
        body, tail = body[:-1], body[-1:]   # an odd last byte stays as it came
    # Bytes that are no text in the encoding go back unchanged.
    errors = "surrogatepass" if codec.startswith("utf-16") else "surrogateescape"
    text = body.decode(codec, errors=errors)
    lines = re.split(r"\r\n|\r|\n", text)
    if lines and lines[-1] == "":
        lines.pop()
    return lines, (mark, codec, errors, tail)


def encode(lines, form):
    mark, codec, errors, tail = form
    return mark + ("\r\n".join(lines) + "\r\n").encode(codec, errors=errors) + tail


def main():
    path, port, com = sys.argv[1], sys.argv[2], sys.argv[3]
    fresh = [
        ("Vantrel", [("IP", "127.0.0.1"), ("Port", port), ("Com", com), ("Band", "38400"),
                     ("ComSel", "True"), ("ID", "FE")]),
        ("Dowload", [("SelPort", "串口"), ("SerBand", "38400"), ("Usart", com), ("NetIP", "127.0.0.1"),
                     ("NetPort", port), ("Check", "无校验")]),
        ("SimForm", [("Id", "FE"), ("Cmd", "数据转发"), ("SelPort", "串口"), ("SerBand", "38400"),
                     ("Usart", com), ("NetIP", "127.0.0.1"), ("NetPort", port)]),
    ]
    forced = {("vantrel", "ip"): "127.0.0.1", ("vantrel", "port"): port,
              ("dowload", "netip"): "127.0.0.1", ("dowload", "netport"): port,
              ("simform", "netip"): "127.0.0.1", ("simform", "netport"): port}

    if not os.path.exists(path):
        lines = []
        for section, keys in fresh:
            lines.append("[%s]" % section)
            lines += ["%s=%s" % kv for kv in keys]
        with open(path, "wb") as f:
            f.write(encode(lines, (b"", "gbk", "strict", b"")))
        return

    with open(path, "rb") as f:
        lines, form = decode(f.read())
    out, section, seen = [], None, set()

    def flush_missing(sec):
        for (s, k), v in forced.items():
            if s == sec and (s, k) not in seen:
                name = next(n for n, _ in dict(fresh)[next(x for x, _ in fresh if x.lower() == s)] if n.lower() == k)
                out.append("%s=%s" % (name, v))
                seen.add((s, k))

    for line in lines:
        stripped = line.strip()
        if stripped.startswith("[") and stripped.endswith("]"):
            flush_missing(section)
            section = stripped[1:-1].strip().lower()
        elif "=" in line and section is not None:
            key = line.split("=", 1)[0].strip()
            if (section, key.lower()) in forced:
                line = "%s=%s" % (key, forced[(section, key.lower())])
                seen.add((section, key.lower()))
        out.append(line)
    flush_missing(section)
    present = {l.strip()[1:-1].strip().lower() for l in out if l.strip().startswith("[") and l.strip().endswith("]")}
    for name, _ in fresh:
        if name.lower() not in present:
            out.append("[%s]" % name)
            flush_missing(name.lower())
    with open(path, "wb") as f:
        f.write(encode(out, form))


if __name__ == "__main__":
    main()
