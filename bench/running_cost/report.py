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


def report(f, opts):
    runs = f["runs"]
    prog = [r for r in runs if r["kind"] == "program"]
    flo = [r for r in runs if r["kind"] == "floor"]
    checks = []

    def check(name, value, ok, detail):
        checks.append((name, value, ok, detail))

    def check_line(prefix, runs):
        """The read cycles: exactly the program's own calls, on time."""
        lo = min(r["line_calls_min"] for r in runs)
        hi = max(r["line_calls_max"] for r in runs)
        check(prefix + "line calls per read cycle", f"{lo}..{hi}",
              lo == hi == TARGETS["line_calls"] and all(r["line_calls_cycles"] > 0 for r in runs),
              f"== {TARGETS['line_calls']}")
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
        per_entry = m["BM_ReadingLogMemory"]
        check("bytes per log entry (model)",
              f"{per_entry:.1f} (with the list view: {m['BM_ReadingLogMemoryWithView']:.1f})",
              per_entry <= TARGETS["bytes_per_entry"], f"<= {TARGETS['bytes_per_entry']:.0f}")
        save = m["BM_SaveList/1000000"]
        floor_bytes = m["BM_SafeSaveFloor_EncodedBytes/1000000"]
        floor_strings = m["BM_SafeSaveFloor_FromStrings/1000000"]
        check("SaveList 1e6 / safe-save floor",
              f"{save / floor_bytes:.2f} ({save:.1f} / {floor_bytes:.1f} ms; "
              f"floor encoding on the way {floor_strings:.1f} ms: {save / floor_strings:.2f})",
              save / floor_bytes <= TARGETS["save_ratio"], f"<= {TARGETS['save_ratio']}")

    wine = f.get("wine") or []
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
