#!/usr/bin/env python3
"""Writes the synthesizer's song, synth/song_data.cpp, from the arrangement below.

    python3 tools/songwriter/write_song.py            # rewrites synth/song_data.cpp
    python3 tools/songwriter/write_song.py --check    # only checks and reports

115 BPM in A minor at 15.333 ticks per second: a tick is a 32nd note, a bar is 32 ticks and
the song is 96 bars. The instruments' sounds and pitches are fixed; what is written here is
each instrument's variants (velocity, length in ticks) and the note streams.
"""
import os
import sys

BAR = 32
TEMPO = 11504            # internal samples per tick
MIX = 9043968            # mix length in 44100 Hz samples
STOMAX = 1245184
LAYERMAX = 3866624

# Instrument parameter rows, and for each pitch its variants (length in ticks, velocity).
# Within a pitch the first variant sets the layer length, so it is the longest.
LEAD = [4, 5, 12, 19, 0, 0, 8, 43, 8, 9, 15, 0, -120, 0, -128, -128, 48, -18, -3, 20]
STAB = [1, 1, 25, 5, 6, 12, 8, 99, -8, 11, 6, -120, 0, 0, 0, 0, 40, -120, 22, -70]
PAD = [1, 0, 0, 8, 8, 23, 11, 0, 17, 29, 27, -120, 0, 0, 0, 0, -14, 39, 24, 26]
INSTRUMENTS = [
    # 0, 1: lead, two voices sharing one sound
    (LEAD, [(69, [(12, 90), (2, 80)]), (72, [(2, 82)]), (74, [(12, 86), (2, 78)]),
            (84, [(2, 72)])]),
    (LEAD, [(76, [(12, 86), (2, 78)]), (81, [(12, 86), (2, 76)]), (88, [(2, 66)])]),
    # 2 to 5: chord stabs, one voice each
    (STAB, [(64, [(4, 45)]), (69, [(4, 45)])]),
    (STAB, [(69, [(4, 43)]), (71, [(4, 43)]), (72, [(4, 43)]), (74, [(4, 43)])]),
    (STAB, [(76, [(4, 41)]), (77, [(4, 41)]), (81, [(4, 41)])]),
    (STAB, [(84, [(4, 38)])]),
    # 6 to 8: pads
    (PAD, [(40, [(104, 127), (72, 120)]), (76, [(104, 120)])]),
    (PAD, [(45, [(104, 127)]), (69, [(104, 124)]), (79, [(104, 118)])]),
    (PAD, [(72, [(160, 127)]), (74, [(136, 120)])]),
    # 9: bass
    ([0, 4, 5, 5, 0, 9, 1, 12, 9, 21, 21, -72, 0, 0, -70, 0, 31, 2, -12, -14],
     [(33, [(16, 30), (3, 34), (3, 28), (2, 20)]), (36, [(8, 30), (3, 34), (2, 28)]),
      (38, [(8, 30), (3, 34), (2, 28)]), (43, [(8, 30), (3, 34), (2, 28)]),
      (48, [(4, 30), (2, 28), (2, 20)])]),
    # 10: hats, one pitch: open, half open, closed at falling velocities, ghosts
    ([0, 2, 13, 23, 0, 5, 12, 37, 2, 39, 22, 55, 22, 0, 0, 0, 8, -59, -6, -19],
     [(60, [(16, 110), (8, 96), (4, 84), (4, 60), (1, 124), (1, 108), (1, 94), (1, 80),
            (1, 66), (1, 52), (1, 40), (1, 28), (2, 116), (2, 100), (2, 86), (2, 70)])]),
    # 11: kick, a low A for the booms and the A above for the beat
    ([4, 1, 0, 0, 0, 54, 1, 56, 0, 25, 25, 0, 0, 0, 0, -70, 50, -59, 15, -18],
     [(21, [(4, 18), (4, 15), (4, 12), (4, 9)]),
      (33, [(4, 16), (4, 15), (4, 13), (4, 12), (4, 10), (4, 9)])]),
    # 12: clap and noise hits
    ([4, 3, 22, 10, 0, 44, 20, 4, 2, 30, 22, -2, 0, -70, 0, 0, 68, -64, -10, 6],
     [(45, [(12, 26), (2, 21), (2, 17), (1, 14), (1, 11), (1, 9), (1, 7), (1, 5)]),
      (57, [(4, 24), (2, 18), (1, 14), (1, 12), (1, 9), (1, 7)])]),
]
GROUPS = [range(0, 9), range(9, 13)]   # the first group is the one that gets the echo

