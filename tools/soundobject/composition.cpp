#include "tools/soundobject/composition.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <span>
#include <vector>

// A small piece in D major for flute-like lead, plucked strings, soft pads, bass and brushed
// percussion: intro, A, B, interlude, A' and coda over 64 bars at about 92 beats a minute, then
// the last chord rings out under a fade.
//
// Everything below is integer arithmetic (the sine table's series uses only + - * / on doubles),
// so the samples come out the same on every compiler and machine. Levels are in "voice units":
// 65536 is a voice at full strength; the mix is brought to 16 bits at the very end.

namespace soundobject {

namespace {

using i64 = std::int64_t;
using i32 = std::int32_t;
using u32 = std::uint32_t;

constexpr i64 total = i64(sampleCount);
constexpr i64 beat = 28672; // 92.3 beats a minute
constexpr i64 eighth = beat / 2;
constexpr i64 sixteenth = beat / 4;
constexpr i64 barLength = 4 * beat;
constexpr int barCount = 64;

constexpr i64 ms(i64 milliseconds)
{
    return milliseconds * sampleRate / 1000;
}

// Levels and gains are fractions with 16 bits after the point.
constexpr i32 q16(int thousandths)
{
    return i32(i64(thousandths) * 65536 / 1000);
}

// Exponential decays run in 30-bit fixed point: the factor per sample for a time constant of
// `tau` samples (1 - 1/tau, which is e^(-1/tau) to well within a part in a million).
constexpr i64 one30 = i64(1) << 30;

constexpr i64 decayPerSample(i64 tau)
{
    return one30 - one30 / std::max<i64>(tau, 1);
}

// ---------------------------------------------------------------------------------------------
// Oscillators

constexpr int tableBits = 12;
constexpr int tableSize = 1 << tableBits;
// One cycle, with the first entry repeated at the end for interpolation; peak 32767.
using Table = std::array<i32, tableSize + 1>;

Table makeSine()
{
    Table t{};
    const double halfPi = 1.57079632679489661923;
    const int quarter = tableSize / 4;
    for (int i = 0; i <= quarter; ++i) {
        const double x = halfPi * i / quarter;
        double term = x;
        double sum = x;
        for (int k = 1; k <= 10; ++k) {
            term = -term * x * x / double((2 * k) * (2 * k + 1));
            sum = sum + term;
        }
        const i32 v = i32(sum * 32767.0 + 0.5);
        t[std::size_t(i)] = v;
        t[std::size_t(tableSize / 2 - i)] = v;
        t[std::size_t(tableSize / 2 + i)] = -v;
        t[std::size_t(tableSize - i)] = -v;
    }
    t[tableSize] = t[0];
    return t;
}

// A cycle made of harmonics 1, 2, 3, ... with the given weights.
Table makeHarmonics(const Table& sine, std::initializer_list<int> weights)
{
    std::array<i64, tableSize> sum{};
    int harmonic = 1;
    // The index steps by the harmonic rather than being multiplied out: clang 14 vectorised the
    // multiplied form for AVX-512 into different sums, and the table must not depend on that.
    for (int w : weights) {
        std::size_t at = 0;
        for (std::size_t i = 0; i < tableSize; ++i) {
            sum[i] += i64(w) * sine[at];
            at = (at + std::size_t(harmonic)) & (tableSize - 1);
        }
        ++harmonic;
    }
    i64 peak = 1;
    for (i64 v : sum)
        peak = std::max(peak, v < 0 ? -v : v);
    Table t{};
    for (int i = 0; i < tableSize; ++i)
        t[std::size_t(i)] = i32(sum[std::size_t(i)] * 32767 / peak);
    t[tableSize] = t[0];
    return t;
}

// The nearest entry: enough for the pads, whose highs are filtered away.
i32 nearest(const Table& t, u32 phase)
{
    return t[phase >> (32 - tableBits)];
}

i32 lookup(const Table& t, u32 phase)
{
    const u32 i = phase >> (32 - tableBits);
    const i64 fraction = (phase >> (16 - tableBits)) & 0xFFFF;
    return t[i] + i32(((i64(t[i + 1]) - t[i]) * fraction) >> 16);
}

// Phase steps per sample (2^32 is one cycle) for MIDI notes 116 to 127 at 44.1 kHz; lower
// notes are whole octaves below.
constexpr std::array<u32, 12> topOctave = {647154683,  685636503,  726406571,  769600953,
                                           815363807,  863847862,  915214929,  969636441,
                                           1027294024, 1088380105, 1153098554, 1221665363};

u32 increment(int note)
{
    const int octaves = (116 - note + 11) / 12;
    const u32 top = topOctave[std::size_t(note + 12 * octaves - 116)];
    return octaves == 0 ? top : (top + (u32(1) << (octaves - 1))) >> octaves;
}

// xorshift: the noise of plucks, breath and brushes, and the small liberties of a player.
class Noise {
public:
    u32 next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    i32 sample() { return i32(next() >> 16) - 32768; }
    // A whole number from 0 to `range` - 1.
    i64 below(i64 range) { return i64(next() >> 8) % range; }
    // A level scaled by a random amount within +-`percent` per cent.
    i32 vary(i32 level, int percent)
    {
        return i32(i64(level) * (100 - percent + below(2 * percent + 1)) / 100);
    }

private:
    u32 state_ = 0x2545F491;
};

struct Tables {
    Table sine = makeSine();
    Table lead = makeHarmonics(sine, {1000, 300, 140, 60, 30, 12});
    Table pad = makeHarmonics(sine, {1000, 500, 330, 250, 200, 160, 130, 110, 90, 70});
    Table bass = makeHarmonics(sine, {1000, 320, 90, 30});
};

// ---------------------------------------------------------------------------------------------
// The mix: one bus for everything; the hall hears it later through a low cut, so that bass and
// kick stay dry.

struct Mix {
    std::vector<i32> bus = std::vector<i32>(std::size_t(total), 0);

