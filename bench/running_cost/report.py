"""The report: each run as it ends, then the medians over the pairs
against the targets."""

import statistics

from .settings import TARGETS


def median(values):
    return statistics.median(values) if values else float("nan")


def print_run(r):
    print(f"  {r['kind']:8s} CPU {r['cpu_pct']:5.2f} % (sched {r['cpu_run_pct']:5.2f} %)  "
          f"ticks/s {r['ticks_per_s']:7.1f}  period {r['period_mean_ms']:8.2f} ms "
          f"worst dev {r['period_worst_dev_ms']:6.2f} ms  cycles {r['cycles_in_window']}  "
          f"line calls {r['line_calls_min']}..{r['line_calls_max']} ({r['line_calls_cycles']} cycles)  "
          f"RSS {r['rss_start_kb']} -> {r['rss_end_kb']} kB  load {r['load1']:.2f}"
          + (f"  shown {r['shown_ms']:.0f} ms" if "shown_ms" in r else ""), flush=True)


def spread(values, fmt="{:.0f}"):
    """min / median / max, or a dash where there are none."""
    if not values:
        return "-"
    return "/".join(fmt.format(v) for v in (min(values), median(values), max(values)))


def print_model_run(r):
    every = r["read_every_s"]
    first = r["first_delay_ms"]
    print(f"  {r['kind']:8s} {r['model']:24s} reads {r['reads']:3d}  every "
          f"{every if every is None else round(every, 2)} s  first reading "
          f"{'-' if first is None else f'{first:.0f}'} ms after its tick  then: line calls "
          f"{spread(r['calls'])}  reading after the tick {spread(r['delays_ms'])} ms  "
          f"bits seen wrong in {r['seen_wrong']} reads", flush=True)


def check_models(models, check):
    """Per port model: line calls a read on the prompt and the blocking
    port, and every reading shown before the next read begins."""
    for r in (m for m in models if m["kind"] == "program"):
        if not r["calls"]:
            check(f"{r['model']}: steady reads", "none", False, "some")
            continue
        limit = {"prompt": TARGETS["prompt_calls"],
                 "DCD read 1 ms": TARGETS["blocking_calls"]}.get(r["model"])
        if limit:
            check(f"line calls a read, {r['model']}", spread(r["calls"]), max(r["calls"]) <= limit,
                  f"<= {limit}")
        due = 1000.0 * r["read_every_s"]
        check(f"reading after its tick, {r['model']}",
              f"{spread(r['delays_ms'])} ms; reads every {r['read_every_s']:.2f} s",
              max(r["delays_ms"]) < due, "before the next read")


