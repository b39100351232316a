// The browser game on a phone and as an installed app: the canvas fits the
// screen in portrait and landscape, touches play the game, the page can be
// installed, and after one visit it plays with no network. Needs the site in
// dist/web/ (scripts/build-web.sh).
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { describe, test } = require('node:test');

const { serve } = require('../../web/serve.js');
const {
  useSite,
  SITE,
  KEEP,
  SHIP,
  WHITE,
  WHOLE,
  sleep,
  waitFor,
  screenUntil,
  isTitleScreen,
  assertTitleScreen,
} = require('./browser.js');
const { colourMaskDifference, countColour, decodePng } = require('./png.js');

const PHONE = { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true, deviceScaleFactor: 3 };

// Ship pixels in a band of rows around y.
function shipNear(image, y) {
  return countColour(image, { x: 70, y: Math.max(0, y - 40), w: 60, h: 80 }, SHIP);
}

// Where the ship is now: the middle of the band positions that hold nearly all
// of its pixels (a stray pixel of the same colour must not tip it a band over).
function shipRow(image) {
  const counts = [];
  for (let y = 40; y <= 560; y += 10) counts.push({ y, count: shipNear(image, y) });
  const most = Math.max(...counts.map((at) => at.count));
  if (most === 0) return -1;
  const near = counts.filter((at) => at.count >= most * 0.95);
  return near.reduce((sum, at) => sum + at.y, 0) / near.length;
}

// Fingers on the game's canvas, each landed or lifted on its own: touch
// events made in the page, as the protocol gives no way to lift one finger of
// two. `changed` and `down` list [id, fraction of the height] pairs.
function touch(tab, box, type, changed, down) {
  return tab.page.evaluate(
    ([kind, lifted, held, at]) => {
      const canvas = document.getElementById('canvas');
      const make = ([id, fraction]) =>
        new Touch({
          identifier: id,
          target: canvas,
          clientX: at.x + at.width * 0.6,
          clientY: at.y + at.height * fraction,
        });
      canvas.dispatchEvent(
        new TouchEvent(kind, {
          bubbles: true,
          cancelable: true,
          view: window,
          touches: held.map(make),
          changedTouches: lifted.map(make),
        }),
      );
    },
    [type, changed, down, box],
  );
}

// A run is on: the whole ship is in its column. A tap in the lower half also
// holds S, and on a slow machine the frames it is held for can take the ship
// well away from where it starts.
const shipInPlay = (image) => shipNear(image, shipRow(image)) > 40;

