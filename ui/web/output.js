// Standard output and error go to the console. The program flushes its trace
// once per draw, and each flush is one write: one console line per draw,
// written as it happens, although the trace has no line ends.
mergeInto(LibraryManager.library, {
  fd_write__deps: ['$LottoPage'],
  // What the C streams still hold when the program ends comes out as well.
  fd_write__postset: function () {
    addAtExit('___stdio_exit();');
  },
  fd_write: function (fd, iov, iovcnt, written) {
    var parts = [];
    var total = 0;
    for (var k = 0; k < iovcnt; ++k) {
      var pointer = HEAPU32[(iov >> 2) + 2 * k];
      var length = HEAPU32[(iov >> 2) + 2 * k + 1];
      parts.push(HEAPU8.subarray(pointer, pointer + length));
      total += length;
    }
    var joined = new Uint8Array(total);
    var at = 0;
    parts.forEach(function (part) { joined.set(part, at); at += part.length; });
    if (total) (fd === 2 ? console.error : console.log)(LottoPage.decoder().decode(joined).replace(/\n$/, ''));
    HEAPU32[written >> 2] = total;
    return 0;
  },
});
