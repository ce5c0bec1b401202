// The browser's half of the web seam (system_web.cpp): the page's keys as SDL 1.2 key symbols,
// and a yield to the browser that, unlike a zero timeout, is never stretched to 4 ms.
mergeInto(LibraryManager.library, {
  $novuWeb: {
    queue: [],
    listening: false,
    named: {
      Backspace: 8, Tab: 9, Clear: 12, Enter: 13, Pause: 19, Escape: 27, Delete: 127,
      ArrowUp: 273, ArrowDown: 274, ArrowRight: 275, ArrowLeft: 276, Insert: 277, Home: 278,
      End: 279, PageUp: 280, PageDown: 281, NumLock: 300, CapsLock: 301, ScrollLock: 302,
      AltGraph: 313, Help: 315, PrintScreen: 316, ContextMenu: 319
    },
    // Right-hand symbol first, as SDL 1.2 numbers them; the Super keys the other way round.
    paired: { Shift: [303, 304], Control: [305, 306], Alt: [307, 308], Meta: [312, 311], OS: [312, 311] },
    keypad: {
      NumpadDecimal: 266, NumpadDivide: 267, NumpadMultiply: 268, NumpadSubtract: 269,
      NumpadAdd: 270, NumpadEnter: 271, NumpadEqual: 272
    },
    symbol: function(e) {
      var digit = /^(Numpad|Digit)([0-9])$/.exec(e.code);
      if (digit && digit[1] == 'Numpad') return 256 + Number(digit[2]);
      if (e.code in novuWeb.keypad) return novuWeb.keypad[e.code];
      if (e.key in novuWeb.paired) return novuWeb.paired[e.key][e.location == 2 ? 0 : 1];
      if (e.key in novuWeb.named) return novuWeb.named[e.key];
      var f = /^F([0-9]+)$/.exec(e.key);
      if (f && f[1] >= 1 && f[1] <= 15) return 281 + Number(f[1]);
      if (e.key.length != 1) return 0;
      // The unshifted key, as SDL 1.2 reports it: Shift+1 is still 1.
      if (digit) return 48 + Number(digit[2]);
      var c = e.key.toLowerCase().charCodeAt(0);
      return c < 256 ? c : 0;
    },
    onKey: function(e) {
      if (e.repeat) return;
      // The browser keeps its own shortcuts (reload, full screen, developer tools); every other
      // key is the demo's alone and must not scroll the page.
      if (!e.ctrlKey && !e.altKey && !e.metaKey && !/^F[0-9]+$/.test(e.key)) e.preventDefault();
      if (novuWeb.queue.length < 256) novuWeb.queue.push((e.type == 'keydown' ? 2 : 3) << 16 | novuWeb.symbol(e));
    }
  },

  novu_web_prepare_sdl__deps: ['$SDL'],
  novu_web_prepare_sdl: function() {
    Module['doNotCaptureKeyboard'] = true;
    // Two callback blocks queued ahead instead of five: the sound trails the picture by a quarter
    // of a second rather than half of one.
    Module['SDL_numSimultaneouslyQueuedBuffers'] = 2;
    // The converting blit writes every pixel it presents, opaque: reading the canvas back at each
    // lock, and making each pixel opaque again, would be wasted.
    SDL.defaults.discardOnLock = true;
    SDL.defaults.opaqueFrontBuffer = false;
  },

  novu_web_listen__deps: ['$novuWeb'],
  novu_web_listen: function(on) {
    if (!on == !novuWeb.listening) return;
    novuWeb.listening = !!on;
    var change = on ? 'addEventListener' : 'removeEventListener';
    window[change]('keydown', novuWeb.onKey);
    window[change]('keyup', novuWeb.onKey);
    novuWeb.queue = [];
  },

  novu_web_next_key__deps: ['$novuWeb'],
  novu_web_next_key: function() {
    return novuWeb.queue.length ? novuWeb.queue.shift() : 0;
  },

  novu_web_yield__deps: ['$callUserCallback', '$runtimeKeepalivePush', '$runtimeKeepalivePop'],
  novu_web_yield: function() {
    Asyncify.handleSleep(function(wakeUp) {
      var channel = new MessageChannel();
      {{{ runtimeKeepalivePush() }}}
      channel.port1.onmessage = function() {
        channel.port1.close();
        {{{ runtimeKeepalivePop() }}}
        callUserCallback(wakeUp);
      };
      channel.port2.postMessage(0);
    });
  }
});
