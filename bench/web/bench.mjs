// The browser player against yardsticks in the same warmed-up Chromium: the first page
// against a static page with the same words, the bytes fetched before the first page,
// a page turn on the demo, a 4000x3000 JPEG page against the browser's own decode of
// the picture, and the script engine under WebAssembly against the native engine
// (SCRIPT_BENCH, the build's bench/script/script_bench, on the same scripts).
// Usage: node bench/web/bench.mjs PLAYER [SCRIPT_BENCH]
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launch, makeSite, serve } from '../../tests/web/harness.mjs';

process.env.VELMORA_PLAYER = path.resolve(process.argv[2]);
const scriptBench = path.resolve(process.argv[3] || path.join(path.dirname(process.env.VELMORA_PLAYER), '../../bench/script/script_bench'));
const site = makeSite();
const server = await serve(site);
const browser = await launch();
const context = await browser.newContext({ viewport: { width: 1280, height: 800 }, locale: 'ru-RU' });
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];

// The static page: the caption, the first page's words and its choices, nothing else.
const probe = await context.newPage();
await probe.goto(server.url);
await probe.waitForFunction(() => window.velmoraPage && window.velmoraPage.state);
const words = await probe.evaluate(() => window.velmoraPage.state.main);
await probe.close();
const esc = (t) => t.replace(/&/g, '&amp;').replace(/</g, '&lt;');
fs.writeFileSync(path.join(site, 'static.html'), `<!doctype html><html><head><meta charset="utf-8"><title>${esc(words.caption)}</title></head><body>
<h1>${esc(words.caption)}</h1>${words.story.map((l) => `<p>${esc(l)}</p>`).join('')}
<ul>${words.choices.map((c) => `<li><button>${esc(c)}</button></li>`).join('')}</ul>
<script>requestAnimationFrame(() => { window.shownAt = performance.now(); });</script></body></html>`);

async function firstPage(url, isPlayer) {
  const page = await context.newPage();
  page.on('crash', () => console.log('crash', url));
  page.on('pageerror', (e) => console.log('error', url, e.message));
  const bytes = new Map();
  const requests = [];
  page.on('requestfinished', (request) => requests.push(request));
  await page.goto(url);
  let marks = null;
  const at = isPlayer
    ? await page.evaluate(() => new Promise((resolve) => {
        const look = () => {
          const mark = performance.getEntriesByName('velmora-first-page')[0];
          if (mark) requestAnimationFrame(() => resolve(performance.now()));
          else setTimeout(look, 1);
        };
        look();
      }))
    : await page.waitForFunction(() => window.shownAt).then((h) => h.jsonValue());
  if (isPlayer) {
    marks = await page.evaluate(() => Object.fromEntries(['velmora-runtime-ready', 'velmora-files-ready', 'velmora-run', 'velmora-first-page']
      .map((name) => [name.slice(8), performance.getEntriesByName(name)[0]?.startTime])));
  }
  // The local server sends files as they are (no compression): a file's bytes on disk
  // are its bytes on the wire, less a few hundred bytes of headers.
  for (const request of requests) {
    const url = new URL(request.url());
    if (!request.url().startsWith(server.url)) continue;
    const file = path.join(site, decodeURIComponent(url.pathname), url.pathname.endsWith('/') ? 'index.html' : '');
    if (bytes.has(url.pathname)) console.log(`fetched twice before the first page: ${url.pathname}`);
    if (fs.existsSync(file) && fs.statSync(file).isFile()) bytes.set(url.pathname, fs.statSync(file).size);
  }
  await page.close();
  return { at, bytes, marks };
}

const player = [], plain = [], marks = [];
let fetched = null;
for (let round = 0; round < 7; ++round) {  // the first round warms the browser and its cache up
  const p = await firstPage(server.url, true);
  const s = await firstPage(server.url + 'static.html', false);
  if (round === 0) {
    fetched = p.bytes;
    continue;
  }
  player.push(p.at);
  plain.push(s.at);
  marks.push(p.marks);
}
console.log(`first page shown: ${median(player).toFixed(0)} ms after navigation; static page with the same words: ` +
            `${median(plain).toFixed(0)} ms; difference ${(median(player) - median(plain)).toFixed(0)} ms (target <= 500 ms)`);
