// The browser's part in accessibility: until the player chooses, the system's
// wish for reduced motion holds the stars still, and a hit asks the phone to
// vibrate. Needs the site in dist/web/ (scripts/build-web.sh).
'use strict';

const assert = require('node:assert/strict');
const { describe, test } = require('node:test');

const { useSite, SHIP, TITLE_TEXT, WHITE, screenUntil } = require('./browser.js');
const { colourMaskDifference, countColour } = require('./png.js');

// With this seed, the ship held at the top edge meets an asteroid of the first wave.
const SEED = 4;
// Stars alone, early in a run: a strip at the left edge, below the score,
// that the ship (at x 100) never reaches and the first asteroids reach only
// after some ten seconds. In play the stars take the ship's colour.
const STRIP = { x: 0, y: 80, w: 60, h: 500 };

// Every call the page makes to navigator.vibrate, in place of a phone's motor.
function countVibrations() {
  window.vexaVibrations = [];
  Object.defineProperty(navigator, 'vibrate', {
    configurable: true,
    value: (pattern) => {
      window.vexaVibrations.push(pattern);
      return true;
    },
  });
}

// Some frames later than now: long enough for every star to have moved.
async function framesLater(tab) {
  await tab.waitForFrames((await tab.frames()).count + 20);
}

describe('accessibility in a browser', () => {
  const site = useSite();

  test('the system asking for reduced motion stills the stars, and a hit vibrates once', async () => {
    const { tab } = await site.openBrowser({ init: countVibrations }, `${site.site.url}?seed=${SEED}`);
    await tab.hold('Space', 300);
    await screenUntil(
      tab,
      'playing',
      (shown) =>
        countColour(shown, TITLE_TEXT, WHITE) === 0 && countColour(shown, { x: 70, y: 260, w: 60, h: 80 }, SHIP) > 40,
      'no ship after Space',
    );
    const moving = await tab.screen('moving-1');
    await framesLater(tab);
    assert.ok(
      colourMaskDifference(moving, await tab.screen('moving-2'), STRIP, SHIP) > 0,
      'the stars stood still before reduced motion was asked for',
    );

    await tab.page.emulateMedia({ reducedMotion: 'reduce' });
    await framesLater(tab);
    const still = await tab.screen('still-1');
    await framesLater(tab);
    assert.equal(
      colourMaskDifference(still, await tab.screen('still-2'), STRIP, SHIP),
      0,
      'the stars moved although the system asks for reduced motion',
    );
    assert.deepEqual(await tab.page.evaluate(() => window.vexaVibrations), [], 'a vibration before any hit');

    // Held at the top edge, the ship is hit.
    await tab.page.keyboard.down('w');
    await tab.waitForLine('High score saved successfully!', 90000);
    await tab.page.keyboard.up('w');
    const vibrations = await tab.page.evaluate(() => window.vexaVibrations);
    assert.equal(vibrations.length, 1, `vibrations asked for: ${JSON.stringify(vibrations)}`);
    assert.ok(vibrations[0] > 0, 'an empty vibration');
    assert.deepEqual(tab.errors, []);
  });
});
