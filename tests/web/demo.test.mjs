// The demo played to each ending by clicking in the real page, in both layouts, with the
// same story texts at every `show` and the same files left behind as the native player's
// (tests/e2e/expected); the shore ending resumes through $load after a reload.
import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { demoSite, openGame, reopen, root, serve, shownTexts } from './harness.mjs';

const replays = path.join(root, 'examples/demo/replays');
const expected = path.join(root, 'tests/e2e/expected');

const demo = demoSite();

const endings = [
  { name: 'dawn', replays: ['ending-dawn'] },
  { name: 'dark', replays: ['ending-dark'] },
  { name: 'shore', replays: ['ending-shore', 'continue'] },  // continue: after a reload
];
const layouts = [
  { name: 'classic', width: 1280, height: 800 },
  { name: 'reader', width: 390, height: 844 },
];

// Plays an ending in a fresh page of the context and checks what the native player's
// transcript and files say; returns the names of the runtime files the page fetched.
async function playEnding(context, ending, layout) {
  const shows = [];
  const runtime = new Set();
  context.on('request', (r) => {
    const name = new URL(r.url()).pathname.split('/').pop();
    if (/^velmora.*\.wasm$/.test(name)) runtime.add(name);
  });
  let game;
  for (const replay of ending.replays) {
    game = game ? await reopen(game) : await openGame(demo.browser, demo.server.url, { context });
    assert.equal(await game.page.evaluate(() => document.body.className), layout.name);
    await game.player.play(path.join(replays, replay + '.replay'));
    shows.push(...game.player.shows);
    assert.deepEqual(game.errors, []);
  }
  const transcript = fs.readFileSync(path.join(expected, ending.name + '.transcript'), 'utf8');
  assert.deepEqual(shows, shownTexts(transcript));
  for (const [file, want] of [['config.ini', 'config.ini'], ['Scripts/inventory.sav', 'inventory.sav']]) {
    const got = (await game.player.gameFile(file)).toString('latin1');
    assert.equal(got.replace(/\r\n/g, '\n'), fs.readFileSync(path.join(expected, `${ending.name}.${want}`), 'latin1').replace(/\r\n/g, '\n'), file);
  }
  return [...runtime];
}

for (const layout of layouts) {
  describe(`${layout.name} layout`, () => {
    for (const ending of endings) {
      test(`the ${ending.name} ending, as the native player plays it`, async (t) => {
        const context = await demo.browser.newContext({ viewport: { width: layout.width, height: layout.height }, locale: 'ru-RU' });
        t.after(() => context.close());
        assert.deepEqual(await playEnding(context, ending, layout), ['velmora.wasm']);
      });
    }
  });
}

test('a browser that cannot suspend WebAssembly plays the same game with the Asyncify runtime', async (t) => {
  const layout = layouts[0];
  const context = await demo.browser.newContext({ viewport: { width: layout.width, height: layout.height }, locale: 'ru-RU' });
  t.after(() => context.close());
  await context.addInitScript(() => {
    delete WebAssembly.Suspending;
    delete WebAssembly.promising;
  });
  // The shore ending waits in boxes and sleeps, and resumes through $load after a reload.
  assert.deepEqual(await playEnding(context, endings[2], layout), ['velmora-asyncify.wasm']);
});

test('a double-click on a choice runs it once; arrow keys and Enter choose as on the desktop', async () => {
  const game = await openGame(demo.browser, demo.server.url);
  const { page, player } = game;
  // "Об этой игре" shows one message box; a second run would show a second one.
  await page.locator('#choices .choice').nth(2).dblclick();
  await page.waitForSelector('#boxes dialog[open]');
  assert.equal(await page.locator('#boxes dialog[open]').count(), 1);
  assert.equal(await page.evaluate(() => document.activeElement.closest('dialog') !== null), true);
  await page.keyboard.press('Enter');
  await player.settle();
  assert.equal(await page.locator('#boxes dialog').count(), 0);
  // Down twice from the first choice, then Enter: the third choice again.
  await page.locator('#choices .choice').first().focus();
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Enter');
  await page.waitForSelector('#boxes dialog[open]');
  assert.match(await page.locator('#boxes dialog[open]').innerText(), /Маяк|маяк/);
  assert.equal(await page.getByRole('button', { name: 'Начать новую ночь' }).count(), 1);
  assert.equal(await page.locator('#story').getAttribute('aria-live'), 'polite');
  await game.context.close();
});

