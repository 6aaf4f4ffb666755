// The page of the browser player: loads a game's files into the runtime's file system,
// draws the windows from the state the runtime sends, turns clicks, taps and keys into
// its events, shows its boxes as <dialog> elements, plays its sound through Web Audio
// and keeps what the game writes in the browser's storage.
'use strict';

(function () {
  const WORDS = {
    en: {
      classic: 'Classic layout',
      reader: 'Reader layout',
      fileUrl: 'This page was opened from a file (file://), where browsers do not load WebAssembly. ' +
        'Serve the folder with a web server, for example: python3 -m http.server --bind 127.0.0.1, ' +
        'then open http://127.0.0.1:8000/',
      loading: 'Loading the game…',
      noGame: 'Could not load the game: ',
      ended: 'The game has ended. Reload the page to play again.',
      stopped: 'The game could not start. Its log says why:\n\n',
      storageFull: 'The browser\'s storage is full: what the game writes now is not kept.',
      ok: 'OK', cancel: 'Cancel', yes: 'Yes', no: 'No',
      choices: 'Choices', story: 'Story text',
      intro: 'Open a game: its folder (the one with config.ini) or a .zip of it. Opened games stay in this browser\'s library.',
      openFolder: 'Open a game folder…', openZip: 'Open a .zip…', library: 'Your games', emptyLibrary: 'No games yet.',
      play: 'Play', remove: 'Remove from the library',
      notGame: 'This is no game: config.ini is missing.',
      badZip: 'This .zip cannot be opened: ',
      tooMany: 'it holds more than 20000 files', tooLarge: 'it unpacks to more than 512 MB',
      badName: 'it names a file outside its folder: ', damaged: 'it is damaged',
      saves: 'Saves…', savesTitle: 'Save and load', quickSave: 'Quick save (F5, Ctrl+Shift+S)',
      quickLoad: 'Quick load (F9, Ctrl+Shift+L)', back: 'Back (Backspace, Ctrl+Z)', slotNumber: 'Slot',
      saveTo: 'Save', upload: 'Upload a save…', close: 'Close', quickSlot: 'Quick slot', slot: 'Slot ',
      load: 'Load', download: 'Download', delete: 'Delete', noSaves: 'No saves yet.', played: ' min played',
    },
    ru: {
      classic: 'Классический вид',
      reader: 'Вид для чтения',
      fileUrl: 'Страница открыта из файла (file://), а из файлов браузеры не загружают WebAssembly. ' +
        'Откройте папку через веб-сервер, например: python3 -m http.server --bind 127.0.0.1, ' +
        'затем откройте http://127.0.0.1:8000/',
      loading: 'Игра загружается…',
      noGame: 'Не удалось загрузить игру: ',
      ended: 'Игра окончена. Чтобы сыграть снова, перезагрузите страницу.',
      stopped: 'Игра не запустилась. Причина записана в журнале:\n\n',
      storageFull: 'Хранилище браузера заполнено: то, что игра записывает сейчас, не сохраняется.',
      ok: 'OK', cancel: 'Отмена', yes: 'Да', no: 'Нет',
      choices: 'Варианты ответа', story: 'Текст истории',
      intro: 'Откройте игру: её папку (ту, где лежит config.ini) или её архив .zip. Открытые игры остаются в библиотеке этого браузера.',
      openFolder: 'Открыть папку игры…', openZip: 'Открыть архив .zip…', library: 'Ваши игры', emptyLibrary: 'Игр пока нет.',
      play: 'Играть', remove: 'Убрать из библиотеки',
      notGame: 'Это не игра: нет файла config.ini.',
      badZip: 'Этот архив .zip не открыть: ',
      tooMany: 'в нём больше 20000 файлов', tooLarge: 'распакованный, он больше 512 МБ',
      badName: 'в нём файл вне его папки: ', damaged: 'он повреждён',
      saves: 'Сохранения…', savesTitle: 'Сохранение и загрузка', quickSave: 'Быстрое сохранение (F5, Ctrl+Shift+S)',
      quickLoad: 'Быстрая загрузка (F9, Ctrl+Shift+L)', back: 'Назад (Backspace, Ctrl+Z)', slotNumber: 'Ячейка',
      saveTo: 'Сохранить', upload: 'Загрузить файл сохранения…', close: 'Закрыть', quickSlot: 'Быстрая ячейка',
      slot: 'Ячейка ', load: 'Загрузить', download: 'Скачать', delete: 'Удалить', noSaves: 'Сохранений пока нет.',
      played: ' мин в игре',
    },
  };
  const lang = (navigator.language || 'en').toLowerCase().startsWith('ru') ? 'ru' : 'en';
  const say = (key) => WORDS[lang][key];
  const $ = (id) => document.getElementById(id);
  const GAME_ROOT = '/game/';
  // The player's own data (saves): the runtime's XDG_DATA_HOME.
  const DATA_ROOT = '/player-data/';
  const UPLOAD_FILE = '/tmp/velmora-upload.sav';
  // The runtime index.html chose for this browser and is already fetching.
  const RUNTIME_SCRIPT = window.velmoraRuntime + '.js';

  // Shows one element a text in `box`, made by `make`: the elements it has are kept
  // and given their new words, so a page turn makes and drops few nodes.
  function showTexts(box, texts, make) {
    texts.forEach((text, k) => {
      const node = box.children[k] || box.appendChild(make());
      if (node.textContent !== text) node.textContent = text;
    });
    while (box.children.length > texts.length) box.lastElementChild.remove();
  }

  function notice(text) {
    const box = $('notice');
    if (box.hidden === !text && box.textContent === text) return;  // each page clears it
    box.textContent = text;
    box.hidden = !text;
  }

  // Storage ------------------------------------------------------------------------------

  // The object stores of an IndexedDB database. `body` makes the requests of one
  // transaction and returns the request whose result is the answer (or a function that
  // gives it); the answer comes once the transaction is committed, so a page that moves
  // on right after a write does not lose it.
  function database(name, version, stores) {
    let opened = null;
    const open = () => opened || (opened = new Promise((resolve, reject) => {
      const request = indexedDB.open(name, version);
      request.onupgradeneeded = () => {
        for (const [store, options] of Object.entries(stores))
          if (!request.result.objectStoreNames.contains(store)) request.result.createObjectStore(store, options);
      };
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => reject(request.error);
    }));
    return async function run(store, mode, body) {
      const db = await open();
      return new Promise((resolve, reject) => {
        const transaction = db.transaction(store, mode);
        const answer = body(transaction.objectStore(store));
        transaction.oncomplete = () => resolve(typeof answer === 'function' ? answer() : answer.result);
        transaction.onerror = () => reject(transaction.error);
        transaction.onabort = () => reject(transaction.error);
      });
    };
  }

  function toBase64(bytes) {
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(text);
  }
  function fromBase64(text) {
    const raw = atob(text);
    const bytes = new Uint8Array(raw.length);
    for (let i = 0; i < raw.length; ++i) bytes[i] = raw.charCodeAt(i);
    return bytes;
  }

  // What a game wrote ('files') and the player's saves for it ('saves'), per game, in
  // IndexedDB under "<kind>:<game key>:<path>": localStorage holds about 5 MB a site,
  // less than a story file and a few saves can take. But a page that goes away takes its
  // unfinished IndexedDB writes with it, so what the run writes while the page closes
  // (its shutdown) also goes to localStorage at once, base64 under "velmora:" and the
  // same key ("-" for a removed file), as pages before this one kept everything. The next
  // start moves what it finds there into IndexedDB, over what is there.
  const REMOVED = '-';
  const writtenFiles = database('velmora-storage', 1, { files: {} });
  class GameStorage {
    constructor(gameKey, kind = 'files') {
      this.prefix = kind + ':' + gameKey + ':';
      this.legacyPrefix = 'velmora:' + this.prefix;
      this.warned = false;
      this.closing = false;
      this.pending = new Set();
      this.batch = null;
    }
    warn() {
      if (!this.warned) notice(say('storageFull'));
      this.warned = true;
    }
    put(relative, bytes) {
      const key = this.prefix + relative;
      if (this.closing) {
        try {
          localStorage.setItem('velmora:' + key, bytes === null ? REMOVED : toBase64(bytes));
        } catch (e) {
          // too large for localStorage: IndexedDB may still finish in time
        }
      }
      // What the run writes in one go (a turn) is stored in one transaction, each file with
      // its last bytes: scripts may change the story file several times in a turn.
      if (this.batch) {
        this.batch.set(key, bytes);
        return;
      }
      this.batch = new Map([[key, bytes]]);
      const done = Promise.resolve()
        .then(() => {
          const batch = this.batch;
          this.batch = null;
          return writtenFiles('files', 'readwrite', (store) => {
            for (const [path, last] of batch) if (last === null) store.delete(path); else store.put(last, path);
            return () => undefined;
          });
        })
        .catch(() => this.warn())
        .finally(() => this.pending.delete(done));
      this.pending.add(done);
    }
    // Every write handed over so far, committed.
    settled() {
      return Promise.all(Array.from(this.pending));
    }
    leftInLocalStorage() {
      const keys = [];
      for (let i = 0; i < localStorage.length; ++i) {
        const key = localStorage.key(i);
        if (key.startsWith(this.legacyPrefix)) keys.push(key);
      }
      return keys;
    }
    async moveFromLocalStorage() {
      const left = this.leftInLocalStorage();
      if (!left.length) return;
      await writtenFiles('files', 'readwrite', (store) => {
        for (const key of left) {
          const target = key.slice('velmora:'.length);
          const value = localStorage.getItem(key);
          if (value === REMOVED) store.delete(target);
          else store.put(fromBase64(value), target);
        }
        return () => undefined;
      });
      for (const key of left) localStorage.removeItem(key);
    }
    async entries() {
      const found = new Map();
      try {
        await this.moveFromLocalStorage();
      } catch (e) {
        this.warn();  // left where they are, and read from there below
      }
      const range = IDBKeyRange.bound(this.prefix, this.prefix + '\uffff');
      const [keys, values] = await writtenFiles('files', 'readonly', (store) => {
        const keys = store.getAllKeys(range), values = store.getAll(range);
        return () => [keys.result, values.result];
      });
      keys.forEach((key, k) => found.set(key.slice(this.prefix.length), new Uint8Array(values[k])));
      for (const key of this.leftInLocalStorage()) {
        const value = localStorage.getItem(key);
        if (value === REMOVED) found.delete(key.slice(this.legacyPrefix.length));
        else found.set(key.slice(this.legacyPrefix.length), fromBase64(value));
      }
      return Array.from(found);
    }
  }

  // Sound --------------------------------------------------------------------------------

  // MIDI plays through spessasynth_lib (an SF2 synthesiser in an AudioWorklet) with the
  // General MIDI soundfont published beside the page. The three are fetched when a MIDI
  // track first sounds, never before; without them MIDI keeps its time silently.
  // Each MIDI stream has a synthesiser of its own (the library's sequencer silences and
  // resets its whole synthesiser at each pause and seek, and every stream has its own
  // volume and balance), but the soundfont is fetched and parsed once: the worklet keeps
  // the parsed bank (shared_soundfont.js) and the bytes go to the first synthesiser only.
  const SHARED_BANK = 'shared-gm';
  let midiKit = null;
  function loadMidiKit(context) {
    if (!midiKit) {
      midiKit = (async () => {
        const here = document.baseURI;
        const worklet = context.audioWorklet.addModule(new URL('shared_soundfont.js', here).href)
          .then(() => context.audioWorklet.addModule(new URL('spessasynth_processor.min.js', here).href));
        const [lib, soundfont] = await Promise.all([
          import(new URL('spessasynth_lib.js', here).href),
          fetchBytes(new URL('soundfont.sf2', here)),
          worklet,
        ]);
        return { lib, soundfont: soundfont.buffer, bankShared: null };
      })();
      midiKit.catch(() => {});
    }
    return midiKit;
  }
  // Gives the synthesiser the soundfont: its bytes to the first one, the bank the worklet
  // parsed from them to each later one, once that is in place.
  async function addSoundfont(kit, synth) {
    if (!kit.bankShared) {
      const bytes = kit.soundfont;
      kit.soundfont = null;
      kit.bankShared = synth.soundBankManager.addSoundBank(bytes, SHARED_BANK);
      return kit.bankShared;
    }
    await kit.bankShared;
    return synth.soundBankManager.addSoundBank(new ArrayBuffer(0), SHARED_BANK);
  }

  // Streams by handle. Browsers start sound only after a gesture: until the first one a
  // stream told to play counts as playing and starts then. A MIDI stream keeps its own
  // time (its length from the file, as the runtime measured it), and its synthesiser
  // follows that time.
  class Sound {
    // `readFile` gives a file's bytes, or the site's URL of one not fetched yet.
    constructor(readFile) {
      this.readFile = readFile;
      this.streams = new Map();
      this.next = 1;
      this.context = null;
    }
    unlock() {
      if (this.context) return;
      const Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return;
      this.context = new Context();
      this.context.resume().catch(() => {});
      for (const stream of this.streams.values()) if (stream.state === 1) this.start(stream);
    }
    create(path, midiSeconds) {
      const stream = { state: 0, volume: 1, pan: 0, midi: midiSeconds >= 0, length: midiSeconds * 1000, at: 0, since: 0 };
      let bytes;
      try {
        bytes = this.readFile(path);
      } catch (e) {
        return 0;
      }
      if (stream.midi) {
        stream.bytes = bytes;
      } else {
        stream.url = typeof bytes === 'string' ? bytes : URL.createObjectURL(new Blob([bytes]));
        stream.element = new Audio();
        stream.element.preload = 'auto';
        stream.element.src = stream.url;
        stream.element.addEventListener('ended', () => { stream.state = 0; });
        stream.element.addEventListener('error', () => { stream.state = 0; });
      }
      const handle = this.next++;
      this.streams.set(handle, stream);
      return handle;
    }
    // The stream's volume and balance on the way out; what it plays goes into the node
    // this returns.
    route(stream) {
      stream.gain = this.context.createGain();
      stream.panner = this.context.createStereoPanner();
      stream.gain.connect(stream.panner).connect(this.context.destination);
      this.apply(stream);
      return stream.gain;
    }
    start(stream) {
      if (!this.context) return;
      if (stream.midi) {
        if (!stream.synth) this.attachSynth(stream);
        this.follow(stream);
        return;
      }
      if (!stream.gain) this.context.createMediaElementSource(stream.element).connect(this.route(stream));
      stream.element.play().catch(() => {});
    }
    async attachSynth(stream) {
      stream.synth = 'loading';
      let kit;
      try {
        kit = await loadMidiKit(this.context);
      } catch (e) {
        return;  // no synthesiser: the track keeps its time in silence
      }
      if (!Array.from(this.streams.values()).includes(stream)) return;
      const synth = new kit.lib.WorkletSynthesizer(this.context);
      synth.connect(this.route(stream));
      await addSoundfont(kit, synth);
      await synth.isReady;
      const sequencer = new kit.lib.Sequencer(synth, { skipToFirstNoteOn: false });
      sequencer.loopCount = 0;
      sequencer.loadNewSongList([{ binary: stream.bytes.slice().buffer }]);
      stream.synth = synth;
      stream.sequencer = sequencer;
      if (!Array.from(this.streams.values()).includes(stream)) this.release(stream);
      else this.follow(stream);
    }
    // The synthesiser where the stream's own time says: playing from its place, or still.
    follow(stream) {
      const sequencer = stream.sequencer;
      if (!sequencer) return;
      if (stream.state === 1) {
        sequencer.currentTime = Math.min(stream.length, this.midiPosition(stream)) / 1000;
        sequencer.play();
      } else {
        sequencer.pause();
      }
    }
    release(stream) {
      if (stream.sequencer) stream.sequencer.pause();
      if (stream.synth && stream.synth !== 'loading') {
        stream.synth.disconnect();
        stream.synth.destroy();
      }
      if (stream.panner) stream.panner.disconnect();
    }
    apply(stream) {
      if (stream.gain) {
        stream.gain.gain.value = stream.volume;
        stream.panner.pan.value = stream.pan;
      } else if (stream.element) {
        stream.element.volume = Math.min(1, Math.max(0, stream.volume));
      }
    }
    play(handle, restart) {
      const stream = this.streams.get(handle);
      if (!stream) return false;
      if (stream.midi) {
        if (restart || stream.state === 0) stream.at = 0;
        stream.since = performance.now();
      } else if (restart) {
        stream.element.currentTime = 0;
      }
      stream.state = 1;
      this.start(stream);
      return true;
    }
    state(handle) {
      const stream = this.streams.get(handle);
      if (!stream) return 0;
      if (stream.midi && stream.state === 1 && this.midiPosition(stream) >= stream.length) {
        stream.state = 0;
        this.follow(stream);
      }
      return stream.state;
    }
    pause(handle) {
      const stream = this.streams.get(handle);
      if (!stream) return false;
      if (stream.state === 1) {
        if (stream.midi) stream.at = this.midiPosition(stream);
        else stream.element.pause();
        stream.state = 3;
        this.follow(stream);
      }
      return true;
    }
    set(handle, attrib, value) {
      const stream = this.streams.get(handle);
      if (!stream) return false;
      if (attrib === 2) stream.volume = Math.max(0, value);
      else if (attrib === 3) stream.pan = Math.min(1, Math.max(-1, value));
      else return false;
      this.apply(stream);
      return true;
    }
    midiPosition(stream) {
      return stream.state === 1 ? stream.at + performance.now() - stream.since : stream.at;
    }
    position(handle) {
      const stream = this.streams.get(handle);
      if (!stream) return -1;
      if (stream.midi) return this.midiPosition(stream);
      return stream.element.currentTime * 1000;
    }
    seek(handle, ms) {
      const stream = this.streams.get(handle);
      if (!stream) return false;
      if (stream.midi) {
        stream.at = ms;
        stream.since = performance.now();
        this.follow(stream);
      } else {
        stream.element.currentTime = ms / 1000;
      }
      return true;
    }
    stopAll() {
      for (const handle of this.streams.keys()) this.pause(handle);
    }
    free(handle) {
      const stream = this.streams.get(handle);
      if (!stream) return;
      if (stream.element) {
        stream.element.pause();
        stream.element.removeAttribute('src');
        if (stream.url.startsWith('blob:')) URL.revokeObjectURL(stream.url);
      }
      this.release(stream);
      this.streams.delete(handle);
    }
  }

  // The page the runtime talks to ----------------------------------------------------------

  class Page {
    constructor(storage, saveStorage, files) {
      this.storage = storage;
      this.files = files;
      this.saveStorage = saveStorage;
      this.queue = [];
      this.wake = null;
      this.wakeTimer = 0;
      this.sleepWake = null;
      this.boxAnswersOnly = false;
      this.quitting = false;
      this.idle = false;
      this.sleeping = false;
      this.state = null;
      this.shown = {};
      this.pictureUrls = new Map();
      this.generation = 0;
      this.sound = new Sound((path) => this.files.siteUrl(path) || this.fs.readFile(path));
      this.layout = localStorage.getItem('velmora:layout') || (window.innerWidth >= 800 ? 'classic' : 'reader');
      this.bindControls();
      this.applyLayout();
    }

    // Events -----------------------------------------------------------------------------
    isBoxAnswer(event) {
      return event.startsWith('dialog ');
    }
    push(event) {
      this.queue.push(event);
      if (!this.boxAnswersOnly || this.isBoxAnswer(event)) this.wakeNow();
    }
    wakeNow() {
      if (!this.wake) return;
      const wake = this.wake;
      this.wake = null;
      this.idle = false;
      clearTimeout(this.wakeTimer);
      wake();
    }
    nextEvent(boxAnswersOnly) {
      this.boxAnswersOnly = boxAnswersOnly;
      if (this.quitting) return 'quit';
      const index = boxAnswersOnly ? this.queue.findIndex((e) => this.isBoxAnswer(e)) : (this.queue.length ? 0 : -1);
      if (index < 0) return null;
      return this.queue.splice(index, 1)[0];
    }
    waitForEvent(ms, wakeUp) {
      const ready = this.quitting || this.queue.some((e) => !this.boxAnswersOnly || this.isBoxAnswer(e));
      if (ready) {
        wakeUp();
        return;
      }
      this.wake = wakeUp;
      this.idle = true;  // waiting for the player (or a timer): for tests and tools
      this.wakeTimer = setTimeout(() => this.wakeNow(), ms);
    }
    sleep(ms, wakeUp) {
      if (this.quitting) {
        wakeUp();
        return;
      }
      this.sleeping = true;
      const timer = setTimeout(() => {
        this.sleepWake = null;
        this.sleeping = false;
        wakeUp();
      }, ms);
      this.sleepWake = () => {
        clearTimeout(timer);
        this.sleepWake = null;
        this.sleeping = false;
        wakeUp();
      };
    }
    // The tab closes or reloads: the run ends as at the close box, its writes kept.
    quit() {
      if (this.quitting) return;
      this.quitting = true;
      this.storage.closing = this.saveStorage.closing = true;
      if (this.sleepWake) this.sleepWake();
      this.wakeNow();
    }
    // Every write of the run so far, committed to the browser's storage.
    stored() {
      return Promise.all([this.storage.settled(), this.saveStorage.settled()]);
    }
    persist(path, bytes) {
      this.files.written(path);
      const pictureUrl = this.pictureUrls.get(path);
      if (pictureUrl) {
        // A picture the run has written anew is drawn from its new bytes.
        this.pictureUrls.delete(path);
        URL.revokeObjectURL(pictureUrl);
      }
      if (path.startsWith(GAME_ROOT)) this.storage.put(path.slice(GAME_ROOT.length), bytes);
      else if (path.startsWith(DATA_ROOT)) this.saveStorage.put(path.slice(DATA_ROOT.length), bytes);
    }

    // Drawing ----------------------------------------------------------------------------
    pictureUrl(path) {
      if (!path) return '';
      let url = this.pictureUrls.get(path);
      if (!url) url = this.files.siteUrl(path);
      if (!url) {
        try {
          url = URL.createObjectURL(new Blob([this.fs.readFile(path)]));
        } catch (e) {
          url = '';
        }
        this.pictureUrls.set(path, url);
      }
      return url;
    }
    showPicture(img, path) {
      const url = this.pictureUrl(path);
      if (img.getAttribute('src') !== url) {
        if (url) img.src = url;
        else img.removeAttribute('src');
      }
      if (img.hidden !== !url) img.hidden = !url;
    }
    render(state) {
      if (!this.state) {
        performance.mark('velmora-first-page');
        if (this.firstShown) this.firstShown(state);
      }
      this.state = state;
      const shown = this.shown;
      const main = state.main;
      const list = $('choices');
      const choicesKey = JSON.stringify(main.choices);
      const choicesChange = shown.choices !== choicesKey;
      // New choices take the focus where the old ones had it. The first choice's button
      // stays and gets its new words, so it is focused before anything else on the page
      // changes: later, focusing it would make the browser lay the page out at once.
      const takeFocus = choicesChange && main.choices.length > 0 &&
        (list.contains(document.activeElement) || document.activeElement === document.body);
      if (takeFocus && list.firstElementChild) list.firstElementChild.focus({ preventScroll: true });
      $('form').hidden = false;
      notice('');
      if (shown.caption !== main.caption) {
        $('caption').textContent = main.caption;
        document.title = main.caption;
        shown.caption = main.caption;
      }
      const size = main.width + 'x' + main.height + '@' + main.left + ',' + main.top;
      if (shown.size !== size) {
        shown.size = size;
        this.fitClassic();
      }
      this.showPicture($('picture'), main.picture);
      const storyKey = main.story.join('\n');
      if (shown.story !== storyKey) {
        const story = $('story');
        showTexts(story, main.story, () => document.createElement('p'));
        // Only when the reader scrolled it: setting the offset lays the page out at once.
        if (this.storyScrolled) {
          story.scrollTop = 0;
          this.storyScrolled = false;
        }
        const whiteSpace = main.wordWrap ? 'pre-wrap' : 'pre';
        if (story.style.whiteSpace !== whiteSpace) story.style.whiteSpace = whiteSpace;
        shown.story = storyKey;
      }
      if (choicesChange) {
        this.generation++;
        showTexts(list, main.choices, () => {
          const button = document.createElement('button');
          button.type = 'button';
          button.className = 'choice';
          button.dataset.index = String(list.children.length);
          return button;
        });
        shown.choices = choicesKey;
        if (takeFocus && document.activeElement !== list.firstElementChild) list.firstElementChild.focus({ preventScroll: true });
      }
      Array.from(list.children).forEach((b, k) => {
        const current = String(k === main.selected);
        if (b.getAttribute('aria-current') !== current) b.setAttribute('aria-current', current);
      });
      this.renderInventory(state.inventory);
      this.renderAudio(state.audio);
      this.renderSaves(state.saves);
    }
    renderSaves(saves) {
      const win = $('saves-window');
      if (this.shown.saveSerial !== saves.serial) {
        this.shown.saveSerial = saves.serial;
        $('saves-message').textContent = saves.message;
        if (!saves.open && saves.message) notice(saves.message);
      }
      if ($('saves-back').disabled !== !saves.canGoBack) $('saves-back').disabled = !saves.canGoBack;
      const key = JSON.stringify(saves.slots);
      if (saves.open && this.shown.saveSlots !== key) {
        this.shown.saveSlots = key;
        const rows = saves.slots.map((info) => {
          const row = document.createElement('tr');
          const label = document.createElement('th');
          label.scope = 'row';
          label.textContent = info.slot === 0 ? say('quickSlot') : say('slot') + info.slot;
          const about = document.createElement('td');
          about.textContent = info.refused ||
            [info.name, info.page, info.savedAt, info.playedMinutes + say('played')].filter((t) => t).join(' · ');
          const actions = document.createElement('td');
          const button = (word, act) => {
            const b = document.createElement('button');
            b.type = 'button';
            b.textContent = say(word);
            b.setAttribute('aria-label', say(word) + ': ' + label.textContent);
            b.addEventListener('click', act);
            actions.append(b);
            return b;
          };
          button('load', () => this.push('saves load ' + info.slot)).disabled = !!info.refused;
          button('download', () => this.downloadSave(saves.folder + info.file, info.file));
          button('delete', () => this.push('saves delete ' + info.slot));
          row.append(label, about, actions);
          return row;
        });
        if (!rows.length) {
          const row = document.createElement('tr');
          const cell = document.createElement('td');
          cell.textContent = say('noSaves');
          row.append(cell);
          rows.push(row);
        }
        $('saves-slots').replaceChildren(...rows);
      }
      if (saves.open && !win.open) {
        win.showModal();
        $('saves-quick-save').focus();
      } else if (!saves.open && win.open) {
        win.close();
      }
    }
    downloadSave(path, name) {
      const url = URL.createObjectURL(new Blob([this.fs.readFile(path)], { type: 'application/octet-stream' }));
      const link = document.createElement('a');
      link.href = url;
      link.download = name;
      document.body.append(link);
      link.click();
      link.remove();
      setTimeout(() => URL.revokeObjectURL(url), 60000);
    }
    async uploadSave(file) {
      const bytes = new Uint8Array(await file.arrayBuffer());
      this.fs.writeFile(UPLOAD_FILE, bytes);
      this.push('saves import ' + this.chosenSlot());
    }
    chosenSlot() {
      const slot = Math.trunc(Number($('saves-slot').value));
      return slot >= 1 && slot <= 99 ? slot : 1;
    }
    // The desktop's keys for saves; the browser may keep F5 and F9, so Ctrl+Shift+S and
    // Ctrl+Shift+L do the same. None while a box is open or text is typed.
    saveKey(e) {
      if (document.querySelector('#boxes dialog[open]') || !this.state) return;
      const typing = e.target instanceof HTMLInputElement || e.target instanceof HTMLTextAreaElement;
      const ctrl = e.ctrlKey || e.metaKey;
      const key = e.key.length === 1 ? e.key.toLowerCase() : e.key;
      let event = null;
      if (e.key === 'F5' || (ctrl && e.shiftKey && key === 's')) event = 'saves save 0';
      else if (e.key === 'F9' || (ctrl && e.shiftKey && key === 'l')) event = 'saves load 0';
      else if (ctrl && !e.shiftKey && (key === 's' || key === 'o')) event = 'saves open';
      else if (!typing && ((ctrl && key === 'z') || (!ctrl && e.key === 'Backspace'))) event = 'saves back';
      if (!event) return;
      e.preventDefault();
      this.push(event);
    }
    choose(event, index) {
      // The second click of a double-click, a press that began on choices since replaced,
      // or a click while the last choice still waits: none of them runs a choice.
      if (event.detail > 1 || (this.pressedOn !== null && this.pressedOn !== this.generation)) return;
      if (this.queue.some((e) => e.startsWith('choose '))) return;
      this.push('choose ' + (index + 1));
    }
    renderInventory(inv) {
      const win = $('inventory-window');
      const key = JSON.stringify(inv);
      if (this.shown.inventory === key) return;
      this.shown.inventory = key;
      const list = $('inventory-list');
      const entriesKey = JSON.stringify(inv.entries);
      if (list.dataset.entries !== entriesKey) {
        list.replaceChildren(...inv.entries.map((text, k) => new Option(text, String(k))));
        list.dataset.entries = entriesKey;
      }
      list.selectedIndex = inv.selected;
      this.showPicture($('inventory-picture'), inv.picture);
      $('inventory-item-name').textContent = inv.item;
      $('inventory-item-count').textContent = inv.count;
      $('inventory-description').textContent = inv.description.join('\n');
      $('inventory-use').disabled = !inv.useEnabled;
      $('inventory-wear').disabled = !inv.wearEnabled;
      $('inventory-wear').textContent = inv.wearTakesOff ? 'Снять' : 'Надеть';
      if (inv.visible && !win.open) {
        win.show();
        list.focus();
      } else if (!inv.visible && win.open) {
        win.close();
      }
    }
    renderAudio(audio) {
      const win = $('audio-window');
      for (const [id, value] of [['audio-volume', String(audio.volume)], ['audio-balance', String(audio.balance)]])
        if ($(id).value !== value) $(id).value = value;
      if (audio.visible && (!win.open || this.shown.audioCount !== audio.showCount)) {
        if (!win.open) win.show();
        $('audio-volume').focus();
      } else if (!audio.visible && win.open) {
        win.close();
      }
      this.shown.audioCount = audio.showCount;
    }

    // Boxes ------------------------------------------------------------------------------
    openDialog(id, kind, title, text, field) {
      const box = document.createElement('dialog');
      box.className = kind;
      box.dataset.id = String(id);
      box.setAttribute('aria-labelledby', 'box-title-' + id);
      box.setAttribute('aria-describedby', 'box-text-' + id);
      if (kind === 'error') box.setAttribute('role', 'alertdialog');
      const heading = document.createElement('h2');
      heading.id = 'box-title-' + id;
      heading.textContent = title;
      const body = document.createElement('div');
      body.className = 'body';
      const message = document.createElement(kind === 'input' ? 'label' : 'div');
      message.id = 'box-text-' + id;
      message.textContent = text;
      body.append(message);
      let input = null;
      if (kind === 'input') {
        input = document.createElement('input');
        input.type = 'text';
        input.id = 'box-input-' + id;
        message.htmlFor = input.id;
        body.append(input);
      }
      const buttons = document.createElement('div');
      buttons.className = 'buttons';
      const answer = (ok) => {
        if (!box.open) return;
        box.close();
        box.remove();
        this.push('dialog ' + id + (ok ? ' ok ' + (input ? input.value : '') : ' cancel'));
      };
      const ok = document.createElement('button');
      ok.type = 'button';
      ok.textContent = kind === 'question' ? say('yes') : say('ok');
      ok.addEventListener('click', () => answer(true));
      buttons.append(ok);
      if (kind === 'input' || kind === 'question') {
        const cancel = document.createElement('button');
        cancel.type = 'button';
        cancel.textContent = kind === 'question' ? say('no') : say('cancel');
        cancel.addEventListener('click', () => answer(false));
        buttons.append(cancel);
      }
      if (input) input.addEventListener('keydown', (e) => {
        if (e.key === 'Enter') {
          e.preventDefault();
          answer(true);
        }
      });
      // Escape closes a message box as its OK does, and cancels a question or an input.
      box.addEventListener('cancel', (e) => {
        e.preventDefault();
        answer(kind === 'message' || kind === 'error');
      });
      box.append(heading, body, buttons);
      $('boxes').append(box);
      box.showModal();
      (input || ok).focus();
    }
    closeDialog(id) {
      const box = document.querySelector('#boxes dialog[data-id="' + id + '"]');
      if (box) {
        box.close();
        box.remove();
      }
    }

    // Layout -----------------------------------------------------------------------------
    applyLayout() {
      document.body.classList.toggle('classic', this.layout === 'classic');
      document.body.classList.toggle('reader', this.layout === 'reader');
      $('layout-switch').textContent = this.layout === 'classic' ? say('reader') : say('classic');
      this.fitClassic();
    }
    // The classic form keeps the size scripts gave it and is scaled as a whole to the
    // viewport; its place is where scripts put it, kept inside the viewport.
    fitClassic() {
      const form = $('form');
      if (this.layout !== 'classic' || !this.state) {
        form.style.width = form.style.height = form.style.transform = form.style.left = form.style.top = '';
        return;
      }
      const main = this.state.main;
      const width = Math.max(main.width, 200), height = Math.max(main.height, 150);
      form.style.width = width + 'px';
      form.style.height = height + 'px';
      const scale = Math.min(window.innerWidth / width, window.innerHeight / height);
      form.style.transform = 'scale(' + scale + ')';
      const clamp = (value, room) => Math.max(0, Math.min(value, room));
      form.style.left = clamp(main.left, window.innerWidth - width * scale) + 'px';
      form.style.top = clamp(main.top, window.innerHeight - height * scale) + 'px';
    }

    bindControls() {
      $('choices').setAttribute('aria-label', say('choices'));
      $('story').setAttribute('aria-label', say('story'));
      $('story').addEventListener('scroll', (e) => { this.storyScrolled = e.target.scrollTop !== 0; }, { passive: true });
      $('choices').addEventListener('click', (e) => {
        const button = e.target.closest('.choice');
        if (button) this.choose(e, Number(button.dataset.index));
      });
      // Which choices a press began on; the click that ends it comes before the timeout.
      this.pressedOn = null;
      $('choices').addEventListener('pointerdown', () => { this.pressedOn = this.generation; });
      const released = () => setTimeout(() => { this.pressedOn = null; });
      window.addEventListener('pointerup', released, true);
      window.addEventListener('pointercancel', released, true);
      $('audio-item').addEventListener('click', () => this.push('audio'));
      $('inventory-item').addEventListener('click', () => this.push('inventory'));
      $('close-box').addEventListener('click', () => this.push('quit'));
      $('layout-switch').addEventListener('click', () => {
        this.layout = this.layout === 'classic' ? 'reader' : 'classic';
        localStorage.setItem('velmora:layout', this.layout);
        this.applyLayout();
      });
      window.addEventListener('resize', () => this.fitClassic());
      $('choices').addEventListener('keydown', (e) => this.choiceKey(e));
      $('inventory-list').addEventListener('change', (e) => this.push('inventory select ' + (e.target.selectedIndex + 1)));
      $('inventory-use').addEventListener('click', () => this.push('inventory use'));
      $('inventory-wear').addEventListener('click', () => this.push('inventory wear'));
      $('inventory-close').addEventListener('click', () => this.push('inventory close'));
      $('inventory-window').addEventListener('cancel', (e) => {
        e.preventDefault();
        this.push('inventory close');
      });
      $('audio-volume').addEventListener('input', (e) => this.push('audio volume ' + e.target.value));
      $('audio-balance').addEventListener('input', (e) => this.push('audio balance ' + e.target.value));
      $('audio-ok').addEventListener('click', () => this.push('audio ok'));
      $('audio-close').addEventListener('click', () => this.push('audio close'));
      $('audio-window').addEventListener('cancel', (e) => {
        e.preventDefault();
        this.push('audio close');
      });
      const words = { 'saves-item': 'saves', 'saves-title': 'savesTitle', 'saves-quick-save': 'quickSave',
                      'saves-quick-load': 'quickLoad', 'saves-back': 'back', 'saves-slot-label': 'slotNumber',
                      'saves-save-to': 'saveTo', 'saves-upload': 'upload', 'saves-close': 'close' };
      for (const [id, word] of Object.entries(words)) $(id).textContent = say(word);
      $('saves-item').addEventListener('click', () => this.push('saves open'));
      $('saves-close').addEventListener('click', () => this.push('saves close'));
      $('saves-window').addEventListener('cancel', (e) => {
        e.preventDefault();
        this.push('saves close');
      });
      $('saves-quick-save').addEventListener('click', () => this.push('saves save 0'));
      $('saves-quick-load').addEventListener('click', () => this.push('saves load 0'));
      $('saves-back').addEventListener('click', () => this.push('saves back'));
      $('saves-save-to').addEventListener('click', () => this.push('saves save ' + this.chosenSlot()));
      $('saves-upload').addEventListener('click', () => $('saves-file').click());
      $('saves-file').addEventListener('change', (e) => {
        const file = e.target.files[0];
        e.target.value = '';
        if (file) this.uploadSave(file).catch((error) => notice(String(error)));
      });
      window.addEventListener('keydown', (e) => this.saveKey(e));
      // Sound may start only once the person has done something on the page.
      const unlock = () => this.sound.unlock();
      window.addEventListener('pointerdown', unlock, { capture: true });
      window.addEventListener('keydown', unlock, { capture: true });
      window.addEventListener('pagehide', () => this.quit());
    }
    // Arrow keys, Home, End, PageUp and PageDown move the selection as in the desktop's
    // list; Enter (or Space) on a choice runs it, as a button does.
    choiceKey(e) {
      const buttons = Array.from($('choices').querySelectorAll('.choice'));
      const at = buttons.indexOf(document.activeElement);
      if (!buttons.length) return;
      const last = buttons.length - 1;
      const to = { ArrowDown: Math.min(at + 1, last), ArrowUp: Math.max(at - 1, 0), Home: 0, End: last,
                   PageDown: Math.min(at + 5, last), PageUp: Math.max(at - 5, 0) }[e.key];
      if (to === undefined) return;
      e.preventDefault();
      buttons[to].focus();
      this.push('select ' + (to + 1));
    }
  }

  // Start ------------------------------------------------------------------------------------

  function loadScript(src) {
    return new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = src;
      script.onload = resolve;
      script.onerror = () => reject(new Error(src));
      document.head.append(script);
    });
  }

  function encodePath(relative) {
    return relative.split('/').map(encodeURIComponent).join('/');
  }

  async function fetchBytes(url) {
    const response = await fetch(url);
    if (!response.ok) throw new Error(url + ': ' + response.status);
    return new Uint8Array(await response.arrayBuffer());
  }

  function writeGameFile(fs, relative, bytes, root = GAME_ROOT) {
    const parts = relative.split('/');
    let folder = root.slice(0, -1);
    for (const part of parts.slice(0, -1)) {
      folder += '/' + part;
      try {
        fs.mkdir(folder);
      } catch (e) {
        // already there
      }
    }
    fs.writeFile(root + relative, bytes);
    // Dated long ago, as a copied game's files are: this file system dates files to the
    // second, and the core reads a file dated within the last two seconds afresh at every
    // use, since it may have changed unseen.
    fs.utime(root + relative, 0, 0);
  }

  // The files of a published game. Pictures and sampled sound are what makes a game
  // large and what its first page needs least: they are fetched after the first page is
  // shown, each an empty stand-in in the runtime's file system until it arrives, and the
  // page meanwhile draws or plays such a file from the site itself. Everything else (the
  // story, scripts, settings, MIDI) is fetched before the run starts, in parallel with the
  // runtime.
  const MEDIA = /\.(jpe?g|png|bmp|gif|ico|wmf|emf|ogg|mp3|wav)$/i;
  class FetchedGameFiles {
    // `base`: the folder of the game's files; `pack`: the manifest's one file (at
    // `packUrl`) that holds the others but pictures and sound, end to end, as
    // [name, length] in order.
    constructor(base, names, pack, packUrl) {
      this.base = base;
      this.fs = null;
      // Pictures and sound in place as the site has them: the page takes them from the
      // site (the browser's cache), not from copies of the runtime's bytes.
      this.asOnSite = new Map();
      this.waiting = new Map(names.map((name) => [GAME_ROOT + name, { name, bytes: null, shown: 0 }]));
      if (pack) {
        const packed = fetchBytes(packUrl);
        let at = 0;
        for (const [name, length] of pack.files) {
          const entry = this.waiting.get(GAME_ROOT + name);
          const from = at;
          at += length;
          // A pack that cannot be fetched: each file on its own.
          if (entry) entry.bytes = packed.then((bytes) => bytes.subarray(from, from + length),
                                               () => fetchBytes(this.urlOf(entry)).catch(() => null));
        }
      }
      this.ready = Promise.all(names.filter((name) => !MEDIA.test(name)).map((name) => this.bytesOf(this.waiting.get(GAME_ROOT + name))));
    }
    bytesOf(entry) {
      if (!entry.bytes) entry.bytes = fetchBytes(this.urlOf(entry)).catch(() => null);
      return entry.bytes;
    }
    urlOf(entry) {
      return new URL(encodePath(entry.name), this.base).href;
    }
    // The files fetched so far, and a stand-in for each of the others.
    async plant(fs) {
      await this.ready;
      this.fs = fs;
      for (const full of Array.from(this.waiting.keys())) {
        const entry = this.waiting.get(full);
        writeGameFile(fs, entry.name, new Uint8Array(0));
        if (entry.bytes) await this.install(full);
      }
    }
    // Fetches the files still waiting, `width` at a time.
    prefetch(width) {
      // Files the page already takes from the site come last: the browser may still be
      // fetching them for the page, and a second request would not share that one.
      const queue = Array.from(this.waiting.keys()).sort((a, b) => this.waiting.get(a).shown - this.waiting.get(b).shown);
      const next = async () => {
        for (let full; (full = queue.shift()) !== undefined;) {
          const entry = this.waiting.get(full);
          if (entry) await this.bytesOf(entry);
          await this.install(full);
        }
      };
      for (let k = 0; k < width; ++k) next();
    }
    // Puts a fetched file's bytes in place of its stand-in; a file that cannot be
    // fetched is taken away, so the run finds it missing and says so.
    async install(full) {
      const entry = this.waiting.get(full);
      if (!entry || !this.fs) return;
      const bytes = await this.bytesOf(entry);
      if (this.waiting.get(full) !== entry) return;
      this.waiting.delete(full);
      if (bytes) {
        this.fs.writeFile(full, bytes);
        if (MEDIA.test(entry.name)) this.asOnSite.set(full, this.urlOf(entry));
      } else {
        try {
          this.fs.unlink(full);
        } catch (e) {
          // gone already
        }
      }
    }
    // The runtime's own path of a file, null for none; only while any file is waiting or
    // taken from the site.
    find(path) {
      if (!this.fs || (!this.waiting.size && !this.asOnSite.size)) return null;
      try {
        return this.fs.lookupPath(path, { follow: true }).path;
      } catch (e) {
        return null;
      }
    }
    isPending(path) {
      return this.waiting.size > 0 && this.waiting.has(this.find(path));
    }
    // Where the page fetches a picture or sound that is not here yet, or that is here as
    // the site has it; null for any other file.
    siteUrl(path) {
      const full = this.find(path);
      if (!full) return null;
      const entry = this.waiting.get(full);
      if (!entry) return this.asOnSite.get(full) || null;
      entry.shown = 1;
      return this.urlOf(entry);
    }
    // The run (or what it wrote before) has put its own bytes there.
    written(path) {
      const full = this.find(path) || path;
      this.waiting.delete(full);
      this.asOnSite.delete(full);
    }
  }

  // A game whose files are all at hand (unpacked from a .zip or a folder).
  class GameFilesAtHand {
    constructor(files) {
      this.files = files;
    }
    async plant(fs) {
      for (const [relative, bytes] of this.files) writeGameFile(fs, relative, bytes);
    }
    prefetch() {}
    isPending() { return false; }
    siteUrl() { return null; }
    written() {}
  }

  // Games the player opened, kept in IndexedDB: id, caption, start picture, files.
  const libraryGames = database('velmora-library', 1, { games: { keyPath: 'id' } });
  const library = {
    all() { return libraryGames('games', 'readonly', (store) => store.getAll()); },
    get(id) { return libraryGames('games', 'readonly', (store) => store.get(id)); },
    put(game) { return libraryGames('games', 'readwrite', (store) => store.put(game)); },
    remove(id) { return libraryGames('games', 'readwrite', (store) => store.delete(id)); },
  };

  const { MAX_FILES, MAX_BYTES, gameFiles, safeName, unzipGame } =
    window.velmoraGameImport(() => window.fflate, say);

  async function folderGame(fileList) {
    const list = Array.from(fileList);
    if (list.length > MAX_FILES) throw new Error(say('badZip') + say('tooMany'));
    if (list.reduce((sum, f) => sum + f.size, 0) > MAX_BYTES) throw new Error(say('badZip') + say('tooLarge'));
    const entries = [];
    for (const file of list) {
      const relative = (file.webkitRelativePath || file.name).split('/').slice(1).join('/') || file.name;
      entries.push([safeName(relative), new Uint8Array(await file.arrayBuffer())]);
    }
    return gameFiles(entries);
  }

  async function addToLibrary(files, name) {
    const id = 'game-' + Date.now().toString(36) + '-' + Math.random().toString(36).slice(2, 8);
    await library.put({ id, caption: name, picture: null, files });
    location.search = '?library=' + encodeURIComponent(id);
  }

  async function showOpener() {
    $('opener').hidden = false;
    $('opener-intro').textContent = say('intro');
    $('open-folder').textContent = say('openFolder');
    $('open-zip').textContent = say('openZip');
    $('library-title').textContent = say('library');
    const refuse = (e) => notice(e && e.message ? e.message : String(e));
    $('open-folder').onclick = () => $('folder-input').click();
    $('open-zip').onclick = () => $('zip-input').click();
    $('folder-input').onchange = async (e) => {
      try {
        const list = e.target.files;
        if (!list.length) return;
        const top = (list[0].webkitRelativePath || '').split('/')[0] || 'game';
        await addToLibrary(await folderGame(list), top);
      } catch (err) {
        refuse(err);
      } finally {
        e.target.value = '';
      }
    };
    $('zip-input').onchange = async (e) => {
      try {
        const file = e.target.files[0];
        if (!file) return;
        if (file.size > MAX_BYTES) throw new Error(say('badZip') + say('tooLarge'));
        await addToLibrary(unzipGame(new Uint8Array(await file.arrayBuffer())), file.name.replace(/\.zip$/i, ''));
      } catch (err) {
        refuse(err);
      } finally {
        e.target.value = '';
      }
    };
    const games = await library.all().catch(() => []);
    const list = $('library');
    list.replaceChildren();
    if (!games.length) {
      const empty = document.createElement('li');
      empty.textContent = say('emptyLibrary');
      list.append(empty);
    }
    for (const game of games) {
      const item = document.createElement('li');
      if (game.picture) {
        const img = document.createElement('img');
        img.alt = '';
        img.src = URL.createObjectURL(new Blob([game.picture]));
        item.append(img);
      }
      const play = document.createElement('button');
      play.type = 'button';
      play.className = 'play';
      play.textContent = game.caption;
      play.setAttribute('aria-label', say('play') + ': ' + game.caption);
      play.onclick = () => { location.search = '?library=' + encodeURIComponent(game.id); };
      const remove = document.createElement('button');
      remove.type = 'button';
      remove.className = 'remove';
      remove.textContent = say('remove');
      remove.setAttribute('aria-label', say('remove') + ': ' + game.caption);
      remove.onclick = async () => {
        await library.remove(game.id);
        showOpener();
      };
      item.append(play, remove);
      list.append(item);
    }
  }

  // The game to play: from the library (?library=ID), from a published site (?game=URL
  // of its folder, or the one of this page); null when there is none and the player page
  // opens. A published site lists its game in game.json beside its game files' folder,
  // never in it, so that no file of the game can take the list's name.
  async function findGame(params) {
    const fromLibrary = params.get('library');
    if (fromLibrary) {
      const game = await library.get(fromLibrary);
      if (!game) return null;
      return { key: 'library:' + game.id, files: new GameFilesAtHand(game.files), codePage: '', libraryEntry: game };
    }
    const siteBase = new URL(params.get('game') || '.', location.href);
    siteBase.pathname = siteBase.pathname.replace(/\/?$/, '/');
    const listUrl = new URL('game.json', siteBase);
    const response = await (!params.get('game') && window.velmoraGameList || fetch(listUrl));
    if (!response.ok) {
      if (params.get('game')) throw new Error(response.url + ': ' + response.status);
      return null;
    }
    const manifest = await response.json();
    const gameBase = new URL(encodePath(manifest.folder || 'game/'), listUrl);
    const pack = manifest.pack && new URL(encodePath(manifest.pack.file), listUrl);
    const files = new FetchedGameFiles(gameBase, manifest.files, manifest.pack, pack);
    // The key of what the game wrote: its files' folder, as pages before this one had it.
    return { key: gameBase.href, files, codePage: manifest.codePage || '' };
  }

  async function start() {
    if (location.protocol === 'file:') {
      notice(say('fileUrl'));
      return;
    }
    notice(say('loading'));
    // The runtime is fetched and compiled while the game is looked for; the module
    // object is the runtime's, so the page can be given to it later.
    const module = {};
    const runtimeReady = loadScript(RUNTIME_SCRIPT).then(() => window.createVelmora(module));
    runtimeReady.catch(() => {});
    const params = new URLSearchParams(location.search);
    const game = await findGame(params);
    if (!game) {
      notice('');
      await showOpener();
      return;
    }
    const storage = new GameStorage(game.key);
    const saveStorage = new GameStorage(game.key, 'saves');
    const written = storage.entries(), saved = saveStorage.entries();
    const page = new Page(storage, saveStorage, game.files);
    window.velmoraPage = page;
    page.firstShown = (state) => {
      page.waitingAtFirstPage = game.files.waiting?.size || 0;  // for tests: what the first page did not wait for
      game.files.prefetch(2);
      // The library shows each game with its caption and start picture.
      const entry = game.libraryEntry;
      if (!entry) return;
      entry.caption = state.main.caption || entry.caption;
      try {
        entry.picture = state.main.picture ? page.fs.readFile(state.main.picture) : null;
      } catch (e) {
        entry.picture = null;
      }
      page.libraryEntryStored = library.put(entry).catch(() => {});
    };
    module.page = page;
    // Marks for the benchmark: where the time to the first page goes.
    runtimeReady.then(() => performance.mark('velmora-runtime-ready'));
    game.files.ready?.then(() => performance.mark('velmora-files-ready'));
    const runtime = await runtimeReady;
    const fs = runtime.FS;
    page.fs = fs;
    fs.mkdir(GAME_ROOT.slice(0, -1));
    await game.files.plant(fs);
    for (const [relative, bytes] of await written) {
      writeGameFile(fs, relative, bytes);
      game.files.written(GAME_ROOT + relative);
    }
    fs.mkdir(DATA_ROOT.slice(0, -1));
    for (const [relative, bytes] of await saved) writeGameFile(fs, relative, bytes, DATA_ROOT);
    performance.mark('velmora-run');
    const status = runtime.velmoraPlay
      ? await runtime.velmoraPlay(GAME_ROOT, game.codePage, 0)
      : await runtime.ccall('velmora_web_play', 'number', ['string', 'string', 'number'],
                            [GAME_ROOT, game.codePage, 0], { async: true });
    document.body.dataset.ended = String(status);
    if (status === 0) {
      notice(say('ended'));
    } else {
      let log = '';
      try {
        log = new TextDecoder('windows-1251').decode(fs.readFile(GAME_ROOT + 'LastStart.log'));
      } catch (e) {
        // no log
      }
      notice(say('stopped') + log);
    }
  }

  start().catch((e) => notice(say('noGame') + (e && e.message ? e.message : e)));
})();
