// MIDI in the page: the demo's start music is a MIDI track. Nothing of the synthesiser is
// fetched before the first gesture lets sound start; then its modules and the soundfont
// come from the site itself, and the track sounds through Web Audio.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { demoSite } from './harness.mjs';

const demo = demoSite();
const SYNTH = /spessasynth|stb-vorbis|soundfont\.sf2/;

test('a MIDI track plays through the synthesiser, fetched from the site with the first one', async (t) => {
  const context = await demo.browser.newContext({ locale: 'ru-RU' });
  t.after(() => context.close());
  const page = await context.newPage();
  const fetched = [];
  const errors = [];
  page.on('request', (r) => fetched.push(r.url()));
  page.on('pageerror', (e) => errors.push(e.message));
  await page.goto(demo.server.url);
  await page.waitForFunction(() => window.velmoraPage && window.velmoraPage.idle);
  const midiStreams = () => Array.from(window.velmoraPage.sound.streams.values()).filter((s) => s.midi && s.state === 1).length;
  assert.equal(await page.evaluate(midiStreams), 1);
  assert.deepEqual(fetched.filter((url) => SYNTH.test(url)), []);

  await page.locator('#story').click();  // a gesture: sound may start
  // The playing track's output, measured after its volume and balance.
  const loudness = await page.evaluate(() => new Promise((resolve, reject) => {
    const sound = window.velmoraPage.sound;
    const started = performance.now();
    const look = () => {
      const stream = Array.from(sound.streams.values()).find((s) => s.midi && s.sequencer);
      if (!stream) {
        if (performance.now() - started > 20000) reject(new Error('no synthesiser after 20 s'));
        else setTimeout(look, 50);
        return;
      }
      const analyser = sound.context.createAnalyser();
      stream.panner.connect(analyser);
      const samples = new Float32Array(analyser.fftSize);
      let loudest = 0;
      const listen = () => {
        analyser.getFloatTimeDomainData(samples);
        loudest = Math.max(loudest, ...samples.map(Math.abs));
        if (loudest > 0.001 || performance.now() - started > 20000) resolve(loudest);
        else setTimeout(listen, 50);
      };
      listen();
    };
    look();
  }));
  assert.ok(loudness > 0.001, `peak ${loudness}`);
  const synth = fetched.filter((url) => SYNTH.test(url));
  assert.ok(synth.some((url) => url.endsWith('/soundfont.sf2')), synth.join(' '));
  assert.ok(synth.every((url) => url.startsWith(demo.server.url)), synth.join(' '));
  assert.deepEqual(errors, []);
});
