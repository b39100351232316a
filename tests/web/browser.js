// Debian's Chromium, headless, driven by Playwright, for the browser tests:
// a browser with its own profile, its tabs, and what they show and log.
//   CHROMIUM  the browser (default: /usr/bin/chromium)
//   WEB_KEEP  a directory to keep the screenshots and measurements in
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { after, before } = require('node:test');
const os = require('node:os');
const { chromium } = require('playwright-core');

const { serve } = require('../../web/serve.js');

const { CHROMIUM, FLAGS } = require('./chromium.js');
const { countColour, decodePng } = require('./png.js');

const SITE = path.resolve(__dirname, '../../dist/web');
const KEEP = process.env.WEB_KEEP;

const SHIP = [76, 229, 255];
const EMBLEM = [255, 89, 51];
const WHITE = [255, 255, 255];
const TITLE_TEXT = { x: 225, y: 250, w: 240, h: 50 };
const HIGH_SCORE = { x: 525, y: 10, w: 275, h: 35 };
const WHOLE = { x: 0, y: 0, w: 800, h: 600 };
const SAVED = 'High score saved successfully!';
const NOT_SAVED = 'Unable to save high score!';
const SAVE_LINES = [SAVED, NOT_SAVED];

// The page's margins and the game's frame take 34 pixels of the width.
const DESKTOP_WIDTH = 834;

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Counts the animation frames the page runs: the game's loop is the only
// steady user (the page asks for two when a finger presses a key), so the first
// one is the first frame drawn.
function countFrames() {
  const frames = { first: null, count: 0 };
  window.vexaFrames = frames;
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) =>
    request((time) => {
      try {
        callback(time);
      } finally {
        // The frame that ends the game ends by throwing: it counts too.
        if (frames.first === null) frames.first = performance.now();
        frames.count++;
      }
    });
}

// How long a wait may last on a loaded machine, as in the desktop suites.
const PATIENCE_MS = Number(process.env.E2E_PATIENCE || 60) * 1000;

// Waits until `check` returns a true value, trying every 100 ms, for `ms` or
// the suite's patience, whichever is longer: a busy machine only makes a
// passing test slower.
async function waitFor(check, ms, what) {
  const limit = Math.max(ms, PATIENCE_MS);
  const deadline = Date.now() + limit;
  for (;;) {
    const value = await check();
    if (value) return value;
    assert.ok(Date.now() < deadline, `${what} within ${limit / 1000} s`);
    await sleep(100);
  }
}

// One tab of the game, with what it logged since it was opened.
class Tab {
  constructor(page) {
    this.page = page;
    this.errors = [];
    this.warnings = [];
    this.log = [];
    this.bytes = {};
    page.on('console', (message) => {
      this.log.push(message.text());
      if (message.type() === 'warning') this.warnings.push(message.text());
      if (message.type() !== 'error') return;
      const where = message.location().url;
      this.errors.push(where ? `${message.text()} (${where})` : message.text());
    });
    page.on('pageerror', (error) => this.errors.push(String(error)));
    page.on('response', (response) => {
      const name = path.basename(new URL(response.url()).pathname) || 'index.html';
      this.bytes[name] = Number(response.headers()['content-length'] || 0);
    });
  }

  async goto(url) {
    await this.page.goto(url);
    await this.waitForFrames(10);
    // The page shows the game at the window's size once the game has opened it.
    await this.page.waitForSelector('body.fitted', { state: 'attached' });
  }

  frames() {
    return this.page.evaluate(() => ({
      ...window.vexaFrames,
      now: performance.now(),
      ended: !document.getElementById('ended').hidden,
    }));
  }

  async waitForFrames(count) {
    await this.page.waitForFunction((n) => window.vexaFrames && window.vexaFrames.count >= n, count);
  }

  // The canvas's own pixels as the game drew them, copied in an animation
  // frame just after the game's, before the browser lets go of the picture.
  // The checks read 800 x 600 pixels: a canvas of any other size (a phone's,
  // a high-density screen's) is brought to that size, each pixel taken from
  // the nearest one so that colours stay as drawn.
  async screen(name) {
    const url = await this.page.evaluate(
      () =>
        new Promise((resolve) => {
          requestAnimationFrame(() => {
            const canvas = document.getElementById('canvas');
            const copy = document.createElement('canvas');
            copy.width = 800;
            copy.height = 600;
            const context = copy.getContext('2d');
            context.imageSmoothingEnabled = false;
            context.drawImage(canvas, 0, 0, 800, 600);
            resolve(copy.toDataURL('image/png'));
          });
        }),
    );
    const png = Buffer.from(url.slice(url.indexOf(',') + 1), 'base64');
    if (KEEP) fs.writeFileSync(path.join(KEEP, `${name}.png`), png);
    return decodePng(png);
  }

