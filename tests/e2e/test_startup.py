"""Start-up as a user sees it: the window, the loading lines, the title picture, and Esc."""

import time

import harness as h


def body(arguments, checks):
    with h.Program(arguments) as program:
        h.wait_until_loaded(program)
        checks.check("the loading lines come in order", program.output_lines()[:3] ==
                     h.LOADING_LINES, f"{program.output_lines()[:3]}")

        checks.check("the window is titled 'Throngwick'", program.window_title() == h.WINDOW_TITLE,
                     repr(program.window_title()))
        checks.check("the window is 1024 by 512 pixels",
                     program.size == (h.WINDOW_WIDTH, h.WINDOW_HEIGHT),
                     f"{program.size[0]}x{program.size[1]} at {program.origin}")

        title, drawn = h.wait_for_title_drawn(program)
        checks.require("the title picture shows (the window is not black)", drawn,
                       f"mean brightness {title.brightness():.1f}")
        half_w, half_h = h.WINDOW_WIDTH // 2, h.WINDOW_HEIGHT // 2
        quarters = [(0, 0, half_w, half_h), (half_w, 0, h.WINDOW_WIDTH, half_h),
                    (0, half_h, half_w, h.WINDOW_HEIGHT),
                    (half_w, half_h, h.WINDOW_WIDTH, h.WINDOW_HEIGHT)]
        dim = [round(title.brightness(q), 1) for q in quarters]
        checks.check("the title picture covers every quarter of the window",
                     all(value > 10.0 for value in dim), f"mean brightness {dim}")
        # 300 by 150 world units at 145 units from the eye: about 3 pixels short of the window's
        # sides and top, down to its bottom edge.
        right_margin = title.brightness((h.WINDOW_WIDTH - 2, 0, h.WINDOW_WIDTH, h.WINDOW_HEIGHT))
        inside_right = title.brightness((h.WINDOW_WIDTH - 12, 0, h.WINDOW_WIDTH - 8,
                                         h.WINDOW_HEIGHT))
        bottom_row = title.brightness((0, h.WINDOW_HEIGHT - 2, h.WINDOW_WIDTH, h.WINDOW_HEIGHT))
        checks.check("the title leaves a thin black margin at the right and reaches the bottom",
                     right_margin < 2.0 and inside_right > 5.0 and bottom_row > 5.0,
                     f"right edge {right_margin:.1f}, 10 pixels in {inside_right:.1f}, "
                     f"bottom row {bottom_row:.1f}")
        path = title.save_png(f"{arguments.screenshots}/title.png")
        checks.note(f"saved {path}")

        time.sleep(1.0)
        later = program.screenshot()
        changed = later.differs(title, threshold=8)
        checks.check("nothing moves on the title screen", changed == 0.0,
                     f"{changed:.2%} of the pixels changed in a second")

        # A key that is no command, and command keys, change nothing on the title screen.
        for key in ("a", "1", "2", "3"):
            program.key(key)
        time.sleep(1.0)
        after_keys = program.screenshot()
        changed = after_keys.differs(title, threshold=8)
        checks.check("keys a, 1, 2 and 3 leave the title screen as it was",
                     changed == 0.0 and program.running(), f"{changed:.2%} of the pixels changed")

        h.finish(program, checks, "on the title screen")
        extra = program.output_lines()[3:]
        checks.check("nothing else is written on standard output", not extra, f"{extra}")


if __name__ == "__main__":
    h.run_script("test_startup", __doc__, body)
