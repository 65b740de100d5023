// The form's place on the page: where the page is narrower than the form, the
// form scales down uniformly so that nothing scrolls sideways, and the frame
// around it takes the scaled size. A zoom, a narrower window or another screen
// lays it out again and tells the program, which chooses the face anew where
// the form starts or stops showing pixel for pixel.
mergeInto(LibraryManager.library, {
  $LottoLayout__deps: ['$LottoPage'],
  $LottoLayout: {
    layout: function (form) {
      var scale = Math.min(1, document.documentElement.clientWidth / form.width) || 1;  // 1 also with no width yet
      form.scale = scale;
      form.element.style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
      form.frame.style.width = LottoPage.px(form.width * scale);
      form.frame.style.height = LottoPage.px(form.height * scale);
    },

    pixelForPixel: function (form) {
      return devicePixelRatio * form.scale === 1;
    },

    relayout: function () {
      LottoPage.forms.forEach(function (form) {
        if (!form.shown || form.closed) return;
        LottoLayout.layout(form);
        _lotto_screenChanged(form.target);
      });
    },

    watchScreen: function () {
      if (LottoLayout.watching) return;
      LottoLayout.watching = true;
      addEventListener('resize', LottoLayout.relayout);
      var watchRatio = function () {
        matchMedia('(resolution: ' + devicePixelRatio + 'dppx)')
          .addEventListener('change', function () { LottoLayout.relayout(); watchRatio(); }, { once: true });
      };
      watchRatio();
    },
  },

  lotto_pixelForPixel__deps: ['$LottoPage', '$LottoLayout'],
  lotto_pixelForPixel: function (formNumber) {
    return LottoLayout.pixelForPixel(LottoPage.objects[formNumber]);
  },
});
