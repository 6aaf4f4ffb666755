// The page's side of the platform calls (web_platform.cpp). Each hands over to the page
// object given to the module (web/player.js), which owns the DOM, storage and sound.
mergeInto(LibraryManager.library, {
  velmora_js_render: function (json) {
    Module.page.render(JSON.parse(UTF8ToString(json)));
  },
  velmora_js_next_event: function (boxAnswersOnly) {
    var event = Module.page.nextEvent(!!boxAnswersOnly);
    if (event === null) return 0;
    var size = lengthBytesUTF8(event) + 1;
    var copy = _malloc(size);
    stringToUTF8(event, copy, size);
    return copy;
  },
  velmora_js_next_event__deps: ['malloc'],
  // Suspends the run until start's wakeUp is called. Asyncify unwinds and later rewinds
  // the stack; without it the runtime switches stacks, and the promise is what the run
  // waits for (stack_switching.js).
  $velmoraSuspend: function (start) {
#if ASYNCIFY
    return Asyncify.handleSleep(start);
#else
    return new Promise(start);
#endif
  },
  // Suspends the run until the page queues an event or ms pass.
  velmora_js_wait__deps: ['$velmoraSuspend'],
  velmora_js_wait: function (ms) {
    return velmoraSuspend(function (wakeUp) {
      Module.page.waitForEvent(ms, wakeUp);
    });
  },
  // Suspends the run for ms; only the page going away cuts it short.
  velmora_js_sleep__deps: ['$velmoraSuspend'],
  velmora_js_sleep: function (ms) {
    return velmoraSuspend(function (wakeUp) {
      Module.page.sleep(ms, wakeUp);
    });
  },
  velmora_js_persist: function (path, bytes, size, remove) {
    Module.page.persist(UTF8ToString(path), remove ? null : HEAPU8.slice(bytes, bytes + size));
  },
  velmora_js_open_dialog: function (id, kind, title, text, field) {
    Module.page.openDialog(id, UTF8ToString(kind), UTF8ToString(title), UTF8ToString(text), UTF8ToString(field));
  },
  velmora_js_close_dialog: function (id) {
    Module.page.closeDialog(id);
  },
  velmora_js_audio_create: function (path, midiSeconds) {
    return Module.page.sound.create(UTF8ToString(path), midiSeconds);
  },
  velmora_js_audio_play: function (handle, restart) {
    return Module.page.sound.play(handle, !!restart) ? 1 : 0;
  },
  velmora_js_audio_state: function (handle) {
    return Module.page.sound.state(handle);
  },
  velmora_js_audio_pause: function (handle) {
    return Module.page.sound.pause(handle) ? 1 : 0;
  },
  velmora_js_audio_set: function (handle, attrib, value) {
    return Module.page.sound.set(handle, attrib, value) ? 1 : 0;
  },
  velmora_js_audio_stop_all: function () {
    Module.page.sound.stopAll();
  },
  velmora_js_audio_free: function (handle) {
    Module.page.sound.free(handle);
  },
  velmora_js_audio_position: function (handle) {
    return Module.page.sound.position(handle);
  },
  velmora_js_audio_seek: function (handle, ms) {
    return Module.page.sound.seek(handle, ms) ? 1 : 0;
  },
});
