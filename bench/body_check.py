#!/usr/bin/python3
"""Checks that every body a personal-folders file holds reaches the exported archive.

Exports each file with pst2xmz, reads the file itself with pypff (Debian's python3-pypff) and
compares message by message (matched by subject, in walk order):
  body lost: the file holds text in some form (PR_BODY, HTML or RTF) and the exported message has
             no non-empty text body;
  HTML lost: the file holds HTML (PR_HTML, or RTF encapsulating HTML) and the exported message has
             no text/html part, or one whose visible text differs from the stored HTML's.
It also lists the structural defects Python's email package finds in the exported messages.

usage: body_check.py --bin BUILD/bin [--password NAME=PW ...] FILE...
Runs with the system Python (/usr/bin/python3), where python3-pypff installs its module.
"""
import argparse
import email
import email.errors
import html
import html.parser
import os
import re
import subprocess
import sys
import tempfile
from email import policy

import pypff

STRUCTURE_DEFECTS = (email.errors.StartBoundaryNotFoundDefect,
                     email.errors.MultipartInvariantViolationDefect,
                     email.errors.MissingHeaderBodySeparatorDefect)


class VisibleText(html.parser.HTMLParser):
    """The text a reader of the HTML sees: no scripts, styles, comments or tags."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.parts = []
        self.hidden = 0

    def handle_starttag(self, tag, attrs):
        if tag in ("script", "style", "title"):
            self.hidden += 1

    def handle_endtag(self, tag):
        if tag in ("script", "style", "title") and self.hidden:
            self.hidden -= 1

    def handle_data(self, data):
        if not self.hidden:
            self.parts.append(data)


def visible(text):
    parser = VisibleText()
    parser.feed(text)
    parser.close()
    return re.sub(r"\s+", "", html.unescape("".join(parser.parts)).replace("\xa0", " "))


def decode_stored_html(data):
    if data.count(b"\0") > len(data) // 3:  # a Unicode string value
        return data[:len(data) // 2 * 2].decode("utf-16-le", "replace").rstrip("\0")
    data = data.rstrip(b"\0")
    match = re.search(rb"charset=[\"']?([A-Za-z0-9_-]+)", data[:4096])
    for name in ([match.group(1).decode()] if match else []) + ["utf-8", "cp1252"]:
        try:
            return data.decode(name)
        except (LookupError, UnicodeDecodeError):
            continue
    return data.decode("latin-1")


def rtf_holds_text(rtf):
    """Whether RTF shows any text: what is left outside destinations and control words."""
    depth, hidden_from, shown = 0, None, []
    for token in re.finditer(rb"\\[a-zA-Z]+-?\d* ?|\\'[0-9a-fA-F]{2}|\\.|[{}]|[^\\{}\r\n]+", rtf):
        t = token.group()
        if t == b"{":
            depth += 1
        elif t == b"}":
            if hidden_from is not None and depth <= hidden_from:
                hidden_from = None
            depth -= 1
        elif hidden_from is not None:
            continue
        elif t in (b"\\*",) or re.match(rb"\\(fonttbl|colortbl|stylesheet|info|pict)\b", t):
            hidden_from = depth
        elif t.startswith(b"\\'"):
            shown.append(bytes([int(t[2:], 16)]))
        elif not t.startswith(b"\\"):
            shown.append(t)
    return bool(b"".join(shown).strip(b" \t\0\xa0"))


def norm_subject(subject):
    subject = subject or ""
    if subject.startswith("\x01") and len(subject) >= 2:
        subject = subject[2:]
    return re.sub(r"\s+", " ", subject).strip()


def stored_messages(path, password):
    """Every message of the file's folders, in walk order, as (subject, plain, html, rtf)."""
    pff = pypff.file()
    pff.open(path)
    found = []

    def walk(folder):
        for i in range(folder.number_of_sub_messages):
            try:
                m = folder.get_sub_message(i)
                found.append((norm_subject(m.subject), m.plain_text_body or b"",
                              m.html_body or b"", m.rtf_body or b""))
            except (IOError, OSError):
                continue
        for i in range(folder.number_of_sub_folders):
            walk(folder.get_sub_folder(i))

    walk(pff.get_root_folder())
    return found


