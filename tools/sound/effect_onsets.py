# Purchase sounds in a recording of shop_clicks.sh: their onsets (a block 6 dB
# over the 10 ms before it, above -40 dBFS), their spacing, and the longest
# silence between the first and the last sound.
import wave, sys, struct, math
w = wave.open(sys.argv[1]); rate = w.getframerate(); ch = w.getnchannels(); n = w.getnframes()
data = w.readframes(n); samples = struct.unpack('<%dh' % (n * ch), data)
mono = [abs(samples[i * ch]) / 32768 for i in range(n)]
win = int(rate * 0.002)
env = [math.sqrt(sum(x * x for x in mono[i:i + win]) / win) for i in range(0, n - win, win)]
def db(x): return 20 * math.log10(x) if x > 0 else -200
# onsets: 2 ms block at least 6 dB above the mean of the previous 10 ms, and above -40 dBFS
onsets = []
for i in range(5, len(env)):
    prev = sum(env[i - 5:i]) / 5
    if db(env[i]) > -40 and db(env[i]) - db(prev) > 6 and (not onsets or i - onsets[-1] > 30):
        onsets.append(i)
t = [o * 0.002 for o in onsets]
gaps = [round(b - a, 3) for a, b in zip(t, t[1:])]
active = [i for i, e in enumerate(env) if db(e) > -50]
first, last = (active[0], active[-1]) if active else (0, 0)
silent_runs, run = [], 0
for e in env[first:last]:
    if db(e) <= -50: run += 1
    else:
        if run: silent_runs.append(run * 2)
        run = 0
print("onsets:", len(onsets), "from %.2f s to %.2f s" % (t[0], t[-1]) if t else "")
print("intervals between onsets: min %.3f median %.3f max %.3f s" % (min(gaps), sorted(gaps)[len(gaps)//2], max(gaps)) if gaps else "")
print("sound from %.2f s to %.2f s; longest stretch under -50 dBFS inside: %d ms" % (first*0.002, last*0.002, max(silent_runs or [0])))
big = [(round(t[i], 2), g) for i, g in enumerate(gaps) if g > 0.25]
print("intervals over 250 ms (at, length):", big)
pairs = t[::2]
pg = [round(b - a, 3) for a, b in zip(pairs, pairs[1:])]
print("purchase sounds: %d; their spacing median %.3f, max after the first two %.3f s" % (len(pairs), sorted(pg)[len(pg)//2], max(pg[2:])))
