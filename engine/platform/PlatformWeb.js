// The browser side of PlatformWeb.cpp.
//
// Files the player keeps (the high-score record and its companion): the
// program reads and writes them in its working directory, /Assets, which holds
// the packaged assets in memory. The files it writes are copied to IndexedDB,
// which is read before main starts; restore() then copies them over the
// packaged defaults.
//
// The database, its store and its keys are laid out as the IDBFS mount of
// earlier builds laid them out, so records stored by those builds are found.
// Several tabs of the game may be open at once: a save puts a file over the
// stored one only where the program's own rule for that file says so, in one
// transaction, and tells the other tabs, whose working copy the game reads on
// its next frame. This side only moves bytes; every rule is the program's.
//
// Without IndexedDB (switched off, blocked, failing, or not answering in time)
// the game plays on with the record in memory, and the page says that the best
// score will not be kept; a database that answers late is still taken.
mergeInto(LibraryManager.library, {
  $vexaStorage__deps: ['$FS', 'malloc', 'free'],
  $vexaStorage__postset: 'addOnPreRun(vexaStorage.load);',
  $vexaStorage: {
    dbName: '/persistent',
    storeName: 'FILE_DATA',
    keyPrefix: '/persistent/',
    workDir: '/Assets',
    channelName: 'zap207-kept-files',
    // A regular file readable and writable by its owner, as IDBFS stored it.
    fileMode: 33188,
    // How long the game waits for the database before it starts without it.
    openTimeLimitMs: 3000,
    db: null,
    // Callbacks waiting for the database to open, or null when none is asked.
    opening: null,
    channel: null,
    // False once storage cannot be used at all: nothing more is tried.
    available: true,
    // What the page was last told: whether the best score will outlive it.
    toldKept: null,
    // Whether main has taken what was loaded; later records are adopted.
    restored: false,
    // Name to bytes, as read from storage before main started.
    loaded: {},
    // What could not be restored, reported in one console line.
    skipped: [],
    // Each working file's inode and modification time as last restored or
    // stored: a file whose pair differs has been written since.
    known: {},
    // Saves still under way.
    pending: 0,
    // The companions the page was last told of, joined by '/'.
    toldCompanions: null,

    // Calls into the program with `values` as arguments: strings and byte
    // arrays are copied into its memory for the call.
    call: function (fn, values) {
      var pointers = [];
      var args = [];
      values.forEach(function (value) {
        if (typeof value === 'string') {
          var size = lengthBytesUTF8(value) + 1;
          var text = _malloc(size);
          stringToUTF8(value, text, size);
          pointers.push(text);
          args.push(text);
          return;
        }
        var bytes = _malloc(Math.max(1, value.length));
        HEAPU8.set(value, bytes);
        pointers.push(bytes);
        args.push(bytes, value.length);
      });
      try {
        return fn.apply(null, args);
      } finally {
        pointers.forEach(function (pointer) { _free(pointer); });
      }
    },

    // The program's rule for `name`: whether `fresh` may take the place of `stored`.
    replaces: function (name, fresh, stored) {
      return vexaStorage.call(_vexa_kept_file_replaces, [name, fresh, stored]) !== 0;
    },

    companionOf: function (name) {
      return UTF8ToString(vexaStorage.call(_vexa_kept_file_companion, [name]));
    },

    ownerOf: function (name) {
      return UTF8ToString(vexaStorage.call(_vexa_kept_file_owner, [name]));
    },

    path: function (name) {
      return vexaStorage.workDir + '/' + name;
    },

    // A working file's bytes, or null when there is none.
    readWork: function (name) {
      try {
        return FS.readFile(vexaStorage.path(name));
      } catch (e) {
        return null;
      }
    },

    // Puts `contents` in the working directory under `name`, or removes the
    // file there for null, and remembers it as stored.
    writeWork: function (name, contents) {
      var path = vexaStorage.path(name);
      if (contents !== null) {
        FS.writeFile(path, contents);
        vexaStorage.known[name] = vexaStorage.signature(path);
      } else if (FS.analyzePath(path).exists) {
        FS.unlink(path);
        delete vexaStorage.known[name];
      }
    },

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

    // The page is told which companions the game has beside their files (the
    // replay of the record's run), so that it offers what the game can show.
    tellCompanions: function () {
      var hook = Module['onCompanionsChanged'];
      if (!hook) return;
      var names = vexaStorage.fileNames(vexaStorage.workDir).filter(function (name) {
        return vexaStorage.ownerOf(name) !== '';
      });
      var told = names.join('/');
      if (told === vexaStorage.toldCompanions) return;
      vexaStorage.toldCompanions = told;
      hook(names);
    },

    rememberWorkFiles: function () {
      vexaStorage.known = {};
      vexaStorage.fileNames(vexaStorage.workDir).forEach(function (name) {
        vexaStorage.known[name] = vexaStorage.signature(vexaStorage.path(name));
      });
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

    // The file name a stored key holds, or null for a key of no file here.
    nameOf: function (key) {
      key = String(key);
      if (key.indexOf(vexaStorage.keyPrefix) !== 0) return null;
      var name = key.substring(vexaStorage.keyPrefix.length);
      return !name || name.indexOf('/') >= 0 || name === '.' || name === '..' ? '' : name;
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

    // One open at a time: a save made while the database has not answered
    // yet waits for that answer rather than asking again.
    withDatabase: function (done) {
      if (vexaStorage.db) {
        done(vexaStorage.db);
        return;
      }
      if (vexaStorage.opening) {
        vexaStorage.opening.push(done);
        return;
      }
      vexaStorage.opening = [done];
      vexaStorage.open(function (db, reason) {
        var waiting = vexaStorage.opening;
        vexaStorage.opening = null;
        vexaStorage.db = db;
        waiting.forEach(function (wait) { wait(db, reason); });
      });
    },

    // Before main: reads every stored file into memory. main waits for it,
    // but not for ever: a database that does not answer in time (some privacy
    // modes, a broken profile) lets the game start without it, and what it
    // answers later is still taken.
    load: function () {
      addRunDependency('vexa-storage');
      var waiting = true;
      var start = function () {
        if (!waiting) return;
        waiting = false;
        clearTimeout(limit);
        removeRunDependency('vexa-storage');
      };
      var limit = setTimeout(function () {
        console.warn('Saved files are slow to load; the game starts without them.');
        vexaStorage.tellPage(false);
        start();
      }, vexaStorage.openTimeLimitMs);
      vexaStorage.withDatabase(function (db, reason) {
        if (!db) {
          vexaStorage.unavailable(reason);
          start();
          return;
        }
        vexaStorage.readAll(db, function (files) {
          if (!waiting && vexaStorage.available) vexaStorage.tellPage(true);
          if (vexaStorage.restored) {
            vexaStorage.adoptAll(files);
          } else {
            vexaStorage.loaded = files;
          }
          start();
        });
      });
    },

    // Calls done(files) with every stored file by name; entries that hold no
    // file are noted as skipped.
    readAll: function (db, done) {
      var files = {};
      var transaction;
      try {
        transaction = db.transaction(vexaStorage.storeName, 'readonly');
      } catch (e) {
        vexaStorage.db = null;
        vexaStorage.unavailable(e);
        done(files);
        return;
      }
      var cursor = transaction.objectStore(vexaStorage.storeName).openCursor();
      cursor.onsuccess = function () {
        var at = cursor.result;
        if (!at) return;
        var name = vexaStorage.nameOf(at.key);
        var contents = name ? vexaStorage.contentsOf(at.value) : null;
        if (name === '') {
          vexaStorage.skipped.push(String(at.key));
        } else if (name !== null && contents === null) {
          vexaStorage.skipped.push(name);
        } else if (name !== null) {
          files[name] = contents;
        }
        at.continue();
      };
      transaction.oncomplete = function () {
        done(files);
      };
      transaction.onabort = function () {
        // Whatever was read before the failure is still restored.
        err('Saved files could not be read: ' + transaction.error);
        done(files);
      };
    },

    // A companion is taken only with the file it accompanies.
    withoutLoneCompanions: function (files) {
      Object.keys(files).forEach(function (name) {
        var owner = vexaStorage.ownerOf(name);
        if (owner && !(owner in files)) {
          vexaStorage.skipped.push(name);
          delete files[name];
        }
      });
      return files;
    },

    // In main, once the packaged assets are in place.
    restore: function () {
      var files = vexaStorage.withoutLoneCompanions(vexaStorage.loaded);
      vexaStorage.loaded = {};
      Object.keys(files).forEach(function (name) {
        try {
          FS.writeFile(vexaStorage.path(name), files[name]);
        } catch (e) {
          vexaStorage.skipped.push(name);
        }
      });
      vexaStorage.reportSkipped();
      vexaStorage.rememberWorkFiles();
      vexaStorage.restored = true;
      vexaStorage.tellCompanions();
      if (typeof BroadcastChannel !== 'undefined') {
        vexaStorage.channel = new BroadcastChannel(vexaStorage.channelName);
        vexaStorage.channel.onmessage = function (event) {
          var file = event.data;
          vexaStorage.adopt(file.name, file.contents, file.companion);
        };
      }
    },

    reportSkipped: function () {
      if (vexaStorage.skipped.length > 0) {
        console.warn('Stored files that could not be restored were skipped: ' + vexaStorage.skipped.join(', '));
      }
      vexaStorage.skipped = [];
    },

    // Files the database answered with after main had started.
    adoptAll: function (files) {
      files = vexaStorage.withoutLoneCompanions(files);
      vexaStorage.reportSkipped();
      Object.keys(files).forEach(function (name) {
        if (vexaStorage.ownerOf(name)) return;
        var companion = vexaStorage.companionOf(name);
        vexaStorage.adopt(name, files[name], companion && companion in files ? files[companion] : null);
      });
    },

    // Takes a file stored elsewhere (another tab, or storage itself), with its
    // companion, as the working copy where the file's rule lets it replace ours.
    adopt: function (name, contents, companionContents) {
      try {
        var current = vexaStorage.readWork(name);
        if (current !== null && !vexaStorage.replaces(name, contents, current)) return;
        vexaStorage.writeWork(name, contents);
        var companion = vexaStorage.companionOf(name);
        if (companion) vexaStorage.writeWork(companion, companionContents || null);
        vexaStorage.tellCompanions();
      } catch (e) {
        err('A record from another tab could not be taken: ' + e);
      }
    },

    // The page is told whether the best score will outlive it.
    unavailable: function (reason) {
      vexaStorage.available = false;
      console.warn('Saved files are not kept: ' + reason);
      vexaStorage.tellPage(false);
    },

    tellPage: function (kept) {
      if (kept === vexaStorage.toldKept) return;
      vexaStorage.toldKept = kept;
      var hook = Module[kept ? 'onStorageBack' : 'onStorageFailure'];
      if (hook) hook();
    },

    // Called once for each file the program wrote; answers the program once,
    // when the outcome is known.
    persist: function () {
      vexaStorage.tellCompanions();
      var changed = vexaStorage.fileNames(vexaStorage.workDir).filter(function (name) {
        return vexaStorage.known[name] !== vexaStorage.signature(vexaStorage.path(name));
      });
      // A companion waits, unstored and still changed, for its own file.
      var files = changed.filter(function (name) {
        return !vexaStorage.ownerOf(name);
      }).map(function (name) {
        var companion = vexaStorage.companionOf(name);
        return { name: name, contents: vexaStorage.readWork(name), companion: companion ? vexaStorage.readWork(companion) : null };
      });
      files.forEach(function (file) {
        vexaStorage.known[file.name] = vexaStorage.signature(vexaStorage.path(file.name));
        var companion = vexaStorage.companionOf(file.name);
        if (companion && file.companion !== null) {
          vexaStorage.known[companion] = vexaStorage.signature(vexaStorage.path(companion));
        }
      });
      if (files.length === 0) {
        vexaStorage.answer(true);
        return;
      }
      if (!vexaStorage.available) {
        vexaStorage.answer(false);
        return;
      }
      vexaStorage.pending++;
      vexaStorage.withDatabase(function (db, reason) {
        if (!db) {
          vexaStorage.writeFailed(reason);
          return;
        }
        vexaStorage.store(db, files);
      });
    },

    answer: function (stored) {
      _vexa_files_stored(stored ? 1 : 0);
    },

    // Reads each stored file back and writes the new one, with its companion,
    // only where the file's rule lets it replace the stored one, in one
    // transaction: IndexedDB runs one writing transaction on a store at a
    // time, so two tabs saving at once cannot both win. A stored entry that
    // cannot be read is never replaced, as on the desktop.
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
      var put = function (name, contents) {
        objects.put({ timestamp: new Date(), mode: vexaStorage.fileMode, contents: contents }, vexaStorage.keyPrefix + name);
      };
      var written = [];
      var kept = true;
      var unreadable = [];
      files.forEach(function (file) {
        var get = objects.get(vexaStorage.keyPrefix + file.name);
        get.onsuccess = function () {
          var stored = vexaStorage.contentsOf(get.result);
          if (get.result !== undefined && stored === null) {
            unreadable.push(file.name);
            kept = false;
            return;
          }
          if (stored !== null && !vexaStorage.replaces(file.name, file.contents, stored)) {
            kept = false;
            if (vexaStorage.replaces(file.name, stored, file.contents)) {
              out('Another tab had stored a higher record; it is kept.');
              vexaStorage.takeStored(objects, file.name, stored);
            }
            return;
          }
          try {
            put(file.name, file.contents);
            var companion = vexaStorage.companionOf(file.name);
            if (companion && file.companion !== null) {
              put(companion, file.companion);
            } else if (companion) {
              objects.delete(vexaStorage.keyPrefix + companion);
            }
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
        if (unreadable.length > 0) {
          err('Saved files could not be written: the stored ' + unreadable.join(', ') + ' cannot be read');
          vexaStorage.tellPage(false);
        }
        vexaStorage.answer(kept);
      };
      transaction.onabort = function () {
        vexaStorage.writeFailed(transaction.error || 'the write was refused');
      };
    },

    // The stored file, with its stored companion, becomes the working copy.
    takeStored: function (objects, name, stored) {
      var companion = vexaStorage.companionOf(name);
      if (!companion) {
        vexaStorage.adopt(name, stored, null);
        return;
      }
      var get = objects.get(vexaStorage.keyPrefix + companion);
      get.onsuccess = function () {
        vexaStorage.adopt(name, stored, vexaStorage.contentsOf(get.result));
      };
    },

    writeFailed: function (reason) {
      vexaStorage.pending--;
      err('Saved files could not be written: ' + reason);
      vexaStorage.tellPage(false);
      vexaStorage.answer(false);
    },
  },

  // Files the page hands the program before main starts (a replay to verify):
  // Module.pageFiles, when set, is a promise of { path: bytes }. A file that
  // could not be had is left out, and the program says so as for any missing file.
  $vexaPageFiles__deps: ['$FS'],
  $vexaPageFiles__postset: 'addOnPreRun(vexaPageFiles.load);',
  $vexaPageFiles: {
    load: function () {
      var files = Module['pageFiles'];
      if (!files) return;
      addRunDependency('vexa-page-files');
      Promise.resolve(files).then(function (byPath) {
        Object.keys(byPath).forEach(function (path) {
          FS.writeFile(path, byPath[path]);
        });
      }).catch(function (error) {
        err('The page could not hand its files to the game: ' + error);
      }).then(function () {
        removeRunDependency('vexa-page-files');
      });
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
  vexa_prepare_page__deps: ['$vexaStorage', '$vexaPageFiles', '$autoResumeAudioContext', '$dynCall'],
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