describe('the game on a phone and as an app', () => {
  const context = useSite();
  const openBrowser = (...args) => context.openBrowser(...args);

  // The canvas's place on the page and whether the page can scroll.
  function layout(tab) {
    return tab.page.evaluate(() => {
      const box = document.getElementById('canvas').getBoundingClientRect();
      const root = document.documentElement;
      return {
        x: box.x,
        y: box.y,
        width: box.width,
        height: box.height,
        viewWidth: root.clientWidth,
        viewHeight: root.clientHeight,
        scrolls: root.scrollHeight > root.clientHeight || root.scrollWidth > root.clientWidth,
      };
    });
  }

  test('on a phone the page asks to be turned in portrait, and the game fills the height in landscape, without scrolling', async () => {
    const { tab } = await openBrowser({ device: PHONE });
    let box = await layout(tab);
    assert.ok(box.width >= box.viewWidth - 1 && box.width <= box.viewWidth, `portrait width ${box.width}`);
    assert.ok(Math.abs(box.height - (box.width * 3) / 4) < 1, 'not 4:3');
    assert.ok(box.y >= 0 && box.y + box.height <= box.viewHeight);
    assert.equal(box.scrolls, false, 'the page scrolls');
    // Sharp: the game draws one pixel for each of the screen's.
    const sharp = async () => {
      const size = await tab.canvasSize();
      return (
        size.width === Math.floor(size.shownWidth * PHONE.deviceScaleFactor) &&
        size.height === Math.floor(size.shownHeight * PHONE.deviceScaleFactor)
      );
    };
    assert.ok(await sharp(), `the canvas is ${JSON.stringify(await tab.canvasSize())}`);
    assertTitleScreen(await tab.screen('phone-portrait-title'), 'in portrait');
    // Below the game, the page says what a finger does; in landscape it has no room.
    const hints = () =>
      tab.page.evaluate(() => {
        const list = document.getElementById('touch-keys');
        return list.offsetParent === null ? null : list.getBoundingClientRect();
      });
    const below = await hints();
    assert.ok(
      below && below.y >= box.y + box.height && below.y + below.height <= box.viewHeight,
      `the touch hints are at ${JSON.stringify(below)}, the game at ${JSON.stringify(box)}`,
    );
    // Upright, the page asks for the phone to be turned, over the whole window.
    const turn = tab.page.locator('#turn');
    assert.ok(await turn.isVisible(), 'no request to turn the phone in portrait');
    const cover = await turn.boundingBox();
    assert.ok(
      cover.width >= box.viewWidth && cover.height >= box.viewHeight,
      `the request covers ${JSON.stringify(cover)}`,
    );
    if (KEEP) await tab.page.screenshot({ path: path.join(KEEP, 'phone-portrait.png') });

    await tab.page.setViewportSize({ width: 844, height: 390 });
    await waitFor(async () => (await layout(tab)).height >= 389, 5000, 'the canvas does not follow the rotation');
    box = await layout(tab);
    assert.ok(box.height <= box.viewHeight && box.width <= box.viewWidth);
    assert.ok(Math.abs(box.width - (box.height * 4) / 3) < 1, 'not 4:3');
    assert.ok(Math.abs(box.x + box.width / 2 - box.viewWidth / 2) <= 1, 'not centred');
    assert.equal(box.scrolls, false, 'the page scrolls');
    await waitFor(sharp, 5000, `the canvas is ${JSON.stringify(await tab.canvasSize())} after the rotation`);
    // The game still draws its whole picture.
    assertTitleScreen(await tab.screen('phone-landscape-title'), 'in landscape');
    assert.equal(await hints(), null, 'touch hints shown over the game in landscape');
    assert.ok(await turn.isHidden(), 'the request to turn the phone stayed after the rotation');
    if (KEEP) await tab.page.screenshot({ path: path.join(KEEP, 'phone-landscape.png') });
    assert.deepEqual(tab.errors, []);
  });

  test('a tap starts the game and sound; a held finger steers, and the last finger down wins', async () => {
    const { tab } = await openBrowser({ device: { ...PHONE, viewport: { width: 844, height: 390 } } });
    const box = await layout(tab);
    const at = (fraction) => ({ x: box.x + box.width * 0.6, y: box.y + box.height * fraction });

    await tab.page.touchscreen.tap(at(0.5).x, at(0.5).y);
    await waitFor(async () => shipInPlay(await tab.screen('touch-playing')), 5000, 'no ship after a tap');
    const audio = await tab.page.evaluate(
      () => Module.SDL2 && Module.SDL2.audioContext && Module.SDL2.audioContext.state,
    );
    assert.equal(audio, 'running', 'sound did not start with the first touch');

    // A finger held through the DevTools protocol, as a touch screen sends it.
    const cdp = await tab.page.context().newCDPSession(tab.page);
    const point = (fraction) => ({ id: 1, ...at(fraction) });
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [point(0.15)] });
    const up = await waitFor(
      async () => {
        const row = shipRow(await tab.screen('touch-up'));
        return row < 260 && row;
      },
      10000,
      'a finger in the upper half did not move the ship up',
    );
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    await cdp.detach();

    const fingers = (...args) => touch(tab, box, ...args);
    await fingers('touchstart', [[1, 0.15]], [[1, 0.15]]);
    await fingers(
      'touchstart',
      [[2, 0.85]],
      [
        [1, 0.15],
        [2, 0.85],
      ],
    );
    const down = await waitFor(
      async () => {
        const row = shipRow(await tab.screen('touch-down'));
        return row > up + 60 && row;
      },
      10000,
      'the second finger did not take over',
    );
    // Lifting it gives the ship back to the first.
    await fingers('touchend', [[2, 0.85]], [[1, 0.15]]);
    await waitFor(
      async () => shipRow(await tab.screen('touch-back-up')) < down - 60,
      10000,
      'the remaining finger did not steer',
    );
    await fingers('touchend', [[1, 0.15]], []);
    await sleep(500);
    const still = shipRow(await tab.screen('touch-still'));
    await sleep(500);
    assert.ok(
      Math.abs(shipRow(await tab.screen('touch-still-later')) - still) <= 10,
      'the ship moves with no finger down',
    );
    // "mouse pressed" would say a finger also counted as the mouse.
    assert.ok(!tab.log.includes('mouse pressed'));
    // A touch the browser takes over (a system gesture) is cancelled, which
    // nothing can prevent: neither the page nor SDL tries, so the console
    // stays quiet.
    const gesture = await tab.page.context().newCDPSession(tab.page);
    await gesture.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ id: 3, ...at(0.5) }] });
    await gesture.send('Input.dispatchTouchEvent', { type: 'touchCancel', touchPoints: [] });
    await gesture.detach();
    await tab.framesAndTime(100);
    assert.deepEqual(
      tab.log.filter((line) => /Ignored attempt/.test(line)),
      [],
    );
    // The pause button, a thumb's size, pauses the run and goes while it is paused.
    const pauseButton = tab.page.locator('#pause');
    const thumb = await pauseButton.boundingBox();
    assert.ok(thumb && thumb.width >= 44 && thumb.height >= 44, `the pause button is ${JSON.stringify(thumb)}`);
    await tab.page.touchscreen.tap(thumb.x + thumb.width / 2, thumb.y + thumb.height / 2);
    await tab.page.locator('#resume-hint').waitFor({ state: 'visible' });
    await pauseButton.waitFor({ state: 'hidden' });
    assert.deepEqual(tab.errors, []);
  });

  test('a finger still steering when the ship dies leaves the game-over screen up', async () => {
    const { tab } = await openBrowser({ device: { ...PHONE, viewport: { width: 844, height: 390 } } });
    const box = await layout(tab);
    await tab.page.touchscreen.tap(box.x + box.width * 0.6, box.y + box.height * 0.5);
    await waitFor(async () => shipInPlay(await tab.screen('dying-playing')), 5000, 'no ship after a tap');
    // Held until long after the end: only a tap leaves the game-over screen.
    await touch(tab, box, 'touchstart', [[1, 0.15]], [[1, 0.15]]);
    const gameOver = (image) =>
      countColour(image, { x: 50, y: 350, w: 600, h: 40 }, WHITE) > 300 && countColour(image, WHOLE, SHIP) === 0;
    await waitFor(async () => gameOver(await tab.screen('dying-game-over')), 90000, 'the run did not end');
    await tab.framesAndTime(1500);
    assert.ok(gameOver(await tab.screen('dying-still-over')), 'the held finger left the game-over screen');
    await touch(tab, box, 'touchend', [[1, 0.15]], []);
    await tab.page.touchscreen.tap(box.x + box.width * 0.6, box.y + box.height * 0.5);
    await screenUntil(tab, 'dying-title', (image) => !gameOver(image), 'a tap did not leave the game-over screen');
    assert.deepEqual(tab.errors, []);
  });

  // The caption in the middle of a paused game, white on the field.
  const CAPTION = { x: 200, y: 255, w: 400, h: 90 };
  const pausedCaption = (image) => countColour(image, CAPTION, WHITE) > 400;

  // Headless pages are never hidden: the page is told as a browser tells it.
  // Shown again in a window that kept the focus, the page hears no focus
  // event of its own: it tells the game the focus is back itself.
  const setHidden = (tab, hidden) =>
    tab.page.evaluate((value) => {
      Object.defineProperty(document, 'hidden', { value, configurable: true });
      Object.defineProperty(document, 'visibilityState', { value: value ? 'hidden' : 'visible', configurable: true });
      document.dispatchEvent(new Event('visibilitychange'));
    }, hidden);

  test('a hidden page pauses the run: a key held then no longer counts, and only P resumes', async () => {
    const { tab } = await openBrowser();
    await tab.hold('Space', 300);
    await waitFor(async () => shipNear(await tab.screen('hidden-playing'), 300) > 40, 5000, 'no game');
    assert.ok(!pausedCaption(await tab.screen('hidden-unpaused')), 'a caption before the pause');
    await tab.page.keyboard.down('w');
    await waitFor(async () => shipRow(await tab.screen('hidden-moving')) < 280, 5000, 'W did not move the ship');
    // Held through the switch away and back: pressed afresh, Space would
    // choose the menu's highlighted RESUME.
    await tab.page.keyboard.down('Space');
    await setHidden(tab, true);
    await waitFor(async () => pausedCaption(await tab.screen('hidden-paused')), 5000, 'no PAUSED caption');
    const stopped = shipRow(await tab.screen('hidden-stopped'));
    await setHidden(tab, false);
    // Back on the page, the browser repeats the keys still held.
    for (let repeat = 0; repeat < 3; repeat++) {
      await tab.page.keyboard.down('Space');
      await tab.page.keyboard.down('w');
      await tab.framesAndTime(100);
    }
    await tab.page.keyboard.up('Space');
    await tab.page.keyboard.up('w');
    await tab.framesAndTime(300);
    const later = await tab.screen('hidden-later');
    assert.ok(Math.abs(shipRow(later) - stopped) <= 10, `the paused ship moved: y ${stopped} then ${shipRow(later)}`);
    assert.ok(pausedCaption(later), 'a key held through the switch resumed the game');

    await tab.hold('p', 200);
    await waitFor(async () => !pausedCaption(await tab.screen('hidden-resumed')), 5000, 'P did not resume');
    assert.deepEqual(tab.errors, []);
  });

  // The paused game's menu: its highlighted line is framed by two white
  // lines across the panel. Returns the frame's top and bottom rows, or null.
  // A row of pixels is a line of the highlight's frame when it holds an
  // unbroken white run across most of the panel: a line of text never does.
  function whiteRun(image, y) {
    let longest = 0;
    let run = 0;
    for (let x = 100; x < 700; x++) {
      run = countColour(image, { x, y, w: 1, h: 1 }, WHITE) > 0 ? run + 1 : 0;
      longest = Math.max(longest, run);
    }
    return longest;
  }
  function menuFrame(image) {
    const lines = [];
    for (let y = 60; y < 580; y++) {
      if (whiteRun(image, y) > 300) lines.push(y);
    }
    return lines.length >= 2 ? { top: lines[0], bottom: lines[lines.length - 1] } : null;
  }
  // The values' column of the menu's second line, the music volume, inside
  // the frame that highlights it when it is chosen.
  const musicValue = (frame) => ({ x: 560, y: frame.bottom + 5, w: 120, h: frame.bottom - frame.top - 8 });
  // The first column of the music volume's text: a tap just right of it is
  // on the value's left half, which turns it down.
  function musicValueLeft(image, frame) {
    const band = musicValue(frame);
    for (let x = 400; x < 780; x++) {
      if (countColour(image, { x, y: band.y, w: 1, h: band.h }, WHITE) > 0) return x;
    }
    return -1;
  }

  test("on a touch screen a tap chooses the paused menu's line, Resume resumes, and the choice outlives a reload", async () => {
    const { tab } = await openBrowser(
      { device: { ...PHONE, viewport: { width: 844, height: 390 } } },
      `${context.site.url}?seed=4`,
    );
    const box = await layout(tab);
    const x = box.x + box.width * 0.6;
    // A place of the picture, in the page's pixels.
    const pageY = (y) => box.y + (box.height * y) / 600;
    const pause = async (name) => {
      await tab.page.evaluate(() => window.dispatchEvent(new FocusEvent('blur')));
      const image = await screenUntil(
        tab,
        name,
        (shown) => pausedCaption(shown) && menuFrame(shown),
        'losing focus did not pause with the menu up',
      );
      await tab.page.locator('#resume-hint').waitFor({ state: 'visible' });
      // The player is back: the window has the focus again, just before the tap.
      await tab.page.evaluate(() => window.dispatchEvent(new FocusEvent('focus')));
      return image;
    };
    await tab.page.touchscreen.tap(x, box.y + box.height * 0.5);
    await waitFor(async () => shipInPlay(await tab.screen('tap-playing')), 5000, 'no ship after a tap');
    assert.ok(await tab.page.locator('#resume-hint').isHidden(), 'a resume hint in play');

    // Resume is the highlighted line as the pause begins; the music volume is
    // the next. A tap on its value's left half moves the highlight there and
    // turns the volume down.
    const paused = await pause('tap-paused');
    const resume = menuFrame(paused);
    const pitch = resume.bottom - resume.top + 1;
    const valueX = musicValueLeft(paused, resume);
    assert.ok(valueX > 0, 'no music volume beside the highlighted line');
    await tab.page.touchscreen.tap(
      box.x + (box.width * (valueX + 4)) / 800,
      pageY((resume.top + resume.bottom) / 2 + pitch),
    );
    const turned = await screenUntil(
      tab,
      'tap-music',
      (shown) => {
        const frame = menuFrame(shown);
        return frame && frame.top > resume.top + pitch / 2;
      },
      'a tap on the music volume did not choose it',
    );
    assert.ok(colourMaskDifference(turned, paused, musicValue(resume), WHITE) > 20, 'the music volume did not change');
    assert.ok(pausedCaption(turned), 'a tap on a line resumed the run');

    // A finger held on Resume: the run resumes, and the finger that resumed it
    // does not steer up, however long it stays.
    const cdp = await tab.page.context().newCDPSession(tab.page);
    const onResume = pageY((resume.top + resume.bottom) / 2);
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ id: 1, x, y: onResume }] });
    const before = shipRow(
      await waitFor(
        async () => {
          const shown = await tab.screen('tap-resumed');
          return !pausedCaption(shown) && shown;
        },
        5000,
        'a tap on Resume did not resume',
      ),
    );
    await sleep(700);
    const held = await tab.screen('tap-held');
    // Paused again with that finger still down: another finger's tap on Resume resumes as well.
    await pause('tap-paused-again');
    const fraction = (onResume - box.y) / box.height;
    await touch(
      tab,
      box,
      'touchstart',
      [[5, fraction]],
      [
        [1, fraction],
        [5, fraction],
      ],
    );
    await touch(tab, box, 'touchend', [[5, fraction]], [[1, fraction]]);
    await waitFor(
      async () => !pausedCaption(await tab.screen('tap-resumed-again')),
      5000,
      'a second finger did not resume while the first was down',
    );
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    await cdp.detach();
    // Held all along, the finger would have taken the ship some 140 px up.
    assert.ok(Math.abs(shipRow(held) - before) <= 30, `the resuming finger steered: y ${before} then ${shipRow(held)}`);
    assert.ok(shipNear(held, before) > 40 && !pausedCaption(held), 'the run is not going on');
    assert.ok(await tab.page.locator('#resume-hint').isHidden(), 'the resume hint stayed');

    // The next finger steers again.
    const next = await tab.page.context().newCDPSession(tab.page);
    await next.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ id: 2, x, y: box.y + 5 }] });
    await waitFor(
      async () => shipRow(await tab.screen('tap-steer')) < before - 40,
      5000,
      'the next finger did not steer',
    );
    await next.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    await next.detach();

    // The volume chosen is kept in the browser and read again after a reload.
    await tab.page.waitForFunction(() => Module.vexaStorage.pending === 0);
    const stored = await tab.stored('settings.txt');
    assert.ok(stored && /^music_volume = 90$/m.test(stored.text), `the stored settings: ${stored && stored.text}`);
    await tab.page.reload();
    await tab.waitForFrames(10);
    await tab.page.touchscreen.tap(x, box.y + box.height * 0.5);
    await waitFor(async () => shipInPlay(await tab.screen('tap-reloaded')), 5000, 'no ship after a tap');
    const again = await pause('tap-paused-reloaded');
    assert.ok(
      colourMaskDifference(again, turned, musicValue(resume), WHITE) <= 10,
      'the music volume chosen was not kept over the reload',
    );
    assert.deepEqual(tab.errors, []);
  });

  test("on a phone the paused menu's rows stand a finger apart, a tap hits the row under it, and a long page scrolls", async () => {
    const { tab } = await openBrowser({ device: { ...PHONE, viewport: { width: 844, height: 390 } } });
    const box = await layout(tab);
    const pageY = (y) => box.y + (box.height * y) / 600;
    await tab.page.touchscreen.tap(box.x + box.width * 0.6, pageY(300));
    await waitFor(async () => shipInPlay(await tab.screen('rows-playing')), 5000, 'no ship after a tap');
    await tab.page.locator('#pause').tap();
    let shown = await screenUntil(tab, 'rows-paused', (image) => menuFrame(image), 'the pause button did not pause');
    const resume = menuFrame(shown);
    const pitch = resume.bottom - resume.top + 1;
    assert.ok((pitch * box.height) / 600 >= 44, `rows ${(pitch * box.height) / 600} CSS px apart`);
    // The page's hint to tap RESUME stands beside the game, hiding none of the menu.
    await tab.page.locator('#resume-hint').waitFor({ state: 'visible' });
    const hint = await tab.page.locator('#resume-hint').boundingBox();
    assert.ok(hint && hint.x + hint.width <= box.x, `the hint ${JSON.stringify(hint)} covers the game`);
    // A tap just inside a row's label, the highlight's left edge found on the page shown.
    const frameLeft = (image, frame) => {
      let left = 0;
      while (left < 400 && countColour(image, { x: left, y: frame.top, w: 50, h: 1 }, WHITE) < 50) left++;
      return left;
    };
    const tapRow = (image, y) =>
      tab.page.touchscreen.tap(box.x + (box.width * (frameLeft(image, menuFrame(image)) + 12)) / 800, pageY(y));
    // The sign of more rows below: the lowest white in the panel's middle column.
    const signBelow = (image) => {
      for (let y = 599; y > 0; y--) if (countColour(image, { x: 380, y, w: 40, h: 1 }, WHITE) > 0) return y;
      return -1;
    };

    // The first page does not fit at that pitch: a tap on the sign below its
    // rows scrolls them, the highlight staying in its slot on the next row.
    const sign = signBelow(shown);
    assert.ok(sign > resume.bottom + pitch, `no sign of more rows below the first (lowest white at ${sign})`);
    const resumeBand = { x: 100, y: resume.top + 2, w: 600, h: pitch - 4 };
    await tapRow(shown, sign);
    shown = await screenUntil(
      tab,
      'rows-scrolled',
      (image) => colourMaskDifference(image, shown, resumeBand, WHITE) > 100,
      'a tap on the sign of more rows did not scroll',
    );
    assert.equal(menuFrame(shown).top, resume.top, 'the highlight left its slot');

    // The accessibility page's rows only take the highlight where their labels
    // are: each tap just inside the row below the highlight, at its top edge or
    // its bottom, moves it there and no further.
    const mainLeft = frameLeft(shown, resume);
    // A release and the next press in one frame would make no new press.
    for (let i = 0; i < 5; i++) {
      await tab.hold('ArrowDown', 50);
      await tab.framesAndTime(50);
    }
    await tab.hold('Enter', 50);
    shown = await screenUntil(
      tab,
      'rows-accessibility',
      (image) => menuFrame(image) && frameLeft(image, menuFrame(image)) > mainLeft,
      'the accessibility page did not open',
    );
    for (let tap = 0; tap < 2; tap++) {
      const before = menuFrame(shown);
      const inside = tap % 2 === 0 ? 3 : pitch - 4;
      await tapRow(shown, before.bottom + inside);
      shown = await screenUntil(
        tab,
        `rows-tap-${tap}`,
        (image) => menuFrame(image) && menuFrame(image).top !== before.top,
        `tap ${tap} moved nothing`,
      );
      const moved = menuFrame(shown).top - before.top;
      assert.ok(Math.abs(moved - pitch) <= 1, `tap ${tap} moved the highlight ${moved} px`);
    }
    assert.deepEqual(tab.errors, []);
  });

  // A controller as the Gamepad API reports one in the standard layout
  // (0 A, 9 Start, 12 and 13 the D-pad's up and down; axis 1 the left stick's
  // vertical). Plugged in before the page loads; window.vexaPad(buttons, axes)
  // holds those buttons down and tilts those axes, letting go of the rest.
  function stubGamepad() {
    const pad = {
      id: 'Test controller (STANDARD GAMEPAD)',
      index: 0,
      connected: true,
      mapping: 'standard',
      timestamp: 1,
      axes: [0, 0, 0, 0],
      buttons: [],
    };
    window.vexaPad = (held, axes = {}) => {
      pad.buttons = Array.from({ length: 17 }, (_, i) => {
        const down = held.includes(i);
        return { pressed: down, touched: down, value: down ? 1 : 0 };
      });
      pad.axes = [0, 1, 2, 3].map((i) => axes[i] || 0);
      pad.timestamp++;
    };
    window.vexaPad([]);
    Object.defineProperty(Navigator.prototype, 'getGamepads', {
      value: () => [pad, null, null, null],
      configurable: true,
    });
  }

  test('a standard controller plays: A starts, the D-pad and the stick steer, Start pauses and resumes', async () => {
    const { tab } = await openBrowser({ init: stubGamepad });
    const pad = (buttons, axes) => tab.page.evaluate(([b, a]) => window.vexaPad(b, a), [buttons, axes]);
    const press = async (button) => {
      await pad([button]);
      await tab.framesAndTime(200);
      await pad([]);
    };
    assertTitleScreen(await tab.screen('pad-title'), 'before A');
    await press(0);
    await waitFor(async () => shipInPlay(await tab.screen('pad-playing')), 5000, 'A did not start a game');

    await pad([12]);
    const up = await waitFor(
      async () => {
        const row = shipRow(await tab.screen('pad-up'));
        return row < 240 && row;
      },
      5000,
      'the D-pad did not move the ship up',
    );
    await pad([], { 1: 1 });
    await waitFor(
      async () => shipRow(await tab.screen('pad-down')) > up + 80,
      5000,
      'the stick did not move the ship down',
    );
    await pad([]);
    await tab.framesAndTime(100);
    // (The paused game is dimmed behind the menu: the ship is found before.)
    const still = shipRow(await tab.screen('pad-still'));

    await press(9);
    await screenUntil(tab, 'pad-paused', pausedCaption, 'Start did not pause');
    await sleep(500);
    assert.ok(pausedCaption(await tab.screen('pad-still-paused')), 'the pause did not hold');
    await press(9);
    await waitFor(async () => !pausedCaption(await tab.screen('pad-resumed')), 5000, 'Start did not resume');
    // The same run goes on: the ship, steered no more, is where the pause left it.
    const after = await tab.screen('pad-after');
    assert.ok(
      shipInPlay(after) && Math.abs(shipRow(after) - still) <= 30,
      `the run did not go on: the ship at y ${still} then ${shipRow(after)}`,
    );
    assert.deepEqual(tab.errors, []);
  });

  test('the page can be installed: manifest, icons and no installability errors', async () => {
    const { tab } = await openBrowser();
    const cdp = await tab.page.context().newCDPSession(tab.page);
    await tab.page.evaluate(() => navigator.serviceWorker.ready);
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    await cdp.detach();
    assert.deepEqual(installabilityErrors, []);

    const manifest = JSON.parse(fs.readFileSync(path.join(SITE, 'manifest.webmanifest'), 'utf8'));
    assert.ok(['fullscreen', 'standalone'].includes(manifest.display));
    const sizes = {};
    for (const icon of manifest.icons) {
      const image = decodePng(fs.readFileSync(path.join(SITE, icon.src)));
      assert.equal(`${image.width}x${image.height}`, icon.sizes, icon.src);
      sizes[`${icon.sizes} ${icon.purpose}`] = image;
    }
    assert.deepEqual(Object.keys(sizes).sort(), ['192x192 any', '512x512 any', '512x512 maskable']);
    // A maskable icon is cut to shape by the platform: no transparent corner.
    const maskable = sizes['512x512 maskable'];
    assert.equal(maskable.rgba[3], 255, 'the maskable icon has a transparent corner');
    assert.ok(
      countColour(maskable, { x: 128, y: 128, w: 256, h: 256 }, SHIP, 80) > 100,
      'no ship on the maskable icon',
    );
  });

  test('after one visit the game loads and plays with no network', async () => {
    const own = await serve(SITE);
    const { tab } = await openBrowser({}, own.url);
    await tab.page.evaluate(() => navigator.serviceWorker.ready);
    await tab.page.waitForFunction(() => navigator.serviceWorker.controller !== null);

    // A copy damaged in the cache (the game's code cut in half) is not served:
    // the network's is, and it mends the cache.
    const cached = (cut) =>
      tab.page.evaluate(async (half) => {
        const cache = await caches.open((await caches.keys()).find((name) => name.startsWith('zap207-')));
        const response = await cache.match('zap207.wasm');
        const bytes = response ? await response.arrayBuffer() : new ArrayBuffer(0);
        if (half) {
          await cache.put(
            'zap207.wasm',
            new Response(bytes.slice(0, bytes.byteLength / 2), { headers: { 'Content-Type': 'application/wasm' } }),
          );
        }
        return bytes.byteLength;
      }, cut);
    const size = fs.statSync(path.join(SITE, 'zap207.wasm')).size;
    assert.equal(await cached(true), size);
    await tab.page.reload();
    await tab.waitForFrames(10);
    await screenUntil(tab, 'mended-title', isTitleScreen, 'no title screen with a damaged cache');
    await waitFor(async () => (await cached(false)) === size, 0, 'the damaged copy in the cache was not mended');
    own.server.close();
    own.server.closeAllConnections();

    await tab.page.reload();
    await tab.waitForFrames(10);
    await screenUntil(tab, 'offline-title', isTitleScreen, 'no title screen offline');
    const reached = await tab.page.evaluate(() =>
      fetch('nothing-cached').then(
        () => true,
        () => false,
      ),
    );
    assert.equal(reached, false, 'the server could still be reached');
    await tab.hold('Space', 300);
    await waitFor(async () => shipNear(await tab.screen('offline-playing'), 300) > 40, 5000, 'no game offline');
    assert.deepEqual(
      tab.errors.filter((line) => !line.includes('nothing-cached')),
      [],
    );
  });
});
