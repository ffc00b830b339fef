#!/usr/bin/env python3
"""Runs the conformance scorer over the whole corpus and fails when any movie crashed the
engine's command-line tool or ran out of time. Scores are printed, not judged: they are
the measure of later work. Exits 77 (skipped) when the corpus is not beside the repo."""
import json, os, subprocess, sys, tempfile

cli, shared = sys.argv[1], sys.argv[2]
scorer = os.path.join(shared, "conformance", "run")
if not os.path.exists(scorer) or not os.path.isdir(os.path.join(shared, "corpus")):
    print(f"no conformance corpus at {shared}: skipped")
    sys.exit(77)

with tempfile.TemporaryDirectory() as tmp:
    report = os.path.join(tmp, "report.json")
    subprocess.run([sys.executable, scorer, "--cli", cli, "--json", report], check=False,
                   stdout=subprocess.DEVNULL)
    results = json.load(open(report))["results"]

bad = [r for r in results if r.get("crash") or (isinstance(r.get("exit"), int) and r["exit"] < 0)]
tally = {}
for r in results:
    for key in ("trace", "image_close"):
        if key in r:
            t = tally.setdefault(key, [0, 0])
            t[0 if r[key] else 1] += 1
for key, (ok, fail) in sorted(tally.items()):
    print(f"{key}: {ok} of {ok + fail}")
for r in bad:
    print(f"CRASH or TIME-OUT: {r['name']}: {r.get('why', r.get('exit'))}")
print(f"{len(results) - len(bad)} of {len(results)} movies ran without a crash or time-out")
sys.exit(1 if bad else 0)