    void add(i64 at, i32 v) { bus[std::size_t(at)] += v; }
};

// An oscillator value (peak 32767) at `level` voice units under an envelope in 30-bit fixed
// point.
i32 shape(i64 value, i64 level, i64 envelope)
{
    return i32((((value * level) >> 15) * envelope) >> 30);
}

// ---------------------------------------------------------------------------------------------
// Instruments. Each plays one note into the mix from `start`, holding it for `hold` samples.

struct Pluck {
    i32 brightness; // of the noise that excites the string, 0 to 65536
    i64 ring;       // time constant of the string's decay, in samples
    int pickAt;     // where along the string it is plucked, in per cent
};

// A plucked string: a burst of filtered noise circulating in a delay line one period long,
// losing a little of its highs on every pass. The period is fractional, so the tuning is exact.
void pluck(Mix& mix, Noise& noise, i64 start, int note, i32 level, i64 hold, const Pluck& style)
{
    constexpr int lineSize = 2048;
    constexpr int mask = lineSize - 1;
    std::array<i32, lineSize> line{};

    const i64 period = (i64(1) << 48) / increment(note); // samples, 16 fractional bits
    // The two-point average in the loop delays by half a sample of its own.
    const i64 delay = period - 32768;
    const int whole = int(delay >> 16);
    const i64 fraction = delay & 0xFFFF;

    // The excitation: one period of low-passed noise, plucked at a point (a comb), without DC.
    const int length = whole + 1;
    std::array<i32, lineSize> burst{};
    i64 low = 0;
    for (int i = 0; i < length; ++i) {
        low += ((noise.sample() - low) * style.brightness) >> 16;
        burst[std::size_t(i)] = i32(low);
    }
    const int pick = std::max(1, length * style.pickAt / 100);
    i64 mean = 0;
    for (int i = 0; i < length; ++i) {
        line[std::size_t(i)] =
            burst[std::size_t(i)] - (i >= pick ? burst[std::size_t(i - pick)] : 0);
        mean += line[std::size_t(i)];
    }
    mean /= length;
    i64 peak = 1;
    for (int i = 0; i < length; ++i) {
        line[std::size_t(i)] -= i32(mean);
        peak = std::max<i64>(peak, std::abs(line[std::size_t(i)]));
    }
    for (int i = 0; i < length; ++i)
        line[std::size_t(i)] = i32(i64(line[std::size_t(i)]) * level / peak);

    // Loss per sample for the wanted ring, then a quick damping once the note is let go.
    const i64 ringGain = 65536 - std::max<i64>(1, (period / style.ring));
    const i64 dampGain = 65536 - std::max<i64>(1, (period / ms(45)));
    const i64 end = std::min(total, start + hold + ms(45) * 7);
    int write = length;
    i64 previous = 0;
    for (i64 n = start; n < end; ++n) {
        const i64 a = line[std::size_t((write - whole) & mask)];
        const i64 b = line[std::size_t((write - whole - 1) & mask)];
        const i64 s = a + (((b - a) * fraction) >> 16);
        const i64 gain = n - start < hold ? ringGain : dampGain;
        const i32 y = i32(((s + previous) * gain) >> 17);
        previous = s;
        line[std::size_t(write & mask)] = y;
        ++write;
        mix.add(n, y);
    }
}

// A soft, breathy lead: a few harmonics, a touch of noise at the start of each note, and a
// vibrato that grows in once the note has settled.
void lead(Mix& mix, Noise& noise, const Tables& t, i64 start, int note, i32 level, i64 hold)
{
    const u32 step = increment(note);
    const i64 attack = ms(45);
    const i64 swell = one30 / attack;
    const i64 sustain = decayPerSample(ms(4000));
    const i64 release = decayPerSample(ms(70));
    const i64 end = std::min(total, start + hold + ms(70) * 10);
    const i64 vibratoDelay = ms(180);
    const i64 vibratoGrow = ms(450);
    constexpr i64 vibratoDepth = 240; // of 65536: a little under +-7 cents
    u32 phase = noise.next();
    u32 vibrato = 0;
    i64 envelope = 0;
    i64 chiff = one30;
    const i64 chiffDecay = decayPerSample(ms(25));
    i64 breath = 0;
    for (i64 n = start; n < end; ++n) {
        const i64 age = n - start;
        if (age < attack)
            envelope += swell;
        else if (age < hold)
            envelope = (envelope * sustain) >> 30;
        else
            envelope = (envelope * release) >> 30;
        chiff = (chiff * chiffDecay) >> 30;
        const i64 depth = age < vibratoDelay ? 0
                                             : std::min(age - vibratoDelay, vibratoGrow) *
                                                   vibratoDepth / vibratoGrow;
        const i64 wobble = (lookup(t.sine, vibrato) * depth) >> 15;
        phase += u32(i64(step) + ((i64(step) * wobble) >> 16));
        vibrato += 506436; // 5.2 Hz
        breath += ((noise.sample() - breath) * 14000) >> 16;
        const i64 air = (breath * (chiff / 4 + one30 / 40)) >> 30;
        mix.add(n, shape(lookup(t.lead, phase) + air, level, envelope));
    }
}

// A bell an octave above the tune in the last A: a frequency-modulated sine whose brightness
// fades faster than its sound.
void bell(Mix& mix, const Tables& t, i64 start, int note, i32 level)
{
    const u32 step = increment(note);
    const u32 modulatorStep = step * 3;
    const i64 ring = decayPerSample(ms(700));
    const i64 dull = decayPerSample(ms(180));
    const i64 end = std::min(total, start + ms(700) * 7);
    u32 carrier = 0;
    u32 modulator = 0;
    i64 envelope = one30;
    i64 brightness = one30;
    for (i64 n = start; n < end; ++n) {
        envelope = (envelope * ring) >> 30;
        brightness = (brightness * dull) >> 30;
        // An index of 1.6 radians at the start: 1.6 / 2 pi of a cycle per unit of modulator.
        const i64 bend = (i64(lookup(t.sine, modulator)) * ((33000 * brightness) >> 30));
        mix.add(n, shape(lookup(t.sine, carrier + u32(bend)), level, envelope));
        carrier += step;
        modulator += modulatorStep;
    }
}

// A pad chord: every note two slightly detuned oscillators, all through two gentle low-pass
// stages, fading in and out slowly.
void pad(Mix& mix, Noise& noise, const Tables& t, i64 start, std::span<const int> notes, i32 level,
         i64 hold, i32 brightness)
{
    std::array<u32, 8> phases{};
    std::array<u32, 8> steps{};
    const std::size_t count = std::min<std::size_t>(notes.size(), 4) * 2;
    for (std::size_t k = 0; k < count; k += 2) {
        const u32 step = increment(notes[k / 2]);
        steps[k] = step + step / 620;
        steps[k + 1] = step - step / 620;
        phases[k] = noise.next();
        phases[k + 1] = noise.next();
    }
    const i64 attack = ms(900);
    const i64 release = decayPerSample(ms(380));
    const i64 end = std::min(total, start + hold + ms(380) * 8);
    i64 first = 0;
    i64 second = 0;
    i64 envelope = 0;
    for (i64 n = start; n < end; ++n) {
        const i64 age = n - start;
        if (age < attack) {
            // A curved swell: slow at first, as bowed or breathed pads start.
            const i64 x = (age << 15) / attack;
            envelope = x * x; // 2^30 at the end of the swell
        } else if (age >= hold) {
            envelope = (envelope * release) >> 30;
        }
        i64 x = 0;
        for (std::size_t k = 0; k < count; ++k) {
            x += nearest(t.pad, phases[k]);
            phases[k] += steps[k];
        }
        first += ((x / 2 - first) * brightness) >> 16;
        second += ((first - second) * brightness) >> 16;
        mix.add(n, shape(second, level, envelope));
    }
}

// The bass: a warm tone with a quick start and a slow fall, let go cleanly.
void bass(Mix& mix, const Tables& t, i64 start, int note, i32 level, i64 hold)
{
    const u32 step = increment(note);
    const i64 attack = ms(6);
    const i64 fall = decayPerSample(ms(1400));
    const i64 release = decayPerSample(ms(40));
    const i64 end = std::min(total, start + hold + ms(40) * 10);
    u32 phase = 0;
    i64 envelope = 0;
    for (i64 n = start; n < end; ++n) {
        const i64 age = n - start;
        if (age < attack)
            envelope += one30 / attack;
        else if (age < hold)
            envelope = (envelope * fall) >> 30;
        else
            envelope = (envelope * release) >> 30;
        mix.add(n, shape(lookup(t.bass, phase), level, envelope));
        phase += step;
    }
}

// A soft kick: a sine falling from 120 to 45 Hz.
void kick(Mix& mix, const Tables& t, i64 start, i32 level)
{
    const i64 lowStep = i64(45) * (i64(1) << 32) / sampleRate;
    const i64 highStep = i64(120) * (i64(1) << 32) / sampleRate;
    const i64 sweep = decayPerSample(ms(35));
    const i64 fall = decayPerSample(ms(170));
    const i64 end = std::min(total, start + ms(170) * 9);
    u32 phase = 0;
    i64 bend = one30;
    i64 envelope = 0;
    for (i64 n = start; n < end; ++n) {
        const i64 age = n - start;
        envelope = age < ms(3) ? envelope + one30 / ms(3) : (envelope * fall) >> 30;
        bend = (bend * sweep) >> 30;
        mix.add(n, shape(lookup(t.sine, phase), level, envelope));
        phase += u32(lowStep + (((highStep - lowStep) * bend) >> 30));
    }
}

// Filtered noise with a quick fall: `low` and `high` set the band (0 to 65536 each).
void brush(Mix& mix, Noise& noise, i64 start, i32 level, i64 tau, i32 low, i32 high)
{
    const i64 fall = decayPerSample(tau);
    const i64 end = std::min(total, start + tau * 9);
    i64 envelope = one30;
    i64 smooth = 0;
    i64 rumble = 0;
    for (i64 n = start; n < end; ++n) {
        envelope = (envelope * fall) >> 30;
        smooth += ((noise.sample() - smooth) * high) >> 16;
        rumble += ((smooth - rumble) * low) >> 16;
        mix.add(n, shape((smooth - rumble) * 2, level, envelope));
    }
}

void shaker(Mix& mix, Noise& noise, i64 start, i32 level)
{
    brush(mix, noise, start, level, ms(22), 22000, 52000);
}

void snare(Mix& mix, Noise& noise, i64 start, i32 level)
{
    brush(mix, noise, start, level, ms(85), 5000, 30000);
}

// ---------------------------------------------------------------------------------------------
// The score.

enum class Quality { Major, Minor, Seventh, MinorSeventh };

struct Chord {
    int root; // pitch class, C = 0
    Quality quality;
    int bass = -1; // pitch class of the bass when it is not the root
};

constexpr int C = 0, Cs = 1, D = 2, E = 4, Fs = 6, G = 7, Gs = 8, A = 9, B = 11;
constexpr Quality Maj = Quality::Major, Min = Quality::Minor, Dom7 = Quality::Seventh,
                  Min7 = Quality::MinorSeventh;

// Eight bars to a line.
// clang-format off
constexpr std::array<Chord, barCount> chords = {{
    // intro
    {D, Maj}, {G, Maj}, {D, Maj}, {A, Maj},
    // A
    {D, Maj}, {B, Min}, {G, Maj}, {A, Maj}, {D, Maj}, {B, Min}, {E, Min7}, {A, Dom7},
    {D, Maj}, {Fs, Min}, {G, Maj}, {D, Maj, Fs}, {E, Min}, {A, Maj}, {D, Maj}, {D, Maj},
    // B
    {G, Maj}, {A, Maj}, {Fs, Min}, {B, Min}, {E, Min}, {A, Maj}, {D, Maj}, {D, Dom7},
    {G, Maj}, {G, Min}, {D, Maj, Fs}, {B, Min}, {E, Min}, {E, Dom7}, {A, Maj}, {A, Dom7},
    // interlude
    {B, Min}, {G, Maj}, {E, Min}, {A, Maj},
    // A'
    {D, Maj}, {B, Min}, {G, Maj}, {A, Maj}, {D, Maj}, {B, Min}, {E, Min7}, {A, Dom7},
    {D, Maj}, {Fs, Min}, {G, Maj}, {D, Maj, Fs}, {E, Min}, {A, Maj}, {G, Maj}, {A, Maj},
    // coda
    {D, Maj}, {G, Maj}, {D, Maj, Fs}, {G, Maj}, {E, Min}, {A, Maj}, {D, Maj}, {D, Maj},
}};
// clang-format on

enum class Section { Intro, A, B, Interlude, Reprise, Coda };

Section sectionOf(int bar)
{
    if (bar < 4)
        return Section::Intro;
    if (bar < 20)
        return Section::A;
    if (bar < 36)
        return Section::B;
    if (bar < 40)
        return Section::Interlude;
    if (bar < 56)
        return Section::Reprise;
    return Section::Coda;
}

// The tune, bar by bar, in eighths; note 0 is a rest.
struct Tone {
    int note;
    int eighths;
};

constexpr int G4 = 67, A4 = 69, Bb4 = 70, B4 = 71, C5 = 72, Cs5 = 73, D5 = 74, E5 = 76, Fs5 = 78,
              G5 = 79, Gs5 = 80, A5 = 81, B5 = 83;

// One bar to a line.
// clang-format off
constexpr Tone tune[] = {
    // intro
    {0, 32},
    // A
    {Fs5, 3}, {E5, 1}, {D5, 2}, {A4, 2},
    {B4, 3}, {Cs5, 1}, {D5, 2}, {Fs5, 2},
    {G5, 3}, {Fs5, 1}, {E5, 2}, {D5, 2},
    {E5, 4}, {Cs5, 2}, {A4, 2},
    {Fs5, 3}, {E5, 1}, {D5, 2}, {A5, 2},
    {Fs5, 4}, {D5, 2}, {B4, 2},
    {G5, 2}, {Fs5, 2}, {E5, 2}, {D5, 2},
    {Cs5, 2}, {D5, 1}, {E5, 5},
    {Fs5, 3}, {E5, 1}, {D5, 2}, {A4, 2},
    {Cs5, 3}, {D5, 1}, {E5, 2}, {Fs5, 2},
    {G5, 2}, {B5, 2}, {A5, 2}, {G5, 2},
    {Fs5, 4}, {A5, 2}, {Fs5, 2},
    {E5, 3}, {Fs5, 1}, {G5, 2}, {E5, 2},
    {Cs5, 2}, {E5, 2}, {A5, 2}, {G5, 2},
    {Fs5, 4}, {E5, 2}, {Cs5, 2},
    {D5, 6}, {0, 2},
    // B
    {D5, 2}, {B4, 2}, {D5, 2}, {G5, 2},
    {E5, 2}, {Cs5, 2}, {E5, 2}, {A5, 2},
    {A5, 3}, {G5, 1}, {Fs5, 2}, {E5, 2},
    {Fs5, 6}, {D5, 2},
    {G5, 2}, {E5, 2}, {B4, 2}, {E5, 2},
    {A5, 3}, {G5, 1}, {E5, 2}, {Cs5, 2},
    {D5, 4}, {Fs5, 2}, {A5, 2},
    {A5, 2}, {Fs5, 2}, {D5, 2}, {C5, 2},
    {B4, 6}, {D5, 2},
    {D5, 2}, {Bb4, 2}, {G4, 2}, {Bb4, 2},
    {A4, 4}, {D5, 2}, {Fs5, 2},
    {Fs5, 4}, {E5, 2}, {D5, 2},
    {E5, 3}, {Fs5, 1}, {G5, 2}, {B5, 2},
    {B5, 4}, {Gs5, 2}, {E5, 2},
    {A5, 4}, {E5, 2}, {Cs5, 2},
    {Cs5, 2}, {E5, 2}, {G5, 2}, {Fs5, 2},
    // interlude, with a lead-in to the reprise
    {0, 28}, {Cs5, 2}, {E5, 2},
    // A'
    {Fs5, 3}, {E5, 1}, {D5, 2}, {A4, 2},
    {B4, 3}, {Cs5, 1}, {D5, 2}, {Fs5, 2},
    {G5, 3}, {Fs5, 1}, {E5, 2}, {D5, 2},
    {E5, 4}, {Cs5, 2}, {A4, 2},
    {Fs5, 3}, {E5, 1}, {D5, 2}, {A5, 2},
    {Fs5, 4}, {D5, 2}, {B4, 2},
    {G5, 2}, {Fs5, 2}, {E5, 2}, {D5, 2},
    {Cs5, 2}, {D5, 1}, {E5, 5},
    {Fs5, 3}, {E5, 1}, {D5, 2}, {A4, 2},
    {Cs5, 3}, {D5, 1}, {E5, 2}, {Fs5, 2},
    {G5, 2}, {B5, 2}, {A5, 2}, {G5, 2},
    {Fs5, 4}, {A5, 2}, {Fs5, 2},
    {E5, 3}, {Fs5, 1}, {G5, 2}, {E5, 2},
    {Cs5, 2}, {E5, 2}, {A5, 2}, {G5, 2},
    {G5, 2}, {Fs5, 2}, {E5, 2}, {D5, 2},
    {E5, 4}, {Cs5, 2}, {E5, 2},
    // coda
    {Fs5, 3}, {E5, 1}, {D5, 4},
    {B4, 4}, {D5, 4},
    {A4, 8},
    {B4, 2}, {D5, 2}, {G5, 4},
    {G5, 3}, {Fs5, 1}, {E5, 4},
    {E5, 4}, {Cs5, 4},
    {D5, 8},
    {0, 8},
};
// clang-format on

constexpr int tuneLength()
{
    int sum = 0;
    for (const Tone& t : tune)
        sum += t.eighths;
    return sum;
}
static_assert(tuneLength() == barCount * 8, "the tune fills every bar");
static_assert(barCount * barLength < total, "the music ends before the recording does");

int intervalOf(Quality q, int degree) // degree 0 root, 1 third, 2 fifth, 3 seventh
{
    const bool minor = q == Quality::Minor || q == Quality::MinorSeventh;
    switch (degree) {
    case 0:
        return 0;
    case 1:
        return minor ? 3 : 4;
    case 2:
        return 7;
    default:
        return q == Quality::Major || q == Quality::Minor ? 12 : 10;
    }
}

// The lowest note of pitch class `pc` at or above `floor`.
int placed(int pc, int floor)
{
    return floor + ((pc - floor) % 12 + 12) % 12;
}

// The overall dynamic, in 16-bit fractions, through the piece: points in eighths from the start,
// straight lines between them.
struct Level {
    int at;
    int thousandths;
};

constexpr Level dynamics[] = {
    {0, 550},      {4 * 8, 640},  {12 * 8, 700}, {20 * 8, 740}, {34 * 8, 900}, {36 * 8 - 1, 930},
    {36 * 8, 560}, {39 * 8, 600}, {40 * 8, 820}, {54 * 8, 950}, {56 * 8, 820}, {64 * 8, 520},
};

i32 dynamicAt(i64 sample)
{
    const i64 at = sample * 1000 / eighth; // thousandths of an eighth
    const std::size_t count = std::size(dynamics);
    for (std::size_t i = 1; i < count; ++i) {
        const i64 from = i64(dynamics[i - 1].at) * 1000;
        const i64 to = i64(dynamics[i].at) * 1000;
        if (at < to) {
            const i64 a = dynamics[i - 1].thousandths;
            const i64 b = dynamics[i].thousandths;
            return q16(int(a + (b - a) * (at - from) / (to - from)));
        }
    }
    return q16(dynamics[count - 1].thousandths);
}

i32 scaled(i32 level, i32 factor)
{
    return i32((i64(level) * factor) >> 16);
}

// ---------------------------------------------------------------------------------------------
// The players.

class Band {
public:
    Band() = default;

