// The page's own first script, written into index.html by the build (with its
// hash in the Content-Security-Policy), where it runs before anything is
// drawn: it asks for the program at once, and keeps the presses on the form's
// buttons that come before the program runs, which page.js carries out once
// it has adopted the form. The program is WebAssembly where the browser
// compiles it, and else the same program built as JavaScript: a browser
// without WebAssembly, or whose policy refuses to compile it, fetches that one
// alone. Both are asked for here, at once and side by side; the WebAssembly
// by the fetch that compiles it, so that every engine fetches it once.
(function () {
  var compiles = false;
  try {
    // The smallest module there is, its eight bytes of header, compiled and
    // started: WebKit refuses only the start under such a policy.
    var module = new WebAssembly.Module(new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0]));
    compiles = new WebAssembly.Instance(module) instanceof WebAssembly.Instance;
  } catch (refused) {
    // No WebAssembly, or not allowed to compile it here.
  }
  var source = compiles ? 'lotto.js' : 'lotto-nowasm.js';
  var add = function (tag, attributes) {
    document.head.appendChild(Object.assign(document.createElement(tag), attributes));
  };
  add('link', { rel: 'preload', as: 'script', href: source });
  if (compiles) {
    window.lottoWasm = fetch('lotto.wasm', { credentials: 'same-origin' });
    // A page left while this fetch is under way (a reload) has no error to
    // report; load_wasm.js says what else went wrong.
    window.lottoWasm.catch(function () {});
  }
  // The script runs once the form has been painted, which its start would
  // otherwise hold up on a slow phone; a page in the background, which paints
  // nothing, starts it at once.
  var run = function () { add('script', { src: source }); };
  if (document.hidden) run();
  else requestAnimationFrame(function () { setTimeout(run); });

  var early = window.lottoEarlyPresses = [];
  document.addEventListener('click', function (event) {
    var button = event.target.closest && event.target.closest('.form button');
    if (button && window.lottoEarlyPresses === early) early.push(button);
  }, true);
})();
