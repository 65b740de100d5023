// The page's own controls behind WebBackend.cpp: a form is a box of its
// designed size, each control an element at its designed place in it (button,
// single-line input, label), and Tab goes round the form's tab stops. Linked
// into lotto.js as an Emscripten library, beside layout.js (which arrangement the form shows),
// faces.js (measuring and applying faces), dialog.js (the modal message) and
// output.js (standard output to the console). C++ knows every form and control
// by the number that these functions hand out.
mergeInto(LibraryManager.library, {
  $LottoPage: {
    Kind: { label: 0, edit: 1, button: 2, closeButton: 3 },

    objects: [null],  // forms and controls, by the numbers C++ knows them by
    forms: [],
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
    make: function (tag, className, parent) {
      var element = document.createElement(tag);
      if (className) element.className = className;
      if (parent) parent.append(element);
      return element;
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
      if (control.kind === LottoPage.Kind.edit) control.element.value = text;
      else (control.caption || control.element).textContent = text;
    },
  },

  lotto_createWindow__deps: ['$LottoPage'],
  lotto_createWindow: function (caption, captionLength, width, height, target) {
    var element = LottoPage.make('div', 'form');
    element.hidden = true;
    // The designed sizes and places are custom properties, which the designed
    // layout of lotto.css uses and the touch layout leaves aside.
    element.style.setProperty('--form-width', LottoPage.px(width));
    element.style.setProperty('--form-height', LottoPage.px(height));
    var frame = LottoPage.make('div', 'frame');
    frame.append(element);
    var voice = LottoPage.make('p', 'unseen', frame);
    voice.setAttribute('role', 'status');
    var form = {
      element: element, frame: frame, voice: voice, caption: LottoPage.text(caption, captionLength), width: width,
      order: [], shown: false, closed: false, wake: null, target: target,
    };
    element.addEventListener('keydown', function (event) { LottoPage.onKey(form, event); });
    LottoPage.forms.push(form);
    return LottoPage.add(form);
  },

  lotto_createControl__deps: ['$LottoPage'],
  lotto_createControl: function (formNumber, kind, left, top, width, height, caption, captionLength, name,
                                 nameLength, autoSize, clickTarget) {
    var Kind = LottoPage.Kind;
    var form = LottoPage.objects[formNumber];
    var control = { kind: kind, caption: null };
    var element;
    if (kind === Kind.label) {
      element = LottoPage.make('label');
      // A click on a label does nothing, as on the desktop: above all it must
      // not press the button that the label names.
      element.addEventListener('click', function (event) { event.preventDefault(); });
    } else if (kind === Kind.edit) {
      element = LottoPage.make('input');
      element.type = 'text';
      element.inputMode = 'numeric';
      element.autocomplete = 'off';
      element.spellcheck = false;
      element.setAttribute('autocapitalize', 'off');
      element.setAttribute('autocorrect', 'off');
      // The player's typing, pasting, cutting and undoing, never the program's
      // own value, told to the same control that a button's click is.
      element.addEventListener('input', function () { _lotto_edited(clickTarget); });
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
    LottoPage.setText(control, LottoPage.text(caption, captionLength));
    element.style.setProperty('--left', LottoPage.px(left));
    element.style.setProperty('--top', LottoPage.px(top));
    if (!autoSize) {
      element.style.setProperty('--width', LottoPage.px(width));
      element.style.setProperty('--height', LottoPage.px(height));
    }
    if (kind !== Kind.label) element.tabIndex = -1;  // until the tab order names it
    form.element.append(element);
    return LottoPage.add(control);
  },

  // A label's text is its name already; every other control carries its name
  // as aria-label, which a label pointing at it does not replace.
  lotto_setSpokenName__deps: ['$LottoPage'],
  lotto_setSpokenName: function (controlNumber, name, length) {
    var control = LottoPage.objects[controlNumber];
    var spoken = LottoPage.text(name, length);
    if (!spoken || (control.kind === LottoPage.Kind.label && spoken === LottoPage.textOf(control)))
      control.element.removeAttribute('aria-label');
    else
      control.element.setAttribute('aria-label', spoken);
  },

  // A label that is its control's name is the control's <label>. A heading is
  // not: a <label> makes a labelled-by relation, which some screen readers say
  // instead of the control's aria-label (Orca does); the heading describes the
  // control instead, and is said after its name.
  lotto_relateLabel__deps: ['$LottoPage'],
  lotto_relateLabel: function (label, target, heading) {
    var labelElement = LottoPage.objects[label].element;
    var targetElement = LottoPage.objects[target].element;
    if (!targetElement.id) targetElement.id = 'control-' + target;
    if (!heading) {
      labelElement.htmlFor = targetElement.id;
      return;
    }
    if (!labelElement.id) labelElement.id = targetElement.id + '-heading';
    targetElement.setAttribute('aria-describedby', labelElement.id);
  },

  // Each form has one polite status element beside it, never shown: one
  // sentence read after the command, rather than each field that changed.
  lotto_announce__deps: ['$LottoPage'],
  lotto_announce: function (formNumber, text, length) {
    LottoPage.objects[formNumber].voice.textContent = LottoPage.text(text, length);
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

  // The form appears once its face has been chosen (faces.js), so that no text jumps.
  lotto_showWindow__deps: ['$LottoPage', '$LottoLayout'],
  lotto_showWindow: function (formNumber) {
    var form = LottoPage.objects[formNumber];
    form.shown = true;
    form.closed = false;
    document.title = form.caption;
    (document.querySelector('main') || document.body).append(form.frame);
    LottoLayout.watchScreen();
    LottoLayout.layout(form);
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

  // A mark of the numbers that hit, which lotto.css shows: 0 none, 1 a main
  // number, 2 the bonus number. What the mark means is said in the field's name.
  lotto_setMark__deps: ['$LottoPage'],
  lotto_setMark: function (controlNumber, mark) {
    var element = LottoPage.objects[controlNumber].element;
    if (mark) element.dataset.mark = mark === 2 ? 'bonus' : 'main';
    else delete element.dataset.mark;
  },

  lotto_setText__deps: ['$LottoPage'],
  lotto_setText: function (control, text, length) {
    LottoPage.setText(LottoPage.objects[control], LottoPage.text(text, length));
  },
});
