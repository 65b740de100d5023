// Which of the form's two arrangements the page shows, as the stylesheet
// decides it from the first byte: the designed layout, to the pixel, where a
// fine pointer (a mouse) rules and the page has room for the form; the touch
// layout, sized for a thumb, where the primary pointer is coarse or the page
// is narrower than the form. Both come from the media query that PageMarkup.h
// writes into lotto.css and hands the program. A resize, a rotation or
// another pointer switches at once; the elements stay what they are, so
// texts, the focus and an open message stay as well. The program is told, as
// it chooses the designed layout's face once that layout shows, and anew
// where the screen starts or stops showing one form pixel as one device pixel.
mergeInto(LibraryManager.library, {
  $LottoLayout__deps: ['$LottoPage'],
  $LottoLayout: {
    watching: false,

    touch: function (form) {
      return matchMedia(form.touchQuery).matches;
    },

    // The form plays as it looks: its face applied, or none needed. Marked on
    // the form for those who wait for it.
    ready: function (form) {
      form.element.setAttribute('data-running', '');
    },

    relayout: function () {
      LottoPage.forms.forEach(function (form) {
        if (!form.shown || form.closed) return;
        if (LottoLayout.touch(form)) LottoLayout.ready(form);
        _lotto_screenChanged(form.target);
      });
    },

    // The part at the foot of the page's viewport that the on-screen keyboard
    // covers, where the browser reports it (or that a zoom leaves out of
    // view): the touch layout keeps its foot above it.
    coverKeyboard: function () {
      var viewport = window.visualViewport;
      var covered = Math.max(0, Math.round(innerHeight - viewport.height - viewport.offsetTop));
      document.documentElement.style.setProperty('--keyboard', covered + 'px');
    },

    watchScreen: function (form) {
      if (LottoLayout.touch(form)) LottoLayout.ready(form);
      if (!form.watched) matchMedia(form.touchQuery).addEventListener('change', LottoLayout.relayout);
      form.watched = true;
      if (LottoLayout.watching) return;
      LottoLayout.watching = true;
      if (window.visualViewport) {
        visualViewport.addEventListener('resize', LottoLayout.coverKeyboard);
        visualViewport.addEventListener('scroll', LottoLayout.coverKeyboard);
        LottoLayout.coverKeyboard();
      }
      addEventListener('resize', LottoLayout.relayout);
      var watchRatio = function () {
        matchMedia('(resolution: ' + devicePixelRatio + 'dppx)')
          .addEventListener('change', function () { LottoLayout.relayout(); watchRatio(); }, { once: true });
      };
      watchRatio();
    },
  },

  // The designed pixel face is sharp only where one form pixel is one device pixel.
  lotto_pixelForPixel: function () {
    return devicePixelRatio === 1;
  },

  // Whether the form shows its touch layout, which draws in the system's face.
  lotto_touchLayout__deps: ['$LottoPage', '$LottoLayout'],
  lotto_touchLayout: function (formNumber) {
    return LottoLayout.touch(LottoPage.objects[formNumber]);
  },
});
