// MIDI in the page: the demo's start music is a MIDI track. Nothing of the synthesiser is
// fetched before the first gesture lets sound start; then its modules and the soundfont
// come from the site itself, and the track sounds through Web Audio. A second MIDI stream
// beside it (a sound) sounds too, from the same soundfont, fetched and parsed once.
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
  // What goes to the audio worklet: soundfont bytes, each time the worklet would parse them.
  await page.addInitScript(() => {
    window.soundfontsSent = 0;
    const post = MessagePort.prototype.postMessage;
    MessagePort.prototype.postMessage = function (message, ...rest) {
      if (message?.data?.type === 'addSoundBank' && message.data.data.soundBankBuffer.byteLength > 0) window.soundfontsSent++;
      return post.call(this, message, ...rest);
    };
  });
  await page.goto(demo.server.url);
  await page.waitForFunction(() => window.velmoraPage && window.velmoraPage.idle);
  const midiStreams = () => Array.from(window.velmoraPage.sound.streams.values()).filter((s) => s.midi && s.state === 1).length;
  assert.equal(await page.evaluate(midiStreams), 1);
  assert.deepEqual(fetched.filter((url) => SYNTH.test(url)), []);

  await page.locator('#story').click();  // a gesture: sound may start
  // A playing stream's output (the first MIDI one, or the one with `handle`), measured
  // after its volume and balance.
  const loudnessOf = (handle) => page.evaluate((handle) => new Promise((resolve, reject) => {
    const sound = window.velmoraPage.sound;
    const started = performance.now();
    const look = () => {
      const stream = handle ? sound.streams.get(handle) : Array.from(sound.streams.values()).find((s) => s.midi && s.sequencer);
      if (!stream?.sequencer) {
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
  }), handle);
  const loudness = await loudnessOf(0);
  assert.ok(loudness > 0.001, `peak ${loudness}`);
  const sound = await page.evaluate(() => {
    const sound = window.velmoraPage.sound;
    const handle = sound.create('/game/music/sfx/chime.mid', 3);
    sound.play(handle, true);
    return handle;
  });
  const soundLoudness = await loudnessOf(sound);
  assert.ok(soundLoudness > 0.001, `the sound's peak ${soundLoudness}`);
  const synth = fetched.filter((url) => SYNTH.test(url));
  assert.equal(synth.filter((url) => url.endsWith('/soundfont.sf2')).length, 1, synth.join(' '));
  assert.ok(synth.every((url) => url.startsWith(demo.server.url)), synth.join(' '));
  assert.equal(await page.evaluate(() => window.soundfontsSent), 1);
  assert.deepEqual(errors, []);
});
