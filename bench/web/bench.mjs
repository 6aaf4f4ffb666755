// The browser player against yardsticks in the same warmed-up Chromium: the first page
// against a static page with the same words, the bytes fetched before the first page,
// and a page turn on the demo. Usage: node bench/web/bench.mjs PLAYER
import fs from 'node:fs';
import path from 'node:path';
import { launch, makeSite, serve } from '../../tests/web/harness.mjs';

process.env.VELMORA_PLAYER = path.resolve(process.argv[2]);
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
  // The local server sends files as they are (no compression): a file's bytes on disk
  // are its bytes on the wire, less a few hundred bytes of headers.
  for (const request of requests) {
    const url = new URL(request.url());
    if (!request.url().startsWith(server.url)) continue;
    const file = path.join(site, decodeURIComponent(url.pathname), url.pathname.endsWith('/') ? 'index.html' : '');
    if (fs.existsSync(file) && fs.statSync(file).isFile()) bytes.set(url.pathname, fs.statSync(file).size);
  }
  await page.close();
  return { at, bytes };
}

const player = [], plain = [];
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
}
console.log(`first page shown: ${median(player).toFixed(0)} ms after navigation; static page with the same words: ` +
            `${median(plain).toFixed(0)} ms; difference ${(median(player) - median(plain)).toFixed(0)} ms (target <= 500 ms)`);
let total = 0;
const parts = [];
let gameBytes = 0;
for (const [pathname, size] of fetched) {
  if (pathname.startsWith('/game/')) {
    gameBytes += size;
    continue;
  }
  total += size;
  parts.push(`${pathname} ${(size / 1024).toFixed(0)} KiB`);
}
console.log(`fetched before the first page without the game's files: ${(total / 1024).toFixed(0)} KiB (target <= 3 MB): ${parts.join(', ')}; ` +
            `the game's files: ${(gameBytes / 1024).toFixed(0)} KiB`);

// A page turn: the door page to the boathouse ending (no box on the way), from the click
// to the next frame, against one frame at 60 Hz.
const turns = [];
for (let round = 0; round < 3; ++round) {
  const page = await context.newPage();
  await page.goto(server.url + '?turn=' + round);
  await page.evaluate(() => localStorage.clear());
  await page.reload();
  await page.waitForFunction(() => window.velmoraPage && window.velmoraPage.idle);
  await page.locator('#choices .choice').first().click();
  await page.locator('#boxes dialog[open] input').fill('Nika');
  await page.locator('#boxes dialog[open] button').first().click();
  await page.waitForFunction(() => document.querySelectorAll('#choices .choice').length === 4 && window.velmoraPage.idle,
                             null, { timeout: 20000 });
  turns.push(await page.evaluate(() => new Promise((resolve) => {
    const start = performance.now();
    document.querySelectorAll('#choices .choice')[3].click();
    requestAnimationFrame(() => resolve(performance.now() - start));
  })));
  await page.close();
}
console.log(`page turn on the demo, click to the next frame: ${median(turns).toFixed(1)} ms (target <= 16 ms)`);
await browser.close();
server.close();
