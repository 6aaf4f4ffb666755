// The checks on a game a player opens from a .zip or a folder: bounds that refuse a zip
// bomb or an endless folder whole, and names that must stay inside the game. A plain
// script for the page (window.velmoraGameImport) and a CommonJS module for Node, so that
// tests attack the very code the page runs.
'use strict';

(function (root, make) {
  if (typeof module === 'object' && module.exports) module.exports = make;
  else root.velmoraGameImport = make;
})(this, function (fflateOf, say) {
  // fflateOf: fflate when it is needed (the page loads it later); say: the page's words.
  // Bounds on a game a player opens: a zip bomb or an endless folder is refused whole.
  const MAX_FILES = 20000;
  const MAX_BYTES = 512 * 1024 * 1024;

  // The files of a game as [path in the game, bytes]; a single folder that holds it all
  // (as zips often have) is stepped into. Throws with the reason the game is refused.
  function gameFiles(entries) {
    const hasConfig = (list, prefix) => list.some(([name]) => name.toLowerCase() === prefix + 'config.ini');
    if (!hasConfig(entries, '')) {
      const tops = new Set(entries.map(([name]) => name.split('/')[0]));
      const top = tops.size === 1 ? tops.values().next().value + '/' : null;
      if (!top || !hasConfig(entries, top.toLowerCase())) throw new Error(say('notGame'));
      entries = entries.map(([name, bytes]) => [name.slice(top.length), bytes]);
    }
    return entries.filter(([name]) => name !== '');
  }

  function safeName(raw) {
    const name = raw.replace(/\\/g, '/');
    const parts = name.split('/');
    if (name.startsWith('/') || /^[a-zA-Z]:/.test(name) || parts.some((p) => p === '..') || name.includes('\0'))
      throw new Error(say('badZip') + say('badName') + raw);
    return parts.filter((p) => p !== '' && p !== '.').join('/');
  }

  // A refusal whose words are shown as they are; any other error means a damaged archive.
  class Refusal extends Error {}

  const STORED = 0;
  const DEFLATED = 8;
  const PIECE = 16 * 1024;  // unpacked at a time: at most some 16 MB come of it

  // The archive's entries as its central directory lists them: name, method, sizes and
  // where the data begin. A field past the archive's end throws (a damaged archive).
  function entriesOf(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const u16 = (at) => view.getUint16(at, true);
    const u32 = (at) => view.getUint32(at, true);
    const u64 = (at) => u32(at) + u32(at + 4) * 0x100000000;
    let end = bytes.length - 22;
    const first = Math.max(0, end - 0xffff);  // the end record's comment is at most 64 KiB
    while (end >= first && u32(end) !== 0x06054b50) --end;
    if (end < first) throw new Error('no end record');
    let count = u16(end + 10);
    let at = u32(end + 16);
    if ((count === 0xffff || at === 0xffffffff) && end >= 20 && u32(end - 20) === 0x07064b50) {
      const zip64 = u64(end - 12);
      if (u32(zip64) !== 0x06064b50) throw new Error('no zip64 end record');
      count = u64(zip64 + 32);
      at = u64(zip64 + 48);
    }
    if (count > MAX_FILES) throw new Refusal(say('tooMany'));
    const entries = [];
    for (let i = 0; i < count; ++i) {
      if (u32(at) !== 0x02014b50) throw new Error('no directory entry');
      const utf8 = (u16(at + 8) & 0x800) !== 0;
      const method = u16(at + 10);
      let packedSize = u32(at + 20);
      let size = u32(at + 24);
      const nameLength = u16(at + 28);
      const extraLength = u16(at + 30);
      let local = u32(at + 42);
      if (at + 46 + nameLength > bytes.length) throw new Error('name past the end');
      const name = fflateOf().strFromU8(bytes.subarray(at + 46, at + 46 + nameLength), !utf8);
      // Sizes and offsets past 4 GiB stand in the zip64 field, in this order.
      for (let x = at + 46 + nameLength; x + 4 <= at + 46 + nameLength + extraLength; x += 4 + u16(x + 2)) {
        if (u16(x) !== 1) continue;
        let field = x + 4;
        if (size === 0xffffffff) {
          size = u64(field);
          field += 8;
        }
        if (packedSize === 0xffffffff) {
          packedSize = u64(field);
          field += 8;
        }
        if (local === 0xffffffff) local = u64(field);
        break;
      }
      at += 46 + nameLength + extraLength + u16(at + 32);
      if (u32(local) !== 0x04034b50) throw new Error('no local header');
      const dataAt = local + 30 + u16(local + 26) + u16(local + 28);
      if (dataAt + packedSize > bytes.length) throw new Error('data past the end');
      entries.push({ name, method, packedSize, size, data: bytes.subarray(dataAt, dataAt + packedSize) });
    }
    return entries;
  }

  // An entry's bytes, unpacked piece by piece: one that comes to more or less than it says
  // is damaged, and unpacking stops as soon as it passes what it says.
  function unpacked(entry) {
    if (entry.method === STORED) {
      if (entry.packedSize !== entry.size) throw new Error('stored sizes differ');
      return entry.data.slice();
    }
    if (entry.method !== DEFLATED) throw new Error('unknown method');
    const out = new Uint8Array(entry.size);
    if (entry.data.length === 0 && entry.size === 0) return out;
    let got = 0;
    const inflater = new (fflateOf().Inflate)((piece) => {
      if (got + piece.length > out.length) throw new Error('longer than it says');
      out.set(piece, got);
      got += piece.length;
    });
    for (let at = 0; at < entry.data.length; at += PIECE)
      inflater.push(entry.data.subarray(at, at + PIECE), at + PIECE >= entry.data.length);
    if (got !== out.length) throw new Error('shorter than it says');
    return out;
  }

  function unzipGame(bytes) {
    const files = new Map();
    try {
      // Every entry is checked before any is unpacked, and the sizes checked are those
      // the unpacking is held to, so a zip bomb costs nothing.
      const entries = entriesOf(bytes);
      let total = 0;
      for (const entry of entries) {
        total += Math.max(entry.size, entry.packedSize);
        if (total > MAX_BYTES) throw new Refusal(say('tooLarge'));
        safeName(entry.name);
      }
      for (const entry of entries) if (!entry.name.endsWith('/')) files.set(entry.name, unpacked(entry));
    } catch (e) {
      if (e instanceof Refusal) throw new Error(say('badZip') + e.message);
      if (e instanceof Error && e.message.startsWith(say('badZip'))) throw e;
      throw new Error(say('badZip') + say('damaged'));
    }
    return gameFiles(Array.from(files, ([name, data]) => [safeName(name), data]));
  }

  return { MAX_FILES, MAX_BYTES, gameFiles, safeName, unzipGame };
});
