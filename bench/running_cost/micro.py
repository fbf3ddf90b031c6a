"""The figures taken from the micro-benchmarks (thermometer_bench)."""

import json
import subprocess

from .settings import die


def micro(env):
    def run(filter_, extra=()):
        out = subprocess.run([env.bench, f"--benchmark_filter={filter_}", "--benchmark_format=json",
                              *extra], env=dict(env.env, QT_QPA_PLATFORM="offscreen"),
                             stdin=subprocess.DEVNULL, capture_output=True, text=True)
        if out.returncode != 0:
            die(f"thermometer_bench failed: {out.stderr.strip()[-400:]}")
        data = json.loads(out.stdout)
        for b in data["benchmarks"]:
            if b.get("error_occurred"):
                die(f"{b['name']}: {b.get('error_message')}")
        return data["benchmarks"]

    result = {}
    # Resident size is per process: each measurement in a process of its own.
    for name in ("BM_List1Memory/", "BM_List1MemoryWithView/"):
        b = run(name)[0]
        result[name.strip("/")] = b["bytes_per_entry"]
    reps = run("BM_SaveList/1000000|BM_SafeSaveFloor_.*/1000000",
               ["--benchmark_repetitions=7", "--benchmark_report_aggregates_only=true"])
    for b in reps:
        if b.get("aggregate_name") == "median":
            result[b["run_name"]] = b["real_time"]  # milliseconds
    return result
