#!/usr/bin/env python3
"""Makes the finished self-check program and two variants of it from the linker's output:

    make-variants.py LINKED.exe OUT_DIR

  OUT_DIR/selfcheck.exe          the program, with a correct non-zero PE checksum
  OUT_DIR/selfcheck-payload.exe  the program with 64 KiB of installer-style data appended after
                                 its last section, ending in an end marker
  OUT_DIR/selfcheck-signed.exe   the program with a (fake) WIN_CERTIFICATE appended at an 8-byte
                                 aligned offset and named by the security data directory

Each file gets its checksum recomputed, so each is a well-formed program that still runs.
"""
import os
import struct
import sys

import pefile

PAYLOAD_SIZE = 64 * 1024
PAYLOAD_END_MARKER = b"VOKRA-TEST-PAYLOAD-END\0\0"
SECURITY_DIRECTORY = 4
WIN_CERT_REVISION_2_0 = 0x0200
WIN_CERT_TYPE_PKCS_SIGNED_DATA = 0x0002


def with_checksum(data, security=None):
    """Returns DATA with its checksum (and, when given, the security directory's file offset and
    size) written into the optional header."""
    pe = pefile.PE(data=bytes(data), fast_load=True)
    if security is not None:
        entry = pe.OPTIONAL_HEADER.DATA_DIRECTORY[SECURITY_DIRECTORY]
        entry.VirtualAddress, entry.Size = security
    pe.OPTIONAL_HEADER.CheckSum = 0
    pe.OPTIONAL_HEADER.CheckSum = pe.generate_checksum()
    result = pe.write()
    pe.close()
    return bytes(result)


def payload():
    """Bytes that look like a compressed archive: a simple repeating byte sequence, then the end
    marker an installer would look for."""
    body = bytes((i * 7 + (i >> 8)) & 0xFF for i in range(PAYLOAD_SIZE - len(PAYLOAD_END_MARKER)))
    return body + PAYLOAD_END_MARKER


def certificate():
    """A WIN_CERTIFICATE holding bytes shaped like the start of a PKCS#7 blob, padded to 8."""
    content = b"\x30\x82\x01\x00\x06\x09\x2a\x86\x48\x86\xf7\x0d\x01\x07\x02" + bytes(range(241))
    length = 8 + len(content)
    padded = (length + 7) // 8 * 8
    header = struct.pack("<IHH", padded, WIN_CERT_REVISION_2_0, WIN_CERT_TYPE_PKCS_SIGNED_DATA)
    return header + content + bytes(padded - length)


def main():
    linked_path, out_dir = sys.argv[1], sys.argv[2]
    with open(linked_path, "rb") as f:
        program = with_checksum(f.read())

    with_payload = with_checksum(program + payload())

    aligned = program + bytes(-len(program) % 8)
    signature = certificate()
    signed = with_checksum(aligned + signature, security=(len(aligned), len(signature)))

    for name, data in (("selfcheck.exe", program), ("selfcheck-payload.exe", with_payload),
                       ("selfcheck-signed.exe", signed)):
        path = os.path.join(out_dir, name)
        with open(path, "wb") as f:
            f.write(data)
        os.chmod(path, 0o755)


if __name__ == "__main__":
    main()
