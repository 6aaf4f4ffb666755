// What the browser tests share: a site with the demo on a local server, Debian's
// Chromium driven by playwright-core (no browser is downloaded), and a player that acts
// out a replay file by clicking in the page on a faked clock.
import { spawn, execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before } from 'node:test';
import { chromium } from 'playwright-core';

export const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');

// A site: the runtime (VELMORA_WEB_RUNTIME, the web build's site folder) and a game,
// exported by the player (VELMORA_PLAYER --export-web) or copied here when none is given.
export function makeSite(game = path.join(root, 'examples/demo')) {
  const out = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-web-'));
  execFileSync(process.env.VELMORA_PLAYER, ['--export-web', game, out], { stdio: 'pipe' });
  return out;
}

export async function serve(folder) {
  // The server logs every request to stderr: a pipe nobody drains fills up after a few
  // hundred requests and then stalls every answer, so that log is dropped.
  const server = spawn('python3', ['-m', 'http.server', '--bind', '127.0.0.1', '0'], { cwd: folder, stdio: ['ignore', 'pipe', 'ignore'] });
  const port = await new Promise((resolve, reject) => {
    let seen = '';
    server.stdout.on('data', (chunk) => {
      seen += chunk;
      const found = /port (\d+)/.exec(seen);
      if (found) resolve(Number(found[1]));
    });
    server.on('exit', () => reject(new Error('the web server ended: ' + seen)));
  });
  return { url: `http://127.0.0.1:${port}/`, close: () => server.kill() };
}

// The demo's site on a local server and a browser, for all the tests of a file: made
// before the first, closed after the last. Its fields are set once `before` has run.
export function demoSite() {
  const shared = {};
  before(async () => {
    shared.site = makeSite();
    shared.server = await serve(shared.site);
    shared.browser = await launch();
  });
  after(async () => {
    await shared.browser?.close();
    shared.server?.close();
  });
  return shared;
}

export async function launch() {
  const executablePath = execFileSync('sh', ['-c', 'command -v chromium']).toString().trim();
  return chromium.launch({
    executablePath,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--no-first-run'],
  });
}

// A page on a faked clock: time passes only at `wait` steps and while the game sleeps,
// as in the player's own replays. Requests to any other host fail the test.
export async function openGame(browser, url, { width = 1280, height = 800, context = null } = {}) {
  const ctx = context || (await browser.newContext({ viewport: { width, height }, locale: 'ru-RU' }));
  const page = await ctx.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  page.on('request', (r) => {
    if (!r.url().startsWith(url) && !r.url().startsWith('blob:') && !r.url().startsWith('data:')) errors.push('fetched ' + r.url());
  });
  await page.clock.install({ time: new Date('2026-01-01T12:00:00Z') });
  await page.goto(url);
  await page.waitForFunction(() => window.velmoraPage && window.velmoraPage.state);
  const player = new PagePlayer(page);
  await player.settle();
  return { page, context: ctx, errors, player };
}

// The same page reloaded: the run before it ends as at the close box.
export async function reopen(game) {
  await game.page.reload();
  await game.page.waitForFunction(() => window.velmoraPage && window.velmoraPage.state);
  const player = new PagePlayer(game.page);
  await player.settle();
  return { ...game, player };
}

// The story text as shown, one entry a line.
export async function storyLines(page) {
  return page.locator('#story p').evaluateAll((ps) => ps.map((p) => p.textContent));
}

// The show blocks of a transcript: each `show`'s story lines.
export function shownTexts(transcript) {
  const blocks = [];
  let lines = null;
  for (const line of transcript.split('\n')) {
    if (line === 'text:' || line === 'text: (empty)') {
      lines = [];
      blocks.push(lines);
    } else if (lines && line.startsWith('  | ')) {
      lines.push(line.slice(4));
    } else {
      lines = null;
    }
  }
  return blocks;
}

export class PagePlayer {
  constructor(page) {
    this.page = page;
    this.answers = [];
    this.shows = [];
  }

