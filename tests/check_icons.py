#!/usr/bin/env python3
"""The exe's window icon holds the sizes given, largest first, each 32-bit;
the 256-pixel image PNG-compressed, the others bitmaps. Reads the resource
section of the PE file itself, so that it runs without Windows or Wine.

    check_icons.py EXE 256 64 48 40 32 24 20 16
"""
import struct
import sys

RT_ICON, RT_GROUP_ICON = 3, 14


def resources(data):
    """The resource data of each (type, name) as bytes, first language only."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, opt_size = struct.unpack_from("<H12xH", data, pe + 6)
    opt = pe + 24
    # The resource table is data directory 2; PE32 has 96 bytes before the directories.
    rva, _ = struct.unpack_from("<II", data, opt + 96 + 2 * 8)
    table = []
    for i in range(sections):
        size, vaddr, raw_size, raw = struct.unpack_from("<IIII", data, opt + opt_size + 40 * i + 8)
        table.append((vaddr, max(size, raw_size), raw))

    def at(address):
        for vaddr, size, raw in table:
            if vaddr <= address < vaddr + size:
                return raw + address - vaddr
        raise SystemExit("address 0x%x lies in no section" % address)

    base = at(rva)

    def entries(offset):
        named, ids = struct.unpack_from("<HH", data, base + offset + 12)
        for k in range(named + ids):
            ident, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * k)
            yield ident, target & 0x7FFFFFFF, bool(target & 0x80000000)

    found = {}
    for kind, names, _ in entries(0):
        for name, langs, _ in entries(names):
            _, leaf, _ = next(entries(langs))
            where, size = struct.unpack_from("<II", data, base + leaf)
            found[(kind, name)] = data[at(where):at(where) + size]
    return found


def main(argv):
    with open(argv[1], "rb") as f:
        found = resources(f.read())
    want = [int(v) for v in argv[2:]]
    groups = [v for (kind, _), v in found.items() if kind == RT_GROUP_ICON]
    if len(groups) != 1:
        raise SystemExit("%d icon groups in the exe, expected 1" % len(groups))
    count = struct.unpack_from("<H", groups[0], 4)[0]
    sizes, faults = [], []
    for k in range(count):
        w, h, _, _, _, bits, _, ident = struct.unpack_from("<BBBBHHIH", groups[0], 6 + 14 * k)
        w, h = w or 256, h or 256
        sizes.append(w)
        image = found.get((RT_ICON, ident), b"")
        png = image.startswith(b"\x89PNG")
        if w != h or bits != 32:
            faults.append("%dx%d at %d bits" % (w, h, bits))
        if png != (w >= 256):
            faults.append("the %d-pixel image is %s" % (w, "PNG" if png else "a bitmap"))
    if sizes != want:
        faults.append("sizes %s, expected %s" % (sizes, want))
    if faults:
        raise SystemExit("icon: " + "; ".join(faults))
    print("icon sizes: " + " ".join(map(str, sizes)))


if __name__ == "__main__":
    main(sys.argv)
