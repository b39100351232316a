// A small static file server for the browser build, on the loopback address
// only. Used by scripts/serve-web.sh and by the browser tests.
//   node web/serve.js <directory> [port]   (port 0 picks a free one)
'use strict';

const fs = require('fs');
const http = require('http');
const path = require('path');

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  // Browsers compile WebAssembly while it downloads only when it is served
  // with its own type.
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.png': 'image/png',
  '.svg': 'image/svg+xml',
  '.webmanifest': 'application/manifest+json',
  '.txt': 'text/plain; charset=utf-8',
};

// The file under `root` that a request path names, or null for anything that
// would leave it.
function resolveRequest(root, urlPath) {
  let decoded;
  try {
    decoded = decodeURIComponent(urlPath.split('?')[0]);
  } catch (e) {
    return null;
  }
  if (decoded.includes('\0')) return null;
  if (decoded.endsWith('/')) decoded += 'index.html';
  const file = path.resolve(root, '.' + path.posix.normalize('/' + decoded));
  return file.startsWith(root + path.sep) ? file : null;
}

function notFound(response) {
  response.writeHead(404, { 'Content-Type': 'text/plain' }).end('Not found\n');
}

function failed(response) {
  response.writeHead(500, { 'Content-Type': 'text/plain' }).end('The file could not be read\n');
}

// Precompressed copies beside a file, best first: zap207.wasm.br, .gz.
const ENCODINGS = [
  ['br', '.br'],
  ['gzip', '.gz'],
];

// Sends the file open at `fd`, which was checked to lie inside the site. The
// length comes from the open file, so a file replaced meanwhile is sent as it
// was when opened; one cut short while it is sent ends the connection rather
// than leave the browser waiting for bytes that will never come.
function send(fd, type, encoding, request, response) {
  fs.fstat(fd, (error, stat) => {
    if (error || !stat.isFile()) {
      fs.close(fd, () => {});
      if (error) failed(response);
      else notFound(response);
      return;
    }
    const headers = {
      'Content-Type': type,
      // A rebuilt game is picked up on the next reload; an unchanged file is
      // not sent again (the offline copy asks for every file after a visit).
      'Cache-Control': 'no-cache',
      ETag: `"${stat.ino.toString(36)}-${stat.size.toString(36)}-${Math.floor(stat.mtimeMs).toString(36)}${encoding ? '-' + encoding : ''}"`,
      Vary: 'Accept-Encoding',
    };
    if (encoding) headers['Content-Encoding'] = encoding;
    if (request.headers['if-none-match'] === headers.ETag) {
      fs.close(fd, () => {});
      response.writeHead(304, headers).end();
      return;
    }
    headers['Content-Length'] = stat.size;
    response.writeHead(200, headers);
    if (request.method === 'HEAD' || stat.size === 0) {
      fs.close(fd, () => {});
      response.end();
      return;
    }
    let sent = 0;
    const stream = fs.createReadStream(null, { fd, autoClose: true });
    stream.on('data', (chunk) => {
      sent += chunk.length;
    });
    stream.on('error', () => response.destroy());
    stream.on('end', () => {
      if (sent < stat.size) response.destroy();
    });
    response.on('close', () => stream.destroy());
    stream.pipe(response);
  });
}

// Opens `file` for reading if its real path lies inside the site: a symbolic
// link is followed only to a file inside it.
function openInside(root, file, done) {
  fs.realpath(file, (error, real) => {
    if (error) {
      done(error);
      return;
    }
    if (!real.startsWith(root.real + path.sep)) {
      done(Object.assign(new Error(`${file} lies outside the site`), { code: 'ENOENT' }));
      return;
    }
    // Without blocking: a named pipe would otherwise hold the open until
    // something writes to it. Such a file is then refused as no regular file.
    fs.open(real, fs.constants.O_RDONLY | fs.constants.O_NONBLOCK, done);
  });
}

// No file of the site has a path anywhere near this long.
const MAX_URL_LENGTH = 2048;

// Only the names this machine's browser uses for the server are answered: a
// page elsewhere whose own name was pointed at 127.0.0.1 (DNS rebinding)
// sends its own name and is refused. A browser leaves out port 80, the
// default, from the Host it sends.
function hostAllowed(host, port) {
  const names = ['127.0.0.1', 'localhost'];
  const allowed = names.map((name) => `${name}:${port}`);
  if (port === 80) allowed.push(...names);
  return allowed.includes(String(host || '').toLowerCase());
}

function handle(root, request, response) {
  if (!hostAllowed(request.headers.host, request.socket.localPort)) {
    response
      .writeHead(421, { 'Content-Type': 'text/plain' })
      .end('This server answers only to 127.0.0.1 and localhost\n');
    return;
  }
  if (request.method !== 'GET' && request.method !== 'HEAD') {
    response.writeHead(405, { Allow: 'GET, HEAD' }).end();
    return;
  }
  if (request.url.length > MAX_URL_LENGTH) {
    response.writeHead(414, { 'Content-Type': 'text/plain' }).end('The address is too long\n');
    return;
  }
  const file = resolveRequest(root.path, request.url);
  if (file === null) {
    response.writeHead(400).end();
    return;
  }
  const type = TYPES[path.extname(file)] || 'application/octet-stream';
  const accepted = String(request.headers['accept-encoding'] || '')
    .split(',')
    .map((item) => item.trim().split(';')[0]);
  const variants = ENCODINGS.filter(([name]) => accepted.includes(name));
  const trySend = (index) => {
    if (index < variants.length) {
      const [encoding, suffix] = variants[index];
      openInside(root, file + suffix, (error, fd) => {
        if (error) trySend(index + 1);
        else send(fd, type, encoding, request, response);
      });
      return;
    }
    openInside(root, file, (error, fd) => {
      if (!error) {
        send(fd, type, null, request, response);
      } else if (['ENOENT', 'ENOTDIR', 'EISDIR', 'ENAMETOOLONG'].includes(error.code)) {
        notFound(response);
      } else {
        failed(response);
      }
    });
  };
  trySend(0);
}

// Resolves to { server, url } once listening on 127.0.0.1.
function serve(directory, port = 0) {
  const root = { path: path.resolve(directory) };
  root.real = fs.realpathSync(root.path);
  const server = http.createServer((request, response) => handle(root, request, response));
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      resolve({ server, url: `http://127.0.0.1:${server.address().port}/` });
    });
  });
}

module.exports = { serve, resolveRequest, hostAllowed };

if (require.main === module) {
  const [directory, port] = process.argv.slice(2);
  if (!directory || !fs.existsSync(path.join(directory, 'index.html'))) {
    console.error(`No site in ${directory || '(no directory given)'}: build it with scripts/build-web.sh`);
    process.exit(1);
  }
  serve(directory, Number(port || 0)).then(
    ({ url }) => {
      console.log(`Serving ${path.resolve(directory)} at ${url} (Ctrl+C stops it)`);
    },
    (error) => {
      console.error(`Cannot serve on port ${port}: ${error.message}`);
      process.exit(1);
    },
  );
}
