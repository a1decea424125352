#!/usr/bin/env python3
"""Exports personal-folders files with pst2xmz and checks the headers of the archive with Python's
own MIME reader (email, policy.default).

usage: check_headers.py [--bin DIR] [--tz ZONE] FILE...

For each file it prints one line of figures:
  messages     archive records
  no_from      records whose stored message names a sender but whose text has no "From" field
  no_sender    records whose stored message names a sender but whose index sender is empty
  bad_angle    addresses in angle brackets that are not Internet addresses (no "@"), "<>" included, in
               fields the composition wrote
  defects      header defects in fields the composition wrote
  tr_defects   header defects in fields copied verbatim from the message's transport headers
  part_defects defects of a part's structure (no header/body separator and the like)
  long_lines   header lines over 998 octets
  subject_diff records whose index subject differs from the decoded "Subject" field
  date_diff    synthesised headers whose "Date" does not name the stored submit time
  att_changed  attachment parts whose decoded bytes match no stored attachment (the inspector
               digests attachments by value only: OLE attachments, method 6, count here too)
Stored messages are matched to records by subject (the inspector lists them), so the sender and
date figures are exact only where subjects are unique within a file.
"""

import argparse
import email
import email.policy
import email.utils
import hashlib
import os
import re
import subprocess
import sys
import tempfile
from datetime import datetime, timezone

PASSWORDS = {
    "aspose-password.pst": "Password1",
    "pstsdk-test-ansi.pst": "test",
    "pstsdk-test-unicode.pst": "test",
    "jlp-passworded.pst": "testpassword",
}
SENDER_TAGS = ("0x0042", "0x0C1A", "0x0065", "0x0C1F", "0x5D01", "0x5D02")
PROP_LINE = re.compile(r'^(0x[0-9A-F]{4})([0-9A-F]{4})\s+\S+\s+(.*)$')


def stored_messages(pstinfo, path, env):
    """Subject -> list of (names_sender, has_transport_headers, submit_time) of stored messages,
    and the set of attachment digests."""
    listing = subprocess.run([pstinfo, "--messages", path], capture_output=True, env=env)
    by_subject, digests = {}, set()
    for line in listing.stdout.decode("utf-8", "replace").splitlines():
        cols = line.split("\t")
        if len(cols) < 4:
            continue
        digests.update(cols[4:])
        dump = subprocess.run([pstinfo, path, cols[1]], capture_output=True, env=env)
        props = {}
        for prop in dump.stdout.decode("utf-8", "replace").splitlines():
            m = PROP_LINE.match(prop)
            if m:
                props.setdefault(m.group(1), m.group(3))
        names_sender = any(
            tag in props and props[tag] not in ('""', "") for tag in SENDER_TAGS)
        transport = "0x007D" in props and props["0x007D"] not in ('""', "")
        submit = None
        if "0x0039" in props:
            try:
                submit = datetime.strptime(props["0x0039"], "%Y-%m-%d %H:%M:%S UTC").replace(
                    tzinfo=timezone.utc)
            except ValueError:
                pass
        by_subject.setdefault(cols[2], []).append((names_sender, transport, submit))
    return by_subject, digests


def export(pst2xmz, path, workdir, env):
    out = os.path.join(workdir, "out")
    run_env = dict(env)
    run_env["PST2XMZ_PST_PASSWORD"] = PASSWORDS.get(os.path.basename(path), "")
    subprocess.run([pst2xmz, "-s", path, "-d", out], capture_output=True, env=run_env)
    records = []
    try:
        with open(out + ".idx", "rb") as f:
            lines = f.read().split(b"\r\n")
        with open(out + ".xmz", "rb") as f:
            data = f.read()
    except OSError:
        return records
    for k in range(1, len(lines) - 6, 7):
        length, offset = int(lines[k + 4]), int(lines[k + 5])
        block = data[offset:offset + length]
        text = block.split(b"\r\n", 2)[2]  # after the two envelope lines
        records.append((lines[k + 2].decode("utf-8", "replace"), text))
    return records


def header_lines(part):
    for name, value in part._headers:  # raw source values, folds included
        yield name, value


