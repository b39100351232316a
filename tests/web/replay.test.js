// Replays recorded by the Linux build, verified by the browser build in
// Chromium through the page's verify mode: the same score and digest as the
// desktop tests expect of them. Needs the site in dist/web/ (scripts/build-web.sh).
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { describe, test } = require('node:test');

const { useSite, verifyInBrowser } = require('./browser.js');

const GAME_TESTS = path.resolve(__dirname, '../game');

// The known runs and what they end with, as the desktop test lists them.
function goldenRuns() {
  const source = fs.readFileSync(path.join(GAME_TESTS, 'GoldenReplayTest.cpp'), 'utf8');
  const runs = [...source.matchAll(/\{"([^"]+\.replay)", Plan::\w+, \d+, (\d+), "([0-9a-f]{16})"\}/g)].map(
    ([, file, score, digest]) => ({ file, score, digest }),
  );
  assert.ok(runs.length >= 2, 'the known runs were not found in GoldenReplayTest.cpp');
  return runs;
}

describe('replays in the browser', () => {
  const context = useSite();

  test('the known runs recorded on Linux end with the same score and digest', async () => {
    const { browser } = await context.openBrowser();
    for (const run of goldenRuns()) {
      const bytes = fs.readFileSync(path.join(GAME_TESTS, 'golden', run.file));
      assert.equal(
        await verifyInBrowser(browser.context, context.site.url, bytes),
        `score ${run.score} digest ${run.digest}`,
        run.file,
      );
    }
  });

  test('a seed or a replay the page cannot use ends the page with the reason, and nothing is left unhandled', async () => {
    const { browser } = await context.openBrowser();
    const cases = [
      ['seed=-1', /^zap207: --seed takes a whole number/],
      ['verify=missing.replay', /^Cannot verify missing\.replay: 404 Not Found$/],
      ['verify=http://elsewhere.invalid/run.replay', /^Cannot verify .*: only a replay from this site is verified$/],
    ];
    for (const [query, reason] of cases) {
      const page = await browser.context.newPage();
      const thrown = [];
      page.on('pageerror', (error) => thrown.push(String(error)));
      await page.goto(`${context.site.url}?${query}`);
      await page.locator('#ended').waitFor({ state: 'visible' });
      assert.match(await page.locator('#ended-text').innerText(), reason, query);
      assert.deepEqual(thrown, [], query);
      await page.close();
    }
  });
});
