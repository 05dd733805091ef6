"""Hostile run folders for the program's end-to-end tests: every picture and sound it reads,
replaced by a broken file of one of many kinds (cut short, empty, absurd header fields, unknown
layouts, random bytes, the wrong kind of file, a folder, a link to nowhere).

The kinds are fixed lists and the random bytes come from a seeded generator, so a run folder is
the same every time for the same round number. Python's standard library only.
"""

import os
import random
import shutil
import struct
import tempfile
from pathlib import Path

# Every picture the program opens from ./image_data/ (the crowd's, the title and the card).
PICTURES = (
    [f"face{kind}{variant}" for kind in range(6) for variant in range(2)] +
    [f"body{kind}" for kind in range(6)] +
    [f"mouth{kind}" for kind in range(3)] +
    ["gunhand_left", "gunhand_right"] +
    [f"fire{frame}" for frame in range(5)] +
    ["lightShaft", "selected", "theHall", "floorplane", "titlescreen", "optionCard"])

# Every sound it opens from ./audio/: ten samples loaded at start-up, and the music, opened on
# the first key 1.
SAMPLES = ["firestart01", "firestart02", "firestart03", "firestart04", "fireloop",
           "distantExplosion01", "distantExplosion02", "distantExplosion03", "ooo_01", "ooo_02"]
MUSIC = "adagio_vocal"
SOUNDS = SAMPLES + [MUSIC]

TGA_HEADER = struct.Struct("<BBBHHBHHHHBB")  # 18 bytes, little-endian


def tga_header(image_type=2, width=4, height=4, depth=32, id_length=0, colour_map_type=0,
               colour_map_length=0, colour_map_entry_size=0, descriptor=0x28):
    """A TGA header; sizes are written as 16-bit words, so -1 and 65535 are the same field."""
    return TGA_HEADER.pack(id_length, colour_map_type, image_type, 0,
                           colour_map_length & 0xFFFF, colour_map_entry_size, 0, 0,
                           width & 0xFFFF, height & 0xFFFF, depth, descriptor)


def patched_header(original, **fields):
    """The original file with some header fields replaced; a short original is padded first."""
    data = bytearray(original.ljust(18, b"\0"))
    (id_length, colour_map_type, image_type, _, colour_map_length, colour_map_entry_size, _, _,
     width, height, depth, descriptor) = TGA_HEADER.unpack_from(data)
    values = dict(image_type=image_type, width=width, height=height, depth=depth,
                  id_length=id_length, colour_map_type=colour_map_type,
                  colour_map_length=colour_map_length,
                  colour_map_entry_size=colour_map_entry_size, descriptor=descriptor)
    values.update(fields)
    data[0:18] = tga_header(**values)
    return bytes(data)


def random_bytes(rng, count):
    return bytes(rng.getrandbits(8) for _ in range(count))


# Each maker writes the hostile file at path (which does not exist yet). original: the good
# file's bytes (b"" when there is none); other: the bytes of a good file of the other kind.


def write(path, data):
    Path(path).write_bytes(data)


def make_directory(path, original, other, rng):
    os.mkdir(path)
    write(Path(path) / "inside.txt", b"a folder where a file should be\n")


def make_dangling_link(path, original, other, rng):
    os.symlink("no-such-file-anywhere", path)


def rle_packets(rng, packets, pixel_bytes):
    """Run-length packets with random headers: runs and raw stretches of random lengths."""
    out = bytearray()
    for _ in range(packets):
        header = rng.getrandbits(8)
        out.append(header)
        count = 1 if header & 0x80 else (header & 0x7F) + 1
        out += random_bytes(rng, count * pixel_bytes)
    return bytes(out)


