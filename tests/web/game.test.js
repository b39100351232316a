// The browser build played end to end in Debian's Chromium, headless, driven
// by Playwright: the page, the title screen, a round, the record kept in the
// browser across a reload and a browser restart, and Escape. Needs the site in
// dist/web/ (scripts/build-web.sh). Screens are checked by their pixels.
//   CHROMIUM  the browser (default: /usr/bin/chromium)
//   WEB_KEEP  a directory to keep the screenshots and measurements in
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { after, before, describe, test } = require('node:test');
const { chromium } = require('playwright-core');

const { serve } = require('../../web/serve.js');
const { colourMaskDifference, countColour, decodePng } = require('./png.js');

const SITE = path.resolve(__dirname, '../../dist/web');
const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
// Nothing may reach out of this machine: no background services, no updates.
const FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];
const KEEP = process.env.WEB_KEEP;

const SHIP = [76, 229, 255];
const EMBLEM = [255, 89, 51];
const WHITE = [255, 255, 255];
const TITLE_TEXT = { x: 225, y: 250, w: 240, h: 50 };
const HIGH_SCORE = { x: 525, y: 10, w: 275, h: 35 };
const WHOLE = { x: 0, y: 0, w: 800, h: 600 };

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Counts the animation frames the page runs: the game's loop is the only user,
// so the first one is the first frame drawn.
function countFrames() {
  const frames = { first: null, count: 0 };
  window.vexaFrames = frames;
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => request((time) => {
    callback(time);
    if (frames.first === null) frames.first = performance.now();
    frames.count++;
  });
}

// One browser with its own profile directory, which survives close() so the
// next launch is the same browser restarted.
class Browser {
  constructor(profile) {
    this.profile = profile;
    this.errors = [];
    this.log = [];
    this.bytes = {};
  }

  async open(url) {
    this.context = await chromium.launchPersistentContext(this.profile, {
      executablePath: CHROMIUM,
      headless: true,
      args: FLAGS,
      viewport: { width: 1280, height: 800 },
    });
    await this.context.addInitScript(countFrames);
    this.page = this.context.pages()[0] || await this.context.newPage();
    this.page.on('console', (message) => {
      this.log.push(message.text());
      if (message.type() !== 'error') return;
      const where = message.location().url;
      this.errors.push(where ? `${message.text()} (${where})` : message.text());
    });
    this.page.on('pageerror', (error) => this.errors.push(String(error)));
    this.page.on('response', (response) => {
      const name = path.basename(new URL(response.url()).pathname) || 'index.html';
      this.bytes[name] = Number(response.headers()['content-length'] || 0);
    });
    await this.page.goto(url);
    await this.waitForFrames(10);
  }

  async close() {
    if (this.context) await this.context.close();
    this.context = null;
  }

  frames() {
    return this.page.evaluate(() => ({ ...window.vexaFrames, now: performance.now() }));
  }

  async waitForFrames(count) {
    await this.page.waitForFunction((n) => window.vexaFrames && window.vexaFrames.count >= n,
      count, { timeout: 30000 });
  }

  async screen(name) {
    // The box may sit at a fraction of a pixel; the browser paints it snapped
    // to whole pixels, which a clip at the rounded position matches.
    const box = await this.page.locator('#canvas').boundingBox();
    const png = await this.page.screenshot({
      clip: { x: Math.round(box.x), y: Math.round(box.y), width: Math.round(box.width), height: Math.round(box.height) },
    });
    if (KEEP) fs.writeFileSync(path.join(KEEP, `${name}.png`), png);
    const image = decodePng(png);
    assert.deepEqual([image.width, image.height], [800, 600], 'the canvas is shown at 800 x 600');
    return image;
  }

  // A press and release inside one frame is never seen: keys are held.
  async hold(key, ms) {
    await this.page.keyboard.down(key);
    await sleep(ms);
    await this.page.keyboard.up(key);
  }

