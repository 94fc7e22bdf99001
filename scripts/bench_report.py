#!/usr/bin/env python3
"""Helper of scripts/bench.sh.

  bench_report.py menu PROGRAM RUNS OUT.json
      starts PROGRAM RUNS times on $DISPLAY and times each start until the main menu window
      is mapped; writes the times and the program's peak memory at the menu
  bench_report.py fsync DIR OUT.json
      times 30 syncs of a small file in DIR
  bench_report.py report RESULTS_DIR OUT.md
      writes the performance report from the results bench.sh collected
  bench_report.py exam RESULTS_DIR
      prints the mock exams' targets and section alone, from RESULTS_DIR/exam.json
  bench_report.py record-section RESULTS_DIR
      prints the learning record's section and targets alone (after a run of bench_record only)
"""

import json
import os
import re
import statistics
import subprocess
import sys
import time

MENU_TITLE = "学科練習システム"

# ---------------------------------------------------------------------------------------------
# Start to the main menu


def peak_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def menu(program, runs, out):
    env = dict(os.environ)
    env.pop("QT_QPA_PLATFORM", None)
    times, peaks = [], []
    for _ in range(runs):
        start = time.perf_counter()
        proc = subprocess.Popen([program], env=env, cwd=os.path.dirname(program),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shown = None
        try:
            while time.perf_counter() - start < 30:
                found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", MENU_TITLE],
                                       capture_output=True, text=True)
                if found.returncode == 0 and found.stdout.strip():
                    shown = time.perf_counter() - start
                    break
                if proc.poll() is not None:
                    break
            if shown is not None:
                time.sleep(0.5)   # settled at the menu
                peaks.append(peak_kb(proc.pid))
        finally:
            proc.terminate()
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
        if shown is None:
            code = proc.returncode
            print(f"the main menu did not appear (display {os.environ.get('DISPLAY')}, "
                  f"program exit status {code})", file=sys.stderr)
            return 1
        times.append(shown)
        time.sleep(0.3)
    with open(out, "w") as f:
        json.dump({"seconds": times, "peak_kb": peaks}, f)
    return 0


# ---------------------------------------------------------------------------------------------
# The disk's sync time, which bounds every write-back


def fsync_probe(directory, out):
    path = os.path.join(directory, "fsync-probe.tmp")
    fd = os.open(path, os.O_CREAT | os.O_WRONLY | os.O_TRUNC)
    times = []
    try:
        for _ in range(30):
            os.write(fd, b"x" * 4096)
            start = time.perf_counter()
            os.fsync(fd)
            times.append(time.perf_counter() - start)
    finally:
        os.close(fd)
        os.remove(path)
    with open(out, "w") as f:
        json.dump({"seconds": times}, f)
    return 0


# ---------------------------------------------------------------------------------------------
# Reading the results

UNIT = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def parse_name(run_name):
    parts = run_name.split("/")
    family = parts[0]
    args = {}
    for p in parts[1:]:
        if ":" in p:
            k, v = p.split(":", 1)
            if k not in ("iterations", "repeats", "min_time"):
                args[k] = int(v)
    return family, args


class Results:
    def __init__(self, path):
        self.rows = {}      # (family, frozen args) -> {"real": s, "cpu": s, "cv": ...}
        self.errors = []
        self.context = {}
        if not os.path.exists(path):
            return
        with open(path) as f:
            data = json.load(f)
        self.context = data.get("context", {})
        for b in data.get("benchmarks", []):
            run = b.get("run_name", b["name"])
            family, args = parse_name(run)
            key = (family, tuple(sorted(args.items())))
            if b.get("error_occurred"):
                self.errors.append(f"{run}: {b.get('error_message', '')}")
                continue
            agg = b.get("aggregate_name")
            if agg is None:
                continue
            unit = UNIT[b.get("time_unit", "ns")]
            entry = self.rows.setdefault(key, {"label": b.get("label", "")})
            if agg == "median":
                entry["real"] = b["real_time"] * unit
                entry["cpu"] = b["cpu_time"] * unit
                entry["counters"] = {k: v for k, v in b.items() if k in ("restarts", "figures_decoded", "png_KB", "bank_MB")}
                entry["repetitions"] = b.get("repetitions")
            elif agg == "cv":
                entry["cv"] = b["real_time"]
            if b.get("label"):
                entry["label"] = b["label"]

    def get(self, family, **args):
        e = self.rows.get((family, tuple(sorted(args.items()))))
        return e if e and "real" in e else None

    def real(self, family, **args):
        e = self.get(family, **args)
        return e["real"] if e else None


def fmt_time(s):
    if s is None:
        return "—"
    if s >= 1:
        return f"{s:.2f} s"
    if s >= 1e-3:
        return f"{s * 1e3:.3g} ms" if s * 1e3 < 100 else f"{s * 1e3:.0f} ms"
    return f"{s * 1e6:.3g} µs" if s * 1e6 < 100 else f"{s * 1e6:.0f} µs"


def fmt_ratio(a, b):
    if a is None or b is None or b == 0:
        return "—"
    r = a / b
    if r >= 100:
        return f"{r:,.0f}×"
    if r >= 10:
        return f"{r:.0f}×"
    return f"{r:.2g}×"


def fmt_cv(e):
    if not e or e.get("cv") is None:
        return "—"
    return f"{e['cv'] * 100:.0f} %"


def table(header, rows):
    out = ["| " + " | ".join(header) + " |", "|" + "|".join("---" for _ in header) + "|"]
    for r in rows:
        out.append("| " + " | ".join(str(c) for c in r) + " |")
    return "\n".join(out)