  // The size of the canvas's backing store and of the box it is shown in.
  canvasSize() {
    return this.page.evaluate(() => {
      const canvas = document.getElementById('canvas');
      const box = canvas.getBoundingClientRect();
      return {
        width: canvas.width,
        height: canvas.height,
        shownWidth: box.width,
        shownHeight: box.height,
        ratio: devicePixelRatio,
      };
    });
  }

  // Waits `ms`, and at least until the game has drawn one more frame (or has
  // ended: Escape may have been seen already): what was pressed before this
  // call has then been seen.
  async framesAndTime(ms) {
    const { count } = await this.frames();
    await sleep(ms);
    await waitFor(
      async () => {
        const now = await this.frames();
        return now.count > count || now.ended;
      },
      0,
      'the game stopped drawing',
    );
  }

  // A press and release inside one frame is never seen: keys are held for
  // `ms` and for at least a frame the game has drawn.
  async hold(key, ms) {
    await this.page.keyboard.down(key);
    await this.framesAndTime(ms);
    await this.page.keyboard.up(key);
  }

  waitForLine(line, ms) {
    return waitFor(() => this.log.includes(line), ms, `no console line "${line}"`);
  }

  // Starts a game and waits until it has ended and the store has answered;
  // returns the line the game printed about its record.
  async playRound() {
    await this.page.bringToFront();
    const before = this.log.length;
    await this.hold('Space', 300);
    const line = await waitFor(
      () => this.log.slice(before).find((text) => SAVE_LINES.includes(text)),
      90000,
      'no line about the record',
    );
    await this.page.waitForFunction(() => Module.vexaStorage.pending === 0);
    return line;
  }

  // From now on notes whether each key press's default action was prevented,
  // after every other listener of the page has run.
  recordKeyDefaults() {
    return this.page.evaluate(() => {
      window.vexaKeyDefaults = {};
      window.addEventListener('keydown', (event) => {
        window.vexaKeyDefaults[event.code] = event.defaultPrevented;
      });
    });
  }

  keyDefaults() {
    return this.page.evaluate(() => window.vexaKeyDefaults);
  }

  // A file as stored in the browser's IndexedDB: { mode, text, bytes } (no
  // bytes for an entry that holds none), or null.
  stored(name) {
    return this.page.evaluate(
      (key) =>
        new Promise((resolve, reject) => {
          const open = indexedDB.open('/persistent');
          open.onerror = () => reject(open.error);
          open.onsuccess = () => {
            const db = open.result;
            if (!db.objectStoreNames.contains('FILE_DATA')) return resolve(null);
            const get = db.transaction('FILE_DATA').objectStore('FILE_DATA').get(key);
            get.onerror = () => reject(get.error);
            get.onsuccess = () => {
              db.close();
              const entry = get.result;
              const contents = entry && entry.contents ? new Uint8Array(entry.contents) : null;
              if (!entry) return resolve(null);
              const file = { mode: entry.mode, text: contents ? new TextDecoder().decode(contents) : null };
              if (contents) file.bytes = Array.from(contents);
              resolve(file);
            };
          };
        }),
      '/persistent/' + name,
    );
  }

  // The record as stored, or null.
  async storedRecord() {
    const entry = await this.stored('highscore.txt');
    return entry && entry.text;
  }

  // Stores `entry` under `name` as the game's storage lays files out, behind
  // the game's back: no tab is told.
  storeEntry(name, entry) {
    return this.page.evaluate(
      ([key, value]) =>
        new Promise((resolve, reject) => {
          const open = indexedDB.open('/persistent');
          open.onerror = () => reject(open.error);
          open.onsuccess = () => {
            const db = open.result;
            const transaction = db.transaction('FILE_DATA', 'readwrite');
            const store = transaction.objectStore('FILE_DATA');
            if (value === undefined) store.delete(key);
            else store.put(value, key);
            transaction.oncomplete = () => {
              db.close();
              resolve();
            };
            transaction.onabort = () => reject(transaction.error);
          };
        }),
      ['/persistent/' + name, entry],
    );
  }
}

