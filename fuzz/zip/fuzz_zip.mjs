// Attacks the browser player's .zip import (web/game_import.js, with the fflate the page
// loads) with mutations of a few seed archives: zip bombs, archives whose entries share
// their data or lie about their sizes, names outside the folder. Every input must import
// within the bounds or be refused with one of the page's reasons; anything else (another
// error, a result past the bounds, a run over 5 s) is a finding, saved in the work folder.
// Usage: node fuzz/zip/fuzz_zip.mjs [SECONDS] [SEED] [WORK_FOLDER]
import { createRequire } from 'node:module';
import { Worker, isMainThread, parentPort, workerData } from 'node:worker_threads';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const require = createRequire(import.meta.url);
const STUCK_MS = 5000;
const MAX_INPUT = 4 << 20;

if (isMainThread) {
  const seconds = Number(process.argv[2] || 10);
  const seed = Number(process.argv[3] || 1);
  const work = process.argv[4] || fs.mkdtempSync('/tmp/fuzz-zip-');
  // The worker writes each input here before it runs it: length, then bytes.
  const shared = new SharedArrayBuffer(8 + MAX_INPUT);
  const beat = new Int32Array(shared, 0, 2);
  const worker = new Worker(fileURLToPath(import.meta.url), { workerData: { seconds, seed, shared } });
  const keep = (why) => {
    const file = path.join(work, 'zip-finding.zip');
    fs.writeFileSync(file, new Uint8Array(shared, 8, beat[1]));
    console.error(`fuzz_zip: ${why}; the input is ${file}`);
    process.exitCode = 1;
  };
  let last = -1;
  let since = Date.now();
  const watch = setInterval(() => {
    if (beat[0] !== last) {
      last = beat[0];
      since = Date.now();
    } else if (Date.now() - since > STUCK_MS) {
      clearInterval(watch);
      keep(`no answer within ${STUCK_MS / 1000} s`);
      worker.terminate();
    }
  }, 250);
  worker.on('message', (m) => {
    if (m.finding) keep(m.finding);
    else console.log(`fuzz_zip: ${m.runs} inputs in ${seconds} s: ${m.imported} imported, ${m.refused} refused`);
  });
  worker.on('error', (e) => keep('the harness failed: ' + (e && e.stack)));
  worker.on('exit', () => {
    clearInterval(watch);
    if (!process.argv[4] && !process.exitCode) fs.rmSync(work, { recursive: true });
  });
} else {
  const fflate = require(path.join(root, 'web/node_modules/fflate/umd/index.js'));
  const say = (key) => `<${key}>`;
  const { MAX_FILES, MAX_BYTES, unzipGame } = require(path.join(root, 'web/game_import.js'))(() => fflate, say);
  const REFUSAL = /^(<badZip>(<tooMany>|<tooLarge>|<damaged>|<badName>[^]*)|<notGame>)$/;

  // A deterministic generator (mulberry32), so that a finding can be run again by its seed.
  let state = workerData.seed >>> 0;
  const random = () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
  const below = (n) => Math.floor(random() * n);
  const text = (s) => fflate.strToU8(s);

  // The offsets of every record of one signature.
  const records = (zip, signature) => {
    const at = [];
    const view = new DataView(zip.buffer, zip.byteOffset, zip.byteLength);
    for (let i = 0; i + 4 <= zip.length; ++i) if (view.getUint32(i, true) === signature) at.push(i);
    return at;
  };
  // The same archive with every central directory entry listed `times` times (their data
  // shared), and declared sizes set by `size` (stored entries then claim little).
  const sharing = (zip, times, size) => {
    const view = new DataView(zip.buffer, zip.byteOffset, zip.byteLength);
    const end = records(zip, 0x06054b50).pop();
    const dirAt = view.getUint32(end + 16, true);
    const dir = zip.slice(dirAt, end);
    const dirView = new DataView(dir.buffer);
    for (const e of records(dir, 0x02014b50)) if (size !== undefined) dirView.setUint32(e + 24, size, true);
    const count = view.getUint16(end + 10, true) * times;
    const out = new Uint8Array(dirAt + dir.length * times + 22);
    out.set(zip.subarray(0, dirAt));
    for (let i = 0; i < times; ++i) out.set(dir, dirAt + i * dir.length);
    const tail = new DataView(out.buffer, dirAt + dir.length * times);
    tail.setUint32(0, 0x06054b50, true);
    tail.setUint16(8, Math.min(count, 0xffff), true);
    tail.setUint16(10, Math.min(count, 0xffff), true);
    tail.setUint32(12, dir.length * times, true);
    tail.setUint32(16, dirAt, true);
    return out;
  };

  const game = { 'game/config.ini': text('[Start]\r\nStartPage=a\r\n'), 'game/story.qst': text('[a]\r\nLine0=Hi\r\n') };
  const bomb = fflate.zipSync({ ...game, 'game/big.bin': [new Uint8Array(8 << 20), { level: 9 }] });  // 8 MB from 8 KB
  const seeds = [
    fflate.zipSync(game),
    fflate.zipSync({ ...game, 'game/a.bin': [new Uint8Array(3000).map((_, i) => (i * 131) & 255), { level: 0 }] }),
    bomb,  // within the bounds
    sharing(bomb, 80),  // 80 × 8 MB declared
    sharing(bomb, 2000, 100),  // 2000 × 8 MB, each claiming 100 bytes
    sharing(fflate.zipSync({ ...game, 'game/big.bin': [new Uint8Array(1 << 20), { level: 0 }] }), 600, 0),
    fflate.zipSync({ 'config.ini': text('x'), '../evil': text('x') }),
    fflate.zipSync({ 'config.ini': text('x'), '/etc/evil': text('x') }),
    fflate.zipSync({ 'config.ini': text('x'), 'a\\..\\..\\evil': text('x') }),
    fflate.zipSync({ 'config.ini': text('x'), 'C:\\evil': text('x'), 'sub/./x': text('y') }),
    fflate.zipSync(Object.fromEntries(Array.from({ length: 300 }, (_, i) => [`game/f${i}`, text('x')]))),
  ];

  // Field offsets worth hitting: sizes, counts, name lengths and offsets of each record.
  const fields = {
    0x02014b50: [10, 20, 24, 28, 30, 32, 42],
    0x04034b50: [8, 18, 22, 26, 28],
    0x06054b50: [8, 10, 12, 16, 20],
  };
  const values = [0, 1, 0x7f, 0x80, 0xff, 0xffff, 0x10000, 0x7fffffff, 0xffffffff, MAX_BYTES, MAX_BYTES + 1,
    MAX_FILES + 1];
  const mutate = (input) => {
    let zip = input.slice();
    for (let n = 1 + below(6); n > 0; --n) {
      const view = new DataView(zip.buffer, zip.byteOffset, zip.byteLength);
      const kind = below(6);
      if (kind === 0 && zip.length) zip[below(zip.length)] ^= 1 << below(8);
      else if (kind === 1 && zip.length) zip[below(zip.length)] = values[below(5)];
      else if (kind === 2) {
        const signature = Object.keys(fields)[below(3)];
        const at = records(zip, Number(signature));
        if (!at.length) continue;
        const offsets = fields[signature];
        const where = at[below(at.length)] + offsets[below(offsets.length)];
        if (where + 4 <= zip.length) view.setUint32(where, values[below(values.length)], true);
      } else if (kind === 3) zip = zip.slice(0, below(zip.length + 1));
      else if (kind === 4) {
        const other = seeds[below(seeds.length)];
        const from = below(other.length);
        const at = below(zip.length + 1);
        const piece = other.subarray(from, from + below(256));
        const out = new Uint8Array(Math.min(MAX_INPUT, zip.length + piece.length));
        out.set(zip.subarray(0, at));
        out.set(piece.subarray(0, out.length - at), at);
        out.set(zip.subarray(at, at + out.length - at - piece.length), at + piece.length);
        zip = out;
      } else if (zip.length > 22) zip.copyWithin(below(zip.length), below(zip.length), below(zip.length));
    }
    return zip.length > MAX_INPUT ? zip.subarray(0, MAX_INPUT) : zip;
  };

  const shared = workerData.shared;
  const beat = new Int32Array(shared, 0, 2);
  const inputCopy = new Uint8Array(shared, 8);
  const stats = { runs: 0, imported: 0, refused: 0 };
  const check = (input) => {
    inputCopy.set(input);
    beat[1] = input.length;
    Atomics.add(beat, 0, 1);
    let files;
    try {
      files = unzipGame(input);
    } catch (e) {
      if (e instanceof Error && REFUSAL.test(e.message)) return ++stats.refused;
      throw new Error('an unexpected error: ' + (e instanceof Error ? e.stack : String(e)));
    }
    if (files.length > MAX_FILES) throw new Error(`${files.length} files imported`);
    if (files.reduce((sum, [, data]) => sum + data.length, 0) > MAX_BYTES) throw new Error('too much imported');
    for (const [name] of files)
      if (name === '' || name.startsWith('/') || name.includes('\\') || name.split('/').includes('..'))
        throw new Error('a name outside the game: ' + name);
    if (!files.some(([name]) => name.toLowerCase() === 'config.ini')) throw new Error('imported without config.ini');
    return ++stats.imported;
  };
  try {
    for (const s of seeds) check(s);
    const until = Date.now() + workerData.seconds * 1000;
    for (; Date.now() < until; ++stats.runs) check(mutate(seeds[below(seeds.length)]));
    parentPort.postMessage(stats);
  } catch (e) {
    parentPort.postMessage({ finding: e.message });
  }
}