console.log('  from navigation (medians): ' + Object.keys(marks[0]).map((name) => `${name} ${median(marks.map((m) => m[name])).toFixed(0)} ms`).join(', '));
let total = 0;
const parts = [];
let gameBytes = 0;
for (const [pathname, size] of fetched) {
  if (pathname.startsWith('/game/') || pathname === '/game.json' || pathname === '/game.pack') {
    gameBytes += size;
    continue;
  }
  total += size;
  parts.push(`${pathname} ${(size / 1024).toFixed(0)} KiB`);
}
console.log(`fetched before the first page without the game's files: ${(total / 1024).toFixed(0)} KiB (target <= 3 MB): ${parts.join(', ')}; ` +
            `the game's files fetched by then: ${(gameBytes / 1024).toFixed(0)} KiB`);

// A page turn: the door page to the boathouse ending (no box on the way), from the click
// to the next frame, against one frame at 60 Hz. The next frame comes at the display's
// pace, so that time holds up to one frame of waiting by itself; the page's own work is
// also given: the click's handling (the run's turn and the drawing of the new page) and
// that frame's style, layout and paint (from its animation frame callback to the task
// after it).
const turns = [], painted = [], handled = [], framed = [];
for (let round = 0; round < 7; ++round) {
  const page = await context.newPage();
  await page.goto(server.url + '?turn=' + round);
  await page.waitForFunction(() => window.velmoraPage && window.velmoraPage.idle);
  await page.evaluate(() => window.velmoraPage.stored());
  await page.evaluate(() => new Promise((resolve, reject) => {  // what the game wrote: a fresh start
    const request = indexedDB.open('velmora-storage');
    request.onerror = () => reject(request.error);
    request.onsuccess = () => {
      const transaction = request.result.transaction('files', 'readwrite');
      transaction.objectStore('files').clear();
      transaction.oncomplete = () => { request.result.close(); resolve(); };
    };
  }));
  await page.reload();
  await page.waitForFunction(() => window.velmoraPage && window.velmoraPage.idle);
  await page.locator('#choices .choice').first().click();
  await page.locator('#boxes dialog[open] input').fill('Nika');
  await page.locator('#boxes dialog[open] button').first().click();
  await page.waitForFunction(() => document.querySelectorAll('#choices .choice').length === 4 && window.velmoraPage.idle,
                             null, { timeout: 20000 });
  await new Promise((resolve) => setTimeout(resolve, 300));  // the page's pictures and sound settle
  const turn = await page.evaluate(() => new Promise((resolve) => {
    const start = performance.now();
    document.querySelectorAll('#choices .choice')[3].click();
    const handled = performance.now() - start;
    requestAnimationFrame(() => {
      const frame = performance.now() - start;
      const after = new MessageChannel();
      after.port1.onmessage = () => resolve({ frame, handled, painted: performance.now() - start });
      after.port2.postMessage(0);
    });
  }));
  if (round > 0) {  // the first round warms the compiled code up
    turns.push(turn.frame);
    painted.push(turn.painted);
    handled.push(turn.handled);
    framed.push(turn.painted - turn.frame);
  }
  await page.close();
}
const list = (xs) => xs.map((x) => x.toFixed(1)).join(', ');
console.log(`page turn on the demo, click to the next frame: ${median(turns).toFixed(1)} ms (${list(turns)}; target <= 16 ms); ` +
            `to that frame painted: ${median(painted).toFixed(1)} ms (${list(painted)}); the page's work: the click ` +
            `${median(handled).toFixed(1)} ms (${list(handled)}), the frame ${median(framed).toFixed(1)} ms (${list(framed)})`);
server.close();

// A game made for the rest: two pages that swap at each choice, whose choices run the
// script engine's counting loop and mixed script (as bench/script/script_bench runs
// them), nothing, or go to a page with a 4000x3000 JPEG.
// The page runs the loop as often as script_bench does (10,000,000); a choice that ran
// 3 s would ask whether to stop the script.
const LOOP_COUNT = 10000000, MIXED_COUNT = 200000;
const benchGame = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-bench-game-'));
fs.mkdirSync(path.join(benchGame, 'Scripts'));
fs.mkdirSync(path.join(benchGame, 'Images'));
fs.writeFileSync(path.join(benchGame, 'config.ini'), '[GameForm]\r\nCaption=Bench\r\nHeight=720\r\nWidth=900\r\n');
fs.writeFileSync(path.join(benchGame, 'music.lst'), '[WriterList]\r\nCount=0\r\n');
fs.writeFileSync(path.join(benchGame, 'Scripts/messages.ini'), '[Messages]\r\n');
const work = { count: `$int.set i 0\r\n$while $int.smallerthan i ${LOOP_COUNT} $int.add i 1`,
               mixed: `$int.set.clear 0\r\n$string.set.clear 0\r\n$int.set r 0\r\n$string.set key k\r\n$int.set ihits 0\r\n$int.set shits 0\r\n$int.set inner 0\r\n` +
                      `$string.set a ${'x'.repeat(150)}\r\n$string.set b ${'x'.repeat(150)}\r\n$cycle 1 ${MIXED_COUNT} $run step 0 0`,
               nothing: '' };
