// The faces on the page, for the choice that the program makes (PageFaces.cpp
// with the fitting rule): loads a face when the program tries it, measures
// texts the way the page lays them out, and applies the chosen face to the
// form. Until then the stylesheet draws the designed layout in the face that
// the choice gives where nothing is amiss.
mergeInto(LibraryManager.library, {
  $LottoFaces__deps: ['$LottoPage'],
  $LottoFaces: {
    cssFamily: function (family) {
      return family === 'sans-serif' ? family : '"' + family.replace(/["\\]/g, '') + '"';
    },
  },

  // Width and height of a text in a face, in form pixels, into two doubles.
  lotto_measureText__deps: ['$LottoPage', '$LottoFaces'],
  lotto_measureText: function (family, familyLength, pixels, spacing, text, textLength, extent) {
    var ruler = LottoFaces.ruler;
    if (!ruler) {
      ruler = LottoFaces.ruler = LottoPage.make('span', 'ruler', document.body);
      ruler.setAttribute('aria-hidden', 'true');
    }
    ruler.style.fontFamily = LottoFaces.cssFamily(LottoPage.text(family, familyLength));
    ruler.style.fontSize = LottoPage.px(pixels);
    ruler.style.letterSpacing = LottoPage.px(spacing);
    ruler.textContent = LottoPage.text(text, textLength);
    var box = ruler.getBoundingClientRect();
    HEAPF64[extent >> 3] = box.width;
    HEAPF64[(extent >> 3) + 1] = box.height;
  },

  // Loads the face at the form's size and tells the program whether it came.
  lotto_loadFace__deps: ['$LottoPage', '$LottoFaces'],
  lotto_loadFace: function (formNumber, family, familyLength, pixels, target, generation) {
    var form = LottoPage.objects[formNumber];
    document.fonts.load(LottoPage.px(pixels) + ' ' + LottoFaces.cssFamily(LottoPage.text(family, familyLength)))
      .then(function (faces) { return faces.length > 0; }, function () { return false; })
      .then(function (loaded) { if (!form.closed) _lotto_faceLoaded(target, generation, loaded); });
  },

  lotto_applyFace__deps: ['$LottoPage', '$LottoFaces', '$LottoLayout'],
  lotto_applyFace: function (formNumber, family, familyLength, pixels, spacing) {
    var form = LottoPage.objects[formNumber];
    if (form.closed) return;
    // For the designed layout, and the message box beside it; the touch
    // layout draws in the system's own face (lotto.css).
    var style = document.documentElement.style;
    style.setProperty('--form-font', LottoFaces.cssFamily(LottoPage.text(family, familyLength)));
    style.setProperty('--form-font-size', LottoPage.px(pixels));
    style.setProperty('--form-letter-spacing', LottoPage.px(spacing));
    LottoLayout.ready(form);
  },
});
