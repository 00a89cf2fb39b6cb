#!/usr/bin/env python3
"""Prints the expected digests used by the engine's tests, computed with Python's hashlib.

The test messages are the byte pattern  byte[i] = i mod 251  (a period prime to 64, so a shifted, lost or
repeated piece always changes the digest). Run it and paste its output where the tests' tables say so.
"""
import hashlib

PERIOD = bytes(range(251))


def pattern(n):
    return (PERIOD * (n // 251 + 1))[:n]


def md5(data):
    return hashlib.md5(data).hexdigest().upper()


def row(label, digest):
    print(f'    {{{label}, "{digest}"}},')


print("// Pattern messages of boundary lengths and of the file sizes:")
for n in [55, 56, 63, 64, 65, 1000, 0, 1, 65599, 65600, 65601, 131135, 131136, 131137, 196671, 196672,
          196673, 200000]:
    row(n, md5(pattern(n)))

print("// Long message for one Update (the length field's upper bytes are non-zero):")
n = (1 << 29) + 13
row(n, md5(pattern(n)))

print('// "abcde" fed first, then a 70,000-byte pattern file:')
row(70000, md5(b"abcde" + pattern(70000)))

print("// Sparse file: zeros up to 4 GiB, then a 100,000-byte pattern:")
h = hashlib.md5()
zeros = bytes(1 << 24)
for _ in range(1 << 8):
    h.update(zeros)
h.update(pattern(100000))
row((1 << 32) + 100000, h.hexdigest().upper())