def read_kv(path):
    kv = {}
    if os.path.exists(path):
        with open(path) as f:
            for line in f:
                if "=" in line:
                    k, v = line.rstrip("\n").split("=", 1)
                    kv[k] = v
    return kv


def time_v_peak_kb(path):
    if not os.path.exists(path):
        return None
    with open(path) as f:
        m = re.search(r"Maximum resident set size \(kbytes\): (\d+)", f.read())
    return int(m.group(1)) if m else None


def read_int(path):
    try:
        with open(path) as f:
            return int(f.read().strip())
    except (OSError, ValueError):
        return None


def fsync_median(results_dir):
    path = os.path.join(results_dir, "fsync.json")
    if not os.path.exists(path):
        return None
    with open(path) as f:
        return statistics.median(json.load(f)["seconds"])


def fsync_text(results_dir):
    m = fsync_median(results_dir)
    return f"one fsync of a 4 KB write on the benchmarks' disk: {fmt_time(m)} (median of 30)" if m else "?"


def bank_name(q, fig):
    return f"{q:,} questions" + (", figures" if fig else "")


# ---------------------------------------------------------------------------------------------
# The report


class Target:
    def __init__(self, what, measured, limit, shown, limit_shown, lower_is_better=True, note=""):
        self.what, self.measured, self.limit = what, measured, limit
        self.shown, self.limit_shown, self.note = shown, limit_shown, note
        self.lower = lower_is_better

    @property
    def known(self):
        return self.measured is not None and self.limit is not None

    @property
    def met(self):
        if not self.known:
            return None
        return self.measured <= self.limit if self.lower else self.measured >= self.limit

    def verdict(self):
        if not self.known:
            return "not measured"
        if self.met:
            return "met"
        ratio = self.measured / self.limit
        shown = f"{ratio:.2f}" if ratio < 10 else f"{ratio:.0f}"
        if self.lower:
            return f"missed, {shown}× the limit"
        return f"missed, {shown}× of the goal"


