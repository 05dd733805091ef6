"""The crowd a seed gives, computed the way the program computes it, for end-to-end checks."""

import math
import struct


def f32(value):
    """Rounds to single precision."""
    return struct.unpack("f", struct.pack("f", value))[0]


class Generator:
    """The program's linear congruential generator."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def draw(self):
        self.state = (self.state * 214013 + 2531011) & 0xFFFFFFFF
        return (self.state >> 16) & 0x7FFF


def cell_of(x, z):
    if x == 100.0:
        x = f32(99.9)
    if z == 100.0:
        z = f32(99.9)
    column = f32(x + 100.0) * 1000.0 * f32(0.00005)
    row = f32(f32(z + 0.0) * 1000.0 * f32(0.0001))
    return min(max(int(column), 0), 9), min(max(int(row), 0), 9)


class Person:
    def __init__(self, head, face_kind):
        self.head = head
        self.face_kind = face_kind


def crowd(seed, size=500):
    """People in the order they are created, each with its head position."""
    rng = Generator(seed)
    for _ in range(10):  # the ten fires' frame times
        rng.draw()
    people = []
    for _ in range(size):
        base = rng.draw() % 6
        away = (lambda offset: min(base + offset, 5)) if base >= 3 else (lambda offset: max(base - offset, 0))
        away(rng.draw() % 3)  # body kind
        face = away(rng.draw() % 3)
        x = f32(float(rng.draw() % 20000 - 10000) * f32(0.01))
        z = f32(float(rng.draw() % 10000) * f32(0.01))
        for _ in range(7):  # bob rate and phase, gun side, two timers, fire index and look
            rng.draw()
        y = {2: -2.5, 1: -1.5}.get(face, 0.0)
        people.append(Person((x, y, z), face))
    return people


def grid(people):
    cells = {}
    for person in people:
        cells.setdefault(cell_of(person.head[0], person.head[2]), []).append(person)
    return cells


def distance(a, b):
    return math.sqrt(sum((p - q) ** 2 for p, q in zip(a, b)))


def nearest_in_cell(cells, point):
    """The person a pick at this floor point selects, or None for an empty cell."""
    candidates = cells.get(cell_of(point[0], point[2]), [])
    best = None
    for person in candidates:
        if best is None or distance(person.head, point) < distance(best.head, point):
            best = person
    return best