// One browser with its own profile directory, which survives close() so the
// next launch is the same browser restarted. `init` runs in every page before
// the page's own scripts; `device` sets the screen (Playwright's viewport,
// isMobile, hasTouch and deviceScaleFactor).
class Browser {
  constructor(profile, { init, device } = {}) {
    this.profile = profile;
    this.init = init;
    // By default a desktop window whose page shows the game at 800 x 600.
    this.device = device || { viewport: { width: DESKTOP_WIDTH, height: 800 } };
  }

  // Opens the browser on `url`; its first tab is `tab`.
  async open(url) {
    this.context = await chromium.launchPersistentContext(this.profile, {
      executablePath: CHROMIUM,
      headless: true,
      args: FLAGS,
      ...this.device,
    });
    // Every wait of Playwright's own follows the suite's patience too.
    this.context.setDefaultTimeout(PATIENCE_MS);
    this.context.setDefaultNavigationTimeout(PATIENCE_MS);
    await this.context.addInitScript(countFrames);
    if (this.init) await this.context.addInitScript(this.init);
    this.tab = new Tab(this.context.pages()[0] || (await this.context.newPage()));
    await this.tab.goto(url);
    return this.tab;
  }

  // Another tab on `url`; `init` runs in it alone, before the page's scripts.
  async newTab(url, init) {
    const tab = new Tab(await this.context.newPage());
    if (init) await tab.page.addInitScript(init);
    await tab.goto(url);
    return tab;
  }

  async close() {
    if (this.context) await this.context.close();
    this.context = null;
  }
}

// Runs the page's verify mode in a tab of `context` on the replay `bytes`,
// served as a file of the site at `url`: returns the line the program printed
// about it, after checking that the page shows the same line once it has ended.
async function verifyInBrowser(context, url, bytes) {
  const page = await context.newPage();
  const lines = [];
  page.on('console', (message) => lines.push(message.text()));
  try {
    await page.route('**/checked.replay', (route) =>
      route.fulfill({ body: bytes, contentType: 'application/octet-stream' }),
    );
    await page.goto(`${url}?verify=checked.replay`);
    await page.locator('#ended').waitFor({ state: 'visible' });
    const shown = await page.locator('#ended-text').innerText();
    const printed = lines.filter((line) => line === shown);
    assert.equal(printed.length, 1, `the page shows "${shown}", the console holds ${JSON.stringify(lines)}`);
    return shown;
  } finally {
    await page.close();
  }
}

// The game's next screens until `check` holds for one, which is returned.
function screenUntil(tab, name, check, what) {
  return waitFor(
    async () => {
      const image = await tab.screen(name);
      return check(image) && image;
    },
    0,
    what,
  );
}

function isTitleScreen(image) {
  return countColour(image, TITLE_TEXT, WHITE) > 300 && countColour(image, WHOLE, SHIP) === 0;
}

function assertTitleScreen(image, what) {
  assert.ok(countColour(image, TITLE_TEXT, WHITE) > 300, `no title text ${what}`);
  assert.equal(countColour(image, WHOLE, SHIP), 0, `a ship on the title screen ${what}`);
}

// Inside a describe(): serves the built site to its tests and opens browsers
// for them, each with a fresh profile, all closed and removed at the end.
function useSite() {
  const context = { site: null };
  const profiles = [];
  const browsers = [];
  before(async () => {
    assert.ok(fs.existsSync(path.join(SITE, 'index.html')), 'no site in dist/web: run scripts/build-web.sh');
    if (KEEP) fs.mkdirSync(KEEP, { recursive: true });
    context.site = await serve(SITE);
  });
  after(async () => {
    for (const browser of browsers) await browser.close();
    if (context.site) context.site.server.close();
    for (const profile of profiles) fs.rmSync(profile, { recursive: true, force: true });
  });
  context.openBrowser = async (options, url = context.site.url) => {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zap207-chromium-'));
    profiles.push(profile);
    const browser = new Browser(profile, options);
    browsers.push(browser);
    return { browser, tab: await browser.open(url) };
  };
  return context;
}

module.exports = {
  useSite,
  Browser,
  SITE,
  KEEP,
  SHIP,
  EMBLEM,
  WHITE,
  TITLE_TEXT,
  HIGH_SCORE,
  WHOLE,
  SAVED,
  NOT_SAVED,
  PATIENCE_MS,
  sleep,
  waitFor,
  screenUntil,
  isTitleScreen,
  assertTitleScreen,
  verifyInBrowser,
};
