// Node's side of the replay runner: the zlib stand-in's fflate, beside the runtime, and
// the shell's environment for getenv instead of the fixed one made up for a page.
globalThis.fflate = require(require('path').join(__dirname, 'fflate.js'));
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  Object.assign(ENV, process.env);
});
