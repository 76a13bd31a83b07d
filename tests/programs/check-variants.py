#!/usr/bin/env python3
"""Checks that the self-check program and its variants are the well-formed files the other tests
assume, reading them with pefile:

    check-variants.py DIR

  every file: a PE checksum that is non-zero and matches the file, no pefile warnings
  selfcheck-payload.exe: the program's bytes, then 64 KiB ending in the end marker
  selfcheck-signed.exe: the program's bytes, then the WIN_CERTIFICATE named by the security
                        directory, 8-byte aligned, reaching exactly to the end of the file
"""
import os
import struct
import sys

import pefile

SECURITY_DIRECTORY = 4
CHECKSUM_OFFSET_IN_OPTIONAL_HEADER = 64

problems = []


def check(condition, message):
    if not condition:
        problems.append(message)


def load(path):
    with open(path, "rb") as f:
        data = f.read()
    pe = pefile.PE(data=data)
    name = os.path.basename(path)
    check(pe.OPTIONAL_HEADER.CheckSum != 0, f"{name}: checksum is zero")
    check(pe.OPTIONAL_HEADER.CheckSum == pe.generate_checksum(),
          f"{name}: checksum {pe.OPTIONAL_HEADER.CheckSum:#x} should be {pe.generate_checksum():#x}")
    check(not pe.get_warnings(), f"{name}: pefile warns: {pe.get_warnings()}")
    return pe, data


def only_differ_in(original, changed, allowed):
    """Whether ORIGINAL and CHANGED differ only inside the byte ranges in ALLOWED."""
    if len(changed) < len(original):
        return False
    for i in range(len(original)):
        if original[i] != changed[i] and not any(start <= i < end for start, end in allowed):
            return False
    return True


def main():
    folder = sys.argv[1]
    program, original = load(os.path.join(folder, "selfcheck.exe"))
    checksum_at = program.OPTIONAL_HEADER.get_file_offset() + CHECKSUM_OFFSET_IN_OPTIONAL_HEADER
    security_at = program.OPTIONAL_HEADER.DATA_DIRECTORY[SECURITY_DIRECTORY].get_file_offset()
    sections_end = max(s.PointerToRawData + s.SizeOfRawData for s in program.sections)
    check(sections_end == len(original), "selfcheck.exe: has data after its last section")

    payload_pe, payload = load(os.path.join(folder, "selfcheck-payload.exe"))
    check(len(payload) == len(original) + 64 * 1024, "payload variant: not 64 KiB longer")
    check(payload.endswith(b"VOKRA-TEST-PAYLOAD-END\0\0"), "payload variant: end marker missing")
    check(only_differ_in(original, payload, [(checksum_at, checksum_at + 4)]),
          "payload variant: changes more than the checksum")

    signed_pe, signed = load(os.path.join(folder, "selfcheck-signed.exe"))
    security = signed_pe.OPTIONAL_HEADER.DATA_DIRECTORY[SECURITY_DIRECTORY]
    offset, size = security.VirtualAddress, security.Size
    check(offset % 8 == 0 and offset >= len(original), "signed variant: certificate misplaced")
    check(offset + size == len(signed), "signed variant: certificate does not end the file")
    if offset + 8 <= len(signed):
        length, revision, kind = struct.unpack_from("<IHH", signed, offset)
        check(length == size and revision == 0x0200 and kind == 0x0002,
              "signed variant: WIN_CERTIFICATE header does not match the security directory")
    check(only_differ_in(original, signed,
                                 [(checksum_at, checksum_at + 4), (security_at, security_at + 8)]),
          "signed variant: changes more than the checksum and the security directory")

    for problem in problems:
        print("FAIL:", problem)
    if not problems:
        print("ok: selfcheck.exe and its variants are well-formed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
