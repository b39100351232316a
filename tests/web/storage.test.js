// The record kept in the browser when storage is shared, damaged, missing or
// full: several tabs at once, a stored entry that cannot be restored, a
// browser without IndexedDB, a write that is refused. Needs the site in
// dist/web/ (scripts/build-web.sh).
'use strict';

const assert = require('node:assert/strict');
const { describe, test } = require('node:test');

const { useSite, WHITE, HIGH_SCORE, waitFor, assertTitleScreen } = require('./browser.js');
const { colourMaskDifference, countColour } = require('./png.js');

const NOTICE = 'Your best score will not be kept after this page is closed.';

// The warnings about stored files left out, since the tab was opened.
function reports(tab) {
  return tab.warnings.filter((line) => /could not be restored/.test(line));
}

// The same high score is shown in both pictures.
function sameHighScore(a, b) {
  return colourMaskDifference(a, b, HIGH_SCORE, WHITE) <= 10;
}

describe('the record in the browser', () => {
  const context = useSite();
  const openBrowser = (...args) => context.openBrowser(...args);

  function notice(tab) {
    return tab.page.locator('#storage-notice');
  }

  test('two tabs: a new record shows in the other tab, and a lower one never replaces the stored one', async () => {
    const { browser, tab: watcher } = await openBrowser();
    const player = await browser.newTab(context.site.url);
    // A tab that hears nothing from the others, as where the message comes
    // too late: it still holds the record it loaded when the page opened.
    const deaf = await browser.newTab(context.site.url, () => { delete window.BroadcastChannel; });
    const zero = await watcher.screen('tabs-before');

    await player.playRound();
    const record = await player.storedRecord();
    assert.match(record, /^[1-9][0-9]*$/);
    const played = await player.screen('tabs-player-game-over');
    assert.ok(!sameHighScore(played, zero), 'the player tab shows no new record');
    await watcher.page.bringToFront();
    await waitFor(async () => sameHighScore(await watcher.screen('tabs-watcher'), played), 10000,
      'the other tab does not show the new record');

    // Another tab stored a record far above anything this round can reach.
    await watcher.storeEntry('highscore.txt', {
      timestamp: new Date(), mode: 0o100644, contents: new TextEncoder().encode('900000'),
    });
    await deaf.playRound();
    await deaf.waitForLine('Another tab had stored a higher record; it is kept.', 10000);
    assert.equal(await deaf.storedRecord(), '900000', 'a lower score replaced the stored record');

    // The deaf tab now shows the stored record, as a freshly loaded tab does.
    await player.page.reload();
    await player.waitForFrames(10);
    const fresh = await player.screen('tabs-reloaded');
    await deaf.page.bringToFront();
    await waitFor(async () => sameHighScore(await deaf.screen('tabs-deaf'), fresh), 10000,
      'the tab that saved a lower score does not show the stored record');
    assert.ok(!sameHighScore(fresh, played));
    for (const tab of [watcher, player, deaf]) {
      assert.deepEqual(tab.errors, []);
      assert.ok(await notice(tab).isHidden());
    }
  });

  test('a stored entry that cannot be restored is skipped and reported once; the game starts', async () => {
    const { tab } = await openBrowser();
    const zero = await tab.screen('entries-default');
    const bytes = (text) => new TextEncoder().encode(text);

    // A file without permission bits is still a file: its record is kept.
    await tab.storeEntry('highscore.txt', { timestamp: new Date(), mode: 0o100000, contents: bytes('4321') });
    await tab.page.reload();
    await tab.waitForFrames(10);
    let image = await tab.screen('entries-no-permissions');
    assertTitleScreen(image, 'with a record stored without permissions');
    assert.ok(!sameHighScore(image, zero), 'the record stored without permissions was not restored');
    assert.deepEqual(reports(tab), []);

    // Entries that hold no file: a directory, text, nothing, a path below.
    await tab.storeEntry('highscore.txt', { timestamp: new Date(), mode: 0o40755 });
    await tab.storeEntry('notes.txt', 'just text');
    await tab.storeEntry('empty.txt', null);
    await tab.storeEntry('sub/deeper.txt', { timestamp: new Date(), mode: 0o100644, contents: bytes('1') });
    await tab.page.reload();
    await tab.waitForFrames(10);
    image = await tab.screen('entries-skipped');
    assertTitleScreen(image, 'with entries that cannot be restored');
    assert.ok(sameHighScore(image, zero), 'a skipped record changed the high score shown');
    assert.equal(reports(tab).length, 1, `not one report: ${JSON.stringify(reports(tab))}`);
    for (const name of ['highscore.txt', 'notes.txt', 'empty.txt', 'sub/deeper.txt']) {
      assert.ok(reports(tab)[0].includes(name), `${name} is not reported`);
    }
    assert.deepEqual(tab.errors, []);

    // The next record replaces the entry that could not be restored.
    await tab.playRound();
    assert.match(await tab.storedRecord(), /^[1-9][0-9]*$/);
    assert.deepEqual(tab.errors, []);
  });

  test('without IndexedDB the game plays on and the page says the record will not be kept', async () => {
    const { tab } = await openBrowser({
      init: () => Object.defineProperty(window, 'indexedDB', { get: () => undefined, configurable: true }),
    });
    const start = await tab.screen('no-storage-title');
    assertTitleScreen(start, 'without IndexedDB');
    assert.equal(await notice(tab).innerText(), NOTICE);
    assert.ok(await notice(tab).isVisible());
    assert.deepEqual(tab.errors, []);

    await tab.playRound();
    const after = await tab.screen('no-storage-game-over');
    assert.ok(!sameHighScore(after, start), 'the record is not shown while the page is open');
    assert.ok(await notice(tab).isVisible());
    assert.deepEqual(tab.errors, []);
  });

  test('a refused write says on the page that the record will not be kept', async () => {
    const { tab } = await openBrowser({
      init: () => {
        IDBObjectStore.prototype.put = () => {
          throw new DOMException('The quota has been exceeded.', 'QuotaExceededError');
        };
      },
    });
    assert.ok(await notice(tab).isHidden(), 'the notice shows before anything was written');
    const start = await tab.screen('refused-title');

    await tab.playRound();
    await notice(tab).waitFor({ state: 'visible', timeout: 10000 });
    assert.equal(await notice(tab).innerText(), NOTICE);
    assert.equal(tab.errors.length, 1, `not one error: ${JSON.stringify(tab.errors)}`);
    assert.match(tab.errors[0], /could not be written/);
    assert.equal(await tab.storedRecord(), null);
    // The record still counts for as long as the page is open.
    assert.ok(!sameHighScore(await tab.screen('refused-game-over'), start));
    assert.ok(countColour(start, HIGH_SCORE, WHITE) > 100);
  });
});