def report(f, opts):
    runs = f["runs"]
    prog = [r for r in runs if r["kind"] == "program"]
    flo = [r for r in runs if r["kind"] == "floor"]
    checks = []

    def check(name, value, ok, detail):
        checks.append((name, value, ok, detail))

    def check_line(prefix, runs):
        """The read cycles, DCD 20 ms late: the program's own calls, at most
        one a keep-alive tick (it watches every tick, as the port is late), on time."""
        lo = min(r["line_calls_min"] for r in runs)
        hi = max(r["line_calls_max"] for r in runs)
        beyond = max(r["calls_beyond_ticks"] for r in runs)
        check(prefix + "line calls a read, DCD 20 ms late", f"{lo}..{hi}, at most {beyond:.1f} "
              f"more than the ms the read took",
              beyond <= TARGETS["calls_beyond_ticks"] and all(r["line_calls_cycles"] > 0 for r in runs),
              f"one a tick, + {TARGETS['calls_beyond_ticks']}")
        delays = [d for r in runs for d in r["reading_delays_ms"]]
        check(prefix + "reading after the tick, DCD 20 ms late",
              f"median {median(delays):.1f} ms, worst {max(delays, default=float('nan')):.1f} ms "
              f"({len(delays)} readings)",
              bool(delays) and max(delays) <= TARGETS["reading_delay_ms"],
              f"worst <= {TARGETS['reading_delay_ms']:.0f} ms")
        worst = median([r["period_worst_dev_ms"] for r in runs])
        check(prefix + "worst deviation from 1000 ms", f"{worst:.2f} ms (runs "
              + ", ".join(f"{r['period_worst_dev_ms']:.2f}" for r in runs) + ")",
              worst <= TARGETS["worst_deviation_ms"], f"<= {TARGETS['worst_deviation_ms']} ms")

    if prog and flo:
        cpu_ratios = [p["cpu_pct"] / q["cpu_pct"] for p, q in zip(prog, flo)]
        tick_ratios = [p["ticks_per_s"] / q["ticks_per_s"] for p, q in zip(prog, flo)]
        print("\nmedians over the pairs")
        for label, key in (("CPU %", "cpu_pct"), ("CPU % (sched)", "cpu_run_pct"),
                           ("ticks/s", "ticks_per_s"), ("period mean ms", "period_mean_ms"),
                           ("worst deviation ms", "period_worst_dev_ms"),
                           ("cycles in window", "cycles_in_window"),
                           ("RSS start kB", "rss_start_kb"), ("RSS end kB", "rss_end_kb")):
            print(f"  {label:20s} program {median([r[key] for r in prog]):10.2f}   "
                  f"floor {median([r[key] for r in flo]):10.2f}")
        compared = [r for r in runs if r["kind"] == "compared"]
        if compared:
            ratios = [p["cpu_pct"] / q["cpu_pct"] for p, q in zip(compared, flo)]
            ticks = [p["ticks_per_s"] / q["ticks_per_s"] for p, q in zip(compared, flo)]
            print(f"  {'compared build':20s} CPU/floor {median(ratios):.2f} (pairs "
                  + ", ".join(f"{x:.2f}" for x in ratios) + f"), ticks/floor {median(ticks):.3f}")
            wins = sum(p["cpu_pct"] < c["cpu_pct"] for p, c in zip(prog, compared))
            print(f"  {'':20s} the program used less CPU than it in {wins} of {len(compared)} rounds")
            same_round = [p["cpu_pct"] / c["cpu_pct"] for p, c in zip(prog, compared)]
            check("CPU program/compared build, same round", f"{median(same_round):.2f} "
                  f"({min(same_round):.2f} ... {max(same_round):.2f}; lower in {wins} of "
                  f"{len(compared)}; means {statistics.mean(p['cpu_pct'] for p in prog):.2f} / "
                  f"{statistics.mean(c['cpu_pct'] for c in compared):.2f} %)",
                  median(same_round) <= TARGETS["cpu_vs_before"], f"<= {TARGETS['cpu_vs_before']}")
        cpu_ratio = median(cpu_ratios)
        check("CPU program/floor", f"{cpu_ratio:.2f} (pairs "
              + ", ".join(f"{x:.2f}" for x in cpu_ratios) + ")",
              cpu_ratio <= TARGETS["cpu_ratio"], f"<= {TARGETS['cpu_ratio']}")
        tick_ratio = median(tick_ratios)
        check("ticks/s program/floor", f"{tick_ratio:.3f} (pairs "
              + ", ".join(f"{x:.3f}" for x in tick_ratios) + ")",
              tick_ratio >= TARGETS["ticks_ratio"], f">= {TARGETS['ticks_ratio']}")
        check_line("", prog)
        cycles = [r["cycles_in_window"] for r in prog]
        lo_c, hi_c = TARGETS["cycles"]
        check(f"read cycles in {opts['seconds']:.0f} s",
              ", ".join(str(c) for c in cycles),
              all(lo_c * opts["seconds"] / 30 <= c <= hi_c * opts["seconds"] / 30 for c in cycles),
              f"{opts['seconds']:.0f} +- 1")

    models = f.get("models") or []
    if models:
        print("\nreads by port, after the first two (program; the compared build below it)")
        for r in models:
            print(f"  {r['model']:24s} {r['kind']:8s} calls {spread(r['calls']):>11s}  "
                  f"reading after tick {spread(r['delays_ms']):>13s} ms  first "
                  f"{'-' if r['first_delay_ms'] is None else round(r['first_delay_ms'])} ms  "
                  f"every {r['read_every_s'] or float('nan'):.2f} s  seen wrong {r['seen_wrong']}"
                  f"/{r['reads']}")
    check_models(models, check)

    wins = f["windows"]
    wprog = [w for w in wins if w["kind"] == "program"]
    wbare = [w for w in wins if w["kind"] == "bare"]
    if wprog and wbare:
        shown_p, shown_b = median([w["shown_ms"] for w in wprog]), median([w["shown_ms"] for w in wbare])
        print(f"  {'window shown ms':20s} program {shown_p:10.1f}   bare   {shown_b:10.1f}")
        rss_b = median([w["rss_kb"] for w in wbare])
        # The larger of the program's settled and long-run sizes.
        rss_p = max([median([w["rss_kb"] for w in wprog])]
                    + ([median([r["rss_end_kb"] for r in prog])] if prog else []))
        print(f"  {'RSS kB':20s} program {rss_p:10.0f}   bare   {rss_b:10.0f}")
        check("window shown program/bare", f"{shown_p / shown_b:.2f} ({shown_p:.0f} / {shown_b:.0f} ms)",
              shown_p / shown_b <= TARGETS["shown_ratio"], f"<= {TARGETS['shown_ratio']}")
        check("RSS program/bare window", f"{rss_p / rss_b:.3f} ({rss_p:.0f} / {rss_b:.0f} kB)",
              rss_p / rss_b <= TARGETS["rss_ratio"], f"<= {TARGETS['rss_ratio']}")
    if f["blocked"]:
        g = f["blocked"]["growth_mb_per_hour"]
        check("RSS growth, line blocked", f"{g:.3f} MB/h over {f['blocked']['seconds']:.0f} s",
              g <= TARGETS["growth_mb_per_hour"], f"<= {TARGETS['growth_mb_per_hour']} MB/h")
    m = f["micro"]
    if m:
        per_entry = m["BM_List1Memory"]
        check("bytes per log entry (model)",
              f"{per_entry:.1f} (with the list view: {m['BM_List1MemoryWithView']:.1f})",
              per_entry <= TARGETS["bytes_per_entry"], f"<= {TARGETS['bytes_per_entry']:.0f}")
        save = m["BM_SaveList/1000000"]
        floor_bytes = m["BM_SafeSaveFloor_EncodedBytes/1000000"]
        floor_strings = m["BM_SafeSaveFloor_FromStrings/1000000"]
        check("SaveList 1e6 / safe-save floor",
              f"{save / floor_bytes:.2f} ({save:.1f} / {floor_bytes:.1f} ms; "
              f"floor encoding on the way {floor_strings:.1f} ms: {save / floor_strings:.2f})",
              save / floor_bytes <= TARGETS["save_ratio"], f"<= {TARGETS['save_ratio']}")

    wine = [r for r in f.get("wine") or [] if r["kind"] == "wine"]
    wine_compared = [r for r in f.get("wine") or [] if r["kind"] == "wine-compared"]
    if wine_compared:
        print(f"  {'Wine, compared build':20s} ticks/s {median([r['ticks_per_s'] for r in wine_compared]):.1f}"
              f" (runs " + ", ".join(f"{r['ticks_per_s']:.1f}" for r in wine_compared) + ")")
    if wine:
        ticks = median([r["ticks_per_s"] for r in wine])
        check("Wine: ticks/s", f"{ticks:.1f} (runs " + ", ".join(f"{r['ticks_per_s']:.1f}" for r in wine) + ")",
              ticks >= TARGETS["wine_ticks"], f">= {TARGETS['wine_ticks']:.0f}")
        check_line("Wine: ", wine)

    print("\ntargets")
    width = max(len(c[0]) for c in checks)
    for name, value, ok, detail in checks:
        print(f"  {'ok  ' if ok else 'MISS'} {name:{width}s}  {value}   (target {detail})")
    mach = f["machine"]
    print(f"\n{mach['uname']}\n{mach['cpu']}, nproc {mach['nproc']}")
    return all(c[2] for c in checks)
