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
// stored one only where the program's own rule for that file says so, or
// merges it with one another tab stored meanwhile by the program's own merge
// rule, reading and writing in one transaction, and tells the other tabs,
// whose working copy the game reads on its next frame. This side only moves
// bytes; every rule is the program's.
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
    // How long a save waits for the database, as long as the desktop waits
    // for its turn at a file.
    storeTimeLimitMs: 5000,
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
    // Each stored file's bytes as this tab last knew them stored, the base
    // that a file's merge rule applies this tab's changes from.
    base: {},
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
        pointers.forEach(function (pointer) {
          _free(pointer);
        });
      }
    },

    // The program's rule for `name`: whether `fresh` may take the place of `stored`.
    replaces: function (name, fresh, stored) {
      return vexaStorage.call(_vexa_kept_file_replaces, [name, fresh, stored]) !== 0;
    },

    hasRule: function (name) {
      return vexaStorage.call(_vexa_kept_file_has_rule, [name]) !== 0;
    },

    // The bytes to store for a file kept with a merge rule, or null.
    merge: function (name, base, fresh, stored) {
      var text = vexaStorage.call(_vexa_kept_file_merge, [name, base, fresh, stored]);
      if (!text) return null;
      var end = text;
      while (HEAPU8[end]) end++;
      return HEAPU8.slice(text, end);
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
        vexaStorage.base[name] = contents;
      } else if (FS.analyzePath(path).exists) {
        FS.unlink(path);
        delete vexaStorage.known[name];
        delete vexaStorage.base[name];
      }
    },

    fileNames: function (dir) {
      try {
        return FS.readdir(dir).filter(function (name) {
          return FS.isFile(FS.stat(dir + '/' + name).mode);
        });
      } catch (e) {
        return []; // no such directory: nothing to copy
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
        waiting.forEach(function (wait) {
          wait(db, reason);
        });
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
          vexaStorage.base[name] = files[name];
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
    // when the outcome is known, or when storage has not answered in the time
    // the desktop waits for its turn at a file. Each file is stored in a
    // transaction of its own, so that one file's failure is no other's: the
    // answer is the fate of the files kept under a rule (the record); any
    // other file's failure is said in the console.
    persist: function () {
      vexaStorage.tellCompanions();
      var changed = vexaStorage.fileNames(vexaStorage.workDir).filter(function (name) {
        return vexaStorage.known[name] !== vexaStorage.signature(vexaStorage.path(name));
      });
      // A companion waits, unstored and still changed, for its own file.
      var files = changed
        .filter(function (name) {
          return !vexaStorage.ownerOf(name);
        })
        .map(function (name) {
          var companion = vexaStorage.companionOf(name);
          return {
            name: name,
            contents: vexaStorage.readWork(name),
            companion: companion ? vexaStorage.readWork(companion) : null,
            base: vexaStorage.base[name] || null,
            ruled: vexaStorage.hasRule(name),
            done: false,
          };
        });
      files.forEach(function (file) {
        file.signature = vexaStorage.signature(vexaStorage.path(file.name));
        vexaStorage.known[file.name] = file.signature;
        var companion = vexaStorage.companionOf(file.name);
        if (companion && file.companion !== null) {
          vexaStorage.known[companion] = vexaStorage.signature(vexaStorage.path(companion));
        }
      });
      if (!vexaStorage.available || files.length === 0) {
        vexaStorage.answer(
          !files.some(function (file) {
            return file.ruled;
          }),
        );
        return;
      }
      vexaStorage.pending++;
      var batch = { left: files.length, kept: true, over: false, transactions: [] };
      var finish = function () {
        batch.over = true;
        clearTimeout(batch.limit);
        vexaStorage.pending--;
        vexaStorage.answer(batch.kept);
      };
      // `reason`, when given, says why the file was not stored.
      var done = function (file, stored, reason) {
        if (batch.over || file.done) return;
        file.done = true;
        if (!stored && file.ruled) batch.kept = false;
        if (reason !== undefined) {
          err('Saved files could not be written: ' + reason);
          if (file.ruled) vexaStorage.tellPage(false);
        }
        if (--batch.left === 0) finish();
      };
      batch.limit = setTimeout(function () {
        batch.transactions.forEach(function (transaction) {
          try {
            transaction.abort();
          } catch (e) {
            // It has finished already; its answer is on its way, too late.
          }
        });
        files.forEach(function (file) {
          done(
            file,
            false,
            file.name + ': storage did not answer within ' + vexaStorage.storeTimeLimitMs / 1000 + ' s',
          );
        });
      }, vexaStorage.storeTimeLimitMs);
      vexaStorage.withDatabase(function (db, reason) {
        files.forEach(function (file) {
          if (batch.over) return;
          if (db) {
            vexaStorage.store(db, file, batch, done);
          } else {
            done(file, false, reason);
          }
        });
      });
    },

    answer: function (stored) {
      _vexa_files_stored(stored ? 1 : 0);
    },

    sameBytes: function (a, b) {
      if (a === null || b === null) return a === b;
      if (a.length !== b.length) return false;
      for (var i = 0; i < a.length; i++) {
        if (a[i] !== b[i]) return false;
      }
      return true;
    },

    // Reads the stored file back and, in the same transaction, writes the
    // new one with its companion: IndexedDB runs one writing transaction on a
    // store at a time, so two tabs saving at once cannot both win. Where the
    // file's rule says the new one may not replace the stored one, it is not
    // written; where another tab stored the file since this one last knew it,
    // the file's merge rule, if it has one, applies this tab's changes to the
    // stored file. A stored entry that cannot be read is replaced, except for
    // a file kept under a rule, which is never replaced, as on the desktop.
    store: function (db, file, batch, done) {
      var transaction;
      try {
        transaction = db.transaction(vexaStorage.storeName, 'readwrite');
      } catch (e) {
        vexaStorage.db = null;
        done(file, false, e);
        return;
      }
      batch.transactions.push(transaction);
      var objects = transaction.objectStore(vexaStorage.storeName);
      var put = function (name, contents) {
        objects.put(
          { timestamp: new Date(), mode: vexaStorage.fileMode, contents: contents },
          vexaStorage.keyPrefix + name,
        );
      };
      var contents = file.contents;
      var written = false;
      var damaged = false;
      var refusal;
      var get = objects.get(vexaStorage.keyPrefix + file.name);
      get.onsuccess = function () {
        var stored = vexaStorage.contentsOf(get.result);
        damaged = get.result !== undefined && stored === null;
        if (damaged && file.ruled) {
          refusal = 'the stored ' + file.name + ' cannot be read';
          return;
        }
        if (stored !== null && !vexaStorage.replaces(file.name, contents, stored)) {
          if (vexaStorage.replaces(file.name, stored, contents)) {
            out('Another tab had stored a higher record; it is kept.');
            vexaStorage.takeStored(objects, file.name, stored);
          }
          return;
        }
        if (stored !== null && !vexaStorage.sameBytes(stored, file.base)) {
          var merged = vexaStorage.merge(file.name, file.base || new Uint8Array(0), contents, stored);
          if (merged !== null) contents = merged;
        }
        try {
          put(file.name, contents);
          var companion = vexaStorage.companionOf(file.name);
          if (companion && file.companion !== null) {
            put(companion, file.companion);
          } else if (companion) {
            objects.delete(vexaStorage.keyPrefix + companion);
          }
          written = true;
        } catch (e) {
          refusal = file.name + ': ' + e;
          transaction.abort();
        }
      };
      transaction.oncomplete = function () {
        if (batch.over) return;
        if (written) {
          if (damaged) console.warn('The stored ' + file.name + ' could not be read; it is replaced.');
          vexaStorage.base[file.name] = contents;
          // Merged with another tab's: the working copy becomes what is
          // stored, unless the program has written the file again since.
          if (contents !== file.contents && vexaStorage.known[file.name] === file.signature) {
            vexaStorage.writeWork(file.name, contents);
          }
          if (vexaStorage.channel) {
            vexaStorage.channel.postMessage({ name: file.name, contents: contents, companion: file.companion });
          }
        }
        done(file, written, refusal);
      };
      transaction.onabort = function () {
        done(file, false, refusal || file.name + ': ' + (transaction.error || 'the write was refused'));
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
  },

  // Files the page hands the program before main starts (a replay to
  // verify): Module.pageFiles, when set, is { path: bytes }. The page has them
  // before it loads the program; one it could not have, it says why itself.
  $vexaPageFiles__deps: ['$FS'],
  $vexaPageFiles__postset: 'addOnPreRun(vexaPageFiles.load);',
  $vexaPageFiles: {
    load: function () {
      var files = Module['pageFiles'] || {};
      Object.keys(files).forEach(function (path) {
        FS.writeFile(path, files[path]);
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

  vexa_best_run_offered: function (offered) {
    if (Module['onBestRunOffered']) Module['onBestRunOffered'](!!offered);
  },

  // Whether the page matches a media query (the system's wish for reduced
  // motion, a finger for a pointer). Asked every frame: each query is made
  // once and then only read, and follows the system as the player changes it.
  vexa_media_matches: function (query) {
    if (typeof matchMedia !== 'function') return 0;
    var text = UTF8ToString(query);
    var lists = Module['vexaMediaQueries'] || (Module['vexaMediaQueries'] = {});
    if (!lists[text]) lists[text] = matchMedia(text);
    return lists[text].matches ? 1 : 0;
  },

  // A browser without vibration, or one that refuses it (no user gesture
  // yet), is no fault.
  vexa_vibrate: function (ms) {
    if (typeof navigator === 'undefined' || typeof navigator.vibrate !== 'function') return;
    try {
      navigator.vibrate(ms);
    } catch (e) {
      // Nothing to do: the vibration is a courtesy.
    }
  },

  vexa_files_changed__deps: ['$vexaStorage'],
  vexa_files_changed: function () {
    vexaStorage.persist();
  },
});