def report(results_dir, out_path):
    r = Results(os.path.join(results_dir, "drill.json"))
    machine = read_kv(os.path.join(results_dir, "machine.txt"))
    md = []
    w = md.append

    w("# Performance")
    w("")
    w("Generated by `scripts/bench.sh` from the benchmarks in `bench/`; do not edit by hand, run the "
      "script again. Times are medians over repetitions, measured side by side in one run.")
    w("")

    # -- Machine --------------------------------------------------------------------------------
    w("## Machine")
    w("")
    rows = [
        ("Processor", f"{machine.get('cpu', '?')}, {machine.get('cores', '?')} cores"
                      + (f" ({machine['virtualisation']} guest)" if machine.get("virtualisation") else "")),
        ("Caches", machine.get("caches", "?")),
        ("Memory", machine.get("memory", "?")),
        ("System", f"{machine.get('os', '?')}, kernel {machine.get('kernel', '?')}"),
        ("Compiler", machine.get("compiler", "?")),
        ("Build", f"{machine.get('build_type', '?')} ({machine.get('cxx_flags_release', '').strip()})"),
        ("Qt", machine.get("qt", "?")),
        ("SQLite", machine.get("sqlite", "?")),
        ("Google Benchmark", machine.get("benchmark", "?")),
        ("Disk sync", fsync_text(results_dir)),
        ("Commit", machine.get("commit", "?")),
        ("Run", f"{machine.get('date', '?')}; load average {machine.get('load_before', '?')} before, "
                f"{machine.get('load_after', '?')} after"),
    ]
    w(table(["", ""], rows))
    w("")

    # -- Method ---------------------------------------------------------------------------------
    w("## Method")
    w("")
    w(f"- Every benchmark runs {machine.get('repetitions', '?')} repetitions (the loop of tries in its "
      "worst case: 3 repetitions of one search each); a table gives the median of the repetitions' "
      "wall-clock times and, where it helps, the CPU time and the coefficient of variation (cv). "
      "The machine's two cores are shared with other work: the load average above says how busy "
      "it was, and wall-clock medians above the CPU medians show time spent waiting for a core.")
    w("- Banks are generated by the benchmark from a fixed seed, at 1,000 and 9,999 questions, "
      "with no figure or with the same noisy 433 × 369 PNG of about 30 KB on every question; "
      "texts are EUC-JP runs of traffic-rule phrases of 40 to 255 bytes; settled counts are spread "
      "over 0..200, answer counts up to 40 above them, difficulties 0..105 as the counts give them; "
      "3 % of the questions are outside the stage (KariHon 0). Histories hold 20 or 2,000 answers.")
    w("- The worst case of the search: every settled count raised by 200 and the search started at "
      "level 100 with the pass limit at 0, so the loop of tries climbs the limit from 0 to 200 "
      "(201 passes of 102 filters over the whole bank). The ordinary case: level 15, limit 0.")
    w("- The pupil's actions run the drill's own session (drill::Session, which the question "
      "window's handlers call) on the table store: judging = Edit, the four counters, Post, the history record, the advice "
      "filter; \"次の問題\" = the level move over the last 20 answers, the search, the \"Bango = \" "
      "filter. The simulated pupil answers nine in ten right. The views' work (drawing, decoding "
      "the figure) is not part of these figures; decoding one figure is measured on its own. The "
      "table store leaves the pictures in the bank file until a view asks for one; the review's "
      "*with views* figures include reading each shown picture from the file.")
    w("- Peers, run in the same process on the same data: the loop of tries (each try builds the "
      "filter text, parses it and filters the whole bank; the reference behaviour, checked to leave "
      "the same filter, question and pass limit before it is timed); the same selection as one "
      "prepared SQLite query on a copy of the bank file with an index on Nani and a 256 MB page "
      "cache (checked to pick the same question); one plain pass over three int32 columns "
      "(Nani, NKaisu, KariHon) copied out of the bank, the memory-bandwidth floor; and the drill's "
      "search computed over those columns (checked too), what a column layout would give.")
    w("- Drill start and end are timed around the steps alone (the history is put back and the "
      "drill replayed between timings); the files live on the machine's disk (ext4).")
    w("- Start to the main menu: the built program started with a settings file naming a data "
      "directory, under Xvfb, timed until `xdotool search --onlyvisible --name 学科練習システム` "
      "finds the window mapped (polling costs a few milliseconds of resolution).")
    w("- Peak memory: `/usr/bin/time -v` of `bench_memory drill`, which opens the three tables, "
      "answers 20 questions and closes them, on a bank of 9,999 questions with figures (no view: "
      "no picture is read from the file).")
    w("")

    if r.errors:
        w("**Benchmarks that reported an error:**")
        w("")
        for e in r.errors:
            w(f"- {e}")
        w("")

    # -- Targets --------------------------------------------------------------------------------
    targets = []

    def worst_of(family, pairs):
        best = None
        for args in pairs:
            t = r.real(family, **args)
            if t is not None and (best is None or t > best[0]):
                best = (t, args)
        return best

    action_cfgs = lambda q: [dict(q=q, fig=f, hist=h, worst=wc) for f in (0, 1) for h in (20, 2000) for wc in (0, 1)]
    for q, limit in ((1000, 0.5e-3), (9999, 200e-6)):
        wst = worst_of("BM_Action", action_cfgs(q))
        desc = ""
        if wst:
            a = wst[1]
            desc = f"slowest: {'figures' if a['fig'] else 'no figures'}, history {a['hist']}, {'worst case' if a['worst'] else 'ordinary case'}"
        targets.append(Target(f"One pupil action (judging + 次の問題), {q:,} questions", wst[0] if wst else None,
                              limit, fmt_time(wst[0]) if wst else "—", "≤ " + fmt_time(limit), note=desc))
    def loop_over(what, literal, ours, worst, goal):
        """The loop of tries' time over ours, the lower of the two banks, as a target of at least GOAL."""
        ratios = []
        for fig in (0, 1):
            lit = r.real(literal, q=9999, fig=fig, worst=worst)
            one = r.real(ours, q=9999, fig=fig, worst=worst)
            if lit and one:
                ratios.append((lit / one, fig))
        low = min(ratios) if ratios else None
        targets.append(Target(what, low[0] if low else None, goal, fmt_ratio(low[0], 1) if low else "—",
                              f"≥ {goal}× faster", lower_is_better=False,
                              note=f"the lower of the two banks ({'figures' if low and low[1] else 'no figures'})" if low else ""))

    loop_over("次の問題 against the loop of tries, 9,999 questions, worst case", "BM_NextLiteral", "BM_Next", 1, 100)
    loop_over("The search against the loop of tries, 9,999 questions, ordinary case", "BM_SearchLiteral", "BM_Search", 0, 3)
    scans = []
    for fig in (0, 1):
        s = r.real("BM_Search", q=9999, fig=fig, worst=1)
        c = r.real("BM_ColumnScan", q=9999, fig=0, worst=1)
        if s and c:
            scans.append((s / c, fig))
    high = max(scans) if scans else None
    targets.append(Target("The search against one plain scan of three int32 columns, 9,999 questions, worst case",
                          high[0] if high else None, 3, fmt_ratio(high[0], 1) if high else "—", "≤ 3×",
                          note=f"the search as the drill runs it (scan and filter applied); the higher of the two banks ({'figures' if high and high[1] else 'no figures'})" if high else ""))
    for fig, limit in ((0, 30e-3), (1, 30e-3)):
        wst = worst_of("BM_DrillStart", [dict(q=9999, fig=fig, hist=h) for h in (20, 2000)])
        targets.append(Target(f"Drill start, 9,999 questions, {'figures' if fig else 'no figures'}",
                              wst[0] if wst else None, limit, fmt_time(wst[0]) if wst else "—", "≤ " + fmt_time(limit),
                              note=f"history of {wst[1]['hist']} before the drill" if wst else ""))
    wst = worst_of("BM_DrillEnd", [dict(q=9999, fig=1, hist=h, ans=50) for h in (20, 2000)])
    targets.append(Target("Drill end after 50 answers, 9,999 questions with figures", wst[0] if wst else None, 10e-3,
                          fmt_time(wst[0]) if wst else "—", "≤ 10 ms",
                          note=f"history of {wst[1]['hist']} before the drill" if wst else ""))

    menu_path = os.path.join(results_dir, "menu.json")
    menu_data = None
    if os.path.exists(menu_path):
        with open(menu_path) as f:
            menu_data = json.load(f)
    menu_median = statistics.median(menu_data["seconds"]) if menu_data else None
    skipped = read_kv(os.path.join(results_dir, "menu-skipped.txt")).get("status")
    targets.append(Target("Start to the main menu on screen", menu_median, 0.3,
                          fmt_time(menu_median) if menu_median else "—", "≤ 300 ms",
                          note=f"median of {len(menu_data['seconds'])} starts" if menu_data else f"skipped: {skipped}" if skipped else ""))

    progress_data = None
    progress_path = os.path.join(results_dir, "progress.json")
    if os.path.exists(progress_path):
        with open(progress_path) as f:
            progress_data = json.load(f)
    progress_median = statistics.median(progress_data["seconds"]) if progress_data else None
    progress_skipped = read_kv(os.path.join(results_dir, "progress-skipped.txt")).get("status")
    targets.append(Target("学習記録 opened on 100,000 answers over 300 sessions, to the first full paint",
                          progress_median, 0.3,
                          fmt_time(progress_median) if progress_median else "—", "≤ 300 ms",
                          note=f"median of {len(progress_data['seconds'])} openings" if progress_data
                          else f"skipped: {progress_skipped}" if progress_skipped else ""))

    bank_bytes = read_int(os.path.join(results_dir, "memory-full-figures-bank.txt"))
    peak = time_v_peak_kb(os.path.join(results_dir, "memory-full-figures-time.txt"))
    mem_limit = 40e6
    targets.append(Target("Peak memory of a drill, 9,999 questions with figures", peak * 1024 if peak else None,
                          mem_limit, f"{peak * 1024 / 1e6:.0f} MB" if peak else "—", "≤ 40 MB"))
    rec = Results(os.path.join(results_dir, "record.json"))
    targets.extend(record_targets(rec))

    exam_targets, exam_lines = exam_part(results_dir)
    targets += exam_targets

    w("## Targets")
    w("")
    w(table(["Target", "Measured (median)", "Goal", "Verdict", "Note"],
            [(t.what, t.shown, t.limit_shown, t.verdict(), t.note) for t in targets]))
    w("")

    # -- Search ---------------------------------------------------------------------------------
    w("## The question search")
    w("")
    w("One search, from the start level to the question made current. *Search* is the drill's "
      "one-scan search as the drill runs it (the scan, then the filter of the successful try applied "
      "to the bank); *scan only* leaves out applying the filter. Ratios are the peer's time over "
      "the search's.")
    w("")
    rows = []
    for worst in (0, 1):
        for q in (1000, 9999):
            for fig in (0, 1):
                s = r.get("BM_Search", q=q, fig=fig, worst=worst)
                sv = s["real"] if s else None
                comp = r.real("BM_SearchCompute", q=q, fig=fig, worst=worst)
                lit = r.real("BM_SearchLiteral", q=q, fig=fig, worst=worst)
                sql = r.real("BM_SearchSqlite", q=q, fig=fig, worst=worst)
                col = r.real("BM_ColumnScan", q=q, fig=0, worst=worst)
                cs = r.real("BM_ColumnSearch", q=q, fig=0, worst=worst)
                rows.append((("worst" if worst else "ordinary"), bank_name(q, fig), fmt_time(sv), fmt_cv(s),
                             fmt_time(comp), fmt_time(lit), fmt_ratio(lit, sv), fmt_time(sql), fmt_ratio(sql, sv),
                             fmt_time(col), fmt_ratio(sv, col), fmt_time(cs)))
    w(table(["Case", "Bank", "Search", "cv", "Scan only", "Loop of tries", "Loop ÷ search", "SQLite query",
             "SQLite ÷ search", "Column scan (floor)", "Search ÷ floor", "Search over columns"], rows))
    w("")
    for fig in (0, 1):
        sv = r.real("BM_Search", q=9999, fig=fig, worst=0)
        lit = r.real("BM_SearchLiteral", q=9999, fig=fig, worst=0)
        if sv and lit and lit < sv:
            w(f"In the ordinary case on the full bank{' with figures' if fig else ''} the loop of tries "
              f"({fmt_time(lit)}) beats the one-scan search ({fmt_time(sv)}): it finds a question within "
              "a try or two, each one filter over the bank, while the one-scan search always pays its scan "
              "and then the filter. The one-scan search bounds the worst case; the ordinary case costs it "
              "one scan more.")
            w("")
            break
    found = r.get("BM_Search", q=9999, fig=0, worst=1)
    if found and found.get("label"):
        w(f"Where the searches stop (9,999 questions, worst case): {found['label']}.")
        w("")
    plan = r.get("BM_SearchSqlite", q=9999, fig=0, worst=1)
    if plan and plan.get("label"):
        w(f"SQLite's plan: `{plan['label'].strip()}`")
        w("")

    # -- Pupil action ---------------------------------------------------------------------------
    w("## One pupil action")
    w("")
    w("Judging one answer, \"次の問題\", and the two together (one action as the pupil sees it). "
      "In the worst case every \"次の問題\" starts at level 100 with the pass limit at 0 on the bank "
      "whose lowest settled count is 200.")
    w("")
    rows = []
    for q in (1000, 9999):
        for fig in (0, 1):
            for hist in (20, 2000):
                for worst in (0, 1):
                    a = r.get("BM_Action", q=q, fig=fig, hist=hist, worst=worst)
                    j = r.get("BM_Judge", q=q, fig=fig, hist=hist)
                    n = r.get("BM_Next", q=q, fig=fig, worst=worst) if hist == 20 else None
                    restarts = a["counters"].get("restarts") if a else None
                    rows.append((bank_name(q, fig), hist, "worst" if worst else "ordinary",
                                 fmt_time(j["real"]) if j and worst == 0 else "",
                                 fmt_time(n["real"]) if n else "",
                                 fmt_time(a["real"]) if a else "—", fmt_time(a["cpu"]) if a else "—", fmt_cv(a),
                                 "" if not restarts else f"{restarts:.1f}"))
    w(table(["Bank", "History", "Case", "Judging", "次の問題", "Action", "Action CPU", "cv", "No question ‰"], rows))
    w("")
    w("*No question ‰*: searches per 1,000 actions that found no question at or below the drill "
      "level (the drill would end there; the benchmark goes on as the next drill would, from level "
      "15 with the pass limit at 0, so that action includes a second search). A pupil who answers "
      "nine in ten right drifts down to level 0 and wears out the few questions of difficulty 0.")
    w("")
    w("\"次の問題\" with the loop of tries instead of the one-scan search (history of 20):")
    w("")
    rows = []
    for worst in (0, 1):
        for q in (1000, 9999):
            for fig in (0, 1):
                n = r.real("BM_Next", q=q, fig=fig, worst=worst)
                lit = r.real("BM_NextLiteral", q=q, fig=fig, worst=worst)
                col = r.real("BM_ColumnScan", q=q, fig=0, worst=worst)
                rows.append(("worst" if worst else "ordinary", bank_name(q, fig), fmt_time(n), fmt_time(lit),
                             fmt_ratio(lit, n), fmt_ratio(n, col)))
    w(table(["Case", "Bank", "次の問題", "With the loop of tries", "Loop ÷ one scan", "次の問題 ÷ column scan"], rows))
    w("")
    dec = r.get("BM_FigureDecode")
    if dec:
        w(f"Decoding one figure (what the picture view adds when it shows another question): "
          f"{fmt_time(dec['real'])} for a {dec['counters'].get('png_KB', 0):.0f} KB PNG.")
        w("")

    # -- Drill start and end --------------------------------------------------------------------
    w("## Drill start")
    w("")
    w("From reading the settings file to the first question narrowed on the bank: the three "
      "tables opened, the advice filter, the history emptied, the first search and the \"Bango = \" filter.")
    w("")
    rows = []
    for q in (1000, 9999):
        for fig in (0, 1):
            for hist in (20, 2000):
                e = r.get("BM_DrillStart", q=q, fig=fig, hist=hist)
                mb = e["counters"].get("bank_MB") if e else None
                rows.append((bank_name(q, fig), f"{mb:.1f} MB" if mb else "—", hist,
                             fmt_time(e["real"]) if e else "—", fmt_cv(e)))
    w(table(["Bank", "Bank file", "History", "Drill start", "cv"], rows))
    w("")
    w("## Drill end")
    w("")
    w("Closing the three tables: the bank and the history written back (only what changed), after "
      "50 answers or after none (the history emptied by the start is still written).")
    w("")
    rows = []
    for q in (1000, 9999):
        for fig in (0, 1):
            for hist in (20, 2000):
                for ans in (0, 50):
                    e = r.get("BM_DrillEnd", q=q, fig=fig, hist=hist, ans=ans)
                    rows.append((bank_name(q, fig), hist, ans, fmt_time(e["real"]) if e else "—", fmt_cv(e)))
    w(table(["Bank", "History before", "Answers", "Drill end", "cv"], rows))
    w("")
    rows = []
    for q in (1000, 9999):
        for fig in (0, 1):
            e = r.get("BM_CloseUnchanged", q=q, fig=fig)
            rows.append((bank_name(q, fig), fmt_time(e["real"]) if e else "—"))
    w("Part of it: closing the bank when nothing changed (no write; the records freed):")
    w("")
    w(table(["Bank", "Close, unchanged"], rows))
    w("")

    # -- Review ---------------------------------------------------------------------------------
    w("## Review window")
    w("")
    w("The review shown again: the 2,000-answer history read again, the question pane set to the "
      "first row, then 100 row changes, each narrowing the bank to the row's question. *With views* "
      "also decodes the two texts and the figure of every question shown.")
    w("")
    rows = []
    for q in (1000, 9999):
        for fig in (0, 1):
            a = r.get("BM_Review", q=q, fig=fig, views=0)
            b = r.get("BM_Review", q=q, fig=fig, views=1)
            rows.append((bank_name(q, fig), fmt_time(a["real"]) if a else "—",
                         fmt_time(a["real"] / 101) if a else "—",
                         fmt_time(b["real"]) if b else "—", fmt_time(b["real"] / 101) if b else "—"))
    w(table(["Bank", "Reopen + 100 rows", "Per row", "With views", "Per row, with views"], rows))
    w("")

    # -- Start to menu --------------------------------------------------------------------------
    w("## Start to the main menu")
    w("")
    if menu_data:
        s = menu_data["seconds"]
        peaks = [p for p in menu_data.get("peak_kb", []) if p]
        w(table(["Starts", "Median", "Fastest", "Slowest", "First start", "Peak memory at the menu"],
                [(len(s), fmt_time(statistics.median(s)), fmt_time(min(s)), fmt_time(max(s)), fmt_time(s[0]),
                  f"{statistics.median(peaks) / 1024:.0f} MB" if peaks else "—")]))
    else:
        w(f"Not measured: {skipped or 'no result'}.")
    w("")

    # -- Learning record ------------------------------------------------------------------------
    w("## Opening 学習記録")
    w("")
    w("`bench_progress`: a data directory with a bank of 1,000 questions and a learning record of 300 "
      "sessions (drills, practice sets, graded mocks of both tests) holding 100,000 answers; each "
      "opening makes a new window and is timed from the start to the first paint of the window and "
      "of each of its three charts, under the offscreen platform (the toolkit's own raster painting, "
      "without the copy to an X server). The record file is warm in the page cache, as after the "
      "pupil's last drill.")
    w("")
    if progress_data:
        def med(key):
            return fmt_time(statistics.median(progress_data[key]))
        s_ = progress_data["seconds"]
        w(table(["Openings", "Total (median)", "Slowest", "Bank's numbers", "Record's queries",
                 "Filling the window", "Paint"],
                [(len(s_), med("seconds"), fmt_time(max(s_)), med("bank"), med("queries"),
                  med("window"), med("paint"))]))
    else:
        w(f"Not measured: {progress_skipped or 'no result'}.")
    w("")

    # -- Memory ---------------------------------------------------------------------------------
    w("## Peak memory of a drill")
    w("")
    rows = []
    for name, label in (("full-figures", "9,999 questions, figures"), ("full", "9,999 questions")):
        b = read_int(os.path.join(results_dir, f"memory-{name}-bank.txt"))
        p = time_v_peak_kb(os.path.join(results_dir, f"memory-{name}-time.txt"))
        lim = 1.5 * b + 80e6 if b else None
        rows.append((label, f"{b / 1e6:.1f} MB" if b else "—", f"{p * 1024 / 1e6:.0f} MB" if p else "—",
                     f"{p * 1024 / b:.2f}" if p and b else "—", f"{lim / 1e6:.0f} MB" if lim else "—",
                     ("met" if p * 1024 <= lim else "missed") if p and lim else "—"))
    idle = time_v_peak_kb(os.path.join(results_dir, "memory-idle-time.txt"))
    w(table(["Bank", "Bank file", "Peak (resident)", "Peak ÷ file", "Goal", "Verdict"], rows))
    w("")
    if idle:
        w(f"The measuring program itself, with no table open, peaks at {idle / 1024:.0f} MB. The trainer "
          "adds its windows and fonts to the drill's figure: see its peak at the main menu above.")
        w("")

    md.extend(exam_lines)
    md.extend(record_section(rec))
    md.extend(school_section(results_dir))
    md.extend(teacher_section(results_dir))

    md.extend(kept_sections(out_path, md))

    # -- What would close the gaps --------------------------------------------------------------
    missed = [t for t in targets if t.known and not t.met]
    w("## Missed targets and what would close them")
    w("")
    if not missed:
        w("Every target with a measurement was met.")
        w("")
    for t in missed:
        w(f"- **{t.what}**: {t.shown} against {t.limit_shown} ({t.verdict()}).")
        w("  " + advice_for(t, r, results_dir))
    if missed:
        w("")
    with open(out_path, "w") as f:
        f.write("\n".join(md).rstrip() + "\n")