    void play()
    {
        playTune();
        for (int bar = 0; bar < barCount; ++bar) {
            playHarmony(bar);
            playStrings(bar);
            playBass(bar);
            playDrums(bar);
        }
    }

    Mix mix;

private:
    const Tables tables_{};
    Noise noise_{};

    static i64 barStart(int bar) { return i64(bar) * barLength; }

    // Whether `bar` goes on with the chord of the bar before it.
    static bool continues(int bar)
    {
        if (bar == 0 || sectionOf(bar) != sectionOf(bar - 1))
            return false;
        const Chord& a = chords[std::size_t(bar - 1)];
        const Chord& b = chords[std::size_t(bar)];
        return a.root == b.root && a.quality == b.quality && a.bass == b.bass;
    }

    // How many bars the chord of `bar` lasts from there.
    static int chordRun(int bar)
    {
        int run = 1;
        while (bar + run < barCount && continues(bar + run))
            ++run;
        return run;
    }

    // A player is never exactly on the grid.
    i64 late(i64 at, i64 most) { return at + noise_.below(most + 1); }

    void playTune()
    {
        i64 at = 0;
        for (const Tone& tone : tune) {
            const i64 length = tone.eighths * eighth;
            if (tone.note != 0) {
                const int bar = int(at / barLength);
                const Section section = sectionOf(bar);
                // Longer notes are leant on a little; the tune sits above everything else.
                const i32 weight = q16(tone.eighths >= 4 ? 560 : tone.eighths >= 2 ? 520 : 470);
                const i32 level = noise_.vary(scaled(weight, dynamicAt(at)), 4);
                // Notes are tongued: each ends a little before the next one begins.
                const i64 hold = length - std::min<i64>(length / 6, ms(70));
                lead(mix, noise_, tables_, late(at, ms(4)), tone.note, level, hold);
                if (section == Section::B)
                    pluck(mix, noise_, late(at, ms(3)), tone.note - 12, scaled(level, q16(300)),
                          length, {30000, ms(900), 18});
                if (section == Section::Reprise)
                    bell(mix, tables_, late(at, ms(3)), tone.note + 12, scaled(level, q16(170)));
            }
            at += length;
        }
    }

