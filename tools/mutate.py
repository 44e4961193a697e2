#!/usr/bin/env python3
"""Mutation check: plants one small fault at a time in the named source files, rebuilds
incrementally, runs the fast tests and reports which faults no test noticed.

Run through tools/mutate, which builds the tree and starts the virtual display and the
Wine server first. Each mutant costs one object file and then, one test program at a
time, its relinking and its tests, until a test fails. The program whose tests are named
after the mutated file goes first.

Kinds of fault:
  cmp     a comparison swapped at its boundary or negated (<  <=, >  >=, ==  !=)
  arith   an arithmetic, logical or bitwise operator swapped (+ -, * /, && ||, & |, << >>, ++ --)
  const   an integer constant one more or one less
  negate  an if/while condition negated, or a "!" removed
  delete  a statement deleted (replaced by an empty block)

A mutant whose object file is byte for byte the original's cannot change behaviour and is
reported as such without running the tests; one that does not compile is skipped.
"""

import argparse
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass


@dataclass
class Mutant:
    path: str  # relative to the source root
    line: int  # 1-based
    column: int  # 1-based
    start: int  # offset into the file text
    end: int
    replacement: str
    kind: str
    original: str

    def describe(self):
        return f"{self.path}:{self.line}:{self.column}: [{self.kind}] {self.original!r} -> {self.replacement!r}"


# ---- reading C++ ---------------------------------------------------------------------

def code_mask(text):
    """A copy of `text` with comments, string and character literals and preprocessor
    lines blanked (newlines kept), so that patterns only match code."""
    out = list(text)
    i, n = 0, len(text)
    at_line_start = True

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        c = text[i]
        if at_line_start and c == "#":
            j = i
            while j < n and not (text[j] == "\n" and text[j - 1] != "\\"):
                j += 1
            blank(i, j)
            i = j
            continue
        if c == "\n":
            at_line_start = True
            i += 1
            continue
        if not c.isspace():
            at_line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            m = re.match(r'R"([^(\s]*)\(', text[i:])
            close = ")" + m.group(1) + '"'
            j = text.find(close, i + m.end())
            j = n if j < 0 else j + len(close)
            blank(i, j)
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            blank(i, min(j + 1, n))
            i = j + 1
        else:
            i += 1
    return "".join(out)


def line_of(text, offset):
    return text.count("\n", 0, offset) + 1


def matching_paren(code, open_at):
    depth = 0
    for k in range(open_at, len(code)):
        if code[k] == "(":
            depth += 1
        elif code[k] == ")":
            depth -= 1
            if depth == 0:
                return k
    return -1


# ---- the faults ----------------------------------------------------------------------

SWAPS = {
    "<": ["<="], "<=": ["<"], ">": [">="], ">=": [">"], "==": ["!="], "!=": ["=="],
    "+": ["-"], "-": ["+"], "*": ["/"], "/": ["*"], "%": ["*"],
    "&&": ["||"], "||": ["&&"], "&": ["|"], "|": ["&"], "<<": [">>"], ">>": ["<<"],
    "+=": ["-="], "-=": ["+="],
}
KIND = {op: ("cmp" if op in ("<", "<=", ">", ">=", "==", "!=") else "arith") for op in SWAPS}


