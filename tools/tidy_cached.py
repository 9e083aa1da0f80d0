#!/usr/bin/env python3
"""Runs clang-tidy over translation units of a compile database, skipping every unit that
passed before with exactly the same inputs (tools/lint calls it; see there).

A unit's inputs, hashed into its key:
  - every compile command of the file (a file compiled twice, with other flags, has two);
  - the content of every file the preprocessor reads for it, system headers included, listed
    afresh on every run by the compiler itself (-M), so a header that now shadows another, a
    changed include path or a new include all change the key;
  - every .clang-tidy file clang-tidy could read for any of those files (those in their folders
    and the folders above), and which folders have none;
  - clang-tidy's version and binary, and this script and tools/lint (the checker's arguments).
Paths inside the source tree enter the key relative to it, so another clone of the same
sources (or another branch that left the unit's inputs alone) finds the stamps too. A unit
whose clang-tidy run ends without a finding gets a stamp named by its key; a unit with a
finding gets none, so it is checked again on every run until it is clean. Stamps not used for
60 days are removed.

    tidy_cached.py [--no-cache] [--jobs N] BUILD_DIR STAMP_DIR TOP FILE...
"""
import argparse
import concurrent.futures
import hashlib
import json
import os
import re
import shlex
import subprocess
import sys
import threading
import time

TIDY = "clang-tidy-14"
# clang-tidy's "N warnings generated" counts what the filters dropped (system headers,
# disabled checks); only real findings are shown.
NOISE = re.compile(r"^([0-9]+ warnings? generated\.|Suppressed [0-9]+ warnings.*|"
                   r"Use -header-filter.*|Use -system-headers.*)$")


class Hashes:
    """Content hashes of files and .clang-tidy lookups, each computed once per run."""

    def __init__(self):
        self.lock = threading.Lock()
        self.files = {}
        self.configs = {}

    def file(self, path):
        with self.lock:
            if path in self.files:
                return self.files[path]
        try:
            with open(path, "rb") as f:
                digest = hashlib.sha256(f.read()).hexdigest()
        except OSError as error:
            digest = "unreadable:" + error.__class__.__name__
        with self.lock:
            self.files[path] = digest
        return digest

    def configs_above(self, folder):
        """(.clang-tidy path, content hash or 'none') for the folder and every one above."""
        with self.lock:
            if folder in self.configs:
                return self.configs[folder]
        config = os.path.join(folder, ".clang-tidy")
        here = [(config, self.file(config) if os.path.exists(config) else "none")]
        parent = os.path.dirname(folder)
        result = here + (self.configs_above(parent) if parent != folder else [])
        with self.lock:
            self.configs[folder] = result
        return result


def dependency_command(entry):
    """The compile command of one database entry turned into a dependency listing (-M)."""
    args = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
    out = []
    skip = False
    for arg in args:
        if skip:
            skip = False
        elif arg == "-o":
            skip = True
        elif arg == "-c" or arg.startswith("-o"):
            continue
        else:
            out.append(arg)
    return out + ["-M", "-MF", "/dev/stdout"]


def dependencies(entry):
    """Every file the preprocessor reads for the entry, or None when it cannot list them."""
    result = subprocess.run(dependency_command(entry), cwd=entry["directory"],
                            capture_output=True, text=True, check=False)
    if result.returncode != 0:
        return None
    text = result.stdout.replace("\\\n", " ")
    _, _, listed = text.partition(": ")
    names = re.findall(r"(?:\\ |[^\s])+", listed)
    return sorted({os.path.realpath(os.path.join(entry["directory"], name.replace("\\ ", " ")))
                   for name in names})


def unit_key(global_key, entries, hashes, top):
    def relative(text):
        return text.replace(top, "<top>")

    digest = hashlib.sha256(global_key.encode())
    for entry in entries:
        digest.update(relative(json.dumps([entry["directory"], entry.get("arguments"),
                                           entry.get("command")])).encode())
        deps = dependencies(entry)
        if deps is None:
            return None, 0
        folders = set()
        for dep in sorted(deps, key=relative):  # the same order in every clone
            digest.update(f"{relative(dep)}\0{hashes.file(dep)}\n".encode())
            folders.add(os.path.dirname(dep))
        for folder in sorted(folders, key=relative):
            for config, content in hashes.configs_above(folder):
                # Folders above the tree differ from clone to clone; only a .clang-tidy that
                # is there counts.
                if content != "none" or config.startswith(top + os.sep):
                    digest.update(f"{relative(config)}\0{content}\n".encode())
    return digest.hexdigest(), len(deps)


