// The browser side of PlatformWeb.cpp.
//
// Files the player keeps (the high-score record): the program reads and writes
// them in its working directory, /Assets, which holds the packaged assets in
// memory. The files it writes are copied to IndexedDB, which is read before
// main starts; restore() then copies them over the packaged defaults.
//
// The database, its store and its keys are laid out as the IDBFS mount of
// earlier builds laid them out, so records stored by those builds are found.
// Several tabs of the game may be open at once: a save keeps whichever record
// is higher, the stored one or the new one, in one transaction, and tells the
// other tabs, whose working copy the game reads on its next frame.
//
// Without IndexedDB (switched off, blocked, or failing) the game plays on with
// the record in memory, and the page says that the best score will not be kept.
mergeInto(LibraryManager.library, {
  $vexaStorage__deps: ['$FS'],
  $vexaStorage__postset: 'addOnPreRun(vexaStorage.load);',
  $vexaStorage: {
    dbName: '/persistent',
    storeName: 'FILE_DATA',
    keyPrefix: '/persistent/',
    workDir: '/Assets',
    channelName: 'zap207-kept-files',
    // A regular file readable and writable by its owner, as IDBFS stored it.
    fileMode: 33188,
    db: null,
    channel: null,
    // False once storage cannot be used at all: nothing more is tried.
    available: true,
    // Name to bytes, as read from storage before main started.
    loaded: {},
    // What could not be restored, reported in one console line.
    skipped: [],
    // Each working file's inode and modification time as last restored or
    // stored: a file whose pair differs has been written since.
    known: {},
    // Saves still under way.
    pending: 0,

    fileNames: function (dir) {
      try {
        return FS.readdir(dir).filter(function (name) {
          return FS.isFile(FS.stat(dir + '/' + name).mode);
        });
      } catch (e) {
        return [];  // no such directory: nothing to copy
      }
    },

    signature: function (path) {
      var stat = FS.stat(path);
      return stat.ino + ':' + stat.mtime.getTime();
    },

    rememberWorkFiles: function () {
      vexaStorage.known = {};
      vexaStorage.fileNames(vexaStorage.workDir).forEach(function (name) {
        vexaStorage.known[name] = vexaStorage.signature(vexaStorage.workDir + '/' + name);
      });
    },

    // The number a kept file holds, read as the game reads its record, or null
    // when it holds none.
    recordValue: function (bytes) {
      var match = /^[ \t\n\v\f\r]*([+-]?[0-9]+)/.exec(new TextDecoder().decode(bytes));
      if (!match) return null;
      var value = Number(match[1]);
      return value > 2147483647 || value < -2147483648 ? 0 : value;
    },

    // Whether `fresh` may replace `stored`: the best score must never fall, so
    // only a higher number does, or any number where none is stored.
    replaces: function (fresh, stored) {
      var old = vexaStorage.recordValue(stored);
      if (old === null) return true;
      var value = vexaStorage.recordValue(fresh);
      return value !== null && value > old;
    },

    // The bytes of a stored entry, or null for one that is not a file.
    contentsOf: function (entry) {
      if (!entry || typeof entry !== 'object') return null;
      if (entry.mode !== undefined && !FS.isFile(entry.mode)) return null;
      var contents = entry.contents;
      if (contents instanceof ArrayBuffer) return new Uint8Array(contents.slice(0));
      if (ArrayBuffer.isView(contents)) {
        return new Uint8Array(contents.buffer.slice(contents.byteOffset, contents.byteOffset + contents.byteLength));
      }
      return null;
    },

    // Reading window.indexedDB itself throws where storage is blocked.
    indexedDB: function () {
      try {
        return typeof indexedDB === 'undefined' ? null : indexedDB;
      } catch (e) {
        return null;
      }
    },

    // Calls done(db) with the open database, creating its store if it is
    // missing, or done(null, reason).
    open: function (done) {
      var factory = vexaStorage.indexedDB();
      if (!factory) {
        done(null, 'this browser has no IndexedDB');
        return;
      }
      var openAt = function (version) {
        var request;
        try {
          request = version ? factory.open(vexaStorage.dbName, version) : factory.open(vexaStorage.dbName);
        } catch (e) {
          done(null, e);
          return;
        }
        request.onupgradeneeded = function () {
          var db = request.result;
          if (!db.objectStoreNames.contains(vexaStorage.storeName)) {
            db.createObjectStore(vexaStorage.storeName).createIndex('timestamp', 'timestamp', { unique: false });
          }
        };
        request.onerror = function (event) {
          event.preventDefault();
          done(null, request.error);
        };
        request.onsuccess = function () {
          var db = request.result;
          if (!db.objectStoreNames.contains(vexaStorage.storeName)) {
            db.close();
            openAt(db.version + 1);
            return;
          }
          // Another tab upgrading the database waits for this one to let go;
          // the next save opens it again.
          db.onversionchange = function () {
            db.close();
            if (vexaStorage.db === db) vexaStorage.db = null;
          };
          done(db);
        };
      };
      openAt(0);
    },

    withDatabase: function (done) {
      if (vexaStorage.db) {
        done(vexaStorage.db);
        return;
      }
      vexaStorage.open(function (db, reason) {
        vexaStorage.db = db;
        done(db, reason);
      });
    },

    // Before main: reads every stored file into memory. main waits for it.
    load: function () {
      addRunDependency('vexa-storage');
      var finish = function () {
        removeRunDependency('vexa-storage');
      };
      vexaStorage.withDatabase(function (db, reason) {
        if (!db) {
          vexaStorage.unavailable(reason);
          finish();
          return;
        }
        var transaction;
        try {
          transaction = db.transaction(vexaStorage.storeName, 'readonly');
        } catch (e) {
          vexaStorage.unavailable(e);
          finish();
          return;
        }
        var cursor = transaction.objectStore(vexaStorage.storeName).openCursor();
        cursor.onsuccess = function () {
          var at = cursor.result;
          if (!at) return;
          var key = String(at.key);
          if (key.indexOf(vexaStorage.keyPrefix) === 0) {
            var name = key.substring(vexaStorage.keyPrefix.length);
            var contents = vexaStorage.contentsOf(at.value);
            if (!name || name.indexOf('/') >= 0 || name === '.' || name === '..') {
              vexaStorage.skipped.push(key);
            } else if (contents === null) {
              vexaStorage.skipped.push(name);
            } else {
              vexaStorage.loaded[name] = contents;
            }
          }
          at.continue();
        };
        transaction.oncomplete = finish;
        transaction.onabort = function () {
          // Whatever was read before the failure is still restored.
          err('Saved files could not be read: ' + transaction.error);
          finish();
        };
      });
    },

    // In main, once the packaged assets are in place.
    restore: function () {
      Object.keys(vexaStorage.loaded).forEach(function (name) {
        try {
          FS.writeFile(vexaStorage.workDir + '/' + name, vexaStorage.loaded[name]);
        } catch (e) {
          vexaStorage.skipped.push(name);
        }
      });
      vexaStorage.loaded = {};
      if (vexaStorage.skipped.length > 0) {
        console.warn('Stored files that could not be restored were skipped: ' + vexaStorage.skipped.join(', '));
      }
      vexaStorage.rememberWorkFiles();
      if (typeof BroadcastChannel !== 'undefined') {
        vexaStorage.channel = new BroadcastChannel(vexaStorage.channelName);
        vexaStorage.channel.onmessage = function (event) {
          vexaStorage.adoptIfHigher(event.data.name, event.data.contents);
        };
      }
    },

    // Takes a record stored elsewhere (another tab, or storage itself) as the
    // working copy when it is the better one.
    adoptIfHigher: function (name, contents) {
      var path = vexaStorage.workDir + '/' + name;
      try {
        var current = FS.analyzePath(path).exists ? FS.readFile(path) : new Uint8Array(0);
        if (!vexaStorage.replaces(contents, current)) return;
        FS.writeFile(path, contents);
        vexaStorage.known[name] = vexaStorage.signature(path);
      } catch (e) {
        err('A record from another tab could not be taken: ' + e);
      }
    },

    // The page is told, once, that the best score lives only as long as it.
    unavailable: function (reason) {
      vexaStorage.available = false;
      console.warn('Saved files are not kept: ' + reason);
      vexaStorage.tellPage();
    },

    tellPage: function () {
      if (vexaStorage.toldPage) return;
      vexaStorage.toldPage = true;
      if (Module['onStorageFailure']) Module['onStorageFailure']();
    },

    persist: function () {
      var changed = vexaStorage.fileNames(vexaStorage.workDir).filter(function (name) {
        return vexaStorage.known[name] !== vexaStorage.signature(vexaStorage.workDir + '/' + name);
      }).map(function (name) {
        return { name: name, contents: FS.readFile(vexaStorage.workDir + '/' + name) };
      });
      vexaStorage.rememberWorkFiles();
      if (changed.length === 0 || !vexaStorage.available) return;
      vexaStorage.pending++;
      vexaStorage.withDatabase(function (db, reason) {
        if (!db) {
          vexaStorage.writeFailed(reason);
          return;
        }
        vexaStorage.store(db, changed);
      });
    },

    // Reads each stored record back and writes the new one only where it is
    // higher, in one transaction: IndexedDB runs one writing transaction on a
    // store at a time, so two tabs saving at once cannot both win.
    store: function (db, files) {
      var transaction;
      try {
        transaction = db.transaction(vexaStorage.storeName, 'readwrite');
      } catch (e) {
        vexaStorage.db = null;
        vexaStorage.writeFailed(e);
        return;
      }
      var objects = transaction.objectStore(vexaStorage.storeName);
      var written = [];
      files.forEach(function (file) {
        var key = vexaStorage.keyPrefix + file.name;
        var get = objects.get(key);
        get.onsuccess = function () {
          var stored = vexaStorage.contentsOf(get.result);
          if (stored !== null && !vexaStorage.replaces(file.contents, stored)) {
            if (vexaStorage.replaces(stored, file.contents)) {
              out('Another tab had stored a higher record; it is kept.');
              vexaStorage.adoptIfHigher(file.name, stored);
            }
            return;
          }
          try {
            objects.put({ timestamp: new Date(), mode: vexaStorage.fileMode, contents: file.contents }, key);
            written.push(file);
          } catch (e) {
            transaction.abort();
          }
        };
      });
      transaction.oncomplete = function () {
        vexaStorage.pending--;
        written.forEach(function (file) {
          if (vexaStorage.channel) vexaStorage.channel.postMessage(file);
        });
      };
      transaction.onabort = function () {
        vexaStorage.writeFailed(transaction.error || 'the write was refused');
      };
    },

    writeFailed: function (reason) {
      vexaStorage.pending--;
      err('Saved files could not be written: ' + reason);
      vexaStorage.tellPage();
    },
  },

  // Browsers start sound only on a user's gesture; SDL's audio code asks for
  // that through this function. The first key press may also be the Escape
  // that ends the program, which closes the sound before the browser has
  // started it: that start fails as it should, and is no error of the page.
  $autoResumeAudioContext__deps: ['$listenOnce'],
  $autoResumeAudioContext: function (ctx) {
    var targets = [document, Module['canvas']];
    // A touch counts as a gesture only when the finger is lifted.
    ['keydown', 'mousedown', 'touchstart', 'touchend'].forEach(function (type) {
      targets.forEach(function (target) {
        if (!target) return;
        listenOnce(target, type, function () {
          if (ctx.state !== 'suspended') return;
          ctx.resume().catch(function (error) {
            if (ctx.state !== 'closed') err('Sound could not start: ' + error);
          });
        });
      });
    });
  },

  // SDL's own inline JavaScript calls $autoResumeAudioContext and $dynCall
  // (the audio callback).
  vexa_prepare_page__deps: ['$vexaStorage', '$autoResumeAudioContext', '$dynCall'],
  vexa_prepare_page: function () {
    Module['vexaStorage'] = vexaStorage;
    vexaStorage.restore();
  },

  vexa_frames_starting: function () {
    if (Module['onGameStarted']) Module['onGameStarted']();
  },

  vexa_pause_changed: function (paused) {
    if (Module['onPauseChanged']) Module['onPauseChanged'](!!paused);
  },

  vexa_files_changed__deps: ['$vexaStorage'],
  vexa_files_changed: function () {
    vexaStorage.persist();
  },
});