def kept_sections(out_path, generated):
    """The sections of the report at OUT_PATH that this script does not write (accounts of a
    round of work, measured by hand, written by hand), carried over as they stand so that a run
    does not lose them; each says itself when and how it was measured."""
    try:
        with open(out_path) as f:
            old = f.read().split("\n")
    except OSError:
        return []
    written = {line for line in generated if line.startswith("## ")}
    written.add("## Missed targets and what would close them")
    kept, keep = [], False
    for line in old:
        if line.startswith("## "):
            keep = line not in written
        if keep:
            kept.append(line)
    while kept and not kept[-1].strip():
        kept.pop()
    return kept + [""] if kept else []


EXAM_BANK = "9,999 statements with a figure each and 100 hazard items with figures"


def exam_part(results_dir):
    """The mock exams' targets and report section, from bench_exam's results."""
    e = Results(os.path.join(results_dir, "exam.json"))
    targets = []
    for family, what, limit in (
            ("BM_MockStart", "Starting a 本免 mock (questions kept from the last read), " + EXAM_BANK, 50e-3),
            ("BM_MoveToQuestion", "Moving to another question in the exam window, figure read and decoded", 16e-3),
            ("BM_GradeAndRecord", "Grading a 本免 mock and writing its answers to the record", 50e-3),
            ("BM_FirstMockAfterStartUp", "The first 本免 mock after start-up, " + EXAM_BANK, 50e-3),
            ("BM_FirstDrillAfterStartUp", "The first drill after start-up, the same bank", 30e-3),
            ("BM_DrillAfterMock", "A drill started right after a mock, the same bank", 30e-3),
            ("BM_FirstMockEver", "The first 本免 mock after the bank changed on disk (nothing kept: the files read), the same bank", 50e-3),
            ("BM_FirstDrillEver", "The first drill after the bank changed on disk, the same bank", 30e-3)):
        m = e.real(family)
        targets.append(Target(what, m, limit, fmt_time(m) if m else "—", "≤ " + fmt_time(limit)))
    lines = ["## Mock exams", ""]
    lines.append("`bench_exam` on the offscreen platform, on a bank of " + EXAM_BANK + " (the same 30 KB "
                 "PNG as above, texts of 200 bytes). *Start* is the launcher's StartMock as the menu's "
                 "button runs it, with the questions already read by an earlier mock (the files unchanged), "
                 "and the window's first paint with its figure; *reading the questions* is what a first mock, "
                 "or one after the bank changed, adds (the table store reads and checks both files). "
                 "*Move* is one step to the next question with the window repainted, cycling over the 95 "
                 "questions. *Grade and record* is the grading and the 105 answers (90 statements and 15 "
                 "hazard sub-statements) with the score written in one transaction of the learning record. "
                 "*Grade in the window* adds the results window filled. *After start-up* means that no file "
                 "of the directory was read yet in the process (the table store's shared images dropped), "
                 "as when the program has just started, with the images an earlier run kept on disk; "
                 "*after the bank changed on disk* drops those too, so the files are read, as on the first "
                 "start ever or after a school's update; the drill start runs from the settings file to the "
                 "first question, as the question window's start does without its views.")
    lines.append("")
    rows = []
    for family, label in (("BM_MockStart", "Start a 本免 mock"), ("BM_ReadQuestions", "Reading the questions (first time in the process)"),
                          ("BM_Draw", "The draw alone"), ("BM_MoveToQuestion", "Move to another question"),
                          ("BM_GradeAndRecord", "Grade and record 105 answers"),
                          ("BM_GradeInWindow", "Grade in the window, results shown"),
                          ("BM_FirstMockAfterStartUp", "The first mock after start-up"),
                          ("BM_FirstDrillAfterStartUp", "The first drill after start-up"),
                          ("BM_DrillAfterMock", "A drill right after a mock"),
                          ("BM_FirstMockEver", "The first mock after the bank changed on disk"),
                          ("BM_FirstDrillEver", "The first drill after the bank changed on disk")):
        g = e.get(family)
        rows.append((label, fmt_time(g["real"]) if g else "—", fmt_time(g["cpu"]) if g else "—",
                     fmt_cv(g) if g else "—"))
    lines.append(table(["Step", "Wall (median)", "CPU (median)", "cv"], rows))
    lines.append("")
    return targets, lines