let scripts = '___script step\r\n$int.random r 1000\r\n$int.set.find.add r $int.add ihits 1\r\n$string.set key k\r\n' +
              '$string.split key a\r\n$string.split key b\r\n$str.set.find.add key $int.add shits 1\r\n$cycle 1 3 $int.add inner 1 0 0\r\n___end\r\n';
let story = '[WriterList]\r\nCount=3\r\nPage0=gamestart\r\nPage1=other\r\nPage2=photo\r\n';
for (const [pageName, next] of [['gamestart', 'other'], ['other', 'gamestart']]) {
  story += `[${pageName}]\r\nTextSize=1\r\nLine0=Page ${pageName}\r\nActionsCount=4\r\n`;
  Object.keys(work).forEach((name, k) => {
    scripts += `___script ${name}_${pageName}\r\n${work[name]}\r\n$goto ${next}\r\n___end\r\n`;
    story += `Action${k}.Script=${name}_${pageName}\r\nAction${k}.LinesCount=1\r\nAction${k}.Line0=${name}\r\n`;
  });
  scripts += `___script photo_${pageName}\r\n$goto photo\r\n___end\r\n`;
  story += `Action3.Script=photo_${pageName}\r\nAction3.LinesCount=1\r\nAction3.Line0=photo\r\n`;
}
story += '[photo]\r\nTextSize=1\r\nLine0=A photograph\r\nQuestPicture=big.jpg\r\nActionsCount=1\r\n' +
         'Action0.Script=photo_gamestart\r\nAction0.LinesCount=1\r\nAction0.Line0=again\r\n';
fs.writeFileSync(path.join(benchGame, 'story.qst'), story);
fs.writeFileSync(path.join(benchGame, 'Scripts/Scripts.bsf'), scripts);
{
  // A photograph-like picture: noise over gradients, so it does not compress away.
  const maker = await context.newPage();
  const jpeg = await maker.evaluate(async () => {
    const canvas = new OffscreenCanvas(4000, 3000);
    const g = canvas.getContext('2d');
    const gradient = g.createLinearGradient(0, 0, 4000, 3000);
    gradient.addColorStop(0, '#203060');
    gradient.addColorStop(1, '#e0a040');
    g.fillStyle = gradient;
    g.fillRect(0, 0, 4000, 3000);
    const noise = g.getImageData(0, 0, 4000, 3000);
    let seed = 1;
    for (let i = 0; i < noise.data.length; i += 4) {
      seed = (seed * 1103515245 + 12345) >>> 0;
      const v = (seed >>> 24) - 128;
      noise.data[i] += v >> 2;
      noise.data[i + 1] += v >> 3;
      noise.data[i + 2] += v >> 2;
    }
    g.putImageData(noise, 0, 0);
    const blob = await canvas.convertToBlob({ type: 'image/jpeg', quality: 0.9 });
    return Array.from(new Uint8Array(await blob.arrayBuffer()));
  });
  await maker.close();
  fs.writeFileSync(path.join(benchGame, 'Images/big.jpg'), Buffer.from(jpeg));
}
const benchSite = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-bench-site-'));
fs.rmdirSync(benchSite);
execFileSync(process.env.VELMORA_PLAYER, ['--export-web', benchGame, benchSite], { stdio: 'pipe' });
const benchServer = await serve(benchSite);

// Click to the next frame once the new page's text is in place (and, with `picture`,
// the picture decoded).
async function timeChoice(page, label, picture = false) {
  return page.evaluate(({ label, picture }) => new Promise((resolve) => {
    const story = document.getElementById('story');
    const before = story.textContent;
    const img = document.getElementById('picture');
    const button = Array.from(document.querySelectorAll('#choices .choice')).find((b) => b.textContent === label);
    const start = performance.now();
    const look = async () => {
      if (document.querySelector('#boxes dialog[open]')) {
        resolve(NaN);  // a box: the script failed, or ran long enough to be asked about
        return;
      }
      if (story.textContent === before) {
        setTimeout(look, 0);
        return;
      }
      if (picture) await img.decode().catch(() => {});
      requestAnimationFrame(() => resolve(performance.now() - start));
    };
    button.click();
    look();
  }), { label, picture });
}