    void playHarmony(int bar)
    {
        const Section section = sectionOf(bar);
        if ((section == Section::Intro && bar < 2) || continues(bar))
            return;
        const Chord& chord = chords[std::size_t(bar)];
        const int run = chordRun(bar);
        // The last chord is held to the end of the recording.
        const i64 hold = bar + run == barCount ? total - barStart(bar) : run * barLength;
        const i32 brightness = section == Section::B || section == Section::Reprise ? 9000 : 6500;
        const i32 level = scaled(q16(section == Section::Interlude ? 250 : 200),
                                 dynamicAt(barStart(bar) + barLength / 2));
        const int voices =
            chord.quality == Quality::Seventh || chord.quality == Quality::MinorSeventh ? 4 : 3;
        std::array<int, 4> notes{};
        for (int degree = 0; degree < voices; ++degree)
            notes[std::size_t(degree)] =
                placed((chord.root + intervalOf(chord.quality, degree)) % 12, 54);
        pad(mix, noise_, tables_, barStart(bar), std::span(notes).first(std::size_t(voices)), level,
            hold, brightness);
    }

    // The notes of a chord for the strings, low to high.
    static std::array<int, 5> stringVoicing(const Chord& chord)
    {
        const int root = placed(chord.root, 50);
        const int third = intervalOf(chord.quality, 1);
        const int upper = intervalOf(chord.quality, 3); // the octave, or the seventh
        return {root, root + 7, root + upper, root + 12 + third, root + 19};
    }