NOTE_COUNTS = [221, 221, 110, 110, 110, 7, 10, 9, 8, 737, 492, 273, 62]
LAST_TICK = 3070


def sample(inst, pitch, var=0):
    """Sample number of an instrument's pitch and variant."""
    n = 0
    for p, vs in INSTRUMENTS[inst][1]:
        if p == pitch:
            assert var < len(vs), (inst, pitch, var)
            return n + var
        n += len(vs)
    raise KeyError((inst, pitch))


tracks = [[] for _ in range(13)]


def note(track, tick, pitch, var=0):
    tracks[track].append((tick, sample(track, pitch, var)))


def at(bar, step16=0, tick=0):
    return bar * BAR + step16 * 2 + tick


# ---------------------------------------------------------------- harmony
# From bar 8 the harmony turns every bar: Am, C, Dm, G.
PROG = ['Am', 'C', 'Dm', 'G']


def chord(bar):
    return PROG[bar % 4]


ROOT = {'Am': 33, 'C': 36, 'Dm': 38, 'G': 43}
# Stab voicings: (voice 2, voice 3, voice 4)
VOICING = {'Am': (69, 72, 76), 'C': (64, 71, 76), 'Dm': (69, 72, 77), 'G': (69, 74, 77),
           'Asus': (64, 69, 76), 'Am6': (64, 72, 81)}


def stab(tick, name, top=False):
    for track, pitch in zip((2, 3, 4), VOICING[name]):
        note(track, tick, pitch)
    if top:
        note(5, tick, 84)


# ---------------------------------------------------------------- drums
def kick(tick, boom=False, var=0):
    note(11, tick, 21 if boom else 33, var)


def four_floor(bar, boom_first=False):
    kick(at(bar), boom_first, 0)
    kick(at(bar, 4), False, 2)
    kick(at(bar, 8), False, 1)
    kick(at(bar, 12), False, 2)


def hat(tick, var):
    note(10, tick, 60, var)


def clap(tick, high=False, var=0):
    note(12, tick, 57 if high else 45, var)


# Hat variants: 0 open long, 1 open, 2 half open, 3 soft half open,
# 4..11 closed from loud to ghost, 12..15 short open from loud to soft.
def hats_offbeat(bar, loud=False):
    for s in (2, 6, 10, 14):
        hat(at(bar, s), 12 if loud else 14)


def hats_eighths(bar, lift=False):
    for s in range(0, 16, 2):
        if s % 4 == 2:
            hat(at(bar, s), 12 if lift else 13)
        else:
            hat(at(bar, s), 6 if s == 0 else 8)


# ---------------------------------------------------------------- bass
# Bass variants per pitch: 0 long, 1 accent, 2 normal, 3 ghost (A only).
def bass(tick, pitch, var):
    note(9, tick, pitch, var)


def bass_eighths(bar, busy=False):
    c = chord(bar)
    r = ROOT[c]
    hi = {33: 43, 36: 48, 38: 48, 43: 48}[r]   # the answer an octave or a seventh up
    line = [(0, r, 1), (2, r, 2), (4, r, 2), (6, hi, 2), (8, r, 1), (10, r, 2), (12, hi, 2),
            (14, r, 2)]
    if busy:
        line += [(3, r, 3 if r == 33 else 2), (11, r, 3 if r == 33 else 2), (15, hi, 2)]
    for s, p, v in sorted(line):
        bass(at(bar, s), p, v if p != 48 else min(v, 2))


def bass_sixteenths(bar, upto=16):
    r = ROOT[chord(bar)]
    hi = {33: 43, 36: 48, 38: 48, 43: 48}[r]
    for s in range(upto):
        p = hi if s % 8 == 6 else r
        v = 1 if s % 4 == 0 else 2
        bass(at(bar, s), p, v if p != 48 else min(v, 2))


def bass_broken(bar):
    r = ROOT[chord(bar)]
    hi = {33: 43, 36: 48, 38: 48, 43: 48}[r]
    for s, p, v in [(0, r, 1), (3, r, 2), (6, r, 1), (8, hi, 2), (10, r, 2), (11, r, 2),
                    (13, hi, 2), (14, r, 1), (15, r, 2), (7, r, 2)]:
        bass(at(bar, s), p, v if p != 48 else min(v, 2))


