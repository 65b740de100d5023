// Which of the form's two arrangements the page shows. The designed layout,
// to the pixel, where a fine pointer (a mouse) rules and the page has room for
// the form; the touch layout of lotto.css, sized for a thumb, where the
// primary pointer is coarse or the page is narrower than the form. A resize,
// a rotation or another pointer switches at once; the elements stay what they
// are, so texts, the focus and an open message stay as well. The program is
// told, as it chooses the designed layout's face anew where the screen starts
// or stops showing one form pixel as one device pixel.
mergeInto(LibraryManager.library, {
  $LottoLayout__deps: ['$LottoPage'],
  $LottoLayout: {
    coarse: null,

    touch: function (form) {
      return LottoLayout.coarse.matches || document.documentElement.clientWidth < form.width;
    },

    layout: function (form) {
      document.documentElement.classList.toggle('touch', LottoLayout.touch(form));
    },

    relayout: function () {
      LottoPage.forms.forEach(function (form) {
        if (!form.shown || form.closed) return;
        LottoLayout.layout(form);
        _lotto_screenChanged(form.target);
      });
    },

    watchScreen: function () {
      if (LottoLayout.coarse) return;
      LottoLayout.coarse = matchMedia('(pointer: coarse)');
      LottoLayout.coarse.addEventListener('change', LottoLayout.relayout);
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
});
