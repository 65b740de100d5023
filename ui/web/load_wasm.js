// The WebAssembly of lotto.js, after shell.js at its head (the build as
// JavaScript, lotto-nowasm.js, carries its program within). It is fetched and
// compiled here rather than by Emscripten's loader, which leaves a failed
// fetch unanswered: the page would stay without a program, and a page left
// while it loads (a reload) would report the cut-off fetch as an error. Here
// whatever stops the program on its way ends in the notice, quietly, as the
// network log tells what went wrong. boot.js in the page has asked for it
// already, beside lotto.js. A host that serves .wasm under another type gets
// it compiled from its bytes.
Module.instantiateWasm = function (imports, receive) {
  (window.lottoWasm || fetch('lotto.wasm', { credentials: 'same-origin' })).then(function (response) {
    if (!response.ok) throw new Error('HTTP ' + response.status);
    var type = (response.headers.get('Content-Type') || '').split(';')[0].trim();
    if (type === 'application/wasm' && WebAssembly.instantiateStreaming)
      return WebAssembly.instantiateStreaming(response, imports);
    return response.arrayBuffer().then(function (bytes) { return WebAssembly.instantiate(bytes, imports); });
  }).then(function (result) {
    receive(result.instance, result.module);
  }, function () {
    LottoShell.stopped();
  }).catch(LottoShell.stopped);
  return {};
};