test('each new page puts the focus on its first choice; a press begun on choices since replaced chooses nothing', async () => {
  const { page, player, context } = await openGame(demo.browser, demo.server.url);
  const focused = () => page.evaluate(() => document.activeElement.textContent);
  const firstChoice = () => page.locator('#choices .choice').first().textContent();
  // The arrival page has no choices; the door page's come after it by themselves.
  for (const step of ['answer Nika', 'choose 1', 'wait 5000']) await player.step(step);
  assert.equal(await focused(), await firstChoice());
  const door = await page.locator('#story').innerText();
  await page.locator('#choices .choice').nth(3).click();  // to the boathouse
  await player.settle();
  const boathouse = await page.locator('#story').innerText();
  assert.notEqual(boathouse, door);
  assert.equal(await focused(), await firstChoice());
  // Pressed on a choice, the page changes under the pointer (as a timer's page does): the
  // release runs nothing.
  await page.locator('#choices .choice').first().hover();
  await page.mouse.down();
  await page.evaluate(() => {
    const p = window.velmoraPage;
    p.render({ ...p.state, main: { ...p.state.main, choices: ['Другой выбор', 'Ещё один'] } });
  });
  await page.mouse.up();
  await player.settle();
  assert.equal(await page.locator('#story').innerText(), boathouse);
  assert.equal(await page.locator('#boxes dialog').count(), 0);
  await context.close();
});

test('a narrow screen gets the reader layout, a wide one the classic form; the switch swaps them', async () => {
  const context = await demo.browser.newContext({ viewport: { width: 700, height: 900 } });
  const { page } = await openGame(demo.browser, demo.server.url, { context });
  assert.equal(await page.evaluate(() => document.body.className), 'reader');
  const pictureWidth = await page.locator('#picture').evaluate((img) => img.getBoundingClientRect().width);
  assert.ok(pictureWidth >= 690, `picture ${pictureWidth} px wide`);
  await page.locator('#layout-switch').click();
  assert.equal(await page.evaluate(() => document.body.className), 'classic');
  const box = await page.locator('#form').boundingBox();
  assert.ok(box.width <= 700 + 1 && box.height <= 900 + 1, `form ${box.width}x${box.height}`);
  await context.close();
});

test('the first page waits only for the pack of the game\'s small files; its picture comes from the site, the rest after it', async () => {
  const context = await demo.browser.newContext({ locale: 'ru-RU' });
  const page = await context.newPage();
  const fetched = [];
  page.on('request', (r) => fetched.push(new URL(r.url()).pathname));
  await page.goto(demo.server.url);
  await page.waitForFunction(() => performance.getEntriesByName('velmora-first-page').length);
  const game = fetched.filter((p) => /^\/game(\/|\.json$|\.pack$)/.test(p));
  assert.deepEqual(game.slice(0, 2), ['/game.json', '/game.pack']);
  assert.deepEqual(game.filter((p) => !/\.(jpe?g|png|bmp|wav|ogg)$/i.test(p)), ['/game.json', '/game.pack']);
  const manifest = JSON.parse(fs.readFileSync(path.join(demo.site, 'game.json')));
  const media = manifest.files.filter((n) => /\.(jpe?g|png|bmp|wav|ogg)$/i.test(n));
  assert.equal(await page.evaluate(() => window.velmoraPage.waitingAtFirstPage), media.length);
  const picture = await page.locator('#picture').getAttribute('src');
  assert.match(picture, /\/game\/images\/.*\.jpg$/i);
  await page.waitForFunction(() => document.getElementById('picture').naturalWidth > 0);
  // Then every picture and sound, each into the runtime's files.
  await page.waitForFunction(() => window.velmoraPage.files.waiting.size === 0, null, { timeout: 30000 });
  const sizes = await page.evaluate((names) => names.map((n) => window.velmoraPage.fs.stat('/game/' + n).size), manifest.files);
  assert.deepEqual(sizes, manifest.files.map((n) => fs.statSync(path.join(demo.site, 'game', n)).size));
  await context.close();
});

test('the site says what to do when opened from file://', async () => {
  const page = await demo.browser.newPage();
  await page.goto('file://' + path.join(demo.site, 'index.html'));
  await page.waitForSelector('#notice:not([hidden])');
  assert.match(await page.locator('#notice').innerText(), /file:\/\/.*http\.server/s);
  await page.close();
});

test('closing or reloading the tab runs the shutdown: $load resumes at the page it left', async () => {
  const context = await demo.browser.newContext({ locale: 'ru-RU' });
  let game = await openGame(demo.browser, demo.server.url, { context });
  for (const step of ['answer Nika', 'choose 1', 'wait 5000']) await game.player.step(step);
  const left = await game.page.locator('#story').innerText();
  assert.match(left, /Дверь маяка/);
  game = await reopen(game);  // no close box: the page goes away as it is
  await game.player.step('choose 2');  // "Продолжить сохранённую игру"
  assert.equal(await game.page.locator('#story').innerText(), left);
  const log = (await game.player.gameFile('LastStart.log')).toString('latin1');
  assert.match(log, /\S/);
  await context.close();
});

