"""What the Windows tests share: the Linux and Windows builds' programs, Wine, and the checks of a
printed statement (its text by pdftotext, its pages by pdftoppm)."""
import os
import subprocess
import sys

WINE = os.environ.get("WINE", "/usr/lib/wine/wine64")


def windows_path(path):
    """A Linux path as the Windows programs see it: on drive Z:, with backslashes."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Builds:
    def __init__(self, linux_build, windows_build):
        self.linux = os.path.abspath(linux_build)
        self.windows = os.path.abspath(windows_build)

    def linux_program(self, name):
        for folder in ("bin", "tests/printing"):
            path = os.path.join(self.linux, folder, name)
            if os.access(path, os.X_OK):
                return [path]
        sys.exit("no %s in %s" % (name, self.linux))

    def windows_program(self, name):
        path = os.path.join(self.windows, "bin", name + ".exe")
        if not os.path.exists(path):
            sys.exit("no %s.exe in %s/bin" % (name, self.windows))
        return [WINE, path]


def linux_env():
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", LC_ALL="C.UTF-8")
    return env


def windows_env():
    """Nothing of Qt's from the host: the Windows program finds its platform and fonts itself."""
    return {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "WINEQT_"))}


def pdf_text(pdf):
    return subprocess.run(["pdftotext", "-layout", pdf, "-"], check=True,
                          capture_output=True).stdout.decode("utf-8")


def pdf_pages(pdf, prefix, dpi=60):
    """Renders every page to PPM; returns the files in page order."""
    subprocess.run(["pdftoppm", "-r", str(dpi), pdf, prefix], check=True)
    folder, stem = os.path.split(prefix)
    return sorted(os.path.join(folder, f) for f in os.listdir(folder)
                  if f.startswith(stem + "-") and f.endswith(".ppm"))


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    # P6, width, height, maxval, then one byte of whitespace and the pixels.
    fields = []
    at = 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    return int(fields[1]), int(fields[2]), data[at + 1:]


def differing_pixels(a, b):
    wa, ha, pa = read_ppm(a)
    wb, hb, pb = read_ppm(b)
    if (wa, ha) != (wb, hb):
        return None
    return sum(1 for i in range(0, len(pa), 3) if pa[i:i + 3] != pb[i:i + 3])
