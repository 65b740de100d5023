// The modal message: one dialog of the page's own, with the title, the text as
// it is (never read as markup) and OK. Return and Escape close it, and the
// focus goes back to where it was; messages that come while one is open wait
// their turn.
mergeInto(LibraryManager.library, {
  $LottoDialog__deps: ['$LottoPage'],
  $LottoDialog: {
    messages: [],  // waiting while another message is open

    dialog: function () {
      if (LottoDialog.element) return LottoDialog.element;
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
        var focus = LottoDialog.returnFocus;
        LottoDialog.returnFocus = null;
        if (focus && focus.isConnected) focus.focus();
        LottoDialog.next();
      });
      return LottoDialog.element = dialog;
    },

    next: function () {
      var next = LottoDialog.messages.shift();
      if (!next) return;
      var dialog = LottoDialog.dialog();
      dialog.querySelector('.title').textContent = next.title;
      dialog.querySelector('p').textContent = next.message;
      LottoDialog.returnFocus = document.activeElement;
      dialog.showModal();
      dialog.querySelector('button').focus();
    },
  },

  lotto_showMessage__deps: ['$LottoPage', '$LottoDialog'],
  lotto_showMessage: function (title, titleLength, message, messageLength) {
    LottoDialog.messages.push({ title: LottoPage.text(title, titleLength),
                                message: LottoPage.text(message, messageLength) });
    if (!LottoDialog.element || !LottoDialog.element.open) LottoDialog.next();
  },
});