  // Until the game waits for the player: a box answered (from the answers queued by
  // `answer`, else OK), a sleep let pass on the clock.
  async settle() {
    for (let round = 0; round < 2000; ++round) {
      const state = await this.page.evaluate(() => {
        const p = window.velmoraPage;
        const box = document.querySelector('#boxes dialog[open]');
        return { idle: p.idle, sleeping: p.sleeping, box: box ? box.className : null, ended: document.body.dataset.ended };
      });
      if (state.ended !== undefined) return;
      if (state.box) {
        await this.answerBox(state.box);
        continue;
      }
      if (state.sleeping) {
        await this.page.clock.runFor(50);
        continue;
      }
      if (state.idle) return;
      await new Promise((r) => setTimeout(r, 5));
    }
    throw new Error('the page never came to rest');
  }

  async answerBox(kind) {
    const box = this.page.locator('#boxes dialog[open]').last();
    if (kind === 'input') {
      const answer = this.answers.shift();
      if (answer === undefined || answer === null) {
        await box.getByRole('button', { name: /Отмена|Cancel/ }).click();
      } else {
        await box.getByRole('textbox').fill(answer);
        await box.getByRole('button', { name: 'OK' }).click();
      }
    } else {
      await box.getByRole('button').first().click();
    }
  }

  // A choice by its number; `none` double-clicks the list below its last choice.
  async choose(which) {
    if (which === 'none') await this.page.locator('#choices').dispatchEvent('dblclick');
    else await this.page.locator('#choices .choice').nth(Number(which) - 1).click();
    await this.settle();
  }

  // One replay step, acted out in the page.
  async step(line) {
    const words = line.trim().split(/\s+/);
    const verb = words[0].toLowerCase();
    const page = this.page;
    if (verb === 'show') this.shows.push(await storyLines(page));
    else if (verb === 'choose') await this.choose(words[1].toLowerCase());
    else if (verb === 'answer') this.answers.push(words[1].toLowerCase() === 'cancel' ? null : line.trim().slice(7).trim());
    else if (verb === 'cancel') this.answers.push(null);
    else if (verb === 'wait') {
      await page.clock.runFor(Number(words[1]));
      await this.settle();
    } else if (verb === 'inventory') {
      if (words.length === 1) await page.getByRole('button', { name: 'Инвентарь' }).click();
      else if (words[1] === 'select') await page.locator('#inventory-list').selectOption({ index: Number(words[2]) - 1 });
      else if (words[1] === 'use') await page.locator('#inventory-use').click();
      else if (words[1] === 'wear') await page.locator('#inventory-wear').click();
      else if (words[1] === 'close') await page.locator('#inventory-close').click();
      await this.settle();
    } else if (verb === 'audio') {
      if (words.length === 1) await page.getByRole('button', { name: 'Audio...' }).click();
      else if (words[1] === 'volume') await page.locator('#audio-volume').fill(words[2]);
      else if (words[1] === 'balance') await page.locator('#audio-balance').fill(words[2]);
      else if (words[1] === 'ok') await page.locator('#audio-ok').click();
      else if (words[1] === 'close') await page.locator('#audio-close').click();
      await this.settle();
    } else if (verb === 'quit') {
      await page.getByRole('button', { name: 'Close' }).click();
      await page.waitForFunction(() => document.body.dataset.ended !== undefined);
    } else {
      throw new Error('step not played in the page: ' + line);
    }
  }

  async play(replayFile) {
    for (const line of fs.readFileSync(replayFile, 'utf8').split('\n')) {
      if (line.trim() && !line.trim().startsWith('#')) await this.step(line);
    }
  }

  // A file of the game as the runtime holds it.
  async gameFile(relative) {
    const bytes = await this.page.evaluate((p) => Array.from(window.velmoraPage.fs.readFile('/game/' + p)), relative);
    return Buffer.from(bytes);
  }
}
