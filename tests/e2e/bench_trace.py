"""Where a screen switch's time goes: the trace of VelmoraTrace.exe (every
service call with its start and end) and the trace of the page's matched
floor (a mark after each step), read into the same steps and printed side
by side per page and direction, medians in milliseconds, with the step
where Velmora spends most over the floor."""
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
    """{(switch kind, page form): [{step: µs}]}, found by matching the window
    calls to the patterns."""
    windows = [i for i, c in enumerate(calls) if c[2] == "windows" and c[3] in WINDOW_CALLS]
    found = {}
    k = 0
    while k < len(windows):
        for kind, pattern in PATTERNS.items():
            idx = windows[k:k + len(pattern)]
            got = [(calls[i][3], role(calls[i][4])) for i in idx]
            if got != pattern or calls[idx[0]][4] == "FormLoad":
                continue
            page = next(calls[i][4] for i, (_, r) in zip(idx, pattern) if r == "P")
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
            # The view's paints inside the show of the window switched to
            # (the page, or the main window going back): its WM_PAINTs.
            show = idx[next(n for n, (c, r) in enumerate(pattern) if c == "show" and r != "L")]
            steps["painting in its show"] = sum(c[1] - c[0] for c in calls if c[2] == "view" and
                                                  calls[show][0] <= c[0] and c[1] <= calls[show][1])
            found.setdefault((kind, page), []).append(steps)
            k += len(pattern) - 1
            break
        k += 1
    return found


def floor_switches(path, open_kind, back_kind):
    """{switch kind: [{step: µs}]} from the floor's marks."""
    marks = []
    with open(path) as f:
        for line in f:
            micros, _, step = line.strip().partition(" ")
            marks.append((int(micros), step))
    found = {open_kind: [], back_kind: []}
    i = 0
    while i < len(marks):
        if marks[i][1] != "switch":
            i += 1
            continue
        j = i + 1
        while j < len(marks) and marks[j][1] != "switch":
            j += 1
        names = [m[1] for m in marks[i + 1:j]]
        kind = open_kind if names == STEPS[open_kind] else back_kind
        if names == STEPS[kind]:
            steps = {name: marks[i + 1 + n][0] - marks[i + n][0] for n, name in enumerate(names)}
            steps["total"] = marks[j - 1][0] - marks[i][0]
            found[kind].append(steps)
        i = j
    return found


def median_us(samples, step):
    values = [s[step] for s in samples if step in s]
    return statistics.median(values) if values else None


def ms(micros):
    return "-" if micros is None else "%.2f" % (micros / 1000)


def report(velmora_path, floor_files, rows, missed):
    """Per page and direction, the trace build's steps beside the matched
    floor's, and the step where Velmora spends most over the floor.

    floor_files: {form: (path, open kind, back kind)}; rows: [(name, form,
    open kind, back kind)]; missed: the (name, "open"/"back") rows that
    missed their target, marked so."""
    try:
        velmora = velmora_switches(read_velmora(velmora_path))
    except OSError as e:
        print("bench: no trace from the trace build: %s" % e)
        return
    print()
    print("bench: where each switch's time goes (ms, medians; the trace build beside the page's matched floor; "
          "the floor's marks are taken after each step)")
    for name, form, open_kind, back_kind in rows:
        path, _, _ = floor_files[form]
        try:
            floor = floor_switches(path, open_kind, back_kind)
        except OSError as e:
            print("bench: no trace from the %s floor: %s" % (form, e))
            continue
        for direction, kind in (("open", open_kind), ("back", back_kind)):
            v, f = velmora.get((kind, form), []), floor.get(kind, [])
            flag = " MISSED" if (name, direction) in missed else ""
            print("| %s, %s (%s; %d floor / %d Velmora switches)%s | floor | Velmora | over the floor |"
                  % (name, direction, kind, len(f), len(v), flag))
            print("|---|---|---|---|")
            excess = {}
            for step in STEPS[kind] + ["total"]:
                fm, vm = median_us(f, step), median_us(v, step)
                over = None if fm is None or vm is None else vm - fm
                if step != "total" and over is not None:
                    excess[step] = over
                print("| %s | %s | %s | %s |" % (step, ms(fm), ms(vm), "-" if over is None else "%+.2f" % (over / 1000)))
            for step in ("window creation", "load step", "registry", "layered-window calls", "control changes",
                         "painting in its show"):
                vm = median_us(v, step)
                if vm is not None and (step in ("window creation", "load step") or vm > 0):
                    print("| of which Velmora's %s | | %s | |" % (step, ms(vm)))
            worst = max(excess, key=excess.get) if excess else None
            if worst and excess[worst] > 0:
                print("Velmora's own: %s, %+.2f ms over the floor's same step" % (worst, excess[worst] / 1000))
            elif worst:
                print("Velmora's own: none, no step takes longer than the floor's")
            print()
