"""With the calendar time fixed from outside, a click on the floor makes the camera travel to the
person the seed puts nearest the clicked point in its cell, and stop within 25 units of them."""

import subprocess
import tempfile
from pathlib import Path

import harness
from crowd_model import crowd, distance, grid, nearest_in_cell

SEED = 1767225600  # 2026-01-01 00:00:00 UTC
ARRIVAL = 25.0

# Only the calendar time is fixed: GLUT's clock must run, or nothing would ever move.
FIXED_TIME_SOURCE = """
#include <stdlib.h>
#include <time.h>
time_t time(time_t* out) {
    const time_t fixed = (time_t)atoll(getenv("THRONGWICK_FIXED_TIME"));
    if (out)
        *out = fixed;
    return fixed;
}
"""


def fixed_time_library(folder):
    source = Path(folder) / "fixed_time.c"
    library = Path(folder) / "fixed_time.so"
    source.write_text(FIXED_TIME_SOURCE)
    subprocess.run(["cc", "-shared", "-fPIC", "-O2", "-o", str(library), str(source)], check=True)
    return str(library)


def on_cell_boundary(point, margin=0.3):
    return (point[0] + 100.0) % 20.0 < margin or (point[0] + 100.0) % 20.0 > 20.0 - margin or \
        point[2] % 10.0 < margin or point[2] % 10.0 > 10.0 - margin


def choose_spot(cells):
    """A floor pixel whose cell holds people, preferably one where someone in a neighbouring cell
    stands nearer the click than everybody in its own cell."""
    best = None
    for y in range(330, 460, 4):
        for x in range(200, 830, 8):
            point = harness.start_view_floor_point(x, y)
            if not (0.0 < point[2] < 100.0) or on_cell_boundary(point):
                continue
            picked = nearest_in_cell(cells, point)
            if picked is None:
                continue
            everyone = [person for people in cells.values() for person in people]
            nearest = min(everyone, key=lambda person: distance(person.head, point))
            if nearest is not picked and distance(nearest.head, picked.head) > 10.0:
                return (x, y), picked, nearest, point
            best = best or ((x, y), picked, None, point)
    return best


def body(arguments, checks):
    cells = grid(crowd(SEED))
    chosen = choose_spot(cells)
    checks.require("some floor spot of the start-up view picks a person", chosen is not None)
    spot, picked, nearer, floor = chosen
    checks.note(f"clicking {spot}, floor point ({floor[0]:.2f}, {floor[2]:.2f}); the seed puts "
                f"the person at {picked.head} nearest in its cell")

    with tempfile.TemporaryDirectory() as folder:
        environment = {"LD_PRELOAD": fixed_time_library(folder), "THRONGWICK_FIXED_TIME": str(SEED)}
        with harness.Program(arguments, extra_env=environment) as program:
            visit(program, checks, spot, picked, nearer)


def visit(program, checks, spot, picked, nearer):
    harness.wait_until_loaded(program)
    title, drawn = harness.wait_for_title_drawn(program)
    checks.require("the title shows", drawn)
    harness.enter_hall(program, checks, title)

    lines = len(program.output_lines())
    program.click(*spot)
    checks.require("the click on the floor prints its point",
                   program.wait_for_line(harness.PICK_LINE.pattern, 10, start=lines) is not None)
    image, arrived = program.wait_for_picture(harness.card_shown, 90)
    checks.require("the camera arrives and the card swings in", arrived,
                   f"card region colour {harness.card_colour(image)}")

    arrived_at = None
    for second in (spot, (spot[0], 500), (512, 505)):
        lines = len(program.output_lines())
        program.click(*second)
        found = program.wait_for_line(harness.PICK_LINE.pattern, 5, start=lines)
        if found:
            arrived_at = tuple(float(value) for value in found[1].groups())
            break
    checks.require("a second click prints the near-plane point of the arrived view",
                   arrived_at is not None)
    # The travel ends on the first frame within 25 units, after one last step toward the person.
    checks.check("the view stopped within 25 units of the person the seed puts nearest the click "
                 "in its cell", distance(arrived_at, picked.head) < ARRIVAL,
                 f"eye near {arrived_at}, {distance(arrived_at, picked.head):.1f} units away")
    if nearer:
        checks.check("not at the nearer person standing in a neighbouring cell",
                     distance(arrived_at, nearer.head) > distance(arrived_at, picked.head),
                     f"{distance(arrived_at, nearer.head):.1f} units from them")

    status = program.quit_with_escape()
    checks.check("Esc ends the program with status 0", status == 0, f"status {status}")
    checks.check("no sanitizer report", not program.sanitizer_reports(),
                 "; ".join(program.sanitizer_reports()[:3]))


if __name__ == "__main__":
    harness.run_script("pick_seeded", __doc__, body)