PICTURE_KINDS = [
    ("cut after 10 bytes", lambda p, o, x, r: write(p, o[:10])),
    ("cut in half", lambda p, o, x, r: write(p, o[:len(o) // 2])),
    ("header only", lambda p, o, x, r: write(p, o[:18])),
    ("zero-length", lambda p, o, x, r: write(p, b"")),
    ("width 65535", lambda p, o, x, r: write(p, patched_header(o, width=65535))),
    ("height 65535", lambda p, o, x, r: write(p, patched_header(o, height=65535))),
    ("width -300", lambda p, o, x, r: write(p, patched_header(o, width=-300))),
    ("height -32768", lambda p, o, x, r: write(p, patched_header(o, height=-32768))),
    ("width 16385", lambda p, o, x, r: write(p, patched_header(o, width=16385))),
    ("height 16385", lambda p, o, x, r: write(p, patched_header(o, height=16385))),
    ("both sides 65535, run-length", lambda p, o, x, r: write(
        p, patched_header(o, image_type=10, width=65535, height=65535))),
    ("type 1 (colour-mapped)", lambda p, o, x, r: write(
        p, patched_header(o, image_type=1, colour_map_type=1, colour_map_length=256,
                          colour_map_entry_size=24))),
    ("type 9 (run-length colour-mapped)", lambda p, o, x, r: write(
        p, patched_header(o, image_type=9))),
    ("type 11 (run-length grey)", lambda p, o, x, r: write(p, patched_header(o, image_type=11))),
    ("type 0 (no picture)", lambda p, o, x, r: write(p, patched_header(o, image_type=0))),
    ("type 255", lambda p, o, x, r: write(p, patched_header(o, image_type=255))),
    ("depth 16", lambda p, o, x, r: write(p, patched_header(o, depth=16))),
    ("depth 15", lambda p, o, x, r: write(p, patched_header(o, depth=15))),
    ("depth 0", lambda p, o, x, r: write(p, patched_header(o, depth=0))),
    ("run-length at 8 bits", lambda p, o, x, r: write(
        p, tga_header(image_type=10, width=64, height=64, depth=8) + random_bytes(r, 300))),
    ("ID length 255, 20 bytes after the header", lambda p, o, x, r: write(
        p, tga_header(id_length=255, width=64, height=64) + random_bytes(r, 20))),
    ("colour map of 65535 entries, short file", lambda p, o, x, r: write(
        p, tga_header(colour_map_type=1, colour_map_length=65535, colour_map_entry_size=32,
                      width=32, height=32) + random_bytes(r, 100))),
    ("colour map entries of 255 bits", lambda p, o, x, r: write(
        p, tga_header(colour_map_type=1, colour_map_length=65535, colour_map_entry_size=255,
                      width=8, height=8) + random_bytes(r, 100))),
    ("run-length, random packets, cut short", lambda p, o, x, r: write(
        p, tga_header(image_type=10, width=256, height=256, depth=32) + rle_packets(r, 40, 4))),
    ("run-length at 24 bits, packets past the last pixel", lambda p, o, x, r: write(
        p, tga_header(image_type=10, width=3, height=3, depth=24) +
        bytes([0xFF, 1, 2, 3, 0x7F]) + random_bytes(r, 128 * 3))),
    ("0 by 0 pixels", lambda p, o, x, r: write(p, tga_header(width=0, height=0))),
    ("16384 by 1, no pixel data", lambda p, o, x, r: write(p, tga_header(width=16384, height=1))),
    ("1 by 16384, bottom-up, no pixel data", lambda p, o, x, r: write(
        p, tga_header(width=1, height=16384, descriptor=0))),
    ("8-bit grey, 5 by 3", lambda p, o, x, r: write(
        p, tga_header(image_type=3, width=5, height=3, depth=8) + random_bytes(r, 15))),
    ("every descriptor bit set", lambda p, o, x, r: write(p, patched_header(o, descriptor=0xFF))),
    ("random header on the real pixels", lambda p, o, x, r: write(p, random_bytes(r, 18) + o[18:])),
    ("random bytes", lambda p, o, x, r: write(p, random_bytes(r, 4096))),
    ("a text file", lambda p, o, x, r: write(p, b"This is not a picture.\n" * 40)),
    ("a sound file", lambda p, o, x, r: write(p, x[:8192])),
    ("a folder", make_directory),
    ("a link to nowhere", make_dangling_link),
]


def id3_huge(original, rng):
    """An ID3v2 tag whose syncsafe size claims 256 MB, on a short file."""
    return b"ID3\x04\x00\x00\x7F\x7F\x7F\x7F" + random_bytes(rng, 200)


def fake_frames(rng, count):
    """MPEG-1 layer III frame headers (128 kb/s, 44.1 kHz) each followed by random bytes."""
    return b"".join(b"\xFF\xFB\x90\x64" + random_bytes(rng, 413) for _ in range(count))


def riff_absurd(rng):
    """A WAVE file whose chunks claim sizes far beyond the file, with 0 channels."""
    fmt = struct.pack("<HHIIHH", 1, 0, 44100, 0xFFFFFFFF, 0, 16)
    return (b"RIFF" + struct.pack("<I", 0xFFFFFFF0) + b"WAVE" + b"fmt " + struct.pack("<I", 16) +
            fmt + b"data" + struct.pack("<I", 0x7FFFFFF0) + random_bytes(rng, 64))


def riff_odd_format(rng):
    """A WAVE file of format 0xFFFE with a cut extension and 65535 channels."""
    fmt = struct.pack("<HHIIHHH", 0xFFFE, 65535, 1, 1, 65535, 64, 22)
    return (b"RIFF" + struct.pack("<I", 60) + b"WAVE" + b"fmt " + struct.pack("<I", 40) + fmt +
            random_bytes(rng, 10))


def aiff_absurd(rng):
    return (b"FORM" + struct.pack(">I", 0xFFFFFF00) + b"AIFF" + b"COMM" + struct.pack(">I", 18) +
            struct.pack(">hIh", 0, 0xFFFFFFFF, 0) + b"\x7F\xFF" + b"\xFF" * 8 + b"SSND" +
            struct.pack(">I", 0xFFFFFFF0) + random_bytes(rng, 40))


SOUND_KINDS = [
    ("cut after 10 bytes", lambda p, o, x, r: write(p, o[:10])),
    ("cut in half", lambda p, o, x, r: write(p, o[:len(o) // 2])),
    ("the first 1000 bytes", lambda p, o, x, r: write(p, o[:1000])),
    ("zero-length", lambda p, o, x, r: write(p, b"")),
    ("random bytes", lambda p, o, x, r: write(p, random_bytes(r, 8192))),
    ("frame headers over random bytes", lambda p, o, x, r: write(p, fake_frames(r, 60))),
    ("ID3 tag claiming 256 MB", lambda p, o, x, r: write(p, id3_huge(o, r))),
    ("the real file with every 97th byte flipped", lambda p, o, x, r: write(
        p, bytes(b ^ 0xFF if i % 97 == 50 else b for i, b in enumerate(o)))),
    ("a picture file", lambda p, o, x, r: write(p, x)),
    ("a text file", lambda p, o, x, r: write(p, b"This is not a sound.\n" * 40)),
    ("WAVE with absurd chunk sizes", lambda p, o, x, r: write(p, riff_absurd(r))),
    ("WAVE of an unknown format, cut short", lambda p, o, x, r: write(p, riff_odd_format(r))),
    ("AIFF with absurd sizes", lambda p, o, x, r: write(p, aiff_absurd(r))),
    ("Ogg page marker over random bytes", lambda p, o, x, r: write(
        p, b"OggS\x00\x02" + random_bytes(r, 4000))),
    ("a folder", make_directory),
    ("a link to nowhere", make_dangling_link),
]


def assign(names, kinds, round_number):
    """Spreads the kinds over the names, shifted by the round so that each round gives each name
    another kind; with more kinds than names, later rounds reach the rest."""
    step = len(names)
    return {name: kinds[(index + round_number * step) % len(kinds)]
            for index, name in enumerate(names)}


def make_corrupt_run_dir(good_run_dir, round_number=0, seed=20240611, music_kind=None):
    """A new temporary folder with image_data/ and audio/ holding only hostile files.

    good_run_dir supplies the good files that some kinds start from (missing ones count as empty).
    music_kind, a kind name from SOUND_KINDS, overrides the music's kind.
    Returns (folder, {relative path: kind name}). The caller removes the folder (remove_run_dir).
    """
    good = Path(good_run_dir)
    rng = random.Random(seed + round_number)
    folder = Path(tempfile.mkdtemp(prefix=f"throngwick-hostile-{round_number}-"))
    (folder / "image_data").mkdir()
    (folder / "audio").mkdir()

    def read(path):
        try:
            return Path(path).read_bytes()
        except OSError:
            return b""

    a_sound = read(good / "audio" / f"{SAMPLES[0]}.mp3")
    a_picture = read(good / "image_data" / "mouth0.tga")
    chosen = {}
    for name, (kind, maker) in assign(PICTURES, PICTURE_KINDS, round_number).items():
        relative = f"image_data/{name}.tga"
        maker(folder / relative, read(good / relative), a_sound, rng)
        chosen[relative] = kind
    sound_kinds = assign(SOUNDS, SOUND_KINDS, round_number)
    if music_kind is not None:
        sound_kinds[MUSIC] = next(k for k in SOUND_KINDS if k[0] == music_kind)
    for name, (kind, maker) in sound_kinds.items():
        relative = f"audio/{name}.mp3"
        maker(folder / relative, read(good / relative), a_picture, rng)
        chosen[relative] = kind
    return folder, chosen


def make_empty_run_dir():
    """A new temporary folder with neither image_data/ nor audio/."""
    return Path(tempfile.mkdtemp(prefix="throngwick-bare-"))


def make_linked_run_dir(good_run_dir):
    """A new temporary folder whose image_data/ and audio/ link to the good ones."""
    folder = Path(tempfile.mkdtemp(prefix="throngwick-run-"))
    for part in ("image_data", "audio"):
        os.symlink(Path(good_run_dir).resolve() / part, folder / part)
    return folder


def remove_run_dir(folder):
    shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    # Makes one folder to look at by hand: corrupt_assets.py GOOD_RUN_DIR [ROUND]
    import sys
    made, kinds = make_corrupt_run_dir(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 0)
    for path, kind in sorted(kinds.items()):
        print(f"{path:32} {kind}")
    print(made)
