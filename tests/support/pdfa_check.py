#!/usr/bin/python3
"""The suite's PDF/A check: every PDF that the tests handed over, validated against PDF/A-1b by
PDFBox Preflight (Debian's libpdfbox2-java) in one run of the Java VM.

  pdfa_check.py reset DIR    empties DIR (the fixture's set-up)
  pdfa_check.py check DIR    validates every *.pdf in DIR; exits 1 naming each file that fails
                             and Preflight's errors, 0 when all pass (or DIR holds none)
  pdfa_check.py check FILE.pdf...   the same for the named files
"""
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

JARS = ["preflight", "pdfbox2", "fontbox2", "xmpbox", "commons-logging", "javax.activation",
        "jaxb-api"]
JAVA_DIR = "/usr/share/java"


def class_path():
    paths = [os.path.join(JAVA_DIR, jar + ".jar") for jar in JARS]
    missing = [p for p in paths if not os.path.exists(p)]
    if missing:
        sys.exit("pdfa_check: missing %s (scripts/install-deps.sh installs them)" % ", ".join(missing))
    return ":".join(paths)


def validate(pdfs):
    """Maps each file to the list of Preflight's errors (empty: valid PDF/A-1b)."""
    java = shutil.which("java") or sys.exit("pdfa_check: no java on PATH")
    with tempfile.TemporaryDirectory() as tmp:
        # Preflight reports by base name: link each file under a unique one.
        names = {}
        for i, pdf in enumerate(pdfs):
            name = "%04d.pdf" % i
            os.symlink(os.path.abspath(pdf), os.path.join(tmp, name))
            names[name] = pdf
        listing = os.path.join(tmp, "files.txt")
        with open(listing, "w") as out:
            out.write("".join(os.path.join(tmp, n) + "\n" for n in sorted(names)))
        run = subprocess.run([java, "-cp", class_path(), "org.apache.pdfbox.preflight.Validator_A1b",
                              "xml", "group", listing], capture_output=True, text=True)
        report = listing + ".preflight.xml"
        if not os.path.exists(report):
            sys.exit("pdfa_check: Preflight wrote no report\n" + run.stdout + run.stderr)
        results = {pdf: ["not validated"] for pdf in pdfs}
        for preflight in ET.parse(report).getroot().iter("preflight"):
            pdf = names.get(preflight.get("name"))
            if pdf is None:
                continue
            valid = preflight.findtext("isValid", "").strip() == "true"
            results[pdf] = [] if valid else [
                "%s: %s" % (e.findtext("code", "?"), e.findtext("details", "").strip())
                for e in preflight.iter("error")] or ["not valid"]
        return results


def main(argv):
    if len(argv) == 3 and argv[1] == "reset":
        shutil.rmtree(argv[2], ignore_errors=True)
        os.makedirs(argv[2])
        return 0
    if len(argv) < 3 or argv[1] != "check":
        sys.exit(__doc__)
    if len(argv) == 3 and os.path.isdir(argv[2]):
        pdfs = sorted(os.path.join(argv[2], f) for f in os.listdir(argv[2]) if f.endswith(".pdf"))
    else:
        pdfs = argv[2:]
    if not pdfs:
        print("pdfa_check: no PDF to check")
        return 0
    failed = 0
    for pdf, errors in validate(pdfs).items():
        if errors:
            failed += 1
            print("NOT PDF/A-1b: %s" % os.path.basename(pdf))
            for error in errors:
                print("    " + error)
    print("pdfa_check: %d of %d PDF files are valid PDF/A-1b" % (len(pdfs) - failed, len(pdfs)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
