// The static server of the browser build: what a request path may reach.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { spawn } = require('node:child_process');
const { test } = require('node:test');

const { hostAllowed, resolveRequest, serve } = require('../../web/serve.js');

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

    // An unchanged file is not sent again; a changed one is.
    const tag = response.headers.get('etag');
    assert.ok(tag);
    response = await fetch(url + 'game.wasm', { headers: { 'If-None-Match': tag } });
    assert.equal(response.status, 304);
    fs.writeFileSync(path.join(dir, 'game.wasm'), Buffer.from([0, 0x61, 0x73, 0x6d, 1]));
    response = await fetch(url + 'game.wasm', { headers: { 'If-None-Match': tag } });
    assert.equal(response.status, 200);
    assert.equal((await response.arrayBuffer()).byteLength, 5);

    assert.equal((await fetch(url + 'missing.js')).status, 404);
    assert.equal((await fetch(url + 'sub')).status, 404, 'a directory is not a file');
    assert.equal((await fetch(url, { method: 'POST', body: 'x' })).status, 405);
    // Names too long for the file system are missing files; longer addresses are refused unread.
    assert.equal((await fetch(url + 'a'.repeat(300) + '.js')).status, 404);
    assert.equal((await fetch(url + 'a/'.repeat(2500))).status, 414);

    // A page elsewhere reaching the server through a name of its own (DNS rebinding).
    const status = (host) =>
      new Promise((resolve, reject) => {
        http
          .get(url, { headers: { Host: host } }, (answer) => {
            answer.resume();
            resolve(answer.statusCode);
          })
          .on('error', reject);
      });
    const { port } = new URL(url);
    assert.equal(await status(`localhost:${port}`), 200);
    assert.equal(await status(`attacker.example:${port}`), 421);
    assert.equal(await status('127.0.0.1'), 421, 'another port');
    // On port 80 a browser sends the name alone.
    assert.ok(hostAllowed('127.0.0.1', 80) && hostAllowed('LOCALHOST', 80) && hostAllowed('localhost:80', 80));
    assert.ok(!hostAllowed('attacker.example', 80) && !hostAllowed('localhost', 8207) && !hostAllowed(undefined, 80));
  } finally {
    server.close();
    fs.rmSync(dir, { recursive: true, force: true });
  }
});

// A site in a fresh directory: { dir, site } with the site inside dir, so
// tests can put files beside the site as well as in it.
function makeSite(files) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'zap207-serve-'));
  const site = path.join(dir, 'site');
  fs.mkdirSync(site);
  for (const [name, contents] of Object.entries(files)) fs.writeFileSync(path.join(site, name), contents);
  return { dir, site };
}

test('symbolic links are followed only to files inside the site', async () => {
  const { dir, site } = makeSite({ 'index.html': 'page' });
  fs.writeFileSync(path.join(dir, 'beside.txt'), 'private');
  fs.symlinkSync('index.html', path.join(site, 'alias.html'));
  fs.symlinkSync('../beside.txt', path.join(site, 'beside.txt'));
  fs.symlinkSync(path.join(dir, 'beside.txt'), path.join(site, 'absolute.txt'));
  fs.symlinkSync(dir, path.join(site, 'up'));
  fs.symlinkSync('missing', path.join(site, 'dangling.txt'));
  // The site may itself be reached through a link.
  fs.symlinkSync(site, path.join(dir, 'linked-site'));
  const { server, url } = await serve(path.join(dir, 'linked-site'));
  try {
    assert.equal(await (await fetch(url + 'alias.html')).text(), 'page');
    for (const outside of ['beside.txt', 'absolute.txt', 'up/beside.txt', 'dangling.txt']) {
      const response = await fetch(url + outside);
      assert.equal(response.status, 404, `${outside} was answered`);
      assert.doesNotMatch(await response.text(), /private/);
    }
    assert.equal((await fetch(url)).status, 200);
  } finally {
    server.close();
    fs.rmSync(dir, { recursive: true, force: true });
  }
});

