// The page's own controls behind WebBackend.cpp: the form and its controls are
// in the page from its first byte (PageMarkup.h describes them, the build
// writes them), and the program adopts them: it finds each element by the
// description, checks it, and listens to it. What each element is and does
// the description says (its tag, its classes, its place); nothing of it is
// decided here again. Tab goes round the form's tab stops; in the touch
// arrangement Enter goes through the ticket, and a play brings its result
// into view. Below the form, the part of a long task (made from the
// program's description once it runs) plays its slices between the page's
// frames. Linked into lotto.js as an Emscripten library, beside layout.js
// (which arrangement the form shows), faces.js (measuring and applying
// faces), dialog.js (the modal message) and output.js (standard output to the
// console). C++ knows every form and control by the number that these
// functions hand out.
mergeInto(LibraryManager.library, {
  $LottoPage: {
    objects: [null],  // forms and controls, by the numbers C++ knows them by
    // The time a frame gives a long task's slices, in ms: the page paints
    // after them, and hears the player, about 30 times a second.
    taskFrameTime: 25,
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

    // Tab and Shift+Tab go round the form's tab stops that show and are
    // open, as in a desktop window; the ticket's grid is one of them, entered
    // at its number that had the focus last, and so are the controls of the
    // long task's part below the form.
    onKey: function (form, event) {
      if (event.altKey || event.ctrlKey || event.metaKey) return;
      if (event.key === 'Enter' && !event.shiftKey) LottoPage.onEnter(form, event);
      if (event.key !== 'Tab') return;
      var order = form.order.filter(function (stop) {
        var element = stop.element || stop;
        return element.getClientRects().length && !element.disabled;
      });
      if (!order.length) return;
      var focus = document.activeElement;
      var at = order.findIndex(function (stop) { return stop === focus || (stop.element && stop.element.contains(focus)); });
      var next = at < 0 ? (event.shiftKey ? order.length - 1 : 0)
                        : (at + (event.shiftKey ? order.length - 1 : 1)) % order.length;
      event.preventDefault();
      (order[next].stop || order[next]).focus();
    },

    // In the touch arrangement, Enter (the key that says "next") in a ticket
    // field moves on to the next one, and from the last to the button that
    // plays the ticket, in view but not pressed.
    onEnter: function (form, event) {
      var ticket = form.ticket;
      var at = ticket ? ticket.fields.indexOf(event.target) : -1;
      if (at < 0 || event.isComposing || !LottoLayout.touch(form)) return;
      event.preventDefault();
      var next = ticket.fields[at + 1];
      if (next) {
        next.focus();
        next.select();
      } else {
        // Where it stays at the foot of the screen, it is in view already.
        ticket.play.focus({ preventScroll: true });
        if (getComputedStyle(ticket.play).position !== 'fixed') ticket.play.scrollIntoView({ block: 'nearest' });
      }
    },

    // The arrow keys move among the grid's numbers, row by row, and Home and
    // End to its first and last; the one the focus is on is the grid's tab stop.
    onNumberGridKey: function (grid, event) {
      var numbers = grid.numbers, at = numbers.indexOf(event.target);
      if (at < 0 || event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) return;
      var perRow = parseInt(getComputedStyle(grid.element).getPropertyValue('--per-row'), 10) || 1;
      var moves = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -perRow, ArrowDown: perRow };
      var to = event.key === 'Home' ? 0 : event.key === 'End' ? numbers.length - 1
             : event.key in moves ? at + moves[event.key] : -1;
      if (to < 0 || to >= numbers.length) return;
      event.preventDefault();
      LottoPage.numberGridStop(grid, numbers[to]);
      numbers[to].focus();
    },

    // The grid's one tab stop: the number the focus was on last. Moved where
    // the focus moves, which not every engine reports when its window is not
    // the system's active one.
    numberGridStop: function (grid, button) {
      if (button === grid.stop || grid.numbers.indexOf(button) < 0) return;
      grid.stop.tabIndex = -1;
      grid.stop = button;
      button.removeAttribute('tabindex');
    },

    // The result of a play in view in the touch arrangement, above the button
    // that plays, which stays at the foot of the screen: the result's fields
    // that show something, with their headings, from the top down as far as
    // there is room.
    revealResult: function (form) {
      if (!LottoLayout.touch(form)) return;
      var top = Infinity, bottom = -Infinity;
      form.ticket.result.forEach(function (field) {
        if (!field.value) return;
        var described = (field.getAttribute('aria-describedby') || '').split(' ').map(function (id) {
          return document.getElementById(id);
        });
        [field].concat(described).forEach(function (element) {
          var box = element && element.getBoundingClientRect();
          if (!box || !box.height) return;
          top = Math.min(top, box.top);
          bottom = Math.max(bottom, box.bottom);
        });
      });
      if (top === Infinity) return;
      var viewport = window.visualViewport;
      var floor = viewport ? viewport.offsetTop + viewport.height : innerHeight;
      var play = form.ticket.play;
      if (getComputedStyle(play).position === 'fixed') floor = Math.min(floor, play.getBoundingClientRect().top);
      var ceiling = viewport ? viewport.offsetTop : 0;
      var margin = 8;
      var by = bottom + margin > floor ? bottom + margin - floor : 0;
      if (top - by < ceiling + margin) by = top - ceiling - margin;
      if (Math.abs(by) < 1) return;
      var still = matchMedia('(prefers-reduced-motion: reduce)').matches;
      scrollBy({ top: by, behavior: still ? 'auto' : 'smooth' });
    },

    // What makes the element not the one described: missing, outside the
    // form, another tag, an attribute or text other than described; or ''.
    // Attributes beyond the description (a browser extension's) are no
    // difference.
    differs: function (element, expected, form) {
      if (!element || element.parentElement !== form) return 'is not in the form';
      return LottoPage.elementDiffers(element, expected, false);
    },
    // With deep, its children are compared as well, one by one.
    elementDiffers: function (element, expected, deep) {
      if (element.localName !== expected.localName) return 'is a ' + element.localName;
      for (var k = 0; k < expected.attributes.length; ++k) {
        var attribute = expected.attributes[k];
        if (element.getAttribute(attribute.name) !== attribute.value)
          return 'has ' + attribute.name + '=' + JSON.stringify(element.getAttribute(attribute.name));
      }
      if (element.textContent !== expected.textContent) return 'says ' + JSON.stringify(element.textContent);
      if (!deep) return '';
      if (element.children.length !== expected.children.length) return 'has ' + element.children.length + ' children';
      for (var c = 0; c < expected.children.length; ++c) {
        var differs = LottoPage.elementDiffers(element.children[c], expected.children[c], true);
        if (differs) return 'has a child that ' + differs;
      }
      return '';
    },
    // A field's text is its value; any other control's, the text of its
    // caption where it has one.
    textOf: function (control) {
      return control.text ? control.text.textContent : control.element.value;
    },

    setText: function (control, text) {
      if (control.text) control.text.textContent = text;
      else control.element.value = text;
    },

    // The grid's button of that number.
    numberGridButton: function (grid, number) {
      return grid.numbers.find(function (button) { return Number(button.value) === number; });
    },

    // A mark, which lotto.css shows by its look (none: ''), and what is said
    // after the element's name.
    showMark: function (element, look, describedBy) {
      if (look) element.dataset.mark = look;
      else delete element.dataset.mark;
      LottoPage.describe(element, describedBy);
    },
    // The ids of the elements that say what follows the element's name: the
    // mark's, the description's, a heading's.
    describe: function (element, describedBy) {
      if (describedBy) element.setAttribute('aria-describedby', describedBy);
      else element.removeAttribute('aria-describedby');
    },
    // The form's element of that id, where it is as the description has it;
    // else null, and the console says how it differs.
    adopted: function (form, id) {
      var element = document.getElementById(id);
      var differs = LottoPage.differs(element, form.described.getElementById(id), form.element);
      if (!differs) return element;
      console.error('The page does not match the program: #' + id + ' ' + differs);
      return null;
    },

    // What the player did on the form before the program listened (boot.js
    // kept it), done again in its order as the player did it: each edit puts
    // its field's text as the player left it, and is told to the program as
    // typing is, so that each press finds the fields as they were when it
    // came. What was typed after the last press stays.
    replay: function (form) {
      var early = window.lottoEarly;
      window.lottoEarly = null;
      early.forEach(function (step) {
        var element = step.button || step.field;
        if (form.closed || !element.isConnected) return;
        if (step.button) {
          element.click();
        } else {
          element.value = step.text;
          element.dispatchEvent(new Event('input', { bubbles: true }));
        }
      });
    },
  },

  // Takes the form's box from the page, with its frame, and beside it the
  // elements that say its marks and its status element; 0 where the page
  // lacks one or has it otherwise. The markup is the program's
  // description of the whole frame, read once, by which each control's
  // element is checked as it is adopted; the frame names the media query of
  // the touch layout.
  lotto_adoptWindow__deps: ['$LottoPage'],
  lotto_adoptWindow: function (markup, markupLength, target) {
    var description = document.createElement('template');
    description.innerHTML = LottoPage.text(markup, markupLength);
    var frame = description.content.firstElementChild;
    var id = frame.querySelector('.form').id;
    var element = document.getElementById(id);
    var voiceElement = document.getElementById(frame.querySelector(':scope > [role=status]').id);
    var beside = Array.prototype.slice.call(frame.children, 1);
    if (!element || !element.classList.contains('form') || beside.some(function (expected) {
      var found = document.getElementById(expected.id);
      return !found || found.parentElement !== element.parentElement || LottoPage.elementDiffers(found, expected, true);
    })) {
      console.error('The page has no form ' + id + ' as the program describes it.');
      return 0;
    }
    var form = {
      element: element, frame: element.parentElement, voice: voiceElement, described: description.content,
      touchQuery: frame.dataset.touch, order: [], shown: false, closed: false, wake: null, target: target,
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
  // its attributes and its text. 0 where the page differs. Its clicks and
  // the player's edits go to the program, which knows what each means.
  lotto_adoptControl__deps: ['$LottoPage'],
  lotto_adoptControl: function (formNumber, id, idLength, target) {
    var element = LottoPage.adopted(LottoPage.objects[formNumber], LottoPage.text(id, idLength));
    if (!element) return 0;
    var control = { element: element,
                    text: element.localName === 'input' ? null : element.querySelector('.caption') || element };
    element.addEventListener('click', function () { _lotto_click(target); });
    // The player's typing, pasting, cutting and undoing, never the program's
    // own value.
    element.addEventListener('input', function () { _lotto_edited(target); });
    return LottoPage.add(control);
  },

  // Takes the ticket's grid from the page, as the program describes it, and
  // the ticket's parts by their classes: its fields, the button that plays
  // it and the fields of the draw and the result, for Enter and for bringing
  // a result into view. The grid is a tab stop where it stands on the page.
  // 0 where the page differs.
  lotto_adoptNumberGrid__deps: ['$LottoPage', '$LottoLayout'],
  lotto_adoptNumberGrid: function (formNumber, id, idLength, target) {
    var form = LottoPage.objects[formNumber];
    id = LottoPage.text(id, idLength);
    var element = document.getElementById(id);
    var differs = !element || element.parentElement !== form.element ? 'is not in the form'
                : LottoPage.elementDiffers(element, form.described.getElementById(id), true);
    if (differs) {
      console.error('The page does not match the program: #' + id + ' ' + differs);
      return 0;
    }
    var grid = { element: element, numbers: Array.from(element.querySelectorAll('button')),
                 note: element.querySelector('.note') };
    grid.stop = grid.numbers[0];
    grid.numbers.forEach(function (button) {
      button.addEventListener('click', function () {
        LottoPage.numberGridStop(grid, button);
        _lotto_numberGridTap(target, Number(button.value));
      });
    });
    element.addEventListener('keydown', function (event) { LottoPage.onNumberGridKey(grid, event); });
    element.addEventListener('focusin', function (event) { LottoPage.numberGridStop(grid, event.target); });
    var parts = function (selector) { return Array.from(form.element.querySelectorAll(selector)); };
    form.ticket = { fields: parts('.ticket'), play: parts('.play')[0], result: parts('.draw, .result') };
    // After the program's own handler, which has drawn by then.
    form.ticket.play.addEventListener('click', function () { LottoPage.revealResult(form); });
    var after = form.order.findIndex(function (stop) {
      return element.compareDocumentPosition(stop) & Node.DOCUMENT_POSITION_FOLLOWING;
    });
    form.order.splice(after < 0 ? form.order.length : after, 0, grid);
    return LottoPage.add(grid);
  },

  // Makes the part of the form's long task from the program's description
  // and puts it after the form's box, with its choice, buttons, progress,
  // texts and table, whose data cells it keeps row by row. Its choice and
  // buttons are tab stops after the form's. 0 where the page has an element
  // of one of its ids already.
  lotto_makeTaskPart__deps: ['$LottoPage'],
  lotto_makeTaskPart: function (formNumber, markup, markupLength, target) {
    var form = LottoPage.objects[formNumber];
    var description = document.createElement('template');
    description.innerHTML = LottoPage.text(markup, markupLength);
    var element = description.content.firstElementChild;
    var taken = [element].concat(Array.from(element.querySelectorAll('[id]'))).find(function (made) {
      return document.getElementById(made.id);
    });
    if (taken) {
      console.error('The page does not match the program: #' + taken.id + ' is there already');
      return 0;
    }
    form.element.after(element);
    var part = {
      element: element, form: form, running: false, frame: 0,
      choice: element.querySelector('select'), start: element.querySelector('.start'),
      stop: element.querySelector('.stop'), progress: element.querySelector('progress'),
      tally: element.querySelector('.tally'), note: element.querySelector('.note'),
      cells: Array.from(element.querySelectorAll('tbody tr'), function (row) {
        return Array.from(row.querySelectorAll('td'));
      }),
    };
    part.start.addEventListener('click', function () { _lotto_taskStart(target, part.choice.selectedIndex); });
    part.stop.addEventListener('click', function () { _lotto_taskStop(target); });
    element.addEventListener('keydown', function (event) { LottoPage.onKey(form, event); });
    form.order.push(part.choice, part.start, part.stop);
    form.task = part;
    // Each frame, slices until the frame's time is spent, each of as many
    // steps as fill the time left at the rate measured in this run; before
    // a slice took long enough to be measured (a browser's clock may count
    // whole milliseconds), eight times the steps of the last.
    part.run = function () {
      part.frame = 0;
      var start = performance.now(), now = start;
      while (part.running && !form.closed && now - start < LottoPage.taskFrameTime) {
        var left = LottoPage.taskFrameTime - (now - start);
        var steps = part.rate ? Math.max(1, Math.floor(part.rate * left)) : part.probe;
        if (_lotto_taskSlice(target, steps)) return;  // done: the program has ended the run
        var took = performance.now() - now;
        now += took;
        if (took >= 2) part.rate = steps / took;
        else if (!part.rate) part.probe = Math.min(steps * 8, 1e12);
      }
      if (part.running && !form.closed) part.frame = requestAnimationFrame(part.run);
    };
    return LottoPage.add(part);
  },

  // While the task runs, one frame's slices before each frame the page
  // paints; the choice and the start button wait, and the focus goes from
  // the button that closes to the one that opens.
  lotto_runTask__deps: ['$LottoPage'],
  lotto_runTask: function (partNumber, running) {
    var part = LottoPage.objects[partNumber];
    var focus = document.activeElement;
    part.running = !!running;
    part.choice.disabled = part.start.disabled = part.running;
    part.stop.disabled = !part.running;
    if (focus === (part.running ? part.start : part.stop)) (part.running ? part.stop : part.start).focus();
    if (part.running && !part.frame) {
      part.rate = 0;
      part.probe = 1;
      part.frame = requestAnimationFrame(part.run);
    }
    if (!part.running) {
      cancelAnimationFrame(part.frame);
      part.frame = 0;
    }
  },

  // A share below 0: the end is not known, the progress is under way.
  lotto_showTaskProgress__deps: ['$LottoPage'],
  lotto_showTaskProgress: function (partNumber, share, text, length) {
    var part = LottoPage.objects[partNumber];
    if (share < 0) part.progress.removeAttribute('value');
    else part.progress.value = share;
    part.tally.textContent = LottoPage.text(text, length);
  },

  // Each frame shows every cell: only a text that changed is written.
  lotto_showTaskCell__deps: ['$LottoPage'],
  lotto_showTaskCell: function (partNumber, row, column, text, length) {
    var cell = LottoPage.objects[partNumber].cells[row][column];
    text = LottoPage.text(text, length);
    if (cell.textContent !== text) cell.textContent = text;
  },

  // The note is the part's status element: said once, politely.
  lotto_showTaskNote__deps: ['$LottoPage'],
  lotto_showTaskNote: function (partNumber, note, length) {
    LottoPage.objects[partNumber].note.textContent = LottoPage.text(note, length);
  },

  lotto_showNumber__deps: ['$LottoPage'],
  lotto_showNumber: function (gridNumber, number, chosen, look, lookLength, describedBy, describedByLength) {
    var grid = LottoPage.objects[gridNumber];
    var button = LottoPage.numberGridButton(grid, number);
    button.setAttribute('aria-pressed', chosen ? 'true' : 'false');
    LottoPage.showMark(button, LottoPage.text(look, lookLength), LottoPage.text(describedBy, describedByLength));
  },

  lotto_showNumberGridNote__deps: ['$LottoPage'],
  lotto_showNumberGridNote: function (gridNumber, note, length) {
    LottoPage.objects[gridNumber].note.textContent = LottoPage.text(note, length);
  },

  // The control's aria-label, as the program decides it; none for an empty one.
  lotto_setSpokenName__deps: ['$LottoPage'],
  lotto_setSpokenName: function (controlNumber, name, length) {
    var element = LottoPage.objects[controlNumber].element;
    var label = LottoPage.text(name, length);
    if (label) element.setAttribute('aria-label', label);
    else element.removeAttribute('aria-label');
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
  // somewhere already; the page stays at its top. What the player did before
  // the program listened (boot.js) is carried out once it waits for events.
  lotto_showWindow__deps: ['$LottoPage', '$LottoLayout'],
  lotto_showWindow: function (formNumber) {
    var form = LottoPage.objects[formNumber];
    form.described = null;  // every control is adopted by now
    form.shown = true;
    form.closed = false;
    if (!form.frame.isConnected) (document.querySelector('main') || document.body).append(form.frame);
    var focus = document.activeElement;
    if (form.order.length && (!focus || focus === document.body)) form.order[0].focus({ preventScroll: true });
    LottoLayout.watchScreen(form);
  },

  lotto_closeWindow__deps: ['$LottoPage'],
  lotto_closeWindow: function (formNumber) {
    var form = LottoPage.objects[formNumber];
    form.closed = true;
    if (form.task) cancelAnimationFrame(form.task.frame);
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
      if (window.lottoEarly) setTimeout(LottoPage.replay, 0, form);
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

  lotto_setMark__deps: ['$LottoPage'],
  lotto_setMark: function (controlNumber, look, lookLength, describedBy, describedByLength) {
    LottoPage.showMark(LottoPage.objects[controlNumber].element, LottoPage.text(look, lookLength),
                       LottoPage.text(describedBy, describedByLength));
  },

  // Takes the element that says what the window says of a control (the
  // line of the ticket's outcome) from the page, as the program describes
  // it; 0 where the page differs.
  lotto_adoptDescription__deps: ['$LottoPage'],
  lotto_adoptDescription: function (formNumber, id, idLength) {
    var element = LottoPage.adopted(LottoPage.objects[formNumber], LottoPage.text(id, idLength));
    return element ? LottoPage.add({ element: element }) : 0;
  },

  lotto_setDescription__deps: ['$LottoPage'],
  lotto_setDescription: function (controlNumber, descriptionNumber, text, length, describedBy, describedByLength) {
    LottoPage.objects[descriptionNumber].element.textContent = LottoPage.text(text, length);
    LottoPage.describe(LottoPage.objects[controlNumber].element, LottoPage.text(describedBy, describedByLength));
  },

  lotto_setText__deps: ['$LottoPage'],
  lotto_setText: function (control, text, length) {
    LottoPage.setText(LottoPage.objects[control], LottoPage.text(text, length));
  },
});
