#!/usr/bin/env python3
"""Tests of names_database.py: which sources the joined database holds and under which command,
and that a source of the mingw-w64 cross build parses with the Windows headers, so that
clang-tidy reports a bad name in it and nothing else."""

import json
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import names_database  # noqa: E402

PROJECT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CROSS_COMPILER = "x86_64-w64-mingw32-g++-posix"


class JoinedDatabase(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.root = self.folder.name
        for tree in ("build/linux", "build/windows"):
            os.makedirs(os.path.join(self.root, tree))

    def tearDown(self):
        self.folder.cleanup()

    def write_database(self, tree, entries):
        path = os.path.join(self.root, tree, "compile_commands.json")
        with open(path, "w", encoding="utf-8") as file:
            json.dump(entries, file)
        return path

    def source(self, relative, text=""):
        path = os.path.join(self.root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as file:
            file.write(text)
        return path

    def test_each_source_once_under_the_first_build_that_compiles_it(self):
        linux_dir = os.path.join(self.root, "build/linux")
        windows_dir = os.path.join(self.root, "build/windows")
        pch = os.path.join(linux_dir, "cmake_pch.hxx")
        linux = self.write_database("build/linux", [
            {"directory": linux_dir, "file": "../..//src/a.cpp",
             "command": f"g++ -Isrc -include {pch} -Winvalid-pch -c ../../src/a.cpp"},
            {"directory": linux_dir, "file": f"{self.root}/src/a.cpp", "command": "g++ -DSECOND"},
            {"directory": linux_dir, "file": f"{linux_dir}/generated.cpp", "command": "g++"},
            {"directory": linux_dir, "file": "/elsewhere/b.cpp", "command": "g++"}])
        windows = self.write_database("build/windows", [
            {"directory": windows_dir, "file": f"{self.root}/src/a.cpp", "arguments": ["cc"]},
            {"directory": windows_dir, "file": f"{self.root}/win/c.cpp",
             "arguments": ["c++", "-include", "prelude.h", "-c", "win/c.cpp"]},
            {"directory": windows_dir, "file": f"{windows_dir}/version.rc",
             "arguments": ["windres"]}])
        joined = names_database.join_databases(self.root, [linux, windows])
        self.assertEqual(
            [(entry["file"], entry["arguments"]) for entry in joined],
            [(f"{self.root}/src/a.cpp", ["g++", "-Isrc", "-c", "../../src/a.cpp"]),
             (f"{self.root}/win/c.cpp", ["c++", "-include", "prelude.h", "-c", "win/c.cpp"])])

    def clang_tidy(self, relative):
        path = os.path.join(self.root, relative)
        windows_dir = os.path.join(self.root, "build/windows")
        database = self.write_database("build/windows", [
            {"directory": windows_dir, "file": path,
             "arguments": [CROSS_COMPILER, "-std=c++20", "-c", path]}])
        joined = names_database.join_databases(self.root, [database])
        names = os.path.join(self.root, "names")
        os.makedirs(names, exist_ok=True)
        with open(os.path.join(names, "compile_commands.json"), "w", encoding="utf-8") as file:
            json.dump(joined, file)
        return subprocess.run(
            ["clang-tidy", "--quiet", f"--config-file={PROJECT}/.clang-tidy", "-p", names, path],
            capture_output=True, text=True)

    def test_cross_built_source_parses_for_windows_and_its_bad_name_is_reported(self):
        windows_source = """#include <windows.h>
#include <string>
std::wstring TickText() { return std::to_wstring(GetTickCount()); }
"""
        self.source("win/clean.cpp", windows_source +
                    "int wmain(int, wchar_t**) { return TickText().empty() ? 1 : 0; }\n")
        self.source("win/planted.cpp", windows_source + "int tick_length() "
                    "{ return static_cast<int>(TickText().size()); }\n")
        clean = self.clang_tidy("win/clean.cpp")
        self.assertEqual(clean.returncode, 0, clean.stdout + clean.stderr)
        planted = self.clang_tidy("win/planted.cpp")
        self.assertNotEqual(planted.returncode, 0)
        errors = [line for line in planted.stdout.splitlines() if "error:" in line]
        self.assertEqual(len(errors), 1, planted.stdout + planted.stderr)
        self.assertIn("invalid case style for function 'tick_length'", errors[0])


if __name__ == "__main__":
    unittest.main()