OUR_FIELDS = {"from", "to", "cc", "subject", "date", "mime-version", "content-type",
              "content-transfer-encoding", "content-disposition", "content-id"}


def from_transport(part):
    """A message header holding a field the composition never writes came with the message."""
    return any(name.lower() not in OUR_FIELDS for name, _ in part._headers)


def walk_parts(msg):
    yield msg
    if msg.is_multipart():
        for sub in msg.get_payload():
            yield from walk_parts(sub)


def check_record(summary, text, stored, digests, figures):
    msg = email.message_from_bytes(text, policy=email.policy.default)
    sender, _, rest = summary.partition("|")
    _, _, subject = rest.partition("|")
    subject = subject[:-3] if subject.endswith("|||") else subject
    candidates = stored.get(str(msg.get("Subject", "")).strip(), []) or stored.get(subject, [])
    names_sender = any(c[0] for c in candidates)
    transport = any(c[1] for c in candidates)
    if names_sender and msg.get("From") is None:
        figures["no_from"] += 1
    if names_sender and not sender.strip():
        figures["no_sender"] += 1
    for part in walk_parts(msg):
        figures["part_defects"] += len(part.defects)
        for name, raw in header_lines(part):
            for physical in (name + ": " + raw).split("\n"):
                if len(physical.rstrip("\r").encode("utf-8", "surrogateescape")) > 998:
                    figures["long_lines"] += 1
            try:
                parsed = part[name] if part.get_all(name) and len(part.get_all(name)) == 1 else None
                found = list(parsed.defects) if parsed is not None else []
            except Exception:  # the reader itself gave up on the field
                found = ["unparseable"]
            verbatim = ((part is msg and transport) or from_transport(part)) and \
                name.lower() not in ("content-type", "content-transfer-encoding")
            figures["tr_defects" if verbatim else "defects"] += len(found)
            if name.lower() in ("from", "to", "cc") and not verbatim:
                for addr in re.findall(r"<([^<>]*)>", raw):
                    if "@" not in addr:
                        figures["bad_angle"] += 1
        if part.get_content_disposition() == "attachment" and not part.is_multipart():
            if part.get_content_type() == "message/external-body":
                continue
            payload = part.get_payload(decode=True)
            if payload is not None and hashlib.sha256(payload).hexdigest() not in digests:
                figures["att_changed"] += 1
    decoded = str(msg.get("Subject", "")) if msg.get("Subject") is not None else ""
    if decoded != subject:
        figures["subject_diff"] += 1
    submits = {c[2] for c in candidates if not c[1]}
    if not transport and len(submits) == 1 and None not in submits and msg.get("Date"):
        try:
            when = email.utils.parsedate_to_datetime(str(msg["Date"]))
            if when.tzinfo is None:  # "-0000": UTC
                when = when.replace(tzinfo=timezone.utc)
            if when != submits.pop():
                figures["date_diff"] += 1
        except (TypeError, ValueError):
            figures["date_diff"] += 1


FIELDS = ("messages", "no_from", "no_sender", "bad_angle", "defects", "tr_defects",
          "part_defects", "long_lines", "subject_diff", "date_diff", "att_changed")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", default="build/bin")
    parser.add_argument("--tz", default=None)
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    env = dict(os.environ)
    if args.tz:
        env["TZ"] = args.tz
    pst2xmz = os.path.join(args.bin, "pst2xmz")
    pstinfo = os.path.join(args.bin, "pstinfo")
    totals = dict.fromkeys(FIELDS, 0)
    print("file\t" + "\t".join(FIELDS))
    for path in args.files:
        figures = dict.fromkeys(FIELDS, 0)
        stored, digests = stored_messages(pstinfo, path, env)
        with tempfile.TemporaryDirectory() as workdir:
            records = export(pst2xmz, path, workdir, env)
        figures["messages"] = len(records)
        for summary, text in records:
            check_record(summary, text, stored, digests, figures)
        for key in FIELDS:
            totals[key] += figures[key]
        print(os.path.basename(path) + "\t" + "\t".join(str(figures[k]) for k in FIELDS))
        sys.stdout.flush()
    print("total\t" + "\t".join(str(totals[k]) for k in FIELDS))


if __name__ == "__main__":
    main()
