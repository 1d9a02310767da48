// The page's side of the window: it builds the elements the form's C++ asks
// for, paints what it is told, and reports the browser's events in the form's
// terms, one at a time. It decides nothing: texts, places, colours, the tab
// order and every rule come from the C++ side.
var kd = {
  els: [],
  entry: null,
  queue: Promise.resolve(),
  boxUp: false,
  ended: false,

  // Strings handed to C++: malloc'd UTF-8 behind their byte count. The
  // encoder writes a lone surrogate as U+FFFD, as the other windows read it.
  give(text) {
    const room = text.length * 3;
    const p = _malloc(room + 4);
    HEAPU32[p >> 2] = new TextEncoder().encodeInto(text, HEAPU8.subarray(p + 4, p + 4 + room)).written;
    return p;
  },

  // Nothing enters the form while one of its handlers waits for a box:
  // whatever the browser reports meanwhile runs after it, in order.
  run(step) {
    kd.queue = kd.queue.then(() => (kd.ended ? undefined : step())).catch((e) => console.error(e));
    return kd.queue;
  },
  call(name, ...args) {
    return Module.ccall(name, 'number', args.map(() => 'number'), args, { async: true });
  },

  setWindow(width, height, family, points, png) {
    const main = document.createElement('main');
    const win = document.createElement('div');
    main.id = 'kd-frame';
    win.id = 'kd-window';
    Object.assign(win.style, { width: width + 'px', height: height + 'px', fontFamily: family,
                               fontSize: points + 'pt' });
    kd.picture = 'url(' + URL.createObjectURL(new Blob([png], { type: 'image/png' })) + ')';
    const live = document.createElement('div');
    live.id = 'kd-live';
    live.className = 'kd-unseen';
    live.setAttribute('role', 'status');
    main.append(win);
    document.body.append(main, live);
    kd.frame = main;
    kd.win = win;
    kd.live = live;
    kd.size = [width, height];
    kd.fit();
    addEventListener('resize', kd.fit);
    // Served from a web server of one's own, the page installs as an app and keeps itself
    // for offline use; opened from disk it asks for nothing.
    if (location.protocol !== 'file:' && 'serviceWorker' in navigator) {
      const manifest = document.createElement('link');
      manifest.rel = 'manifest';
      manifest.href = 'manifest.webmanifest';
      document.head.append(manifest);
      navigator.serviceWorker.register('sw.js');
    }
    // Labels and the face never take the focus from where it is.
    win.addEventListener('mousedown', (e) => { if (e.target !== kd.entry) e.preventDefault(); });
    document.addEventListener('keydown', (e) => {
      if (e.key !== 'F1') return;
      e.preventDefault();
      if (!kd.boxUp) kd.run(() => kd.call('kd_help'));
    });
    document.addEventListener('visibilitychange', () => kd.run(() => kd.call('kd_visibilityChanged')));
    for (const query of ['(prefers-color-scheme: dark)', '(forced-colors: active)', '(prefers-contrast: more)']) {
      matchMedia(query).addEventListener('change', () => kd.run(() => kd.call('kd_schemeChanged')));
    }
  },

  // The fixed window scaled as one to fit the view, as a desktop's scaling would.
  fit() {
    const [w, h] = kd.size;
    const scale = Math.min(1, innerWidth / w, innerHeight / h);
    kd.win.style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
    kd.frame.style.width = w * scale + 'px';
    kd.frame.style.height = h * scale + 'px';
  },

  addControl(slot, kind, text, left, top, width, height, tabStop, wordWrap, bold, tip, namedBy) {
    const tag = ['input', 'button', 'label', 'output'][kind];
    const el = document.createElement(tag);
    el.id = 'kd' + slot;
    el.className = ['kd-entry', 'kd-button', 'kd-label', 'kd-label kd-band'][kind] + (wordWrap ? ' kd-wrap' : '');
    // Slots follow the layout's table, whose later control draws a pixel column two share, as
    // on the desktop; the elements themselves come in reading order.
    Object.assign(el.style, { left: left + 'px', top: top + 'px', width: width + 'px', height: height + 'px',
                              fontWeight: bold ? 'bold' : 'normal', zIndex: slot });
    el.title = tip;
    if (kind === 0) {
      // No suggestions from earlier visits: they would arrive past the keystroke filter.
      Object.assign(el, { type: 'text', value: text, inputMode: 'numeric', spellcheck: false, autocomplete: 'off' });
      el.setAttribute('autocapitalize', 'off');
      kd.entry = el;
      kd.wireEntry(el);
    } else {
      el.textContent = text;
    }
    if (kind === 1) {
      el.type = 'button';
      el.tabIndex = tabStop ? 0 : -1;
      el.addEventListener('click', (e) => {
        e.preventDefault();
        kd.run(async () => {
          if (document.activeElement === kd.entry && !(await kd.call('kd_mayLeaveEntryFor', slot))) return;
          await kd.call('kd_click', slot);
        });
      });
    }
    if (namedBy >= 0) {
      const namer = kd.els[namedBy];
      if (kind === 0) namer.htmlFor = el.id;
      else el.setAttribute('aria-labelledby', namer.id);
    }
    if (kind === 3) el.setAttribute('aria-live', 'off');
    kd.els[slot] = el;
    kd.win.append(el);
  },

  wireEntry(entry) {
    // Every way text arrives but a paste is typing, and goes through the
    // keystroke filter: keys, on-screen keyboards, autofill, drag and drop.
    entry.addEventListener('beforeinput', (e) => {
      let text;
      if (e.inputType === 'insertLineBreak' || e.inputType === 'insertParagraph') text = '\r';
      else if (e.inputType === 'insertText' || e.inputType === 'insertReplacementText' ||
               e.inputType === 'insertFromDrop')
        text = e.data ?? (e.dataTransfer ? e.dataTransfer.getData('text/plain') : '');
      else return; // a paste goes in as it is; deletions are Backspace's
      e.preventDefault();
      kd.type(text);
    });
    // A composition cannot be refused while it runs: its result is put back
    // and typed once it ends.
    entry.addEventListener('compositionstart', () => {
      kd.composing = [entry.value, entry.selectionStart, entry.selectionEnd];
    });
    entry.addEventListener('compositionend', (e) => {
      const [value, start, end] = kd.composing;
      entry.value = value;
      entry.setSelectionRange(start, end);
      kd.type(e.data || '');
    });
    entry.addEventListener('keydown', (e) => {
      if (e.isComposing) return;
      if (e.key === 'Enter') {
        e.preventDefault();
        kd.type('\r');
      } else if (e.key === 'Escape') {
        e.preventDefault();
        kd.type('\x1b');
      } else if (e.key === 'Tab' && !e.ctrlKey && !e.altKey) {
        e.preventDefault();
        const stops = [...kd.win.querySelectorAll('[tabindex="0"], input')];
        const target = stops[(stops.indexOf(entry) + (e.shiftKey ? stops.length - 1 : 1)) % stops.length];
        kd.run(async () => {
          if (await kd.call('kd_mayLeaveEntryFor', kd.els.indexOf(target))) target.focus();
        });
      } else if (e.ctrlKey && !e.altKey && !e.metaKey && /^[a-z[\\\]]$/i.test(e.key)) {
        // Ctrl with a letter types its control character, as in a classic edit.
        e.preventDefault();
        kd.type(String.fromCharCode(e.key.toUpperCase().charCodeAt(0) & 0x1f));
      }
    });
  },

  type(text) {
    if (!text) return;
    kd.run(async () => {
      const p = _malloc(text.length * 2);
      for (let i = 0; i < text.length; ++i) HEAPU16[(p >> 1) + i] = text.charCodeAt(i);
      try {
        await kd.call('kd_typed', p, text.length);
      } finally {
        _free(p);
      }
    });
  },
  insert(unit) {
    kd.entry.setRangeText(String.fromCharCode(unit), kd.entry.selectionStart, kd.entry.selectionEnd, 'end');
  },
  backspace() {
    const e = kd.entry;
    const start = e.selectionStart === e.selectionEnd ? Math.max(0, e.selectionStart - 1) : e.selectionStart;
    e.setRangeText('', start, e.selectionEnd, 'end');
  },

  valueOf(slot) {
    const el = kd.els[slot];
    return el === kd.entry ? el.value : el.textContent;
  },
  setValue(slot, text) {
    const el = kd.els[slot];
    if (el === kd.entry) el.value = text;
    else el.textContent = text;
  },
  // The caret goes to the end of the entry, where typing then adds, as in a classic edit.
  focus(slot) {
    const el = kd.els[slot];
    el.focus();
    if (el === kd.entry) el.setSelectionRange(el.value.length, el.value.length);
  },
  announce(text) {
    kd.live.textContent = '';
    kd.live.textContent = text;
  },
  decimalSeparator() {
    // Asked for every refusal; building a number format takes milliseconds.
    kd.format = kd.format || new Intl.NumberFormat();
    const part = kd.format.formatToParts(1.5).find((p) => p.type === 'decimal');
    return part ? part.value : '.';
  },

  // The scheme's own colours as the browser resolves them, and whether it asks for high contrast.
  scheme(out) {
    const probe = document.createElement('span');
    document.body.append(probe);
    const read = (property, colour) => {
      probe.style[property] = colour;
      const [r, g, b] = getComputedStyle(probe)[property].match(/\d+/g).map(Number);
      return (r << 16) | (g << 8) | b;
    };
    HEAP32.set([read('backgroundColor', 'ButtonFace'), read('color', 'ButtonText'),
                read('backgroundColor', 'Field'), read('color', 'FieldText'),
                matchMedia('(forced-colors: active), (prefers-contrast: more)').matches ? 1 : 0], out >> 2);
    probe.remove();
  },
  paint(entryRgb, bandRgb, picture) {
    const css = (rgb) => '#' + rgb.toString(16).padStart(6, '0');
    kd.entry.style.color = css(entryRgb);
    for (const band of kd.win.querySelectorAll('.kd-band')) band.style.color = css(bandRgb);
    kd.win.style.backgroundImage = picture ? kd.picture : 'none';
  },

  showBox(title, text, iconName, sign, exclamation, ok) {
    return new Promise((resolve) => {
      const box = document.createElement('dialog');
      box.setAttribute('role', 'alertdialog');
      box.setAttribute('aria-labelledby', 'kd-box-title');
      box.setAttribute('aria-describedby', 'kd-box-text');
      const head = document.createElement('h1');
      head.id = 'kd-box-title';
      head.textContent = title;
      const icon = document.createElement('span');
      icon.className = exclamation ? 'kd-icon kd-exclamation' : 'kd-icon';
      icon.setAttribute('role', 'img');
      icon.setAttribute('aria-label', iconName);
      icon.textContent = sign;
      const lines = document.createElement('div');
      lines.id = 'kd-box-text';
      for (const line of text.split('\r\n')) {
        const p = document.createElement('p');
        p.textContent = line;
        lines.append(p);
      }
      const button = document.createElement('button');
      button.textContent = ok;
      button.addEventListener('click', () => box.close());
      const body = document.createElement('div');
      body.className = 'kd-box-body';
      body.append(icon, lines);
      box.append(head, body, button);
      // Its one button keeps the focus, as in a desktop's message box.
      box.addEventListener('keydown', (e) => { if (e.key === 'Tab') e.preventDefault(); });
      box.addEventListener('mousedown', (e) => { if (e.target !== button) e.preventDefault(); });
      box.addEventListener('close', () => {
        box.remove();
        kd.boxUp = false;
        resolve();
      });
      document.body.append(box);
      kd.boxUp = true;
      box.showModal();
      button.focus();
    });
  },

  end(ended, startAgain) {
    kd.ended = true;
    window.close();
    // A page the browser did not open for a script stays: it says so and offers a new start.
    kd.frame.remove();
    const main = document.createElement('main');
    const p = document.createElement('p');
    const again = document.createElement('button');
    p.textContent = ended;
    again.textContent = startAgain;
    again.addEventListener('click', () => location.reload());
    main.append(p, again);
    document.body.append(main);
    again.focus();
  },
};