  async waitForLine(line, ms) {
    const deadline = Date.now() + ms;
    while (!this.log.includes(line)) {
      assert.ok(Date.now() < deadline, `no console line "${line}" within ${ms / 1000} s`);
      await sleep(100);
    }
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

  // The record as stored in the browser's IndexedDB, or null.
  storedRecord() {
    return this.page.evaluate(() => new Promise((resolve, reject) => {
      const open = indexedDB.open('/persistent');
      open.onerror = () => reject(open.error);
      open.onsuccess = () => {
        const db = open.result;
        if (!db.objectStoreNames.contains('FILE_DATA')) return resolve(null);
        const get = db.transaction('FILE_DATA').objectStore('FILE_DATA').get('/persistent/highscore.txt');
        get.onerror = () => reject(get.error);
        get.onsuccess = () => {
          db.close();
          resolve(get.result ? new TextDecoder().decode(get.result.contents) : null);
        };
      };
    }));
  }
}

function assertTitleScreen(image, what) {
  assert.ok(countColour(image, TITLE_TEXT, WHITE) > 300, `no title text ${what}`);
  assert.equal(countColour(image, WHOLE, SHIP), 0, `a ship on the title screen ${what}`);
}

describe('the game in a browser', () => {
  let site;
  let profile;
  let browser;
  const measured = {};
  const shots = {};

  before(async () => {
    assert.ok(fs.existsSync(path.join(SITE, 'index.html')), 'no site in dist/web: run scripts/build-web.sh');
    if (KEEP) fs.mkdirSync(KEEP, { recursive: true });
    site = await serve(SITE);
    profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zap207-chromium-'));
    browser = new Browser(profile);
    await browser.open(site.url);
  });

  after(async () => {
    if (browser) await browser.close();
    if (site) site.server.close();
    if (profile) fs.rmSync(profile, { recursive: true, force: true });
    if (Object.keys(measured).length > 0) {
      console.log(`measured: ${JSON.stringify(measured)}`);
      if (KEEP) fs.writeFileSync(path.join(KEEP, 'measured.json'), JSON.stringify(measured, null, 2));
    }
  });

  test('the page loads without console errors and shows the title screen', async () => {
    const { first } = await browser.frames();
    await sleep(1000);
    const image = await browser.screen('title');
    assertTitleScreen(image, 'after loading');
    assert.ok(countColour(image, HIGH_SCORE, WHITE) > 100, 'no high score on the title screen');
    shots.firstHighScore = image;
    assert.deepEqual(browser.errors, []);

    // The window is resizable: in a browser window smaller than the game the
    // canvas must still draw 800 x 600 pixels, not the part that fits.
    const backing = () => browser.page.evaluate(() => {
      const canvas = document.getElementById('canvas');
      return [canvas.width, canvas.height];
    });
    assert.deepEqual(await backing(), [800, 600]);
    await browser.page.setViewportSize({ width: 640, height: 480 });
    await sleep(300);
    assert.deepEqual(await backing(), [800, 600], 'the canvas changed size with the browser window');
    await browser.page.setViewportSize({ width: 1280, height: 800 });
    await sleep(300);
    assert.deepEqual(await backing(), [800, 600]);

    // The frame rate on the title screen, where the loop runs unhindered.
    const start = await browser.frames();
    await sleep(3000);
    const end = await browser.frames();
    measured.firstFrameMs = Math.round(first);
    measured.framesPerSecond = Math.round((end.count - start.count) / ((end.now - start.now) / 1000) * 10) / 10;
    measured.downloadBytes = { ...browser.bytes };
    measured.downloadTotalBytes = Object.values(browser.bytes).reduce((sum, n) => sum + n, 0);
    // Measured, not judged: speed on a shared machine says little.
    assert.ok(end.count > start.count, 'the loop stopped on the title screen');
  });

  test('Space starts a game and W moves the ship; the keys do not scroll the page', async () => {
    assert.equal(await browser.page.evaluate(() => document.activeElement.id), 'canvas',
      'the game does not have the keyboard focus');
    await browser.recordKeyDefaults();
    await browser.hold('Space', 300);
    await sleep(500);
    let image = await browser.screen('playing');
    assert.ok(countColour(image, { x: 70, y: 260, w: 60, h: 80 }, SHIP) > 40, 'no ship at (100, 300) after Space');
    assert.equal(countColour(image, TITLE_TEXT, WHITE), 0, 'title text still shown in play');
    // The first key press is the gesture browsers wait for before sound.
    const audio = await browser.page.evaluate(() => Module.SDL2 && Module.SDL2.audioContext &&
      Module.SDL2.audioContext.state);
    assert.equal(audio, 'running', 'sound is not running after the first key press');

    // W at 200 px/s for half a second: about 100 px up.
    await browser.hold('w', 500);
    await sleep(200);
    image = await browser.screen('moved');
    assert.ok(countColour(image, { x: 70, y: 270, w: 60, h: 60 }, SHIP) < 12, 'the ship did not leave y 300');
    assert.ok(countColour(image, { x: 70, y: 140, w: 60, h: 100 }, SHIP) > 40, 'the ship is not near y 200');

    await browser.hold('s', 100);
    assert.deepEqual(await browser.keyDefaults(), { Space: true, KeyW: true, KeyS: true },
      'a game key kept its default action (scrolling)');
  });

  test('a death shows the game-over screen and the new record, which is stored', async () => {
    await browser.waitForLine('High score saved successfully!', 90000);
    await browser.page.waitForFunction(() => Module.vexaStorage.pending === 0, null, { timeout: 10000 });
    await sleep(500);
    const image = await browser.screen('game-over');
    assert.ok(countColour(image, { x: 50, y: 40, w: 700, h: 300 }, EMBLEM) > 300, 'no emblem on the game-over screen');
    assert.ok(countColour(image, { x: 50, y: 350, w: 600, h: 40 }, WHITE) > 300, 'no game-over text');
    assert.ok(colourMaskDifference(image, shots.firstHighScore, HIGH_SCORE, WHITE) > 20,
      'the high score shown did not change');
    shots.record = image;

    const record = await browser.storedRecord();
    assert.match(record, /^[1-9][0-9]*$/, `the stored record is "${record}"`);
    measured.record = Number(record);
    assert.deepEqual(browser.errors, []);
  });

  test('the record is shown again after a reload', async () => {
    await browser.page.reload();
    await browser.waitForFrames(10);
    await sleep(1000);
    const image = await browser.screen('reloaded');
    assertTitleScreen(image, 'after the reload');
    assert.ok(colourMaskDifference(image, shots.record, HIGH_SCORE, WHITE) <= 10,
      'the high score after the reload is not the record');
  });

  test('the record survives a browser restart', async () => {
    await browser.close();
    await browser.open(site.url);
    await sleep(1000);
    const image = await browser.screen('restarted');
    assertTitleScreen(image, 'after the restart');
    assert.ok(colourMaskDifference(image, shots.record, HIGH_SCORE, WHITE) <= 10,
      'the high score after the restart is not the record');
    assert.deepEqual(browser.errors, []);
  });

  test('Escape stops the loop and the page says the game has ended', async () => {
    await browser.hold('Escape', 200);
    await browser.page.locator('#ended').waitFor({ state: 'visible', timeout: 5000 });
    assert.match(await browser.page.locator('#ended').innerText(), /The game has ended\./);
    const stopped = await browser.frames();
    await sleep(500);
    assert.equal((await browser.frames()).count, stopped.count, 'frames still run after Escape');
    assert.equal(await browser.page.evaluate(() => document.activeElement.id), 'again');
    assert.deepEqual(browser.errors, []);

    // "Play again" reloads the page into a fresh game.
    await browser.page.locator('#again').click();
    await browser.waitForFrames(10);
    await sleep(1000);
    assertTitleScreen(await browser.screen('again'), 'after "Play again"');
  });
});
