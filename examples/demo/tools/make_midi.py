#!/usr/bin/env python3
"""Writes the demo's MIDI files (Standard MIDI File, format 0) into the folder given.

The tunes are short original melodies, a few hundred bytes each; FluidSynth or any
General MIDI synthesiser plays them.
"""
import struct
import sys
from pathlib import Path

TICKS = 96  # per quarter note


def var_len(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, (n & 0x7F) | 0x80)
        n >>= 7
    return bytes(out)


def smf(notes, bpm, program, channel=0, velocity=110):
    """notes: list of (pitches, beats); pitches is a tuple (a chord), empty for a rest."""
    ev = bytearray()
    tempo = 60_000_000 // bpm
    ev += b"\x00\xff\x51\x03" + tempo.to_bytes(3, "big")
    ev += b"\x00" + bytes([0xC0 | channel, program])
    delay = 0
    for pitches, beats in notes:
        length = int(beats * TICKS)
        if not pitches:
            delay += length
            continue
        for i, p in enumerate(pitches):
            ev += var_len(delay if i == 0 else 0) + bytes([0x90 | channel, p, velocity])
        for i, p in enumerate(pitches):
            ev += var_len(length if i == 0 else 0) + bytes([0x80 | channel, p, 0])
        delay = 0
    ev += var_len(delay) + b"\xff\x2f\x00"
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS)
    return header + b"MTrk" + struct.pack(">I", len(ev)) + bytes(ev)


# Pitches: C4 = 60.
D3, A3 = 50, 57
C4, D4, E4, F4, G4, A4, Bb4, B4 = 60, 62, 64, 65, 67, 69, 70, 71
C5, D5, E5, F5, G5 = 72, 74, 76, 77, 79

# The keeper's tune: a slow waltz in D minor, 8 bars of 3/4 at 96 bpm (15 s).
KEEPER = [
    ((D4, A3), 1), ((F4,), 1), ((A4,), 1),
    ((G4,), 2), ((F4,), 1),
    ((E4, A3), 1), ((G4,), 1), ((Bb4,), 1),
    ((A4,), 3),
    ((D5, F4), 1), ((C5,), 1), ((A4,), 1),
    ((Bb4,), 2), ((G4,), 1),
    ((E4, A3), 1), ((F4,), 1), ((E4,), 1),
    ((D4, D3), 3),
]

# Dawn: a rising phrase in C major, 4/4 at 84 bpm (about 9 s), ending the story.
DAWN = [
    ((C4,), 1), ((E4,), 1), ((G4,), 1), ((C5,), 1),
    ((B4, G4), 2), ((A4,), 1), ((G4,), 1),
    ((F4, A4), 1), ((A4,), 1), ((C5,), 1), ((E5,), 1),
    ((G5, C5, E5), 4),
]

# Chime: three bell strokes, the sound of a new night beginning.
CHIME = [((G5,), 0.5), ((E5,), 0.5), ((C5, G4), 2)]


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    (out / "sfx").mkdir(parents=True, exist_ok=True)
    (out / "keeper.mid").write_bytes(smf(KEEPER, 96, program=71))       # clarinet
    (out / "dawn.mid").write_bytes(smf(DAWN, 84, program=48, velocity=64))  # strings
    (out / "sfx" / "chime.mid").write_bytes(smf(CHIME, 120, program=14))  # tubular bells


if __name__ == "__main__":
    main()
