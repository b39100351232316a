// The record kept in the browser when storage is shared, damaged, missing or
// full: several tabs at once, a stored entry that cannot be restored, a
// browser without IndexedDB, a write that is refused. Needs the site in
// dist/web/ (scripts/build-web.sh).
'use strict';

const assert = require('node:assert/strict');
const { describe, test } = require('node:test');

const { useSite, WHITE, HIGH_SCORE, SAVED, NOT_SAVED, waitFor, assertTitleScreen } = require('./browser.js');
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

    assert.equal(await player.playRound(), SAVED);
    const record = await player.storedRecord();
    assert.match(record, /^[1-9][0-9]*$/);
    const played = await player.screen('tabs-player-game-over');
    assert.ok(!sameHighScore(played, zero), 'the player tab shows no new record');
    await watcher.page.bringToFront();
    await waitFor(async () => sameHighScore(await watcher.screen('tabs-watcher'), played), 10000,
      'the other tab does not show the new record');

    // Another tab stored a record far above anything this round can reach,
    // written by an editor that starts a file with a byte-order mark.
    await watcher.storeEntry('highscore.txt', {
      timestamp: new Date(), mode: 0o100644, contents: new TextEncoder().encode('\uFEFF900000'),
    });
    assert.equal(await deaf.playRound(), NOT_SAVED, 'a save that did not hold was claimed');
    await deaf.waitForLine('Another tab had stored a higher record; it is kept.', 10000);
    // (TextDecoder drops the mark.)
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

    // A stored record that cannot be read is never replaced, as on the desktop.
    assert.ok(await notice(tab).isHidden());
    assert.equal(await tab.playRound(), NOT_SAVED);
    assert.deepEqual(await tab.stored('highscore.txt'), { mode: 0o40755, text: null });
    assert.equal(tab.errors.length, 1, `not one error: ${JSON.stringify(tab.errors)}`);
    assert.match(tab.errors[0], /the stored highscore.txt cannot be read/);
    assert.ok(await notice(tab).isVisible());
  });

  test('a record and its companion are stored and restored together, under the program\'s own rule', async () => {
    const { tab } = await openBrowser();
    const storage = (action, ...args) => tab.page.evaluate(([what, values]) => {
      const kept = Module.vexaStorage;
      const [name, text] = values;
      // As the program writes a file: the storage has not seen it yet.
      if (what === 'write') {
        kept.writeWork(name, new TextEncoder().encode(text));
        delete kept.known[name];
        kept.persist();
        return null;
      }
      const bytes = kept.readWork(name);
      return bytes && new TextDecoder().decode(bytes);
    }, [action, args]);
    const settled = () => tab.page.waitForFunction(() => Module.vexaStorage.pending === 0);
    const text = async (name) => (await tab.stored(name) || {}).text;

    // A companion alone is never stored; it goes with the next record.
    await storage('write', 'highscore.replay', 'run one');
    await settled();
    assert.equal(await tab.stored('highscore.replay'), null, 'a companion was stored alone');
    await storage('write', 'highscore.txt', '950000');
    await settled();
    assert.equal(await text('highscore.txt'), '950000');
    assert.equal(await text('highscore.replay'), 'run one');

    // The program's rule, not a copy of it: a number no int can hold is no
    // record, so even a negative score replaces it, and its companion with it.
    const bytes = (value) => ({ timestamp: new Date(), mode: 0o100644, contents: new TextEncoder().encode(value) });
    await tab.storeEntry('highscore.txt', bytes('99999999999'));
    await storage('write', 'highscore.replay', 'run two');
    await storage('write', 'highscore.txt', '-5');
    await settled();
    assert.equal(await text('highscore.txt'), '-5');
    assert.equal(await text('highscore.replay'), 'run two');

    // A stored companion without its record is not restored; with it, it is.
    await tab.storeEntry('highscore.txt', undefined);
    await tab.page.reload();
    await tab.waitForFrames(10);
    assert.equal(await storage('read', 'highscore.replay'), null);
    assert.ok(reports(tab).some((line) => line.includes('highscore.replay')), 'the lone companion is not reported');
    await tab.storeEntry('highscore.txt', bytes('970000'));
    await tab.page.reload();
    await tab.waitForFrames(10);
    assert.equal(await storage('read', 'highscore.txt'), '970000');
    assert.equal(await storage('read', 'highscore.replay'), 'run two');
    assert.deepEqual(tab.errors, []);
  });

  test('a database that does not answer lets the game start with the notice, and its record is taken when it answers', async () => {
    const { browser, tab: first } = await openBrowser();
    const start = await first.screen('slow-default');
    await first.storeEntry('highscore.txt', { timestamp: new Date(), mode: 0o100644, contents: new TextEncoder().encode('4321') });
    // Every open of the database waits until the test lets it go.
    const slow = await browser.newTab(context.site.url, () => {
      const open = IDBFactory.prototype.open;
      const held = [];
      window.vexaLetOpen = () => held.splice(0).forEach((go) => go());
      IDBFactory.prototype.open = function (...args) {
        const request = { result: undefined, error: null };
        held.push(() => {
          const real = open.apply(this, args);
          for (const type of ['upgradeneeded', 'success', 'error', 'blocked']) {
            real.addEventListener(type, (event) => {
              if (type !== 'error') request.result = real.result;
              request.error = real.error;
              if (request['on' + type]) request['on' + type](event);
            });
          }
        });
        return request;
      };
    });
    await notice(slow).waitFor({ state: 'visible' });
    assert.ok(sameHighScore(await slow.screen('slow-started'), start), 'the stored record was shown before it was read');

    await slow.page.evaluate(() => window.vexaLetOpen());
    await notice(slow).waitFor({ state: 'hidden' });
    await first.page.reload();
    await first.waitForFrames(10);
    const record = await first.screen('slow-record');
    assert.ok(!sameHighScore(record, start));
    await slow.page.bringToFront();
    await waitFor(async () => sameHighScore(await slow.screen('slow-taken'), record), 0, 'the late record is not shown');
    assert.deepEqual(slow.errors, []);
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

    assert.equal(await tab.playRound(), NOT_SAVED);
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

    // The game tells of the save once the store has answered, and only then.
    assert.equal(await tab.playRound(), NOT_SAVED);
    assert.ok(!tab.log.includes(SAVED), 'a refused write was claimed as saved');
    await notice(tab).waitFor({ state: 'visible' });
    assert.equal(await notice(tab).innerText(), NOTICE);
    assert.equal(tab.errors.length, 1, `not one error: ${JSON.stringify(tab.errors)}`);
    assert.match(tab.errors[0], /could not be written/);
    assert.equal(await tab.storedRecord(), null);
    // The record still counts for as long as the page is open.
    assert.ok(!sameHighScore(await tab.screen('refused-game-over'), start));
    assert.ok(countColour(start, HIGH_SCORE, WHITE) > 100);
  });
});
