// The page's own first script, written into index.html by the build (with its
// hash in the Content-Security-Policy), where it runs before anything is
// drawn: it asks for the program at once, and keeps the presses on the form's
// buttons that come before the program runs, which page.js carries out once
// it has adopted the form. The program is WebAssembly where the browser
// compiles it, and else the same program built as JavaScript: a browser
// without WebAssembly, or whose policy refuses to compile it, fetches that one
// alone. The WebAssembly is asked for here, beside lotto.js rather than after
// it, by the fetch that compiles it, so that every engine fetches it once.
(function () {
  var compiles = false;
  try {
    // The smallest module there is: its eight bytes of header.
    compiles = new WebAssembly.Module(new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0])) instanceof WebAssembly.Module;
  } catch (refused) {
    // No WebAssembly, or not allowed to compile it here.
  }
  if (compiles) window.lottoWasm = fetch('lotto.wasm', { credentials: 'same-origin' });
  var program = document.createElement('script');
  program.src = compiles ? 'lotto.js' : 'lotto-nowasm.js';
  document.head.appendChild(program);

  var early = window.lottoEarlyPresses = [];
  document.addEventListener('click', function (event) {
    var button = event.target.closest && event.target.closest('.form button');
    if (button && window.lottoEarlyPresses === early) early.push(button);
  }, true);
})();