# ---------------------------------------------------------------- lead
# The two lead tracks share one sound; track 0 holds A4 C5 D5 C6, track 1 E5 A5 E6.
LEAD0 = {69, 72, 74, 84}
LEAD1 = {76, 81, 88}
A4, C5, D5, E5, A5, C6, E6 = 69, 72, 74, 76, 81, 84, 88


def lead(tick, pitch, long=False):
    track = 0 if pitch in LEAD0 else 1
    var = 0 if long else 1
    if pitch in (C5, C6, E6):
        assert not long, pitch
        var = 0
    note(track, tick, pitch, var)


# The hook, one bar per chord, in 16th steps.
HOOK = {
    'Am': [(0, A4), (2, E5), (3, A5), (6, C6), (8, E6), (10, C6), (11, A5), (14, E5)],
    'C': [(0, C5), (2, E5), (3, A5), (6, C6), (8, E6), (10, C6), (11, A5), (14, E5)],
    'Dm': [(0, D5), (2, A5), (3, C6), (6, D5), (8, A5), (10, C6), (11, A5), (14, D5)],
    'G': [(0, D5), (2, A5), (3, C6), (6, D5), (8, C6), (10, A5), (11, E5), (14, D5)],
}
# The hook's second time round fills two more steps a bar.
HOOK_FILL = {'Am': [(12, C6), (13, A5)], 'C': [(12, C6), (13, A5)],
             'Dm': [(12, D5), (13, A5)], 'G': [(12, A5), (13, D5)]}


def hook(bar, fill=False, thin=False):
    steps = HOOK[chord(bar)] + (HOOK_FILL[chord(bar)] if fill else [])
    for s, p in sorted(steps):
        if thin and s not in (0, 2, 3, 8):
            continue
        lead(at(bar, s), p)


# The breakdown's slow tune over held pads: (bar offset, 16th step, pitch, long).
TUNE = [(0, 0, E5, True), (0, 8, A5, True), (0, 12, C6, False), (1, 0, A5, True),
        (1, 10, C5, False), (1, 12, D5, True), (2, 0, C5, False), (2, 4, D5, True),
        (2, 10, E5, True), (3, 0, A4, True), (3, 8, D5, False), (3, 12, C6, False),
        (3, 14, E6, False)]


def tune(bar):
    for b, s, p, lg in TUNE:
        lead(at(bar + b, s), p, lg)


# Call and answer for the bridge: one bar of call on track 0, one of answer on track 1.
CALL = [(0, D5), (3, C5), (6, D5), (8, A4), (10, C5), (12, D5), (14, C6), (15, D5)]
ANSWER = [(0, E5), (3, A5), (6, E5), (8, E6), (10, A5), (12, E5), (14, A5), (15, E6)]


def call_answer(bar):
    for s, p in CALL:
        lead(at(bar, s), p)
    for s, p in ANSWER:
        lead(at(bar + 1, s), p)