RECORD_QUERIES = (
    ("LatestResults: every statement's latest answer", "BM_RecordLatestResults", {}),
    ("LatestWrong: the statements last answered wrong", "BM_RecordLatestWrong", {}),
    ("RateByCategory(20): right answers of the last 20 per Bunrui", "BM_RecordRateByCategory", {"n": 20}),
    ("RateByCategory(100)", "BM_RecordRateByCategory", {"n": 100}),
    ("Sessions: every session with its counts", "BM_RecordSessions", {}),
)


def record_targets(rec):
    add = rec.real("BM_RecordAddAnswer")
    out = [Target("Writing one answer to the learning record, 100,000 answers", add, 1e-3,
                  fmt_time(add), "≤ 1 ms", note="its own transaction, WAL")]
    worst = None
    for what, family, args in RECORD_QUERIES:
        t = rec.real(family, **args)
        if t is not None and (worst is None or t > worst[0]):
            worst = (t, what.split(":")[0])
    out.append(Target("Each query of the learning record, 100,000 answers, 300 sessions",
                      worst[0] if worst else None, 20e-3, fmt_time(worst[0]) if worst else "—", "≤ 20 ms",
                      note=f"slowest: {worst[1]}" if worst else ""))
    return out


def record_section(rec):
    md = ["## The learning record", ""]
    md.append("bench/bench_record on a record of 100,000 answers over 300 drills (1,500 bank statements, 150 "
              "hazard items, every Bunrui of the syllabus, a tenth of the bank without one), made once by "
              "the benchmark in the benchmarks' scratch folder on the machine's disk. Writing an answer is "
              "`AddAnswer`, one transaction of its own in WAL mode (synchronous NORMAL); each query is one "
              "SQL statement (docs/learning-record.md shows their plans). Opening checks the whole file "
              "(quick_check) before it is used.")
    md.append("")
    rows = []
    e = rec.get("BM_RecordAddAnswer")
    rows.append(("AddAnswer: one answer written", fmt_time(e["real"]) if e else "—",
                 fmt_time(e["cpu"]) if e else "—", fmt_cv(e)))
    for what, family, args in RECORD_QUERIES:
        e = rec.get(family, **args)
        rows.append((what, fmt_time(e["real"]) if e else "—", fmt_time(e["cpu"]) if e else "—", fmt_cv(e)))
    e = rec.get("BM_RecordOpen")
    rows.append(("Open: the record opened and checked", fmt_time(e["real"]) if e else "—",
                 fmt_time(e["cpu"]) if e else "—", fmt_cv(e)))
    md.append(table(["Operation", "Wall clock", "CPU", "cv"], rows))
    md.append("")
    if rec.errors:
        md.extend(["**Record benchmarks that reported an error:**", ""] + [f"- {x}" for x in rec.errors] + [""])
    return md


