"""A Windows workstation (the Windows build under Wine) and a Linux one on one data directory at
once: each appends expense lines to the full scenario matter while the other prints its statement
again and again, and then both append at the same time. Every line arrives once (dbfread counts
them), every statement printed meanwhile is whole (it holds the scenario's lines and a run of the
appended ones without a gap), and the two final statements are the same and list every line.

usage: shared_workstations.py LINUX_BUILD WINDOWS_BUILD   (WINEPREFIX should name a started prefix)
"""
import os
import re
import subprocess
import sys
import tempfile

import dbfread

from wine_build import Builds, linux_env, pdf_text, windows_env, windows_path

MATTER = "Smith v. Smith"
LINES = 25
failures = []


class Workstation:
    def __init__(self, name, builds, data):
        self.name = name
        self.data = data
        if name == "Windows":
            self.program = builds.windows_program
            self.env = windows_env()
            self.directory = windows_path(data) + "\\"
            self.path = windows_path
        else:
            self.program = builds.linux_program
            self.env = linux_env()
            self.directory = data + "/"
            self.path = lambda p: p

    def start_appending(self, label):
        return subprocess.Popen(self.program("expense_appender") +
                                [self.directory, MATTER, label, str(LINES)], env=self.env)

    def print_statement(self, pdf):
        result = subprocess.run(self.program("networth") +
                                ["--print-pdf", MATTER, self.path(pdf), "--data-dir",
                                 self.directory], env=self.env, capture_output=True)
        if result.returncode != 0:
            failures.append("%s print: exit %d, %r" % (self.name, result.returncode,
                                                       result.stderr[-500:]))
            return None
        return pdf_text(pdf)


def appended_numbers(text, label):
    return sorted(int(n) for n in re.findall(re.escape(label) + r" (\d{3})", text))


def check_whole(text, labels, what):
    """The scenario's own lines, and of each label's lines a run from 1 without a gap."""
    if "Groceries" not in text or "Storage unit" not in text:
        failures.append("%s: the scenario's expense lines are missing" % what)
    for label in labels:
        numbers = appended_numbers(text, label)
        if numbers != list(range(1, len(numbers) + 1)):
            failures.append("%s: %s lines %s" % (what, label, numbers))


def print_while(printer, writers, work, labels):
    printed = 0
    while any(w.poll() is None for w in writers):
        text = printer.print_statement(os.path.join(work, "during.pdf"))
        if text is not None:
            check_whole(text, labels, "%s statement printed meanwhile" % printer.name)
        printed += 1
    for w in writers:
        if w.returncode != 0:
            failures.append("an appender exited with %d" % w.returncode)
    return printed


def main():
    builds = Builds(sys.argv[1], sys.argv[2])
    with tempfile.TemporaryDirectory(prefix="networth-shared.") as work:
        data = os.path.join(work, "data")
        subprocess.run(builds.linux_program("print_scenario") + [data], check=True)
        windows = Workstation("Windows", builds, data)
        linux = Workstation("Linux", builds, data)

        n = print_while(linux, [windows.start_appending("Windows line")], work, ["Windows line"])
        print("Windows appended %d lines while Linux printed %d times" % (LINES, n))
        n = print_while(windows, [linux.start_appending("Linux line")], work,
                        ["Windows line", "Linux line"])
        print("Linux appended %d lines while Windows printed %d times" % (LINES, n))
        both = [windows.start_appending("Windows both"), linux.start_appending("Linux both")]
        for w in both:
            w.wait()
            if w.returncode != 0:
                failures.append("an appender exited with %d" % w.returncode)

        labels = ["Windows line", "Linux line", "Windows both", "Linux both"]
        stored = [r["expense"] for r in dbfread.DBF(os.path.join(data, "Expenses.dbf"),
                                                     encoding="cp437", lowernames=True)
                  if r["matter"] == MATTER]
        for label in labels:
            numbers = [int(e.rsplit(" ", 1)[1]) for e in stored if e.startswith(label + " ")]
            if sorted(numbers) != list(range(1, LINES + 1)):
                failures.append("stored %s lines: %s" % (label, sorted(numbers)))

        final_linux = linux.print_statement(os.path.join(work, "linux.pdf"))
        final_windows = windows.print_statement(os.path.join(work, "windows.pdf"))
        if final_linux is not None and final_windows is not None:
            if final_linux != final_windows:
                failures.append("the final statements differ")
            for label in labels:
                if appended_numbers(final_linux, label) != list(range(1, LINES + 1)):
                    failures.append("final statement: %s lines %s"
                                    % (label, appended_numbers(final_linux, label)))

    for f in failures:
        print("FAIL:", f)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
