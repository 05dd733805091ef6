# Run folders for the hostile journeys: none of the program's files, each of them broken in one
# of many ways (the same ways every time for the same round), or pictures that claim to be huge;
# and what /proc tells of a running program.

import os
import random
import re
import struct
import tempfile
from pathlib import Path


def tga(kind=2, width=4, height=4, depth=32, id_length=0, map_type=0, map_length=0, map_bits=0):
    # An 18-byte header, top row first; sides are words, so -300 and 65236 are the same field.
    return struct.pack("<BBBHHBHHHHBB", id_length, map_type, kind, 0, map_length, map_bits, 0, 0,
                       width & 0xFFFF, height & 0xFFFF, depth, 0x28)


def noise(rng, count):
    return bytes(rng.getrandbits(8) for _ in range(count))


# Each kind makes the broken file from the good one (g), a good file of the other sort (o) and a
# seeded generator (r); None makes a folder there, and "" a link to nowhere.
PICTURE_KINDS = {
    "cut after 10 bytes": lambda g, o, r: g[:10],
    "empty": lambda g, o, r: b"",
    "width 65535": lambda g, o, r: tga(width=65535) + g[18:],
    "height -300": lambda g, o, r: tga(height=-300) + g[18:],
    "width 16385": lambda g, o, r: tga(width=16385) + g[18:],
    "run-length, 65535 a side": lambda g, o, r: tga(10, 65535, 65535) + g[18:],
    "type 1, colour-mapped": lambda g, o, r: tga(1, 4, 4, 32, 0, 1, 256, 24) + g[18:],
    "type 11": lambda g, o, r: tga(11) + g[18:],
    "depth 16": lambda g, o, r: tga(depth=16) + g[18:],
    "run-length at 8 bits": lambda g, o, r: tga(10, 64, 64, 8) + noise(r, 300),
    "an ID of 255 bytes in 20": lambda g, o, r: tga(id_length=255, width=64) + noise(r, 20),
    "65535 map entries": lambda g, o, r: tga(2, 32, 32, 32, 0, 1, 65535, 32) + noise(r, 100),
    "map entries of 255 bits": lambda g, o, r: tga(map_type=1, map_length=65535, map_bits=255),
    "random packets, cut short": lambda g, o, r: tga(10, 256, 256) + noise(r, 600),
    "16384 by 1, no pixels": lambda g, o, r: tga(width=16384, height=1),
    "8-bit grey": lambda g, o, r: tga(3, 5, 3, 8) + noise(r, 15),
    "random header, real pixels": lambda g, o, r: noise(r, 18) + g[18:],
    "a sound": lambda g, o, r: o[:8192],
    "a folder": None,
    "a link to nowhere": "",
}
SOUND_KINDS = {
    "cut after 10 bytes": lambda g, o, r: g[:10],
    "cut in half": lambda g, o, r: g[:len(g) // 2],
    "empty": lambda g, o, r: b"",
    "random bytes": lambda g, o, r: noise(r, 8192),
    "frame headers, random": lambda g, o, r: b"".join(b"\xFF\xFB\x90\x64" + noise(r, 413)
                                                      for _ in range(60)),
    "an ID3 tag of 256 MB": lambda g, o, r: b"ID3\x04\x00\x00\x7F\x7F\x7F\x7F" + noise(r, 200),
    "every 97th byte flipped": lambda g, o, r: bytes(b ^ (255 * (i % 97 == 50))
                                                     for i, b in enumerate(g)),
    "a picture": lambda g, o, r: o,
    "WAVE of absurd sizes": lambda g, o, r: b"RIFF\xF0\xFF\xFF\xFFWAVEfmt \x10\0\0\0\1\0\0\0" +
    b"\x44\xAC\0\0\xFF\xFF\xFF\xFF\0\0\x10\0data\xF0\xFF\xFF\x7F" + noise(r, 64),
    "an Ogg page marker": lambda g, o, r: b"OggS\x00\x02" + noise(r, 4000),
    "a folder": None,
    "a link to nowhere": "",
}


def broken_folder(scratch, run_dir, round_number):
    # Every picture and sound of the good folder broken; each round gives each file another kind of
    # damage.
    rng, good = random.Random(20240611 + round_number), Path(run_dir)
    folder = Path(tempfile.mkdtemp(prefix=f"broken-{round_number}-", dir=scratch))
    other = {"image_data": (good / "audio/firestart01.mp3").read_bytes(),
             "audio": (good / "image_data/mouth0.tga").read_bytes()}
    for part, kinds in [("image_data", PICTURE_KINDS), ("audio", SOUND_KINDS)]:
        (folder / part).mkdir()
        names = sorted(path.name for path in (good / part).iterdir())
        for index, name in enumerate(names):
            kind = list(kinds)[(index + round_number * len(names)) % len(kinds)]
            path, make = folder / part / name, kinds[kind]
            if make is None:
                path.mkdir()
            elif make == "":
                path.symlink_to("no-such-file")
            else:
                path.write_bytes(make((good / part / path.name).read_bytes(), other[part], rng))
            print(f"     {part}/{name}: {kind}")
    return folder


def linked(folder, source, leaving_out=()):
    # The folder, made if need be, with a link to each file of source but those left out.
    folder.mkdir(parents=True, exist_ok=True)
    for entry in Path(source).iterdir():
        if entry.name not in leaving_out and not (folder / entry.name).exists():
            (folder / entry.name).symlink_to(entry.resolve())
    return folder


def huge(scratch, run_dir):
    # The good files, but the floor a raw and the hall a run-length header of 16384 by 16384.
    folder = Path(tempfile.mkdtemp(prefix="huge-", dir=scratch))
    (folder / "audio").symlink_to(Path(run_dir).resolve() / "audio")
    linked(folder / "image_data", Path(run_dir) / "image_data", ("floorplane.tga", "theHall.tga"))
    (folder / "image_data/floorplane.tga").write_bytes(tga(2, 16384, 16384))
    (folder / "image_data/theHall.tga").write_bytes(tga(10, 16384, 16384))
    return folder


def memory_mb(pid, field="VmHWM"):
    # The process's peak (or, with VmRSS, present) resident memory in MB; 0 once it is gone.
    try:
        return float(re.search(rf"{field}:\s+(\d+)", open(f"/proc/{pid}/status").read())[1]) / 1024
    except (OSError, TypeError):
        return 0.0


def cpu_seconds(pid):
    # CPU time so far of the program's main thread, which runs the frame loop.
    fields = Path(f"/proc/{pid}/task/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
