#!/usr/bin/python3
"""The PDF/A check itself: a well-formed PDF that is not PDF/A (no file identifier, no output
intent, no XMP metadata, a font that is not embedded) must fail it, named with Preflight's errors,
and a folder without PDF files passes."""
import os
import subprocess
import sys
import tempfile

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pdfa_check.py")


def plain_pdf():
    """A one-page PDF 1.4 with text in Helvetica, not embedded: what a writer without PDF/A
    settings produces."""
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R"
        b" /Resources << /Font << /F1 5 0 R >> >> >>",
        None,
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    ]
    content = b"BT /F1 12 Tf 72 720 Td (Sworn to before me) Tj ET"
    objects[3] = b"<< /Length %d >>\nstream\n%s\nendstream" % (len(content), content)
    out = bytearray(b"%PDF-1.4\n")
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n%s\nendobj\n" % (number, body)
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += b"".join(b"%010d 00000 n \n" % offset for offset in offsets)
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1,
                                                                            xref)
    return bytes(out)


def run(*args):
    result = subprocess.run([sys.executable, CHECK] + list(args), capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


def main():
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        code, out = run("check", folder)
        if code != 0 or "no PDF to check" not in out:
            failures.append("an empty folder: exit %d\n%s" % (code, out))
        with open(os.path.join(folder, "plain.pdf"), "wb") as pdf:
            pdf.write(plain_pdf())
        code, out = run("check", folder)
        if code != 1 or "NOT PDF/A-1b: plain.pdf" not in out or "ID" not in out:
            failures.append("a plain PDF: exit %d\n%s" % (code, out))
        if "0 of 1 PDF files are valid" not in out:
            failures.append("the count: %s" % out)
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
