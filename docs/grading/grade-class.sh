#!/usr/bin/env bash
# Grades every submission in a folder against one suite and writes scores.csv:
#   grade-class.sh ASSIGNMENT.cvtest SUBMISSIONS_FOLDER
# One row per student file: file, score, max_score, passed, failed. A program
# that does not parse or never ends simply scores what its cases earned.
set -euo pipefail
suite=$1
folder=$2
corvane-run --suite "$suite" --format json --exit-zero "$folder"/*.cv > results.json
python3 - <<'PY'
import csv, json
with open("results.json") as f:
    report = json.load(f)
with open("scores.csv", "w", newline="") as out:
    w = csv.writer(out)
    w.writerow(["file", "score", "max_score", "passed", "failed"])
    for p in report["programs"]:
        w.writerow([p["file"], p["score"], p["max_score"], p["passed"], p["failed"]])
PY
cat scores.csv