def school_section(results_dir):
    """bench_school's table, as it printed it (a server of its own, so no repetitions here)."""
    md = ["## The school's server", ""]
    md.append("`bench_school` through a throwaway PostgreSQL cluster on the same machine (a Unix socket, "
              "the server's default settings, fsync on). *One answer delivered* is from `AddAnswer` in the "
              "pupil folder's kiroku.sqlite to the worker having delivered it and moved its mark (the "
              "waiting side polls the folder), over 200 answers. *40 PCs at once* starts 40 processes of "
              "`school_pc`, each signing in as its own pupil and storing 1,000 answers as fast as it can "
              "while its delivery worker runs, and counts what the server holds. *Sign-in* is a new "
              "connection, the sign-in, the counters read and laid over the bank, and the folder bound; "
              "*fetched* adds the bank version's three files fetched and written (1,144 statements with a "
              "30 KB figure each: the worst case).")
    md.append("")
    path = os.path.join(results_dir, "school.txt")
    text = open(path).read().strip() if os.path.exists(path) else ""
    md.append(text if text.startswith("|") else "Not measured: " + (text or "no result") + ".")
    md.append("")
    return md


def teacher_section(results_dir):
    """bench_teacher's table and plans, as it printed them."""
    md = ["## 教官用 一覧 (the teacher's overview)", ""]
    md.append("`bench_teacher` on a school generated in a throwaway PostgreSQL cluster on the same machine "
              "(bench/school_generate.sql: 2,000 pupils, every tenth never studied, about 1,000,000 answers, "
              "at most 55 sessions a pupil), the window under the offscreen platform. *First full paint* is a "
              "new connection, the role check, `lentavo.overview`, the rows into the window and the window "
              "painted; a filter or a sort is timed with the table painted again; *one pupil's 学習記録* is a "
              "new connection, the pupil's record and the bank's statements read, and the learning-record "
              "window filled and painted; the class CSV runs from the connection to the file written. "
              "First run, then the median of five.")
    md.append("")
    path = os.path.join(results_dir, "teacher.txt")
    text = open(path).read().strip() if os.path.exists(path) else ""
    lines = [l for l in text.splitlines()
             if not l.startswith("QStandardPaths") and "propagateSizeHints" not in l]
    body = "\n".join(lines).strip()
    md.append(body if "| step |" in body else "Not measured: " + (body or "no result") + ".")
    md.append("")
    return md


