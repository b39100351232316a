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

// Writes `text` as `name` in the tab's working copy, as the program writes a
// file the storage has not seen yet, and tells the storage; null reads the
// working copy instead. Resolves once the storage has answered.
async function workingFile(tab, name, text = null) {
  const read = await tab.page.evaluate(
    ([file, value]) => {
      const kept = Module.vexaStorage;
      if (value !== null) {
        const base = kept.base[file];
        kept.writeWork(file, new TextEncoder().encode(value));
        delete kept.known[file];
        if (base) kept.base[file] = base;
        else delete kept.base[file];
        kept.persist();
      }
      const bytes = kept.readWork(file);
      return bytes && new TextDecoder().decode(bytes);
    },
    [name, text],
  );
  await tab.page.waitForFunction(() => Module.vexaStorage.pending === 0);
  return read;
}

const entry = (text) => ({ timestamp: new Date(), mode: 0o100644, contents: new TextEncoder().encode(text) });

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
    const deaf = await browser.newTab(context.site.url, () => {
      delete window.BroadcastChannel;
    });
    const zero = await watcher.screen('tabs-before');

    assert.equal(await player.playRound(), SAVED);
    const record = await player.storedRecord();
    assert.match(record, /^[1-9][0-9]*$/);
    const played = await player.screen('tabs-player-game-over');
    assert.ok(!sameHighScore(played, zero), 'the player tab shows no new record');
    await watcher.page.bringToFront();
    await waitFor(
      async () => sameHighScore(await watcher.screen('tabs-watcher'), played),
      10000,
      'the other tab does not show the new record',
    );

    // Another tab stored a record far above anything this round can reach,
    // written by an editor that starts a file with a byte-order mark.
    await watcher.storeEntry('highscore.txt', {
      timestamp: new Date(),
      mode: 0o100644,
      contents: new TextEncoder().encode('\uFEFF900000'),
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
    await waitFor(
      async () => sameHighScore(await deaf.screen('tabs-deaf'), fresh),
      10000,
      'the tab that saved a lower score does not show the stored record',
    );
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

  test("a record and its companion are stored and restored together, under the program's own rule", async () => {
    const { tab } = await openBrowser();
    const text = async (name) => ((await tab.stored(name)) || {}).text;

    // A companion alone is never stored; it goes with the next record.
    await workingFile(tab, 'highscore.replay', 'run one');
    assert.equal(await tab.stored('highscore.replay'), null, 'a companion was stored alone');
    await workingFile(tab, 'highscore.txt', '950000');
    assert.equal(await text('highscore.txt'), '950000');
    assert.equal(await text('highscore.replay'), 'run one');

    // The program's rule, not a copy of it: a number no int can hold is no
    // record, so even a negative score replaces it, and its companion with it.
    await tab.storeEntry('highscore.txt', entry('99999999999'));
    await workingFile(tab, 'highscore.replay', 'run two');
    await workingFile(tab, 'highscore.txt', '-5');
    assert.equal(await text('highscore.txt'), '-5');
    assert.equal(await text('highscore.replay'), 'run two');

    // A stored companion without its record is not restored; with it, it is.
    await tab.storeEntry('highscore.txt', undefined);
    await tab.page.reload();
    await tab.waitForFrames(10);
    assert.equal(await workingFile(tab, 'highscore.replay'), null);
    assert.ok(
      reports(tab).some((line) => line.includes('highscore.replay')),
      'the lone companion is not reported',
    );
    await tab.storeEntry('highscore.txt', entry('970000'));
    await tab.page.reload();
    await tab.waitForFrames(10);
    assert.equal(await workingFile(tab, 'highscore.txt'), '970000');
    assert.equal(await workingFile(tab, 'highscore.replay'), 'run two');
    assert.deepEqual(tab.errors, []);
  });

  test('settings: a huge window is ignored, a damaged entry is replaced, and its failure is no failure of the record', async () => {
    const { tab } = await openBrowser();
    // A window no screen has room for: the page still shows the game at its own size.
    await tab.storeEntry(
      'settings.txt',
      entry('window_x = 0\nwindow_y = 0\nwindow_width = 32767\nwindow_height = 32767\n'),
    );
    await tab.page.reload();
    await tab.waitForFrames(10);
    assertTitleScreen(await tab.screen('settings-huge-window'), 'with a huge window stored');
    assert.deepEqual(await tab.canvasSize(), { width: 800, height: 600, shownWidth: 800, shownHeight: 600, ratio: 1 });

    // A settings entry that holds no file is replaced by the next save.
    await tab.storeEntry('settings.txt', { timestamp: new Date(), mode: 0o40755 });
    await tab.page.reload();
    await tab.waitForFrames(10);
    await workingFile(tab, 'settings.txt', 'music_volume = 30\n');
    assert.match((await tab.stored('settings.txt')).text, /^music_volume = 30$/m);
    assert.ok(tab.warnings.includes('The stored settings.txt could not be read; it is replaced.'));

    // A settings save that fails says so, and the record's line still tells
    // the record's own fate.
    await tab.page.evaluate(() => {
      const put = IDBObjectStore.prototype.put;
      IDBObjectStore.prototype.put = function (value, key) {
        if (key === '/persistent/settings.txt')
          throw new DOMException('The quota has been exceeded.', 'QuotaExceededError');
        return put.call(this, value, key);
      };
    });
    await workingFile(tab, 'settings.txt', 'music_volume = 40\n');
    assert.equal(await tab.playRound(), SAVED);
    assert.match(await tab.storedRecord(), /^[1-9][0-9]*$/);
    assert.match((await tab.stored('settings.txt')).text, /^music_volume = 30$/m);
    const failures = tab.errors.filter((line) => /could not be written/.test(line));
    assert.equal(failures.length, 1, `not one failure: ${JSON.stringify(tab.errors)}`);
    assert.match(failures[0], /settings.txt: QuotaExceededError/);
    assert.ok(await notice(tab).isHidden(), 'a settings save that failed says the record will not be kept');
  });

  test('two tabs changing settings at once keep both changes', async () => {
    const { browser, tab: first } = await openBrowser();
    // A tab that hears nothing from the others: its copy of the settings
    // stays as it was when the page opened.
    const deaf = await browser.newTab(context.site.url, () => {
      delete window.BroadcastChannel;
    });
    const stored = async () => (await first.stored('settings.txt')).text;
    await workingFile(first, 'settings.txt', 'music_volume = 30\n');
    await workingFile(deaf, 'settings.txt', 'effects_volume = 40\n');
    assert.match(await stored(), /^music_volume = 30$/m);
    assert.match(await stored(), /^effects_volume = 40$/m);
    // The deaf tab's copy is now the stored one; the other tab changes its
    // own again, over the copy it last stored.
    assert.equal(await workingFile(deaf, 'settings.txt'), await stored());
    await workingFile(first, 'settings.txt', 'music_volume = 20\n');
    assert.match(await stored(), /^music_volume = 20$/m);
    assert.match(await stored(), /^effects_volume = 40$/m);
    assert.deepEqual([...first.errors, ...deaf.errors], []);
  });

  test('a database that does not answer lets the game start with the notice, and its record is taken when it answers', async () => {
    const { browser, tab: first } = await openBrowser();
    const start = await first.screen('slow-default');
    await first.storeEntry('highscore.txt', {
      timestamp: new Date(),
      mode: 0o100644,
      contents: new TextEncoder().encode('4321'),
    });
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
    assert.ok(
      sameHighScore(await slow.screen('slow-started'), start),
      'the stored record was shown before it was read',
    );
    // A save the database never answers is said to have failed, after as
    // long as the desktop waits for its turn at a file.
    assert.equal(await slow.playRound(), NOT_SAVED);

    await slow.page.evaluate(() => window.vexaLetOpen());
    await notice(slow).waitFor({ state: 'hidden' });
    await first.page.reload();
    await first.waitForFrames(10);
    const record = await first.screen('slow-record');
    assert.ok(!sameHighScore(record, start));
    await slow.page.bringToFront();
    await waitFor(
      async () => sameHighScore(await slow.screen('slow-taken'), record),
      0,
      'the late record is not shown',
    );
    assert.equal(slow.errors.length, 1, `not one error: ${JSON.stringify(slow.errors)}`);
    assert.match(slow.errors[0], /highscore.txt: storage did not answer within 5 s/);
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
