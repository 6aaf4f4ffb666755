// The run waits (for the player, a timer, $sleep, a box's answer) by suspending its
// WebAssembly stack where it stands, with JavaScript-promise integration: the two waiting
// imports become suspending ones, and the entry point returns a promise of the run's
// status. Nothing else of the module changes, so the core runs at its compiled speed.
Module['instantiateWasm'] = function (imports, receiveInstance) {
  var env = imports['env'];
  env['velmora_js_wait'] = new WebAssembly.Suspending(env['velmora_js_wait']);
  env['velmora_js_sleep'] = new WebAssembly.Suspending(env['velmora_js_sleep']);
  var received = function (result) {
    var exports = Object.assign({}, result.instance.exports);
    exports['velmora_web_play'] = WebAssembly.promising(result.instance.exports['velmora_web_play']);
    receiveInstance({ exports: exports }, result.module);
  };
  var fromBytes = function () {
    return fetch(wasmBinaryFile, { credentials: 'same-origin' })
      .then(function (response) {
        if (!response.ok) throw new Error(wasmBinaryFile + ': ' + response.status);
        return response.arrayBuffer();
      })
      .then(function (bytes) { return WebAssembly.instantiate(bytes, imports); });
  };
  // Compiled while it arrives; a server that does not name it application/wasm gets the
  // bytes compiled whole.
  WebAssembly.instantiateStreaming(fetch(wasmBinaryFile, { credentials: 'same-origin' }), imports)
    .catch(fromBytes)
    .then(received, function (reason) {
      err('the runtime could not be loaded: ' + reason);
      readyPromiseReject(reason);
    });
  return {};
};

// Runs the game in root, resolving to its exit status. The arguments live on the heap,
// not on the stack as ccall would put them: the run's stack stays in use while it is
// suspended, and ccall would hand that stack back as soon as the first wait began.
Module['velmoraPlay'] = function (root, codePage, flags) {
  var rootCopy = allocateUTF8(root);
  var codePageCopy = allocateUTF8(codePage);
  return Module['_velmora_web_play'](rootCopy, codePageCopy, flags).finally(function () {
    _free(rootCopy);
    _free(codePageCopy);
  });
};