    void playStrings(int bar)
    {
        const Section section = sectionOf(bar);
        const Chord& chord = chords[std::size_t(bar)];
        const auto notes = stringVoicing(chord);
        const i64 start = barStart(bar);
        const i64 untilChange = chordRun(bar) * barLength;
        const Pluck nylon{26000, ms(1100), 14};
        const i32 base = scaled(q16(section == Section::B ? 640 : 600), dynamicAt(start));

        const auto play = [&](i64 at, int index, int accent, i64 ring) {
            const i32 level = noise_.vary(scaled(base, q16(accent)), 6);
            pluck(mix, noise_, late(at, ms(3)), notes[std::size_t(index)], level, ring, nylon);
        };

        switch (section) {
        case Section::Intro:
        case Section::A:
        case Section::Reprise: {
            static constexpr int pattern[8] = {0, 1, 2, 3, 4, 3, 2, 1};
            for (int i = 0; i < 8; ++i) {
                const i64 at = start + i * eighth;
                play(at, pattern[i], i % 2 == 0 ? 1000 : 780,
                     std::min(untilChange - i * eighth, ms(1600)));
            }
            break;
        }
        case Section::B: {
            static constexpr int pattern[8] = {0, 2, 4, 2, 1, 3, 4, 3};
            for (int i = 0; i < 8; ++i) {
                const i64 at = start + i * eighth;
                play(at, pattern[i], i == 0 || i == 4 ? 1000 : 720,
                     std::min(untilChange - i * eighth, ms(1300)));
            }
            break;
        }
        case Section::Interlude: {
            // Sixteenths that shimmer up and down the chord, quietly.
            static constexpr int pattern[16] = {0, 1, 2, 3, 4, 3, 2, 1, 2, 3, 4, 3, 2, 1, 2, 3};
            for (int i = 0; i < 16; ++i) {
                const i64 at = start + i * sixteenth;
                play(at, pattern[i], i % 4 == 0 ? 820 : 600,
                     std::min(untilChange - i * sixteenth, ms(900)));
            }
            break;
        }
        case Section::Coda:
            if (bar < 62) {
                static constexpr int pattern[4] = {0, 2, 3, 4};
                for (int i = 0; i < 4; ++i)
                    play(start + i * beat, pattern[i], i == 0 ? 1000 : 820,
                         std::min(untilChange - i * beat, ms(2000)));
            } else if (bar == 62) {
                // The last chord, spread slowly from the bottom and left to ring.
                const Pluck ringing{24000, ms(2600), 14};
                for (int i = 0; i < 5; ++i) {
                    const i32 level = scaled(base, q16(1000 - 60 * i));
                    pluck(mix, noise_, start + i * ms(70), notes[std::size_t(i)], level,
                          total - start, ringing);
                }
            }
            break;
        }
    }

