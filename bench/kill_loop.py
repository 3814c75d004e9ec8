#!/usr/bin/env python3
"""Kills a rewriting command at random moments and checks that its save is all or nothing.

Generates a project, learns what one uninterrupted run of COMMAND makes of it, then for each
trial: copies the pristine project, starts COMMAND on it, sends SIGKILL after a random delay,
runs `marquill info` on the project (the next run, which completes or clears what the killed
one left), and checks that every file of the save holds its old bytes or every file its new
ones, and that no temporary file or journal is left.

    bench/kill_loop.py                 (--trials 300 --modules 500 --lines 1000000)
    bench/kill_loop.py --trials 20 --modules 50 --lines 50000 --command indent --yes

Exit 0 when no trial found a mixed project, a damaged file or a temporary left behind.
"""
import argparse
import collections
import hashlib
import os
import random
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def digests(folder):
    """Every file below `folder` by its path relative to it, with its SHA-1."""
    files = {}
    for base, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(base, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, folder)] = hashlib.sha1(f.read()).hexdigest()
    return files


def leftovers(folder):
    """Temporaries and journals of ours below `folder`."""
    return sorted(os.path.relpath(os.path.join(base, name), folder)
                  for base, _, names in os.walk(folder)
                  for name in names if name.startswith(".") and ".marquill-" in name)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--marquill", default=os.path.join(ROOT, "build/apps/cli/marquill"))
    parser.add_argument("--trials", type=int, default=300)
    parser.add_argument("--modules", type=int, default=500)
    parser.add_argument("--lines", type=int, default=1000000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--command", default="delete-comments",
                        help="the rewriting command; more options may follow the known ones")
    args, extra = parser.parse_known_args()
    rng = random.Random(args.seed)

    work = tempfile.mkdtemp(prefix="marquill-kill-")
    env = dict(os.environ, MARQUILL_HOME=os.path.join(work, "home"),
               XDG_CONFIG_HOME=os.path.join(work, "config"))
    try:
        pristine = os.path.join(work, "pristine")
        subprocess.run([sys.executable, os.path.join(ROOT, "bench/gen_project.py"),
                        "--modules", str(args.modules), "--lines", str(args.lines),
                        "--out", pristine, "--seed", str(args.seed)],
                       check=True, stdout=subprocess.DEVNULL)
        project = os.path.join(work, "project")
        vbp = os.path.join(project, "Project.vbp")
        command = [args.marquill, args.command, *extra, vbp]

        # What an uninterrupted run writes, how long it takes, and when it renames (its journal
        # is there from the commit to the end).
        durations, commits = [], []
        journal = os.path.join(project, ".Project.vbp.marquill-journal")
        for _ in range(3):
            shutil.rmtree(project, ignore_errors=True)
            shutil.copytree(pristine, project)
            start = time.monotonic()
            run = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL)
            seen = None
            while run.poll() is None:
                if seen is None and os.path.exists(journal):
                    seen = time.monotonic() - start
                time.sleep(0.0005)
            if run.returncode != 0:
                sys.exit(f"kill_loop: {' '.join(command)} failed")
            durations.append(time.monotonic() - start)
            commits.append(seen if seen is not None else durations[-1])
        old, new = digests(pristine), digests(project)
        saved = sorted(name for name in new if old.get(name) != new[name])
        if not saved:
            sys.exit(f"kill_loop: {args.command} changes no file of the project")
        duration = statistics.median(durations)
        commit = statistics.median(commits)

        tally = collections.Counter()
        worst_leftovers = 0
        for trial in range(args.trials):
            shutil.rmtree(project)
            shutil.copytree(pristine, project)
            # A third of the kills anywhere in the run, a third in its last third (the files are
            # written), a third around the renames.
            start, end = {0: (0, duration), 1: (duration * 0.66, duration),
                          2: (commit * 0.9, commit + (duration - commit) * 1.2)}[trial % 3]
            delay = rng.uniform(start, end)
            run = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
            time.sleep(delay)
            run.send_signal(signal.SIGKILL)
            run.wait()
            killed = run.returncode == -signal.SIGKILL
            tally["killed" if killed else "finished before the kill"] += 1
            if any(name.endswith("-journal") for name in leftovers(project)):
                tally["killed with a journal written (while renaming)"] += 1

            after = subprocess.run([args.marquill, "info", vbp], env=env, capture_output=True,
                                   text=True, errors="replace")
            if after.returncode != 0:
                tally["next run failed"] += 1
                print(f"trial {trial}: info failed: {after.stderr.strip()}", file=sys.stderr)
            if "completed a save" in after.stderr:
                tally["next run completed the save"] += 1
            if "removed" in after.stderr and "temporary file" in after.stderr:
                tally["next run removed temporaries"] += 1

            now = digests(project)
            tally["files checked"] += len(saved)
            states = set()
            for name in saved:
                if now.get(name) == old[name]:
                    states.add("old")
                elif now.get(name) == new[name]:
                    states.add("new")
                else:
                    states.add("damaged")
                    tally["damaged files"] += 1
            unsaved = [name for name in old if name not in saved and now.get(name) != old[name]]
            tally["other files changed"] += len(unsaved)
            left = leftovers(project)
            tally["temporaries left"] += len(left)
            worst_leftovers = max(worst_leftovers, len(left))
            if len(states) > 1 or "damaged" in states or left or unsaved:
                tally["violations"] += 1
                print(f"trial {trial}: {sorted(states)}, {len(left)} left: {left[:3]}",
                      file=sys.stderr)
            tally["ended all new" if states == {"new"} else "ended all old" if states == {"old"}
                  else "ended mixed"] += 1

        print(f"project: {args.lines} lines in {args.modules} modules; `{args.command}` "
              f"rewrites {len(saved)} files in {duration:.2f} s (renames from {commit:.2f} s)")
        print(f"trials: {args.trials}")
        for key in ("killed", "finished before the kill",
                    "killed with a journal written (while renaming)",
                    "next run completed the save", "next run removed temporaries",
                    "ended all old", "ended all new", "ended mixed", "files checked",
                    "damaged files", "other files changed", "temporaries left", "next run failed",
                    "violations"):
            print(f"  {key + ':':50} {tally[key]}")
        print(f"  {'most temporaries left after one trial:':50} {worst_leftovers}")
        sys.exit(1 if tally["violations"] or tally["next run failed"] else 0)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
