// The page's own controls behind WebBackend.cpp: a form is a box of its
// designed size, each control an element at its designed place in it (button,
// single-line input, label). Also the face the form is drawn in, its scale on
// small screens, Tab, the modal message and the route of standard output to the
// console. Linked into lotto.js as an Emscripten library; C++ knows every form
// and control by the number that these functions hand out.
mergeInto(LibraryManager.library, {
  $LottoPage: {
    // The designed face is a pixel font, sharp only where one form pixel is one
    // device pixel; elsewhere the scalable face, measured as the desktop does.
    scalableFamily: 'Tahoma',
    // How far a self-sizing label may miss its designed size, and how much room
    // a fixed-size label keeps after its text, in form pixels.
    designedSizeTolerance: 2,
    fixedLabelMargin: 2,
    // Letters may move closer by a quarter pixel each, and the size may shrink
    // to four fifths; beyond that the text no longer passes for the designed one.
    tightestSpacing: -0.25,
    smallestShare: 0.8,

    Kind: { label: 0, edit: 1, button: 2, closeButton: 3 },

    objects: [null],  // forms and controls, by the numbers C++ knows them by
    forms: [],
    messages: [],     // waiting while another message is open
    encoded: null,    // a text on its way to C++, between its length and its copy

    add: function (object) {
      LottoPage.objects.push(object);
      return LottoPage.objects.length - 1;
    },
    // Made at run time: the library's objects are written into lotto.js as text.
    decoder: function () {
      return LottoPage.utf8 || (LottoPage.utf8 = new TextDecoder());
    },
    text: function (pointer, length) {
      return LottoPage.decoder().decode(HEAPU8.subarray(pointer, pointer + length));
    },
    px: function (value) {
      return value + 'px';
    },
    cssFamily: function (family) {
      return family === 'sans-serif' ? family : '"' + family.replace(/["\\]/g, '') + '"';
    },
    make: function (tag, className, parent) {
      var element = document.createElement(tag);
      if (className) element.className = className;
      if (parent) parent.append(element);
      return element;
    },

    // The form scales down uniformly where the page is narrower than it, so
    // that nothing scrolls sideways; the frame around it takes the scaled size.
    layout: function (form) {
      var scale = Math.min(1, document.documentElement.clientWidth / form.width) || 1;  // 1 also with no width yet
      form.scale = scale;
      form.element.style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
      form.frame.style.width = LottoPage.px(form.width * scale);
      form.frame.style.height = LottoPage.px(form.height * scale);
    },

    // Width and height of a text in a face, in form pixels, as the page lays it out.
    measure: function (family, pixels, spacing, text) {
      var ruler = LottoPage.ruler;
      if (!ruler) {
        ruler = LottoPage.ruler = LottoPage.make('span', 'ruler', document.body);
        ruler.setAttribute('aria-hidden', 'true');
      }
      ruler.style.fontFamily = LottoPage.cssFamily(family);
      ruler.style.fontSize = LottoPage.px(pixels);
      ruler.style.letterSpacing = LottoPage.px(spacing);
      ruler.textContent = text;
      var box = ruler.getBoundingClientRect();
      return { width: box.width, height: box.height };
    },

    // The largest miss of a self-sizing label from its designed size, and below
    // zero how much closer the letters must move for every fixed-size label to
    // hold its text.
    measureLabels: function (form, family, pixels, spacing) {
      var result = { worstMiss: 0, spacingToFit: 0 };
      form.labels.forEach(function (label) {
        var caption = label.element.textContent;
        if (!caption) return;
        var size = LottoPage.measure(family, pixels, spacing, caption);
        var width = Math.ceil(size.width);
        if (label.autoSize) {
          result.worstMiss = Math.max(result.worstMiss, Math.abs(width - label.bounds.width),
                                      Math.abs(Math.ceil(size.height) - label.bounds.height));
        } else {
          var room = label.bounds.width - LottoPage.fixedLabelMargin - width;
          result.spacingToFit = Math.min(result.spacingToFit, room / caption.length);
        }
      });
      return result;
    },

    // The face at the designed size, or tightened and then smaller as far as
    // every fixed-size label needs to hold its whole text; null where that is too far.
    fit: function (form, family) {
      var designed = form.pixelHeight;
      for (var pixels = designed; pixels >= designed * LottoPage.smallestShare; --pixels) {
        var spacing = 0;
        var measured = LottoPage.measureLabels(form, family, pixels, spacing);
        if (measured.spacingToFit < 0 && measured.spacingToFit >= LottoPage.tightestSpacing) {
          // Whole hundredths, rounded towards tighter, so the text surely fits.
          spacing = Math.floor(measured.spacingToFit * 100) / 100;
          measured = LottoPage.measureLabels(form, family, pixels, spacing);
        }
        if (measured.spacingToFit >= 0)
          return { family: family, pixels: pixels, spacing: spacing, worstMiss: measured.worstMiss };
      }
      return null;
    },

    pixelForPixel: function (form) {
      return devicePixelRatio * form.scale === 1;
    },

    // The first face that fits within the tolerance, each loaded only when it
    // is tried: the designed one where the screen shows it pixel for pixel,
    // then the scalable one; failing both the closest fit, the browser's own
    // sans serif included.
    chooseFont: function (form) {
      var families = LottoPage.pixelForPixel(form) ? [form.family, LottoPage.scalableFamily]
                                                   : [LottoPage.scalableFamily];
      var closest = null;
      var consider = function (family) {
        var fitted = LottoPage.fit(form, family);
        if (fitted && (!closest || fitted.worstMiss < closest.worstMiss)) closest = fitted;
        return fitted && fitted.worstMiss <= LottoPage.designedSizeTolerance ? fitted : null;
      };
      var next = function (k) {
        if (k === families.length)
          return consider('sans-serif') || closest || { family: families[0], pixels: form.pixelHeight, spacing: 0 };
        return document.fonts.load(LottoPage.px(form.pixelHeight) + ' ' + LottoPage.cssFamily(families[k]))
          .then(function (faces) { return faces.length > 0 && consider(families[k]); }, function () { return null; })
          .then(function (fitted) { return fitted || next(k + 1); });
      };
      return next(0);
    },

    applyFont: function (form) {
      var generation = ++form.fontGeneration;
      form.pixelForPixelFont = LottoPage.pixelForPixel(form);
      return LottoPage.chooseFont(form).then(function (font) {
        if (generation !== form.fontGeneration) return;
        var style = form.element.style;
        style.fontFamily = LottoPage.cssFamily(font.family);
        style.fontSize = LottoPage.px(font.pixels);
        style.letterSpacing = LottoPage.px(font.spacing);
        // The message box speaks in the form's face.
        document.documentElement.style.setProperty('--form-font', style.fontFamily);
      });
    },

    // A zoom, a narrower window or another screen: the form scales again, and
    // changes face where it starts or stops showing pixel for pixel.
    relayout: function () {
      LottoPage.forms.forEach(function (form) {
        if (!form.shown || form.closed) return;
        LottoPage.layout(form);
        if (LottoPage.pixelForPixel(form) !== form.pixelForPixelFont) LottoPage.applyFont(form);
      });
    },

    watchScreen: function () {
      if (LottoPage.watching) return;
      LottoPage.watching = true;
      addEventListener('resize', LottoPage.relayout);
      var watchRatio = function () {
        matchMedia('(resolution: ' + devicePixelRatio + 'dppx)')
          .addEventListener('change', function () { LottoPage.relayout(); watchRatio(); }, { once: true });
      };
      watchRatio();
    },

    // Tab and Shift+Tab go round the form's tab stops, as in a desktop window.
    onKey: function (form, event) {
      if (event.key !== 'Tab' || event.altKey || event.ctrlKey || event.metaKey) return;
      var order = form.order;
      if (!order.length) return;
      var at = order.indexOf(document.activeElement);
      var next = at < 0 ? (event.shiftKey ? order.length - 1 : 0)
                        : (at + (event.shiftKey ? order.length - 1 : 1)) % order.length;
      event.preventDefault();
      order[next].focus();
    },

    closeGlyph: function () {
      var namespace = 'http://www.w3.org/2000/svg';
      var glyph = document.createElementNS(namespace, 'svg');
      glyph.setAttribute('viewBox', '0 0 16 16');
      glyph.setAttribute('aria-hidden', 'true');
      var cross = document.createElementNS(namespace, 'path');
      cross.setAttribute('d', 'M4 4l8 8M12 4l-8 8');
      glyph.append(cross);
      return glyph;
    },

    textOf: function (control) {
      if (control.kind === LottoPage.Kind.edit) return control.element.value;
      return (control.caption || control.element).textContent;
    },

    setText: function (control, text) {
      if (control.kind === LottoPage.Kind.edit) {
        control.element.value = text;
        return;
      }
      (control.caption || control.element).textContent = text;
      // A button keeps its caption as its name also where a label names it.
      if (control.kind !== LottoPage.Kind.label && !control.spokenName)
        control.element.setAttribute('aria-label', text);
    },

    messageDialog: function () {
      if (LottoPage.dialog) return LottoPage.dialog;
      var make = LottoPage.make;
      var dialog = make('dialog', 'message', document.body);
      dialog.setAttribute('role', 'alertdialog');
      dialog.setAttribute('aria-labelledby', 'message-title');
      dialog.setAttribute('aria-describedby', 'message-text');
      make('div', 'title', dialog).id = 'message-title';
      var body = make('div', 'body', dialog);
      make('span', 'icon', body).setAttribute('aria-hidden', 'true');
      make('p', '', body).id = 'message-text';
      var ok = make('button', '', make('div', 'buttons', dialog));
      ok.type = 'button';
      ok.textContent = 'OK';
      ok.addEventListener('click', function () { dialog.close(); });
      // Return closes the message wherever its focus is; Escape does by itself.
      dialog.addEventListener('keydown', function (event) {
        if (event.key !== 'Enter') return;
        event.preventDefault();
        dialog.close();
      });
      dialog.addEventListener('close', function () {
        var focus = LottoPage.returnFocus;
        LottoPage.returnFocus = null;
        if (focus && focus.isConnected) focus.focus();
        LottoPage.nextMessage();
      });
      return LottoPage.dialog = dialog;
    },

    nextMessage: function () {
      var next = LottoPage.messages.shift();
      if (!next) return;
      var dialog = LottoPage.messageDialog();
      dialog.querySelector('.title').textContent = next.title;
      dialog.querySelector('p').textContent = next.message;  // shown as it is, never read as markup
      LottoPage.returnFocus = document.activeElement;
      dialog.showModal();
      dialog.querySelector('button').focus();
    },
  },

  lotto_createWindow__deps: ['$LottoPage'],
  lotto_createWindow: function (caption, captionLength, width, height, family, familyLength, pixelHeight) {
    var element = LottoPage.make('div', 'form');
    element.hidden = true;
    element.style.width = LottoPage.px(width);
    element.style.height = LottoPage.px(height);
    var frame = LottoPage.make('div', 'frame');
    frame.append(element);
    var form = {
      element: element, frame: frame, caption: LottoPage.text(caption, captionLength), width: width,
      height: height, family: LottoPage.text(family, familyLength), pixelHeight: pixelHeight, scale: 1,
      labels: [], order: [], shown: false, closed: false, wake: null, fontGeneration: 0,
      pixelForPixelFont: null,
    };
    element.addEventListener('keydown', function (event) { LottoPage.onKey(form, event); });
    LottoPage.forms.push(form);
    return LottoPage.add(form);
  },

  lotto_createControl__deps: ['$LottoPage'],
  lotto_createControl: function (formNumber, kind, left, top, width, height, caption, captionLength, name,
                                 nameLength, spokenName, spokenNameLength, autoSize, clickTarget) {
    var Kind = LottoPage.Kind;
    var form = LottoPage.objects[formNumber];
    var control = {
      kind: kind, bounds: { left: left, top: top, width: width, height: height }, autoSize: !!autoSize,
      spokenName: LottoPage.text(spokenName, spokenNameLength), caption: null,
    };
    var element;
    if (kind === Kind.label) {
      element = LottoPage.make('label');
      // A click on a label does nothing, as on the desktop: above all it must
      // not press the button that the label names.
      element.addEventListener('click', function (event) { event.preventDefault(); });
      form.labels.push(control);
    } else if (kind === Kind.edit) {
      element = LottoPage.make('input');
      element.type = 'text';
      element.inputMode = 'numeric';
      element.autocomplete = 'off';
      element.spellcheck = false;
      element.setAttribute('autocapitalize', 'off');
      element.setAttribute('autocorrect', 'off');
    } else {
      element = LottoPage.make('button');
      element.type = 'button';
      if (kind === Kind.closeButton) element.append(LottoPage.closeGlyph());
      control.caption = LottoPage.make('span', '', element);
      element.addEventListener('click', function () { _lotto_click(clickTarget); });
    }
    control.element = element;
    var id = LottoPage.text(name, nameLength);
    if (id) element.id = id;
    if (control.spokenName) element.setAttribute('aria-label', control.spokenName);
    LottoPage.setText(control, LottoPage.text(caption, captionLength));
    element.style.left = LottoPage.px(left);
    element.style.top = LottoPage.px(top);
    if (!control.autoSize) {
      element.style.width = LottoPage.px(width);
      element.style.height = LottoPage.px(height);
    }
    if (kind !== Kind.label) element.tabIndex = -1;  // until the tab order names it
    form.element.append(element);
    return LottoPage.add(control);
  },

  lotto_relateLabel__deps: ['$LottoPage'],
  lotto_relateLabel: function (label, target) {
    var targetElement = LottoPage.objects[target].element;
    if (!targetElement.id) targetElement.id = 'control-' + target;
    LottoPage.objects[label].element.htmlFor = targetElement.id;
  },

  lotto_setTabOrder__deps: ['$LottoPage'],
  lotto_setTabOrder: function (formNumber, controls, count) {
    var form = LottoPage.objects[formNumber];
    form.order = [];
    for (var k = 0; k < count; ++k) {
      var element = LottoPage.objects[HEAP32[(controls >> 2) + k]].element;
      element.tabIndex = 0;
      // The page's order is the tab order too: the order a screen reader reads in.
      form.element.append(element);
      form.order.push(element);
    }
  },

  lotto_showWindow__deps: ['$LottoPage'],
  lotto_showWindow: function (formNumber) {
    var form = LottoPage.objects[formNumber];
    form.shown = true;
    form.closed = false;
    document.title = form.caption;
    (document.querySelector('main') || document.body).append(form.frame);
    LottoPage.layout(form);
    LottoPage.watchScreen();
    // The form appears once its face has loaded and been measured, so that no
    // text jumps; the first tab stop then takes the focus.
    LottoPage.applyFont(form).then(function () {
      if (form.closed) return;
      form.element.hidden = false;
      if (form.order.length) form.order[0].focus();
    });
  },

  lotto_closeWindow__deps: ['$LottoPage'],
  lotto_closeWindow: function (formNumber) {
    var form = LottoPage.objects[formNumber];
    form.closed = true;
    form.frame.remove();
    var wake = form.wake;
    form.wake = null;
    if (wake) wake();
  },

  lotto_waitUntilClosed__deps: ['$LottoPage', '$Asyncify'],
  lotto_waitUntilClosed: function (formNumber) {
    return Asyncify.handleSleep(function (wakeUp) {
      var form = LottoPage.objects[formNumber];
      if (form.closed) wakeUp();
      else form.wake = wakeUp;
    });
  },

  lotto_textLength__deps: ['$LottoPage'],
  lotto_textLength: function (control) {
    LottoPage.encoded = new TextEncoder().encode(LottoPage.textOf(LottoPage.objects[control]));
    return LottoPage.encoded.length;
  },

  lotto_copyText__deps: ['$LottoPage'],
  lotto_copyText: function (control, buffer, size) {
    HEAPU8.set(LottoPage.encoded.subarray(0, size), buffer);
    LottoPage.encoded = null;
  },

  lotto_setText__deps: ['$LottoPage'],
  lotto_setText: function (control, text, length) {
    LottoPage.setText(LottoPage.objects[control], LottoPage.text(text, length));
  },

  lotto_showMessage__deps: ['$LottoPage'],
  lotto_showMessage: function (title, titleLength, message, messageLength) {
    LottoPage.messages.push({ title: LottoPage.text(title, titleLength),
                              message: LottoPage.text(message, messageLength) });
    if (!LottoPage.dialog || !LottoPage.dialog.open) LottoPage.nextMessage();
  },

  // Standard output and error go to the console. The program flushes its
  // trace once per draw, and each flush is one write: one console line per
  // draw, written as it happens, although the trace has no line ends.
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