    void playBass(int bar)
    {
        const Section section = sectionOf(bar);
        const Chord& chord = chords[std::size_t(bar)];
        const int root = placed(chord.bass >= 0 ? chord.bass : chord.root, 38);
        const int fifth = placed((chord.root + 7) % 12, 38);
        const i64 start = barStart(bar);
        const i32 level = scaled(q16(370), dynamicAt(start));
        const auto note = [&](int eighths, int length, int pitch, int accent) {
            bass(mix, tables_, late(start + eighths * eighth, ms(2)), pitch,
                 scaled(level, q16(accent)), length * eighth - ms(20));
        };
        switch (section) {
        case Section::Intro:
            if (bar >= 2)
                note(0, 8, root, 700);
            break;
        case Section::A:
        case Section::Reprise:
            note(0, 3, root, 1000);
            note(3, 1, root, 700);
            note(4, 2, fifth, 850);
            note(6, 2, root + 12, 750);
            break;
        case Section::B:
            note(0, 4, root, 1000);
            note(4, 3, fifth, 850);
            note(7, 1, root, 650);
            break;
        case Section::Interlude:
            note(0, 8, root, 850);
            break;
        case Section::Coda:
            if (bar < 62)
                note(0, 8, root, 900);
            else if (bar == 62)
                bass(mix, tables_, start, root, level, total - start - ms(400) * 10);
            break;
        }
    }

