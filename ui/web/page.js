// The page's own controls behind WebBackend.cpp: the form and its controls are
// in the page from its first byte (PageMarkup.h describes them, the build
// writes them), and the program adopts them: it finds each element by the
// description, checks it, and listens to it. Tab goes round the form's tab
// stops. Linked into lotto.js as an Emscripten library, beside layout.js
// (which arrangement the form shows), faces.js (measuring and applying
// faces), dialog.js (the modal message) and output.js (standard output to the
// console). C++ knows every form and control by the number that these
// functions hand out.
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

    // What makes the element not the one described: missing, outside the
    // form, another tag, an attribute or text other than described; or ''.
    // Attributes beyond the description (a browser extension's) are no
    // difference.
    differs: function (element, expected, form) {
      if (!element || element.parentElement !== form) return 'is not in the form';
      if (element.localName !== expected.localName) return 'is a ' + element.localName;
      for (var k = 0; k < expected.attributes.length; ++k) {
        var attribute = expected.attributes[k];
        if (element.getAttribute(attribute.name) !== attribute.value)
          return 'has ' + attribute.name + '=' + JSON.stringify(element.getAttribute(attribute.name));
      }
      if (element.textContent !== expected.textContent) return 'says ' + JSON.stringify(element.textContent);
      return '';
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

  // Takes the form's box from the page, with its frame and status element
  // beside it; 0 where the page lacks it.
  lotto_adoptWindow__deps: ['$LottoPage'],
  lotto_adoptWindow: function (id, idLength, voice, voiceLength, touchQuery, queryLength, caption, captionLength,
                               target) {
    var element = document.getElementById(LottoPage.text(id, idLength));
    var voiceElement = document.getElementById(LottoPage.text(voice, voiceLength));
    if (!element || !element.classList.contains('form') || !voiceElement
        || voiceElement.parentElement !== element.parentElement) {
      console.error('The page has no form ' + LottoPage.text(id, idLength) + ' as the program describes it.');
      return 0;
    }
    var form = {
      element: element, frame: element.parentElement, voice: voiceElement, caption: LottoPage.text(caption, captionLength),
      touchQuery: LottoPage.text(touchQuery, queryLength), order: [], shown: false, closed: false, wake: null,
      target: target,
    };
    element.addEventListener('keydown', function (event) { LottoPage.onKey(form, event); });
    // A click on a label does nothing, as on the desktop: above all it must
    // not press the button that the label names.
    element.addEventListener('click', function (event) {
      if (event.target.closest('label')) event.preventDefault();
    });
    LottoPage.forms.push(form);
    return LottoPage.add(form);
  },

  // Takes the control's element from the page: the one with the id that the
  // program's description names, where it has the description's tag, each of
  // its attributes and its text. 0 where the page differs.
  lotto_adoptControl__deps: ['$LottoPage'],
  lotto_adoptControl: function (formNumber, kind, markup, markupLength, clickTarget) {
    var form = LottoPage.objects[formNumber];
    var description = document.createElement('template');
    description.innerHTML = LottoPage.text(markup, markupLength);
    var expected = description.content.firstElementChild;
    var element = document.getElementById(expected.id);
    var differs = LottoPage.differs(element, expected, form.element);
    if (differs) {
      console.error('The page does not match the program: #' + expected.id + ' ' + differs);
      return 0;
    }
    var control = { kind: kind, element: element, caption: null };
    if (kind === LottoPage.Kind.button || kind === LottoPage.Kind.closeButton) {
      control.caption = element.querySelector('span');
      element.addEventListener('click', function () { _lotto_click(clickTarget); });
    } else if (kind === LottoPage.Kind.edit) {
      // The player's typing, pasting, cutting and undoing, never the program's
      // own value, told to the same control that a button's click is.
      element.addEventListener('input', function () { _lotto_edited(clickTarget); });
    }
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

  // Each form has one polite status element beside it, never shown: one
  // sentence read after the command, rather than each field that changed.
  lotto_announce__deps: ['$LottoPage'],
  lotto_announce: function (formNumber, text, length) {
    LottoPage.objects[formNumber].voice.textContent = LottoPage.text(text, length);
  },

  // The page's order is the tab order: the order a screen reader reads in.
  // False where the page has the elements in another order.
  lotto_setTabOrder__deps: ['$LottoPage'],
  lotto_setTabOrder: function (formNumber, controls, count) {
    var form = LottoPage.objects[formNumber];
    form.order = [];
    for (var k = 0; k < count; ++k) {
      var element = LottoPage.objects[HEAP32[(controls >> 2) + k]].element;
      var previous = form.order[k - 1];
      if (previous && !(previous.compareDocumentPosition(element) & Node.DOCUMENT_POSITION_FOLLOWING)) {
        console.error('The page does not match the program: #' + element.id + ' comes before #' + previous.id);
        return false;
      }
      form.order.push(element);
    }
    return true;
  },

  // The form is on the page from its first byte; the program takes it over.
  // The first tab stop takes the focus, unless the player has put it
  // somewhere already; the page stays at its top. Presses that came before
  // the program (boot.js) are carried out once it waits for events.
  lotto_showWindow__deps: ['$LottoPage', '$LottoLayout'],
  lotto_showWindow: function (formNumber) {
    var form = LottoPage.objects[formNumber];
    form.shown = true;
    form.closed = false;
    document.title = form.caption;
    if (!form.frame.isConnected) (document.querySelector('main') || document.body).append(form.frame);
    var focus = document.activeElement;
    if (form.order.length && (!focus || focus === document.body)) form.order[0].focus({ preventScroll: true });
    LottoLayout.watchScreen(form);
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
      if (form.closed) {
        wakeUp();
        return;
      }
      form.wake = wakeUp;
      var early = window.lottoEarlyPresses;
      window.lottoEarlyPresses = null;
      if (early && early.length) setTimeout(function () {
        early.forEach(function (button) { if (button.isConnected) button.click(); });
      });
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