// The server as scripts/serve-web.sh runs it, in a process of its own. As
// root every file is readable, so there it runs as an ordinary user.
async function startServer(site) {
  const script = path.join(path.dirname(site), 'serve.js');
  fs.copyFileSync(path.join(__dirname, '../../web/serve.js'), script);
  const asUser = process.getuid && process.getuid() === 0 ? { uid: 65534, gid: 65534 } : {};
  if (asUser.uid) {
    for (const entry of [path.dirname(site), site, script]) fs.chmodSync(entry, 0o755);
  }
  const child = spawn(process.execPath, [script, site, '0'], { ...asUser, stdio: ['ignore', 'pipe', 'pipe'] });
  let output = '';
  const url = await new Promise((resolve, reject) => {
    child.stdout.on('data', (chunk) => {
      output += chunk;
      const found = output.match(/http:\/\/127\.0\.0\.1:\d+\//);
      if (found) resolve(found[0]);
    });
    child.stderr.on('data', (chunk) => {
      output += chunk;
    });
    child.once('exit', (code) => reject(new Error(`the server ended (${code}): ${output}`)));
  });
  return { child, url };
}

test('a file that cannot be read is answered with 500, and the server keeps serving', async () => {
  const { dir, site } = makeSite({ 'index.html': 'page', 'locked.js': 'secret', 'other.js': 'x' });
  fs.chmodSync(path.join(site, 'locked.js'), 0o000);
  fs.chmodSync(path.join(site, 'index.html'), 0o644);
  fs.chmodSync(path.join(site, 'other.js'), 0o644);
  const { child, url } = await startServer(site);
  try {
    for (let round = 0; round < 3; round++) {
      assert.equal((await fetch(url + 'locked.js')).status, 500);
      assert.equal(await (await fetch(url)).text(), 'page', 'the server stopped after a read error');
    }
    assert.equal((await fetch(url + 'gone.js')).status, 404);
    assert.equal(await (await fetch(url + 'other.js')).text(), 'x');
    assert.equal(child.exitCode, null);
  } finally {
    child.kill();
    fs.rmSync(dir, { recursive: true, force: true });
  }
});

test('a file replaced or cut short while it is sent does not stop the server', async () => {
  const big = 'big.data';
  const { dir, site } = makeSite({ 'index.html': 'page', [big]: Buffer.alloc(32 * 1024 * 1024, 7) });
  const { server, url } = await serve(site);
  try {
    // Cut short in place, as a copy over the file does it.
    let response = await fetch(url + big);
    assert.equal(response.headers.get('content-length'), String(32 * 1024 * 1024));
    let reader = response.body.getReader();
    let received = (await reader.read()).value.length;
    fs.truncateSync(path.join(site, big), 0);
    await assert.rejects(async () => {
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        received += value.length;
      }
    }, 'a body cut short ended as if it were whole');
    assert.ok(received < 32 * 1024 * 1024);

    // Removed and written anew, as the build does it: the open copy is sent whole.
    fs.writeFileSync(path.join(site, big), Buffer.alloc(4 * 1024 * 1024, 1));
    response = await fetch(url + big);
    reader = response.body.getReader();
    received = (await reader.read()).value.length;
    fs.rmSync(path.join(site, big));
    fs.writeFileSync(path.join(site, big), 'new');
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      received += value.length;
    }
    assert.equal(received, 4 * 1024 * 1024);

    assert.equal(await (await fetch(url + big)).text(), 'new');

    // Replaced over and over by another process while it is asked for: each
    // answer is one whole version or a 404, and the server lives on.
    const churn = spawn(
      process.execPath,
      [
        '-e',
        `
      const fs = require('fs');
      for (let i = 0; i < 20000; i++) {
        fs.rmSync(process.argv[1], { force: true });
        fs.writeFileSync(process.argv[1], 'v' + (i % 10));
      }`,
        path.join(site, big),
      ],
      { stdio: 'ignore' },
    );
    const churned = new Promise((resolve) => churn.once('exit', resolve));
    const answers = new Set();
    for (let i = 0; i < 300 && churn.exitCode === null; i++) {
      const response = await fetch(url + big);
      const text = await response.text();
      answers.add(response.status);
      if (response.status === 200) assert.match(text, /^(new|v[0-9]|)$/, 'a mixed or cut answer');
    }
    await churned;
    for (const status of answers) assert.ok([200, 404].includes(status), `answered ${status}`);
    assert.equal(await (await fetch(url)).text(), 'page');
  } finally {
    server.close();
    fs.rmSync(dir, { recursive: true, force: true });
  }
});

test('a precompressed copy is sent to a browser that takes its encoding', async () => {
  const zlib = require('node:zlib');
  const text = 'the game '.repeat(1000);
  const { dir, site } = makeSite({ 'index.html': 'page', 'game.js': text });
  fs.writeFileSync(path.join(site, 'game.js.br'), zlib.brotliCompressSync(text));
  fs.writeFileSync(path.join(site, 'game.js.gz'), zlib.gzipSync(text));
  const { server, url } = await serve(site);
  const ask = (encoding, name = 'game.js') =>
    new Promise((resolve, reject) => {
      require('node:http')
        .get(url + name, { headers: { 'Accept-Encoding': encoding } }, (response) => {
          const chunks = [];
          response.on('data', (chunk) => chunks.push(chunk));
          response.on('end', () => resolve({ headers: response.headers, body: Buffer.concat(chunks) }));
        })
        .on('error', reject);
    });
  try {
    let answer = await ask('gzip, deflate, br');
    assert.equal(answer.headers['content-encoding'], 'br');
    assert.equal(answer.headers['content-type'], 'text/javascript; charset=utf-8');
    assert.equal(zlib.brotliDecompressSync(answer.body).toString(), text);
    answer = await ask('gzip');
    assert.equal(answer.headers['content-encoding'], 'gzip');
    assert.equal(zlib.gunzipSync(answer.body).toString(), text);
    answer = await ask('identity');
    assert.equal(answer.headers['content-encoding'], undefined);
    assert.equal(answer.body.toString(), text);
    // No copy: the file as it is.
    answer = await ask('br', 'index.html');
    assert.equal(answer.headers['content-encoding'], undefined);
    assert.equal(answer.body.toString(), 'page');
  } finally {
    server.close();
    fs.rmSync(dir, { recursive: true, force: true });
  }
});
