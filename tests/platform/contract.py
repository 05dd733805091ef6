# Fails, naming each, on a GL, GLU or GLUT function that the shared code's objects call and the
# list of calls in platform/README.md leaves out, and on one it lists that nothing calls any more.
#   contract.py BUILD SOURCE NM     (BUILD holds compile_commands.json and the objects it names)
import json, os, re, shlex, subprocess, sys

build, source, nm = sys.argv[1:]
name = r"(?:gl|glu|glut)[A-Z]\w*"
called = {}  # each function called, and a shared source that calls it
for entry in json.load(open(os.path.join(build, "compile_commands.json"))):
    path, words = os.path.relpath(entry["file"], source), shlex.split(entry["command"])
    if path.split("/")[0] not in ("platform", "tools", "tests", "bench", "fuzz"):
        objects = os.path.join(entry["directory"], words[words.index("-o") + 1])
        undefined = subprocess.run([nm, "-u", "--format=just-symbols", objects], check=True,
                                   capture_output=True, text=True).stdout
        called.update((function, path) for function in re.findall(f"^{name}$", undefined, re.M))
contract = open(os.path.join(source, "platform", "README.md")).read()
listed = set(re.findall(f"`({name})`", contract.split("\n## The calls\n")[1].split("\n## ")[0]))
faults = [f"{path} calls {function}, which platform/README.md does not list"
          for function, path in sorted(called.items()) if function not in listed]
faults += [f"platform/README.md lists {function}, which no shared source calls"
           for function in sorted(listed - called.keys())]
print("\n".join(faults) or f"the {len(called)} GL, GLU and GLUT functions called are listed")
sys.exit(1 if faults else 0)
