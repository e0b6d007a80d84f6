#!/usr/bin/env python3
"""Joins the compile commands of the project's builds into the one database the naming check
runs clang-tidy over: every C++ source of the project that some build compiles, once, with the
command of the first database (in the order given) that compiles it. Sources inside a build
tree are generated, not the project's, and are left out.

The commands are made fit for clang-tidy: the precompiled header the Linux build gives the
tests is left out (each test includes its headers itself), and a source the mingw-w64 cross
compiler builds is parsed as clang parses for that target, with the cross compiler's own C++
library headers and its Windows headers (clang does not find the library of a GCC whose
version directory carries a suffix, as Debian's "12-posix" does).

Usage: names_database.py SOURCE_DIR OUTPUT DATABASE...
"""

import json
import os
import shlex
import subprocess
import sys

CPP_SUFFIXES = (".cpp", ".cc", ".cxx")


def inside(path, folder):
    return os.path.commonpath([path, folder]) == folder


def cross_header_arguments(compiler):
    """The clang arguments that parse a source as the mingw-w64 compiler COMPILER builds it."""
    target = os.path.basename(compiler).split("-g++")[0]
    listing = subprocess.run([compiler, "-E", "-x", "c++", "-v", os.devnull], check=True,
                             capture_output=True, text=True).stderr.splitlines()
    start = listing.index("#include <...> search starts here:") + 1
    folders = [os.path.normpath(line.strip())
               for line in listing[start:listing.index("End of search list.")]]
    library = [folder for folder in folders if "/c++" in folder]
    system = [folder for folder in folders
              if os.path.exists(os.path.join(folder, "windows.h"))]
    if not library or not system:
        raise SystemExit(f"names_database: {compiler} names no C++ library or Windows headers")
    arguments = [f"--target={target}", f"--sysroot={os.path.dirname(system[0])}", "-nostdinc++"]
    for folder in library:
        arguments += ["-isystem", folder]
    return arguments


def for_clang_tidy(arguments, cross_arguments):
    """ARGUMENTS of a compile command, as clang-tidy should parse the source."""
    kept = []
    skip = False
    for index, argument in enumerate(arguments):
        if skip:
            skip = False
        elif argument == "-include" and index + 1 < len(arguments) and \
                arguments[index + 1].endswith("cmake_pch.hxx"):
            skip = True
        elif argument != "-Winvalid-pch":
            kept.append(argument)
    compiler = kept[0]
    if "mingw32" in os.path.basename(compiler):
        if compiler not in cross_arguments:
            cross_arguments[compiler] = cross_header_arguments(compiler)
        kept[1:1] = cross_arguments[compiler]
    return kept


def join_databases(source_dir, databases):
    """The entries of DATABASES (paths of compile_commands.json files) for the naming check."""
    source_dir = os.path.realpath(source_dir)
    build_trees = [os.path.realpath(os.path.dirname(database)) for database in databases]
    joined = []
    seen = set()
    cross_arguments = {}
    for database in databases:
        with open(database, encoding="utf-8") as file:
            entries = json.load(file)
        for entry in entries:
            path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
            if (path in seen or not path.endswith(CPP_SUFFIXES) or not inside(path, source_dir)
                    or any(inside(path, tree) for tree in build_trees)):
                continue
            seen.add(path)
            arguments = entry.get("arguments") or shlex.split(entry["command"])
            joined.append({"directory": entry["directory"], "file": path,
                           "arguments": for_clang_tidy(arguments, cross_arguments)})
    return joined


def main(argv):
    if len(argv) < 4:
        raise SystemExit(__doc__.strip().splitlines()[-1])
    joined = join_databases(argv[1], argv[3:])
    with open(argv[2], "w", encoding="utf-8") as file:
        json.dump(joined, file, indent=1)
        file.write("\n")


if __name__ == "__main__":
    main(sys.argv)
