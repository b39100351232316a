// Lints every JavaScript file of the project: the page and its service
// worker, the static server, the build's helpers, the browser tests and the
// program's browser side. Run by scripts/check-js.sh.
import js from '@eslint/js';
import globals from 'globals';

export default [
  {
    // Relative to this file; the rest of the tree is reached through '../..'.
    basePath: '../..',
    ignores: ['**/node_modules/**', 'build*/**', 'dist/**', 'third_party/**'],
  },
  js.configs.recommended,
  {
    files: ['**/*.js'],
    languageOptions: { ecmaVersion: 2022, sourceType: 'commonjs', globals: { ...globals.node } },
    rules: {
      // Arguments a callback must accept but does not read are named, not removed.
      'no-unused-vars': ['error', { args: 'none', caughtErrors: 'none' }],
    },
  },
  {
    files: ['web/page.js'],
    languageOptions: { sourceType: 'script', globals: { ...globals.browser, Module: 'readonly' } },
  },
  {
    files: ['web/sw.js'],
    languageOptions: { sourceType: 'script', globals: { ...globals.serviceworker } },
  },
  {
    // Code the browser tests and the start-up benchmark run inside the page
    // sees the page's globals.
    files: ['tests/web/**/*.js', 'bench/startup/*.js'],
    languageOptions: { globals: { ...globals.node, ...globals.browser, Module: 'readonly', FS: 'readonly' } },
  },
  {
    // An Emscripten --js-library: its functions are copied into the
    // program's JavaScript, where these names are in scope.
    files: ['engine/platform/PlatformWeb.js'],
    languageOptions: {
      sourceType: 'script',
      globals: {
        ...globals.browser,
        mergeInto: 'readonly',
        LibraryManager: 'readonly',
        addOnPreRun: 'readonly',
        Module: 'readonly',
        FS: 'readonly',
        HEAPU8: 'readonly',
        UTF8ToString: 'readonly',
        stringToUTF8: 'readonly',
        lengthBytesUTF8: 'readonly',
        vexaStorage: 'readonly',
        _malloc: 'readonly',
        _free: 'readonly',
        dynCall: 'readonly',
        addRunDependency: 'readonly',
        removeRunDependency: 'readonly',
        listenOnce: 'readonly',
        err: 'readonly',
        out: 'readonly',
        // The program's own exported functions.
        _vexa_kept_file_replaces: 'readonly',
        _vexa_kept_file_has_rule: 'readonly',
        _vexa_kept_file_merge: 'readonly',
        _vexa_kept_file_companion: 'readonly',
        _vexa_kept_file_owner: 'readonly',
        _vexa_files_stored: 'readonly',
      },
    },
  },
];
