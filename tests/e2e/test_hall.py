"""The hall: entering it from the title, the light shaft that follows the mouse, and the point
that a left click on the floor reports."""

import time

import harness as h

# Floor spots (window pixels) well inside the front floor in the start-up view.
LEFT_SPOT = (250, 420)
RIGHT_SPOT = (780, 420)


def shaft_band(x):
    """The part of the backdrop that a light shaft standing over the floor at column x lights."""
    return (x - 40, 0, x + 40, 300)


def body(arguments, checks):
    with h.Program(arguments, faketime=h.CROWD_TIME) as program:
        h.wait_until_loaded(program)
        title, drawn = h.wait_for_title_drawn(program)
        checks.require("the title picture shows", drawn)

        # The left release that enters the hall lands on the floor: it must not pick.
        h.enter_hall(program, checks, title, click_at=(512, 400), what="a left click on the floor")
        time.sleep(1.0)
        checks.check("the click that enters the hall prints no point",
                     program.output_lines() == h.LOADING_LINES, f"{program.output_lines()[3:]}")

        # The light shaft follows the mouse over the floor.
        program.move(*LEFT_SPOT)
        left, _ = program.wait_for_picture(
            lambda image: image.brightness(shaft_band(LEFT_SPOT[0])) >
            image.brightness(shaft_band(RIGHT_SPOT[0])) + 8.0, 10)
        program.move(*RIGHT_SPOT)
        right, _ = program.wait_for_picture(
            lambda image: image.brightness(shaft_band(RIGHT_SPOT[0])) >
            image.brightness(shaft_band(LEFT_SPOT[0])) + 8.0, 10)
        over_left = (left.brightness(shaft_band(LEFT_SPOT[0])),
                     right.brightness(shaft_band(LEFT_SPOT[0])))
        over_right = (right.brightness(shaft_band(RIGHT_SPOT[0])),
                      left.brightness(shaft_band(RIGHT_SPOT[0])))
        checks.check("a light shaft stands over the floor under the cursor on the left",
                     over_left[0] > over_left[1] + 8.0,
                     f"brightness above the spot {over_left[0]:.1f} with the cursor there, "
                     f"{over_left[1]:.1f} with it on the right")
        checks.check("the light shaft moves with the cursor to the right",
                     over_right[0] > over_right[1] + 8.0,
                     f"brightness above the spot {over_right[0]:.1f} with the cursor there, "
                     f"{over_right[1]:.1f} with it on the left")
        middle = h.WINDOW_WIDTH // 2
        checks.check("away from the shaft the backdrop stays as it was",
                     left.differs(right, (middle - 100, 0, middle + 100, 280)) < 0.01)
        path = right.save_png(f"{arguments.screenshots}/hall.png")
        checks.note(f"saved {path}")

        # Right and middle clicks on the floor do nothing.
        program.click(*RIGHT_SPOT, button=3)
        program.click(*RIGHT_SPOT, button=2)
        time.sleep(1.5)
        after = program.screenshot()
        checks.check("right and middle clicks on the floor print nothing and leave the view",
                     program.output_lines() == h.LOADING_LINES and
                     after.differs(right, h.HALL) < 0.01,
                     f"{program.output_lines()[3:]}, {after.differs(right, h.HALL):.1%} of the "
                     f"backdrop changed")

        # A left click on the floor reports the near-plane point of the ray under the cursor.
        # One pixel moves that point by 4e-4 across and 2e-4 up: a tolerance of 1e-4 tells
        # neighbouring pixels apart.
        spot = (300, 440)
        program.click(*spot)
        found = program.wait_for_line(h.PICK_LINE.pattern, 10, start=len(h.LOADING_LINES))
        checks.require("a left click on the floor prints one line 'X:%f Y:%f Z:%f '",
                       found is not None and found[0] == len(h.LOADING_LINES),
                       f"{program.output_lines()[3:]}")
        index, match = found
        reported = tuple(float(value) for value in match.groups())
        expected = h.start_view_near_point(*spot)
        deviation = max(abs(a - b) for a, b in zip(reported, expected))
        checks.check(f"the printed point is the near-plane point under pixel {spot}",
                     deviation < 1e-4,
                     f"printed {reported}, expected ({expected[0]:.6f}, {expected[1]:.6f}, "
                     f"{expected[2]:.6f}), off by {deviation:.1e}")

        h.finish(program, checks, "in the hall")


if __name__ == "__main__":
    h.run_script("test_hall", __doc__, body)