def exported_messages(data_path, index_path):
    data = open(data_path, "rb").read()
    # The index: one leading line, then seven lines per message (length and offset 5th and 6th).
    lines = open(index_path, "rb").read().split(b"\r\n")
    for i in range(1, len(lines) - 6, 7):
        length, offset = int(lines[i + 4]), int(lines[i + 5])
        block = data[offset:offset + length]
        # The envelope is the block's first two lines.
        yield block.split(b"\r\n", 2)[2]


def body_parts(message):
    plain, htmls = [], []
    for part in message.walk():
        if part.is_multipart() or part.get_content_disposition() == "attachment":
            continue
        if part.get_content_type() == "message/rfc822":
            continue
        try:
            content = part.get_content()
        except Exception:  # a part email cannot decode counts as absent
            continue
        if part.get_content_type() == "text/plain":
            plain.append(content)
        elif part.get_content_type() == "text/html":
            htmls.append(content)
    return plain, htmls


def top_level_parts(message):
    """Body parts of the message itself, not of embedded messages."""
    if message.get_content_type() == "message/rfc822":
        return [], []
    if not message.is_multipart():
        return body_parts(message)
    plain, htmls = [], []
    for sub in message.iter_parts():
        if sub.get_content_type() == "message/rfc822":
            continue
        p, h = top_level_parts(sub)
        plain += p
        htmls += h
    return plain, htmls


def check_file(path, bin_dir, password, out_dir):
    name = os.path.basename(path)
    dest = os.path.join(out_dir, os.path.splitext(name)[0])
    env = dict(os.environ)
    if password:
        env["PST2XMZ_PST_PASSWORD"] = password
    subprocess.run([os.path.join(bin_dir, "pst2xmz"), "-s", path, "-d", dest], env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    if not os.path.exists(dest + ".idx"):
        return None
    try:
        stored = stored_messages(path, password)
    except (IOError, OSError, AttributeError):
        stored = []
    used = [False] * len(stored)
    counts = {"checked": 0, "body_lost": 0, "html_lost": 0, "html_differs": 0, "defects": 0,
              "unmatched": 0}
    for raw in exported_messages(dest + ".xmz", dest + ".idx"):
        message = email.message_from_bytes(raw, policy=policy.default)
        for part in message.walk():
            counts["defects"] += sum(isinstance(d, STRUCTURE_DEFECTS) for d in part.defects)
        subject = norm_subject(str(message.get("subject", "")))
        match = next((i for i, s in enumerate(stored) if not used[i] and s[0] == subject), None)
        if match is None:
            counts["unmatched"] += 1
            continue
        used[match] = True
        counts["checked"] += 1
        _, stored_plain, stored_html, rtf = stored[match]
        holds_text = (stored_plain.strip(b"\0 \r\n\t")
                      or visible(decode_stored_html(stored_html)) or rtf_holds_text(rtf))
        holds_html = bool(stored_html.strip(b"\0 \r\n\t")) or b"\\fromhtml" in rtf
        plain, htmls = top_level_parts(message)
        if holds_text and not any(p.strip() for p in plain):
            counts["body_lost"] += 1
        if holds_html and not htmls:
            counts["html_lost"] += 1
        elif holds_html and stored_html.strip(b"\0") and htmls:
            if visible(htmls[0]) != visible(decode_stored_html(stored_html)):
                counts["html_differs"] += 1
    return counts


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--password", action="append", default=[])
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    passwords = dict(p.split("=", 1) for p in args.password)
    total = {}
    with tempfile.TemporaryDirectory() as out_dir:
        print("file checked body_lost html_lost html_differs defects unmatched")
        for path in args.files:
            counts = check_file(path, args.bin, passwords.get(os.path.basename(path)), out_dir)
            if counts is None:
                print(os.path.basename(path), "not exported")
                continue
            for key, value in counts.items():
                total[key] = total.get(key, 0) + value
            print(os.path.basename(path), *counts.values())
    print("total", *total.values())


if __name__ == "__main__":
    sys.exit(main())
