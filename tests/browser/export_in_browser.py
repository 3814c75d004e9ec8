#!/usr/bin/env python3
"""Exports a module full of HTML-special characters as a coloured page, loads the page in
headless Chromium and checks what the browser shows: the text inside <pre> must be the module's
code lines exactly (and the one closing break of the coloured block), keywords and comments must carry their colours, and no markup from the code
may turn into elements.

  export_in_browser.py MARQUILL_BINARY PROJECT_FOLDER
Exits 77 (skipped) when no chromium is installed."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

SKIPPED = 77
KEYWORD_COLOR = "rgb(0, 0, 153)"
COMMENT_COLOR = "rgb(0, 153, 0)"

# Appended to the exported page: reports what the parsed document holds, URI-encoded so the
# dumped DOM carries it without any entity of its own.
PROBE = """<script>
const pre = document.querySelector('pre');
const spans = [...pre.querySelectorAll('span')].map(s => ({
  cls: s.className, color: getComputedStyle(s).color, text: s.textContent}));
const report = {text: pre.textContent, spans: spans,
  elements: [...pre.querySelectorAll('*')].map(e => e.tagName.toLowerCase()),
  scripts: document.scripts.length};
const out = document.createElement('div');
out.id = 'probe';
out.setAttribute('data-report', encodeURIComponent(JSON.stringify(report)));
document.body.appendChild(out);
</script>
"""


def find_chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


def code_lines(module_path):
    """The module's lines below its Attribute header, as the code window shows them."""
    with open(module_path, encoding="latin-1", newline="") as f:
        lines = f.read().split("\r\n")
    if lines and lines[-1] == "":
        lines.pop()
    while lines and lines[0].startswith("Attribute "):
        lines.pop(0)
    return lines


def browser_report(chromium, page_path):
    dom = subprocess.run(
        [chromium, "--headless", "--disable-gpu", "--no-sandbox", "--no-first-run",
         "--user-data-dir=" + os.path.join(os.path.dirname(page_path), "profile"),
         "--dump-dom", "file://" + page_path],
        capture_output=True, text=True, timeout=120, check=True).stdout
    marker = 'data-report="'
    start = dom.find(marker)
    if start < 0:
        sys.exit("the probe did not run; dumped DOM:\n" + dom[:2000])
    start += len(marker)
    return json.loads(urllib.parse.unquote(dom[start:dom.index('"', start)]))


def check(report, expected_lines):
    failures = []
    # The coloured block opens with a break the browser drops, and ends every piece between
    # breaks with a break, the empty piece after the last line too: so the code, then one more.
    expected_text = "".join(line + "\n" for line in expected_lines) + "\n"
    if report["text"] != expected_text:
        failures.append("text in <pre> differs:\n  shown:    %r\n  expected: %r"
                        % (report["text"], expected_text))
    stray = [tag for tag in report["elements"] if tag != "span"]
    if stray:
        failures.append("code turned into elements: %s" % stray)
    if report["scripts"] != 1:
        failures.append("%d scripts in the page; only the probe expected" % report["scripts"])
    colors = {"keyword": KEYWORD_COLOR, "comment": COMMENT_COLOR}
    for span in report["spans"]:
        want = colors.get(span["cls"])
        if want is None:
            failures.append("span of unknown class %r: %r" % (span["cls"], span["text"]))
        elif span["color"] != want:
            failures.append("%s %r shown in %s, expected %s"
                            % (span["cls"], span["text"], span["color"], want))
    keywords = {word for s in report["spans"] if s["cls"] == "keyword"
                for word in s["text"].split()}
    for word in ("Public", "Function", "ByVal", "As", "If", "Then", "Else", "End"):
        if word not in keywords:
            failures.append("keyword %r not coloured (coloured: %s)" % (word, sorted(keywords)))
    comments = [s["text"] for s in report["spans"] if s["cls"] == "comment"]
    for comment in (expected_lines[1] + "\n" + expected_lines[2],
                    "' it's \"tagged\" <script>alert(1)</script>"):
        if not any(c.rstrip("\n") == comment for c in comments):
            failures.append("comment %r not shown as one comment span (comments: %r)"
                            % (comment, comments))
    return failures


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: export_in_browser.py MARQUILL_BINARY PROJECT_FOLDER")
    marquill, project = sys.argv[1], os.path.abspath(sys.argv[2])
    chromium = find_chromium()
    if chromium is None:
        print("SKIPPED: chromium is not installed, so the page cannot be loaded in a browser")
        return SKIPPED
    with tempfile.TemporaryDirectory() as scratch:
        page = os.path.join(scratch, "modQuotes.htm")
        subprocess.run([marquill, "export-html", "--component", "modQuotes", "--colors",
                        "-o", page, os.path.join(project, "Quotes.vbp")], check=True)
        with open(page, "a", encoding="latin-1") as f:
            f.write(PROBE)
        report = browser_report(chromium, page)
    failures = check(report, code_lines(os.path.join(project, "modQuotes.bas")))
    for failure in failures:
        print("FAIL:", failure)
    if failures:
        return 1
    print("ok: %d lines, %d coloured spans as the browser shows them"
          % (report["text"].count("\n"), len(report["spans"])))
    return 0


if __name__ == "__main__":
    sys.exit(main())
