// The page's own first script, written into index.html by the build (with its
// hash in the Content-Security-Policy). It stands after the stylesheet, so it
// runs once the stylesheet is in: the program's download never holds up the
// form's first paint. It marks the page as started, which keeps the notice
// that the game cannot start (shown by the stylesheet where this script never
// runs) hidden; asks for the program; and keeps what the player does on the
// form before the program listens, which page.js carries out once it does.
//
// The program is WebAssembly where the browser compiles it, and else the same
// program built as JavaScript: a browser without WebAssembly, or whose policy
// refuses to compile it, fetches that one alone. The script element names
// them, each by a name that carries its content's hash, so that the page runs
// only with the program of its own build. Where a part of the program cannot
// be fetched, the page says so and offers to try again; the form stays, with
// everything typed into it.
(function () {
  document.documentElement.setAttribute('data-started', '');
  var names = document.currentScript.dataset;
  var compiles = false;
  try {
    // The smallest module there is, its eight bytes of header, compiled and
    // started: WebKit refuses only the start under such a policy.
    var module = new WebAssembly.Module(new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0]));
    compiles = new WebAssembly.Instance(module) instanceof WebAssembly.Instance;
  } catch (refused) {
    // No WebAssembly, or not allowed to compile it here.
  }
  var source = compiles ? names.program : names.fallback;
  var make = function (tag, attributes, parent) {
    return (parent || document.head).appendChild(Object.assign(document.createElement(tag), attributes));
  };

  // A part that could not be fetched waits for "Erneut versuchen", which asks
  // again for every part that failed, by an address of its own each time: an
  // engine may keep a failed answer for the address it once had.
  var waiting = [];
  var tries = 0;
  // The notice stands after the form, which a part that fails at once (a
  // connection refused or cut off) may come before.
  var parsed = function (then) {
    if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', then);
    else then();
  };
  var failed = function () {
    if (!waiting.length) parsed(function () {
      var notice = document.getElementById('unloaded');
      make('p', { textContent: 'Das Spiel konnte nicht geladen werden.' }, notice);
      make('button', { type: 'button', textContent: 'Erneut versuchen', onclick: function () {
        notice.textContent = '';
        ++tries;
        waiting.splice(0).forEach(function (again) { again(); });
      } }, notice);
    });
    return new Promise(function (again) { waiting.push(again); });
  };
  var address = function (name) { return tries ? name + '?' + tries : name; };

  // The WebAssembly compiled, for load_wasm.js in the program. A file cut
  // short (an engine may hand on what came before a connection broke) does
  // not compile, and counts as not fetched.
  var wasm = function () {
    return fetch(address(names.wasm), { credentials: 'same-origin' }).then(function (response) {
      if (!response.ok) throw new Error('HTTP ' + response.status);
      return response.arrayBuffer();
    }).then(function (bytes) {
      return WebAssembly.compile(bytes);
    }).catch(function () {
      return failed().then(wasm);
    });
  };

  // A script cut short does not run: its shell (shell.js, at its head) is
  // then missing.
  var program = function () {
    var again = function () {
      this.remove();
      failed().then(program);
    };
    make('script', { src: address(source), onerror: again, onload: function () {
      if (!window.LottoShell) again.call(this);
    } });
  };
  // The program is asked for once the form has been painted: its bytes would
  // otherwise share a slow phone's link with what the first frame needs, and
  // its start hold that frame up. A page in the background, which paints
  // nothing, asks at once.
  var fetchProgram = function () {
    if (compiles) window.lottoWasm = wasm();
    program();
  };
  if (document.hidden) fetchProgram();
  else requestAnimationFrame(function () { setTimeout(fetchProgram); });

  // Each press on the form's buttons (and on the ticket's numbers) and each
  // edit of its fields, in their order, until page.js takes them: an edit as
  // the field's text after it, so that each press finds the fields as they
  // were when it came. The program alone acts on them, once.
  var early = window.lottoEarly = [];
  var keep = function (event) {
    var target = event.target;
    if (window.lottoEarly !== early || !target.closest) return;
    var field = event.type === 'input' && target.closest('.form input');
    var button = event.type === 'click' && target.closest('.form button');
    if (!field && !button) return;
    event.stopImmediatePropagation();
    var last = early[early.length - 1];
    if (button) early.push({ button: button });
    else if (last && last.field === field) last.text = field.value;
    else early.push({ field: field, text: field.value });
  };
  document.addEventListener('click', keep, true);
  document.addEventListener('input', keep, true);
})();