    void playDrums(int bar)
    {
        const Section section = sectionOf(bar);
        const i64 start = barStart(bar);
        const i32 dynamic = dynamicAt(start);
        const i32 kickLevel = scaled(q16(500), dynamic);
        const i32 shakerLevel = scaled(q16(130), dynamic);
        const i32 snareLevel = scaled(q16(150), dynamic);
        const bool kicks = section == Section::A || section == Section::B ||
                           section == Section::Reprise || (section == Section::Coda && bar < 60);
        const bool snares = (section == Section::A && bar >= 12) || section == Section::B ||
                            section == Section::Reprise;
        const bool shakes = (section == Section::Intro && bar >= 2) || section == Section::A ||
                            section == Section::B || section == Section::Interlude ||
                            section == Section::Reprise || (section == Section::Coda && bar < 60);
        if (kicks) {
            kick(mix, tables_, start, kickLevel);
            if (section != Section::Coda)
                kick(mix, tables_, start + 2 * beat, scaled(kickLevel, q16(820)));
            if (section == Section::B && bar % 2 == 1)
                kick(mix, tables_, start + 2 * beat + eighth, scaled(kickLevel, q16(500)));
        }
        if (snares) {
            snare(mix, noise_, late(start + beat, ms(3)), snareLevel);
            snare(mix, noise_, late(start + 3 * beat, ms(3)), snareLevel);
        }
        if (shakes) {
            const int steps = section == Section::Reprise ? 16 : 8;
            const i64 step = barLength / steps;
            for (int i = 0; i < steps; ++i) {
                // Off-beats are leant on, as a hand shaking on the beat would.
                const bool offBeat = steps == 8 ? i % 2 == 1 : i % 4 == 2;
                const i32 level = noise_.vary(scaled(shakerLevel, q16(offBeat ? 1000 : 560)), 10);
                shaker(mix, noise_, late(start + i * step, ms(2)), level);
            }
        }
    }
};

// ---------------------------------------------------------------------------------------------
// The hall: eight low-passed combs in parallel and four all-passes in series, tuned as the
// well-known free reverberators are.

class Hall {
public:
    Hall()
    {
        for (std::size_t i = 0; i < combs_.size(); ++i)
            combs_[i].line.assign(std::size_t(combLengths[i]), 0);
        for (std::size_t i = 0; i < passes_.size(); ++i)
            passes_[i].line.assign(std::size_t(passLengths[i]), 0);
    }

