// The WebAssembly of lotto.js, after shell.js at its head (the build as
// JavaScript, lotto-nowasm.js, carries its program within). boot.js in the
// page fetches and compiles it, under the name that the page gives it, and
// asks again where it did not come whole; here it is started, rather than by
// Emscripten's loader, which would fetch the file by a name of its own. What
// fails from here on is a fault of the program or the browser, and ends in
// the notice.
Module.instantiateWasm = function (imports, receive) {
  Promise.resolve(window.lottoWasm).then(function (module) {
    return WebAssembly.instantiate(module, imports).then(function (instance) {
      receive(instance, module);
    });
  }).catch(LottoShell.stopped);
  return {};
};
