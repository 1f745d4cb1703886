"""networth.exe --print-pdf under Wine against the Linux networth: the full scenario matter, its
tables written by the Linux build, printed by both; the statements' text (pdftotext) is the same
and so are their pages, rendered.

usage: cross_print.py LINUX_BUILD WINDOWS_BUILD   (WINEPREFIX should name a started prefix)
"""
import os
import subprocess
import sys
import tempfile

from wine_build import (Builds, differing_pixels, linux_env, pdf_pages, pdf_text, windows_env,
                        windows_path)

MATTER = "Smith v. Smith"


def main():
    builds = Builds(sys.argv[1], sys.argv[2])
    failures = []
    with tempfile.TemporaryDirectory(prefix="networth-cross-print.") as work:
        data = os.path.join(work, "data")
        subprocess.run(builds.linux_program("print_scenario") + [data], check=True)

        linux_pdf = os.path.join(work, "linux.pdf")
        subprocess.run(builds.linux_program("networth") +
                       ["--print-pdf", MATTER, linux_pdf, "--data-dir", data + "/"],
                       check=True, env=linux_env())
        # A Windows path with a drive letter and backslashes, as an office would type it.
        windows_pdf = os.path.join(work, "windows.pdf")
        subprocess.run(builds.windows_program("networth") +
                       ["--print-pdf", MATTER, windows_path(windows_pdf),
                        "--data-dir", windows_path(data) + "\\"],
                       check=True, env=windows_env())

        linux_text, windows_text = pdf_text(linux_pdf), pdf_text(windows_pdf)
        # The caption names the parties, not the matter.
        if "JANE Q. SMITH" not in linux_text or "STATEMENT OF NET WORTH" not in linux_text:
            failures.append("the Linux statement lacks the plaintiff or its title")
        if linux_text != windows_text:
            failures.append("the statements' text differs")
            for n, (a, b) in enumerate(zip(linux_text.splitlines(), windows_text.splitlines())):
                if a != b:
                    failures.append("  first difference, line %d:\n    linux   %r\n    windows %r"
                                    % (n + 1, a, b))
                    break

        linux_pages = pdf_pages(linux_pdf, os.path.join(work, "linux"))
        windows_pages = pdf_pages(windows_pdf, os.path.join(work, "windows"))
        if len(linux_pages) != len(windows_pages) or not linux_pages:
            failures.append("pages: %d on Linux, %d on Windows" % (len(linux_pages),
                                                                  len(windows_pages)))
        for n, (a, b) in enumerate(zip(linux_pages, windows_pages)):
            diff = differing_pixels(a, b)
            if diff is None or diff > 0:
                failures.append("page %d looks different (%s pixels)" % (n + 1, diff))
        print("%d pages compared" % len(linux_pages))

    for f in failures:
        print("FAIL:", f)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