def advice_for(t, r, results_dir):
    scan = r.real("BM_SearchCompute", q=9999, fig=1, worst=1)
    scan0 = r.real("BM_SearchCompute", q=9999, fig=0, worst=1)
    colsearch = r.real("BM_ColumnSearch", q=9999, fig=0, worst=1)
    search = r.real("BM_Search", q=9999, fig=1, worst=1)
    nxt = r.real("BM_Next", q=9999, fig=1, worst=1)
    if "pupil action" in t.what or "plain scan" in t.what:
        parts = []
        if nxt and search:
            parts.append(f"\"次の問題\" costs {fmt_time(nxt)} on the full bank with figures, of which the search "
                         f"as applied is {fmt_time(search)}: the search's scan, then two filters (the successful "
                         "try's and \"Bango = \"), each of which makes the table store test every record again.")
        if scan and scan0:
            parts.append(f"The scan over the table store's rows costs {fmt_time(scan0)} without figures and "
                         f"{fmt_time(scan)} with them (the pictures stay in the file): every record's values "
                         "sit in a heap block of their own, each text in another, so the scan jumps from "
                         "block to block instead of streaming through memory.")
        if colsearch:
            parts.append(f"The same search over three int32 columns takes {fmt_time(colsearch)}. Keeping each "
                         "row's values together and apart from the texts and pictures (allocating the rows' "
                         "blocks one after another when the table is opened), or keeping the integer fields "
                         "in columns, and building the \"Bango = \" view from the question found instead of "
                         "filtering the whole bank again, would close the gap.")
        return " ".join(parts)
    if "Drill start" in t.what:
        nofig = r.real("BM_DrillStart", q=9999, fig=0, hist=20)
        return ((f"Without figures the same start takes {fmt_time(nofig)}: " if nofig else "")
                + "the pictures themselves stay in the file until shown, but the question text is stored "
                "after the picture in each record, so reading it makes SQLite follow every picture's chain "
                "of overflow pages through the whole file. Storing the pictures in a table of their own, "
                "or the picture field last, would make the start independent of the pictures; both "
                "change the table-file format, a decision for the format's owner.")
    if "Drill end" in t.what:
        sync = fsync_median(results_dir)
        none = r.real("BM_DrillEnd", q=9999, fig=1, hist=20, ans=0)
        nofig = r.real("BM_DrillEnd", q=9999, fig=0, hist=20, ans=50)
        free = r.real("BM_CloseUnchanged", q=9999, fig=1)
        parts = []
        if none:
            parts.append(f"After no answer the end takes {fmt_time(none)}: the history emptied at the start "
                         "is written back in a transaction of its own.")
        if free:
            parts.append(f"Closing the bank with figures when nothing changed, which writes nothing, takes "
                         f"{fmt_time(free)}.")
        if nofig:
            parts.append(f"After 50 answers without figures the end takes {fmt_time(nofig)}; with figures every "
                         "changed counter makes SQLite read and rewrite its whole row, 30 KB picture included.")
        if sync:
            parts.append(f"One fsync costs {fmt_time(sync)} on this disk; each write-back is one transaction in "
                         "the rollback journal with full sync, several syncs for each of the two files.")
        parts.append("The image of the new version kept between runs is written beside the end by a "
                     "thread of its own (see \"Fourth step\" below for what it cost when the end waited "
                     "for it). Keeping the pictures in a table of their own would make a counter "
                     "update rewrite a short row; that changes the table-file format, a decision for the "
                     "format's owner.")
        return " ".join(parts)
    if "changed on disk" in t.what:
        return ("This is the one whole reading of the files a version of the bank costs: the first start "
                "ever, or the first after another program (a school's update, tabletool) wrote the bank; "
                "every later start takes up the image kept on disk (the rows *after start-up* above). "
                "Nearly all of it is SQLite reaching each question's text, stored after its picture, "
                "through the picture's chain of overflow pages. Storing the picture field last, or the "
                "pictures in a table of their own, would remove it; both change the table-file format, a "
                "decision for the format's owner.")
    if "main menu" in t.what:
        return ("The time is the program's own start up to the first frame of the menu (libraries, "
                "fonts, the menu's picture); the menu reads no table.")
    if "学習記録" in t.what:
        return ("The record's queries are most of the time (see the phases above); they are the "
                "record's own, one statement over an index each.")
    if "memory" in t.what:
        return ("Pictures are read from the file only when shown; what remains is the texts and counters "
                "of every question and SQLite's page cache.")
    return ""


def main(argv):
    if len(argv) == 4 and argv[1] == "fsync":
        return fsync_probe(argv[2], argv[3])
    if len(argv) == 5 and argv[1] == "menu":
        return menu(argv[2], int(argv[3]), argv[4])
    if len(argv) == 3 and argv[1] == "exam":
        targets, lines = exam_part(argv[2])
        print(table(["Target", "Measured (median)", "Goal", "Verdict"],
                    [(t.what, t.shown, t.limit_shown, t.verdict()) for t in targets]))
        print()
        print("\n".join(lines))
        return 0
    if len(argv) == 3 and argv[1] == "record-section":
        rec = Results(os.path.join(argv[2], "record.json"))
        print("\n".join(record_section(rec)))
        print(table(["Target", "Measured (median)", "Goal", "Verdict", "Note"],
                    [(t.what, t.shown, t.limit_shown, t.verdict(), t.note) for t in record_targets(rec)]))
        return 0
    if len(argv) == 4 and argv[1] == "report":
        report(argv[2], argv[3])
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
