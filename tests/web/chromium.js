// The Chromium the browser tests and the start-up benchmark drive, and its
// flags: nothing may reach out of this machine, no background services, no
// updates.
//   CHROMIUM  the browser (default: /usr/bin/chromium)
'use strict';

const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
const FLAGS = [
  '--headless',
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

module.exports = { CHROMIUM, FLAGS };
