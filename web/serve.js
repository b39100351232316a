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

function handle(root, request, response) {
  if (request.method !== 'GET' && request.method !== 'HEAD') {
    response.writeHead(405, { Allow: 'GET, HEAD' }).end();
    return;
  }
  const file = resolveRequest(root, request.url);
  if (file === null) {
    response.writeHead(400).end();
    return;
  }
  fs.stat(file, (error, stat) => {
    if (error || !stat.isFile()) {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('Not found\n');
      return;
    }
    response.writeHead(200, {
      'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
      'Content-Length': stat.size,
      // A rebuilt game is picked up on the next reload.
      'Cache-Control': 'no-cache',
    });
    if (request.method === 'HEAD') {
      response.end();
      return;
    }
    fs.createReadStream(file).pipe(response);
  });
}

// Resolves to { server, url } once listening on 127.0.0.1.
function serve(directory, port = 0) {
  const root = path.resolve(directory);
  const server = http.createServer((request, response) => handle(root, request, response));
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      resolve({ server, url: `http://127.0.0.1:${server.address().port}/` });
    });
  });
}

module.exports = { serve, resolveRequest };

if (require.main === module) {
  const [directory, port] = process.argv.slice(2);
  if (!directory || !fs.existsSync(path.join(directory, 'index.html'))) {
    console.error(`No site in ${directory || '(no directory given)'}: build it with scripts/build-web.sh`);
    process.exit(1);
  }
  serve(directory, Number(port || 0)).then(({ url }) => {
    console.log(`Serving ${path.resolve(directory)} at ${url} (Ctrl+C stops it)`);
  }, (error) => {
    console.error(`Cannot serve on port ${port}: ${error.message}`);
    process.exit(1);
  });
}
