// The page around the game: starts the program, shows what it says when it
// ends, and keeps the site for offline play.
'use strict';

(function () {
  var canvas = document.getElementById('canvas');
  var screen = canvas.parentElement;
  var loading = document.getElementById('loading');
  var ended = document.getElementById('ended');
  var notice = document.getElementById('storage-notice');
  var resumeHint = document.getElementById('resume-hint');
  var watch = document.getElementById('watch');
  var pauseButton = document.getElementById('pause');

  // ?seed=N starts every run of this page from a known seed, as --seed does;
  // ?verify=FILE replays FILE (from this site) without playing and prints
  // its score and digest, as --verify does.
  var params = new URLSearchParams(location.search);
  var args = [];
  if (params.has('seed')) args.push('--seed', params.get('seed'));
  var verifying = params.get('verify');
  var verifyPath = '/verify.replay';
  var lastLine = '';
  if (verifying !== null) args.push('--verify', verifyPath);

  // The largest 4:3 box that fits beside the page's title and hints, or on a
  // small or touch screen the whole window's.
  function fit() {
    var width = document.documentElement.clientWidth;
    var height = document.documentElement.clientHeight;
    var compact = width < 700 || height < 560 || matchMedia('(pointer: coarse)').matches;
    document.body.classList.toggle('compact', compact);
    var main = document.querySelector('main');
    var style = getComputedStyle(main);
    // The padding keeps clear of a phone's notch and rounded corners.
    var roomWidth = width - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
    var roomHeight = height - parseFloat(style.paddingTop) - parseFloat(style.paddingBottom);
    if (!compact) {
      var gap = parseFloat(style.rowGap) || 0;
      Array.prototype.forEach.call(main.children, function (child) {
        if (child === screen || child.offsetParent === null) return;
        if (getComputedStyle(child).position === 'absolute') return;
        roomHeight -= child.getBoundingClientRect().height + gap;
      });
    }
    var border = compact ? 0 : 2 * (parseFloat(getComputedStyle(screen).borderTopWidth) || 0);
    var boxWidth = Math.max(4, Math.floor(Math.min(roomWidth - border, ((roomHeight - border) * 4) / 3)));
    screen.style.width = boxWidth + 'px';
    screen.style.height = Math.round((boxWidth * 3) / 4) + 'px';
  }
  // Added before the game's own listener, which sizes its window to the
  // canvas's new size: this runs first. A rotation fires a resize too.
  window.addEventListener('resize', fit);
  fit();

  // The game's keys, pressed on the player's behalf.
  function key(type, code, name) {
    window.dispatchEvent(new KeyboardEvent(type, { code: code, key: name, bubbles: true }));
  }

  // Touch: the last finger still down moves the ship, up in the upper half
  // of the game and down in the lower half, holding W or S and nothing else
  // (a finger still steering when the ship dies must not leave the game-over
  // screen). A finger lifted soon after it landed was a tap: a tap presses
  // Space, which starts a game or leaves the game-over screen. A key is held
  // for at least a tenth of a second, so a quick tap spans a whole frame.
  var TAP_MS = 300;
  var fingers = [];
  var held = {};
  // While the game is paused a tap is a click where it landed, which chooses
  // the menu's line there, and nothing else: the fingers that touched the
  // paused game neither steer nor tap.
  var paused = false;
  var choosing = [];
  // A key is let go only once the game has drawn a frame with it down (two
  // animation frames have passed): a slow frame on a busy phone would
  // otherwise take in the press and the release together and see neither.
  function afterFrame(then) {
    requestAnimationFrame(function () {
      requestAnimationFrame(then);
    });
  }
  function press(code, name, down) {
    var state = held[code];
    if (down) {
      if (state && state.down) {
        // Pressed again while still down (a finger moved, another landed):
        // the hold starts over and any release on the way is called off.
        if (state.release) clearTimeout(state.release);
        state.release = null;
        state.wanted = false;
        state.since = performance.now();
        return;
      }
      key('keydown', code, name);
      var pressed = { down: true, since: performance.now(), seen: false, wanted: false, release: null, again: false };
      held[code] = pressed;
      afterFrame(function () {
        pressed.seen = true;
        if (pressed.wanted) letGo(code, name, pressed);
      });
      return;
    }
    if (!state || !state.down || state.release || state.wanted) return;
    state.release = setTimeout(
      function () {
        state.release = null;
        state.wanted = true;
        if (state.seen) letGo(code, name, state);
      },
      Math.max(0, 100 - (performance.now() - state.since)),
    );
  }
  function letGo(code, name, state) {
    if (held[code] !== state || !state.down) return;
    state.down = false;
    key('keyup', code, name);
    // Tapped again while it was down: a fresh press, once the game has seen it up.
    if (state.again)
      afterFrame(function () {
        tap(code, name);
      });
  }
  // One press and release of a key: each tap is a press of its own, even
  // while an earlier tap still holds the key.
  function tap(code, name) {
    var state = held[code];
    if (state && state.down) {
      state.again = true;
      press(code, name, false);
      return;
    }
    press(code, name, true);
    press(code, name, false);
  }
  // The game reads the mouse's buttons once a frame: the button stays down
  // until the game has drawn a frame with it down.
  function click(x, y) {
    var at = { clientX: x, clientY: y, button: 0, bubbles: true, cancelable: true, view: window };
    canvas.dispatchEvent(new MouseEvent('mousemove', at));
    canvas.dispatchEvent(new MouseEvent('mousedown', Object.assign({ buttons: 1 }, at)));
    afterFrame(function () {
      canvas.dispatchEvent(new MouseEvent('mouseup', Object.assign({ buttons: 0 }, at)));
    });
  }
  function steer() {
    var last = fingers[fingers.length - 1];
    var box = canvas.getBoundingClientRect();
    var upper = last && last.y < box.top + box.height / 2;
    press('KeyW', 'w', !!last && upper);
    press('KeyS', 's', !!last && !upper);
  }
  function touched(event) {
    // A touchcancel cannot be cancelled; asking only draws a console warning.
    if (event.cancelable) event.preventDefault();
    Array.prototype.forEach.call(event.changedTouches, function (touch) {
      if (event.type === 'touchstart' && paused) {
        choosing.push(touch.identifier);
        click(touch.clientX, touch.clientY);
        return;
      }
      if (choosing.indexOf(touch.identifier) >= 0) {
        if (event.type !== 'touchmove') choosing.splice(choosing.indexOf(touch.identifier), 1);
        return;
      }
      if (event.type === 'touchstart') {
        fingers.push({ id: touch.identifier, y: touch.clientY, since: performance.now() });
        return;
      }
      fingers = fingers.filter(function (finger) {
        if (finger.id !== touch.identifier) return true;
        finger.y = touch.clientY;
        if (event.type === 'touchmove') return true;
        if (event.type === 'touchend' && performance.now() - finger.since < TAP_MS) tap('Space', ' ');
        return false;
      });
    });
    steer();
  }
  ['touchstart', 'touchmove', 'touchend', 'touchcancel'].forEach(function (type) {
    canvas.addEventListener(type, touched, { passive: false });
  });

  // A hidden page counts as the game's window losing focus, as switching
  // away from the window does on the desktop.
  // A page shown again in a window that kept the focus hears no focus event
  // of its own: the game is told, or it would take every key from then on
  // for one held while it was away.
  document.addEventListener('visibilitychange', function () {
    if (document.hidden) {
      window.dispatchEvent(new FocusEvent('blur'));
    } else if (document.hasFocus()) {
      window.dispatchEvent(new FocusEvent('focus'));
    }
  });

  function showEnd(text) {
    document.getElementById('ended-text').textContent = text;
    loading.hidden = true;
    ended.hidden = false;
    offerPause();
    document.getElementById('again').focus();
  }

  // The game's keys must reach the game, not scroll the page. Once the game
  // has ended they are the page's again (Space presses "Play again").
  var gameKeys = [' ', 'w', 'W', 's', 'S', 'Escape'];
  window.addEventListener('keydown', function (event) {
    if (ended.hidden && gameKeys.indexOf(event.key) >= 0) event.preventDefault();
  });
  // A key the browser repeats is no new press, but SDL forgets every key
  // when the page loses the focus: the repeats of a key held while the
  // player switched away and back would reach the game as a fresh press.
  // The game reads which keys are down, never their repeats, so repeats
  // stop here, before SDL's listener (and still scroll nothing).
  window.addEventListener(
    'keydown',
    function (event) {
      if (!event.repeat) return;
      if (ended.hidden && gameKeys.indexOf(event.key) >= 0) event.preventDefault();
      event.stopImmediatePropagation();
    },
    true,
  );
  canvas.addEventListener('mousedown', function () {
    canvas.focus();
  });
  document.getElementById('again').addEventListener('click', function () {
    location.reload();
  });
  // R watches the best run; the offer presses it, and is shown only where
  // R works: a best run is kept, and the game says its key works now.
  var bestRunKept = false;
  var bestRunOffered = false;
  function offerBestRun() {
    watch.hidden = verifying !== null || !bestRunKept || !bestRunOffered;
  }
  // The pause button stands for P while a run can be paused: the game has
  // started, is not paused, and is not on a screen that offers the best run.
  var started = false;
  function offerPause() {
    pauseButton.hidden = verifying !== null || !started || paused || bestRunOffered || !ended.hidden;
  }
  // Turned upright in the middle of a run, the phone hides the game behind
  // the request to turn it back: the run pauses rather than go on unseen.
  var upright = matchMedia('(pointer: coarse) and (orientation: portrait)');
  function turned() {
    if (upright.matches && !pauseButton.hidden) tap('KeyP', 'p');
  }
  if (upright.addEventListener) upright.addEventListener('change', turned);
  pauseButton.addEventListener('click', function () {
    canvas.focus();
    tap('KeyP', 'p');
  });
  watch.addEventListener('click', function () {
    canvas.focus();
    tap('KeyR', 'r');
  });

  window.Module = {
    canvas: canvas,
    arguments: args,
    print: function (text) {
      lastLine = text;
      console.log(text);
    },
    printErr: function (text) {
      lastLine = text;
      console.error(text);
    },
    onRuntimeInitialized: function () {
      loading.hidden = true;
      canvas.focus();
    },
    // Storage is missing, blocked or full: the record lives only in memory.
    onStorageFailure: function () {
      notice.hidden = false;
    },
    // Storage that was slow to answer has answered after all.
    onStorageBack: function () {
      notice.hidden = true;
    },
    // The game's window is open at the canvas's size.
    onGameStarted: function () {
      document.body.classList.add('fitted');
      started = true;
      offerPause();
    },
    onPauseChanged: function (isPaused) {
      paused = isPaused;
      resumeHint.hidden = !paused;
      offerPause();
    },
    onBestRunOffered: function (offered) {
      if (offered === bestRunOffered) return;
      bestRunOffered = offered;
      offerBestRun();
      offerPause();
    },
    // The replay of the best run is kept beside the record.
    onCompanionsChanged: function (names) {
      bestRunKept = names.indexOf('highscore.replay') >= 0;
      offerBestRun();
    },
    // A program that ends refusing (an unusable ?seed=, a replay that does
    // not verify) has said why in its last line.
    onExit: function (status) {
      showEnd(verifying !== null || status !== 0 ? lastLine : 'The game has ended.');
    },
    onAbort: function () {
      showEnd('The game stopped because of an error.');
    },
  };

  function loadGame() {
    var script = document.createElement('script');
    script.src = 'zap207.js';
    document.body.appendChild(script);
  }

  // The replay to verify is fetched before the program is loaded: one that
  // cannot be had is no run of the program, and the page says why.
  function fetchReplay() {
    return Promise.resolve()
      .then(function () {
        var from = new URL(verifying, location.href);
        if (from.origin !== location.origin) throw new Error('only a replay from this site is verified');
        return fetch(from);
      })
      .then(function (response) {
        if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
        return response.arrayBuffer();
      });
  }
  if (verifying === null) {
    loadGame();
  } else {
    fetchReplay().then(
      function (bytes) {
        Module.pageFiles = {};
        Module.pageFiles[verifyPath] = new Uint8Array(bytes);
        loadGame();
      },
      function (error) {
        var reason = 'Cannot verify ' + verifying + ': ' + ((error && error.message) || error);
        console.error(reason);
        showEnd(reason);
      },
    );
  }
  canvas.focus();
})();

// After one visit the game plays with no network (sw.js keeps the files).
if ('serviceWorker' in navigator && location.protocol !== 'file:') {
  window.addEventListener('load', function () {
    navigator.serviceWorker.register('sw.js').catch(function (error) {
      console.warn('The game will not play offline: ' + error);
    });
  });
}