def global_key(hashes, top):
    version = subprocess.run([TIDY, "--version"], capture_output=True, text=True,
                             check=True).stdout
    binary = os.path.realpath(subprocess.run(["sh", "-c", f"command -v {TIDY}"],
                                             capture_output=True, text=True,
                                             check=True).stdout.strip())
    parts = [version, binary, hashes.file(binary), hashes.file(os.path.abspath(__file__)),
             hashes.file(os.path.join(top, "tools", "lint"))]
    return hashlib.sha256("\n".join(parts).encode()).hexdigest()


STAMP_LIFETIME = 60 * 24 * 3600  # seconds a stamp is kept without being used


def stamp_path(stamp_dir, key):
    return os.path.join(stamp_dir, key + ".ok")


def prune_stamps(stamp_dir):
    now = time.time()
    for name in os.listdir(stamp_dir):
        path = os.path.join(stamp_dir, name)
        try:
            if now - os.stat(path).st_mtime > STAMP_LIFETIME:
                os.remove(path)
        except OSError:
            pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--no-cache", action="store_true", help="check every file, ignore stamps")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    parser.add_argument("build_dir")
    parser.add_argument("stamp_dir")
    parser.add_argument("top")
    parser.add_argument("files", nargs="+")
    options = parser.parse_args()

    with open(os.path.join(options.build_dir, "compile_commands.json"), encoding="utf-8") as f:
        database = json.load(f)
    by_file = {}
    for entry in database:
        path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
        by_file.setdefault(path, []).append(entry)

    hashes = Hashes()
    top = os.path.realpath(options.top)
    key_all = global_key(hashes, top)
    os.makedirs(options.stamp_dir, exist_ok=True)
    prune_stamps(options.stamp_dir)
    files = [os.path.abspath(name) for name in options.files]

    def classify(path):
        """(path, key or None, size) with key None when the file must be checked."""
        entries = by_file.get(path)
        if not entries:
            return path, None, 0  # not in the database: clang-tidy guesses its flags
        key, size = unit_key(key_all, entries, hashes, top)
        if options.no_cache or key is None:
            return path, key, size
        try:
            os.utime(stamp_path(options.stamp_dir, key))  # used now: kept for another while
            return path, "up to date", size
        except OSError:
            return path, key, size

    with concurrent.futures.ThreadPoolExecutor(options.jobs) as pool:
        classified = list(pool.map(classify, files))
    todo = [(path, key, size) for path, key, size in classified if key != "up to date"]
    # The biggest units (the most headers) first, so the last to finish are short ones.
    todo.sort(key=lambda unit: -unit[2])
    print(f"clang-tidy: {len(files)} files, {len(files) - len(todo)} unchanged since they "
          f"last passed, checking {len(todo)}", file=sys.stderr, flush=True)

    output_lock = threading.Lock()

    def check(unit):
        path, key, _ = unit
        start = time.monotonic()
        result = subprocess.run([TIDY, "-p", options.build_dir, "--quiet", path],
                                capture_output=True, text=True, check=False)
        lines = [line for line in (result.stdout + result.stderr).splitlines()
                 if not NOISE.match(line)]
        with output_lock:
            if lines:
                print("\n".join(lines), flush=True)
        if result.returncode == 0 and key is not None:
            stamp = stamp_path(options.stamp_dir, key)
            temporary = f"{stamp}.{os.getpid()}.{threading.get_ident()}"
            with open(temporary, "w", encoding="utf-8") as f:
                f.write(f"{path}\n{time.monotonic() - start:.1f} s\n")
            os.replace(temporary, stamp)
        return result.returncode == 0

    with concurrent.futures.ThreadPoolExecutor(options.jobs) as pool:
        results = list(pool.map(check, todo))
    failed = results.count(False)
    if failed:
        print(f"clang-tidy: findings in {failed} of {len(todo)} files checked", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
