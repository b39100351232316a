// Writes Brotli (.br) and gzip (.gz) copies of the files named, compressed
// once at build time rather than by the server on every request: the static
// server (web/serve.js) sends them to browsers that take them.
'use strict';
const fs = require('node:fs');
const zlib = require('node:zlib');

for (const file of process.argv.slice(2)) {
  const bytes = fs.readFileSync(file);
  fs.writeFileSync(
    file + '.br',
    zlib.brotliCompressSync(bytes, {
      params: { [zlib.constants.BROTLI_PARAM_QUALITY]: 11, [zlib.constants.BROTLI_PARAM_SIZE_HINT]: bytes.length },
    }),
  );
  fs.writeFileSync(file + '.gz', zlib.gzipSync(bytes, { level: 9 }));
}
