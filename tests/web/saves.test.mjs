// A save crosses between the native player and the page both ways: one the native player
// made is uploaded into the page and loads at its page; one downloaded from the page is
// imported by the native player and loads at the page it was made on.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { demoSite, openGame, reopen, root, shownTexts, storyLines } from './harness.mjs';

const demo = demoSite();

// Plays steps natively on a fresh copy of the demo with its own data folder; the
// transcript and the save files it left.
function playNative(steps) {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-saves-'));
  const game = path.join(work, 'demo');
  fs.cpSync(path.join(root, 'examples/demo'), game, { recursive: true });
  fs.writeFileSync(path.join(work, 'steps.replay'), steps.join('\n') + '\n');
  const transcript = execFileSync(process.env.VELMORA_PLAYER, ['--game', game, '--replay', path.join(work, 'steps.replay')],
                                  { cwd: game, env: { ...process.env, XDG_DATA_HOME: path.join(work, 'data'), HOME: work } }).toString();
  const saves = path.join(work, 'data/velmora-player/saves');
  const files = fs.existsSync(saves) ? fs.readdirSync(saves).flatMap((d) => fs.readdirSync(path.join(saves, d)).map((f) => path.join(saves, d, f))) : [];
  return { transcript, files, work };
}

test('a save crosses between the native player and the page both ways', async (t) => {
  const native = playNative(['answer Ника', 'choose 1', 'wait 5000', 'show', 'save 1', 'quit']);
  assert.match(native.transcript, /saved: slot 1/);
  const atDoor = shownTexts(native.transcript).at(-1);
  assert.ok(atDoor.length > 0);

  const game = await openGame(demo.browser, demo.server.url);
  t.after(() => game.context.close());
  const { page, player } = game;
  const titlePage = await storyLines(page);
  assert.notDeepEqual(titlePage, atDoor);

  // Upload into slot 2 and load it: the page the native player saved on.
  await page.getByRole('button', { name: 'Сохранения…' }).click();
  await player.settle();
  const dialog = page.getByRole('dialog', { name: 'Сохранение и загрузка' });
  await dialog.getByLabel('Ячейка', { exact: true }).fill('2');
  await page.locator('#saves-file').setInputFiles(native.files.find((f) => f.endsWith('slot-01.sav')));
  await page.waitForFunction(() => /imported: slot 2/.test(document.getElementById('saves-message').textContent));
  await dialog.getByRole('button', { name: 'Загрузить: Ячейка 2' }).click();
  await player.settle();
  assert.equal(await page.locator("#saves-message").textContent(), "loaded: slot 2");
  assert.equal(await dialog.isVisible(), false);
  assert.deepEqual(await storyLines(page), atDoor);

  // One choice on, saved in slot 3 and downloaded.
  await player.choose('1');
  const further = await storyLines(page);
  assert.notDeepEqual(further, atDoor);
  await page.keyboard.press('Control+s');
  await player.settle();
  await dialog.getByLabel('Ячейка', { exact: true }).fill('3');
  await dialog.getByRole('button', { name: 'Сохранить', exact: true }).click();
  await player.settle();
  const downloading = page.waitForEvent('download');
  await dialog.getByRole('button', { name: 'Скачать: Ячейка 3' }).click();
  const downloaded = path.join(native.work, 'from-page.sav');
  await (await downloading).saveAs(downloaded);

  // Going back and the quick slot: back before the choice, then the quick load undoes it.
  await dialog.getByRole('button', { name: /Быстрое сохранение/ }).click();
  await player.settle();
  await dialog.getByRole('button', { name: /Назад/ }).click();
  await player.settle();
  assert.deepEqual(await storyLines(page), atDoor);
  await page.keyboard.press('F9');
  await player.settle();
  assert.deepEqual(await storyLines(page), further);
  assert.deepEqual(game.errors, []);

  const back = playNative([`import 4 ${downloaded}`, 'load 4', 'show', 'quit']);
  assert.match(back.transcript, /imported: slot 4\n> load 4\nloaded: slot 4\n/);
  assert.deepEqual(shownTexts(back.transcript).at(-1), further);
});

test('saves and what the game wrote are kept in IndexedDB; an older page\'s in localStorage are moved there', async (t) => {
  const context = await demo.browser.newContext({ locale: 'ru-RU' });
  t.after(() => context.close());
  let game = await openGame(demo.browser, demo.server.url, { context });
  for (const step of ['answer Nika', 'choose 1', 'wait 5000']) await game.player.step(step);
  const atDoor = await storyLines(game.page);
  await game.page.keyboard.press('Control+Shift+S');
  await game.player.settle();
  await game.page.evaluate(() => window.velmoraPage.stored());
  // The layout of the page before: base64 in localStorage under "velmora:<kind>:<game>:<path>".
  const moved = await game.page.evaluate(() => new Promise((resolve) => {
    indexedDB.open('velmora-storage').onsuccess = (e) => {
      const store = e.target.result.transaction('files', 'readwrite').objectStore('files');
      const keys = store.getAllKeys(), values = store.getAll();
      values.onsuccess = () => {
        keys.result.forEach((key, k) => {
          const bytes = values.result[k];
          let text = '';
          for (const b of bytes) text += String.fromCharCode(b);
          localStorage.setItem('velmora:' + key, btoa(text));
        });
        store.clear().onsuccess = () => resolve(keys.result);
      };
    };
  }));
  assert.ok(moved.some((key) => /^saves:.*quick\.sav$/.test(key)), moved.join(' '));
  // More than localStorage's 5 MB a site.
  await game.page.evaluate(() => {
    window.velmoraPage.persist('/player-data/large.bin', new Uint8Array(6 << 20).fill(7));
    return window.velmoraPage.stored();
  });

  game = await reopen(game);
  const { page } = game;
  assert.deepEqual(await page.evaluate(() => Object.keys(localStorage).filter((k) => k.startsWith('velmora:saves:'))), []);
  assert.equal(await page.evaluate(() => window.velmoraPage.fs.readFile('/player-data/large.bin').length), 6 << 20);
  await page.keyboard.press('Control+Shift+L');
  await game.player.settle();
  assert.deepEqual(await storyLines(page), atDoor);
  assert.deepEqual(game.errors, []);
});
