// Opens two sites alternately, each time in a fresh Chromium profile, and
// prints the medians of the time from navigation to the first animation frame
// (the first frame each program draws) and of the bytes received, and the
// game's ratios to the bare page.
//   node web-startup.js <game site> <bare site> <runs>
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { chromium } = require('../../tests/web/node_modules/playwright-core');
const { serve } = require('../../web/serve.js');

const { CHROMIUM, FLAGS } = require('../../tests/web/chromium.js');

function countFrames() {
  window.firstFrame = null;
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) =>
    request((time) => {
      callback(time);
      if (window.firstFrame === null) window.firstFrame = performance.now();
    });
}

async function visit(url) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zap207-startup-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM,
    headless: true,
    args: FLAGS,
    viewport: { width: 834, height: 800 },
  });
  try {
    await context.addInitScript(countFrames);
    const page = context.pages()[0] || (await context.newPage());
    let bytes = 0;
    const cdp = await context.newCDPSession(page);
    await cdp.send('Network.enable');
    cdp.on('Network.loadingFinished', (event) => {
      bytes += event.encodedDataLength;
    });
    await page.goto(url);
    await page.waitForFunction(() => window.firstFrame !== null, null, { timeout: 60000 });
    // What the page still fetches after its first frame counts too.
    await page.waitForLoadState('networkidle');
    return { ms: await page.evaluate(() => window.firstFrame), bytes };
  } finally {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor((values.length - 1) / 2)];

(async () => {
  const [gameDir, bareDir, runs] = process.argv.slice(2);
  const game = await serve(path.resolve(gameDir));
  const bare = await serve(path.resolve(bareDir));
  const results = { game: [], bare: [] };
  for (let run = 0; run < Number(runs); run++) {
    results.game.push(await visit(game.url));
    results.bare.push(await visit(bare.url));
  }
  game.server.close();
  bare.server.close();
  for (const name of ['game', 'bare']) {
    const ms = median(results[name].map((r) => r.ms));
    const kb = median(results[name].map((r) => r.bytes)) / 1000;
    console.log(
      `${name}: first frame ${ms.toFixed(0)} ms (runs: ${results[name].map((r) => r.ms.toFixed(0)).join(' ')}), ` +
        `first visit ${kb.toFixed(0)} kB over the wire`,
    );
  }
  const ratio = (key) => median(results.game.map((r) => r[key])) / median(results.bare.map((r) => r[key]));
  console.log(`first frame: game / bare ${ratio('ms').toFixed(2)}; bytes: game / bare ${ratio('bytes').toFixed(2)}`);
  process.exit(0);
})();
