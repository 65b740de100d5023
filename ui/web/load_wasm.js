// The WebAssembly of lotto.js, after shell.js at its head (the build as
// JavaScript, lotto-nowasm.js, carries its program within). boot.js in the
// page fetches its bytes, under the name that the page gives it, and asks
// again where they did not come; here they are compiled and started, rather
// than by Emscripten's loader, which would fetch the file by a name of its own.
// What fails from here on is a fault of the program or the browser, and ends
// in the notice.
Module.instantiateWasm = function (imports, receive) {
  Promise.resolve(window.lottoWasm).then(function (bytes) {
    return WebAssembly.instantiate(bytes, imports);
  }).then(function (result) {
    receive(result.instance, result.module);
  }).catch(LottoShell.stopped);
  return {};
};