test('a published game keeps its names, draws its metafiles as PNG and plays from a sub-path', async () => {
  const game = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-game-'));
  fs.cpSync(path.join(root, 'examples/demo'), game, { recursive: true });
  fs.copyFileSync(path.join(root, 'tests/fixtures/pictures/rect.wmf'), path.join(game, 'images', 'Rect.WMF'));
  // Files of the game named as the site's own files are, or were: each keeps its bytes.
  const ownNames = ['manifest.json', 'START.PACK', 'game.json', 'Game.Pack', 'index.html', 'LICENSES.txt', 'soundfont.sf2'];
  for (const name of ownNames) fs.writeFileSync(path.join(game, name), 'the game\'s own ' + name);
  const outer = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-sub-'));
  const out = path.join(outer, 'games', 'lighthouse');
  execFileSync(process.env.VELMORA_PLAYER, ['--export-web', game, out]);
  const png = fs.readFileSync(path.join(out, 'game/images/Rect.WMF'));
  assert.equal(png.subarray(1, 4).toString(), 'PNG');
  const listed = JSON.parse(fs.readFileSync(path.join(out, 'game.json'))).files;
  assert.ok(listed.includes('images/Rect.WMF'));
  for (const name of ownNames) {
    assert.ok(listed.includes(name), name);
    assert.equal(fs.readFileSync(path.join(out, 'game', name), 'utf8'), 'the game\'s own ' + name);
  }
  // The licence notice names every file the site bundles, and the parts compiled into the runtime.
  const licences = fs.readFileSync(path.join(out, 'LICENSES.txt'), 'utf8');
  assert.match(licences, /musl.*libc\+\+/s);
  for (const name of fs.readdirSync(out)) assert.ok(licences.includes(name === 'game' ? 'game/' : name), name);
  assert.ok(fs.existsSync(path.join(out, 'soundfont.sf2')));
  const sub = await serve(outer);
  try {
    const { page, errors, context, player } = await openGame(demo.browser, sub.url + 'games/lighthouse/');
    assert.equal(await page.getByRole('button', { name: 'Начать новую ночь' }).count(), 1);
    for (const name of ownNames) assert.equal((await player.gameFile(name)).toString(), 'the game\'s own ' + name, name);
    assert.deepEqual(errors, []);
    await context.close();
  } finally {
    sub.close();
  }
});

test('the player page opens a .zip into its library and refuses hostile ones, staying usable', async (t) => {
  // The runtime alone: the published site without its game.
  const runtimeOnly = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-page-'));
  fs.cpSync(demo.site, runtimeOnly, { recursive: true });
  for (const name of ['game', 'game.json', 'game.pack']) fs.rmSync(path.join(runtimeOnly, name), { recursive: true });
  const zips = path.join(runtimeOnly, 'zips');
  execFileSync('python3', ['-c', `
import io, os, sys, zipfile
demo, out = sys.argv[1], sys.argv[2]
os.makedirs(out)
with zipfile.ZipFile(out + '/good.zip', 'w', zipfile.ZIP_DEFLATED) as z:
    for folder, _, names in os.walk(demo):
        for name in names:
            if 'replays' in folder or 'tools' in folder: continue
            full = os.path.join(folder, name)
            z.write(full, 'lighthouse/' + os.path.relpath(full, demo))
with zipfile.ZipFile(out + '/dotdot.zip', 'w') as z:
    z.writestr('config.ini', '[GameForm]')
    z.writestr('../../evil.txt', 'x')
with zipfile.ZipFile(out + '/many.zip', 'w') as z:
    z.writestr('config.ini', '[GameForm]')
    for k in range(100000): z.writestr('f%d' % k, '')
with zipfile.ZipFile(out + '/bomb.zip', 'w', zipfile.ZIP_DEFLATED, compresslevel=1) as z:
    z.writestr('config.ini', '[GameForm]')
    with z.open('zeros', 'w', force_zip64=True) as f:
        block = bytes(1 << 20)
        for _ in range(600): f.write(block)
`, path.join(root, 'examples/demo'), zips]);
  const server2 = await serve(runtimeOnly);
  t.after(() => server2.close());
  const context = await demo.browser.newContext({ locale: 'ru-RU' });
  t.after(() => context.close());
  const page = await context.newPage();
  await page.goto(server2.url);
  await page.getByRole('button', { name: 'Открыть архив .zip…' }).waitFor();
  for (const [zip, why] of [['dotdot', /вне его папки/], ['many', /больше 20000 файлов/], ['bomb', /больше 512 МБ/]]) {
    await page.locator('#zip-input').setInputFiles(path.join(zips, zip + '.zip'));
    // The notice of the zip before may still show: wait for this one's words.
    await page.waitForFunction((source) => {
      const notice = document.getElementById('notice');
      return !notice.hidden && new RegExp(source).test(notice.innerText);
    }, why.source).catch(() => {});
    assert.match(await page.locator('#notice').innerText(), why, zip);
  }
  await page.locator('#zip-input').setInputFiles(path.join(zips, 'good.zip'));
  await page.waitForURL(/\?library=/);
  await page.getByRole('button', { name: 'Начать новую ночь' }).waitFor();
  // The caption and the start picture go to the library once the first page is shown.
  await page.waitForFunction(() => window.velmoraPage.libraryEntryStored);
  await page.evaluate(() => window.velmoraPage.libraryEntryStored);
  await page.goto(server2.url);
  const entry = page.getByRole('button', { name: /Играть: Маяк на Совиной косе/ });
  await entry.waitFor();
  assert.equal(await page.locator('.library img').count(), 1);
});