const engine = { count: [], mixed: [], nothing: [] };
const photo = [], ownDecode = [];
for (let round = 0; round < 4; ++round) {
  const page = await context.newPage();
  await page.goto(benchServer.url + '?round=' + round);
  await page.waitForFunction(() => window.velmoraPage && window.velmoraPage.idle);
  // Each choice twelve times in each page: the browser compiles WebAssembly quickly first
  // and optimises what runs often in the background, again as it learns where the
  // dispatcher's calls go, so a new page's first runs time the compilers as well (a
  // choice took eight to twelve runs to settle). The last three of each are kept, the
  // engine's steady speed, as the native benchmark's repetitions are.
  for (let repetition = 0; repetition < 12; ++repetition) {
    for (const name of ['nothing', 'count', 'mixed']) {
      const ms = await timeChoice(page, name);
      if (round > 0 && repetition >= 9) engine[name].push(ms);
      await page.waitForFunction(() => window.velmoraPage.idle);
    }
  }
  const ms = await timeChoice(page, 'photo', true);
  if (round > 0) photo.push(ms);
  await page.close();

  // The browser's own decode of the same file, shown at the same size in a page of its own.
  const plain = await context.newPage();
  await plain.goto(benchServer.url + 'LICENSES.txt');
  const size = await plain.evaluate(() => [Math.min(900, innerWidth), Math.min(720, innerHeight)]);
  const own = await plain.evaluate(async ([width, height]) => {
    const bytes = await (await fetch('game/Images/big.jpg')).arrayBuffer();
    document.body.innerHTML = '';
    const img = document.createElement('img');
    img.style.width = width + 'px';
    img.style.height = height + 'px';
    img.style.objectFit = 'contain';
    document.body.append(img);
    const start = performance.now();
    img.src = URL.createObjectURL(new Blob([bytes]));
    await img.decode();
    return new Promise((resolve) => requestAnimationFrame(() => resolve(performance.now() - start)));
  }, size);
  if (round > 0) ownDecode.push(own);
  await plain.close();
}
const jpegBytes = fs.statSync(path.join(benchGame, 'Images/big.jpg')).size;
console.log(`4000x3000 JPEG page (${(jpegBytes / 1024).toFixed(0)} KiB), click to the picture decoded and drawn: ${median(photo).toFixed(0)} ms; ` +
            `the browser's own decode of the file at the same size: ${median(ownDecode).toFixed(0)} ms; ` +
            `ratio ${(median(photo) / median(ownDecode)).toFixed(2)} (target <= 1.5)`);

if (fs.existsSync(scriptBench)) {
  const out = path.join(benchGame, 'native.json');
  execFileSync(scriptBench, ['--benchmark_filter=^BM_(CountingLoop|MixedScript)(/|$)', `--benchmark_out=${out}`, '--benchmark_out_format=json'],
               { stdio: 'ignore' });
  const report = JSON.parse(fs.readFileSync(out, 'utf8'));
  // Wall time, as the page can only measure it.
  const native = (name) => median(report.benchmarks.filter((b) => b.run_name.split('/')[0] === name && b.run_type === 'iteration')
                                                   .map((b) => b.real_time));
  const overhead = median(engine.nothing);
  for (const [name, bench] of [['count', 'BM_CountingLoop'], ['mixed', 'BM_MixedScript']]) {
    const wasm = median(engine[name]) - overhead;
    console.log(`script engine, ${name === 'count' ? 'counting loop (10,000,000)' : 'mixed script (200,000)'}: ` +
                `WebAssembly in the page ${wasm.toFixed(0)} ms (choices: ${engine[name].map((ms) => ms.toFixed(1)).join(', ')} ms; ` +
                `a choice that runs nothing, ${overhead.toFixed(1)} ms of ${engine.nothing.map((ms) => ms.toFixed(1)).join(', ')}, taken off); ` +
                `native ${native(bench).toFixed(0)} ms; ratio ${(wasm / native(bench)).toFixed(2)} (target <= 2)`);
  }
} else {
  console.log(`script engine: ${scriptBench} is missing (a build with VELMORA_BUILD_TESTS=ON), not compared`);
}
await browser.close();
benchServer.close();
