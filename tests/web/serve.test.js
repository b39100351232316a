// The static server of the browser build: what a request path may reach.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { test } = require('node:test');

const { resolveRequest, serve } = require('../../web/serve.js');

test('request paths stay inside the served directory', () => {
  const root = path.resolve('/srv/site');
  assert.equal(resolveRequest(root, '/'), path.join(root, 'index.html'));
  assert.equal(resolveRequest(root, '/zap207.wasm?v=2'), path.join(root, 'zap207.wasm'));
  assert.equal(resolveRequest(root, '/a%20b/'), path.join(root, 'a b', 'index.html'));
  for (const escape of ['/../etc/passwd', '/%2e%2e/%2e%2e/etc/passwd', '/a/../../x', '//etc/passwd']) {
    const file = resolveRequest(root, escape);
    assert.ok(file === null || file.startsWith(root + path.sep), `${escape} reached ${file}`);
  }
  assert.equal(resolveRequest(root, '/%E0%A4%A'), null, 'a malformed escape');
  assert.equal(resolveRequest(root, '/index.html%00.png'), null, 'a NUL byte');
});

test('files are served with their types; missing files and other methods are refused', async () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'zap207-serve-'));
  fs.writeFileSync(path.join(dir, 'index.html'), '<!doctype html>');
  fs.writeFileSync(path.join(dir, 'game.wasm'), Buffer.from([0, 0x61, 0x73, 0x6d]));
  fs.mkdirSync(path.join(dir, 'sub'));
  const { server, url } = await serve(dir);
  try {
    assert.match(url, /^http:\/\/127\.0\.0\.1:\d+\/$/);
    let response = await fetch(url);
    assert.equal(response.status, 200);
    assert.equal(response.headers.get('content-type'), 'text/html; charset=utf-8');
    assert.equal(await response.text(), '<!doctype html>');

    response = await fetch(url + 'game.wasm');
    assert.equal(response.headers.get('content-type'), 'application/wasm');
    assert.equal((await response.arrayBuffer()).byteLength, 4);

    assert.equal((await fetch(url + 'missing.js')).status, 404);
    assert.equal((await fetch(url + 'sub')).status, 404, 'a directory is not a file');
    assert.equal((await fetch(url, { method: 'POST', body: 'x' })).status, 405);
  } finally {
    server.close();
    fs.rmSync(dir, { recursive: true, force: true });
  }
});
