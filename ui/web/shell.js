// The page around the program, at the head of lotto.js and of lotto-nowasm.js
// (the same program built as JavaScript): starts main, tells the player in
// German when the game has ended or could not go on, and registers the
// service worker that keeps the page's files for playing offline.
Object.assign(Module, {
  // main waits for its window to close and returns after the load has long
  // finished, so it is started here, where its exit code is awaited.
  noInitialRun: true,

  onRuntimeInitialized: function () {
    var status;
    try {
      status = ccall('main', 'number', [], [], { async: true });
    } catch (error) {
      LottoShell.stopped(error);
      return;
    }
    Promise.resolve(status).then(function (code) {
      try {
        exit(code, true);  // the C runtime's end: exit handlers, streams flushed, then onExit
      } catch (end) {
        if (!(end instanceof ExitStatus)) throw end;
      }
    }).catch(LottoShell.stopped);
  },

  onExit: function (code) {
    LottoShell.notice(code === 0 ? 'Das Spiel ist beendet.'
                                 : 'Das Spiel konnte nicht gestartet werden (Status ' + code + ').');
  },

  // A fault in the program, or a browser that cannot load or run it.
  onAbort: function () {
    LottoShell.stopped();
  },
});

var LottoShell = {
  notice: function (text) {
    var notice = document.getElementById('notice');
    if (!notice || !notice.hidden) return;
    var frames = document.querySelectorAll('.frame');
    for (var k = 0; k < frames.length; ++k) frames[k].remove();
    notice.querySelector('p').textContent = text;
    var restart = notice.querySelector('button');
    restart.addEventListener('click', function () { location.reload(); });
    notice.hidden = false;
    restart.focus();
  },

  stopped: function (error) {
    if (error) console.error(error);
    LottoShell.notice('Das Spiel ist mit einem Fehler abgebrochen.');
  },
};

// Once the page has loaded, which it may have done before this script runs.
// Without a secure context (a plain address other than this machine's) the
// game still plays, only not offline.
if ('serviceWorker' in navigator) {
  var register = function () { navigator.serviceWorker.register('sw.js').catch(function () {}); };
  if (document.readyState === 'complete') register();
  else addEventListener('load', register);
}