def find_mutants(path, text):
    code = code_mask(text)
    found = []

    def add(start, end, replacement, kind):
        column = start - text.rfind("\n", 0, start)
        found.append(Mutant(path, line_of(text, start), column, start, end, replacement, kind, text[start:end]))

    # Binary operators written with a blank on both sides, as this code base writes them
    # (which also keeps template brackets and pointer declarations out).
    for m in re.finditer(r"(?<= )(<<|>>|<=|>=|==|!=|&&|\|\||\+=|-=|<|>|\+|-|\*|/|%|&|\|)(?= )", code):
        for replacement in SWAPS[m.group(1)]:
            add(m.start(), m.end(), replacement, KIND[m.group(1)])

    for m in re.finditer(r"\+\+|--", code):
        add(m.start(), m.end(), "--" if m.group() == "++" else "++", "arith")

    for m in re.finditer(r"(?<![\w.])(0[xX][0-9A-Fa-f]+|\d+)([uUlL]*)(?![\w.])", code):
        literal, suffix = m.group(1), m.group(2)
        value = int(literal, 0)
        choices = [value + 1] + ([value - 1] if value > 0 else [])
        for v in choices:
            new = (f"0x{v:0{len(literal) - 2}X}" if literal[:2].lower() == "0x" else str(v)) + suffix
            add(m.start(), m.end(), new, "const")

    for m in re.finditer(r"\b(if|while)\s*\(", code):
        open_at = m.end() - 1
        close = matching_paren(code, open_at)
        if close > 0:
            inner = text[open_at + 1:close]
            add(open_at, close + 1, f"(!({inner}))", "negate")

    for m in re.finditer(r"!(?!=)", code):
        add(m.start(), m.end(), "", "negate")

    # Statements: from a line start after ";", "{", "}" or a closing ")" (the body of an
    # if or a loop) to their ";" at bracket depth 0.
    for m in re.finditer(r"(?m)^([ \t]*)(\S)", code):
        start = m.start(2)
        before = code[:start].rstrip()
        if not before or before[-1] not in ";{})":
            continue
        if re.match(r"(case|default|else|for|if|while|switch|do)\b", code[start:]):
            continue
        depth, k = 0, start
        while k < len(code):
            ch = code[k]
            if ch in "([{":
                depth += 1
            elif ch in ")]}":
                depth -= 1
                if depth < 0:
                    break
            elif ch == ";" and depth == 0:
                break
            k += 1
        if k >= len(code) or code[k] != ";" or depth < 0:
            continue
        statement = code[start:k + 1]
        # Declarations and definitions cannot simply go; a deleted one would not compile anyway.
        if "{" in statement and not statement.rstrip(";").rstrip().endswith(")"):
            continue
        add(start, k + 1, "{}", "delete")
    return found


# ---- building and testing ------------------------------------------------------------

