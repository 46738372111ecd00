"""Where a screen switch's time goes: the trace of VelmoraTrace.exe (every
service call with its start and end) and the floor's trace (a mark after
each step), read into the same steps and printed side by side, medians in
milliseconds."""
import statistics

# The steps of each switch, as the floor marks them; a Velmora switch is
# found by its window calls in this order.
STEPS = {
    "via Loading": ["main hidden", "Loading shown", "main destroyed", "page created", "page shown",
                    "Loading hidden"],
    "direct": ["page created", "page shown", "main hidden", "main destroyed"],
    "return, unload first": ["page hidden", "page destroyed", "main shown"],
    "return, show first": ["page hidden", "main shown", "page destroyed"],
}
# The window calls of each switch ("P" the page, "M" the main window, "L" Loading).
PATTERNS = {
    "via Loading": [("hide", "M"), ("show", "L"), ("destroy", "M"), ("create", "P"), ("show", "P"), ("hide", "L")],
    "direct": [("create", "P"), ("show", "P"), ("hide", "M"), ("destroy", "M")],
    "return, unload first": [("hide", "P"), ("destroy", "P"), ("create", "M"), ("show", "M")],
    "return, show first": [("hide", "P"), ("create", "M"), ("show", "M"), ("destroy", "P")],
}
WINDOW_CALLS = {"create", "show", "hide", "destroy"}


def read_velmora(path):
    """[(start, end, service, call, form)] in order, each window call named by its form."""
    names, calls = {}, []
    with open(path) as f:
        for line in f:
            parts = line.split(" ", 4)
            if len(parts) < 4:
                continue
            start, end, service, call = int(parts[0]), int(parts[1]), parts[2], parts[3]
            what = parts[4].strip() if len(parts) > 4 else ""
            form = None
            if service == "windows" and call == "create":
                form, _, handle = what.partition("=")
                names[handle] = form
            elif service == "windows":
                form = names.get(what)
            calls.append((start, end, service, call, form))
    return calls


def role(form):
    return {"FormMain": "M", "Loading": "L"}.get(form, "P")


# Each step of a Velmora switch as the window calls it spans: from the start
# of one call to the end of another, or (None) to the start of the next
# call, so that the load step between a window's creation and its show
# counts with the creation, as the floor's mark does.
SPANS = {
    "via Loading": [(0, 0), (1, 1), (2, 2), (3, None), (4, 4), (5, 5)],
    "direct": [(0, None), (1, 1), (2, 2), (3, 3)],
    "return, unload first": [(0, 0), (1, 1), (2, 3)],
    "return, show first": [(0, 0), (1, 2), (3, 3)],
}


def velmora_switches(calls):
    """{switch kind: [{step: µs}]}, found by matching the window calls to the patterns."""
    windows = [i for i, c in enumerate(calls) if c[2] == "windows" and c[3] in WINDOW_CALLS]
    found = {kind: [] for kind in PATTERNS}
    k = 0
    while k < len(windows):
        for kind, pattern in PATTERNS.items():
            idx = windows[k:k + len(pattern)]
            got = [(calls[i][3], role(calls[i][4])) for i in idx]
            if got != pattern or calls[idx[0]][4] == "FormLoad":
                continue
            steps = {}
            for name, (first, last) in zip(STEPS[kind], SPANS[kind]):
                end = calls[idx[first + 1]][0] if last is None else calls[idx[last]][1]
                steps[name] = end - calls[idx[first]][0]
            steps["total"] = calls[idx[-1]][1] - calls[idx[0]][0]
            # What the load step between the creation and the show spent.
            create = [c for c, _ in pattern].index("create")
            inside = calls[idx[create] + 1:idx[create + 1]]
            steps["load step"] = calls[idx[create + 1]][0] - calls[idx[create]][1]
            steps["window creation"] = calls[idx[create]][1] - calls[idx[create]][0]
            steps["registry"] = sum(c[1] - c[0] for c in inside if c[2] == "registry")
            steps["layered-window calls"] = sum(c[1] - c[0] for c in inside if c[2] == "user32")
            steps["control changes"] = sum(c[1] - c[0] for c in inside if c[3] in ("control-changed", "form-changed"))
            found[kind].append(steps)
            k += len(pattern) - 1
            break
        k += 1
    return found


def floor_switches(path, open_kind):
    """{switch kind: [{step: µs}]} from the floor's marks."""
    back_kinds = {"via Loading": "return, unload first", "direct": "return, show first"}
    marks = []
    with open(path) as f:
        for line in f:
            micros, _, step = line.strip().partition(" ")
            marks.append((int(micros), step))
    found = {open_kind: [], back_kinds[open_kind]: []}
    i = 0
    while i < len(marks):
        if marks[i][1] != "switch":
            i += 1
            continue
        j = i + 1
        while j < len(marks) and marks[j][1] != "switch":
            j += 1
        names = [m[1] for m in marks[i + 1:j]]
        kind = open_kind if names == STEPS[open_kind] else back_kinds[open_kind]
        if names == STEPS[kind]:
            steps = {name: marks[i + 1 + n][0] - marks[i + n][0] for n, name in enumerate(names)}
            steps["total"] = marks[j - 1][0] - marks[i][0]
            found[kind].append(steps)
        i = j
    return found


def median_ms(samples, step):
    values = [s[step] for s in samples if step in s]
    return "%.2f" % (statistics.median(values) / 1000) if values else "-"


def report(velmora_path, floor_paths, loading_kind, direct_kind):
    try:
        velmora = velmora_switches(read_velmora(velmora_path))
    except OSError as e:
        print("bench: no trace from the trace build: %s" % e)
        return
    floor = {}
    for kind, path in floor_paths.items():
        try:
            floor.update(floor_switches(path, kind))
        except OSError as e:
            print("bench: no trace from the floor: %s" % e)
    print()
    print("bench: where each switch's time goes (ms, medians; Velmora's trace build beside the floor's marks)")
    for kind, steps in STEPS.items():
        v, f = velmora.get(kind, []), floor.get(kind, [])
        print("| %s (%d / %d switches) | floor | Velmora |" % (kind, len(f), len(v)))
        print("|---|---|---|")
        for step in steps + ["total"]:
            print("| %s | %s | %s |" % (step, median_ms(f, step), median_ms(v, step)))
        for step in ("window creation", "load step", "registry", "layered-window calls", "control changes"):
            print("| of which Velmora's %s | | %s |" % (step, median_ms(v, step)))
        print()