    i32 process(i32 input)
    {
        const i64 in = input / 8;
        i64 out = 0;
        for (Comb& c : combs_) {
            const i64 y = c.line[c.at];
            c.store = (y * 22938 + c.store * 9830) >> 15;       // damping 0.3
            c.line[c.at] = i32(in + ((c.store * 27853) >> 15)); // feedback 0.85
            c.at = c.at + 1 == c.line.size() ? 0 : c.at + 1;
            out += y;
        }
        for (Pass& p : passes_) {
            const i64 delayed = p.line[p.at];
            p.line[p.at] = i32(out + delayed / 2);
            out = delayed - out;
            p.at = p.at + 1 == p.line.size() ? 0 : p.at + 1;
        }
        return i32(out);
    }

private:
    static constexpr std::array<int, 8> combLengths = {1116, 1188, 1277, 1356,
                                                       1422, 1491, 1557, 1617};
    static constexpr std::array<int, 4> passLengths = {556, 441, 341, 225};
    struct Comb {
        std::vector<i32> line;
        std::size_t at = 0;
        i64 store = 0;
    };
    struct Pass {
        std::vector<i32> line;
        std::size_t at = 0;
    };
    std::array<Comb, 8> combs_;
    std::array<Pass, 4> passes_;
};

// ---------------------------------------------------------------------------------------------
// Mastering: the hall added, DC taken out, the rare peak rounded off, a fade at the very end,
// and 16 bits.

constexpr i32 kneeLevel = 21000;    // -3.9 dBFS: below this nothing is touched
constexpr i32 ceilingLevel = 29000; // -1.1 dBFS: approached, never reached
constexpr i64 fadeLength = 7 * sampleRate;

std::vector<std::int16_t> master(Mix& mix)
{
    std::vector<i32>& out = mix.bus;
    Hall hall;
    i64 lowCut = 0; // what the hall does not hear: below about 250 Hz
    i64 previousIn = 0;
    i64 previousOut = 0;
    i64 peak = 1;
    for (std::size_t n = 0; n < out.size(); ++n) {
        const i64 dry = out[n];
        lowCut += ((dry - lowCut) * 2330) >> 16;
        const i64 x = dry + ((i64(hall.process(i32(dry - lowCut))) * 11000) >> 15);
        // A DC blocker at about 3 Hz.
        const i64 y = x - previousIn + ((previousOut * 32700) >> 15);
        previousIn = x;
        previousOut = y;
        out[n] = i32(y);
        peak = std::max(peak, y < 0 ? -y : y);
    }

    // The loud passages, not the loudest sample, set the level: the point that only one sample
    // in two thousand exceeds goes to the knee.
    constexpr int bins = 4096;
    std::vector<i64> histogram(bins, 0);
    const i64 toBin = (i64(bins - 1) << 32) / peak;
    for (i32 v : out)
        ++histogram[std::size_t(((v < 0 ? -i64(v) : v) * toBin) >> 32)];
    i64 above = 0;
    int loud = bins - 1;
    while (loud > 0 && above + histogram[std::size_t(loud)] < total / 2000)
        above += histogram[std::size_t(loud--)];
    const i64 reference = std::max<i64>(1, (i64(loud) + 1) * peak / (bins - 1));
    // The gain, in 30-bit fixed point, never more than what takes the peak to the ceiling.
    i64 gain = (i64(kneeLevel) << 30) / reference;
    gain = std::min(gain, (i64(ceilingLevel) << 30) / peak);

    std::vector<std::int16_t> samples(out.size());
    const i64 fadeStart = total - fadeLength;
    for (std::size_t n = 0; n < out.size(); ++n) {
        i64 v = (i64(out[n]) * gain) >> 30;
        // Above the knee the curve bends smoothly towards the ceiling.
        const i64 size = v < 0 ? -v : v;
        if (size > kneeLevel) {
            const i64 over = size - kneeLevel;
            const i64 room = ceilingLevel - kneeLevel;
            const i64 bent = kneeLevel + over * room / (over + room);
            v = v < 0 ? -bent : bent;
        }
        // The fade falls as the square of the time left, reaching silence at the last sample.
        const i64 left = total - 1 - i64(n);
        if (i64(n) >= fadeStart) {
            const i64 f = (left << 15) / fadeLength;
            v = (v * ((f * f) >> 15)) >> 15;
        }
        samples[n] = std::int16_t(v);
    }
    return samples;
}

} // namespace

std::vector<std::int16_t> composeRecording()
{
    Band band;
    band.play();
    return master(band.mix);
}

} // namespace soundobject