class Runner:
    def __init__(self, root, build, tests_regex, exclude_regex, seconds):
        self.root, self.build_dir = root, build
        listing = subprocess.run(
            ["ctest", "--test-dir", build, "--show-only=json-v1"]
            + (["-R", tests_regex] if tests_regex else []) + (["-E", exclude_regex] if exclude_regex else []),
            check=True, capture_output=True, text=True).stdout
        self.tests = []
        for t in json.loads(listing)["tests"]:
            env = {}
            directory = build
            for p in t.get("properties", []):
                if p["name"] == "ENVIRONMENT":
                    env.update(v.split("=", 1) for v in p["value"])
                elif p["name"] == "WORKING_DIRECTORY":
                    directory = p["value"]
            serial = any(p["name"] == "RUN_SERIAL" and p["value"] for p in t.get("properties", []))
            self.tests.append({"name": t["name"], "command": t["command"], "env": env, "cwd": directory,
                               "serial": serial, "seconds": 1e9})
        self.log_dir = os.path.join(build, "mutate-logs")
        os.makedirs(self.log_dir, exist_ok=True)
        if not self.tests:
            sys.exit("no tests selected")
        # One stage per test program: it is linked only when the stages before it passed,
        # so a mutant that the first program catches costs one link.
        self.stages = {}
        for t in self.tests:
            program = next(os.path.basename(c)[:-4] for c in t["command"] if c.endswith(".exe"))
            self.stages.setdefault(program, []).append(t)
        self.seconds = seconds

    def build(self, targets):
        args = ["cmake", "--build", self.build_dir, "-j2"]
        for t in targets:
            args += ["--target", t]
        return subprocess.run(args, capture_output=True, text=True).returncode == 0

    def build_all(self):
        return self.build(list(self.stages) + ["scancfg"])

    def stage_order(self, path):
        """The program whose tests are named after the mutated file first, then by speed."""
        stem = os.path.splitext(os.path.basename(path))[0]
        own = {p for p in self.stages
               if any(os.path.exists(os.path.join(self.root, "tests", p.removeprefix("test_"), f))
                      for f in (stem + "_test.cpp", stem + "_tests.cpp"))}
        return sorted(self.stages, key=lambda p: (p not in own, sum(t["seconds"] for t in self.stages[p])))

    def run_mutant(self, path):
        """("killed", first failing test), ("survived", ""), or ("not compiled", "link")."""
        for program in self.stage_order(path):
            if not self.build([program]):
                return "not compiled", "link"
            failed = self.run_tests(self.stages[program])
            if failed:
                return "killed", failed
        return "survived", ""

    def run_tests(self, tests, baseline=False):
        """The name of the first failing test (two at a time), or None."""
        pending = list(tests)
        running = []
        failed = None
        while (pending or running) and not failed:
            # A RUN_SERIAL test (real input) runs alone, as ctest runs it.
            while pending and len(running) < 2 and not (running and (pending[0]["serial"] or running[0][1]["serial"])):
                test = pending.pop(0)
                limit = 600 if baseline else self.seconds or max(30, 5 * test["seconds"])
                env = dict(os.environ, **test["env"], SCANCFG_TEST_SECONDS=str(int(limit)))
                with open(os.path.join(self.log_dir, test["name"] + ".log"), "wb") as log:
                    p = subprocess.Popen(test["command"], cwd=test["cwd"], env=env, stdout=log,
                                         stderr=subprocess.STDOUT, start_new_session=True)
                running.append((p, test, time.monotonic(), limit))
            time.sleep(0.05)
            for entry in list(running):
                p, test, started, limit = entry
                status = p.poll()
                if status is None and time.monotonic() - started > limit + 30:
                    # The test command ends itself at its limit; this is the guard behind it.
                    os.killpg(p.pid, signal.SIGKILL)
                    p.wait()
                    status = 124
                if status is None:
                    continue
                running.remove(entry)
                if baseline:
                    test["seconds"] = time.monotonic() - started
                if status != 0:
                    failed = f"{test['name']} ({'time limit' if status == 124 else 'exit ' + str(status)})"
        for p, _, _, _ in running:
            try:
                os.killpg(p.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            p.wait()
        return failed


def object_target(build, path):
    """The make target that compiles `path` alone, and the object file it writes."""
    for directory, _, files in os.walk(os.path.join(build, "CMakeFiles")):
        name = os.path.basename(path) + ".obj"
        if name in files and directory.endswith(os.path.dirname(path)) and "scancfg_" in directory:
            return path + ".obj", os.path.join(directory, name)
    sys.exit(f"no object file for {path}; is it part of the program?")


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha1(f.read()).hexdigest()


# ---- main ----------------------------------------------------------------------------

def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("files", nargs="+", help="source files to mutate, relative to the source root")
    parser.add_argument("--build", required=True)
    parser.add_argument("--tests", default="", help="ctest -R: the tests to run (all by default)")
    parser.add_argument("--exclude", default="soak", help="ctest -E: tests left out (default: soak)")
    parser.add_argument("--max", type=int, default=0, help="at most this many mutants per file, chosen at random")
    parser.add_argument("--seed", type=int, default=1, help="seed of that choice (default 1)")
    parser.add_argument("--kinds", default="cmp,arith,const,negate,delete")
    parser.add_argument("--line", default="", help="only mutants on these lines (FROM-TO)")
    parser.add_argument("--seconds", type=int, default=0, help="time limit per test (default: 5 x its baseline, at least 30 s)")
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    args = parser.parse_args()

    root = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
    kinds = set(args.kinds.split(","))
    plan = []
    for path in args.files:
        with open(os.path.join(root, path), encoding="utf-8") as f:
            text = f.read()
        mutants = [m for m in find_mutants(path, text) if m.kind in kinds]
        if args.line:
            low, high = (int(x) for x in args.line.split("-"))
            mutants = [m for m in mutants if low <= m.line <= high]
        mutants.sort(key=lambda m: (m.start, m.end, m.replacement))
        if args.max and len(mutants) > args.max:
            mutants = sorted(random.Random(f"{args.seed}:{path}").sample(mutants, args.max),
                             key=lambda m: (m.start, m.replacement))
        plan.append((path, text, mutants))

    if args.list:
        for _, _, mutants in plan:
            for m in mutants:
                print(m.describe())
        print(f"{sum(len(m) for _, _, m in plan)} mutants")
        return 0

    # A copy of every file before it is touched: if this run is killed outright, the next
    # run puts the original back first.
    backup_dir = os.path.join(args.build, "mutate-originals")
    os.makedirs(backup_dir, exist_ok=True)
    for name in os.listdir(backup_dir):
        relative = name.replace("__", "/")
        shutil.copyfile(os.path.join(backup_dir, name), os.path.join(root, relative))
        os.remove(os.path.join(backup_dir, name))
        print(f"restored {relative} from an interrupted run")

    runner = Runner(root, args.build, args.tests, args.exclude, args.seconds)
    print(f"tests: {', '.join(t['name'] for t in runner.tests)}")
    if not runner.build_all():
        sys.exit("the unmutated tree does not build")
    failed = runner.run_tests(runner.tests, baseline=True)
    if failed:
        name = failed.split(" ")[0]
        with open(os.path.join(runner.log_dir, name + ".log"), errors="replace") as log:
            print("".join(log.readlines()[-40:]))
        sys.exit(f"the unmutated tree fails {failed}")
    print("baseline: " + ", ".join(f"{t['name']} {t['seconds']:.1f} s" for t in runner.tests))

    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    results = []
    started = time.monotonic()
    try:
        for path, text, mutants in plan:
            full = os.path.join(root, path)
            backup = os.path.join(backup_dir, path.replace("/", "__"))
            make_target, object_file = object_target(args.build, path)
            original_digest = digest(object_file)
            shutil.copyfile(full, backup)
            try:
                for index, m in enumerate(mutants, 1):
                    with open(full, "w", encoding="utf-8") as f:
                        f.write(text[:m.start] + m.replacement + text[m.end:])
                    if not runner.build([make_target]):
                        outcome, detail = "not compiled", ""
                    elif digest(object_file) == original_digest:
                        outcome, detail = "equivalent", "identical object file"
                    else:
                        outcome, detail = runner.run_mutant(path)
                    results.append((m, outcome, detail))
                    print(f"[{index}/{len(mutants)}] {outcome:12} {m.describe()}  {detail}", flush=True)
            finally:
                shutil.copyfile(backup, full)
                os.remove(backup)
    finally:
        # Rebuild from the restored sources so the tree is the unmutated one again.
        runner.build_all()

    print(f"\n{'file':32} {'mutants':>8} {'compiled':>9} {'same obj':>9} {'killed':>7} {'survived':>9} {'score':>7}")
    for path, _, _ in plan:
        count = {o: sum(r[1] == o for r in results if r[0].path == path)
                 for o in ("not compiled", "equivalent", "killed", "survived")}
        rows, killed, survived = sum(count.values()), count["killed"], count["survived"]
        score = f"{100 * killed / (killed + survived):.1f}%" if killed + survived else "-"
        print(f"{path:32} {rows:8} {rows - count['not compiled']:9} {count['equivalent']:9} {killed:7} {survived:9} {score:>7}")
    killed = sum(r[1] == "killed" for r in results)
    survived = [r for r in results if r[1] == "survived"]
    if killed + len(survived):
        print(f"score: {killed} of {killed + len(survived)} tested mutants killed "
              f"({100 * killed / (killed + len(survived)):.1f}%) in {time.monotonic() - started:.0f} s")
    if survived:
        print("\nsurvivors:")
        for m, _, _ in survived:
            print("  " + m.describe())
    return 0


if __name__ == "__main__":
    sys.exit(main())