# ---------------------------------------------------------------- arrangement
def arrange():
    # Intro, bars 0-7: pads swell in on A minor; hats and a thinned hook from bar 4.
    note(6, at(0), 40, 0)
    note(7, at(0), 45)
    note(8, at(0), 72)
    note(6, at(3), 76)
    note(7, at(3, 4), 69)
    for b in range(4, 8):
        hats_offbeat(b)
    for b in range(4, 8):
        hook(b, thin=True)

    # Groove, bars 8-15: kick, bass, offbeat hats.
    for b in range(8, 16):
        four_floor(b, boom_first=(b == 8))
        bass_eighths(b)
        hats_offbeat(b, loud=(b >= 12))
    note(8, at(8), 74)

    # Verse, bars 16-31: the chords come in, two stabs a bar.
    for b in range(16, 32):
        four_floor(b, boom_first=(b == 16))
        bass_eighths(b)
        hats_offbeat(b, loud=True)
        stab(at(b), chord(b))
        stab(at(b, 10), chord(b))
    note(6, at(16), 40, 1)
    note(7, at(16), 45)
    note(8, at(20), 72)
    note(6, at(24), 76)
    note(7, at(24), 79)

    # Hook, bars 32-47: the lead's hook, eighth hats, claps from bar 44.
    clap(at(32), var=0)
    for b in range(32, 48):
        four_floor(b, boom_first=(b in (32, 40)))
        bass_eighths(b, busy=(b >= 40))
        hats_eighths(b, lift=(b >= 40))
        stab(at(b), chord(b), top=(b in (32, 40)))
        stab(at(b, 10), chord(b))
        hook(b)
        if b >= 44:
            clap(at(b, 4), var=1)
            clap(at(b, 12), var=2)
    note(8, at(32), 74)
    note(8, at(40), 72)
    note(6, at(40), 76)

    # Breakdown, bars 48-55: no drums but sparse hats, pads, the slow tune, bass held.
    clap(at(48), var=0)
    note(6, at(48), 40, 0)
    note(7, at(48), 45)
    note(8, at(48), 74)
    note(6, at(52), 76)
    note(7, at(52), 69)
    stab(at(48), 'Asus', top=True)
    stab(at(52), 'Am6')
    for b in range(48, 56):
        bass(at(b), ROOT['Am'] if b < 52 else ROOT['C'], 0)
        hat(at(b, 6), 15)
        hat(at(b, 14), 14)
    tune(48)
    tune(52)

    # Build, bars 56-63: the kick comes back and doubles up, bass into sixteenths, a clap
    # roll, and the last two beats drop out.
    for b in range(56, 60):
        kick(at(b), False, 1)
        bass_eighths(b)
        hats_offbeat(b)
    for b in (60, 61):
        kick(at(b), False, 1)
        kick(at(b, 8), False, 2)
    kick(at(62), False, 1)
    for s in (4, 8, 12):
        kick(at(62, s), False, 3)
    for s in (0, 2, 4, 6):
        kick(at(63, s), False, 2)
    for b in range(60, 64):
        bass_sixteenths(b, upto=(8 if b == 63 else 16))
        hats_eighths(b, lift=True)
    for b in range(56, 64):
        hook(b, thin=True)
    clap(at(62, 12), high=True, var=3)
    for i, s in enumerate(range(8, 16)):
        clap(at(63, s), high=(i % 2 == 1), var=6 - i // 2 if i % 2 == 0 else 5 - i // 2)
    note(7, at(56), 79)
    stab(at(60), chord(60))

    # Hook again, bars 64-79: everything, the hook filled, claps on two and four.
    clap(at(64), var=0)
    for b in range(64, 80):
        four_floor(b, boom_first=(b in (64, 72)))
        bass_eighths(b, busy=True)
        hats_eighths(b, lift=True)
        stab(at(b), chord(b), top=(b in (64, 72)))
        stab(at(b, 10), chord(b))
        hook(b, fill=(b >= 72))
        clap(at(b, 4), var=1)
        clap(at(b, 12), var=2)
    note(6, at(64), 40, 0)
    note(8, at(64), 72)

    # Bridge, bars 80-87: half-time kick, broken bass, call and answer, one stab a bar.
    for b in range(80, 88):
        kick(at(b), b == 80, 0 if b == 80 else 1)
        kick(at(b, 10), False, 3)
        bass_broken(b)
        hats_offbeat(b, loud=True)
        stab(at(b, 6), chord(b), top=(b == 80))
        clap(at(b, 8), high=True, var=1)
    for b in range(80, 88, 2):
        call_answer(b)
    note(7, at(80), 69)
    note(6, at(80), 40, 1)
    note(8, at(80), 74)
    clap(at(80), var=0)

    # Outro, bars 88-95: the groove once more, then it thins out to a last stab.
    clap(at(88), var=0)
    for b in range(88, 92):
        four_floor(b, boom_first=(b == 88))
        bass_eighths(b)
        hats_offbeat(b, loud=True)
        hook(b)
    for b in range(92, 96):
        bass(at(b), ROOT[chord(b)], 1)
        bass(at(b, 8), ROOT[chord(b)], 2)
        for s in (2, 10, 14):
            hat(at(b, s), 14)
    stab(at(92), 'Am6')
    stab(at(94), chord(94))
    note(6, at(88), 40, 1)
    note(7, at(88), 45)
    end = LAST_TICK
    stab(end, 'Am', top=True)
    kick(end, True, 0)
    bass(end, 33, 0)


# ---------------------------------------------------------------- encoding
def length_field(v):
    assert 0 <= v <= 32767
    if v < 128:
        return [v]
    return [~(v >> 8), v & 255]


def check_instrument(i, params, blocks):
    """The limits nothing checks at run time; returns the rendered lengths at 44100 Hz."""
    assert len(params) == 20 and 0 <= params[0] <= 5 and 0 <= params[1] <= 5
    assert 1 <= params[6] <= 127 and 0 <= params[7] <= 127
    assert all(p >= -127 for p in params[17:20])
    seg = [max(1, round(2 ** (params[k] / 8) * 32767)) for k in (17, 18, 19)]
    lengths = []
    for pitch, variants in blocks:
        layer = variants[0][0] * TEMPO + 851968
        assert layer <= LAYERMAX, (i, pitch)
        for ln, vel in variants:
            assert 1 <= vel <= 127
            e = seg[0] + seg[1] + max(0, ln * TEMPO - seg[0] - seg[1]) + seg[2] + 32767
            assert e <= layer, (i, pitch, ln)   # the whole note is inside the layer
            lengths.append((e + 3) // 4)
    assert len(lengths) <= 16, i
    assert sum(lengths) <= STOMAX, (i, sum(lengths))
    return lengths


def encode():
    ins = []
    lengths = []
    for g, group in enumerate(GROUPS):
        for i in group:
            params, blocks = INSTRUMENTS[i]
            lengths.append(check_instrument(i, params, blocks))
            ins += params
            prev = -1
            for pitch, variants in blocks:
                ins.append(pitch - prev - 1 if prev >= 0 else pitch)
                prev = pitch
                for ln, vel in variants:
                    ins.append(vel)
                    ins += length_field(ln)
                ins.append(0)
            ins.append(-1)      # closes the instrument
        ins.append(-1)          # closes the group
    ins.append(-1)              # ends the song

    pos, smp = [], []
    for t, notes in enumerate(tracks):
        notes.sort(key=lambda n: n[0])
        assert len(notes) == NOTE_COUNTS[t], (t, len(notes), NOTE_COUNTS[t])
        last = 0
        for tick, s in notes:
            assert s < len(lengths[t])
            assert tick * (TEMPO // 4) + lengths[t][s] <= MIX, (t, tick)
            pos += length_field(tick - last)
            smp.append(s)
            last = tick
        smp.append(-1)
    assert max(n[-1][0] for n in tracks) == LAST_TICK
    return ins, pos, smp


def c_array(name, ctype, data, signed=True):
    out = ['const %s %s[] = {' % (ctype, name)]
    row = []
    for v in data:
        v &= 255
        row.append(str(v - 256 if signed and v > 127 else v))
        if len(row) == 24:
            out.append('    ' + ', '.join(row) + ',')
            row = []
    if row:
        out.append('    ' + ', '.join(row) + ',')
    out.append('};')
    out.append('const int %slen = sizeof %s;' % (name, name))
    return '\n'.join(out)


def main():
    arrange()
    counts = [len(n) for n in tracks]
    if counts != NOTE_COUNTS:
        for t, (have, want) in enumerate(zip(counts, NOTE_COUNTS)):
            print('track %2d: %3d notes, %+d' % (t, have, have - want))
        sys.exit('the note counts are off')
    ins, pos, smp = encode()
    print('instdata %d bytes, notepos %d bytes, notesamp %d bytes' %
          (len(ins), len(pos), len(smp)))
    for t, n in enumerate(tracks):
        print('track %2d: %3d notes, first at %4d, last at %4d' % (t, len(n), n[0][0], n[-1][0]))
    if '--check' in sys.argv:
        return
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..')
    path = os.path.join(root, 'synth', 'song_data.cpp')
    with open(path, 'w') as f:
        f.write('// The song: instruments, then the note distances and sample numbers of the\n'
                '// 13 tracks. Written by tools/songwriter/write_song.py; change it there.\n'
                '#include "synth/synth.h"\n\n')
        f.write(c_array('instdata', 'signed char', ins) + '\n\n')
        f.write(c_array('notepos', 'signed char', pos) + '\n\n')
        f.write(c_array('notesamp', 'unsigned char', smp, signed=False) + '\n')
    print('wrote', os.path.relpath(path, root))


if __name__ == '__main__':
    main()
