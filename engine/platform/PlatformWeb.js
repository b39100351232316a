// The browser side of PlatformWeb.cpp.
//
// Files the player keeps (the high-score record): the program reads and writes
// them in its working directory, /Assets, which holds the packaged assets in
// memory. The files it writes are copied to a directory kept in IndexedDB,
// which is read back before main starts; restore() then copies them over the
// packaged defaults.
mergeInto(LibraryManager.library, {
  $vexaStorage__deps: ['$FS', '$IDBFS'],
  $vexaStorage__postset: 'addOnPreRun(vexaStorage.load);',
  $vexaStorage: {
    keptDir: '/persistent',
    workDir: '/Assets',
    // Each working file's inode and modification time as last restored or
    // stored: a file whose pair differs has been written since.
    known: {},
    // Writes to IndexedDB still under way.
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

    load: function () {
      FS.mkdir(vexaStorage.keptDir);
      FS.mount(IDBFS, {}, vexaStorage.keptDir);
      // main waits until the stored files are in memory.
      addRunDependency('vexa-storage');
      FS.syncfs(true, function (error) {
        if (error) err('Saved files could not be read: ' + error);
        removeRunDependency('vexa-storage');
      });
    },

    restore: function () {
      vexaStorage.fileNames(vexaStorage.keptDir).forEach(function (name) {
        FS.writeFile(vexaStorage.workDir + '/' + name,
                     FS.readFile(vexaStorage.keptDir + '/' + name));
      });
      vexaStorage.rememberWorkFiles();
    },

    persist: function () {
      vexaStorage.fileNames(vexaStorage.workDir).forEach(function (name) {
        var path = vexaStorage.workDir + '/' + name;
        if (vexaStorage.known[name] === vexaStorage.signature(path)) return;
        FS.writeFile(vexaStorage.keptDir + '/' + name, FS.readFile(path));
      });
      vexaStorage.rememberWorkFiles();
      vexaStorage.pending++;
      FS.syncfs(false, function (error) {
        vexaStorage.pending--;
        if (error) err('Saved files could not be written: ' + error);
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
    ['keydown', 'mousedown', 'touchstart'].forEach(function (type) {
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

  vexa_files_changed__deps: ['$vexaStorage'],
  vexa_files_changed: function () {
    vexaStorage.persist();
  },
});
